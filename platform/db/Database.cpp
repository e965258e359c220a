#include "Database.h"

#include "DbInternal.h"
#include "JetSql.h"
#include "QueryDef.h"
#include "Recordset.h"
#include "SqlFunctions.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <optional>

namespace dao {

using detail::StatementLease;

namespace {

const char kQueryTable[] = "MSysQueries";
// Translations kept; beyond this they are dropped and kept anew.
constexpr int kMaxTranslations = 2048;

} // namespace

void DatabaseAccess::schemaChanged(Database& db)
{
    db.schemaChanged();
}

using namespace detail;

namespace {

void setUpConnection(sqlite3* db, Database* owner)
{
    sqlite3_busy_timeout(db, 5000);
    sqlite3_extended_result_codes(db, 0);
    registerSqlFunctions(db, owner);
    exec(db, QStringLiteral("PRAGMA foreign_keys = OFF; PRAGMA recursive_triggers = ON;"));
    // A season's results and their indexes stay in memory (64 MiB at most,
    // taken as pages are read), and so do the sorts of the standings and
    // statistics; the default of 2 MiB would read them from the file again
    // and again.
    exec(db, QStringLiteral("PRAGMA cache_size = -65536;"));
}

bool isDataChange(const QString& sql)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(INSERT|UPDATE|DELETE|REPLACE)\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(sql).hasMatch();
}

} // namespace

// ---------------------------------------------------------------------------
// Opening

Database::Database(sqlite3* db, QString path)
    : m_db(db), m_path(std::move(path)), m_caches(std::make_unique<detail::Caches>(db))
{
}

Database::~Database()
{
    m_caches.reset();
    sqlite3_close_v2(m_db);
}

void Database::schemaChanged()
{
    m_caches->statements.clear();
    m_caches->translations.clear();
    m_caches->plainSelects.clear();
    m_caches->tables.clear();
    m_caches->queries.clear();
    m_caches->shapes.clear();
    ++m_schemaGeneration;
}

std::unique_ptr<Database> Database::open(const QString& path)
{
    const QFileInfo fi(path);
    if (!fi.exists())
        throw DbError(3024, QStringLiteral("Could not find file '%1'.").arg(path));
    const QString unrecognised = QStringLiteral("Unrecognized database format '%1'.").arg(path);
    const QString noAccess = QStringLiteral("Cannot open the file '%1'. It is already opened exclusively by another "
                                            "user, or you need permission to change its data.")
                                 .arg(path);
    // An empty file would pass for an empty database; it is no league file.
    if (!fi.isFile() || fi.size() == 0)
        throw DbError(3343, unrecognised);
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(raw);
        throw DbError(rc == SQLITE_CANTOPEN || rc == SQLITE_PERM ? 3051 : 3343, rc == SQLITE_CANTOPEN || rc == SQLITE_PERM ? noAccess : unrecognised);
    }
    std::unique_ptr<Database> db(new Database(raw, path));
    // The open is lazy: read the schema to know the file is a database.
    sqlite3_busy_timeout(raw, 5000);
    sqlite3_stmt* st = nullptr;
    int vr = sqlite3_prepare_v2(raw, "SELECT count(*) FROM sqlite_master", -1, &st, nullptr);
    if (vr == SQLITE_OK)
        vr = sqlite3_step(st);
    sqlite3_finalize(st);
    if (vr != SQLITE_ROW) {
        const int code = vr & 0xff;
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED || code == SQLITE_PERM || code == SQLITE_CANTOPEN)
            throw DbError(3051, noAccess);
        throw DbError(3343, unrecognised);
    }
    if (sqlite3_db_readonly(raw, "main") == 1)
        throw DbError(3051, noAccess);
    setUpConnection(raw, db.get());
    return db;
}

std::unique_ptr<Database> Database::create(const QString& path)
{
    if (QFileInfo::exists(path))
        throw DbError(3204, QStringLiteral("Database already exists."));
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QStringLiteral("Cannot create '%1'.").arg(path);
        sqlite3_close_v2(raw);
        throw DbError(3000 + (rc & 0xff), msg);
    }
    std::unique_ptr<Database> db(new Database(raw, path));
    setUpConnection(raw, db.get());
    // Write the file header now so the new file is a database at once.
    exec(raw, QStringLiteral("CREATE TABLE __new(x); DROP TABLE __new;"));
    return db;
}

// ---------------------------------------------------------------------------
// Statements

jet::Context Database::translationContext()
{
    jet::Context ctx;
    ctx.savedQuerySql = [this](const QString& name) -> QString {
        const auto query = findQueryDef(name);
        if (!query)
            return QString();
        QString sql = query->second.toString();
        if (sql.isNull())
            sql = QLatin1String("");
        return sql;
    };
    // Kept per table until the schema changes: the widths are read for
    // every write that is translated.
    const auto shape = [this](const QString& table) -> const std::pair<QStringList, QList<int>>& {
        const QString key = table.toLower();
        auto it = m_caches->shapes.find(key);
        if (it == m_caches->shapes.end()) {
            std::pair<QStringList, QList<int>> made;
            const bool scratch = isScratchTable(table);
            for (const ColumnInfo& c : columns(table)) {
                made.first << c.name;
                made.second << (c.type == dbText && !scratch ? declWidth(c.declType) : 0);
            }
            it = m_caches->shapes.insert(key, made);
        }
        return *it;
    };
    ctx.tableColumns = [shape](const QString& table) { return shape(table).first; };
    ctx.tableColumnWidths = [shape](const QString& table) { return shape(table).second; };
    ctx.tableCreateSql = [this](const QString& table) -> QString {
        Stmt s(m_db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
        s.bind(1, table);
        return s.step() ? s.value(0).toString() : QString();
    };
    return ctx;
}

bool detail::unresolvedColumn(const DbError& e, QString& name)
{
    static const QLatin1String prefix("no such column: ");
    if (!e.description().startsWith(prefix))
        return false;
    name = e.description().mid(prefix.size()).trimmed();
    return !name.isEmpty() && !name.contains(QLatin1Char('.'));
}

void Database::withTranslation(const QString& jetSql, const std::function<void(const jet::Translation&)>& body)
{
    if (m_caches->statements.stale())
        schemaChanged();
    // A text translates the same way until the schema or the saved queries
    // change, names found to be aliases or parameters included.
    auto& translations = m_caches->translations;
    const auto cached = translations.constFind(jetSql);
    if (cached != translations.constEnd()) {
        // A copy, not a reference: the body may drop the caches.
        const jet::Translation t = *cached;   // NOLINT(performance-unnecessary-copy-initialization)
        try {
            body(t);
            return;
        } catch (const DbError& e) {
            QString name;
            if (!unresolvedColumn(e, name))
                throw;
            // Changed behind the layer's back: translate afresh.
            schemaChanged();
        }
    }
    jet::Context ctx = translationContext();
    for (int attempt = 0;; ++attempt) {
        const jet::Translation t = jet::translate(jetSql, ctx);
        try {
            const quint64 generation = m_schemaGeneration;
            body(t);
            // A statement that changed the schema translates anew next time.
            if (generation == m_schemaGeneration) {
                if (translations.size() >= kMaxTranslations)
                    translations.clear();
                translations.insert(jetSql, t);
            }
            return;
        } catch (const DbError& e) {
            QString name;
            if (attempt >= 32 || !unresolvedColumn(e, name) || ctx.unresolved.contains(name.toLower()))
                throw;
            // An alias reused in the same list, or a parameter: translate again.
            ctx.unresolved.insert(name.toLower());
        }
    }
}

int Database::execute(const QString& sql)
{
    return execute(sql, QVariantList());
}

int Database::execute(const QString& sql, const QVariantList& values)
{
    int changes = 0;
    withTranslation(sql, [&](const jet::Translation& t) {
        for (const auto& bound : t.boundWidths)
            checkWidth(values.value(bound.parameter), bound.width, bound.column);
        changes = runStatements(t.statements, values);
    });
    return changes;
}

int Database::runStatements(const QStringList& statements, const QVariantList& values)
{
    checkTransaction();
    // Several statements (SELECT ... INTO) stand or fall together.
    const bool guarded = statements.size() > 1;
    if (guarded)
        exec(m_db, QStringLiteral("SAVEPOINT jet_statement"));
    int changes = 0;
    try {
        int used = 0;
        auto run = [&](sqlite3_stmt* raw, bool changesRows) {
            const int n = sqlite3_bind_parameter_count(raw);
            for (int i = 0; i < n; ++i) {
                const QVariant v = used + i < values.size() ? values[used + i] : QVariant();
                bindValue(m_db, raw, i + 1, v);
            }
            used += n;
            int src;
            while ((src = sqlite3_step(raw)) == SQLITE_ROW) {
            }
            if (src != SQLITE_DONE)
                throw sqliteError(m_db, src);
            if (changesRows)
                changes += sqlite3_changes(m_db);
        };
        for (const QString& text : statements) {
            // One statement: prepared once and kept.
            if (StatementLease lease = m_caches->statements.acquire(text)) {
                const bool schema = lease.changesSchema();
                try {
                    run(lease.get(), lease.changesRows());
                } catch (...) {
                    if (schema)
                        schemaChanged();
                    throw;
                }
                if (schema)
                    schemaChanged();
                continue;
            }
            const QByteArray utf8 = text.toUtf8();
            const char* tail = utf8.constData();
            const char* end = tail + utf8.size();
            while (tail < end) {
                const char* next = end;
                const Stmt st(m_db, prepare(m_db, tail, end, &next));
                const QString piece = QString::fromUtf8(tail, int(next - tail));
                tail = next;
                if (!st)
                    continue;   // blanks or a lone ';'
                // Any of several statements may change the schema.
                const SchemaChange changed{*this};
                run(st.get(), isDataChange(piece));
            }
        }
        if (guarded)
            exec(m_db, QStringLiteral("RELEASE jet_statement"));
    } catch (...) {
        if (guarded && !sqlite3_get_autocommit(m_db)) {
            sqlite3_exec(m_db, "ROLLBACK TO jet_statement; RELEASE jet_statement;", nullptr, nullptr, nullptr);
            schemaChanged();
        }
        throw;
    }
    return changes;
}

QVariant Database::scalar(const QString& sql)
{
    // Only the first row is read.
    auto rs = openRecordset(sql, {}, dbOpenForwardOnly);
    if (rs->eof() || rs->fieldCount() == 0)
        return QVariant();
    return rs->field(0);
}

void Database::setScratchTables(const QStringList& tables)
{
    m_scratchTables.clear();
    for (const QString& t : tables)
        m_scratchTables.insert(t.toCaseFolded());
    // Translations hold the widths they checked.
    schemaChanged();
}

bool Database::isScratchTable(const QString& table) const
{
    return m_scratchTables.contains(table.toCaseFolded());
}

QString Database::translate(const QString& jetSql)
{
    return jet::translate(jetSql, translationContext()).statements.join(QStringLiteral(";\n"));
}

qint64 Database::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

void Database::setParameters(const QHash<QString, QVariant>& params)
{
    m_params.clear();
    for (auto it = params.constBegin(); it != params.constEnd(); ++it)
        m_params.insert(normaliseParameterName(it.key()), it.value());
}

void Database::clearParameters()
{
    m_params.clear();
}

QString Database::normaliseParameterName(const QString& name)
{
    QString n = name.trimmed();
    if (n.startsWith(QLatin1Char('[')) && n.endsWith(QLatin1Char(']')))
        n = n.mid(1, n.size() - 2);
    return n.toLower();
}

// ---------------------------------------------------------------------------
// Saved queries

std::optional<std::pair<QString, QVariant>> Database::findQueryDef(const QString& name) const
{
    // Names compare as the database compares them: case-blind.
    const QString key = name.toCaseFolded();
    const auto cached = m_caches->queries.constFind(key);
    if (cached != m_caches->queries.constEnd())
        return *cached;
    std::optional<std::pair<QString, QVariant>> found;
    if (hasTable(QLatin1String(kQueryTable))) {
        Stmt s(m_db, QStringLiteral("SELECT Name, SQL FROM MSysQueries WHERE Name = ? COLLATE NOCASE"));
        s.bind(1, name);
        if (s.step())
            found = std::make_pair(s.value(0).toString(), s.value(1));
    }
    m_caches->queries.insert(key, found);
    return found;
}

bool Database::hasQueryDef(const QString& name) const
{
    return findQueryDef(name).has_value();
}

QueryDef Database::createQueryDef(const QString& name, const QString& sql)
{
    if (name.trimmed().isEmpty())
        throw DbError(3125, QStringLiteral("'%1' isn't a valid name.").arg(name));
    if (hasQueryDef(name) || hasTable(name))
        throw DbError(3012, QStringLiteral("Object '%1' already exists.").arg(name));
    jet::refuseNul(sql);
    const SchemaChange changed{*this};
    exec(m_db, QStringLiteral("CREATE TABLE IF NOT EXISTS MSysQueries ("
                              "Name TEXT PRIMARY KEY COLLATE NOCASE, SQL TEXT, Seq INTEGER)"));
    Stmt s(m_db, QStringLiteral("INSERT INTO MSysQueries (Name, SQL, Seq) "
                                "VALUES (?, ?, (SELECT coalesce(max(Seq), 0) + 1 FROM MSysQueries))"));
    s.bind(1, name);
    s.bind(2, sql);
    s.step();
    return QueryDef(this, name, sql);
}

QueryDef Database::queryDef(const QString& name)
{
    if (const auto query = findQueryDef(name))
        return QueryDef(this, query->first, query->second.toString());
    throw DbError(3265, QStringLiteral("Item not found in this collection."));
}

QStringList Database::queryDefNames() const
{
    QStringList names;
    if (!hasTable(QLatin1String(kQueryTable)))
        return names;
    Stmt s(m_db, QStringLiteral("SELECT Name FROM MSysQueries ORDER BY Seq, rowid"));
    while (s.step())
        names << s.value(0).toString();
    return names;
}

void Database::deleteQueryDef(const QString& name)
{
    if (!hasQueryDef(name))
        throw DbError(3265, QStringLiteral("Item not found in this collection."));
    Stmt s(m_db, QStringLiteral("DELETE FROM MSysQueries WHERE Name = ? COLLATE NOCASE"));
    s.bind(1, name);
    schemaChanged();
    s.step();
}

// ---------------------------------------------------------------------------
// Transactions

void Database::checkTransaction() const
{
    // SQLite rolls a whole transaction back by itself after some errors
    // (disk full, I/O error) while the caller still counts it open: what
    // follows must not run on its own, outside any transaction.
    if (m_transDepth > 0 && sqlite3_get_autocommit(m_db))
        throw DbError(3000 + SQLITE_ABORT, QStringLiteral("The transaction was ended by the database after an earlier "
                                                          "error; nothing of it was saved."));
}

void Database::beginTrans()
{
    checkTransaction();
    if (m_transDepth == 0)
        exec(m_db, QStringLiteral("BEGIN IMMEDIATE"));
    else
        exec(m_db, QStringLiteral("SAVEPOINT trans_%1").arg(m_transDepth));
    ++m_transDepth;
}

void Database::commitTrans()
{
    checkTransaction();
    if (m_transDepth == 0)
        throw DbError(3034, QStringLiteral("You tried to commit or rollback a transaction without first beginning a transaction."));
    const int level = m_transDepth - 1;
    if (level == 0)
        exec(m_db, QStringLiteral("COMMIT"));
    else
        exec(m_db, QStringLiteral("RELEASE trans_%1").arg(level));
    m_transDepth = level;
}

void Database::rollback()
{
    if (m_transDepth == 0)
        throw DbError(3034, QStringLiteral("You tried to commit or rollback a transaction without first beginning a transaction."));
    // What is rolled back may have been schema or saved queries.
    schemaChanged();
    const int level = m_transDepth - 1;
    m_transDepth = level;
    // When SQLite has rolled everything back already, each level only
    // unwinds; the outer levels stay refused until they roll back too.
    if (sqlite3_get_autocommit(m_db))
        return;
    if (level == 0)
        exec(m_db, QStringLiteral("ROLLBACK"));
    else
        exec(m_db, QStringLiteral("ROLLBACK TO trans_%1; RELEASE trans_%1").arg(level));
}

Transaction::Transaction(Database& db)
    : m_db(db)
{
    m_db.beginTrans();
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    try {
        m_db.rollback();
    } catch (...) {
        // Nothing more can be done while unwinding.
    }
}

void Transaction::commit()
{
    if (m_done)
        return;
    m_db.commitTrans();
    m_done = true;
}

void Transaction::rollback()
{
    if (m_done)
        return;
    m_done = true;
    m_db.rollback();
}

// ---------------------------------------------------------------------------

QString quote(const QString& text)
{
    return QLatin1Char('\'') + escape(text) + QLatin1Char('\'');
}

QString escape(const QString& text)
{
    QString s = text;
    s.replace(QLatin1Char('\''), QStringLiteral("''"));
    return s;
}

} // namespace dao
