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

TEST_F(LeagueDb, ParametersReachNestedQueriesForOneOpenOnly)
{
    season();
    ensure(QStringLiteral("DivPoints"), QStringLiteral("SELECT DriverID, Sum(Points) AS Pts FROM ScoreDrop WHERE Division = mDiv GROUP BY DriverID"));
    QueryDef outer = ensure(QStringLiteral("Leaders"), QStringLiteral("SELECT Drivers.Name, DivPoints.Pts FROM DivPoints INNER JOIN Drivers ON DivPoints.DriverID = Drivers.DriverID WHERE DivPoints.Pts > [MinPts] ORDER BY DivPoints.Pts DESC, Drivers.Name"));
    // Without its parameters the query cannot run.
    try {
        outer.openRecordset();
        FAIL() << "opened without parameters";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), 3061);
    }
    outer.setParameter(QStringLiteral("[mDiv]"), QStringLiteral("a"));
    outer.setParameter(QStringLiteral("minpts"), 500);
    auto rs = outer.openRecordset();
    EXPECT_EQ(rows(*rs, {QStringLiteral("Name"), QStringLiteral("Pts")}),
              (QStringList{QStringLiteral("Ann 520"), QStringLiteral("bob 515"), QStringLiteral("Carl 510"), QString::fromUtf8("Émile 510")}));
    EXPECT_EQ(outer.parameter(QStringLiteral("MDIV")).toString(), QStringLiteral("a"));
    // The values do not outlive the open.
    try {
        db->queryDef(QStringLiteral("DivPoints")).openRecordset();
        FAIL() << "mDiv outlived the open";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), 3061);
    }
}

TEST_F(LeagueDb, RaceDatesOrderAsDatesAndNumbersAsNumbers)
{
    season();
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
