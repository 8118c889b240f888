#include "Letterhead.h"

#include "data/UserProfile.h"
#include "formats/RtfTokenizer.h"
#include "formats/RtfWriter.h"

#include <QRegularExpression>
#include <vector>

namespace Letterhead {

Details fromProfile(const UserProfile& profile) {
    return {profile.company, profile.streetAddress,    profile.postalCode,
            profile.city,    profile.telephone,        profile.telefax,
            profile.email,   profile.registeredOffice, profile.bankDetails};
}

namespace {

// The placeholders and the details they stand for.
std::vector<std::pair<QString, QString>> placeholders(const Details& d) {
    return {{QStringLiteral("[Your Company Name]"), d.companyName},
            {QStringLiteral("[Street Address]"), d.streetAddress},
            {QStringLiteral("[Postal Code]"), d.postalCode},
            {QStringLiteral("[City]"), d.city},
            {QStringLiteral("[Telephone]"), d.telephone},
            {QStringLiteral("[Telefax]"), d.telefax},
            {QStringLiteral("[E-mail Address]"), d.email},
            {QStringLiteral("[Registered Office]"), d.registeredOffice},
            {QStringLiteral("[Bank Details]"), d.bankDetails}};
}

// The words, symbols and braces of a piece of RTF without its text.
QString controlsOnly(const QString& rtf) {
    QString kept;
    RtfTokenizer tokens(rtf);
    for (RtfToken token = tokens.next(); token.kind != RtfToken::Kind::End; token = tokens.next())
        if (token.kind != RtfToken::Kind::Text && token.kind != RtfToken::Kind::HexByte)
            kept += QStringView(rtf).mid(token.begin, token.end - token.begin);
    return kept;
}

// A part of a line with its placeholders filled in; an empty detail takes
// one blank beside it along.
QString filled(QString piece, const std::vector<std::pair<QString, QString>>& details) {
    for (const auto& [placeholder, value] : details) {
        for (qsizetype at = piece.indexOf(placeholder); at >= 0;
             at = piece.indexOf(placeholder, at)) {
            if (!value.trimmed().isEmpty()) {
                QString escaped;
                RtfWriter::appendText(escaped, value.trimmed());
                piece.replace(at, placeholder.size(), escaped);
                at += escaped.size();
            } else if (at + placeholder.size() < piece.size() &&
                       piece.at(at + placeholder.size()) == u' ') {
                piece.remove(at, placeholder.size() + 1);
            } else if (at > 0 && piece.at(at - 1) == u' ') {
                piece.remove(at - 1, placeholder.size() + 1);
                --at;
            } else {
                piece.remove(at, placeholder.size());
            }
        }
    }
    return piece;
}

// One line of the template (the RTF between two paragraph marks).
QString fillLine(const QString& line, const std::vector<std::pair<QString, QString>>& details) {
    static const QRegularExpression separator(QStringLiteral(R"(\s*(?:\\'[bB]7|\\u183 ?\??)\s*)"));
    const auto placeholdersIn = [&](const QString& piece) {
        std::vector<bool> empty;
        for (const auto& [placeholder, value] : details)
            if (piece.contains(placeholder))
                empty.push_back(value.trimmed().isEmpty());
        return empty;
    };
    if (placeholdersIn(line).empty())
        return line;
    // Only the paragraph's own text is this line's: what comes before its
    // \pard, or before the group that holds it (the document's tables and
    // information, the start of a header), is copied as it stands.
    static const QRegularExpression paragraphStart(QStringLiteral(R"(\\pard(?![A-Za-z]))"));
    const qsizetype firstPlaceholder = [&] {
        qsizetype first = line.size();
        for (const auto& [placeholder, value] : details)
            if (const qsizetype at = line.indexOf(placeholder); at >= 0)
                first = std::min(first, at);
        return first;
    }();
    qsizetype start = line.lastIndexOf(u'}', firstPlaceholder) + 1;
    for (auto it = paragraphStart.globalMatch(line); it.hasNext();) {
        const auto match = it.next();
        if (match.capturedStart() < firstPlaceholder)
            start = std::max(start, match.capturedStart());
    }
    const QString head = line.left(start);
    const QString text = line.mid(start);

    QStringList pieces, separators;
    qsizetype from = 0;
    for (auto it = separator.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        pieces.append(text.mid(from, match.capturedStart() - from));
        separators.append(match.captured());
        from = match.capturedEnd();
    }
    pieces.append(text.mid(from));

    QString out = head;
    bool anyKept = false;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const std::vector<bool> empty = placeholdersIn(pieces[i]);
        const bool dropped =
            !empty.empty() && std::all_of(empty.begin(), empty.end(), [](bool e) { return e; });
        if (dropped) {
            out += controlsOnly(pieces[i]);
            continue;
        }
        if (anyKept)
            out += separators[i - 1];
        out += filled(pieces[i], details);
        anyKept = true;
    }
    return out;
}

} // namespace

QString fill(const QString& templateRtf, const Details& details) {
    const auto values = placeholders(details);
    static const QRegularExpression paragraphMark(QStringLiteral(R"(\\par(?![A-Za-z]))"));
    QString out;
    qsizetype from = 0;
    for (auto it = paragraphMark.globalMatch(templateRtf); it.hasNext();) {
        const auto mark = it.next();
        out += fillLine(templateRtf.mid(from, mark.capturedStart() - from), values);
        out += mark.captured();
        from = mark.capturedEnd();
    }
    out += fillLine(templateRtf.mid(from), values);
    return out;
}

} // namespace Letterhead
