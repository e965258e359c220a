#include "Standings.h"

#include "Database.h"
#include "DbError.h"
#include "Dialogs.h"
#include "HTMLClass.h"
#include "Lookups.h"
#include "QueryDef.h"
#include "Recordset.h"
#include "Runtime.h"
#include "SavedQueries.h"
#include "StandingsDb.h"
#include "State.h"
#include "WaitCursor.h"

#include <QHash>

#include <cmath>
#include <memory>
#include <vector>

Standings::Standings()
{
    InitQueries();
}

QStringList Standings::QueryNames()
{
    return {QStringLiteral("Points"),   QStringLiteral("Qual"),      QStringLiteral("Wins"),
            QStringLiteral("T5s"),      QStringLiteral("T10s"),      QStringLiteral("Poles"),
            QStringLiteral("Standings"), QStringLiteral("TeamPoints"), QStringLiteral("LastRacePoints"),
            QStringLiteral("LastRaceTotals")};
}

QString Standings::QuerySql(const QString& name)
{
    static const QHash<QString, QString> sql = {
        {QStringLiteral("Points"),
         QStringLiteral("SELECT DriverID, Sum(Points) AS SumOfPoints, Avg(Val(Posi)) AS AFP, Count(DriverID) AS RRaces ")
             + QStringLiteral("FROM ScoreDrop ") + QStringLiteral("WHERE Division = mDiv ") + QStringLiteral("GROUP BY DriverID ")
             + QStringLiteral("ORDER BY Sum(ScoreDrop.Points) DESC")},
        {QStringLiteral("Qual"),
         QStringLiteral("SELECT Qualify.DriverID, Avg(Pos) AS ASP ")
             + QStringLiteral("FROM ScoreDrop INNER JOIN Qualify ON ScoreDrop.RaceID = Qualify.RaceID AND ScoreDrop.DriverID = Qualify.DriverID ")
             + QStringLiteral("WHERE ScoreDrop.Division = mDiv ") + QStringLiteral("GROUP BY Qualify.DriverID")},
        {QStringLiteral("Wins"),
         QStringLiteral("SELECT DriverID, Count(Posi) AS TWins ")
             + QStringLiteral("FROM ScoreDrop INNER JOIN Races ON ScoreDrop.RaceID = Races.ID ")
             + QStringLiteral("WHERE ScoreDrop.Division = mDiv AND Posi = 1 ") + QStringLiteral("GROUP BY DriverID ")
             + QStringLiteral("ORDER BY Count(Posi) DESC")},
        {QStringLiteral("T5s"),
         QStringLiteral("SELECT DriverID, Count(Posi) AS TT5 ") + QStringLiteral("FROM ScoreDrop ")
             + QStringLiteral("WHERE Division = mDiv AND Posi < 6 ") + QStringLiteral("GROUP BY DriverID ")
             + QStringLiteral("ORDER BY Count(Posi) DESC")},
        {QStringLiteral("T10s"),
         QStringLiteral("SELECT DriverID, Count(Posi) AS TT10 ") + QStringLiteral("FROM ScoreDrop ")
             + QStringLiteral("WHERE Division = mDiv AND Posi < 11 ") + QStringLiteral("GROUP BY DriverID ")
             + QStringLiteral("ORDER BY Count(Posi) DESC")},
        {QStringLiteral("Poles"),
         QStringLiteral("SELECT DriverID, Count(Pos) AS TPoles ")
             + QStringLiteral("FROM Races INNER JOIN Qualify ON Races.ID = Qualify.RaceID ")
             + QStringLiteral("WHERE Division = mDiv AND Pos = 1 ") + QStringLiteral("GROUP BY DriverID ")
             + QStringLiteral("ORDER BY Count(Pos) DESC")},
        {QStringLiteral("Standings"),
         QStringLiteral(" SELECT Points.DriverID, Points.SumOfPoints, Wins.TWins, Points.AFP, Qual.ASP, Points.RRaces, T5s.TT5, T10s.TT10, Poles.TPoles ")
             + QStringLiteral("FROM ((((Points LEFT JOIN Wins ON Points.DriverID = Wins.DriverID) LEFT JOIN Poles ON Points.DriverID = Poles.DriverID) LEFT JOIN T10s ON Points.DriverID = T10s.DriverID) LEFT JOIN T5s ON Points.DriverID = T5s.DriverID) LEFT JOIN Qual ON Points.DriverID = Qual.DriverID ")
             + QStringLiteral("ORDER BY Points.SumOfPoints DESC , Points.AFP, Wins.TWins DESC , T5s.TT5 DESC , T10s.TT10 DESC")},
        {QStringLiteral("TeamPoints"),
         QStringLiteral("SELECT Team_Name, Sum(Points) AS SumOfPoints ")
             + QStringLiteral("FROM ScoreDrop INNER JOIN Teams ON ScoreDrop.Team = Teams.TeamID ")
             + QStringLiteral("WHERE ScoreDrop.Division = mDiv AND ScoreDrop.Team <> 0 ")
             + QStringLiteral("GROUP BY ScoreDrop.Team, Team_Name ") + QStringLiteral("ORDER BY Sum(ScoreDrop.Points) DESC")},
        {QStringLiteral("LastRacePoints"),
         QStringLiteral("SELECT Division.ID, ScoreDrop.DriverID, Races.RaceNo, ScoreDrop.Points ")
             + QStringLiteral("FROM (Division INNER JOIN Races ON Division.ID = Races.Division) INNER JOIN ScoreDrop ON Races.ID = ScoreDrop.RaceID ")
             + QStringLiteral("WHERE Division.ID= [sDiv] AND val(RaceNo)<= val([LastRace]) ")
             + QStringLiteral("ORDER BY ScoreDrop.DriverID, Races.RaceNo")},
        {QStringLiteral("LastRaceTotals"),
         QStringLiteral("SELECT LastRacePoints.DriverID, Sum(LastRacePoints.Points) AS TotalPoints ")
             + QStringLiteral("FROM LastRacePoints ") + QStringLiteral("GROUP BY LastRacePoints.DriverID ")
             + QStringLiteral("ORDER BY Sum(LastRacePoints.Points) DESC")},
    };
    return sql.value(name);
}

void Standings::InitQueries()
{
    if (!dbMain)
        return;
    // A query that cannot be made stops the run, with its name and reason.
    std::vector<SavedQueryText> queries;
    for (const QString& name : QueryNames())
        queries.push_back({name, QuerySql(name), QString()});
    m_queryError = EnsureSavedQueries(*dbMain, queries);
}

bool Standings::GenerateAll()
{
    m_div = Division;
    m_error.clear();
    m_computed = false;
    ClearLines();

    const QString race = rt::Trim(LastRace);
    if (!rt::IsNumeric(race)) {
        m_error = QStringLiteral("The race number \"") + LastRace + QStringLiteral("\" is not a number; no standings were computed.");
    } else if (!dbMain) {
        m_error = QStringLiteral("No league database is open.");
    } else if (!m_queryError.isEmpty()) {
        m_error = QStringLiteral("The standings could not be computed.\n\n") + m_queryError;
    } else {
        m_lastRace = rt::Val(race);
        WaitCursor wait;
        std::unique_ptr<HTMLClass> html;
        try {
            dao::Transaction transaction(*dbMain);
            BuildStandings();
            // The page writer makes its saved queries as it starts: with the run's tables.
            html = std::make_unique<HTMLClass>();
            transaction.commit();
            m_computed = true;
        } catch (...) {
            m_error = StandingsDb::CurrentErrorText(QStringLiteral("The standings could not be computed."));
            ClearLines();
        }
        // Written once the tables stand: a page that cannot be written does
        // not undo them, so the statistics can still be made from them.
        if (m_computed) {
            try {
                if (html->HTMLStandings(m_div, LastRace, m_standings, m_teams, m_mfgs, m_rookies, m_earnings))
                    return true;
                m_error = html->lastError();
            } catch (...) {
                m_error = StandingsDb::CurrentErrorText(QStringLiteral("The standings page could not be written."));
            }
        }
    }
    if (ShowErrors)
        dlg::MsgBox(m_error, dlg::vbCritical);
    return false;
}

void Standings::ClearLines()
{
    m_standings.clear();
    m_teams.clear();
    m_mfgs.clear();
    m_rookies.clear();
    m_earnings.clear();
}

void Standings::BuildStandings()
{
    CalcStandings();
    if (nTeams != 0)
        CalcTeamPoints();
    if (bBrands)
        CalcMfgPoints();
    if (bRoty)
        CalcRookiePoints();
    if (bEarnings)
        CalcEarnings();
}

// Each driver keeps his K best finishes by position (K = race number minus
// dropped races; all when K is 0 or less), counting only the races up to the
// one being generated, so an older race regenerates as it stood. Among equal
// positions the earlier race (lower RaceID) is kept.
//
// Rows are copied by INSERT ... SELECT: a driver's kept rows are exactly those
// up to his K-th (Posi, RaceID) key, so one statement per dropping driver
// (and one for a run of drivers who keep everything) does the work.
void Standings::RebuildScoreDrop()
{
    dbMain->execute(QStringLiteral("DELETE * FROM ScoreDrop"));

    const QString from = QStringLiteral("FROM Score INNER JOIN Races ON Score.RaceID = Races.ID ")
        + QStringLiteral("WHERE Score.Division = ") + dao::quote(m_div)
        + QStringLiteral(" AND Val(Races.RaceNo) <= ") + rt::Str(m_lastRace);
    const QString order = QStringLiteral(" ORDER BY Score.DriverID, Score.Posi, Score.RaceID");
    const QString copy = QStringLiteral("INSERT INTO ScoreDrop SELECT Score.* ") + from;

    const double keep = m_lastRace - nDrop;
    // A huge race number keeps every row; it must not reach the integer
    // conversion below, where it would overflow.
    if (keep <= 0 || keep >= 1e15) {
        dbMain->execute(copy + order);
        return;
    }
    const qint64 kept = static_cast<qint64>(std::floor(keep));   // rows c = 1, 2, ... with c <= keep

    struct Key {
        double posi;
        qint64 race;
        bool operator==(const Key& o) const { return posi == o.posi && race == o.race; }
    };
    sSQL = QStringLiteral("SELECT Score.DriverID, Score.Posi, Score.RaceID ") + from + order;
    auto rs = dbMain->openRecordset(sSQL, {}, dao::dbOpenForwardOnly);

    QStringList keepAll;   // consecutive drivers who keep every row
    auto flushKeepAll = [&] {
        if (keepAll.isEmpty())
            return;
        dbMain->execute(copy + QStringLiteral(" AND Score.DriverID IN (") + keepAll.join(QLatin1Char(',')) + QLatin1Char(')') + order);
        keepAll.clear();
    };
    auto oneDriver = [&](qint64 driver, const std::vector<Key>& keys, bool nullPosi) {
        if (qint64(keys.size()) <= kept) {
            keepAll << QString::number(driver);
            if (keepAll.size() >= 200)
                flushKeepAll();
            return;
        }
        flushKeepAll();
        if (kept == 0)
            return;
        const QString who = QStringLiteral(" AND Score.DriverID = ") + QString::number(driver);
        const Key& last = keys[size_t(kept - 1)];
        // A row without a position sorts first but fails every comparison,
        // so such a driver is copied row by row too.
        if (!nullPosi && !(keys[size_t(kept)] == last)) {
            // One text for every driver, the values bound.
            dbMain->execute(copy + QStringLiteral(" AND Score.DriverID = ? AND (Score.Posi < ? OR (Score.Posi = ? AND Score.RaceID <= ?))")
                                + order,
                            {driver, last.posi, last.posi, last.race});
            return;
        }
        // Two identical keys across the cut: copy the rows one by one.
        auto rows = dbMain->openRecordset(QStringLiteral("SELECT Score.* ") + from + who + order);
        const QStringList cols = dbMain->columnNames(QStringLiteral("ScoreDrop")).mid(0, 14);
        const int n = std::min<int>(cols.size(), rows->fieldCount());
        StandingsDb::RowInserter insert(QStringLiteral("ScoreDrop"), cols.mid(0, n));
        for (qint64 c = 1; !rows->eof() && c <= kept; rows->moveNext(), ++c) {
            QVariantList values;
            for (int i = 0; i < n; ++i)
                values << rows->field(i);
            insert.add(values);
        }
        insert.flush();
    };

    qint64 driver = 0;
    std::vector<Key> keys;
    bool nullPosi = false;
    for (; !rs->eof(); rs->moveNext()) {
        const qint64 id = rs->integer(QStringLiteral("DriverID"));
        if (!keys.empty() && id != driver) {
            oneDriver(driver, keys, nullPosi);
            keys.clear();
            nullPosi = false;
        }
        driver = id;
        nullPosi = nullPosi || rs->isNull(QStringLiteral("Posi"));
        keys.push_back({rt::Val(rs->field(QStringLiteral("Posi"))), rs->integer(QStringLiteral("RaceID"))});
    }
    if (!keys.empty())
        oneDriver(driver, keys, nullPosi);
    flushKeepAll();
}

QString Standings::GetDiff(dao::Recordset& rs, int nPos, qint64 nID)
{
    if (rs.isEmpty())
        return QStringLiteral("--");
    rs.moveFirst();
    int d = 0;
    for (int k = 1; !rs.eof(); rs.moveNext(), ++k) {
        if (rs.integer(QStringLiteral("DriverID")) == nID) {
            d = k - nPos;
            break;
        }
    }
    if (d == 0)
        return QStringLiteral("--");
    return d > 0 ? QLatin1Char('+') + QString::number(d) : QString::number(d);
}

void Standings::CalcStandings()
{
    RebuildScoreDrop();

    // The previous standings rank by total alone; equal totals rank by id.
    auto prev = StandingsDb::OpenQuery(
        QStringLiteral("SELECT * FROM LastRaceTotals ORDER BY TotalPoints DESC, DriverID"),
        {{QStringLiteral("sDiv"), m_div}, {QStringLiteral("LastRace"), m_lastRace - 1}});
    // The championship tie-break, ending on the driver id so pages repeat.
    auto rs = StandingsDb::OpenQuery(
        QStringLiteral("SELECT * FROM Standings ORDER BY SumOfPoints DESC, AFP, TWins DESC, TT5 DESC, TT10 DESC, DriverID"),
        {{QStringLiteral("mDiv"), m_div}});

    // Poles count the races up to the one generated, like the results, so
    // an older race shows the poles as they stood (the saved query counts
    // every race of the division).
    QHash<qint64, QString> polesUpTo;
    {
        auto q = dbMain->openRecordset(
            QStringLiteral("SELECT Qualify.DriverID, Count(Qualify.Pos) AS TPoles ")
                + QStringLiteral("FROM Races INNER JOIN Qualify ON Races.ID = Qualify.RaceID ")
                + QStringLiteral("WHERE Races.Division = ") + dao::quote(m_div)
                + QStringLiteral(" AND Qualify.Pos = 1 AND Val(Races.RaceNo) <= ") + rt::Str(m_lastRace)
                + QStringLiteral(" GROUP BY Qualify.DriverID"),
            {}, dao::dbOpenForwardOnly);
        for (; !q->eof(); q->moveNext())
            polesUpTo.insert(q->integer(QStringLiteral("DriverID")), rt::Str(q->field(QStringLiteral("TPoles"))));
    }

    double leader = 0, before = 0;
    int p = 1;
    for (; !rs->eof(); rs->moveNext(), ++p) {
        const qint64 id = rs->integer(QStringLiteral("DriverID"));
        QString wins = QStringLiteral(" 0"), t5 = wins, t10 = wins, poles = wins;
        const QString change = nDrop != 0 ? QStringLiteral("--") : GetDiff(*prev, p, id);
        const double points = rt::Val(rs->field(QStringLiteral("SumOfPoints")));
        if (p == 1)
            leader = before = points;
        const QString starts = rt::Str(rs->field(QStringLiteral("RRaces")));
        if (!rs->isNull(QStringLiteral("TWins")))
            wins = rt::Str(rs->field(QStringLiteral("TWins")));
        if (!rs->isNull(QStringLiteral("TT5")))
            t5 = rt::Str(rs->field(QStringLiteral("TT5")));
        if (!rs->isNull(QStringLiteral("TT10")))
            t10 = rt::Str(rs->field(QStringLiteral("TT10")));
        poles = polesUpTo.value(id, poles);
        QString name, number, make;
        GetDriverInfo(id, name, number, make);
        const QString asp = rs->isNull(QStringLiteral("ASP"))
            ? QStringLiteral("     ")
            : rt::RSet(rt::Format(rt::Val(rs->field(QStringLiteral("ASP"))), QStringLiteral("#0.00")), 5);

        const QString line = rt::RSet(QString::number(p), 2) + QStringLiteral(". ") + rt::LSet(name, 20)
            + QLatin1Char(' ') + rt::RSet(starts, 2) + QLatin1Char(' ') + rt::RSet(wins, 2) + QLatin1Char(' ')
            + rt::RSet(t5, 2) + QStringLiteral("  ") + rt::RSet(t10, 2) + QLatin1Char(' ')
            + rt::RSet(rt::Format(rt::Val(rs->field(QStringLiteral("AFP"))), QStringLiteral("#0.00")), 5)
            + QStringLiteral("  ") + rt::RSet(poles, 2) + QLatin1Char(' ') + asp + QStringLiteral("  ")
            + rt::RSet(rt::Str(points), 5) + QLatin1Char(' ')
            + rt::RSet(rt::Format(leader - points, QStringLiteral("####0")), 5) + QLatin1Char('/')
            + rt::LSet(rt::Format(before - points, QStringLiteral("####0")), 5) + QLatin1Char(' ') + change;
        m_standings << line;
        before = points;
    }
}
