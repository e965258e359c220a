#include "Damage.h"

#include "Database.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"

void Damage::GetDamage(qint64 nRace, double nPosi)
{
    sSQL = QStringLiteral("SELECT Damage.*, Score.DriverID FROM Damage "
                          "INNER JOIN Score ON (Damage.Posi = Score.Posi) AND (Damage.RaceID = Score.RaceID) "
                          "AND (Damage.Division = Score.Division) WHERE Score.Posi = ")
        + rt::Str(nPosi) + QStringLiteral(" AND Score.RaceID = ") + QString::number(nRace);
    auto rs = dbMain->openRecordset(sSQL);
    if (rs->eof())
        return;
    BodyWork = static_cast<qint32>(rs->integer(QStringLiteral("Bodywork")));
    Engine = static_cast<qint32>(rs->integer(QStringLiteral("Engine")));
    Other = static_cast<qint32>(rs->integer(QStringLiteral("Other")));
    Extra = static_cast<qint32>(rs->integer(QStringLiteral("Extra")));
    Comment = rs->text(QStringLiteral("Comment"));
    DriverID = rs->integer(QStringLiteral("DriverID"));
    TotalDamage = BodyWork + Engine + Other + Extra;
}

void Damage::Clear()
{
    *this = Damage();
}

bool Damage::HasDamage(qint64) const
{
    return false;
}

QString Damage::FormatDamage(qint64 nValue, bool bShort)
{
    const int width = bShort ? 7 : 9;
    if (nValue == 0)
        return rt::RSet(QStringLiteral("0"), width);
    const QString text = rt::Format(static_cast<double>(nValue),
                                    bShort ? QStringLiteral("$###,##0") : QStringLiteral("$#,###,##0"));
    return rt::RSet(text, width);
}
