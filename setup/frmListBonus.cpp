#include "frmListBonus.h"

#include "Forms.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "frmBonus.h"

#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>

frmListBonus::frmListBonus(QWidget* parent)
    : DivisionListWindow(QStringLiteral("frmListBonus"), QStringLiteral("List of Bonus Earnings"), 2, parent)
{
    setTabOrder(cmdClose, Combo1);
    setTabOrder(Combo1, List1);
    cmdClose->setFocus();   // first in the tab order, so it has the focus on opening
}

QString frmListBonus::GridSql() const
{
    const QString shown = DriverShownNameSql();
    return QStringLiteral("select Bonus.ID, Drivers.DriverID, ") + shown + QStringLiteral(" AS Shown, Bonus FROM Bonus, Drivers ")
        + QStringLiteral("WHERE DivID = ? and Drivers.DriverID=Bonus.DriverID ORDER BY ") + shown
        + QStringLiteral(", Bonus.ID");
}

QStringList frmListBonus::RowTexts(const dao::Recordset& rs) const
{
    // The stored amount as a plain number; the editor shows it as money.
    return {rs.text(QStringLiteral("Shown")), rt::Str(rs.field(QStringLiteral("Bonus")))};
}

std::unique_ptr<EditorDialog> frmListBonus::MakeEditor(qint64 id)
{
    return std::make_unique<frmBonus>(id, Division(), this);
}

QString frmListBonus::DeleteSql() const
{
    return QStringLiteral("DELETE FROM Bonus WHERE ID = ?");
}

void frmListBonus::FitColumns(int width)
{
    const double twips = PixelsToTwips(width);
    List1->setColumnWidth(0, qMax(TwipsToPixels(twips / 2 - 120), 1));
    List1->setColumnWidth(1, qMax(TwipsToPixels(twips / 2 - 600), 1));
}
