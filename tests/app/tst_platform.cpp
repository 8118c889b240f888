#include "TestSession.h"

#include "platform/Clock.h"
#include "services/Clipboard.h"
#include "services/Colors.h"
#include "services/Desktop.h"
#include "services/MsgBox.h"
#include "services/Pointer.h"
#include "services/PrintWindow.h"
#include "services/SendKeys.h"
#include "services/Twips.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

// The services windows use instead of calling the system directly, with
// their test hooks.
class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void init() { m_session = std::make_unique<TestSession>(TestSession::Folder::Empty); }
    void cleanup() { m_session.reset(); }

    void clockCanBePinned();
    void desktopRecordsWhatItWouldOpen();
    void messageBoxAnswersFromTheScript();
    void pointerNests();
    void clipboardCarriesTextAndRtf();
    void colourValues_data();
    void colourValues();
    void twipsFollowTheScreen();
    void sendKeysParses_data();
    void sendKeysParses();
    void sendKeysReachTheFocusedControl();
    void printWindowToPdf();

private:
    std::unique_ptr<TestSession> m_session;
};

void TestPlatform::clockCanBePinned() {
    const QDateTime moment(QDate(2026, 12, 10), QTime(9, 30));
    Clock::pin(moment);
    QCOMPARE(Clock::now(), moment);
    QCOMPARE(Clock::today(), QDate(2026, 12, 10));
    Clock::advance(90 * 60 * 1000);
    QCOMPARE(Clock::time(), QTime(11, 0));
    Clock::unpin();
    QVERIFY(qAbs(Clock::now().secsTo(QDateTime::currentDateTime())) < 5);
}

void TestPlatform::desktopRecordsWhatItWouldOpen() {
    Desktop::record();
    QVERIFY(Desktop::openUrl(QUrl("https://www.tessaly.org/faq")));
    QVERIFY(Desktop::openFile("/tmp/report.xlsx"));
    QCOMPARE(Desktop::opened(),
             (QList<QUrl>{QUrl("https://www.tessaly.org/faq"), QUrl("file:///tmp/report.xlsx")}));
}

void TestPlatform::messageBoxAnswersFromTheScript() {
    MsgBox::installTestHook(); // the hook on its own, without the session's announcements
    MsgBox::answerNext(MsgBox::No);
    QCOMPARE(MsgBox::show("Delete?", MsgBox::YesNo | MsgBox::Question), MsgBox::No);
    // Without a scripted answer the first button answers; a scripted answer
    // the box does not offer is not taken either.
    QCOMPARE(MsgBox::show("Delete?", MsgBox::YesNo | MsgBox::Question), MsgBox::Yes);
    MsgBox::answerNext(MsgBox::Cancel);
    QCOMPARE(MsgBox::show("Done."), MsgBox::OK);
    QCOMPARE(MsgBox::shown().size(), 3);
    QCOMPARE(MsgBox::last().title, QString("Tessaly"));
    MsgBox::show("Sent", MsgBox::OKOnly, "Technical Support");
    QCOMPARE(MsgBox::last().title, QString("Technical Support"));
}

void TestPlatform::pointerNests() {
    QVERIFY(!Pointer::isBusy());
    Pointer::busy();
    Pointer::busy();
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    Pointer::normal();
    QVERIFY(Pointer::isBusy());
    Pointer::normal();
    QVERIFY(!Pointer::isBusy());
    QVERIFY(!QApplication::overrideCursor());
    Pointer::normal(); // one too many is harmless
    QVERIFY(!QApplication::overrideCursor());
}

void TestPlatform::clipboardCarriesTextAndRtf() {
    Clipboard::setText("COMPANY\tCITY\rAcme\tParis");
    QCOMPARE(Clipboard::text(), QString("COMPANY\tCITY\rAcme\tParis"));
    QVERIFY(!Clipboard::hasRtf());
    Clipboard::setRtf("{\\rtf1 {\\b Bold} text}", "Bold text");
    QCOMPARE(Clipboard::rtf(), QString("{\\rtf1 {\\b Bold} text}"));
    QCOMPARE(Clipboard::text(), QString("Bold text"));
    Clipboard::clear();
    QVERIFY(Clipboard::text().isEmpty());
}

void TestPlatform::colourValues_data() {
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QColor>("color");
    QTest::newRow("red") << qint64(255) << QColor(255, 0, 0);
    QTest::newRow("green") << qint64(65280) << QColor(0, 255, 0);
    QTest::newRow("dark green") << qint64(32768) << QColor(0, 128, 0);
    QTest::newRow("blue") << qint64(16711680) << QColor(0, 0, 255);
    QTest::newRow("button face") << Colors::ButtonFace
                                 << QApplication::palette().color(QPalette::Button);
}

void TestPlatform::colourValues() {
    QFETCH(qint64, value);
    QFETCH(QColor, color);
    QCOMPARE(Colors::color(value), color);
    QLabel label;
    Colors::setForeground(&label, value);
    QCOMPARE(Colors::foreground(&label), value);
    QCOMPARE(label.palette().color(QPalette::WindowText), color);
}

void TestPlatform::twipsFollowTheScreen() {
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    QCOMPARE(Twips::toPixelsX(1440), qRound(dpi));
    QLabel bar;
    Twips::setGeometry(&bar, 100, 200, 350, 240);
    QCOMPARE(Twips::geometry(&bar), QRect(100, 200, 350, 240)); // exactly as set
    for (int i = 0; i < 30; ++i) {
        const QRect g = Twips::geometry(&bar);
        Twips::setGeometry(&bar, g.x(), g.y(), g.width() + 350, g.height());
    }
    QCOMPARE(Twips::geometry(&bar).width(), 350 * 31); // no drift from rounding
    QVERIFY(Twips::screenWidth() > 0);
}

void TestPlatform::sendKeysParses_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::newRow("copy") << "^{c}" << int(Qt::Key_C) << int(Qt::ControlModifier) << "";
    QTest::newRow("delete") << "{DEL}" << int(Qt::Key_Delete) << 0 << "";
    QTest::newRow("end of document")
        << "^{END}" << int(Qt::Key_End) << int(Qt::ControlModifier) << "";
    QTest::newRow("enter") << "~" << int(Qt::Key_Return) << 0 << "\r";
    QTest::newRow("shift tab") << "+{TAB}" << int(Qt::Key_Tab) << int(Qt::ShiftModifier) << "";
    QTest::newRow("letter") << "a" << int(Qt::Key_A) << 0 << "a";
    QTest::newRow("brace") << "{}}" << int('}') << 0 << "}";
}

void TestPlatform::sendKeysParses() {
    QFETCH(QString, keys);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    const auto strokes = SendKeys::parse(keys);
    QVERIFY(strokes);
    QCOMPARE(strokes->size(), 1);
    QCOMPARE(strokes->first().key, key);
    QCOMPARE(int(strokes->first().modifiers), modifiers);
    QCOMPARE(strokes->first().text, text);
    QVERIFY(!SendKeys::parse("{NOSUCHKEY}"));
    QVERIFY(!SendKeys::parse("{DEL"));
}

void TestPlatform::sendKeysReachTheFocusedControl() {
    QLineEdit box;
    box.setText("Hello world");
    box.show();
    box.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    box.setFocus();
    box.setSelection(5, 6);
    QVERIFY(SendKeys::send("{DEL}"));
    QCOMPARE(box.text(), QString("Hello"));
    QVERIFY(SendKeys::send("^{a}XY"));
    QCOMPARE(box.text(), QString("XY"));
    SendKeys::record();
    QVERIFY(SendKeys::send("^{c}"));
    QCOMPARE(SendKeys::recorded().size(), 1);
    QCOMPARE(box.text(), QString("XY"));
}

void TestPlatform::printWindowToPdf() {
    QLabel window("A window to print");
    window.resize(400, 200);
    window.show();
    const QString pdf = m_session->file("print.pdf");
    PrintWindow::printToFile(pdf);
    QString error;
    QVERIFY2(PrintWindow::print(&window, &error), qPrintable(error));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    QVERIFY(data.startsWith("%PDF"));
    // Landscape: the media box is wider than high.
    const int box = int(data.indexOf("/MediaBox"));
    QVERIFY(box > 0);
    const QList<QByteArray> numbers =
        data.mid(box, 60).split('[').value(1).split(']').value(0).simplified().split(' ');
    QVERIFY(numbers.size() == 4 && numbers[2].toDouble() > numbers[3].toDouble());
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
