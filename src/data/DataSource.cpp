#include "DataSource.h"

#include "Database.h"
#include "FieldBinder.h"
#include "SqlParser.h"
#include "SqliteConnection.h"
#include "Transaction.h"
#include "platform/MsgBox.h"

#include <QRegularExpression>
#include <QSet>
#include <cstring>
#include <sqlite3.h>

namespace {

constexpr int MaxCachedPages = 16;
constexpr int BulkChunk = 500;

// A record source that is a bare table name: "TABLE02", "[COMPETITION$]".
std::optional<QString> tableName(const QString& source) {
    static const QRegularExpression bare(QStringLiteral("^\\w+$"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression bracketed(QStringLiteral("^\\[([^\\]]+)\\]$"));
    if (bare.match(source).hasMatch() && !sql::isReservedWord(source))
        return source;
    if (const auto m = bracketed.match(source); m.hasMatch())
        return m.captured(1);
    return std::nullopt;
}

QString placeholders(int count) {
    QStringList marks;
    marks.reserve(count);
    for (int i = 0; i < count; ++i)
        marks.append(QStringLiteral("?"));
    return marks.join(u',');
}

// The key tuple at the start of a result row, in the form bookmarks take.
QByteArray keyTuple(const SqliteStatement& statement, int width, qint64 nullKey) {
    QByteArray tuple(qsizetype(sizeof(qint64)) * width, Qt::Uninitialized);
    for (int j = 0; j < width; ++j) {
        const qint64 key = statement.isNull(j) ? nullKey : statement.intValue(j);
        std::memcpy(tuple.data() + sizeof(qint64) * size_t(j), &key, sizeof(key));
    }
    return tuple;
}

} // namespace

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

void DataSource::clearResult() {
    forgetSeenRow();
    m_fields.clear();
    m_sources.clear();
    m_keys.clear();
    m_snapshot.clear();
    m_rowCount = 0;
    m_pages.clear();
    m_rowIndex.clear();
}

bool DataSource::refresh() {
    if (!writePending())
        return false;
    m_lastError.clear();
    if (!openConnection())
        return false;
    m_connection->pollChanges();

    QString text = m_recordSource.trimmed();
    if (text.isEmpty()) {
        m_lastError = QStringLiteral("The data source %1 has no record source.").arg(objectName());
        return false;
    }
    if (const auto table = tableName(text))
        text = QStringLiteral("SELECT * FROM [%1]").arg(*table);

    QString error;
    const auto statement = sql::SqlParser::parse(text, &error);
    if (!statement) {
        m_lastError = error;
        return false;
    }
    if (statement->kind != sql::Statement::Kind::Select || !statement->select.into.isEmpty()) {
        m_lastError = QStringLiteral("The record source of %1 must be a table name or a SELECT "
                                     "query.")
                          .arg(objectName());
        return false;
    }
    const auto translated =
        Database::translator(m_connection).translateSelect(statement->select, &error);
    if (!translated) {
        m_lastError = error;
        return false;
    }
    bool outerJoin = false;
    std::function<void(const sql::TableRefPtr&)> visit = [&](const sql::TableRefPtr& ref) {
        if (ref->kind == sql::TableRef::Kind::Join) {
            outerJoin |= ref->joinType != QLatin1String("INNER");
            visit(ref->left);
            visit(ref->right);
        }
    };
    for (const auto& ref : statement->select.from)
        visit(ref);

    // Keyed: read the keys of the rows in order; the values come later.
    std::vector<Source> sources;
    QStringList keyExpressions;
    for (const sql::SourceTable& s : translated->sources) {
        Source source{s.table, s.qualifier, m_connection->keyColumn(s.table)};
        keyExpressions.append(sql::SqlTranslator::quoteName(source.qualifier) + u'.' +
                              sql::SqlTranslator::quoteName(source.keyColumn));
        sources.push_back(source);
    }
    const QString keyList = keyExpressions.join(QStringLiteral(", "));
    bool keyed = translated->keyed() && !outerJoin && !sources.empty();

    std::vector<qint64> keys;
    std::vector<std::vector<QVariant>> snapshot;
    SqliteStatement probe;
    if (keyed) {
        QString keySql =
            QStringLiteral("SELECT ") + keyList + QStringLiteral(" FROM ") + translated->fromSql;
        if (!translated->whereSql.isEmpty())
            keySql += QStringLiteral(" WHERE ") + translated->whereSql;
        // Without an order of its own a result lists rows in the order they
        // were stored, whatever index the engine happens to read.
        keySql += QStringLiteral(" ORDER BY ") +
                  (translated->orderSql.isEmpty() ? keyList : translated->orderSql);
        if (translated->top)
            keySql += QStringLiteral(" LIMIT %1").arg(*translated->top);
        probe = m_connection->prepare(QStringLiteral("SELECT ") + keyList + QStringLiteral(", ") +
                                          translated->selectList() + QStringLiteral(" FROM ") +
                                          translated->fromSql,
                                      &error);
        SqliteStatement keyQuery =
            probe.isValid() ? m_connection->prepare(keySql, &error) : SqliteStatement();
        if (!probe.isValid() || !keyQuery.isValid()) {
            // Views and the like have no keys to hold: read the rows instead.
            keyed = false;
            probe = SqliteStatement();
        } else {
            const int w = int(sources.size());
            int rc;
            while ((rc = keyQuery.step()) == SQLITE_ROW)
                for (int j = 0; j < w; ++j)
                    keys.push_back(keyQuery.isNull(j) ? NullKey : keyQuery.intValue(j));
            if (rc != SQLITE_DONE) {
                m_lastError = m_connection->lastError();
                return false;
            }
        }
    }
    int fieldOffset = int(sources.size());
    if (!keyed) {
        probe = m_connection->prepare(translated->sql(), &error);
        if (!probe.isValid()) {
            m_lastError = error;
            return false;
        }
        fieldOffset = 0;
        int rc;
        while ((rc = probe.step()) == SQLITE_ROW) {
            std::vector<QVariant> row;
            row.reserve(size_t(probe.columnCount()));
            for (int c = 0; c < probe.columnCount(); ++c)
                row.push_back(probe.value(c));
            snapshot.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE) {
            m_lastError = m_connection->lastError();
            return false;
        }
    }

    std::vector<Field> fields;
    for (size_t i = 0; i < translated->columns.size(); ++i) {
        const int c = fieldOffset + int(i);
        Field field;
        field.name = translated->columns[i].name;
        field.sql = translated->columns[i].sql;
        field.column = probe.originColumn(c);
        const QString origin = probe.originTable(c);
        if (!field.column.isEmpty()) {
            field.kind = FieldFormat::kindOf(probe.declaredType(c), field.column);
            // A column named through its alias belongs to that alias's row:
            // in a join of a table with itself both rows come from one table.
            const QString& qualifier = translated->columns[i].qualifier;
            for (size_t s = 0; s < sources.size() && field.source < 0; ++s)
                if (!qualifier.isEmpty() &&
                    sources[s].qualifier.compare(qualifier, Qt::CaseInsensitive) == 0 &&
                    sources[s].table.compare(origin, Qt::CaseInsensitive) == 0)
                    field.source = int(s);
            for (size_t s = 0; s < sources.size() && field.source < 0; ++s)
                if (sources[s].table.compare(origin, Qt::CaseInsensitive) == 0)
                    field.source = int(s);
            field.updatable = keyed && field.source >= 0 &&
                              field.column.compare(sources[size_t(field.source)].keyColumn,
                                                   Qt::CaseInsensitive) != 0;
        }
        fields.push_back(field);
    }

    clearResult();
    m_isOpen = true;
    m_keyed = keyed;
    m_fields = std::move(fields);
    m_sources = std::move(sources);
    m_fromSql = translated->fromSql;
    m_selectList = translated->selectList();
    m_keys = std::move(keys);
    m_snapshot = std::move(snapshot);
    m_rowCount = keyed ? int(m_keys.size() / m_sources.size()) : int(m_snapshot.size());
    m_pending.clear();
    m_adding = false;
    m_onDeleted = false;
    m_position = 0;
    emit refreshed();
    emit currentChanged();
    return true;
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
                (m_sources[size_t(f.source)].qualifier.compare(table, Qt::CaseInsensitive) == 0 ||
                 m_sources[size_t(f.source)].table.compare(table, Qt::CaseInsensitive) == 0))
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

QByteArray DataSource::keyOf(int row) const {
    const int w = width();
    return QByteArray(reinterpret_cast<const char*>(m_keys.data() + size_t(row) * size_t(w)),
                      qsizetype(sizeof(qint64)) * w);
}

QByteArray DataSource::bookmarkAt(int row) const {
    if (row < 0 || row >= m_rowCount)
        return {};
    if (m_keyed)
        return keyOf(row);
    const qint64 index = row;
    return QByteArray(reinterpret_cast<const char*>(&index), sizeof(index));
}

int DataSource::rowOfBookmark(const QByteArray& bookmark) const {
    if (bookmark.isEmpty())
        return -1;
    if (!m_keyed) {
        if (bookmark.size() != sizeof(qint64))
            return -1;
        qint64 index = 0;
        std::memcpy(&index, bookmark.constData(), sizeof(index));
        return index >= 0 && index < m_rowCount ? int(index) : -1;
    }
    if (m_rowIndex.isEmpty() && m_rowCount > 0) {
        m_rowIndex.reserve(m_rowCount);
        for (int row = 0; row < m_rowCount; ++row)
            m_rowIndex.insert(keyOf(row), row);
    }
    return m_rowIndex.value(bookmark, -1);
}

int DataSource::currentRow() const {
    if (m_adding || m_onDeleted || m_position < 0 || m_position >= m_rowCount)
        return -1;
    return m_position;
}

bool DataSource::hasCurrentRow() const {
    return m_adding || currentRow() >= 0;
}

DataSource::Page* DataSource::page(int index) {
    const quint64 stamp = m_connection ? m_connection->changeStamp() : 0;
    auto it = m_pages.find(index);
    if (it != m_pages.end() && it->stamp == stamp) {
        it->lastUse = ++m_pageUse;
        return &*it;
    }
    if (m_pages.size() >= MaxCachedPages && it == m_pages.end()) {
        auto oldest = m_pages.begin();
        for (auto p = m_pages.begin(); p != m_pages.end(); ++p)
            if (p->lastUse < oldest->lastUse)
                oldest = p;
        m_pages.erase(oldest);
    }
    Page fresh;
    const int first = index * PageSize;
    if (!fetchRows(first, std::min(PageSize, m_rowCount - first), fresh))
        return nullptr;
    fresh.stamp = stamp;
    fresh.lastUse = ++m_pageUse;
    return &*m_pages.insert(index, std::move(fresh));
}

QString DataSource::keyedQuery(const QString& selectList, int chunk) const {
    QStringList keys, conditions;
    for (const Source& s : m_sources) {
        const QString key = sql::SqlTranslator::quoteName(s.qualifier) + u'.' +
                            sql::SqlTranslator::quoteName(s.keyColumn);
        keys.append(key);
        conditions.append(key + QStringLiteral(" IN (") + placeholders(chunk) + u')');
    }
    return QStringLiteral("SELECT ") + keys.join(QStringLiteral(", ")) + QStringLiteral(", ") +
           selectList + QStringLiteral(" FROM ") + m_fromSql + QStringLiteral(" WHERE ") +
           conditions.join(QStringLiteral(" AND "));
}

void DataSource::bindKeys(SqliteStatement& statement, int first, int count, int chunk) const {
    const int w = width();
    for (int j = 0; j < w; ++j)
        for (int i = 0; i < chunk; ++i) {
            const int index = j * chunk + i + 1;
            const qint64 key =
                i < count ? m_keys[size_t(first + i) * size_t(w) + size_t(j)] : NullKey;
            if (key == NullKey)
                statement.bindNull(index);
            else
                statement.bindInt(index, key);
        }
}

bool DataSource::fetchRows(int first, int count, Page& into) {
    const int w = width();
    QString error;
    SqliteStatement statement = m_connection->cached(keyedQuery(m_selectList, PageSize), &error);
    if (!statement.isValid()) {
        m_lastError = error;
        return false;
    }
    bindKeys(statement, first, count, PageSize);

    into.rows.assign(size_t(count), std::vector<QVariant>());
    into.present.assign(size_t(count), false);
    QHash<QByteArray, int> slot;
    for (int i = 0; i < count; ++i)
        slot.insert(keyOf(first + i), i);
    const int fields = int(m_fields.size());
    int rc;
    while ((rc = statement.step()) == SQLITE_ROW) {
        const int i = slot.value(keyTuple(statement, w, NullKey), -1);
        if (i < 0)
            continue;
        std::vector<QVariant>& row = into.rows[size_t(i)];
        row.reserve(size_t(fields));
        for (int f = 0; f < fields; ++f)
            row.push_back(statement.value(w + f));
        into.present[size_t(i)] = true;
    }
    if (rc != SQLITE_DONE) {
        m_lastError = m_connection->lastError();
        return false;
    }
    return true;
}

const std::vector<QVariant>* DataSource::rowValues(int row) {
    if (row < 0 || row >= m_rowCount)
        return nullptr;
    if (!m_keyed)
        return &m_snapshot[size_t(row)];
    if (!openConnection())
        return nullptr;
    Page* p = page(row / PageSize);
    if (!p || !p->present[size_t(row % PageSize)])
        return nullptr; // the row has gone from its table since the refresh
    const std::vector<QVariant>* values = &p->rows[size_t(row % PageSize)];
    if (row == currentRow() && m_seenKey.isEmpty()) {
        m_seenKey = keyOf(row);
        m_seenValues = *values;
    }
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
    if (field < 0 || field >= fieldCount() || m_rowCount == 0)
        return texts;
    texts.reserve(m_rowCount);
    const FieldKind kind = m_fields[size_t(field)].kind;
    if (!m_keyed) {
        for (const auto& row : m_snapshot)
            texts.append(FieldFormat::text(row[size_t(field)], kind));
        return texts;
    }
    if (!openConnection())
        return texts;
    for (int row = 0; row < m_rowCount; ++row)
        texts.append(QString());

    // Read the one field for chunks of keys; rows that have gone stay empty.
    QString error;
    SqliteStatement statement =
        m_connection->prepare(keyedQuery(m_fields[size_t(field)].sql, BulkChunk), &error);
    if (!statement.isValid()) {
        m_lastError = error;
        return texts;
    }
    if (m_rowIndex.isEmpty())
        rowOfBookmark(keyOf(0)); // builds the index
    const int w = width();
    for (int first = 0; first < m_rowCount; first += BulkChunk) {
        const int count = std::min(BulkChunk, m_rowCount - first);
        statement.reset();
        bindKeys(statement, first, count, BulkChunk);
        while (statement.step() == SQLITE_ROW) {
            const int row = m_rowIndex.value(keyTuple(statement, w, NullKey), -1);
            if (row >= first && row < first + count)
                texts[row] = FieldFormat::text(statement.value(w), kind);
        }
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
    if (m_seenKey.isEmpty() && !m_adding)
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

} // namespace

std::optional<QList<DataSource::Conflict>> DataSource::conflicts(int row, QString* error) {
    QList<Conflict> found;
    if (m_seenKey.isEmpty() || m_seenKey != keyOf(row))
        return found;                // nothing was read before the edit: nothing to hold it against
    QHash<int, QList<int>> bySource; // source -> fields
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        bySource[m_fields[size_t(it.key())].source].append(it.key());
    for (auto it = bySource.cbegin(); it != bySource.cend(); ++it) {
        const Source& s = m_sources[size_t(it.key())];
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
        read.bindInt(1, m_keys[size_t(row) * size_t(width()) + size_t(it.key())]);
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
            if (sameStored(stored, m_seenValues.at(size_t(field))))
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
                        m_seenValues[size_t(c.field)] = c.stored;
                    } else {
                        m_pending.remove(c.field);
                        storedValues.remove(c.field);
                    }
                }
                if (m_pending.isEmpty()) {
                    forgetSeenRow();
                    m_pages.remove(row / PageSize);
                    if (width() > 1)
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
                    .arg(sql::SqlTranslator::quoteName(m_sources[size_t(newSource)].table),
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
                const Source& s = m_sources[size_t(it.key())];
                const qint64 key = m_keys[size_t(row) * size_t(width()) + size_t(it.key())];
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
    forgetSeenRow(); // what is stored now is read again when the row is shown

    // Pages read when the file was as it was just before this write hold
    // only this write's change: they stay valid but for the page of the
    // changed row (in a join the same table row may show on many result
    // rows). Pages read earlier may miss another connection's changes.
    const quint64 stamp = m_connection->changeStamp();
    auto carryForward = [&](int exceptPage) {
        for (auto p = m_pages.begin(); p != m_pages.end();)
            if (p.key() == exceptPage || p->stamp != before || othersWrote)
                p = m_pages.erase(p);
            else
                (p++)->stamp = stamp;
    };
    if (m_adding) {
        for (int j = 0; j < width(); ++j)
            m_keys.push_back(j == newSource ? newKey : NullKey);
        const int added = m_rowCount++;
        m_lastModified = keyOf(added);
        if (!m_rowIndex.isEmpty())
            m_rowIndex.insert(m_lastModified, added);
        m_adding = false;
        m_position = m_positionBeforeAdd >= added ? m_rowCount : m_positionBeforeAdd;
        carryForward(added / PageSize);
        emit rowInserted(added);
    } else {
        m_lastModified = keyOf(row);
        if (width() > 1)
            m_pages.clear();
        else
            carryForward(row / PageSize);
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
    forgetSeenRow();
    if (m_connection)
        m_connection->pollChanges(); // another connection's changes show from here on
    emit currentChanged();
    return true;
}
