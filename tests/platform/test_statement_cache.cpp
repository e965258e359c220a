// The layer keeps translations and prepared statements between statements:
// the same text must still give what a fresh translation would after the
// schema, the saved queries or a transaction changed what it depends on.
// And forward-only recordsets: read as walked, only forward, read-only.

#include "Database.h"
#include "QueryDef.h"
#include "Recordset.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>

using namespace dao;

namespace {

class CacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        db = Database::create(dir.filePath(QStringLiteral("cache.mdb")));
        db->execute(QStringLiteral("CREATE TABLE T (ID INTEGER PRIMARY KEY AUTOINCREMENT, A INTEGER, Name VARCHAR(20) COLLATE NOCASE)"));
        db->execute(QStringLiteral("INSERT INTO T (A, Name) VALUES (1, 'one'), (2, 'two'), (3, 'three')"));
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
    QVariant first(const QString& sql) { return db->scalar(sql); }

    QTemporaryDir dir;
    std::unique_ptr<Database> db;
};

} // namespace

TEST_F(CacheTest, AParameterBecomesAColumnOnceTheTableHasIt)
{
    // B is no column yet: a parameter, asked of the caller.
    const QString sql = QStringLiteral("SELECT A + B AS S FROM T WHERE A = 1");
    QueryDef q(db.get(), QString(), sql);
    q.setParameter(QStringLiteral("B"), 10);
    EXPECT_EQ(q.openRecordset()->field(0).toInt(), 11);
    q.setParameter(QStringLiteral("B"), 20);
    EXPECT_EQ(q.openRecordset()->field(0).toInt(), 21);   // the value is read anew, not kept with the text
    EXPECT_EQ(errorOf([&] { first(sql); }), 3061);         // and without one the text asks for it

    // Once B is a column the same text reads it, through every way of
    // changing the schema.
    db->execute(QStringLiteral("ALTER TABLE T ADD COLUMN B INTEGER DEFAULT 5"));
    EXPECT_EQ(first(sql).toInt(), 6);
    FieldDef c;
    c.name = QStringLiteral("C");
    c.type = dbLong;
    const QString withC = QStringLiteral("SELECT C FROM T WHERE A = 2");
    QueryDef qc(db.get(), QString(), withC);
    qc.setParameter(QStringLiteral("C"), 7);
    EXPECT_EQ(qc.openRecordset()->field(0).toInt(), 7);
    db->appendField(QStringLiteral("T"), c);
    EXPECT_TRUE(first(withC).isNull());
    db->execute(QStringLiteral("UPDATE T SET C = 9"));
    EXPECT_EQ(first(withC).toInt(), 9);
    db->deleteField(QStringLiteral("T"), QStringLiteral("C"));
    EXPECT_EQ(qc.openRecordset()->field(0).toInt(), 7);

    // A reused alias is inlined, each time.
    const QString alias = QStringLiteral("SELECT A * 2 AS D, D + 1 AS E FROM T WHERE A = 3");
    EXPECT_EQ(first(alias).toInt(), 6);
    EXPECT_EQ(db->openRecordset(alias)->field(QStringLiteral("E")).toInt(), 7);
}

TEST_F(CacheTest, SavedQueriesAndTablesAreLookedUpAnewAfterTheyChange)
{
    const QString sql = QStringLiteral("SELECT Count(*) FROM Q");
    EXPECT_NE(errorOf([&] { first(sql); }), 0);
    EXPECT_FALSE(db->hasQueryDef(QStringLiteral("Q")));
    db->createQueryDef(QStringLiteral("Q"), QStringLiteral("SELECT * FROM T WHERE A > 1"));
    EXPECT_TRUE(db->hasQueryDef(QStringLiteral("q")));
    EXPECT_EQ(first(sql).toInt(), 2);
    db->deleteQueryDef(QStringLiteral("Q"));
    db->createQueryDef(QStringLiteral("Q"), QStringLiteral("SELECT * FROM T"));
    EXPECT_EQ(first(sql).toInt(), 3);
    EXPECT_EQ(db->queryDef(QStringLiteral("Q")).sql(), QStringLiteral("SELECT * FROM T"));

    // A query or table made inside a transaction that is rolled back is gone.
    db->deleteQueryDef(QStringLiteral("Q"));
    db->beginTrans();
    db->createQueryDef(QStringLiteral("Q"), QStringLiteral("SELECT * FROM T WHERE A = 1"));
    db->execute(QStringLiteral("CREATE TABLE U (X INTEGER)"));
    EXPECT_EQ(first(sql).toInt(), 1);
    EXPECT_TRUE(db->hasTable(QStringLiteral("U")));
    EXPECT_EQ(db->openRecordset(QStringLiteral("U"))->fieldCount(), 1);
    db->rollback();
    EXPECT_FALSE(db->hasQueryDef(QStringLiteral("Q")));
    EXPECT_NE(errorOf([&] { first(sql); }), 0);
    EXPECT_FALSE(db->hasTable(QStringLiteral("U")));
    EXPECT_NE(errorOf([&] { db->openRecordset(QStringLiteral("U")); }), 0);

    // SELECT ... INTO makes a table the next statement can read.
    db->execute(QStringLiteral("SELECT * INTO V FROM T WHERE A < 3"));
    EXPECT_EQ(db->openRecordset(QStringLiteral("V"))->recordCount(), 2);
    db->execute(QStringLiteral("DROP TABLE V"));
    EXPECT_FALSE(db->hasTable(QStringLiteral("V")));
    db->execute(QStringLiteral("CREATE TABLE V (Y TEXT, Z TEXT)"));
    EXPECT_EQ(db->openRecordset(QStringLiteral("V"))->fieldCount(), 2);
}

TEST_F(CacheTest, ASchemaChangeBehindTheLayerIsNoticed)
{
    const QString sql = QStringLiteral("SELECT * FROM T WHERE A = 1");
    EXPECT_EQ(db->openRecordset(sql)->fieldCount(), 3);
    ASSERT_EQ(sqlite3_exec(db->handle(), "ALTER TABLE T ADD COLUMN W TEXT DEFAULT 'w'", nullptr, nullptr, nullptr), SQLITE_OK);
    auto rs = db->openRecordset(sql);
    ASSERT_EQ(rs->fieldCount(), 4);
    EXPECT_EQ(rs->fieldName(3), QStringLiteral("W"));
    EXPECT_EQ(rs->text(QStringLiteral("W")), QStringLiteral("w"));
    EXPECT_EQ(rs->text(QStringLiteral("Name")), QStringLiteral("one"));
}

TEST_F(CacheTest, OneTextOpenTwiceAtOnceReadsTwice)
{
    const QString sql = QStringLiteral("SELECT A FROM T ORDER BY A");
    auto outer = db->openRecordset(sql, {}, dbOpenForwardOnly);
    QStringList pairs;
    for (; !outer->eof(); outer->moveNext()) {
        // The same text again while the first walk holds its statement.
        auto inner = db->openRecordset(sql, {}, dbOpenForwardOnly);
        int n = 0;
        for (; !inner->eof(); inner->moveNext())
            ++n;
        pairs << outer->text(QStringLiteral("A")) + QLatin1Char('/') + QString::number(n);
    }
    EXPECT_EQ(pairs, (QStringList{"1/3", "2/3", "3/3"}));
    // Values bound to a kept statement do not stick to it.
    EXPECT_EQ(db->openRecordset(QStringLiteral("SELECT Name FROM T WHERE A = ?"), {2})->text(QStringLiteral("Name")),
              QStringLiteral("two"));
    EXPECT_TRUE(db->openRecordset(QStringLiteral("SELECT Name FROM T WHERE A = ?"), {})->eof());
}

TEST_F(CacheTest, ForwardOnlyRecordsetsStepThroughAndRefuseTheRest)
{
    auto rs = db->openRecordset(QStringLiteral("SELECT A, Name, A * 1.5 AS F FROM T ORDER BY A DESC"), {}, dbOpenForwardOnly);
    EXPECT_TRUE(rs->isForwardOnly());
    EXPECT_FALSE(rs->eof());
    EXPECT_FALSE(rs->bof());
    EXPECT_EQ(rs->fieldType(rs->fieldIndex(QStringLiteral("F"))), dbDouble);
    QStringList seen;
    for (; !rs->eof(); rs->moveNext())
        seen << rs->text(QStringLiteral("Name")) + QLatin1Char(' ') + rs->text(QStringLiteral("F"));
    EXPECT_EQ(seen, (QStringList{"three 4.5", "two 3", "one 1.5"}));
    EXPECT_EQ(errorOf([&] { rs->field(0); }), 3021);
    EXPECT_EQ(errorOf([&] { rs->moveNext(); }), 3021);
    EXPECT_EQ(errorOf([&] { rs->moveFirst(); }), 3251);
    EXPECT_EQ(errorOf([&] { rs->recordCount(); }), 3251);

    auto one = db->openRecordset(QStringLiteral("SELECT * FROM T WHERE A = 2"), {}, dbOpenForwardOnly);
    EXPECT_EQ(errorOf([&] { one->edit(); }), 3027);
    EXPECT_EQ(errorOf([&] { one->addNew(); }), 3027);
    EXPECT_EQ(errorOf([&] { one->remove(); }), 3027);
    EXPECT_EQ(one->integer(QStringLiteral("ID")), 2);
    one->close();
    EXPECT_TRUE(one->eof());

    auto none = db->openRecordset(QStringLiteral("SELECT * FROM T WHERE A = 9"), {}, dbOpenForwardOnly);
    EXPECT_TRUE(none->eof());
    EXPECT_TRUE(none->bof());
    EXPECT_TRUE(none->isEmpty());
    EXPECT_EQ(none->fieldCount(), 3);

    // A walk left half way does not keep the table locked.
    auto half = db->openRecordset(QStringLiteral("SELECT * FROM T"), {}, dbOpenForwardOnly);
    half.reset();
    db->beginTrans();
    db->execute(QStringLiteral("DELETE FROM T WHERE A = 3"));
    db->commitTrans();
    EXPECT_EQ(first(QStringLiteral("SELECT Count(*) FROM T")).toInt(), 2);
}

TEST_F(CacheTest, TextsOrderCaseBlindWithAccentsAmongTheirPlainLetters)
{
    const QStringList names = {QStringLiteral("emma"), QString::fromUtf8("Zoë"), QStringLiteral("abe"), QStringLiteral("ab"),
                               QString::fromUtf8("é"), QStringLiteral("ABd"), QString::fromUtf8("abcé"), QStringLiteral("Abz"),
                               QStringLiteral("zoe"), QStringLiteral("e"), QString::fromUtf8("Émile"), QStringLiteral("abc"),
                               QString::fromUtf8("abé"), QStringLiteral("ABC"), QStringLiteral("DRIVER NUMBER 9"),
                               QString::fromUtf8("Driver Number 1éx"), QStringLiteral("driver number 10b"),
                               QStringLiteral("Driver Number 10")};
    for (const QString& n : names)
        db->execute(QStringLiteral("INSERT INTO T (A, Name) VALUES (0, ?)"), {n});
    QStringList order;
    for (auto rs = db->openRecordset(QStringLiteral("SELECT Name FROM T WHERE A = 0 ORDER BY Name, ID"), {}, dbOpenForwardOnly);
         !rs->eof(); rs->moveNext())
        order << rs->text(QStringLiteral("Name"));
    EXPECT_EQ(order, (QStringList{"ab", "abc", "ABC", QString::fromUtf8("abcé"), "ABd", "abe", QString::fromUtf8("abé"), "Abz",
                                  "Driver Number 10", "driver number 10b", QString::fromUtf8("Driver Number 1éx"), "DRIVER NUMBER 9",
                                  "e", QString::fromUtf8("é"), QString::fromUtf8("Émile"), "emma", "zoe", QString::fromUtf8("Zoë")}));
    EXPECT_EQ(first(QStringLiteral("SELECT Count(*) FROM T WHERE Name = 'DRIVER number 10'")).toInt(), 1);
    EXPECT_EQ(first(QStringLiteral("SELECT Count(*) FROM T WHERE Name = 'abc'")).toInt(), 2);
    EXPECT_EQ(first(QString::fromUtf8("SELECT Count(*) FROM T WHERE Name = 'ÉMILE'")).toInt(), 1);
}

TEST_F(CacheTest, ValAndMidOfPlainTextsReadAsOfAnyText)
{
    auto text = [&](const char* expr) { return first(QStringLiteral("SELECT ") + QString::fromUtf8(expr)).toString(); };
    auto number = [&](const char* expr) { return first(QStringLiteral("SELECT ") + QString::fromUtf8(expr)); };
    EXPECT_EQ(text("Mid$('abcdef', 0, 2)"), QStringLiteral("ab"));
    EXPECT_EQ(text("Mid$('abcdef', 3)"), QStringLiteral("cdef"));
    EXPECT_EQ(text("Mid$('abcdef', 6, 5)"), QStringLiteral("f"));
    EXPECT_EQ(text("Mid$('abcdef', 7, 1)"), QString());
    EXPECT_EQ(text("Mid$('abcdef', 2, 0)"), QString());
    EXPECT_EQ(text("Mid$('abcdef', 2, -3)"), QString());
    EXPECT_EQ(text("Mid$('Zoë Zed', 3, 3)"), QString::fromUtf8("ë Z"));   // characters, not bytes
    EXPECT_EQ(text("Mid$(12345, 2, 2)"), QStringLiteral("23"));
    EXPECT_EQ(first(QStringLiteral("SELECT Count(*) FROM T WHERE Mid$(Name, 1, 2) = 'TW'")).toInt(), 1);   // still case-blind

    EXPECT_EQ(number("Val('007')").toLongLong(), 7);
    EXPECT_EQ(number("Val('576')").typeId(), QMetaType::LongLong);
    EXPECT_EQ(number("Val('1 2')").toLongLong(), 12);
    EXPECT_EQ(number("Val('12a')").toLongLong(), 12);
    EXPECT_EQ(number("Val('')").toLongLong(), 0);
    EXPECT_EQ(number("Val('-5')").toLongLong(), -5);
    EXPECT_EQ(number("Val('2.50')").toDouble(), 2.5);
    EXPECT_EQ(number("Val('1234567890123456789')").toDouble(), 1234567890123456789.0);
}

TEST_F(CacheTest, ANameAloneStillOpensItsTableOrQuery)
{
    db->createQueryDef(QStringLiteral("Big Ones"), QStringLiteral("SELECT * FROM T WHERE A > 1 ORDER BY A"));
    EXPECT_EQ(db->openRecordset(QStringLiteral("[Big Ones]"))->recordCount(), 2);
    EXPECT_EQ(first(QStringLiteral("[Big Ones]")).toInt(), 2);   // its first column, the ID
    EXPECT_EQ(first(QStringLiteral(" T ")).toInt(), 1);
    // Asked for forward-only, a name still gives its table or query whole.
    auto byName = db->openRecordset(QStringLiteral("[Big Ones]"), {}, dbOpenForwardOnly);
    EXPECT_FALSE(byName->isForwardOnly());
    EXPECT_EQ(byName->recordCount(), 2);
    EXPECT_EQ(db->openRecordset(QStringLiteral("SELECT Count(*) FROM [Big Ones]"), {}, dbOpenForwardOnly)->field(0).toInt(), 2);
}

// A table altered through the raw handle, behind the layer's back: SQLite
// prepares the kept statement again by itself, and the layer's caches of
// that text (columns, translation) must follow, not answer as before.
TEST_F(CacheTest, ATextKeptAcrossAChangeSQLiteMadeOnItsOwnReadsTheNewTable)
{
    const QString sql = QStringLiteral("SELECT * FROM T WHERE A = 2");
    auto before = db->openRecordset(sql);
    ASSERT_EQ(before->fieldCount(), 3);
    before.reset();
    ASSERT_EQ(sqlite3_exec(db->handle(), "ALTER TABLE T ADD COLUMN Extra VARCHAR(10) DEFAULT 'x';"
                                         "ALTER TABLE T RENAME COLUMN Name TO Label;"
                                         "UPDATE T SET Extra = 'two!' WHERE A = 2",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    auto after = db->openRecordset(sql);
    ASSERT_EQ(after->fieldCount(), 4);
    EXPECT_EQ(after->text(QStringLiteral("Label")), QStringLiteral("two"));
    EXPECT_EQ(after->text(QStringLiteral("Extra")), QStringLiteral("two!"));
    EXPECT_EQ(errorOf([&] { after->field(QStringLiteral("Name")); }), 3265);
    // A write through the kept INSERT text reads the new columns too.
    const QString insert = QStringLiteral("INSERT INTO T (A, Label) VALUES (?, ?)");
    EXPECT_EQ(errorOf([&] { db->execute(insert, {4, QStringLiteral("four")}); }), 0);
    // The renamed column keeps its width, which the layer knows afresh.
    EXPECT_EQ(errorOf([&] { db->execute(insert, {6, QString(21, QLatin1Char('x'))}); }), 3163);
    ASSERT_EQ(sqlite3_exec(db->handle(), "ALTER TABLE T DROP COLUMN Extra", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(errorOf([&] { db->execute(insert, {5, QStringLiteral("five")}); }), 0);
    EXPECT_EQ(first(QStringLiteral("SELECT Count(*) FROM T WHERE Label IN ('four', 'five')")).toInt(), 2);
    EXPECT_EQ(db->openRecordset(sql)->fieldCount(), 3);
}
