#include "WalCheckpointer.h"

#include "SqliteConnection.h"

#include <QByteArray>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <sqlite3.h>
#include <thread>

namespace {

constexpr int AutomaticCheckpointPages = 1000; // SQLite's default

} // namespace

// Shared by the owner and the thread, which may outlive the owner.
struct WalCheckpointer::State {
    std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;
    std::atomic<bool> caughtUp = false;
    sqlite3* db = nullptr; // the thread's connection, while it is open
};

WalCheckpointer::WalCheckpointer(SqliteConnection& connection, int intervalMs)
    : m_connection(connection)
    , m_state(std::make_shared<State>()) {
    m_connection.execute(QStringLiteral("PRAGMA wal_autocheckpoint=0"), nullptr);
    std::thread([state = m_state, file = m_connection.path().toUtf8(), intervalMs] {
        // A plain connection of this thread: checkpoints need no collation
        // or function of the program's dialect.
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            sqlite3_close_v2(db);
            return;
        }
        std::unique_lock lock(state->mutex);
        state->db = db;
        while (!state->wake.wait_for(lock, std::chrono::milliseconds(intervalMs),
                                     [&] { return state->stop; })) {
            lock.unlock();
            int logFrames = 0, copiedFrames = 0;
            const int rc = sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE,
                                                     &logFrames, &copiedFrames);
            state->caughtUp = rc == SQLITE_OK && logFrames == copiedFrames;
            lock.lock();
        }
        state->db = nullptr;
        lock.unlock();
        sqlite3_close_v2(db);
    }).detach();
}

bool WalCheckpointer::caughtUp() const {
    return m_state->caughtUp;
}

WalCheckpointer::~WalCheckpointer() {
    {
        std::lock_guard lock(m_state->mutex);
        m_state->stop = true;
        if (m_state->db)
            sqlite3_interrupt(m_state->db);
    }
    m_state->wake.notify_all();
    if (m_connection.isOpen())
        m_connection.execute(
            QStringLiteral("PRAGMA wal_autocheckpoint=%1").arg(AutomaticCheckpointPages), nullptr);
}
