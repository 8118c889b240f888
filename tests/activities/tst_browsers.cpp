#include "TestSession.h"

#include "activities/FormActivities.h"
#include "activities/FormAllCallReports.h"
#include "activities/FormCallReports.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "companies/FormCompanies.h"
#include "data/DataSource.h"
#include "formats/Rtf.h"
#include "mail/MailItemWindow.h"
#include "services/Clipboard.h"
#include "services/Colors.h"
#include "services/Desktop.h"
#include "services/MsgBox.h"
#include "services/Pointer.h"
#include "services/Twips.h"
#include "widgets/DBCombo.h"
#include "widgets/RichTextBox.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

// Thursday, 10 December 2026.
const QDate Today(2026, 12, 10);

QString rtf(const QString& text) {
    return Rtf::fromPlainText(text);
}

QString sqlText(const QString& text) {
    return "'" + QString(text).replace("'", "''") + "'";
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

// The call reports, correspondence and all-call-reports windows, driven
// through their controls; what they store is read back with plain SQL.
class TestBrowsers : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void functionKeysOpenTheBrowsers();
    void closingShowsTheMenuAndExitEndsTheProgram();
    void reportsOfTheCompanyByKeyOrNameNewestFirst();
    void navigationAndPositionLabel_data();
    void navigationAndPositionLabel();
    void captionFollowsTheCompany();
    void activationReadsAgain();
    void companyWithoutReports();
    void deleteAsks_data();
    void deleteAsks();
    void searchMatchesTheKeyIgnoringCase();
    void highlightWalksThroughTheMatches();
    void secondSearchKeepsThePosition();
    void resetListsEverythingAgain();
    void apostrophesInNamesAndPhrases_data();
    void apostrophesInNamesAndPhrases();
    void wildcardsInThePhraseStillWork();
    void zoomStopsAtTheLimit();
    void zoomChangesOnlyWhatIsShown();
    void editToggle_data();
    void editToggle();
    void editsAreStoredAtTheNextMove();
    void toolbarSendsKeystrokes();
    void kindOfDocumentChoosesWordOrOutlook_data();
    void kindOfDocumentChoosesWordOrOutlook();
    void pickerMovesTheCompaniesWindow();
    void pickerWithoutAMatchKeepsTheCompany();
    void wordGetsTheDocumentOnTheLetterhead();
    void wordWithoutTheLetterheadSaysSo();
    void outlookGetsANewMail_data();
    void outlookGetsANewMail();
    void editorFilesThroughTheBoundBoxes_data();
    void editorFilesThroughTheBoundBoxes();
    void editorFilesCorrespondenceThroughTheBoundBoxes();
    void loadIsInvokableByName();
    void allCallReportsOpenedByItsOpener();
    void allCallReportsFindsInEveryCompany();
    void resizeRules_data();
    void resizeRules();
    void hoverTexts_data();
    void hoverTexts();
    void manualChapterOnTheHelpPage();

private:
    FormCompanies* openCompanies();
    void chooseCompany(const QString& typed);
    DocumentBrowser* openBrowser(const char* window, const QString& company);
    template <class T = QWidget> static T* child(QWidget* form, const QString& name) {
        T* widget = form->findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    static void click(QWidget* form, const QString& name) {
        QTest::mouseClick(child<QPushButton>(form, name), Qt::LeftButton);
    }
    static QString shownText(DocumentBrowser* form) { return form->document()->text(); }
    static QString position(DocumentBrowser* form) {
        return child<QLabel>(form, "LabelPosition")->text();
    }
    // The texts of the listed documents, in the window's order.
    static QStringList listed(DocumentBrowser* form);
    void find(DocumentBrowser* form, const QString& phrase);
    int count(const QString& table) const {
        return m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM " + table).toInt();
    }

    std::unique_ptr<TestSession> m_session;
};

void TestBrowsers::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec(
        "TESSALY.mdb",
        "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT18, TEXT20) VALUES "
        "(1, 'Acme', 'Ann', 'Company'), (2, 'Baker''s Dozen', 'Ann', 'Company'), "
        "(3, 'Crane Works', 'Bob', 'Company'), (4, 'Delta Old', 'Bob', 'Archive');"
        "INSERT INTO TABLE08 (NUMBER01, TEXT01, TEXT03, DATE01, MEMO01) VALUES " +
            QString("(1, 'Acme', 'Ann', '2026-03-01', %1),")
                .arg(sqlText(rtf(
                    "Visit at Acme.\nThe PRICE list was discussed; the price of anvils rose."))) +
            QString("(1, 'Acme Corp', 'Ann', '2025-12-01', %1),")
                .arg(sqlText(rtf("Stored under the old name. Price talks."))) +
            QString("(99, 'Acme', 'Ann', '2026-05-05', %1),")
                .arg(sqlText(rtf("Same name, other key; price mentioned."))) +
            QString("(1, 'Acme', 'Ann', '2026-06-20', %1),")
                .arg(sqlText(rtf("Newest Acme report, nothing about money."))) +
            QString("(2, 'Baker''s Dozen', 'Ann', '2026-04-04', %1);")
                .arg(sqlText(rtf("Baker's price for bread; the baker's price is fair."))) +
            "INSERT INTO TABLE09 (NUMBER01, TEXT07, DATE01, MEMO01) VALUES " +
            QString("(1, 'LETTER', '2026-02-02', %1),").arg(sqlText(rtf("Dear Sir, a letter."))) +
            QString("(1, 'EMAIL', '2026-07-07', %1),")
                .arg(sqlText("TO: buyer@acme.example\r\nSUBJECT: Prices\r\n\r\nHello.")) +
            QString("(1, 'TELEFAX', '2026-01-01', %1),").arg(sqlText(rtf("A telefax."))) +
            QString("(2, 'LETTER', '2026-03-03', %1);").arg(sqlText(rtf("To the bakers."))));
    m_session->registerForms();
    Forms::show("FormMenu");
}

void TestBrowsers::cleanup() {
    m_session.reset();
}

FormCompanies* TestBrowsers::openCompanies() {
    Form* menu = Forms::loaded("FormMenu");
    if (!menu || !menu->isVisible())
        menu = Forms::show("FormMenu");
    QTest::mouseClick(child<QPushButton>(menu, "CommandCompanies"), Qt::LeftButton);
    return Forms::get<FormCompanies>();
}

void TestBrowsers::chooseCompany(const QString& typed) {
    DBCombo* combo = Forms::get<FormCompanies>()->selector();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), typed);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
}

DocumentBrowser* TestBrowsers::openBrowser(const char* window, const QString& company) {
    FormCompanies* companies = openCompanies();
    chooseCompany(company);
    if (companies->companyName() != company)
        qFatal("the companies window did not reach %s", qPrintable(company));
    const bool reports = QLatin1String(window) == QLatin1String(FormCallReports::Name);
    QTest::keyClick(companies, reports ? Qt::Key_F9 : Qt::Key_F4);
    auto* form = qobject_cast<DocumentBrowser*>(Forms::loaded(QLatin1String(window)));
    if (!form || !QTest::qWaitForWindowActive(form))
        qFatal("%s was not shown", window);
    settle(); // its activation has loaded the company's documents
    return form;
}

QStringList TestBrowsers::listed(DocumentBrowser* form) {
    QStringList texts;
    Recordset* records = form->documents()->recordset();
    if (records->recordCount() == 0)
        return texts;
    QTest::mouseClick(child<QToolButton>(form, "MoveFirst"), Qt::LeftButton);
    for (int i = 0; i < records->recordCount(); ++i) {
        texts << shownText(form);
        QTest::mouseClick(child<QToolButton>(form, "MoveNext"), Qt::LeftButton);
    }
    QTest::mouseClick(child<QToolButton>(form, "MoveFirst"), Qt::LeftButton);
    return texts;
}

void TestBrowsers::find(DocumentBrowser* form, const QString& phrase) {
    if (QWidget* search = form->findChild<QPushButton*>("CommandSearch"))
        QTest::mouseClick(search, Qt::LeftButton);
    auto* box = child<QLineEdit>(form, "TextFind");
    box->clear();
    QTest::keyClicks(box, phrase);
    click(form, "CommandFind");
}

void TestBrowsers::functionKeysOpenTheBrowsers() {
    FormCompanies* companies = openCompanies();
    QTest::keyClick(companies, Qt::Key_F9);
    Form* reports = Forms::loaded("FormCallReports");
    QVERIFY(reports && reports->isVisible());
    QCOMPARE(reports->windowTitle(), QString("Call Reports"));
    QVERIFY(!companies->isVisible());
    QVERIFY(!Forms::isVisible("FormMenu"));
    QVERIFY(!child<QPushButton>(reports, "CommandF9")->isEnabled());

    QTest::keyClick(reports, Qt::Key_F4);
    settle();
    Form* activities = Forms::loaded("FormActivities");
    QVERIFY(activities && activities->isVisible());
    QCOMPARE(activities->windowTitle(), QString("Activities"));
    QVERIFY(!Forms::isLoaded("FormCallReports"));
    QVERIFY(!Forms::isVisible("FormMenu"));

    click(activities, "CommandF9"); // the button does what the key does
    settle();
    QVERIFY(Forms::isVisible("FormCallReports"));
    QVERIFY(!Forms::isLoaded("FormActivities"));
    QTest::keyClick(Forms::loaded("FormCallReports"), Qt::Key_F1);
    QVERIFY(Forms::isVisible("FormHelp"));
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestBrowsers::closingShowsTheMenuAndExitEndsTheProgram() {
    DocumentBrowser* form = openBrowser("FormActivities", "Acme");
    QVERIFY(!Forms::isVisible("FormMenu"));
    form->close();
    settle();
    QVERIFY(!Forms::isLoaded("FormActivities"));
    QVERIFY(Forms::isVisible("FormMenu"));

    form = openBrowser("FormCallReports", "Acme");
    click(form, "CommandExit");
    settle();
    QVERIFY(Forms::all().isEmpty());
}

void TestBrowsers::reportsOfTheCompanyByKeyOrNameNewestFirst() {
    DocumentBrowser* form = openBrowser("FormCallReports", "Acme");
    // By key under an older name, and by name under another key; not Baker's.
    QCOMPARE(listed(form), (QStringList{"Newest Acme report, nothing about money.",
                                        "Same name, other key; price mentioned.",
                                        "Visit at Acme.\nThe PRICE list was discussed; the price "
                                        "of anvils rose.",
                                        "Stored under the old name. Price talks."}));
    QVERIFY(form->document()->isReadOnly());
    QCOMPARE(child<QLineEdit>(form, "TEXT01")->text(), QString("Acme"));
    QCOMPARE(child<QLineEdit>(form, "TEXT03")->text(), QString("Ann"));
    QCOMPARE(child<QLineEdit>(form, "NUMBER01")->text(), QString("1"));
    QVERIFY(!child(form, "TEXT01")->isVisible());
    QVERIFY(!child(form, "DATE01")->isVisible());
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestBrowsers::navigationAndPositionLabel_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("last");
    QTest::newRow("call reports") << "FormCallReports"
                                  << "REPORT 1 OF 4 REPORTS"
                                  << "REPORT 2 OF 4 REPORTS"
                                  << "REPORT 4 OF 4 REPORTS";
    QTest::newRow("correspondence") << "FormActivities"
                                    << "RECORD 1 OF 3 RECORDS"
                                    << "RECORD 2 OF 3 RECORDS"
                                    << "RECORD 3 OF 3 RECORDS";
}

void TestBrowsers::navigationAndPositionLabel() {
    QFETCH(QString, window);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, last);
    DocumentBrowser* form = openBrowser(qPrintable(window), "Acme");
    auto press = [form](const char* name) {
        QTest::mouseClick(child<QToolButton>(form, name), Qt::LeftButton);
    };
    QCOMPARE(position(form), first);
    press("MovePrevious"); // stays on the first
    QCOMPARE(position(form), first);
    press("MoveNext");
    QCOMPARE(position(form), second);
    press("MoveLast");
    QCOMPARE(position(form), last);
    press("MoveNext"); // stays on the last
    QCOMPARE(position(form), last);
    QVERIFY(!shownText(form).isEmpty());
    press("MoveFirst");
    QCOMPARE(position(form), first);
}

void TestBrowsers::captionFollowsTheCompany() {
    auto* form = qobject_cast<FormCallReports*>(openBrowser("FormCallReports", "Acme"));
    form->TimerLoad_Timer();
    QCOMPARE(form->windowTitle(), QString("Call Reports - Acme"));
    QVERIFY(child<QTimer>(form, "TimerLoad")->isActive());
    QCOMPARE(child<QTimer>(form, "TimerLoad")->interval(), 100);
    Forms::get<FormCompanies>()->dataTable01()->recordset()->moveLast();
    form->TimerLoad_Timer();
    QCOMPARE(form->windowTitle(), QString("Call Reports - Crane Works"));
}

void TestBrowsers::activationReadsAgain() {
    DocumentBrowser* form = openBrowser("FormCallReports", "Acme");
    QTest::mouseClick(child<QToolButton>(form, "MoveLast"), Qt::LeftButton);
    form->Form_Activate();
    QCOMPARE(position(form), QString("REPORT 1 OF 4 REPORTS"));
    // A report filed by another part of the program, on its own connection.
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE08 (NUMBER01, TEXT01, TEXT03, DATE01, MEMO01) VALUES (1, "
                    "'Acme', 'Ann', '2026-12-01', " +
                        sqlText(rtf("Filed elsewhere.")) + ")");
    QTest::mouseClick(child<QToolButton>(form, "MoveLast"), Qt::LeftButton);
    form->Form_Activate();
    QCOMPARE(position(form), QString("REPORT 1 OF 5 REPORTS"));
    QCOMPARE(shownText(form), QString("Filed elsewhere."));
}

void TestBrowsers::companyWithoutReports() {
    DocumentBrowser* form = openBrowser("FormCallReports", "Crane Works");
    QCOMPARE(shownText(form), QString());
    QCOMPARE(position(form), QString("REPORT 0 OF 0 REPORTS"));
    MsgBox::clearShown();
    MsgBox::answerNext(MsgBox::Yes);
    click(form, "CommandDelete");
    QCOMPARE(MsgBox::shown().size(), 1); // the question, and nothing more
    QCOMPARE(MsgBox::last().text, QString("Are you sure you want to delete this call report?"));
    QCOMPARE(count("TABLE08"), 5);
}

void TestBrowsers::deleteAsks_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("left");
    QTest::newRow("report, yes") << "FormCallReports"
                                 << "Are you sure you want to delete this call report?"
                                 << int(MsgBox::Yes) << "TABLE08" << 4;
    QTest::newRow("report, no") << "FormCallReports"
                                << "Are you sure you want to delete this call report?"
                                << int(MsgBox::No) << "TABLE08" << 5;
    QTest::newRow("correspondence, yes")
        << "FormActivities"
        << "Are you sure you want to delete this record?" << int(MsgBox::Yes) << "TABLE09" << 3;
    QTest::newRow("correspondence, no")
        << "FormActivities"
        << "Are you sure you want to delete this record?" << int(MsgBox::No) << "TABLE09" << 4;
}

void TestBrowsers::deleteAsks() {
    QFETCH(QString, window);
    QFETCH(QString, question);
    QFETCH(int, answer);
    QFETCH(QString, table);
    QFETCH(int, left);
    DocumentBrowser* form = openBrowser(qPrintable(window), "Acme");
    QTest::mouseClick(child<QToolButton>(form, "MoveNext"), Qt::LeftButton);
    const QString second = shownText(form);
    const int before = form->documents()->recordset()->recordCount();
    MsgBox::clearShown();
    MsgBox::answerNext(MsgBox::Result(answer));
    click(form, "CommandDelete");
    QCOMPARE(MsgBox::shown().size(), 1);
    QCOMPARE(MsgBox::last().text, question);
    QCOMPARE(MsgBox::last().style, MsgBox::YesNo | MsgBox::Question);
    QCOMPARE(MsgBox::last().title, QString("Tessaly"));
    QCOMPARE(count(table), left);
    const bool deleted = answer == MsgBox::Yes;
    QCOMPARE(form->documents()->recordset()->recordCount(), deleted ? before - 1 : before);
    QCOMPARE(listed(form).contains(second), !deleted);
    QCOMPARE(m_session
                 ->scalar("TESSALY.mdb", QString("SELECT COUNT(*) FROM %1 WHERE MEMO01 = %2")
                                             .arg(table, sqlText(second)))
                 .toInt(),
             0); // plain text is never what is stored
}

void TestBrowsers::searchMatchesTheKeyIgnoringCase() {
    DocumentBrowser* form = openBrowser("FormCallReports", "Acme");
    QVERIFY(!child(form, "TextFind")->isVisible());
    QVERIFY(!child(form, "CommandFind")->isVisible());
    QVERIFY(!child(form, "CommandReset")->isVisible());
    click(form, "CommandSearch");
    QVERIFY(child(form, "TextFind")->isVisible());
    QVERIFY(child(form, "CommandFind")->isVisible());
    QVERIFY(child(form, "CommandReset")->isVisible());
    QTRY_VERIFY(child(form, "TextFind")->hasFocus());
    QVERIFY(!form->searchTimer()->isActive());
    find(form, "price");
    // Only the company key counts here: the report under the same name and
    // another key is left out; letter case does not matter.
    QCOMPARE(listed(form), (QStringList{"Visit at Acme.\nThe PRICE list was discussed; the price "
                                        "of anvils rose.",
                                        "Stored under the old name. Price talks."}));
    QCOMPARE(position(form), QString("REPORT 1 OF 2 REPORTS"));
    QVERIFY(form->searchTimer()->isActive());
    QCOMPARE(form->searchTimer()->interval(), 1000);

    find(form, "no such phrase");
    QCOMPARE(form->documents()->recordset()->recordCount(), 0);
    QCOMPARE(shownText(form), QString());
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestBrowsers::highlightWalksThroughTheMatches() {
    DocumentBrowser* form = openBrowser("FormCallReports", "Acme");
    find(form, "price");
    RichTextBox* box = form->document();
    const QString text = box->text();
    const int first = int(text.indexOf("PRICE"));
    const int second = int(text.indexOf("price"));
    QVERIFY(first > 0 && second > first);

    form->TimerSearch_Timer();
    QCOMPARE(form->searchPhrase(), QString("price"));
    QCOMPARE(box->selStart(), first);
    QCOMPARE(box->selText(), QString("PRICE"));
    QTRY_VERIFY(box->hasFocus());
    QCOMPARE(form->searchPosition(), first + 5);

    form->TimerSearch_Timer();
    QCOMPARE(box->selStart(), second);
    QCOMPARE(box->selText(), QString("price"));
    QCOMPARE(form->searchPosition(), second + 5);

    form->TimerSearch_Timer(); // no further match: near the top again
    QCOMPARE(form->searchPosition(), 4);
    QCOMPARE(box->selStart(), second); // the last match stays selected
    form->TimerSearch_Timer();
    QCOMPARE(box->selStart(), first);
}

void TestBrowsers::secondSearchKeepsThePosition() {
    DocumentBrowser* form = openBrowser("FormCallReports", "Acme");
    find(form, "price");
    form->TimerSearch_Timer();
    const int kept = form->searchPosition();
    click(form, "CommandReset");
    QCOMPARE(form->searchPosition(), kept);
    find(form, "anvils");
    QCOMPARE(form->searchPosition(), kept);
    form->TimerSearch_Timer(); // from where the last search stopped
    const QString text = form->document()->text();
    QCOMPARE(form->document()->selStart(), int(text.indexOf("anvils", kept)));
    QCOMPARE(form->searchPhrase(), QString("anvils"));

    // The phrase is read again on every tick.
    auto* box = child<QLineEdit>(form, "TextFind");
    box->setText("Visit");
    form->TimerSearch_Timer();
    QCOMPARE(form->searchPhrase(), QString("Visit"));
}

void TestBrowsers::resetListsEverythingAgain() {
    DocumentBrowser* form = openBrowser("FormCallReports", "Acme");
    find(form, "price");
    QCOMPARE(form->documents()->recordset()->recordCount(), 2);
    click(form, "CommandReset");
    QVERIFY(!form->searchTimer()->isActive());
    QCOMPARE(child<QLineEdit>(form, "TextFind")->text(), QString());
    QTRY_VERIFY(child(form, "TextFind")->hasFocus());
    QCOMPARE(form->documents()->recordset()->recordCount(), 4);
    QCOMPARE(position(form), QString("REPORT 1 OF 4 REPORTS"));
}

void TestBrowsers::apostrophesInNamesAndPhrases_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<int>("listedBefore");
    QTest::addColumn<int>("found");
    QTest::newRow("call reports") << "FormCallReports"
                                  << "baker's PRICE" << 1 << 1;
    QTest::newRow("call reports, quote alone") << "FormCallReports"
                                               << "'" << 1 << 1;
    QTest::newRow("correspondence") << "FormActivities"
                                    << "bakers' letter" << 1 << 0;
}

void TestBrowsers::apostrophesInNamesAndPhrases() {
    QFETCH(QString, window);
    QFETCH(QString, phrase);
    QFETCH(int, listedBefore);
    QFETCH(int, found);
    DocumentBrowser* form = openBrowser(qPrintable(window), "Baker's Dozen");
    QCOMPARE(form->documents()->recordset()->recordCount(), listedBefore);
    find(form, phrase);
    QVERIFY2(MsgBox::shown().isEmpty(), qPrintable(MsgBox::last().text));
    QCOMPARE(form->documents()->recordset()->recordCount(), found);
    QCOMPARE(count("TABLE08"), 5); // and nothing else ran
    QCOMPARE(count("TABLE09"), 4);
}

void TestBrowsers::wildcardsInThePhraseStillWork() {
    DocumentBrowser* form = openBrowser("FormCallReports", "Acme");
    find(form, "price*anvils");
    QCOMPARE(form->documents()->recordset()->recordCount(), 1);
    find(form, "pr?ce");
    QCOMPARE(form->documents()->recordset()->recordCount(), 2);
}

void TestBrowsers::zoomStopsAtTheLimit() {
    DocumentBrowser* form = openBrowser("FormCallReports", "Acme");
    const int start = form->zoomSize();
    click(form, "CommandZoomIn");
    QCOMPARE(form->zoomSize(), start + 2);
    click(form, "CommandZoomOut");
    QCOMPARE(form->zoomSize(), start);
    int steps = 0;
    m_session->expectMessage("Cannot zoom any further.");
    while (MsgBox::shown().isEmpty() && steps < 100) {
        click(form, "CommandZoomOut");
        ++steps;
    }
    QCOMPARE(MsgBox::shown().size(), 1);
    QCOMPARE(MsgBox::last().text, QString("Cannot zoom any further."));
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Information);
    QVERIFY(form->zoomSize() > 0 && form->zoomSize() - 2 <= 0); // the size stays
    QCOMPARE(steps, start / 2);
}

void TestBrowsers::zoomChangesOnlyWhatIsShown() {
    QTextDocument big;
    big.setHtml("<p><span style='font-size:12pt'>Twelve</span> "
                "<span style='font-size:20pt'>Twenty</span></p>");
    m_session->exec("TESSALY.mdb",
                    QString("UPDATE TABLE08 SET MEMO01 = %1 WHERE DATE01 = '2026-06-20'")
                        .arg(sqlText(Rtf::fromDocument(big))));
    const QString stored =
        m_session->scalar("TESSALY.mdb", "SELECT MEMO01 FROM TABLE08 WHERE DATE01 = '2026-06-20'")
            .toString();
    DocumentBrowser* form = openBrowser("FormCallReports", "Acme");
    auto sizeOf = [form](const QString& word) {
        return form->document()->document()->find(word).charFormat().fontPointSize();
    };
    QCOMPARE(sizeOf("Twelve"), 12.0);
    click(form, "CommandZoomIn");
    click(form, "CommandZoomIn");
    QCOMPARE(sizeOf("Twelve"), 16.0);
    QCOMPARE(sizeOf("Twenty"), 24.0);
    QVERIFY(!form->documents()->recordset()->hasPendingEdit());
    // The next document is shown at the same zoom; nothing was stored.
    QTest::mouseClick(child<QToolButton>(form, "MoveNext"), Qt::LeftButton);
    QTest::mouseClick(child<QToolButton>(form, "MoveFirst"), Qt::LeftButton);
    QCOMPARE(sizeOf("Twelve"), 16.0);
    QCOMPARE(
        m_session->scalar("TESSALY.mdb", "SELECT MEMO01 FROM TABLE08 WHERE DATE01 = '2026-06-20'")
            .toString(),
        stored);
    click(form, "CommandZoomOut");
    click(form, "CommandZoomOut");
    QCOMPARE(sizeOf("Twenty"), 20.0);
}

void TestBrowsers::editToggle_data() {
    QTest::addColumn<QString>("window");
    QTest::newRow("call reports") << "FormCallReports";
    QTest::newRow("correspondence") << "FormActivities";
}

void TestBrowsers::editToggle() {
    QFETCH(QString, window);
    DocumentBrowser* form = openBrowser(qPrintable(window), "Acme");
    auto* toolbar = child<QToolBar>(form, "Toolbar1");
    QWidget* positionLabel = child(form, "LabelPosition");
    HoverHelp* help = form->hoverHelp();
    QCOMPARE(Colors::background(form), Colors::White);
    QVERIFY(form->document()->isReadOnly());
    QVERIFY(!toolbar->isVisible());
    QCOMPARE(help->text(child(form, "CommandEdit")), QString("Edit information."));

    click(form, "CommandEdit");
    QVERIFY(form->isEditing());
    QCOMPARE(Colors::background(form), Colors::ButtonFace);
    QCOMPARE(Colors::background(positionLabel), Colors::ButtonFace);
    QVERIFY(!form->document()->isReadOnly());
    QVERIFY(toolbar->isVisible());
    QCOMPARE(help->text(child(form, "CommandEdit")),
             QString("Lock the controls when finished editing."));
    if (QWidget* method = form->findChild<QWidget*>("LabelMethod"))
        QCOMPARE(Colors::background(method), Colors::ButtonFace);

    click(form, "CommandEdit");
    QVERIFY(!form->isEditing());
    QCOMPARE(Colors::background(form), Colors::White);
    QCOMPARE(Colors::background(positionLabel), Colors::White);
    QVERIFY(form->document()->isReadOnly());
    QVERIFY(!toolbar->isVisible());
    if (QWidget* method = form->findChild<QWidget*>("LabelMethod"))
        QCOMPARE(Colors::background(method), Colors::White);
}

void TestBrowsers::editsAreStoredAtTheNextMove() {
    DocumentBrowser* form = openBrowser("FormCallReports", "Acme");
    click(form, "CommandEdit");
    RichTextBox* box = form->document();
    box->setFocus();
    box->moveCursor(QTextCursor::End);
    QTest::keyClicks(box, " Follow up.");
    QVERIFY(form->documents()->recordset()->hasPendingEdit());
    QTest::mouseClick(child<QToolButton>(form, "MoveNext"), Qt::LeftButton);
    const QString stored =
        m_session->scalar("TESSALY.mdb", "SELECT MEMO01 FROM TABLE08 WHERE DATE01 = '2026-06-20'")
            .toString();
    QVERIFY(Rtf::isRtf(stored));
    QCOMPARE(Rtf::toPlainText(stored).trimmed(),
             QString("Newest Acme report, nothing about money. Follow up."));
}

void TestBrowsers::toolbarSendsKeystrokes() {
    DocumentBrowser* form = openBrowser("FormCallReports", "Acme");
    click(form, "CommandEdit");
    RichTextBox* box = form->document();
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    box->selectAll();
    auto* toolbar = child<QToolBar>(form, "Toolbar1");
    auto trigger = [toolbar](const char* key) {
        for (QAction* action : toolbar->actions())
            if (action->objectName() == QLatin1String(key))
                action->trigger();
        settle();
    };
    trigger("Cut");
    QCOMPARE(box->text(), QString());
    trigger("Undo");
    QCOMPARE(box->text(), QString("Newest Acme report, nothing about money."));
}

void TestBrowsers::kindOfDocumentChoosesWordOrOutlook_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("word");
    QTest::addColumn<bool>("outlook");
    QTest::newRow("e-mail") << "EMAIL" << false << true;
    QTest::newRow("letter") << "LETTER" << true << false;
    QTest::newRow("telefax") << "TELEFAX" << true << false;
    QTest::newRow("other kinds leave both") << "MEMO" << false << true;
}

void TestBrowsers::kindOfDocumentChoosesWordOrOutlook() {
    QFETCH(QString, kind);
    QFETCH(bool, word);
    QFETCH(bool, outlook);
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE09 (NUMBER01, TEXT07, DATE01, MEMO01) VALUES "
                                   "(1, " +
                                       sqlText(kind) + ", '2026-12-01', 'The newest.')");
    DocumentBrowser* form = openBrowser("FormActivities", "Acme");
    // The e-mail shown second sets the buttons first.
    QTest::mouseClick(child<QToolButton>(form, "MoveNext"), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(form, "LabelMethod")->text(), QString("EMAIL"));
    form->TimerLoad_Timer();
    QTest::mouseClick(child<QToolButton>(form, "MoveFirst"), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(form, "LabelMethod")->text(), kind);
    QVERIFY(child(form, "LabelMethod")->isVisible());
    form->TimerLoad_Timer();
    QCOMPARE(child(form, "CommandWord")->isEnabled(), word);
    QCOMPARE(child(form, "CommandOutlook")->isEnabled(), outlook);
    QCOMPARE(form->windowTitle(), QString("Activities - Acme"));
}

void TestBrowsers::pickerMovesTheCompaniesWindow() {
    DocumentBrowser* form = openBrowser("FormCallReports", "Acme");
    auto* picker = child<DBCombo>(form, "DBComboSelect");
    QCOMPARE(picker->text(), QString("Select a Company..."));
    QCOMPARE(picker->count(), 3); // the active companies, as the companies window lists them
    picker->setFocus();
    picker->lineEdit()->selectAll();
    QTest::keyClicks(picker->lineEdit(), "bak");
    FormCompanies* companies = Forms::get<FormCompanies>();
    QCOMPARE(companies->companyName(), QString("Baker's Dozen"));
    QCOMPARE(companies->selector()->text(), QString("Baker's Dozen"));
    QCOMPARE(listed(form), QStringList{"Baker's price for bread; the baker's price is fair."});
    QTest::keyClick(picker->lineEdit(), Qt::Key_Return);
    QCOMPARE(companies->companyName(), QString("Baker's Dozen"));

    picker->lineEdit()->selectAll();
    QTest::keyClicks(picker->lineEdit(), "Crane");
    QTest::keyClick(picker->lineEdit(), Qt::Key_Return);
    QCOMPARE(companies->companyName(), QString("Crane Works"));
    QCOMPARE(form->documents()->recordset()->recordCount(), 0);
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestBrowsers::pickerWithoutAMatchKeepsTheCompany() {
    DocumentBrowser* form = openBrowser("FormCallReports", "Acme");
    auto* picker = child<DBCombo>(form, "DBComboSelect");
    picker->setFocus();
    picker->lineEdit()->selectAll();
    QTest::keyClicks(picker->lineEdit(), "Zebra");
    QTest::keyClick(picker->lineEdit(), Qt::Key_Return);
    QCOMPARE(Forms::get<FormCompanies>()->companyName(), QString("Acme"));
    QCOMPARE(form->documents()->recordset()->recordCount(), 4);
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestBrowsers::wordGetsTheDocumentOnTheLetterhead() {
    QTextDocument formatted;
    formatted.setHtml("<p>Met the <b>buyer</b> about prices.</p>");
    m_session->exec("TESSALY.mdb",
                    QString("UPDATE TABLE08 SET MEMO01 = %1 WHERE DATE01 = '2026-06-20'")
                        .arg(sqlText(Rtf::fromDocument(formatted))));
    DocumentBrowser* form = openBrowser("FormCallReports", "Acme");
    Clipboard::setText("left over");
    click(form, "CommandWord");
    QCOMPARE(Desktop::opened().size(), 1);
    const QString path = Desktop::opened().first().toLocalFile();
    QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(m_session->file("Temp")).absoluteFilePath());
    const QString written = readAll(path);
    QVERIFY(written.contains("{\\header")); // the letterhead's own header
    QTextDocument read;
    QVERIFY(Rtf::toDocument(written, read));
    QVERIFY(read.toPlainText().contains("Met the buyer about prices."));
    const QTextCursor buyer = read.find("buyer");
    QCOMPARE(buyer.charFormat().fontWeight(), int(QFont::Bold));
    QVERIFY(Clipboard::text().isEmpty() && !Clipboard::hasRtf());
    QVERIFY(!child(form, "LabelLoad")->isVisible());
    QVERIFY(!child(form, "ImageWord")->isVisible());
    QVERIFY(!Pointer::isBusy());
    QVERIFY(MsgBox::shown().isEmpty());

    // A document stored as plain text goes as plain paragraphs.
    DocumentBrowser* activities = openBrowser("FormActivities", "Acme");
    QTest::mouseClick(child<QToolButton>(activities, "MoveFirst"), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(activities, "LabelMethod")->text(), QString("EMAIL"));
    click(activities, "CommandWord");
    QCOMPARE(Desktop::opened().size(), 2);
    QVERIFY(Rtf::toPlainText(readAll(Desktop::opened().last().toLocalFile()))
                .contains("TO: buyer@acme.example\nSUBJECT: Prices"));
}

void TestBrowsers::wordWithoutTheLetterheadSaysSo() {
    QFile::remove(m_session->file("Letterhead.rtf"));
    DocumentBrowser* form = openBrowser("FormCallReports", "Acme");
    m_session->expectMessage("The template " + m_session->file("Letterhead.rtf") +
                             " was not found.");
    click(form, "CommandWord");
    QVERIFY(Desktop::opened().isEmpty());
    QCOMPARE(MsgBox::shown().size(), 1);
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Critical);
    QVERIFY(MsgBox::last().text.contains("Letterhead.rtf"));
    QVERIFY(!child(form, "LabelLoad")->isVisible());
    QVERIFY(!Pointer::isBusy());
}

void TestBrowsers::outlookGetsANewMail_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("body");
    QTest::newRow("call reports") << "FormCallReports"
                                  << "Call Report - Acme"
                                  << "Newest Acme report, nothing about money.";
    QTest::newRow("correspondence") << "FormActivities"
                                    << ""
                                    << "TO: buyer@acme.example\r\nSUBJECT: Prices\r\n\r\nHello.";
    QTest::newRow("all call reports") << "FormAllCallReports"
                                      << "Call Report"
                                      << "Newest Acme report, nothing about money.";
}

void TestBrowsers::outlookGetsANewMail() {
    QFETCH(QString, window);
    QFETCH(QString, subject);
    QFETCH(QString, body);
    DocumentBrowser* form = nullptr;
    if (window == "FormAllCallReports")
        form = qobject_cast<DocumentBrowser*>(Forms::show(window));
    else
        form = openBrowser(qPrintable(window), "Acme");
    click(form, "CommandOutlook");
    MailItemWindow* mail = shownMail();
    QVERIFY(mail);
    QCOMPARE(mail->item().Subject, subject);
    // The compose window shows the lines; each ended in CR LF.
    QCOMPARE(mail->item().Body.trimmed(), QString(body).replace("\r\n", "\n"));
    QVERIFY(mail->item().To.isEmpty());
    QVERIFY(!child(form, "LabelLoad")->isVisible());
    QVERIFY(!child(form, "ImageOutlook")->isVisible());
    QVERIFY(!Pointer::isBusy());
}

void TestBrowsers::editorFilesThroughTheBoundBoxes_data() {
    QTest::addColumn<QString>("savePoint");
    QTest::newRow("update") << "update";
    QTest::newRow("move") << "move";
    QTest::newRow("refresh") << "refresh";
    QTest::newRow("Load") << "Load";
    QTest::newRow("close") << "close";
}

void TestBrowsers::editorFilesThroughTheBoundBoxes() {
    QFETCH(QString, savePoint);
    DocumentBrowser* form = openBrowser("FormCallReports", "Acme");
    // What the document editor does on its close, through names only.
    auto* data = form->findChild<DataSource*>("DataTABLE08");
    QVERIFY(data);
    QVERIFY(data->recordset()->addNew());
    form->findChild<QLineEdit*>("NUMBER01")->setText("1");
    form->findChild<QLineEdit*>("DATE01")->setText("12/10/2026");
    form->findChild<QLineEdit*>("TEXT01")->setText("Acme");
    form->findChild<QLineEdit*>("TEXT03")->setText("Ann");
    QTextDocument report;
    report.setHtml("<p>Filed from the <b>editor</b>.</p>");
    const QString reportRtf = Rtf::fromDocument(report);
    form->findChild<RichTextBox*>("RichTextBox1")->setTextRTF(reportRtf);
    QCOMPARE(count("TABLE08"), 5); // not before its save point

    if (savePoint == "update")
        QVERIFY(data->recordset()->update());
    else if (savePoint == "move")
        data->recordset()->moveFirst();
    else if (savePoint == "refresh")
        QVERIFY(data->refresh());
    else if (savePoint == "Load")
        QVERIFY(QMetaObject::invokeMethod(form, "Load"));
    else
        QVERIFY(form->close());
    settle();
    QCOMPARE(count("TABLE08"), 6);
    const QList<QVariantList> rows =
        m_session->rows("TESSALY.mdb", "SELECT NUMBER01, DATE01, TEXT01, TEXT03, MEMO01 FROM "
                                       "TABLE08 WHERE DATE01 = '2026-12-10'");
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().at(0).toInt(), 1);
    QCOMPARE(rows.first().at(1).toString(), QString("2026-12-10"));
    QCOMPARE(rows.first().at(2).toString(), QString("Acme"));
    QCOMPARE(rows.first().at(3).toString(), QString("Ann"));
    QCOMPARE(rows.first().at(4).toString(), reportRtf);
    QVERIFY(MsgBox::shown().isEmpty());

    // Listed, newest first, once the browser loads again.
    if (savePoint == "close")
        form = openBrowser("FormCallReports", "Acme");
    else
        QVERIFY(QMetaObject::invokeMethod(form, "Load"));
    QCOMPARE(form->documents()->recordset()->recordCount(), 5);
    QCOMPARE(shownText(form), QString("Filed from the editor."));
    QCOMPARE(position(form), QString("REPORT 1 OF 5 REPORTS"));
}

void TestBrowsers::editorFilesCorrespondenceThroughTheBoundBoxes() {
    DocumentBrowser* form = openBrowser("FormActivities", "Acme");
    auto* data = form->findChild<DataSource*>("DataTABLE09");
    QVERIFY(data);
    QVERIFY(data->recordset()->addNew());
    form->findChild<QWidget*>("NUMBER01")->setProperty("text", "1");
    form->findChild<QWidget*>("DATE01")->setProperty("text", "2026-12-10");
    form->findChild<QWidget*>("LabelMethod")->setProperty("text", "TELEFAX");
    form->findChild<RichTextBox*>("RichTextBox1")->setTextRTF(rtf("Fax to the buyer."));
    QVERIFY(QMetaObject::invokeMethod(form, "Load"));
    const QList<QVariantList> rows = m_session->rows(
        "TESSALY.mdb", "SELECT NUMBER01, TEXT07, MEMO01 FROM TABLE09 WHERE DATE01 = '2026-12-10'");
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().at(0).toInt(), 1);
    QCOMPARE(rows.first().at(1).toString(), QString("TELEFAX"));
    QCOMPARE(Rtf::toPlainText(rows.first().at(2).toString()).trimmed(),
             QString("Fax to the buyer."));
    QCOMPARE(position(form), QString("RECORD 1 OF 4 RECORDS"));
    QCOMPARE(child<QLineEdit>(form, "LabelMethod")->text(), QString("TELEFAX"));
}

void TestBrowsers::loadIsInvokableByName() {
    for (const char* name : {"FormCallReports", "FormActivities", "FormAllCallReports"}) {
        Form* form = Forms::get(QLatin1String(name));
        QVERIFY(form);
        QVERIFY2(form->metaObject()->indexOfMethod("Load()") >= 0, name);
        QVERIFY(QMetaObject::invokeMethod(form, "Load"));
    }
    QVERIFY(Forms::get("FormAllCallReports")->findChild<DataSource*>("DataTABLE08"));
    QVERIFY(Forms::get("FormActivities")->findChild<DataSource*>("DataTABLE09"));
}

void TestBrowsers::allCallReportsOpenedByItsOpener() {
    auto* form = Forms::get<FormAllCallReports>();
    QVERIFY(!form->findChild<QWidget*>("CommandSearch"));
    QVERIFY(!form->findChild<QWidget*>("CommandEdit"));
    QVERIFY(!form->findChild<QWidget*>("CommandDelete"));
    QVERIFY(!form->findChild<QWidget*>("DBComboSelect"));
    QVERIFY(!form->findChild<QWidget*>("CommandF9"));
    QVERIFY(!form->findChild<QWidget*>("Toolbar1"));
    QCOMPARE(form->documents()->recordset()->recordCount(), 5);
    QVERIFY(form->Open("Filter Call Reports",
                       "SELECT * FROM TABLE08 WHERE TABLE08.DATE01 >= #1/1/2026# And "
                       "TABLE08.DATE01 <= #4/30/2026# ORDER BY TABLE08.DATE01 DESC"));
    QVERIFY(form->isVisible());
    QCOMPARE(form->windowTitle(), QString("Filter Call Reports"));
    QCOMPARE(form->documents()->databaseName(), QString("TESSALY.mdb"));
    QCOMPARE(position(form), QString("REPORT 1 OF 2 REPORTS"));
    QVERIFY(child(form, "TextFind")->isVisible());
    QVERIFY(child(form, "CommandFind")->isVisible());
    QVERIFY(child(form, "CommandReset")->isVisible());
    QVERIFY(QMetaObject::invokeMethod(form, "Load")); // keeps the opener's filter
    QCOMPARE(form->documents()->recordset()->recordCount(), 2);

    click(form, "CommandReset"); // all call reports, also after a filter
    QCOMPARE(form->documents()->recordset()->recordCount(), 5);
    QCOMPARE(shownText(form), QString("Newest Acme report, nothing about money."));
    QCOMPARE(form->windowTitle(), QString("Filter Call Reports"));

    m_session->expectMessage("The table 'NOWHERE' does not exist.");
    QVERIFY(!form->Open("Search Call Reports", "SELECT * FROM NOWHERE"));
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Critical);
    form->close();
    settle();
    QVERIFY(!Forms::isVisible("FormMenu") || Forms::isLoaded("FormMenu"));
    QVERIFY(!Forms::isLoaded("FormAllCallReports"));
}

void TestBrowsers::allCallReportsFindsInEveryCompany() {
    auto* form = Forms::get<FormAllCallReports>();
    form->Open("Search Call Reports", "SELECT * FROM TABLE08 ORDER BY DATE01 DESC");
    find(form, "PRICE");
    QCOMPARE(listed(form), (QStringList{"Same name, other key; price mentioned.",
                                        "Baker's price for bread; the baker's price is fair.",
                                        "Visit at Acme.\nThe PRICE list was discussed; the price "
                                        "of anvils rose.",
                                        "Stored under the old name. Price talks."}));
    QVERIFY(form->searchTimer()->isActive());
    form->TimerSearch_Timer();
    QCOMPARE(form->document()->selText(), QString("price"));
    find(form, "baker's price");
    QCOMPARE(form->documents()->recordset()->recordCount(), 1);
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestBrowsers::resizeRules_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("widthMargin");
    QTest::addColumn<int>("heightMargin");
    QTest::newRow("call reports") << "FormCallReports" << 300 << 700;
    QTest::newRow("correspondence") << "FormActivities" << 200 << 700;
    QTest::newRow("all call reports") << "FormAllCallReports" << 375 << 600;
}

void TestBrowsers::resizeRules() {
    QFETCH(QString, window);
    QFETCH(int, widthMargin);
    QFETCH(int, heightMargin);
    Form* form = Forms::show(window);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QWidget* box = child(form, "RichTextBox1");
    const int top = Twips::geometry(box).y();
    for (const QSize size : {QSize(14000, 9000), QSize(11000, 6500)}) {
        Twips::setSize(form, size.width(), size.height());
        settle();
        const int outerWidth = Twips::fromPixelsX(form->frameGeometry().width());
        const int outerHeight = Twips::fromPixelsY(form->frameGeometry().height());
        const QRect at = Twips::geometry(box);
        QCOMPARE(at.y(), top);
        QVERIFY(qAbs(at.width() - (outerWidth - widthMargin)) <= 15);
        QVERIFY(qAbs(at.height() - (outerHeight - top - heightMargin)) <= 15);
    }
}

void TestBrowsers::hoverTexts_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    const QString reports = "FormCallReports", activities = "FormActivities",
                  all = "FormAllCallReports";
    QTest::newRow("zoom in") << reports << "CommandZoomIn"
                             << "Zoom in.";
    QTest::newRow("zoom out") << activities << "CommandZoomOut"
                              << "Zoom out.";
    QTest::newRow("delete") << reports << "CommandDelete"
                            << "Delete this record.";
    QTest::newRow("exit") << activities << "CommandExit"
                          << "Exit and close the program.";
    QTest::newRow("help") << reports << "CommandHelp"
                          << "Tessaly Help";
    QTest::newRow("word") << all << "CommandWord"
                          << "Send to MS-Word";
    QTest::newRow("outlook") << reports << "CommandOutlook"
                             << "Send to MS-Outlook";
    QTest::newRow("phrase") << reports << "TextFind"
                            << "Enter the phrase you are looking for.";
    QTest::newRow("search reports")
        << reports << "CommandSearch"
        << "Search call reports related to Baker's Dozen containing text you enter. Searches are "
           "not case sensitive.";
    QTest::newRow("search correspondence")
        << activities << "CommandSearch"
        << "Search correspondence to Baker's Dozen containing text you enter. Searches are not "
           "case sensitive.";
    QTest::newRow("find all") << all << "CommandFind"
                              << "Search all call reports containing text you enter. Searches "
                                 "are not case sensitive.";
    QTest::newRow("navigate reports") << reports << "DataNavigator"
                                      << "Navigate your call reports.";
    QTest::newRow("navigate records") << activities << "DataNavigator"
                                      << "Navigate your records.";
    QTest::newRow("navigate all") << all << "DataNavigator"
                                  << "Navigate your call reports.";
    QTest::newRow("picker") << activities << "DBComboSelect"
                            << "Start typing the name of the company until the correct name is "
                               "displayed. You can also use the 'arrow' keys on your keyboard to "
                               "navigate.";
}

void TestBrowsers::hoverTexts() {
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QString, text);
    Form* form = window == "FormAllCallReports" ? Forms::show(window)
                                                : openBrowser(qPrintable(window), "Baker's Dozen");
    HoverHelp* help = form->hoverHelp();
    QWidget* target = child(form, control);
    QCOMPARE(help->text(target), text);
    help->showFor(target);
    QVERIFY(child(form, "FrameHelp")->isVisible());
    QCOMPARE(child<QLabel>(form, "LabelHelp")->text(), text);
    // Over the document the help goes away, as over the background.
    help->showFor(child(form, "RichTextBox1"));
    QVERIFY(!child(form, "FrameHelp")->isVisible());
    help->showFor(target);
    help->showBackground();
    QVERIFY(!child(form, "FrameHelp")->isVisible());
}

void TestBrowsers::manualChapterOnTheHelpPage() {
    // Both windows open the help on page 30.
    QPdfDocument manual;
    QCOMPARE(manual.load(m_session->file("Help.pdf")), QPdfDocument::Error::None);
    QVERIFY(manual.pageCount() >= 30);
    const QString text = manual.getAllText(29).text();
    QVERIFY2(text.simplified().startsWith("Call reports and correspondence"),
             qPrintable(text.left(80)));
}

QTEST_MAIN(TestBrowsers)
#include "tst_browsers.moc"
