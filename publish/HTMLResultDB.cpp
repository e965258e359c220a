// The race result page of one scored race written from the tables alone
// (the schedule's "publish all"), and the five race award texts. The page
// has the layout of the one cut from the race result window's grids; team,
// rookie and manufacturer points are worked out again here.

#include "HTMLClass.h"

#include "Database.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "TextLayout.h"

#include <QMap>

#include <algorithm>
#include <cmath>

namespace {

// A stored value as text; a value that was never filled in gives "".
QString text(const dao::Recordset& rs, const char* name)
{
    return rs.text(QString::fromLatin1(name));
}

// "a/b" of two stored counts; empty when neither is known.
QString pair(const dao::Recordset& rs, const char* a, const char* b)
{
    const QString x = text(rs, a), y = text(rs, b);
    if (x.isEmpty() && y.isEmpty())
        return QString();
    return x + QLatin1Char('/') + y;
}

QString driverName(qint64 driverId)
{
    QString name, number, make;
    GetDriverInfo(driverId, name, number, make);
    return name;
}

bool HasPenalties(const QString& div, qint64 raceId)
{
    sSQL = QStringLiteral("SELECT * FROM Penalties ") + QStringLiteral("WHERE Division = ") + dao::quote(div)
        + QStringLiteral(" ") + QStringLiteral("AND RaceID = ") + QString::number(raceId);
    return !dbMain->openRecordset(sSQL)->eof();
}

// A team or rookie with its points; the rows of its table are numbered in
// this order, the points right-aligned in pointsWidth characters.
struct Scored {
    QString name;
    qint64 points = 0;
};

QList<HTMLClass::PointsLine> pointsLines(const QList<Scored>& scored, int pointsWidth)
{
    QList<HTMLClass::PointsLine> rows;
    int k = 1;
    for (const Scored& s : scored)
        rows.append({PadRight(rt::SignedStr(k++), 2), HTMLClass::Escape(s.name),
                     rt::RSet(QString::number(s.points), pointsWidth)});
    return rows;
}

// Team points of the race: the sum of the cars' points (nTeams 2), or by
// place: the race's team cars in finishing order score 15, 12, 10, 8, 6,
// 5, 4, 3, 2, 1 and a team without points is not shown.
QList<HTMLClass::PointsLine> teamPoints(const QString& div, const QString& id)
{
    QList<Scored> teams;
    if (nTeams == 2) {
        auto rs = dbMain->openRecordset(
            QStringLiteral("SELECT Score.Team, Sum(Score.Points) AS SumOfPoints, Teams.Team_Name ")
            + QStringLiteral("FROM Score INNER JOIN Teams ON Score.Team = Teams.TeamID ")
            + QStringLiteral("WHERE Score.Division = ") + dao::quote(div) + QStringLiteral(" AND Score.RaceID = ") + id
            + QStringLiteral(" GROUP BY Score.Team, Teams.Team_Name ")
            + QStringLiteral("ORDER BY Sum(Score.Points) DESC, Teams.Team_Name, Score.Team"));
        for (; !rs->eof(); rs->moveNext())
            teams.append({PadRight(text(*rs, "Team_Name"), 30), qint64(rt::Val(rs->field(QStringLiteral("SumOfPoints"))))});
        return pointsLines(teams, 6);
    }
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT Score.Posi, Teams.Team_Name FROM Score, Teams ")
                                    + QStringLiteral("WHERE Score.RaceID = ") + id
                                    + QStringLiteral(" AND Score.Team <> 0 AND Score.Team = Teams.TeamID ")
                                    + QStringLiteral("ORDER BY Score.Posi, Score.DriverID"));
    // By team name without regard to case, as the database groups them in
    // the race result window.
    QMap<QString, QPair<QString, qint64>> sums;
    for (int j = 0; j < 10 && !rs->eof(); ++j, rs->moveNext()) {
        const QString name = text(*rs, "Team_Name");
        auto& entry = sums[name.toCaseFolded()];
        if (entry.first.isEmpty())
            entry.first = name;
        entry.second += kTeamPlacePoints[j];
    }
    for (auto it = sums.cbegin(); it != sums.cend(); ++it)
        teams.append({PadRight(it.value().first, 30), it.value().second});
    std::stable_sort(teams.begin(), teams.end(), [](const Scored& a, const Scored& b) { return a.points > b.points; });
    return pointsLines(teams, 2);
}

// The race's ten best placed rookies score 10 down to 1; only drivers that
// are on file are listed.
QList<HTMLClass::PointsLine> rookiePoints(const QString& id)
{
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT Score.Posi, Score.DriverID FROM Score, Rookies ")
                                    + QStringLiteral("WHERE RaceID = ") + id
                                    + QStringLiteral(" AND Score.DriverID = Rookies.DriverID AND Score.Division = Rookies.Division ")
                                    + QStringLiteral("ORDER BY Score.Posi, Score.DriverID"));
    QList<Scored> rookies;
    for (int j = 1; j <= 10 && !rs->eof(); ++j, rs->moveNext()) {
        const qint64 driver = rs->integer(QStringLiteral("DriverID"));
        const QString onFile = QStringLiteral("SELECT DriverID FROM Drivers WHERE DriverID = ") + QString::number(driver);
        if (!dbMain->openRecordset(onFile)->eof())
            rookies.append({driverName(driver), 11 - j});
    }
    return pointsLines(rookies, 2);
}

// The first five makes of the result lines in finishing order with their
// points; empty slots are left out.
QList<HTMLClass::PointsLine> makePoints(dao::Recordset& lines)
{
    BrandSlots makes;
    for (lines.moveFirst(); !lines.eof(); lines.moveNext())
        if (AddBrand(makes, text(lines, "Brand")) == 4)
            break;
    QList<HTMLClass::PointsLine> rows;
    for (int i = 0; i < 5; ++i)
        if (!rt::Trim(makes[i]).isEmpty())
            rows.append({PadRight(rt::SignedStr(i + 1), 2), HTMLClass::Escape(rt::Trim(makes[i])),
                         QString::number(MfgPoints(i))});
    return rows;
}

// The result lines whose point adjustment is not 0.
QList<HTMLClass::AdjustmentLine> adjustments(dao::Recordset& lines, const QString& div, qint64 raceId)
{
    QList<HTMLClass::AdjustmentLine> rows;
    for (lines.moveFirst(); !lines.eof(); lines.moveNext()) {
        qint64 points = 0;
        QString comment;
        GetPenalty(div, raceId, lines.number(QStringLiteral("Posi")), points, comment);
        if (points != 0)
            rows.append({HTMLClass::Escape(driverName(lines.integer(QStringLiteral("DriverID")))), QString::number(points),
                         HTMLClass::Escape(comment)});
    }
    return rows;
}

} // namespace

bool HTMLClass::HTMLRaceResultFormDB(const dao::Recordset& rsSch)
{
    m_error.clear();
    const qint64 raceId = rsSch.integer(QStringLiteral("ID"));
    const QString id = QString::number(raceId);
    sRaceNo = ZeroPad(text(rsSch, "RaceNo"), 3);

    Fragment f;
    WriteStyle(f);
    LoadDivisionSettings(sDiv);

    // Results table: result lines in finishing order, equal positions by driver.
    const int n = ResultTableHead(f, text(rsSch, "Venue"), text(rsSch, "RaceDate"),
                                  rt::Trim(text(rsSch, "RaceName")), rt::Trim(text(rsSch, "Weather")));
    auto lines = dbMain->openRecordset(QStringLiteral("SELECT * FROM Score WHERE RaceID = ") + id
                                       + QStringLiteral(" ORDER BY Posi, DriverID"));
    ResultRowsFromDB(f, *lines, n);
    f << QStringLiteral("</TABLE>");

    RaceDataTable(f, QStringLiteral("Caution Flags/Laps"), Escape(pair(rsSch, "Flags", "Flagsq")),
                  QStringLiteral("Lead Changes/Leaders"), Escape(pair(rsSch, "Changes", "Leader")));

    const QString awardLabels[5] = {QStringLiteral("Pole"), QStringLiteral("Front Runner"), QStringLiteral("Meet the Challenge"),
                                    QStringLiteral("Headache"), QStringLiteral("Diehard Racer")};
    QList<AwardLine> awards;
    for (int type = 1; type <= 5; ++type)
        awards.append({awardLabels[type - 1], Escape(GetAwards(type, raceId))});
    AwardsTable(f, awards, true);

    QualifyTableHead(f, Escape(text(rsSch, "QWeather")), true);
    QualifyRowsFromDB(f, id);
    f << QStringLiteral("</TABLE>");

    if (nTeams != 0) {
        const QList<PointsLine> teams = teamPoints(sDiv, id);
        if (!teams.isEmpty())
            PointsTable(f, QStringLiteral("Team Points"), teams, true);
    }
    if (bRoty) {
        const QList<PointsLine> rookies = rookiePoints(id);
        if (!rookies.isEmpty())
            PointsTable(f, QStringLiteral("ROTY Points"), rookies, true);
    }
    // Written with its title even when no line has a make.
    if (bBrands) {
        PointsTable(f, QStringLiteral("Manufacturer Points"), makePoints(*lines), false);
        f << QStringLiteral("<p><br></p>");
    }
    if (HasPenalties(sDiv, raceId))
        AdjustmentsTable(f, adjustments(*lines, sDiv, raceId));

    return PublishPage(f, sRaceNo + rt::Trim(sDiv) + QStringLiteral("_Result.htm"), QStringLiteral("temp_result.htm"),
                       QStringLiteral("result"), sRaceNo, sDiv);
}

void HTMLClass::ResultRowsFromDB(Fragment& f, dao::Recordset& lines, int columns)
{
    bool band = false;
    for (int k = 1; !lines.eof(); lines.moveNext(), ++k) {
        QString name, number, make;
        GetDriverInfo(lines.integer(QStringLiteral("DriverID")), name, number, make);
        sClassLine = RowClass(k, band);
        QString earnings;
        if (bEarnings) {
            const double total = rt::RoundHalfEven(lines.number(QStringLiteral("Earnings"))
                                                   + lines.number(QStringLiteral("Bonus"))
                                                   + lines.number(QStringLiteral("BonusAdd")));
            earnings = rt::RSet(rt::Format(total, QStringLiteral("##,###,##0")), 10);
        }
        ResultRow(f, {rt::SignedStr(k), bNumbers ? Escape(number) : QString(), Escape(name), Escape(make),
                      nTeams != 0 ? Escape(GetTeamName(lines.integer(QStringLiteral("Team")))) : QString(),
                      Escape(text(lines, "Interval")), Escape(text(lines, "Laps")), Escape(text(lines, "Lead")),
                      Escape(text(lines, "Points")), Escape(text(lines, "Finish")), earnings},
                  columns);
    }
}

void HTMLClass::QualifyRowsFromDB(Fragment& f, const QString& raceId)
{
    sSQL = QStringLiteral("SELECT Pos, DriverID, Time, Speed ") + QStringLiteral("FROM Qualify ") + QStringLiteral("WHERE RaceID = ")
        + raceId + QStringLiteral(" ORDER BY Pos, DriverID");
    auto qual = dbMain->openRecordset(sSQL);
    // Gaps are taken in single precision, as the times are stored.
    float firstSpeed = 0, prevSpeed = 0, firstTime = 0, prevTime = 0;
    if (!qual->eof() && text(*qual, "Speed") != QString(7, QLatin1Char(' '))) {
        firstTime = float(rt::Val(text(*qual, "Time")));
        firstSpeed = float(rt::Val(text(*qual, "Speed")));
    }
    auto gapPair = [](float toFirst, float toPrev) {
        return rt::RSet(rt::Trim(rt::Format(toFirst, QStringLiteral("##0.000"))), 7) + QLatin1Char('/')
            + rt::LSet(rt::Trim(rt::Format(toPrev, QStringLiteral("##0.000"))), 7);
    };
    bool band = false;
    for (int k = 1; !qual->eof(); qual->moveNext(), ++k) {
        QualifyLine line;
        QString make;
        GetDriverInfo(qual->integer(QStringLiteral("DriverID")), line.name, line.number, make);
        line.pos = rt::SignedStr(k);
        line.number = bNumbers ? Escape(line.number) : QString();
        line.name = Escape(line.name);
        sClassLine = RowClass(k, band);
        const float speed = float(rt::Val(text(*qual, "Speed")));
        if (speed == 0) {
            // A provisional start: no speed, no gaps; the reference stays.
            line.speed = QStringLiteral("Prov.");
        } else {
            const QString timeText = text(*qual, "Time");
            const float t = float(rt::Val(timeText));
            if (qual->number(QStringLiteral("Pos")) == 1) {
                prevSpeed = firstSpeed;
                firstTime = prevTime = t;
                line.speedGaps = line.timeGaps = QStringLiteral("0/0");
            } else {
                line.speedGaps = gapPair(std::abs(firstSpeed - speed), std::abs(prevSpeed - speed));
                prevSpeed = speed;
                line.timeGaps = gapPair(std::abs(t - firstTime), std::abs(t - prevTime));
                prevTime = t;
            }
            line.speed = rt::Format(speed, QStringLiteral("#00.000"));
            line.time = rt::Trim(timeText).isEmpty() ? QString() : rt::RSet(rt::Format(t, QStringLiteral("##0.000")), 7);
        }
        QualifyRow(f, line);
    }
}

QString HTMLClass::GetAwards(int nType, qint64 nRaceID)
{
    const QString N = QString::number(nRaceID);
    const QString join = QStringLiteral(" FROM Qualify ")
        + QStringLiteral("INNER JOIN Score ON (Qualify.DriverID = Score.DriverID) AND (Qualify.RaceID = Score.RaceID) ")
        + QStringLiteral("WHERE Score.RaceID = ") + N;
    // Equal figures go to the better finisher, as in the race result window.
    QString sql;
    switch (nType) {
    case 1:
        sql = QStringLiteral("SELECT Score.DriverID, Time, Speed ") + join + QStringLiteral(" AND Qualify.pos = 1")
            + QStringLiteral(" ORDER BY Score.Posi");
        break;
    case 2:
        sql = QStringLiteral("SELECT DriverID, Lead FROM Score ") + QStringLiteral("WHERE RaceID = ") + N
            + QStringLiteral(" ORDER BY Lead DESC, Posi");
        break;
    case 3:
        sql = QStringLiteral("SELECT Score.DriverID, [Pos]-[Posi] AS Improved ") + join
            + QStringLiteral(" ORDER BY [Pos]-[posi] DESC, Posi");
        break;
    case 4:
        sql = QStringLiteral("SELECT Score.DriverID, [Posi]-[Pos] AS Improved ") + join
            + QStringLiteral(" ORDER BY [Posi]-[Pos] DESC, Posi");
        break;
    case 5:
        sql = QStringLiteral("SELECT DriverID FROM Score ") + QStringLiteral("WHERE RaceID = ") + N
            + QStringLiteral(" AND Finish = 'Running' ") + QStringLiteral("ORDER BY Laps, Posi DESC");
        break;
    default:
        return QString();
    }
    if (nType == 3)
        sSQL = sql;
    auto rs = dbMain->openRecordset(sql);
    if (rs->eof())
        return QString();
    QString name = rt::Trim(driverName(rs->integer(QStringLiteral("DriverID"))));
    switch (nType) {
    case 1:
        return name + QStringLiteral(", ") + rt::Trim(text(*rs, "Speed")) + QStringLiteral(" mph (")
            + rt::Trim(text(*rs, "Time")) + QStringLiteral(" s.)");
    case 2:
        return name + QStringLiteral(", ") + text(*rs, "Lead") + QStringLiteral(" laps Lead");
    case 3:
        return name + QStringLiteral(", ") + text(*rs, "Improved") + QStringLiteral(" places improved");
    case 4:
        return name + QStringLiteral(", ") + text(*rs, "Improved") + QStringLiteral(" places dropped");
    default:
        return name;
    }
}
