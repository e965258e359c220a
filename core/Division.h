#pragma once
#include <QString>

// One Division row.
class Division {
public:
    QString ID;
    QString Name;
    bool Numbers = false;
    bool Brands = false;
    int Teams = 0;
    bool Roty = false;
    bool Earnings = false;
    QString EarningsFile;
    int PointSystem = 0;
    QString PointSystemFile;
    int Drop = 0;
    bool Found = false;

    void Load(const QString& sID);
    void Add();
    void Update(const QString& sID);
};
