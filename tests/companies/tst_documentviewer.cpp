#include "TestSession.h"

#include "app/Forms.h"
#include "companies/FormBrowser.h"
#include "services/Desktop.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/DocumentView.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfView>
#include <QPdfWriter>
#include <QTest>
#include <QTextBrowser>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

// The document viewer with real files of each kind it shows, and the kinds
// it hands to the user's own programs.
class TestDocumentViewer : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void showsAPdf();
    void showsAnImage();
    void showsTextHtmlAndRtf_data();
    void showsTextHtmlAndRtf();
    void htmlFindsItsPicturesAndOpensLinksOutside();
    void otherKindsAreOfferedToTheUsersProgram_data();
    void otherKindsAreOfferedToTheUsersProgram();
    void aMissingFileIsReported();
    void viewerFillsTheWindow();

private:
    FormBrowser* open(const QString& path) {
        auto* browser = Forms::get<FormBrowser>();
        browser->show();
        browser->Navigate(path);
        return browser;
    }
    QString file(const QString& name) const { return m_session->file(name); }
    std::unique_ptr<TestSession> m_session;
};

void TestDocumentViewer::init() {
    m_session = std::make_unique<TestSession>();
    m_session->registerForms();
}

void TestDocumentViewer::cleanup() {
    m_session.reset();
}

void TestDocumentViewer::showsAPdf() {
    const QString path = file("Brochure.pdf");
    {
        QPdfWriter writer(path);
        QPainter painter(&writer);
        painter.drawText(QPointF(200, 200), "Pump PX-200 data sheet");
        writer.newPage();
        painter.drawText(QPointF(200, 200), "Page two");
    }
    FormBrowser* browser = open(path);
    QCOMPARE(browser->windowTitle(), path);
    QCOMPARE(browser->WebBrowser1->kind(), DocumentView::Kind::Pdf);
    QCOMPARE(browser->WebBrowser1->pdfView()->document()->pageCount(), 2);
    QVERIFY(browser->WebBrowser1->pdfView()->document()->getAllText(0).text().contains("PX-200"));
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestDocumentViewer::showsAnImage() {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    for (const char* name : {"photo.png", "photo.jpg"}) {
        QVERIFY(image.save(file(name)));
        FormBrowser* browser = open(file(name));
        QCOMPARE(browser->WebBrowser1->kind(), DocumentView::Kind::Image);
        QCOMPARE(browser->WebBrowser1->imageView()->pixmap().size(), QSize(64, 48));
    }
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestDocumentViewer::showsTextHtmlAndRtf_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<DocumentView::Kind>("kind");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain text, UTF-8") << "notes.txt" << QByteArray("Caf\xc3\xa9 order: 12 units\n")
                                       << DocumentView::Kind::Text << "Café order: 12 units";
    QTest::newRow("plain text, Latin-1")
        << "old.txt" << QByteArray("Caf\xe9 au lait") << DocumentView::Kind::Text << "Café au lait";
    QTest::newRow("html") << "page.html"
                          << QByteArray("<html><body><h1>Price list</h1><p>Valve "
                                        "<b>V-10</b></p></body></html>")
                          << DocumentView::Kind::Html << "Price list\nValve V-10";
    QTest::newRow("rtf") << "letter.rtf"
                         << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Dear "
                                       "{\\b Mr O'Hara},\\par Caf\\'e9 terms.}")
                         << DocumentView::Kind::Rtf << "Dear Mr O'Hara,\nCafé terms.";
}

void TestDocumentViewer::showsTextHtmlAndRtf() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(DocumentView::Kind, kind);
    QFETCH(QString, shown);
    QVERIFY(writeFile(file(name), bytes));
    FormBrowser* browser = open(file(name));
    QCOMPARE(browser->WebBrowser1->kind(), kind);
    QCOMPARE(browser->WebBrowser1->currentWidget(), browser->WebBrowser1->textView());
    QCOMPARE(browser->WebBrowser1->textView()->toPlainText().trimmed(), shown);
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestDocumentViewer::htmlFindsItsPicturesAndOpensLinksOutside() {
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(file("logo.png")));
    QVERIFY(writeFile(file("page.htm"), "<p><img src=\"logo.png\"> <a href=\"terms.pdf\">Terms</a> "
                                        "<a href=\"https://example.com/x\">Site</a></p>"));
    FormBrowser* browser = open(file("page.htm"));
    QTextDocument* document = browser->WebBrowser1->textView()->document();
    const QVariant picture = document->resource(QTextDocument::ImageResource, QUrl("logo.png"));
    QVERIFY(picture.isValid());
    QTextBrowser* view = browser->WebBrowser1->textView();
    emit view->anchorClicked(QUrl("terms.pdf"));
    emit view->anchorClicked(QUrl("https://example.com/x"));
    QCOMPARE(Desktop::opened(),
             (QList<QUrl>{QUrl::fromLocalFile(file("terms.pdf")), QUrl("https://example.com/x")}));
    QCOMPARE(browser->WebBrowser1->kind(), DocumentView::Kind::Html); // still on the page
}

void TestDocumentViewer::otherKindsAreOfferedToTheUsersProgram_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("answer");
    QTest::newRow("spreadsheet, yes")
        << "figures.xlsx" << QByteArray("PK\x03\x04 not really") << int(MsgBox::Yes);
    QTest::newRow("unknown, no") << "drawing.dwg" << QByteArray("AC1032\x00\x01\x02", 9)
                                 << int(MsgBox::No);
    QTest::newRow("damaged pdf, yes")
        << "broken.pdf" << QByteArray("%PDF-1.4\nnothing else") << int(MsgBox::Yes);
}

void TestDocumentViewer::otherKindsAreOfferedToTheUsersProgram() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, answer);
    QVERIFY(writeFile(file(name), bytes));
    MsgBox::answerNext(MsgBox::Result(answer));
    open(file(name));
    QCOMPARE(MsgBox::shown().size(), 1);
    QCOMPARE(MsgBox::last().text, "Tessaly cannot show " + file(name) +
                                      " itself. Do you want to open it with the program your "
                                      "computer uses for such files?");
    QCOMPARE(MsgBox::last().style, int(MsgBox::YesNo | MsgBox::Question));
    QCOMPARE(Desktop::opened(),
             answer == MsgBox::Yes ? QList<QUrl>{QUrl::fromLocalFile(file(name))} : QList<QUrl>{});
}

void TestDocumentViewer::aMissingFileIsReported() {
    m_session->expectMessage("The file " + file("gone/Quote 2019.pdf") + " cannot be found.");
    FormBrowser* browser = open(file("gone/Quote 2019.pdf"));
    QCOMPARE(browser->WebBrowser1->kind(), DocumentView::Kind::Missing);
    QCOMPARE(MsgBox::last().text, "The file " + file("gone/Quote 2019.pdf") + " cannot be found.");
    QVERIFY(Desktop::opened().isEmpty());
}

void TestDocumentViewer::viewerFillsTheWindow() {
    QVERIFY(writeFile(file("a.txt"), "a"));
    FormBrowser* browser = open(file("a.txt"));
    Twips::setSize(browser, 9000, 6000);
    settle();
    QCOMPARE(browser->WebBrowser1->geometry(),
             QRect(0, 0, browser->width() - Twips::toPixelsX(100), browser->height()));
}

QTEST_MAIN(TestDocumentViewer)
#include "tst_documentviewer.moc"
