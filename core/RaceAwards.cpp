#include "RaceAwards.h"

#include "Database.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"

QString SpeedNumber(const QString& speed)
{
    const QString t = speed.trimmed();
    qsizetype end = t.size();
    while (end > 0 && (t[end - 1].isLetter() || t[end - 1] == QLatin1Char('/')))
        --end;
    const QString number = t.left(end).trimmed();
    return number.isEmpty() ? rt::Trim(speed) : number;
}

QString PoleAwardText(const QString& name, const QString& speed, const QString& time)
{
    return rt::Trim(name) + QStringLiteral(", ") + SpeedNumber(speed) + QStringLiteral(" mph (") + rt::Trim(time)
        + QStringLiteral(" s.)");
}

QList<RaceAward> RaceAwards(qint64 raceId)
{
    auto first = [raceId](const QString& sql) { return dbMain->openRecordset(sql, {raceId}, dao::dbOpenForwardOnly); };
    auto driver = [](const dao::Recordset& rs) {
        QString name, number, make;
        GetDriverInfo(rs.integer(QStringLiteral("DriverID")), name, number, make);
        return rt::Trim(name);
    };
    // The first row's driver and its Figure followed by words.
    auto counted = [&](const QString& sql, const QString& words) -> std::optional<QString> {
        auto rs = first(sql);
        if (rs->eof())
            return std::nullopt;
        return driver(*rs) + QStringLiteral(", ") + rs->text(QStringLiteral("Figure")) + words;
    };
    const QString bothLines = QStringLiteral(" FROM Qualify ")
        + QStringLiteral("INNER JOIN Score ON (Qualify.DriverID = Score.DriverID) AND (Qualify.RaceID = Score.RaceID) ")
        + QStringLiteral("WHERE Score.RaceID = ? ");

    QList<RaceAward> awards;
    auto rs = first(QStringLiteral("SELECT Score.DriverID, Time, Speed") + bothLines
                    + QStringLiteral("AND Qualify.pos = 1 ORDER BY Score.Posi"));
    awards.append({QStringLiteral("Pole"), rs->eof() ? std::nullopt
                                                     : std::optional(PoleAwardText(driver(*rs), rs->text(QStringLiteral("Speed")),
                                                                                   rs->text(QStringLiteral("Time"))))});
    awards.append({QStringLiteral("Front Runner"),
                   counted(QStringLiteral("SELECT DriverID, Lead AS Figure FROM Score WHERE RaceID = ? ORDER BY Lead DESC, Posi"),
                           QStringLiteral(" laps Lead"))});
    awards.append({QStringLiteral("Meet the Challenge"),
                   counted(QStringLiteral("SELECT Score.DriverID, [Pos]-[Posi] AS Figure") + bothLines
                               + QStringLiteral("ORDER BY [Pos]-[posi] DESC, Posi"),
                           QStringLiteral(" places improved"))});
    awards.append({QStringLiteral("Headache"),
                   counted(QStringLiteral("SELECT Score.DriverID, [Posi]-[Pos] AS Figure") + bothLines
                               + QStringLiteral("ORDER BY [Posi]-[Pos] DESC, Posi"),
                           QStringLiteral(" places dropped"))});
    rs = first(QStringLiteral("SELECT DriverID FROM Score WHERE RaceID = ? AND Finish = 'Running' ORDER BY Laps, Posi DESC"));
    awards.append({QStringLiteral("Diehard Racer"), rs->eof() ? std::nullopt : std::optional(driver(*rs))});
    return awards;
}
