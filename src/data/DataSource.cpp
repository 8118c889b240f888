#include "DataSource.h"

#include "Database.h"
#include "KeyedReader.h"
#include "SqliteConnection.h"

#include <QSet>
#include <cstring>

DataSource::DataSource(QObject* parent)
    : QObject(parent)
    , m_recordset(this) {}

DataSource::DataSource(const QString& name, QObject* parent)
    : DataSource(parent) {
    setObjectName(name);
}

DataSource::~DataSource() {
    // The last save point: a data source that goes with its window keeps the
    // edit it was given. Nobody is left to tell about a refusal.
    if (!m_pending.isEmpty()) {
        m_errorHandler = [](const QString&) {};
        writePending();
    }
}

void DataSource::setDatabaseName(const QString& name) {
    if (name == m_databaseName)
        return;
    writePending();
    m_databaseName = name;
    m_connection.reset();
}

void DataSource::setRecordSource(const QString& source) {
    m_recordSource = source;
}

std::shared_ptr<SqliteConnection> DataSource::connection() {
    openConnection();
    return m_connection;
}

bool DataSource::openConnection() {
    if (m_connection && m_connection->handle())
        return true;
    if (m_databaseName.isEmpty()) {
        m_lastError = QStringLiteral("The data source %1 names no database.").arg(objectName());
        return false;
    }
    m_connection = SqliteConnection::shared(Database::resolve(m_databaseName), &m_lastError);
    return m_connection != nullptr;
}

namespace {

DataSource::ErrorHandler& defaultErrorHandler() {
    static DataSource::ErrorHandler handler;
    return handler;
}

DataSource::ConflictHandler& defaultConflictHandler() {
    static DataSource::ConflictHandler handler;
    return handler;
}

} // namespace

void DataSource::setDefaultErrorHandler(ErrorHandler handler) {
    defaultErrorHandler() = std::move(handler);
}

void DataSource::setDefaultConflictHandler(ConflictHandler handler) {
    defaultConflictHandler() = std::move(handler);
}

void DataSource::reportError(const QString& message) {
    m_lastError = message;
    if (m_errorHandler)
        m_errorHandler(message);
    else if (defaultErrorHandler())
        defaultErrorHandler()(message);
}

bool DataSource::refresh() {
    if (!writePending())
        return false;
    m_lastError.clear();
    if (!openConnection())
        return false;
    m_connection->pollChanges();
    QString error;
    auto result = ResultReader(m_connection).read(m_recordSource, objectName(), &error);
    if (!result) {
        m_lastError = error;
        return false;
    }
    takeResult(std::move(*result));
    emit refreshed();
    emit currentChanged();
    return true;
}

void DataSource::takeResult(ResultReader::Result&& result) {
    m_isOpen = true;
    m_keyed = result.keyed;
    m_fields = std::move(result.fields);
    m_tables = std::move(result.tables);
    m_fromSql = std::move(result.fromSql);
    m_rowsSql = std::move(result.rowsSql);
    m_selectList = std::move(result.selectList);
    m_keyset = std::move(result.keyset);
    m_snapshot = std::move(result.snapshot);
    m_pages.clear();
    m_seen.forget();
    m_pending.clear();
    m_adding = false;
    m_onDeleted = false;
    m_position = 0;
}

int DataSource::fieldIndex(const QString& name) const {
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    // "TABLE01.TEXT01" names a field by its origin as well.
    const int dot = int(name.indexOf(u'.'));
    if (dot > 0) {
        const QString table = name.left(dot), column = name.mid(dot + 1);
        for (size_t i = 0; i < m_fields.size(); ++i) {
            const Field& f = m_fields[i];
            if (f.source >= 0 && f.column.compare(column, Qt::CaseInsensitive) == 0 &&
                (m_tables[size_t(f.source)].qualifier.compare(table, Qt::CaseInsensitive) == 0 ||
                 m_tables[size_t(f.source)].table.compare(table, Qt::CaseInsensitive) == 0))
                return int(i);
        }
    }
    return -1;
}

QStringList DataSource::fieldNames() const {
    QStringList names;
    for (const Field& f : m_fields)
        names.append(f.name);
    return names;
}

QByteArray DataSource::bookmarkAt(int row) const {
    if (row < 0 || row >= rowCount())
        return {};
    if (m_keyed)
        return m_keyset.bookmark(row);
    const qint64 index = row;
    return QByteArray(reinterpret_cast<const char*>(&index), sizeof(index));
}

int DataSource::rowOfBookmark(const QByteArray& bookmark) const {
    if (bookmark.isEmpty())
        return -1;
    if (m_keyed)
        return m_keyset.rowOf(bookmark);
    if (bookmark.size() != sizeof(qint64))
        return -1;
    qint64 index = 0;
    std::memcpy(&index, bookmark.constData(), sizeof(index));
    return index >= 0 && index < rowCount() ? int(index) : -1;
}

int DataSource::currentRow() const {
    if (m_adding || m_onDeleted || m_position < 0 || m_position >= rowCount())
        return -1;
    return m_position;
}

bool DataSource::hasCurrentRow() const {
    return m_adding || currentRow() >= 0;
}

KeyedReader DataSource::keyedReader() {
    return KeyedReader(*m_connection, m_keyset, m_tables, m_fromSql, m_rowsSql);
}

const PageCache::Page* DataSource::pageOf(int row) {
    const int index = PageCache::indexOf(row);
    const quint64 stamp = m_connection->changeStamp();
    if (const PageCache::Page* cached = m_pages.fresh(index, stamp))
        return cached;
    PageCache::Page page;
    QString error;
    if (!keyedReader().readPage(index, m_selectList, page, &error)) {
        m_lastError = error;
        return nullptr;
    }
    return &m_pages.store(index, stamp, std::move(page));
}

const std::vector<QVariant>* DataSource::rowValues(int row) {
    if (row < 0 || row >= rowCount())
        return nullptr;
    if (!m_keyed)
        return &m_snapshot[size_t(row)];
    if (!openConnection())
        return nullptr;
    const PageCache::Page* page = pageOf(row);
    const size_t slot = size_t(PageCache::slotOf(row));
    if (!page || !page->present[slot])
        return nullptr; // the row has gone from its table since the refresh
    const std::vector<QVariant>* values = &page->rows[slot];
    if (row == currentRow() && m_seen.isEmpty())
        m_seen.remember(m_keyset.bookmark(row), *values);
    return values;
}

QVariant DataSource::valueAt(int row, int field) {
    if (field < 0 || field >= fieldCount())
        return {};
    if (row == currentRow() && m_pending.contains(field))
        return currentValue(field);
    const auto* values = rowValues(row);
    return values ? FieldFormat::value(values->at(size_t(field)), m_fields[size_t(field)].kind)
                  : QVariant();
}

QString DataSource::textAt(int row, int field) {
    if (field < 0 || field >= fieldCount())
        return {};
    if (row == currentRow() && m_pending.contains(field))
        return currentText(field);
    const auto* values = rowValues(row);
    return values ? FieldFormat::text(values->at(size_t(field)), m_fields[size_t(field)].kind)
                  : QString();
}

QStringList DataSource::columnTexts(int field) {
    QStringList texts;
    if (field < 0 || field >= fieldCount() || rowCount() == 0)
        return texts;
    texts.reserve(rowCount());
    const FieldKind kind = m_fields[size_t(field)].kind;
    if (!m_keyed) {
        for (const auto& row : m_snapshot)
            texts.append(FieldFormat::text(row[size_t(field)], kind));
        return texts;
    }
    if (!openConnection())
        return texts;
    for (int row = 0; row < rowCount(); ++row)
        texts.append(QString()); // rows that have gone stay empty
    QString error;
    const auto take = [&](int row, const QVariant& value) {
        texts[row] = FieldFormat::text(value, kind);
    };
    if (!keyedReader().readColumn(m_fields[size_t(field)].sql, take, &error)) {
        m_lastError = error;
        return texts;
    }
    if (const int row = currentRow(); row >= 0 && m_pending.contains(field))
        texts[row] = currentText(field);
    return texts;
}

QVariant DataSource::currentValue(int field) {
    if (field < 0 || field >= fieldCount())
        return {};
    const FieldKind kind = m_fields[size_t(field)].kind;
    if (m_pending.contains(field)) {
        const QVariant input = m_pending.value(field);
        const auto stored = FieldFormat::storage(input, kind, nullptr);
        return stored ? FieldFormat::value(*stored, kind) : input;
    }
    if (m_adding)
        return {};
    const auto* values = rowValues(currentRow());
    return values ? FieldFormat::value(values->at(size_t(field)), kind) : QVariant();
}

QString DataSource::currentText(int field) {
    if (field < 0 || field >= fieldCount())
        return {};
    const FieldKind kind = m_fields[size_t(field)].kind;
    if (m_pending.contains(field)) {
        const QVariant input = m_pending.value(field);
        if (input.typeId() == QMetaType::QString)
            return input.toString(); // as typed
        const auto stored = FieldFormat::storage(input, kind, nullptr);
        return stored ? FieldFormat::text(*stored, kind) : input.toString();
    }
    if (m_adding)
        return {};
    const auto* values = rowValues(currentRow());
    return values ? FieldFormat::text(values->at(size_t(field)), kind) : QString();
}

bool DataSource::setCurrentValue(int field, const QVariant& value, QObject* origin) {
    if (field < 0 || field >= fieldCount()) {
        m_lastError = QStringLiteral("Item not found in this collection.");
        return false;
    }
    if (!hasCurrentRow()) {
        m_lastError = QStringLiteral("No current record.");
        return false;
    }
    if (m_readOnly || !m_fields[size_t(field)].updatable) {
        m_lastError =
            QStringLiteral("The field %1 cannot be changed.").arg(m_fields[size_t(field)].name);
        return false;
    }
    if (m_seen.isEmpty() && !m_adding)
        rowValues(currentRow()); // what the edit starts from
    m_pending.insert(field, value);
    emit valueEdited(field, origin);
    return true;
}

bool DataSource::save() {
    return writePending();
}

bool DataSource::saveAll(QObject* owner) {
    bool ok = true;
    if (auto* self = qobject_cast<DataSource*>(owner))
        ok &= self->save();
    const auto children = owner->findChildren<DataSource*>();
    for (DataSource* source : children)
        ok &= source->save();
    return ok;
}

namespace {

QString shortText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ');
    return text.size() > 60 ? text.left(57) + QStringLiteral("...") : text;
}

} // namespace

bool DataSource::keepOwnEdit(const QList<RowWriter::Conflict>& conflicts) {
    QStringList lines;
    for (const RowWriter::Conflict& c : conflicts) {
        const Field& f = m_fields[size_t(c.field)];
        lines.append(QStringLiteral("%1: now \"%2\", yours \"%3\"")
                         .arg(f.name, shortText(FieldFormat::text(c.stored, f.kind)),
                              shortText(currentText(c.field))));
    }
    const QString message =
        QStringLiteral("Another user has changed this record since you read it.\n\n%1\n\n"
                       "Do you want to keep your changes? Yes stores yours in place of the "
                       "other user's; No keeps the stored values and drops your changes.")
            .arg(lines.join(u'\n'));
    if (m_conflictHandler)
        return m_conflictHandler(message);
    if (defaultConflictHandler())
        return defaultConflictHandler()(message);
    return true; // nobody to ask: what the user typed last stands
}

RowWriter DataSource::writer() {
    return RowWriter(*m_connection, m_fields, m_tables);
}

bool DataSource::writePending() {
    if (m_pending.isEmpty()) {
        dropEmptyNewRow();
        return true;
    }
    if (!openConnection()) {
        reportError(m_lastError);
        return false;
    }
    auto values = pendingToStore();
    if (!values)
        return false;
    return m_adding ? storeNewRow(*values) : storeEdit(std::move(*values));
}

void DataSource::dropEmptyNewRow() {
    if (m_adding) { // nothing was entered: no row
        m_adding = false;
        m_position = m_positionBeforeAdd;
    }
}

std::optional<QHash<int, QVariant>> DataSource::pendingToStore() {
    // Every value must fit before anything is written.
    QHash<int, QVariant> values; // field -> value to store
    QSet<int> tables;
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it) {
        const Field& f = m_fields[size_t(it.key())];
        QString why;
        const auto stored = FieldFormat::storage(it.value(), f.kind, &why);
        if (!stored) {
            reportError(QStringLiteral("The value \"%1\" %2, so it cannot be stored in the "
                                       "field %3.")
                            .arg(it.value().toString(), why, f.name));
            return std::nullopt;
        }
        values.insert(it.key(), *stored);
        tables.insert(f.source);
    }
    if (m_adding && tables.size() > 1) {
        reportError(QStringLiteral("A new row can only take values of one table."));
        return std::nullopt;
    }
    return values;
}

bool DataSource::storeEdit(QHash<int, QVariant> values) {
    if (m_editCheck && !m_editCheck(byName(values)))
        return false;
    const int row = currentRow();
    RowWriter writer = this->writer();
    const auto outcome = writer.update(
        m_keyset, row, values, m_seen,
        [this](const QList<RowWriter::Conflict>& conflicts) { return keepOwnEdit(conflicts); });
    // Fields the user gave up for another user's values are no longer edited.
    m_pending.removeIf(
        [&](QHash<int, QVariant>::iterator edit) { return !values.contains(edit.key()); });
    switch (outcome) {
    case RowWriter::Outcome::RowGone:
        m_pending.clear(); // an edit of a row that is gone is not kept for ever
        reportError(writer.error());
        return false;
    case RowWriter::Outcome::Failed:
        reportError(writer.error());
        return false;
    case RowWriter::Outcome::Withdrawn:
        m_seen.forget();
        m_pages.dropPageOf(row);
        if (isJoin())
            m_pages.clear();
        emit rowChanged(row);
        return true;
    case RowWriter::Outcome::Written:
        break;
    }
    m_pending.clear();
    m_seen.forget(); // what is stored now is read again when the row is shown
    m_lastModified = m_keyset.bookmark(row);
    // Pages read when the file was as it was just before this write hold
    // only this write's change: they stay valid but for the page of the
    // changed row (in a join the same table row may show on many result
    // rows). Pages read earlier may miss another connection's changes.
    if (isJoin())
        m_pages.clear();
    else
        m_pages.carryForward(writer.stampBefore(), m_connection->changeStamp(),
                             writer.othersWrote(), row);
    emit rowChanged(row);
    return true;
}

QHash<QString, QVariant> DataSource::byName(const QHash<int, QVariant>& values) const {
    QHash<QString, QVariant> named;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        named.insert(m_fields.at(size_t(it.key())).name, it.value());
    return named;
}

bool DataSource::storeNewRow(const QHash<int, QVariant>& values) {
    if (m_insertCheck && !m_insertCheck(byName(values)))
        return false;
    RowWriter writer = this->writer();
    if (!writer.insert(values)) {
        reportError(writer.error());
        return false;
    }
    m_pending.clear();
    m_seen.forget();
    std::vector<qint64> keys(size_t(m_keyset.width()), Keyset::NullKey);
    keys[size_t(writer.newTable())] = writer.newKey();
    m_keyset.append(keys);
    const int added = m_keyset.rowCount() - 1;
    m_lastModified = m_keyset.bookmark(added);
    m_adding = false;
    m_position = m_positionBeforeAdd >= added ? rowCount() : m_positionBeforeAdd;
    // As after a save: only the page that gains the row is read again.
    m_pages.carryForward(writer.stampBefore(), m_connection->changeStamp(), writer.othersWrote(),
                         added);
    emit rowInserted(added);
    return true;
}

bool DataSource::deleteCurrentRow() {
    if (m_adding) {
        m_recordset.cancelUpdate();
        return true;
    }
    const int row = currentRow();
    if (row < 0) {
        m_lastError = QStringLiteral("No current record.");
        return false;
    }
    if (m_readOnly || !m_keyed) {
        m_lastError = QStringLiteral("Rows cannot be deleted from this data source.");
        return false;
    }
    const int last = m_keyset.width() - 1; // of a join, the last table's row goes
    RowWriter writer = this->writer();
    if (!writer.remove(m_tables[size_t(last)], m_keyset.key(row, last))) {
        m_lastError = writer.error();
        return false;
    }
    m_pending.clear();
    m_keyset.remove(row);
    m_pages.clear();
    m_onDeleted = true;
    m_position = row;
    m_seen.forget();
    emit rowRemoved(row);
    emit currentChanged();
    return true;
}

bool DataSource::moveTo(int position) {
    m_position = position;
    m_onDeleted = false;
    m_seen.forget();
    if (m_connection)
        m_connection->pollChanges(); // another connection's changes show from here on
    emit currentChanged();
    return true;
}
