// The track records page from hand-made grid rows, and the names of the
// standings and statistics fragments.

#include "HTMLClass.h"
#include "PageParse.h"

#include "Runtime.h"
#include "TestSupport.h"

using namespace pageparse;

namespace {

class RecordsPageTest : public testsupport::LeagueTest {
protected:
    // Writes the page of division div from the rows; its table rows.
    std::vector<QStringList> write(const QString& div, const QList<RecordLine>& grid)
    {
        HTMLClass html;
        html.sDiv = div;
        EXPECT_TRUE(html.HTMLRecords(grid)) << html.lastError().toStdString();
        return TableRows(ReadFile(program->file(QStringLiteral("HTML/") + rt::Trim(div) + QStringLiteral("_records.htm"))));
    }
};

RecordLine row(const QString& text, const QString& name = {}, const QString& speed = {}, const QString& date = {})
{
    return RecordLine{text, name, speed, date};
}

} // namespace

TEST(SeasonFragments, OneNameForWriterAndViewer)
{
    EXPECT_EQ(HTMLClass::SeasonFragmentName(SeasonFragment::Standings, QStringLiteral(" 7 "), QStringLiteral("D1 ")),
              QStringLiteral("007D1Stan.htm"));
    EXPECT_EQ(HTMLClass::SeasonFragmentName(SeasonFragment::Statistics, QStringLiteral("12"), QStringLiteral("D1")),
              QStringLiteral("012D1Stat.htm"));
    EXPECT_EQ(HTMLClass::SeasonFragmentName(SeasonFragment::Standings, QStringLiteral("1000"), QStringLiteral("D1")),
              QStringLiteral("000D1Stan.htm"));
    EXPECT_EQ(HTMLClass::SeasonFragmentName(SeasonFragment::Standings, QStringLiteral("7a"), QStringLiteral("A-B")),
              QStringLiteral("07aA-BStan.htm"));
}

TEST_F(RecordsPageTest, CellsFromTheRecordsAndNeverPastTheGrid)
{
    // A name longer than the fixed columns once assumed: the cells still
    // hold the whole name, the speed and the date.
    const QString name = QStringLiteral("Maximilian von Longname-Smythe");
    const QString venue = QStringLiteral("Circuit of the Very Long Name Raceway");
    const QList<RecordLine> grid = {
        row(venue),
        row(QString(venue.size(), QLatin1Char('-'))),
        row(QStringLiteral("Qualify Record    : ") + name + QStringLiteral("  180.5 (30.1 sec.) -  1/2/2024"), name,
            QStringLiteral("180.5"), QStringLiteral("1/2/2024")),
        row(QStringLiteral("Race Record       : ")),
        row(QStringLiteral("Defending Champion: A&B"), QStringLiteral("A&B")),
        // The grid ends here, without the venue's blank row.
    };
    auto r = write(QStringLiteral("D1"), grid);
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[0], QStringList{QStringLiteral("Circuit of the Very Long Name \r\n     ")});   // columns 1-30
    EXPECT_EQ(r[1], (QStringList{QStringLiteral("<strong>Qualify Record</strong>"), name, QStringLiteral("180.5 mph"),
                                 QStringLiteral("1/2/2024")}));
    // A record the venue does not have: empty cells, no " mph".
    EXPECT_EQ(r[2], (QStringList{QStringLiteral("<strong>Race Record</strong>"), QString(), QString(), QString()}));
    EXPECT_EQ(r[3], (QStringList{QStringLiteral("<strong>Defending Champion</strong>"), QStringLiteral("A&amp;B"), QString(), QString()}));
    EXPECT_TRUE(r[4].value(0).contains(QStringLiteral("Scoring provided by")));

    // A venue whose rows run past the grid's end is left out; the same rows
    // are a whole venue for all divisions, which have no champion row.
    const QList<RecordLine> cut = grid.mid(0, 4);
    EXPECT_EQ(write(QStringLiteral("D1"), cut).size(), 1u);
    EXPECT_EQ(write(QStringLiteral("ALL  "), cut).size(), 3u + 1u);

    // A blank first row: the table start, the footer and the table end.
    EXPECT_EQ(write(QStringLiteral("D2 "), {row(QStringLiteral(" ")), row(QStringLiteral(" "))}).size(), 1u);
    const QString fragment = ReadFile(program->file(QStringLiteral("TXT/D2Record.htm")));
    EXPECT_TRUE(fragment.contains(QStringLiteral("  <table border=0 cellspacing=0 width=90%>\r\n  <tr>\r\n    <td class=\"tarvik_line1\" colspan=\"4\">Scoring")))
        << fragment.toStdString();
    EXPECT_TRUE(fragment.endsWith(QStringLiteral("  </tr>\r\n  </table>\r\n")));
    // An empty grid writes the same.
    EXPECT_EQ(write(QStringLiteral("D3"), {}).size(), 1u);
}
