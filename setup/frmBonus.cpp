#include "frmBonus.h"

#include "Database.h"
#include "Dialogs.h"
#include "DriverCombo.h"
#include "Forms.h"
#include "MaskEdBox.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "TextLayout.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

frmBonus::frmBonus(qint64 bonusId, const QString& division, QWidget* parent)
    : EditorDialog(parent)
    , m_div(division)
{
    setObjectName(QStringLiteral("frmBonus"));
    setWindowTitle(QStringLiteral("Bonus Earnings"));
    resize(TwipsToPixels(4110), TwipsToPixels(1485));

    auto* form = new QFormLayout;
    DBCombo2 = new DriverCombo(false, this);
    DBCombo2->setObjectName(QStringLiteral("DBCombo2"));
    auto* driverLabel = new QLabel(QStringLiteral("Driver :"), this);
    driverLabel->setObjectName(QStringLiteral("lblLabels(2)"));
    form->addRow(driverLabel, DBCombo2);
    MaskEdBox1 = new MaskEdBox(this);
    MaskEdBox1->setObjectName(QStringLiteral("MaskEdBox1"));
    MaskEdBox1->setFormat(QString::fromLatin1(rt::kAmountFormat));
    auto* amountLabel = new QLabel(QStringLiteral("Bonus :"), this);
    amountLabel->setObjectName(QStringLiteral("lblLabels(1)"));
    form->addRow(amountLabel, MaskEdBox1);
    layOut(form, QStringLiteral("cmdCancel"));
    // Enter anywhere runs OK.
    cmdUpdate->setAutoDefault(true);
    cmdUpdate->setDefault(true);
    connect(cmdUpdate, &QPushButton::clicked, this, [this] { cmdUpdate_Click(); });

    // Form_Load
    DBCombo2->Fill();
    if (bEditMode) {
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM Bonus WHERE ID = ?"), {bonusId});
        if (rs->isEmpty()) {
            m_loaded = false;
            return;
        }
        m_id = rs->integer(QStringLiteral("ID"));
        m_div = rs->text(QStringLiteral("DivID"));
        DBCombo2->setBoundValue(rs->integer(QStringLiteral("DriverID")));
        DBCombo2->setEnabled(false);
        MaskEdBox1->setText(rt::Str(rs->field(QStringLiteral("Bonus"))));
    }
    m_snapshot = {QString(), MaskEdBox1->Text().trimmed()};
}

bool frmBonus::BonusChanged() const
{
    return ValuesChanged(m_snapshot, {QString(), MaskEdBox1->Text().trimmed()}, 1);
}

void frmBonus::cmdUpdate_Click()
{
    if (bEditMode && !BonusChanged()) {
        accept();
        return;
    }
    const qint64 driver = DBCombo2->BoundValue();
    if (!bEditMode && driver == 0) {
        refuse(QStringLiteral("A Driver must be selected!"), DBCombo2);
        return;
    }
    double amount = 0;
    if (MaskEdBox1->Text().trimmed().isEmpty() || !MaskEdBox1->Value(amount)) {
        refuse(QStringLiteral("Bonus must be an amount, for example 250 or $1,000.00."), MaskEdBox1);
        return;
    }
    try {
        if (bEditMode) {
            dbMain->execute(QStringLiteral("UPDATE Bonus SET Bonus = ? WHERE ID = ?"), {amount, m_id});
        } else {
            // The bonus calculation pays only one amount per driver and division.
            const qint64 existing = dbMain->scalar(QStringLiteral("SELECT COUNT(*) FROM Bonus WHERE DivID = %1 AND DriverID = %2")
                                                       .arg(dao::quote(m_div))
                                                       .arg(driver))
                                        .toLongLong();
            if (existing > 0) {
                refuse(QStringLiteral("This driver already has a bonus amount in this division; edit that amount instead."),
                       DBCombo2);
                return;
            }
            dbMain->execute(QStringLiteral("INSERT INTO Bonus(DivID,DriverID,Bonus) VALUES (?,?,?)"), {m_div, driver, amount});
        }
    } catch (const dao::DbError& e) {
        showError(e.description());
        return;
    }
    accept();
}
