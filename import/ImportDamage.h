#pragma once
// Import of a race's damage costs from a damage XML file: one Damage row per
// listed driver who has a result line in the race.

#include <QString>

// Reads and checks the whole file first; a file that cannot be read or
// holds no "damage-cost-summary" is reported and the old rows stay. Then the
// race's old rows are replaced (after asking) in one transaction.
void ImportDamage(const QString& file, qint64 raceID);
// True when the import may go on: the race had no Damage rows, or the user
// agreed and they were deleted.
bool ConfirmDamageOverwrite(qint64 raceID);
// Adds the row when the driver has a result line in the race; name may be
// replaced by its short form.
void AddDamageRow(QString& name, qint32 bodywork, qint32 engine, qint32 other);
// The driver's finishing position in the race, 0 when not found (after a
// message); name may be replaced by its short form ("John Smith" -> "J Smith").
double FindFinisher(QString& name);
