#pragma once
// "Race Data": edits the header row of one race (bEditMode, lSelID) or adds
// a race to the current division (sCurDiv). Saving an edit that changes the
// purse of a division with earnings (or finds its earnings missing)
// recomputes the race's purse earnings and bonuses. Modal: open through dlg::ExecDialog.

#include <QDialog>
#include <QVariantList>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

class frmRaces : public QDialog {
    Q_OBJECT
public:
    explicit frmRaces(QWidget* parent = nullptr);

    static constexpr int kFields = 13;

public slots:
    void reject() override;   // Esc and the window's close box run Cancel

private slots:
    void cmdUpdate_Click();
    void cmdCancel_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void LoadEdit();
    void LoadNew();
    bool RaceChanged() const;
    bool Validate();
    void SaveNew();
    // unpaid: the race's purse is paid again even when it did not change.
    void SaveEdit(bool unpaid);
    // The race has a purse and lines in a division with earnings, but none
    // of its lines holds earnings.
    bool PurseUnpaid() const;
    QString Field(int i) const;

    std::array<QLineEdit*, kFields> txtFields{};
    std::array<QLabel*, 14> lblLabels{};
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdCancel = nullptr;
    QVariantList m_saved;   // snapshot of the field texts as loaded
    qint64 m_raceId = 0;
    bool m_editMode = false;
    bool m_closing = false;
};
