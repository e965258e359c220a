#pragma once
// The page writer. Every page is built in two steps: its body (style block
// and tables) is written as a fragment file into "TXT", then merged into a
// template of "HTML" at the line holding "***HERE***", giving the page.
//
// The page operations live in their own source files (HTMLStandings.cpp,
// ...); this class holds the pieces they share. Each page operation returns
// false when its fragment or page could not be written, with the reason in
// lastError(); the caller must then not announce success.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace dao { class Recordset; }

// The text rows of the race result window's grids, row 0 first; the race
// result page cuts them by column.
struct RaceResultGrids {
    QStringList results;     // RaceLine rows
    QStringList qualify;     // QualLine rows
    QStringList raceInfo;    // RaceInfoLine rows
    QStringList teams;       // TeamLine rows
    QStringList rookies;     // RookieLine rows
    QStringList mfgs;        // MfgLine rows
    QStringList awards;      // AwardLine rows
    QStringList earnings;    // EarnLine rows
    QStringList penalties;   // PenaltyLine rows
};

// One row of the track records grid: its text as shown and, on a record
// row, the record's own driver, speed and date (empty when the venue has no
// such record, the row then showing its label alone).
struct RecordLine {
    QString text;
    QString name;
    QString speed;
    QString date;
};

// The two fragments of a published race that the standings viewer shows.
enum class SeasonFragment { Standings, Statistics };

class HTMLClass {
public:
    // Takes the page colours from the preferences and makes sure the saved
    // queries of the schedule page exist.
    HTMLClass();

    QString sRace;          // race number of the page (result and statistics pages)
    QString sDiv;           // division ID of the page
    bool bGenAll = false;   // schedule: rebuild every scored race's result page first

    // Statistics page of division sDiv through race sRace: the season's
    // total laps (null when unknown) and miles, then the breakdown,
    // statistics, top-5 and general lines of the statistics run.
    bool HTMLStatistics(const QVariant& dTotLaps, qint64 dTotMiles, const QStringList& c_break,
                        const QStringList& c_stats, const QStringList& c_top5, const QStringList& c_gen);

    // Standings page of a division after race sRace; the five lists are the
    // fixed-width lines of the standings run, cut here by column.
    bool HTMLStandings(const QString& sDiv, const QString& sRace, const QStringList& c_standings,
                       const QStringList& c_teams, const QStringList& c_mfgs, const QStringList& c_rookies,
                       const QStringList& c_earnings);

    // Result page of the race the race result window shows, cut from its
    // grids; sRace (three digits) and sDiv set first. sMiles is not shown.
    bool HTMLRaceResult(const QString& sRaceName, const QString& sVenue, const QString& sDate,
                        const QString& sMiles, const QString& sWeather, const RaceResultGrids& grids);

    // Track records page of sDiv ("ALL  " for all divisions, which have no
    // defending champion rows) from the rows of the track records grid,
    // read from row 0 up to the first blank venue row.
    bool HTMLRecords(const QList<RecordLine>& Grid1);

    // The name (in TXT) of a race's standings or statistics fragment: the
    // last three characters of "000" and the trimmed race number, the
    // trimmed division, "Stan" or "Stat", ".htm". The page writer and the
    // standings viewer both name the files through this.
    static QString SeasonFragmentName(SeasonFragment kind, const QString& raceNo, const QString& division);

    // Why the last page operation failed; empty after success.
    QString lastError() const { return m_error; }

    // Result page of one scored race from the tables alone; rsSch stands on
    // the race's Races row and is not moved. Loads the division settings of
    // sDiv and leaves them loaded.
    bool HTMLRaceResultFormDB(const dao::Recordset& rsSch);
    // Schedule page of division sDiv; with bGenAll every scored race's
    // result page is written again first. False when any page failed.
    bool HTMLSchedule();
    // The schedule's link to a race's result page (percent-encoded).
    static QString ResultPageLink(const QString& raceNo, const QString& division);

    // ---- Shared pieces for the page writers ---------------------------

    // The lines of a fragment being written; every line ends in CR LF on
    // disk. Data texts must go through Escape before they are added.
    class Fragment {
    public:
        Fragment& operator<<(const QString& line)
        {
            m_lines.append(line);
            return *this;
        }
        const QStringList& lines() const { return m_lines; }
        QByteArray bytes() const;

    private:
        QStringList m_lines;
    };

    // A data text made safe for a page: & < > " ' as entities, every
    // character beyond ASCII as a numeric character reference.
    static QString Escape(const QString& text);
    // Columns start..start+length-1 (from 1) of a fixed-width line; a cut
    // past the end takes what there is.
    static QString Cut(const QString& line, int start, int length);
    static QString CutTrim(const QString& line, int start, int length);
    // The cut, escaped, for a table cell.
    static QString Cell(const QString& line, int start, int length, bool trimmed);

    // Row shading in bands of five: the toggle flips before rows 1, 6, 11...;
    // gives the class attribute of the row.
    static QString RowClass(int row, bool& toggle);
    // The one-pixel separator row of a table of that many columns.
    static QString SeparatorRow(int columns);
    // "<TABLE " + class attribute + the shared table attributes.
    static QString TableHead(const QString& classAttr);
    // The separator row after a data row, when the preference draws them.
    static void SeparatorLine(Fragment& f, const char* lead, int columns);

    // The style block (when the preference asks for it).
    void WriteStyle(Fragment& f) const;
    // The three footer lines with the link to the program's page.
    static void FooterRow(Fragment& f);
    // Opens a result page's results table: its three title rows and its
    // header row. Returns the table's column count (teams and earnings add
    // one each). Venue and date are trimmed; name and weather go as given.
    int ResultTableHead(Fragment& f, const QString& venue, const QString& date, const QString& raceName,
                        const QString& weather) const;

    // ---- The tables both race result pages lay out ----------------------
    // Their cell texts arrive escaped; data rows take the current row class
    // (sClassLine) unless said otherwise.

    struct ResultLine {
        QString pos, number, name, make, team, interval, laps, led, points, status, earnings;
    };
    struct AwardLine {
        QString label, winner;
    };
    struct QualifyLine {
        QString pos, number, name, speed, speedGaps, time, timeGaps;
    };
    struct PointsLine {
        QString pos, name, points;
    };
    struct AdjustmentLine {
        QString driver, points, comment;
    };

    // A row of the results table: the number, team and earnings cells as
    // the division shows them.
    void ResultRow(Fragment& f, const ResultLine& line, int columns) const;
    // The race data table: two labels with their values, then the footer.
    void RaceDataTable(Fragment& f, const QString& label1, const QString& value1, const QString& label2,
                       const QString& value2) const;
    // The race awards, not banded; with closeOnOwnLine each row ends in a
    // line "  </TR>" instead of on its winner cell.
    void AwardsTable(Fragment& f, const QList<AwardLine>& awards, bool closeOnOwnLine) const;
    // Opens the qualifying table: its two title rows, their cells on the
    // row's opening line or (titlesOnOwnLine) on the next, and the header.
    void QualifyTableHead(Fragment& f, const QString& weather, bool titlesOnOwnLine) const;
    // A qualifying row; a speed of "Prov." (a provisional start) leaves the
    // gap and time cells blank.
    void QualifyRow(Fragment& f, const QualifyLine& line) const;
    // A titled table of position, name and points (teams, rookies, makes),
    // banded or every row in the first row class.
    void PointsTable(Fragment& f, const QString& caption, const QList<PointsLine>& rows, bool banded);
    // The point adjustments table with its header row.
    void AdjustmentsTable(Fragment& f, const QList<AdjustmentLine>& rows);

    // Paths of the three kinds of file.
    static QString FragmentPath(const QString& name);          // TXT/name
    static QString TemplatePath(const QString& templateName);  // HTML/templateName
    static QString PagePath(const QString& prefix, const QString& division, const QString& kind);
    static QString PageFileName(const QString& prefix, const QString& division, const QString& kind);   // no folder
    // The page extension from the preferences ("htm" when none is set).
    static QString PageExtension();

    // Writes the fragment as TXT/fragmentName, then merges it into the
    // template to write the page of that kind. Each file is written whole
    // or not at all. False (with lastError) when either step failed; the
    // fragment stays when only the merge failed. Nothing is written when
    // either name could not stand as a file in its folder.
    bool PublishPage(const Fragment& fragment, const QString& fragmentName, const QString& templateName,
                     const QString& kind, const QString& prefix, const QString& division);

    // The page text: the template's lines (CR LF, LF or CR ends) with the
    // first line holding the marker replaced by the fragment's lines and
    // any later marker line dropped; every line ends in CR LF. The template
    // bytes pass through unchanged, so its own encoding is kept.
    static QByteArray MergeTemplate(const QByteArray& templateBytes, const QByteArray& fragmentBytes);

    static const char* const kMarker;      // "***HERE***"
    static const char* const kHomePage;    // the footer's link

protected:
    bool fail(const QString& message);

    // Page colours, taken once at creation.
    QString sTFC, sBFC, sTC, sBC1, sBC2;

    // Class attributes of the tables, title cells and rows.
    QString sClassResult, sClassQualify, sClassOther, sClassSchedule, sClassStandings, sClassStatistics;
    QString sClassTitle, sClassLine1;
    QString sClassLine;   // the current banded row

    QString m_error;
    QString m_queryError;   // why the schedule's saved queries could not be made

    QString sRaceNo;      // race number of the result page being written

private:
    // The schedule's pole and top-five cells, read for all the division's
    // races at once.
    struct ScheduleCells;
    void CreateQueries();
    // The result page from the tables: its results and qualifying rows.
    void ResultRowsFromDB(Fragment& f, dao::Recordset& lines, int columns);
    void QualifyRowsFromDB(Fragment& f, const QString& raceId);
    QString GetPoleWinner(const QString& sNo, ScheduleCells& cells);
    QString GetTop5(const QString& sNo, ScheduleCells& cells);
};
