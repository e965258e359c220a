// "&Generate Files" on imported races: every page of the race, the
// schedule, the standings and the statistics, their names, headings, cells
// and links.

#include "../import/PageSeed.h"
#include "../publish/PageParse.h"
#include "Database.h"
#include "HTMLClass.h"
#include "Lookups.h"
#include "MSFlexGrid.h"
#include "ProcessClass.h"
#include "QueryDef.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "TestSupport.h"
#include "frmRaceResult.h"
#include "frmRecords.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <sqlite3.h>

using namespace pageparse;

namespace {

// Longer than the 28 characters the result page once kept of it.
const QString kQualWeather = QStringLiteral("Cloudy & windy, 85 \u00B0F, Northwest 16 mph");

QString HTMLEscaped(const QString& text)
{
    return HTMLClass::Escape(text);
}

class GenerateFilesTest : public testsupport::LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        bLines = false;
        dbMain->execute(QStringLiteral("INSERT INTO Division (ID, Name, Numbers, Brands, Teams, Roty, Earnings, PointSystem, \"Drop\") "
                                       "VALUES ('SNL', 'Sunday Night & Co', -1, -1, 2, -1, -1, 1, 0)"));
        dbMain->execute(QStringLiteral("INSERT INTO Division (ID, Name, Numbers, Brands, Teams, Roty, Earnings, PointSystem, \"Drop\") "
                                       "VALUES ('NEW', 'Empty Series', -1, -1, 0, 0, 0, 1, 0)"));
        pocono = AddTrack(QStringLiteral("Pocono"), QStringLiteral("Pocono Raceway"), 2.5);
        martinsville = AddTrack(QStringLiteral("Martinsville"), QStringLiteral("Martinsville Speedway"), 0.526);
        // A team and a rookie known before the races are imported.
        dbMain->execute(QStringLiteral("INSERT INTO Drivers (OnlineID, Name, \"Number\", Brand) VALUES "
                                       "('Ann Able', 'Ann Able', '12', 'Ford'), ('Cid Cole', 'Cid Cole', '44', 'Dodge')"));
        dbMain->execute(QStringLiteral("INSERT INTO Teams (Division, Team_Name, Driver_1, Driver_2, Driver_3, Driver_4, Driver_5, "
                                       "Driver_6) VALUES ('SNL', 'Able & <Cole>', 1, 2, 0, 0, 0, 0)"));
        dbMain->execute(QStringLiteral("INSERT INTO Rookies (Division, DriverID) VALUES ('SNL', 2)"));

        race1 = Import(QStringLiteral("1"), QStringLiteral("race_small.htm"), pocono);
        race2 = Import(QStringLiteral("2"), QStringLiteral("race_full43.htm"), martinsville);
        race10 = Import(QStringLiteral("10"), QStringLiteral("race_small.htm"), pocono);
        // A race on the calendar, not run yet.
        dbMain->execute(QStringLiteral("INSERT INTO Races (Division, RaceNo, Venue, RaceDate, RaceName, TrackID) "
                                       "VALUES ('SNL', '11', 'Dover', '07/04/2004', 'Summer <500>', 1)"));
        msgs->clear();
    }
    void TearDown() override
    {
        window.reset();
        LeagueTest::TearDown();
    }
    static qint64 AddTrack(const QString& shortName, const QString& fullName, double miles)
    {
        dbMain->execute(QStringLiteral("INSERT INTO Tracks (ShortName, FullName, Miles, \"Type\") VALUES (?, ?, ?, 0)"),
                        {shortName, fullName, miles});
        return dbMain->lastInsertId();
    }
    qint64 Import(const QString& raceNo, const QString& page, qint64 track, bool lapsInSpeed = false)
    {
        sCurDiv = QStringLiteral("SNL");
        ProcessClass p;
        p.RaceDivision = QStringLiteral("SNL");
        p.RaceNo = raceNo;
        p.stnFileName = QDir(QStringLiteral(TARVIK_TEST_DATA)).filePath(page);
        p.TrackID = track;
        p.Speed = lapsInSpeed;
        EXPECT_TRUE(p.ProcRace()) << msgs->last().toStdString();
        sCurDiv.clear();
        return p.RaceID;
    }
    // Race 12 at Pocono from a page in the simulation's own shape, imported
    // with Laps in Speed: its qualifying cells are speeds with their unit.
    qint64 ImportReal()
    {
        const QByteArray real = page::BuildReal(kQualWeather, {{"12", "Ann Able", "192.103 mph"}, {"44", "Cid Cole", "191.500 mph"}},
                                                {{"44", "Cid Cole", 2, 200, 150, 185, "Running"}, {"12", "Ann Able", 1, 200, 50, 175, "Running"}});
        return Import(QStringLiteral("12"), program->writeFile(QStringLiteral("STN/real.htm"), real), pocono, true);
    }
    void OpenWindow(const QString& division)
    {
        window = std::make_unique<frmRaceResult>();
        window->show();
        auto* combo = window->findChild<QComboBox*>(QStringLiteral("DivName"));
        const int index = combo->findText(division, Qt::MatchContains);
        ASSERT_GE(index, 0);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void Generate()
    {
        msgs->clear();
        window->findChild<QPushButton*>(QStringLiteral("commSave"))->click();
    }
    QString Html(const QString& name) const { return ReadFile(program->file(QStringLiteral("HTML/") + name)); }
    QStringList PagesIn(const QString& folder) const
    {
        QStringList names = QDir(program->file(folder)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        names.removeIf([](const QString& n) { return n.startsWith(QStringLiteral("temp_")) || n == QLatin1String("BLANK.HTM"); });
        return names;
    }
    static QStringList Column(const std::vector<QStringList>& rows, size_t from, int column)
    {
        QStringList out;
        for (size_t i = from; i < rows.size(); ++i)
            out << rows[i].value(column);
        return out;
    }

    std::unique_ptr<frmRaceResult> window;
    qint64 pocono = 0, martinsville = 0, race1 = 0, race2 = 0, race10 = 0;
};

} // namespace

TEST_F(GenerateFilesTest, EveryPageOfTheLastRaceIsWrittenAndTheScheduleLinksResolve)
{
    // The pole sitter's name takes the full 20 characters and the pole text
    // runs past the 40 columns of the window's award line.
    dbMain->execute(QStringLiteral("UPDATE Drivers SET Name = 'Annabelle Q. Ablewit' WHERE OnlineID = 'Ann Able'"));
    dbMain->execute(QStringLiteral("UPDATE Qualify SET \"Time\" = '90.123', Speed = '99.863' WHERE Pos = 1 AND RaceID = ?"),
                    {race10});
    OpenWindow(QStringLiteral("Sunday Night"));
    auto* races = window->findChild<QListWidget*>(QStringLiteral("List1"));
    ASSERT_EQ(races->count(), 3);
    ASSERT_EQ(window->ShownRace(), race10);

    // The road of each race: published once it is in.
    for (int row : {0, 1, 2}) {
        races->setCurrentRow(row);
        Generate();
        ASSERT_EQ(msgs->calls().size(), 1u) << row;
        EXPECT_EQ(msgs->last(), QStringLiteral("All HTML Files have been generated")) << row;
        EXPECT_EQ(msgs->calls()[0].flags, dlg::vbOKOnly);
    }
    ASSERT_EQ(window->ShownRace(), race10);

    EXPECT_EQ(PagesIn(QStringLiteral("HTML")),
              (QStringList{"001SNL_result.htm", "002SNL_result.htm", "010SNL_result.htm", "SNL_schedule.htm",
                           "SNL_standings.htm", "SNL_statistics.htm"}));
    EXPECT_EQ(PagesIn(QStringLiteral("TXT")),
              (QStringList{"001SNLStan.htm", "001SNLStat.htm", "001SNL_Result.htm", "002SNLStan.htm", "002SNLStat.htm",
                           "002SNL_Result.htm", "010SNLStan.htm", "010SNLStat.htm", "010SNL_Result.htm", "SNL_schedule.htm"}));

    // Result page of race 10: heading, one row per result line in order.
    const QString result = Html(QStringLiteral("010SNL_result.htm"));
    EXPECT_EQ(TagBalance(result), QString());
    auto race = dbMain->openRecordset(QStringLiteral("SELECT * FROM Races WHERE ID = ") + QString::number(race10));
    const auto rows = TableAfterTitle(result, QStringLiteral("Race No. 010"));
    ASSERT_GE(rows.size(), 5u);
    EXPECT_EQ(rows[0][0], QStringLiteral("Race No. 010  -  ") + HTMLEscaped(rt::Trim(race->text(QStringLiteral("Venue"))))
                              + QStringLiteral("  -  ") + HTMLEscaped(rt::Trim(race->text(QStringLiteral("RaceDate")))));
    EXPECT_EQ(rows[3].size(), 11);   // teams and earnings
    auto score = dbMain->openRecordset(QStringLiteral("SELECT Posi, DriverID, Laps, Finish FROM Score WHERE RaceID = ")
                                       + QString::number(race10) + QStringLiteral(" ORDER BY Posi"));
    ASSERT_EQ(int(rows.size()), 4 + score->recordCount());
    for (size_t k = 4; !score->eof(); ++k, score->moveNext()) {
        QString name, number, make;
        GetDriverInfo(score->integer(QStringLiteral("DriverID")), name, number, make);
        EXPECT_EQ(rt::Trim(rows[k][0]), rt::Str(score->field(QStringLiteral("Posi")))) << k;
        EXPECT_EQ(rows[k][2], HTMLEscaped(name)) << k;
        EXPECT_EQ(rt::Trim(rows[k][6]), score->text(QStringLiteral("Laps"))) << k;
        EXPECT_EQ(rt::Trim(rows[k][9]), HTMLEscaped(score->text(QStringLiteral("Finish")))) << k;
    }
    EXPECT_TRUE(result.contains(QStringLiteral("Able &amp; &lt;Cole&gt;")));
    auto pole = dbMain->openRecordset(QStringLiteral("SELECT \"Time\", Speed FROM Qualify WHERE Pos = 1 AND RaceID = ")
                                      + QString::number(race10));
    ASSERT_FALSE(pole->eof());
    const auto awards = TableAfterTitle(result, QStringLiteral(">Race Awards<"));
    ASSERT_GE(awards.size(), 2u);
    EXPECT_EQ(awards[1].value(1), QStringLiteral("Annabelle Q. Ablewit, ") + rt::Trim(pole->text(QStringLiteral("Speed")))
                                      + QStringLiteral(" mph (") + rt::Trim(pole->text(QStringLiteral("Time"))) + QStringLiteral(" s.)"));
    EXPECT_TRUE(result.contains(QStringLiteral(">ROTY Points<")));
    EXPECT_TRUE(result.contains(QStringLiteral(">Manufacturer Points<")));
    EXPECT_FALSE(result.contains(QStringLiteral("Zo\u00eb")));   // beyond ASCII only as a reference

    // Schedule: races in number order, links to the three result pages.
    const QString schedulePath = program->file(QStringLiteral("HTML/SNL_schedule.htm"));
    const QString schedule = ReadFile(schedulePath);
    EXPECT_EQ(TagBalance(schedule), QString());
    const auto sched = TableAfterTitle(schedule, QStringLiteral(" Schedule</td>"));
    ASSERT_EQ(sched.size(), 6u);
    EXPECT_EQ(sched[0][0], QStringLiteral("Sunday Night &amp; Co Schedule"));
    EXPECT_EQ(Column(sched, 2, 0), (QStringList{"1", "2", "10", "11"}));
    EXPECT_EQ(sched[5][1], QStringLiteral("Dover<br>Summer &lt;500&gt;"));
    EXPECT_EQ(sched[5][3], QStringLiteral("&nbsp;"));
    // Top five of race 10 by the stored finishing order.
    auto top = dbMain->openRecordset(QStringLiteral("SELECT Score.Posi, Drivers.Name FROM Score INNER JOIN Drivers ON "
                                                    "Score.DriverID = Drivers.DriverID WHERE Score.RaceID = ")
                                     + QString::number(race10) + QStringLiteral(" AND Score.Posi <= 5 ORDER BY Score.Posi"));
    QStringList five;
    for (; !top->eof(); top->moveNext())
        five << rt::Str(top->field(QStringLiteral("Posi"))) + QStringLiteral(" - ") + HTMLEscaped(top->text(QStringLiteral("Name")));
    ASSERT_EQ(five.size(), 5);
    EXPECT_EQ(sched[4][4], five.join(QStringLiteral("<br>")));

    static const QRegularExpression href(QStringLiteral("<a href=\"([^\"]*)\">"));
    QStringList linked;
    for (auto it = href.globalMatch(schedule); it.hasNext();) {
        const QString link = it.next().captured(1);
        const QString file = QUrl::fromLocalFile(schedulePath).resolved(QUrl(link)).toLocalFile();
        EXPECT_TRUE(QFile::exists(file)) << link.toStdString();
        linked << QFileInfo(file).fileName();
    }
    EXPECT_EQ(linked, (QStringList{"001SNL_result.htm", "002SNL_result.htm", "010SNL_result.htm"}));

    // Standings and statistics through race 10.
    const QString standings = Html(QStringLiteral("SNL_standings.htm"));
    const auto stand = TableAfterTitle(standings, QStringLiteral("Point Standings after Race #10"));
    const int drivers = dbMain->scalar(QStringLiteral("SELECT COUNT(*) FROM (SELECT DISTINCT DriverID FROM Score WHERE Division = 'SNL')")).toInt();
    EXPECT_EQ(int(stand.size()), 2 + drivers);
    const double best = dbMain->scalar(QStringLiteral("SELECT MAX(T) FROM (SELECT SUM(Points) AS T FROM Score "
                                                      "WHERE Division = 'SNL' GROUP BY DriverID)")).toDouble();
    ASSERT_GE(stand.size(), 3u);
    EXPECT_EQ(rt::Trim(stand[2][10]), rt::Str(best));
    const QString statistics = Html(QStringLiteral("SNL_statistics.htm"));
    EXPECT_TRUE(statistics.contains(QStringLiteral("Statistics Through Race #10")));
    EXPECT_TRUE(statistics.contains(QStringLiteral(">Points Breakdown<")));
    EXPECT_EQ(TagBalance(statistics), QString());

    if (!HaveChromium())
        TARVIK_NO_CHROMIUM();
    QString error;
    const QString dom = ChromiumDom(schedulePath, &error);
    ASSERT_FALSE(dom.isEmpty()) << error.toStdString();
    EXPECT_EQ(dom.count(QStringLiteral("_result.htm\"")), 3) << dom.left(300).toStdString();
    EXPECT_TRUE(dom.contains(QStringLiteral("Summer &lt;500&gt;")));
}

TEST_F(GenerateFilesTest, FailuresAreListedInOneMessageAndNothingIsAnnounced)
{
    // A division without a scored race: nothing to publish.
    OpenWindow(QStringLiteral("Empty Series"));
    Generate();
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(msgs->last(), QStringLiteral("No race was selected!"));
    EXPECT_EQ(msgs->calls()[0].flags & dlg::vbCritical, dlg::vbCritical);
    EXPECT_TRUE(PagesIn(QStringLiteral("HTML")).isEmpty());

    // A standings page that cannot be written (a folder stands in its place)
    // stops only itself: the run's tables stand and the statistics are made.
    ASSERT_TRUE(QDir().mkpath(program->file(QStringLiteral("HTML/SNL_standings.htm"))));
    dbMain->execute(QStringLiteral("DELETE FROM ScoreDrop"));
    OpenWindow(QStringLiteral("Sunday Night"));
    Generate();
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(msgs->calls()[0].flags & dlg::vbCritical, dlg::vbCritical);
    EXPECT_TRUE(msgs->last().startsWith(QStringLiteral("Not every HTML file was generated:\n\nStandings page: The page could not "
                                                       "be written (")))
        << msgs->last().toStdString();
    EXPECT_TRUE(msgs->last().contains(QStringLiteral("SNL_standings.htm")));
    EXPECT_EQ(msgs->last().count(QStringLiteral("\n\n")), 1) << msgs->last().toStdString();
    EXPECT_GT(dbMain->scalar(QStringLiteral("SELECT COUNT(*) FROM ScoreDrop")).toInt(), 0);
    EXPECT_EQ(PagesIn(QStringLiteral("HTML")), (QStringList{"010SNL_result.htm", "SNL_schedule.htm", "SNL_statistics.htm"}));

    // A failed computation rolls back; the statistics are not made from a stale table.
    ASSERT_TRUE(QDir().rmdir(program->file(QStringLiteral("HTML/SNL_standings.htm"))));
    ASSERT_TRUE(QFile::remove(program->file(QStringLiteral("HTML/SNL_statistics.htm"))));
    dbMain->deleteQueryDef(QStringLiteral("Standings"));
    dbMain->createQueryDef(QStringLiteral("Standings"), QStringLiteral("SELECT Nothing FROM NoSuchTable"));
    Generate();
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_TRUE(msgs->last().contains(QStringLiteral("Standings page: The standings could not be computed.")))
        << msgs->last().toStdString();
    EXPECT_TRUE(msgs->last().endsWith(QStringLiteral("\n\nStatistics page: not made, as the standings run failed")));
    EXPECT_FALSE(msgs->last().contains(QStringLiteral("Schedule page")));
    EXPECT_EQ(PagesIn(QStringLiteral("HTML")), (QStringList{"010SNL_result.htm", "SNL_schedule.htm"}));
}

// A division id stored by an older version as a path: every page of it is
// reported as not written and no file appears anywhere, in the page folders
// or outside them.
TEST_F(GenerateFilesTest, DivisionIdThatNamesAPathWritesNothing)
{
    dbMain->execute(QStringLiteral("INSERT INTO Division (ID, Name, Numbers, Brands, Teams, Roty, Earnings, PointSystem, \"Drop\") "
                                   "VALUES ('../z', 'Old Path Cup', 0, 0, 0, 0, 0, 1, 0)"));
    dbMain->execute(QStringLiteral("INSERT INTO Races (Division, RaceNo, Venue, RaceDate, RaceName, TrackID) "
                                   "VALUES ('../z', '1', 'Pocono', '06/12/2004', 'Old 500', ?)"),
                    {pocono});
    const qint64 race = dbMain->lastInsertId();
    for (int posi = 1; posi <= 2; ++posi)
        dbMain->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi, DriverID, Laps, Points, Finish) "
                                       "VALUES ('../z', ?, ?, ?, 100, 100, 'Running')"),
                        {race, posi, posi});
    const std::string before = program->fileList();

    OpenWindow(QStringLiteral("Old Path Cup"));
    Generate();
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(msgs->calls()[0].flags & dlg::vbCritical, dlg::vbCritical);
    EXPECT_TRUE(msgs->last().startsWith(QStringLiteral("Not every HTML file was generated"))) << msgs->last().toStdString();
    for (const char* name : {"\"001../z_Result.htm\" holds the character /", "\"../z_schedule.htm\" holds the character /",
                             "\"001../zStan.htm\" holds the character /"})
        EXPECT_TRUE(msgs->last().contains(QString::fromLatin1(name))) << name << ": " << msgs->last().toStdString();
    EXPECT_EQ(program->fileList(), before);
}

// Texts an older version stored wider than their columns (a make, a team
// name, a finish) are copied into the scratch tables as they are: the
// standings (team points by places, dropped races), statistics and pages
// are made.
TEST_F(GenerateFilesTest, TextsWiderThanTheirColumnsInTheFileArePublished)
{
    const QString make = QStringLiteral("Make ").repeated(12), team = QStringLiteral("Team ").repeated(12);
    const QString finish = QStringLiteral("Finish ").repeated(9);
    // Straight into the file; one kept race, and the race-1 rows twice, so
    // that the winner's kept row is copied by itself.
    const QString sql = QStringLiteral("UPDATE Score SET Brand = '%1', Finish = '%2'; UPDATE Teams SET Team_Name = '%3';"
                                       "UPDATE Division SET Teams = 1, \"Drop\" = 9 WHERE ID = 'SNL';"
                                       "INSERT INTO Score SELECT * FROM Score WHERE RaceID = %4;")
                            .arg(make, finish, team)
                            .arg(race1);
    ASSERT_EQ(sqlite3_exec(dbMain->handle(), sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    OpenWindow(QStringLiteral("Sunday Night"));
    Generate();
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(msgs->last(), QStringLiteral("All HTML Files have been generated"));
    const QString standings = Html(QStringLiteral("SNL_standings.htm"));
    EXPECT_TRUE(standings.contains(team.left(29)));
    EXPECT_TRUE(standings.contains(make.left(16)));
    EXPECT_TRUE(Html(QStringLiteral("SNL_statistics.htm")).contains(QStringLiteral("Statistics Through Race #10")));
    EXPECT_EQ(dbMain->openRecordset(QStringLiteral("SELECT * FROM ScoreDrop WHERE Finish = ?"), {finish})->recordCount(),
              dbMain->openRecordset(QStringLiteral("ScoreDrop"))->recordCount());
}

// A name whose 20th and 21st UTF-16 units are one character (U+1F600) is
// cut before it, a blank in its place. These pages show a driver's name
// only in 20-wide columns, so every row with it is that of a name of the 19
// characters before it, the columns after the name in place.
TEST_F(GenerateFilesTest, ANameCutInsideATwoUnitCharacterKeepsItsColumns)
{
    const QString plain = QStringLiteral("Nineteen Chars Name");
    const QStringList pages = {QStringLiteral("010SNL_result.htm"), QStringLiteral("SNL_standings.htm"),
                               QStringLiteral("SNL_statistics.htm")};
    const auto publish = [&](const QString& name) {
        dbMain->execute(QStringLiteral("UPDATE Drivers SET Name = ? WHERE OnlineID = 'Ann Able'"), {name});
        OpenWindow(QStringLiteral("Sunday Night"));
        Generate();
        EXPECT_EQ(msgs->last(), QStringLiteral("All HTML Files have been generated"));
        // Each page's rows that hold the name, cells joined.
        QList<QStringList> rows;
        for (const QString& page : pages) {
            rows.append(QStringList());
            for (const QStringList& row : TableRows(Html(page)))
                if (row.join(QStringLiteral(" | ")).contains(plain))
                    rows.last() << row.join(QStringLiteral(" | "));
        }
        return rows;
    };
    const QList<QStringList> expected = publish(plain);
    const QList<QStringList> cut = publish(plain + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("tail"));
    for (int k = 0; k < pages.size(); ++k) {
        EXPECT_GE(expected[k].size(), 1) << pages[k].toStdString();
        EXPECT_EQ(cut[k], expected[k]) << pages[k].toStdString();
        EXPECT_FALSE(Html(pages[k]).contains(QStringLiteral("&#65533;"))) << pages[k].toStdString();
    }
}

// A qualifying cell of a real page is a speed and its unit: the number is
// stored, and every place that adds " mph" shows it once, also for rows an
// earlier version stored with the unit.
TEST_F(GenerateFilesTest, AQualifyingSpeedShowsItsUnitOnce)
{
    const qint64 race = ImportReal();
    auto pole = [race](const char* field) {
        return dbMain->scalar(QStringLiteral("SELECT %1 FROM Qualify WHERE Pos = 1 AND RaceID = %2").arg(field).arg(race)).toString();
    };
    EXPECT_EQ(pole("Speed"), QStringLiteral("192.103"));
    EXPECT_EQ(pole("[Time]"), QStringLiteral("46.85"));

    for (const QString& unit : {QString(), QStringLiteral(" mph")}) {
        SCOPED_TRACE(unit.toStdString());
        dbMain->execute(QStringLiteral("UPDATE Qualify SET Speed = ? WHERE Pos = 1 AND RaceID = ?"), {QStringLiteral("192.103") + unit, race});
        OpenWindow(QStringLiteral("Sunday Night"));
        ASSERT_EQ(window->ShownRace(), race);
        EXPECT_EQ(window->Grid(7)->TextMatrix(1, 0), QStringLiteral("Pole                - Ann Able, 192.103 mph (46.85 s.)"));
        Generate();
        const auto awards = TableAfterTitle(Html(QStringLiteral("012SNL_result.htm")), QStringLiteral(">Race Awards<"));
        ASSERT_GE(awards.size(), 2u);
        EXPECT_EQ(awards[1].value(1), QStringLiteral("Ann Able, 192.103 mph (46.85 s.)"));
        // The statistics line shows the stored text, as it always has.
        EXPECT_TRUE(Html(QStringLiteral("SNL_statistics.htm")).contains(QStringLiteral("192.103") + unit + QStringLiteral("/46.85")));

        frmRecords records;
        auto* divisions = records.findChild<QComboBox*>(QStringLiteral("DivName"));
        divisions->setCurrentIndex(divisions->findText(QStringLiteral("<<< ALL >>>")));
        emit divisions->activated(divisions->currentIndex());
        records.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        const auto rows = TableRows(Html(QStringLiteral("ALL_records.htm")));
        const QStringList record{"<strong>Qualify Record</strong>", "Ann Able", "192.103 mph", "03/16/25"};
        EXPECT_NE(std::find(rows.begin(), rows.end(), record), rows.end());
    }
}

// The race result page shows the qualifying weather whole, as the race's.
TEST_F(GenerateFilesTest, ALongQualifyingWeatherIsPublishedWhole)
{
    ImportReal();
    OpenWindow(QStringLiteral("Sunday Night"));
    Generate();
    const auto qualify = TableAfterTitle(Html(QStringLiteral("012SNL_result.htm")), QStringLiteral(">Qualify<"));
    ASSERT_GE(qualify.size(), 2u);
    EXPECT_EQ(qualify[1], QStringList{HTMLEscaped(kQualWeather)});
}
