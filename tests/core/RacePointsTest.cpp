#include "Database.h"
#include "RacePoints.h"
#include "State.h"
#include "TestSupport.h"

#include <ostream>

using testsupport::LeagueTest;

// Readable failures.
static void PrintTo(const RacePointsLine& line, std::ostream* os)
{
    *os << '{' << line.name.toStdString() << ", " << (line.points ? std::to_string(*line.points) : "none") << '}';
}

namespace {

using Lines = QList<RacePointsLine>;

constexpr qint64 kRace = 50000;
constexpr qint64 kNotOnFile = 990;

class RacePoints : public LeagueTest {
protected:
    qint64 AddTeam(const QString& name)
    {
        dbMain->execute(QStringLiteral("INSERT INTO Teams (Division, Team_Name) VALUES ('CUP', ?)"), {name});
        return dbMain->lastInsertId();
    }
    qint64 AddDriver(int n)
    {
        dbMain->execute(QStringLiteral("INSERT INTO Drivers (OnlineID, Name) VALUES (?, ?)"),
                        {QStringLiteral("d%1").arg(n), QStringLiteral("Driver %1").arg(n)});
        return dbMain->lastInsertId();
    }
};

} // namespace

// One race as the import leaves it: a team's fourth car without its team,
// a car that never had one, a line stored without points, provisional lines
// at the end.
TEST_F(RacePoints, TeamRookieAndMakePointsOfOneRace)
{
    const qint64 alpha = AddTeam(QStringLiteral("Alpha")), beta = AddTeam(QStringLiteral("Beta")),
                 emile = AddTeam(QStringLiteral("Émile")), zed = AddTeam(QStringLiteral("Zed")),
                 zedCaps = AddTeam(QStringLiteral("ZED")), gamma = AddTeam(QStringLiteral("Gamma")),
                 omega = AddTeam(QStringLiteral("Omega")), kilo = AddTeam(QStringLiteral("Kilo")),
                 juliet = AddTeam(QStringLiteral("Juliet"));
    struct Line {
        qint64 team;
        QVariant points;
        const char* make;
        const char* rookieOf;   // the division whose rookie the driver is, if any
        const char* finish = "Running";
        bool onFile = true;
    };
    const QVariant none(QMetaType::fromType<int>());
    const Line lines[] = {
        {alpha, 40, "Ford", "CUP"},
        {0, 35, "Chevy", "CUP"},
        {alpha, 34, "Ford", "CUP"},
        {beta, 33, " ", "CUP"},
        {alpha, 32, "Dodge", "TRK"},
        {0, 31, "Toyota", "CUP"},   // Alpha's fourth car
        {beta, 30, "Ford", "CUP"},
        {emile, 29, "Olds", "CUP"},
        {zed, 28, "Pontiac", nullptr},
        {beta, 27, "Ford", "CUP", "Running", false},
        {gamma, none, "Ford", "CUP"},
        {zedCaps, 25, "Ford", nullptr},
        {omega, 0, "Ford", "CUP", "Prov."},
        {0, 0, "Ford", "CUP", "Prov."},
        {kilo, 12, "Ford", nullptr, "Prov."},
        {juliet, 12, "Ford", nullptr, "Prov."},
    };
    for (int i = 0; i < int(std::size(lines)); ++i) {
        const Line& l = lines[i];
        const qint64 driver = l.onFile ? AddDriver(i + 1) : kNotOnFile;
        dbMain->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi, DriverID, Points, Finish, Team, Brand) "
                                       "VALUES ('CUP', ?, ?, ?, ?, ?, ?, ?)"),
                        {kRace, i + 1, driver, l.points, QString::fromLatin1(l.finish), l.team, QString::fromLatin1(l.make)});
        if (l.rookieOf)
            dbMain->execute(QStringLiteral("INSERT INTO Rookies (Division, DriverID) VALUES (?, ?)"),
                            {QString::fromLatin1(l.rookieOf), driver});
    }

    // By place: 15, 12, 10, 8, 6, 5, 4, 3, 2, 1 for the team cars in order,
    // summed by name; Omega's car is the eleventh and scores nothing.
    // Émile and Zed (with ZED) tie on 5: in the database's order Émile comes
    // among the Es, by case-folded text after Z.
    const Lines byPlace = {{"Alpha", 35}, {"Beta", 19}, {"Émile", 5}, {"Zed", 5}, {"Gamma", 2}};
    EXPECT_EQ(RaceTeamPoints(QStringLiteral("CUP"), kRace, 1, TeamNameOrder::Database), byPlace);
    EXPECT_EQ(RaceTeamPoints(QStringLiteral("CUP"), kRace, 1, TeamNameOrder::CaseFolded),
              (Lines{{"Alpha", 35}, {"Beta", 19}, {"Zed", 5}, {"Émile", 5}, {"Gamma", 2}}));

    // Sums of the lines' points, by team: ZED apart from Zed, equal sums by
    // name whatever the teams' ids, Gamma without points last; the race asked
    // for under another division lists nothing.
    const Lines sums = {{"Alpha", 106}, {"Beta", 90}, {"Émile", 29}, {"Zed", 28}, {"ZED", 25},
                        {"Juliet", 12}, {"Kilo", 12}, {"Omega", 0}, {"Gamma", std::nullopt}};
    EXPECT_EQ(RaceTeamPoints(QStringLiteral("CUP"), kRace, 2, TeamNameOrder::Database), sums);
    EXPECT_EQ(RaceTeamPoints(QStringLiteral("CUP"), kRace, 2, TeamNameOrder::CaseFolded), sums);
    EXPECT_EQ(RaceTeamPoints(QStringLiteral("TRK"), kRace, 2, TeamNameOrder::Database), Lines());

    // The ten best placed rookies of the division score 10 down to 1; the
    // one not on file keeps his 3 from the others, and the first
    // provisional line is the tenth rookie.
    auto rookie = [](int n, qint64 points) { return RacePointsLine{QStringLiteral("Driver %1").arg(n).leftJustified(20), points}; };
    EXPECT_EQ(RaceRookiePoints(kRace), (Lines{rookie(1, 10), rookie(2, 9), rookie(3, 8), rookie(4, 7), rookie(6, 6), rookie(7, 5),
                                              rookie(8, 4), rookie(11, 2), rookie(13, 1)}));

    // The first five makes by their best car; a blank make takes no place,
    // the sixth scores nothing.
    EXPECT_EQ(RaceMakePoints(kRace), (Lines{{"Ford", 9}, {"Chevy", 6}, {"Dodge", 4}, {"Toyota", 2}, {"Olds", 1}}));

    EXPECT_EQ(RaceTeamPoints(QStringLiteral("CUP"), kRace + 1, 1, TeamNameOrder::Database), Lines());
    EXPECT_EQ(RaceRookiePoints(kRace + 1), Lines());
    EXPECT_EQ(RaceMakePoints(kRace + 1), Lines());
}
