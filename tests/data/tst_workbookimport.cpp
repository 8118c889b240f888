#include "BiffWriter.h"
#include "TestSession.h"

#include "data/DataSource.h"
#include "data/Database.h"
#include "data/SqlQuote.h"
#include "formats/BiffReader.h"
#include "formats/WorkbookReader.h"
#include "formats/XlsReader.h"
#include "formats/XlsxReader.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QtEndian>
#include <cerrno>
#include <csignal>
#include <new>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xlsxwriter.h>
#include <zip.h>

namespace {

const QByteArray SheetHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet "
                             "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";

// A workbook of one sheet named "Data", with the given parts besides.
void writeXlsx(const QString& path, const QList<std::pair<QByteArray, QByteArray>>& parts) {
    QList<std::pair<QByteArray, QByteArray>> all = {
        {"[Content_Types].xml",
         "<?xml version=\"1.0\"?><Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
        {"xl/workbook.xml",
         "<?xml version=\"1.0\"?><workbook "
         "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<sheets><sheet name=\"Data\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<?xml version=\"1.0\"?><Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
         "Id=\"rId1\" Type=\"worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>"}};
    all += parts;
    int code = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    QVERIFY(archive);
    for (const auto& [name, data] : all) {
        zip_source_t* source =
            zip_source_buffer(archive, data.constData(), zip_uint64_t(data.size()), 0);
        QVERIFY(zip_file_add(archive, name.constData(), source, ZIP_FL_ENC_UTF_8) >= 0);
    }
    QCOMPARE(zip_close(archive), 0);
}

qint64 virtualMemory() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmSize:"))
            return line.mid(7).trimmed().split(' ').first().toLongLong() * 1024;
    return 0;
}

// Reads every sheet of a workbook in a child process whose memory may grow
// by at most the given number of megabytes; gives the first error, or why
// the child failed.
QString readWithin(const QString& path, int megabytes) {
    int output[2];
    if (::pipe(output) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        // Out of memory the child just ends: the test library's crash report
        // would need memory too.
        for (int signal : {SIGABRT, SIGSEGV, SIGBUS})
            std::signal(signal, SIG_DFL);
        ::close(output[0]);
        const rlim_t limit = rlim_t(virtualMemory() + qint64(megabytes) * 1024 * 1024);
        const rlimit bound{limit, limit};
        ::setrlimit(RLIMIT_AS, &bound);
        QString error;
        try {
            if (auto reader = WorkbookReader::open(path, &error))
                for (const QString& name : reader->sheetNames())
                    if (!reader->sheet(name, &error))
                        break;
        } catch (const std::bad_alloc&) {
            ::_exit(4);
        }
        const QByteArray text = error.toUtf8();
        if (::write(output[1], text.constData(), size_t(text.size())) != text.size())
            ::_exit(3);
        ::_exit(0);
    }
    ::close(output[1]);
    QByteArray text;
    char chunk[4096];
    for (ssize_t n; (n = ::read(output[0], chunk, sizeof(chunk))) != 0;)
        if (n > 0)
            text.append(chunk, n);
        else if (errno != EINTR)
            break;
    ::close(output[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QString("the reading needed more than %1 MB (it ended with status %2)")
            .arg(megabytes)
            .arg(status);
    return QString::fromUtf8(text);
}

} // namespace

// The make-table form that reads a worksheet into a new table, and the
// workbook readers under it.
class TestWorkbookImport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_session.reset(); }

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
    void oversizedWorkbooksAreRefused_data();
    void oversizedWorkbooksAreRefused();
    void xlsReadingHasATimeLimit();
    void serialDates_data();
    void serialDates();
    void dateFormats_data();
    void dateFormats();
    void xlsOfBothVersionsReadIntact_data();
    void xlsOfBothVersionsReadIntact();
    void biff5WorkbookImportsThroughTheFallback();
    void damagedBiffStreamsAreRefused_data();
    void damagedBiffStreamsAreRefused();

private:
    QString makeTable(const QString& database, const QString& table, const QString& sheet,
                      const QString& path);
    void writePricesXlsx(const QString& path);
    std::unique_ptr<TestSession> m_session;
};

void TestWorkbookImport::init() {
    m_session = std::make_unique<TestSession>();
    for (const QString name : {"Competition.xls", "Sales.xls"})
        QVERIFY(QFile::copy(QString(TESSALY_FIXTURES) + "/" + name, m_session->file(name)));
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
        makeTable("TESSALY.mdb", "Temp", "COMPETITION", m_session->file("Competition.xls"));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT name FROM pragma_table_info('Temp')"),
             (QStringList{"ROWKEY", "COMPETITOR'S PRODUCT", "COMPETITOR'S NAME", "EQUIVALENT"}));
    // The empty row is left out; duplicates stay (the insert removes them).
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM Temp").toInt(), 4);

    Database db;
    QVERIFY(db.open("TESSALY.mdb"));
    QString message;
    QVERIFY2(db.execute("INSERT INTO TABLE11 (TEXT01, TEXT02, TEXT03) SELECT DISTINCT "
                        "Temp.[COMPETITOR'S PRODUCT] AS TEXT01, Temp.[COMPETITOR'S NAME] AS "
                        "TEXT02, Temp.[EQUIVALENT] AS TEXT03 From Temp",
                        &message),
             qPrintable(message));
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT02, TEXT03 FROM TABLE11 ORDER BY "
                                            "TEXT01"),
             (QList<QVariantList>{{"Glue X", "Rival Inc", "Our Glue"},
                                  {"Säge 5", "O'Hara & Söhne", QVariant()},
                                  {"Tape Y", "Other Co", "Our Tape"}}));
    QVERIFY(db.execute("DROP TABLE Temp;"));
    // Once dropped, the next import can make it again.
    QCOMPARE(makeTable("TESSALY.mdb", "Temp", "competition", m_session->file("Competition.xls")),
             QString());
}

void TestWorkbookImport::pricesFromXlsxNamedAsXls() {
    writePricesXlsx(m_session->file("Prices.xlsx"));
    // The window names the older file; only the .xlsx exists.
    const QString error = makeTable("TESSALY.mdb", "Temp", "PRICES", m_session->file("Prices.xls"));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT PRODUCT, CURRENCY, PRICE, NOTES, CHECKED "
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
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT02 FROM TABLE13 ORDER BY TEXT01"),
             (QList<QVariantList>{{"Bolt", "3"}, {"Widget", "12.5"}}));
}

void TestWorkbookImport::salesSheetWithTypesAndBlanks() {
    const QString error =
        makeTable("User.mdb", "SALES", "Sales 2026", m_session->file("Sales.xls"));
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(m_session->rows("User.mdb", "SELECT \"Account No\", \"Invoice Date\", Amount, "
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
    QVERIFY(db.open(m_session->file("TESSALY.mdb")));
    QString error;
    QVERIFY2(db.execute("SELECT * INTO Temp FROM [COMPETITION$] IN '' 'Excel 8.0;database=" +
                            SqlQuote::text(m_session->path()) + "\\Competition.xls';",
                        &error),
             qPrintable(error));
    QCOMPARE(db.recordsAffected(), 5);
}

void TestWorkbookImport::pathWithAnApostrophe() {
    QDir(m_session->path()).mkdir("O'Brien's files");
    const QString path = m_session->file("O'Brien's files/Sales.xls");
    QVERIFY(QFile::copy(m_session->file("Sales.xls"), path));
    const QString error = makeTable("User.mdb", "SALES", "Sales 2026", path);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(m_session->scalar("User.mdb", "SELECT COUNT(*) FROM SALES").toInt(), 3);
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
    const QString error = makeTable("TESSALY.mdb", table, sheet, m_session->file(file));
    QVERIFY2(error.contains(message), qPrintable(error));
    QCOMPARE(m_session
                 ->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM sqlite_master WHERE name = "
                                         "'Temp'")
                 .toInt(),
             0);
}

void TestWorkbookImport::xlsxCellsAndFormats() {
    writePricesXlsx(m_session->file("Prices.xlsx"));
    QString error;
    auto reader = WorkbookReader::open(m_session->file("Prices.xlsx"), &error);
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

void TestWorkbookImport::oversizedWorkbooksAreRefused_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("why");
    QTest::addColumn<int>("megabytes"); // what reading may take, far below the crafted cost
    QTest::newRow("sheet of packed filler")
        << "filler sheet"
        << "its part xl/worksheets/sheet1.xml unpacks to more than 100 times its packed size"
        << 192;
    QTest::newRow("shared texts of packed filler")
        << "filler texts"
        << "its part xl/sharedStrings.xml unpacks to more than 100 times its packed size" << 192;
    QTest::newRow("one cell far out")
        << "far cell"
        << "the worksheet 'Data' spans more than 2,000,000 cells" << 192;
    QTest::newRow("column runs over and over")
        << "column runs"
        << "the worksheet 'Data' lists more than 2,000,000 cells" << 192;
    QTest::newRow("styles beyond any real workbook")
        << "styles"
        << "it holds more than 65,536 cell styles" << 192;
    // FreeXL itself makes room for the declared sheet in the reading child.
    QTest::newRow("xls declaring a huge sheet")
        << "xls"
        << "the worksheet 'COMPETITION' spans more than 2,000,000 cells" << 400;
}

void TestWorkbookImport::oversizedWorkbooksAreRefused() {
    QFETCH(QString, kind);
    QFETCH(QString, why);
    QFETCH(int, megabytes);
    QString path = m_session->file("Crafted.xlsx");
    if (kind == "filler sheet") {
        writeXlsx(path, {{"xl/worksheets/sheet1.xml", SheetHead + "<sheetData>" +
                                                          QByteArray(64 * 1024 * 1024, ' ') +
                                                          "</sheetData></worksheet>"}});
    } else if (kind == "filler texts") {
        QByteArray texts = "<?xml version=\"1.0\"?><sst>";
        texts += QByteArray("<si><t>x</t></si>").repeated(4 * 1024 * 1024);
        writeXlsx(path, {{"xl/sharedStrings.xml", texts + "</sst>"},
                         {"xl/worksheets/sheet1.xml",
                          SheetHead + "<sheetData><row r=\"1\"><c r=\"A1\" "
                                      "t=\"s\"><v>0</v></c></row></sheetData></worksheet>"}});
    } else if (kind == "far cell") {
        // 20,000 rows of 703 columns: 14 million cells from a file of a kilobyte.
        writeXlsx(path, {{"xl/worksheets/sheet1.xml",
                          SheetHead + "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
                                      "<row r=\"20000\"><c r=\"AAA20000\"><v>2</v></c></row>"
                                      "</sheetData></worksheet>"}});
    } else if (kind == "column runs") {
        QByteArray columns;
        for (int i = 1; i <= 200; ++i)
            columns += QStringLiteral("<col min=\"%1\" max=\"16384\" width=\"%2\" "
                                      "customWidth=\"1\"/>")
                           .arg(i)
                           .arg(i % 37 + 1)
                           .toLatin1();
        writeXlsx(path, {{"xl/worksheets/sheet1.xml",
                          SheetHead + "<cols>" + columns + "</cols><sheetData/></worksheet>"}});
    } else if (kind == "styles") {
        QByteArray formats;
        for (int i = 0; i < 70000; ++i)
            formats += QStringLiteral("<xf numFmtId=\"%1\" fontId=\"%2\"/>")
                           .arg(qint64(i) * 7919 % 9973)
                           .arg(qint64(i) * 104729 % 997)
                           .toLatin1();
        writeXlsx(path, {{"xl/styles.xml", "<?xml version=\"1.0\"?><styleSheet><cellXfs>" +
                                               formats + "</cellXfs></styleSheet>"},
                         {"xl/worksheets/sheet1.xml", SheetHead + "<sheetData/></worksheet>"}});
    } else {
        // The sheet's dimensions record claims all 65,536 rows and 256 columns.
        path = m_session->file("Crafted.xls");
        QFile file(m_session->file("Competition.xls"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray data = file.readAll();
        const qsizetype dimensions = data.indexOf(QByteArray::fromHex("00020e00"));
        QVERIFY(dimensions > 0);
        qToLittleEndian<quint32>(65536, data.data() + dimensions + 8);
        qToLittleEndian<quint16>(256, data.data() + dimensions + 14);
        QFile crafted(path);
        QVERIFY(crafted.open(QIODevice::WriteOnly));
        crafted.write(data);
    }
    // Refused, and within a bound far below what the crafted file would cost.
    QCOMPARE(readWithin(path, megabytes),
             QString("The workbook %1 cannot be read: it is too large (%2).")
                 .arg(QDir::toNativeSeparators(path), why));
    // The import says the same and makes no table.
    QVERIFY(makeTable("TESSALY.mdb", "Temp", kind == "xls" ? "COMPETITION" : "Data", path)
                .contains("it is too large"));
    QCOMPARE(m_session
                 ->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM sqlite_master WHERE name = "
                                         "'Temp'")
                 .toInt(),
             0);
}

void TestWorkbookImport::xlsReadingHasATimeLimit() {
    // A named pipe that nobody writes: opening it for reading waits for ever,
    // as a file on a server that stopped answering would.
    const QString path = m_session->file("Waits.xls");
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    XlsReader::setTimeLimit(300);
    QString error;
    const auto reader = XlsReader::open(path, &error);
    QVERIFY(!reader);
    QCOMPARE(error,
             QString("The workbook %1 cannot be read: it is too large or damaged: reading it "
                     "took longer than 0.3 seconds.")
                 .arg(QDir::toNativeSeparators(path)));
    // The child was ended and reaped: no process is left behind.
    int status = 0;
    QCOMPARE(::waitpid(-1, &status, WNOHANG), -1);
    QCOMPARE(errno, ECHILD);
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

namespace {

const QString Euro = QString(QChar(0x20AC));

QList<QList<QVariant>> mixedRows() {
    return {
        {"Account No.", "Customer's name", "Amount", "Date", "Booked", "Paid"},
        {"1001", QString("Müller & Söhne"), 1234.56, QDate(2026, 3, 1),
         QDateTime(QDate(2026, 3, 1), QTime(9, 30)), true},
        {"1001", QString("Grüße ") + Euro, 7.0, QDate(1999, 12, 31), QVariant(), false},
        {QVariant(), QVariant(), -0.25, QDate(2026, 12, 10), QVariant(), QVariant()},
        {"1002", "Plain", 1e9 + 0.5, QVariant(), QVariant(), QVariant()},
    };
}

} // namespace

void TestWorkbookImport::xlsOfBothVersionsReadIntact_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("longDimensions");
    QTest::addColumn<QString>("stream");
    QTest::addColumn<bool>("freexlListsSheets");
    const int biff8 = int(BiffWriter::Version::Biff8), biff5 = int(BiffWriter::Version::Biff5);
    QTest::newRow("BIFF8") << biff8 << false << QString() << true;
    QTest::newRow("BIFF5") << biff5 << false << QString() << true;
    QTest::newRow("BIFF5, long dimensions: FreeXL lists no sheet")
        << biff5 << true << QString() << false;
    QTest::newRow("BIFF8 named WORKBOOK: FreeXL refuses it")
        << biff8 << false << "WORKBOOK" << false;
}

void TestWorkbookImport::xlsOfBothVersionsReadIntact() {
    QFETCH(int, version);
    QFETCH(bool, longDimensions);
    QFETCH(QString, stream);
    QFETCH(bool, freexlListsSheets);
    const QString path = m_session->file("Mixed.xls");
    const QList<QList<QVariant>> rows = mixedRows();
    QVERIFY(BiffWriter::write(path, {{"Notes", {{"not read"}}}, {"Sales 2026", rows}},
                              {BiffWriter::Version(version), longDimensions, stream}));
    QString error;
    // What FreeXL makes of the file on its own.
    auto freexl = XlsReader::open(path, &error);
    QCOMPARE(freexl && !freexl->sheetNames().isEmpty(), freexlListsSheets);

    auto reader = WorkbookReader::open(path, &error);
    QVERIFY2(reader, qPrintable(error));
    QCOMPARE(reader->sheetNames(), (QStringList{"Notes", "Sales 2026"}));
    const auto sheet = reader->sheet("sales 2026", &error);
    QVERIFY2(sheet, qPrintable(error));
    QCOMPARE(sheet->rowCount(), rows.size());
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows.at(r).size(); ++c)
            QVERIFY2(
                sheet->cell(r, c) == rows.at(r).at(c),
                qPrintable(QString("row %1 column %2: %3 instead of %4")
                               .arg(r)
                               .arg(c)
                               .arg(sheet->cell(r, c).toString(), rows.at(r).at(c).toString())));
}

void TestWorkbookImport::biff5WorkbookImportsThroughTheFallback() {
    const QString path = m_session->file("Products.xls");
    QVERIFY(BiffWriter::write(path,
                              {{"COMPETITION",
                                {{"COMPETITOR'S PRODUCT", "COMPETITOR'S NAME", "EQUIVALENT"},
                                 {QString("Säge 5"), "O'Hara", QString("Kleber ") + Euro}}}},
                              {BiffWriter::Version::Biff5, true, {}}));
    QCOMPARE(makeTable("TESSALY.mdb", "Temp", "COMPETITION", path), QString());
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT * FROM Temp"),
             (QList<QVariantList>{{1, QString("Säge 5"), "O'Hara", QString("Kleber ") + Euro}}));
}

void TestWorkbookImport::damagedBiffStreamsAreRefused_data() {
    QTest::addColumn<QByteArray>("stream");
    const QByteArray bof = QByteArray::fromHex("090808000005050000000000");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("no header") << QByteArray::fromHex("0a000000");
    QTest::newRow("header cut short") << bof.left(6);
    // A sheet list whose entry points past the stream, and a text longer
    // than its record.
    QTest::newRow("sheet far out") << bof + QByteArray::fromHex("85000a00ffffff7f0000035a5a5a");
    QTest::newRow("text past its record")
        << bof + QByteArray::fromHex("85000a000c0000000000ff5a5a5a0a000000") +
               QByteArray::fromHex("090808000005100000000000") +
               QByteArray::fromHex("04020900000000000000ff7f41") + QByteArray::fromHex("0a000000");
}

void TestWorkbookImport::damagedBiffStreamsAreRefused() {
    QFETCH(QByteArray, stream);
    QString error;
    auto reader = BiffReader::fromStream(stream, "Damaged.xls", &error, true);
    if (!reader) {
        QVERIFY(error.contains("Damaged.xls"));
        return;
    }
    for (const QString& name : reader->sheetNames()) {
        const auto sheet = reader->sheet(name, &error);
        QVERIFY(sheet);
        QVERIFY(qint64(sheet->rowCount()) * sheet->columnCount() <= WorkbookReader::MaxCells);
    }
}

QTEST_GUILESS_MAIN(TestWorkbookImport)
#include "tst_workbookimport.moc"
