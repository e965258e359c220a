// Runtime helpers: numbers in texts, rounding, number formats, fixed-width
// fields, text files.

#include "Runtime.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>

#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
bool g_failSync = false;
}

// The platform library is linked in statically, so its writer calls this.
extern "C" int fsync(int fd)
{
    if (g_failSync) {
        errno = EIO;
        return -1;
    }
    return int(::syscall(SYS_fsync, fd));
}

TEST(Runtime, ValReadsTheLeadingNumber)
{
    EXPECT_EQ(rt::Val(QStringLiteral("  12abc")), 12);
    EXPECT_EQ(rt::Val(QStringLiteral("\t-3.5 laps")), -3.5);
    EXPECT_EQ(rt::Val(QStringLiteral("07")), 7);
    EXPECT_EQ(rt::Val(QStringLiteral("1 2")), 12);
    EXPECT_EQ(rt::Val(QStringLiteral("1,000")), 1);
    EXPECT_EQ(rt::Val(QStringLiteral("1.2.3")), 1.2);
    EXPECT_EQ(rt::Val(QStringLiteral(".5")), 0.5);
    EXPECT_EQ(rt::Val(QStringLiteral("2e3x")), 2000);
    EXPECT_EQ(rt::Val(QStringLiteral("2e")), 2);
    EXPECT_EQ(rt::Val(QStringLiteral("&H1F")), 31);
    EXPECT_EQ(rt::Val(QStringLiteral("Prov.")), 0);
    EXPECT_EQ(rt::Val(QStringLiteral("-")), 0);
    EXPECT_EQ(rt::Val(QString()), 0);
    EXPECT_EQ(rt::Val(QVariant()), 0);
    EXPECT_EQ(rt::Val(QVariant(4.25)), 4.25);
    EXPECT_EQ(rt::Val(QVariant(QStringLiteral("150.123 mph"))), 150.123);
}

TEST(Runtime, ValReadsNumbersTooLongForAnIntegerInEveryForm)
{
    // The same number in hexadecimal, octal and decimal digits.
    EXPECT_EQ(rt::Val(QStringLiteral("&HFFFFFFFFFFFFFFFFFF")), 4722366482869645213695.0);
    EXPECT_EQ(rt::Val(QStringLiteral("&o777777777777777777777777")), 4722366482869645213695.0);
    EXPECT_EQ(rt::Val(QStringLiteral("4722366482869645213695")), 4722366482869645213695.0);
    EXPECT_EQ(rt::Val(QStringLiteral("&H7FFFFFFFFFFFFFFF")), 9223372036854775807.0);
    EXPECT_EQ(rt::Val(QStringLiteral("&O17x")), 15);
    // Beyond what a double holds: 0, whatever the digits.
    EXPECT_EQ(rt::Val(QStringLiteral("&H") + QString(300, QLatin1Char('F'))), 0);
    EXPECT_EQ(rt::Val(QStringLiteral("&O") + QString(400, QLatin1Char('7'))), 0);
    EXPECT_EQ(rt::Val(QString(400, QLatin1Char('9'))), 0);
}

TEST(Runtime, RoundingTakesATieToTheEvenNeighbour)
{
    EXPECT_EQ(rt::RoundHalfEven(2.5), 2);
    EXPECT_EQ(rt::RoundHalfEven(3.5), 4);
    EXPECT_EQ(rt::RoundHalfEven(-2.5), -2);
    EXPECT_EQ(rt::RoundHalfEven(-3.5), -4);
    EXPECT_EQ(rt::RoundHalfEven(2.51), 3);
    EXPECT_DOUBLE_EQ(rt::RoundHalfEven(0.125, 2), 0.12);
    EXPECT_DOUBLE_EQ(rt::RoundHalfEven(0.135, 2), 0.14);
    EXPECT_DOUBLE_EQ(rt::RoundHalfEven(150.12345, 3), 150.123);
    EXPECT_DOUBLE_EQ(rt::RoundHalfEven(20.0005, 3), 20.0);
}

TEST(Runtime, FormatPatterns)
{
    EXPECT_EQ(rt::Format(1234567, QStringLiteral("##,###,##0")), QStringLiteral("1,234,567"));
    EXPECT_EQ(rt::Format(0, QStringLiteral("##,###,##0")), QStringLiteral("0"));
    EXPECT_EQ(rt::Format(999.5, QStringLiteral("##,###,##0")), QStringLiteral("1,000"));
    EXPECT_EQ(rt::Format(2.5, QStringLiteral("##,###,##0")), QStringLiteral("2"));
    EXPECT_EQ(rt::Format(-1234, QStringLiteral("##,###,##0")), QStringLiteral("-1,234"));
    EXPECT_EQ(rt::Format(-0.4, QStringLiteral("##0")), QStringLiteral("0"));
    EXPECT_EQ(rt::Format(1.5, QStringLiteral("##0.000")), QStringLiteral("1.500"));
    EXPECT_EQ(rt::Format(5.25, QStringLiteral("#00.000")), QStringLiteral("05.250"));
    EXPECT_EQ(rt::Format(87.5, QStringLiteral("##0.0")), QStringLiteral("87.5"));
    // Averages over 8 or 16 races often end in a tie at the last decimal.
    EXPECT_EQ(rt::Format(2.125, QStringLiteral("#0.00")), QStringLiteral("2.13"));
    EXPECT_EQ(rt::Format(2.375, QStringLiteral("#0.00")), QStringLiteral("2.38"));
    EXPECT_EQ(rt::Format(0.05, QStringLiteral("##0.0")), QStringLiteral("0.1"));
    EXPECT_EQ(rt::Format(1234.5, QStringLiteral("$#,##0.00;($#,##0.00)")), QStringLiteral("$1,234.50"));
    EXPECT_EQ(rt::Format(-1234.5, QStringLiteral("$#,##0.00;($#,##0.00)")), QStringLiteral("($1,234.50)"));
}

TEST(Runtime, FormatShowsLargeAmountsToTheCent)
{
    // The exact text of a whole number of cents, grouped by hand.
    const auto dollars = [](qint64 cents) {
        QString whole = QString::number(cents / 100);
        for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
            whole.insert(i, QLatin1Char(','));
        return (QStringLiteral("$") + whole + QStringLiteral(".%1").arg(cents % 100, 2, 10, QLatin1Char('0'))).toStdString();
    };
    const QString money = QStringLiteral("$#,##0.00;($#,##0.00)");
    // Every cent from a few places up to where a double still holds every
    // cent (2^46 dollars), read from the text an amount box takes.
    for (const qint64 from : {qint64(499999999000), qint64(999999900000), qint64(50000000000), qint64(12345678901200),
                              qint64(7036874417764000)})
        for (qint64 cents = from; cents < from + 2000; ++cents) {
            const QString text = QStringLiteral("%1.%2").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0'));
            ASSERT_EQ(rt::Format(text.toDouble(), money).toStdString(), dollars(cents)) << text.toStdString();
        }
    // Beyond that only quarters are held exactly: up to the largest amount
    // the boxes take.
    for (qint64 cents = 91999999999999975; cents > 7036874417766000; cents -= 1234567890123475)
        ASSERT_EQ(rt::Format(double(cents / 100) + double(cents % 100) / 100, money).toStdString(), dollars(cents));
    EXPECT_EQ(rt::Format(500000001, QStringLiteral("##,###,##0")), QStringLiteral("500,000,001"));
    // A third decimal is rounded, a half written in it still as a half.
    EXPECT_EQ(rt::Format(4999999.994, money), QStringLiteral("$4,999,999.99"));
    EXPECT_EQ(rt::Format(1234567.005, money), QStringLiteral("$1,234,567.01"));
    // A currency column keeps a fourth decimal.
    EXPECT_EQ(rt::RoundHalfEven(123456.7801, 4), 123456.7801);
}

// U+1F600 is written as two UTF-16 units, as wide as two in a field.
TEST(Runtime, FixedWidthCutsKeepWholeCharacters)
{
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");
    ASSERT_EQ(face.size(), 2);
    // A cut inside it leaves a blank in its place, the width kept.
    EXPECT_EQ(rt::LSet(QStringLiteral("Nineteen Chars Name") + face + QStringLiteral("tail"), 20),
              QStringLiteral("Nineteen Chars Name "));
    EXPECT_EQ(rt::LSet(QStringLiteral("ab") + face, 3), QStringLiteral("ab "));
    EXPECT_EQ(rt::LSet(face, 1), QStringLiteral(" "));
    EXPECT_EQ(rt::RSet(face + QStringLiteral("12"), 3), QStringLiteral(" 12"));
    EXPECT_EQ(rt::RSet(face, 1), QStringLiteral(" "));
    // "1. " face "ab" face " 9": a cut at either edge of "ab", or both.
    const QString line = QStringLiteral("1. ") + face + QStringLiteral("ab") + face + QStringLiteral(" 9");
    EXPECT_EQ(rt::Mid(line, 5, 4), QStringLiteral(" ab "));
    EXPECT_EQ(rt::Mid(line, 1, 4), QStringLiteral("1.  "));
    EXPECT_EQ(rt::Mid(line, 5), QStringLiteral(" ab") + face + QStringLiteral(" 9"));
    EXPECT_EQ(rt::Mid(line, 9, 1), QStringLiteral(" "));
    // Cut on its bounds it stays whole.
    EXPECT_EQ(rt::LSet(QStringLiteral("ab") + face, 5), QStringLiteral("ab") + face + QLatin1Char(' '));
    EXPECT_EQ(rt::RSet(face, 3), QLatin1Char(' ') + face);
    EXPECT_EQ(rt::Mid(line, 4, 6), face + QStringLiteral("ab") + face);
    // Texts of one-unit characters are cut as before.
    EXPECT_EQ(rt::LSet(QStringLiteral("Zo\u00eb Zed"), 3), QStringLiteral("Zo\u00eb"));
    EXPECT_EQ(rt::RSet(QStringLiteral("\u00e9t\u00e9"), 2), QStringLiteral("t\u00e9"));
    EXPECT_EQ(rt::Mid(QStringLiteral("Zo\u00eb Zed"), 3, 3), QStringLiteral("\u00eb Z"));
}

TEST(Runtime, FixedWidthFieldsAndTexts)
{
    EXPECT_EQ(rt::RSet(QStringLiteral("12"), 5), QStringLiteral("   12"));
    EXPECT_EQ(rt::RSet(QStringLiteral("123456"), 4), QStringLiteral("3456"));
    EXPECT_EQ(rt::LSet(QStringLiteral("ab"), 4), QStringLiteral("ab  "));
    EXPECT_EQ(rt::LSet(QStringLiteral("abcdef"), 4), QStringLiteral("abcd"));
    EXPECT_EQ(rt::LSet(QStringLiteral(" a"), 3), QStringLiteral(" a "));
    EXPECT_EQ(rt::RSet(QStringLiteral("x"), 0), QString());
    EXPECT_EQ(rt::Trim(QStringLiteral("  a\t ")), QStringLiteral("a\t"));
    EXPECT_EQ(rt::Mid(QStringLiteral("Running"), 1, 4), QStringLiteral("Runn"));
    EXPECT_EQ(rt::Mid(QStringLiteral("Prov."), 9, 4), QString());
    EXPECT_EQ(rt::Mid(QStringLiteral("abc"), 2), QStringLiteral("bc"));
    EXPECT_EQ(rt::Str(15.0), QStringLiteral("15"));
    EXPECT_EQ(rt::Str(-2.5), QStringLiteral("-2.5"));
    EXPECT_EQ(rt::Str(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(rt::Str(QVariant()), QString());
    EXPECT_EQ(rt::SignedStr(12), QStringLiteral(" 12"));
    EXPECT_EQ(rt::SignedStr(-3), QStringLiteral("-3"));
    EXPECT_TRUE(rt::IsNumeric(QStringLiteral(" 12.5 ")));
    EXPECT_FALSE(rt::IsNumeric(QStringLiteral("12a")));
    EXPECT_FALSE(rt::IsNumeric(QString()));
    EXPECT_FALSE(rt::IsNumeric(QStringLiteral("nan")));
    EXPECT_FALSE(rt::IsNumeric(QStringLiteral("-inf")));
    EXPECT_TRUE(rt::IsNumeric(QStringLiteral("1e30")));
}

TEST(Runtime, ReadTextLinesAcceptsAnyLineEndAndWindows1252)
{
    QTemporaryDir dir;
    auto write = [&](const char* name, const QByteArray& bytes) {
        const QString p = dir.filePath(QString::fromLatin1(name));
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return p;
    };
    QStringList lines;
    ASSERT_TRUE(rt::ReadTextLines(write("mixed.txt", "a\r\nb\nc\rd\r\n\r\ne"), lines));
    EXPECT_EQ(lines, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"), QString(), QStringLiteral("e")}));
    ASSERT_TRUE(rt::ReadTextLines(write("end.txt", "x\r\n"), lines));
    EXPECT_EQ(lines, QStringList{QStringLiteral("x")});
    ASSERT_TRUE(rt::ReadTextLines(write("utf8.txt", "\xEF\xBB\xBF\xC3\x89mile\n"), lines));
    EXPECT_EQ(lines, QStringList{QString::fromUtf8("Émile")});
    // Not valid UTF-8: Windows-1252, including its 0x80-0x9F letters.
    ASSERT_TRUE(rt::ReadTextLines(write("cp1252.txt", "\xC9mile \x80 \x93q\x94\r\n"), lines));
    EXPECT_EQ(lines, QStringList{QString::fromUtf8("Émile € “q”")});
    QString error;
    EXPECT_FALSE(rt::ReadTextLines(dir.filePath(QStringLiteral("missing.txt")), lines, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Runtime, WriteFileAtomicWritesWholeOrNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    ASSERT_TRUE(rt::WriteFileAtomic(path, "first"));
    ASSERT_TRUE(rt::WriteFileAtomic(path, "second"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("second"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("page.htm")});
    QString error;
    EXPECT_FALSE(rt::WriteFileAtomic(dir.filePath(QStringLiteral("no/such/dir/x.htm")), "x", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Runtime, WriteFileAtomicOnAFullDiskOrAFailedSyncKeepsTheOldFileAndSaysWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    const QByteArray old(3000, 'o');
    ASSERT_TRUE(rt::WriteFileAtomic(path, old));
    const std::string told = testsupport::WithFileSizeLimit(1024, [&] {
        QString error;
        return rt::WriteFileAtomic(path, QByteArray(4000, 'n'), &error) ? std::string("written") : error.toStdString();
    });
    EXPECT_NE(told.find("File too large"), std::string::npos) << told;
    EXPECT_NE(told.find(path.toStdString()), std::string::npos) << told;
    // Renamed unsynced, the page could be empty after a power cut.
    g_failSync = true;
    QString error;
    EXPECT_FALSE(rt::WriteFileAtomic(path, "unsynced", &error));
    g_failSync = false;
    EXPECT_EQ(error.toStdString(), "Input/output error: " + path.toStdString());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("page.htm")});
}

TEST(Runtime, WriteFileAtomicWritesThroughLinksAndKeepsReadOnlyPages)
{
    QTemporaryDir dir;
    const auto contents = [](const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
    };
    // A page linked into a web server's folder.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("www")));
    const QString served = dir.filePath(QStringLiteral("www/page.htm")), link = dir.filePath(QStringLiteral("page.htm"));
    ASSERT_TRUE(rt::WriteFileAtomic(served, "old"));
    ASSERT_TRUE(QFile::link(QStringLiteral("www/page.htm"), link));
    ASSERT_TRUE(rt::WriteFileAtomic(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(served), QByteArray("new"));
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("www"))).entryList(QDir::Files), QStringList{QStringLiteral("page.htm")});
    // A link to a page not made yet, its target relative to the link's folder.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("html")));
    const QString fresh = dir.filePath(QStringLiteral("html/new.htm"));
    ASSERT_TRUE(QFile::link(QStringLiteral("../www/new.htm"), fresh));
    ASSERT_TRUE(rt::WriteFileAtomic(fresh, "made"));
    EXPECT_TRUE(QFileInfo(fresh).isSymLink());
    EXPECT_EQ(contents(dir.filePath(QStringLiteral("www/new.htm"))), QByteArray("made"));
    // One whose folder is missing is refused with the missing file named.
    const QString dangling = dir.filePath(QStringLiteral("gone.htm")), target = dir.filePath(QStringLiteral("www/none/gone.htm"));
    ASSERT_TRUE(QFile::link(target, dangling));
    QString error;
    EXPECT_FALSE(rt::WriteFileAtomic(dangling, "new", &error));
    EXPECT_EQ(error.toStdString(), "No such file or directory: " + target.toStdString());
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    const QString loop = dir.filePath(QStringLiteral("loop.htm"));
    ASSERT_TRUE(QFile::link(loop, loop));
    EXPECT_FALSE(rt::WriteFileAtomic(loop, "new", &error));
    EXPECT_EQ(error.toStdString(), "Too many levels of symbolic links: " + loop.toStdString());

    // A page the scorer made read-only, next to one he did not; a page he
    // may write linked into a folder he may not, the folder the reason.
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
    ASSERT_TRUE(QFile::setPermissions(served, QFileDevice::Permissions(0x6666)));
    const QString locked = dir.filePath(QStringLiteral("locked.htm")), open = dir.filePath(QStringLiteral("open.htm"));
    ASSERT_TRUE(rt::WriteFileAtomic(locked, "kept"));
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const std::string told = testsupport::AsOrdinaryUser([&] {
        QString e, f;
        return (rt::WriteFileAtomic(open, "written") ? "" : "open refused\n")
               + (rt::WriteFileAtomic(locked, "lost", &e) ? std::string("locked written") : e.toStdString()) + '\n'
               + (rt::WriteFileAtomic(link, "lost", &f) ? std::string("link written") : f.toStdString());
    });
    EXPECT_EQ(told, "Permission denied: " + locked.toStdString() + "\nPermission denied: "
                        + QFileInfo(dir.filePath(QStringLiteral("www"))).canonicalFilePath().toStdString());
    EXPECT_EQ(contents(locked), QByteArray("kept"));
    EXPECT_EQ(contents(served), QByteArray("new"));
}

TEST(Runtime, WriteFileAtomicLeavesNoTemporaryFileOfAKilledWrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    const auto temporary = [&](const QString& pid, const QString& n = QStringLiteral("7")) {
        return QStringLiteral("page.htm.%1.%2.tmp").arg(pid, n);
    };
    // One left by a program that has ended, one of a program still writing,
    // and the user's own files of names the writer never makes.
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    const QString gone = QString::number(ended), alive = QString::number(::getppid());
    QStringList kept{temporary(alive), temporary(QLatin1Char(' ') + gone), temporary(QLatin1Char('+') + gone),
                     temporary(QLatin1Char('0') + gone), temporary(gone, QStringLiteral("+7")),
                     temporary(QStringLiteral("2147483648")), temporary(QStringLiteral("99999999999"))};
    for (const QString& name : kept + QStringList{temporary(gone)})
        ASSERT_TRUE(rt::WriteFileAtomic(dir.filePath(name), "part"));
    const QByteArray page(4 << 20, 'p');
    for (int run = 0; run < 20; ++run) {
        const pid_t writer = ::fork();
        if (writer == 0)
            for (;;)
                rt::WriteFileAtomic(path, page);
        ::usleep(useconds_t(1000 * (run % 10 + 1)));
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
    }
    ASSERT_TRUE(rt::WriteFileAtomic(path, "last"));
    // A user may not signal another's live process: its file stays too.
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions(0x6666)));
    EXPECT_EQ(testsupport::AsOrdinaryUser([&] { return rt::WriteFileAtomic(path, "last") ? "" : "refused"; }), "");
    QStringList found = QDir(dir.path()).entryList(QDir::Files);
    kept << QStringLiteral("page.htm");
    kept.sort();
    found.sort();
    EXPECT_EQ(found.join(QLatin1Char('|')).toStdString(), kept.join(QLatin1Char('|')).toStdString());
}

TEST(Runtime, AppFileJoinsTheProgramFolder)
{
    const QString saved = rt::AppPath();
    rt::SetAppPath(QStringLiteral("/opt/tarvik/"));
    EXPECT_EQ(rt::AppPath(), QStringLiteral("/opt/tarvik"));
    EXPECT_EQ(rt::AppFile(QStringLiteral("data\\blank.mdb")), QStringLiteral("/opt/tarvik/data/blank.mdb"));
    EXPECT_EQ(rt::AppFile(QStringLiteral("/HTML/x.htm")), QStringLiteral("/opt/tarvik/HTML/x.htm"));
    rt::SetAppPath(saved);
}

TEST(Runtime, ProgramFolderFromTarvikHome)
{
    const QString saved = rt::AppPath();
    const QByteArray savedEnv = qgetenv("TARVIK_HOME");
    const bool hadEnv = qEnvironmentVariableIsSet("TARVIK_HOME");
    rt::SetAppPath(QString());

    qunsetenv("TARVIK_HOME");
    const QString beside = rt::AppPath();
    EXPECT_EQ(beside, QCoreApplication::applicationDirPath());

    qputenv("TARVIK_HOME", "/srv/league/");
    EXPECT_EQ(rt::AppPath(), QStringLiteral("/srv/league"));
    EXPECT_EQ(rt::AppFile(QStringLiteral("HTML\\temp_result.htm")), QStringLiteral("/srv/league/HTML/temp_result.htm"));
    // A relative folder stays the same folder when the current one changes.
    qputenv("TARVIK_HOME", "league");
    EXPECT_EQ(rt::AppPath(), QDir::current().absoluteFilePath(QStringLiteral("league")));
    qputenv("TARVIK_HOME", "  ");
    EXPECT_EQ(rt::AppPath(), beside);
    // A folder set by the program (the tests' scratch folders) comes first.
    qputenv("TARVIK_HOME", "/srv/league");
    rt::SetAppPath(QStringLiteral("/tmp/scratch"));
    EXPECT_EQ(rt::AppPath(), QStringLiteral("/tmp/scratch"));

    if (hadEnv)
        qputenv("TARVIK_HOME", savedEnv);
    else
        qunsetenv("TARVIK_HOME");
    rt::SetAppPath(saved);
}
