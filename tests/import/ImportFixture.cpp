#include "ImportFixture.h"

#include "Database.h"
#include "Recordset.h"
#include "State.h"

#include <QFile>

#include <algorithm>

void ImportTest::SetUp()
{
    LeagueTest::SetUp();
    pocono = AddTrack(QStringLiteral("Pocono"), QStringLiteral("Pocono Raceway"), 2.5);
    martinsville = AddTrack(QStringLiteral("Martinsville"), QStringLiteral("Martinsville Speedway"), 0.526);
}

void ImportTest::AddDivision(const QString& id, int pointSystem, int teams, bool earnings, const QString& pointsFile,
                             const QString& earningsFile)
{
    dbMain->execute(QStringLiteral("INSERT INTO Division (ID, Name, RecordID, Numbers, Brands, Teams, Roty, Earnings, "
                                   "EarningsFile, NonPoints, PointsID, PointSystem, PointSystemFile, [Drop]) "
                                   "VALUES (?, ?, 0, 0, 0, ?, 0, ?, ?, 0, '', ?, ?, 0)"),
                    {id, id + QStringLiteral(" Series"), teams, earnings, earningsFile, pointSystem, pointsFile});
}

qint64 ImportTest::AddTrack(const QString& shortName, const QString& fullName, double miles)
{
    dbMain->execute(QStringLiteral("INSERT INTO Tracks (ShortName, FullName, Miles, [Type]) VALUES (?, ?, ?, 0)"),
                    {shortName, fullName, miles});
    return dbMain->lastInsertId();
}

qint64 ImportTest::AddDriver(const QString& onlineId, const QString& brand)
{
    dbMain->execute(QStringLiteral("INSERT INTO Drivers (OnlineID, Name, [Number], Brand) VALUES (?, ?, ' ', ?)"),
                    {onlineId, onlineId, brand});
    return dbMain->lastInsertId();
}

qint64 ImportTest::AddTeam(const QString& div, const QString& name, const QList<qint64>& drivers)
{
    QVariantList v{div, name};
    for (int i = 0; i < 6; ++i)
        v.append(i < drivers.size() ? drivers[i] : 0);
    dbMain->execute(QStringLiteral("INSERT INTO Teams (Division, Team_Name, Driver_1, Driver_2, Driver_3, Driver_4, "
                                   "Driver_5, Driver_6) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                    v);
    return dbMain->lastInsertId();
}

qint64 ImportTest::DriverId(const QString& onlineId)
{
    return Value(QStringLiteral("SELECT DriverID FROM Drivers WHERE OnlineID = ") + dao::quote(onlineId)).toLongLong();
}

QString ImportTest::PageText(const QString& name)
{
    QStringList lines;
    rt::ReadTextLines(QStringLiteral(TARVIK_TEST_DATA) + QLatin1Char('/') + name, lines);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString ImportTest::WritePage(const QString& name, const QString& text)
{
    return program->writeFile(QStringLiteral("STN/") + name, text.toUtf8());
}

ProcessClass ImportTest::Run(const QString& div, const QString& raceNo, const QString& page, qint64 trackId,
                             bool moneyOnly, bool speed)
{
    sCurDiv = div;
    ProcessClass p;
    p.RaceDivision = div;
    p.RaceNo = raceNo;
    p.MoneyOnly = moneyOnly;
    p.stnFileName = page;
    p.TrackID = trackId;
    p.Speed = speed;
    p.ProcRace();
    return p;
}

QStringList ImportTest::Rows(const QString& sql)
{
    QStringList out;
    auto rs = dbMain->openRecordset(sql);
    for (; !rs->eof(); rs->moveNext()) {
        QStringList cells;
        for (int i = 0; i < rs->fieldCount(); ++i) {
            const QVariant v = rs->field(i);
            cells.append(v.isNull() ? QStringLiteral("<null>") : rt::Str(v));
        }
        out.append(cells.join(QLatin1Char('|')));
    }
    return out;
}

QVariant ImportTest::Value(const QString& sql)
{
    return dbMain->scalar(sql);
}

QStringList ImportTest::Dump()
{
    QStringList out;
    for (const QString& table : dbMain->tableNames())
        for (const QString& row : Rows(QStringLiteral("SELECT * FROM ") + table))
            out.append(table + QLatin1Char(':') + row);
    std::sort(out.begin(), out.end());
    return out;
}
