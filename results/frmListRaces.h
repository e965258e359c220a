#pragma once
// "List of Races": the races of one division. New and edit open the race
// data editor (frmRaces) modally; delete removes a race with all its rows;
// print publishes the division's schedule with every result page.

#include <QWidget>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QToolBar;
namespace dao { class Recordset; }

class frmListRaces : public QWidget {
    Q_OBJECT
public:
    explicit frmListRaces(QWidget* parent = nullptr);
    ~frmListRaces() override;

public slots:
    void Combo1_Click(int index);
    void List1_Click();
    void mnuNew_Click();
    void mnuEdit_Click();
    void mnuDelete_Click();
    void mnuPrint_Click();
    void EditRace();          // toolbar "edit"
    void cmdClose_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LoadDivisions();
    void LoadRaces();
    void ShowRaceForm();
    void DeleteRace();
    void UpdateActions();
    // Races.ID of the entry selected in List1, 0 when none is.
    qint64 selectedId() const;

    QToolBar* Toolbar1 = nullptr;
    QAction* tbNew = nullptr;
    QAction* tbEdit = nullptr;
    QAction* tbDelete = nullptr;
    QAction* tbPrint = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuEdit = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuClose = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QListWidget* List1 = nullptr;   // item data: Races.ID
    QPushButton* cmdClose = nullptr;
    std::unique_ptr<dao::Recordset> rsList;
};
