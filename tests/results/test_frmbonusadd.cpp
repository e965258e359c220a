// The additional earnings dialog on the race result window's earnings grid.
#include "EditingFixture.h"

#include "MaskEdBox.h"

#include <QTest>

using namespace raceresult;

namespace {

MaskEdBox* Amount(QWidget& d)
{
    return d.findChild<MaskEdBox*>(QStringLiteral("Bonus"));
}

// What the box shows once the focus has left it.
QString Shown(QWidget& d)
{
    d.activateWindow();
    d.findChild<QPushButton*>(QStringLiteral("Command1"))->setFocus();
    QApplication::processEvents();
    return static_cast<QLineEdit*>(Amount(d))->text();
}

} // namespace

TEST_F(EditingTest, AdditionalEarningsAreStoredAndTheirRowRewritten)
{
    // A line without an amount opens with 0; OK without typing stores 0.
    QString opened0;
    onBonus = [&](frmBonusAdd& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Additional Earnings"));
        opened0 = Amount(d)->Text();
        EXPECT_EQ(Shown(d), QStringLiteral("$0.00"));
        Button(d, "Command1")->click();
    };
    DoubleClick(8, 3);
    EXPECT_EQ(opened0, QStringLiteral("0"));
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(Line(3, "BonusAdd").toDouble(), 0);
    EXPECT_FALSE(Line(3, "BonusAdd").isNull());

    // An amount with cents: stored as typed, its row shows it at once.
    w->Grid(8)->setTextMatrix(2, 0, QStringLiteral("2   stale row"));
    onBonus = [&](frmBonusAdd& d) {
        EXPECT_EQ(Amount(d)->Text(), QStringLiteral("500"));
        Amount(d)->setText(QStringLiteral("1234.5"));
        Button(d, "Command1")->click();
    };
    DoubleClick(8, 1);
    EXPECT_EQ(Line(1, "BonusAdd").toDouble(), 1234.5);
    const QString row1 = w->Grid(8)->TextMatrix(1, 0);
    EXPECT_EQ(rt::Mid(row1, 48, 10), QStringLiteral("     1,234"));   // whole units
    EXPECT_EQ(rt::Mid(row1, 59, 10), QStringLiteral("    14,580"));   // 12345 + 1000 + 1234.5, halves to even
    EXPECT_EQ(w->Grid(8)->TextMatrix(2, 0), QStringLiteral("2   stale row"));   // only that row is rewritten

    // A negative amount shows in parentheses and is stored negative.
    onBonus = [&](frmBonusAdd& d) {
        EXPECT_EQ(Shown(d), QStringLiteral("$1,234.50"));
        Amount(d)->setText(QStringLiteral("-12"));
        EXPECT_EQ(Shown(d), QStringLiteral("($12.00)"));
        Button(d, "Command1")->click();
    };
    DoubleClick(8, 1);
    EXPECT_EQ(Line(1, "BonusAdd").toDouble(), -12);

    // A blank box stores 0; text that is no amount is refused.
    onBonus = [&](frmBonusAdd& d) {
        Amount(d)->setText(QStringLiteral("12 dollars"));
        Button(d, "Command1")->click();
        EXPECT_TRUE(d.isVisible());
        Amount(d)->setText(QString());
        Button(d, "Command1")->click();
    };
    DoubleClick(8, 1);
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(msgs->calls()[0].prompt, QStringLiteral("Error: Field Amount: must be numeric!"));
    EXPECT_EQ(msgs->calls()[0].flags, dlg::vbCritical);
    EXPECT_EQ(Line(1, "BonusAdd").toDouble(), 0);
    EXPECT_FALSE(stillOpen);

    // Esc leaves without storing.
    onBonus = [&](frmBonusAdd& d) {
        Amount(d)->setText(QStringLiteral("99"));
        PressEscape(Amount(d));
        EXPECT_FALSE(d.isVisible());
    };
    DoubleClick(8, 1);
    EXPECT_EQ(Line(1, "BonusAdd").toDouble(), 0);
    EXPECT_TRUE(msgs->calls().size() == 1u);
}

TEST_F(EditingTest, AdditionalEarningsFindTheirLineByItsOwnPosition)
{
    // Positions 100 and 10 share their first two characters.
    AddScore(QStringLiteral("D1"), kRaceId, 100, AddDriver(QStringLiteral("hundred")), QStringLiteral("Running"), 5, 0, 0, 0);
    w->FillGrids();
    ASSERT_TRUE(w->Grid(8)->TextMatrix(5, 0).startsWith(QStringLiteral("100 ")));
    onBonus = [&](frmBonusAdd& d) {
        Amount(d)->setText(QStringLiteral("75"));
        Button(d, "Command1")->click();
    };
    DoubleClick(8, 5);
    EXPECT_EQ(Line(100, "BonusAdd").toDouble(), 75);
    EXPECT_TRUE(Line(10, "BonusAdd").isNull());
    EXPECT_EQ(rt::Mid(w->Grid(8)->TextMatrix(5, 0), 49, 10), QStringLiteral("        75"));   // one column further

    // The header, a blank row and a line gone meanwhile open nothing.
    DoubleClick(8, 0);
    DoubleClick(8, 30);
    EXPECT_EQ(opened, 1);
    exec("DELETE FROM Score WHERE Posi = 2");
    bool scripted = false;
    onBonus = [&](frmBonusAdd&) { scripted = true; };
    DoubleClick(8, 2);
    EXPECT_EQ(opened, 2);
    EXPECT_FALSE(scripted);
    EXPECT_TRUE(msgs->calls().empty());
}

// As typed: the amount, Tab to "&Ok", Enter.
TEST_F(EditingTest, AdditionalEarningsTypedAndConfirmedWithEnter)
{
    onBonus = [&](frmBonusAdd& d) {
        d.activateWindow();
        Amount(d)->setFocus();
        QApplication::processEvents();
        QTest::keyClick(Amount(d), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(Amount(d), QStringLiteral("1234.5"));
        QTest::keyClick(Amount(d), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), Button(d, "Command1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
    DoubleClick(8, 3);
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(Line(3, "BonusAdd").toDouble(), 1234.5);
}
