#pragma once

#include "data/DataSource.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>

// The cells of a read-only flex grid over a data source: row 0 holds the
// field names, column 0 is the empty record-selector column (unless the grid
// has no fixed column), and cell (r, c) shows field c-1 (c without the fixed
// column) of row r-1 as the data source shows it.
class FlexGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FlexGridModel(QObject* parent = nullptr);

    void setSource(DataSource* source);
    DataSource* source() const { return m_source; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QString text(int row, int column) const;
    // Row 0 shows the field names unless a heading of its own is set.
    void setHeading(int column, const QString& text);
    // FixedCols: 1 (the record-selector column) or 0.
    void setFixedCols(int fixedCols);
    int fixedCols() const { return m_fixedCols; }

private:
    QPointer<DataSource> m_source;
    QHash<int, QString> m_headings;
    int m_fixedCols = 1;
};
