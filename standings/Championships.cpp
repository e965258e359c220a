// Team, manufacturer, rookie and earnings championships, all from the kept
// results in ScoreDrop.

#include "Standings.h"

#include "Database.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "StandingsDb.h"
#include "State.h"
#include "TextLayout.h"

#include <algorithm>

namespace {

// The position, ".  " and the name or make column every championship line
// starts with.
QString lineStart(int pos, int width)
{
    return rt::RSet(QString::number(pos), width) + QStringLiteral(".  ");
}

QString driverName(qint64 id)
{
    QString name, number, make;
    GetDriverInfo(id, name, number, make);
    return rt::LSet(name, 20);
}

// Walks rows ordered by race and place and gives the k-th row of each race
// points[k - 1], the first ten only, keyed by the row's keyField.
void addPlacePoints(dao::Recordset& rs, StandingsDb::RowInserter& insert, const QString& keyField, const int (&points)[10])
{
    int k = 1;
    qint64 race = rs.integer(QStringLiteral("RaceID"));
    for (; !rs.eof(); rs.moveNext()) {
        if (rs.integer(QStringLiteral("RaceID")) != race) {
            race = rs.integer(QStringLiteral("RaceID"));
            k = 1;
        }
        if (k <= 10)
            insert.add({rs.field(keyField), points[k - 1]});
        ++k;
    }
    insert.flush();
}

} // namespace

void Standings::CalcTeamPoints()
{
    if (nTeams == 2) {
        // Sum of the kept points of each team's cars.
        auto rs = StandingsDb::OpenQuery(
            QStringLiteral("SELECT * FROM TeamPoints ORDER BY SumOfPoints DESC, Team_Name"),
            {{QStringLiteral("mDiv"), m_div}});
        int pos = 1;
        for (; !rs->eof(); rs->moveNext(), ++pos)
            m_teams << lineStart(pos, 2) + PadRight(rs->text(QStringLiteral("Team_Name")), 30) + QStringLiteral("  ")
                    + rt::RSet(rt::Str(rs->field(QStringLiteral("SumOfPoints"))), 6);
        return;
    }

    // Race points: the ten best team cars of each race earn place points
    // for their teams.
    dbMain->execute(QStringLiteral("DELETE FROM TempTeams"));
    sSQL = QStringLiteral("SELECT RaceID, Posi, Team, Team_Name FROM ScoreDrop, Teams ")
        + QStringLiteral("WHERE ScoreDrop.Division = ") + dao::quote(m_div)
        + QStringLiteral(" AND Team <> 0 AND ScoreDrop.Team = Teams.TeamID ")
        + QStringLiteral("ORDER BY RaceID, Posi, DriverID");
    auto rs = dbMain->openRecordset(sSQL, {}, dao::dbOpenForwardOnly);
    if (rs->isEmpty())
        return;
    StandingsDb::RowInserter insert(QStringLiteral("TempTeams"), {QStringLiteral("Team_Name"), QStringLiteral("Points")});
    addPlacePoints(*rs, insert, QStringLiteral("Team_Name"), kTeamPlacePoints);

    // Teams are summed by name.
    auto totals = dbMain->openRecordset(QStringLiteral("SELECT Team_Name, SUM(Points) as SumOfPoints FROM TempTeams ")
                                        + QStringLiteral("WHERE cStr(Points) > '0' ")
                                        + QStringLiteral("GROUP BY Team_Name ORDER BY SUM(Points) DESC, Team_Name"));
    int pos = 1;
    for (; !totals->eof(); totals->moveNext(), ++pos)
        m_teams << lineStart(pos, 2) + PadRight(totals->text(QStringLiteral("Team_Name")), 30) + QStringLiteral("  ")
                + rt::RSet(rt::Str(totals->field(QStringLiteral("SumOfPoints"))), 3);
}

void Standings::CalcMfgPoints()
{
    if (rt::Trim(m_div).isEmpty())
        return;
    dbMain->execute(QStringLiteral("DELETE FROM TempTeams"));
    sSQL = QStringLiteral("SELECT RaceID, Posi, Team, DriverID, Brand FROM ScoreDrop ")
        + QStringLiteral("WHERE Division = ") + dao::quote(m_div) + QStringLiteral(" AND Brand <> '' ")
        + QStringLiteral("ORDER BY RaceID, Posi, DriverID");
    auto rs = dbMain->openRecordset(sSQL, {}, dao::dbOpenForwardOnly);
    if (rs->isEmpty())
        return;

    // In each race the first five makes in finishing order earn 9, 6, 4, 2, 1.
    StandingsDb::RowInserter insert(QStringLiteral("TempTeams"), {QStringLiteral("Brand"), QStringLiteral("Points")});
    BrandSlots makes;
    auto award = [&] {
        for (int i = 0; i < 5; ++i) {
            if (!makes[i].isEmpty())
                insert.add({makes[i], MfgPoints(i)});
            makes[i].clear();
        }
    };
    qint64 race = rs->integer(QStringLiteral("RaceID"));
    bool full = false;
    for (; !rs->eof(); rs->moveNext()) {
        if (rs->integer(QStringLiteral("RaceID")) != race) {
            award();
            race = rs->integer(QStringLiteral("RaceID"));
            full = false;
        }
        if (full)
            continue;
        if (AddBrand(makes, rs->text(QStringLiteral("Brand"))) == 4)
            full = true;
    }
    award();
    insert.flush();

    auto totals = dbMain->openRecordset(
        QStringLiteral("SELECT Brand, SUM(Points) as TPoints FROM TempTeams GROUP BY Brand ORDER BY Sum(Points) DESC, Brand"));
    int pos = 1;
    for (; !totals->eof(); totals->moveNext(), ++pos)
        m_mfgs << lineStart(pos, 2) + rt::LSet(totals->text(QStringLiteral("Brand")), 16)
               + rt::RSet(rt::Str(totals->field(QStringLiteral("TPoints"))), 3);
}

void Standings::CalcRookiePoints()
{
    if (rt::Trim(m_div).isEmpty())
        return;
    dbMain->execute(QStringLiteral("DELETE FROM TempTeams"));
    sSQL = QStringLiteral("SELECT ScoreDrop.Posi, ScoreDrop.DriverID, ScoreDrop.RaceID FROM ScoreDrop, Rookies ")
        + QStringLiteral("WHERE ScoreDrop.Division = ") + dao::quote(m_div)
        + QStringLiteral(" AND ScoreDrop.DriverID = Rookies.DriverID ")
        + QStringLiteral("AND ScoreDrop.Division = Rookies.Division ORDER BY RaceID, Posi, ScoreDrop.DriverID");
    auto rs = dbMain->openRecordset(sSQL, {}, dao::dbOpenForwardOnly);
    if (rs->isEmpty())
        return;

    // The ten best rookies of each race earn 10, 9, ... 1.
    StandingsDb::RowInserter insert(QStringLiteral("TempTeams"), {QStringLiteral("DriverID"), QStringLiteral("Points")});
    static const int award[10] = {10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    addPlacePoints(*rs, insert, QStringLiteral("DriverID"), award);

    auto totals = dbMain->openRecordset(QStringLiteral("SELECT SUM(Points) as SumOfPoints, DriverID FROM TempTeams ")
                                        + QStringLiteral("WHERE cStr(Points) > '0' ")
                                        + QStringLiteral("GROUP BY DriverID ORDER BY SUM(Points) DESC, DriverID"));
    int pos = 1;
    for (; !totals->eof(); totals->moveNext(), ++pos)
        m_rookies << lineStart(pos, 2) + driverName(totals->integer(QStringLiteral("DriverID")))
                  + QStringLiteral("        ") + rt::RSet(rt::Str(totals->field(QStringLiteral("SumOfPoints"))), 3);
}

void Standings::CalcEarnings()
{
    // A division may take its points from this one (PointsID).
    sSQL = QStringLiteral("SELECT ID from Division where PointsID = ") + dao::quote(m_div);
    auto linked = dbMain->openRecordset(sSQL);
    const QString linkedDiv = linked->isEmpty() ? QString() : linked->text(QStringLiteral("ID"));
    linked->close();

    sSQL = QStringLiteral("SELECT DriverID, Sum(Earnings) AS SumOfEarnings, Sum(Bonus) AS SumOfBonus, Sum(BonusAdd) AS SumOfBonusAdd ")
        + QStringLiteral("FROM ScoreDrop ") + QStringLiteral("WHERE Division = ") + dao::quote(m_div)
        + QStringLiteral(" OR Division = ") + dao::quote(linkedDiv) + QStringLiteral(" GROUP BY DriverID");
    auto rs = dbMain->openRecordset(sSQL, {}, dao::dbOpenForwardOnly);

    // Empty amounts count as 0, so the total is always the sum of the three
    // columns; equal totals rank by driver id.
    struct Money {
        qint64 id;
        double earnings, bonus, total;
    };
    std::vector<Money> rows;
    for (; !rs->eof(); rs->moveNext()) {
        Money m{};
        m.id = rs->integer(QStringLiteral("DriverID"));
        m.earnings = rt::Val(rs->field(QStringLiteral("SumOfEarnings")));
        m.bonus = rt::Val(rs->field(QStringLiteral("SumOfBonus"))) + rt::Val(rs->field(QStringLiteral("SumOfBonusAdd")));
        m.total = m.earnings + m.bonus;
        rows.push_back(m);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Money& a, const Money& b) {
        return a.total != b.total ? a.total > b.total : a.id < b.id;
    });

    const QString pattern = QStringLiteral("##,###,##0");
    int pos = 1;
    for (const Money& m : rows) {
        m_earnings << lineStart(pos++, 3) + driverName(m.id) + QLatin1Char(' ') + rt::RSet(rt::Format(m.earnings, pattern), 10)
                   + QLatin1Char(' ') + rt::RSet(rt::Format(m.bonus, pattern), 10) + QLatin1Char(' ')
                   + rt::RSet(rt::Format(m.total, pattern), 10);
    }
}
