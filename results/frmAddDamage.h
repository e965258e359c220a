#pragma once
// The damage import dialog: picks a damage file and imports its costs into
// the race set by setRace (the race shown in the race result window).

#include "ResultDialog.h"

class QLineEdit;
class QPushButton;

class frmAddDamage : public ResultDialog {
    Q_OBJECT
public:
    explicit frmAddDamage(QWidget* parent = nullptr);

    void setRace(qint64 raceId) { nRaceNo = raceId; }   // Races.ID
    qint64 raceId() const { return nRaceNo; }

private slots:
    void cmdBrowse_Click();
    void cmdImport_Click();

protected:
    bool Form_Load() override { return true; }

private:
    QLineEdit* Text1 = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton* cmdImport = nullptr;
    qint64 nRaceNo = 0;
};
