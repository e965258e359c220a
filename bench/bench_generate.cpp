// The whole "&Generate Files" of the race result window for the last race
// of a 43-driver division: result page, schedule page, standings run and
// page, statistics run and page. Run for seasons of several lengths to see
// how the time grows with the number of races; the one that counts is race
// 36 of a 36-race season.

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
    League league(races);
    if (!league.ok()) {
        state.SkipWithError("the league database could not be made");
        return;
    }
    benchleague::AddRaceDetails(races);
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

    for (auto _ : state) {
        commSave->click();
        if (last != QLatin1String("All HTML Files have been generated")) {
            state.SkipWithError(last.toStdString().c_str());
            break;
        }
    }
    state.SetComplexityN(races);
    window.reset();
    dlg::SetMsgHook({});
}

} // namespace

BENCHMARK(BM_GenerateFiles)
    ->Arg(9)
    ->Arg(18)
    ->Arg(36)
    ->Arg(54)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Complexity(benchmark::oN);
