// The track records window: its rows per venue for a record group and for
// all divisions, and the records page written from them.

#include "frmRecords.h"

#include "../../publish/PageParse.h"

#include "Database.h"
#include "Runtime.h"
#include "State.h"
#include "TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>

#include <memory>

using namespace pageparse;

namespace {

class RecordsTest : public testsupport::LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        if (HasFatalFailure())
            return;
        auto& db = *dbMain;
        // D1 and D'2 share records; D3 keeps none.
        db.execute(QStringLiteral("INSERT INTO Division (ID, Name, RecordID) VALUES ('D1', 'Premier', 1), ('D''2', 'Second', 1), ('D3', 'Solo', 0)"));
        db.execute(QStringLiteral("INSERT INTO Drivers (DriverID, OnlineID, Name) VALUES (1, 'al', 'Al O''Neil'), (2, 'bob_online', NULL), "
                                  "(3, 'cy', 'Cy <Fast> & Co')"));
        //   race, division, venue, date, pole driver, time, speed, winner, average speed
        race(1, "D1", "Dover", "3/1/2024", 2, "23.100", "155.844", 1, "150.5");
        race(2, "D'2", "Dover", "4/5/2024", 1, "22.900", "157.205", 3, "185.123456");
        race(3, "D1", "O'Reilly Park", "5/1/2023", 3, "30.000", "80.000", 1, "9.0");
        race(4, "D1", "O'Reilly Park", "not a date", 2, "31.000", "78.000", 2, "9.5");
        race(5, "D3", "Road America", "6/1/2024", 1, "90.000", "100.000", 2, "95.0");
        race(6, "D1", "Texas", "7/1/2024", 3, "28.000", "190.000", 0, nullptr);   // qualified, never run
    }

    void race(int id, const char* div, const char* venue, const char* date, int pole, const char* time, const char* speed,
              int winner, const char* avg)
    {
        dbMain->execute(QStringLiteral("INSERT INTO Races (ID, Division, RaceNo, Venue, RaceDate) VALUES (?, ?, ?, ?, ?)"),
                        {id, QString::fromLatin1(div), QString::number(id), QString::fromLatin1(venue), QString::fromLatin1(date)});
        dbMain->execute(QStringLiteral("INSERT INTO Qualify VALUES (?, 1, ?, ?, ?)"),
                        {id, pole, QString::fromLatin1(time), QString::fromLatin1(speed)});
        // A second qualifier, always slower.
        dbMain->execute(QStringLiteral("INSERT INTO Qualify VALUES (?, 2, 1, '99.000', '1.000')"), {id});
        if (winner == 0)
            return;
        dbMain->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi, DriverID, Interval) VALUES (?, ?, 1, ?, ?)"),
                        {QString::fromLatin1(div), id, winner, QString::fromLatin1(avg)});
        dbMain->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi, DriverID, Interval) VALUES (?, ?, 2, 3, '-1.000')"),
                        {QString::fromLatin1(div), id});
    }

    std::unique_ptr<frmRecords> open()
    {
        auto w = std::make_unique<frmRecords>();
        w->show();
        QApplication::processEvents();
        return w;
    }

    void choose(frmRecords& w, const QString& text)
    {
        auto* combo = w.findChild<QComboBox*>(QStringLiteral("DivName"));
        const int i = combo->findText(text);
        ASSERT_GE(i, 0) << text.toStdString();
        combo->setCurrentIndex(i);
        emit combo->activated(i);
    }

    static QStringList rows(const frmRecords& w)
    {
        QStringList out;
        for (int r = 0; r < w.Grid()->count(); ++r)
            out << w.Grid()->item(r)->text();
        return out;
    }

    void save(frmRecords& w) { w.findChild<QPushButton*>(QStringLiteral("Command1"))->click(); }
    QString file(const QString& name) const { return program->file(name); }
};

const QString kBlank80(80, QLatin1Char(' '));

} // namespace

TEST_F(RecordsTest, RecordGroupRowsPerVenue)
{
    auto w = open();
    auto* combo = w->findChild<QComboBox*>(QStringLiteral("DivName"));
    ASSERT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->itemText(3), QStringLiteral("<<< ALL >>>"));
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(w->Grid()->count(), 150);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Race Records"));

    choose(*w, QStringLiteral("Premier"));
    const QStringList g = rows(*w);
    ASSERT_EQ(g.size(), 150);
    const QStringList expected = {
        // Two poles at Dover: the lower time, run in the other division of the group.
        QStringLiteral("Dover"),
        QStringLiteral("-----"),
        QStringLiteral("Qualify Record    : Al O'Neil  157.205 (22.900 sec.) -  4/5/2024"),
        QStringLiteral("Race Record       : Cy <Fast> & Co  185.123 mph  -  4/5/2024"),
        QStringLiteral("Defending Champion: Cy <Fast> & Co"),
        kBlank80,
        // An apostrophe in the venue; the later race's date cannot be read
        // and counts as the oldest, so the 2023 race gives the champion.
        QStringLiteral("O'Reilly Park"),
        QStringLiteral("-------------"),
        QStringLiteral("Qualify Record    : Cy <Fast> & Co  80.000 (30.000 sec.) -  5/1/2023"),
        QStringLiteral("Race Record       : bob_online    9.500 mph  -  not a date"),
        QStringLiteral("Defending Champion: Al O'Neil"),
        kBlank80,
        // Qualified but never raced: the rows keep their place, labels alone.
        QStringLiteral("Texas"),
        QStringLiteral("-----"),
        QStringLiteral("Qualify Record    : Cy <Fast> & Co  190.000 (28.000 sec.) -  7/1/2024"),
        QStringLiteral("Race Record       : "),
        QStringLiteral("Defending Champion: "),
        kBlank80,
    };
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(g[i], expected[i]) << "row " << i;
    for (int i = expected.size(); i < 150; ++i)
        EXPECT_EQ(g[i], QStringLiteral(" ")) << "row " << i;
    EXPECT_EQ(w->SelectedID(), QStringLiteral("D1"));

    // The records beside the rows.
    const auto& lines = w->GridLines();
    ASSERT_EQ(lines.size(), 150);
    EXPECT_EQ(lines[3].name, QStringLiteral("Cy <Fast> & Co"));
    EXPECT_EQ(lines[3].speed, QStringLiteral("185.123"));
    EXPECT_EQ(lines[3].date, QStringLiteral("4/5/2024"));
    EXPECT_EQ(lines[9].speed, QStringLiteral("9.500"));
    EXPECT_TRUE(lines[15].name.isEmpty());

    // A division that keeps no records leaves the grid blank.
    choose(*w, QStringLiteral("Solo"));
    for (const QString& r : rows(*w))
        EXPECT_EQ(r, QStringLiteral(" "));
    EXPECT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();
}

TEST_F(RecordsTest, APoleWithoutATimeIsNoRecord)
{
    // Dover keeps one timed pole; O'Reilly Park has none.
    dbMain->execute(QStringLiteral("UPDATE Qualify SET Speed = '0', [Time] = '0' WHERE Pos = 1 AND RaceID IN (2, 3, 4)"));
    auto w = open();
    choose(*w, QStringLiteral("Premier"));
    const QStringList g = rows(*w);
    EXPECT_EQ(g[2], QStringLiteral("Qualify Record    : bob_online  155.844 (23.100 sec.) -  3/1/2024"));
    EXPECT_EQ(g[6], QStringLiteral("O'Reilly Park"));
    EXPECT_EQ(g[8], QStringLiteral("Qualify Record    : "));
}

TEST_F(RecordsTest, AllDivisionsHaveNoChampionRows)
{
    auto w = open();
    choose(*w, QStringLiteral("<<< ALL >>>"));
    EXPECT_EQ(w->SelectedID(), QStringLiteral("ALL  "));
    const QStringList g = rows(*w);
    const QStringList expected = {
        QStringLiteral("Dover"), QStringLiteral("-----"),
        QStringLiteral("Qualify Record    : Al O'Neil  157.205 (22.900 sec.) -  4/5/2024"),
        QStringLiteral("Race Record       : Cy <Fast> & Co  185.123 mph  -  4/5/2024"), kBlank80,
        QStringLiteral("O'Reilly Park"), QStringLiteral("-------------"),
        QStringLiteral("Qualify Record    : Cy <Fast> & Co  80.000 (30.000 sec.) -  5/1/2023"),
        QStringLiteral("Race Record       : bob_online    9.500 mph  -  not a date"), kBlank80,
        // Poles of every division count; races only of divisions keeping records.
        QStringLiteral("Road America"), QStringLiteral("------------"),
        QStringLiteral("Qualify Record    : Al O'Neil  100.000 (90.000 sec.) -  6/1/2024"),
        QStringLiteral("Race Record       : "), kBlank80,
        QStringLiteral("Texas"), QStringLiteral("-----"),
        QStringLiteral("Qualify Record    : Cy <Fast> & Co  190.000 (28.000 sec.) -  7/1/2024"),
        QStringLiteral("Race Record       : "), kBlank80,
    };
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(g[i], expected[i]) << "row " << i;
    EXPECT_EQ(g[expected.size()], QStringLiteral(" "));
}

TEST_F(RecordsTest, PageCellsComeFromTheRecords)
{
    auto w = open();
    save(*w);
    EXPECT_EQ(msgs->last(), QStringLiteral("No Division was selected!"));
    EXPECT_EQ(msgs->calls().back().flags & dlg::vbCritical, dlg::vbCritical);
    EXPECT_EQ(msgs->calls().back().title, QStringLiteral("Tarvik"));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("HTML/D1_records.htm"))));
    msgs->clear();

    choose(*w, QStringLiteral("Premier"));
    save(*w);
    EXPECT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();
    ASSERT_TRUE(QFile::exists(file(QStringLiteral("TXT/D1Record.htm"))));
    const QString page = ReadFile(file(QStringLiteral("HTML/D1_records.htm")));
    EXPECT_TRUE(page.contains(QStringLiteral("<h1>Track Records</h1>")));
    EXPECT_TRUE(TagBalance(page).isEmpty()) << TagBalance(page).toStdString();
    const auto r = TableRows(page);
    const std::vector<QStringList> expected = {
        {QStringLiteral("Dover\r\n     ")},
        {QStringLiteral("<strong>Qualify Record</strong>"), QStringLiteral("Al O&#39;Neil"), QStringLiteral("157.205 mph"), QStringLiteral("4/5/2024")},
        {QStringLiteral("<strong>Race Record</strong>"), QStringLiteral("Cy &lt;Fast&gt; &amp; Co"), QStringLiteral("185.123 mph"), QStringLiteral("4/5/2024")},
        {QStringLiteral("<strong>Defending Champion</strong>"), QStringLiteral("Cy &lt;Fast&gt; &amp; Co"), QString(), QString()},
        {QStringLiteral("O&#39;Reilly Park\r\n     ")},
        {QStringLiteral("<strong>Qualify Record</strong>"), QStringLiteral("Cy &lt;Fast&gt; &amp; Co"), QStringLiteral("80.000 mph"), QStringLiteral("5/1/2023")},
        {QStringLiteral("<strong>Race Record</strong>"), QStringLiteral("bob_online"), QStringLiteral("9.500 mph"), QStringLiteral("not a date")},
        {QStringLiteral("<strong>Defending Champion</strong>"), QStringLiteral("Al O&#39;Neil"), QString(), QString()},
        {QStringLiteral("Texas\r\n     ")},
        {QStringLiteral("<strong>Qualify Record</strong>"), QStringLiteral("Cy &lt;Fast&gt; &amp; Co"), QStringLiteral("190.000 mph"), QStringLiteral("7/1/2024")},
        {QStringLiteral("<strong>Race Record</strong>"), QString(), QString(), QString()},
        {QStringLiteral("<strong>Defending Champion</strong>"), QString(), QString(), QString()},
    };
    ASSERT_EQ(r.size(), expected.size() + 1);   // and the footer
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(r[i], expected[i]) << "row " << i;
    EXPECT_TRUE(r.back().value(0).contains(QStringLiteral("Scoring provided by")));

    choose(*w, QStringLiteral("<<< ALL >>>"));
    save(*w);
    const QString all = ReadFile(file(QStringLiteral("HTML/ALL_records.htm")));
    EXPECT_TRUE(QFile::exists(file(QStringLiteral("TXT/ALLRecord.htm"))));
    EXPECT_FALSE(all.contains(QStringLiteral("Defending Champion")));
    EXPECT_EQ(TableRows(all).size(), 4u * 3u + 1u);
    EXPECT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();
}

TEST_F(RecordsTest, GridGrowsPastTwentyFiveVenues)
{
    for (int v = 1; v <= 30; ++v)
        race(100 + v, "D'2", QStringLiteral("Venue %1").arg(v, 2, 10, QLatin1Char('0')).toLatin1().constData(), "1/1/2024", 1,
             "20.000", "180.000", 1, "150.0");
    auto w = open();
    choose(*w, QStringLiteral("Second"));
    // Dover, O'Reilly Park, Texas and thirty more: 33 venues of 6 rows.
    const QStringList g = rows(*w);
    ASSERT_EQ(g.size(), 33 * 6);
    EXPECT_EQ(g[32 * 6], QStringLiteral("Venue 30"));
    EXPECT_EQ(g[32 * 6 + 4], QStringLiteral("Defending Champion: Al O'Neil"));
    EXPECT_EQ(g.last(), kBlank80);

    save(*w);
    const QString page = ReadFile(file(QStringLiteral("HTML/D'2_records.htm")));
    EXPECT_EQ(TableRows(page).size(), 33u * 4u + 1u);
    EXPECT_TRUE(page.contains(QStringLiteral(">Venue 30")));

    // A new choice starts from a grid of the first size again.
    choose(*w, QStringLiteral("Solo"));
    EXPECT_EQ(w->Grid()->count(), 150);
}

TEST_F(RecordsTest, FailedSaveIsReportedAndKeepsTheOldPage)
{
    program->writeFile(QStringLiteral("HTML/D1_records.htm"), "old page");
    ASSERT_TRUE(QFile::remove(file(QStringLiteral("HTML/temp_records.htm"))));
    auto w = open();
    choose(*w, QStringLiteral("Premier"));
    save(*w);
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_TRUE(msgs->last().startsWith(QStringLiteral("The track records page was not written")));
    EXPECT_TRUE(msgs->last().contains(QStringLiteral("temp_records.htm")));
    EXPECT_EQ(msgs->calls().back().flags & dlg::vbCritical, dlg::vbCritical);
    EXPECT_EQ(ReadFile(file(QStringLiteral("HTML/D1_records.htm"))), QStringLiteral("old page"));

    // No fragment folder: nothing is written at all.
    msgs->clear();
    ASSERT_TRUE(QDir(file(QStringLiteral("TXT"))).removeRecursively());
    save(*w);
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_TRUE(msgs->last().startsWith(QStringLiteral("The track records page was not written")));
    EXPECT_EQ(ReadFile(file(QStringLiteral("HTML/D1_records.htm"))), QStringLiteral("old page"));
}
