#include "ListWindowParts.h"

#include "Dialogs.h"
#include "EnterOnButtons.h"

#include <QAction>
#include <QKeyEvent>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QToolBar>

QAction* AddMenuItem(QMenu* menu, const char* name, const QString& text)
{
    QAction* a = menu->addAction(text);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QAction* AddToolButton(QToolBar* toolbar, const char* key, const QString& text, const QString& tip,
                       QStyle::StandardPixmap icon)
{
    QAction* a = toolbar->addAction(toolbar->style()->standardIcon(icon), text);
    a->setObjectName(QString::fromLatin1(key));
    a->setData(QString::fromLatin1(key));
    a->setToolTip(tip);
    return a;
}

QToolBar* MakeListToolbar(QWidget* window)
{
    auto* toolbar = new QToolBar(window);
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->setIconSize(QSize(16, 16));
    return toolbar;
}

ListActions MakeListActions(QWidget* window)
{
    ListActions a;
    a.menuBar = new QMenuBar(window);
    a.nmuActions = a.menuBar->addMenu(QStringLiteral("&Actions"));
    a.nmuActions->setObjectName(QStringLiteral("nmuActions"));
    a.mnuNew = AddMenuItem(a.nmuActions, "mnuNew", QStringLiteral("&New"));
    a.mnuEdit = AddMenuItem(a.nmuActions, "mnuEdit", QStringLiteral("&Edit"));
    a.mnuDelete = AddMenuItem(a.nmuActions, "mnuDelete", QStringLiteral("&Delete"));
    a.separator = a.nmuActions->addSeparator();
    a.separator->setObjectName(QStringLiteral("separator"));
    a.mnuClose = AddMenuItem(a.nmuActions, "mnuClose", QStringLiteral("&Close"));

    a.Toolbar1 = MakeListToolbar(window);
    a.tbNew = AddToolButton(a.Toolbar1, "new", QStringLiteral("New"), QStringLiteral("Add a new record"), QStyle::SP_FileIcon);
    a.tbEdit = AddToolButton(a.Toolbar1, "edit", QStringLiteral("Edit"), QStringLiteral("Edit a record"),
                             QStyle::SP_FileDialogDetailedView);
    a.tbDelete = AddToolButton(a.Toolbar1, "delete", QStringLiteral("Delete"), QStringLiteral("Delete a record"),
                               QStyle::SP_TrashIcon);
    return a;
}

bool ConfirmDelete()
{
    return dlg::MsgBox(QStringLiteral("Are you sure to delete the selected record?"),
                       dlg::vbYesNo | dlg::vbQuestion | dlg::vbDefaultButton2, QStringLiteral("Verify"))
        == dlg::vbYes;
}

QListWidget* MakeEntryList(QWidget* window)
{
    auto* list = new QListWidget(window);
    list->setObjectName(QStringLiteral("List1"));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->installEventFilter(window);
    return list;
}

ListEvent ClassifyListEvent(const QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        return ListEvent::FocusIn;
    if (event->type() == QEvent::KeyPress) {
        const int k = static_cast<const QKeyEvent*>(event)->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter)
            return ListEvent::Enter;
    }
    return ListEvent::Other;
}

QPushButton* MakeCloseButton(QWidget* window)
{
    auto* button = new QPushButton(QStringLiteral("&Close"), window);
    button->setObjectName(QStringLiteral("cmdClose"));
    PressOnEnter(button);
    // The close button is the cancel button: Esc presses it.
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    esc->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(esc, &QShortcut::activated, button, &QPushButton::click);
    return button;
}

void CloseListWindow(QWidget* window)
{
    // Inside the main window's work area the sub-window is what closes.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        sub->close();
    else
        window->close();
}
