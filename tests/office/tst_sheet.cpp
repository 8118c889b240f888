#include "TestMain.h"
#include "TestSession.h"

#include "formats/CellRange.h"
#include "formats/CellText.h"
#include "formats/Csv.h"
#include "formats/Sheet.h"
#include "formats/Worksheet.h"
#include "platform/Locale.h"

#include <QTest>

// The in-memory worksheet: references, entries and how they are shown,
// formats set on every shape of selection, rows inserted and deleted,
// replace, find, filter, subtotals and fitted widths and heights.
class TestSheet : public QObject {
    Q_OBJECT
private slots:
    void init() { m_session = std::make_unique<TestSession>(TestSession::Folder::Empty); }
    void cleanup() { m_session.reset(); }

    void references_data();
    void references();
    void entriesAreRecognised_data();
    void entriesAreRecognised();
    void pastedTextIsSplitIntoCells_data();
    void pastedTextIsSplitIntoCells();
    void storedValuesReadBackAsTheyWereSet_data();
    void storedValuesReadBackAsTheyWereSet();
    void repeatedPastedTextsStayApart();
    void formulasKeepWhatTheyGaveThroughShifts();
    void valuesAreShownThroughTheirFormat_data();
    void valuesAreShownThroughTheirFormat();

    void formulaR1C1IsSeenFromTheCell_data();
    void formulaR1C1IsSeenFromTheCell();

    void theLastFormatSetWins_data();
    void theLastFormatSetWins();

    void insertedRowsPushEverythingDown();
    void deletedRowsPullEverythingUp();
    void entireRowInsertTakesTheFormatAbove();

    void replaceUsesWildcards_data();
    void replaceUsesWildcards();
    void findStartsAfterTheActiveCell_data();
    void findStartsAfterTheActiveCell();
    void autoFilterCoversTheList_data();
    void autoFilterCoversTheList();
    void subtotalsFollowEachGroup_data();
    void subtotalsFollowEachGroup();

    void autoFitFollowsTextAndFont();

    void csvFieldsAreQuoted_data();
    void csvFieldsAreQuoted();

private:
    std::unique_ptr<TestSession> m_session;
};

namespace {

CellRange ref(const char* text) {
    const auto range = CellRange::parse(QString::fromLatin1(text));
    if (!range)
        qFatal("bad reference in test: %s", text);
    return *range;
}

// "RANGE PROPERTY VALUE": bold, italic, font, size or format.
void applyFormat(Sheet& sheet, const QString& operation) {
    const QStringList parts = operation.split(u' ');
    const SheetRange range = sheet.range(parts.at(0));
    const QString value = parts.mid(2).join(u' ');
    if (parts.at(1) == QLatin1String("bold"))
        range.setBold(value == QLatin1String("1"));
    else if (parts.at(1) == QLatin1String("italic"))
        range.setItalic(value == QLatin1String("1"));
    else if (parts.at(1) == QLatin1String("font"))
        range.setFontName(value);
    else if (parts.at(1) == QLatin1String("size"))
        range.setFontSize(value.toDouble());
    else if (parts.at(1) == QLatin1String("format"))
        range.setNumberFormat(value);
    else
        qFatal("bad operation in test: %s", qPrintable(operation));
}

QString formatProperty(const CellFormat& format, const QString& property) {
    if (property == QLatin1String("bold"))
        return format.bold ? QStringLiteral("1") : QStringLiteral("0");
    if (property == QLatin1String("italic"))
        return format.italic ? QStringLiteral("1") : QStringLiteral("0");
    if (property == QLatin1String("font"))
        return format.fontName;
    if (property == QLatin1String("size"))
        return QString::number(format.fontSize);
    return format.numberFormat;
}

// A list with titles in row 1: group, amount.
void fillProjects(Sheet& sheet) {
    sheet.paste(QStringLiteral("PROJECT\tAMOUNT\tOWNER\r"
                               "Alpha\t10\tAnn\r"
                               "alpha\t5\tBob\r"
                               "Beta\t7\tAnn\r"
                               "Gamma\t1\tCid\r"
                               "Gamma\t2\tAnn\r"),
                0, 0);
}

} // namespace

void TestSheet::references_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QList<int>>("corners"); // first row, first column, last row, last column
    const int lastRow = CellRange::MaxRows - 1;
    const int lastColumn = CellRange::MaxColumns - 1;
    QTest::newRow("cell") << "A1" << true << "A1" << QList<int>{0, 0, 0, 0};
    QTest::newRow("fixed cell") << "$B$7" << true << "B7" << QList<int>{6, 1, 6, 1};
    QTest::newRow("one row of cells") << "A1:E1" << true << "A1:E1" << QList<int>{0, 0, 0, 4};
    QTest::newRow("backwards") << "E5:B2" << true << "B2:E5" << QList<int>{1, 1, 4, 4};
    QTest::newRow("rows") << "1:2" << true << "1:2" << QList<int>{0, 0, 1, lastColumn};
    QTest::newRow("one column") << "H:H" << true << "H:H" << QList<int>{0, 7, lastRow, 7};
    QTest::newRow("columns") << "a:d" << true << "A:D" << QList<int>{0, 0, lastRow, 3};
    QTest::newRow("last cell") << "XFD1048576" << true << "XFD1048576"
                               << QList<int>{lastRow, lastColumn, lastRow, lastColumn};
    QTest::newRow("two letters") << "AB12" << true << "AB12" << QList<int>{11, 27, 11, 27};
    QTest::newRow("row zero") << "A0" << false << "" << QList<int>{};
    QTest::newRow("bare row") << "7" << false << "" << QList<int>{};
    QTest::newRow("bare column") << "H" << false << "" << QList<int>{};
    QTest::newRow("past the last column") << "XFE1" << false << "" << QList<int>{};
    QTest::newRow("mixed") << "A1:B" << false << "" << QList<int>{};
    QTest::newRow("empty") << "" << false << "" << QList<int>{};
}

void TestSheet::references() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QString, address);
    QFETCH(QList<int>, corners);
    const auto range = CellRange::parse(text);
    QCOMPARE(range.has_value(), valid);
    if (!valid)
        return;
    QCOMPARE(range->address(), address);
    QCOMPARE((QList<int>{range->firstRow(), range->firstColumn(), range->lastRow(),
                         range->lastColumn()}),
             corners);
}

void TestSheet::entriesAreRecognised_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("numberFormat");
    const QString us = QStringLiteral("en_US");
    QTest::newRow("whole number") << "42" << us << QVariant(42.0) << "General";
    QTest::newRow("decimal") << "3.5" << us << QVariant(3.5) << "General";
    QTest::newRow("negative") << "-2" << us << QVariant(-2.0) << "General";
    QTest::newRow("blanks around") << " 7 " << us << QVariant(7.0) << "General";
    QTest::newRow("zero") << "0" << us << QVariant(0.0) << "General";
    QTest::newRow("zero point") << "0.25" << us << QVariant(0.25) << "General";
    QTest::newRow("groups") << "1,234.50" << us << QVariant(1234.5) << "#,##0.00";
    QTest::newRow("groups, whole") << "12,345" << us << QVariant(12345.0) << "#,##0";
    QTest::newRow("15 digits") << "123456789012345" << us << QVariant(123456789012345.0)
                               << "General";
    QTest::newRow("16 digits stay text")
        << "1234567890123456" << us << QVariant("1234567890123456") << "General";
    QTest::newRow("leading zero stays text") << "0123" << us << QVariant("0123") << "General";
    QTest::newRow("telephone") << "0123 456" << us << QVariant("0123 456") << "General";
    QTest::newRow("bad groups") << "1,23" << us << QVariant("1,23") << "General";
    QTest::newRow("currency stays text") << "$ 2.50" << us << QVariant("$ 2.50") << "General";
    QTest::newRow("percent stays text") << "5%" << us << QVariant("5%") << "General";
    QTest::newRow("exponent stays text") << "1E5" << us << QVariant("1E5") << "General";
    QTest::newRow("text") << "abc" << us << QVariant("abc") << "General";
    QTest::newRow("date") << "12/31/2026" << us << QVariant(QDate(2026, 12, 31)) << "m/d/yyyy";
    QTest::newRow("short date") << "1/2/2026" << us << QVariant(QDate(2026, 1, 2)) << "m/d/yyyy";
    QTest::newRow("two-digit year")
        << "12/31/26" << us << QVariant(QDate(2026, 12, 31)) << "m/d/yyyy";
    QTest::newRow("date and time")
        << "12/31/2026 2:30 PM" << us << QVariant(QDateTime(QDate(2026, 12, 31), QTime(14, 30)))
        << "m/d/yyyy h:mm AM/PM";
    QTest::newRow("date and 24-hour time")
        << "12/31/2026 14:30" << us << QVariant(QDateTime(QDate(2026, 12, 31), QTime(14, 30)))
        << "m/d/yyyy h:mm";
    QTest::newRow("no such day") << "2/30/2026" << us << QVariant("2/30/2026") << "General";
    QTest::newRow("date, then words")
        << "12/31/2026 maybe" << us << QVariant("12/31/2026 maybe") << "General";
    QTest::newRow("user's date form") << "31.12.2026"
                                      << "de_DE" << QVariant(QDate(2026, 12, 31)) << "dd.mm.yyyy";
    QTest::newRow("user's date and time")
        << "31.12.2026 09:15"
        << "de_DE" << QVariant(QDateTime(QDate(2026, 12, 31), QTime(9, 15))) << "dd.mm.yyyy h:mm";
    QTest::newRow("m/d/yyyy under another date form")
        << "12/31/2026"
        << "de_DE" << QVariant(QDate(2026, 12, 31)) << "m/d/yyyy";
}

void TestSheet::entriesAreRecognised() {
    QFETCH(QString, text);
    QFETCH(QString, locale);
    QFETCH(QVariant, value);
    QFETCH(QString, numberFormat);
    Locale::pin(QLocale(locale));
    Sheet sheet;
    sheet.paste(text, 2, 3);
    QCOMPARE(sheet.value(2, 3), value);
    QCOMPARE(sheet.format(2, 3).numberFormat, numberFormat);
    QCOMPARE(sheet.value(2, 3).typeId(), value.typeId());
}

void TestSheet::pastedTextIsSplitIntoCells_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<QStringList>>("cells");
    QTest::newRow("CR rows") << "a\tb\rc\td\r" << QList<QStringList>{{"a", "b"}, {"c", "d"}};
    QTest::newRow("CRLF rows") << "a\tb\r\nc\td\r\n" << QList<QStringList>{{"a", "b"}, {"c", "d"}};
    QTest::newRow("LF rows") << "a\tb\nc\td" << QList<QStringList>{{"a", "b"}, {"c", "d"}};
    QTest::newRow("empty cells") << "a\t\tc\r\tb\t\r"
                                 << QList<QStringList>{{"a", "", "c"}, {"", "b", ""}};
    QTest::newRow("quoted cell with a line break and a tab")
        << "\"line 1\nline\t2\"\tx\r\"say \"\"hi\"\"\"\ty\r"
        << QList<QStringList>{{"line 1\nline\t2", "x"}, {"say \"hi\"", "y"}};
    QTest::newRow("quotes inside a cell stay")
        << "\"Best\" Ltd\t5 \"x\"\r" << QList<QStringList>{{"\"Best\" Ltd", "5 \"x\""}};
}

void TestSheet::pastedTextIsSplitIntoCells() {
    QFETCH(QString, text);
    QFETCH(QList<QStringList>, cells);
    Sheet sheet;
    sheet.select(ref("B2"));
    sheet.paste(text, 1, 1);
    QList<QStringList> shown;
    for (int r = 0; r < cells.size(); ++r) {
        QStringList row;
        for (int c = 0; c < cells.at(r).size(); ++c)
            row.append(sheet.text(1 + r, 1 + c));
        shown.append(row);
    }
    QCOMPARE(shown, cells);
    QCOMPARE(sheet.selectedRange(),
             CellRange::cells(1, 1, int(cells.size()), int(cells.first().size())));
    QCOMPARE(sheet.value(1 + int(cells.size()), 1), QVariant()); // nothing below
}

// Cells keep each kind of value compactly; what is read back must be what
// was stored, type and all.
void TestSheet::storedValuesReadBackAsTheyWereSet_data() {
    QTest::addColumn<QVariant>("value");
    QTest::newRow("ASCII text") << QVariant(QStringLiteral("Harbor Supply 000123"));
    QTest::newRow("text with umlauts, euro and CJK")
        << QVariant(QStringLiteral("Müller & Söhne € 東京"));
    QTest::newRow("text outside the BMP") << QVariant(QStringLiteral("Rocket \U0001F680"));
    QTest::newRow("empty text") << QVariant(QString(""));
    QTest::newRow("long text") << QVariant(QString(40000, u'x'));
    QTest::newRow("number") << QVariant(1234.5);
    QTest::newRow("negative zero decimals") << QVariant(-0.000125);
    QTest::newRow("true") << QVariant(true);
    QTest::newRow("false") << QVariant(false);
    QTest::newRow("date") << QVariant(QDate(2026, 2, 28));
    QTest::newRow("old date") << QVariant(QDate(1850, 7, 1));
    QTest::newRow("date and time") << QVariant(QDateTime(QDate(2026, 3, 1), QTime(9, 30, 15)));
    QTest::newRow("whole number") << QVariant(qlonglong(9007199254740993LL));
}

void TestSheet::storedValuesReadBackAsTheyWereSet() {
    QFETCH(QVariant, value);
    Worksheet list;
    list.rows = {{value, QVariant(QStringLiteral("next"))}};
    const std::unique_ptr<Sheet> sheet = Sheet::fromWorksheet(list);
    const QVariant back = sheet->value(0, 0);
    QCOMPARE(back.typeId(), value.typeId());
    QCOMPARE(back, value);
    QCOMPARE(sheet->value(0, 1), QVariant(QStringLiteral("next")));
    // A copy of the sheet holds its own cells.
    Sheet copy = *sheet;
    sheet->clearContents(CellRange::cell(0, 0));
    QCOMPARE(copy.value(0, 0), value);
    QVERIFY(sheet->value(0, 0).isNull());
}

// The cells of a repeated pasted value share its text: changing one of them
// must leave the others as they were.
void TestSheet::repeatedPastedTextsStayApart() {
    QString text;
    for (int i = 0; i < 3000; ++i)
        text += QStringLiteral("Zürich\t%1\tNorth\r")
                    .arg(i % 2 ? QStringLiteral("Acme") : QString::number(i));
    Sheet sheet;
    sheet.paste(text, 0, 0);
    sheet.setValue(5, 0, QStringLiteral("Bern"));
    sheet.setValue(7, 2, QStringLiteral("South"));
    sheet.clearContents(CellRange::cell(9, 1));
    QCOMPARE(sheet.value(5, 0).toString(), QStringLiteral("Bern"));
    QCOMPARE(sheet.value(4, 0).toString(), QStringLiteral("Zürich"));
    QCOMPARE(sheet.value(6, 0).toString(), QStringLiteral("Zürich"));
    QCOMPARE(sheet.value(7, 2).toString(), QStringLiteral("South"));
    QCOMPARE(sheet.value(2999, 2).toString(), QStringLiteral("North"));
    QVERIFY(sheet.value(9, 1).isNull());
    QCOMPARE(sheet.value(11, 1).toString(), QStringLiteral("Acme"));
    QCOMPARE(sheet.value(10, 1), QVariant(10.0)); // numbers stay numbers
    QCOMPARE(sheet.value(2999, 0).toString(), QStringLiteral("Zürich"));
}

// A formula keeps its text and its last result while rows move around it,
// and a value typed over it leaves no formula behind.
void TestSheet::formulasKeepWhatTheyGaveThroughShifts() {
    Sheet sheet;
    sheet.paste(QStringLiteral("Amount\r5\r7\r"), 0, 0);
    sheet.setFormula(3, 0, QStringLiteral("=SUBTOTAL(9,A2:A3)"));
    QCOMPARE(sheet.value(3, 0), QVariant(12.0));
    sheet.insertRows(1, 1);
    QCOMPARE(sheet.formula(4, 0), QStringLiteral("=SUBTOTAL(9,A3:A4)"));
    QCOMPARE(sheet.value(4, 0), QVariant(12.0));
    sheet.setValue(4, 0, QStringLiteral("done"));
    QCOMPARE(sheet.formula(4, 0), QStringLiteral("done"));
    QCOMPARE(sheet.value(4, 0), QVariant(QStringLiteral("done")));
}

void TestSheet::valuesAreShownThroughTheirFormat_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("numberFormat");
    QTest::addColumn<QString>("shown");
    const QDate date(2026, 11, 1);
    const QDateTime afternoon(QDate(2026, 12, 31), QTime(14, 30));
    QTest::newRow("date, two digits") << QVariant(date) << "mm/dd/yyyy"
                                      << "11/01/2026";
    QTest::newRow("date, short") << QVariant(date) << "m/d/yyyy"
                                 << "11/1/2026";
    QTest::newRow("date, names") << QVariant(QDate(2026, 12, 10)) << "dddd, mmmm d, yyyy"
                                 << "Thursday, December 10, 2026";
    QTest::newRow("date, short names") << QVariant(QDate(2026, 12, 10)) << "ddd d-mmm-yy"
                                       << "Thu 10-Dec-26";
    QTest::newRow("date and time, 12 hours") << QVariant(afternoon) << "m/d/yyyy h:mm AM/PM"
                                             << "12/31/2026 2:30 PM";
    QTest::newRow("time, 24 hours") << QVariant(QDateTime(date, QTime(9, 5, 7))) << "hh:mm:ss"
                                    << "09:05:07";
    QTest::newRow("date under General") << QVariant(date) << "General"
                                        << "11/1/2026";
    QTest::newRow("serial under a date format") << QVariant(46366.0) << "yyyy-mm-dd"
                                                << "2026-12-10";
    QTest::newRow("plain") << QVariant(3.0) << "General"
                           << "3";
    QTest::newRow("no binary noise") << QVariant(0.1 + 0.2) << "General"
                                     << "0.3";
    QTest::newRow("large") << QVariant(123456789012345.0) << "General"
                           << "123456789012345";
    QTest::newRow("groups") << QVariant(1234567.0) << "#,##0"
                            << "1,234,567";
    QTest::newRow("groups and decimals") << QVariant(-1234.5) << "#,##0.00"
                                         << "-1,234.50";
    QTest::newRow("two decimals") << QVariant(2.0) << "0.00"
                                  << "2.00";
    QTest::newRow("percent") << QVariant(0.256) << "0.0%"
                             << "25.6%";
    QTest::newRow("negative section") << QVariant(-5.0) << "0.00;(0.00)"
                                      << "(5.00)";
    QTest::newRow("text around") << QVariant(12.0) << "\"USD \"0.00"
                                 << "USD 12.00";
    QTest::newRow("text format") << QVariant("0123") << "@"
                                 << "0123";
    QTest::newRow("truth") << QVariant(true) << "General"
                           << "TRUE";
}

void TestSheet::valuesAreShownThroughTheirFormat() {
    QFETCH(QVariant, value);
    QFETCH(QString, numberFormat);
    QFETCH(QString, shown);
    QCOMPARE(CellText::display(value, numberFormat), shown);
}

void TestSheet::formulaR1C1IsSeenFromTheCell_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QVariant>("entry");
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("row above") << "B3" << QVariant("=R[-1]C*2") << "=B2*2" << QVariant();
    QTest::newRow("fixed area") << "D4" << QVariant("=SUM(R1C1:R2C2)") << "=SUM($A$1:$B$2)"
                                << QVariant();
    QTest::newRow("mixed") << "A1" << QVariant("=RC[1]+R5C") << "=B1+A$5" << QVariant();
    QTest::newRow("before the first row")
        << "A1" << QVariant("=R[-1]C") << "=#REF!" << QVariant("#REF!");
    QTest::newRow("quoted text left alone")
        << "A1" << QVariant("=\"RC\"&RC[1]") << "=\"RC\"&B1" << QVariant();
    QTest::newRow("subtotal worked out")
        << "A9" << QVariant("=SUBTOTAL(9,R1C2:R2C2)") << "=SUBTOTAL(9,$B$1:$B$2)" << QVariant(5.0);
    QTest::newRow("a date and time")
        << "A1" << QVariant(QDateTime(QDate(2026, 12, 10), QTime(14, 5))) << "12/10/2026 2:05:00 PM"
        << QVariant(QDateTime(QDate(2026, 12, 10), QTime(14, 5)));
    QTest::newRow("a text") << "A1" << QVariant("Called back") << "Called back"
                            << QVariant("Called back");
}

void TestSheet::formulaR1C1IsSeenFromTheCell() {
    QFETCH(QString, cell);
    QFETCH(QVariant, entry);
    QFETCH(QString, formula);
    QFETCH(QVariant, value);
    Sheet sheet;
    sheet.setValue(0, 1, 2.0);
    sheet.setValue(1, 1, 3.0);
    const SheetRange target = sheet.range(cell);
    target.setFormulaR1C1(entry);
    QCOMPARE(target.formula(), formula);
    QCOMPARE(target.value(), value);
}

void TestSheet::theLastFormatSetWins_data() {
    QTest::addColumn<QStringList>("operations");
    QTest::addColumn<QStringList>("expected"); // "CELL PROPERTY VALUE"
    QTest::newRow("column, then row")
        << QStringList{"C:C bold 1", "2:2 bold 0"}
        << QStringList{"C2 bold 0", "C3 bold 1", "D2 bold 0", "C1000 bold 1", "A1 bold 0"};
    QTest::newRow("row, then column")
        << QStringList{"2:2 bold 1", "C:C bold 0"}
        << QStringList{"C2 bold 0", "D2 bold 1", "XFD2 bold 1", "C3 bold 0"};
    QTest::newRow("crossings keep both")
        << QStringList{"P:P format mm/dd/yyyy", "3:3 bold 1"}
        << QStringList{"P3 format mm/dd/yyyy", "P3 bold 1", "P4 bold 0", "A3 format General"};
    QTest::newRow("whole sheet over everything")
        << QStringList{"A1:B2 size 14", "2:2 italic 1", "C:C font Arial",
                       "A1:XFD1048576 font "
                       "Arial Narrow"}
        << QStringList{"A1 font Arial Narrow",  "A1 size 14",  "C2 font Arial Narrow",
                       "Z99 font Arial Narrow", "B2 italic 1", "C5 size 11"};
    QTest::newRow("cells after whole rows") << QStringList{"1:1 bold 1", "A1:B1 bold 0"}
                                            << QStringList{"A1 bold 0", "B1 bold 0", "C1 bold 1"};
    QTest::newRow("whole rows after cells")
        << QStringList{"A1:B1 size 20", "1:1 size 9"} << QStringList{"A1 size 9", "Q1 size 9"};
}

void TestSheet::theLastFormatSetWins() {
    QFETCH(QStringList, operations);
    QFETCH(QStringList, expected);
    Sheet sheet;
    sheet.paste(QStringLiteral("a\tb\tc\r1\t2\t3\r"), 0, 0);
    for (const QString& operation : operations)
        applyFormat(sheet, operation);
    for (const QString& check : expected) {
        const QStringList parts = check.split(u' ');
        const CellRange cell = *CellRange::parse(parts.at(0));
        QCOMPARE(formatProperty(sheet.format(cell.firstRow(), cell.firstColumn()), parts.at(1)) +
                     u' ' + parts.at(0),
                 parts.mid(2).join(u' ') + u' ' + parts.at(0));
    }
}

void TestSheet::insertedRowsPushEverythingDown() {
    Sheet sheet;
    fillProjects(sheet);
    QVERIFY(sheet.autoFilter(ref("1:1")));
    sheet.setFormula(7, 1, QStringLiteral("=SUBTOTAL(9,B2:B6)"));
    sheet.rows(QStringLiteral("1:1")).setBold(true);
    sheet.setRowHeight(ref("3:3"), 30);
    sheet.setMerged(ref("C2:C3"), true);
    sheet.freezePanes(1, 0);

    QVERIFY(sheet.insert(ref("1:2"), InsertShift::Down));
    QCOMPARE(sheet.value(2, 0), QVariant("PROJECT"));
    QCOMPARE(sheet.value(3, 1), QVariant(10.0));
    QVERIFY(sheet.format(2, 0).bold);
    QVERIFY(!sheet.format(0, 0).bold); // nothing above the first row to copy
    QCOMPARE(sheet.rowHeight(4), 30.0);
    QCOMPARE(sheet.rowHeight(2), Sheet::StandardRowHeight);
    QCOMPARE(sheet.autoFilterRange(), ref("A3:C8"));
    QCOMPARE(sheet.frozenRows(), 3);
    QCOMPARE(sheet.formula(9, 1), QString("=SUBTOTAL(9,B4:B8)"));
    QCOMPARE(sheet.value(9, 1), QVariant(25.0));
    QCOMPARE(sheet.mergedRanges(), QList<CellRange>{ref("C4:C5")});
    QVERIFY(!sheet.insert(ref("A1:B2"), InsertShift::Down)); // whole rows only
}

void TestSheet::deletedRowsPullEverythingUp() {
    Sheet sheet;
    fillProjects(sheet);
    QVERIFY(sheet.autoFilter(ref("1:1")));
    sheet.setFormula(7, 1, QStringLiteral("=SUBTOTAL(9,B2:B6)"));
    sheet.setFormula(8, 1, QStringLiteral("=B3*2"));
    sheet.freezePanes(2, 0);

    QVERIFY(sheet.remove(ref("2:3"), DeleteShift::Up));
    QCOMPARE(sheet.value(1, 0), QVariant("Beta"));
    QCOMPARE(sheet.autoFilterRange(), ref("A1:C4"));
    QCOMPARE(sheet.frozenRows(), 1);
    QCOMPARE(sheet.formula(5, 1), QString("=SUBTOTAL(9,B2:B4)"));
    QCOMPARE(sheet.value(5, 1), QVariant(10.0)); // 7 + 1 + 2
    QCOMPARE(sheet.formula(6, 1), QString("=#REF!*2"));

    QVERIFY(sheet.remove(ref("1:4"), DeleteShift::Up));
    QCOMPARE(sheet.autoFilterRange(), std::nullopt);
}

void TestSheet::entireRowInsertTakesTheFormatAbove() {
    Sheet sheet;
    fillProjects(sheet);
    sheet.rows(QStringLiteral("1:1")).setBold(true);
    sheet.range(QStringLiteral("B1")).setNumberFormat(QStringLiteral("0.00"));
    sheet.range(QStringLiteral("A2")).entireRow().insert(InsertShift::Down);
    QCOMPARE(sheet.value(1, 0), QVariant());
    QCOMPARE(sheet.value(2, 0), QVariant("Alpha"));
    QVERIFY(sheet.format(1, 0).bold);
    QVERIFY(sheet.format(1, 20).bold);
    QCOMPARE(sheet.format(1, 1).numberFormat, QString("0.00"));
    QVERIFY(!sheet.format(2, 0).bold);
}

void TestSheet::replaceUsesWildcards_data() {
    QTest::addColumn<QVariant>("entry");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("formula");
    QTest::newRow("part, any case") << QVariant("Grand Count") << "grand count"
                                    << "" << false << false << QVariant() << "";
    QTest::newRow("star at both ends takes the whole text")
        << QVariant("Alpha Count") << "*count*"
        << "____" << false << false << QVariant("____") << "____";
    QTest::newRow("formula emptied") << QVariant("=SUBTOTAL(3,C2:C5)") << "*subtotal*"
                                     << "" << false << false << QVariant() << "";
    QTest::newRow("formula changed")
        << QVariant("=SUBTOTAL(3,C2:C5)") << "(3,"
        << "(9," << false << false << QVariant(0.0) << "=SUBTOTAL(9,C2:C5)";
    QTest::newRow("question mark") << QVariant("abc") << "b?"
                                   << "X" << false << false << QVariant("aX") << "aX";
    QTest::newRow("tilde takes a star as it is")
        << QVariant("a*b*c") << "~*"
        << "+" << false << false << QVariant("a+b+c") << "a+b+c";
    QTest::newRow("every occurrence") << QVariant("abcabc") << "b"
                                      << "" << false << false << QVariant("acac") << "acac";
    QTest::newRow("case must match") << QVariant("Count") << "count"
                                     << "x" << false << true << QVariant("Count") << "Count";
    QTest::newRow("whole cell only") << QVariant("Account") << "count"
                                     << "x" << true << false << QVariant("Account") << "Account";
    QTest::newRow("number") << QVariant(1234.0) << "2"
                            << "9" << false << false << QVariant(1934.0) << "1934";
    QTest::newRow("text that becomes a number") << QVariant("x12") << "x"
                                                << "" << false << false << QVariant(12.0) << "12";
}

void TestSheet::replaceUsesWildcards() {
    QFETCH(QVariant, entry);
    QFETCH(QString, what);
    QFETCH(QString, replacement);
    QFETCH(bool, whole);
    QFETCH(bool, matchCase);
    QFETCH(QVariant, value);
    QFETCH(QString, formula);
    Sheet sheet;
    sheet.setValue(1, 2, entry);
    sheet.setValue(9, 9, QStringLiteral("outside"));
    const int changed = sheet.replace(ref("A1:E5"), what, replacement,
                                      whole ? LookAt::Whole : LookAt::Part, matchCase);
    QCOMPARE(sheet.value(1, 2), value);
    QCOMPARE(sheet.formula(1, 2), formula);
    QCOMPARE(changed, sheet.formula(1, 2) == CellText::entryText(entry) ? 0 : 1);
    QCOMPARE(sheet.value(9, 9), QVariant("outside"));
}

void TestSheet::findStartsAfterTheActiveCell_data() {
    QTest::addColumn<QString>("active");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("found"); // empty for none
    QTest::newRow("from A1") << "A1"
                             << "Postal City"
                             << "C1";
    QTest::newRow("part of the text") << "A1"
                                      << "city"
                                      << "C1";
    QTest::newRow("next after the active cell") << "C1"
                                                << "Street Address"
                                                << "E1";
    QTest::newRow("row by row") << "F1"
                                << "street"
                                << "B2";
    QTest::newRow("wraps around") << "B2"
                                  << "Postal"
                                  << "A1";
    QTest::newRow("the active cell itself last") << "D1"
                                                 << "Postal Code"
                                                 << "D1";
    QTest::newRow("shown text of a date") << "A1"
                                          << "11/1/2026"
                                          << "C2";
    QTest::newRow("nothing") << "A1"
                             << "Fax"
                             << "";
}

void TestSheet::findStartsAfterTheActiveCell() {
    QFETCH(QString, active);
    QFETCH(QString, what);
    QFETCH(QString, found);
    Sheet sheet;
    sheet.paste(QStringLiteral("POSTAL ADDRESS\tPOSTAL BOX\tPOSTAL CITY\tPOSTAL CODE\tSTREET "
                               "ADDRESS\tSTREET ADDRESS 2\r"
                               "Acme\tMain Street 1\t11/1/2026\r"),
                0, 0);
    sheet.range(active).select();
    const SheetRange result = sheet.cells().find(what);
    QCOMPARE(result.isValid() ? result.address().address() : QString(), found);
}

void TestSheet::autoFilterCoversTheList_data() {
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QString>("filter");
    QTest::newRow("whole title row: the used columns") << "3:3"
                                                       << "B3:D7";
    QTest::newRow("one row of cells") << "B3:C3"
                                      << "B3:C7";
    QTest::newRow("one cell: the list around it") << "C5"
                                                  << "B3:D7";
    QTest::newRow("a block as it is") << "B3:C4"
                                      << "B3:C4";
}

void TestSheet::autoFilterCoversTheList() {
    QFETCH(QString, selection);
    QFETCH(QString, filter);
    Sheet sheet;
    sheet.paste(QStringLiteral("T1\tT2\tT3\ra\t1\tx\rb\t2\r\tq\tz\rc\t4\ty\r"), 2, 1);
    QVERIFY(sheet.range(selection).autoFilter());
    QCOMPARE(sheet.autoFilterRange()->address(), filter);
    QVERIFY(!sheet.range(selection).autoFilter()); // a second call switches it off
    QCOMPARE(sheet.autoFilterRange(), std::nullopt);
}

void TestSheet::subtotalsFollowEachGroup_data() {
    QTest::addColumn<QList<int>>("totals");
    QTest::addColumn<bool>("below");
    QTest::addColumn<QStringList>("column1"); // the group-by column, top to bottom
    QTest::addColumn<QStringList>("column2");
    const QStringList belowLabels{"PROJECT",    "Alpha", "alpha", "Alpha Count", "Beta",
                                  "Beta Count", "Gamma", "Gamma", "Gamma Count", "Grand Count"};
    QTest::newRow("count of another column, below") << QList<int>{2} << true << belowLabels
                                                    << QStringList{"AMOUNT",
                                                                   "10",
                                                                   "5",
                                                                   "=SUBTOTAL(3,B2:B3)",
                                                                   "7",
                                                                   "=SUBTOTAL(3,B5:B5)",
                                                                   "1",
                                                                   "2",
                                                                   "=SUBTOTAL(3,B7:B8)",
                                                                   "=SUBTOTAL(3,B2:B9)"};
    QTest::newRow("count of the group-by column: labels alone")
        << QList<int>{1} << true << belowLabels
        << QStringList{"AMOUNT", "10", "5", "", "7", "", "1", "2", "", ""};
    QTest::newRow("above") << QList<int>{2} << false
                           << QStringList{"PROJECT", "Grand Count", "Alpha Count", "Alpha",
                                          "alpha",   "Beta Count",  "Beta",        "Gamma Count",
                                          "Gamma",   "Gamma"}
                           << QStringList{"AMOUNT",
                                          "=SUBTOTAL(3,B3:B10)",
                                          "=SUBTOTAL(3,B4:B5)",
                                          "10",
                                          "5",
                                          "=SUBTOTAL(3,B7:B7)",
                                          "7",
                                          "=SUBTOTAL(3,B9:B10)",
                                          "1",
                                          "2"};
}

void TestSheet::subtotalsFollowEachGroup() {
    QFETCH(QList<int>, totals);
    QFETCH(bool, below);
    QFETCH(QStringList, column1);
    QFETCH(QStringList, column2);
    Sheet sheet;
    fillProjects(sheet);
    QVERIFY(sheet.cells().subtotal(1, ConsolidationFunction::Count, totals, true, below));
    QStringList first, second;
    for (int r = 0; r < column1.size(); ++r) {
        first.append(sheet.formula(r, 0));
        second.append(sheet.formula(r, 1));
    }
    QCOMPARE(first, column1);
    QCOMPARE(second, column2);
    QCOMPARE(sheet.value(int(column1.size()), 0), QVariant());
    QCOMPARE(sheet.value(3, 2), below ? QVariant() : QVariant("Ann")); // other columns stay empty
    if (below && totals == QList<int>{2}) {
        QCOMPARE(sheet.value(3, 1), QVariant(2.0));
        QCOMPARE(sheet.value(9, 1), QVariant(5.0)); // the groups' subtotals not counted
        // A second run replaces the first one's rows.
        QVERIFY(sheet.cells().subtotal(1, ConsolidationFunction::Sum, totals, true, below));
        QCOMPARE(sheet.formula(3, 1), QString("=SUBTOTAL(9,B2:B3)"));
        QCOMPARE(sheet.value(3, 1), QVariant(15.0));
        QCOMPARE(sheet.text(9, 0), QString("Grand Total"));
        QCOMPARE(sheet.value(9, 1), QVariant(25.0));
    }
}

void TestSheet::autoFitFollowsTextAndFont() {
    Sheet sheet;
    sheet.paste(QStringLiteral("ab\tA much longer text than the other\tab\r"), 0, 0);
    sheet.setValue(1, 2, QDate(2026, 11, 1));
    sheet.range(QStringLiteral("C1:C2")).setFontSize(20);
    sheet.cells().autoFitColumns();
    QVERIFY(sheet.columnWidth(1) > 3 * sheet.columnWidth(0));
    QVERIFY(sheet.columnWidth(2) > sheet.columnWidth(0));       // larger font, longer date text
    QCOMPARE(sheet.columnWidth(3), Sheet::StandardColumnWidth); // nothing in it

    sheet.columns(QStringLiteral("B:B")).setWrapText(true);
    sheet.columns(QStringLiteral("B:B")).setColumnWidth(8);
    sheet.setValue(2, 0, QStringLiteral("x"));
    sheet.range(QStringLiteral("A3")).setFontSize(8);
    sheet.columns(QStringLiteral("B:B")).autoFitRows();
    QVERIFY(sheet.rowHeight(0) > 2 * sheet.rowHeight(2)); // wrapped lines at 11 pt
    QVERIFY(sheet.rowHeight(1) > sheet.rowHeight(2));     // 20 pt against 8 pt
    QVERIFY(sheet.rowHeight(2) < Sheet::StandardRowHeight);
}

void TestSheet::csvFieldsAreQuoted_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain") << "Acme"
                           << "Acme";
    QTest::newRow("comma") << "Smith, John"
                           << "\"Smith, John\"";
    QTest::newRow("quote") << "5\" pipe"
                           << "\"5\"\" pipe\"";
    QTest::newRow("line feed") << "a\nb"
                               << "\"a\nb\"";
    QTest::newRow("carriage return") << "a\rb"
                                     << "\"a\rb\"";
    QTest::newRow("blanks and semicolons stay") << " a; b "
                                                << " a; b ";
    QTest::newRow("empty") << ""
                           << "";
}

void TestSheet::csvFieldsAreQuoted() {
    QFETCH(QString, value);
    QFETCH(QString, field);
    QCOMPARE(Csv::field(value), field);
    const QList<QStringList> rows{{value, QStringLiteral("x")}, {QStringLiteral("y"), value}};
    QCOMPARE(Csv::parse(Csv::write(rows)), rows);
}

TESSALY_GUI_TEST_MAIN(TestSheet)
#include "tst_sheet.moc"
