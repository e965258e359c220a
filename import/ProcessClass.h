#pragma once
// The import of one simulation result page into a division: the race's
// Races row, its Qualify rows and its Score rows (adding new drivers), the
// provisional starters, the cap of three counted cars per team, the
// division's point system and, for a money earnings file, the bonuses.
// A race imported again keeps the scorer's corrections with their drivers.
// The whole import is one transaction: on any failure the database is left
// as it was and the scorer is told why.

#include "CustomEarnings.h"
#include "ImportLookups.h"
#include "KeptCorrections.h"
#include "PointSystems.h"
#include "ResultPage.h"

#include <QString>

#include <vector>

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
    CustomEarnings m_earnings;  // the division's custom earnings file, when it has one
    KeptCorrections m_kept;     // the scorer's corrections of a race imported again
    PointSystems m_points;
};
