#include "RtfSplicer.h"

#include "Rtf.h"
#include "RtfTokenizer.h"

#include <QSet>

namespace {

// Groups of a fragment's header that must not reach the template's body:
// its tables and document settings would redefine the template's.
const QSet<QString>& headerDestinations() {
    static const QSet<QString> names = {"fonttbl",
                                        "colortbl",
                                        "stylesheet",
                                        "info",
                                        "filetbl",
                                        "listtable",
                                        "listoverridetable",
                                        "revtbl",
                                        "rsidtbl",
                                        "generator",
                                        "latentstyles",
                                        "themedata",
                                        "colorschememapping",
                                        "datastore",
                                        "xmlnstbl",
                                        "mmathPr",
                                        "pgdsctbl",
                                        "defchp",
                                        "defpap",
                                        "userprops",
                                        "wgrffmtfilter",
                                        "fchars",
                                        "lchars",
                                        "docvar",
                                        "template",
                                        "ftnsep",
                                        "ftnsepc",
                                        "ftncn",
                                        "aftnsep",
                                        "aftnsepc",
                                        "aftncn",
                                        "header",
                                        "headerl",
                                        "headerr",
                                        "headerf",
                                        "footer",
                                        "footerl",
                                        "footerr",
                                        "footerf"};
    return names;
}

// Document and section settings of a fragment; in the template's body they
// would change the template's page.
const QSet<QString>& documentWords() {
    static const QSet<QString> names = {
        "rtf",          "ansi",          "mac",      "pc",        "pca",       "ansicpg",
        "deff",         "adeff",         "deflang",  "deflangfe", "adeflang",  "stshfdbch",
        "stshfloch",    "stshfhich",     "stshfbi",  "paperw",    "paperh",    "margl",
        "margr",        "margt",         "margb",    "gutter",    "landscape", "facingp",
        "margmirror",   "deftab",        "viewkind", "viewscale", "viewzk",    "viewbksp",
        "widowctrl",    "ftnbj",         "aenddoc",  "formshade", "horzdoc",   "psz",
        "sectd",        "sbknone",       "sbkcol",   "sbkpage",   "sbkeven",   "sbkodd",
        "pgwsxn",       "pghsxn",        "marglsxn", "margrsxn",  "margtsxn",  "margbsxn",
        "guttersxn",    "headery",       "footery",  "titlepg",   "linex",     "endnhere",
        "sectlinegrid", "sectdefaultcl", "sectrsid", "cols",      "colsx",     "pgnstarts",
        "pgnrestart",   "rsidroot",      "hyphauto", "hyphhotz",  "lndscpsxn"};
    return names;
}

const QSet<QString>& fontWords() {
    static const QSet<QString> names = {"f", "af", "pnf"};
    return names;
}

const QSet<QString>& colorWords() {
    static const QSet<QString> names = {
        "cf",      "cb",      "highlight",  "chcbpat",    "chcfpat", "cbpat",   "cfpat", "brdrcf",
        "clcbpat", "clcfpat", "clcbpatraw", "clcfpatraw", "trcbpat", "trcfpat", "ulc",   "pncf"};
    return names;
}

// References to the fragment's style sheet and list table, which are not
// copied; the template's entries of the same number are something else.
const QSet<QString>& droppedReferences() {
    static const QSet<QString> names = {"s", "cs", "ds", "ts", "ls"};
    return names;
}

QString word(const char* name, int parameter) {
    return QStringLiteral("\\%1%2 ").arg(QLatin1String(name)).arg(parameter);
}

} // namespace

const RtfSplicer::Group* RtfSplicer::Outline::find(QLatin1String destination) const {
    for (const Group& group : groups)
        if (group.depth == 2 && group.destination == destination)
            return &group;
    return nullptr;
}

RtfSplicer::Outline RtfSplicer::outline(QStringView rtf) {
    Outline result;
    RtfTokenizer tokens(rtf);
    std::vector<size_t> open; // indexes into groups
    int depth = 0;
    bool inProlog = false;
    bool sawWord = false;
    for (RtfToken token = tokens.next(); token.kind != RtfToken::Kind::End; token = tokens.next()) {
        switch (token.kind) {
        case RtfToken::Kind::GroupStart: {
            if (depth == 0) {
                depth = 1;
                inProlog = true;
                result.prologEnd = token.end;
                break;
            }
            inProlog = false;
            Group group;
            group.begin = token.begin;
            group.depth = ++depth;
            RtfTokenizer ahead(rtf, token.end);
            RtfToken first = ahead.next();
            if (first.isSymbol(u'*'))
                first = ahead.next();
            if (first.kind == RtfToken::Kind::ControlWord)
                group.destination = first.word;
            open.push_back(result.groups.size());
            result.groups.push_back(group);
            break;
        }
        case RtfToken::Kind::GroupEnd:
            if (depth == 1) {
                result.rootClose = token.begin;
                return result;
            }
            if (depth > 1) {
                result.groups[open.back()].close = token.begin;
                open.pop_back();
                --depth;
            }
            break;
        case RtfToken::Kind::ControlWord:
            if (depth == 1 && inProlog) {
                // The first word is "\rtf" (or what stands for it in damaged text).
                const bool first = !sawWord;
                sawWord = true;
                if (!first && !documentWords().contains(token.word.toString())) {
                    inProlog = false;
                    break;
                }
                if (token.isWord(QLatin1String("deff")))
                    result.defaultFont = token.parameter;
                result.prologEnd = token.end;
            }
            break;
        default:
            if (depth == 1)
                inProlog = false;
            break;
        }
    }
    return result;
}

QString RtfSplicer::groupText(QStringView rtf, const Group& group) {
    QString text;
    RtfTokenizer tokens(rtf, group.begin);
    const qsizetype end = group.close < 0 ? rtf.size() : group.close;
    for (RtfToken token = tokens.next(); token.kind != RtfToken::Kind::End && token.begin < end;
         token = tokens.next())
        if (token.kind == RtfToken::Kind::Text)
            text += token.word;
    return text.trimmed();
}

// A piece of RTF cut from a damaged table may leave groups open or close
// more than it opened, or end inside binary data; what goes into another
// document must be whole.
QString RtfSplicer::balanced(QStringView rtf) {
    QString out;
    int depth = 0;
    qsizetype copied = 0;
    RtfTokenizer tokens(rtf);
    for (RtfToken token = tokens.next(); token.kind != RtfToken::Kind::End; token = tokens.next()) {
        if (token.kind == RtfToken::Kind::GroupStart)
            ++depth;
        else if (token.kind == RtfToken::Kind::GroupEnd && --depth < 0)
            break;
        out += rtf.mid(copied, token.begin - copied); // line ends may delimit a word
        if (!token.isWord(QLatin1String("bin")))
            out += rtf.mid(token.begin, token.end - token.begin);
        else
            out += u' ';
        copied = token.end;
    }
    if (depth > 0)
        out += u' ' + QString(depth, u'}');
    return out;
}

RtfSplicer::ColorTable RtfSplicer::colorTable(QStringView rtf, const Group& group) {
    ColorTable table;
    QString entry;
    bool given = false;
    int depth = 0;
    RtfTokenizer tokens(rtf, group.begin);
    const qsizetype end = group.close < 0 ? rtf.size() : group.close;
    for (RtfToken token = tokens.next(); token.kind != RtfToken::Kind::End && token.begin < end;
         token = tokens.next()) {
        if (token.kind == RtfToken::Kind::GroupStart)
            ++depth;
        else if (token.kind == RtfToken::Kind::GroupEnd)
            --depth;
        if (depth != 1)
            continue;
        // Only the components travel: any other word (\bin in damaged text)
        // could mean something else in the template.
        if (token.isWord(QLatin1String("red")) || token.isWord(QLatin1String("green")) ||
            token.isWord(QLatin1String("blue"))) {
            entry += QStringLiteral("\\%1%2")
                         .arg(token.word)
                         .arg(token.hasParameter ? QString::number(token.parameter) : QString());
            given = true;
        } else if (token.kind == RtfToken::Kind::Text) {
            for (const QChar c : token.word)
                if (c == u';') {
                    table.entries.append(entry);
                    entry.clear();
                    given = false;
                }
        }
    }
    if (given) {
        table.entries.append(entry);
        table.unterminated = true;
    }
    return table;
}

std::vector<RtfSplicer::FontEntry> RtfSplicer::fontTable(QStringView rtf, const Group& group) {
    std::vector<FontEntry> entries;
    RtfTokenizer tokens(rtf, group.begin);
    const qsizetype end = group.close < 0 ? rtf.size() : group.close;
    int depth = 0;
    qsizetype entryBegin = -1; // the entry's text, after its brace if it has one
    int number = -1;
    RtfToken numberToken;
    auto commit = [&](qsizetype entryEnd) {
        if (number >= 0 && entryBegin >= 0)
            entries.push_back(
                {number,
                 balanced(rtf.mid(entryBegin, numberToken.begin - entryBegin).toString() +
                          rtf.mid(numberToken.end, entryEnd - numberToken.end).toString())});
        entryBegin = -1;
        number = -1;
    };
    for (RtfToken token = tokens.next(); token.kind != RtfToken::Kind::End && token.begin < end;
         token = tokens.next()) {
        switch (token.kind) {
        case RtfToken::Kind::GroupStart:
            if (++depth == 2) {
                commit(token.begin);
                entryBegin = token.end;
            }
            break;
        case RtfToken::Kind::GroupEnd:
            if (depth-- == 2)
                commit(token.begin);
            break;
        case RtfToken::Kind::ControlWord:
            if (!token.isWord(QLatin1String("f")))
                break;
            if (depth == 1) { // an entry without braces: "\f0\fswiss Arial;"
                commit(token.begin);
                entryBegin = token.begin;
                number = token.parameter;
                numberToken = token;
            } else if (depth == 2 && number < 0) {
                number = token.parameter;
                numberToken = token;
            }
            break;
        case RtfToken::Kind::Text:
            if (depth == 1 && number >= 0) {
                const qsizetype semicolon = token.word.indexOf(u';');
                if (semicolon >= 0)
                    commit(token.begin + semicolon + 1);
            }
            break;
        default:
            break;
        }
    }
    commit(end);
    return entries;
}

RtfSplicer::RtfSplicer(const QString& templateRtf)
    : m_template(Rtf::isRtf(templateRtf) ? templateRtf : Rtf::fromPlainText(templateRtf))
    , m_outline(outline(m_template)) {
    m_insertion = m_outline.rootClose >= 0 ? m_outline.rootClose : m_template.size();
    for (const Group& group : m_outline.groups)
        if (group.destination == QLatin1String("bkmkstart") && group.close >= 0 &&
            groupText(m_template, group).compare(QLatin1String("Body"), Qt::CaseInsensitive) == 0) {
            m_insertion = group.close + 1;
            break;
        }

    // New fonts take numbers the template does not use.
    m_nextFont = m_outline.defaultFont + 1;
    if (const Group* fonts = m_outline.find(QLatin1String("fonttbl")))
        for (const FontEntry& entry : fontTable(m_template, *fonts))
            m_nextFont = std::max(m_nextFont, entry.number + 1);
    if (const Group* colors = m_outline.find(QLatin1String("colortbl"))) {
        const ColorTable table = colorTable(m_template, *colors);
        m_colorCount = int(table.entries.size());
        m_colorUnterminated = table.unterminated;
    } else {
        m_colorCount = 1; // the new table starts with the automatic colour
    }
}

void RtfSplicer::add(const QString& fragmentRtf) {
    const QString rtf = Rtf::isRtf(fragmentRtf) ? fragmentRtf : Rtf::fromPlainText(fragmentRtf);
    const Outline fragment = outline(rtf);

    QHash<int, int> fonts;
    if (const Group* table = fragment.find(QLatin1String("fonttbl"))) {
        for (const FontEntry& entry : fontTable(rtf, *table)) {
            if (fonts.contains(entry.number))
                continue;
            fonts.insert(entry.number, m_nextFont);
            m_newFonts += QStringLiteral("{\\f%1 ").arg(m_nextFont) + entry.text + u'}';
            ++m_nextFont;
        }
    }
    const int colorOffset = m_colorCount;
    int colorCount = 0;
    if (const Group* table = fragment.find(QLatin1String("colortbl"))) {
        const ColorTable colors = colorTable(rtf, *table);
        for (const QString& entry : colors.entries)
            m_newColors += entry + u';';
        colorCount = int(colors.entries.size());
        m_colorCount += colorCount;
    }
    const int defaultFont = fragment.defaultFont >= 0 ? fragment.defaultFont : 0;
    m_bodies += body(rtf, fragment, fonts, defaultFont, colorOffset, colorCount);
}

QString RtfSplicer::body(QStringView rtf, const Outline& outline, const QHash<int, int>& fonts,
                         int fragmentDefaultFont, int colorOffset, int colorCount) const {
    // Text after \plain takes the default font: the fragment's, not the
    // template's.
    const auto defaultFont = fonts.constFind(fragmentDefaultFont);
    const QString plain = defaultFont != fonts.constEnd()
                              ? QStringLiteral("\\plain\\f%1 ").arg(*defaultFont)
                              : QStringLiteral("\\plain ");

    QHash<qsizetype, const Group*> groupAt;
    for (const Group& group : outline.groups)
        if (group.depth == 2 && headerDestinations().contains(group.destination.toString()))
            groupAt.insert(group.begin, &group);

    QString out = u'{' + plain;
    const qsizetype end = outline.rootClose >= 0 ? outline.rootClose : rtf.size();
    RtfTokenizer tokens(rtf, outline.prologEnd);
    qsizetype copied = outline.prologEnd; // the source is in `out` up to here
    int depth = 1;
    bool undelimited = false; // `out` ends with a control word and no delimiter
    auto gap = [&](const RtfToken& token) {
        out += rtf.mid(copied, token.begin - copied);
        copied = token.end;
    };
    auto drop = [&](const RtfToken& token) {
        // What follows must not run into the word before; the space goes
        // before any line end, which would make it a text space.
        if (undelimited)
            out += u' ';
        gap(token);
        undelimited = false;
    };
    auto replace = [&](const RtfToken& token, const QString& replacement) {
        gap(token);
        out += replacement;
        undelimited = false;
    };
    for (RtfToken token = tokens.next(); token.kind != RtfToken::Kind::End && token.begin < end;
         token = tokens.next()) {
        switch (token.kind) {
        case RtfToken::Kind::GroupStart:
            if (const Group* group = groupAt.value(token.begin); group && depth == 1) {
                const qsizetype skipTo = group->close < 0 ? end : group->close + 1;
                drop(token);
                copied = skipTo;
                tokens.seek(skipTo);
                break;
            }
            ++depth;
            replace(token, QStringLiteral("{"));
            break;
        case RtfToken::Kind::GroupEnd:
            --depth;
            replace(token, QStringLiteral("}"));
            break;
        case RtfToken::Kind::ControlWord: {
            const QString name = token.word.toString();
            if (token.isWord(QLatin1String("plain"))) {
                replace(token, plain);
            } else if (token.isWord(QLatin1String("sect"))) {
                replace(token, QStringLiteral("\\par "));
            } else if ((depth == 1 && documentWords().contains(name)) ||
                       droppedReferences().contains(name)) {
                drop(token);
            } else if (fontWords().contains(name)) {
                const auto font = fonts.constFind(token.parameter);
                if (font != fonts.constEnd())
                    replace(token, word(qPrintable(name), *font));
                else if (defaultFont != fonts.constEnd())
                    replace(token, word(qPrintable(name), *defaultFont));
                else
                    drop(token);
            } else if (token.isWord(QLatin1String("bin"))) {
                // Only the data that is there: a longer count would swallow
                // the template's text after the fragment.
                replace(token,
                        QStringLiteral("\\bin%1 ").arg(token.binaryLength) +
                            rtf.mid(token.end - token.binaryLength, token.binaryLength).toString());
            } else if (colorWords().contains(name)) {
                const int index = token.parameter >= 0 && token.parameter < colorCount
                                      ? colorOffset + token.parameter
                                      : 0;
                replace(token, word(qPrintable(name), index));
            } else {
                gap(token);
                out += rtf.mid(token.begin, token.end - token.begin);
                undelimited = !out.endsWith(u' ');
            }
            break;
        }
        case RtfToken::Kind::Text:
        default:
            gap(token);
            out += rtf.mid(token.begin, token.end - token.begin);
            undelimited = false;
            break;
        }
    }
    // A truncated fragment leaves groups open; close them so the template's
    // text after the insertion point stays outside.
    out += QString(std::max(depth, 1), u'}');
    return out;
}

QString RtfSplicer::result() const {
    QString out;
    qsizetype copied = 0;
    auto copyTo = [&](qsizetype position) {
        out += QStringView(m_template).mid(copied, position - copied);
        copied = position;
    };
    struct Insertion {
        qsizetype position;
        QString text;
    };
    std::vector<Insertion> insertions;
    const Group* fonts = m_outline.find(QLatin1String("fonttbl"));
    const Group* colors = m_outline.find(QLatin1String("colortbl"));
    QString newTables;
    if (fonts && fonts->close >= 0)
        insertions.push_back({fonts->close, m_newFonts});
    else if (!fonts)
        newTables += QLatin1String("{\\fonttbl") + m_newFonts + u'}';
    if (colors && colors->close >= 0)
        insertions.push_back(
            {colors->close,
             (m_colorUnterminated && !m_newColors.isEmpty() ? QStringLiteral(";") : QString()) +
                 m_newColors});
    else if (!colors)
        newTables += QLatin1String("{\\colortbl ;") + m_newColors + u'}';
    if (!newTables.isEmpty())
        insertions.push_back({m_outline.prologEnd, newTables});
    insertions.push_back({m_insertion, m_bodies});
    std::stable_sort(
        insertions.begin(), insertions.end(),
        [](const Insertion& a, const Insertion& b) { return a.position < b.position; });
    for (const Insertion& insertion : insertions) {
        copyTo(insertion.position);
        out += insertion.text;
    }
    copyTo(m_template.size());
    return out;
}

namespace {

// Groups whose text is not part of the document's flow.
const QSet<QString>& destinations() {
    static const QSet<QString> names{
        QStringLiteral("fonttbl"),    QStringLiteral("colortbl"),
        QStringLiteral("stylesheet"), QStringLiteral("info"),
        QStringLiteral("header"),     QStringLiteral("headerl"),
        QStringLiteral("headerr"),    QStringLiteral("headerf"),
        QStringLiteral("footer"),     QStringLiteral("footerl"),
        QStringLiteral("footerr"),    QStringLiteral("footerf"),
        QStringLiteral("pict"),       QStringLiteral("object"),
        QStringLiteral("listtable"),  QStringLiteral("listoverridetable"),
        QStringLiteral("footnote"),   QStringLiteral("annotation")};
    return names;
}

} // namespace

std::optional<std::pair<QString, int>> RtfSplicer::insertionFont() const {
    struct State {
        int font = -1;
        int halfPoints = 24;
    };
    const int defaultFont = std::max(m_outline.defaultFont, 0);
    std::vector<State> states{State{defaultFont, 24}};
    RtfTokenizer tokens(m_template, m_outline.prologEnd);
    for (RtfToken token = tokens.next();
         token.kind != RtfToken::Kind::End && token.begin < m_insertion; token = tokens.next()) {
        switch (token.kind) {
        case RtfToken::Kind::GroupStart: {
            // Tables, headers, bookmarks and other destinations are not part
            // of the text's flow: their words leave the text's font alone.
            RtfTokenizer ahead(m_template, token.end);
            const RtfToken first = ahead.next();
            if (first.isSymbol(u'*') || (first.kind == RtfToken::Kind::ControlWord &&
                                         destinations().contains(first.word.toString()))) {
                int depth = 1;
                for (RtfToken t = tokens.next(); t.kind != RtfToken::Kind::End && depth > 0;
                     t = tokens.next())
                    depth += t.kind == RtfToken::Kind::GroupStart ? 1
                             : t.kind == RtfToken::Kind::GroupEnd ? -1
                                                                  : 0;
                break;
            }
            states.push_back(states.back());
            break;
        }
        case RtfToken::Kind::GroupEnd:
            if (states.size() > 1)
                states.pop_back();
            break;
        case RtfToken::Kind::ControlWord:
            if (token.isWord(QLatin1String("plain")))
                states.back() = State{defaultFont, 24};
            else if (token.isWord(QLatin1String("f")) && token.hasParameter)
                states.back().font = token.parameter;
            else if (token.isWord(QLatin1String("fs")) && token.hasParameter && token.parameter > 0)
                states.back().halfPoints = token.parameter;
            break;
        default:
            break;
        }
    }
    const Group* table = m_outline.find(QLatin1String("fonttbl"));
    if (!table)
        return std::nullopt;
    for (const FontEntry& entry : fontTable(m_template, *table)) {
        if (entry.number != states.back().font)
            continue;
        // "\froman\fcharset0 Times New Roman;": the name is the entry's text.
        QString name;
        RtfTokenizer words(entry.text);
        for (RtfToken word = words.next(); word.kind != RtfToken::Kind::End; word = words.next())
            if (word.kind == RtfToken::Kind::Text)
                name += word.word;
            else if (word.kind == RtfToken::Kind::GroupStart) // {\*\panose ...}: skipped
                break;
        name = name.section(u';', 0, 0).trimmed();
        if (name.isEmpty())
            return std::nullopt;
        return std::pair{name, states.back().halfPoints};
    }
    return std::nullopt;
}
