#include "DirList.h"

#include <QDir>
#include <QKeyEvent>

DirList::DirList(QWidget* parent)
    : QListWidget(parent) {
    connect(this, &QListWidget::itemActivated, this, &DirList::open);
    setPath(QDir::homePath());
}

void DirList::open(QListWidgetItem* item) {
    if (item)
        setPath(item->data(Qt::UserRole).toString());
}

void DirList::setPath(const QString& path) {
    const QDir dir(path);
    if (!dir.exists())
        return;
    m_path = QDir::cleanPath(dir.absolutePath());
    clear();
    // The way down from the root, indented as it goes deeper.
    QStringList chain;
    for (QDir up(m_path);;) {
        chain.prepend(up.absolutePath());
        if (!up.cdUp())
            break;
    }
    int depth = 0;
    for (const QString& folder : chain) {
        const QString name = folder == QDir::rootPath() ? folder : QDir(folder).dirName();
        auto* item = new QListWidgetItem(QString(depth * 2, u' ') + name, this);
        item->setData(Qt::UserRole, folder);
        ++depth;
    }
    setCurrentRow(int(chain.size()) - 1);
    const QStringList subfolders =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& sub : subfolders) {
        auto* item = new QListWidgetItem(QString(depth * 2, u' ') + sub, this);
        item->setData(Qt::UserRole, dir.filePath(sub));
    }
    emit changed();
}
