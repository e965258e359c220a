// The page framework and the standings page, fed with hand-made lines.

#include "HTMLClass.h"
#include "PageParse.h"

#include "Database.h"
#include "QueryDef.h"
#include "Runtime.h"
#include "State.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>

#include <functional>
#include <string>

using namespace pageparse;

namespace {

QString standLine(int pos, const QString& name, int points, const QString& change)
{
    // Columns: 1-2 pos, 5-24 name, 26-27 ST, 29-30 W, 32-33 T5, 36-37 T10,
    // 39-43 AvFP, 46-47 P, 49-53 AvSP, 56-60 PTS, 62-72 BF/BN, 74- change.
    return rt::RSet(QString::number(pos), 2) + QStringLiteral(". ") + rt::LSet(name, 20) + QStringLiteral("  3  1  2   3  2.33   1  4.50  ")
        + rt::RSet(QString::number(points), 5) + QStringLiteral("    15/5     ") + change;
}

class PageTest : public testsupport::LeagueTest {
protected:
    QString page(const QString& name) const { return program->file(QStringLiteral("HTML/") + name); }
    QString txt(const QString& name) const { return program->file(QStringLiteral("TXT/") + name); }
};

} // namespace

TEST(HTMLFramework, EscapesDataTexts)
{
    EXPECT_EQ(HTMLClass::Escape(QStringLiteral("Al O'Neil & <Co> \"x\"")),
              QStringLiteral("Al O&#39;Neil &amp; &lt;Co&gt; &quot;x&quot;"));
    EXPECT_EQ(HTMLClass::Escape(QStringLiteral("B\u00e4ck \u20ac")), QStringLiteral("B&#228;ck &#8364;"));
    EXPECT_EQ(HTMLClass::Escape(QString::fromUtf8("\xF0\x9F\x98\x80")), QStringLiteral("&#128512;"));
    EXPECT_EQ(HTMLClass::Escape(QStringLiteral("a\x01z")), QStringLiteral("a&#65533;z"));
    HTMLClass::Fragment f;
    f << QStringLiteral("<TD>\u00e4</TD>") << QString();
    EXPECT_EQ(f.bytes(), QByteArray("<TD>&#228;</TD>\r\n\r\n"));

    // Cuts past the end take what there is.
    EXPECT_EQ(HTMLClass::Cut(QStringLiteral("abc"), 2, 5), QStringLiteral("bc"));
    EXPECT_EQ(HTMLClass::Cut(QStringLiteral("abc"), 7, 3), QString());
    EXPECT_EQ(HTMLClass::Cell(QStringLiteral(" 1.  A&B  "), 4, 7, true), QStringLiteral("A&amp;B"));
}

TEST(HTMLFramework, RowBandsOfFive)
{
    bool band = false;
    QStringList classes;
    for (int row = 1; row <= 12; ++row)
        classes << HTMLClass::RowClass(row, band);
    for (int row = 1; row <= 12; ++row) {
        const bool first = row <= 5 || row >= 11;
        EXPECT_EQ(classes[row - 1], first ? QStringLiteral("class=\"tarvik_line1\"") : QStringLiteral("class=\"tarvik_line2\""))
            << "row " << row;
    }
    EXPECT_EQ(HTMLClass::SeparatorRow(9), QStringLiteral("<TR><TD height=\"1\" class=\"title\" colspan=\"9\"></TD></TR>"));
}

TEST(HTMLFramework, MergeAcceptsEveryLineEnd)
{
    const QByteArray frag = "<TABLE>\r\n</TABLE>\r\n";
    const QByteArray expected = "<html>\r\n<body>\r\n<TABLE>\r\n</TABLE>\r\n</body>\r\n</html>\r\n";
    EXPECT_EQ(HTMLClass::MergeTemplate("<html>\n<body>\n***HERE***\n</body>\n</html>\n", frag), expected);
    EXPECT_EQ(HTMLClass::MergeTemplate("<html>\r\n<body>\r\n***HERE***\r\n</body>\r\n</html>", frag), expected);
    EXPECT_EQ(HTMLClass::MergeTemplate("<html>\r<body>\r***HERE***\r</body>\r</html>\r", frag), expected);

    // The marker line goes with its other mark-up; a second marker line is dropped.
    EXPECT_EQ(HTMLClass::MergeTemplate("a\nb\n<div>***HERE***</div>\nc\n***HERE***\nd", frag),
              QByteArray("a\r\nb\r\n<TABLE>\r\n</TABLE>\r\nc\r\nd\r\n"));
    // Without a marker the page is the template; blank lines stay.
    EXPECT_EQ(HTMLClass::MergeTemplate("a\r\n\r\nb", frag), QByteArray("a\r\n\r\nb\r\n"));
    // Bytes beyond ASCII in the template pass through untouched.
    EXPECT_EQ(HTMLClass::MergeTemplate("\xC3\xA4\n***HERE***", frag), QByteArray("\xC3\xA4\r\n") + frag);
}

TEST_F(PageTest, CreatesTheScheduleQueriesOnlyWhenMissing)
{
    dbMain->createQueryDef(QStringLiteral("PoleWinners"), QStringLiteral("SELECT ID FROM Races"));
    HTMLClass html;
    EXPECT_TRUE(dbMain->hasQueryDef(QStringLiteral("Top5Races")));
    EXPECT_EQ(dbMain->queryDef(QStringLiteral("PoleWinners")).sql(), QStringLiteral("SELECT ID FROM Races"));
    HTMLClass again;
    EXPECT_TRUE(dbMain->queryDef(QStringLiteral("Top5Races")).sql().startsWith(QStringLiteral("SELECT Races.Division")));
}

TEST_F(PageTest, StandingsFileNamesAndTitle)
{
    sHtmlExt = QStringLiteral("html");
    HTMLClass html;
    ASSERT_TRUE(html.HTMLStandings(QStringLiteral("D1 "), QStringLiteral(" 7 "), {}, {}, {}, {}, {}))
        << html.lastError().toStdString();
    EXPECT_TRUE(QFile::exists(txt(QStringLiteral("007D1Stan.htm"))));
    EXPECT_TRUE(QFile::exists(page(QStringLiteral("D1_standings.html"))));
    const QString body = ReadFile(page(QStringLiteral("D1_standings.html")));
    EXPECT_TRUE(body.contains(QStringLiteral(">Point Standings after Race # 7 </td>")));

    // A four-digit race number keeps its last three digits.
    ASSERT_TRUE(html.HTMLStandings(QStringLiteral("D1"), QStringLiteral("1234"), {}, {}, {}, {}, {}));
    EXPECT_TRUE(QFile::exists(txt(QStringLiteral("234D1Stan.htm"))));
}

TEST_F(PageTest, StandingsCellsAndOptionalTables)
{
    bLines = false;
    bUseStyle = false;
    bEarnings = true;
    QStringList stand;
    for (int i = 1; i <= 12; ++i)
        stand << standLine(i, i == 1 ? QStringLiteral("Bo B\u00e4ck <Jr>") : QStringLiteral("Driver %1").arg(i), 1000 - i,
                           i == 1 ? QStringLiteral("+12") : QStringLiteral("--"));
    const QStringList teams = {QStringLiteral(" 1.  ") + rt::LSet(QStringLiteral("Red & Blue Racing Team Limited"), 30)
                               + QStringLiteral("  ") + rt::RSet(QStringLiteral("12345"), 6)};
    const QStringList mfgs = {QStringLiteral(" 1.  ") + rt::LSet(QStringLiteral("Sixteen Char Mak"), 16) + QStringLiteral(" 24")};
    HTMLClass html;
    ASSERT_TRUE(html.HTMLStandings(QStringLiteral("D1"), QStringLiteral("3"), stand, teams, mfgs, {}, {}));
    const QString frag = ReadFile(txt(QStringLiteral("003D1Stan.htm")));
    EXPECT_TRUE(frag.startsWith(QStringLiteral("<TABLE class=\"tarvik_table_standings\" align=\"center\"")));
    EXPECT_FALSE(frag.contains(QStringLiteral("colspan=\"12\"></TD></TR>")));   // no separator rows
    EXPECT_TRUE(frag.contains(QStringLiteral("\r\n")));

    const auto rows = TableAfterTitle(frag, QStringLiteral("Point Standings after Race #3"));
    ASSERT_EQ(rows.size(), 14u);   // title, header, twelve drivers
    const QStringList first = rows[2];
    ASSERT_EQ(first.size(), 12);
    EXPECT_EQ(first[0], QStringLiteral("1"));
    EXPECT_EQ(first[1], QStringLiteral("+12"));
    EXPECT_EQ(first[2], QStringLiteral("Bo B&#228;ck &lt;Jr&gt;        "));
    EXPECT_EQ(first[3], QStringLiteral(" 3"));
    EXPECT_EQ(first[7], QStringLiteral(" 2.33"));
    EXPECT_EQ(first[9], QStringLiteral(" 4.50"));
    EXPECT_EQ(first[10], QStringLiteral("  999"));
    EXPECT_EQ(first[11], QStringLiteral("   15/5    "));
    EXPECT_EQ(rows[13][0], QStringLiteral("12"));
    // Bands: rows 6 to 10 shaded, 11 again plain.
    EXPECT_TRUE(frag.contains(QStringLiteral("<TD class=\"tarvik_line2\" align=\"center\">6</TD>")));
    EXPECT_TRUE(frag.contains(QStringLiteral("<TD class=\"tarvik_line1\" align=\"center\">11</TD>")));

    // Earnings table with only its title and header; no rookies table.
    const auto earn = TableAfterTitle(frag, QStringLiteral("Driver Earnings"));
    EXPECT_EQ(earn.size(), 2u);
    EXPECT_FALSE(frag.contains(QStringLiteral("ROTY Points")));
    const auto team = TableAfterTitle(frag, QStringLiteral("Team Points"));
    ASSERT_EQ(team.size(), 3u);
    EXPECT_EQ(team[2], (QStringList{QStringLiteral(" 1"), QStringLiteral("Red &amp; Blue Racing Team Limited"), QStringLiteral("12345")}));
    const auto mfg = TableAfterTitle(frag, QStringLiteral("Manufacturer Points"));
    ASSERT_EQ(mfg.size(), 3u);
    EXPECT_EQ(mfg[2], (QStringList{QStringLiteral("1"), QStringLiteral("Sixteen Char Mak"), QStringLiteral("24")}));
    // Section order is fixed.
    EXPECT_LT(frag.indexOf(QStringLiteral("Driver Earnings")), frag.indexOf(QStringLiteral("Team Points")));
    EXPECT_LT(frag.indexOf(QStringLiteral("Team Points")), frag.indexOf(QStringLiteral("Manufacturer Points")));
    // Everything written is ASCII.
    for (QChar c : frag)
        ASSERT_LT(c.unicode(), 128);

    bEarnings = false;
    ASSERT_TRUE(html.HTMLStandings(QStringLiteral("D1"), QStringLiteral("3"), {}, {}, {}, {}, {QStringLiteral("x")}));
    EXPECT_FALSE(ReadFile(txt(QStringLiteral("003D1Stan.htm"))).contains(QStringLiteral("Driver Earnings")));
}

TEST_F(PageTest, StyleBlockAndSeparators)
{
    bUseStyle = true;
    bLines = true;
    dTC = 8388608;   // navy
    sTFN = QStringLiteral("Ver;dana}");
    HTMLClass html;
    ASSERT_TRUE(html.HTMLStandings(QStringLiteral("D1"), QStringLiteral("1"),
                                   {standLine(1, QStringLiteral("A"), 10, QStringLiteral("--")),
                                    standLine(2, QStringLiteral("B"), 9, QStringLiteral("--")),
                                    standLine(3, QStringLiteral("C"), 8, QStringLiteral("--"))},
                                   {}, {}, {}, {}));
    const QString frag = ReadFile(txt(QStringLiteral("001D1Stan.htm")));
    const QStringList lines = frag.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines[0], QStringLiteral("<STYLE>"));
    EXPECT_EQ(lines[67], QStringLiteral("</STYLE>"));
    EXPECT_TRUE(frag.contains(QStringLiteral("    background-color: #000080;")));
    EXPECT_FALSE(frag.contains(QStringLiteral("Ver;dana}")));   // cannot end the declaration
    EXPECT_EQ(frag.count(QStringLiteral("   <TR><TD height=\"1\" class=\"title\" colspan=\"12\"></TD></TR>")), 3);
}

TEST_F(PageTest, FailuresAreReportedAndLeaveOldFiles)
{
    HTMLClass html;
    // Missing template: the fragment is written, the old page stays, the call fails.
    program->writeFile(QStringLiteral("HTML/D1_standings.htm"), "old page");
    QFile::remove(page(QStringLiteral("temp_standings.htm")));
    EXPECT_FALSE(html.HTMLStandings(QStringLiteral("D1"), QStringLiteral("2"), {}, {}, {}, {}, {}));
    EXPECT_TRUE(html.lastError().contains(QStringLiteral("temp_standings.htm")));
    EXPECT_TRUE(QFile::exists(txt(QStringLiteral("002D1Stan.htm"))));
    EXPECT_EQ(ReadFile(page(QStringLiteral("D1_standings.htm"))), QStringLiteral("old page"));

    // A page that cannot be written.
    program->writeFile(QStringLiteral("HTML/temp_standings.htm"), "<html><body>\n***HERE***\n</body></html>\n");
    QDir().mkpath(page(QStringLiteral("D2_standings.htm")));
    EXPECT_FALSE(html.HTMLStandings(QStringLiteral("D2"), QStringLiteral("2"), {}, {}, {}, {}, {}));
    EXPECT_FALSE(html.lastError().isEmpty());

    // Missing TXT folder: nothing at all is written.
    QDir(program->file(QStringLiteral("TXT"))).removeRecursively();
    EXPECT_FALSE(html.HTMLStandings(QStringLiteral("D3"), QStringLiteral("2"), {}, {}, {}, {}, {}));
    EXPECT_FALSE(QFile::exists(page(QStringLiteral("D3_standings.htm"))));

    // And success clears the error.
    QDir().mkpath(program->file(QStringLiteral("TXT")));
    EXPECT_TRUE(html.HTMLStandings(QStringLiteral("D3"), QStringLiteral("2"), {}, {}, {}, {}, {}));
    EXPECT_TRUE(html.lastError().isEmpty());
    // No temporary files are left behind.
    EXPECT_EQ(QDir(program->file(QStringLiteral("HTML"))).entryList({QStringLiteral("*.tmp"), QStringLiteral("*~")}).size(), 0);
}

// A division id or race number stored by an older version may hold a path:
// the page writer writes nothing for it, inside its folders or outside, and
// says which character is in the way.
TEST_F(PageTest, NamesThatCouldLeaveThePageFoldersAreRefused)
{
    dbMain->execute(QStringLiteral("INSERT INTO Division (ID, Name) VALUES ('../z', 'Old')"));
    HTMLClass html;
    const RaceResultGrids noLines;
    struct Case {
        const char* what;
        std::function<bool()> write;
        QString named;
    };
    const std::vector<Case> cases = {
        {"standings of ../z", [&] { return html.HTMLStandings(QStringLiteral("../z"), QStringLiteral("2"), {}, {}, {}, {}, {}); }, "/"},
        {"standings of a/b", [&] { return html.HTMLStandings(QStringLiteral("a/b"), QStringLiteral("2"), {}, {}, {}, {}, {}); }, "/"},
        {"standings of race ../", [&] { return html.HTMLStandings(QStringLiteral("D1"), QStringLiteral("../"), {}, {}, {}, {}, {}); }, "/"},
        {"statistics of ..\\z", [&] {
             html.sDiv = QStringLiteral("..\\z");
             html.sRace = QStringLiteral("1");
             return html.HTMLStatistics(QVariant(), 0, {}, {}, {}, {});
         }, "\\"},
        {"result of race ../", [&] {
             html.sDiv = QStringLiteral("D1");
             html.sRace = QStringLiteral("../");
             return html.HTMLRaceResult(QStringLiteral("R"), QStringLiteral("V"), QStringLiteral("D"), QString(), QString(), noLines);
         }, "/"},
        {"schedule of ../z", [&] {
             html.sDiv = QStringLiteral("../z");
             return html.HTMLSchedule();
         }, "/"},
        {"standings with the extension h|m", [&] {
             sHtmlExt = QStringLiteral("h|m");
             const bool ok = html.HTMLStandings(QStringLiteral("D1"), QStringLiteral("2"), {}, {}, {}, {}, {});
             sHtmlExt = QStringLiteral("htm");
             return ok;
         }, "|"},
    };
    for (const Case& c : cases) {
        const std::string before = program->fileList();
        EXPECT_FALSE(c.write()) << c.what;
        EXPECT_TRUE(html.lastError().contains(QStringLiteral("the character ") + c.named))
            << c.what << ": " << html.lastError().toStdString();
        EXPECT_EQ(program->fileList(), before) << c.what;
    }
    // The same writer goes on with a plain id.
    EXPECT_TRUE(html.HTMLStandings(QStringLiteral("D1"), QStringLiteral("2"), {}, {}, {}, {}, {})) << html.lastError().toStdString();
}

TEST_F(PageTest, StandingsPageIsValidHtml)
{
    bUseStyle = true;
    bLines = true;
    bEarnings = true;
    const QStringList stand = {standLine(1, QStringLiteral("O'Neil & <Sons>"), 100, QStringLiteral("--")),
                               standLine(2, QStringLiteral("Zo\u00eb \u0141uk"), 90, QStringLiteral("-1"))};
    const QStringList earn = {QStringLiteral("  1.  ") + rt::LSet(QStringLiteral("O'Neil & <Sons>"), 20)
                              + QStringLiteral("  1,234,567          0  1,234,567")};
    const QStringList rookies = {QStringLiteral(" 1.  ") + rt::LSet(QStringLiteral("Zo\u00eb"), 20) + QStringLiteral("         20")};
    HTMLClass html;
    ASSERT_TRUE(html.HTMLStandings(QStringLiteral("D1"), QStringLiteral("2"), stand, {}, {}, rookies, earn));
    const QString path = page(QStringLiteral("D1_standings.htm"));
    const QString body = ReadFile(path);
    EXPECT_EQ(TagBalance(body), QString());
    EXPECT_TRUE(body.contains(QStringLiteral("O&#39;Neil &amp; &lt;Sons&gt;")));
    EXPECT_TRUE(body.contains(QStringLiteral("Zo&#235; &#321;uk")));
    EXPECT_EQ(TagBalance(ReadFile(txt(QStringLiteral("002D1Stan.htm")))), QString());
    if (HaveTidy()) {
        EXPECT_EQ(TidyErrors(path), QString());
    }
}

TEST_F(PageTest, StandingsPageOpensInChromium)
{
    if (!HaveChromium())
        TARVIK_NO_CHROMIUM();
    bUseStyle = true;
    HTMLClass html;
    ASSERT_TRUE(html.HTMLStandings(QStringLiteral("D1"), QStringLiteral("2"),
                                   {standLine(1, QStringLiteral("Zo\u00eb <b>&"), 100, QStringLiteral("--"))}, {}, {}, {}, {}));
    QString error;
    const QString dom = ChromiumDom(page(QStringLiteral("D1_standings.htm")), &error);
    ASSERT_FALSE(dom.isEmpty()) << error.toStdString();
    // The browser sees the name as text, not as mark-up.
    EXPECT_TRUE(dom.contains(QStringLiteral("Zo\u00eb &lt;b&gt;&amp;"))) << dom.toStdString();
    EXPECT_TRUE(dom.contains(QStringLiteral("Point Standings after Race #2")));
    EXPECT_FALSE(dom.contains(QStringLiteral("<b>&")));
}
