#pragma once
// The generic list window: lists the divisions, drivers or tracks as the
// shared list definition says, and adds, edits or deletes their rows.

#include "ListWindowParts.h"

#include <QWidget>

#include <memory>

class QListWidget;
class QPushButton;
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
    ListActions acts;
    QPushButton* cmdClose = nullptr;
    std::unique_ptr<dao::Recordset> rsList;
};
