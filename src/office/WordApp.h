#pragma once

#include "WordDocument.h"

#include <QString>
#include <memory>

// The word processor, one instance per operation: a new document from a
// template (the letterhead, or the spell-check working file), text typed and
// rich text pasted into it, and "Visible": the document is saved into the
// Temp folder and opened in the user's own word processor.
class WordApp {
public:
    // Documents.Add: false, with a description that names the file, when the
    // template is missing or cannot be read.
    WordDocument* DocumentsAdd(const QString& templatePath, QString* error = nullptr);
    // A new document on the letterhead of the program folder, its
    // placeholders filled with the details of "Your Profile".
    WordDocument* DocumentsAddLetterhead(QString* error = nullptr);
    WordDocument* ActiveDocument() { return m_document.get(); }

    bool SetVisible(QString* error = nullptr);
    bool visible() const { return m_visible; }
    void Quit();

    // The letterhead template of the program folder.
    static QString LetterheadPath();

private:
    std::unique_ptr<WordDocument> m_document;
    bool m_visible = false;
};
