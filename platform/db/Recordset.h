#pragma once
// A recordset: every row of the query is read when it opens, so rows can be
// edited while the recordset is walked. Edits and additions go straight to
// the base table (the first table of the FROM clause) when update() runs.
// A forward-only recordset (dbOpenForwardOnly) reads each row as the walk
// reaches it instead: it can only move forward and is read-only; its
// record count, moveFirst and moveLast fail with 3251.

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

struct sqlite3_stmt;

namespace dao {

class Database;

namespace detail {
struct ColumnMeta;
class StatementLease;
}

class Recordset {
public:
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    bool eof() const;
    bool bof() const;
    // No rows (forward-only: none left).
    bool isEmpty() const;
    void moveNext();
    void moveFirst();
    void moveLast();
    int recordCount() const;
    int absolutePosition() const { return m_pos; }
    bool isForwardOnly() const { return m_forwardOnly; }

    int fieldCount() const;
    QString fieldName(int i) const;
    int fieldType(int i) const;        // DAO type code
    int fieldAttributes(int i) const;  // 49 for the automatic number
    int fieldIndex(const QString& name) const;   // -1 when missing; case-blind
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }

    // Value of the current row (or of the row being added/edited).
    // A null QVariant is a field without a value. Throws 3021 with no
    // current row, 3265 for an unknown name.
    QVariant field(const QString& name) const;
    QVariant field(int index) const;
    QVariant operator[](const QString& name) const { return field(name); }
    // Convenience readers: a missing value gives the fallback.
    QString text(const QString& name, const QString& fallback = QString()) const;
    qint64 integer(const QString& name, qint64 fallback = 0) const;
    double number(const QString& name, double fallback = 0.0) const;
    bool flag(const QString& name) const;   // any non-zero number is true
    bool isNull(const QString& name) const;

    // Changing rows. setField only between addNew/edit and update.
    void addNew();
    void edit();
    void setField(const QString& name, const QVariant& value);
    void setField(int index, const QVariant& value);
    void update();          // writes the added or edited row
    void cancelUpdate();
    // Deletes the current row; the walk moves on to the next row by itself
    // (eof when none is left), so no moveNext follows.
    void remove();
    void close();
    bool isEditing() const { return m_editMode != None; }

private:
    friend class Database;
    friend class QueryDef;
    friend struct DatabaseAccess;
    explicit Recordset(Database* db);
    // Reads every row of a prepared statement; with withRowid its first
    // column is the base table's rowid and is not a field.
    void load(const detail::StatementLease& stmt, bool withRowid);
    // Keeps the statement and reads its first row; the walk reads the rest.
    void startForwardOnly(detail::StatementLease lease);
    void step();
    void checkOpen() const;
    bool belongsToBase(int index) const;
    void setTypes();

    enum EditMode { None, Adding, Editing };

    Database* m_db;
    std::shared_ptr<const detail::ColumnMeta> m_meta;   // names, origins and declared types of the columns
    std::vector<int> m_types;
    std::vector<std::vector<QVariant>> m_rows;         // forward-only: none
    std::vector<qint64> m_rowids;           // per row; empty when not updatable
    QString m_baseTable;                    // empty when read-only
    int m_pos = 0;
    EditMode m_editMode = None;
    std::vector<QVariant> m_buffer;
    std::vector<bool> m_dirty;
    bool m_closed = false;
    bool m_forwardOnly = false;
    bool m_hasRow = false;                               // forward-only: a current row
    std::unique_ptr<detail::StatementLease> m_lease;     // forward-only: the statement walked
};

} // namespace dao
