#include "DocumentToolbar.h"

#include "services/MsgBox.h"
#include "widgets/RichTextBox.h"

#include <QAction>
#include <QFontDialog>
#include <QIcon>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

struct Button {
    const char* key;
    const char* tooltip;
    const char* icon;
};

const Button Buttons[] = {
    {"Font", "Font", "format-font"},
    {"Left", "Align Left", "format-justify-left"},
    {"Right", "Align Right", "format-justify-right"},
    {"Center", "Align Center", "format-justify-center"},
    {"Bold", "Bold", "format-text-bold"},
    {"Italic", "Italic", "format-text-italic"},
    {"Underline", "Underline", "format-text-underline"},
    {"Spelling", "Spell Check (F7)", "spelling"},
    {"Signature", "Signature (F11)", "signature"},
    {"Word", "Send to MS-Word", "word"},
    {"Outlook", "Send to MS-Outlook", "mail-new"},
};

DocumentToolbar::FontChooser& fontChooser() {
    static DocumentToolbar::FontChooser chooser;
    return chooser;
}

std::optional<QFont> askForFont(const QFont& current, QWidget* parent) {
    if (fontChooser())
        return fontChooser()(current, parent);
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, current, parent);
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

// On where it is off throughout the selection; off where it is on or mixed.
template <class Get, class Set> void toggle(RichTextBox* editor, Get get, Set set) {
    const std::optional<bool> now = (editor->*get)();
    (editor->*set)(now.has_value() && !*now);
}

} // namespace

DocumentToolbar::DocumentToolbar(const QStringList& keys, QWidget* parent)
    : EditToolbar(parent) {
    for (const Button& b : Buttons) {
        const QString key = QString::fromLatin1(b.key);
        if (!keys.contains(key))
            continue;
        QAction* action =
            addAction(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(b.icon))), key);
        action->setObjectName(key);
        action->setToolTip(QString::fromLatin1(b.tooltip));
        connect(action, &QAction::triggered, this, [this, key] { emit buttonClick(key); });
    }
}

const QStringList& DocumentToolbar::AllKeys() {
    static const QStringList keys = [] {
        QStringList all;
        for (const Button& b : Buttons)
            all.append(QString::fromLatin1(b.key));
        return all;
    }();
    return keys;
}

QAction* DocumentToolbar::button(const QString& key) const {
    return findChild<QAction*>(key, Qt::FindDirectChildrenOnly);
}

void DocumentToolbar::setHiddenButtons(const QStringList& keys) {
    for (QAction* action : actions())
        action->setVisible(!keys.contains(action->objectName()));
}

bool DocumentToolbar::Format(RichTextBox* editor, const QString& key) {
    if (key == QLatin1String("Left"))
        editor->setSelAlignment(Qt::AlignLeft);
    else if (key == QLatin1String("Right"))
        editor->setSelAlignment(Qt::AlignRight);
    else if (key == QLatin1String("Center"))
        editor->setSelAlignment(Qt::AlignHCenter);
    else if (key == QLatin1String("Bold"))
        toggle(editor, &RichTextBox::selBold, &RichTextBox::setSelBold);
    else if (key == QLatin1String("Italic"))
        toggle(editor, &RichTextBox::selItalic, &RichTextBox::setSelItalic);
    else if (key == QLatin1String("Underline"))
        toggle(editor, &RichTextBox::selUnderline, &RichTextBox::setSelUnderline);
    else
        return false;
    return true;
}

bool DocumentToolbar::ChooseFont(RichTextBox* editor, QWidget* parent) {
    const QFont current = editor->currentFont().resolve(editor->document()->defaultFont());
    const std::optional<QFont> chosen = askForFont(current, parent);
    if (!chosen) {
        MsgBox::show(QString::fromLatin1(CancelError), MsgBox::OKOnly);
        return false;
    }
    ApplyFont(editor, *chosen);
    return true;
}

void DocumentToolbar::ApplyFont(RichTextBox* editor, const QFont& font) {
    QTextCharFormat format;
    format.setFontFamilies(font.families().isEmpty() ? QStringList{font.family()}
                                                     : font.families());
    if (font.pointSizeF() > 0)
        format.setFontPointSize(font.pointSizeF());
    format.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
    format.setFontItalic(font.italic());
    QTextDocument* document = editor->document();
    QTextCursor all(document);
    all.beginEditBlock();
    all.select(QTextCursor::Document);
    all.mergeCharFormat(format);
    // Empty paragraphs keep the format of their mark; they take it too.
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        QTextCursor(block).mergeBlockCharFormat(format);
    all.endEditBlock();
    editor->mergeCurrentCharFormat(format); // what is typed next
}

void DocumentToolbar::setFontChooser(FontChooser chooser) {
    fontChooser() = std::move(chooser);
}

QString DocumentToolbar::RtfInFont(const QTextDocument& document, const Rtf::Font& font) {
    std::unique_ptr<QTextDocument> copy(document.clone());
    QTextCursor all(copy.get());
    all.select(QTextCursor::Document);
    QTextCharFormat format;
    format.setFontFamilies(QStringList{font.family});
    format.setFontPointSize(font.pointSize);
    all.mergeCharFormat(format);
    return Rtf::fromDocument(*copy);
}
