#pragma once
// Message boxes, file, colour and font dialogs go through replaceable
// hooks, so that tests can answer them without a display and record what
// was asked.

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

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

// Shows a message box; returns the answer. Without a hook a real box is
// shown when a GUI application runs, else the text goes to stderr and the
// default button is the answer.
int MsgBox(const QString& prompt, int flags = vbOKOnly, const QString& title = QString());
void SetMsgHook(MsgHook hook);   // empty hook restores the default

struct FileCall {
    QString caption;
    QString startFolder;
    QString fileName;   // proposed name
    QString filter;     // Qt filter text
};
// Returns the chosen file's full path, or an empty text when cancelled.
using FileHook = std::function<QString(const FileCall&)>;
QString GetOpenFileName(QWidget* parent, const FileCall& call);
void SetFileHook(FileHook hook);

// Colour dialog: returns false when cancelled.
using ColorHook = std::function<bool(QColor& color)>;
bool ChooseColor(QWidget* parent, QColor& color);
void SetColorHook(ColorHook hook);

// Font dialog: returns false when cancelled.
using FontHook = std::function<bool(QFont& font)>;
bool ChooseFont(QWidget* parent, QFont& font);
void SetFontHook(FontHook hook);

// Modal editors (QDialog::exec) go through this so tests can drive a
// dialog after it is shown; the default calls exec().
using ExecHook = std::function<int(QWidget* dialog)>;
int ExecDialog(QWidget* dialog);
void SetExecHook(ExecHook hook);

} // namespace dlg
