#include "TestSession.h"

#include "app/Form.h"
#include "app/FormHelp.h"
#include "app/Forms.h"
#include "app/FunctionKeyBar.h"
#include "app/HoverHelp.h"
#include "app/ModuleButtons.h"
#include "app/ModuleHelp.h"
#include "app/ModuleProgress.h"
#include "data/DataSource.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/FieldBinder.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfView>
#include <QPushButton>
#include <QTest>

namespace {

int loads = 0;

// A window with one data source and a bound name box, for the registry.
class PlainForm : public Form {
public:
    explicit PlainForm(const QString& name)
        : Form(name) {
        data = new DataSource("DataTABLE01", this);
        data->setDatabaseName("TESSALY.mdb");
        data->setRecordSource("SELECT * FROM TABLE01 ORDER BY TEXT01");
        name_ = new QLineEdit(this);
        name_->setObjectName("TEXT01");
        date = new QLineEdit(this);
        date->setObjectName("DATE01");
        FieldBinder::bind(data, name_, "TEXT01");
        FieldBinder::bind(data, date, "DATE01");
    }
    void Form_Load() override {
        ++loads;
        data->refresh();
    }
    DataSource* data;
    QLineEdit* name_;
    QLineEdit* date;
};

void registerPlain(const QString& name) {
    Forms::add(name, [name] { return new PlainForm(name); });
}

} // namespace

// The window registry, the window switches, the help window, the progress
// step and the hover help that every window shares.
class TestShell : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void oneInstanceLoadedOnce();
    void typedLookupOfAnotherClassGivesNothing();
    void closeIsASavePointHidingIsNot();
    void refusedValueKeepsTheWindowOpen();
    void endingTheProgramStoresHiddenWindowsEdits();
    void switchClosesTheOthersButOnlyHidesCompanies();
    void switchToCompaniesClosesAllOthers();
    void switchToAMissingWindowSaysSo();
    void functionKeysMapToTheSwitches();
    void functionKeyBarButtons();
    void progressStepStopsAt8000Twips();
    void helpOpensAtThePageOfTheLastVisibleWindow_data();
    void helpOpensAtThePageOfTheLastVisibleWindow();
    void helpAskedAgainOnlyComesForward();
    void manualChaptersStartOnTheirPages();
    void hoverHelpShowsAndHides();

private:
    std::unique_ptr<TestSession> m_session;
};

void TestShell::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT20) VALUES (1, "
                                   "'Alpha', 'Company')");
    loads = 0;
    registerPlain("FormMenu");
    for (const QString& name : ModuleButtons::WorkingWindows())
        registerPlain(name);
    Forms::add<FormHelp>();
}

void TestShell::cleanup() {
    m_session.reset();
}

void TestShell::oneInstanceLoadedOnce() {
    Form* first = Forms::get("FormContacts");
    QVERIFY(first);
    QCOMPARE(Forms::get("FormContacts"), first);
    QCOMPARE(loads, 1);
    QVERIFY(Forms::isLoaded("FormContacts"));
    QVERIFY(!Forms::isLoaded("FormProjects")); // asking does not load
    QVERIFY(first->unload());
    QVERIFY(!Forms::isLoaded("FormContacts"));
    QPointer<Form> gone = first;
    settle();
    QVERIFY(gone.isNull());
    Form* second = Forms::get("FormContacts");
    QVERIFY(second);
    QCOMPARE(loads, 2); // a new window, loaded afresh
    QVERIFY(!Forms::get("FormNothing"));
}

void TestShell::typedLookupOfAnotherClassGivesNothing() {
    // Registered under the help window's name, but not the help window.
    Forms::add("FormHelp", [] { return new PlainForm("FormHelp"); });
    QVERIFY(!Forms::get<FormHelp>());
    QVERIFY(Forms::isLoaded("FormHelp")); // the window itself is there
    QVERIFY(Forms::unload("FormHelp"));
    Forms::add<FormHelp>();
    QVERIFY(Forms::get<FormHelp>());
}

void TestShell::closeIsASavePointHidingIsNot() {
    auto* form = static_cast<PlainForm*>(Forms::show("FormContacts"));
    form->name_->setText("Alpha Ltd");
    form->hide();
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT TEXT01 FROM TABLE01").toString(),
             QString("Alpha"));
    QVERIFY(Forms::isLoaded("FormContacts"));
    QVERIFY(form->unload());
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT TEXT01 FROM TABLE01").toString(),
             QString("Alpha Ltd"));
}

void TestShell::refusedValueKeepsTheWindowOpen() {
    auto* form = static_cast<PlainForm*>(Forms::show("FormContacts"));
    form->date->setText("soon");
    MsgBox::clearShown();
    m_session->expectMessage("The value \"soon\" is not a date");
    QVERIFY(!form->unload());
    QVERIFY(Forms::isLoaded("FormContacts"));
    QVERIFY(form->isVisible());
    QVERIFY(MsgBox::last().text.contains("DATE01"));
    form->date->setText("12/24/2026");
    QVERIFY(form->unload());
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT DATE01 FROM TABLE01").toString(),
             QString("2026-12-24"));
}

void TestShell::endingTheProgramStoresHiddenWindowsEdits() {
    auto* companies = static_cast<PlainForm*>(Forms::show("FormCompanies"));
    companies->name_->setText("Alpha (hidden)");
    companies->hide();
    Forms::show("FormContacts");
    QVERIFY(Forms::endProgram());
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT TEXT01 FROM TABLE01").toString(),
             QString("Alpha (hidden)"));
    QVERIFY(Forms::all().isEmpty());
    settle();
}

void TestShell::switchClosesTheOthersButOnlyHidesCompanies() {
    Forms::show("FormMenu");
    Forms::show("FormCompanies");
    ModuleButtons::SwitchToContacts();
    QVERIFY(Forms::isVisible("FormContacts"));
    QVERIFY(Forms::isLoaded("FormCompanies"));
    QVERIFY(!Forms::isVisible("FormCompanies"));
    QVERIFY(!Forms::isVisible("FormMenu"));
    // F4 in the contacts window.
    ModuleButtons::SwitchToActivities();
    QVERIFY(Forms::isVisible("FormActivities"));
    QVERIFY(!Forms::isLoaded("FormContacts"));
    QVERIFY(Forms::isLoaded("FormCompanies"));
    QVERIFY(!Forms::isVisible("FormCompanies"));
    QStringList loadedNames;
    for (Form* form : Forms::all())
        loadedNames << form->objectName();
    loadedNames.sort();
    QCOMPARE(loadedNames, (QStringList{"FormActivities", "FormCompanies", "FormMenu"}));
}

void TestShell::switchToCompaniesClosesAllOthers() {
    for (const QString& name : ModuleButtons::WorkingWindows())
        Forms::show(name);
    auto* companies = static_cast<PlainForm*>(Forms::loaded("FormCompanies"));
    companies->name_->setText("Kept");
    ModuleButtons::SwitchToCompanies();
    QCOMPARE(Forms::all().size(), 1);
    QVERIFY(Forms::isVisible("FormCompanies"));
    QCOMPARE(companies->name_->text(), QString("Kept")); // its current row and edits survive
}

void TestShell::switchToAMissingWindowSaysSo() {
    Forms::removeAll();
    MsgBox::clearShown();
    m_session->expectMessage("The window FormProjects is not part of this version of Tessaly.");
    ModuleButtons::SwitchToProjects();
    QCOMPARE(MsgBox::shown().size(), 1);
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Critical);
    QVERIFY(MsgBox::last().text.contains("FormProjects"));
}

void TestShell::functionKeysMapToTheSwitches() {
    QVERIFY(ModuleButtons::SwitchForKey(Qt::Key_F9));
    QVERIFY(Forms::isVisible("FormCallReports"));
    QVERIFY(ModuleButtons::SwitchForKey(Qt::Key_F10));
    QVERIFY(Forms::isVisible("FormOutlook"));
    QVERIFY(!Forms::isLoaded("FormCallReports"));
    QVERIFY(!ModuleButtons::SwitchForKey(Qt::Key_F11));
    QVERIFY(!ModuleButtons::SwitchForKey(Qt::Key_F1));
}

void TestShell::functionKeyBarButtons() {
    Form* contacts = Forms::show("FormContacts");
    auto* bar = new FunctionKeyBar("FormContacts", contacts);
    bar->resize(900, 30);
    const QStringList captions{"COMPANIES F2", "CONTACTS F3",    "ACTIVITIES F4",
                               "PROJECTS F5",  "COMPETITION F6", "ATTACHMENTS F7",
                               "SALES F8",     "REPORTS F9",     "MS-OUTLOOK F10"};
    for (int i = 0; i < 9; ++i) {
        auto* button = contacts->findChild<QPushButton*>(QString("CommandF%1").arg(i + 2));
        QVERIFY(button);
        QCOMPARE(button->text(), captions.at(i));
        QCOMPARE(button->isEnabled(), i != 1); // its own window's button is off
        QCOMPARE(button->width(), 100);
    }
    QTest::mouseClick(contacts->findChild<QPushButton*>("CommandF5"), Qt::LeftButton);
    QVERIFY(Forms::isVisible("FormProjects"));
    QVERIFY(!Forms::isLoaded("FormContacts"));
}

void TestShell::progressStepStopsAt8000Twips() {
    Forms::add("FormReports", [] {
        auto* form = new Form("FormReports");
        auto* bar = new QLabel(form);
        bar->setObjectName("Shape1");
        Twips::setGeometry(bar, 120, 600, 0, 240);
        bar->hide();
        auto* frame = new QLabel(form);
        frame->setObjectName("Shape2");
        frame->hide();
        return form;
    });
    ModuleProgress::ProgressStep(); // not loaded: nothing happens
    Form* reports = Forms::show("FormReports");
    auto* bar = reports->findChild<QWidget*>("Shape1");
    ModuleProgress::ProgressStep();
    QVERIFY(bar->isVisible());
    QVERIFY(reports->findChild<QWidget*>("Shape2")->isVisible());
    QCOMPARE(Twips::geometry(bar).width(), 350);
    for (int i = 0; i < 40; ++i)
        ModuleProgress::ProgressStep();
    QCOMPARE(Twips::geometry(bar).width(), 8050); // 23 steps reach 8000, then it stops
}

void TestShell::helpOpensAtThePageOfTheLastVisibleWindow_data() {
    QTest::addColumn<QStringList>("visible");
    QTest::addColumn<int>("page");
    QTest::newRow("main menu") << QStringList{"FormMenu"} << 1;
    QTest::newRow("menu and companies: the later entry wins")
        << QStringList{"FormMenu", "FormCompanies"} << 18;
    QTest::newRow("contacts") << QStringList{"FormContacts"} << 23;
    QTest::newRow("call reports") << QStringList{"FormCallReports"} << 30;
    QTest::newRow("none") << QStringList{} << 0;
}

void TestShell::helpOpensAtThePageOfTheLastVisibleWindow() {
    QFETCH(QStringList, visible);
    QFETCH(int, page);
    for (const QString& name : visible)
        Forms::show(name);
    ModuleHelp::ShowHelp();
    auto* help = qobject_cast<FormHelp*>(Forms::loaded("FormHelp"));
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->windowTitle(), QString("Tessaly Help"));
    QCOMPARE(help->page(), page);
    QCOMPARE(help->WebBrowser1->zoomFactor(), 0.75);
    const QString pdf = m_session->file("Help.pdf");
    QCOMPARE(help->address(),
             page ? QString("file:///%1#zoom=75&page=%2").arg(pdf).arg(page) : QString());
    QCOMPARE(help->WebBrowser1->document()->status(), QPdfDocument::Status::Ready);
    if (page == 1)
        QCOMPARE(help->WebBrowser1->pageNavigator()->currentPage(), 0);
    const QRect twips = Twips::geometry(help);
    QCOMPARE(twips.width(), 12825);
    QCOMPARE(twips.height(), 7530);
    QCOMPARE(twips.x(), Twips::screenWidth() - 12825 - 300);
    QCOMPARE(twips.y(), Twips::screenHeight() - 7530 - 800);
}

void TestShell::helpAskedAgainOnlyComesForward() {
    Forms::show("FormMenu");
    ModuleHelp::ShowHelp();
    auto* help = qobject_cast<FormHelp*>(Forms::loaded("FormHelp"));
    Forms::show("FormCompanies");
    ModuleHelp::ShowHelp();
    QCOMPARE(qobject_cast<FormHelp*>(Forms::loaded("FormHelp")), help);
    QCOMPARE(help->page(), 1);
}

void TestShell::manualChaptersStartOnTheirPages() {
    QPdfDocument manual;
    QCOMPARE(manual.load(m_session->file("Help.pdf")), QPdfDocument::Error::None);
    QVERIFY(manual.pageCount() >= 5);
    const QList<std::pair<int, QString>> chapters = {{1, "The main menu"},
                                                     {2, "Starting Tessaly for the first time"},
                                                     {3, "Installation and your data"},
                                                     {4, "The setup password"},
                                                     {5, "Function keys and help"}};
    for (const auto& [page, title] : chapters) {
        const QString text = manual.getAllText(page - 1).text();
        QVERIFY2(text.simplified().startsWith(title), qPrintable(text.left(80)));
        QVERIFY(text.contains(QString("Tessaly User Manual \u2013 %1").arg(page)) ||
                text.contains(QString("Tessaly User Manual  \u2013  %1").arg(page)));
    }
}

void TestShell::hoverHelpShowsAndHides() {
    QWidget window;
    window.resize(400, 300);
    auto* frame = new QGroupBox("Help", &window);
    frame->setObjectName("FrameHelp");
    frame->setGeometry(10, 200, 380, 90);
    auto* label = new QLabel(frame);
    label->setObjectName("LabelHelp");
    auto* button = new QPushButton("Go", &window);
    button->setGeometry(10, 10, 100, 30);
    auto* box = new QLineEdit(&window);
    box->setGeometry(10, 60, 100, 30);
    QString company = "Acme";
    HoverHelp help(&window, frame, label);
    help.setText(button, "Start it.");
    help.setText(box, [&] { return "Notes about " + company + "."; });
    int backgrounds = 0;
    help.setBackgroundAction([&] { ++backgrounds; });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    frame->hide();

    QTest::mouseMove(button);
    QTRY_VERIFY(frame->isVisible());
    QCOMPARE(label->text(), QString("Start it."));
    company = "Bolt";
    QTest::mouseMove(box);
    QTRY_COMPARE(label->text(), QString("Notes about Bolt."));
    QTest::mouseMove(&window, QPoint(300, 100)); // bare background
    QTRY_VERIFY(!frame->isVisible());
    QVERIFY(backgrounds > 0);
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
