#include "StandingsDb.h"

#include "Database.h"
#include "QueryDef.h"
#include "Recordset.h"
#include "State.h"

namespace StandingsDb {

std::unique_ptr<dao::Recordset> OpenQuery(const QString& sql, const std::vector<std::pair<QString, QVariant>>& params)
{
    dao::QueryDef query(dbMain, QString(), sql);
    for (const auto& [name, value] : params)
        query.setParameter(name, value);
    return query.openRecordset();
}

RowInserter::RowInserter(const QString& table, const QStringList& columns)
{
    QStringList names, marks;
    for (const QString& c : columns) {
        names << QLatin1Char('[') + c + QLatin1Char(']');
        marks << QStringLiteral("?");
    }
    m_sql = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + names.join(QStringLiteral(", "))
        + QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
}

void RowInserter::add(const QVariantList& values)
{
    dbMain->execute(m_sql, values);
}

void RowInserter::flush()
{
}

} // namespace StandingsDb
