#include "RtfTokenizer.h"

#include <limits>

namespace {

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

int hexValue(QChar c) {
    if (isDigit(c))
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

bool isLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}

} // namespace

RtfToken RtfTokenizer::next() {
    const qsizetype size = m_source.size();
    while (m_position < size && isLineEnd(m_source.at(m_position)))
        ++m_position;
    RtfToken token;
    token.begin = m_position;
    if (m_position >= size) {
        token.end = m_position;
        return token;
    }
    const QChar c = m_source.at(m_position);
    if (c == u'{' || c == u'}') {
        token.kind = c == u'{' ? RtfToken::Kind::GroupStart : RtfToken::Kind::GroupEnd;
        token.end = ++m_position;
        return token;
    }
    if (c == u'\\')
        return controlWord(m_position);

    while (m_position < size) {
        const QChar t = m_source.at(m_position);
        if (t == u'\\' || t == u'{' || t == u'}' || isLineEnd(t))
            break;
        ++m_position;
    }
    token.kind = RtfToken::Kind::Text;
    token.word = m_source.mid(token.begin, m_position - token.begin);
    token.end = m_position;
    return token;
}

RtfToken RtfTokenizer::controlWord(qsizetype begin) {
    const qsizetype size = m_source.size();
    RtfToken token;
    token.begin = begin;
    m_position = begin + 1;
    if (m_position >= size) { // a lone backslash at the very end
        token.end = m_position;
        return token;
    }
    const QChar first = m_source.at(m_position);
    if (first == u'\'')
        return hexEscape(begin);
    if (!isAsciiLetter(first)) {
        token.kind = RtfToken::Kind::ControlSymbol;
        token.symbol = isLineEnd(first) ? QChar(u'\n') : first;
        token.end = ++m_position;
        return token;
    }

    const qsizetype nameBegin = m_position;
    while (m_position < size && isAsciiLetter(m_source.at(m_position)))
        ++m_position;
    token.kind = RtfToken::Kind::ControlWord;
    token.word = m_source.mid(nameBegin, m_position - nameBegin);

    const bool negative = m_position + 1 < size && m_source.at(m_position) == u'-' &&
                          isDigit(m_source.at(m_position + 1));
    if (negative || (m_position < size && isDigit(m_source.at(m_position)))) {
        if (negative)
            ++m_position;
        // Saturate: a thousand digits are one huge number, not an overflow.
        constexpr qint64 limit = std::numeric_limits<int>::max();
        qint64 value = 0;
        while (m_position < size && isDigit(m_source.at(m_position))) {
            value = std::min(limit, value * 10 + (m_source.at(m_position).unicode() - u'0'));
            ++m_position;
        }
        token.hasParameter = true;
        token.parameter = int(negative ? -value : value);
    }
    if (m_position < size && m_source.at(m_position) == u' ')
        ++m_position;

    // Binary data follows \binN directly; it is part of this token.
    if (token.word == QLatin1String("bin") && token.parameter > 0) {
        token.binaryLength = std::min(qsizetype(token.parameter), size - m_position);
        m_position += token.binaryLength;
    }
    token.end = m_position;
    return token;
}

RtfToken RtfTokenizer::hexEscape(qsizetype begin) {
    RtfToken token;
    token.begin = begin;
    m_position = begin + 2; // past the backslash and the apostrophe
    const qsizetype size = m_source.size();
    const int high = m_position < size ? hexValue(m_source.at(m_position)) : -1;
    const int low = m_position + 1 < size ? hexValue(m_source.at(m_position + 1)) : -1;
    if (high < 0 || low < 0) {
        // A truncated escape takes the one digit it has with it.
        token.kind = RtfToken::Kind::ControlSymbol;
        token.symbol = u'\'';
        token.end = m_position += high < 0 ? 0 : 1;
        return token;
    }
    m_position += 2;
    token.kind = RtfToken::Kind::HexByte;
    token.parameter = high * 16 + low;
    token.end = m_position;
    return token;
}
