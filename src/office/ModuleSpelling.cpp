#include "ModuleSpelling.h"

#include "formats/Rtf.h"
#include "formats/SpellChecker.h"
#include "formats/SpellingPass.h"
#include "office/SpellingDialog.h"
#include "office/WordApp.h"
#include "platform/ProgramFolder.h"
#include "services/Clipboard.h"
#include "services/MsgBox.h"
#include "services/Pointer.h"
#include "widgets/RichTextBox.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QTextDocument>

namespace ModuleSpelling {

namespace {

// The hourglass until release() or the end of the scope, whichever is first.
class BusyPointer {
public:
    BusyPointer() { Pointer::busy(); }
    ~BusyPointer() { release(); }
    void release() {
        if (std::exchange(m_on, false))
            Pointer::normal();
    }

private:
    bool m_on = true;
};

// The step list of the check; any step that fails ends it with its reason.
bool check(RichTextBox* editor, QProgressBar* progress, QString* error) {
    auto step = [progress](int value) {
        if (progress)
            progress->setValue(value);
    };
    BusyPointer busy;
    if (progress)
        progress->setVisible(true);
    step(10);
    const QString working =
        QDir(ProgramFolder::tempFolder()).filePath(QStringLiteral("SpellCheck.rtf"));
    QDir().mkpath(ProgramFolder::tempFolder());
    if (QFile::exists(working) && !QFile::remove(working)) {
        *error = QStringLiteral("The working file %1 cannot be deleted.")
                     .arg(QDir::toNativeSeparators(working));
        return false;
    }
    if (!editor->saveFile(working, error))
        return false;
    step(20);
    SpellChecker checker;
    if (!checker.isAvailable()) {
        *error = checker.error();
        return false;
    }
    WordApp word;
    step(30);
    WordDocument* document = word.DocumentsAdd(working, error);
    if (!document)
        return false;
    step(40);
    busy.release();

    QTextDocument text;
    Rtf::toDocument(document->rtf(), text);
    SpellingPass pass(checker, SpellingDialog::decider(editor->window()));
    pass.run(text); // a cancel keeps the corrections made so far
    step(50);

    // The whole corrected document travels back as rich text.
    const QString corrected = Rtf::fromDocument(text);
    step(60);
    Clipboard::setRtf(corrected, text.toPlainText());
    step(70);
    editor->setTextRTF(Clipboard::rtf());
    step(80);
    WordDocument result(corrected);
    if (!result.SaveAs(working, error))
        return false;
    step(90);
    word.Quit();
    step(100);
    return true;
}

} // namespace

void SpellCheck(RichTextBox* editor, QProgressBar* progress) {
    QString error;
    const bool done = check(editor, progress, &error);
    if (progress)
        progress->setVisible(false);
    if (!done) {
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    Clipboard::clear();
    MsgBox::show(QStringLiteral("Spelling and Grammar Check is Complete."),
                 MsgBox::OKOnly | MsgBox::Information);
}

} // namespace ModuleSpelling
