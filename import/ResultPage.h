#pragma once
// The simulation's result page, read as text lines and found by markers.
// Each Read* pass starts again from the first line; reading past the end
// throws ImportError naming what was being looked for.

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

struct PageHeader {
    QString Venue;      // at most 50 characters
    QString RaceDate;
    QString QWeather;
    int Flags = 0;
    int Flagsq = 0;
    int Changes = 0;
    int Leader = 0;
    QString Weather;
};

// One row of the qualifying table; name is empty for a row to skip.
struct PageQualRow {
    QString number;
    QString name;
    QString time;       // lap time, or speed with "Laps in Speed"
};

// One row of the race table, cells as cleaned texts.
struct PageRaceRow {
    int position = 0;
    QString number;
    QString name;
    QString interval;
    QString laps;
    QString lead;
    QString points;
    QString status;
};

class ResultPage {
public:
    // Reads the whole file; false when it is not a readable file.
    bool Open(const QString& path);
    void Rewind() { m_next = 0; }

    PageHeader ReadHeader();
    std::vector<PageQualRow> ReadQualifying();
    std::vector<PageRaceRow> ReadRace();

    // Tabs to blanks, then blanks trimmed at both ends.
    static QString CleanCell(const QString& text);
    // A count written at the start of a text (leading blanks skipped, all
    // digits taken); 0 when the text does not start with a digit.
    static int ReadCount(const QString& text);

    QString vLine;      // the line read last

private:
    void ReadLines(int n, const QString& where);
    void SeekMarker(const QString& marker);
    // Reads until a line contains either marker; true when it holds the
    // second (the second wins when a line holds both).
    bool SeekEither(const QString& first, const QString& second);
    void ReadLine(const QString& where);
    using RowStart = std::function<bool(const QString& line, int counter)>;
    using RowReader = std::function<void(int counter, const QStringList& cells)>;
    // Reads the table after the marker line up to its "</TABLE>": each row
    // is found by its first cell, then one cell per step (lines further on).
    void ReadTable(const QString& marker, const QString& table, const RowStart& isRowStart,
                   const std::vector<int>& steps, const RowReader& onRow);

    QStringList m_lines;
    int m_next = 0;
};
