#include "Installation.h"

#include "SqliteConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>

namespace {

const QStringList SqliteCompanions = {QStringLiteral("-wal"), QStringLiteral("-shm"),
                                      QStringLiteral("-journal")};

void removeWithCompanions(const QString& path) {
    QFile::remove(path);
    for (const QString& suffix : SqliteCompanions)
        QFile::remove(path + suffix);
}

// Databases being built carry this suffix; under the installation lock any
// such file is a leftover of a start that was interrupted.
const QString PartialSuffix = QStringLiteral(".partial");

void removeLeftovers(const QDir& folder) {
    const QStringList leftovers = folder.entryList(
        {QStringLiteral("*.mdb*") + PartialSuffix + u'*'}, QDir::Files | QDir::Hidden);
    for (const QString& name : leftovers)
        QFile::remove(folder.filePath(name));
}

bool fail(QString* error, const QString& message) {
    if (error)
        *error = message;
    return false;
}

} // namespace

void Installation::restrictToOwner(const QString& path) {
    for (const QString& suffix : QStringList{QString()} + SqliteCompanions)
        if (QFileInfo::exists(path + suffix))
            QFile::setPermissions(path + suffix, QFile::ReadOwner | QFile::WriteOwner);
}

bool Installation::createDatabase(const QString& path, Kind kind, QString* error) {
    // A name of this build's own: another instance building at the same
    // moment never writes into it or deletes it.
    const QString partial = QStringLiteral("%1.%2-%3%4")
                                .arg(path)
                                .arg(QCoreApplication::applicationPid())
                                .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'))
                                .arg(PartialSuffix);
    removeWithCompanions(partial);
    {
        auto connection = SqliteConnection::create(partial, error);
        if (!connection) {
            removeWithCompanions(partial);
            return false;
        }
        if (kind == Kind::User)
            restrictToOwner(partial); // before a single setting is written
        // Built, checked, and every change in the file itself: only then
        // may it take its name.
        if (!Schema::create(*connection, kind, error) ||
            !Schema::verify(*connection, kind, error) || !connection->closeComplete(error)) {
            connection->close();
            removeWithCompanions(partial);
            return false;
        }
    }
    if (!QFile::rename(partial, path)) {
        removeWithCompanions(partial);
        return fail(error, QStringLiteral("The database %1 cannot be created.")
                               .arg(QDir::toNativeSeparators(path)));
    }
    for (const QString& suffix : SqliteCompanions)
        QFile::remove(partial + suffix);
    return true;
}

bool Installation::verifyMainDatabase(const QString& path, QString* error) {
    QString why;
    SqliteConnection::closeShared(path);
    auto connection = SqliteConnection::shared(path, &why);
    bool ok = connection && Schema::recognize(*connection, Kind::Main, &why) &&
              Schema::verify(*connection, Kind::Main, &why);
    if (connection)
        SqliteConnection::closeShared(path);
    if (!ok && error)
        *error = why;
    return ok;
}

bool Installation::run(const QString& programFolder, QString* error) {
    const QDir folder(programFolder);
    if (!folder.exists() && !QDir().mkpath(programFolder))
        return fail(error, QStringLiteral("The program folder %1 cannot be created.")
                               .arg(QDir::toNativeSeparators(programFolder)));

    // One start at a time installs; a second waits for the first, then
    // finds everything in place. A lock left by a process that has ended is
    // taken over.
    QLockFile lock(folder.filePath(QStringLiteral(".install.lock")));
    if (!lock.tryLock(60000))
        return fail(error, QStringLiteral("Another start of Tessaly is still installing its files "
                                          "in %1. Try again in a moment.")
                               .arg(QDir::toNativeSeparators(programFolder)));
    removeLeftovers(folder);

    const QString main = folder.filePath(QStringLiteral("TESSALY.mdb"));
    if (QFileInfo::exists(main)) {
        QString why;
        auto connection = SqliteConnection::shared(main, &why);
        if (!connection || !Schema::upgrade(*connection, Kind::Main, &why))
            return fail(error, why);
    } else if (!QFileInfo::exists(folder.filePath(QStringLiteral("Temp.mdb"))) &&
               !createDatabase(folder.filePath(QStringLiteral("Temp.mdb")), Kind::Main, error)) {
        return false;
    }

    const QString user = folder.filePath(QStringLiteral("User.mdb"));
    if (!QFileInfo::exists(user)) {
        if (!createDatabase(user, Kind::User, error))
            return false;
    } else {
        // Settings include the mail server's password: for this user only,
        // also when the file was copied or restored from elsewhere.
        restrictToOwner(user);
        // A file that is no database is left alone here; opening it later
        // says what is wrong with it.
        if (auto connection = SqliteConnection::shared(user, nullptr);
            connection && Schema::recognize(*connection, Kind::User, nullptr) &&
            !Schema::upgrade(*connection, Kind::User, error))
            return false;
    }
    restrictToOwner(user);

    QDirIterator shipped(QStringLiteral(":/install"), QDir::Files);
    while (shipped.hasNext()) {
        const QString resource = shipped.next();
        const QString target = folder.filePath(QFileInfo(resource).fileName());
        if (QFileInfo::exists(target))
            continue;
        if (!QFile::copy(resource, target))
            return fail(error, QStringLiteral("The file %1 cannot be installed.")
                                   .arg(QDir::toNativeSeparators(target)));
        // Copies of resources are read-only; the user may edit these files.
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                          QFile::ReadOther);
    }
    return true;
}
