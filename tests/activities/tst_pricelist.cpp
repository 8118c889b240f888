#include "ReportFixtures.h"
#include "TestSession.h"
#include "XlsFixture.h"

#include "activities/FormPriceList.h"
#include "activities/FormPriceListDelete.h"
#include "app/FormHelp.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "companies/FormBrowser.h"
#include "data/DataSource.h"
#include "data/ProductLists.h"
#include "platform/Locale.h"
#include "services/Desktop.h"
#include "services/MsgBox.h"
#include "widgets/DBGrid.h"
#include "widgets/DirList.h"
#include "widgets/FileList.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <xlsxwriter.h>

namespace {

// A price list workbook whose sheet "PRICES" holds the titles and the rows
// given; a cell that reads as a number is written as one.
bool writePricesXlsx(const QString& path, const QList<QStringList>& rows,
                     const QStringList& titles = {"PRODUCT", "CURRENCY", "PRICE", "NOTES"}) {
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "PRICES");
    for (int c = 0; c < titles.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), titles.at(c).toUtf8().constData(), nullptr);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows.at(r).size(); ++c) {
            const QString value = rows.at(r).at(c);
            bool number = false;
            const double n = value.toDouble(&number);
            if (value.isEmpty())
                continue;
            if (number)
                worksheet_write_number(sheet, lxw_row_t(r + 1), lxw_col_t(c), n, nullptr);
            else
                worksheet_write_string(sheet, lxw_row_t(r + 1), lxw_col_t(c),
                                       value.toUtf8().constData(), nullptr);
        }
    return workbook_close(book) == LXW_NO_ERROR;
}

QByteArray fileHash(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace

// The price list window and its delete window driven through their
// controls: the list and its search, new records and notes, the attached
// document, the import from Prices.xlsx with the price-format walk, the
// export, and deleting one or all records; what they store is read back
// with plain SQL, what they write through the workbook reader.
class TestPriceList : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void menuCommandAndDigitOpenTheWindow_data();
    void menuCommandAndDigitOpenTheWindow();
    void listedByProduct();
    void search_data();
    void search();
    void resetShowsEveryProduct();
    void newRecordIsStoredAtTheNextMove();
    void notesStayOnOneLine();
    void documentIndicatorFollowsTheRecord();
    void viewShowsTheDocument();
    void viewWithoutDocumentOffersToAttachOne_data();
    void viewWithoutDocumentOffersToAttachOne();
    void attachADocument();
    void importFromXlsx();
    void importFromAnOlderXls();
    void importAskedNoImportsNothing();
    void importWithChangedHeadersFails();
    void priceFormatWalk_data();
    void priceFormatWalk();
    void pricesTypedInTheUsersForm_data();
    void pricesTypedInTheUsersForm();
    void exportReadsBackAndImportsAgain();
    void deleteThisRecord_data();
    void deleteThisRecord();
    void deleteAllRecords();
    void deleteAllAnsweredNo();
    void hoverTexts_data();
    void hoverTexts();
    void manualChapter();

private:
    FormPriceList* open();
    QStringList listed(FormPriceList* form) const;
    void search(FormPriceList* form, const QString& typed);
    void runWalk(FormPriceList* form);
    void chooseRow(FormPriceList* form, const QString& product);
    FormPriceList* importNow(FormPriceList* form);
    template <class T = QWidget> static T* child(QWidget* form, const QString& name) {
        T* widget = form->findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    static void click(QWidget* form, const QString& name) {
        QTest::mouseClick(child<QPushButton>(form, name), Qt::LeftButton);
    }
    int count() const {
        return m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE13").toInt();
    }
    QString docs(const QString& name) const {
        return QDir::toNativeSeparators(m_session->file("Docs/" + name));
    }

    std::unique_ptr<TestSession> m_session;
};

void TestPriceList::init() {
    m_session = std::make_unique<TestSession>();
    QDir().mkpath(m_session->file("Docs"));
    QFile sheet(m_session->file("Docs/Anvil datasheet.txt"));
    QVERIFY(sheet.open(QIODevice::WriteOnly) && sheet.write("Anvil, 50 kg") > 0);
    sheet.close();
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE13 (TEXT01, TEXT02, TEXT03, TEXT04, MEMO01) VALUES "
                    "('Anvil', '120.00', 'USD', '" +
                        QString(docs("Anvil datasheet.txt")).replace("'", "''") +
                        "', 'Heavy'), "
                        "('Baker''s Oven', '99.90', 'EUR', NULL, 'Hot'), "
                        "('Rope 50%', '3.50', 'GBP', '', NULL), "
                        "('Säge', '15.00', 'EUR', NULL, 'Bosch* quality');");
    m_session->registerForms();
    Forms::show("FormMenu");
}

void TestPriceList::cleanup() {
    m_session.reset();
}

FormPriceList* TestPriceList::open() {
    QTest::mouseClick(child<QPushButton>(Forms::loaded("FormMenu"), "CommandPriceList"),
                      Qt::LeftButton);
    auto* form = qobject_cast<FormPriceList*>(Forms::loaded(FormPriceList::Name));
    if (!form || !form->isVisible())
        qFatal("the price list was not shown");
    return form;
}

QStringList TestPriceList::listed(FormPriceList* form) const {
    auto* grid = child<DBGrid>(form, "DBGrid1");
    QStringList texts;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        texts << grid->model()->index(row, 0).data().toString();
    return texts;
}

void TestPriceList::search(FormPriceList* form, const QString& typed) {
    auto* box = child<QLineEdit>(form, "TextSearch");
    QTest::mouseClick(box, Qt::LeftButton); // clicking in empties it
    QVERIFY(box->text().isEmpty());
    box->insert(typed); // typed: umlauts have no key of their own here
    QTest::keyClick(box, Qt::Key_Return);
}

// The walk may have run already while the window was shown again.
void TestPriceList::runWalk(FormPriceList* form) {
    for (int tick = 0; tick < 100 && form->isWalking(); ++tick)
        fireTimer(form, "Timer1");
    QVERIFY(!form->isWalking());
}

void TestPriceList::chooseRow(FormPriceList* form, const QString& product) {
    auto* grid = child<DBGrid>(form, "DBGrid1");
    const int row = int(listed(form).indexOf(product));
    QVERIFY2(row >= 0, qPrintable(product));
    const QModelIndex index = grid->model()->index(row, 0);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    QCOMPARE(child<QLineEdit>(form, "TEXT01")->text(), product);
}

FormPriceList* TestPriceList::importNow(FormPriceList* form) {
    m_session->expectMessage("Do you want to edit or import the spreadsheet " +
                                 QDir::toNativeSeparators(m_session->file("Prices.xlsx")) + " ?",
                             MsgBox::Yes);
    click(form, "CommandImport");
    settle(); // the closed window goes
    return qobject_cast<FormPriceList*>(Forms::loaded(FormPriceList::Name));
}

void TestPriceList::menuCommandAndDigitOpenTheWindow_data() {
    QTest::addColumn<bool>("digit");
    QTest::newRow("8. Price List") << false;
    QTest::newRow("key 8") << true;
}

void TestPriceList::menuCommandAndDigitOpenTheWindow() {
    QFETCH(bool, digit);
    Form* menu = Forms::loaded("FormMenu");
    QVERIFY(child<QPushButton>(menu, "CommandPriceList")->isEnabled());
    if (digit)
        QTest::keyClick(menu, Qt::Key_8);
    else
        click(menu, "CommandPriceList");
    auto* form = qobject_cast<FormPriceList*>(Forms::loaded(FormPriceList::Name));
    QVERIFY(form && form->isVisible());
    QCOMPARE(form->windowTitle(), QString("Price List"));
    QCOMPARE(form->size(), menu->size());
    QCOMPARE(listed(form).size(), 4);
}

void TestPriceList::listedByProduct() {
    FormPriceList* form = open();
    auto* grid = child<DBGrid>(form, "DBGrid1");
    QStringList captions;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        captions << grid->model()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(captions, (QStringList{"PRODUCT", "CURRENCY", "PRICE PER UNIT", "NOTES"}));
    QCOMPARE(listed(form),
             (QStringList{"Anvil", "Baker's Oven", "Rope 50%", QString::fromUtf8("Säge")}));
    QCOMPARE(child<QLineEdit>(form, "TEXT03")->text(), QString("USD"));
    QCOMPARE(child<QLineEdit>(form, "TEXT02")->text(), QString("120.00"));
    QCOMPARE(child<QPlainTextEdit>(form, "MEMO01")->toPlainText(), QString("Heavy"));
}

void TestPriceList::search_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("inside the name, any case") << "NVI" << QStringList{"Anvil"};
    QTest::newRow("not the notes") << "heavy" << QStringList{};
    QTest::newRow("not the currency") << "EUR" << QStringList{};
    QTest::newRow("apostrophe") << "Baker's" << QStringList{"Baker's Oven"};
    QTest::newRow("apostrophe alone") << "'" << QStringList{"Baker's Oven"};
    QTest::newRow("percent is no wildcard") << "50%" << QStringList{"Rope 50%"};
    QTest::newRow("star stays a wildcard") << "a*l" << QStringList{"Anvil"};
    QTest::newRow("question mark stays a wildcard")
        << "S?ge" << QStringList{QString::fromUtf8("Säge")};
    QTest::newRow("umlaut, any case")
        << QString::fromUtf8("SÄG") << QStringList{QString::fromUtf8("Säge")};
    QTest::newRow("statement text stays text") << "x' OR '1'='1" << QStringList{};
}

void TestPriceList::search() {
    QFETCH(QString, typed);
    QFETCH(QStringList, found);
    FormPriceList* form = open();
    search(form, typed);
    QCOMPARE(listed(form), found);
    QCOMPARE(count(), 4);
}

void TestPriceList::resetShowsEveryProduct() {
    FormPriceList* form = open();
    search(form, "anvil");
    QCOMPARE(listed(form), QStringList{"Anvil"});
    click(form, "CommandReset");
    QCOMPARE(listed(form).size(), 4);
}

void TestPriceList::newRecordIsStoredAtTheNextMove() {
    FormPriceList* form = open();
    QVERIFY(QTest::qWaitForWindowActive(form));
    click(form, "CommandNew");
    auto* product = child<QLineEdit>(form, "TEXT01");
    QVERIFY(product->hasFocus());
    QVERIFY(product->text().isEmpty());
    QTest::keyClicks(product, "Hammer");
    QTest::keyClicks(child<QLineEdit>(form, "TEXT03"), "CHF");
    QTest::keyClicks(child<QLineEdit>(form, "TEXT02"), "8.5");
    QCOMPARE(m_session
                 ->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE13 WHERE TEXT01 = "
                                         "'Hammer'")
                 .toInt(),
             0);
    click(form, "CommandReset");
    QCOMPARE(m_session->rows("TESSALY.mdb",
                             "SELECT TEXT02, TEXT03 FROM TABLE13 WHERE TEXT01 = 'Hammer'"),
             (QList<QVariantList>{{"8.5", "CHF"}}));
    QCOMPARE(listed(form).size(), 5);
}

void TestPriceList::notesStayOnOneLine() {
    FormPriceList* form = open();
    QVERIFY(QTest::qWaitForWindowActive(form));
    auto* notes = child<QPlainTextEdit>(form, "MEMO01");
    notes->setFocus();
    notes->moveCursor(QTextCursor::End);
    QTest::keyClicks(notes, " and big");
    QTest::keyClick(notes, Qt::Key_Return);
    QTest::keyClick(notes, Qt::Key_Enter);
    QTest::keyClicks(notes, "!");
    QCOMPARE(notes->toPlainText(), QString("Heavy and big!"));
    click(form, "CommandReset");
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT MEMO01 FROM TABLE13 WHERE TEXT01 = 'Anvil'"),
             QVariant("Heavy and big!"));
}

void TestPriceList::documentIndicatorFollowsTheRecord() {
    FormPriceList* form = open();
    fireTimer(form, "TimerDocument");
    QVERIFY(child(form, "Image1")->isVisible());
    QVERIFY(child(form, "CommandView")->isVisible());
    for (const QString product : {"Baker's Oven", "Rope 50%"}) { // NULL and empty
        chooseRow(form, product);
        fireTimer(form, "TimerDocument");
        QVERIFY(!child(form, "Image1")->isVisible());
        QVERIFY(!child(form, "CommandView")->isVisible());
    }
    chooseRow(form, "Anvil");
    fireTimer(form, "TimerDocument");
    QVERIFY(child(form, "CommandView")->isVisible());
    QCOMPARE(child<QTimer>(form, "TimerDocument")->interval(), 100);
}

void TestPriceList::viewShowsTheDocument() {
    FormPriceList* form = open();
    fireTimer(form, "TimerDocument");
    click(form, "CommandView");
    auto* browser = qobject_cast<FormBrowser*>(Forms::loaded(FormBrowser::Name));
    QVERIFY(browser && browser->isVisible());
    QCOMPARE(browser->windowTitle(), docs("Anvil datasheet.txt"));
}

void TestPriceList::viewWithoutDocumentOffersToAttachOne_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("yes: the lists to choose from") << int(MsgBox::Yes);
    QTest::newRow("no") << int(MsgBox::No);
}

void TestPriceList::viewWithoutDocumentOffersToAttachOne() {
    QFETCH(int, answer);
    FormPriceList* form = open();
    fireTimer(form, "TimerDocument");
    // The button is still there for a moment after moving to a product
    // without a document.
    chooseRow(form, "Baker's Oven");
    m_session->expectMessage("There are no documents attached to Baker's Oven. Do you want to "
                             "attach a document?",
                             MsgBox::Result(answer));
    click(form, "CommandView");
    QCOMPARE(MsgBox::last().style, int(MsgBox::YesNo | MsgBox::Question));
    QVERIFY(!Forms::isLoaded(FormBrowser::Name));
    for (const char* list : {"Drive1", "Dir1", "File1"})
        QCOMPARE(child(form, list)->isVisible(), answer == MsgBox::Yes);
}

void TestPriceList::attachADocument() {
    FormPriceList* form = open();
    chooseRow(form, "Baker's Oven");
    for (const char* list : {"Drive1", "Dir1", "File1"})
        QVERIFY(!child(form, list)->isVisible());
    click(form, "CommandAdd");
    for (const char* list : {"Drive1", "Dir1", "File1"})
        QVERIFY(child(form, list)->isVisible());
    child<DirList>(form, "Dir1")->setPath(m_session->file("Docs"));
    auto* files = child<FileList>(form, "File1");
    const QList<QListWidgetItem*> found = files->findItems("Anvil datasheet.txt", Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(found.first()).center());
    QCOMPARE(child<QLineEdit>(form, "TEXT04")->text(), docs("Anvil datasheet.txt"));
    for (const char* list : {"Drive1", "Dir1", "File1"})
        QVERIFY(!child(form, list)->isVisible());
    chooseRow(form, "Anvil"); // leaving the record stores it
    QCOMPARE(m_session->scalar("TESSALY.mdb",
                               "SELECT TEXT04 FROM TABLE13 WHERE TEXT01 = 'Baker''s Oven'"),
             QVariant(docs("Anvil datasheet.txt")));
}

void TestPriceList::importFromXlsx() {
    const QString book = m_session->file("Prices.xlsx");
    QVERIFY(writePricesXlsx(book,
                            {{"Anvil", "USD", "120", "Heavy"}, // already stored: imported again
                             {QString::fromUtf8("Größe XL"), QString::fromUtf8("€"), "12.5",
                              QString::fromUtf8("Preis in €, \"netto\"")}, // umlauts, the euro sign
                             {QString::fromUtf8("Größe XL"), QString::fromUtf8("€"), "12.5",
                              QString::fromUtf8("Preis in €, \"netto\"")}, // a repeated row
                             {"Nail", "", "on request", ""},               // blank cells, no number
                             {"", "", "", ""},
                             {"4711", "EUR", "0.125", "7"}})); // numbers everywhere
    const QByteArray before = fileHash(book);
    FormPriceList* form = importNow(open());
    QVERIFY(form && form->isVisible());
    runWalk(form);
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT03, TEXT02, MEMO01 FROM TABLE13 "
                                            "WHERE ROWID > 4 ORDER BY TEXT01"),
             (QList<QVariantList>{{"4711", "EUR", "0.13", "7"},
                                  {"Anvil", "USD", "120.00", "Heavy"},
                                  {QString::fromUtf8("Größe XL"), QString::fromUtf8("€"), "12.50",
                                   QString::fromUtf8("Preis in €, \"netto\"")},
                                  {"Nail", QVariant(), "on request", QVariant()}}));
    QCOMPARE(count(), 8);
    QVERIFY(!m_session
                 ->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM sqlite_master WHERE name = "
                                         "'Temp'")
                 .toBool());
    QCOMPARE(fileHash(book), before);     // the workbook is left as it was
    QVERIFY(MsgBox::shown().size() == 1); // the question, and no message after it
}

void TestPriceList::importFromAnOlderXls() {
    // An older installation has only the .xls.
    QVERIFY(QFile::remove(m_session->file("Prices.xlsx")));
    const QString book = m_session->file("Prices.xls");
    const QVariant blank;
    QVERIFY(XlsFixture::write(book, {{"PRICES",
                                      {{"PRODUCT", "CURRENCY", "PRICE", "NOTES"},
                                       {QString::fromUtf8("Größe XL"), QString::fromUtf8("€"), 12.5,
                                        QString::fromUtf8("Preis in €")},
                                       {QString::fromUtf8("Größe XL"), QString::fromUtf8("€"), 12.5,
                                        QString::fromUtf8("Preis in €")},
                                       {"Nail", blank, "on request", blank},
                                       {},
                                       {4711.0, "EUR", 3.0, 7.0}}},
                                     {"Notes", {{"not read"}}}}));
    const QByteArray before = fileHash(book);
    FormPriceList* form = open();
    m_session->expectMessage("Do you want to edit or import the spreadsheet " +
                                 QDir::toNativeSeparators(book) + " ?",
                             MsgBox::Yes);
    click(form, "CommandImport");
    settle();
    form = qobject_cast<FormPriceList*>(Forms::loaded(FormPriceList::Name));
    QVERIFY(form);
    runWalk(form);
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT03, TEXT02, MEMO01 FROM TABLE13 "
                                            "WHERE ROWID > 4 ORDER BY TEXT01"),
             (QList<QVariantList>{{"4711", "EUR", "3.00", "7"},
                                  {QString::fromUtf8("Größe XL"), QString::fromUtf8("€"), "12.50",
                                   QString::fromUtf8("Preis in €")},
                                  {"Nail", QVariant(), "on request", QVariant()}}));
    QCOMPARE(fileHash(book), before);
    QVERIFY(!QFile::exists(m_session->file("Prices.xlsx")));
}

void TestPriceList::importAskedNoImportsNothing() {
    QVERIFY(writePricesXlsx(m_session->file("Prices.xlsx"), {{"Nail", "USD", "1", ""}}));
    FormPriceList* form = open();
    m_session->expectMessage("Do you want to edit or import the spreadsheet ", MsgBox::No);
    click(form, "CommandImport");
    QCOMPARE(MsgBox::last().style, int(MsgBox::YesNo | MsgBox::Exclamation));
    settle();
    QCOMPARE(Forms::loaded(FormPriceList::Name), form);
    QCOMPARE(count(), 4);
}

void TestPriceList::importWithChangedHeadersFails() {
    QVERIFY(writePricesXlsx(m_session->file("Prices.xlsx"), {{"Nail", "USD", "1", ""}},
                            {"PRODUCT", "CURRENCY", "COST", "NOTES"}));
    FormPriceList* form = open();
    m_session->expectMessage("Do you want to edit or import the spreadsheet ", MsgBox::Yes);
    m_session->expectMessage(FormPriceList::importErrorMessage());
    click(form, "CommandImport");
    settle();
    form = qobject_cast<FormPriceList*>(Forms::loaded(FormPriceList::Name));
    QCOMPARE(MsgBox::last().style, int(MsgBox::OKOnly | MsgBox::Critical));
    QVERIFY(!form); // closed for the import, it stays closed
    QCOMPARE(count(), 4);
    QVERIFY(!m_session
                 ->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM sqlite_master WHERE name = "
                                         "'Temp'")
                 .toBool());
}

void TestPriceList::priceFormatWalk_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("walked");
    const QStringList locales = {"en_US", "de_DE", "fr_FR", "ar_EG", "hi_IN", "de_CH", "sv_SE"};
    for (const QString& locale : locales) {
        const QByteArray name = locale.toLatin1();
        QTest::newRow(name + " one decimal") << locale << "12.5"
                                             << "12.50";
        QTest::newRow(name + " whole") << locale << "7"
                                       << "7.00";
        QTest::newRow(name + " rounded") << locale << "0.125"
                                         << "0.13";
        QTest::newRow(name + " already two") << locale << "1234.50"
                                             << "1234.50";
        QTest::newRow(name + " below one") << locale << ".5"
                                           << "0.50";
        QTest::newRow(name + " negative") << locale << "-3"
                                          << "-3.00";
        QTest::newRow(name + " no number") << locale << "on request"
                                           << "on request";
        QTest::newRow(name + " empty") << locale << ""
                                       << "";
    }
    QTest::newRow("de_DE typed in its own form") << "de_DE"
                                                 << "12,5"
                                                 << "12.50";
    QTest::newRow("fr_FR typed in its own form") << "fr_FR"
                                                 << "0,75"
                                                 << "0.75";
}

void TestPriceList::priceFormatWalk() {
    QFETCH(QString, locale);
    QFETCH(QString, stored);
    QFETCH(QString, walked);
    Locale::pin(QLocale(locale));
    m_session->exec("TESSALY.mdb", "DELETE FROM TABLE13; INSERT INTO TABLE13 (TEXT01, TEXT02) "
                                   "VALUES ('Bolt', '" +
                                       stored + "'), ('Anvil', '9')");
    QVERIFY(writePricesXlsx(m_session->file("Prices.xlsx"), {}));
    FormPriceList* form = importNow(open());
    QVERIFY(form);
    runWalk(form);
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT TEXT02 FROM TABLE13 WHERE TEXT01 = 'Bolt'")
                 .toString(),
             walked);
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT TEXT02 FROM TABLE13 WHERE TEXT01 = 'Anvil'")
                 .toString(),
             QString("9.00"));
    // Back on the first product.
    QCOMPARE(child<QLineEdit>(form, "TEXT01")->text(), QString("Anvil"));
}

void TestPriceList::pricesTypedInTheUsersForm_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("walked"); // empty: left as typed
    QTest::newRow("en_US groups") << "en_US"
                                  << "1,234.5"
                                  << "1234.50";
    QTest::newRow("de_DE groups and comma") << "de_DE"
                                            << "1.234,5"
                                            << "1234.50";
    QTest::newRow("fr_FR narrow blank groups")
        << "fr_FR" << QString::fromUtf8("1\u202F234,5") << "1234.50";
    QTest::newRow("de_CH apostrophe groups")
        << "de_CH" << QString::fromUtf8("1\u2019234.5") << "1234.50";
    QTest::newRow("hi_IN lakh groups") << "hi_IN"
                                       << "1,23,456.7"
                                       << "123456.70";
    QTest::newRow("ar_EG native digits")
        << "ar_EG" << QString::fromUtf8("\u0661\u0662\u066B\u0665") << "12.50";
    QTest::newRow("fa_IR native digits") << "fa_IR" << QString::fromUtf8("\u06F7") << "7.00";
    QTest::newRow("two points") << "en_US"
                                << "12.5.3"
                                << "";
    QTest::newRow("currency sign") << "en_US"
                                   << "$12"
                                   << "";
    QTest::newRow("blank") << "de_DE"
                           << "  "
                           << "";
}

void TestPriceList::pricesTypedInTheUsersForm() {
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(QString, walked);
    Locale::pin(QLocale(locale));
    const auto formatted = ProductLists::formattedPrice(typed);
    QCOMPARE(formatted.value_or(QString()), walked);
}

void TestPriceList::exportReadsBackAndImportsAgain() {
    m_session->exec("TESSALY.mdb", "UPDATE TABLE13 SET MEMO01 = 'two' || char(9) || 'cells?' "
                                   "WHERE TEXT01 = 'Anvil'");
    FormPriceList* form = open();
    click(form, "CommandExcel");
    const QList<QUrl> opened = Desktop::opened();
    QCOMPARE(opened.size(), 1);
    const QString file = opened.first().toLocalFile();
    QVERIFY2(QFileInfo(file).fileName().startsWith("Tessaly Report "), qPrintable(file));
    QCOMPARE(QFileInfo(file).absolutePath(), m_session->file("Temp"));
    const Worksheet sheet = ReportFixtures::readBack(file);
    QCOMPARE(sheet.name, QString("PRICES"));
    QCOMPARE(ReportFixtures::titles(sheet), (QStringList{"PRODUCT", "CURRENCY", "PRICE", "NOTES"}));
    QCOMPARE(ReportFixtures::column(sheet, 0),
             (QStringList{"Anvil", "Baker's Oven", "Rope 50%", QString::fromUtf8("Säge")}));
    QCOMPARE(sheet.cell(1, 2), QVariant(120.0));
    QCOMPARE(sheet.cell(2, 2), QVariant(99.9));
    QCOMPARE(sheet.cell(1, 3), QVariant("two\tcells?"));
    QCOMPARE(sheet.cell(4, 3), QVariant("Bosch* quality"));

    // The export serves as the next import file.
    QVERIFY(QFile::remove(m_session->file("Prices.xlsx")));
    QVERIFY(QFile::copy(file, m_session->file("Prices.xlsx")));
    m_session->exec("TESSALY.mdb", "DELETE FROM TABLE13");
    form = importNow(form);
    QVERIFY(form);
    runWalk(form);
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT03, TEXT02, MEMO01 FROM TABLE13 "
                                            "ORDER BY TEXT01"),
             (QList<QVariantList>{{"Anvil", "USD", "120.00", "two\tcells?"},
                                  {"Baker's Oven", "EUR", "99.90", "Hot"},
                                  {"Rope 50%", "GBP", "3.50", QVariant()},
                                  {QString::fromUtf8("Säge"), "EUR", "15.00", "Bosch* quality"}}));
}

void TestPriceList::deleteThisRecord_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("left");
    QTest::newRow("yes") << int(MsgBox::Yes) << 3;
    QTest::newRow("no") << int(MsgBox::No) << 4;
}

void TestPriceList::deleteThisRecord() {
    QFETCH(int, answer);
    QFETCH(int, left);
    FormPriceList* form = open();
    chooseRow(form, "Baker's Oven");
    click(form, "CommandDelete");
    Form* ask = Forms::loaded(FormPriceListDelete::Name);
    QVERIFY(ask && ask->isVisible());
    QCOMPARE(ask->windowTitle(), QString("Delete"));
    QCOMPARE(child<QLabel>(ask, "Label1")->text(), QString("What do you want to delete?"));
    m_session->expectMessage("Are you sure toy want to delete Baker's Oven?",
                             MsgBox::Result(answer));
    click(ask, "CommandThis");
    QCOMPARE(MsgBox::last().style, int(MsgBox::YesNo | MsgBox::Exclamation));
    QVERIFY(!ask->isVisible());
    QCOMPARE(count(), left);
    QCOMPARE(
        m_session
            ->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE13 WHERE TEXT01 = 'Baker''s Oven'")
            .toInt(),
        left - 3);
    QCOMPARE(listed(form).size(), left);
}

void TestPriceList::deleteAllRecords() {
    FormPriceList* form = open();
    search(form, "a"); // the rows of the list, whatever it shows
    click(form, "CommandDelete");
    auto* ask = qobject_cast<FormPriceListDelete*>(Forms::loaded(FormPriceListDelete::Name));
    QVERIFY(ask);
    click(form, "CommandReset");
    m_session->expectMessage("Are you sure toy want to delete all records on the price list?",
                             MsgBox::Yes);
    click(ask, "CommandAll");
    QVERIFY(!ask->isVisible()); // it goes on while hidden
    QVERIFY(ask->isDeleting());
    for (int tick = 0; tick < 100 && ask->isDeleting(); ++tick)
        fireTimer(ask, "Timer1");
    QVERIFY(!ask->isDeleting());
    QCOMPARE(count(), 0);
    QVERIFY(listed(form).isEmpty());
    QVERIFY(child<QLineEdit>(form, "TEXT01")->text().isEmpty());
}

void TestPriceList::deleteAllAnsweredNo() {
    FormPriceList* form = open();
    click(form, "CommandDelete");
    auto* ask = qobject_cast<FormPriceListDelete*>(Forms::loaded(FormPriceListDelete::Name));
    m_session->expectMessage("Are you sure toy want to delete all records on the price list?",
                             MsgBox::No);
    click(ask, "CommandAll");
    QVERIFY(!ask->isVisible());
    QVERIFY(!ask->isDeleting());
    QCOMPARE(count(), 4);
}

void TestPriceList::hoverTexts_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::newRow("add") << "CommandAdd"
                         << "Attach a document such as product speficifation or an image of the "
                            "product to Baker's Oven.";
    QTest::newRow("view") << "CommandView"
                          << "View a document such as product speficifation or an image of the "
                             "product to Baker's Oven.";
    QTest::newRow("import") << "CommandImport"
                            << "Import price list. Press F1 for help.";
    QTest::newRow("new") << "CommandNew"
                         << "Add new record.";
    QTest::newRow("delete")
        << "CommandDelete"
        << "Delete. Allows you the option to delete this record or to delete all records.";
    QTest::newRow("excel") << "CommandExcel"
                           << "Send to MS-Excel.";
    QTest::newRow("notes") << "MEMO01"
                           << "Enter any notes such as description, size or special features "
                              "related to the product.";
    QTest::newRow("search") << "TextSearch"
                            << "Enter text or partial text of a product and press 'Enter'.";
}

void TestPriceList::hoverTexts() {
    QFETCH(QString, control);
    QFETCH(QString, text);
    FormPriceList* form = open();
    chooseRow(form, "Baker's Oven");
    HoverHelp* help = form->hoverHelp();
    QWidget* target = child(form, control);
    QCOMPARE(help->text(target), text);
    help->showFor(target);
    QVERIFY(child(form, "FrameHelp")->isVisible());
    QCOMPARE(child<QLabel>(form, "LabelHelp")->text(), text);
    help->showFor(child(form, "DBGrid1")); // over the list it goes, as over the background
    QVERIFY(!child(form, "FrameHelp")->isVisible());
    help->showFor(target);
    help->showBackground();
    QVERIFY(!child(form, "FrameHelp")->isVisible());
}

void TestPriceList::manualChapter() {
    FormPriceList* form = open();
    QTest::keyRelease(form, Qt::Key_F1);
    settle();
    auto* help = qobject_cast<FormHelp*>(Forms::loaded("FormHelp"));
    QVERIFY(help && help->isVisible());
    QPdfDocument manual;
    QCOMPARE(manual.load(m_session->file("Help.pdf")), QPdfDocument::Error::None);
    QVERIFY(manual.getAllText(14).text().contains("Price List"));
    const QString text = manual.getAllText(16).text();
    QVERIFY2(text.simplified().startsWith("Price list"), qPrintable(text.left(80)));
}

QTEST_MAIN(TestPriceList)
#include "tst_pricelist.moc"
