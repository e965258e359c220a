#pragma once
// Prepared statements kept for reuse, keyed by their SQLite text, with what
// a recordset reads of their columns. Internal to the database layer.
//
// A statement is lent to one user at a time; a second user of the same
// text while the first holds it gets a statement of its own, dropped after
// use. Returned statements are reset and their values unbound. clear()
// drops every statement (a lent one when it comes back): the layer calls it
// whenever the schema or the saved queries may have changed.

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace dao::detail {

// The result columns of a prepared statement as a recordset shows them.
struct ColumnMeta {
    QStringList names;
    std::vector<QString> originTables;    // per column, may be empty
    std::vector<QString> originColumns;
    std::vector<QString> declTypes;       // empty for expressions
    std::vector<int> declaredTypes;       // DAO type of the declared type, -1 for expressions
    std::vector<int> attributes;
    // Field names already looked up, as callers write them.
    mutable QHash<QString, int> lookups;
};

// The columns of a statement; with withRowid its first column is the row
// key and no field.
std::shared_ptr<const ColumnMeta> readColumnMeta(sqlite3_stmt* stmt, bool withRowid);

class StatementCache;

// One use of a statement; gives it back when it goes.
class StatementLease {
public:
    struct Entry;

    StatementLease() = default;
    StatementLease(StatementLease&& o) noexcept;
    StatementLease& operator=(StatementLease&& o) noexcept;
    ~StatementLease() { release(); }
    StatementLease(const StatementLease&) = delete;
    StatementLease& operator=(const StatementLease&) = delete;

    sqlite3_stmt* get() const;
    explicit operator bool() const { return bool(m_entry); }
    // Read once per statement (again when SQLite prepared it anew); ask
    // after the first step, which is when SQLite does that.
    std::shared_ptr<const ColumnMeta> meta(bool withRowid) const;
    // The statement changes rows (INSERT, UPDATE, DELETE, REPLACE).
    bool changesRows() const;
    // The statement may change what translations depend on: anything but a
    // query or a row change, or a row change of the saved queries.
    bool changesSchema() const;
    void release();

private:
    friend class StatementCache;
    explicit StatementLease(std::shared_ptr<Entry> entry);
    std::shared_ptr<Entry> m_entry;
};

class StatementCache {
public:
    explicit StatementCache(sqlite3* db);
    ~StatementCache();
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // The prepared statement of sql. Text that holds more than one
    // statement gives an empty lease, or with firstOnly a statement of the
    // first one (not kept). Throws DbError when it cannot be prepared, and
    // with firstOnly when the text holds no statement.
    StatementLease acquire(const QString& sql, bool firstOnly = false);
    void clear();
    // True once a statement was prepared again by SQLite itself: the schema
    // changed without the layer's knowledge, so its caches are stale.
    bool stale() const { return *m_stale; }

private:
    sqlite3* m_db;
    QHash<QString, std::shared_ptr<StatementLease::Entry>> m_entries;
    std::shared_ptr<bool> m_stale;   // shared with the statements, which outlive a clear()
};

} // namespace dao::detail
