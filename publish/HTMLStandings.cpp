// The standings page: drivers' standings with their legend, then driver
// earnings, team, rookie and manufacturer points as the division has them.

#include "HTMLClass.h"

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
    const QString& Title = sClassTitle;
    Fragment f;
    WriteStyle(f);

    // Drivers' standings.
    f << TableHead(sClassStandings) << QStringLiteral("  <TR>")
      << QStringLiteral("    <TD ") + Title + QStringLiteral(" align=\"center\" colspan=\"12\">Point Standings after Race #")
            + Escape(sRace) + QStringLiteral("</td>")
      << QStringLiteral("  </TR>");
    f << QStringLiteral("  <TR>");
    const char* heads[] = {" align=\"center\">Pos</TD>", " align=\"center\">+/-</TD>", " align=\"center\">Driver</TD>",
                           " align=\"right\">ST</TD>",    " align=\"right\">W</TD>",    " align=\"right\">T5</TD>",
                           " align=\"right\">T10</TD>",   " align=\"right\">AvFP</TD>", " align=\"right\">P</TD>",
                           " align=\"right\">AvSP</TD>",  " align=\"right\">PTS</TD>",  " align=\"center\">BF/BN</TD>"};
    for (const char* h : heads)
        f << QStringLiteral("    <TD ") + Title + QString::fromLatin1(h);
    f << QStringLiteral("   </TR>");

    // Pos, +/-, Driver, ST, W, T5, T10, AvFP, P, AvSP, PTS, BF/BN.
    static const Col standCols[12] = {{1, 2, true},   {74, 3, false}, {5, 20, false}, {26, 2, false},
                                      {29, 2, false}, {32, 2, false}, {36, 2, false}, {39, 5, false},
                                      {46, 2, false}, {49, 5, false}, {56, 5, false}, {62, 11, false}};
    bool band = false;
    int k = 1;
    for (const QString& L : c_standings) {
        sClassLine = RowClass(k, band);
        const QString& Row = sClassLine;
        f << QStringLiteral("   <TR>");
        for (int i = 0; i < 12; ++i) {
            QString a;
            if (i < 2)
                a = QStringLiteral(" align=\"center\">");
            else if (i == 2)
                a = QStringLiteral(">");
            else if (i < 11)
                a = QStringLiteral(" align=\"right\">");
            else
                a = QStringLiteral(" style=\"vnd.ms-excel.numberformat: ZZZZ/ZZZZ\" align=\"center\">");
            const Col& c = standCols[i];
            f << QStringLiteral("    <TD ") + Row + a + Cell(L, c.start, c.length, c.trimmed) + QStringLiteral("</TD>");
        }
        f << QStringLiteral("   </TR>");
        if (bLines)
            f << QStringLiteral("   ") + SeparatorRow(12);
        ++k;
    }
    f << QStringLiteral("</TABLE>");

    // Legend.
    f << TableHead(sClassStandings);
    const char* legend[5][4] = {
        {">ST</TD>", ">Starts</TD>", ">W</TD>", ">Wins</TD></TR>"},
        {">T5</TD>", ">Top 5 Finishes</TD>", ">T10</TD>", ">Top 10 Finishes</TD></TR>"},
        {">AvFP</TD>", ">Average Finish Position</TD>", ">P</TD>", ">Poles</TD></TR>"},
        {">AvSP</TD>", ">Average Start Position</TD>", ">PTS</TD>", ">Points</TD></TR>"},
        {">BF</TD>", ">Points Behind First Place</TD>", ">BN</TD>", ">Points Behind Next Position</TD></TR>"},
    };
    for (const auto& row : legend) {
        f << QStringLiteral("  <TR>");
        for (const char* t : row)
            f << QStringLiteral("    <TD ") + Title + QString::fromLatin1(t);
    }
    FooterRow(f);
    f << QStringLiteral("</TABLE>");

    // Driver earnings: shown whenever the division pays, even with no lines.
    if (bEarnings) {
        f << QStringLiteral("<p><br></p>") << TableHead(sClassOther) << QStringLiteral("   <TR>")
          << QStringLiteral("    <td ") + Title + QStringLiteral(" align=\"center\" colspan=5 >Driver Earnings</td></TR>");
        f << QStringLiteral("   <TR>");
        for (const char* h : {" align=\"center\">Pos</td>", " align=\"center\">Driver</td>", " align=\"right\">Earnings</td>",
                              " align=\"right\">Bonus</td>", " align=\"right\">Total</td>"})
            f << QStringLiteral("    <TD ") + Title + QString::fromLatin1(h);
        f << QStringLiteral("   </TR>");
        band = false;
        k = 1;
        for (const QString& L : c_earnings) {
            sClassLine = RowClass(k, band);
            const QString& Row = sClassLine;
            f << QStringLiteral("   <TR>")
              << QStringLiteral("    <TD ") + Row + QStringLiteral(" align=\"center\">") + Cell(L, 1, 3, true) + QStringLiteral("</td>")
              << QStringLiteral("    <TD ") + Row + QStringLiteral(">") + Cell(L, 7, 20, false) + QStringLiteral("</td>");
            for (const Col& c : {Col{28, 10, false}, Col{39, 10, false}, Col{50, 10, false}})
                f << QStringLiteral("    <TD ") + Row + QStringLiteral(" align=\"right\">") + Cell(L, c.start, c.length, c.trimmed)
                        + QStringLiteral("</td>");
            f << QStringLiteral("   </TR>");
            if (bLines)
                f << QStringLiteral("   ") + SeparatorRow(5);
            ++k;
        }
        f << QStringLiteral("</TABLE>");
    }

    // The three small tables share one shape: title, header, rows of three.
    auto threeColumnTable = [&](const QStringList& lines, const QStringList& titleLines, const QString& middleHead,
                                const Col (&cols)[3]) {
        if (lines.isEmpty())
            return;
        f << QStringLiteral("<p><br></p>") << TableHead(sClassOther);
        for (const QString& t : titleLines)
            f << t;
        f << QStringLiteral("  <TR>") << QStringLiteral("    <TD ") + Title + QStringLiteral(" align=\"center\">Pos</td>")
          << QStringLiteral("    <TD ") + Title + QStringLiteral(" align=\"center\">") + middleHead + QStringLiteral("</td>")
          << QStringLiteral("    <TD ") + Title + QStringLiteral(" align=\"right\">Points</td>") << QStringLiteral("  </TR>");
        bool rowBand = false;
        int row = 1;
        for (const QString& L : lines) {
            sClassLine = RowClass(row, rowBand);
            const QString& Row = sClassLine;
            f << QStringLiteral("   <tr>")
              << QStringLiteral("    <td ") + Row + QStringLiteral(" width=\"10%\" align=\"center\">")
                    + Cell(L, cols[0].start, cols[0].length, cols[0].trimmed) + QStringLiteral("</td>")
              << QStringLiteral("    <td ") + Row + QStringLiteral(" width=\"80%\">")
                    + Cell(L, cols[1].start, cols[1].length, cols[1].trimmed) + QStringLiteral("</td>")
              << QStringLiteral("    <td ") + Row + QStringLiteral(" width=\"10%\" align=\"right\">")
                    + Cell(L, cols[2].start, cols[2].length, cols[2].trimmed) + QStringLiteral("</td></tr>");
            if (bLines)
                f << QStringLiteral("   ") + SeparatorRow(3);
            ++row;
        }
        f << QStringLiteral("</TABLE>");
    };

    static const Col teamCols[3] = {{1, 2, false}, {6, 30, true}, {37, 7, true}};
    static const Col rookieCols[3] = {{1, 2, false}, {5, 29, true}, {34, 4, true}};
    static const Col mfgCols[3] = {{1, 2, true}, {6, 16, true}, {22, 3, true}};
    threeColumnTable(c_teams,
                     {QStringLiteral("  <TR>"),
                      QStringLiteral("   <TD ") + Title + QStringLiteral(" align=\"center\" colspan=\"3\">Team Points</TD></TR>")},
                     QStringLiteral("Team"), teamCols);
    threeColumnTable(c_rookies,
                     {QStringLiteral("   <TR>"),
                      QStringLiteral("    <td ") + Title + QStringLiteral(" align=\"center\" colspan=\"3\" >ROTY Points</td></tr>")},
                     QStringLiteral("Driver"), rookieCols);
    threeColumnTable(c_mfgs,
                     {QStringLiteral("   <TR>"),
                      QStringLiteral("    <td ") + Title + QStringLiteral(" align=\"center\" colspan=\"3\">Manufacturer Points</td></tr>")},
                     QStringLiteral("Manufacturer"), mfgCols);

    return PublishPage(f, SeasonFragmentName(SeasonFragment::Standings, sRace, sDiv), QStringLiteral("temp_standings.htm"),
                       QStringLiteral("standings"), QString(), sDiv);
}
