#pragma once
// "Additional Earnings": sets the additional money amount (BonusAdd) of the
// earnings line double-clicked in the race result window and rewrites that
// one grid row. Esc or the close box leave without storing.

#include "ResultDialog.h"

class MaskEdBox;
class MSFlexGrid;
class QPushButton;

class frmBonusAdd : public ResultDialog {
    Q_OBJECT
public:
    explicit frmBonusAdd(QWidget* parent = nullptr);

private slots:
    void Command1_Click();

protected:
    bool Form_Load() override;

private:
    MaskEdBox* Bonus = nullptr;
    QPushButton* Command1 = nullptr;
    MSFlexGrid* m_grid = nullptr;   // the window's earnings grid, its current row the line
    qint64 m_posi = 0;
};
