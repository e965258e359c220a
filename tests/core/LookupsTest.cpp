#include "Database.h"
#include "Division.h"
#include "Driver.h"
#include "Lookups.h"
#include "Recordset.h"
#include "State.h"
#include "TestSupport.h"
#include "TextLayout.h"

using testsupport::LeagueTest;

namespace {

class Lookups : public LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        dbMain->execute(QStringLiteral("INSERT INTO Drivers (OnlineID, Name, [Number], Brand) VALUES ('jdoe', 'John Doe', '7', 'Chevrolet')"));
        dbMain->execute(QStringLiteral("INSERT INTO Drivers (OnlineID, Name, [Number], Brand) VALUES "
                                       "('longname', 'Bartholomew Fitzgerald-Smythe', '1234', 'Ford Motor Company')"));
        dbMain->execute(QStringLiteral("INSERT INTO Drivers (OnlineID) VALUES ('anon')"));
        dbMain->execute(QStringLiteral("INSERT INTO Drivers (OnlineID, Name, [Number], Brand) VALUES ('x', 'X', '43', 'Pontiac  ')"));
        d1 = driverId("jdoe");
        d2 = driverId("longname");
        d3 = driverId("anon");
        d4 = driverId("x");
        dbMain->execute(QStringLiteral("INSERT INTO Division VALUES ('O''K', 'Open''s Cup', 0, 1, 1, 2, 1, 1, 'earn.txt', 0, '', 7, "
                                       "'points.txt', 2)"));
        dbMain->execute(QStringLiteral("INSERT INTO Division VALUES ('AM', '  Amateurs ', 0, 0, 0, 0, 0, 0, '', 0, '', 1, '', 0)"));
    }

    qint64 driverId(const char* online)
    {
        return dbMain->scalar(QStringLiteral("SELECT DriverID FROM Drivers WHERE OnlineID = '") + QLatin1String(online) + QLatin1Char('\''))
            .toLongLong();
    }

    qint64 d1 = 0, d2 = 0, d3 = 0, d4 = 0;
};

} // namespace

TEST_F(Lookups, DriverInfoFoundAndNotFound)
{
    QString name, number, make;
    GetDriverInfo(d1, name, number, make);
    EXPECT_EQ(name, QStringLiteral("John Doe            "));
    EXPECT_EQ(number, QStringLiteral("  7"));
    EXPECT_EQ(make, QStringLiteral("Chevrolet "));

    GetDriverInfo(d2, name, number, make);
    EXPECT_EQ(name, QStringLiteral("Bartholomew Fitzgera"));
    EXPECT_EQ(number, QStringLiteral("234"));
    EXPECT_EQ(make, QStringLiteral("Ford Motor"));

    GetDriverInfo(d4, name, number, make);
    EXPECT_EQ(number, QStringLiteral(" 43"));
    EXPECT_EQ(make, QStringLiteral("Pontiac   "));

    GetDriverInfo(d3, name, number, make);
    EXPECT_EQ(name, QStringLiteral("anon                "));
    EXPECT_EQ(number, QStringLiteral("***"));
    EXPECT_EQ(make, QString(10, QLatin1Char(' ')));

    GetDriverInfo(999999, name, number, make);
    EXPECT_EQ(name, QStringLiteral("Name not found      "));
    EXPECT_EQ(number, QStringLiteral("***"));
    EXPECT_EQ(make, QString(10, QLatin1Char(' ')));

    EXPECT_EQ(GetDriverBrand(d1), QStringLiteral("Chevrolet"));
    EXPECT_EQ(GetDriverBrand(d4), QStringLiteral("Pontiac  "));
    EXPECT_EQ(GetDriverBrand(d3), QString());
    EXPECT_EQ(GetDriverBrand(999999), QString());
}

TEST_F(Lookups, ABlankNameShowsTheOnlineIdInCodeAndInSql)
{
    dbMain->execute(QStringLiteral("INSERT INTO Drivers (OnlineID, Name) VALUES ('blank', '   ')"));
    const qint64 blank = driverId("blank");
    QString name, number, make;
    GetDriverInfo(blank, name, number, make);
    EXPECT_EQ(name, QStringLiteral("blank               "));
    Driver d;
    d.Load(blank);
    EXPECT_EQ(d.FullName, QStringLiteral("blank"));

    auto rs = dbMain->openRecordset(QStringLiteral("SELECT ") + DriverShownNameSql(QStringLiteral("D")) +
                                    QStringLiteral(" AS Shown FROM Drivers AS D ORDER BY ") +
                                    DriverShownNameSql(QStringLiteral("D")));
    QStringList shown;
    for (; !rs->eof(); rs->moveNext())
        shown << rs->text(QStringLiteral("Shown"));
    EXPECT_EQ(shown, (QStringList{QStringLiteral("anon"), QStringLiteral("Bartholomew Fitzgerald-Smythe"), QStringLiteral("blank"),
                                  QStringLiteral("John Doe"), QStringLiteral("X")}));
}

TEST_F(Lookups, DriverRecord)
{
    Driver known;
    known.Load(d1);
    EXPECT_TRUE(known.Found);
    EXPECT_EQ(known.FullName, QStringLiteral("John Doe"));
    EXPECT_EQ(known.Number, QStringLiteral("7"));
    EXPECT_EQ(known.Brand, QStringLiteral("Chevrolet"));

    Driver anon;
    anon.Load(d3);
    EXPECT_EQ(anon.FullName, QStringLiteral("anon"));
    EXPECT_EQ(anon.Number, QString());
    EXPECT_EQ(anon.Brand, QString());

    Driver missing;
    missing.Load(424242);
    EXPECT_FALSE(missing.Found);
    EXPECT_EQ(missing.FullName, QString());
}

TEST_F(Lookups, TeamsAndPenalties)
{
    // Ids beyond 16 and 24 bits must work.
    dbMain->execute(QStringLiteral("INSERT INTO Teams (TeamID, Division, Team_Name, Driver_1, Driver_2) VALUES (40000000000, 'O''K', "
                                   "' Fast Crew ', ") + QString::number(d2) + QStringLiteral(", ") + QString::number(d1) + QStringLiteral(")"));
    dbMain->execute(QStringLiteral("INSERT INTO Teams (Division, Team_Name, Driver_6) VALUES ('AM', 'Slow Crew', ") + QString::number(d1)
                    + QStringLiteral(")"));
    const qint64 slow = dbMain->scalar(QStringLiteral("SELECT TeamID FROM Teams WHERE Division = 'AM'")).toLongLong();

    nTeams = 0;
    EXPECT_EQ(GetDriverTeam(d1, QStringLiteral("O'K")), 0);   // no teams in the last loaded division
    nTeams = 1;
    EXPECT_EQ(GetDriverTeam(d1, QStringLiteral("O'K")), 40000000000LL);
    EXPECT_EQ(GetDriverTeam(d1, QStringLiteral("am")), slow);
    EXPECT_EQ(GetDriverTeam(d3, QStringLiteral("O'K")), 0);

    EXPECT_EQ(GetTeamName(40000000000LL), PadRight(QStringLiteral("Fast Crew"), 30));
    EXPECT_EQ(GetTeamName(40000000000LL).size(), 30);
    EXPECT_EQ(GetTeamName(0), QString(30, QLatin1Char(' ')));

    dbMain->execute(QStringLiteral("INSERT INTO Penalties VALUES ('O''K', 5000000000, 3, -25, 'Rough driving')"));
    qint64 points = 99;
    QString comment = QStringLiteral("old");
    GetPenalty(QStringLiteral("O'K"), 5000000000LL, 3, points, comment);
    EXPECT_EQ(points, -25);
    EXPECT_EQ(comment, QStringLiteral("Rough driving"));
    GetPenalty(QStringLiteral("O'K"), 5000000000LL, 4, points, comment);
    EXPECT_EQ(points, 0);
    EXPECT_EQ(comment, QString());

    dbMain->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi, DriverID) VALUES ('O''K', 17, 1, ") + QString::number(d1)
                    + QStringLiteral(")"));
    EXPECT_TRUE(RaceHasResults(17, QStringLiteral("o'k")));
    EXPECT_FALSE(RaceHasResults(18, QStringLiteral("O'K")));
    EXPECT_FALSE(RaceHasResults(17, QStringLiteral("AM")));
}

TEST_F(Lookups, DivisionSettingsAndRecord)
{
    LoadDivisionSettings(QStringLiteral("O'K"));
    EXPECT_TRUE(bBrands);
    EXPECT_EQ(nTeams, 2);
    EXPECT_TRUE(bRoty);
    EXPECT_TRUE(bEarnings);
    EXPECT_EQ(nPointSystem, 7);
    EXPECT_EQ(nDrop, 2);
    EXPECT_EQ(sPointSystemFile, QStringLiteral("points.txt"));
    EXPECT_EQ(sEarningsFile, QStringLiteral("earn.txt"));
    EXPECT_TRUE(bNumbers);

    LoadDivisionSettings(QStringLiteral("AM"));
    EXPECT_FALSE(bBrands);
    EXPECT_EQ(nTeams, 0);
    EXPECT_EQ(nPointSystem, 1);
    EXPECT_EQ(sPointSystemFile, QString());
    EXPECT_FALSE(bNumbers);

    Division div;
    div.Load(QStringLiteral("O'K"));
    EXPECT_TRUE(div.Found);
    EXPECT_EQ(div.Name, QStringLiteral("Open's Cup"));
    EXPECT_EQ(div.Teams, 2);
    EXPECT_EQ(div.PointSystem, 7);
    EXPECT_EQ(div.EarningsFile, QStringLiteral("earn.txt"));

    Division none;
    none.Load(QStringLiteral("ZZ"));
    EXPECT_FALSE(none.Found);
    EXPECT_EQ(none.Name, QString());

    // Add and Update write the members back.
    div.ID = QStringLiteral("NEW");
    div.Name = QStringLiteral("Newcomers");
    div.EarningsFile.clear();
    div.Add();
    div.Drop = 4;
    div.Update(QStringLiteral("NEW"));
    Division back;
    back.Load(QStringLiteral("new"));
    EXPECT_TRUE(back.Found);
    EXPECT_EQ(back.Name, QStringLiteral("Newcomers"));
    EXPECT_EQ(back.Drop, 4);
    EXPECT_EQ(back.EarningsFile, QString());
    EXPECT_TRUE(back.Brands);
}

TEST_F(Lookups, ClearFieldsOnANewRaceRow)
{
    auto rs = dbMain->openRecordset(QStringLiteral("Races"));
    rs->addNew();
    ClearFields(*rs);
    rs->update();
    auto back = dbMain->openRecordset(QStringLiteral("SELECT * FROM Races"));
    ASSERT_FALSE(back->eof());
    EXPECT_GT(back->integer(QStringLiteral("ID")), 0);
    EXPECT_EQ(back->field(QStringLiteral("Division")).toString(), QString());
    EXPECT_FALSE(back->isNull(QStringLiteral("RaceNo")));
    EXPECT_FALSE(back->isNull(QStringLiteral("Flags")));
    EXPECT_EQ(back->number(QStringLiteral("Purse"), -1), 0);
    EXPECT_FALSE(back->isNull(QStringLiteral("Nonpoints")));
    EXPECT_FALSE(back->flag(QStringLiteral("Nonpoints")));
}
