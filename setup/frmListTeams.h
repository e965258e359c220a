#pragma once
// "List of Teams": the teams of the division chosen in the window. New and
// edit open the team editor (frmTeams) modally; delete removes a team (the
// races already scored keep the team they hold).

#include "DivisionListWindow.h"

class frmListTeams : public DivisionListWindow {
    Q_OBJECT
public:
    explicit frmListTeams(QWidget* parent = nullptr);

protected:
    QString GridSql() const override;
    QStringList RowTexts(const dao::Recordset& rs) const override;
    std::unique_ptr<EditorDialog> MakeEditor(qint64 id) override;
    QString DeleteSql() const override;
};
