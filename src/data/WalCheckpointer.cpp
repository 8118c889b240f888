#include "WalCheckpointer.h"

#include "SqliteConnection.h"

#include <sqlite3.h>

namespace {

constexpr int AutomaticCheckpointPages = 1000; // SQLite's default

} // namespace

WalCheckpointer::WalCheckpointer(SqliteConnection& connection, int intervalMs)
    : m_connection(connection)
    , m_intervalMs(intervalMs) {
    m_connection.execute(QStringLiteral("PRAGMA wal_autocheckpoint=0"), nullptr);
    m_thread = std::thread(&WalCheckpointer::run, this, m_connection.path());
}

WalCheckpointer::~WalCheckpointer() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    if (m_connection.isOpen())
        m_connection.execute(
            QStringLiteral("PRAGMA wal_autocheckpoint=%1").arg(AutomaticCheckpointPages), nullptr);
}

void WalCheckpointer::run(const QString& path) {
    // A plain connection of this thread: checkpoints need no collation or
    // function of the program's dialect.
    sqlite3* db = nullptr;
    const QByteArray file = path.toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        return;
    }
    std::unique_lock lock(m_mutex);
    while (!m_wake.wait_for(lock, std::chrono::milliseconds(m_intervalMs),
                            [this] { return m_stop; })) {
        lock.unlock();
        sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        lock.lock();
    }
    lock.unlock();
    sqlite3_close_v2(db);
}
