#include "TestSession.h"

#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "companies/FormCompanies.h"
#include "companies/FormDetails.h"
#include "data/DataSource.h"
#include "data/SqliteConnection.h"
#include "menu/FormMenu.h"
#include "platform/Locale.h"
#include "services/Desktop.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/DBCombo.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolBar>

namespace {

// Thursday, 10 December 2026.
const QDate Today(2026, 12, 10);

} // namespace

// The companies window, the field selection and the details window, driven
// through their controls; what they store is read back with plain SQL.
class TestCompanies : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void menuOpensTheActiveAndTheArchivedView();
    void closingShowsTheMenuAndExitEndsTheProgram();
    void choosingACompanyMovesTheCurrentRow();
    void newCompanyIsStoredWithItsEntryDateAndStatus();
    void newCompanyMatchingAStoredOne_data();
    void newCompanyMatchingAStoredOne();
    void newInEditModeLeavesTheWindowLocked();
    void editsAreStoredAtTheNextSavePoint();
    void notesChangedByAnotherUserAreNotOverwrittenUnseen_data();
    void notesChangedByAnotherUserAreNotOverwrittenUnseen();
    void editModeSwapsPickListsForBoxes();
    void visitFrequencyMustBeANumber();
    void visitFrequencyWithAFractionKeepsItsWholeDays_data();
    void visitFrequencyWithAFractionKeepsItsWholeDays();
    void archiveAndRestoreMoveBetweenTheViews();
    void userChoiceFiltersAndSurvivesARestart();
    void anEmptyListCanBeLeftByAnotherChoice_data();
    void anEmptyListCanBeLeftByAnotherChoice();
    void overdueComputation_data();
    void overdueComputation();
    void datesWorkInEveryKindOfLocale_data();
    void datesWorkInEveryKindOfLocale();
    void captions_data();
    void captions();
    void fieldSelectionHidesFields();
    void fieldSelectionIsStoredByOk();
    void fieldSelectionKeepsPickListsAndBoxesHidden();
    void fieldSwitchedOnAgainShowsLabelAndBox();
    void detailsWindowWritesBack_data();
    void detailsWindowWritesBack();
    void detailsWindowKeepsToItsCompany_data();
    void detailsWindowKeepsToItsCompany();
    void detailsWindowOfACompanyGoneStoresNothing_data();
    void detailsWindowOfACompanyGoneStoresNothing();
    void mapOpensTheAddress_data();
    void mapOpensTheAddress();
    void websiteDoubleClick();
    void hoverTextsNameTheCompany();
    void toolbarSendsKeystrokes();
    void accessKeysAreDistinct_data();
    void accessKeysAreDistinct();

private:
    FormCompanies* openFromMenu(const char* command = "CommandCompanies");
    FormCompanies* companies() const { return Forms::get<FormCompanies>(); }
    template <class T = QWidget> T* child(const QString& name) const {
        T* widget = companies()->findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    QLineEdit* box(const QString& name) const { return companies()->box(name); }
    // One tick of the window's 100 ms timer (captions, labels, days overdue).
    void timerTick() const { fireTimer(companies(), "TimerLoad"); }
    void click(const QString& name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    // Types into a list until it shows the entry, then chooses it with Enter.
    static void choose(DBCombo* combo, const QString& typed) {
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), typed);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    }
    void chooseCompany(const QString& typed) { choose(companies()->selector(), typed); }
    QVariant stored(const QString& column, const QString& company) const {
        return m_session->scalar("TESSALY.mdb",
                                 QString("SELECT %1 FROM TABLE01 WHERE TEXT01 = '%2'")
                                     .arg(column, QString(company).replace("'", "''")));
    }
    QStringList listed() const {
        QStringList names;
        for (int i = 0; i < companies()->selector()->count(); ++i)
            names << companies()->selector()->itemText(i);
        return names;
    }
    // A click on the box of a check box.
    static void tick(QCheckBox* check) {
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
    }

    std::unique_ptr<TestSession> m_session;
};

void TestCompanies::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec(
        "TESSALY.mdb",
        "INSERT INTO MT12 (TEXT01) VALUES ('Ann'), ('Bob'), ('Dana O''Neill');"
        "INSERT INTO MT13 (TEXT01) VALUES ('Helena');"
        "INSERT INTO MT10 (TEXT01) VALUES ('Customer'), ('Prospect');"
        "INSERT INTO MT02 (TEXT01) VALUES ('Key account');"
        "INSERT INTO MT01 (TEXT01) VALUES ('Seattle');"
        "INSERT INTO MT03 (TEXT01) VALUES ('Industrial');"
        "INSERT INTO MT08 (TEXT01) VALUES ('Pacific'), ('Midwest');"
        "INSERT INTO TABLE01 (TEXT01, TEXT06, TEXT07, TEXT08, TEXT09, TEXT12, TEXT18, "
        "TEXT20, MEMO01, MEMO02, DATE03) VALUES "
        "('Acme', '1200 Dock Street', 'Suite 400', 'Tacoma', 'Pacific', "
        "'www.acme.example', 'Ann', 'Company', 'Call before noon.', 'Makes anvils.', "
        "'2024-03-18'),"
        "('Baker''s Dozen', '', '', 'Portland', '', '', 'Dana O''Neill', 'Company', '', "
        "'', '2025-01-02'),"
        "('Crane Works', '', '', 'Boise', '', '', 'Bob', 'Archive', '', '', "
        "'2020-05-05');");
    m_session->registerForms();
    Forms::show("FormMenu");
}

void TestCompanies::cleanup() {
    m_session.reset();
}

FormCompanies* TestCompanies::openFromMenu(const char* command) {
    auto* menu = Forms::loaded("FormMenu");
    if (!menu || !menu->isVisible())
        menu = Forms::show("FormMenu");
    QTest::mouseClick(menu->findChild<QPushButton*>(command), Qt::LeftButton);
    auto* form = qobject_cast<FormCompanies*>(Forms::loaded("FormCompanies"));
    if (form && !QTest::qWaitForWindowExposed(form))
        qWarning("the companies window was not shown");
    return form;
}

void TestCompanies::menuOpensTheActiveAndTheArchivedView() {
    FormCompanies* form = openFromMenu();
    QVERIFY(form && form->isVisible());
    QVERIFY(!Forms::isVisible("FormMenu"));
    QCOMPARE(listed(), (QStringList{"Acme", "Baker's Dozen"}));
    QCOMPARE(form->selector()->text(), QString("Select a Company..."));
    QTRY_VERIFY(form->selector()->hasFocus());
    QVERIFY(child("CommandArchive")->isVisible());
    QVERIFY(!child("CommandUnarchive")->isVisible());
    QVERIFY(!form->isEditing());
    QCOMPARE(Twips::geometry(form).size(), QSize(12900, 7530 - 400));
    QCOMPARE(form->userChoice()->text(), QString("All Companies"));
    QVERIFY(child<QRadioButton>("Option1")->isChecked());
    QVERIFY(!child("DBComboName")->isVisible());

    form->close();
    settle();
    QVERIFY(Forms::isVisible("FormMenu"));
    form = openFromMenu("CommandArchive");
    QCOMPARE(listed(), QStringList{"Crane Works"});
    QVERIFY(!child("CommandArchive")->isVisible());
    QVERIFY(child("CommandUnarchive")->isVisible());
    QCOMPARE(Twips::geometry(child("CommandUnarchive")).topLeft(),
             Twips::geometry(child("CommandArchive")).topLeft());
}

void TestCompanies::closingShowsTheMenuAndExitEndsTheProgram() {
    FormCompanies* form = openFromMenu();
    QTest::keyClick(form, Qt::Key_F1, Qt::NoModifier);
    QVERIFY(Forms::isLoaded("FormHelp"));
    Forms::unload("FormHelp");
    click("CommandEdit");
    box("TEXT08")->selectAll();
    QTest::keyClicks(box("TEXT08"), "Seattle");
    click("CommandExit");
    settle();
    QVERIFY(Forms::all().isEmpty());
    // The pending edit went with it rather than being lost.
    QCOMPARE(stored("TEXT08", "Acme").toString(), QString("Seattle"));
}

void TestCompanies::choosingACompanyMovesTheCurrentRow() {
    FormCompanies* form = openFromMenu();
    QCOMPARE(form->companyName(), QString("Acme"));
    chooseCompany("bak");
    QCOMPARE(form->companyName(), QString("Baker's Dozen"));
    QCOMPARE(box("AUTONUMBER")->text(), stored("AUTONUMBER", "Baker's Dozen").toString());
    QCOMPARE(box("Text18")->text(), QString("Dana O'Neill"));
    // Enter on a text that matches nothing leaves the current company.
    form->selector()->lineEdit()->selectAll();
    QTest::keyClicks(form->selector()->lineEdit(), "zzz");
    QTest::keyClick(form->selector()->lineEdit(), Qt::Key_Return);
    QCOMPARE(form->companyName(), QString("Baker's Dozen"));
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestCompanies::newCompanyIsStoredWithItsEntryDateAndStatus() {
    FormCompanies* form = openFromMenu();
    click("CommandNew");
    QVERIFY(form->isEditing());
    QCOMPARE(box("TEXT01")->text(), QString());
    QCOMPARE(child<QLabel>("LabelEntered")->text(), QString("Entered on 12/10/2026"));
    QTest::keyClicks(box("TEXT01"), "Zephyr's Kitchens");
    choose(child<DBCombo>("DBCombo12"), "Dan");
    QCOMPARE(box("Text18")->text(), QString("Dana O'Neill"));
    choose(child<DBCombo>("DBCombo10"), "Pro");
    QCOMPARE(box("TEXT17")->text(), QString("Prospect"));
    QTest::keyClicks(box("NUMBER01"), "21");
    click("CommandEdit"); // locking is not a save point
    QVERIFY(!stored("AUTONUMBER", "Zephyr's Kitchens").isValid());
    chooseCompany("Acme");
    QCOMPARE(m_session->rows("TESSALY.mdb",
                             "SELECT TEXT18, TEXT17, TEXT20, DATE03, NUMBER01 FROM TABLE01 WHERE "
                             "TEXT01 = 'Zephyr''s Kitchens'"),
             (QList<QVariantList>{{"Dana O'Neill", "Prospect", "Company", "2026-12-10", 21}}));
}

void TestCompanies::notesChangedByAnotherUserAreNotOverwrittenUnseen_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("notes");
    QTest::newRow("keep mine") << int(MsgBox::Yes) << "Call before noon. Mine.";
    QTest::newRow("take theirs") << int(MsgBox::No) << "Call before noon. Theirs.";
}

void TestCompanies::notesChangedByAnotherUserAreNotOverwrittenUnseen() {
    QFETCH(int, answer);
    QFETCH(QString, notes);
    openFromMenu();
    click("CommandEdit");
    auto* memo = child<QPlainTextEdit>("MEMO01");
    QCOMPARE(memo->toPlainText(), QString("Call before noon."));
    // Another instance of the program, on its own connection, adds to the notes.
    m_session->exec(
        "TESSALY.mdb",
        "UPDATE TABLE01 SET MEMO01 = 'Call before noon. Theirs.' WHERE TEXT01 = 'Acme'");
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(memo, " Mine.");
    MsgBox::clearShown();
    MsgBox::answerNext(MsgBox::Result(answer));
    chooseCompany("Bak");
    QCOMPARE(MsgBox::shown().size(), 1);
    QVERIFY2(MsgBox::last().text.startsWith("Another user has changed this record"),
             qPrintable(MsgBox::last().text));
    QCOMPARE(stored("MEMO01", "Acme").toString(), notes);
    chooseCompany("Acme");
    QCOMPARE(memo->toPlainText(), notes);
}

void TestCompanies::newCompanyMatchingAStoredOne_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("existing");
    QTest::addColumn<int>("answer");
    QTest::newRow("kept as a company of its own") << "ACME Ltd."
                                                  << "Acme (Tacoma)" << int(MsgBox::No);
    QTest::newRow("dropped for the stored one") << "ACME Ltd."
                                                << "Acme (Tacoma)" << int(MsgBox::Yes);
    QTest::newRow("dropped for an archived one")
        << "Crane Works GmbH"
        << "Crane Works (Boise, archived)" << int(MsgBox::Yes);
}

void TestCompanies::newCompanyMatchingAStoredOne() {
    QFETCH(QString, typed);
    QFETCH(QString, existing);
    QFETCH(int, answer);
    FormCompanies* form = openFromMenu();
    click("CommandNew");
    QTest::keyClicks(box("TEXT01"), typed);
    m_session->expectMessage(
        QString("'%1' may already be in the database:\n\n%2\n\nGo to the existing company?")
            .arg(typed, existing),
        MsgBox::Result(answer));
    chooseCompany("Bak");
    settle();
    const int count =
        m_session
            ->scalar("TESSALY.mdb",
                     QString("SELECT COUNT(*) FROM TABLE01 WHERE TEXT01 = '%1'").arg(typed))
            .toInt();
    if (answer == MsgBox::No) {
        QCOMPARE(count, 1);
        QCOMPARE(form->companyName(), QString("Baker's Dozen"));
        return;
    }
    // Nothing stored; the window shows the company that was already there.
    QCOMPARE(count, 0);
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE01").toInt(), 3);
    QCOMPARE(form->companyName(), existing.section(" (", 0, 0));
    QCOMPARE(box("TEXT01")->text(), existing.section(" (", 0, 0));
    QVERIFY(!form->editFrame()->isEnabled());
    // The next choice is an ordinary move, with nothing pending.
    chooseCompany(existing.left(3));
    QCOMPARE(MsgBox::shown().size(), 1);
}

void TestCompanies::newInEditModeLeavesTheWindowLocked() {
    FormCompanies* form = openFromMenu();
    click("CommandEdit");
    QVERIFY(form->isEditing());
    click("CommandNew");
    QVERIFY(!form->isEditing());
    QCOMPARE(box("TEXT01")->text(), QString());
    QCOMPARE(box("TEXT20")->text(), QString("Company"));
    QVERIFY(!child("DBCombo12")->isVisible());
    QVERIFY(box("Text18")->isVisible());
}

void TestCompanies::editsAreStoredAtTheNextSavePoint() {
    openFromMenu();
    click("CommandEdit");
    QTest::keyClicks(box("TEXT10"), "(253) 555-0142");
    child<QPlainTextEdit>("MEMO01")->setFocus();
    QTest::keyClick(child<QPlainTextEdit>("MEMO01"), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(child<QPlainTextEdit>("MEMO01"), " Gate code 4411.");
    QVERIFY(stored("TEXT10", "Acme").isNull());
    chooseCompany("Bak");
    QCOMPARE(stored("TEXT10", "Acme").toString(), QString("(253) 555-0142"));
    QCOMPARE(stored("MEMO01", "Acme").toString(), QString("Call before noon. Gate code 4411."));

    // A name with an apostrophe is stored as typed.
    box("TEXT01")->selectAll();
    QTest::keyClicks(box("TEXT01"), "Baker's Dozen & Sons");
    companies()->close();
    settle();
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT TEXT01 FROM TABLE01 ORDER BY AUTONUMBER"),
             (QStringList{"Acme", "Baker's Dozen & Sons", "Crane Works"}));
}

void TestCompanies::editModeSwapsPickListsForBoxes() {
    FormCompanies* form = openFromMenu();
    QVERIFY(!child("Toolbar1")->isVisible());
    QCOMPARE(form->hoverHelp()->text(child("CommandEdit")), QString("Edit information."));
    click("CommandEdit");
    QVERIFY(form->editFrame()->isEnabled());
    QVERIFY(child("Toolbar1")->isVisible());
    QCOMPARE(form->hoverHelp()->text(child("CommandEdit")),
             QString("Lock the controls when finished editing."));
    for (const auto& [list, field] : FormCompanies::PickLists()) {
        QVERIFY2(child(list)->isVisible(), qPrintable(list));
        QVERIFY2(!box(field)->isVisible(), qPrintable(field));
        const int left = field.startsWith("Text1") ? 1695 : 7800;
        QCOMPARE(Twips::geometry(child(list)).x(), left);
    }
    QCOMPARE(child<DBCombo>("DBCombo09")->text(), QString("Pacific"));
    choose(child<DBCombo>("DBCombo09"), "Mid");
    QCOMPARE(box("TEXT09")->text(), QString("Midwest"));

    click("CommandEdit");
    QVERIFY(!form->editFrame()->isEnabled());
    QVERIFY(!child("Toolbar1")->isVisible());
    for (const auto& [list, field] : FormCompanies::PickLists()) {
        QVERIFY(!child(list)->isVisible());
        QVERIFY(box(field)->isVisible());
        QCOMPARE(Twips::geometry(child(list)).x(), field.startsWith("Text1") ? 2000 : 8105);
    }
    chooseCompany("Bak");
    QCOMPARE(stored("TEXT09", "Acme").toString(), QString("Midwest"));
}

void TestCompanies::visitFrequencyMustBeANumber() {
    openFromMenu();
    click("CommandEdit");
    QLineEdit* frequency = box("NUMBER01");
    frequency->setFocus();
    QTest::keyClicks(frequency, "14");
    m_session->expectMessage("Please enter a number");
    QTest::keyClick(frequency, Qt::Key_X);
    QCOMPARE(MsgBox::last().text, QString("Please enter a number"));
    QCOMPARE(MsgBox::last().style, int(MsgBox::OKOnly | MsgBox::Information));
    QCOMPARE(frequency->text(), QString("14"));
    QTest::keyClick(frequency, Qt::Key_Backspace);
    QTest::keyClick(frequency, Qt::Key_Backspace);
    QCOMPARE(frequency->text(), QString("0")); // an emptied box holds 0
    QTest::keyClicks(frequency, "30");
    QCOMPARE(frequency->text(), QString("30"));
    chooseCompany("Bak");
    QCOMPARE(stored("NUMBER01", "Acme").toInt(), 30);
}

void TestCompanies::visitFrequencyWithAFractionKeepsItsWholeDays_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("leave"); // how the company is left: a save point
    QTest::addColumn<int>("stored");
    QTest::newRow("another company") << "12.5"
                                     << "choose" << 12;
    QTest::newRow("just under a day more") << "7.99"
                                           << "choose" << 7;
    QTest::newRow("Exit Application") << "12.5"
                                      << "exit" << 12;
    QTest::newRow("closing the window") << "12.5"
                                        << "close" << 12;
    QTest::newRow("a whole number") << "30"
                                    << "choose" << 30;
}

void TestCompanies::visitFrequencyWithAFractionKeepsItsWholeDays() {
    QFETCH(QString, typed);
    QFETCH(QString, leave);
    QFETCH(int, stored);
    FormCompanies* form = openFromMenu();
    click("CommandEdit");
    QLineEdit* frequency = box("NUMBER01");
    frequency->setFocus();
    QTest::keyClicks(frequency, typed);
    QCOMPARE(frequency->text(), typed); // typing is not interrupted
    if (leave == "choose") {
        chooseCompany("Bak");
        QCOMPARE(form->companyName(), QString("Baker's Dozen"));
        chooseCompany("Acme");
        QCOMPARE(frequency->text(), QString::number(stored));
    } else if (leave == "exit") {
        click("CommandExit");
        settle();
        QVERIFY(Forms::all().isEmpty());
    } else {
        QVERIFY(form->close());
        settle();
        QVERIFY(!Forms::isLoaded("FormCompanies"));
    }
    // The whole days were stored, and no refused edit held anything up.
    QVERIFY2(MsgBox::shown().isEmpty(), qPrintable(MsgBox::last().text));
    QCOMPARE(this->stored("NUMBER01", "Acme"), QVariant(qlonglong(stored)));
}

void TestCompanies::archiveAndRestoreMoveBetweenTheViews() {
    FormCompanies* form = openFromMenu();
    chooseCompany("Bak");
    MsgBox::answerNext(MsgBox::No);
    click("CommandArchive");
    QCOMPARE(MsgBox::last().text, QString("Are you sure you want to send Baker's Dozen to the "
                                          "archives?"));
    QCOMPARE(MsgBox::last().style, int(MsgBox::YesNo | MsgBox::Question));
    QCOMPARE(MsgBox::last().title, QString("Tessaly"));
    QCOMPARE(stored("TEXT20", "Baker's Dozen").toString(), QString("Company"));

    MsgBox::answerNext(MsgBox::Yes);
    click("CommandArchive");
    QCOMPARE(stored("TEXT20", "Baker's Dozen").toString(), QString("Archive"));
    QCOMPARE(listed(), QStringList{"Acme"});

    form->close();
    settle();
    form = openFromMenu("CommandArchive");
    QCOMPARE(listed(), (QStringList{"Baker's Dozen", "Crane Works"}));
    chooseCompany("Cra");
    timerTick();
    QCOMPARE(form->windowTitle(), QString("Archived Companies - Crane Works"));
    click("CommandUnarchive");
    QCOMPARE(stored("TEXT20", "Crane Works").toString(), QString("Company"));
    QCOMPARE(listed(), QStringList{"Baker's Dozen"});
}

void TestCompanies::userChoiceFiltersAndSurvivesARestart() {
    FormCompanies* form = openFromMenu();
    QTest::mouseClick(child<QRadioButton>("Option2"), Qt::LeftButton);
    QVERIFY(child("DBComboName")->isVisible());
    QVERIFY(child("LabelName")->isVisible());
    QVERIFY(child("DBComboName")->hasFocus());
    choose(child<DBCombo>("DBComboName"), "Dan");
    QCOMPARE(form->userChoice()->text(), QString("Dana O'Neill"));
    QVERIFY(!child("LabelName")->isVisible());
    QCOMPARE(listed(), QStringList{"Baker's Dozen"});
    QCOMPARE(form->dataTable01()->recordSource(),
             QString("SELECT * FROM TABLE01 WHERE TEXT20 = 'Company' AND TEXT18 = 'Dana "
                     "O''Neill' ORDER BY TEXT01"));
    timerTick();
    QCOMPARE(form->windowTitle(), QString("Active Companies [Dana O'Neill] - Baker's Dozen"));

    // A restart: every window closes, the databases are opened afresh.
    Forms::endProgram();
    settle();
    for (const char* database : {"TESSALY.mdb", "User.mdb"})
        SqliteConnection::closeShared(m_session->file(database));
    QCOMPARE(m_session->scalar("User.mdb", "SELECT TEXT03 FROM TABLE02").toString(),
             QString("Dana O'Neill"));
    form = openFromMenu();
    QVERIFY(child<QRadioButton>("Option2")->isChecked());
    QCOMPARE(listed(), QStringList{"Baker's Dozen"});

    QTest::mouseClick(child<QRadioButton>("Option1"), Qt::LeftButton);
    QCOMPARE(form->userChoice()->text(), QString("All Companies"));
    QVERIFY(!child("DBComboName")->isVisible());
    QCOMPARE(listed(), (QStringList{"Acme", "Baker's Dozen"}));
    // The reload starts the list again at its first company.
    timerTick();
    QCOMPARE(form->windowTitle(), QString("Active Companies - Acme"));
}

void TestCompanies::anEmptyListCanBeLeftByAnotherChoice_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("emptyFor"); // a sales person without companies in the view
    QTest::addColumn<QString>("choice");   // "All Companies" or another sales person
    QTest::addColumn<QStringList>("back");
    QTest::newRow("active, then all") << "CommandCompanies"
                                      << "Bob"
                                      << "All Companies" << QStringList{"Acme", "Baker's Dozen"};
    QTest::newRow("active, then another person") << "CommandCompanies"
                                                 << "Bob"
                                                 << "Ann" << QStringList{"Acme"};
    QTest::newRow("archived, then all") << "CommandArchive"
                                        << "Ann"
                                        << "All Companies" << QStringList{"Crane Works"};
}

void TestCompanies::anEmptyListCanBeLeftByAnotherChoice() {
    QFETCH(QString, command);
    QFETCH(QString, emptyFor);
    QFETCH(QString, choice);
    QFETCH(QStringList, back);
    FormCompanies* form = openFromMenu(qPrintable(command));
    QTest::mouseClick(child<QRadioButton>("Option2"), Qt::LeftButton);
    choose(child<DBCombo>("DBComboName"), emptyFor);
    QCOMPARE(form->userChoice()->text(), emptyFor);
    QCOMPARE(listed(), QStringList{});

    // The user always gets back: the empty list keeps its view.
    if (choice == "All Companies") {
        QTest::mouseClick(child<QRadioButton>("Option1"), Qt::LeftButton);
    } else {
        QTest::mouseClick(child<QRadioButton>("Option2"), Qt::LeftButton);
        choose(child<DBCombo>("DBComboName"), choice);
    }
    QCOMPARE(form->userChoice()->text(), choice);
    QCOMPARE(listed(), back);
    QCOMPARE(form->companyName(), back.first());
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestCompanies::overdueComputation_data() {
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("daysSinceVisit"); // -1: never visited
    QTest::addColumn<QVariant>("frequency");
    QTest::addColumn<int>("overdue");
    QTest::addColumn<bool>("notice");
    const QVariant none;
    QTest::newRow("exactly the frequency") << "Company" << 10 << QVariant(10) << 0 << false;
    QTest::newRow("one day more") << "Company" << 11 << QVariant(10) << 1 << true;
    QTest::newRow("long overdue") << "Company" << 400 << QVariant(30) << 370 << true;
    QTest::newRow("visited today") << "Company" << 0 << QVariant(10) << 0 << false;
    QTest::newRow("archived") << "Archive" << 30 << QVariant(10) << 0 << false;
    QTest::newRow("frequency 0: unchanged") << "Company" << 30 << QVariant(0) << 7 << false;
    QTest::newRow("no frequency: unchanged") << "Company" << 30 << none << 7 << false;
    QTest::newRow("never visited: unchanged") << "Company" << -1 << QVariant(10) << 7 << false;
}

void TestCompanies::overdueComputation() {
    QFETCH(QString, status);
    QFETCH(int, daysSinceVisit);
    QFETCH(QVariant, frequency);
    QFETCH(int, overdue);
    QFETCH(bool, notice);
    const QString visited = daysSinceVisit < 0
                                ? QString("NULL")
                                : "'" + Today.addDays(-daysSinceVisit).toString(Qt::ISODate) + "'";
    m_session->exec(
        "TESSALY.mdb",
        QString("UPDATE TABLE01 SET TEXT20 = '%1', DATE01 = %2, NUMBER01 = %3, "
                "NUMBER02 = 7 WHERE TEXT01 = 'Crane Works'")
            .arg(status, visited, frequency.isValid() ? frequency.toString() : QString("NULL")));
    FormCompanies* form = openFromMenu(status == "Archive" ? "CommandArchive" : "CommandCompanies");
    chooseCompany("Cra");
    QCOMPARE(form->companyName(), QString("Crane Works"));
    timerTick();
    QCOMPARE(child<QLabel>("LabelEntered")->text(), QString("Crane Works was entered on 5/5/2020"));
    for (int i = 0; i < 3; ++i)
        timerTick(); // a few more ticks change nothing
    QCOMPARE(child("LabelOverdue")->isVisible(), notice);
    if (notice)
        QCOMPARE(child<QLabel>("LabelOverdue")->text(),
                 QString("Crane Works is overdue for a visit!"));
    QCOMPARE(child<QLabel>("LabelDateLastVisited")->text(),
             daysSinceVisit < 0 ? QString()
                                : "Crane Works was last visited on " +
                                      QLocale(QLocale::English, QLocale::UnitedStates)
                                          .toString(Today.addDays(-daysSinceVisit), "M/d/yyyy"));
    form->close(); // the save point
    settle();
    QCOMPARE(stored("NUMBER02", "Crane Works").toInt(), overdue);
}

void TestCompanies::datesWorkInEveryKindOfLocale_data() {
    QTest::addColumn<QString>("locale");
    // Blanks after the separators, a year first with a closing dot, a year
    // suffix, the locale's own digits and direction marks.
    for (const char* name :
         {"sk_SK", "hu_HU", "bg_BG", "ko_KR", "ar_EG", "fa_IR", "bn_BD", "my_MM"})
        QTest::newRow(name) << name;
}

void TestCompanies::datesWorkInEveryKindOfLocale() {
    QFETCH(QString, locale);
    Locale::pin(QLocale(locale));
    m_session->exec("TESSALY.mdb", "UPDATE TABLE01 SET DATE01 = '" +
                                       Today.addDays(-40).toString(Qt::ISODate) +
                                       "', NUMBER01 = 30, NUMBER02 = NULL WHERE TEXT01 = 'Acme'");
    MsgBox::clearShown();
    FormCompanies* form = openFromMenu();
    chooseCompany("Acme");
    // The last visit as this locale shows it, and the days overdue from it.
    QCOMPARE(box("DATE01")->text(), Locale::dateText(Today.addDays(-40)));
    timerTick();
    QCOMPARE(box("NUMBER02")->text(), QString("10"));
    click("CommandNew");
    QTest::keyClicks(box("TEXT01"), "Zephyr");
    chooseCompany("Acme");
    form->close();
    settle();
    QVERIFY2(MsgBox::shown().isEmpty(), qPrintable(MsgBox::last().text));
    QCOMPARE(stored("DATE03", "Zephyr").toString(), QString("2026-12-10"));
    QCOMPARE(stored("NUMBER02", "Acme").toInt(), 10);
}

void TestCompanies::captions_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("caption");
    QTest::newRow("all, active") << "All Companies"
                                 << "CommandCompanies"
                                 << "Active Companies - Acme";
    QTest::newRow("one, active") << "Ann"
                                 << "CommandCompanies"
                                 << "Active Companies [Ann] - Acme";
    QTest::newRow("one, archived") << "Bob"
                                   << "CommandArchive"
                                   << "Archived Companies [Bob] - Crane Works";
    QTest::newRow("all, archived") << "All Companies"
                                   << "CommandArchive"
                                   << "Archived Companies - Crane Works";
}

void TestCompanies::captions() {
    QFETCH(QString, user);
    QFETCH(QString, command);
    QFETCH(QString, caption);
    m_session->exec("User.mdb", QString("UPDATE TABLE02 SET TEXT03 = '%1'").arg(user));
    FormCompanies* form = openFromMenu(qPrintable(command));
    timerTick();
    QCOMPARE(form->windowTitle(), caption);
    QCOMPARE(child<QLabel>("LabelDateandTime")->text(), QString("12/10/2026 10:00 AM"));
}

void TestCompanies::fieldSelectionHidesFields() {
    auto* menu = Forms::loaded("FormMenu");
    QTest::mouseClick(menu->findChild<QPushButton*>("CommandFields"), Qt::LeftButton);
    Form* fields = Forms::loaded("FormFields");
    QVERIFY(fields && fields->isVisible());
    QCOMPARE(fields->windowTitle(), QString("Select Fields..."));
    for (int i = 1; i <= 7; ++i)
        QTRY_VERIFY(fields->findChild<QCheckBox*>(QString("Check%1").arg(i))->isChecked());
    for (const char* check : {"Check1", "Check6", "Check7"})
        tick(fields->findChild<QCheckBox*>(check));
    QTest::mouseClick(fields->findChild<QPushButton*>("CommandOK"), Qt::LeftButton);
    QVERIFY(!fields->isVisible());
    QVERIFY(Forms::isVisible("FormMenu"));

    FormCompanies* form = openFromMenu();
    for (const char* hidden : {"LabelVisit", "NUMBER01", "CommandReminder", "LabelRegion", "TEXT09",
                               "LabelSalesManager", "Text19"})
        QTRY_VERIFY2(!child(hidden)->isVisible(), hidden);
    for (const char* shown : {"LabelCategory", "TEXT15", "LabelAccount", "TEXT02", "LabelBranch",
                              "TEXT14", "LabelDivision", "TEXT13"})
        QVERIFY2(child(shown)->isVisible(), shown);

    // Ticking a field again shows it when the window is next loaded; the
    // flags reach User.mdb when the selection window goes.
    form->close();
    settle();
    QTest::mouseClick(Forms::loaded("FormMenu")->findChild<QPushButton*>("CommandFields"),
                      Qt::LeftButton);
    tick(fields->findChild<QCheckBox*>("Check6"));
    QTest::mouseClick(fields->findChild<QPushButton*>("CommandOK"), Qt::LeftButton);
    openFromMenu();
    QTRY_VERIFY(!child("NUMBER01")->isVisible());
    QVERIFY(child("LabelRegion")->isVisible());
    QVERIFY(child("TEXT09")->isVisible());
    QVERIFY(Forms::endProgram());
    settle();
    QCOMPARE(m_session->rows("User.mdb", "SELECT TEXT01, TEXT02, TEXT06, TEXT07 FROM TABLE01"),
             (QList<QVariantList>{{"0", "1", "1", "0"}}));
}

void TestCompanies::fieldSelectionIsStoredByOk() {
    QTest::mouseClick(Forms::loaded("FormMenu")->findChild<QPushButton*>("CommandFields"),
                      Qt::LeftButton);
    Form* fields = Forms::loaded("FormFields");
    QTRY_VERIFY(fields->findChild<QCheckBox*>("Check3")->isChecked());
    for (const char* check : {"Check3", "Check5"})
        tick(fields->findChild<QCheckBox*>(check));
    QTest::mouseClick(fields->findChild<QPushButton*>("CommandOK"), Qt::LeftButton);
    QVERIFY(!fields->isVisible());
    // Stored at once, while the window is only hidden.
    QVERIFY(Forms::isLoaded("FormFields"));
    QCOMPARE(m_session->rows("User.mdb", "SELECT TEXT01, TEXT03, TEXT05, TEXT07 FROM TABLE01"),
             (QList<QVariantList>{{"1", "0", "0", "1"}}));
}

void TestCompanies::fieldSelectionKeepsPickListsAndBoxesHidden() {
    m_session->exec("User.mdb", "UPDATE TABLE01 SET TEXT02 = '0', TEXT07 = '0'");
    openFromMenu();
    QTRY_VERIFY(!child("Text19")->isVisible());
    click("CommandEdit");
    QVERIFY(!child("DBCombo13")->isVisible()); // sales manager
    QVERIFY(!child("DBCombo02")->isVisible()); // category
    QVERIFY(child("DBCombo12")->isVisible());
    QVERIFY(child("DBCombo09")->isVisible());
    click("CommandEdit");
    // Locking shows the boxes of the fields in use, not the switched-off ones.
    QVERIFY(!child("Text19")->isVisible());
    QVERIFY(!child("TEXT15")->isVisible());
    QVERIFY(child("Text18")->isVisible());
    QVERIFY(child("TEXT09")->isVisible());
}

void TestCompanies::fieldSwitchedOnAgainShowsLabelAndBox() {
    m_session->exec("User.mdb", "UPDATE TABLE01 SET TEXT06 = '0'");
    FormCompanies* form = openFromMenu();
    QTRY_VERIFY(!child("TEXT09")->isVisible());
    QVERIFY(!child("LabelRegion")->isVisible());

    // The companies window stays loaded behind the contacts window; its
    // close brings the main menu, where the region is switched on again.
    QTest::keyClick(form, Qt::Key_F3);
    settle();
    QVERIFY(!form->isVisible());
    Forms::loaded("FormContacts")->close();
    settle();
    auto* menu = Forms::loaded("FormMenu");
    QVERIFY(menu && menu->isVisible());
    QTest::mouseClick(menu->findChild<QPushButton*>("CommandFields"), Qt::LeftButton);
    Form* fields = Forms::loaded("FormFields");
    tick(fields->findChild<QCheckBox*>("Check6"));
    QTest::mouseClick(fields->findChild<QPushButton*>("CommandOK"), Qt::LeftButton);
    QCOMPARE(openFromMenu(), form); // the same window, not a new one

    QTRY_VERIFY(child("LabelRegion")->isVisible());
    QVERIFY(child("TEXT09")->isVisible());
    click("CommandEdit");
    QVERIFY(child("LabelRegion")->isVisible());
    QVERIFY(child("DBCombo09")->isVisible());
    QVERIFY(!child("TEXT09")->isVisible());
    click("CommandEdit");
    QVERIFY(child("LabelRegion")->isVisible());
    QVERIFY(child("TEXT09")->isVisible());
    QVERIFY(!child("DBCombo09")->isVisible());
}

void TestCompanies::detailsWindowWritesBack_data() {
    QTest::addColumn<bool>("editing");
    QTest::addColumn<QString>("zoom");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("before");
    QTest::newRow("notes, locked") << false << "CommandZoom1"
                                   << "MEMO01"
                                   << "Acme - Notes"
                                   << "Call before noon.";
    QTest::newRow("details, locked") << false << "CommandZoom2"
                                     << "MEMO02"
                                     << "Acme - Company Details"
                                     << "Makes anvils.";
    QTest::newRow("notes, editing") << true << "CommandZoom1"
                                    << "MEMO01"
                                    << "Acme - Notes"
                                    << "Call before noon.";
}

void TestCompanies::detailsWindowWritesBack() {
    QFETCH(bool, editing);
    QFETCH(QString, zoom);
    QFETCH(QString, memo);
    QFETCH(QString, caption);
    QFETCH(QString, before);
    FormCompanies* form = openFromMenu();
    if (editing)
        click("CommandEdit");
    click(zoom);
    auto* details = qobject_cast<FormDetails*>(Forms::loaded("FormDetails"));
    QVERIFY(details && details->isVisible());
    QCOMPARE(details->windowTitle(), caption);
    QCOMPARE(details->findChild<QLineEdit*>("TextMemo")->text(), memo);
    auto* text = details->findChild<QPlainTextEdit*>("Text1");
    QCOMPARE(text->toPlainText(), before);
    QCOMPARE(text->geometry(), details->rect());
    text->setFocus();
    QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_Return);
    QTest::keyClicks(text, "Line two, with 'quotes'.");
    details->close();
    settle();
    QCOMPARE(form->memo(memo)->toPlainText(), before + "\nLine two, with 'quotes'.");
    QCOMPARE(form->editFrame()->isEnabled(), editing);
    QCOMPARE(stored(memo, "Acme").toString(), before); // not before the save point
    chooseCompany("Bak");
    QCOMPARE(stored(memo, "Acme").toString(), before + "\nLine two, with 'quotes'.");
}

void TestCompanies::detailsWindowKeepsToItsCompany_data() {
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<QString>("zoom");
    QTest::addColumn<QString>("memo");
    QTest::newRow("notes, another company chosen") << "choose"
                                                   << "CommandZoom1"
                                                   << "MEMO01";
    QTest::newRow("details, another company chosen") << "choose"
                                                     << "CommandZoom2"
                                                     << "MEMO02";
    QTest::newRow("notes, companies window closed") << "close"
                                                    << "CommandZoom1"
                                                    << "MEMO01";
}

void TestCompanies::detailsWindowKeepsToItsCompany() {
    QFETCH(QString, meanwhile);
    QFETCH(QString, zoom);
    QFETCH(QString, memo);
    FormCompanies* form = openFromMenu();
    const QString before = stored(memo, "Acme").toString();
    click(zoom);
    auto* details = qobject_cast<FormDetails*>(Forms::loaded("FormDetails"));
    auto* text = details->findChild<QPlainTextEdit*>("Text1");
    text->setFocus();
    QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(text, " Ask for Jo.");
    if (meanwhile == "choose") {
        chooseCompany("Bak");
        QCOMPARE(form->companyName(), QString("Baker's Dozen"));
    } else {
        QVERIFY(form->close());
        settle();
        QVERIFY(!Forms::isLoaded("FormCompanies"));
    }
    details->close();
    settle();
    QVERIFY(!Forms::isLoaded("FormDetails"));
    QVERIFY(MsgBox::shown().isEmpty());
    // The company the window was opened on has the text; the other is untouched.
    QCOMPARE(stored(memo, "Acme").toString(), before + " Ask for Jo.");
    QCOMPARE(stored(memo, "Baker's Dozen").toString(), QString());
    if (meanwhile == "choose") {
        QCOMPARE(form->memo(memo)->toPlainText(), QString());
        chooseCompany("Acme");
        QCOMPARE(form->memo(memo)->toPlainText(), before + " Ask for Jo.");
        form->close(); // no second thoughts about the row at the save point
        settle();
        QVERIFY(MsgBox::shown().isEmpty());
        QCOMPARE(stored(memo, "Acme").toString(), before + " Ask for Jo.");
    }
}

void TestCompanies::detailsWindowOfACompanyGoneStoresNothing_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("close without storing") << int(MsgBox::Yes);
    QTest::newRow("keep the window") << int(MsgBox::No);
}

void TestCompanies::detailsWindowOfACompanyGoneStoresNothing() {
    QFETCH(int, answer);
    openFromMenu();
    click("CommandZoom1");
    auto* details = qobject_cast<FormDetails*>(Forms::loaded("FormDetails"));
    auto* text = details->findChild<QPlainTextEdit*>("Text1");
    text->setFocus();
    QTest::keyClicks(text, "Gone.");
    chooseCompany("Bak");
    m_session->exec("TESSALY.mdb", "DELETE FROM TABLE01 WHERE TEXT01 = 'Acme'");
    MsgBox::answerNext(MsgBox::Result(answer));
    QCOMPARE(details->close(), answer == MsgBox::Yes);
    settle();
    QCOMPARE(MsgBox::shown().size(), 1);
    QCOMPARE(MsgBox::last().text, FormDetails::companyGoneMessage("Acme"));
    QCOMPARE(MsgBox::last().style, int(MsgBox::YesNo | MsgBox::Exclamation));
    QCOMPARE(Forms::isLoaded("FormDetails"), answer == MsgBox::No);
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT MEMO01 FROM TABLE01 ORDER BY TEXT01"),
             (QStringList{"", ""}));
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE01").toInt(), 2);
}

void TestCompanies::mapOpensTheAddress_data() {
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("suite");
    QTest::addColumn<QString>("url");
    const QString search = "https://www.google.com/maps/search/?api=1&query=";
    QTest::newRow("full address") << "Acme"
                                  << "Suite 400"
                                  << search + "1200%20Dock%20Street%2C%20Suite%20400%2C%20Tacoma";
    QTest::newRow("an ampersand stays in the query")
        << "Acme"
        << "Suite 400 & 401"
        << search + "1200%20Dock%20Street%2C%20Suite%20400%20%26%20401%2C%20Tacoma";
    QTest::newRow("no street address") << "Baker's Dozen"
                                       << "" << search + "%2C%20%2C%20Portland";
}

void TestCompanies::mapOpensTheAddress() {
    QFETCH(QString, company);
    QFETCH(QString, suite);
    QFETCH(QString, url);
    m_session->exec("TESSALY.mdb",
                    QString("UPDATE TABLE01 SET TEXT07 = '%1' WHERE TEXT01 = 'Acme'").arg(suite));
    openFromMenu();
    chooseCompany(company.left(3));
    click("CommandMap");
    QCOMPARE(Desktop::opened().size(), 1);
    QCOMPARE(Desktop::opened().first().toString(QUrl::FullyEncoded), url);
}

void TestCompanies::websiteDoubleClick() {
    openFromMenu();
    click("CommandEdit");
    QTest::mouseDClick(box("TEXT12"), Qt::LeftButton);
    QCOMPARE(Desktop::opened(), QList<QUrl>{QUrl("http://www.acme.example")});
    chooseCompany("Bak"); // no website: nothing opens
    QTest::mouseDClick(box("TEXT12"), Qt::LeftButton);
    QCOMPARE(Desktop::opened().size(), 1);
}

void TestCompanies::hoverTextsNameTheCompany() {
    FormCompanies* form = openFromMenu();
    chooseCompany("Bak");
    HoverHelp* help = form->hoverHelp();
    QCOMPARE(help->text(child("CommandMap")), QString("Locate Baker's Dozen in Google Maps."));
    QCOMPARE(help->text(child("DBCombo10")),
             QString("What type of company is Baker's Dozen? Select from the drop-down list."));
    QCOMPARE(help->text(box("TEXT02")), QString("Enter Baker's Dozen's account number."));
    QCOMPARE(help->text(child("CommandReminder")),
             QString("Set a reminder in MS-Outlook as to when you need to make another "
                     "appointment with Baker's Dozen, based on your visit frequency. The "
                     "reminder will be set two days before a visit is due."));
    QCOMPARE(help->text(child("CommandArchive")),
             QString("If this company is no longer active, e.g. you no longer have a business "
                     "relationship with this company, you can send it to the archive. If, at a "
                     "future date, the relationship is restored you can remove it from the "
                     "archive."));
    help->showFor(child("CommandPrint"));
    QVERIFY(child("FrameHelp")->isVisible());
    QCOMPARE(child<QLabel>("LabelHelp")->text(), QString("Print this form."));
    QTest::mouseMove(child("Toolbar1")); // hidden toolbar: the background
    help->showBackground();
    QVERIFY(!child("FrameHelp")->isVisible());
}

void TestCompanies::toolbarSendsKeystrokes() {
    openFromMenu();
    click("CommandEdit");
    QLineEdit* city = box("TEXT08");
    city->setFocus();
    city->selectAll();
    auto* toolbar = child<QToolBar>("Toolbar1");
    auto trigger = [toolbar](const char* key) {
        for (QAction* action : toolbar->actions())
            if (action->objectName() == QLatin1String(key))
                action->trigger();
        settle();
    };
    trigger("Cut");
    QCOMPARE(city->text(), QString());
    trigger("Undo");
    QCOMPARE(city->text(), QString("Tacoma"));
    city->setCursorPosition(0);
    trigger("Delete");
    QCOMPARE(city->text(), QString("acoma"));
}

void TestCompanies::accessKeysAreDistinct_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("active") << "CommandCompanies";
    QTest::newRow("archived") << "CommandArchive";
}

void TestCompanies::accessKeysAreDistinct() {
    QFETCH(QString, command);
    FormCompanies* form = openFromMenu(qPrintable(command));
    // Two buttons on one Alt key would only take turns at the focus.
    QHash<QChar, QString> keys;
    for (QPushButton* button : form->findChildren<QPushButton*>()) {
        const QString text = button->text();
        const qsizetype amp = text.indexOf('&');
        if (!button->isVisible() || amp < 0 || amp + 1 >= text.size())
            continue;
        const QChar key = text.at(amp + 1).toLower();
        QVERIFY2(!keys.contains(key), qPrintable(keys.value(key) + " and " + text));
        keys.insert(key, text);
    }
    QTest::keyClick(form, Qt::Key_I, Qt::AltModifier);
    QTRY_VERIFY(Forms::isVisible("FormReminder"));
}

QTEST_MAIN(TestCompanies)
#include "tst_companies.moc"
