// Table definitions: the part of the database layer the schema conversion
// uses (create tables, add, drop and reorder columns, index names).

#include "Database.h"

#include "DbInternal.h"

#include <QRegularExpression>

#include <sqlite3.h>

namespace dao {

using namespace detail;

namespace {

// Hidden tables the layer keeps for itself.
bool isHiddenTable(const QString& name)
{
    return name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive)
        || name.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive);
}

struct CreateParts {
    QString head;        // "CREATE TABLE name ("
    QStringList items;   // column definitions and table constraints
    QString tail;        // ")" and table options
};

// Splits a CREATE TABLE text at its top-level commas.
CreateParts splitCreate(const QString& sql)
{
    CreateParts parts;
    const int open = sql.indexOf(QLatin1Char('('));
    if (open < 0)
        throw DbError(3000 + SQLITE_ERROR, QStringLiteral("Cannot read the table definition."));
    parts.head = sql.left(open + 1);
    int depth = 0;
    QString cur;
    int i = open + 1;
    for (; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            cur += c;
            for (++i; i < sql.size(); ++i) {
                cur += sql[i];
                if (sql[i] == close) {
                    if (close != QLatin1Char(']') && i + 1 < sql.size() && sql[i + 1] == close) {
                        cur += sql[++i];
                        continue;
                    }
                    break;
                }
            }
            continue;
        }
        if (c == QLatin1Char('('))
            ++depth;
        if (c == QLatin1Char(')')) {
            if (depth == 0)
                break;
            --depth;
        }
        if (c == QLatin1Char(',') && depth == 0) {
            parts.items << cur.trimmed();
            cur.clear();
            continue;
        }
        cur += c;
    }
    if (!cur.trimmed().isEmpty())
        parts.items << cur.trimmed();
    parts.tail = sql.mid(i);
    return parts;
}

// The first name of an item, without its quotes.
QString firstName(const QString& item, bool* quoted = nullptr)
{
    int i = 0;
    while (i < item.size() && item[i].isSpace())
        ++i;
    if (quoted)
        *quoted = false;
    if (i >= item.size())
        return QString();
    const QChar c = item[i];
    if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
        const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
        QString name;
        for (++i; i < item.size(); ++i) {
            if (item[i] == close) {
                if (close != QLatin1Char(']') && i + 1 < item.size() && item[i + 1] == close) {
                    name += close;
                    ++i;
                    continue;
                }
                break;
            }
            name += item[i];
        }
        if (quoted)
            *quoted = true;
        return name;
    }
    int j = i;
    while (j < item.size() && !item[j].isSpace() && item[j] != QLatin1Char('('))
        ++j;
    return item.mid(i, j - i);
}

bool isConstraint(const QString& item)
{
    bool quoted = false;
    const QString w = firstName(item, &quoted).toUpper();
    if (quoted)
        return false;
    return w == QLatin1String("CONSTRAINT") || w == QLatin1String("PRIMARY") || w == QLatin1String("UNIQUE")
        || w == QLatin1String("CHECK") || w == QLatin1String("FOREIGN");
}

bool mentionsColumn(const QString& text, const QString& column)
{
    const QRegularExpression re(QStringLiteral("(^|[^A-Za-z0-9_$])[\"`\\[]?%1[\"`\\]]?([^A-Za-z0-9_$]|$)")
                                    .arg(QRegularExpression::escape(column)),
                                QRegularExpression::CaseInsensitiveOption);
    return re.match(text).hasMatch();
}

bool isTextType(int type)
{
    return type == dbText || type == dbMemo;
}

QString fieldTypeSql(const FieldDef& f)
{
    if (f.autoNumber)
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    switch (f.type) {
    case dbBoolean: return QStringLiteral("BOOLEAN");
    case dbByte: return QStringLiteral("BYTE");
    case dbInteger: return QStringLiteral("SMALLINT");
    case dbLong: return QStringLiteral("INTEGER");
    case dbCurrency: return QStringLiteral("CURRENCY");
    case dbSingle: return QStringLiteral("SINGLE");
    case dbDouble: return QStringLiteral("DOUBLE");
    case dbDate: return QStringLiteral("DATETIME");
    case dbBinary: return QStringLiteral("BINARY");
    case dbLongBinary: return QStringLiteral("LONGBINARY");
    case dbMemo: return QStringLiteral("TEXT COLLATE NOCASE");
    case dbGUID: return QStringLiteral("GUID");
    default: return QStringLiteral("VARCHAR(%1) COLLATE NOCASE").arg(f.size > 0 ? f.size : 255);
    }
}

// A column definition. A required column added to a table that has rows
// needs a default: '' for texts, 0 for numbers.
QString fieldSql(const FieldDef& f, bool forAdd)
{
    QString s = ident(f.name) + QLatin1Char(' ') + fieldTypeSql(f);
    if (f.required && !f.autoNumber) {
        s += QStringLiteral(" NOT NULL");
        if (isTextType(f.type))
            s += QStringLiteral(" DEFAULT ''");
        else if (forAdd)
            s += QStringLiteral(" DEFAULT 0");
    }
    return s;
}

// Removes NOT NULL and DEFAULT clauses from a column definition.
QString withoutNullAndDefault(QString def)
{
    static const QRegularExpression notNull(QStringLiteral("\\s+NOT\\s+NULL(\\s+ON\\s+CONFLICT\\s+\\w+)?"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression dflt(
        QStringLiteral("\\s+DEFAULT\\s+('(?:[^']|'')*'|\\((?:[^()]|\\([^()]*\\))*\\)|[+-]?[\\w.]+)"),
        QRegularExpression::CaseInsensitiveOption);
    def.replace(notNull, QString());
    def.replace(dflt, QString());
    return def;
}

} // namespace

bool Database::hasTable(const QString& name) const
{
    return !canonicalTable(name).isEmpty();
}

QString Database::canonicalTable(const QString& name) const
{
    checkTransaction();
    QString n = name.trimmed();
    if (n.startsWith(QLatin1Char('[')) && n.endsWith(QLatin1Char(']')))
        n = n.mid(1, n.size() - 2);
    // Kept until the schema changes; names compare case-blind.
    const QString key = n.toCaseFolded();
    const auto cached = m_caches->tables.constFind(key);
    if (cached != m_caches->tables.constEnd())
        return *cached;
    Stmt s(m_db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
    s.bind(1, n);
    QString stored = s.step() ? s.value(0).toString() : QString();
    m_caches->tables.insert(key, stored);
    return stored;
}

QStringList Database::tableNames() const
{
    checkTransaction();
    QStringList names;
    Stmt s(m_db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name COLLATE NOCASE"));
    while (s.step()) {
        const QString n = s.value(0).toString();
        if (!isHiddenTable(n))
            names << n;
    }
    return names;
}

std::vector<ColumnInfo> Database::columns(const QString& table) const
{
    std::vector<ColumnInfo> cols;
    const QString t = canonicalTable(table);
    if (t.isEmpty())
        return cols;
    Stmt s(m_db, QStringLiteral("SELECT name, type, \"notnull\", pk FROM pragma_table_info(?)"));
    s.bind(1, t);
    while (s.step()) {
        ColumnInfo c;
        c.name = s.value(0).toString();
        c.declType = s.value(1).toString();
        c.type = typeFromDecl(c.declType);
        c.notNull = s.value(2).toLongLong() != 0;
        if (s.value(3).toLongLong() != 0) {
            int autoinc = 0, pk = 0;
            if (sqlite3_table_column_metadata(m_db, nullptr, t.toUtf8().constData(), c.name.toUtf8().constData(),
                                              nullptr, nullptr, nullptr, &pk, &autoinc) == SQLITE_OK
                && autoinc)
                c.attributes = dbAutoNumberAttributes;
        }
        cols.push_back(c);
    }
    return cols;
}

QStringList Database::columnNames(const QString& table) const
{
    QStringList names;
    for (const auto& c : columns(table))
        names << c.name;
    return names;
}

void Database::createTable(const TableDef& def)
{
    const SchemaChange changed{*this};
    if (hasTable(def.name) || hasQueryDef(def.name))
        throw DbError(3010, QStringLiteral("Table '%1' already exists.").arg(def.name));
    if (def.fields.empty())
        throw DbError(3000 + SQLITE_ERROR, QStringLiteral("Table '%1' has no fields.").arg(def.name));
    QStringList items;
    for (const FieldDef& f : def.fields)
        items << fieldSql(f, false);
    QStringList indexSql;
    for (const IndexDef& idx : def.indexes) {
        QStringList cols;
        for (const QString& f : idx.fields)
            cols << ident(f);
        if (idx.primary) {
            // An automatic number is the key already.
            bool autoKey = false;
            if (idx.fields.size() == 1)
                for (const FieldDef& f : def.fields)
                    autoKey = autoKey || (f.autoNumber && f.name.compare(idx.fields[0], Qt::CaseInsensitive) == 0);
            if (!autoKey)
                items << QStringLiteral("CONSTRAINT %1 PRIMARY KEY (%2)").arg(ident(idx.name), cols.join(QStringLiteral(", ")));
        } else {
            indexSql << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                            .arg(idx.unique ? QStringLiteral("UNIQUE ") : QString(),
                                 ident(def.name + QLatin1Char('_') + idx.name), ident(def.name),
                                 cols.join(QStringLiteral(", ")));
        }
    }
    exec(m_db, QStringLiteral("SAVEPOINT create_table"));
    try {
        exec(m_db, QStringLiteral("CREATE TABLE %1 (\n    %2\n)").arg(ident(def.name), items.join(QStringLiteral(",\n    "))));
        for (const QString& s : indexSql)
            exec(m_db, s);
        exec(m_db, QStringLiteral("RELEASE create_table"));
    } catch (...) {
        sqlite3_exec(m_db, "ROLLBACK TO create_table; RELEASE create_table;", nullptr, nullptr, nullptr);
        throw;
    }
}

void Database::appendField(const QString& table, const FieldDef& field)
{
    const SchemaChange changed{*this};
    const QString t = canonicalTable(table);
    if (t.isEmpty())
        throw DbError(3265, QStringLiteral("Item not found in this collection."));
    if (columnNames(t).contains(field.name, Qt::CaseInsensitive))
        throw DbError(3191, QStringLiteral("Cannot define field '%1' more than once.").arg(field.name));
    if (field.autoNumber)
        throw DbError(3000 + SQLITE_ERROR, QStringLiteral("Cannot add an automatic number to an existing table."));
    exec(m_db, QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(ident(t), fieldSql(field, true)));
}

void Database::deleteField(const QString& table, const QString& field)
{
    const SchemaChange changed{*this};
    const QString t = canonicalTable(table);
    if (t.isEmpty() || !columnNames(t).contains(field, Qt::CaseInsensitive))
        throw DbError(3265, QStringLiteral("Item not found in this collection."));
    if (columnNames(t).size() == 1)
        throw DbError(3000 + SQLITE_ERROR, QStringLiteral("Cannot delete the last field of '%1'.").arg(t));
    exec(m_db, QStringLiteral("SAVEPOINT drop_column"));
    bool dropped = true;
    try {
        exec(m_db, QStringLiteral("ALTER TABLE %1 DROP COLUMN %2").arg(ident(t), ident(field)));
    } catch (const DbError&) {
        dropped = false;
    }
    if (dropped) {
        exec(m_db, QStringLiteral("RELEASE drop_column"));
        return;
    }
    sqlite3_exec(m_db, "ROLLBACK TO drop_column; RELEASE drop_column;", nullptr, nullptr, nullptr);
    // SQLite refuses columns that a key or index names: rebuild without it.
    rebuildTable(t, [&](std::vector<ColumnDefText>& cols, QStringList& constraints) {
        std::erase_if(cols, [&](const ColumnDefText& c) { return c.name.compare(field, Qt::CaseInsensitive) == 0; });
        constraints.removeIf([&](const QString& c) { return mentionsColumn(c, field); });
    }, QStringList{field});
}

void Database::setFieldFlags(const QString& table, const QString& field, bool allowZeroLength, bool required)
{
    const SchemaChange changed{*this};
    Q_UNUSED(allowZeroLength);   // empty texts are always allowed
    const QString t = canonicalTable(table);
    if (t.isEmpty() || !columnNames(t).contains(field, Qt::CaseInsensitive))
        throw DbError(3265, QStringLiteral("Item not found in this collection."));
    bool text = false;
    for (const auto& c : columns(t))
        if (c.name.compare(field, Qt::CaseInsensitive) == 0)
            text = isTextType(c.type);
    rebuildTable(t, [&](std::vector<ColumnDefText>& cols, QStringList&) {
        for (auto& c : cols) {
            if (c.name.compare(field, Qt::CaseInsensitive) != 0)
                continue;
            c.definition = withoutNullAndDefault(c.definition);
            if (required) {
                // Rows that have no value get the empty text (or 0), so the
                // flag can be set on a column that was just added.
                const QString fill = text ? QStringLiteral("''") : QStringLiteral("0");
                c.definition += QStringLiteral(" NOT NULL DEFAULT ") + fill;
                c.copyFrom = QStringLiteral("coalesce(%1, %2)").arg(ident(c.name), fill);
            }
        }
    });
}

void Database::reorderColumns(const QString& table, const QStringList& order)
{
    const SchemaChange changed{*this};
    const QString t = canonicalTable(table);
    if (t.isEmpty())
        throw DbError(3265, QStringLiteral("Item not found in this collection."));
    const QStringList existing = columnNames(t);
    if (order.size() != existing.size())
        throw DbError(3000 + SQLITE_ERROR, QStringLiteral("The new column order of '%1' must name every column once.").arg(t));
    for (const QString& c : existing) {
        int named = 0;
        for (const QString& o : order)
            named += o.compare(c, Qt::CaseInsensitive) == 0 ? 1 : 0;
        if (named != 1)
            throw DbError(3000 + SQLITE_ERROR, QStringLiteral("The new column order of '%1' must name every column once.").arg(t));
    }
    rebuildTable(t, [&](std::vector<ColumnDefText>& cols, QStringList&) {
        std::vector<ColumnDefText> sorted;
        for (const QString& name : order)
            for (const auto& c : cols)
                if (c.name.compare(name, Qt::CaseInsensitive) == 0)
                    sorted.push_back(c);
        if (sorted.size() != cols.size())
            throw DbError(3000 + SQLITE_ERROR, QStringLiteral("The new column order of '%1' must name every column once.").arg(t));
        cols = std::move(sorted);
    });
}

void Database::rebuildTable(const QString& table,
                            const std::function<void(std::vector<ColumnDefText>&, QStringList&)>& change,
                            const QStringList& droppedColumns)
{
    const QString t = canonicalTable(table);
    QString createSql;
    {
        Stmt s(m_db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?"));
        s.bind(1, t);
        if (!s.step())
            throw DbError(3265, QStringLiteral("Item not found in this collection."));
        createSql = s.value(0).toString();
    }
    const CreateParts parts = splitCreate(createSql);
    std::vector<ColumnDefText> cols;
    QStringList constraints;
    for (const QString& item : parts.items) {
        if (isConstraint(item))
            constraints << item;
        else
            cols.push_back({firstName(item), item, ident(firstName(item))});
    }
    change(cols, constraints);

    // Indexes and triggers on the table go with DROP TABLE; keep their text.
    struct Named {
        QString name, sql;
    };
    std::vector<Named> indexes, triggers;
    {
        Stmt s(m_db, QStringLiteral("SELECT type, name, sql FROM sqlite_master "
                                    "WHERE tbl_name = ? AND type IN ('index', 'trigger') AND sql IS NOT NULL ORDER BY rowid"));
        s.bind(1, t);
        while (s.step()) {
            const Named n{s.value(1).toString(), s.value(2).toString()};
            if (s.value(0).toString() == QLatin1String("trigger")) {
                triggers.push_back(n);
            } else {
                bool keep = true;
                Stmt cs(m_db, QStringLiteral("SELECT name FROM pragma_index_info(?)"));
                cs.bind(1, n.name);
                while (cs.step())
                    keep = keep && !droppedColumns.contains(cs.value(0).toString(), Qt::CaseInsensitive);
                if (keep)
                    indexes.push_back(n);
            }
        }
    }
    QVariant sequence;
    if (hasTable(QStringLiteral("sqlite_sequence"))) {
        Stmt s(m_db, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"));
        s.bind(1, t);
        if (s.step())
            sequence = s.value(0);
    }
    bool withoutRowid = parts.tail.contains(QLatin1String("WITHOUT"), Qt::CaseInsensitive);

    QStringList items, newNames, copyExprs;
    for (const auto& c : cols) {
        items << c.definition;
        if (!c.copyFrom.isEmpty()) {
            newNames << ident(c.name);
            copyExprs << c.copyFrom;
        }
    }
    items << constraints;
    const QString oldName = t + QStringLiteral("__rebuild");

    int legacy = 0;
    {
        Stmt s(m_db, QStringLiteral("PRAGMA legacy_alter_table"));
        if (s.step())
            legacy = int(s.value(0).toLongLong());
    }
    exec(m_db, QStringLiteral("SAVEPOINT rebuild_table"));
    try {
        for (const auto& i : indexes)
            exec(m_db, QStringLiteral("DROP INDEX %1").arg(ident(i.name)));
        for (const auto& tr : triggers)
            exec(m_db, QStringLiteral("DROP TRIGGER %1").arg(ident(tr.name)));
        // Legacy renaming leaves other tables' triggers naming this table alone.
        exec(m_db, QStringLiteral("PRAGMA legacy_alter_table = ON"));
        exec(m_db, QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(ident(t), ident(oldName)));
        exec(m_db, QStringLiteral("PRAGMA legacy_alter_table = %1").arg(legacy));
        exec(m_db, QStringLiteral("CREATE TABLE %1 (\n    %2\n)%3")
                       .arg(ident(t), items.join(QStringLiteral(",\n    ")), parts.tail.mid(1)));
        if (withoutRowid)
            exec(m_db, QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4")
                           .arg(ident(t), newNames.join(QStringLiteral(", ")), copyExprs.join(QStringLiteral(", ")), ident(oldName)));
        else
            exec(m_db, QStringLiteral("INSERT INTO %1 (rowid%2) SELECT rowid%3 FROM %4 ORDER BY rowid")
                           .arg(ident(t), newNames.isEmpty() ? QString() : QStringLiteral(", ") + newNames.join(QStringLiteral(", ")),
                                copyExprs.isEmpty() ? QString() : QStringLiteral(", ") + copyExprs.join(QStringLiteral(", ")),
                                ident(oldName)));
        exec(m_db, QStringLiteral("DROP TABLE %1").arg(ident(oldName)));
        for (const auto& i : indexes)
            exec(m_db, i.sql);
        for (const auto& tr : triggers)
            exec(m_db, tr.sql);
        if (sequence.isValid() && hasTable(QStringLiteral("sqlite_sequence"))) {
            Stmt up(m_db, QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, ?) WHERE name = ?"));
            up.bind(1, sequence);
            up.bind(2, t);
            up.step();
            if (sqlite3_changes(m_db) == 0) {
                Stmt ins(m_db, QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"));
                ins.bind(1, t);
                ins.bind(2, sequence);
                ins.step();
            }
        }
        exec(m_db, QStringLiteral("RELEASE rebuild_table"));
    } catch (...) {
        sqlite3_exec(m_db, "ROLLBACK TO rebuild_table; RELEASE rebuild_table;", nullptr, nullptr, nullptr);
        sqlite3_exec(m_db, QStringLiteral("PRAGMA legacy_alter_table = %1").arg(legacy).toUtf8().constData(), nullptr, nullptr, nullptr);
        throw;
    }
}

std::vector<IndexDef> Database::indexes(const QString& table) const
{
    std::vector<IndexDef> out;
    const QString t = canonicalTable(table);
    if (t.isEmpty())
        return out;
    // The primary key shows under the name given when the table was made,
    // or under the table's own name.
    {
        IndexDef pk;
        Stmt s(m_db, QStringLiteral("SELECT name FROM pragma_table_info(?) WHERE pk > 0 ORDER BY pk"));
        s.bind(1, t);
        while (s.step())
            pk.fields << s.value(0).toString();
        if (!pk.fields.isEmpty()) {
            Stmt q(m_db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?"));
            q.bind(1, t);
            const QString sql = q.step() ? q.value(0).toString() : QString();
            static const QRegularExpression named(
                QStringLiteral("CONSTRAINT\\s+(\"(?:[^\"]|\"\")+\"|\\[[^\\]]+\\]|`[^`]+`|\\w+)\\s+PRIMARY\\s+KEY"),
                QRegularExpression::CaseInsensitiveOption);
            const auto m = named.match(sql);
            pk.name = m.hasMatch() ? firstName(m.captured(1)) : t;
            pk.primary = true;
            pk.unique = true;
            out.push_back(pk);
        }
    }
    Stmt s(m_db, QStringLiteral("SELECT name, \"unique\", origin FROM pragma_index_list(?) ORDER BY seq DESC"));
    s.bind(1, t);
    while (s.step()) {
        const QString name = s.value(0).toString();
        const QString origin = s.value(2).toString();
        if (origin == QLatin1String("pk"))
            continue;
        IndexDef idx;
        idx.unique = s.value(1).toLongLong() != 0;
        Stmt cs(m_db, QStringLiteral("SELECT name FROM pragma_index_info(?) ORDER BY seqno"));
        cs.bind(1, name);
        while (cs.step())
            idx.fields << cs.value(0).toString();
        const QString prefix = t + QLatin1Char('_');
        if (origin == QLatin1String("u"))
            idx.name = idx.fields.join(QLatin1Char('_'));
        else if (name.startsWith(prefix, Qt::CaseInsensitive) && name.size() > prefix.size())
            idx.name = name.mid(prefix.size());
        else
            idx.name = name;
        out.push_back(idx);
    }
    return out;
}

qint64 Database::nextAutoNumber(const QString& table)
{
    const QString t = canonicalTable(table);
    if (t.isEmpty())
        throw DbError(3265, QStringLiteral("Item not found in this collection."));
    qint64 seq = 0;
    if (hasTable(QStringLiteral("sqlite_sequence"))) {
        Stmt s(m_db, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"));
        s.bind(1, t);
        if (s.step())
            seq = s.value(0).toLongLong();
    }
    Stmt m(m_db, QStringLiteral("SELECT max(rowid) FROM %1").arg(ident(t)));
    qint64 top = 0;
    if (m.step())
        top = m.value(0).toLongLong();
    return std::max(seq, top) + 1;
}

} // namespace dao
