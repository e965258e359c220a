#include "ImportError.h"
#include "ResultPage.h"

#include "TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QString DataFile(const QString& name)
{
    return QStringLiteral(TARVIK_TEST_DATA) + QLatin1Char('/') + name;
}

QString SmallText()
{
    QFile f(DataFile(QStringLiteral("race_small.htm")));
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

// A page from text, written into a scratch folder.
class PageFromText {
public:
    explicit PageFromText(const QString& text)
    {
        m_path = m_program.writeFile(QStringLiteral("page.htm"), text.toUtf8());
        m_ok = m_page.Open(m_path);
    }
    ResultPage& page() { return m_page; }
    bool ok() const { return m_ok; }

private:
    testsupport::ScratchProgram m_program{false};
    QString m_path;
    ResultPage m_page;
    bool m_ok = false;
};

QString ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ImportError& e) {
        return e.message();
    }
    return QString();
}

} // namespace

TEST(ResultPage, HeaderOfBothPages)
{
    ResultPage small;
    ASSERT_TRUE(small.Open(DataFile(QStringLiteral("race_small.htm"))));
    const PageHeader s = small.ReadHeader();
    EXPECT_EQ(s.Venue, QStringLiteral("Pocono Raceway"));
    EXPECT_EQ(s.RaceDate, QStringLiteral("Sat Jun 12 21:00:00 2004"));
    // The practice block's weather is passed over.
    EXPECT_EQ(s.QWeather, QStringLiteral("Sunny, 78 F"));
    EXPECT_EQ(s.Flags, 2);
    EXPECT_EQ(s.Flagsq, 12);
    // No "Lead Changes: " line before the race weather.
    EXPECT_EQ(s.Changes, 0);
    EXPECT_EQ(s.Leader, 0);
    EXPECT_EQ(s.Weather, QStringLiteral("Clear, 75 F"));

    ResultPage full;
    ASSERT_TRUE(full.Open(DataFile(QStringLiteral("race_full43.htm"))));
    const PageHeader f = full.ReadHeader();
    EXPECT_EQ(f.Venue, QStringLiteral("Martinsville Speedway"));
    EXPECT_EQ(f.QWeather, QStringLiteral("Partly cloudy, 72 F"));
    EXPECT_EQ(f.Flags, 4);
    EXPECT_EQ(f.Flagsq, 23);
    EXPECT_EQ(f.Changes, 7);
    EXPECT_EQ(f.Leader, 4);
    EXPECT_EQ(f.Weather, QStringLiteral("Overcast, 68 F"));
}

TEST(ResultPage, HeaderCountsAndCuts)
{
    QString text = SmallText();
    text.replace(QStringLiteral("Track: Pocono Raceway"), QStringLiteral("Track: ") + QString(60, QLatin1Char('x')));
    text.replace(QStringLiteral("Caution Flags: 2 (12 laps)"),
                 QStringLiteral("Caution Flags: 12 (123 laps)\nLead Changes: x (leaders)"));
    PageFromText p(text);
    ASSERT_TRUE(p.ok());
    const PageHeader h = p.page().ReadHeader();
    EXPECT_EQ(h.Venue, QString(50, QLatin1Char('x')));
    EXPECT_EQ(h.Flags, 12);
    EXPECT_EQ(h.Flagsq, 123);   // three digits are read whole
    EXPECT_EQ(h.Changes, 0);    // not a number
    EXPECT_EQ(h.Leader, 0);
    EXPECT_EQ(h.Weather, QStringLiteral("Clear, 75 F"));

    // A line with both markers is the weather line; a count without "(" is 0.
    QString both = SmallText();
    both.replace(QStringLiteral("Caution Flags: 2 (12 laps)"), QStringLiteral("Caution Flags: 3"));
    both.replace(QStringLiteral("Weather: Clear, 75 F"), QStringLiteral("Lead Changes: 5 (2) Weather: Hot"));
    PageFromText q(both);
    const PageHeader b = q.page().ReadHeader();
    EXPECT_EQ(b.Flags, 3);
    EXPECT_EQ(b.Flagsq, 0);
    EXPECT_EQ(b.Changes, 0);
    EXPECT_EQ(b.Weather, QStringLiteral("5 (2) Weather: Hot"));   // cut after the first colon
}

TEST(ResultPage, QualifyingRowsStepOverEveryTimeCell)
{
    ResultPage page;
    ASSERT_TRUE(page.Open(DataFile(QStringLiteral("race_small.htm"))));
    const auto rows = page.ReadQualifying();
    // The practice table before it is not read; the row without a name keeps
    // its place, and its time "4:05.000" does not start a bogus row 4.
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].name, QStringLiteral("Ann Able"));   // tabs cleaned
    EXPECT_EQ(rows[0].time, QStringLiteral("1:30.000"));
    EXPECT_TRUE(rows[2].name.isEmpty());
    EXPECT_EQ(rows[3].name, QStringLiteral("Cid Cole"));
    EXPECT_EQ(rows[3].number, QStringLiteral("44"));
    EXPECT_EQ(rows[6].name, QString::fromUtf8("Zo\xc3\xab Zeta"));
}

TEST(ResultPage, RaceRowsAndPositionTest)
{
    ResultPage page;
    ASSERT_TRUE(page.Open(DataFile(QStringLiteral("race_full43.htm"))));
    const auto rows = page.ReadRace();
    ASSERT_EQ(rows.size(), 43u);
    EXPECT_EQ(rows[8].name, QString::fromUtf8("Jos\xc3\xa9 M\xc3\xbcller"));   // Windows-1252 page
    EXPECT_EQ(rows[4].name, QStringLiteral("Dale O'Neil"));
    EXPECT_EQ(rows[0].laps, QStringLiteral("500"));
    EXPECT_EQ(rows[0].lead, QStringLiteral("250"));
    EXPECT_EQ(rows[0].points, QStringLiteral("185"));
    EXPECT_EQ(rows[42].status, QStringLiteral("Engine"));

    // "07" does not start the row of position 7 in the race table, but does
    // in the qualifying table.
    QString text = SmallText();
    const QString row3 = QStringLiteral("<TD>\n3\n</TD>\n<TD>\n2\n</TD>");
    ASSERT_TRUE(text.contains(row3));
    text.replace(row3, QStringLiteral("<TD>\n03\n</TD>\n<TD>\n2\n</TD>"));
    text.replace(QStringLiteral("<TD>\n2\n</TD>\n<TD>\n7\n</TD>\n<TD>\nBob"), QStringLiteral("<TD>\n02\n</TD>\n<TD>\n7\n</TD>\n<TD>\nBob"));
    PageFromText p(text);
    EXPECT_EQ(p.page().ReadRace().size(), 2u);
    EXPECT_EQ(p.page().ReadQualifying()[1].name, QStringLiteral("Bob O'Brien"));
}

TEST(ResultPage, CutPagesNameWhatIsMissing)
{
    ResultPage none;
    EXPECT_FALSE(none.Open(DataFile(QStringLiteral("no_such_page.htm"))));
    EXPECT_FALSE(none.Open(QString()));

    const QString text = SmallText();
    PageFromText noRace(text.left(text.indexOf(QStringLiteral("Session: Race"))));
    EXPECT_TRUE(ErrorOf([&] { noRace.page().ReadRace(); }).contains(QStringLiteral("\"Session: Race\"")));
    EXPECT_TRUE(ErrorOf([&] { noRace.page().ReadHeader(); }).contains(QStringLiteral("\"Caution Flags:\"")));

    PageFromText noEnd(text.left(text.lastIndexOf(QStringLiteral("</TABLE>"))));
    EXPECT_TRUE(ErrorOf([&] { noEnd.page().ReadRace(); }).contains(QStringLiteral("race table")));

    PageFromText midRow(text.left(text.lastIndexOf(QStringLiteral("Ned Nonrunner"))));
    EXPECT_TRUE(ErrorOf([&] { midRow.page().ReadRace(); }).contains(QStringLiteral("row 5 of the race table")));

    const QString header = QStringLiteral("Status\n</TH>\n</TR>\n");
    PageFromText p(text.left(text.indexOf(header) + header.size()) + QStringLiteral("</TABLE>\n"));
    EXPECT_TRUE(ErrorOf([&] { p.page().ReadRace(); }).contains(QStringLiteral("no row for position 1")));

    PageFromText noQual(text.left(text.indexOf(QStringLiteral("Session: Qualifying"))));
    EXPECT_TRUE(ErrorOf([&] { noQual.page().ReadQualifying(); }).contains(QStringLiteral("\"Session: Qualifying\"")));
}

TEST(ResultPage, CellsAndCounts)
{
    EXPECT_EQ(ResultPage::CleanCell(QStringLiteral("\t Ann Able \t")), QStringLiteral("Ann Able"));
    EXPECT_EQ(ResultPage::ReadCount(QStringLiteral("3 (12 laps)")), 3);
    EXPECT_EQ(ResultPage::ReadCount(QStringLiteral("123 laps)")), 123);
    EXPECT_EQ(ResultPage::ReadCount(QStringLiteral("Ca")), 0);
    EXPECT_EQ(ResultPage::ReadCount(QString()), 0);
}
