#include "TestSession.h"

#include "activities/FormCreateCallReport.h"
#include "app/Forms.h"
#include "companies/FormCompanies.h"
#include "contacts/FormContacts.h"
#include "data/DataSource.h"
#include "platform/Clock.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/DBCombo.h"
#include "widgets/DBList.h"
#include "widgets/RichTextBox.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

const QDate Today(2026, 12, 10);
const QString Crlf = "\r\n";

} // namespace

// The call report entry's steps, driven through its controls from the
// contacts window of a real companies window.
class TestCallReportEntry : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void timesAreTheQuarterHoursOfTheWorkingDay();
    void loadWritesTheCompanyHeading();
    void stepsAppendTheirLines();
    void meetingSetsTheDateLastVisitedToToday();
    void timeFormatSwitch_data();
    void timeFormatSwitch();
    void companyWithoutContactsListsNobody();

private:
    FormCreateCallReport* open(const QString& company = "Acme");
    FormCreateCallReport* entry() const {
        return qobject_cast<FormCreateCallReport*>(Forms::loaded(FormCreateCallReport::Name));
    }
    template <class T = QWidget> T* child(const QString& name) const {
        T* widget = entry()->findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    void chooseMethod(const QString& method) {
        auto* list = child<QListWidget>("ListMethod");
        QListWidgetItem* item = list->findItems(method, Qt::MatchExactly).value(0);
        QVERIFY(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
    }
    void chooseTime(const QString& time) {
        auto* combo = child<QComboBox>("ComboTime");
        const int index = combo->findText(time);
        QVERIFY(index >= 0);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void clickDate(const QDate& date) {
        auto* calendar = child<QCalendarWidget>("MonthView1");
        calendar->setSelectedDate(date);
        emit calendar->clicked(date);
    }
    void clickPerson(int row) {
        auto* list = child<DBList>("DBListNames");
        const QRect at = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
    }
    QStringList persons() const {
        QStringList names;
        auto* list = child<DBList>("DBListNames");
        for (int row = 0; row < list->listCount(); ++row)
            names << list->model()->index(row, 0).data().toString();
        return names;
    }

    std::unique_ptr<TestSession> m_session;
};

void TestCallReportEntry::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec(
        "TESSALY.mdb",
        "INSERT INTO TABLE01 (TEXT01, TEXT13, TEXT17, TEXT18, TEXT20, NUMBER01, MEMO02, DATE01, "
        "DATE03) VALUES "
        "('Acme', 'Industrial', 'Customer', 'Dana O''Neill', 'Company', 30, 'Makes anvils.', "
        "'2026-11-02', '2024-03-18'),"
        "('Baker''s Dozen', '', '', 'Ann', 'Company', 0, '', NULL, '2025-01-02');"
        "INSERT INTO TABLE03 (NUMBER01, TEXT02, TEXT03, TEXT06) VALUES "
        "(1, 'Zoe', 'Adams', 'Buyer'), (1, 'Bill', 'O''Brien', NULL);");
    m_session->registerForms();
    Clock::pin(QDateTime(Today, QTime(14, 5)));
}

void TestCallReportEntry::cleanup() {
    m_session.reset();
}

FormCreateCallReport* TestCallReportEntry::open(const QString& company) {
    Forms::show("FormMenu");
    QTest::mouseClick(Forms::loaded("FormMenu")->findChild<QPushButton*>("CommandCompanies"),
                      Qt::LeftButton);
    auto* companies = Forms::get<FormCompanies>();
    QTest::keyClick(companies, Qt::Key_F3);
    settle();
    auto* contacts = qobject_cast<FormContacts*>(Forms::loaded(FormContacts::Name));
    if (company != companies->companyName()) {
        contacts->selector()->setFocus();
        contacts->selector()->lineEdit()->selectAll();
        QTest::keyClicks(contacts->selector()->lineEdit(), company);
        QTest::keyClick(contacts->selector()->lineEdit(), Qt::Key_Return);
    }
    QTest::mouseClick(contacts->findChild<QPushButton*>("CommandReport"), Qt::LeftButton);
    settle();
    return entry();
}

void TestCallReportEntry::timesAreTheQuarterHoursOfTheWorkingDay() {
    const QStringList times = FormCreateCallReport::Times();
    QCOMPARE(times.size(), 48);
    QCOMPARE(times.first(), QString("06:00 AM"));
    QCOMPARE(times.last(), QString("05:45 PM"));
    for (const char* time : {"11:45 AM", "12:00 PM", "12:15 PM", "01:00 PM"})
        QVERIFY2(times.contains(time), time);
    QCOMPARE(times.indexOf("12:00 PM") - times.indexOf("11:45 AM"), 1);
}

void TestCallReportEntry::loadWritesTheCompanyHeading() {
    FormCreateCallReport* form = open();
    QVERIFY(form && form->isVisible());
    QCOMPARE(form->windowTitle(), QString("Generate Call Report"));
    QCOMPARE(form->heading(), QString("CALL REPORT") + Crlf + Crlf + "Company: Acme" + Crlf +
                                  "Type of Company: Customer" + Crlf + "Division: Industrial" +
                                  Crlf + "Sales Person: Dana O'Neill");
    QCOMPARE(child<QLineEdit>("TextTime")->text(), QString("2:05 PM"));
    QCOMPARE(child<QCalendarWidget>("MonthView1")->selectedDate(), Today);
    QVERIFY(child("FrameMethod")->isVisible());
    for (const char* hidden : {"FrameTime", "FrameDate", "FrameContacts", "CommandGo"})
        QVERIFY2(!child(hidden)->isVisible(), hidden);
    QCOMPARE(child<QListWidget>("ListMethod")->count(), 5);
    // Persons: first name, last name, occupation in brackets; by first name.
    QCOMPARE(persons(), (QStringList{"Bill O'Brien   ()", "Zoe Adams   (Buyer)"}));
}

void TestCallReportEntry::stepsAppendTheirLines() {
    FormCreateCallReport* form = open();
    const QString start = form->heading();
    const int methodLeft = Twips::geometry(child("FrameMethod")).x();
    chooseMethod("Telephone Call");
    QVERIFY(!child("FrameMethod")->isVisible());
    QVERIFY(child("FrameTime")->isVisible());
    QVERIFY(child("FrameDate")->isVisible());
    QCOMPARE(Twips::geometry(child("FrameTime")).x(), methodLeft);
    QCOMPARE(Twips::geometry(child("FrameDate")).x(), 3600);
    QVERIFY(!child("CheckFormat")->isVisible());
    chooseTime("09:30 AM");
    QVERIFY(child("CheckFormat")->isVisible());
    clickDate(QDate(2026, 12, 8));
    // Changing the time now does not change the heading.
    child<QLineEdit>("TextTime")->setText("11:00 AM");
    QVERIFY(child("FrameContacts")->isVisible());
    QVERIFY(!child("FrameTime")->isVisible());
    QVERIFY(child("CommandGo")->isVisible());
    clickPerson(1);
    clickPerson(1);
    QCOMPARE(form->heading(), start + Crlf + "Method of Contact: Telephone Call" + Crlf +
                                  "Date and Time: 12/8/2026 09:30 AM" + Crlf +
                                  "Person Contacted: Zoe Adams   (Buyer)" + Crlf +
                                  "Person Contacted: Zoe Adams   (Buyer)");
    // A telephone call leaves the date last visited alone.
    QCOMPARE(Forms::get<FormCompanies>()->box("DATE01")->text(), QString("11/2/2026"));
}

void TestCallReportEntry::meetingSetsTheDateLastVisitedToToday() {
    open();
    chooseMethod("Meeting");
    QCOMPARE(Forms::get<FormCompanies>()->box("DATE01")->text(), QString("12/10/2026"));
    // Closing without writing keeps it; it is stored with the company.
    entry()->close();
    settle();
    Forms::get<FormCompanies>()->dataTable01()->save();
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT DATE01 FROM TABLE01 WHERE TEXT01 = 'Acme'"),
             QVariant("2026-12-10"));
}

void TestCallReportEntry::timeFormatSwitch_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<QString>("cleared");
    QTest::newRow("afternoon") << "01:30 PM"
                               << "13:30"
                               << "01:30 PM";
    QTest::newRow("noon") << "12:00 PM"
                          << "12:00"
                          << "12:00 PM";
    QTest::newRow("morning") << "06:45 AM"
                             << "06:45"
                             << "06:45 AM";
}

void TestCallReportEntry::timeFormatSwitch() {
    QFETCH(QString, chosen);
    QFETCH(QString, ticked);
    QFETCH(QString, cleared);
    open();
    chooseMethod("Other");
    chooseTime(chosen);
    auto* check = child<QCheckBox>("CheckFormat");
    QCOMPARE(check->toolTip(), QString("Change to 24 Hour Setting"));
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
    QCOMPARE(child<QLineEdit>("TextTime")->text(), ticked);
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
    QCOMPARE(child<QLineEdit>("TextTime")->text(), cleared);
}

void TestCallReportEntry::companyWithoutContactsListsNobody() {
    FormCreateCallReport* form = open("Baker");
    QVERIFY(form->heading().contains("Company: Baker's Dozen"));
    QVERIFY(form->heading().contains("Division: " + Crlf));
    chooseMethod("Delivery");
    clickDate(Today);
    QVERIFY(persons().isEmpty());
    QVERIFY(MsgBox::shown().isEmpty());
}

QTEST_MAIN(TestCallReportEntry)
#include "tst_callreportentry.moc"
