#include "TestSession.h"

#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "companies/FormCompanies.h"
#include "contacts/FormContacts.h"
#include "contacts/FormWrite.h"
#include "data/DataSource.h"
#include "data/Recordset.h"
#include "formats/Rtf.h"
#include "formats/WorkbookReader.h"
#include "platform/Clock.h"
#include "services/MsgBox.h"
#include "widgets/DBCombo.h"
#include "widgets/DBList.h"
#include "widgets/RichTextBox.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

namespace {

const QDate Today(2026, 12, 10);

QWidget* topLevel(const QString& name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name && widget->isVisible())
            return widget;
    return nullptr;
}

} // namespace

// The contacts window driven through its controls, on top of a real
// companies window; what it stores is read back with plain SQL.
class TestContacts : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void f3ShowsTheContactsOfTheCurrentCompany();
    void dialOptionsFollowTheContact();
    void telephoneListButtonsRecordTheCall();
    void activationKeepsTheContactOfTheSameCompany();
    void dialOptionWithoutAModemSaysSo();
    void newContactStartsWithTheCompanyNumbers_data();
    void newContactStartsWithTheCompanyNumbers();
    void editModeShowsThePickers();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void choosingACompanyMovesTheCompaniesWindow();
    void companySelectorFollowsTheCompaniesView();
    void letterAndTelefaxArePrepared_data();
    void letterAndTelefaxArePrepared();
    void eMailOpensTheEditorWithTheAddress();
    void anOpenEditorIsReused();
    void eMailWithoutAddressOpensNoEditor();
    void appointmentAndTaskInTheMailProgram();
    void taskSubjectWithoutNumbers();
    void aCompanyJustEnteredGetsItsContacts();
    void emptyDatabaseEndsTheProgram();
    void emptyListSaysSoAndStays_data();
    void emptyListSaysSoAndStays();
    void hoverTextsNameTheContact();
    void closingShowsTheMenu();

private:
    FormCompanies* companies() const { return Forms::get<FormCompanies>(); }
    FormContacts* contacts() const {
        return qobject_cast<FormContacts*>(Forms::loaded(FormContacts::Name));
    }
    FormContacts* openContacts();
    template <class T = QWidget> T* child(const QString& name) const {
        T* widget = contacts()->findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    QLineEdit* box(const QString& name) const { return contacts()->box(name); }
    void click(const QString& name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    // One tick of the window's 100 ms timer.
    void tick() { fireTimer(contacts(), "TimerLoad"); }
    static void choose(DBCombo* combo, const QString& typed) {
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), typed);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    }
    void chooseContact(const QString& name) {
        DBList* list = contacts()->contactList();
        for (int row = 0; row < list->listCount(); ++row) {
            if (list->model()->index(row, 0).data().toString() == name) {
                const QRect at = list->visualRect(list->model()->index(row, 0));
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
                return;
            }
        }
        QFAIL(qPrintable("no contact " + name));
    }
    QStringList listedContacts() const {
        QStringList names;
        DBList* list = contacts()->contactList();
        for (int row = 0; row < list->listCount(); ++row)
            names << list->model()->index(row, 0).data().toString();
        return names;
    }

    std::unique_ptr<TestSession> m_session;
};

void TestContacts::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec(
        "TESSALY.mdb",
        "INSERT INTO MT12 (TEXT01) VALUES ('Ann'), ('Dana O''Neill');"
        "INSERT INTO MT09 (TEXT01) VALUES ('Mr'), ('Ms');"
        "INSERT INTO MT05 (TEXT01) VALUES ('Buyer'), ('Engineer');"
        "INSERT INTO TABLE01 (TEXT01, TEXT03, TEXT04, TEXT05, TEXT06, TEXT07, TEXT08, TEXT10, "
        "TEXT11, TEXT13, TEXT17, TEXT18, TEXT20, NUMBER01, MEMO02, DATE03) VALUES "
        "('Acme', 'PO Box 1', 'Tacoma', '98401', '1200 Dock Street', 'Suite 400', 'Tacoma', "
        "'555-0100', '555-0101', 'Industrial', 'Customer', 'Dana O''Neill', 'Company', 30, "
        "'Makes anvils.', '2024-03-18'),"
        "('Baker''s Dozen', '', '', '', '', '', 'Portland', '', '', '', '', 'Ann', 'Company', 0, "
        "'', '2025-01-02'),"
        "('Crane Works', '', '', '', '', '', 'Boise', '', '', '', '', 'Ann', 'Archive', 0, '', "
        "'2020-05-05');"
        "INSERT INTO TABLE03 (NUMBER01, TEXT01, TEXT02, TEXT03, TEXT04, TEXT05, TEXT06, TEXT08, "
        "TEXT09, DATE03) VALUES "
        "(1, 'Ms', 'Zoe', 'Adams', '555-1111', 'zoe@acme.example', 'Buyer', '555-2222', "
        "'555-3333', '2025-06-01'),"
        "(1, 'Mr', 'Bill', 'O''Brien', '', '', '', '', '', '2025-06-02'),"
        "(2, 'Mr', 'Carl', 'Baker', '', '', '', '555-9', '', '2025-06-03');");
    m_session->registerForms();
}

void TestContacts::cleanup() {
    m_session.reset();
}

FormContacts* TestContacts::openContacts() {
    Forms::show("FormMenu");
    QTest::mouseClick(Forms::loaded("FormMenu")->findChild<QPushButton*>("CommandCompanies"),
                      Qt::LeftButton);
    FormCompanies* form = companies();
    if (!QTest::qWaitForWindowExposed(form))
        qWarning("the companies window was not shown");
    QTest::keyClick(form, Qt::Key_F3);
    settle();
    return contacts();
}

void TestContacts::f3ShowsTheContactsOfTheCurrentCompany() {
    FormContacts* form = openContacts();
    QVERIFY(form && form->isVisible());
    QVERIFY(!companies()->isVisible());
    QCOMPARE(form->size(), companies()->size());
    // Listed by first name; the boxes show the first of them.
    QCOMPARE(listedContacts(), (QStringList{"Bill O'Brien", "Zoe Adams"}));
    QCOMPARE(box("TEXT02")->text(), QString("Bill"));
    QVERIFY(!child<QGroupBox>("Frame1")->isEnabled());
    QVERIFY(!child("Toolbar1")->isVisible());
    tick();
    QCOMPARE(form->windowTitle(), QString("Contacts - Acme"));
    QCOMPARE(child<QLabel>("LabelEntered")->text(),
             QString("Bill O'Brien was Entered on 6/2/2025"));
    QCOMPARE(child<QLabel>("LabelDateandTime")->text(), QString("12/10/2026 10:00 AM"));
    // The full name is kept with the contact (nothing else was changed).
    chooseContact("Zoe Adams");
    QCOMPARE(box("TEXT03")->text(), QString("Adams"));
    tick();
    form->dataTable03()->save();
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT TEXT11 FROM TABLE03 WHERE TEXT02 = 'Zoe'"),
             QStringList{"Zoe Adams"});
}

void TestContacts::dialOptionsFollowTheContact() {
    openContacts();
    auto* cell = child<QRadioButton>("OptionDial1");
    auto* direct = child<QRadioButton>("OptionDial2");
    // Bill has neither number.
    QVERIFY(!cell->isVisible());
    QVERIFY(!direct->isVisible());
    chooseContact("Zoe Adams");
    QVERIFY(cell->isVisible());
    QVERIFY(direct->isVisible());
    QCOMPARE(cell->text(), QString("555-1111"));
    QCOMPARE(direct->text(), QString("555-2222"));
    // Moving back through the data source hides them again.
    contacts()->dataTable03()->recordset()->moveFirst();
    QVERIFY(!cell->isVisible());
    QVERIFY(!direct->isVisible());
}

void TestContacts::telephoneListButtonsRecordTheCall() {
    openContacts();
    chooseContact("Zoe Adams");
    Clock::pin(QDateTime(QDate(2026, 12, 10), QTime(11, 45)));
    QTest::mouseClick(child<QPushButton>("CommandTel"), Qt::LeftButton);
    Clock::pin(QDateTime(QDate(2026, 12, 10), QTime(11, 50)));
    QTest::mouseClick(child<QPushButton>("CommandCel"), Qt::LeftButton);
    QString error;
    const auto book = WorkbookReader::open(m_session->file("BCTelephone.xlsx"), &error);
    QVERIFY2(book, qPrintable(error));
    const auto sheet = book->sheet(book->sheetNames().value(0), &error);
    QVERIFY2(sheet, qPrintable(error));
    // The cellphone call, the later one, on top.
    QCOMPARE(sheet->cell(0, 0).toDateTime(), QDateTime(QDate(2026, 12, 10), QTime(11, 50)));
    QCOMPARE(sheet->cell(0, 1).toString(), QString("555-1111"));
    QCOMPARE(sheet->cell(1, 1).toString(), QString("555-2222"));
    for (int row = 0; row < 2; ++row) {
        QCOMPARE(sheet->cell(row, 2).toString(), QString("Zoe Adams"));
        QCOMPARE(sheet->cell(row, 3).toString(), QString("Acme"));
    }
}

void TestContacts::activationKeepsTheContactOfTheSameCompany() {
    FormContacts* form = openContacts();
    chooseContact("Zoe Adams");
    form->Load(); // as every activation does
    QCOMPARE(box("TEXT02")->text(), QString("Zoe"));
    QCOMPARE(form->contactList()->listIndex(), 1);
    // Another company starts at its first contact.
    choose(form->selector(), "bak");
    QCOMPARE(box("TEXT02")->text(), QString("Carl"));
    choose(form->selector(), "acm");
    QCOMPARE(box("TEXT02")->text(), QString("Bill"));
}

void TestContacts::dialOptionWithoutAModemSaysSo() {
    // The session's machine has no serial ports (tst_modem dials a modem).
    openContacts();
    chooseContact("Zoe Adams");
    auto* cell = child<QRadioButton>("OptionDial1");
    m_session->expectMessage("Modem not found, or Port is open.");
    QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(8, cell->height() / 2));
    QCOMPARE(MsgBox::last().text, QString("Modem not found, or Port is open."));
    QVERIFY(!cell->isChecked());
    QVERIFY(contacts()->selector()->hasFocus() || !contacts()->isActiveWindow());
}

void TestContacts::newContactStartsWithTheCompanyNumbers_data() {
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("direct");
    QTest::addColumn<QString>("fax");
    QTest::newRow("company numbers copied") << "Acme"
                                            << "555-0100"
                                            << "555-0101";
    QTest::newRow("no company numbers") << "Baker's Dozen"
                                        << ""
                                        << "";
}

void TestContacts::newContactStartsWithTheCompanyNumbers() {
    QFETCH(QString, company);
    QFETCH(QString, direct);
    QFETCH(QString, fax);
    FormContacts* form = openContacts();
    if (company != "Acme")
        choose(form->selector(), company.left(3));
    QCOMPARE(companies()->companyName(), company);
    click("CommandNew");
    QVERIFY(form->isEditing());
    QCOMPARE(box("TEXT08")->text(), direct);
    QCOMPARE(box("TEXT09")->text(), fax);
    QCOMPARE(child<QLabel>("LabelEntered")->text(), QString("  was entered on 12/10/2026"));
    QTest::keyClicks(box("TEXT02"), "Nina");
    QTest::keyClicks(box("TEXT03"), "Park");
    tick();
    form->close();
    settle();
    const QString key =
        m_session
            ->scalar("TESSALY.mdb", "SELECT AUTONUMBER FROM TABLE01 WHERE TEXT01 = '" +
                                        QString(company).replace("'", "''") + "'")
            .toString();
    QCOMPARE(
        m_session->rows("TESSALY.mdb",
                        "SELECT NUMBER01, IFNULL(TEXT08, ''), IFNULL(TEXT09, ''), TEXT11, DATE03 "
                        "FROM TABLE03 WHERE TEXT02 = 'Nina'"),
        (QList<QVariantList>{{key.toLongLong(), direct, fax, "Nina Park", "2026-12-10"}}));
}

void TestContacts::editModeShowsThePickers() {
    FormContacts* form = openContacts();
    auto* titles = child<DBCombo>("DBCombo05");
    auto* occupations = child<DBCombo>("DBCombo09");
    QVERIFY(!titles->isVisible());
    click("CommandEdit");
    QVERIFY(form->isEditing());
    QVERIFY(child("Toolbar1")->isVisible());
    QVERIFY(titles->isVisible());
    QVERIFY(occupations->isVisible());
    QVERIFY(!box("TEXT01")->isVisible());
    QVERIFY(!box("TEXT06")->isVisible());
    QVERIFY(titles->geometry().intersects(box("TEXT01")->geometry()));
    choose(titles, "Ms");
    choose(occupations, "Eng");
    QCOMPARE(box("TEXT01")->text(), QString("Ms"));
    QCOMPARE(box("TEXT06")->text(), QString("Engineer"));
    click("CommandEdit");
    QVERIFY(!form->isEditing());
    QVERIFY(!titles->isVisible());
    QVERIFY(box("TEXT01")->isVisible());
    QVERIFY(box("TEXT06")->isVisible());
    form->dataTable03()->save();
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT06 FROM TABLE03 WHERE TEXT02 = "
                                            "'Bill'"),
             (QList<QVariantList>{{"Ms", "Engineer"}}));
}

void TestContacts::deleteAsksFirst_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("no") << int(MsgBox::No) << QStringList{"Bill", "Zoe"};
    QTest::newRow("yes") << int(MsgBox::Yes) << QStringList{"Zoe"};
}

void TestContacts::deleteAsksFirst() {
    QFETCH(int, answer);
    QFETCH(QStringList, left);
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE09 (NUMBER01, TEXT07) VALUES (1, 'LETTER')");
    openContacts();
    MsgBox::answerNext(MsgBox::Result(answer));
    click("CommandDelete");
    QCOMPARE(MsgBox::last().text, QString("Are you sure you want to delete Bill O'Brien?"));
    QCOMPARE(MsgBox::last().style, MsgBox::YesNo | MsgBox::Question);
    QCOMPARE(m_session->column("TESSALY.mdb",
                               "SELECT TEXT02 FROM TABLE03 WHERE NUMBER01 = 1 ORDER BY TEXT02"),
             left);
    QCOMPARE(listedContacts().size(), left.size());
    // The company's correspondence is not touched.
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE09").toInt(), 1);
}

void TestContacts::choosingACompanyMovesTheCompaniesWindow() {
    FormContacts* form = openContacts();
    choose(form->selector(), "bak");
    QCOMPARE(companies()->companyName(), QString("Baker's Dozen"));
    QCOMPARE(companies()->selector()->text(), QString("Baker's Dozen"));
    QCOMPARE(listedContacts(), QStringList{"Carl Baker"});
    tick();
    QCOMPARE(form->windowTitle(), QString("Contacts - Baker's Dozen"));
    // A text that matches no company leaves everything as it was.
    choose(form->selector(), "zzz");
    QCOMPARE(companies()->companyName(), QString("Baker's Dozen"));
    QCOMPARE(listedContacts(), QStringList{"Carl Baker"});
}

void TestContacts::companySelectorFollowsTheCompaniesView() {
    // One sales person's companies, the name with an apostrophe.
    m_session->exec("User.mdb", "UPDATE TABLE02 SET TEXT03 = 'Dana O''Neill'");
    FormContacts* form = openContacts();
    QStringList listed;
    for (int i = 0; i < form->selector()->count(); ++i)
        listed << form->selector()->itemText(i);
    QCOMPARE(listed, QStringList{"Acme"});
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestContacts::letterAndTelefaxArePrepared_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("contact");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    const QString address = "12/10/2026\n\nMs Zoe Adams\nAcme\nPO Box 1\nTacoma\n98401\n\n";
    QTest::newRow("letter") << "CommandLetter"
                            << "Zoe Adams"
                            << "LETTER" << address + "RE: ";
    QTest::newRow("telefax") << "CommandFax"
                             << "Zoe Adams"
                             << "TELEFAX" << address + "Telefax No. 555-3333\n\nRE: ";
    QTest::newRow("telefax without a fax number")
        << "CommandFax"
        << "Bill O'Brien"
        << "TELEFAX"
        << "12/10/2026\n\nMr Bill O'Brien\nAcme\nPO Box 1\nTacoma\n98401\n\nTelefax No. \n\nRE: ";
}

void TestContacts::letterAndTelefaxArePrepared() {
    QFETCH(QString, command);
    QFETCH(QString, contact);
    QFETCH(QString, kind);
    QFETCH(QString, text);
    openContacts();
    chooseContact(contact);
    click(command);
    auto* editor = qobject_cast<FormWrite*>(Forms::loaded(FormWrite::Name));
    QVERIFY(editor && editor->isVisible());
    QCOMPARE(editor->kind(), kind);
    QCOMPARE(editor->document()->text(), text);
    QCOMPARE(editor->document()->textCursor().position(), text.size());
    QVERIFY(!editor->findChild<QWidget*>("FrameEMail")->isVisible());
    // Closed, it is filed with the company.
    editor->close();
    settle();
    const QList<QVariantList> rows =
        m_session->rows("TESSALY.mdb", "SELECT NUMBER01, TEXT07, MEMO01 FROM TABLE09");
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value(0).toInt(), 1);
    QCOMPARE(rows.first().value(1).toString(), kind);
    QCOMPARE(Rtf::toPlainText(rows.first().value(2).toString()).replace("\r\n", "\n"), text);
}

void TestContacts::eMailOpensTheEditorWithTheAddress() {
    openContacts();
    chooseContact("Zoe Adams");
    click("CommandEMail");
    auto* editor = qobject_cast<FormWrite*>(Forms::loaded(FormWrite::Name));
    QVERIFY(editor && editor->isVisible());
    QCOMPARE(editor->kind(), QString("EMAIL"));
    QCOMPARE(editor->windowTitle(), QString("Write an E-Mail to Zoe Adams"));
    QVERIFY(editor->findChild<QWidget*>("FrameEMail")->isVisible());
    QCOMPARE(editor->findChild<QLineEdit*>("TextTo")->text(), QString("zoe@acme.example"));
    QCOMPARE(editor->document()->text(), QString());
    QTRY_VERIFY(editor->findChild<QLineEdit*>("TextSubject")->hasFocus());
}

void TestContacts::anOpenEditorIsReused() {
    openContacts();
    chooseContact("Zoe Adams");
    click("CommandLetter");
    QTest::keyClicks(Forms::get<FormWrite>()->document(), "Dear Zoe");
    click("CommandFax");
    auto* editor = Forms::get<FormWrite>();
    QCOMPARE(editor->kind(), QString("TELEFAX"));
    QVERIFY(!editor->document()->text().contains("Dear Zoe"));
    editor->close();
    settle();
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT TEXT07 FROM TABLE09"),
             QStringList{"TELEFAX"});
}

void TestContacts::eMailWithoutAddressOpensNoEditor() {
    openContacts(); // Bill has no address
    m_session->expectMessage("Bill O'Brien does not have an e-mail address.");
    click("CommandEMail");
    QCOMPARE(MsgBox::last().text, QString("Bill O'Brien does not have an e-mail address."));
    QCOMPARE(MsgBox::last().style, int(MsgBox::Information));
    QVERIFY(!Forms::isVisible("FormWrite"));
}

void TestContacts::appointmentAndTaskInTheMailProgram() {
    openContacts();
    chooseContact("Zoe Adams");
    click("CommandAppointment");
    QWidget* appointment = topLevel("AppointmentWindow");
    QVERIFY(appointment);
    QCOMPARE(appointment->findChild<QLineEdit*>("TextSubject")->text(),
             QString("Zoe Adams Acme 1200 Dock Street Suite 400 Tacoma 555-2222 555-1111"));
    QCOMPARE(appointment->findChild<QSpinBox*>("SpinDuration")->value(), 60);
    QCOMPARE(companies()->findChild<QLineEdit*>("TextAppointment")->text(),
             QString("A new appointment has been made."));
    QVERIFY(!child("ImageOutlook")->isVisible());
    QVERIFY(!child("LabelLoad")->isVisible());

    click("CommandTask");
    QWidget* task = topLevel("TaskWindow");
    QVERIFY(task);
    QCOMPARE(task->findChild<QLineEdit*>("TextSubject")->text(),
             QString("Zoe Adams Acme 555-2222 555-1111 "));
    QCOMPARE(task->findChild<QDateEdit*>("DateDue")->date(), Today);
}

void TestContacts::taskSubjectWithoutNumbers() {
    openContacts(); // Bill: no direct line, no cellphone
    companies()->findChild<QLineEdit*>("TextAppointment")->clear();
    click("CommandTask");
    QWidget* task = topLevel("TaskWindow");
    QVERIFY(task);
    QCOMPARE(task->findChild<QLineEdit*>("TextSubject")->text(), QString("Bill O'Brien Acme   "));
    // A task leaves the appointment notice alone.
    QCOMPARE(companies()->findChild<QLineEdit*>("TextAppointment")->text(), QString());
}

void TestContacts::aCompanyJustEnteredGetsItsContacts() {
    Forms::show("FormMenu");
    QTest::mouseClick(Forms::loaded("FormMenu")->findChild<QPushButton*>("CommandCompanies"),
                      Qt::LeftButton);
    QTest::mouseClick(companies()->findChild<QPushButton*>("CommandNew"), Qt::LeftButton);
    QTest::keyClicks(companies()->box("TEXT01"), "Delta Freight");
    QTest::keyClick(companies(), Qt::Key_F3);
    settle();
    QVERIFY(contacts() && contacts()->isVisible());
    QVERIFY(MsgBox::shown().isEmpty());
    QCOMPARE(companies()->companyName(), QString("Delta Freight"));
    const QString key =
        m_session
            ->scalar("TESSALY.mdb", "SELECT AUTONUMBER FROM TABLE01 WHERE TEXT01 = 'Delta "
                                    "Freight'")
            .toString();
    QVERIFY(!key.isEmpty());
    QCOMPARE(companies()->box("AUTONUMBER")->text(), key);
    QVERIFY(listedContacts().isEmpty());
    click("CommandNew");
    QTest::keyClicks(box("TEXT02"), "Eve");
    contacts()->dataTable03()->save();
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT NUMBER01 FROM TABLE03 WHERE TEXT02 = 'Eve'")
                 .toString(),
             key);
}

void TestContacts::emptyDatabaseEndsTheProgram() {
    m_session->exec("TESSALY.mdb", "DELETE FROM TABLE03; DELETE FROM TABLE01;");
    m_session->expectMessage(FormContacts::emptyDatabaseMessage());
    openContacts();
    QCOMPARE(MsgBox::last().text, FormContacts::emptyDatabaseMessage());
    QCOMPARE(MsgBox::last().style, int(MsgBox::Information));
    QVERIFY(FormContacts::emptyDatabaseMessage().contains(", \r\nTessaly needs"));
    settle();
    QVERIFY(Forms::all().isEmpty());
}

void TestContacts::emptyListSaysSoAndStays_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("user");
    QTest::newRow("archive without an archived company") << "CommandArchive"
                                                         << "Dana O'Neill";
    QTest::newRow("sales person without companies") << "CommandCompanies"
                                                    << "Nobody";
}

void TestContacts::emptyListSaysSoAndStays() {
    QFETCH(QString, command);
    QFETCH(QString, user);
    m_session->exec(
        "User.mdb",
        QString("UPDATE TABLE02 SET TEXT03 = '%1'").arg(QString(user).replace("'", "''")));
    Forms::show("FormMenu");
    QTest::mouseClick(Forms::loaded("FormMenu")->findChild<QPushButton*>(command), Qt::LeftButton);
    FormCompanies* form = companies();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QCOMPARE(form->dataTable01()->rowCount(), 0);
    m_session->expectMessage(FormContacts::emptyViewMessage());
    QTest::keyClick(form, Qt::Key_F3);
    settle();
    QCOMPARE(MsgBox::shown().size(), 1);
    QCOMPARE(MsgBox::last().text, FormContacts::emptyViewMessage());
    QCOMPARE(MsgBox::last().style, int(MsgBox::Information));
    // The program goes on, back in the companies window.
    QTRY_VERIFY(form->isVisible());
    QCOMPARE(Forms::loaded(FormCompanies::Name), form);
    QTRY_VERIFY(!Forms::isLoaded(FormContacts::Name));

    // From there the companies come back, and F3 shows their contacts.
    QTest::mouseClick(form->findChild<QRadioButton*>("Option1"), Qt::LeftButton);
    if (command == "CommandArchive") {
        QCOMPARE(form->companyName(), QString("Crane Works"));
        form->close();
        settle();
        QTest::mouseClick(Forms::loaded("FormMenu")->findChild<QPushButton*>("CommandCompanies"),
                          Qt::LeftButton);
        form = companies();
    }
    QCOMPARE(form->companyName(), QString("Acme"));
    QTest::keyClick(form, Qt::Key_F3);
    settle();
    QVERIFY(contacts() && contacts()->isVisible());
    QCOMPARE(listedContacts(), (QStringList{"Bill O'Brien", "Zoe Adams"}));
    QCOMPARE(MsgBox::shown().size(), 1);
}

void TestContacts::hoverTextsNameTheContact() {
    FormContacts* form = openContacts();
    chooseContact("Zoe Adams");
    HoverHelp* help = form->hoverHelp();
    QCOMPARE(help->text(child("CommandLetter")), QString("Write a letter to Zoe Adams."));
    QCOMPARE(help->text(child("CommandReport")), QString("Write a call report related to Acme."));
    QCOMPARE(help->text(child("OptionDial1")), QString("Dial 555-1111, using your modem."));
    QCOMPARE(help->text(box("TEXT08")),
             QString("Enter Zoe Adams's direct telephone number if it differs from Acme's "
                     "telephone number."));
    QCOMPARE(help->text(child("CommandEdit")), QString("Edit information."));
    click("CommandEdit");
    QCOMPARE(help->text(child("CommandEdit")), QString("Lock the controls when finished editing."));
}

void TestContacts::closingShowsTheMenu() {
    FormContacts* form = openContacts();
    form->close();
    settle();
    QVERIFY(!Forms::isLoaded(FormContacts::Name));
    QVERIFY(Forms::isVisible("FormMenu"));
}

QTEST_MAIN(TestContacts)
#include "tst_contacts.moc"
