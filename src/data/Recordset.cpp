#include "Recordset.h"

#include "DataSource.h"

bool Recordset::moveFirst() {
    DataSource& ds = *m_source;
    if (!ds.writePending())
        return false;
    if (ds.rowCount() == 0) {
        ds.m_lastError = QStringLiteral("No current record.");
        ds.moveTo(0);
        return false;
    }
    return ds.moveTo(0);
}

bool Recordset::moveLast() {
    DataSource& ds = *m_source;
    if (!ds.writePending())
        return false;
    if (ds.rowCount() == 0) {
        ds.m_lastError = QStringLiteral("No current record.");
        ds.moveTo(0);
        return false;
    }
    return ds.moveTo(ds.rowCount() - 1);
}

bool Recordset::moveNext() {
    DataSource& ds = *m_source;
    if (!ds.writePending())
        return false;
    if (ds.m_onDeleted)
        return ds.moveTo(ds.m_position);
    if (ds.rowCount() == 0 || ds.m_position >= ds.rowCount()) {
        ds.m_lastError = QStringLiteral("No current record.");
        return false;
    }
    return ds.moveTo(std::max(ds.m_position, -1) + 1);
}

bool Recordset::movePrevious() {
    DataSource& ds = *m_source;
    if (!ds.writePending())
        return false;
    if (ds.m_onDeleted)
        return ds.moveTo(ds.m_position - 1);
    if (ds.rowCount() == 0 || ds.m_position < 0) {
        ds.m_lastError = QStringLiteral("No current record.");
        return false;
    }
    return ds.moveTo(std::min(ds.m_position, ds.rowCount()) - 1);
}

bool Recordset::addNew() {
    DataSource& ds = *m_source;
    if (!ds.writePending())
        return false;
    if (ds.m_readOnly || !ds.m_keyed || !ds.m_isOpen) {
        ds.m_lastError = QStringLiteral("Rows cannot be added to this data source.");
        return false;
    }
    ds.m_positionBeforeAdd = ds.m_position;
    ds.m_onDeleted = false;
    ds.m_adding = true;
    ds.m_seen.forget();
    emit ds.currentChanged();
    return true;
}

bool Recordset::deleteCurrent() {
    return m_source->deleteCurrentRow();
}

bool Recordset::update() {
    return m_source->writePending();
}

void Recordset::cancelUpdate() {
    DataSource& ds = *m_source;
    ds.m_pending.clear();
    ds.m_seen.forget();
    if (ds.m_adding) {
        ds.m_adding = false;
        ds.m_position = ds.m_positionBeforeAdd;
    }
    emit ds.currentChanged();
}

QByteArray Recordset::bookmark() const {
    return m_source->bookmarkAt(m_source->currentRow());
}

bool Recordset::setBookmark(const QByteArray& bookmark) {
    DataSource& ds = *m_source;
    if (!ds.writePending())
        return false;
    const int row = ds.rowOfBookmark(bookmark);
    if (row < 0) {
        ds.m_lastError = QStringLiteral("Not a valid bookmark.");
        return false;
    }
    return ds.moveTo(row);
}

QByteArray Recordset::lastModified() const {
    return m_source->m_lastModified;
}

bool Recordset::eof() const {
    const DataSource& ds = *m_source;
    return !ds.m_adding && !ds.m_onDeleted &&
           (ds.rowCount() == 0 || ds.m_position >= ds.rowCount());
}

bool Recordset::bof() const {
    const DataSource& ds = *m_source;
    return !ds.m_adding && !ds.m_onDeleted && (ds.rowCount() == 0 || ds.m_position < 0);
}

int Recordset::recordCount() const {
    return m_source->rowCount();
}

int Recordset::absolutePosition() const {
    return m_source->currentRow();
}

bool Recordset::isNewRow() const {
    return m_source->m_adding;
}

bool Recordset::hasPendingEdit() const {
    return !m_source->m_pending.isEmpty();
}

QVariant Recordset::field(const QString& name) const {
    return m_source->currentValue(m_source->fieldIndex(name));
}

QString Recordset::fieldText(const QString& name) const {
    return m_source->currentText(m_source->fieldIndex(name));
}

bool Recordset::setField(const QString& name, const QVariant& value) {
    return m_source->setCurrentValue(m_source->fieldIndex(name), value);
}
