#include "TestSession.h"

#include "data/DataSource.h"
#include "widgets/CompanyPicker.h"
#include "widgets/CurrentCompany.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

// The window that holds the current company, as the picker sees it: it moves
// a data source over the same companies and records what it was asked.
class CompaniesStandIn : public CurrentCompany {
public:
    explicit CompaniesStandIn(DataSource* companies)
        : m_companies(companies) {}

    bool chooseCompany(const QByteArray& bookmark, const QString& name) override {
        asked.append(name);
        return !refuse && m_companies->recordset()->setBookmark(bookmark);
    }
    bool isCurrentCompany(const QByteArray& bookmark) const override {
        return m_companies->recordset()->bookmark() == bookmark;
    }
    QString current() const { return m_companies->recordset()->fieldText("TEXT01"); }

    QStringList asked; // the names it was asked to move to, in order
    bool refuse = false;

private:
    DataSource* m_companies;
};

} // namespace

// The company picker of the working windows, over a stand-in of the
// companies window: what moves the current company and when.
class TestCompanyPicker : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startsWithThePromptAndListsTheView();
    void whatMovesTheCurrentCompany_data();
    void whatMovesTheCurrentCompany();
    void aRefusedMoveIsNoChoice();
    void withoutACompaniesWindowNothingMoves();

private:
    std::unique_ptr<TestSession> m_folder;
    std::unique_ptr<DataSource> m_view;      // the picker's list
    std::unique_ptr<DataSource> m_companies; // the companies window's rows
};

void TestCompanyPicker::init() {
    m_folder = std::make_unique<TestSession>();
    m_folder->exec("TESSALY.mdb", "INSERT INTO TABLE01 (TEXT01, TEXT20) VALUES ('Acme', "
                                  "'Company'), ('Baker''s Dozen', 'Company'), ('Bakery Row', "
                                  "'Company'), ('Crane Works', 'Company')");
    for (auto* source : {&m_view, &m_companies}) {
        *source = std::make_unique<DataSource>("DataTABLE01", nullptr);
        (*source)->setDatabaseName("TESSALY.mdb");
        (*source)->setRecordSource("SELECT * FROM TABLE01 WHERE TEXT20 = 'Company' ORDER BY "
                                   "TEXT01");
        QVERIFY((*source)->refresh());
    }
}

void TestCompanyPicker::cleanup() {
    m_view.reset();
    m_companies.reset();
    m_folder.reset(); // fails on any message box the test did not announce
}

void TestCompanyPicker::startsWithThePromptAndListsTheView() {
    CompanyPicker picker(CompanyPicker::Follow::Choice);
    picker.setCompanies(m_view.get());
    QCOMPARE(picker.objectName(), QString("DBComboSelect"));
    QCOMPARE(picker.text(), QString("Select a Company..."));
    QCOMPARE(CompanyPicker::prompt(), QString("Select a Company..."));
    QStringList listed;
    for (int i = 0; i < picker.count(); ++i)
        listed << picker.itemText(i);
    QCOMPARE(listed, (QStringList{"Acme", "Baker's Dozen", "Bakery Row", "Crane Works"}));
    QCOMPARE(CompanyPicker::hoverText(),
             QString("Start typing the name of the company until the correct name is displayed. "
                     "You can also use the 'arrow' keys on your keyboard to navigate."));
}

void TestCompanyPicker::whatMovesTheCurrentCompany_data() {
    QTest::addColumn<bool>("followTyping");
    QTest::addColumn<QStringList>("steps"); // typed texts; "<Enter>" presses Enter
    QTest::addColumn<QStringList>("asked"); // the moves asked of the companies window
    QTest::addColumn<QString>("current");
    QTest::addColumn<int>("chosen"); // companyChosen() signals
    using L = QStringList;
    QTest::newRow("choice: typing alone moves nothing") << false << L{"bak"} << L{} << "Acme" << 0;
    QTest::newRow("choice: Enter on a whole name moves")
        << false << L{"bak", "<Enter>"} << L{"Baker's Dozen"} << "Baker's Dozen" << 1;
    QTest::newRow("choice: the current company chosen again moves again")
        << false << L{"acm", "<Enter>", "<Enter>"} << L{"Acme", "Acme"} << "Acme" << 2;
    QTest::newRow("choice: no such company")
        << false << L{"zebra", "<Enter>"} << L{} << "Acme" << 0;
    QTest::newRow("typing: a completed name moves at once")
        << true << L{"bak"} << L{"Baker's Dozen"} << "Baker's Dozen" << 1;
    QTest::newRow("typing: typing on within a name moves no more")
        << true << L{"bak", "e", "<Enter>"} << L{"Baker's Dozen"} << "Baker's Dozen" << 1;
    QTest::newRow("typing: typing on to another name moves there")
        << true << L{"baker", "y"} << L{"Baker's Dozen", "Bakery Row"} << "Bakery Row" << 2;
    QTest::newRow("typing: no such company") << true << L{"zebra", "<Enter>"} << L{} << "Acme" << 0;
}

void TestCompanyPicker::whatMovesTheCurrentCompany() {
    QFETCH(bool, followTyping);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, asked);
    QFETCH(QString, current);
    QFETCH(int, chosen);
    CompaniesStandIn companies(m_companies.get());
    CompanyPicker picker(followTyping ? CompanyPicker::Follow::ChoiceAndTyping
                                      : CompanyPicker::Follow::Choice);
    picker.setCompanies(m_view.get());
    picker.setCurrentCompany([&]() -> CurrentCompany* { return &companies; });
    QSignalSpy chosenSignals(&picker, &CompanyPicker::companyChosen);
    picker.show();
    picker.lineEdit()->selectAll();
    for (const QString& step : steps) {
        if (step == "<Enter>")
            QTest::keyClick(picker.lineEdit(), Qt::Key_Return);
        else
            QTest::keyClicks(picker.lineEdit(), step);
    }
    QCOMPARE(companies.asked, asked);
    QCOMPARE(companies.current(), current);
    QCOMPARE(chosenSignals.count(), chosen);
}

void TestCompanyPicker::aRefusedMoveIsNoChoice() {
    CompaniesStandIn companies(m_companies.get());
    companies.refuse = true; // as when the company's pending edit is refused
    CompanyPicker picker(CompanyPicker::Follow::ChoiceAndTyping);
    picker.setCompanies(m_view.get());
    picker.setCurrentCompany([&]() -> CurrentCompany* { return &companies; });
    QSignalSpy chosenSignals(&picker, &CompanyPicker::companyChosen);
    picker.lineEdit()->selectAll();
    QTest::keyClicks(picker.lineEdit(), "c");
    QTest::keyClick(picker.lineEdit(), Qt::Key_Return);
    QCOMPARE(companies.asked, (QStringList{"Crane Works", "Crane Works"}));
    QCOMPARE(companies.current(), QString("Acme"));
    QCOMPARE(chosenSignals.count(), 0);
}

void TestCompanyPicker::withoutACompaniesWindowNothingMoves() {
    CompanyPicker picker(CompanyPicker::Follow::Choice);
    picker.setCompanies(m_view.get());
    QSignalSpy chosenSignals(&picker, &CompanyPicker::companyChosen);
    picker.lineEdit()->selectAll();
    QTest::keyClicks(picker.lineEdit(), "cra");
    QTest::keyClick(picker.lineEdit(), Qt::Key_Return); // no window to move
    picker.setCurrentCompany([]() -> CurrentCompany* { return nullptr; });
    QTest::keyClick(picker.lineEdit(), Qt::Key_Return); // the window has gone
    QCOMPARE(chosenSignals.count(), 0);
    QCOMPARE(m_companies->recordset()->fieldText("TEXT01"), QString("Acme"));
}

QTEST_MAIN(TestCompanyPicker)
#include "tst_companypicker.moc"
