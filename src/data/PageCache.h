#pragma once

#include <QHash>
#include <QVariant>
#include <vector>

// The values of a keyed result's rows, read on demand a page of rows at a
// time and kept while the database file has not changed since: each page
// carries the connection's change stamp of its read, and a page of another
// stamp is read again. The least recently used page goes when the cache is
// full, so a walk through 250,000 memos holds a few pages, not the table.
class PageCache {
public:
    static constexpr int PageSize = 64;
    static constexpr int MaxPages = 16;

    struct Page {
        quint64 stamp = 0;
        quint64 lastUse = 0;
        std::vector<std::vector<QVariant>> rows;
        std::vector<bool> present; // false: the row has gone from its table
    };

    static int indexOf(int row) { return row / PageSize; }
    static int slotOf(int row) { return row % PageSize; }

    // The page read at `stamp`, marked as used; nullptr when there is none.
    const Page* fresh(int index, quint64 stamp) {
        const auto it = m_pages.find(index);
        if (it == m_pages.end() || it->stamp != stamp)
            return nullptr;
        it->lastUse = ++m_use;
        return &*it;
    }
    // Keeps a page just read at `stamp` in place of an older read of it, or
    // of the least recently used page when the cache is full.
    const Page& store(int index, quint64 stamp, Page page);

    void clear() { m_pages.clear(); }
    void dropPageOf(int row) { m_pages.remove(indexOf(row)); }
    // After a write through this connection moved the stamp from `before` to
    // `after`: pages read at `before` hold all but the write's change, so
    // they stay (restamped) except the page of `changedRow`. Pages read
    // earlier, and every page when another connection wrote meanwhile, go.
    void carryForward(quint64 before, quint64 after, bool othersWrote, int changedRow);

private:
    QHash<int, Page> m_pages;
    quint64 m_use = 0;
};
