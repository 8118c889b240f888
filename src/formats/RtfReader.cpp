#include "RtfReader.h"

#include <QTextBlock>
#include <QTextDocument>

namespace {

enum class Keyword {
    Unknown,
    // destinations
    FontTable,
    ColorTable,
    SkippedDestination,
    Object,
    Result,
    // document
    Ansi,
    AnsiCodePage,
    OtherCharacterSet,
    DefaultFont,
    FontNumber,
    Red,
    Green,
    Blue,
    Unicode,
    UnicodeSkip,
    // characters
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Hidden,
    FontSize,
    Foreground,
    Background,
    Superscript,
    Subscript,
    NoSuperSub,
    // paragraphs
    ParagraphDefaults,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    Paragraph,
    Cell,
    Row,
    // special characters
    Line,
    Tab,
    Character,
};

struct KeywordEntry {
    Keyword keyword;
    char16_t character = 0; // Keyword::Character
};

const QHash<QString, KeywordEntry>& keywords() {
    static const QHash<QString, KeywordEntry> table = [] {
        QHash<QString, KeywordEntry> t;
        auto add = [&t](const char* word, Keyword keyword, char16_t character = 0) {
            t.insert(QString::fromLatin1(word), {keyword, character});
        };
        add("fonttbl", Keyword::FontTable);
        add("colortbl", Keyword::ColorTable);
        // Destinations whose content is never shown in the editor.
        for (const char* word : {"stylesheet",
                                 "info",
                                 "pict",
                                 "header",
                                 "headerl",
                                 "headerr",
                                 "headerf",
                                 "footer",
                                 "footerl",
                                 "footerr",
                                 "footerf",
                                 "footnote",
                                 "annotation",
                                 "fldinst",
                                 "xe",
                                 "tc",
                                 "bkmkstart",
                                 "bkmkend",
                                 "filetbl",
                                 "listtable",
                                 "listoverridetable",
                                 "revtbl",
                                 "rsidtbl",
                                 "generator",
                                 "themedata",
                                 "colorschememapping",
                                 "latentstyles",
                                 "datastore",
                                 "xmlnstbl",
                                 "pgdsctbl",
                                 "mmathPr",
                                 "nonshppict",
                                 "shp",
                                 "shpinst",
                                 "objdata",
                                 "objclass",
                                 "objname",
                                 "template",
                                 "docvar",
                                 "userprops",
                                 "ftnsep",
                                 "ftnsepc",
                                 "ftncn",
                                 "aftnsep",
                                 "aftnsepc",
                                 "aftncn",
                                 "comment",
                                 "author",
                                 "title",
                                 "subject",
                                 "keywords",
                                 "operator",
                                 "doccomm",
                                 "hlinkbase",
                                 "company",
                                 "category",
                                 "manager",
                                 "buptim",
                                 "creatim",
                                 "printim",
                                 "revtim",
                                 "atnid",
                                 "atnauthor",
                                 "atnref",
                                 "atntime",
                                 "atndate",
                                 "atnparent",
                                 "txe",
                                 "rxe",
                                 "pn",
                                 "pntxta",
                                 "pntxtb",
                                 "defchp",
                                 "defpap",
                                 "wgrffmtfilter",
                                 "fchars",
                                 "lchars",
                                 "blipuid",
                                 "falt",
                                 "panose",
                                 "fontemb",
                                 "fontfile",
                                 "formfield",
                                 "datafield",
                                 "ud",
                                 "upr"})
            add(word, Keyword::SkippedDestination);
        add("object", Keyword::Object);
        add("result", Keyword::Result);

        add("ansi", Keyword::Ansi);
        add("ansicpg", Keyword::AnsiCodePage);
        for (const char* word : {"mac", "pc", "pca"})
            add(word, Keyword::OtherCharacterSet);
        add("deff", Keyword::DefaultFont);
        add("f", Keyword::FontNumber);
        add("red", Keyword::Red);
        add("green", Keyword::Green);
        add("blue", Keyword::Blue);
        add("u", Keyword::Unicode);
        add("uc", Keyword::UnicodeSkip);

        add("plain", Keyword::Plain);
        add("b", Keyword::Bold);
        add("i", Keyword::Italic);
        for (const char* word : {"ul", "uld", "uldb", "uldash", "uldashd", "uldashdd", "ulhair",
                                 "ulhwave", "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd",
                                 "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
            add(word, Keyword::Underline);
        add("ulnone", Keyword::UnderlineNone);
        add("strike", Keyword::Strike);
        add("striked", Keyword::Strike);
        add("v", Keyword::Hidden);
        add("fs", Keyword::FontSize);
        add("cf", Keyword::Foreground);
        for (const char* word : {"cb", "highlight", "chcbpat"})
            add(word, Keyword::Background);
        add("super", Keyword::Superscript);
        add("sub", Keyword::Subscript);
        add("nosupersub", Keyword::NoSuperSub);

        add("pard", Keyword::ParagraphDefaults);
        add("ql", Keyword::AlignLeft);
        add("qc", Keyword::AlignCenter);
        add("qr", Keyword::AlignRight);
        add("qj", Keyword::AlignJustify);
        add("qd", Keyword::AlignJustify);
        for (const char* word : {"par", "sect", "page"})
            add(word, Keyword::Paragraph);
        add("cell", Keyword::Cell);
        add("nestcell", Keyword::Cell);
        add("row", Keyword::Row);
        add("nestrow", Keyword::Row);

        add("line", Keyword::Line);
        add("tab", Keyword::Tab);
        add("emdash", Keyword::Character, 0x2014);
        add("endash", Keyword::Character, 0x2013);
        add("emspace", Keyword::Character, 0x2003);
        add("enspace", Keyword::Character, 0x2002);
        add("qmspace", Keyword::Character, 0x2005);
        add("bullet", Keyword::Character, 0x2022);
        add("lquote", Keyword::Character, 0x2018);
        add("rquote", Keyword::Character, 0x2019);
        add("ldblquote", Keyword::Character, 0x201C);
        add("rdblquote", Keyword::Character, 0x201D);
        add("zwj", Keyword::Character, 0x200D);
        add("zwnj", Keyword::Character, 0x200C);
        add("ltrmark", Keyword::Character, 0x200E);
        add("rtlmark", Keyword::Character, 0x200F);
        return t;
    }();
    return table;
}

// Windows-1252 where it differs from Latin-1; 0 marks the five unused bytes.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Characters a QTextDocument must not receive as text: controls, and the
// separators and markers it uses itself for blocks, frames and objects.
bool isShowable(char16_t c) {
    if (c == u'\t' || c == 0x2028)
        return true;
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
        return false;
    return c != 0x2029 && c != 0xFDD0 && c != 0xFDD1 && c != 0xFFFC && c != 0xFFFE && c != 0xFFFF &&
           c != 0xFEFF;
}

// Surrogates that lost their partner (a broken \uN pair) would make the
// document's text invalid UTF-16.
void replaceLoneSurrogates(QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
}

} // namespace

RtfReader::RtfReader(QTextDocument& document)
    : m_document(document) {}

bool RtfReader::read(QStringView rtf) {
    qsizetype start = 0;
    while (start < rtf.size() && rtf.at(start).isSpace())
        ++start;
    if (!rtf.mid(start).startsWith(QLatin1String("{\\rtf")))
        return false;

    const bool undo = m_document.isUndoRedoEnabled();
    m_document.setUndoRedoEnabled(false);
    m_document.clear();
    m_cursor = QTextCursor(&m_document);
    m_cursor.beginEditBlock();

    RtfTokenizer tokens(rtf, start);
    for (RtfToken token = tokens.next(); token.kind != RtfToken::Kind::End; token = tokens.next()) {
        if (m_overflowDepth > 0) {
            if (token.kind == RtfToken::Kind::GroupStart)
                ++m_overflowDepth;
            else if (token.kind == RtfToken::Kind::GroupEnd)
                --m_overflowDepth;
            continue;
        }
        switch (token.kind) {
        case RtfToken::Kind::GroupStart:
            startGroup();
            break;
        case RtfToken::Kind::GroupEnd:
            endGroup();
            break;
        case RtfToken::Kind::ControlWord:
            if (m_skipFallback > 0)
                --m_skipFallback;
            else
                controlWord(token);
            break;
        case RtfToken::Kind::ControlSymbol:
            if (m_skipFallback > 0)
                --m_skipFallback;
            else
                controlSymbol(token.symbol);
            break;
        case RtfToken::Kind::HexByte:
            if (m_skipFallback > 0)
                --m_skipFallback;
            else
                byte(token.parameter);
            break;
        case RtfToken::Kind::Text:
            textRun(token.word);
            break;
        case RtfToken::Kind::End:
            break;
        }
        m_groupOpened = token.kind == RtfToken::Kind::GroupStart;
        // The document ends where its outermost group closes.
        if (m_stack.empty() && m_overflowDepth == 0)
            break;
    }
    finish();
    m_cursor.endEditBlock();
    m_document.setUndoRedoEnabled(undo);
    return true;
}

void RtfReader::startGroup() {
    m_skipFallback = 0;
    if (m_stack.empty()) {
        m_stack.emplace_back();
        return;
    }
    if (int(m_stack.size()) >= MaxGroupDepth) {
        ++m_overflowDepth;
        return;
    }
    m_stack.push_back(m_stack.back());
}

void RtfReader::endGroup() {
    m_skipFallback = 0;
    if (m_stack.empty())
        return;
    if (state().destination == Destination::FontTable)
        commitFont();
    else if (state().destination == Destination::ColorTable && m_colorGiven)
        commitColor(); // the last entry may lack its ';'
    m_stack.pop_back();
}

void RtfReader::controlWord(const RtfToken& token) {
    const auto found = keywords().constFind(token.word.toString());
    if (found == keywords().constEnd())
        return;
    const int p = token.parameter;
    const bool on = !token.hasParameter || p != 0;
    GroupState& group = state();
    CharState& chars = group.chars;
    switch (found->keyword) {
    case Keyword::Unknown:
        break;
    case Keyword::FontTable:
        group.destination = Destination::FontTable;
        m_fontName.clear();
        break;
    case Keyword::ColorTable:
        group.destination = Destination::ColorTable;
        m_colorGiven = false;
        m_red = m_green = m_blue = 0;
        break;
    case Keyword::SkippedDestination:
        group.destination = Destination::Skip;
        break;
    case Keyword::Object:
        // Only an object in the text shows its result; one in a table or a
        // skipped group stays hidden.
        group.destination =
            group.destination == Destination::Text ? Destination::Object : Destination::Skip;
        break;
    case Keyword::Result:
        if (group.destination == Destination::Object)
            group.destination = Destination::Text;
        break;
    case Keyword::Ansi:
        m_windows1252 = true;
        break;
    case Keyword::AnsiCodePage:
        m_windows1252 = !token.hasParameter || p == 1252;
        break;
    case Keyword::OtherCharacterSet:
        m_windows1252 = false;
        break;
    case Keyword::DefaultFont:
        m_defaultFont = p;
        break;
    case Keyword::FontNumber:
        if (group.destination == Destination::FontTable) {
            commitFont();
            m_fontNumber = p;
        } else {
            chars.font = p;
        }
        break;
    case Keyword::Red:
    case Keyword::Green:
    case Keyword::Blue:
        if (group.destination == Destination::ColorTable) {
            const int value = qBound(0, p, 255);
            (found->keyword == Keyword::Red     ? m_red
             : found->keyword == Keyword::Green ? m_green
                                                : m_blue) = value;
            m_colorGiven = true;
        }
        break;
    case Keyword::Unicode: {
        // \uN is a signed 16-bit number; values above 32767 come negative.
        const int value = p < 0 ? p + 65536 : p;
        if (token.hasParameter && value >= 0 && value <= 0xFFFF)
            character(char16_t(value));
        m_skipFallback = group.unicodeSkip;
        break;
    }
    case Keyword::UnicodeSkip:
        group.unicodeSkip = qBound(0, p, 16);
        break;
    case Keyword::Plain:
        chars = CharState();
        break;
    case Keyword::Bold:
        chars.bold = on;
        break;
    case Keyword::Italic:
        chars.italic = on;
        break;
    case Keyword::Underline:
        chars.underline = on;
        break;
    case Keyword::UnderlineNone:
        chars.underline = false;
        break;
    case Keyword::Strike:
        chars.strike = on;
        break;
    case Keyword::Hidden:
        chars.hidden = on;
        break;
    case Keyword::FontSize:
        // Word's largest size is 1638 points; anything beyond is damage.
        chars.halfPoints = p > 0 ? std::min(p, 3276) : 24;
        break;
    case Keyword::Foreground:
        chars.foreground = p;
        break;
    case Keyword::Background:
        chars.background = p;
        break;
    case Keyword::Superscript:
        chars.vertical = on ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignNormal;
        break;
    case Keyword::Subscript:
        chars.vertical = on ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal;
        break;
    case Keyword::NoSuperSub:
        chars.vertical = QTextCharFormat::AlignNormal;
        break;
    case Keyword::ParagraphDefaults:
        group.alignment = Qt::AlignLeft;
        break;
    case Keyword::AlignLeft:
        group.alignment = Qt::AlignLeft;
        break;
    case Keyword::AlignCenter:
        group.alignment = Qt::AlignHCenter;
        break;
    case Keyword::AlignRight:
        group.alignment = Qt::AlignRight;
        break;
    case Keyword::AlignJustify:
        group.alignment = Qt::AlignJustify;
        break;
    case Keyword::Paragraph:
    case Keyword::Row:
        paragraphBreak();
        break;
    case Keyword::Cell:
        cellBreak();
        break;
    case Keyword::Line:
        character(0x2028);
        break;
    case Keyword::Tab:
        character(u'\t');
        break;
    case Keyword::Character:
        character(found->character);
        break;
    }
}

void RtfReader::controlSymbol(QChar symbol) {
    switch (symbol.unicode()) {
    case u'\\':
    case u'{':
    case u'}':
        character(symbol.unicode());
        break;
    case u'~':
        character(0x00A0);
        break;
    case u'_':
        character(0x2011);
        break;
    case u'-':
        character(0x00AD);
        break;
    case u'\n':
        paragraphBreak();
        break;
    case u'*':
        // Marks a destination that a reader may skip when it does not know
        // it; none of those is shown here. Elsewhere it means nothing.
        if (m_groupOpened)
            state().destination = Destination::Skip;
        break;
    default:
        break;
    }
}

void RtfReader::textRun(QStringView text) {
    qsizetype i = 0;
    if (m_skipFallback > 0) {
        const qsizetype skipped = std::min(qsizetype(m_skipFallback), text.size());
        m_skipFallback -= int(skipped);
        i = skipped;
    }
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        // Bytes of the code page that arrived unescaped.
        if (c >= 0x80 && c <= 0xFF)
            byte(c);
        else
            character(c);
    }
}

void RtfReader::byte(int value) {
    if (value >= 0x80 && value <= 0x9F && m_windows1252) {
        if (const char16_t c = Windows1252High[value - 0x80])
            character(c);
        return;
    }
    character(char16_t(value));
}

void RtfReader::character(char16_t c) {
    GroupState& group = state();
    switch (group.destination) {
    case Destination::FontTable:
        if (c == u';')
            commitFont();
        else if (m_fontName.size() < 256)
            m_fontName += QChar(c);
        return;
    case Destination::ColorTable:
        if (c == u';')
            commitColor();
        return;
    case Destination::Skip:
    case Destination::Object:
        return;
    case Destination::Text:
        break;
    }
    if (group.chars.hidden || !isShowable(c))
        return;
    beginContent();
    if (m_run.isEmpty() || !(m_runChars == group.chars)) {
        flushRun();
        m_runChars = group.chars;
    }
    m_run += QChar(c);
    m_contentAlignment = group.alignment;
}

void RtfReader::beginContent() {
    if (m_paragraphPending) {
        flushRun();
        m_cursor.insertBlock(QTextBlockFormat(), charFormat(state().chars));
        m_paragraphPending = false;
    }
    if (m_cellPending) {
        m_cellPending = false;
        character(u'\t');
    }
}

void RtfReader::paragraphBreak() {
    if (state().destination != Destination::Text)
        return;
    m_cellPending = false;
    beginContent();
    flushRun();
    QTextBlockFormat format = m_cursor.blockFormat();
    format.setAlignment(state().alignment);
    m_cursor.setBlockFormat(format);
    m_paragraphPending = true;
}

void RtfReader::cellBreak() {
    if (state().destination != Destination::Text)
        return;
    if (m_cellPending) // the cell before was empty
        beginContent();
    m_cellPending = true;
}

void RtfReader::flushRun() {
    if (m_run.isEmpty())
        return;
    replaceLoneSurrogates(m_run);
    m_cursor.insertText(m_run, charFormat(m_runChars));
    m_run.clear();
}

void RtfReader::finish() {
    // The mark of the last paragraph ends the document; it opens no empty
    // paragraph after it.
    flushRun();
    if (!m_paragraphPending && !m_cursor.block().text().isEmpty()) {
        QTextBlockFormat format = m_cursor.blockFormat();
        format.setAlignment(m_contentAlignment);
        m_cursor.setBlockFormat(format);
    }
}

void RtfReader::commitFont() {
    const QString name = m_fontName.trimmed();
    if (!name.isEmpty())
        m_fonts.insert(m_fontNumber, name);
    m_fontName.clear();
}

void RtfReader::commitColor() {
    m_colors.append(m_colorGiven ? QColor(m_red, m_green, m_blue) : QColor());
    m_colorGiven = false;
    m_red = m_green = m_blue = 0;
}

QColor RtfReader::color(int index) const {
    return index >= 0 && index < m_colors.size() ? m_colors.at(index) : QColor();
}

QTextCharFormat RtfReader::charFormat(const CharState& chars) const {
    QTextCharFormat format;
    const auto font = m_fonts.constFind(chars.font >= 0 ? chars.font : m_defaultFont);
    const auto family = font != m_fonts.constEnd() ? font : m_fonts.constFind(m_defaultFont);
    if (family != m_fonts.constEnd())
        format.setFontFamilies({*family});
    format.setFontPointSize(chars.halfPoints / 2.0);
    format.setFontWeight(chars.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(chars.italic);
    format.setFontUnderline(chars.underline);
    format.setFontStrikeOut(chars.strike);
    if (const QColor foreground = color(chars.foreground); foreground.isValid())
        format.setForeground(foreground);
    if (const QColor background = color(chars.background); background.isValid())
        format.setBackground(background);
    if (chars.vertical != QTextCharFormat::AlignNormal)
        format.setVerticalAlignment(chars.vertical);
    return format;
}
