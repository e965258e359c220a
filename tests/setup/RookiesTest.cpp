// The rookies window: moving drivers, saving a division's list by driver
// id in one transaction, and the rookie table of the standings after it.

#include "SetupWindows.h"

#include "Lookups.h"
#include "Standings.h"

#include <QFile>
#include <sqlite3.h>

namespace setupwindows {
namespace {

class RookiesTest : public SetupWindowsTest {
protected:
    void SetUp() override
    {
        SetupWindowsTest::SetUp();
        sam = AddDriver(QStringLiteral("sam1"), QStringLiteral("Sam Hill"));
        sam2 = AddDriver(QStringLiteral("sam2"), QStringLiteral("SAM HILL"));
        oneil = AddDriver(QStringLiteral("bo"), QStringLiteral("Bob O'Neil"));
        exec("DELETE FROM Rookies");
        exec("INSERT INTO Rookies (Division, DriverID) VALUES ('E2', " + QString::number(cid) + ")");
        window = open("frmRookies");
    }
    void TearDown() override
    {
        window.reset();
        SetupWindowsTest::TearDown();
    }
    QListWidget* left() { return window->findChild<QListWidget*>("List1(0)"); }
    QListWidget* right() { return window->findChild<QListWidget*>("List2(0)"); }
    static QStringList items(QListWidget* l)
    {
        QStringList out;
        for (int i = 0; i < l->count(); ++i)
            out << l->item(i)->text();
        return out;
    }
    void chooseDivision(const QString& name) { pick(window.get(), "DBCombo1", name); }
    void select(QListWidget* l, int row) { l->setCurrentRow(row); }
    void click(const char* name) { window->findChild<QPushButton*>(QString::fromLatin1(name))->click(); }
    QStringList stored(const QString& div)
    {
        return column("SELECT DriverID FROM Rookies WHERE Division = '" + div + "' ORDER BY DriverID");
    }
    static QString id(qint64 v) { return QString::number(v); }

    std::unique_ptr<QWidget> window;
    qint64 sam = 0, sam2 = 0, oneil = 0;
};

// Moves need a division and a chosen driver; equal names are both stored;
// a driver without a name is listed by his online id.
TEST_F(RookiesTest, MovesAndSavesByDriverId)
{
    EXPECT_EQ(window->windowTitle(), "Rookies");
    click("Add");
    EXPECT_EQ(msgs->last(), "Division must be entered");
    EXPECT_EQ(msgs->calls().back().flags, dlg::vbCritical);

    chooseDivision("D1 Cup");
    // Cid is a rookie of E2, not of D1.
    EXPECT_EQ(items(left()), QStringList({"Ann Able", "Bob O'Neil", "bob_online", "Cid Cole", "Sam Hill", "SAM HILL"}));
    EXPECT_TRUE(items(right()).isEmpty());
    msgs->clear();
    left()->clearSelection();
    click("Add");
    EXPECT_EQ(msgs->last(), "A Driver must be selected!");
    click("Quit");
    EXPECT_EQ(msgs->last(), "A Driver must be selected!");

    for (const char* name : {"Sam Hill", "SAM HILL", "Bob O'Neil", "bob_online"}) {
        select(left(), int(items(left()).indexOf(QString::fromUtf8(name))));
        click("Add");
    }
    EXPECT_EQ(items(left()), QStringList({"Ann Able", "Cid Cole"}));
    EXPECT_EQ(items(right()), QStringList({"Bob O'Neil", "bob_online", "Sam Hill", "SAM HILL"}));
    // Back again by a double-click.
    select(right(), 1);
    emit right()->itemDoubleClicked(right()->item(1));
    EXPECT_EQ(items(left()), QStringList({"Ann Able", "bob_online", "Cid Cole"}));

    click("Ok");
    EXPECT_FALSE(window->isVisible());
    QStringList want = {id(sam), id(sam2), id(oneil)};
    want.sort();
    QStringList got = stored("D1");
    got.sort();
    EXPECT_EQ(got, want);
    EXPECT_EQ(stored("E2"), QStringList({id(cid)}));

    // Opened again, the saved rookies are listed on the right.
    window = open("frmRookies");
    chooseDivision("D1 Cup");
    EXPECT_EQ(items(right()), QStringList({"Bob O'Neil", "Sam Hill", "SAM HILL"}));
}

// "&Ok" without a division saves nothing; a failure rolls the whole list
// back, is shown, and the window stays open.
TEST_F(RookiesTest, OkNeedsADivisionAndFailsWhole)
{
    exec("INSERT INTO Rookies (Division, DriverID) VALUES ('', " + id(ann) + ")");
    click("Ok");
    EXPECT_EQ(msgs->last(), "Division must be entered");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(count("SELECT COUNT(*) FROM Rookies"), 2);

    exec("INSERT INTO Rookies (Division, DriverID) VALUES ('E2', " + id(ann) + ")");
    chooseDivision("E2 Series");
    EXPECT_EQ(items(right()), QStringList({"Ann Able", "Cid Cole"}));
    select(right(), 0);
    click("Quit");
    select(left(), int(items(left()).indexOf("Sam Hill")));
    click("Add");
    // The first rookie goes in, the second fails: the first must not stay.
    const QByteArray trigger = "CREATE TRIGGER NoRookie BEFORE INSERT ON Rookies WHEN NEW.DriverID = "
        + QByteArray::number(sam) + " BEGIN SELECT RAISE(ABORT, 'rookie refused'); END;";
    ASSERT_EQ(sqlite3_exec(dbMain->handle(), trigger.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    msgs->clear();
    click("Ok");
    EXPECT_TRUE(msgs->last().contains("rookie refused")) << msgs->last().toStdString();
    EXPECT_TRUE(window->isVisible());
    QStringList before = {id(ann), id(cid)};
    before.sort();
    EXPECT_EQ(stored("E2"), before);
    EXPECT_EQ(dbMain->transactionDepth(), 0);
}

// "&Close" asks only after a move (Yes is the default); a move there and
// back counts; another division drops the moves.
TEST_F(RookiesTest, CloseAsksAfterMoves)
{
    chooseDivision("E2 Series");
    select(right(), 0);
    click("Quit");
    select(left(), int(items(left()).indexOf("Cid Cole")));
    click("Add");
    msgs->clear();
    msgs->answer(dlg::vbNo);
    click("Close");
    EXPECT_EQ(msgs->last(), "Changes not saved, do you want to exit anyway?");
    EXPECT_EQ(msgs->calls().back().flags, dlg::vbYesNo | dlg::vbQuestion);
    EXPECT_TRUE(window->isVisible());

    select(right(), 0);
    click("Quit");
    chooseDivision("D1 Cup");
    chooseDivision("E2 Series");
    EXPECT_EQ(items(right()), QStringList({"Cid Cole"}));
    msgs->clear();
    click("Close");
    EXPECT_EQ(msgs->calls().size(), 1u);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(stored("E2"), QStringList({id(cid)}));

    window = open("frmRookies");
    msgs->clear();
    click("Close");
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_FALSE(window->isVisible());
}

// A rookie chosen here shows in the standings run's rookie table.
TEST_F(RookiesTest, StandingsShowTheRookieTable)
{
    auto standings = [] {
        LoadDivisionSettings(QStringLiteral("D1"));
        Standings run;
        run.Division = QStringLiteral("D1");
        run.LastRace = QStringLiteral("07");
        EXPECT_TRUE(run.GenerateAll()) << run.lastError().toStdString();
        return run.RookieLines();
    };
    EXPECT_TRUE(standings().isEmpty());

    chooseDivision("D1 Cup");
    select(left(), int(items(left()).indexOf("Cid Cole")));
    click("Add");
    click("Ok");
    const QStringList rookies = standings();
    ASSERT_EQ(rookies.size(), 1);
    EXPECT_TRUE(rookies[0].contains("Cid Cole")) << rookies[0].toStdString();
    QFile page(program->file("TXT/007D1Stan.htm"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromLatin1(page.readAll());
    EXPECT_TRUE(html.contains("ROTY Points"));
    EXPECT_TRUE(html.contains("Cid Cole"));
}

} // namespace
} // namespace setupwindows
