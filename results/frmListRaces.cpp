#include "frmListRaces.h"

#include "Database.h"
#include "Dialogs.h"
#include "Forms.h"
#include "HTMLClass.h"
#include "ListWindowParts.h"
#include "LookupControls.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "WaitCursor.h"
#include "frmRaces.h"
#include "WindowDialogs.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

frmListRaces::frmListRaces(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmListRaces"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("List of Races"));

    auto* menuBar = new QMenuBar(this);
    QMenu* nmuActions = menuBar->addMenu(QStringLiteral("&Actions"));
    nmuActions->setObjectName(QStringLiteral("nmuActions"));
    mnuNew = AddMenuItem(nmuActions, "mnuNew", QStringLiteral("&New"));
    mnuEdit = AddMenuItem(nmuActions, "mnuEdit", QStringLiteral("&Edit"));
    mnuDelete = AddMenuItem(nmuActions, "mnuDelete", QStringLiteral("&Delete"));
    mnuPrint = AddMenuItem(nmuActions, "mnuPrint", QStringLiteral("&Print"));
    nmuActions->addSeparator()->setObjectName(QStringLiteral("separator"));
    mnuClose = AddMenuItem(nmuActions, "mnuClose", QStringLiteral("&Close"));

    Toolbar1 = MakeListToolbar(this);
    tbNew = AddToolButton(Toolbar1, "new", QStringLiteral("New"), QStringLiteral("Add a new record"), QStyle::SP_FileIcon);
    tbEdit = AddToolButton(Toolbar1, "edit", QStringLiteral("Edit"), QStringLiteral("Edit a record"),
                           QStyle::SP_FileDialogDetailedView);
    tbDelete = AddToolButton(Toolbar1, "delete", QStringLiteral("Delete"), QStringLiteral("Delete a record"),
                             QStyle::SP_TrashIcon);
    tbPrint = AddToolButton(Toolbar1, "print", QStringLiteral("Print"), QStringLiteral("Generates Schedule Page"),
                            QStyle::SP_DialogSaveButton);

    Label1 = new QLabel(QStringLiteral("Division"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));

    List1 = MakeEntryList(this);

    cmdClose = MakeCloseButton(this);
    cmdClose->setFixedSize(72, 22);

    auto* divRow = new QHBoxLayout;
    divRow->addWidget(Label1);
    divRow->addWidget(Combo1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdClose);
    auto* top = new QVBoxLayout(this);
    top->setMenuBar(menuBar);
    top->setContentsMargins(8, 0, 8, 8);
    top->addWidget(Toolbar1);
    top->addLayout(divRow);
    top->addWidget(List1, 1);
    top->addLayout(bottom);
    setTabOrder(List1, Combo1);
    setTabOrder(Combo1, cmdClose);

    auto guarded = [this](void (frmListRaces::*command)()) {
        return [this, command] { RunGuarded([&] { (this->*command)(); }); };
    };
    connect(tbNew, &QAction::triggered, this, guarded(&frmListRaces::mnuNew_Click));
    connect(mnuNew, &QAction::triggered, this, guarded(&frmListRaces::mnuNew_Click));
    connect(tbEdit, &QAction::triggered, this, guarded(&frmListRaces::EditRace));
    connect(mnuEdit, &QAction::triggered, this, guarded(&frmListRaces::mnuEdit_Click));
    connect(tbDelete, &QAction::triggered, this, guarded(&frmListRaces::mnuDelete_Click));
    connect(mnuDelete, &QAction::triggered, this, guarded(&frmListRaces::mnuDelete_Click));
    connect(tbPrint, &QAction::triggered, this, guarded(&frmListRaces::mnuPrint_Click));
    connect(mnuPrint, &QAction::triggered, this, guarded(&frmListRaces::mnuPrint_Click));
    connect(mnuClose, &QAction::triggered, this, &frmListRaces::cmdClose_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmListRaces::cmdClose_Click);
    connect(Combo1, &QComboBox::activated, this,
            [this](int index) { RunGuarded([&] { Combo1_Click(index); }); });
    // A mouse press makes the row current before it selects it: the
    // selection change is what picks the race.
    connect(List1, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] { List1_Click(); });
    connect(List1, &QListWidget::itemDoubleClicked, this, guarded(&frmListRaces::mnuEdit_Click));

    // Form_Load
    lSelID = 0;
    sCurDiv.clear();
    resize(TwipsToPixels(6000), TwipsToPixels(7000));
    LoadDivisions();
    LoadRaces();
    UpdateActions();
}

frmListRaces::~frmListRaces() = default;

qint64 frmListRaces::selectedId() const
{
    const int row = List1->currentRow();
    if (row < 0 || !List1->item(row)->isSelected())
        return 0;
    return List1->item(row)->data(Qt::UserRole).toLongLong();
}

void frmListRaces::LoadDivisions()
{
    Combo1->clear();
    FillDivisionNames(Combo1);
    Combo1->setCurrentIndex(-1);
}

void frmListRaces::Combo1_Click(int index)
{
    if (index < 0 || index >= Combo1->count())
        return;
    sCurDiv = Combo1->itemData(index).toString();
    LoadRaces();
    UpdateActions();
}

void frmListRaces::LoadRaces()
{
    const int remembered = List1->currentRow();
    List1->clear();
    lSelID = 0;
    UpdateActions();
    if (rt::Trim(sCurDiv).isEmpty())
        return;

    // Numeric race order; the id keeps equal numbers in a fixed order.
    sSQL = QStringLiteral("select ID, DIVISION, RACENO, VENUE, RACENAME from RACES WHERE DIVISION = ")
        + dao::quote(sCurDiv) + QStringLiteral(" order by DIVISION, Val(RACENO), ID");
    rsList = dbMain->openRecordset(sSQL);
    if (rsList->eof())
        return;
    for (rsList->moveFirst(); !rsList->eof(); rsList->moveNext()) {
        auto* item = new QListWidgetItem(rsList->text(QStringLiteral("RACENO")) + QStringLiteral(" - ")
                                         + rsList->text(QStringLiteral("VENUE")) + QStringLiteral(" - ")
                                         + rt::Trim(rsList->text(QStringLiteral("RACENAME"))));
        item->setData(Qt::UserRole, rsList->integer(QStringLiteral("ID")));
        List1->addItem(item);
    }
    // The same position stays selected; past the end of a shorter list the
    // last race is taken, so the selection is always a listed race.
    int row = remembered <= 0 ? 0 : remembered;
    if (row >= List1->count())
        row = List1->count() - 1;
    List1->setCurrentRow(row);
    List1_Click();
}

void frmListRaces::List1_Click()
{
    lSelID = selectedId();
    UpdateActions();
}

void frmListRaces::UpdateActions()
{
    const bool division = !rt::Trim(sCurDiv).isEmpty();
    const bool race = division && selectedId() != 0;
    // A division without races still has a schedule: an empty one.
    for (QAction* a : {tbNew, mnuNew, tbPrint, mnuPrint})
        a->setEnabled(division);
    for (QAction* a : {tbEdit, mnuEdit, tbDelete, mnuDelete})
        a->setEnabled(race);
}

bool frmListRaces::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == List1) {
        const ListEvent e = ClassifyListEvent(event);
        if (e == ListEvent::FocusIn)
            UpdateActions();
        if (e == ListEvent::Enter) {
            RunGuarded([&] { mnuEdit_Click(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmListRaces::mnuNew_Click()
{
    if (rt::Trim(sCurDiv).isEmpty()) {
        dlg::MsgBox(QStringLiteral("Division must be selected!"), dlg::vbCritical);
        return;
    }
    bEditMode = false;
    ShowRaceForm();
}

void frmListRaces::mnuEdit_Click()
{
    if (selectedId() == 0)
        return;
    bEditMode = true;
    lSelID = selectedId();
    ShowRaceForm();
}

void frmListRaces::EditRace()
{
    if (rt::Trim(sCurDiv).isEmpty()) {
        dlg::MsgBox(QStringLiteral("Division must be selected!"), dlg::vbCritical);
        return;
    }
    mnuEdit_Click();
}

void frmListRaces::ShowRaceForm()
{
    if (bEditMode)
        lSelID = selectedId();
    {
        frmRaces editor(this);
        dlg::ExecDialog(&editor);
    }
    LoadRaces();
}

void frmListRaces::mnuDelete_Click()
{
    DeleteRace();
}

void frmListRaces::DeleteRace()
{
    const qint64 id = selectedId();
    if (id == 0)
        return;
    lSelID = id;
    const int ask = dlg::vbYesNo | dlg::vbDefaultButton2;
    if (dlg::MsgBox(QStringLiteral("Are you sure to delete the selected record?"), ask | dlg::vbQuestion,
                    QStringLiteral("Verify"))
        == dlg::vbYes) {
        if (dlg::MsgBox(QStringLiteral("The deletion of a Race will erase all related Race data. ")
                            + QStringLiteral("Are you sure to proceed?"),
                        ask | dlg::vbCritical, QStringLiteral("Warning"))
            != dlg::vbYes)
            return;
        // The database's delete trigger takes the race's results, qualifying,
        // penalty and damage rows in the same transaction.
        sSQL = QStringLiteral("delete from RACES where ID = ?");
        int deleted = 0;
        try {
            dao::Transaction trans(*dbMain);
            deleted = dbMain->execute(sSQL, {lSelID});
            trans.commit();
        } catch (const dao::DbError& e) {
            dlg::MsgBox(e.description());
            return;
        }
        if (deleted == 0)
            dlg::MsgBox(QStringLiteral("The race was not deleted: it is no longer in the league database."),
                        dlg::vbExclamation);
    }
    try {
        LoadRaces();
    } catch (const dao::DbError&) {
        // The list stays as it was; the next reload shows the truth.
    }
}

void frmListRaces::mnuPrint_Click()
{
    if (rt::Trim(sCurDiv).isEmpty()) {
        dlg::MsgBox(QStringLiteral("Division must be selected!"), dlg::vbCritical);
        return;
    }
    bool ok = false;
    QString error;
    {
        WaitCursor wait;
        HTMLClass html;
        html.sDiv = sCurDiv;
        html.bGenAll = true;
        ok = html.HTMLSchedule();
        error = html.lastError();
    }
    if (ok)
        dlg::MsgBox(QStringLiteral("Schedule has been generated!"));
    else
        dlg::MsgBox(error, dlg::vbCritical);   // names the pages that were not written
}

void frmListRaces::cmdClose_Click()
{
    if (rsList)
        rsList->close();
    rsList.reset();
    CloseListWindow(this);
}
