// The whole road of one race: import window, race data editor, earnings.
#include "../import/PageSeed.h"
#include "../import/RaceSeed.h"
#include "RegisterImportForms.h"
#include "RegisterResultsForms.h"
#include "TestSupport.h"
#include "frmProcess.h"
#include "frmRaces.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "FormRegistry.h"
#include "ProcessClass.h"
#include "Options.h"
#include "Runtime.h"
#include "WindowDialogs.h"

using testsupport::LeagueTest;

namespace {

class ImportRoadTest : public LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        RegisterImportForms();
        RegisterResultsForms();
        seed::Division(QStringLiteral("W1"), true);
        dbMain->execute(QStringLiteral("INSERT INTO Tracks (ShortName, FullName, Miles, \"Type\") VALUES "
                                       "('Dover', 'Dover International Speedway', 1, 1)"));
        // Bob has a fixed bonus, Dee is a rookie; Ann and Cid are new.
        bob = seed::Driver(QStringLiteral("Bob Baker"));
        dee = seed::Driver(QStringLiteral("Dee Dunn"));
        dbMain->execute(QStringLiteral("INSERT INTO Rookies (Division, DriverID) VALUES ('W1', ?)"), {dee});
        dbMain->execute(QStringLiteral("INSERT INTO Bonus (DivID, DriverID, Bonus) VALUES ('W1', ?, 7)"), {bob});
        dbMain->execute(QStringLiteral("UPDATE Options SET Pole = 100, Hard = 50.5, Challenge = 30, Headache = 20, "
                                       "Rookie1 = 15, Rookie2 = 10, Rookie3 = 5, Underdog = 25 WHERE \"Key\" = '1'"));
        LoadOptions();
    }
    void TearDown() override
    {
        dlg::SetFileHook({});
        dlg::SetExecHook({});
        LeagueTest::TearDown();
    }
    qint64 Id(const QString& online)
    {
        return dbMain->scalar(QStringLiteral("SELECT DriverID FROM Drivers WHERE OnlineID = ") + dao::quote(online)).toLongLong();
    }
    double Rate(int pos)
    {
        return dbMain->scalar(QStringLiteral("SELECT Rate FROM Rates WHERE Pos = ") + QString::number(pos)).toDouble();
    }
    qint64 bob = 0, dee = 0;
};

} // namespace

TEST_F(ImportRoadTest, ImportReviewPurseAndFindEarningsAndBonuses)
{
    const QString pagePath = program->writeFile(QStringLiteral("STN/race1.htm"),
                                                page::FourCars(QStringLiteral("Dover International Speedway")));
    dlg::SetFileHook([&](const dlg::FileCall&) { return pagePath; });
    bool editorShown = false;
    dlg::SetExecHook([&](QWidget* dialog) {
        auto* editor = qobject_cast<frmRaces*>(dialog);
        if (!editor)
            return 0;
        editorShown = true;
        editor->show();
        editor->findChild<QLineEdit*>(QStringLiteral("txtFields(12)"))->setText(QStringLiteral("$20,000"));
        editor->findChild<QPushButton*>(QStringLiteral("cmdUpdate"))->click();
        return editor->result();
    });
    msgs->answer(dlg::vbOK);    // two drivers added
    msgs->answer(dlg::vbYes);   // review the race information

    std::unique_ptr<QWidget> window(CreateForm(QStringLiteral("frmProcess")));
    ASSERT_TRUE(window);
    window->show();
    auto* divName = window->findChild<QComboBox*>(QStringLiteral("DivName"));
    divName->setCurrentIndex(0);
    emit divName->activated(0);
    EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("Race"))->text(), QStringLiteral("1"));
    window->findChild<QPushButton*>(QStringLiteral("Command_Browse"))->click();
    EXPECT_EQ(window->findChild<QComboBox*>(QStringLiteral("Tracks"))->currentText(), QStringLiteral("Dover"));
    window->findChild<QPushButton*>(QStringLiteral("Command_Process"))->click();

    ASSERT_GE(msgs->calls().size(), 2u) << msgs->last().toStdString();
    EXPECT_EQ(msgs->calls()[0].prompt, QStringLiteral(" 2 driver(s) has been added to the Drivers Table."));
    EXPECT_EQ(msgs->calls()[1].prompt, QStringLiteral("Process Complete!, do you want to review the race information?"));
    EXPECT_EQ(msgs->calls().size(), 2u) << msgs->last().toStdString();
    EXPECT_TRUE(editorShown);
    EXPECT_FALSE(window->isVisible());

    const qint64 race = lSelID;
    EXPECT_EQ(dbMain->scalar(QStringLiteral("SELECT Purse FROM Races WHERE ID = ") + QString::number(race)).toDouble(), 20000);
    EXPECT_EQ(dbMain->scalar(QStringLiteral("SELECT TrackID FROM Races WHERE ID = ") + QString::number(race)).toInt(), 1);
    EXPECT_EQ(dbMain->scalar(QStringLiteral("SELECT RaceDate FROM Races WHERE ID = ") + QString::number(race)).toString(),
              QStringLiteral("Sat Jun 12 21:00:00 2004"));   // the editor's save keeps the page's date

    const qint64 ann = Id(QStringLiteral("Ann Able")), cid = Id(QStringLiteral("Cid Cole"));
    const struct { qint64 id; int posi; double bonus; } expected[] = {
        {cid, 1, 50.5 + 30},   // most laps led, most places gained (3rd to 1st)
        {ann, 2, 100 + 25},    // pole, best finisher who never won
        {dee, 3, 15},          // first rookie
        {bob, 4, 20 + 7},      // most places lost, fixed bonus
    };
    for (const auto& e : expected) {
        EXPECT_EQ(seed::ScoreValue(race, e.id, QStringLiteral("Posi")), e.posi);
        EXPECT_EQ(seed::ScoreValue(race, e.id, QStringLiteral("Earnings")), rt::RoundHalfEven(20000 * Rate(e.posi) / 100))
            << e.posi;
        EXPECT_EQ(seed::ScoreValue(race, e.id, QStringLiteral("Bonus")), e.bonus) << e.posi;
    }
}

TEST_F(ImportRoadTest, MoneyEarningsFilePaysAtImportWithBonuses)
{
    dbMain->execute(QStringLiteral("UPDATE Division SET EarningsFile = 'money.txt' WHERE ID = 'W1'"));
    program->writeFile(QStringLiteral("money.txt"), "[money]\r\n1,1000\r\n2,800\r\n3,600.5\r\n4,400\r\n");
    const QString pagePath = program->writeFile(QStringLiteral("STN/race1.htm"),
                                                page::FourCars(QStringLiteral("Dover International Speedway")));
    dlg::SetFileHook([&](const dlg::FileCall&) { return pagePath; });
    msgs->answer(dlg::vbOK);
    msgs->answer(dlg::vbNo);

    sCurDiv = QStringLiteral("W1");
    frmProcess window;
    window.show();
    window.findChild<QPushButton*>(QStringLiteral("Command_Browse"))->click();
    window.findChild<QPushButton*>(QStringLiteral("Command_Process"))->click();
    EXPECT_FALSE(window.isVisible()) << msgs->last().toStdString();

    const qint64 race = lSelID;
    EXPECT_EQ(seed::ScoreValue(race, dee, QStringLiteral("Earnings")), 600.5);
    EXPECT_EQ(seed::ScoreValue(race, Id(QStringLiteral("Cid Cole")), QStringLiteral("Earnings")), 1000);
    EXPECT_EQ(seed::ScoreValue(race, bob, QStringLiteral("Bonus")), 27);
    EXPECT_EQ(seed::ScoreValue(race, Id(QStringLiteral("Ann Able")), QStringLiteral("Bonus")), 125);
}

TEST_F(ImportRoadTest, ReimportAndAnUnchangedReviewPayThePurseAgain)
{
    const QString pagePath = program->writeFile(QStringLiteral("STN/race1.htm"),
                                                page::FourCars(QStringLiteral("Dover International Speedway")));
    ProcessClass import;
    import.RaceDivision = QStringLiteral("W1");
    import.RaceNo = QStringLiteral("1");
    import.stnFileName = pagePath;
    import.TrackID = 1;
    ASSERT_TRUE(import.ProcRace());
    const qint64 race = import.RaceID;
    auto review = [&](const QString& purse) {
        bEditMode = true;
        lSelID = race;
        frmRaces editor;
        editor.show();
        if (!purse.isEmpty())
            editor.findChild<QLineEdit*>(QStringLiteral("txtFields(12)"))->setText(purse);
        editor.findChild<QPushButton*>(QStringLiteral("cmdUpdate"))->click();
        EXPECT_FALSE(editor.isVisible()) << msgs->last().toStdString();
    };
    auto money = [&] {
        QStringList rows;
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT Posi, Earnings, Bonus FROM Score WHERE RaceID = ? ORDER BY Posi"), {race});
        for (; !rs->eof(); rs->moveNext())
            rows << rs->text(QStringLiteral("Posi")) + QLatin1Char('|') + rs->text(QStringLiteral("Earnings"), QStringLiteral("null"))
                    + QLatin1Char('|') + rs->text(QStringLiteral("Bonus"), QStringLiteral("null"));
        return rows;
    };
    review(QStringLiteral("$20,000"));
    const QStringList paid = money();
    ASSERT_EQ(paid.size(), 4);
    EXPECT_EQ(paid[0], QStringLiteral("1|%1|80.5").arg(rt::RoundHalfEven(20000 * Rate(1) / 100)));

    msgs->answer(dlg::vbYes);   // overwrite the results
    ProcessClass again;
    again.RaceDivision = QStringLiteral("W1");
    again.RaceNo = QStringLiteral("1");
    again.stnFileName = pagePath;
    again.TrackID = 1;
    ASSERT_TRUE(again.ProcRace()) << msgs->last().toStdString();
    EXPECT_EQ(money(), paid);

    // Money lost by an earlier re-import: OK without a change pays it.
    dbMain->execute(QStringLiteral("UPDATE Score SET Earnings = NULL, Bonus = NULL WHERE RaceID = ?"), {race});
    review(QString());
    EXPECT_EQ(money(), paid);
}
