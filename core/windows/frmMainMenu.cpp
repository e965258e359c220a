#include "frmMainMenu.h"

#include "Dialogs.h"
#include "FormRegistry.h"
#include "Forms.h"
#include "Runtime.h"
#include "Settings.h"
#include "State.h"
#include "frmAbout.h"
#include "frmOptions.h"
#include "frmReadme.h"
#include "frmSplash.h"
#include "WindowDialogs.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QHash>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

const char* const kSection = "Settings";

double storedTwips(const char* key, double fallback)
{
    const QString text = settings::GetSetting(rt::AppTitle(), QString::fromLatin1(kSection), QString::fromLatin1(key));
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok ? v : fallback;
}

void saveTwips(const char* key, int pixels)
{
    settings::SaveSetting(rt::AppTitle(), QString::fromLatin1(kSection), QString::fromLatin1(key),
                          QString::number(qRound64(PixelsToTwips(pixels))));
}

} // namespace

frmMainMenu::frmMainMenu(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMainMenu"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowIcon(QIcon(TarvikLogo(32)));

    m_area = new QMdiArea(this);
    m_area->setObjectName(QStringLiteral("mdiArea"));
    m_area->setBackground(QColor(128, 128, 128));
    // A child window larger than the working area stays reachable.
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_area);
    SetMdiArea(m_area);

    buildMenus();
    buildToolbar();
    buildStatusBar();

    // Narrower than 3000 twips is not allowed.
    setMinimumWidth(TwipsToPixels(3000));
    const int left = TwipsToPixels(storedTwips("MainLeft", 1000));
    const int top = TwipsToPixels(storedTwips("MainTop", 1000));
    const int width = TwipsToPixels(storedTwips("MainWidth", 6500));
    const int height = TwipsToPixels(storedTwips("MainHeight", 6500));
    move(left, top);
    resize(qMax(width, minimumWidth()), qMax(height, 1));

    setWindowTitle(QStringLiteral("%1 %2.%3.%4 - League Scoring and Publishing")
                       .arg(rt::AppTitle())
                       .arg(rt::VersionMajor())
                       .arg(rt::VersionMinor())
                       .arg(rt::VersionRevision()));
}

frmMainMenu::~frmMainMenu()
{
    if (MdiArea() == m_area)
        SetMdiArea(nullptr);
}

QAction* frmMainMenu::addCommand(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key,
                                 void (frmMainMenu::*command)(), bool enabled)
{
    auto* a = new QAction(caption, this);
    a->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty())
        a->setShortcut(key);
    a->setEnabled(enabled);
    connect(a, &QAction::triggered, this, [this, command] { RunGuarded([&] { (this->*command)(); }); });
    menu->addAction(a);
    return a;
}

void frmMainMenu::buildMenus()
{
    auto separator = [this](QMenu* menu, const char* name) {
        QAction* s = menu->addSeparator();
        s->setObjectName(QString::fromLatin1(name));
    };
    auto topMenu = [this](const char* name, const QString& caption) {
        QMenu* m = menuBar()->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Menu"));
        return m;
    };

    QMenu* file = topMenu("mnuFile", QStringLiteral("&File"));
    addCommand(file, "mnuExit", QStringLiteral("E&xit"), QKeySequence(QStringLiteral("Ctrl+X")), &frmMainMenu::mnuExit_Click);
    separator(file, "mnuSep2");
    addCommand(file, "mnuOptions", QStringLiteral("&Preferences"), QKeySequence(QStringLiteral("Ctrl+P")),
               &frmMainMenu::mnuOptions_Click);

    QMenu* process = topMenu("mnuProcess", QStringLiteral("&Process"));
    addCommand(process, "mnuImport", QStringLiteral("&Import Standings"), QKeySequence(QStringLiteral("Ctrl+I")),
               &frmMainMenu::mnuImport_Click, HasForm(QStringLiteral("frmProcess")));

    QMenu* view = topMenu("mnuView", QStringLiteral("&View"));
    addCommand(view, "mnuVResult", QStringLiteral("&Race Result"), QKeySequence(QStringLiteral("Ctrl+R")),
               &frmMainMenu::mnuVResult_Click, HasForm(QStringLiteral("frmRaceResult")));
    addCommand(view, "mnuStan", QStringLiteral("&Standings"), QKeySequence(QStringLiteral("Ctrl+S")),
               &frmMainMenu::mnuStan_Click, HasForm(QStringLiteral("frmShowStand")));
    addCommand(view, "mnuTRec", QStringLiteral("Tr&acks Records"), QKeySequence(QStringLiteral("Ctrl+A")),
               &frmMainMenu::mnuTRec_Click, HasForm(QStringLiteral("frmRecords")));

    QMenu* tables = topMenu("mnuTables", QStringLiteral("&Tables"));
    const bool list = HasForm(QStringLiteral("frmList"));
    addCommand(tables, "mnuDiv", QStringLiteral("&Divisions"), {}, &frmMainMenu::mnuDiv_Click, list);
    addCommand(tables, "mnuDrivers", QStringLiteral("Dri&vers"), {}, &frmMainMenu::mnuDrivers_Click, list);
    addCommand(tables, "mnuRaces", QStringLiteral("&Races"), {}, &frmMainMenu::mnuRaces_Click,
               HasForm(QStringLiteral("frmListRaces")));
    addCommand(tables, "mnuBonus", QStringLiteral("&Bonus"), {}, &frmMainMenu::mnuBonus_Click,
               HasForm(QStringLiteral("frmListBonus")));
    separator(tables, "mnuSep");
    addCommand(tables, "mnuTeams", QStringLiteral("&Teams"), {}, &frmMainMenu::mnuTeams_Click,
               HasForm(QStringLiteral("frmListTeams")));
    addCommand(tables, "mnuRookies", QStringLiteral("R&ookies"), {}, &frmMainMenu::mnuRookies_Click,
               HasForm(QStringLiteral("frmRookies")));
    separator(tables, "mnuNothing2");
    addCommand(tables, "mnuTracks", QStringLiteral("Tracks"), {}, &frmMainMenu::mnuTracks_Click, list);

    QMenu* help = topMenu("mnuHelp", QStringLiteral("&Help"));
    addCommand(help, "mnuReadMe", QStringLiteral("Read Me"), QKeySequence(Qt::Key_F1), &frmMainMenu::mnuReadMe_Click);
    addCommand(help, "mnuAbout", QStringLiteral("&About"), {}, &frmMainMenu::mnuAbout_Click);
}

void frmMainMenu::buildToolbar()
{
    QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("Toolbar1"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    QStyle* st = style();

    // "Tables": the button itself does nothing; its menu holds the choices.
    auto* drop = new QMenu(this);
    drop->setObjectName(QStringLiteral("Toolbar1_Tables"));
    struct Item { const char* name; const char* text; const char* form; };
    const Item items[] = {
        {"ddDivisions", "Divisions", "frmList"}, {"ddDrivers", "Drivers", "frmList"},
        {"ddRaces", "Races", "frmListRaces"},    {"ddBonus", "Bonus", "frmListBonus"},
        {nullptr, nullptr, nullptr},
        {"ddTeams", "Teams", "frmListTeams"},    {"ddRookies", "Rookies", "frmRookies"},
        {nullptr, nullptr, nullptr},
        {"ddTracks", "Tracks", "frmList"},
    };
    for (const Item& it : items) {
        if (!it.name) {
            drop->addSeparator();
            continue;
        }
        QAction* a = drop->addAction(QString::fromLatin1(it.text));
        a->setObjectName(QString::fromLatin1(it.name));
        a->setEnabled(HasForm(QString::fromLatin1(it.form)));
        const QString text = a->text();
        connect(a, &QAction::triggered, this, [this, text] { RunGuarded([&] { TablesDropDown(text); }); });
    }
    auto* tablesAction = new QAction(st->standardIcon(QStyle::SP_DirOpenIcon), QStringLiteral("Tables"), this);
    tablesAction->setObjectName(QStringLiteral("tbTables"));
    tablesAction->setMenu(drop);
    bar->addAction(tablesAction);
    if (auto* btn = qobject_cast<QToolButton*>(bar->widgetForAction(tablesAction)))
        btn->setPopupMode(QToolButton::MenuButtonPopup);

    auto button = [&](const char* name, const QString& caption, const QString& key, QStyle::StandardPixmap icon,
                      void (frmMainMenu::*command)(), bool enabled) {
        auto* a = new QAction(st->standardIcon(icon), caption, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setData(key);
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, [this, command] { RunGuarded([&] { (this->*command)(); }); });
        bar->addAction(a);
        return a;
    };
    bar->addSeparator();
    button("tbProcess", QStringLiteral("Process"), QStringLiteral("P"), QStyle::SP_ArrowDown,
           &frmMainMenu::mnuImport_Click, HasForm(QStringLiteral("frmProcess")));
    button("tbResults", QStringLiteral("Results"), QStringLiteral("R"), QStyle::SP_FileDialogDetailedView,
           &frmMainMenu::mnuVResult_Click, HasForm(QStringLiteral("frmRaceResult")));
    button("tbStandings", QStringLiteral("Standings"), QStringLiteral("S"), QStyle::SP_FileDialogListView,
           &frmMainMenu::mnuStan_Click, HasForm(QStringLiteral("frmShowStand")));
    button("tbRecords", QStringLiteral("Records"), QStringLiteral("A"), QStyle::SP_FileDialogInfoView,
           &frmMainMenu::mnuTRec_Click, HasForm(QStringLiteral("frmRecords")));
    bar->addSeparator();
    button("tbExit", QStringLiteral("Exit"), QStringLiteral("X"), QStyle::SP_DialogCloseButton,
           &frmMainMenu::mnuExit_Click, true);
}

void frmMainMenu::buildStatusBar()
{
    QStatusBar* sb = statusBar();
    sb->setObjectName(QStringLiteral("sbStatusBar"));
    sb->setSizeGripEnabled(true);
    auto panel = [sb](const char* name, int stretch) {
        auto* l = new QLabel(sb);
        l->setObjectName(QString::fromLatin1(name));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setContentsMargins(4, 0, 4, 0);
        sb->addPermanentWidget(l, stretch);
        return l;
    };
    panel("Panel1", 1);
    m_date = panel("Panel2", 0);
    m_time = panel("Panel3", 0);
    updateClock();
    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &frmMainMenu::updateClock);
    clock->start(1000);
}

void frmMainMenu::updateClock()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale loc;
    m_date->setText(loc.toString(now.date(), QLocale::ShortFormat));
    m_time->setText(loc.toString(now.time(), QLocale::ShortFormat));
}

void frmMainMenu::closeEvent(QCloseEvent* event)
{
    if (!UnloadAllForms()) {
        event->ignore();
        return;
    }
    if (!isMinimized()) {
        saveTwips("MainLeft", x());
        saveTwips("MainTop", y());
        saveTwips("MainWidth", width());
        saveTwips("MainHeight", height());
    }
    event->accept();
}

void frmMainMenu::openList(const QString& caption, const QString& keyField, const QString& displayField,
                           double colWidth, const QString& table)
{
    if (!UnloadAllForms())
        return;
    tListDef = ListDef();
    tListDef.sCaption = caption;
    tListDef.sKeyField = keyField;
    tListDef.sDisplayField = displayField;
    tListDef.nColWidth = colWidth;
    tListDef.sDisplayField2.clear();
    tListDef.sTable = table;
    tListDef.nListFont = 1;
    ShowChildForm(QStringLiteral("frmList"));
}

void frmMainMenu::mnuExit_Click()
{
    close();
}

void frmMainMenu::mnuOptions_Click()
{
    if (UnloadAllForms())
        ShowChildWidget(new frmOptions);
}

void frmMainMenu::mnuImport_Click() { ShowChildForm(QStringLiteral("frmProcess")); }
void frmMainMenu::mnuVResult_Click() { ShowChildForm(QStringLiteral("frmRaceResult")); }
void frmMainMenu::mnuStan_Click() { ShowChildForm(QStringLiteral("frmShowStand")); }
void frmMainMenu::mnuTRec_Click() { ShowChildForm(QStringLiteral("frmRecords")); }
void frmMainMenu::mnuRaces_Click() { ShowChildForm(QStringLiteral("frmListRaces")); }
void frmMainMenu::mnuBonus_Click() { ShowChildForm(QStringLiteral("frmListBonus")); }
void frmMainMenu::mnuTeams_Click() { ShowChildForm(QStringLiteral("frmListTeams"), false); }
void frmMainMenu::mnuRookies_Click() { ShowChildForm(QStringLiteral("frmRookies")); }

void frmMainMenu::mnuDiv_Click()
{
    openList(QStringLiteral("List of Divisions"), QStringLiteral("ID"), QStringLiteral("Name"), 30,
             QStringLiteral("Division"));
}

void frmMainMenu::mnuDrivers_Click()
{
    openList(QStringLiteral("List of Drivers"), QStringLiteral("DriverID"), QStringLiteral("Name"), 30,
             QStringLiteral("Drivers"));
}

void frmMainMenu::mnuTracks_Click()
{
    openList(QStringLiteral("List of Tracks"), QStringLiteral("ID"), QStringLiteral("FullName"), 50,
             QStringLiteral("Tracks"));
}

void frmMainMenu::mnuReadMe_Click()
{
    if (UnloadAllForms())
        ShowTopLevelForm(new frmReadme);
}

void frmMainMenu::mnuAbout_Click()
{
    if (!UnloadAllForms())
        return;
    frmAbout about(this);
    dlg::ExecDialog(&about);
}

void frmMainMenu::TablesDropDown(const QString& item)
{
    using Command = void (frmMainMenu::*)();
    static const QHash<QString, Command> commands = {
        {QStringLiteral("Divisions"), &frmMainMenu::mnuDiv_Click},
        {QStringLiteral("Drivers"), &frmMainMenu::mnuDrivers_Click},
        {QStringLiteral("Races"), &frmMainMenu::mnuRaces_Click},
        {QStringLiteral("Teams"), &frmMainMenu::mnuTeams_Click},
        {QStringLiteral("Rookies"), &frmMainMenu::mnuRookies_Click},
        {QStringLiteral("Bonus"), &frmMainMenu::mnuBonus_Click},
        {QStringLiteral("Tracks"), &frmMainMenu::mnuTracks_Click},
    };
    const auto it = commands.find(item);
    if (it == commands.end())
        return;
    if (UnloadAllForms())
        (this->*it.value())();
}
