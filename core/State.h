#pragma once
// Module state of the core, shared by every window and class for the run.

#include <QString>
#include <QVariant>

#include <memory>

namespace dao {
class Database;
class Recordset;
}

// The generic list window's definition (texts held trimmed here).
struct ListDef {
    QString sCaption;
    QString sKeyField;
    QString sDisplayField;
    double nColWidth = 0;
    QString sDisplayField2;
    QString sTable;
    int nListFont = 0;
};

// Database ------------------------------------------------------------
extern dao::Database* dbMain;                     // the one connection, owned by the core
extern QString sDBPath;                           // program folder + "/Tarvik.MDB"
extern std::unique_ptr<dao::Recordset> rsTemp;    // scratch recordset
extern QString sSQL;                              // scratch SQL text

// Current selection -----------------------------------------------------
extern QString sCurDiv;      // id of the current division
extern qint64 lSelID;        // id of the selected record (race, team, bonus row)
extern QVariant vSelKey;     // key of the generic list's selected row, as text
extern bool bEditMode;       // true = edit the selected record, false = add one
extern ListDef tListDef;

// Import ------------------------------------------------------------------
extern QString sStnPath;     // full path of the chosen result page
extern bool vLAN;            // command-line "LAN"
extern bool vJRL;            // command-line "JRL"

// Windows and messages -------------------------------------------------------
extern int nLastWindowState; // 0 normal, 1 minimised, 2 maximised
extern int nAnswer;          // last Yes/No answer: 6 Yes, 7 No
extern QString vMsg;         // message text about to be shown

// Division settings (written by LoadDivisionSettings) -------------------------
extern bool bBrands;
extern int nTeams;           // 0 none, 1 by place, 2 sum of points
extern bool bRoty;
extern bool bEarnings;
extern int nPointSystem;     // 1 to 8
extern int nDrop;
extern QString sPointSystemFile;
extern QString sEarningsFile;
extern bool bNumbers;

// Preferences (written by LoadOptions) -----------------------------------------
extern double dRookie1, dRookie2, dRookie3;
extern double dChallenge, dHeadache, dPole, dUnderdog, dHard;
extern double dBC1, dBC2, dTC, dTFC, dBFC, dBB;
extern QString sTFN, sBFN;
extern int nTFS, nBFS;
extern bool bLines;
extern QString sHtmlExt;
extern bool bUseStyle;

// Resets every shared variable to its start value (tests use it).
void ResetSharedState();
