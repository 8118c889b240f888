#include "RichTextBox.h"

#include "formats/Rtf.h"
#include "services/Clipboard.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <algorithm>
#include <memory>

namespace {

const QStringList& rtfMimeTypes() {
    static const QStringList types = {QString::fromLatin1(Clipboard::RtfMime),
                                      QStringLiteral("application/rtf")};
    return types;
}

QString rtfOf(const QMimeData* source) {
    for (const QString& type : rtfMimeTypes())
        if (source->hasFormat(type))
            return QString::fromLatin1(source->data(type));
    return {};
}

// RTF written by the codec is ASCII; RTF given by others is kept as it came
// only where Latin-1 holds it.
bool fitsLatin1(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

} // namespace

RichTextBox::RichTextBox(QWidget* parent)
    : QTextEdit(parent) {
    setAcceptRichText(true);
    connect(document(), &QTextDocument::contentsChanged, this, &RichTextBox::contentChanged);
}

void RichTextBox::contentChanged() {
    if (m_loading)
        return;
    m_loaded.reset();
    emit textRTFChanged();
}

QString RichTextBox::text() const {
    return toPlainText();
}

void RichTextBox::setText(const QString& text) {
    // Lines may end in CR LF: one paragraph each, no stray carriage returns.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(u'\r', u'\n');
    setPlainText(lines); // an edit: contentChanged() follows
}

QString RichTextBox::textRTF() const {
    if (m_loaded)
        return *m_loaded;
    return Rtf::fromDocument(*document());
}

void RichTextBox::setTextRTF(const QString& rtf) {
    if (m_loaded && *m_loaded == rtf)
        return;
    m_loading = true;
    if (!Rtf::toDocument(rtf, *document()))
        setPlainText(rtf);
    document()->clearUndoRedoStacks();
    document()->setModified(false);
    moveCursor(QTextCursor::Start);
    m_loading = false;
    m_loaded = rtf;
    emit textRTFChanged();
}

int RichTextBox::selStart() const {
    return textCursor().selectionStart();
}

int RichTextBox::selLength() const {
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void RichTextBox::setSelStart(int start) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(qBound(0, start, document()->characterCount() - 1));
    setTextCursor(cursor);
}

void RichTextBox::setSelLength(int length) {
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    cursor.setPosition(start);
    cursor.setPosition(qBound(0, start + length, document()->characterCount() - 1),
                       QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString RichTextBox::selText() const {
    return textCursor().selection().toPlainText();
}

void RichTextBox::setSelText(const QString& text) {
    textCursor().insertText(text);
}

QString RichTextBox::selRTF() const {
    QTextDocument selection;
    selection.setDefaultFont(document()->defaultFont());
    QTextCursor(&selection).insertFragment(textCursor().selection());
    return Rtf::fromDocument(selection);
}

void RichTextBox::setSelRTF(const QString& rtf) {
    QTextDocument pasted;
    pasted.setDefaultFont(document()->defaultFont());
    if (!Rtf::toDocument(rtf, pasted)) {
        setSelText(rtf);
        return;
    }
    QTextCursor cursor = textCursor();
    cursor.insertFragment(QTextDocumentFragment(&pasted));
    setTextCursor(cursor);
}

std::optional<bool> RichTextBox::selectionHas(bool (*test)(const QFont&)) const {
    const QTextCursor cursor = textCursor();
    const QFont defaultFont = document()->defaultFont();
    if (!cursor.hasSelection())
        return test(cursor.charFormat().font().resolve(defaultFont));
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    std::optional<bool> result;
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() >= end || fragment.position() + fragment.length() <= start)
                continue;
            const bool has = test(fragment.charFormat().font().resolve(defaultFont));
            if (result && *result != has)
                return std::nullopt;
            result = has;
        }
    }
    if (!result) // only paragraph ends selected
        return test(cursor.charFormat().font().resolve(defaultFont));
    return result;
}

std::optional<bool> RichTextBox::selBold() const {
    return selectionHas([](const QFont& font) { return font.bold(); });
}

void RichTextBox::setSelBold(bool bold) {
    QTextCharFormat format;
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    mergeCurrentCharFormat(format);
}

std::optional<bool> RichTextBox::selItalic() const {
    return selectionHas([](const QFont& font) { return font.italic(); });
}

void RichTextBox::setSelItalic(bool italic) {
    QTextCharFormat format;
    format.setFontItalic(italic);
    mergeCurrentCharFormat(format);
}

std::optional<bool> RichTextBox::selUnderline() const {
    return selectionHas([](const QFont& font) { return font.underline(); });
}

void RichTextBox::setSelUnderline(bool underline) {
    QTextCharFormat format;
    format.setFontUnderline(underline);
    mergeCurrentCharFormat(format);
}

Qt::Alignment RichTextBox::selAlignment() const {
    const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
    return horizontal ? horizontal : Qt::AlignLeft;
}

void RichTextBox::setSelAlignment(Qt::Alignment alignment) {
    setAlignment(alignment);
}

void RichTextBox::setDocumentFont(const QFont& font) {
    QTextCharFormat format;
    format.setFontFamilies(font.families().isEmpty() ? QStringList{font.family()}
                                                     : font.families());
    if (font.pointSizeF() > 0)
        format.setFontPointSize(font.pointSizeF());
    QTextCursor all(document());
    all.beginEditBlock();
    all.select(QTextCursor::Document);
    all.mergeCharFormat(format);
    // Empty paragraphs keep the format of their mark; they take it too.
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        QTextCursor(block).mergeBlockCharFormat(format);
    all.endEditBlock();
    mergeCurrentCharFormat(format); // what is typed next
}

int RichTextBox::find(const QString& text, int start, bool matchCase) {
    if (text.isEmpty())
        return -1;
    const QTextCursor found = document()->find(text, qMax(0, start),
                                               matchCase ? QTextDocument::FindCaseSensitively
                                                         : QTextDocument::FindFlags());
    if (found.isNull())
        return -1;
    setTextCursor(found);
    ensureCursorVisible();
    return found.selectionStart();
}

bool RichTextBox::saveFile(const QString& path, QString* error) const {
    QString rtf = textRTF();
    if (!Rtf::isRtf(rtf) || !fitsLatin1(rtf))
        rtf = Rtf::fromDocument(*document());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf.toLatin1()) < 0 || !file.commit()) {
        if (error)
            *error = QStringLiteral("The file %1 cannot be written: %2")
                         .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}

bool RichTextBox::loadFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("The file %1 cannot be read: %2")
                         .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    // RTF is 7-bit text; bytes above that are the document's code page,
    // which the reader decodes from Latin-1.
    setTextRTF(QString::fromLatin1(file.readAll()));
    return true;
}

QMimeData* RichTextBox::createMimeDataFromSelection() const {
    // QTextEdit's own mime data lists a fixed set of formats and would hide
    // the RTF; its formats are copied into plain mime data instead.
    const std::unique_ptr<QMimeData> own(QTextEdit::createMimeDataFromSelection());
    auto* data = new QMimeData;
    for (const QString& format : own->formats())
        data->setData(format, own->data(format));
    const QByteArray rtf = selRTF().toLatin1();
    for (const QString& type : rtfMimeTypes())
        data->setData(type, rtf);
    return data;
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const {
    return !rtfOf(source).isEmpty() || QTextEdit::canInsertFromMimeData(source);
}

void RichTextBox::insertFromMimeData(const QMimeData* source) {
    const QString rtf = rtfOf(source);
    if (Rtf::isRtf(rtf)) {
        setSelRTF(rtf);
        ensureCursorVisible();
        return;
    }
    QTextEdit::insertFromMimeData(source);
}
