#pragma once
// What the race import looks up for every result line, read once per
// import: the drivers the page names (DriverID and make) and the team seats
// of the race's division. Online names match as the database compares
// them, case-blind, the lowest DriverID winning; a driver's team is the
// division's team with the lowest TeamID that holds him in a seat.

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

class ImportLookups {
public:
    // Reads the drivers named onlineIds and, with teams, the division's seats.
    void Load(const QStringList& onlineIds, const QString& division, bool teams);
    // DriverID of the online name; nothing when no driver has it.
    std::optional<qint64> Find(const QString& onlineId) const;
    // A driver the import has just added.
    void Added(qint64 driverId, const QString& onlineId, const QString& brand);
    qint64 Team(qint64 driverId) const;
    // The driver's make as stored; a null text when it has no value.
    QString Brand(qint64 driverId) const;

private:
    static QString Key(const QString& onlineId) { return onlineId.toCaseFolded(); }

    QHash<QString, qint64> m_ids;      // case-folded online name -> DriverID
    QHash<qint64, QString> m_brands;   // DriverID -> make
    QHash<qint64, qint64> m_teams;     // seat value -> TeamID
};
