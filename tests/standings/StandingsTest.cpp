// The small season (Season.h) run through the standings.

#include "Season.h"

#include "../publish/PageParse.h"

#include "Database.h"
#include "QueryDef.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "TestSupport.h"

#include <QGuiApplication>
#include <QFile>

using namespace pageparse;

using season::name20;
using season::SeasonTest;

namespace {

// One StandLine cut into its fields.
struct Stand {
    QString pos, name, st, w, t5, t10, afp, p, asp, pts, bf, bn, change;
};

Stand cut(const QString& l)
{
    return {rt::Mid(l, 1, 2), rt::Mid(l, 5, 20), rt::Mid(l, 26, 2), rt::Mid(l, 29, 2), rt::Mid(l, 32, 2),
            rt::Mid(l, 36, 2), rt::Mid(l, 39, 5), rt::Mid(l, 46, 2), rt::Mid(l, 49, 5), rt::Mid(l, 56, 5),
            rt::Mid(l, 62, 5), rt::Mid(l, 68, 5), rt::Mid(l, 74)};
}

} // namespace

TEST_F(SeasonTest, StandingsWithOneDroppedRace)
{
    ASSERT_TRUE(run(QStringLiteral("3"))) << msgs->last().toStdString();
    // Each driver keeps his two best finishes; equal positions keep the earlier race.
    EXPECT_EQ(scoreDrop().size(), 12);
    EXPECT_TRUE(scoreDrop().contains(QStringLiteral("2/4/150")));    // driver 4: 6th in races 2 and 3
    EXPECT_FALSE(scoreDrop().contains(QStringLiteral("3/4/150")));
    EXPECT_TRUE(scoreDrop().contains(QStringLiteral("1/5/155")));    // driver 5: 5th in races 1 and 3
    EXPECT_FALSE(scoreDrop().contains(QStringLiteral("3/5/155")));

    ASSERT_EQ(last.size(), 6);
    EXPECT_EQ(last[0], QStringLiteral(" 1. ") + name20("Al O'Neil") + QStringLiteral("  2  1  2   2  1.50   1  1.50    355     0/0     --"));
    struct Row {
        const char* name;
        const char *st, *w, *t5, *t10, *afp, *p, *asp, *pts, *bf, *bn;
    };
    // Drivers 1 and 2 tie on every key: the lower id comes first.
    const Row expected[6] = {
        {"Al O'Neil", " 2", " 1", " 2", " 2", " 1.50", " 1", " 1.50", "  355", "    0", "0    "},
        {"Bo B\u00e4ck", " 2", " 1", " 2", " 2", " 1.50", " 1", " 2.50", "  355", "    0", "0    "},
        {"Fa Fox", " 2", " 1", " 2", " 2", " 3.00", " 0", "     ", "  340", "   15", "15   "},
        {"Cy <Fast> & Co", " 2", " 0", " 2", " 2", " 2.50", " 1", " 2.00", "  335", "   20", "5    "},
        {"Ed Earl", " 2", " 0", " 2", " 2", " 4.00", " 0", " 5.00", "  320", "   35", "15   "},
        {"Di Diaz", " 2", " 0", " 1", " 2", " 5.00", " 0", " 4.00", "  310", "   45", "10   "},
    };
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i + 1);
        const Stand s = cut(last[i]);
        const Row& e = expected[i];
        EXPECT_EQ(s.pos, rt::RSet(QString::number(i + 1), 2));
        EXPECT_EQ(s.name, name20(e.name));
        EXPECT_EQ(s.st, QString::fromLatin1(e.st));
        EXPECT_EQ(s.w, QString::fromLatin1(e.w));
        EXPECT_EQ(s.t5, QString::fromLatin1(e.t5));
        EXPECT_EQ(s.t10, QString::fromLatin1(e.t10));
        EXPECT_EQ(s.afp, QString::fromLatin1(e.afp));
        EXPECT_EQ(s.p, QString::fromLatin1(e.p));
        EXPECT_EQ(s.asp, QString::fromLatin1(e.asp));
        EXPECT_EQ(s.pts, QString::fromLatin1(e.pts));
        EXPECT_EQ(s.bf, QString::fromLatin1(e.bf));
        EXPECT_EQ(s.bn, QString::fromLatin1(e.bn));
        EXPECT_EQ(s.change, QStringLiteral("--"));   // dropping races: no change shown
        EXPECT_EQ(last[i].size(), 75);
    }

    // Race points per team car: 37 + 27 + 15 and 14 + 18.
    EXPECT_EQ(teams, (QStringList{QStringLiteral(" 1.  ") + rt::LSet(QStringLiteral("Red & Blue Racing"), 30) + QStringLiteral("   79"),
                                  QStringLiteral(" 2.  ") + rt::LSet(QStringLiteral("O'Hare Motorsports"), 30) + QStringLiteral("   32")}));
    // Makes: Chevy and Ford tie on 15 and end in name order.
    EXPECT_EQ(mfgs, (QStringList{QStringLiteral(" 1.  Chevy            15"), QStringLiteral(" 2.  Ford             15"),
                                 QStringLiteral(" 3.  Toyota           13"), QStringLiteral(" 4.  Dodge            10")}));
    EXPECT_EQ(rookies, (QStringList{QStringLiteral(" 1.  ") + name20("Ed Earl") + QStringLiteral("         20")}));
    // Earnings: driver 6 was never paid but has a bonus; the total still adds it.
    ASSERT_EQ(earnings.size(), 6);
    EXPECT_EQ(earnings[0], QStringLiteral("  1.  ") + name20("Al O'Neil") + QStringLiteral("  1,239,567          0  1,239,567"));
    EXPECT_EQ(earnings[1], QStringLiteral("  2.  ") + name20("Bo B\u00e4ck") + QStringLiteral("     11,000        100     11,100"));
    EXPECT_EQ(earnings[2].mid(6, 20), name20("Cy <Fast> & Co"));
    EXPECT_EQ(earnings[3].mid(6, 20), name20("Ed Earl"));
    EXPECT_EQ(earnings[4].mid(6, 20), name20("Di Diaz"));
    EXPECT_EQ(earnings[5], QStringLiteral("  6.  ") + name20("Fa Fox") + QStringLiteral("          0        250        250"));

    // The page shows the same, escaped.
    const QString body = ReadFile(pagePath());
    const auto rows = TableAfterTitle(body, QStringLiteral("Point Standings after Race #3"));
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[4], (QStringList{QStringLiteral("3"), QStringLiteral("--"), QStringLiteral("Fa Fox              "),
                                    QStringLiteral(" 2"), QStringLiteral(" 1"), QStringLiteral(" 2"), QStringLiteral(" 2"),
                                    QStringLiteral(" 3.00"), QStringLiteral(" 0"), QStringLiteral("     "),
                                    QStringLiteral("  340"), QStringLiteral("   15/15   ")}));
    EXPECT_EQ(rows[3][2], QStringLiteral("Bo B&#228;ck") + QString(13, QLatin1Char(' ')));
    EXPECT_EQ(rows[5][2], QStringLiteral("Cy &lt;Fast&gt; &amp; Co") + QString(6, QLatin1Char(' ')));
    const auto teamRows = TableAfterTitle(body, QStringLiteral("Team Points"));
    ASSERT_EQ(teamRows.size(), 4u);
    EXPECT_EQ(teamRows[2], (QStringList{QStringLiteral(" 1"), QStringLiteral("Red &amp; Blue Racing"), QStringLiteral("79")}));
    EXPECT_EQ(teamRows[3], (QStringList{QStringLiteral(" 2"), QStringLiteral("O&#39;Hare Motorsports"), QStringLiteral("32")}));
    const auto rookieRows = TableAfterTitle(body, QStringLiteral("ROTY Points"));
    ASSERT_EQ(rookieRows.size(), 3u);
    EXPECT_EQ(rookieRows[2], (QStringList{QStringLiteral(" 1"), QStringLiteral("Ed Earl"), QStringLiteral("20")}));
    const auto earnRows = TableAfterTitle(body, QStringLiteral("Driver Earnings"));
    ASSERT_EQ(earnRows.size(), 8u);
    EXPECT_EQ(earnRows[2], (QStringList{QStringLiteral("1"), QStringLiteral("Al O&#39;Neil") + QString(11, QLatin1Char(' ')),
                                        QStringLiteral(" 1,239,567"), QStringLiteral("         0"), QStringLiteral(" 1,239,567")}));
    EXPECT_EQ(TableAfterTitle(body, QStringLiteral("Manufacturer Points")).size(), 6u);
    EXPECT_EQ(TagBalance(body), QString());
    if (HaveTidy()) {
        EXPECT_EQ(TidyErrors(pagePath()), QString());
    }
    EXPECT_TRUE(QFile::exists(program->file(QStringLiteral("TXT/003D1Stan.htm"))));
}

TEST_F(SeasonTest, TeamsBySumOfPoints)
{
    nTeams = 2;
    bBrands = bRoty = bEarnings = false;
    ASSERT_TRUE(run(QStringLiteral("3")));
    EXPECT_EQ(teams, (QStringList{QStringLiteral(" 1.  ") + rt::LSet(QStringLiteral("Red & Blue Racing"), 30) + QStringLiteral("    1045"),
                                  QStringLiteral(" 2.  ") + rt::LSet(QStringLiteral("O'Hare Motorsports"), 30) + QStringLiteral("     630")}));
    EXPECT_TRUE(mfgs.isEmpty());
    EXPECT_TRUE(rookies.isEmpty());
    EXPECT_TRUE(earnings.isEmpty());
    const QString body = ReadFile(pagePath());
    const auto teamRows = TableAfterTitle(body, QStringLiteral("Team Points"));
    ASSERT_EQ(teamRows.size(), 4u);
    EXPECT_EQ(teamRows[2][2], QStringLiteral("1045"));
    EXPECT_EQ(teamRows[3][1], QStringLiteral("O&#39;Hare Motorsports"));
    EXPECT_FALSE(body.contains(QStringLiteral("Driver Earnings")));
    EXPECT_FALSE(body.contains(QStringLiteral("ROTY Points")));
    EXPECT_FALSE(body.contains(QStringLiteral("Manufacturer Points")));
}

TEST_F(SeasonTest, PositionChangesWithoutDroppedRaces)
{
    nDrop = 0;
    ASSERT_TRUE(run(QStringLiteral("3")));
    EXPECT_EQ(scoreDrop().size(), 18);
    // After race 2: 1, 2, 3, 5, 4, 6 (drivers 1 and 2 tie on 355: lower id first).
    const QStringList order = {QStringLiteral("Al O'Neil"), QStringLiteral("Bo B\u00e4ck"), QStringLiteral("Cy <Fast> & Co"),
                               QStringLiteral("Fa Fox"), QStringLiteral("Ed Earl"), QStringLiteral("Di Diaz")};
    const QStringList change = {QStringLiteral("--"), QStringLiteral("--"), QStringLiteral("--"),
                                QStringLiteral("+2"), QStringLiteral("-1"), QStringLiteral("-1")};
    ASSERT_EQ(last.size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(cut(last[i]).name, rt::LSet(order[i], 20));
        EXPECT_EQ(cut(last[i]).change, change[i]);
    }
    EXPECT_EQ(cut(last[0]).pts, QStringLiteral("  520"));
    EXPECT_EQ(cut(last[1]).bf, QStringLiteral("    5"));

    // After the first race nothing has changed.
    ASSERT_TRUE(run(QStringLiteral("1")));
    for (const QString& l : last)
        EXPECT_EQ(cut(l).change, QStringLiteral("--"));
}

TEST_F(SeasonTest, OlderRaceCountsOnlyRacesUpToIt)
{
    ASSERT_TRUE(run(QStringLiteral("3")));
    // Race 2 with one race dropped keeps each driver's best of races 1 and 2.
    ASSERT_TRUE(run(QStringLiteral("2")));
    const QStringList rows = scoreDrop();
    EXPECT_EQ(rows.size(), 6);
    for (const QString& r : rows)
        EXPECT_FALSE(r.startsWith(QStringLiteral("3/"))) << r.toStdString();
    ASSERT_EQ(last.size(), 6);
    EXPECT_EQ(cut(last[5]).name, name20("Fa Fox"));
    EXPECT_EQ(cut(last[5]).pts, QStringLiteral("  155"));   // not his race-3 win
    // Poles too: Bo's pole of race 3 is not his yet; Al and Cy have one each.
    for (const QString& l : last) {
        const QString name = cut(l).name;
        if (name == name20("Bo B\u00e4ck")) {
            EXPECT_EQ(cut(l).p, QStringLiteral(" 0"));
        } else if (name == name20("Al O'Neil") || name == name20("Cy <Fast> & Co")) {
            EXPECT_EQ(cut(l).p, QStringLiteral(" 1")) << l.toStdString();
        }
    }
    EXPECT_TRUE(ReadFile(pagePath()).contains(QStringLiteral("Point Standings after Race #2")));
}

TEST_F(SeasonTest, ARefusedPageKeepsTheRunsTablesAndABadRaceNumberChangesNothing)
{
    ASSERT_TRUE(run(QStringLiteral("2")));
    const QStringList through2 = scoreDrop(), lines2 = last;
    ASSERT_TRUE(run(QStringLiteral("3")));
    const QString pageBefore = ReadFile(pagePath());

    // The page cannot be written: the run says so, but what it computed stands.
    QFile::remove(program->file(QStringLiteral("HTML/temp_standings.htm")));
    msgs->clear();
    std::unique_ptr<Standings> refused;
    EXPECT_FALSE(run(QStringLiteral("2"), &refused));
    EXPECT_TRUE(refused->Computed());
    EXPECT_EQ(scoreDrop(), through2);
    EXPECT_EQ(last, lines2);
    EXPECT_EQ(dbMain->transactionDepth(), 0);
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_TRUE(msgs->calls()[0].flags & dlg::vbCritical);
    EXPECT_TRUE(msgs->last().contains(QStringLiteral("temp_standings.htm")));
    EXPECT_EQ(ReadFile(pagePath()), pageBefore);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);   // the hourglass is gone

    // A race number that is no number changes nothing.
    msgs->clear();
    EXPECT_FALSE(run(QStringLiteral("abc")));
    EXPECT_EQ(scoreDrop(), through2);
    EXPECT_TRUE(msgs->saw(QStringLiteral("abc")));
}

TEST_F(SeasonTest, DatabaseErrorRollsBack)
{
    ASSERT_TRUE(run(QStringLiteral("3")));
    const QStringList before = scoreDrop();
    // A saved query left broken by someone else is used as it is, and fails.
    dbMain->deleteQueryDef(QStringLiteral("Standings"));
    dbMain->createQueryDef(QStringLiteral("Standings"), QStringLiteral("SELECT Nothing FROM NoSuchTable"));
    msgs->clear();
    std::unique_ptr<Standings> failed;
    EXPECT_FALSE(run(QStringLiteral("2"), &failed));
    EXPECT_FALSE(failed->Computed());
    EXPECT_EQ(scoreDrop(), before);
    EXPECT_EQ(dbMain->transactionDepth(), 0);
    EXPECT_TRUE(msgs->saw(QStringLiteral("Error")));
}

TEST_F(SeasonTest, SavedQueriesAreMadeOnceAndKept)
{
    for (const QString& name : Standings::QueryNames())
        if (dbMain->hasQueryDef(name))
            dbMain->deleteQueryDef(name);
    dbMain->createQueryDef(QStringLiteral("Qual"), QStringLiteral("SELECT Qualify.DriverID, Avg(Pos) AS ASP FROM ScoreDrop INNER JOIN Qualify ON ScoreDrop.RaceID = Qualify.RaceID AND ScoreDrop.DriverID = Qualify.DriverID WHERE ScoreDrop.Division = mDiv GROUP BY Qualify.DriverID "));
    Standings s;
    for (const QString& name : Standings::QueryNames()) {
        ASSERT_TRUE(dbMain->hasQueryDef(name)) << name.toStdString();
        if (name != QLatin1String("Qual")) {
            EXPECT_EQ(dbMain->queryDef(name).sql(), Standings::QuerySql(name));
        }
    }
    EXPECT_TRUE(dbMain->queryDef(QStringLiteral("Qual")).sql().endsWith(QLatin1Char(' ')));   // left as it was
    EXPECT_TRUE(Standings::QuerySql(QStringLiteral("Standings")).startsWith(QStringLiteral(" SELECT Points.DriverID")));
}

TEST_F(SeasonTest, DivisionWithoutResults)
{
    dbMain->execute(QStringLiteral("INSERT INTO Division (ID, Name, Teams, [Drop]) VALUES ('D2', 'Empty', 0, 0)"));
    LoadDivisionSettings(QStringLiteral("D2"));
    Standings s;
    s.Division = QStringLiteral("D2");
    s.LastRace = QStringLiteral("1");
    ASSERT_TRUE(s.GenerateAll());
    EXPECT_TRUE(s.StandingLines().isEmpty());
    const auto rows = TableAfterTitle(ReadFile(program->file(QStringLiteral("HTML/D2_standings.htm"))),
                                      QStringLiteral("Point Standings after Race #1"));
    EXPECT_EQ(rows.size(), 2u);   // title and header only
}

TEST_F(SeasonTest, DuplicateResultRowsKeepTheirCount)
{
    // Driver 4 (4th, 6th, 6th) gets a second copy of his race-2 row: the cut
    // falls between two identical keys and still keeps exactly two rows.
    dbMain->execute(QStringLiteral("INSERT INTO Score SELECT * FROM Score WHERE DriverID = 4 AND RaceID = 2"));
    // Driver 5 (5th, 3rd, 5th) gets a copy of his race-2 row: both copies fit.
    dbMain->execute(QStringLiteral("INSERT INTO Score SELECT * FROM Score WHERE DriverID = 5 AND RaceID = 2"));
    ASSERT_TRUE(run(QStringLiteral("3")));
    const QStringList rows = scoreDrop();
    EXPECT_EQ(rows.filter(QRegularExpression(QStringLiteral("^\\d+/4/"))), (QStringList{QStringLiteral("1/4/160"), QStringLiteral("2/4/150")}));
    EXPECT_EQ(rows.filter(QRegularExpression(QStringLiteral("^\\d+/5/"))), (QStringList{QStringLiteral("2/5/165"), QStringLiteral("2/5/165")}));
}

TEST_F(SeasonTest, ResultWithoutPositionStillCountsAsAKeptRow)
{
    // Driver 4 (4th, 6th, 6th) loses the position of his race-3 row: it
    // sorts first, so he keeps it and his race-1 row, still two rows.
    dbMain->execute(QStringLiteral("UPDATE Score SET Posi = NULL WHERE DriverID = 4 AND RaceID = 3"));
    ASSERT_TRUE(run(QStringLiteral("3")));
    EXPECT_EQ(scoreDrop().filter(QRegularExpression(QStringLiteral("^\\d+/4/"))),
              (QStringList{QStringLiteral("1/4/160"), QStringLiteral("3/4/150")}));
    EXPECT_EQ(scoreDrop().size(), 12);
}

TEST_F(SeasonTest, HugeRaceNumberKeepsEveryRow)
{
    // A race number past any count of rows keeps them all rather than
    // overflowing the number of rows to keep.
    ASSERT_TRUE(run(QStringLiteral("99999999999999999999"))) << msgs->last().toStdString();
    EXPECT_EQ(scoreDrop().size(), 18);
}
