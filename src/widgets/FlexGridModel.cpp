#include "FlexGridModel.h"

#include "data/DataSource.h"

#include <QBrush>
#include <QPalette>
#include <algorithm>

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

void FlexGridModel::setFixedCols(int fixedCols) {
    beginResetModel();
    m_fixedCols = std::clamp(fixedCols, 0, 1);
    m_headings.clear();
    endResetModel();
}

int FlexGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_source ? 0 : m_source->rowCount() + 1;
}

int FlexGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_source ? 0 : m_source->fieldCount() + m_fixedCols;
}

QString FlexGridModel::text(int row, int column) const {
    const int field = column - m_fixedCols;
    if (!m_source || row < 0 || field < 0 || field >= m_source->fieldCount())
        return {};
    if (row == 0)
        return m_headings.value(column, m_source->field(field).name);
    return m_source->textAt(row - 1, field);
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const bool fixed = index.row() == 0 || index.column() < m_fixedCols;
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::BackgroundRole:
        return fixed ? QVariant(QPalette().brush(QPalette::Button)) : QVariant();
    default:
        return {};
    }
}
