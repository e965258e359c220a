#pragma once
// What the edit dialogs read from and put into their controls.

#include <QList>
#include <QString>
#include <QVariant>

class QEvent;
class QLineEdit;
class QObject;
class QWidget;

// The text an edit-dialog control shows (line edit, combo, check box value,
// masked box, text edit...).
QString ControlText(const QWidget* control);
// True at the first index 0..n whose trimmed control text differs from the
// trimmed saved text (case counts). A null saved value never differs.
bool ControlsChanged(const QList<QWidget*>& controls, const QVariantList& saved, int n);
// For an editor's event filter: a focus-in by which a line edit or an
// editable combo would select its whole text (Tab, Backtab, a label's
// shortcut) is handed to it as a plain focus-in instead, so the text is not
// selected. True when it was (the filter then stops the original event).
bool FocusInWithoutSelecting(QObject* watched, QEvent* event);
// Snapshot of the controls' texts, for ControlsChanged.
QVariantList SaveControlTexts(const QList<QWidget*>& controls);
