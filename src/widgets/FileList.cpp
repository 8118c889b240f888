#include "FileList.h"

#include <QDir>

FileList::FileList(QWidget* parent)
    : QListWidget(parent) {
    connect(this, &QListWidget::itemClicked, this, &FileList::clicked);
    connect(this, &QListWidget::itemActivated, this, &FileList::clicked);
}

void FileList::setPath(const QString& path) {
    m_path = path;
    reload();
}

void FileList::setPattern(const QString& pattern) {
    m_pattern = pattern;
    reload();
}

void FileList::reload() {
    clear();
    if (m_path.isEmpty())
        return;
    // "*.xls; *.xlsx": the patterns may stand apart by blanks too.
    QStringList patterns;
    for (const QString& part : m_pattern.split(u';', Qt::SkipEmptyParts))
        if (!part.trimmed().isEmpty())
            patterns.append(part.trimmed());
    addItems(QDir(m_path).entryList(patterns, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

QString FileList::fileName() const {
    const QListWidgetItem* item = currentItem();
    return item ? item->text() : QString();
}
