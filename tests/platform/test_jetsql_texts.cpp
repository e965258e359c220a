// The program's hardest Jet texts, run against small tables.

#include "JetSqlHarness.h"

using jettest::RawDb;

namespace {

// Saved queries of the standings, statistics and schedule pages.
const QHash<QString, QString>& savedQueries()
{
    static const QHash<QString, QString> q = {
        {"Points", "SELECT DriverID, Sum(Points) AS SumOfPoints, Avg(Val(Posi)) AS AFP, Count(DriverID) AS RRaces "
                   "FROM ScoreDrop WHERE Division = mDiv GROUP BY DriverID ORDER BY Sum(ScoreDrop.Points) DESC"},
        {"Qual", "SELECT Qualify.DriverID, Avg(Pos) AS ASP FROM ScoreDrop INNER JOIN Qualify ON ScoreDrop.RaceID = "
                 "Qualify.RaceID AND ScoreDrop.DriverID = Qualify.DriverID WHERE ScoreDrop.Division = mDiv "
                 "GROUP BY Qualify.DriverID"},
        {"Wins", "SELECT DriverID, Count(Posi) AS TWins FROM ScoreDrop INNER JOIN Races ON ScoreDrop.RaceID = Races.ID "
                 "WHERE ScoreDrop.Division = mDiv AND Posi = 1 GROUP BY DriverID ORDER BY Count(Posi) DESC"},
        {"T5s", "SELECT DriverID, Count(Posi) AS TT5 FROM ScoreDrop WHERE Division = mDiv AND Posi < 6 "
                "GROUP BY DriverID ORDER BY Count(Posi) DESC"},
        {"T10s", "SELECT DriverID, Count(Posi) AS TT10 FROM ScoreDrop WHERE Division = mDiv AND Posi < 11 "
                 "GROUP BY DriverID ORDER BY Count(Posi) DESC"},
        {"Poles", "SELECT DriverID, Count(Pos) AS TPoles FROM Races INNER JOIN Qualify ON Races.ID = Qualify.RaceID "
                  "WHERE Division = mDiv AND Pos = 1 GROUP BY DriverID ORDER BY Count(Pos) DESC"},
        {"Standings",
         " SELECT Points.DriverID, Points.SumOfPoints, Wins.TWins, Points.AFP, Qual.ASP, Points.RRaces, T5s.TT5, "
         "T10s.TT10, Poles.TPoles FROM ((((Points LEFT JOIN Wins ON Points.DriverID = Wins.DriverID) LEFT JOIN Poles "
         "ON Points.DriverID = Poles.DriverID) LEFT JOIN T10s ON Points.DriverID = T10s.DriverID) LEFT JOIN T5s ON "
         "Points.DriverID = T5s.DriverID) LEFT JOIN Qual ON Points.DriverID = Qual.DriverID ORDER BY "
         "Points.SumOfPoints DESC , Points.AFP, Wins.TWins DESC , T5s.TT5 DESC , T10s.TT10 DESC"},
        {"TeamPoints", "SELECT Team_Name, Sum(Points) AS SumOfPoints FROM ScoreDrop INNER JOIN Teams ON ScoreDrop.Team "
                       "= Teams.TeamID WHERE ScoreDrop.Division = mDiv AND ScoreDrop.Team <> 0 GROUP BY ScoreDrop.Team, "
                       "Team_Name ORDER BY Sum(ScoreDrop.Points) DESC"},
        {"LastRacePoints",
         "SELECT Division.ID, ScoreDrop.DriverID, Races.RaceNo, ScoreDrop.Points FROM (Division INNER JOIN Races ON "
         "Division.ID = Races.Division) INNER JOIN ScoreDrop ON Races.ID = ScoreDrop.RaceID WHERE Division.ID= [sDiv] "
         "AND val(RaceNo)<= val([LastRace]) ORDER BY ScoreDrop.DriverID, Races.RaceNo"},
        {"LastRaceTotals", "SELECT LastRacePoints.DriverID, Sum(LastRacePoints.Points) AS TotalPoints FROM "
                           "LastRacePoints GROUP BY LastRacePoints.DriverID ORDER BY Sum(LastRacePoints.Points) DESC"},
        {"QueryRace", "SELECT DriverID AS RDriver, Count(DriverID) AS RRaces FROM ScoreDrop WHERE Division = mDiv "
                      "GROUP BY DriverID"},
        {"Stand", "SELECT ScoreDrop.DriverID as SDriver, Sum(Points) AS SumOfPoints FROM ScoreDrop WHERE "
                  "ScoreDrop.Division = mDiv GROUP BY DriverID ORDER BY Sum(Points) DESC"},
        {"Laps", "SELECT DriverID as LDriver, SUM(Laps) AS SumOfLaps, SUM(Lead) as SumOfLead, (SumOfLaps * 100 / "
                 "mTotLaps) AS LC, (SumOfLead * 100 / SUM(Laps)) AS LOC, (SumOfLead * 100 / mTotLaps) AS LOT FROM "
                 "ScoreDrop WHERE Division = mDiv GROUP BY DriverID ORDER BY DriverID"},
        {"Miles", "SELECT DriverID AS MDriver, Sum((Laps*Miles)) AS TotMiles FROM ScoreDrop, Races INNER JOIN Tracks "
                  "ON Races.TrackID = Tracks.ID WHERE ScoreDrop.Division = mDiv AND ScoreDrop.RaceID = Races.ID "
                  "GROUP BY ScoreDrop.DriverID ORDER BY ScoreDrop.DriverID"},
        {"Stats", "SELECT Drivers.Name, QueryRace.RRaces, Miles.TotMiles, Laps.SumOfLaps, Laps.LC, Laps.SumOfLead, "
                  "Laps.LOC, Laps.LOT FROM Drivers, QueryRace, Miles, Laps WHERE QueryRace.RDriver = Miles.MDriver "
                  "And Drivers.DriverID = QueryRace.RDriver AND QueryRace.RDriver = Laps.LDriver ORDER BY Drivers.Name"},
        {"Provis", "SELECT DriverID, COUNT(DriverID) as TotOfProv, SUM(Points) as TotOfProvPoints FROM ScoreDrop "
                   "WHERE Division = mDiv AND Mid$(Finish,1,4) = 'Prov' GROUP BY DriverID ORDER BY DriverID"},
        {"Break", "SELECT Drivers.Name, QueryRace.RRaces, Provis.TotOfProv, Stand.SumOfPoints, Provis.TotOfProvPoints "
                  "FROM ((QueryRace LEFT JOIN Provis ON QueryRace.RDriver = Provis.DriverID) INNER JOIN Stand ON "
                  "QueryRace.RDriver = Stand.SDriver) INNER JOIN Drivers ON QueryRace.RDriver = Drivers.DriverID "
                  "ORDER BY Drivers.Name"},
        {"Miles2", "SELECT Name, TotMiles FROM Miles INNER JOIN Drivers ON Miles.MDriver = Drivers.DriverID "
                   "ORDER BY Miles.TotMiles DESC, Drivers.Name"},
        {"DNFs", "SELECT DriverID, Count(DriverID) AS TotOfDNF FROM ScoreDrop WHERE (((Division)=[mDiv]) AND "
                 "((Mid$([Finish],1,4))<>'Runn' AND (Mid$([Finish],1,4))<>'Prov' AND (Mid$([Finish],1,4))<>'DNQ ')) "
                 "GROUP BY DriverID ORDER BY DriverID"},
        {"DNQs", "SELECT DriverID, Count(DriverID) AS TotOfDNQ FROM ScoreDrop WHERE (((Division)=[mDiv]) AND "
                 "((Finish)='DNQ')) GROUP BY DriverID ORDER BY DriverID"},
        {"Earnings", "SELECT DriverID, Sum(Earnings +  Bonus + BonusAdd) FROM ScoreDrop GROUP BY DriverID"},
        {"Top5Races", "SELECT Races.Division, Races.RaceNo, Score.Posi, Drivers.Name FROM Drivers INNER JOIN (Races "
                      "INNER JOIN Score ON Races.ID = Score.RaceID) ON Drivers.DriverID = Score.DriverID WHERE "
                      "Score.Posi <= 5 ORDER BY Races.Division, Races.RaceNo, Score.Posi"},
        {"PoleWinners", "SELECT Races.Division, Races.RaceNo, Drivers.Name FROM Races INNER JOIN (Qualify INNER JOIN "
                        "(Drivers INNER JOIN Score ON Drivers.DriverID = Score.DriverID) ON Qualify.DriverID = "
                        "Drivers.DriverID) ON (Races.ID = Score.RaceID) AND (Races.ID = Qualify.RaceID) WHERE "
                        "Qualify.pos = 1 ORDER BY Races.Division, Races.RaceNo"},
    };
    return q;
}

class JetTexts : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.loadSchema();
        db.saved = savedQueries();
        // Rows stored in an order that differs from every expected order.
        db.raw("PRAGMA reverse_unordered_selects = ON;"
               "INSERT INTO Division (ID, Name) VALUES ('A', 'Alpha'), ('B', 'Beta');"
               "INSERT INTO Drivers (DriverID, OnlineID, Name) VALUES (1, 'ann', 'Ann'), (2, 'bob', 'Bob'),"
               " (3, 'cid', 'Cid'), (4, 'dan', 'Dan');"
               "INSERT INTO Tracks (ID, ShortName, FullName, Miles, [Type]) VALUES (1, 'T1', 'One', 2.5, 0),"
               " (2, 'T2', 'Two', 1.0, 0);"
               "INSERT INTO Races (ID, Division, RaceNo, Venue, TrackID) VALUES (1, 'A', '1', 'One', 1),"
               " (2, 'A', '2', 'Two', 2), (3, 'A', '10', 'One', 1), (4, 'B', '1', 'Two', 2);"
               "INSERT INTO Teams (TeamID, Division, Team_Name) VALUES (1, 'A', 'Red'), (2, 'A', 'Blue');"
               "INSERT INTO ScoreDrop (Division, RaceID, Posi, DriverID, Laps, Lead, Points, Finish, Team) VALUES"
               " ('B', 4, 1, 4, 30, 30, 10, 'Running', 0),"
               " ('A', 3, 4, 4, 20, 0, 6, 'PROVISIONAL', 0), ('A', 3, 3, 2, 70, 0, 7, 'Suspension', 0),"
               " ('A', 3, 2, 3, 80, 0, 8, 'Engine', 0), ('A', 3, 1, 1, 100, 100, 10, 'Running', 0),"
               " ('A', 2, 3, 3, 10, 0, 6, 'dnq ', 0), ('A', 2, 2, 1, 49, 0, 8, 'Prov.', 0),"
               " ('A', 2, 1, 2, 50, 50, 10, 'Running', 0),"
               " ('A', 1, 3, 3, 50, 0, 6, 'Accident', 2), ('A', 1, 2, 2, 100, 40, 8, 'RUNNING ', 0),"
               " ('A', 1, 1, 1, 100, 60, 12, 'Running', 1);"
               "INSERT INTO Score SELECT * FROM ScoreDrop;"
               "INSERT INTO Qualify (RaceID, Pos, DriverID, Time, Speed) VALUES (3, 2, 4, '30.2', '121.0'),"
               " (3, 1, 1, '29.9', '125.5'), (1, 3, 3, '31.0', '118.0'), (1, 2, 1, '30.7', '119.0'),"
               " (1, 1, 2, '30.5', '120.1');");
    }

    QStringList run(const QString& sql, const QHash<QString, QVariant>& params = {})
    {
        db.params = params;
        return db.run(sql);
    }
    QStringList open(const QString& savedName, const QHash<QString, QVariant>& params = {})
    {
        return run(savedQueries().value(savedName), params);
    }

    RawDb db;
};

} // namespace

TEST_F(JetTexts, LapsDividesAsRealsAndReusesAliases)
{
    EXPECT_EQ(open("Laps", {{"mdiv", "A"}, {"mtotlaps", 250}}),
              (QStringList{"1|249|160|99.6|64.25702811|64", "2|220|90|88|40.90909091|36", "3|140|0|56|0|0",
                           "4|20|0|8|0|0"}));
    // An empty lap total divides to Null rather than failing.
    EXPECT_EQ(open("Laps", {{"mdiv", "A"}, {"mtotlaps", ""}}).value(0), "1|249|160|NULL|64.25702811|NULL");
}

TEST_F(JetTexts, StandingsOverSixSavedQueries)
{
    EXPECT_EQ(open("Standings", {{"mdiv", "A"}}),
              (QStringList{"1|30|2|1.333333333|1.5|3|3|3|1", "2|25|1|2|1|3|3|3|1", "3|20|NULL|2.666666667|3|3|3|3|NULL",
                           "4|6|NULL|4|2|1|1|1|NULL"}));
}

TEST_F(JetTexts, LastRaceTotalsComparesRaceNumbersByValue)
{
    // Race "10" is later than race 2 although it sorts before it as text.
    EXPECT_EQ(open("LastRaceTotals", {{"sdiv", "a"}, {"lastrace", 2.0}}), (QStringList{"1|20", "2|18", "3|12"}));
    EXPECT_EQ(open("LastRacePoints", {{"sdiv", "A"}, {"lastrace", 1.0}}), (QStringList{"A|1|1|12", "A|2|1|8", "A|3|1|6"}));
}

TEST_F(JetTexts, MilesAndStats)
{
    EXPECT_EQ(open("Miles", {{"mdiv", "A"}}), (QStringList{"1|549", "2|475", "3|335", "4|50"}));
    EXPECT_EQ(open("Stats", {{"mdiv", "A"}, {"mtotlaps", 250}}),
              (QStringList{"Ann|3|549|249|99.6|160|64.25702811|64", "Bob|3|475|220|88|90|40.90909091|36",
                           "Cid|3|335|140|56|0|0|0", "Dan|1|50|20|8|0|0|0"}));
    EXPECT_EQ(open("Miles2", {{"mdiv", "A"}}), (QStringList{"Ann|549", "Bob|475", "Cid|335", "Dan|50"}));
}

TEST_F(JetTexts, FunctionResultsCompareCaseBlind)
{
    // "RUNNING ", "dnq " and "PROVISIONAL" are not DNFs.
    EXPECT_EQ(open("DNFs", {{"mdiv", "A"}}), (QStringList{"2|1", "3|2"}));
    EXPECT_EQ(open("Provis", {{"mdiv", "A"}}), (QStringList{"1|1|8", "4|1|6"}));
    // Starts list: the glued 'Prov'GROUP.
    EXPECT_EQ(run("SELECT Count(ScoreDrop.DriverID) AS RRaces, Drivers.Name FROM ScoreDrop  INNER JOIN Drivers ON "
                  "ScoreDrop.DriverID = Drivers.DriverID WHERE Division = 'a' AND Mid$(ScoreDrop.Finish,1,4) <> "
                  "'Prov'GROUP BY Name ORDER BY Count(ScoreDrop.DriverID) DESC, Drivers.Name"),
              (QStringList{"3|Bob", "3|Cid", "2|Ann"}));
    // Most DNFs: trim() of "RUNNING " equals 'Running'.
    const QStringList dnf = run("SELECT RaceID, Count(DriverID) AS Expr1 FROM ScoreDrop WHERE trim(Finish) <> "
                                "'Running' AND Mid$([Finish],1,4) <> 'Prov' AND Division = 'A' GROUP BY "
                                "ScoreDrop.RaceID ORDER BY Count(DriverID) DESC");
    EXPECT_EQ(dnf.size(), 3);
    EXPECT_EQ(dnf.value(0), "3|2");
}

TEST_F(JetTexts, SavedQueriesFilteredByAdHocSql)
{
    EXPECT_EQ(run("SELECT Name FROM PoleWinners WHERE Division='a' And RaceNo = '1'"), QStringList{"Bob"});
    EXPECT_EQ(run("SELECT * FROM PoleWinners"), (QStringList{"A|1|Bob", "A|10|Ann"}));
    // The top five keep the saved query's order.
    EXPECT_EQ(run("SELECT Posi,Name FROM Top5Races WHERE Division='A' And RaceNo = '10'"),
              (QStringList{"1|Ann", "2|Cid", "3|Bob", "4|Dan"}));
}

TEST_F(JetTexts, TeamCarsAndRookiePoints)
{
    EXPECT_TRUE(run("DELETE FROM TempTeams").isEmpty());
    EXPECT_TRUE(run("INSERT INTO TempTeams SELECT Posi, DriverID, Team_Name, Points FROM Score, Teams WHERE RaceID "
                    "= 1 AND Team <> 0 AND Score.Team = Teams.TeamID ORDER BY Posi")
                    .isEmpty());
    EXPECT_EQ(run("SELECT * FROM TempTeams ORDER BY rowid"), (QStringList{"1|1|Red|12|NULL", "3|3|Blue|6|NULL"}));

    db.raw("DELETE FROM TempTeams; INSERT INTO TempTeams (Posi, DriverID, Points) VALUES (1, 1, 10), (2, 2, 0),"
           " (3, 3, NULL), (4, 4, 9), (5, 3, -5)");
    EXPECT_EQ(run("SELECT TempTeams.DriverID, TempTeams.Points, Drivers.Name FROM TempTeams, Drivers WHERE "
                  "cStr(Points) > '0' AND TempTeams.DriverID = Drivers.DriverID AND NOT ISNULL(Points) "
                  "ORDER BY Points DESC"),
              (QStringList{"1|10|Ann", "4|9|Dan"}));
}

TEST_F(JetTexts, PlacesGained)
{
    EXPECT_EQ(run("SELECT Score.DriverID, [Pos]-[Posi] AS Improved  FROM Qualify INNER JOIN Score ON "
                  "(Qualify.DriverID = Score.DriverID) AND (Qualify.RaceID = Score.RaceID) WHERE Score.RaceID = 1 "
                  "ORDER BY [Pos]-[posi] DESC;"),
              (QStringList{"1|1", "3|0", "2|-1"}));
}
