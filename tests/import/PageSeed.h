#pragma once
// Builds a small simulation result page: header, qualifying and race tables,
// one cell value per line as the simulation writes them.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace page {

struct Qual {
    QString car, name, time;
};
struct Result {
    QString car, name;
    int start, laps, led, points;
    QString status;
};

inline void Cells(QStringList& out, const QStringList& cells, const char* tag)
{
    out << QStringLiteral("<TR>");
    for (const QString& c : cells)
        out << QStringLiteral("<%1>").arg(QLatin1String(tag)) << c << QStringLiteral("</%1>").arg(QLatin1String(tag));
    out << QStringLiteral("</TR>");
}

inline QByteArray Build(const QString& track, const QList<Qual>& quals, const QList<Result>& results)
{
    QStringList l;
    l << QStringLiteral("<HTML>") << QStringLiteral("<BODY>") << QStringLiteral("<H2>Test League</H2>")
      << QStringLiteral("Track: ") + track << QStringLiteral("Date: Sat Jun 12 21:00:00 2004") << QStringLiteral("<BR>")
      << QStringLiteral("<HR>") << QStringLiteral("<H3>") << QStringLiteral("Session: Qualifying")
      << QStringLiteral("</H3>") << QStringLiteral("Weather: Sunny, 78 F") << QStringLiteral("<BR>")
      << QStringLiteral("<TABLE BORDER=\"1\">");
    Cells(l, {QStringLiteral("Pos"), QStringLiteral("Car"), QStringLiteral("Driver"), QStringLiteral("Time")}, "TH");
    for (int i = 0; i < quals.size(); ++i)
        Cells(l, {QString::number(i + 1), quals[i].car, quals[i].name, quals[i].time}, "TD");
    l << QStringLiteral("</TABLE>") << QStringLiteral("<H3>") << QStringLiteral("Session: Race") << QStringLiteral("</H3>")
      << QStringLiteral("Caution Flags: 2 (12 laps)") << QStringLiteral("Lead Changes: 3 (2 leaders)")
      << QStringLiteral("Weather: Clear, 75 F") << QStringLiteral("<BR>") << QStringLiteral("<TABLE BORDER=\"1\">");
    Cells(l, {QStringLiteral("Fin"), QStringLiteral("St"), QStringLiteral("Car"), QStringLiteral("Driver"),
              QStringLiteral("Interval"), QStringLiteral("Laps"), QStringLiteral("Led"), QStringLiteral("Pts"),
              QStringLiteral("Status")},
          "TH");
    for (int i = 0; i < results.size(); ++i) {
        const Result& r = results[i];
        Cells(l, {QString::number(i + 1), QString::number(r.start), r.car, r.name, i == 0 ? QStringLiteral("-") : QStringLiteral("-1.5"),
                  QString::number(r.laps), QString::number(r.led), QString::number(r.points), r.status},
              "TD");
    }
    l << QStringLiteral("</TABLE>") << QStringLiteral("</BODY>") << QStringLiteral("</HTML>");
    return l.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

// A page at Pocono as the simulation exports it: header values alone on
// their lines inside <H3>, the sessions Practice, Qualifying, Happy Hour and
// Race, the race's figures and weather after its table; a cell's markup, a
// tab and its value, and "</TD>" on lines of their own. Windows code page.
inline QByteArray BuildReal(const QString& qualWeather, const QList<Qual>& quals, const QList<Result>& results)
{
    QStringList l{"<HTML>", "<BODY>"};
    auto h3 = [&l](const QString& value) { l << "<H3>" << value << "</H3>"; };
    auto table = [&l](const QList<QStringList>& rows) {
        l << "<TABLE>";
        for (const QStringList& row : rows) {
            l << "<TR>";
            for (const QString& c : row)
                l << "<TD class=\"cell\" align=\"center\">" << QLatin1Char('\t') + c << "</TD>";
            l << "</TR>";
        }
        l << "</TABLE>";
    };
    h3("Track: POCONO RACEWAY");
    h3("Date: 03/16/25");
    l << "<HR>";
    for (const char* session : {"Practice", "Qualifying", "Happy Hour"}) {
        h3(QStringLiteral("Session: ") + QLatin1String(session));
        h3(QStringLiteral("Weather: ") + (session[0] == 'Q' ? qualWeather : QStringLiteral("Sunny, 71 \u00B0F, West 3 mph")));
        QList<QStringList> rows;
        for (int i = 0; session[0] == 'Q' && i < quals.size(); ++i)
            rows.append({QString::number(i + 1), quals[i].car, quals[i].name, quals[i].time});
        table(rows);
    }
    h3("Session: Race");
    l << "OFFICIAL STANDINGS";
    QList<QStringList> rows;
    for (int i = 0; i < results.size(); ++i) {
        const Result& r = results[i];
        rows.append({QString::number(i + 1), QString::number(r.start), r.car, r.name, i == 0 ? "156.112" : "-0.250",
                     QString::number(r.laps), QString::number(r.led), QString::number(r.points), r.status});
    }
    table(rows);
    h3("Caution Flags: 4 (16 laps)");
    h3("Lead Changes: 46 (16 drivers)");
    h3("Weather: Cloudy, 64 \u00B0F, Southwest 5 mph");
    l << "PENALTIES";
    table({});
    l << "</BODY>" << "</HTML>";
    return l.join("\r\n").toLatin1() + "\r\n";
}

// Four drivers: Ann on pole, Cid wins leading most laps, Bob drops two places.
inline QByteArray FourCars(const QString& track)
{
    return Build(track,
                 {{QStringLiteral("12"), QStringLiteral("Ann Able"), QStringLiteral("1:30.000")},
                  {QStringLiteral("7"), QStringLiteral("Bob Baker"), QStringLiteral("1:30.500")},
                  {QStringLiteral("44"), QStringLiteral("Cid Cole"), QStringLiteral("1:31.000")},
                  {QStringLiteral("5"), QStringLiteral("Dee Dunn"), QStringLiteral("1:31.500")}},
                 {{QStringLiteral("44"), QStringLiteral("Cid Cole"), 3, 200, 120, 185, QStringLiteral("Running")},
                  {QStringLiteral("12"), QStringLiteral("Ann Able"), 1, 200, 60, 175, QStringLiteral("Running")},
                  {QStringLiteral("5"), QStringLiteral("Dee Dunn"), 4, 200, 0, 165, QStringLiteral("Running")},
                  {QStringLiteral("7"), QStringLiteral("Bob Baker"), 2, 199, 20, 160, QStringLiteral("Running")}});
}

} // namespace page
