#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <utility>
#include <vector>

// Inserts RTF documents into a template's RTF without re-encoding the
// template: the template's text is copied as it is, the fragments' fonts and
// colours are appended to its tables and the fragments' bodies, renumbered
// to those entries, are placed at the insertion point (see Rtf::spliceBody).
class RtfSplicer {
public:
    explicit RtfSplicer(const QString& templateRtf);
    void add(const QString& fragmentRtf);
    QString result() const;

    // The font of the template's text where the fragments go: the family
    // and the size in half points that the words before it leave in effect
    // (RTF's 12 points when none sets a size); nothing when no font table
    // entry names the font there.
    std::optional<std::pair<QString, int>> insertionFont() const;

private:
    struct Group {
        qsizetype begin = 0;
        qsizetype close = -1; // the closing brace; -1 when the group never closes
        int depth = 0;        // the outermost group's children are at depth 2
        QStringView destination;
    };
    // The layout of a document: its groups and where its parts are.
    struct Outline {
        qsizetype prologEnd = 0;  // after "{\rtf1\ansi..." and the words that follow it
        qsizetype rootClose = -1; // the final closing brace
        int defaultFont = -1;
        std::vector<Group> groups;
        const Group* find(QLatin1String destination) const; // a child of the outermost group
    };
    struct ColorTable {
        QStringList entries;
        bool unterminated = false; // the last entry lacks its ';'
    };
    struct FontEntry {
        int number = 0;
        QString text; // the entry without braces and without its \fN
    };

    static Outline outline(QStringView rtf);
    static ColorTable colorTable(QStringView rtf, const Group& group);
    static std::vector<FontEntry> fontTable(QStringView rtf, const Group& group);
    static QString groupText(QStringView rtf, const Group& group);
    static QString balanced(QStringView rtf);
    QString body(QStringView rtf, const Outline& outline, const QHash<int, int>& fonts,
                 int fragmentDefaultFont, int colorOffset, int colorCount) const;

    QString m_template;
    Outline m_outline;
    qsizetype m_insertion = 0;
    int m_nextFont = 0;
    int m_colorCount = 0; // entries of the template's table and those appended
    bool m_colorUnterminated = false;
    QString m_newFonts;
    QString m_newColors;
    QString m_bodies;
};
