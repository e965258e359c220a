// Child windows in the main window's work area: where they open, what they
// store when they close, where they come back; and the keys every window
// shares.

#include "TestSupport.h"

#include "AllForms.h"
#include "FormRegistry.h"
#include "Forms.h"
#include "Settings.h"
#include "State.h"
#include "frmMainMenu.h"
#include "frmAbout.h"
#include "frmAddDamage.h"
#include "frmBonus.h"
#include "frmBonusAdd.h"
#include "frmChangeDriver.h"
#include "frmDivision.h"
#include "frmDrivers.h"
#include "frmEditIncident.h"
#include "frmEditRace.h"
#include "frmOptions.h"
#include "frmTeams.h"
#include "frmTracks.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>
#include <functional>

using namespace testsupport;

namespace {

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Hands every registered window, then each window nothing registers
// (Preferences, the about box, the editors), to visit with its name; gives
// how many it visited.
int ForEveryWindow(const std::function<void(QWidget*, const QString&)>& visit)
{
    int visited = 0;
    for (const QString& name : RegisteredFormNames()) {
        std::unique_ptr<QWidget> w(CreateForm(name));
        if (w) {
            visit(w.get(), name);
            ++visited;
        }
        settle();
    }
    std::vector<std::unique_ptr<QWidget>> others;
    others.emplace_back(new frmOptions);
    others.emplace_back(new frmAbout);
    others.emplace_back(new frmAddDamage);
    others.emplace_back(new frmBonusAdd);
    others.emplace_back(new frmChangeDriver);
    others.emplace_back(new frmEditIncident);
    others.emplace_back(new frmEditRace);
    others.emplace_back(new frmDivision);
    others.emplace_back(new frmDrivers);
    others.emplace_back(new frmTracks);
    others.emplace_back(new frmBonus(0, QString()));
    others.emplace_back(new frmTeams(0, QString()));
    for (const auto& w : others) {
        visit(w.get(), QString::fromLatin1(w->metaObject()->className()));
        ++visited;
    }
    others.clear();
    settle();
    return visited;
}

QString stored(const QString& section, const QString& key)
{
    return settings::GetSetting(QStringLiteral("Tarvik"), section, key);
}

void store(const QString& section, const QString& key, const QString& value)
{
    settings::SaveSetting(QStringLiteral("Tarvik"), section, key, value);
}

class PlacementTest : public LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        RegisterAllForms();
        main = std::make_unique<frmMainMenu>();
        main->show();
        settle();
        // The generic list needs a definition; any of the three will do.
        tListDef = ListDef();
        tListDef.sCaption = QStringLiteral("List of Drivers");
        tListDef.sKeyField = QStringLiteral("DriverID");
        tListDef.sDisplayField = QStringLiteral("Name");
        tListDef.nColWidth = 30;
        tListDef.sTable = QStringLiteral("Drivers");
        tListDef.nListFont = 1;
    }
    void TearDown() override
    {
        UnloadAllForms();
        settle();
        main.reset();
        LeagueTest::TearDown();
    }

    // The registered windows that open inside the work area (the modal
    // editors are registered too, and are left out).
    static QStringList childWindows()
    {
        QStringList names;
        for (const QString& name : RegisteredFormNames()) {
            std::unique_ptr<QWidget> w(CreateForm(name));
            if (w && !qobject_cast<QDialog*>(w.get()))
                names << name;
        }
        return names;
    }

    QMdiSubWindow* open(const QString& name)
    {
        QWidget* w = ShowChildForm(name);
        settle();
        return w ? qobject_cast<QMdiSubWindow*>(w->parentWidget()) : nullptr;
    }

    QMdiArea* area() const { return main->mdiArea(); }
    QPoint scroll() const { return {area()->horizontalScrollBar()->value(), area()->verticalScrollBar()->value()}; }

    // The frame's top left corner lies in the visible part of the work area.
    static ::testing::AssertionResult startsInside(const QMdiSubWindow* sub, const QMdiArea* area)
    {
        const QRect visible(QPoint(0, 0), area->viewport()->size());
        if (visible.contains(sub->geometry().topLeft()))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "frame at " << sub->x() << "," << sub->y() << " outside " << visible.width() << "x"
               << visible.height();
    }

    std::unique_ptr<frmMainMenu> main;
};

TEST_F(PlacementTest, EveryChildWindowOpensInsideTheWorkAreaAndReopensWhereItWas)
{
    // The first start's main window: 6500 x 6500 twips.
    ASSERT_EQ(main->size(), QSize(433, 433));
    const QStringList names = childWindows();
    ASSERT_TRUE(names.contains(QStringLiteral("frmRaceResult")));

    auto checkAll = [&](const char* when) {
        for (const QString& name : names) {
            SCOPED_TRACE(name.toStdString() + " " + when);
            QMdiSubWindow* sub = open(name);
            ASSERT_NE(sub, nullptr);
            EXPECT_TRUE(startsInside(sub, area()));
            const QRect first = sub->geometry();
            ASSERT_TRUE(UnloadAllForms());
            settle();

            sub = open(name);
            ASSERT_NE(sub, nullptr);
            EXPECT_TRUE(startsInside(sub, area()));
            EXPECT_EQ(sub->geometry(), first);
            ASSERT_TRUE(UnloadAllForms());
            settle();
        }
    };
    checkAll("at the first start");
    // The race result window is wider and taller than this work area: its
    // left and top edges stay in reach.
    EXPECT_EQ(stored("frmRaceResult", "Left"), QStringLiteral("0"));
    EXPECT_EQ(stored("frmRaceResult", "Top"), QStringLiteral("0"));

    // Also with the Preferences window, which nothing registers.
    main->mnuOptions_Click();
    settle();
    ASSERT_EQ(area()->subWindowList().size(), 1);
    EXPECT_TRUE(startsInside(area()->subWindowList().first(), area()));

    // A larger main window keeps them where they were.
    main->resize(900, 700);
    settle();
    checkAll("in a larger main window");
}

TEST_F(PlacementTest, StoredPositionRestoredWhenReachableAndBroughtBackWhenNot)
{
    const QString section = QStringLiteral("frmRaceResult");
    main->resize(900, 700);
    settle();

    // Inside the work area: restored as stored.
    store(section, QStringLiteral("Left"), QStringLiteral("450"));
    store(section, QStringLiteral("Top"), QStringLiteral("300"));
    QMdiSubWindow* sub = open(section);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->pos(), QPoint(30, 20));
    UnloadAllForms();
    settle();
    EXPECT_EQ(stored(section, QStringLiteral("Left")), QStringLiteral("450"));
    EXPECT_EQ(stored(section, QStringLiteral("Top")), QStringLiteral("300"));

    // Left of and above the work area (what a scrolled area used to store).
    store(section, QStringLiteral("Left"), QStringLiteral("-495"));
    store(section, QStringLiteral("Top"), QStringLiteral("-300"));
    sub = open(section);
    EXPECT_EQ(sub->pos(), QPoint(0, 0));
    UnloadAllForms();
    settle();

    // Beyond the right and bottom edges: moved back so it is all in view.
    store(section, QStringLiteral("Left"), QStringLiteral("90000"));
    store(section, QStringLiteral("Top"), QStringLiteral("90000"));
    sub = open(section);
    const QSize visible = area()->viewport()->size();
    EXPECT_EQ(sub->geometry().right(), visible.width() - 1);
    EXPECT_EQ(sub->geometry().bottom(), visible.height() - 1);
    UnloadAllForms();
    settle();
}

TEST_F(PlacementTest, ScrollOffsetIsNeverTakenForThePosition)
{
    const QString section = QStringLiteral("frmRaceResult");
    // First-start size: the window needs both scroll bars.
    QMdiSubWindow* sub = open(section);
    ASSERT_NE(sub, nullptr);
    ASSERT_GT(area()->horizontalScrollBar()->maximum(), 60);
    ASSERT_GT(area()->verticalScrollBar()->maximum(), 40);
    area()->horizontalScrollBar()->setValue(60);
    area()->verticalScrollBar()->setValue(40);
    settle();
    ASSERT_EQ(sub->pos(), QPoint(-60, -40));   // scrolled, not moved
    ASSERT_TRUE(UnloadAllForms());
    settle();
    EXPECT_EQ(stored(section, QStringLiteral("Left")), QStringLiteral("0"));
    EXPECT_EQ(stored(section, QStringLiteral("Top")), QStringLiteral("0"));

    // Restoring while the area is scrolled puts the window at its place in
    // the area, not at that place in the visible part.
    sub = open(section);
    area()->horizontalScrollBar()->setValue(60);
    area()->verticalScrollBar()->setValue(40);
    settle();
    store(section, QStringLiteral("Left"), QStringLiteral("150"));
    store(section, QStringLiteral("Top"), QStringLiteral("75"));
    LoadFormPosition(sub->widget(), 0, 0, 6285, 8745);
    settle();
    EXPECT_EQ(sub->pos() + scroll(), QPoint(10, 5));
    ASSERT_TRUE(UnloadAllForms());
    settle();
    EXPECT_EQ(stored(section, QStringLiteral("Left")), QStringLiteral("150"));
    EXPECT_EQ(stored(section, QStringLiteral("Top")), QStringLiteral("75"));
}

// "&Teams" joins the open windows: in front and active, maximised like a
// maximised window beside it.
TEST_F(PlacementTest, TeamsComesInFrontOfAMaximisedWindow)
{
    auto* teams = main->findChild<QAction*>(QStringLiteral("mnuTeams"));
    ASSERT_NE(teams, nullptr);
    // Maximised by hand, then opened maximised as it was closed.
    for (const char* name : {"frmRecords", "frmShowStand", "frmRecords", "frmShowStand"}) {
        SCOPED_TRACE(name);
        QMdiSubWindow* other = open(QString::fromLatin1(name));
        ASSERT_NE(other, nullptr);
        other->showMaximized();
        settle();
        teams->trigger();
        settle();
        QWidget* list = FindLoadedForm(QStringLiteral("frmListTeams"));
        ASSERT_NE(list, nullptr);
        QMdiSubWindow* sub = area()->activeSubWindow();
        ASSERT_EQ(sub, list->parentWidget());
        EXPECT_TRUE(list->isVisible());
        EXPECT_TRUE(sub->isMaximized());
        EXPECT_TRUE(main->windowTitle().endsWith(QStringLiteral("[List of Teams]"))) << main->windowTitle().toStdString();
        EXPECT_NE(FindLoadedForm(QString::fromLatin1(name)), nullptr);

        // Chosen again while the other window is in front: the list comes back.
        area()->setActiveSubWindow(other);
        settle();
        teams->trigger();
        settle();
        EXPECT_EQ(area()->activeSubWindow(), sub);
        EXPECT_TRUE(list->isVisible());
        ASSERT_TRUE(UnloadAllForms());
        settle();
    }
}

// Enter on a button with the focus presses it, in every window and editor.
TEST_F(PlacementTest, EnterPressesTheFocusedButtonEverywhere)
{
    QStringList silent;
    auto sweep = [&](QWidget* window, const QString& name) {
        for (QPushButton* button : window->findChildren<QPushButton*>()) {
            // Only the press is looked at, not what the button does.
            QObject::disconnect(button, &QAbstractButton::clicked, nullptr, nullptr);
            button->setEnabled(true);
            QSignalSpy clicks(button, &QAbstractButton::clicked);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QKeyEvent keypad(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
            QCoreApplication::sendEvent(button, &enter);
            QCoreApplication::sendEvent(button, &keypad);
            if (clicks.count() != 2)
                silent << name + QLatin1Char(' ') + button->text();
        }
    };
    EXPECT_EQ(ForEveryWindow(sweep), 22);
    EXPECT_TRUE(silent.isEmpty()) << silent.join(QStringLiteral(", ")).toStdString();

    // The bonus list opens with the focus on "&Close", first in its tab order.
    main->activateWindow();
    QMdiSubWindow* bonus = open(QStringLiteral("frmListBonus"));
    ASSERT_NE(bonus, nullptr);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("cmdClose"));
}

// Every box held to a length keeps whole characters and what fits of the
// beginning, however text goes in: typed, pasted with the keyboard or from
// the context menu, committed by an input method, dropped. Where nothing
// fits nothing changes, the selection included; undo takes a paste back.
TEST_F(PlacementTest, EveryBoxHeldToALengthKeepsWholeCharacters)
{
    const QString face = QStringLiteral("\U0001F600");   // two UTF-16 units
    const QString paste = QStringLiteral("xy") + face + QLatin1Char('z');
    QGuiApplication::clipboard()->setText(paste);
    auto type = [](QWidget* box, const QString& text) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QCoreApplication::sendEvent(box, &key);
    };
    auto key = [](QWidget* box, int k, Qt::KeyboardModifiers mods) {
        QKeyEvent press(QEvent::KeyPress, k, mods);
        QCoreApplication::sendEvent(box, &press);
    };
    auto commit = [](QWidget* box, const QString& text) {
        QInputMethodEvent input;
        input.setCommitString(text);
        QCoreApplication::sendEvent(box, &input);
    };
    // A line edit's cursor follows a drag over it, so its selection is
    // looked at after a drop alone.
    auto drop = [&paste](QWidget* target, bool dragged = true) {
        QMimeData data;
        data.setText(paste);
        const QPointF at(target->width() - 2, target->height() / 2.0);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        if (dragged)
            QCoreApplication::sendEvent(target, &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &dropped);
    };
    auto menuPaste = [](QWidget* box) {
        QContextMenuEvent ask(QContextMenuEvent::Keyboard, QPoint(2, 2), box->mapToGlobal(QPoint(2, 2)));
        QCoreApplication::sendEvent(box, &ask);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return false;
        for (QAction* action : menu->actions())
            if (action->text().startsWith(QStringLiteral("&Paste")))
                action->trigger();
        menu->close();
        settle();
        return true;
    };
    QStringList faults;
    int held = 0;
    struct Box {
        QWidget* keys;   // takes the keys, the menu and the input method
        QWidget* drops;
        QString name;
        int limit;
        std::function<QString()> text, selected;
        std::function<void(const QString&)> fill;   // the cursor at the end
    };
    // Filled to n units, then each way of putting text in at the end.
    auto sweep = [&](const Box& b) {
        ++held;
        auto expect = [&](const char* way, const QString& want) {
            if (b.text() != want)
                faults << b.name + QLatin1Char(' ') + QLatin1String(way) + QStringLiteral(": ") + b.text().right(3);
        };
        const QString start = QString(std::max(0, b.limit - 3), QLatin1Char('a'));
        const QString kept = start + paste.left(std::min(2, b.limit));
        // One unit of room: the refused character leaves a waiting redo.
        b.fill(QString(b.limit - 1, QLatin1Char('a')));
        type(b.keys, QStringLiteral("x"));
        key(b.keys, Qt::Key_Z, Qt::ControlModifier);
        type(b.keys, face);
        expect("typed", QString(b.limit - 1, QLatin1Char('a')));
        key(b.keys, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        expect("redone", QString(b.limit - 1, QLatin1Char('a')) + QLatin1Char('x'));
        b.fill(start.chopped(std::min<int>(1, start.size())));
        type(b.keys, start.right(1));   // typed just before: undo keeps it
        key(b.keys, Qt::Key_V, Qt::ControlModifier);
        expect("pasted", kept);
        key(b.keys, Qt::Key_Z, Qt::ControlModifier);
        expect("undone", start);
        if (!menuPaste(b.keys))
            faults << b.name + QStringLiteral(" has no menu");
        expect("menu", kept);
        b.fill(start);
        type(b.keys, paste.left(4));   // one key carrying several characters
        expect("typed at once", kept);
        b.fill(start);
        commit(b.keys, paste);
        expect("input method", kept);
        b.fill(start);
        drop(b.drops);
        if (b.text().size() != kept.size() || !b.text().contains(paste.left(std::min(2, b.limit))))
            faults << b.name + QStringLiteral(" dropped: ") + b.text().right(3);

        // Full, the last unit selected: a two-unit character replaces nothing.
        const QString full(b.limit, QLatin1Char('a'));
        QGuiApplication::clipboard()->setText(face);
        b.fill(full);
        key(b.keys, Qt::Key_Left, Qt::ShiftModifier);
        type(b.keys, face);
        key(b.keys, Qt::Key_V, Qt::ControlModifier);
        commit(b.keys, face);
        drop(b.drops, !qobject_cast<QLineEdit*>(b.drops));
        expect("over a selection", full);
        if (b.selected() != QStringLiteral("a"))
            faults << b.name + QStringLiteral(" lost its selection");
        QGuiApplication::clipboard()->setText(paste);
    };
    auto sweepWindow = [&](QWidget* window, const QString& name) {
        window->show();
        for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
            if (box->isReadOnly() || box->maxLength() == 32767)
                continue;
            box->setEnabled(true);
            box->setFocus();
            const QString boxName = name + QLatin1Char('.') + (box->objectName().isEmpty() ? box->parent()->objectName() : box->objectName());
            // A combo's box takes its keys and menu through the combo.
            sweep({box->focusProxy() ? box->focusProxy() : box, box, boxName, box->maxLength(), [box] { return box->text(); },
                   [box] { return box->selectedText(); },
                   [box](const QString& t) {
                       box->setText(t);
                       box->end(false);
                   }});
        }
        if (auto* comment = window->findChild<QPlainTextEdit*>(QStringLiteral("Text1(3)"))) {
            comment->setFocus();
            sweep({comment, comment->viewport(), name + QStringLiteral(".Comment"), frmEditIncident::kCommentLength,
                   [comment] { return comment->toPlainText(); }, [comment] { return comment->textCursor().selectedText(); },
                   [comment](const QString& t) {
                       comment->setPlainText(t);
                       comment->moveCursor(QTextCursor::End);
                   }});
        }
        window->hide();
    };
    ForEveryWindow(sweepWindow);
    // Race data (9), division (7), driver (4 with the make), track (2), comment.
    EXPECT_EQ(held, 23);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QStringLiteral(", ")).toStdString();
}

// The race result window shows its ten tabs in one row at the size it opens
// with, each caption whole, with no scroll arrows.
TEST_F(PlacementTest, RaceResultOpensWithAllTenTabsInView)
{
    QMdiSubWindow* sub = open(QStringLiteral("frmRaceResult"));
    ASSERT_NE(sub, nullptr);
    ASSERT_EQ(sub->size(), QSize(583, 419));
    const QTabBar* bar = sub->widget()->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->tabBar();
    ASSERT_EQ(bar->count(), 10);
    for (int i = 0; i < bar->count(); ++i) {
        SCOPED_TRACE(bar->tabText(i).toStdString());
        EXPECT_TRUE(bar->rect().contains(bar->tabRect(i)));
        EXPECT_LT(bar->fontMetrics().size(Qt::TextShowMnemonic, bar->tabText(i)).width(), bar->tabRect(i).width());
    }
    for (const QToolButton* arrow : bar->findChildren<QToolButton*>())
        EXPECT_FALSE(arrow->isVisible());
}

} // namespace
