#include "PointSystems.h"

#include "CustomPoints.h"
#include "Database.h"
#include "Dialogs.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace {

template <std::size_t N>
int Lookup(const std::array<int, N>& table, int position)
{
    return position >= 0 && position < int(N) ? table[std::size_t(position)] : 0;
}

} // namespace

PointSystems::PointSystems()
{
    const int transAm[] = {0, 30, 27, 25, 23, 21, 20, 19, 18, 17, 16, 15, 14, 13,
                           12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    std::copy(std::begin(transAm), std::end(transAm), nTransAmPoints.begin());
    const int bttc[] = {0, 15, 12, 10, 8, 6, 5, 4, 3, 2, 1};
    std::copy(std::begin(bttc), std::end(bttc), nBTTCPoints.begin());
    for (int p = 1; p <= 32; ++p)
        nV8Points[std::size_t(p)] = 66 - 2 * p;
}

int PointSystems::PagePoints(int system, int position, int pagePoints, bool moneyOnly)
{
    if (moneyOnly)
        return 0;
    if (position == 1 && system == Nascar2004)
        return pagePoints + 5;
    if (position == 1 && system == Nascar2007)
        return pagePoints + 10;
    return pagePoints;
}

int PointSystems::IROCPoints(int position)
{
    static const std::array<int, 13> table{0, 21, 17, 14, 12, 10, 9, 8, 7, 6, 5, 4, 3};
    return Lookup(table, position);
}

int PointSystems::TransAmPoints(int position) const
{
    // Every place from 25 on scores the last entry.
    return Lookup(nTransAmPoints, std::min(position, 25));
}

int PointSystems::BTTCPoints(int position) const { return Lookup(nBTTCPoints, position); }

int PointSystems::V8Points(int position) const { return Lookup(nV8Points, position); }

void PointSystems::Apply(int system, qint64 raceId, const QString& pointsFile)
{
    switch (system) {
    case Iroc:
        CalcIROCPoints(raceId);
        break;
    case TransAm:
        CalcTransAmPoints(raceId);
        break;
    case Bttc:
        CalcBTTCPoints(raceId);
        break;
    case AussieV8:
        CalcV8Points(raceId);
        break;
    case Other:
        CalcOtherPoints(raceId, pointsFile);
        break;
    default:
        break;   // the race pass wrote the page's points
    }
}

void PointSystems::Rescore(qint64 raceId, const ByPosition& byPosition, const LeaderBonus& leaderBonus,
                           const QualBonus& qualBonus)
{
    struct Row {
        int posi;
        qint64 driverId;
        int lead;
        int points;
    };
    const QString race = QString::number(raceId);
    std::vector<Row> rows;
    QHash<qint64, std::size_t> rowOfDriver;   // a driver's best-placed row
    {
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT Posi, DriverID, Lead FROM Score WHERE RaceID = ")
                                        + race + QStringLiteral(" ORDER BY Posi"));
        for (; !rs->eof(); rs->moveNext()) {
            const int posi = int(rs->integer(QStringLiteral("Posi")));
            const qint64 driver = rs->integer(QStringLiteral("DriverID"));
            if (!rowOfDriver.contains(driver))
                rowOfDriver.insert(driver, rows.size());
            rows.push_back({posi, driver, int(rs->integer(QStringLiteral("Lead"))), byPosition(posi)});
        }
    }

    if (leaderBonus) {
        // Most laps led first; equal counts go by finishing position.
        std::vector<Row*> leaders;
        for (Row& r : rows)
            if (r.lead > 0)
                leaders.push_back(&r);
        std::stable_sort(leaders.begin(), leaders.end(), [](const Row* a, const Row* b) { return a->lead > b->lead; });
        for (std::size_t i = 0; i < leaders.size(); ++i)
            leaders[i]->points += leaderBonus(int(i));
    }

    if (qualBonus) {
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT Pos, DriverID FROM Qualify WHERE RaceID = ") + race
                                        + QStringLiteral(" ORDER BY Pos"));
        for (; !rs->eof(); rs->moveNext()) {
            const auto it = rowOfDriver.constFind(rs->integer(QStringLiteral("DriverID")));
            if (it != rowOfDriver.constEnd())
                rows[*it].points += qualBonus(int(rs->integer(QStringLiteral("Pos"))));
        }
    }

    dao::Transaction transaction(*dbMain);
    for (const Row& r : rows)
        dbMain->execute(QStringLiteral("UPDATE Score SET Points = ? WHERE RaceID = ? AND Posi = ?"),
                        {r.points, raceId, r.posi});
    transaction.commit();
}

void PointSystems::CalcIROCPoints(qint64 raceId)
{
    Rescore(raceId, &PointSystems::IROCPoints,
            [](int rank) { return rank == 0 ? 5 : rank == 1 ? 3 : rank == 2 ? 2 : 0; }, nullptr);
}

void PointSystems::CalcTransAmPoints(qint64 raceId)
{
    Rescore(raceId, [this](int p) { return TransAmPoints(p); },
            [](int rank) { return rank == 0 ? 2 : 1; },
            [](int pos) { return pos == 1 ? 2 : pos == 2 || pos == 3 ? 1 : 0; });
}

void PointSystems::CalcBTTCPoints(qint64 raceId)
{
    Rescore(raceId, [this](int p) { return BTTCPoints(p); },
            [](int) { return 1; },
            [](int pos) { return pos == 1 ? 1 : 0; });
}

void PointSystems::CalcV8Points(qint64 raceId)
{
    Rescore(raceId, [this](int p) { return V8Points(p); }, nullptr, nullptr);
}

void PointSystems::CalcOtherPoints(qint64 raceId, const QString& fileName)
{
    CustomPoints file;
    if (fileName.trimmed().isEmpty() || !file.Load(rt::AppFile(fileName))) {
        dlg::MsgBox(QStringLiteral("File ") + fileName + QStringLiteral(" not found!\n")
                        + QStringLiteral("Points from the Standings file has been used"),
                    dlg::vbCritical);
        return;
    }
    Rescore(raceId, [&file](int p) { return file.RacePoints(p); },
            [&file](int rank) { return file.nLedLap + (rank == 0 ? file.nMostLed : 0); },
            [&file](int pos) { return file.QualPoints(pos); });
}
