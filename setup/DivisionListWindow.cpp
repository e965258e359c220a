#include "DivisionListWindow.h"

#include "Database.h"
#include "Dialogs.h"
#include "EditorDialog.h"
#include "Forms.h"
#include "ListWindowParts.h"
#include "LookupControls.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

DivisionListWindow::DivisionListWindow(const QString& name, const QString& caption, int columns, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);

    acts = MakeListActions(this);

    Label1 = new QLabel(QStringLiteral("Division"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));

    List1 = new QTableWidget(1, columns, this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->horizontalHeader()->hide();
    List1->verticalHeader()->hide();
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setSelectionBehavior(QAbstractItemView::SelectRows);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setWordWrap(false);
    List1->horizontalHeader()->setStretchLastSection(true);
    List1->installEventFilter(this);

    cmdClose = MakeCloseButton(this);
    cmdClose->setFixedSize(72, 22);

    auto* divRow = new QHBoxLayout;
    divRow->addWidget(Label1);
    divRow->addWidget(Combo1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdClose);
    auto* top = new QVBoxLayout(this);
    top->setMenuBar(acts.menuBar);
    top->setContentsMargins(8, 0, 8, 8);
    top->addWidget(acts.Toolbar1);
    top->addLayout(divRow);
    top->addWidget(List1, 1);
    top->addLayout(bottom);

    auto guarded = [this](void (DivisionListWindow::*command)()) {
        return [this, command] { RunGuarded([&] { (this->*command)(); }); };
    };
    for (QAction* a : {acts.tbNew, acts.mnuNew})
        connect(a, &QAction::triggered, this, guarded(&DivisionListWindow::NewRow));
    for (QAction* a : {acts.tbEdit, acts.mnuEdit})
        connect(a, &QAction::triggered, this, guarded(&DivisionListWindow::EditRow));
    for (QAction* a : {acts.tbDelete, acts.mnuDelete})
        connect(a, &QAction::triggered, this, guarded(&DivisionListWindow::DeleteRow));
    connect(acts.mnuClose, &QAction::triggered, this, &DivisionListWindow::CloseWindow);
    connect(cmdClose, &QPushButton::clicked, this, &DivisionListWindow::CloseWindow);
    connect(List1, &QTableWidget::cellDoubleClicked, this, guarded(&DivisionListWindow::EditRow));
    connect(Combo1, &QComboBox::activated, this, [this](int index) { RunGuarded([&] { Combo1_Click(index); }); });

    // Form_Load
    resize(TwipsToPixels(5000), TwipsToPixels(6000));
    LoadDivisions();
    UpdateActions();
}

DivisionListWindow::~DivisionListWindow() = default;

void DivisionListWindow::LoadDivisions()
{
    Combo1->clear();
    FillDivisionNames(Combo1);
    Combo1->setCurrentIndex(-1);
}

void DivisionListWindow::Combo1_Click(int index)
{
    if (index < 0 || index >= Combo1->count())
        return;
    m_div = Combo1->itemData(index).toString();
    LoadGrid();
    UpdateActions();
}

void DivisionListWindow::LoadGrid()
{
    if (rt::Trim(m_div).isEmpty())
        return;
    // One blank row, without the id of a row listed before.
    List1->clearContents();
    List1->setRowCount(1);
    rsList = dbMain->openRecordset(GridSql(), {m_div});
    int row = 0;
    for (rsList->moveFirst(); !rsList->eof(); rsList->moveNext(), ++row) {
        if (row >= List1->rowCount())
            List1->setRowCount(row + 1);
        const QStringList texts = RowTexts(*rsList);
        for (int col = 0; col < List1->columnCount(); ++col)
            List1->setItem(row, col, new QTableWidgetItem(texts.value(col)));
        List1->item(row, 0)->setData(Qt::UserRole, rsList->integer(rsList->fieldName(0)));
    }
    List1->setCurrentCell(0, 0);
    UpdateActions();
}

qint64 DivisionListWindow::CurrentId() const
{
    if (rt::Trim(m_div).isEmpty())
        return 0;
    const QTableWidgetItem* item = List1->item(List1->currentRow(), 0);
    return item ? item->data(Qt::UserRole).toLongLong() : 0;
}

void DivisionListWindow::UpdateActions()
{
    const bool division = !rt::Trim(m_div).isEmpty();
    const bool rows = division && rsList && rsList->recordCount() > 0;
    for (QAction* a : {acts.tbNew, acts.mnuNew})
        a->setEnabled(division);
    for (QAction* a : {acts.tbEdit, acts.mnuEdit, acts.tbDelete, acts.mnuDelete})
        a->setEnabled(rows);
}

bool DivisionListWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == List1) {
        if (event->type() == QEvent::Resize)
            FitColumns(List1->width());
        const ListEvent e = ClassifyListEvent(event);
        if (e == ListEvent::FocusIn)
            UpdateActions();
        if (e == ListEvent::Enter) {
            RunGuarded([&] { EditRow(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void DivisionListWindow::NewRow()
{
    // Nothing is stored without a division.
    if (rt::Trim(m_div).isEmpty())
        return;
    bEditMode = false;
    ShowEditor(0);
}

void DivisionListWindow::EditRow()
{
    const qint64 id = CurrentId();
    if (id == 0)
        return;
    bEditMode = true;
    ShowEditor(id);
}

void DivisionListWindow::ShowEditor(qint64 id)
{
    ShowEditorDialog([&] { return MakeEditor(id); });
    LoadGrid();
}

void DivisionListWindow::DeleteRow()
{
    const qint64 id = CurrentId();
    if (id == 0)
        return;
    if (ConfirmDelete()) {
        try {
            dbMain->execute(DeleteSql(), {id});
        } catch (const dao::DbError& e) {
            dlg::MsgBox(e.description(), dlg::vbOKOnly);
            return;
        }
    }
    LoadGrid();
}

void DivisionListWindow::CloseWindow()
{
    if (rsList)
        rsList->close();
    rsList.reset();
    CloseListWindow(this);
}

void DivisionListWindow::FitColumns(int)
{
    // The last column takes what is left of the grid's width.
}
