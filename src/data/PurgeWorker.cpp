#include "PurgeWorker.h"

#include "PurgeWalk.h"
#include "SqliteConnection.h"

#include <memory>

namespace {

// Off the event loop's thread a slice may be longer: fewer commits, each of
// which waits for the disk, and still a stop is quick.
constexpr int SliceMs = 50;

} // namespace

PurgeWorker::PurgeWorker(QString path, QString table, QDate cutOff, bool settle, QObject* parent)
    : QThread(parent)
    , m_path(std::move(path))
    , m_table(std::move(table))
    , m_cutOff(cutOff)
    , m_settle(settle) {
    setObjectName(QStringLiteral("PurgeWorker"));
}

PurgeWorker::~PurgeWorker() {
    stop();
    wait();
}

PurgeWorker::Progress PurgeWorker::progress() const {
    std::lock_guard lock(m_mutex);
    return m_progress;
}

void PurgeWorker::publish(const Progress& progress) {
    std::lock_guard lock(m_mutex);
    m_progress = progress;
}

void PurgeWorker::run() {
    Progress progress;
    QString error;
    bool ok = false;
    {
        // An existing file only, never a new empty one where the database
        // has gone; on a replica the deletions are recorded for the next
        // synchronisation, as the program's own connection records them.
        std::shared_ptr<SqliteConnection> connection = SqliteConnection::own(m_path, &error);
        if (connection) {
            PurgeWalk walk(connection, m_table, m_cutOff);
            ok = walk.start(&error);
            progress.total = walk.total();
            while (ok && !walk.done() && !m_stop) {
                ok = walk.step(SliceMs, &error);
                if (!ok)
                    break;
                ++progress.slices;
                progress.checked = walk.checked();
                progress.deleted = walk.deleted();
                progress.undated = walk.undated();
                progress.currentDate = walk.currentDate();
                publish(progress);
            }
            if (ok && walk.done() && m_settle)
                connection->checkpoint(); // best effort: a reader may hold it up
        }
        // The walk and the connection close here, on this thread.
    }
    progress.failed = !ok;
    progress.error = error;
    progress.finished = true;
    publish(progress);
}
