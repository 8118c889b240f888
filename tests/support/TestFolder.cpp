#include "TestFolder.h"

#include "data/Installation.h"
#include "data/SqliteConnection.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <sqlite3.h>

namespace {

struct PlainConnection {
    sqlite3* db = nullptr;
    explicit PlainConnection(const QString& path) {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE,
                            nullptr) != SQLITE_OK)
            qFatal("cannot open %s", qPrintable(path));
        sqlite3_busy_timeout(db, 5000);
    }
    ~PlainConnection() { sqlite3_close_v2(db); }
};

QVariant columnValue(sqlite3_stmt* statement, int column) {
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(statement, column);
    case SQLITE_TEXT:
        return QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
            sqlite3_column_bytes(statement, column));
    default:
        return QVariant();
    }
}

} // namespace

TestFolder::TestFolder(Kind kind)
    : m_previousDirectory(QDir::currentPath())
    , m_previousHome(qgetenv("TESSALY_HOME"))
    , m_hadHome(qEnvironmentVariableIsSet("TESSALY_HOME")) {
    if (!m_dir.isValid())
        qFatal("no temporary folder");
    qputenv("TESSALY_HOME", m_dir.path().toUtf8());
    QDir::setCurrent(m_dir.path());
    if (kind == Kind::Empty)
        return;
    QString error;
    if (!Installation::run(m_dir.path(), &error))
        qFatal("installation failed: %s", qPrintable(error));
    if (kind == Kind::Installed)
        QFile::rename(file(QStringLiteral("Temp.mdb")), file(QStringLiteral("TESSALY.mdb")));
}

TestFolder::~TestFolder() {
    for (const QString& name :
         {QStringLiteral("TESSALY.mdb"), QStringLiteral("User.mdb"), QStringLiteral("Temp.mdb")})
        SqliteConnection::closeShared(file(name));
    QDir::setCurrent(m_previousDirectory);
    if (m_hadHome)
        qputenv("TESSALY_HOME", m_previousHome);
    else
        qunsetenv("TESSALY_HOME");
}

QString TestFolder::file(const QString& name) const {
    return QDir(m_dir.path()).filePath(name);
}

void TestFolder::exec(const QString& database, const QString& sql) const {
    PlainConnection c(file(database));
    char* message = nullptr;
    if (sqlite3_exec(c.db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message);
        sqlite3_free(message);
        QTest::qFail(qPrintable(QStringLiteral("plain SQL failed: %1: %2").arg(text, sql)),
                     __FILE__, __LINE__);
    }
}

QList<QVariantList> TestFolder::rows(const QString& database, const QString& sql) const {
    PlainConnection c(file(database));
    sqlite3_stmt* statement = nullptr;
    QList<QVariantList> result;
    if (sqlite3_prepare_v2(c.db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
        QTest::qFail(qPrintable(QStringLiteral("plain SQL failed: %1: %2")
                                    .arg(QString::fromUtf8(sqlite3_errmsg(c.db)), sql)),
                     __FILE__, __LINE__);
        return result;
    }
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QVariantList row;
        for (int i = 0; i < sqlite3_column_count(statement); ++i)
            row.append(columnValue(statement, i));
        result.append(row);
    }
    sqlite3_finalize(statement);
    return result;
}

QVariant TestFolder::scalar(const QString& database, const QString& sql) const {
    const auto all = rows(database, sql);
    return all.isEmpty() || all.first().isEmpty() ? QVariant() : all.first().first();
}

QStringList TestFolder::column(const QString& database, const QString& sql) const {
    QStringList values;
    for (const QVariantList& row : rows(database, sql))
        values.append(row.value(0).toString());
    return values;
}
