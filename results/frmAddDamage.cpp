#include "frmAddDamage.h"

#include "Dialogs.h"
#include "Forms.h"
#include "ImportDamage.h"
#include "Runtime.h"
#include "WindowDialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmAddDamage::frmAddDamage(QWidget* parent)
    : ResultDialog(parent)
{
    setObjectName(QStringLiteral("frmAddDamage"));
    setWindowTitle(QStringLiteral("Import Damage"));

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMinimumWidth(280);
    cmdBrowse = MakeButton(QStringLiteral("&Browse"), QStringLiteral("cmdBrowse"));
    cmdImport = MakeButton(QStringLiteral("&Import"), QStringLiteral("cmdImport"));
    connect(cmdBrowse, &QPushButton::clicked, this, &frmAddDamage::cmdBrowse_Click);
    connect(cmdImport, &QPushButton::clicked, this, &frmAddDamage::cmdImport_Click);

    auto* file = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("File:"), this);
    label->setBuddy(Text1);
    file->addWidget(label);
    file->addWidget(Text1, 1);
    file->addWidget(cmdBrowse);
    auto* strip = new QHBoxLayout;
    strip->addStretch();
    strip->addWidget(cmdImport);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(file);
    outer->addStretch();
    outer->addLayout(strip);
}

void frmAddDamage::cmdBrowse_Click()
{
    dlg::FileCall call;
    call.caption = QStringLiteral("Damage File");
    call.startFolder = rt::AppPath();
    call.fileName = Text1->text();
    call.filter = QStringLiteral("Damage files (*.xml);;All files (*)");
    const QString chosen = dlg::GetOpenFileName(this, call);
    if (!chosen.isEmpty())
        Text1->setText(chosen);
}

void frmAddDamage::cmdImport_Click()
{
    // The import reports its own problems; whatever it did, the dialog closes.
    RunGuarded([this] { ImportDamage(Text1->text(), nRaceNo); });
    Close(QDialog::Accepted);
}
