#include "SqliteConnection.h"

#include "ChangeLog.h"
#include "LikePattern.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString normalizedPath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QHash<QString, std::weak_ptr<SqliteConnection>>& registry() {
    static QHash<QString, std::weak_ptr<SqliteConnection>> connections;
    return connections;
}

bool isAscii(const void* data, int size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (int i = 0; i < size; ++i)
        if (bytes[i] >= 0x80)
            return false;
    return true;
}

// Letters without their accents, case folded: "Ärzte" -> "arzte".
QString primaryKey(const QString& text) {
    const QString decomposed = text.normalized(QString::NormalizationForm_D).toCaseFolded();
    QString key;
    key.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            key.append(c);
    return key;
}

int unicodeCompare(int size1, const void* text1, int size2, const void* text2) {
    const QString a = QString::fromUtf8(static_cast<const char*>(text1), size1);
    const QString b = QString::fromUtf8(static_cast<const char*>(text2), size2);
    if (const int r = primaryKey(a).compare(primaryKey(b)); r != 0)
        return r;
    return a.normalized(QString::NormalizationForm_C)
        .toCaseFolded()
        .compare(b.normalized(QString::NormalizationForm_C).toCaseFolded());
}

// Letter case does not count, for all of Unicode. Accented letters sort with
// their base letters ("Ärzte" beside "Arzte") but are not equal to them. For
// ASCII texts this is exactly SQLite's own NOCASE, so a file stays consistent
// for other tools.
//
// One pass over the bytes decides most pairs: up to the first byte outside
// ASCII both rules compare the same lower-case letters, so the first
// difference there decides under either rule. Only a pair that is equal up
// to a byte outside ASCII needs the Unicode rule.
int compareNoCase(void*, int size1, const void* text1, int size2, const void* text2) {
    const auto* a = static_cast<const unsigned char*>(text1);
    const auto* b = static_cast<const unsigned char*>(text2);
    const int common = std::min(size1, size2);
    for (int i = 0; i < common; ++i) {
        if ((a[i] | b[i]) >= 0x80)
            return unicodeCompare(size1, text1, size2, text2);
        const int la = a[i] >= 'A' && a[i] <= 'Z' ? a[i] + ('a' - 'A') : a[i];
        const int lb = b[i] >= 'A' && b[i] <= 'Z' ? b[i] + ('a' - 'A') : b[i];
        if (la != lb)
            return la - lb;
    }
    if (!isAscii(a + common, size1 - common) || !isAscii(b + common, size2 - common))
        return unicodeCompare(size1, text1, size2, text2);
    return size1 - size2;
}

QString textArgument(sqlite3_value* value) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

void deletePattern(void* pattern) {
    delete static_cast<LikePattern*>(pattern);
}

// like(pattern, value): the dialect's LIKE; NULL never matches.
void likeFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    auto* pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
    if (!pattern) {
        pattern = new LikePattern(textArgument(argv[0]));
        sqlite3_set_auxdata(context, 0, pattern, deletePattern);
        pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
        if (!pattern) { // SQLite could not keep it; match once without caching
            sqlite3_result_int(context,
                               LikePattern(textArgument(argv[0])).matches(textArgument(argv[1])));
            return;
        }
    }
    const auto* value = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    sqlite3_result_int(context, pattern->matchesUtf8(value, sqlite3_value_bytes(argv[1])) ? 1 : 0);
}

// tess_concat(a, b, ...): the & operator; NULL counts as empty text, and the
// result is NULL only when every part is NULL.
void concatFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    QByteArray result;
    bool any = false;
    for (int i = 0; i < argc; ++i) {
        switch (sqlite3_value_type(argv[i])) {
        case SQLITE_NULL:
            continue;
        case SQLITE_FLOAT:
            result += QByteArray::number(sqlite3_value_double(argv[i]), 'g', 15);
            break;
        default:
            result.append(reinterpret_cast<const char*>(sqlite3_value_text(argv[i])),
                          sqlite3_value_bytes(argv[i]));
            break;
        }
        any = true;
    }
    if (!any)
        sqlite3_result_null(context);
    else
        sqlite3_result_text(context, result.constData(), int(result.size()), SQLITE_TRANSIENT);
}

// tess_newkey(table): the key a new row of the table takes on this
// connection, or NULL where SQLite's own next key will do.
void newKeyFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    auto* connection = static_cast<SqliteConnection*>(sqlite3_user_data(context));
    const auto key = connection->newKey(textArgument(argv[0]));
    if (key)
        sqlite3_result_int64(context, *key);
    else
        sqlite3_result_null(context);
}

int recordTable(void*, const char* table) {
    return ChangeLog::isReplicated(QString::fromUtf8(table)) ? 1 : 0;
}

} // namespace

SqliteConnection::SqliteConnection(QString path, Journal journal)
    : m_path(std::move(path))
    , m_journal(journal) {}

SqliteConnection::~SqliteConnection() {
    close();
}

std::shared_ptr<SqliteConnection> SqliteConnection::shared(const QString& path, QString* error,
                                                           Journal journal) {
    const QString key = normalizedPath(path);
    if (auto existing = registry().value(key).lock()) {
        if (existing->handle())
            return existing;
        if (error)
            *error = existing->lastError();
        return nullptr;
    }
    if (!QFileInfo(key).isFile()) {
        if (error)
            *error = QStringLiteral("Could not find file '%1'.").arg(QDir::toNativeSeparators(key));
        return nullptr;
    }
    std::shared_ptr<SqliteConnection> connection(new SqliteConnection(key, journal));
    connection->m_records = true;
    if (!connection->open(false, error))
        return nullptr;
    registry().insert(key, connection);
    return connection;
}

std::shared_ptr<SqliteConnection> SqliteConnection::standalone(const QString& path, Journal journal,
                                                               QString* error) {
    const QString key = normalizedPath(path);
    if (!QFileInfo(key).isFile()) {
        if (error)
            *error = QStringLiteral("Could not find file '%1'.").arg(QDir::toNativeSeparators(key));
        return nullptr;
    }
    std::shared_ptr<SqliteConnection> connection(new SqliteConnection(key, journal));
    if (!connection->open(false, error))
        return nullptr;
    return connection;
}

std::shared_ptr<SqliteConnection> SqliteConnection::own(const QString& path, QString* error) {
    const QString key = normalizedPath(path);
    if (!QFileInfo(key).isFile()) {
        if (error)
            *error = QStringLiteral("Could not find file '%1'.").arg(QDir::toNativeSeparators(key));
        return nullptr;
    }
    std::shared_ptr<SqliteConnection> connection(new SqliteConnection(key, Journal::Wal));
    connection->m_records = true;
    if (!connection->open(false, error))
        return nullptr;
    return connection;
}

std::shared_ptr<SqliteConnection> SqliteConnection::create(const QString& path, QString* error) {
    std::shared_ptr<SqliteConnection> connection(
        new SqliteConnection(normalizedPath(path), Journal::Wal));
    if (!connection->open(true, error))
        return nullptr;
    return connection;
}

void SqliteConnection::closeShared(const QString& path) {
    if (auto existing = registry().value(normalizedPath(path)).lock())
        existing->close();
}

bool SqliteConnection::open(bool create, QString* error) {
    int flags = SQLITE_OPEN_READWRITE;
    if (create)
        flags |= SQLITE_OPEN_CREATE;
    // SQLite takes an empty file for an empty database and would write a new
    // one into it; an existing database file of 0 bytes has lost its data.
    if (!create && QFileInfo(m_path).isFile() && QFileInfo(m_path).size() == 0) {
        if (error)
            *error = QStringLiteral("The database '%1' is empty (0 bytes): it holds no tables "
                                    "and no data. Restore it from a backup copy.")
                         .arg(QDir::toNativeSeparators(m_path));
        return false;
    }
    const QByteArray file = m_path.toUtf8();
    int rc = sqlite3_open_v2(file.constData(), &m_db, flags, nullptr);
    auto fail = [&](const QString& what) {
        if (error)
            *error = QStringLiteral("Cannot open the database '%1': %2")
                         .arg(QDir::toNativeSeparators(m_path), what);
        if (m_db)
            sqlite3_close_v2(m_db);
        m_db = nullptr;
        return false;
    };
    if (rc != SQLITE_OK)
        return fail(m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                         : QString::fromUtf8(sqlite3_errstr(rc)));
    ++m_writes; // a file opened again may hold anything: nothing read before stays fresh
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 5000);
    // "name" is always a name, never a text that happens to be double-quoted.
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    registerDialect();
    const char* journal =
        m_journal == Journal::Wal ? "PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=DELETE";
    for (const char* pragma : {journal, "PRAGMA synchronous=FULL"}) {
        rc = sqlite3_exec(m_db, pragma, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return fail(QString::fromUtf8(sqlite3_errmsg(m_db)));
    }
    // A file system without shared memory keeps the file in its old mode.
    SqliteStatement mode = prepare(QStringLiteral("PRAGMA journal_mode"), nullptr);
    m_walMode = mode.isValid() && mode.step() == SQLITE_ROW &&
                mode.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
    mode = SqliteStatement();
    // A local file is read through a read-only memory map rather than copied
    // page by page into the connection's cache: walks through memos read
    // every page once. A file on a shared folder is read as it always was.
    if (m_walMode)
        sqlite3_exec(m_db, "PRAGMA mmap_size=2147418112", nullptr, nullptr, nullptr);
    readMembership();
    return true;
}

void SqliteConnection::readMembership() {
    m_member.clear();
    m_keyRange = -1;
    m_lastKeys.clear();
    if (!m_records)
        return;
    SqliteStatement identity = prepare(
        QStringLiteral("SELECT \"Replica\", \"KeyRange\" FROM \"ReplicaIdentity\""), nullptr);
    if (!identity.isValid() || identity.step() != SQLITE_ROW)
        return;
    m_member = identity.value(0).toString();
    m_keyRange = identity.intValue(1);
    identity = SqliteStatement();
    // No write may reach the file without its record of changes: a commit
    // that changed replicated rows outside a recorded transaction is rolled
    // back. The session sees every change the moment it is made.
    QString error;
    if (!renewSession(&error)) {
        m_member.clear();
        return;
    }
    sqlite3_commit_hook(m_db, commitHook, this);
}

bool SqliteConnection::renewSession(QString* error) {
    if (m_session)
        sqlite3session_delete(m_session);
    m_session = nullptr;
    int rc = sqlite3session_create(m_db, "main", &m_session);
    if (rc == SQLITE_OK) {
        sqlite3session_table_filter(m_session, recordTable, nullptr);
        rc = sqlite3session_attach(m_session, nullptr);
    }
    if (rc != SQLITE_OK) {
        if (m_session)
            sqlite3session_delete(m_session);
        m_session = nullptr;
        if (error)
            *error =
                QStringLiteral("The changes to %1 cannot be recorded: %2")
                    .arg(QDir::toNativeSeparators(m_path), QString::fromUtf8(sqlite3_errstr(rc)));
        return false;
    }
    return true;
}

int SqliteConnection::commitHook(void* data) {
    auto* connection = static_cast<SqliteConnection*>(data);
    const bool allowed = connection->m_recorded || !connection->m_session ||
                         sqlite3session_isempty(connection->m_session);
    connection->m_recorded = false;
    return allowed ? 0 : 1;
}

void SqliteConnection::registerDialect() {
    sqlite3_create_collation_v2(m_db, "NOCASE", SQLITE_UTF8, nullptr, compareNoCase, nullptr);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(m_db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(m_db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(m_db, "tess_concat", -1, flags, nullptr, concatFunction, nullptr,
                               nullptr, nullptr);
    sqlite3_create_function_v2(m_db, "tess_newkey", 1, SQLITE_UTF8, this, newKeyFunction, nullptr,
                               nullptr, nullptr);
}

sqlite3* SqliteConnection::handle() {
    if (!m_db)
        open(false, nullptr);
    return m_db;
}
QString SqliteConnection::lastError() const {
    if (!m_db)
        return QStringLiteral("The database '%1' is not open.")
            .arg(QDir::toNativeSeparators(m_path));
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

bool SqliteConnection::choosesKeys(const QString& table) const {
    return !m_member.isEmpty() && ChangeLog::isReplicated(table);
}

std::optional<qint64> SqliteConnection::newKey(const QString& table) {
    if (!choosesKeys(table))
        return std::nullopt;
    const qint64 low = m_keyRange * ChangeLog::KeyRangeSize;
    const qint64 high = low + ChangeLog::KeyRangeSize;
    const QString column = keyColumn(table);
    qint64 last = std::max(low, m_lastKeys.value(table.toUpper(), low));
    SqliteStatement highest =
        cached(QStringLiteral("SELECT max(%1) FROM \"%2\" WHERE %1 >= ?1 "
                              "AND %1 < ?2")
                   .arg(column == QLatin1String("rowid") ? column : u'"' + column + u'"', table),
               nullptr);
    if (highest.isValid()) {
        highest.bindInt(1, low);
        highest.bindInt(2, high);
        if (highest.step() == SQLITE_ROW && !highest.value(0).isNull())
            last = std::max(last, highest.intValue(0));
    }
    m_lastKeys.insert(table.toUpper(), last + 1);
    return last + 1;
}

bool SqliteConnection::startRecording(QString* error) {
    m_recorded = false;
    if (m_member.isEmpty())
        return true;
    // What the session holds from before (a write that was refused or
    // rolled back) is no part of this transaction.
    if (!m_session || !sqlite3session_isempty(m_session))
        return renewSession(error);
    return true;
}

bool SqliteConnection::recordChanges(QString* error) {
    if (m_member.isEmpty())
        return true;
    if (!m_session) {
        if (error)
            *error = QStringLiteral("The changes to %1 were not recorded.")
                         .arg(QDir::toNativeSeparators(m_path));
        return false;
    }
    int size = 0;
    void* changes = nullptr;
    const int rc = sqlite3session_changeset(m_session, &size, &changes);
    if (rc != SQLITE_OK) {
        sqlite3_free(changes);
        if (error)
            *error =
                QStringLiteral("The changes to %1 cannot be recorded: %2")
                    .arg(QDir::toNativeSeparators(m_path), QString::fromUtf8(sqlite3_errstr(rc)));
        return false;
    }
    const QByteArray changeset(static_cast<const char*>(changes), size);
    sqlite3_free(changes);
    if (!changeset.isEmpty()) {
        SqliteStatement insert = cached(
            QStringLiteral("INSERT INTO \"ReplicaChanges\" (\"Origin\", \"OriginSeq\", \"Made\", "
                           "\"Changeset\") VALUES (?1, 0, ?2, ?3)"),
            error);
        if (!insert.isValid())
            return false;
        insert.bind(1, m_member);
        insert.bind(2, QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
        insert.bind(3, changeset);
        if (insert.step() != SQLITE_DONE) {
            if (error)
                *error = lastError();
            return false;
        }
        insert = SqliteStatement();
        // A change's number at its origin is its number in this table.
        if (!executeRaw(QStringLiteral("UPDATE \"ReplicaChanges\" SET \"OriginSeq\" = \"Seq\" "
                                       "WHERE \"Seq\" = last_insert_rowid()"),
                        error))
            return false;
    }
    m_recorded = true;
    return true;
}

void SqliteConnection::finishRecording() {
    m_recorded = false;
    if (m_session && !sqlite3session_isempty(m_session))
        renewSession(nullptr);
}

bool SqliteConnection::execute(const QString& sql, QString* error) {
    if (m_member.isEmpty() || !handle() || inTransaction() || !writesData(sql))
        return executeRaw(sql, error);
    // A write on its own gets a transaction of its own, with its record.
    if (!executeRaw(QStringLiteral("BEGIN IMMEDIATE"), error))
        return false;
    bool ok = startRecording(error) && executeRaw(sql, error) && recordChanges(error) &&
              executeRaw(QStringLiteral("COMMIT"), error);
    if (!ok)
        executeRaw(QStringLiteral("ROLLBACK"), nullptr);
    finishRecording();
    return ok;
}

bool SqliteConnection::writesData(const QString& sql) {
    const QByteArray text = sql.toUtf8();
    const char* rest = text.constData();
    const char* end = rest + text.size();
    while (rest < end) {
        sqlite3_stmt* statement = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(m_db, rest, int(end - rest), &statement, &tail) != SQLITE_OK)
            return false; // it fails as it stands
        if (!statement)
            break;
        const QByteArray word = QByteArray(sqlite3_sql(statement)).trimmed().left(8).toUpper();
        const bool control = word.startsWith("BEGIN") || word.startsWith("COMMIT") ||
                             word.startsWith("END") || word.startsWith("ROLLBACK") ||
                             word.startsWith("SAVEPOIN") || word.startsWith("RELEASE") ||
                             word.startsWith("VACUUM") || word.startsWith("PRAGMA");
        const bool writes = !sqlite3_stmt_readonly(statement) && !control;
        sqlite3_finalize(statement);
        if (writes)
            return true;
        rest = tail;
    }
    return false;
}

bool SqliteConnection::executeRaw(const QString& sql, QString* error) {
    sqlite3* db = handle();
    if (!db) {
        if (error)
            *error = lastError();
        return false;
    }
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(message ? message : sqlite3_errstr(rc));
        sqlite3_free(message);
        return false;
    }
    noteWrite();
    return true;
}

namespace {

sqlite3_stmt* prepareRaw(sqlite3* db, const QString& sql, QString* error) {
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &statement, nullptr) !=
        SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(db));
        return nullptr;
    }
    return statement;
}

} // namespace

SqliteStatement SqliteConnection::prepare(const QString& sql, QString* error) {
    sqlite3* db = handle();
    if (!db) {
        if (error)
            *error = lastError();
        return {};
    }
    sqlite3_stmt* statement = prepareRaw(db, sql, error);
    return statement ? SqliteStatement(statement, true) : SqliteStatement();
}

SqliteStatement SqliteConnection::cached(const QString& sql, QString* error) {
    sqlite3* db = handle();
    if (!db) {
        if (error)
            *error = lastError();
        return {};
    }
    sqlite3_stmt* statement = m_cache.value(sql);
    if (statement)
        return SqliteStatement(statement, false);
    statement = prepareRaw(db, sql, error);
    if (!statement)
        return {};
    // Keep the cache bounded; statements beyond it are simply not kept.
    if (m_cache.size() >= MaxCachedStatements)
        return SqliteStatement(statement, true);
    m_cache.insert(sql, statement);
    return SqliteStatement(statement, false);
}

std::optional<QList<SqliteConnection::ColumnInfo>>
SqliteConnection::tableInfo(const QString& table) {
    QString error;
    SqliteStatement info =
        prepare(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?1)"), &error);
    if (!info.isValid())
        return std::nullopt;
    info.bind(1, table);
    QList<ColumnInfo> columns;
    int keyColumns = 0;
    while (info.step() == SQLITE_ROW) {
        ColumnInfo column;
        column.name = info.value(0).toString();
        column.type = info.value(1).toString();
        column.integerKey = info.intValue(2) == 1 &&
                            column.type.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
        keyColumns += info.intValue(2) > 0 ? 1 : 0;
        columns.append(column);
    }
    if (columns.isEmpty())
        return std::nullopt;
    if (keyColumns != 1)
        for (ColumnInfo& column : columns)
            column.integerKey = false;
    return columns;
}

std::optional<QStringList> SqliteConnection::allColumns(const QString& table) {
    const auto info = tableInfo(table);
    if (!info)
        return std::nullopt;
    QStringList names;
    for (const ColumnInfo& column : *info)
        names.append(column.name);
    return names;
}

std::optional<QStringList> SqliteConnection::visibleColumns(const QString& table) {
    const auto info = tableInfo(table);
    if (!info)
        return std::nullopt;
    QStringList names;
    for (const ColumnInfo& column : *info)
        if (!(column.integerKey &&
              column.name.compare(QLatin1String(HiddenKey), Qt::CaseInsensitive) == 0))
            names.append(column.name);
    return names;
}

QString SqliteConnection::keyColumn(const QString& table) {
    const auto info = tableInfo(table);
    if (info)
        for (const ColumnInfo& column : *info)
            if (column.integerKey)
                return column.name;
    return QStringLiteral("rowid");
}

QString SqliteConnection::declaredType(const QString& table, const QString& column) {
    const auto info = tableInfo(table);
    if (info)
        for (const ColumnInfo& c : *info)
            if (c.name.compare(column, Qt::CaseInsensitive) == 0)
                return c.type;
    return {};
}

bool SqliteConnection::tableExists(const QString& table) {
    return tableInfo(table).has_value();
}

std::optional<SqliteConnection::WalIndexHeader> SqliteConnection::walIndexHeader() {
    if (!m_walMode)
        return std::nullopt;
    if (!m_walIndex) {
        // SQLite keeps the -shm file at 32 KB or more while any connection,
        // this one included, has the database open in WAL mode, and only
        // shrinks it when it is the first to open the file; this mapping
        // goes before this connection closes.
        const QByteArray shm = (m_path + QStringLiteral("-shm")).toUtf8();
        const int fd = ::open(shm.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return std::nullopt;
        struct stat info {};
        void* map = MAP_FAILED;
        if (::fstat(fd, &info) == 0 && info.st_size >= 2 * WalIndexHeaderSize)
            map = ::mmap(nullptr, WalIndexHeaderSize, PROT_READ, MAP_SHARED, fd, 0);
        ::close(fd);
        if (map == MAP_FAILED)
            return std::nullopt;
        m_walIndex = map;
    }
    WalIndexHeader header;
    std::atomic_thread_fence(std::memory_order_acquire);
    std::memcpy(header.data(), m_walIndex, header.size());
    return header;
}

void SqliteConnection::unmapWalIndex() {
    if (m_walIndex)
        ::munmap(m_walIndex, WalIndexHeaderSize);
    m_walIndex = nullptr;
    m_polledHeader.reset();
}

quint64 SqliteConnection::pollChanges() {
    if (!m_db)
        return changeStamp();
    // Every commit rewrites the WAL-index header (its change counter, frame
    // count and checksums), so a header as it was at the last look means no
    // connection has committed since. A commit that lands while data_version
    // is read below leaves the header changed for the next look.
    const bool outside = !inTransaction();
    const auto header = outside ? walIndexHeader() : std::nullopt;
    if (header && header == m_polledHeader)
        return changeStamp();
    // Outside a transaction data_version is read in a read transaction of
    // its own; inside one it tells what that transaction sees.
    SqliteStatement statement = cached(QStringLiteral("PRAGMA data_version"), nullptr);
    if (statement.isValid() && statement.step() == SQLITE_ROW) {
        m_dataVersion = quint64(statement.intValue(0));
        if (header)
            m_polledHeader = header;
    }
    return changeStamp();
}

bool SqliteConnection::inTransaction() const {
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

bool SqliteConnection::checkpoint(QString* error) {
    if (!m_db || m_journal != Journal::Wal)
        return true;
    int logFrames = 0, copiedFrames = 0;
    const int rc = sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, &logFrames,
                                             &copiedFrames);
    if (rc == SQLITE_OK && copiedFrames == logFrames)
        return true;
    if (error)
        *error = QStringLiteral("The database %1 cannot be written in full: %2")
                     .arg(QDir::toNativeSeparators(m_path),
                          rc == SQLITE_OK ? QStringLiteral("another connection is reading it.")
                                          : QString::fromUtf8(sqlite3_errmsg(m_db)));
    return false;
}

bool SqliteConnection::closeComplete(QString* error) {
    const bool checkpointed = checkpoint(error);
    close();
    if (!checkpointed)
        return false;
    const QFileInfo log(m_path + QStringLiteral("-wal"));
    if (log.exists() && log.size() > 0) {
        if (error)
            *error = QStringLiteral("The database %1 cannot be written in full: its log %2 "
                                    "still holds changes.")
                         .arg(QDir::toNativeSeparators(m_path),
                              QDir::toNativeSeparators(log.filePath()));
        return false;
    }
    return true;
}

void SqliteConnection::close() {
    m_indexesChecked.clear();
    unmapWalIndex();
    if (!m_db)
        return;
    if (m_session)
        sqlite3session_delete(m_session);
    m_session = nullptr;
    for (sqlite3_stmt* statement : std::as_const(m_cache))
        sqlite3_finalize(statement);
    m_cache.clear();
    checkpoint();
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}
