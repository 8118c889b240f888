#include "LikePattern.h"

#include <QList>

namespace {

std::u32string folded(const QString& text) {
    const QList<uint> ucs4 = text.toCaseFolded().toUcs4();
    return std::u32string(ucs4.begin(), ucs4.end());
}

char32_t foldChar(char32_t c) {
    return QChar::toCaseFolded(c);
}

// The bytes of an ASCII text, folded as QChar::toCaseFolded folds them.
struct AsciiFolded {
    const char* data;
    size_t length;
    size_t size() const { return length; }
    char32_t operator[](size_t i) const {
        const char32_t c = static_cast<unsigned char>(data[i]);
        return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c;
    }
};

bool isAscii(const char* data, qsizetype size) {
    for (qsizetype i = 0; i < size; ++i)
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            return false;
    return true;
}

} // namespace

LikePattern::LikePattern(const QString& pattern)
    : m_pattern(pattern) {
    const QList<uint> chars = pattern.toUcs4();
    const qsizetype n = chars.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char32_t c = chars[i];
        Element e;
        if (c == U'*') {
            if (!m_elements.empty() && m_elements.back().kind == Element::Kind::AnyRun)
                continue;
            e.kind = Element::Kind::AnyRun;
        } else if (c == U'?') {
            e.kind = Element::Kind::AnyOne;
        } else if (c == U'#') {
            e.kind = Element::Kind::Digit;
        } else if (c == U'[') {
            qsizetype close = -1;
            // A ']' right after '[' or '[!' belongs to the set.
            for (qsizetype j = i + 1; j < n; ++j) {
                if (chars[j] == U']' && j > i + 1 && !(j == i + 2 && chars[i + 1] == U'!')) {
                    close = j;
                    break;
                }
            }
            if (i + 1 < n && chars[i + 1] == U']') { // [] stands for nothing at all
                ++i;
                continue;
            }
            if (close < 0) {
                e.kind = Element::Kind::Literal;
                e.literal = foldChar(c);
            } else {
                e.kind = Element::Kind::Set;
                qsizetype j = i + 1;
                if (chars[j] == U'!' && j + 1 < close) {
                    e.negated = true;
                    ++j;
                }
                for (; j < close; ++j) {
                    const char32_t low = foldChar(chars[j]);
                    if (j + 2 < close && chars[j + 1] == U'-') {
                        char32_t high = foldChar(chars[j + 2]);
                        e.ranges.push_back({std::min(low, high), std::max(low, high)});
                        j += 2;
                    } else {
                        e.ranges.push_back({low, low});
                    }
                }
                i = close;
            }
        } else {
            e.kind = Element::Kind::Literal;
            e.literal = foldChar(c);
        }
        m_elements.push_back(e);
    }
}

bool LikePattern::matchesElement(const Element& e, char32_t c) const {
    switch (e.kind) {
    case Element::Kind::Literal:
        return e.literal == c;
    case Element::Kind::AnyOne:
        return true;
    case Element::Kind::Digit:
        return c >= U'0' && c <= U'9';
    case Element::Kind::Set: {
        bool inSet = false;
        for (const Range& r : e.ranges)
            inSet |= c >= r.low && c <= r.high;
        return inSet != e.negated;
    }
    case Element::Kind::AnyRun:
        return true;
    }
    return false;
}

bool LikePattern::matches(const QString& value) const {
    return matchesFolded(folded(value));
}

bool LikePattern::matchesUtf8(const char* value, qsizetype size) const {
    if (isAscii(value, size))
        return matchesFolded(AsciiFolded{value, size_t(size)});
    return matches(QString::fromUtf8(value, size));
}

template <class Text> bool LikePattern::matchesFolded(const Text& text) const {
    // Greedy match with one backtracking point: the last * seen.
    size_t t = 0, p = 0;
    constexpr size_t None = size_t(-1);
    size_t starP = None, starT = 0;
    const size_t n = text.size();
    while (t < n) {
        if (p < m_elements.size() && m_elements[p].kind == Element::Kind::AnyRun) {
            starP = p++;
            starT = t;
            // The run ends where the literal after it next occurs: skip to it
            // at once instead of trying every position on the way.
            if (p < m_elements.size() && m_elements[p].kind == Element::Kind::Literal) {
                const char32_t literal = m_elements[p].literal;
                while (starT < n && text[starT] != literal)
                    ++starT;
                t = starT;
            }
            continue;
        }
        const Element* e = p < m_elements.size() ? &m_elements[p] : nullptr;
        if (e && (e->kind == Element::Kind::Literal ? e->literal == text[t]
                                                    : matchesElement(*e, text[t]))) {
            ++p;
            ++t;
        } else if (starP != None) {
            p = starP + 1;
            t = ++starT;
            if (p < m_elements.size() && m_elements[p].kind == Element::Kind::Literal) {
                const char32_t literal = m_elements[p].literal;
                while (starT < n && text[starT] != literal)
                    ++starT;
                t = starT;
            }
        } else {
            return false;
        }
    }
    while (p < m_elements.size() && m_elements[p].kind == Element::Kind::AnyRun)
        ++p;
    return p == m_elements.size();
}
