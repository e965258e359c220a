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

bool EnsureSavedQueries(dao::Database& db, const std::vector<SavedQueryText>& queries)
{
    if (db.transactionDepth() > 0) {
        for (const SavedQueryText& q : queries)
            EnsureSavedQuery(db, q.name, q.sql, q.formerSql);
        return true;
    }
    try {
        dao::Transaction trans(db);
        for (const SavedQueryText& q : queries)
            EnsureSavedQuery(db, q.name, q.sql, q.formerSql);
        trans.commit();
        return true;
    } catch (const dao::DbError&) {
        return false;
    }
}
