#pragma once

#include <QListWidget>

// The folder list: the folders leading to the current folder, then its
// sub-folders. Double-clicking (or Enter on) an entry opens that folder;
// changed() follows every change of path().
class DirList : public QListWidget {
    Q_OBJECT
public:
    explicit DirList(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    void setPath(const QString& path);

signals:
    void changed();

private:
    void open(QListWidgetItem* item);
    QString m_path;
};
