#pragma once
#include <QString>

// One Drivers row.
class Driver {
public:
    bool Found = false;
    QString Brand;
    QString FullName;   // Name, or OnlineID when Name has no value
    QString Number;
    QString OnlineID;
    qint64 ID = 0;
    void Load(qint64 nID);
};
