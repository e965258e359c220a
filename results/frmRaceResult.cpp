#include "frmRaceResult.h"

#include "Database.h"
#include "Dialogs.h"
#include "Driver.h"
#include "EnterOnButtons.h"
#include "Forms.h"
#include "HTMLClass.h"
#include "LookupControls.h"
#include "Lookups.h"
#include "MSFlexGrid.h"
#include "RaceAwards.h"
#include "RacePoints.h"
#include "Recordset.h"
#include "Runtime.h"
#include "SSTab.h"
#include "State.h"
#include "Standings.h"
#include "Statistics.h"
#include "TextLayout.h"
#include "WaitCursor.h"
#include "WindowDialogs.h"
#include "frmAddDamage.h"
#include "frmBonusAdd.h"
#include "frmEditIncident.h"
#include "frmEditRace.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>
#include <functional>

namespace {

struct TabDef {
    const char* caption;
    int rows;
    double width;   // twips
    const char* header;   // nullptr: no header row
};

const TabDef kTabs[frmRaceResult::kGrids] = {
    {"&Results", 61, 8000, "Pos. No.         Driver           Car Make   Interval Laps Lead  Pts"},
    {"&Qualify", 61, 8000, "P. No.        Driver           Speed     Dif. F/N      Time      Dif. F/N"},
    {"R&ace", 15, 8175, nullptr},
    {"&Teams", 61, 8175, "Pos.      Team Name               Points"},
    {"R&ookies", 61, 8175, "Pos.        Driver              Points"},
    {"&Manufactures", 15, 8175, "Pos. Manufacturer   Points"},
    {"A&wards", 15, 8175, nullptr},
    {"Earnings", 61, 8000, "Pos.         Driver        Earnings    Bonus   Bonus Add     Total"},
    {"Adjustments", 61, 8000, "Pos. No.         Driver        Points"},
    {"Damage", 61, 8000,
     "Pos. No.         Driver         Bodywork  Engine   Other   Extra     Total             Comment"},
};

const QString kBlank = QStringLiteral(" ");

// A value's text as the database holds it; "" when it has none.
QString text(const dao::Recordset& rs, const char* field)
{
    return rt::Str(rs.field(QString::fromLatin1(field)));
}

// A number left-aligned in 2: its text and a blank when it has one digit.
QString leftIn2(const QString& s)
{
    return s.size() >= 2 ? s : rt::LSet(s, 2);
}

// A money amount ("##,###,##0") right-aligned in 10.
QString money(double v)
{
    return rt::RSet(rt::Format(v, QStringLiteral("##,###,##0")), 10);
}

// A gap between two qualifying values, "##0.000" without blanks.
QString gap(double v)
{
    return rt::Trim(rt::Format(std::fabs(v), QStringLiteral("##0.000")));
}

// Makes room for row `row` when a race has more lines than the grid rows.
void ensureRow(MSFlexGrid* g, int row)
{
    if (row >= g->Rows())
        g->setRows(row + 1);
}

} // namespace

frmRaceResult::frmRaceResult(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmRaceResult"));
    setWindowTitle(QStringLiteral("Race Result"));
    BuildControls();

    LoadFormPosition(this, PixelsToTwips(y()), PixelsToTwips(x()), 6285, 8745);
    nLastWindowState = FormWindowState(this);

    for (int i = 0; i < kGrids; ++i) {
        MSFlexGrid* g = m_grids[i];
        g->setColWidth(0, kTabs[i].width);
        g->setRows(kTabs[i].rows);
        if (kTabs[i].header)
            g->setTextMatrix(0, 0, QString::fromLatin1(kTabs[i].header));
    }
    {
        const QSignalBlocker block(DivName);
        FillDivisionNames(DivName);
        DivName->setCurrentIndex(-1);
    }
    SSTab1->setCurrentIndex(0);
    SSTab1->setTabEnabled(9, false);
}

void frmRaceResult::BuildControls()
{
    const QFont tahoma(QStringLiteral("Tahoma"));

    Label1 = new QLabel(QStringLiteral("Division:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    DivName = new QComboBox(this);
    DivName->setObjectName(QStringLiteral("DivName"));
    DivName->setMinimumWidth(TwipsToPixels(2655));

    Label2 = new QLabel(QStringLiteral(" Race #          Race Name (Track)"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setFixedHeight(TwipsToPixels(1230));
    List1->installEventFilter(this);

    commAddProv = new QPushButton(QStringLiteral("&Add Prov."), this);
    commAddProv->setObjectName(QStringLiteral("commAddProv"));
    commSave = new QPushButton(QStringLiteral("&Generate Files"), this);
    commSave->setObjectName(QStringLiteral("commSave"));
    // The damage import has a dialog but the window does not offer it.
    commDamage = new QPushButton(QStringLiteral("&Import Damage"), this);
    commDamage->setObjectName(QStringLiteral("commDamage"));
    commDamage->hide();
    for (QPushButton* b : {commAddProv, commSave, commDamage}) {
        b->setFont(tahoma);
        b->setFixedSize(TwipsToPixels(1485), TwipsToPixels(330));
        b->setEnabled(false);
        PressOnEnter(b);
    }

    // Ten tabs in one row, all in view at the size the window opens with.
    SSTab1 = new SSTab(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setFont(QFont(QStringLiteral("Tahoma"), 8));
    for (int i = 0; i < kGrids; ++i) {
        auto* g = new MSFlexGrid;
        g->setObjectName(QStringLiteral("Grid%1").arg(i + 1));
        m_grids[i] = g;
        SSTab1->addTab(g, QString::fromLatin1(kTabs[i].caption));
    }

    auto* top = new QGridLayout;
    top->addWidget(Label1, 0, 0);
    top->addWidget(DivName, 0, 1, 1, 2);
    top->addWidget(commAddProv, 1, 0, 1, 2, Qt::AlignLeft);
    top->addWidget(commSave, 1, 2, Qt::AlignLeft);
    top->addWidget(Label2, 0, 3);
    top->addWidget(List1, 1, 3, 2, 1);
    top->setColumnStretch(3, 1);
    top->setRowStretch(2, 1);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addWidget(SSTab1, 1);

    // A choice, even of the division already chosen, reloads its races.
    connect(DivName, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { RunGuarded([&] { DivName_Click(index); }); });
    connect(List1, &QListWidget::currentRowChanged, this, [this] { RunGuarded([&] { List1_Click(); }); });
    connect(List1, &QListWidget::itemClicked, this, [this] { RunGuarded([&] { List1_Click(); }); });
    connect(commSave, &QPushButton::clicked, this, [this] { RunGuarded([&] { commSave_Click(); }); });
    connect(commAddProv, &QPushButton::clicked, this, [this] { RunGuarded([&] { commAddProv_Click(); }); });
    connect(commDamage, &QPushButton::clicked, this, [this] { RunGuarded([&] { commDamage_Click(); }); });
    connect(m_grids[0], &MSFlexGrid::DblClick, this, [this] { RunGuarded([&] { Grid1_DblClick(); }); });
    connect(m_grids[7], &MSFlexGrid::DblClick, this, [this] { RunGuarded([&] { Grid8_DblClick(); }); });
    connect(m_grids[8], &MSFlexGrid::DblClick, this, [this] { RunGuarded([&] { Grid9_DblClick(); }); });
}

bool frmRaceResult::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == List1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            RunGuarded([&] { List1_Click(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmRaceResult::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FitColumns();
}

// Each grid's one column as wide as the grid, or as its longest line.
void frmRaceResult::FitColumns()
{
    for (MSFlexGrid* g : m_grids) {
        const int lineWidth = QFontMetrics(g->font()).horizontalAdvance(QString(120, QLatin1Char('0')));
        g->setColumnWidth(0, qMax(g->viewport()->width(), lineWidth));
    }
}

void frmRaceResult::closeEvent(QCloseEvent* event)
{
    SaveFormPosition(this);
    event->accept();
}

// ---- Division and race choice ---------------------------------------------

void frmRaceResult::DivName_Click(int index)
{
    if (index < 0 || index >= DivName->count())
        return;
    sCurDiv = DivName->itemData(index).toString();
    if (rt::Trim(sCurDiv).isEmpty())
        return;
    m_listDiv = sCurDiv;
    LoadRaceList();
    commSave->setEnabled(true);
    commAddProv->setEnabled(true);
    commDamage->setEnabled(true);
}

void frmRaceResult::LoadRaceList()
{
    WaitCursor wait;
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT ID,RaceNo,RaceName,RaceDate,Venue FROM Races ")
                                    + QStringLiteral("WHERE Division = ") + dao::quote(sCurDiv)
                                    + QStringLiteral(" ORDER BY VAL(RaceNo), ID"));
    m_shownRace = 0;
    {
        const QSignalBlocker block(List1);
        List1->clear();
    }
    for (; !rs->eof(); rs->moveNext()) {
        const qint64 id = rs->integer(QStringLiteral("ID"));
        if (!RaceHasResults(id, sCurDiv))
            continue;
        auto* item = new QListWidgetItem(rt::Str(rt::Val(rs->text(QStringLiteral("RaceNo")))) + QLatin1Char('\t')
                                         + rt::Trim(rs->text(QStringLiteral("RaceName"))) + QStringLiteral("  (")
                                         + rt::Trim(rs->text(QStringLiteral("Venue"))) + QLatin1Char(')'));
        item->setData(Qt::UserRole, id);
        List1->addItem(item);
    }
    rs.reset();
    if (List1->count() > 0)
        List1->setCurrentRow(List1->count() - 1);   // loads it
}

void frmRaceResult::List1_Click()
{
    const int index = List1->currentRow();
    if (index < 0 || index >= List1->count())
        return;
    WaitCursor wait;
    // The listed races are those of the division chosen here, whatever
    // another window has set since.
    sCurDiv = m_listDiv;
    lSelID = List1->item(index)->data(Qt::UserRole).toLongLong();
    if (lSelID != m_shownRace) {
        ClearGrids();
        m_shownRace = lSelID;
        m_raceDiv = sCurDiv;
        FillGrids();
    }
}

bool frmRaceResult::UseShownRace()
{
    if (m_shownRace == 0)
        return false;
    sCurDiv = m_raceDiv;
    lSelID = m_shownRace;
    LoadDivisionSettings(sCurDiv);
    return true;
}

// ---- Loading a race --------------------------------------------------------

void frmRaceResult::ClearGrids()
{
    m_poleName = m_poleSpeed = m_poleTime = kBlank;
    for (int n : {1, 2, 4, 5, 8, 9}) {
        MSFlexGrid* g = Grid(n);
        g->setRows(kLineRows);
        for (int r = 1; r < kLineRows; ++r)
            g->setTextMatrix(r, 0, kBlank);
    }
    for (int r = 0; r <= 13; ++r)
        Grid(3)->setTextMatrix(r, 0, kBlank);
    for (int r = 1; r <= 5; ++r)
        Grid(6)->setTextMatrix(r, 0, kBlank);
}

void frmRaceResult::FillGrids()
{
    WaitCursor wait;
    ClearGrids();
    LoadDivisionSettings(sCurDiv);
    const QString race = QString::number(lSelID);

    auto rsRace = dbMain->openRecordset(QStringLiteral("SELECT * FROM Races WHERE ID = ") + race);
    const bool found = !rsRace->eof();
    m_raceNo = found ? text(*rsRace, "RaceNo") : QString();
    m_raceName = found ? text(*rsRace, "RaceName") : QString();
    m_venue = found ? text(*rsRace, "Venue") : QString();
    m_raceDate = found ? text(*rsRace, "RaceDate") : QString();
    m_weather = found ? text(*rsRace, "Weather") : QString();
    rsRace.reset();

    FillResultLines(race);
    FillQualifying(race);
    FillRaceInfo(race);
    if (bRoty)
        FillRookies();
    if (bBrands)
        FillMakes();
    if (bEarnings)
        FillEarnings(race);
    if (nTeams == 1 || nTeams == 2)
        FillTeams();
    Awards();
}

void frmRaceResult::FillResultLines(const QString& race)
{
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT Posi, DriverID, Interval, Laps, Lead, Points, Finish, Brand, Team ")
                                    + QStringLiteral("FROM Score ") + QStringLiteral("WHERE RaceID = ") + race
                                    + QStringLiteral(" ORDER BY Posi, DriverID"));
    MSFlexGrid* results = Grid(1);
    MSFlexGrid* penalties = Grid(9);
    LastPos = 0;   // a race left without lines starts again at 1
    int k = 0;
    for (; !rs->eof(); rs->moveNext()) {
        ++k;
        QString name, number, make;
        GetDriverInfo(rs->integer(QStringLiteral("DriverID")), name, number, make);
        const double posi = rs->number(QStringLiteral("Posi"));
        qint64 penalty = 0;
        QString comment;
        GetPenalty(sCurDiv, lSelID, posi, penalty, comment);

        const QString pos = leftIn2(text(*rs, "Posi"));
        const QString brand = rs->text(QStringLiteral("Brand"));
        const QString line = pos + QStringLiteral("  #") + number + QStringLiteral("  ") + name + QStringLiteral("   ")
            + PadRight(brand, 10) + QStringLiteral("   ") + rt::LSet(rs->text(QStringLiteral("Interval")), 7)
            + QStringLiteral("  ") + rt::RSet(text(*rs, "Laps"), 3) + QStringLiteral("  ") + rt::RSet(text(*rs, "Lead"), 3)
            + QStringLiteral(" ") + rt::RSet(text(*rs, "Points"), 4) + QStringLiteral("  ")
            + PadRight(rs->text(QStringLiteral("Finish")), 15) + QStringLiteral(" ")
            + GetTeamName(rs->integer(QStringLiteral("Team")));
        QString adjustment = pos + QStringLiteral("  #") + rt::RSet(rt::Trim(number), 3) + QStringLiteral("  ") + name;
        if (penalty != 0)
            adjustment += QStringLiteral("   ") + rt::RSet(QString::number(penalty), 4) + QStringLiteral("   ") + comment;

        ensureRow(results, k);
        ensureRow(penalties, k);
        results->setTextMatrix(k, 0, line);
        penalties->setTextMatrix(k, 0, adjustment);
        results->setRowData(k, qint64(posi));
        penalties->setRowData(k, qint64(posi));
        LastPos = qint64(posi);
    }
}

void frmRaceResult::FillQualifying(const QString& race)
{
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT Pos, DriverID, Time, Speed ") + QStringLiteral("FROM Qualify ")
                                    + QStringLiteral("WHERE RaceID = ") + race + QStringLiteral(" ORDER BY Pos, DriverID"));
    double poleSpeed = 0, prevSpeed = 0;
    float poleTime = 0, prevTime = 0;
    if (!rs->eof() && rs->text(QStringLiteral("Speed")) != QString(7, QLatin1Char(' '))) {
        poleTime = float(rt::Val(rs->text(QStringLiteral("Time"))));
        poleSpeed = rt::Val(rs->text(QStringLiteral("Speed")));
    }
    MSFlexGrid* grid = Grid(2);
    int k = 0;
    for (; !rs->eof(); rs->moveNext()) {
        ++k;
        QString name, number, make;
        GetDriverInfo(rs->integer(QStringLiteral("DriverID")), name, number, make);
        const QString speedText = rs->text(QStringLiteral("Speed"));
        const QString timeText = rs->text(QStringLiteral("Time"));
        const double speed = rt::Val(speedText);
        const float time = float(rt::Val(timeText));

        QString line = leftIn2(text(*rs, "Pos")) + QStringLiteral("  #") + number + QStringLiteral(" ") + name
            + QStringLiteral(" ");
        if (speed == 0) {
            line += QStringLiteral("  Prov.");
        } else {
            line += rt::RSet(rt::Format(speed, QStringLiteral("#00.000")), 7) + QStringLiteral(" ");
            const bool pole = rs->integer(QStringLiteral("Pos")) == 1;
            QString speedGaps, timeGaps;
            if (pole) {
                prevSpeed = poleSpeed;
                poleTime = time;
                prevTime = poleTime;
                speedGaps = QStringLiteral("      0/0       ");
                timeGaps = QStringLiteral("      0/0     ");
            } else {
                speedGaps = rt::RSet(gap(speed - poleSpeed), 7) + QStringLiteral("/") + rt::LSet(gap(speed - prevSpeed), 7)
                    + QStringLiteral(" ");
                timeGaps = rt::RSet(gap(double(float(time - poleTime))), 7) + QStringLiteral("/")
                    + rt::LSet(gap(double(float(time - prevTime))), 7);
                prevSpeed = speed;
                prevTime = time;
            }
            line += speedGaps + QStringLiteral(" ") + rt::RSet(rt::Format(rt::Val(timeText), QStringLiteral("##0.000")), 7)
                + QStringLiteral(" ") + timeGaps;
        }
        if (k == 1) {
            m_poleName = name;
            m_poleSpeed = speedText;
            m_poleTime = timeText;
        }
        ensureRow(grid, k);
        grid->setTextMatrix(k, 0, line);
    }
}

void frmRaceResult::FillRaceInfo(const QString& race)
{
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT * FROM Races WHERE ID = ") + race);
    m_trackMiles.clear();
    if (rs->eof())
        return;
    if (!rs->isNull(QStringLiteral("TrackID"))) {
        // A track that is gone leaves the length empty.
        auto track = dbMain->openRecordset(QStringLiteral("SELECT Miles FROM Tracks where ID =")
                                           + QString::number(rs->integer(QStringLiteral("TrackID"))));
        if (!track->eof())
            m_trackMiles = text(*track, "Miles");
    }
    MSFlexGrid* g = Grid(3);
    if (!rs->isNull(QStringLiteral("RaceName")))
        g->setTextMatrix(0, 0, text(*rs, "RaceName"));
    g->setTextMatrix(1, 0, QStringLiteral("Race No. ") + m_raceNo + QStringLiteral("     ") + text(*rs, "Venue")
                               + QStringLiteral(" (") + m_trackMiles + QStringLiteral(" miles)"));
    g->setTextMatrix(3, 0, QStringLiteral("Date                  ") + text(*rs, "RaceDate"));
    g->setTextMatrix(5, 0, QStringLiteral("Qual Weather          ") + text(*rs, "QWeather"));
    g->setTextMatrix(7, 0, QStringLiteral("Race Weather          ") + text(*rs, "Weather"));
    g->setTextMatrix(9, 0, QStringLiteral("Caution Flags/Laps    ") + text(*rs, "Flags") + QStringLiteral("/") + text(*rs, "Flagsq"));
    g->setTextMatrix(11, 0,
                     QStringLiteral("Lead Changes/Leaders  ") + text(*rs, "Changes") + QStringLiteral("/") + text(*rs, "Leader"));
}

void frmRaceResult::FillRookies()
{
    MSFlexGrid* g = Grid(5);
    int k = 0;
    for (const RacePointsLine& rookie : RaceRookiePoints(lSelID)) {
        ++k;
        ensureRow(g, k);
        g->setTextMatrix(k, 0, leftIn2(QString::number(k)) + QStringLiteral("  ") + rookie.name + QString(10, QLatin1Char(' '))
                                   + rt::RSet(QString::number(*rookie.points), 2));
    }
}

void frmRaceResult::FillMakes()
{
    int k = 0;
    for (const RacePointsLine& make : RaceMakePoints(lSelID)) {
        ++k;
        Grid(6)->setTextMatrix(k, 0,
                               QString::number(k) + QStringLiteral("   ") + rt::LSet(make.name, 16) + QString::number(*make.points));
    }
}

void frmRaceResult::FillEarnings(const QString& race)
{
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT Posi, DriverID, Earnings, Bonus, BonusAdd ") + QStringLiteral("FROM Score ")
                                    + QStringLiteral("WHERE RaceID = ") + race + QStringLiteral(" ORDER BY Posi, DriverID"));
    MSFlexGrid* g = Grid(8);
    int k = 0;
    for (; !rs->eof(); rs->moveNext()) {
        ++k;
        ensureRow(g, k);
        g->setRow(k);
        LoadEarnLine(*rs, g);
    }
}

void frmRaceResult::FillTeams()
{
    MSFlexGrid* g = Grid(4);
    int k = 0;
    for (const RacePointsLine& team : RaceTeamPoints(sCurDiv, lSelID, nTeams, TeamNameOrder::Database)) {
        ++k;
        // A sum of lines without points shows empty.
        const QString points = team.points ? QString::number(*team.points) : QString();
        QString line = leftIn2(QString::number(k)) + QStringLiteral("  ") + PadRight(team.name, 30);
        if (nTeams == 2)
            line += QStringLiteral("   ") + rt::RSet(points, 6);
        else
            line += QStringLiteral("  ") + rt::RSet(points, 2);
        ensureRow(g, k);
        g->setTextMatrix(k, 0, line);
    }
}

// ---- Awards and earnings ----------------------------------------------------

void frmRaceResult::Awards()
{
    QList<RaceAward> awards = RaceAwards(lSelID);
    // The window's pole is the first qualifying line, shown even when there is none.
    awards.first().winner = PoleAwardText(m_poleName, m_poleSpeed, m_poleTime);
    for (int k = 0; k < awards.size(); ++k) {
        const RaceAward& a = awards[k];
        Grid(7)->setTextMatrix(2 * k + 1, 0, a.winner ? rt::LSet(a.name, 20) + QStringLiteral("- ") + *a.winner : kBlank);
    }
}

void frmRaceResult::LoadEarnLine(const dao::Recordset& TempR, MSFlexGrid* Grid8)
{
    double total = 0;
    QString amounts;
    for (const char* field : {"Earnings", "Bonus", "BonusAdd"}) {
        const QString name = QString::fromLatin1(field);
        if (TempR.isNull(name)) {
            amounts += QString(10, QLatin1Char(' '));
        } else {
            const double v = TempR.number(name);
            amounts += money(v);
            total = rt::RoundHalfEven(total + v);
        }
        amounts += QLatin1Char(' ');
    }
    Driver driver;
    driver.Load(TempR.integer(QStringLiteral("DriverID")));
    Grid8->setRowData(Grid8->Row(), TempR.integer(QStringLiteral("Posi")));
    Grid8->setCellAlignmentLeft();
    Grid8->setText(leftIn2(text(TempR, "Posi")) + QStringLiteral("  ") + rt::LSet(driver.FullName, 20) + QStringLiteral(" ")
                   + amounts + money(total) + QStringLiteral("  "));
}

RaceResultGrids frmRaceResult::GridLines() const
{
    RaceResultGrids g;
    g.results = Grid(1)->Lines();
    g.qualify = Grid(2)->Lines();
    g.raceInfo = Grid(3)->Lines();
    g.teams = Grid(4)->Lines();
    g.rookies = Grid(5)->Lines();
    g.mfgs = Grid(6)->Lines();
    g.awards = Grid(7)->Lines();
    g.earnings = Grid(8)->Lines();
    g.penalties = Grid(9)->Lines();
    return g;
}

// ---- Commands ------------------------------------------------------------------

void frmRaceResult::commSave_Click()
{
    if (!UseShownRace()) {
        vMsg = QStringLiteral("No race was selected!");
        dlg::MsgBox(vMsg, dlg::vbCritical);
        return;
    }
    // Every page is tried; what failed is reported in one message at the end.
    QStringList failed;
    auto step = [&failed](const QString& what, const std::function<bool(QString&)>& run) {
        QString error;
        bool ok = false;
        try {
            ok = run(error);
        } catch (const dao::DbError& e) {
            error = QStringLiteral("Error %1: %2").arg(e.number()).arg(e.description());
        }
        if (!ok)
            failed << what + QStringLiteral(": ") + (error.isEmpty() ? QStringLiteral("not written") : error);
        return ok;
    };
    {
        WaitCursor wait;
        HTMLClass html;
        html.sRace = ZeroPad(m_raceNo, 3);
        html.sDiv = sCurDiv;
        step(QStringLiteral("Race result page"), [&](QString& error) {
            const bool ok = html.HTMLRaceResult(m_raceName, m_venue, m_raceDate, m_trackMiles, m_weather, GridLines());
            error = html.lastError();
            return ok;
        });
        step(QStringLiteral("Schedule page"), [&](QString& error) {
            const bool ok = html.HTMLSchedule();
            error = html.lastError();
            return ok;
        });
        // The statistics read ScoreDrop as the standings run leaves it: after
        // a failed standings computation they would be stale, so they are not
        // made. A standings page that was refused stops only itself.
        bool computed = false;
        step(QStringLiteral("Standings page"), [&](QString& error) {
            Standings run;
            run.Division = sCurDiv;
            run.LastRace = m_raceNo;
            run.ShowErrors = false;
            const bool ok = run.GenerateAll();
            computed = run.Computed();
            error = run.lastError();
            return ok;
        });
        if (computed) {
            step(QStringLiteral("Statistics page"), [&](QString& error) {
                Statistics run;
                run.Division = sCurDiv;
                run.LastRace = m_raceNo;
                run.ShowErrors = false;
                const bool ok = run.GenerateAll();
                error = run.lastError();
                return ok;
            });
        } else {
            failed << QStringLiteral("Statistics page: not made, as the standings run failed");
        }
    }
    if (failed.isEmpty())
        dlg::MsgBox(QStringLiteral("All HTML Files have been generated"), dlg::vbOKOnly, rt::AppTitle());
    else
        dlg::MsgBox(QStringLiteral("Not every HTML file was generated:\n\n") + failed.join(QStringLiteral("\n\n")),
                    dlg::vbCritical);
}

void frmRaceResult::commAddProv_Click()
{
    if (!UseShownRace())
        return;
    bEditMode = false;
    frmEditRace editor(this);
    dlg::ExecDialog(&editor);
}

void frmRaceResult::commDamage_Click()
{
    if (!UseShownRace())
        return;
    frmAddDamage editor(this);
    editor.setRace(m_shownRace);
    dlg::ExecDialog(&editor);
}

void frmRaceResult::Grid1_DblClick()
{
    MSFlexGrid* g = Grid(1);
    if (g->Row() <= 0 || rt::Trim(g->Text()).isEmpty() || !UseShownRace())
        return;
    bEditMode = true;
    frmEditRace editor(this);
    editor.setLine(m_shownRace, g->RowData(g->Row()));
    dlg::ExecDialog(&editor);
}

void frmRaceResult::Grid8_DblClick()
{
    MSFlexGrid* g = Grid(8);
    if (g->Row() <= 0 || rt::Trim(g->Text()).isEmpty() || !UseShownRace())
        return;
    frmBonusAdd editor(this);
    dlg::ExecDialog(&editor);
}

void frmRaceResult::Grid9_DblClick()
{
    MSFlexGrid* g = Grid(9);
    if (g->Row() <= 0 || rt::Trim(g->Text()).isEmpty() || !UseShownRace())
        return;
    bEditMode = true;
    frmEditIncident editor(this);
    editor.setLine(lSelID, g->RowData(g->Row()), sCurDiv, rt::Mid(g->Text(), 11, 20));
    dlg::ExecDialog(&editor);
}
