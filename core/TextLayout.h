#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QEvent;
class QLineEdit;
class QObject;
class QWidget;
namespace dao { class Recordset; }

// The trimmed text padded with blanks or cut to round(w) characters.
QString PadRight(const QString& s, double w);
// A number's shortest text (7 significant digits), right-aligned in w;
// a longer text loses its leading characters.
QString AlignRight(double n, int w);
// The last n characters of "0000000000" + the trimmed text.
QString ZeroPad(const QString& s, int n);
// "#RRGGBB" from a colour number with red in the low byte.
QString HTMLColor(double c);

// The text an edit-dialog control shows (line edit, combo, check box value,
// masked box, text edit...).
QString ControlText(const QWidget* control);
// True at the first index 0..n whose trimmed control text differs from the
// trimmed saved text (case counts). A null saved value never differs.
bool ControlsChanged(const QList<QWidget*>& controls, const QVariantList& saved, int n);
bool ValuesChanged(const QVariantList& oldValues, const QVariantList& newValues, int n);
// Puts a stored text into a box whole: a box's length limit holds for what
// is typed, so a longer stored value is neither cut nor lost on saving.
void SetLoadedText(QLineEdit* box, const QString& text);
// For an editor's event filter: a focus-in by which a line edit would select
// its whole text (Tab, Backtab, a label's shortcut) is handed to the box as
// a plain focus-in instead, so the text is not selected. True when it was
// (the filter then stops the original event).
bool FocusInWithoutSelecting(QObject* watched, QEvent* event);
// Snapshot of the controls' texts, for ControlsChanged.
QVariantList SaveControlTexts(const QList<QWidget*>& controls);

// Resets the fields of a just-added row (texts "", numbers 0, flags false),
// leaving the automatic number alone.
void ClearFields(dao::Recordset& rs);
