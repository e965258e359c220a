#pragma once
// Purse earnings and bonus awards of one race.

#include <QString>

#include <memory>

namespace dao { class Recordset; }

class EarningsClass {
public:
    qint64 lRaceID = 0;
    qint64 lPurse = 0;
    QString sFile;        // the division's earnings file, "" for the Rates table
    bool bError = false;  // the earnings file could not be read

    // Shares the purse into Score.Earnings. Each runs in its own
    // transaction (nested in the caller's when there is one); a database
    // error rolls that back and is thrown on as dao::DbError.
    void CalculateEarnings();
    // Recomputes Score.Bonus of the race for the division sCurDiv.
    void CalculateBonus();

    // What a race with that purse is paid in the division sCurDiv (its
    // settings loaded): the purse earnings, then the bonuses.
    static void PayPurse(qint64 raceId, double purse);

private:
    void DoCalculateEarnings();
    void DoCalculateBonus();
    static void AddBonusToFirst(std::unique_ptr<dao::Recordset>& rs, double amount);
    static void AddToDriver(qint64 raceId, qint64 driverId, double amount);
};
