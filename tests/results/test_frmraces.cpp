#include "../import/RaceSeed.h"
#include "TestSupport.h"
#include "frmRaces.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

using testsupport::LeagueTest;

namespace {

class FrmRacesTest : public LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        seed::Division(QStringLiteral("W1"), true);
        seed::Division(QStringLiteral("NE"), false);
        dbMain->execute(QStringLiteral("DELETE * FROM Rates"));
        dbMain->execute(QStringLiteral("INSERT INTO Rates (Pos, Rate) VALUES (1, 10)"));
        dbMain->execute(QStringLiteral("INSERT INTO Rates (Pos, Rate) VALUES (2, 2.5)"));
        race = seed::Race(QStringLiteral("W1"), QStringLiteral("3"));
        a = seed::Driver(QStringLiteral("A"));
        b = seed::Driver(QStringLiteral("B"));
        seed::Score(QStringLiteral("W1"), race, 1, a, 0, 5);
        seed::Score(QStringLiteral("W1"), race, 2, b, 9, 5);
        dHard = 40;
    }
    void TearDown() override
    {
        QLocale::setDefault(QLocale::c());
        LeagueTest::TearDown();
    }
    std::unique_ptr<frmRaces> Open(bool edit, qint64 id = 0)
    {
        bEditMode = edit;
        lSelID = id;
        auto f = std::make_unique<frmRaces>();
        f->show();
        return f;
    }
    static QLineEdit* Field(frmRaces& f, int i)
    {
        return f.findChild<QLineEdit*>(QStringLiteral("txtFields(%1)").arg(i));
    }
    static void Ok(frmRaces& f) { f.findChild<QPushButton*>(QStringLiteral("cmdUpdate"))->click(); }
    static void Cancel(frmRaces& f) { f.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click(); }
    QString RaceText(qint64 id, const QString& column)
    {
        return dbMain->scalar(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM Races WHERE ID = ") + QString::number(id))
            .toString();
    }
    qint64 race = 0, a = 0, b = 0;
};

} // namespace

TEST_F(FrmRacesTest, EditLoadsTheRowAndSavesOnlyWhatChanged)
{
    auto f = Open(true, race);
    EXPECT_EQ(Field(*f, 3)->text(), QStringLiteral("Dover"));
    EXPECT_EQ(Field(*f, 12)->text(), QStringLiteral("0"));
    EXPECT_FALSE(Field(*f, 1)->isEnabled());
    EXPECT_FALSE(Field(*f, 2)->isEnabled());

    Field(*f, 3)->setText(QStringLiteral("Dover's Monster"));
    Field(*f, 4)->setText(QStringLiteral("05/02'04"));
    Ok(*f);
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(RaceText(race, QStringLiteral("Venue")), QStringLiteral("Dover's Monster"));
    EXPECT_EQ(RaceText(race, QStringLiteral("RaceDate")), QStringLiteral("05/02'04"));
    EXPECT_EQ(RaceText(race, QStringLiteral("Flags")), QStringLiteral("3"));
    EXPECT_EQ(seed::ScoreValue(race, a, QStringLiteral("Earnings")), 5);   // no earnings run
    EXPECT_TRUE(msgs->calls().empty());

    // Cancel: nothing changed closes at once, a trailing blank is no change.
    auto g = Open(true, race);
    Field(*g, 11)->setText(Field(*g, 11)->text() + QStringLiteral(" "));
    Cancel(*g);
    EXPECT_FALSE(g->isVisible());
    EXPECT_TRUE(msgs->calls().empty());

    auto h = Open(true, race);
    Field(*h, 11)->setText(QStringLiteral("Other"));
    msgs->answer(dlg::vbNo);
    Cancel(*h);
    EXPECT_TRUE(h->isVisible());
    EXPECT_EQ(msgs->last(), QStringLiteral("All changes will be lost, do you want to continue"));
    EXPECT_EQ(msgs->calls().back().title, QStringLiteral("Verify"));
}

TEST_F(FrmRacesTest, ChangedPurseComputesEarningsAndBonusesInADivisionWithEarnings)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto f = Open(true, race);
    Field(*f, 12)->setText(QStringLiteral("$15,000.00"));
    Ok(*f);
    ASSERT_FALSE(f->isVisible()) << msgs->last().toStdString();
    EXPECT_EQ(dbMain->scalar(QStringLiteral("SELECT Purse FROM Races WHERE ID = ") + QString::number(race)).toDouble(), 15000);
    EXPECT_EQ(seed::ScoreValue(race, a, QStringLiteral("Earnings")), 1500);
    EXPECT_EQ(seed::ScoreValue(race, b, QStringLiteral("Earnings")), 375);
    EXPECT_EQ(seed::ScoreValue(race, b, QStringLiteral("Bonus")), 40);   // most laps led
    EXPECT_EQ(sCurDiv, QStringLiteral("W1"));

    // A division without earnings: the row changes, the division is loaded,
    // nothing is paid.
    const qint64 other = seed::Race(QStringLiteral("NE"), QStringLiteral("1"));
    seed::Score(QStringLiteral("NE"), other, 1, a, 0, 7);
    auto g = Open(true, other);
    Field(*g, 12)->setText(QStringLiteral("20000"));
    Ok(*g);
    EXPECT_FALSE(g->isVisible());
    EXPECT_EQ(sCurDiv, QStringLiteral("NE"));
    EXPECT_FALSE(bEarnings);
    EXPECT_EQ(seed::ScoreValue(other, a, QStringLiteral("Earnings")), 7);
}

TEST_F(FrmRacesTest, NonNumbersAreRefusedWithAMessage)
{
    auto f = Open(true, race);
    Field(*f, 7)->setText(QStringLiteral("three"));
    Ok(*f);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(msgs->last(), QStringLiteral("Flags must be a whole number."));
    EXPECT_TRUE(msgs->calls().back().flags & dlg::vbCritical);

    Field(*f, 7)->setText(QStringLiteral("99999999999999999999"));   // too long to store
    Ok(*f);
    EXPECT_EQ(msgs->last(), QStringLiteral("Flags must be a whole number."));

    Field(*f, 7)->setText(QStringLiteral("+4"));
    Field(*f, 10)->setText(QString());
    Ok(*f);
    EXPECT_EQ(msgs->last(), QStringLiteral("Leaders must be a whole number."));

    Field(*f, 10)->setText(QStringLiteral("2"));
    Field(*f, 12)->setText(QStringLiteral("lots"));
    Ok(*f);
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(msgs->last().startsWith(QStringLiteral("Purse must be an amount")));
    msgs->clear();
    Field(*f, 12)->setText(QStringLiteral("1e30"));
    Ok(*f);
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(msgs->last().startsWith(QStringLiteral("Purse must be an amount")));
    EXPECT_EQ(RaceText(race, QStringLiteral("Flags")), QStringLiteral("3"));
    EXPECT_EQ(RaceText(race, QStringLiteral("Leader")), QStringLiteral("4"));
}

TEST_F(FrmRacesTest, NewRaceTakesTheCurrentDivisionAndAPurseOfZero)
{
    sCurDiv = QStringLiteral("W1");
    auto f = Open(false);
    EXPECT_EQ(Field(*f, 1)->text(), QStringLiteral("W1"));
    EXPECT_FALSE(Field(*f, 12)->isEnabled());
    EXPECT_FALSE(Field(*f, 7)->isEnabled());
    EXPECT_TRUE(Field(*f, 2)->isEnabled());

    msgs->answer(dlg::vbNo);
    Cancel(*f);   // the division alone counts as a change
    EXPECT_TRUE(f->isVisible());

    Field(*f, 2)->setText(QStringLiteral("4"));
    Field(*f, 11)->setText(QStringLiteral("Bob's 500"));
    Field(*f, 3)->setText(QStringLiteral("Talladega"));
    Ok(*f);
    EXPECT_FALSE(f->isVisible());
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM Races WHERE RaceNo = '4'"));
    ASSERT_FALSE(rs->eof());
    EXPECT_EQ(rs->text(QStringLiteral("Division")), QStringLiteral("W1"));
    EXPECT_EQ(rs->text(QStringLiteral("RaceName")), QStringLiteral("Bob's 500"));
    EXPECT_EQ(rs->number(QStringLiteral("Purse")), 0);
    EXPECT_TRUE(rs->isNull(QStringLiteral("Flags")));
}

TEST_F(FrmRacesTest, LongTextsTakeTheWholeWidthAndRowsDoNotOverlap)
{
    auto f = Open(true, race);
    QApplication::processEvents();
    const int division = Field(*f, 1)->width();
    for (int i : {11, 3, 4, 6, 5}) {
        EXPECT_GT(Field(*f, i)->width(), division * 2) << i;
        EXPECT_EQ(Field(*f, i)->x(), Field(*f, 1)->x()) << i;
    }
    // Each row sits below the one before it.
    const int order[] = {1, 11, 3, 4, 6, 5, 7, 9, 12};
    for (int k = 1; k < 9; ++k)
        EXPECT_GE(Field(*f, order[k])->y(), Field(*f, order[k - 1])->geometry().bottom()) << order[k];
}

TEST_F(FrmRacesTest, LongImportedTextsAreKeptWhole)
{
    // The page's date and weather texts are longer than what can be typed.
    const QString date = QStringLiteral("Sat Jun 12 21:00:00 2004");
    const QString weather = QStringLiteral("Partly cloudy, 78 degrees F, wind from the west at 12 mph");
    dbMain->execute(QStringLiteral("UPDATE Races SET RaceDate = ?, Weather = ? WHERE ID = ?"), {date, weather, race});

    auto f = Open(true, race);
    EXPECT_EQ(Field(*f, 4)->text(), date);
    Cancel(*f);   // nothing changed: no question
    EXPECT_FALSE(f->isVisible());
    EXPECT_TRUE(msgs->calls().empty());

    auto g = Open(true, race);
    Field(*g, 11)->setText(QStringLiteral("Summer 300"));
    Ok(*g);
    EXPECT_FALSE(g->isVisible());
    EXPECT_EQ(RaceText(race, QStringLiteral("RaceDate")), date);
    EXPECT_EQ(RaceText(race, QStringLiteral("Weather")), weather);

    // An id longer than five digits is no change either.
    dbMain->execute(QStringLiteral("INSERT INTO Races (ID, Division, RaceNo, Flags, Flagsq, Changes, Leader, Purse) "
                                   "VALUES (1234567, 'W1', '9', 0, 0, 0, 0, 0)"));
    auto h = Open(true, 1234567);
    Cancel(*h);
    EXPECT_FALSE(h->isVisible());
    EXPECT_TRUE(msgs->calls().empty());
}

TEST_F(FrmRacesTest, TabbingIntoAFieldTrimsItsEndAndSelectsNothing)
{
    dbMain->execute(QStringLiteral("UPDATE Races SET Venue = ' Dover  ' WHERE ID = ?"), {race});
    auto f = Open(true, race);
    f->activateWindow();
    Field(*f, 11)->setFocus();
    QApplication::processEvents();
    for (int next : {3, 4}) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &tab);
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), Field(*f, next));
        EXPECT_FALSE(Field(*f, next)->hasSelectedText()) << next;
    }
    EXPECT_EQ(Field(*f, 3)->text(), QStringLiteral(" Dover"));
}
