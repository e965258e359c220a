// The road of a corrected race: import, a line corrected and a penalty given
// in the race result window, pages regenerated; the standings show the
// corrected points.
#include "../publish/PageParse.h"
#include "EditingFixture.h"

#include "ProcessClass.h"
#include "WindowDialogs.h"

using namespace pageparse;

namespace {

class EditingRoadTest : public testsupport::LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        RegisterResultsForms();
        dbMain->execute(QStringLiteral("INSERT INTO Division (ID, Name, Numbers, Brands, Teams, Roty, Earnings, PointSystem, \"Drop\") "
                                       "VALUES ('SNL', 'Sunday Night', -1, -1, 0, 0, -1, 1, 0)"));
        dbMain->execute(QStringLiteral("INSERT INTO Tracks (ShortName, FullName, Miles, \"Type\") VALUES ('Pocono', 'Pocono Raceway', 2.5, 2)"));
        track = dbMain->lastInsertId();
        race = Import();
        ASSERT_NE(race, 0) << msgs->last().toStdString();
        sCurDiv.clear();
    }
    // Race 1 of SNL from the small page; its id, 0 when the import failed.
    qint64 Import() const
    {
        sCurDiv = QStringLiteral("SNL");
        ProcessClass p;
        p.RaceDivision = QStringLiteral("SNL");
        p.RaceNo = QStringLiteral("1");
        p.stnFileName = QStringLiteral(TARVIK_TEST_DATA "/race_small.htm");
        p.TrackID = track;
        return p.ProcRace() ? p.RaceID : 0;
    }
    void TearDown() override
    {
        dlg::SetExecHook({});
        LeagueTest::TearDown();
    }
    static QString Name(qint64 driver)
    {
        QString name, number, make;
        GetDriverInfo(driver, name, number, make);
        return rt::Trim(name);
    }
    // The points of each driver on the standings page.
    QHash<QString, QString> StandingsPoints() const
    {
        return StandingsColumn(QStringLiteral("Point Standings after Race #1"), 2, 10);
    }
    // A column of a table of the standings page, by the driver in another.
    QHash<QString, QString> StandingsColumn(const QString& title, int driverColumn, int column) const
    {
        const auto rows = TableAfterTitle(ReadFile(program->file(QStringLiteral("HTML/SNL_standings.htm"))), title);
        QHash<QString, QString> values;
        for (size_t i = 2; i < rows.size(); ++i)
            values.insert(rt::Trim(rows[i].value(driverColumn)), rt::Trim(rows[i].value(column)));
        return values;
    }
    qint64 track = 0;
    qint64 race = 0;
};

} // namespace

TEST_F(EditingRoadTest, ACorrectedLineAndAPenaltyReachTheStandingsPage)
{
    auto line = [&](int posi, const char* column) {
        return dbMain->scalar(QStringLiteral("SELECT ") + QString::fromLatin1(column) + QStringLiteral(" FROM Score WHERE RaceID = ")
                              + QString::number(race) + QStringLiteral(" AND Posi = ") + QString::number(posi));
    };
    const QString first = Name(line(1, "DriverID").toLongLong());
    const QString second = Name(line(2, "DriverID").toLongLong());
    const int secondPoints = line(2, "Points").toInt();

    dlg::SetExecHook([&](QWidget* dialog) {
        dialog->show();
        if (auto* editor = qobject_cast<frmEditRace*>(dialog)) {
            editor->findChild<QLineEdit*>(QStringLiteral("Text1(4)"))->setText(QStringLiteral("250"));
            editor->findChild<QPushButton*>(QStringLiteral("cmdUpdate"))->click();
        } else if (auto* incident = qobject_cast<frmEditIncident*>(dialog)) {
            incident->findChild<QLineEdit*>(QStringLiteral("Text1(2)"))->setText(QStringLiteral("-25"));
            incident->findChild<QPlainTextEdit*>(QStringLiteral("Text1(3)"))->setPlainText(QStringLiteral("Avoidable contact"));
            incident->findChild<QPushButton*>(QStringLiteral("cmdUpdate"))->click();
        }
        return static_cast<QDialog*>(dialog)->result();
    });
    frmRaceResult window;
    window.show();
    auto* combo = window.findChild<QComboBox*>(QStringLiteral("DivName"));
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    ASSERT_EQ(window.ShownRace(), race);

    window.Grid(1)->setRow(1);
    emit window.Grid(1)->DblClick();
    window.Grid(9)->setRow(2);
    emit window.Grid(9)->DblClick();
    EXPECT_EQ(line(1, "Points").toInt(), 250);
    EXPECT_EQ(line(2, "Points").toInt(), secondPoints - 25);
    EXPECT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();

    window.findChild<QPushButton*>(QStringLiteral("commSave"))->click();
    ASSERT_EQ(msgs->last(), QStringLiteral("All HTML Files have been generated"));
    const auto points = StandingsPoints();
    EXPECT_EQ(points.value(first), QStringLiteral("250")) << first.toStdString();
    EXPECT_EQ(points.value(second), QString::number(secondPoints - 25)) << second.toStdString();

    // The race result page shows the adjustment too.
    const QString result = ReadFile(program->file(QStringLiteral("HTML/001SNL_result.htm")));
    EXPECT_TRUE(result.contains(QStringLiteral("Avoidable contact")));
}

// A re-import keeps the scorer's penalty and additional earnings: the
// window, the pages and the standings agree on them, and a later edit of
// the penalty starts from the right points.
TEST_F(EditingRoadTest, HandCorrectionsOfARaceSurviveItsReimport)
{
    QString penalty = QStringLiteral("-25");
    dlg::SetExecHook([&](QWidget* dialog) {
        dialog->show();
        auto* incident = qobject_cast<frmEditIncident*>(dialog);
        incident->findChild<QLineEdit*>(QStringLiteral("Text1(2)"))->setText(penalty);
        incident->findChild<QPlainTextEdit*>(QStringLiteral("Text1(3)"))->setPlainText(QStringLiteral("Rough driving lap 50"));
        incident->findChild<QPushButton*>(QStringLiteral("cmdUpdate"))->click();
        return incident->result();
    });
    auto cid = [] { return dbMain->scalar(QStringLiteral("SELECT Points FROM Score WHERE Posi = 1")).toInt(); };
    frmRaceResult window;
    window.show();
    auto* combo = window.findChild<QComboBox*>(QStringLiteral("DivName"));
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    window.Grid(9)->setRow(1);
    emit window.Grid(9)->DblClick();
    ASSERT_EQ(cid(), 160);
    dbMain->execute(QStringLiteral("UPDATE Score SET BonusAdd = 500 WHERE Posi = 1"));

    msgs->answer(dlg::vbYes);
    ASSERT_EQ(Import(), race) << msgs->last().toStdString();
    EXPECT_EQ(cid(), 160);
    window.FillGrids();
    EXPECT_TRUE(window.Grid(1)->TextMatrix(1, 0).contains(QStringLiteral(" 160  Running")));
    EXPECT_TRUE(window.Grid(9)->TextMatrix(1, 0).endsWith(QStringLiteral("-25   Rough driving lap 50")));
    msgs->clear();
    window.findChild<QPushButton*>(QStringLiteral("commSave"))->click();
    ASSERT_EQ(msgs->last(), QStringLiteral("All HTML Files have been generated"));
    EXPECT_EQ(StandingsPoints().value(QStringLiteral("Cid Cole")), QStringLiteral("160"));
    EXPECT_EQ(StandingsColumn(QStringLiteral("Driver Earnings"), 1, 3).value(QStringLiteral("Cid Cole")), QStringLiteral("500"));
    const auto lines = TableRows(ReadFile(program->file(QStringLiteral("HTML/001SNL_result.htm"))));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QStringList& row) {
        return row.value(0) == QStringLiteral("1") && rt::Trim(row.value(7)) == QStringLiteral("160");
    }));

    penalty = QStringLiteral("-30");
    emit window.Grid(9)->DblClick();
    EXPECT_EQ(cid(), 155);
}
