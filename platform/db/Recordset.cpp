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

DbError notForwardOnly()
{
    return DbError(3251, QStringLiteral("Operation is not supported for this type of object."));
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

} // namespace

// ---------------------------------------------------------------------------
// Opening

std::unique_ptr<Recordset> Database::openRecordset(const QString& sqlOrTable)
{
    return openRecordset(sqlOrTable, QVariantList());
}

// A table's or saved query's name alone, bracketed or not.
static bool isBareName(const QString& s)
{
    static const QRegularExpression bare(QStringLiteral("^(\\[[^\\]]+\\]|[A-Za-z_][A-Za-z0-9_$]*)$"));
    // SQL text has a blank outside brackets.
    if (!s.startsWith(QLatin1Char('[')) && s.contains(QLatin1Char(' ')))
        return false;
    return bare.match(s).hasMatch();
}

std::unique_ptr<Recordset> Database::openRecordset(const QString& sql, const QVariantList& values)
{
    const QString s = sql.trimmed();
    if (values.isEmpty() && isBareName(s)) {
        const QString name = unbracket(s);
        const QString table = canonicalTable(name);
        if (!table.isEmpty())
            return openTable(table);
        if (hasQueryDef(name))
            return queryDef(name).openRecordset();
    }
    return openDynaset(s, values);
}

std::unique_ptr<Recordset> Database::openRecordset(const QString& sql, const QVariantList& values, RecordsetType type)
{
    const QString s = sql.trimmed();
    // A table or saved query opened by its name stays a dynaset.
    if (type != dbOpenForwardOnly || (values.isEmpty() && isBareName(s)))
        return openRecordset(s, values);
    return openDynaset(s, values, type);
}

std::unique_ptr<Recordset> Database::openTable(const QString& table)
{
    checkTransaction();
    StatementLease st = m_caches->statements.acquire(QStringLiteral("SELECT rowid AS __rowid__, * FROM %1 ORDER BY rowid").arg(ident(table)),
                                                     true);
    std::unique_ptr<Recordset> rs(new Recordset(this));
    rs->m_baseTable = table;
    rs->load(st, true);
    return rs;
}

std::unique_ptr<Recordset> Database::openDynaset(const QString& sql, const QVariantList& values, RecordsetType type)
{
    checkTransaction();
    const bool forwardOnly = type == dbOpenForwardOnly;
    std::unique_ptr<Recordset> result;
    withTranslation(sql, [&](const jet::Translation& t) {
        if (t.statements.size() != 1)
            throw DbError(3219, QStringLiteral("Invalid operation."));
        StatementLease st;
        bool withRowid = false;
        // A forward-only recordset writes nothing, so it needs no row keys.
        if (!forwardOnly && !t.selectWithRowid.isEmpty() && !t.baseTable.isEmpty()
            && !m_caches->plainSelects.contains(t.selectWithRowid)) {
            try {
                st = m_caches->statements.acquire(t.selectWithRowid, true);
                withRowid = true;
            } catch (const DbError& e) {
                QString name;
                if (unresolvedColumn(e, name))
                    throw;
                // The row-keyed form is an extra; the plain query still reads.
                m_caches->plainSelects.insert(t.selectWithRowid);
            }
        }
        if (!st)
            st = m_caches->statements.acquire(t.statements.first(), true);
        Stmt::bindAll(st.get(), values);
        std::unique_ptr<Recordset> rs(new Recordset(this));
        if (forwardOnly) {
            rs->startForwardOnly(std::move(st));
            result = std::move(rs);
            return;
        }
        if (withRowid)
            rs->m_baseTable = canonicalTable(t.baseTable);
        rs->load(st, withRowid);
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

void Recordset::load(const StatementLease& st, bool withRowid)
{
    sqlite3* db = m_db->handle();
    sqlite3_stmt* stmt = st.get();
    int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw sqliteError(db, rc);
    m_meta = st.meta(withRowid);
    const int n = sqlite3_column_count(stmt);
    const int first = withRowid ? 1 : 0;
    for (;; rc = sqlite3_step(stmt)) {
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
    setTypes();
    m_pos = 0;
}

void Recordset::startForwardOnly(StatementLease lease)
{
    m_forwardOnly = true;
    m_lease = std::make_unique<StatementLease>(std::move(lease));
    const auto meta = m_lease->meta(false);   // known before a step that fails
    step();
    m_meta = m_hasRow ? m_lease->meta(false) : meta;
    setTypes();
    m_pos = 0;
}

void Recordset::step()
{
    const int rc = sqlite3_step(m_lease->get());
    m_hasRow = rc == SQLITE_ROW;
    if (rc == SQLITE_ROW)
        return;
    // Done: the statement goes back at once.
    if (rc != SQLITE_DONE) {
        const DbError error = sqliteError(m_db->handle(), rc);
        m_lease->release();
        throw error;
    }
    m_lease->release();
}

void Recordset::setTypes()
{
    // Expressions have no declared type: take it from the values (for a
    // forward-only recordset, those of its first row).
    m_types.clear();
    const size_t columns = m_meta->declaredTypes.size();
    for (size_t c = 0; c < columns; ++c) {
        if (m_meta->declaredTypes[c] >= 0) {
            m_types.push_back(m_meta->declaredTypes[c]);
            continue;
        }
        auto typeOf = [](const QVariant& v) {
            return v.typeId() == QMetaType::LongLong ? dbLong
                : v.typeId() == QMetaType::Double    ? dbDouble
                : v.typeId() == QMetaType::QByteArray ? dbLongBinary
                                                      : dbText;
        };
        int type = dbText;
        if (m_forwardOnly) {
            if (m_hasRow) {
                const QVariant v = columnValue(m_lease->get(), int(c));
                if (!v.isNull())
                    type = typeOf(v);
            }
        } else {
            for (const auto& row : m_rows) {
                if (!row[c].isNull()) {
                    type = typeOf(row[c]);
                    break;
                }
            }
        }
        m_types.push_back(type);
    }
}

void Recordset::checkOpen() const
{
    if (m_closed)
        throw DbError(3420, QStringLiteral("Object invalid or no longer set."));
}

bool Recordset::belongsToBase(int index) const
{
    return !m_baseTable.isEmpty() && !m_meta->originColumns[size_t(index)].isEmpty()
        && m_meta->originTables[size_t(index)].compare(m_baseTable, Qt::CaseInsensitive) == 0;
}

// ---------------------------------------------------------------------------
// Walking

bool Recordset::eof() const
{
    if (m_forwardOnly)
        return m_closed || !m_hasRow;
    return m_closed || m_pos >= int(m_rows.size());
}

bool Recordset::bof() const
{
    if (m_forwardOnly)
        return m_closed || (m_pos == 0 && !m_hasRow);
    return m_closed || m_rows.empty() || m_pos < 0;
}

bool Recordset::isEmpty() const
{
    return m_forwardOnly ? !m_hasRow : m_rows.empty();
}

int Recordset::recordCount() const
{
    if (m_forwardOnly)
        throw notForwardOnly();
    return static_cast<int>(m_rows.size());
}

void Recordset::moveNext()
{
    checkOpen();
    if (eof())
        throw noCurrentRecord();
    m_editMode = None;
    ++m_pos;
    if (m_forwardOnly)
        step();
}

void Recordset::moveFirst()
{
    checkOpen();
    if (m_forwardOnly)
        throw notForwardOnly();
    m_editMode = None;
    m_pos = 0;
}

void Recordset::moveLast()
{
    checkOpen();
    if (m_forwardOnly)
        throw notForwardOnly();
    m_editMode = None;
    m_pos = m_rows.empty() ? 0 : int(m_rows.size()) - 1;
}

// ---------------------------------------------------------------------------
// Fields

int Recordset::fieldCount() const
{
    return m_meta ? int(m_meta->names.size()) : 0;
}

QString Recordset::fieldName(int i) const
{
    if (i < 0 || i >= fieldCount())
        throw itemNotFound();
    return m_meta->names[i];
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
    return m_meta->attributes[size_t(i)];
}

int Recordset::fieldIndex(const QString& name) const
{
    if (!m_meta)
        return -1;
    // The columns are the statement's: a name found once is found again.
    const auto known = m_meta->lookups.constFind(name);
    if (known != m_meta->lookups.constEnd())
        return *known;
    const QStringList& names = m_meta->names;
    const int index = [&] {
        for (int i = 0; i < names.size(); ++i)
            if (names[i].compare(name.trimmed(), Qt::CaseInsensitive) == 0)
                return i;
        const QStringList parts = nameParts(name);
        if (parts.size() == 1) {
            for (int i = 0; i < names.size(); ++i)
                if (names[i].compare(parts[0], Qt::CaseInsensitive) == 0)
                    return i;
        }
        // "Table.Column" picks one of two columns that share a name.
        if (parts.size() == 2) {
            const QString& table = parts[0];
            const QString& column = parts[1];
            for (int i = 0; i < names.size(); ++i)
                if (m_meta->originTables[size_t(i)].compare(table, Qt::CaseInsensitive) == 0
                    && (names[i].compare(column, Qt::CaseInsensitive) == 0
                        || m_meta->originColumns[size_t(i)].compare(column, Qt::CaseInsensitive) == 0))
                    return i;
        }
        return -1;
    }();
    m_meta->lookups.insert(name, index);
    return index;
}

QVariant Recordset::field(int index) const
{
    checkOpen();
    if (index < 0 || index >= fieldCount())
        throw itemNotFound();
    if (m_editMode != None)
        return m_buffer[size_t(index)];
    if (m_forwardOnly) {
        if (!m_hasRow)
            throw noCurrentRecord();
        return columnValue(m_lease->get(), index);
    }
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
    // A whole number held as text is read whole, not through a double.
    if (v.typeId() == QMetaType::QString) {
        bool whole = false;
        const qint64 n = v.toString().trimmed().toLongLong(&whole);
        if (whole)
            return n;
    }
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
        if (m_meta->attributes[i] == dbAutoNumberAttributes) {
            m_buffer[i] = m_db->nextAutoNumber(m_baseTable);
            m_dirty[i] = true;
            continue;
        }
        const auto d = defaults.constFind(m_meta->originColumns[i].toLower());
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
    m_buffer[i] = belongsToBase(index) ? coerceToColumn(value, m_meta->declTypes[i], m_meta->originColumns[i],
                                                        !m_db->isScratchTable(m_baseTable))
                                       : value;
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
        const QString col = m_meta->originColumns[size_t(i)];
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
        StatementLease st = m_db->m_caches->statements.acquire(sql, true);
        Stmt::bindAll(st.get(), values);
        Stmt::stepOnce(db, st.get());
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
            StatementLease st = m_db->m_caches->statements.acquire(
                QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(ident(m_baseTable), sets.join(QStringLiteral(", "))), true);
            values << m_rowids[size_t(m_pos)];
            Stmt::bindAll(st.get(), values);
            Stmt::stepOnce(db, st.get());
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
    StatementLease st = m_db->m_caches->statements.acquire(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(ident(m_baseTable)), true);
    bindValue(m_db->handle(), st.get(), 1, m_rowids[size_t(m_pos)]);
    Stmt::stepOnce(m_db->handle(), st.get());
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
    m_hasRow = false;
    m_lease.reset();
}

} // namespace dao
