// Starts the program as its own main does, opens the standings viewer and
// the read-me from the main window's menu, and ends with 0 once every page
// they show has loaded. A browser engine that ends the process ends it
// with its own code instead.

#include "AllForms.h"
#include "Startup.h"
#include "frmMainMenu.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWebEngineView>

#include <cstdio>

namespace {

QList<QWebEngineView*> Browsers()
{
    QList<QWebEngineView*> all;
    for (QWidget* w : QApplication::allWidgets())
        if (auto* view = qobject_cast<QWebEngineView*>(w); view && !view->url().isEmpty())
            all << view;
    return all;
}

// True when the command opened browsers and every one of them loaded its page.
bool OpensPages(QAction* command)
{
    const QList<QWebEngineView*> before = Browsers();
    command->trigger();
    int pending = 0, opened = 0;
    bool ok = true;
    QEventLoop wait;
    for (QWebEngineView* view : Browsers()) {
        if (before.contains(view))
            continue;
        ++pending;
        ++opened;
        QObject::connect(view, &QWebEngineView::loadFinished, &wait, [&](bool loaded) {
            ok = ok && loaded;
            if (--pending == 0)
                wait.quit();
        }, Qt::SingleShotConnection);
    }
    QTimer::singleShot(60000, &wait, [&] { wait.quit(); });
    if (pending > 0)
        wait.exec();
    return ok && opened > 0 && pending == 0;
}

void OpenBoth()
{
    frmMainMenu* main = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<frmMainMenu*>(w))
            main = m;
    // The start runs events under its splash, before the main window exists.
    if (!main) {
        QTimer::singleShot(50, OpenBoth);
        return;
    }
    int rc = 0;
    for (const char* command : {"mnuStan", "mnuReadMe"}) {
        const bool ok = OpensPages(main->findChild<QAction*>(QString::fromLatin1(command)));
        std::printf("%s: %s\n", command, ok ? "shown" : "not shown");
        rc = ok ? rc : 4;
    }
    std::fflush(stdout);
    QApplication::exit(rc);
}

} // namespace

int main(int argc, char** argv)
{
    return RunProgram(argc, argv, [] {
        RegisterAllForms();
        QTimer::singleShot(0, OpenBoth);
    });
}
