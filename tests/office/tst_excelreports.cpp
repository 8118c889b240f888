#include "ReportFixtures.h"
#include "TestMain.h"
#include "TestSession.h"

#include "app/ModuleExcelReports.h"
#include "formats/CellText.h"
#include "formats/Sheet.h"
#include "formats/WorkbookReader.h"
#include "formats/Worksheet.h"
#include "office/ReportData.h"
#include "platform/Locale.h"
#include "services/Clipboard.h"
#include "services/Desktop.h"
#include "services/Pointer.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

using ReportData::Report;

// The five spreadsheet reports from the database to the saved workbook: the
// query captured as report data text, the builder's workbook read back
// through the workbook reader.
class TestExcelReports : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void companiesReport_data();
    void companiesReport();
    void contactsReport_data();
    void contactsReport();
    void competitorActivityReport();
    void projectsReport();
    void salesReport();

    void valuesStayInTheirCells_data();
    void valuesStayInTheirCells();
    void datesArriveAsDatesInEveryLocale();
    void twoReportsAreTwoFiles();
    void missingTempFolderIsReported();
    void emptyClipboardIsReported();
    void sortColumnNameIsQuoted();

private:
    // Captures the report's query onto the clipboard and runs its builder.
    QString make(Report report, const FieldChoices& choices = FieldChoices::all());
    std::unique_ptr<TestSession> m_session;
};

using ReportFixtures::column;
using ReportFixtures::titles;

namespace {

QString lastCell(const Worksheet& sheet) {
    return CellRange::cellAddress(sheet.rowCount() - 1, sheet.columnCount() - 1);
}

} // namespace

void TestExcelReports::init() {
    m_session = std::make_unique<TestSession>();
    QDir(m_session->path()).mkpath(QStringLiteral("Temp"));
}

void TestExcelReports::cleanup() {
    m_session.reset();
}

QString TestExcelReports::make(Report report, const FieldChoices& choices) {
    QString error;
    if (report != Report::Sales) {
        if (!ReportData::captureToClipboard(QStringLiteral("TESSALY.mdb"),
                                            ReportData::recordSource(report), &error)) {
            qWarning("%s", qPrintable(error));
            return {};
        }
    }
    switch (report) {
    case Report::CompActivities:
        return ModuleExcelReports::ExcelReportCompActivities();
    case Report::Companies:
        return ModuleExcelReports::ExcelReportCompanies(choices);
    case Report::Contacts:
        return ModuleExcelReports::ExcelReportContacts(choices);
    case Report::Projects:
        return ModuleExcelReports::ExcelReportProjects();
    case Report::Sales:
        return ModuleExcelReports::ExcelReportSales();
    }
    return {};
}

// Every report: the file in Temp under its random name, handed to the user,
// the clipboard cleared, the pointer back to normal.
#define VERIFY_HANDED_OVER(path)                                                                   \
    do {                                                                                           \
        QVERIFY(!(path).isEmpty());                                                                \
        QVERIFY2(QRegularExpression(QStringLiteral("/Temp/Tessaly Report [1-9][0-9]{5}\\.xlsx$"))  \
                     .match(path)                                                                  \
                     .hasMatch(),                                                                  \
                 qPrintable(path));                                                                \
        QVERIFY(Desktop::opened().contains(QUrl::fromLocalFile(path)));                            \
        QVERIFY(Clipboard::text().isEmpty());                                                      \
        QVERIFY(!Pointer::isBusy());                                                               \
    } while (false)

void TestExcelReports::companiesReport_data() {
    QTest::addColumn<QList<int>>("unticked");
    QTest::addColumn<QSet<int>>("hidden");
    QTest::newRow("every box ticked") << QList<int>{} << QSet<int>{};
    // "City" is the CITY column (G), never POSTAL CITY (C).
    QTest::newRow("city") << QList<int>{5} << QSet<int>{6};
    QTest::newRow("postal city") << QList<int>{2} << QSet<int>{2};
    QTest::newRow("street address hides both of its columns") << QList<int>{4} << QSet<int>{4, 5};
    QTest::newRow("telephone, not telefax") << QList<int>{7} << QSet<int>{8};
    QTest::newRow("sales person and sales manager") << QList<int>{14, 15} << QSet<int>{18, 17};
    QTest::newRow("date last visited") << QList<int>{17} << QSet<int>{15};
    QList<int> every;
    QSet<int> allButCompany;
    for (int box = 1; box <= 17; ++box)
        every.append(box);
    for (int c = 1; c < 19; ++c)
        allButCompany.insert(c);
    QTest::newRow("no box ticked: the company stays") << every << allButCompany;
}

void TestExcelReports::companiesReport() {
    QFETCH(QList<int>, unticked);
    QFETCH(QSet<int>, hidden);
    ReportFixtures::addCompany(*m_session, 2, QStringLiteral("Bolt & Nut"));
    ReportFixtures::addCompany(*m_session, 1, QStringLiteral("Acme Ltd"));
    ReportFixtures::addCompany(*m_session, 3, QStringLiteral("Zed Archive"),
                               QStringLiteral("Archive"));
    FieldChoices choices = FieldChoices::all();
    for (int box : unticked)
        choices.setTicked(box, false);

    const QString path = make(Report::Companies, choices);
    VERIFY_HANDED_OVER(path);
    const Worksheet sheet = ReportFixtures::readBack(path);
    QCOMPARE(titles(sheet), QStringList({"COMPANY", "POSTAL ADDRESS", "POSTAL CITY", "POSTAL CODE",
                                         "STREET ADDRESS", "STREET ADDRESS 2", "CITY", "REGION",
                                         "TELEPHONE", "TELEFAX", "WEBSITE", "DIVISION", "BRANCH",
                                         "CATEGORY", "TYPE OF CONTACT", "DATE LAST VISITED",
                                         "VISIT FREQUENCY", "SALES MANAGER", "SALES PERSON"}));
    // Only records of companies, by name.
    QCOMPARE(column(sheet, 0), QStringList({"Acme Ltd", "Bolt & Nut"}));
    QCOMPARE(sheet.cell(1, 15), QVariant(QDate(2026, 11, 1)));
    QCOMPARE(sheet.cell(2, 16), QVariant(2.0));
    QCOMPARE(sheet.cell(1, 8), QVariant("0123 1"));
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 19; ++c) {
            const CellFormat format = sheet.format(r, c);
            QVERIFY2(format.fontName == QLatin1String("Arial Narrow") && format.fontSize == 8 &&
                         format.bold == (r == 0),
                     qPrintable(CellRange::cellAddress(r, c) + u' ' + format.key()));
        }
        QCOMPARE(sheet.format(r, 15).numberFormat, QString("mm/dd/yyyy"));
        QCOMPARE(sheet.format(r, 15).horizontal, HorizontalAlignment::Left);
    }
    QCOMPARE(sheet.autoFilter, QString("A1:") + lastCell(sheet));
    QCOMPARE(sheet.frozenRows, 1);
    QCOMPARE(sheet.frozenColumns, 0);
    QCOMPARE(sheet.hiddenColumns, hidden);
}

void TestExcelReports::contactsReport_data() {
    QTest::addColumn<QList<int>>("unticked");
    QTest::addColumn<QSet<int>>("hidden");
    QTest::newRow("every box ticked") << QList<int>{} << QSet<int>{};
    QTest::newRow("company") << QList<int>{1} << QSet<int>{0};
    QTest::newRow("telephone and e-mail") << QList<int>{4, 7} << QSet<int>{7, 4};
    QTest::newRow("assistant") << QList<int>{10} << QSet<int>{9};
}

void TestExcelReports::contactsReport() {
    QFETCH(QList<int>, unticked);
    QFETCH(QSet<int>, hidden);
    ReportFixtures::addCompany(*m_session, 1, QStringLiteral("Acme Ltd"));
    ReportFixtures::addCompany(*m_session, 2, QStringLiteral("Old Co"), QStringLiteral("Archive"));
    const QString tessaly = QStringLiteral("TESSALY.mdb");
    m_session->exec(tessaly,
                    "INSERT INTO TABLE03 (NUMBER01, TEXT02, TEXT03, TEXT04, TEXT05, "
                    "TEXT08, TEXT10) VALUES (1, 'Zoë', 'O''Brien', '082 1', 'z@acme.test', "
                    "'0123 9', 'Kim')");
    m_session->exec(tessaly, "INSERT INTO TABLE03 (NUMBER01, TEXT02, TEXT03) VALUES (2, 'Gone', "
                             "'Archived')");
    FieldChoices choices = FieldChoices::all();
    for (int box : unticked)
        choices.setTicked(box, false);

    const QString path = make(Report::Contacts, choices);
    VERIFY_HANDED_OVER(path);
    const Worksheet sheet = ReportFixtures::readBack(path);
    QCOMPARE(titles(sheet),
             QStringList({"COMPANY", "FIRST NAME", "LAST NAME", "CELLPHONE", "E-MAIL", "OCCUPATION",
                          "DESIGNATION", "TELEPHONE", "TELEFAX", "ASSISTANT"}));
    QCOMPARE(sheet.rowCount(), 2);
    QCOMPARE(sheet.cell(1, 1), QVariant("Zoë"));
    QCOMPARE(sheet.cell(1, 2), QVariant("O'Brien"));
    QCOMPARE(sheet.cell(1, 9), QVariant("Kim"));
    QVERIFY(sheet.format(0, 0).bold);
    QVERIFY(!sheet.format(1, 0).bold);
    QCOMPARE(sheet.format(1, 3).fontName, QString("Arial Narrow"));
    QCOMPARE(sheet.autoFilter, QString("A1:J2"));
    QCOMPARE(sheet.frozenRows, 1);
    QCOMPARE(sheet.hiddenColumns, hidden);
}

void TestExcelReports::competitorActivityReport() {
    const QString tessaly = QStringLiteral("TESSALY.mdb");
    m_session->exec(tessaly,
                    "INSERT INTO TABLE10 (NUMBER01, NUMBER02, TEXT02, TEXT03, TEXT04, "
                    "TEXT05, TEXT06, TEXT07, DATE01) VALUES (1, 500, 'Pumps', 'Zeta Pump', "
                    "'€ 12.50', 'Bob', 'Tools', 'Acme Ltd', '2026-03-04')");
    m_session->exec(tessaly, "INSERT INTO TABLE10 (NUMBER01, NUMBER02, TEXT02, TEXT03, DATE01) "
                             "VALUES (1, 20, 'Valves', 'Alpha Valve', '2026-12-01')");
    const QString path = make(Report::CompActivities);
    VERIFY_HANDED_OVER(path);
    const Worksheet sheet = ReportFixtures::readBack(path);
    QCOMPARE(titles(sheet),
             QStringList({"PRODUCT GROUP", "COMPETITOR'S PRODUCT", "UNITS PER ANNUM",
                          "COST PER UNIT", "COMPANY", "SALES PERSON", "DIVISION", "DATE EDITED"}));
    QCOMPARE(column(sheet, 1), QStringList({"Alpha Valve", "Zeta Pump"}));
    QCOMPARE(sheet.cell(2, 2), QVariant(500.0));
    QCOMPARE(sheet.cell(2, 3), QVariant("€ 12.50"));
    QCOMPARE(sheet.cell(2, 7), QVariant(QDate(2026, 3, 4)));
    QCOMPARE(sheet.format(1, 7).numberFormat, QString("mm/dd/yyyy"));
    // The filter buttons stand on columns A to E only.
    QCOMPARE(sheet.autoFilter, QString("A1:E3"));
    QVERIFY(sheet.format(0, 7).bold);
    QCOMPARE(sheet.format(1, 0).horizontal, HorizontalAlignment::Left);
    QCOMPARE(sheet.frozenRows, 0);
    QVERIFY(sheet.hiddenColumns.isEmpty());
}

void TestExcelReports::projectsReport() {
    const QString tessaly = QStringLiteral("TESSALY.mdb");
    ReportFixtures::addCompany(*m_session, 1, QStringLiteral("Bolt & Nut"));
    ReportFixtures::addCompany(*m_session, 2, QStringLiteral("Acme Ltd"));
    ReportFixtures::addCompany(*m_session, 3, QStringLiteral("Old Co"), QStringLiteral("Archive"));
    const QString project = QStringLiteral(
        "INSERT INTO TABLE06 (AUTONUMBER, NUMBER01, TEXT01, TEXT02, TEXT03, DATE01) VALUES (%1, "
        "%2, '%3', '%4', '%5', '2026-0%1-01')");
    m_session->exec(tessaly, project.arg(1).arg(1).arg("Mining", "Conveyor", "Active Project"));
    m_session->exec(tessaly, project.arg(2).arg(2).arg("Food", "Ovens", "Active Project"));
    m_session->exec(tessaly, project.arg(3).arg(2).arg("Auto", "Paint line", "Active Project"));
    m_session->exec(tessaly, project.arg(4).arg(2).arg("Auto", "Lost deal", "Lost Project"));
    m_session->exec(tessaly, project.arg(5).arg(3).arg("Auto", "Archived", "Active Project"));
    m_session->exec(tessaly, project.arg(6).arg(2).arg("Auto", "No steps", "Active Project"));
    const QString step =
        QStringLiteral("INSERT INTO TABLE07 (NUMBER01, DATE01, MEMO01) VALUES (%1, '%2', '%3')");
    m_session->exec(tessaly, step.arg(1).arg("2026-05-02", "Quote"));
    m_session->exec(tessaly, step.arg(3).arg("2026-06-09", "Visit\r\nplant\tline \"2\""));
    m_session->exec(tessaly, step.arg(3).arg("2026-06-01", "Call"));
    m_session->exec(tessaly, step.arg(2).arg("2026-01-05", "Demo"));
    m_session->exec(tessaly, step.arg(4).arg("2026-01-05", "Nothing"));
    m_session->exec(tessaly, step.arg(5).arg("2026-01-05", "Nothing either"));

    const QString path = make(Report::Projects);
    VERIFY_HANDED_OVER(path);
    const Worksheet sheet = ReportFixtures::readBack(path);
    QCOMPARE(titles(sheet),
             QStringList({"INDUSTRY GROUP", "DATE ENTERED", "COMPANY", "DIVISION", "SALES PERSON",
                          "PROJECT NAME", "PROJECT STATUS", "ACTION DATE", "ACTION STEP"}));
    // One line per step of the active projects of companies, by company,
    // industry group, project and action date.
    QCOMPARE(column(sheet, 2), QStringList({"Acme Ltd", "Acme Ltd", "Acme Ltd", "Bolt & Nut"}));
    QCOMPARE(column(sheet, 0), QStringList({"Auto", "Auto", "Food", "Mining"}));
    QCOMPARE(column(sheet, 8),
             QStringList({"Call", "Visit\r\nplant\tline \"2\"", "Demo", "Quote"}));
    QCOMPARE(sheet.cell(1, 7), QVariant(QDate(2026, 6, 1)));
    QCOMPARE(sheet.cell(1, 1), QVariant(QDate(2026, 3, 1)));
    QCOMPARE(sheet.columnWidths.value(8), 50.0);
    QVERIFY(sheet.format(2, 8).wrapText);
    QCOMPARE(sheet.format(2, 8).vertical, VerticalAlignment::Top);
    QCOMPARE(sheet.format(1, 1).horizontal, HorizontalAlignment::Left);
    QCOMPARE(sheet.format(1, 7).horizontal, HorizontalAlignment::Left);
    // The step on two lines makes its row taller.
    QVERIFY(sheet.rowHeights.value(2) > sheet.rowHeights.value(1, Sheet::StandardRowHeight));
    QVERIFY(sheet.format(0, 0).bold);
    QCOMPARE(sheet.autoFilter, QString("A1:I5"));
    QCOMPARE(sheet.frozenRows, 1);
}

void TestExcelReports::salesReport() {
    const QString user = QStringLiteral("User.mdb");
    m_session->exec(user, "CREATE TABLE SALES ([Account No.] TEXT, [Invoice Date] TEXT, "
                          "[Amount] REAL, [Customer's Name] TEXT)");
    m_session->exec(user, "INSERT INTO SALES VALUES ('A1', '2026-01-15', 120.5, 'Müller AG'), "
                          "('A2', '2026-03-02', 99, 'O''Neil'), ('A1', '2025-12-31', -4.25, 'x')");
    QString error;
    QVERIFY2(
        ReportData::captureToClipboard(user, ReportData::salesRecordSource("Invoice Date"), &error),
        qPrintable(error));
    const QString path = make(Report::Sales);
    VERIFY_HANDED_OVER(path);
    const Worksheet sheet = ReportFixtures::readBack(path);
    QCOMPARE(titles(sheet),
             QStringList({"Account No.", "Invoice Date", "Amount", "Customer's Name"}));
    QCOMPARE(column(sheet, 3), QStringList({"O'Neil", "Müller AG", "x"}));
    QCOMPARE(sheet.cell(1, 2), QVariant(99.0));
    QCOMPARE(sheet.cell(3, 2), QVariant(-4.25));
    QCOMPARE(sheet.autoFilter, QString("A1:D4"));
    QCOMPARE(sheet.frozenRows, 1);
    QCOMPARE(sheet.frozenColumns, 0);
    // The spreadsheet's own fonts: no caption, font or bold title row is set.
    QVERIFY(!sheet.format(0, 0).bold);
    QCOMPARE(sheet.format(1, 0).fontName, CellFormat().fontName);
}

void TestExcelReports::valuesStayInTheirCells_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("tab") << QStringLiteral("left\tright");
    QTest::newRow("line feed") << QStringLiteral("first\nsecond");
    QTest::newRow("carriage return and line feed") << QStringLiteral("first\r\nsecond");
    QTest::newRow("ends with a line break") << QStringLiteral("last line\n");
    QTest::newRow("quoted at the start") << QStringLiteral("\"Best\" offer");
    QTest::newRow("quotes around everything") << QStringLiteral("\"a\tb\"");
    QTest::newRow("only a quote") << QStringLiteral("\"");
    QTest::newRow("apostrophes") << QStringLiteral("O'Brien's 'own'");
    QTest::newRow("non-ASCII") << QStringLiteral("Żółć – Straße № 5 €");
    QTest::newRow("formula text stays text") << QStringLiteral("=1+1");
    QTest::newRow("leading zero stays text") << QStringLiteral("0123");
}

void TestExcelReports::valuesStayInTheirCells() {
    QFETCH(QString, value);
    ReportFixtures::addCompany(*m_session, 1, QStringLiteral("Acme"));
    ReportFixtures::addCompany(*m_session, 2, QStringLiteral("Beta"));
    m_session->exec(QStringLiteral("TESSALY.mdb"),
                    QStringLiteral("UPDATE TABLE01 SET TEXT03 = '%1' WHERE AUTONUMBER = 1")
                        .arg(QString(value).replace(u'\'', QLatin1String("''"))));
    const QString path = make(Report::Companies);
    VERIFY_HANDED_OVER(path);
    const Worksheet sheet = ReportFixtures::readBack(path);
    QCOMPARE(sheet.rowCount(), 3);
    QCOMPARE(sheet.columnCount(), 19);
    QCOMPARE(sheet.cell(1, 1).toString(), value);
    // The columns after it and the row below are where they belong.
    QCOMPARE(sheet.cell(1, 2), QVariant("Post 1"));
    QCOMPARE(sheet.cell(1, 18), QVariant("Bob"));
    QCOMPARE(sheet.cell(2, 0), QVariant("Beta"));
    QCOMPARE(sheet.cell(2, 1), QVariant("PO Box 2"));
}

void TestExcelReports::datesArriveAsDatesInEveryLocale() {
    const QString tessaly = QStringLiteral("TESSALY.mdb");
    ReportFixtures::addCompany(*m_session, 1, QStringLiteral("Acme"));
    // A day that reads differently when day and month trade places.
    m_session->exec(tessaly, "UPDATE TABLE01 SET DATE01 = '2026-03-04' WHERE AUTONUMBER = 1");
    int tried = 0;
    for (const QLocale& locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript,
                                                          QLocale::AnyTerritory)) {
        Locale::pin(locale);
        QString error;
        const auto text =
            ReportData::capture(tessaly, ReportData::recordSource(Report::Companies), &error);
        QVERIFY2(text, qPrintable(error));
        Sheet sheet;
        sheet.paste(*text, 0, 0);
        QVERIFY2(sheet.value(1, 15) == QVariant(QDate(2026, 3, 4)),
                 qPrintable(locale.name() + u' ' + sheet.value(1, 15).toString()));
        ++tried;
    }
    QVERIFY(tried > 100);
}

void TestExcelReports::twoReportsAreTwoFiles() {
    ReportFixtures::addCompany(*m_session, 1, QStringLiteral("Acme"));
    const QString first = make(Report::Companies);
    const QString second = make(Report::Companies);
    VERIFY_HANDED_OVER(first);
    VERIFY_HANDED_OVER(second);
    QVERIFY(first != second);
    QVERIFY(QFileInfo::exists(first));
    QVERIFY(QFileInfo::exists(second));
    QCOMPARE(Desktop::opened().size(), 2);
}

void TestExcelReports::missingTempFolderIsReported() {
    ReportFixtures::addCompany(*m_session, 1, QStringLiteral("Acme"));
    QVERIFY(QDir(m_session->file(QStringLiteral("Temp"))).removeRecursively());
    m_session->expectMessage(QStringLiteral("The report cannot be saved: the folder "));
    QVERIFY(make(Report::Contacts).isEmpty());
    QCOMPARE(MsgBox::last().style, int(MsgBox::Critical));
    QVERIFY(Desktop::opened().isEmpty());
    QVERIFY(!Pointer::isBusy());
    QVERIFY(!QFileInfo::exists(m_session->file(QStringLiteral("Temp"))));
}

void TestExcelReports::emptyClipboardIsReported() {
    Clipboard::clear();
    m_session->expectMessage(QStringLiteral("There is no report data to paste"));
    QVERIFY(ModuleExcelReports::ExcelReportProjects().isEmpty());
    QVERIFY(Desktop::opened().isEmpty());
    QVERIFY(!Pointer::isBusy());
    QVERIFY(QDir(m_session->file(QStringLiteral("Temp"))).isEmpty());
}

void TestExcelReports::sortColumnNameIsQuoted() {
    const QString user = QStringLiteral("User.mdb");
    m_session->exec(user, "CREATE TABLE SALES ([Date of sale] TEXT, [Amount] REAL)");
    m_session->exec(user, "INSERT INTO SALES VALUES ('2026-01-01', 1), ('2026-02-01', 2)");
    QString error;
    const auto text =
        ReportData::capture(user, ReportData::salesRecordSource("Date of sale"), &error);
    QVERIFY2(text, qPrintable(error));
    QCOMPARE(*text, QString("Date of sale\tAmount\r2026-02-01\t2\r2026-01-01\t1"));
    // No such column: the query fails with the database's message.
    QVERIFY(!ReportData::capture(user, ReportData::salesRecordSource("Missing"), &error));
    QVERIFY(!error.isEmpty());
}

TESSALY_GUI_TEST_MAIN(TestExcelReports)
#include "tst_excelreports.moc"
