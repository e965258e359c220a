#include "frmListTeams.h"

#include "Recordset.h"
#include "frmTeams.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

frmListTeams::frmListTeams(QWidget* parent)
    : DivisionListWindow(QStringLiteral("frmListTeams"), QStringLiteral("List of Teams"), 1, parent)
{
    List1->setFont(QFont(QStringLiteral("Arial")));
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Combo1), static_cast<QWidget*>(cmdClose)})
        w->setFont(QFont(QStringLiteral("Tahoma"), 8));
}

QString frmListTeams::GridSql() const
{
    // Teams of the same name come in the order they were added.
    return QStringLiteral("SELECT TeamID,Division,Team_Name FROM Teams WHERE Division = ? ORDER BY Team_Name, TeamID");
}

QStringList frmListTeams::RowTexts(const dao::Recordset& rs) const
{
    return {rs.text(QStringLiteral("Team_Name"))};
}

std::unique_ptr<EditorDialog> frmListTeams::MakeEditor(qint64 id)
{
    return std::make_unique<frmTeams>(id, Division(), this);
}

QString frmListTeams::DeleteSql() const
{
    return QStringLiteral("DELETE FROM Teams WHERE TeamID = ?");
}
