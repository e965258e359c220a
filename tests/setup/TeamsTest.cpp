// The team list and the team editor: the list's own division, new / edit /
// delete, and carrying a team into the races already scored.

#include "SetupWindows.h"

#include "MaskEdBox.h"
#include "frmMainMenu.h"
#include "frmTeams.h"

#include <QFile>

#include <sqlite3.h>

namespace setupwindows {
namespace {

class TeamsTest : public SetupWindowsTest {
protected:
    void SetUp() override
    {
        SetupWindowsTest::SetUp();
        // Ann also races in E2; no line holds a team yet.
        e2race = AddRace(QStringLiteral("E2"), QStringLiteral("1"), QStringLiteral("E2 opener"));
        AddScore(QStringLiteral("E2"), e2race, 1, ann);
        exec("UPDATE Score SET Team = 0");
    }
    QString teams(const QString& driver, const QString& div)
    {
        return column("SELECT Team FROM Score WHERE DriverID = " + driver + " AND Division = '" + div + "'").join(',');
    }
    QString A() const { return QString::number(ann); }
    QString B() const { return QString::number(bob); }
    QString C() const { return QString::number(cid); }
    QString R() const { return QString::number(red); }
    qint64 e2race = 0;
};

// Before a division is chosen nothing can be added, edited or deleted; a
// division without teams shows one blank row that Edit and Delete ignore.
TEST_F(TeamsTest, NothingHappensWithoutADivisionOrATeam)
{
    auto list = open("frmListTeams");
    EXPECT_EQ(list->windowTitle(), "List of Teams");
    EXPECT_EQ(actions(list.get()), QList<bool>({false, false, false, false, false, false}));
    pressKey(grid(list.get()), Qt::Key_Return);
    emit grid(list.get())->cellDoubleClicked(0, 0);
    EXPECT_EQ(execs, 0);

    choose(list.get(), "E2 Series");
    EXPECT_EQ(rows(list.get()), QStringList({""}));
    EXPECT_EQ(actions(list.get()), QList<bool>({true, false, false, true, false, false}));

    // After a division with a team, the blank row carries no team of it.
    choose(list.get(), "D1 Cup");
    EXPECT_EQ(rows(list.get()), QStringList({"Red & <Blue>"}));
    EXPECT_EQ(actions(list.get()), QList<bool>({true, true, true, true, true, true}));
    choose(list.get(), "E2 Series");
    pressKey(grid(list.get()), Qt::Key_Return);
    tool(list.get(), "edit")->setEnabled(true);
    tool(list.get(), "delete")->setEnabled(true);
    msgs->answer(dlg::vbYes);
    run(list.get(), "delete");
    run(list.get(), "edit");
    EXPECT_EQ(execs, 0);
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_EQ(count("SELECT COUNT(*) FROM Teams"), 1);
}

// New and edit, OK and Cancel: rows after OK, nothing after Cancel or Esc.
TEST_F(TeamsTest, NewEditAndCancel)
{
    auto list = open("frmListTeams");
    choose(list.get(), "E2 Series");
    run(list.get(), "new", [&](QDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("Text2")->text(), "E2");
        // Every driver, by name; one without a name by his online id.
        EXPECT_EQ(comboItems(d, "Drivers(0)"), QStringList({"", "Ann Able", "bob_online", "Cid Cole"}));
        d->findChild<QLineEdit*>("Text1")->setText("O'Hare Racing");
        pick(d, "Drivers(2)", "bob_online");
        ok(d);
    });
    EXPECT_EQ(lastResult, QDialog::Accepted);
    EXPECT_EQ(row("SELECT Division, Team_Name, Driver_1, Driver_2, Driver_3, Driver_4, Driver_5, Driver_6 FROM Teams "
                  "WHERE Division = 'E2'"),
              QStringList({"E2", "O'Hare Racing", "0", "0", B(), "0", "0", "0"}));
    EXPECT_EQ(rows(list.get()), QStringList({"O'Hare Racing"}));

    // All seats empty: six zeros, no question.
    run(list.get(), "new", [&](QDialog* d) {
        d->findChild<QLineEdit*>("Text1")->setText("Alpha");
        ok(d);
    });
    EXPECT_EQ(rows(list.get()), QStringList({"Alpha", "O'Hare Racing"}));
    EXPECT_EQ(row("SELECT Driver_1 + Driver_2 + Driver_3 + Driver_4 + Driver_5 + Driver_6 FROM Teams WHERE Team_Name = 'Alpha'"),
              QStringList({"0"}));
    EXPECT_TRUE(msgs->calls().empty());

    // Cancel after a change asks; Yes closes without saving. Esc the same.
    msgs->answer(dlg::vbNo);
    msgs->answer(dlg::vbYes);
    run(list.get(), "new", [&](QDialog* d) {
        d->findChild<QLineEdit*>("Text1")->setText("Never");
        cancel(d);
        EXPECT_EQ(d->result(), kStillOpen);
        pressKey(d->findChild<QComboBox*>("Drivers(4)"), Qt::Key_Escape);
    });
    EXPECT_EQ(lastResult, QDialog::Rejected);
    EXPECT_EQ(msgs->calls().size(), 2u);
    EXPECT_EQ(msgs->last(), "All changes will be lost, do you want to continue");
    EXPECT_EQ(msgs->calls().back().title, "Verify");
    // Esc with nothing changed just closes.
    msgs->clear();
    grid(list.get())->setCurrentCell(1, 0);
    run(list.get(), "edit", [&](QDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("Text2")->text(), "E2 Series");
        EXPECT_EQ(d->findChild<QLineEdit*>("Text1")->text(), "O'Hare Racing");
        EXPECT_EQ(d->findChild<QComboBox*>("Drivers(2)")->currentText(), "bob_online");
        pressKey(d->findChild<QLineEdit*>("Text1"), Qt::Key_Escape);
    });
    EXPECT_EQ(lastResult, QDialog::Rejected);
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_EQ(count("SELECT COUNT(*) FROM Teams WHERE Team_Name = 'Never'"), 0);

    // Edit: a blank-only change writes nothing; a real change is stored.
    grid(list.get())->setCurrentCell(1, 0);
    run(list.get(), "edit", [&](QDialog* d) {
        d->findChild<QLineEdit*>("Text1")->setText("O'Hare Racing  ");
        ok(d);
    });
    EXPECT_EQ(row("SELECT Team_Name FROM Teams WHERE Division = 'E2' AND Driver_3 <> 0"), QStringList({"O'Hare Racing"}));
    grid(list.get())->setCurrentCell(1, 0);
    run(list.get(), "edit", [&](QDialog* d) {
        pick(d, "Drivers(2)", "");
        pick(d, "Drivers(5)", "Cid Cole");
        ok(d);
    });
    EXPECT_EQ(row("SELECT Driver_3, Driver_6 FROM Teams WHERE Team_Name = 'O''Hare Racing'"), QStringList({"0", C()}));

    // Delete: No keeps the team, Yes removes it.
    grid(list.get())->setCurrentCell(0, 0);
    msgs->clear();
    msgs->answer(dlg::vbNo);
    run(list.get(), "delete");
    EXPECT_EQ(msgs->calls().at(0).prompt, "Are you sure to delete the selected record?");
    EXPECT_EQ(msgs->calls().at(0).flags, dlg::vbYesNo | dlg::vbQuestion | dlg::vbDefaultButton2);
    EXPECT_EQ(rows(list.get()), QStringList({"Alpha", "O'Hare Racing"}));
    msgs->answer(dlg::vbYes);
    run(list.get(), "delete");
    EXPECT_EQ(rows(list.get()), QStringList({"O'Hare Racing"}));
}

// A name longer than its column is refused with the database's message; the
// editor stays open and nothing is stored.
TEST_F(TeamsTest, NameLongerThanItsColumnIsRefused)
{
    auto list = open("frmListTeams");
    choose(list.get(), "E2 Series");
    run(list.get(), "new", [&](QDialog* d) {
        d->findChild<QLineEdit*>("Text1")->setText(QString(300, QLatin1Char('n')));
        ok(d);
        EXPECT_EQ(d->result(), kStillOpen);
        pressKey(d->findChild<QLineEdit*>("Text1"), Qt::Key_Escape);
    });
    EXPECT_TRUE(msgs->saw("The field 'Team_Name' is too small")) << msgs->last().toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM Teams WHERE Division = 'E2'"), 0);
}

// Saving a team carries its seats into the scored races of its division
// only, after one Yes; a No asks again for the next driver with races.
TEST_F(TeamsTest, UpdatesTheTeamOfScoredRacesOfItsDivision)
{
    auto list = open("frmListTeams");
    choose(list.get(), "D1 Cup");
    run(list.get(), "edit", [&](QDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("Text2")->text(), "D1 Cup");
        EXPECT_EQ(d->findChild<QComboBox*>("Drivers(0)")->currentText(), "Ann Able");
        EXPECT_EQ(d->findChild<QComboBox*>("Drivers(1)")->currentText(), "bob_online");
        d->findChild<QLineEdit*>("Text1")->setText("Red Team");
        msgs->answer(dlg::vbYes);
        ok(d);
    });
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(msgs->last(), "Do you want update the Driver info in the races already scored?");
    EXPECT_EQ(msgs->calls().back().flags, dlg::vbYesNo | dlg::vbQuestion | dlg::vbDefaultButton2);
    EXPECT_EQ(teams(A(), "D1"), R());
    EXPECT_EQ(teams(B(), "D1"), R());
    EXPECT_EQ(teams(C(), "D1"), "0");
    EXPECT_EQ(teams(A(), "E2"), "0");

    // No, No, Yes: only the third driver's races change.
    exec("UPDATE Score SET Team = 0");
    msgs->clear();
    run(list.get(), "edit", [&](QDialog* d) {
        pick(d, "Drivers(2)", "Cid Cole");
        msgs->answer(dlg::vbNo);
        msgs->answer(dlg::vbNo);
        msgs->answer(dlg::vbYes);
        ok(d);
    });
    EXPECT_EQ(msgs->calls().size(), 3u);
    EXPECT_EQ(teams(A(), "D1"), "0");
    EXPECT_EQ(teams(B(), "D1"), "0");
    EXPECT_EQ(teams(C(), "D1"), R());
    EXPECT_EQ(row("SELECT Driver_3 FROM Teams WHERE TeamID = " + R()), QStringList({C()}));

    // Nothing changed: nothing asked, nothing written.
    msgs->clear();
    run(list.get(), "edit", [&](QDialog* d) { ok(d); });
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_EQ(teams(A(), "D1"), "0");

    // A failure while updating the races leaves the team as it was.
    ASSERT_EQ(sqlite3_exec(dbMain->handle(),
                           "CREATE TRIGGER NoScoreUpdate BEFORE UPDATE ON Score BEGIN "
                           "SELECT RAISE(ABORT, 'score rows are locked'); END;",
                           nullptr, nullptr, nullptr), SQLITE_OK);
    run(list.get(), "edit", [&](QDialog* d) {
        d->findChild<QLineEdit*>("Text1")->setText("Locked");
        msgs->answer(dlg::vbYes);
        ok(d);
    });
    EXPECT_EQ(lastResult, kStillOpen);
    EXPECT_TRUE(msgs->last().contains("score rows are locked")) << msgs->last().toStdString();
    EXPECT_EQ(row("SELECT Team_Name FROM Teams WHERE TeamID = " + R()), QStringList({"Red Team"}));
    EXPECT_EQ(dbMain->transactionDepth(), 0);
}

// A new team's races get its own new id, not that of an older team of the
// same name (in any letter case).
TEST_F(TeamsTest, NewTeamGetsItsOwnId)
{
    auto list = open("frmListTeams");
    choose(list.get(), "D1 Cup");
    run(list.get(), "new", [&](QDialog* d) {
        d->findChild<QLineEdit*>("Text1")->setText("RED & <BLUE>");
        pick(d, "Drivers(0)", "Cid Cole");
        msgs->answer(dlg::vbYes);
        ok(d);
    });
    const QString newId = row("SELECT MAX(TeamID) FROM Teams").value(0);
    ASSERT_NE(newId, R());
    EXPECT_EQ(row("SELECT Division, Team_Name, Driver_1 FROM Teams WHERE TeamID = " + newId),
              QStringList({"D1", "RED & <BLUE>", C()}));
    EXPECT_EQ(teams(C(), "D1"), newId);
    EXPECT_EQ(rows(list.get()), QStringList({"Red & <Blue>", "RED & <BLUE>"}));
}

// An edited team keeps its own division, whatever division the editor was
// handed, and only that division's races take the team.
TEST_F(TeamsTest, EditedTeamKeepsItsDivision)
{
    bEditMode = true;
    frmTeams editor(red, QStringLiteral("E2"));
    ASSERT_TRUE(editor.loaded());
    EXPECT_EQ(editor.findChild<QLineEdit*>("Text2")->text(), "D1 Cup");
    editor.findChild<QLineEdit*>("Text1")->setText("Renamed");
    msgs->answer(dlg::vbYes);
    ok(&editor);
    EXPECT_EQ(row("SELECT Division, Team_Name FROM Teams WHERE TeamID = " + R()), QStringList({"D1", "Renamed"}));
    EXPECT_EQ(teams(A(), "D1"), R());
    EXPECT_EQ(teams(A(), "E2"), "0");

    // A team deleted meanwhile is not edited.
    exec("DELETE FROM Teams");
    frmTeams gone(red, QStringLiteral("D1"));
    EXPECT_FALSE(gone.loaded());
}

// Opened from the menu beside the race result window and the bonus list,
// the team list changes neither the division "&Generate Files" publishes
// nor the division of the bonus list's new rows. The toolbar's "Teams"
// closes the others.
TEST_F(TeamsTest, ListBesideOtherWindowsLeavesThemTheirDivision)
{
    auto main = std::make_unique<frmMainMenu>();
    main->show();
    for (const char* name : {"mnuTeams", "mnuRookies", "mnuBonus", "ddTeams", "ddRookies", "ddBonus"})
        EXPECT_TRUE(main->findChild<QAction*>(QString::fromLatin1(name))->isEnabled()) << name;

    main->mnuBonus_Click();
    QWidget* bonus = FindLoadedForm(QStringLiteral("frmListBonus"));
    ASSERT_NE(bonus, nullptr);
    choose(bonus, "D1 Cup");
    main->mnuTeams_Click();
    QWidget* teamList = FindLoadedForm(QStringLiteral("frmListTeams"));
    ASSERT_NE(teamList, nullptr);
    EXPECT_EQ(LoadedFormCount(), 2);
    choose(teamList, "E2 Series");
    run(teamList, "new", [](QDialog* d) {
        d->findChild<QLineEdit*>("Text1")->setText("Blue");
        ok(d);
    });
    run(bonus, "new", [&](QDialog* d) {
        pick(d, "DBCombo2", "Cid Cole");
        d->findChild<MaskEdBox*>("MaskEdBox1")->setText("75");
        ok(d);
    });
    EXPECT_EQ(row("SELECT DivID, Bonus FROM Bonus"), QStringList({"D1", "75"}));
    EXPECT_EQ(row("SELECT Division FROM Teams WHERE Team_Name = 'Blue'"), QStringList({"E2"}));

    main->mnuVResult_Click();
    auto* result = qobject_cast<frmRaceResult*>(FindLoadedForm(QStringLiteral("frmRaceResult")));
    ASSERT_NE(result, nullptr);
    ChooseDivision(*result, QStringLiteral("D1 Cup"));
    ASSERT_EQ(result->ShownRace(), raceresult::kRaceId);
    main->mnuTeams_Click();
    teamList = FindLoadedForm(QStringLiteral("frmListTeams"));
    ASSERT_NE(teamList, nullptr);
    EXPECT_EQ(LoadedFormCount(), 2);
    choose(teamList, "E2 Series");
    run(teamList, "new", [](QDialog* d) {
        d->findChild<QLineEdit*>("Text1")->setText("Green");
        ok(d);
    });
    EXPECT_EQ(sCurDiv, "D1");
    EXPECT_EQ(lSelID, raceresult::kRaceId);
    msgs->clear();
    Button(*result, "commSave")->click();
    EXPECT_EQ(msgs->last(), "All HTML Files have been generated");
    EXPECT_TRUE(QFile::exists(program->file("HTML/007D1_result.htm")));
    EXPECT_TRUE(QFile::exists(program->file("HTML/D1_standings.htm")));
    EXPECT_FALSE(QFile::exists(program->file("HTML/E2_schedule.htm")));

    main->TablesDropDown(QStringLiteral("Teams"));
    settle();
    EXPECT_EQ(LoadedFormCount(), 1);
    EXPECT_NE(FindLoadedForm(QStringLiteral("frmListTeams")), nullptr);
    UnloadAllForms();
    settle();
}

} // namespace
} // namespace setupwindows
