#pragma once
// Text boxes held to a length. Lengths count UTF-16 units, as the league
// file's widths do, so a character written as a surrogate pair counts two.
// Whatever way text goes in (keys, any paste, a drop, an input method),
// what fits of its beginning is kept up to a whole character and the rest
// of the text stays as it was; where nothing fits, nothing changes, the
// selection included. Undo and redo bring back exactly what was there.

#include <QPlainTextEdit>
#include <QString>

class QLineEdit;

void HoldToLength(QLineEdit* box, int units);

// Puts a stored text into a box whole: the length holds for what is typed,
// so a longer text an older version stored is neither cut nor lost on
// saving, and may still be shortened.
void SetLoadedText(QLineEdit* box, const QString& text);

// A plain text box held to a length. What goes in is cut before the box
// takes it, so its own undo history only ever holds texts that fit.
class HeldTextEdit : public QPlainTextEdit {
public:
    HeldTextEdit(int units, QWidget* parent = nullptr);
    // As SetLoadedText: the length becomes at least the stored text's.
    void setLoadedText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Units left once the selection is gone, and with an input method's
    // event the range it replaces as well.
    qsizetype room(const QInputMethodEvent* input = nullptr) const;

    int m_units;
    qsizetype m_loaded = 0;
};
