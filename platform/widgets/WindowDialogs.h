#pragma once
// The dialogs that are windows: message boxes, the file, colour and font
// dialogs and modal editors. Each goes through a replaceable hook, so that
// tests can answer them without a display.

#include "Dialogs.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <functional>

class QWidget;

namespace dlg {

// Shows real message boxes for MsgBox when a GUI application runs (the
// program calls it at start-up).
void InstallMessageBoxes();

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
