#include "Installation.h"

#include "Schema.h"
#include "SqliteConnection.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

bool Installation::createDatabase(const QString& path, Kind kind, QString* error) {
    const QString partial = path + QStringLiteral(".partial");
    for (const QString& leftover :
         {partial, partial + QStringLiteral("-wal"), partial + QStringLiteral("-shm"),
          partial + QStringLiteral("-journal")})
        QFile::remove(leftover);
    {
        auto connection = SqliteConnection::create(partial, error);
        if (!connection)
            return false;
        const bool created = kind == Kind::Main ? Schema::createMainDatabase(*connection, error)
                                                : Schema::createUserDatabase(*connection, error);
        connection->close(); // checkpoints: the file alone holds everything
        if (!created) {
            QFile::remove(partial);
            return false;
        }
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        if (error)
            *error = QStringLiteral("The database %1 cannot be created.")
                         .arg(QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

bool Installation::run(const QString& programFolder, QString* error) {
    const QDir folder(programFolder);
    if (!folder.exists() && !QDir().mkpath(programFolder)) {
        if (error)
            *error = QStringLiteral("The program folder %1 cannot be created.")
                         .arg(QDir::toNativeSeparators(programFolder));
        return false;
    }
    if (!QFileInfo::exists(folder.filePath(QStringLiteral("TESSALY.mdb"))) &&
        !QFileInfo::exists(folder.filePath(QStringLiteral("Temp.mdb"))) &&
        !createDatabase(folder.filePath(QStringLiteral("Temp.mdb")), Kind::Main, error))
        return false;
    const QString user = folder.filePath(QStringLiteral("User.mdb"));
    if (!QFileInfo::exists(user)) {
        if (!createDatabase(user, Kind::User, error))
            return false;
        // Settings include the mail server's password: for this user only.
        QFile::setPermissions(user, QFile::ReadOwner | QFile::WriteOwner);
    } else if (auto connection = SqliteConnection::shared(user, nullptr)) {
        // A file that is no SQLite database is left alone here; opening it
        // later says what is wrong with it.
        if (!Schema::upgradeUserDatabase(*connection, error))
            return false;
    }

    QDirIterator shipped(QStringLiteral(":/install"), QDir::Files);
    while (shipped.hasNext()) {
        const QString resource = shipped.next();
        const QString target = folder.filePath(QFileInfo(resource).fileName());
        if (QFileInfo::exists(target))
            continue;
        if (!QFile::copy(resource, target)) {
            if (error)
                *error = QStringLiteral("The file %1 cannot be installed.")
                             .arg(QDir::toNativeSeparators(target));
            return false;
        }
        // Copies of resources are read-only; the user may edit these files.
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                          QFile::ReadOther);
    }
    return true;
}
