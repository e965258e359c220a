#pragma once
// Helpers shared by the database layer's sources; not part of its API.

#include "DbError.h"
#include "DbStatement.h"
#include "DbTypes.h"
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

// Private state the other sources of the layer reach.
struct DatabaseAccess {
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

// True for "no such column: X" with an unqualified X (given back in name).
bool unresolvedColumn(const DbError& e, QString& name);

} // namespace dao::detail
