#pragma once
// A league with one scored race laid out row by row, and helpers to drive
// the race result window.

#include "TestSupport.h"

#include "Database.h"
#include "Lookups.h"
#include "Recordset.h"
#include "State.h"
#include "frmRaceResult.h"
#include "MSFlexGrid.h"
#include "WindowDialogs.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include <memory>

#include <ostream>

namespace raceresult {

// Above 32767 on purpose.
constexpr qint64 kRaceId = 40000;

class RaceResultTest : public testsupport::LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        exec("INSERT INTO Division (ID, Name, Numbers, Brands, Teams, Roty, Earnings, PointSystem, \"Drop\") "
             "VALUES ('D1', 'D1 Cup', -1, -1, 2, -1, -1, 1, 0)");
        exec("INSERT INTO Division (ID, Name, Numbers, Brands, Teams, Roty, Earnings, PointSystem, \"Drop\") "
             "VALUES ('E2', 'E2 Series', 0, 0, 0, 0, 0, 1, 0)");
        exec("INSERT INTO Tracks (ID, ShortName, FullName, Miles, \"Type\") VALUES (1, 'Dover', 'Dover Downs', 1, 1)");
        ann = AddDriver(QStringLiteral("ann"), QStringLiteral("Ann Able"), QStringLiteral("7"));
        bob = AddDriver(QStringLiteral("bob_online"), QVariant(), QStringLiteral("12"));   // no Name
        cid = AddDriver(QStringLiteral("cid"), QStringLiteral("Cid Cole"), QStringLiteral("3"));
        red = AddTeam(QStringLiteral("D1"), QStringLiteral("Red & <Blue>"), {ann, bob});
        exec("INSERT INTO Rookies (Division, DriverID) VALUES ('D1', " + QString::number(bob) + ")");
        exec("INSERT INTO Rookies (Division, DriverID) VALUES ('D1', " + QString::number(cid) + ")");

        dbMain->execute(QStringLiteral("INSERT INTO Races (ID, Division, RaceNo, Venue, RaceDate, Weather, QWeather, Flags, "
                                       "Flagsq, Changes, Leader, RaceName, Purse, TrackID, Nonpoints) VALUES (?, 'D1', '07', "
                                       "'Dover', '05/01/2004', 'Sunny & warm', 'Cloudy', 3, 12, 5, 4, 'Spring <200>', 0, 1, 0)"),
                        {kRaceId});
        AddScore(QStringLiteral("D1"), kRaceId, 1, ann, QStringLiteral("Running"), 200, 12345, 1000, 500, red,
                 QStringLiteral("Ford"), QStringLiteral(""), 150, 185);
        AddScore(QStringLiteral("D1"), kRaceId, 2, bob, QStringLiteral("Running"), 200, 8000.5, QVariant(), 0, red,
                 QStringLiteral("Chevrolet"), QStringLiteral("-1.234"), 50, 175);
        AddScore(QStringLiteral("D1"), kRaceId, 3, 99, QStringLiteral("Running"), 199, QVariant(), QVariant(), QVariant(), 0,
                 QStringLiteral("Dodge"), QStringLiteral("1 lap"), 0, 165);
        // Every value but the keys empty.
        dbMain->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi, DriverID) VALUES ('D1', ?, 10, ?)"),
                        {kRaceId, cid});
        AddQualify(kRaceId, 1, bob, QStringLiteral("30.000"), QStringLiteral("180.000"));
        AddQualify(kRaceId, 2, ann, QStringLiteral("30.123"), QStringLiteral("179.283"));
        AddQualify(kRaceId, 3, cid, QStringLiteral("0"), QStringLiteral("0"));
        AddQualify(kRaceId, 4, 99, QStringLiteral("30.250"), QStringLiteral("178.5"));
        exec("INSERT INTO Penalties (Division, RaceID, Posi, Points, Comment) VALUES ('D1', 40000, 2, -10, 'Rough driving')");
        exec("INSERT INTO Penalties (Division, RaceID, Posi, Points, Comment) VALUES ('D1', 40000, 1, 0, 'Cleared')");
    }
    void TearDown() override
    {
        dlg::SetExecHook({});
        LeagueTest::TearDown();
    }

    static void exec(const QString& sql) { dbMain->execute(sql); }
    static void exec(const char* sql) { dbMain->execute(QString::fromUtf8(sql)); }

    static qint64 AddDriver(const QString& online, const QVariant& name = QVariant(), const QString& number = QStringLiteral("5"))
    {
        dbMain->execute(QStringLiteral("INSERT INTO Drivers (OnlineID, Name, \"Number\", Brand) VALUES (?, ?, ?, 'Ford')"),
                        {online, name.isValid() ? name : QVariant(QMetaType::fromType<QString>()), number});
        return dbMain->lastInsertId();
    }
    static qint64 AddTeam(const QString& div, const QString& name, const QList<qint64>& drivers = {})
    {
        dbMain->execute(QStringLiteral("INSERT INTO Teams (Division, Team_Name, Driver_1, Driver_2) VALUES (?, ?, ?, ?)"),
                        {div, name, drivers.value(0), drivers.value(1)});
        return dbMain->lastInsertId();
    }
    static qint64 AddRace(const QString& div, const QString& raceNo, const QString& name)
    {
        dbMain->execute(QStringLiteral("INSERT INTO Races (Division, RaceNo, Venue, RaceDate, Weather, QWeather, Flags, Flagsq, "
                                       "Changes, Leader, RaceName, Purse, TrackID, Nonpoints) "
                                       "VALUES (?, ?, 'Dover', '06/01/2004', 'Rain', 'Dry', 0, 0, 1, 1, ?, 0, 1, 0)"),
                        {div, raceNo, name});
        return dbMain->lastInsertId();
    }
    static void AddScore(const QString& div, qint64 race, double posi, qint64 driver,
                         const QString& finish = QStringLiteral("Running"), int laps = 100, const QVariant& earnings = 0,
                         const QVariant& bonus = 0, const QVariant& bonusAdd = 0, qint64 team = 0,
                         const QString& brand = QStringLiteral("Ford"), const QString& interval = QString(), int lead = 0,
                         int points = 0)
    {
        dbMain->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi, DriverID, Interval, Laps, Lead, Points, "
                                       "Finish, Team, Brand, Earnings, Bonus, BonusAdd) "
                                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                        {div, race, posi, driver, interval, laps, lead, points, finish, team, brand, earnings, bonus, bonusAdd});
    }
    static void AddQualify(qint64 race, int pos, qint64 driver, const QString& time, const QString& speed)
    {
        dbMain->execute(QStringLiteral("INSERT INTO Qualify (RaceID, Pos, DriverID, \"Time\", Speed) VALUES (?, ?, ?, ?, ?)"),
                        {race, pos, driver, time, speed});
    }

    std::unique_ptr<frmRaceResult> Open()
    {
        auto w = std::make_unique<frmRaceResult>();
        w->show();
        return w;
    }
    static void ChooseDivision(frmRaceResult& w, const QString& name)
    {
        auto* combo = w.findChild<QComboBox*>(QStringLiteral("DivName"));
        const int index = combo->findText(name);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    static QPushButton* Button(frmRaceResult& w, const char* name)
    {
        return w.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    static QListWidget* RaceList(frmRaceResult& w) { return w.findChild<QListWidget*>(QStringLiteral("List1")); }

    qint64 ann = 0, bob = 0, cid = 0, red = 0;
};

} // namespace raceresult
