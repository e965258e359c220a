#include "frmList.h"

#include "Database.h"
#include "Dialogs.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "TextLayout.h"
#include "frmDivision.h"
#include "frmDrivers.h"
#include "frmTracks.h"
#include "ListWindowParts.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

frmList::frmList(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmList"));
    setAttribute(Qt::WA_DeleteOnClose);

    acts = MakeListActions(this);

    List1 = MakeEntryList(this);

    cmdClose = MakeCloseButton(this);
    cmdClose->setFixedSize(72, 20);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdClose);
    auto* top = new QVBoxLayout(this);
    top->setMenuBar(acts.menuBar);
    top->setContentsMargins(5, 0, 5, 5);
    top->addWidget(acts.Toolbar1);
    top->addWidget(List1, 1);
    top->addLayout(bottom);
    setTabOrder(List1, cmdClose);

    connect(acts.mnuNew, &QAction::triggered, this, &frmList::NewRecord);
    connect(acts.tbNew, &QAction::triggered, this, &frmList::NewRecord);
    connect(acts.mnuEdit, &QAction::triggered, this, &frmList::EditSelected);
    connect(acts.tbEdit, &QAction::triggered, this, &frmList::EditSelected);
    connect(acts.mnuDelete, &QAction::triggered, this, &frmList::DeleteSelected);
    connect(acts.tbDelete, &QAction::triggered, this, &frmList::DeleteSelected);
    connect(acts.mnuClose, &QAction::triggered, this, &frmList::CloseWindow);
    connect(cmdClose, &QPushButton::clicked, this, &frmList::CloseWindow);
    connect(List1, &QListWidget::itemDoubleClicked, this, &frmList::EditSelected);
    connect(List1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { vSelKey = item->data(Qt::UserRole).toString(); });

    // Form_Load
    resize(333, 400);
    setWindowTitle(tListDef.sCaption.trimmed());
    if (tListDef.nListFont == 1)
        List1->setFont(QFont(QStringLiteral("Tahoma"), 8));
    else
        List1->setFont(QFont(QStringLiteral("Courier New"), 10));
    LoadList();
}

frmList::~frmList() = default;

int frmList::selectedRow() const
{
    const QList<QListWidgetItem*> sel = List1->selectedItems();
    return sel.isEmpty() ? -1 : List1->row(sel.first());
}

void frmList::LoadList()
{
    const int remembered = selectedRow();
    List1->clear();

    const QString key = tListDef.sKeyField.trimmed();
    const QString display = tListDef.sDisplayField.trimmed();
    const QString display2 = tListDef.sDisplayField2.trimmed();
    const QString table = tListDef.sTable.trimmed();
    // A driver without a name is shown and sorted by his online id, as
    // everywhere else.
    const QString shown = table == QLatin1String("Drivers") && display == QLatin1String("Name")
        ? DriverShownNameSql(table)
        : display;
    sSQL = QStringLiteral("SELECT ") + key + QLatin1Char(',') + shown;
    if (shown != display)
        sSQL += QStringLiteral(" AS ") + display;
    if (!display2.isEmpty())
        sSQL += QLatin1Char(',') + display2;
    sSQL += QStringLiteral(" FROM ") + table + QStringLiteral(" ORDER BY ") + shown;
    if (!display2.isEmpty())
        sSQL += QLatin1Char(',') + display2;
    // Rows that tie on the shown columns come in key order.
    sSQL += QLatin1Char(',') + key;

    rsList.reset();
    try {
        rsList = dbMain->openRecordset(sSQL);
    } catch (const dao::DbError& e) {
        dlg::MsgBox(e.description(), dlg::vbCritical);
        UpdateActions();
        return;
    }
    for (rsList->moveFirst(); !rsList->eof(); rsList->moveNext()) {
        QString text = PadRight(rsList->text(display), tListDef.nColWidth);
        if (!display2.isEmpty())
            text += QLatin1Char('\t') + rsList->text(display2);
        auto* item = new QListWidgetItem(text);
        item->setData(Qt::UserRole, rt::Str(rsList->field(key)));
        List1->addItem(item);
    }
    // The selection is kept by position; a position past the end selects nothing.
    if (remembered > 0) {
        if (remembered < List1->count())
            List1->setCurrentRow(remembered);
    } else if (List1->count() > 0) {
        List1->setCurrentRow(0);
    }
    UpdateActions();
}

void frmList::UpdateActions()
{
    const bool any = rsList && rsList->recordCount() > 0;
    acts.tbNew->setEnabled(true);
    acts.tbEdit->setEnabled(any);
    acts.tbDelete->setEnabled(any);
    acts.mnuNew->setEnabled(any);
    acts.mnuEdit->setEnabled(any);
    acts.mnuDelete->setEnabled(any);
}

bool frmList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == List1) {
        const ListEvent e = ClassifyListEvent(event);
        if (e == ListEvent::FocusIn)
            UpdateActions();
        if (e == ListEvent::Enter) {
            EditSelected();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmList::EditSelected()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    bEditMode = true;
    vSelKey = List1->item(row)->data(Qt::UserRole).toString();
    ShowEditor();
}

void frmList::NewRecord()
{
    bEditMode = false;
    ShowEditor();
}

void frmList::ShowEditor()
{
    const QString table = tListDef.sTable.trimmed();
    ShowEditorDialog([&]() -> std::unique_ptr<EditorDialog> {
        if (table == QLatin1String("Division"))
            return std::make_unique<frmDivision>(this);
        if (table == QLatin1String("Drivers"))
            return std::make_unique<frmDrivers>(this);
        if (table == QLatin1String("Tracks"))
            return std::make_unique<frmTracks>(this);
        return nullptr;
    });
    LoadList();
}

QString frmList::deleteRefusal(const QString& table, const QString& key) const
{
    const qint64 id = key.toLongLong();
    auto used = [id](const QString& sql) { return rt::Val(dbMain->scalar(sql.arg(id))) > 0; };
    if (table == QLatin1String("Drivers")) {
        QStringList uses;
        if (used(QStringLiteral("SELECT COUNT(*) FROM Score WHERE DriverID = %1"))
            || used(QStringLiteral("SELECT COUNT(*) FROM Qualify WHERE DriverID = %1")))
            uses << QStringLiteral("race results");
        if (used(QStringLiteral("SELECT COUNT(*) FROM Teams WHERE Driver_1 = %1 OR Driver_2 = %1 OR Driver_3 = %1 "
                                "OR Driver_4 = %1 OR Driver_5 = %1 OR Driver_6 = %1")))
            uses << QStringLiteral("a team seat");
        if (used(QStringLiteral("SELECT COUNT(*) FROM Rookies WHERE DriverID = %1")))
            uses << QStringLiteral("a rookie entry");
        if (used(QStringLiteral("SELECT COUNT(*) FROM Bonus WHERE DriverID = %1")))
            uses << QStringLiteral("a bonus amount");
        if (!uses.isEmpty())
            return QStringLiteral("This driver cannot be deleted: it still has ") + uses.join(QStringLiteral(", "))
                + QStringLiteral(".");
    } else if (table == QLatin1String("Tracks")) {
        const qint64 races = qint64(rt::Val(dbMain->scalar(
            QStringLiteral("SELECT COUNT(*) FROM Races WHERE TrackID = %1").arg(id))));
        if (races > 0)
            return QStringLiteral("This track cannot be deleted: %1 race(s) are run on it.").arg(races);
    }
    return QString();
}

void frmList::DeleteSelected()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const QString table = tListDef.sTable.trimmed();
    const QString keyField = tListDef.sKeyField.trimmed();
    const QString key = List1->item(row)->data(Qt::UserRole).toString();
    try {
        const QString refusal = deleteRefusal(table, key);
        if (!refusal.isEmpty()) {
            dlg::MsgBox(refusal, dlg::vbCritical);
            return;
        }
    } catch (const dao::DbError& e) {
        dlg::MsgBox(e.description(), dlg::vbOKOnly);
        return;
    }

    const int ask = dlg::vbYesNo | dlg::vbQuestion | dlg::vbDefaultButton2;
    if (!ConfirmDelete())
        return;
    const bool division = table == QLatin1String("Division");
    if (division
        && dlg::MsgBox(QStringLiteral("The deletion of a Division will erase all related Races' data. "
                                      "Are you sure to proceed?"),
                       ask, QStringLiteral("Warning"))
            != dlg::vbYes)
        return;
    vSelKey = key;

    // Division keys are text; driver and track keys are numbers.
    sSQL = QStringLiteral("DELETE FROM ") + table + QStringLiteral(" WHERE ") + keyField + QStringLiteral(" = ")
        + (division ? dao::quote(key) : QString::number(key.toLongLong()));
    // The database's delete triggers take the dependent rows (a division's
    // races and their results, teams, rookies, bonus amounts) in the same
    // transaction, so a failure leaves everything as it was.
    try {
        dao::Transaction trans(*dbMain);
        dbMain->execute(sSQL);
        trans.commit();
    } catch (const dao::DbError& e) {
        dlg::MsgBox(e.description(), dlg::vbOKOnly);
        return;
    }
    LoadList();
}

void frmList::CloseWindow()
{
    if (rsList)
        rsList->close();
    rsList.reset();
    CloseListWindow(this);
}
