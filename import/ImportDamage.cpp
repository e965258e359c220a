#include "ImportDamage.h"

#include "Database.h"
#include "Dialogs.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"

#include <QFile>
#include <QLocale>
#include <QXmlStreamReader>

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

// One child node of the summary as read: its first attribute (in file
// order) and the texts of its child nodes.
struct RawEntry {
    bool hasName = false;
    QString name;
    QStringList texts;
};

// Reads the children of the summary element the reader stands on.
std::vector<RawEntry> ReadSummary(QXmlStreamReader& xml)
{
    std::vector<RawEntry> raw;
    int depth = 0;   // 1 = inside an entry
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (depth == 0) {
                RawEntry e;
                const QXmlStreamAttributes attrs = xml.attributes();
                if (!attrs.isEmpty()) {
                    e.hasName = true;
                    e.name = attrs.first().value().toString();
                }
                raw.push_back(e);
                depth = 1;
            } else {
                raw.back().texts.append(xml.readElementText(QXmlStreamReader::IncludeChildElements));
            }
        } else if (xml.isEndElement()) {
            if (depth == 0)
                break;   // end of the summary
            depth = 0;
        } else if (xml.isCharacters() && !xml.isWhitespace()) {
            if (depth == 0)
                raw.push_back(RawEntry());   // a bare text: an entry without a name
            else
                raw.back().texts.append(xml.text().toString());
        }
    }
    return raw;
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
    // The first summary element counts; the rest of the file is still
    // read so that a damaged file is refused as a whole.
    QXmlStreamReader xml(&f);
    std::vector<RawEntry> raw;
    bool found = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!found && xml.isStartElement() && xml.name() == QLatin1String("damage-cost-summary")) {
            found = true;
            raw = ReadSummary(xml);
        }
    }
    if (xml.hasError()) {
        dlg::MsgBox(QStringLiteral("The damage file ") + file + QStringLiteral(" cannot be read: ") + xml.errorString()
                        + QStringLiteral(" (line ") + QString::number(xml.lineNumber()) + QStringLiteral(")"),
                    dlg::vbCritical);
        return false;
    }
    if (!found) {
        dlg::MsgBox(QStringLiteral("The damage file ") + file
                        + QStringLiteral(" holds no damage-cost-summary; nothing was imported."),
                    dlg::vbCritical);
        return false;
    }

    for (size_t i = 0; i < raw.size(); ++i) {
        const RawEntry& item = raw[i];
        const QString where = QStringLiteral("Damage entry ") + QString::number(i + 1) + QStringLiteral(" skipped: ");
        if (!item.hasName) {
            dlg::MsgBox(where + QStringLiteral("it names no driver."), dlg::vbCritical);
            continue;
        }
        if (item.texts.size() < 3) {
            dlg::MsgBox(where + item.name + QStringLiteral(" has fewer than three costs."), dlg::vbCritical);
            continue;
        }
        DamageEntry entry;
        entry.name = item.name;
        bool ok = true;
        for (int c = 0; c < 3 && ok; ++c) {
            ok = ReadCost(item.texts.at(c), entry.cost[c]);
            if (!ok)
                dlg::MsgBox(where + entry.name + QStringLiteral(": \"") + item.texts.at(c)
                                + QStringLiteral("\" is not a whole number."),
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
        // The initial is the whole first character, two units where UTF-16 takes two.
        const QString& first = pieces.at(0);
        name = first.left(rt::SplitsCharacter(first, 1) ? 2 : 1) + QLatin1Char(' ') + pieces.at(1);
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
        dao::Transaction transaction(*dbMain);
        if (!ConfirmDamageOverwrite(raceID))
            return;
        for (DamageEntry& e : entries)
            AddDamageRow(e.name, e.cost[0], e.cost[1], e.cost[2]);
        transaction.commit();
    } catch (const dao::DbError& e) {
        dlg::MsgBox(e.description(), dlg::vbCritical);
    }
}
