#include "frmEditRace.h"

#include "ControlTexts.h"
#include "Database.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "frmChangeDriver.h"
#include "frmRaceResult.h"
#include "WindowDialogs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Edit Race Result");

enum Box { Position = 0, DriverId = 1, Laps = 2, Led = 3, Points = 4, Finish = 5, DriverName = 7 };

// A driver id held as text, read whole: through a double a long id would
// lose its last digits.
qint64 IdOf(const QString& text)
{
    return text.trimmed().toLongLong();
}

} // namespace

frmEditRace::frmEditRace(QWidget* parent)
    : ResultDialog(parent)
{
    setObjectName(QStringLiteral("frmEditRace"));
    setWindowTitle(kTitle);
    BuildControls();
}

void frmEditRace::BuildControls()
{
    for (int i = 0; i < kBoxes; ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("Text1(%1)").arg(i));
        Text1[i] = box;
    }
    Text1[Position]->setReadOnly(true);
    Text1[DriverId]->hide();
    Text1[6]->hide();
    Text1[DriverName]->setText(QStringLiteral("Driver Name"));
    for (int i : {Laps, Led, Points})
        Text1[i]->setText(QStringLiteral("0"));
    Text1[Finish]->setText(QStringLiteral("Provisional"));

    Driver = new QComboBox(this);
    Driver->setObjectName(QStringLiteral("Driver"));
    Command2 = MakeButton(QStringLiteral("C&hange"), QStringLiteral("Command2"));

    auto* fields = new QGridLayout;
    auto label = [&](const char* text, int row, QWidget* buddy) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->setBuddy(buddy);
        fields->addWidget(l, row, 0);
    };
    label("Position:", 0, Text1[Position]);
    fields->addWidget(Text1[Position], 0, 1);
    label("Driver:", 1, Text1[DriverName]);
    fields->addWidget(Text1[DriverName], 1, 1, 1, 2);
    fields->addWidget(Driver, 1, 1, 1, 2);   // the same place: one of the two is shown
    fields->addWidget(Command2, 1, 3);
    label("Laps:", 2, Text1[Laps]);
    fields->addWidget(Text1[Laps], 2, 1);
    label("Led:", 3, Text1[Led]);
    fields->addWidget(Text1[Led], 3, 1);
    label("Points:", 4, Text1[Points]);
    fields->addWidget(Text1[Points], 4, 1);
    label("Finish:", 5, Text1[Finish]);
    fields->addWidget(Text1[Finish], 5, 1, 1, 2);
    fields->setColumnStretch(2, 1);
    for (int i : {Position, Laps, Led, Points})
        Text1[i]->setFixedWidth(TwipsToPixels(780));
    for (QWidget* w : {static_cast<QWidget*>(Text1[DriverName]), static_cast<QWidget*>(Driver),
                       static_cast<QWidget*>(Text1[Finish])})
        w->setMinimumWidth(TwipsToPixels(2415));

    cmdUpdate = MakeButton(QStringLiteral("&Ok"), QStringLiteral("cmdUpdate"));
    Command1 = MakeButton(QStringLiteral("&Delete"), QStringLiteral("Command1"));
    cmdCancel = MakeButton(QStringLiteral("&Cancel"), QStringLiteral("cmdCancel"));
    connect(cmdUpdate, &QPushButton::clicked, this, &frmEditRace::cmdUpdate_Click);
    connect(Command1, &QPushButton::clicked, this, &frmEditRace::Command1_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmEditRace::cmdCancel_Click);
    connect(Command2, &QPushButton::clicked, this, &frmEditRace::Command2_Click);

    auto* strip = new QHBoxLayout;
    strip->addStretch();
    strip->addWidget(cmdUpdate);
    strip->addWidget(Command1);
    strip->addWidget(cmdCancel);
    for (QPushButton* b : {cmdUpdate, Command1, cmdCancel, Command2})
        b->setFixedSize(TwipsToPixels(975), TwipsToPixels(300));

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(fields);
    outer->addStretch();
    outer->addLayout(strip);
    resize(TwipsToPixels(4905), TwipsToPixels(2670));

    QWidget* order[] = {Text1[Position], Text1[DriverName], Driver, Text1[Laps], Text1[Led], Text1[Points],
                        Text1[Finish], Command2, cmdUpdate, Command1, cmdCancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QString frmEditRace::Box(int i) const
{
    return Text1[i]->text();
}

bool frmEditRace::Form_Load()
{
    m_editMode = bEditMode;
    AddDriversOutsideRace(Driver, lSelID);
    Driver->setCurrentIndex(-1);

    if (m_editMode) {
        auto line = OpenLine();
        if (line->eof())
            return false;
        static const char* const kColumns[] = {"Posi", "DriverID", "Laps", "Lead", "Points", "Finish"};
        for (int i = 0; i < 6; ++i)
            Text1[i]->setText(rt::Str(line->field(QString::fromLatin1(kColumns[i]))));
        m_lineDriver = line->integer(QStringLiteral("DriverID"));
        Text1[DriverName]->setText(GetDriverName());
        Text1[DriverName]->setReadOnly(true);
        Driver->hide();
        Driver->setEnabled(false);
        m_saved = SaveControlTexts({Text1[0], Text1[1], Text1[2], Text1[3], Text1[4], Text1[5], Text1[DriverName]});
    } else {
        Text1[DriverName]->hide();
        Text1[DriverName]->setEnabled(false);
        Command2->setEnabled(false);
        // Nothing stands behind a new line yet: there is nothing to delete.
        Command1->hide();
        Command1->setEnabled(false);
        const frmRaceResult* window = RaceResultWindow();
        Text1[Position]->setText(QString::number((window ? window->LastPos : 0) + 1));
    }
    return true;
}

std::unique_ptr<dao::Recordset> frmEditRace::OpenLine() const
{
    auto line = dbMain->openRecordset(QStringLiteral("SELECT * ") + QStringLiteral("FROM Score ")
                                          + QStringLiteral("WHERE RaceID = ? AND Posi = ? ORDER BY DriverID"),
                                      {lSelID, iPos});
    // Lines sharing a position: the one loaded is the one changed.
    if (m_lineDriver != 0)
        while (!line->eof() && line->integer(QStringLiteral("DriverID")) != m_lineDriver)
            line->moveNext();
    return line;
}

QString frmEditRace::GetDriverName() const
{
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT Name, OnlineID FROM Drivers WHERE DriverID = ?"),
                                    {IdOf(Box(DriverId))});
    if (rs->eof())
        return QStringLiteral("DRIVER NOT FOUND");
    return DriverShownName(rs->text(QStringLiteral("Name")), rs->text(QStringLiteral("OnlineID")));
}

bool frmEditRace::Changed(bool withName) const
{
    if (!m_editMode)
        return true;
    return ControlsChanged({Text1[0], Text1[1], Text1[2], Text1[3], Text1[4], Text1[5], Text1[DriverName]}, m_saved,
                           withName ? 6 : 5);
}

bool frmEditRace::Validate(qint64& laps, qint64& lead, qint64& points)
{
    if (rt::Trim(Box(Position)).isEmpty()) {
        Refuse(QStringLiteral("Error: Must enter Position"), kTitle, Text1[Position]);
        return false;
    }
    if (!m_editMode && Driver->currentIndex() < 0 && Box(DriverId).isEmpty()) {
        Refuse(QStringLiteral("Error: Must enter Driver"), kTitle, Driver);
        return false;
    }
    for (int i : {Laps, Led})
        if (rt::Trim(Box(i)).isEmpty())
            Text1[i]->setText(QStringLiteral("0"));
    if (rt::Trim(Box(Points)).isEmpty()) {
        Refuse(QStringLiteral("Error: Must enter Points"), kTitle, Text1[Points]);
        return false;
    }
    const struct {
        int box;
        const char* label;
        qint64* value;
    } numbers[] = {{Laps, "Laps:", &laps}, {Led, "Led:", &lead}, {Points, "Points:", &points}};
    for (const auto& n : numbers) {
        if (!ReadWhole(Box(n.box), *n.value)) {
            Refuse(QStringLiteral("Error: Field ") + QString::fromLatin1(n.label) + QStringLiteral(" must be numeric!"), kTitle,
                   Text1[n.box]);
            return false;
        }
    }
    if (rt::Trim(Box(Finish)).isEmpty()) {
        Refuse(QStringLiteral("Error: Must enter Finish"), kTitle, Text1[Finish]);
        return false;
    }
    return true;
}

void frmEditRace::cmdUpdate_Click()
{
    qint64 laps = 0, lead = 0, points = 0;
    if (!Validate(laps, lead, points))
        return;
    if (Changed(false)) {
        const bool saved = Commit([&] {
            if (m_editMode)
                SaveLine(laps, lead, points);
            else
                AddLine(laps, lead, points);
        });
        if (!saved)
            return;
    }
    RefreshWindow();
    Close(QDialog::Accepted);
}

// The values shown into the line being edited or added; the make is the
// driver's current one.
void frmEditRace::WriteLine(dao::Recordset& line, qint64 driver, qint64 laps, qint64 lead, qint64 points)
{
    line.setField(QStringLiteral("Posi"), rt::Val(Box(Position)));
    line.setField(QStringLiteral("DriverID"), driver);
    line.setField(QStringLiteral("Laps"), laps);
    line.setField(QStringLiteral("Lead"), lead);
    line.setField(QStringLiteral("Points"), points);
    line.setField(QStringLiteral("Finish"), Box(Finish));
    line.setField(QStringLiteral("Brand"), GetDriverBrand(driver));
}

// The line as shown; a new driver also brings his team of the current
// division and his make, and takes over the old driver's qualifying row.
void frmEditRace::SaveLine(qint64 laps, qint64 lead, qint64 points)
{
    const qint64 driver = IdOf(Box(DriverId));
    const bool newDriver = rt::Trim(Box(DriverId)) != rt::Trim(m_saved.value(DriverId).toString());
    auto line = OpenLine();
    line->edit();
    WriteLine(*line, driver, laps, lead, points);
    if (newDriver)
        line->setField(QStringLiteral("Team"), GetDriverTeam(driver, sCurDiv));
    line->update();

    if (newDriver) {
        // A line without a qualifying row has none to move.
        auto qualify = dbMain->openRecordset(QStringLiteral("SELECT * ") + QStringLiteral("FROM Qualify ")
                                                 + QStringLiteral("WHERE RaceID = ? AND DriverID = ?"),
                                             {lSelID, m_lineDriver});
        for (; !qualify->eof(); qualify->moveNext()) {
            qualify->edit();
            qualify->setField(QStringLiteral("DriverID"), driver);
            qualify->update();
        }
    }
}

// A provisional starter after the last line, with his qualifying row.
void frmEditRace::AddLine(qint64 laps, qint64 lead, qint64 points)
{
    if (Driver->currentIndex() >= 0)
        Text1[DriverId]->setText(QString::number(Driver->currentData().toLongLong()));
    const qint64 driver = IdOf(Box(DriverId));
    const double posi = rt::Val(Box(Position));

    auto line = dbMain->openRecordset(QStringLiteral("SELECT * FROM Score WHERE RaceID = ? AND 1 = 0"), {lSelID});
    line->addNew();
    line->setField(QStringLiteral("RaceID"), lSelID);
    line->setField(QStringLiteral("Division"), sCurDiv);
    line->setField(QStringLiteral("Interval"), QStringLiteral(" "));
    WriteLine(*line, driver, laps, lead, points);
    line->update();

    auto qualify = dbMain->openRecordset(QStringLiteral("Qualify"));
    qualify->addNew();
    qualify->setField(QStringLiteral("RaceID"), lSelID);
    qualify->setField(QStringLiteral("Pos"), posi);
    qualify->setField(QStringLiteral("DriverID"), driver);
    qualify->setField(QStringLiteral("Time"), QStringLiteral("0"));
    qualify->setField(QStringLiteral("Speed"), QStringLiteral("0"));
    qualify->update();
}

void frmEditRace::Command1_Click()
{
    if (!m_editMode)
        return;
    nAnswer = dlg::MsgBox(QStringLiteral("Are you sure you want to delete this line?") + QChar(13)
                              + QStringLiteral("Remember the race will not be re-areanged!"),
                          dlg::vbYesNo | dlg::vbCritical | dlg::vbDefaultButton2, QStringLiteral("Verify"));
    if (nAnswer != dlg::vbYes)
        return;
    const bool deleted = Commit([&] {
        // The driver stored in the line, even when a replacement was picked.
        dbMain->execute(QStringLiteral("DELETE FROM Qualify WHERE RaceID = ? AND DriverID = ?"), {lSelID, m_lineDriver});
        auto line = OpenLine();
        if (!line->eof())
            line->remove();
        // The position's penalty and damage belonged to this line: a line
        // added later at the position must not inherit them. They stay while
        // another line shares the position.
        if (dbMain->openRecordset(QStringLiteral("SELECT Posi FROM Score WHERE RaceID = ? AND Posi = ?"), {lSelID, iPos})->eof()) {
            dbMain->execute(QStringLiteral("DELETE FROM Penalties WHERE RaceID = ? AND Posi = ?"), {lSelID, iPos});
            dbMain->execute(QStringLiteral("DELETE FROM Damage WHERE RaceID = ? AND Posi = ?"), {lSelID, iPos});
        }
    });
    if (!deleted)
        return;
    RefreshWindow();
    Close(QDialog::Accepted);
}

void frmEditRace::Command2_Click()
{
    if (!m_editMode)
        return;
    frmChangeDriver change(this);
    change.setLine(nRaceNo, Box(DriverName));
    dlg::ExecDialog(&change);
    if (!change.newDriverID().isEmpty()) {
        Text1[DriverId]->setText(QString::number(IdOf(change.newDriverID())));
        Text1[DriverName]->setText(GetDriverName());
    }
}

void frmEditRace::cmdCancel_Click()
{
    if (Changed(true) && !ConfirmLoseChanges())
        return;
    Close();
}

void frmEditRace::RefreshWindow()
{
    RefreshRaceResult([](frmRaceResult& window) { window.FillGrids(); });
}
