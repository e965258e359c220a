#include "ProcessClass.h"

#include "Database.h"
#include "Dialogs.h"
#include "EarningsClass.h"
#include "ImportError.h"
#include "Lookups.h"
#include "RaceAwards.h"
#include "Recordset.h"
#include "Runtime.h"
#include "Settings.h"
#include "State.h"
#include "TextLayout.h"

#include <QSet>

#include <algorithm>
#include <limits>

namespace {

QString Id(qint64 id) { return QString::number(id); }

// A number cell that must hold a number; the import stops otherwise.
qint64 WholeCell(const QString& cell, const QString& what, int position, qint64 lowest, qint64 highest)
{
    if (rt::IsNumeric(cell)) {
        const double v = rt::RoundHalfEven(rt::Val(cell));
        if (v >= double(lowest) && v <= double(highest))
            return qint64(v);
    }
    throw ImportError(QStringLiteral("The %1 cell of position %2 is not a number: \"%3\".").arg(what).arg(position).arg(cell));
}

} // namespace

bool ProcessClass::ProcRace()
{
    bError = false;
    NewDrivers = 0;
    RaceID = 0;
    nDriverID = 0;
    m_purse = 0;
    m_earnings = CustomEarnings();
    m_kept = KeptCorrections();

    auto fail = [this](const QString& message) {
        if (!message.isEmpty())
            dlg::MsgBox(message, dlg::vbCritical);
        bError = true;
        NewDrivers = 0;
        RaceID = 0;
        return false;
    };

    // The page's folder is where the file dialog starts next time.
    const QString path = rt::Trim(stnFileName);
    const int cut = int(std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/'))));
    settings::SaveSetting(QStringLiteral("Tarvik"), QStringLiteral("Params"), QStringLiteral("STNFile"),
                          cut >= 0 ? path.left(cut + 1) : QString());

    const QString notImported = QStringLiteral("The race has not been imported.\n");
    try {
        if (dbMain->scalar(QStringLiteral("SELECT ID FROM Division WHERE ID = ") + dao::quote(RaceDivision)).isNull())
            return fail(QStringLiteral("Division ") + RaceDivision + QStringLiteral(" not found!"));
        LoadDivisionSettings(RaceDivision);

        if (!m_page.Open(stnFileName))
            return fail(QStringLiteral("File ") + stnFileName + QStringLiteral(" not found!"));

        if (!sEarningsFile.isEmpty() && bEarnings) {
            m_earnings.sFile = sEarningsFile;
            m_earnings.Load();
            if (m_earnings.bError)
                return fail(m_earnings.sErrorMsg);
        }

        if (!AskOverwrite())
            return fail(QString());

        dao::Transaction transaction(*dbMain);
        Import();
        transaction.commit();
        if (!m_kept.Removed().isEmpty())
            dlg::MsgBox(QStringLiteral("These corrections were removed, as their drivers are not in the new results:\n")
                            + m_kept.Removed().join(QLatin1Char('\n')),
                        dlg::vbExclamation);
    } catch (const ImportError& e) {
        return fail(notImported + e.message());
    } catch (const dao::DbError& e) {
        return fail(notImported + QStringLiteral("Error %1: %2").arg(e.number()).arg(e.description()));
    } catch (const std::exception& e) {
        return fail(notImported + QString::fromLocal8Bit(e.what()));
    }
    return true;
}

bool ProcessClass::AskOverwrite() const
{
    auto rs = dbMain->openRecordset(
        QStringLiteral("SELECT Score.RaceID, Races.RaceNo FROM Score, Races WHERE Score.RaceID = Races.ID AND Races.Division = ")
        + dao::quote(RaceDivision) + QStringLiteral(" AND Races.RaceNo = ") + dao::quote(RaceNo)
        + QStringLiteral(" AND Score.Posi = 1"));
    if (rs->eof())
        return true;
    return dlg::MsgBox(QStringLiteral("The race already exists, do you want to overwrite the results?"),
                       dlg::vbYesNo | dlg::vbQuestion | dlg::vbDefaultButton2)
        == dlg::vbYes;
}

void ProcessClass::Import()
{
    // The whole page is read first: a page that is cut short stops the
    // import before anything is written.
    const PageHeader header = m_page.ReadHeader();
    const std::vector<PageQualRow> qualifiers = m_page.ReadQualifying();
    const std::vector<PageRaceRow> finishers = m_page.ReadRace();

    // The drivers the page names, their makes and the division's teams, once.
    QStringList names;
    for (const PageQualRow& row : qualifiers)
        if (!row.name.isEmpty())
            names << row.name;
    for (const PageRaceRow& row : finishers)
        names << row.name;
    m_lookups.Load(names, RaceDivision, nTeams != 0);

    ImportRaceHeader(header);
    ImportQualifying(qualifiers);
    m_kept.Read(RaceID);
    dbMain->execute(QStringLiteral("DELETE FROM Score WHERE RaceID = ") + Id(RaceID));
    ImportRace(finishers);
    int position = int(finishers.size()) + 1;
    AddProvisionals(position);
    CapTeams();
    m_points.Apply(nPointSystem, RaceID, sPointSystemFile);
    m_kept.Apply();

    // A race that keeps a purse is paid again; otherwise a money-mode
    // earnings file pays its bonuses at import time.
    if (!bEarnings)
        return;
    const QString previous = sCurDiv;
    sCurDiv = RaceDivision;
    try {
        if (m_purse > 0) {
            EarningsClass::PayPurse(RaceID, m_purse);
        } else if (m_earnings.bMoney) {
            EarningsClass earnings;
            earnings.lRaceID = RaceID;
            earnings.CalculateBonus();
        }
    } catch (...) {
        sCurDiv = previous;
        throw;
    }
    sCurDiv = previous;
}

void ProcessClass::ImportRaceHeader(const PageHeader& h)
{
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT * from RACES WHERE Division = ") + dao::quote(RaceDivision)
                                    + QStringLiteral(" AND RaceNo = ") + dao::quote(RaceNo)
                                    + QStringLiteral(" ORDER BY ID"));
    const bool isNew = rs->eof();
    if (isNew) {
        rs->addNew();
        ClearFields(*rs);
    } else {
        RaceID = rs->integer(QStringLiteral("ID"));
        m_purse = rs->number(QStringLiteral("Purse"));
        rs->edit();
    }
    rs->setField(QStringLiteral("Venue"), h.Venue);
    rs->setField(QStringLiteral("RaceDate"), h.RaceDate);
    rs->setField(QStringLiteral("QWeather"), h.QWeather);
    rs->setField(QStringLiteral("Flags"), h.Flags);
    rs->setField(QStringLiteral("Flagsq"), h.Flagsq);
    rs->setField(QStringLiteral("Changes"), h.Changes);
    rs->setField(QStringLiteral("Leader"), h.Leader);
    rs->setField(QStringLiteral("Weather"), h.Weather);
    rs->setField(QStringLiteral("Division"), RaceDivision);
    rs->setField(QStringLiteral("RaceNo"), RaceNo);
    rs->setField(QStringLiteral("Nonpoints"), MoneyOnly);
    if (isNew) {
        rs->setField(QStringLiteral("RaceName"), QStringLiteral(" "));
        rs->setField(QStringLiteral("Purse"), 0);
    }
    rs->setField(QStringLiteral("TrackID"), TrackID);
    rs->update();
    if (isNew)
        RaceID = dbMain->lastInsertId();
}

void ProcessClass::ConvertQualTime(const QString& cell, double miles, bool speedFlag, QString& timeText,
                                   QString& speedText)
{
    // The track length and the seconds part are single precision, as the
    // stored times have always been computed.
    const double len = double(float(miles));
    const double v = rt::Val(cell);
    double seconds = 0;
    if (speedFlag) {
        if (v > 0)
            seconds = rt::RoundHalfEven(3600.0 * len / v, 3);
        // The number as the page writes it; the unit after it is added
        // wherever a speed is shown.
        speedText = v > 0 ? SpeedNumber(cell) : QStringLiteral("0");
    } else {
        const int colon = int(cell.indexOf(QLatin1Char(':')));
        if (v != 0)
            seconds = colon >= 0 ? rt::Val(cell.left(colon)) * 60 + double(float(rt::Val(cell.mid(colon + 1)))) : v;
        speedText = seconds > 0 ? rt::Str(rt::RoundHalfEven(3600.0 * len / seconds, 3)) : QStringLiteral("0");
    }
    timeText = seconds > 0 ? rt::Str(rt::RoundHalfEven(seconds, 3)) : QStringLiteral("0");
}

void ProcessClass::ImportQualifying(const std::vector<PageQualRow>& rows)
{
    const QVariant m = dbMain->scalar(QStringLiteral("SELECT Miles from Tracks WHERE ID = ") + Id(TrackID));
    const double miles = m.isNull() ? 0.0 : rt::Val(m);

    dbMain->execute(QStringLiteral("DELETE FROM QUALIFY WHERE RACEID = ") + Id(RaceID));
    QSet<qint64> written;
    int pos = 1;
    for (const PageQualRow& row : rows) {
        if (row.name.isEmpty())
            continue;
        FindOrAddDriver(row.number, row.name);
        // A driver listed twice keeps his first row.
        if (written.contains(nDriverID))
            continue;
        QString timeText, speedText;
        ConvertQualTime(row.time, miles, Speed, timeText, speedText);
        dbMain->execute(QStringLiteral("INSERT INTO Qualify (RaceID, Pos, DriverID, [Time], Speed) VALUES (?, ?, ?, ?, ?)"),
                        {RaceID, pos, nDriverID, timeText, speedText});
        written.insert(nDriverID);
        ++pos;
    }
}

void ProcessClass::ImportRace(const std::vector<PageRaceRow>& rows)
{
    for (const PageRaceRow& row : rows) {
        FindOrAddDriver(row.number, row.name);
        const qint64 laps = WholeCell(row.laps, QStringLiteral("laps"), row.position,
                                      std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
        // Clamped like laps: a nonsense figure must not overflow the conversion.
        const qint64 lead = qint64(std::clamp(rt::RoundHalfEven(rt::Val(row.lead)), double(std::numeric_limits<qint32>::min()),
                                              double(std::numeric_limits<qint32>::max())));
        int points = 0;
        if (!MoneyOnly)
            points = int(WholeCell(row.points, QStringLiteral("points"), row.position,
                                   std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()));
        points = PointSystems::PagePoints(nPointSystem, row.position, points, MoneyOnly);
        AddScoreRow(row.position, row.interval, laps, lead, points, row.status);
    }
}

void ProcessClass::FindOrAddDriver(const QString& number, const QString& name)
{
    if (const auto known = m_lookups.Find(name)) {
        nDriverID = *known;
        return;
    }
    const QString carNumber = (vLAN || vJRL) ? number : QStringLiteral(" ");
    const QString brand = QStringLiteral(" ");
    dbMain->execute(QStringLiteral("INSERT INTO Drivers (OnlineID, Name, [Number], Brand) VALUES (?, ?, ?, ?)"),
                    {name, name, carNumber, brand});
    NewDrivers += 1;
    nDriverID = dbMain->lastInsertId();
    m_lookups.Added(nDriverID, name, brand);
}

void ProcessClass::AddScoreRow(int posi, const QString& interval, qint64 laps, qint64 lead, int points,
                               const QString& finish)
{
    // Team and make as the driver stands now.
    const qint64 team = nTeams != 0 ? m_lookups.Team(nDriverID) : 0;
    const QString brand = m_lookups.Brand(nDriverID);
    QVariant earnings;
    if (m_earnings.bMoney && bEarnings)
        earnings = m_earnings.GetEarnings(posi);
    dbMain->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi, DriverID, [Interval], Laps, Lead, Points, "
                                   "Finish, Team, Brand, Earnings) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                    {RaceDivision, RaceID, posi, nDriverID, interval, laps, lead, points, finish, team, brand, earnings});
}

void ProcessClass::AddProvisionals(int& position)
{
    // Qualifiers without a result row, in qualifying order.
    std::vector<qint64> drivers;
    {
        auto rs = dbMain->openRecordset(
            QStringLiteral("SELECT Qualify.Pos, Qualify.DriverID FROM Qualify WHERE Qualify.RaceID=") + Id(RaceID)
            + QStringLiteral(" AND Qualify.DriverID NOT IN (SELECT score.DriverID FROM Score WHERE Score.RaceID=")
            + Id(RaceID) + QStringLiteral(") ORDER BY Qualify.Pos"));
        for (; !rs->eof(); rs->moveNext())
            drivers.push_back(rs->integer(QStringLiteral("DriverID")));
    }
    for (const qint64 driver : drivers) {
        nDriverID = driver;
        AddScoreRow(position, QStringLiteral(" "), 0, 0, 0, QStringLiteral("Prov."));
        ++position;
    }
}

void ProcessClass::CapTeams()
{
    // Only a team's three best-placed cars count for it.
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT Team, Posi FROM Score WHERE RaceID = ") + Id(RaceID)
                                    + QStringLiteral(" ORDER BY Team, Posi"));
    qint64 lastTeam = 0;
    int count = 0;
    for (; !rs->eof(); rs->moveNext()) {
        const qint64 team = rs->integer(QStringLiteral("Team"));
        if (team == 0)
            continue;
        if (team != lastTeam) {
            lastTeam = team;
            count = 1;
        } else if (++count > 3) {
            dbMain->execute(QStringLiteral("UPDATE Score SET Team = 0 WHERE RaceID = ? AND Posi = ?"),
                            {RaceID, rs->field(QStringLiteral("Posi"))});
        }
    }
}
