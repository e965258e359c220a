#pragma once
// Small helpers that lay out a division, drivers and one scored race.

#include "Database.h"
#include "Recordset.h"
#include "State.h"

#include <QString>
#include <QVariant>

namespace seed {

inline void Division(const QString& id, bool earnings = true, const QString& earningsFile = QString())
{
    dbMain->execute(QStringLiteral("INSERT INTO Division (ID, Name, Earnings, EarningsFile, PointSystem, Teams, \"Drop\") "
                                   "VALUES (?, ?, ?, ?, 1, 0, 0)"),
                    {id, id + QStringLiteral(" Cup"), earnings, earningsFile});
}

inline qint64 Driver(const QString& onlineId)
{
    dbMain->execute(QStringLiteral("INSERT INTO Drivers (OnlineID, Name, \"Number\", Brand) VALUES (?, ?, '1', 'Ford')"),
                    {onlineId, onlineId});
    return dbMain->lastInsertId();
}

inline qint64 Race(const QString& div, const QString& raceNo, double purse = 0)
{
    dbMain->execute(QStringLiteral("INSERT INTO Races (Division, RaceNo, Venue, RaceDate, Weather, QWeather, Flags, "
                                   "Flagsq, Changes, Leader, RaceName, Purse, TrackID, Nonpoints) "
                                   "VALUES (?, ?, 'Dover', '05/01/2004', 'Sunny', 'Cloudy', 3, 12, 5, 4, 'Spring 200', ?, 1, 0)"),
                    {div, raceNo, purse});
    return dbMain->lastInsertId();
}

inline void Score(const QString& div, qint64 raceId, double posi, qint64 driverId, int lead = 0, double earnings = 0)
{
    dbMain->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi, DriverID, Interval, Laps, Lead, Points, "
                                   "Finish, Team, Brand, Earnings, Bonus, BonusAdd) "
                                   "VALUES (?, ?, ?, ?, '', 200, ?, 0, 'Running', 0, 'Ford', ?, 0, 0)"),
                    {div, raceId, posi, driverId, lead, earnings});
}

inline void Qualify(qint64 raceId, int pos, qint64 driverId)
{
    dbMain->execute(QStringLiteral("INSERT INTO Qualify (RaceID, Pos, DriverID, \"Time\", Speed) VALUES (?, ?, ?, '20.1', '150')"),
                    {raceId, pos, driverId});
}

inline double ScoreValue(qint64 raceId, qint64 driverId, const QString& column)
{
    return dbMain->scalar(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM Score WHERE RaceID = ")
                          + QString::number(raceId) + QStringLiteral(" AND DriverID = ") + QString::number(driverId))
        .toDouble();
}

} // namespace seed
