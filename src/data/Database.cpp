#include "Database.h"

#include "SheetSource.h"
#include "SqlParser.h"
#include "SqliteConnection.h"
#include "Transaction.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <cmath>
#include <sqlite3.h>

namespace {

// The workbook a make-table names; an older .xls stands in for a missing
// .xlsx of the same name and the other way round.
QString workbookPath(QString path) {
    if (!QFileInfo::exists(path) && path.contains(u'\\'))
        path.replace(u'\\', u'/');
    path = Database::resolve(path);
    if (QFileInfo::exists(path))
        return path;
    QString sibling;
    if (path.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive))
        sibling = path + u'x';
    else if (path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        sibling = path.chopped(1);
    if (!sibling.isEmpty() && QFileInfo::exists(sibling))
        return sibling;
    return path;
}

bool isNumber(const QVariant& v) {
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Bool;
}
bool isDate(const QVariant& v) {
    return v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime;
}

QString cellText(const QVariant& v) {
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
            return QString::number(qint64(d));
        return QString::number(d, 'g', 15);
    }
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(Qt::ISODate);
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return v.toString();
}

} // namespace

Database::~Database() {
    close();
}
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&&) noexcept = default;

QString Database::resolve(const QString& nameOrPath) {
    return QDir::cleanPath(QDir::current().absoluteFilePath(nameOrPath));
}

bool Database::open(const QString& nameOrPath, QString* error) {
    close();
    m_connection = SqliteConnection::shared(resolve(nameOrPath), &m_lastError);
    if (!m_connection && error)
        *error = m_lastError;
    return m_connection != nullptr;
}

void Database::close() {
    m_connection.reset();
}

sql::SqlTranslator Database::translator(const std::shared_ptr<SqliteConnection>& connection) {
    sql::SqlTranslator translator(
        [connection](const QString& table) { return connection->visibleColumns(table); });
    if (connection->recordsChanges())
        translator.setChosenKeys([connection](const QString& table) {
            return connection->choosesKeys(table) ? connection->keyColumn(table) : QString();
        });
    return translator;
}

std::optional<QString> Database::translate(const std::shared_ptr<SqliteConnection>& connection,
                                           const QString& text, QString* error) {
    const auto statement = sql::SqlParser::parse(text, error);
    if (!statement)
        return std::nullopt;
    return translator(connection).translate(*statement, error);
}

bool Database::execute(const QString& text, QString* error) {
    m_recordsAffected = 0;
    m_lastError.clear();
    auto fail = [&](const QString& message) {
        m_lastError = message;
        if (error)
            *error = message;
        return false;
    };
    if (!m_connection)
        return fail(QStringLiteral("The database is not open."));

    QString message;
    const auto statement = sql::SqlParser::parse(text, &message);
    if (!statement)
        return fail(message);
    if (statement->kind == sql::Statement::Kind::Select) {
        if (statement->select.into.isEmpty())
            return fail(QStringLiteral("Cannot execute a select query."));
        if (!makeTableFromWorkbook(statement->select, &message))
            return fail(message);
        return true;
    }
    const auto translated = translator(m_connection).translate(*statement, &message);
    if (!translated)
        return fail(message);

    Transaction transaction(*m_connection);
    bool ok = transaction.begin(&message) && m_connection->execute(*translated, &message);
    if (ok) {
        m_recordsAffected = sqlite3_changes(m_connection->handle());
        ok = transaction.commit(&message);
    }
    if (!ok) {
        if (statement->kind == sql::Statement::Kind::DropTable &&
            message.startsWith(QLatin1String("no such table")))
            message = QStringLiteral("Table '%1' does not exist.").arg(statement->table);
        return fail(message);
    }
    return true;
}

bool Database::makeTableFromWorkbook(const sql::Select& select, QString* error) {
    auto fail = [&](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    const bool starOnly = select.items.size() == 1 &&
                          select.items.front().expr->kind == sql::Expr::Kind::Star &&
                          select.items.front().expr->qualifier.isEmpty();
    const bool oneTable =
        select.from.size() == 1 && select.from.front()->kind == sql::TableRef::Kind::Table;
    if (!starOnly || !oneTable || !select.external || select.where || !select.orderBy.empty() ||
        select.distinct)
        return fail(QStringLiteral("SELECT ... INTO is supported for reading a worksheet only: "
                                   "SELECT * INTO table FROM [SHEET$] IN '' "
                                   "'Excel 8.0;database=file'."));

    QString path;
    bool excel = false;
    for (const QString& part : select.external->connect.split(u';')) {
        const QString key = part.section(u'=', 0, 0).trimmed();
        if (key.startsWith(QLatin1String("Excel"), Qt::CaseInsensitive))
            excel = true;
        else if (key.compare(QLatin1String("database"), Qt::CaseInsensitive) == 0)
            path = part.section(u'=', 1).trimmed();
    }
    if (path.isEmpty() && !select.external->databasePath.isEmpty())
        path = select.external->databasePath;
    if (!excel || path.isEmpty())
        return fail(QStringLiteral("The external source '%1' is not a workbook "
                                   "(expected 'Excel 8.0;database=file').")
                        .arg(select.external->connect));

    QString sheetName = select.from.front()->name;
    if (sheetName.endsWith(u'$'))
        sheetName.chop(1);

    QString message;
    const auto sheet = SheetSource::read(workbookPath(path), sheetName, &message);
    if (!sheet)
        return fail(message);
    if (!makeTable(*m_connection, select.into, *sheet, &message))
        return fail(message);
    m_recordsAffected = std::max(0, sheet->rowCount() - 1);
    return true;
}

bool Database::makeTable(SqliteConnection& connection, const QString& name, const SheetTable& sheet,
                         QString* error) {
    auto fail = [&](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    if (connection.tableExists(name))
        return fail(QStringLiteral("Table '%1' already exists.").arg(name));
    if (sheet.rowCount() == 0)
        return fail(QStringLiteral("The worksheet '%1' is empty: its first row must hold the "
                                   "column names.")
                        .arg(sheet.name));

    // Columns: named by the first row; a column with neither name nor data is
    // left out, one with data but no name is called F1, F2 ... by position.
    struct Column {
        int index;
        QString name;
        QString type;
    };
    QList<Column> columns;
    QSet<QString> used;
    for (int c = 0; c < sheet.columnCount(); ++c) {
        QString title = cellText(sheet.cell(0, c)).trimmed();
        bool hasData = false, allNumbers = true, allDates = true;
        for (int r = 1; r < sheet.rowCount(); ++r) {
            const QVariant v = sheet.cell(r, c);
            if (v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty()))
                continue;
            hasData = true;
            allNumbers &= isNumber(v);
            allDates &= isDate(v);
        }
        if (title.isEmpty() && !hasData)
            continue;
        if (title.isEmpty())
            title = QStringLiteral("F%1").arg(c + 1);
        QString unique = title;
        for (int n = 1; used.contains(unique.toUpper()); ++n)
            unique = QStringLiteral("%1%2").arg(title).arg(n);
        used.insert(unique.toUpper());
        const QString type = !hasData     ? QStringLiteral("TEXT COLLATE NOCASE")
                             : allDates   ? QStringLiteral("DATETIME")
                             : allNumbers ? QStringLiteral("NUMBER")
                                          : QStringLiteral("TEXT COLLATE NOCASE");
        columns.append({c, unique, type});
    }
    if (columns.isEmpty())
        return fail(QStringLiteral("The worksheet '%1' has no columns.").arg(sheet.name));

    QStringList definitions{QStringLiteral("\"%1\" INTEGER PRIMARY KEY AUTOINCREMENT")
                                .arg(QLatin1String(SqliteConnection::HiddenKey))};
    QStringList names, placeholders;
    for (const Column& column : columns) {
        definitions.append(sql::SqlTranslator::quoteName(column.name) + u' ' + column.type);
        names.append(sql::SqlTranslator::quoteName(column.name));
        placeholders.append(QStringLiteral("?"));
    }

    QString message;
    Transaction transaction(connection);
    if (!transaction.begin(&message))
        return fail(message);
    if (!connection.execute(
            QStringLiteral("CREATE TABLE %1 (%2)")
                .arg(sql::SqlTranslator::quoteName(name), definitions.join(QStringLiteral(", "))),
            &message))
        return fail(message);
    SqliteStatement insert = connection.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                    .arg(sql::SqlTranslator::quoteName(name),
                                                         names.join(QStringLiteral(", ")),
                                                         placeholders.join(QStringLiteral(", "))),
                                                &message);
    if (!insert.isValid())
        return fail(message);
    for (int r = 1; r < sheet.rowCount(); ++r) {
        bool empty = true;
        for (const Column& column : columns) {
            const QVariant v = sheet.cell(r, column.index);
            empty &= v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
        }
        if (empty)
            continue;
        for (int i = 0; i < columns.size(); ++i) {
            const QVariant v = sheet.cell(r, columns.at(i).index);
            if (v.isNull())
                insert.bindNull(i + 1);
            else if (isNumber(v) && columns.at(i).type == QLatin1String("NUMBER"))
                insert.bind(i + 1,
                            v.typeId() == QMetaType::Bool ? QVariant(v.toBool() ? 1 : 0) : v);
            else
                insert.bind(i + 1, cellText(v));
        }
        if (insert.step() != SQLITE_DONE)
            return fail(connection.lastError());
        insert.reset();
    }
    insert = SqliteStatement();
    return transaction.commit(error);
}
