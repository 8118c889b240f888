#include "TestSession.h"

#include "data/DataSource.h"
#include "formats/Rtf.h"
#include "services/Clipboard.h"
#include "widgets/FieldBinder.h"
#include "widgets/RichTextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

// The rich text box: typing, formatting the selection, finding, files, the
// clipboard's RTF and the binding of a memo column that holds RTF.
class TestRichTextBox : public QObject {
    Q_OBJECT
private slots:
    void init() { m_session = std::make_unique<TestSession>(); }
    void cleanup() { m_session.reset(); }

    void typedTextComesBackAsRtf();
    void styleOfAPartlyStyledSelectionIsUnknown_data();
    void styleOfAPartlyStyledSelectionIsUnknown();
    void alignmentOfTheSelectedParagraphs_data();
    void alignmentOfTheSelectedParagraphs();
    void documentFontReachesEveryCharacter();
    void findSelectsAndScrollsToTheText_data();
    void findSelectsAndScrollsToTheText();
    void selectionByPosition();
    void savedFileReadsBack();
    void savingToAMissingFolderFails();
    void loadingIsNoEditUntilTheContentChanges();
    void plainTextIsShownAsPlainText();
    void boundMemoShowsRtfAndStoresWhatIsTyped();
    void copyAndCutCarryRtf();
    void pastingRtfKeepsItsFormatting_data();
    void pastingRtfKeepsItsFormatting();

private:
    static void type(QWidget* widget, const QString& text);
    static std::unique_ptr<QTextDocument> read(const QString& rtf);
    static QTextCharFormat formatAt(const QTextDocument& document, const QString& text);
    std::unique_ptr<TestSession> m_session;
};

namespace {

const char* const Mixed = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Verdana;}}"
                          "{\\colortbl;\\red255\\green0\\blue0;}"
                          "\\pard\\f0\\fs20 plain \\b\\i\\ul styled\\b0\\i0\\ulnone  plain\\par"
                          "\\pard\\qc\\f1\\fs40\\cf1 second\\par\\par\\pard last\\par}";

} // namespace

// Key presses of characters that QTest::keyClicks has no key for.
void TestRichTextBox::type(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

std::unique_ptr<QTextDocument> TestRichTextBox::read(const QString& rtf) {
    auto document = std::make_unique<QTextDocument>();
    if (!Rtf::toDocument(rtf, *document))
        QTest::qFail(qPrintable("not RTF: " + rtf.left(40)), __FILE__, __LINE__);
    return document;
}

QTextCharFormat TestRichTextBox::formatAt(const QTextDocument& document, const QString& text) {
    const QTextCursor found = document.find(text, 0, QTextDocument::FindCaseSensitively);
    if (found.isNull()) {
        QTest::qFail(qPrintable("text not found: " + text), __FILE__, __LINE__);
        return {};
    }
    QTextCursor at(const_cast<QTextDocument*>(&document));
    at.setPosition(found.selectionEnd());
    return at.charFormat();
}

void TestRichTextBox::typedTextComesBackAsRtf() {
    RichTextBox box;
    box.show();
    QSignalSpy changed(&box, &RichTextBox::textRTFChanged);
    QTest::keyClicks(&box, "Line one");
    QTest::keyClick(&box, Qt::Key_Return);
    type(&box, QString::fromUtf8("Zwei € ü"));
    QVERIFY(changed.count() >= 9);
    QCOMPARE(box.text(), QString::fromUtf8("Line one\nZwei € ü"));

    // Shift+Home selects the second line; it is made bold.
    QTest::keyClick(&box, Qt::Key_Home, Qt::ShiftModifier);
    QCOMPARE(box.selText(), QString::fromUtf8("Zwei € ü"));
    box.setSelBold(true);
    const auto document = read(box.textRTF());
    QCOMPARE(document->toPlainText(), box.text());
    QVERIFY(formatAt(*document, "Zwei").font().bold());
    QVERIFY(!formatAt(*document, "Line one").font().bold());
}

void TestRichTextBox::styleOfAPartlyStyledSelectionIsUnknown_data() {
    QTest::addColumn<QString>("style");
    QTest::newRow("bold") << "bold";
    QTest::newRow("italic") << "italic";
    QTest::newRow("underline") << "underline";
}

void TestRichTextBox::styleOfAPartlyStyledSelectionIsUnknown() {
    QFETCH(QString, style);
    RichTextBox box;
    box.setTextRTF(Mixed);
    auto get = [&] {
        return style == "bold"     ? box.selBold()
               : style == "italic" ? box.selItalic()
                                   : box.selUnderline();
    };
    auto set = [&](bool on) {
        if (style == "bold")
            box.setSelBold(on);
        else if (style == "italic")
            box.setSelItalic(on);
        else
            box.setSelUnderline(on);
    };
    auto has = [&](const QFont& font) {
        return style == "bold" ? font.bold() : style == "italic" ? font.italic() : font.underline();
    };

    // "plain styled plain": the whole line is partly styled.
    box.setSelStart(0);
    box.setSelLength(18);
    QCOMPARE(box.selText(), QString("plain styled plain"));
    QCOMPARE(get(), std::optional<bool>());
    box.setSelStart(6);
    box.setSelLength(6);
    QCOMPARE(get(), std::optional<bool>(true));
    box.setSelStart(0);
    box.setSelLength(5);
    QCOMPARE(get(), std::optional<bool>(false));
    // One character on each side of the boundary.
    box.setSelStart(5);
    box.setSelLength(2);
    QCOMPARE(get(), std::optional<bool>());

    box.setSelStart(0);
    box.setSelLength(18);
    set(true);
    QCOMPARE(get(), std::optional<bool>(true));
    auto document = read(box.textRTF());
    for (const QString& word : QStringList{"plain ", "styled", " plain"})
        QVERIFY2(has(formatAt(*document, word).font()), qPrintable(word));
    // The other paragraphs are untouched.
    QVERIFY(!has(formatAt(*document, "second").font()));

    set(false);
    QCOMPARE(get(), std::optional<bool>(false));
    document = read(box.textRTF());
    QVERIFY(!has(formatAt(*document, "styled").font()));
}

void TestRichTextBox::alignmentOfTheSelectedParagraphs_data() {
    QTest::addColumn<int>("alignment");
    QTest::newRow("left") << int(Qt::AlignLeft);
    QTest::newRow("centre") << int(Qt::AlignHCenter);
    QTest::newRow("right") << int(Qt::AlignRight);
    QTest::newRow("justify") << int(Qt::AlignJustify);
}

void TestRichTextBox::alignmentOfTheSelectedParagraphs() {
    QFETCH(int, alignment);
    RichTextBox box;
    box.setTextRTF(Mixed); // "plain styled plain", "second" (centred), "", "last"
    QCOMPARE(box.selAlignment(), Qt::AlignLeft);
    box.setSelStart(22);
    QCOMPARE(box.selAlignment(), Qt::AlignHCenter);

    // From within the first paragraph into the second.
    box.setSelStart(3);
    box.setSelLength(22);
    box.setSelAlignment(Qt::Alignment(alignment));
    QCOMPARE(int(box.selAlignment()), alignment);

    const auto document = read(box.textRTF());
    auto aligned = [&](int block) {
        return int(document->findBlockByNumber(block).blockFormat().alignment() &
                   Qt::AlignHorizontal_Mask);
    };
    QCOMPARE(aligned(0), alignment);
    QCOMPARE(aligned(1), alignment);
    QCOMPARE(aligned(3), int(Qt::AlignLeft));
}

void TestRichTextBox::documentFontReachesEveryCharacter() {
    RichTextBox box;
    box.setTextRTF(Mixed);
    box.setSelStart(8);
    box.setDocumentFont(QFont("Courier New", 14));
    box.moveCursor(QTextCursor::End);
    QTest::keyClicks(&box, " typed");

    const auto document = read(box.textRTF());
    QCOMPARE(document->toPlainText(), QString("plain styled plain\nsecond\n\nlast typed"));
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.text().isEmpty()) { // the size of an empty paragraph is its mark's
            QCOMPARE(block.charFormat().fontFamilies().toStringList(), QStringList{"Courier New"});
            QCOMPARE(block.charFormat().fontPointSize(), 14.0);
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            QCOMPARE(format.fontFamilies().toStringList(), QStringList{"Courier New"});
            QCOMPARE(format.fontPointSize(), 14.0);
        }
    }
    // Only family and size changed.
    QVERIFY(formatAt(*document, "styled").font().bold());
    QCOMPARE(formatAt(*document, "second").foreground().color(), QColor(255, 0, 0));
}

void TestRichTextBox::findSelectsAndScrollsToTheText_data() {
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<int>("expectedLine"); // -1: not found

    QTest::newRow("first") << "needle" << 0 << false << 150;
    QTest::newRow("any case") << "NEEDLE" << 0 << false << 150;
    QTest::newRow("case must match") << "NEEDLE" << 0 << true << -1;
    QTest::newRow("case matches") << "Needle" << 0 << true << 190;
    QTest::newRow("from a position") << "needle" << 150 * 9 + 3 << false << 190;
    QTest::newRow("missing") << "haystack" << 0 << false << -1;
    QTest::newRow("past the end") << "needle" << 100000 << false << -1;
}

void TestRichTextBox::findSelectsAndScrollsToTheText() {
    QFETCH(QString, search);
    QFETCH(int, start);
    QFETCH(bool, matchCase);
    QFETCH(int, expectedLine);

    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << QString("line %1").arg(i, 3, 10, QChar('0')); // 8 characters and the line end
    lines[150] = "a needle";
    lines[190] = "a Needle";
    RichTextBox box;
    box.resize(300, 120);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.setText(lines.join('\n'));
    box.setSelStart(2);
    box.setSelLength(3);

    const int found = box.find(search, start, matchCase);
    if (expectedLine < 0) {
        QCOMPARE(found, -1);
        QCOMPARE(box.selStart(), 2);
        QCOMPARE(box.selLength(), 3);
        QCOMPARE(box.verticalScrollBar()->value(), 0);
        return;
    }
    QCOMPARE(found, expectedLine * 9 + 2);
    QCOMPARE(box.selStart(), found);
    QCOMPARE(box.selText().toLower(), QString("needle"));
    // The selection is in view.
    QVERIFY(box.verticalScrollBar()->value() > 0);
    const QRect cursor = box.cursorRect();
    QVERIFY(box.viewport()->rect().contains(cursor.center()));
}

void TestRichTextBox::selectionByPosition() {
    RichTextBox box;
    box.setText("abc\ndef");
    box.setSelStart(2);
    QCOMPARE(box.selLength(), 0);
    box.setSelLength(3);
    QCOMPARE(box.selText(), QString("c\nd"));
    box.setSelText("X");
    QCOMPARE(box.text(), QString("abXef"));
    QCOMPARE(box.selStart(), 3);
    QCOMPARE(box.selLength(), 0);
    box.setSelStart(1000); // clamped to the end
    QCOMPARE(box.selStart(), 5);
    box.setSelStart(1);
    box.setSelLength(1000);
    QCOMPARE(box.selText(), QString("bXef"));

    // Formatted text replaces the selection.
    box.setSelRTF("{\\rtf1{\\colortbl;\\red0\\green0\\blue255;}\\b bold\\b0  \\cf1 blue\\par}");
    QCOMPARE(box.text(), QString("abold blue"));
    QVERIFY(box.selRTF().startsWith("{\\rtf1"));
    const auto document = read(box.textRTF());
    QVERIFY(formatAt(*document, "bold").font().bold());
    QCOMPARE(formatAt(*document, "blue").foreground().color(), QColor(0, 0, 255));
    QVERIFY(!formatAt(*document, "a").font().bold());

    box.setSelStart(1);
    box.setSelLength(4);
    const auto selected = read(box.selRTF());
    QCOMPARE(selected->toPlainText(), QString("bold"));
    QVERIFY(formatAt(*selected, "bold").font().bold());
}

void TestRichTextBox::savedFileReadsBack() {
    RichTextBox box;
    box.setTextRTF(Mixed);
    box.moveCursor(QTextCursor::End);
    type(&box, QString::fromUtf8(" für €"));
    const QString path = m_session->file("Temp/Letter.rtf");
    QVERIFY(QDir().mkpath(m_session->file("Temp")));
    QString error;
    QVERIFY2(box.saveFile(path, &error), qPrintable(error));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("{\\rtf1"));
    const auto document = read(QString::fromLatin1(bytes));
    QCOMPARE(document->toPlainText(),
             QString::fromUtf8("plain styled plain\nsecond\n\nlast für €"));
    QVERIFY(formatAt(*document, "styled").font().bold());

    RichTextBox loaded;
    QVERIFY(loaded.loadFile(path, &error));
    QCOMPARE(loaded.text(), box.text());
    QVERIFY(!loaded.loadFile(m_session->file("missing.rtf"), &error));
    QVERIFY(error.contains("missing.rtf"));
}

void TestRichTextBox::savingToAMissingFolderFails() {
    RichTextBox box;
    box.setText("text");
    QString error;
    QVERIFY(!box.saveFile(m_session->file("no/such/folder/x.rtf"), &error));
    QVERIFY(error.contains("x.rtf"));
}

void TestRichTextBox::loadingIsNoEditUntilTheContentChanges() {
    RichTextBox box;
    const QString rtf = "{\\rtf1 {\\*\\generator Other;}\\b Stored\\b0  memo}";
    QSignalSpy changed(&box, &RichTextBox::textRTFChanged);
    box.setTextRTF(rtf);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(box.textRTF(), rtf);
    QCOMPARE(box.text(), QString("Stored memo"));

    // The same value again, a new font or a resize change nothing.
    box.setTextRTF(rtf);
    box.setFont(QFont("Courier New", 20));
    box.resize(400, 300);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(box.textRTF(), rtf);

    box.moveCursor(QTextCursor::End);
    QTest::keyClick(&box, Qt::Key_Exclam);
    QCOMPARE(changed.count(), 2);
    QVERIFY(box.textRTF() != rtf);
    const auto document = read(box.textRTF());
    QCOMPARE(document->toPlainText(), QString("Stored memo!"));
    QVERIFY(formatAt(*document, "Stored").font().bold());
}

void TestRichTextBox::plainTextIsShownAsPlainText() {
    RichTextBox box;
    const QString plain = "Call back <b>Monday</b>\n{not rtf}";
    box.setTextRTF(plain);
    QCOMPARE(box.text(), plain);
    QCOMPARE(box.textRTF(), plain);
    box.moveCursor(QTextCursor::End);
    QTest::keyClicks(&box, " ok");
    QVERIFY(Rtf::isRtf(box.textRTF()));
    QCOMPARE(Rtf::toPlainText(box.textRTF()), plain + " ok");
}

void TestRichTextBox::boundMemoShowsRtfAndStoresWhatIsTyped() {
    const QString rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 \\b Important\\b0  call}";
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE03 (AUTONUMBER, NUMBER01, TEXT02, MEMO01) VALUES "
                    "(1, 1, 'Ann', '" +
                        QString(rtf).replace("'", "''") +
                        "'), (2, 1, 'Bob', 'Plain memo' || char(10) || 'second line'), "
                        "(3, 1, 'Cy', NULL)");
    DataSource data("DataTABLE03", nullptr);
    data.setDatabaseName("TESSALY.mdb");
    data.setRecordSource("SELECT * FROM TABLE03 ORDER BY AUTONUMBER");
    QVERIFY(data.refresh());
    RichTextBox box;
    box.setObjectName("RichTextBox1");
    FieldBinder::bind(&data, &box, "MEMO01");
    box.show();

    QCOMPARE(box.text(), QString("Important call"));
    box.setSelStart(1);
    QCOMPARE(box.selBold(), std::optional<bool>(true));
    QVERIFY(!data.recordset()->hasPendingEdit());

    // The plain row shows its text as it is; looking at it is no edit.
    QVERIFY(data.recordset()->moveNext());
    QCOMPARE(box.text(), QString("Plain memo\nsecond line"));
    QVERIFY(!data.recordset()->hasPendingEdit());
    QVERIFY(data.recordset()->moveNext());
    QCOMPARE(box.text(), QString());
    QVERIFY(data.recordset()->moveFirst());
    QVERIFY(!data.recordset()->hasPendingEdit());
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT MEMO01 FROM TABLE03 WHERE AUTONUMBER = 1")
                 .toString(),
             rtf);
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT MEMO01 FROM TABLE03 WHERE AUTONUMBER = 2")
                 .toString(),
             QString("Plain memo\nsecond line"));

    // Typing is a pending edit, stored as RTF at the move.
    box.moveCursor(QTextCursor::End);
    QTest::keyClicks(&box, " today");
    QVERIFY(data.recordset()->hasPendingEdit());
    QVERIFY(data.recordset()->moveNext());
    const QString stored =
        m_session->scalar("TESSALY.mdb", "SELECT MEMO01 FROM TABLE03 WHERE AUTONUMBER = 1")
            .toString();
    QVERIFY(Rtf::isRtf(stored));
    const auto document = read(stored);
    QCOMPARE(document->toPlainText(), QString("Important call today"));
    QVERIFY(formatAt(*document, "Important").font().bold());
    QVERIFY(!formatAt(*document, "call today").font().bold());

    // Typing into the plain row stores RTF too.
    box.moveCursor(QTextCursor::Start);
    QTest::keyClicks(&box, "New: ");
    QVERIFY(data.recordset()->moveFirst());
    const QString second =
        m_session->scalar("TESSALY.mdb", "SELECT MEMO01 FROM TABLE03 WHERE AUTONUMBER = 2")
            .toString();
    QCOMPARE(Rtf::toPlainText(second), QString("New: Plain memo\nsecond line"));
    QVERIFY(Rtf::isRtf(second));
    QCOMPARE(box.text(), QString("Important call today"));
}

void TestRichTextBox::copyAndCutCarryRtf() {
    RichTextBox box;
    box.setTextRTF(Mixed);
    box.setSelStart(6);
    box.setSelLength(6);
    box.copy();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data);
    QVERIFY(data->hasFormat("text/rtf"));
    QVERIFY(data->hasFormat("application/rtf"));
    QCOMPARE(data->text(), QString("styled"));
    QVERIFY(Clipboard::hasRtf());
    auto document = read(Clipboard::rtf());
    QCOMPARE(document->toPlainText(), QString("styled"));
    QVERIFY(formatAt(*document, "styled").font().bold());
    QVERIFY(formatAt(*document, "styled").font().italic());

    box.setSelStart(19);
    box.setSelLength(6);
    box.cut();
    QCOMPARE(box.text(), QString("plain styled plain\n\n\nlast"));
    document = read(Clipboard::rtf());
    QCOMPARE(document->toPlainText(), QString("second"));
    QCOMPARE(formatAt(*document, "second").foreground().color(), QColor(255, 0, 0));
    QCOMPARE(formatAt(*document, "second").fontPointSize(), 20.0);
}

void TestRichTextBox::pastingRtfKeepsItsFormatting_data() {
    QTest::addColumn<QString>("type");
    QTest::newRow("text/rtf") << "text/rtf";
    QTest::newRow("application/rtf") << "application/rtf";
}

void TestRichTextBox::pastingRtfKeepsItsFormatting() {
    QFETCH(QString, type);
    // As another program puts it: RTF and plain text, no HTML.
    auto* data = new QMimeData;
    data->setData(type, "{\\rtf1\\ansi{\\colortbl;\\red0\\green128\\blue0;}\\cf1\\i green "
                        "caf\\'e9\\i0\\cf0}");
    data->setText("green caf\xc3\xa9");
    QApplication::clipboard()->setMimeData(data);

    RichTextBox box;
    box.setText("before  after");
    box.setSelStart(7);
    QVERIFY(box.canPaste());
    box.paste();
    QCOMPARE(box.text(), QString::fromUtf8("before green café after"));
    const auto document = read(box.textRTF());
    QVERIFY(formatAt(*document, "green").font().italic());
    QCOMPARE(formatAt(*document, "green").foreground().color(), QColor(0, 128, 0));
    QVERIFY(!formatAt(*document, "after").font().italic());
}

QTEST_MAIN(TestRichTextBox)
#include "tst_richtextbox.moc"
