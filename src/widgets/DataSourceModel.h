#pragma once

#include "data/DataSource.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>

// A table model over a data source's cursor: rows and fields as they come,
// values read page by page as the view asks for them. Editable models write
// through the data source (moving it to the edited row, a save point) and
// can show a new-row line at the end, where typing begins a new row.
class DataSourceModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataSourceModel(QObject* parent = nullptr);

    void setSource(DataSource* source);
    DataSource* source() const { return m_source; }
    // Fields to show, by name; empty shows every field.
    void setColumns(const QStringList& fields);
    // Titles of the shown columns, in their order; a column without one
    // shows its field's name.
    void setColumnCaptions(const QStringList& captions);
    void setEditable(bool editable);
    void setNewRowLine(bool shown);
    bool isNewRowLine(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int fieldOf(int column) const;

private slots:
    void reset();
    void rowChanged(int row);

private:
    QPointer<DataSource> m_source;
    QStringList m_columns;
    QStringList m_captions;
    bool m_editable = false;
    bool m_newRowLine = false;
};
