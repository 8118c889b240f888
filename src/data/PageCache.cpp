#include "PageCache.h"

const PageCache::Page& PageCache::store(int index, quint64 stamp, Page page) {
    if (m_pages.size() >= MaxPages && !m_pages.contains(index)) {
        auto oldest = m_pages.begin();
        for (auto p = m_pages.begin(); p != m_pages.end(); ++p)
            if (p->lastUse < oldest->lastUse)
                oldest = p;
        m_pages.erase(oldest);
    }
    page.stamp = stamp;
    page.lastUse = ++m_use;
    return *m_pages.insert(index, std::move(page));
}

void PageCache::carryForward(quint64 before, quint64 after, bool othersWrote, int changedRow) {
    const int changedPage = indexOf(changedRow);
    for (auto p = m_pages.begin(); p != m_pages.end();)
        if (p.key() == changedPage || p->stamp != before || othersWrote)
            p = m_pages.erase(p);
        else
            (p++)->stamp = after;
}
