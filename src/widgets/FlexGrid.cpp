#include "FlexGrid.h"

#include "FlexGridModel.h"
#include "data/DataSource.h"

#include <QHeaderView>

FlexGrid::FlexGrid(QWidget* parent)
    : QTableView(parent)
    , m_model(new FlexGridModel(this)) {
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void FlexGrid::setDataSource(DataSource* source) {
    m_model->setSource(source);
}

DataSource* FlexGrid::dataSource() const {
    return m_model->source();
}

void FlexGrid::setFixedCols(int fixedCols) {
    m_model->setFixedCols(fixedCols);
}

int FlexGrid::fixedCols() const {
    return m_model->fixedCols();
}

int FlexGrid::rows() const {
    return m_model->rowCount();
}

int FlexGrid::cols() const {
    return m_model->columnCount();
}

QString FlexGrid::textMatrix(int row, int column) const {
    return m_model->text(row, column);
}

void FlexGrid::setTextMatrix(int row, int column, const QString& text) {
    if (row == 0)
        m_model->setHeading(column, text);
}

void FlexGrid::setSelectionBlock(int row, int col, int rowSel, int colSel) {
    m_row = row;
    m_col = col;
    m_rowSel = rowSel;
    m_colSel = colSel;
    const QModelIndex topLeft = m_model->index(std::min(row, rowSel), std::min(col, colSel));
    const QModelIndex bottomRight = m_model->index(std::max(row, rowSel), std::max(col, colSel));
    if (topLeft.isValid() && bottomRight.isValid())
        selectionModel()->select(QItemSelection(topLeft, bottomRight),
                                 QItemSelectionModel::ClearAndSelect);
}

QString FlexGrid::clip() const {
    return clipText(m_row, m_col, m_rowSel, m_colSel);
}

QString FlexGrid::clipText(int row, int col, int rowSel, int colSel) const {
    const int top = std::max(0, std::min(row, rowSel));
    const int bottom = std::min(rows() - 1, std::max(row, rowSel));
    const int left = std::max(0, std::min(col, colSel));
    const int right = std::min(cols() - 1, std::max(col, colSel));
    if (top > bottom || left > right)
        return {};
    // Whole columns are read in one pass each, not cell by cell.
    DataSource* source = dataSource();
    QList<QStringList> columns;
    for (int c = left; c <= right; ++c) {
        QStringList values;
        const int field = c - m_model->fixedCols();
        if (field >= 0 && source)
            values = source->columnTexts(field);
        columns.append(values);
    }
    QStringList lines;
    lines.reserve(bottom - top + 1);
    for (int r = top; r <= bottom; ++r) {
        QStringList cells;
        for (int c = left; c <= right; ++c) {
            if (r == 0)
                cells.append(textMatrix(0, c));
            else
                cells.append(columns.at(c - left).value(r - 1));
        }
        lines.append(cells.join(u'\t'));
    }
    return lines.join(u'\r');
}
