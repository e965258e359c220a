// A write that fails part way through a standings run (a full disk, an I/O
// error), tried at every write the run makes: the league file is as it was
// before the run or as after a good one, never in between, and the user is
// told why when the run did not happen.

#include "Season.h"
#include "Statistics.h"

using namespace season;

TEST_F(SeasonTest, StandingsRunIsWholeOrNotAtAllWhenAWriteFails)
{
    // As after one run on a converted league: the standings' saved queries
    // exist, the page writer's do not, so this run makes them as it goes.
    { Standings made; }
    for (const char* name : {"Top5Races", "PoleWinners"})
        if (dbMain->hasQueryDef(QString::fromLatin1(name)))
            dbMain->deleteQueryDef(QString::fromLatin1(name));

    ExpectWholeOrNothing(
        [&](QString& told) {
            const bool ok = run(QStringLiteral("3"));
            if (!ok && !msgs->calls().empty() && (msgs->calls().back().flags & dlg::vbCritical))
                told = msgs->last();
            return ok;
        },
        [] { LoadDivisionSettings(QStringLiteral("D1")); });
}

TEST_F(SeasonTest, SavedQueriesAreMadeAllOrNoneWhenAWriteFails)
{
    for (const auto& q : Statistics::SavedQueries())
        if (dbMain->hasQueryDef(q.first))
            dbMain->deleteQueryDef(q.first);

    ExpectWholeOrNothing([&](QString& told) {
        Statistics made;
        for (const auto& q : Statistics::SavedQueries())
            if (!dbMain->hasQueryDef(q.first)) {
                told = q.first + QStringLiteral(" was not made");
                return false;
            }
        return true;
    });
}
