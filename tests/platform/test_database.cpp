// The database layer: opening, statements, transactions, saved queries and
// table definitions.

#include "Database.h"
#include "DbStatement.h"
#include "FailingVfs.h"
#include "QueryDef.h"
#include "Recordset.h"
#include "StatementCache.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace dao;

namespace {

// A fresh database file in a scratch folder.
class DbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("test.mdb"));
        db = Database::create(path);
    }
    // Runs a statement and expects no error.
    void run(const QString& sql) { db->execute(sql); }
    int count(const QString& table) { return db->scalar(QStringLiteral("SELECT Count(*) FROM ") + table).toInt(); }
    QStringList column(const QString& sql, const QString& field)
    {
        QStringList out;
        auto rs = db->openRecordset(sql);
        for (; !rs->eof(); rs->moveNext())
            out << rs->text(field);
        return out;
    }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<Database> db;
};

int errorNumber(const std::function<void()>& f)
{
    try {
        f();
    } catch (const DbError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

TEST(DatabaseOpen, MissingFileGives3024AndCreatesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("none.mdb"));
    try {
        Database::open(path);
        FAIL() << "opened a missing file";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), 3024);
        EXPECT_TRUE(e.description().contains(path));
    }
    EXPECT_FALSE(QFile::exists(path));
}

TEST(DatabaseOpen, GarbageFileGives3343AndStaysUnchanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("junk.mdb"));
    QByteArray junk;
    for (int i = 0; i < 5000; ++i)
        junk.append(char((i * 7919 + 13) % 251));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(junk);
    }
    EXPECT_EQ(errorNumber([&] { Database::open(path); }), 3343);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), junk);
    // An empty file is no database either.
    const QString empty = dir.filePath(QStringLiteral("empty.mdb"));
    QFile e(empty);
    ASSERT_TRUE(e.open(QIODevice::WriteOnly));
    e.close();
    EXPECT_EQ(errorNumber([&] { Database::open(empty); }), 3343);
}

TEST(DatabaseOpen, ReadOnlyFileGives3051)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ro.mdb"));
    Database::create(path)->execute(QStringLiteral("CREATE TABLE T (A INTEGER)"));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser);
    if (QFileInfo(path).isWritable())
        GTEST_SKIP() << "running with rights that ignore file permissions";
    EXPECT_EQ(errorNumber([&] { Database::open(path); }), 3051);
}

TEST(DatabaseOpen, CreatedFileReopens)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new.mdb"));
    Database::create(path);
    EXPECT_NO_THROW(Database::open(path));
    EXPECT_EQ(errorNumber([&] { Database::create(path); }), 3204);
}

TEST_F(DbTest, ErrorsCarryNumbers)
{
    run(QStringLiteral("CREATE TABLE T (ID INTEGER PRIMARY KEY AUTOINCREMENT, Name VARCHAR(50) COLLATE NOCASE UNIQUE)"));
    run(QStringLiteral("INSERT INTO T (Name) VALUES ('a')"));
    EXPECT_EQ(errorNumber([&] { run(QStringLiteral("INSERT INTO T (Name) VALUES ('A')")); }), 3022);
    EXPECT_EQ(errorNumber([&] { run(QStringLiteral("INSERT INTO Nope (X) VALUES (1)")); }), 3001);
    // Nothing is left half-done: the connection still works.
    EXPECT_EQ(count(QStringLiteral("T")), 1);
}

// A text of several statements runs none of them, however the later ones
// would fail; a ';' in a quoted text, a trailing one or a trigger's body is
// no second statement.
TEST_F(DbTest, SeveralStatementsInOneTextAreRefused)
{
    run(QStringLiteral("CREATE TABLE t (a INTEGER, b VARCHAR(20))"));
    EXPECT_EQ(errorNumber([&] { db->execute(QStringLiteral("INSERT INTO t (a) VALUES (1); UPDATE t SET a = a + zz WHERE a = 5")); }), 3142);
    EXPECT_EQ(errorNumber([&] { db->execute(QStringLiteral("INSERT INTO t (a) VALUES (?); INSERT INTO t (a) VALUES (2)"), {1}); }), 3142);
    EXPECT_EQ(errorNumber([&] { db->openRecordset(QStringLiteral("SELECT a FROM t; DELETE FROM t")); }), 3142);
    EXPECT_EQ(count(QStringLiteral("t")), 0);

    run(QStringLiteral("INSERT INTO t (a, b) VALUES (1, 'x; y');  "));
    run(QStringLiteral("CREATE TRIGGER t_double AFTER INSERT ON t BEGIN UPDATE t SET a = a * 2 WHERE rowid = NEW.rowid; END"));
    run(QStringLiteral("INSERT INTO t (a, [b]) VALUES (2, \"[;]\") -- a; comment"));
    EXPECT_EQ(column(QStringLiteral("SELECT a, b FROM t ORDER BY a"), QStringLiteral("b")),
              (QStringList{QStringLiteral("x; y"), QStringLiteral("[;]")}));
    EXPECT_EQ(column(QStringLiteral("SELECT a, b FROM t ORDER BY a"), QStringLiteral("a")), (QStringList{"1", "4"}));
}

// Every write holds a text to its column's width, as a recordset field
// does: bound values, literals, expressions and copies of wider texts.
TEST_F(DbTest, TextsAreHeldToTheirColumnWidthOnEveryWrite)
{
    run(QStringLiteral("CREATE TABLE n (s VARCHAR(5), m TEXT, k INTEGER)"));
    run(QStringLiteral("CREATE TABLE w (s VARCHAR(10), k INTEGER)"));
    run(QStringLiteral("INSERT INTO w VALUES ('0123456789', 1), ('ok', 2)"));
    const QString six = QStringLiteral("sixsix");
    std::vector<std::function<void()>> writes = {
        [&] { db->execute(QStringLiteral("INSERT INTO n (s) VALUES (?)"), {six}); },
        [&] { db->execute(QStringLiteral("INSERT INTO n (k, s) VALUES (?, ?), (?, ?)"), {1, QStringLiteral("a"), 2, six}); },
        [&] { db->execute(QStringLiteral("INSERT INTO n VALUES ('abcdef', 'x', 1)")); },
        [&] { db->execute(QStringLiteral("INSERT INTO n (s, k) SELECT s, k FROM w")); },
        [&] { db->execute(QStringLiteral("INSERT INTO n (s) SELECT * FROM (SELECT s FROM w) ORDER BY 1")); },
        [&] { db->execute(QStringLiteral("INSERT INTO n (s) SELECT 'a' UNION SELECT Trim(s) FROM w")); },
        [&] { db->execute(QStringLiteral("UPDATE w SET k = 3, s = s WHERE k = 2")); },   // fits
        [&] { db->execute(QStringLiteral("UPDATE n SET s = 'abcdef' WHERE k = 99")); },   // writes no row
        [&] { db->execute(QStringLiteral("INSERT INTO n (s, k) VALUES ('abc', 1)")); },  // fits
        [&] { db->execute(QStringLiteral("UPDATE n SET s = ? WHERE k = 1"), {six}); },
        [&] { db->execute(QStringLiteral("UPDATE n SET k = 2, s = s || 'xyz'")); },
        [&] { db->execute(QStringLiteral("UPDATE n SET s = 123456")); },
    };
    std::vector<int> numbers;
    for (const auto& write : writes)
        numbers.push_back(errorNumber(write));
    EXPECT_EQ(numbers, (std::vector<int>{3163, 3163, 3163, 3163, 3163, 3163, 0, 0, 0, 3163, 3163, 3163}));
    try {
        writes.front()();
    } catch (const DbError& e) {
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("The field 's' is too small"))) << e.what();
    }
    EXPECT_EQ(column(QStringLiteral("SELECT s FROM n"), QStringLiteral("s")), QStringList{QStringLiteral("abc")});

    // What fits is written as it was given.
    db->execute(QStringLiteral("INSERT INTO n (s, m, k) VALUES (?, ?, 7)"), {QStringLiteral("fivé5"), QString(300, QLatin1Char('m'))});
    db->execute(QStringLiteral("INSERT INTO n (s, k) SELECT s, 8 FROM w WHERE k = 3"));
    db->execute(QStringLiteral("UPDATE n SET s = 12345, m = Trim(m) WHERE k = 1"));
    EXPECT_EQ(column(QStringLiteral("SELECT s FROM n ORDER BY k"), QStringLiteral("s")),
              (QStringList{QStringLiteral("12345"), QStringLiteral("fivé5"), QStringLiteral("ok")}));
}

// A copy from a wider column of the same table is held to the narrower
// one; the other way round it always fits.
TEST_F(DbTest, ACopyFromAWiderColumnOfTheSameTableIsHeldToTheNarrowOne)
{
    run(QStringLiteral("CREATE TABLE t (narrow VARCHAR(3), wide VARCHAR(10))"));
    run(QStringLiteral("INSERT INTO t VALUES ('abc', 'abcdefgh')"));
    EXPECT_EQ(errorNumber([&] { run(QStringLiteral("UPDATE t SET narrow = wide")); }), 3163);
    run(QStringLiteral("UPDATE t SET wide = narrow"));
    EXPECT_EQ(column(QStringLiteral("SELECT narrow || wide AS b FROM t"), QStringLiteral("b")), QStringList{QStringLiteral("abcabc")});
}

// A Jet TEXT(n) column is a text of that width, held to it on every write
// as VARCHAR(n) is.
TEST_F(DbTest, ATextColumnOfAGivenWidthIsHeldToIt)
{
    run(QStringLiteral("CREATE TABLE t (s TEXT(3))"));
    const QString four = QStringLiteral("four");
    EXPECT_EQ(errorNumber([&] { db->execute(QStringLiteral("INSERT INTO t (s) VALUES (?)"), {four}); }), 3163);
    EXPECT_EQ(errorNumber([&] { run(QStringLiteral("INSERT INTO t (s) VALUES ('four')")); }), 3163);
    auto rs = db->openRecordset(QStringLiteral("t"));
    rs->addNew();
    EXPECT_EQ(errorNumber([&] { rs->setField(QStringLiteral("s"), four); }), 3163);
    EXPECT_EQ(rs->fieldType(0), dbText);
}

// Scratch tables take texts of any length on every write.
TEST_F(DbTest, ScratchTablesTakeTextsOfAnyLength)
{
    run(QStringLiteral("CREATE TABLE Scratch (s VARCHAR(3))"));
    db->setScratchTables({QStringLiteral("SCRATCH")});
    db->execute(QStringLiteral("INSERT INTO Scratch (s) VALUES (?)"), {QStringLiteral("wider")});
    run(QStringLiteral("INSERT INTO [Scratch] (s) SELECT s || '!' FROM Scratch"));
    auto rs = db->openRecordset(QStringLiteral("Scratch"));
    rs->addNew();
    rs->setField(QStringLiteral("s"), QStringLiteral("widest"));
    rs->update();
    EXPECT_EQ(column(QStringLiteral("SELECT s FROM Scratch"), QStringLiteral("s")), (QStringList{"wider", "wider!", "widest"}));
}

// The case-blind comparison reads ASCII texts in a fast path; a letter
// beyond ASCII in front of both texts sends them through the general one.
// Both order the punctuation around the letters alike, in short texts and
// in long ones that the fast path reads eight bytes at a time.
TEST_F(DbTest, CaseBlindFastPathAgreesWithTheGeneralPath)
{
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db->handle(), "SELECT (?1 > ?2 COLLATE NOCASE) - (?1 < ?2 COLLATE NOCASE)", -1, &st, nullptr),
              SQLITE_OK);
    auto order = [&](const QString& a, const QString& b) {
        const QByteArray x = a.toUtf8(), y = b.toUtf8();
        sqlite3_bind_text(st, 1, x.constData(), int(x.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, y.constData(), int(y.size()), SQLITE_TRANSIENT);
        sqlite3_step(st);
        const int r = sqlite3_column_int(st, 0);
        sqlite3_reset(st);
        return r;
    };
    const QStringList marks = {"@", "`", "[", "{", "_", "a", "Z", "m", "0", ""};
    int checked = 0;
    // Short texts, and long ones with the marks on either side of an eight-byte step.
    for (const auto& shape : {std::make_pair("", ""), std::make_pair("abcdefg", "hijklmnopq"), std::make_pair("ABCDEFGHIJKLMNOP", "")}) {
        QStringList texts;
        for (const QString& m : marks)
            for (const QString& k : marks)
                texts << QString::fromLatin1(shape.first) + m + QString::fromLatin1(shape.second) + k + QStringLiteral("stuv");
        for (const QString& a : texts) {
            for (const QString& b : texts) {
                const int fast = order(a, b);
                ASSERT_EQ(fast, order(QStringLiteral("é") + a, QStringLiteral("é") + b)) << a.toStdString() << " / " << b.toStdString();
                ASSERT_EQ(fast, -order(b, a));
                ++checked;
            }
        }
    }
    EXPECT_EQ(order(QStringLiteral("ABC_"), QStringLiteral("abc@")), 1);   // '_' after '@', the letters alike
    EXPECT_EQ(order(QStringLiteral("Abcdefghij"), QStringLiteral("aBCDEFGHIJ")), 0);
    EXPECT_GT(checked, 1000);
    sqlite3_finalize(st);
}

TEST_F(DbTest, QuoteDoublesApostrophes)
{
    run(QStringLiteral("CREATE TABLE T (Name VARCHAR(50) COLLATE NOCASE)"));
    const QString name = QStringLiteral("O'Brien's 'Team'");
    EXPECT_EQ(quote(QStringLiteral("O'B")), QStringLiteral("'O''B'"));
    EXPECT_EQ(escape(QStringLiteral("O'B")), QStringLiteral("O''B"));
    run(QStringLiteral("INSERT INTO T (Name) VALUES (") + quote(name) + QLatin1Char(')'));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Name FROM T WHERE Name = ") + quote(name)).toString(), name);
    EXPECT_EQ(db->execute(QStringLiteral("DELETE FROM T WHERE Name = ?"), {name}), 1);
}

TEST_F(DbTest, TextComparesWithoutRegardToCase)
{
    run(QStringLiteral("CREATE TABLE T (Name VARCHAR(50) COLLATE NOCASE)"));
    for (const char* n : {"zed", "Émile", "adam", "ÉLAN", "Bob", "edgar", "élan"})
        db->execute(QStringLiteral("INSERT INTO T (Name) VALUES (?)"), {QString::fromUtf8(n)});
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Count(*) FROM T WHERE Name = 'élan'")).toInt(), 2);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Count(*) FROM T WHERE Name = 'BOB'")).toInt(), 1);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Count(*) FROM (SELECT Name FROM T GROUP BY Name)")).toInt(), 6);
    const QStringList sorted = column(QStringLiteral("SELECT Name FROM T ORDER BY Name"), QStringLiteral("Name"));
    ASSERT_EQ(sorted.size(), 7);
    EXPECT_EQ(sorted.first(), QStringLiteral("adam"));
    EXPECT_EQ(sorted.last(), QStringLiteral("zed"));
    // Accented names sort among their plain letters.
    EXPECT_LT(sorted.indexOf(QStringLiteral("edgar")), sorted.indexOf(QString::fromUtf8("Émile")));
    EXPECT_LT(sorted.indexOf(QString::fromUtf8("Émile")), sorted.indexOf(QStringLiteral("zed")));
}

TEST_F(DbTest, TransactionsRollBackAndNest)
{
    run(QStringLiteral("CREATE TABLE T (A INTEGER)"));
    db->beginTrans();
    run(QStringLiteral("INSERT INTO T VALUES (1)"));
    db->beginTrans();
    run(QStringLiteral("INSERT INTO T VALUES (2)"));
    EXPECT_EQ(db->transactionDepth(), 2);
    db->rollback();   // inner only
    EXPECT_EQ(count(QStringLiteral("T")), 1);
    db->beginTrans();
    run(QStringLiteral("INSERT INTO T VALUES (3)"));
    db->commitTrans();
    EXPECT_EQ(count(QStringLiteral("T")), 2);
    db->rollback();   // outer: all gone
    EXPECT_EQ(db->transactionDepth(), 0);
    EXPECT_EQ(count(QStringLiteral("T")), 0);
    EXPECT_EQ(errorNumber([&] { db->commitTrans(); }), 3034);

    {
        Transaction tr(*db);
        run(QStringLiteral("INSERT INTO T VALUES (4)"));
    }   // not committed: rolled back
    EXPECT_EQ(count(QStringLiteral("T")), 0);
    {
        Transaction tr(*db);
        run(QStringLiteral("INSERT INTO T VALUES (5)"));
        tr.commit();
    }
    EXPECT_EQ(count(QStringLiteral("T")), 1);
    // A throwing step inside the guard leaves nothing behind.
    try {
        Transaction tr(*db);
        run(QStringLiteral("INSERT INTO T VALUES (6)"));
        run(QStringLiteral("INSERT INTO Missing VALUES (7)"));
        tr.commit();
    } catch (const DbError&) {
    }
    EXPECT_EQ(count(QStringLiteral("T")), 1);
    EXPECT_EQ(db->transactionDepth(), 0);
}

// SELECT ... INTO runs as two statements; when the second fails the table
// the first made is gone too, inside a transaction or not.
TEST_F(DbTest, AFailedSelectIntoLeavesNoTableBehind)
{
    run(QStringLiteral("CREATE TABLE t (a INTEGER)"));
    run(QStringLiteral("INSERT INTO t VALUES (1)"));
    for (const bool inTransaction : {false, true}) {
        Transaction tr(*db);
        if (!inTransaction)
            tr.commit();
        EXPECT_NE(errorNumber([&] { run(QStringLiteral("SELECT * INTO u FROM t WHERE a <> zz")); }), 0);
        EXPECT_FALSE(db->hasTable(QStringLiteral("u"))) << inTransaction;
    }
}

// SQLite reads a text only up to a NUL: the rest would be dropped unseen,
// or nothing read at all. Such a text is refused before anything runs, as
// a statement, a recordset or a saved query.
TEST_F(DbTest, ATextHoldingANulIsRefusedBeforeAnythingRuns)
{
    run(QStringLiteral("CREATE TABLE t (a INTEGER, b VARCHAR(5))"));
    run(QStringLiteral("INSERT INTO t VALUES (1, 'x'), (2, 'y')"));
    const QChar nul(0);
    const QString cut = QStringLiteral("UPDATE t SET b = 'z' WHERE 1 = 1 ") + nul + QStringLiteral("AND 0");
    ASSERT_EQ(errorNumber([&] { run(cut); }), 3075);
    // Where the text meets SQLite, whatever the translation lets through.
    detail::StatementCache cache(db->handle());
    EXPECT_EQ(errorNumber([&] { cache.acquire(cut); }), 3075);
    EXPECT_EQ(errorNumber([&] { detail::Stmt(db->handle(), cut).step(); }), 3075);
    EXPECT_EQ(errorNumber([&] { detail::exec(db->handle(), cut); }), 3075);
    EXPECT_EQ(errorNumber([&] { run(nul + QStringLiteral("DELETE FROM t")); }), 3075);
    EXPECT_EQ(errorNumber([&] { db->openRecordset(QStringLiteral("SELECT a FROM t") + nul + QStringLiteral(" WHERE a = 1")); }), 3075);
    EXPECT_EQ(errorNumber([&] { db->createQueryDef(QStringLiteral("Q"), QStringLiteral("SELECT a FROM t") + nul); }), 3075);
    // One stored in the file, as a damaged league file may hold it.
    db->createQueryDef(QStringLiteral("Q"), QStringLiteral("SELECT a FROM t"));
    ASSERT_EQ(sqlite3_exec(db->handle(), "UPDATE MSysQueries SET SQL = SQL || char(0) || ' WHERE a = 1'", nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(errorNumber([&] { db->queryDef(QStringLiteral("Q")).openRecordset(); }), 3075);
    EXPECT_EQ(errorNumber([&] { run(QStringLiteral("DELETE FROM t WHERE a IN (SELECT a FROM Q)")); }), 3075);
    EXPECT_EQ(column(QStringLiteral("SELECT b FROM t ORDER BY a"), QStringLiteral("b")), (QStringList{"x", "y"}));
}

// After an I/O error or a full disk SQLite rolls the whole transaction back
// by itself. Nothing after that may run on its own (and be committed) while
// the caller still thinks its transaction is open.
TEST(DatabaseWriteFailure, StatementsFailUntilTheEndedTransactionIsRolledBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.mdb"));
    {
        auto db = Database::create(path);
        db->execute(QStringLiteral("CREATE TABLE T (A INTEGER)"));
        db->execute(QStringLiteral("INSERT INTO T VALUES (1)"));
    }
    testsupport::FailingVfs vfs;
    auto refusedAsEnded = [](const std::function<void()>& f) {
        try {
            f();
        } catch (const DbError& e) {
            return e.number() == 3004 && e.description().contains(QStringLiteral("ended by the database"));
        }
        return false;
    };
    for (int error : {SQLITE_IOERR_WRITE, SQLITE_FULL}) {
        for (int levels : {1, 2}) {
            SCOPED_TRACE(testing::Message() << "error " << error << ", levels " << levels);
            auto db = Database::open(path);
            for (int i = 0; i < levels; ++i)
                db->beginTrans();
            vfs.failAt(1, error);
            EXPECT_NE(errorNumber([&] { db->execute(QStringLiteral("INSERT INTO T VALUES (2)")); }), 0);
            ASSERT_TRUE(vfs.failed());
            ASSERT_TRUE(sqlite3_get_autocommit(db->handle()));

            for (int i = 0; i < levels; ++i) {
                EXPECT_TRUE(refusedAsEnded([&] { db->execute(QStringLiteral("INSERT INTO T VALUES (3)")); }));
                EXPECT_TRUE(refusedAsEnded([&] { db->openRecordset(QStringLiteral("SELECT * FROM T")); }));
                EXPECT_TRUE(refusedAsEnded([&] { db->openRecordset(QStringLiteral("T")); }));
                EXPECT_TRUE(refusedAsEnded([&] { db->createQueryDef(QStringLiteral("Q"), QStringLiteral("SELECT A FROM T")); }));
                EXPECT_TRUE(refusedAsEnded([&] { db->beginTrans(); }));
                EXPECT_TRUE(refusedAsEnded([&] { db->commitTrans(); }));
                EXPECT_EQ(db->transactionDepth(), levels - i);
                db->rollback();   // one level each, as every caller that began one rolls back
            }
            EXPECT_EQ(db->transactionDepth(), 0);
            // Nothing of the ended transaction, nor of what came after, was kept.
            EXPECT_EQ(db->scalar(QStringLiteral("SELECT Count(*) FROM T")).toInt(), 1);
            EXPECT_FALSE(db->hasQueryDef(QStringLiteral("Q")));
            // The connection works again.
            {
                Transaction t(*db);
                db->execute(QStringLiteral("INSERT INTO T VALUES (4)"));
                t.commit();
            }
            EXPECT_EQ(db->scalar(QStringLiteral("SELECT Count(*) FROM T")).toInt(), 2);
            db->execute(QStringLiteral("DELETE FROM T WHERE A = 4"));
        }
    }
}

TEST_F(DbTest, JetFunctionsInSql)
{
    run(QStringLiteral("CREATE TABLE T (S VARCHAR(50) COLLATE NOCASE, N INTEGER, R DOUBLE)"));
    run(QStringLiteral("INSERT INTO T VALUES ('  12.5 mph', 15, 3.0)"));
    run(QStringLiteral("INSERT INTO T VALUES (NULL, NULL, NULL)"));
    auto rs = db->openRecordset(QStringLiteral("SELECT Val(S) AS V, cStr(N) AS C, cStr(R) AS CR, Mid$(S, 3, 2) AS M, Trim(S) AS TR, Val(N) AS VN FROM T"));
    EXPECT_EQ(rs->field(QStringLiteral("V")).toDouble(), 12.5);
    EXPECT_EQ(rs->field(QStringLiteral("C")).toString(), QStringLiteral("15"));
    EXPECT_EQ(rs->field(QStringLiteral("CR")).toString(), QStringLiteral("3"));
    EXPECT_EQ(rs->field(QStringLiteral("M")).toString(), QStringLiteral("12"));
    EXPECT_EQ(rs->field(QStringLiteral("TR")).toString(), QStringLiteral("12.5 mph"));
    // Lengths and starts past the int range clamp rather than wrap.
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Mid$('abc', 2, 4294967297)")).toString(), QStringLiteral("bc"));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Mid$('abc', 4294967297, 1)")).toString(), QString());
    rs->moveNext();
    // Val of nothing is 0; the others keep the missing value.
    EXPECT_EQ(rs->field(QStringLiteral("V")).toInt(), 0);
    EXPECT_TRUE(rs->isNull(QStringLiteral("C")));
    EXPECT_TRUE(rs->isNull(QStringLiteral("M")));

    // Dates as a result page writes them, in any of its forms.
    auto day = [&](const QString& text) { return db->scalar(QStringLiteral("SELECT CDate(") + quote(text) + QLatin1Char(')')); };
    const double oct12 = day(QStringLiteral("10/12/2003")).toDouble();
    EXPECT_EQ(day(QStringLiteral("2003-10-12")).toDouble(), oct12);
    EXPECT_EQ(day(QStringLiteral("Oct 12, 2003")).toDouble(), oct12);
    EXPECT_EQ(day(QStringLiteral("OCTOBER 12, 2003")).toDouble(), oct12);
    EXPECT_EQ(day(QStringLiteral("Sunday, October 12, 2003")).toDouble(), oct12);
    EXPECT_EQ(day(QStringLiteral("12 Oct 2003")).toDouble(), oct12);
    EXPECT_EQ(day(QStringLiteral("10/12/03")).toDouble(), oct12);
    EXPECT_GT(day(QStringLiteral("10/12/2003 8:30 PM")).toDouble(), day(QStringLiteral("10/12/2003 20:29")).toDouble());
    EXPECT_GT(day(QStringLiteral("10/13/2003")).toDouble(), day(QStringLiteral("10/12/2003 11:59 PM")).toDouble());
    EXPECT_GT(day(QStringLiteral("1/2/2004")).toDouble(), oct12);
    EXPECT_TRUE(day(QStringLiteral("someday")).isNull());
    EXPECT_TRUE(day(QStringLiteral("13/13/2003")).isNull());
}

TEST_F(DbTest, AggregatesAreNotUpdatable)
{
    run(QStringLiteral("CREATE TABLE T (A INTEGER, B INTEGER)"));
    run(QStringLiteral("INSERT INTO T VALUES (1, 2)"));
    run(QStringLiteral("INSERT INTO T VALUES (1, 3)"));
    for (const char* sql : {"SELECT Count(*) AS N FROM T", "SELECT Sum(B) AS S FROM T", "SELECT DISTINCT A FROM T"}) {
        auto rs = db->openRecordset(QString::fromLatin1(sql));
        EXPECT_EQ(errorNumber([&] { rs->edit(); }), 3027) << sql;
    }
    // Two columns of one name: the table name tells them apart.
    run(QStringLiteral("CREATE TABLE U (A INTEGER, C INTEGER)"));
    run(QStringLiteral("INSERT INTO U VALUES (1, 9)"));
    auto rs = db->openRecordset(QStringLiteral("SELECT T.A, U.A, U.C FROM T INNER JOIN U ON T.B = U.C - 7"));
    ASSERT_FALSE(rs->eof());
    EXPECT_EQ(rs->integer(QStringLiteral("u.a")), 1);
    EXPECT_EQ(rs->integer(QStringLiteral("[U].[C]")), 9);
}
