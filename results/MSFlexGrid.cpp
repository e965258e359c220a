#include "MSFlexGrid.h"

#include "Forms.h"

#include <QFontDatabase>
#include <QHeaderView>

MSFlexGrid::MSFlexGrid(QWidget* parent)
    : QTableWidget(parent)
{
    setColumnCount(1);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::Monospace);
    fixed.setFixedPitch(true);
    setFont(fixed);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(fixed).height() + 2);

    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        setRow(row);
        emit DblClick();
    });
}

void MSFlexGrid::setRows(int rows)
{
    setRowCount(qMax(rows, 0));
}

void MSFlexGrid::setRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    // Moving the current row leaves the grid scrolled where it was: the
    // window fills its grids row by row and they must still show their top.
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    setCurrentCell(row, 0);
    setAutoScroll(scrolls);
}

QTableWidgetItem* MSFlexGrid::itemAt(int row)
{
    QTableWidgetItem* it = item(row, 0);
    if (!it) {
        it = new QTableWidgetItem;
        it->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setItem(row, 0, it);
    }
    return it;
}

QString MSFlexGrid::TextMatrix(int row, int col) const
{
    if (col != 0 || row < 0 || row >= rowCount())
        return QString();
    const QTableWidgetItem* it = item(row, 0);
    return it ? it->text() : QString();
}

void MSFlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    if (col != 0 || row < 0)
        return;
    if (row >= rowCount())
        setRowCount(row + 1);
    itemAt(row)->setText(text);
}

void MSFlexGrid::setText(const QString& text)
{
    setTextMatrix(Row(), 0, text);
}

void MSFlexGrid::setCellAlignmentLeft()
{
    if (Row() >= 0)
        itemAt(Row())->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

qint64 MSFlexGrid::RowData(int row) const
{
    if (row < 0 || row >= rowCount())
        return 0;
    const QTableWidgetItem* it = item(row, 0);
    return it ? it->data(Qt::UserRole).toLongLong() : 0;
}

void MSFlexGrid::setRowData(int row, qint64 value)
{
    if (row < 0)
        return;
    if (row >= rowCount())
        setRowCount(row + 1);
    itemAt(row)->setData(Qt::UserRole, value);
}

void MSFlexGrid::setColWidth(int col, double twips)
{
    if (col == 0)
        setColumnWidth(0, qMax(TwipsToPixels(twips), 1));
}

double MSFlexGrid::ColWidth(int col) const
{
    return col == 0 ? PixelsToTwips(columnWidth(0)) : 0;
}

QStringList MSFlexGrid::Lines() const
{
    QStringList lines;
    lines.reserve(rowCount());
    for (int r = 0; r < rowCount(); ++r)
        lines.append(TextMatrix(r, 0));
    return lines;
}
