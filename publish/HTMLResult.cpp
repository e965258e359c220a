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

    Fragment f;
    WriteStyle(f);

    // Result table.
    const int N = ResultTableHead(f, sVenue, sDate, sRaceName, sWeather);
    bool band = false;
    const int results = filledLines(grids.results);
    for (int k = 1; k <= results; ++k) {
        const QString& R = grids.results[k];
        sClassLine = RowClass(k, band);
        ResultRow(f, {Cell(R, 1, 2, true), bNumbers ? Cell(R, 6, 4, false) : QString(), Cell(R, 11, 20, false),
                      Cell(R, 34, 10, false), nTeams != 0 ? Cell(R, 87, 30, false) : QString(), Cell(R, 46, 8, false),
                      Cell(R, 56, 3, false), Cell(R, 61, 3, false), Cell(R, 65, 4, false), Cell(R, 71, 15, false),
                      bEarnings ? Escape(moneyCell(lineAt(grids.earnings, k))) : QString()},
                  N);
    }
    f << QStringLiteral("</TABLE>");

    // Race data with the footer: labels and values as the window shows them.
    const QString info9 = lineAt(grids.raceInfo, 9);
    const QString info11 = lineAt(grids.raceInfo, 11);
    RaceDataTable(f, Cell(info9, 1, 22, true), Cell(info9, 23, 20, true), Cell(info11, 1, 22, true),
                  Cell(info11, 23, 20, true));

    // Race awards. The winner text runs to the end of the line: a pole text
    // with a full-width name passes 40 characters.
    QList<AwardLine> awards;
    for (int k = 1; k <= 9; k += 2) {
        const QString A = lineAt(grids.awards, k);
        awards.append({Cell(A, 1, 20, true), Cell(A, 23, qMax(0, int(A.size()) - 22), true)});
    }
    AwardsTable(f, awards, false);

    // Qualifying, under its weather whole: the line runs to the text's end.
    QualifyTableHead(f, Escape(rt::Trim(rt::Mid(lineAt(grids.raceInfo, 5), 21))), false);
    band = false;
    const int quals = filledLines(grids.qualify);
    for (int k = 1; k <= quals; ++k) {
        const QString& Q = grids.qualify[k];
        sClassLine = RowClass(k, band);
        QualifyRow(f, {Cell(Q, 1, 2, true), bNumbers ? Cell(Q, 6, 3, true) : QString(), Cell(Q, 10, 20, true),
                       Cell(Q, 31, 7, true), Cell(Q, 41, 11, true), Cell(Q, 56, 7, true), Cell(Q, 66, 11, true)});
    }
    f << QStringLiteral("</TABLE>");

    // Team and rookie points, banded; manufacturer points, always five rows.
    struct Cols {
        int posLen;
        bool posTrim;
        int nameLen, ptsStart, ptsLen;
    };
    auto pointsLines = [](const QStringList& grid, const Cols& c) {
        QList<PointsLine> rows;
        for (int k = 1, n = filledLines(grid); k <= n; ++k)
            rows.append({Cell(grid[k], 1, c.posLen, c.posTrim), Cell(grid[k], 5, c.nameLen, true),
                         Cell(grid[k], c.ptsStart, c.ptsLen, true)});
        return rows;
    };
    if (!isBlank(lineAt(grids.teams, 1)))
        PointsTable(f, QStringLiteral("Team Points"), pointsLines(grids.teams, {2, false, 30, 35, 10}), true);
    if (!isBlank(lineAt(grids.rookies, 1)))
        PointsTable(f, QStringLiteral("ROTY Points"), pointsLines(grids.rookies, {2, true, 30, 34, 4}), true);
    if (!isBlank(lineAt(grids.mfgs, 1))) {
        QList<PointsLine> makes;
        for (int k = 1; k <= 5; ++k) {
            const QString M = lineAt(grids.mfgs, k);
            makes.append({Cell(M, 1, 2, true), Cell(M, 5, 16, true), Escape(rt::Trim(rt::Mid(M, 21)))});
        }
        PointsTable(f, QStringLiteral("Manufacturer Points"), makes, false);
        f << QStringLiteral("<p><br></p>");
    }

    // Point adjustments: only the lines that carry points.
    bool anyAdjustment = false;
    for (int k = 1; k < grids.penalties.size(); ++k)
        if (!CutTrim(grids.penalties[k], 34, 4).isEmpty())
            anyAdjustment = true;
    if (anyAdjustment) {
        QList<AdjustmentLine> adjustments;
        for (int k = 1, n = filledLines(grids.penalties); k <= n; ++k) {
            const QString& P = grids.penalties[k];
            if (!CutTrim(P, 34, 4).isEmpty())
                adjustments.append({Cell(P, 6, 25, false), Cell(P, 34, 4, true), Cell(P, 41, 100, true)});
        }
        AdjustmentsTable(f, adjustments);
    }

    return PublishPage(f, sRaceNo + rt::Trim(sDiv) + QStringLiteral("_Result.htm"), QStringLiteral("temp_result.htm"),
                       QStringLiteral("result"), sRaceNo, sDiv);
}
