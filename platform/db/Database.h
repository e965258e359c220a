#pragma once
// A small DAO-like layer over SQLite. It accepts the Jet-dialect SQL the
// program is written in (Val, Mid$, cStr, CDate, DELETE *, SELECT ... INTO,
// saved queries with parameters used as tables, case-blind text) and hands
// back fully materialised recordsets, or forward-only ones on request.
// Translations and prepared statements are kept by their text until the
// schema or the saved queries may have changed.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "DbError.h"

struct sqlite3;

namespace dao {

class Recordset;
class QueryDef;

namespace jet {
struct Context;
struct Translation;
}

namespace detail {
struct Caches;
}

// How a recordset reads its rows (DAO's codes): a dynaset reads them all
// when it opens; a forward-only recordset reads each as the walk reaches
// it, for callers that only move forward and change nothing. (A QueryDef's
// parameter values hold only while it opens, so it opens dynasets.)
enum RecordsetType {
    dbOpenDynaset = 2,
    dbOpenForwardOnly = 8,
};

// DAO field type codes, derived from the declared column types.
enum FieldType {
    dbBoolean = 1,
    dbByte = 2,
    dbInteger = 3,   // 16-bit
    dbLong = 4,      // 32-bit (stored 64-bit here)
    dbCurrency = 5,
    dbSingle = 6,
    dbDouble = 7,
    dbDate = 8,
    dbBinary = 9,
    dbText = 10,
    dbLongBinary = 11,
    dbMemo = 12,
    dbGUID = 15,
};

// Attributes value DAO gives an automatic-number column.
constexpr int dbAutoNumberAttributes = 49;

// One column of a table definition (for CreateTable / AppendField).
struct FieldDef {
    QString name;
    int type = dbText;       // FieldType
    int size = 50;           // text width; ignored for numbers
    bool allowZeroLength = true;
    bool required = false;
    bool autoNumber = false;
};

struct IndexDef {
    QString name;            // shown name, e.g. "Penalties"
    QStringList fields;
    bool primary = false;
    bool unique = false;
};

struct TableDef {
    QString name;
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;
};

// Column description of an existing table.
struct ColumnInfo {
    QString name;
    QString declType;
    int type = dbText;
    int attributes = 0;
    bool notNull = false;
};

class Database {
public:
    // Opens an existing file read-write. Throws DbError: 3024 when the file
    // is missing, 3343 when it is not a database, 3051 when it can be read
    // but not written. Never creates or alters the file.
    static std::unique_ptr<Database> open(const QString& path);
    // Creates a new empty database file (used by the blank-database tool
    // and by tests). Throws when the file exists.
    static std::unique_ptr<Database> create(const QString& path);

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    QString path() const { return m_path; }

    // Runs a statement (Jet dialect). Throws DbError on failure.
    // Returns the number of rows changed.
    int execute(const QString& sql);
    // Runs a statement with positional values bound to '?' placeholders.
    int execute(const QString& sql, const QVariantList& values);

    // A bare table name gives a table recordset (rows in insertion order);
    // anything else is SQL and gives a dynaset.
    std::unique_ptr<Recordset> openRecordset(const QString& sqlOrTable);
    std::unique_ptr<Recordset> openRecordset(const QString& sql, const QVariantList& values);
    std::unique_ptr<Recordset> openRecordset(const QString& sql, const QVariantList& values, RecordsetType type);

    // Convenience: first column of the first row, or a null QVariant.
    QVariant scalar(const QString& sql);

    // Saved queries ---------------------------------------------------
    bool hasQueryDef(const QString& name) const;
    // Throws 3012 when a query of that name exists already.
    QueryDef createQueryDef(const QString& name, const QString& sql);
    // Throws 3265 when there is none.
    QueryDef queryDef(const QString& name);
    QStringList queryDefNames() const;          // in creation order
    void deleteQueryDef(const QString& name);   // throws 3265 when missing

    // Transactions (nest: inner levels are savepoints) ----------------
    // SQLite ends a whole transaction by itself after some errors (disk
    // full, I/O error). From then on every statement, begin and commit fails
    // with error 3004 until the caller rolls back each level it began: the
    // work after the error must not be committed on its own.
    void beginTrans();
    void commitTrans();
    void rollback();
    int transactionDepth() const { return m_transDepth; }

    // Table definitions ------------------------------------------------
    bool hasTable(const QString& name) const;
    QStringList tableNames() const;              // user tables only
    std::vector<ColumnInfo> columns(const QString& table) const;
    QStringList columnNames(const QString& table) const;
    void createTable(const TableDef& def);
    void appendField(const QString& table, const FieldDef& field);   // added last
    void deleteField(const QString& table, const QString& field);
    void setFieldFlags(const QString& table, const QString& field, bool allowZeroLength, bool required);
    // Rebuilds a table so its columns stand in the given order (every
    // existing column must be named once); rows, keys and triggers kept.
    void reorderColumns(const QString& table, const QStringList& order);
    std::vector<IndexDef> indexes(const QString& table) const;

    // Next automatic number a plain insert into the table would get.
    qint64 nextAutoNumber(const QString& table);
    qint64 lastInsertId() const;

    // Parameter values read by saved queries while a recordset opens.
    // Normally set through QueryDef; exposed for tests and tools.
    void setParameters(const QHash<QString, QVariant>& params);
    void clearParameters();

    // Scratch tables take texts of any length: they are filled with copies
    // of stored rows, which an older version may have written wider than
    // their columns. Every other table holds a text to its column's width.
    void setScratchTables(const QStringList& tables);

    // Translation of a Jet statement to SQLite (for tests and errors).
    QString translate(const QString& jetSql);

    sqlite3* handle() const { return m_db; }

private:
    explicit Database(sqlite3* db, QString path);
    friend class Recordset;
    friend class QueryDef;
    friend struct DatabaseAccess;
    friend struct SqlFunctionAccess;

    jet::Context translationContext();
    // Translates and runs body; names SQLite reports as unknown columns are
    // fed back to the translation (aliases, parameters) and it runs again.
    void withTranslation(const QString& jetSql, const std::function<void(const jet::Translation&)>& body);
    int runStatements(const QStringList& statements, const QVariantList& values);
    // Throws 3004 when SQLite has ended the transaction the layer counts open.
    void checkTransaction() const;
    static QString normaliseParameterName(const QString& name);
    bool isScratchTable(const QString& table) const;
    QString canonicalTable(const QString& name) const;   // stored spelling, empty when none
    std::unique_ptr<Recordset> openTable(const QString& table);
    std::unique_ptr<Recordset> openDynaset(const QString& sql, const QVariantList& values, RecordsetType type = dbOpenDynaset);
    // The stored name and SQL of a saved query, nothing when there is none.
    std::optional<std::pair<QString, QVariant>> findQueryDef(const QString& name) const;
    // Drops what the layer keeps between statements (translations,
    // prepared statements, table and query names): the schema or the saved
    // queries may have changed.
    void schemaChanged();
    // Rebuilds a table from an edited list of its column definitions.
    struct ColumnDefText {
        QString name;
        QString definition;   // as written in CREATE TABLE
        QString copyFrom;     // expression over the old table; empty: not copied
    };
    void rebuildTable(const QString& table,
                      const std::function<void(std::vector<ColumnDefText>&, QStringList& constraints)>& change,
                      const QStringList& droppedColumns = {});

    sqlite3* m_db = nullptr;
    QString m_path;
    int m_transDepth = 0;
    QHash<QString, QVariant> m_params;   // keys lower-case
    QSet<QString> m_scratchTables;       // case-folded
    std::unique_ptr<detail::Caches> m_caches;
    quint64 m_schemaGeneration = 0;      // counts schemaChanged()
};

// Begins a transaction and rolls it back when it goes out of scope without
// commit(): several changes stand or fall together even when one throws.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();
    void rollback();

private:
    Database& m_db;
    bool m_done = false;
};

// Text quoting for SQL built by concatenation: O'Brien -> 'O''Brien'.
QString quote(const QString& text);
// The inside of a quoted literal without the surrounding quotes: O''Brien.
QString escape(const QString& text);

} // namespace dao
