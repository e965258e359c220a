#include "frmRaces.h"

#include "ControlTexts.h"
#include "Database.h"
#include "Dialogs.h"
#include "EarningsClass.h"
#include "EnterOnButtons.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "TextLimit.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace {

// Field index of each Races column that holds a whole number, with its label.
struct NumberField {
    int field;
    const char* label;
};
constexpr NumberField kWholeNumbers[] = {{7, "Flags"}, {8, "Laps"}, {9, "Lead Changes"}, {10, "Leaders"}};
constexpr int kPurse = 12;

bool IsWholeNumber(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^[+-]?[0-9]+$"));
    const QString t = text.trimmed();
    if (!re.match(t).hasMatch())
        return false;
    // The columns are long integers: a longer figure is refused, not wrapped.
    bool ok = false;
    const qint64 v = t.toLongLong(&ok);
    return ok && v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
}

// The purse as typed, without thousands separators and dollar signs.
QString CleanPurse(const QString& text)
{
    QString s = text;
    s.remove(QLatin1Char(','));
    s.remove(QLatin1Char('$'));
    return s;
}

} // namespace

frmRaces::frmRaces(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRaces"));
    setWindowTitle(QStringLiteral("Race Data"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setModal(true);
    BuildControls();
    m_editMode = bEditMode;
    if (m_editMode)
        LoadEdit();
    else
        LoadNew();
}

void frmRaces::BuildControls()
{
    // (field, label index, label text, longest text; 0 = no limit)
    struct Row {
        int field;
        int label;
        const char* text;
        int maxLength;
    };
    static const Row rows[] = {
        {1, 0, "Division:", 5},     {2, 1, "Race No:", 0},        {11, 12, "Name:", 50},
        {3, 2, "Venue:", 50},       {4, 3, "Race Date:", 10},     {6, 5, "Qual Weather:", 50},
        {5, 6, "Race Weather:", 50}, {7, 9, "Flags:", 0},         {8, 10, "Laps:", 0},
        {9, 7, "Lead Changes:", 5}, {10, 4, "Leaders:", 5},       {12, 13, "Purse:", 0},
    };

    for (int i = 0; i < kFields; ++i) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("txtFields(%1)").arg(i));
        edit->installEventFilter(this);
        txtFields[i] = edit;
    }
    HoldToLength(txtFields[0], 5);
    txtFields[0]->hide();

    auto* grid = new QGridLayout;
    auto place = [&](const Row& r, int gridRow, int gridCol, int colSpan = 1) {
        auto* label = new QLabel(QString::fromLatin1(r.text), this);
        label->setObjectName(QStringLiteral("lblLabels(%1)").arg(r.label));
        label->setBuddy(txtFields[r.field]);
        lblLabels[r.label] = label;
        if (r.maxLength > 0)
            HoldToLength(txtFields[r.field], r.maxLength);
        grid->addWidget(label, gridRow, gridCol);
        grid->addWidget(txtFields[r.field], gridRow, gridCol + 1, 1, colSpan);
    };
    // Division and race number, flags and laps, lead changes and leaders
    // share a line; the long texts take the whole width.
    place(rows[0], 0, 0);
    place(rows[1], 0, 2);
    for (int i = 2; i <= 6; ++i)
        place(rows[i], i - 1, 0, 3);
    place(rows[7], 6, 0);
    place(rows[8], 6, 2);
    place(rows[9], 7, 0);
    place(rows[10], 7, 2);
    place(rows[11], 8, 0);

    cmdUpdate = new QPushButton(QStringLiteral("&Ok"), this);
    cmdUpdate->setObjectName(QStringLiteral("cmdUpdate"));
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* b : {cmdUpdate, cmdCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        PressOnEnter(b);
    }
    connect(cmdUpdate, &QPushButton::clicked, this, &frmRaces::cmdUpdate_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmRaces::cmdCancel_Click);

    auto* picButtons = new QWidget(this);
    picButtons->setObjectName(QStringLiteral("picButtons"));
    picButtons->setFixedHeight(27);
    auto* strip = new QHBoxLayout(picButtons);
    strip->setContentsMargins(4, 0, 4, 0);
    strip->addWidget(cmdUpdate);
    strip->addStretch();
    strip->addWidget(cmdCancel);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addStretch();
    outer->addWidget(picButtons);
    resize(331, 288);

    const int order[] = {1, 2, 11, 3, 4, 6, 5, 7, 8, 12};
    QWidget* prev = txtFields[order[0]];
    for (int i = 1; i < 10; ++i) {
        setTabOrder(prev, txtFields[order[i]]);
        prev = txtFields[order[i]];
    }
    setTabOrder(prev, cmdUpdate);
    setTabOrder(cmdUpdate, cmdCancel);
    setTabOrder(cmdCancel, txtFields[9]);
    setTabOrder(txtFields[9], txtFields[10]);
}

QString frmRaces::Field(int i) const
{
    return txtFields[i]->text();
}

void frmRaces::LoadEdit()
{
    txtFields[1]->setEnabled(false);
    txtFields[2]->setEnabled(false);
    m_saved.clear();
    try {
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM Races WHERE ID = ?"), {lSelID});
        if (rs->eof()) {
            dlg::MsgBox(QStringLiteral("The race cannot be found; it may have been deleted."), dlg::vbCritical);
            cmdUpdate->setEnabled(false);
            return;
        }
        for (int i = 0; i < kFields && i < rs->fieldCount(); ++i) {
            const QString text = rt::Str(rs->field(i));
            // The limits are for typing: a longer stored text (the page's
            // date and weather) is shown and kept whole.
            SetLoadedText(txtFields[i], text);
            m_saved.append(text);
        }
        m_raceId = rs->integer(QStringLiteral("ID"));
    } catch (const dao::DbError& e) {
        dlg::MsgBox(e.description());
        cmdUpdate->setEnabled(false);
    }
}

void frmRaces::LoadNew()
{
    // Only the race number, name, venue and date of a new race can be typed.
    for (int i : {0, 1, 5, 6, 7, 8, 9, 10, 12})
        txtFields[i]->setEnabled(false);
    for (int l : {0, 5, 6, 9, 10, 7, 4, 13})
        if (lblLabels[l])
            lblLabels[l]->setEnabled(false);
    txtFields[1]->setText(sCurDiv);
    // The snapshot of a new race is empty: any typed value is a change.
    m_saved.clear();
    for (int i = 0; i < kFields; ++i)
        m_saved.append(QStringLiteral(""));
}

bool frmRaces::RaceChanged() const
{
    QList<QWidget*> controls;
    for (QLineEdit* e : txtFields)
        controls.append(e);
    if (m_saved.size() < kFields)
        return false;
    return ControlsChanged(controls, m_saved, kFields - 1);
}

bool frmRaces::Validate()
{
    auto refuse = [this](int field, const QString& message) {
        dlg::MsgBox(message, dlg::vbCritical | dlg::vbOKOnly);
        txtFields[field]->setFocus();
        return false;
    };
    if (!m_editMode) {
        if (!rt::IsNumeric(Field(2)))
            return refuse(2, QStringLiteral("Race No must be a number."));
        return true;
    }
    for (const NumberField& n : kWholeNumbers)
        if (!IsWholeNumber(Field(n.field)))
            return refuse(n.field, QString::fromLatin1(n.label) + QStringLiteral(" must be a whole number."));
    // A purse beyond any real amount would overflow the whole-dollar purse
    // the earnings are computed from.
    if (!rt::IsNumeric(CleanPurse(Field(kPurse))) || std::fabs(rt::Val(CleanPurse(Field(kPurse)))) >= 1e15)
        return refuse(kPurse, QStringLiteral("Purse must be an amount, for example 15000 or $15,000.00."));
    return true;
}

bool frmRaces::PurseUnpaid() const
{
    if (!m_editMode || !(rt::Val(CleanPurse(Field(kPurse))) > 0))
        return false;
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT Count(*) AS Lines, Count(Score.Earnings) AS Paid ")
                                        + QStringLiteral("FROM Score INNER JOIN Division ON Score.Division = Division.ID ")
                                        + QStringLiteral("WHERE Score.RaceID = ? AND Division.Earnings <> 0"),
                                    {m_raceId});
    return rs->integer(QStringLiteral("Lines")) > 0 && rs->integer(QStringLiteral("Paid")) == 0;
}

void frmRaces::cmdUpdate_Click()
{
    try {
        const bool unpaid = PurseUnpaid();
        // An edit with nothing changed and nothing to pay just closes.
        if (m_editMode && !RaceChanged() && !unpaid) {
            m_closing = true;
            accept();
            return;
        }
        if (!Validate())
            return;
        if (m_editMode)
            SaveEdit(unpaid);
        else
            SaveNew();
    } catch (const dao::DbError& e) {
        dlg::MsgBox(e.description());
        return;
    }
    m_closing = true;
    accept();
}

void frmRaces::SaveNew()
{
    dbMain->execute(QStringLiteral("INSERT INTO Races (Division, RaceNo, RaceName, Venue, RaceDate, Purse) "
                                   "VALUES (?, ?, ?, ?, ?, 0)"),
                    {Field(1), Field(2), Field(11), Field(3), Field(4)});
}

void frmRaces::SaveEdit(bool unpaid)
{
    const QString purse = CleanPurse(Field(kPurse));
    const double purseValue = rt::Val(purse);

    // The header, the earnings and the bonuses are saved together or not at all.
    dao::Transaction transaction(*dbMain);
    sSQL = QStringLiteral("UPDATE Races SET Division = ?, RaceNo = ?, Venue = ?, RaceDate = ?, Weather = ?,"
                          " QWeather = ?, Flags = ?, Flagsq = ?, Changes = ?, Leader = ?, RaceName = ?,"
                          " Purse = ? WHERE ID = ?");
    if (RaceChanged())
        dbMain->execute(sSQL, {Field(1), Field(2), Field(3), Field(4), Field(5), Field(6),
                               static_cast<qint64>(rt::Val(Field(7))), static_cast<qint64>(rt::Val(Field(8))),
                               static_cast<qint64>(rt::Val(Field(9))), static_cast<qint64>(rt::Val(Field(10))),
                               Field(11), purseValue, m_raceId});

    const bool purseChanged = Field(kPurse) != QLatin1String("0")
        && rt::Trim(Field(kPurse)) != rt::Trim(m_saved.value(kPurse).toString());
    if (purseChanged || unpaid) {
        sCurDiv = rt::Trim(Field(1));
        LoadDivisionSettings(sCurDiv);
        if (purseValue > 0 && bEarnings)
            EarningsClass::PayPurse(m_raceId, purseValue);
    }
    transaction.commit();
}

void frmRaces::cmdCancel_Click()
{
    if (RaceChanged()) {
        nAnswer = dlg::MsgBox(QStringLiteral("All changes will be lost, do you want to continue"),
                              dlg::vbYesNo | dlg::vbQuestion | dlg::vbDefaultButton2, QStringLiteral("Verify"));
        if (nAnswer == dlg::vbNo)
            return;
    }
    m_closing = true;
    QDialog::reject();
}

void frmRaces::reject()
{
    if (m_closing) {
        QDialog::reject();
        return;
    }
    cmdCancel_Click();
}

bool frmRaces::eventFilter(QObject* watched, QEvent* event)
{
    if (FocusInWithoutSelecting(watched, event))
        return true;
    if (event->type() == QEvent::FocusIn) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
            const QString trimmed = rt::RTrim(edit->text());
            if (trimmed != edit->text())
                edit->setText(trimmed);
        }
    }
    return QDialog::eventFilter(watched, event);
}
