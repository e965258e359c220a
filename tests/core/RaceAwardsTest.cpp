#include "Database.h"
#include "RaceAwards.h"
#include "State.h"
#include "TestSupport.h"

#include <ostream>

using testsupport::LeagueTest;

// Readable failures.
static void PrintTo(const RaceAward& award, std::ostream* os)
{
    *os << '{' << award.name.toStdString() << ", " << (award.winner ? award.winner->toStdString() : "none") << '}';
}

namespace {

constexpr qint64 kRace = 50000;

using RaceAwardsTest = LeagueTest;

} // namespace

// Ties everywhere: three qualifiers at Pos 1 (one without a result line),
// equal laps led, equal gains, three running cars on the fewest laps.
TEST_F(RaceAwardsTest, WinnersOfOneRaceAndNoneOfAnEmptyOne)
{
    for (int n = 1; n <= 6; ++n)
        dbMain->execute(QStringLiteral("INSERT INTO Drivers (DriverID, OnlineID, Name) VALUES (?, ?, ?)"),
                        {n, QStringLiteral("d%1").arg(n), QStringLiteral("Driver %1").arg(n)});
    struct Line {
        int driver, lead, laps;
        const char* finish;
    };
    const Line lines[] = {{1, 10, 100, "Running"}, {2, 10, 99, "Running"}, {3, 0, 99, "Running"},
                          {4, 2, 50, "Crash"},     {5, 0, 99, "Running"},  {990, 0, 100, "Running"}};
    for (int i = 0; i < int(std::size(lines)); ++i)
        dbMain->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi, DriverID, Lead, Laps, Finish) "
                                       "VALUES ('CUP', ?, ?, ?, ?, ?, ?)"),
                        {kRace, i + 1, lines[i].driver, lines[i].lead, lines[i].laps, QString::fromLatin1(lines[i].finish)});
    const int grid[][2] = {{1, 6}, {1, 3}, {1, 2}, {2, 1}, {4, 4}, {6, 5}};   // Pos, driver
    for (const auto& q : grid)
        dbMain->execute(QStringLiteral("INSERT INTO Qualify (RaceID, Pos, DriverID, \"Time\", Speed) VALUES (?, ?, ?, ?, ?)"),
                        {kRace, q[0], q[1], QStringLiteral(" 30.%1 ").arg(q[1]), QStringLiteral(" 18%1.000 ").arg(q[1])});

    auto award = [](const char* name, const char* winner) {
        return RaceAward{QString::fromLatin1(name), QString::fromLatin1(winner)};
    };
    EXPECT_EQ(RaceAwards(kRace), (QList<RaceAward>{award("Pole", "Driver 2, 182.000 mph (30.2 s.)"),
                                                   award("Front Runner", "Driver 1, 10 laps Lead"),
                                                   award("Meet the Challenge", "Driver 1, 1 places improved"),
                                                   award("Headache", "Driver 3, 2 places dropped"),
                                                   award("Diehard Racer", "Driver 5")}));

    const QList<RaceAward> none = {{QStringLiteral("Pole"), std::nullopt},
                                   {QStringLiteral("Front Runner"), std::nullopt},
                                   {QStringLiteral("Meet the Challenge"), std::nullopt},
                                   {QStringLiteral("Headache"), std::nullopt},
                                   {QStringLiteral("Diehard Racer"), std::nullopt}};
    EXPECT_EQ(RaceAwards(kRace + 1), none);
}
