#include "TestSession.h"

#include "app/FormHelp.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "menu/FormMenu.h"
#include "services/Colors.h"
#include "services/Desktop.h"
#include "services/MsgBox.h"
#include "services/Twips.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The main menu, driven with clicks and keys.
class TestMainMenu : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void layoutAndVersion();
    void rightPasswordOpensTheAdvancedOptions();
    void wrongPasswordTurnsTheCaptionRed_data();
    void wrongPasswordTurnsTheCaptionRed();
    void emptyStoredPasswordMatchesAnEmptyBox();
    void changingThePassword();
    void changeAsksForTheCurrentPasswordFirst();
    void unconfirmedNewPasswordIsNotStored();
    void digitKeysRunTheirCommands();
    void digitsTypedIntoThePasswordStayDigits();
    void commandsWithoutTheirWindowAreOff();
    void profileCommandSitsWithTheOtherOptions();
    void hoverTexts_data();
    void hoverTexts();
    void hoverOverTheWebsiteAndTheBackground();
    void browserCommands();
    void closingEndsTheProgram();
    void closingWhileMaintenanceIsOpenOnlyClosesTheMenu();

private:
    template <class T> T* find(const char* name) const {
        T* widget = m_menu->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no %s", name);
        return widget;
    }
    void click(const char* name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    void typePassword(const char* box, const QString& text) {
        auto* edit = find<QLineEdit>(box);
        edit->setFocus();
        QTest::keyClicks(edit, text);
    }
    QString stored(const char* column) const {
        return m_session->scalar("TESSALY.mdb", QString("SELECT %1 FROM TABLE02").arg(column))
            .toString();
    }
    void openMenu();

    std::unique_ptr<TestSession> m_session;
    FormMenu* m_menu = nullptr;
};

void TestMainMenu::init() {
    m_session = std::make_unique<TestSession>();
    m_session->registerForms();
    Forms::add("FormReports", [] { return new Form("FormReports"); });
    Forms::add("FormMaintenance", [] { return new Form("FormMaintenance"); });
    openMenu();
}

void TestMainMenu::openMenu() {
    m_menu = qobject_cast<FormMenu*>(Forms::show("FormMenu"));
    QVERIFY(m_menu);
    QVERIFY(QTest::qWaitForWindowExposed(m_menu));
    m_menu->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_menu));
}

void TestMainMenu::cleanup() {
    m_session.reset();
}

void TestMainMenu::layoutAndVersion() {
    QCOMPARE(m_menu->windowTitle(), QString("Main Menu"));
    QCOMPARE(Twips::geometry(m_menu).width(), 11415);
    QCOMPARE(find<QGroupBox>("FrameBasic")->title(), QString("Basic Menu Options"));
    QCOMPARE(find<QGroupBox>("FrameOther")->title(), QString("Other Options"));
    QCOMPARE(find<QGroupBox>("FrameAdvanced1")->title(), QString("Advanced Options"));
    QVERIFY(!find<QGroupBox>("FrameAdvanced2")->isVisible());
    QCOMPARE(Twips::geometry(find<QGroupBox>("FrameHelp")).y(), 5640);
    QCOMPARE(find<QLabel>("LabelTitle")->text(), QString("Tessaly"));
    QCOMPARE(find<QLabel>("LabelVersion")->text(), QString("Version 7"));
    QCOMPARE(find<QLabel>("LabelSP")->text(), QString("Revision 2.0"));
    QCOMPARE(find<QLabel>("LabelBuild")->text(), QString("Build 100605A"));
    QCOMPARE(find<QLabel>("LabelCompanies")->text(), QString("1. Companies"));
    QCOMPARE(find<QLabel>("LabelAllContacts")->text(), QString("9. All Contacts"));
    QCOMPARE(find<QLabel>("LabelMaintenance")->text(), QString("Maintenance and Replication"));
    QCOMPARE(find<QLabel>("LabelDelete")->text(), QString("Check Database Size"));
    for (const char* hidden : {"LabelPassword", "LabelNew", "Text1", "Text2", "TEXT03", "TEXT04"})
        QVERIFY(!m_menu->findChild<QWidget*>(hidden)->isVisible());
    QVERIFY(!find<QPushButton>("CommandCompanies")->icon().isNull());
    QVERIFY(QDir(m_session->file("Temp")).exists());
}

void TestMainMenu::rightPasswordOpensTheAdvancedOptions() {
    click("CommandSetup");
    QVERIFY(find<QLabel>("LabelPassword")->isVisible());
    QVERIFY(find<QLineEdit>("Text1")->isVisible());
    QCOMPARE(find<QLineEdit>("Text1")->echoMode(), QLineEdit::Password);
    QVERIFY(find<QPushButton>("CommandEnter")->isVisible());
    QVERIFY(find<QPushButton>("CommandChange")->isVisible());
    QVERIFY(!find<QLineEdit>("Text2")->isVisible());
    typePassword("Text1", "Kelvorin");
    click("CommandEnter");
    QVERIFY(find<QGroupBox>("FrameAdvanced2")->isVisible());
    QVERIFY(!find<QGroupBox>("FrameAdvanced1")->isVisible());
    QCOMPARE(Twips::geometry(find<QGroupBox>("FrameAdvanced2")).topLeft(),
             Twips::geometry(find<QGroupBox>("FrameAdvanced1")).topLeft());
    for (const char* hidden : {"LabelPassword", "Text1", "CommandEnter", "CommandChange"})
        QVERIFY(!m_menu->findChild<QWidget*>(hidden)->isVisible());
    QCOMPARE(stored("TEXT01"), QString("Kelvorin")); // the refresh stored the row
    QCOMPARE(stored("TEXT02"), QString("Kelvorin"));
}

void TestMainMenu::wrongPasswordTurnsTheCaptionRed_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("lower case") << "kelvorin";
    QTest::newRow("empty") << "";
    QTest::newRow("with a blank") << "Kelvorin ";
}

void TestMainMenu::wrongPasswordTurnsTheCaptionRed() {
    QFETCH(QString, typed);
    click("CommandSetup");
    typePassword("Text1", typed);
    QTest::keyClick(find<QLineEdit>("Text1"), Qt::Key_Return);
    QCOMPARE(find<QLabel>("LabelPassword")->text(), QString("INCORRECT PASSWORD"));
    QCOMPARE(Colors::foreground(find<QLabel>("LabelPassword")), qint64(255));
    QCOMPARE(find<QLineEdit>("Text1")->text(), QString());
    QVERIFY(find<QLineEdit>("Text1")->hasFocus());
    QVERIFY(!find<QGroupBox>("FrameAdvanced2")->isVisible());
    typePassword("Text1", "Kelvorin"); // no limit on attempts
    click("CommandEnter");
    QVERIFY(find<QGroupBox>("FrameAdvanced2")->isVisible());
}

void TestMainMenu::emptyStoredPasswordMatchesAnEmptyBox() {
    delete m_menu;
    m_session->exec("TESSALY.mdb", "UPDATE TABLE02 SET TEXT02 = ''");
    openMenu();
    click("CommandSetup");
    click("CommandEnter");
    QVERIFY(find<QGroupBox>("FrameAdvanced2")->isVisible());
}

void TestMainMenu::changingThePassword() {
    click("CommandSetup");
    typePassword("Text1", "Kelvorin");
    click("CommandChange");
    QVERIFY(find<QLabel>("LabelNew")->isVisible());
    QVERIFY(!find<QPushButton>("CommandChange")->isVisible());
    QVERIFY(find<QLineEdit>("Text2")->isVisible());
    QVERIFY(find<QLineEdit>("Text2")->hasFocus());
    QCOMPARE(find<QLineEdit>("Text1")->text(), QString());
    QCOMPARE(find<QLineEdit>("Text2")->text(), QString());
    typePassword("Text2", "Fjord-42");
    typePassword("Text1", "Fjord-41"); // a slip in the confirmation
    QTest::keyClick(find<QLineEdit>("Text1"), Qt::Key_Return);
    QCOMPARE(find<QLabel>("LabelPassword")->text(), QString("INCORRECT PASSWORD"));
    QCOMPARE(find<QLineEdit>("Text1")->text(), QString());
    QCOMPARE(find<QLineEdit>("Text2")->text(), QString("Fjord-42"));
    typePassword("Text1", "Fjord-42");
    QTest::keyClick(find<QLineEdit>("Text1"), Qt::Key_Return);
    QVERIFY(find<QGroupBox>("FrameAdvanced2")->isVisible());
    QCOMPARE(stored("TEXT02"), QString("Fjord-42"));
    QVERIFY(!Forms::isLoaded("FormReports")); // the digits did not open a window

    // The next time the new password counts, and the old one no longer does.
    delete m_menu;
    openMenu();
    click("CommandSetup");
    typePassword("Text1", "Kelvorin");
    click("CommandEnter");
    QCOMPARE(find<QLabel>("LabelPassword")->text(), QString("INCORRECT PASSWORD"));
    typePassword("Text1", "Fjord-42");
    click("CommandEnter");
    QVERIFY(find<QGroupBox>("FrameAdvanced2")->isVisible());
}

void TestMainMenu::changeAsksForTheCurrentPasswordFirst() {
    click("CommandSetup");
    typePassword("Text1", "wrong");
    m_session->expectMessage("Please enter your current password first.");
    click("CommandChange");
    QCOMPARE(MsgBox::last().text, QString("Please enter your current password first."));
    QCOMPARE(MsgBox::last().style, int(MsgBox::OKOnly));
    QVERIFY(!find<QLabel>("LabelNew")->isVisible());
    QVERIFY(find<QLineEdit>("Text1")->hasFocus());
}

void TestMainMenu::unconfirmedNewPasswordIsNotStored() {
    click("CommandSetup");
    typePassword("Text1", "Kelvorin");
    click("CommandChange");
    typePassword("Text2", "half");
    QVERIFY(m_menu->unload());
    QCOMPARE(stored("TEXT02"), QString("Kelvorin"));
}

void TestMainMenu::digitKeysRunTheirCommands() {
    find<QPushButton>("CommandSetup")->setFocus();
    QTest::keyClick(m_menu, Qt::Key_6);
    QVERIFY(MsgBox::shown().isEmpty());
    QCOMPARE(Forms::all().size(), 1);
    QTest::keyClick(m_menu, Qt::Key_F1);
    auto* help = qobject_cast<FormHelp*>(Forms::loaded("FormHelp"));
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->page(), 1);
    QTest::keyClick(m_menu, Qt::Key_3, Qt::KeypadModifier); // not the main keyboard
    QVERIFY(!Forms::isLoaded("FormReports"));
    QTest::keyClick(m_menu, Qt::Key_3);
    QVERIFY(Forms::isVisible("FormReports"));
}

void TestMainMenu::digitsTypedIntoThePasswordStayDigits() {
    click("CommandSetup");
    typePassword("Text1", "123");
    QCOMPARE(find<QLineEdit>("Text1")->text(), QString("123"));
    QVERIFY(!Forms::isLoaded("FormReports"));
}

void TestMainMenu::commandsWithoutTheirWindowAreOff() {
    QVERIFY(find<QPushButton>("CommandReports")->isEnabled());
    QVERIFY(find<QPushButton>("CommandMaintenance")->isEnabled());
    QVERIFY(find<QPushButton>("CommandCompanies")->isEnabled());
    QVERIFY(find<QPushButton>("CommandArchive")->isEnabled());
    QVERIFY(find<QPushButton>("CommandFields")->isEnabled());
    QVERIFY(find<QPushButton>("CommandOutlook")->isEnabled());   // the mail window exists now
    QVERIFY(find<QPushButton>("CommandPriceList")->isEnabled()); // the price list exists now
    QVERIFY(find<QPushButton>("CommandManual")->isEnabled());
    QVERIFY(find<QPushButton>("CommandFAQ")->isEnabled());
    // Every command whose window this version lacks is off, and its digit
    // does nothing.
    const QList<std::pair<Qt::Key, QString>> digits = {
        {Qt::Key_1, "CommandCompanies"},   {Qt::Key_2, "CommandArchive"},
        {Qt::Key_3, "CommandReports"},     {Qt::Key_4, "CommandCompetition"},
        {Qt::Key_5, "CommandImportSales"}, {Qt::Key_7, "CommandOutlook"},
        {Qt::Key_8, "CommandPriceList"},   {Qt::Key_9, "CommandAllContacts"}};
    for (const auto& [key, command] : digits) {
        const QString window = FormMenu::WindowOf(command);
        QCOMPARE(find<QPushButton>(qPrintable(command))->isEnabled(), Forms::isRegistered(window));
        if (Forms::isRegistered(window))
            continue;
        QTest::keyClick(m_menu, key);
        QVERIFY(!Forms::isLoaded(window));
    }
    QVERIFY(find<QPushButton>("CommandDelete")->isEnabled()); // the purge window exists now
    QVERIFY(MsgBox::shown().isEmpty());
    click("CommandMaintenance");
    QVERIFY(Forms::isVisible("FormMaintenance"));
}

void TestMainMenu::profileCommandSitsWithTheOtherOptions() {
    auto* frame = find<QGroupBox>("FrameOther");
    auto* command = find<QPushButton>("CommandProfile");
    auto* caption = find<QLabel>("LabelProfile");
    QCOMPARE(command->parentWidget(), frame);
    QCOMPARE(caption->text(), QString("Your Profile"));
    QVERIFY(command->isVisible() && command->isEnabled());
    QVERIFY(!command->icon().isNull());
    // Below the other options, in their column, inside the frame.
    const QRect above = find<QPushButton>("CommandMaintenance")->geometry();
    QCOMPARE(command->geometry().left(), above.left());
    QCOMPARE(command->geometry().top() - above.top(),
             above.top() - find<QPushButton>("CommandExport")->geometry().top());
    QVERIFY(frame->rect().contains(command->geometry()));
    QVERIFY(frame->rect().contains(caption->geometry()));
    QVERIFY(m_menu->hoverHelp()->text(command).contains("mail server"));
    QCOMPARE(m_menu->hoverHelp()->text(caption), m_menu->hoverHelp()->text(command));
    click("CommandProfile");
    QVERIFY(Forms::isVisible("FormProfile"));
}

void TestMainMenu::hoverTexts_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::newRow("companies")
        << "CommandCompanies"
        << "Current and active Companies. This is where active companies are stored.";
    QTest::newRow("competition, pieces run together")
        << "CommandCompetition"
        << "Enter and display your competitor's products as well as your equivalents.This "
           "information will be used in reports on competitor's activities.";
    QTest::newRow("import sales")
        << "CommandImportSales"
        << "This function allows you to import sales figures from an MS-Excel spreadsheet, saved "
           "in Excel 97-2003 format. This spreadsheet could be located anywhere on your PC or "
           "network.This action can be done periodically if the data in the spreadsheet changes. "
           "The path to the spreadsheet is saved and new data will overwrite older data.";
    QTest::newRow("outlook") << "CommandOutlook"
                             << "Open MS-Outlook";
    QTest::newRow("support") << "CommandSupport"
                             << "Request technical support or contact Morvane.";
    QTest::newRow("maintenance") << "CommandMaintenance"
                                 << "Compact your database, create a replica or synchronize this "
                                    "database with the server.";
    QTest::newRow("import") << "CommandImport"
                            << "Import basic company information from MS-Outlook. This function "
                               "should only be done once. Repeating this function will create "
                               "duplicates in your database. ";
    QTest::newRow("password box")
        << "Text1"
        << "The Setup Menu is Password protected. The default password is 'Kelvorin'. Change "
           "this in order to restrict access. Passwords are case sensitive.";
    QTest::newRow("website") << "LabelWebsite"
                             << "Go to Morvane's website";
    QTest::newRow("caption beside a command") << "LabelReports"
                                              << "Select the report you want to generate.";
}

void TestMainMenu::hoverTexts() {
    QFETCH(QString, control);
    QFETCH(QString, text);
    QCOMPARE(m_menu->hoverHelp()->text(m_menu->findChild<QWidget*>(control)), text);
}

void TestMainMenu::hoverOverTheWebsiteAndTheBackground() {
    auto* frame = find<QGroupBox>("FrameHelp");
    auto* website = find<QLabel>("LabelWebsite");
    QVERIFY(!frame->isVisible());
    QTest::mouseMove(find<QPushButton>("CommandReports"));
    QTRY_VERIFY(frame->isVisible());
    QCOMPARE(find<QLabel>("LabelHelp")->text(), QString("Select the report you want to generate."));
    QTest::mouseMove(website);
    QTRY_COMPARE(Colors::foreground(website), Colors::Blue);
    QVERIFY(website->font().underline());
    QCOMPARE(find<QLabel>("LabelHelp")->text(), QString("Go to Morvane's website"));
    QTest::mouseMove(m_menu, QPoint(m_menu->width() / 2, Twips::toPixelsY(600)));
    QTRY_VERIFY(!frame->isVisible());
    QCOMPARE(Colors::foreground(website), Colors::Black);
    QVERIFY(!website->font().underline());
}

void TestMainMenu::browserCommands() {
    click("CommandFAQ");
    click("CommandPresentation");
    QTest::mouseClick(find<QLabel>("LabelWebsite"), Qt::LeftButton);
    QCOMPARE(Desktop::opened(), (QList<QUrl>{QUrl("https://www.tessaly.org/faq"),
                                             QUrl("https://www.tessaly.org/quick-start"),
                                             QUrl("http://www.tessaly.org")}));
    click("CommandManual");
    QVERIFY(Forms::isVisible("FormHelp"));
}

void TestMainMenu::closingEndsTheProgram() {
    Forms::show("FormReports")->hide();
    QVERIFY(m_menu->unload());
    QVERIFY(Forms::all().isEmpty()); // hidden windows go too
}

void TestMainMenu::closingWhileMaintenanceIsOpenOnlyClosesTheMenu() {
    Forms::show("FormMaintenance");
    QVERIFY(m_menu->unload());
    QVERIFY(!Forms::isLoaded("FormMenu"));
    QVERIFY(Forms::isVisible("FormMaintenance"));
}

QTEST_MAIN(TestMainMenu)
#include "tst_mainmenu.moc"
