// The statistics run on the small season (Season.h), given tracks, laps,
// laps led, speeds, race counts and a driver with only provisional starts.

#include "Season.h"
#include "HTMLClass.h"
#include "Statistics.h"

#include "../publish/PageParse.h"

#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <utility>
#include <vector>

using namespace pageparse;
using season::name20;

namespace {

// A fixed-width field: first column (from 1) and its exact text.
using Field = std::pair<int, QString>;

// Every column of a line: the fields where given, blanks everywhere else.
void ExpectLayout(const QString& line, const std::vector<Field>& fields, int width)
{
    EXPECT_EQ(line.size(), width) << line.toStdString();
    QString expected(width, QLatin1Char(' '));
    for (const auto& [start, text] : fields)
        expected.replace(start - 1, text.size(), text);
    for (int c = 1; c <= width; ++c)
        EXPECT_EQ(rt::Mid(line, c, 1), rt::Mid(expected, c, 1)) << "column " << c << " of \"" << line.toStdString() << '"';
}

// StatLine: name, ST, Miles, LC, %LC, LL, %LOC, %LOT.
void ExpectStat(const QString& line, const char* name, const char* st, const char* miles, const char* laps,
                const char* lc, const char* led, const char* loc, const char* lot)
{
    SCOPED_TRACE(name);
    ExpectLayout(line,
                 {{1, name20(name)}, {23, QString::fromLatin1(st)}, {27, QString::fromLatin1(miles)},
                  {34, QString::fromLatin1(laps)}, {41, QString::fromLatin1(lc)}, {48, QString::fromLatin1(led)},
                  {55, QString::fromLatin1(loc)}, {62, QString::fromLatin1(lot)}},
                 66);
}

// BreakLine: name, N, ST, PR, TP, EP/ST, PP.
void ExpectBreak(const QString& line, const char* name, const char* n, const char* st, const char* pr,
                 const char* tp, const char* ep, const char* pp)
{
    SCOPED_TRACE(name);
    ExpectLayout(line,
                 {{1, name20(name)}, {24, QString::fromLatin1(n)}, {29, QString::fromLatin1(st)},
                  {34, QString::fromLatin1(pr)}, {39, QString::fromLatin1(tp)}, {46, QString::fromLatin1(ep)},
                  {54, QString::fromLatin1(pp)}},
                 57);
}

// One top-5 list as the run writes it.
QStringList Top5(const char* title, std::initializer_list<std::pair<const char*, int>> rows)
{
    QStringList out{QString::fromLatin1(title)};
    int k = 1;
    for (const auto& [name, value] : rows)
        out << QString::number(k++) + QStringLiteral(". ") + name20(name) + QString(7, QLatin1Char(' '))
                + rt::RSet(QString::number(value), 5);
    out << QStringLiteral("LINE");
    return out;
}

class StatisticsTest : public season::SeasonTest {
protected:
    void SetUp() override
    {
        SeasonTest::SetUp();
        if (HasFatalFailure())
            return;
        auto& db = *dbMain;
        db.execute(QStringLiteral("INSERT INTO Drivers (DriverID, OnlineID, Name, [Number], Brand) VALUES (7, 'gus', 'Gus Gray', '7', 'Ford')"));
        db.execute(QStringLiteral("INSERT INTO Tracks (ID, ShortName, FullName, Miles, [Type]) VALUES (1, 'One', 'Track One', 2.5, 1)"));
        db.execute(QStringLiteral("INSERT INTO Tracks (ID, ShortName, FullName, Miles, [Type]) VALUES (2, 'Two', 'Track Two', 0.5, 0)"));
        // Race 3 runs on a track that is not in Tracks.
        const QVariantList races[3] = {
            {1, QStringLiteral("3/1/2024"), QStringLiteral("Sunny"), QStringLiteral("Cloudy"), 5, 3, 2, 1},
            {2, QStringLiteral("3/8/2024"), QVariant(), QVariant(), 12, 4, QVariant(), 2},
            {99, QString(), QStringLiteral("Clear & \"dry\""), QVariant(), 12, QVariant(), 7, 3},
        };
        for (const auto& r : races)
            db.execute(QStringLiteral("UPDATE Races SET TrackID = ?, RaceDate = ?, Weather = ?, QWeather = ?, Changes = ?, "
                                      "Leader = ?, Flags = ? WHERE ID = ?"),
                       r);
        // Laps 101 - position; the first three lead 60, 30 and 10 laps; the
        // winner's interval is his average speed, the runner-up's the margin.
        const char* winnerSpeed[3] = {"130.512", "128.1", "135.000"};
        const char* margin[3] = {"-0.250", "-1.500", "-0.100"};
        const int lead[4] = {0, 60, 30, 10};
        for (int d = 1; d <= 6; ++d) {
            for (int r = 1; r <= 3; ++r) {
                const int pos = season::kPos[d - 1][r - 1];
                int laps = 101 - pos;
                QString finish = QStringLiteral("Running");
                if (d == 4 && r == 2) {
                    laps = 40;
                    finish = QStringLiteral("Accident");
                } else if (d == 5 && r == 1) {
                    laps = 0;
                    finish = QStringLiteral("Prov.");
                }
                const QString interval = pos == 1 ? QString::fromLatin1(winnerSpeed[r - 1])
                    : pos == 2                    ? QString::fromLatin1(margin[r - 1])
                                                  : QStringLiteral("-1 lap");
                db.execute(QStringLiteral("UPDATE Score SET Laps = ?, Lead = ?, Finish = ?, Interval = ? WHERE RaceID = ? AND DriverID = ?"),
                           {laps, finish == QLatin1String("Prov.") || pos > 3 ? 0 : lead[pos], finish, interval, r, d});
            }
        }
        // Driver 7 only ever starts as a provisional.
        db.execute(QStringLiteral("INSERT INTO Score VALUES ('D1', 1, 7, 7, '', 0, 0, 5, 'Prov.', 0, 'Ford', NULL, 0, NULL)"));
        db.execute(QStringLiteral("INSERT INTO Score VALUES ('D1', 2, 7, 7, '', 0, 0, 0, 'Prov.', 0, 'Ford', NULL, 0, NULL)"));
        const QVariantList poles[3] = {{QStringLiteral("150.250"), QStringLiteral("29.950"), 1},
                                       {QStringLiteral("149.5"), QStringLiteral("30.100"), 2},
                                       {QStringLiteral("151.000"), QStringLiteral("29.801"), 3}};
        for (const auto& p : poles)
            db.execute(QStringLiteral("UPDATE Qualify SET Speed = ?, [Time] = ? WHERE RaceID = ? AND Pos = 1"), p);
    }

    // The standings run, then the statistics run of the same race.
    bool runStats(const QString& race, const QString& div = QStringLiteral("D1"))
    {
        if (div == QLatin1String("D1") && !run(race))
            return false;
        stats = std::make_unique<Statistics>();
        stats->Division = div;
        stats->LastRace = race;
        return stats->GenerateAll();
    }

    QString page(const QString& div = QStringLiteral("D1")) const
    {
        return ReadFile(program->file(QStringLiteral("HTML/") + div + QStringLiteral("_statistics.htm")));
    }

    std::unique_ptr<Statistics> stats;
};

} // namespace

TEST_F(StatisticsTest, SeasonLines)
{
    ASSERT_TRUE(runStats(QStringLiteral("3"))) << msgs->last().toStdString();
    EXPECT_TRUE(msgs->calls().empty());

    // Kept winners on known tracks: races 1 and 2, 100 laps each.
    EXPECT_EQ(stats->dTotLaps.toLongLong(), 200);
    EXPECT_EQ(stats->dTotMiles, 300);

    // Percentages are real divisions: 199 of 200 laps is 99.5, not 99.
    ASSERT_EQ(stats->c_stats.size(), 7);
    const QStringList& s = stats->c_stats;
    ExpectStat(s[0], "Al O'Neil", " 2", "  300", "  199", " 99.5", "   90", " 45.2", " 45.0");
    ExpectStat(s[1], "Bo B\u00e4ck", " 2", "  298", "  199", " 99.5", "   90", " 45.2", " 45.0");
    ExpectStat(s[2], "Cy <Fast> & Co", " 2", "  245", "  197", " 98.5", "   40", " 20.3", " 20.0");
    ExpectStat(s[3], "Di Diaz", " 2", "  262", "  137", " 68.5", "    0", "  0.0", "  0.0");
    ExpectStat(s[4], "Ed Earl", " 2", "   49", "   98", " 49.0", "   10", " 10.2", "  5.0");
    ExpectStat(s[5], "Fa Fox", " 2", "   48", "  196", " 98.0", "   60", " 30.6", " 30.0");
    ExpectStat(s[6], "Gus Gray", " 2", "    0", "    0", "  0.0", "    0", "  0.0", "  0.0");

    ASSERT_EQ(stats->c_break.size(), 7);
    const QStringList& b = stats->c_break;
    ExpectBreak(b[0], "Al O'Neil", " 2", " 2", " 0", " 355", "177.5", "   0");
    ExpectBreak(b[1], "Bo B\u00e4ck", " 2", " 2", " 0", " 355", "177.5", "   0");
    ExpectBreak(b[2], "Cy <Fast> & Co", " 2", " 2", " 0", " 335", "167.5", "   0");
    ExpectBreak(b[3], "Di Diaz", " 2", " 2", " 0", " 310", "155.0", "   0");
    ExpectBreak(b[4], "Ed Earl", " 2", " 1", " 1", " 320", "165.0", " 155");
    ExpectBreak(b[5], "Fa Fox", " 2", " 2", " 0", " 340", "170.0", "   0");
    ExpectBreak(b[6], "Gus Gray", " 2", " 0", " 2", "   5", "  0.0", "   5");

    QStringList top5;
    top5 << Top5("T:STARTS", {{"Al O'Neil", 2}, {"Bo B\u00e4ck", 2}, {"Cy <Fast> & Co", 2}, {"Di Diaz", 2}, {"Fa Fox", 2}})
         << Top5("T:WINS", {{"Al O'Neil", 1}, {"Bo B\u00e4ck", 1}, {"Fa Fox", 1}})
         << Top5("T:TOP 5", {{"Al O'Neil", 2}, {"Bo B\u00e4ck", 2}, {"Cy <Fast> & Co", 2}, {"Ed Earl", 2}, {"Fa Fox", 2}})
         << Top5("T:TOP 10", {{"Al O'Neil", 2}, {"Bo B\u00e4ck", 2}, {"Cy <Fast> & Co", 2}, {"Di Diaz", 2}, {"Ed Earl", 2}})
         << Top5("T:POLES", {{"Al O'Neil", 1}, {"Bo B\u00e4ck", 1}, {"Cy <Fast> & Co", 1}})
         << Top5("T:LAPS", {{"Al O'Neil", 199}, {"Bo B\u00e4ck", 199}, {"Cy <Fast> & Co", 197}, {"Fa Fox", 196}, {"Di Diaz", 137}})
         << Top5("T:LAPS LEAD", {{"Al O'Neil", 90}, {"Bo B\u00e4ck", 90}, {"Fa Fox", 60}, {"Cy <Fast> & Co", 40}, {"Ed Earl", 10}})
         // Whole miles, fraction dropped: 299.5 shows as 299.
         << Top5("T:MILES", {{"Al O'Neil", 299}, {"Bo B\u00e4ck", 297}, {"Di Diaz", 262}, {"Cy <Fast> & Co", 245}, {"Ed Earl", 49}});
    EXPECT_EQ(stats->c_top5, top5);
    for (const QString& l : stats->c_top5)
        if (l.size() > 11) {
            EXPECT_EQ(l.size(), 35) << l.toStdString();
        }

    const QString line = QStringLiteral("LINE");
    const QStringList gen = {
        QStringLiteral("Fastest Avg      : Race 3"), QStringLiteral("Speed            : 135.000 mph"),
        QStringLiteral("Track            : Track 3"), QStringLiteral("Date             : "),
        QStringLiteral("Winner           : ") + name20("Fa Fox"), QStringLiteral("Weather          : Clear & \"dry\""), line,
        QStringLiteral("Slowest Avg      : Race 2"), QStringLiteral("Speed            : 128.1 mph"),
        QStringLiteral("Track            : Track 2"), QStringLiteral("Date             : 3/8/2024"),
        QStringLiteral("Winner           : ") + name20("Bo B\u00e4ck"), QStringLiteral("Weather          : "), line,
        QStringLiteral("Biggest Margin   : Race 2"), QStringLiteral("Track            : Track 2"),
        QStringLiteral("Date             : 3/8/2024"), QStringLiteral("Margin           : -1.500"), line,
        QStringLiteral("Closest Margin   : Race 3"), QStringLiteral("Track            : Track 3"),
        QStringLiteral("Date             : "), QStringLiteral("Margin           : -0.100"), line,
        QStringLiteral("Fastest Pole     : Race 3"), QStringLiteral("Speed/Time       : 151.000/29.801"),
        QStringLiteral("Track            : Track 3"), QStringLiteral("Date             : "),
        QStringLiteral("Driver           : ") + name20("Bo B\u00e4ck"), QStringLiteral("Weather          : "), line,
        QStringLiteral("Slowest Pole     : Race 2"), QStringLiteral("Speed/Time       : 149.5/30.100"),
        QStringLiteral("Track            : Track 2"), QStringLiteral("Date             : 3/8/2024"),
        QStringLiteral("Driver           : ") + name20("Al O'Neil"), QStringLiteral("Weather          : "), line,
        // Races 2 and 3 both had 12 changes: the earlier race holds the record.
        QStringLiteral("Most Lead Changes: Race 2"), QStringLiteral("Track            : Track 2"),
        QStringLiteral("Date             : 3/8/2024"), QStringLiteral("# Changes        : 12"), line,
        QStringLiteral("Most Leaders     : Race 2"), QStringLiteral("Track            : Track 2"),
        QStringLiteral("Date             : 3/8/2024"), QStringLiteral("# Changes        : 4"), line,
        QStringLiteral("Most Yellows     : Race 3"), QStringLiteral("Track            : Track 3"),
        QStringLiteral("Date             : "), QStringLiteral("# Flags          : 7"), line,
        // Provisional starters count neither as running nor as out.
        QStringLiteral("Most Cars Running: Race 1"), QStringLiteral("Track            : Track 1"),
        QStringLiteral("Date             : 3/1/2024"), QStringLiteral("# Cars           : 4"), line,
        QStringLiteral("Most DNFs        : Race 2"), QStringLiteral("Track            : Track 2"),
        QStringLiteral("Date             : 3/8/2024"), QStringLiteral("# Cars           : 1"),
    };
    EXPECT_EQ(stats->c_gen, gen);

    // The page carries the same cells, escaped.
    const QString body = page();
    EXPECT_TRUE(body.contains(QStringLiteral("Statistics Through Race #3 (200 total laps, 300 total miles)")));
    const auto rows = TableAfterTitle(body, QStringLiteral("Statistics Through Race #3"));
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[4], (QStringList{QStringLiteral("Cy &lt;Fast&gt; &amp; Co      "), QStringLiteral(" 2"),
                                    QStringLiteral("  245"), QStringLiteral("  197"), QStringLiteral(" 98.5"),
                                    QStringLiteral("   40"), QStringLiteral(" 20.3"), QStringLiteral(" 20.0")}));
    const auto breakRows = TableAfterTitle(body, QStringLiteral("Points Breakdown"));
    ASSERT_EQ(breakRows.size(), 9u);
    EXPECT_EQ(breakRows[3], (QStringList{QStringLiteral("Bo B&#228;ck") + QString(13, QLatin1Char(' ')), QStringLiteral(" 2"),
                                         QStringLiteral(" 2"), QStringLiteral(" 0"), QStringLiteral(" 355"),
                                         QStringLiteral("177.5"), QStringLiteral("   0")}));
    EXPECT_TRUE(body.contains(QStringLiteral("Clear &amp; &quot;dry&quot;")));
    EXPECT_EQ(TagBalance(body), QString());
    if (HaveTidy()) {
        EXPECT_EQ(TidyErrors(program->file(QStringLiteral("HTML/D1_statistics.htm"))), QString());
    }
    EXPECT_TRUE(QFile::exists(program->file(QStringLiteral("TXT/003D1Stat.htm"))));
}

TEST_F(StatisticsTest, SeasonTotalsRoundToEvenAndStayWide)
{
    // 100 laps on each: 2.5 * 100 + 0.125 * 100 = 262.5, a half going to 262.
    dbMain->execute(QStringLiteral("UPDATE Tracks SET Miles = 0.125 WHERE ID = 2"));
    ASSERT_TRUE(runStats(QStringLiteral("3")));
    EXPECT_EQ(stats->dTotMiles, 262);

    dbMain->execute(QStringLiteral("UPDATE Tracks SET Miles = 12.25 WHERE ID = 1"));
    ASSERT_TRUE(runStats(QStringLiteral("3")));
    EXPECT_EQ(stats->dTotMiles, 1238);   // 1237.5

    // Past what 16 bits hold.
    dbMain->execute(QStringLiteral("UPDATE Tracks SET Miles = 400 WHERE ID = 1"));
    ASSERT_TRUE(runStats(QStringLiteral("3")));
    EXPECT_EQ(stats->dTotMiles, 40012);
    EXPECT_TRUE(page().contains(QStringLiteral("(200 total laps, 40012 total miles)")));
    // Driver 1: 100 laps at 400 and 99 at 0.125 miles keep five digits.
    EXPECT_EQ(rt::Mid(stats->c_stats[0], 27, 5), QStringLiteral("40012"));
}

TEST_F(StatisticsTest, OlderRaceListsAndRecordsKeepToItsRaces)
{
    // Race 1 published again after race 3: race 3's pole, its faster pole
    // speed and its more yellows are not part of the season yet.
    ASSERT_TRUE(runStats(QStringLiteral("3")));
    ASSERT_TRUE(runStats(QStringLiteral("1"))) << msgs->last().toStdString();
    const QStringList poles = Top5("T:POLES", {{"Cy <Fast> & Co", 1}});
    const auto at = std::search(stats->c_top5.begin(), stats->c_top5.end(), poles.begin(), poles.end());
    EXPECT_NE(at, stats->c_top5.end()) << stats->c_top5.join(QLatin1Char('|')).toStdString();
    for (const char* record : {"Fastest Pole     : Race 1", "Slowest Pole     : Race 1", "Most Lead Changes: Race 1",
                               "Most Leaders     : Race 1", "Most Yellows     : Race 1"})
        EXPECT_TRUE(stats->c_gen.contains(QString::fromLatin1(record))) << record;
    EXPECT_FALSE(stats->c_gen.contains(QStringLiteral("Fastest Pole     : Race 3")));
}

TEST_F(StatisticsTest, APoleWithoutATimeIsNoRecord)
{
    // Race 2 has the only timed pole.
    dbMain->execute(QStringLiteral("UPDATE Qualify SET Speed = '0', [Time] = '0' WHERE Pos = 1 AND RaceID IN (1, 3)"));
    dbMain->execute(QStringLiteral("UPDATE Races SET Venue = 'Track 2' WHERE ID = 3"));

    ASSERT_TRUE(runStats(QStringLiteral("3")));
    const QStringList poles = {QStringLiteral("Fastest Pole     : Race 2"), QStringLiteral("Speed/Time       : 149.5/30.100")};
    EXPECT_NE(std::search(stats->c_gen.begin(), stats->c_gen.end(), poles.begin(), poles.end()), stats->c_gen.end());
    const qsizetype slowest = stats->c_gen.indexOf(QStringLiteral("Slowest Pole     : Race 2"));
    ASSERT_GE(slowest, 0) << stats->c_gen.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(stats->c_gen.value(slowest + 1), poles[1]);

    // No timed pole at all: no pole record.
    dbMain->execute(QStringLiteral("UPDATE Qualify SET Speed = '0', [Time] = '0' WHERE Pos = 1"));
    ASSERT_TRUE(runStats(QStringLiteral("3")));
    for (const QString& line : stats->c_gen)
        EXPECT_FALSE(line.contains(QStringLiteral("Pole")) || line.contains(QStringLiteral("0/0"))) << line.toStdString();
}

TEST_F(StatisticsTest, ASavedQueryThatCannotBeMadeIsNamed)
{
    ASSERT_TRUE(runStats(QStringLiteral("3")));
    // The league file refuses to store this one saved query.
    auto refuse = [](const char* name) {
        sqlite3_exec(dbMain->handle(), "DROP TRIGGER IF EXISTS refuse", nullptr, nullptr, nullptr);
        const QByteArray sql = QByteArray("CREATE TRIGGER refuse BEFORE INSERT ON MSysQueries WHEN NEW.Name = '") + name
            + "' BEGIN SELECT RAISE(ABORT, 'disk I/O trouble'); END";
        ASSERT_EQ(sqlite3_exec(dbMain->handle(), sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        dbMain->deleteQueryDef(QString::fromLatin1(name));
    };
    for (const char* name : {"Points", "Stats"}) {
        refuse(name);
        msgs->clear();
        EXPECT_FALSE(runStats(QStringLiteral("3"))) << name;
        EXPECT_TRUE(msgs->last().contains(QStringLiteral("\"%1\"").arg(QLatin1String(name)))) << msgs->last().toStdString();
        EXPECT_TRUE(msgs->last().contains(QStringLiteral("disk I/O trouble"))) << msgs->last().toStdString();
        EXPECT_FALSE(msgs->last().contains(QStringLiteral("LastRaceTotals"))) << msgs->last().toStdString();
    }
    refuse("PoleWinners");
    HTMLClass html;
    html.sDiv = QStringLiteral("D1");
    EXPECT_FALSE(html.HTMLSchedule());
    EXPECT_TRUE(html.lastError().contains(QStringLiteral("\"PoleWinners\""))) << html.lastError().toStdString();
    EXPECT_TRUE(html.lastError().contains(QStringLiteral("disk I/O trouble"))) << html.lastError().toStdString();
}

TEST_F(StatisticsTest, NoWinnerOnAKnownTrack)
{
    dbMain->execute(QStringLiteral("UPDATE Races SET TrackID = 99"));
    ASSERT_TRUE(runStats(QStringLiteral("3")));
    EXPECT_TRUE(stats->dTotLaps.isNull());
    EXPECT_EQ(stats->dTotMiles, 0);
    // Nobody has a miles row, so nobody has a statistics line or a miles list.
    EXPECT_TRUE(stats->c_stats.isEmpty());
    EXPECT_EQ(stats->c_break.size(), 7);
    EXPECT_FALSE(stats->c_top5.contains(QStringLiteral("T:MILES")));
    EXPECT_TRUE(page().contains(QStringLiteral("Statistics Through Race #3 ( total laps,  total miles)")));
}

TEST_F(StatisticsTest, DivisionWithoutResults)
{
    dbMain->execute(QStringLiteral("INSERT INTO Division (ID, Name, Teams, [Drop]) VALUES ('D2', 'New', 0, 0)"));
    dbMain->execute(QStringLiteral("INSERT INTO Division (ID, Name, Teams, [Drop]) VALUES ('D3', 'Unraced', 0, 0)"));
    dbMain->execute(QStringLiteral("INSERT INTO Races (Division, RaceNo, Venue, RaceName, Changes, Leader, Flags) "
                                   "VALUES ('D3', '1', 'Oval', 'Opener', 3, 2, 1)"));

    // No races yet: every list empty, the records leave only their separators.
    ASSERT_TRUE(runStats(QStringLiteral("1"), QStringLiteral("D2"))) << msgs->last().toStdString();
    EXPECT_TRUE(stats->c_break.isEmpty());
    EXPECT_TRUE(stats->c_stats.isEmpty());
    EXPECT_TRUE(stats->c_top5.isEmpty());
    EXPECT_EQ(stats->c_gen, QStringList(10, QStringLiteral("LINE")));
    EXPECT_TRUE(stats->dTotLaps.isNull());
    const QString body = page(QStringLiteral("D2"));
    EXPECT_EQ(TableAfterTitle(body, QStringLiteral("Statistics Through Race #1")).size(), 2u);
    EXPECT_EQ(TableAfterTitle(body, QStringLiteral("Points Breakdown")).size(), 2u);
    EXPECT_TRUE(body.contains(QStringLiteral(">Top 5</td>")));
    EXPECT_TRUE(body.contains(QStringLiteral(">General Statistics</td>")));

    // A race without results: only the three records kept on the race.
    ASSERT_TRUE(runStats(QStringLiteral("1"), QStringLiteral("D3")));
    const QString line = QStringLiteral("LINE");
    EXPECT_EQ(stats->c_gen, (QStringList(6, line) << QStringLiteral("Most Lead Changes: Opener")
                                                   << QStringLiteral("Track            : Oval") << QStringLiteral("Date             : ")
                                                   << QStringLiteral("# Changes        : 3") << line
                                                   << QStringLiteral("Most Leaders     : Opener")
                                                   << QStringLiteral("Track            : Oval") << QStringLiteral("Date             : ")
                                                   << QStringLiteral("# Changes        : 2") << line
                                                   << QStringLiteral("Most Yellows     : Opener")
                                                   << QStringLiteral("Track            : Oval") << QStringLiteral("Date             : ")
                                                   << QStringLiteral("# Flags          : 1") << line << line));
}

TEST_F(StatisticsTest, MissingRowsGiveEmptyValues)
{
    // No qualifying, nobody led a lap, the race-3 winner has no name.
    dbMain->execute(QStringLiteral("DELETE * FROM Qualify"));
    dbMain->execute(QStringLiteral("UPDATE Score SET Lead = 0"));
    dbMain->execute(QStringLiteral("UPDATE Drivers SET Name = NULL WHERE DriverID = 6"));
    ASSERT_TRUE(run(QStringLiteral("3")));
    // Kept rows of a race that has since gone, with the most cars running.
    for (int d = 1; d <= 5; ++d)
        dbMain->execute(QStringLiteral("INSERT INTO ScoreDrop VALUES ('D1', 77, ?, ?, '', 10, 0, 1, 'Running', 0, '', 0, 0, 0)"), {d, d});

    stats = std::make_unique<Statistics>();
    stats->Division = QStringLiteral("D1");
    stats->LastRace = QStringLiteral("3");
    ASSERT_TRUE(stats->GenerateAll()) << stats->lastError().toStdString();

    EXPECT_FALSE(stats->c_top5.contains(QStringLiteral("T:POLES")));
    // Laps led: everyone at 0, in name order; the nameless driver sorts by
    // his online name, after the first five.
    const int at = stats->c_top5.indexOf(QStringLiteral("T:LAPS LEAD"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(stats->c_top5[at + 1], QStringLiteral("1. ") + name20("Al O'Neil") + QString(7, QLatin1Char(' ')) + QStringLiteral("    0"));
    EXPECT_EQ(stats->c_top5[at + 5], QStringLiteral("5. ") + name20("Ed Earl") + QString(7, QLatin1Char(' ')) + QStringLiteral("    0"));
    // Statistics line of the nameless driver: his online name, LOC 0.0.
    const auto nameless = std::find_if(stats->c_stats.begin(), stats->c_stats.end(),
                                       [](const QString& l) { return l.startsWith(name20("online6")); });
    ASSERT_NE(nameless, stats->c_stats.end());
    EXPECT_EQ(rt::Mid(*nameless, 48, 19), QStringLiteral("    0    0.0    0.0"));

    const QStringList& g = stats->c_gen;
    // The winner without a name is shown by his online name.
    EXPECT_EQ(g[4], QStringLiteral("Winner           : ") + name20("online6"));
    // The pole records are empty.
    const int pole = g.indexOf(QStringLiteral("Margin           : -0.100")) + 1;
    EXPECT_EQ(g.mid(pole, 3), (QStringList{QStringLiteral("LINE"), QStringLiteral("LINE"), QStringLiteral("LINE")}));
    // The gone race: its details are empty, the count stays.
    const int cars = g.indexOf(QStringLiteral("Most Cars Running: "));
    ASSERT_GE(cars, 0);
    EXPECT_EQ(g.mid(cars, 5), (QStringList{QStringLiteral("Most Cars Running: "), QStringLiteral("Track            : "),
                                           QStringLiteral("Date             : "), QStringLiteral("# Cars           : 5"),
                                           QStringLiteral("LINE")}));
}

TEST_F(StatisticsTest, FragmentNamedByTrimmedRaceNumber)
{
    ASSERT_TRUE(run(QStringLiteral("3")));
    Statistics s;
    s.Division = QStringLiteral("D1");
    s.LastRace = QStringLiteral("3 ");
    ASSERT_TRUE(s.GenerateAll());
    // The standings viewer opens 003D1Stat.htm beside 003D1Stan.htm.
    EXPECT_TRUE(QFile::exists(program->file(QStringLiteral("TXT/003D1Stat.htm"))));
    EXPECT_TRUE(QFile::exists(program->file(QStringLiteral("TXT/003D1Stan.htm"))));
    EXPECT_TRUE(page().contains(QStringLiteral("Statistics Through Race #3  (")));

    // A second run on the same object starts from empty lists.
    const QStringList first = s.c_stats;
    ASSERT_TRUE(s.GenerateAll());
    EXPECT_EQ(s.c_stats, first);
}

TEST_F(StatisticsTest, FailuresAreReportedNotAnnounced)
{
    ASSERT_TRUE(runStats(QStringLiteral("3")));
    const QString before = page();

    // No template: the run fails, says why once, and the old page stays.
    QFile::remove(program->file(QStringLiteral("HTML/temp_statistics.htm")));
    msgs->clear();
    Statistics s;
    s.Division = QStringLiteral("D1");
    s.LastRace = QStringLiteral("2");
    EXPECT_FALSE(s.GenerateAll());
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_TRUE(msgs->calls()[0].flags & dlg::vbCritical);
    EXPECT_TRUE(s.lastError().contains(QStringLiteral("temp_statistics.htm")));
    EXPECT_EQ(page(), before);

    // A saved query someone broke fails the run with the database's error.
    dbMain->deleteQueryDef(QStringLiteral("Stats"));
    dbMain->createQueryDef(QStringLiteral("Stats"), QStringLiteral("SELECT Nothing FROM NoSuchTable"));
    msgs->clear();
    Statistics broken;
    broken.Division = QStringLiteral("D1");
    broken.LastRace = QStringLiteral("1");
    EXPECT_FALSE(broken.GenerateAll());
    EXPECT_EQ(msgs->calls().size(), 1u);
    EXPECT_TRUE(broken.lastError().contains(QStringLiteral("Error")));
    EXPECT_FALSE(QFile::exists(program->file(QStringLiteral("TXT/001D1Stat.htm"))));
}

TEST_F(StatisticsTest, SavedQueriesMadeWhenMissingAndKept)
{
    for (const auto& q : Statistics::SavedQueries())
        if (dbMain->hasQueryDef(q.first))
            dbMain->deleteQueryDef(q.first);
    dbMain->createQueryDef(QStringLiteral("Stand"), QStringLiteral("SELECT DriverID AS SDriver, 0 AS SumOfPoints FROM ScoreDrop"));
    Statistics s;
    for (const auto& q : Statistics::SavedQueries()) {
        ASSERT_TRUE(dbMain->hasQueryDef(q.first)) << q.first.toStdString();
        if (q.first != QLatin1String("Stand")) {
            EXPECT_EQ(dbMain->queryDef(q.first).sql(), q.second);
        }
    }
    EXPECT_EQ(dbMain->queryDef(QStringLiteral("Stand")).sql(),
              QStringLiteral("SELECT DriverID AS SDriver, 0 AS SumOfPoints FROM ScoreDrop"));
    EXPECT_EQ(Statistics::SavedQueries().size(), 11);
    EXPECT_EQ(Statistics::SavedQueries().last().second,
              QStringLiteral("SELECT DriverID, Sum(Earnings +  Bonus + BonusAdd) FROM ScoreDrop GROUP BY DriverID"));

    // The queries nothing opens still run.
    ASSERT_TRUE(run(QStringLiteral("3")));
    for (const char* name : {"DNFs", "DNQs"}) {
        auto q = dbMain->queryDef(QString::fromLatin1(name));
        q.setParameter(QStringLiteral("mDiv"), QStringLiteral("D1"));
        auto rs = q.openRecordset();
        EXPECT_EQ(rs->recordCount(), name[2] == 'F' ? 1 : 0) << name;
    }
}

namespace {

// The trimmed name field (from column `start`, 20 wide) of each line.
QStringList namesAt(const QStringList& lines, int start)
{
    QStringList names;
    for (const QString& l : lines)
        names << rt::Trim(rt::Mid(l, start, 20));
    return names;
}

class NamelessDriverTest : public StatisticsTest {
protected:
    void SetUp() override
    {
        StatisticsTest::SetUp();
        if (HasFatalFailure())
            return;
        // An empty name, no name (the rookie) and a blank name.
        dbMain->execute(QStringLiteral("UPDATE Drivers SET Name = '' WHERE DriverID = 2"));
        dbMain->execute(QStringLiteral("UPDATE Drivers SET Name = NULL WHERE DriverID = 5"));
        dbMain->execute(QStringLiteral("UPDATE Drivers SET Name = '   ' WHERE DriverID = 6"));
        bLines = false;
    }

    // Every place a driver is named, shown by his online name and sorted by it.
    void expectOnlineNamesEverywhere()
    {
        ASSERT_TRUE(runStats(QStringLiteral("3"))) << msgs->last().toStdString();
        const QStringList online = {QStringLiteral("online2"), QStringLiteral("online5"), QStringLiteral("online6")};
        for (const auto& [lines, start] : {std::pair{last, 5}, std::pair{earnings, 7}}) {
            const QStringList names = namesAt(lines, start);
            EXPECT_FALSE(names.contains(QString())) << names.join(QLatin1Char('|')).toStdString();
            for (const QString& o : online)
                EXPECT_TRUE(names.contains(o)) << o.toStdString() << " in " << names.join(QLatin1Char('|')).toStdString();
        }
        EXPECT_EQ(namesAt(rookies, 6), QStringList{QStringLiteral("online5")});

        const QStringList byName = {QStringLiteral("Al O'Neil"), QStringLiteral("Cy <Fast> & Co"), QStringLiteral("Di Diaz"),
                                    QStringLiteral("Gus Gray"),  QStringLiteral("online2"),        QStringLiteral("online5"),
                                    QStringLiteral("online6")};
        EXPECT_EQ(namesAt(stats->c_stats, 1), byName);
        EXPECT_EQ(namesAt(stats->c_break, 1), byName);

        const int wins = stats->c_top5.indexOf(QStringLiteral("T:WINS"));
        ASSERT_GE(wins, 0);
        EXPECT_EQ(stats->c_top5.mid(wins, 5), Top5("T:WINS", {{"Al O'Neil", 1}, {"online2", 1}, {"online6", 1}}));
        const int miles = stats->c_top5.indexOf(QStringLiteral("T:MILES"));
        ASSERT_GE(miles, 0);
        ASSERT_LT(miles + 2, stats->c_top5.size());
        EXPECT_EQ(stats->c_top5[miles + 2], QStringLiteral("2. ") + name20("online2") + QString(7, QLatin1Char(' ')) + QStringLiteral("  297"));
        for (const QString& l : stats->c_top5) {
            if (l.size() > 11) {
                EXPECT_NE(rt::Trim(rt::Mid(l, 4, 20)), QString()) << l.toStdString();
            }
        }
        EXPECT_TRUE(stats->c_gen.contains(QStringLiteral("Winner           : ") + name20("online6")));

        // The schedule's pole and top-5 cells.
        HTMLClass html;
        html.sDiv = QStringLiteral("D1");
        ASSERT_TRUE(html.HTMLSchedule()) << html.lastError().toStdString();
        const auto rows = TableAfterTitle(ReadFile(program->file(QStringLiteral("HTML/D1_schedule.htm"))),
                                          QStringLiteral(" Schedule</td>"));
        ASSERT_EQ(rows.size(), 5u);
        EXPECT_EQ(rows[3][3], QStringLiteral("Al O&#39;Neil"));
        EXPECT_EQ(rows[3][4], QStringLiteral("1 - online2<br>2 - Al O&#39;Neil<br>3 - online5<br>4 - Cy &lt;Fast&gt; &amp; Co<br>5 - online6"));
        EXPECT_EQ(rows[4][3], QStringLiteral("online2"));
    }
};

} // namespace

TEST_F(NamelessDriverTest, ShownByOnlineNameInEveryLineListAndCell)
{
    expectOnlineNamesEverywhere();
}

TEST_F(NamelessDriverTest, OldSavedQueriesOfALeagueDatabaseFollowTheRule)
{
    // The texts a league database made by an earlier version holds.
    const QList<QPair<QString, QString>> former = {
        {QStringLiteral("Stats"),
         QStringLiteral("SELECT Drivers.Name, QueryRace.RRaces, Miles.TotMiles, Laps.SumOfLaps, Laps.LC, Laps.SumOfLead, Laps.LOC, "
                        "Laps.LOT FROM Drivers, QueryRace, Miles, Laps WHERE QueryRace.RDriver = Miles.MDriver And "
                        "Drivers.DriverID = QueryRace.RDriver AND QueryRace.RDriver = Laps.LDriver ORDER BY Drivers.Name")},
        {QStringLiteral("Break"),
         QStringLiteral("SELECT Drivers.Name, QueryRace.RRaces, Provis.TotOfProv, Stand.SumOfPoints, Provis.TotOfProvPoints "
                        "FROM ((QueryRace LEFT JOIN Provis ON QueryRace.RDriver = Provis.DriverID) INNER JOIN Stand ON "
                        "QueryRace.RDriver = Stand.SDriver) INNER JOIN Drivers ON QueryRace.RDriver = Drivers.DriverID "
                        "ORDER BY Drivers.Name")},
        {QStringLiteral("Miles2"),
         QStringLiteral("SELECT Name, TotMiles FROM Miles INNER JOIN Drivers ON Miles.MDriver = Drivers.DriverID "
                        "ORDER BY Miles.TotMiles DESC, Drivers.Name")},
        {QStringLiteral("Top5Races"),
         QStringLiteral("SELECT Races.Division, Races.RaceNo, Score.Posi, Drivers.Name FROM Drivers INNER JOIN (Races INNER "
                        "JOIN Score ON Races.ID = Score.RaceID) ON Drivers.DriverID = Score.DriverID WHERE Score.Posi <= 5 "
                        "ORDER BY Races.Division, Races.RaceNo, Score.Posi")},
        {QStringLiteral("PoleWinners"),
         QStringLiteral("SELECT Races.Division, Races.RaceNo, Drivers.Name FROM Races INNER JOIN (Qualify INNER JOIN (Drivers "
                        "INNER JOIN Score ON Drivers.DriverID = Score.DriverID) ON Qualify.DriverID = Drivers.DriverID) ON "
                        "(Races.ID = Score.RaceID) AND (Races.ID = Qualify.RaceID) WHERE Qualify.pos = 1 ORDER BY "
                        "Races.Division, Races.RaceNo")},
    };
    for (const auto& [name, sql] : former) {
        if (dbMain->hasQueryDef(name))
            dbMain->deleteQueryDef(name);
        dbMain->createQueryDef(name, sql);
    }
    // A text the user wrote himself stays as it is.
    const QString own = QStringLiteral("SELECT Name, TotMiles FROM Miles INNER JOIN Drivers ON Miles.MDriver = Drivers.DriverID "
                                       "ORDER BY Miles.TotMiles DESC");
    dbMain->deleteQueryDef(QStringLiteral("Miles2"));
    dbMain->createQueryDef(QStringLiteral("Miles2"), own);

    {
        Statistics s;
        HTMLClass html;
    }
    for (const auto& [name, sql] : former) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(dbMain->hasQueryDef(name));
        if (name == QLatin1String("Miles2")) {
            EXPECT_EQ(dbMain->queryDef(name).sql(), own);
        } else {
            EXPECT_NE(dbMain->queryDef(name).sql(), sql);
        }
    }
    // Back to the current text for the rest of the checks.
    dbMain->deleteQueryDef(QStringLiteral("Miles2"));
    dbMain->createQueryDef(QStringLiteral("Miles2"), former[2].second);
    expectOnlineNamesEverywhere();
}
