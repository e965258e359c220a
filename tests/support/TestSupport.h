#pragma once
// Test support: a scratch program folder laid out like the real one, and
// scripted answers for message boxes and dialogs.

#include "Dialogs.h"

#include <QLocale>
#include <QString>
#include <QTemporaryDir>

#include <deque>
#include <string>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace testsupport {

// Records every message box and answers from a script (first in, first
// out); with no scripted answer a box gets its default button.
class MsgRecorder {
public:
    MsgRecorder();
    ~MsgRecorder();
    void answer(int result) { m_answers.push_back(result); }
    const std::vector<dlg::MsgCall>& calls() const { return m_calls; }
    void clear() { m_calls.clear(); }
    // True when some recorded prompt contains the text.
    bool saw(const QString& text) const;
    QString last() const { return m_calls.empty() ? QString() : m_calls.back().prompt; }

private:
    std::vector<dlg::MsgCall> m_calls;
    std::deque<int> m_answers;
};

// QLocale's default for as long as it lives (what the program reads the
// user's way, such as damage costs, reads by it); the one before comes back.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(m_before); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

private:
    const QLocale m_before;
};

// Runs step in a child process whose files cannot grow past limit bytes (a
// write beyond it fails with "File too large", as on a full disk) and gives
// back the text step returned; "child failed" when the child did not finish.
std::string WithFileSizeLimit(long limit, const std::function<std::string()>& step);
// Runs step the same way as an ordinary user: a child run as root becomes
// "nobody", so that file permissions are asked as they are of a scorer.
std::string AsOrdinaryUser(const std::function<std::string()>& step);

// A program folder in a temporary directory: data/blank.mdb, HTML/ with the
// templates, TXT/, STN/; rt::AppPath() points at it and the settings store
// is a file inside it.
class ScratchProgram {
public:
    explicit ScratchProgram(bool withBlank = true);
    ~ScratchProgram();
    QString path() const { return m_dir.path(); }
    QString file(const QString& relative) const;
    // Copies a file of tests/data into the program folder (or a subfolder).
    QString addTestFile(const QString& name, const QString& relativeTarget = QString()) const;
    QString writeFile(const QString& relative, const QByteArray& bytes) const;
    // Every file below the folder, one path a line, sorted: compared before
    // and after a step to see that it wrote nothing.
    std::string fileList() const;

private:
    QTemporaryDir m_dir;
};

// Base fixture: a scratch program folder with the league database open as
// dbMain, preferences loaded, message boxes recorded.
class LeagueTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs command on the league as it is now, once to count the writes to
    // the file, then again from that same start with each write failing in
    // turn (an I/O error, then a full disk). A run that reports success must
    // leave the file as the good run did; a run that fails must leave it as
    // it was and tell the user the error itself (told: what he was shown).
    // reopened runs after each reopen of the league, before the command.
    void ExpectWholeOrNothing(const std::function<bool(QString& told)>& command,
                              const std::function<void()>& reopened = {});

    std::unique_ptr<ScratchProgram> program;
    std::unique_ptr<MsgRecorder> msgs;
};

} // namespace testsupport

// Readable failure output for texts.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE
