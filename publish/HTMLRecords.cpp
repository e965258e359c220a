// The track records page: per venue its name, the qualifying record, the
// race record and, for a record group, the defending champion.

#include "HTMLClass.h"

#include "HtmlRow.h"
#include "RaceAwards.h"
#include "Runtime.h"

bool HTMLClass::HTMLRecords(const QList<RecordLine>& Grid1)
{
    const bool champions = sDiv != QLatin1String("ALL  ");
    // Venue, dashes, then the record rows that are read.
    const int venueRows = champions ? 5 : 4;

    Fragment f;
    WriteStyle(f);
    f << QStringLiteral("  <table border=0 cellspacing=0 width=90%>");

    // The driver, speed and date come from the record itself: in the row's
    // text they stand at columns that depend on the name's length.
    auto recordRow = [&](const RecordLine& r, const QString& label, bool mph) {
        // A qualifying speed that an earlier version imported holds its
        // unit; " mph" is shown once.
        const QString speed = Escape(mph ? SpeedNumber(r.speed) : rt::Trim(r.speed));
        HtmlRow(f, QStringLiteral("    <tr>"), "     ", QString())
            .cells({{u"width=40%", QStringLiteral("<strong>") + label + QStringLiteral("</strong>")},
                    {u"width=30%", Escape(r.name)},
                    {u"align=left width=25%", mph && !speed.isEmpty() ? speed + QStringLiteral(" mph") : speed},
                    {u"align=\"right\" width=25%", Escape(r.date)}})
            .line(QStringLiteral("    </tr>"));
    };

    const int last = int(Grid1.size()) - 1;
    int i = 0;
    // A venue is read only when all its rows lie inside the grid.
    while (i + venueRows - 1 <= last) {
        const QString venue = Grid1[i].text;
        if (rt::Trim(venue).isEmpty())
            break;
        f << QStringLiteral("    <tr>") << QStringLiteral("     <td colspan=4 >") + Escape(Cut(venue, 1, 30))
          << QStringLiteral("     </td>") << QStringLiteral("    </tr>");
        i += 2;
        recordRow(Grid1[i], QStringLiteral("Qualify Record"), true);
        ++i;
        recordRow(Grid1[i], QStringLiteral("Race Record"), true);
        if (champions) {
            ++i;
            recordRow(Grid1[i], QStringLiteral("Defending Champion"), false);
        }
        i += 2;
    }
    FooterRow(f);
    f << QStringLiteral("  </table>");

    return PublishPage(f, rt::Trim(sDiv) + QStringLiteral("Record.htm"), QStringLiteral("temp_records.htm"),
                       QStringLiteral("records"), QString(), sDiv);
}
