// Standings run plus page for the last race of a 43-driver division, with
// 9, 36 and 144 races stored.

#include "BenchLeague.h"
#include "Standings.h"


#include <benchmark/benchmark.h>

namespace {

using benchleague::League;

void BM_StandingsRun(benchmark::State& state)
{
    const int races = static_cast<int>(state.range(0));
    League league(races);
    if (!league.ok()) {
        state.SkipWithError("the league database could not be made");
        return;
    }
    for (auto _ : state) {
        Standings s;
        s.Division = QStringLiteral("B1");
        s.LastRace = QString::number(races);
        if (!s.GenerateAll()) {
            state.SkipWithError(s.lastError().toStdString().c_str());
            break;
        }
        benchmark::DoNotOptimize(s.StandingLines().size());
    }
    state.SetLabel(std::to_string(races) + " races");
}

} // namespace

BENCHMARK(BM_StandingsRun)->Arg(9)->Arg(36)->Arg(144)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->DisplayAggregatesOnly(true);
