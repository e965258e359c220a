#pragma once
// The benchmarks' league: a scratch program folder with one division of 43
// drivers, ten teams, five rookies and n scored races.

#include "Database.h"
#include "DbModule.h"
#include "Lookups.h"
#include "Options.h"
#include "Runtime.h"
#include "State.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace benchleague {

constexpr int kDrivers = 43;

// A scratch program folder with a league of one division and n races.
class League {
public:
    explicit League(int races)
    {
        const QString prog = QStringLiteral(TARVIK_PROGRAM_DIR);
        QDir root(m_dir.path());
        for (const char* sub : {"data", "HTML", "TXT"})
            root.mkpath(QString::fromLatin1(sub));
        QFile::copy(prog + QStringLiteral("/data/blank.mdb"), m_dir.filePath(QStringLiteral("data/blank.mdb")));
        for (const QString& t : QDir(prog + QStringLiteral("/HTML")).entryList({QStringLiteral("temp_*.htm")}))
            QFile::copy(prog + QStringLiteral("/HTML/") + t, m_dir.filePath(QStringLiteral("HTML/") + t));
        rt::SetAppPath(m_dir.path());
        m_ok = OpenDB();
        if (!m_ok)
            return;
        LoadOptions();
        fill(races);
        LoadDivisionSettings(QStringLiteral("B1"));
    }
    ~League()
    {
        CloseDB();
        rt::SetAppPath(QString());
    }
    bool ok() const { return m_ok; }

private:
    void fill(int races)
    {
        auto& db = *dbMain;
        db.beginTrans();
        db.execute(QStringLiteral("INSERT INTO Division (ID, Name, Brands, Teams, Roty, Earnings, PointSystem, [Drop]) "
                                  "VALUES ('B1', 'Bench', 1, 1, 1, 1, 1, 2)"));
        const char* makes[4] = {"Ford", "Chevy", "Dodge", "Pontiac"};
        for (int d = 1; d <= kDrivers; ++d)
            db.execute(QStringLiteral("INSERT INTO Drivers (DriverID, OnlineID, Name, [Number], Brand) VALUES (?, ?, ?, ?, ?)"),
                       {d, QStringLiteral("d%1").arg(d), QStringLiteral("Driver %1").arg(d), QString::number(d),
                        QString::fromLatin1(makes[d % 4])});
        for (int t = 0; t < 10; ++t)
            db.execute(QStringLiteral("INSERT INTO Teams (Division, Team_Name, Driver_1, Driver_2, Driver_3, Driver_4, Driver_5, Driver_6) "
                                      "VALUES ('B1', ?, ?, ?, ?, ?, 0, 0)"),
                       {QStringLiteral("Team %1").arg(t), t * 4 + 1, t * 4 + 2, t * 4 + 3, t * 4 + 4});
        for (int d = 39; d <= kDrivers; ++d)
            db.execute(QStringLiteral("INSERT INTO Rookies VALUES ('B1', ?)"), {d});
        for (int r = 1; r <= races; ++r) {
            db.execute(QStringLiteral("INSERT INTO Races (ID, Division, RaceNo, Venue) VALUES (?, 'B1', ?, 'Track')"),
                       {r, QString::number(r)});
            for (int p = 1; p <= kDrivers; ++p) {
                const int d = (p + r * 7) % kDrivers + 1;   // a different order each race
                const int team = d <= 40 ? (d - 1) / 4 + 1 : 0;
                db.execute(QStringLiteral("INSERT INTO Score VALUES ('B1', ?, ?, ?, '', 200, 0, ?, 'Running', ?, ?, ?, 0, 0)"),
                           {r, p, d, std::max(0, 185 - 5 * (p - 1)), team, QString::fromLatin1(makes[d % 4]), (44 - p) * 1000});
                db.execute(QStringLiteral("INSERT INTO Qualify VALUES (?, ?, ?, '30.000', '120.000')"),
                           {r, (p + r) % kDrivers + 1, d});
            }
        }
        db.commitTrans();
    }

    QTemporaryDir m_dir;
    bool m_ok = false;
};

} // namespace benchleague
