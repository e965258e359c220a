#include "../PageSeed.h"
#include "../RaceSeed.h"
#include "TestSupport.h"
#include "frmProcess.h"
#include "WindowDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using testsupport::LeagueTest;

namespace {

class FrmProcessTest : public LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        seed::Division(QStringLiteral("W1"));
        seed::Division(QStringLiteral("AB"));
        dbMain->execute(QStringLiteral("INSERT INTO Tracks (ShortName, FullName, Miles, \"Type\") VALUES "
                                       "('Dover', 'Dover International Speedway', 1, 1), "
                                       "('Pocono', 'Pocono Raceway\u00AE', 2.5, 2)"));
    }
    void TearDown() override
    {
        dlg::SetFileHook({});
        LeagueTest::TearDown();
    }
    std::unique_ptr<frmProcess> Open()
    {
        auto f = std::make_unique<frmProcess>();
        f->show();
        return f;
    }
    template <typename T>
    static T* Get(frmProcess& f, const char* name)
    {
        return f.findChild<T*>(QString::fromLatin1(name));
    }
    static void ChooseDivision(frmProcess& f, const QString& id)
    {
        auto* names = Get<QComboBox>(f, "DivName");
        const int i = names->findData(id);
        names->setCurrentIndex(i);
        emit names->activated(i);
    }
    static void TypeFile(frmProcess& f, const QString& name)
    {
        auto* box = Get<QLineEdit>(f, "STNFile");
        box->setText(name);
        emit box->editingFinished();
    }
    int Races() { return dbMain->scalar(QStringLiteral("SELECT Count(*) FROM Races")).toInt(); }
};

} // namespace

TEST_F(FrmProcessTest, DivisionChoiceProposesTheNextScoredRace)
{
    const qint64 a = seed::Driver(QStringLiteral("A"));
    for (int n : {2, 7, 10})
        seed::Race(QStringLiteral("W1"), QString::number(n));
    seed::Score(QStringLiteral("W1"), seed::Race(QStringLiteral("W1"), QStringLiteral("07")), 1, a);
    seed::Score(QStringLiteral("W1"), seed::Race(QStringLiteral("W1"), QStringLiteral("3")), 1, a);
    seed::Race(QStringLiteral("W1"), QStringLiteral("8"));   // entered, not yet scored

    auto f = Open();
    EXPECT_EQ(Get<QComboBox>(*f, "DivName")->currentIndex(), -1);
    EXPECT_EQ(Get<QComboBox>(*f, "Tracks")->currentText(), QStringLiteral("Track"));
    ChooseDivision(*f, QStringLiteral("W1"));
    EXPECT_EQ(sCurDiv, QStringLiteral("W1"));
    EXPECT_EQ(Get<QLineEdit>(*f, "Race")->text(), QStringLiteral("8"));
    ChooseDivision(*f, QStringLiteral("AB"));
    EXPECT_EQ(Get<QLineEdit>(*f, "Race")->text(), QStringLiteral("1"));
    EXPECT_TRUE(msgs->calls().empty());

    // A division chosen in another window is shown chosen here.
    sCurDiv = QStringLiteral("w1");
    auto g = Open();
    EXPECT_EQ(Get<QComboBox>(*g, "DivName")->currentText(), QStringLiteral("W1 Cup"));
    EXPECT_EQ(Get<QLineEdit>(*g, "Race")->text(), QStringLiteral("8"));

    Get<QLineEdit>(*g, "Race")->setText(QString());
    EXPECT_EQ(msgs->last(), QStringLiteral("Race Number must be numeric"));
    Get<QLineEdit>(*g, "Race")->setText(QStringLiteral(" 9 "));
    EXPECT_EQ(Get<QLineEdit>(*g, "Race")->text(), QStringLiteral("9"));
}

TEST_F(FrmProcessTest, TrackIsProposedFromThePageIgnoringCaseAndTheRegisteredSign)
{
    auto f = Open();
    program->writeFile(QStringLiteral("STN/dover.htm"), page::FourCars(QStringLiteral("DOVER International Speedway\u00AE")));
    program->writeFile(QStringLiteral("STN/pocono.htm"), page::FourCars(QStringLiteral("Pocono Raceway")));
    program->writeFile(QStringLiteral("STN/mars.htm"), page::FourCars(QStringLiteral("Mars Speedway")));
    program->writeFile(QStringLiteral("STN/notrack.htm"), "<HTML>\r\nnothing here\r\n</HTML>\r\n");

    EXPECT_EQ(f->ReadTrackName(program->file(QStringLiteral("STN/dover.htm"))),
              QStringLiteral("DOVER International Speedway\u00AE"));
    EXPECT_EQ(Get<QComboBox>(*f, "Tracks")->currentText(), QStringLiteral("Track"));

    TypeFile(*f, program->file(QStringLiteral("STN/pocono.htm")));
    EXPECT_EQ(Get<QComboBox>(*f, "Tracks")->currentText(), QStringLiteral("Pocono"));
    TypeFile(*f, program->file(QStringLiteral("STN/dover.htm")));
    EXPECT_EQ(Get<QComboBox>(*f, "Tracks")->currentText(), QStringLiteral("Dover"));
    TypeFile(*f, program->file(QStringLiteral("STN/gone.htm")));
    EXPECT_EQ(msgs->last(), QStringLiteral("Unable to open file ") + program->file(QStringLiteral("STN/gone.htm")));
    EXPECT_EQ(Get<QComboBox>(*f, "Tracks")->currentText(), QStringLiteral("Dover"));
    TypeFile(*f, program->file(QStringLiteral("STN/mars.htm")));
    EXPECT_EQ(Get<QComboBox>(*f, "Tracks")->currentText(), QStringLiteral("*** NOT FOUND ***"));
    TypeFile(*f, program->file(QStringLiteral("STN/notrack.htm")));
    EXPECT_EQ(Get<QComboBox>(*f, "Tracks")->currentText(), QStringLiteral("*** NOT FOUND ***"));

    EXPECT_EQ(frmProcess::GetTrackID(QStringLiteral("pocono")), 2);
    EXPECT_EQ(frmProcess::GetTrackID(QStringLiteral("Mars")), 0);
}

TEST_F(FrmProcessTest, TypedAndBrowsedNamesAreTheSamePage)
{
    const QString dover = program->writeFile(QStringLiteral("STN/dover.htm"), page::FourCars(QStringLiteral("Dover International Speedway")));
    const QString pocono = program->writeFile(QStringLiteral("STN/pocono.htm"), page::FourCars(QStringLiteral("Pocono Raceway")));
    dlg::FileCall asked;
    dlg::SetFileHook([&](const dlg::FileCall& call) {
        asked = call;
        return dover;
    });
    auto f = Open();
    Get<QPushButton>(*f, "Command_Browse")->click();
    EXPECT_EQ(QFileInfo(asked.startFolder).canonicalFilePath(), QFileInfo(program->file(QStringLiteral("STN"))).canonicalFilePath());
    EXPECT_EQ(Get<QLineEdit>(*f, "STNFile")->text(), QStringLiteral("dover.htm"));
    EXPECT_EQ(sStnPath, dover);
    EXPECT_EQ(Get<QComboBox>(*f, "Tracks")->currentText(), QStringLiteral("Dover"));

    // A name typed over the browsed one is read from the same folder, and
    // that page is what the import gets.
    TypeFile(*f, QStringLiteral("pocono.htm"));
    EXPECT_EQ(QFileInfo(sStnPath).canonicalFilePath(), QFileInfo(pocono).canonicalFilePath());
    EXPECT_EQ(Get<QComboBox>(*f, "Tracks")->currentText(), QStringLiteral("Pocono"));
    TypeFile(*f, QString());
    EXPECT_TRUE(sStnPath.isEmpty());
}

TEST_F(FrmProcessTest, ProcessRefusesAMissingDivisionOrAnUnknownTrack)
{
    program->writeFile(QStringLiteral("STN/dover.htm"), page::FourCars(QStringLiteral("Dover International Speedway")));
    auto f = Open();
    auto* process = Get<QPushButton>(*f, "Command_Process");
    process->click();
    EXPECT_EQ(msgs->last(), QStringLiteral("Division must be entered"));
    EXPECT_EQ(f->focusWidget(), Get<QComboBox>(*f, "DivName"));

    ChooseDivision(*f, QStringLiteral("W1"));
    TypeFile(*f, program->file(QStringLiteral("STN/dover.htm")));
    auto* tracks = Get<QComboBox>(*f, "Tracks");
    for (const QString& typed : {QStringLiteral("Dovr"), QStringLiteral("Track"), QString(), QStringLiteral("*** NOT FOUND ***")}) {
        msgs->clear();
        tracks->setEditText(typed);
        process->click();
        EXPECT_EQ(msgs->last(), QStringLiteral("Track must be entered")) << typed.toStdString();
        EXPECT_TRUE(msgs->calls().back().flags & dlg::vbCritical);
        EXPECT_TRUE(f->focusWidget() == tracks || f->focusWidget() == tracks->lineEdit());
    }
    EXPECT_EQ(Races(), 0);
    EXPECT_TRUE(f->isVisible());
}

TEST_F(FrmProcessTest, ATypedTrackNameStaysThatTrack)
{
    dbMain->execute(QStringLiteral("INSERT INTO Tracks (ShortName, FullName, Miles, \"Type\") VALUES "
                                   "('Richmond', 'Richmond Raceway', 0.75, 0), ('Rich', 'Rich Oval', 1, 1)"));
    const qint64 rich = dbMain->scalar(QStringLiteral("SELECT ID FROM Tracks WHERE ShortName = 'Rich'")).toLongLong();
    program->writeFile(QStringLiteral("STN/mars.htm"), page::FourCars(QStringLiteral("Mars Speedway")));
    auto f = Open();
    f->activateWindow();
    QApplication::processEvents();
    ChooseDivision(*f, QStringLiteral("W1"));
    TypeFile(*f, program->file(QStringLiteral("STN/mars.htm")));
    auto* tracks = Get<QComboBox>(*f, "Tracks");
    ASSERT_EQ(tracks->currentText(), QStringLiteral("*** NOT FOUND ***"));

    // Tab from the race number into the track box, type, Tab on, Enter.
    auto* race = Get<QLineEdit>(*f, "Race");
    race->setFocus();
    QTest::keyClick(race, Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Ric"));
    EXPECT_EQ(tracks->currentText(), QStringLiteral("Rich"));   // still completed
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("h"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(tracks->currentText(), QStringLiteral("Rich"));
    msgs->answer(dlg::vbNo);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dbMain->scalar(QStringLiteral("SELECT TrackID FROM Races")).toLongLong(), rich);
}
