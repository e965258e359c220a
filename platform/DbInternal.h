#pragma once
// Helpers shared by the database layer's sources; not part of its API.

#include "DbError.h"

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <sqlite3.h>

namespace dao::detail {

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

// Converts a value for a column of the declared type as Jet would; throws
// DbError 3421 when a text cannot be read as a number, 3163 when a text
// is too long for the column.
QVariant coerceToColumn(const QVariant& value, const QString& declType, const QString& column);

} // namespace dao::detail
