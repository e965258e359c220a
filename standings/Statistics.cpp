#include "Statistics.h"

#include "Database.h"
#include "DbError.h"
#include "Dialogs.h"
#include "HTMLClass.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "SavedQueries.h"
#include "StandingsDb.h"
#include "State.h"
#include "TextLayout.h"
#include "WaitCursor.h"

#include <cmath>

using rt::Format;
using rt::RSet;

namespace {

// The three queries that show a driver's name: "SELECT ", the name, the
// rest, the name order.
const char* const kStatsRest = ", QueryRace.RRaces, Miles.TotMiles, Laps.SumOfLaps, "
                               "Laps.LC, Laps.SumOfLead, Laps.LOC, Laps.LOT "
                               "FROM Drivers, QueryRace, Miles, Laps "
                               "WHERE QueryRace.RDriver = Miles.MDriver And Drivers.DriverID = QueryRace.RDriver "
                               "AND QueryRace.RDriver = Laps.LDriver ORDER BY ";
const char* const kBreakRest = ", QueryRace.RRaces, Provis.TotOfProv, Stand.SumOfPoints, "
                               "Provis.TotOfProvPoints FROM ((QueryRace LEFT JOIN Provis ON "
                               "QueryRace.RDriver = Provis.DriverID) INNER JOIN Stand ON QueryRace.RDriver = "
                               "Stand.SDriver) INNER JOIN Drivers ON QueryRace.RDriver = Drivers.DriverID "
                               "ORDER BY ";
const char* const kMiles2Rest = ", TotMiles "
                                "FROM Miles INNER JOIN Drivers ON Miles.MDriver = Drivers.DriverID "
                                "ORDER BY Miles.TotMiles DESC, ";

// Shown and sorted by the one rule for a shown name; the id keeps two
// drivers of the same name in a fixed order.
QString byShownName(const char* rest)
{
    const QString shown = DriverShownNameSql();
    return QStringLiteral("SELECT ") + shown + QStringLiteral(" AS Name") + QLatin1String(rest) + shown
        + QStringLiteral(", Drivers.DriverID");
}

// The texts earlier versions made: the stored name, so a driver without
// one showed as blanks and sorted first.
const QHash<QString, QString>& formerQueryTexts()
{
    auto byStoredName = [](const char* column, const char* rest) {
        return QStringLiteral("SELECT ") + QLatin1String(column) + QLatin1String(rest) + QStringLiteral("Drivers.Name");
    };
    static const QHash<QString, QString> q = {
        {QStringLiteral("Stats"), byStoredName("Drivers.Name", kStatsRest)},
        {QStringLiteral("Break"), byStoredName("Drivers.Name", kBreakRest)},
        {QStringLiteral("Miles2"), byStoredName("Name", kMiles2Rest)},
    };
    return q;
}

} // namespace

const QList<QPair<QString, QString>>& Statistics::SavedQueries()
{
    static const QList<QPair<QString, QString>> q = {
        {QStringLiteral("QueryRace"),
         QStringLiteral("SELECT DriverID AS RDriver, Count(DriverID) AS RRaces "
                        "FROM ScoreDrop "
                        "WHERE Division = mDiv "
                        "GROUP BY DriverID")},
        {QStringLiteral("Stand"),
         QStringLiteral("SELECT ScoreDrop.DriverID as SDriver, Sum(Points) AS SumOfPoints "
                        "FROM ScoreDrop "
                        "WHERE ScoreDrop.Division = mDiv "
                        "GROUP BY DriverID "
                        "ORDER BY Sum(Points) DESC")},
        {QStringLiteral("Laps"),
         QStringLiteral("SELECT DriverID as LDriver, SUM(Laps) AS SumOfLaps, SUM(Lead) as SumOfLead, "
                        "(SumOfLaps * 100 / mTotLaps) AS LC, "
                        "(SumOfLead * 100 / SUM(Laps)) AS LOC, "
                        "(SumOfLead * 100 / mTotLaps) AS LOT "
                        "FROM ScoreDrop WHERE Division = mDiv "
                        "GROUP BY DriverID ORDER BY DriverID")},
        {QStringLiteral("Miles"),
         QStringLiteral("SELECT DriverID AS MDriver, Sum((Laps*Miles)) AS TotMiles "
                        "FROM ScoreDrop, Races INNER JOIN Tracks ON Races.TrackID = Tracks.ID "
                        "WHERE ScoreDrop.Division = mDiv AND ScoreDrop.RaceID = Races.ID "
                        "GROUP BY ScoreDrop.DriverID "
                        "ORDER BY ScoreDrop.DriverID")},
        {QStringLiteral("Stats"), byShownName(kStatsRest)},
        {QStringLiteral("Provis"),
         QStringLiteral("SELECT DriverID, COUNT(DriverID) as TotOfProv, SUM(Points) as TotOfProvPoints "
                        "FROM ScoreDrop "
                        "WHERE Division = mDiv "
                        "AND Mid$(Finish,1,4) = 'Prov' GROUP BY DriverID ORDER BY DriverID")},
        {QStringLiteral("Break"), byShownName(kBreakRest)},
        {QStringLiteral("Miles2"), byShownName(kMiles2Rest)},
        {QStringLiteral("DNFs"),
         QStringLiteral("SELECT DriverID, Count(DriverID) AS TotOfDNF "
                        "FROM ScoreDrop "
                        "WHERE (((Division)=[mDiv]) AND ((Mid$([Finish],1,4))<>'Runn' AND (Mid$([Finish],1,4))<>'Prov' AND (Mid$([Finish],1,4))<>'DNQ ')) "
                        "GROUP BY DriverID "
                        "ORDER BY DriverID")},
        {QStringLiteral("DNQs"),
         QStringLiteral("SELECT DriverID, Count(DriverID) AS TotOfDNQ "
                        "FROM ScoreDrop "
                        "WHERE (((Division)=[mDiv]) AND ((Finish)='DNQ')) "
                        "GROUP BY DriverID "
                        "ORDER BY DriverID")},
        {QStringLiteral("Earnings"),
         QStringLiteral("SELECT DriverID, Sum(Earnings +  Bonus + BonusAdd) "
                        "FROM ScoreDrop "
                        "GROUP BY DriverID")},
    };
    return q;
}

Statistics::Statistics()
{
    InitQueries();
}

void Statistics::InitQueries()
{
    // A query that cannot be made stops the run, with its name and reason.
    if (!dbMain)
        return;
    std::vector<SavedQueryText> queries;
    for (const auto& [name, sql] : SavedQueries())
        queries.push_back({name, sql, formerQueryTexts().value(name)});
    m_queryError = EnsureSavedQueries(*dbMain, queries);
    for (const auto& q : queries)
        if (dbMain->hasQueryDef(q.name))
            m_queries.insert(q.name, dbMain->queryDef(q.name));
}

dao::QueryDef& Statistics::query(const QString& name)
{
    auto it = m_queries.find(name);
    if (it == m_queries.end())
        throw dao::DbError(3265, QStringLiteral("Item not found in this collection: saved query %1.").arg(name));
    return *it;
}

using StandingsDb::RunError;

bool Statistics::GenerateAll()
{
    m_div = Division;
    m_error.clear();
    // The results are those up to LastRace (the standings run keeps no
    // later race); the lists and records read from Races and Qualify keep to
    // the same races, so an older race shows them as they stood.
    m_upTo.clear();
    if (rt::IsNumeric(rt::Trim(LastRace)))
        m_upTo = QStringLiteral(" AND Val(Races.RaceNo) <= ") + rt::Str(rt::Val(rt::Trim(LastRace)));
    // One object may run again: start from empty lists, not appended ones.
    c_break.clear();
    c_stats.clear();
    c_top5.clear();
    c_gen.clear();
    dTotLaps = QVariant();
    dTotMiles = 0;

    if (!dbMain) {
        m_error = QStringLiteral("No league database is open.");
    } else if (!m_queryError.isEmpty()) {
        m_error = QStringLiteral("The statistics could not be computed.\n\n") + m_queryError;
    } else {
        WaitCursor wait;
        try {
            BuildStatistics();
            return true;
        } catch (...) {
            m_error = StandingsDb::CurrentErrorText(QStringLiteral("The statistics could not be computed."));
        }
    }
    if (ShowErrors)
        dlg::MsgBox(m_error, dlg::vbCritical);
    return false;
}

void Statistics::BuildStatistics()
{
    sSQL = QStringLiteral("SELECT Sum(Laps) AS TLaps, Sum(laps*miles) AS TMiles ")
        + QStringLiteral("FROM (Races INNER JOIN ScoreDrop ON Races.ID = ScoreDrop.RaceID) INNER JOIN Tracks ON Races.TrackID = Tracks.ID ")
        + QStringLiteral("WHERE ScoreDrop.Division = ") + dao::quote(m_div) + QStringLiteral(" AND ScoreDrop.Posi=1");
    {
        auto rs = dbMain->openRecordset(sSQL, {}, dao::dbOpenForwardOnly);
        if (!rs->eof()) {
            if (!rs->isNull(QStringLiteral("TLaps")))
                dTotLaps = rs->field(QStringLiteral("TLaps"));
            if (!rs->isNull(QStringLiteral("TMiles")))
                dTotMiles = static_cast<qint64>(rt::RoundHalfEven(rs->number(QStringLiteral("TMiles"))));
        }
    }

    CalcBreak();
    CalcStat();
    CalcTop5();
    CalcGeneral();

    HTMLClass html;
    html.sDiv = Division;
    html.sRace = LastRace;
    if (!html.HTMLStatistics(dTotLaps, dTotMiles, c_break, c_stats, c_top5, c_gen))
        throw RunError{html.lastError()};
}

void Statistics::CalcStat()
{
    auto& q = query(QStringLiteral("Stats"));
    q.setParameter(QStringLiteral("mDiv"), m_div);
    // No known total leaves LC and LOT empty, shown as 0.0.
    q.setParameter(QStringLiteral("mTotLaps"), dTotLaps);
    auto rs = q.openRecordset();
    for (; !rs->eof(); rs->moveNext()) {
        QString line = rt::LSet(rs->text(QStringLiteral("Name")), 20);
        line += QStringLiteral("  ") + RSet(Format(rs->number(QStringLiteral("RRaces")), QStringLiteral("#0")), 2);
        line += QStringLiteral("  ") + RSet(Format(rs->number(QStringLiteral("TotMiles")), QStringLiteral("0")), 5);
        line += QStringLiteral("  ") + RSet(Format(rs->number(QStringLiteral("SumOfLaps")), QStringLiteral("0")), 5);
        line += QStringLiteral("  ") + RSet(Format(rs->number(QStringLiteral("LC")), QStringLiteral("##0.0")), 5);
        line += QStringLiteral("  ") + RSet(Format(rs->number(QStringLiteral("SumOfLead")), QStringLiteral("0")), 5);
        if (rs->number(QStringLiteral("SumOfLaps")) > 0)
            line += QStringLiteral("  ") + RSet(Format(rs->number(QStringLiteral("LOC")), QStringLiteral("##0.0")), 5) + QStringLiteral("  ");
        else
            line += QStringLiteral("    0.0  ");
        line += RSet(Format(rs->number(QStringLiteral("LOT")), QStringLiteral("##0.0")), 5);
        c_stats.append(line);
    }
}

void Statistics::CalcBreak()
{
    auto& q = query(QStringLiteral("Break"));
    q.setParameter(QStringLiteral("mDiv"), m_div);
    auto rs = q.openRecordset();
    for (; !rs->eof(); rs->moveNext()) {
        const double n = rs->number(QStringLiteral("RRaces"));
        const double p = rs->number(QStringLiteral("TotOfProv"));
        const double t = rs->number(QStringLiteral("SumOfPoints"));
        const double v = rs->number(QStringLiteral("TotOfProvPoints"));
        const double s = n - p;
        double e = 0;
        if (s > 0 && v > 0) {
            if (t - v != 0)
                e = (t - v) / s;
        } else if (s > 0) {
            e = t / s;
        }
        QString line = rt::LSet(rs->text(QStringLiteral("Name")), 20);
        line += QStringLiteral("   ") + RSet(Format(n, QStringLiteral("#0")), 2);
        line += QStringLiteral("   ") + RSet(Format(s, QStringLiteral("#0")), 2);
        line += QStringLiteral("   ") + RSet(Format(p, QStringLiteral("#0")), 2);
        line += QStringLiteral("   ") + RSet(Format(t, QStringLiteral("#0")), 4);
        line += QStringLiteral("   ") + RSet(Format(e, QStringLiteral("##0.0")), 5);
        line += QStringLiteral("   ") + RSet(Format(v, QStringLiteral("#0")), 4);
        c_break.append(line);
    }
}

namespace {

// One top-5 list from an open recordset: title, up to five rows, "LINE".
void appendTop5(QStringList& out, dao::Recordset& rs, const QString& title, const QString& valueField, bool wholePart)
{
    if (rs.eof())
        return;
    out.append(title);
    for (int k = 1; k <= 5 && !rs.eof(); ++k, rs.moveNext()) {
        double value = rs.number(valueField);
        if (wholePart)
            value = std::floor(value);
        out.append(QString::number(k) + QStringLiteral(". ") + rt::LSet(rs.text(QStringLiteral("Name")), 20)
                   + QString(7, QLatin1Char(' ')) + AlignRight(value, 5));
    }
    out.append(QStringLiteral("LINE"));
}

} // namespace

void Statistics::CalcTop5()
{
    const QString div = dao::quote(m_div);
    const QString fromDrivers = QStringLiteral("FROM ScoreDrop INNER JOIN Drivers ON ScoreDrop.DriverID = Drivers.DriverID ");
    struct List {
        QString title, sql, value;
    };
    // Grouped, shown and sorted by the shown name.
    const QString shown = DriverShownNameSql();
    const QString name = shown + QStringLiteral(" AS Name");
    const QString groupByName = QStringLiteral("GROUP BY ") + shown + QStringLiteral(" ");
    const List lists[] = {
        {QStringLiteral("T:STARTS"),
         QStringLiteral("SELECT Count(ScoreDrop.DriverID) AS RRaces, ") + name + QStringLiteral(" ")
             + QStringLiteral("FROM ScoreDrop  INNER JOIN Drivers ON ScoreDrop.DriverID = Drivers.DriverID ")
             + QStringLiteral("WHERE Division = ") + div + QStringLiteral(" AND Mid$(ScoreDrop.Finish,1,4) <> 'Prov' ")
             + groupByName + QStringLiteral("ORDER BY Count(ScoreDrop.DriverID) DESC, ") + shown,
         QStringLiteral("RRaces")},
        {QStringLiteral("T:WINS"),
         QStringLiteral("SELECT ") + name + QStringLiteral(", Count(ScoreDrop.Posi) AS TWins ") + fromDrivers
             + QStringLiteral("WHERE Division = ") + div + QStringLiteral(" And Posi = 1 ")
             + groupByName + QStringLiteral("ORDER BY Count(ScoreDrop.Posi) DESC, ") + shown,
         QStringLiteral("TWins")},
        {QStringLiteral("T:TOP 5"),
         QStringLiteral("SELECT ") + name + QStringLiteral(", Count(ScoreDrop.Posi) AS TT5 ") + fromDrivers
             + QStringLiteral("WHERE Division = ") + div + QStringLiteral(" And Posi < 6 ")
             + groupByName + QStringLiteral("ORDER BY Count(ScoreDrop.Posi) DESC, ") + shown,
         QStringLiteral("TT5")},
        {QStringLiteral("T:TOP 10"),
         QStringLiteral("SELECT ") + name + QStringLiteral(", Count(ScoreDrop.Posi) AS TT10 ") + fromDrivers
             + QStringLiteral("WHERE Division = ") + div + QStringLiteral(" And Posi < 11 ")
             + groupByName + QStringLiteral("ORDER BY Count(ScoreDrop.Posi) DESC, ") + shown,
         QStringLiteral("TT10")},
        {QStringLiteral("T:POLES"),
         QStringLiteral("SELECT Count(Qualify.Pos) AS TPoles, ") + name + QStringLiteral(" ")
             + QStringLiteral("FROM Races INNER JOIN (Qualify INNER JOIN Drivers ON Qualify.DriverID = Drivers.DriverID) ON Races.ID = Qualify.RaceID ")
             + QStringLiteral("WHERE Qualify.pos = 1 AND Division = ") + div + m_upTo + QStringLiteral(" ")
             + groupByName + QStringLiteral("ORDER BY COUNT(Qualify.Pos) DESC, ") + shown,
         QStringLiteral("TPoles")},
        {QStringLiteral("T:LAPS"),
         QStringLiteral("SELECT ") + name + QStringLiteral(", SUM(ScoreDrop.Laps) AS TOT ") + fromDrivers
             + QStringLiteral("WHERE Division = ") + div + QStringLiteral(" ")
             + groupByName + QStringLiteral("ORDER BY SUM(ScoreDrop.Laps) DESC, ") + shown,
         QStringLiteral("TOT")},
        {QStringLiteral("T:LAPS LEAD"),
         QStringLiteral("SELECT ") + name + QStringLiteral(", SUM(ScoreDrop.Lead) AS TOT ") + fromDrivers
             + QStringLiteral("WHERE Division = ") + div + QStringLiteral(" ")
             + groupByName + QStringLiteral("ORDER BY SUM(ScoreDrop.Lead) DESC, ") + shown,
         QStringLiteral("TOT")},
    };
    for (const List& l : lists) {
        sSQL = l.sql;
        auto rs = dbMain->openRecordset(sSQL, {}, dao::dbOpenForwardOnly);
        appendTop5(c_top5, *rs, l.title, l.value, false);
    }
    auto& q = query(QStringLiteral("Miles2"));
    q.setParameter(QStringLiteral("mDiv"), m_div);
    auto rs = q.openRecordset();
    appendTop5(c_top5, *rs, QStringLiteral("T:MILES"), QStringLiteral("TotMiles"), true);
}

QString Statistics::GetDriverName(qint64 driverId)
{
    QString name, number, make;
    GetDriverInfo(driverId, name, number, make);
    return name;
}

namespace {

QString genLine(const QString& label, const QVariant& value)
{
    return label + rt::Str(value);
}

const QString kTrack = QStringLiteral("Track            : ");
const QString kDate = QStringLiteral("Date             : ");

} // namespace

void Statistics::CalcGeneral()
{
    const QString div = dao::quote(m_div);
    const QString line = QStringLiteral("LINE");

    // Equal values go to the earliest race, so a page repeats.

    // Records 1 and 2: fastest and slowest race by the winner's average.
    const QString speedBase = QStringLiteral("SELECT Races.Venue, Races.RaceName, Races.RaceDate, Races.Weather, ScoreDrop.DriverID, ScoreDrop.Interval ")
        + QStringLiteral("FROM Races INNER JOIN ScoreDrop ON Races.ID = ScoreDrop.RaceID ")
        + QStringLiteral("WHERE ScoreDrop.Posi = 1 AND ScoreDrop.Division = ") + div + QStringLiteral(" ");
    const QPair<QString, QString> speedRecords[] = {
        {QStringLiteral("Fastest Avg      : "), QStringLiteral("ORDER BY Val([Interval]) DESC, Races.ID")},
        {QStringLiteral("Slowest Avg      : "), QStringLiteral("ORDER BY Val([Interval]), Races.ID")},
    };
    for (const auto& [title, order] : speedRecords) {
        sSQL = speedBase + order;
        auto rs = dbMain->openRecordset(sSQL, {}, dao::dbOpenForwardOnly);
        if (!rs->eof()) {
            c_gen.append(genLine(title, rs->field(QStringLiteral("RaceName"))));
            c_gen.append(QStringLiteral("Speed            : ") + rs->text(QStringLiteral("Interval")) + QStringLiteral(" mph"));
            c_gen.append(genLine(kTrack, rs->field(QStringLiteral("Venue"))));
            c_gen.append(genLine(kDate, rs->field(QStringLiteral("RaceDate"))));
            c_gen.append(QStringLiteral("Winner           : ") + GetDriverName(rs->integer(QStringLiteral("DriverID"))));
            c_gen.append(genLine(QStringLiteral("Weather          : "), rs->field(QStringLiteral("Weather"))));
        }
        c_gen.append(line);
    }

    // Records 3 and 4: margins, read from the runner-up's interval.
    const QString marginBase = QStringLiteral(" SELECT Races.Venue, Races.RaceName, Races.RaceDate, ScoreDrop.Interval ")
        + QStringLiteral("FROM Races INNER JOIN ScoreDrop ON Races.ID = ScoreDrop.RaceID ")
        + QStringLiteral("WHERE ScoreDrop.Posi = 2 AND ScoreDrop.Division = ") + div + QStringLiteral(" ");
    const QPair<QString, QString> marginRecords[] = {
        {QStringLiteral("Biggest Margin   : "), QStringLiteral("ORDER BY Val(ScoreDrop.Interval), Races.ID")},
        {QStringLiteral("Closest Margin   : "), QStringLiteral("ORDER BY VAL(ScoreDrop.Interval) DESC, Races.ID")},
    };
    for (const auto& [title, order] : marginRecords) {
        sSQL = marginBase + order;
        auto rs = dbMain->openRecordset(sSQL, {}, dao::dbOpenForwardOnly);
        if (!rs->eof()) {
            c_gen.append(genLine(title, rs->field(QStringLiteral("RaceName"))));
            c_gen.append(genLine(kTrack, rs->field(QStringLiteral("Venue"))));
            c_gen.append(genLine(kDate, rs->field(QStringLiteral("RaceDate"))));
            c_gen.append(genLine(QStringLiteral("Margin           : "), rs->field(QStringLiteral("Interval"))));
        }
        c_gen.append(line);
    }

    // Records 5 and 6: pole speeds; a pole without a time has none.
    const QString poleBase = QStringLiteral("SELECT Qualify.DriverID, Speed, Time, Races.Venue, Races.RaceName, Races.RaceDate, Races.QWeather ")
        + QStringLiteral("FROM Races INNER JOIN Qualify ON Races.ID = Qualify.RaceID ")
        + QStringLiteral("WHERE Qualify.pos = 1 AND Val([Speed]) > 0 AND Races.Division = ") + div + m_upTo + QStringLiteral(" ");
    const QPair<QString, QString> poleRecords[] = {
        {QStringLiteral("Fastest Pole     : "), QStringLiteral("ORDER BY Val([Speed]) DESC, Races.ID")},
        {QStringLiteral("Slowest Pole     : "), QStringLiteral("ORDER BY Val([Speed]), Races.ID")},
    };
    for (const auto& [title, order] : poleRecords) {
        sSQL = poleBase + order;
        auto rs = dbMain->openRecordset(sSQL, {}, dao::dbOpenForwardOnly);
        if (!rs->eof()) {
            c_gen.append(genLine(title, rs->field(QStringLiteral("RaceName"))));
            c_gen.append(QStringLiteral("Speed/Time       : ") + rs->text(QStringLiteral("Speed")) + QLatin1Char('/') + rs->text(QStringLiteral("Time")));
            c_gen.append(genLine(kTrack, rs->field(QStringLiteral("Venue"))));
            c_gen.append(genLine(kDate, rs->field(QStringLiteral("RaceDate"))));
            c_gen.append(QStringLiteral("Driver           : ") + GetDriverName(rs->integer(QStringLiteral("DriverID"))));
            c_gen.append(genLine(QStringLiteral("Weather          : "), rs->field(QStringLiteral("QWeather"))));
        }
        c_gen.append(line);
    }

    // Records 7 to 9: race counts kept on the race itself.
    struct RaceRecord {
        QString title, column, label;
    };
    const RaceRecord raceRecords[] = {
        {QStringLiteral("Most Lead Changes: "), QStringLiteral("Changes"), QStringLiteral("# Changes        : ")},
        {QStringLiteral("Most Leaders     : "), QStringLiteral("Leader"), QStringLiteral("# Changes        : ")},
        {QStringLiteral("Most Yellows     : "), QStringLiteral("Flags"), QStringLiteral("# Flags          : ")},
    };
    for (const RaceRecord& r : raceRecords) {
        sSQL = QStringLiteral("SELECT Venue, RaceName, RaceDate, ") + r.column + QStringLiteral(" ")
            + QStringLiteral("FROM Races ") + QStringLiteral("WHERE Division = ") + div + m_upTo + QStringLiteral(" ")
            + QStringLiteral("ORDER BY ") + r.column + QStringLiteral(" DESC, ID");
        auto rs = dbMain->openRecordset(sSQL, {}, dao::dbOpenForwardOnly);
        if (!rs->eof()) {
            c_gen.append(genLine(r.title, rs->field(QStringLiteral("RaceName"))));
            c_gen.append(genLine(kTrack, rs->field(QStringLiteral("Venue"))));
            c_gen.append(genLine(kDate, rs->field(QStringLiteral("RaceDate"))));
            c_gen.append(genLine(r.label, rs->field(r.column)));
        }
        c_gen.append(line);
    }

    // Records 10 and 11: cars running and cars out, counted per race.
    const QPair<QString, QString> carRecords[] = {
        {QStringLiteral("Most Cars Running: "),
         QStringLiteral("SELECT ScoreDrop.RaceID, Count(DriverID) AS Expr1 ") + QStringLiteral("FROM ScoreDrop ")
             + QStringLiteral("WHERE ScoreDrop.Finish = 'Running' AND Division = ") + div + QStringLiteral(" ")
             + QStringLiteral("GROUP BY ScoreDrop.RaceID ORDER BY Count([DriverID]) DESC, ScoreDrop.RaceID")},
        {QStringLiteral("Most DNFs        : "),
         QStringLiteral("SELECT RaceID, Count(DriverID) AS Expr1 ") + QStringLiteral("FROM ScoreDrop ")
             + QStringLiteral("WHERE trim(Finish) <> 'Running' AND Mid$([Finish],1,4) <> 'Prov' AND Division = ") + div + QStringLiteral(" ")
             + QStringLiteral("GROUP BY ScoreDrop.RaceID ORDER BY Count(DriverID) DESC, ScoreDrop.RaceID")},
    };
    for (int i = 0; i < 2; ++i) {
        sSQL = carRecords[i].second;
        auto rs = dbMain->openRecordset(sSQL, {}, dao::dbOpenForwardOnly);
        if (!rs->eof()) {
            auto race = dbMain->openRecordset(QStringLiteral(" SELECT Races.RaceName, Races.Venue, Races.RaceDate ")
                                                  + QStringLiteral("FROM Races ") + QStringLiteral("WHERE Races.ID = ")
                                                  + QString::number(rs->integer(QStringLiteral("RaceID"))),
                                              {}, dao::dbOpenForwardOnly);
            // Kept rows of a race that no longer exists show the record
            // without its race details.
            const bool found = !race->eof();
            c_gen.append(genLine(carRecords[i].first, found ? race->field(QStringLiteral("RaceName")) : QVariant()));
            c_gen.append(genLine(kTrack, found ? race->field(QStringLiteral("Venue")) : QVariant()));
            c_gen.append(genLine(kDate, found ? race->field(QStringLiteral("RaceDate")) : QVariant()));
            c_gen.append(genLine(QStringLiteral("# Cars           : "), rs->field(QStringLiteral("Expr1"))));
        }
        if (i == 0)
            c_gen.append(line);
    }
}
