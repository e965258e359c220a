#pragma once
// "Change Driver ID": picks the driver who replaces a result line's driver,
// among the drivers without a line in the race. Stores nothing: the result
// line editor takes newDriverID ("" when none was picked) and saves it on OK.

#include "ResultDialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;

class frmChangeDriver : public ResultDialog {
    Q_OBJECT
public:
    explicit frmChangeDriver(QWidget* parent = nullptr);

    qint64 iPos = 0;
    qint64 oldDriverID = 0;
    QString oldDriverName;
    QString newDriverID;   // the chosen DriverID as text, "" for none
    qint64 nRaceNo = 0;    // Races.ID: its drivers are not offered

private slots:
    void cmdUpdate_Click();

protected:
    bool Form_Load() override;

private:
    QLineEdit* Text1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdCancel = nullptr;
};
