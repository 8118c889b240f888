#pragma once

#include <QLatin1String>
#include <QStringView>

// One token of RTF text, with its place in the source, so that callers can
// copy the text around it unchanged.
struct RtfToken {
    enum class Kind { End, GroupStart, GroupEnd, ControlWord, ControlSymbol, Text, HexByte };
    Kind kind = Kind::End;
    QStringView word; // ControlWord: its name; Text: the run of characters
    bool hasParameter = false;
    int parameter = 0;          // ControlWord: the numeric parameter; HexByte: the byte
    QChar symbol;               // ControlSymbol: the character after the backslash
    qsizetype binaryLength = 0; // \binN: the bytes that follow, at the end of the token
    qsizetype begin = 0;
    qsizetype end = 0; // just past the token and its delimiting space

    bool isWord(QLatin1String name) const { return kind == Kind::ControlWord && word == name; }
    bool isSymbol(char16_t c) const { return kind == Kind::ControlSymbol && symbol == c; }
};

// Splits RTF text into groups, control words (with their numeric parameter),
// control symbols, hex escapes (\'hh) and runs of text. Line ends between
// tokens are noise and are dropped; a backslash before a line end is a
// paragraph mark and comes as the control symbol '\n'.
//
// Damaged input never stops it: parameters saturate instead of overflowing,
// an escape without its two hex digits comes as the control symbol '\''
// (taking a single hex digit with it), and \binN skips at most what is left.
class RtfTokenizer {
public:
    explicit RtfTokenizer(QStringView source, qsizetype position = 0)
        : m_source(source)
        , m_position(position) {}

    RtfToken next();
    RtfToken peek() const { return RtfTokenizer(*this).next(); }
    qsizetype position() const { return m_position; }
    void seek(qsizetype position) { m_position = qBound(qsizetype(0), position, m_source.size()); }
    QStringView source() const { return m_source; }

private:
    RtfToken controlWord(qsizetype begin);
    RtfToken hexEscape(qsizetype begin);

    QStringView m_source;
    qsizetype m_position = 0;
};
