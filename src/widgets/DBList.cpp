#include "DBList.h"

#include "BoundList.h"
#include "data/DataSource.h"

#include <QKeyEvent>
#include <QStringListModel>

DBList::DBList(QWidget* parent)
    : QListView(parent)
    , m_list(new BoundList(this)) {
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setModel(m_list->model());
    connect(this, &QListView::clicked, this, [this] { emit clicked(); });
}

void DBList::setRowSource(DataSource* source, const QString& listField) {
    m_list->setSource(source, listField);
}

DataSource* DBList::rowSource() const {
    return m_list->source();
}

int DBList::listIndex() const {
    const QModelIndex index = currentIndex();
    return index.isValid() && selectionModel()->isSelected(index) ? index.row() : -1;
}

void DBList::setListIndex(int row) {
    if (row < 0 || row >= listCount()) {
        clearSelection();
        setCurrentIndex(QModelIndex());
        return;
    }
    setCurrentIndex(m_list->model()->index(row));
}

int DBList::listCount() const {
    return m_list->count();
}

QString DBList::text() const {
    return m_list->text(listIndex());
}

QByteArray DBList::selectedItem() const {
    return m_list->bookmark(listIndex());
}

void DBList::keyPressEvent(QKeyEvent* event) {
    const int before = listIndex();
    QListView::keyPressEvent(event);
    if (listIndex() != before && listIndex() >= 0)
        emit clicked();
}
