#include "frmTracks.h"

#include "ControlTexts.h"
#include "Database.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "TextLimit.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmTracks::frmTracks(QWidget* parent)
    : EditorDialog(parent)
{
    setObjectName(QStringLiteral("frmTracks"));
    setWindowTitle(QStringLiteral("Tracks"));
    resize(413, 146);

    static const char* const labels[] = {"Short Name:", "Full Name:", "Miles:", "Type:"};
    static const int limits[] = {20, 50, 0, 0};
    static const int widths[] = {225, 273, 36, 36};

    auto* form = new QFormLayout;
    for (int i = 0; i < 4; ++i) {
        txtFields[i] = new QLineEdit(this);
        txtFields[i]->setObjectName(QStringLiteral("txtFields(%1)").arg(i));
        if (limits[i])
            HoldToLength(txtFields[i], limits[i]);
        txtFields[i]->setFixedWidth(widths[i]);
        auto* label = new QLabel(QString::fromLatin1(labels[i]), this);
        label->setObjectName(QStringLiteral("lblLabels(%1)").arg(i));
        form->addRow(label, txtFields[i]);
        m_fields << txtFields[i];
    }

    layOut(form, QStringLiteral("cmdClose"));

    connect(cmdUpdate, &QPushButton::clicked, this, &frmTracks::cmdUpdate_Click);

    // Form_Load
    if (bEditMode) {
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM Tracks WHERE ID = ?"),
                                        {vSelKey.toString().trimmed().toLongLong()});
        if (rs->isEmpty()) {
            m_loaded = false;
        } else {
            // The boxes' lengths are for typing: a wider text an older
            // version stored is shown, and kept, whole.
            SetLoadedText(txtFields[0], rs->text(QStringLiteral("ShortName")));
            SetLoadedText(txtFields[1], rs->text(QStringLiteral("FullName")));
            SetLoadedText(txtFields[2], rt::Str(rs->field(QStringLiteral("Miles"))));
            SetLoadedText(txtFields[3], rt::Str(rs->field(QStringLiteral("Type"))));
        }
        rs->close();
    }
    for (QLineEdit* box : txtFields)
        m_snapshot << rt::RTrim(box->text());
    m_snapshot << QString();
}

void frmTracks::keyPressEvent(QKeyEvent* event)
{
    // Esc is not a cancel key in this dialog.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    EditorDialog::keyPressEvent(event);
}

bool frmTracks::TrackChanged()
{
    return ControlsChanged(m_fields, m_snapshot, 3);
}

void frmTracks::cmdUpdate_Click()
{
    double miles = 0, type = 0;
    const QString milesText = txtFields[2]->text();
    const QString typeText = txtFields[3]->text();
    if (!milesText.trimmed().isEmpty() && !ReadNumber(milesText, miles)) {
        refuse(QStringLiteral("Miles must be numeric"), txtFields[2]);
        return;
    }
    if (!typeText.trimmed().isEmpty() && !ReadNumber(typeText, type)) {
        refuse(QStringLiteral("Type must be numeric"), txtFields[3]);
        return;
    }
    if (type < 0 || type > 4) {
        refuse(QStringLiteral("Values for Type can be: 0=Short track, 1=One Mile, 2=Speedway, "
                              "3=SuperSpeedway and 4=Road Course"),
               txtFields[3]);
        return;
    }
    // The type column holds whole numbers; a fraction is read as the
    // nearest one, ties to even, and an empty box as 0.
    const qint64 typeValue = static_cast<qint64>(rt::RoundHalfEven(type));
    try {
        if (bEditMode) {
            if (TrackChanged()) {
                sSQL = QStringLiteral("UPDATE Tracks SET ShortName = ?, FullName = ?, Miles = ?, [Type] = ? "
                                      "WHERE ID = ?");
                dbMain->execute(sSQL, {txtFields[0]->text(), txtFields[1]->text(), miles, typeValue,
                                       vSelKey.toString().trimmed().toLongLong()});
            }
        } else {
            sSQL = QStringLiteral("INSERT INTO Tracks (Shortname,Fullname,Miles,[Type]) VALUES (?,?,?,?)");
            dbMain->execute(sSQL, {txtFields[0]->text(), txtFields[1]->text(), miles, typeValue});
        }
        accept();
    } catch (const dao::DbError& e) {
        showError(e.description());
    }
}
