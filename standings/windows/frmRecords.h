#pragma once
// "Race Records": the track records of one record group of divisions
// (divisions sharing a non-zero Division.RecordID), or of all divisions,
// venue by venue: the qualifying record, the race record and, for a
// record group, the defending champion. "&Save to File" publishes the
// grid's rows as the track records page.

#include "HTMLClass.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

class frmRecords : public QWidget {
    Q_OBJECT
public:
    explicit frmRecords(QWidget* parent = nullptr);

    static constexpr int kGridRows = 150;   // the grid grows past this when needed
    static const char* const kAllDivisions;  // "ALL  ", the id of "<<< ALL >>>"

    // Fills the grid for the selected id.
    void CalcTrackRecords();
    // Blanks the grid: kGridRows rows of a single blank.
    void ClearGrids();

    QListWidget* Grid() const { return Grid1; }
    // The grid's rows with the records kept beside them, for the page.
    const QList<RecordLine>& GridLines() const { return m_lines; }
    QString SelectedID() const { return m_selID; }

public slots:
    void DivName_Click(int index);
    void Command1_Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void SizeGrid();
    // Writes the next grid row.
    void WriteRow(const QString& text, const QString& name = QString(), const QString& speed = QString(),
                  const QString& date = QString());

    QLabel* Label1 = nullptr;
    QComboBox* DivName = nullptr;
    QListWidget* Grid1 = nullptr;
    QPushButton* Command1 = nullptr;

    QString m_selID;              // the id of the division last clicked
    int m_nextRow = 0;
    QList<RecordLine> m_lines;    // one per grid row
};
