#pragma once

#include <QListWidget>

// The file list: the files of a folder that match a pattern ("*.mdb").
// clicked() when the user picks a file.
class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    void setPath(const QString& path);
    QString pattern() const { return m_pattern; }
    void setPattern(const QString& pattern);
    QString fileName() const; // the picked file's name, without its folder

signals:
    void clicked();

private:
    void reload();
    QString m_path;
    QString m_pattern = QStringLiteral("*");
};
