#include "frmBonusAdd.h"

#include "Database.h"
#include "Forms.h"
#include "MSFlexGrid.h"
#include "MaskEdBox.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "frmRaceResult.h"

#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

frmBonusAdd::frmBonusAdd(QWidget* parent)
    : ResultDialog(parent)
{
    setObjectName(QStringLiteral("frmBonusAdd"));
    setWindowTitle(QStringLiteral("Additional Earnings"));

    Bonus = new MaskEdBox(this);
    Bonus->setObjectName(QStringLiteral("Bonus"));
    Bonus->setFormat(QString::fromLatin1(rt::kAmountFormat));
    Bonus->setFixedSize(TwipsToPixels(1800), TwipsToPixels(330));
    Command1 = MakeButton(QStringLiteral("&Ok"), QStringLiteral("Command1"));
    Command1->setFixedSize(TwipsToPixels(1170), TwipsToPixels(330));
    connect(Command1, &QPushButton::clicked, this, &frmBonusAdd::Command1_Click);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(Bonus, 0, Qt::AlignHCenter);
    outer->addWidget(Command1, 0, Qt::AlignHCenter);
    resize(TwipsToPixels(1980), TwipsToPixels(1050));
}

bool frmBonusAdd::Form_Load()
{
    frmRaceResult* window = RaceResultWindow();
    if (!window)
        return false;
    m_grid = window->Grid(8);
    // The row's own position, whatever its width on the line.
    m_posi = m_grid->RowData(m_grid->Row());
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT BonusAdd ") + QStringLiteral("FROM Score ")
                                        + QStringLiteral("WHERE RaceID = ? AND Posi = ? ORDER BY DriverID"),
                                    {lSelID, m_posi});
    if (rs->eof())
        return false;
    Bonus->setText(rs->isNull(QStringLiteral("BonusAdd")) ? QStringLiteral("0") : rt::Str(rs->field(QStringLiteral("BonusAdd"))));
    return true;
}

void frmBonusAdd::Command1_Click()
{
    double amount = 0;
    // Beyond any real amount the money column cannot hold it.
    if (!Bonus->Value(amount) || !std::isfinite(amount) || std::fabs(amount) >= 1e14) {
        Refuse(QStringLiteral("Error: Field Amount: must be numeric!"), QStringLiteral("Edit Race Result"), Bonus);
        return;
    }
    const bool saved = Commit([&] {
        auto line = dbMain->openRecordset(QStringLiteral("SELECT * ") + QStringLiteral("FROM Score ")
                                              + QStringLiteral("WHERE RaceID = ? AND Posi = ? ORDER BY DriverID"),
                                          {lSelID, m_posi});
        line->edit();
        line->setField(QStringLiteral("BonusAdd"), amount);
        line->update();
    });
    if (!saved)
        return;
    RefreshRaceResult([this](frmRaceResult& window) {
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT Posi, DriverID, Earnings, Bonus, BonusAdd ")
                                            + QStringLiteral("FROM Score ")
                                            + QStringLiteral("WHERE RaceID = ? AND Posi = ? ORDER BY DriverID"),
                                        {lSelID, m_posi});
        if (!rs->eof())
            window.LoadEarnLine(*rs, m_grid);
    });
    Close(QDialog::Accepted);
}
