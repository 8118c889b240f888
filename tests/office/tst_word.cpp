#include "TestMain.h"
#include "TestSession.h"

#include "formats/Rtf.h"
#include "office/WordApp.h"
#include "services/Clipboard.h"
#include "services/Desktop.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {

QString readAll(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromLatin1(file.readAll());
}

// The character format at the first occurrence of a text.
QTextCharFormat formatOf(QTextDocument& document, const QString& text) {
    QTextCursor found = document.find(text);
    QTextCursor at(&document);
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

} // namespace

// The word processor: documents from a template with typed and pasted text.
class TestWord : public QObject {
    Q_OBJECT
private slots:
    void init() { m_session = std::make_unique<TestSession>(); }
    void cleanup() { m_session.reset(); }

    void letterKeepsTheLetterheadAndTheBodysFormatting();
    void missingTemplateIsAnError();
    void visibleSavesIntoTempAndOpensTheDocument();
    void plainTextTemplate();

private:
    std::unique_ptr<TestSession> m_session;
};

void TestWord::letterKeepsTheLetterheadAndTheBodysFormatting() {
    const QString letterhead = WordApp::LetterheadPath();
    QVERIFY(QFile::exists(letterhead)); // installed with the program
    const QString templateRtf = readAll(letterhead);

    WordApp word;
    QString error;
    WordDocument* letter = word.DocumentsAdd(letterhead, &error);
    QVERIFY2(letter, qPrintable(error));
    letter->TypeText("Mr. John Doe\nAcme Ltd\n1 Main St\n\n");
    QTextDocument body;
    body.setHtml("<p>Dear John,</p><p>our <b>new prices</b> are <i>attached</i>. Grüße, €</p>");
    Clipboard::setRtf(Rtf::fromDocument(body), body.toPlainText());
    letter->Paste();
    const QString path = m_session->file("letter.rtf");
    QVERIFY2(letter->SaveAs(path, &error), qPrintable(error));

    const QString written = readAll(path);
    // The template's header and footer groups are there, as they were.
    const qsizetype header = templateRtf.indexOf("{\\header");
    const QString headerGroup = templateRtf.mid(header, templateRtf.indexOf("{\\footer") - header);
    QVERIFY(written.contains(headerGroup));
    QVERIFY(written.contains("[Registered Office]"));

    QTextDocument read;
    QVERIFY(Rtf::toDocument(written, read));
    const QString text = read.toPlainText();
    QVERIFY2(text.contains("Mr. John Doe\nAcme Ltd\n1 Main St"), qPrintable(text));
    QVERIFY(text.contains("Dear John,"));
    QVERIFY(text.contains("Grüße, €"));
    QVERIFY(text.indexOf("Acme Ltd") < text.indexOf("Dear John")); // typed first, pasted after
    QCOMPARE(formatOf(read, "new prices").fontWeight(), int(QFont::Bold));
    QVERIFY(formatOf(read, "attached").fontItalic());
    QVERIFY(formatOf(read, "Dear").fontWeight() != int(QFont::Bold));
}

void TestWord::missingTemplateIsAnError() {
    WordApp word;
    QString error;
    QVERIFY(!word.DocumentsAdd(m_session->file("Letterhead.dot"), &error));
    QVERIFY2(error.contains("Letterhead.dot") && error.contains("was not found"),
             qPrintable(error));
    QVERIFY(!word.SetVisible(&error));
}

void TestWord::visibleSavesIntoTempAndOpensTheDocument() {
    WordApp word;
    QVERIFY(word.DocumentsAdd(WordApp::LetterheadPath()));
    word.ActiveDocument()->TypeText("Hello");
    QVERIFY(word.SetVisible());
    QCOMPARE(Desktop::opened().size(), 1);
    const QString opened = Desktop::opened().first().toLocalFile();
    QCOMPARE(QFileInfo(opened).absolutePath(), QDir(m_session->file("Temp")).absolutePath());
    QVERIFY(QFileInfo(opened).fileName().startsWith("Tessaly Document "));
    QVERIFY(Rtf::toPlainText(readAll(opened)).contains("Hello"));
}

void TestWord::plainTextTemplate() {
    QFile plain(m_session->file("plain.txt"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("Memo\n");
    plain.close();
    WordApp word;
    WordDocument* document = word.DocumentsAdd(plain.fileName());
    QVERIFY(document);
    document->TypeText("second line");
    QCOMPARE(document->plainText().split('\n').first(), QString("Memo"));
    QVERIFY(document->plainText().contains("second line"));
}

TESSALY_GUI_TEST_MAIN(TestWord)
#include "tst_word.moc"
