#pragma once
// What the team list and the bonus list share: a division box, a grid of
// that division's rows (each carrying its id), new / edit / delete from the
// "&Actions" menu and the toolbar, and "&Close".
//
// The division chosen here stays this window's own: it is handed to the
// editor when one opens, and the shared current division that other open
// windows work on is left alone.

#include "ListWindowParts.h"

#include <QStringList>
#include <QVariantList>
#include <QWidget>

#include <memory>

class EditorDialog;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
namespace dao { class Recordset; }

class DivisionListWindow : public QWidget {
    Q_OBJECT
public:
    ~DivisionListWindow() override;

    // The division chosen in this window, "" until one is.
    QString Division() const { return m_div; }
    // Reloads the grid for the division chosen here (nothing before one is).
    void LoadGrid();

protected:
    DivisionListWindow(const QString& name, const QString& caption, int columns, QWidget* parent);

    // The query of the grid rows of a division, its first column the row's
    // id, the others the texts of the grid's columns in order.
    virtual QString GridSql() const = 0;
    virtual QStringList RowTexts(const dao::Recordset& rs) const = 0;
    // The editor of the row `id` (bEditMode set) or of a new row.
    virtual std::unique_ptr<EditorDialog> MakeEditor(qint64 id) = 0;
    // The statement deleting the row whose id is bound to it.
    virtual QString DeleteSql() const = 0;
    // Sets the column widths for the grid's width (pixels) when it changes.
    virtual void FitColumns(int width);

    bool eventFilter(QObject* watched, QEvent* event) override;

    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QTableWidget* List1 = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    void LoadDivisions();
    void Combo1_Click(int index);
    void NewRow();
    void EditRow();
    void ShowEditor(qint64 id);
    void DeleteRow();
    void CloseWindow();
    void UpdateActions();
    // Id of the grid's current row when it lists one, else 0.
    qint64 CurrentId() const;

    ListActions acts;
    QString m_div;
    std::unique_ptr<dao::Recordset> rsList;
};
