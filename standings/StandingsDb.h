#pragma once
// Small database helpers of the standings runs.

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <utility>
#include <vector>

namespace dao {
class Recordset;
}

namespace StandingsDb {

// Opens SQL (which may read saved queries) with named parameter values.
std::unique_ptr<dao::Recordset> OpenQuery(const QString& sql,
                                          const std::vector<std::pair<QString, QVariant>>& params);

// Appends rows to a table, the values bound in the order of the columns.
class RowInserter {
public:
    RowInserter(const QString& table, const QStringList& columns);
    void add(const QVariantList& values);
    void flush();

private:
    QString m_sql;
};

} // namespace StandingsDb
