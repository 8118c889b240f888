#pragma once

#include <memory>

class SqliteConnection;

// Copies the write-ahead log of a database back into the file on a thread
// of its own, every few tens of milliseconds, while a long run of writes
// goes on through `connection`. The connection's own automatic checkpoints
// are off meanwhile: they would run inside a commit and hold it up for the
// whole copy and its flush to disk. The checkpoints here are passive: they
// never wait for, nor block, a writer or a reader.
//
// When it goes, the connection checkpoints automatically again, and the
// thread is told to stop: a checkpoint under way is cut short, and the
// thread ends on its own, so that nobody waits for the flush of a copy
// nobody asked for.
class WalCheckpointer {
public:
    explicit WalCheckpointer(SqliteConnection& connection, int intervalMs = 50);
    ~WalCheckpointer();
    WalCheckpointer(const WalCheckpointer&) = delete;
    WalCheckpointer& operator=(const WalCheckpointer&) = delete;

    // Whether the last checkpoint copied the whole log into the file: a
    // close or a measure of the file then has nothing left to copy.
    bool caughtUp() const;

private:
    struct State;
    SqliteConnection& m_connection;
    std::shared_ptr<State> m_state;
};
