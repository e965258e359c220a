#include "RacePoints.h"

#include "Database.h"
#include "Lookups.h"
#include "Recordset.h"
#include "State.h"

#include <algorithm>
#include <utility>

namespace {

QList<RacePointsLine> teamSums(const QString& div, qint64 raceId)
{
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT Score.Team, Sum(Score.Points) AS SumOfPoints, Teams.Team_Name ")
                                        + QStringLiteral("FROM Score INNER JOIN Teams ON Score.Team = Teams.TeamID ")
                                        + QStringLiteral("WHERE Score.Division = ? AND Score.RaceID = ? ")
                                        + QStringLiteral("GROUP BY Score.Team, Teams.Team_Name ")
                                        + QStringLiteral("ORDER BY Sum(Score.Points) DESC, Teams.Team_Name, Score.Team"),
                                    {div, raceId}, dao::dbOpenForwardOnly);
    QList<RacePointsLine> lines;
    for (; !rs->eof(); rs->moveNext()) {
        const QString sum = QStringLiteral("SumOfPoints");
        lines.append({rs->text(QStringLiteral("Team_Name")),
                      rs->isNull(sum) ? std::nullopt : std::optional<qint64>(rs->integer(sum))});
    }
    return lines;
}

QList<RacePointsLine> teamPlaces(qint64 raceId, TeamNameOrder order)
{
    // NameOrder ranks the names as the database orders them; names it takes
    // for equal share a rank.
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT Teams.Team_Name, DENSE_RANK() OVER (ORDER BY Teams.Team_Name) AS NameOrder ")
                                        + QStringLiteral("FROM Score, Teams ")
                                        + QStringLiteral("WHERE Score.RaceID = ? AND Score.Team <> 0 AND Score.Team = Teams.TeamID ")
                                        + QStringLiteral("ORDER BY Score.Posi, Score.DriverID"),
                                    {raceId}, dao::dbOpenForwardOnly);
    // The database's rank of the name, or its case-folded text.
    using Key = std::pair<qint64, QString>;
    struct Team {
        Key key;
        QString name;
        qint64 points = 0;
    };
    QList<Team> teams;
    for (int place = 0; place < int(std::size(kTeamPlacePoints)) && !rs->eof(); ++place, rs->moveNext()) {
        const QString name = rs->text(QStringLiteral("Team_Name"));
        const Key key = order == TeamNameOrder::Database ? Key(rs->integer(QStringLiteral("NameOrder")), QString())
                                                         : Key(0, name.toCaseFolded());
        auto team = std::find_if(teams.begin(), teams.end(), [&](const Team& t) { return t.key == key; });
        // A team goes by the name of its best placed car.
        if (team == teams.end())
            team = teams.insert(teams.end(), {key, name});
        team->points += kTeamPlacePoints[place];
    }
    std::stable_sort(teams.begin(), teams.end(),
                     [](const Team& a, const Team& b) { return a.points != b.points ? a.points > b.points : a.key < b.key; });
    QList<RacePointsLine> lines;
    for (const Team& t : teams)
        lines.append({t.name, t.points});
    return lines;
}

} // namespace

QList<RacePointsLine> RaceTeamPoints(const QString& div, qint64 raceId, int teams, TeamNameOrder order)
{
    return teams == 2 ? teamSums(div, raceId) : teamPlaces(raceId, order);
}

QList<RacePointsLine> RaceRookiePoints(qint64 raceId)
{
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT Score.DriverID FROM Score, Rookies ")
                                        + QStringLiteral("WHERE Score.RaceID = ? AND Score.DriverID = Rookies.DriverID ")
                                        + QStringLiteral("AND Score.Division = Rookies.Division ")
                                        + QStringLiteral("ORDER BY Score.Posi, Score.DriverID"),
                                    {raceId}, dao::dbOpenForwardOnly);
    QList<RacePointsLine> lines;
    for (int place = 0; place < 10 && !rs->eof(); ++place, rs->moveNext()) {
        const qint64 driver = rs->integer(QStringLiteral("DriverID"));
        // One not on file keeps his place, and his points go to no one.
        if (dbMain->openRecordset(QStringLiteral("SELECT DriverID FROM Drivers WHERE DriverID = ?"), {driver}, dao::dbOpenForwardOnly)
                ->eof())
            continue;
        QString name, number, make;
        GetDriverInfo(driver, name, number, make);
        lines.append({name, 10 - place});
    }
    return lines;
}

QList<RacePointsLine> RaceMakePoints(qint64 raceId)
{
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT Brand FROM Score WHERE RaceID = ? ORDER BY Posi, DriverID"), {raceId},
                                    dao::dbOpenForwardOnly);
    BrandSlots makes;
    for (; !rs->eof(); rs->moveNext())
        if (AddBrand(makes, rs->text(QStringLiteral("Brand"))) == 4)
            break;
    // Makes take the slots in turn, so the filled ones come first.
    QList<RacePointsLine> lines;
    for (int slot = 0; slot < int(makes.size()) && !makes[slot].isEmpty(); ++slot)
        lines.append({makes[slot], MfgPoints(slot)});
    return lines;
}
