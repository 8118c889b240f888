#include "TestFolder.h"

#include "data/DataSource.h"
#include "data/Database.h"
#include "data/SqlQuote.h"
#include "office/WorkbookReader.h"
#include "office/XlsxReader.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <xlsxwriter.h>

// The make-table form that reads a worksheet into a new table, and the
// workbook readers under it.
class TestWorkbookImport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_folder.reset(); }

    void competitorProductsFromXls();
    void pricesFromXlsxNamedAsXls();
    void salesSheetWithTypesAndBlanks();
    void windowsSeparatorInTheFixedText();
    void pathWithAnApostrophe();
    void failures_data();
    void failures();

    void xlsxCellsAndFormats();
    void damagedWorkbooksAreReadSafely_data();
    void damagedWorkbooksAreReadSafely();
    void serialDates_data();
    void serialDates();
    void dateFormats_data();
    void dateFormats();

private:
    QString makeTable(const QString& database, const QString& table, const QString& sheet,
                      const QString& path);
    void writePricesXlsx(const QString& path);
    std::unique_ptr<TestFolder> m_folder;
};

void TestWorkbookImport::init() {
    m_folder = std::make_unique<TestFolder>();
    for (const QString name : {"Competition.xls", "Sales.xls"})
        QVERIFY(QFile::copy(QString(TESSALY_FIXTURES) + "/" + name, m_folder->file(name)));
}

QString TestWorkbookImport::makeTable(const QString& database, const QString& table,
                                      const QString& sheet, const QString& path) {
    Database db;
    QString error;
    if (!db.open(database, &error))
        return error;
    db.execute("SELECT * INTO " + table + " FROM [" + sheet +
                   "$] IN '' 'Excel 8.0;database=" + SqlQuote::text(path) + "';",
               &error);
    return error;
}

void TestWorkbookImport::writePricesXlsx(const QString& path) {
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* notes = workbook_add_worksheet(book, "Read me");
    worksheet_write_string(notes, 0, 0, "Prices are on the next sheet", nullptr);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "PRICES");
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "dd/mm/yyyy");
    const char* titles[] = {"PRODUCT", "CURRENCY", "PRICE", "NOTES", "CHECKED"};
    for (int c = 0; c < 5; ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), titles[c], nullptr);
    worksheet_write_string(sheet, 1, 0, "Widget", nullptr);
    worksheet_write_string(sheet, 1, 1, "USD", nullptr);
    worksheet_write_number(sheet, 1, 2, 12.5, nullptr);
    worksheet_write_string(sheet, 1, 3, "Per piece; \"best\" <seller> & more", nullptr);
    lxw_datetime checked = {2026, 12, 10, 0, 0, 0};
    worksheet_write_datetime(sheet, 1, 4, &checked, date);
    worksheet_write_string(sheet, 2, 0, "Bolt", nullptr);
    worksheet_write_string(sheet, 2, 1, "EUR", nullptr);
    worksheet_write_formula_num(sheet, 2, 2, "=1+2", nullptr, 3);
    lxw_datetime later = {2027, 1, 31, 0, 0, 0};
    worksheet_write_datetime(sheet, 2, 4, &later, date);
    worksheet_write_string(sheet, 3, 0, "Widget", nullptr); // duplicate row
    worksheet_write_string(sheet, 3, 1, "USD", nullptr);
    worksheet_write_number(sheet, 3, 2, 12.5, nullptr);
    worksheet_write_string(sheet, 3, 3, "Per piece; \"best\" <seller> & more", nullptr);
    worksheet_write_datetime(sheet, 3, 4, &checked, date);
    QCOMPARE(workbook_close(book), LXW_NO_ERROR);
}

void TestWorkbookImport::competitorProductsFromXls() {
    const QString error =
        makeTable("TESSALY.mdb", "Temp", "COMPETITION", m_folder->file("Competition.xls"));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(m_folder->column("TESSALY.mdb", "SELECT name FROM pragma_table_info('Temp')"),
             (QStringList{"ROWKEY", "COMPETITOR'S PRODUCT", "COMPETITOR'S NAME", "EQUIVALENT"}));
    // The empty row is left out; duplicates stay (the insert removes them).
    QCOMPARE(m_folder->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM Temp").toInt(), 4);

    Database db;
    QVERIFY(db.open("TESSALY.mdb"));
    QString message;
    QVERIFY2(db.execute("INSERT INTO TABLE11 (TEXT01, TEXT02, TEXT03) SELECT DISTINCT "
                        "Temp.[COMPETITOR'S PRODUCT] AS TEXT01, Temp.[COMPETITOR'S NAME] AS "
                        "TEXT02, Temp.[EQUIVALENT] AS TEXT03 From Temp",
                        &message),
             qPrintable(message));
    QCOMPARE(m_folder->rows("TESSALY.mdb", "SELECT TEXT01, TEXT02, TEXT03 FROM TABLE11 ORDER BY "
                                           "TEXT01"),
             (QList<QVariantList>{{"Glue X", "Rival Inc", "Our Glue"},
                                  {"Säge 5", "O'Hara & Söhne", QVariant()},
                                  {"Tape Y", "Other Co", "Our Tape"}}));
    QVERIFY(db.execute("DROP TABLE Temp;"));
    // Once dropped, the next import can make it again.
    QCOMPARE(makeTable("TESSALY.mdb", "Temp", "competition", m_folder->file("Competition.xls")),
             QString());
}

void TestWorkbookImport::pricesFromXlsxNamedAsXls() {
    writePricesXlsx(m_folder->file("Prices.xlsx"));
    // The window names the older file; only the .xlsx exists.
    const QString error = makeTable("TESSALY.mdb", "Temp", "PRICES", m_folder->file("Prices.xls"));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(m_folder->rows("TESSALY.mdb", "SELECT PRODUCT, CURRENCY, PRICE, NOTES, CHECKED "
                                           "FROM Temp ORDER BY ROWKEY"),
             (QList<QVariantList>{
                 {"Widget", "USD", 12.5, "Per piece; \"best\" <seller> & more", "2026-12-10"},
                 {"Bolt", "EUR", 3, QVariant(), "2027-01-31"},
                 {"Widget", "USD", 12.5, "Per piece; \"best\" <seller> & more", "2026-12-10"}}));
    Database db;
    QVERIFY(db.open("TESSALY.mdb"));
    QString message;
    QVERIFY2(db.execute("INSERT INTO TABLE13 (TEXT01, TEXT03, TEXT02, MEMO01) SELECT DISTINCT "
                        "Temp.[PRODUCT] AS TEXT01, Temp.[CURRENCY] AS TEXT03, Temp.[PRICE] AS "
                        "TEXT02, Temp.[NOTES] AS MEMO01 From Temp",
                        &message),
             qPrintable(message));
    QCOMPARE(m_folder->rows("TESSALY.mdb", "SELECT TEXT01, TEXT02 FROM TABLE13 ORDER BY TEXT01"),
             (QList<QVariantList>{{"Bolt", "3"}, {"Widget", "12.5"}}));
}

void TestWorkbookImport::salesSheetWithTypesAndBlanks() {
    const QString error = makeTable("User.mdb", "SALES", "Sales 2026", m_folder->file("Sales.xls"));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(m_folder->rows("User.mdb", "SELECT \"Account No\", \"Invoice Date\", Amount, "
                                        "Product, Ref FROM SALES ORDER BY ROWKEY"),
             (QList<QVariantList>{{1001, "2026-01-15", 120.5, "Glue", "7"},
                                  {1001, "2026-03-01", 99, "Tape", "A-7"},
                                  {1002, "2026-02-01 09:30:00", 10, "Bolts", "8"}}));
    // The sales query compares the account as quoted text and sorts by date.
    DataSource sales("DataSales", nullptr);
    sales.setDatabaseName("User.mdb");
    sales.setRecordSource("SELECT * FROM SALES WHERE ((([SALES].[Account No]) =  '1001' )) "
                          "ORDER BY [SALES].[Invoice Date] DESC");
    QVERIFY2(sales.refresh(), qPrintable(sales.lastError()));
    QCOMPARE(sales.fieldNames(),
             (QStringList{"Account No", "Invoice Date", "Amount", "Product", "Ref"}));
    QCOMPARE(sales.columnTexts(sales.fieldIndex("Invoice Date")),
             (QStringList{"3/1/2026", "1/15/2026"}));
    QCOMPARE(sales.columnTexts(sales.fieldIndex("Amount")), (QStringList{"99", "120.5"}));
}

void TestWorkbookImport::windowsSeparatorInTheFixedText() {
    Database db;
    QVERIFY(db.open(m_folder->file("TESSALY.mdb")));
    QString error;
    QVERIFY2(db.execute("SELECT * INTO Temp FROM [COMPETITION$] IN '' 'Excel 8.0;database=" +
                            SqlQuote::text(m_folder->path()) + "\\Competition.xls';",
                        &error),
             qPrintable(error));
    QCOMPARE(db.recordsAffected(), 5);
}

void TestWorkbookImport::pathWithAnApostrophe() {
    QDir(m_folder->path()).mkdir("O'Brien's files");
    const QString path = m_folder->file("O'Brien's files/Sales.xls");
    QVERIFY(QFile::copy(m_folder->file("Sales.xls"), path));
    const QString error = makeTable("User.mdb", "SALES", "Sales 2026", path);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(m_folder->scalar("User.mdb", "SELECT COUNT(*) FROM SALES").toInt(), 3);
}

void TestWorkbookImport::failures_data() {
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("no such file") << "COMPETITION"
                                  << "Nothing.xls"
                                  << "does not exist";
    QTest::newRow("no such sheet") << "PRICES"
                                   << "Competition.xls"
                                   << "no worksheet named 'PRICES'";
    QTest::newRow("not a workbook") << "COMPETITION"
                                    << "User.mdb"
                                    << "is not a workbook";
    QTest::newRow("table exists") << "COMPETITION"
                                  << "Competition.xls"
                                  << "Table 'TABLE11' already exists";
}

void TestWorkbookImport::failures() {
    QFETCH(QString, sheet);
    QFETCH(QString, file);
    QFETCH(QString, message);
    const QString table = message.contains("already exists") ? "TABLE11" : "Temp";
    const QString error = makeTable("TESSALY.mdb", table, sheet, m_folder->file(file));
    QVERIFY2(error.contains(message), qPrintable(error));
    QCOMPARE(m_folder
                 ->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM sqlite_master WHERE name = "
                                         "'Temp'")
                 .toInt(),
             0);
}

void TestWorkbookImport::xlsxCellsAndFormats() {
    writePricesXlsx(m_folder->file("Prices.xlsx"));
    QString error;
    auto reader = WorkbookReader::open(m_folder->file("Prices.xlsx"), &error);
    QVERIFY2(reader, qPrintable(error));
    QCOMPARE(reader->sheetNames(), (QStringList{"Read me", "PRICES"}));
    const auto sheet = reader->sheet("prices", &error);
    QVERIFY2(sheet, qPrintable(error));
    QCOMPARE(sheet->rowCount(), 4);
    QCOMPARE(sheet->columnCount(), 5);
    QCOMPARE(sheet->cell(1, 2), QVariant(12.5));
    QCOMPARE(sheet->cell(2, 2), QVariant(3.0)); // a formula's value
    QCOMPARE(sheet->cell(1, 4), QVariant(QDate(2026, 12, 10)));
    QVERIFY(sheet->cell(2, 3).isNull());
    QCOMPARE(sheet->cell(1, 3).toString(), QString("Per piece; \"best\" <seller> & more"));
}

void TestWorkbookImport::damagedWorkbooksAreReadSafely_data() {
    QTest::addColumn<QString>("file");
    // Found by fuzzing the readers: a column reference too long for a sheet,
    // an archive that declares a part of gigabytes, a row two billion down,
    // and one that makes FreeXL read outside its own buffers.
    QTest::newRow("column overflow") << "xlsx-column-overflow.xlsx";
    QTest::newRow("declared part size") << "xlsx-declared-entry-size.xlsx";
    QTest::newRow("row two billion") << "xlsx-row-2000000000.xlsx";
    QTest::newRow("xls FreeXL over-read") << "freexl-iconv-overread.xls";
}

void TestWorkbookImport::damagedWorkbooksAreReadSafely() {
    QFETCH(QString, file);
    QString error;
    auto reader = WorkbookReader::open(QString(TESSALY_FIXTURES) + "/damaged/" + file, &error);
    if (!reader)
        return; // refused with a reason: fine
    for (const QString& name : reader->sheetNames()) {
        const auto sheet = reader->sheet(name, &error);
        if (sheet) {
            QVERIFY(sheet->rowCount() <= 1048576);
            QVERIFY(sheet->columnCount() <= 16384);
        }
    }
}

void TestWorkbookImport::serialDates_data() {
    QTest::addColumn<double>("serial");
    QTest::addColumn<bool>("date1904");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("first day") << 1.0 << false << QVariant(QDate(1900, 1, 1));
    QTest::newRow("before the false leap day") << 59.0 << false << QVariant(QDate(1900, 2, 28));
    QTest::newRow("after the false leap day") << 61.0 << false << QVariant(QDate(1900, 3, 1));
    QTest::newRow("modern") << 46366.0 << false << QVariant(QDate(2026, 12, 10));
    QTest::newRow("noon") << 46366.5 << false
                          << QVariant(QDateTime(QDate(2026, 12, 10), QTime(12, 0)));
    QTest::newRow("1904 system") << 0.0 << true << QVariant(QDate(1904, 1, 1));
}

void TestWorkbookImport::serialDates() {
    QFETCH(double, serial);
    QFETCH(bool, date1904);
    QFETCH(QVariant, expected);
    QCOMPARE(XlsxReader::serialToDate(serial, date1904), expected);
}

void TestWorkbookImport::dateFormats_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("isDate");
    QTest::newRow("built-in date") << 14 << "" << true;
    QTest::newRow("built-in number") << 2 << "" << false;
    QTest::newRow("custom date") << 164 << "dd/mm/yyyy" << true;
    QTest::newRow("general") << 164 << "General" << false;
    QTest::newRow("currency with text") << 164 << "#,##0.00 \"USD days\"" << false;
    QTest::newRow("colour") << 164 << "[Red]0.00" << false;
    QTest::newRow("elapsed hours") << 164 << "[h]:mm" << true;
    QTest::newRow("escaped letter") << 164 << "0\\d" << false;
}

void TestWorkbookImport::dateFormats() {
    QFETCH(int, id);
    QFETCH(QString, code);
    QFETCH(bool, isDate);
    QCOMPARE(XlsxReader::isDateFormat(id, code), isDate);
}

QTEST_MAIN(TestWorkbookImport)
#include "tst_workbookimport.moc"
