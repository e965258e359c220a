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
        sCurDiv = QStringLiteral("SNL");
        ProcessClass p;
        p.RaceDivision = QStringLiteral("SNL");
        p.RaceNo = QStringLiteral("1");
        p.stnFileName = QStringLiteral(TARVIK_TEST_DATA "/race_small.htm");
        p.TrackID = dbMain->lastInsertId();
        ASSERT_TRUE(p.ProcRace()) << msgs->last().toStdString();
        race = p.RaceID;
        sCurDiv.clear();
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
        const auto rows = TableAfterTitle(ReadFile(program->file(QStringLiteral("HTML/SNL_standings.htm"))),
                                          QStringLiteral("Point Standings after Race #1"));
        QHash<QString, QString> points;
        for (size_t i = 2; i < rows.size(); ++i)
            points.insert(rt::Trim(rows[i].value(2)), rt::Trim(rows[i].value(10)));
        return points;
    }
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
