#pragma once
// Helpers shared by the database layer's sources; not part of its API.

#include "DbError.h"
#include "JetSql.h"
#include "StatementCache.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <sqlite3.h>

#include <optional>
#include <utility>

namespace dao {

class Database;

// Private state the SQL functions and the other sources of the layer reach.
struct DatabaseAccess {
    static const QHash<QString, QVariant>& params(const Database* db);
    static void schemaChanged(Database& db);
};

// Whatever a schema change did, the layer's caches follow it when this goes.
struct SchemaChange {
    Database& db;
    ~SchemaChange() { DatabaseAccess::schemaChanged(db); }
};

} // namespace dao

namespace dao::detail {

// What the layer keeps from one statement to the next. All of it follows
// from the schema and the saved queries alone, so the Database drops it
// whenever either may have changed.
struct Caches {
    explicit Caches(sqlite3* db) : statements(db) {}
    StatementCache statements;
    QHash<QString, jet::Translation> translations;   // by the Jet text
    QSet<QString> plainSelects;                      // row-keyed forms that cannot be prepared
    QHash<QString, QString> tables;                  // lower-case name -> stored spelling, "" for none
    // lower-case table name -> its column names and their text widths (0 none)
    QHash<QString, std::pair<QStringList, QList<int>>> shapes;
    // lower-case name -> stored name and SQL, nothing for no such query
    QHash<QString, std::optional<std::pair<QString, QVariant>>> queries;
};

// A prepared statement that is always finalised.
class Stmt {
public:
    Stmt() = default;
    // Prepares the first statement of sql; throws DbError on failure.
    Stmt(sqlite3* db, const QString& sql);
    ~Stmt() { sqlite3_finalize(m_stmt); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    Stmt(Stmt&& o) noexcept : m_stmt(o.m_stmt), m_db(o.m_db) { o.m_stmt = nullptr; }

    sqlite3_stmt* get() const { return m_stmt; }
    explicit operator bool() const { return m_stmt != nullptr; }
    // Binds values to the '?' placeholders in order.
    void bindAll(const QVariantList& values, int first = 0);
    static void bindAll(sqlite3_stmt* stmt, const QVariantList& values);
    // Steps a statement once: true for a row, false when done; throws on error.
    static bool stepOnce(sqlite3* db, sqlite3_stmt* stmt);
    void bind(int index, const QVariant& value);   // 1-based
    // Steps once: true for a row, false when done; throws on error.
    bool step();
    QVariant value(int column) const;
    int columnCount() const { return sqlite3_column_count(m_stmt); }

private:
    sqlite3_stmt* m_stmt = nullptr;
    sqlite3* m_db = nullptr;
};

void bindValue(sqlite3* db, sqlite3_stmt* stmt, int index, const QVariant& value);   // 1-based

// The DbError for the connection's last error (or the given message).
DbError sqliteError(sqlite3* db, int rc, const QString& message = QString());
// True for "no such column: X" with an unqualified X (given back in name).
bool unresolvedColumn(const DbError& e, QString& name);
// Runs SQL that needs no values (several statements allowed).
void exec(sqlite3* db, const QString& sql);

QVariant columnValue(sqlite3_stmt* stmt, int column);
void resultValue(sqlite3_context* ctx, const QVariant& value);

// Double quotes an identifier for SQLite.
QString ident(const QString& name);

// DAO type code for a declared column type ("VARCHAR(50)" -> dbText).
int typeFromDecl(const QString& declType);
// Declared width of a text type ("VARCHAR(50)" -> 50), 0 when none.
int declWidth(const QString& declType);

// Throws 3163 when the text a value is stored as is longer than width.
void checkWidth(const QVariant& value, int width, const QString& column);

// Converts a value for a column of the declared type as Jet would; throws
// DbError 3421 when a text cannot be read as a number, 3163 when a text
// is too long for the column.
QVariant coerceToColumn(const QVariant& value, const QString& declType, const QString& column);

} // namespace dao::detail
