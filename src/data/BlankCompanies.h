#pragma once

#include <QString>
#include <limits>
#include <memory>

class SqliteConnection;

// Removes the companies whose name is empty (NULL or ""), a slice at a time.
// A name of blanks only is a name and stays. A blank company that still owns
// contacts, documents, projects, attachments or competitor activity stays as
// well: removing it would leave those rows without their company.
class BlankCompanies {
public:
    explicit BlankCompanies(std::shared_ptr<SqliteConnection> connection);

    // Works for about `budgetMs` milliseconds; false, with the reason, when
    // a write failed (that slice is undone).
    bool step(int budgetMs, QString* error);

    bool done() const { return m_done; }
    int removed() const { return m_removed; }
    int kept() const { return m_kept; } // blank but owning rows

private:
    std::shared_ptr<SqliteConnection> m_connection;
    qint64 m_after = std::numeric_limits<qint64>::min();
    int m_removed = 0;
    int m_kept = 0;
    bool m_done = false;
};
