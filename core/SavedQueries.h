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
// Returns false when they could not be made (the run that reads them then
// reports it); inside a caller's transaction the error is thrown, since it
// ends that transaction.
bool EnsureSavedQueries(dao::Database& db, const std::vector<SavedQueryText>& queries);
