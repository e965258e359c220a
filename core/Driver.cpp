#include "Driver.h"

#include "Database.h"
#include "Lookups.h"
#include "Recordset.h"
#include "State.h"

void Driver::Load(qint64 nID)
{
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM Drivers WHERE DriverID = ") + QString::number(nID));
    Found = !rs->eof();
    if (!Found)
        return;
    ID = nID;
    OnlineID = rs->text(QStringLiteral("OnlineID"));
    FullName = DriverShownName(rs->text(QStringLiteral("Name")), OnlineID);
    // A column without a value keeps what the member held.
    if (!rs->isNull(QStringLiteral("Number")))
        Number = rs->text(QStringLiteral("Number"));
    if (!rs->isNull(QStringLiteral("Brand")))
        Brand = rs->text(QStringLiteral("Brand"));
}
