#pragma once
// The damage import dialog: picks a damage file and imports its costs into
// the race nRaceNo (the race shown in the race result window).

#include "ResultDialog.h"

class QLineEdit;
class QPushButton;

class frmAddDamage : public ResultDialog {
    Q_OBJECT
    Q_PROPERTY(qint64 nRaceNo MEMBER nRaceNo)
public:
    explicit frmAddDamage(QWidget* parent = nullptr);

    qint64 nRaceNo = 0;   // Races.ID of the race

private slots:
    void cmdBrowse_Click();
    void cmdImport_Click();

protected:
    bool Form_Load() override { return true; }

private:
    QLineEdit* Text1 = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton* cmdImport = nullptr;
};
