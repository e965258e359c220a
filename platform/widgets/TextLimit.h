#pragma once
// Text boxes held to a length. Lengths count UTF-16 units, as the league
// file's widths do, so a character written as a surrogate pair counts two.
// Whatever way text goes in (keys, paste, the context menu, an input
// method), a character that does not fit whole is left out, what fits of
// a paste is kept from its beginning, and the rest of the text stays as it
// was; undo and redo bring back exactly what was there.

#include <QString>

class QLineEdit;
class QPlainTextEdit;

void HoldToLength(QLineEdit* box, int units);
void HoldToLength(QPlainTextEdit* box, int units);

// Puts a stored text into a box whole: the length holds for what is typed,
// so a longer text an older version stored is neither cut nor lost on
// saving, and may still be shortened.
void SetLoadedText(QLineEdit* box, const QString& text);
void SetLoadedText(QPlainTextEdit* box, const QString& text);
