#include "Recordset.h"

#include "Database.h"
#include "DbInternal.h"
#include "JetSql.h"
#include "QueryDef.h"
#include "Runtime.h"

#include <QRegularExpression>

#include <sqlite3.h>

#include <cmath>
#include <limits>

namespace dao {

using namespace detail;

namespace {

DbError noCurrentRecord()
{
    return DbError(3021, QStringLiteral("No current record."));
}

DbError itemNotFound()
{
    return DbError(3265, QStringLiteral("Item not found in this collection."));
}

DbError readOnly()
{
    return DbError(3027, QStringLiteral("Cannot update. Database or object is read-only."));
}

DbError notEditing()
{
    return DbError(3020, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
}

QString unbracket(QString s)
{
    s = s.trimmed();
    if (s.startsWith(QLatin1Char('[')) && s.endsWith(QLatin1Char(']')))
        s = s.mid(1, s.size() - 2);
    return s;
}

// "Name", "[Name]", "T.Name", "[T].[Name]" -> its parts without brackets.
QStringList nameParts(const QString& text)
{
    QStringList parts;
    QString cur;
    const QString s = text.trimmed();
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('[')) {
            const int close = s.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0) {
                cur += s.mid(i);
                break;
            }
            cur += s.mid(i + 1, close - i - 1);
            i = close;
        } else if (s[i] == QLatin1Char('.')) {
            parts << cur;
            cur.clear();
        } else {
            cur += s[i];
        }
    }
    parts << cur;
    return parts;
}

QString fromUtf8(const char* p)
{
    return p ? QString::fromUtf8(p) : QString();
}

} // namespace

// ---------------------------------------------------------------------------
// Opening

std::unique_ptr<Recordset> Database::openRecordset(const QString& sqlOrTable)
{
    return openRecordset(sqlOrTable, QVariantList());
}

std::unique_ptr<Recordset> Database::openRecordset(const QString& sql, const QVariantList& values)
{
    checkTransaction();
    static const QRegularExpression bare(QStringLiteral("^(\\[[^\\]]+\\]|[A-Za-z_][A-Za-z0-9_$]*)$"));
    const QString s = sql.trimmed();
    if (values.isEmpty() && bare.match(s).hasMatch()) {
        const QString name = unbracket(s);
        const QString table = canonicalTable(name);
        if (!table.isEmpty())
            return openTable(table);
        if (hasQueryDef(name))
            return queryDef(name).openRecordset();
    }
    return openDynaset(s, values);
}

std::unique_ptr<Recordset> Database::openTable(const QString& table)
{
    Stmt st(m_db, QStringLiteral("SELECT rowid AS __rowid__, * FROM %1 ORDER BY rowid").arg(ident(table)));
    std::unique_ptr<Recordset> rs(new Recordset(this));
    rs->m_baseTable = table;
    rs->load(st.get(), true);
    return rs;
}

std::unique_ptr<Recordset> Database::openDynaset(const QString& sql, const QVariantList& values)
{
    std::unique_ptr<Recordset> result;
    withTranslation(sql, [&](const jet::Translation& t) {
        if (t.statements.size() != 1)
            throw DbError(3219, QStringLiteral("Invalid operation."));
        std::unique_ptr<Stmt> st;
        bool withRowid = false;
        if (!t.selectWithRowid.isEmpty() && !t.baseTable.isEmpty()) {
            try {
                st = std::make_unique<Stmt>(m_db, t.selectWithRowid);
                withRowid = true;
            } catch (const DbError& e) {
                QString name;
                if (unresolvedColumn(e, name))
                    throw;
                // The row-keyed form is an extra; the plain query still reads.
            }
        }
        if (!st)
            st = std::make_unique<Stmt>(m_db, t.statements.first());
        st->bindAll(values);
        std::unique_ptr<Recordset> rs(new Recordset(this));
        if (withRowid)
            rs->m_baseTable = canonicalTable(t.baseTable);
        rs->load(st->get(), withRowid);
        // Only rows that show some column of the base table can be written.
        bool anyBase = false;
        for (int i = 0; i < rs->fieldCount() && !anyBase; ++i)
            anyBase = rs->belongsToBase(i);
        if (!anyBase) {
            rs->m_baseTable.clear();
            rs->m_rowids.clear();
        }
        result = std::move(rs);
    });
    return result;
}

// ---------------------------------------------------------------------------

Recordset::Recordset(Database* db)
    : m_db(db)
{
}

Recordset::~Recordset() = default;

void Recordset::load(sqlite3_stmt* stmt, bool withRowid)
{
    sqlite3* db = m_db->handle();
    const int n = sqlite3_column_count(stmt);
    const int first = withRowid ? 1 : 0;
    for (int c = first; c < n; ++c) {
        m_names << fromUtf8(sqlite3_column_name(stmt, c));
        const QString table = fromUtf8(sqlite3_column_table_name(stmt, c));
        const QString origin = fromUtf8(sqlite3_column_origin_name(stmt, c));
        m_originTables.push_back(table);
        m_originColumns.push_back(origin);
        m_declTypes.push_back(fromUtf8(sqlite3_column_decltype(stmt, c)));
        int attributes = 0;
        if (!table.isEmpty() && !origin.isEmpty()) {
            int pk = 0, autoinc = 0;
            if (sqlite3_table_column_metadata(db, nullptr, table.toUtf8().constData(), origin.toUtf8().constData(),
                                              nullptr, nullptr, nullptr, &pk, &autoinc) == SQLITE_OK
                && autoinc)
                attributes = dbAutoNumberAttributes;
        }
        m_attributes.push_back(attributes);
    }
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            throw sqliteError(db, rc);
        std::vector<QVariant> row;
        row.reserve(size_t(n - first));
        for (int c = first; c < n; ++c)
            row.push_back(columnValue(stmt, c));
        m_rows.push_back(std::move(row));
        if (withRowid)
            m_rowids.push_back(sqlite3_column_int64(stmt, 0));
    }
    // Expressions have no declared type: take it from the values.
    for (size_t c = 0; c < m_declTypes.size(); ++c) {
        if (!m_declTypes[c].isEmpty()) {
            m_types.push_back(typeFromDecl(m_declTypes[c]));
            continue;
        }
        int type = dbText;
        for (const auto& row : m_rows) {
            const QVariant& v = row[c];
            if (v.isNull())
                continue;
            type = v.typeId() == QMetaType::LongLong ? dbLong
                : v.typeId() == QMetaType::Double  ? dbDouble
                : v.typeId() == QMetaType::QByteArray ? dbLongBinary
                                                       : dbText;
            break;
        }
        m_types.push_back(type);
    }
    m_pos = 0;
}

void Recordset::checkOpen() const
{
    if (m_closed)
        throw DbError(3420, QStringLiteral("Object invalid or no longer set."));
}

bool Recordset::belongsToBase(int index) const
{
    return !m_baseTable.isEmpty() && !m_originColumns[size_t(index)].isEmpty()
        && m_originTables[size_t(index)].compare(m_baseTable, Qt::CaseInsensitive) == 0;
}

// ---------------------------------------------------------------------------
// Walking

bool Recordset::eof() const
{
    return m_closed || m_pos >= int(m_rows.size());
}

bool Recordset::bof() const
{
    return m_closed || m_rows.empty() || m_pos < 0;
}

void Recordset::moveNext()
{
    checkOpen();
    if (eof())
        throw noCurrentRecord();
    m_editMode = None;
    ++m_pos;
}

void Recordset::moveFirst()
{
    checkOpen();
    m_editMode = None;
    m_pos = 0;
}

void Recordset::moveLast()
{
    checkOpen();
    m_editMode = None;
    m_pos = m_rows.empty() ? 0 : int(m_rows.size()) - 1;
}

// ---------------------------------------------------------------------------
// Fields

QString Recordset::fieldName(int i) const
{
    if (i < 0 || i >= fieldCount())
        throw itemNotFound();
    return m_names[i];
}

int Recordset::fieldType(int i) const
{
    if (i < 0 || i >= fieldCount())
        throw itemNotFound();
    return m_types[size_t(i)];
}

int Recordset::fieldAttributes(int i) const
{
    if (i < 0 || i >= fieldCount())
        throw itemNotFound();
    return m_attributes[size_t(i)];
}

int Recordset::fieldIndex(const QString& name) const
{
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names[i].compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    const QStringList parts = nameParts(name);
    if (parts.size() == 1) {
        for (int i = 0; i < m_names.size(); ++i)
            if (m_names[i].compare(parts[0], Qt::CaseInsensitive) == 0)
                return i;
    }
    // "Table.Column" picks one of two columns that share a name.
    if (parts.size() == 2) {
        const QString& table = parts[0];
        const QString& column = parts[1];
        for (int i = 0; i < m_names.size(); ++i)
            if (m_originTables[size_t(i)].compare(table, Qt::CaseInsensitive) == 0
                && (m_names[i].compare(column, Qt::CaseInsensitive) == 0
                    || m_originColumns[size_t(i)].compare(column, Qt::CaseInsensitive) == 0))
                return i;
    }
    return -1;
}

QVariant Recordset::field(int index) const
{
    checkOpen();
    if (index < 0 || index >= fieldCount())
        throw itemNotFound();
    if (m_editMode != None)
        return m_buffer[size_t(index)];
    if (m_pos < 0 || m_pos >= int(m_rows.size()))
        throw noCurrentRecord();
    return m_rows[size_t(m_pos)][size_t(index)];
}

QVariant Recordset::field(const QString& name) const
{
    checkOpen();
    const int i = fieldIndex(name);
    if (i < 0)
        throw itemNotFound();
    return field(i);
}

QString Recordset::text(const QString& name, const QString& fallback) const
{
    const QVariant v = field(name);
    return v.isNull() ? fallback : rt::Str(v);
}

qint64 Recordset::integer(const QString& name, qint64 fallback) const
{
    const QVariant v = field(name);
    if (v.isNull())
        return fallback;
    if (v.typeId() == QMetaType::LongLong)
        return v.toLongLong();
    const double d = rt::RoundHalfEven(v.typeId() == QMetaType::Double ? v.toDouble() : rt::Val(v), 0);
    // Converting a double outside the qint64 range is undefined: saturate.
    if (std::isnan(d))
        return fallback;
    if (d <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    if (d >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    return qint64(d);
}

double Recordset::number(const QString& name, double fallback) const
{
    const QVariant v = field(name);
    return v.isNull() ? fallback : rt::Val(v);
}

bool Recordset::flag(const QString& name) const
{
    const QVariant v = field(name);
    if (v.isNull())
        return false;
    if (v.typeId() == QMetaType::QString) {
        const QString t = v.toString().trimmed().toLower();
        if (t == QLatin1String("true") || t == QLatin1String("yes") || t == QLatin1String("on"))
            return true;
    }
    return rt::Val(v) != 0;
}

bool Recordset::isNull(const QString& name) const
{
    return field(name).isNull();
}

// ---------------------------------------------------------------------------
// Changing rows

void Recordset::addNew()
{
    checkOpen();
    if (m_baseTable.isEmpty())
        throw readOnly();
    const size_t n = size_t(fieldCount());
    m_buffer.assign(n, QVariant());
    m_dirty.assign(n, false);
    // Column defaults, and the automatic number at once so it can be read
    // before the row is stored.
    QHash<QString, QString> defaults;
    {
        Stmt s(m_db->handle(), QStringLiteral("SELECT name, dflt_value FROM pragma_table_info(?)"));
        s.bind(1, m_baseTable);
        while (s.step())
            if (!s.value(1).isNull())
                defaults.insert(s.value(0).toString().toLower(), s.value(1).toString());
    }
    for (size_t i = 0; i < n; ++i) {
        if (!belongsToBase(int(i)))
            continue;
        if (m_attributes[i] == dbAutoNumberAttributes) {
            m_buffer[i] = m_db->nextAutoNumber(m_baseTable);
            m_dirty[i] = true;
            continue;
        }
        const auto d = defaults.constFind(m_originColumns[i].toLower());
        if (d != defaults.constEnd()) {
            Stmt s(m_db->handle(), QStringLiteral("SELECT ") + d.value());
            if (s.step())
                m_buffer[i] = s.value(0);
        }
    }
    m_editMode = Adding;
}

void Recordset::edit()
{
    checkOpen();
    if (m_baseTable.isEmpty())
        throw readOnly();
    if (m_pos < 0 || m_pos >= int(m_rows.size()))
        throw noCurrentRecord();
    m_buffer = m_rows[size_t(m_pos)];
    m_dirty.assign(m_buffer.size(), false);
    m_editMode = Editing;
}

void Recordset::setField(const QString& name, const QVariant& value)
{
    checkOpen();
    const int i = fieldIndex(name);
    if (i < 0)
        throw itemNotFound();
    setField(i, value);
}

void Recordset::setField(int index, const QVariant& value)
{
    checkOpen();
    if (m_editMode == None)
        throw notEditing();
    if (index < 0 || index >= fieldCount())
        throw itemNotFound();
    const size_t i = size_t(index);
    // Converted as it is set, so a bad value fails here, as Jet does.
    m_buffer[i] = belongsToBase(index) ? coerceToColumn(value, m_declTypes[i], m_originColumns[i]) : value;
    m_dirty[i] = true;
}

void Recordset::update()
{
    checkOpen();
    m_db->checkTransaction();
    if (m_editMode == None)
        throw notEditing();
    sqlite3* db = m_db->handle();
    QStringList cols;
    QVariantList values;
    for (int i = 0; i < fieldCount(); ++i) {
        if (!belongsToBase(i))
            continue;
        const QString col = m_originColumns[size_t(i)];
        if (cols.contains(ident(col), Qt::CaseInsensitive))
            continue;
        if (m_editMode == Editing && !m_dirty[size_t(i)])
            continue;
        cols << ident(col);
        values << m_buffer[size_t(i)];
    }
    if (m_editMode == Adding) {
        QString sql;
        if (cols.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(ident(m_baseTable));
        } else {
            QStringList marks;
            for (int i = 0; i < cols.size(); ++i)
                marks << QStringLiteral("?");
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(ident(m_baseTable), cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        }
        Stmt st(db, sql);
        st.bindAll(values);
        st.step();
        const bool atEnd = m_pos >= int(m_rows.size());
        m_rows.push_back(m_buffer);
        m_rowids.push_back(sqlite3_last_insert_rowid(db));
        if (atEnd)
            m_pos = int(m_rows.size());
    } else {
        if (m_pos < 0 || m_pos >= int(m_rows.size()))
            throw noCurrentRecord();
        if (!cols.isEmpty()) {
            QStringList sets;
            for (const QString& c : cols)
                sets << c + QStringLiteral(" = ?");
            Stmt st(db, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(ident(m_baseTable), sets.join(QStringLiteral(", "))));
            values << m_rowids[size_t(m_pos)];
            st.bindAll(values);
            st.step();
        }
        m_rows[size_t(m_pos)] = m_buffer;
    }
    m_editMode = None;
    m_buffer.clear();
    m_dirty.clear();
}

void Recordset::cancelUpdate()
{
    checkOpen();
    m_editMode = None;
    m_buffer.clear();
    m_dirty.clear();
}

void Recordset::remove()
{
    checkOpen();
    m_db->checkTransaction();
    if (m_baseTable.isEmpty())
        throw readOnly();
    if (m_pos < 0 || m_pos >= int(m_rows.size()))
        throw noCurrentRecord();
    m_editMode = None;
    Stmt st(m_db->handle(), QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(ident(m_baseTable)));
    st.bind(1, m_rowids[size_t(m_pos)]);
    st.step();
    m_rows.erase(m_rows.begin() + m_pos);
    m_rowids.erase(m_rowids.begin() + m_pos);
}

void Recordset::close()
{
    m_closed = true;
    m_editMode = None;
    m_rows.clear();
    m_rowids.clear();
    m_buffer.clear();
}

} // namespace dao
