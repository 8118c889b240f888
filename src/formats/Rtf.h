#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QTextDocument;

// Rich text as RTF, the form in which memos are stored, the clipboard carries
// formatted text and the word processor's documents are written.
//
// What travels both ways: font family and size, bold, italic, underline,
// strike-out, text and background colour, paragraph alignment, paragraphs,
// line breaks within a paragraph, tabs and all of Unicode. What the reader
// meets and cannot show (pictures, objects, headers and footers, style sheets,
// document information, field codes) is skipped; a field shows its result,
// a table its cells separated by tabs, one paragraph per row.
//
// The reader never gives up on damaged RTF: unbalanced braces, truncated
// escapes and absurd numbers load whatever text can be read.
class Rtf {
public:
    // A complete RTF document with font and colour tables.
    static QString fromDocument(const QTextDocument& document);
    // Replaces the document's content; false (and the document untouched)
    // when the text is not RTF at all.
    static bool toDocument(const QString& rtf, QTextDocument& document);

    // Each line of the text becomes a paragraph. The result names no font,
    // so the text takes the reader's default font, or the template's when
    // spliced into one.
    static QString fromPlainText(const QString& text);
    // The text of the RTF, paragraphs separated by "\n"; a text that is not
    // RTF comes back unchanged.
    static QString toPlainText(const QString& rtf);

    // True when the text starts with "{\rtf" after leading white space.
    static bool isRtf(const QString& text);

    // The template's RTF with the fragments (each a complete RTF document, or
    // plain text) inserted one after the other at its insertion point: just
    // after the bookmark "Body" ({\*\bkmkstart Body}) when the template has
    // one, otherwise just before its final closing brace. The template's own
    // text is kept byte for byte; each fragment's fonts and colours join the
    // template's tables and the fragment's references are renumbered to them.
    // Each fragment sits in a group of its own, so its formatting does not
    // leak into the template's text after it.
    static QString spliceBody(const QString& templateRtf, const QStringList& fragmentsRtf);

    struct Font {
        QString family;
        double pointSize = 12;
    };
    // The font the template's text has at the insertion point of spliceBody
    // (its body font); nothing when the template names none there.
    static std::optional<Font> insertionFont(const QString& templateRtf);
};
