#include "Database.h"
#include "DbModule.h"
#include "Options.h"
#include "QueryDef.h"
#include "Recordset.h"
#include "State.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sqlite3.h>

using testsupport::MsgRecorder;
using testsupport::ScratchProgram;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The statements of the blank database's script, triggers kept whole.
QStringList schemaStatements()
{
    const QString script = QString::fromUtf8(readAll(QStringLiteral(TARVIK_SOURCE_DIR "/runtime/data/schema.sql")));
    QStringList statements;
    QString current;
    for (const QString& line : script.split(QLatin1Char('\n'))) {
        if (current.isEmpty() && (line.trimmed().isEmpty() || line.startsWith(QLatin1String("--"))))
            continue;
        current += line + QLatin1Char('\n');
        const QString t = line.trimmed();
        const bool trigger = current.startsWith(QLatin1String("CREATE TRIGGER"));
        if ((trigger && t == QLatin1String("END;")) || (!trigger && t.endsWith(QLatin1Char(';')))) {
            statements.append(current);
            current.clear();
        }
    }
    return statements;
}

bool startsWithAny(const QString& statement, std::initializer_list<const char*> prefixes)
{
    for (const char* p : prefixes)
        if (statement.startsWith(QLatin1String(p)))
            return true;
    return false;
}

const char* const kOldOptions =
    "CREATE TABLE Options (\"Key\" VARCHAR(50) COLLATE NOCASE UNIQUE, BC VARCHAR(50) COLLATE NOCASE, TC INTEGER,"
    " TFC VARCHAR(50) COLLATE NOCASE, BFC INTEGER, BB INTEGER, TFN VARCHAR(50), TFS SMALLINT, BFN VARCHAR(50), BFS SMALLINT,"
    " Lines BOOLEAN, Rookie1 CURRENCY DEFAULT 0, Rookie2 CURRENCY DEFAULT 0, Rookie3 CURRENCY DEFAULT 0,"
    " Challenge CURRENCY DEFAULT 0, Headache CURRENCY DEFAULT 0, Pole CURRENCY DEFAULT 0, Underdog CURRENCY DEFAULT 0,"
    " Hard CURRENCY DEFAULT 0);\n";
const char* const kOldDivision =
    "CREATE TABLE Division (ID VARCHAR(5) COLLATE NOCASE PRIMARY KEY, Name VARCHAR(50) COLLATE NOCASE, RecordID INTEGER,"
    " Numbers BOOLEAN, Brands BOOLEAN, Teams BOOLEAN, Roty BOOLEAN, Earnings BOOLEAN, NonPoints BOOLEAN,"
    " PointsID VARCHAR(50) COLLATE NOCASE, otherpts BOOLEAN, \"Drop\" SMALLINT);\n";

// A league database as the program before 2.2 left it: one back colour,
// yes/no team and point flags, no ScoreDrop and no Penalties.
QString oldLayoutScript()
{
    QString sql;
    for (const QString& s : schemaStatements()) {
        if (startsWithAny(s, {"CREATE TABLE ScoreDrop", "CREATE INDEX ScoreDrop", "CREATE TABLE Penalties", "INSERT INTO Options"}))
            continue;
        if (s.startsWith(QLatin1String("CREATE TABLE Options")))
            sql += QLatin1String(kOldOptions);
        else if (s.startsWith(QLatin1String("CREATE TABLE Division")))
            sql += QLatin1String(kOldDivision);
        else
            sql += s;
    }
    return sql + QStringLiteral(
               "INSERT INTO Options (\"Key\", BC, TC, TFC, BFC, BB, TFN, TFS, BFN, BFS, Lines) "
               "VALUES ('1', '65280', 8388608, '16777215', 0, 16777215, 'Arial', 10, 'Arial', 10, 0);\n"
               "INSERT INTO Options (\"Key\", TFC, Lines) VALUES ('3', 'htm', 1);\n");
}

// The current layout without Penalties, at the given version.
QString layout22Script(const QString& version, bool withPenalties)
{
    QString sql;
    for (const QString& s : schemaStatements())
        if (withPenalties || !s.startsWith(QLatin1String("CREATE TABLE Penalties")))
            sql += s;
    return sql + QStringLiteral("UPDATE Options SET TFC = '%1' WHERE \"Key\" = '2';\n").arg(version);
}

void makeDatabase(const QString& path, const QString& script, int savedQueries = 0)
{
    auto db = dao::Database::create(path);
    char* err = nullptr;
    const int rc = sqlite3_exec(db->handle(), script.toUtf8().constData(), nullptr, nullptr, &err);
    ASSERT_EQ(rc, SQLITE_OK) << (err ? err : "");
    for (int i = 0; i < savedQueries; ++i)
        db->createQueryDef(QStringLiteral("Saved%1").arg(i), QStringLiteral("SELECT * FROM Drivers WHERE DriverID > %1").arg(i));
}

// Every object's definition and every table's rows, read without the layer.
QString dump(const QString& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return QStringLiteral("<cannot open>");
    }
    QString out;
    QStringList tables;
    auto run = [&](const QString& sql, bool collectTables) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            out += QStringLiteral("<error %1>\n").arg(QString::fromUtf8(sqlite3_errmsg(db)));
            return;
        }
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList cells;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                const auto* text = sqlite3_column_text(st, i);
                cells.append(text ? QString::fromUtf8(reinterpret_cast<const char*>(text)) : QStringLiteral("<null>"));
            }
            if (collectTables && cells[0] == QLatin1String("table") && !cells[1].startsWith(QLatin1String("sqlite_")))
                tables.append(cells[1]);
            out += cells.join(QLatin1Char('|')) + QLatin1Char('\n');
        }
        sqlite3_finalize(st);
    };
    run(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY type, name"), true);
    for (const QString& t : tables)
        run(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(t), false);
    sqlite3_close(db);
    return out;
}

class OpenAndConvert : public ::testing::Test {
protected:
    void SetUp() override { ResetSharedState(); }
    void TearDown() override
    {
        CloseDB();
        ResetSharedState();
    }
    // A program folder whose league file is made by the test.
    void prepare(const QString& script, int savedQueries = 0)
    {
        program = std::make_unique<ScratchProgram>();
        dbFile = program->file(QStringLiteral("Tarvik.MDB"));
        makeDatabase(dbFile, script, savedQueries);
    }
    QString scalar(const QString& sql) { return dbMain->scalar(sql).toString(); }

    std::unique_ptr<ScratchProgram> program;
    MsgRecorder msgs;
    QString dbFile;
};

const QStringList kDivisionColumns{QStringLiteral("ID"),          QStringLiteral("Name"),        QStringLiteral("RecordID"),
                                   QStringLiteral("Numbers"),     QStringLiteral("Brands"),      QStringLiteral("Teams"),
                                   QStringLiteral("Roty"),        QStringLiteral("Earnings"),    QStringLiteral("EarningsFile"),
                                   QStringLiteral("NonPoints"),   QStringLiteral("PointsID"),    QStringLiteral("PointSystem"),
                                   QStringLiteral("PointSystemFile"), QStringLiteral("Drop")};

} // namespace

TEST_F(OpenAndConvert, FirstStartCopiesTheBlankDatabaseWhateverTheCurrentFolder)
{
    program = std::make_unique<ScratchProgram>();
    QTemporaryDir elsewhere;
    const QString before = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    const bool opened = OpenDB();
    QDir::setCurrent(before);
    ASSERT_TRUE(opened) << msgs.last().toStdString();
    EXPECT_TRUE(msgs.calls().empty());
    EXPECT_EQ(sDBPath, program->file(QStringLiteral("Tarvik.MDB")));
    EXPECT_TRUE(QFile::exists(sDBPath));
    EXPECT_FALSE(QFile::exists(elsewhere.filePath(QStringLiteral("Tarvik.MDB"))));
    EXPECT_EQ(scalar(QStringLiteral("SELECT TFC FROM Options WHERE Key = '2'")), QStringLiteral("2.3"));
    LoadOptions();
    EXPECT_TRUE(msgs.calls().empty());
}

TEST_F(OpenAndConvert, FirstStartWithoutBlankDatabaseIsReportedOnce)
{
    program = std::make_unique<ScratchProgram>(false);
    EXPECT_FALSE(OpenDB());
    ASSERT_EQ(msgs.calls().size(), 1u);
    EXPECT_TRUE(msgs.last().startsWith(QStringLiteral("Error Initializing Database: 53 (")));
    EXPECT_TRUE(msgs.calls()[0].flags & dlg::vbCritical);
    EXPECT_EQ(dbMain, nullptr);
    EXPECT_FALSE(QFile::exists(program->file(QStringLiteral("Tarvik.MDB"))));
}

TEST_F(OpenAndConvert, FirstStartOnAFullDiskNamesTheReasonAndTheFile)
{
    program = std::make_unique<ScratchProgram>();
    const std::string before = program->fileList();
    const std::string told = testsupport::WithFileSizeLimit(4096, [&] {
        const bool opened = OpenDB();
        return (opened ? "opened\n" : "") + msgs.last().toStdString();
    });
    EXPECT_EQ(told, "Error Initializing Database: 75 (File too large: " + program->file(QStringLiteral("Tarvik.MDB")).toStdString() + ")");
    EXPECT_EQ(program->fileList(), before);
}

TEST_F(OpenAndConvert, DamagedFileIsAnOpenErrorAndStaysAsItWas)
{
    program = std::make_unique<ScratchProgram>();
    QByteArray garbage;
    for (int i = 0; i < 200; ++i)
        garbage += "this is not a league database\n";
    const QString file = program->writeFile(QStringLiteral("Tarvik.MDB"), garbage);
    EXPECT_FALSE(OpenDB());
    ASSERT_EQ(msgs.calls().size(), 1u);
    EXPECT_TRUE(msgs.last().startsWith(QStringLiteral("Error Opening Database: "))) << msgs.last().toStdString();
    EXPECT_EQ(dbMain, nullptr);
    EXPECT_EQ(readAll(file), garbage);
}

TEST_F(OpenAndConvert, CurrentVersionIsLeftAlone)
{
    prepare(layout22Script(QStringLiteral("2.3"), true), 3);
    const QString before = dump(dbFile);
    ASSERT_TRUE(OpenDB()) << msgs.last().toStdString();
    EXPECT_TRUE(msgs.calls().empty());
    EXPECT_EQ(dbMain->queryDefNames().size(), 3);
    CloseDB();
    EXPECT_EQ(dump(dbFile), before);
}

TEST_F(OpenAndConvert, Version221GainsPenaltiesAndLosesAnyNumberOfSavedQueries)
{
    prepare(layout22Script(QStringLiteral("2.2.1"), false), 60);
    ASSERT_TRUE(OpenDB()) << msgs.last().toStdString();
    EXPECT_TRUE(msgs.calls().empty());
    EXPECT_TRUE(dbMain->queryDefNames().isEmpty());
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Options WHERE Key = '2'")), QStringLiteral("1"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT TFC FROM Options WHERE Key = '2'")), QStringLiteral("2.3"));
    EXPECT_EQ(dbMain->columnNames(QStringLiteral("Penalties")),
              (QStringList{QStringLiteral("Division"), QStringLiteral("RaceID"), QStringLiteral("Posi"), QStringLiteral("Points"),
                           QStringLiteral("Comment")}));
    bool found = false;
    for (const dao::IndexDef& index : dbMain->indexes(QStringLiteral("Penalties"))) {
        if (index.name != QLatin1String("Penalties"))
            continue;
        found = true;
        EXPECT_TRUE(index.primary);
        EXPECT_TRUE(index.unique);
        EXPECT_EQ(index.fields, (QStringList{QStringLiteral("Division"), QStringLiteral("RaceID"), QStringLiteral("Posi")}));
    }
    EXPECT_TRUE(found);
    dbMain->execute(QStringLiteral("INSERT INTO Penalties VALUES ('A', 1, 2, -5, 'x')"));
    EXPECT_THROW(dbMain->execute(QStringLiteral("INSERT INTO Penalties VALUES ('a', 1, 2, -7, 'y')")), dao::DbError);
    EXPECT_EQ(dbMain->columnNames(QStringLiteral("Division")), kDivisionColumns);
    EXPECT_TRUE(dbMain->columnNames(QStringLiteral("Options")).contains(QStringLiteral("BC1")));
    EXPECT_FALSE(dbMain->hasTable(QStringLiteral("DivisionOld")));

    // The next start finds nothing to do.
    CloseDB();
    msgs.clear();
    ASSERT_TRUE(OpenDB());
    EXPECT_TRUE(msgs.calls().empty());
}

// The full upgrade, for the versions it applies to, with and without divisions.
struct OldLayoutCase {
    const char* name;
    const char* versionRow;   // nullptr: no row "2"
    bool divisions;
};

class FullUpgrade : public OpenAndConvert, public ::testing::WithParamInterface<OldLayoutCase> {};

TEST_P(FullUpgrade, BringsTheOldLayoutToTheCurrentOne)
{
    const OldLayoutCase c = GetParam();
    QString script = oldLayoutScript();
    if (c.versionRow)
        script += QStringLiteral("INSERT INTO Options (\"Key\", TFC) VALUES ('2', '%1');\n").arg(QLatin1String(c.versionRow));
    if (c.divisions) {
        script += QStringLiteral(
            "INSERT INTO Division VALUES ('A', 'Alpha', 0, 1, 1, 1, 0, 1, 0, '', 0, 2);\n"
            "INSERT INTO Division VALUES ('B''Q', 'Beta', 0, 0, 0, 0, 1, 0, 0, '', -1, 0);\n"
            "INSERT INTO Division (ID, Name) VALUES ('C', 'Gamma');\n"
            "INSERT INTO Races (Division, RaceNo) VALUES ('A', '1');\n"
            "INSERT INTO Races (Division, RaceNo) VALUES ('B''Q', '1');\n"
            "INSERT INTO Score (Division, RaceID, Posi, DriverID, Points) VALUES ('A', 1, 1, 1, 175);\n"
            "INSERT INTO Score (Division, RaceID, Posi, DriverID, Points) VALUES ('B''Q', 2, 1, 1, 180);\n");
    }
    prepare(script, 2);
    ASSERT_TRUE(OpenDB()) << msgs.last().toStdString();
    EXPECT_TRUE(msgs.calls().empty());

    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Options WHERE Key = '2'")), QStringLiteral("1"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT TFC FROM Options WHERE Key = '2'")), QStringLiteral("2.3"));
    EXPECT_TRUE(dbMain->queryDefNames().isEmpty());

    const QStringList options = dbMain->columnNames(QStringLiteral("Options"));
    EXPECT_FALSE(options.contains(QStringLiteral("BC"), Qt::CaseInsensitive));
    EXPECT_EQ(scalar(QStringLiteral("SELECT BC1 FROM Options WHERE Key = '1'")), QStringLiteral("65280"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT BC2 FROM Options WHERE Key = '1'")), QStringLiteral("65280"));

    EXPECT_EQ(dbMain->columnNames(QStringLiteral("ScoreDrop")), dbMain->columnNames(QStringLiteral("Score")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM ScoreDrop")), QStringLiteral("0"));
    EXPECT_TRUE(dbMain->hasTable(QStringLiteral("Penalties")));
    EXPECT_EQ(dbMain->columnNames(QStringLiteral("Division")), kDivisionColumns);

    const QString divisions = c.divisions ? QStringLiteral("3") : QStringLiteral("0");
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM DivisionOld")), divisions);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Division")), divisions);
    if (c.divisions) {
        EXPECT_EQ(scalar(QStringLiteral("SELECT Teams FROM Division WHERE ID = 'A'")), QStringLiteral("1"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT PointSystem FROM Division WHERE ID = 'A'")), QStringLiteral("1"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT Teams FROM Division WHERE ID = 'B''Q'")), QStringLiteral("0"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT PointSystem FROM Division WHERE ID = 'B''Q'")), QStringLiteral("3"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT Teams FROM Division WHERE ID = 'C'")), QStringLiteral("0"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT PointSystem FROM Division WHERE ID = 'C'")), QStringLiteral("1"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT \"Drop\" FROM Division WHERE ID = 'A'")), QStringLiteral("2"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Division WHERE ID = 'B''Q'")), QStringLiteral("Beta"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT otherpts FROM DivisionOld WHERE ID = 'B''Q'")), QStringLiteral("-1"));
        // The required file-name columns hold empty texts, so later updates of these rows work.
        EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Division WHERE EarningsFile IS NULL OR PointSystemFile IS NULL")),
                  QStringLiteral("0"));
        dbMain->execute(QStringLiteral("UPDATE Division SET Name = 'Beta 2' WHERE ID = 'B''Q'"));
        // Deleting a division still takes its races and results with it.
        dbMain->execute(QStringLiteral("DELETE FROM Division WHERE ID = 'A'"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Races")), QStringLiteral("1"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Score")), QStringLiteral("1"));
    }
    // The division editor's insert without a column list fits the new order.
    dbMain->execute(QStringLiteral("INSERT INTO Division VALUES ('N', 'New', 0, 1, 0, 2, 0, 1, '', 0, '', 8, '', 1)"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT PointSystem FROM Division WHERE ID = 'N'")), QStringLiteral("8"));

    LoadOptions();
    EXPECT_TRUE(msgs.calls().empty());
    EXPECT_EQ(dBC2, 65280);

    CloseDB();
    ASSERT_TRUE(OpenDB());
    EXPECT_TRUE(msgs.calls().empty());
}

INSTANTIATE_TEST_SUITE_P(OldVersions, FullUpgrade,
                         ::testing::Values(OldLayoutCase{"NoVersionRow", nullptr, true}, OldLayoutCase{"NoVersionRowNoDivisions", nullptr, false},
                                           OldLayoutCase{"EmptyVersion", "", true}, OldLayoutCase{"V21", "2.1", true},
                                           OldLayoutCase{"V21NoDivisions", "2.1", false}, OldLayoutCase{"V24", "2.4", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OpenAndConvert, FailureMidwayLeavesTheOldLayoutUntouched)
{
    // Everything of the upgrade succeeds but the last table, which exists.
    prepare(oldLayoutScript()
                + QStringLiteral("CREATE TABLE Penalties (Division VARCHAR(5), RaceID INTEGER);\n"
                                 "INSERT INTO Division VALUES ('A', 'Alpha', 0, 1, 1, 1, 0, 1, 0, '', 0, 2);\n"),
            2);
    const QByteArray bytes = readAll(dbFile);
    const QString before = dump(dbFile);
    EXPECT_FALSE(OpenDB());
    ASSERT_EQ(msgs.calls().size(), 1u);
    EXPECT_TRUE(msgs.last().startsWith(QStringLiteral("Conversion Error: "))) << msgs.last().toStdString();
    EXPECT_TRUE(msgs.last().contains(QStringLiteral(" - ")));
    EXPECT_TRUE(msgs.calls()[0].flags & dlg::vbCritical);
    EXPECT_EQ(dbMain, nullptr);
    EXPECT_EQ(dump(dbFile), before);
    EXPECT_EQ(readAll(dbFile), bytes);

    // And the next start meets the same old layout and the same message.
    msgs.clear();
    EXPECT_FALSE(OpenDB());
    EXPECT_TRUE(msgs.last().startsWith(QStringLiteral("Conversion Error: ")));
    EXPECT_EQ(dump(dbFile), before);
}

TEST_F(OpenAndConvert, Version22WithPenaltiesAlreadyThereKeepsItsSavedQueries)
{
    prepare(layout22Script(QStringLiteral("2.2"), true), 4);
    const QString before = dump(dbFile);
    EXPECT_FALSE(OpenDB());
    EXPECT_TRUE(msgs.last().startsWith(QStringLiteral("Conversion Error: "))) << msgs.last().toStdString();
    EXPECT_EQ(dump(dbFile), before);
    auto db = dao::Database::open(dbFile);
    EXPECT_EQ(db->queryDefNames().size(), 4);
}

TEST_F(OpenAndConvert, LeagueOfAnEarlierVersionGetsTheLookupIndexesAndKeepsItsRows)
{
    // The blank database as earlier versions had it: fewer index columns, one
    // index missing.
    QString script = QString::fromUtf8(readAll(QStringLiteral(TARVIK_SOURCE_DIR "/runtime/data/schema.sql")));
    script.replace(QStringLiteral("ON Score(DriverID, RaceID)"), QStringLiteral("ON Score(DriverID)"));
    script.replace(QStringLiteral("ON Qualify(RaceID, DriverID)"), QStringLiteral("ON Qualify(RaceID)"));
    script.replace(QStringLiteral("CREATE INDEX ScoreDrop_Race ON ScoreDrop(RaceID);"), QString());
    script += QStringLiteral("INSERT INTO Qualify (RaceID, Pos, DriverID, \"Time\", Speed) VALUES (7, 1, 3, '20.5', '150.1');");
    prepare(script);
    ASSERT_TRUE(OpenDB()) << msgs.last().toStdString();
    EXPECT_TRUE(msgs.calls().empty());
    auto fields = [](const QString& table, const char* name) {
        for (const dao::IndexDef& idx : dbMain->indexes(table))
            if (QLatin1String(name) == table + QLatin1Char('_') + idx.name)
                return idx.fields.join(QLatin1Char(','));
        return QStringLiteral("<none>");
    };
    EXPECT_EQ(fields(QStringLiteral("Score"), "Score_Driver"), QStringLiteral("DriverID,RaceID"));
    EXPECT_EQ(fields(QStringLiteral("Qualify"), "Qualify_Race"), QStringLiteral("RaceID,DriverID"));
    EXPECT_EQ(fields(QStringLiteral("ScoreDrop"), "ScoreDrop_Race"), QStringLiteral("RaceID"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Speed FROM Qualify WHERE RaceID = 7")), QStringLiteral("150.1"));

    // Once they are there, opening changes nothing.
    CloseDB();
    const QString before = dump(dbFile);
    ASSERT_TRUE(OpenDB());
    CloseDB();
    EXPECT_EQ(dump(dbFile), before);
}
