#include "BoundList.h"

#include "data/DataSource.h"

#include <QStringListModel>

BoundList::BoundList(QObject* parent)
    : QObject(parent)
    , m_model(new QStringListModel(this)) {}

void BoundList::setSource(DataSource* source, const QString& field) {
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    m_field = field;
    if (source) {
        connect(source, &DataSource::refreshed, this, &BoundList::reload);
        connect(source, &DataSource::rowInserted, this, &BoundList::reload);
        connect(source, &DataSource::rowRemoved, this, &BoundList::reload);
        connect(source, &DataSource::rowChanged, this, &BoundList::rowChanged);
    }
    reload();
}

void BoundList::reload() {
    QStringList texts;
    if (m_source)
        texts = m_source->columnTexts(m_source->fieldIndex(m_field));
    m_model->setStringList(texts);
    emit reloaded();
}

void BoundList::rowChanged(int row) {
    if (!m_source || row < 0 || row >= m_model->rowCount())
        return;
    m_model->setData(m_model->index(row), m_source->textAt(row, m_source->fieldIndex(m_field)));
}

int BoundList::count() const {
    return m_model->rowCount();
}

QString BoundList::text(int row) const {
    return m_model->data(m_model->index(row), Qt::DisplayRole).toString();
}

QByteArray BoundList::bookmark(int row) const {
    return m_source && row >= 0 ? m_source->bookmarkAt(row) : QByteArray();
}

int BoundList::findPrefix(const QString& prefix) const {
    if (prefix.isEmpty())
        return -1;
    const QStringList& entries = m_model->stringList();
    for (int i = 0; i < entries.size(); ++i)
        if (entries.at(i).startsWith(prefix, Qt::CaseInsensitive))
            return i;
    return -1;
}
