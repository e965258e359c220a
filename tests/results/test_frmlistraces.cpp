// The race list window: listing, editing through the race data editor,
// deleting with the race's rows, publishing the schedule.

#include "../import/RaceSeed.h"
#include "Database.h"
#include "FormRegistry.h"
#include "Forms.h"
#include "RegisterResultsForms.h"
#include "TestSupport.h"
#include "frmListRaces.h"
#include "frmMainMenu.h"
#include "frmRaces.h"
#include "WindowDialogs.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest/QTest>

using testsupport::LeagueTest;

namespace {

class ListRacesTest : public LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        RegisterResultsForms();
        seed::Division(QStringLiteral("W1"), false);
        seed::Division(QStringLiteral("O'K"), false);
        r10 = seed::Race(QStringLiteral("W1"), QStringLiteral("10"));
        r2 = seed::Race(QStringLiteral("W1"), QStringLiteral("2"));
        r1 = seed::Race(QStringLiteral("W1"), QStringLiteral("1"));
        dbMain->execute(QStringLiteral("UPDATE Races SET RaceName = NULL WHERE ID = ?"), {r10});
        a = seed::Driver(QStringLiteral("Al"));
        for (qint64 r : {r1, r2, r10}) {
            seed::Score(QStringLiteral("W1"), r, 1, a, 10);
            seed::Qualify(r, 1, a);
            dbMain->execute(QStringLiteral("INSERT INTO Penalties (Division, RaceID, Posi, Points, Comment) VALUES ('W1', ?, 1, -5, 'x')"),
                            {r});
        }
        seed::Race(QStringLiteral("O'K"), QStringLiteral("1"));
        seed::Division(QStringLiteral("Z9"), false);
    }
    void TearDown() override
    {
        dlg::SetExecHook({});
        window.reset();
        LeagueTest::TearDown();
    }
    void Open()
    {
        window = std::make_unique<frmListRaces>();
        window->show();
        list = window->findChild<QListWidget*>(QStringLiteral("List1"));
        combo = window->findChild<QComboBox*>(QStringLiteral("Combo1"));
    }
    void Choose(const QString& name)
    {
        const int i = combo->findText(name);
        ASSERT_GE(i, 0);
        combo->setCurrentIndex(i);
        emit combo->activated(i);
    }
    QAction* Tool(const char* key) { return window->findChild<QAction*>(QString::fromLatin1(key)); }
    QStringList Items() const
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    int Count(const QString& table, qint64 race)
    {
        return dbMain->scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table + QStringLiteral(" WHERE RaceID = ")
                              + QString::number(race)).toInt();
    }

    std::unique_ptr<frmListRaces> window;
    QListWidget* list = nullptr;
    QComboBox* combo = nullptr;
    qint64 r1 = 0, r2 = 0, r10 = 0, a = 0;
};

} // namespace

TEST_F(ListRacesTest, ListsRacesInNumberOrderAndKeepsThePosition)
{
    Open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("List of Races"));
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(list->count(), 0);
    for (const char* key : {"new", "edit", "delete", "print"})
        EXPECT_FALSE(Tool(key)->isEnabled()) << key;
    EXPECT_EQ(Tool("print")->toolTip(), QStringLiteral("Generates Schedule Page"));

    Choose(QStringLiteral("W1 Cup"));
    EXPECT_EQ(sCurDiv, QStringLiteral("W1"));
    EXPECT_EQ(Items(), (QStringList{"1 - Dover - Spring 200", "2 - Dover - Spring 200", "10 - Dover - "}));
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(lSelID, r1);
    for (const char* key : {"new", "edit", "delete", "print"})
        EXPECT_TRUE(Tool(key)->isEnabled()) << key;

    // An edit keeps the position; the editor sees the race and edit mode.
    list->setCurrentRow(2);
    EXPECT_EQ(lSelID, r10);
    qint64 seenId = 0;
    bool seenEdit = false;
    dlg::SetExecHook([&](QWidget* dialog) {
        auto* editor = qobject_cast<frmRaces*>(dialog);
        if (!editor)
            return 0;
        seenId = lSelID;
        seenEdit = bEditMode;
        editor->findChild<QLineEdit*>(QStringLiteral("txtFields(11)"))->setText(QStringLiteral("Night Race"));
        editor->findChild<QPushButton*>(QStringLiteral("cmdUpdate"))->click();
        return 1;
    });
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(list, &enter);
    EXPECT_TRUE(seenEdit);
    EXPECT_EQ(seenId, r10);
    EXPECT_EQ(list->currentRow(), 2);
    EXPECT_EQ(list->item(2)->text(), QStringLiteral("10 - Dover - Night Race"));

    // New: the editor adds a race of the chosen division.
    dlg::SetExecHook([&](QWidget* dialog) {
        auto* editor = qobject_cast<frmRaces*>(dialog);
        seenEdit = bEditMode;
        editor->findChild<QLineEdit*>(QStringLiteral("txtFields(2)"))->setText(QStringLiteral("3"));
        editor->findChild<QLineEdit*>(QStringLiteral("txtFields(3)"))->setText(QStringLiteral("Bristol"));
        editor->findChild<QPushButton*>(QStringLiteral("cmdUpdate"))->click();
        return 1;
    });
    Tool("new")->trigger();
    EXPECT_FALSE(seenEdit);
    EXPECT_EQ(Items().value(2), QStringLiteral("3 - Bristol - "));
    EXPECT_EQ(list->currentRow(), 2);

    // Another division with fewer races: the selection stays on a listed race.
    Choose(QStringLiteral("O'K Cup"));
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_NE(lSelID, 0);

    // A division without races: "new" and its (empty) schedule are offered.
    Choose(QStringLiteral("Z9 Cup"));
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(lSelID, 0);
    for (const char* key : {"new", "print", "mnuPrint"})
        EXPECT_TRUE(Tool(key)->isEnabled()) << key;
    for (const char* key : {"edit", "delete", "mnuEdit", "mnuDelete"})
        EXPECT_FALSE(Tool(key)->isEnabled()) << key;
    EXPECT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();
}

TEST_F(ListRacesTest, DeleteAsksTwiceAndTakesTheRaceRows)
{
    Open();
    Choose(QStringLiteral("W1 Cup"));
    list->setCurrentRow(1);   // race 2

    msgs->answer(dlg::vbNo);
    Tool("delete")->trigger();
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(msgs->calls()[0].title, QStringLiteral("Verify"));
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(list->currentRow(), 1);

    msgs->clear();
    msgs->answer(dlg::vbYes);
    msgs->answer(dlg::vbNo);
    Tool("delete")->trigger();
    ASSERT_EQ(msgs->calls().size(), 2u);
    EXPECT_EQ(msgs->calls()[1].prompt,
              QStringLiteral("The deletion of a Race will erase all related Race data. Are you sure to proceed?"));
    EXPECT_EQ(msgs->calls()[1].title, QStringLiteral("Warning"));
    EXPECT_EQ(msgs->calls()[1].flags & dlg::vbCritical, dlg::vbCritical);
    EXPECT_EQ(Count(QStringLiteral("Score"), r2), 1);

    msgs->clear();
    msgs->answer(dlg::vbYes);
    msgs->answer(dlg::vbYes);
    Tool("delete")->trigger();
    EXPECT_EQ(Items(), (QStringList{"1 - Dover - Spring 200", "10 - Dover - "}));
    EXPECT_EQ(dbMain->scalar(QStringLiteral("SELECT COUNT(*) FROM Races WHERE ID = ") + QString::number(r2)).toInt(), 0);
    for (const char* t : {"Score", "Qualify", "Penalties"}) {
        EXPECT_EQ(Count(QString::fromLatin1(t), r2), 0) << t;
        EXPECT_EQ(Count(QString::fromLatin1(t), r1), 1) << t;
    }

    // Deleting the last entry leaves a listed race selected.
    list->setCurrentRow(1);
    msgs->answer(dlg::vbYes);
    msgs->answer(dlg::vbYes);
    Tool("delete")->trigger();
    EXPECT_EQ(Items(), (QStringList{"1 - Dover - Spring 200"}));
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(lSelID, r1);
}

TEST_F(ListRacesTest, RacesWithLongIdsAreEditedAndDeleted)
{
    const qint64 big = 1000000000000001, huge = 9007199254740993;   // 10^15 + 1, 2^53 + 1
    for (qint64 id : {big, huge})
        dbMain->execute(QStringLiteral("INSERT INTO Races (ID, Division, RaceNo, Venue, Flags, Flagsq, Changes, Leader, Purse) "
                                       "VALUES (?, 'Z9', ?, 'Far', 0, 0, 0, 0, 0)"),
                        {id, id == big ? 1 : 2});
    Open();
    Choose(QStringLiteral("Z9 Cup"));
    list->setCurrentRow(1);
    dlg::SetExecHook([&](QWidget* dialog) {
        EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("txtFields(3)"))->text(), QStringLiteral("Far"));
        dialog->findChild<QLineEdit*>(QStringLiteral("txtFields(11)"))->setText(QStringLiteral("Long"));
        dialog->findChild<QPushButton*>(QStringLiteral("cmdUpdate"))->click();
        return 1;
    });
    Tool("edit")->trigger();
    EXPECT_EQ(dbMain->openRecordset(QStringLiteral("SELECT RaceName FROM Races WHERE ID = ?"), {huge})->text(QStringLiteral("RaceName")),
              QStringLiteral("Long"));

    for (int i = 0; i < 2; ++i)
        msgs->answer(dlg::vbYes);
    Tool("delete")->trigger();
    EXPECT_EQ(Items(), (QStringList{"1 - Far - "}));
    EXPECT_FALSE(msgs->saw(QStringLiteral("not deleted")));

    // Gone behind the list's back: the delete that removes nothing says so.
    dbMain->execute(QStringLiteral("DELETE FROM Races WHERE ID = ?"), {big});
    msgs->clear();
    for (int i = 0; i < 2; ++i)
        msgs->answer(dlg::vbYes);
    Tool("delete")->trigger();
    ASSERT_EQ(msgs->calls().size(), 3u);
    EXPECT_TRUE(msgs->last().contains(QStringLiteral("not deleted"))) << msgs->last().toStdString();

    // A long id written through a recordset field stays whole.
    auto rs = dbMain->openRecordset(QStringLiteral("Races"));
    rs->addNew();
    rs->setField(QStringLiteral("ID"), huge + 2);
    rs->setField(QStringLiteral("TrackID"), QString::number(huge + 4));
    rs->update();
    EXPECT_EQ(dbMain->scalar(QStringLiteral("SELECT TrackID FROM Races WHERE ID = ") + QString::number(huge + 2)).toLongLong(),
              huge + 4);
    EXPECT_EQ(dbMain->openRecordset(QStringLiteral("SELECT CStr(TrackID) AS T FROM Races WHERE ID = ?"), {huge + 2})
                  ->integer(QStringLiteral("T")),
              huge + 4);
}

TEST_F(ListRacesTest, TheScheduleOfADivisionWithoutRacesCanBeRewritten)
{
    Open();
    Choose(QStringLiteral("O'K Cup"));
    Tool("print")->trigger();
    ASSERT_TRUE(QFile::exists(program->file(QStringLiteral("TXT/O'K_schedule.htm"))));
    msgs->clear();
    msgs->answer(dlg::vbYes);
    msgs->answer(dlg::vbYes);
    Tool("delete")->trigger();
    EXPECT_EQ(list->count(), 0);
    // Right after the delete, and the same once the list has the focus.
    for (int focused = 0; focused < 2; ++focused) {
        for (const char* key : {"edit", "delete", "mnuEdit", "mnuDelete"})
            EXPECT_FALSE(Tool(key)->isEnabled()) << key << focused;
        for (const char* key : {"new", "print", "mnuPrint"})
            EXPECT_TRUE(Tool(key)->isEnabled()) << key << focused;
        QFocusEvent focus(QEvent::FocusIn);
        QApplication::sendEvent(list, &focus);
    }

    Tool("mnuPrint")->trigger();
    EXPECT_EQ(msgs->last(), QStringLiteral("Schedule has been generated!"));
    QFile page(program->file(QStringLiteral("TXT/O'K_schedule.htm")));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QByteArray html = page.readAll();
    EXPECT_TRUE(html.contains("O&#39;K Cup Schedule")) << html.constData();
    EXPECT_FALSE(html.contains("Dover"));
}

TEST_F(ListRacesTest, PrintPublishesEveryResultPageThenTheSchedule)
{
    Open();
    Choose(QStringLiteral("W1 Cup"));
    Tool("print")->trigger();
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(msgs->last(), QStringLiteral("Schedule has been generated!"));
    for (const char* f : {"HTML/W1_schedule.htm", "HTML/001W1_result.htm", "HTML/002W1_result.htm", "HTML/010W1_result.htm",
                          "TXT/W1_schedule.htm", "TXT/010W1_Result.htm"})
        EXPECT_TRUE(QFile::exists(program->file(QString::fromLatin1(f)))) << f;

    // Result pages that cannot be written are named; the schedule itself
    // is still written and not said to have failed.
    QFile::remove(program->file(QStringLiteral("HTML/temp_result.htm")));
    QFile::remove(program->file(QStringLiteral("HTML/W1_schedule.htm")));
    msgs->clear();
    Tool("print")->trigger();
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_FALSE(msgs->saw(QStringLiteral("Schedule has been generated!")));
    EXPECT_TRUE(msgs->last().contains(QStringLiteral("race 10"))) << msgs->last().toStdString();
    EXPECT_FALSE(msgs->last().contains(QStringLiteral("schedule:"))) << msgs->last().toStdString();
    EXPECT_FALSE(msgs->last().contains(QStringLiteral("schedule was not"))) << msgs->last().toStdString();
    EXPECT_TRUE(QFile::exists(program->file(QStringLiteral("HTML/W1_schedule.htm"))));

    // A missing schedule template: no success message, the reason instead.
    QFile::remove(program->file(QStringLiteral("HTML/temp_schedule.htm")));
    msgs->clear();
    Tool("print")->trigger();
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_FALSE(msgs->saw(QStringLiteral("Schedule has been generated!")));
    EXPECT_TRUE(msgs->last().contains(QStringLiteral("temp_schedule.htm"))) << msgs->last().toStdString();
    EXPECT_EQ(msgs->calls()[0].flags & dlg::vbCritical, dlg::vbCritical);
}

TEST_F(ListRacesTest, MouseClickSelectsTheRaceForEveryCommand)
{
    Open();
    Choose(QStringLiteral("W1 Cup"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    EXPECT_EQ(lSelID, r10);
    for (const char* key : {"edit", "delete", "mnuEdit", "mnuDelete"})
        EXPECT_TRUE(Tool(key)->isEnabled()) << key;
    qint64 edited = 0;
    dlg::SetExecHook([&](QWidget*) {
        edited = lSelID;
        return 0;
    });
    Tool("edit")->trigger();
    EXPECT_EQ(edited, r10);
}

TEST_F(ListRacesTest, MainMenuAndDropDownOpenTheList)
{
    auto main = std::make_unique<frmMainMenu>();
    main->show();
    for (const char* name : {"mnuRaces", "ddRaces"}) {
        auto* action = main->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        ASSERT_TRUE(action->isEnabled()) << name;
        action->trigger();
        QApplication::processEvents();
        EXPECT_NE(FindLoadedForm(QStringLiteral("frmListRaces")), nullptr) << name;
        EXPECT_EQ(LoadedFormCount(), 1) << name;
    }
    UnloadAllForms();
    QApplication::processEvents();
}
