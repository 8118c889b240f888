#pragma once

#include "SqlAst.h"
#include "SqlTranslator.h"

#include <QString>
#include <memory>
#include <optional>

class SqliteConnection;
struct SheetTable;

// Direct operations on a database file, for imports and maintenance: open by
// bare name ("TESSALY.mdb", resolved in the program folder) or by path,
// execute statements of the dialect, close. Each statement runs in its own
// transaction. A text that cannot be translated fails with a message naming
// the problem and nothing is run.
//
// Besides INSERT, UPDATE, DELETE and DROP TABLE, execute() runs the make-table
// form that reads a worksheet:
//   SELECT * INTO T FROM [SHEET$] IN '' 'Excel 8.0;database=PATH'
// The sheet's first row gives the column names; T must not exist yet. The
// worksheet comes from the reader installed in SheetSource.
class Database {
public:
    Database() = default;
    ~Database();
    Database(Database&&) noexcept;
    Database& operator=(Database&&) noexcept;

    bool open(const QString& nameOrPath, QString* error = nullptr);
    bool isOpen() const { return m_connection != nullptr; }
    bool execute(const QString& text, QString* error = nullptr);
    void close();

    int recordsAffected() const { return m_recordsAffected; }
    QString lastError() const { return m_lastError; }
    std::shared_ptr<SqliteConnection> connection() const { return m_connection; }

    // A bare name resolves in the working directory, which is the program folder.
    static QString resolve(const QString& nameOrPath);
    static sql::SqlTranslator translator(const std::shared_ptr<SqliteConnection>& connection);
    // Parses and translates one statement of the dialect into SQLite SQL.
    static std::optional<QString> translate(const std::shared_ptr<SqliteConnection>& connection,
                                            const QString& text, QString* error);

    // Creates table `name` from a worksheet whose first row names the columns.
    static bool makeTable(SqliteConnection& connection, const QString& name,
                          const SheetTable& sheet, QString* error);

private:
    bool makeTableFromWorkbook(const sql::Select& select, QString* error);

    std::shared_ptr<SqliteConnection> m_connection;
    int m_recordsAffected = 0;
    QString m_lastError;
};
