// The import reads the drivers the page names, their makes and the
// division's teams once: the answers must be those one query per result
// line gave. And the page's folder is saved only when it changed.

#include "ImportFixture.h"

#include "Database.h"
#include "Settings.h"
#include "State.h"

#include <sys/stat.h>

namespace {

class ImportLookupsTest : public ImportTest {
protected:
    QString small;
    void SetUp() override
    {
        ImportTest::SetUp();
        small = program->addTestFile(QStringLiteral("race_small.htm"), QStringLiteral("STN"));
    }
    static std::pair<qint64, qint64> Stamp(const QString& path)
    {
        struct stat st {};
        if (::stat(path.toLocal8Bit().constData(), &st) != 0)
            return {0, 0};
        return {qint64(st.st_ino), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    }
};

} // namespace

TEST_F(ImportLookupsTest, DriversTeamsAndMakesAreFoundAsTheDatabaseComparesThem)
{
    AddDivision(QStringLiteral("CUP"), 1, 1);
    AddDivision(QStringLiteral("OTHER"), 1, 1);
    // Two stored drivers whose online names differ in case only: the lower id counts.
    const qint64 cidLow = AddDriver(QStringLiteral("CID COLE"), QStringLiteral("Chevy"));
    AddDriver(QStringLiteral("cid cole"), QStringLiteral("Ford"));
    // A make without a value is written as an empty one.
    const qint64 ann = AddDriver(QStringLiteral("ann able"));
    const qint64 bob = AddDriver(QStringLiteral("Bob O'Brien"));
    dbMain->execute(QStringLiteral("UPDATE Drivers SET Brand = NULL WHERE DriverID = ?"), {ann});
    dbMain->execute(QStringLiteral("UPDATE Drivers SET Brand = '' WHERE DriverID = ?"), {bob});
    // Ann sits in two of the division's teams: the lower TeamID; Bob only
    // in another division's team.
    AddTeam(QStringLiteral("OTHER"), QStringLiteral("Elsewhere"), {ann, bob});
    const qint64 first = AddTeam(QStringLiteral("CUP"), QStringLiteral("First"), {0, ann});
    AddTeam(QStringLiteral("CUP"), QStringLiteral("Second"), {ann});

    const ProcessClass p = Run(QStringLiteral("CUP"), QStringLiteral("1"), small, pocono);
    ASSERT_FALSE(p.bError) << msgs->last().toStdString();
    EXPECT_EQ(p.NewDrivers, 3);   // Sam and Zoe from qualifying, Ned from the race: each once
    const QString race = QString::number(p.RaceID);
    EXPECT_EQ(Rows(QStringLiteral("SELECT Posi, DriverID, Team, Brand IS NULL, Brand FROM Score WHERE RaceID = ") + race
                   + QStringLiteral(" AND Posi <= 3 ORDER BY Posi")),
              (QStringList{QStringLiteral("1|%1|0|0|Chevy").arg(cidLow), QStringLiteral("2|%1|%2|0|").arg(ann).arg(first),
                           QStringLiteral("3|%1|0|0|").arg(bob)}));
    // New drivers carry the blank make, in the race and in the table.
    EXPECT_EQ(Rows(QStringLiteral("SELECT Score.Brand, Drivers.Brand FROM Score INNER JOIN Drivers ON Score.DriverID = "
                                  "Drivers.DriverID WHERE RaceID = ") + race + QStringLiteral(" AND Posi > 3 ORDER BY Posi")),
              (QStringList{QStringLiteral(" | "), QStringLiteral(" | "), QStringLiteral(" | ")}));
    EXPECT_EQ(Value(QStringLiteral("SELECT Count(*) FROM Drivers")).toInt(), 7);
}

TEST_F(ImportLookupsTest, ThePagesFolderIsSavedOnlyWhenItChanges)
{
    AddDivision(QStringLiteral("CUP"));
    const QString store = program->file(QStringLiteral("settings.ini"));
    ASSERT_FALSE(Run(QStringLiteral("CUP"), QStringLiteral("1"), small, pocono).bError);
    const auto written = Stamp(store);
    ASSERT_NE(written.first, 0);
    msgs->answer(dlg::vbYes);   // the race is there: overwrite
    ASSERT_FALSE(Run(QStringLiteral("CUP"), QStringLiteral("1"), small, pocono).bError);
    EXPECT_EQ(Stamp(store), written);

    const QString elsewhere = program->writeFile(QStringLiteral("other/race.htm"), PageText(QStringLiteral("race_small.htm")).toUtf8());
    ASSERT_FALSE(Run(QStringLiteral("CUP"), QStringLiteral("2"), elsewhere, pocono).bError);
    EXPECT_NE(Stamp(store), written);
    EXPECT_EQ(settings::GetSetting(QStringLiteral("Tarvik"), QStringLiteral("Params"), QStringLiteral("STNFile")),
              program->file(QStringLiteral("other/")));
}
