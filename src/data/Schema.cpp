#include "Schema.h"

#include "DocumentIndex.h"
#include "SqliteConnection.h"
#include "Transaction.h"

#include <QDir>
#include <QRegularExpression>
#include <sqlite3.h>

namespace {

struct TableDefinition {
    const char* name;
    bool autonumber;
    QStringList columns; // in storage order
};

QStringList texts(int first, int last, QList<int> skip = {}) {
    QStringList names;
    for (int i = first; i <= last; ++i)
        if (!skip.contains(i))
            names.append(QStringLiteral("TEXT%1").arg(i, 2, 10, QLatin1Char('0')));
    return names;
}

QString columnDefinition(const QString& table, const QString& column) {
    QString type;
    if (column.startsWith(QLatin1String("TEXT")) || column.startsWith(QLatin1String("MEMO")))
        type = QStringLiteral("TEXT COLLATE NOCASE");
    else if (column.startsWith(QLatin1String("NUMBER")))
        type = QStringLiteral("INTEGER");
    else
        type = QStringLiteral("TEXT"); // DATEnn: ISO 8601
    QString definition = QStringLiteral("\"%1\" %2").arg(column, type);
    if (table == QLatin1String("TABLE01") && column == QLatin1String("TEXT20"))
        definition += QStringLiteral(" DEFAULT 'Company'");
    return definition;
}

QStringList createStatements(const QList<TableDefinition>& tables) {
    QStringList statements;
    for (const TableDefinition& table : tables) {
        QStringList columns;
        columns.append(QStringLiteral("\"%1\" INTEGER PRIMARY KEY AUTOINCREMENT")
                           .arg(table.autonumber
                                    ? QStringLiteral("AUTONUMBER")
                                    : QString::fromLatin1(SqliteConnection::HiddenKey)));
        for (const QString& column : table.columns)
            columns.append(columnDefinition(QString::fromLatin1(table.name), column));
        statements.append(
            QStringLiteral("CREATE TABLE \"%1\" (%2)")
                .arg(QString::fromLatin1(table.name), columns.join(QStringLiteral(", "))));
    }
    return statements;
}

bool runAll(SqliteConnection& connection, const QStringList& statements, QString* error) {
    Transaction transaction(connection);
    if (!transaction.begin(error))
        return false;
    for (const QString& statement : statements)
        if (!connection.execute(statement, error))
            return false;
    return transaction.commit(error);
}

} // namespace

namespace {

QList<TableDefinition> mainTables() {
    const QStringList masterColumns = {QStringLiteral("TEXT01")};
    QList<TableDefinition> tables = {
        {"TABLE01", true,
         texts(1, 21, {16}) + QStringList{QStringLiteral("DATE01"), QStringLiteral("DATE03"),
                                          QStringLiteral("NUMBER01"), QStringLiteral("NUMBER02"),
                                          QStringLiteral("MEMO01"), QStringLiteral("MEMO02")}},
        {"TABLE02", false, texts(1, 4)},
        {"TABLE03", true,
         QStringList{QStringLiteral("NUMBER01")} + texts(1, 11) +
             QStringList{QStringLiteral("DATE03"), QStringLiteral("MEMO01"),
                         QStringLiteral("MEMO02")}},
        {"TABLE05",
         false,
         {QStringLiteral("NUMBER01"), QStringLiteral("TEXT01"), QStringLiteral("DATE01"),
          QStringLiteral("MEMO01")}},
        {"TABLE06", true,
         QStringList{QStringLiteral("NUMBER01")} + texts(1, 6) +
             QStringList{QStringLiteral("DATE01"), QStringLiteral("DATE02")}},
        {"TABLE07",
         false,
         {QStringLiteral("NUMBER01"), QStringLiteral("NUMBER02"), QStringLiteral("DATE01"),
          QStringLiteral("MEMO01")}},
        {"TABLE08",
         false,
         {QStringLiteral("NUMBER01"), QStringLiteral("TEXT01"), QStringLiteral("TEXT03"),
          QStringLiteral("DATE01"), QStringLiteral("MEMO01")}},
        {"TABLE09",
         false,
         {QStringLiteral("NUMBER01"), QStringLiteral("TEXT01"), QStringLiteral("TEXT07"),
          QStringLiteral("DATE01"), QStringLiteral("MEMO01")}},
        {"TABLE10", false,
         QStringList{QStringLiteral("NUMBER01"), QStringLiteral("NUMBER02")} + texts(2, 7) +
             QStringList{QStringLiteral("DATE01")}},
        {"TABLE11", false, texts(1, 4) + QStringList{QStringLiteral("MEMO01")}},
        {"TABLE13", false, texts(1, 4) + QStringList{QStringLiteral("MEMO01")}},
    };
    for (const char* master :
         {"MT01", "MT02", "MT03", "MT04", "MT05", "MT06", "MT08", "MT09", "MT10", "MT12", "MT13"})
        tables.append({master, false, masterColumns});
    return tables;
}

QStringList mainIndexes() {
    return {
        // Rows that belong to an owner are read per owner, newest first.
        QStringLiteral("CREATE INDEX IF NOT EXISTS \"TABLE03_NUMBER01\" ON \"TABLE03\" "
                       "(\"NUMBER01\")"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS \"TABLE05_NUMBER01\" ON \"TABLE05\" "
                       "(\"NUMBER01\", \"DATE01\")"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS \"TABLE06_NUMBER01\" ON \"TABLE06\" "
                       "(\"NUMBER01\")"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS \"TABLE07_NUMBER01\" ON \"TABLE07\" "
                       "(\"NUMBER01\", \"DATE01\")"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS \"TABLE08_NUMBER01\" ON \"TABLE08\" "
                       "(\"NUMBER01\", \"DATE01\")"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS \"TABLE08_DATE01\" ON \"TABLE08\" "
                       "(\"DATE01\")"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS \"TABLE09_NUMBER01\" ON \"TABLE09\" "
                       "(\"NUMBER01\", \"DATE01\")"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS \"TABLE09_DATE01\" ON \"TABLE09\" "
                       "(\"DATE01\")"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS \"TABLE10_NUMBER01\" ON \"TABLE10\" "
                       "(\"NUMBER01\", \"DATE01\")"),
    };
}

QList<TableDefinition> userTables() {
    return {
        {"TABLE01", false,
         texts(1, 7) + QStringList{QStringLiteral("TEXT09"), QStringLiteral("DATE01"),
                                   QStringLiteral("TEXT10")}},
        {"TABLE02", false, texts(3, 23)},
    };
}

QList<TableDefinition> tablesOf(Schema::Kind kind) {
    return kind == Schema::Kind::Main ? mainTables() : userTables();
}

QString versionStatement() {
    return QStringLiteral("PRAGMA user_version = %1").arg(Schema::Version);
}

} // namespace

QStringList Schema::mainDatabaseStatements() {
    QStringList statements = createStatements(mainTables()) + mainIndexes() +
                             DocumentIndex::schemaStatements() + DocumentIndex::markAllIndexed();
    statements += {
        QStringLiteral("INSERT INTO \"TABLE02\" (\"TEXT02\") VALUES ('%1')")
            .arg(QString::fromLatin1(DefaultPassword)),
        versionStatement(),
    };
    return statements;
}

QStringList Schema::userDatabaseStatements() {
    QStringList statements = createStatements(userTables());
    statements += {
        QStringLiteral("INSERT INTO \"TABLE01\" (\"TEXT01\", \"TEXT02\", \"TEXT03\", \"TEXT04\", "
                       "\"TEXT05\", \"TEXT06\", \"TEXT07\") VALUES ('1', '1', '1', '1', '1', "
                       "'1', '1')"),
        QStringLiteral("INSERT INTO \"TABLE02\" (\"TEXT03\") VALUES ('All Companies')"),
        versionStatement(),
    };
    return statements;
}

bool Schema::create(SqliteConnection& connection, Kind kind, QString* error) {
    return runAll(connection,
                  kind == Kind::Main ? mainDatabaseStatements() : userDatabaseStatements(), error);
}

bool Schema::createMainDatabase(SqliteConnection& connection, QString* error) {
    return create(connection, Kind::Main, error);
}

bool Schema::createUserDatabase(SqliteConnection& connection, QString* error) {
    return create(connection, Kind::User, error);
}

bool Schema::recognize(SqliteConnection& connection, Kind kind, QString* error) {
    Q_UNUSED(kind); // both kinds are told by the same two tables
    auto fail = [&](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    QString why;
    SqliteStatement version = connection.prepare(QStringLiteral("PRAGMA user_version"), &why);
    if (!version.isValid() || version.step() != SQLITE_ROW)
        return fail(QStringLiteral("The file %1 is not a Tessaly database: %2")
                        .arg(QDir::toNativeSeparators(connection.path()),
                             why.isEmpty() ? connection.lastError() : why));
    const int found = version.intValue(0);
    version = SqliteStatement();
    // Both files have held these two tables from the first version on.
    if (!connection.tableExists(QStringLiteral("TABLE01")) ||
        !connection.tableExists(QStringLiteral("TABLE02")))
        return fail(QStringLiteral("The file %1 is not a Tessaly database: it has no table "
                                   "TABLE01 or TABLE02.")
                        .arg(QDir::toNativeSeparators(connection.path())));
    if (found > Version)
        return fail(QStringLiteral("The database %1 was written by a newer version of Tessaly "
                                   "(data version %2; this version knows up to %3). Install "
                                   "the newer version of Tessaly to work with it.")
                        .arg(QDir::toNativeSeparators(connection.path()))
                        .arg(found)
                        .arg(Version));
    return true;
}

bool Schema::upgrade(SqliteConnection& connection, Kind kind, QString* error) {
    if (!recognize(connection, kind, error))
        return false;
    // Files made by earlier versions lack the tables and columns added
    // since; they get them, empty, and keep everything else.
    QStringList missing;
    for (const TableDefinition& table : tablesOf(kind)) {
        const QString name = QString::fromLatin1(table.name);
        const auto columns = connection.allColumns(name);
        if (!columns) {
            missing += createStatements({table});
            continue;
        }
        for (const QString& column : table.columns)
            if (!columns->contains(column, Qt::CaseInsensitive))
                missing.append(QStringLiteral("ALTER TABLE \"%1\" ADD COLUMN %2")
                                   .arg(name, columnDefinition(name, column)));
    }
    SqliteStatement version = connection.prepare(QStringLiteral("PRAGMA user_version"), error);
    const bool current =
        version.isValid() && version.step() == SQLITE_ROW && version.intValue(0) == Version;
    version = SqliteStatement();
    if (missing.isEmpty() && current)
        return true;
    if (kind == Kind::Main)
        missing += mainIndexes() + DocumentIndex::schemaStatements();
    missing.append(versionStatement());
    return runAll(connection, missing, error);
}

bool Schema::upgradeUserDatabase(SqliteConnection& connection, QString* error) {
    return upgrade(connection, Kind::User, error);
}

bool Schema::verify(SqliteConnection& connection, Kind kind, QString* error) {
    auto fail = [&](const QString& what) {
        if (error)
            *error = QStringLiteral("The database %1 is not complete: %2")
                         .arg(QDir::toNativeSeparators(connection.path()), what);
        return false;
    };
    QString why;
    SqliteStatement check = connection.prepare(QStringLiteral("PRAGMA integrity_check"), &why);
    if (!check.isValid() || check.step() != SQLITE_ROW)
        return fail(why.isEmpty() ? connection.lastError() : why);
    const QString verdict = check.value(0).toString();
    check = SqliteStatement();
    if (verdict != QLatin1String("ok"))
        return fail(verdict);
    for (const TableDefinition& table : tablesOf(kind)) {
        const QString name = QString::fromLatin1(table.name);
        const auto columns = connection.allColumns(name);
        if (!columns)
            return fail(QStringLiteral("the table %1 is missing.").arg(name));
        for (const QString& column : table.columns)
            if (!columns->contains(column, Qt::CaseInsensitive))
                return fail(QStringLiteral("the column %1 of %2 is missing.").arg(column, name));
    }
    SqliteStatement rows =
        connection.prepare(QStringLiteral("SELECT COUNT(*) FROM \"TABLE02\""), &why);
    if (!rows.isValid() || rows.step() != SQLITE_ROW || rows.intValue(0) != 1)
        return fail(QStringLiteral("the settings row of TABLE02 is missing."));
    return true;
}

bool Schema::isDateColumn(const QString& column) {
    static const QRegularExpression pattern(QStringLiteral("^DATE\\d+$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(column).hasMatch();
}

bool Schema::isNumberColumn(const QString& column) {
    static const QRegularExpression pattern(QStringLiteral("^(NUMBER\\d+|AUTONUMBER|ROWKEY)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(column).hasMatch();
}

QStringList Schema::mainTableNames() {
    QStringList names;
    for (const TableDefinition& table : mainTables())
        names.append(QString::fromLatin1(table.name));
    return names;
}
