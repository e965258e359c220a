#include "QueryDef.h"

#include "Database.h"
#include "Recordset.h"

namespace dao {

QueryDef::QueryDef(Database* db, QString name, QString sql)
    : m_db(db), m_name(std::move(name)), m_sql(std::move(sql))
{
}

void QueryDef::setParameter(const QString& name, const QVariant& value)
{
    m_params.insert(Database::normaliseParameterName(name), value);
}

QVariant QueryDef::parameter(const QString& name) const
{
    return m_params.value(Database::normaliseParameterName(name));
}

std::unique_ptr<Recordset> QueryDef::openRecordset()
{
    // The values hold while the rows are read, for this query and for the
    // saved queries it reads as tables; then the earlier ones come back.
    struct Restore {
        Database* db;
        QHash<QString, QVariant> saved;
        ~Restore() { db->m_params = std::move(saved); }
    } restore{m_db, m_db->m_params};
    for (auto it = m_params.constBegin(); it != m_params.constEnd(); ++it)
        m_db->m_params.insert(it.key(), it.value());
    return m_db->openRecordset(m_sql);
}

} // namespace dao
