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
