#pragma once

#include <QString>
#include <string>
#include <vector>

// The desktop dialect's LIKE: * any run of characters, ? one character,
// # one digit, [abc] [a-z] [!abc] one character of (or not of) a set.
// Matching ignores letter case for all of Unicode. A '[' without its ']'
// stands for itself. NULL handling is the caller's: NULL never matches.
class LikePattern {
public:
    explicit LikePattern(const QString& pattern);

    bool matches(const QString& value) const;
    // The same for a UTF-8 value, as the database hands it over. A value of
    // ASCII alone (RTF memos are) is matched on its bytes, without decoding.
    bool matchesUtf8(const char* value, qsizetype size) const;
    const QString& pattern() const { return m_pattern; }

private:
    struct Range {
        char32_t low;
        char32_t high;
    };
    struct Element {
        enum class Kind { Literal, AnyRun, AnyOne, Digit, Set };
        Kind kind;
        char32_t literal = 0;
        std::vector<Range> ranges;
        bool negated = false;
    };

    bool matchesElement(const Element& element, char32_t c) const;
    // Greedy match over any sequence of case-folded characters.
    template <class Text> bool matchesFolded(const Text& text) const;

    QString m_pattern;
    std::vector<Element> m_elements;
};
