#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

// A fresh program folder for one test: $TESSALY_HOME and the working
// directory point to it until it goes. Installed: the installation step has
// run and the supplied database is in place as TESSALY.mdb (as after the
// first-start choice "working alone"); FirstStart: the installation step has
// run, nothing more (Temp.mdb and User.mdb); Empty: an empty folder.
//
// Each test case gets one through its TestSession, which also installs the
// test hooks; tests of the installation make more of them.
//
// The plain-SQL helpers open their own SQLite connection each time, without
// the program's collation or functions, so tests see exactly what was stored.
class TestFolder {
public:
    enum class Kind { Installed, FirstStart, Empty };

    explicit TestFolder(Kind kind = Kind::Installed);
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const;

    void exec(const QString& database, const QString& sql) const;
    QVariant scalar(const QString& database, const QString& sql) const;
    QList<QVariantList> rows(const QString& database, const QString& sql) const;
    QStringList column(const QString& database, const QString& sql) const;

private:
    QTemporaryDir m_dir;
    QString m_previousDirectory;
    QByteArray m_previousHome;
    bool m_hadHome = false;
};
