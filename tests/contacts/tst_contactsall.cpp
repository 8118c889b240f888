#include "TestSession.h"

#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "contacts/FormContactsAll.h"
#include "contacts/FormMailMerge.h"
#include "data/DataSource.h"
#include "data/Recordset.h"
#include "formats/MailStore.h"
#include "formats/Rtf.h"
#include "formats/WorkbookReader.h"
#include "mail/MailItemWindow.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "services/Desktop.h"
#include "services/MsgBox.h"
#include "widgets/DBCombo.h"
#include "widgets/RichTextBox.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTimer>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The contacts of every active company: the name and keyword filters, the
// contact selector, the position, deleting, and the way in from the main menu.
class TestContactsAll : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_session.reset(); }

    void mainMenuOpensTheWindow();
    void filters_data();
    void filters();
    void resetKeepsTheChosenName();
    void selectorMovesToTheContact();
    void deleteAsksAndRemovesOnlyTheContact();
    void fullNameFollowsTheNames();
    void hoverTextsNameTheContact();
    void noFunctionKeysAndClosingShowsTheMenu();
    void mailMergeKindIsChosenOnce();
    void mailMergeMakesOneDocumentPerContact_data();
    void mailMergeMakesOneDocumentPerContact();
    void mailMergeOfAnEMailWithoutAddress();
    void mergeToAllListedLetters();
    void mergeToAllListedEMailsCancelledPartWay();
    void telephoneListGetsEachCallOnTop();
    void missingTelephoneListIsReported();

private:
    FormContactsAll* window() const {
        return qobject_cast<FormContactsAll*>(Forms::loaded("FormContactsAll"));
    }
    template <class T = QWidget> T* child(const QString& name) const {
        T* widget = window()->findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    void click(const QString& name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    static void choose(DBCombo* combo, const QString& typed) {
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), typed);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    }
    void filterFor(const QString& keyword) {
        auto* filter = child<QLineEdit>("TextFilter");
        filter->setFocus();
        filter->selectAll();
        QTest::keyClicks(filter, keyword);
        click("CommandGo");
    }
    // The full names of the contacts listed, in their order.
    QStringList listed() const {
        DataSource* data = window()->data();
        return data->columnTexts(data->fieldIndex("TEXT11"));
    }
    QString position() const { return child<QLabel>("LabelPosition")->text(); }
    FormMailMerge* mergeEditor() const {
        return qobject_cast<FormMailMerge*>(Forms::loaded("FormMailMerge"));
    }
    // Opens the window, chooses the kind and writes the template: a subject
    // and a body with one bold word.
    void writeTemplate(const QString& createButton) {
        Forms::show("FormContactsAll");
        click("CommandMailMerge");
        click(createButton);
        FormMailMerge* editor = mergeEditor();
        QVERIFY(editor && editor->isVisible());
        QTest::keyClicks(editor->findChild<QLineEdit*>("TextSubject"), "Spring offer");
        RichTextBox* body = editor->document();
        body->setFocus();
        QTest::keyClicks(body, "Dear friend,");
        QTest::keyClick(body, Qt::Key_Return);
        QTest::keyClicks(body, "our prices fall.");
        body->find("prices");
        editor->Toolbar1_ButtonClick("Bold");
        QTest::mouseClick(editor->findChild<QPushButton*>("CommandDone"), Qt::LeftButton);
        QVERIFY(!editor->isVisible());
    }
    QList<QVariantList> correspondence() const {
        return m_session->rows(
            "TESSALY.mdb", "SELECT NUMBER01, DATE01, TEXT07, MEMO01 FROM TABLE09 ORDER BY ROWKEY");
    }
    static QString readAll(const QString& path) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return QString::fromLatin1(file.readAll());
    }
    static MailItemWindow* shownMail() {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* mail = qobject_cast<MailItemWindow*>(widget); mail && mail->isVisible())
                return mail;
        return nullptr;
    }

    std::unique_ptr<TestSession> m_session;
};

void TestContactsAll::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec(
        "TESSALY.mdb",
        "INSERT INTO MT12 (TEXT01) VALUES ('Ann'), ('Dana O''Neill');"
        "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT03, TEXT04, TEXT05, TEXT06, TEXT08, TEXT18, "
        "TEXT20) VALUES "
        "(1, 'Acme', 'PO Box 1', 'Tacoma', '98401', '1200 Dock Street', 'Tacoma', "
        "'Dana O''Neill', 'Company'),"
        "(2, 'Baker''s Dozen', '', '', '', '', 'Portland', 'Ann', 'Company'),"
        "(3, 'Crane Works', '', '', '', '', 'Boise', 'Ann', 'Archive');"
        "INSERT INTO TABLE03 (AUTONUMBER, NUMBER01, TEXT02, TEXT03, TEXT04, TEXT08, TEXT11, "
        "MEMO02, DATE03) VALUES "
        "(10, 1, 'Zoe', 'Adams', '555-1111', '555-2222', 'Zoe Adams', 'Golf; Birthday: March 15', "
        "'2025-06-01'),"
        "(11, 1, 'Bill', 'O''Brien', '', '', 'Bill O''Brien', 'golfing with O''Brien''s club', "
        "'2025-06-02'),"
        "(12, 2, 'Carl', 'Baker', '', '555-9', 'Carl Baker', 'mini-GOLF', '2025-06-03'),"
        "(13, 2, 'Amy', 'Stone', '', '', 'Amy Stone', '', '2025-06-04'),"
        "(14, 2, 'Eve', 'Young', '', '', 'Eve Young', NULL, '2025-06-05'),"
        "(15, 3, 'Archie', 'Old', '', '', 'Archie Old', 'Golf', '2020-01-01');"
        "UPDATE TABLE03 SET TEXT01 = 'Ms', TEXT05 = 'zoe@acme.test', TEXT09 = '555-3333' "
        "WHERE AUTONUMBER = 10;"
        "UPDATE TABLE03 SET TEXT01 = 'Mr', TEXT05 = 'carl@baker.test' WHERE AUTONUMBER = 12;"
        "UPDATE TABLE03 SET TEXT05 = 'amy@baker.test' WHERE AUTONUMBER = 13;");
    m_session->registerForms();
}

void TestContactsAll::mainMenuOpensTheWindow() {
    auto* menu = Forms::show("FormMenu");
    auto* command = menu->findChild<QPushButton*>("CommandAllContacts");
    QVERIFY(command && command->isEnabled());
    QTest::mouseClick(command, Qt::LeftButton);
    QVERIFY(window() && window()->isVisible());
    QVERIFY(!menu->isVisible());
    QCOMPARE(window()->windowTitle(), QString("Contacts"));
    QWidget* focused = window()->focusWidget();
    QVERIFY(focused == child<DBCombo>("DBComboName") ||
            focused == child<DBCombo>("DBComboName")->lineEdit());
    QCOMPARE(child<DBCombo>("DBComboName")->text(), QString("Select Your Name..."));
    // Every active company's contacts, first by first name; the archive's not.
    QCOMPARE(listed(),
             (QStringList{"Amy Stone", "Bill O'Brien", "Carl Baker", "Eve Young", "Zoe Adams"}));
    QCOMPARE(position(), QString("RECORD 1 OF 5 RECORDS"));
    // The contact shown with their company, read-only.
    QCOMPARE(child<QLineEdit>("TEXT02")->text(), QString("Amy"));
    QCOMPARE(child<QLineEdit>("TEXT01_01")->text(), QString("Baker's Dozen"));
    QCOMPARE(child<QLineEdit>("TEXT18_01")->text(), QString("Ann"));
    QCOMPARE(child<QLineEdit>("TEXTAUTNUMBER_01")->text(), QString("2"));
    QVERIFY(!child<QGroupBox>("Frame1")->isEnabled());
    QVERIFY(!child<QPushButton>("CommandReset")->isVisible());
}

void TestContactsAll::filters_data() {
    QTest::addColumn<QString>("name");    // empty: no name chosen
    QTest::addColumn<QString>("keyword"); // "-": Go not pressed
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("a sales person") << "Ann"
                                    << "-" << QStringList{"Amy Stone", "Carl Baker", "Eve Young"};
    QTest::newRow("a name with an apostrophe") << "Dana O'Neill"
                                               << "-" << QStringList{"Bill O'Brien", "Zoe Adams"};
    QTest::newRow("a keyword in any letter case")
        << ""
        << "golf" << QStringList{"Bill O'Brien", "Carl Baker", "Zoe Adams"};
    QTest::newRow("a keyword with an apostrophe") << ""
                                                  << "o'brien's" << QStringList{"Bill O'Brien"};
    QTest::newRow("wildcards stay wildcards") << ""
                                              << "b?rthday*15" << QStringList{"Zoe Adams"};
    QTest::newRow("an empty keyword: every contact with keywords")
        << ""
        << "" << QStringList{"Amy Stone", "Bill O'Brien", "Carl Baker", "Zoe Adams"};
    QTest::newRow("a name and a keyword") << "Ann"
                                          << "GOLF" << QStringList{"Carl Baker"};
    QTest::newRow("nothing matches") << "Ann"
                                     << "tennis" << QStringList{};
}

void TestContactsAll::filters() {
    QFETCH(QString, name);
    QFETCH(QString, keyword);
    QFETCH(QStringList, listed);
    Forms::show("FormContactsAll");
    if (!name.isEmpty()) {
        choose(child<DBCombo>("DBComboName"), name);
        QCOMPARE(child<QLineEdit>("TextName")->text(), name);
    }
    if (keyword != "-") {
        filterFor(keyword);
        QVERIFY(child<QPushButton>("CommandReset")->isVisible());
    }
    QCOMPARE(this->listed(), listed);
    QCOMPARE(position(),
             QString("RECORD %1 OF %2 RECORDS").arg(listed.isEmpty() ? 0 : 1).arg(listed.size()));
}

void TestContactsAll::resetKeepsTheChosenName() {
    Forms::show("FormContactsAll");
    filterFor("golf");
    click("CommandReset");
    QCOMPARE(child<QLineEdit>("TextFilter")->text(), QString());
    QCOMPARE(listed().size(), 5); // back to every active contact
    choose(child<DBCombo>("DBComboName"), "Ann");
    filterFor("golf");
    QCOMPARE(listed(), QStringList{"Carl Baker"});
    click("CommandReset");
    QCOMPARE(listed(), (QStringList{"Amy Stone", "Carl Baker", "Eve Young"}));
    QCOMPARE(child<QLineEdit>("TextName")->text(), QString("Ann"));
}

void TestContactsAll::selectorMovesToTheContact() {
    Forms::show("FormContactsAll");
    choose(child<DBCombo>("DBComboSelect"), "Zo");
    QCOMPARE(child<QLineEdit>("TEXT02")->text(), QString("Zoe"));
    QCOMPARE(child<QLineEdit>("TEXT01_01")->text(), QString("Acme"));
    QCOMPARE(child<QLineEdit>("TEXT06_01")->text(), QString("1200 Dock Street"));
    QCOMPARE(position(), QString("RECORD 5 OF 5 RECORDS"));
    // Her numbers are offered for dialling.
    QCOMPARE(child<QWidget>("OptionDial1")->isVisible(), true);
    QCOMPARE(child<QWidget>("OptionDial2")->isVisible(), true);
    choose(child<DBCombo>("DBComboSelect"), "Bill");
    QCOMPARE(position(), QString("RECORD 2 OF 5 RECORDS"));
    QVERIFY(!child<QWidget>("OptionDial1")->isVisible());
    // A name that is nobody's leaves the contact shown.
    choose(child<DBCombo>("DBComboSelect"), "Nobody");
    QCOMPARE(child<QLineEdit>("TEXT02")->text(), QString("Bill"));
}

void TestContactsAll::deleteAsksAndRemovesOnlyTheContact() {
    Forms::show("FormContactsAll");
    choose(child<DBCombo>("DBComboSelect"), "Carl");
    m_session->expectMessage("Are you sure you want to delete Carl Baker?", MsgBox::No);
    click("CommandDelete");
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE03").toInt(), 6);
    m_session->expectMessage("Are you sure you want to delete Carl Baker?", MsgBox::Yes);
    click("CommandDelete");
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE03 WHERE AUTONUMBER = 12")
                 .toInt(),
             0);
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE01").toInt(), 3);
    QCOMPARE(listed(), (QStringList{"Amy Stone", "Bill O'Brien", "Eve Young", "Zoe Adams"}));
    // An empty list has no contact to delete.
    filterFor("tennis");
    m_session->expectMessage("Are you sure you want to delete", MsgBox::Yes);
    click("CommandDelete");
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE03").toInt(), 5);
}

void TestContactsAll::fullNameFollowsTheNames() {
    // A full name left behind by an earlier change of the first name.
    m_session->exec("TESSALY.mdb", "UPDATE TABLE03 SET TEXT02 = 'Amelia' WHERE AUTONUMBER = 13");
    Forms::show("FormContactsAll");
    QCOMPARE(child<QLineEdit>("TextFullName")->text(), QString("Amelia Stone"));
    choose(child<DBCombo>("DBComboSelect"), "Bill"); // a move is a save point
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT TEXT11 FROM TABLE03 WHERE AUTONUMBER = 13")
                 .toString(),
             QString("Amelia Stone"));
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT TEXT02 FROM TABLE03 WHERE AUTONUMBER = 13")
                 .toString(),
             QString("Amelia"));
}

void TestContactsAll::hoverTextsNameTheContact() {
    Forms::show("FormContactsAll");
    choose(child<DBCombo>("DBComboSelect"), "Zo");
    HoverHelp* help = window()->hoverHelp();
    QVERIFY(help);
    auto shown = [&](const char* control) {
        help->showFor(child<QWidget>(control));
        return child<QLabel>("LabelHelp")->text();
    };
    QCOMPARE(shown("CommandDelete"), QString("Delete Zoe Adams."));
    QCOMPARE(shown("OptionDial1"), QString("Dial 555-1111, using your modem."));
    QVERIFY(shown("TextFilter").startsWith("This function allows you to filter for keywords"));
    QVERIFY(shown("MEMO02").startsWith("Enter any keywords related to Zoe Adams. These keywords "
                                       "could be hobbies, birthdays, newletters etc"));
    QVERIFY(child<QGroupBox>("FrameHelp")->isVisible());
}

void TestContactsAll::noFunctionKeysAndClosingShowsTheMenu() {
    Forms::show("FormMenu");
    Forms::show("FormContactsAll");
    QTest::keyClick(window(), Qt::Key_F2);
    QVERIFY(!Forms::isLoaded("FormCompanies"));
    QVERIFY(window()->isVisible());
    window()->close();
    QVERIFY(!Forms::isLoaded("FormContactsAll"));
    QVERIFY(Forms::isVisible("FormMenu"));
}

void TestContactsAll::mailMergeKindIsChosenOnce() {
    Forms::show("FormContactsAll");
    QVERIFY(child<QPushButton>("CommandMailMerge")->isVisible());
    for (const char* hidden : {"CommandCreateLetter", "CommandLetter", "CommandMergeAll"})
        QVERIFY2(!child<QWidget>(hidden)->isVisible(), hidden);
    click("CommandMailMerge");
    QVERIFY(!child<QPushButton>("CommandMailMerge")->isVisible());
    QCOMPARE(child<QLabel>("LabelQuestion")->text(),
             QString("What type of document do you want to use for Mail  Merge?"));
    for (const char* shown : {"LabelQuestion", "CommandCreateLetter", "CommandCreateFax",
                              "CommandCreateEMail", "LabelLetter", "LabelFax", "LabelEMail"})
        QVERIFY2(child<QWidget>(shown)->isVisible(), shown);
    click("CommandCreateEMail");
    FormMailMerge* editor = mergeEditor();
    QVERIFY(editor && editor->isVisible());
    QCOMPARE(editor->windowTitle(), QString("Write an E-Mail"));
    QCOMPARE(editor->focusWidget(), editor->findChild<QWidget*>("TextSubject"));
    QVERIFY(!editor->findChild<QAction*>("Bold")->isVisible());
    QVERIFY(!editor->findChild<QAction*>("Word"));
    // Done comes with the first key typed into the body.
    auto* done = editor->findChild<QPushButton*>("CommandDone");
    QVERIFY(!done->isVisible());
    QTest::keyClicks(editor->document(), "Hello");
    QVERIFY(done->isVisible());
    QTest::mouseClick(done, Qt::LeftButton);
    QVERIFY(!editor->isVisible());
    // The production button is offered; the kind is not asked again.
    QVERIFY(child<QPushButton>("CommandEMail")->isVisible());
    QVERIFY(!child<QPushButton>("CommandMailMerge")->isVisible());
    QVERIFY(!child<QWidget>("CommandCreateLetter")->isVisible());
    // Closing the window closes the template too.
    window()->close();
    QVERIFY(!Forms::isLoaded("FormMailMerge"));
}

void TestContactsAll::mailMergeMakesOneDocumentPerContact_data() {
    QTest::addColumn<QString>("create");
    QTest::addColumn<QString>("produce");
    QTest::addColumn<QString>("kind");
    QTest::newRow("letter") << "CommandCreateLetter"
                            << "CommandLetter"
                            << "LETTER";
    QTest::newRow("telefax") << "CommandCreateFax"
                             << "CommandFax"
                             << "TELEFAX";
    QTest::newRow("e-mail") << "CommandCreateEMail"
                            << "CommandEMail"
                            << "EMAIL";
}

void TestContactsAll::mailMergeMakesOneDocumentPerContact() {
    QFETCH(QString, create);
    QFETCH(QString, produce);
    QFETCH(QString, kind);
    writeTemplate(create);
    const QString today = Locale::dateText(Clock::today());
    const QString storedToday = Clock::today().toString(Qt::ISODate);
    const QString body = "Dear friend,\r\nour prices fall.";
    struct Contact {
        const char* typed;
        int company;
        QString block; // the lines before the template's text
        QString email;
    };
    const bool telefax = kind == "TELEFAX";
    const QList<Contact> contacts{
        {"Zo", 1,
         QStringList{today, "", "Ms Zoe Adams", "Acme", "PO Box 1", "Tacoma", "98401", ""}.join(
             "\r\n"),
         "zoe@acme.test"},
        {"Carl", 2,
         QStringList{today, "", "Mr Carl Baker", "Baker's Dozen", "", "", "", ""}.join("\r\n"),
         "carl@baker.test"}};
    for (const Contact& contact : contacts) {
        choose(child<DBCombo>("DBComboSelect"), contact.typed);
        const qsizetype openedBefore = Desktop::opened().size();
        click(produce);
        const int filed = int(&contact - &contacts.first());
        const QVariantList row = correspondence().value(filed);
        QCOMPARE(row.value(0).toInt(), contact.company);
        QCOMPARE(row.value(1).toString(), storedToday);
        QCOMPARE(row.value(2).toString(), kind);
        if (kind == "EMAIL") {
            MailItemWindow* mail = shownMail();
            QVERIFY(mail);
            QCOMPARE(mail->findChild<QLineEdit*>("TextTo")->text(), contact.email);
            QCOMPARE(mail->findChild<QLineEdit*>("TextSubject")->text(), QString("Spring offer"));
            QCOMPARE(mail->findChild<QPlainTextEdit*>("TextBody")->toPlainText(),
                     QString("Dear friend,\nour prices fall."));
            QCOMPARE(row.value(3).toString(), "TO: " + contact.email +
                                                  "\r\nSUBJECT: Spring offer\r\nDATE: " + today +
                                                  "\r\n\r\n" + body);
            mail->close();
            continue;
        }
        // Zoe has a direct fax, Carl none: his line stays empty.
        const QString fax =
            telefax ? QString(contact.company == 1 ? "555-3333" : "") + "\r\n\r\n" : QString();
        const QString block = contact.block + "\r\n" + fax + "Subject: Spring offer\r\n";
        QCOMPARE(row.value(3).toString(), block + "\r\n" + body);
        QCOMPARE(Desktop::opened().size(), openedBefore + 1);
        const QString written = readAll(Desktop::opened().last().toLocalFile());
        QTextDocument read;
        QVERIFY(Rtf::toDocument(written, read));
        QString plain = block + "\r\n" + body;
        plain.replace("\r\n", "\n");
        QVERIFY2(read.toPlainText().contains(plain), qPrintable(read.toPlainText()));
        // The template's formatting, in the letterhead's font.
        QTextCursor at(&read);
        at.setPosition(read.find("prices").selectionStart() + 1);
        QCOMPARE(at.charFormat().fontWeight(), int(QFont::Bold));
        QCOMPARE(at.charFormat().fontFamilies().toStringList().value(0),
                 QString("Times New Roman"));
    }
    QCOMPARE(correspondence().size(), 2);
}

void TestContactsAll::mailMergeOfAnEMailWithoutAddress() {
    writeTemplate("CommandCreateEMail");
    choose(child<DBCombo>("DBComboSelect"), "Bill");
    m_session->expectMessage("Bill O'Brien does not have an e-mail address.");
    click("CommandEMail");
    QCOMPARE(MsgBox::last().style, int(MsgBox::OKOnly | MsgBox::Critical));
    QVERIFY(correspondence().isEmpty());
    QVERIFY(!shownMail());
}

void TestContactsAll::mergeToAllListedLetters() {
    writeTemplate("CommandCreateLetter");
    choose(child<DBCombo>("DBComboName"), "Ann"); // Amy, Carl and Eve
    m_session->expectMessage("3 documents made and filed.");
    click("CommandMergeAll");
    QCOMPARE(correspondence().size(), 3);
    QStringList names;
    for (const QVariantList& row : correspondence()) {
        QCOMPARE(row.value(0).toInt(), 2);
        QCOMPARE(row.value(2).toString(), QString("LETTER"));
        names << row.value(3).toString().section("\r\n", 2, 2);
    }
    QCOMPARE(names, (QStringList{" Amy Stone", "Mr Carl Baker", " Eve Young"}));
    // One document for the word processor, a page for each contact.
    QCOMPARE(Desktop::opened().size(), 1);
    const QString written = readAll(Desktop::opened().first().toLocalFile());
    QCOMPARE(written.count("\\page"), 2);
    QTextDocument read;
    QVERIFY(Rtf::toDocument(written, read));
    QCOMPARE(read.toPlainText().count("our prices fall."), 3);
    QVERIFY(!child<QWidget>("ProgressMerge")->isVisible());
    QVERIFY(child<QPushButton>("CommandLetter")->isEnabled());
}

void TestContactsAll::mergeToAllListedEMailsCancelledPartWay() {
    writeTemplate("CommandCreateEMail");
    // The cancel is clicked as soon as the first contact's mail is made.
    QTimer::singleShot(0, this, [this] {
        QVERIFY(child<QWidget>("CommandCancelMerge")->isVisible());
        click("CommandCancelMerge");
    });
    m_session->expectMessage("1 e-mails, waiting in the Outbox, made and filed. Cancelled");
    click("CommandMergeAll");
    QCOMPARE(correspondence().size(), 1);
    QVERIFY(correspondence()[0][3].toString().startsWith("TO: amy@baker.test\r\n"));
    const QStringList waiting = MailStore::messages("Outbox");
    QCOMPARE(waiting.size(), 1);
    QVERIFY(readAll(waiting.first()).contains("To: amy@baker.test"));
    QVERIFY(!shownMail()); // queued, not opened one by one
    QVERIFY(child<QPushButton>("CommandEMail")->isEnabled());
}

void TestContactsAll::telephoneListGetsEachCallOnTop() {
    const QString list = m_session->file("BCTelephone.xlsx");
    QVERIFY(QFile::exists(list)); // installed with the program
    QString error;
    const auto before = WorkbookReader::open(list, &error);
    QVERIFY2(before, qPrintable(error));
    const int rowsBefore = before->sheet(before->sheetNames().value(0), &error)->rowCount();
    Forms::show("FormContactsAll");
    struct Press {
        const char* contact;
        const char* button;
        QDateTime at;
        QString number;
    };
    const QList<Press> presses{
        {"Zo", "CommandTel", QDateTime(QDate(2026, 12, 10), QTime(9, 15)), "555-2222"},
        {"Zo", "CommandCel", QDateTime(QDate(2026, 12, 10), QTime(9, 30)), "555-1111"},
        // No cellphone: the call is on the list all the same, without a number.
        {"Carl", "CommandCel", QDateTime(QDate(2026, 12, 10), QTime(10, 0)), ""}};
    for (const Press& press : presses) {
        Clock::pin(press.at);
        choose(child<DBCombo>("DBComboSelect"), press.contact);
        click(press.button);
    }
    const auto after = WorkbookReader::open(list, &error);
    QVERIFY2(after, qPrintable(error));
    const auto sheet = after->sheet(after->sheetNames().value(0), &error);
    QVERIFY2(sheet, qPrintable(error));
    QCOMPARE(sheet->rowCount(), rowsBefore + 3);
    const QStringList names{"Carl Baker", "Zoe Adams", "Zoe Adams"};
    const QStringList companies{"Baker's Dozen", "Acme", "Acme"};
    for (int row = 0; row < 3; ++row) {
        const Press& press = presses[2 - row]; // the latest on top
        QCOMPARE(sheet->cell(row, 0).toDateTime(), press.at);
        QCOMPARE(sheet->cell(row, 1).toString(), press.number);
        QCOMPARE(sheet->cell(row, 2).toString(), names[row]);
        QCOMPARE(sheet->cell(row, 3).toString(), companies[row]);
    }
}

void TestContactsAll::missingTelephoneListIsReported() {
    QVERIFY(QFile::remove(m_session->file("BCTelephone.xlsx")));
    Forms::show("FormContactsAll");
    m_session->expectMessage("");
    click("CommandTel");
    QVERIFY(MsgBox::last().text.contains("BCTelephone"));
    QCOMPARE(MsgBox::last().style, int(MsgBox::OKOnly | MsgBox::Critical));
    // The list is never made here.
    QVERIFY(!QFile::exists(m_session->file("BCTelephone.xlsx")));
    QVERIFY(!QFile::exists(m_session->file("BCTelephone.xls")));
}

QTEST_MAIN(TestContactsAll)
#include "tst_contactsall.moc"
