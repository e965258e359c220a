// The statistics page: driver statistics and points breakdown with their
// legends, the top-5 lists and the general season records.

#include "HTMLClass.h"

#include "HtmlRow.h"
#include "Runtime.h"
#include "State.h"

namespace {

struct Col {
    int start;
    int length;
};

// Driver, ST, Miles, LC, %LC, LL, %LOC, %LOT.
const Col kStatCols[8] = {{1, 20}, {23, 2}, {27, 5}, {34, 5}, {41, 5}, {48, 5}, {55, 5}, {62, 5}};
// Driver, N, ST, PR, TP, EP/ST, PP.
const Col kBreakCols[7] = {{1, 20}, {24, 2}, {29, 2}, {34, 2}, {39, 4}, {46, 5}, {54, 5}};

const QString kLineMarker = QStringLiteral("LINE");

} // namespace

bool HTMLClass::HTMLStatistics(const QVariant& dTotLaps, qint64 dTotMiles, const QStringList& c_break,
                               const QStringList& c_stats, const QStringList& c_top5, const QStringList& c_gen)
{
    const QString& Title = sClassTitle;
    Fragment f;
    WriteStyle(f);

    // A banded table of fixed-width lines, the driver cell first, the
    // numbers right-aligned.
    auto dataRows = [&](const QStringList& lines, const Col* cols, int count) {
        bool band = false;
        int k = 1;
        for (const QString& L : lines) {
            sClassLine = RowClass(k, band);
            HtmlRow row(f, QStringLiteral("    <tr>"), "      ", sClassLine);
            row.cell({}, Cell(L, cols[0].start, cols[0].length, false));
            for (int i = 1; i < count; ++i)
                row.cell(HtmlRow::kRight, Cell(L, cols[i].start, cols[i].length, false));
            row.line(QStringLiteral("    </tr>"));
            SeparatorLine(f, "    ", count);
            ++k;
        }
    };
    // The table's title across its columns, then their headers.
    auto titledHead = [&](const QString& title, std::initializer_list<HtmlRow::Cell> heads) {
        f << TableHead(sClassStatistics);
        HtmlRow(f, QStringLiteral("  <tr>"), "    ", Title)
            .cell(QStringLiteral(" align=\"center\" colspan=\"%1\"").arg(heads.size()), title)
            .line(QStringLiteral("  </tr>"));
        HtmlRow(f, QStringLiteral("  <tr>"), "    ", Title).cells(heads).line(QStringLiteral("  </tr>"));
    };
    auto legend = [&](std::initializer_list<std::initializer_list<const char16_t*>> rows) {
        f << TableHead(sClassStatistics);
        for (const auto& r : rows) {
            HtmlRow row(f, QStringLiteral("  <tr>"), "    ", Title);
            for (const char16_t* t : r)
                row.cell({}, t);
            row.line(QStringLiteral("  </tr>"));
        }
        FooterRow(f);
        f << QStringLiteral("</table>") << QStringLiteral("<p><br></p>");
    };

    // Driver statistics.
    const QString miles = rt::Format(static_cast<double>(dTotMiles), QStringLiteral("####"));
    titledHead(QStringLiteral("Statistics Through Race #") + Escape(sRace) + QStringLiteral(" (") + Escape(rt::Str(dTotLaps))
                   + QStringLiteral(" total laps, ") + miles + QStringLiteral(" total miles)"),
               {{HtmlRow::kCenter, u"Driver"}, {HtmlRow::kRight, u"ST"}, {HtmlRow::kRight, u"Miles"},
                {HtmlRow::kRight, u"LC"}, {HtmlRow::kRight, u"%LC"}, {HtmlRow::kRight, u"LL"},
                {HtmlRow::kRight, u"%LOC"}, {HtmlRow::kRight, u"%LOT"}});
    dataRows(c_stats, kStatCols, 8);
    f << QStringLiteral("</TABLE>");
    legend({{u"ST", u"Starts", u"Miles", u"Miles Completed"},
            {u"LC", u"Laps Completed", u"%LC", u"Percent Laps Completed"},
            {u"LL", u"Laps Led", u"%LOC", u"Percent Laps Led of Laps Completed"},
            {u"%LOT", u"Percent Laps Led of Total Laps", u"&nbsp;", u"&nbsp;"}});

    // Points breakdown.
    titledHead(QStringLiteral("Points Breakdown"),
               {{HtmlRow::kCenter, u"Driver"}, {HtmlRow::kRight, u"N"}, {HtmlRow::kRight, u"ST"},
                {HtmlRow::kRight, u"PR"}, {HtmlRow::kRight, u"TP"}, {HtmlRow::kRight, u"EP/ST"},
                {HtmlRow::kRight, u"PP"}});
    dataRows(c_break, kBreakCols, 7);
    f << QStringLiteral("</table>");
    legend({{u"N", u"Number of Races Scored", u"ST", u"Starts"},
            {u"PR", u"Provisionals", u"TP", u"Total of Points"},
            {u"EP/ST", u"Earned Points per Start", u"PP", u"Provisionals Points"}});

    // Top 5: each list title switches the shading of the entries below it.
    f << TableHead(sClassOther);
    HtmlRow(f, QStringLiteral("   <tr>"), "     ", Title)
        .cell(u" align=\"center\" colspan=\"2\" ", u"Top 5")
        .line(QStringLiteral("   </tr>"));
    bool band = false;
    int b = 1;
    for (const QString& I : c_top5) {
        if (I.startsWith(QLatin1String("T:"))) {
            HtmlRow(f, QStringLiteral("   <tr>"), "    ", Title)
                .cell(u" align=\"center\" colspan=\"2\"", Escape(I.mid(2)))
                .line(QStringLiteral("   </tr>"));
            sClassLine = RowClass(b, band);
            b += 5;
        } else if (I != kLineMarker) {
            HtmlRow(f, QStringLiteral("   <tr>"), "    ", sClassLine)
                .cells({{{}, Cell(I, 4, 20, false)}, {HtmlRow::kRight, Cell(I, 31, 5, false)}})
                .line(QStringLiteral("   </tr>"));
        }
    }
    f << QStringLiteral("</table>") << QStringLiteral("<p><br></p>");

    // General statistics: groups end in "LINE", which switches the shading,
    // draws a rule and makes the next group's first entry bold.
    f << TableHead(sClassOther);
    HtmlRow(f, QStringLiteral("   <tr>"), "     ", Title)
        .cell(u" align=\"center\" colspan=\"2\"", u"General Statistics")
        .line(QStringLiteral("   </tr>"));
    band = false;
    b = 1;
    sClassLine = RowClass(b, band);
    bool bold = true;
    for (const QString& I : c_gen) {
        if (I == kLineMarker) {
            b += 5;
            sClassLine = RowClass(b, band);
            f << QStringLiteral("   ") + SeparatorRow(2);
            bold = true;
            continue;
        }
        const QString open = bold ? QStringLiteral("<strong>") : QString();
        const QString close = bold ? QStringLiteral("</strong>") : QString();
        HtmlRow(f, QStringLiteral("   <tr>"), "    ", sClassLine)
            .cells({{{}, open + Cell(I, 1, 17, false) + close}, {{}, open + Cell(I, 20, 40, false) + close}})
            .line(QStringLiteral("   </tr>"));
        bold = false;
    }
    f << QStringLiteral("</table>");

    return PublishPage(f, SeasonFragmentName(SeasonFragment::Statistics, sRace, sDiv), QStringLiteral("temp_statistics.htm"),
                       QStringLiteral("statistics"), QString(), sDiv);
}
