#pragma once
// The saved queries the program keeps in a league database.

#include <QString>

namespace dao {
class Database;
}

// Makes the saved query when the database has none of that name. One that
// still holds the text an earlier version made (formerSql) gets the current
// text, so an old league database follows the program; any other text is
// left as it is. Throws the database error when it cannot be done.
void EnsureSavedQuery(dao::Database& db, const QString& name, const QString& sql, const QString& formerSql = QString());
