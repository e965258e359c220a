// Translation of Jet texts into SQLite texts.

#include "DbError.h"
#include "JetSqlHarness.h"

using dao::jet::translate;
using jettest::RawDb;

namespace {

QString one(const QString& jet, const dao::jet::Context& ctx = {})
{
    const auto tr = translate(jet, ctx);
    EXPECT_EQ(tr.statements.size(), 1) << jet.toStdString();
    return tr.statements.value(0);
}

} // namespace

TEST(JetSql, LiteralsAndBracketsAreKept)
{
    const QString lit = QStringLiteral("'Val(x) / [a] Drop DELETE * ISNULL(y); it''s'");
    EXPECT_EQ(one("SELECT * FROM Score WHERE Finish = " + lit), "SELECT * FROM Score WHERE Finish = " + lit);
    // Brackets stay: SQLite reads them as names and never as strings.
    EXPECT_EQ(one("SELECT Score.DriverID, [Pos]-[Posi] AS Improved FROM Score"),
              "SELECT Score.DriverID, [Pos]-[Posi] AS Improved FROM Score");
    EXPECT_EQ(one("SELECT 'a'GROUP BY x;"), "SELECT 'a'GROUP BY x");
    EXPECT_EQ(one("SELECT 1 ;  "), "SELECT 1");
}

TEST(JetSql, UnreadableTextIsASyntaxError)
{
    for (const char* bad : {"SELECT * FROM Score WHERE Finish = 'Run", "SELECT [Pos FROM Qualify"}) {
        try {
            translate(QString::fromLatin1(bad), {});
            ADD_FAILURE() << bad;
        } catch (const dao::DbError& e) {
            EXPECT_EQ(e.number(), 3075);
            EXPECT_TRUE(e.description().contains(QString::fromLatin1(bad)));
        }
    }
}

TEST(JetSql, DropAsColumnAndAsKeyword)
{
    EXPECT_EQ(one("UPDATE Division SET Name = 'x ',PointsID = '',Drop = '3',Numbers = 1 WHERE ID = 'A'"),
              "UPDATE Division SET Name = 'x ',PointsID = '',[Drop] = '3',Numbers = 1 WHERE ID = 'A'");
    EXPECT_EQ(one("SELECT Division.Drop, drop FROM Division"), "SELECT Division.[Drop], [drop] FROM Division");
    EXPECT_EQ(one("DROP TABLE DivisionOld"), "DROP TABLE DivisionOld");
    EXPECT_EQ(one("DROP INDEX x"), "DROP INDEX x");
    EXPECT_EQ(one("ALTER TABLE Division DROP COLUMN Drop"), "ALTER TABLE Division DROP COLUMN [Drop]");
    EXPECT_EQ(one("ALTER TABLE Division ADD COLUMN Drop SMALLINT"), "ALTER TABLE Division ADD COLUMN [Drop] SMALLINT");
}

TEST(JetSql, JetFormsRewritten)
{
    EXPECT_EQ(one("DELETE * FROM Damage WHERE RaceID = 4"), "DELETE  FROM Damage WHERE RaceID = 4");
    EXPECT_EQ(one("DELETE FROM TempTeams"), "DELETE FROM TempTeams");
    EXPECT_EQ(one("SELECT * FROM T WHERE NOT ISNULL(Points)"), "SELECT * FROM T WHERE NOT ((Points) IS NULL)");
    EXPECT_EQ(one("SELECT Val(a), val(b), VAL([c]) FROM T"), "SELECT jet_val(a), jet_val(b), jet_val([c]) FROM T");
    EXPECT_EQ(one("SELECT * FROM T WHERE Mid$([Finish],1,4) <> 'Prov'GROUP BY x"),
              "SELECT * FROM T WHERE (jet_mid([Finish],1,4) COLLATE NOCASE) <> 'Prov'GROUP BY x");
    EXPECT_EQ(one("SELECT * FROM T WHERE trim(Finish) <> 'Running' AND cStr(Points) > '0'"),
              "SELECT * FROM T WHERE (trim(Finish) COLLATE NOCASE) <> 'Running' AND (jet_cstr(Points) COLLATE NOCASE) > '0'");
    EXPECT_EQ(one("SELECT * FROM Races ORDER BY CDate(Races.RaceDate) DESC"),
              "SELECT * FROM Races ORDER BY jet_cdate(Races.RaceDate) DESC");
    EXPECT_EQ(one("SELECT a/b, (x * 100 / y) FROM T"), "SELECT a * 1.0 / b, (x * 100  * 1.0 /  y) FROM T");
    EXPECT_EQ(one("UPDATE T SET a = True, b = false"), "UPDATE T SET a = 1, b = 0");
}

TEST(JetSql, AliasReuseAndParameters)
{
    dao::jet::Context ctx;
    ctx.unresolved = {"sumoflaps", "sumoflead", "mtotlaps", "mdiv"};
    const QString sql = one("SELECT DriverID as LDriver, SUM(Laps) AS SumOfLaps, SUM(Lead) as SumOfLead, "
                            "(SumOfLaps * 100 / mTotLaps) AS LC FROM ScoreDrop WHERE Division = [mDiv] "
                            "GROUP BY DriverID",
                            ctx);
    EXPECT_EQ(sql, "SELECT DriverID as LDriver, SUM(Laps) AS SumOfLaps, SUM(Lead) as SumOfLead, "
                   "((SUM(Laps)) * 100  * 1.0 /  jet_param('mtotlaps')) AS LC FROM ScoreDrop "
                   "WHERE Division = jet_param('mdiv') GROUP BY DriverID");
    // Qualified names, function names and alias definitions are never parameters.
    ctx.unresolved = {"x"};
    EXPECT_EQ(one("SELECT T.x, x(1), 2 AS x FROM T", ctx), "SELECT T.x, x(1), 2 AS x FROM T");
    EXPECT_EQ(one("SELECT a FROM T WHERE b = x", ctx), "SELECT a FROM T WHERE b = jet_param('x')");
    // An alias used inside another alias' expression is inlined fully.
    ctx.unresolved = {"a1", "a2"};
    EXPECT_EQ(one("SELECT SUM(v) AS a1, a1 + 1 AS a2, a2 * 2 AS a3 FROM T", ctx),
              "SELECT SUM(v) AS a1, (SUM(v)) + 1 AS a2, ((SUM(v)) + 1) * 2 AS a3 FROM T");
}

TEST(JetSql, InsertWithoutColumnListGetsTheFirstColumns)
{
    RawDb db;
    db.loadSchema();
    const auto ctx = db.context();
    EXPECT_EQ(one("INSERT INTO TempTeams SELECT Score.Posi, Score.DriverID FROM Score ORDER BY Posi", ctx),
              "INSERT INTO TempTeams (\"Posi\", \"DriverID\") SELECT Score.Posi, Score.DriverID FROM Score ORDER BY Posi");
    EXPECT_EQ(one("INSERT INTO Rookies  VALUES('A',5)", ctx), "INSERT INTO Rookies  VALUES('A',5)");
    EXPECT_EQ(one("INSERT INTO TempTeams VALUES (1, 2)", ctx), "INSERT INTO TempTeams (\"Posi\", \"DriverID\") VALUES (1, 2)");
    EXPECT_EQ(one("INSERT INTO Bonus(DivID,DriverID,Bonus) VALUES ('A',1,2)", ctx),
              "INSERT INTO Bonus(DivID,DriverID,Bonus) VALUES ('A',1,2)");
}

TEST(JetSql, SelectIntoCopiesTheDefinition)
{
    RawDb db;
    db.loadSchema();
    const auto tr = translate("SELECT * INTO ScoreDrop2 FROM Score", db.context());
    ASSERT_EQ(tr.statements.size(), 2);
    EXPECT_TRUE(tr.statements[0].startsWith("CREATE TABLE \"ScoreDrop2\" ("));
    EXPECT_TRUE(tr.statements[0].contains("Finish   VARCHAR(50) COLLATE NOCASE"));
    EXPECT_EQ(tr.statements[1], "INSERT INTO \"ScoreDrop2\" SELECT *  FROM Score");
    // The copy compares case-blind like its source.
    db.raw("INSERT INTO Division (ID, Name, [Drop]) VALUES ('d1', 'One', 2)");
    EXPECT_TRUE(db.run("SELECT * INTO DivisionOld FROM Division").isEmpty());
    EXPECT_EQ(db.run("SELECT Name, Drop FROM DivisionOld WHERE ID = 'D1'"), QStringList{"One|2"});
    // Anything but a plain copy of one table falls back to CREATE TABLE AS.
    const auto tr2 = translate("SELECT ID, Name INTO X FROM Division WHERE ID = 'a'", db.context());
    EXPECT_EQ(tr2.statements, QStringList{"CREATE TABLE \"X\" AS SELECT ID, Name  FROM Division WHERE ID = 'a'"});
}

TEST(JetSql, UpdatableSelectsGetARowidVariant)
{
    auto tr = translate("SELECT * FROM QUALIFY WHERE RACEID = 5", {});
    EXPECT_EQ(tr.baseTable, "QUALIFY");
    EXPECT_EQ(tr.selectWithRowid, "SELECT QUALIFY.rowid AS __rowid__, * FROM QUALIFY WHERE RACEID = 5");
    tr = translate("SELECT Score.DriverID, Score.Bonus FROM Score INNER JOIN Rookies ON (Score.Division = "
                   "Rookies.Division) WHERE RaceID = 3 ORDER BY Posi",
                   {});
    EXPECT_EQ(tr.baseTable, "Score");
    EXPECT_TRUE(tr.selectWithRowid.startsWith("SELECT Score.rowid AS __rowid__, Score.DriverID"));
    tr = translate("SELECT s.Posi FROM Score AS s", {});
    EXPECT_EQ(tr.selectWithRowid, "SELECT s.rowid AS __rowid__, s.Posi FROM Score AS s");
    tr = translate("SELECT * FROM (Division INNER JOIN Races ON Division.ID = Races.Division)", {});
    EXPECT_EQ(tr.baseTable, "Division");
    for (const char* ro : {"SELECT DriverID, Count(Posi) AS TWins FROM Score GROUP BY DriverID",
                           "SELECT MAX(val(RaceNo))as LastRace FROM Races", "SELECT DISTINCT Name FROM Drivers",
                           "SELECT * FROM (SELECT * FROM Score)", "SELECT 1 FROM A UNION SELECT 2 FROM B",
                           "DELETE FROM Score"}) {
        tr = translate(QString::fromLatin1(ro), {});
        EXPECT_TRUE(tr.baseTable.isEmpty()) << ro;
        EXPECT_TRUE(tr.selectWithRowid.isEmpty()) << ro;
    }
}

TEST(JetSql, SavedQueriesBecomeCommonTableExpressions)
{
    RawDb db;
    db.saved["LastRacePoints"] = "SELECT ScoreDrop.DriverID, ScoreDrop.Points FROM ScoreDrop WHERE val(RaceNo)<= val([LastRace]);";
    db.saved["LastRaceTotals"] = "SELECT LastRacePoints.DriverID, Sum(LastRacePoints.Points) AS TotalPoints "
                                 "FROM LastRacePoints GROUP BY LastRacePoints.DriverID";
    auto ctx = db.context({"lastrace"});
    auto tr = translate("SELECT * FROM LastRaceTotals WHERE DriverID <> 0", ctx);
    EXPECT_EQ(tr.statements.value(0),
              "WITH \"LastRacePoints\" AS (SELECT ScoreDrop.DriverID, ScoreDrop.Points FROM ScoreDrop WHERE "
              "jet_val(RaceNo)<= jet_val(jet_param('lastrace'))), \"LastRaceTotals\" AS (SELECT LastRacePoints.DriverID, "
              "Sum(LastRacePoints.Points) AS TotalPoints FROM LastRacePoints GROUP BY LastRacePoints.DriverID) "
              "SELECT * FROM LastRaceTotals WHERE DriverID <> 0");
    EXPECT_TRUE(tr.baseTable.isEmpty());
    // A column of the saved query that failed inside it is no parameter outside.
    db.saved["Laps"] = "SELECT DriverID as LDriver, SUM(Laps) AS SumOfLaps, (SumOfLaps * 2) AS LC FROM ScoreDrop GROUP BY DriverID";
    ctx = db.context({"sumoflaps"});
    tr = translate("SELECT SumOfLaps FROM Laps", ctx);
    EXPECT_TRUE(tr.statements.value(0).endsWith("SELECT SumOfLaps FROM Laps"));
    EXPECT_TRUE(tr.statements.value(0).contains("((SUM(Laps)) * 2) AS LC"));
    // A saved query that names itself is not expanded forever.
    db.saved["Loop"] = "SELECT * FROM Loop";
    EXPECT_EQ(translate("SELECT * FROM Loop", db.context()).statements.value(0),
              "WITH \"Loop\" AS (SELECT * FROM Loop) SELECT * FROM Loop");
}

TEST(JetSql, OuterQueryKeepsTheSavedOrder)
{
    RawDb db;
    db.saved["Top5Races"] = "SELECT Races.Division, Races.RaceNo, Score.Posi, Drivers.Name FROM Drivers INNER JOIN "
                            "(Races INNER JOIN Score ON Races.ID = Score.RaceID) ON Drivers.DriverID = Score.DriverID "
                            "WHERE Score.Posi <= 5 ORDER BY Races.Division, Races.RaceNo DESC, Score.Posi";
    const QString sql = one("SELECT Posi,Name FROM Top5Races WHERE Division='A' And RaceNo = '3'", db.context());
    EXPECT_TRUE(sql.endsWith("WHERE Division='A' And RaceNo = '3' ORDER BY Top5Races.\"Division\", "
                             "Top5Races.\"RaceNo\" DESC, Top5Races.\"Posi\""))
        << sql.toStdString();
    // An order of its own wins; grouping drops it.
    EXPECT_TRUE(one("SELECT Name FROM Top5Races ORDER BY Name", db.context()).endsWith("FROM Top5Races ORDER BY Name"));
    EXPECT_TRUE(one("SELECT Count(*) FROM Top5Races t", db.context()).endsWith("FROM Top5Races t"));
    EXPECT_TRUE(one("SELECT Name FROM Top5Races t", db.context()).endsWith("FROM Top5Races t ORDER BY t.\"Division\", "
                                                                            "t.\"RaceNo\" DESC, t.\"Posi\""));
}
