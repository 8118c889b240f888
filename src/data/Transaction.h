#pragma once

#include <QString>

class SqliteConnection;

// A write transaction: BEGIN IMMEDIATE, or a savepoint inside one that is
// already open. Rolled back when it goes out of scope without commit(), so a
// failed write never leaves half a row behind.
class Transaction {
public:
    explicit Transaction(SqliteConnection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool begin(QString* error);
    bool commit(QString* error);
    void rollback();

private:
    SqliteConnection& m_connection;
    bool m_active = false;
    bool m_nested = false;
};
