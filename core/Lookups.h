#pragma once
#include <QString>
#include <QStringList>

#include <array>

// The name a driver is shown and sorted by: his Name, or his OnlineID when
// the Name is empty or blank. DriverShownNameSql is the same rule as an SQL
// expression over the Name and OnlineID columns of the given table or alias.
QString DriverShownName(const QString& name, const QString& onlineId);
QString DriverShownNameSql(const QString& table = QStringLiteral("Drivers"));

// Name in 20, car number in 3 and make in 10 characters;
// "Name not found      ", "***" and 10 blanks when there is no such driver.
void GetDriverInfo(qint64 driverId, QString& name, QString& number, QString& make);
// TeamID of the division's team holding the driver, 0 when none; 0 without a
// lookup when the division loaded last has no teams (nTeams == 0).
qint64 GetDriverTeam(qint64 driverId, const QString& div);
QString GetDriverBrand(qint64 driverId);
// Team name padded to 30; 30 blanks when not found.
QString GetTeamName(qint64 teamId);
// Points and comment of a result line's penalty; 0 and "" when none.
void GetPenalty(const QString& div, qint64 raceId, double posi, qint64& points, QString& comment);
bool RaceHasResults(qint64 raceId, const QString& div);

// Copies the division's settings into the outs and sets bNumbers.
void LoadDivisionSettings(const QString& div, bool& brands, int& teams, bool& roty, bool& earnings,
                          int& pointSystem, int& drop, QString& pointsFile, QString& earningsFile);
// The same into the shared division-settings variables.
void LoadDivisionSettings(const QString& div);

using BrandSlots = std::array<QString, 5>;
// Finds or takes the manufacturer slot of a make (0..4), 5 when all are
// taken by other makes, 0 for a blank make.
int AddBrand(BrandSlots& brandSlots, const QString& make);
int MfgPoints(int slot);
// Team points by place: a race's team cars in finishing order score these,
// later cars nothing.
inline constexpr int kTeamPlacePoints[10] = {15, 12, 10, 8, 6, 5, 4, 3, 2, 1};
