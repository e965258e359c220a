#include "DbModule.h"

#include "Database.h"
#include "Dialogs.h"
#include "QueryDef.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

std::unique_ptr<dao::Database> g_db;

void showError(const QString& prefix, int number, const QString& description)
{
    dlg::MsgBox(prefix + QString::number(number) + QStringLiteral(" (") + description + QLatin1Char(')'), dlg::vbCritical);
}

// Opens sDBPath into dbMain and converts it. A missing file is created from
// the blank database once; a second miss is an open error, not a new copy.
bool openDatabase(bool mayCreate)
{
    try {
        g_db = dao::Database::open(sDBPath);
    } catch (const dao::DbError& e) {
        if (e.number() == 3024 && mayCreate)
            return InitDB();
        showError(QStringLiteral("Error Opening Database: "), e.number(), e.description());
        return false;
    }
    dbMain = g_db.get();
    // The standings copy stored rows into these; an older version let texts
    // wider than their columns into the results, and they are copied as
    // they are.
    dbMain->setScratchTables({QStringLiteral("TempTeams"), QStringLiteral("ScoreDrop")});
    if (!ConvertDB(QString::fromLatin1(kSchemaVersion))) {
        CloseDB();
        return false;
    }
    UpdateIndexes(*dbMain);
    return true;
}

} // namespace

bool OpenDB()
{
    sDBPath = rt::AppPath() + QStringLiteral("/Tarvik.MDB");
    return openDatabase(true);
}

bool InitDB()
{
    const QString blank = rt::AppFile(QStringLiteral("data/blank.mdb"));
    if (!QFileInfo::exists(blank)) {
        showError(QStringLiteral("Error Initializing Database: "), 53, QStringLiteral("File not found: ") + blank);
        return false;
    }
    // Copied whole or not at all, as pages are written: a failure (a full
    // disk) names the reason and the file and leaves no part of a league
    // file behind. The copy is the user's to write, however the blank
    // database is installed.
    QFile source(blank);
    const bool opened = source.open(QIODevice::ReadOnly);
    const QByteArray bytes = opened ? source.readAll() : QByteArray();
    QString error;
    if (!opened || source.error() != QFileDevice::NoError)
        error = source.errorString() + QStringLiteral(": ") + blank;
    else if (rt::WriteFileAtomic(sDBPath, bytes, &error))
        return openDatabase(false);
    showError(QStringLiteral("Error Initializing Database: "), 75, error);
    return false;
}

void CloseDB()
{
    rsTemp.reset();
    dbMain = nullptr;
    g_db.reset();
}

namespace {

// Division's columns in the order that inserts without a column list need;
// columns of an older layout that are not listed stay at the end.
const char* const kDivisionOrder[] = {"ID",       "Name",         "RecordID",    "Numbers",     "Brands",
                                      "Teams",    "Roty",         "Earnings",    "EarningsFile", "NonPoints",
                                      "PointsID", "PointSystem", "PointSystemFile", "Drop"};

dao::FieldDef textField(const char* name, int size)
{
    dao::FieldDef f;
    f.name = QLatin1String(name);
    f.type = dao::dbText;
    f.size = size;
    return f;
}

dao::FieldDef numberField(const char* name, int type)
{
    dao::FieldDef f;
    f.name = QLatin1String(name);
    f.type = type;
    return f;
}

void createPenalties(dao::Database& db)
{
    dao::TableDef def;
    def.name = QStringLiteral("Penalties");
    def.fields.push_back(textField("Division", 5));
    def.fields.push_back(numberField("RaceID", dao::dbLong));
    def.fields.push_back(numberField("Posi", dao::dbLong));
    def.fields.push_back(numberField("Points", dao::dbLong));
    def.fields.push_back(textField("Comment", 100));
    dao::IndexDef index;
    index.name = QStringLiteral("Penalties");
    index.fields = {QStringLiteral("Division"), QStringLiteral("RaceID"), QStringLiteral("Posi")};
    index.primary = true;
    index.unique = true;
    def.indexes.push_back(index);
    db.createTable(def);
}

void putDivisionColumnsInOrder(dao::Database& db)
{
    QStringList existing = db.columnNames(QStringLiteral("Division"));
    QStringList order;
    for (const char* name : kDivisionOrder) {
        for (int i = 0; i < existing.size(); ++i) {
            if (existing[i].compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
                order.append(existing.takeAt(i));
                break;
            }
        }
    }
    order.append(existing);
    if (order != db.columnNames(QStringLiteral("Division")))
        db.reorderColumns(QStringLiteral("Division"), order);
}

// The layout before 2.2: one page back colour, no ScoreDrop, yes/no team
// and point-system flags in Division.
void upgradeOldLayout(dao::Database& db)
{
    QString oldColour;
    {
        auto options = db.openRecordset(QStringLiteral("Options"));
        if (!options->eof())
            oldColour = options->text(QStringLiteral("BC"));
    }
    db.appendField(QStringLiteral("Options"), textField("BC1", 50));
    db.appendField(QStringLiteral("Options"), textField("BC2", 50));
    db.deleteField(QStringLiteral("Options"), QStringLiteral("BC"));
    sSQL = QStringLiteral("UPDATE Options ") + QStringLiteral("SET BC1 = ") + dao::quote(oldColour) + QStringLiteral(", ")
        + QStringLiteral("BC2 = ") + dao::quote(oldColour) + QStringLiteral(" ") + QStringLiteral("WHERE Key = '1'");
    db.execute(sSQL);

    db.execute(QStringLiteral("SELECT * INTO ScoreDrop FROM Score"));
    db.execute(QStringLiteral("DELETE * FROM ScoreDrop"));
    db.execute(QStringLiteral("SELECT * INTO DivisionOld FROM Division"));

    const QString division = QStringLiteral("Division");
    db.deleteField(division, QStringLiteral("Teams"));
    db.appendField(division, numberField("Teams", dao::dbInteger));
    db.appendField(division, textField("EarningsFile", 50));
    db.setFieldFlags(division, QStringLiteral("EarningsFile"), true, true);
    db.deleteField(division, QStringLiteral("otherpts"));
    db.appendField(division, numberField("PointSystem", dao::dbInteger));
    db.appendField(division, textField("PointSystemFile", 50));
    db.setFieldFlags(division, QStringLiteral("PointSystemFile"), true, true);

    // An empty Division table simply has no rows to carry over.
    for (auto old = db.openRecordset(QStringLiteral("DivisionOld")); !old->eof(); old->moveNext()) {
        sSQL = QStringLiteral("UPDATE Division SET Teams = ") + (old->flag(QStringLiteral("Teams")) ? QStringLiteral("1 ") : QStringLiteral("0 "))
            + QStringLiteral(", PointSystem = ") + (old->flag(QStringLiteral("Otherpts")) ? QStringLiteral("3 ") : QStringLiteral("1 "))
            + QStringLiteral("WHERE ID = ") + dao::quote(old->text(QStringLiteral("ID")));
        db.execute(sSQL);
    }
    putDivisionColumnsInOrder(db);
    createPenalties(db);
}

} // namespace

void UpdateIndexes(dao::Database& db)
{
    // The indexes the standings, statistics and schedule read through, as
    // the blank database has them; an older league file may lack some or
    // hold them on fewer columns, and its pages would then take time that
    // grows with the square of the season.
    struct Wanted {
        const char* name = nullptr;
        const char* table = nullptr;
        QStringList fields;
    };
    const Wanted wanted[] = {
        {"Score_Driver", "Score", {QStringLiteral("DriverID"), QStringLiteral("RaceID")}},
        {"ScoreDrop_Race", "ScoreDrop", {QStringLiteral("RaceID")}},
        {"Qualify_Race", "Qualify", {QStringLiteral("RaceID"), QStringLiteral("DriverID")}},
    };
    try {
        dao::Transaction trans(db);
        for (const Wanted& w : wanted) {
            const QString table = QString::fromLatin1(w.table);
            const QString name = QString::fromLatin1(w.name);
            if (!db.hasTable(table))
                continue;
            // The layer shows an index without its table's prefix.
            const QString shown = name.mid(table.size() + 1);
            bool present = false, stale = false;
            for (const dao::IndexDef& idx : db.indexes(table)) {
                if (idx.name.compare(shown, Qt::CaseInsensitive) != 0)
                    continue;
                present = true;
                stale = idx.fields.join(QLatin1Char(',')).compare(w.fields.join(QLatin1Char(',')), Qt::CaseInsensitive) != 0;
            }
            if (present && !stale)
                continue;
            if (stale)
                db.execute(QStringLiteral("DROP INDEX ") + name);
            db.execute(QStringLiteral("CREATE INDEX ") + name + QStringLiteral(" ON ") + table + QStringLiteral(" (")
                       + w.fields.join(QStringLiteral(", ")) + QLatin1Char(')'));
        }
        trans.commit();
    } catch (const dao::DbError&) {
        // Only speed is at stake: the league works as it is, so the work goes
        // on without them (the transaction left the file as it was).
    }
}

bool ConvertDB(const QString& sVersion)
{
    dao::Database& db = *dbMain;
    std::optional<dao::Transaction> transaction;
    int number = 0;
    QString description;
    try {
        rsTemp = db.openRecordset(QStringLiteral("SELECT * FROM Options WHERE Key = '2'"));
        const bool haveVersionRow = !rsTemp->eof();
        const QString stored = haveVersionRow ? rsTemp->text(QStringLiteral("TFC")) : QString();
        rsTemp.reset();
        if (stored == sVersion)
            return true;

        // All or nothing: a failure leaves the file as it was.
        transaction.emplace(db);
        for (const QString& name : db.queryDefNames())
            db.deleteQueryDef(name);
        if (stored == QLatin1String("2.2") || stored == QLatin1String("2.2.1") || stored == QLatin1String("2.2.2"))
            createPenalties(db);
        else
            upgradeOldLayout(db);
        const QString version = QString::fromLatin1(kSchemaVersion);
        if (haveVersionRow)
            sSQL = QStringLiteral("UPDATE Options SET TFC = ") + dao::quote(version) + QStringLiteral(" WHERE Key = '2'");
        else
            sSQL = QStringLiteral("INSERT INTO Options (Key, TFC) VALUES ('2', ") + dao::quote(version) + QStringLiteral(")");
        db.execute(sSQL);
        transaction->commit();
        return true;
    } catch (const dao::DbError& e) {
        number = e.number();
        description = e.description();
    } catch (const std::exception& e) {
        description = QString::fromLocal8Bit(e.what());
    }
    rsTemp.reset();
    transaction.reset();   // rolls back; the original error is the one worth showing
    dlg::MsgBox(QStringLiteral("Conversion Error: ") + QString::number(number) + QStringLiteral(" - ") + description, dlg::vbCritical);
    return false;
}
