// The statistics page fed with hand-made lines: cells cut by column, row
// bands, the top-5 and general markers, file names and failures.

#include "HTMLClass.h"
#include "PageParse.h"

#include "Runtime.h"
#include "State.h"
#include "TestSupport.h"

#include <QFile>

using namespace pageparse;

namespace {

// StatLine columns: 1-20, 23-24, 27-31, 34-38, 41-45, 48-52, 55-59, 62-66.
QString statLine(const QString& name, int n)
{
    const QString v = rt::RSet(QString::number(n), 5);
    return rt::LSet(name, 20) + QStringLiteral("  ") + rt::RSet(QString::number(n), 2) + QStringLiteral("  ") + v
        + QStringLiteral("  ") + v + QStringLiteral("  ") + QStringLiteral(" 99.5") + QStringLiteral("  ") + v
        + QStringLiteral("  ") + QStringLiteral(" 45.2") + QStringLiteral("  ") + QStringLiteral("100.0");
}

// BreakLine columns: 1-20, 24-25, 29-30, 34-35, 39-42, 46-50, 54-57.
QString breakLine(const QString& name)
{
    return rt::LSet(name, 20) + QStringLiteral("    3    2    1    100    45.0     10");
}

QString top5Entry(int k, const QString& name, int value)
{
    return QString::number(k) + QStringLiteral(". ") + rt::LSet(name, 20) + QString(7, QLatin1Char(' '))
        + rt::RSet(QString::number(value), 5);
}

const QString kLine1 = QStringLiteral("class=\"tarvik_line1\"");
const QString kLine2 = QStringLiteral("class=\"tarvik_line2\"");

class StatisticsPageTest : public testsupport::LeagueTest {
protected:
    bool write(const QVariant& laps, qint64 miles, const QStringList& brk, const QStringList& stats,
               const QStringList& top5, const QStringList& gen, const QString& race = QStringLiteral("7"),
               const QString& div = QStringLiteral("D1"))
    {
        HTMLClass html;
        html.sRace = race;
        html.sDiv = div;
        const bool ok = html.HTMLStatistics(laps, miles, brk, stats, top5, gen);
        error = html.lastError();
        return ok;
    }
    QString fragment(const QString& name = QStringLiteral("007D1Stat.htm")) const
    {
        return ReadFile(program->file(QStringLiteral("TXT/") + name));
    }
    QString pagePath() const { return program->file(QStringLiteral("HTML/D1_statistics.htm")); }

    QString error;
};

} // namespace

TEST_F(StatisticsPageTest, ExactMarkupOfASmallPage)
{
    bUseStyle = false;
    bLines = true;
    ASSERT_TRUE(write(1200, 0, {breakLine(QStringLiteral("Al"))}, {statLine(QStringLiteral("Al"), 3)},
                      {QStringLiteral("T:WINS"), top5Entry(1, QStringLiteral("Al"), 3), QStringLiteral("LINE")},
                      {QStringLiteral("Fastest Avg      : Race 1"), QStringLiteral("LINE")}))
        << error.toStdString();
    const QString T = QStringLiteral("class=\"tarvik_title\"");
    const QString stat = QStringLiteral("<TABLE class=\"tarvik_table_statistics\" align=\"center\" border=\"0\" cellPadding=\"0\" cellSpacing=\"0\">");
    const QString other = QStringLiteral("<TABLE class=\"tarvik_table_other\" align=\"center\" border=\"0\" cellPadding=\"0\" cellSpacing=\"0\">");
    const QStringList footer = {QStringLiteral("  <tr>"),
                                QStringLiteral("    <td class=\"tarvik_line1\" colspan=\"4\">Scoring provided by <a href=\"")
                                    + QString::fromLatin1(HTMLClass::kHomePage) + QStringLiteral("\">Tarvik</a>.</td>"),
                                QStringLiteral("  </tr>")};
    QStringList e;
    e << stat << QStringLiteral("  <tr>")
      << QStringLiteral("    <td ") + T + QStringLiteral(" align=\"center\" colspan=\"8\">Statistics Through Race #7 (1200 total laps,  total miles)</td>")
      << QStringLiteral("  </tr>") << QStringLiteral("  <tr>");
    for (const char* h : {" align=\"center\">Driver</td>", " align=\"right\">ST</td>", " align=\"right\">Miles</td>",
                          " align=\"right\">LC</td>", " align=\"right\">%LC</td>", " align=\"right\">LL</td>",
                          " align=\"right\">%LOC</td>", " align=\"right\">%LOT</td>"})
        e << QStringLiteral("    <td ") + T + QString::fromLatin1(h);
    e << QStringLiteral("  </tr>") << QStringLiteral("    <tr>")
      << QStringLiteral("      <td ") + kLine1 + QStringLiteral(">Al                  </td>");
    for (const char* v : {" 3", "    3", "    3", " 99.5", "    3", " 45.2", "100.0"})
        e << QStringLiteral("      <td ") + kLine1 + QStringLiteral(" align=\"right\">") + QString::fromLatin1(v) + QStringLiteral("</td>");
    e << QStringLiteral("    </tr>") << QStringLiteral("    <TR><TD height=\"1\" class=\"title\" colspan=\"8\"></TD></TR>")
      << QStringLiteral("</TABLE>") << stat;
    const char* statLegend[4][4] = {{">ST</td>", ">Starts</td>", ">Miles</td>", ">Miles Completed</td>"},
                                    {">LC</td>", ">Laps Completed</td>", ">%LC</td>", ">Percent Laps Completed</td>"},
                                    {">LL</td>", ">Laps Led</td>", ">%LOC</td>", ">Percent Laps Led of Laps Completed</td>"},
                                    {">%LOT</td>", ">Percent Laps Led of Total Laps</td>", ">&nbsp;</td>", ">&nbsp;</td>"}};
    for (const auto& row : statLegend) {
        e << QStringLiteral("  <tr>");
        for (const char* t : row)
            e << QStringLiteral("    <td ") + T + QString::fromLatin1(t);
        e << QStringLiteral("  </tr>");
    }
    e << footer << QStringLiteral("</table>") << QStringLiteral("<p><br></p>");

    e << stat << QStringLiteral("  <tr>")
      << QStringLiteral("    <td ") + T + QStringLiteral(" align=\"center\" colspan=\"7\">Points Breakdown</td>")
      << QStringLiteral("  </tr>") << QStringLiteral("  <tr>");
    for (const char* h : {" align=\"center\">Driver</td>", " align=\"right\">N</td>", " align=\"right\">ST</td>",
                          " align=\"right\">PR</td>", " align=\"right\">TP</td>", " align=\"right\">EP/ST</td>",
                          " align=\"right\">PP</td>"})
        e << QStringLiteral("    <td ") + T + QString::fromLatin1(h);
    e << QStringLiteral("  </tr>") << QStringLiteral("    <tr>")
      << QStringLiteral("      <td ") + kLine1 + QStringLiteral(">Al                  </td>");
    // PP is cut from 54 to 58: the 57-character line gives its last four.
    for (const char* v : {" 3", " 2", " 1", " 100", " 45.0", "  10"})
        e << QStringLiteral("      <td ") + kLine1 + QStringLiteral(" align=\"right\">") + QString::fromLatin1(v) + QStringLiteral("</td>");
    e << QStringLiteral("    </tr>") << QStringLiteral("    <TR><TD height=\"1\" class=\"title\" colspan=\"7\"></TD></TR>")
      << QStringLiteral("</table>") << stat;
    const char* breakLegend[3][4] = {{">N</td>", ">Number of Races Scored</td>", ">ST</td>", ">Starts</td>"},
                                     {">PR</td>", ">Provisionals</td>", ">TP</td>", ">Total of Points</td>"},
                                     {">EP/ST</td>", ">Earned Points per Start</td>", ">PP</td>", ">Provisionals Points</td>"}};
    for (const auto& row : breakLegend) {
        e << QStringLiteral("  <tr>");
        for (const char* t : row)
            e << QStringLiteral("    <td ") + T + QString::fromLatin1(t);
        e << QStringLiteral("  </tr>");
    }
    e << footer << QStringLiteral("</table>") << QStringLiteral("<p><br></p>");

    e << other << QStringLiteral("   <tr>")
      << QStringLiteral("     <td ") + T + QStringLiteral(" align=\"center\" colspan=\"2\" >Top 5</td>") << QStringLiteral("   </tr>")
      << QStringLiteral("   <tr>") << QStringLiteral("    <td ") + T + QStringLiteral(" align=\"center\" colspan=\"2\">WINS</td>")
      << QStringLiteral("   </tr>") << QStringLiteral("   <tr>")
      << QStringLiteral("    <td ") + kLine1 + QStringLiteral(">Al                  </td>")
      << QStringLiteral("    <td ") + kLine1 + QStringLiteral(" align=\"right\">    3</td>") << QStringLiteral("   </tr>")
      << QStringLiteral("</table>") << QStringLiteral("<p><br></p>");

    e << other << QStringLiteral("   <tr>")
      << QStringLiteral("     <td ") + T + QStringLiteral(" align=\"center\" colspan=\"2\">General Statistics</td>")
      << QStringLiteral("   </tr>") << QStringLiteral("   <tr>")
      << QStringLiteral("    <td ") + kLine1 + QStringLiteral("><strong>Fastest Avg      </strong></td>")
      << QStringLiteral("    <td ") + kLine1 + QStringLiteral("><strong>Race 1</strong></td>") << QStringLiteral("   </tr>")
      << QStringLiteral("   <TR><TD height=\"1\" class=\"title\" colspan=\"2\"></TD></TR>") << QStringLiteral("</table>");

    EXPECT_EQ(fragment(), e.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    // The page is the template with the fragment at its marker.
    const QString page = ReadFile(pagePath());
    EXPECT_TRUE(page.contains(e.join(QStringLiteral("\r\n"))));
    EXPECT_FALSE(page.contains(QString::fromLatin1(HTMLClass::kMarker)));
}

TEST_F(StatisticsPageTest, EmptyListsStillGiveFourTables)
{
    bUseStyle = true;
    bLines = true;
    ASSERT_TRUE(write(QVariant(), 0, {}, {}, {}, {}));
    const QString body = fragment();
    EXPECT_TRUE(body.startsWith(QStringLiteral("<STYLE>\r\n")));
    EXPECT_TRUE(body.contains(QStringLiteral(">Statistics Through Race #7 ( total laps,  total miles)</td>")));
    EXPECT_EQ(TableAfterTitle(body, QStringLiteral("Statistics Through Race #7")).size(), 2u);
    EXPECT_EQ(TableAfterTitle(body, QStringLiteral("Points Breakdown")).size(), 2u);
    EXPECT_EQ(TableAfterTitle(body, QStringLiteral(">Top 5<")).size(), 1u);
    EXPECT_EQ(TableAfterTitle(body, QStringLiteral("General Statistics")).size(), 1u);
    EXPECT_EQ(body.count(QStringLiteral("Scoring provided by")), 2);   // the two legends only
    EXPECT_FALSE(body.contains(QStringLiteral("class=\"title\"")));
    EXPECT_EQ(TagBalance(body), QString());
}

TEST_F(StatisticsPageTest, StatisticsRowsInBandsOfFive)
{
    bUseStyle = false;
    bLines = false;
    QStringList stats;
    for (int i = 1; i <= 7; ++i)
        stats << statLine(QStringLiteral("Driver %1").arg(i), i);
    ASSERT_TRUE(write(QVariant(431.0), 32767, {breakLine(QStringLiteral("A")), breakLine(QStringLiteral("B"))}, stats, {}, {}));
    const QString body = fragment();
    EXPECT_TRUE(body.contains(QStringLiteral("(431 total laps, 32767 total miles)")));
    const auto rows = TableAfterTitle(body, QStringLiteral("Statistics Through Race #7"));
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[8], (QStringList{QStringLiteral("Driver 7            "), QStringLiteral(" 7"), QStringLiteral("    7"),
                                    QStringLiteral("    7"), QStringLiteral(" 99.5"), QStringLiteral("    7"),
                                    QStringLiteral(" 45.2"), QStringLiteral("100.0")}));
    for (int i = 1; i <= 7; ++i)
        EXPECT_TRUE(body.contains(QStringLiteral("<td ") + (i <= 5 ? kLine1 : kLine2) + QStringLiteral(">Driver ") + QString::number(i)))
            << i;
    // The breakdown starts its bands again.
    const auto brk = TableAfterTitle(body, QStringLiteral("Points Breakdown"));
    ASSERT_EQ(brk.size(), 4u);
    const int at = body.indexOf(QStringLiteral("Points Breakdown"));
    EXPECT_TRUE(body.indexOf(QStringLiteral("<td ") + kLine1 + QStringLiteral(">B "), at) > at);
    EXPECT_FALSE(body.contains(QStringLiteral("class=\"title\"")));   // no separators without bLines
}

TEST_F(StatisticsPageTest, TopFiveTitlesSwitchTheShading)
{
    bUseStyle = false;
    bLines = true;
    QStringList top5;
    const char* titles[3] = {"T:WINS", "T:LAPS LEAD", "T:<MILES & MORE>"};
    for (int t = 0; t < 3; ++t) {
        top5 << QString::fromLatin1(titles[t]);
        for (int k = 1; k <= 5; ++k)
            top5 << top5Entry(k, QStringLiteral("L%1 D%2").arg(t).arg(k), 100 * t + k);
        top5 << QStringLiteral("LINE");
    }
    ASSERT_TRUE(write(10, 10, {}, {}, top5, {}));
    const QString body = fragment();
    const auto rows = TableAfterTitle(body, QStringLiteral(">Top 5<"));
    ASSERT_EQ(rows.size(), 19u);   // title, then 3 x (list title + 5 entries); "LINE" writes nothing
    EXPECT_EQ(rows[1], QStringList{QStringLiteral("WINS")});
    EXPECT_EQ(rows[13], QStringList{QStringLiteral("&lt;MILES &amp; MORE&gt;")});
    EXPECT_EQ(rows[14], (QStringList{QStringLiteral("L2 D1               "), QStringLiteral("  201")}));
    for (int t = 0; t < 3; ++t)
        for (int k = 1; k <= 5; ++k)
            EXPECT_TRUE(body.contains(QStringLiteral("<td ") + (t == 1 ? kLine2 : kLine1) + QStringLiteral(">L%1 D%2 ").arg(t).arg(k)))
                << t << "/" << k;
    EXPECT_FALSE(body.contains(QStringLiteral("LINE")));
    // No separator rows in this table, even with bLines.
    const int top = body.indexOf(QStringLiteral(">Top 5<"));
    EXPECT_LT(body.indexOf(QStringLiteral("class=\"title\""), top), 0);
}

TEST_F(StatisticsPageTest, GeneralGroupsBoldFirstEntryAndRules)
{
    bUseStyle = false;
    bLines = false;
    const QString longValue = QStringLiteral("Race of ") + QString(45, QLatin1Char('x'));
    ASSERT_TRUE(write(10, 10, {}, {}, {},
                      {QStringLiteral("Fastest Avg      : ") + longValue, QStringLiteral("Speed            : 130.5 mph"),
                       QStringLiteral("LINE"), QStringLiteral("Most DNFs        : O'Reilly <500>"), QStringLiteral("LINE")}));
    const QString body = fragment();
    const int at = body.indexOf(QStringLiteral("General Statistics"));
    ASSERT_GT(at, 0);
    const QStringList lines = body.mid(at).split(QStringLiteral("\r\n"));
    const QString rule = QStringLiteral("   <TR><TD height=\"1\" class=\"title\" colspan=\"2\"></TD></TR>");
    const QStringList expected = {
        QStringLiteral("   <tr>"),
        QStringLiteral("    <td ") + kLine1 + QStringLiteral("><strong>Fastest Avg      </strong></td>"),
        // The value is cut at 40 characters.
        QStringLiteral("    <td ") + kLine1 + QStringLiteral("><strong>") + longValue.left(40) + QStringLiteral("</strong></td>"),
        QStringLiteral("   </tr>"),
        QStringLiteral("   <tr>"),
        QStringLiteral("    <td ") + kLine1 + QStringLiteral(">Speed            </td>"),
        QStringLiteral("    <td ") + kLine1 + QStringLiteral(">130.5 mph</td>"),
        QStringLiteral("   </tr>"),
        rule,   // written whatever bLines says
        QStringLiteral("   <tr>"),
        QStringLiteral("    <td ") + kLine2 + QStringLiteral("><strong>Most DNFs        </strong></td>"),
        QStringLiteral("    <td ") + kLine2 + QStringLiteral("><strong>O&#39;Reilly &lt;500&gt;</strong></td>"),
        QStringLiteral("   </tr>"),
        rule,
        QStringLiteral("</table>"),
    };
    ASSERT_GE(lines.size(), expected.size() + 2);
    EXPECT_EQ(lines.mid(2, expected.size()), expected);
}

TEST_F(StatisticsPageTest, FileNamesAndFailures)
{
    // Race number and division trimmed; three digits from the right.
    ASSERT_TRUE(write(1, 1, {}, {}, {}, {}, QStringLiteral(" 7 "), QStringLiteral("D1  ")));
    EXPECT_TRUE(QFile::exists(program->file(QStringLiteral("TXT/007D1Stat.htm"))));
    EXPECT_TRUE(QFile::exists(pagePath()));
    EXPECT_TRUE(fragment().contains(QStringLiteral("Statistics Through Race # 7  (1 total laps, 1 total miles)")));
    ASSERT_TRUE(write(1, 1, {}, {}, {}, {}, QStringLiteral("1234")));
    EXPECT_TRUE(QFile::exists(program->file(QStringLiteral("TXT/234D1Stat.htm"))));
    sHtmlExt = QStringLiteral("html");
    ASSERT_TRUE(write(1, 1, {}, {}, {}, {}));
    EXPECT_TRUE(QFile::exists(program->file(QStringLiteral("HTML/D1_statistics.html"))));
    sHtmlExt = QStringLiteral("htm");

    // Without the template the page stays as it was and the call says why.
    const QString before = ReadFile(pagePath());
    QFile::remove(program->file(QStringLiteral("HTML/temp_statistics.htm")));
    EXPECT_FALSE(write(2, 2, {}, {}, {}, {}));
    EXPECT_TRUE(error.contains(QStringLiteral("temp_statistics.htm")));
    EXPECT_EQ(ReadFile(pagePath()), before);
}

TEST_F(StatisticsPageTest, PageIsValidHtml)
{
    bUseStyle = true;
    bLines = true;
    QStringList stats, brk;
    for (int i = 1; i <= 12; ++i) {
        stats << statLine(QStringLiteral("B\u00e4ck & <%1>").arg(i), i);
        brk << breakLine(QStringLiteral("O'Neil %1").arg(i));
    }
    ASSERT_TRUE(write(300, 450, brk, stats,
                      {QStringLiteral("T:WINS"), top5Entry(1, QStringLiteral("Z\u00fcrich"), 4), QStringLiteral("LINE")},
                      {QStringLiteral("Fastest Avg      : Caf\u00e9 500"), QStringLiteral("LINE"),
                       QStringLiteral("Most DNFs        : Race 2")}));
    const QString page = ReadFile(pagePath());
    EXPECT_TRUE(page.contains(QStringLiteral("B&#228;ck &amp; &lt;12&gt;")));
    EXPECT_TRUE(page.contains(QStringLiteral("Caf&#233; 500")));
    EXPECT_EQ(TagBalance(page), QString());
    if (HaveTidy()) {
        EXPECT_EQ(TidyErrors(pagePath()), QString());
    }
}
