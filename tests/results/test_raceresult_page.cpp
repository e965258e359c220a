// The race result page written from the race result window's grids.
#include "RaceResultFixture.h"

#include "../publish/PageParse.h"
#include "ProcessClass.h"
#include "Runtime.h"

#include <QDir>
#include <QFile>

using namespace raceresult;

namespace {

class RaceResultPageTest : public RaceResultTest {
protected:
    // Opens the window on the division's last race and publishes it.
    std::unique_ptr<frmRaceResult> Publish(const QString& divisionName)
    {
        auto w = Open();
        ChooseDivision(*w, divisionName);
        msgs->clear();
        Button(*w, "commSave")->click();
        return w;
    }
    QString Page(const QString& name) { return pageparse::ReadFile(program->file(QStringLiteral("HTML/") + name)); }
    static QStringList Cells(const std::vector<QStringList>& rows, size_t i)
    {
        return i < rows.size() ? rows[i] : QStringList{QStringLiteral("<missing row>")};
    }
};

QStringList L(std::initializer_list<const char*> cells)
{
    QStringList out;
    for (const char* c : cells)
        out << QString::fromUtf8(c);
    return out;
}

} // namespace

TEST_F(RaceResultPageTest, EveryTableCutFromTheGrids)
{
    bLines = false;
    bUseStyle = false;
    auto w = Publish(QStringLiteral("D1 Cup"));
    ASSERT_EQ(msgs->last(), QStringLiteral("All HTML Files have been generated"));
    ASSERT_TRUE(QFile::exists(program->file(QStringLiteral("TXT/007D1_Result.htm"))));
    const QString html = Page(QStringLiteral("007D1_result.htm"));
    ASSERT_FALSE(html.isEmpty());
    EXPECT_TRUE(pageparse::TagBalance(html).isEmpty()) << pageparse::TagBalance(html).toStdString();
    // Data texts are escaped; the template's head stays.
    EXPECT_FALSE(html.contains(QStringLiteral("<Blue>")));
    EXPECT_FALSE(html.contains(QStringLiteral("<200>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<title>Race Result</title>")));

    const auto result = pageparse::TableAfterTitle(html, QStringLiteral("Race No. 007"));
    ASSERT_EQ(result.size(), 8u);
    EXPECT_EQ(Cells(result, 0), L({"Race No. 007  -  Dover  -  05/01/2004"}));
    EXPECT_EQ(Cells(result, 1), L({"Spring &lt;200&gt;"}));
    EXPECT_EQ(Cells(result, 2), L({"Sunny &amp; warm"}));
    EXPECT_EQ(Cells(result, 3), L({"Pos.", "No.", "Driver", "Make", "Team", "Interval", "Laps", "Led", "Pts.", "Status", "Earnings"}));
    EXPECT_EQ(Cells(result, 4), L({"1", "  7 ", "Ann Able            ", "Ford      ", "Red &amp; &lt;Blue&gt;                  ",
                                   "        ", "200", "150", " 185", "Running        ", "$13,845"}));
    EXPECT_EQ(Cells(result, 5), L({"2", " 12 ", "bob_online          ", "Chevrolet ", "Red &amp; &lt;Blue&gt;                  ",
                                   " -1.234 ", "200", " 50", " 175", "Running        ", "$8,000"}));
    EXPECT_EQ(Cells(result, 6)[2], QStringLiteral("Name not found      "));
    EXPECT_EQ(Cells(result, 6)[10], QStringLiteral("$0"));
    EXPECT_EQ(Cells(result, 7)[0], QStringLiteral("10"));
    EXPECT_TRUE(html.contains(QStringLiteral("align=\"center\" colspan=\"11\">Race No. 007")));

    const auto data = pageparse::TableAfterTitle(html, QStringLiteral("Caution Flags/Laps"));
    ASSERT_EQ(data.size(), 2u);
    EXPECT_EQ(Cells(data, 0), L({"Caution Flags/Laps", "3/12", "Lead Changes/Leaders", "5/4"}));
    EXPECT_TRUE(Cells(data, 1)[0].startsWith(QStringLiteral("Scoring provided by <a href=")));

    const auto awards = pageparse::TableAfterTitle(html, QStringLiteral("Race Awards"));
    ASSERT_EQ(awards.size(), 6u);
    EXPECT_EQ(Cells(awards, 1), L({"Pole", "bob_online, 180.000 mph (30.000 s.)"}));
    EXPECT_EQ(Cells(awards, 2), L({"Front Runner", "Ann Able, 150 laps Lead"}));
    EXPECT_EQ(Cells(awards, 3), L({"Meet the Challenge", "Ann Able, 1 places improved"}));
    EXPECT_EQ(Cells(awards, 4), L({"Headache", "Cid Cole, 7 places dropped"}));
    EXPECT_EQ(Cells(awards, 5), L({"Diehard Racer", "Name not found"}));

    const auto qualify = pageparse::TableAfterTitle(html, QStringLiteral(">Qualify<"));
    ASSERT_EQ(qualify.size(), 7u);
    EXPECT_EQ(Cells(qualify, 1), L({"Cloudy"}));
    EXPECT_EQ(Cells(qualify, 2), L({"Pos.", "No.", "Driver", "Speed", "Dif. F/N", "Time", "Dif. F/N"}));
    EXPECT_EQ(Cells(qualify, 3), L({"1", "12", "bob_online", "180.000", "0/0", "30.000", "0/0"}));
    EXPECT_EQ(Cells(qualify, 4), L({"2", "7", "Ann Able", "179.283", "0.717/0.717", "30.123", "0.123/0.123"}));
    EXPECT_EQ(Cells(qualify, 5), L({"3", "3", "Cid Cole", "Prov.", "&nbsp;", "&nbsp;", "&nbsp;"}));
    EXPECT_EQ(Cells(qualify, 6), L({"4", "***", "Name not found", "178.500", "1.500/0.783", "30.250", "0.250/0.127"}));

    const auto teams = pageparse::TableAfterTitle(html, QStringLiteral("Team Points"));
    ASSERT_EQ(teams.size(), 2u);
    EXPECT_EQ(Cells(teams, 1), L({"1 ", "Red &amp; &lt;Blue&gt;", "360"}));
    const auto rookies = pageparse::TableAfterTitle(html, QStringLiteral("ROTY Points"));
    ASSERT_EQ(rookies.size(), 3u);
    EXPECT_EQ(Cells(rookies, 2), L({"2", "Cid Cole", "9"}));
    const auto makes = pageparse::TableAfterTitle(html, QStringLiteral("Manufacturer Points"));
    ASSERT_EQ(makes.size(), 6u);
    EXPECT_EQ(Cells(makes, 2), L({"2", "Chevrolet", "6"}));
    EXPECT_EQ(Cells(makes, 5), L({"", "", ""}));
    const auto adjustments = pageparse::TableAfterTitle(html, QStringLiteral("Point Adjustments"));
    ASSERT_EQ(adjustments.size(), 3u);
    EXPECT_EQ(Cells(adjustments, 1), L({"Driver", "Pts.", "Observations"}));
    EXPECT_EQ(Cells(adjustments, 2), L({" 12  bob_online          ", "-10", "Rough driving"}));
    EXPECT_TRUE(html.contains(QStringLiteral("    <td class=\"tarvik_line1\">Rough driving</td></tr>")));
}

TEST_F(RaceResultPageTest, PlainDivisionNineColumnsSeparatorsAndBands)
{
    bLines = true;
    const qint64 r = AddRace(QStringLiteral("E2"), QStringLiteral("12"), QStringLiteral("Six Pack"));
    for (int p = 1; p <= 6; ++p)
        AddScore(QStringLiteral("E2"), r, p, p <= 3 ? ann : bob, QStringLiteral("Running"), 100, 0, 0, 0, 0,
                 QStringLiteral("Ford"));
    auto w = Publish(QStringLiteral("E2 Series"));
    ASSERT_EQ(msgs->last(), QStringLiteral("All HTML Files have been generated"));
    const QString html = Page(QStringLiteral("012E2_result.htm"));
    const QString fragment = pageparse::ReadFile(program->file(QStringLiteral("TXT/012E2_Result.htm")));
    EXPECT_TRUE(fragment.startsWith(bUseStyle ? QStringLiteral("<STYLE>\r\n") : QStringLiteral("<TABLE ")));

    const QString resultPart = html.section(QStringLiteral("</TABLE>"), 0, 0);
    EXPECT_EQ(resultPart.count(QStringLiteral("colspan=\"9\"")), 3 + 6);   // titles and a separator per row
    EXPECT_TRUE(resultPart.contains(QStringLiteral("    <TD class=\"tarvik_title\" align=\"center\">&nbsp;</TD>\r\n"
                                                   "    <TD class=\"tarvik_title\" align=\"center\">Driver</TD>")));
    EXPECT_TRUE(resultPart.contains(QStringLiteral("    <TD class=\"tarvik_title\" align=\"center\">&nbsp;</TD>\r\n"
                                                   "    <TD class=\"tarvik_title\" align=\"center\">Interval</TD>")));
    // Number cells empty, the make shown all the same; rows 1-5 one band, row 6 the other.
    EXPECT_TRUE(resultPart.contains(QStringLiteral("     <td class=\"tarvik_line1\" align=\"center\"></td>\r\n")));
    EXPECT_TRUE(resultPart.contains(QStringLiteral("     <td class=\"tarvik_line1\" align=\"left\">Ford      </td>")));
    EXPECT_EQ(resultPart.count(QStringLiteral("<td class=\"tarvik_line2\" align=\"center\">6</td>")), 1);
    EXPECT_TRUE(resultPart.contains(QStringLiteral("    </TR>\r\n    <TR><TD height=\"1\" class=\"title\" colspan=\"9\"></TD></TR>")));
    // No team, rookie or adjustment lines: no such tables.
    EXPECT_FALSE(html.contains(QStringLiteral("Team Points")));
    EXPECT_FALSE(html.contains(QStringLiteral("ROTY Points")));
    EXPECT_FALSE(html.contains(QStringLiteral("Manufacturer Points")));
    EXPECT_FALSE(html.contains(QStringLiteral("Point Adjustments")));
}

TEST_F(RaceResultPageTest, FailuresAreReportedAndLeaveTheOldPage)
{
    const QString page = program->writeFile(QStringLiteral("HTML/007D1_result.htm"), "old page");
    // The fragment folder is gone.
    ASSERT_TRUE(QDir(program->file(QStringLiteral("TXT"))).removeRecursively());
    auto w = Publish(QStringLiteral("D1 Cup"));
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(msgs->calls()[0].flags & dlg::vbCritical, dlg::vbCritical);
    EXPECT_FALSE(msgs->saw(QStringLiteral("All HTML Files have been generated")));
    EXPECT_EQ(pageparse::ReadFile(page), QStringLiteral("old page"));

    // The template is missing: the fragment is written, the page is not.
    ASSERT_TRUE(QDir(program->path()).mkdir(QStringLiteral("TXT")));
    ASSERT_TRUE(QFile::remove(program->file(QStringLiteral("HTML/temp_result.htm"))));
    msgs->clear();
    Button(*w, "commSave")->click();
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_TRUE(msgs->last().contains(QStringLiteral("temp_result.htm")));
    EXPECT_TRUE(QFile::exists(program->file(QStringLiteral("TXT/007D1_Result.htm"))));
    EXPECT_EQ(pageparse::ReadFile(page), QStringLiteral("old page"));
}

TEST_F(RaceResultPageTest, AFullDiskLeavesTheOldPagesAndAnnouncesNothing)
{
    const QString page = program->writeFile(QStringLiteral("HTML/007D1_result.htm"), "old page");
    const QString fragment = program->writeFile(QStringLiteral("TXT/007D1_Result.htm"), "old fragment");
    auto w = Open();
    ChooseDivision(*w, QStringLiteral("D1 Cup"));
    const std::string told = testsupport::WithFileSizeLimit(512, [&] {
        msgs->clear();
        Button(*w, "commSave")->click();
        const bool announced = msgs->saw(QStringLiteral("All HTML Files have been generated"));
        return (announced ? "announced\n" : "") + msgs->last().toStdString();
    });
    EXPECT_EQ(told.find("announced"), std::string::npos) << told;
    EXPECT_NE(told.find("Race result page"), std::string::npos) << told;
    EXPECT_NE(told.find("File too large: " + fragment.toStdString()), std::string::npos) << told;
    EXPECT_EQ(pageparse::ReadFile(page), QStringLiteral("old page"));
    EXPECT_EQ(pageparse::ReadFile(fragment), QStringLiteral("old fragment"));
    for (const char* folder : {"HTML", "TXT"})
        EXPECT_TRUE(QDir(program->file(QString::fromLatin1(folder))).entryList({QStringLiteral("*.tmp")}, QDir::Files).isEmpty());
}

TEST_F(RaceResultPageTest, AnImportedRaceShowsAndPublishesEveryLine)
{
    dbMain->execute(QStringLiteral("INSERT INTO Division (ID, Name, Numbers, Brands, Teams, Roty, Earnings, PointSystem, \"Drop\") "
                                   "VALUES ('SNL', 'Sunday Night', -1, -1, 0, 0, 0, 1, 0)"));
    dbMain->execute(QStringLiteral("INSERT INTO Tracks (ShortName, FullName, Miles, \"Type\") VALUES ('Pocono', 'Pocono Raceway', 2.5, 2)"));
    sCurDiv = QStringLiteral("SNL");
    ProcessClass p;
    p.RaceDivision = QStringLiteral("SNL");
    p.RaceNo = QStringLiteral("3");
    p.stnFileName = QStringLiteral(TARVIK_TEST_DATA) + QStringLiteral("/race_small.htm");
    p.TrackID = dbMain->lastInsertId();
    ASSERT_TRUE(p.ProcRace()) << msgs->last().toStdString();
    sCurDiv.clear();

    auto w = Publish(QStringLiteral("Sunday Night"));
    ASSERT_EQ(w->ShownRace(), p.RaceID);
    ASSERT_EQ(msgs->last(), QStringLiteral("All HTML Files have been generated"));

    auto score = dbMain->openRecordset(QStringLiteral("SELECT Posi, Laps, Points, Finish FROM Score WHERE RaceID = ")
                                       + QString::number(p.RaceID) + QStringLiteral(" ORDER BY Posi"));
    const int lines = score->recordCount();
    ASSERT_GT(lines, 0);
    for (int k = 1; !score->eof(); ++k, score->moveNext()) {
        const QString line = w->Grid(1)->TextMatrix(k, 0);
        EXPECT_EQ(rt::Trim(rt::Mid(line, 1, 2)), rt::Str(score->field(QStringLiteral("Posi")))) << k;
        EXPECT_EQ(rt::Trim(rt::Mid(line, 56, 3)), rt::Str(score->field(QStringLiteral("Laps")))) << k;
        EXPECT_EQ(rt::Trim(rt::Mid(line, 65, 4)), rt::Str(score->field(QStringLiteral("Points")))) << k;
        EXPECT_EQ(rt::Trim(rt::Mid(line, 71, 15)), score->text(QStringLiteral("Finish"))) << k;
    }
    EXPECT_EQ(w->Grid(1)->TextMatrix(lines + 1, 0), QStringLiteral(" "));
    const int quals = dbMain->scalar(QStringLiteral("SELECT COUNT(*) FROM Qualify WHERE RaceID = ") + QString::number(p.RaceID)).toInt();
    EXPECT_FALSE(rt::Trim(w->Grid(2)->TextMatrix(quals, 0)).isEmpty());
    EXPECT_EQ(w->Grid(2)->TextMatrix(quals + 1, 0), QStringLiteral(" "));

    const QString html = Page(QStringLiteral("003SNL_result.htm"));
    const auto result = pageparse::TableAfterTitle(html, QStringLiteral("Race No. 003"));
    EXPECT_EQ(int(result.size()), 4 + lines);
    const auto qualify = pageparse::TableAfterTitle(html, QStringLiteral(">Qualify<"));
    EXPECT_EQ(int(qualify.size()), 3 + quals);
}
