// League setup from an empty database through the list window and its
// editors, driven as a user would: dialogs through the exec hook, message
// boxes answered by script.

#include "Database.h"
#include "FormRegistry.h"
#include "QueryRows.h"
#include "Recordset.h"
#include "ScriptedEditors.h"
#include "SetupForms.h"
#include "State.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolBar>

#include <deque>
#include <functional>
#include <sqlite3.h>
#include <vector>

namespace {

void pressKey(QWidget* w, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

const ListDef kDivisions{"List of Divisions", "ID", "Name", 30, "", "Division", 1};
const ListDef kDrivers{"List of Drivers", "DriverID", "Name", 30, "", "Drivers", 1};
const ListDef kTracks{"List of Tracks", "ID", "FullName", 50, "", "Tracks", 1};

class SetupTest : public testsupport::LeagueTest, protected ScriptedEditors, protected QueryRows {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        RegisterSetupForms();
        installExecHook();
    }
    void TearDown() override
    {
        removeExecHook();
        list.reset();
        LeagueTest::TearDown();
    }

    void open(const ListDef& def)
    {
        tListDef = def;
        list.reset(CreateForm(QStringLiteral("frmList")));
        ASSERT_TRUE(list);
        list->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    QListWidget* list1() { return list->findChild<QListWidget*>(QStringLiteral("List1")); }
    QAction* tool(const char* key) { return list->findChild<QToolBar*>(QStringLiteral("Toolbar1"))->findChild<QAction*>(QString::fromLatin1(key)); }
    QStringList items()
    {
        QStringList out;
        for (int i = 0; i < list1()->count(); ++i)
            out << list1()->item(i)->text().trimmed();
        return out;
    }
    int selected()
    {
        auto sel = list1()->selectedItems();
        return sel.isEmpty() ? -1 : list1()->row(sel.first());
    }
    void select(int row) { list1()->setCurrentRow(row); }

    // Runs one toolbar command with the dialog script queued.
    void run(const char* key, Script script = {})
    {
        if (script)
            scripts.push_back(std::move(script));
        tool(key)->trigger();
    }

    static void set(QDialog* d, const QString& name, const QString& text)
    {
        if (auto* e = d->findChild<QLineEdit*>(name))
            e->setText(text);
        else if (auto* c = d->findChild<QComboBox*>(name))
            c->isEditable() ? c->setEditText(text) : c->setCurrentIndex(c->findText(text));
        else if (auto* b = d->findChild<QCheckBox*>(name))
            b->setChecked(text == QLatin1String("1"));
        else
            ADD_FAILURE() << "no control " << name.toStdString();
    }
    static void set(QDialog* d, const QStringList& values)   // "name=value" pairs
    {
        for (const QString& nv : values) {
            const int eq = nv.indexOf(QLatin1Char('='));
            set(d, nv.left(eq), nv.mid(eq + 1));
        }
    }
    static void ok(QDialog* d) { d->findChild<QPushButton*>(QStringLiteral("cmdUpdate"))->click(); }
    // Shows the editor as the user sees it, with the focus on a control.
    static void focus(QDialog* d, QWidget* control)
    {
        d->show();
        d->activateWindow();
        control->setFocus();
        QApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), control);
    }
    static Script fill(const QStringList& values)
    {
        return [values](QDialog* d) { set(d, values); ok(d); };
    }

    std::unique_ptr<QWidget> list;
};

// A new league: one division per preset, three drivers, two tracks; then
// edits and deletes, checked against the stored rows.
TEST_F(SetupTest, SetsUpLeagueFromEmptyDatabase)
{
    open(kDivisions);
    EXPECT_EQ(list->windowTitle(), "List of Divisions");
    EXPECT_EQ(list1()->count(), 0);
    EXPECT_EQ(selected(), -1);

    // Listed order -> stored number: never the list position.
    const QStringList listed = {"NASCAR Classic", "NASCAR 2004", "IROC", "TRANS AM",
                                "NASCAR 2007", "BTTC", "ASSUIE V8", "Other"};
    const int stored[] = {1, 2, 3, 4, 8, 5, 6, 7};
    for (int i = 0; i < listed.size(); ++i) {
        QStringList values = {QStringLiteral("txtFields(0)=D%1").arg(i), QStringLiteral("txtFields(1)=Cup %1").arg(i),
                              "Points=" + listed[i]};
        if (listed[i] == "Other")
            values << "txtFields(6)=Points\\Cup.txt";
        if (i == 1)
            values << "TeamsP=Tarvik" << "Check1(0)=1" << "Check1(1)=1" << "txtFields(2)=3" << "txtFields(4)=2";
        if (i == 2)
            values << "TeamsP=SUM Points" << "Check1(3)=1" << "Check1(4)=1" << "txtFields(5)=Purse.txt";
        run("new", fill(values));
    }
    ASSERT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();
    EXPECT_EQ(list1()->count(), 8);
    for (int i = 0; i < listed.size(); ++i) {
        const QString id = QStringLiteral("D%1").arg(i);
        EXPECT_EQ(count("SELECT PointSystem FROM Division WHERE ID = " + dao::quote(id)), stored[i]) << listed[i].toStdString();
    }
    // New division defaults: no team mode is 0, NASCAR Classic is 1, empty boxes 0, points division ' '.
    EXPECT_EQ(row("SELECT ID, Name, RecordID, Numbers, Brands, Teams, Roty, Earnings, EarningsFile, NonPoints, "
                  "PointsID, PointSystem, PointSystemFile, [Drop] FROM Division WHERE ID = 'D0'"),
              QStringList({"D0", "Cup 0", "0", "0", "0", "0", "0", "0", "", "0", " ", "1", "", "0"}));
    EXPECT_EQ(row("SELECT RecordID, Numbers, Brands, Teams, [Drop] FROM Division WHERE ID = 'D1'"),
              QStringList({"3", "1", "1", "1", "2"}));
    EXPECT_EQ(row("SELECT Teams, Roty, Earnings, EarningsFile FROM Division WHERE ID = 'D2'"),
              QStringList({"2", "1", "1", "Purse.txt"}));
    EXPECT_EQ(row("SELECT PointSystemFile FROM Division WHERE ID = 'D7'"), QStringList({"Points\\Cup.txt"}));

    // Edit the second item: the editor shows the stored values, the list stays on that position.
    select(1);
    run("edit", [&](QDialog* d) {
        EXPECT_FALSE(d->findChild<QLineEdit*>("txtFields(0)")->isEnabled());
        EXPECT_EQ(d->findChild<QLineEdit*>("txtFields(1)")->text(), "Cup 1");
        EXPECT_EQ(d->findChild<QComboBox*>("TeamsP")->currentText(), "Tarvik");
        EXPECT_EQ(d->findChild<QComboBox*>("Points")->currentText(), "NASCAR 2004");
        set(d, {"txtFields(1)=Cup One", "Points=NASCAR 2007", "Check1(5)=1"});
        auto* div = d->findChild<QComboBox*>("DivName");
        EXPECT_TRUE(div->isEnabled());
        div->setCurrentIndex(0);
        emit div->activated(0);   // "Cup 0"
        ok(d);
    });
    EXPECT_EQ(row("SELECT Name, PointSystem, NonPoints, PointsID FROM Division WHERE ID = 'D1'"),
              QStringList({"Cup One ", "8", "1", "D0"}));
    EXPECT_EQ(selected(), 1);

    // Delete the last division: both questions, then nothing selected.
    select(7);
    msgs->answer(dlg::vbYes);
    msgs->answer(dlg::vbYes);
    run("delete");
    EXPECT_EQ(msgs->calls().at(0).title, "Verify");
    EXPECT_EQ(msgs->calls().at(1).prompt,
              "The deletion of a Division will erase all related Races' data. Are you sure to proceed?");
    EXPECT_EQ(msgs->calls().at(1).flags, dlg::vbYesNo | dlg::vbQuestion | dlg::vbDefaultButton2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Division"), 7);
    EXPECT_EQ(selected(), -1);

    // Drivers.
    open(kDrivers);
    run("new", fill({"txtFields(0)=jsmith", "txtFields(1)=John Smith", "txtFields(2)=7", "CarMake=Ford"}));
    run("new", fill({"txtFields(0)=bo'neil", "txtFields(1)=Bob O'Neil", "txtFields(2)=12", "CarMake=Chevrolet"}));
    run("new", fill({"txtFields(0)=amy", "txtFields(1)=Amy Zed", "txtFields(2)=", "CarMake=Mc'Laren"}));
    EXPECT_EQ(items(), QStringList({"Amy Zed", "Bob O'Neil", "John Smith"}));
    EXPECT_EQ(row("SELECT OnlineID, Name, [Number], Brand FROM Drivers WHERE Name = 'Bob O''Neil'"),
              QStringList({"bo'neil", "Bob O'Neil", "12", "Chevrolet"}));
    EXPECT_EQ(row("SELECT Brand FROM Drivers WHERE OnlineID = 'amy'"), QStringList({"Mc'Laren"}));
    select(2);
    run("edit", [](QDialog* d) {
        EXPECT_EQ(d->findChild<QComboBox*>("CarMake")->currentText(), "Ford");
        EXPECT_EQ(d->findChild<QComboBox*>("CarMake")->count(), 5);
        set(d, "txtFields(2)", "77");
        ok(d);
    });
    EXPECT_EQ(row("SELECT [Number] FROM Drivers WHERE OnlineID = 'jsmith'"), QStringList({"77"}));
    select(0);
    msgs->clear();
    msgs->answer(dlg::vbYes);
    run("delete");
    EXPECT_EQ(msgs->calls().size(), 1u) << "one question only for a driver";
    EXPECT_EQ(items(), QStringList({"Bob O'Neil", "John Smith"}));
    EXPECT_EQ(selected(), 0);

    // Tracks.
    open(kTracks);
    run("new", fill({"txtFields(0)=Martinsville", "txtFields(1)=Martinsville Speedway", "txtFields(2)=0.526", "txtFields(3)=0"}));
    run("new", fill({"txtFields(0)=Watkins", "txtFields(1)=Watkin's Glen International", "txtFields(2)=2.45", "txtFields(3)=4"}));
    EXPECT_EQ(items(), QStringList({"Martinsville Speedway", "Watkin's Glen International"}));
    EXPECT_EQ(list1()->item(0)->text().size(), 50);
    EXPECT_EQ(row("SELECT ShortName, FullName, Miles, [Type] FROM Tracks WHERE ShortName = 'Watkins'"),
              QStringList({"Watkins", "Watkin's Glen International", "2.45", "4"}));
    select(0);
    run("edit", [](QDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("txtFields(2)")->text(), "0.526");
        set(d, "txtFields(3)", "1");
        ok(d);
    });
    EXPECT_EQ(count("SELECT [Type] FROM Tracks WHERE ShortName = 'Martinsville'"), 1);
    select(1);
    msgs->answer(dlg::vbYes);
    run("delete");
    EXPECT_EQ(items(), QStringList({"Martinsville Speedway"}));
}

// Deleting a division takes its races and every row hanging off them,
// its teams, rookies and bonus amounts; another division keeps its own.
TEST_F(SetupTest, DivisionDeleteRemovesItsDataInOneTransaction)
{
    for (const char* div : {"A", "B"}) {
        const QString d = dao::quote(QString::fromLatin1(div));
        dbMain->execute("INSERT INTO Division (ID, Name, PointSystem) VALUES (" + d + ", 'Div " + div + "', 1)");
        dbMain->execute("INSERT INTO Races (Division, RaceNo) VALUES (" + d + ", '1')");
        const QString race = QString::number(dbMain->lastInsertId());
        dbMain->execute("INSERT INTO Score (Division, RaceID, Posi, DriverID) VALUES (" + d + ", " + race + ", 1, 1)");
        dbMain->execute("INSERT INTO ScoreDrop (Division, RaceID, Posi, DriverID) VALUES (" + d + ", " + race + ", 1, 1)");
        dbMain->execute("INSERT INTO Qualify (RaceID, Pos, DriverID) VALUES (" + race + ", 1, 1)");
        dbMain->execute("INSERT INTO Damage (Division, RaceID, Posi) VALUES (" + d + ", " + race + ", 1)");
        dbMain->execute("INSERT INTO Penalties (Division, RaceID, Posi, Points) VALUES (" + d + ", " + race + ", 1, -5)");
        dbMain->execute("INSERT INTO Teams (Division, Team_Name, Driver_1) VALUES (" + d + ", 'T', 1)");
        dbMain->execute("INSERT INTO Rookies (Division, DriverID) VALUES (" + d + ", 1)");
        dbMain->execute("INSERT INTO Bonus (DivID, DriverID, Bonus) VALUES (" + d + ", 1, 100)");
    }
    const QStringList tables = {"Races", "Score", "ScoreDrop", "Qualify", "Damage", "Penalties", "Teams", "Rookies", "Bonus"};
    auto total = [&] {
        qint64 n = 0;
        for (const QString& t : tables)
            n += count("SELECT COUNT(*) FROM " + t);
        return n;
    };
    open(kDivisions);
    ASSERT_EQ(items(), QStringList({"Div A", "Div B"}));

    // No at either question: nothing happens.
    msgs->answer(dlg::vbNo);
    run("delete");
    msgs->answer(dlg::vbYes);
    msgs->answer(dlg::vbNo);
    run("delete");
    EXPECT_EQ(count("SELECT COUNT(*) FROM Division"), 2);
    EXPECT_EQ(total(), 18);

    // A failure part-way through the cascade leaves every row in place.
    ASSERT_EQ(sqlite3_exec(dbMain->handle(),
                           "CREATE TRIGGER NoBonusDelete BEFORE DELETE ON Bonus BEGIN "
                           "SELECT RAISE(ABORT, 'bonus rows are locked'); END;",
                           nullptr, nullptr, nullptr), SQLITE_OK);
    msgs->answer(dlg::vbYes);
    msgs->answer(dlg::vbYes);
    run("delete");
    EXPECT_TRUE(msgs->last().contains("bonus rows are locked")) << msgs->last().toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM Division"), 2);
    EXPECT_EQ(total(), 18);
    EXPECT_EQ(dbMain->transactionDepth(), 0);
    ASSERT_EQ(sqlite3_exec(dbMain->handle(), "DROP TRIGGER NoBonusDelete", nullptr, nullptr, nullptr), SQLITE_OK);

    msgs->answer(dlg::vbYes);
    msgs->answer(dlg::vbYes);
    run("delete");
    EXPECT_EQ(items(), QStringList({"Div B"}));
    for (const QString& t : tables) {
        EXPECT_EQ(count("SELECT COUNT(*) FROM " + t), 1) << t.toStdString();
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Races WHERE Division = 'B'"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Bonus WHERE DivID = 'B'"), 1);
}

// Page and fragment names are made from the id: an id that cannot stand in
// a file name on Linux or Windows, or that names a folder, is refused with
// the character named; dots inside an id are fine.
TEST_F(SetupTest, DivisionIdMustBeUsableInAFileName)
{
    open(kDivisions);
    const std::vector<std::pair<QString, QString>> cases = {
        {"../z", "the character /"}, {"a\\b", "the character \\"}, {"C:", "the character :"},
        {"a*", "the character *"},   {"a?", "the character ?"},      {"<a", "the character <"},
        {"a>", "the character >"},   {"a|b", "the character |"},     {"a\tb", "a control character"},
        {QStringLiteral("a") + QChar(1), "a control character"},     {QStringLiteral("a") + QChar(0x7f), "a control character"},
        {".", "Division ID cannot be . or .."}, {"..", "Division ID cannot be . or .."},
    };
    for (const auto& [id, message] : cases) {
        msgs->clear();
        run("new", [&](QDialog* d) { set(d, {"txtFields(0)=" + id, "txtFields(1)=Bad"}); ok(d); });
        EXPECT_EQ(lastResult, kStillOpen) << id.toStdString();
        EXPECT_TRUE(msgs->last().contains(message)) << id.toStdString() << ": " << msgs->last().toStdString();
        EXPECT_TRUE(msgs->last().startsWith("Division ID cannot")) << msgs->last().toStdString();
        EXPECT_EQ(msgs->calls().back().flags, dlg::vbCritical);
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Division"), 0);

    run("new", fill({"txtFields(0)=A.1", "txtFields(1)=Dotted"}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM Division WHERE ID = 'A.1'"), 1);
}

// A full disk or an I/O error at any write of a division delete: the
// division and everything hanging off it stay or go together.
TEST_F(SetupTest, DivisionDeleteIsWholeOrNotAtAllWhenAWriteFails)
{
    dbMain->execute("INSERT INTO Division (ID, Name, PointSystem) VALUES ('A', 'Div A', 1)");
    dbMain->execute("INSERT INTO Races (Division, RaceNo) VALUES ('A', '1')");
    const QString race = QString::number(dbMain->lastInsertId());
    for (int posi = 1; posi <= 40; ++posi) {
        dbMain->execute("INSERT INTO Score (Division, RaceID, Posi, DriverID) VALUES ('A', " + race + ", ?, ?)", {posi, posi});
        dbMain->execute("INSERT INTO Qualify (RaceID, Pos, DriverID) VALUES (" + race + ", ?, ?)", {posi, posi});
    }
    dbMain->execute("INSERT INTO Teams (Division, Team_Name, Driver_1) VALUES ('A', 'T', 1)");
    ExpectWholeOrNothing([&](QString& told) {
        open(kDivisions);
        select(0);
        msgs->answer(dlg::vbYes);
        msgs->answer(dlg::vbYes);
        run("delete");
        list.reset();
        // The two questions, then only a failure says more.
        if (msgs->calls().size() > 2)
            told = msgs->last();
        return msgs->calls().size() == 2;
    });
}

// A driver still referred to, or a track that races use, stays: a clear
// message and no question.
TEST_F(SetupTest, InUseDriversAndTracksAreNotDeleted)
{
    dbMain->execute("INSERT INTO Drivers (OnlineID, Name) VALUES ('a', 'A Racer')");
    const qint64 id = dbMain->lastInsertId();
    const QString sid = QString::number(id);
    const QStringList uses = {
        "INSERT INTO Score (Division, RaceID, Posi, DriverID) VALUES ('X', 1, 1, " + sid + ")",
        "INSERT INTO Teams (Division, Team_Name, Driver_4) VALUES ('X', 'T', " + sid + ")",
        "INSERT INTO Rookies (Division, DriverID) VALUES ('X', " + sid + ")",
        "INSERT INTO Bonus (DivID, DriverID, Bonus) VALUES ('X', " + sid + ", 50)",
    };
    const QStringList reasons = {"race results", "a team seat", "a rookie entry", "a bonus amount"};
    open(kDrivers);
    for (int i = 0; i < uses.size(); ++i) {
        dbMain->execute(uses[i]);
        msgs->clear();
        run("delete");
        ASSERT_EQ(msgs->calls().size(), 1u);
        EXPECT_TRUE(msgs->last().contains(reasons[i])) << msgs->last().toStdString();
        EXPECT_EQ(msgs->calls().back().flags, dlg::vbCritical);
        EXPECT_EQ(count("SELECT COUNT(*) FROM Drivers"), 1);
        dbMain->execute("DELETE FROM Score");
        dbMain->execute("DELETE FROM Teams");
        dbMain->execute("DELETE FROM Rookies");
        dbMain->execute("DELETE FROM Bonus");
    }

    dbMain->execute("INSERT INTO Tracks (ShortName, FullName, Miles, [Type]) VALUES ('S', 'Speedway', 1.5, 2)");
    dbMain->execute("INSERT INTO Races (Division, RaceNo, TrackID) VALUES ('X', '1', " + QString::number(dbMain->lastInsertId()) + ")");
    open(kTracks);
    msgs->clear();
    run("delete");
    EXPECT_TRUE(msgs->last().contains("cannot be deleted")) << msgs->last().toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM Tracks"), 1);
}

// With nothing selected, Edit and Delete do nothing; an empty table still
// lets the toolbar add a first row.
TEST_F(SetupTest, EditAndDeleteNeedASelection)
{
    open(kTracks);
    list1()->setFocus();
    QEvent focus(QEvent::FocusIn);
    QCoreApplication::sendEvent(list1(), &focus);
    EXPECT_FALSE(tool("edit")->isEnabled());
    EXPECT_FALSE(tool("delete")->isEnabled());
    EXPECT_TRUE(tool("new")->isEnabled());
    EXPECT_FALSE(list->findChild<QAction*>("mnuNew")->isEnabled());
    run("edit");
    run("delete");
    EXPECT_EQ(execs, 0);
    EXPECT_TRUE(msgs->calls().empty());

    run("new", fill({"txtFields(0)=A", "txtFields(1)=Alpha", "txtFields(2)=1", "txtFields(3)=1"}));
    run("new", fill({"txtFields(0)=B", "txtFields(1)=Beta", "txtFields(2)=1", "txtFields(3)=1"}));
    EXPECT_TRUE(tool("edit")->isEnabled());
    list1()->clearSelection();
    run("edit");
    run("delete");
    EXPECT_EQ(execs, 2);
    EXPECT_TRUE(msgs->calls().empty());

    // Enter in the list edits the selected row.
    select(1);
    scripts.push_back([](QDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("txtFields(1)")->text(), "Beta");
        d->reject();
    });
    pressKey(list1(), Qt::Key_Return);
    EXPECT_EQ(execs, 3);
}

// Bad numbers and bad ids are refused with a message before anything is
// stored; quotes in texts are stored as typed.
TEST_F(SetupTest, ValidatesBeforeStoring)
{
    open(kDivisions);
    struct Case { QStringList values; QString message; };
    const std::vector<Case> cases = {
        {{"txtFields(0)=A", "txtFields(2)=x"}, "Record Key must be numeric"},
        {{"txtFields(0)=A", "txtFields(4)=two"}, "Drop Races must be a whole number"},
        {{"txtFields(0)=A", "txtFields(4)=1); DELETE FROM Options; --"}, "Drop Races must be a whole number"},
        {{"txtFields(0)=", "txtFields(1)=Nameless"}, "Points division cannot be the same!"},
        {{"txtFields(0)=A'B"}, "Division ID cannot contain quotes or blanks"},
        {{"txtFields(0)=A B"}, "Division ID cannot contain quotes or blanks"},
    };
    for (const Case& c : cases) {
        msgs->clear();
        run("new", [&](QDialog* d) { set(d, c.values); ok(d); });
        EXPECT_EQ(lastResult, kStillOpen) << c.message.toStdString();
        EXPECT_TRUE(msgs->last().startsWith(c.message)) << msgs->last().toStdString();
        EXPECT_EQ(msgs->calls().back().flags, dlg::vbCritical);
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Division"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Options"), 3);

    // Quotes in the name and both file names; a duplicate id shows the database's error.
    run("new", fill({"txtFields(0)=Q", "txtFields(1)=Bob's Cup", "txtFields(5)=Bob's.txt", "Points=Other",
                     "txtFields(6)=Pts'1.txt"}));
    EXPECT_EQ(row("SELECT Name, EarningsFile, PointSystemFile, PointSystem FROM Division WHERE ID = 'Q'"),
              QStringList({"Bob's Cup", "Bob's.txt", "Pts'1.txt", "7"}));
    msgs->clear();
    run("new", fill({"txtFields(0)=Q", "txtFields(1)=Again"}));
    EXPECT_EQ(lastResult, kStillOpen);
    EXPECT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(msgs->calls().back().flags, dlg::vbOKOnly);

    open(kDrivers);
    msgs->clear();
    run("new", fill({"txtFields(0)=x", "txtFields(2)=1a"}));
    EXPECT_EQ(msgs->last(), "Number must be numeric");
    EXPECT_EQ(lastResult, kStillOpen);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Drivers"), 0);

    open(kTracks);
    const std::vector<Case> trackCases = {
        {{"txtFields(2)=abc", "txtFields(3)=x"}, "Miles must be numeric"},
        {{"txtFields(2)=1", "txtFields(3)=x"}, "Type must be numeric"},
        {{"txtFields(2)=1", "txtFields(3)=5"}, "Values for Type can be: 0=Short track"},
        {{"txtFields(2)=1", "txtFields(3)=-1"}, "Values for Type can be: 0=Short track"},
        {{"txtFields(2)=nan", "txtFields(3)=1"}, "Miles must be numeric"},
    };
    for (const Case& c : trackCases) {
        msgs->clear();
        run("new", [&](QDialog* d) { set(d, c.values); ok(d); });
        EXPECT_EQ(lastResult, kStillOpen);
        EXPECT_TRUE(msgs->last().startsWith(c.message)) << msgs->last().toStdString();
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM Tracks"), 0);
    // Empty miles and type are stored as 0; a fraction of a type is rounded.
    run("new", fill({"txtFields(0)=E", "txtFields(1)=Empty"}));
    run("new", fill({"txtFields(0)=F", "txtFields(1)=Frac", "txtFields(2)=1", "txtFields(3)=2.5"}));
    EXPECT_EQ(row("SELECT Miles, [Type] FROM Tracks WHERE ShortName = 'E'"), QStringList({"0", "0"}));
    EXPECT_EQ(count("SELECT [Type] FROM Tracks WHERE ShortName = 'F'"), 2);
}

// Cancel asks only when something changed beyond blanks; Esc cancels the
// division and driver editors from the controls that take it, and does
// nothing in the track editor.
TEST_F(SetupTest, CancelAndEscape)
{
    dbMain->execute("INSERT INTO Drivers (OnlineID, Name, [Number], Brand) VALUES ('a', 'Al', '3', 'Ford')");
    open(kDrivers);
    select(0);
    auto cancel = [](QDialog* d) { d->findChild<QPushButton*>("cmdCancel")->click(); };
    run("edit", [&](QDialog* d) { set(d, "CarMake", "Ford  "); cancel(d); });
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_EQ(lastResult, QDialog::Rejected);

    msgs->answer(dlg::vbNo);
    run("edit", [&](QDialog* d) { set(d, "txtFields(1)", "al"); cancel(d); });
    EXPECT_EQ(msgs->last(), "All changes will be lost, do you want to continue");
    EXPECT_EQ(lastResult, kStillOpen);
    EXPECT_EQ(nAnswer, dlg::vbNo);

    msgs->answer(dlg::vbYes);
    run("edit", [&](QDialog* d) { set(d, "txtFields(1)", "al"); pressKey(d->findChild<QLineEdit*>("txtFields(1)"), Qt::Key_Escape); });
    EXPECT_EQ(lastResult, QDialog::Rejected);
    EXPECT_EQ(row("SELECT Name FROM Drivers"), QStringList({"Al"}));

    // Tabbing into a field trims it and leaves the caret without a selection.
    run("edit", [&](QDialog* d) {
        auto* name = d->findChild<QLineEdit*>("txtFields(1)");
        name->setText(" Al ");
        QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(name, &in);
        QApplication::processEvents();
        EXPECT_EQ(name->text(), "Al");
        EXPECT_FALSE(name->hasSelectedText());
        cancel(d);
    });

    // OK with only blanks changed writes nothing.
    run("edit", fill({"txtFields(1)= Al "}));
    EXPECT_EQ(row("SELECT Name FROM Drivers"), QStringList({"Al"}));

    // A name the import stored longer than the boxes is kept whole.
    const QString longName = "Christopher Montgomery-Smythe Jr.";   // 33 characters
    dbMain->execute("UPDATE Drivers SET OnlineID = ?, Name = ?", {longName, longName});
    msgs->clear();
    run("edit", [&](QDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("txtFields(0)")->text(), longName);
        cancel(d);
    });
    EXPECT_TRUE(msgs->calls().empty());
    run("edit", fill({"txtFields(2)=8"}));
    EXPECT_EQ(row("SELECT OnlineID, Name, [Number] FROM Drivers"), QStringList({longName, longName, "8"}));

    // Esc in the make box asks; on the buttons it does nothing.
    msgs->clear();
    msgs->answer(dlg::vbNo);
    run("edit", [&](QDialog* d) {
        set(d, "txtFields(1)", "al");
        pressKey(d->findChild<QPushButton*>("cmdUpdate"), Qt::Key_Escape);
        pressKey(d->findChild<QPushButton*>("cmdCancel"), Qt::Key_Escape);
        EXPECT_TRUE(msgs->calls().empty());
        pressKey(d->findChild<QComboBox*>("CarMake"), Qt::Key_Escape);
    });
    EXPECT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(lastResult, kStillOpen);

    // The division editor: Esc cancels from boxes, check boxes and buttons, not from its lists.
    dbMain->execute("INSERT INTO Division (ID, Name, PointSystem) VALUES ('E', 'Evening', 1)");
    open(kDivisions);
    select(0);
    msgs->clear();
    run("edit", [&](QDialog* d) {
        set(d, "txtFields(1)", "Late");
        for (const char* name : {"TeamsP", "Points"})
            pressKey(d->findChild<QComboBox*>(name), Qt::Key_Escape);
        EXPECT_TRUE(msgs->calls().empty());
        msgs->answer(dlg::vbNo);
        pressKey(d->findChild<QCheckBox*>("Check1(0)"), Qt::Key_Escape);
        EXPECT_EQ(msgs->calls().size(), 1u);
        msgs->answer(dlg::vbYes);
        pressKey(d->findChild<QPushButton*>("cmdUpdate"), Qt::Key_Escape);
    });
    EXPECT_EQ(msgs->calls().size(), 2u);
    EXPECT_EQ(lastResult, QDialog::Rejected);
    EXPECT_EQ(row("SELECT Name FROM Division"), QStringList({"Evening"}));

    open(kTracks);
    msgs->clear();
    run("new", [](QDialog* d) {
        d->show();   // Qt picks a default button when a dialog is shown
        set(d, "txtFields(0)", "X");
        pressKey(d->findChild<QLineEdit*>("txtFields(0)"), Qt::Key_Escape);
        pressKey(d->findChild<QLineEdit*>("txtFields(0)"), Qt::Key_Return);
    });
    EXPECT_EQ(lastResult, kStillOpen);
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_EQ(count("SELECT COUNT(*) FROM Tracks"), 0);
}

// The points file only for "Other"; clearing "Non Points:" forgets the points division.
TEST_F(SetupTest, DivisionEditorRules)
{
    dbMain->execute("INSERT INTO Division (ID, Name, PointSystem, PointSystemFile, NonPoints, PointsID) "
                    "VALUES ('P', 'Pro', 7, 'p.txt', 0, ' ')");
    dbMain->execute("INSERT INTO Division (ID, Name, PointSystem, NonPoints, PointsID) VALUES ('N', 'Night', 3, 1, 'P')");
    open(kDivisions);
    select(0);   // Night
    run("edit", [](QDialog* d) {
        auto* div = d->findChild<QComboBox*>("DivName");
        EXPECT_EQ(div->currentText(), "Pro");
        EXPECT_TRUE(div->isEnabled());
        EXPECT_FALSE(d->findChild<QLineEdit*>("txtFields(6)")->isEnabled());
        set(d, "Check1(5)", "0");
        EXPECT_FALSE(div->isEnabled());
        EXPECT_EQ(d->findChild<QLineEdit*>("txtFields(3)")->text(), "");
        set(d, "Check1(5)", "1");
        EXPECT_EQ(div->currentText(), "Pro");
        EXPECT_EQ(d->findChild<QLineEdit*>("txtFields(3)")->text(), "");
        ok(d);
    });
    EXPECT_EQ(row("SELECT NonPoints, PointsID FROM Division WHERE ID = 'N'"), QStringList({"1", ""}));

    select(1);   // Pro
    run("edit", [](QDialog* d) {
        auto* file = d->findChild<QLineEdit*>("txtFields(6)");
        EXPECT_TRUE(file->isEnabled());
        EXPECT_EQ(file->text(), "p.txt");
        set(d, "Points", "IROC");
        EXPECT_FALSE(file->isEnabled());
        EXPECT_EQ(file->text(), "");
        set(d, "Check1(5)", "1");
        auto* div = d->findChild<QComboBox*>("DivName");
        div->setCurrentIndex(div->findText("Pro"));
        emit div->activated(div->currentIndex());
        ok(d);
    });
    EXPECT_EQ(msgs->last(), "Points division cannot be the same!");
    EXPECT_EQ(lastResult, kStillOpen);
    EXPECT_EQ(row("SELECT PointSystem FROM Division WHERE ID = 'P'"), QStringList({"7"}));
}

// Tabbing through an editor's text boxes selects no text in them.
TEST_F(SetupTest, TabbingIntoATextBoxSelectsNothing)
{
    dbMain->execute("INSERT INTO Tracks (ShortName, FullName, Miles, [Type]) VALUES ('Dover', 'Dover Downs', 1, 1)");
    dbMain->execute("INSERT INTO Drivers (OnlineID, Name, [Number], Brand) VALUES ('al', 'Al', '3', 'Ford')");
    for (const ListDef& def : {kTracks, kDrivers}) {
        open(def);
        select(0);
        run("edit", [](QDialog* d) {
            focus(d, d->findChild<QLineEdit*>("txtFields(0)"));
            ASSERT_NE(QApplication::focusWidget(), nullptr);
            std::vector<QWidget*> next{d->findChild<QLineEdit*>("txtFields(1)"), d->findChild<QLineEdit*>("txtFields(2)")};
            if (auto* make = d->findChild<QComboBox*>("CarMake"))
                next.push_back(make);
            for (QWidget* w : next) {
                QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
                QApplication::sendEvent(QApplication::focusWidget(), &tab);
                QApplication::processEvents();
                auto* combo = qobject_cast<QComboBox*>(w);
                auto* box = combo ? combo->lineEdit() : static_cast<QLineEdit*>(w);
                const std::string name = w->objectName().toStdString();
                EXPECT_EQ(QApplication::focusWidget(), w) << name;
                EXPECT_FALSE(box->text().isEmpty()) << name;
                EXPECT_FALSE(box->hasSelectedText()) << d->objectName().toStdString() << " " << name;
            }
            d->reject();
        });
    }
}

// A make typed in another letter case is what is stored, also once the make
// box has lost the focus (its list would otherwise put "Ford" back).
TEST_F(SetupTest, CarMakeIsStoredAsTyped)
{
    auto typeMake = [](const QString& make) {
        return [make](QDialog* d) {
            auto* box = d->findChild<QComboBox*>("CarMake");
            focus(d, box);
            box->lineEdit()->selectAll();
            for (const QChar c : make) {
                QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                QApplication::sendEvent(box->lineEdit(), &key);
            }
            d->findChild<QPushButton*>("cmdUpdate")->setFocus();
            QApplication::processEvents();
            ok(d);
        };
    };
    open(kDrivers);
    run("new", [&](QDialog* d) { set(d, "txtFields(0)", "jo"); typeMake("ford")(d); });
    EXPECT_EQ(row("SELECT Brand FROM Drivers"), QStringList({"ford"}));
    dbMain->execute("UPDATE Drivers SET Brand = 'Ford'");
    select(0);
    run("edit", typeMake("FORD"));
    EXPECT_EQ(lastResult, QDialog::Accepted);
    EXPECT_EQ(row("SELECT Brand FROM Drivers"), QStringList({"FORD"}));

    // The box takes no more than its column holds; a longer make that an
    // older version stored is shown whole.
    run("edit", typeMake(QString(60, 'm')));
    EXPECT_EQ(row("SELECT Brand FROM Drivers"), QStringList({QString(50, 'm')}));
    const QByteArray wide = "UPDATE Drivers SET Brand = '" + QByteArray(60, 'w') + "'";
    ASSERT_EQ(sqlite3_exec(dbMain->handle(), wide.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    run("edit", [](QDialog* d) {
        EXPECT_EQ(d->findChild<QComboBox*>("CarMake")->currentText(), QString(60, 'w'));
        d->reject();
    });
}

// A driver without a name is listed, and sorted, by his online id.
TEST_F(SetupTest, DriverWithoutNameIsListedByOnlineId)
{
    dbMain->execute("INSERT INTO Drivers (OnlineID, Name) VALUES ('zed', 'Zed')");
    dbMain->execute("INSERT INTO Drivers (OnlineID, Name) VALUES ('mo', NULL)");
    dbMain->execute("INSERT INTO Drivers (OnlineID, Name) VALUES ('al', '  ')");
    open(kDrivers);
    EXPECT_EQ(items(), QStringList({"al", "mo", "Zed"}));
    select(1);
    run("edit", [](QDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("txtFields(0)")->text(), "mo");
        d->reject();
    });
}

// Saving a division again does not add another blank to its name.
TEST_F(SetupTest, DivisionNameDoesNotGrowWithEachSave)
{
    dbMain->execute("INSERT INTO Division (ID, Name, PointSystem, PointsID) VALUES ('C', 'Cup Series', 1, ' ')");
    open(kDivisions);
    for (const char* drop : {"1", "2", "3"}) {
        select(0);
        run("edit", fill({QStringLiteral("txtFields(4)=") + drop}));
        EXPECT_EQ(row("SELECT Name, [Drop] FROM Division"), QStringList({"Cup Series ", drop}));
    }
}

// Texts wider than the editors' boxes, as older versions stored them, are
// shown whole and saved as they were when another field changes; typing is
// still held to the box.
TEST_F(SetupTest, TrackAndDivisionEditorsKeepWideStoredTexts)
{
    auto store = [](const QString& sql) {   // past the layer, which cuts to the column
        ASSERT_EQ(sqlite3_exec(dbMain->handle(), sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    };
    auto typeAtEnd = [](QDialog* d, const char* name) {
        auto* box = d->findChild<QLineEdit*>(QString::fromLatin1(name));
        focus(d, box);
        box->end(false);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(box, &key);
        return box->text();
    };
    const QString shortName = QStringLiteral("Watkins Glen Intl Road"), fullName = QString(50, 'f');
    store("INSERT INTO Tracks (ShortName, FullName, Miles, [Type]) VALUES ('" + shortName + "', '" + fullName + "', 1, 4)");
    open(kTracks);
    select(0);
    run("edit", [&](QDialog* d) {
        EXPECT_EQ(typeAtEnd(d, "txtFields(0)"), shortName);
        set(d, "txtFields(2)", "2.45");
        ok(d);
    });
    EXPECT_EQ(row("SELECT ShortName, FullName, Miles FROM Tracks"), QStringList({shortName, fullName, "2.45"}));

    const QString name = QStringLiteral("Grand National Touring Championship East ");   // 40 and a blank
    store("INSERT INTO Division (ID, Name, RecordID, PointsID, EarningsFile, PointSystem, [Drop]) VALUES ('EAST2026', '" + name
          + "', 123, 'POINTS26', 'east.txt', 1, 100000)");
    store("INSERT INTO Division (ID, Name, PointSystem) VALUES ('WEST2026', 'West', 1)");
    open(kDivisions);
    select(0);
    run("edit", [&](QDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("txtFields(0)")->text(), "EAST2026");
        EXPECT_EQ(typeAtEnd(d, "txtFields(1)"), name.trimmed());
        EXPECT_EQ(d->findChild<QLineEdit*>("txtFields(4)")->text(), "100000");
        set(d, "txtFields(4)", "2");
        ok(d);
    });
    const char* const sql = "SELECT ID, Name, RecordID, PointsID, EarningsFile, [Drop] FROM Division WHERE ID = 'EAST2026'";
    EXPECT_EQ(row(sql), QStringList({"EAST2026", name, "123", "POINTS26", "east.txt", "2"}));
    // A points division chosen from the list goes in whole too.
    run("edit", [&](QDialog* d) {
        set(d, "Check1(5)", "1");
        auto* list = d->findChild<QComboBox*>("DivName");
        list->activated(list->findData(QStringLiteral("WEST2026")));
        ok(d);
    });
    EXPECT_EQ(row(sql).at(3), "WEST2026");
}

} // namespace
