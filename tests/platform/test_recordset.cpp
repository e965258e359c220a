// Recordsets: walking, fields, edits written back, additions, deletions.

#include "Database.h"
#include "Recordset.h"

#include <QTemporaryDir>
#include <limits>

#include <gtest/gtest.h>

using namespace dao;

namespace {

class RsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        db = Database::create(dir.filePath(QStringLiteral("rs.mdb")));
        db->execute(QStringLiteral("CREATE TABLE Drivers (DriverID INTEGER PRIMARY KEY AUTOINCREMENT, "
                                   "OnlineID VARCHAR(50) COLLATE NOCASE, Name VARCHAR(50) COLLATE NOCASE, "
                                   "\"Number\" VARCHAR(50) COLLATE NOCASE, Brand VARCHAR(10) COLLATE NOCASE DEFAULT 'Ford')"));
        db->execute(QStringLiteral("CREATE TABLE Score (Division VARCHAR(5) COLLATE NOCASE, RaceID INTEGER, Posi DOUBLE, "
                                   "DriverID INTEGER, Points INTEGER, Team INTEGER, Earnings CURRENCY, Lines BOOLEAN)"));
    }
    int errorOf(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const DbError& e) {
            return e.number();
        }
        return 0;
    }

    QTemporaryDir dir;
    std::unique_ptr<Database> db;
};

} // namespace

TEST_F(RsTest, TableRecordsetWalksInInsertionOrder)
{
    auto empty = db->openRecordset(QStringLiteral("Score"));
    EXPECT_TRUE(empty->eof());
    EXPECT_TRUE(empty->bof());
    EXPECT_EQ(empty->recordCount(), 0);
    EXPECT_EQ(errorOf([&] { empty->field(QStringLiteral("Posi")); }), 3021);
    EXPECT_NO_THROW(empty->moveFirst());
    EXPECT_EQ(errorOf([&] { empty->moveNext(); }), 3021);

    for (int p : {3, 1, 2})
        db->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi) VALUES ('A', 1, %1)").arg(p));
    auto rs = db->openRecordset(QStringLiteral("score"));
    // Declared columns only, in declared order; no hidden rowid.
    ASSERT_EQ(rs->fieldCount(), 8);
    EXPECT_EQ(rs->fieldName(0), QStringLiteral("Division"));
    EXPECT_EQ(rs->fieldName(2), QStringLiteral("Posi"));
    QStringList seen;
    for (; !rs->eof(); rs->moveNext())
        seen << rs->text(QStringLiteral("POSI"));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("2")}));
    rs->moveFirst();
    EXPECT_EQ(rs->field(2).toDouble(), 3.0);
    EXPECT_EQ(rs->fieldType(0), dbText);
    EXPECT_EQ(rs->fieldType(2), dbDouble);
    EXPECT_EQ(rs->fieldType(4), dbLong);
    EXPECT_EQ(rs->fieldType(6), dbCurrency);
    EXPECT_EQ(rs->fieldType(7), dbBoolean);
    EXPECT_EQ(errorOf([&] { rs->field(QStringLiteral("Nope")); }), 3265);
}

TEST_F(RsTest, NullsStayDistinctFromEmptyAndZero)
{
    db->execute(QStringLiteral("INSERT INTO Drivers (OnlineID, Name, \"Number\") VALUES ('a', NULL, '')"));
    db->execute(QStringLiteral("INSERT INTO Score (Points, Team) VALUES (0, NULL)"));
    auto d = db->openRecordset(QStringLiteral("SELECT * FROM Drivers"));
    EXPECT_TRUE(d->isNull(QStringLiteral("name")));
    EXPECT_FALSE(d->isNull(QStringLiteral("Number")));
    EXPECT_EQ(d->text(QStringLiteral("Name"), QStringLiteral("?")), QStringLiteral("?"));
    EXPECT_EQ(d->text(QStringLiteral("Number"), QStringLiteral("?")), QString());
    auto s = db->openRecordset(QStringLiteral("Score"));
    EXPECT_FALSE(s->isNull(QStringLiteral("Points")));
    EXPECT_TRUE(s->isNull(QStringLiteral("Team")));
    EXPECT_EQ(s->integer(QStringLiteral("Team"), -7), -7);

    // Numbers past the 64-bit range saturate instead of wrapping.
    auto big = db->openRecordset(QStringLiteral("SELECT 1e30 AS Up, '-1e30' AS Down, 1e300 * 1e300 AS Inf"));
    EXPECT_EQ(big->integer(QStringLiteral("Up")), std::numeric_limits<qint64>::max());
    EXPECT_EQ(big->integer(QStringLiteral("Down")), std::numeric_limits<qint64>::min());
    EXPECT_EQ(big->integer(QStringLiteral("Inf")), std::numeric_limits<qint64>::max());
}

TEST_F(RsTest, AddNewGivesTheAutomaticNumberAtOnceAndNeverReusesIt)
{
    auto rs = db->openRecordset(QStringLiteral("Drivers"));
    rs->addNew();
    EXPECT_EQ(rs->integer(QStringLiteral("DriverID")), 1);
    EXPECT_EQ(rs->fieldAttributes(0), dbAutoNumberAttributes);
    EXPECT_EQ(rs->text(QStringLiteral("Brand")), QStringLiteral("Ford"));   // column default
    rs->setField(QStringLiteral("OnlineID"), QStringLiteral("one"));
    rs->update();
    rs->addNew();
    EXPECT_EQ(rs->integer(QStringLiteral("DriverID")), 2);
    rs->setField(QStringLiteral("OnlineID"), QStringLiteral("two"));
    rs->update();
    // Added rows join the walk at its end.
    EXPECT_EQ(rs->recordCount(), 2);
    rs->moveLast();
    EXPECT_EQ(rs->text(QStringLiteral("OnlineID")), QStringLiteral("two"));
    db->execute(QStringLiteral("DELETE FROM Drivers WHERE DriverID = 2"));
    auto again = db->openRecordset(QStringLiteral("Drivers"));
    again->addNew();
    EXPECT_EQ(again->integer(QStringLiteral("DriverID")), 3);
    again->update();
    EXPECT_EQ(db->nextAutoNumber(QStringLiteral("Drivers")), 4);
    EXPECT_EQ(db->lastInsertId(), 3);
}

TEST_F(RsTest, EditWhileWalkingAnOrderedDynasetWhoseSortKeyChanges)
{
    for (int i = 1; i <= 5; ++i)
        db->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi, Team) VALUES ('A', 1, %1, %2)").arg(i).arg(i % 2));
    auto rs = db->openRecordset(QStringLiteral("SELECT * FROM Score WHERE RaceID = 1 ORDER BY Team, Posi"));
    int visited = 0;
    for (; !rs->eof(); rs->moveNext()) {
        rs->edit();
        rs->setField(QStringLiteral("Team"), 9);
        rs->setField(QStringLiteral("Points"), rs->integer(QStringLiteral("Posi")) * 10);
        rs->update();
        ++visited;
    }
    EXPECT_EQ(visited, 5);   // every row once, none twice
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Count(*) FROM Score WHERE Team = 9")).toInt(), 5);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Sum(Points) FROM Score")).toInt(), 150);
}

TEST_F(RsTest, EditOfAJoinWritesTheFirstTable)
{
    db->execute(QStringLiteral("INSERT INTO Drivers (OnlineID, Name) VALUES ('x', 'Xavier')"));
    db->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi, DriverID, Points) VALUES ('A', 1, 1, 1, 5)"));
    auto rs = db->openRecordset(QStringLiteral("SELECT Score.*, Drivers.Name FROM Score INNER JOIN Drivers ON Score.DriverID = Drivers.DriverID"));
    ASSERT_FALSE(rs->eof());
    EXPECT_EQ(rs->text(QStringLiteral("Drivers.Name")), QStringLiteral("Xavier"));
    rs->edit();
    rs->setField(QStringLiteral("Points"), QStringLiteral(" 12 "));
    rs->update();
    EXPECT_EQ(rs->integer(QStringLiteral("Points")), 12);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Points FROM Score")).toLongLong(), 12);
}

TEST_F(RsTest, ValuesAreConvertedToTheColumnType)
{
    auto rs = db->openRecordset(QStringLiteral("Score"));
    rs->addNew();
    EXPECT_EQ(errorOf([&] { rs->setField(QStringLiteral("Points"), QStringLiteral("abc")); }), 3421);
    EXPECT_EQ(errorOf([&] { rs->setField(QStringLiteral("Points"), QStringLiteral("")); }), 3421);
    rs->setField(QStringLiteral("Points"), 2.5);            // rounds half to even
    rs->setField(QStringLiteral("Posi"), QStringLiteral("3"));
    rs->setField(QStringLiteral("Lines"), true);
    rs->setField(QStringLiteral("Division"), 7);
    rs->setField(QStringLiteral("Earnings"), QStringLiteral("1,250.50"));
    rs->update();
    auto back = db->openRecordset(QStringLiteral("SELECT Points, Posi, Lines, Division, Earnings, typeof(Posi) AS T FROM Score"));
    EXPECT_EQ(back->field(QStringLiteral("Points")).toLongLong(), 2);
    EXPECT_EQ(back->text(QStringLiteral("T")), QStringLiteral("real"));
    EXPECT_TRUE(back->flag(QStringLiteral("Lines")));
    EXPECT_EQ(back->field(QStringLiteral("Division")).toString(), QStringLiteral("7"));
    EXPECT_DOUBLE_EQ(back->number(QStringLiteral("Earnings")), 1250.5);
    // A text longer than its column is refused.
    auto d = db->openRecordset(QStringLiteral("Drivers"));
    d->addNew();
    EXPECT_EQ(errorOf([&] { d->setField(QStringLiteral("Brand"), QStringLiteral("Chevrolet Impala")); }), 3163);
}

TEST_F(RsTest, RemoveTakesTheRowOutOfTheWalk)
{
    for (int i = 1; i <= 3; ++i)
        db->execute(QStringLiteral("INSERT INTO Score (RaceID, Posi) VALUES (1, %1)").arg(i));
    auto rs = db->openRecordset(QStringLiteral("SELECT * FROM Score ORDER BY Posi"));
    rs->moveNext();
    rs->remove();
    EXPECT_EQ(rs->integer(QStringLiteral("Posi")), 3);
    rs->remove();
    EXPECT_TRUE(rs->eof());
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Count(*) FROM Score")).toInt(), 1);
}

TEST_F(RsTest, ComputedResultsAreReadOnly)
{
    db->execute(QStringLiteral("INSERT INTO Score (RaceID, Posi, Points) VALUES (1, 1, 5)"));
    auto rs = db->openRecordset(QStringLiteral("SELECT RaceID, Sum(Points) AS P FROM Score GROUP BY RaceID"));
    EXPECT_EQ(rs->integer(QStringLiteral("p")), 5);
    EXPECT_EQ(errorOf([&] { rs->edit(); }), 3027);
    EXPECT_EQ(errorOf([&] { rs->setField(0, 1); }), 3020);
}
