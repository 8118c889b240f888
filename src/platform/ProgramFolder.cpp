#include "ProgramFolder.h"

#include <QDir>
#include <QStandardPaths>

QString ProgramFolder::path() {
    const QString home = qEnvironmentVariable("TESSALY_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(QDir(home).absolutePath());
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

bool ProgramFolder::enter(QString* error) {
    const QString folder = path();
    if (!QDir().mkpath(folder) || !QDir::setCurrent(folder)) {
        if (error)
            *error = QStringLiteral("The program folder %1 cannot be created or opened.")
                         .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    return true;
}

QString ProgramFolder::file(const QString& name) {
    return QDir(path()).filePath(name);
}

QString ProgramFolder::tempFolder() {
    return file(QStringLiteral("Temp"));
}
