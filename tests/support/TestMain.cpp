// The tests' main: computing tests run under a core (or GUI) application,
// window tests under a widget application; Qt runs offscreen.
#if defined(TARVIK_TEST_WIDGETS)
#include <QApplication>
using TestApplication = QApplication;
#elif defined(TARVIK_TEST_GUI)
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif
#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    // The tests expect the C locale's numbers and the system's messages in
    // English ("No space left on device"), whatever the machine's locale.
    // The process starts again under one locale, as libraries loaded before
    // main (Qt Quick under the browser) already read QLocale::system(); the
    // C library, Qt, Chromium and the scripts the tests start all get it.
    // LANGUAGE would still translate the messages. Tests of what the
    // program reads the user's way set QLocale's default themselves. Under
    // a tool that follows no exec (valgrind), set LC_ALL=C.UTF-8 first.
    if (qgetenv("LC_ALL") != "C.UTF-8" || !qEnvironmentVariableIsEmpty("LANGUAGE")) {
        qputenv("LC_ALL", "C.UTF-8");
        qunsetenv("LANGUAGE");
        execv("/proc/self/exe", argv);
        std::perror("restarting the tests under C.UTF-8");
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    ::testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
