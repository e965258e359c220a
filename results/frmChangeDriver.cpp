#include "frmChangeDriver.h"

#include "Forms.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmChangeDriver::frmChangeDriver(QWidget* parent)
    : ResultDialog(parent)
{
    setObjectName(QStringLiteral("frmChangeDriver"));
    setWindowTitle(QStringLiteral("Change Driver ID"));

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setMinimumWidth(TwipsToPixels(2340));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setMinimumWidth(TwipsToPixels(2415));

    auto* fields = new QGridLayout;
    auto* driverLabel = new QLabel(QStringLiteral("Driver:"), this);
    driverLabel->setBuddy(Text1);
    auto* replaceLabel = new QLabel(QStringLiteral("Replace with:"), this);
    replaceLabel->setBuddy(Combo1);
    fields->addWidget(driverLabel, 0, 0);
    fields->addWidget(Text1, 0, 1);
    fields->addWidget(replaceLabel, 1, 0);
    fields->addWidget(Combo1, 1, 1);

    cmdUpdate = MakeButton(QStringLiteral("&Ok"), QStringLiteral("cmdUpdate"));
    cmdCancel = MakeButton(QStringLiteral("&Cancel"), QStringLiteral("cmdCancel"));
    connect(cmdUpdate, &QPushButton::clicked, this, &frmChangeDriver::cmdUpdate_Click);
    connect(cmdCancel, &QPushButton::clicked, this, [this] { Close(); });

    auto* strip = new QHBoxLayout;
    strip->addWidget(cmdUpdate);
    strip->addStretch();
    strip->addWidget(cmdCancel);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(fields);
    outer->addStretch();
    outer->addLayout(strip);
    resize(TwipsToPixels(3930), TwipsToPixels(1455));
}

bool frmChangeDriver::Form_Load()
{
    m_newDriverID.clear();
    Combo1->addItem(QStringLiteral("<select>"), qint64(0));
    AddDriversOutsideRace(Combo1, nRaceNo);
    Combo1->setCurrentIndex(0);
    Text1->setText(oldDriverName);
    return true;
}

void frmChangeDriver::cmdUpdate_Click()
{
    const qint64 chosen = Combo1->currentIndex() < 0 ? 0 : Combo1->currentData().toLongLong();
    if (chosen == 0) {
        Refuse(QStringLiteral("Error: Must enter new Driver"), QStringLiteral("Edit Race Result"), Combo1);
        return;
    }
    m_newDriverID = QString::number(chosen);
    Close(QDialog::Accepted);
}
