#include "LookupControls.h"

#include "Lookups.h"
#include "Runtime.h"
#include "State.h"
#include "WindowDialogs.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>

void FillDivisionCombo(QComboBox* combo)
{
    combo->addItem(QStringLiteral("<Select Division>"), QString());
    QStringList names, ids;
    FillDivisionLists(names, ids);
    for (int i = 0; i < ids.size(); ++i)
        combo->addItem(ids[i] + QStringLiteral(" - ") + rt::Trim(names[i]), ids[i]);
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
