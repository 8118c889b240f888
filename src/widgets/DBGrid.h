#pragma once

#include <QStringList>
#include <QTableView>

class DataSource;
class DataSourceModel;

// The editable data-bound grid: edits cells in place (stored when the grid
// leaves the row, like any move of the data source), adds rows on the
// new-row line at the end, and deletes the selected rows with the Delete key.
class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const;
    void setColumns(const QStringList& fields); // empty: every field
    void setColumnCaptions(const QStringList& captions);

    void setAllowAddNew(bool allow);
    void setAllowDelete(bool allow) { m_allowDelete = allow; }
    void setAllowUpdate(bool allow);
    bool allowAddNew() const { return m_allowAddNew; }
    bool allowDelete() const { return m_allowDelete; }
    bool allowUpdate() const { return m_allowUpdate; }

    // Deletes the rows whose row selectors are selected (or the current row).
    bool deleteSelectedRows();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    DataSourceModel* m_model;
    bool m_allowAddNew = true;
    bool m_allowDelete = true;
    bool m_allowUpdate = true;
};
