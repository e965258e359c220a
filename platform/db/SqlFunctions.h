#pragma once
// The SQL functions the translated statements call (jet_val, jet_cstr,
// jet_mid, jet_cdate, jet_param, jet_fit) and the case-blind NOCASE
// collation every text column uses. Internal to the database layer.

#include <QHash>
#include <QString>
#include <QVariant>

struct sqlite3;

namespace dao {

class Database;

// What the SQL callbacks read of a Database's private state.
struct SqlFunctionAccess {
    static const QHash<QString, QVariant>& params(const Database* db);
};

namespace detail {

// Registers the functions and the collation on a connection; jet_param
// reads the parameter values of owner.
void registerSqlFunctions(sqlite3* db, Database* owner);

} // namespace detail
} // namespace dao
