#pragma once
// The small season the standings and statistics tests share: three races,
// six drivers, two teams, one rookie, one dropped race.

#include "Database.h"
#include "Lookups.h"
#include "QueryDef.h"
#include "Recordset.h"
#include "Runtime.h"
#include "Standings.h"
#include "State.h"
#include "TestSupport.h"

#include <memory>

namespace season {

// Finishing positions: kPos[driver - 1][race - 1].
const int kPos[6][3] = {{1, 2, 3}, {2, 1, 4}, {3, 4, 2}, {4, 6, 6}, {5, 3, 5}, {6, 5, 1}};
const int kPoints[7] = {0, 185, 170, 165, 160, 155, 150};
const char* const kBrand[6] = {"Ford", "Chevy", "Dodge", "Ford", "Chevy", "Toyota"};
const int kTeam[6] = {1, 1, 1, 2, 2, 0};

class SeasonTest : public testsupport::LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        if (HasFatalFailure())
            return;
        auto& db = *dbMain;
        db.execute(QStringLiteral("INSERT INTO Division (ID, Name, Brands, Teams, Roty, Earnings, PointSystem, [Drop]) "
                                  "VALUES ('D1', 'Premier', 1, 1, 1, 1, 1, 1)"));
        const QStringList names = {QStringLiteral("Al O'Neil"), QStringLiteral("Bo B\u00e4ck"), QStringLiteral("Cy <Fast> & Co"),
                                   QStringLiteral("Di Diaz"),   QStringLiteral("Ed Earl"),     QStringLiteral("Fa Fox")};
        for (int d = 1; d <= 6; ++d)
            db.execute(QStringLiteral("INSERT INTO Drivers (DriverID, OnlineID, Name, [Number], Brand) VALUES (?, ?, ?, ?, ?)"),
                       {d, QStringLiteral("online%1").arg(d), names[d - 1], QString::number(d), QString::fromLatin1(kBrand[d - 1])});
        db.execute(QStringLiteral("INSERT INTO Teams (TeamID, Division, Team_Name, Driver_1, Driver_2, Driver_3, Driver_4, Driver_5, Driver_6) "
                                  "VALUES (1, 'D1', 'Red & Blue Racing', 1, 2, 3, 0, 0, 0)"));
        db.execute(QStringLiteral("INSERT INTO Teams (TeamID, Division, Team_Name, Driver_1, Driver_2, Driver_3, Driver_4, Driver_5, Driver_6) "
                                  "VALUES (2, 'D1', 'O''Hare Motorsports', 4, 5, 0, 0, 0, 0)"));
        db.execute(QStringLiteral("INSERT INTO Rookies (Division, DriverID) VALUES ('D1', 5)"));
        for (int r = 1; r <= 3; ++r)
            db.execute(QStringLiteral("INSERT INTO Races (ID, Division, RaceNo, Venue, RaceName) VALUES (?, 'D1', ?, ?, ?)"),
                       {r, QString::number(r), QStringLiteral("Track %1").arg(r), QStringLiteral("Race %1").arg(r)});
        for (int d = 1; d <= 6; ++d) {
            for (int r = 1; r <= 3; ++r) {
                const int pos = kPos[d - 1][r - 1];
                QVariant earnings = (7 - pos) * 1000;
                if (d == 1 && r == 1)
                    earnings = 1234567;
                if (d == 6)
                    earnings = QVariant();   // never paid: empty amounts
                int bonus = 0;
                if (d == 3 && r == 1)
                    bonus = 500;
                if (d == 6 && r == 3)
                    bonus = 250;
                const QVariant bonusAdd = (d == 2 && r == 2) ? QVariant(100) : QVariant();
                db.execute(QStringLiteral("INSERT INTO Score VALUES ('D1', ?, ?, ?, '', 100, 0, ?, 'Running', ?, ?, ?, ?, ?)"),
                           {r, pos, d, kPoints[pos], kTeam[d - 1], QString::fromLatin1(kBrand[d - 1]), earnings, bonus, bonusAdd});
            }
        }
        // Qualifying: driver 6 never qualifies.
        const int qual[3][5] = {{3, 1, 2, 4, 5}, {1, 2, 3, 4, 5}, {2, 1, 3, 4, 5}};
        for (int r = 1; r <= 3; ++r)
            for (int q = 1; q <= 5; ++q)
                db.execute(QStringLiteral("INSERT INTO Qualify VALUES (?, ?, ?, '30.000', '120.000')"), {r, q, qual[r - 1][q - 1]});
        LoadDivisionSettings(QStringLiteral("D1"));
    }

    bool run(const QString& race, std::unique_ptr<Standings>* keep = nullptr)
    {
        auto s = std::make_unique<Standings>();
        s->Division = QStringLiteral("D1");
        s->LastRace = race;
        const bool ok = s->GenerateAll();
        last = s->StandingLines();
        teams = s->TeamLines();
        mfgs = s->MfgLines();
        rookies = s->RookieLines();
        earnings = s->EarningLines();
        if (keep)
            *keep = std::move(s);
        return ok;
    }

    // ScoreDrop as (race, driver, points) rows in a fixed order.
    QStringList scoreDrop() const
    {
        QStringList out;
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT RaceID, DriverID, Points FROM ScoreDrop ORDER BY RaceID, DriverID"));
        for (; !rs->eof(); rs->moveNext())
            out << QStringLiteral("%1/%2/%3").arg(rs->integer(QStringLiteral("RaceID"))).arg(rs->integer(QStringLiteral("DriverID"))).arg(rs->integer(QStringLiteral("Points")));
        return out;
    }

    QString pagePath() const { return program->file(QStringLiteral("HTML/D1_standings.htm")); }

    QStringList last, teams, mfgs, rookies, earnings;
};

inline QString name20(const char* s)
{
    return rt::LSet(QString::fromUtf8(s), 20);
}

} // namespace season
