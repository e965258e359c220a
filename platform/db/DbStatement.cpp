#include "DbStatement.h"

#include "DbError.h"
#include "JetSql.h"

#include <cstring>

namespace dao::detail {

const char kTooFewParameters[] = "Too few parameters. Expected 1.";

sqlite3_stmt* prepare(sqlite3* db, const char* sql, const char* end, const char** tail, unsigned flags)
{
    const auto size = size_t(end - sql);
    if (std::memchr(sql, 0, size))
        jet::refuseNul(QString::fromUtf8(sql, qsizetype(size)));
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v3(db, sql, int(size), flags, &stmt, tail);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        throw sqliteError(db, rc);
    }
    // Callers walk a text statement by statement: one SQLite reads nothing
    // of is refused, never waited on.
    if (tail && *tail == sql && size > 0) {
        sqlite3_finalize(stmt);
        throw DbError(3000 + SQLITE_MISUSE, QStringLiteral("The statement text could not be read: ") + QString::fromUtf8(sql, qsizetype(size)));
    }
    return stmt;
}

Stmt::Stmt(sqlite3* db, const QString& sql)
    : m_db(db)
{
    const QByteArray utf8 = sql.toUtf8();
    m_stmt = prepare(db, utf8.constData(), utf8.constData() + utf8.size());
    if (!m_stmt)
        throw DbError(3000 + SQLITE_MISUSE, QStringLiteral("Empty statement."));
}

void Stmt::bind(int index, const QVariant& value)
{
    bindValue(m_db, m_stmt, index, value);
}

SqlKind sqlKind(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return SqlKind::Null;
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return SqlKind::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return SqlKind::Real;
    case QMetaType::QByteArray:
        return SqlKind::Blob;
    default:
        return SqlKind::Text;
    }
}

namespace {

// A bool goes in as 1 or 0.
qint64 integerOf(const QVariant& value)
{
    return value.typeId() == QMetaType::Bool ? (value.toBool() ? 1 : 0) : value.toLongLong();
}

} // namespace

void bindValue(sqlite3* db, sqlite3_stmt* m_stmt, int index, const QVariant& value)
{
    int rc = SQLITE_OK;
    switch (sqlKind(value)) {
    case SqlKind::Null:
        rc = sqlite3_bind_null(m_stmt, index);
        break;
    case SqlKind::Integer:
        rc = sqlite3_bind_int64(m_stmt, index, integerOf(value));
        break;
    case SqlKind::Real:
        rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
        break;
    case SqlKind::Blob: {
        const QByteArray b = value.toByteArray();
        rc = sqlite3_bind_blob64(m_stmt, index, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT);
        break;
    }
    case SqlKind::Text: {
        const QByteArray t = value.toString().toUtf8();
        rc = sqlite3_bind_text64(m_stmt, index, t.constData(), sqlite3_uint64(t.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
    }
    }
    if (rc != SQLITE_OK)
        throw sqliteError(db, rc);
}

void Stmt::bindAll(const QVariantList& values, int first)
{
    const int n = sqlite3_bind_parameter_count(m_stmt);
    for (int i = 0; i < n; ++i)
        bind(i + 1, first + i < values.size() ? values[first + i] : QVariant());
}

void Stmt::bindAll(sqlite3_stmt* stmt, const QVariantList& values)
{
    sqlite3* db = sqlite3_db_handle(stmt);
    const int n = sqlite3_bind_parameter_count(stmt);
    for (int i = 0; i < n; ++i)
        bindValue(db, stmt, i + 1, i < values.size() ? values[i] : QVariant());
}

bool Stmt::step()
{
    return stepOnce(m_db, m_stmt);
}

bool Stmt::stepOnce(sqlite3* db, sqlite3_stmt* stmt)
{
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw sqliteError(db, rc);
}

QVariant Stmt::value(int column) const
{
    return columnValue(m_stmt, column);
}

QVariant columnValue(sqlite3_stmt* stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        return QVariant(QString::fromUtf8(p, sqlite3_column_bytes(stmt, column)));
    }
    case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt, column));
        return QVariant(QByteArray(p, sqlite3_column_bytes(stmt, column)));
    }
    default:
        return QVariant();
    }
}

void resultValue(sqlite3_context* ctx, const QVariant& value)
{
    switch (sqlKind(value)) {
    case SqlKind::Null:
        sqlite3_result_null(ctx);
        break;
    case SqlKind::Integer:
        sqlite3_result_int64(ctx, integerOf(value));
        break;
    case SqlKind::Real:
        sqlite3_result_double(ctx, value.toDouble());
        break;
    case SqlKind::Blob:   // function results are texts
    case SqlKind::Text: {
        const QByteArray t = value.toString().toUtf8();
        sqlite3_result_text64(ctx, t.constData(), sqlite3_uint64(t.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
    }
    }
}

DbError sqliteError(sqlite3* db, int rc, const QString& message)
{
    const QString msg = message.isEmpty() ? QString::fromUtf8(sqlite3_errmsg(db)) : message;
    if (msg == QLatin1String(kTooFewParameters))
        return DbError(3061, msg);
    // jet_fit's refusal, raised as a function error.
    if (msg.startsWith(QLatin1String("The field '")) && msg.contains(QLatin1String("' is too small to accept")))
        return DbError(3163, msg);
    const int ext = db ? sqlite3_extended_errcode(db) : rc;
    if (ext == SQLITE_CONSTRAINT_UNIQUE || ext == SQLITE_CONSTRAINT_PRIMARYKEY || rc == SQLITE_CONSTRAINT_UNIQUE
        || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
        return DbError(3022, QStringLiteral("The changes you requested to the table were not successful because they "
                                            "would create duplicate values in the index, primary key, or relationship. "
                                            "Change the data in the field or fields that contain duplicate data, "
                                            "remove the index, or redefine the index to permit duplicate entries "
                                            "and try again."));
    return DbError(3000 + (rc & 0xff), msg);
}

void exec(sqlite3* db, const QString& sql)
{
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = utf8.constData();
    const char* const end = tail + utf8.size();
    while (tail < end) {
        Stmt s(db, prepare(db, tail, end, &tail));
        while (s && s.step()) {
        }
    }
}

QString ident(const QString& name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

} // namespace dao::detail
