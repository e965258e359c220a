#include "frmRecords.h"

#include "Database.h"
#include "Dialogs.h"
#include "EnterOnButtons.h"
#include "Forms.h"
#include "LookupControls.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "WaitCursor.h"
#include "WindowSizing.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

const char* const frmRecords::kAllDivisions = "ALL  ";

namespace {

constexpr double kGridLeft = 105;
constexpr double kGridTop = 600;

const QString kQualifyLabel = QStringLiteral("Qualify Record    : ");
const QString kRaceLabel = QStringLiteral("Race Record       : ");
const QString kChampionLabel = QStringLiteral("Defending Champion: ");

// The winners of a venue's races in the divisions the mode covers; the
// order is the caller's.
QString winnersOf(bool allDivisions)
{
    return QStringLiteral("SELECT ") + DriverShownNameSql() + QStringLiteral(" AS Name, Score.Interval, Races.RaceDate ")
        + QStringLiteral("FROM ((Division INNER JOIN Races ON Division.ID = Races.Division) ")
        + QStringLiteral("INNER JOIN Score ON (Races.ID = Score.RaceID) AND (Division.ID = Score.Division)) ")
        + QStringLiteral("INNER JOIN Drivers ON Score.DriverID = Drivers.DriverID ")
        + QStringLiteral("WHERE Score.Posi = 1 AND Races.Venue = ? ")
        + (allDivisions ? QStringLiteral("AND Division.RecordID <> 0 ") : QStringLiteral("AND Division.RecordID = ? "));
}

} // namespace

frmRecords::frmRecords(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmRecords"));
    setWindowTitle(QStringLiteral("Race Records"));
    BuildControls();

    LoadWindowPlacement(this);

    ClearGrids();
    Grid1->setCurrentRow(0);

    {
        const QSignalBlocker block(DivName);
        FillDivisionNames(DivName);
        DivName->addItem(QStringLiteral("<<< ALL >>>"), QString::fromLatin1(kAllDivisions));
        DivName->setCurrentIndex(-1);
    }
}

void frmRecords::BuildControls()
{
    Label1 = new QLabel(QStringLiteral("Division:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(TwipsRect(150, 150, 855, 254));
    DivName = new QComboBox(this);
    DivName->setObjectName(QStringLiteral("DivName"));
    DivName->setGeometry(TwipsRect(945, 105, 3975, 315));
    Command1 = new QPushButton(QStringLiteral("&Save to File"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    PressOnEnter(Command1);
    Command1->setGeometry(TwipsRect(5100, 90, 1695, 345));

    Grid1 = new QListWidget(this);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid1->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::Monospace);
    fixed.setFixedPitch(true);
    Grid1->setFont(fixed);
    Grid1->move(TwipsToPixels(kGridLeft), TwipsToPixels(kGridTop));

    // A choice, even of the division already chosen, calculates again.
    connect(DivName, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { RunGuarded([&] { DivName_Click(index); }); });
    connect(Command1, &QPushButton::clicked, this, [this] { RunGuarded([&] { Command1_Click(); }); });
}

void frmRecords::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (PlacementAfterResize(this))
        SizeGrid();
}

void frmRecords::SizeGrid()
{
    Grid1->resize(SizeLess(width(), 225), SizeLess(height(), 1200));
}

void frmRecords::closeEvent(QCloseEvent* event)
{
    SaveFormPosition(this);
    event->accept();
}

void frmRecords::ClearGrids()
{
    Grid1->clear();
    m_lines.clear();
    const QString blank = QStringLiteral(" ");
    for (int r = 0; r < kGridRows; ++r) {
        Grid1->addItem(blank);
        m_lines.append(RecordLine{blank, {}, {}, {}});
    }
    m_nextRow = 0;
}

void frmRecords::WriteRow(const QString& text, const QString& name, const QString& speed, const QString& date)
{
    // Rows are added as venues need them, so every venue fits.
    while (m_nextRow >= Grid1->count()) {
        Grid1->addItem(QStringLiteral(" "));
        m_lines.append(RecordLine{QStringLiteral(" "), {}, {}, {}});
    }
    Grid1->item(m_nextRow)->setText(text);
    m_lines[m_nextRow] = RecordLine{text, name, speed, date};
    ++m_nextRow;
}

void frmRecords::DivName_Click(int index)
{
    if (index < 0 || index >= DivName->count())
        return;
    m_selID = DivName->itemData(index).toString();
    if (rt::Trim(m_selID).isEmpty())
        return;
    ClearGrids();
    WaitCursor wait;
    CalcTrackRecords();
}

void frmRecords::CalcTrackRecords()
{
    m_nextRow = 0;
    const bool all = m_selID == QLatin1String(kAllDivisions);
    QVariant group;
    if (!all) {
        auto rs = dbMain->openRecordset(QStringLiteral("SELECT RecordID FROM Division WHERE ID = ?"), {m_selID});
        const qint64 id = rs->eof() ? 0 : rs->integer(QStringLiteral("RecordID"));
        if (id == 0)
            return;   // a division that keeps no records
        group = id;
    }

    QString sql = QStringLiteral("SELECT Qualify.Pos, Races.RaceDate, Races.Venue, ") + DriverShownNameSql()
        + QStringLiteral(" AS Name, Qualify.Time, Qualify.Speed ");
    QVariantList values;
    if (all) {
        sql += QStringLiteral("FROM (Races INNER JOIN Qualify ON Races.ID = Qualify.RaceID) ")
            + QStringLiteral("INNER JOIN Drivers ON Qualify.DriverID = Drivers.DriverID ")
            + QStringLiteral("WHERE (((Qualify.pos) = 1)) ");
    } else {
        sql += QStringLiteral("FROM ((Races INNER JOIN Qualify ON Races.ID = Qualify.RaceID) ")
            + QStringLiteral("INNER JOIN Drivers ON Qualify.DriverID = Drivers.DriverID) ")
            + QStringLiteral("INNER JOIN Division ON Races.Division = Division.ID ")
            + QStringLiteral("WHERE Qualify.Pos = 1 AND Division.RecordID = ? ");
        values << group;
    }
    // A pole without a time (0) comes after the timed ones and holds no
    // record; of equal times the earlier race holds it.
    sql += QStringLiteral("ORDER BY Races.Venue, Val(Time) <= 0, Val(Time) ASC, Races.ID");
    auto poles = dbMain->openRecordset(sql, values);

    const QString raceSql = winnersOf(all) + QStringLiteral("ORDER BY Val(Score.Interval) DESC, Races.ID");
    // The latest race by date; a date that cannot be read counts as the oldest.
    const QString championSql = winnersOf(false) + QStringLiteral("ORDER BY CDate(Races.RaceDate) DESC, Races.ID DESC");

    QString lastVenue = QStringLiteral(" ");
    for (; !poles->eof(); poles->moveNext()) {
        const QString venue = poles->text(QStringLiteral("Venue"));
        // The database sorts and matches venues without regard to case, so
        // "Dover" and "DOVER" are one venue here too. A race without a
        // venue names no track.
        if (rt::Trim(venue).isEmpty() || venue.compare(lastVenue, Qt::CaseInsensitive) == 0)
            continue;
        lastVenue = venue;

        WriteRow(venue);
        WriteRow(QString(rt::Trim(venue).size(), QLatin1Char('-')));

        const QString name = poles->text(QStringLiteral("Name"));
        const QString speed = poles->text(QStringLiteral("Speed"));
        const QString date = poles->text(QStringLiteral("RaceDate"));
        if (rt::Val(poles->text(QStringLiteral("Time"))) > 0)
            WriteRow(kQualifyLabel + name + QStringLiteral("  ") + speed + QStringLiteral(" (")
                         + poles->text(QStringLiteral("Time")) + QStringLiteral(" sec.) -  ") + date,
                     name, speed, date);
        else
            WriteRow(kQualifyLabel);

        QVariantList venueValues{venue};
        if (!all)
            venueValues << group;
        auto race = dbMain->openRecordset(raceSql, venueValues);
        if (race->eof()) {
            WriteRow(kRaceLabel);
        } else {
            const QString winner = race->text(QStringLiteral("Name"));
            const QString raceDate = race->text(QStringLiteral("RaceDate"));
            const QString avg = rt::RSet(rt::Format(rt::Val(race->text(QStringLiteral("Interval"))), QStringLiteral("##0.000")), 7);
            WriteRow(kRaceLabel + winner + QStringLiteral("  ") + avg + QStringLiteral(" mph  -  ") + raceDate, winner,
                     rt::Trim(avg), raceDate);
        }
        race.reset();

        if (!all) {
            auto champion = dbMain->openRecordset(championSql, venueValues);
            if (champion->eof()) {
                WriteRow(kChampionLabel);
            } else {
                const QString winner = champion->text(QStringLiteral("Name"));
                WriteRow(kChampionLabel + winner, winner);
            }
        }
        WriteRow(QString(80, QLatin1Char(' ')));
    }
}

void frmRecords::Command1_Click()
{
    if (rt::Trim(m_selID).isEmpty()) {
        dlg::MsgBox(QStringLiteral("No Division was selected!"), dlg::vbCritical, rt::AppTitle());
        return;
    }
    HTMLClass html;
    html.sDiv = m_selID;
    if (!html.HTMLRecords(GridLines()))
        dlg::MsgBox(QStringLiteral("The track records page was not written:\n\n") + html.lastError(), dlg::vbCritical);
}
