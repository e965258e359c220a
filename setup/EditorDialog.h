#pragma once
// What the league setup editors have in common: the cancel question, the
// validation and error boxes, trimming a text box when it gets the focus,
// no text box selecting its text then, and Enter acting only on a focused
// button (there is no default button).

#include <QDialog>

#include <functional>
#include <memory>

class QFormLayout;
class QLineEdit;
class QPushButton;

class EditorDialog : public QDialog {
    Q_OBJECT
public:
    explicit EditorDialog(QWidget* parent = nullptr);
    // False when the record to edit was not found while loading.
    bool loaded() const { return m_loaded; }

    // A finite number typed into a box (blanks around it allowed).
    static bool ReadNumber(const QString& text, double& value);
    // A whole number typed into a box.
    static bool ReadWhole(const QString& text, qint64& value);

protected:
    // The change test against the snapshot taken at load.
    virtual bool hasChanges() = 0;

    // Cancel: asks before losing changes; closes on Yes or when unchanged.
    void cancelEdit();
    // A validation failure: critical box, focus on the field.
    void refuse(const QString& message, QWidget* focus);
    // An error while saving: its description alone; the window stays open.
    void showError(const QString& description);
    // Replaces the box's text by its trimmed text whenever it gets the focus.
    void trimOnFocus(QLineEdit* box);
    // Esc pressed in this control does nothing (elsewhere it cancels).
    void escapeDoesNothingIn(QWidget* control);
    // Lays out the fields above the button strip ("&Ok" cmdUpdate, then
    // "&Cancel" under the given name, which runs cancelEdit). No button is
    // the default: Enter clicks a button only when it has the focus. Call
    // it once the fields are made: their text is then never selected on focus.
    void layOut(QFormLayout* fields, const QString& cancelName);
    QPushButton* cmdUpdate = nullptr;

    bool eventFilter(QObject* watched, QEvent* event) override;

    bool m_loaded = true;
};

// Makes an editor and shows it modally; an editor whose record is gone says
// so instead, and a database error while it loads is shown by its
// description. `make` may give no editor.
void ShowEditorDialog(const std::function<std::unique_ptr<EditorDialog>()>& make);
