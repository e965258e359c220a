// The program started as a root shell starts it, with nothing set for the
// browser engine: the windows that show pages open and the program goes on.

#include "TestSupport.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <unistd.h>

TEST(BrowserStart, AsRootTheStandingsViewerAndReadMeShowTheirPages)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "the browser engine refuses only a root user";
    testsupport::ScratchProgram program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
    env.insert(QStringLiteral("TARVIK_HOME"), program.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), program.file(QStringLiteral("config")));
    QProcess run;
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QStringLiteral(TARVIK_BROWSER_PROBE), {});
    ASSERT_TRUE(run.waitForFinished(120000));
    const QString out = QString::fromLocal8Bit(run.readAll());
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("mnuStan: shown\nmnuReadMe: shown"))) << out.toStdString();
}
