#pragma once
// The import of one simulation result page into a division: the race's
// Races row, its Qualify rows and its Score rows (adding new drivers), the
// provisional starters, the cap of three counted cars per team, the
// division's point system and, for a money earnings file, the bonuses.
// The whole import is one transaction: on any failure the database is left
// as it was and the scorer is told why.

#include "ImportLookups.h"
#include "PointSystems.h"
#include "ResultPage.h"

#include <QString>

#include <functional>
#include <vector>

// What the import needs of the division's custom earnings file.
struct EarningsFileInfo {
    bool bError = false;        // the file could not be read
    QString sErrorMsg;          // shown when it could not
    bool bMoney = false;        // the values are money amounts
    std::function<double(int position)> GetEarnings;   // 0 for a position without a value
};

// Calls into the earnings code. Both default to "no file" / "nothing to do".
struct ProcessHooks {
    // Loads the custom earnings file named by the division (relative to the
    // program folder). Called only when the division has earnings and names one.
    std::function<EarningsFileInfo(const QString& sFile)> LoadEarningsFile;
    // Computes the race's bonuses (money-mode earnings file only). Runs inside
    // the import's transaction; sCurDiv holds the race's division.
    std::function<void(qint64 raceId)> CalculateBonus;
    // Pays a re-imported race the purse it keeps (earnings, then bonuses),
    // as a save of the race data does; inside the import's transaction,
    // with sCurDiv and the division settings those of the race.
    std::function<void(qint64 raceId, double purse)> PayPurse;
};

// The hooks every new ProcessClass starts with; the earnings code installs its own.
ProcessHooks& DefaultProcessHooks();

class ProcessClass {
public:
    // Results ------------------------------------------------------------
    double NewDrivers = 0;      // Drivers rows added by the import
    qint64 RaceID = 0;          // Races.ID of the imported race
    // Inputs, set by the import window -------------------------------------
    QString RaceNo;             // already normalised ("5", not "05")
    bool MoneyOnly = false;     // finishing points 0 (systems 1, 2 and 8)
    QString stnFileName;        // full path of the result page
    qint64 TrackID = 0;         // Tracks.ID of the race's track
    QString RaceDivision;       // Division.ID
    bool Speed = false;         // the qualifying table gives speeds ("Laps in Speed")
    bool bError = false;        // the import stopped before its end

    ProcessHooks hooks = DefaultProcessHooks();

    // Runs the import; true when the race was stored. Every failure has been
    // shown to the scorer.
    bool ProcRace();

    // A qualifying cell turned into a lap time and a speed, both as texts
    // with "." as the decimal point; a cell without a time gives "0" and "0".
    static void ConvertQualTime(const QString& cell, double miles, bool speedFlag, QString& timeText,
                                QString& speedText);

private:
    void Import();
    void ImportRaceHeader(const PageHeader& header);
    void ImportQualifying(const std::vector<PageQualRow>& rows);
    void ImportRace(const std::vector<PageRaceRow>& rows);
    void FindOrAddDriver(const QString& number, const QString& name);
    void AddScoreRow(int posi, const QString& interval, qint64 laps, qint64 lead, int points,
                     const QString& finish);
    void AddProvisionals(int& position);
    void CapTeams();
    bool AskOverwrite() const;

    ResultPage m_page;
    ImportLookups m_lookups;
    qint64 nDriverID = 0;
    double m_purse = 0;         // the purse a re-imported race keeps
    EarningsFileInfo m_earnings;
    PointSystems m_points;
};
