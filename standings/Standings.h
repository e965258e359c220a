#pragma once
// The championship standings of a division through one race: rebuilds the
// dropped-races table ScoreDrop, then builds the drivers', team,
// manufacturer, rookie and earnings lines in one transaction, then has the
// page writer publish them.

#include <QString>
#include <QStringList>

#include <memory>

namespace dao {
class Recordset;
}

class Standings {
public:
    // Makes sure the saved queries exist.
    Standings();

    QString Division;   // division ID
    QString LastRace;   // race number (Races.RaceNo) through which to compute
    // False: a failure is only returned (with its text), not shown; for a
    // caller that reports several runs in one message.
    bool ShowErrors = true;

    // The whole run, with the hourglass. Uses the division settings loaded
    // last (nDrop, nTeams, bBrands, bRoty, bEarnings). On any failure the
    // error is shown and false returned; when the computation fails the
    // database is left as it was, when only the page fails the tables and
    // lines stand (Computed()).
    bool GenerateAll();
    // True when the last run's tables and lines were made, its page written or not.
    bool Computed() const { return m_computed; }

    // The steps of the run. They throw dao::DbError on a database error and
    // are meant to run inside GenerateAll's transaction.
    void CalcMfgPoints();
    void CalcRookiePoints();
    void CalcTeamPoints();
    void CalcEarnings();
    // Position change of driver nID now at nPos against the previous
    // standings rs (LastRaceTotals rows, highest total first).
    QString GetDiff(dao::Recordset& rs, int nPos, qint64 nID);
    void CalcStandings();
    // Creates each missing saved query; an existing one is never changed.
    void InitQueries();

    // The lines of the last run.
    const QStringList& StandingLines() const { return m_standings; }
    const QStringList& TeamLines() const { return m_teams; }
    const QStringList& MfgLines() const { return m_mfgs; }
    const QStringList& RookieLines() const { return m_rookies; }
    const QStringList& EarningLines() const { return m_earnings; }
    // Why the last GenerateAll failed; empty after success.
    QString lastError() const { return m_error; }

    // The saved queries in the order they are made, and their SQL.
    static QStringList QueryNames();
    static QString QuerySql(const QString& name);

private:
    void BuildStandings();
    void ClearLines();
    void RebuildScoreDrop();
    std::unique_ptr<dao::Recordset> OpenTotals(const QString& sql) const;

    QString m_div;      // the run's division
    double m_lastRace = 0;
    QString m_error;
    bool m_computed = false;
    QString m_queryError;   // why the saved queries could not be made
    QStringList m_standings, m_teams, m_mfgs, m_rookies, m_earnings;
};
