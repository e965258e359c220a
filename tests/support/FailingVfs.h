#pragma once
// A file layer for SQLite that hands everything to the usual one but can
// make one write or sync fail, as a full disk or an I/O error would part
// way through a command. While an instance lives it is SQLite's default,
// so every database opened meanwhile goes through it.

#include <QString>
#include <QStringList>

namespace testsupport {

class FailingVfs {
public:
    FailingVfs();
    ~FailingVfs();
    FailingVfs(const FailingVfs&) = delete;
    FailingVfs& operator=(const FailingVfs&) = delete;

    // Counts writes and syncs from now on; the n-th (1 = the next) fails,
    // a write with writeError (SQLITE_IOERR_WRITE, SQLITE_FULL), a sync
    // with SQLITE_IOERR_FSYNC. Only that one fails. n = 0 fails none.
    void failAt(int n, int writeError);
    // Writes and syncs counted since the last failAt.
    int operations() const;
    // True once the armed failure has been given.
    bool failed() const;

    // Every table's schema and rows and every saved query of the file, one
    // text a row, read through the usual file layer (a journal left behind
    // is rolled back first, as any later open would).
    static QStringList Dump(const QString& path);
};

} // namespace testsupport
