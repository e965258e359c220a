// Table definitions as the schema conversion uses them: columns added,
// dropped, flagged and put back in order, with rows, keys, indexes and
// triggers surviving.

#include "Database.h"
#include "QueryDef.h"
#include "Recordset.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dao;

namespace {

class SchemaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        db = Database::create(dir.filePath(QStringLiteral("s.mdb")));
    }
    void run(const QString& sql) { db->execute(sql); }
    int count(const QString& sql) { return db->scalar(QStringLiteral("SELECT Count(*) FROM ") + sql).toInt(); }
    QStringList cols(const QString& t) { return db->columnNames(t); }

    // The old layout: Division with Teams and otherpts as yes/no columns,
    // Races with a cascade, a trigger on Division naming Races.
    void oldLayout()
    {
        run(QStringLiteral("CREATE TABLE Division (ID VARCHAR(5) COLLATE NOCASE PRIMARY KEY, Name VARCHAR(50) COLLATE NOCASE, "
                           "RecordID INTEGER, Numbers BOOLEAN, Brands BOOLEAN, Teams BOOLEAN, Roty BOOLEAN, Earnings BOOLEAN, "
                           "NonPoints BOOLEAN, PointsID VARCHAR(50) COLLATE NOCASE, otherpts BOOLEAN, \"Drop\" SMALLINT)"));
        run(QStringLiteral("CREATE TABLE Races (ID INTEGER PRIMARY KEY AUTOINCREMENT, Division VARCHAR(5) COLLATE NOCASE, RaceNo VARCHAR(50))"));
        run(QStringLiteral("CREATE INDEX Races_Division ON Races(Division)"));
        run(QStringLiteral("CREATE TABLE Score (RaceID INTEGER, Posi DOUBLE)"));
        run(QStringLiteral("CREATE TRIGGER Races_Delete AFTER DELETE ON Races BEGIN DELETE FROM Score WHERE RaceID = OLD.ID; END"));
        run(QStringLiteral("CREATE TRIGGER Division_Delete AFTER DELETE ON Division BEGIN DELETE FROM Races WHERE Division = OLD.ID; END"));
        run(QStringLiteral("INSERT INTO Division VALUES ('A', 'Alpha', 0, 1, 1, 1, 0, 0, 0, '', 0, 2)"));
        run(QStringLiteral("INSERT INTO Division VALUES ('B', 'Beta', 0, 1, 1, 0, 0, 0, 0, '', 1, 0)"));
        for (int i = 0; i < 3; ++i)
            run(QStringLiteral("INSERT INTO Races (Division, RaceNo) VALUES ('%1', '%2')").arg(i < 2 ? QStringLiteral("A") : QStringLiteral("B")).arg(i + 1));
        run(QStringLiteral("INSERT INTO Score SELECT ID, 1 FROM Races"));
    }

    QTemporaryDir dir;
    std::unique_ptr<Database> db;
};

FieldDef field(const QString& name, int type, int size = 50)
{
    FieldDef f;
    f.name = name;
    f.type = type;
    f.size = size;
    return f;
}

} // namespace

TEST_F(SchemaTest, CreateTableShowsThePrimaryIndexUnderItsName)
{
    TableDef t;
    t.name = QStringLiteral("Penalties");
    t.fields = {field(QStringLiteral("Division"), dbText, 5), field(QStringLiteral("RaceID"), dbLong),
                field(QStringLiteral("Posi"), dbLong), field(QStringLiteral("Points"), dbLong),
                field(QStringLiteral("Comment"), dbText, 100)};
    t.indexes = {IndexDef{QStringLiteral("Penalties"), {QStringLiteral("Division"), QStringLiteral("RaceID"), QStringLiteral("Posi")}, true, true},
                 IndexDef{QStringLiteral("ByPoints"), {QStringLiteral("Points")}, false, false}};
    db->createTable(t);
    EXPECT_EQ(cols(QStringLiteral("penalties")), (QStringList{QStringLiteral("Division"), QStringLiteral("RaceID"), QStringLiteral("Posi"), QStringLiteral("Points"), QStringLiteral("Comment")}));
    const auto idx = db->indexes(QStringLiteral("Penalties"));
    ASSERT_EQ(idx.size(), 2u);
    EXPECT_EQ(idx[0].name, QStringLiteral("Penalties"));
    EXPECT_TRUE(idx[0].primary && idx[0].unique);
    EXPECT_EQ(idx[0].fields.size(), 3);
    EXPECT_EQ(idx[1].name, QStringLiteral("ByPoints"));
    EXPECT_FALSE(idx[1].primary);
    // The key holds, text compared without regard to case.
    run(QStringLiteral("INSERT INTO Penalties VALUES ('a', 1, 1, 5, 'x')"));
    try {
        run(QStringLiteral("INSERT INTO Penalties VALUES ('A', 1, 1, 6, 'y')"));
        FAIL() << "duplicate key accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), 3022);
    }
    const auto info = db->columns(QStringLiteral("Penalties"));
    EXPECT_EQ(info[0].type, dbText);
    EXPECT_EQ(info[1].type, dbLong);
    try {
        db->createTable(t);
        FAIL() << "created twice";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), 3010);
    }
}

TEST_F(SchemaTest, OldDivisionLayoutUpgradesInPlaceKeepingRowsAndCascades)
{
    oldLayout();
    db->beginTrans();
    db->deleteField(QStringLiteral("Division"), QStringLiteral("Teams"));
    db->appendField(QStringLiteral("Division"), field(QStringLiteral("Teams"), dbInteger));
    FieldDef ef = field(QStringLiteral("EarningsFile"), dbText, 50);
    db->appendField(QStringLiteral("Division"), ef);
    db->setFieldFlags(QStringLiteral("Division"), QStringLiteral("EarningsFile"), true, true);
    db->deleteField(QStringLiteral("Division"), QStringLiteral("otherpts"));
    db->appendField(QStringLiteral("Division"), field(QStringLiteral("PointSystem"), dbInteger));
    db->appendField(QStringLiteral("Division"), field(QStringLiteral("PointSystemFile"), dbText, 50));
    db->setFieldFlags(QStringLiteral("Division"), QStringLiteral("PointSystemFile"), true, true);
    const QStringList order{QStringLiteral("ID"), QStringLiteral("Name"), QStringLiteral("RecordID"), QStringLiteral("Numbers"),
                            QStringLiteral("Brands"), QStringLiteral("Teams"), QStringLiteral("Roty"), QStringLiteral("Earnings"),
                            QStringLiteral("EarningsFile"), QStringLiteral("NonPoints"), QStringLiteral("PointsID"),
                            QStringLiteral("PointSystem"), QStringLiteral("PointSystemFile"), QStringLiteral("Drop")};
    db->reorderColumns(QStringLiteral("Division"), order);
    db->commitTrans();

    EXPECT_EQ(cols(QStringLiteral("Division")), order);
    EXPECT_EQ(count(QStringLiteral("Division")), 2);
    // Rows that had no value got the empty text when the column became required.
    EXPECT_EQ(count(QStringLiteral("Division WHERE EarningsFile = '' AND PointSystemFile = ''")), 2);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT [Drop] FROM Division WHERE ID = 'A'")).toInt(), 2);
    // The 14-value insert of the division editor fits the order.
    run(QStringLiteral("INSERT INTO Division VALUES ('C', 'Gamma', 0, 1, 1, 2, 0, 0, '', 0, '', 3, '', 1)"));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT PointSystem FROM Division WHERE ID = 'c'")).toInt(), 3);
    // Required: a missing value is refused.
    EXPECT_THROW(run(QStringLiteral("INSERT INTO Division (ID, EarningsFile) VALUES ('D', NULL)")), DbError);
    // The key and the cascades survived the rebuilds.
    EXPECT_THROW(run(QStringLiteral("INSERT INTO Division (ID) VALUES ('a')")), DbError);
    run(QStringLiteral("DELETE FROM Division WHERE ID = 'A'"));
    EXPECT_EQ(count(QStringLiteral("Races")), 1);
    EXPECT_EQ(count(QStringLiteral("Score")), 1);
}

TEST_F(SchemaTest, RebuildingATableKeepsItsIndexesTriggersAndNumbers)
{
    oldLayout();
    run(QStringLiteral("DELETE FROM Races WHERE ID = 3"));   // highest number gone
    db->reorderColumns(QStringLiteral("Races"), {QStringLiteral("RaceNo"), QStringLiteral("ID"), QStringLiteral("Division")});
    EXPECT_EQ(cols(QStringLiteral("Races")), (QStringList{QStringLiteral("RaceNo"), QStringLiteral("ID"), QStringLiteral("Division")}));
    EXPECT_EQ(db->nextAutoNumber(QStringLiteral("Races")), 4);
    run(QStringLiteral("INSERT INTO Races (Division, RaceNo) VALUES ('B', '9')"));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT ID FROM Races WHERE RaceNo = '9'")).toInt(), 4);
    EXPECT_EQ(db->columns(QStringLiteral("Races"))[1].attributes, dbAutoNumberAttributes);
    const auto idx = db->indexes(QStringLiteral("Races"));
    ASSERT_EQ(idx.size(), 2u);   // the key and Races_Division
    EXPECT_EQ(idx[1].name, QStringLiteral("Division"));
    // The trigger on Races and the one on Division that names Races both work.
    run(QStringLiteral("DELETE FROM Division WHERE ID = 'a'"));
    EXPECT_EQ(count(QStringLiteral("Races")), 1);
    EXPECT_EQ(count(QStringLiteral("Score")), 0);

    // Dropping an indexed column goes through a rebuild too.
    db->deleteField(QStringLiteral("Races"), QStringLiteral("Division"));
    EXPECT_EQ(cols(QStringLiteral("Races")), (QStringList{QStringLiteral("RaceNo"), QStringLiteral("ID")}));
    EXPECT_EQ(db->indexes(QStringLiteral("Races")).size(), 1u);
}

TEST_F(SchemaTest, AFailedChangeInsideATransactionLeavesNothing)
{
    oldLayout();
    db->beginTrans();
    db->deleteField(QStringLiteral("Division"), QStringLiteral("Teams"));
    EXPECT_THROW(db->reorderColumns(QStringLiteral("Division"), {QStringLiteral("ID")}), DbError);
    EXPECT_THROW(db->deleteField(QStringLiteral("Division"), QStringLiteral("Nope")), DbError);
    EXPECT_THROW(db->appendField(QStringLiteral("Division"), field(QStringLiteral("Name"), dbText)), DbError);
    db->rollback();
    EXPECT_TRUE(cols(QStringLiteral("Division")).contains(QStringLiteral("Teams")));
    EXPECT_EQ(count(QStringLiteral("Division")), 2);
}

TEST_F(SchemaTest, TableNamesHideTheLayersOwnTables)
{
    oldLayout();
    db->createQueryDef(QStringLiteral("Q"), QStringLiteral("SELECT * FROM Races"));
    EXPECT_EQ(db->tableNames(), (QStringList{QStringLiteral("Division"), QStringLiteral("Races"), QStringLiteral("Score")}));
    EXPECT_TRUE(db->hasTable(QStringLiteral("races")));
    EXPECT_FALSE(db->hasTable(QStringLiteral("Q")));
}
