// The schedule page of a division: one row per race in race-number order,
// a scored race's name linking to its result page, with the pole winner
// and the top five. With bGenAll every scored race's result page is
// written again from the tables first, so every link leads to a current
// page.

#include "HTMLClass.h"

#include "Database.h"
#include "DbError.h"
#include "Division.h"
#include "HtmlRow.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "TextLayout.h"

#include <QHash>
#include <QUrl>

QString HTMLClass::ResultPageLink(const QString& raceNo, const QString& division)
{
    // The file name of the result page beside the schedule, percent-encoded
    // so that any race number or division id makes a working link.
    const QString file = ZeroPad(raceNo, 3) + rt::Trim(division) + QStringLiteral("_result.") + PageExtension();
    return QString::fromLatin1(QUrl::toPercentEncoding(file));
}

// Looked up race by race, each cell would read every race of the division
// (the stored queries cover all races), so the schedule would grow with the
// square of the season. Each query runs once, when the first race asks; a
// race is found by its number as the database compares texts (case-blind).
struct HTMLClass::ScheduleCells {
    bool polesRead = false, polesFailed = false, top5Read = false;
    QHash<QString, QString> poles, top5;
    static QString Key(const QString& raceNo) { return raceNo.toCaseFolded(); }
};

QString HTMLClass::GetPoleWinner(const QString& sNo, ScheduleCells& cells)
{
    if (!cells.polesRead) {
        cells.polesRead = true;
        try {
            sSQL = QStringLiteral("SELECT RaceNo, Name FROM PoleWinners WHERE Division=") + dao::quote(sDiv);
            auto rs = dbMain->openRecordset(sSQL, {}, dao::dbOpenForwardOnly);
            for (; !rs->eof(); rs->moveNext()) {
                if (rs->isNull(QStringLiteral("RaceNo")))
                    continue;
                const QString key = ScheduleCells::Key(rs->text(QStringLiteral("RaceNo")));
                if (!cells.poles.contains(key))   // a race's first row, as the race's own lookup took it
                    cells.poles.insert(key, Escape(rs->text(QStringLiteral("Name"))));
            }
        } catch (const dao::DbError&) {
            // The pole cells stay empty and the page goes on, but not inside a
            // caller's transaction, which the error ends.
            if (dbMain->transactionDepth() > 0)
                throw;
            cells.polesFailed = true;
        }
    }
    if (cells.polesFailed)
        return QString();
    return cells.poles.value(ScheduleCells::Key(sNo), QStringLiteral("&nbsp;"));
}

QString HTMLClass::GetTop5(const QString& sNo, ScheduleCells& cells)
{
    if (!cells.top5Read) {
        cells.top5Read = true;
        sSQL = QStringLiteral("SELECT RaceNo,Posi,Name FROM Top5Races WHERE Division=") + dao::quote(sDiv)
            + QStringLiteral(" ORDER BY Posi, Name");
        auto rs = dbMain->openRecordset(sSQL, {}, dao::dbOpenForwardOnly);
        for (; !rs->eof(); rs->moveNext()) {
            if (rs->isNull(QStringLiteral("RaceNo")))
                continue;
            QString& s = cells.top5[ScheduleCells::Key(rs->text(QStringLiteral("RaceNo")))];
            if (!s.isEmpty())
                s += QStringLiteral("<br>");
            s += Escape(rs->text(QStringLiteral("Posi")) + QStringLiteral(" - ") + rs->text(QStringLiteral("Name")));
        }
    }
    return cells.top5.value(ScheduleCells::Key(sNo), QStringLiteral("&nbsp;"));
}

bool HTMLClass::HTMLSchedule()
{
    m_error.clear();
    if (!m_queryError.isEmpty())
        return fail(m_queryError);
    const QString& Title = sClassTitle;
    Division division;
    division.Load(sDiv);

    Fragment f;
    WriteStyle(f);
    f << QStringLiteral("<TABLE ") + sClassSchedule
            + QStringLiteral(" align=\"center\" border=\"0\" cellPadding=\"0\" cellSpacing=\"0\" width=\"90%\">");
    HtmlRow(f, QStringLiteral("  <TR>"), "    ", Title, HtmlRow::Tags::UpperOpen)
        .cell(u" align=\"center\" colspan=\"5\"", Escape(division.Name) + QStringLiteral(" Schedule"))
        .line(QStringLiteral("  </TR>"));
    const QStringView noWrap = u" align=\"center\" nowrap";
    HtmlRow(f, QStringLiteral("  <TR>"), "    ", Title, HtmlRow::Tags::Upper)
        .cells({{HtmlRow::kCenter, u"Race No."}, {HtmlRow::kCenter, u"Track / Race Name"}, {HtmlRow::kCenter, u"Date"},
                {noWrap, u"Pole"}, {noWrap, u"Top 5"}})
        .line(QStringLiteral("   </TR>"));

    // Result pages that could not be written; the schedule is still made,
    // but the run is not reported as a success.
    QStringList failed;
    sSQL = QStringLiteral("SELECT * FROM Races WHERE Division=") + dao::quote(sDiv)
        + QStringLiteral(" ORDER BY VAL(RaceNo), ID");
    auto races = dbMain->openRecordset(sSQL, {}, dao::dbOpenForwardOnly);
    ScheduleCells cells;
    bool band = false;
    for (int b = 1; !races->eof(); races->moveNext(), b += 5) {
        // The row keeps its own class: a result page written in between
        // changes sClassLine.
        HtmlRow row(f, QStringLiteral("  <TR>"), "    ", RowClass(b, band), HtmlRow::Tags::Upper);
        const QString raceNo = races->text(QStringLiteral("RaceNo"));
        const QString venue = Escape(races->text(QStringLiteral("Venue")));
        const QString raceName = Escape(races->text(QStringLiteral("RaceName")));
        row.cell(HtmlRow::kCenter, Escape(raceNo));
        if (RaceHasResults(races->integer(QStringLiteral("ID")), sDiv)) {
            if (bGenAll && !HTMLRaceResultFormDB(*races))
                failed << QStringLiteral("race ") + rt::Trim(raceNo) + QStringLiteral(": ") + m_error;
            row.cell(HtmlRow::kCenter, QStringLiteral("<a href=\"") + Escape(ResultPageLink(raceNo, sDiv)) + QStringLiteral("\">")
                                           + venue + QStringLiteral("<br>") + raceName + QStringLiteral("</a>"));
        } else {
            row.cell(HtmlRow::kCenter, venue + QStringLiteral("<br>") + raceName);
        }
        row.cells({{HtmlRow::kCenter, Escape(races->text(QStringLiteral("RaceDate")))},
                   {noWrap, GetPoleWinner(raceNo, cells)},
                   {u" nowrap", GetTop5(raceNo, cells)}})
            .line(QStringLiteral("  </TR>"));
        SeparatorLine(f, "   ", 5);
    }
    f << QStringLiteral("</TABLE>");

    const bool written = PublishPage(f, rt::Trim(sDiv) + QStringLiteral("_schedule.htm"), QStringLiteral("temp_schedule.htm"),
                                     QStringLiteral("schedule"), QString(), sDiv);
    if (!written)
        failed.prepend(QStringLiteral("schedule: ") + m_error);
    if (failed.isEmpty())
        return true;
    return fail(QStringLiteral("These pages were not written:\n") + failed.join(QLatin1Char('\n')));
}
