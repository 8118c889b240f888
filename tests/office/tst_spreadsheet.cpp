#include "TestMain.h"
#include "TestSession.h"

#include "formats/Csv.h"
#include "formats/Sheet.h"
#include "formats/Workbook.h"
#include "formats/WorkbookReader.h"
#include "office/SpreadsheetApp.h"
#include "services/Clipboard.h"
#include "services/Desktop.h"
#include "services/PrintWindow.h"

#include <QDir>
#include <QFile>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QTest>
#include <xlsxwriter.h>

// The spreadsheet program as the windows drive it, step by step as they
// did: the workbooks written are read back through the workbook reader
// (or as text), the files handed over through Desktop's recorder.
class TestSpreadsheet : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void companiesReport_data();
    void companiesReport();
    void projectSummary();
    void csvRoundTrip();
    void telephoneListGetsTheNewestCallFirst_data();
    void telephoneListGetsTheNewestCallFirst();
    void competitorProductsAreCleared_data();
    void competitorProductsAreCleared();

    void formatsSurviveARoundTrip_data();
    void formatsSurviveARoundTrip();
    void wholeSheetFormatReachesEveryCell();
    void subtotalFormulasAreReadBack();
    void visibleHandsTheSavedFileOver();
    void xlsNameIsWrittenAsXlsx();
    void printsTheVisibleCells();

private:
    std::optional<Worksheet> readBack(const QString& path, const QString& sheet = {});
    std::unique_ptr<TestSession> m_session;
};

namespace {

const QString CompanyTitles = QStringLiteral(
    "COMPANY\tPOSTAL ADDRESS\tPOSTAL CITY\tPOSTAL CODE\tSTREET ADDRESS\tSTREET ADDRESS "
    "2\tCITY\tREGION\tTELEPHONE\tTELEFAX\tWEBSITE\tDIVISION\tBRANCH\tCATEGORY\tTYPE OF "
    "CONTACT\tDATE LAST VISITED\tVISIT FREQUENCY\tSALES MANAGER\tSALES PERSON");

const QString CompanyRows = QStringLiteral(
    "Acme Ltd\tPO Box 12\tSpringfield\t12345\tMain Street 1\t\tSpringfield\tNorth\t0123 "
    "456\t0123 457\twww.acme.test\tTools\tRetail\tA\tCustomer\t11/1/2026\t4\tAnn Smith\tBob "
    "Jones\r"
    "Bolt & Nut, Inc.\t\tShelbyville\t01234\tHarbour Road 5\tUnit 3\tShelbyville\tSouth\t555 "
    "1234\t\t\tFasteners\tWholesale\tB\tProspect\t2/15/2026\t12\tAnn Smith\tCid Brown\r"
    "Ça Va SARL\tBP 7\tLyon\t69001\tRue X 3\t\tLyon\tEast\t+33 4 1234\t\t\t\t\tC\tCustomer\t\t1."
    "5\t\tDee Lee\r");

void writeTelephoneList(const QString& path) {
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Telephone");
    lxw_format* stamp = workbook_add_format(book);
    format_set_num_format(stamp, "m/d/yyyy h:mm");
    lxw_datetime calls[] = {{2026, 3, 1, 9, 0, 0}, {2026, 2, 1, 10, 30, 0}};
    const char* names[] = {"Ann", "Bob"};
    const char* numbers[] = {"0123 456", "0777 1"};
    for (int r = 0; r < 2; ++r) {
        worksheet_write_datetime(sheet, lxw_row_t(r), 0, &calls[r], stamp);
        worksheet_write_string(sheet, lxw_row_t(r), 1, names[r], nullptr);
        worksheet_write_string(sheet, lxw_row_t(r), 2, numbers[r], nullptr);
        worksheet_write_string(sheet, lxw_row_t(r), 3, "Called back", nullptr);
    }
    QCOMPARE(workbook_close(book), LXW_NO_ERROR);
}

void writeCompetitionList(const QString& path) {
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "COMPETITION");
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    const char* titles[] = {"COMPETITOR'S PRODUCT", "COMPETITOR'S NAME", "EQUIVALENT"};
    for (int c = 0; c < 3; ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), titles[c], bold);
    worksheet_set_column(sheet, 0, 0, 30, nullptr);
    for (int r = 1; r <= 3; ++r)
        for (int c = 0; c < 3; ++c)
            worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), "data", nullptr);
    workbook_add_worksheet(book, "Notes");
    QCOMPARE(workbook_close(book), LXW_NO_ERROR);
}

// Every text and formula of a sheet, for looking for what must not be there.
QStringList allTexts(const Worksheet& sheet) {
    QStringList texts;
    for (const QList<QVariant>& row : sheet.rows)
        for (const QVariant& value : row)
            texts.append(value.toString());
    texts.append(sheet.formulas.values());
    return texts;
}

} // namespace

void TestSpreadsheet::init() {
    m_session = std::make_unique<TestSession>();
    QDir(m_session->path()).mkpath(QStringLiteral("Temp"));
}

void TestSpreadsheet::cleanup() {
    m_session.reset();
}

std::optional<Worksheet> TestSpreadsheet::readBack(const QString& path, const QString& name) {
    QString error;
    auto reader = WorkbookReader::open(path, &error);
    if (!reader) {
        qWarning("%s", qPrintable(error));
        return std::nullopt;
    }
    auto sheet = reader->sheet(name.isEmpty() ? reader->sheetNames().value(0) : name, &error);
    if (!sheet)
        qWarning("%s", qPrintable(error));
    return sheet;
}

void TestSpreadsheet::companiesReport_data() {
    QTest::addColumn<bool>("hideAddresses");
    QTest::addColumn<QSet<int>>("hidden");
    QTest::newRow("all columns") << false << QSet<int>{};
    QTest::newRow("postal city and street address hidden") << true << QSet<int>{2, 4, 5};
}

void TestSpreadsheet::companiesReport() {
    QFETCH(bool, hideAddresses);
    QFETCH(QSet<int>, hidden);

    SpreadsheetApp excel;
    excel.addWorkbook();
    excel.setCaption(QStringLiteral("Companies"));
    Clipboard::setText(CompanyTitles + u'\r' + CompanyRows);
    QVERIFY(excel.paste());
    excel.selection().setFontName(QStringLiteral("Arial Narrow"));
    excel.selection().setFontSize(8);
    excel.selection().setBold(false);
    excel.columns(QStringLiteral("P:P")).select();
    excel.selection().setNumberFormat(QStringLiteral("mm/dd/yyyy"));
    excel.selection().setHorizontalAlignment(HorizontalAlignment::Left);
    excel.range(QStringLiteral("A2")).select();
    excel.setFreezePanes(true);
    excel.rows(QStringLiteral("1:2")).select();
    QVERIFY(excel.selection().insert(InsertShift::Down));
    excel.rows(QStringLiteral("3:3")).select();
    excel.selection().setBold(true);
    excel.rows(QStringLiteral("3:3")).select();
    QVERIFY(excel.selection().autoFilter());
    excel.range(QStringLiteral("A1")).select();
    excel.cells().select();
    excel.selection().autoFitColumns();
    excel.rows(QStringLiteral("1:2")).select();
    QVERIFY(excel.selection().remove(DeleteShift::Up));
    excel.range(QStringLiteral("A1")).select();
    if (hideAddresses) {
        QVERIFY(excel.findAndActivate(QStringLiteral("Postal City")));
        excel.selection().entireColumn().setHidden(true);
        QVERIFY(excel.findAndActivate(QStringLiteral("Street Address")));
        excel.selection().entireColumn().setHidden(true);
        excel.range(QStringLiteral("F1")).select();
        excel.selection().entireColumn().setHidden(true);
    }
    const QString path = m_session->file(QStringLiteral("Temp/Tessaly Report 123456.xlsx"));
    QString error;
    QVERIFY2(excel.activeWorkbook()->saveAs(path, FileFormat::Xlsx, &error), qPrintable(error));
    QVERIFY(Desktop::opened().isEmpty());
    excel.setVisible(true);
    QCOMPARE(Desktop::opened(), QList<QUrl>{QUrl::fromLocalFile(path)});

    const auto sheet = readBack(path);
    QVERIFY(sheet);
    QCOMPARE(sheet->name, QString("Sheet1"));
    QCOMPARE(sheet->rowCount(), 4);
    QCOMPARE(sheet->columnCount(), 19);
    QStringList titles;
    for (int c = 0; c < 19; ++c)
        titles.append(sheet->cell(0, c).toString());
    QCOMPARE(titles, CompanyTitles.split(u'\t'));
    QCOMPARE(sheet->cell(1, 0), QVariant("Acme Ltd"));
    QCOMPARE(sheet->cell(2, 0), QVariant("Bolt & Nut, Inc."));
    QCOMPARE(sheet->cell(3, 0), QVariant("Ça Va SARL"));
    QCOMPARE(sheet->cell(1, 3), QVariant(12345.0));
    QCOMPARE(sheet->cell(2, 3), QVariant("01234"));
    QCOMPARE(sheet->cell(1, 8), QVariant("0123 456"));
    QCOMPARE(sheet->cell(1, 15), QVariant(QDate(2026, 11, 1)));
    QCOMPARE(sheet->cell(2, 15), QVariant(QDate(2026, 2, 15)));
    QCOMPARE(sheet->cell(3, 15), QVariant());
    QCOMPARE(sheet->cell(3, 16), QVariant(1.5));
    QCOMPARE(sheet->cell(1, 5), QVariant());

    for (int c = 0; c < 19; ++c) {
        for (int r = 0; r < 4; ++r) {
            const CellFormat format = sheet->format(r, c);
            QVERIFY2(format.fontName == QLatin1String("Arial Narrow") && format.fontSize == 8 &&
                         format.bold == (r == 0),
                     qPrintable(CellRange::cellAddress(r, c) + u' ' + format.key()));
        }
        QVERIFY2(sheet->columnWidths.value(c) > 1, qPrintable(CellRange::columnName(c)));
    }
    // A company name is wider than a one-letter category.
    QVERIFY(sheet->columnWidths.value(0) > sheet->columnWidths.value(13));
    for (int r : {0, 1, 3, 20}) {
        QCOMPARE(sheet->format(r, 15).numberFormat, QString("mm/dd/yyyy"));
        QCOMPARE(sheet->format(r, 15).horizontal, HorizontalAlignment::Left);
    }
    QCOMPARE(sheet->format(1, 14).numberFormat, QString("General"));
    QCOMPARE(sheet->autoFilter, QString("A1:S4"));
    QCOMPARE(sheet->frozenRows, 1);
    QCOMPARE(sheet->frozenColumns, 0);
    QCOMPARE(sheet->hiddenColumns, hidden);
}

void TestSpreadsheet::projectSummary() {
    SpreadsheetApp excel;
    excel.addWorkbook();
    Clipboard::setText(QStringLiteral(
        "COMPANY\tCONTACT\tPROJECT\tDATE\tACTION STEP\tDONE\r"
        "Acme\tAnn\tNew plant\t1/5/2026\tCall the buyer about the new plant and the tender, "
        "then send the brochure and the price list\tYes\r"
        "Acme\tBob\tNew plant\t1/6/2026\tVisit\tNo\r"
        "Acme\tAnn\tRoof\t2/1/2026\tOffer for the roof repair with three options\tNo\r"));
    QVERIFY(excel.paste());
    excel.selection().setFontName(QStringLiteral("Arial Narrow"));
    excel.selection().setFontSize(8);
    excel.columns(QStringLiteral("E:E")).select();
    excel.selection().setWrapText(true);
    excel.selection().setColumnWidth(20);
    excel.selection().autoFitRows();
    excel.cells().select();
    QVERIFY(excel.selection().subtotal(3, ConsolidationFunction::Count, {3}, true, true));
    excel.selection().replace(QStringLiteral("grand count"), QString(), LookAt::Part);
    excel.selection().replace(QStringLiteral("*subtotal*"), QString(), LookAt::Part);
    const QString line = QStringLiteral("____________________");
    excel.selection().replace(QStringLiteral("*count*"), line, LookAt::Part);
    excel.rows(QStringLiteral("1:1")).select();
    excel.selection().setBold(true);
    excel.range(QStringLiteral("A2")).select();
    QVERIFY(excel.selection().entireRow().insert(InsertShift::Down));
    excel.rows(QStringLiteral("1:3")).select();
    QVERIFY(excel.selection().insert(InsertShift::Down));
    excel.range(QStringLiteral("A1")).select();
    excel.selection().setValue(QStringLiteral("Poject Report for Acme"));
    excel.selection().setBold(true);
    excel.range(QStringLiteral("B5")).select();
    excel.selection().setValue(line);
    const QString path = m_session->file(QStringLiteral("Temp/Tessaly Report 654321.xlsx"));
    QString error;
    QVERIFY2(excel.activeWorkbook()->saveAs(path, FileFormat::Xlsx, &error), qPrintable(error));

    const auto sheet = readBack(path);
    QVERIFY(sheet);
    QCOMPARE(sheet->cell(0, 0), QVariant("Poject Report for Acme"));
    QVERIFY(sheet->format(0, 0).bold);
    QStringList titles;
    for (int c = 0; c < 6; ++c)
        titles.append(sheet->cell(3, c).toString());
    QCOMPARE(titles, (QStringList{"COMPANY", "CONTACT", "PROJECT", "DATE", "ACTION STEP", "DONE"}));
    QVERIFY(sheet->format(3, 0).bold);
    QCOMPARE(sheet->cell(4, 1), QVariant(line));
    QStringList projects;
    for (int r = 5; r < sheet->rowCount(); ++r)
        projects.append(sheet->cell(r, 2).toString());
    QCOMPARE(projects, (QStringList{"New plant", "New plant", line, "Roof", line}));
    QCOMPARE(sheet->cell(5, 3), QVariant(QDate(2026, 1, 5)));
    for (const QString& text : allTexts(*sheet)) {
        QVERIFY2(!text.contains(QLatin1String("count"), Qt::CaseInsensitive), qPrintable(text));
        QVERIFY2(!text.contains(QLatin1String("subtotal"), Qt::CaseInsensitive), qPrintable(text));
    }
    QVERIFY(sheet->format(5, 4).wrapText);
    QCOMPARE(sheet->columnWidths.value(4), 20.0);
    // The long action step wraps to more lines than the short one.
    QVERIFY(sheet->rowHeights.value(5) > sheet->rowHeights.value(6));
}

void TestSpreadsheet::csvRoundTrip() {
    SpreadsheetApp excel;
    Workbook* book = excel.addWorkbook();
    Sheet* sheet = excel.activeSheet();
    const QList<QVariantList> entries{
        {"Name", "Note", "Visited", "Amount", "Code"},
        {"Müller, Hans", "He said \"hi\"\nthen left", QDate(2026, 11, 1), 1234.5, "0123"},
        {"Ça va", "a\r\nb", QDateTime(QDate(2026, 12, 31), QTime(14, 30)), -0.25, "€ 5"},
    };
    for (int r = 0; r < entries.size(); ++r)
        for (int c = 0; c < entries.at(r).size(); ++c)
            sheet->setValue(r, c, entries.at(r).at(c));
    sheet->range(QStringLiteral("D2")).setNumberFormat(QStringLiteral("#,##0.00"));
    const QString path = m_session->file(QStringLiteral("Temp/export.csv"));
    QFile::remove(path);
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older, longer file that must be written over\r\n\r\n\r\n");
    old.close();
    QString error;
    QVERIFY2(book->saveAs(path, FileFormat::Csv, &error), qPrintable(error));
    QCOMPARE(book->path(), path);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("Name,Note,Visited,Amount,Code\r\n\"M\xc3\xbcller, Hans\","));
    QVERIFY(bytes.endsWith("\r\n"));
    const QList<QStringList> expected{
        {"Name", "Note", "Visited", "Amount", "Code"},
        {"Müller, Hans", "He said \"hi\"\nthen left", "11/1/2026", "1234.5", "0123"},
        {"Ça va", "a\r\nb", "12/31/2026 14:30", "-0.25", "€ 5"},
    };
    QCOMPARE(Csv::parse(QString::fromUtf8(bytes)), expected);

    // Opened again, the entries are recognised as they were typed.
    Workbook* again = excel.openWorkbook(path, &error);
    QVERIFY2(again, qPrintable(error));
    Sheet* read = again->activeSheet();
    QCOMPARE(read->name(), QString("export"));
    QCOMPARE(read->value(1, 0), QVariant("Müller, Hans"));
    QCOMPARE(read->value(1, 1), QVariant("He said \"hi\"\nthen left"));
    QCOMPARE(read->value(1, 2), QVariant(QDate(2026, 11, 1)));
    QCOMPARE(read->value(1, 3), QVariant(1234.5));
    QCOMPARE(read->value(1, 4), QVariant("0123"));
    QCOMPARE(read->value(2, 2), QVariant(QDateTime(QDate(2026, 12, 31), QTime(14, 30))));
    QCOMPARE(read->value(2, 3), QVariant(-0.25));
}

void TestSpreadsheet::telephoneListGetsTheNewestCallFirst_data() {
    QTest::addColumn<bool>("olderXls");
    QTest::newRow("xlsx") << false;
    QTest::newRow("only an older xls") << true;
}

void TestSpreadsheet::telephoneListGetsTheNewestCallFirst() {
    QFETCH(bool, olderXls);
    const QString xlsx = m_session->file(QStringLiteral("BCTelephone.xlsx"));
    const QString xls = m_session->file(QStringLiteral("BCTelephone.xls"));
    // An older installation has the .xls alone.
    if (olderXls)
        QVERIFY(QFile::remove(xlsx) &&
                QFile::copy(QString(TESSALY_FIXTURES) + "/Competition.xls", xls));
    else
        writeTelephoneList(xlsx);
    const auto before = readBack(olderXls ? xls : xlsx);
    QVERIFY(before);

    SpreadsheetApp excel;
    excel.setDisplayAlerts(false);
    QString error;
    Workbook* book = excel.openWorkbook(xlsx, &error);
    QVERIFY2(book, qPrintable(error));
    excel.range(QStringLiteral("A1")).entireRow().insert(InsertShift::Down);
    const QDateTime call(QDate(2026, 12, 10), QTime(14, 5));
    excel.range(QStringLiteral("A1")).setValue(call);
    excel.range(QStringLiteral("B1")).setValue(QStringLiteral("Cid"));
    excel.range(QStringLiteral("C1")).setValue(QStringLiteral("0987 654"));
    excel.range(QStringLiteral("D1")).setValue(QStringLiteral("Wants a visit"));
    QVERIFY2(book->save(&error), qPrintable(error));
    QCOMPARE(book->path(), xlsx);
    excel.quit();
    QVERIFY(Desktop::opened().isEmpty());

    const auto after = readBack(xlsx);
    QVERIFY(after);
    QCOMPARE(after->name, before->name);
    QCOMPARE(after->rowCount(), before->rowCount() + 1);
    QCOMPARE(after->cell(0, 0), QVariant(call));
    QCOMPARE(after->cell(0, 1), QVariant("Cid"));
    QCOMPARE(after->cell(0, 2), QVariant("0987 654"));
    QCOMPARE(after->cell(0, 3), QVariant("Wants a visit"));
    for (int r = 0; r < before->rowCount(); ++r)
        for (int c = 0; c < after->columnCount(); ++c)
            QCOMPARE(after->cell(r + 1, c), before->cell(r, c));
    if (olderXls)
        QVERIFY(QFile::exists(xls)); // the older file is left as it was
}

void TestSpreadsheet::competitorProductsAreCleared_data() {
    QTest::addColumn<bool>("olderXls");
    QTest::newRow("xlsx with formats") << false;
    QTest::newRow("only an older xls") << true;
}

void TestSpreadsheet::competitorProductsAreCleared() {
    QFETCH(bool, olderXls);
    const QString xlsx = m_session->file(QStringLiteral("Competition.xlsx"));
    if (olderXls)
        QVERIFY(QFile::remove(xlsx) &&
                QFile::copy(QString(TESSALY_FIXTURES) + "/Competition.xls",
                            m_session->file(QStringLiteral("Competition.xls"))));
    else
        writeCompetitionList(xlsx);

    SpreadsheetApp excel;
    excel.setDisplayAlerts(false);
    QString error;
    Workbook* book = excel.openWorkbook(xlsx, &error);
    QVERIFY2(book, qPrintable(error));
    excel
        .range(excel.range(QStringLiteral("A2")),
               excel.activeCell().specialCells(SpecialCellType::LastCell))
        .clearContents();
    QVERIFY2(book->save(&error), qPrintable(error));
    book->close();
    QCOMPARE(excel.activeWorkbook(), nullptr);

    const auto sheet = readBack(xlsx, QStringLiteral("COMPETITION"));
    QVERIFY(sheet);
    QCOMPARE(sheet->rowCount(), 1);
    QCOMPARE(sheet->rows.first(),
             (QVariantList{"COMPETITOR'S PRODUCT", "COMPETITOR'S NAME", "EQUIVALENT"}));
    QString readError;
    const auto reader = WorkbookReader::open(xlsx, &readError);
    QCOMPARE(reader->sheetNames(), (QStringList{"COMPETITION", "Notes"}));
    if (!olderXls) {
        QVERIFY(sheet->format(0, 2).bold);
        QCOMPARE(sheet->columnWidths.value(0), 30.0);
    }
}

void TestSpreadsheet::formatsSurviveARoundTrip_data() {
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("bold") << "bold" << QVariant(true);
    QTest::newRow("italic") << "italic" << QVariant(true);
    QTest::newRow("font") << "font" << QVariant("Courier New");
    QTest::newRow("size") << "size" << QVariant(14.5);
    QTest::newRow("two decimals") << "format" << QVariant("0.00");
    QTest::newRow("groups") << "format" << QVariant("#,##0.00");
    QTest::newRow("date") << "format" << QVariant("mm/dd/yyyy");
    QTest::newRow("short date") << "format" << QVariant("m/d/yyyy");
    QTest::newRow("left") << "horizontal" << QVariant(int(HorizontalAlignment::Left));
    QTest::newRow("center") << "horizontal" << QVariant(int(HorizontalAlignment::Center));
    QTest::newRow("right") << "horizontal" << QVariant(int(HorizontalAlignment::Right));
    QTest::newRow("top") << "vertical" << QVariant(int(VerticalAlignment::Top));
    QTest::newRow("middle") << "vertical" << QVariant(int(VerticalAlignment::Center));
    QTest::newRow("wrap") << "wrap" << QVariant(true);
    QTest::newRow("indent") << "indent" << QVariant(2);
    QTest::newRow("upward") << "orientation" << QVariant(int(OrientationUpward));
    QTest::newRow("shrink") << "shrink" << QVariant(true);
    QTest::newRow("plain in a bold row") << "plain" << QVariant(true);
}

void TestSpreadsheet::formatsSurviveARoundTrip() {
    QFETCH(QString, property);
    QFETCH(QVariant, value);
    SpreadsheetApp excel;
    Workbook* book = excel.addWorkbook();
    Sheet* sheet = book->activeSheet();
    sheet->setValue(1, 1, 46366.25);
    sheet->setValue(1, 2, QStringLiteral("beside"));
    const SheetRange cell = sheet->range(QStringLiteral("B2"));
    if (property == QLatin1String("bold"))
        cell.setBold(value.toBool());
    else if (property == QLatin1String("italic"))
        cell.setItalic(value.toBool());
    else if (property == QLatin1String("font"))
        cell.setFontName(value.toString());
    else if (property == QLatin1String("size"))
        cell.setFontSize(value.toDouble());
    else if (property == QLatin1String("format"))
        cell.setNumberFormat(value.toString());
    else if (property == QLatin1String("horizontal"))
        cell.setHorizontalAlignment(HorizontalAlignment(value.toInt()));
    else if (property == QLatin1String("vertical"))
        cell.setVerticalAlignment(VerticalAlignment(value.toInt()));
    else if (property == QLatin1String("wrap"))
        cell.setWrapText(value.toBool());
    else if (property == QLatin1String("indent"))
        cell.setIndentLevel(value.toInt());
    else if (property == QLatin1String("orientation"))
        cell.setOrientation(value.toInt());
    else if (property == QLatin1String("shrink"))
        cell.setShrinkToFit(value.toBool());
    else if (property == QLatin1String("plain")) {
        sheet->rows(QStringLiteral("2:2")).setBold(true);
        cell.setBold(false);
    }
    sheet->setColumnWidth(*CellRange::parse(u"B:B"), 20);
    sheet->setRowHeight(*CellRange::parse(u"2:2"), 30);
    const CellFormat written = sheet->format(1, 1);
    const QString path = m_session->file(QStringLiteral("formats.xlsx"));
    QString error;
    QVERIFY2(book->saveAs(path, FileFormat::Xlsx, &error), qPrintable(error));

    const auto read = readBack(path);
    QVERIFY(read);
    QCOMPARE(read->format(1, 1).key(), written.key());
    QCOMPARE(read->format(1, 2).key(), sheet->format(1, 2).key());
    QCOMPARE(read->columnWidths.value(1), 20.0);
    QCOMPARE(read->rowHeights.value(1), 30.0);
    const bool isDate = written.numberFormat.contains(u'y');
    QCOMPARE(read->cell(1, 1),
             isDate ? QVariant(QDateTime(QDate(2026, 12, 10), QTime(6, 0))) : QVariant(46366.25));
}

void TestSpreadsheet::wholeSheetFormatReachesEveryCell() {
    SpreadsheetApp excel;
    Workbook* book = excel.addWorkbook();
    excel.range(QStringLiteral("B2")).setValue(QStringLiteral("x"));
    excel.columns(QStringLiteral("D:D")).setColumnWidth(30);
    excel.columns(QStringLiteral("E:E")).setNumberFormat(QStringLiteral("0.00"));
    excel.cells().setFontName(QStringLiteral("Arial Narrow"));
    excel.rows(QStringLiteral("3:3")).setItalic(true);
    const QString path = m_session->file(QStringLiteral("sheet.xlsx"));
    QString error;
    QVERIFY2(book->saveAs(path, FileFormat::Xlsx, &error), qPrintable(error));

    const auto read = readBack(path);
    QVERIFY(read);
    for (const char* address : {"A1", "B2", "D7", "E1", "Z99", "XFD1048576", "C3", "E3"}) {
        const CellRange cell = *CellRange::parse(QString::fromLatin1(address));
        QCOMPARE(read->format(cell.firstRow(), cell.firstColumn()).fontName + u' ' + address,
                 QString("Arial Narrow ") + address);
    }
    QCOMPARE(read->format(2, 4).numberFormat, QString("0.00"));
    QVERIFY(read->format(2, 4).italic);
    QVERIFY(read->format(2, 25).italic);
    QVERIFY(!read->format(3, 25).italic);
    QCOMPARE(read->columnWidths.value(3), 30.0);
    QCOMPARE(read->columnWidths.contains(2), false);
}

void TestSpreadsheet::subtotalFormulasAreReadBack() {
    SpreadsheetApp excel;
    Workbook* book = excel.addWorkbook();
    Clipboard::setText(QStringLiteral("PROJECT\tAMOUNT\rRoof\t10\rRoof\t5\rPlant\t7\r"));
    QVERIFY(excel.paste());
    excel.cells().select();
    QVERIFY(excel.selection().subtotal(1, ConsolidationFunction::Sum, {2}));
    const QString path = m_session->file(QStringLiteral("subtotals.xlsx"));
    QString error;
    QVERIFY2(book->saveAs(path, FileFormat::Xlsx, &error), qPrintable(error));

    const auto read = readBack(path);
    QVERIFY(read);
    QCOMPARE(read->formula(3, 1), QString("=SUBTOTAL(9,B2:B3)"));
    QCOMPARE(read->cell(3, 1), QVariant(15.0));
    QCOMPARE(read->cell(3, 0), QVariant("Roof Total"));
    QCOMPARE(read->formula(6, 1), QString("=SUBTOTAL(9,B2:B6)"));
    QCOMPARE(read->cell(6, 1), QVariant(22.0));
    QCOMPARE(read->formula(1, 1), QString());

    // Opened again, the formulas are kept and written back.
    Workbook* again = excel.openWorkbook(path, &error);
    QVERIFY2(again, qPrintable(error));
    QCOMPARE(again->activeSheet()->formula(6, 1), QString("=SUBTOTAL(9,B2:B6)"));
    QCOMPARE(again->activeSheet()->value(6, 1), QVariant(22.0));
}

void TestSpreadsheet::visibleHandsTheSavedFileOver() {
    const QString first = m_session->file(QStringLiteral("Temp/Tessaly Report 000001.xlsx"));
    {
        SpreadsheetApp excel;
        excel.addWorkbook();
        excel.range(QStringLiteral("A1")).setValue(QStringLiteral("x"));
        excel.setVisible(true);
        QVERIFY(Desktop::opened().isEmpty()); // nothing written yet
        QVERIFY(excel.activeWorkbook()->saveAs(first));
        QVERIFY(excel.activeWorkbook()->save());
        QCOMPARE(Desktop::opened(), QList<QUrl>{QUrl::fromLocalFile(first)});
    }
    Desktop::record();
    {
        SpreadsheetApp excel;
        excel.setVisible(true);
        QVERIFY(excel.openWorkbook(first));
        QCOMPARE(Desktop::opened(), QList<QUrl>{QUrl::fromLocalFile(first)});
    }
    Desktop::record();
    {
        SpreadsheetApp excel;
        QVERIFY(excel.openWorkbook(first));
        QVERIFY(Desktop::opened().isEmpty());
        excel.setVisible(true);
        QCOMPARE(Desktop::opened(), QList<QUrl>{QUrl::fromLocalFile(first)});
    }
}

void TestSpreadsheet::xlsNameIsWrittenAsXlsx() {
    SpreadsheetApp excel;
    Workbook* book = excel.addWorkbook();
    excel.range(QStringLiteral("A1")).setValue(QStringLiteral("PRODUCT"));
    QString error;
    QVERIFY2(book->saveAs(m_session->file(QStringLiteral("Prices.xls")), FileFormat::Xlsx, &error),
             qPrintable(error));
    QCOMPARE(book->path(), m_session->file(QStringLiteral("Prices.xlsx")));
    QVERIFY(!QFile::exists(m_session->file(QStringLiteral("Prices.xls"))));
    QCOMPARE(readBack(book->path())->cell(0, 0), QVariant("PRODUCT"));
    QVERIFY(!book->saveAs(m_session->file(QStringLiteral("no such folder/Prices.xlsx")),
                          FileFormat::Xlsx, &error));
    QVERIFY2(error.contains(QLatin1String("cannot be written")), qPrintable(error));
    QCOMPARE(book->path(), m_session->file(QStringLiteral("Prices.xlsx")));
}

void TestSpreadsheet::printsTheVisibleCells() {
    const QString pdf = m_session->file(QStringLiteral("print.pdf"));
    PrintWindow::printToFile(pdf);
    SpreadsheetApp excel;
    excel.addWorkbook();
    excel.setCaption(QStringLiteral("Companies"));
    Clipboard::setText(
        QStringLiteral("COMPANY\tSECRET\tVISITED\rAcme Ltd\thidden text\t11/1/2026\r"));
    QVERIFY(excel.paste());
    excel.columns(QStringLiteral("B:B")).setHidden(true);
    QString error;
    QVERIFY2(excel.printOut(&error), qPrintable(error));

    QPdfDocument document;
    QCOMPARE(document.load(pdf), QPdfDocument::Error::None);
    QCOMPARE(document.pageCount(), 1);
    const QString text = document.getAllText(0).text();
    QVERIFY2(text.contains(QLatin1String("Acme Ltd")), qPrintable(text));
    QVERIFY2(text.contains(QLatin1String("11/1/2026")), qPrintable(text));
    QVERIFY2(!text.contains(QLatin1String("hidden")), qPrintable(text));

    excel.cells().clearContents();
    QVERIFY(!excel.printOut(&error));
    QVERIFY2(error.contains(QLatin1String("nothing to print")), qPrintable(error));
}

TESSALY_GUI_TEST_MAIN(TestSpreadsheet)
#include "tst_spreadsheet.moc"
