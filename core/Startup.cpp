#include "Startup.h"

#include "DbModule.h"
#include "Options.h"

#include <QApplication>
#include <QMainWindow>

int RunProgram(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (!OpenDB())
        return 1;
    LoadOptions();
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Tarvik"));
    w.show();
    const int rc = app.exec();
    CloseDB();
    return rc;
}
