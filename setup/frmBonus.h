#pragma once
// The bonus editor ("Bonus Earnings"): one driver's fixed bonus amount in a
// division, new or edited. The driver of an existing amount is fixed.

#include "EditorDialog.h"

#include <QVariantList>

class DriverCombo;
class MaskEdBox;

class frmBonus : public EditorDialog {
    Q_OBJECT
public:
    // In edit mode (bEditMode) edits the Bonus row `bonusId`; otherwise
    // adds an amount to `division`.
    frmBonus(qint64 bonusId, const QString& division, QWidget* parent = nullptr);

    void reject() override { cancelEdit(); }

private:
    bool hasChanges() override { return BonusChanged(); }
    bool BonusChanged() const;
    void cmdUpdate_Click();

    DriverCombo* DBCombo2 = nullptr;
    MaskEdBox* MaskEdBox1 = nullptr;
    qint64 m_id = 0;
    QString m_div;
    QVariantList m_snapshot;
};
