#include "SqliteStatement.h"

#include <QDate>
#include <QDateTime>
#include <sqlite3.h>

SqliteStatement::SqliteStatement(sqlite3_stmt* statement, bool owned)
    : m_statement(statement)
    , m_owned(owned) {}

SqliteStatement::~SqliteStatement() {
    release();
}

void SqliteStatement::release() {
    if (!m_statement)
        return;
    if (m_owned) {
        sqlite3_finalize(m_statement);
    } else {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    m_statement = nullptr;
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : m_statement(std::exchange(other.m_statement, nullptr))
    , m_owned(other.m_owned) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    if (this != &other) {
        release();
        m_statement = std::exchange(other.m_statement, nullptr);
        m_owned = other.m_owned;
    }
    return *this;
}

void SqliteStatement::bind(int index, const QVariant& value) {
    if (value.isNull() || !value.isValid()) {
        sqlite3_bind_null(m_statement, index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short:
        sqlite3_bind_int64(m_statement, index, value.toLongLong());
        return;
    case QMetaType::Bool:
        sqlite3_bind_int64(m_statement, index, value.toBool() ? 1 : 0);
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(m_statement, index, value.toDouble());
        return;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob(m_statement, index, bytes.constData(), int(bytes.size()),
                          SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QDate: {
        const QByteArray text = value.toDate().toString(Qt::ISODate).toUtf8();
        sqlite3_bind_text(m_statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        const QString format = dt.time() == QTime(0, 0) ? QStringLiteral("yyyy-MM-dd")
                                                        : QStringLiteral("yyyy-MM-dd HH:mm:ss");
        const QByteArray text = dt.toString(format).toUtf8();
        sqlite3_bind_text(m_statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        return;
    }
    default: {
        const QByteArray text = value.toString().toUtf8();
        sqlite3_bind_text(m_statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        return;
    }
    }
}

void SqliteStatement::bindNull(int index) {
    sqlite3_bind_null(m_statement, index);
}

void SqliteStatement::bindInt(int index, qint64 value) {
    sqlite3_bind_int64(m_statement, index, value);
}

void SqliteStatement::clearBindings() {
    sqlite3_clear_bindings(m_statement);
}

int SqliteStatement::step() {
    return sqlite3_step(m_statement);
}

void SqliteStatement::reset() {
    sqlite3_reset(m_statement);
}

int SqliteStatement::columnCount() const {
    return sqlite3_column_count(m_statement);
}

QString SqliteStatement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(m_statement, column));
}

QVariant SqliteStatement::value(int column) const {
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(m_statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_statement, column));
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(m_statement, column)));
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(m_statement, column)));
    }
    default:
        return QVariant();
    }
}

qint64 SqliteStatement::intValue(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

bool SqliteStatement::isNull(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

QString SqliteStatement::originTable(int column) const {
    return QString::fromUtf8(sqlite3_column_table_name(m_statement, column));
}

QString SqliteStatement::originColumn(int column) const {
    return QString::fromUtf8(sqlite3_column_origin_name(m_statement, column));
}

QString SqliteStatement::declaredType(int column) const {
    return QString::fromUtf8(sqlite3_column_decltype(m_statement, column));
}
