#pragma once
// The generic list window: lists the divisions, drivers or tracks as the
// shared list definition says, and adds, edits or deletes their rows.

#include <QWidget>

#include <memory>

class QAction;
class QListWidget;
class QPushButton;
class QToolBar;
namespace dao { class Recordset; }

class frmList : public QWidget {
    Q_OBJECT
public:
    explicit frmList(QWidget* parent = nullptr);
    ~frmList() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LoadList();
    void ShowEditor();
    void DeleteSelected();
    void EditSelected();
    void NewRecord();
    void CloseWindow();
    void UpdateActions();
    int selectedRow() const;
    // Why the row may not be deleted ("" when it may).
    QString deleteRefusal(const QString& table, const QString& key) const;

    QListWidget* List1 = nullptr;
    QListWidget* List2 = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QAction* tbNew = nullptr;
    QAction* tbEdit = nullptr;
    QAction* tbDelete = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuEdit = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuClose = nullptr;
    QPushButton* cmdClose = nullptr;
    std::unique_ptr<dao::Recordset> rsList;
};
