// The Preferences window: live sample, pickers, OK and Cancel.

#include "TestSupport.h"

#include "Database.h"
#include "Forms.h"
#include "Recordset.h"
#include "State.h"
#include "MaskEdBox.h"
#include "frmOptions.h"
#include "WindowDialogs.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QApplication>
#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>
#include <QKeyEvent>
#include <QTest>

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


class OptionsTest : public LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        form = new frmOptions;
        ShowChildWidget(form.data());
    }
    void TearDown() override
    {
        UnloadAllForms();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dlg::SetColorHook({});
        dlg::SetFontHook({});
        LeagueTest::TearDown();
    }
    template <typename T> T* child(const QString& name)
    {
        T* w = form->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    void click(const QString& name) { child<QPushButton>(name)->click(); }
    QColor back(const QString& name) { return child<QWidget>(name)->palette().color(QPalette::Window); }
    QVariant row(const QString& key, const QString& column)
    {
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM Options WHERE Key = '%1'").arg(key));
        return rs->field(column);
    }
    void answerColor(const QColor& c)
    {
        dlg::SetColorHook([c](QColor& out) {
            out = c;
            return true;
        });
    }

    QPointer<frmOptions> form;
};

} // namespace

TEST_F(OptionsTest, OpensWithStoredLookAndAmounts)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Preferences"));
    EXPECT_EQ(child<MaskEdBox>(QStringLiteral("MaskEdBox1_0"))->text(), QStringLiteral("$0.00"));
    EXPECT_EQ(back(QStringLiteral("HD")), QColor(0, 0, 128));
    EXPECT_EQ(child<QLabel>(QStringLiteral("HD"))->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(back(QStringLiteral("BO_4")), QColor(Qt::white));
    EXPECT_EQ(child<QLabel>(QStringLiteral("BO_0"))->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(child<QLabel>(QStringLiteral("BO_0"))->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(child<QLineEdit>(QStringLiteral("Text1"))->text(), QStringLiteral("htm"));
    EXPECT_TRUE(child<QCheckBox>(QStringLiteral("Check2"))->isChecked());
    EXPECT_FALSE(child<QCheckBox>(QStringLiteral("Check1"))->isChecked());
    EXPECT_EQ(form->findChild<QPushButton*>(QStringLiteral("Command2_5")), nullptr);
}

TEST_F(OptionsTest, PickersRepaintSamplesAndSeparators)
{
    answerColor(QColor(255, 0, 0));
    click(QStringLiteral("Command2_7"));
    EXPECT_EQ(dBC1, 255);
    EXPECT_EQ(back(QStringLiteral("BO_0")), QColor(255, 0, 0));
    EXPECT_EQ(back(QStringLiteral("BO_3")), QColor(Qt::white));
    EXPECT_EQ(back(QStringLiteral("Shape2")), QColor(255, 0, 0));

    // Lines ticked: title back colour goes to both separator frames.
    child<QCheckBox>(QStringLiteral("Check1"))->setChecked(true);
    answerColor(QColor(0, 128, 0));
    click(QStringLiteral("Command2_6"));
    EXPECT_EQ(dTC, 128 * 256);
    EXPECT_EQ(back(QStringLiteral("HD")), QColor(0, 128, 0));
    EXPECT_EQ(back(QStringLiteral("Shape2")), QColor(0, 128, 0));
    EXPECT_EQ(back(QStringLiteral("Shape3")), QColor(0, 128, 0));
    child<QCheckBox>(QStringLiteral("Check1"))->setChecked(false);
    EXPECT_EQ(back(QStringLiteral("Shape2")), QColor(255, 0, 0));
    EXPECT_EQ(back(QStringLiteral("Shape3")), QColor(Qt::white));

    // Cancelled dialogs change nothing.
    dlg::SetColorHook([](QColor& c) {
        c = Qt::blue;
        return false;
    });
    click(QStringLiteral("Command2_2"));
    EXPECT_EQ(dBC2, 16777215);
    dlg::SetFontHook([](QFont&) { return false; });
    click(QStringLiteral("Command2_0"));
    EXPECT_EQ(sTFN, QStringLiteral("Arial"));

    dlg::SetFontHook([](QFont& f) {
        f = QFont(QStringLiteral("Courier New"));
        f.setPointSizeF(11.6);
        return true;
    });
    click(QStringLiteral("Command2_1"));
    EXPECT_EQ(sBFN, QStringLiteral("Courier New"));
    EXPECT_EQ(nBFS, 12);
    EXPECT_EQ(child<QLabel>(QStringLiteral("BO_5"))->font().family(), QStringLiteral("Courier New"));
}

TEST_F(OptionsTest, OkWritesBothRowsAndReloads)
{
    answerColor(QColor(255, 0, 0));
    click(QStringLiteral("Command2_7"));
    answerColor(QColor(0, 0, 255));
    click(QStringLiteral("Command2_4"));
    child<MaskEdBox>(QStringLiteral("MaskEdBox1_0"))->setText(QStringLiteral("$1,250.00"));
    child<MaskEdBox>(QStringLiteral("MaskEdBox1_5"))->setText(QStringLiteral("75"));
    child<MaskEdBox>(QStringLiteral("MaskEdBox1_7"))->setText(QStringLiteral("(10.50)"));
    child<QCheckBox>(QStringLiteral("Check1"))->setChecked(true);
    child<QCheckBox>(QStringLiteral("Check2"))->setChecked(false);
    child<QLineEdit>(QStringLiteral("Text1"))->setText(QStringLiteral("php"));
    click(QStringLiteral("Command1"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_TRUE(form.isNull());
    EXPECT_EQ(LoadedFormCount(), 0);
    EXPECT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();
    EXPECT_DOUBLE_EQ(row("1", "Rookie1").toDouble(), 1250);
    EXPECT_DOUBLE_EQ(row("1", "Hard").toDouble(), 75);
    EXPECT_DOUBLE_EQ(row("1", "Pole").toDouble(), -10.5);
    EXPECT_EQ(row("1", "BC1").toString(), QStringLiteral("255"));
    EXPECT_EQ(row("1", "BFC").toLongLong(), 16711680);
    EXPECT_EQ(row("3", "TFC").toString(), QStringLiteral("php"));
    EXPECT_EQ(row("3", "Lines").toInt(), 0);
    // Reloaded from the rows.
    EXPECT_DOUBLE_EQ(dRookie1, 1250);
    EXPECT_DOUBLE_EQ(dHard, 75);
    EXPECT_EQ(dBC1, 255);
    EXPECT_TRUE(bLines);
    EXPECT_EQ(sHtmlExt, QStringLiteral("php"));
    EXPECT_FALSE(bUseStyle);
}

TEST_F(OptionsTest, CancelAndEscapeLeaveEverythingAsBefore)
{
    answerColor(QColor(255, 0, 0));
    click(QStringLiteral("Command2_7"));
    EXPECT_EQ(dBC1, 255);
    child<MaskEdBox>(QStringLiteral("MaskEdBox1_3"))->setText(QStringLiteral("500"));
    child<QLineEdit>(QStringLiteral("Text1"))->setText(QStringLiteral("asp"));
    click(QStringLiteral("Command3"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_EQ(dBC1, 16777215);
    EXPECT_EQ(sHtmlExt, QStringLiteral("htm"));
    EXPECT_DOUBLE_EQ(dChallenge, 0);
    EXPECT_EQ(row("1", "BC1").toString(), QStringLiteral("16777215"));
    EXPECT_EQ(row("3", "TFC").toString(), QStringLiteral("htm"));

    form = new frmOptions;
    ShowChildWidget(form.data());
    click(QStringLiteral("Command2_3"));
    EXPECT_EQ(dTFC, 255);
    // Not from the extension box or the style check box.
    pressEscape(child<QLineEdit>(QStringLiteral("Text1")));
    pressEscape(child<QCheckBox>(QStringLiteral("Check2")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(form.isNull());
    EXPECT_EQ(dTFC, 255);
    pressEscape(child<MaskEdBox>(QStringLiteral("MaskEdBox1_0")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_EQ(dTFC, 16777215);

    // Closed by another command (all windows closed) counts as cancel.
    form = new frmOptions;
    ShowChildWidget(form.data());
    click(QStringLiteral("Command2_6"));
    UnloadAllForms();
    EXPECT_EQ(dTC, 8388608);
}

TEST_F(OptionsTest, EnterPressesOkUnlessAButtonHasTheFocus)
{
    auto* box = child<MaskEdBox>(QStringLiteral("MaskEdBox1_3"));
    box->setText(QStringLiteral("500"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &enter);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_DOUBLE_EQ(row("1", "Challenge").toDouble(), 500);

    // On a button, Enter presses that button.
    form = new frmOptions;
    ShowChildWidget(form.data());
    child<QLineEdit>(QStringLiteral("Text1"))->setText(QStringLiteral("asp"));
    answerColor(QColor(255, 0, 0));
    auto pressEnter = [this](const char* button) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
        QCoreApplication::sendEvent(child<QPushButton>(QString::fromLatin1(button)), &press);
    };
    pressEnter("Command2_7");
    EXPECT_EQ(dBC1, 255);
    pressEnter("Command3");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_EQ(dBC1, 16777215);
    EXPECT_EQ(row("3", "TFC").toString(), QStringLiteral("htm"));
}

TEST_F(OptionsTest, BadAmountIsRefusedAndNothingWritten)
{
    child<MaskEdBox>(QStringLiteral("MaskEdBox1_6"))->setText(QStringLiteral("lots"));
    child<QLineEdit>(QStringLiteral("Text1"))->setText(QStringLiteral("php"));
    click(QStringLiteral("Command1"));
    EXPECT_TRUE(msgs->saw(QStringLiteral("Underdog")));
    EXPECT_FALSE(form.isNull());
    EXPECT_EQ(row("3", "TFC").toString(), QStringLiteral("htm"));

    // Commas after the point are no thousands separators.
    child<MaskEdBox>(QStringLiteral("MaskEdBox1_6"))->setText(QStringLiteral("1,000.5,5"));
    msgs->clear();
    click(QStringLiteral("Command1"));
    EXPECT_TRUE(msgs->saw(QStringLiteral("Underdog")));
    EXPECT_EQ(row("3", "TFC").toString(), QStringLiteral("htm"));
}

TEST_F(OptionsTest, MissingRowIsCreatedWithDefaultsOnOpening)
{
    UnloadAllForms();
    dbMain->execute(QStringLiteral("DELETE * FROM Options WHERE Key = '1'"));
    form = new frmOptions;
    ShowChildWidget(form.data());
    EXPECT_TRUE(msgs->saw(QStringLiteral("Preferences record will be created with default values")));
    EXPECT_EQ(back(QStringLiteral("HD")), QColor(0, 0, 128));
    EXPECT_EQ(child<QLabel>(QStringLiteral("HD"))->palette().color(QPalette::WindowText), QColor(Qt::white));
}

// The amount boxes as a user drives them: clicked, tabbed, typed.
TEST_F(OptionsTest, AmountBoxesShowMoneyAwayAndThePlainNumberWhileTyped)
{
    form->window()->activateWindow();
    QApplication::processEvents();
    auto* first = child<MaskEdBox>(QStringLiteral("MaskEdBox1_0"));
    auto* second = child<MaskEdBox>(QStringLiteral("MaskEdBox1_1"));
    QTest::mouseClick(first, Qt::LeftButton, {}, first->rect().center());
    ASSERT_TRUE(first->hasFocus());
    EXPECT_EQ(first->text(), QStringLiteral("0"));
    QTest::keyClick(first, Qt::Key_Backspace);
    QTest::keyClicks(first, QStringLiteral("1250.5"));
    QTest::keyClick(first, Qt::Key_Tab);
    ASSERT_TRUE(second->hasFocus());
    EXPECT_EQ(first->text(), QStringLiteral("$1,250.50"));
    EXPECT_EQ(second->text(), QStringLiteral("0"));
    QTest::keyClicks(second, QStringLiteral("75"));   // Tab selected the 0
    QTest::keyClick(second, Qt::Key_Backtab);
    EXPECT_EQ(first->text(), QStringLiteral("1250.5"));
    EXPECT_EQ(second->text(), QStringLiteral("$75.00"));
    QTest::keyClick(first, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();
    EXPECT_DOUBLE_EQ(row("1", "Rookie1").toDouble(), 1250.5);
    EXPECT_DOUBLE_EQ(row("1", "Rookie2").toDouble(), 75);
}
