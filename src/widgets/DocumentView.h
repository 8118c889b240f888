#pragma once

#include <QStackedWidget>

class QLabel;
class QPdfDocument;
class QPdfView;
class QScrollArea;
class QTextBrowser;

// Shows a document inside the program: PDF (QtPdf), images, plain text,
// HTML and RTF. Other kinds are reported as such, so that the caller can
// offer the user's own program instead.
class DocumentView : public QStackedWidget {
    Q_OBJECT
public:
    enum class Kind { None, Pdf, Image, Text, Html, Rtf, Other, Missing };

    explicit DocumentView(QWidget* parent = nullptr);

    // Shows the file; returns what kind it was taken for.
    Kind navigate(const QString& path);
    Kind kind() const { return m_kind; }
    QString path() const { return m_path; }
    static Kind kindOf(const QString& path);

    QPdfView* pdfView() const { return m_pdf; }
    QTextBrowser* textView() const { return m_text; }
    QLabel* imageView() const { return m_image; }

private:
    Kind m_kind = Kind::None;
    QString m_path;
    QPdfDocument* m_document;
    QPdfView* m_pdf;
    QScrollArea* m_imageArea;
    QLabel* m_image;
    QTextBrowser* m_text;
    QLabel* m_empty;
};
