#pragma once
// A saved query: stored text, opened with named parameter values. Saved
// queries can be used as tables by other statements and saved queries;
// the parameters set here reach those too.

#include <QHash>
#include <QString>
#include <QVariant>

#include <memory>

namespace dao {

class Database;
class Recordset;

class QueryDef {
public:
    QueryDef(Database* db, QString name, QString sql);
    QString name() const { return m_name; }
    QString sql() const { return m_sql; }
    void setParameter(const QString& name, const QVariant& value);
    QVariant parameter(const QString& name) const;
    std::unique_ptr<Recordset> openRecordset();

private:
    Database* m_db;
    QString m_name;
    QString m_sql;
    QHash<QString, QVariant> m_params;   // keys lower-case
};

} // namespace dao
