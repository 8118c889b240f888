#include "DriveList.h"

#include <QDir>
#include <QStorageInfo>

DriveList::DriveList(QWidget* parent)
    : QComboBox(parent) {
    reload();
    connect(this, &QComboBox::activated, this, &DriveList::changed);
}

void DriveList::reload() {
    clear();
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = volume.rootPath();
        // Pseudo file systems (proc, sysfs, ...) hold no files of the user's.
        const QByteArray type = volume.fileSystemType();
        if (type == "proc" || type == "sysfs" || type == "devpts" || type == "cgroup2" ||
            type == "tmpfs" || type == "devtmpfs" || type == "overlay" || roots.contains(root))
            continue;
        roots.append(root);
        const QString name = volume.displayName();
        addItem(name == root ? QDir::toNativeSeparators(root)
                             : QStringLiteral("%1 [%2]").arg(QDir::toNativeSeparators(root), name),
                root);
    }
    if (!roots.contains(QDir::rootPath()))
        insertItem(0, QDir::rootPath(), QDir::rootPath());
    setCurrentIndex(0);
}

QString DriveList::drive() const {
    return currentData().toString();
}

void DriveList::setDrive(const QString& root) {
    const int index = findData(root);
    if (index >= 0)
        setCurrentIndex(index);
}
