#pragma once
// Pieces the list windows share: the "&Actions" menu, the toolbar whose
// buttons are told apart by their keys, the "&Close" button that Esc
// presses, and closing the window inside the main window's work area.

#include <QString>
#include <QStyle>

class QAction;
class QEvent;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QToolBar;
class QWidget;

// A menu item named `name` (objectName) with the caption `text`.
QAction* AddMenuItem(QMenu* menu, const char* name, const QString& text);
// A toolbar button: objectName and data are its key.
QAction* AddToolButton(QToolBar* toolbar, const char* key, const QString& text, const QString& tip,
                       QStyle::StandardPixmap icon);
// A toolbar with text under small icons, named "Toolbar1".
QToolBar* MakeListToolbar(QWidget* window);
// What every list window offers: the "&Actions" menu on its own menu bar
// (New, Edit, Delete, a separator, Close) and the toolbar with the keys
// "new", "edit" and "delete".
struct ListActions {
    QMenuBar* menuBar = nullptr;
    QMenu* nmuActions = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuEdit = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* separator = nullptr;
    QAction* mnuClose = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QAction* tbNew = nullptr;
    QAction* tbEdit = nullptr;
    QAction* tbDelete = nullptr;
};
ListActions MakeListActions(QWidget* window);
// "Are you sure to delete the selected record?" (Yes/No, No the default,
// title "Verify"): true on Yes.
bool ConfirmDelete();
// The list "List1": one selected entry, its events filtered by the window;
// each entry's key goes in its item data (Qt::UserRole).
QListWidget* MakeEntryList(QWidget* window);
// What an event of List1 means to a list window: the list got the focus
// (the commands are enabled anew), or Enter was pressed (edit the entry).
enum class ListEvent { Other, FocusIn, Enter };
ListEvent ClassifyListEvent(const QEvent* event);
// The "&Close" button, which Esc anywhere in the window presses.
QPushButton* MakeCloseButton(QWidget* window);
// Closes the window (its child frame when it has one).
void CloseListWindow(QWidget* window);
