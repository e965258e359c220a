// Statistics run plus page for race 36 of a 43-driver division, after the
// standings run that rebuilds the kept results; and the two together, as
// the generate command runs them.

#include "BenchLeague.h"
#include "Standings.h"
#include "Statistics.h"


#include <benchmark/benchmark.h>

#include <memory>

namespace {

using benchleague::League;
using benchleague::kDrivers;

constexpr int kRaces = 36;

bool RunStandings(benchmark::State& state)
{
    Standings s;
    s.Division = QStringLiteral("B1");
    s.LastRace = QString::number(kRaces);
    if (s.GenerateAll())
        return true;
    state.SkipWithError(s.lastError().toStdString().c_str());
    return false;
}

bool RunStatistics(benchmark::State& state)
{
    Statistics s;
    s.Division = QStringLiteral("B1");
    s.LastRace = QString::number(kRaces);
    if (!s.GenerateAll()) {
        state.SkipWithError(s.lastError().toStdString().c_str());
        return false;
    }
    state.counters["lines"] = s.c_stats.size() + s.c_break.size() + s.c_top5.size() + s.c_gen.size();
    return true;
}

// The league with the statistics data; null (the benchmark skipped) when it
// cannot be made.
std::unique_ptr<League> MakeLeague(benchmark::State& state)
{
    auto league = std::make_unique<League>(kRaces);
    if (!league->ok()) {
        state.SkipWithError("the league database could not be made");
        return nullptr;
    }
    benchleague::AddRaceDetails(kRaces);
    return league;
}

void BM_StatisticsRun(benchmark::State& state)
{
    const auto league = MakeLeague(state);
    if (!league || !RunStandings(state))
        return;
    for (auto _ : state)
        if (!RunStatistics(state))
            break;
}

void BM_StandingsThenStatistics(benchmark::State& state)
{
    const auto league = MakeLeague(state);
    if (!league)
        return;
    for (auto _ : state)
        if (!RunStandings(state) || !RunStatistics(state))
            break;
}

} // namespace

BENCHMARK(BM_StatisticsRun)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);
BENCHMARK(BM_StandingsThenStatistics)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);
