#include "LookupControls.h"

#include "Database.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "WindowDialogs.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>

// The divisions ordered by name (then id, so equal names keep one order).
static std::unique_ptr<dao::Recordset> openDivisions()
{
    return dbMain->openRecordset(QStringLiteral("SELECT Name, ID FROM Division ORDER BY Name, ID"));
}

void FillDivisionNames(QComboBox* combo)
{
    for (auto rs = openDivisions(); !rs->eof(); rs->moveNext())
        combo->addItem(rs->text(QStringLiteral("Name")), rs->text(QStringLiteral("ID")));
}

void FillDivisionCombo(QComboBox* combo)
{
    combo->addItem(QStringLiteral("<Select Division>"), QString());
    for (auto rs = openDivisions(); !rs->eof(); rs->moveNext()) {
        const QString id = rs->text(QStringLiteral("ID"));
        combo->addItem(id + QStringLiteral(" - ") + rt::Trim(rs->text(QStringLiteral("Name"))), id);
    }
    combo->setCurrentIndex(0);
}

bool BrowseStnFile(QWidget* parent, QLineEdit* stnFile, const QString& startFolder)
{
    dlg::FileCall call;
    call.startFolder = startFolder;
    call.fileName = stnFile->text();
    call.filter = QStringLiteral("*.HTML (*.html *.HTML);;*.HTM (*.htm *.HTM)");
    const QString chosen = dlg::GetOpenFileName(parent, call);
    if (chosen.isEmpty())
        return false;
    // The full path first: the box's change handler may read it.
    sStnPath = chosen;
    stnFile->setText(QFileInfo(chosen).fileName());
    return true;
}
