#pragma once

#include "RtfTokenizer.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <vector>

class QTextDocument;

// Reads RTF into a QTextDocument: one pass over the tokens with a stack of
// group states, text collected in runs of equal formatting. The group depth
// is capped, so hostile nesting costs neither stack nor memory; groups deeper
// than the cap are skipped whole.
class RtfReader {
public:
    static constexpr int MaxGroupDepth = 200;

    explicit RtfReader(QTextDocument& document);
    // False when the text does not start with "{\rtf"; the document is then
    // left as it was.
    bool read(QStringView rtf);

private:
    enum class Destination {
        Text,       // shown
        FontTable,  // font numbers and names
        ColorTable, // colour entries
        Skip,       // anything not shown: pictures, headers, field codes, ...
        Object,     // an embedded object: only its \result is shown
    };
    struct CharState {
        int font = -1; // -1: the document's default font (\deff)
        int halfPoints = 24;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strike = false;
        bool hidden = false;
        int foreground = -1; // colour table indexes; -1 or 0: automatic
        int background = -1;
        QTextCharFormat::VerticalAlignment vertical = QTextCharFormat::AlignNormal;
        bool operator==(const CharState&) const = default;
    };
    struct GroupState {
        Destination destination = Destination::Text;
        CharState chars;
        Qt::Alignment alignment = Qt::AlignLeft;
        int unicodeSkip = 1; // \ucN: fallback characters after each \uN
    };

    void startGroup();
    void endGroup();
    void controlWord(const RtfToken& token);
    void controlSymbol(QChar symbol);
    void textRun(QStringView text);
    void byte(int value);
    void character(char16_t c);
    void paragraphBreak();
    void cellBreak();
    void beginContent();
    void flushRun();
    void finish();
    void commitFont();
    void commitColor();
    QTextCharFormat charFormat(const CharState& chars) const;
    QColor color(int index) const;
    GroupState& state() { return m_stack.back(); }

    QTextDocument& m_document;
    QTextCursor m_cursor;
    std::vector<GroupState> m_stack;
    int m_overflowDepth = 0;    // groups opened beyond MaxGroupDepth, not yet closed
    int m_skipFallback = 0;     // characters of a \uN fallback still to drop
    bool m_groupOpened = false; // the last token opened a group
    bool m_windows1252 = true;

    int m_defaultFont = 0;
    QHash<int, QString> m_fonts;
    int m_fontNumber = 0;
    QString m_fontName;
    QList<QColor> m_colors; // invalid: the automatic colour
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorGiven = false;

    QString m_run;
    CharState m_runChars;
    bool m_paragraphPending = false; // a \par whose new paragraph has no content yet
    bool m_cellPending = false;      // a \cell whose separating tab is not written yet
    Qt::Alignment m_contentAlignment = Qt::AlignLeft;
};
