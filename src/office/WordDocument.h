#pragma once

#include <QString>
#include <QStringList>

// A document of the word processor: the RTF of its template, kept as it is
// (letterhead, headers, pictures), and the text typed and pasted into it at
// the insertion point, one piece after the other.
class WordDocument {
public:
    explicit WordDocument(QString templateRtf);

    void TypeText(const QString& text); // plain text at the insertion point
    void Paste();                       // the clipboard's rich text (or plain text)
    void PasteRtf(const QString& rtf);

    QString rtf() const; // the whole document
    const QString& templateRtf() const { return m_template; }
    QString plainText() const;
    bool SaveAs(const QString& path, QString* error = nullptr);
    QString path() const { return m_path; }

private:
    QString m_template;
    QStringList m_fragments;
    QString m_path;
};
