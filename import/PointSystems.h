#pragma once
// The eight point systems of a division. 1, 2 and 8 keep the page's points
// (5 or 10 more for the winner under 2 and 8); 3 to 7 rewrite the points of
// every row of the race once all its rows are stored.

#include <QString>

#include <array>
#include <functional>

class PointSystems {
public:
    enum System { NascarClassic = 1, Nascar2004, Iroc, TransAm, Bttc, AussieV8, Other, Nascar2007 };

    PointSystems();

    // The points a finisher's row gets from the page's points cell.
    static int PagePoints(int system, int position, int pagePoints, bool moneyOnly);

    // Runs the division's system on the race (nothing for 1, 2 and 8).
    void Apply(int system, qint64 raceId, const QString& pointsFile);

    void CalcIROCPoints(qint64 raceId);
    void CalcTransAmPoints(qint64 raceId);
    void CalcBTTCPoints(qint64 raceId);
    void CalcV8Points(qint64 raceId);
    // The file is read from the program folder; when it cannot be read the
    // scorer is told and the race keeps its points.
    void CalcOtherPoints(qint64 raceId, const QString& fileName);

    // Points by finishing position; 0 outside the tables (TRANS AM: 1 from 25 on).
    static int IROCPoints(int position);
    int TransAmPoints(int position) const;
    int BTTCPoints(int position) const;
    int V8Points(int position) const;

private:
    using ByPosition = std::function<int(int position)>;
    using LeaderBonus = std::function<int(int rank)>;      // rank 0 led the most laps
    using QualBonus = std::function<int(int qualPos)>;
    // Sets every row of the race to byPosition, then adds the bonuses.
    static void Rescore(qint64 raceId, const ByPosition& byPosition, const LeaderBonus& leaderBonus,
                        const QualBonus& qualBonus);

    std::array<int, 26> nTransAmPoints{};
    std::array<int, 33> nBTTCPoints{};
    std::array<int, 33> nV8Points{};
};
