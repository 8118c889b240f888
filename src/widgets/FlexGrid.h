#pragma once

#include <QTableView>

class DataSource;
class FlexGridModel;

// The read-only grid bound to a data source, with a fixed first row of field
// names and a fixed, empty record-selector column 0. A selected block of
// cells gives its "clip" text: TAB between cells, CR between rows, each value
// as the grid shows it.
class FlexGrid : public QTableView {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const;

    // The record-selector column: 1 (as made) or 0, when column 0 is the
    // first field.
    void setFixedCols(int fixedCols);
    int fixedCols() const;

    int rows() const;
    int cols() const;
    QString textMatrix(int row, int column) const;
    // Only the fixed title row (row 0) takes texts of its own.
    void setTextMatrix(int row, int column, const QString& text);

    // The selected block: from (row, col) to (rowSel, colSel), either way round.
    void setSelectionBlock(int row, int col, int rowSel, int colSel);
    int row() const { return m_row; }
    int col() const { return m_col; }
    int rowSel() const { return m_rowSel; }
    int colSel() const { return m_colSel; }
    QString clip() const;
    QString clipText(int row, int col, int rowSel, int colSel) const;

private:
    FlexGridModel* m_model;
    int m_row = 0, m_col = 1, m_rowSel = 0, m_colSel = 1;
};
