#include "frmTeams.h"

#include "Database.h"
#include "Dialogs.h"
#include "DriverCombo.h"
#include "Forms.h"
#include "Recordset.h"
#include "State.h"
#include "TextLayout.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmTeams::frmTeams(qint64 teamId, const QString& division, QWidget* parent)
    : EditorDialog(parent)
{
    setObjectName(QStringLiteral("frmTeams"));
    setWindowTitle(QStringLiteral(" "));
    resize(TwipsToPixels(4680), TwipsToPixels(3900));

    auto* form = new QFormLayout;
    auto addRow = [&](int label, const QString& caption, QWidget* field) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QStringLiteral("lblLabels(%1)").arg(label));
        form->addRow(l, field);
    };
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setReadOnly(true);
    addRow(0, QStringLiteral("Division:"), Text2);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    trimOnFocus(Text1);
    addRow(1, QStringLiteral("Team Name:"), Text1);
    for (int i = 0; i < 6; ++i) {
        Drivers[i] = new DriverCombo(true, this);
        Drivers[i]->setObjectName(QStringLiteral("Drivers(%1)").arg(i));
        addRow(i + 2, QStringLiteral("Driver %1:").arg(i + 1), Drivers[i]);
    }
    layOut(form, QStringLiteral("cmdCancel"));
    connect(cmdUpdate, &QPushButton::clicked, this, [this] { cmdUpdate_Click(); });

    // Form_Load
    for (DriverCombo* slot : Drivers)
        slot->Fill();
    if (bEditMode) {
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM Teams WHERE TeamID = ?"), {teamId});
        if (rs->isEmpty()) {
            m_loaded = false;
            return;
        }
        m_teamId = rs->integer(QStringLiteral("TeamID"));
        m_div = rs->text(QStringLiteral("Division"));
        Text2->setText(GetDivisionName(m_div));
        Text1->setText(rs->text(QStringLiteral("Team_Name")));
        for (int i = 0; i < 6; ++i)
            Drivers[i]->setBoundValue(rs->integer(QStringLiteral("Driver_%1").arg(i + 1)));
    } else {
        m_teamId = 0;
        m_div = division;
        Text2->setText(division);
    }
    m_snapshot = currentValues();
}

QString frmTeams::GetDivisionName(const QString& id)
{
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT Name from Division WHERE ID = ?"), {id});
    // A division no longer there is shown by its id.
    return rs->isEmpty() ? id : rs->text(QStringLiteral("Name"));
}

QVariantList frmTeams::currentValues() const
{
    QVariantList values = {QString(), Text2->text(), Text1->text(), QString()};
    for (const DriverCombo* slot : Drivers)
        values << QString::number(slot->BoundValue());
    return values;
}

bool frmTeams::TeamChanged() const
{
    return ValuesChanged(m_snapshot, currentValues(), 9);
}

void frmTeams::UpdateScoredTeam(qint64 driverId)
{
    const qint64 scored = dbMain->scalar(QStringLiteral("SELECT COUNT(*) FROM Score WHERE DriverID = %1 AND Division = %2")
                                             .arg(driverId)
                                             .arg(dao::quote(m_div)))
                              .toLongLong();
    if (scored == 0)
        return;
    if (!m_yesGiven) {
        nAnswer = dlg::MsgBox(QStringLiteral("Do you want update the Driver info in the races already scored?"),
                              dlg::vbYesNo | dlg::vbQuestion | dlg::vbDefaultButton2, QStringLiteral("Verify"));
        if (nAnswer != dlg::vbYes)
            return;
        m_yesGiven = true;
    }
    dbMain->execute(QStringLiteral("UPDATE SCORE SET Team = ? WHERE DriverID = ? AND Division = ?"),
                    {m_teamId, driverId, m_div});
}

void frmTeams::cmdUpdate_Click()
{
    const bool changed = TeamChanged();
    QVariantList seats;
    for (const DriverCombo* slot : Drivers)
        seats << slot->BoundValue();
    // The team row and the scored races it is carried into change together.
    try {
        dao::Transaction trans(*dbMain);
        if (bEditMode) {
            if (changed) {
                sSQL = QStringLiteral("UPDATE Teams SET Team_Name = ?, Driver_1 = ?, Driver_2 = ?, Driver_3 = ?, "
                                      "Driver_4 = ?, Driver_5 = ?, Driver_6 = ? WHERE TeamID = ?");
                dbMain->execute(sSQL, QVariantList{Text1->text()} + seats + QVariantList{m_teamId});
            }
        } else {
            sSQL = QStringLiteral("INSERT INTO Teams (Division,Team_Name,Driver_1,Driver_2,Driver_3,Driver_4,Driver_5,"
                                  "Driver_6) VALUES (?,?,?,?,?,?,?,?)");
            dbMain->execute(sSQL, QVariantList{m_div, Text1->text()} + seats);
            m_teamId = dbMain->lastInsertId();
        }
        m_yesGiven = false;
        if (changed) {
            QList<qint64> done;
            for (const QVariant& seat : seats) {
                const qint64 id = seat.toLongLong();
                if (id == 0 || done.contains(id))
                    continue;
                done << id;
                UpdateScoredTeam(id);
            }
        }
        trans.commit();
    } catch (const dao::DbError& e) {
        if (!bEditMode)
            m_teamId = 0;
        showError(e.description());
        return;
    }
    accept();
}
