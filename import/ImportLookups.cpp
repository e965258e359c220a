#include "ImportLookups.h"

#include "Database.h"
#include "Lookups.h"
#include "Recordset.h"
#include "State.h"

#include <QSet>

#include <cmath>

void ImportLookups::Load(const QStringList& onlineIds, const QString& division, bool teams)
{
    m_ids.clear();
    m_brands.clear();
    m_teams.clear();

    // One statement for all the page's names.
    QSet<QString> seen;
    QVariantList names;
    QStringList marks;
    for (const QString& name : onlineIds) {
        if (seen.contains(Key(name)))
            continue;
        seen.insert(Key(name));
        names << name;
        marks << QStringLiteral("?");
    }
    if (!names.isEmpty()) {
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT DriverID, OnlineID, Brand FROM Drivers WHERE OnlineID IN (")
                                            + marks.join(QStringLiteral(", ")) + QStringLiteral(") ORDER BY DriverID"),
                                        names, dao::dbOpenForwardOnly);
        for (; !rs->eof(); rs->moveNext()) {
            const qint64 id = rs->integer(QStringLiteral("DriverID"));
            const QString key = Key(rs->text(QStringLiteral("OnlineID")));
            if (!m_ids.contains(key))
                m_ids.insert(key, id);
            m_brands.insert(id, rs->text(QStringLiteral("Brand")));
        }
    }

    if (!teams)
        return;
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT TeamID, Driver_1, Driver_2, Driver_3, Driver_4, Driver_5, Driver_6 ")
                                        + QStringLiteral("FROM Teams WHERE Division = ? ORDER BY TeamID"),
                                    {division}, dao::dbOpenForwardOnly);
    for (; !rs->eof(); rs->moveNext()) {
        const qint64 team = rs->integer(QStringLiteral("TeamID"));
        for (int seat = 1; seat <= 6; ++seat) {
            // A seat matches a driver as "Driver_n = id" does: a whole number, stored whole.
            const QVariant v = rs->field(QStringLiteral("Driver_%1").arg(seat));
            qint64 id = 0;
            if (v.typeId() == QMetaType::LongLong)
                id = v.toLongLong();
            else if (v.typeId() == QMetaType::Double && std::floor(v.toDouble()) == v.toDouble() && std::fabs(v.toDouble()) < 9e15)
                id = qint64(v.toDouble());
            else
                continue;
            if (!m_teams.contains(id))
                m_teams.insert(id, team);
        }
    }
}

std::optional<qint64> ImportLookups::Find(const QString& onlineId) const
{
    const auto it = m_ids.constFind(Key(onlineId));
    if (it == m_ids.constEnd())
        return std::nullopt;
    return *it;
}

void ImportLookups::Added(qint64 driverId, const QString& onlineId, const QString& brand)
{
    m_ids.insert(Key(onlineId), driverId);
    m_brands.insert(driverId, brand);
}

qint64 ImportLookups::Team(qint64 driverId) const
{
    return m_teams.value(driverId, 0);
}

QString ImportLookups::Brand(qint64 driverId) const
{
    const auto it = m_brands.constFind(driverId);
    return it != m_brands.constEnd() ? *it : GetDriverBrand(driverId);
}
