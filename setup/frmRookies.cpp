#include "frmRookies.h"

#include "Database.h"
#include "Dialogs.h"
#include "EnterOnButtons.h"
#include "Forms.h"
#include "ListWindowParts.h"
#include "Lookups.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Keeps the list in name order without regard to case; drivers of the same
// name stand in the order they were added.
void InsertSorted(QListWidget* list, const QString& name, qint64 driverId)
{
    int row = 0;
    for (; row < list->count(); ++row) {
        const QListWidgetItem* it = list->item(row);
        const int c = it->text().compare(name, Qt::CaseInsensitive);
        if (c > 0 || (c == 0 && it->data(Qt::UserRole).toLongLong() > driverId))
            break;
    }
    auto* item = new QListWidgetItem(name);
    item->setData(Qt::UserRole, driverId);
    list->insertItem(row, item);
}

} // namespace

frmRookies::frmRookies(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmRookies"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Rookies"));
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSizeF(8.25);
    setFont(f);

    auto* divLabel = new QLabel(QStringLiteral("Division:"), this);
    divLabel->setObjectName(QStringLiteral("lblLabels(0)"));
    DBCombo1 = new QComboBox(this);
    DBCombo1->setObjectName(QStringLiteral("DBCombo1"));
    DBCombo1->setFixedWidth(TwipsToPixels(2640));
    auto* label1 = new QLabel(QStringLiteral("Drivers"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    auto* label2 = new QLabel(QStringLiteral("Rookies"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1(0)"));
    List2 = new QListWidget(this);
    List2->setObjectName(QStringLiteral("List2(0)"));
    for (QListWidget* l : {List1, List2})
        l->setMinimumSize(TwipsToPixels(1905), TwipsToPixels(2790));

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        PressOnEnter(b);
        return b;
    };
    Add = button("Add", QStringLiteral("&>>"));
    Quit = button("Quit", QStringLiteral("&<<"));
    Ok = button("Ok", QStringLiteral("&Ok"));
    Close = button("Close", QStringLiteral("&Close"));

    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {Add, Quit, Ok, Close})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* divRow = new QHBoxLayout;
    divRow->addWidget(divLabel);
    divRow->addWidget(DBCombo1);
    divRow->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addLayout(divRow, 0, 0, 1, 3);
    grid->addWidget(label1, 1, 0);
    grid->addWidget(label2, 1, 2);
    grid->addWidget(List1, 2, 0);
    grid->addLayout(buttons, 2, 1);
    grid->addWidget(List2, 2, 2);

    auto guarded = [this](void (frmRookies::*command)()) {
        return [this, command] { RunGuarded([&] { (this->*command)(); }); };
    };
    connect(Add, &QPushButton::clicked, this, guarded(&frmRookies::Add_Click));
    connect(Quit, &QPushButton::clicked, this, guarded(&frmRookies::Quit_Click));
    connect(Ok, &QPushButton::clicked, this, guarded(&frmRookies::Ok_Click));
    connect(Close, &QPushButton::clicked, this, guarded(&frmRookies::Close_Click));
    connect(List1, &QListWidget::itemDoubleClicked, this, guarded(&frmRookies::Add_Click));
    connect(List2, &QListWidget::itemDoubleClicked, this, guarded(&frmRookies::Quit_Click));

    // Form_Load
    resize(TwipsToPixels(5610), TwipsToPixels(3840));
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT ID, Name FROM Division ORDER BY NAME, ID"));
    for (; !rs->eof(); rs->moveNext())
        DBCombo1->addItem(rs->text(QStringLiteral("Name")), rs->text(QStringLiteral("ID")));
    DBCombo1->setCurrentIndex(-1);
    connect(DBCombo1, &QComboBox::currentIndexChanged, this, guarded(&frmRookies::DBCombo1_Change));
    m_changed = false;
}

void frmRookies::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    // A quarter of the spare height down, centred across.
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    QMdiArea* area = sub ? sub->mdiArea() : nullptr;
    if (area) {
        const QSize room = area->viewport()->size();
        sub->move(qMax(0, (room.width() - sub->width()) / 2), qMax(0, (room.height() - sub->height()) / 4));
    }
}

void frmRookies::ClearList()
{
    List1->clear();
    List2->clear();
}

void frmRookies::LoadList(QListWidget* list, const QString& sql)
{
    auto rs = dbMain->openRecordset(sql, {m_div});
    for (; !rs->eof(); rs->moveNext())
        InsertSorted(list, rs->text(QStringLiteral("Shown")), rs->integer(QStringLiteral("DriverID")));
}

void frmRookies::DBCombo1_Change()
{
    m_div = DBCombo1->currentIndex() < 0 ? QString() : DBCombo1->currentData().toString();
    ClearList();
    const QString shown = DriverShownNameSql();
    LoadList(List2, QStringLiteral("SELECT DISTINCT Rookies.DriverID, ") + shown
                        + QStringLiteral(" AS Shown FROM Rookies, Drivers WHERE Rookies.Division = ? ")
                        + QStringLiteral("AND Rookies.DriverID = Drivers.DriverID"));
    LoadList(List1, QStringLiteral("SELECT DriverID, ") + shown
                        + QStringLiteral(" AS Shown FROM Drivers WHERE DriverID NOT IN (")
                        + QStringLiteral("SELECT Rookies.DriverID FROM Rookies WHERE Rookies.Division = ? ) "));
}

void frmRookies::Move(QListWidget* from, QListWidget* to)
{
    if (rt::Trim(m_div).isEmpty()) {
        dlg::MsgBox(QStringLiteral("Division must be entered"), dlg::vbCritical);
        DBCombo1->setFocus();
        return;
    }
    const QList<QListWidgetItem*> sel = from->selectedItems();
    if (sel.isEmpty()) {
        dlg::MsgBox(QStringLiteral("A Driver must be selected!"), dlg::vbCritical);
        return;
    }
    std::unique_ptr<QListWidgetItem> item(from->takeItem(from->row(sel.first())));
    InsertSorted(to, item->text(), item->data(Qt::UserRole).toLongLong());
    m_changed = true;
}

void frmRookies::Add_Click()
{
    Move(List1, List2);
}

void frmRookies::Quit_Click()
{
    Move(List2, List1);
}

void frmRookies::Ok_Click()
{
    if (rt::Trim(m_div).isEmpty()) {
        dlg::MsgBox(QStringLiteral("Division must be entered"), dlg::vbCritical);
        DBCombo1->setFocus();
        return;
    }
    // The division's whole list is replaced, or nothing is when a step fails.
    try {
        dao::Transaction trans(*dbMain);
        dbMain->execute(QStringLiteral("DELETE FROM Rookies WHERE Division = ?"), {m_div});
        for (int i = 0; i < List2->count(); ++i)
            dbMain->execute(QStringLiteral("INSERT INTO Rookies (Division, DriverID) VALUES (?, ?)"),
                            {m_div, List2->item(i)->data(Qt::UserRole).toLongLong()});
        trans.commit();
    } catch (const dao::DbError& e) {
        dlg::MsgBox(e.description(), dlg::vbCritical);
        return;
    }
    CloseListWindow(this);
}

void frmRookies::Close_Click()
{
    if (m_changed
        && dlg::MsgBox(QStringLiteral("Changes not saved, do you want to exit anyway?"), dlg::vbYesNo | dlg::vbQuestion)
            == dlg::vbNo)
        return;
    CloseListWindow(this);
}
