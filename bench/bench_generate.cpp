// The whole "&Generate Files" of the race result window for the last race
// of a division of 43 or 100 drivers: result page, schedule page, standings
// run and page, statistics run and page. Seasons of 9, 36, 144 and 576
// races show how the time grows with the season's length. Each click is
// timed against its floor: the eight page files and the rows of ScoreDrop
// and TempTeams written again with the SQLite C API alone.

#include "BenchFloor.h"
#include "BenchLeague.h"
#include "Dialogs.h"
#include "frmRaceResult.h"

#include <QComboBox>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using benchleague::League;

void BM_GenerateFiles(benchmark::State& state)
{
    const int races = int(state.range(0));
    const int drivers = int(state.range(1));
    League league(races, drivers);
    if (!league.ok()) {
        state.SkipWithError("the league database could not be made");
        return;
    }
    benchleague::AddRaceDetails(races, drivers);
    bLines = true;
    bUseStyle = true;

    QString last;
    dlg::SetMsgHook([&](const dlg::MsgCall& call) {
        last = call.prompt;
        return int(dlg::vbOK);
    });
    auto window = std::make_unique<frmRaceResult>();
    window->show();
    auto* divisions = window->findChild<QComboBox*>(QStringLiteral("DivName"));
    const int index = divisions->findText(QStringLiteral("Bench"), Qt::MatchContains);
    divisions->setCurrentIndex(index);
    emit divisions->activated(index);   // shows the division's last race
    auto* commSave = window->findChild<QPushButton*>(QStringLiteral("commSave"));
    const auto click = [&] {
        last.clear();
        commSave->click();
        return last == QLatin1String("All HTML Files have been generated");
    };

    // The first click makes the saved queries and the pages; the second is
    // the one the floor copies.
    benchfloor::Floor floor;
    if (!click() || !floor.Record(league.path(), click)) {
        state.SkipWithError(last.isEmpty() ? floor.error().toStdString().c_str() : last.toStdString().c_str());
        return;
    }
    floor.Rewrite(QStringLiteral("ScoreDrop"), QStringLiteral("1"));
    floor.Rewrite(QStringLiteral("TempTeams"), QStringLiteral("1"));
    if (!floor.Prepare()) {
        state.SkipWithError(floor.error().toStdString().c_str());
        return;
    }
    benchfloor::RunAgainstFloor(state, click, floor);
    state.SetLabel(floor.Describe().toStdString());
    window.reset();
    dlg::SetMsgHook({});
}

} // namespace

BENCHMARK(BM_GenerateFiles)
    ->ArgNames({"races", "drivers"})
    ->ArgsProduct({{9, 36, 144, 576}, {43, 100}})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
