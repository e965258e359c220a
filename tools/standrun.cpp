// Developer tool: runs the standings of one division through one race on
// the league database of a program folder, writes the standings page and
// prints the lines.
//   standrun <program folder> <division> <race number>

#include "DbModule.h"
#include "Lookups.h"
#include "Options.h"
#include "Runtime.h"
#include "Standings.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        out << "usage: standrun <program folder> <division> <race number>\n";
        return 2;
    }
    rt::SetAppPath(args[1]);
    if (!OpenDB())
        return 1;
    LoadOptions();
    LoadDivisionSettings(args[2]);
    Standings s;
    s.Division = args[2];
    s.LastRace = args[3];
    const bool ok = s.GenerateAll();
    for (const QStringList* list : {&s.StandingLines(), &s.TeamLines(), &s.MfgLines(), &s.RookieLines(), &s.EarningLines()}) {
        for (const QString& line : *list)
            out << line << '\n';
        if (!list->isEmpty())
            out << '\n';
    }
    CloseDB();
    return ok ? 0 : 1;
}
