// The standings page: drivers' standings with their legend, then driver
// earnings, team, rookie and manufacturer points as the division has them.

#include "HTMLClass.h"

#include "HtmlRow.h"
#include "Runtime.h"
#include "State.h"

namespace {

// One cell of a fixed-width line: its columns and whether it is trimmed.
struct Col {
    int start;
    int length;
    bool trimmed;
};

} // namespace

bool HTMLClass::HTMLStandings(const QString& sDiv, const QString& sRace, const QStringList& c_standings,
                              const QStringList& c_teams, const QStringList& c_mfgs,
                              const QStringList& c_rookies, const QStringList& c_earnings)
{
    using Tags = HtmlRow::Tags;
    const QString& Title = sClassTitle;
    Fragment f;
    WriteStyle(f);

    // Drivers' standings.
    f << TableHead(sClassStandings);
    HtmlRow(f, QStringLiteral("  <TR>"), "    ", Title, Tags::UpperOpen)
        .cell(u" align=\"center\" colspan=\"12\"", QStringLiteral("Point Standings after Race #") + Escape(sRace))
        .line(QStringLiteral("  </TR>"));
    HtmlRow(f, QStringLiteral("  <TR>"), "    ", Title, Tags::Upper)
        .cells({{HtmlRow::kCenter, u"Pos"}, {HtmlRow::kCenter, u"+/-"}, {HtmlRow::kCenter, u"Driver"},
                {HtmlRow::kRight, u"ST"},   {HtmlRow::kRight, u"W"},    {HtmlRow::kRight, u"T5"},
                {HtmlRow::kRight, u"T10"},  {HtmlRow::kRight, u"AvFP"}, {HtmlRow::kRight, u"P"},
                {HtmlRow::kRight, u"AvSP"}, {HtmlRow::kRight, u"PTS"},  {HtmlRow::kCenter, u"BF/BN"}})
        .line(QStringLiteral("   </TR>"));

    // Pos, +/-, Driver, ST, W, T5, T10, AvFP, P, AvSP, PTS, BF/BN.
    static const Col standCols[12] = {{1, 2, true},   {74, 3, false}, {5, 20, false}, {26, 2, false},
                                      {29, 2, false}, {32, 2, false}, {36, 2, false}, {39, 5, false},
                                      {46, 2, false}, {49, 5, false}, {56, 5, false}, {62, 11, false}};
    bool band = false;
    int k = 1;
    for (const QString& L : c_standings) {
        sClassLine = RowClass(k, band);
        HtmlRow row(f, QStringLiteral("   <TR>"), "    ", sClassLine, Tags::Upper);
        for (int i = 0; i < 12; ++i) {
            QStringView a;
            if (i < 2)
                a = HtmlRow::kCenter;
            else if (i > 2 && i < 11)
                a = HtmlRow::kRight;
            else if (i == 11)
                a = u" style=\"vnd.ms-excel.numberformat: ZZZZ/ZZZZ\" align=\"center\"";
            const Col& c = standCols[i];
            row.cell(a, Cell(L, c.start, c.length, c.trimmed));
        }
        row.line(QStringLiteral("   </TR>"));
        SeparatorLine(f, "   ", 12);
        ++k;
    }
    f << QStringLiteral("</TABLE>");

    // Legend.
    f << TableHead(sClassStandings);
    const char16_t* legend[5][4] = {
        {u"ST", u"Starts", u"W", u"Wins"},
        {u"T5", u"Top 5 Finishes", u"T10", u"Top 10 Finishes"},
        {u"AvFP", u"Average Finish Position", u"P", u"Poles"},
        {u"AvSP", u"Average Start Position", u"PTS", u"Points"},
        {u"BF", u"Points Behind First Place", u"BN", u"Points Behind Next Position"},
    };
    for (const auto& r : legend)
        HtmlRow(f, QStringLiteral("  <TR>"), "    ", Title, Tags::Upper)
            .cells({{{}, r[0]}, {{}, r[1]}, {{}, r[2]}})
            .cell({}, r[3], "</TR>");
    FooterRow(f);
    f << QStringLiteral("</TABLE>");

    // Driver earnings: shown whenever the division pays, even with no lines.
    if (bEarnings) {
        f << QStringLiteral("<p><br></p>") << TableHead(sClassOther);
        HtmlRow(f, QStringLiteral("   <TR>"), "    ", Title).cell(u" align=\"center\" colspan=5 ", u"Driver Earnings", "</TR>");
        HtmlRow(f, QStringLiteral("   <TR>"), "    ", Title, Tags::UpperOpen)
            .cells({{HtmlRow::kCenter, u"Pos"}, {HtmlRow::kCenter, u"Driver"}, {HtmlRow::kRight, u"Earnings"},
                    {HtmlRow::kRight, u"Bonus"}, {HtmlRow::kRight, u"Total"}})
            .line(QStringLiteral("   </TR>"));
        band = false;
        k = 1;
        for (const QString& L : c_earnings) {
            sClassLine = RowClass(k, band);
            HtmlRow(f, QStringLiteral("   <TR>"), "    ", sClassLine, Tags::UpperOpen)
                .cells({{HtmlRow::kCenter, Cell(L, 1, 3, true)}, {{}, Cell(L, 7, 20, false)},
                        {HtmlRow::kRight, Cell(L, 28, 10, false)}, {HtmlRow::kRight, Cell(L, 39, 10, false)},
                        {HtmlRow::kRight, Cell(L, 50, 10, false)}})
                .line(QStringLiteral("   </TR>"));
            SeparatorLine(f, "   ", 5);
            ++k;
        }
        f << QStringLiteral("</TABLE>");
    }

    // The three small tables share one shape: title, header, rows of three.
    // The team table's title row is spelled in capitals, the others' not.
    auto threeColumnTable = [&](const QStringList& lines, bool capitalTitle, QStringView titleAttrs, QStringView caption,
                                QStringView middleHead, const Col (&cols)[3]) {
        if (lines.isEmpty())
            return;
        f << QStringLiteral("<p><br></p>") << TableHead(sClassOther);
        if (capitalTitle)
            HtmlRow(f, QStringLiteral("  <TR>"), "   ", Title, Tags::Upper).cell(titleAttrs, caption, "</TR>");
        else
            HtmlRow(f, QStringLiteral("   <TR>"), "    ", Title).cell(titleAttrs, caption, "</tr>");
        HtmlRow(f, QStringLiteral("  <TR>"), "    ", Title, Tags::UpperOpen)
            .cells({{HtmlRow::kCenter, u"Pos"}, {HtmlRow::kCenter, middleHead}, {HtmlRow::kRight, u"Points"}})
            .line(QStringLiteral("  </TR>"));
        bool rowBand = false;
        int row = 1;
        for (const QString& L : lines) {
            sClassLine = RowClass(row, rowBand);
            HtmlRow(f, QStringLiteral("   <tr>"), "    ", sClassLine)
                .cells({{u" width=\"10%\" align=\"center\"", Cell(L, cols[0].start, cols[0].length, cols[0].trimmed)},
                        {u" width=\"80%\"", Cell(L, cols[1].start, cols[1].length, cols[1].trimmed)}})
                .cell(u" width=\"10%\" align=\"right\"", Cell(L, cols[2].start, cols[2].length, cols[2].trimmed), "</tr>");
            SeparatorLine(f, "   ", 3);
            ++row;
        }
        f << QStringLiteral("</TABLE>");
    };

    static const Col teamCols[3] = {{1, 2, false}, {6, 30, true}, {37, 7, true}};
    static const Col rookieCols[3] = {{1, 2, false}, {5, 29, true}, {34, 4, true}};
    static const Col mfgCols[3] = {{1, 2, true}, {6, 16, true}, {22, 3, true}};
    const QStringView span3 = u" align=\"center\" colspan=\"3\"";
    threeColumnTable(c_teams, true, span3, u"Team Points", u"Team", teamCols);
    threeColumnTable(c_rookies, false, u" align=\"center\" colspan=\"3\" ", u"ROTY Points", u"Driver", rookieCols);
    threeColumnTable(c_mfgs, false, span3, u"Manufacturer Points", u"Manufacturer", mfgCols);

    return PublishPage(f, SeasonFragmentName(SeasonFragment::Standings, sRace, sDiv), QStringLiteral("temp_standings.htm"),
                       QStringLiteral("standings"), QString(), sDiv);
}
