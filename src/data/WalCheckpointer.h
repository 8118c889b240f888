#pragma once

#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class SqliteConnection;

// Copies the write-ahead log of a database back into the file on a thread
// of its own, every few tens of milliseconds, while a long run of writes
// goes on through `connection`. The connection's own automatic checkpoints
// are off meanwhile: they would run inside a commit and hold it up for the
// whole copy. The checkpoints here are passive: they never wait for, nor
// block, a writer or a reader. When it goes, the connection checkpoints
// automatically again.
class WalCheckpointer {
public:
    explicit WalCheckpointer(SqliteConnection& connection, int intervalMs = 50);
    ~WalCheckpointer();
    WalCheckpointer(const WalCheckpointer&) = delete;
    WalCheckpointer& operator=(const WalCheckpointer&) = delete;

private:
    void run(const QString& path);

    SqliteConnection& m_connection;
    int m_intervalMs;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};
