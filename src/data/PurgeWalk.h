#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <limits>
#include <memory>

class SqliteConnection;
class WalCheckpointer;

// Deletes the rows of one table of the main database whose DATE01 lies on
// an earlier day than a cut-off day, walking the table in key order a slice
// at a time, so that whoever runs it (a PurgeWorker, off the event loop)
// can stop between two slices.
//
// A row's date is its day: a time part does not count, so a row of the
// cut-off day itself stays whatever its time. A row without a date, or with
// a text that is not a date, cannot be judged and is kept (counted as
// undated). Each slice is one transaction: a slice either happens whole or
// not at all. The search indexes of the documents stay in step: a deleted
// document leaves them in the slice that deletes it, or, when nearly all of
// a large table goes, they are made anew for the few kept at the end.
class PurgeWalk {
public:
    PurgeWalk(std::shared_ptr<SqliteConnection> connection, QString table, QDate cutOff);
    ~PurgeWalk();
    PurgeWalk(const PurgeWalk&) = delete;
    PurgeWalk& operator=(const PurgeWalk&) = delete;

    // Counts the rows to check. False, with the reason, when the table
    // cannot be read.
    bool start(QString* error);
    // Checks rows for about `budgetMs` milliseconds (at least one batch).
    // False, with the reason, when a write failed; that slice is undone and
    // the walk can go on with the next step.
    bool step(int budgetMs, QString* error);

    bool done() const { return m_done; }
    // Whether the changes are all in the database file itself, so that
    // nothing is left for a close or a measure of the file to copy.
    bool settled() const;
    const QString& table() const { return m_table; }
    int total() const { return m_total; }     // rows when the walk started
    int checked() const { return m_checked; } // rows judged so far
    int deleted() const { return m_deleted; }
    int undated() const { return m_undated; } // kept for want of a date
    // The date text of the last row checked, as stored.
    const QString& currentDate() const { return m_currentDate; }

    // The day a stored date text falls on; null for an empty text or one
    // that is no date.
    static QDate dayOf(const QString& stored);

private:
    bool forgetPlainTexts(const QList<qint64>& keys, QString* error);

    std::shared_ptr<SqliteConnection> m_connection;
    QString m_table;
    QString m_key;
    QDate m_cutOff;
    qint64 m_after = std::numeric_limits<qint64>::min();
    int m_batch = 256;
    int m_total = 0;
    int m_checked = 0;
    int m_deleted = 0;
    int m_undated = 0;
    bool m_done = false;
    bool m_indexed = false;
    bool m_rebuildIndexes = false;
    std::unique_ptr<WalCheckpointer> m_checkpointer;
    QString m_currentDate;
};
