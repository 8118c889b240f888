#include "RowWriter.h"

#include "Keyset.h"
#include "SeenRow.h"
#include "SqlTranslator.h"
#include "SqliteConnection.h"
#include "Transaction.h"

#include <QStringList>
#include <sqlite3.h>

namespace {

using sql::SqlTranslator;

// Stored values as SQLite gives them: equal only when of one kind and value.
bool sameStored(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return a.typeId() == b.typeId() && a == b;
}

QString placeholders(int count) {
    QStringList marks;
    marks.reserve(count);
    for (int i = 0; i < count; ++i)
        marks.append(QStringLiteral("?"));
    return marks.join(u',');
}

} // namespace

RowWriter::Outcome RowWriter::update(const Keyset& keyset, int row, QHash<int, QVariant>& values,
                                     SeenRow& seen, const KeepOwnEdit& keepOwnEdit) {
    for (;;) {
        Transaction transaction(m_connection);
        if (!begin(transaction))
            return Outcome::Failed;
        const auto changed = conflicts(keyset, row, values, seen);
        if (!changed)
            return m_rowGone ? Outcome::RowGone : Outcome::Failed;
        if (changed->isEmpty()) {
            const auto tables = byTable(values);
            for (auto it = tables.cbegin(); it != tables.cend(); ++it)
                if (!updateTable(it.key(), keyset.key(row, it.key()), it.value()))
                    return m_rowGone ? Outcome::RowGone : Outcome::Failed;
            return transaction.commit(&m_error) ? Outcome::Written : Outcome::Failed;
        }
        // The user decides outside the write transaction, so that other
        // users are not held up while the question waits.
        transaction.rollback();
        const bool keep = keepOwnEdit(*changed);
        for (const Conflict& c : *changed) {
            if (keep)
                seen.setValue(c.field, c.stored);
            else
                values.remove(c.field);
        }
        if (values.isEmpty())
            return Outcome::Withdrawn;
        // Look again: the row may have changed once more.
    }
}

bool RowWriter::insert(const QHash<int, QVariant>& values) {
    Transaction transaction(m_connection);
    if (!begin(transaction))
        return false;
    const auto tables = byTable(values);
    m_newTable = tables.cbegin().key();
    auto columns = tables.cbegin().value();
    const OriginTable& origin = m_tables[size_t(m_newTable)];
    if (const auto key = m_connection.newKey(origin.table)) {
        bool given = false;
        for (const auto& [column, value] : columns)
            given = given || column.compare(origin.keyColumn, Qt::CaseInsensitive) == 0;
        if (!given)
            columns.append({origin.keyColumn, QVariant(*key)});
    }
    { // the statement is done with before the commit
        QStringList names;
        for (const auto& [column, value] : columns)
            names.append(SqlTranslator::quoteName(column));
        SqliteStatement insert = m_connection.prepare(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(SqlTranslator::quoteName(m_tables[size_t(m_newTable)].table),
                     names.join(QStringLiteral(", ")), placeholders(int(columns.size()))),
            &m_error);
        if (!insert.isValid())
            return false;
        for (int i = 0; i < columns.size(); ++i)
            insert.bind(i + 1, columns.at(i).second);
        if (insert.step() != SQLITE_DONE) {
            m_error = m_connection.lastError();
            return false;
        }
        m_newKey = sqlite3_last_insert_rowid(m_connection.handle());
    }
    return transaction.commit(&m_error);
}

bool RowWriter::remove(const OriginTable& table, qint64 key) {
    Transaction transaction(m_connection);
    if (!transaction.begin(&m_error))
        return false;
    { // the statement is done with before the commit
        SqliteStatement remove =
            m_connection.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                                     .arg(SqlTranslator::quoteName(table.table),
                                          SqlTranslator::quoteName(table.keyColumn)),
                                 &m_error);
        if (!remove.isValid())
            return false;
        remove.bindInt(1, key);
        if (remove.step() != SQLITE_DONE) {
            m_error = m_connection.lastError();
            return false;
        }
    }
    return transaction.commit(&m_error);
}

bool RowWriter::begin(Transaction& transaction) {
    m_rowGone = false;
    m_stampBefore = m_connection.pollChanges();
    const quint64 version = m_connection.dataVersion();
    if (!transaction.begin(&m_error))
        return false;
    m_connection.pollChanges();
    m_othersWrote = m_connection.dataVersion() != version;
    return true;
}

std::optional<QList<RowWriter::Conflict>> RowWriter::conflicts(const Keyset& keyset, int row,
                                                               const QHash<int, QVariant>& values,
                                                               const SeenRow& seen) {
    QList<Conflict> found;
    if (!seen.isOf(keyset.bookmark(row)))
        return found; // nothing was read before the edit: nothing to hold it against
    QHash<int, QList<int>> fieldsByTable;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        fieldsByTable[m_fields[size_t(it.key())].source].append(it.key());
    for (auto it = fieldsByTable.cbegin(); it != fieldsByTable.cend(); ++it) {
        const OriginTable& t = m_tables[size_t(it.key())];
        QStringList columns;
        for (const int field : it.value())
            columns.append(SqlTranslator::quoteName(m_fields[size_t(field)].column));
        SqliteStatement read = m_connection.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                                                        .arg(columns.join(QStringLiteral(", ")),
                                                             SqlTranslator::quoteName(t.table),
                                                             SqlTranslator::quoteName(t.keyColumn)),
                                                    &m_error);
        if (!read.isValid())
            return std::nullopt;
        read.bindInt(1, keyset.key(row, it.key()));
        if (const int rc = read.step(); rc != SQLITE_ROW) {
            if (rc == SQLITE_DONE)
                markRowGone();
            else
                m_error = m_connection.lastError();
            return std::nullopt;
        }
        for (int i = 0; i < it.value().size(); ++i) {
            const int field = it.value().at(i);
            const QVariant stored = read.value(i);
            // Unchanged, or another user stored what this edit stores:
            // nothing to lose either way.
            if (!sameStored(stored, seen.value(field)) && !sameStored(stored, values.value(field)))
                found.append({field, stored});
        }
    }
    return found;
}

bool RowWriter::updateTable(int table, qint64 key, const QList<QPair<QString, QVariant>>& columns) {
    const OriginTable& t = m_tables[size_t(table)];
    QStringList sets;
    for (const auto& [column, value] : columns)
        sets.append(SqlTranslator::quoteName(column) + QStringLiteral(" = ?"));
    SqliteStatement update = m_connection.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                                      .arg(SqlTranslator::quoteName(t.table),
                                                           sets.join(QStringLiteral(", ")),
                                                           SqlTranslator::quoteName(t.keyColumn)),
                                                  &m_error);
    if (!update.isValid())
        return false;
    int index = 1;
    for (const auto& [column, value] : columns)
        update.bind(index++, value);
    update.bindInt(index, key);
    if (update.step() != SQLITE_DONE) {
        m_error = m_connection.lastError();
        return false;
    }
    if (sqlite3_changes(m_connection.handle()) == 0) {
        markRowGone();
        return false;
    }
    return true;
}

QHash<int, QList<QPair<QString, QVariant>>>
RowWriter::byTable(const QHash<int, QVariant>& values) const {
    QHash<int, QList<QPair<QString, QVariant>>> columns; // table -> (column, value)
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const Field& f = m_fields[size_t(it.key())];
        columns[f.source].append({f.column, it.value()});
    }
    return columns;
}

void RowWriter::markRowGone() {
    m_rowGone = true;
    m_error = QStringLiteral("The record has been deleted from its table, so the change cannot "
                             "be stored.");
}
