#include "ImportFixture.h"

#include "CustomPoints.h"
#include "Database.h"
#include "PointSystems.h"
#include "State.h"

TEST(PointTables, FixedTablesAndPagePoints)
{
    PointSystems ps;
    EXPECT_EQ(PointSystems::IROCPoints(1), 21);
    EXPECT_EQ(PointSystems::IROCPoints(12), 3);
    EXPECT_EQ(PointSystems::IROCPoints(13), 0);
    EXPECT_EQ(PointSystems::IROCPoints(0), 0);
    const int transAm[] = {0, 30, 27, 25, 23, 21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    for (int p = 0; p <= 25; ++p)
        EXPECT_EQ(ps.TransAmPoints(p), transAm[p]) << p;
    EXPECT_EQ(ps.TransAmPoints(26), 1);
    EXPECT_EQ(ps.TransAmPoints(43), 1);
    const int bttc[] = {0, 15, 12, 10, 8, 6, 5, 4, 3, 2, 1, 0};
    for (int p = 0; p <= 11; ++p)
        EXPECT_EQ(ps.BTTCPoints(p), bttc[p]) << p;
    EXPECT_EQ(ps.BTTCPoints(43), 0);
    EXPECT_EQ(ps.V8Points(1), 64);
    EXPECT_EQ(ps.V8Points(2), 62);
    EXPECT_EQ(ps.V8Points(32), 2);
    EXPECT_EQ(ps.V8Points(33), 0);
    EXPECT_EQ(ps.V8Points(43), 0);

    EXPECT_EQ(PointSystems::PagePoints(1, 1, 180, false), 180);
    EXPECT_EQ(PointSystems::PagePoints(2, 1, 180, false), 185);
    EXPECT_EQ(PointSystems::PagePoints(2, 2, 170, false), 170);
    EXPECT_EQ(PointSystems::PagePoints(8, 1, 180, false), 190);
    EXPECT_EQ(PointSystems::PagePoints(8, 1, 180, true), 0);
    EXPECT_EQ(PointSystems::PagePoints(3, 1, 180, false), 180);
}

TEST(CustomPointsFile, SectionsAndMalformedLines)
{
    CustomPoints f;
    f.Parse({QStringLiteral("1,99"),                // before any section: ignored
             QStringLiteral("; comment"),
             QStringLiteral("[Race]"),
             QStringLiteral("1,50"),
             QStringLiteral("2, 40"),
             QStringLiteral("1,55"),               // a later line wins
             QStringLiteral(""),                   // malformed lines are skipped
             QStringLiteral("3"),
             QStringLiteral("x,10"),
             QStringLiteral("51,10"),
             QStringLiteral("4,abc"),
             QStringLiteral("5,1.5"),
             QStringLiteral("6,7,8"),
             QStringLiteral("99999999999999999999,10"),   // far out of range on either side
             QStringLiteral("7,1e30"),
             QStringLiteral("[race]"),             // wrong case: still [Race]
             QStringLiteral("10,30"),
             QStringLiteral("  [Qual]  "),         // not at the first character: a data line
             QStringLiteral("[Other]"),
             QStringLiteral("11,20"),
             QStringLiteral("[Qual] "),
             QStringLiteral("1,3"),
             QStringLiteral("0,9"),
             QStringLiteral("[Most Led]"),
             QStringLiteral("4,ignored"),
             QStringLiteral("[Led Lap]"),
             QStringLiteral("1"),
             QStringLiteral("2")});
    EXPECT_EQ(f.RacePoints(1), 55);
    EXPECT_EQ(f.RacePoints(2), 40);
    EXPECT_EQ(f.RacePoints(3), 0);
    EXPECT_EQ(f.RacePoints(4), 0);
    EXPECT_EQ(f.RacePoints(5), 0);
    EXPECT_EQ(f.RacePoints(6), 0);
    EXPECT_EQ(f.RacePoints(7), 0);
    EXPECT_EQ(f.RacePoints(10), 30);
    EXPECT_EQ(f.RacePoints(11), 20);
    EXPECT_EQ(f.RacePoints(51), 0);
    EXPECT_EQ(f.RacePoints(-1), 0);
    EXPECT_EQ(f.QualPoints(1), 3);
    EXPECT_EQ(f.QualPoints(0), 9);
    EXPECT_EQ(f.QualPoints(2), 0);
    EXPECT_EQ(f.nMostLed, 4);
    EXPECT_EQ(f.nLedLap, 2);

    CustomPoints empty;
    empty.Parse({});
    EXPECT_EQ(empty.RacePoints(1), 0);
    EXPECT_EQ(empty.nLedLap, 0);
}

// The systems rewriting a race stored straight in Score and Qualify.
class PointSystemRun : public ImportTest {
protected:
    static constexpr qint64 race = 77;
    // Finishing positions 1..n; drivers 100 + position; leads as given.
    void AddRace(int n, const QMap<int, int>& leads, const QList<int>& qualOrder)
    {
        dao::Transaction transaction(*dbMain);
        for (int p = 1; p <= n; ++p)
            dbMain->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi, DriverID, Laps, Lead, Points, Finish) "
                                           "VALUES ('CUP', ?, ?, ?, 100, ?, 999, 'Running')"),
                            {race, p, 100 + p, leads.value(p, 0)});
        for (int q = 0; q < qualOrder.size(); ++q)
            dbMain->execute(QStringLiteral("INSERT INTO Qualify (RaceID, Pos, DriverID, [Time], Speed) VALUES (?, ?, ?, '1', '1')"),
                            {race, q + 1, 100 + qualOrder[q]});
        transaction.commit();
    }
    int Points(int posi)
    {
        return Value(QStringLiteral("SELECT Points FROM Score WHERE RaceID = 77 AND Posi = %1").arg(posi)).toInt();
    }
};

TEST_F(PointSystemRun, IrocAndTransAm)
{
    // Positions 2 and 4 tie on the most laps led: the better placed counts first.
    AddRace(43, {{2, 30}, {4, 30}, {5, 10}, {9, 5}, {30, 1}}, {4, 1, 3, 2});
    PointSystems ps;
    ps.CalcIROCPoints(race);
    EXPECT_EQ(Points(1), 21);
    EXPECT_EQ(Points(2), 17 + 5);
    EXPECT_EQ(Points(4), 12 + 3);
    EXPECT_EQ(Points(5), 10 + 2);
    EXPECT_EQ(Points(9), 6);        // fourth leader: nothing
    EXPECT_EQ(Points(13), 0);
    EXPECT_EQ(Points(43), 0);

    ps.CalcTransAmPoints(race);
    EXPECT_EQ(Points(1), 30 + 1);         // second qualifier
    EXPECT_EQ(Points(2), 27 + 2);         // most led
    EXPECT_EQ(Points(3), 25 + 1);         // third qualifier
    EXPECT_EQ(Points(4), 23 + 1 + 2);     // leader and pole
    EXPECT_EQ(Points(9), 17 + 1);
    EXPECT_EQ(Points(25), 1);
    EXPECT_EQ(Points(30), 1 + 1);
    EXPECT_EQ(Points(43), 1);
}

TEST_F(PointSystemRun, BttcV8AndNobodyLed)
{
    AddRace(40, {{15, 1}}, {15, 1});
    PointSystems ps;
    ps.CalcBTTCPoints(race);
    EXPECT_EQ(Points(1), 15);
    EXPECT_EQ(Points(11), 0);
    EXPECT_EQ(Points(15), 0 + 1 + 1);     // pole winner 15th who led a lap
    EXPECT_EQ(Points(40), 0);
    ps.CalcV8Points(race);
    EXPECT_EQ(Points(1), 64);
    EXPECT_EQ(Points(15), 36);            // no bonuses
    EXPECT_EQ(Points(32), 2);
    EXPECT_EQ(Points(40), 0);

    dbMain->execute(QStringLiteral("UPDATE Score SET Lead = 0"));
    ps.CalcIROCPoints(race);
    EXPECT_EQ(Points(1), 21);
    EXPECT_EQ(Points(15), 0);
}

TEST_F(PointSystemRun, CustomFile)
{
    AddRace(12, {{3, 40}, {1, 40}, {6, 2}}, {6, 1, 2});
    program->writeFile(QStringLiteral("other.txt"),
                       "; league points\r\n[Race]\r\n1,20\r\n2,15\r\n3,10\r\n[Most Led]\r\n3\r\n[Led Lap]\r\n1\r\n[Qual]\r\n1,2\r\n3,1\r\n");
    PointSystems ps;
    ps.CalcOtherPoints(race, QStringLiteral("other.txt"));
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_EQ(Points(1), 20 + 1 + 3);     // ties with 3rd on laps led, placed better
    EXPECT_EQ(Points(2), 15 + 1);         // third qualifier
    EXPECT_EQ(Points(3), 10 + 1);
    EXPECT_EQ(Points(6), 0 + 1 + 2);      // led a lap, pole
    EXPECT_EQ(Points(4), 0);              // no entry

    // Without "[Led Lap]" only the first leader gets a bonus.
    program->writeFile(QStringLiteral("other.txt"), "[Race]\n1,20\n[Most Led]\n3\n");
    ps.CalcOtherPoints(race, QStringLiteral("other.txt"));
    EXPECT_EQ(Points(1), 23);
    EXPECT_EQ(Points(3), 0);
    EXPECT_EQ(Points(6), 0);

    // An empty file gives no points and no message.
    program->writeFile(QStringLiteral("other.txt"), "");
    ps.CalcOtherPoints(race, QStringLiteral("other.txt"));
    EXPECT_EQ(Points(1), 0);
    EXPECT_TRUE(msgs->calls().empty());

    // A missing file: the scorer is told and the points stay.
    dbMain->execute(QStringLiteral("UPDATE Score SET Points = 7"));
    ps.CalcOtherPoints(race, QStringLiteral("missing.txt"));
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(msgs->last(), QStringLiteral("File missing.txt not found!\nPoints from the Standings file has been used"));
    EXPECT_EQ(msgs->calls()[0].flags, int(dlg::vbCritical));
    EXPECT_EQ(Points(1), 7);
    ps.CalcOtherPoints(race, QString());
    EXPECT_EQ(msgs->calls().size(), 2u);
    EXPECT_EQ(Points(1), 7);
}
