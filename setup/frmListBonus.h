#pragma once
// "List of Bonus Earnings": the fixed bonus amounts of the division chosen
// in the window, one row per driver with the stored amount. New and edit
// open the bonus editor (frmBonus) modally.

#include "DivisionListWindow.h"

class frmListBonus : public DivisionListWindow {
    Q_OBJECT
public:
    explicit frmListBonus(QWidget* parent = nullptr);

protected:
    QString GridSql() const override;
    QStringList RowTexts(const dao::Recordset& rs) const override;
    std::unique_ptr<EditorDialog> MakeEditor(qint64 id) override;
    QString DeleteSql() const override;
    void FitColumns(int width) override;
};
