#include "TestSupport.h"

#include "Database.h"
#include "DbModule.h"
#include "FailingVfs.h"
#include "Options.h"
#include "Runtime.h"
#include "Settings.h"
#include "State.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <csignal>
#include <string>

#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

namespace {

// Runs step in a forked child once prepare has set it up and gives back the
// text step returned; "child failed" when the child did not finish.
std::string inChild(const std::function<bool()>& prepare, const std::function<std::string()>& step)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return "child failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        if (!prepare())
            ::_exit(1);
        const std::string out = step();
        const bool sent = ::write(fds[1], out.data(), out.size()) == ssize_t(out.size());
        ::_exit(sent ? 0 : 1);   // no destructors or exit handlers of the parent's copy
    }
    ::close(fds[1]);
    std::string out;
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        out.append(buf, size_t(n));
    ::close(fds[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "child failed";
    return out;
}

} // namespace

std::string WithFileSizeLimit(long limit, const std::function<std::string()>& step)
{
    return inChild(
        [limit] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit cap{rlim_t(limit), rlim_t(limit)};
            return ::setrlimit(RLIMIT_FSIZE, &cap) == 0;
        },
        step);
}

std::string AsOrdinaryUser(const std::function<std::string()>& step)
{
    return inChild(
        [] {
            if (::geteuid() != 0)
                return true;
            const passwd* nobody = ::getpwnam("nobody");
            const uid_t uid = nobody ? nobody->pw_uid : 65534;
            const gid_t gid = nobody ? nobody->pw_gid : 65534;
            return ::setgroups(0, nullptr) == 0 && ::setgid(gid) == 0 && ::setuid(uid) == 0;
        },
        step);
}

MsgRecorder::MsgRecorder()
{
    dlg::SetMsgHook([this](const dlg::MsgCall& call) {
        m_calls.push_back(call);
        if (!m_answers.empty()) {
            const int a = m_answers.front();
            m_answers.pop_front();
            return a;
        }
        const int buttons = call.flags & 7;
        const bool second = (call.flags & dlg::vbDefaultButton2) != 0;
        switch (buttons) {
        case dlg::vbYesNo:
            return second ? int(dlg::vbNo) : int(dlg::vbYes);
        case dlg::vbOKCancel:
            return second ? int(dlg::vbCancel) : int(dlg::vbOK);
        case dlg::vbYesNoCancel:
            return second ? int(dlg::vbNo) : int(dlg::vbYes);
        default:
            return int(dlg::vbOK);
        }
    });
}

MsgRecorder::~MsgRecorder()
{
    dlg::SetMsgHook({});
}

bool MsgRecorder::saw(const QString& text) const
{
    for (const auto& c : m_calls)
        if (c.prompt.contains(text))
            return true;
    return false;
}

// Copies only the files the build stages (templates, BLANK.HTM), not pages
// a run of the program may have left in the build's program folder.
static void copyDir(const QString& from, const QString& to, const QStringList& patterns)
{
    QDir().mkpath(to);
    QDir src(from);
    for (const QFileInfo& fi : src.entryInfoList(patterns, QDir::Files | QDir::NoDotAndDotDot))
        QFile::copy(fi.absoluteFilePath(), to + QLatin1Char('/') + fi.fileName());
}

ScratchProgram::ScratchProgram(bool withBlank)
{
    const QString prog = QStringLiteral(TARVIK_PROGRAM_DIR);
    QDir root(m_dir.path());
    root.mkpath(QStringLiteral("data"));
    if (withBlank)
        QFile::copy(prog + QStringLiteral("/data/blank.mdb"), file(QStringLiteral("data/blank.mdb")));
    copyDir(prog + QStringLiteral("/HTML"), file(QStringLiteral("HTML")), {QStringLiteral("temp_*.htm")});
    copyDir(prog + QStringLiteral("/TXT"), file(QStringLiteral("TXT")), {QStringLiteral("BLANK.HTM")});
    root.mkpath(QStringLiteral("STN"));
    QFile::copy(prog + QStringLiteral("/readme.htm"), file(QStringLiteral("readme.htm")));
    // Copies are read-only when the sources are; make them writable.
    for (const QString& sub : {QStringLiteral("data"), QStringLiteral("HTML"), QStringLiteral("TXT")}) {
        QDir d(file(sub));
        for (const QFileInfo& fi : d.entryInfoList(QDir::Files))
            QFile::setPermissions(fi.absoluteFilePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    }
    rt::SetAppPath(m_dir.path());
    settings::SetSettingsFile(file(QStringLiteral("settings.ini")));
}

ScratchProgram::~ScratchProgram()
{
    rt::SetAppPath(QString());
}

QString ScratchProgram::file(const QString& relative) const
{
    return m_dir.path() + QLatin1Char('/') + relative;
}

QString ScratchProgram::addTestFile(const QString& name, const QString& relativeTarget) const
{
    const QString target = file(relativeTarget.isEmpty() ? name : relativeTarget + QLatin1Char('/') + name);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::remove(target);
    QFile::copy(QStringLiteral(TARVIK_TEST_DATA) + QLatin1Char('/') + name, target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    return target;
}

QString ScratchProgram::writeFile(const QString& relative, const QByteArray& bytes) const
{
    const QString target = file(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile f(target);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return target;
}

std::string ScratchProgram::fileList() const
{
    QStringList out;
    QDirIterator it(m_dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    out.sort();
    return out.join(QLatin1Char('\n')).toStdString();
}

void LeagueTest::SetUp()
{
    ResetSharedState();
    program = std::make_unique<ScratchProgram>();
    msgs = std::make_unique<MsgRecorder>();
    ASSERT_TRUE(OpenDB()) << msgs->last().toStdString();
    LoadOptions();
    msgs->clear();
}

namespace {

// The first line where two dumps part.
std::string difference(const QStringList& got, const QStringList& want)
{
    for (qsizetype i = 0; i < std::max(got.size(), want.size()); ++i) {
        const QString g = i < got.size() ? got[i] : QStringLiteral("<end>");
        const QString w = i < want.size() ? want[i] : QStringLiteral("<end>");
        if (g != w)
            return QStringLiteral("line %1: got \"%2\", want \"%3\"").arg(i).arg(g, w).toStdString();
    }
    return {};
}

} // namespace

void LeagueTest::ExpectWholeOrNothing(const std::function<bool(QString& told)>& command,
                                      const std::function<void()>& reopened)
{
    const QString league = program->file(QStringLiteral("Tarvik.MDB"));
    const QString start = program->file(QStringLiteral("start.mdb"));
    CloseDB();
    QFile::remove(start);
    ASSERT_TRUE(QFile::copy(league, start));
    const QStringList before = FailingVfs::Dump(start);

    {
        // The file layer must outlive every connection opened through it.
        FailingVfs vfs;
        // From the start file: the command with the n-th write failing (0: none).
        auto attempt = [&](int n, int error, bool& ok, QString& told) {
            CloseDB();
            QFile::remove(league);
            QFile::remove(league + QStringLiteral("-journal"));
            ASSERT_TRUE(QFile::copy(start, league));
            ASSERT_TRUE(OpenDB()) << msgs->last().toStdString();
            if (reopened)
                reopened();
            msgs->clear();
            vfs.failAt(n, error);
            told.clear();
            ok = command(told);
            EXPECT_EQ(dbMain->transactionDepth(), 0);
            CloseDB();
        };
        bool ok = false;
        QString told;
        attempt(0, SQLITE_IOERR_WRITE, ok, told);
        ASSERT_TRUE(ok) << told.toStdString();
        const int writes = vfs.operations();
        const QStringList after = FailingVfs::Dump(league);
        ASSERT_GT(writes, 0);
        ASSERT_FALSE(after == before) << "the command changed nothing";

        for (int error : {SQLITE_IOERR_WRITE, SQLITE_FULL}) {
            for (int n = 1; n <= writes; ++n) {
                SCOPED_TRACE(testing::Message() << "error " << error << " at write " << n << " of " << writes);
                attempt(n, error, ok, told);
                ASSERT_TRUE(vfs.failed());
                const QStringList state = FailingVfs::Dump(league);
                if (ok) {
                    EXPECT_TRUE(state == after) << "reported done, but " << difference(state, after);
                } else {
                    EXPECT_TRUE(state == before) << "reported failed, but " << difference(state, before);
                    // The error itself, not only what followed from it: no step
                    // swallowed it and went on.
                    EXPECT_FALSE(told.isEmpty());
                    EXPECT_FALSE(told.contains(QStringLiteral("ended by the database"))) << told.toStdString();
                }
            }
        }
    }
    // The league as it was, open again for the rest of the test.
    CloseDB();
    QFile::remove(league);
    QFile::copy(start, league);
    ASSERT_TRUE(OpenDB());
    if (reopened)
        reopened();
}

void LeagueTest::TearDown()
{
    CloseDB();
    ResetSharedState();
    msgs.reset();
    program.reset();
}

} // namespace testsupport
