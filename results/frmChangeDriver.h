#pragma once
// "Change Driver ID": picks the driver who replaces a result line's driver,
// among the drivers without a line in the race. Stores nothing: the result
// line editor takes newDriverID() ("" when none was picked) and saves it on OK.

#include "ResultDialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;

class frmChangeDriver : public ResultDialog {
    Q_OBJECT
public:
    explicit frmChangeDriver(QWidget* parent = nullptr);

    // Races.ID of the line's race (its drivers are not offered) and the name
    // of the driver to replace.
    void setLine(qint64 raceId, const QString& driverName)
    {
        nRaceNo = raceId;
        oldDriverName = driverName;
    }
    QString newDriverID() const { return m_newDriverID; }   // "" for none

private slots:
    void cmdUpdate_Click();

protected:
    bool Form_Load() override;

private:
    QLineEdit* Text1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdCancel = nullptr;

    qint64 nRaceNo = 0;
    QString oldDriverName;
    QString m_newDriverID;
};
