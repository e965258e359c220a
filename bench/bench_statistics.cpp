// Statistics run plus page for race 36 of a 43-driver division, after the
// standings run that rebuilds the kept results; and the two together, as
// the generate command runs them.

#include "BenchLeague.h"
#include "Standings.h"
#include "Statistics.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using benchleague::League;
using benchleague::kDrivers;

constexpr int kRaces = 36;

// What the statistics read beyond the standings: tracks, laps and laps led,
// winners' speeds and margins, cars out, provisionals, poles, race counts.
void AddStatisticsData()
{
    auto& db = *dbMain;
    db.beginTrans();
    const double miles[4] = {0.526, 1.5, 2.5, 2.66};
    for (int t = 1; t <= 4; ++t)
        db.execute(QStringLiteral("INSERT INTO Tracks (ID, ShortName, FullName, Miles, [Type]) VALUES (?, ?, ?, ?, ?)"),
                   {t, QStringLiteral("T%1").arg(t), QStringLiteral("Track %1").arg(t), miles[t - 1], t});
    for (int r = 1; r <= kRaces; ++r) {
        db.execute(QStringLiteral("UPDATE Races SET TrackID = ?, RaceName = ?, RaceDate = ?, Weather = 'Sunny', "
                                  "QWeather = 'Cloudy', Changes = ?, Leader = ?, Flags = ? WHERE ID = ?"),
                   {r % 4 + 1, QStringLiteral("Race %1").arg(r), QStringLiteral("4/%1/2024").arg(r % 28 + 1), r % 11,
                    r % 6 + 1, r % 8, r});
        db.execute(QStringLiteral("UPDATE Score SET Interval = ? WHERE RaceID = ? AND Posi = 1"),
                   {QStringLiteral("%1.%2").arg(120 + r % 17).arg(r * 37 % 1000, 3, 10, QLatin1Char('0')), r});
        db.execute(QStringLiteral("UPDATE Qualify SET Speed = ? WHERE RaceID = ? AND Pos = 1"),
                   {QStringLiteral("%1.%2").arg(130 + r % 13).arg(r * 53 % 1000, 3, 10, QLatin1Char('0')), r});
    }
    for (int p = 2; p <= kDrivers; ++p) {
        const QString finish = p > 40 ? QStringLiteral("Prov.") : p > 36 ? QStringLiteral("Accident") : QStringLiteral("Running");
        const int laps = p > 40 ? 0 : p > 36 ? 120 : 200 - p / 5;
        const QString interval = p == 2 ? QStringLiteral("-0.412") : QStringLiteral("-%1 laps").arg(p / 5);
        db.execute(QStringLiteral("UPDATE Score SET Laps = ?, Lead = ?, Finish = ?, Interval = ? WHERE Posi = ?"),
                   {laps, p < 5 ? 40 / p : 0, finish, interval, p});
    }
    db.execute(QStringLiteral("UPDATE Score SET Lead = 120 WHERE Posi = 1"));
    db.commitTrans();
}

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
        state.SkipWithError(s.ErrorText().toStdString().c_str());
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
    AddStatisticsData();
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

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
