#pragma once
// "Rookies": the rookie drivers of one division. Drivers move between the
// list of the others and the list of the division's rookies; "&Ok" stores
// the division's whole list.

#include <QWidget>

class QComboBox;
class QListWidget;
class QPushButton;

class frmRookies : public QWidget {
    Q_OBJECT
public:
    explicit frmRookies(QWidget* parent = nullptr);

    // Empties both lists.
    void ClearList();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void DBCombo1_Change();
    void Add_Click();
    void Quit_Click();
    void Ok_Click();
    void Close_Click();
    // Moves the selected driver from one list to the other.
    void Move(QListWidget* from, QListWidget* to);
    void LoadList(QListWidget* list, const QString& sql);

    QComboBox* DBCombo1 = nullptr;
    QListWidget* List1 = nullptr;
    QListWidget* List2 = nullptr;
    QPushButton* Add = nullptr;
    QPushButton* Quit = nullptr;
    QPushButton* Ok = nullptr;
    QPushButton* Close = nullptr;
    QString m_div;
    bool m_changed = false;
    bool m_placed = false;
};
