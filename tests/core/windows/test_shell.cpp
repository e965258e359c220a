// The application shell: main window commands, window positions, start-up
// switches, the about box and the read-me viewer.

#include "TestSupport.h"

#include "Database.h"
#include "DbError.h"
#include "DbModule.h"
#include "FormRegistry.h"
#include "Forms.h"
#include "Runtime.h"
#include "Settings.h"
#include "Startup.h"
#include "State.h"
#include "frmMainMenu.h"
#include "frmReadme.h"
#include "WindowDialogs.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QEventLoop>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWebEngineView>
#include <QKeyEvent>

#include <algorithm>

using namespace testsupport;

namespace {

// A key press that nobody takes travels up to the window, as typing does.
void pressEscape(QWidget* target)
{
    for (QWidget* w = target; w; w = w->parentWidget()) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &press);
        if (press.isAccepted())
            return;
    }
}

void waitFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Stands in for the windows that later folders register.
class DummyForm : public QWidget {
public:
    explicit DummyForm(const QString& name, bool remembersPosition)
        : m_remembers(remembersPosition)
    {
        setObjectName(name);
        setWindowTitle(name);
        if (m_remembers)
            LoadFormPosition(this, 300, 150, 4500, 6000);
    }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        if (m_remembers)
            SaveFormPosition(this);
        e->accept();
    }

private:
    bool m_remembers;
};

const char* const kLaterForms[] = {"frmProcess", "frmRaceResult", "frmListRaces", "frmShowStand", "frmRecords",
                                   "frmList", "frmListTeams", "frmListBonus", "frmRookies"};

void registerDummies()
{
    for (const char* n : kLaterForms) {
        const QString name = QString::fromLatin1(n);
        const bool remembers = name == QLatin1String("frmRaceResult");
        RegisterForm(name, [name, remembers] { return new DummyForm(name, remembers); });
    }
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QString stored(const QString& section, const QString& key)
{
    return settings::GetSetting(QStringLiteral("Tarvik"), section, key);
}

class ShellTest : public LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        registerDummies();
        main = std::make_unique<frmMainMenu>();
        main->show();
    }
    void TearDown() override
    {
        UnloadAllForms();
        settle();
        main.reset();
        dlg::SetExecHook({});
        dlg::SetColorHook({});
        dlg::SetFontHook({});
        LeagueTest::TearDown();
    }
    QAction* action(const char* name)
    {
        auto* a = main->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    void trigger(const char* name)
    {
        QAction* a = action(name);
        ASSERT_TRUE(a->isEnabled()) << name;
        a->trigger();
        settle();
    }
    QMdiSubWindow* frameOf(QWidget* w) { return qobject_cast<QMdiSubWindow*>(w->parentWidget()); }

    std::unique_ptr<frmMainMenu> main;
};

} // namespace

TEST_F(ShellTest, MenuCaptionsShortcutsAndNames)
{
    struct Item { const char* name; const char* caption; const char* key; };
    const Item items[] = {
        {"mnuExit", "E&xit", "Ctrl+X"},           {"mnuOptions", "&Preferences", "Ctrl+P"},
        {"mnuImport", "&Import Standings", "Ctrl+I"}, {"mnuVResult", "&Race Result", "Ctrl+R"},
        {"mnuStan", "&Standings", "Ctrl+S"},      {"mnuTRec", "Tr&acks Records", "Ctrl+A"},
        {"mnuDiv", "&Divisions", ""},             {"mnuDrivers", "Dri&vers", ""},
        {"mnuRaces", "&Races", ""},               {"mnuBonus", "&Bonus", ""},
        {"mnuTeams", "&Teams", ""},               {"mnuRookies", "R&ookies", ""},
        {"mnuTracks", "Tracks", ""},              {"mnuReadMe", "Read Me", "F1"},
        {"mnuAbout", "&About", ""},
    };
    for (const Item& it : items) {
        QAction* a = action(it.name);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(), QString::fromLatin1(it.caption)) << it.name;
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(it.key))) << it.name;
        EXPECT_TRUE(a->isEnabled()) << it.name;
    }
    for (const char* sep : {"mnuSep2", "mnuSep", "mnuNothing2"})
        EXPECT_TRUE(action(sep)->isSeparator()) << sep;
    EXPECT_NE(main->findChild<QWidget*>(QStringLiteral("Toolbar1")), nullptr);
    EXPECT_NE(main->findChild<QWidget*>(QStringLiteral("sbStatusBar")), nullptr);
    EXPECT_FALSE(main->findChild<QLabel*>(QStringLiteral("Panel2"))->text().isEmpty());
    EXPECT_FALSE(main->findChild<QLabel*>(QStringLiteral("Panel3"))->text().isEmpty());
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Tarvik %1.%2.%3 - League Scoring and Publishing")
                                       .arg(rt::VersionMajor()).arg(rt::VersionMinor()).arg(rt::VersionRevision()));
}

TEST_F(ShellTest, EveryCommandOpensItsWindowAloneAndListsGetTheirDefinition)
{
    struct Cmd { const char* action; const char* form; };
    const Cmd cmds[] = {
        {"mnuImport", "frmProcess"},    {"mnuVResult", "frmRaceResult"}, {"mnuStan", "frmShowStand"},
        {"mnuTRec", "frmRecords"},      {"mnuRaces", "frmListRaces"},    {"mnuBonus", "frmListBonus"},
        {"mnuRookies", "frmRookies"},   {"mnuDiv", "frmList"},           {"mnuOptions", "frmOptions"},
        {"mnuReadMe", "frmReadme"},     {"tbProcess", "frmProcess"},     {"tbResults", "frmRaceResult"},
        {"tbStandings", "frmShowStand"}, {"tbRecords", "frmRecords"},    {"ddRaces", "frmListRaces"},
        {"ddDrivers", "frmList"},       {"ddTeams", "frmListTeams"},     {"ddTracks", "frmList"},
    };
    // Something open first, so each command has a window to close.
    trigger("mnuTeams");
    for (const Cmd& c : cmds) {
        QPointer<QWidget> before = FindLoadedForm(QStringLiteral("frmListTeams"));
        trigger(c.action);
        EXPECT_EQ(LoadedFormCount(), 1) << c.action;
        QWidget* w = FindLoadedForm(QString::fromLatin1(c.form));
        ASSERT_NE(w, nullptr) << c.action;
        if (QString::fromLatin1(c.form) != QLatin1String("frmReadme")) {
            ASSERT_NE(frameOf(w), nullptr) << c.action;
            EXPECT_EQ(frameOf(w)->mdiArea(), main->mdiArea()) << c.action;
        } else {
            EXPECT_TRUE(w->isWindow());
        }
        if (QString::fromLatin1(c.form) != QLatin1String("frmListTeams")) {
            EXPECT_TRUE(before.isNull()) << c.action << " left the team list open";
        }
        trigger("mnuTeams");
    }

    trigger("mnuDrivers");
    EXPECT_EQ(tListDef.sCaption, QStringLiteral("List of Drivers"));
    EXPECT_EQ(tListDef.sKeyField, QStringLiteral("DriverID"));
    EXPECT_EQ(tListDef.sTable, QStringLiteral("Drivers"));
    trigger("mnuTracks");
    EXPECT_EQ(tListDef.sCaption, QStringLiteral("List of Tracks"));
    EXPECT_EQ(tListDef.sDisplayField, QStringLiteral("FullName"));
    EXPECT_EQ(tListDef.nColWidth, 50);
    EXPECT_EQ(tListDef.nListFont, 1);
    trigger("ddDivisions");
    EXPECT_EQ(tListDef.sCaption, QStringLiteral("List of Divisions"));
    EXPECT_EQ(tListDef.sKeyField, QStringLiteral("ID"));
    EXPECT_EQ(tListDef.sDisplayField, QStringLiteral("Name"));
    EXPECT_EQ(tListDef.sTable, QStringLiteral("Division"));
    EXPECT_TRUE(tListDef.sDisplayField2.isEmpty());
    EXPECT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();
}

TEST_F(ShellTest, MenuTeamsJoinsOpenWindowsDropDownTeamsClosesThem)
{
    trigger("mnuImport");
    trigger("mnuTeams");
    EXPECT_EQ(LoadedFormCount(), 2);
    // A second "&Teams" brings the same list forward.
    QWidget* teams = FindLoadedForm(QStringLiteral("frmListTeams"));
    trigger("mnuTeams");
    EXPECT_EQ(LoadedFormCount(), 2);
    EXPECT_EQ(FindLoadedForm(QStringLiteral("frmListTeams")), teams);

    // Race Result closes both, the last loaded first.
    trigger("mnuVResult");
    EXPECT_EQ(LoadedFormCount(), 1);
    EXPECT_NE(FindLoadedForm(QStringLiteral("frmRaceResult")), nullptr);

    trigger("mnuTeams");
    EXPECT_NE(FindLoadedForm(QStringLiteral("frmRaceResult")), nullptr);
    trigger("ddTeams");
    EXPECT_EQ(LoadedFormCount(), 1);
    EXPECT_EQ(FindLoadedForm(QStringLiteral("frmRaceResult")), nullptr);
    EXPECT_NE(FindLoadedForm(QStringLiteral("frmListTeams")), nullptr);
}

TEST_F(ShellTest, AboutBoxIsModalWithVersionAndClosesOthers)
{
    trigger("mnuImport");
    QString shownName, version, title;
    int openWhileShown = -1;
    dlg::SetExecHook([&](QWidget* d) {
        shownName = d->objectName();
        title = d->windowTitle();
        version = d->findChild<QLabel*>(QStringLiteral("Label4"))->text();
        openWhileShown = LoadedFormCount();
        return int(QDialog::Accepted);
    });
    trigger("mnuAbout");
    EXPECT_EQ(shownName, QStringLiteral("frmAbout"));
    EXPECT_EQ(title, QStringLiteral("About Tarvik"));
    EXPECT_EQ(version, QStringLiteral("Version %1.%2.%3").arg(rt::VersionMajor()).arg(rt::VersionMinor()).arg(rt::VersionRevision()));
    EXPECT_EQ(openWhileShown, 0);
}

TEST_F(ShellTest, PreferencesOkAndCancelCloseTheirChildFrame)
{
    for (const char* button : {"Command3", "Command1"}) {
        trigger("mnuOptions");
        QWidget* prefs = FindLoadedForm(QStringLiteral("frmOptions"));
        ASSERT_NE(prefs, nullptr);
        QPointer<QMdiSubWindow> frame = frameOf(prefs);
        ASSERT_FALSE(frame.isNull());
        auto* b = prefs->findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        b->click();
        settle();
        EXPECT_TRUE(frame.isNull() || !frame->isVisible()) << button << " left an empty frame";
        EXPECT_EQ(LoadedFormCount(), 0) << button;
    }
    EXPECT_TRUE(main->mdiArea()->subWindowList().isEmpty());
}

TEST_F(ShellTest, ChildWindowKeepsTheSizeItGaveItself)
{
    RegisterForm(QStringLiteral("frmListRaces"), [] {
        auto* w = new QWidget;
        w->resize(400, 467);
        return w;
    });
    trigger("mnuRaces");
    QWidget* w = FindLoadedForm(QStringLiteral("frmListRaces"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(frameOf(w)->size(), QSize(400, 467));
    // A window that sets no size still gets a frame that fits it.
    trigger("mnuImport");
    QWidget* p = FindLoadedForm(QStringLiteral("frmProcess"));
    ASSERT_NE(p, nullptr);
    EXPECT_GE(frameOf(p)->width(), p->sizeHint().width());
}

TEST_F(ShellTest, ChildLargerThanTheWorkingAreaCanBeScrolledTo)
{
    main->resize(300, 300);
    trigger("mnuOptions");
    QWidget* prefs = FindLoadedForm(QStringLiteral("frmOptions"));
    ASSERT_NE(prefs, nullptr);
    ASSERT_GT(frameOf(prefs)->height(), main->mdiArea()->viewport()->height());
    EXPECT_TRUE(main->mdiArea()->verticalScrollBar()->isVisible());
    EXPECT_GT(main->mdiArea()->verticalScrollBar()->maximum(), 0);
}

TEST_F(ShellTest, ErrorInACommandIsShownAndTheProgramCarriesOn)
{
    RegisterForm(QStringLiteral("frmProcess"), []() -> QWidget* { throw dao::DbError(3021, QStringLiteral("No current record.")); });
    trigger("mnuImport");
    EXPECT_TRUE(msgs->saw(QStringLiteral("No current record.")));
    EXPECT_EQ(LoadedFormCount(), 0);
    RegisterForm(QStringLiteral("frmProcess"), []() -> QWidget* { throw std::runtime_error("disk full"); });
    trigger("tbProcess");
    EXPECT_TRUE(msgs->saw(QStringLiteral("disk full")));
    registerDummies();
    trigger("mnuImport");
    EXPECT_NE(FindLoadedForm(QStringLiteral("frmProcess")), nullptr);
}

TEST_F(ShellTest, ChildPositionSavedRestoredAndMaximisedKept)
{
    trigger("mnuVResult");
    QWidget* w = FindLoadedForm(QStringLiteral("frmRaceResult"));
    ASSERT_NE(w, nullptr);
    // Caller's defaults on the first opening: top 300, left 150, 4500 x 6000 twips.
    EXPECT_EQ(frameOf(w)->geometry(), QRect(10, 20, 400, 300));

    frameOf(w)->setGeometry(30, 40, 350, 250);
    trigger("mnuImport");   // closes it
    EXPECT_EQ(stored("frmRaceResult", "WindowState"), QStringLiteral("0"));
    EXPECT_EQ(stored("frmRaceResult", "Left"), QStringLiteral("450"));
    EXPECT_EQ(stored("frmRaceResult", "Top"), QStringLiteral("600"));
    EXPECT_EQ(stored("frmRaceResult", "Width"), QStringLiteral("5250"));
    EXPECT_EQ(stored("frmRaceResult", "Height"), QStringLiteral("3750"));

    trigger("mnuVResult");
    w = FindLoadedForm(QStringLiteral("frmRaceResult"));
    EXPECT_EQ(frameOf(w)->geometry(), QRect(30, 40, 350, 250));

    frameOf(w)->showMaximized();
    settle();
    trigger("mnuImport");
    EXPECT_EQ(stored("frmRaceResult", "WindowState"), QStringLiteral("2"));
    EXPECT_EQ(stored("frmRaceResult", "Left"), QStringLiteral("450"));   // last normal position kept

    trigger("mnuVResult");
    w = FindLoadedForm(QStringLiteral("frmRaceResult"));
    EXPECT_TRUE(frameOf(w)->isMaximized());
    EXPECT_EQ(FormWindowState(w), 2);
    frameOf(w)->showNormal();
    settle();
    // Loading again follows the stored state.
    LoadFormPosition(w, 0, 0, 0, 0);
    EXPECT_TRUE(frameOf(w)->isMaximized());

    // A stored value that is no number falls back to the default.
    settings::SaveSetting(QStringLiteral("Tarvik"), QStringLiteral("frmRaceResult"), QStringLiteral("WindowState"), QStringLiteral("x"));
    settings::SaveSetting(QStringLiteral("Tarvik"), QStringLiteral("frmRaceResult"), QStringLiteral("Left"), QStringLiteral("abc"));
    trigger("mnuImport");
    settings::SaveSetting(QStringLiteral("Tarvik"), QStringLiteral("frmRaceResult"), QStringLiteral("WindowState"), QStringLiteral("x"));
    settings::SaveSetting(QStringLiteral("Tarvik"), QStringLiteral("frmRaceResult"), QStringLiteral("Left"), QStringLiteral("abc"));
    trigger("mnuVResult");
    w = FindLoadedForm(QStringLiteral("frmRaceResult"));
    EXPECT_FALSE(frameOf(w)->isMaximized());
    EXPECT_EQ(frameOf(w)->x(), 10);
}

TEST_F(ShellTest, MainWindowBoundsDefaultSavedAndNotWhenMinimised)
{
    EXPECT_EQ(main->pos(), QPoint(67, 67));
    EXPECT_EQ(main->size(), QSize(433, 433));

    main->move(100, 120);
    main->resize(600, 450);
    trigger("mnuImport");
    main->close();
    settle();
    EXPECT_EQ(LoadedFormCount(), 0);
    EXPECT_EQ(stored("Settings", "MainLeft"), QStringLiteral("1500"));
    EXPECT_EQ(stored("Settings", "MainTop"), QStringLiteral("1800"));
    EXPECT_EQ(stored("Settings", "MainWidth"), QStringLiteral("9000"));
    EXPECT_EQ(stored("Settings", "MainHeight"), QStringLiteral("6750"));

    main = std::make_unique<frmMainMenu>();
    main->show();
    EXPECT_EQ(main->pos(), QPoint(100, 120));
    EXPECT_EQ(main->size(), QSize(600, 450));

    // Never narrower than 3000 twips.
    main->resize(50, 300);
    EXPECT_EQ(main->width(), 200);

    main->move(5, 5);
    main->showMinimized();
    settle();
    main->close();
    EXPECT_EQ(stored("Settings", "MainLeft"), QStringLiteral("1500"));

    // The toolbar's Exit closes the windows and the main window.
    main = std::make_unique<frmMainMenu>();
    main->show();
    trigger("mnuVResult");
    trigger("tbExit");
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(LoadedFormCount(), 0);
}

TEST_F(ShellTest, ReadmeViewerSizeEscapeAndMaximised)
{
    trigger("mnuReadMe");
    auto* w = qobject_cast<frmReadme*>(FindLoadedForm(QStringLiteral("frmReadme")));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Read Me"));
    EXPECT_EQ(w->size(), QSize(583, 419));
    EXPECT_TRUE(w->browser()->url().toLocalFile().endsWith(QStringLiteral("/readme.htm")));
    EXPECT_EQ(w->browser()->objectName(), QStringLiteral("Grid1"));
    EXPECT_EQ(w->browser()->width(), 583 - 7);

    w->move(40, 50);
    w->resize(500, 400);
    w->activateWindow();
    pressEscape(w);
    settle();
    EXPECT_EQ(LoadedFormCount(), 0);
    EXPECT_EQ(stored("frmReadme", "WindowState"), QStringLiteral("0"));
    EXPECT_EQ(stored("frmReadme", "Width"), QStringLiteral("7500"));
    EXPECT_EQ(stored("frmReadme", "Left"), QStringLiteral("600"));

    trigger("mnuReadMe");
    w = qobject_cast<frmReadme*>(FindLoadedForm(QStringLiteral("frmReadme")));
    EXPECT_EQ(w->size(), QSize(500, 400));
    EXPECT_EQ(w->pos(), QPoint(40, 50));
    w->showMaximized();
    settle();
    w->close();
    settle();
    EXPECT_EQ(stored("frmReadme", "WindowState"), QStringLiteral("2"));

    trigger("mnuReadMe");
    w = qobject_cast<frmReadme*>(FindLoadedForm(QStringLiteral("frmReadme")));
    EXPECT_TRUE(w->isMaximized());
    EXPECT_EQ(nLastWindowState, 2);
    // Opened maximised, it goes back to maximised when restored.
    w->showNormal();
    waitFor(50);
    settle();
    EXPECT_TRUE(w->isMaximized());
}

TEST(ShellStartup, CommandLineSwitches)
{
    ResetSharedState();
    ReadCommandLine(QStringLiteral("  ext=php nostyle "));
    EXPECT_EQ(sHtmlExt, QStringLiteral("PHP"));
    EXPECT_FALSE(bUseStyle);
    EXPECT_FALSE(vLAN);
    EXPECT_FALSE(vJRL);

    ReadCommandLine(QStringLiteral("/jrl /lan"));
    EXPECT_TRUE(vLAN);
    EXPECT_FALSE(vJRL);
    EXPECT_EQ(sHtmlExt, QStringLiteral("htm"));
    EXPECT_TRUE(bUseStyle);

    ReadCommandLine(QStringLiteral("xJrLx"));
    EXPECT_FALSE(vLAN);
    EXPECT_TRUE(vJRL);

    ReadCommandLine(QStringLiteral("EXT:shtml"));
    EXPECT_EQ(sHtmlExt, QStringLiteral("SHTM"));
    ResetSharedState();
}

TEST(ShellStartup, StoredPageSettingsReplaceTheSwitches)
{
    ResetSharedState();
    ScratchProgram program;
    MsgRecorder msgs;
    registerDummies();
    std::unique_ptr<frmMainMenu> main = StartProgram(QStringLiteral("ext=php nostyle lan"));
    ASSERT_NE(main, nullptr) << msgs.last().toStdString();
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(vLAN);
    EXPECT_EQ(sHtmlExt, QStringLiteral("htm"));
    EXPECT_TRUE(bUseStyle);
    EXPECT_EQ(dTC, 8388608);
    EXPECT_TRUE(QFile::exists(program.file(QStringLiteral("Tarvik.MDB"))));
    const auto tops = QApplication::topLevelWidgets();
    EXPECT_EQ(std::count_if(tops.begin(), tops.end(),
                            [](QWidget* w) { return w->objectName() == QLatin1String("frmSplash") && w->isVisible(); }),
              0);
    main.reset();
    CloseDB();
    ResetSharedState();
}

TEST(ShellStartup, NoDatabaseMeansNoWindow)
{
    ResetSharedState();
    ScratchProgram program(false);
    MsgRecorder msgs;
    std::unique_ptr<frmMainMenu> main = StartProgram(QString());
    EXPECT_EQ(main, nullptr);
    EXPECT_FALSE(msgs.calls().empty());
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    CloseDB();
    ResetSharedState();
}

// The viewer really shows the program's read-me page. With TARVIK_SCREENSHOT
// set to a file name, a picture of the main window with the viewer open is
// saved there.
TEST_F(ShellTest, ReadmePageLoads)
{
    main->resize(900, 650);
    trigger("mnuReadMe");
    auto* w = qobject_cast<frmReadme*>(FindLoadedForm(QStringLiteral("frmReadme")));
    ASSERT_NE(w, nullptr);
    w->move(main->x() + 120, main->y() + 110);
    w->resize(700, 500);

    bool loaded = false;
    {
        QEventLoop loop;
        QObject::connect(w->browser(), &QWebEngineView::loadFinished, &loop, [&](bool ok) {
            loaded = ok;
            loop.quit();
        });
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    EXPECT_TRUE(loaded);
    EXPECT_EQ(w->browser()->title(), QStringLiteral("Tarvik - Read Me"));

    const QString shot = qEnvironmentVariable("TARVIK_SCREENSHOT");
    if (shot.isEmpty())
        return;
    waitFor(1500);
    const QRect all = main->frameGeometry().united(w->frameGeometry());
    QPixmap canvas(all.size());
    canvas.fill(Qt::darkGray);
    {
        QPainter p(&canvas);
        p.drawPixmap(main->pos() - all.topLeft(), main->grab());
        p.drawPixmap(w->pos() - all.topLeft(), w->grab());
    }
    EXPECT_TRUE(canvas.save(shot));
}
