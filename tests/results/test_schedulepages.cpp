// The result page written from the tables, its award texts and the
// schedule page, on hand-laid races.

#include "../publish/PageParse.h"
#include "RaceResultFixture.h"
#include "Database.h"
#include "HTMLClass.h"
#include "Options.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

using namespace pageparse;

namespace {

class SchedulePagesTest : public testsupport::LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        AddDivision(QStringLiteral("D1"), QStringLiteral("Sunday <Cup> & Co"), 0, false);
        ann = AddDriver(QStringLiteral("ann"), QStringLiteral("Ann \"The Rocket\" Able"), QStringLiteral("12"), QStringLiteral("Ford"));
        bob = AddDriver(QStringLiteral("bob"), QStringLiteral("Bob O'Brien & <Sons>"), QStringLiteral("7"), QStringLiteral("Chevy"));
        cid = AddDriver(QStringLiteral("cid"), QString(), QStringLiteral("44"), QStringLiteral("Dodge"));   // no Name: OnlineID
        dee = AddDriver(QStringLiteral("dee"), QStringLiteral("Dee Dunn"), QStringLiteral("3"), QStringLiteral("Ford"));
    }

    void AddDivision(const QString& id, const QString& name, int teams, bool earnings, bool roty = false,
                     bool brands = true, bool numbers = true)
    {
        dbMain->execute(QStringLiteral("INSERT INTO Division (ID, Name, Numbers, Brands, Teams, Roty, Earnings, PointSystem, \"Drop\") "
                                       "VALUES (?, ?, ?, ?, ?, ?, ?, 1, 0)"),
                        {id, name, numbers, brands, teams, roty, earnings});
    }
    qint64 AddDriver(const QString& online, const QString& name, const QString& number, const QString& brand)
    {
        dbMain->execute(QStringLiteral("INSERT INTO Drivers (OnlineID, Name, \"Number\", Brand) VALUES (?, ?, ?, ?)"),
                        {online, name.isNull() ? QVariant() : QVariant(name), number, brand});
        return dbMain->lastInsertId();
    }
    qint64 AddRace(const QString& div, const QString& raceNo, const QVariantList& flags = {3, 12, 5, 4},
                   const QString& name = QStringLiteral("Spring 200"))
    {
        dbMain->execute(QStringLiteral("INSERT INTO Races (Division, RaceNo, Venue, RaceDate, Weather, QWeather, Flags, Flagsq, "
                                       "Changes, Leader, RaceName, Purse, TrackID, Nonpoints) "
                                       "VALUES (?, ?, 'Dover & Co', '05/01/2004', 'Sunny <hot>', 'Cloudy', ?, ?, ?, ?, ?, 0, 1, 0)"),
                        {div, raceNo, flags[0], flags[1], flags[2], flags[3], name});
        return dbMain->lastInsertId();
    }
    void AddScore(const QString& div, qint64 race, int posi, qint64 driver, const QVariantList& v)
    {
        // v: Interval, Laps, Lead, Points, Finish, Team, Brand, Earnings, Bonus, BonusAdd
        QVariantList values = {div, race, posi, driver};
        values += v;
        dbMain->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi, DriverID, Interval, Laps, Lead, Points, Finish, "
                                       "Team, Brand, Earnings, Bonus, BonusAdd) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                        values);
    }
    void AddQualify(qint64 race, int pos, qint64 driver, const QString& time, const QString& speed)
    {
        dbMain->execute(QStringLiteral("INSERT INTO Qualify (RaceID, Pos, DriverID, \"Time\", Speed) VALUES (?, ?, ?, ?, ?)"),
                        {race, pos, driver, time, speed});
    }
    // A full race: four lines, four qualifiers (one provisional).
    qint64 FullRace(const QString& div, const QString& raceNo)
    {
        const qint64 race = AddRace(div, raceNo);
        AddScore(div, race, 1, bob, {QStringLiteral("Winner"), 200, 150, 180, QStringLiteral("Running"), 0, QStringLiteral("Chevy"), 12345, 1000, 500});
        AddScore(div, race, 2, ann, {QStringLiteral("-1 lap"), 199, 40, 170, QStringLiteral("Running"), 0, QStringLiteral("Ford"), 1000, 0, QVariant()});
        AddScore(div, race, 3, cid, {QStringLiteral("-2 laps"), 198, 10, 165, QStringLiteral("Running"), 0, QStringLiteral("Dodge"), 0, 0, 0});
        AddScore(div, race, 4, dee, {QStringLiteral("-50 laps"), 150, 0, 160, QStringLiteral("Engine"), 0, QStringLiteral("Ford"), 0, 0, 0});
        AddQualify(race, 1, ann, QStringLiteral("23.456"), QStringLiteral("153.456"));
        AddQualify(race, 2, bob, QStringLiteral("23.500"), QStringLiteral("153.170"));
        AddQualify(race, 3, dee, QStringLiteral("0.000"), QStringLiteral("0"));   // provisional
        AddQualify(race, 4, cid, QStringLiteral("23.600"), QStringLiteral("152.521"));
        return race;
    }

    // Writes the race's result page from the tables and returns its text.
    QString WriteResultPage(qint64 race, const QString& div = QStringLiteral("D1"))
    {
        HTMLClass html;
        html.sDiv = div;
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM Races WHERE ID = ") + QString::number(race));
        EXPECT_TRUE(html.HTMLRaceResultFormDB(*rs)) << html.lastError().toStdString();
        return ReadFile(program->file(QStringLiteral("HTML/") + ZeroPadRace(rs->text(QStringLiteral("RaceNo"))) + div
                                      + QStringLiteral("_result.htm")));
    }
    static QString ZeroPadRace(const QString& no) { return (QStringLiteral("000") + no).right(3); }

    qint64 ann = 0, bob = 0, cid = 0, dee = 0;
};

} // namespace

TEST_F(SchedulePagesTest, ResultPageFromTablesHasEveryTableAndEscapesTexts)
{
    bLines = true;
    const qint64 race = FullRace(QStringLiteral("D1"), QStringLiteral("7"));
    dbMain->execute(QStringLiteral("INSERT INTO Penalties (Division, RaceID, Posi, Points, Comment) VALUES "
                                   "('D1', ?, 2, -25, 'Rough <driving>'), ('D1', ?, 3, 0, 'warned')"),
                    {race, race});
    const QString html = WriteResultPage(race);
    ASSERT_FALSE(html.isEmpty());
    EXPECT_TRUE(QFile::exists(program->file(QStringLiteral("TXT/007D1_Result.htm"))));
    EXPECT_EQ(TagBalance(html), QString());

    const auto results = TableAfterTitle(html, QStringLiteral("Race No. 007"));
    ASSERT_GE(results.size(), 8u);
    EXPECT_EQ(results[0][0], QStringLiteral("Race No. 007  -  Dover &amp; Co  -  05/01/2004"));
    EXPECT_EQ(results[2][0], QStringLiteral("Sunny &lt;hot&gt;"));
    EXPECT_EQ(results[3].size(), 9);   // no teams, no earnings
    EXPECT_TRUE(html.contains(QStringLiteral("colspan=\"9\"></TD></TR>")));
    // Pos, No., Driver, Make, Interval, Laps, Led, Pts., Status.
    const QStringList first = results[4];
    EXPECT_EQ(first[0], QStringLiteral(" 1"));
    EXPECT_EQ(first[1], QStringLiteral("  7"));
    EXPECT_EQ(first[2], QStringLiteral("Bob O&#39;Brien &amp; &lt;Sons&gt;"));   // 20 characters, escaped
    EXPECT_EQ(first[3], QStringLiteral("Chevy     "));
    EXPECT_EQ(first.mid(4), (QStringList{"Winner", "200", "150", "180", "Running"}));
    EXPECT_EQ(results[8][2], QStringLiteral("cid                 "));   // no Name: the online id

    // Race data, awards.
    const auto data = TableAfterTitle(html, QStringLiteral("Caution Flags/Laps"));
    EXPECT_EQ(data[0], (QStringList{"Caution Flags/Laps", "3/12", "Lead Changes/Leaders", "5/4"}));
    const auto awards = TableAfterTitle(html, QStringLiteral("Race Awards"));
    ASSERT_EQ(awards.size(), 11u);
    // Winners are named in the 20 characters of the results table.
    EXPECT_EQ(awards[1], (QStringList{"Pole", "Ann &quot;The Rocket&quot; Abl, 153.456 mph (23.456 s.)"}));
    EXPECT_EQ(awards[3], (QStringList{"Front Runner", "Bob O&#39;Brien &amp; &lt;Sons&gt;, 150 laps Lead"}));
    // Equal gains go to the better finisher.
    EXPECT_EQ(awards[5], (QStringList{"Meet the Challenge", "Bob O&#39;Brien &amp; &lt;Sons&gt;, 1 places improved"}));
    EXPECT_EQ(awards[7], (QStringList{"Headache", "Ann &quot;The Rocket&quot; Abl, 1 places dropped"}));
    EXPECT_EQ(awards[9], (QStringList{"Diehard Racer", "cid"}));

    // Qualifying: gaps to the first and the previous timed car; the
    // provisional start keeps the reference.
    const auto qual = TableAfterTitle(html, QStringLiteral(">Qualify<"));
    ASSERT_EQ(qual.size(), 3u + 4u * 2u);   // titles, header, rows with separators
    EXPECT_EQ(qual[3], (QStringList{" 1", " 12", "Ann &quot;The Rocket&quot; Abl", "153.456", "0/0", " 23.456", "0/0"}));
    EXPECT_EQ(qual[5][4], QStringLiteral("  0.286/0.286  "));
    EXPECT_EQ(qual[7], (QStringList{" 3", "  3", "Dee Dunn            ", "Prov.", "&nbsp;", "&nbsp;", "&nbsp;"}));
    EXPECT_EQ(qual[9][4], QStringLiteral("  0.935/0.649  "));
    EXPECT_EQ(qual[9][6], QStringLiteral("  0.144/0.100  "));

    // Makes in finishing order; adjustments list only lines with points.
    const auto makes = TableAfterTitle(html, QStringLiteral("Manufacturer Points"));
    ASSERT_EQ(makes.size(), 1u + 3u * 2u);
    EXPECT_EQ(makes[1], (QStringList{"1 ", "Chevy", "9"}));
    EXPECT_EQ(makes[3], (QStringList{"2 ", "Ford", "6"}));
    EXPECT_EQ(makes[5], (QStringList{"3 ", "Dodge", "4"}));
    const auto adj = TableAfterTitle(html, QStringLiteral("Point Adjustments"));
    ASSERT_EQ(adj.size(), 4u);
    EXPECT_EQ(adj[2], (QStringList{"Ann &quot;The Rocket&quot; Abl", "-25", "Rough &lt;driving&gt;"}));
    EXPECT_FALSE(html.contains(QStringLiteral("Team Points")));
    EXPECT_FALSE(html.contains(QStringLiteral("ROTY Points")));
}

TEST_F(SchedulePagesTest, EmptyStoredValuesGiveEmptyCellsAndLongPoleTextStaysWhole)
{
    bLines = false;
    const qint64 race = AddRace(QStringLiteral("D1"), QStringLiteral("3"), {QVariant(), QVariant(), QVariant(), 2}, QString());
    const qint64 longName = AddDriver(QStringLiteral("long"), QStringLiteral("Maximilian Fitzgeral"),
                                      QStringLiteral("88"), QStringLiteral("Ford"));
    AddScore(QStringLiteral("D1"), race, 1, longName,
             {QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), 0, QVariant(), QVariant(), QVariant(), QVariant()});
    AddQualify(race, 1, longName, QStringLiteral("  123.456  "), QStringLiteral(" 199.999 "));
    dbMain->execute(QStringLiteral("INSERT INTO Qualify (RaceID, Pos, DriverID) VALUES (?, 2, ?)"), {race, ann});

    const QString html = WriteResultPage(race);
    ASSERT_FALSE(html.isEmpty());
    const auto results = TableAfterTitle(html, QStringLiteral("Race No. 003"));
    ASSERT_EQ(results.size(), 5u);
    EXPECT_EQ(results[1][0], QString());   // race name never filled in
    EXPECT_EQ(results[4].mid(4), (QStringList{"", "", "", "", ""}));
    const auto data = TableAfterTitle(html, QStringLiteral("Caution Flags/Laps"));
    EXPECT_EQ(data[0][1], QString());
    EXPECT_EQ(data[0][3], QStringLiteral("/2"));

    // A name of the full 20 characters: the text runs past the 40 columns
    // of the window's award line and stays whole.
    const auto awards = TableAfterTitle(html, QStringLiteral("Race Awards"));
    ASSERT_EQ(awards.size(), 6u);
    EXPECT_EQ(awards[1], (QStringList{"Pole", "Maximilian Fitzgeral, 199.999 mph (123.456 s.)"}));
    EXPECT_EQ(awards[5], (QStringList{"Diehard Racer", ""}));   // nobody "Running"
    // The second qualifier has neither time nor speed: a provisional row.
    const auto qual = TableAfterTitle(html, QStringLiteral(">Qualify<"));
    ASSERT_EQ(qual.size(), 5u);
    EXPECT_EQ(qual[4][3], QStringLiteral("Prov."));
}

TEST_F(SchedulePagesTest, TeamRookieAndEarningsColumns)
{
    bLines = false;
    dbMain->execute(QStringLiteral("UPDATE Division SET Teams = 1, Earnings = True, Roty = True WHERE ID = 'D1'"));
    dbMain->execute(QStringLiteral("INSERT INTO Teams (Division, Team_Name, Driver_1, Driver_2, Driver_3, Driver_4, Driver_5, Driver_6) "
                                   "VALUES ('D1', 'Red & Blue', 0, 0, 0, 0, 0, 0), ('D1', 'Zero Team', 0, 0, 0, 0, 0, 0)"));
    const qint64 race = FullRace(QStringLiteral("D1"), QStringLiteral("12"));
    dbMain->execute(QStringLiteral("UPDATE Score SET Team = 1 WHERE DriverID IN (?, ?)"), {bob, dee});
    dbMain->execute(QStringLiteral("INSERT INTO Rookies (Division, DriverID) VALUES ('D1', ?), ('D1', ?)"), {cid, dee});

    const QString html = WriteResultPage(race);
    const auto results = TableAfterTitle(html, QStringLiteral("Race No. 012"));
    EXPECT_TRUE(results[0][0].size() > 0);
    EXPECT_TRUE(html.contains(QStringLiteral("colspan=\"11\">Race No. 012")));
    ASSERT_EQ(results[3].size(), 11);
    EXPECT_EQ(results[4][4], QStringLiteral("Red &amp; Blue") + QString(20, QLatin1Char(' ')));
    EXPECT_EQ(results[5][4], QString(30, QLatin1Char(' ')));
    EXPECT_EQ(results[4][10], QStringLiteral("    13,845"));
    EXPECT_EQ(results[5][10], QStringLiteral("     1,000"));   // no bonus add stored
    EXPECT_EQ(results[6][10], QStringLiteral("         0"));

    // Team by place: Bob 1st team car 15, Dee 2nd 12.
    const auto teams = TableAfterTitle(html, QStringLiteral("Team Points"));
    ASSERT_EQ(teams.size(), 2u);
    EXPECT_EQ(teams[1], (QStringList{"1 ", QStringLiteral("Red &amp; Blue") + QString(20, QLatin1Char(' ')), "27"}));
    const auto rookies = TableAfterTitle(html, QStringLiteral("ROTY Points"));
    ASSERT_EQ(rookies.size(), 3u);
    EXPECT_EQ(rookies[1], (QStringList{"1 ", "cid                 ", "10"}));
    EXPECT_EQ(rookies[2], (QStringList{"2 ", "Dee Dunn            ", " 9"}));

    // Team names that differ only in letter case score as one team, as in
    // the race result window.
    dbMain->execute(QStringLiteral("UPDATE Teams SET Team_Name = 'RED & BLUE' WHERE Team_Name = 'Zero Team'"));
    dbMain->execute(QStringLiteral("UPDATE Score SET Team = (SELECT TeamID FROM Teams WHERE Team_Name = 'RED & BLUE' AND TeamID <> 1) WHERE DriverID = ?"), {dee});
    const auto teamsCase = TableAfterTitle(WriteResultPage(race), QStringLiteral("Team Points"));
    ASSERT_EQ(teamsCase.size(), 2u);
    EXPECT_EQ(teamsCase[1][2], QStringLiteral("27"));
    dbMain->execute(QStringLiteral("UPDATE Score SET Team = 1 WHERE DriverID = ?"), {dee});

    // Sum of points per team.
    dbMain->execute(QStringLiteral("UPDATE Division SET Teams = 2 WHERE ID = 'D1'"));
    const QString html2 = WriteResultPage(race);
    const auto teams2 = TableAfterTitle(html2, QStringLiteral("Team Points"));
    ASSERT_EQ(teams2.size(), 2u);
    EXPECT_EQ(teams2[1][2], QStringLiteral("   340"));
}

TEST_F(SchedulePagesTest, SwitchedOffColumnsEmptyTablesAndUnknownDivision)
{
    bLines = false;
    bUseStyle = false;
    // No numbers, no makes; positions 1 and 3 stored, no qualifying.
    AddDivision(QStringLiteral("P1"), QStringLiteral("Plain"), 0, false, false, false, false);
    const qint64 plain = AddRace(QStringLiteral("P1"), QStringLiteral("4"));
    AddScore(QStringLiteral("P1"), plain, 1, bob, {QStringLiteral("Winner"), 10, 10, 5, QStringLiteral("Running"), 0, QStringLiteral("Chevy"), 0, 0, 0});
    AddScore(QStringLiteral("P1"), plain, 3, ann, {QStringLiteral("-1 lap"), 9, 0, 4, QStringLiteral("Running"), 0, QStringLiteral("Ford"), 0, 0, 0});
    const QString html = WriteResultPage(plain, QStringLiteral("P1"));
    const auto results = TableAfterTitle(html, QStringLiteral("Race No. 004"));
    ASSERT_EQ(results.size(), 6u);
    EXPECT_EQ(results[3].mid(0, 4), (QStringList{"Pos.", "&nbsp;", "Driver", "&nbsp;"}));
    EXPECT_EQ(results[5][0], QStringLiteral(" 2"));
    EXPECT_EQ(results[5][1], QString());
    EXPECT_EQ(results[5][3], QStringLiteral("Ford      "));   // the make is shown all the same
    EXPECT_TRUE(html.contains(QStringLiteral("     <td class=\"tarvik_line1\" align=\"center\"></td>\r\n")));
    const auto qual = TableAfterTitle(html, QStringLiteral(">Qualify<"));
    ASSERT_EQ(qual.size(), 3u);
    EXPECT_EQ(qual[2][1], QStringLiteral("&nbsp;"));
    // Awards that need qualifying have no winner and an empty cell.
    EXPECT_EQ(html.count(QStringLiteral("    <td align=\"right\" class=\"tarvik_line1\"></td>\r\n")), 3);
    EXPECT_FALSE(html.contains(QStringLiteral("Manufacturer Points")));
    EXPECT_FALSE(html.contains(QStringLiteral("Point Adjustments")));
    EXPECT_FALSE(html.contains(QStringLiteral("height=\"1\"")));

    // Makes on, but no line has one; a penalty row of 0 points.
    const qint64 bare = AddRace(QStringLiteral("D1"), QStringLiteral("5"));
    AddScore(QStringLiteral("D1"), bare, 1, bob, {QStringLiteral("Winner"), 10, 10, 5, QStringLiteral("Running"), 0, QStringLiteral(" "), 0, 0, 0});
    dbMain->execute(QStringLiteral("INSERT INTO Penalties (Division, RaceID, Posi, Points, Comment) VALUES ('D1', ?, 1, 0, 'none')"), {bare});
    const QString html2 = WriteResultPage(bare);
    const auto makes = TableAfterTitle(html2, QStringLiteral("Manufacturer Points"));
    EXPECT_EQ(makes.size(), 1u);
    const auto adj = TableAfterTitle(html2, QStringLiteral("Point Adjustments"));
    ASSERT_EQ(adj.size(), 2u);
    EXPECT_EQ(adj[1], (QStringList{"Driver", "Pts.", "Observations"}));

    // A division the table does not hold: title and header rows only.
    HTMLClass schedule;
    schedule.sDiv = QStringLiteral("ZZ");
    ASSERT_TRUE(schedule.HTMLSchedule()) << schedule.lastError().toStdString();
    const QString page = ReadFile(program->file(QStringLiteral("HTML/ZZ_schedule.htm")));
    const auto rows = TableAfterTitle(page, QStringLiteral(" Schedule</td>"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], QStringLiteral(" Schedule"));
}

TEST_F(SchedulePagesTest, ScheduleListsRacesInNumberOrderWithWorkingLinks)
{
    bLines = true;
    // An id and race numbers that need encoding in a link.
    AddDivision(QStringLiteral("A&B#"), QStringLiteral("Odd % Division"), 0, false);
    const QString div = QStringLiteral("A&B#");
    const qint64 r10 = FullRace(div, QStringLiteral("10"));
    FullRace(div, QStringLiteral("2"));
    const qint64 r1 = FullRace(div, QStringLiteral("1"));
    AddRace(div, QStringLiteral("11"), {3, 12, 5, 4}, QStringLiteral("Fall <400>"));   // not run yet
    dbMain->execute(QStringLiteral("DELETE FROM Score WHERE RaceID = ? AND Posi > 3"), {r1});
    // Race 10's pole sitter has no result line.
    dbMain->execute(QStringLiteral("DELETE FROM Score WHERE RaceID = ? AND DriverID = ?"), {r10, ann});
    FullRace(QStringLiteral("D1"), QStringLiteral("1"));   // another division, not listed

    HTMLClass html;
    html.sDiv = div;
    html.bGenAll = true;
    ASSERT_TRUE(html.HTMLSchedule()) << html.lastError().toStdString();

    const QString path = program->file(QStringLiteral("HTML/A&B#_schedule.htm"));
    const QString page = ReadFile(path);
    ASSERT_FALSE(page.isEmpty());
    EXPECT_TRUE(QFile::exists(program->file(QStringLiteral("TXT/A&B#_schedule.htm"))));
    EXPECT_EQ(TagBalance(page), QString());
    const auto rows = TableAfterTitle(page, QStringLiteral(" Schedule</td>"));
    ASSERT_EQ(rows.size(), 2u + 4u * 2u);
    EXPECT_EQ(rows[0][0], QStringLiteral("Odd % Division Schedule"));
    QStringList numbers;
    for (size_t i = 2; i < rows.size(); i += 2)
        numbers << rows[i][0];
    EXPECT_EQ(numbers, (QStringList{"1", "2", "10", "11"}));
    EXPECT_TRUE(rows[3].isEmpty() || rows[3].size() == 1);   // separator row

    // Race 1: three finishers, pole Ann; Cid has no name and shows his online name.
    EXPECT_EQ(rows[2][3], QStringLiteral("Ann &quot;The Rocket&quot; Able"));
    EXPECT_EQ(rows[2][4], QStringLiteral("1 - Bob O&#39;Brien &amp; &lt;Sons&gt;<br>2 - Ann &quot;The Rocket&quot; Able<br>3 - cid"));
    EXPECT_EQ(rows[6][3], QStringLiteral("&nbsp;"));                  // race 10: pole sitter did not finish
    EXPECT_EQ(rows[8][1], QStringLiteral("Dover &amp; Co<br>Fall &lt;400&gt;"));   // no link yet
    EXPECT_EQ(rows[8][3], QStringLiteral("&nbsp;"));
    EXPECT_EQ(rows[8][4], QStringLiteral("&nbsp;"));

    // Every link resolves to a result page beside the schedule; race 11
    // has none.
    static const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
    QStringList targets;
    for (auto it = href.globalMatch(page); it.hasNext();) {
        const QString link = it.next().captured(1).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        if (link.startsWith(QStringLiteral("http")) || link.startsWith(QLatin1Char('#')))
            continue;
        const QUrl resolved = QUrl::fromLocalFile(path).resolved(QUrl(link));
        EXPECT_TRUE(QFile::exists(resolved.toLocalFile())) << link.toStdString();
        targets << QFileInfo(resolved.toLocalFile()).fileName();
    }
    EXPECT_EQ(targets, (QStringList{"001A&B#_result.htm", "002A&B#_result.htm", "010A&B#_result.htm"}));
    EXPECT_FALSE(QFile::exists(program->file(QStringLiteral("HTML/011A&B#_result.htm"))));
    EXPECT_FALSE(QFile::exists(program->file(QStringLiteral("HTML/001D1_result.htm"))));
    // Nothing half-written is left beside the pages.
    for (const QString& name : QDir(program->file(QStringLiteral("HTML"))).entryList(QDir::Files | QDir::Hidden))
        EXPECT_TRUE(name.endsWith(QStringLiteral(".htm"))) << name.toStdString();

    // The browser follows the encoded link and shows the escaped name.
    if (!HaveChromium())
        TARVIK_NO_CHROMIUM();
    QString error;
    const QString dom = ChromiumDom(path, &error);
    ASSERT_FALSE(dom.isEmpty()) << error.toStdString();
    EXPECT_TRUE(dom.contains(QStringLiteral("001A%26B%23_result.htm"))) << dom.left(400).toStdString();
    EXPECT_TRUE(dom.contains(QStringLiteral("Fall &lt;400&gt;")));
}

TEST_F(SchedulePagesTest, FailedPageIsReportedAndOldPageKept)
{
    const qint64 race = FullRace(QStringLiteral("D1"), QStringLiteral("1"));
    Q_UNUSED(race);
    HTMLClass first;
    first.sDiv = QStringLiteral("D1");
    ASSERT_TRUE(first.HTMLSchedule());
    const QString schedule = program->file(QStringLiteral("HTML/D1_schedule.htm"));
    const QString before = ReadFile(schedule);
    EXPECT_FALSE(QFile::exists(program->file(QStringLiteral("HTML/001D1_result.htm"))));   // bGenAll off

    // Without the result template the result page fails; the schedule is
    // written but the run does not count as a success.
    QFile::remove(program->file(QStringLiteral("HTML/temp_result.htm")));
    FullRace(QStringLiteral("D1"), QStringLiteral("2"));
    HTMLClass all;
    all.sDiv = QStringLiteral("D1");
    all.bGenAll = true;
    EXPECT_FALSE(all.HTMLSchedule());
    EXPECT_TRUE(all.lastError().contains(QStringLiteral("race 1"))) << all.lastError().toStdString();
    EXPECT_TRUE(all.lastError().contains(QStringLiteral("race 2")));

    // Without the schedule template the old schedule page stays whole.
    QFile::remove(program->file(QStringLiteral("HTML/temp_schedule.htm")));
    const QString mid = ReadFile(schedule);
    HTMLClass again;
    again.sDiv = QStringLiteral("D1");
    EXPECT_FALSE(again.HTMLSchedule());
    EXPECT_TRUE(again.lastError().contains(QStringLiteral("schedule")));
    EXPECT_EQ(ReadFile(schedule), mid);
    EXPECT_NE(before, mid);
}

namespace {

// Every table of a page, each as its rows of trimmed cells.
std::vector<std::vector<QStringList>> Tables(const QString& html)
{
    std::vector<std::vector<QStringList>> out;
    static const QRegularExpression tableRe(QStringLiteral("<TABLE\\b.*?</TABLE>"), QRegularExpression::DotMatchesEverythingOption);
    for (auto it = tableRe.globalMatch(html); it.hasNext();) {
        auto rows = TableRows(it.next().captured(0));
        for (QStringList& row : rows)
            for (QString& cell : row)
                cell = cell.trimmed();
        out.push_back(rows);
    }
    return out;
}

class SamePageTest : public raceresult::RaceResultTest {};

} // namespace

// One race published from the race result window and then from the tables:
// the same tables, titles, headers and values, apart from what the two ways
// of building the page are meant to do differently.
TEST_F(SamePageTest, PageFromTablesShowsWhatTheWindowPageShows)
{
    bLines = false;
    bUseStyle = false;
    auto w = Open();
    ChooseDivision(*w, QStringLiteral("D1 Cup"));
    msgs->clear();
    Button(*w, "commSave")->click();
    ASSERT_EQ(msgs->last(), QStringLiteral("All HTML Files have been generated"));
    const QString pagePath = program->file(QStringLiteral("HTML/007D1_result.htm"));
    const QString fromWindow = ReadFile(pagePath);

    HTMLClass html;
    html.sDiv = QStringLiteral("D1");
    auto race = dbMain->openRecordset(QStringLiteral("SELECT * FROM Races WHERE ID = ") + QString::number(raceresult::kRaceId));
    ASSERT_TRUE(html.HTMLRaceResultFormDB(*race)) << html.lastError().toStdString();
    const QString fromTables = ReadFile(pagePath);
    ASSERT_NE(fromTables, fromWindow);
    EXPECT_EQ(fromTables.count(QStringLiteral("<p><br></p>")), fromWindow.count(QStringLiteral("<p><br></p>")));

    const auto a = Tables(fromWindow), b = Tables(fromTables);
    ASSERT_EQ(a.size(), 8u);   // results, race data, awards, qualifying, teams, rookies, makes, adjustments
    ASSERT_EQ(b.size(), a.size());
    for (size_t t = 0; t < a.size(); ++t)
        EXPECT_EQ(b[t][0], a[t][0]) << "title of table " << t;

    // Results: the position is the row number, the make the driver's own,
    // the earnings without a currency sign.
    ASSERT_EQ(b[0].size(), a[0].size());
    for (size_t r = 1; r < 4; ++r)
        EXPECT_EQ(b[0][r], a[0][r]) << r;
    for (size_t r = 4; r < a[0].size(); ++r) {
        QStringList x = a[0][r], y = b[0][r];
        ASSERT_EQ(y.size(), 11) << r;
        EXPECT_EQ(y[0], QString::number(r - 3));
        EXPECT_EQ(y[3], r == 6 ? QString() : QStringLiteral("Ford"));   // the third has no Drivers row
        x[10].remove(QLatin1Char('$'));
        for (int c : {0, 3})
            x[c] = y[c];
        EXPECT_EQ(y, x) << r;
    }
    EXPECT_EQ(a[0][7][0], QStringLiteral("10"));   // a gap in the stored positions

    for (size_t t : {1, 2, 3, 4, 5})
        EXPECT_EQ(b[t], a[t]) << "table " << t;

    // Makes: the window's five rows, the page from the tables only those
    // with a make.
    std::vector<QStringList> makes;
    for (const QStringList& row : a[6])
        if (row != QStringList{"", "", ""})
            makes.push_back(row);
    EXPECT_EQ(b[6], makes);

    // Adjustments: the same lines, named without the car number.
    ASSERT_EQ(b[7].size(), a[7].size());
    EXPECT_EQ(b[7][1], a[7][1]);
    for (size_t r = 2; r < a[7].size(); ++r) {
        EXPECT_TRUE(a[7][r][0].endsWith(b[7][r][0])) << r;
        EXPECT_EQ(b[7][r].mid(1), a[7][r].mid(1)) << r;
    }
}
