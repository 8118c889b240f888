#pragma once

#include <QTextEdit>
#include <optional>

// The rich text box of the windows: a QTextEdit that shows and gives its
// content as RTF. Its user property is the RTF, so a data binder puts a
// memo column holding RTF into it and stores what the user types as RTF. A
// value that is not RTF (plain text stored earlier) is shown as plain text.
//
// textRTF() returns exactly the text last given to setTextRTF() until the
// content changes, so loading a record never looks like an edit.
//
// Positions (selStart, find) count characters of text(), paragraphs
// separated by one character.
class RichTextBox : public QTextEdit {
    Q_OBJECT
    Q_PROPERTY(QString textRTF READ textRTF WRITE setTextRTF NOTIFY textRTFChanged USER true)
public:
    explicit RichTextBox(QWidget* parent = nullptr);

    QString text() const; // plain text, paragraphs separated by "\n"
    void setText(const QString& text);
    QString textRTF() const;
    void setTextRTF(const QString& rtf);

    int selStart() const;
    int selLength() const;
    void setSelStart(int start); // moves the insertion point; nothing stays selected
    void setSelLength(int length);
    QString selText() const;
    void setSelText(const QString& text); // replaces the selection with plain text
    QString selRTF() const;
    void setSelRTF(const QString& rtf); // replaces the selection with formatted text

    // nullopt when the selection is formatted both ways.
    std::optional<bool> selBold() const;
    void setSelBold(bool bold);
    std::optional<bool> selItalic() const;
    void setSelItalic(bool italic);
    std::optional<bool> selUnderline() const;
    void setSelUnderline(bool underline);
    Qt::Alignment selAlignment() const; // of the paragraph of the insertion point
    void setSelAlignment(Qt::Alignment alignment);

    // Family and size of every character, and of what is typed next.
    void setDocumentFont(const QFont& font);

    // Selects the next occurrence from `start` on and scrolls to it; its
    // position, or -1 (the selection unchanged) when there is none.
    int find(const QString& text, int start = 0, bool matchCase = false);

    bool saveFile(const QString& path, QString* error = nullptr) const;
    bool loadFile(const QString& path, QString* error = nullptr);

signals:
    void textRTFChanged();

protected:
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void contentChanged();
    std::optional<bool> selectionHas(bool (*test)(const QFont&)) const;

    std::optional<QString> m_loaded; // the RTF given, while the content is unchanged
    bool m_loading = false;
};
