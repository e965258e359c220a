#include "SavedQueries.h"

#include "Database.h"
#include "DbError.h"
#include "QueryDef.h"

void EnsureSavedQuery(dao::Database& db, const QString& name, const QString& sql, const QString& formerSql)
{
    if (!db.hasQueryDef(name)) {
        db.createQueryDef(name, sql);
        return;
    }
    if (formerSql.isEmpty() || db.queryDef(name).sql() != formerSql)
        return;
    dao::Transaction trans(db);
    db.deleteQueryDef(name);
    db.createQueryDef(name, sql);
    trans.commit();
}

namespace {

// Each in turn; a failure names the query it stopped at.
void EnsureEach(dao::Database& db, const std::vector<SavedQueryText>& queries)
{
    for (const SavedQueryText& q : queries) {
        try {
            EnsureSavedQuery(db, q.name, q.sql, q.formerSql);
        } catch (const dao::DbError& e) {
            throw dao::DbError(e.number(), QStringLiteral("The saved query \"%1\" could not be created: %2").arg(q.name, e.description()));
        }
    }
}

} // namespace

QString EnsureSavedQueries(dao::Database& db, const std::vector<SavedQueryText>& queries)
{
    if (db.transactionDepth() > 0) {
        EnsureEach(db, queries);
        return QString();
    }
    try {
        dao::Transaction trans(db);
        EnsureEach(db, queries);
        trans.commit();
        return QString();
    } catch (const dao::DbError& e) {
        return QStringLiteral("Error %1: %2").arg(e.number()).arg(e.description());
    }
}
