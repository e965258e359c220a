#pragma once
// What the dialogs of the race result window have in common: they read
// their line when first shown (the opener sets it after creating them),
// close at once when the line is gone, run their cancel on Esc and the close
// box, store each command in one transaction, and refresh the race result
// window that opened them. Their boxes do not select their text when they
// get the focus.

#include <QDialog>

#include <functional>

class frmRaceResult;
class QComboBox;
class QPushButton;

class ResultDialog : public QDialog {
    Q_OBJECT
public:
    explicit ResultDialog(QWidget* parent = nullptr);

    // Loads first: a dialog whose line is gone is not shown at all.
    int exec() override;

public slots:
    void reject() override;

protected:
    // Reads what the dialog shows; false when it has nothing to show and
    // closes at once.
    virtual bool Form_Load() = 0;
    // Esc and the close box; closes unless the dialog says otherwise.
    virtual void Cancel() { Close(); }

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closes for good (no cancel question).
    void Close(int result = QDialog::Rejected);

    // The race result window that opened the dialog, or the one open.
    frmRaceResult* RaceResultWindow() const;
    // After a committed change: the race result window shows it. A failure
    // there leaves the change saved, and the message says so.
    void RefreshRaceResult(const std::function<void(frmRaceResult&)>& refresh) const;

    // Runs the changes of one command as one transaction. On a database
    // error rolls them back, shows the error's description and returns false.
    static bool Commit(const std::function<void()>& changes);
    // A refused value: critical box with the title, focus on the box.
    static void Refuse(const QString& message, const QString& title, QWidget* focus);
    // "All changes will be lost..." (Yes/No, No the default); true on Yes.
    static bool ConfirmLoseChanges();
    // A whole number as typed (blanks around it allowed), within 32 bits.
    static bool ReadWhole(const QString& text, qint64& value);
    // Adds every driver without a line in the race, by the name he is shown
    // by; each entry carries its DriverID.
    static void AddDriversOutsideRace(QComboBox* list, qint64 raceId);
    // A button of the dialog; Enter clicks it only when it has the focus.
    QPushButton* MakeButton(const QString& caption, const QString& name);

private:
    bool EnsureLoaded();

    enum class LoadState { NotYet, Shown, Gone };
    LoadState m_load = LoadState::NotYet;
    bool m_closing = false;
    bool m_boxesWatched = false;
};
