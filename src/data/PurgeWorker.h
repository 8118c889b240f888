#pragma once

#include <QDate>
#include <QString>
#include <QThread>
#include <atomic>
#include <mutex>

// Walks one table with a PurgeWalk on a thread of its own, through a
// connection of its own to the database file, slice after slice until the
// table is done, it fails, or it is asked to stop. The window that runs it
// only looks at its progress now and then, so that neither the slices nor
// their commits (which wait for the disk) nor the making anew of a search
// index hold up the event loop.
//
// A stop takes effect between two slices: what was committed stays, and the
// connection closes with no transaction open. The connection is closed
// before the worker reports itself finished, so that the other connections
// of the program then see every change.
class PurgeWorker : public QThread {
public:
    struct Progress {
        int slices = 0; // slices committed so far
        int total = 0;
        int checked = 0;
        int deleted = 0;
        int undated = 0;
        QString currentDate; // as stored, of the last row checked
        bool finished = false;
        bool failed = false;
        QString error;
    };

    // `settle`: once the table is done, the log is copied into the file, so
    // that a measure or a copy of the file afterwards has nothing to wait for.
    PurgeWorker(QString path, QString table, QDate cutOff, bool settle, QObject* parent = nullptr);
    // Stops the walk and waits for the thread.
    ~PurgeWorker() override;

    Progress progress() const;
    // Asks the walk to end after the slice under way.
    void stop() { m_stop = true; }

protected:
    void run() override;

private:
    void publish(const Progress& progress);

    const QString m_path;
    const QString m_table;
    const QDate m_cutOff;
    const bool m_settle;
    std::atomic<bool> m_stop = false;
    mutable std::mutex m_mutex;
    Progress m_progress;
};
