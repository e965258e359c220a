#pragma once
// Message boxes go through a replaceable hook, so that tests can answer
// them without a display and record what was asked. The computing code
// asks here; the boxes themselves are windows (WindowDialogs.h), installed
// by the program at start-up.

#include <QString>

#include <functional>

namespace dlg {

// Button and icon flags, combined with '|' (the platform's values).
enum MsgFlags {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
};
// Answers.
enum MsgResult { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

struct MsgCall {
    QString prompt;
    int flags = 0;
    QString title;      // the program's title when none was given
};

using MsgHook = std::function<int(const MsgCall&)>;

// Shows a message box; returns the answer. Without a hook the installed
// message boxes answer; without those the text goes to stderr and the
// default button is the answer.
int MsgBox(const QString& prompt, int flags = vbOKOnly, const QString& title = QString());
void SetMsgHook(MsgHook hook);   // empty hook restores the default
// The message boxes the program shows when no hook is set.
void SetMessageBoxes(MsgHook boxes);
// The answer without a window: the text to stderr, the default button.
int AnswerWithoutWindow(const MsgCall& call);

} // namespace dlg
