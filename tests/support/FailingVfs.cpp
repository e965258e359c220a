#include "FailingVfs.h"

#include <QFile>

#include <sqlite3.h>

#include <cstring>
#include <stdexcept>

namespace testsupport {

namespace {

sqlite3_vfs* g_base = nullptr;   // the layer wrapped
sqlite3_vfs g_vfs;
int g_count = 0;
int g_failAt = 0;
int g_writeError = SQLITE_IOERR_WRITE;
bool g_failed = false;

// The wrapped file sits right behind this header in the memory SQLite gives.
struct File {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* real(sqlite3_file* f)
{
    return reinterpret_cast<File*>(f)->real;
}

// Counts one write or sync; true when this is the one to fail.
bool failNow()
{
    ++g_count;
    if (g_failed || g_count != g_failAt)
        return false;
    g_failed = true;
    return true;
}

int xClose(sqlite3_file* f)
{
    return real(f)->pMethods->xClose(real(f));
}
int xRead(sqlite3_file* f, void* p, int n, sqlite3_int64 off)
{
    return real(f)->pMethods->xRead(real(f), p, n, off);
}
int xWrite(sqlite3_file* f, const void* p, int n, sqlite3_int64 off)
{
    if (failNow())
        return g_writeError;
    return real(f)->pMethods->xWrite(real(f), p, n, off);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    return real(f)->pMethods->xTruncate(real(f), size);
}
int xSync(sqlite3_file* f, int flags)
{
    if (failNow())
        return SQLITE_IOERR_FSYNC;
    return real(f)->pMethods->xSync(real(f), flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size)
{
    return real(f)->pMethods->xFileSize(real(f), size);
}
int xLock(sqlite3_file* f, int level)
{
    return real(f)->pMethods->xLock(real(f), level);
}
int xUnlock(sqlite3_file* f, int level)
{
    return real(f)->pMethods->xUnlock(real(f), level);
}
int xCheckReservedLock(sqlite3_file* f, int* out)
{
    return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int xFileControl(sqlite3_file* f, int op, void* arg)
{
    return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int xSectorSize(sqlite3_file* f)
{
    return real(f)->pMethods->xSectorSize(real(f));
}
int xDeviceCharacteristics(sqlite3_file* f)
{
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}
int xShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** p)
{
    return real(f)->pMethods->xShmMap(real(f), region, size, extend, p);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags)
{
    return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}
void xShmBarrier(sqlite3_file* f)
{
    real(f)->pMethods->xShmBarrier(real(f));
}
int xShmUnmap(sqlite3_file* f, int deleteFlag)
{
    return real(f)->pMethods->xShmUnmap(real(f), deleteFlag);
}
int xFetch(sqlite3_file* f, sqlite3_int64 off, int n, void** p)
{
    return real(f)->pMethods->xFetch(real(f), off, n, p);
}
int xUnfetch(sqlite3_file* f, sqlite3_int64 off, void* p)
{
    return real(f)->pMethods->xUnfetch(real(f), off, p);
}

sqlite3_io_methods g_methods;

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags)
{
    auto* file = reinterpret_cast<File*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    file->base.pMethods = nullptr;
    const int rc = g_base->xOpen(g_base, name, file->real, flags, outFlags);
    if (file->real->pMethods)
        file->base.pMethods = &g_methods;
    return rc;
}

int xDelete(sqlite3_vfs*, const char* name, int syncDir)
{
    return g_base->xDelete(g_base, name, syncDir);
}
int xAccess(sqlite3_vfs*, const char* name, int flags, int* out)
{
    return g_base->xAccess(g_base, name, flags, out);
}
int xFullPathname(sqlite3_vfs*, const char* name, int n, char* out)
{
    return g_base->xFullPathname(g_base, name, n, out);
}
void* xDlOpen(sqlite3_vfs*, const char* name)
{
    return g_base->xDlOpen(g_base, name);
}
void xDlError(sqlite3_vfs*, int n, char* msg)
{
    g_base->xDlError(g_base, n, msg);
}
void (*xDlSym(sqlite3_vfs*, void* h, const char* sym))(void)
{
    return g_base->xDlSym(g_base, h, sym);
}
void xDlClose(sqlite3_vfs*, void* h)
{
    g_base->xDlClose(g_base, h);
}
int xRandomness(sqlite3_vfs*, int n, char* out)
{
    return g_base->xRandomness(g_base, n, out);
}
int xSleep(sqlite3_vfs*, int us)
{
    return g_base->xSleep(g_base, us);
}
int xCurrentTime(sqlite3_vfs*, double* t)
{
    return g_base->xCurrentTime(g_base, t);
}
int xGetLastError(sqlite3_vfs*, int n, char* out)
{
    return g_base->xGetLastError(g_base, n, out);
}
int xCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* t)
{
    return g_base->xCurrentTimeInt64(g_base, t);
}

} // namespace

FailingVfs::FailingVfs()
{
    if (g_base)
        throw std::logic_error("one FailingVfs at a time");
    g_base = sqlite3_vfs_find(nullptr);
    g_methods = sqlite3_io_methods{3,        xClose,   xRead,        xWrite,  xTruncate, xSync,
                                   xFileSize, xLock,   xUnlock,      xCheckReservedLock, xFileControl,
                                   xSectorSize, xDeviceCharacteristics, xShmMap, xShmLock, xShmBarrier,
                                   xShmUnmap, xFetch,  xUnfetch};
    std::memset(&g_vfs, 0, sizeof g_vfs);
    g_vfs.iVersion = 2;
    g_vfs.szOsFile = int(sizeof(File)) + g_base->szOsFile;
    g_vfs.mxPathname = g_base->mxPathname;
    g_vfs.zName = "tarvik-failing";
    g_vfs.xOpen = xOpen;
    g_vfs.xDelete = xDelete;
    g_vfs.xAccess = xAccess;
    g_vfs.xFullPathname = xFullPathname;
    g_vfs.xDlOpen = xDlOpen;
    g_vfs.xDlError = xDlError;
    g_vfs.xDlSym = xDlSym;
    g_vfs.xDlClose = xDlClose;
    g_vfs.xRandomness = xRandomness;
    g_vfs.xSleep = xSleep;
    g_vfs.xCurrentTime = xCurrentTime;
    g_vfs.xGetLastError = xGetLastError;
    g_vfs.xCurrentTimeInt64 = xCurrentTimeInt64;
    g_count = 0;
    g_failAt = 0;
    g_failed = false;
    sqlite3_vfs_register(&g_vfs, 1);
}

FailingVfs::~FailingVfs()
{
    sqlite3_vfs_unregister(&g_vfs);
    sqlite3_vfs_register(g_base, 1);
    g_base = nullptr;
}

void FailingVfs::failAt(int n, int writeError)
{
    g_count = 0;
    g_failAt = n;
    g_writeError = writeError;
    g_failed = false;
}

int FailingVfs::operations() const
{
    return g_count;
}

bool FailingVfs::failed() const
{
    return g_failed;
}

QStringList FailingVfs::Dump(const QString& path)
{
    QStringList out;
    sqlite3* db = nullptr;
    const char* base = g_base ? g_base->zName : nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, base) != SQLITE_OK) {
        sqlite3_close_v2(db);
        return {QStringLiteral("cannot open ") + path};
    }
    auto rows = [&](const QString& sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            out << QStringLiteral("error: ") + QString::fromUtf8(sqlite3_errmsg(db));
            return;
        }
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList cells;
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                cells << (sqlite3_column_type(st, c) == SQLITE_NULL
                              ? QStringLiteral("<null>")
                              : QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c))));
            out << cells.join(QLatin1Char('|'));
        }
        sqlite3_finalize(st);
    };
    QStringList tables;
    {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name", -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            tables << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
    }
    // The saved queries are rows of their table, so they come with it.
    rows(QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY type, name"));
    for (const QString& t : tables) {
        out << QStringLiteral("table ") + t;
        rows(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(t));
    }
    sqlite3_close_v2(db);
    return out;
}

} // namespace testsupport
