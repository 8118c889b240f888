#include "FlexGridModel.h"

#include "data/DataSource.h"

#include <QBrush>
#include <QPalette>

FlexGridModel::FlexGridModel(QObject* parent)
    : QAbstractTableModel(parent) {}

void FlexGridModel::setSource(DataSource* source) {
    beginResetModel();
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        auto reset = [this] {
            beginResetModel();
            endResetModel();
        };
        connect(source, &DataSource::refreshed, this, reset);
        connect(source, &DataSource::rowInserted, this, reset);
        connect(source, &DataSource::rowRemoved, this, reset);
        connect(source, &DataSource::rowChanged, this, [this](int row) {
            emit dataChanged(index(row + 1, 0), index(row + 1, columnCount() - 1));
        });
    }
    endResetModel();
}

void FlexGridModel::setHeading(int column, const QString& text) {
    m_headings.insert(column, text);
    emit dataChanged(index(0, column), index(0, column));
}

int FlexGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_source ? 0 : m_source->rowCount() + 1;
}

int FlexGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_source ? 0 : m_source->fieldCount() + 1;
}

QString FlexGridModel::text(int row, int column) const {
    if (!m_source || row < 0 || column <= 0 || column > m_source->fieldCount())
        return {};
    if (row == 0)
        return m_headings.value(column, m_source->field(column - 1).name);
    return m_source->textAt(row - 1, column - 1);
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const bool fixed = index.row() == 0 || index.column() == 0;
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::BackgroundRole:
        return fixed ? QVariant(QPalette().brush(QPalette::Button)) : QVariant();
    default:
        return {};
    }
}
