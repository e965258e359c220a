// The statistics page: driver statistics and points breakdown with their
// legends, the top-5 lists and the general season records.

#include "HTMLClass.h"

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
    const QString& Row = sClassLine;
    Fragment f;
    WriteStyle(f);

    // A banded table of fixed-width lines, the driver cell first, the
    // numbers right-aligned.
    auto dataRows = [&](const QStringList& lines, const Col* cols, int count) {
        bool band = false;
        int k = 1;
        for (const QString& L : lines) {
            sClassLine = RowClass(k, band);
            f << QStringLiteral("    <tr>")
              << QStringLiteral("      <td ") + Row + QStringLiteral(">") + Cell(L, cols[0].start, cols[0].length, false)
                    + QStringLiteral("</td>");
            for (int i = 1; i < count; ++i)
                f << QStringLiteral("      <td ") + Row + QStringLiteral(" align=\"right\">")
                        + Cell(L, cols[i].start, cols[i].length, false) + QStringLiteral("</td>");
            f << QStringLiteral("    </tr>");
            if (bLines)
                f << QStringLiteral("    ") + SeparatorRow(count);
            ++k;
        }
    };
    auto headerRow = [&](std::initializer_list<const char*> heads) {
        f << QStringLiteral("  <tr>");
        for (const char* h : heads)
            f << QStringLiteral("    <td ") + Title + QString::fromLatin1(h);
        f << QStringLiteral("  </tr>");
    };
    auto legend = [&](std::initializer_list<std::initializer_list<const char*>> rows) {
        f << TableHead(sClassStatistics);
        for (const auto& r : rows) {
            f << QStringLiteral("  <tr>");
            for (const char* t : r)
                f << QStringLiteral("    <td ") + Title + QString::fromLatin1(t);
            f << QStringLiteral("  </tr>");
        }
        FooterRow(f);
        f << QStringLiteral("</table>") << QStringLiteral("<p><br></p>");
    };

    // Driver statistics.
    const QString miles = rt::Format(static_cast<double>(dTotMiles), QStringLiteral("####"));
    f << TableHead(sClassStatistics) << QStringLiteral("  <tr>")
      << QStringLiteral("    <td ") + Title + QStringLiteral(" align=\"center\" colspan=\"8\">Statistics Through Race #")
            + Escape(sRace) + QStringLiteral(" (") + Escape(rt::Str(dTotLaps)) + QStringLiteral(" total laps, ") + miles
            + QStringLiteral(" total miles)</td>")
      << QStringLiteral("  </tr>");
    headerRow({" align=\"center\">Driver</td>", " align=\"right\">ST</td>", " align=\"right\">Miles</td>",
               " align=\"right\">LC</td>", " align=\"right\">%LC</td>", " align=\"right\">LL</td>",
               " align=\"right\">%LOC</td>", " align=\"right\">%LOT</td>"});
    dataRows(c_stats, kStatCols, 8);
    f << QStringLiteral("</TABLE>");
    legend({{">ST</td>", ">Starts</td>", ">Miles</td>", ">Miles Completed</td>"},
            {">LC</td>", ">Laps Completed</td>", ">%LC</td>", ">Percent Laps Completed</td>"},
            {">LL</td>", ">Laps Led</td>", ">%LOC</td>", ">Percent Laps Led of Laps Completed</td>"},
            {">%LOT</td>", ">Percent Laps Led of Total Laps</td>", ">&nbsp;</td>", ">&nbsp;</td>"}});

    // Points breakdown.
    f << TableHead(sClassStatistics) << QStringLiteral("  <tr>")
      << QStringLiteral("    <td ") + Title + QStringLiteral(" align=\"center\" colspan=\"7\">Points Breakdown</td>")
      << QStringLiteral("  </tr>");
    headerRow({" align=\"center\">Driver</td>", " align=\"right\">N</td>", " align=\"right\">ST</td>",
               " align=\"right\">PR</td>", " align=\"right\">TP</td>", " align=\"right\">EP/ST</td>",
               " align=\"right\">PP</td>"});
    dataRows(c_break, kBreakCols, 7);
    f << QStringLiteral("</table>");
    legend({{">N</td>", ">Number of Races Scored</td>", ">ST</td>", ">Starts</td>"},
            {">PR</td>", ">Provisionals</td>", ">TP</td>", ">Total of Points</td>"},
            {">EP/ST</td>", ">Earned Points per Start</td>", ">PP</td>", ">Provisionals Points</td>"}});

    // Top 5: each list title switches the shading of the entries below it.
    f << TableHead(sClassOther) << QStringLiteral("   <tr>")
      << QStringLiteral("     <td ") + Title + QStringLiteral(" align=\"center\" colspan=\"2\" >Top 5</td>")
      << QStringLiteral("   </tr>");
    bool band = false;
    int b = 1;
    for (const QString& I : c_top5) {
        if (I.startsWith(QLatin1String("T:"))) {
            f << QStringLiteral("   <tr>")
              << QStringLiteral("    <td ") + Title + QStringLiteral(" align=\"center\" colspan=\"2\">") + Escape(I.mid(2))
                    + QStringLiteral("</td>")
              << QStringLiteral("   </tr>");
            sClassLine = RowClass(b, band);
            b += 5;
        } else if (I != kLineMarker) {
            f << QStringLiteral("   <tr>")
              << QStringLiteral("    <td ") + Row + QStringLiteral(">") + Cell(I, 4, 20, false) + QStringLiteral("</td>")
              << QStringLiteral("    <td ") + Row + QStringLiteral(" align=\"right\">") + Cell(I, 31, 5, false)
                    + QStringLiteral("</td>")
              << QStringLiteral("   </tr>");
        }
    }
    f << QStringLiteral("</table>") << QStringLiteral("<p><br></p>");

    // General statistics: groups end in "LINE", which switches the shading,
    // draws a rule and makes the next group's first entry bold.
    f << TableHead(sClassOther) << QStringLiteral("   <tr>")
      << QStringLiteral("     <td ") + Title + QStringLiteral(" align=\"center\" colspan=\"2\">General Statistics</td>")
      << QStringLiteral("   </tr>");
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
        f << QStringLiteral("   <tr>")
          << QStringLiteral("    <td ") + Row + QStringLiteral(">") + open + Cell(I, 1, 17, false) + close + QStringLiteral("</td>")
          << QStringLiteral("    <td ") + Row + QStringLiteral(">") + open + Cell(I, 20, 40, false) + close + QStringLiteral("</td>")
          << QStringLiteral("   </tr>");
        bold = false;
    }
    f << QStringLiteral("</table>");

    return PublishPage(f, SeasonFragmentName(SeasonFragment::Statistics, sRace, sDiv), QStringLiteral("temp_statistics.htm"),
                       QStringLiteral("statistics"), QString(), sDiv);
}
