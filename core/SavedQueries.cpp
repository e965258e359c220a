#include "SavedQueries.h"

#include "Database.h"
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
