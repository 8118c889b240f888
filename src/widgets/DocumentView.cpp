#include "DocumentView.h"

#include "formats/Rtf.h"
#include "services/Desktop.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMimeDatabase>
#include <QPdfDocument>
#include <QPdfView>
#include <QScrollArea>
#include <QStringDecoder>
#include <QTextBrowser>

DocumentView::DocumentView(QWidget* parent)
    : QStackedWidget(parent)
    , m_document(new QPdfDocument(this)) {
    m_empty = new QLabel(this);
    m_pdf = new QPdfView(this);
    m_pdf->setDocument(m_document);
    m_pdf->setPageMode(QPdfView::PageMode::MultiPage);
    m_pdf->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    m_imageArea = new QScrollArea(this);
    m_image = new QLabel;
    m_image->setAlignment(Qt::AlignCenter);
    m_imageArea->setWidget(m_image);
    m_imageArea->setWidgetResizable(true);
    m_text = new QTextBrowser(this);
    // A link opens in the user's browser or program, never inside the view.
    m_text->setOpenLinks(false);
    connect(m_text, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        Desktop::openUrl(m_text->document()->baseUrl().resolved(link));
    });
    for (QWidget* page : {static_cast<QWidget*>(m_empty), static_cast<QWidget*>(m_pdf),
                          static_cast<QWidget*>(m_imageArea), static_cast<QWidget*>(m_text)})
        addWidget(page);
}

DocumentView::Kind DocumentView::kindOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return Kind::Missing;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    if (type.inherits(QStringLiteral("application/pdf")))
        return Kind::Pdf;
    if (type.inherits(QStringLiteral("text/rtf")) ||
        type.inherits(QStringLiteral("application/rtf")))
        return Kind::Rtf;
    if (type.inherits(QStringLiteral("text/html")))
        return Kind::Html;
    if (type.name().startsWith(QLatin1String("image/")) &&
        QImageReader::supportedMimeTypes().contains(type.name().toLatin1()))
        return Kind::Image;
    if (type.inherits(QStringLiteral("text/plain")))
        return Kind::Text;
    return Kind::Other;
}

DocumentView::Kind DocumentView::navigate(const QString& path) {
    m_path = path;
    m_kind = kindOf(path);
    QFile file(path);
    switch (m_kind) {
    case Kind::Pdf:
        if (m_document->load(path) != QPdfDocument::Error::None) {
            m_kind = Kind::Other;
            break;
        }
        setCurrentWidget(m_pdf);
        return m_kind;
    case Kind::Image: {
        const QImage image(path);
        if (image.isNull()) {
            m_kind = Kind::Other;
            break;
        }
        m_image->setPixmap(QPixmap::fromImage(image));
        setCurrentWidget(m_imageArea);
        return m_kind;
    }
    case Kind::Text:
    case Kind::Html:
    case Kind::Rtf: {
        if (!file.open(QIODevice::ReadOnly)) {
            m_kind = Kind::Missing;
            break;
        }
        const QByteArray bytes = file.readAll();
        // Links and pictures of a page are found from its own folder.
        m_text->document()->setBaseUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
        if (m_kind == Kind::Rtf) {
            QTextDocument* document = m_text->document();
            if (!Rtf::toDocument(QString::fromLatin1(bytes), *document))
                m_text->setPlainText(QString::fromLatin1(bytes));
        } else {
            // UTF-8 where it is, Latin-1 otherwise.
            QStringDecoder utf8(QStringDecoder::Utf8);
            QString text = utf8(bytes);
            if (utf8.hasError())
                text = QString::fromLatin1(bytes);
            if (m_kind == Kind::Html)
                m_text->setHtml(text);
            else
                m_text->setPlainText(text);
        }
        setCurrentWidget(m_text);
        return m_kind;
    }
    default:
        break;
    }
    setCurrentWidget(m_empty);
    return m_kind;
}
