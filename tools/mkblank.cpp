// Builds data/blank.mdb from the schema script at build time.
#include "Database.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkblank schema.sql out.mdb\n");
        return 2;
    }
    QFile script(QString::fromLocal8Bit(argv[1]));
    if (!script.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "mkblank: cannot read %s\n", argv[1]);
        return 1;
    }
    const QByteArray sql = script.readAll();
    const QString out = QString::fromLocal8Bit(argv[2]);
    QFile::remove(out);
    try {
        auto db = dao::Database::create(out);
        char* err = nullptr;
        if (sqlite3_exec(db->handle(), sql.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
            std::fprintf(stderr, "mkblank: %s\n", err ? err : "error");
            sqlite3_free(err);
            db.reset();
            QFile::remove(out);
            return 1;
        }
    } catch (const dao::DbError& e) {
        std::fprintf(stderr, "mkblank: %d %s\n", e.number(), qPrintable(e.description()));
        QFile::remove(out);
        return 1;
    }
    return 0;
}
