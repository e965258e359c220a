#include "frmShowStand.h"

#include "Database.h"
#include "Forms.h"
#include "HTMLClass.h"
#include "LookupControls.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "WindowSizing.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QTabWidget>
#include <QUrl>
#include <QWebEngineView>

namespace {

QString blankPage()
{
    return rt::AppFile(QStringLiteral("TXT/BLANK.HTM"));
}

} // namespace

frmShowStand::frmShowStand(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmShowStand"));
    setWindowTitle(QStringLiteral("Standings / Statistics"));
    setFont(QFont(QStringLiteral("Tahoma")));
    BuildControls();

    LoadWindowPlacement(this);

    // "<Select Division>" stands chosen; its click falls back on the
    // current division.
    {
        const QSignalBlocker block(DivName);
        FillDivisionCombo(DivName);
    }
    RunGuarded([&] { DivName_Click(0); });
}

void frmShowStand::BuildControls()
{
    Label1 = new QLabel(QStringLiteral("Division:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(TwipsRect(150, 150, 855, 254));
    DivName = new QComboBox(this);
    DivName->setObjectName(QStringLiteral("DivName"));
    DivName->setGeometry(TwipsRect(945, 105, 3975, 315));

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(TwipsRect(105, 525, 8415, 5265));
    Grid1 = new QWebEngineView;
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid2 = new QWebEngineView;
    Grid2->setObjectName(QStringLiteral("Grid2"));
    for (auto [browser, caption] : {std::pair{Grid1, " &Point Standings"}, std::pair{Grid2, "Statistics"}}) {
        auto* page = new QWidget;
        browser->setParent(page);
        browser->move(TwipsToPixels(105), TwipsToPixels(105));
        SSTab1->addTab(page, QString::fromLatin1(caption));
    }

    connect(DivName, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { RunGuarded([&] { DivName_Click(index); }); });
}

void frmShowStand::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (PlacementAfterResize(this))
        SizeTabs();
}

void frmShowStand::SizeTabs()
{
    SSTab1->resize(SizeLess(width(), 320), SizeLess(height(), 1100));
    for (QWebEngineView* b : {Grid1, Grid2})
        b->resize(SizeLess(SSTab1->width(), 250), SizeLess(SSTab1->height(), 600));
}

void frmShowStand::closeEvent(QCloseEvent* event)
{
    SaveFormPosition(this);
    event->accept();
}

std::optional<QString> frmShowStand::LatestScoredRace(const QString& division)
{
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT RaceNo FROM Races ")
                                        + QStringLiteral("WHERE Division = ? AND ID IN (SELECT RaceID FROM Score) ")
                                        + QStringLiteral("ORDER BY Val(RaceNo) DESC, ID DESC"),
                                    {division});
    if (rs->eof())
        return std::nullopt;
    return rt::Str(rs->field(QStringLiteral("RaceNo")));
}

QString frmShowStand::PageOrBlank(const QString& fragmentName)
{
    const QString path = HTMLClass::FragmentPath(fragmentName);
    return QFileInfo::exists(path) ? path : blankPage();
}

void frmShowStand::ShowBlank()
{
    for (QWebEngineView* b : {Grid1, Grid2})
        b->setUrl(QUrl::fromLocalFile(blankPage()));
}

void frmShowStand::DivName_Click(int index)
{
    if (index < 0 || index >= DivName->count())
        return;
    const QString id = DivName->itemData(index).toString();
    if (id.isEmpty()) {
        // "<Select Division>": the current division, chosen in the list
        // when it is there.
        sViewDiv = sCurDiv;
        if (rt::Trim(sViewDiv).isEmpty()) {
            ShowBlank();
            return;
        }
        for (int i = 1; i < DivName->count(); ++i) {
            const QString entry = DivName->itemData(i).toString();
            if (entry.compare(sViewDiv, Qt::CaseInsensitive) == 0) {
                DivName->setCurrentIndex(i);
                sViewDiv = entry;
                break;
            }
        }
    } else {
        sViewDiv = id;
    }

    const std::optional<QString> race = LatestScoredRace(sViewDiv);
    if (!race) {
        ShowBlank();
        return;
    }
    Grid1->setUrl(QUrl::fromLocalFile(PageOrBlank(HTMLClass::SeasonFragmentName(SeasonFragment::Standings, *race, sViewDiv))));
    Grid2->setUrl(QUrl::fromLocalFile(PageOrBlank(HTMLClass::SeasonFragmentName(SeasonFragment::Statistics, *race, sViewDiv))));
}
