#pragma once
// The working windows of the main window: loading them as child windows of
// its multiple-document area, closing them all, and keeping window positions
// in the settings store (application "Tarvik", section = window name).
// Positions are stored in twips, 15 to a pixel.

#include <QString>

#include <functional>

class QMdiArea;
class QWidget;

constexpr double kTwipsPerPixel = 15.0;
inline int TwipsToPixels(double twips) { return static_cast<int>(twips / kTwipsPerPixel + (twips >= 0 ? 0.5 : -0.5)); }
inline double PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

// The area the child windows live in (set by the main window).
void SetMdiArea(QMdiArea* area);
QMdiArea* MdiArea();

// Restores the window's state ("WindowState": 0 normal, 1 minimised,
// 2 maximised) and, for a normal window, its Top, Left, Height and Width,
// each falling back to the default given (twips). The section is the
// window's objectName. May be called from the window's constructor: a
// window not yet inside its child frame gets the position once it is.
void LoadFormPosition(QWidget* frm, double top, double left, double height, double width);
// Saves the state and, for a normal window only, the position and size.
void SaveFormPosition(QWidget* frm);
// 0 normal, 1 minimised, 2 maximised (of the window's frame).
int FormWindowState(const QWidget* frm);

// Closes every loaded working window, the last loaded first; the main
// window stays. False when a window refused to close.
bool UnloadAllForms();
// Number of loaded working windows.
int LoadedFormCount();
// The loaded working window of that name, or nullptr.
QWidget* FindLoadedForm(const QString& name);

// Closes the others (unless told not to), creates the registered window and
// shows it as a child window. With closeOthers false a window of that name
// already loaded is brought forward instead. nullptr when nothing is
// registered under the name or a window refused to close.
QWidget* ShowChildForm(const QString& name, bool closeOthers = true);
// Shows a window made by the caller as a child window.
QWidget* ShowChildWidget(QWidget* w);
// Shows a separate top-level working window (closed by UnloadAllForms too).
QWidget* ShowTopLevelForm(QWidget* w);

// Runs a command of a window: an unexpected error (database or other) is
// shown in a message box and the program carries on.
void RunGuarded(const std::function<void()>& command);
