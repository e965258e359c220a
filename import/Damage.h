#pragma once
// The damage costs of one result line.

#include <QString>

class Damage {
public:
    qint32 BodyWork = 0;
    qint32 Engine = 0;
    qint32 Other = 0;
    qint32 Extra = 0;
    QString Comment;
    qint64 DriverID = 0;
    qint32 TotalDamage = 0;

    // Loads the line at position nPosi of race nRace; the members keep
    // their values when there is no such line.
    void GetDamage(qint64 nRace, double nPosi);
    void Clear();
    bool HasDamage(qint64 nRace) const;
    // Money text right-aligned in 7 (short) or 9 characters.
    static QString FormatDamage(qint64 nValue, bool bShort);
};
