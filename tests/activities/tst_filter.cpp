#include "TestSession.h"

#include "activities/FormAllCallReports.h"
#include "activities/FormFilter.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "data/DataSource.h"
#include "data/Recordset.h"
#include "formats/Rtf.h"
#include "platform/Locale.h"
#include "services/MsgBox.h"
#include "widgets/DBCombo.h"
#include "widgets/RichTextBox.h"

#include <QCalendarWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

// Thursday, 10 December 2026: the calendar opens on 11 October.
const QDate Today(2026, 12, 10);
const QString NoDates = QStringLiteral("You must Select Starting and Ending Dates.");

QString sqlText(const QString& text) {
    return "'" + QString(text).replace("'", "''") + "'";
}

} // namespace

// The call report filter, driven through its calendar, boxes, pick lists and
// button; what it finds is read in the all-call-reports window it opens.
class TestFilter : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void opensWithThePromptsTwoMonthsBack();
    void calendarFillsTheDateBoxesInOrder();
    void filterListsTheMatchingReportsNewestFirst_data();
    void filterListsTheMatchingReportsNewestFirst();
    void pickListsFillThePatterns();
    void aNameChosenFromTheListMatchesAsWritten_data();
    void aNameChosenFromTheListMatchesAsWritten();
    void withoutTwoDatesTheWindowStays_data();
    void withoutTwoDatesTheWindowStays();
    void queryFailureKeepsTheWindow();
    void anOpenBrowserShowsTheFilter();
    void dateRangeInNamedLocales_data();
    void dateRangeInNamedLocales();
    void dateRangeInEveryLocale();
    void hoverTexts_data();
    void hoverTexts();

private:
    FormFilter* open();
    FormFilter* filter() const {
        return qobject_cast<FormFilter*>(Forms::loaded(QString::fromLatin1(FormFilter::Name)));
    }
    template <class T = QWidget> T* child(const QString& name) const {
        T* widget = filter() ? filter()->findChild<T*>(name) : nullptr;
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    QString text(const QString& box) const { return child<QLineEdit>(box)->text(); }
    void type(const QString& box, const QString& text) {
        auto* edit = child<QLineEdit>(box);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    // Clicks the day's cell in the calendar, as the user does.
    void clickDate(const QDate& date);
    void clickFilter() { QTest::mouseClick(child<QPushButton>("CommandFilter"), Qt::LeftButton); }
    void choose(const QString& combo, const QString& typed) {
        auto* list = child<DBCombo>(combo);
        list->lineEdit()->selectAll();
        QTest::keyClicks(list->lineEdit(), typed);
        QTest::keyClick(list->lineEdit(), Qt::Key_Return);
    }
    static FormAllCallReports* browser() {
        return qobject_cast<FormAllCallReports*>(
            Forms::loaded(QString::fromLatin1(FormAllCallReports::Name)));
    }
    // The reports the browser shows, walked with its navigation bar.
    static QStringList listed(FormAllCallReports* form);

    std::unique_ptr<TestSession> m_session;
};

void TestFilter::init() {
    m_session = std::make_unique<TestSession>();
    QStringList reports;
    auto report = [&](const QString& key, const QString& company, const QString& salesPerson,
                      const QString& date, const QString& text) {
        reports << QString("(%1, %2, %3, '%4', %5)")
                       .arg(key, company, salesPerson, date, sqlText(Rtf::fromPlainText(text)));
    };
    report("1", "'Acme'", "'Ann'", "2026-11-01 08:00:00", "Acme, first of November.");
    report("1", "'Acme'", "'Ann'", "2026-11-30 23:59:00", "Acme, late on the last day.");
    report("2", "'Anvil Ltd'", "'Bob'", "2026-11-15", "Anvil, mid November.");
    report("3", "'Baker''s Dozen'", "'O''Neil'", "2026-11-20 14:30:00", "Baker's report.");
    report("6", "'A1 Tools'", "'Cy'", "2026-11-05 09:15:00", "A1 Tools report.");
    report("5", "NULL", "'Ann'", "2026-11-10", "Without a company name.");
    report("1", "'Acme'", "NULL", "2026-11-12", "Without a sales person.");
    report("4", "'Crane Works'", "'Bob'", "2026-12-01 00:00:00", "Crane, first of December.");
    report("4", "'Crane Works'", "'Bob'", "2026-10-31 23:59:59", "Crane, last of October.");
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT18, TEXT20) VALUES "
                    "(1, 'Acme', 'Ann', 'Company'), (2, 'Anvil Ltd', 'Bob', 'Company'), "
                    "(3, 'Baker''s Dozen', 'O''Neil', 'Company'), "
                    "(4, 'Crane Works', 'Bob', 'Company'), (5, 'Delta Old', 'Ann', 'Archive'), "
                    "(6, 'A1 Tools', 'Cy', 'Company');"
                    "INSERT INTO MT12 (TEXT01) VALUES ('Bob'), ('O''Neil'), ('Ann'), ('Cy');"
                    "INSERT INTO TABLE08 (NUMBER01, TEXT01, TEXT03, DATE01, MEMO01) VALUES " +
                        reports.join(", "));
    m_session->registerForms();
}

void TestFilter::cleanup() {
    m_session.reset();
}

FormFilter* TestFilter::open() {
    auto* form = qobject_cast<FormFilter*>(Forms::show(QString::fromLatin1(FormFilter::Name)));
    if (!form)
        qFatal("the filter window is not registered");
    return form;
}

void TestFilter::clickDate(const QDate& date) {
    auto* calendar = child<QCalendarWidget>("MonthView1");
    calendar->setCurrentPage(date.year(), date.month());
    auto* view = calendar->findChild<QTableView*>("qt_calendar_calendarview");
    QVERIFY(view);
    // Days of the months before and after fill the first and last rows: a
    // late day is its last cell of that number, an early day its first.
    const QStringList dayTexts{QString::number(date.day()),
                               calendar->locale().toString(date.day())};
    QModelIndex cell;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        for (int column = 0; column < view->model()->columnCount(); ++column) {
            const QModelIndex index = view->model()->index(row, column);
            if (!dayTexts.contains(index.data().toString()))
                continue;
            if (!cell.isValid() || date.day() >= 15)
                cell = index;
        }
    QVERIFY2(cell.isValid(), qPrintable(date.toString(Qt::ISODate)));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
    QCOMPARE(calendar->selectedDate(), date);
}

QStringList TestFilter::listed(FormAllCallReports* form) {
    QStringList texts;
    const int count = form->documents()->recordset()->recordCount();
    auto* first = form->findChild<QToolButton*>("MoveFirst");
    auto* next = form->findChild<QToolButton*>("MoveNext");
    if (count == 0 || !first || !next)
        return texts;
    QTest::mouseClick(first, Qt::LeftButton);
    for (int i = 0; i < count; ++i) {
        texts << form->document()->text();
        QTest::mouseClick(next, Qt::LeftButton);
    }
    QTest::mouseClick(first, Qt::LeftButton);
    return texts;
}

void TestFilter::opensWithThePromptsTwoMonthsBack() {
    FormFilter* form = open();
    QCOMPARE(form->windowTitle(), QString("Filter Call Reports..."));
    QCOMPARE(text("TextFrom"), QString("From which Date?"));
    QCOMPARE(text("TextUntil"), QString("Until which Date?"));
    QCOMPARE(child("TextFrom")->toolTip(), QString("Click the starting date on the Calendar"));
    QCOMPARE(child("TextUntil")->toolTip(), QString("Click the ending date on the Calendar"));
    QCOMPARE(child("CommandFilter")->toolTip(), QString("Filter and Display"));
    QCOMPARE(child<QPushButton>("CommandFilter")->text(), QString("&Filter"));
    QVERIFY(text("TextCompany").isEmpty());
    QVERIFY(text("TextSalesPerson").isEmpty());
    QVERIFY(!child("TextSQL")->isVisible());
    QVERIFY(!child("FrameHelp")->isVisible());
    QCOMPARE(child<QCalendarWidget>("MonthView1")->selectedDate(), Today.addDays(-60));
    QCOMPARE(child<QCalendarWidget>("MonthView1")->monthShown(), 10);
    QCOMPARE(form->minimumSize(), form->maximumSize()); // a fixed single border

    // Archived companies are not offered; both lists in name order.
    auto entries = [this](const QString& combo) {
        QStringList texts;
        auto* list = child<DBCombo>(combo);
        for (int i = 0; i < list->count(); ++i)
            texts << list->itemText(i);
        return texts;
    };
    QCOMPARE(entries("DBCombo2"),
             (QStringList{"A1 Tools", "Acme", "Anvil Ltd", "Baker's Dozen", "Crane Works"}));
    QCOMPARE(entries("DBCombo1"), (QStringList{"Ann", "Bob", "Cy", "O'Neil"}));
    QVERIFY(!Forms::isLoaded(FormAllCallReports::Name));
}

void TestFilter::calendarFillsTheDateBoxesInOrder() {
    open();
    clickDate(QDate(2026, 11, 1));
    QCOMPARE(text("TextFrom"), QString("11/01/2026"));
    QCOMPARE(text("TextUntil"), QString("Until which Date?"));
    clickDate(QDate(2026, 11, 30));
    QCOMPARE(text("TextFrom"), QString("11/01/2026"));
    QCOMPARE(text("TextUntil"), QString("11/30/2026"));
    // A third click changes nothing; the boxes can still be typed in.
    clickDate(QDate(2026, 9, 7));
    QCOMPARE(text("TextFrom"), QString("11/01/2026"));
    QCOMPARE(text("TextUntil"), QString("11/30/2026"));
    type("TextUntil", "11/20/2026");
    clickDate(QDate(2026, 9, 8));
    QCOMPARE(text("TextUntil"), QString("11/20/2026"));
    clickFilter();
    QVERIFY(browser());
    QCOMPARE(listed(browser()), (QStringList{"Baker's report.", "Anvil, mid November.",
                                             "A1 Tools report.", "Acme, first of November."}));
    // Reopened, it starts with the prompts again.
    open();
    QCOMPARE(text("TextFrom"), QString("From which Date?"));
    QCOMPARE(text("TextUntil"), QString("Until which Date?"));
}

void TestFilter::filterListsTheMatchingReportsNewestFirst_data() {
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("until");
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("salesPerson");
    QTest::addColumn<QStringList>("expected");
    const QDate first(2026, 11, 1), last(2026, 11, 30);
    const QString acmeFirst = "Acme, first of November.", acmeLate = "Acme, late on the last day.",
                  anvil = "Anvil, mid November.", baker = "Baker's report.",
                  tools = "A1 Tools report.";
    // Reports without a company name or sales person: "*" matches no empty column.
    QTest::newRow("dates alone") << first << last << ""
                                 << "" << QStringList{acmeLate, baker, anvil, tools, acmeFirst};
    QTest::newRow("a report late on the last day") << last << last << ""
                                                   << "" << QStringList{acmeLate};
    QTest::newRow("the first day from its midnight") << first << first << ""
                                                     << "" << QStringList{acmeFirst};
    QTest::newRow("one day between reports") << QDate(2026, 11, 2) << QDate(2026, 11, 4) << ""
                                             << "" << QStringList{};
    QTest::newRow("start after end") << last << first << ""
                                     << "" << QStringList{};
    QTest::newRow("A*") << first << last << "A*"
                        << "" << QStringList{acmeLate, anvil, tools, acmeFirst};
    QTest::newRow("letter case ignored") << first << last << "acme"
                                         << "ANN" << QStringList{acmeLate, acmeFirst};
    QTest::newRow("apostrophe in the company") << first << last << "Baker's Dozen"
                                               << "" << QStringList{baker};
    QTest::newRow("apostrophe in the sales person") << first << last << ""
                                                    << "O'Neil" << QStringList{baker};
    QTest::newRow("apostrophe and a wildcard") << first << last << "*'s D*"
                                               << "O'*" << QStringList{baker};
    QTest::newRow("apostrophe that ends the pattern") << first << last << "x' OR TEXT01 Like '*"
                                                      << "" << QStringList{};
    QTest::newRow("? one character") << first << last << ""
                                     << "B?b" << QStringList{anvil};
    QTest::newRow("? needs a character") << first << last << "Acm?"
                                         << "" << QStringList{acmeLate, acmeFirst};
    QTest::newRow("# one digit") << first << last << "A# Tools"
                                 << "" << QStringList{tools};
    QTest::newRow("# no letter") << first << last << "Acm#"
                                 << "" << QStringList{};
    QTest::newRow("no match") << first << last << "Nobody"
                              << "" << QStringList{};
    QTest::newRow("only outside the range") << first << last << "Crane*"
                                            << "" << QStringList{};
    QTest::newRow("both ends whole days")
        << QDate(2026, 10, 31) << QDate(2026, 12, 1) << "Crane Works"
        << "" << QStringList{"Crane, first of December.", "Crane, last of October."};
}

void TestFilter::filterListsTheMatchingReportsNewestFirst() {
    QFETCH(QDate, from);
    QFETCH(QDate, until);
    QFETCH(QString, company);
    QFETCH(QString, salesPerson);
    QFETCH(QStringList, expected);
    open();
    clickDate(from);
    clickDate(until);
    type("TextCompany", company);
    type("TextSalesPerson", salesPerson);
    clickFilter();
    settle();
    QVERIFY(!Forms::isLoaded(FormFilter::Name));
    FormAllCallReports* form = browser();
    QVERIFY(form && form->isVisible());
    QCOMPARE(form->windowTitle(), QString("Filter Call Reports"));
    QCOMPARE(form->documents()->databaseName(), QString("TESSALY.mdb"));
    QCOMPARE(listed(form), expected);
    QVERIFY(MsgBox::shown().isEmpty());
    // Nothing was changed on the way.
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE08").toInt(), 9);
}

void TestFilter::pickListsFillThePatterns() {
    open();
    choose("DBCombo2", "Bak");
    QCOMPARE(text("TextCompany"), QString("Baker's Dozen"));
    choose("DBCombo1", "O'N");
    QCOMPARE(text("TextSalesPerson"), QString("O'Neil"));
    clickDate(QDate(2026, 11, 1));
    clickDate(QDate(2026, 11, 30));
    clickFilter();
    QVERIFY(browser());
    QCOMPARE(listed(browser()), QStringList{"Baker's report."});
    // The query handed over is the one the box held.
    QVERIFY(browser()->documents()->recordSource().contains("Like 'Baker''s Dozen'"));
}

void TestFilter::aNameChosenFromTheListMatchesAsWritten_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("typed"); // then typed over the chosen name, when not empty
    QTest::addColumn<QStringList>("expected");
    const QStringList shop{"Shop #1 report."};
    QTest::newRow("chosen") << "Shop"
                            << "" << shop;
    QTest::newRow("typed as written: # wants a digit") << ""
                                                       << "Shop #1" << QStringList{};
    QTest::newRow("typed with ?") << ""
                                  << "Shop ?1" << shop;
    QTest::newRow("chosen, then typed over") << "Shop"
                                             << "Shop [#]*" << shop;
    QTest::newRow("brackets chosen") << "[Q"
                                     << "" << QStringList{"[Quick] *Fix? report."};
}

void TestFilter::aNameChosenFromTheListMatchesAsWritten() {
    QFETCH(QString, chosen);
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT18, TEXT20) VALUES "
                    "(7, 'Shop #1', 'Ann', 'Company'), (8, '[Quick] *Fix?', 'Ann', 'Company');"
                    "INSERT INTO TABLE08 (NUMBER01, TEXT01, TEXT03, DATE01, MEMO01) VALUES "
                    "(7, 'Shop #1', 'Ann', '2026-11-25 10:00:00', " +
                        sqlText(Rtf::fromPlainText("Shop #1 report.")) +
                        "), (8, '[Quick] *Fix?', 'Ann', '2026-11-25 11:00:00', " +
                        sqlText(Rtf::fromPlainText("[Quick] *Fix? report.")) + ")");
    open();
    if (!chosen.isEmpty())
        choose("DBCombo2", chosen);
    if (!typed.isEmpty())
        type("TextCompany", typed);
    clickDate(QDate(2026, 11, 25));
    clickDate(QDate(2026, 11, 25));
    clickFilter();
    QVERIFY(browser());
    QCOMPARE(listed(browser()), expected);
}

void TestFilter::withoutTwoDatesTheWindowStays_data() {
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("until");
    QTest::newRow("no date chosen") << 0 << ""
                                    << "";
    QTest::newRow("only the start") << 1 << ""
                                    << "";
    QTest::newRow("start typed over") << 2 << "someday"
                                      << "";
    QTest::newRow("no such day") << 2 << ""
                                 << "02/30/2026";
    QTest::newRow("day and month out of range") << 2 << "13/45/2026"
                                                << "";
    QTest::newRow("empty box") << 2 << ""
                               << " ";
    QTest::newRow("a time, not a date") << 2 << "10:00"
                                        << "";
    QTest::newRow("a date with more") << 2 << ""
                                      << "11/30/2026# OR #1/1/1900";
}

void TestFilter::withoutTwoDatesTheWindowStays() {
    QFETCH(int, clicks);
    QFETCH(QString, from);
    QFETCH(QString, until);
    open();
    if (clicks > 0)
        clickDate(QDate(2026, 11, 1));
    if (clicks > 1)
        clickDate(QDate(2026, 11, 30));
    if (!from.isEmpty())
        type("TextFrom", from);
    if (!until.isEmpty())
        type("TextUntil", until);
    const QString shownFrom = text("TextFrom"), shownUntil = text("TextUntil");
    m_session->expectMessage(NoDates);
    clickFilter();
    settle();
    QCOMPARE(MsgBox::last().text, NoDates);
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Information);
    QVERIFY(filter() && filter()->isVisible());
    QCOMPARE(text("TextFrom"), shownFrom);
    QCOMPARE(text("TextUntil"), shownUntil);
    QCOMPARE(text("TextCompany"), QString("*"));
    QCOMPARE(text("TextSalesPerson"), QString("*"));
    QVERIFY(!browser() || !browser()->isVisible());

    // Put right, the same window filters.
    type("TextFrom", "11/1/2026");
    type("TextUntil", "2026-11-15");
    clickFilter();
    QVERIFY(browser() && browser()->isVisible());
    QCOMPARE(listed(browser()),
             (QStringList{"Anvil, mid November.", "A1 Tools report.", "Acme, first of November."}));
}

void TestFilter::queryFailureKeepsTheWindow() {
    open();
    clickDate(QDate(2026, 11, 1));
    clickDate(QDate(2026, 11, 30));
    m_session->exec("TESSALY.mdb", "ALTER TABLE TABLE08 RENAME TO TABLE08_AWAY");
    m_session->expectMessage("The table 'TABLE08' does not exist.");
    clickFilter();
    settle();
    QVERIFY(filter() && filter()->isVisible());
    QVERIFY(!Forms::isLoaded(FormAllCallReports::Name));
    m_session->exec("TESSALY.mdb", "ALTER TABLE TABLE08_AWAY RENAME TO TABLE08");
    clickFilter();
    QVERIFY(browser() && browser()->isVisible());
    QCOMPARE(browser()->documents()->recordset()->recordCount(), 5);
}

void TestFilter::anOpenBrowserShowsTheFilter() {
    FormAllCallReports* searched = FormAllCallReports::OpenOn(
        "Search Call Reports", "SELECT * FROM TABLE08 ORDER BY DATE01 DESC");
    QVERIFY(searched);
    QCOMPARE(searched->documents()->recordset()->recordCount(), 9);
    open();
    clickDate(QDate(2026, 11, 15));
    clickDate(QDate(2026, 11, 20));
    clickFilter();
    QCOMPARE(browser(), searched);
    QVERIFY(searched->isVisible());
    QCOMPARE(searched->windowTitle(), QString("Filter Call Reports"));
    QCOMPARE(listed(searched), (QStringList{"Baker's report.", "Anvil, mid November."}));
}

void TestFilter::dateRangeInNamedLocales_data() {
    QTest::addColumn<QString>("locale");
    for (const char* name : {"en_US", "de_DE", "en_GB", "fr_FR", "ja_JP", "ar_EG", "fa_IR", "zh_CN",
                             "ko_KR", "hi_IN", "he_IL", "th_TH", "ru_RU", "pt_BR"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestFilter::dateRangeInNamedLocales() {
    QFETCH(QString, locale);
    Locale::pin(QLocale(locale));
    open();
    QCOMPARE(child<QCalendarWidget>("MonthView1")->locale(), QLocale(locale));
    clickDate(QDate(2026, 11, 30));
    clickDate(QDate(2026, 11, 30));
    QCOMPARE(text("TextFrom"), QString("11/30/2026"));
    QCOMPARE(text("TextUntil"), QString("11/30/2026"));
    clickFilter();
    QVERIFY(browser());
    QCOMPARE(listed(browser()), QStringList{"Acme, late on the last day."});
    browser()->close();
    settle();

    open();
    clickDate(QDate(2026, 10, 31));
    clickDate(QDate(2026, 11, 1));
    QCOMPARE(text("TextFrom"), QString("10/31/2026"));
    clickFilter();
    QVERIFY(browser());
    QCOMPARE(listed(browser()),
             (QStringList{"Acme, first of November.", "Crane, last of October."}));
}

void TestFilter::dateRangeInEveryLocale() {
    const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    QStringList failed;
    for (const QLocale& locale : locales) {
        Locale::pin(locale);
        open();
        clickDate(QDate(2026, 11, 30));
        clickDate(QDate(2026, 11, 30));
        if (text("TextFrom") != "11/30/2026" || text("TextUntil") != "11/30/2026")
            failed << locale.name() + ": " + text("TextFrom") + " - " + text("TextUntil");
        clickFilter();
        FormAllCallReports* form = browser();
        if (!form || !form->isVisible() || form->documents()->recordset()->recordCount() != 1 ||
            form->document()->text() != "Acme, late on the last day.")
            failed << locale.name();
        if (filter())
            filter()->close();
        if (form)
            form->close();
        settle();
    }
    QVERIFY2(failed.isEmpty(), qPrintable(failed.join(' ')));
    QVERIFY(locales.size() > 100);
}

void TestFilter::hoverTexts_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("help");
    QTest::newRow("from") << "TextFrom"
                          << "Click on a starting date for the range of reports you want to "
                             "filter. This selection is compulsory.";
    QTest::newRow("until") << "TextUntil"
                           << "Click on an ending date for the range of reports you want to "
                              "filter. This selection is compulsory.";
    QTest::newRow("sales person") << "DBCombo1"
                                  << "Select a sales person for the range of reports you want "
                                     "to filter. This selection is optional.";
    QTest::newRow("company") << "DBCombo2"
                             << "Select a company for the range of reports you want to filter. "
                                "This selection is optional.";
    QTest::newRow("filter") << "CommandFilter"
                            << "Apply filter and display.";
}

void TestFilter::hoverTexts() {
    QFETCH(QString, control);
    QFETCH(QString, help);
    FormFilter* form = open();
    HoverHelp* hover = form->hoverHelp();
    QVERIFY(hover);
    hover->showFor(child(control));
    QVERIFY(child("FrameHelp")->isVisible());
    QCOMPARE(child<QLabel>("LabelHelp")->text(), help);
    hover->showBackground();
    QVERIFY(!child("FrameHelp")->isVisible());
}

QTEST_MAIN(TestFilter)
#include "tst_filter.moc"
