// The league database end to end: the blank database's cascades, saved
// queries with parameters, and the program's hardest SQL texts run through
// the layer against a small season.

#include "Database.h"
#include "QueryDef.h"
#include "Recordset.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dao;

namespace {

class LeagueDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("Tarvik.MDB"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(TARVIK_PROGRAM_DIR "/data/blank.mdb"), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        db = Database::open(path);
    }
    void run(const QString& sql) { db->execute(sql); }
    int count(const QString& sql) { return db->scalar(QStringLiteral("SELECT Count(*) FROM ") + sql).toInt(); }
    // "a=1 b=2" style dump of the chosen fields of every row.
    static QStringList rows(Recordset& rs, const QStringList& fields)
    {
        QStringList out;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            QStringList parts;
            for (const QString& f : fields)
                parts << rs.text(f, QStringLiteral("-"));
            out << parts.join(QLatin1Char(' '));
        }
        return out;
    }

    // A season of three races in division A (race numbers 1, 2 and 10) and
    // one race in division B.
    void season()
    {
        Transaction tr(*db);
        run(QStringLiteral("INSERT INTO Division VALUES ('A', 'Alpha', 1, 1, 1, 1, 1, 1, '', 0, '', 1, '', 0)"));
        run(QStringLiteral("INSERT INTO Division VALUES ('B', 'Beta', 0, 1, 1, 0, 0, 0, '', 0, '', 1, '', 0)"));
        run(QStringLiteral("INSERT INTO Drivers (OnlineID, Name, [Number], Brand) VALUES ('ann', 'Ann', '1', 'Ford')"));
        run(QStringLiteral("INSERT INTO Drivers (OnlineID, Name, [Number], Brand) VALUES ('bob', 'bob', '2', 'Dodge')"));
        run(QString::fromUtf8("INSERT INTO Drivers (OnlineID, Name, [Number], Brand) VALUES ('emile', 'Émile', '3', 'Ford')"));
        run(QStringLiteral("INSERT INTO Drivers (OnlineID, Name, [Number], Brand) VALUES ('carl', 'Carl', '4', 'Chevy')"));
        run(QStringLiteral("INSERT INTO Tracks (ShortName, FullName, Miles, [Type]) VALUES ('Short', 'Short Track', 0.5, 0)"));
        run(QStringLiteral("INSERT INTO Tracks (ShortName, FullName, Miles, [Type]) VALUES ('Speed', 'Speedway', 1.5, 2)"));
        run(QStringLiteral("INSERT INTO Races (Division, RaceNo, Venue, RaceDate, TrackID) VALUES ('A', '1', 'Short Track', '10/12/2003', 1)"));
        run(QStringLiteral("INSERT INTO Races (Division, RaceNo, Venue, RaceDate, TrackID) VALUES ('A', '2', 'Speedway', 'Oct 19, 2003 8:30 PM', 2)"));
        run(QStringLiteral("INSERT INTO Races (Division, RaceNo, Venue, RaceDate, TrackID) VALUES ('A', '10', 'Short Track', '2003-11-02', 1)"));
        run(QStringLiteral("INSERT INTO Races (Division, RaceNo, Venue, RaceDate, TrackID) VALUES ('B', '1', 'Speedway', '10/12/2003', 2)"));
        // race, posi, driver, laps, lead, points, finish, team
        const char* lines[] = {
            "1, 1, 1, '120.5', 100, 60, 185, 'Running', 1",
            "1, 2, 2, '-1.2', 100, 40, 170, 'Running', 1",
            "1, 3, 3, '-2 laps', 100, 0, 165, 'Prov.', 2",
            "1, 4, 4, '-50 laps', 50, 0, 160, 'Engine', 0",
            "2, 1, 2, '150.1', 200, 150, 185, 'running', 1",
            "2, 2, 1, '-0.5', 200, 50, 170, 'RUNNING', 1",
            "2, 3, 4, '-1 lap', 200, 0, 165, 'DNQ ', 0",
            "2, 4, 3, '-190 laps', 10, 0, 160, 'prov. crash', 2",
            "3, 1, 3, '99.9', 100, 100, 185, 'Running', 2",
            "3, 2, 4, '-3.0', 100, 0, 185, 'Running', 0",
            "3, 3, 1, '-1 lap', 100, 0, 165, 'Crash', 1",
            "3, 4, 2, '-9 laps', 100, 0, 160, 'Running', 1",
        };
        for (const char* l : lines) {
            const QStringList v = QString::fromLatin1(l).split(QStringLiteral(", "));
            run(QStringLiteral("INSERT INTO ScoreDrop (Division, RaceID, Posi, DriverID, Interval, Laps, Lead, Points, Finish, Team, Earnings, Bonus, BonusAdd) "
                               "VALUES ('A', %1, 0, 0, 0)").arg(v.join(QStringLiteral(", "))));
        }
        run(QStringLiteral("INSERT INTO ScoreDrop (Division, RaceID, Posi, DriverID, Laps, Lead, Points, Finish, Team) "
                           "VALUES ('B', 4, 1, 4, 100, 100, 185, 'Running', 0)"));
        run(QStringLiteral("INSERT INTO Score SELECT * FROM ScoreDrop"));
        // qualifying: race, pos, driver
        for (const char* q : {"1, 1, 2", "1, 2, 1", "1, 3, 3", "1, 4, 4", "2, 1, 1", "2, 2, 2", "3, 1, 3", "4, 1, 4"})
            run(QStringLiteral("INSERT INTO Qualify (RaceID, Pos, DriverID, [Time], Speed) VALUES (%1, '20.5', '150.25')").arg(QString::fromLatin1(q)));
        run(QStringLiteral("INSERT INTO Teams (Division, Team_Name, Driver_1, Driver_2) VALUES ('A', 'Red', 1, 2)"));
        run(QStringLiteral("INSERT INTO Teams (Division, Team_Name, Driver_1) VALUES ('A', 'blue', 3)"));
        tr.commit();
    }

    QueryDef ensure(const QString& name, const QString& sql)
    {
        return db->hasQueryDef(name) ? db->queryDef(name) : db->createQueryDef(name, sql);
    }

    QTemporaryDir dir;
    std::unique_ptr<Database> db;
};

} // namespace

TEST_F(LeagueDb, DeletingARaceOrADivisionTakesItsRowsWithIt)
{
    season();
    run(QStringLiteral("INSERT INTO Damage VALUES ('A', 1, 1, 10, 0, 0, 0, 'x')"));
    run(QStringLiteral("INSERT INTO Penalties VALUES ('A', 1, 1, -5, 'y')"));
    run(QStringLiteral("INSERT INTO Penalties VALUES ('A', 2, 1, -5, 'z')"));
    run(QStringLiteral("INSERT INTO Rookies VALUES ('A', 3)"));
    run(QStringLiteral("INSERT INTO Bonus (DivID, DriverID, Bonus) VALUES ('A', 1, 100)"));
    run(QStringLiteral("INSERT INTO Bonus (DivID, DriverID, Bonus) VALUES ('B', 4, 100)"));

    run(QStringLiteral("DELETE FROM Races WHERE ID = 1"));
    EXPECT_EQ(count(QStringLiteral("Score WHERE RaceID = 1")), 0);
    EXPECT_EQ(count(QStringLiteral("ScoreDrop WHERE RaceID = 1")), 0);
    EXPECT_EQ(count(QStringLiteral("Qualify WHERE RaceID = 1")), 0);
    EXPECT_EQ(count(QStringLiteral("Damage")), 0);
    EXPECT_EQ(count(QStringLiteral("Penalties")), 1);
    EXPECT_EQ(count(QStringLiteral("Score WHERE RaceID = 2")), 4);

    // Division ids compare without regard to case, as everywhere.
    run(QStringLiteral("DELETE * FROM Division WHERE ID = 'a'"));
    EXPECT_EQ(count(QStringLiteral("Races")), 1);
    EXPECT_EQ(count(QStringLiteral("Score")), 1);
    EXPECT_EQ(count(QStringLiteral("Qualify")), 1);
    EXPECT_EQ(count(QStringLiteral("Penalties")), 0);
    EXPECT_EQ(count(QStringLiteral("Teams")), 0);
    EXPECT_EQ(count(QStringLiteral("Rookies")), 0);
    EXPECT_EQ(count(QStringLiteral("Bonus")), 1);
}

TEST_F(LeagueDb, SavedQueriesAreCreatedOnceListedAndDeleted)
{
    EXPECT_TRUE(db->queryDefNames().isEmpty());
    EXPECT_EQ(db->tableNames().size(), 15);
    db->createQueryDef(QStringLiteral("Zeta"), QStringLiteral("SELECT * FROM Drivers"));
    db->createQueryDef(QStringLiteral("Alpha"), QStringLiteral("SELECT * FROM Tracks"));
    try {
        db->createQueryDef(QStringLiteral("ZETA"), QStringLiteral("SELECT 1"));
        FAIL() << "duplicate created";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), 3012);
    }
    EXPECT_EQ(db->queryDef(QStringLiteral("zeta")).sql(), QStringLiteral("SELECT * FROM Drivers"));
    EXPECT_EQ(db->queryDefNames(), (QStringList{QStringLiteral("Zeta"), QStringLiteral("Alpha")}));
    // The store of saved queries is no table of the league.
    EXPECT_EQ(db->tableNames().size(), 15);
    EXPECT_FALSE(db->tableNames().contains(QStringLiteral("MSysQueries")));
    db->deleteQueryDef(QStringLiteral("Zeta"));
    EXPECT_EQ(db->queryDefNames(), QStringList{QStringLiteral("Alpha")});
    try {
        db->queryDef(QStringLiteral("Zeta"));
        FAIL() << "deleted query found";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), 3265);
    }
    // A saved query's name opens it as a recordset too.
    season();
    EXPECT_EQ(db->openRecordset(QStringLiteral("Alpha"))->recordCount(), 2);
}

TEST_F(LeagueDb, StandingsQueriesGetTheirParametersThroughNestedQueries)
{
    season();
    ensure(QStringLiteral("Points"), QStringLiteral("SELECT DriverID, Sum(Points) AS SumOfPoints, Avg(Val(Posi)) AS AFP, Count(DriverID) AS RRaces FROM ScoreDrop WHERE Division = mDiv GROUP BY DriverID ORDER BY Sum(ScoreDrop.Points) DESC"));
    ensure(QStringLiteral("Qual"), QStringLiteral("SELECT Qualify.DriverID, Avg(Pos) AS ASP FROM ScoreDrop INNER JOIN Qualify ON ScoreDrop.RaceID = Qualify.RaceID AND ScoreDrop.DriverID = Qualify.DriverID WHERE ScoreDrop.Division = mDiv GROUP BY Qualify.DriverID"));
    ensure(QStringLiteral("Wins"), QStringLiteral("SELECT DriverID, Count(Posi) AS TWins FROM ScoreDrop INNER JOIN Races ON ScoreDrop.RaceID = Races.ID WHERE ScoreDrop.Division = mDiv AND Posi = 1 GROUP BY DriverID ORDER BY Count(Posi) DESC"));
    ensure(QStringLiteral("T5s"), QStringLiteral("SELECT DriverID, Count(Posi) AS TT5 FROM ScoreDrop WHERE Division = mDiv AND Posi < 6 GROUP BY DriverID ORDER BY Count(Posi) DESC"));
    ensure(QStringLiteral("T10s"), QStringLiteral("SELECT DriverID, Count(Posi) AS TT10 FROM ScoreDrop WHERE Division = mDiv AND Posi < 11 GROUP BY DriverID ORDER BY Count(Posi) DESC"));
    ensure(QStringLiteral("Poles"), QStringLiteral("SELECT DriverID, Count(Pos) AS TPoles FROM Races INNER JOIN Qualify ON Races.ID = Qualify.RaceID WHERE Division = mDiv AND Pos = 1 GROUP BY DriverID ORDER BY Count(Pos) DESC"));
    QueryDef standings = ensure(QStringLiteral("Standings"), QStringLiteral(" SELECT Points.DriverID, Points.SumOfPoints, Wins.TWins, Points.AFP, Qual.ASP, Points.RRaces, T5s.TT5, T10s.TT10, Poles.TPoles FROM ((((Points LEFT JOIN Wins ON Points.DriverID = Wins.DriverID) LEFT JOIN Poles ON Points.DriverID = Poles.DriverID) LEFT JOIN T10s ON Points.DriverID = T10s.DriverID) LEFT JOIN T5s ON Points.DriverID = T5s.DriverID) LEFT JOIN Qual ON Points.DriverID = Qual.DriverID ORDER BY Points.SumOfPoints DESC , Points.AFP, Wins.TWins DESC , T5s.TT5 DESC , T10s.TT10 DESC"));
    // Creating again when present changes nothing.
    ensure(QStringLiteral("Points"), QStringLiteral("SELECT 1"));
    EXPECT_EQ(db->queryDefNames().size(), 7);

    // Without its parameter the query cannot run.
    try {
        standings.openRecordset();
        FAIL() << "opened without mDiv";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), 3061);
    }
    standings.setParameter(QStringLiteral("mDiv"), QStringLiteral("a"));
    auto rs = standings.openRecordset();
    EXPECT_EQ(rows(*rs, {QStringLiteral("DriverID"), QStringLiteral("SumOfPoints"), QStringLiteral("TWins"), QStringLiteral("TPoles"), QStringLiteral("RRaces")}),
              (QStringList{QStringLiteral("1 520 1 1 3"), QStringLiteral("2 515 1 1 3"),
                           QStringLiteral("3 510 1 1 3"), QStringLiteral("4 510 - - 3")}));
    rs->moveFirst();
    EXPECT_DOUBLE_EQ(rs->number(QStringLiteral("AFP")), 2.0);
    EXPECT_DOUBLE_EQ(rs->number(QStringLiteral("ASP")), 1.5);
    // The values do not outlive the open.
    try {
        db->queryDef(QStringLiteral("Points")).openRecordset();
        FAIL() << "mDiv outlived the open";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), 3061);
    }
}

TEST_F(LeagueDb, LastRaceTotalsComparesRaceNumbersByValue)
{
    season();
    ensure(QStringLiteral("LastRacePoints"), QStringLiteral("SELECT Division.ID, ScoreDrop.DriverID, Races.RaceNo, ScoreDrop.Points FROM (Division INNER JOIN Races ON Division.ID = Races.Division) INNER JOIN ScoreDrop ON Races.ID = ScoreDrop.RaceID WHERE Division.ID= [sDiv] AND val(RaceNo)<= val([LastRace]) ORDER BY ScoreDrop.DriverID, Races.RaceNo"));
    QueryDef totals = ensure(QStringLiteral("LastRaceTotals"), QStringLiteral("SELECT LastRacePoints.DriverID, Sum(LastRacePoints.Points) AS TotalPoints FROM LastRacePoints GROUP BY LastRacePoints.DriverID ORDER BY Sum(LastRacePoints.Points) DESC"));
    totals.setParameter(QStringLiteral("sDiv"), QStringLiteral("A"));
    totals.setParameter(QStringLiteral("LastRace"), 3.0 - 1);
    auto rs = totals.openRecordset();
    QStringList got = rows(*rs, {QStringLiteral("DriverID"), QStringLiteral("TotalPoints")});
    got.sort();
    EXPECT_EQ(got, (QStringList{QStringLiteral("1 355"), QStringLiteral("2 355"), QStringLiteral("3 325"), QStringLiteral("4 325")}));
}

TEST_F(LeagueDb, StatisticsQueriesDivideAsRealsAndSortNamesCaseBlind)
{
    season();
    ensure(QStringLiteral("QueryRace"), QStringLiteral("SELECT DriverID AS RDriver, Count(DriverID) AS RRaces FROM ScoreDrop WHERE Division = mDiv GROUP BY DriverID"));
    ensure(QStringLiteral("Laps"), QStringLiteral("SELECT DriverID as LDriver, SUM(Laps) AS SumOfLaps, SUM(Lead) as SumOfLead, (SumOfLaps * 100 / mTotLaps) AS LC, (SumOfLead * 100 / SUM(Laps)) AS LOC, (SumOfLead * 100 / mTotLaps) AS LOT FROM ScoreDrop WHERE Division = mDiv GROUP BY DriverID ORDER BY DriverID"));
    ensure(QStringLiteral("Miles"), QStringLiteral("SELECT DriverID AS MDriver, Sum((Laps*Miles)) AS TotMiles FROM ScoreDrop, Races INNER JOIN Tracks ON Races.TrackID = Tracks.ID WHERE ScoreDrop.Division = mDiv AND ScoreDrop.RaceID = Races.ID GROUP BY ScoreDrop.DriverID ORDER BY ScoreDrop.DriverID"));
    QueryDef stats = ensure(QStringLiteral("Stats"), QStringLiteral("SELECT Drivers.Name, QueryRace.RRaces, Miles.TotMiles, Laps.SumOfLaps, Laps.LC, Laps.SumOfLead, Laps.LOC, Laps.LOT FROM Drivers, QueryRace, Miles, Laps WHERE QueryRace.RDriver = Miles.MDriver And Drivers.DriverID = QueryRace.RDriver AND QueryRace.RDriver = Laps.LDriver ORDER BY Drivers.Name"));
    stats.setParameter(QStringLiteral("mDiv"), QStringLiteral("A"));
    stats.setParameter(QStringLiteral("mTotLaps"), 400);
    auto rs = stats.openRecordset();
    EXPECT_EQ(rows(*rs, {QStringLiteral("Name"), QStringLiteral("TotMiles"), QStringLiteral("SumOfLaps"), QStringLiteral("LC")}),
              (QStringList{QStringLiteral("Ann 400 400 100"), QStringLiteral("bob 400 400 100"),
                           QStringLiteral("Carl 375 350 87.5"), QString::fromUtf8("Émile 115 210 52.5")}));
    rs->moveFirst();
    // 110 led of 400 completed: a real, not a whole-number quotient.
    EXPECT_DOUBLE_EQ(rs->number(QStringLiteral("LOC")), 27.5);
    rs->moveNext();
    EXPECT_NEAR(rs->number(QStringLiteral("LOC")), 190.0 * 100 / 400, 1e-9);

    // The Laps query alone with a season of no laps: no error, no value.
    QueryDef laps = db->queryDef(QStringLiteral("Laps"));
    laps.setParameter(QStringLiteral("mDiv"), QStringLiteral("A"));
    laps.setParameter(QStringLiteral("mTotLaps"), 0);
    auto l = laps.openRecordset();
    EXPECT_EQ(l->recordCount(), 4);
    EXPECT_TRUE(l->isNull(QStringLiteral("LC")));
}

TEST_F(LeagueDb, StatusTextsCompareWithoutRegardToCase)
{
    season();
    QueryDef dnfs = ensure(QStringLiteral("DNFs"), QStringLiteral("SELECT DriverID, Count(DriverID) AS TotOfDNF FROM ScoreDrop WHERE (((Division)=[mDiv]) AND ((Mid$([Finish],1,4))<>'Runn' AND (Mid$([Finish],1,4))<>'Prov' AND (Mid$([Finish],1,4))<>'DNQ ')) GROUP BY DriverID ORDER BY DriverID"));
    dnfs.setParameter(QStringLiteral("mDiv"), QStringLiteral("A"));
    auto rs = dnfs.openRecordset();
    EXPECT_EQ(rows(*rs, {QStringLiteral("DriverID"), QStringLiteral("TotOfDNF")}),
              (QStringList{QStringLiteral("1 1"), QStringLiteral("4 1")}));

    // Starts list: no provisional starts, grouped by name.
    auto starts = db->openRecordset(QStringLiteral("SELECT Count(ScoreDrop.DriverID) AS RRaces, Drivers.Name FROM ScoreDrop  INNER JOIN Drivers ON ScoreDrop.DriverID = Drivers.DriverID WHERE Division = 'A' AND Mid$(ScoreDrop.Finish,1,4) <> 'Prov'GROUP BY Name ORDER BY Count(ScoreDrop.DriverID) DESC, Drivers.Name"));
    EXPECT_EQ(rows(*starts, {QStringLiteral("Name"), QStringLiteral("RRaces")}),
              (QStringList{QStringLiteral("Ann 3"), QStringLiteral("bob 3"), QStringLiteral("Carl 3"), QString::fromUtf8("Émile 1")}));

    // Most cars not running per race.
    auto most = db->openRecordset(QStringLiteral("SELECT RaceID, Count(DriverID) AS Expr1 FROM ScoreDrop WHERE trim(Finish) <> 'Running' AND Mid$([Finish],1,4) <> 'Prov' AND Division = 'A' GROUP BY ScoreDrop.RaceID ORDER BY Count(DriverID) DESC"));
    QStringList mostRows = rows(*most, {QStringLiteral("RaceID"), QStringLiteral("Expr1")});
    mostRows.sort();   // all tied
    EXPECT_EQ(mostRows,
              (QStringList{QStringLiteral("1 1"), QStringLiteral("2 1"), QStringLiteral("3 1")}));
}

TEST_F(LeagueDb, PoleWinnersFilteredByAdHocSql)
{
    season();
    ensure(QStringLiteral("PoleWinners"), QStringLiteral("SELECT Races.Division, Races.RaceNo, Drivers.Name FROM Races INNER JOIN (Qualify INNER JOIN (Drivers INNER JOIN Score ON Drivers.DriverID = Score.DriverID) ON Qualify.DriverID = Drivers.DriverID) ON (Races.ID = Score.RaceID) AND (Races.ID = Qualify.RaceID) WHERE Qualify.pos = 1 ORDER BY Races.Division, Races.RaceNo"));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Name FROM PoleWinners WHERE Division='a' And RaceNo = '2'")).toString(), QStringLiteral("Ann"));
    auto all = db->openRecordset(QStringLiteral("PoleWinners"));
    EXPECT_EQ(rows(*all, {QStringLiteral("Division"), QStringLiteral("RaceNo"), QStringLiteral("Name")}),
              (QStringList{QStringLiteral("A 1 bob"), QStringLiteral("A 10 ") + QString::fromUtf8("Émile"),
                           QStringLiteral("A 2 Ann"), QStringLiteral("B 1 Carl")}));
}

TEST_F(LeagueDb, TeamAndRookieRowsThroughTempTeams)
{
    season();
    run(QStringLiteral("DELETE FROM TempTeams"));
    run(QStringLiteral("INSERT INTO TempTeams SELECT Posi, DriverID, Team_Name, Points FROM Score, Teams WHERE RaceID = 2 AND Team <> 0 AND Score.Team = Teams.TeamID ORDER BY Posi"));
    auto tt = db->openRecordset(QStringLiteral("TempTeams"));
    EXPECT_EQ(rows(*tt, {QStringLiteral("Posi"), QStringLiteral("Team_Name"), QStringLiteral("Points"), QStringLiteral("Brand")}),
              (QStringList{QStringLiteral("1 Red 185 -"), QStringLiteral("2 Red 170 -"), QStringLiteral("4 blue 160 -")}));

    run(QStringLiteral("DELETE FROM TempTeams"));
    run(QStringLiteral("INSERT INTO TempTeams (Posi, DriverID, Points) VALUES (1, 1, 15)"));
    run(QStringLiteral("INSERT INTO TempTeams (Posi, DriverID, Points) VALUES (2, 2, -5)"));
    run(QStringLiteral("INSERT INTO TempTeams (Posi, DriverID, Points) VALUES (3, 3, NULL)"));
    run(QStringLiteral("INSERT INTO TempTeams (Posi, DriverID, Points) VALUES (4, 4, 100)"));
    auto rk = db->openRecordset(QStringLiteral("SELECT TempTeams.DriverID, TempTeams.Points, Drivers.Name FROM TempTeams, Drivers WHERE cStr(Points) > '0' AND TempTeams.DriverID = Drivers.DriverID AND NOT ISNULL(Points) ORDER BY Points DESC"));
    EXPECT_EQ(rows(*rk, {QStringLiteral("Name"), QStringLiteral("Points")}),
              (QStringList{QStringLiteral("Carl 100"), QStringLiteral("Ann 15")}));
}

TEST_F(LeagueDb, PlacesGainedAndDatesOrder)
{
    season();
    auto rs = db->openRecordset(QStringLiteral("SELECT Score.DriverID, [Pos]-[Posi] AS Improved  FROM Qualify INNER JOIN Score ON (Qualify.DriverID = Score.DriverID) AND (Qualify.RaceID = Score.RaceID) WHERE Score.RaceID = 1 ORDER BY [Pos]-[posi] DESC;"));
    ASSERT_EQ(rs->recordCount(), 4);
    // A whole number minus a real prints as a whole number.
    EXPECT_EQ(rs->text(QStringLiteral("Improved")), QStringLiteral("1"));
    rs->moveLast();
    EXPECT_EQ(rs->text(QStringLiteral("Improved")), QStringLiteral("-1"));

    auto byDate = db->openRecordset(QStringLiteral("SELECT RaceNo FROM Races WHERE Division = 'A' ORDER BY CDate(Races.RaceDate) DESC"));
    EXPECT_EQ(rows(*byDate, {QStringLiteral("RaceNo")}), (QStringList{QStringLiteral("10"), QStringLiteral("2"), QStringLiteral("1")}));
    auto byNumber = db->openRecordset(QStringLiteral("SELECT RaceNo FROM Races WHERE Division = 'A' ORDER BY VAL(RaceNo) DESC"));
    EXPECT_EQ(rows(*byNumber, {QStringLiteral("RaceNo")}), (QStringList{QStringLiteral("10"), QStringLiteral("2"), QStringLiteral("1")}));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Max(Val(RaceNo)) FROM Races WHERE Division = 'a'")).toInt(), 10);
}

TEST_F(LeagueDb, ScoreRowsCopyByPositionAndSelectIntoKeepsTypes)
{
    season();
    run(QStringLiteral("DELETE * FROM ScoreDrop"));
    auto from = db->openRecordset(QStringLiteral("SELECT * FROM Score WHERE RaceID = 1"));
    auto to = db->openRecordset(QStringLiteral("ScoreDrop"));
    for (; !from->eof(); from->moveNext()) {
        to->addNew();
        for (int i = 0; i < from->fieldCount(); ++i)
            to->setField(i, from->field(i));
        to->update();
    }
    EXPECT_EQ(count(QStringLiteral("ScoreDrop s INNER JOIN Score c ON s.RaceID = c.RaceID AND s.Posi = c.Posi AND s.Finish = c.Finish AND s.Points = c.Points AND s.Interval = c.Interval")), 4);

    run(QStringLiteral("SELECT * INTO DivisionOld FROM Division"));
    EXPECT_EQ(db->columnNames(QStringLiteral("DivisionOld")), db->columnNames(QStringLiteral("Division")));
    EXPECT_EQ(count(QStringLiteral("DivisionOld WHERE ID = 'a'")), 1);
}
