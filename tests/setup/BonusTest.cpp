// The bonus list and editor: amounts read as money, one per driver and
// division, and paid by the race data editor's bonus calculation.

#include "SetupWindows.h"

#include "MaskEdBox.h"
#include "frmRaces.h"

#include <sqlite3.h>

namespace setupwindows {
namespace {

class BonusTest : public SetupWindowsTest {
protected:
    void SetUp() override
    {
        SetupWindowsTest::SetUp();
        list = open("frmListBonus");
    }
    void TearDown() override
    {
        list.reset();
        SetupWindowsTest::TearDown();
    }
    static MaskEdBox* amount(QWidget* d) { return d->findChild<MaskEdBox*>(QStringLiteral("MaskEdBox1")); }
    // New amount: the driver (none when empty) and the amount as typed.
    Script enter(const QString& driver, const QString& text)
    {
        return [driver, text](QDialog* d) {
            if (!driver.isEmpty())
                pick(d, "DBCombo2", driver);
            amount(d)->setText(text);
            ok(d);
        };
    }
    std::unique_ptr<QWidget> list;
};

// New amounts: a driver and a money amount are needed; "$1,000.00" and
// "($12.00)" are amounts, other texts are refused and nothing is stored.
TEST_F(BonusTest, NewAmountsAreCheckedAndListed)
{
    EXPECT_EQ(list->windowTitle(), "List of Bonus Earnings");
    EXPECT_EQ(actions(list.get()), QList<bool>({false, false, false, false, false, false}));
    choose(list.get(), "D1 Cup");
    EXPECT_EQ(rows(list.get()), QStringList({"|"}));
    EXPECT_EQ(actions(list.get()), QList<bool>({true, false, false, true, false, false}));

    run(list.get(), "new", enter(QString(), "100"));
    EXPECT_EQ(lastResult, kStillOpen);
    EXPECT_EQ(msgs->last(), "A Driver must be selected!");
    EXPECT_EQ(msgs->calls().back().flags, dlg::vbCritical);
    for (const char* bad : {"", "abc", "12,34", "1e5", "100; DELETE FROM Drivers", "$", "1,000.5,5"}) {
        msgs->clear();
        run(list.get(), "new", enter("Ann Able", QString::fromLatin1(bad)));
        EXPECT_EQ(lastResult, kStillOpen) << bad;
        EXPECT_TRUE(msgs->last().startsWith("Bonus must be an amount")) << msgs->last().toStdString();
        EXPECT_EQ(msgs->calls().back().flags, dlg::vbCritical);
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Bonus"), 0);

    run(list.get(), "new", [](QDialog* d) {
        // Every driver, one without a name by his online id.
        EXPECT_EQ(comboItems(d, "DBCombo2"), QStringList({"Ann Able", "bob_online", "Cid Cole"}));
        EXPECT_TRUE(d->findChild<QComboBox*>("DBCombo2")->isEnabled());
        pick(d, "DBCombo2", "Cid Cole");
        amount(d)->setText("$1,000.00");
        ok(d);
    });
    run(list.get(), "new", enter("bob_online", "($12.00)"));
    run(list.get(), "new", enter("Ann Able", " 250.5 "));
    EXPECT_EQ(rows(list.get()), QStringList({"Ann Able|250.5", "bob_online|-12", "Cid Cole|1000"}));
    EXPECT_EQ(column("SELECT DivID FROM Bonus").join(','), "D1,D1,D1");
    EXPECT_EQ(actions(list.get()), QList<bool>({true, true, true, true, true, true}));

    // A second amount for the same driver and division is refused; another division takes one.
    msgs->clear();
    run(list.get(), "new", enter("Cid Cole", "5"));
    EXPECT_EQ(lastResult, kStillOpen);
    EXPECT_TRUE(msgs->last().contains("already has a bonus amount")) << msgs->last().toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM Bonus WHERE DriverID = " + QString::number(cid)), 1);
    choose(list.get(), "E2 Series");
    run(list.get(), "new", enter("Cid Cole", "5"));
    EXPECT_EQ(rows(list.get()), QStringList({"Cid Cole|5"}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM Bonus WHERE DriverID = " + QString::number(cid)), 2);
}

// Edit shows the amount as money and the driver fixed; an unchanged amount
// writes nothing; Cancel and Esc keep what is stored; Delete asks.
TEST_F(BonusTest, EditCancelAndDelete)
{
    exec("INSERT INTO Bonus (DivID, DriverID, Bonus) VALUES ('D1', " + QString::number(ann) + ", 1250)");
    exec("INSERT INTO Bonus (DivID, DriverID, Bonus) VALUES ('D1', " + QString::number(cid) + ", -40)");
    choose(list.get(), "D1 Cup");
    EXPECT_EQ(rows(list.get()), QStringList({"Ann Able|1250", "Cid Cole|-40"}));

    // Nothing changed, or only blanks: no statement (a locked table would say so).
    ASSERT_EQ(sqlite3_exec(dbMain->handle(),
                           "CREATE TRIGGER NoBonusUpdate BEFORE UPDATE ON Bonus BEGIN "
                           "SELECT RAISE(ABORT, 'bonus rows are locked'); END;",
                           nullptr, nullptr, nullptr), SQLITE_OK);
    grid(list.get())->setCurrentCell(1, 0);
    run(list.get(), "edit", [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Bonus Earnings");
        EXPECT_EQ(d->findChild<QComboBox*>("DBCombo2")->currentText(), "Cid Cole");
        EXPECT_FALSE(d->findChild<QComboBox*>("DBCombo2")->isEnabled());
        EXPECT_EQ(amount(d)->text(), "($40.00)");
        EXPECT_EQ(amount(d)->Text(), "-40");
        amount(d)->setText(" -40 ");
        ok(d);
    });
    EXPECT_EQ(lastResult, QDialog::Accepted);
    EXPECT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();
    ASSERT_EQ(sqlite3_exec(dbMain->handle(), "DROP TRIGGER NoBonusUpdate", nullptr, nullptr, nullptr), SQLITE_OK);

    // Enter in the amount box runs OK.
    grid(list.get())->setCurrentCell(0, 0);
    run(list.get(), "edit", [](QDialog* d) {
        d->show();
        amount(d)->setText("$2,000.00");
        amount(d)->setFocus();
        pressKey(amount(d), Qt::Key_Return);
    });
    EXPECT_EQ(lastResult, QDialog::Accepted);
    EXPECT_EQ(rows(list.get()), QStringList({"Ann Able|2000", "Cid Cole|-40"}));

    // Cancel and Esc after a change ask; No stays, Yes leaves the amount.
    msgs->answer(dlg::vbNo);
    msgs->answer(dlg::vbYes);
    run(list.get(), "edit", [](QDialog* d) {
        amount(d)->setText("1");
        cancel(d);
        EXPECT_EQ(d->result(), kStillOpen);
        pressKey(amount(d), Qt::Key_Escape);
    });
    EXPECT_EQ(lastResult, QDialog::Rejected);
    EXPECT_EQ(msgs->calls().size(), 2u);
    EXPECT_EQ(msgs->last(), "All changes will be lost, do you want to continue");
    EXPECT_EQ(rows(list.get()), QStringList({"Ann Able|2000", "Cid Cole|-40"}));

    // A row deleted meanwhile is not edited.
    exec("DELETE FROM Bonus WHERE DriverID = " + QString::number(cid));
    grid(list.get())->setCurrentCell(1, 0);
    msgs->clear();
    run(list.get(), "edit");
    EXPECT_EQ(msgs->last(), "The selected record no longer exists.");
    EXPECT_EQ(rows(list.get()), QStringList({"Ann Able|2000"}));

    // Delete: No keeps it, Yes removes it; then the blank row deletes nothing.
    msgs->answer(dlg::vbNo);
    run(list.get(), "delete");
    EXPECT_EQ(rows(list.get()), QStringList({"Ann Able|2000"}));
    msgs->answer(dlg::vbYes);
    run(list.get(), "delete");
    EXPECT_EQ(rows(list.get()), QStringList({"|"}));
    EXPECT_EQ(actions(list.get()), QList<bool>({true, false, false, true, false, false}));
    msgs->clear();
    const int before = execs;
    tool(list.get(), "delete")->setEnabled(true);
    tool(list.get(), "edit")->setEnabled(true);
    run(list.get(), "delete");
    run(list.get(), "edit");
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_EQ(execs, before);
}

// An amount set here is paid by the race data editor's bonus calculation.
TEST_F(BonusTest, RaceDataEditorPaysTheAmount)
{
    auto saveWithPurse = [&](const QString& purse) {
        bEditMode = true;
        lSelID = raceresult::kRaceId;
        frmRaces editor;
        editor.findChild<QLineEdit*>("txtFields(12)")->setText(purse);
        ok(&editor);
        EXPECT_EQ(editor.result(), QDialog::Accepted) << msgs->last().toStdString();
        return dbMain->scalar("SELECT Bonus FROM Score WHERE RaceID = 40000 AND DriverID = " + QString::number(ann)).toDouble();
    };
    const double without = saveWithPurse("10000");

    choose(list.get(), "D1 Cup");
    run(list.get(), "new", enter("Ann Able", "$250.00"));
    ASSERT_EQ(count("SELECT COUNT(*) FROM Bonus"), 1);
    EXPECT_EQ(saveWithPurse("12000"), without + 250);
}

} // namespace
} // namespace setupwindows
