#pragma once
// Season statistics of one division: the points breakdown, the driver
// statistics, the top-5 lists and the general records, computed from the
// kept results the standings run left in ScoreDrop and handed to the page
// writer.

#include "QueryDef.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

class Statistics {
public:
    Statistics();   // creates the saved queries the database lacks

    QString Division;
    QString LastRace;
    // False: a failure is only returned (with its text), not shown; for a
    // caller that reports several runs in one message.
    bool ShowErrors = true;

    // The whole run and the statistics page, with the hourglass. On a
    // failure the error is shown, lastError() keeps it and false is
    // returned; the caller must then not announce the pages.
    bool GenerateAll();
    void CalcGeneral();
    void CalcTop5();
    void CalcStat();
    void CalcBreak();
    void InitQueries();

    QString lastError() const { return m_error; }

    // The lists and totals of the last run.
    QStringList c_break, c_stats, c_top5, c_gen;
    QVariant dTotLaps;        // null when no kept winner has a known track
    qint64 dTotMiles = 0;     // wide: a long season passes 32,767 miles

    // Texts of the saved queries this class keeps, by name.
    static const QList<QPair<QString, QString>>& SavedQueries();

private:
    void BuildStatistics();
    QString GetDriverName(qint64 driverId);
    dao::QueryDef& query(const QString& name);

    QString m_div;
    QString m_upTo;   // " AND Val(Races.RaceNo) <= n": only races up to LastRace
    QString m_error;
    QString m_queryError;   // why the saved queries could not be made
    QHash<QString, dao::QueryDef> m_queries;
};
