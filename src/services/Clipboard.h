#pragma once

#include <QString>

// The system clipboard with plain text and rich text: rich text travels as
// "text/rtf" beside the plain text, so other programs take whichever they
// understand.
class Clipboard {
public:
    static void clear();
    static void setText(const QString& text);
    static QString text();
    static void setRtf(const QString& rtf, const QString& plainText);
    static QString rtf(); // empty when the clipboard holds no RTF
    static bool hasRtf();

    static constexpr const char* RtfMime = "text/rtf";
};
