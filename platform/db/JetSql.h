#pragma once
// Translation of Jet-dialect SQL into SQLite SQL.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

namespace dao::jet {

struct Context {
    // Text of a saved query, or a null QString when no query has that name.
    std::function<QString(const QString& name)> savedQuerySql;
    // Declared column names of a table in order; empty when no such table.
    std::function<QStringList(const QString& table)> tableColumns;
    // Declared text width of each column of tableColumns, 0 for none.
    std::function<QList<int>(const QString& table)> tableColumnWidths;
    // CREATE TABLE text of a table (sqlite_master.sql); empty when none.
    std::function<QString(const QString& table)> tableCreateSql;
    // Names SQLite reported as "no such column": each is either an alias of
    // the same select list (inlined as its expression) or a parameter
    // (read through jet_param('name')). Lower-case.
    QSet<QString> unresolved;
};

struct Translation {
    // One or more SQLite statements to run in order (SELECT ... INTO gives
    // a CREATE TABLE and an INSERT).
    QStringList statements;
    // For a SELECT whose rows can be written back: the base table (first
    // table of the FROM clause) and the same SELECT with the base table's
    // rowid added as the first result column "__rowid__". Empty otherwise.
    QString baseTable;
    QString selectWithRowid;
    // Bound values written to a column of limited width: the caller holds
    // them to it (other values are held by jet_fit in the text).
    struct BoundWidth {
        int parameter = 0;   // 0-based among the '?' of the statement
        int width = 0;
        QString column;
    };
    QList<BoundWidth> boundWidths;
};

// Throws dao::DbError 3075 (syntax error) on text it cannot read, such as
// an unterminated string or bracket.
Translation translate(const QString& jetSql, const Context& ctx);

// Throws dao::DbError 3075 when the text holds a NUL character: SQLite
// would read the text only up to it.
void refuseNul(const QString& sql);

// The translated SQL calls functions that the Database registers on every
// connection: jet_val(x), jet_cstr(x), jet_mid(x, start[, len]),
// jet_cdate(x) (a sortable number, NULL when unreadable), jet_param('name')
// and jet_fit(x, width, 'column') (x, or error 3163 when its text is longer
// than width); text comparisons rely on its Unicode-aware NOCASE.
} // namespace dao::jet
