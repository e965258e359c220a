#pragma once
// The saved queries the program keeps in a league database.

#include <QString>

#include <vector>

namespace dao {
class Database;
}

// Makes the saved query when the database has none of that name. One that
// still holds the text an earlier version made (formerSql) gets the current
// text, so an old league database follows the program; any other text is
// left as it is. Throws the database error when it cannot be done.
void EnsureSavedQuery(dao::Database& db, const QString& name, const QString& sql, const QString& formerSql = QString());

struct SavedQueryText {
    QString name;
    QString sql;
    QString formerSql;
};

// EnsureSavedQuery for each, all or none: one transaction of their own when
// the caller has none open, so a failure part way leaves no half set.
// Returns "" when they are there, otherwise the text that reports the
// failure: the query that could not be made and the database's reason
// ("Error n: ..."), for the run that needs them to stop with. Inside a
// caller's transaction that error is thrown, since it ends the transaction.
QString EnsureSavedQueries(dao::Database& db, const std::vector<SavedQueryText>& queries);
