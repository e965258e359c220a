// One 43-car result page imported into a league that already holds 36
// scored races in 3 divisions. Each run re-imports the same race (the
// overwrite question answered Yes), so the database keeps its size. Each
// import is timed against its floor: the race's Races row written in place
// and its Qualify and Score rows deleted and inserted again, in one
// transaction with the SQLite C API alone.

#include "BenchFloor.h"
#include "Database.h"
#include "DbModule.h"
#include "Dialogs.h"
#include "Options.h"
#include "ProcessClass.h"
#include "Runtime.h"
#include "Settings.h"
#include "State.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

struct League {
    QTemporaryDir dir;
    QString page;
    qint64 track = 0;
    bool ok = false;

    League()
    {
        QDir(dir.path()).mkpath(QStringLiteral("data"));
        QDir(dir.path()).mkpath(QStringLiteral("STN"));
        QFile::copy(QStringLiteral(TARVIK_PROGRAM_DIR "/data/blank.mdb"), dir.filePath(QStringLiteral("data/blank.mdb")));
        QFile::setPermissions(dir.filePath(QStringLiteral("data/blank.mdb")), QFile::ReadOwner | QFile::WriteOwner);
        page = dir.filePath(QStringLiteral("STN/race_full43.htm"));
        QFile::copy(QStringLiteral(TARVIK_SOURCE_DIR "/tests/data/race_full43.htm"), page);
        rt::SetAppPath(dir.path());
        settings::SetSettingsFile(dir.filePath(QStringLiteral("settings.ini")));
        dlg::SetMsgHook([](const dlg::MsgCall& call) {
            if ((call.flags & 7) == dlg::vbYesNo)
                return int(dlg::vbYes);
            std::fprintf(stderr, "%s\n", qPrintable(call.prompt));
            return int(dlg::vbOK);
        });
        if (!OpenDB())
            return;
        LoadOptions();
        dbMain->execute(QStringLiteral("INSERT INTO Tracks (ShortName, FullName, Miles, [Type]) "
                                       "VALUES ('Martinsville', 'Martinsville Speedway', 0.526, 0)"));
        track = dbMain->lastInsertId();
        QFile points(dir.filePath(QStringLiteral("trucks.pts")));
        if (points.open(QIODevice::WriteOnly))
            points.write("[Race]\n1,50\n2,45\n3,40\n[Led Lap]\n1\n[Most Led]\n2\n[Qual]\n1,3\n");
        points.close();
        const int systems[] = {1, 4, 7};
        const char* divisions[] = {"CUP", "BUSCH", "TRUCK"};
        for (int d = 0; d < 3; ++d) {
            dbMain->execute(QStringLiteral("INSERT INTO Division (ID, Name, Teams, PointSystem, PointSystemFile, Earnings, [Drop]) "
                                           "VALUES (?, ?, 1, ?, 'trucks.pts', 0, 0)"),
                            {QString::fromLatin1(divisions[d]), QString::fromLatin1(divisions[d]), systems[d]});
            for (int r = 1; r <= 12; ++r)
                if (!Import(QString::fromLatin1(divisions[d]), r))
                    return;
        }
        ok = true;
    }
    ~League()
    {
        CloseDB();
        dlg::SetMsgHook({});
    }
    bool Import(const QString& div, int raceNo)
    {
        sCurDiv = div;
        ProcessClass p;
        p.RaceDivision = div;
        p.RaceNo = QString::number(raceNo);
        p.stnFileName = page;
        p.TrackID = track;
        return p.ProcRace();
    }
};

void BM_ImportFullField(benchmark::State& state)
{
    League league;
    if (!league.ok) {
        state.SkipWithError("league set-up failed");
        return;
    }
    const auto import = [&] { return league.Import(QStringLiteral("CUP"), 13); };
    // The first import adds the race; the second, an overwrite like every
    // timed one, is the one the floor copies.
    benchfloor::Floor floor;
    if (!import() || !floor.Record(league.dir.path(), import)) {
        state.SkipWithError(floor.error().isEmpty() ? "import failed" : floor.error().toStdString().c_str());
        return;
    }
    const QString race = dbMain->scalar(QStringLiteral("SELECT ID FROM Races WHERE Division = 'CUP' AND RaceNo = '13'")).toString();
    floor.Update(QStringLiteral("Races"), QStringLiteral("ID = ") + race);
    floor.Rewrite(QStringLiteral("Qualify"), QStringLiteral("RaceID = ") + race);
    floor.Rewrite(QStringLiteral("Score"), QStringLiteral("RaceID = ") + race);
    if (!floor.Prepare()) {
        state.SkipWithError(floor.error().toStdString().c_str());
        return;
    }
    benchfloor::RunAgainstFloor(state, import, floor);
    state.SetLabel(floor.Describe().toStdString());
}

} // namespace

BENCHMARK(BM_ImportFullField)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
