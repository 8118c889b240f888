#include "BiffWriter.h"
#include "TestSession.h"

#include "activities/FormSales.h"
#include "activities/FormSalesFigures.h"
#include "app/FormHelp.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "companies/FormCompanies.h"
#include "data/DataSource.h"
#include "formats/WorkbookReader.h"
#include "services/Desktop.h"
#include "services/MsgBox.h"
#include "widgets/CompanyPicker.h"
#include "widgets/DBCombo.h"
#include "widgets/DBGrid.h"
#include "widgets/DirList.h"
#include "widgets/FileList.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <xlsxwriter.h>

namespace {

const QString Euro = QString(QChar(0x20AC));
const QString Imported = "Sales figures have been imported successfully";
const QString Failed = "There was an error importing the sales figures.\n"
                       "This error could have the following causes:\n\n"
                       "You entered incorrect information in the mandatory fields.\n"
                       "Your MS-Excel spreadsheet was not saved in 2000-2003 (.xls) format.";
const QString NotImported = "Your sales figures have not been imported correctly.";

// The sales sheet: account numbers with a dot and a blank in the column
// name, a customer column with an apostrophe, repeated rows, umlauts, the
// euro sign, decimals, dates and blank cells.
QList<QList<QVariant>> salesRows() {
    return {
        {"Account No.", "Customer's name", "Invoice Date", "Amount", "Note"},
        {"1001", QString("Müller & Söhne"), QDate(2026, 3, 1), 1234.56, Euro + " 5 off"},
        {"1001", QString("Müller & Söhne"), QDate(2026, 3, 1), 1234.56, Euro + " 5 off"},
        {"1001", QString("Grüße"), QDate(2026, 6, 15), 7.0, QVariant()},
        {"OB'7", "O'Brien", QDate(2026, 1, 10), -0.5, "x"},
        {"1002", "Other", QDate(2026, 2, 2), 3.0, QVariant()},
        {QVariant(), "No account", QDate(2026, 4, 4), 1.0, QVariant()},
    };
}

// The rows as SALES holds them, values as text.
QList<QStringList> storedRows() {
    return {
        {"1001", QString("Müller & Söhne"), "2026-03-01", "1234.56", Euro + " 5 off"},
        {"1001", QString("Müller & Söhne"), "2026-03-01", "1234.56", Euro + " 5 off"},
        {"1001", QString("Grüße"), "2026-06-15", "7", ""},
        {"OB'7", "O'Brien", "2026-01-10", "-0.5", "x"},
        {"1002", "Other", "2026-02-02", "3", ""},
        {"", "No account", "2026-04-04", "1", ""},
    };
}

bool writeXlsx(const QString& path, const QString& sheetName, const QList<QList<QVariant>>& rows) {
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, sheetName.toUtf8().constData());
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "m/d/yyyy");
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows.at(r).size(); ++c) {
            const QVariant& cell = rows.at(r).at(c);
            if (cell.typeId() == QMetaType::QString) {
                worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c),
                                       cell.toString().toUtf8().constData(), nullptr);
            } else if (cell.typeId() == QMetaType::QDate) {
                const QDate d = cell.toDate();
                lxw_datetime when = {d.year(), d.month(), d.day(), 0, 0, 0};
                worksheet_write_datetime(sheet, lxw_row_t(r), lxw_col_t(c), &when, date);
            } else if (!cell.isNull()) {
                worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c), cell.toDouble(), nullptr);
            }
        }
    return workbook_close(book) == LXW_NO_ERROR;
}

enum class Kind { Xlsx, Xls, XlsFallback };

bool writeWorkbook(const QString& path, Kind kind, const QString& sheet,
                   const QList<QList<QVariant>>& rows) {
    switch (kind) {
    case Kind::Xlsx:
        return writeXlsx(path, sheet, rows);
    case Kind::Xls:
        return BiffWriter::write(path, {{sheet, rows}}, BiffWriter::Version::Biff8);
    case Kind::XlsFallback:
        // BIFF5 as some programs write it: FreeXL lists no sheets in it.
        return BiffWriter::write(path, {{sheet, rows}}, {BiffWriter::Version::Biff5, true, {}});
    }
    return false;
}

} // namespace

// The sales import window and the sales window of a company, driven through
// their controls; what the import stored is read back with plain SQL.
class TestSales : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void menuCommandOpensTheImportWindow();
    void importsTheWorkbook_data();
    void importsTheWorkbook();
    void importingAgainReplacesTheFigures();
    void failedImportKeepsTheFigures_data();
    void failedImportKeepsTheFigures();
    void incompleteFieldsAreReported();
    void importButtonFollowsTheBoxes();
    void importHoverTextsOfferTheWorkbook_data();
    void importHoverTextsOfferTheWorkbook();
    void openShowsTheWorkbook();

    void functionKeyAndButtonOpenTheSalesWindow_data();
    void functionKeyAndButtonOpenTheSalesWindow();
    void rowsOfTheCompanyNewestFirst_data();
    void rowsOfTheCompanyNewestFirst();
    void companyChosenInThePicker();
    void unreadableFiguresSwitchToTheCompanies_data();
    void unreadableFiguresSwitchToTheCompanies();
    void exportToAWorkbook_data();
    void exportToAWorkbook();
    void importWhileTheSalesWindowIsOpen();
    void salesHoverTexts_data();
    void salesHoverTexts();
    void manualChapters_data();
    void manualChapters();

private:
    FormSales* openImport();
    void import(FormSales* form, const QString& file, const QString& sheet, const QString& account,
                const QString& date);
    void prepareImported();
    FormSalesFigures* openSales(const QString& company);
    void chooseCompany(const QString& typed);
    QList<QStringList> sales(const QString& where = "1") const;
    QStringList shownColumn(FormSalesFigures* form, const QString& title) const;
    template <class T = QWidget> static T* child(QWidget* form, const QString& name) {
        T* widget = form->findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    static void click(QWidget* form, const QString& name) {
        QTest::mouseClick(child<QPushButton>(form, name), Qt::LeftButton);
    }
    static void type(QWidget* form, const QString& box, const QString& text) {
        auto* edit = child<QLineEdit>(form, box);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }

    std::unique_ptr<TestSession> m_session;
};

void TestSales::init() {
    m_session = std::make_unique<TestSession>();
    QDir().mkpath(m_session->file("Books"));
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT02, TEXT20) VALUES "
                    "(1, 'Acme', '1001', 'Company'), (2, 'O''Brien & Co', 'OB''7', 'Company'), "
                    "(3, 'Wildcard Ltd', '100*', 'Company'), (4, 'Nameless', NULL, 'Company'), "
                    "(5, 'Quiet Inc', '9999', 'Company')");
    m_session->registerForms();
    Forms::show("FormMenu");
    Desktop::record();
}

void TestSales::cleanup() {
    m_session.reset();
}

FormSales* TestSales::openImport() {
    click(Forms::loaded("FormMenu"), "CommandImportSales");
    auto* form = qobject_cast<FormSales*>(Forms::loaded(FormSales::Name));
    if (!form || !form->isVisible())
        qFatal("the import window was not shown");
    settle();
    return form;
}

void TestSales::import(FormSales* form, const QString& file, const QString& sheet,
                       const QString& account, const QString& date) {
    child<DirList>(form, "Dir1")->setPath(m_session->file("Books"));
    auto* files = child<FileList>(form, "File1");
    const QList<QListWidgetItem*> found = files->findItems(file, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(file));
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(found.first()).center());
    QCOMPARE(child<QLineEdit>(form, "TextPath")->text(),
             QDir::toNativeSeparators(m_session->file("Books/" + file)));
    type(form, "TextSheet", sheet);
    type(form, "TextAC", account);
    type(form, "TextDate", date);
    click(form, "CommandImport");
}

void TestSales::prepareImported() {
    QVERIFY(
        writeWorkbook(m_session->file("Books/Sales.xlsx"), Kind::Xlsx, "Sales 2026", salesRows()));
    FormSales* form = openImport();
    m_session->expectMessage(Imported);
    import(form, "Sales.xlsx", "Sales 2026", "Account No.", "Invoice Date");
    QVERIFY(form->unload());
    settle();
}

QList<QStringList> TestSales::sales(const QString& where) const {
    QList<QStringList> rows;
    for (const QVariantList& row :
         m_session->rows("User.mdb", "SELECT \"Account No.\", \"Customer's name\", "
                                     "\"Invoice Date\", Amount, Note FROM SALES WHERE " +
                                         where + " ORDER BY ROWKEY")) {
        QStringList texts;
        for (const QVariant& value : row)
            texts << value.toString();
        rows << texts;
    }
    return rows;
}

void TestSales::chooseCompany(const QString& typed) {
    DBCombo* combo = Forms::get<FormCompanies>()->selector();
    combo->lineEdit()->selectAll();
    // Typed up to the first letter beyond ASCII; the completion does the rest.
    QString ascii;
    for (const QChar ch : typed) {
        if (ch.unicode() > 0x7E)
            break;
        ascii += ch;
    }
    QTest::keyClicks(combo->lineEdit(), ascii);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
}

FormSalesFigures* TestSales::openSales(const QString& company) {
    click(Forms::loaded("FormMenu"), "CommandCompanies");
    FormCompanies* companies = Forms::get<FormCompanies>();
    chooseCompany(company);
    if (companies->companyName() != company)
        qFatal("the companies window did not reach %s", qPrintable(company));
    QTest::keyClick(companies, Qt::Key_F8);
    // A window that cannot show the figures goes at once.
    QPointer<FormSalesFigures> form =
        qobject_cast<FormSalesFigures*>(Forms::loaded(FormSalesFigures::Name));
    settle();
    if (!form || !QTest::qWaitForWindowActive(form.data()))
        return nullptr;
    settle();
    return form;
}

QStringList TestSales::shownColumn(FormSalesFigures* form, const QString& title) const {
    auto* grid = child<DBGrid>(form, "DBGrid1");
    QAbstractItemModel* model = grid->model();
    int column = -1;
    for (int c = 0; c < model->columnCount(); ++c)
        if (model->headerData(c, Qt::Horizontal).toString() == title)
            column = c;
    if (column < 0)
        qFatal("no column %s", qPrintable(title));
    QStringList texts;
    for (int r = 0; r < model->rowCount(); ++r)
        texts << model->index(r, column).data().toString();
    return texts;
}

void TestSales::menuCommandOpensTheImportWindow() {
    FormSales* form = openImport();
    QCOMPARE(form->windowTitle(), QString("Import Sales Figures..."));
    QCOMPARE(child<QLabel>(form, "LabelSelect")->text(),
             QString("Select the MS-Excel spreadsheet that contains your sales figures."));
    QCOMPARE(child<FileList>(form, "File1")->pattern(), QString("*.xls; *.xlsx"));
    QCOMPARE(child<QPushButton>(form, "CommandOpen")->text(), QString("&Open"));
    QCOMPARE(child<QPushButton>(form, "CommandImport")->text(), QString("&Import"));
    QVERIFY(!child<QPushButton>(form, "CommandOpen")->isEnabled());
    QVERIFY(!child<QPushButton>(form, "CommandImport")->isEnabled());
    QVERIFY(child<QLineEdit>(form, "TextPath")->isReadOnly());
    // Both kinds of workbook are offered, nothing else.
    for (const char* name : {"A.xls", "B.xlsx", "C.csv", "D.txt"})
        QVERIFY(writeXlsx(m_session->file("Books/") + name, "S", {{"x"}}));
    child<DirList>(form, "Dir1")->setPath(m_session->file("Books"));
    auto* files = child<FileList>(form, "File1");
    QStringList listed;
    for (int i = 0; i < files->count(); ++i)
        listed << files->item(i)->text();
    QCOMPARE(listed, (QStringList{"A.xls", "B.xlsx"}));
}

void TestSales::importsTheWorkbook_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("file");
    QTest::newRow("xlsx") << int(Kind::Xlsx) << "Sales.xlsx";
    QTest::newRow("xls") << int(Kind::Xls) << "Sales.xls";
    QTest::newRow("xls FreeXL lists no sheets in") << int(Kind::XlsFallback) << "Sales.xls";
}

void TestSales::importsTheWorkbook() {
    QFETCH(int, kind);
    QFETCH(QString, file);
    QVERIFY(writeWorkbook(m_session->file("Books/" + file), Kind(kind), "Sales 2026", salesRows()));
    FormSales* form = openImport();
    m_session->expectMessage(Imported);
    // Letter case and a trailing dollar sign aside, as the user may type them.
    import(form, file, "SALES 2026$", "account no.", "Invoice Date");
    QCOMPARE(MsgBox::shown().last().title, QString("Tessaly"));
    QCOMPARE(sales(), storedRows());
    QCOMPARE(m_session->column("User.mdb", "SELECT name FROM pragma_table_info('SALES')"),
             (QStringList{"ROWKEY", "Account No.", "Customer's name", "Invoice Date", "Amount",
                          "Note"}));
    // The account column has its index.
    QCOMPARE(m_session->column("User.mdb",
                               "SELECT ii.name FROM sqlite_master m, pragma_index_info(m.name) ii "
                               "WHERE m.type = 'index' AND m.tbl_name = 'SALES'"),
             QStringList{"Account No."});
    // The choices are kept for the next time.
    QCOMPARE(m_session->rows("User.mdb", "SELECT TEXT07, TEXT08, TEXT09, TEXT10 FROM TABLE02"),
             (QList<QVariantList>{{QDir::toNativeSeparators(m_session->file("Books/" + file)),
                                   "Invoice Date", "account no.", "SALES 2026$"}}));
    QVERIFY(form->unload());
    settle();
    form = openImport();
    QCOMPARE(child<QLineEdit>(form, "TextAC")->text(), QString("account no."));
    QCOMPARE(child<QLineEdit>(form, "TextSheet")->text(), QString("SALES 2026$"));
}

void TestSales::importingAgainReplacesTheFigures() {
    prepareImported();
    QList<QList<QVariant>> fewer = salesRows().mid(0, 2);
    fewer[1][0] = "2002";
    QVERIFY(writeWorkbook(m_session->file("Books/Fewer.xls"), Kind::Xls, "Sales 2026", fewer));
    FormSales* form = openImport();
    m_session->expectMessage(Imported);
    import(form, "Fewer.xls", "Sales 2026", "Account No.", "Invoice Date");
    QCOMPARE(sales(), (QList<QStringList>{{"2002", QString("Müller & Söhne"), "2026-03-01",
                                           "1234.56", Euro + " 5 off"}}));
    QCOMPARE(m_session
                 ->scalar("User.mdb", "SELECT COUNT(*) FROM sqlite_master WHERE name "
                                      "LIKE 'SALES%' AND type = 'table'")
                 .toInt(),
             1);
}

void TestSales::failedImportKeepsTheFigures_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("why");
    QTest::newRow("wrong sheet") << "Sales.xlsx"
                                 << "Sales 2025"
                                 << "Account No."
                                 << "Invoice Date"
                                 << "has no worksheet named 'Sales 2025'";
    QTest::newRow("wrong account column")
        << "Sales.xlsx"
        << "Sales 2026"
        << "Acount No."
        << "Invoice Date"
        << "The worksheet 'Sales 2026' has no column named 'Acount No.' in its first row.";
    QTest::newRow("wrong date column")
        << "Sales.xlsx"
        << "Sales 2026"
        << "Account No."
        << "Date"
        << "The worksheet 'Sales 2026' has no column named 'Date' in its first row.";
    QTest::newRow("brackets and quotes in the names")
        << "Sales.xlsx"
        << "Sales 2026"
        << "Account] No.'"
        << "[Invoice Date]"
        << "has no column named 'Account] No.'' in its first row.";
    QTest::newRow("damaged file") << "Damaged.xls"
                                  << "Sales 2026"
                                  << "Account No."
                                  << "Invoice Date"
                                  << "cannot be read";
}

void TestSales::failedImportKeepsTheFigures() {
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(QString, account);
    QFETCH(QString, date);
    QFETCH(QString, why);
    prepareImported();
    QFile damaged(m_session->file("Books/Damaged.xls"));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(600, 'x'));
    damaged.close();

    FormSales* form = openImport();
    m_session->expectMessage(Failed);
    import(form, file, sheet, account, date);
    const MsgBox::Shown shown = MsgBox::shown().last();
    QVERIFY2(shown.text.contains(why), qPrintable(shown.text));
    QVERIFY(shown.style & MsgBox::Critical);
    QCOMPARE(shown.title, QString("Tessaly"));
    // The figures of the import before are all there, and nothing else.
    QCOMPARE(sales(), storedRows());
    QCOMPARE(m_session->column("User.mdb",
                               "SELECT name FROM sqlite_master WHERE type = 'table' AND name "
                               "LIKE 'SALES%'"),
             QStringList{"SALES"});
}

void TestSales::incompleteFieldsAreReported() {
    prepareImported();
    FormSales* form = openImport();
    m_session->expectMessage("You must complete all fields!");
    import(form, "Sales.xlsx", "", "Account No.", "Invoice Date");
    QVERIFY(MsgBox::shown().last().style & MsgBox::Information);
    QCOMPARE(sales(), storedRows());
}

void TestSales::importButtonFollowsTheBoxes() {
    FormSales* form = openImport();
    auto* importButton = child<QPushButton>(form, "CommandImport");
    QVERIFY(writeXlsx(m_session->file("Books/Sales.xlsx"), "S", {{"x"}}));
    child<DirList>(form, "Dir1")->setPath(m_session->file("Books"));
    auto* files = child<FileList>(form, "File1");
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(files->item(0)).center());
    // Choosing a file enables it at once.
    QVERIFY(importButton->isEnabled());
    // From the first focus on the account box on, the timer checks the boxes.
    type(form, "TextAC", "Account");
    fireTimer(form, "Timer1");
    QVERIFY(!importButton->isEnabled()); // no date column yet
    type(form, "TextDate", "Date");
    fireTimer(form, "Timer1");
    QVERIFY(importButton->isEnabled());
    type(form, "TextAC", "");
    fireTimer(form, "Timer1");
    QVERIFY(!importButton->isEnabled());
}

void TestSales::importHoverTextsOfferTheWorkbook_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enablesOpen");
    QTest::newRow("account") << "TextAC"
                             << "Enter the name of the column, or first cell in the column, "
                                "that represents the account number field in the spreadsheet. "
                                "It is very important that the correct field name is entered. "
                                "If unsure, click on 'Open' to open the spreadsheet."
                             << true;
    QTest::newRow("date") << "TextDate"
                          << "Enter the name of the column, or first cell in the column, that "
                             "represents the date field in the spreadsheet. It is very "
                             "important that the correct field name is entered. If unsure, "
                             "click on 'Open' to open the spreadsheet."
                          << true;
    QTest::newRow("sheet") << "TextSheet"
                           << "Enter the name of the worksheet in the spreadsheet. It is very "
                              "important that the correct sheet name is entered. If unsure, "
                              "click on 'Open' to open the spreadsheet."
                           << true;
    QTest::newRow("open") << "CommandOpen"
                          << "Opens the selected spreadsheet." << false;
}

void TestSales::importHoverTextsOfferTheWorkbook() {
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(bool, enablesOpen);
    FormSales* form = openImport();
    HoverHelp* help = form->hoverHelp();
    help->showFor(child(form, control));
    QVERIFY(child(form, "FrameHelp")->isVisible());
    QCOMPARE(child<QLabel>(form, "LabelHelp")->text(), text);
    QCOMPARE(child<QPushButton>(form, "CommandOpen")->isEnabled(), enablesOpen);
    help->showBackground();
    QVERIFY(!child(form, "FrameHelp")->isVisible());
}

void TestSales::openShowsTheWorkbook() {
    QVERIFY(writeWorkbook(m_session->file("Books/Sales.xls"), Kind::XlsFallback, "Sales 2026",
                          salesRows()));
    FormSales* form = openImport();
    child<DirList>(form, "Dir1")->setPath(m_session->file("Books"));
    auto* files = child<FileList>(form, "File1");
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(files->item(0)).center());
    form->hoverHelp()->showFor(child(form, "TextSheet"));
    click(form, "CommandOpen");
    QCOMPARE(Desktop::opened(),
             QList<QUrl>{QUrl::fromLocalFile(m_session->file("Books/Sales.xls"))});
}

void TestSales::functionKeyAndButtonOpenTheSalesWindow_data() {
    QTest::addColumn<bool>("button");
    QTest::newRow("F8") << false;
    QTest::newRow("SALES F8") << true;
}

void TestSales::functionKeyAndButtonOpenTheSalesWindow() {
    QFETCH(bool, button);
    prepareImported();
    click(Forms::loaded("FormMenu"), "CommandCompanies");
    FormCompanies* companies = Forms::get<FormCompanies>();
    chooseCompany("Acme");
    // From the contacts window, as from every working window.
    QTest::keyClick(companies, Qt::Key_F3);
    Form* contacts = Forms::loaded("FormContacts");
    QVERIFY(contacts && QTest::qWaitForWindowActive(contacts));
    if (button)
        click(contacts, "CommandF8");
    else
        QTest::keyClick(contacts, Qt::Key_F8);
    auto* form = qobject_cast<FormSalesFigures*>(Forms::loaded(FormSalesFigures::Name));
    QVERIFY(form && QTest::qWaitForWindowActive(form));
    settle();
    QVERIFY(!Forms::isLoaded("FormContacts"));
    QCOMPARE(form->size(), companies->size());
    fireTimer(form, "TimerLoad");
    QCOMPARE(form->windowTitle(), QString("Sales - Acme"));
    QCOMPARE(child<QLabel>(form, "LabelDateandTime")->text(), QString("12/10/2026 10:00 AM"));
    QVERIFY(!child<QPushButton>(form, "CommandF8")->isEnabled());
    QCOMPARE(shownColumn(form, "Invoice Date").size(), 3);
    // Closing it brings back the main menu.
    QVERIFY(form->unload());
    settle();
    QVERIFY(Forms::isVisible("FormMenu"));
}

void TestSales::rowsOfTheCompanyNewestFirst_data() {
    QTest::addColumn<QString>("company");
    QTest::addColumn<QStringList>("customers");
    QTest::newRow("account of digits")
        << "Acme"
        << QStringList{QString("Grüße"), QString("Müller & Söhne"), QString("Müller & Söhne")};
    QTest::newRow("apostrophe in the account") << "O'Brien & Co" << QStringList{"O'Brien"};
    // The account number is compared as it is: a star is no wildcard.
    QTest::newRow("star in the account") << "Wildcard Ltd" << QStringList{};
    QTest::newRow("no account number") << "Nameless" << QStringList{"No account"};
    QTest::newRow("no rows") << "Quiet Inc" << QStringList{};
}

void TestSales::rowsOfTheCompanyNewestFirst() {
    QFETCH(QString, company);
    QFETCH(QStringList, customers);
    prepareImported();
    FormSalesFigures* form = openSales(company);
    QVERIFY(form);
    QCOMPARE(shownColumn(form, "Customer's name"), customers);
    const QStringList dates = shownColumn(form, "Invoice Date");
    QStringList sorted = dates;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return QDate::fromString(a, "M/d/yyyy") > QDate::fromString(b, "M/d/yyyy");
    });
    QCOMPARE(dates, sorted);
}

void TestSales::companyChosenInThePicker() {
    prepareImported();
    FormSalesFigures* form = openSales("Quiet Inc");
    QVERIFY(form);
    QCOMPARE(shownColumn(form, "Customer's name"), QStringList{});
    auto* picker = child<CompanyPicker>(form, "DBComboSelect");
    picker->lineEdit()->selectAll();
    QTest::keyClicks(picker->lineEdit(), "O'Brien");
    QTest::keyClick(picker->lineEdit(), Qt::Key_Return);
    settle();
    QCOMPARE(Forms::get<FormCompanies>()->companyName(), QString("O'Brien & Co"));
    QCOMPARE(shownColumn(form, "Customer's name"), QStringList{"O'Brien"});
}

void TestSales::unreadableFiguresSwitchToTheCompanies_data() {
    QTest::addColumn<QString>("setup");
    QTest::newRow("nothing imported") << "DROP TABLE SALES";
    QTest::newRow("account column renamed")
        << "ALTER TABLE SALES RENAME COLUMN \"Account No.\" TO \"Account\"";
    QTest::newRow("date column renamed")
        << "ALTER TABLE SALES RENAME COLUMN \"Invoice Date\" TO \"Date\"";
}

void TestSales::unreadableFiguresSwitchToTheCompanies() {
    QFETCH(QString, setup);
    prepareImported();
    m_session->exec("User.mdb", setup);
    m_session->expectMessage(NotImported);
    QVERIFY(!openSales("Acme"));
    QVERIFY(MsgBox::shown().last().style & MsgBox::Critical);
    Form* companies = Forms::loaded("FormCompanies");
    QVERIFY(companies && companies->isVisible());
    QVERIFY(!Forms::isLoaded(FormSalesFigures::Name));
}

void TestSales::exportToAWorkbook_data() {
    QTest::addColumn<QString>("company");
    QTest::addColumn<int>("rows");
    QTest::newRow("rows of the company") << "Acme" << 3;
    QTest::newRow("no rows: the titles alone") << "Quiet Inc" << 0;
}

void TestSales::exportToAWorkbook() {
    QFETCH(QString, company);
    QFETCH(int, rows);
    prepareImported();
    FormSalesFigures* form = openSales(company);
    QVERIFY(form);
    click(form, "CommandExcel");
    QCOMPARE(Desktop::opened().size(), 1);
    const QString path = Desktop::opened().first().toLocalFile();
    QVERIFY2(
        QFileInfo(path).fileName().contains(QRegularExpression("^Tessaly Report \\d{6}\\.xlsx$")),
        qPrintable(path));
    QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(m_session->file("Temp")).absoluteFilePath());
    QString error;
    auto reader = WorkbookReader::open(path, &error);
    QVERIFY2(reader, qPrintable(error));
    const auto sheet = reader->sheet(reader->sheetNames().first(), &error);
    QVERIFY(sheet);
    QCOMPARE(sheet->rowCount(), rows + 1);
    QStringList titles;
    for (int c = 0; c < sheet->columnCount(); ++c)
        titles << sheet->cell(0, c).toString();
    QCOMPARE(titles,
             (QStringList{"Account No.", "Customer's name", "Invoice Date", "Amount", "Note"}));
    if (rows > 0) {
        QCOMPARE(sheet->cell(1, 1).toString(), QString("Grüße")); // newest first
        QCOMPARE(sheet->cell(2, 4).toString(), Euro + " 5 off");
        QCOMPARE(sheet->frozenRows, 1);
        QVERIFY(!sheet->autoFilter.isEmpty());
    }
}

void TestSales::importWhileTheSalesWindowIsOpen() {
    prepareImported();
    FormSalesFigures* form = openSales("Acme");
    QVERIFY(form);
    QCOMPARE(shownColumn(form, "Customer's name").size(), 3);
    QList<QList<QVariant>> other = salesRows().mid(0, 2);
    QVERIFY(writeWorkbook(m_session->file("Books/Other.xlsx"), Kind::Xlsx, "Sales 2026", other));
    FormSales* importWindow = openImport();
    m_session->expectMessage(Imported);
    import(importWindow, "Other.xlsx", "Sales 2026", "Account No.", "Invoice Date");
    QCOMPARE(sales().size(), 1);
    QCOMPARE(shownColumn(form, "Customer's name"), QStringList{QString("Müller & Söhne")});
}

void TestSales::salesHoverTexts_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::newRow("excel") << "CommandExcel"
                           << "Display sales to O'Brien & Co in MS-Excel.";
    QTest::newRow("help") << "CommandHelp"
                          << "Tessaly Help";
    QTest::newRow("exit") << "CommandExit"
                          << "Exit and close the program.";
    QTest::newRow("company picker") << "DBComboSelect" << CompanyPicker::hoverText();
}

void TestSales::salesHoverTexts() {
    QFETCH(QString, control);
    QFETCH(QString, text);
    prepareImported();
    FormSalesFigures* form = openSales("O'Brien & Co");
    QVERIFY(form);
    HoverHelp* help = form->hoverHelp();
    help->showFor(child(form, control));
    QVERIFY(child(form, "FrameHelp")->isVisible());
    QCOMPARE(child<QLabel>(form, "LabelHelp")->text(), text);
    help->showBackground();
    QVERIFY(!child(form, "FrameHelp")->isVisible());
}

void TestSales::manualChapters_data() {
    QTest::addColumn<bool>("salesWindow");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("title");
    QTest::newRow("import") << false << 13 << "Importing sales figures";
    QTest::newRow("sales") << true << 52 << "Sales figures of a company";
}

void TestSales::manualChapters() {
    QFETCH(bool, salesWindow);
    QFETCH(int, page);
    QFETCH(QString, title);
    prepareImported();
    QWidget* form = salesWindow ? static_cast<QWidget*>(openSales("Acme")) : openImport();
    QVERIFY(form);
    QTest::keyRelease(form, Qt::Key_F1);
    settle();
    auto* help = qobject_cast<FormHelp*>(Forms::loaded("FormHelp"));
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->page(), page);
    QPdfDocument manual;
    QCOMPARE(manual.load(m_session->file("Help.pdf")), QPdfDocument::Error::None);
    const QString text = manual.getAllText(page - 1).text();
    QVERIFY2(text.simplified().startsWith(title), qPrintable(text.left(80)));
}

QTEST_MAIN(TestSales)
#include "tst_sales.moc"
