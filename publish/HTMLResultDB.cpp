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

const int kPlacePoints[10] = {15, 12, 10, 8, 6, 5, 4, 3, 2, 1};

// One line of a team or rookie points table.
struct PointsRow {
    QString name;
    qint64 points = 0;
};

} // namespace

bool HTMLClass::HTMLRaceResultFormDB(const dao::Recordset& rsSch)
{
    m_error.clear();
    const QString& T = sClassTitle;
    const qint64 raceId = rsSch.integer(QStringLiteral("ID"));
    const QString id = QString::number(raceId);
    sRaceNo = ZeroPad(text(rsSch, "RaceNo"), 3);
    auto sep = [](Fragment& f, int columns) {
        if (bLines)
            f << QStringLiteral("    ") + SeparatorRow(columns);
    };

    Fragment f;
    WriteStyle(f);
    LoadDivisionSettings(sDiv);

    // Results table.
    const int n = ResultTableHead(f, text(rsSch, "Venue"), text(rsSch, "RaceDate"),
                                  rt::Trim(text(rsSch, "RaceName")), rt::Trim(text(rsSch, "Weather")));

    // Result lines in finishing order; equal positions by driver.
    auto lines = dbMain->openRecordset(QStringLiteral("SELECT * FROM Score WHERE RaceID = ") + id
                                       + QStringLiteral(" ORDER BY Posi, DriverID"));
    bool band = false;
    int k = 1;
    for (; !lines->eof(); lines->moveNext()) {
        QString name, number, make;
        GetDriverInfo(lines->integer(QStringLiteral("DriverID")), name, number, make);
        sClassLine = RowClass(k, band);
        const QString cell = QStringLiteral("     <td ") + sClassLine;
        f << QStringLiteral("    <TR>")
          << cell + QStringLiteral(" align=\"center\">") + rt::SignedStr(k) + QStringLiteral("</td>")
          << (bNumbers ? cell + QStringLiteral(" align=\"center\">") + Escape(number) + QStringLiteral("</td>")
                       : cell + QStringLiteral(" align=\"center\"></td>"))
          << cell + QStringLiteral(" align=\"left\">") + Escape(name) + QStringLiteral("</td>")
          << cell + QStringLiteral(" align=\"left\">") + Escape(make) + QStringLiteral("</td>");
        if (nTeams != 0)
            f << cell + QStringLiteral(" align=\"left\">") + Escape(GetTeamName(lines->integer(QStringLiteral("Team"))))
                    + QStringLiteral("</td>");
        f << cell + QStringLiteral(" align=\"center\">") + Escape(text(*lines, "Interval")) + QStringLiteral("</td>")
          << cell + QStringLiteral(" align=\"right\">") + Escape(text(*lines, "Laps")) + QStringLiteral("</td>")
          << cell + QStringLiteral(" align=\"right\">") + Escape(text(*lines, "Lead")) + QStringLiteral("</td>")
          << cell + QStringLiteral(" align=\"right\">") + Escape(text(*lines, "Points")) + QStringLiteral("</td>")
          << cell + QStringLiteral(" align=\"right\">") + Escape(text(*lines, "Finish")) + QStringLiteral("</td>");
        if (bEarnings) {
            const double total = rt::RoundHalfEven(lines->number(QStringLiteral("Earnings"))
                                                   + lines->number(QStringLiteral("Bonus"))
                                                   + lines->number(QStringLiteral("BonusAdd")));
            f << cell + QStringLiteral(" align=\"right\">") + rt::RSet(rt::Format(total, QStringLiteral("##,###,##0")), 10)
                    + QStringLiteral("</td>");
        }
        f << QStringLiteral("    </TR>");
        sep(f, n);
        ++k;
    }
    f << QStringLiteral("</TABLE>");

    // Race data with the page's footer.
    f << TableHead(sClassResult) << QStringLiteral("  <TR>")
      << QStringLiteral("    <TD ") + T + QStringLiteral(">Caution Flags/Laps</TD>")
      << QStringLiteral("    <TD ") + T + QStringLiteral(">") + Escape(pair(rsSch, "Flags", "Flagsq")) + QStringLiteral("</TD>")
      << QStringLiteral("    <TD ") + T + QStringLiteral(">Lead Changes/Leaders</TD>")
      << QStringLiteral("    <TD ") + T + QStringLiteral(">") + Escape(pair(rsSch, "Changes", "Leader"))
            + QStringLiteral("</TD></TR>");
    FooterRow(f);
    f << QStringLiteral("</TABLE>") << QStringLiteral("<p><br></p>");

    // Race awards.
    f << TableHead(sClassResult) << QStringLiteral("  <TR>")
      << QStringLiteral("   <TD align=\"center\" colspan=\"2\" ") + T + QStringLiteral(">Race Awards</TD></TR>");
    const char* awardLabels[5] = {">Pole</td>", ">Front Runner</td>", ">Meet the Challenge</td>", ">Headache</td>",
                                  ">Diehard Racer</td>"};
    for (int type = 1; type <= 5; ++type) {
        f << QStringLiteral("  <TR>") << QStringLiteral("    <td ") + sClassLine1 + QString::fromLatin1(awardLabels[type - 1])
          << QStringLiteral("    <td align=\"right\" ") + sClassLine1 + QStringLiteral(">") + Escape(GetAwards(type, raceId))
                + QStringLiteral("</td>")
          << QStringLiteral("  </TR>");
        sep(f, 2);
    }
    f << QStringLiteral("</TABLE>") << QStringLiteral("<p><br></p>");

    // Qualifying.
    f << TableHead(sClassQualify) << QStringLiteral("  <TR>")
      << QStringLiteral("   <TD ") + T + QStringLiteral(" align=\"center\" colspan=\"7\">Qualify</TD></TR>")
      << QStringLiteral("  <TR>")
      << QStringLiteral("   <TD ") + T + QStringLiteral(" align=\"center\" colspan=\"7\">") + Escape(text(rsSch, "QWeather"))
            + QStringLiteral("</TD></TR>");
    f << QStringLiteral("   <TR>");
    for (const QString& h :
         {QStringLiteral(" align=\"center\">Pos.</TD>"),
          bNumbers ? QStringLiteral(" align=\"center\">No.</TD>") : QStringLiteral(" align=\"center\">&nbsp;</TD>"),
          QStringLiteral(" align=\"center\">Driver</TD>"), QStringLiteral(" align=\"right\">Speed</TD>"),
          QStringLiteral(" align=\"center\">Dif. F/N</TD>"), QStringLiteral(" align=\"right\">Time</TD>"),
          QStringLiteral(" align=\"center\">Dif. F/N</TD>")})
        f << QStringLiteral("    <TD ") + T + h;
    f << QStringLiteral("   </TR>");

    sSQL = QStringLiteral("SELECT Pos, DriverID, Time, Speed ") + QStringLiteral("FROM Qualify ") + QStringLiteral("WHERE RaceID = ")
        + id + QStringLiteral(" ORDER BY Pos, DriverID");
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
    band = false;
    k = 1;
    for (; !qual->eof(); qual->moveNext()) {
        QString name, number, make;
        GetDriverInfo(qual->integer(QStringLiteral("DriverID")), name, number, make);
        sClassLine = RowClass(k, band);
        const QString cell = QStringLiteral("    <td ") + sClassLine;
        f << QStringLiteral("   <TR>") << cell + QStringLiteral(" align=\"center\">") + rt::SignedStr(k) + QStringLiteral("</td>")
          << (bNumbers ? cell + QStringLiteral(" align=\"center\">") + Escape(number) + QStringLiteral("</td>")
                       : cell + QStringLiteral(" align=\"center\"></td>"))
          << cell + QStringLiteral(">") + Escape(name) + QStringLiteral("</td>");
        const float speed = float(rt::Val(text(*qual, "Speed")));
        if (speed == 0) {
            // A provisional start: no speed, no gaps; the reference stays.
            f << cell + QStringLiteral(" align=\"right\">Prov.</td>") << cell + QStringLiteral(">&nbsp;</td>")
              << cell + QStringLiteral(">&nbsp;</td>") << cell + QStringLiteral(">&nbsp;</td></tr>");
        } else {
            const bool pole = qual->number(QStringLiteral("Pos")) == 1;
            const QString timeText = text(*qual, "Time");
            const float t = float(rt::Val(timeText));
            QString speedGaps, timeGaps;
            if (pole) {
                prevSpeed = firstSpeed;
                firstTime = prevTime = t;
                speedGaps = timeGaps = QStringLiteral("0/0");
            } else {
                speedGaps = gapPair(std::abs(firstSpeed - speed), std::abs(prevSpeed - speed));
                prevSpeed = speed;
                timeGaps = gapPair(std::abs(t - firstTime), std::abs(t - prevTime));
                prevTime = t;
            }
            const QString shownTime =
                rt::Trim(timeText).isEmpty() ? QString() : rt::RSet(rt::Format(t, QStringLiteral("##0.000")), 7);
            f << cell + QStringLiteral(" align=\"right\">") + rt::Format(speed, QStringLiteral("#00.000")) + QStringLiteral("</td>")
              << cell + QStringLiteral(" align=\"center\">") + speedGaps + QStringLiteral("</td>")
              << cell + QStringLiteral(" align=\"right\">") + shownTime + QStringLiteral("</td>")
              << cell + QStringLiteral(" align=\"center\">") + timeGaps + QStringLiteral("</td></tr>");
        }
        sep(f, 7);
        ++k;
    }
    f << QStringLiteral("</TABLE>");

    // Team and rookie points share one small table shape.
    auto pointsTable = [&](const QString& title, const QList<PointsRow>& rows, int pointsWidth) {
        if (rows.isEmpty())
            return;
        f << QStringLiteral("<p><br></p>") << TableHead(sClassOther) << QStringLiteral("  <TR>")
          << QStringLiteral("   <TD ") + T + QStringLiteral(" align=\"center\" colspan=\"3\">") + title
                + QStringLiteral("</TD></TR>");
        bool rowBand = false;
        int row = 1;
        for (const PointsRow& r : rows) {
            sClassLine = RowClass(row, rowBand);
            f << QStringLiteral("   <tr>")
              << QStringLiteral("    <td ") + sClassLine + QStringLiteral(" width=\"10%\">") + PadRight(rt::SignedStr(row), 2)
                    + QStringLiteral("</td>")
              << QStringLiteral("    <td ") + sClassLine + QStringLiteral(" width=\"80%\">") + Escape(r.name) + QStringLiteral("</td>")
              << QStringLiteral("    <td ") + sClassLine + QStringLiteral(" align=\"right\" width=\"10%\">")
                    + rt::RSet(QString::number(r.points), pointsWidth) + QStringLiteral("</td></tr>");
            sep(f, 3);
            ++row;
        }
        f << QStringLiteral("</TABLE>");
    };

    if (nTeams != 0) {
        QList<PointsRow> teams;
        if (nTeams == 2) {
            auto rs = dbMain->openRecordset(
                QStringLiteral("SELECT Score.Team, Sum(Score.Points) AS SumOfPoints, Teams.Team_Name ")
                + QStringLiteral("FROM Score INNER JOIN Teams ON Score.Team = Teams.TeamID ")
                + QStringLiteral("WHERE Score.Division = ") + dao::quote(sDiv) + QStringLiteral(" AND Score.RaceID = ") + id
                + QStringLiteral(" GROUP BY Score.Team, Teams.Team_Name ")
                + QStringLiteral("ORDER BY Sum(Score.Points) DESC, Teams.Team_Name, Score.Team"));
            for (; !rs->eof(); rs->moveNext())
                teams.append({PadRight(text(*rs, "Team_Name"), 30), qint64(rt::Val(rs->field(QStringLiteral("SumOfPoints"))))});
            pointsTable(QStringLiteral("Team Points"), teams, 6);
        } else {
            // By place: the race's team cars in finishing order score 15, 12,
            // 10, 8, 6, 5, 4, 3, 2, 1; a team without points is not shown.
            auto rs = dbMain->openRecordset(QStringLiteral("SELECT Score.Posi, Teams.Team_Name FROM Score, Teams ")
                                            + QStringLiteral("WHERE Score.RaceID = ") + id
                                            + QStringLiteral(" AND Score.Team <> 0 AND Score.Team = Teams.TeamID ")
                                            + QStringLiteral("ORDER BY Score.Posi, Score.DriverID"));
            // By team name without regard to case, as the database groups
            // them in the race result window.
            QMap<QString, QPair<QString, qint64>> sums;
            for (int j = 0; j < 10 && !rs->eof(); ++j, rs->moveNext()) {
                const QString name = text(*rs, "Team_Name");
                auto& entry = sums[name.toCaseFolded()];
                if (entry.first.isEmpty())
                    entry.first = name;
                entry.second += kPlacePoints[j];
            }
            for (auto it = sums.cbegin(); it != sums.cend(); ++it)
                teams.append({PadRight(it.value().first, 30), it.value().second});
            std::stable_sort(teams.begin(), teams.end(),
                             [](const PointsRow& a, const PointsRow& b) { return a.points > b.points; });
            pointsTable(QStringLiteral("Team Points"), teams, 2);
        }
    }

    if (bRoty) {
        // The race's ten best placed rookies score 10 down to 1.
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT Score.Posi, Score.DriverID FROM Score, Rookies ")
                                        + QStringLiteral("WHERE RaceID = ") + id
                                        + QStringLiteral(" AND Score.DriverID = Rookies.DriverID AND Score.Division = Rookies.Division ")
                                        + QStringLiteral("ORDER BY Score.Posi, Score.DriverID"));
        QList<PointsRow> rookies;
        for (int j = 1; j <= 10 && !rs->eof(); ++j, rs->moveNext()) {
            const qint64 driver = rs->integer(QStringLiteral("DriverID"));
            // Only drivers that are on file are listed.
            if (!dbMain->openRecordset(QStringLiteral("SELECT DriverID FROM Drivers WHERE DriverID = ")
                                       + QString::number(driver))->eof())
                rookies.append({driverName(driver), 11 - j});
        }
        pointsTable(QStringLiteral("ROTY Points"), rookies, 2);
    }

    if (bBrands) {
        BrandSlots makes;
        for (lines->moveFirst(); !lines->eof(); lines->moveNext())
            if (AddBrand(makes, text(*lines, "Brand")) == 4)
                break;
        f << QStringLiteral("<p><br></p>") << TableHead(sClassOther) << QStringLiteral("  <TR>")
          << QStringLiteral("   <TD ") + T + QStringLiteral(" align=\"center\" colspan=\"3\">Manufacturer Points</TD></TR>");
        for (int i = 0; i < 5; ++i) {
            if (rt::Trim(makes[i]).isEmpty())
                continue;
            f << QStringLiteral("   <tr>")
              << QStringLiteral("    <td ") + sClassLine1 + QStringLiteral(" width=\"10%\">") + PadRight(rt::SignedStr(i + 1), 2)
                    + QStringLiteral("</td>")
              << QStringLiteral("    <td ") + sClassLine1 + QStringLiteral(" width=\"80%\">") + Escape(rt::Trim(makes[i]))
                    + QStringLiteral("</td>")
              << QStringLiteral("    <td ") + sClassLine1 + QStringLiteral(" align=\"right\" width=\"10%\">")
                    + QString::number(MfgPoints(i)) + QStringLiteral("</td></tr>");
            sep(f, 3);
        }
        f << QStringLiteral("</TABLE>") << QStringLiteral("<p><br></p>");
    }

    if (HasPenalties(sDiv, raceId)) {
        f << QStringLiteral("<p><br></p>") << TableHead(sClassOther) << QStringLiteral("  <TR>")
          << QStringLiteral("   <TD ") + T + QStringLiteral(" align=\"center\" colspan=\"3\">Point Adjustments</TD></TR>")
          << QStringLiteral("  <TR>") << QStringLiteral("    <TD ") + T + QStringLiteral(" align=\"center\">Driver</TD>")
          << QStringLiteral("    <TD ") + T + QStringLiteral(" align=\"center\">Pts.</TD>")
          << QStringLiteral("    <TD ") + T + QStringLiteral(" align=\"center\">Observations</TD>") << QStringLiteral("  </TR>");
        band = false;
        k = 1;
        for (lines->moveFirst(); !lines->eof(); lines->moveNext()) {
            qint64 points = 0;
            QString comment;
            GetPenalty(sDiv, raceId, lines->number(QStringLiteral("Posi")), points, comment);
            if (points == 0)
                continue;
            sClassLine = RowClass(k, band);
            f << QStringLiteral("   <tr>")
              << QStringLiteral("    <td ") + sClassLine + QStringLiteral(">")
                    + Escape(driverName(lines->integer(QStringLiteral("DriverID")))) + QStringLiteral("</td>")
              << QStringLiteral("    <td ") + sClassLine + QStringLiteral(" align=\"center\">") + QString::number(points)
                    + QStringLiteral("</td>")
              << QStringLiteral("    <td ") + sClassLine + QStringLiteral(">") + Escape(comment) + QStringLiteral("</td></tr>");
            sep(f, 3);
            ++k;
        }
        f << QStringLiteral("</TABLE>");
    }

    return PublishPage(f, sRaceNo + rt::Trim(sDiv) + QStringLiteral("_Result.htm"), QStringLiteral("temp_result.htm"),
                       QStringLiteral("result"), sRaceNo, sDiv);
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
    const QString name = rt::Trim(driverName(rs->integer(QStringLiteral("DriverID"))));
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
