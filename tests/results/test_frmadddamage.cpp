// The damage import dialog: not offered by the race result window, but
// built and working.
#include "EditingFixture.h"
#include "WindowDialogs.h"

using namespace raceresult;

TEST_F(EditingTest, TheDamageDialogImportsTheChosenFileIntoTheShownRace)
{
    // "1,500" below is written as an English-speaking user writes it.
    const testsupport::DefaultLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    QPushButton* open = EditingTest::Button(*w, "commDamage");
    ASSERT_NE(open, nullptr);
    EXPECT_FALSE(open->isVisible());

    const QString file = program->writeFile(
        QStringLiteral("damage.xml"),
        "<?xml version=\"1.0\"?><race><damage-cost-summary>"
        "<driver name=\"ANN\"><b>1,500</b><e>200</e><o>30</o></driver>"
        "<driver name=\"Cid Cole\"><b>1</b><e>2</e><o>3</o></driver>"
        "</damage-cost-summary></race>");
    QString browsedFrom;
    dlg::SetFileHook([&](const dlg::FileCall& call) {
        browsedFrom = call.fileName;
        return file;
    });
    qint64 race = 0;
    onDamage = [&](frmAddDamage& d) {
        race = d.raceId();
        Button(d, "cmdBrowse")->click();
        EXPECT_EQ(Box(d, QStringLiteral("Text1"))->text(), file);
        Button(d, "cmdImport")->click();
    };
    sCurDiv = QStringLiteral("E2");   // another window's choice
    open->click();
    dlg::SetFileHook({});
    EXPECT_EQ(race, kRaceId);
    EXPECT_FALSE(stillOpen);
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM Damage WHERE RaceID = 40000 ORDER BY Posi"));
    ASSERT_EQ(rs->recordCount(), 1);   // "Cid Cole" is stored as cid
    EXPECT_EQ(rs->text(QStringLiteral("Division")), QStringLiteral("D1"));
    EXPECT_EQ(rs->integer(QStringLiteral("Posi")), 1);
    EXPECT_EQ(rs->integer(QStringLiteral("Bodywork")), 1500);
    EXPECT_EQ(msgs->last(), QStringLiteral("Diver Not Found! C Cole"));

    // Esc closes it without importing.
    msgs->clear();
    onDamage = [&](frmAddDamage& d) {
        Box(d, QStringLiteral("Text1"))->setText(file);
        PressEscape(Box(d, QStringLiteral("Text1")));
        EXPECT_FALSE(d.isVisible());
    };
    open->click();
    EXPECT_TRUE(msgs->calls().empty());   // no overwrite question: nothing was imported
    EXPECT_EQ(Count(QStringLiteral("Damage")), 1);
}
