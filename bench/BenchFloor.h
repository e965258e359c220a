#pragma once
// The floor of a benchmarked job: the same disk work done with the SQLite C
// API alone. One run of the job is recorded first (the page files it
// replaced, the tables it changed); the floor then writes the same bytes to
// files of the same names, each synced and renamed, and makes the same row
// changes in one transaction on a copy of the database, through a
// connection with the program's journal mode and synchronous setting.
// RunAgainstFloor times job and floor in alternating rounds.

#include "Database.h"
#include "State.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

namespace benchfloor {

class Floor {
public:
    Floor() = default;
    ~Floor()
    {
        for (Change& c : m_changes) {
            sqlite3_finalize(c.remove);
            sqlite3_finalize(c.write);
            for (auto& row : c.rows)
                for (sqlite3_value* v : row)
                    sqlite3_value_free(v);
        }
        sqlite3_finalize(m_begin);
        sqlite3_finalize(m_commit);
        sqlite3_close_v2(m_db);
    }
    Floor(const Floor&) = delete;
    Floor& operator=(const Floor&) = delete;

    // Runs the job once against the program folder, noting the files of
    // TXT/ and HTML/ it replaced (in the order written) and the tables it
    // changed.
    bool Record(const QString& programDir, const std::function<bool()>& job)
    {
        const auto before = Inodes(programDir);
        QSet<QString> tables;
        sqlite3* db = dbMain->handle();
        sqlite3_update_hook(db, &Floor::OnUpdate, &tables);
        const bool ok = job();
        sqlite3_update_hook(db, nullptr, nullptr);
        if (!ok)
            return fail(QStringLiteral("the job failed while it was recorded"));
        m_changedTables = tables;

        struct Written {
            QString relative;
            qint64 mtime;
        };
        std::vector<Written> written;
        for (const auto& [relative, inode] : Inodes(programDir)) {
            const auto old = before.find(relative);
            if (old == before.end() || old->second.inode != inode.inode)
                written.push_back({relative, inode.mtime});
        }
        std::stable_sort(written.begin(), written.end(),
                         [](const Written& a, const Written& b) { return a.mtime < b.mtime; });
        for (const Written& w : written) {
            QFile f(programDir + QLatin1Char('/') + w.relative);
            if (!f.open(QIODevice::ReadOnly))
                return fail(QStringLiteral("cannot read ") + w.relative);
            m_files.push_back({w.relative, f.readAll()});
        }
        m_source = dbMain->path();
        return true;
    }

    // Rows the floor deletes and inserts again, as they stand after the job.
    void Rewrite(const QString& table, const QString& where) { m_changes.push_back(Change{table, where, false, nullptr, nullptr, {}}); }
    // Rows the floor writes in place with the values they have after the job.
    void Update(const QString& table, const QString& where) { m_changes.push_back(Change{table, where, true, nullptr, nullptr, {}}); }

    // Copies the database and the rows to write; fails when the job changed
    // a table the floor does not write.
    bool Prepare()
    {
        for (const QString& t : m_changedTables) {
            const bool covered = std::any_of(m_changes.begin(), m_changes.end(), [&](const Change& c) {
                return c.table.compare(t, Qt::CaseInsensitive) == 0;
            });
            if (!covered)
                return fail(QStringLiteral("the job changed table ") + t + QStringLiteral(", which the floor does not write"));
        }
        if (!m_dir.isValid())
            return fail(QStringLiteral("no scratch folder"));
        const QString copy = m_dir.filePath(QStringLiteral("floor.db"));
        if (!QFile::copy(m_source, copy))
            return fail(QStringLiteral("cannot copy the database"));
        if (sqlite3_open_v2(QFile::encodeName(copy).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            return fail(QStringLiteral("cannot open the copy"));
        // The program connection's durability settings.
        const QByteArray journal = Pragma(dbMain->handle(), "journal_mode");
        const QByteArray sync = Pragma(dbMain->handle(), "synchronous");
        if (!Exec("PRAGMA journal_mode = " + journal) || !Exec("PRAGMA synchronous = " + sync))
            return false;
        if (Pragma(m_db, "journal_mode") != journal || Pragma(m_db, "synchronous") != sync)
            return fail(QStringLiteral("the copy does not take the program's journal and synchronous settings"));
        m_settings = QStringLiteral("journal_mode=%1, synchronous=%2").arg(QString::fromLatin1(journal), QString::fromLatin1(sync));

        for (Change& c : m_changes) {
            if (!ReadRows(c))
                return false;
        }
        for (const FileBytes& f : m_files)
            QDir(m_dir.path()).mkpath(QFileInfo(f.relative).path());
        return Prepare(m_begin, QStringLiteral("BEGIN IMMEDIATE")) && Prepare(m_commit, QStringLiteral("COMMIT"));
    }

    // The same disk work once: the row changes in one transaction, then the files.
    bool Run()
    {
        if (!Step(m_begin))
            return false;
        for (Change& c : m_changes) {
            if (c.remove && !Step(c.remove))
                return rollback();
            for (auto& row : c.rows) {
                for (size_t i = 0; i < row.size(); ++i)
                    sqlite3_bind_value(c.write, int(i + 1), row[i]);
                if (!Step(c.write))
                    return rollback();
            }
        }
        if (!Step(m_commit))
            return rollback();
        for (const FileBytes& f : m_files)
            if (!WriteSynced(m_dir.filePath(f.relative), f.bytes))
                return fail(QStringLiteral("cannot write ") + f.relative);
        return true;
    }

    QString error() const { return m_error; }
    // What one run writes, for the benchmark's label.
    QString Describe() const
    {
        int rows = 0;
        for (const Change& c : m_changes)
            rows += int(c.rows.size());
        qint64 bytes = 0;
        for (const FileBytes& f : m_files)
            bytes += f.bytes.size();
        return QStringLiteral("floor: %1 rows, %2 files (%3 bytes), %4").arg(rows).arg(m_files.size()).arg(bytes).arg(m_settings);
    }

private:
    struct Change {
        QString table;
        QString where;
        bool update = false;
        sqlite3_stmt* remove = nullptr;
        sqlite3_stmt* write = nullptr;
        std::vector<std::vector<sqlite3_value*>> rows;
    };
    struct FileBytes {
        QString relative;
        QByteArray bytes;
    };
    struct Inode {
        ino_t inode;
        qint64 mtime;
    };

    static void OnUpdate(void* data, int, const char*, const char* table, sqlite3_int64)
    {
        static_cast<QSet<QString>*>(data)->insert(QString::fromUtf8(table));
    }

    static std::map<QString, Inode> Inodes(const QString& programDir)
    {
        std::map<QString, Inode> out;
        for (const char* sub : {"TXT", "HTML"}) {
            const QDir d(programDir + QLatin1Char('/') + QLatin1String(sub));
            for (const QString& name : d.entryList(QDir::Files)) {
                struct stat st {};
                if (::stat(QFile::encodeName(d.filePath(name)).constData(), &st) == 0)
                    out[QLatin1String(sub) + QLatin1Char('/') + name] = {st.st_ino,
                                                                         qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
            }
        }
        return out;
    }

    // As the program's atomic write: a new file beside the target, synced,
    // renamed over it.
    static bool WriteSynced(const QString& path, const QByteArray& bytes)
    {
        const QByteArray target = QFile::encodeName(path);
        const QByteArray temp = target + ".floor";
        const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
        ok = ::fdatasync(fd) == 0 && ok;
        ok = ::close(fd) == 0 && ok;
        return ok && ::rename(temp.constData(), target.constData()) == 0;
    }

    static QByteArray Pragma(sqlite3* db, const char* name)
    {
        sqlite3_stmt* s = nullptr;
        QByteArray value;
        if (sqlite3_prepare_v2(db, (QByteArray("PRAGMA ") + name).constData(), -1, &s, nullptr) == SQLITE_OK
            && sqlite3_step(s) == SQLITE_ROW)
            value = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        sqlite3_finalize(s);
        return value;
    }

    bool ReadRows(Change& c)
    {
        sqlite3_stmt* read = nullptr;
        const QString select = QStringLiteral("SELECT rowid, * FROM ") + c.table + QStringLiteral(" WHERE ") + c.where;
        if (!Prepare(read, select))
            return false;
        const int n = sqlite3_column_count(read) - 1;
        QStringList columns, marks;
        for (int i = 1; i <= n; ++i) {
            columns << QLatin1Char('"') + QString::fromUtf8(sqlite3_column_name(read, i)) + QLatin1Char('"');
            marks << (c.update ? columns.last() + QStringLiteral(" = ?") : QStringLiteral("?"));
        }
        int rc;
        while ((rc = sqlite3_step(read)) == SQLITE_ROW) {
            std::vector<sqlite3_value*> row;
            for (int i = c.update ? 0 : 1; i <= n; ++i)
                row.push_back(sqlite3_value_dup(sqlite3_column_value(read, i)));
            if (c.update)
                std::rotate(row.begin(), row.begin() + 1, row.end());   // the rowid binds last
            c.rows.push_back(std::move(row));
        }
        sqlite3_finalize(read);
        if (rc != SQLITE_DONE)
            return fail(QStringLiteral("cannot read ") + c.table);
        if (c.update)
            return Prepare(c.write, QStringLiteral("UPDATE ") + c.table + QStringLiteral(" SET ") + marks.join(QStringLiteral(", "))
                                        + QStringLiteral(" WHERE rowid = ?"));
        return Prepare(c.remove, QStringLiteral("DELETE FROM ") + c.table + QStringLiteral(" WHERE ") + c.where)
            && Prepare(c.write, QStringLiteral("INSERT INTO ") + c.table + QStringLiteral(" (") + columns.join(QStringLiteral(", "))
                                    + QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) + QLatin1Char(')'));
    }

    bool Prepare(sqlite3_stmt*& stmt, const QString& sql)
    {
        if (sqlite3_prepare_v3(m_db, sql.toUtf8().constData(), -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) == SQLITE_OK)
            return true;
        return fail(QString::fromUtf8(sqlite3_errmsg(m_db)) + QStringLiteral(": ") + sql);
    }

    bool Step(sqlite3_stmt* stmt)
    {
        const int rc = sqlite3_step(stmt);
        sqlite3_reset(stmt);
        return rc == SQLITE_DONE || rc == SQLITE_ROW || fail(QString::fromUtf8(sqlite3_errmsg(m_db)));
    }

    bool Exec(const QByteArray& sql)
    {
        char* err = nullptr;
        if (sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, &err) == SQLITE_OK)
            return true;
        const QString msg = QString::fromUtf8(err ? err : "");
        sqlite3_free(err);
        return fail(msg);
    }

    bool rollback()
    {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }

    bool fail(const QString& message)
    {
        if (m_error.isEmpty())
            m_error = message;
        return false;
    }

    QTemporaryDir m_dir;
    QString m_source;
    QString m_error;
    QString m_settings;
    QSet<QString> m_changedTables;
    std::vector<FileBytes> m_files;
    std::vector<Change> m_changes;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_begin = nullptr;
    sqlite3_stmt* m_commit = nullptr;
};

// Times the job against its floor, alternating which runs first: the job's
// wall time is the benchmark's (manual) time; "floor_ms" is the floor's mean
// and "ratio" the job's time over the floor's.
inline void RunAgainstFloor(benchmark::State& state, const std::function<bool()>& job, Floor& floor)
{
    using Clock = std::chrono::steady_clock;
    auto timed = [](const std::function<bool()>& f, double& seconds) {
        const auto t0 = Clock::now();
        const bool ok = f();
        seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        return ok;
    };
    const std::function<bool()> runFloor = [&floor] { return floor.Run(); };
    double jobTotal = 0, floorTotal = 0;
    bool floorFirst = false;
    for (auto _ : state) {
        double j = 0, f = 0;
        const bool ok = floorFirst ? timed(runFloor, f) && timed(job, j) : timed(job, j) && timed(runFloor, f);
        if (!ok) {
            state.SkipWithError(floor.error().isEmpty() ? "the job failed" : floor.error().toStdString().c_str());
            return;
        }
        state.SetIterationTime(j);
        jobTotal += j;
        floorTotal += f;
        floorFirst = !floorFirst;
    }
    state.counters["floor_ms"] = benchmark::Counter(floorTotal * 1e3, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = floorTotal > 0 ? jobTotal / floorTotal : 0;
}

} // namespace benchfloor
