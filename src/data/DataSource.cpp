#include "DataSource.h"

#include "Database.h"
#include "FieldBinder.h"
#include "KeyedReader.h"
#include "SqlTranslator.h"
#include "SqliteConnection.h"
#include "Transaction.h"
#include "platform/MsgBox.h"

#include <QSet>
#include <cstring>
#include <sqlite3.h>

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

void DataSource::reportError(const QString& message) {
    m_lastError = message;
    if (m_errorHandler)
        m_errorHandler(message);
    else
        MsgBox::show(message, MsgBox::OKOnly | MsgBox::Critical);
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
    return KeyedReader(*m_connection, m_keyset, m_tables, m_fromSql);
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

// Stored values as SQLite gives them: equal only when of one kind and value.
bool sameStored(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return a.typeId() == b.typeId() && a == b;
}

QString shortText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ');
    return text.size() > 60 ? text.left(57) + QStringLiteral("...") : text;
}

QString placeholders(int count) {
    QStringList marks;
    marks.reserve(count);
    for (int i = 0; i < count; ++i)
        marks.append(QStringLiteral("?"));
    return marks.join(u',');
}

} // namespace

std::optional<QList<DataSource::Conflict>> DataSource::conflicts(int row, QString* error) {
    QList<Conflict> found;
    if (!m_seen.isOf(m_keyset.bookmark(row)))
        return found;                // nothing was read before the edit: nothing to hold it against
    QHash<int, QList<int>> bySource; // source -> fields
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        bySource[m_fields[size_t(it.key())].source].append(it.key());
    for (auto it = bySource.cbegin(); it != bySource.cend(); ++it) {
        const OriginTable& s = m_tables[size_t(it.key())];
        QStringList columns;
        for (const int field : it.value())
            columns.append(sql::SqlTranslator::quoteName(m_fields[size_t(field)].column));
        SqliteStatement read = m_connection->prepare(
            QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                .arg(columns.join(QStringLiteral(", ")), sql::SqlTranslator::quoteName(s.table),
                     sql::SqlTranslator::quoteName(s.keyColumn)),
            error);
        if (!read.isValid())
            return std::nullopt;
        read.bindInt(1, m_keyset.key(row, it.key()));
        const int rc = read.step();
        if (rc != SQLITE_ROW) {
            if (error)
                *error = rc == SQLITE_DONE
                             ? QStringLiteral("The record has been deleted from its table, so "
                                              "the change cannot be stored.")
                             : m_connection->lastError();
            return std::nullopt;
        }
        for (int i = 0; i < it.value().size(); ++i) {
            const int field = it.value().at(i);
            const QVariant stored = read.value(i);
            if (sameStored(stored, m_seen.value(field)))
                continue;
            // Another user stored what this edit stores: nothing to lose.
            const auto mine =
                FieldFormat::storage(m_pending.value(field), m_fields[size_t(field)].kind, nullptr);
            if (!mine || !sameStored(stored, *mine))
                found.append({field, stored});
        }
    }
    return found;
}

bool DataSource::keepOwnEdit(const QList<Conflict>& conflicts) {
    QStringList lines;
    for (const Conflict& c : conflicts) {
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
    return MsgBox::show(message, MsgBox::YesNo | MsgBox::Exclamation) == MsgBox::Yes;
}

bool DataSource::writePending() {
    if (m_pending.isEmpty()) {
        if (m_adding) { // nothing was entered: no row
            m_adding = false;
            m_position = m_positionBeforeAdd;
        }
        return true;
    }
    if (!openConnection()) {
        reportError(m_lastError);
        return false;
    }

    // Every value must fit before anything is written.
    QHash<int, QVariant> storedValues; // field -> value to store
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it) {
        const Field& f = m_fields[size_t(it.key())];
        QString why;
        const auto stored = FieldFormat::storage(it.value(), f.kind, &why);
        if (!stored) {
            reportError(QStringLiteral("The value \"%1\" %2, so it cannot be stored in the "
                                       "field %3.")
                            .arg(it.value().toString(), why, f.name));
            return false;
        }
        storedValues.insert(it.key(), *stored);
    }
    if (m_adding && !m_pending.isEmpty()) {
        QSet<int> sources;
        for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
            sources.insert(m_fields[size_t(it.key())].source);
        if (sources.size() > 1) {
            reportError(QStringLiteral("A new row can only take values of one table."));
            return false;
        }
    }

    QString error;
    const int row = currentRow();
    quint64 before = 0;
    qint64 newKey = 0;
    int newSource = -1;
    bool othersWrote = true;
    for (;;) {
        before = m_connection->pollChanges();
        const quint64 version = m_connection->dataVersion();
        Transaction transaction(*m_connection);
        if (!transaction.begin(&error)) {
            reportError(error);
            return false;
        }
        m_connection->pollChanges();
        othersWrote = m_connection->dataVersion() != version;
        if (!m_adding) {
            const auto changed = conflicts(row, &error);
            if (!changed) {
                if (error.startsWith(QLatin1String("The record has been deleted")))
                    m_pending.clear();
                reportError(error);
                return false;
            }
            if (!changed->isEmpty()) {
                // The user decides outside the write transaction, so that
                // other users are not held up while the question waits.
                transaction.rollback();
                const bool keep = keepOwnEdit(*changed);
                for (const Conflict& c : *changed) {
                    if (keep) {
                        m_seen.setValue(c.field, c.stored);
                    } else {
                        m_pending.remove(c.field);
                        storedValues.remove(c.field);
                    }
                }
                if (m_pending.isEmpty()) {
                    m_seen.forget();
                    m_pages.dropPageOf(row);
                    if (isJoin())
                        m_pages.clear();
                    emit rowChanged(row);
                    return true;
                }
                continue; // look again: the row may have changed once more
            }
        }

        QHash<int, QList<QPair<QString, QVariant>>> bySource; // source -> (column, value)
        for (auto it = storedValues.cbegin(); it != storedValues.cend(); ++it) {
            const Field& f = m_fields[size_t(it.key())];
            bySource[f.source].append({f.column, it.value()});
        }
        if (m_adding) {
            newSource = bySource.cbegin().key();
            const auto& values = bySource.cbegin().value();
            QStringList columns;
            for (const auto& [column, value] : values)
                columns.append(sql::SqlTranslator::quoteName(column));
            SqliteStatement insert = m_connection->prepare(
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(sql::SqlTranslator::quoteName(m_tables[size_t(newSource)].table),
                         columns.join(QStringLiteral(", ")), placeholders(int(values.size()))),
                &error);
            if (!insert.isValid()) {
                reportError(error);
                return false;
            }
            for (int i = 0; i < values.size(); ++i)
                insert.bind(i + 1, values.at(i).second);
            if (insert.step() != SQLITE_DONE) {
                reportError(m_connection->lastError());
                return false;
            }
            newKey = sqlite3_last_insert_rowid(m_connection->handle());
        } else {
            for (auto it = bySource.cbegin(); it != bySource.cend(); ++it) {
                const OriginTable& s = m_tables[size_t(it.key())];
                const qint64 key = m_keyset.key(row, it.key());
                QStringList sets;
                for (const auto& [column, value] : it.value())
                    sets.append(sql::SqlTranslator::quoteName(column) + QStringLiteral(" = ?"));
                SqliteStatement update =
                    m_connection->prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                              .arg(sql::SqlTranslator::quoteName(s.table),
                                                   sets.join(QStringLiteral(", ")),
                                                   sql::SqlTranslator::quoteName(s.keyColumn)),
                                          &error);
                if (!update.isValid()) {
                    reportError(error);
                    return false;
                }
                int index = 1;
                for (const auto& [column, value] : it.value())
                    update.bind(index++, value);
                update.bindInt(index, key);
                if (update.step() != SQLITE_DONE) {
                    reportError(m_connection->lastError());
                    return false;
                }
                if (sqlite3_changes(m_connection->handle()) == 0) {
                    m_pending.clear();
                    reportError(QStringLiteral("The record has been deleted from its table, so "
                                               "the change cannot be stored."));
                    return false;
                }
            }
        }
        if (!transaction.commit(&error)) {
            reportError(error);
            return false;
        }
        break;
    }
    m_pending.clear();
    m_seen.forget(); // what is stored now is read again when the row is shown

    // Pages read when the file was as it was just before this write hold
    // only this write's change: they stay valid but for the page of the
    // changed row (in a join the same table row may show on many result
    // rows). Pages read earlier may miss another connection's changes.
    const quint64 stamp = m_connection->changeStamp();
    if (m_adding) {
        std::vector<qint64> keys(size_t(m_keyset.width()), Keyset::NullKey);
        keys[size_t(newSource)] = newKey;
        m_keyset.append(keys);
        const int added = m_keyset.rowCount() - 1;
        m_lastModified = m_keyset.bookmark(added);
        m_adding = false;
        m_position = m_positionBeforeAdd >= added ? rowCount() : m_positionBeforeAdd;
        m_pages.carryForward(before, stamp, othersWrote, added);
        emit rowInserted(added);
    } else {
        m_lastModified = m_keyset.bookmark(row);
        if (isJoin())
            m_pages.clear();
        else
            m_pages.carryForward(before, stamp, othersWrote, row);
        emit rowChanged(row);
    }
    return true;
}

void DataSource::bind(QWidget* control, const QString& fieldName) {
    new FieldBinder(this, control, fieldName);
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
