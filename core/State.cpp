#include "State.h"

#include "Database.h"
#include "Recordset.h"

dao::Database* dbMain = nullptr;
QString sDBPath;
std::unique_ptr<dao::Recordset> rsTemp;
QString sSQL;

QString sCurDiv;
qint64 lSelID = 0;
QVariant vSelKey;
bool bEditMode = false;
ListDef tListDef;

QString sStnPath;
bool vLAN = false;
bool vJRL = false;

int nLastWindowState = 0;
int nAnswer = 0;
QString vMsg;

bool bBrands = false;
int nTeams = 0;
bool bRoty = false;
bool bEarnings = false;
int nPointSystem = 0;
int nDrop = 0;
QString sPointSystemFile;
QString sEarningsFile;
bool bNumbers = false;

double dRookie1 = 0, dRookie2 = 0, dRookie3 = 0;
double dChallenge = 0, dHeadache = 0, dPole = 0, dUnderdog = 0, dHard = 0;
double dBC1 = 0, dBC2 = 0, dTC = 0, dTFC = 0, dBFC = 0, dBB = 0;
QString sTFN, sBFN;
int nTFS = 0, nBFS = 0;
bool bLines = false;
QString sHtmlExt;
bool bUseStyle = false;

void ResetSharedState()
{
    rsTemp.reset();
    sSQL.clear();
    sCurDiv.clear();
    lSelID = 0;
    vSelKey = QVariant();
    bEditMode = false;
    tListDef = ListDef();
    sStnPath.clear();
    vLAN = vJRL = false;
    nLastWindowState = 0;
    nAnswer = 0;
    vMsg.clear();
    bBrands = bRoty = bEarnings = bNumbers = false;
    nTeams = nPointSystem = nDrop = 0;
    sPointSystemFile.clear();
    sEarningsFile.clear();
    dRookie1 = dRookie2 = dRookie3 = 0;
    dChallenge = dHeadache = dPole = dUnderdog = dHard = 0;
    dBC1 = dBC2 = dTC = dTFC = dBFC = dBB = 0;
    sTFN.clear();
    sBFN.clear();
    nTFS = nBFS = 0;
    bLines = false;
    sHtmlExt.clear();
    bUseStyle = false;
}
