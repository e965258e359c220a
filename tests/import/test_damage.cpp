#include "Damage.h"
#include "ImportDamage.h"
#include "RaceSeed.h"
#include "TestSupport.h"

using testsupport::LeagueTest;

namespace {

class DamageTest : public LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        seed::Division(QStringLiteral("W1"));
        sCurDiv = QStringLiteral("W1");
        race = seed::Race(QStringLiteral("W1"), QStringLiteral("1"));
        seed::Score(QStringLiteral("W1"), race, 1, seed::Driver(QStringLiteral("Tom O'Neil")));
        smith = seed::Driver(QStringLiteral("J Smith"));
        seed::Score(QStringLiteral("W1"), race, 2, smith);
        seed::Driver(QStringLiteral("Benched Guy"));   // in Drivers, not in the race
    }
    QString WriteXml(const QByteArray& entries, const QString& name = QStringLiteral("damage.xml"))
    {
        return program->writeFile(name, "<?xml version=\"1.0\"?>\n<league><race>\n<damage-cost-summary>\n" + entries
                                            + "\n</damage-cost-summary></race></league>\n");
    }
    int Rows() { return dbMain->scalar(QStringLiteral("SELECT Count(*) FROM Damage")).toInt(); }
    // The costs below are written as an English-speaking user writes them.
    testsupport::DefaultLocale english{QLocale(QLocale::English, QLocale::UnitedStates)};
    qint64 race = 0;
    qint64 smith = 0;
};

const QByteArray kTwoDrivers =
    "<driver name=\"TOM O'NEIL\"><body>1,200</body><engine>300.5</engine><other>0</other></driver>\n"
    "  <driver name=\"John Smith\" car=\"8\"><b>10</b><e>20</e><o>30</o><x>99</x></driver>";

} // namespace

TEST_F(DamageTest, ImportAddsOneRowPerFinisherFoundByNameOrShortForm)
{
    ImportDamage(WriteXml(kTwoDrivers + "\n<driver name=\"Benched Guy\"><b>1</b><e>1</e><o>1</o></driver>"), race);

    EXPECT_EQ(Rows(), 2);
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM Damage ORDER BY Posi"));
    EXPECT_EQ(rs->text(QStringLiteral("Division")), QStringLiteral("W1"));
    EXPECT_EQ(rs->integer(QStringLiteral("Posi")), 1);
    EXPECT_EQ(rs->integer(QStringLiteral("Bodywork")), 1200);   // digit grouping read
    EXPECT_EQ(rs->integer(QStringLiteral("Engine")), 300);      // half to even
    EXPECT_TRUE(rs->isNull(QStringLiteral("Extra")));
    rs->moveNext();
    EXPECT_EQ(rs->integer(QStringLiteral("Posi")), 2);
    EXPECT_EQ(rs->integer(QStringLiteral("Other")), 30);

    // Not in this race: reported under the short form, and skipped.
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(msgs->last(), QStringLiteral("Diver Not Found! B Guy"));
    EXPECT_EQ(msgs->calls().front().flags, dlg::vbOKOnly);

    QString twoBlanks = QStringLiteral("John  Smith");
    EXPECT_EQ(FindFinisher(twoBlanks), 0);
    EXPECT_EQ(twoBlanks, QStringLiteral("J "));

    // An initial written as two UTF-16 units is taken whole.
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");
    seed::Score(QStringLiteral("W1"), race, 3, seed::Driver(face + QStringLiteral(" Lee")));
    QString longForm = face + QStringLiteral("bert Lee");
    EXPECT_EQ(FindFinisher(longForm), 3);
    EXPECT_EQ(longForm, face + QStringLiteral(" Lee"));

    // Under a decimal comma "1.200" is twelve hundred and "300,5" three hundred and a half.
    const testsupport::DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
    msgs->clear();
    msgs->answer(dlg::vbYes);   // overwrite
    ImportDamage(WriteXml("<driver name=\"Tom O'Neil\"><b>1.200</b><e>300,5</e><o>7</o></driver>"), race);
    EXPECT_EQ(msgs->calls().size(), 1u);
    rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM Damage"));
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->integer(QStringLiteral("Bodywork")), 1200);
    EXPECT_EQ(rs->integer(QStringLiteral("Engine")), 300);
}

TEST_F(DamageTest, OverwriteAsksOnceAndNoKeepsTheOldRows)
{
    ImportDamage(WriteXml(kTwoDrivers), race);
    ASSERT_EQ(Rows(), 2);
    EXPECT_TRUE(msgs->calls().empty());   // no question without old rows

    const QString replacement = WriteXml("<driver name=\"j smith\"><b>5</b><e>5</e><o>5</o></driver>", QStringLiteral("new.xml"));
    msgs->answer(dlg::vbNo);
    ImportDamage(replacement, race);
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(msgs->last(), QStringLiteral("Damage for this race already exists, do you want to overwrite the damage?"));
    EXPECT_EQ(msgs->calls().front().flags, dlg::vbYesNo | dlg::vbQuestion | dlg::vbDefaultButton2);
    EXPECT_EQ(Rows(), 2);

    msgs->answer(dlg::vbYes);
    ImportDamage(replacement, race);
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(dbMain->scalar(QStringLiteral("SELECT Bodywork FROM Damage")).toInt(), 5);
}

TEST_F(DamageTest, UnreadableFilesKeepTheOldRowsAndBadEntriesAreSkipped)
{
    ImportDamage(WriteXml(kTwoDrivers), race);
    ASSERT_EQ(Rows(), 2);

    ImportDamage(program->file(QStringLiteral("missing.xml")), race);
    ImportDamage(program->writeFile(QStringLiteral("broken.xml"), "<damage-cost-summary><driver"), race);
    ImportDamage(program->writeFile(QStringLiteral("other.xml"), "<costs><driver name=\"J Smith\"/></costs>"), race);
    ASSERT_EQ(msgs->calls().size(), 3u);   // three messages and never the overwrite question
    for (const auto& call : msgs->calls())
        EXPECT_TRUE(call.flags & dlg::vbCritical) << call.prompt.toStdString();
    EXPECT_TRUE(msgs->saw(QStringLiteral("damage-cost-summary")));
    EXPECT_EQ(Rows(), 2);

    msgs->clear();
    for (int skipped = 0; skipped < 3; ++skipped)
        msgs->answer(dlg::vbOK);
    msgs->answer(dlg::vbYes);
    ImportDamage(WriteXml("<driver><b>1</b><e>1</e><o>1</o></driver>\n"
                          "<driver name=\"J Smith\"><b>1</b><e>2</e></driver>\n"
                          "<driver name=\"J Smith\"><b>lots</b><e>2</e><o>3</o></driver>\n"
                          "<!-- a note -->\n"
                          "<driver name=\"Tom O'Neil\"><b>7</b><e>8</e><o>9</o></driver>"),
                 race);
    EXPECT_EQ(msgs->calls().size(), 4u);   // three skipped entries, then the question
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(dbMain->scalar(QStringLiteral("SELECT Other FROM Damage WHERE Posi = 1")).toInt(), 9);
}

TEST_F(DamageTest, RecordLoadsALineAndFormatsMoney)
{
    dbMain->execute(QStringLiteral("INSERT INTO Damage VALUES ('W1', ?, 2, 100, 200, 300, 50, 'tow')"), {race});
    Damage d;
    d.GetDamage(race, 2);
    EXPECT_EQ(d.BodyWork, 100);
    EXPECT_EQ(d.Extra, 50);
    EXPECT_EQ(d.Comment, QStringLiteral("tow"));
    EXPECT_EQ(d.DriverID, smith);
    EXPECT_EQ(d.TotalDamage, 650);
    EXPECT_FALSE(d.HasDamage(race));

    d.GetDamage(race, 1);   // no line: members keep their values
    EXPECT_EQ(d.TotalDamage, 650);
    d.Clear();
    EXPECT_EQ(d.TotalDamage, 0);
    EXPECT_EQ(d.Comment, QString());

    EXPECT_EQ(Damage::FormatDamage(1234567, true), QStringLiteral("234,567"));
    EXPECT_EQ(Damage::FormatDamage(1234567, false), QStringLiteral("1,234,567"));
    EXPECT_EQ(Damage::FormatDamage(950, false), QStringLiteral("     $950"));
    EXPECT_EQ(Damage::FormatDamage(0, true), QStringLiteral("      0"));
    EXPECT_EQ(Damage::FormatDamage(0, false), QStringLiteral("        0"));
}
