#include "ResultPage.h"

#include "ImportError.h"
#include "Runtime.h"

#include <QFileInfo>

namespace {

const QString kTableEnd = QStringLiteral("</TABLE>");

QString EndsBefore(const QString& what)
{
    return QStringLiteral("The result page ends before %1.").arg(what);
}

QString Quoted(const QString& marker)
{
    return QLatin1Char('"') + marker.trimmed() + QLatin1Char('"');
}

// Header values are cut from the trimmed marker line: c is the position of
// its first ":" and p of its first "(" (1-based, 0 when missing).
struct HeaderLine {
    QString t;
    int c = 0;
    int p = 0;
    explicit HeaderLine(const QString& line)
        : t(rt::Trim(line)), c(int(t.indexOf(QLatin1Char(':'))) + 1), p(int(t.indexOf(QLatin1Char('('))) + 1) {}
    QString afterColon(int length = -1) const { return rt::Mid(t, c + 2, length); }
    int countAfterColon() const { return ResultPage::ReadCount(afterColon()); }
    // Without "(" there is no count to read.
    int countAfterParen() const { return p > 0 ? ResultPage::ReadCount(rt::Mid(t, p + 1)) : 0; }
};

} // namespace

bool ResultPage::Open(const QString& path)
{
    m_lines.clear();
    m_next = 0;
    vLine.clear();
    if (path.trimmed().isEmpty() || !QFileInfo(path).isFile())
        return false;
    return rt::ReadTextLines(path, m_lines);
}

QString ResultPage::CleanCell(const QString& text)
{
    QString s = text;
    s.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return rt::Trim(s);
}

int ResultPage::ReadCount(const QString& text)
{
    int i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    qint64 v = 0;
    bool any = false;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        v = v * 10 + (text[i].unicode() - '0');
        any = true;
        if (v > 1000000000)   // nonsense length; keep it in range
            return 0;
    }
    return any ? int(v) : 0;
}

void ResultPage::ReadLine(const QString& where)
{
    if (m_next >= m_lines.size())
        throw ImportError(EndsBefore(where));
    vLine = m_lines[m_next++];
}

void ResultPage::ReadLines(int n, const QString& where)
{
    for (int i = 0; i < n; ++i)
        ReadLine(where);
}

void ResultPage::SeekMarker(const QString& marker)
{
    const QString where = QStringLiteral("the line with ") + Quoted(marker);
    do
        ReadLine(where);
    while (!vLine.contains(marker));
}

bool ResultPage::SeekEither(const QString& first, const QString& second)
{
    const QString where = QStringLiteral("the line with ") + Quoted(second);
    for (;;) {
        ReadLine(where);
        if (vLine.contains(second))
            return true;
        if (vLine.contains(first))
            return false;
    }
}

PageHeader ResultPage::ReadHeader()
{
    Rewind();
    PageHeader h;

    SeekMarker(QStringLiteral("Track:"));
    h.Venue = HeaderLine(vLine).afterColon(50);

    SeekMarker(QStringLiteral("Date:"));
    h.RaceDate = HeaderLine(vLine).afterColon();

    // A practice session has its own weather line before qualifying's.
    ReadLines(4, QStringLiteral("the line with \"Weather:\""));
    if (vLine.contains(QStringLiteral("Practice")))
        SeekMarker(QStringLiteral("Weather:"));

    SeekMarker(QStringLiteral("Weather:"));
    h.QWeather = HeaderLine(vLine).afterColon();

    SeekMarker(QStringLiteral("Caution Flags:"));
    {
        const HeaderLine l(vLine);
        h.Flags = l.countAfterColon();
        h.Flagsq = l.countAfterParen();
    }

    if (!SeekEither(QStringLiteral("Lead Changes: "), QStringLiteral("Weather:"))) {
        const HeaderLine l(vLine);
        h.Changes = l.countAfterColon();
        h.Leader = l.countAfterParen();
        SeekMarker(QStringLiteral("Weather:"));
    }
    h.Weather = HeaderLine(vLine).afterColon();
    return h;
}

void ResultPage::ReadTable(const QString& marker, const QString& table, const RowStart& isRowStart,
                           const std::vector<int>& steps, const RowReader& onRow)
{
    Rewind();
    SeekMarker(marker);
    const QString tableEnd = QStringLiteral("the end (\"</TABLE>\") of the %1 table").arg(table);
    int counter = 1;
    do {
        ReadLine(tableEnd);
        if (!isRowStart(vLine, counter))
            continue;
        // Every cell of a row that was started is read, even when the row is
        // then skipped, so no later cell can be taken for a row's start.
        const QString inRow = QStringLiteral("the end of row %1 of the %2 table").arg(counter).arg(table);
        QStringList cells;
        for (const int step : steps) {
            ReadLines(step, inRow);
            cells.append(CleanCell(vLine));
        }
        onRow(counter, cells);
        ++counter;
    } while (!vLine.contains(kTableEnd));
}

std::vector<PageQualRow> ResultPage::ReadQualifying()
{
    std::vector<PageQualRow> rows;
    // A row starts where the leading number of the line is the next qualifier.
    ReadTable(QStringLiteral("Session: Qualifying"), QStringLiteral("qualifying"),
              [](const QString& line, int counter) { return rt::Val(rt::Trim(line)) == counter; }, {3, 3, 3},
              [&rows](int, const QStringList& c) { rows.push_back({c[0], c[1], c[2]}); });
    return rows;
}

std::vector<PageRaceRow> ResultPage::ReadRace()
{
    std::vector<PageRaceRow> rows;
    // A row starts where the cell is exactly the next position.
    ReadTable(QStringLiteral("Session: Race"), QStringLiteral("race"),
              [](const QString& line, int counter) { return CleanCell(line) == QString::number(counter); },
              {6, 3, 3, 3, 3, 3, 3}, [&rows](int position, const QStringList& c) {
                  rows.push_back({position, c[0], c[1], c[2], c[3], c[4], c[5], c[6]});
              });
    if (rows.empty())
        throw ImportError(QStringLiteral("The race table of the result page has no row for position 1."));
    return rows;
}
