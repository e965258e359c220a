// The race result page of one scored race written from the tables alone
// (the schedule's "publish all"). The page has the layout of the one cut
// from the race result window's grids; the race awards and the team, rookie
// and manufacturer points are those core works out for the window too.

#include "HTMLClass.h"

#include "Database.h"
#include "Lookups.h"
#include "RaceAwards.h"
#include "RacePoints.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "TextLayout.h"

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

// A team's or rookie's table: the rows numbered in order, the points
// right-aligned in pointsWidth characters (a sum of lines without points
// as 0).
QList<HTMLClass::PointsLine> pointsLines(const QList<RacePointsLine>& scored, int pointsWidth)
{
    QList<HTMLClass::PointsLine> rows;
    int k = 1;
    for (const RacePointsLine& s : scored)
        rows.append({PadRight(rt::SignedStr(k++), 2), HTMLClass::Escape(s.name),
                     rt::RSet(QString::number(s.points.value_or(0)), pointsWidth)});
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

    QList<AwardLine> awards;
    for (const RaceAward& award : RaceAwards(raceId))
        awards.append({award.name, Escape(award.winner.value_or(QString()))});
    AwardsTable(f, awards, true);

    QualifyTableHead(f, Escape(text(rsSch, "QWeather")), true);
    QualifyRowsFromDB(f, id);
    f << QStringLiteral("</TABLE>");

    if (nTeams != 0) {
        QList<RacePointsLine> teams = RaceTeamPoints(sDiv, raceId, nTeams, TeamNameOrder::CaseFolded);
        for (RacePointsLine& team : teams)
            team.name = PadRight(team.name, 30);
        if (!teams.isEmpty())
            PointsTable(f, QStringLiteral("Team Points"), pointsLines(teams, nTeams == 2 ? 6 : 2), true);
    }
    if (bRoty) {
        const QList<RacePointsLine> rookies = RaceRookiePoints(raceId);
        if (!rookies.isEmpty())
            PointsTable(f, QStringLiteral("ROTY Points"), pointsLines(rookies, 2), true);
    }
    // Written with its title even when no line has a make.
    if (bBrands) {
        QList<PointsLine> makes;
        for (const RacePointsLine& make : RaceMakePoints(raceId))
            makes.append({PadRight(rt::SignedStr(int(makes.size()) + 1), 2), Escape(rt::Trim(make.name)),
                          QString::number(*make.points)});
        PointsTable(f, QStringLiteral("Manufacturer Points"), makes, false);
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
