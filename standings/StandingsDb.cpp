#include "StandingsDb.h"

#include "Database.h"
#include "QueryDef.h"
#include "Recordset.h"
#include "State.h"

namespace StandingsDb {

QString CurrentErrorText(const QString& heading)
{
    try {
        throw;
    } catch (const dao::DbError& e) {
        return heading + QStringLiteral("\n\nError %1: %2").arg(e.number()).arg(e.description());
    } catch (const RunError& e) {
        return e.text;
    } catch (const std::exception& e) {
        return heading + QStringLiteral("\n\n") + QString::fromLocal8Bit(e.what());
    }
}

std::unique_ptr<dao::Recordset> OpenQuery(const QString& sql, const std::vector<std::pair<QString, QVariant>>& params)
{
    dao::QueryDef query(dbMain, QString(), sql);
    for (const auto& [name, value] : params)
        query.setParameter(name, value);
    return query.openRecordset();
}

RowInserter::RowInserter(const QString& table, const QStringList& columns)
    : m_columns(int(columns.size()))
{
    QStringList names, marks;
    for (const QString& c : columns) {
        names << QLatin1Char('[') + c + QLatin1Char(']');
        marks << QStringLiteral("?");
    }
    m_head = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + names.join(QStringLiteral(", "))
        + QStringLiteral(") VALUES ");
    m_group = QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
}

// Rows per statement: few statements to translate and prepare, well below
// the engine's limit on bound values.
static constexpr int kBatchRows = 200;

void RowInserter::add(const QVariantList& values)
{
    for (int i = 0; i < m_columns; ++i)
        m_values << (i < values.size() ? values[i] : QVariant());
    if (++m_rows == kBatchRows)
        flush();
}

void RowInserter::flush()
{
    if (m_rows == 0)
        return;
    QString sql = m_head;
    for (int i = 0; i < m_rows; ++i) {
        if (i)
            sql += QStringLiteral(", ");
        sql += m_group;
    }
    const QVariantList values = std::move(m_values);
    m_values.clear();
    m_rows = 0;
    dbMain->execute(sql, values);
}

} // namespace StandingsDb
