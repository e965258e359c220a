// The race result page written from the race result window's grids: the
// result table, race data with the footer, race awards, qualifying, then
// team, rookie, manufacturer points and point adjustments when they have
// lines. Every text comes from the grid rows, cut by column, so the page
// shows what the window shows.

#include "HTMLClass.h"

#include "Runtime.h"
#include "State.h"

namespace {

// Row k of a grid; "" past its end.
QString lineAt(const QStringList& grid, int k)
{
    return k >= 0 && k < grid.size() ? grid[k] : QString();
}

bool isBlank(const QString& line)
{
    return rt::Trim(line).isEmpty();
}

// Lines 1, 2, ... up to the first blank one or the grid's end.
int filledLines(const QStringList& grid)
{
    int n = 0;
    while (n + 1 < grid.size() && !isBlank(grid[n + 1]))
        ++n;
    return n;
}

// The total of an earnings line ("##,###,##0" in columns 59-68) as a page
// amount: a dollar sign and whole units with thousands separators.
QString moneyCell(const QString& earnLine)
{
    QString digits = HTMLClass::CutTrim(earnLine, 59, 10);
    digits.remove(QLatin1Char(','));
    const double v = rt::Val(digits);
    return (v < 0 ? QStringLiteral("-$") : QStringLiteral("$")) + rt::Format(v < 0 ? -v : v, QStringLiteral("#,##0"));
}

} // namespace

bool HTMLClass::HTMLRaceResult(const QString& sRaceName, const QString& sVenue, const QString& sDate,
                               const QString& sMiles, const QString& sWeather, const RaceResultGrids& grids)
{
    Q_UNUSED(sMiles);
    sRaceNo = sRace;
    const QString& T = sClassTitle;
    const QString& L1 = sClassLine1;
    const QString sep = QStringLiteral("    ");

    Fragment f;
    WriteStyle(f);

    // Result table.
    const int N = ResultTableHead(f, sVenue, sDate, sRaceName, sWeather);

    bool band = false;
    const int results = filledLines(grids.results);
    for (int k = 1; k <= results; ++k) {
        const QString R = grids.results[k];
        sClassLine = RowClass(k, band);
        const QString cell = QStringLiteral("     <td ") + sClassLine;
        const QString center = cell + QStringLiteral(" align=\"center\">");
        const QString left = cell + QStringLiteral(" align=\"left\">");
        const QString right = cell + QStringLiteral(" align=\"right\">");
        const QString end = QStringLiteral("</td>");
        f << QStringLiteral("    <TR>");
        f << center + Cell(R, 1, 2, true) + end;
        f << (bNumbers ? center + Cell(R, 6, 4, false) + end : cell + QStringLiteral(" align=\"center\"></td>"));
        f << left + Cell(R, 11, 20, false) + end;
        f << left + Cell(R, 34, 10, false) + end;
        if (nTeams != 0)
            f << left + Cell(R, 87, 30, false) + end;
        f << center + Cell(R, 46, 8, false) + end;
        f << right + Cell(R, 56, 3, false) + end;
        f << right + Cell(R, 61, 3, false) + end;
        f << right + Cell(R, 65, 4, false) + end;
        f << right + Cell(R, 71, 15, false) + end;
        if (bEarnings)
            f << right + Escape(moneyCell(lineAt(grids.earnings, k))) + end;
        f << QStringLiteral("    </TR>");
        if (bLines)
            f << sep + SeparatorRow(N);
    }
    f << QStringLiteral("</TABLE>");

    // Race data and footer.
    const QString info9 = lineAt(grids.raceInfo, 9);
    const QString info11 = lineAt(grids.raceInfo, 11);
    const QString titleCell = QStringLiteral("    <TD ") + T + QStringLiteral(">");
    f << TableHead(sClassResult) << QStringLiteral("  <TR>")
      << titleCell + Cell(info9, 1, 22, true) + QStringLiteral("</TD>")
      << titleCell + Cell(info9, 23, 20, true) + QStringLiteral("</TD>")
      << titleCell + Cell(info11, 1, 22, true) + QStringLiteral("</TD>")
      << titleCell + Cell(info11, 23, 20, true) + QStringLiteral("</TD></TR>");
    FooterRow(f);
    f << QStringLiteral("</TABLE>") << QStringLiteral("<p><br></p>");

    // Race awards, not banded.
    f << TableHead(sClassResult) << QStringLiteral("  <TR>")
      << QStringLiteral("   <TD align=\"center\" colspan=\"2\" ") + T + QStringLiteral(">Race Awards</TD></TR>");
    for (int k = 1; k <= 9; k += 2) {
        // The winner text runs to the end of the line: a pole text with a
        // full-width name passes 40 characters.
        const QString A = lineAt(grids.awards, k);
        f << QStringLiteral("  <TR>") << QStringLiteral("    <td ") + L1 + QStringLiteral(">") + Cell(A, 1, 20, true) + QStringLiteral("</td>")
          << QStringLiteral("    <td align=\"right\" ") + L1 + QStringLiteral(">") + Cell(A, 23, qMax(0, int(A.size()) - 22), true)
                + QStringLiteral("</td></TR>");
        if (bLines)
            f << sep + SeparatorRow(2);
    }
    f << QStringLiteral("</TABLE>") << QStringLiteral("<p><br></p>");

    // Qualifying.
    f << TableHead(sClassQualify)
      << QStringLiteral("  <TR><TD ") + T + QStringLiteral(" align=\"center\" colspan=\"7\">Qualify</TD></TR>")
      << QStringLiteral("  <TR><TD ") + T + QStringLiteral(" align=\"center\" colspan=\"7\">")
            + Cell(lineAt(grids.raceInfo, 5), 21, 30, true) + QStringLiteral("</TD></TR>");
    f << QStringLiteral("   <TR>");
    const QString noHead = bNumbers ? QStringLiteral(" align=\"center\">No.</TD>") : QStringLiteral(" align=\"center\">&nbsp;</TD>");
    const QString qHeads[] = {QStringLiteral(" align=\"center\">Pos.</TD>"), noHead, QStringLiteral(" align=\"center\">Driver</TD>"),
                              QStringLiteral(" align=\"right\">Speed</TD>"), QStringLiteral(" align=\"center\">Dif. F/N</TD>"),
                              QStringLiteral(" align=\"right\">Time</TD>"), QStringLiteral(" align=\"center\">Dif. F/N</TD>")};
    for (const QString& h : qHeads)
        f << QStringLiteral("    <TD ") + T + h;
    f << QStringLiteral("   </TR>");
    band = false;
    const int quals = filledLines(grids.qualify);
    for (int k = 1; k <= quals; ++k) {
        const QString Q = grids.qualify[k];
        sClassLine = RowClass(k, band);
        const QString cell = QStringLiteral("    <td ") + sClassLine;
        f << QStringLiteral("   <TR>");
        f << cell + QStringLiteral(" align=\"center\">") + Cell(Q, 1, 2, true) + QStringLiteral("</td>");
        f << (bNumbers ? cell + QStringLiteral(" align=\"center\">") + Cell(Q, 6, 3, true) + QStringLiteral("</td>")
                       : cell + QStringLiteral(" align=\"center\"></td>"));
        f << cell + QStringLiteral(">") + Cell(Q, 10, 20, true) + QStringLiteral("</td>");
        const QString speed = CutTrim(Q, 31, 7);
        f << cell + QStringLiteral(" align=\"right\">") + Escape(speed) + QStringLiteral("</td>");
        if (speed == QLatin1String("Prov.")) {
            f << cell + QStringLiteral(">&nbsp;</td>") << cell + QStringLiteral(">&nbsp;</td>")
              << cell + QStringLiteral(">&nbsp;</td></tr>");
        } else {
            f << cell + QStringLiteral(" align=\"center\">") + Cell(Q, 41, 11, true) + QStringLiteral("</td>")
              << cell + QStringLiteral(" align=\"right\">") + Cell(Q, 56, 7, true) + QStringLiteral("</td>")
              << cell + QStringLiteral(" align=\"center\">") + Cell(Q, 66, 11, true) + QStringLiteral("</td></tr>");
        }
        if (bLines)
            f << sep + SeparatorRow(7);
    }
    f << QStringLiteral("</TABLE>");

    // Team and rookie points: position, name, points, banded.
    struct Cols {
        int posStart, posLen;
        bool posTrim;
        int nameStart, nameLen, ptsStart, ptsLen;
    };
    auto pointsTable = [&](const QStringList& grid, const QString& caption, const Cols& c) {
        if (isBlank(lineAt(grid, 1)))
            return;
        f << QStringLiteral("<p><br></p>") << TableHead(sClassOther) << QStringLiteral("  <TR>")
          << QStringLiteral("   <TD ") + T + QStringLiteral(" align=\"center\" colspan=\"3\">") + caption + QStringLiteral("</TD></TR>");
        bool toggle = false;
        const int n = filledLines(grid);
        for (int k = 1; k <= n; ++k) {
            const QString X = grid[k];
            sClassLine = RowClass(k, toggle);
            f << QStringLiteral("   <tr>")
              << QStringLiteral("    <td ") + sClassLine + QStringLiteral(" width=\"10%\">") + Cell(X, c.posStart, c.posLen, c.posTrim)
                    + QStringLiteral("</td>")
              << QStringLiteral("    <td ") + sClassLine + QStringLiteral(" width=\"80%\">") + Cell(X, c.nameStart, c.nameLen, true)
                    + QStringLiteral("</td>")
              << QStringLiteral("    <td ") + sClassLine + QStringLiteral(" align=\"right\" width=\"10%\">")
                    + Cell(X, c.ptsStart, c.ptsLen, true) + QStringLiteral("</td></tr>");
            if (bLines)
                f << sep + SeparatorRow(3);
        }
        f << QStringLiteral("</TABLE>");
    };
    pointsTable(grids.teams, QStringLiteral("Team Points"), {1, 2, false, 5, 30, 35, 10});
    pointsTable(grids.rookies, QStringLiteral("ROTY Points"), {1, 2, true, 5, 30, 34, 4});

    // Manufacturer points: always five rows, not banded.
    if (!isBlank(lineAt(grids.mfgs, 1))) {
        f << QStringLiteral("<p><br></p>") << TableHead(sClassOther) << QStringLiteral("  <TR>")
          << QStringLiteral("   <TD ") + T + QStringLiteral(" align=\"center\" colspan=\"3\">Manufacturer Points</TD></TR>");
        for (int k = 1; k <= 5; ++k) {
            const QString M = lineAt(grids.mfgs, k);
            f << QStringLiteral("   <tr>")
              << QStringLiteral("    <td ") + L1 + QStringLiteral(" width=\"10%\">") + Cell(M, 1, 2, true) + QStringLiteral("</td>")
              << QStringLiteral("    <td ") + L1 + QStringLiteral(" width=\"80%\">") + Cell(M, 5, 16, true) + QStringLiteral("</td>")
              << QStringLiteral("    <td ") + L1 + QStringLiteral(" align=\"right\" width=\"10%\">")
                    + Escape(rt::Trim(rt::Mid(M, 21))) + QStringLiteral("</td></tr>");
            if (bLines)
                f << sep + SeparatorRow(3);
        }
        f << QStringLiteral("</TABLE>") << QStringLiteral("<p><br></p>");
    }

    // Point adjustments: only the lines that carry points.
    bool anyAdjustment = false;
    for (int k = 1; k < grids.penalties.size(); ++k)
        if (!CutTrim(grids.penalties[k], 34, 4).isEmpty())
            anyAdjustment = true;
    if (anyAdjustment) {
        f << QStringLiteral("<p><br></p>") << TableHead(sClassOther) << QStringLiteral("  <TR>")
          << QStringLiteral("   <TD ") + T + QStringLiteral(" align=\"center\" colspan=\"3\">Point Adjustments</TD></TR>");
        f << QStringLiteral("  <TR>") << QStringLiteral("    <TD ") + T + QStringLiteral(" align=\"center\">Driver</TD>")
          << QStringLiteral("    <TD ") + T + QStringLiteral(" align=\"center\">Pts.</TD>")
          << QStringLiteral("    <TD ") + T + QStringLiteral(" align=\"center\">Observations</TD>") << QStringLiteral("  </TR>");
        bool toggle = false;
        int r = 1;
        const int n = filledLines(grids.penalties);
        for (int k = 1; k <= n; ++k) {
            const QString P = grids.penalties[k];
            if (CutTrim(P, 34, 4).isEmpty())
                continue;
            sClassLine = RowClass(r, toggle);
            f << QStringLiteral("   <tr>")
              << QStringLiteral("    <td ") + sClassLine + QStringLiteral(">") + Cell(P, 6, 25, false) + QStringLiteral("</td>")
              << QStringLiteral("    <td ") + sClassLine + QStringLiteral(" align=\"center\">") + Cell(P, 34, 4, true)
                    + QStringLiteral("</td>")
              << QStringLiteral("    <td ") + sClassLine + QStringLiteral(">") + Cell(P, 41, 100, true) + QStringLiteral("</td></tr>");
            if (bLines)
                f << sep + SeparatorRow(3);
            ++r;
        }
        f << QStringLiteral("</TABLE>");
    }

    return PublishPage(f, sRaceNo + rt::Trim(sDiv) + QStringLiteral("_Result.htm"), QStringLiteral("temp_result.htm"),
                       QStringLiteral("result"), sRaceNo, sDiv);
}
