#include "ImportDamage.h"

#include "Database.h"
#include "Dialogs.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"

#include <QDomDocument>
#include <QFile>
#include <QLocale>

#include <cmath>
#include <limits>
#include <vector>

namespace {

qint64 nDamageRaceID = 0;

struct DamageEntry {
    QString name;
    qint32 cost[3] = {0, 0, 0};
};

// A cost as the user's locale reads it (digit grouping allowed), rounded
// half to even; false when it is not a number or does not fit.
bool ReadCost(const QString& text, qint32& cost)
{
    const QString t = text.trimmed();
    bool ok = false;
    double v = QLocale().toDouble(t, &ok);
    if (!ok)
        v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    v = rt::RoundHalfEven(v);
    if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
        return false;
    cost = static_cast<qint32>(v);
    return true;
}

bool IsContentNode(const QDomNode& n)
{
    return !n.isComment() && !n.isProcessingInstruction();
}

QList<QDomNode> ContentChildren(const QDomNode& parent)
{
    QList<QDomNode> out;
    const QDomNodeList children = parent.childNodes();
    for (int i = 0; i < children.count(); ++i)
        if (IsContentNode(children.at(i)))
            out.append(children.at(i));
    return out;
}

// Reads the file whole; false (after a message) when it cannot be used.
bool ReadDamageFile(const QString& file, std::vector<DamageEntry>& entries)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        dlg::MsgBox(QStringLiteral("Unable to read the damage file ") + file + QStringLiteral(": ") + f.errorString(),
                    dlg::vbCritical);
        return false;
    }
    QDomDocument doc;
    QString error;
    int line = 0;
    int column = 0;
    if (!doc.setContent(&f, &error, &line, &column)) {
        dlg::MsgBox(QStringLiteral("The damage file ") + file + QStringLiteral(" cannot be read: ") + error
                        + QStringLiteral(" (line ") + QString::number(line) + QStringLiteral(")"),
                    dlg::vbCritical);
        return false;
    }
    const QDomNodeList summaries = doc.elementsByTagName(QStringLiteral("damage-cost-summary"));
    if (summaries.isEmpty()) {
        dlg::MsgBox(QStringLiteral("The damage file ") + file
                        + QStringLiteral(" holds no damage-cost-summary; nothing was imported."),
                    dlg::vbCritical);
        return false;
    }

    const QList<QDomNode> items = ContentChildren(summaries.at(0));
    for (int i = 0; i < items.size(); ++i) {
        const QDomNode& item = items.at(i);
        const QString where = QStringLiteral("Damage entry ") + QString::number(i + 1) + QStringLiteral(" skipped: ");
        const QDomNamedNodeMap attrs = item.attributes();
        if (attrs.isEmpty()) {
            dlg::MsgBox(where + QStringLiteral("it names no driver."), dlg::vbCritical);
            continue;
        }
        DamageEntry entry;
        entry.name = attrs.item(0).nodeValue();
        const QList<QDomNode> costs = ContentChildren(item);
        if (costs.size() < 3) {
            dlg::MsgBox(where + entry.name + QStringLiteral(" has fewer than three costs."), dlg::vbCritical);
            continue;
        }
        bool ok = true;
        for (int c = 0; c < 3 && ok; ++c) {
            const QString text = costs.at(c).toElement().isNull() ? costs.at(c).nodeValue() : costs.at(c).toElement().text();
            ok = ReadCost(text, entry.cost[c]);
            if (!ok)
                dlg::MsgBox(where + entry.name + QStringLiteral(": \"") + text + QStringLiteral("\" is not a whole number."),
                            dlg::vbCritical);
        }
        if (ok)
            entries.push_back(entry);
    }
    return true;
}

double LookUpFinisher(const QString& name)
{
    const QString sql = QStringLiteral("SELECT Score.Posi  FROM Drivers INNER JOIN Score ON Drivers.DriverID = Score.DriverID"
                                       " WHERE Score.RaceID = ")
        + QString::number(nDamageRaceID) + QStringLiteral(" AND Drivers.OnlineID = ") + dao::quote(name)
        + QStringLiteral(" ORDER BY Score.Posi");
    auto rs = dbMain->openRecordset(sql);
    return rs->eof() ? 0 : rs->number(QStringLiteral("Posi"));
}

} // namespace

double FindFinisher(QString& name)
{
    double posi = LookUpFinisher(name);
    if (posi != 0)
        return posi;

    const QStringList pieces = rt::LTrim(name).split(QLatin1Char(' '));
    if (pieces.size() >= 2 && !pieces.at(0).isEmpty()) {
        name = pieces.at(0).left(1) + QLatin1Char(' ') + pieces.at(1);
        posi = LookUpFinisher(name);
        if (posi != 0)
            return posi;
    }
    dlg::MsgBox(QStringLiteral("Diver Not Found! ") + name, dlg::vbOKOnly);
    return 0;
}

bool ConfirmDamageOverwrite(qint64 raceID)
{
    const QString race = QString::number(raceID);
    if (dbMain->openRecordset(QStringLiteral("SELECT * FROM Damage WHERE RaceID = ") + race)->eof())
        return true;
    vMsg = QStringLiteral("Damage for this race already exists, do you want to overwrite the damage?");
    nAnswer = dlg::MsgBox(vMsg, dlg::vbYesNo | dlg::vbQuestion | dlg::vbDefaultButton2);
    if (nAnswer != dlg::vbYes)
        return false;
    dbMain->execute(QStringLiteral("DELETE * FROM Damage WHERE RaceID = ") + race);
    return true;
}

void AddDamageRow(QString& name, qint32 bodywork, qint32 engine, qint32 other)
{
    const double posi = FindFinisher(name);
    if (posi == 0)
        return;
    dbMain->execute(QStringLiteral("INSERT INTO Damage (Division, RaceID, Posi, Bodywork, Engine, Other) "
                                   "VALUES (?, ?, ?, ?, ?, ?)"),
                    {sCurDiv, nDamageRaceID, posi, bodywork, engine, other});
}

void ImportDamage(const QString& file, qint64 raceID)
{
    nDamageRaceID = raceID;

    std::vector<DamageEntry> entries;
    if (!ReadDamageFile(file, entries))
        return;

    try {
        dbMain->beginTrans();
    } catch (const dao::DbError& e) {
        dlg::MsgBox(e.description(), dlg::vbCritical);
        return;
    }
    try {
        if (!ConfirmDamageOverwrite(raceID)) {
            dbMain->rollback();
            return;
        }
        for (DamageEntry& e : entries)
            AddDamageRow(e.name, e.cost[0], e.cost[1], e.cost[2]);
        dbMain->commitTrans();
    } catch (const dao::DbError& e) {
        dbMain->rollback();
        dlg::MsgBox(e.description(), dlg::vbCritical);
    }
}
