#include "KeptCorrections.h"

#include "Database.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"

#include <deque>
#include <map>
#include <set>

namespace {

QString WithComment(const QString& text, const dao::Recordset& rs)
{
    const QString comment = rt::Trim(rs.text(QStringLiteral("Comment")));
    return comment.isEmpty() ? text : text + QStringLiteral(" (") + comment + QLatin1Char(')');
}

} // namespace

void KeptCorrections::Read(qint64 raceId)
{
    m_raceId = raceId;
    m_lines.clear();
    m_removed.clear();
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT Score.Posi, Score.DriverID, Score.BonusAdd, ") + DriverShownNameSql()
                                        + QStringLiteral(" AS Shown FROM Score LEFT JOIN Drivers ON Score.DriverID = Drivers.DriverID "
                                                         "WHERE Score.RaceID = ? ORDER BY Score.Posi, Score.DriverID"),
                                    {raceId});
    for (; !rs->eof(); rs->moveNext())
        m_lines.push_back({rs->number(QStringLiteral("Posi")), rs->integer(QStringLiteral("DriverID")),
                           rs->text(QStringLiteral("Shown")), rs->field(QStringLiteral("BonusAdd")), std::nullopt});
}

void KeptCorrections::Apply()
{
    MatchNewLines();
    Move(
        QStringLiteral("Penalties"),
        [](const dao::Recordset& rs) {
            return WithComment(QStringLiteral("penalty ") + QString::number(rs.integer(QStringLiteral("Points"))), rs);
        },
        [this](const dao::Recordset& rs, qint64 newPosi) {
            dbMain->execute(QStringLiteral("UPDATE Score SET Points = Points + ? WHERE RaceID = ? AND Posi = ?"),
                            {rs.integer(QStringLiteral("Points")), m_raceId, newPosi});
        });
    Move(QStringLiteral("Damage"), [](const dao::Recordset& rs) {
        const qint64 total = rs.integer(QStringLiteral("Bodywork")) + rs.integer(QStringLiteral("Engine"))
            + rs.integer(QStringLiteral("Other")) + rs.integer(QStringLiteral("Extra"));
        return WithComment(QStringLiteral("damage ") + QString::number(total), rs);
    });
    for (const OldLine& line : m_lines) {
        if (line.bonusAdd.isNull())
            continue;
        if (line.newPosi)
            dbMain->execute(QStringLiteral("UPDATE Score SET BonusAdd = ? WHERE RaceID = ? AND Posi = ?"),
                            {line.bonusAdd, m_raceId, *line.newPosi});
        else if (rt::Val(line.bonusAdd) != 0)
            m_removed << Owner(&line, line.posi) + QStringLiteral(": additional earnings ")
                    + rt::Format(rt::Val(line.bonusAdd), QString::fromLatin1(rt::kAmountFormat));
    }
}

void KeptCorrections::MatchNewLines()
{
    // A driver's old lines take his new lines in the same order.
    std::map<qint64, std::deque<qint64>> newLines;
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT Posi, DriverID FROM Score WHERE RaceID = ? ORDER BY Posi"), {m_raceId});
    for (; !rs->eof(); rs->moveNext())
        newLines[rs->integer(QStringLiteral("DriverID"))].push_back(rs->integer(QStringLiteral("Posi")));
    for (OldLine& line : m_lines) {
        std::deque<qint64>& free = newLines[line.driverId];
        if (!free.empty()) {
            line.newPosi = free.front();
            free.pop_front();
        }
    }
}

const KeptCorrections::OldLine* KeptCorrections::LineAt(double posi) const
{
    // The first line at a position, as the editors take it.
    for (const OldLine& line : m_lines)
        if (line.posi == posi)
            return &line;
    return nullptr;
}

QString KeptCorrections::Owner(const OldLine* line, const QVariant& posi)
{
    if (line && !line->name.isEmpty())
        return line->name;
    if (posi.isNull() || posi.toString().isEmpty())
        return QStringLiteral("No position");
    return QStringLiteral("Position ") + rt::Str(posi);
}

void KeptCorrections::Move(const QString& table, const std::function<QString(const dao::Recordset&)>& describe,
                           const std::function<void(const dao::Recordset&, qint64 newPosi)>& kept)
{
    // The rows are moved where they stand rather than written anew, so that
    // a text an older version stored wider than its column is kept whole.
    // Each is removed or moved by the row it was read from, whatever its
    // position holds (a text, a number beyond any line).
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE RaceID = ?"), {m_raceId});
    std::vector<qint64> targets;   // the new position of each kept row, in the recordset's order
    std::set<double> taken;        // positions the kept rows hold or will hold
    while (!rs->eof()) {
        // Only a stored number is a line's position: a text such as '3x'
        // read by its leading number would join line 3's row on one key.
        const QVariant posi = rs->field(QStringLiteral("Posi"));
        const bool numeric = posi.typeId() == QMetaType::LongLong || posi.typeId() == QMetaType::Double;
        const OldLine* line = numeric ? LineAt(posi.toDouble()) : nullptr;
        if (!line || !line->newPosi) {
            m_removed << Owner(line, posi) + QStringLiteral(": ") + describe(*rs);
            rs->remove();   // moves on by itself
            continue;
        }
        targets.push_back(*line->newPosi);
        taken.insert(posi.toDouble());
        taken.insert(double(*line->newPosi));
        if (kept)
            kept(*rs, *line->newPosi);
        rs->moveNext();
    }
    // In two steps, through free positions below the lines, so that two
    // drivers who traded places never meet on one key.
    const auto setPosi = [&](const std::function<qint64(size_t)>& posiOf) {
        size_t i = 0;
        for (rs->moveFirst(); !rs->eof(); rs->moveNext(), ++i) {
            rs->edit();
            rs->setField(QStringLiteral("Posi"), posiOf(i));
            rs->update();
        }
    };
    std::vector<qint64> scratch;
    for (qint64 free = 0; scratch.size() < targets.size();)
        if (!taken.count(double(--free)))
            scratch.push_back(free);
    setPosi([&](size_t i) { return scratch[i]; });
    setPosi([&](size_t i) { return targets[i]; });
}
