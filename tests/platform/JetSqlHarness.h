#pragma once
// A raw SQLite connection that runs Jet texts through dao::jet::translate
// the way the Database does (retrying with each "no such column" name),
// with small stand-ins for the functions the translation calls.

#include "DbError.h"
#include "JetSql.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QVariant>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace jettest {

inline QString textOf(sqlite3_value* v)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)));
}

inline void fnVal(sqlite3_context* c, int, sqlite3_value** a)
{
    if (sqlite3_value_type(a[0]) == SQLITE_NULL)
        return sqlite3_result_null(c);
    if (sqlite3_value_type(a[0]) == SQLITE_INTEGER || sqlite3_value_type(a[0]) == SQLITE_FLOAT)
        return sqlite3_result_value(c, a[0]);
    static const QRegularExpression re(QStringLiteral("^[ \\t]*([-+]?[0-9]*\\.?[0-9]*)"));
    const QString m = re.match(textOf(a[0])).captured(1);
    bool ok = false;
    const double d = m.toDouble(&ok);
    sqlite3_result_double(c, ok ? d : 0.0);
}

inline void fnCStr(sqlite3_context* c, int, sqlite3_value** a)
{
    switch (sqlite3_value_type(a[0])) {
    case SQLITE_NULL: return sqlite3_result_null(c);
    case SQLITE_FLOAT: {
        const QByteArray s = QString::number(sqlite3_value_double(a[0]), 'g', 15).toUtf8();
        return sqlite3_result_text(c, s.constData(), int(s.size()), SQLITE_TRANSIENT);
    }
    default: {
        const QByteArray s = textOf(a[0]).toUtf8();
        return sqlite3_result_text(c, s.constData(), int(s.size()), SQLITE_TRANSIENT);
    }
    }
}

inline void fnMid(sqlite3_context* c, int n, sqlite3_value** a)
{
    if (sqlite3_value_type(a[0]) == SQLITE_NULL)
        return sqlite3_result_null(c);
    const QString s = textOf(a[0]);
    const int start = sqlite3_value_int(a[1]);
    const int len = n > 2 ? sqlite3_value_int(a[2]) : -1;
    const QByteArray r = s.mid(start - 1, len).toUtf8();
    sqlite3_result_text(c, r.constData(), int(r.size()), SQLITE_TRANSIENT);
}

inline void fnCDate(sqlite3_context* c, int, sqlite3_value** a)
{
    sqlite3_result_value(c, a[0]);
}

class RawDb {
public:
    RawDb()
    {
        sqlite3_open(":memory:", &db);
        sqlite3_create_function(db, "jet_val", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, fnVal, nullptr, nullptr);
        sqlite3_create_function(db, "jet_cstr", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, fnCStr, nullptr, nullptr);
        sqlite3_create_function(db, "jet_mid", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, fnMid, nullptr, nullptr);
        sqlite3_create_function(db, "jet_cdate", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, fnCDate, nullptr, nullptr);
        sqlite3_create_function(db, "jet_param", 1, SQLITE_UTF8, this, fnParam, nullptr, nullptr);
    }
    ~RawDb() { sqlite3_close(db); }

    void loadSchema()
    {
        QFile f(QStringLiteral(TARVIK_SOURCE_DIR "/runtime/data/schema.sql"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        raw(QString::fromUtf8(f.readAll()));
    }

    // Plain SQLite text, no translation.
    void raw(const QString& sql)
    {
        char* err = nullptr;
        const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
        ASSERT_EQ(rc, SQLITE_OK) << err << "\n" << sql.toStdString();
    }

    dao::jet::Context context(const QSet<QString>& unresolved = {})
    {
        dao::jet::Context ctx;
        ctx.savedQuerySql = [this](const QString& name) {
            for (auto it = saved.cbegin(); it != saved.cend(); ++it)
                if (it.key().compare(name, Qt::CaseInsensitive) == 0)
                    return it.value();
            return QString();
        };
        ctx.tableColumns = [this](const QString& table) {
            QStringList cols;
            sqlite3_stmt* st = nullptr;
            const QByteArray q = "SELECT name FROM pragma_table_info(?1)";
            sqlite3_prepare_v2(db, q.constData(), -1, &st, nullptr);
            const QByteArray t = table.toUtf8();
            sqlite3_bind_text(st, 1, t.constData(), -1, SQLITE_TRANSIENT);
            while (sqlite3_step(st) == SQLITE_ROW)
                cols << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            sqlite3_finalize(st);
            return cols;
        };
        ctx.tableCreateSql = [this](const QString& table) {
            QString sql;
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(db, "SELECT sql FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE", -1,
                               &st, nullptr);
            const QByteArray t = table.toUtf8();
            sqlite3_bind_text(st, 1, t.constData(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(st) == SQLITE_ROW)
                sql = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            sqlite3_finalize(st);
            return sql;
        };
        ctx.unresolved = unresolved;
        return ctx;
    }

    // Translates and runs a Jet text; returns its rows as "a|b|c" texts.
    // On failure returns {"ERROR: message"}.
    QStringList run(const QString& jetSql)
    {
        QSet<QString> unresolved;
        for (int attempt = 0; attempt < 12; ++attempt) {
            dao::jet::Translation tr;
            try {
                tr = dao::jet::translate(jetSql, context(unresolved));
            } catch (const dao::DbError& e) {
                return {QStringLiteral("ERROR: ") + e.description()};
            }
            lastTranslation = tr;
            QStringList rows;
            QString missing;
            for (const QString& sql : tr.statements) {
                sqlite3_stmt* st = nullptr;
                const QByteArray utf8 = sql.toUtf8();
                if (sqlite3_prepare_v2(db, utf8.constData(), -1, &st, nullptr) != SQLITE_OK) {
                    const QString msg = QString::fromUtf8(sqlite3_errmsg(db));
                    static const QRegularExpression re(QStringLiteral("^no such column: (\\S+)$"));
                    const auto m = re.match(msg);
                    if (m.hasMatch() && !m.captured(1).contains(u'.') && !unresolved.contains(m.captured(1).toLower())) {
                        missing = m.captured(1).toLower();
                        break;
                    }
                    return {QStringLiteral("ERROR: ") + msg + QStringLiteral(" in ") + sql};
                }
                int rc;
                while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                    QStringList cells;
                    for (int c = 0; c < sqlite3_column_count(st); ++c) {
                        switch (sqlite3_column_type(st, c)) {
                        case SQLITE_NULL: cells << QStringLiteral("NULL"); break;
                        case SQLITE_FLOAT: cells << QString::number(sqlite3_column_double(st, c), 'g', 10); break;
                        default:
                            cells << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
                        }
                    }
                    rows << cells.join(u'|');
                }
                sqlite3_finalize(st);
                if (rc != SQLITE_DONE)
                    return {QStringLiteral("ERROR: ") + QString::fromUtf8(sqlite3_errmsg(db))};
            }
            if (missing.isEmpty())
                return rows;
            unresolved.insert(missing);
        }
        return {QStringLiteral("ERROR: too many unresolved names")};
    }

    sqlite3* db = nullptr;
    QHash<QString, QString> saved;      // saved queries by name
    QHash<QString, QVariant> params;    // parameter values, lower-case names
    dao::jet::Translation lastTranslation;

private:
    static void fnParam(sqlite3_context* c, int, sqlite3_value** a)
    {
        auto* self = static_cast<RawDb*>(sqlite3_user_data(c));
        const QVariant v = self->params.value(textOf(a[0]).toLower());
        if (!v.isValid() || v.isNull())
            return sqlite3_result_null(c);
        if (v.typeId() == QMetaType::Double)
            return sqlite3_result_double(c, v.toDouble());
        if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
            return sqlite3_result_int64(c, v.toLongLong());
        const QByteArray s = v.toString().toUtf8();
        sqlite3_result_text(c, s.constData(), int(s.size()), SQLITE_TRANSIENT);
    }
};

} // namespace jettest
