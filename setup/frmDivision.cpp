#include "frmDivision.h"

#include "Database.h"
#include "LookupControls.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "TextLayout.h"
#include "TextLimit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

const QStringList& frmDivision::PointSystemNames()
{
    static const QStringList names = {
        QStringLiteral("NASCAR Classic"), QStringLiteral("NASCAR 2004"), QStringLiteral("IROC"),
        QStringLiteral("TRANS AM"),       QStringLiteral("BTTC"),        QStringLiteral("ASSUIE V8"),
        QStringLiteral("Other"),          QStringLiteral("NASCAR 2007"),
    };
    return names;
}

const QStringList& frmDivision::PointSystemListOrder()
{
    static const QStringList names = {
        QStringLiteral("NASCAR Classic"), QStringLiteral("NASCAR 2004"), QStringLiteral("IROC"),
        QStringLiteral("TRANS AM"),       QStringLiteral("NASCAR 2007"), QStringLiteral("BTTC"),
        QStringLiteral("ASSUIE V8"),      QStringLiteral("Other"),
    };
    return names;
}

static const QString kOther = QStringLiteral("Other");

frmDivision::frmDivision(QWidget* parent)
    : EditorDialog(parent)
{
    setObjectName(QStringLiteral("frmDivision"));
    setWindowTitle(QStringLiteral("Division Data"));
    resize(362, 335);

    auto* form = new QFormLayout;
    auto addRow = [&](const QString& label, QWidget* field) {
        auto* l = new QLabel(label, this);
        form->addRow(l, field);
        return l;
    };
    auto makeText = [&](int i, int limit) {
        txtFields[i] = new QLineEdit(this);
        txtFields[i]->setObjectName(QStringLiteral("txtFields(%1)").arg(i));
        HoldToLength(txtFields[i], limit);
        trimOnFocus(txtFields[i]);
        return txtFields[i];
    };
    auto makeCheck = [&](int i) {
        Check1[i] = new QCheckBox(this);
        Check1[i]->setObjectName(QStringLiteral("Check1(%1)").arg(i));
        return Check1[i];
    };
    auto makeCombo = [&](const char* name) {
        auto* c = new QComboBox(this);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };

    // Rows in tab order.
    addRow(QStringLiteral("ID:"), makeText(0, 5));
    addRow(QStringLiteral("Name:"), makeText(1, 30));
    addRow(QStringLiteral("Records Key:"), makeText(2, 2));
    addRow(QStringLiteral("Car Numbers:"), makeCheck(0));
    addRow(QStringLiteral("Manufacturer Points:"), makeCheck(1));
    addRow(QStringLiteral("Earnings:"), makeCheck(4));
    addRow(QStringLiteral("Teams Points:"), TeamsP = makeCombo("TeamsP"));
    addRow(QStringLiteral("Rookie Points:"), makeCheck(3));
    addRow(QStringLiteral("Non Points:"), makeCheck(5));
    addRow(QStringLiteral("Earnings File:"), makeText(5, 50));
    addRow(QStringLiteral("Points Division:"), DivName = makeCombo("DivName"));
    addRow(QStringLiteral("Points System:"), Points = makeCombo("Points"));
    lblPointsFile = addRow(QStringLiteral("Points File:"), makeText(6, 50));
    addRow(QStringLiteral("Drop Races:"), makeText(4, 5));
    makeText(3, 5)->hide();   // PointsID

    layOut(form, QStringLiteral("cmdCancel"));
    // Esc cancels from the boxes and buttons, not from the drop-down lists.
    for (QComboBox* list : {TeamsP, DivName, Points})
        escapeDoesNothingIn(list);

    connect(cmdUpdate, &QPushButton::clicked, this, &frmDivision::cmdUpdate_Click);
    connect(Check1[5], &QCheckBox::toggled, this, &frmDivision::Check1_Click);
    connect(DivName, &QComboBox::activated, this, &frmDivision::DivName_Click);
    connect(Points, &QComboBox::currentIndexChanged, this, &frmDivision::Points_Click);

    // Form_Load
    TeamsP->addItems({QStringLiteral("No"), QStringLiteral("Tarvik"), QStringLiteral("SUM Points")});
    TeamsP->setCurrentIndex(-1);
    Points->addItems(PointSystemListOrder());
    Points->setCurrentIndex(Points->findText(PointSystemNames().at(0)));
    Points_Click();

    if (bEditMode) {
        m_key = vSelKey.toString();
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM Division WHERE ID = ?"), {m_key});
        if (rs->isEmpty()) {
            m_loaded = false;
        } else {
            // The boxes' lengths are for typing: a wider text an older
            // version stored is shown, and kept, whole.
            SetLoadedText(txtFields[0], m_key);
            txtFields[0]->setEnabled(false);
            // Without the blank the name is stored with, which Ok adds again,
            // so the box takes no more than a name may have.
            SetLoadedText(txtFields[1], rt::RTrim(rs->text(QStringLiteral("Name"))));
            SetLoadedText(txtFields[2], rt::Str(rs->field(QStringLiteral("RecordID"))));
            SetLoadedText(txtFields[3], rs->text(QStringLiteral("PointsID")));
            SetLoadedText(txtFields[4], rt::Str(rs->field(QStringLiteral("Drop"))));
            SetLoadedText(txtFields[5], rs->text(QStringLiteral("EarningsFile")));
            SetLoadedText(txtFields[6], rs->text(QStringLiteral("PointSystemFile")));
            Check1[0]->setChecked(rs->flag(QStringLiteral("Numbers")));
            Check1[1]->setChecked(rs->flag(QStringLiteral("Brands")));
            Check1[3]->setChecked(rs->flag(QStringLiteral("Roty")));
            Check1[4]->setChecked(rs->flag(QStringLiteral("Earnings")));
            Check1[5]->setChecked(rs->flag(QStringLiteral("NonPoints")));
            // A stored number outside the presets leaves "NASCAR Classic" shown.
            const qint64 system = rs->integer(QStringLiteral("PointSystem"));
            if (system >= 1 && system <= PointSystemNames().size())
                Points->setCurrentIndex(Points->findText(PointSystemNames().at(system - 1)));
            TeamsP->setCurrentIndex(TeamsP->findText(TeamsModeText(rs->integer(QStringLiteral("Teams"), -1))));
        }
        rs->close();
    }
    vOldValues = currentValues();

    FillDivisionNames(DivName);
    DivName->setCurrentIndex(-1);
    Form_Activate();
}

void frmDivision::Form_Activate()
{
    if (!txtFields[3]->text().isEmpty()) {
        const int i = DivName->findData(txtFields[3]->text());
        if (i >= 0)
            DivName->setCurrentIndex(i);
    }
    if (!Check1[5]->isChecked())
        DivName->setEnabled(false);
}

void frmDivision::Check1_Click(bool checked)
{
    DivName->setEnabled(checked);
    if (!checked)
        txtFields[3]->clear();   // the list keeps showing its last choice
}

void frmDivision::DivName_Click(int index)
{
    if (index >= 0 && index < DivName->count())
        SetLoadedText(txtFields[3], DivName->itemData(index).toString());
}

void frmDivision::Points_Click()
{
    const bool other = Points->currentText() == kOther;
    txtFields[6]->setEnabled(other);
    lblPointsFile->setEnabled(other);
    if (!other)
        txtFields[6]->clear();
}

QString frmDivision::TeamsModeText(qint64 mode)
{
    switch (mode) {
    case 0: return QStringLiteral("No");
    case 1: return QStringLiteral("Tarvik");
    case 2: return QStringLiteral("SUM Points");
    default: return QString();
    }
}

int frmDivision::TeamsModeValue(const QString& text)
{
    if (text == QLatin1String("Tarvik"))
        return 1;
    if (text == QLatin1String("SUM Points"))
        return 2;
    return 0;
}

int frmDivision::PointSystemIndex() const
{
    return PointSystemNames().indexOf(Points->currentText()) + 1;
}

QVariantList frmDivision::currentValues() const
{
    QVariantList v;
    for (QLineEdit* box : txtFields)
        v << box->text();
    for (int i : {0, 1, 3, 4, 5})
        v << QString::number(Check1[i]->isChecked() ? 1 : 0);
    v << Points->currentText() << TeamsP->currentText();
    return v;
}

bool frmDivision::DivisionChanged()
{
    const QVariantList cur = currentValues();
    return ValuesChanged(vOldValues, cur, int(cur.size()) - 1);
}

void frmDivision::cmdUpdate_Click()
{
    if (rt::Trim(txtFields[2]->text()).isEmpty())
        txtFields[2]->setText(QStringLiteral("0"));
    qint64 recordKey = 0;
    if (!ReadWhole(txtFields[2]->text(), recordKey)) {
        refuse(QStringLiteral("Record Key must be numeric"), txtFields[2]);
        return;
    }
    if (txtFields[0]->text() == txtFields[3]->text()) {
        refuse(QStringLiteral("Points division cannot be the same!"), txtFields[2]);
        return;
    }
    const QString id = txtFields[0]->text().trimmed();
    if (!bEditMode) {
        // The id is a key that every window quotes and trims: keep it plain.
        if (id.isEmpty()) {
            refuse(QStringLiteral("Division ID cannot be empty"), txtFields[0]);
            return;
        }
        if (id.contains(QLatin1Char('\'')) || id.contains(QLatin1Char(' ')) || id.contains(QLatin1Char('"'))) {
            refuse(QStringLiteral("Division ID cannot contain quotes or blanks"), txtFields[0]);
            return;
        }
        // Page and fragment names are made from the id.
        const QString fault = rt::FileNameFault(id);
        if (!fault.isEmpty()) {
            refuse(QStringLiteral("Division ID cannot contain ") + fault, txtFields[0]);
            return;
        }
        if (id == QLatin1String(".") || id == QLatin1String("..")) {
            refuse(QStringLiteral("Division ID cannot be . or .."), txtFields[0]);
            return;
        }
    }
    if (rt::Trim(txtFields[4]->text()).isEmpty())
        txtFields[4]->setText(QStringLiteral("0"));
    qint64 drop = 0;
    if (!ReadWhole(txtFields[4]->text(), drop) || drop < 0 || drop > 32767) {
        refuse(QStringLiteral("Drop Races must be a whole number, 0 or more"), txtFields[4]);
        return;
    }

    auto check = [this](int i) { return Check1[i]->isChecked() ? 1 : 0; };
    const int teams = TeamsModeValue(TeamsP->currentText());
    const int system = PointSystemIndex();
    try {
        if (bEditMode) {
            if (DivisionChanged()) {
                sSQL = QStringLiteral("UPDATE Division SET Name = ?, RecordID = ?, PointsID = ?, [Drop] = ?, "
                                      "Numbers = ?, Brands = ?, Teams = ?, Roty = ?, Earnings = ?, "
                                      "EarningsFile = ?, NonPoints = ?, PointSystem = ?, PointSystemFile = ? "
                                      "WHERE ID = ?");
                // The name is stored with one blank after it; the blank it was
                // loaded with is not kept, or each save would add one more.
                dbMain->execute(sSQL, {rt::RTrim(txtFields[1]->text()) + QLatin1Char(' '), recordKey, txtFields[3]->text(),
                                       drop, check(0), check(1), teams, check(3), check(4), txtFields[5]->text(),
                                       check(5), system, txtFields[6]->text(), m_key});
            }
        } else {
            if (txtFields[3]->text().isEmpty())
                txtFields[3]->setText(QStringLiteral(" "));
            sSQL = QStringLiteral("INSERT INTO Division (ID, Name, RecordID, Numbers, Brands, Teams, Roty, "
                                  "Earnings, EarningsFile, NonPoints, PointsID, PointSystem, PointSystemFile, "
                                  "[Drop]) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
            dbMain->execute(sSQL, {id, txtFields[1]->text(), recordKey, check(0), check(1), teams, check(3),
                                   check(4), txtFields[5]->text(), check(5), txtFields[3]->text(), system,
                                   txtFields[6]->text(), drop});
        }
        accept();
    } catch (const dao::DbError& e) {
        showError(e.description());
    }
}
