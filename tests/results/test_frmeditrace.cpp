// The result line editor and the driver replacement, driven from the race
// result window's results grid and "&Add Prov.".
#include "EditingFixture.h"
#include "WindowDialogs.h"

#include <QComboBox>

using namespace raceresult;

namespace {

class EditRaceTest : public EditingTest {
protected:
    void SetUp() override
    {
        EditingTest::SetUp();
        dee = AddDriver(QStringLiteral("dee"), QStringLiteral("Dee D'Arcy"), QStringLiteral("21"));
        dbMain->execute(QStringLiteral("UPDATE Drivers SET Brand = 'Toyota' WHERE DriverID = ?"), {dee});
        green = AddTeam(QStringLiteral("D1"), QStringLiteral("Green"), {dee});
        zed = AddDriver(QStringLiteral("zed_online"), QStringLiteral("  "));   // blank name
    }
    static QComboBox* Combo(QWidget& d, const char* name) { return d.findChild<QComboBox*>(QString::fromLatin1(name)); }
    static QStringList Items(QComboBox* c)
    {
        QStringList items;
        for (int i = 0; i < c->count(); ++i)
            items << c->itemText(i);
        return items;
    }
    qint64 dee = 0, green = 0, zed = 0;
};

} // namespace

TEST_F(EditRaceTest, EditingALineStoresItRefreshesTheMakeAndTheGrid)
{
    QStringList shown;
    QString tip;
    onEditRace = [&](frmEditRace& d) {
        for (int i : {0, 7, 2, 3, 4, 5})
            shown << Text1(d, i)->text();
        EXPECT_TRUE(Text1(d, 0)->isReadOnly());
        EXPECT_TRUE(Text1(d, 7)->isReadOnly());
        EXPECT_FALSE(Combo(d, "Driver")->isVisible());
        EXPECT_TRUE(Button(d, "Command1")->isVisible());
        // Tab order: position, driver, laps, led, points, finish, buttons.
        QStringList order;
        for (QWidget* f = Text1(d, 0); order.size() < 8; f = f->nextInFocusChain())
            if (f->isVisible() && (f->focusPolicy() & Qt::TabFocus))
                order << f->objectName();
        EXPECT_EQ(order, (QStringList{"Text1(0)", "Text1(7)", "Text1(2)", "Text1(3)", "Text1(4)", "Text1(5)", "Command2", "cmdUpdate"}));
        Text1(d, 2)->setText(QStringLiteral(" 190 "));
        Text1(d, 5)->setText(QStringLiteral("Crash (O'Neil's) \u00e9"));
        Button(d, "cmdUpdate")->click();
    };
    DoubleClick(1, 2);
    EXPECT_EQ(shown, (QStringList{"2", "bob_online", "200", "50", "175", "Running"}));   // no Name: his online id
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(Line(2, "Laps").toInt(), 190);
    EXPECT_EQ(Line(2, "Finish").toString(), QStringLiteral("Crash (O'Neil's) \u00e9"));
    EXPECT_EQ(Line(2, "Brand").toString(), QStringLiteral("Ford"));   // the driver's make now
    EXPECT_EQ(Line(2, "Team").toLongLong(), red);                      // untouched
    EXPECT_EQ(Line(2, "Points").toInt(), 175);
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_EQ(rt::Mid(w->Grid(1)->TextMatrix(2, 0), 56, 3), QStringLiteral("190"));
    EXPECT_EQ(rt::Mid(w->Grid(1)->TextMatrix(2, 0), 34, 10), QStringLiteral("Ford      "));

    // Nothing changed: nothing stored, the window still reloads.
    dbMain->execute(QStringLiteral("UPDATE Score SET Brand = 'Dodge' WHERE RaceID = 40000 AND Posi = 2"));
    w->Grid(1)->setTextMatrix(2, 0, QStringLiteral("stale"));
    onEditRace = [&](frmEditRace& d) { Button(d, "cmdUpdate")->click(); };
    DoubleClick(1, 2);
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(Line(2, "Brand").toString(), QStringLiteral("Dodge"));
    EXPECT_TRUE(w->Grid(1)->TextMatrix(2, 0).startsWith(QStringLiteral("2   # 12  bob_online")));
}

TEST_F(EditRaceTest, BadValuesAreRefusedAndNothingIsStored)
{
    struct Case {
        int box;
        QString text;
        QString message;
    };
    const Case cases[] = {
        {4, QStringLiteral(""), QStringLiteral("Error: Must enter Points")},
        {2, QStringLiteral("abc"), QStringLiteral("Error: Field Laps: must be numeric!")},
        {3, QStringLiteral("1e3"), QStringLiteral("Error: Field Led: must be numeric!")},
        {4, QStringLiteral("12.5"), QStringLiteral("Error: Field Points: must be numeric!")},
        {4, QStringLiteral("99999999999"), QStringLiteral("Error: Field Points: must be numeric!")},
        {5, QStringLiteral("  "), QStringLiteral("Error: Must enter Finish")},
    };
    for (const Case& c : cases) {
        msgs->clear();
        onEditRace = [&](frmEditRace& d) {
            Text1(d, c.box)->setText(c.text);
            Button(d, "cmdUpdate")->click();
            EXPECT_TRUE(d.isVisible());
            msgs->answer(dlg::vbYes);   // leave without saving
            Button(d, "cmdCancel")->click();
        };
        DoubleClick(1, 1);
        ASSERT_GE(msgs->calls().size(), 1u);
        EXPECT_EQ(msgs->calls()[0].prompt, c.message);
        EXPECT_EQ(msgs->calls()[0].title, QStringLiteral("Edit Race Result"));
        EXPECT_EQ(msgs->calls()[0].flags, dlg::vbCritical);
        EXPECT_EQ(Line(1, "Laps").toInt(), 200);
        EXPECT_EQ(Line(1, "Lead").toInt(), 150);
        EXPECT_EQ(Line(1, "Points").toInt(), 185);
        EXPECT_EQ(Line(1, "Finish").toString(), QStringLiteral("Running"));
    }

    // Blank laps and laps led are stored as 0.
    onEditRace = [&](frmEditRace& d) {
        Text1(d, 2)->setText(QString());
        Text1(d, 3)->setText(QStringLiteral(" "));
        Button(d, "cmdUpdate")->click();
    };
    DoubleClick(1, 1);
    EXPECT_EQ(Line(1, "Laps").toInt(), 0);
    EXPECT_EQ(Line(1, "Lead").toInt(), 0);
}

TEST_F(EditRaceTest, CancelAndEscapeAskOnlyAfterAChangeAndStoreNothing)
{
    // Unchanged: closes without a question and without a reload.
    w->Grid(1)->setTextMatrix(1, 0, QStringLiteral("kept"));
    onEditRace = [&](frmEditRace& d) { Button(d, "cmdCancel")->click(); };
    DoubleClick(1, 1);
    EXPECT_FALSE(stillOpen);
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_EQ(w->Grid(1)->TextMatrix(1, 0), QStringLiteral("kept"));

    // Changed: No keeps it open, Yes (here by Esc in a box) leaves.
    onEditRace = [&](frmEditRace& d) {
        Text1(d, 4)->setText(QStringLiteral("1"));
        msgs->answer(dlg::vbNo);
        Button(d, "cmdCancel")->click();
        EXPECT_TRUE(d.isVisible());
        msgs->answer(dlg::vbYes);
        PressEscape(Text1(d, 4));
        EXPECT_FALSE(d.isVisible());
    };
    DoubleClick(1, 1);
    ASSERT_EQ(msgs->calls().size(), 2u);
    EXPECT_EQ(msgs->calls()[0].prompt, QStringLiteral("All changes will be lost, do you want to continue"));
    EXPECT_EQ(msgs->calls()[0].title, QStringLiteral("Verify"));
    EXPECT_EQ(msgs->calls()[0].flags, 292);
    EXPECT_EQ(Line(1, "Points").toInt(), 185);

    // Blanks around a value are no change.
    msgs->clear();
    onEditRace = [&](frmEditRace& d) {
        Text1(d, 4)->setText(QStringLiteral(" 185  "));
        PressEscape(Text1(d, 5));
    };
    DoubleClick(1, 1);
    EXPECT_FALSE(stillOpen);
    EXPECT_TRUE(msgs->calls().empty());
}

TEST_F(EditRaceTest, AddProvAddsAStarterAfterTheLastLineWithAQualifyingRow)
{
    ASSERT_TRUE(EditingTest::Button(*w, "commAddProv")->isEnabled());
    QStringList drivers;
    onEditRace = [&](frmEditRace& d) {
        EXPECT_EQ(Text1(d, 0)->text(), QStringLiteral("11"));
        EXPECT_EQ(Text1(d, 5)->text(), QStringLiteral("Provisional"));
        EXPECT_FALSE(Text1(d, 7)->isVisible());
        EXPECT_FALSE(Button(d, "Command2")->isEnabled());
        // Nothing to delete behind a new line.
        EXPECT_FALSE(Button(d, "Command1")->isVisible());
        EXPECT_FALSE(Button(d, "Command1")->isEnabled());
        QComboBox* list = Combo(d, "Driver");
        drivers = Items(list);
        EXPECT_EQ(list->currentIndex(), -1);
        Button(d, "cmdUpdate")->click();
        EXPECT_EQ(msgs->last(), QStringLiteral("Error: Must enter Driver"));
        EXPECT_TRUE(d.isVisible());
        // Even untouched, leaving a new line asks.
        Button(d, "cmdCancel")->click();
        EXPECT_TRUE(d.isVisible());
        list->setCurrentIndex(int(drivers.indexOf(QStringLiteral("Dee D'Arcy"))));
        Button(d, "cmdUpdate")->click();
    };
    EditingTest::Button(*w, "commAddProv")->click();
    EXPECT_EQ(drivers, (QStringList{"Dee D'Arcy", "zed_online"}));   // only drivers without a line, by shown name
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(msgs->calls()[1].prompt, QStringLiteral("All changes will be lost, do you want to continue"));

    auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM Score WHERE RaceID = 40000 AND Posi = 11"));
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->integer(QStringLiteral("DriverID")), dee);
    EXPECT_EQ(rs->text(QStringLiteral("Division")), QStringLiteral("D1"));
    EXPECT_EQ(rs->text(QStringLiteral("Interval")), QStringLiteral(" "));
    EXPECT_EQ(rs->integer(QStringLiteral("Laps")), 0);
    EXPECT_EQ(rs->integer(QStringLiteral("Points")), 0);
    EXPECT_EQ(rs->text(QStringLiteral("Finish")), QStringLiteral("Provisional"));
    EXPECT_EQ(rs->text(QStringLiteral("Brand")), QStringLiteral("Toyota"));
    EXPECT_TRUE(rs->isNull(QStringLiteral("Team")));
    EXPECT_TRUE(rs->isNull(QStringLiteral("Earnings")));
    auto q = dbMain->openRecordset(QStringLiteral("SELECT * FROM Qualify WHERE RaceID = 40000 AND DriverID = ?"), {dee});
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->integer(QStringLiteral("Pos")), 11);
    EXPECT_EQ(rt::Val(q->text(QStringLiteral("Time"))), 0);
    EXPECT_EQ(rt::Val(q->text(QStringLiteral("Speed"))), 0);

    EXPECT_TRUE(w->Grid(1)->TextMatrix(5, 0).startsWith(QStringLiteral("11  # 21  Dee D'Arcy")));
    EXPECT_EQ(w->Grid(2)->TextMatrix(5, 0).mid(30, 7), QStringLiteral("  Prov."));
    EXPECT_EQ(w->LastPos, 11);
}

TEST_F(EditRaceTest, ReplacingTheDriverMovesTheLineAndHisQualifyingRow)
{
    QStringList offered;
    onChange = [&](frmChangeDriver& c) {
        EXPECT_EQ(c.findChild<QLineEdit*>(QStringLiteral("Text1"))->text(), QStringLiteral("bob_online"));
        QComboBox* list = Combo(c, "Combo1");
        offered = Items(list);
        Button(c, "cmdUpdate")->click();   // "<select>"
        EXPECT_EQ(msgs->last(), QStringLiteral("Error: Must enter new Driver"));
        EXPECT_EQ(msgs->calls().back().title, QStringLiteral("Edit Race Result"));
        EXPECT_TRUE(c.isVisible());
        list->setCurrentIndex(1);
        Button(c, "cmdUpdate")->click();
    };
    QString nameShown;
    onEditRace = [&](frmEditRace& d) {
        Button(d, "Command2")->click();
        nameShown = Text1(d, 7)->text();
        Button(d, "cmdUpdate")->click();
    };
    DoubleClick(1, 2);
    EXPECT_EQ(offered, (QStringList{"<select>", "Dee D'Arcy", "zed_online"}));
    EXPECT_EQ(nameShown, QStringLiteral("Dee D'Arcy"));
    EXPECT_EQ(Line(2, "DriverID").toLongLong(), dee);
    EXPECT_EQ(Line(2, "Team").toLongLong(), green);
    EXPECT_EQ(Line(2, "Brand").toString(), QStringLiteral("Toyota"));
    EXPECT_EQ(Line(2, "Points").toInt(), 175);
    EXPECT_EQ(Line(2, "Laps").toInt(), 200);
    EXPECT_EQ(Value(QStringLiteral("SELECT DriverID FROM Qualify WHERE RaceID = 40000 AND Pos = 1")).toLongLong(), dee);
    EXPECT_EQ(Count(QStringLiteral("Qualify WHERE DriverID = ") + QString::number(bob)), 0);
    EXPECT_TRUE(w->Grid(1)->TextMatrix(2, 0).startsWith(QStringLiteral("2   # 21  Dee D'Arcy")));

    // Replaced, then cancelled: asks, stores nothing. Cancelling the
    // replacement dialog itself changes nothing.
    msgs->clear();
    onChange = [&](frmChangeDriver& c) {
        Combo(c, "Combo1")->setCurrentIndex(1);
        PressEscape(Combo(c, "Combo1"));
    };
    onEditRace = [&](frmEditRace& d) {
        Button(d, "Command2")->click();
        EXPECT_EQ(Text1(d, 1)->text(), QString::number(ann));
        onChange = [&](frmChangeDriver& c) {
            Combo(c, "Combo1")->setCurrentIndex(int(Items(Combo(c, "Combo1")).indexOf(QStringLiteral("zed_online"))));
            Button(c, "cmdUpdate")->click();
        };
        Button(d, "Command2")->click();
        EXPECT_EQ(Text1(d, 7)->text(), QStringLiteral("zed_online"));
        msgs->answer(dlg::vbYes);
        Button(d, "cmdCancel")->click();
    };
    DoubleClick(1, 1);
    EXPECT_TRUE(msgs->saw(QStringLiteral("All changes will be lost, do you want to continue")));
    EXPECT_EQ(Line(1, "DriverID").toLongLong(), ann);
    EXPECT_EQ(Count(QStringLiteral("Qualify WHERE DriverID = ") + QString::number(zed)), 0);

    // A line whose driver has no qualifying row is still re-assigned.
    dbMain->execute(QStringLiteral("DELETE FROM Qualify WHERE DriverID = 99"));
    onChange = [&](frmChangeDriver& c) {
        Combo(c, "Combo1")->setCurrentIndex(int(Items(Combo(c, "Combo1")).indexOf(QStringLiteral("zed_online"))));
        Button(c, "cmdUpdate")->click();
    };
    onEditRace = [&](frmEditRace& d) {
        EXPECT_EQ(Text1(d, 7)->text(), QStringLiteral("DRIVER NOT FOUND"));
        Button(d, "Command2")->click();
        Button(d, "cmdUpdate")->click();
    };
    msgs->clear();
    DoubleClick(1, 3);
    EXPECT_FALSE(stillOpen);
    EXPECT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();
    EXPECT_EQ(Line(3, "DriverID").toLongLong(), zed);
    EXPECT_EQ(Line(3, "Team").toLongLong(), 0);

    // With every driver in the race only "<select>" is left.
    offered.clear();
    onChange = [&](frmChangeDriver& c) {
        offered = Items(Combo(c, "Combo1"));
        Button(c, "cmdCancel")->click();
    };
    dbMain->execute(QStringLiteral("DELETE FROM Drivers WHERE DriverID NOT IN (SELECT DriverID FROM Score WHERE RaceID = 40000)"));
    onEditRace = [&](frmEditRace& d) {
        Button(d, "Command2")->click();
        Button(d, "cmdCancel")->click();
    };
    DoubleClick(1, 1);
    EXPECT_EQ(offered, QStringList{"<select>"});
}

TEST_F(EditRaceTest, DeleteTakesTheLineItsQualifyingRowPenaltyAndDamage)
{
    exec("INSERT INTO Damage (Division, RaceID, Posi, Bodywork, Engine, Other) VALUES ('D1', 40000, 2, 10, 20, 30)");
    exec("INSERT INTO Damage (Division, RaceID, Posi, Bodywork, Engine, Other) VALUES ('D1', 40000, 3, 1, 2, 3)");
    onEditRace = [&](frmEditRace& d) {
        msgs->answer(dlg::vbNo);
        Button(d, "Command1")->click();
        EXPECT_TRUE(d.isVisible());
        // A replacement picked but not saved: the stored driver goes.
        Text1(d, 1)->setText(QString::number(dee));
        msgs->answer(dlg::vbYes);
        Button(d, "Command1")->click();
    };
    DoubleClick(1, 2);
    ASSERT_EQ(msgs->calls().size(), 2u);
    EXPECT_EQ(msgs->calls()[0].prompt,
              QStringLiteral("Are you sure you want to delete this line?\rRemember the race will not be re-areanged!"));
    EXPECT_EQ(msgs->calls()[0].flags, 276);
    EXPECT_EQ(msgs->calls()[0].title, QStringLiteral("Verify"));
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(Count(QStringLiteral("Score WHERE RaceID = 40000 AND Posi = 2")), 0);
    EXPECT_EQ(Count(QStringLiteral("Qualify WHERE DriverID = ") + QString::number(bob)), 0);
    EXPECT_EQ(Count(QStringLiteral("Penalties WHERE RaceID = 40000 AND Posi = 2")), 0);
    EXPECT_EQ(Count(QStringLiteral("Damage WHERE RaceID = 40000 AND Posi = 2")), 0);
    EXPECT_EQ(Count(QStringLiteral("Damage WHERE RaceID = 40000")), 1);
    EXPECT_EQ(Count(QStringLiteral("Penalties WHERE RaceID = 40000")), 1);
    // Positions are not renumbered; the grids show the gap.
    EXPECT_EQ(Line(3, "DriverID").toLongLong(), 99);
    EXPECT_TRUE(w->Grid(1)->TextMatrix(2, 0).startsWith(QStringLiteral("3 ")));
    EXPECT_TRUE(w->Grid(9)->TextMatrix(2, 0).startsWith(QStringLiteral("3 ")));

    // A race emptied by deletes proposes position 1 for a new line.
    onEditRace = [&](frmEditRace& d) {
        msgs->answer(dlg::vbYes);
        Button(d, "Command1")->click();
    };
    for (int i = 0; i < 3; ++i)
        DoubleClick(1, 1);
    EXPECT_EQ(Count(QStringLiteral("Score WHERE RaceID = 40000")), 0);
    EXPECT_EQ(w->ShownRace(), kRaceId);
    QString proposed;
    onEditRace = [&](frmEditRace& d) {
        proposed = Text1(d, 0)->text();
        msgs->answer(dlg::vbYes);
        Button(d, "cmdCancel")->click();
    };
    EditingTest::Button(*w, "commAddProv")->click();
    EXPECT_EQ(proposed, QStringLiteral("1"));
}

TEST_F(EditRaceTest, ADatabaseErrorRollsBackAndKeepsTheDialogOpen)
{
    FailOn("INSERT", "Qualify");
    onEditRace = [&](frmEditRace& d) {
        Combo(d, "Driver")->setCurrentIndex(0);
        Button(d, "cmdUpdate")->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(msgs->last().contains(QStringLiteral("disk I/O trouble"))) << msgs->last().toStdString();
        StopFailing();
        Button(d, "cmdUpdate")->click();   // the user's values are still there
    };
    EditingTest::Button(*w, "commAddProv")->click();
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(Count(QStringLiteral("Score WHERE RaceID = 40000 AND Posi = 11")), 1);
    EXPECT_EQ(Count(QStringLiteral("Qualify WHERE RaceID = 40000 AND Pos = 11")), 1);

    // Delete: the qualifying row comes back with the line.
    FailOn("DELETE", "Penalties");
    onEditRace = [&](frmEditRace& d) {
        msgs->answer(dlg::vbYes);
        Button(d, "Command1")->click();
        EXPECT_TRUE(d.isVisible());
        StopFailing();
        Button(d, "cmdCancel")->click();
    };
    DoubleClick(1, 2);
    EXPECT_EQ(Count(QStringLiteral("Score WHERE RaceID = 40000 AND Posi = 2")), 1);
    EXPECT_EQ(Count(QStringLiteral("Qualify WHERE DriverID = ") + QString::number(bob)), 1);
}

TEST_F(EditRaceTest, ALineGoneSinceTheGridWasFilledClosesTheEditorAtOnce)
{
    exec("DELETE FROM Score WHERE Posi = 3");
    bool scripted = false;
    onEditRace = [&](frmEditRace&) { scripted = true; };
    DoubleClick(1, 3);
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(scripted);
    EXPECT_TRUE(msgs->calls().empty());

    // Through exec the dialog is not even shown.
    dlg::SetExecHook({});
    frmEditRace d(w.get());
    d.setLine(kRaceId, 3);
    bEditMode = true;
    EXPECT_EQ(d.exec(), QDialog::Rejected);
}

TEST_F(EditRaceTest, TabbingIntoABoxLeavesItsTextUnselected)
{
    bool selected = true;
    onEditRace = [&](frmEditRace& d) {
        d.activateWindow();
        Text1(d, 7)->setFocus();
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(Text1(d, 7), &tab);
        QApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), Text1(d, 2));
        selected = Text1(d, 2)->hasSelectedText();
        Button(d, "cmdCancel")->click();
    };
    DoubleClick(1, 1);
    EXPECT_FALSE(selected);
}

// The race result window cannot be refreshed after the change is stored.
TEST_F(EditRaceTest, AFailedRefreshSaysTheChangeWasSaved)
{
    auto savedButNotShown = [&](const char* what) {
        EXPECT_FALSE(stillOpen) << what;
        EXPECT_TRUE(msgs->last().contains(QStringLiteral("saved")) && msgs->last().contains(QStringLiteral("disk I/O trouble")))
            << what << ": " << msgs->last().toStdString();
    };
    FailOnRead("Tracks");
    onEditRace = [&](frmEditRace& d) {
        Text1(d, 2)->setText(QStringLiteral("150"));
        Button(d, "cmdUpdate")->click();
    };
    DoubleClick(1, 2);
    EXPECT_EQ(Line(2, "Laps").toInt(), 150);
    savedButNotShown("edit");

    onIncident = [&](frmEditIncident& d) {
        Text1(d, 2)->setText(QStringLiteral("-4"));
        Button(d, "cmdUpdate")->click();
    };
    DoubleClick(9, 2);
    EXPECT_EQ(dbMain->scalar(QStringLiteral("SELECT Points FROM Penalties WHERE RaceID = 40000 AND Posi = 2")).toInt(), -4);
    savedButNotShown("penalty");

    onEditRace = [&](frmEditRace& d) {
        msgs->answer(dlg::vbYes);
        Button(d, "Command1")->click();
    };
    DoubleClick(1, 2);
    EXPECT_EQ(Count(QStringLiteral("Score WHERE RaceID = 40000 AND Posi = 2")), 0);
    savedButNotShown("delete");
}
