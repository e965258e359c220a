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

// A failure of a run that is not a database error (the page).
struct RunError {
    QString text;
};

// Inside a catch block: the text that reports the error being handled,
// after the heading that says what could not be done.
QString CurrentErrorText(const QString& heading);

// Opens SQL (which may read saved queries) with named parameter values.
std::unique_ptr<dao::Recordset> OpenQuery(const QString& sql,
                                          const std::vector<std::pair<QString, QVariant>>& params);

// Appends rows to a table, the values bound in the order of the columns.
// Rows are written in batches (one statement per batch): call flush() at
// the end.
class RowInserter {
public:
    RowInserter(const QString& table, const QStringList& columns);
    ~RowInserter() = default;
    void add(const QVariantList& values);
    void flush();

private:
    QString m_head;       // INSERT INTO t (c1, ...) VALUES
    QString m_group;      // (?, ?, ...)
    int m_columns = 0;
    int m_rows = 0;
    QVariantList m_values;
};

} // namespace StandingsDb
