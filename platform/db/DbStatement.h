#pragma once
// Statements and values: prepared statements, binding a value and reading
// one back, SQLite's errors as DbError, quoting a name. Internal to the
// database layer.

#include "DbError.h"

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <sqlite3.h>

namespace dao::detail {

// SQLite's message for a parameter no value was given for.
extern const char kTooFewParameters[];

// A prepared statement that is always finalised.
class Stmt {
public:
    Stmt() = default;
    // Prepares the first statement of sql; throws DbError on failure.
    Stmt(sqlite3* db, const QString& sql);
    // Takes over a statement prepare() gave, none for blanks.
    Stmt(sqlite3* db, sqlite3_stmt* stmt) : m_stmt(stmt), m_db(db) {}
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

// The first statement of the text from sql up to end, null for blanks, with
// *tail set past it. Every statement text reaches SQLite through here.
// Throws DbError on failure, and 3075 when the text holds a NUL: SQLite
// would take it for the end, run what comes before and read no further.
sqlite3_stmt* prepare(sqlite3* db, const char* sql, const char* end, const char** tail = nullptr, unsigned flags = 0);

void bindValue(sqlite3* db, sqlite3_stmt* stmt, int index, const QVariant& value);   // 1-based

// The SQLite storage class a value goes in as.
enum class SqlKind { Null, Integer, Real, Blob, Text };
SqlKind sqlKind(const QVariant& value);

// The DbError for the connection's last error (or the given message).
DbError sqliteError(sqlite3* db, int rc, const QString& message = QString());
// Runs SQL that needs no values (several statements allowed).
void exec(sqlite3* db, const QString& sql);

QVariant columnValue(sqlite3_stmt* stmt, int column);
void resultValue(sqlite3_context* ctx, const QVariant& value);

// Double quotes an identifier for SQLite.
QString ident(const QString& name);

} // namespace dao::detail
