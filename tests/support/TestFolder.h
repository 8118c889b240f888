#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

// A fresh program folder for one test: the installation step has run, the
// supplied database is in place as TESSALY.mdb (as after the first-start
// choice "working alone"), the working directory is the folder, the locale
// is pinned to en_US and message boxes are answered by the test hook.
//
// The plain-SQL helpers open their own SQLite connection each time, without
// the program's collation or functions, so tests see exactly what was stored.
class TestFolder {
public:
    explicit TestFolder(bool installMainDatabase = true);
    ~TestFolder();

    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const;

    void exec(const QString& database, const QString& sql) const;
    QVariant scalar(const QString& database, const QString& sql) const;
    QList<QVariantList> rows(const QString& database, const QString& sql) const;
    QStringList column(const QString& database, const QString& sql) const;

private:
    QTemporaryDir m_dir;
    QString m_previousDirectory;
};
