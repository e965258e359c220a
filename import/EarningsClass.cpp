#include "EarningsClass.h"

#include "CustomEarnings.h"
#include "Database.h"
#include "Dialogs.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"

#include <array>

namespace {

// Runs work inside a transaction: committed when it returns, rolled back
// when it throws.
template <typename F>
void InTransaction(F&& work)
{
    dao::Transaction transaction(*dbMain);
    work();
    transaction.commit();
}

// Finishing position of a row as a table index, -1 when it has no slot.
int Slot(double posi)
{
    if (!(posi >= 0 && posi <= CustomEarnings::kLastPosition) || posi != static_cast<int>(posi))
        return -1;
    return static_cast<int>(posi);
}

} // namespace

void EarningsClass::CalculateEarnings()
{
    InTransaction([this] { DoCalculateEarnings(); });
}

void EarningsClass::CalculateBonus()
{
    InTransaction([this] { DoCalculateBonus(); });
}

void EarningsClass::PayPurse(qint64 raceId, double purse)
{
    EarningsClass earnings;
    earnings.lRaceID = raceId;
    earnings.lPurse = static_cast<qint64>(rt::RoundHalfEven(purse));
    earnings.sFile = sEarningsFile;
    earnings.CalculateEarnings();
    earnings.CalculateBonus();
}

void EarningsClass::DoCalculateEarnings()
{
    std::array<double, CustomEarnings::kLastPosition + 1> rate{};
    CustomEarnings custom;

    if (!sFile.isEmpty()) {
        custom.sFile = sFile;
        custom.Load();
        if (custom.bError) {
            dlg::MsgBox(custom.sErrorMsg, dlg::vbCritical);
            bError = true;
            return;
        }
    }

    if (custom.bRates || custom.bMoney) {
        // Position 50 of the file is not paid.
        for (int p = 0; p < CustomEarnings::kLastPosition; ++p)
            rate[p] = custom.GetEarnings(p);
    } else {
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT Pos, Rate FROM Rates"));
        for (; !rs->eof(); rs->moveNext()) {
            const int slot = Slot(rs->number(QStringLiteral("Pos")));
            if (slot >= 0)
                rate[slot] = rs->number(QStringLiteral("Rate"));
        }
    }

    sSQL = QStringLiteral("SELECT Posi, Earnings  FROM Score  WHERE RaceID = ") + QString::number(lRaceID)
        + QStringLiteral(" ORDER by Posi");
    auto rs = dbMain->openRecordset(sSQL);
    for (; !rs->eof(); rs->moveNext()) {
        const int slot = Slot(rs->number(QStringLiteral("Posi")));
        if (slot < 0 || rate[slot] <= 0)
            continue;
        const double earnings = custom.bMoney
            ? rate[slot]
            : rt::RoundHalfEven(static_cast<double>(lPurse) * rate[slot] / 100.0);
        rs->edit();
        rs->setField(QStringLiteral("Earnings"), earnings);
        rs->update();
    }
}

void EarningsClass::AddBonusToFirst(std::unique_ptr<dao::Recordset>& rs, double amount)
{
    if (!rs || rs->eof() || rs->bof())
        return;
    rs->edit();
    rs->setField(QStringLiteral("Bonus"), rs->number(QStringLiteral("Bonus")) + amount);
    rs->update();
    rs->close();
    rs.reset();
}

void EarningsClass::AddToDriver(qint64 raceId, qint64 driverId, double amount)
{
    dbMain->execute(QStringLiteral("UPDATE Score SET Bonus = Bonus + ? WHERE RaceID = ? AND DriverID = ?"),
                    {amount, raceId, driverId});
}

void EarningsClass::DoCalculateBonus()
{
    const QString race = QString::number(lRaceID);
    const QString div = dao::quote(sCurDiv);

    // Clear.
    dbMain->execute(QStringLiteral("UPDATE Score SET Bonus = 0 WHERE RaceID = ") + race);

    // Pole.
    sSQL = QStringLiteral("SELECT DriverID   FROM Qualify  WHERE RaceID = ") + race + QStringLiteral(" AND Pos = 1");
    {
        auto rs = dbMain->openRecordset(sSQL);
        if (!rs->eof())
            dbMain->execute(QStringLiteral("UPDATE Score    SET Bonus = ? WHERE RaceID = ? AND DriverID = ?"),
                            {dPole, lRaceID, rs->integer(QStringLiteral("DriverID"))});
    }

    // Most laps led; ties go to the better finisher.
    sSQL = QStringLiteral("SELECT DriverID, Bonus FROM Score WHERE RaceID = ") + race
        + QStringLiteral(" ORDER BY Lead DESC, Posi");
    {
        auto rs = dbMain->openRecordset(sSQL);
        AddBonusToFirst(rs, dHard);
    }

    // Most places gained, then most places lost.
    const QString join = QStringLiteral(" FROM Qualify INNER JOIN Score ON (Qualify.DriverID = Score.DriverID) "
                                        "AND (Qualify.RaceID = Score.RaceID) WHERE Score.RaceID = ")
        + race + QLatin1Char(' ');
    sSQL = QStringLiteral("SELECT Score.DriverID, [Pos]-[Posi] AS Improved ") + join
        + QStringLiteral("ORDER BY [Pos]-[posi] DESC, Score.Posi");
    {
        auto rs = dbMain->openRecordset(sSQL);
        if (!rs->eof())
            AddToDriver(lRaceID, rs->integer(QStringLiteral("DriverID")), dChallenge);
    }
    sSQL = QStringLiteral("SELECT Score.DriverID, [Posi]-[Pos] AS Improved ") + join
        + QStringLiteral("ORDER BY [Posi]-[Pos] DESC, Score.Posi");
    {
        auto rs = dbMain->openRecordset(sSQL);
        if (!rs->eof())
            AddToDriver(lRaceID, rs->integer(QStringLiteral("DriverID")), dHeadache);
    }

    // The three best rookies.
    sSQL = QStringLiteral("SELECT Score.DriverID, Score.Bonus FROM Score INNER JOIN Rookies ON "
                          "(Score.Division = Rookies.Division) AND (Score.DriverID = Rookies.DriverID) "
                          "WHERE RaceID = ")
        + race + QStringLiteral(" ORDER BY Posi");
    {
        auto rs = dbMain->openRecordset(sSQL);
        const double rookie[3] = {dRookie1, dRookie2, dRookie3};
        for (int i = 0; i < 3 && !rs->eof(); ++i, rs->moveNext()) {
            rs->edit();
            rs->setField(QStringLiteral("Bonus"), rs->number(QStringLiteral("Bonus")) + rookie[i]);
            rs->update();
        }
    }

    // Underdog: the best finisher who never won in the division.
    sSQL = QStringLiteral("SELECT DriverID, Bonus FROM Score WHERE RaceID = ") + race + QStringLiteral(" ORDER BY Posi");
    {
        auto rs = dbMain->openRecordset(sSQL);
        for (; !rs->eof(); rs->moveNext()) {
            const QString wins = QStringLiteral("SELECT DriverID, Count(Posi) AS TWins FROM Score WHERE Division = ")
                + div + QStringLiteral(" And Posi = 1 AND DriverID = ")
                + QString::number(rs->integer(QStringLiteral("DriverID"))) + QStringLiteral(" GROUP BY DriverID");
            if (dbMain->openRecordset(wins)->eof()) {
                rs->edit();
                rs->setField(QStringLiteral("Bonus"), rs->number(QStringLiteral("Bonus")) + dUnderdog);
                rs->update();
                break;
            }
        }
    }

    // Fixed per-driver amounts; every line of the race, provisionals too.
    sSQL = QStringLiteral("SELECT DriverID, Bonus FROM Score WHERE RaceID = ") + race + QStringLiteral(" ORDER BY Posi");
    {
        auto rs = dbMain->openRecordset(sSQL);
        for (; !rs->eof(); rs->moveNext()) {
            const QString fixed = QStringLiteral("SELECT Bonus.Bonus FROM Bonus WHERE Bonus.DivID = ") + div
                + QStringLiteral(" AND Bonus.DriverID = ") + QString::number(rs->integer(QStringLiteral("DriverID")))
                + QStringLiteral(" ORDER BY Bonus.ID");
            auto bonus = dbMain->openRecordset(fixed);
            if (bonus->eof())
                continue;
            rs->edit();
            rs->setField(QStringLiteral("Bonus"), rs->number(QStringLiteral("Bonus")) + bonus->number(QStringLiteral("Bonus")));
            rs->update();
        }
    }
}
