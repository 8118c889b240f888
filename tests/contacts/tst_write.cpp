#include "TestSession.h"

#include "app/Form.h"
#include "app/Forms.h"
#include "companies/FormCompanies.h"
#include "contacts/DocumentToolbar.h"
#include "contacts/FormWrite.h"
#include "data/UserProfile.h"
#include "formats/MailStore.h"
#include "formats/Rtf.h"
#include "mail/MailItemWindow.h"
#include "office/SpellingDialog.h"
#include "platform/ProgramFolder.h"
#include "services/Clipboard.h"
#include "services/Desktop.h"
#include "services/MsgBox.h"
#include "services/SendKeys.h"
#include "services/Twips.h"
#include "widgets/DBCombo.h"
#include "widgets/RichTextBox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>

// The contacts window as the editor sees it: the current contact's names.
class ContactsStandIn : public Form {
    Q_OBJECT
public:
    ContactsStandIn()
        : Form(QStringLiteral("FormContacts")) {
        for (const char* name : {"TEXT02", "TEXT03"}) {
            auto* box = new QLineEdit(this);
            box->setObjectName(QLatin1String(name));
        }
        findChild<QLineEdit*>("TEXT02")->setText("Dana");
        findChild<QLineEdit*>("TEXT03")->setText("O'Neill");
    }
};

// A browser of filed documents, counting the reloads it is asked for.
class BrowserStandIn : public Form {
    Q_OBJECT
public:
    explicit BrowserStandIn(const QString& name)
        : Form(name) {}
    Q_INVOKABLE void Load() { ++loads; }
    int loads = 0;
};

// A window that refuses the end of the program, as one with a refused edit does.
class RefusingStandIn : public Form {
    Q_OBJECT
public:
    RefusingStandIn()
        : Form(QStringLiteral("FormRefusing")) {}
    void Form_QueryUnload(bool& cancel) override { cancel = refuse; }
    bool refuse = true;
};

namespace {

const QDate Today(2026, 12, 10);

QTextCharFormat formatAt(QTextDocument& document, const QString& text) {
    const QTextCursor found = document.find(text);
    QTextCursor at(&document);
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

QString readAll(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromLatin1(file.readAll());
}

MailItemWindow* shownMail() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* mail = qobject_cast<MailItemWindow*>(widget); mail && mail->isVisible())
            return mail;
    return nullptr;
}

} // namespace

// The document editor and the signature window, opened as the contacts and
// call report windows open them; what they file is read back with plain SQL.
class TestWrite : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void kindsShapeTheWindow_data();
    void kindsShapeTheWindow();
    void toolbarKeysAndTooltips();
    void styleToggles_data();
    void styleToggles();
    void alignment_data();
    void alignment();
    void layoutFollowsTheWindow_data();
    void layoutFollowsTheWindow();
    void openDocumentFocusesAndPutsTheCaretAtTheEnd_data();
    void openDocumentFocusesAndPutsTheCaretAtTheEnd();
    void closingFilesEveryKind_data();
    void closingFilesEveryKind();
    void emailGoesToTheMailProgramAndIsFiled();
    void callReportGoesToTheMailProgramAndIsFiled();
    void reuseFilesOnlyTheNewDocument_data();
    void reuseFilesOnlyTheNewDocument();
    void documentStaysWithItsCompany_data();
    void documentStaysWithItsCompany();
    void documentOfACompanyGoneIsNotFiled_data();
    void documentOfACompanyGoneIsNotFiled();
    void refusedStoreKeepsTheEditorOpen();
    void endOfProgramFilesTheDocumentOnce();
    void signature_data();
    void signature();
    void signatureWithoutAVisibleEditorDoesNothing();
    void spellCheckReplacesALeftoverWorkingFile_data();
    void spellCheckReplacesALeftoverWorkingFile();
    void fontDialog_data();
    void fontDialog();
    void wordGetsTheLetterOnTheLetterhead();
    void wordWithoutTheLetterheadStopsQuietly();
    void letterheadShowsTheProfilesDetails_data();
    void letterheadShowsTheProfilesDetails();
    void letterBodyTakesTheLetterheadsFont_data();
    void letterBodyTakesTheLetterheadsFont();
    void redesignedLetterheadIsUsedAsItStands();

private:
    // Opens the editor as its openers do: kind, text (CR LF between lines),
    // the boxes of the kind, show, focus and caret at the end.
    FormWrite* openLikeAnOpener(const QString& kind, const QString& text);
    FormWrite* editor() const { return qobject_cast<FormWrite*>(Forms::loaded("FormWrite")); }
    template <class T = QWidget> T* child(const QString& name) const {
        T* widget = editor()->findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    RichTextBox* document() const { return child<RichTextBox>("RichTextBox1"); }
    QToolBar* toolbar() const { return child<QToolBar>("Toolbar1"); }
    QAction* button(const QString& key) const {
        return toolbar()->findChild<QAction*>(key, Qt::FindDirectChildrenOnly);
    }
    void clickButton(const QString& key) {
        QWidget* tool = toolbar()->widgetForAction(button(key));
        QVERIFY(tool && tool->isVisible());
        QTest::mouseClick(tool, Qt::LeftButton);
    }
    void closeEditor() {
        editor()->close();
        settle();
    }
    QList<QVariantList> correspondence() const {
        return m_session->rows(
            "TESSALY.mdb", "SELECT NUMBER01, DATE01, TEXT07, MEMO01 FROM TABLE09 ORDER BY ROWKEY");
    }
    QList<QVariantList> callReports() const {
        return m_session->rows(
            "TESSALY.mdb",
            "SELECT NUMBER01, DATE01, TEXT01, TEXT03, MEMO01 FROM TABLE08 ORDER BY ROWKEY");
    }
    static QString textOf(const QString& rtf) {
        QTextDocument read;
        if (!Rtf::toDocument(rtf, read))
            return QStringLiteral("<not RTF>");
        return read.toPlainText();
    }

    std::unique_ptr<TestSession> m_session;
    qlonglong m_company = 0; // the current company's key
};

void TestWrite::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE01 (TEXT01, TEXT18, TEXT20) VALUES "
                    "('Acme', 'Bob', 'Company'), ('O''Brien Farms', 'Ann', 'Company');");
    m_company = m_session
                    ->scalar("TESSALY.mdb",
                             "SELECT AUTONUMBER FROM TABLE01 WHERE TEXT01 = 'O''Brien Farms'")
                    .toLongLong();
    UserProfile profile;
    profile.name = "Ann Smith";
    profile.company = "Morvane Sales";
    QVERIFY(profile.save());
    m_session->registerForms();
    Forms::add("FormContacts", [] { return new ContactsStandIn; });
    Forms::add("FormActivities", [] { return new BrowserStandIn("FormActivities"); });
    Forms::add("FormCallReports", [] { return new BrowserStandIn("FormCallReports"); });
    Forms::add("FormRefusing", [] { return new RefusingStandIn; });

    // The current company is O'Brien Farms, its contact Dana O'Neill.
    auto* companies = Forms::get<FormCompanies>();
    companies->openView(false);
    DBCombo* selector = companies->selector();
    selector->setFocus();
    selector->lineEdit()->selectAll();
    QTest::keyClicks(selector->lineEdit(), "O'Brien");
    QTest::keyClick(selector->lineEdit(), Qt::Key_Return);
    QCOMPARE(companies->companyName(), QString("O'Brien Farms"));
    Forms::get("FormContacts");
}

void TestWrite::cleanup() {
    m_session.reset();
}

FormWrite* TestWrite::openLikeAnOpener(const QString& kind, const QString& text) {
    Form* form = Forms::get("FormWrite");
    form->findChild<QLineEdit*>("TextMethod")->setText(kind);
    auto* body = form->findChild<RichTextBox*>("RichTextBox1");
    body->setText(text);
    if (kind == "EMAIL")
        form->findChild<QLineEdit*>("TextTo")->setText("dana@obrien.test");
    if (kind == "REPORT") {
        form->findChild<QLineEdit*>("TextCompany")->setText("O'Brien Farms");
        form->findChild<QLineEdit*>("TextSalesPerson")->setText("Ann");
    }
    Forms::show("FormWrite");
    if (!QTest::qWaitForWindowExposed(form))
        qWarning("the editor was not shown");
    (kind == "EMAIL" ? static_cast<QWidget*>(form->findChild<QLineEdit*>("TextSubject")) : body)
        ->setFocus();
    body->moveCursor(QTextCursor::End);
    return qobject_cast<FormWrite*>(form);
}

void TestWrite::kindsShapeTheWindow_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("hidden");
    QTest::newRow("letter") << "LETTER"
                            << "Write a Letter to Dana O'Neill" << QStringList{"Outlook"};
    QTest::newRow("telefax") << "TELEFAX"
                             << "Write a Fax to Dana O'Neill" << QStringList{"Outlook"};
    QTest::newRow("e-mail") << "EMAIL"
                            << "Write an E-Mail to Dana O'Neill"
                            << QStringList{"Word",   "Font", "Left",   "Right",
                                           "Center", "Bold", "Italic", "Underline"};
    QTest::newRow("call report") << "REPORT"
                                 << "Write a Call Report related to O'Brien Farms" << QStringList{};
}

void TestWrite::kindsShapeTheWindow() {
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(QStringList, hidden);
    FormWrite* form = openLikeAnOpener(kind, "Text");
    QCOMPARE(form->windowTitle(), caption);
    for (QAction* action : toolbar()->actions())
        QVERIFY2(action->isVisible() != hidden.contains(action->objectName()),
                 qPrintable(action->objectName()));
    const bool email = kind == "EMAIL";
    QCOMPARE(child("FrameEMail")->isVisible(), email);
    for (const char* box : {"TextMethod", "TextCompany", "TextSalesPerson"})
        QVERIFY(!child(box)->isVisible());
    QVERIFY(!child("ProgressBar1")->isVisible());
    if (email) {
        QCOMPARE(child<QLineEdit>("TextTo")->text(), QString("dana@obrien.test"));
        // The header frame stands between the toolbar and the document.
        QVERIFY(child("FrameEMail")->geometry().bottom() < document()->geometry().top());
        QVERIFY(toolbar()->geometry().bottom() < child("FrameEMail")->geometry().top());
    } else {
        QVERIFY(toolbar()->geometry().bottom() < document()->geometry().top());
    }
}

void TestWrite::toolbarKeysAndTooltips() {
    openLikeAnOpener("REPORT", "Text");
    QStringList keys, tooltips;
    for (QAction* action : toolbar()->actions()) {
        keys << action->objectName();
        tooltips << action->toolTip();
    }
    QCOMPARE(keys, (QStringList{"Copy", "Cut", "Delete", "Undo", "Paste", "Font", "Left", "Right",
                                "Center", "Bold", "Italic", "Underline", "Spelling", "Signature",
                                "Word", "Outlook"}));
    QCOMPARE(tooltips, (QStringList{"Copy", "Cut", "Delete", "Undo", "Paste", "Font", "Align Left",
                                    "Align Right", "Align Center", "Bold", "Italic", "Underline",
                                    "Spell Check (F7)", "Signature (F11)", "Send to MS-Word",
                                    "Send to MS-Outlook"}));
    SendKeys::record();
    for (const char* key : {"Copy", "Cut", "Delete", "Undo", "Paste"})
        clickButton(key);
    QStringList sent;
    for (const SendKeys::Stroke& stroke : SendKeys::recorded())
        sent << QKeySequence(stroke.key | stroke.modifiers).toString();
    QCOMPARE(sent, (QStringList{"Ctrl+C", "Ctrl+X", "Del", "Ctrl+Z", "Ctrl+V"}));
}

void TestWrite::styleToggles_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("html");
    QTest::addColumn<bool>("after");
    QTest::newRow("bold, partly bold") << "Bold"
                                       << "plain <b>bold</b>" << false;
    QTest::newRow("bold, all bold") << "Bold"
                                    << "<b>all bold</b>" << false;
    QTest::newRow("bold, none bold") << "Bold"
                                     << "no bold" << true;
    QTest::newRow("italic, partly") << "Italic"
                                    << "<i>slanted</i> upright" << false;
    QTest::newRow("italic, none") << "Italic"
                                  << "upright" << true;
    QTest::newRow("underline, partly") << "Underline"
                                       << "a <u>line</u> b" << false;
    QTest::newRow("underline, none") << "Underline"
                                     << "no line" << true;
}

void TestWrite::styleToggles() {
    QFETCH(QString, key);
    QFETCH(QString, html);
    QFETCH(bool, after);
    openLikeAnOpener("LETTER", "");
    document()->setHtml(html);
    document()->selectAll();
    clickButton(key);
    const std::optional<bool> state = key == "Bold"     ? document()->selBold()
                                      : key == "Italic" ? document()->selItalic()
                                                        : document()->selUnderline();
    QCOMPARE(state, std::optional<bool>(after));
}

void TestWrite::alignment_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("alignment");
    QTest::newRow("right") << "Right" << int(Qt::AlignRight);
    QTest::newRow("centre") << "Center" << int(Qt::AlignHCenter);
    QTest::newRow("left again") << "Left" << int(Qt::AlignLeft);
}

void TestWrite::alignment() {
    QFETCH(QString, key);
    QFETCH(int, alignment);
    openLikeAnOpener("LETTER", "First paragraph\r\nSecond paragraph");
    clickButton("Center");
    clickButton(key);
    const QTextBlock last = document()->document()->lastBlock();
    const QTextBlock first = document()->document()->firstBlock();
    QCOMPARE(int(last.blockFormat().alignment() & Qt::AlignHorizontal_Mask), alignment);
    // Only the paragraph of the caret.
    QCOMPARE(int(first.blockFormat().alignment() & Qt::AlignHorizontal_Mask) &
                 (Qt::AlignRight | Qt::AlignHCenter),
             0);
}

void TestWrite::layoutFollowsTheWindow_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("heightLess");
    QTest::newRow("letter") << "LETTER" << 480 << 1025;
    QTest::newRow("e-mail") << "EMAIL" << 2040 << 2660;
}

void TestWrite::layoutFollowsTheWindow() {
    QFETCH(QString, kind);
    QFETCH(int, top);
    QFETCH(int, heightLess);
    FormWrite* form = openLikeAnOpener(kind, "Text");
    // The editor opens as large as the companies window.
    QCOMPARE(Twips::geometry(form).size(), Twips::geometry(Forms::get<FormCompanies>()).size());
    for (const QSize size : {QSize(9000, 6000), QSize(14000, 9000)}) {
        Twips::setSize(form, size.width(), size.height());
        settle();
        const QRect window = Twips::geometry(form);
        const QRect body = Twips::geometry(document());
        const int pixel = Twips::fromPixelsX(1) + 1; // rounding to whole pixels
        QVERIFY(std::abs(body.left() - 25) <= pixel);
        QVERIFY(std::abs(body.top() - top) <= pixel);
        QVERIFY(std::abs(body.width() - (window.width() - 225)) <= pixel);
        QVERIFY(std::abs(body.height() - (window.height() - heightLess)) <= pixel);
        QVERIFY(std::abs(Twips::geometry(toolbar()).width() - (window.width() - 25)) <= pixel);
    }
}

void TestWrite::openDocumentFocusesAndPutsTheCaretAtTheEnd_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("focused");
    QTest::newRow("letter") << "LETTER"
                            << "RichTextBox1";
    QTest::newRow("e-mail") << "EMAIL"
                            << "TextSubject";
}

void TestWrite::openDocumentFocusesAndPutsTheCaretAtTheEnd() {
    QFETCH(QString, kind);
    QFETCH(QString, focused);
    auto* form = qobject_cast<FormWrite*>(Forms::get("FormWrite"));
    form->openDocument(kind, "12/10/2026\r\n\r\nMs. Dana O'Neill\r\nRE: ");
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QCOMPARE(form->kind(), kind);
    QCOMPARE(document()->text(), QString("12/10/2026\n\nMs. Dana O'Neill\nRE: "));
    QTRY_VERIFY(child(focused)->hasFocus());
    QCOMPARE(document()->textCursor().position(), document()->text().size());
    QCOMPARE(child("FrameEMail")->isVisible(), kind == "EMAIL");
}

void TestWrite::closingFilesEveryKind_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("letter") << "LETTER"
                            << "Dear Dana,\r\nO'Brien's order is ready.";
    QTest::newRow("telefax") << "TELEFAX"
                             << "Telefax No. 555-0100\r\nRE: O'Brien";
    QTest::newRow("e-mail") << "EMAIL"
                            << "Hello Dana,\r\nsee you Tuesday.";
    QTest::newRow("call report") << "REPORT"
                                 << "Method of Contact: Meeting\r\nDetails: ";
    QTest::newRow("empty letter") << "LETTER"
                                  << "";
}

void TestWrite::closingFilesEveryKind() {
    QFETCH(QString, kind);
    QFETCH(QString, text);
    openLikeAnOpener(kind, text);
    auto* browser = qobject_cast<BrowserStandIn*>(
        Forms::get(kind == "REPORT" ? "FormCallReports" : "FormActivities"));
    if (kind == "EMAIL") {
        QTest::keyClicks(child<QLineEdit>("TextSubject"), "Tuesday's visit");
        QTest::keyClicks(child<QLineEdit>("TextCC"), "boss@obrien.test");
    }
    closeEditor();
    QVERIFY(!Forms::isLoaded("FormWrite"));
    QCOMPARE(browser->loads, 1); // the open browser lists the new row

    QString plain = text;
    plain.replace("\r\n", "\n");
    if (kind == "REPORT") {
        QVERIFY(correspondence().isEmpty());
        const auto rows = callReports();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].mid(0, 4),
                 (QVariantList{m_company, "2026-12-10", "O'Brien Farms", "Ann"}));
        QCOMPARE(textOf(rows[0][4].toString()), plain);
        return;
    }
    QVERIFY(callReports().isEmpty());
    const auto rows = correspondence();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].mid(0, 3), (QVariantList{m_company, "2026-12-10", kind}));
    const QString memo = rows[0][3].toString();
    if (kind == "EMAIL")
        QCOMPARE(memo, "TO: dana@obrien.test\r\nCC: boss@obrien.test\r\nBCC: \r\nSUBJECT: "
                       "Tuesday's visit\r\nDATE: 12/10/2026\r\n\r\n" +
                           text);
    else
        QCOMPARE(textOf(memo), plain);
}

void TestWrite::emailGoesToTheMailProgramAndIsFiled() {
    openLikeAnOpener("EMAIL", "");
    QTest::keyClicks(child<QLineEdit>("TextSubject"), "Prices for O'Brien");
    QTest::keyClicks(child<QLineEdit>("TextBCC"), "files@morvane.test");
    document()->setFocus();
    QTest::keyClicks(document(), "Dear Dana,");
    QTest::keyClick(document(), Qt::Key_Return);
    QTest::keyClicks(document(), "here they are.");
    clickButton("Outlook");
    settle();
    QVERIFY(!Forms::isLoaded("FormWrite"));

    const auto rows = correspondence();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][2], QVariant("EMAIL"));
    const QString memo = rows[0][3].toString();
    QVERIFY(memo.startsWith("TO: "));
    QCOMPARE(memo, QString("TO: dana@obrien.test\r\nCC: \r\nBCC: files@morvane.test\r\n"
                           "SUBJECT: Prices for O'Brien\r\nDATE: 12/10/2026\r\n\r\n"
                           "Dear Dana,\r\nhere they are."));

    // The mail waits in the mail program's window for the user to send it.
    MailItemWindow* mail = shownMail();
    QVERIFY(mail);
    const MailItem item = mail->item();
    QCOMPARE(item.To, QString("dana@obrien.test"));
    QCOMPARE(item.BCC, QString("files@morvane.test"));
    QCOMPARE(item.Subject, QString("Prices for O'Brien"));
    QCOMPARE(item.Body, QString("Dear Dana,\nhere they are."));
    QVERIFY(MailStore::messages("Outbox").isEmpty());
    QTest::mouseClick(mail->findChild<QPushButton*>("CommandSave"), Qt::LeftButton);
    QCOMPARE(MailStore::messages("Drafts").size(), 1);
}

void TestWrite::callReportGoesToTheMailProgramAndIsFiled() {
    openLikeAnOpener("REPORT", "Method of Contact: Meeting\r\n\r\nDetails: \r\n");
    QTest::keyClicks(document(), "Talked about the new barn.");
    clickButton("Outlook");
    settle();
    QVERIFY(!Forms::isLoaded("FormWrite"));
    MailItemWindow* mail = shownMail();
    QVERIFY(mail);
    QCOMPARE(mail->item().Subject, QString("Call Report - O'Brien Farms"));
    QCOMPARE(mail->item().To, QString());
    QCOMPARE(mail->item().Body,
             QString("Method of Contact: Meeting\n\nDetails: \nTalked about the new barn."));
    const auto rows = callReports();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][2], QVariant("O'Brien Farms"));
    QCOMPARE(textOf(rows[0][4].toString()),
             QString("Method of Contact: Meeting\n\nDetails: \nTalked about the new barn."));
    QVERIFY(correspondence().isEmpty());
}

void TestWrite::reuseFilesOnlyTheNewDocument_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("caption");
    QTest::newRow("letter, then telefax") << "LETTER"
                                          << "TELEFAX"
                                          << "Write a Fax to Dana O'Neill";
    QTest::newRow("letter, then e-mail") << "LETTER"
                                         << "EMAIL"
                                         << "Write an E-Mail to Dana O'Neill";
    QTest::newRow("e-mail, then letter") << "EMAIL"
                                         << "LETTER"
                                         << "Write a Letter to Dana O'Neill";
}

void TestWrite::reuseFilesOnlyTheNewDocument() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, caption);
    FormWrite* form = openLikeAnOpener(first, "The first document");
    QCOMPARE(openLikeAnOpener(second, "The second document"), form);
    QCOMPARE(form->windowTitle(), caption);
    QCOMPARE(child("FrameEMail")->isVisible(), second == "EMAIL");
    QCOMPARE(button("Word")->isVisible(), second != "EMAIL");
    QCOMPARE(button("Outlook")->isVisible(), second == "EMAIL");
    closeEditor();
    const auto rows = correspondence();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][2], QVariant(second));
    QVERIFY(rows[0][3].toString().contains("The second document") ||
            textOf(rows[0][3].toString()) == "The second document");
    QVERIFY(!rows[0][3].toString().contains("first"));
}

void TestWrite::documentStaysWithItsCompany_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<QString>("caption");
    QTest::newRow("letter, another company chosen") << "LETTER"
                                                    << "choose"
                                                    << "Write a Letter to Dana O'Neill";
    QTest::newRow("e-mail, another company chosen") << "EMAIL"
                                                    << "choose"
                                                    << "Write an E-Mail to Dana O'Neill";
    QTest::newRow("call report, another company chosen")
        << "REPORT"
        << "choose"
        << "Write a Call Report related to O'Brien Farms";
    QTest::newRow("telefax, companies window closed") << "TELEFAX"
                                                      << "close"
                                                      << "Write a Fax to Dana O'Neill";
    QTest::newRow("call report, companies window closed")
        << "REPORT"
        << "close"
        << "Write a Call Report related to O'Brien Farms";
}

void TestWrite::documentStaysWithItsCompany() {
    QFETCH(QString, kind);
    QFETCH(QString, meanwhile);
    QFETCH(QString, caption);
    FormWrite* form = openLikeAnOpener(kind, "For O'Brien Farms");
    auto* companies = Forms::get<FormCompanies>();
    if (meanwhile == "choose") {
        DBCombo* selector = companies->selector();
        selector->setFocus();
        selector->lineEdit()->selectAll();
        QTest::keyClicks(selector->lineEdit(), "Acme");
        QTest::keyClick(selector->lineEdit(), Qt::Key_Return);
        QCOMPARE(companies->companyName(), QString("Acme"));
    } else {
        QVERIFY(companies->close());
        settle();
        QVERIFY(!Forms::isLoaded("FormCompanies"));
    }
    // Another contact is shown meanwhile too.
    Forms::loaded("FormContacts")->findChild<QLineEdit*>("TEXT02")->setText("Zoe");
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    QCOMPARE(form->windowTitle(), caption);
    closeEditor();
    QVERIFY(!Forms::isLoaded("FormWrite"));
    QVERIFY(MsgBox::shown().isEmpty());
    const auto rows = kind == "REPORT" ? callReports() : correspondence();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0], QVariant(m_company));
}

void TestWrite::documentOfACompanyGoneIsNotFiled_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("answer");
    QTest::newRow("letter, close without storing") << "LETTER" << int(MsgBox::Yes);
    QTest::newRow("letter, keep the editor") << "LETTER" << int(MsgBox::No);
    QTest::newRow("call report, close without storing") << "REPORT" << int(MsgBox::Yes);
}

void TestWrite::documentOfACompanyGoneIsNotFiled() {
    QFETCH(QString, kind);
    QFETCH(int, answer);
    FormWrite* form = openLikeAnOpener(kind, "For O'Brien Farms");
    m_session->exec("TESSALY.mdb", "DELETE FROM TABLE01 WHERE TEXT01 = 'O''Brien Farms'");
    MsgBox::answerNext(MsgBox::Result(answer));
    QCOMPARE(form->close(), answer == MsgBox::Yes);
    settle();
    QCOMPARE(MsgBox::shown().size(), 1);
    QCOMPARE(MsgBox::last().text, FormWrite::companyGoneMessage("O'Brien Farms"));
    QCOMPARE(MsgBox::last().style, int(MsgBox::YesNo | MsgBox::Exclamation));
    QCOMPARE(Forms::isLoaded("FormWrite"), answer == MsgBox::No);
    // No orphan row, and nothing under another company.
    QVERIFY(correspondence().isEmpty());
    QVERIFY(callReports().isEmpty());
}

void TestWrite::refusedStoreKeepsTheEditorOpen() {
    m_session->exec("TESSALY.mdb", "CREATE TRIGGER refuse BEFORE INSERT ON TABLE09 "
                                   "BEGIN SELECT RAISE(ABORT, 'the disk is full'); END;");
    FormWrite* form = openLikeAnOpener("LETTER", "Keep me");
    const QString refused = "The document could not be stored, so the editor stays open: ";
    m_session->expectMessage(refused);
    QVERIFY(!form->close());
    settle();
    QCOMPARE(Forms::loaded("FormWrite"), form);
    QVERIFY(form->isVisible());
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Critical);
    QVERIFY2(MsgBox::last().text.contains("the disk is full"), qPrintable(MsgBox::last().text));
    m_session->expectMessage(refused);
    QVERIFY(!Forms::endProgram()); // the end of the program waits for it too
    QCOMPARE(Forms::loaded("FormWrite"), form);
    QVERIFY(correspondence().isEmpty());

    m_session->exec("TESSALY.mdb", "DROP TRIGGER refuse;");
    closeEditor();
    QVERIFY(!Forms::isLoaded("FormWrite"));
    const auto rows = correspondence();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(textOf(rows[0][3].toString()), QString("Keep me"));
}

void TestWrite::endOfProgramFilesTheDocumentOnce() {
    FormWrite* form = openLikeAnOpener("TELEFAX", "Sent at the end");
    // A window after the editor stops the end of the program: the editor stays
    // open with its document already stored.
    auto* refusing = qobject_cast<RefusingStandIn*>(Forms::get("FormRefusing"));
    QVERIFY(!Forms::endProgram());
    QCOMPARE(Forms::loaded("FormWrite"), form);
    QCOMPARE(correspondence().size(), 1);

    // Going on writing and ending again stores the same row, not a second one.
    QTest::keyClicks(document(), ", and changed.");
    refusing->refuse = false;
    QVERIFY(Forms::endProgram());
    settle();
    const auto rows = correspondence();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][2], QVariant("TELEFAX"));
    QCOMPARE(textOf(rows[0][3].toString()), QString("Sent at the end, and changed."));
}

void TestWrite::signature_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty, F11") << "" << true << "Best Regards,\n\nAnn Smith\nMorvane Sales";
    QTest::newRow("empty, button") << "" << false << "Best Regards,\n\nAnn Smith\nMorvane Sales";
    QTest::newRow("stored, F11") << "Cheers,\nAnn of O'Brien's" << true
                                 << "Cheers,\nAnn of O'Brien's";
}

void TestWrite::signature() {
    QFETCH(QString, stored);
    QFETCH(bool, byKey);
    QFETCH(QString, expected);
    if (!stored.isEmpty())
        m_session->exec(
            "User.mdb",
            QString("UPDATE TABLE02 SET TEXT06 = '%1'").arg(QString(stored).replace("'", "''")));
    openLikeAnOpener("LETTER", "Dear Dana,\r\nthanks.\r\nPLACEHOLDER");
    QVERIFY(document()->find("PLACEHOLDER") >= 0);
    if (byKey)
        QTest::keyClick(document(), Qt::Key_F11);
    else
        clickButton("Signature");
    Form* signature = Forms::loaded("FormSignature");
    QVERIFY(signature && signature->isVisible());
    QCOMPARE(signature->windowTitle(), QString("Signature"));
    QVERIFY(std::abs(Twips::geometry(signature).width() - 5220) <= Twips::fromPixelsX(1));
    settle();
    auto* text = signature->findChild<QPlainTextEdit*>("TextSignature");
    QCOMPARE(text->toPlainText(), expected);

    QTest::mouseClick(signature->findChild<QPushButton*>("CommandOK"), Qt::LeftButton);
    QCOMPARE(document()->text(), "Dear Dana,\nthanks.\n" + expected);
    QVERIFY(!signature->isVisible());
    QCOMPARE(Forms::loaded("FormSignature"), signature); // hidden, not closed
    QVERIFY(Clipboard::text().isEmpty());
    QCOMPARE(m_session->scalar("User.mdb", "SELECT TEXT06 FROM TABLE02").toString(), expected);
}

void TestWrite::signatureWithoutAVisibleEditorDoesNothing() {
    FormWrite* form = openLikeAnOpener("LETTER", "Unchanged");
    QTest::keyClick(document(), Qt::Key_F11);
    Form* signature = Forms::loaded("FormSignature");
    form->hide();
    QTest::mouseClick(signature->findChild<QPushButton*>("CommandOK"), Qt::LeftButton);
    QVERIFY(signature->isVisible());
    QCOMPARE(document()->text(), QString("Unchanged"));
}

void TestWrite::spellCheckReplacesALeftoverWorkingFile_data() {
    QTest::addColumn<bool>("byKey");
    QTest::newRow("F7") << true;
    QTest::newRow("button") << false;
}

void TestWrite::spellCheckReplacesALeftoverWorkingFile() {
    QFETCH(bool, byKey);
    const QString working = QDir(ProgramFolder::tempFolder()).filePath("SpellCheck.rtf");
    QDir().mkpath(ProgramFolder::tempFolder());
    QFile leftover(working);
    QVERIFY(leftover.open(QIODevice::WriteOnly));
    leftover.write("left over from an earlier check");
    leftover.close();

    openLikeAnOpener("REPORT", "The hosue is bigg.");
    QList<int> progress;
    SpellingDialog::setAnswerer([&](const SpellingPass::Question& q) {
        progress << child<QProgressBar>("ProgressBar1")->value();
        return SpellingPass::Decision{SpellingPass::Action::Change, q.suggestions.value(0)};
    });
    m_session->expectMessage("Spelling and Grammar Check is Complete.");
    if (byKey)
        QTest::keyClick(document(), Qt::Key_F7);
    else
        clickButton("Spelling");
    QCOMPARE(progress, (QList<int>{40, 40}));
    QCOMPARE(document()->text(), QString("The house is big."));
    QCOMPARE(MsgBox::last().text, QString("Spelling and Grammar Check is Complete."));
    QVERIFY(!child("ProgressBar1")->isVisible());
    QCOMPARE(textOf(readAll(working)).trimmed(), QString("The house is big."));
}

void TestWrite::fontDialog_data() {
    QTest::addColumn<bool>("cancel");
    QTest::newRow("cancelled") << true;
    QTest::newRow("chosen") << false;
}

void TestWrite::fontDialog() {
    QFETCH(bool, cancel);
    openLikeAnOpener("LETTER", "First line\r\n\r\nThird line");
    const QTextCharFormat before = formatAt(*document()->document(), "Third");
    document()->moveCursor(QTextCursor::Start); // only the caret, no selection
    QWidget* asked = nullptr;
    DocumentToolbar::setFontChooser([&](const QFont&, QWidget* parent) -> std::optional<QFont> {
        asked = parent;
        if (cancel)
            return std::nullopt;
        QFont font("DejaVu Serif", 14);
        font.setBold(true);
        return font;
    });
    if (cancel)
        m_session->expectMessage("Cancel was selected.");
    clickButton("Font");
    QCOMPARE(asked, static_cast<QWidget*>(editor()));
    QTextDocument& text = *document()->document();
    if (cancel) {
        QCOMPARE(MsgBox::last().text, QString("Cancel was selected."));
        QCOMPARE(MsgBox::last().style, int(MsgBox::OKOnly));
        QCOMPARE(formatAt(text, "Third"), before);
        return;
    }
    for (const char* word : {"First", "Third"}) {
        const QTextCharFormat format = formatAt(text, word);
        QCOMPARE(format.fontFamilies().toStringList().value(0), QString("DejaVu Serif"));
        QCOMPARE(format.fontPointSize(), 14.0);
        QCOMPARE(format.fontWeight(), int(QFont::Bold));
    }
    // The document keeps the font when stored.
    closeEditor();
    QTextDocument read;
    QVERIFY(Rtf::toDocument(correspondence()[0][3].toString(), read));
    QCOMPARE(formatAt(read, "Third").fontWeight(), int(QFont::Bold));
    QCOMPARE(formatAt(read, "Third").fontPointSize(), 14.0);
}

void TestWrite::wordGetsTheLetterOnTheLetterhead() {
    openLikeAnOpener("LETTER", "Dear Dana,\r\nthe order for O'Brien Farms is ready.");
    QVERIFY(document()->find("order") >= 0);
    clickButton("Bold");
    document()->moveCursor(QTextCursor::End);
    clickButton("Word");
    QVERIFY(Forms::isVisible("FormWrite")); // the editor stays open
    QVERIFY(correspondence().isEmpty());
    QVERIFY(Clipboard::text().isEmpty() && !Clipboard::hasRtf());
    QCOMPARE(Desktop::opened().size(), 1);
    const QString opened = Desktop::opened().first().toLocalFile();
    QCOMPARE(QFileInfo(opened).absolutePath(), QDir(m_session->file("Temp")).absolutePath());
    const QString written = readAll(opened);
    QVERIFY(written.contains("{\\info{\\title Letterhead}")); // the letterhead's own text
    QTextDocument read;
    QVERIFY(Rtf::toDocument(written, read));
    QVERIFY(read.toPlainText().contains("Dear Dana,\nthe order for O'Brien Farms is ready."));
    QCOMPARE(formatAt(read, "order").fontWeight(), int(QFont::Bold));
    QVERIFY(formatAt(read, "Dear").fontWeight() != int(QFont::Bold));
}

void TestWrite::wordWithoutTheLetterheadStopsQuietly() {
    QVERIFY(QFile::remove(m_session->file("Letterhead.rtf")));
    openLikeAnOpener("TELEFAX", "Telefax");
    const int messages = MsgBox::shown().size();
    clickButton("Word");
    QVERIFY(Desktop::opened().isEmpty());
    QCOMPARE(MsgBox::shown().size(), messages);
    QVERIFY(Forms::isVisible("FormWrite"));
    closeEditor();
    QCOMPARE(correspondence().size(), 1);
}

namespace {

// The text of a header or footer group of an RTF document, read through the
// codec: its paragraphs, one per line.
QStringList groupLines(const QString& rtf, const QString& destination) {
    const qsizetype begin = rtf.indexOf("{\\" + destination);
    if (begin < 0)
        return {"<no " + destination + ">"};
    int depth = 0;
    qsizetype end = begin;
    for (; end < rtf.size(); ++end) {
        if (rtf[end] == u'\\') {
            ++end; // an escaped brace is text
            continue;
        }
        if (rtf[end] == u'{')
            ++depth;
        else if (rtf[end] == u'}' && --depth == 0)
            break;
    }
    const qsizetype inner = begin + 2 + destination.size();
    return Rtf::toPlainText("{\\rtf1\\ansi\\ansicpg1252 " + rtf.mid(inner, end - inner) + "}")
        .split(u'\n');
}

// Stores the letterhead's details as the profile window does.
void storeProfile(const QStringList& d) {
    UserProfile profile = UserProfile::load();
    profile.company = d.value(0);
    profile.streetAddress = d.value(1);
    profile.postalCode = d.value(2);
    profile.city = d.value(3);
    profile.telephone = d.value(4);
    profile.telefax = d.value(5);
    profile.email = d.value(6);
    profile.registeredOffice = d.value(7);
    profile.bankDetails = d.value(8);
    QString error;
    QVERIFY2(profile.save(&error), qPrintable(error));
}

} // namespace

void TestWrite::letterheadShowsTheProfilesDetails_data() {
    QTest::addColumn<QStringList>("details"); // company, street, postal code, city,
                                              // telephone, telefax, e-mail, office, bank
    QTest::addColumn<QStringList>("header");  // the header's lines
    QTest::addColumn<QString>("footer");
    const QString dot = QString::fromUtf8(" \u00b7 ");
    const QStringList all{
        "Acme Sales Ltd", "Main Street 1", "12345",          "Springfield",
        "0123 456",       "0123 457",      "info@acme.test", "Registered in Springfield",
        "IBAN DE00 1234"};
    QTest::newRow("every detail")
        << all
        << QStringList{"Acme Sales Ltd", "Main Street 1" + dot + "12345 Springfield",
                       "Telephone 0123 456" + dot + "Telefax 0123 457" + dot + "info@acme.test", ""}
        << "Acme Sales Ltd" + dot + "Registered in Springfield" + dot + "IBAN DE00 1234";
    QStringList some = all;
    some[2] = some[5] = some[7] = "";
    QTest::newRow("no postal code, telefax or office")
        << some
        << QStringList{"Acme Sales Ltd", "Main Street 1" + dot + "Springfield",
                       "Telephone 0123 456" + dot + "info@acme.test", ""}
        << "Acme Sales Ltd" + dot + "IBAN DE00 1234";
    QStringList firsts = all;
    firsts[1] = firsts[4] = firsts[0] = "";
    QTest::newRow("the first of each line empty")
        << firsts
        << QStringList{"", "12345 Springfield", "Telefax 0123 457" + dot + "info@acme.test", ""}
        << "Registered in Springfield" + dot + "IBAN DE00 1234";
    QTest::newRow("only the company")
        << QStringList{"Acme Sales Ltd"} << QStringList{"Acme Sales Ltd", "", "", ""}
        << "Acme Sales Ltd";
    QTest::newRow("nothing") << QStringList{} << QStringList{"", "", "", ""} << "";
    QStringList special = all;
    special[0] = QString::fromUtf8("Müller & Söhne {GmbH}");
    special[1] = QString::fromUtf8("Königstraße 5\\7");
    special[3] = QString::fromUtf8("Zürich [Old Town]");
    QTest::newRow("accents, braces and backslashes")
        << special
        << QStringList{QString::fromUtf8("Müller & Söhne {GmbH}"),
                       QString::fromUtf8("Königstraße 5\\7") + dot +
                           QString::fromUtf8("12345 Zürich [Old Town]"),
                       "Telephone 0123 456" + dot + "Telefax 0123 457" + dot + "info@acme.test", ""}
        << QString::fromUtf8("Müller & Söhne {GmbH}") + dot + "Registered in Springfield" + dot +
               "IBAN DE00 1234";
}

void TestWrite::letterheadShowsTheProfilesDetails() {
    QFETCH(QStringList, details);
    QFETCH(QStringList, header);
    QFETCH(QString, footer);
    storeProfile(details);
    openLikeAnOpener("TELEFAX", "Dear Dana,\r\nplease find the offer attached.");
    clickButton("Word");
    QCOMPARE(Desktop::opened().size(), 1);
    const QString written = readAll(Desktop::opened().first().toLocalFile());
    QCOMPARE(groupLines(written, "header"), header);
    QCOMPARE(groupLines(written, "footer"), QStringList{footer});
    // The body is the editor's, on the page.
    QTextDocument read;
    QVERIFY(Rtf::toDocument(written, read));
    QVERIFY(read.toPlainText().contains("Dear Dana,\nplease find the offer attached."));
    // The rest of the letterhead stands, whatever details are empty: its
    // tables and information, and the body in its font.
    QVERIFY(written.contains("{\\info{\\title Letterhead}{\\author Tessaly}}"));
    QVERIFY(written.contains("{\\f1\\froman\\fcharset0 Times New Roman;}"));
    QCOMPARE(formatAt(read, "Dear").fontFamilies().toStringList().value(0),
             QString("Times New Roman"));
}

void TestWrite::letterBodyTakesTheLetterheadsFont_data() {
    QTest::addColumn<bool>("chooseFont");
    QTest::newRow("the letterhead's font") << false;
    QTest::newRow("a font the user chose") << true;
}

void TestWrite::letterBodyTakesTheLetterheadsFont() {
    QFETCH(bool, chooseFont);
    openLikeAnOpener("LETTER", "Dear Dana,\r\nthe order for O'Brien Farms is ready.");
    if (chooseFont) {
        DocumentToolbar::setFontChooser([](const QFont&, QWidget*) -> std::optional<QFont> {
            return QFont("DejaVu Sans Mono", 14);
        });
        clickButton("Font");
    }
    QVERIFY(document()->find("order") >= 0);
    clickButton("Bold");
    clickButton("Italic");
    clickButton("Underline");
    clickButton("Center");
    document()->moveCursor(QTextCursor::End);
    clickButton("Word");
    QCOMPARE(Desktop::opened().size(), 1);
    QTextDocument read;
    QVERIFY(Rtf::toDocument(readAll(Desktop::opened().first().toLocalFile()), read));
    // The letterhead writes its body in 11-point Times New Roman.
    const QString family = chooseFont ? "DejaVu Sans Mono" : "Times New Roman";
    const double size = chooseFont ? 14 : 11;
    for (const char* word : {"Dear", "order", "ready"}) {
        const QTextCharFormat format = formatAt(read, word);
        QCOMPARE(format.fontFamilies().toStringList().value(0), family);
        QCOMPARE(format.fontPointSize(), size);
    }
    const QTextCharFormat order = formatAt(read, "order");
    QCOMPARE(order.fontWeight(), int(QFont::Bold));
    QVERIFY(order.fontItalic() && order.fontUnderline());
    QVERIFY(formatAt(read, "Dear").fontWeight() != int(QFont::Bold));
    QCOMPARE(read.find("order").block().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    // What the editor shows and stores keeps its own font.
    QVERIFY(formatAt(*document()->document(), "Dear").fontFamilies().toStringList().value(0) !=
            "Times New Roman");
}

void TestWrite::redesignedLetterheadIsUsedAsItStands() {
    // A letterhead redesigned in another word processor: its own header,
    // no placeholders, a body font of its own.
    const QString designed =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\n"
        "{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}\n"
        "{\\colortbl;\\red0\\green0\\blue0;}\n"
        "{\\header\\pard\\qc\\f0\\fs20 Our own design \\'b7 Est. 1901 [not a placeholder]\\par}\n"
        "\\pard\\plain\\f1\\fs20 {\\*\\bkmkstart Body}{\\*\\bkmkend Body}\n"
        "\\par\n"
        "{\\footer\\pard\\qc\\f0\\fs14 Page footer\\par}\n"
        "}";
    QFile file(m_session->file("Letterhead.rtf"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(designed.toLatin1());
    file.close();
    storeProfile({"Acme Sales Ltd", "Main Street 1"});
    openLikeAnOpener("LETTER", "Dear Dana");
    clickButton("Word");
    QCOMPARE(Desktop::opened().size(), 1);
    const QString written = readAll(Desktop::opened().first().toLocalFile());
    // Byte for byte as designed, but for the body and the entries the
    // body's fonts and colours add to the tables.
    const qsizetype tableEnd = designed.indexOf("}}\n") + 1;
    const qsizetype header = designed.indexOf("{\\header");
    const qsizetype insertion = designed.indexOf("{\\*\\bkmkend Body}"); // after the start mark
    QVERIFY2(written.startsWith(designed.left(tableEnd)), qPrintable(written.left(300)));
    QVERIFY(written.contains(designed.mid(header, insertion - header)));
    QVERIFY(written.endsWith(designed.mid(insertion)));
    QCOMPARE(groupLines(written, "header"),
             QStringList{QString::fromUtf8("Our own design \u00b7 Est. 1901 [not a placeholder]")});
    QTextDocument read;
    QVERIFY(Rtf::toDocument(written, read));
    QCOMPARE(formatAt(read, "Dear").fontFamilies().toStringList().value(0), QString("Courier New"));
    QCOMPARE(formatAt(read, "Dear").fontPointSize(), 10.0);
}

QTEST_MAIN(TestWrite)
#include "tst_write.moc"
