#pragma once
// The benchmarks' league: a scratch program folder with one division of 43
// (or more) drivers, ten teams, five rookies and n scored races.

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
    explicit League(int races, int drivers = kDrivers)
        : m_drivers(drivers)
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
    QString path() const { return m_dir.path(); }

private:
    void fill(int races)
    {
        auto& db = *dbMain;
        dao::Transaction transaction(db);
        db.execute(QStringLiteral("INSERT INTO Division (ID, Name, Brands, Teams, Roty, Earnings, PointSystem, [Drop]) "
                                  "VALUES ('B1', 'Bench', 1, 1, 1, 1, 1, 2)"));
        const char* makes[4] = {"Ford", "Chevy", "Dodge", "Pontiac"};
        const int drivers = m_drivers;
        for (int d = 1; d <= drivers; ++d)
            db.execute(QStringLiteral("INSERT INTO Drivers (DriverID, OnlineID, Name, [Number], Brand) VALUES (?, ?, ?, ?, ?)"),
                       {d, QStringLiteral("d%1").arg(d), QStringLiteral("Driver %1").arg(d), QString::number(d),
                        QString::fromLatin1(makes[d % 4])});
        for (int t = 0; t < 10; ++t)
            db.execute(QStringLiteral("INSERT INTO Teams (Division, Team_Name, Driver_1, Driver_2, Driver_3, Driver_4, Driver_5, Driver_6) "
                                      "VALUES ('B1', ?, ?, ?, ?, ?, 0, 0)"),
                       {QStringLiteral("Team %1").arg(t), t * 4 + 1, t * 4 + 2, t * 4 + 3, t * 4 + 4});
        for (int d = drivers - 4; d <= drivers; ++d)
            db.execute(QStringLiteral("INSERT INTO Rookies VALUES ('B1', ?)"), {d});
        for (int r = 1; r <= races; ++r) {
            db.execute(QStringLiteral("INSERT INTO Races (ID, Division, RaceNo, Venue) VALUES (?, 'B1', ?, 'Track')"),
                       {r, QString::number(r)});
            for (int p = 1; p <= drivers; ++p) {
                const int d = (p + r * 7) % drivers + 1;   // a different order each race
                const int team = d <= 40 ? (d - 1) / 4 + 1 : 0;
                db.execute(QStringLiteral("INSERT INTO Score VALUES ('B1', ?, ?, ?, '', 200, 0, ?, 'Running', ?, ?, ?, 0, 0)"),
                           {r, p, d, std::max(0, 185 - 5 * (p - 1)), team, QString::fromLatin1(makes[d % 4]), (drivers + 1 - p) * 1000});
                db.execute(QStringLiteral("INSERT INTO Qualify VALUES (?, ?, ?, '30.000', '120.000')"),
                           {r, (p + r) % drivers + 1, d});
            }
        }
        transaction.commit();
    }

    QTemporaryDir m_dir;
    int m_drivers;
    bool m_ok = false;
};

// What the statistics and the race pages read beyond the standings: tracks,
// race names, dates and weather, laps and laps led, winners' speeds and
// margins, cars out, provisionals, poles, race counts. The last three
// places are provisional starters, the four before them out of the race.
inline void AddRaceDetails(int races, int drivers = kDrivers)
{
    auto& db = *dbMain;
    dao::Transaction transaction(db);
    const double miles[4] = {0.526, 1.5, 2.5, 2.66};
    for (int t = 1; t <= 4; ++t)
        db.execute(QStringLiteral("INSERT INTO Tracks (ID, ShortName, FullName, Miles, [Type]) VALUES (?, ?, ?, ?, ?)"),
                   {t, QStringLiteral("T%1").arg(t), QStringLiteral("Track %1").arg(t), miles[t - 1], t});
    for (int r = 1; r <= races; ++r) {
        db.execute(QStringLiteral("UPDATE Races SET TrackID = ?, RaceName = ?, RaceDate = ?, Weather = 'Sunny', "
                                  "QWeather = 'Cloudy', Changes = ?, Leader = ?, Flags = ? WHERE ID = ?"),
                   {r % 4 + 1, QStringLiteral("Race %1").arg(r), QStringLiteral("4/%1/2024").arg(r % 28 + 1), r % 11,
                    r % 6 + 1, r % 8, r});
        db.execute(QStringLiteral("UPDATE Score SET Interval = ? WHERE RaceID = ? AND Posi = 1"),
                   {QStringLiteral("%1.%2").arg(120 + r % 17).arg(r * 37 % 1000, 3, 10, QLatin1Char('0')), r});
        db.execute(QStringLiteral("UPDATE Qualify SET Speed = ? WHERE RaceID = ? AND Pos = 1"),
                   {QStringLiteral("%1.%2").arg(130 + r % 13).arg(r * 53 % 1000, 3, 10, QLatin1Char('0')), r});
    }
    for (int p = 2; p <= drivers; ++p) {
        const bool prov = p > drivers - 3, out = p > drivers - 7;
        const QString finish = prov ? QStringLiteral("Prov.") : out ? QStringLiteral("Accident") : QStringLiteral("Running");
        const int laps = prov ? 0 : out ? 120 : 200 - p / 5;
        const QString interval = p == 2 ? QStringLiteral("-0.412") : QStringLiteral("-%1 laps").arg(p / 5);
        db.execute(QStringLiteral("UPDATE Score SET Laps = ?, Lead = ?, Finish = ?, Interval = ? WHERE Posi = ?"),
                   {laps, p < 5 ? 40 / p : 0, finish, interval, p});
    }
    db.execute(QStringLiteral("UPDATE Score SET Lead = 120 WHERE Posi = 1"));
    transaction.commit();
}

} // namespace benchleague
