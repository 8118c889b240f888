#pragma once

#include <QByteArray>
#include <QVariant>
#include <vector>

// The current row's stored values as first read after it became current:
// what the user saw, and what a save expects to find in the table. Forgotten
// at every move and after a save, so that the next read takes what is
// stored then.
class SeenRow {
public:
    bool isEmpty() const { return m_bookmark.isEmpty(); }
    bool isOf(const QByteArray& bookmark) const {
        return !m_bookmark.isEmpty() && m_bookmark == bookmark;
    }
    void remember(const QByteArray& bookmark, const std::vector<QVariant>& values) {
        m_bookmark = bookmark;
        m_values = values;
    }
    void forget() { m_bookmark.clear(); }

    const QVariant& value(int field) const { return m_values.at(size_t(field)); }
    // The user has seen what another user stored and keeps their own edit.
    void setValue(int field, const QVariant& stored) { m_values[size_t(field)] = stored; }

private:
    QByteArray m_bookmark;
    std::vector<QVariant> m_values;
};
