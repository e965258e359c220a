#pragma once
// "Edit Race Result": edits one result line of the race shown in the race
// result window (bEditMode true, the line at iPos), or adds a provisional
// starter after the last line (bEditMode false). Deleting a line takes its
// driver's qualifying row and the position's penalty and damage with it;
// the other lines keep their positions. After OK or Delete the window
// reloads its grids. Modal: open through dlg::ExecDialog.

#include "ResultDialog.h"

#include <QVariantList>

#include <array>
#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace dao {
class Recordset;
}

class frmEditRace : public ResultDialog {
    Q_OBJECT
public:
    explicit frmEditRace(QWidget* parent = nullptr);

    // The line to edit (edit mode): Races.ID of its race and its Posi.
    void setLine(qint64 raceId, qint64 posi)
    {
        nRaceNo = raceId;
        iPos = posi;
    }
    qint64 posi() const { return iPos; }

    // Text1(0) to Text1(7): Position, DriverID (hidden), Laps, Led, Points,
    // Finish, unused, driver name.
    static constexpr int kBoxes = 8;

private slots:
    void cmdUpdate_Click();
    void cmdCancel_Click();
    void Command1_Click();   // delete
    void Command2_Click();   // change driver

protected:
    bool Form_Load() override;
    void Cancel() override { cmdCancel_Click(); }

private:
    void BuildControls();
    QString Box(int i) const;
    bool Validate(qint64& laps, qint64& lead, qint64& points);
    // The lines at iPos, standing on the one loaded (eof when it is gone).
    std::unique_ptr<dao::Recordset> OpenLine() const;
    void SaveLine(qint64 laps, qint64 lead, qint64 points);
    void AddLine(qint64 laps, qint64 lead, qint64 points);
    void WriteLine(dao::Recordset& line, qint64 driver, qint64 laps, qint64 lead, qint64 points);
    // The name of the driver whose DriverID is in Text1(1).
    QString GetDriverName() const;
    bool Changed(bool withName) const;
    void RefreshWindow();

    std::array<QLineEdit*, kBoxes> Text1{};
    QComboBox* Driver = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* cmdCancel = nullptr;

    qint64 iPos = 0;
    qint64 nRaceNo = 0;
    bool m_editMode = false;
    QVariantList m_saved;            // box texts at load (edit mode)
    qint64 m_lineDriver = 0;         // DriverID stored in the line
};
