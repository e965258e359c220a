// The program's hardest Jet texts, run against small tables.

#include "Database.h"
#include "JetSqlHarness.h"
#include "QueryDef.h"
#include "Recordset.h"

#include <QTemporaryDir>

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

QString cellText(const QVariant& v)
{
    if (v.isNull())
        return QStringLiteral("NULL");
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 10);
    return v.toString();
}

QStringList rowsOf(dao::Recordset& rs)
{
    QStringList rows;
    for (; !rs.eof(); rs.moveNext()) {
        QStringList cells;
        for (int i = 0; i < rs.fieldCount(); ++i)
            cells << cellText(rs.field(i));
        rows << cells.join(u'|');
    }
    return rows;
}

// The blank league database with a few races, opened through the layer.
class JetTexts : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("league.mdb"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(TARVIK_PROGRAM_DIR "/data/blank.mdb"), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        db = dao::Database::open(path);
        for (auto it = savedQueries().cbegin(); it != savedQueries().cend(); ++it)
            db->createQueryDef(it.key(), it.value());
        // Rows stored in an order that differs from every expected order.
        sqlite3_exec(db->handle(), "PRAGMA reverse_unordered_selects = ON", nullptr, nullptr, nullptr);
        for (const char* sql : {
                 "INSERT INTO Division (ID, Name) VALUES ('A', 'Alpha'), ('B', 'Beta')",
                 "INSERT INTO Drivers (DriverID, OnlineID, Name) VALUES (1, 'ann', 'Ann'), (2, 'bob', 'Bob'),"
                 " (3, 'cid', 'Cid'), (4, 'dan', 'Dan')",
                 "INSERT INTO Tracks (ID, ShortName, FullName, Miles, [Type]) VALUES (1, 'T1', 'One', 2.5, 0),"
                 " (2, 'T2', 'Two', 1.0, 0)",
                 "INSERT INTO Races (ID, Division, RaceNo, Venue, TrackID) VALUES (1, 'A', '1', 'One', 1),"
                 " (2, 'A', '2', 'Two', 2), (3, 'A', '10', 'One', 1), (4, 'B', '1', 'Two', 2)",
                 "INSERT INTO Teams (TeamID, Division, Team_Name) VALUES (1, 'A', 'Red'), (2, 'A', 'Blue')",
                 "INSERT INTO ScoreDrop (Division, RaceID, Posi, DriverID, Laps, Lead, Points, Finish, Team) VALUES"
                 " ('B', 4, 1, 4, 30, 30, 10, 'Running', 0),"
                 " ('A', 3, 4, 4, 20, 0, 6, 'PROVISIONAL', 0), ('A', 3, 3, 2, 70, 0, 7, 'Suspension', 0),"
                 " ('A', 3, 2, 3, 80, 0, 8, 'Engine', 0), ('A', 3, 1, 1, 100, 100, 10, 'Running', 0),"
                 " ('A', 2, 3, 3, 10, 0, 6, 'dnq ', 0), ('A', 2, 2, 1, 49, 0, 8, 'Prov.', 0),"
                 " ('A', 2, 1, 2, 50, 50, 10, 'Running', 0),"
                 " ('A', 1, 3, 3, 50, 0, 6, 'Accident', 2), ('A', 1, 2, 2, 100, 40, 8, 'RUNNING ', 0),"
                 " ('A', 1, 1, 1, 100, 60, 12, 'Running', 1)",
                 "INSERT INTO Score SELECT * FROM ScoreDrop",
                 "INSERT INTO Qualify (RaceID, Pos, DriverID, Time, Speed) VALUES (3, 2, 4, '30.2', '121.0'),"
                 " (3, 1, 1, '29.9', '125.5'), (1, 3, 3, '31.0', '118.0'), (1, 2, 1, '30.7', '119.0'),"
                 " (1, 1, 2, '30.5', '120.1')"})
            db->execute(QString::fromUtf8(sql));
    }

    // Rows of a statement ("a|b|c"); a failure gives {"ERROR: ..."}.
    QStringList run(const QString& sql, const QHash<QString, QVariant>& params = {})
    {
        try {
            db->setParameters(params);
            if (!sql.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive)
                || sql.contains(QLatin1String(" INTO "))) {
                db->execute(sql);
                return {};
            }
            auto rs = db->openRecordset(sql);
            return rowsOf(*rs);
        } catch (const dao::DbError& e) {
            return {QStringLiteral("ERROR: ") + e.description()};
        }
    }
    // Rows of a saved query opened with parameter values.
    QStringList open(const QString& savedName, const QHash<QString, QVariant>& params = {})
    {
        try {
            dao::QueryDef q = db->queryDef(savedName);
            for (auto it = params.cbegin(); it != params.cend(); ++it)
                q.setParameter(it.key(), it.value());
            auto rs = q.openRecordset();
            return rowsOf(*rs);
        } catch (const dao::DbError& e) {
            return {QStringLiteral("ERROR: ") + e.description()};
        }
    }

    QTemporaryDir dir;
    std::unique_ptr<dao::Database> db;
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

    run("DELETE FROM TempTeams");
    run("INSERT INTO TempTeams (Posi, DriverID, Points) VALUES (1, 1, 10), (2, 2, 0), (3, 3, NULL), (4, 4, 9), (5, 3, -5)");
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

TEST_F(JetTexts, NamesGroupCaseBlindBeyondAscii)
{
    run("INSERT INTO Drivers (DriverID, OnlineID, Name) VALUES (5, 'e1', '\u00C9lan'), (6, 'e2', '\u00E9lan')");
    run("INSERT INTO ScoreDrop (Division, RaceID, Posi, DriverID, Finish) VALUES ('B', 4, 2, 5, 'Running'),"
        " ('B', 4, 3, 6, 'running')");
    const QStringList rows = run("SELECT Count(ScoreDrop.DriverID) AS RRaces, Drivers.Name FROM ScoreDrop  INNER JOIN "
                                 "Drivers ON ScoreDrop.DriverID = Drivers.DriverID WHERE Division = 'b' AND "
                                 "Mid$(ScoreDrop.Finish,1,4) <> 'Prov'GROUP BY Name ORDER BY "
                                 "Count(ScoreDrop.DriverID) DESC, Drivers.Name");
    ASSERT_EQ(rows.size(), 2) << rows.join(u'\n').toStdString();
    EXPECT_TRUE(rows[0].startsWith("2|")) << rows[0].toStdString();
    EXPECT_EQ(rows[1], "1|Dan");
}

// Every SQL text the program builds, with sample values, runs without error.
TEST_F(JetTexts, EveryTextOfTheProgramRuns)
{
    const QHash<QString, QVariant> params = {{"mdiv", "A"}, {"sdiv", "A"}, {"lastrace", 1.0}, {"mtotlaps", 250}};
    for (const QString& name : savedQueries().keys()) {
        const QStringList rows = open(name, params);
        EXPECT_FALSE(rows.value(0).startsWith("ERROR")) << name.toStdString() << ": " << rows.value(0).toStdString();
    }
    const char* texts[] = {
        "SELECT * FROM Options WHERE Key = '2'",
        "UPDATE Options SET BC1 = '16777215', BC2 = '16777215' WHERE Key = '1'",
        "UPDATE Division SET Teams = 1 , PointSystem = 3 WHERE ID = 'A'",
        "UPDATE Options SET TFC = '2.3' WHERE Key = '2'",
        "SELECT * FROM Drivers WHERE DriverID = 1",
        "SELECT * FROM Division WHERE ID = 'A'",
        "SELECT * FROM Options WHERE Key = '1'",
        "SELECT TeamID FROM Teams WHERE (Driver_1 = 1 OR Driver_2 = 1 OR Driver_3 = 1 OR Driver_4 = 1 OR Driver_5 = 1 "
        "OR Driver_6 = 1) AND Division = 'A'",
        "SELECT Brand FROM Drivers Where DriverID = 1",
        "SELECT Team_Name  FROM Teams WHERE TeamID = 1",
        "SELECT * FROM Penalties WHERE Division = 'A' AND RaceID = 1 AND Posi = 1",
        "SELECT * FROM SCORE WHERE Division = 'A' AND RaceID = 1",
        "SELECT * from DIVISION WHERE ID = 'A'",
        "SELECT Name, ID FROM Division ORDER BY Name",
        "SELECT * from RACES WHERE Division = 'A' AND RaceNo = '1'",
        "SELECT Score.RaceID, Races.RaceNo FROM Score, Races WHERE Score.RaceID = Races.ID AND Races.Division = 'A' AND "
        "Races.RaceNo = '1' AND Score.Posi = 1",
        "SELECT Team, Posi FROM Score WHERE RaceID = 1 ORDER BY Team, Posi ",
        "SELECT * from Drivers WHERE OnlineID = 'o''brien'",
        "SELECT Qualify.Pos, Qualify.DriverID FROM Qualify WHERE Qualify.RaceID=1 AND Qualify.DriverID NOT IN (SELECT "
        "score.DriverID FROM Score WHERE Score.RaceID=1)",
        "SELECT Miles from Tracks WHERE ID = 1",
        "SELECT * FROM QUALIFY WHERE RACEID = 1 AND DRIVERID = 2",
        "SELECT * FROM Score WHERE RaceID = 1 AND Lead > 0  ORDER BY Lead DESC",
        "SELECT Pos, DriverID FROM Qualify WHERE RaceID = 1 AND Pos < 4  ORDER BY Pos",
        "SELECT Pos, Rate FROM Rates",
        "SELECT Posi, Earnings  FROM Score  WHERE RaceID = 1 ORDER by Posi",
        "SELECT DriverID   FROM Qualify  WHERE RaceID = 1 AND Pos = 1",
        "UPDATE Score    SET Bonus = 5 WHERE RaceID = 1 AND DriverID = 2",
        "SELECT Score.DriverID, [Posi]-[Pos] AS Improved  FROM Qualify INNER JOIN Score ON (Qualify.DriverID = "
        "Score.DriverID) AND (Qualify.RaceID = Score.RaceID) WHERE Score.RaceID = 1 ORDER BY [Posi]-[Pos] DESC",
        "UPDATE Score    SET Bonus = Bonus + 2.5 WHERE RaceID = 1 AND DriverID = 1",
        "SELECT Score.DriverID, Score.Bonus FROM Score INNER JOIN Rookies ON (Score.Division = Rookies.Division) AND "
        "(Score.DriverID = Rookies.DriverID) WHERE RaceID = 1 ORDER BY Posi",
        "SELECT DriverID, Count(Posi) AS TWins FROM Score WHERE Division = 'A' And Posi = 1 AND DriverID = 1 GROUP BY "
        "DriverID",
        "SELECT * from Tracks",
        "SELECT ShortName, FullName from Tracks WHERE FullName = 'one'",
        "SELECT ID from Tracks WHERE ShortName = 't1'",
        "SELECT * FROM Damage WHERE RaceID = 1",
        "DELETE * FROM Damage WHERE RaceID = 1",
        "SELECT Score.Posi  FROM Drivers INNER JOIN Score ON Drivers.DriverID = Score.DriverID WHERE Score.RaceID = 1 "
        "AND Drivers.OnlineID = 'ann'",
        "SELECT Damage.*, Score.DriverID FROM Damage INNER JOIN Score ON (Damage.Posi = Score.Posi) AND (Damage.RaceID "
        "= Score.RaceID) AND (Damage.Division = Score.Division) WHERE Score.Posi = 1 AND Score.RaceID = 1",
        "SELECT * FROM Score WHERE Division = 'A' ORDER BY DRIVERID,POSI,RACEID",
        "SELECT RaceID, Posi, Team, Team_Name FROM ScoreDrop, Teams WHERE ScoreDrop.Division = 'A' AND Team <> 0 AND "
        "ScoreDrop.Team = Teams.TeamID ORDER BY RaceID, Posi",
        "SELECT Team_Name, SUM(Points) as SumOfPoints FROM TempTeams WHERE cStr(Points) > '0' GROUP BY Team_Name ORDER "
        "BY SUM(Points) DESC",
        "SELECT RaceID, Posi, Team, DriverID, Brand FROM ScoreDrop WHERE Division = 'A' AND Brand <> '' ORDER BY "
        "RaceID, Posi",
        "SELECT Brand, SUM(Points) as TPoints FROM TempTeams GROUP BY Brand ORDER BY Sum(Points) DESC",
        "SELECT ScoreDrop.Posi, ScoreDrop.DriverID, ScoreDrop.RaceID FROM ScoreDrop, Rookies WHERE ScoreDrop.Division "
        "= 'A' AND ScoreDrop.DriverID = Rookies.DriverID AND ScoreDrop.Division = Rookies.Division ORDER BY RaceID, Posi",
        "SELECT SUM(Points) as SumOfPoints, DriverID FROM TempTeams WHERE cStr(Points) > '0' GROUP BY DriverID ORDER BY "
        "SUM(Points) DESC",
        "SELECT ID from Division where PointsID = 'A'",
        "SELECT DriverID, Sum(Earnings) AS SumOfEarnings, Sum(Bonus) AS SumOfBonus, Sum(BonusAdd) AS SumOfBonusAdd, "
        "Sum(Earnings + Bonus + BonusAdd) AS Total FROM ScoreDrop WHERE Division = 'A' OR Division = ''GROUP BY "
        "DriverID ORDER BY Sum(Earnings + Bonus + BonusAdd) DESC",
        "SELECT Sum(Laps) AS TLaps, Sum(laps*miles) AS TMiles FROM (Races INNER JOIN ScoreDrop ON Races.ID = "
        "ScoreDrop.RaceID) INNER JOIN Tracks ON Races.TrackID = Tracks.ID WHERE ScoreDrop.Division = 'A' AND "
        "ScoreDrop.Posi=1",
        "SELECT RecordID FROM Division WHERE ID = 'A'",
        "SELECT Qualify.Pos, Races.RaceDate, Races.Venue, Drivers.Name, Qualify.Time, Qualify.Speed FROM (Races INNER "
        "JOIN Qualify ON Races.ID = Qualify.RaceID) INNER JOIN Drivers ON Qualify.DriverID = Drivers.DriverID WHERE "
        "(((Qualify.pos) = 1)) ORDER BY Races.Venue, Val(Time) ASC",
        "SELECT Drivers.Name, Count(ScoreDrop.Posi) AS TWins FROM ScoreDrop INNER JOIN Drivers ON ScoreDrop.DriverID = "
        "Drivers.DriverID WHERE Division = 'A' And Posi = 1 GROUP BY Drivers.Name ORDER BY Count(ScoreDrop.Posi) DESC, "
        "Drivers.Name",
        "SELECT Count(Qualify.Pos) AS TPoles, Drivers.Name FROM Races INNER JOIN (Qualify INNER JOIN Drivers ON "
        "Qualify.DriverID = Drivers.DriverID) ON Races.ID = Qualify.RaceID WHERE Qualify.pos = 1 AND Division = 'A' "
        "GROUP BY Drivers.Name ORDER BY COUNT(Qualify.Pos) DESC, Drivers.Name",
        "SELECT Drivers.Name, SUM(ScoreDrop.Lead) AS TOT FROM ScoreDrop INNER JOIN Drivers ON ScoreDrop.DriverID = "
        "Drivers.DriverID WHERE Division = 'A' GROUP BY Drivers.Name ORDER BY SUM(ScoreDrop.Lead) DESC, Drivers.Name",
        " SELECT Races.RaceName, Races.Venue, Races.RaceDate FROM Races WHERE Races.ID = 1",
        "SELECT Races.Venue, Races.RaceName, Races.RaceDate, Races.Weather, ScoreDrop.DriverID, ScoreDrop.Interval FROM "
        "Races INNER JOIN ScoreDrop ON Races.ID = ScoreDrop.RaceID WHERE ScoreDrop.Posi = 1 AND ScoreDrop.Division = "
        "'A' ORDER BY Val([Interval]) DESC",
        " SELECT Races.Venue, Races.RaceName, Races.RaceDate, ScoreDrop.Interval FROM Races INNER JOIN ScoreDrop ON "
        "Races.ID = ScoreDrop.RaceID WHERE ScoreDrop.Posi = 2 AND ScoreDrop.Division = 'A' ORDER BY "
        "Val(ScoreDrop.Interval)",
        "SELECT Qualify.DriverID, Speed, Time, Races.Venue, Races.RaceName, Races.RaceDate, Races.QWeather FROM Races "
        "INNER JOIN Qualify ON Races.ID = Qualify.RaceID WHERE Qualify.pos = 1 AND Races.Division = 'A' ORDER BY "
        "Val([Speed]) DESC",
        "SELECT Venue, RaceName, RaceDate, Changes FROM Races WHERE Division = 'A' ORDER BY Changes DESC",
        "SELECT ScoreDrop.RaceID, Count(DriverID) AS Expr1 FROM ScoreDrop WHERE ScoreDrop.Finish = 'Running' AND "
        "Division = 'A' GROUP BY ScoreDrop.RaceID ORDER BY Count([DriverID]) DESC",
        "SELECT Name FROM DIVISION WHERE ID = 'A'",
        "SELECT * FROM Races WHERE Division='A' ORDER BY VAL(RaceNo)",
        "SELECT ID,RaceNo,RaceName,RaceDate,Venue FROM Races WHERE Division = 'A' ORDER BY VAL(RaceNo)",
        "SELECT Races.RaceDate FROM Races WHERE Division = 'A' ORDER BY CDate(Races.RaceDate) DESC",
        "SELECT Posi, DriverID, Interval, Laps, Lead, Points, Finish, Brand, Team FROM Score WHERE RaceID = 1 ORDER BY "
        "Posi",
        "SELECT Pos, DriverID, Time, Speed FROM Qualify WHERE RaceID = 1 ORDER BY Pos",
        "SELECT Miles FROM Tracks where ID =1",
        "SELECT Posi, DriverID, Earnings, Bonus, BonusAdd FROM Score WHERE RaceID = 1 ORDER BY Posi",
        "SELECT Score.Team, Sum(Score.Points) AS SumOfPoints, Teams.Team_Name FROM Score INNER JOIN Teams ON "
        "Score.Team = Teams.TeamID WHERE Score.Division = 'A' AND Score.RaceID = 1 GROUP BY Score.Team, "
        "Teams.Team_Name ORDER BY Sum(Score.Points) DESC",
        "DELETE FROM TempTeams",
        "INSERT INTO TempTeams SELECT Score.Posi, Score.DriverID FROM Score, Rookies WHERE RaceID = 1 AND "
        "Score.DriverID = Rookies.DriverID AND Score.Division = Rookies.Division ORDER BY Posi",
        "SELECT DriverID FROM Score WHERE RaceID = 1 AND Finish = 'Running'ORDER BY Laps, Posi DESC",
        "SELECT Score.DriverID, Time, Speed  FROM Qualify INNER JOIN Score ON (Qualify.DriverID = Score.DriverID) AND "
        "(Qualify.RaceID = Score.RaceID) WHERE Score.RaceID = 1 AND Qualify.pos = 1",
        "SELECT DriverID, Name FROM Drivers WHERE DriverID NOT IN (SELECT Score.DriverID FROM Score WHERE RaceID = 1) "
        "ORDER BY Name",
        "SELECT Drivers.DriverID, Drivers.Name FROM Drivers WHERE Drivers.DriverID NOT IN (SELECT Score.DriverID FROM "
        "Score WHERE RaceID = 1) ORDER BY Name",
        "DELETE FROM Qualify WHERE RaceID = 99 AND DriverID = 2",
        "SELECT BonusAdd FROM Score WHERE RaceID = 1 AND Posi = 1",
        "SELECT * FROM Races WHERE ID =  1",
        "UPDATE Races SET Division = 'A', RaceNo = '1', Venue = 'O''Hare', RaceDate = '1/2/2003', Weather = '', "
        "QWeather = '', Flags = 1, Flagsq = 2, Changes = 3, Leader = 4, RaceName = 'x', Purse = 1000 WHERE ID = 1",
        "SELECT DriverID,Name FROM Drivers ORDER BY Name",
        "UPDATE Division SET Name = 'Alpha ',RecordID = 0,PointsID = ' ',Drop = '3',Numbers = 1,Brands = 0,Teams = "
        "1,Roty = 0,Earnings = 0,EarningsFile = '',NonPoints = 0,PointSystem = 1,PointSystemFile = '' WHERE ID = 'A'",
        "INSERT INTO Division VALUES ('C','Gamma',0,1,0,0,0,0,'',0,' ',1,'',2)",
        "DELETE FROM Division   WHERE ID                            = 'C'",
        "UPDATE Drivers SET OnlineID = 'ann', Name = 'Ann', [Number] = '7', Brand = 'X'  WHERE DriverID = 1",
        "INSERT INTO Drivers (OnlineID,[Number],Name,Brand) VALUES ('o''neil','9','O''Neil','Y')",
        "UPDATE Tracks SET ShortName = 'T1', Fullname = 'One', Miles = 2.5, [Type] = 1 WHERE ID = 1",
        "INSERT INTO Tracks (Shortname,Fullname,Miles,[Type]) VALUES ('T3','Three',1.5,2)",
        "SELECT TeamID,Division,Team_Name FROM Teams WHERE Division = 'A' ORDER BY Team_Name",
        "SELECT * FROM Teams WHERE TeamID = 1",
        "UPDATE Teams SET Division = 'A', Team_Name = 'Red', Driver_1 = 1, Driver_2 = 0, Driver_3 = 0, Driver_4 = 0, "
        "Driver_5 = 0, Driver_6 = 0 WHERE TeamID = 1",
        "INSERT INTO Teams (Division,Team_Name,Driver_1,Driver_2,Driver_3,Driver_4,Driver_5,Driver_6) VALUES "
        "('A','Green',2,0,0,0,0,0)",
        "SELECT RaceID FROM Score WHERE DriverID = 2 AND Division = 'A'",
        "UPDATE SCORE SET Team = 1 WHERE DriverID = 2 AND Division = 'A'",
        "SELECT ID, Name FROM Division ORDER BY NAME",
        "SELECT Rookies.DriverID, Name FROM Rookies, Drivers WHERE Rookies.Division = 'A' AND Rookies.DriverID = "
        "Drivers.DriverID ",
        "SELECT DriverID, Name FROM Drivers WHERE DriverID NOT IN (SELECT Rookies.DriverID FROM Rookies WHERE "
        "Rookies.Division = 'A' ) ",
        "DELETE FROM Rookies WHERE Division = 'A' ",
        "INSERT INTO Rookies  VALUES('A',1)",
        "SELECT DriverID, Name from Drivers Order by NAME",
        "INSERT INTO Bonus(DivID,DriverID,Bonus) VALUES ('A',1,5)",
        "UPDATE Bonus SET Bonus = 6 WHERE ID = 1",
        "SELECT * FROM Bonus WHERE ID = 1",
        "DELETE FROM Bonus WHERE ID =  1",
        "SELECT * FROM Score ",
    };
    for (const char* text : texts) {
        const QStringList rows = run(QString::fromUtf8(text));
        EXPECT_FALSE(rows.value(0).startsWith("ERROR")) << text << "\n" << rows.value(0).toStdString();
    }
    EXPECT_EQ(run("SELECT MAX(val(RaceNo))as LastRace FROM Races INNER JOIN Score ON Races.ID = Score.RaceID WHERE "
                  "Races.Division = 'A'"),
              QStringList{"10"});
    EXPECT_EQ(run("SELECT Name, Drop FROM Division WHERE ID = 'a'"), QStringList{"Alpha |3"});
}

// The schema conversion's copies keep declared types and case-blind text.
TEST_F(JetTexts, ConversionCopies)
{
    EXPECT_EQ(run("DROP TABLE ScoreDrop"), QStringList{});
    EXPECT_EQ(run("SELECT * INTO ScoreDrop FROM Score"), QStringList{});
    EXPECT_EQ(run("SELECT Count(*) FROM ScoreDrop WHERE Finish = 'running'"), QStringList{"4"});
    EXPECT_EQ(run("DELETE * FROM ScoreDrop"), QStringList{});
    EXPECT_EQ(run("SELECT Count(*) FROM ScoreDrop"), QStringList{"0"});
    EXPECT_EQ(run("SELECT * INTO DivisionOld FROM Division"), QStringList{});
    EXPECT_EQ(run("SELECT ID FROM DivisionOld WHERE ID = 'b'"), QStringList{"B"});
    EXPECT_EQ(db->columnNames("DivisionOld"), db->columnNames("Division"));
    EXPECT_EQ(run("DELETE FROM Options WHERE Key = '2'"), QStringList{});
    EXPECT_EQ(run("INSERT INTO Options (Key, TFC) VALUES ('2', '2.3')"), QStringList{});
    // The copy exists already: the error leaves the database as it was.
    EXPECT_TRUE(run("SELECT * INTO DivisionOld FROM Division").value(0).startsWith("ERROR"));
}
