#include "ImportFixture.h"
#include "PageSeed.h"

#include "Database.h"
#include "DbError.h"
#include "Settings.h"
#include "State.h"

#include <QLocale>

#include <sqlite3.h>

namespace {
const QString kSmall = QStringLiteral("race_small.htm");
const QString kFull = QStringLiteral("race_full43.htm");
const QString kOverwrite = QStringLiteral("The race already exists, do you want to overwrite the results?");
}

class ProcessImport : public ImportTest {
protected:
    QString small, full;
    void SetUp() override
    {
        ImportTest::SetUp();
        small = program->addTestFile(kSmall, QStringLiteral("STN"));
        full = program->addTestFile(kFull, QStringLiteral("STN"));
    }
    QStringList Score(qint64 raceId)
    {
        return Rows(QStringLiteral("SELECT Posi, Drivers.OnlineID, Interval, Laps, Lead, Points, Finish, Team, Score.Brand "
                                   "FROM Score INNER JOIN Drivers ON Score.DriverID = Drivers.DriverID WHERE RaceID = %1 "
                                   "ORDER BY Posi").arg(raceId));
    }
    int Points(qint64 raceId, int posi)
    {
        return Value(QStringLiteral("SELECT Points FROM Score WHERE RaceID = %1 AND Posi = %2").arg(raceId).arg(posi)).toInt();
    }
};

TEST_F(ProcessImport, SmallPageFromHeaderToProvisionals)
{
    AddDivision();
    const ProcessClass p = Run(QStringLiteral("CUP"), QStringLiteral("3"), small, pocono);
    ASSERT_FALSE(p.bError) << msgs->last().toStdString();
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_EQ(p.NewDrivers, 6);   // five qualifiers (one listed twice) and a non-runner
    EXPECT_EQ(settings::GetSetting(QStringLiteral("Tarvik"), QStringLiteral("Params"), QStringLiteral("STNFile")),
              program->file(QStringLiteral("STN/")));

    EXPECT_EQ(Rows(QStringLiteral("SELECT ID, Division, RaceNo, Venue, RaceDate, Weather, QWeather, Flags, Flagsq, Changes, "
                                  "Leader, RaceName, Purse, TrackID, Nonpoints FROM Races")),
              QStringList{QStringLiteral("%1|CUP|3|Pocono Raceway|Sat Jun 12 21:00:00 2004|Clear, 75 F|Sunny, 78 F|2|12|0|0| |0|%2|0")
                              .arg(p.RaceID).arg(pocono)});

    const QString zoe = QString::fromUtf8("Zo\xc3\xab Zeta");
    EXPECT_EQ(Rows(QStringLiteral("SELECT Pos, Drivers.OnlineID, [Time], Speed FROM Qualify INNER JOIN Drivers ON "
                                  "Qualify.DriverID = Drivers.DriverID WHERE RaceID = %1 ORDER BY Pos").arg(p.RaceID)),
              (QStringList{QStringLiteral("1|Ann Able|90|100"), QStringLiteral("2|Bob O'Brien|91.25|98.63"),
                           QStringLiteral("3|Cid Cole|92.5|97.297"), QStringLiteral("4|Sam Prov|95|94.737"),
                           QStringLiteral("5|") + zoe + QStringLiteral("|0|0")}));

    EXPECT_EQ(Score(p.RaceID),
              (QStringList{QStringLiteral("1|Cid Cole|-|200|120|185|Running|0| "),
                           QStringLiteral("2|Ann Able|-1.234|200|60|175|Running|0| "),
                           QStringLiteral("3|Bob O'Brien|-1 lap|199|0|165|Running|0| "),
                           QStringLiteral("4|") + zoe + QStringLiteral("|-50 laps|150|0|160|Engine|0| "),
                           QStringLiteral("5|Ned Nonrunner|-200 laps|0|0|155|Did not start|0| "),
                           QStringLiteral("6|Sam Prov| |0|0|0|Prov.|0| ")}));
    EXPECT_EQ(Value(QStringLiteral("SELECT COUNT(*) FROM Score WHERE Division = 'CUP' AND Earnings IS NULL AND Bonus IS NULL")).toInt(), 6);
    // New drivers keep no car number without the LAN or JRL switch.
    EXPECT_EQ(Rows(QStringLiteral("SELECT Name, [Number], Brand FROM Drivers WHERE OnlineID = 'Cid Cole'")),
              QStringList{QStringLiteral("Cid Cole| | ")});
}

TEST_F(ProcessImport, FullFieldUnderEachPageSystem)
{
    // A stored name found whatever its letter case, from a Windows-1252 page.
    const qint64 jose = AddDriver(QString::fromUtf8("JOS\xc3\x89 M\xc3\x9cLLER"), QStringLiteral("Ford"));
    for (int system : {1, 2, 8}) {
        const QString div = QStringLiteral("N%1").arg(system);
        AddDivision(div, system);
        const ProcessClass p = Run(div, QStringLiteral("1"), full, martinsville);
        ASSERT_FALSE(p.bError) << msgs->last().toStdString();
        EXPECT_EQ(Points(p.RaceID, 1), 185 + (system == 2 ? 5 : system == 8 ? 10 : 0)) << system;
        EXPECT_EQ(Points(p.RaceID, 2), 170);
        EXPECT_EQ(Points(p.RaceID, 43), 34);
        EXPECT_EQ(Value(QStringLiteral("SELECT COUNT(*) FROM Score WHERE RaceID = %1").arg(p.RaceID)).toInt(), 43);
        EXPECT_EQ(Value(QStringLiteral("SELECT COUNT(*) FROM Qualify WHERE RaceID = %1").arg(p.RaceID)).toInt(), 43);
        EXPECT_EQ(Value(QStringLiteral("SELECT DriverID FROM Score WHERE RaceID = %1 AND Posi = 9").arg(p.RaceID)).toLongLong(), jose);
        EXPECT_EQ(Value(QStringLiteral("SELECT Brand FROM Score WHERE RaceID = %1 AND Posi = 9").arg(p.RaceID)).toString(), QStringLiteral("Ford"));
        EXPECT_EQ(p.NewDrivers, system == 1 ? 42 : 0);
    }
    // Money Only: no points under the page systems, the rewriting systems still score.
    AddDivision(QStringLiteral("MO"), 1);
    AddDivision(QStringLiteral("TA"), 4);
    const ProcessClass money = Run(QStringLiteral("MO"), QStringLiteral("1"), full, martinsville, true);
    ASSERT_FALSE(money.bError);
    EXPECT_EQ(Value(QStringLiteral("SELECT MAX(Points) FROM Score WHERE RaceID = %1").arg(money.RaceID)).toInt(), 0);
    EXPECT_EQ(Value(QStringLiteral("SELECT Nonpoints FROM Races WHERE ID = %1").arg(money.RaceID)).toBool(), true);
    const ProcessClass transAm = Run(QStringLiteral("TA"), QStringLiteral("1"), full, martinsville, true);
    ASSERT_FALSE(transAm.bError);
    EXPECT_EQ(Points(transAm.RaceID, 1), 34);   // won from the pole, led the most laps
    EXPECT_EQ(Points(transAm.RaceID, 40), 1);
}

TEST_F(ProcessImport, IrocBttcV8AndCustomFileAfterTheImport)
{
    program->writeFile(QStringLiteral("league.pts"), "[Race]\n1,10\n2,8\n[Led Lap]\n1\n[Most Led]\n2\n[Qual]\n1,3\n");
    const QList<std::pair<int, QList<int>>> cases{
        {3, {21 + 5, 17, 14 + 3, 8 + 2, 3, 0}},      // positions 1, 2, 3, 7, 12, 43
        {5, {15 + 1 + 1, 12, 10 + 1, 4 + 1, 0 + 1, 0}},
        {6, {64, 62, 60, 52, 42, 0}},
        {7, {10 + 1 + 2 + 3, 8, 1, 1, 1, 0}},
    };
    for (const auto& [system, expected] : cases) {
        const QString div = QStringLiteral("S%1").arg(system);
        AddDivision(div, system, 0, false, QStringLiteral("league.pts"));
        const ProcessClass p = Run(div, QStringLiteral("1"), full, martinsville);
        ASSERT_FALSE(p.bError) << msgs->last().toStdString();
        const int positions[] = {1, 2, 3, 7, 12, 43};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(Points(p.RaceID, positions[i]), expected[i]) << "system " << system << " position " << positions[i];
    }
    EXPECT_TRUE(msgs->calls().empty());
}

TEST_F(ProcessImport, MissingPointsFileKeepsPagePointsAndImports)
{
    AddDivision(QStringLiteral("OTH"), 7, 0, false, QStringLiteral("nofile.pts"));
    const ProcessClass p = Run(QStringLiteral("OTH"), QStringLiteral("1"), small, pocono);
    EXPECT_FALSE(p.bError);
    EXPECT_TRUE(msgs->saw(QStringLiteral("File nofile.pts not found!")));
    EXPECT_EQ(Points(p.RaceID, 1), 185);
    EXPECT_EQ(Value(QStringLiteral("SELECT COUNT(*) FROM Score")).toInt(), 6);
}

TEST_F(ProcessImport, CarNumbersWithLanOrJrl)
{
    AddDivision();
    vLAN = true;
    Run(QStringLiteral("CUP"), QStringLiteral("1"), small, pocono);
    EXPECT_EQ(Value(QStringLiteral("SELECT [Number] FROM Drivers WHERE OnlineID = 'Cid Cole'")).toString(), QStringLiteral("44"));
    EXPECT_EQ(Value(QStringLiteral("SELECT [Number] FROM Drivers WHERE OnlineID = 'Ned Nonrunner'")).toString(), QStringLiteral("5"));
    vLAN = false;
    vJRL = true;
    AddDivision(QStringLiteral("B"));
    Run(QStringLiteral("B"), QStringLiteral("1"), full, martinsville);
    EXPECT_EQ(Value(QStringLiteral("SELECT [Number] FROM Drivers WHERE OnlineID = 'Dale O''Neil'")).toString(), QStringLiteral("36"));
}

TEST_F(ProcessImport, TeamsMakesAndTheThreeCarCap)
{
    AddDivision(QStringLiteral("CUP"), 1, 1);
    AddDivision(QStringLiteral("OTHER"), 1, 1);
    const qint64 cid = AddDriver(QStringLiteral("Cid Cole"), QStringLiteral("Chevy"));
    const qint64 ann = AddDriver(QStringLiteral("Ann Able"), QStringLiteral("Ford"));
    const qint64 bob = AddDriver(QStringLiteral("Bob O'Brien"), QStringLiteral("Dodge"));
    const qint64 sam = AddDriver(QStringLiteral("Sam Prov"), QStringLiteral("Ford"));
    const qint64 ned = AddDriver(QStringLiteral("Ned Nonrunner"));
    AddTeam(QStringLiteral("OTHER"), QStringLiteral("Elsewhere"), {ned});   // another division's team
    const qint64 big = AddTeam(QStringLiteral("CUP"), QStringLiteral("Big Four"), {sam, bob, ann, cid});
    const ProcessClass p = Run(QStringLiteral("CUP"), QStringLiteral("1"), small, pocono);
    ASSERT_FALSE(p.bError);
    EXPECT_EQ(p.NewDrivers, 1);
    const QString t = QString::number(big);
    const QString zoe = QString::fromUtf8("Zo\xc3\xab Zeta");
    // The provisional row sorts after the team's finishers and loses its team.
    EXPECT_EQ(Score(p.RaceID),
              (QStringList{QStringLiteral("1|Cid Cole|-|200|120|185|Running|") + t + QStringLiteral("|Chevy"),
                           QStringLiteral("2|Ann Able|-1.234|200|60|175|Running|") + t + QStringLiteral("|Ford"),
                           QStringLiteral("3|Bob O'Brien|-1 lap|199|0|165|Running|") + t + QStringLiteral("|Dodge"),
                           QStringLiteral("4|") + zoe + QStringLiteral("|-50 laps|150|0|160|Engine|0| "),
                           QStringLiteral("5|Ned Nonrunner|-200 laps|0|0|155|Did not start|0| "),
                           QStringLiteral("6|Sam Prov| |0|0|0|Prov.|0|Ford")}));

    // Four finishers 2nd, 5th, 9th and 12th: the 12th loses the team.
    const QList<qint64> four{AddDriver(QStringLiteral("Driver 02")), AddDriver(QStringLiteral("Dale O'Neil")),
                             AddDriver(QString::fromUtf8("Jos\xc3\xa9 M\xc3\xbcller")), AddDriver(QStringLiteral("Driver 12"))};
    const qint64 fours = AddTeam(QStringLiteral("CUP"), QStringLiteral("Fours"), four);
    const ProcessClass f = Run(QStringLiteral("CUP"), QStringLiteral("2"), full, martinsville);
    ASSERT_FALSE(f.bError);
    EXPECT_EQ(Rows(QStringLiteral("SELECT Posi, Team FROM Score WHERE RaceID = %1 AND Posi IN (2, 5, 9, 12) ORDER BY Posi").arg(f.RaceID)),
              (QStringList{QStringLiteral("2|%1").arg(fours), QStringLiteral("5|%1").arg(fours),
                           QStringLiteral("9|%1").arg(fours), QStringLiteral("12|0")}));
}

TEST_F(ProcessImport, OverwriteQuestion)
{
    AddDivision();
    // A race entered in the race list but never scored: no question, its row is used.
    dbMain->execute(QStringLiteral("INSERT INTO Races (Division, RaceNo, RaceName, Purse) VALUES ('CUP', '3', 'Spring 500', 25000)"));
    const qint64 listed = dbMain->lastInsertId();
    const ProcessClass first = Run(QStringLiteral("CUP"), QStringLiteral("3"), full, martinsville);
    ASSERT_FALSE(first.bError);
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_EQ(first.RaceID, listed);
    EXPECT_EQ(Rows(QStringLiteral("SELECT RaceName, Purse, Venue FROM Races")),
              QStringList{QStringLiteral("Spring 500|25000|Martinsville Speedway")});

    // No keeps everything as it was.
    const QStringList before = Dump();
    msgs->answer(dlg::vbNo);
    const ProcessClass no = Run(QStringLiteral("CUP"), QStringLiteral("3"), small, pocono);
    EXPECT_TRUE(no.bError);
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(msgs->calls()[0].prompt, kOverwrite);
    EXPECT_EQ(msgs->calls()[0].flags, dlg::vbYesNo | dlg::vbQuestion | dlg::vbDefaultButton2);
    EXPECT_EQ(msgs->calls()[0].title, rt::AppTitle());
    EXPECT_EQ(Dump(), before);

    // Yes replaces the rows; the race's name and purse stay.
    msgs->answer(dlg::vbYes);
    const ProcessClass yes = Run(QStringLiteral("CUP"), QStringLiteral("3"), small, pocono);
    ASSERT_FALSE(yes.bError);
    EXPECT_EQ(yes.RaceID, listed);
    EXPECT_EQ(Rows(QStringLiteral("SELECT RaceName, Purse, Venue, TrackID FROM Races")),
              QStringList{QStringLiteral("Spring 500|25000|Pocono Raceway|%1").arg(pocono)});
    EXPECT_EQ(Value(QStringLiteral("SELECT COUNT(*) FROM Score")).toInt(), 6);
    EXPECT_EQ(Value(QStringLiteral("SELECT COUNT(*) FROM Qualify")).toInt(), 5);

    // Race 03 is another race than 3.
    msgs->clear();
    const ProcessClass other = Run(QStringLiteral("CUP"), QStringLiteral("03"), small, pocono);
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_NE(other.RaceID, listed);
}

// Penalties, damage and additional earnings stay with the drivers they were
// given to, on their new lines, after the point system has run; those of a
// driver who left the page are removed and named.
TEST_F(ProcessImport, ReimportKeepsCorrectionsWithTheirDrivers)
{
    AddDivision(QStringLiteral("CUP"), 3);
    AddDivision(QStringLiteral("TWIN"), 3);
    const QString again = WritePage(QStringLiteral("again.htm"), QString::fromUtf8(page::Build(QStringLiteral("Pocono Raceway"),
        {{QStringLiteral("12"), QStringLiteral("Ann Able"), QStringLiteral("1:30.000")},
         {QStringLiteral("44"), QStringLiteral("Cid Cole"), QStringLiteral("1:31.000")},
         {QStringLiteral("7"), QStringLiteral("Bob O'Brien"), QStringLiteral("1:32.000")}},
        {{QStringLiteral("12"), QStringLiteral("Ann Able"), 1, 200, 90, 190, QStringLiteral("Running")},
         {QStringLiteral("44"), QStringLiteral("Cid Cole"), 2, 200, 110, 185, QStringLiteral("Running")},
         {QStringLiteral("7"), QStringLiteral("Bob O'Brien"), 3, 200, 0, 170, QStringLiteral("Running")}})));
    const qint64 race = Run(QStringLiteral("CUP"), QStringLiteral("3"), small, pocono).RaceID;
    const qint64 twin = Run(QStringLiteral("TWIN"), QStringLiteral("3"), again, pocono).RaceID;

    // Cid 1st and Ann 2nd trade places; Ned (5th) and Zoe (4th) are not on the new page.
    for (const auto& [posi, points, comment] : {std::tuple{1, -25, "Rough driving"}, std::tuple{2, 10, "Appeal"},
                                                std::tuple{5, -5, "Jump start"}}) {
        dbMain->execute(QStringLiteral("INSERT INTO Penalties (Division, RaceID, Posi, Points, Comment) VALUES ('CUP', ?, ?, ?, ?)"),
                        {race, posi, points, QString::fromLatin1(comment)});
        dbMain->execute(QStringLiteral("UPDATE Score SET Points = Points + ? WHERE RaceID = ? AND Posi = ?"), {points, race, posi});
    }
    dbMain->execute(QStringLiteral("INSERT INTO Damage (Division, RaceID, Posi, Bodywork, Engine, Other, Extra, Comment) VALUES "
                                   "('CUP', ?, 1, 1000, 0, 0, 50, 'Wall'), ('CUP', ?, 5, 0, 700, 0, NULL, NULL)"), {race, race});
    // Comments wider than their columns, as older versions stored them.
    const QString rough = QStringLiteral("Rough driving") + QString(137, QLatin1Char('!')), wall = QString(300, QLatin1Char('W'));
    ASSERT_EQ(sqlite3_exec(dbMain->handle(), QStringLiteral("UPDATE Penalties SET Comment = '%1' WHERE Posi = 1; "
                                                            "UPDATE Damage SET Comment = '%2' WHERE Posi = 1").arg(rough, wall)
                                                 .toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    // Positions that are no ordinary number, as another tool can leave them:
    // a text belongs to no line, even one that starts with a line's number.
    dbMain->execute(QStringLiteral("INSERT INTO Damage (Division, RaceID, Posi, Bodywork) VALUES ('CUP', ?, 'x', 1), "
                                   "('CUP', ?, 1e19, 2), ('CUP', ?, NULL, 4)"), {race, race, race});
    dbMain->execute(QStringLiteral("INSERT INTO Penalties (Division, RaceID, Posi, Points, Comment) VALUES "
                                   "('CUP', ?, 3, -3, 'Blocking'), ('CUP', ?, '3x', -7, 'Typed')"), {race, race});
    dbMain->execute(QStringLiteral("UPDATE Score SET Points = Points - 3 WHERE RaceID = ? AND Posi = 3"), {race});
    dbMain->execute(QStringLiteral("UPDATE Score SET BonusAdd = 500 WHERE RaceID = ? AND Posi = 1"), {race});
    dbMain->execute(QStringLiteral("UPDATE Score SET BonusAdd = 300 WHERE RaceID = ? AND Posi = 4"), {race});

    msgs->clear();
    msgs->answer(dlg::vbYes);
    ASSERT_FALSE(Run(QStringLiteral("CUP"), QStringLiteral("3"), again, pocono).bError) << msgs->last().toStdString();
    EXPECT_EQ(Rows(QStringLiteral("SELECT Posi, Drivers.OnlineID, Points, BonusAdd FROM Score INNER JOIN Drivers ON "
                                  "Score.DriverID = Drivers.DriverID WHERE RaceID = %1 ORDER BY Posi").arg(race)),
              (QStringList{QStringLiteral("1|Ann Able|%1|<null>").arg(Points(twin, 1) + 10),
                           QStringLiteral("2|Cid Cole|%1|500").arg(Points(twin, 2) - 25),
                           QStringLiteral("3|Bob O'Brien|%1|<null>").arg(Points(twin, 3) - 3)}));
    EXPECT_EQ(Rows(QStringLiteral("SELECT Division, RaceID, Posi, Points, Comment FROM Penalties ORDER BY Posi")),
              (QStringList{QStringLiteral("CUP|%1|1|10|Appeal").arg(race), QStringLiteral("CUP|%1|2|-25|").arg(race) + rough,
                           QStringLiteral("CUP|%1|3|-3|Blocking").arg(race)}));
    EXPECT_EQ(Rows(QStringLiteral("SELECT * FROM Damage")), QStringList{QStringLiteral("CUP|%1|2|1000|0|0|50|").arg(race) + wall});
    ASSERT_EQ(msgs->calls().size(), 2u);
    EXPECT_EQ(msgs->calls()[1].prompt,
              QStringLiteral("These corrections were removed, as their drivers are not in the new results:\n"
                             "Ned Nonrunner: penalty -5 (Jump start)\nPosition 3x: penalty -7 (Typed)\n"
                             "Ned Nonrunner: damage 700\nPosition x: damage 1\nPosition 1e+19: damage 2\nNo position: damage 4\n")
                  + QString::fromUtf8("Zo\xc3\xab Zeta: additional earnings $300.00"));
    EXPECT_EQ(msgs->calls()[1].flags, int(dlg::vbExclamation));

    // A driver on two lines: his old lines take his new lines one by one.
    const auto twice = [&](const QString& name, const QList<QString>& order) {
        QList<page::Result> results;
        for (const QString& driver : order)
            results.append({driver == QStringLiteral("Ann Able") ? QStringLiteral("12") : QStringLiteral("44"), driver, 1, 200, 0,
                            180 - 10 * int(results.size()), QStringLiteral("Running")});
        return WritePage(name, QString::fromUtf8(page::Build(QStringLiteral("Pocono Raceway"),
            {{QStringLiteral("12"), QStringLiteral("Ann Able"), QStringLiteral("1:30.000")},
             {QStringLiteral("44"), QStringLiteral("Cid Cole"), QStringLiteral("1:31.000")}}, results)));
    };
    const QString cid = QStringLiteral("Cid Cole"), ann = QStringLiteral("Ann Able");
    const qint64 two = Run(QStringLiteral("TWIN"), QStringLiteral("4"), twice(QStringLiteral("two.htm"), {cid, ann, cid}), pocono).RaceID;
    for (const int posi : {1, 3}) {
        dbMain->execute(QStringLiteral("INSERT INTO Penalties (Division, RaceID, Posi, Points) VALUES ('TWIN', ?, ?, ?)"),
                        {two, posi, -10 * posi});
        dbMain->execute(QStringLiteral("INSERT INTO Damage (Division, RaceID, Posi, Bodywork) VALUES ('TWIN', ?, ?, ?)"),
                        {two, posi, 100 * posi});
    }
    msgs->answer(dlg::vbYes);
    ASSERT_FALSE(Run(QStringLiteral("TWIN"), QStringLiteral("4"), twice(QStringLiteral("again2.htm"), {ann, cid, cid}), pocono).bError)
        << msgs->last().toStdString();
    EXPECT_EQ(Rows(QStringLiteral("SELECT Penalties.Posi, Penalties.Points, Damage.Bodywork FROM Penalties INNER JOIN Damage ON "
                                  "Penalties.RaceID = Damage.RaceID AND Penalties.Posi = Damage.Posi WHERE Penalties.RaceID = %1 "
                                  "ORDER BY Penalties.Posi").arg(two)),
              (QStringList{QStringLiteral("2|-10|100"), QStringLiteral("3|-30|300")}));
}

TEST_F(ProcessImport, FailuresLeaveTheDatabaseAsItWas)
{
    AddDivision();
    ASSERT_FALSE(Run(QStringLiteral("CUP"), QStringLiteral("1"), full, martinsville).bError);
    const QString text = PageText(kSmall);
    struct Case {
        QString page;
        QString message;
    };
    QString badLaps = text, badPoints = text;
    badLaps.replace(QStringLiteral("199"), QStringLiteral("DNF"));
    badPoints.replace(QStringLiteral("\n160\n"), QStringLiteral("\n--\n"));
    const QString header = QStringLiteral("Status\n</TH>\n</TR>\n");
    const QString noFirst = text.left(text.indexOf(header) + header.size()) + QStringLiteral("</TABLE>\n");
    const QList<Case> cases{
        {badLaps, QStringLiteral("laps cell of position 3")},
        {badPoints, QStringLiteral("points cell of position 4")},
        {noFirst, QStringLiteral("no row for position 1")},
        {text.left(text.indexOf(QStringLiteral("Session: Race"))), QStringLiteral("\"Caution Flags:\"")},
        {text.left(text.lastIndexOf(QStringLiteral("</TABLE>"))), QStringLiteral("race table")},
    };
    const QStringList before = Dump();
    for (const Case& c : cases) {
        msgs->clear();
        const ProcessClass p = Run(QStringLiteral("CUP"), QStringLiteral("2"), WritePage(QStringLiteral("bad.htm"), c.page), pocono);
        EXPECT_TRUE(p.bError) << c.message.toStdString();
        EXPECT_EQ(p.NewDrivers, 0);
        ASSERT_EQ(msgs->calls().size(), 1u) << c.message.toStdString();
        EXPECT_TRUE(msgs->last().contains(c.message)) << msgs->last().toStdString();
        EXPECT_EQ(msgs->calls()[0].flags, int(dlg::vbCritical));
        EXPECT_EQ(Dump(), before) << c.message.toStdString();
    }

    // Money Only takes no points from the page, so an odd points cell does not matter.
    msgs->clear();
    EXPECT_FALSE(Run(QStringLiteral("CUP"), QStringLiteral("2"), WritePage(QStringLiteral("bad.htm"), badPoints), pocono, true).bError);

    // A database error late in the import (here from the bonus step) undoes it all.
    program->writeFile(QStringLiteral("money.txt"), "[money]\r\n1,100\r\n");
    AddDivision(QStringLiteral("MON"), 1, 0, true, QString(), QStringLiteral("money.txt"));
    ASSERT_EQ(sqlite3_exec(dbMain->handle(), "CREATE TRIGGER NoBonus BEFORE UPDATE OF Bonus ON Score "
                                             "BEGIN SELECT RAISE(ABORT, 'bonus column is locked'); END",
                           nullptr, nullptr, nullptr), SQLITE_OK);
    const QStringList beforeBonus = Dump();
    msgs->clear();
    const ProcessClass p = Run(QStringLiteral("MON"), QStringLiteral("1"), small, pocono);
    EXPECT_TRUE(p.bError);
    EXPECT_TRUE(msgs->last().contains(QStringLiteral("bonus column is locked"))) << msgs->last().toStdString();
    EXPECT_EQ(Dump(), beforeBonus);
    EXPECT_EQ(dbMain->transactionDepth(), 0);
}

// A full disk or an I/O error at any write of the import: the race is in the
// file whole or not at all, and the user is shown the error.
TEST_F(ProcessImport, ImportIsWholeOrNotAtAllWhenAWriteFails)
{
    AddDivision();
    ExpectWholeOrNothing([&](QString& told) {
        const ProcessClass p = Run(QStringLiteral("CUP"), QStringLiteral("3"), small, pocono);
        if (p.bError && !msgs->calls().empty() && msgs->calls().back().flags == int(dlg::vbCritical))
            told = msgs->last();
        return !p.bError;
    });
}

TEST_F(ProcessImport, FileNotFoundAndUnknownDivision)
{
    AddDivision();
    const QString missing = program->file(QStringLiteral("STN/none.htm"));
    const ProcessClass p = Run(QStringLiteral("CUP"), QStringLiteral("1"), missing, pocono);
    EXPECT_TRUE(p.bError);
    EXPECT_EQ(msgs->last(), QStringLiteral("File ") + missing + QStringLiteral(" not found!"));
    EXPECT_TRUE(Run(QStringLiteral("CUP"), QStringLiteral("1"), QString(), pocono).bError);
    EXPECT_TRUE(Run(QStringLiteral("NONE"), QStringLiteral("1"), small, pocono).bError);
    EXPECT_EQ(Value(QStringLiteral("SELECT COUNT(*) FROM Races")).toInt(), 0);
}

// The import pays through the earnings code itself, with no window set up:
// a money file's amounts and the bonuses of the race's division, a kept
// purse on a re-import; a rates file alone pays nothing, a division without
// earnings never reads its file, and one that cannot be read stops it.
TEST_F(ProcessImport, EarningsAndBonusesWithoutAnyWindow)
{
    program->writeFile(QStringLiteral("money.txt"), "[money]\r\n1,1000\r\n2,800\r\n3,600.5\r\n");
    program->writeFile(QStringLiteral("rates.txt"), "[rates]\r\n1,10\r\n2,5\r\n");
    AddDivision(QStringLiteral("PLAIN"), 1, 0, false, QString(), QStringLiteral("broken.txt"));
    AddDivision(QStringLiteral("RATES"), 1, 0, true, QString(), QStringLiteral("rates.txt"));
    AddDivision(QStringLiteral("MONEY"), 1, 0, true, QString(), QStringLiteral("money.txt"));
    AddDivision(QStringLiteral("BROKE"), 1, 0, true, QString(), QStringLiteral("broken.txt"));
    dbMain->execute(QStringLiteral("INSERT INTO Bonus (DivID, DriverID, Bonus) VALUES ('MONEY', ?, 7)"),
                    {AddDriver(QStringLiteral("Cid Cole"))});

    EXPECT_FALSE(Run(QStringLiteral("PLAIN"), QStringLiteral("1"), small, pocono).bError);
    const qint64 rates = Run(QStringLiteral("RATES"), QStringLiteral("1"), small, pocono).RaceID;
    EXPECT_EQ(Value(QStringLiteral("SELECT COUNT(*) FROM Score WHERE Earnings IS NOT NULL OR Bonus IS NOT NULL")).toInt(), 0);

    sCurDiv = QStringLiteral("PLAIN");
    ProcessClass money;
    money.RaceDivision = QStringLiteral("MONEY");
    money.RaceNo = QStringLiteral("1");
    money.stnFileName = small;
    money.TrackID = pocono;
    ASSERT_TRUE(money.ProcRace()) << msgs->last().toStdString();
    EXPECT_EQ(sCurDiv, QStringLiteral("PLAIN"));
    // Cid won from third with the most laps led; the fixed bonus is MONEY's.
    EXPECT_EQ(Rows(QStringLiteral("SELECT Posi, Earnings FROM Score WHERE RaceID = %1 AND Posi <= 4 ORDER BY Posi").arg(money.RaceID)),
              (QStringList{QStringLiteral("1|1000"), QStringLiteral("2|800"), QStringLiteral("3|600.5"), QStringLiteral("4|0")}));
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT Bonus FROM Score WHERE RaceID = %1 AND Posi = 1").arg(money.RaceID)).toDouble(),
                     dHard + dChallenge + 7);

    dbMain->execute(QStringLiteral("UPDATE Races SET Purse = 20000 WHERE ID = ?"), {rates});
    msgs->answer(dlg::vbYes);
    EXPECT_FALSE(Run(QStringLiteral("RATES"), QStringLiteral("1"), small, pocono).bError);
    EXPECT_EQ(Rows(QStringLiteral("SELECT Posi, Earnings FROM Score WHERE RaceID = %1 AND Posi <= 3 ORDER BY Posi").arg(rates)),
              (QStringList{QStringLiteral("1|2000"), QStringLiteral("2|1000"), QStringLiteral("3|<null>")}));

    const QStringList before = Dump();
    msgs->clear();
    EXPECT_TRUE(Run(QStringLiteral("BROKE"), QStringLiteral("1"), small, pocono).bError);
    EXPECT_EQ(msgs->last(), QStringLiteral("broken.txt: File not found"));
    EXPECT_EQ(Dump(), before);
}

TEST_F(ProcessImport, ApostrophesAndWideIds)
{
    AddDivision(QStringLiteral("O'K"), 1, 1);
    dbMain->execute(QStringLiteral("INSERT INTO Races (ID, Division, RaceNo) VALUES (5000000000, 'X', '1')"));
    dbMain->execute(QStringLiteral("INSERT INTO Drivers (DriverID, OnlineID) VALUES (6000000000, 'Old Timer')"));
    const qint64 bob = AddDriver(QStringLiteral("Bob O'Brien"));
    const qint64 team = AddTeam(QStringLiteral("O'K"), QStringLiteral("O'Team"), {bob});
    const QString page = WritePage(QStringLiteral("quote.htm"),
                                   PageText(kSmall).replace(QStringLiteral("Pocono Raceway"), QStringLiteral("Dale's Oval")));
    const ProcessClass p = Run(QStringLiteral("O'K"), QStringLiteral("1"), page, pocono);
    ASSERT_FALSE(p.bError) << msgs->last().toStdString();
    EXPECT_EQ(p.RaceID, 5000000001);
    EXPECT_EQ(Value(QStringLiteral("SELECT Venue FROM Races WHERE ID = 5000000001")).toString(), QStringLiteral("Dale's Oval"));
    EXPECT_GT(DriverId(QStringLiteral("Cid Cole")), 6000000000);
    EXPECT_EQ(Value(QStringLiteral("SELECT Team FROM Score WHERE Posi = 3")).toLongLong(), team);
    EXPECT_EQ(Value(QStringLiteral("SELECT DriverID FROM Score WHERE Posi = 1")).toLongLong(), DriverId(QStringLiteral("Cid Cole")));

    msgs->answer(dlg::vbYes);
    const ProcessClass again = Run(QStringLiteral("O'K"), QStringLiteral("1"), page, pocono);
    EXPECT_FALSE(again.bError);
    EXPECT_TRUE(msgs->saw(kOverwrite));
    EXPECT_EQ(again.RaceID, 5000000001);
}

TEST(QualifyingTimes, LapTimesAndSpeedsWithAPoint)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    struct Case {
        const char* cell;
        double miles;
        bool speed;
        const char* time;
        const char* speedText;
    };
    const Case cases[] = {
        {"1:30.000", 2.5, false, "90", "100"},
        {"1:23.456", 1.5, false, "83.456", "64.705"},
        {"29.123", 0.533, false, "29.123", "65.886"},
        {"180.123", 2.5, true, "49.966", "180.123"},
        {"", 2.5, false, "0", "0"},
        {"0", 2.5, false, "0", "0"},
        {"0.000", 2.5, true, "0", "0"},
        {"--", 2.5, false, "0", "0"},
        {"-1:60.000", 2.5, false, "0", "0"},
        {"1:30.000", 0, false, "90", "0"},
        {"180.123", 0, true, "0", "180.123"},
        {"192.103 mph", 2.5, true, "46.85", "192.103"},   // a real page's cell: the number is kept
        {"192.100mph", 0, true, "0", "192.100"},
    };
    for (const Case& c : cases) {
        QString time, speed;
        ProcessClass::ConvertQualTime(QString::fromLatin1(c.cell), c.miles, c.speed, time, speed);
        EXPECT_EQ(time, QString::fromLatin1(c.time)) << c.cell;
        EXPECT_EQ(speed, QString::fromLatin1(c.speedText)) << c.cell;
    }
    QLocale::setDefault(saved);
}
