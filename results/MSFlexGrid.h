#pragma once
// A one-column grid of fixed-width text lines: rows addressed by number, the
// text of a cell by row and column, a number kept per row, a current row,
// and a double-click signal. Readers cut the row texts by column, so every
// row is shown in a fixed-pitch font exactly as written.

#include <QStringList>
#include <QTableWidget>

class MSFlexGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit MSFlexGrid(QWidget* parent = nullptr);

    int Rows() const { return rowCount(); }
    void setRows(int rows);
    // The current row (-1 when none).
    int Row() const { return currentRow(); }
    void setRow(int row);

    // "" for a row that holds no text yet or lies outside the grid.
    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    // The current row's text.
    QString Text() const { return TextMatrix(Row(), 0); }
    void setText(const QString& text);
    // Left alignment of the current cell (the only one the lines use).
    void setCellAlignmentLeft();

    qint64 RowData(int row) const;
    void setRowData(int row, qint64 value);

    // Column width in twips.
    void setColWidth(int col, double twips);
    double ColWidth(int col) const;

    // The text of every row, row 0 first.
    QStringList Lines() const;

signals:
    void DblClick();

private:
    QTableWidgetItem* itemAt(int row);
};
