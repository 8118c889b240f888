#include "Transaction.h"

#include "SqliteConnection.h"

Transaction::Transaction(SqliteConnection& connection)
    : m_connection(connection) {}

Transaction::~Transaction() {
    if (m_active)
        rollback();
}

bool Transaction::begin(QString* error) {
    m_nested = m_connection.inTransaction();
    m_active = m_connection.execute(m_nested ? QStringLiteral("SAVEPOINT tess_write")
                                             : QStringLiteral("BEGIN IMMEDIATE"),
                                    error);
    if (m_active && !m_nested && !m_connection.startRecording(error)) {
        rollback();
        return false;
    }
    return m_active;
}

bool Transaction::commit(QString* error) {
    if (!m_active)
        return false;
    // The record of the changes is written in the transaction it records.
    if (!m_nested && !m_connection.recordChanges(error)) {
        rollback();
        return false;
    }
    const bool ok = m_connection.execute(
        m_nested ? QStringLiteral("RELEASE tess_write") : QStringLiteral("COMMIT"), error);
    if (!ok) {
        rollback();
        return false;
    }
    m_active = false;
    if (!m_nested)
        m_connection.finishRecording();
    m_connection.noteWrite();
    return true;
}

void Transaction::rollback() {
    if (!m_active)
        return;
    m_active = false;
    if (m_nested)
        m_connection.execute(QStringLiteral("ROLLBACK TO tess_write; RELEASE tess_write"), nullptr);
    else
        m_connection.execute(QStringLiteral("ROLLBACK"), nullptr);
    if (!m_nested)
        m_connection.finishRecording();
}
