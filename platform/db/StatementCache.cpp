#include "StatementCache.h"

#include "Database.h"
#include "DbInternal.h"

#include <QRegularExpression>

#include <sqlite3.h>

namespace dao::detail {

namespace {

// Statements kept; beyond this the idle ones are dropped and kept anew.
constexpr int kMaxEntries = 512;

QString fromUtf8(const char* p)
{
    return p ? QString::fromUtf8(p) : QString();
}

bool isRowChange(const QString& sql)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(INSERT|UPDATE|DELETE|REPLACE)\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(sql).hasMatch();
}

bool isQueryOrRowChange(const QString& sql)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(SELECT|INSERT|UPDATE|DELETE|REPLACE|WITH|VALUES)\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(sql).hasMatch();
}

} // namespace

struct StatementLease::Entry {
    sqlite3_stmt* stmt = nullptr;
    bool inUse = false;
    bool changesRows = false;
    bool changesSchema = false;
    int reprepared = 0;   // SQLite's count of its own re-preparations
    std::shared_ptr<bool> stale;
    std::shared_ptr<const ColumnMeta> meta[2];
    int metaReprepared[2] = {0, 0};   // the count when meta was read
    ~Entry() { sqlite3_finalize(stmt); }
};

std::shared_ptr<const ColumnMeta> readColumnMeta(sqlite3_stmt* stmt, bool withRowid)
{
    sqlite3* db = sqlite3_db_handle(stmt);
    auto meta = std::make_shared<ColumnMeta>();
    const int n = sqlite3_column_count(stmt);
    for (int c = withRowid ? 1 : 0; c < n; ++c) {
        meta->names << fromUtf8(sqlite3_column_name(stmt, c));
        const QString table = fromUtf8(sqlite3_column_table_name(stmt, c));
        const QString origin = fromUtf8(sqlite3_column_origin_name(stmt, c));
        const QString decl = fromUtf8(sqlite3_column_decltype(stmt, c));
        meta->originTables.push_back(table);
        meta->originColumns.push_back(origin);
        meta->declTypes.push_back(decl);
        meta->declaredTypes.push_back(decl.isEmpty() ? -1 : typeFromDecl(decl));
        int attributes = 0;
        if (!table.isEmpty() && !origin.isEmpty()) {
            int pk = 0, autoinc = 0;
            if (sqlite3_table_column_metadata(db, nullptr, table.toUtf8().constData(), origin.toUtf8().constData(), nullptr,
                                              nullptr, nullptr, &pk, &autoinc) == SQLITE_OK
                && autoinc)
                attributes = dbAutoNumberAttributes;
        }
        meta->attributes.push_back(attributes);
    }
    return meta;
}

// ---------------------------------------------------------------------------

StatementCache::StatementCache(sqlite3* db)
    : m_db(db), m_stale(std::make_shared<bool>(false))
{
}

StatementCache::~StatementCache() = default;

StatementLease StatementCache::acquire(const QString& sql, bool firstOnly)
{
    const auto found = m_entries.constFind(sql);
    if (found != m_entries.constEnd() && !(*found)->inUse) {
        (*found)->inUse = true;
        return StatementLease(*found);
    }
    const QByteArray utf8 = sql.toUtf8();
    const char* const end = utf8.constData() + utf8.size();
    const char* tail = end;
    auto entry = std::make_shared<StatementLease::Entry>();
    bool keep = found == m_entries.constEnd();
    entry->stmt = prepare(m_db, utf8.constData(), end, &tail, keep ? SQLITE_PREPARE_PERSISTENT : 0);
    if (!entry->stmt) {
        if (firstOnly)
            throw DbError(3000 + SQLITE_MISUSE, QStringLiteral("Empty statement."));
        return StatementLease();
    }
    for (const char* p = tail; p < end; ++p) {
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n' && *p != ';') {
            // More than one statement: not kept.
            if (!firstOnly)
                return StatementLease();
            keep = false;
            break;
        }
    }
    entry->changesRows = isRowChange(sql);
    entry->changesSchema = !isQueryOrRowChange(sql) || sql.contains(QLatin1String("MSysQueries"), Qt::CaseInsensitive);
    entry->reprepared = sqlite3_stmt_status(entry->stmt, SQLITE_STMTSTATUS_REPREPARE, 0);
    entry->stale = m_stale;
    entry->inUse = true;
    if (keep) {
        if (m_entries.size() >= kMaxEntries) {
            for (auto it = m_entries.begin(); it != m_entries.end();)
                it = (*it)->inUse ? std::next(it) : m_entries.erase(it);
        }
        m_entries.insert(sql, entry);
    }
    return StatementLease(entry);
}

void StatementCache::clear()
{
    // A lent statement is finalised when its lease ends.
    m_entries.clear();
    m_stale = std::make_shared<bool>(false);
}

// ---------------------------------------------------------------------------

StatementLease::StatementLease(std::shared_ptr<Entry> entry)
    : m_entry(std::move(entry))
{
}

StatementLease::StatementLease(StatementLease&& o) noexcept
    : m_entry(std::move(o.m_entry))
{
    o.m_entry.reset();
}

StatementLease& StatementLease::operator=(StatementLease&& o) noexcept
{
    if (this != &o) {
        release();
        m_entry = std::move(o.m_entry);
        o.m_entry.reset();
    }
    return *this;
}

sqlite3_stmt* StatementLease::get() const
{
    return m_entry ? m_entry->stmt : nullptr;
}

bool StatementLease::changesRows() const
{
    return m_entry && m_entry->changesRows;
}

bool StatementLease::changesSchema() const
{
    return m_entry && m_entry->changesSchema;
}

std::shared_ptr<const ColumnMeta> StatementLease::meta(bool withRowid) const
{
    // SQLite prepares a statement again by itself after a schema change it
    // was not told of; its columns may have changed with it.
    const int k = withRowid ? 1 : 0;
    const int reprepared = sqlite3_stmt_status(m_entry->stmt, SQLITE_STMTSTATUS_REPREPARE, 0);
    auto& slot = m_entry->meta[k];
    if (!slot || m_entry->metaReprepared[k] != reprepared) {
        slot = readColumnMeta(m_entry->stmt, withRowid);
        m_entry->metaReprepared[k] = reprepared;
    }
    return slot;
}

void StatementLease::release()
{
    if (!m_entry)
        return;
    const std::shared_ptr<Entry> entry = std::move(m_entry);
    m_entry.reset();
    sqlite3_reset(entry->stmt);
    sqlite3_clear_bindings(entry->stmt);
    const int reprepared = sqlite3_stmt_status(entry->stmt, SQLITE_STMTSTATUS_REPREPARE, 0);
    if (reprepared != entry->reprepared) {
        entry->reprepared = reprepared;
        *entry->stale = true;
    }
    entry->inUse = false;
}

} // namespace dao::detail
