#include "Schema.h"

#include "SqliteConnection.h"
#include "Transaction.h"

#include <QRegularExpression>

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

QStringList Schema::mainDatabaseStatements() {
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

    QStringList statements = createStatements(tables);
    statements += {
        // Rows that belong to an owner are read per owner, newest first.
        QStringLiteral("CREATE INDEX \"TABLE03_NUMBER01\" ON \"TABLE03\" (\"NUMBER01\")"),
        QStringLiteral("CREATE INDEX \"TABLE05_NUMBER01\" ON \"TABLE05\" (\"NUMBER01\", "
                       "\"DATE01\")"),
        QStringLiteral("CREATE INDEX \"TABLE06_NUMBER01\" ON \"TABLE06\" (\"NUMBER01\")"),
        QStringLiteral("CREATE INDEX \"TABLE07_NUMBER01\" ON \"TABLE07\" (\"NUMBER01\", "
                       "\"DATE01\")"),
        QStringLiteral("CREATE INDEX \"TABLE08_NUMBER01\" ON \"TABLE08\" (\"NUMBER01\", "
                       "\"DATE01\")"),
        QStringLiteral("CREATE INDEX \"TABLE08_DATE01\" ON \"TABLE08\" (\"DATE01\")"),
        QStringLiteral("CREATE INDEX \"TABLE09_NUMBER01\" ON \"TABLE09\" (\"NUMBER01\", "
                       "\"DATE01\")"),
        QStringLiteral("CREATE INDEX \"TABLE09_DATE01\" ON \"TABLE09\" (\"DATE01\")"),
        QStringLiteral("CREATE INDEX \"TABLE10_NUMBER01\" ON \"TABLE10\" (\"NUMBER01\", "
                       "\"DATE01\")"),
        QStringLiteral("INSERT INTO \"TABLE02\" (\"TEXT02\") VALUES ('%1')")
            .arg(QString::fromLatin1(DefaultPassword)),
    };
    return statements;
}

QStringList Schema::userDatabaseStatements() {
    QList<TableDefinition> tables = {
        {"TABLE01", false,
         texts(1, 7) + QStringList{QStringLiteral("TEXT09"), QStringLiteral("DATE01")}},
        {"TABLE02", false, texts(3, 16)},
    };
    QStringList statements = createStatements(tables);
    statements += {
        QStringLiteral("INSERT INTO \"TABLE01\" (\"TEXT01\", \"TEXT02\", \"TEXT03\", \"TEXT04\", "
                       "\"TEXT05\", \"TEXT06\", \"TEXT07\") VALUES ('1', '1', '1', '1', '1', "
                       "'1', '1')"),
        QStringLiteral("INSERT INTO \"TABLE02\" (\"TEXT03\") VALUES ('All Companies')"),
    };
    return statements;
}

bool Schema::createMainDatabase(SqliteConnection& connection, QString* error) {
    return runAll(connection, mainDatabaseStatements(), error);
}

bool Schema::createUserDatabase(SqliteConnection& connection, QString* error) {
    return runAll(connection, userDatabaseStatements(), error);
}

bool Schema::upgradeUserDatabase(SqliteConnection& connection, QString* error) {
    // Files made by earlier versions lack the columns added since; they get
    // them, empty, and keep everything else.
    const auto columns = connection.allColumns(QStringLiteral("TABLE02"));
    if (!columns)
        return true;
    QStringList missing;
    for (const QString& column : texts(3, 16))
        if (!columns->contains(column, Qt::CaseInsensitive))
            missing.append(QStringLiteral("ALTER TABLE \"TABLE02\" ADD COLUMN %1")
                               .arg(columnDefinition(QStringLiteral("TABLE02"), column)));
    return missing.isEmpty() || runAll(connection, missing, error);
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
