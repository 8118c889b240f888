#include "Compaction.h"

#include "SqliteConnection.h"
#include "SqliteStatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace Compaction {

namespace {

FaultHook& faultHook() {
    static FaultHook hook;
    return hook;
}

const char* const Companions[] = {"-wal", "-shm", "-journal"};

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

void removeWithCompanions(const QString& path) {
    QFile::remove(path);
    for (const char* suffix : Companions)
        QFile::remove(path + QLatin1String(suffix));
}

void removeCompanions(const QString& path) {
    for (const char* suffix : Companions)
        QFile::remove(path + QLatin1String(suffix));
}

bool fail(QString* error, const QString& why) {
    if (error)
        *error = why;
    return false;
}

// One run: the steps in order, and what undoes the steps done so far.
class Run {
public:
    explicit Run(const QString& programFolder)
        : m_folder(programFolder)
        , m_main(m_folder.filePath(QStringLiteral("TESSALY.mdb")))
        , m_compacted(m_folder.filePath(QStringLiteral("Temp.mdb")))
        , m_backup(m_folder.filePath(QStringLiteral("Temp/TESSALY.bak")))
        , m_earlierBackup(m_backup + QStringLiteral(".earlier")) {}

    bool run(QString* error) {
        if (!QFileInfo(m_main).isFile())
            return fail(error,
                        QStringLiteral("The database %1 does not exist.").arg(native(m_main)));
        bool ok =
            step(
                Step::Close, [this](QString* why) { return closeAll(why); }, error) &&
            step(
                Step::Compact, [this](QString* why) { return compact(why); }, error) &&
            step(
                Step::SetAsideBackup, [this](QString* why) { return setAside(why); }, error) &&
            step(
                Step::Backup, [this](QString* why) { return backUp(why); }, error) &&
            step(
                Step::Install, [this](QString* why) { return install(why); }, error) &&
            step(
                Step::Reopen, [this](QString* why) { return reopen(why); }, error);
        if (ok) {
            removeWithCompanions(m_earlierBackup);
            return true;
        }
        undo(error);
        return false;
    }

private:
    template <class F> bool step(Step which, F&& action, QString* error) {
        QString why;
        if (faultHook() && faultHook()(which))
            why = QStringLiteral("%1 failed (simulated).").arg(stepName(which));
        else if (action(&why))
            return true;
        if (error)
            *error = why;
        return false;
    }

    // Every change into the file itself, and no connection of this process
    // left on it. Another connection (another Tessaly, a statement still
    // held) keeps the file in WAL mode: then it is in use and stays as it is.
    bool closeAll(QString* error) {
        QString why;
        if (auto shared = SqliteConnection::shared(m_main, &why)) {
            if (!shared->closeComplete(error))
                return false;
        } else {
            return fail(error, why);
        }
        auto own = SqliteConnection::create(m_main, error);
        if (!own)
            return false;
        sqlite3_busy_timeout(own->handle(), 0);
        SqliteStatement mode = own->prepare(QStringLiteral("PRAGMA journal_mode=DELETE"), &why);
        const bool alone =
            mode.isValid() && mode.step() == SQLITE_ROW &&
            mode.value(0).toString().compare(QLatin1String("delete"), Qt::CaseInsensitive) == 0;
        mode = SqliteStatement();
        own->close();
        if (!alone)
            return fail(error, QStringLiteral("The database %1 is in use by another program or "
                                              "another Tessaly.")
                                   .arg(native(m_main)));
        removeCompanions(m_main);
        return true;
    }

    bool compact(QString* error) {
        removeWithCompanions(m_compacted); // a leftover of an earlier run
        m_madeCopy = true;
        auto own = SqliteConnection::create(m_main, error);
        if (!own)
            return false;
        SqliteStatement vacuum = own->prepare(QStringLiteral("VACUUM INTO ?"), error);
        if (!vacuum.isValid())
            return false;
        vacuum.bind(1, m_compacted);
        if (vacuum.step() != SQLITE_DONE)
            return fail(error, QStringLiteral("The database %1 cannot be compacted: %2")
                                   .arg(native(m_main), own->lastError()));
        vacuum = SqliteStatement();
        own->close();
        return checkCopy(error);
    }

    bool checkCopy(QString* error) {
        sqlite3* db = nullptr;
        const QByteArray file = m_compacted.toUtf8();
        bool ok =
            sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK;
        if (ok) {
            sqlite3_stmt* check = nullptr;
            ok = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &check, nullptr) == SQLITE_OK &&
                 sqlite3_step(check) == SQLITE_ROW &&
                 qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok") == 0;
            sqlite3_finalize(check);
        }
        sqlite3_close_v2(db);
        if (!ok)
            return fail(
                error,
                QStringLiteral("The compacted copy %1 is damaged.").arg(native(m_compacted)));
        return true;
    }

    bool setAside(QString* error) {
        if (!QDir().mkpath(QFileInfo(m_backup).path()))
            return fail(error, QStringLiteral("The folder %1 cannot be created.")
                                   .arg(native(QFileInfo(m_backup).path())));
        removeWithCompanions(m_earlierBackup);
        if (!QFileInfo::exists(m_backup))
            return true;
        if (!QFile::rename(m_backup, m_earlierBackup))
            return fail(
                error,
                QStringLiteral("The earlier backup %1 cannot be replaced.").arg(native(m_backup)));
        m_setAside = true;
        return true;
    }

    bool backUp(QString* error) {
        if (!QFile::rename(m_main, m_backup))
            return fail(error, QStringLiteral("The database %1 cannot be moved to %2.")
                                   .arg(native(m_main), native(m_backup)));
        m_backedUp = true;
        return true;
    }

    bool install(QString* error) {
        if (!QFile::rename(m_compacted, m_main))
            return fail(error, QStringLiteral("The compacted copy %1 cannot be renamed to %2.")
                                   .arg(native(m_compacted), native(m_main)));
        m_installed = true;
        return true;
    }

    bool reopen(QString* error) {
        auto connection = SqliteConnection::shared(m_main, error);
        if (!connection)
            return false;
        SqliteStatement tables =
            connection->prepare(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"), error);
        if (!tables.isValid() || tables.step() != SQLITE_ROW)
            return fail(error, QStringLiteral("The compacted database %1 cannot be read: %2")
                                   .arg(native(m_main), connection->lastError()));
        return true;
    }

    // Puts the original file and the earlier backup back, and opens the
    // original again. A failure here is added to the reason.
    void undo(QString* error) {
        QStringList problems;
        SqliteConnection::closeShared(m_main);
        if (m_installed)
            removeWithCompanions(m_main);
        if (m_backedUp) {
            if (!QFile::rename(m_backup, m_main) &&
                !(QFile::copy(m_backup, m_main) && QFile::remove(m_backup)))
                problems << QStringLiteral("The database is kept as %1; copy it to %2.")
                                .arg(native(m_backup), native(m_main));
        }
        if (m_setAside && !QFileInfo::exists(m_backup))
            QFile::rename(m_earlierBackup, m_backup);
        if (m_madeCopy)
            removeWithCompanions(m_compacted);
        QString why;
        auto reopened = SqliteConnection::shared(m_main, &why);
        if (!reopened)
            problems << why;
        if (error && !problems.isEmpty())
            *error += u'\n' + problems.join(u'\n');
    }

    QDir m_folder;
    QString m_main;
    QString m_compacted;
    QString m_backup;
    QString m_earlierBackup;
    bool m_madeCopy = false;
    bool m_setAside = false;
    bool m_backedUp = false;
    bool m_installed = false;
};

} // namespace

QString stepName(Step step) {
    switch (step) {
    case Step::Close:
        return QStringLiteral("Closing the database");
    case Step::Compact:
        return QStringLiteral("Compacting");
    case Step::SetAsideBackup:
        return QStringLiteral("Replacing the earlier backup");
    case Step::Backup:
        return QStringLiteral("Keeping the backup");
    case Step::Install:
        return QStringLiteral("Putting the compacted copy in place");
    case Step::Reopen:
        return QStringLiteral("Opening the compacted database");
    }
    return {};
}

qint64 databaseLength(const QString& path) {
    if (!QFileInfo(path).isFile())
        return -1;
    QString error;
    if (auto connection = SqliteConnection::shared(path, &error))
        connection->checkpoint();
    return QFileInfo(path).size();
}

bool copyDatabase(const QString& path, const QString& copy, QString* error) {
    auto connection = SqliteConnection::shared(path, error);
    if (!connection)
        return false;
    const QString partial = copy + QStringLiteral(".partial");
    removeWithCompanions(partial);
    SqliteStatement vacuum = connection->prepare(QStringLiteral("VACUUM INTO ?"), error);
    if (!vacuum.isValid())
        return false;
    vacuum.bind(1, partial);
    if (vacuum.step() != SQLITE_DONE) {
        const QString why = connection->lastError();
        vacuum = SqliteStatement();
        removeWithCompanions(partial);
        return fail(error, why);
    }
    vacuum = SqliteStatement();
    QFile::remove(copy);
    if (!QFile::rename(partial, copy)) {
        removeWithCompanions(partial);
        return fail(error, QStringLiteral("%1 cannot be written.").arg(native(copy)));
    }
    return true;
}

bool run(const QString& programFolder, QString* error) {
    return Run(programFolder).run(error);
}

void setFaultHook(FaultHook hook) {
    faultHook() = std::move(hook);
}

} // namespace Compaction
