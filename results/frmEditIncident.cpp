#include "frmEditIncident.h"

#include "ControlTexts.h"
#include "Database.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "TextLimit.h"
#include "frmRaceResult.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace {

const QString kTitle = QStringLiteral("Edit Penalties");

} // namespace

frmEditIncident::frmEditIncident(QWidget* parent)
    : ResultDialog(parent)
{
    setObjectName(QStringLiteral("frmEditIncident"));
    setWindowTitle(QStringLiteral("Edit Incident"));

    Text1_0 = new QLineEdit(this);
    Text1_0->setObjectName(QStringLiteral("Text1(0)"));
    Text1_1 = new QLineEdit(this);
    Text1_1->setObjectName(QStringLiteral("Text1(1)"));
    for (QLineEdit* box : {Text1_0, Text1_1}) {
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::ClickFocus);   // not in the tab order
    }
    Text1_2 = new QLineEdit(this);
    Text1_2->setObjectName(QStringLiteral("Text1(2)"));
    Text1_3 = new HeldTextEdit(kCommentLength, this);
    Text1_3->setObjectName(QStringLiteral("Text1(3)"));
    Text1_3->setTabChangesFocus(true);
    Text1_3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1_0->setFixedWidth(TwipsToPixels(780));
    Text1_1->setMinimumWidth(TwipsToPixels(3375));
    Text1_2->setFixedWidth(TwipsToPixels(780));
    Text1_3->setMinimumSize(TwipsToPixels(3420), TwipsToPixels(1245));

    auto* fields = new QGridLayout;
    const struct {
        const char* text;
        QWidget* box;
    } rows[] = {{"Position:", Text1_0}, {"Driver:", Text1_1}, {"Points:", Text1_2}, {"Comment:", Text1_3}};
    for (int r = 0; r < 4; ++r) {
        auto* label = new QLabel(QString::fromLatin1(rows[r].text), this);
        label->setBuddy(rows[r].box);
        fields->addWidget(label, r, 0, Qt::AlignTop);
        fields->addWidget(rows[r].box, r, 1, Qt::AlignLeft);
    }

    cmdUpdate = MakeButton(QStringLiteral("&Ok"), QStringLiteral("cmdUpdate"));
    cmdCancel = MakeButton(QStringLiteral("&Cancel"), QStringLiteral("cmdCancel"));
    connect(cmdUpdate, &QPushButton::clicked, this, &frmEditIncident::cmdUpdate_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmEditIncident::cmdCancel_Click);
    auto* strip = new QHBoxLayout;
    strip->addStretch();
    strip->addWidget(cmdUpdate);
    strip->addStretch();
    strip->addWidget(cmdCancel);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(fields);
    outer->addStretch();
    outer->addLayout(strip);
    resize(TwipsToPixels(4905), TwipsToPixels(3030));

    setTabOrder(Text1_2, Text1_3);
    setTabOrder(Text1_3, cmdUpdate);
    setTabOrder(cmdUpdate, cmdCancel);
}

QList<QWidget*> frmEditIncident::Boxes() const
{
    return {Text1_0, Text1_1, Text1_2, Text1_3};
}

bool frmEditIncident::Form_Load()
{
    auto line = dbMain->openRecordset(QStringLiteral("SELECT * ") + QStringLiteral("FROM Score ")
                                          + QStringLiteral("WHERE RaceID = ? AND Posi = ? ORDER BY DriverID"),
                                      {nRace, nPos});
    if (line->eof())
        return false;
    auto penalty = dbMain->openRecordset(QStringLiteral("SELECT * FROM Penalties ")
                                             + QStringLiteral("WHERE Division = ? AND RaceID = ? AND Posi = ?"),
                                         {sDivision, nRace, nPos});
    m_hasRow = !penalty->eof();
    bEditMode = m_hasRow;
    Text1_0->setText(QString::number(nPos));
    Text1_1->setText(sName);
    if (m_hasRow) {
        m_stored = qint64(rt::RoundHalfEven(rt::Val(penalty->field(QStringLiteral("Points")))));
        Text1_2->setText(QString::number(m_stored));
    } else {
        Text1_2->setText(QStringLiteral("0"));
    }
    // A longer text an older version stored is shown whole.
    Text1_3->setLoadedText(m_hasRow ? penalty->text(QStringLiteral("Comment")) : QString());
    m_loadedComment = Text1_3->toPlainText();
    m_saved = SaveControlTexts(Boxes());
    Text1_2->setFocus();
    return true;
}

bool frmEditIncident::CommentEdited() const
{
    // An untouched comment is left as stored, line breaks and length and
    // all, though the box shows a CR LF as one break.
    return Text1_3->toPlainText() != m_loadedComment;
}

void frmEditIncident::cmdUpdate_Click()
{
    const QString typed = rt::Trim(Text1_2->text());
    double value = 0;
    if (!typed.isEmpty()) {
        value = rt::Val(typed);
        if (!rt::IsNumeric(typed) || !std::isfinite(value) || std::fabs(value) > std::numeric_limits<qint32>::max()) {
            Refuse(QStringLiteral("Error: Field ") + QStringLiteral("Points:") + QStringLiteral(" must be numeric!"), kTitle,
                   Text1_2);
            return;
        }
    } else {
        Text1_2->setText(QStringLiteral("0"));
    }
    if (rt::Trim(Text1_3->toPlainText()).isEmpty()) {
        Refuse(QStringLiteral("Error: Must enter Incident Comment!"), kTitle, Text1_3);
        return;
    }
    // A longer stored comment is kept as it stands, but not rewritten longer
    // than the box takes.
    if (CommentEdited() && Text1_3->toPlainText().size() > kCommentLength) {
        Refuse(QStringLiteral("Error: Field Comment: takes at most %1 characters!").arg(kCommentLength), kTitle, Text1_3);
        return;
    }
    // One whole number is stored, applied to the line's points and
    // compared with 0, so the points follow the adjustment exactly.
    const qint64 points = qint64(rt::RoundHalfEven(value));
    const bool changed = ControlsChanged(Boxes(), m_saved, 3);
    if (!Commit([&] { Save(points, changed); }))
        return;
    RefreshRaceResult([](frmRaceResult& window) { window.FillGrids(); });
    Close(QDialog::Accepted);
}

void frmEditIncident::Save(qint64 points, bool changed)
{
    auto penalty = dbMain->openRecordset(QStringLiteral("SELECT * FROM Penalties ")
                                             + QStringLiteral("WHERE Division = ? AND RaceID = ? AND Posi = ?"),
                                         {sDivision, nRace, nPos});
    if (points != 0 && changed) {
        if (!penalty->eof()) {
            penalty->edit();
        } else {
            penalty->addNew();
            penalty->setField(QStringLiteral("Division"), sDivision);
            penalty->setField(QStringLiteral("RaceID"), nRace);
            penalty->setField(QStringLiteral("Posi"), nPos);
        }
        penalty->setField(QStringLiteral("Points"), points);
        if (CommentEdited())   // a new row's comment is never blank
            penalty->setField(QStringLiteral("Comment"), Text1_3->toPlainText());
        penalty->update();
    } else if (points == 0 && !penalty->eof()) {
        penalty->remove();
    }

    auto line = dbMain->openRecordset(QStringLiteral("SELECT * ") + QStringLiteral("FROM Score ")
                                          + QStringLiteral("WHERE RaceID = ? AND Posi = ? ORDER BY DriverID"),
                                      {nRace, nPos});
    line->edit();
    line->setField(QStringLiteral("Points"), qint64(rt::Val(line->field(QStringLiteral("Points")))) - m_stored + points);
    line->update();
}

void frmEditIncident::cmdCancel_Click()
{
    if (ControlsChanged(Boxes(), m_saved, 3) && !ConfirmLoseChanges())
        return;
    Close();
}
