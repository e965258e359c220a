#pragma once
#include <QString>

namespace dao {
class Database;
}

// Opens (or creates from data/blank.mdb) the league database into dbMain
// and brings it to the current schema. False when the program must end;
// the message has been shown.
bool OpenDB();
// Copies the blank database into place, then opens it.
bool InitDB();
// Brings the schema to "2.3" in one transaction. False (after showing
// "Conversion Error: ...") when it failed; the database is then unchanged.
bool ConvertDB(const QString& sVersion);
// Adds or rebuilds the lookup indexes a league file of an earlier version
// lacks, in one transaction; leaves the file as it was when that fails.
void UpdateIndexes(dao::Database& db);
// Releases dbMain (end of run, tests).
void CloseDB();

// The schema version the program writes.
inline const char* const kSchemaVersion = "2.3";
