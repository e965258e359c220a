#include "CustomEarnings.h"
#include "EarningsClass.h"
#include "RaceSeed.h"
#include "TestSupport.h"

#include <QLocale>

using testsupport::LeagueTest;

namespace {

class EarningsTest : public LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        seed::Division(QStringLiteral("W1"));
        sCurDiv = QStringLiteral("W1");
    }
    void TearDown() override
    {
        QLocale::setDefault(QLocale::c());
        LeagueTest::TearDown();
    }
    void SetRates(const QList<QPair<int, double>>& rates)
    {
        dbMain->execute(QStringLiteral("DELETE * FROM Rates"));
        for (const auto& r : rates)
            dbMain->execute(QStringLiteral("INSERT INTO Rates (Pos, Rate) VALUES (?, ?)"), {r.first, r.second});
    }
    double Earn(qint64 race, double posi)
    {
        return dbMain->scalar(QStringLiteral("SELECT Earnings FROM Score WHERE RaceID = ") + QString::number(race)
                              + QStringLiteral(" AND Posi = ") + QString::number(posi))
            .toDouble();
    }
    void Calc(qint64 race, qint64 purse, const QString& file = QString())
    {
        EarningsClass e;
        e.lRaceID = race;
        e.lPurse = purse;
        e.sFile = file;
        e.CalculateEarnings();
        lastError = e.bError;
    }
    bool lastError = false;
};

} // namespace

TEST_F(EarningsTest, CustomFileReadsFlagsDataLinesAndSkipsWhatDoesNotFit)
{
    program->writeFile(QStringLiteral("earn.txt"),
                       "; pays by share\r\n  [rates]  \r\n  ;not a comment\r\n[MONEY]\r\n3,4.5\r\n3,6\r\n"
                       "51,9\r\nx,3\r\n0,1\r\n\r\n2.5,8\n7\n3,abc\n4,\n0,-.5 extra\n");
    CustomEarnings c;
    c.sFile = QStringLiteral("earn.txt");
    c.Load();
    EXPECT_FALSE(c.bError);
    EXPECT_TRUE(c.bRates);
    EXPECT_FALSE(c.bMoney);
    EXPECT_EQ(c.GetEarnings(3), 6);   // a later line replaces an earlier one; "3,abc" is skipped
    EXPECT_EQ(c.GetEarnings(0), -0.5);
    EXPECT_EQ(c.GetEarnings(2), 0);
    EXPECT_EQ(c.GetEarnings(7), 0);
    EXPECT_EQ(c.GetEarnings(51), 0);  // no slot: 0, never a failure
    EXPECT_EQ(c.GetEarnings(-1), 0);
    EXPECT_EQ(c.GetEarnings(32000), 0);

    CustomEarnings missing;
    missing.sFile = QStringLiteral("nofile.txt");
    missing.Load();
    EXPECT_TRUE(missing.bError);
    EXPECT_EQ(missing.sErrorMsg, QStringLiteral("nofile.txt: File not found"));
    EXPECT_FALSE(missing.bRates || missing.bMoney);
}

TEST_F(EarningsTest, RatesTableSharesThePurseRoundingHalvesToEven)
{
    SetRates({{1, 10}, {7, 2.5}, {3, 0}, {60, 5}});
    const qint64 race = seed::Race(QStringLiteral("W1"), QStringLiteral("1"));
    seed::Score(QStringLiteral("W1"), race, 1, seed::Driver(QStringLiteral("A")));
    seed::Score(QStringLiteral("W1"), race, 3, seed::Driver(QStringLiteral("B")), 0, 99);
    seed::Score(QStringLiteral("W1"), race, 7, seed::Driver(QStringLiteral("C")));
    seed::Score(QStringLiteral("W1"), race, 60, seed::Driver(QStringLiteral("D")), 0, 11);

    Calc(race, 10000);
    EXPECT_FALSE(lastError);
    EXPECT_EQ(Earn(race, 1), 1000);
    EXPECT_EQ(Earn(race, 7), 250);
    EXPECT_EQ(Earn(race, 3), 99);   // rate 0 keeps what it had
    EXPECT_EQ(Earn(race, 60), 11);  // beyond the table: untouched

    Calc(race, 500);   // 12.5
    EXPECT_EQ(Earn(race, 7), 12);
    Calc(race, 540);   // 13.5
    EXPECT_EQ(Earn(race, 7), 14);
}

TEST_F(EarningsTest, CustomFileInMoneyRatesOrNeitherMode)
{
    SetRates({{7, 2.5}});
    const qint64 race = seed::Race(QStringLiteral("W1"), QStringLiteral("1"));
    seed::Score(QStringLiteral("W1"), race, 1, seed::Driver(QStringLiteral("A")));
    seed::Score(QStringLiteral("W1"), race, 7, seed::Driver(QStringLiteral("B")));
    seed::Score(QStringLiteral("W1"), race, 50, seed::Driver(QStringLiteral("C")));

    program->writeFile(QStringLiteral("money.txt"), "; fixed\r\n[money]\r\n7,1234.5\r\n1,5000\r\n50,77\r\n");
    Calc(race, 10, QStringLiteral("money.txt"));
    EXPECT_EQ(Earn(race, 1), 5000);
    EXPECT_EQ(Earn(race, 7), 1234.5);
    EXPECT_EQ(Earn(race, 50), 0);   // position 50 of the file is not paid

    program->writeFile(QStringLiteral("share.txt"), "[rates]\n1,20\n");
    Calc(race, 1000, QStringLiteral("share.txt"));
    EXPECT_EQ(Earn(race, 1), 200);
    EXPECT_EQ(Earn(race, 7), 1234.5);

    program->writeFile(QStringLiteral("noflag.txt"), "1,50\n7,99\n");
    Calc(race, 10000, QStringLiteral("noflag.txt"));   // the Rates table counts
    EXPECT_EQ(Earn(race, 7), 250);
    EXPECT_EQ(Earn(race, 1), 200);

    msgs->clear();
    Calc(race, 999999, QStringLiteral("gone.txt"));
    EXPECT_TRUE(lastError);
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(msgs->last(), QStringLiteral("gone.txt: File not found"));
    EXPECT_TRUE(msgs->calls().front().flags & dlg::vbCritical);
    EXPECT_EQ(Earn(race, 7), 250);
}

TEST_F(EarningsTest, BonusAwardsInOrderAndRepeatable)
{
    // A locale with a decimal comma must not reach the statements.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    dPole = 100;
    dHard = 50.5;
    dChallenge = 30;
    dHeadache = 20;
    dRookie1 = 15;
    dRookie2 = 10;
    dRookie3 = 5;
    dUnderdog = 25;

    const QString w = QStringLiteral("W1");
    const qint64 a = seed::Driver(QStringLiteral("A")), b = seed::Driver(QStringLiteral("B")),
                 c = seed::Driver(QStringLiteral("C")), d = seed::Driver(QStringLiteral("D")),
                 e = seed::Driver(QStringLiteral("E")), f = seed::Driver(QStringLiteral("F"));
    const qint64 earlier = seed::Race(w, QStringLiteral("1"));
    seed::Score(w, earlier, 1, b);
    const qint64 race = seed::Race(w, QStringLiteral("2"));
    // finish, driver, laps led, qualifying place
    const struct { int posi; qint64 id; int lead; int qual; } lines[] = {
        {1, a, 10, 3}, {2, b, 50, 1}, {3, c, 0, 6}, {4, d, 0, 5}, {5, e, 0, 2}, {6, f, 0, 4}};
    for (const auto& l : lines) {
        seed::Score(w, race, l.posi, l.id, l.lead);
        seed::Qualify(race, l.qual, l.id);
    }
    dbMain->execute(QStringLiteral("UPDATE Score SET Bonus = 999 WHERE DriverID = ") + QString::number(a));
    dbMain->execute(QStringLiteral("INSERT INTO Rookies (Division, DriverID) VALUES ('W1', ?)"), {d});
    dbMain->execute(QStringLiteral("INSERT INTO Rookies (Division, DriverID) VALUES ('W1', ?)"), {f});
    dbMain->execute(QStringLiteral("INSERT INTO Rookies (Division, DriverID) VALUES ('X9', ?)"), {e});
    dbMain->execute(QStringLiteral("INSERT INTO Bonus (DivID, DriverID, Bonus) VALUES ('W1', ?, 7)"), {d});
    dbMain->execute(QStringLiteral("INSERT INTO Bonus (DivID, DriverID, Bonus) VALUES ('X9', ?, 1000)"), {e});

    for (int run = 0; run < 2; ++run) {
        EarningsClass ec;
        ec.lRaceID = race;
        ec.CalculateBonus();
        EXPECT_EQ(seed::ScoreValue(race, a, QStringLiteral("Bonus")), 0);       // winner: nothing
        EXPECT_EQ(seed::ScoreValue(race, b, QStringLiteral("Bonus")), 150.5);   // pole + most laps led
        EXPECT_EQ(seed::ScoreValue(race, c, QStringLiteral("Bonus")), 55);      // gained 3 + underdog
        EXPECT_EQ(seed::ScoreValue(race, d, QStringLiteral("Bonus")), 22);      // first rookie + fixed
        EXPECT_EQ(seed::ScoreValue(race, e, QStringLiteral("Bonus")), 20);      // lost 3
        EXPECT_EQ(seed::ScoreValue(race, f, QStringLiteral("Bonus")), 10);      // second rookie
    }
    EXPECT_EQ(seed::ScoreValue(earlier, b, QStringLiteral("Bonus")), 0);
    EXPECT_TRUE(msgs->calls().empty());
}

TEST_F(EarningsTest, BonusWithoutQualifyingOrWinnersLeftAwardsOut)
{
    dPole = 100;
    dHard = 40;
    dChallenge = 30;
    dUnderdog = 25;
    const qint64 race = seed::Race(QStringLiteral("W1"), QStringLiteral("1"));
    const qint64 a = seed::Driver(QStringLiteral("A"));
    seed::Score(QStringLiteral("W1"), race, 1, a);   // nobody led a lap
    EarningsClass ec;
    ec.lRaceID = race;
    ec.CalculateBonus();
    // No qualifying rows: no pole and no places awards; the only driver won.
    EXPECT_EQ(seed::ScoreValue(race, a, QStringLiteral("Bonus")), 40);

    EarningsClass empty;
    empty.lRaceID = race + 100;
    EXPECT_NO_THROW(empty.CalculateBonus());
}
