#pragma once
// Reading stored rows back in tests: the first row's values, the first
// column of every row, a count.

#include "Database.h"
#include "Recordset.h"
#include "State.h"

#include <QStringList>

struct QueryRows {
    static QStringList row(const QString& sql)
    {
        QStringList out;
        auto rs = dbMain->openRecordset(sql);
        if (rs->isEmpty())
            return out;
        for (int i = 0; i < rs->fieldCount(); ++i)
            out << rs->field(i).toString();
        return out;
    }
    static QStringList column(const QString& sql)
    {
        QStringList out;
        for (auto rs = dbMain->openRecordset(sql); !rs->eof(); rs->moveNext())
            out << rs->field(0).toString();
        return out;
    }
    static qint64 count(const QString& sql) { return dbMain->scalar(sql).toLongLong(); }
};
