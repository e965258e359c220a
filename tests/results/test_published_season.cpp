// A whole season imported and published, compared byte for byte with the
// expected pages, fragments and database rows in tests/data/season: three
// divisions (team points by place and by sum, rookies, manufacturers, the
// rate table and a money earnings file, a custom points file, dropped
// races, fixed bonus amounts, penalties), drivers without a name or with a
// blank one, apostrophes and mark-up characters in names.
//
// The expected files are the output of the program as it stands. After a
// deliberate change of the output, write them again with
//     TARVIK_REGENERATE_SEASON=1 ctest --test-dir build -R PublishedSeason
// (or the test binary build/bin/test_results with the same variable set),
// then review the difference in git.

#include "../import/PageSeed.h"
#include "Database.h"
#include "EarningsClass.h"
#include "HTMLClass.h"
#include "Lookups.h"
#include "Options.h"
#include "ProcessClass.h"
#include "State.h"
#include "TestSupport.h"
#include "frmRaceResult.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>

#include <sqlite3.h>

#include <functional>
#include <memory>
#include <tuple>

namespace {

const QString kExpected = QStringLiteral(TARVIK_TEST_DATA "/season");

bool Regenerating()
{
    return !qEnvironmentVariableIsEmpty("TARVIK_REGENERATE_SEASON");
}

// Every row of every table (saved queries and the engine's counters
// included), read with the SQLite C API so the dump does not depend on the
// layer it checks. Rows in storage order; each value with its type.
QByteArray DumpDatabase(sqlite3* db)
{
    QByteArray out;
    auto run = [db](const QByteArray& sql, const std::function<void(sqlite3_stmt*)>& row) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(db) << ": " << sql.constData();
            return;
        }
        while (sqlite3_step(s) == SQLITE_ROW)
            row(s);
        sqlite3_finalize(s);
    };
    QList<QByteArray> tables;
    run("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name",
        [&](sqlite3_stmt* s) { tables << reinterpret_cast<const char*>(sqlite3_column_text(s, 0)); });
    for (const QByteArray& t : tables) {
        out += "== " + t + "\n";
        bool header = true;
        run("SELECT * FROM \"" + t + "\" ORDER BY rowid", [&](sqlite3_stmt* s) {
            const int n = sqlite3_column_count(s);
            if (header) {
                for (int c = 0; c < n; ++c)
                    out += QByteArray(c ? " | " : "") + sqlite3_column_name(s, c);
                out += "\n";
                header = false;
            }
            for (int c = 0; c < n; ++c) {
                if (c)
                    out += " | ";
                switch (sqlite3_column_type(s, c)) {
                case SQLITE_NULL:
                    out += "NULL";
                    break;
                case SQLITE_INTEGER:
                    out += "i:" + QByteArray::number(sqlite3_column_int64(s, c));
                    break;
                case SQLITE_FLOAT:
                    out += "r:" + QByteArray::number(sqlite3_column_double(s, c), 'g', 17);
                    break;
                case SQLITE_BLOB:
                    out += "b:" + QByteArray(static_cast<const char*>(sqlite3_column_blob(s, c)), sqlite3_column_bytes(s, c)).toHex();
                    break;
                default: {
                    QByteArray text(reinterpret_cast<const char*>(sqlite3_column_text(s, c)), sqlite3_column_bytes(s, c));
                    text.replace("\\", "\\\\").replace("\n", "\\n").replace("\r", "\\r").replace("\"", "\\\"");
                    out += "t:\"" + text + "\"";
                }
                }
            }
            out += "\n";
        });
    }
    return out;
}

// The first line where two texts differ, for a readable failure.
std::string FirstDifference(const QByteArray& expected, const QByteArray& actual)
{
    const QList<QByteArray> e = expected.split('\n');
    const QList<QByteArray> a = actual.split('\n');
    for (qsizetype i = 0; i < std::max(e.size(), a.size()); ++i) {
        const QByteArray le = e.value(i), la = a.value(i);
        if (le != la)
            return "line " + std::to_string(i + 1) + "\n  expected: " + le.trimmed().toStdString() + "\n  actual:   "
                + la.trimmed().toStdString();
    }
    return "sizes differ";
}

class PublishedSeasonTest : public testsupport::LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        exec("UPDATE Options SET Pole = 100, Hard = 50.5, Challenge = 30, Headache = 20, Rookie1 = 15, Rookie2 = 10, "
             "Rookie3 = 5, Underdog = 25, BC1 = '15790320', BC2 = '16777215' WHERE \"Key\" = '1'");
        LoadOptions();
        bLines = true;
        bUseStyle = true;
    }
    void TearDown() override
    {
        window.reset();
        LeagueTest::TearDown();
    }

    static void exec(const char* sql) { dbMain->execute(QString::fromUtf8(sql)); }
    static qint64 Id(const QString& online)
    {
        return dbMain->scalar(QStringLiteral("SELECT DriverID FROM Drivers WHERE OnlineID = ") + dao::quote(online)).toLongLong();
    }

    // The season's leagues, drivers known before the first import, teams,
    // rookies and fixed bonus amounts.
    void BuildLeague()
    {
        exec("INSERT INTO Division (ID, Name, RecordID, Numbers, Brands, Teams, Roty, Earnings, EarningsFile, NonPoints, "
             "PointsID, PointSystem, PointSystemFile, \"Drop\") VALUES "
             "('CUP', 'Cup <Series> & Co', 1, -1, -1, 1, -1, -1, '', 0, '', 2, '', 1), "
             "('TRK', 'Truck''s Series', 1, 0, 0, 2, -1, -1, 'truck_money.txt', 0, '', 7, 'truck.pts', 0), "
             "('LMS', 'Late Models', 0, -1, -1, 0, 0, 0, '', 0, '', 4, '', 0)");
        exec("INSERT INTO Tracks (ShortName, FullName, Miles, \"Type\") VALUES "
             "('Dover', 'Dover International Speedway', 1, 1), ('Martinsville', 'Martinsville Speedway', 0.526, 0), "
             "('Bristol', 'Bristol''s Bowl', 0.533, 0)");
        program->writeFile(QStringLiteral("truck.pts"), "[Race]\r\n1,50\r\n2,45\r\n3,40\r\n4,36\r\n5,32\r\n6,30\r\n"
                                                        "[Led Lap]\r\n1\r\n[Most Led]\r\n2\r\n[Qual]\r\n1,3\r\n");
        program->writeFile(QStringLiteral("truck_money.txt"), "[money]\r\n1,1000\r\n2,800\r\n3,600.5\r\n4,400\r\n5,300\r\n"
                                                              "6,250\r\n7,200\r\n8,150\r\n");
        // Known before the imports: one without a name, one with a blank
        // name, one stored in another case than the pages write him.
        exec("INSERT INTO Drivers (OnlineID, Name, \"Number\", Brand) VALUES "
             "('ghost_rider', NULL, '13', 'Ford'), ('blank_name', '  ', '21', 'Dodge'), "
             "('ann able', 'Ann Able', '12', 'Chevrolet'), ('Pat O''Brien', 'Pat O''Brien', '8', 'Pontiac'), "
             "('Ed Eve', 'Ed <Eve> & Sons', '3', 'Ford'), ('Gil Gray', 'Gil Gray', '33', 'Dodge'), "
             "('Hal Hix', 'Hal Hix', '9', 'Chevrolet')");
        const auto id = [](const char* online) { return QString::number(Id(QString::fromUtf8(online))); };
        // Four cars in one team: only the best three count for it.
        dbMain->execute(QStringLiteral("INSERT INTO Teams (Division, Team_Name, Driver_1, Driver_2, Driver_3, Driver_4, Driver_5, "
                                       "Driver_6) VALUES ('CUP', 'O''Neil Racing', %1, %2, %3, %4, 0, 0), "
                                       "('CUP', 'Red & <Blue>', %5, %6, 0, 0, 0, 0), "
                                       "('TRK', 'Hauler''s Co', %1, %7, %3, 0, 0, 0), ('TRK', 'Tow Team', %5, %4, 0, 0, 0, 0)")
                            .arg(id("ann able"), id("Pat O'Brien"), id("ghost_rider"), id("Ed Eve"), id("Gil Gray"),
                                 id("blank_name"), id("Hal Hix")));
        dbMain->execute(QStringLiteral("INSERT INTO Rookies (Division, DriverID) VALUES ('CUP', %1), ('CUP', %2), ('TRK', %3), "
                                       "('TRK', %4)")
                            .arg(id("Gil Gray"), id("blank_name"), id("Pat O'Brien"), id("Hal Hix")));
        dbMain->execute(QStringLiteral("INSERT INTO Bonus (DivID, DriverID, Bonus) VALUES ('CUP', %1, 250), ('TRK', %2, 75.5)")
                            .arg(id("Pat O'Brien"), id("ghost_rider")));
    }

    // A result page whose order, laps and statuses vary with the race: the
    // field is turned by `shift`, the last `dnq` qualifiers start no race
    // (provisional rows), the last `out` finishers retire.
    QString WritePage(const QString& name, const QString& track, int shift, int dnq, int out)
    {
        static const QStringList field = {
            QStringLiteral("Ann Able"),  QStringLiteral("Pat O'Brien"), QStringLiteral("ghost_rider"), QStringLiteral("blank_name"),
            QStringLiteral("Ed Eve"),    QStringLiteral("Gil Gray"),    QStringLiteral("Hal Hix"),     QStringLiteral("Ian Ivy"),
            QStringLiteral("Jo D'Arcy"), QStringLiteral("Kim <Kay>"),   QStringLiteral("Zo\u00eb Zed"), QStringLiteral("Lou Lamb"),
        };
        const int n = int(field.size());
        QList<page::Qual> quals;
        QList<page::Result> results;
        for (int i = 0; i < n; ++i) {
            const QString driver = field[(i * 5 + shift) % n];
            const QString car = QString::number(10 + (i * 7 + shift) % 40);
            quals.append({car, driver, QStringLiteral("%1.%2").arg(20 + (i * 3 + shift) % 5).arg((i * 137 + shift * 11) % 1000, 3, 10, QLatin1Char('0'))});
        }
        for (int i = 0; i < n - dnq; ++i) {
            const QString driver = field[(i * 7 + shift * 3) % n];
            QString car;
            for (const auto& q : quals)
                if (q.name == driver)
                    car = q.car;
            const bool retired = i >= n - dnq - out;
            results.append({car, driver, (i * 5 + shift) % n + 1, retired ? 120 - i : 200 - i / 3, i == 0 ? 90 : (i < 4 ? 30 - i * 5 : 0),
                            185 - i * 5, retired ? (i % 2 ? QStringLiteral("Engine") : QStringLiteral("Accident")) : QStringLiteral("Running")});
        }
        return program->writeFile(QStringLiteral("STN/") + name, page::Build(track, quals, results));
    }

    qint64 Import(const QString& div, const QString& raceNo, const QString& page, qint64 track)
    {
        sCurDiv = div;
        ProcessClass p;
        p.RaceDivision = div;
        p.RaceNo = raceNo;
        p.stnFileName = page;
        p.TrackID = track;
        EXPECT_TRUE(p.ProcRace()) << div.toStdString() << " " << raceNo.toStdString() << ": " << msgs->last().toStdString();
        return p.RaceID;
    }

    // The race data editor's save: name, purse, then earnings and bonuses.
    static void Review(const QString& div, qint64 race, const QString& name, double purse)
    {
        dbMain->execute(QStringLiteral("UPDATE Races SET RaceName = ?, Purse = ? WHERE ID = ?"), {name, purse, race});
        if (purse <= 0)
            return;
        sCurDiv = div;
        LoadDivisionSettings(div);
        EarningsClass earnings;
        earnings.lRaceID = race;
        earnings.lPurse = qint64(purse);
        earnings.sFile = sEarningsFile;
        earnings.CalculateEarnings();
        earnings.CalculateBonus();
    }

    void ImportSeason()
    {
        const qint64 dover = 1, martinsville = 2, bristol = 3;
        const QString doverName = QStringLiteral("Dover International Speedway");
        const QString martinsvilleName = QStringLiteral("Martinsville Speedway");
        const QString bristolName = QStringLiteral("Bristol's Bowl");
        const struct {
            const char* div;
            const char* raceNo;
            qint64 track;
            int shift, dnq, out;
            const char* name;
            double purse;
        } races[] = {
            {"CUP", "1", dover, 0, 2, 1, "Champion's 500", 100000},
            {"CUP", "2", martinsville, 1, 1, 2, "Spring <Sprint> & Run", 80000},
            {"CUP", "3", bristol, 2, 0, 3, "Night Race", 0},
            {"CUP", "4", dover, 3, 2, 0, "Finale", 120000},
            {"TRK", "1", martinsville, 4, 1, 1, "Truck's Opener", 0},
            {"TRK", "3", dover, 5, 0, 2, "Third", 0},
            {"TRK", "2", bristol, 6, 2, 1, "Second", 0},
            {"LMS", "1", bristol, 7, 1, 0, "Short Track", 0},
            {"LMS", "2", dover, 8, 0, 1, "Mile", 0},
        };
        const QString tracks[] = {QString(), doverName, martinsvilleName, bristolName};
        for (const auto& r : races) {
            const QString div = QString::fromLatin1(r.div);
            const QString page = WritePage(div + QLatin1String(r.raceNo) + QStringLiteral(".htm"), tracks[r.track], r.shift, r.dnq, r.out);
            const qint64 race = Import(div, QString::fromLatin1(r.raceNo), page, r.track);
            // The winner's average speed, the margin and the race's counts
            // differ from race to race, so the season records have a winner.
            dbMain->execute(QStringLiteral("UPDATE Score SET Interval = ? WHERE RaceID = ? AND Posi = 1"),
                            {QStringLiteral("%1.%2").arg(120 + r.shift * 7 % 23).arg(r.shift * 389 % 1000, 3, 10, QLatin1Char('0')), race});
            dbMain->execute(QStringLiteral("UPDATE Score SET Interval = ? WHERE RaceID = ? AND Posi = 2"),
                            {QStringLiteral("-0.%1").arg(r.shift * 211 % 1000, 3, 10, QLatin1Char('0')), race});
            dbMain->execute(QStringLiteral("UPDATE Races SET Changes = ?, Leader = ?, Flags = ? WHERE ID = ?"),
                            {r.shift * 5 % 11, r.shift % 4 + 1, r.shift * 3 % 7, race});
            if (div == QLatin1String("CUP"))
                Review(div, race, QString::fromUtf8(r.name), r.purse);
            else
                dbMain->execute(QStringLiteral("UPDATE Races SET RaceName = ? WHERE ID = ?"), {QString::fromUtf8(r.name), race});
        }
        // Race 2 of the cup imported again over itself.
        msgs->answer(dlg::vbYes);
        Import(QStringLiteral("CUP"), QStringLiteral("2"), WritePage(QStringLiteral("CUP2b.htm"), martinsvilleName, 9, 1, 2),
               martinsville);
        // A race on the calendar, not run yet.
        exec("INSERT INTO Races (Division, RaceNo, Venue, RaceDate, RaceName, TrackID) "
             "VALUES ('LMS', '10', 'Dover', '07/04/2004', 'Summer <500>', 1)");
        // Penalties entered by hand: the line's points move with them.
        for (const auto& [div, raceNo, posi, points, comment] :
             {std::tuple{"CUP", "2", 3, -10, "Rough driving"}, std::tuple{"TRK", "1", 1, 5, "O'Brien's appeal"}}) {
            const QVariant race = dbMain->scalar(QStringLiteral("SELECT ID FROM Races WHERE Division = '%1' AND RaceNo = '%2'")
                                                     .arg(QLatin1String(div), QLatin1String(raceNo)));
            dbMain->execute(QStringLiteral("INSERT INTO Penalties (Division, RaceID, Posi, Points, Comment) VALUES (?, ?, ?, ?, ?)"),
                            {QString::fromLatin1(div), race, posi, points, QString::fromUtf8(comment)});
            dbMain->execute(QStringLiteral("UPDATE Score SET Points = Points + ? WHERE RaceID = ? AND Posi = ?"), {points, race, posi});
        }
    }

    // "&Generate Files" for every race of the division in the list's order,
    // the last one last.
    void Generate(const QString& divisionName)
    {
        window = std::make_unique<frmRaceResult>();
        window->show();
        auto* combo = window->findChild<QComboBox*>(QStringLiteral("DivName"));
        const int index = combo->findText(divisionName, Qt::MatchContains);
        ASSERT_GE(index, 0) << divisionName.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        auto* races = window->findChild<QListWidget*>(QStringLiteral("List1"));
        for (int row = 0; row < races->count(); ++row) {
            races->setCurrentRow(row);
            msgs->clear();
            window->findChild<QPushButton*>(QStringLiteral("commSave"))->click();
            EXPECT_EQ(msgs->last(), QStringLiteral("All HTML Files have been generated")) << divisionName.toStdString() << row;
        }
        window.reset();
    }

    // The race list's print: every result page again from the tables.
    static void Print(const QString& div)
    {
        HTMLClass html;
        html.sDiv = div;
        html.bGenAll = true;
        EXPECT_TRUE(html.HTMLSchedule()) << html.lastError().toStdString();
    }

    // The pages and fragments the season left, by their folder and name.
    QMap<QString, QByteArray> Published() const
    {
        QMap<QString, QByteArray> files;
        for (const QString& folder : {QStringLiteral("HTML"), QStringLiteral("TXT")}) {
            const QDir d(program->file(folder));
            for (const QString& name : d.entryList(QDir::Files, QDir::Name)) {
                if (name.startsWith(QLatin1String("temp_")) || name == QLatin1String("BLANK.HTM"))
                    continue;
                QFile f(d.filePath(name));
                EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
                files.insert(folder + QLatin1Char('/') + name, f.readAll());
            }
        }
        return files;
    }

    std::unique_ptr<frmRaceResult> window;
};

} // namespace

TEST_F(PublishedSeasonTest, PagesFragmentsAndRowsAreAsExpected)
{
    BuildLeague();
    ImportSeason();
    for (const QString& name : {QStringLiteral("Cup <Series>"), QStringLiteral("Truck's"), QStringLiteral("Late Models")})
        Generate(name);
    // What the generate commands wrote, then the pages the prints wrote
    // differently.
    QMap<QString, QByteArray> actual;
    const QMap<QString, QByteArray> generated = Published();
    for (auto it = generated.constBegin(); it != generated.constEnd(); ++it)
        actual.insert(QStringLiteral("generate/") + it.key(), it.value());
    for (const QString& div : {QStringLiteral("CUP"), QStringLiteral("TRK"), QStringLiteral("LMS")})
        Print(div);
    const QMap<QString, QByteArray> printed = Published();
    for (auto it = printed.constBegin(); it != printed.constEnd(); ++it)
        if (generated.value(it.key()) != it.value())
            actual.insert(QStringLiteral("print/") + it.key(), it.value());
    actual.insert(QStringLiteral("database.txt"), DumpDatabase(dbMain->handle()));
    ASSERT_GT(actual.size(), 40);

    if (Regenerating()) {
        QDir(kExpected).removeRecursively();
        for (auto it = actual.constBegin(); it != actual.constEnd(); ++it) {
            const QString path = kExpected + QLatin1Char('/') + it.key();
            QDir().mkpath(QFileInfo(path).path());
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
            f.write(it.value());
        }
        GTEST_SKIP() << "expected files written to " << kExpected.toStdString();
    }

    QStringList expectedNames;
    for (const QString& run : {QStringLiteral("generate/"), QStringLiteral("print/")})
        for (const QString& folder : {QStringLiteral("HTML"), QStringLiteral("TXT")})
            for (const QString& name : QDir(kExpected + QLatin1Char('/') + run + folder).entryList(QDir::Files, QDir::Name))
                expectedNames << run + folder + QLatin1Char('/') + name;
    expectedNames << QStringLiteral("database.txt");
    expectedNames.sort();
    QStringList actualNames = actual.keys();
    actualNames.sort();
    EXPECT_EQ(actualNames, expectedNames);
    for (const QString& name : expectedNames) {
        QFile f(kExpected + QLatin1Char('/') + name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray expected = f.readAll();
        const QByteArray got = actual.value(name);
        EXPECT_TRUE(got == expected) << name.toStdString() << ": " << FirstDifference(expected, got);
    }
}
