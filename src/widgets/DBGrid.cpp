#include "DBGrid.h"

#include "DataSourceModel.h"
#include "data/DataSource.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

DBGrid::DBGrid(QWidget* parent)
    : QTableView(parent)
    , m_model(new DataSourceModel(this)) {
    m_model->setEditable(true);
    m_model->setNewRowLine(true);
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setStretchLastSection(true);
}

void DBGrid::setDataSource(DataSource* source) {
    m_model->setSource(source);
}

DataSource* DBGrid::dataSource() const {
    return m_model->source();
}

void DBGrid::setColumns(const QStringList& fields) {
    m_model->setColumns(fields);
}

void DBGrid::setColumnCaptions(const QStringList& captions) {
    m_model->setColumnCaptions(captions);
}

void DBGrid::setAllowAddNew(bool allow) {
    m_allowAddNew = allow;
    m_model->setNewRowLine(allow);
}

void DBGrid::setAllowUpdate(bool allow) {
    m_allowUpdate = allow;
    m_model->setEditable(allow);
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    DataSource* source = dataSource();
    if (!source || !current.isValid() || current.row() == previous.row())
        return;
    // Leaving a row is its save point.
    if (m_model->isNewRowLine(current.row()))
        source->save();
    else if (source->currentRow() != current.row())
        source->recordset()->setBookmark(source->bookmarkAt(current.row()));
}

bool DBGrid::deleteSelectedRows() {
    DataSource* source = dataSource();
    if (!source || !m_allowDelete || !isEnabled())
        return false;
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.append(index.row());
    if (rows.isEmpty() && currentIndex().isValid())
        rows.append(currentIndex().row());
    // Bookmarks first: deleting shifts the rows after it.
    QList<QByteArray> bookmarks;
    bool newRowBegun = false;
    for (int row : rows) {
        if (m_model->isNewRowLine(row))
            newRowBegun = source->recordset()->isNewRow();
        else
            bookmarks.append(source->bookmarkAt(row));
    }
    bool ok = true;
    if (newRowBegun)
        source->recordset()->cancelUpdate();
    for (const QByteArray& bookmark : std::as_const(bookmarks))
        ok &= source->recordset()->setBookmark(bookmark) && source->recordset()->deleteCurrent();
    return ok;
}

void DBGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && state() != QAbstractItemView::EditingState &&
        m_allowDelete && !selectionModel()->selectedRows().isEmpty()) {
        deleteSelectedRows();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}
