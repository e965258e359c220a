#include "frmDrivers.h"

#include "Database.h"
#include "Recordset.h"
#include "State.h"
#include "TextLayout.h"
#include "TextLimit.h"
#include "TypedNames.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmDrivers::frmDrivers(QWidget* parent)
    : EditorDialog(parent)
{
    setObjectName(QStringLiteral("frmDrivers"));
    setWindowTitle(QStringLiteral("Driver Data"));
    resize(331, 149);

    static const char* const labels[] = {"Online ID:", "Name:", "Number:", "Car Make:"};
    static const int limits[] = {20, 30, 3};
    static const int widths[] = {120, 225, 36};

    auto* form = new QFormLayout;
    for (int i = 0; i < 3; ++i) {
        txtFields[i] = new QLineEdit(this);
        txtFields[i]->setObjectName(QStringLiteral("txtFields(%1)").arg(i));
        HoldToLength(txtFields[i], limits[i]);
        txtFields[i]->setFixedWidth(widths[i]);
        trimOnFocus(txtFields[i]);
        auto* label = new QLabel(QString::fromLatin1(labels[i]), this);
        label->setObjectName(QStringLiteral("lblLabels(%1)").arg(i));
        form->addRow(label, txtFields[i]);
    }
    CarMake = new QComboBox(this);
    CarMake->setObjectName(QStringLiteral("CarMake"));
    CarMake->setEditable(true);
    CarMake->setInsertPolicy(QComboBox::NoInsert);
    // A make typed in another letter case is a make of its own: left
    // case-blind, the box would put the listed spelling back on leaving it.
    CompleteWithoutReplacingNames(CarMake, Qt::CaseSensitive);
    HoldToLength(CarMake->lineEdit(), 50);   // the width of Drivers.Brand
    CarMake->setFixedWidth(106);
    auto* makeLabel = new QLabel(QString::fromLatin1(labels[3]), this);
    makeLabel->setObjectName(QStringLiteral("lblLabels(3)"));
    form->addRow(makeLabel, CarMake);

    layOut(form, QStringLiteral("cmdCancel"));
    // Esc cancels from the fields and the make box, not from the buttons.
    escapeDoesNothingIn(cmdUpdate);
    escapeDoesNothingIn(findChild<QPushButton*>(QStringLiteral("cmdCancel")));

    connect(cmdUpdate, &QPushButton::clicked, this, &frmDrivers::cmdUpdate_Click);

    // Form_Load
    CarMake->addItems({QStringLiteral("Chevrolet"), QStringLiteral("Ford"), QStringLiteral("Pontiac"),
                       QStringLiteral("Dodge"), QStringLiteral("Toyota")});
    CarMake->setCurrentIndex(-1);
    CarMake->setEditText(QString());
    if (bEditMode) {
        m_driverId = vSelKey.toString().trimmed().toLongLong();
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM Drivers WHERE DriverID = ?"), {m_driverId});
        if (rs->isEmpty()) {
            m_loaded = false;
        } else {
            // The import stores a result page's names whole, whatever their length.
            SetLoadedText(txtFields[0], rs->text(QStringLiteral("OnlineID")));
            SetLoadedText(txtFields[1], rs->text(QStringLiteral("Name")));
            SetLoadedText(txtFields[2], rs->text(QStringLiteral("Number")));
            SetLoadedText(CarMake->lineEdit(), rs->text(QStringLiteral("Brand")));
        }
        rs->close();
    }
    m_snapshot = currentValues();
}

QVariantList frmDrivers::currentValues() const
{
    return {txtFields[0]->text(), txtFields[1]->text(), txtFields[2]->text(), CarMake->currentText(), QString()};
}

bool frmDrivers::didChange()
{
    return ValuesChanged(m_snapshot, currentValues(), 4);
}

void frmDrivers::cmdUpdate_Click()
{
    const QString number = txtFields[2]->text();
    double n = 0;
    if (!number.trimmed().isEmpty() && !ReadNumber(number, n)) {
        refuse(QStringLiteral("Number must be numeric"), txtFields[2]);
        return;
    }
    try {
        const QString online = txtFields[0]->text();
        const QString name = txtFields[1]->text();
        const QString make = CarMake->currentText();
        if (bEditMode) {
            if (didChange()) {
                sSQL = QStringLiteral("UPDATE Drivers SET OnlineID = ?, Name = ?, [Number] = ?, Brand = ? "
                                      "WHERE DriverID = ?");
                dbMain->execute(sSQL, {online, name, number, make, m_driverId});
            }
        } else {
            sSQL = QStringLiteral("INSERT INTO Drivers (OnlineID,[Number],Name,Brand) VALUES (?,?,?,?)");
            dbMain->execute(sSQL, {online, number, name, make});
        }
        accept();
    } catch (const dao::DbError& e) {
        showError(e.description());
    }
}
