#include "PurgeWalk.h"

#include "DocumentIndex.h"
#include "SqliteConnection.h"
#include "SqliteStatement.h"
#include "Transaction.h"
#include "WalCheckpointer.h"

#include <QElapsedTimer>
#include <QList>
#include <algorithm>
#include <sqlite3.h>

namespace {

// A batch of rows is read, judged and its old rows deleted in about this
// long; the next batch is sized by what the last one cost per row.
constexpr qint64 TargetBatchNs = 2000000;
constexpr qint64 MaxBatch = 4096;
// A purge that deletes at least this many documents and keeps at most
// RebuildKeptRows of them makes the search indexes anew for the few kept
// at its end, rather than taking every deleted document out of them one by
// one (which costs about as much as indexing it).
constexpr int MassPurgeRows = 10000;
constexpr int RebuildKeptRows = 1000;

QString quoted(const QString& name) {
    return u'"' + QString(name).replace(u'"', QLatin1String("\"\"")) + u'"';
}

} // namespace

PurgeWalk::PurgeWalk(std::shared_ptr<SqliteConnection> connection, QString table, QDate cutOff)
    : m_connection(std::move(connection))
    , m_table(std::move(table))
    , m_cutOff(cutOff) {}

PurgeWalk::~PurgeWalk() = default;

QDate PurgeWalk::dayOf(const QString& stored) {
    const QString text = stored.trimmed();
    if (text.size() < 10)
        return {};
    // "YYYY-MM-DD", optionally followed by a time ("YYYY-MM-DD HH:MM:SS").
    if (text.size() > 10 && text.at(10) != u' ' && text.at(10) != u'T')
        return {};
    return QDate::fromString(text.left(10), Qt::ISODate);
}

bool PurgeWalk::start(QString* error) {
    m_key = m_connection->keyColumn(m_table);
    m_indexed = DocumentIndex::tables().contains(m_table) && DocumentIndex::hasPlainText();
    // The log is copied back into the file beside the walk, not by the
    // commit of a slice, which would hold the slice up for the whole copy.
    m_checkpointer = std::make_unique<WalCheckpointer>(*m_connection);
    SqliteStatement count = m_connection->prepare(
        QStringLiteral("SELECT COUNT(*) FROM %1").arg(quoted(m_table)), error);
    if (!count.isValid() || count.step() != SQLITE_ROW) {
        if (error && count.isValid())
            *error = m_connection->lastError();
        return false;
    }
    m_total = int(count.intValue(0));
    m_done = m_total == 0;
    count = SqliteStatement();
    if (m_indexed) {
        // Stored dates sort as text; a date with a time on the cut-off day
        // sorts after the day itself and is not counted.
        SqliteStatement old = m_connection->prepare(
            QStringLiteral("SELECT COUNT(*) FROM %1 WHERE \"DATE01\" < ?").arg(quoted(m_table)),
            error);
        if (!old.isValid())
            return false;
        old.bind(1, m_cutOff.toString(Qt::ISODate));
        if (old.step() == SQLITE_ROW) {
            const qint64 deleting = old.intValue(0);
            m_rebuildIndexes = deleting >= MassPurgeRows && m_total - deleting <= RebuildKeptRows;
        }
    }
    return true;
}

bool PurgeWalk::step(int budgetMs, QString* error) {
    if (m_done)
        return true;
    QElapsedTimer slice;
    slice.start();
    Transaction transaction(*m_connection);
    if (!transaction.begin(error))
        return false;
    const QString select = QStringLiteral("SELECT %1, \"DATE01\" FROM %2 WHERE %1 > ? ORDER BY %1 "
                                          "LIMIT ?")
                               .arg(quoted(m_key), quoted(m_table));
    const QString remove =
        QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(quoted(m_table), quoted(m_key));
    qint64 after = m_after;
    int checked = 0, deleted = 0, undated = 0;
    QString lastSeen = m_currentDate;
    bool finished = false;
    qint64 lastBatch = 0;
    do {
        QElapsedTimer batchTime;
        batchTime.start();
        QList<qint64> old;
        int count = 0;
        {
            SqliteStatement rows = m_connection->cached(select, error);
            if (!rows.isValid())
                return false;
            rows.bindInt(1, after);
            rows.bindInt(2, m_batch);
            int rc;
            while ((rc = rows.step()) == SQLITE_ROW) {
                ++count;
                after = rows.intValue(0);
                const QString stored = rows.isNull(1) ? QString() : rows.value(1).toString();
                const QDate day = dayOf(stored);
                lastSeen = stored;
                if (!day.isValid())
                    ++undated;
                else if (day < m_cutOff)
                    old.append(after);
            }
            if (rc != SQLITE_DONE) {
                if (error)
                    *error = m_connection->lastError();
                return false;
            }
            checked += count;
            finished = count < m_batch;
        }
        if (!old.isEmpty()) {
            SqliteStatement erase = m_connection->cached(remove, error);
            if (!erase.isValid())
                return false;
            for (qint64 key : std::as_const(old)) {
                erase.bindInt(1, key);
                if (erase.step() != SQLITE_DONE) {
                    if (error)
                        *error = m_connection->lastError();
                    return false;
                }
                erase.reset();
            }
            deleted += int(old.size());
            // The search indexes of the documents forget them in the same
            // slice, rather than all at once at the next search.
            if (m_indexed && !m_rebuildIndexes &&
                !DocumentIndex::update(*m_connection, m_table, error))
                return false;
            // Made anew at the end: meanwhile a deleted document's plain text
            // and the note of its deletion go with it, so that the end has
            // only the few kept documents to index. A search in between reads
            // the plain texts and so finds none of the deleted documents.
            if (m_rebuildIndexes && !forgetPlainTexts(old, error))
                return false;
        }
        // Batches of about two milliseconds, whatever the rows cost; the
        // slice ends before a batch would take it past its budget.
        lastBatch = batchTime.nsecsElapsed();
        const qint64 perRow = std::max<qint64>(1, lastBatch / std::max(1, count));
        m_batch = int(std::clamp<qint64>(TargetBatchNs / perRow, 1, MaxBatch));
    } while (!finished && slice.nsecsElapsed() + lastBatch < qint64(budgetMs) * 1000000);
    if (finished && m_rebuildIndexes && !DocumentIndex::rebuild(*m_connection, m_table, error))
        return false;
    if (deleted > 0)
        m_connection->noteWrite();
    if (!transaction.commit(error))
        return false;
    m_after = after;
    m_checked += checked;
    m_deleted += deleted;
    m_undated += undated;
    m_currentDate = lastSeen;
    m_done = finished;
    return true;
}

bool PurgeWalk::forgetPlainTexts(const QList<qint64>& keys, QString* error) {
    SqliteStatement plain =
        m_connection->cached(QStringLiteral("DELETE FROM %1 WHERE \"ROW\" = ?")
                                 .arg(quoted(DocumentIndex::plainTable(m_table))),
                             error);
    if (!plain.isValid())
        return false;
    for (qint64 key : keys) {
        plain.bindInt(1, key);
        if (plain.step() != SQLITE_DONE) {
            if (error)
                *error = m_connection->lastError();
            return false;
        }
        plain.reset();
    }
    SqliteStatement note = m_connection->cached(
        QStringLiteral("DELETE FROM \"TESS_PENDING\" WHERE \"TABLENAME\" = ? AND \"ROW\" = ?"),
        error);
    if (!note.isValid())
        return false;
    for (qint64 key : keys) {
        note.bind(1, m_table);
        note.bindInt(2, key);
        if (note.step() != SQLITE_DONE) {
            if (error)
                *error = m_connection->lastError();
            return false;
        }
        note.reset();
    }
    return true;
}

bool PurgeWalk::settled() const {
    return !m_checkpointer || m_checkpointer->caughtUp();
}
