#include "Lookups.h"

#include "Database.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "TextLayout.h"

#include <QFileInfo>

static QString idText(qint64 id)
{
    return QString::number(id);
}

QString DriverShownName(const QString& name, const QString& onlineId)
{
    // Blanks only, as the SQL Trim of the same rule.
    return rt::Trim(name).isEmpty() ? onlineId : name;
}

QString DriverShownNameSql(const QString& table)
{
    const QString name = table + QStringLiteral(".Name");
    return QStringLiteral("IIf(%1 Is Null Or Trim(%1) = '', %2.OnlineID, %1)").arg(name, table);
}

void GetDriverInfo(qint64 driverId, QString& name, QString& number, QString& make)
{
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM Drivers WHERE DriverID = ?"), {driverId}, dao::dbOpenForwardOnly);
    if (rs->eof()) {
        name = QStringLiteral("Name not found      ");
        number = QStringLiteral("***");
        make = QString(10, QLatin1Char(' '));
        return;
    }
    const QString shown = DriverShownName(rs->text(QStringLiteral("Name")), rs->text(QStringLiteral("OnlineID")));
    name = rt::LSet(shown, 20);
    // Always three wide, so the columns after it stay in place.
    number = rs->isNull(QStringLiteral("Number")) ? QStringLiteral("***") : rt::RSet(rs->text(QStringLiteral("Number")), 3);
    make = rs->isNull(QStringLiteral("Brand")) ? QString(10, QLatin1Char(' ')) : rt::LSet(rs->text(QStringLiteral("Brand")), 10);
}

qint64 GetDriverTeam(qint64 driverId, const QString& div)
{
    if (nTeams == 0)
        return 0;
    const QString id = idText(driverId);
    sSQL = QStringLiteral("SELECT TeamID FROM Teams ") + QStringLiteral("WHERE (Driver_1 = ") + id + QStringLiteral(" OR Driver_2 = ") + id
        + QStringLiteral(" ") + QStringLiteral("OR Driver_3 = ") + id + QStringLiteral(" OR Driver_4 = ") + id + QStringLiteral(" ")
        + QStringLiteral("OR Driver_5 = ") + id + QStringLiteral(" OR Driver_6 = ") + id + QStringLiteral(") ")
        + QStringLiteral("AND Division = ") + dao::quote(div)
        // A driver should sit in one team only; if not, always the same one wins.
        + QStringLiteral(" ORDER BY TeamID");
    rsTemp = dbMain->openRecordset(sSQL);
    const qint64 team = rsTemp->eof() ? 0 : rsTemp->integer(QStringLiteral("TeamID"));
    rsTemp.reset();
    return team;
}

QString GetDriverBrand(qint64 driverId)
{
    sSQL = QStringLiteral("SELECT Brand FROM Drivers Where DriverID = ") + idText(driverId);
    rsTemp = dbMain->openRecordset(sSQL);
    QString brand = rsTemp->eof() ? QString() : rsTemp->text(QStringLiteral("Brand"));
    rsTemp.reset();
    return brand;
}

QString GetTeamName(qint64 teamId)
{
    sSQL = QStringLiteral("SELECT Team_Name  ") + QStringLiteral("FROM Teams ") + QStringLiteral("WHERE TeamID = ?");
    rsTemp = dbMain->openRecordset(sSQL, {teamId}, dao::dbOpenForwardOnly);
    QString name = rsTemp->eof() ? QString(30, QLatin1Char(' ')) : PadRight(rsTemp->text(QStringLiteral("Team_Name")), 30);
    rsTemp.reset();
    return name;
}

void GetPenalty(const QString& div, qint64 raceId, double posi, qint64& points, QString& comment)
{
    sSQL = QStringLiteral("SELECT * FROM Penalties ") + QStringLiteral("WHERE Division = ? ") + QStringLiteral("AND RaceID = ? ")
        + QStringLiteral("AND Posi = ?");
    auto rs = dbMain->openRecordset(sSQL, {div, raceId, posi}, dao::dbOpenForwardOnly);
    if (rs->eof()) {
        points = 0;
        comment.clear();
        return;
    }
    points = rs->integer(QStringLiteral("Points"));
    comment = rs->text(QStringLiteral("Comment"));
}

bool RaceHasResults(qint64 raceId, const QString& div)
{
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM SCORE WHERE Division = ? AND RaceID = ?"), {div, raceId},
                                    dao::dbOpenForwardOnly);
    return !rs->eof();
}

void LoadDivisionSettings(const QString& div, bool& brands, int& teams, bool& roty, bool& earnings, int& pointSystem, int& drop,
                          QString& pointsFile, QString& earningsFile)
{
    sSQL = QStringLiteral("SELECT * from DIVISION WHERE ID = ") + dao::quote(div);
    rsTemp = dbMain->openRecordset(sSQL);
    // An unknown division leaves the settings of the last one loaded.
    if (!rsTemp->eof()) {
        brands = rsTemp->flag(QStringLiteral("Brands"));
        teams = int(rsTemp->integer(QStringLiteral("Teams")));
        roty = rsTemp->flag(QStringLiteral("Roty"));
        earnings = rsTemp->flag(QStringLiteral("Earnings"));
        pointSystem = int(rsTemp->integer(QStringLiteral("PointSystem")));
        drop = int(rsTemp->integer(QStringLiteral("Drop")));
        pointsFile = rsTemp->text(QStringLiteral("PointSystemFile"));
        earningsFile = rsTemp->text(QStringLiteral("EarningsFile"));
        bNumbers = rsTemp->flag(QStringLiteral("Numbers"));
    }
    rsTemp.reset();
}

void LoadDivisionSettings(const QString& div)
{
    LoadDivisionSettings(div, bBrands, nTeams, bRoty, bEarnings, nPointSystem, nDrop, sPointSystemFile, sEarningsFile);
}

int AddBrand(BrandSlots& brandSlots, const QString& make)
{
    if (rt::Trim(make).isEmpty())
        return 0;
    for (int i = 0; i < int(brandSlots.size()); ++i) {
        if (brandSlots[i].isEmpty()) {
            brandSlots[i] = make;
            return i;
        }
        if (brandSlots[i] == make)
            return i;
    }
    return 5;
}

int MfgPoints(int slot)
{
    static const int kPoints[5] = {9, 6, 4, 2, 1};
    return slot >= 0 && slot < 5 ? kPoints[slot] : 0;
}
