#include "Startup.h"

#include "DbModule.h"
#include "Forms.h"
#include "Options.h"
#include "Runtime.h"
#include "State.h"
#include "frmMainMenu.h"
#include "frmSplash.h"
#include "WindowDialogs.h"

#include <QApplication>
#include <QStringList>

#include <unistd.h>

void ReadCommandLine(const QString& commandLine)
{
    const QString cmd = commandLine.trimmed().toUpper();
    vLAN = false;
    vJRL = false;
    if (cmd.contains(QLatin1String("LAN")))
        vLAN = true;
    else if (cmd.contains(QLatin1String("JRL")))
        vJRL = true;

    // "EXT" and one separator character, then up to four characters.
    const int ext = cmd.indexOf(QLatin1String("EXT"));
    sHtmlExt = ext >= 0 ? rt::Trim(cmd.mid(ext + 4, 4)) : QStringLiteral("htm");

    bUseStyle = !cmd.contains(QLatin1String("NOSTYLE"));
}

std::unique_ptr<frmMainMenu> StartProgram(const QString& commandLine)
{
    ReadCommandLine(commandLine);

    frmSplash splash;
    splash.show();
    splash.repaint();
    QApplication::processEvents();

    if (!OpenDB()) {
        splash.close();
        return nullptr;
    }
    // A failure here is shown; the program still runs with what it has.
    RunGuarded([] { LoadOptions(); });
    splash.close();

    auto main = std::make_unique<frmMainMenu>();
    main->show();
    return main;
}

int RunProgram(int argc, char** argv, const std::function<void()>& registerForms)
{
    // The browser engine under the standings viewer and the read-me ends the
    // whole process when root runs it with its sandbox, which needs a user
    // of its own; as root it runs without.
    if ((::getuid() == 0 || ::geteuid() == 0) && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The read-me viewer's browser needs this before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(rt::AppTitle());
    dlg::InstallMessageBoxes();
    if (registerForms)
        registerForms();

    QStringList args = QApplication::arguments();
    if (!args.isEmpty())
        args.removeFirst();

    std::unique_ptr<frmMainMenu> main = StartProgram(args.join(QLatin1Char(' ')));
    if (!main)
        return 1;
    const int rc = app.exec();
    main.reset();
    CloseDB();
    return rc;
}
