#pragma once
// The scorer's hand corrections of a race that is imported again. Penalties
// and damage rows are keyed on the line's position and additional earnings
// sit on the line itself, so each follows its driver to his new line; a
// penalty is taken off his new points as the penalty editor does. What
// belonged to a driver who is not in the new results is removed and named.

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>
#include <vector>

namespace dao { class Recordset; }

class KeptCorrections {
public:
    // The race's lines as they stand, before they are replaced.
    void Read(qint64 raceId);
    // Moves the corrections onto the new lines, once every new line has
    // its points.
    void Apply();
    // One text per removed correction.
    const QStringList& Removed() const { return m_removed; }

private:
    struct OldLine {
        double posi = 0;
        qint64 driverId = 0;
        QString name;
        QVariant bonusAdd;
        std::optional<qint64> newPosi;   // his line in the new results
    };
    void MatchNewLines();
    const OldLine* LineAt(double posi) const;
    // Who a correction was given to: the driver's name, or the position as
    // stored when its line is not known.
    static QString Owner(const OldLine* line, const QVariant& posi);
    void Move(const QString& table, const std::function<QString(const dao::Recordset&)>& describe,
              const std::function<void(const dao::Recordset&, qint64 newPosi)>& kept = {});

    qint64 m_raceId = 0;
    std::vector<OldLine> m_lines;
    QStringList m_removed;
};
