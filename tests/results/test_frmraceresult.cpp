// The race result window: its race list, the fixed-width lines of every
// tab, the per-race team, rookie and make rules, and its hold on the race
// it shows.
#include "RaceResultFixture.h"

#include "Forms.h"
#include "RegisterResultsForms.h"
#include "Settings.h"
#include "frmEditRace.h"
#include "frmMainMenu.h"
#include "WindowDialogs.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTabWidget>

using namespace raceresult;

TEST_F(RaceResultTest, ListsScoredRacesInNumericOrderAndShowsTheLast)
{
    const qint64 r10 = AddRace(QStringLiteral("D1"), QStringLiteral("10"), QStringLiteral("Late Race"));
    AddScore(QStringLiteral("D1"), r10, 1, ann);
    AddRace(QStringLiteral("D1"), QStringLiteral("11"), QStringLiteral("Not run yet"));   // no result lines
    auto w = Open();
    EXPECT_FALSE(Button(*w, "commSave")->isEnabled());
    EXPECT_FALSE(Button(*w, "commAddProv")->isEnabled());
    EXPECT_FALSE(w->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->isTabEnabled(9));
    EXPECT_EQ(w->Grid(1)->TextMatrix(0, 0), QStringLiteral("Pos. No.         Driver           Car Make   Interval Laps Lead  Pts"));
    EXPECT_EQ(w->Grid(10)->Rows(), 61);

    ChooseDivision(*w, QStringLiteral("D1 Cup"));
    EXPECT_TRUE(Button(*w, "commSave")->isEnabled());
    EXPECT_TRUE(Button(*w, "commAddProv")->isEnabled());
    QListWidget* list = RaceList(*w);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("7\tSpring <200>  (Dover)"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("10\tLate Race  (Dover)"));
    EXPECT_EQ(w->ShownRace(), r10);
    EXPECT_EQ(lSelID, r10);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);   // hourglass gone after the load

    // Enter on the highlighted race loads it; a race id beyond 16 bits is fine.
    {
        const QSignalBlocker block(list);
        list->setCurrentRow(0);
    }
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(list, &enter);
    EXPECT_EQ(w->ShownRace(), kRaceId);
    EXPECT_EQ(lSelID, kRaceId);
    EXPECT_TRUE(w->Grid(1)->TextMatrix(1, 0).startsWith(QStringLiteral("1   #  7  Ann Able")));

    // Choosing a division without scored races empties the list; the grids keep the race.
    ChooseDivision(*w, QStringLiteral("E2 Series"));
    EXPECT_EQ(RaceList(*w)->count(), 0);
    EXPECT_EQ(w->ShownRace(), 0);
    EXPECT_TRUE(w->Grid(1)->TextMatrix(1, 0).startsWith(QStringLiteral("1   #  7  Ann Able")));
    Button(*w, "commSave")->click();
    EXPECT_EQ(msgs->last(), QStringLiteral("No race was selected!"));
    EXPECT_EQ(msgs->calls().back().flags & dlg::vbCritical, dlg::vbCritical);
}

TEST_F(RaceResultTest, EveryTabHoldsItsLines)
{
    auto w = Open();
    ChooseDivision(*w, QStringLiteral("D1 Cup"));
    ASSERT_EQ(w->ShownRace(), kRaceId);

    const QStringList results = {
        "1   #  7  Ann Able               Ford                  200  150  185  Running         Red & <Blue>                  ",
        "2   # 12  bob_online             Chevrolet    -1.234   200   50  175  Running         Red & <Blue>                  ",
        "3   #***  Name not found         Dodge        1 lap    199    0  165  Running                                       ",
        "10  #  3  Cid Cole                                                                                                  ",
    };
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(w->Grid(1)->TextMatrix(k, 0), results[k - 1]) << k;
    EXPECT_EQ(w->Grid(1)->TextMatrix(5, 0), QStringLiteral(" "));
    EXPECT_EQ(w->Grid(1)->RowData(2), 2);
    EXPECT_EQ(w->Grid(1)->RowData(4), 10);
    EXPECT_EQ(w->LastPos, 10);

    const QStringList adjustments = {"1   #  7  Ann Able            ", "2   # 12  bob_online              -10   Rough driving",
                                     "3   #***  Name not found      ", "10  #  3  Cid Cole            "};
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(w->Grid(9)->TextMatrix(k, 0), adjustments[k - 1]) << k;
    EXPECT_EQ(w->Grid(9)->RowData(4), 10);

    const QStringList qualify = {
        "1   # 12 bob_online           180.000       0/0         30.000       0/0     ",
        "2   #  7 Ann Able             179.283   0.717/0.717     30.123   0.123/0.123  ",
        "3   #  3 Cid Cole               Prov.",
        "4   #*** Name not found       178.500   1.500/0.783     30.250   0.250/0.127  ",
    };
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(w->Grid(2)->TextMatrix(k, 0), qualify[k - 1]) << k;

    const QStringList race = {"Spring <200>", "Race No. 07     Dover (1 miles)", " ", "Date                  05/01/2004", " ",
                              "Qual Weather          Cloudy", " ", "Race Weather          Sunny & warm", " ",
                              "Caution Flags/Laps    3/12", " ", "Lead Changes/Leaders  5/4", " ", " "};
    for (int r = 0; r < race.size(); ++r)
        EXPECT_EQ(w->Grid(3)->TextMatrix(r, 0), race[r]) << r;

    EXPECT_EQ(w->Grid(4)->TextMatrix(1, 0), QStringLiteral("1   Red & <Blue>                        360"));
    EXPECT_EQ(w->Grid(4)->TextMatrix(2, 0), QStringLiteral(" "));
    EXPECT_EQ(w->Grid(5)->TextMatrix(1, 0), QStringLiteral("1   bob_online                    10"));
    EXPECT_EQ(w->Grid(5)->TextMatrix(2, 0), QStringLiteral("2   Cid Cole                       9"));
    EXPECT_EQ(w->Grid(6)->TextMatrix(1, 0), QStringLiteral("1   Ford            9"));
    EXPECT_EQ(w->Grid(6)->TextMatrix(2, 0), QStringLiteral("2   Chevrolet       6"));
    EXPECT_EQ(w->Grid(6)->TextMatrix(3, 0), QStringLiteral("3   Dodge           4"));
    EXPECT_EQ(w->Grid(6)->TextMatrix(4, 0), QStringLiteral(" "));

    EXPECT_EQ(w->Grid(7)->TextMatrix(1, 0), QStringLiteral("Pole                - bob_online, 180.000 mph (30.000 s.)"));
    EXPECT_EQ(w->Grid(7)->TextMatrix(3, 0), QStringLiteral("Front Runner        - Ann Able, 150 laps Lead"));
    // Ann and the unknown driver both gained one place: the better finisher wins.
    EXPECT_EQ(w->Grid(7)->TextMatrix(5, 0), QStringLiteral("Meet the Challenge  - Ann Able, 1 places improved"));
    EXPECT_EQ(w->Grid(7)->TextMatrix(7, 0), QStringLiteral("Headache            - Cid Cole, 7 places dropped"));
    EXPECT_EQ(w->Grid(7)->TextMatrix(9, 0), QStringLiteral("Diehard Racer       - Name not found"));

    const QStringList earnings = {
        "1   Ann Able                 12,345      1,000        500     13,845  ",
        "2   bob_online                8,000                     0      8,000  ",
        "3                                                                  0  ",
        "10  Cid Cole                                                       0  ",
    };
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(w->Grid(8)->TextMatrix(k, 0), earnings[k - 1]) << k;
    EXPECT_EQ(w->Grid(8)->TextMatrix(0, 0), QStringLiteral("Pos.         Driver        Earnings    Bonus   Bonus Add     Total"));
}

TEST_F(RaceResultTest, AwardsWithoutWinnersAndEarningsRoundedAtEachStep)
{
    // Nobody running, nobody gained a place; no qualifying lines at all.
    const qint64 r = AddRace(QStringLiteral("D1"), QStringLiteral("8"), QStringLiteral("Wreckfest"));
    AddScore(QStringLiteral("D1"), r, 1, ann, QStringLiteral("Engine"), 10, 2.5, 0.5, 0.5);
    AddScore(QStringLiteral("D1"), r, 2, bob, QStringLiteral("Crash"), 20, 1.5, 1, 1);
    auto w = Open();
    ChooseDivision(*w, QStringLiteral("D1 Cup"));
    ASSERT_EQ(w->ShownRace(), r);
    EXPECT_EQ(w->Grid(7)->TextMatrix(1, 0), QStringLiteral("Pole                - ,  mph ( s.)"));
    EXPECT_EQ(w->Grid(7)->TextMatrix(5, 0), QStringLiteral(" "));
    EXPECT_EQ(w->Grid(7)->TextMatrix(7, 0), QStringLiteral(" "));
    EXPECT_EQ(w->Grid(7)->TextMatrix(9, 0), QStringLiteral(" "));
    EXPECT_EQ(w->Grid(2)->TextMatrix(1, 0), QStringLiteral(" "));
    EXPECT_EQ(w->LastPos, 2);
    // 2.5 -> 2, +0.5 -> 2, +0.5 -> 2 (halves to even); each amount shown whole.
    EXPECT_EQ(w->Grid(8)->TextMatrix(1, 0).mid(25), QStringLiteral("         2          0          0          2  "));
    // 1.5 -> 2, +1 -> 3, +1 -> 4.
    EXPECT_EQ(w->Grid(8)->TextMatrix(2, 0).mid(58), QStringLiteral("         4  "));

    // An editor removed every line: a new line is proposed at position 1.
    dbMain->execute(QStringLiteral("DELETE FROM Score WHERE RaceID = ") + QString::number(r));
    w->FillGrids();
    EXPECT_EQ(w->LastPos, 0);
    EXPECT_EQ(w->Grid(1)->TextMatrix(1, 0), QStringLiteral(" "));
}

TEST_F(RaceResultTest, ARaceWithNothingButItsKeysShowsAndPublishes)
{
    dbMain->execute(QStringLiteral("INSERT INTO Races (Division, RaceNo) VALUES ('E2', '1')"));
    const qint64 r = dbMain->lastInsertId();
    dbMain->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi, DriverID) VALUES ('E2', ?, 1, ?)"), {r, bob});
    auto w = Open();
    ChooseDivision(*w, QStringLiteral("E2 Series"));
    ASSERT_EQ(w->ShownRace(), r);
    EXPECT_EQ(w->Grid(1)->TextMatrix(1, 0),
              QStringLiteral("1   # 12  bob_online") + QString(116 - 20, QLatin1Char(' ')));
    EXPECT_EQ(w->Grid(3)->TextMatrix(0, 0), QStringLiteral(" "));
    EXPECT_EQ(w->Grid(3)->TextMatrix(1, 0), QStringLiteral("Race No. 1      ( miles)"));
    EXPECT_EQ(w->Grid(3)->TextMatrix(9, 0), QStringLiteral("Caution Flags/Laps    /"));
    EXPECT_EQ(w->Grid(7)->TextMatrix(3, 0), QStringLiteral("Front Runner        - bob_online,  laps Lead"));
    Button(*w, "commSave")->click();
    EXPECT_EQ(msgs->last(), QStringLiteral("All HTML Files have been generated"));
    EXPECT_TRUE(QFile::exists(program->file(QStringLiteral("HTML/001E2_result.htm"))));
}

TEST_F(RaceResultTest, TeamPointsByPlaceRookiesAndMakesKeepTheirLimits)
{
    dbMain->execute(QStringLiteral("UPDATE Division SET Teams = 1 WHERE ID = 'D1'"));
    const qint64 r = AddRace(QStringLiteral("D1"), QStringLiteral("9"), QStringLiteral("Big Field"));
    // Twelve team cars: Alpha has cars 1-5, Gamma 6-10, Beta only 11 and 12.
    // Eleven rookies, six makes.
    const qint64 alpha = AddTeam(QStringLiteral("D1"), QStringLiteral("Alpha"));
    const qint64 gamma = AddTeam(QStringLiteral("D1"), QStringLiteral("Gamma"));
    const qint64 beta = AddTeam(QStringLiteral("D1"), QStringLiteral("Beta"));
    const QStringList makes = {"Ford", "Chevy", "Ford", "Dodge", "Pontiac", "Toyota", "Chevy", "Olds", "Ford", "Ford", "Ford", "Ford"};
    for (int p = 1; p <= 12; ++p) {
        const qint64 d = AddDriver(QStringLiteral("Car %1").arg(p));
        AddScore(QStringLiteral("D1"), r, p, d, QStringLiteral("Running"), 100, 0, 0, 0, p <= 5 ? alpha : p <= 10 ? gamma : beta, makes[p - 1]);
        if (p >= 2)
            dbMain->execute(QStringLiteral("INSERT INTO Rookies (Division, DriverID) VALUES ('D1', ?)"), {d});
    }
    auto w = Open();
    ChooseDivision(*w, QStringLiteral("D1 Cup"));
    ASSERT_EQ(w->ShownRace(), r);
    EXPECT_EQ(w->Grid(4)->TextMatrix(1, 0), QStringLiteral("1   Alpha                           51"));
    EXPECT_EQ(w->Grid(4)->TextMatrix(2, 0), QStringLiteral("2   Gamma                           15"));
    EXPECT_EQ(w->Grid(4)->TextMatrix(3, 0), QStringLiteral(" "));
    EXPECT_EQ(w->Grid(5)->TextMatrix(1, 0), QStringLiteral("1   Car 2                         10"));
    EXPECT_EQ(w->Grid(5)->TextMatrix(10, 0), QStringLiteral("10  Car 11                         1"));
    EXPECT_EQ(w->Grid(5)->TextMatrix(11, 0), QStringLiteral(" "));
    const QStringList mfg = {"1   Ford            9", "2   Chevy           6", "3   Dodge           4", "4   Pontiac         2",
                             "5   Toyota          1"};
    for (int k = 1; k <= 5; ++k)
        EXPECT_EQ(w->Grid(6)->TextMatrix(k, 0), mfg[k - 1]);
}

TEST_F(RaceResultTest, LinesSharingAPositionComeInDriverOrderAsOnThePageFromTheTables)
{
    // Two cars classified 1st, the later driver stored first.
    const qint64 r = AddRace(QStringLiteral("E2"), QStringLiteral("3"), QStringLiteral("Dead Heat"));
    AddScore(QStringLiteral("E2"), r, 1, cid, QStringLiteral("Running"), 100, 300);
    AddScore(QStringLiteral("E2"), r, 1, ann, QStringLiteral("Running"), 100, 100);
    AddQualify(r, 1, cid, QStringLiteral("31.000"), QStringLiteral("170.000"));
    AddQualify(r, 1, ann, QStringLiteral("30.000"), QStringLiteral("180.000"));
    dbMain->execute(QStringLiteral("UPDATE Division SET Earnings = -1 WHERE ID = 'E2'"));
    auto w = Open();
    ChooseDivision(*w, QStringLiteral("E2 Series"));
    ASSERT_EQ(w->ShownRace(), r);
    EXPECT_TRUE(w->Grid(1)->TextMatrix(1, 0).startsWith(QStringLiteral("1   #  7  Ann Able"))) << w->Grid(1)->TextMatrix(1, 0).toStdString();
    EXPECT_TRUE(w->Grid(8)->TextMatrix(1, 0).startsWith(QStringLiteral("1   Ann Able                    100"))) << w->Grid(8)->TextMatrix(1, 0).toStdString();
    EXPECT_TRUE(w->Grid(2)->TextMatrix(1, 0).startsWith(QStringLiteral("1   #  7 Ann Able"))) << w->Grid(2)->TextMatrix(1, 0).toStdString();
}

TEST_F(RaceResultTest, LongRacesFitAndAShorterOneClearsTheRest)
{
    const qint64 big = AddRace(QStringLiteral("D1"), QStringLiteral("2"), QStringLiteral("Seventy"));
    for (int p = 1; p <= 70; ++p) {
        const qint64 d = AddDriver(QStringLiteral("Racer %1").arg(p));
        AddScore(QStringLiteral("D1"), big, p, d);
        dbMain->execute(QStringLiteral("INSERT INTO Qualify (RaceID, Pos, DriverID, \"Time\", Speed) VALUES (?, ?, ?, '30', '150')"),
                        {big, p, d});
    }
    auto w = Open();
    ChooseDivision(*w, QStringLiteral("D1 Cup"));
    QListWidget* list = RaceList(*w);
    ASSERT_EQ(list->count(), 2);
    list->setCurrentRow(0);
    ASSERT_EQ(w->ShownRace(), big);
    for (int n : {1, 2, 8, 9}) {
        EXPECT_EQ(w->Grid(n)->Rows(), 71) << n;
        EXPECT_TRUE(w->Grid(n)->TextMatrix(70, 0).startsWith(QStringLiteral("70  "))) << n;
    }
    EXPECT_EQ(w->Grid(1)->RowData(70), 70);

    list->setCurrentRow(1);
    ASSERT_EQ(w->ShownRace(), kRaceId);
    for (int n : {1, 2, 8, 9}) {
        EXPECT_EQ(w->Grid(n)->Rows(), 61) << n;
        for (int r = 5; r <= 60; ++r)
            ASSERT_EQ(w->Grid(n)->TextMatrix(r, 0), QStringLiteral(" ")) << n << " " << r;
    }
}

TEST_F(RaceResultTest, CommandsWorkOnTheShownRaceWhateverOthersSet)
{
    auto w = Open();
    ChooseDivision(*w, QStringLiteral("D1 Cup"));
    ASSERT_EQ(w->ShownRace(), kRaceId);

    // The line editor sees the shown race and division.
    QString seenDiv;
    qint64 seenRace = 0, seenPos = 0;
    bool seenBrands = false, seenEdit = false;
    dlg::SetExecHook([&](QWidget* dialog) {
        seenDiv = sCurDiv;
        seenRace = lSelID;
        seenBrands = bBrands;
        seenEdit = bEditMode;
        if (auto* editor = qobject_cast<frmEditRace*>(dialog))
            seenPos = editor->posi();
        return 0;
    });

    // A list of teams opened beside it resets the shared choice.
    sCurDiv = QString();
    lSelID = 0;
    LoadDivisionSettings(QStringLiteral("E2"));
    ASSERT_FALSE(bBrands);
    w->Grid(1)->setRow(2);
    w->Grid1_DblClick();
    EXPECT_EQ(seenDiv, QStringLiteral("D1"));
    EXPECT_EQ(seenRace, kRaceId);
    EXPECT_TRUE(seenBrands);
    EXPECT_TRUE(seenEdit);
    EXPECT_EQ(seenPos, 2);

    // The header row and blank rows open nothing.
    seenRace = 0;
    w->Grid(1)->setRow(0);
    w->Grid1_DblClick();
    w->Grid(1)->setRow(30);
    w->Grid1_DblClick();
    EXPECT_EQ(seenRace, 0);
    dlg::SetExecHook({});

    // Publishing too.
    sCurDiv = QStringLiteral("E2");
    lSelID = 0;
    LoadDivisionSettings(QStringLiteral("E2"));
    Button(*w, "commSave")->click();
    EXPECT_EQ(msgs->last(), QStringLiteral("All HTML Files have been generated"));
    EXPECT_TRUE(QFile::exists(program->file(QStringLiteral("HTML/007D1_result.htm"))));
    EXPECT_EQ(sCurDiv, QStringLiteral("D1"));
    EXPECT_EQ(lSelID, kRaceId);
}

TEST_F(RaceResultTest, ARaceChosenAfterAnotherWindowSetItsDivisionStaysInTheListedDivision)
{
    const qint64 r10 = AddRace(QStringLiteral("D1"), QStringLiteral("10"), QStringLiteral("Late Race"));
    AddScore(QStringLiteral("D1"), r10, 1, ann);
    auto w = Open();
    ChooseDivision(*w, QStringLiteral("D1 Cup"));
    ASSERT_EQ(w->ShownRace(), r10);

    // A window opened beside it picks another division.
    sCurDiv = QStringLiteral("E2");
    LoadDivisionSettings(QStringLiteral("E2"));
    RaceList(*w)->setCurrentRow(0);
    ASSERT_EQ(w->ShownRace(), kRaceId);
    EXPECT_EQ(sCurDiv, QStringLiteral("D1"));
    EXPECT_TRUE(bBrands);
    EXPECT_EQ(w->Grid(4)->TextMatrix(1, 0), QStringLiteral("1   Red & <Blue>                        360"));
    EXPECT_EQ(w->Grid(9)->TextMatrix(2, 0), QStringLiteral("2   # 12  bob_online              -10   Rough driving"));

    sCurDiv = QStringLiteral("E2");
    Button(*w, "commSave")->click();
    EXPECT_EQ(msgs->last(), QStringLiteral("All HTML Files have been generated"));
    EXPECT_TRUE(QFile::exists(program->file(QStringLiteral("HTML/007D1_result.htm"))));
    EXPECT_FALSE(QFile::exists(program->file(QStringLiteral("HTML/007E2_result.htm"))));
}

TEST_F(RaceResultTest, OpensFromTheMainWindowAndKeepsItsPosition)
{
    RegisterResultsForms();
    auto main = std::make_unique<frmMainMenu>();
    main->resize(1400, 1000);
    main->show();
    QAction* menu = main->findChild<QAction*>(QStringLiteral("mnuVResult"));
    QAction* tool = main->findChild<QAction*>(QStringLiteral("tbResults"));
    ASSERT_TRUE(menu && tool);
    EXPECT_TRUE(menu->isEnabled());
    EXPECT_TRUE(tool->isEnabled());
    EXPECT_EQ(menu->shortcut(), QKeySequence(QStringLiteral("Ctrl+R")));

    menu->trigger();
    auto* first = qobject_cast<frmRaceResult*>(FindLoadedForm(QStringLiteral("frmRaceResult")));
    ASSERT_NE(first, nullptr);
    auto* frame = qobject_cast<QMdiSubWindow*>(first->parentWidget());
    ASSERT_NE(frame, nullptr);
    frame->setGeometry(30, 45, 900, 600);
    UnloadAllForms();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(settings::GetSetting(QStringLiteral("Tarvik"), QStringLiteral("frmRaceResult"), QStringLiteral("Width")),
              QStringLiteral("13500"));

    tool->trigger();
    QWidget* second = FindLoadedForm(QStringLiteral("frmRaceResult"));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->parentWidget()->geometry(), QRect(30, 45, 900, 600));
    UnloadAllForms();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    main.reset();
}

TEST(FlexGrid, SettingTheCurrentRowKeepsTheGridAtItsTop)
{
    MSFlexGrid g;
    g.setRows(61);
    for (int r = 0; r < 61; ++r)
        g.setTextMatrix(r, 0, QStringLiteral("line %1").arg(r));
    g.resize(300, 150);
    g.show();
    QApplication::processEvents();
    ASSERT_GT(g.verticalScrollBar()->maximum(), 0);
    for (int r = 1; r <= 60; ++r)
        g.setRow(r);
    QApplication::processEvents();
    EXPECT_EQ(g.Row(), 60);
    EXPECT_EQ(g.Text(), QStringLiteral("line 60"));
    EXPECT_EQ(g.verticalScrollBar()->value(), 0);
    g.setRow(99);   // outside: nothing changes
    EXPECT_EQ(g.Row(), 60);
}
