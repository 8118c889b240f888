#pragma once

#include "app/EditToolbar.h"
#include "formats/Rtf.h"

#include <QFont>
#include <functional>
#include <optional>

class QTextDocument;
class RichTextBox;

// The toolbar of the document editors (Toolbar1): the editing keys Copy, Cut,
// Delete, Undo and Paste, then Font, Left, Right, Center, Bold, Italic,
// Underline, Spelling, Signature, Word and Outlook. Every button is an action
// whose objectName is its key and whose tooltip is its hover text. The
// editing keys send their keystrokes themselves; every other button is
// reported by buttonClick(key) to the window, which formats its document
// through Format() and ChooseFont().
class DocumentToolbar : public EditToolbar {
    Q_OBJECT
public:
    // `keys`: the buttons after the editing keys, in order (an editor without
    // Word and Outlook leaves them out).
    DocumentToolbar(const QStringList& keys, QWidget* parent);

    static const QStringList& AllKeys(); // Font ... Outlook
    QAction* button(const QString& key) const;
    // Hides the named buttons and shows all the others.
    void setHiddenButtons(const QStringList& keys);

    // The formatting buttons on the selection of a document: "Left", "Right",
    // "Center" set the paragraph alignment; "Bold", "Italic", "Underline"
    // switch the attribute on where it is off throughout the selection and
    // off where it is on or mixed. False for any other key.
    static bool Format(RichTextBox* editor, const QString& key);

    // The font dialog for the whole document: the chosen family, size, bold
    // and italic go to every character and to what is typed next. Cancelling
    // is reported as the error it is, in a plain message box, and changes
    // nothing. False when nothing was applied.
    static bool ChooseFont(RichTextBox* editor, QWidget* parent);
    static void ApplyFont(RichTextBox* editor, const QFont& font);
    // A document's text as RTF in another font family and size, with its
    // bold, italic, underline, colours and alignment kept: a letter in its
    // letterhead's body font.
    static QString RtfInFont(const QTextDocument& document, const Rtf::Font& font);
    static constexpr const char* CancelError = "Cancel was selected.";

    // Test hook: answers the font dialog instead of the user (nullopt is a
    // cancel); an empty function brings the dialog back.
    using FontChooser = std::function<std::optional<QFont>(const QFont& current, QWidget* parent)>;
    static void setFontChooser(FontChooser chooser);

signals:
    void buttonClick(const QString& key);
};
