#include "DataSourceModel.h"

#include "data/DataSource.h"

#include <algorithm>

DataSourceModel::DataSourceModel(QObject* parent)
    : QAbstractTableModel(parent) {}

void DataSourceModel::setSource(DataSource* source) {
    beginResetModel();
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        connect(source, &DataSource::refreshed, this, &DataSourceModel::reset);
        connect(source, &DataSource::rowInserted, this, &DataSourceModel::reset);
        connect(source, &DataSource::rowRemoved, this, &DataSourceModel::reset);
        connect(source, &DataSource::rowChanged, this, &DataSourceModel::rowChanged);
        connect(source, &DataSource::valueEdited, this, [this] {
            if (const int row = m_source->currentRow(); row >= 0)
                rowChanged(row);
        });
    }
    endResetModel();
}

void DataSourceModel::setColumns(const QStringList& fields) {
    beginResetModel();
    m_columns = fields;
    endResetModel();
}

void DataSourceModel::setEditable(bool editable) {
    beginResetModel();
    m_editable = editable;
    endResetModel();
}

void DataSourceModel::setNewRowLine(bool shown) {
    beginResetModel();
    m_newRowLine = shown;
    endResetModel();
}

void DataSourceModel::reset() {
    beginResetModel();
    endResetModel();
}

void DataSourceModel::rowChanged(int row) {
    if (row >= 0 && row < rowCount())
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

bool DataSourceModel::isNewRowLine(int row) const {
    return m_newRowLine && m_source && row == m_source->rowCount();
}

int DataSourceModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_source)
        return 0;
    return m_source->rowCount() + (m_newRowLine ? 1 : 0);
}

int DataSourceModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_source)
        return 0;
    return m_columns.isEmpty() ? m_source->fieldCount() : int(m_columns.size());
}

int DataSourceModel::fieldOf(int column) const {
    if (!m_source)
        return -1;
    return m_columns.isEmpty() ? column : m_source->fieldIndex(m_columns.value(column));
}

QVariant DataSourceModel::data(const QModelIndex& index, int role) const {
    if (!m_source || !index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    if (isNewRowLine(index.row())) {
        // A row begun on the line shows what has been typed so far.
        return m_source->recordset()->isNewRow() ? m_source->currentText(fieldOf(index.column()))
                                                 : QVariant();
    }
    return m_source->textAt(index.row(), fieldOf(index.column()));
}

bool DataSourceModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!m_source || !index.isValid() || role != Qt::EditRole || !m_editable)
        return false;
    Recordset* rs = m_source->recordset();
    if (isNewRowLine(index.row())) {
        if (!rs->isNewRow() && !rs->addNew())
            return false;
    } else if (m_source->currentRow() != index.row() &&
               !rs->setBookmark(m_source->bookmarkAt(index.row()))) {
        return false;
    }
    if (!m_source->setCurrentValue(fieldOf(index.column()), value.toString()))
        return false;
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags DataSourceModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    const int field = fieldOf(index.column());
    if (m_editable && m_source && field >= 0 && m_source->field(field).updatable &&
        !m_source->isReadOnly())
        f |= Qt::ItemIsEditable;
    return f;
}

void DataSourceModel::setColumnCaptions(const QStringList& captions) {
    m_captions = captions;
    emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columnCount() - 1));
}

QVariant DataSourceModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || !m_source)
        return {};
    if (orientation == Qt::Horizontal) {
        if (section < m_captions.size() && !m_captions.at(section).isEmpty())
            return m_captions.at(section);
        const int field = fieldOf(section);
        return field >= 0 ? m_source->field(field).name : QVariant();
    }
    if (isNewRowLine(section))
        return QStringLiteral("*");
    return section == m_source->currentRow() ? QStringLiteral("\u25B6") : QString();
}
