#include "ReportFixtures.h"
#include "TestSession.h"
#include "XlsFixture.h"

#include "activities/FormCompetition.h"
#include "app/FormHelp.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "data/DataSource.h"
#include "formats/WorkbookReader.h"
#include "formats/Worksheet.h"
#include "services/Desktop.h"
#include "services/MsgBox.h"
#include "widgets/DBGrid.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <xlsxwriter.h>

namespace {

// A competition workbook: its first sheet "COMPETITION" holds the titles and
// the rows given, a second sheet holds notes that the import leaves alone.
bool writeCompetitionXlsx(const QString& path, const QList<QStringList>& rows,
                          const QStringList& titles = {"COMPETITOR'S PRODUCT", "COMPETITOR'S NAME",
                                                       "EQUIVALENT"}) {
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "COMPETITION");
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
    worksheet_write_string(workbook_add_worksheet(book, "Notes"), 0, 0, "kept", nullptr);
    return workbook_close(book) == LXW_NO_ERROR;
}

} // namespace

// The competitor products window driven through its controls: the list and
// its search, new, save with the display-name walk, delete, the import from
// Competition.xlsx (or an older Competition.xls) and the export; what it
// stores is read back with plain SQL, what it writes through the workbook
// reader.
class TestCompetition : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void menuCommandAndDigitOpenTheWindow_data();
    void menuCommandAndDigitOpenTheWindow();
    void listedByCompetitor();
    void search_data();
    void search();
    void resetShowsEveryProduct();
    void newProductIsSavedWithItsDisplayName();
    void walkWritesEveryDisplayName();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void importFromAWorkbook_data();
    void importFromAWorkbook();
    void importFromAnOlderXls();
    void importOfTitlesAloneKeepsTheTitles();
    void importWithChangedHeadersFails();
    void editOpensTheWorkbook();
    void exportReadsBackAndImportsAgain();
    void hoverTexts_data();
    void hoverTexts();
    void toolbarSendsKeystrokes();
    void manualChapterOnTheHelpPage();

private:
    FormCompetition* open();
    QStringList listed(FormCompetition* form) const;
    void search(FormCompetition* form, const QString& typed);
    void runWalk(FormCompetition* form);
    FormCompetition* importNow(FormCompetition* form);
    template <class T = QWidget> static T* child(QWidget* form, const QString& name) {
        T* widget = form->findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    static void click(QWidget* form, const QString& name) {
        QTest::mouseClick(child<QPushButton>(form, name), Qt::LeftButton);
    }
    QList<QVariantList> stored() const {
        return m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT02, TEXT03, TEXT04 FROM TABLE11 "
                                              "ORDER BY TEXT01, TEXT02, TEXT03");
    }

    std::unique_ptr<TestSession> m_session;
};

void TestCompetition::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE11 (TEXT01, TEXT02, TEXT03, TEXT04, MEMO01) VALUES "
                    "('Glue X', 'Rival Inc', 'Our Glue', 'Glue X From: Rival Inc', 'Sticky'), "
                    "('O''Neil''s Tape', 'Brandt', 'Our Tape', NULL, NULL), "
                    "('Rope 50%', 'Acme', 'Our Rope', NULL, NULL), "
                    "('Säge', 'Zimmer', 'Our Saw*', NULL, NULL);");
    m_session->registerForms();
    Forms::show("FormMenu");
}

void TestCompetition::cleanup() {
    m_session.reset();
}

FormCompetition* TestCompetition::open() {
    QTest::mouseClick(child<QPushButton>(Forms::loaded("FormMenu"), "CommandCompetition"),
                      Qt::LeftButton);
    auto* form = qobject_cast<FormCompetition*>(Forms::loaded(FormCompetition::Name));
    if (!form || !form->isVisible())
        qFatal("the competition window was not shown");
    return form;
}

QStringList TestCompetition::listed(FormCompetition* form) const {
    auto* grid = child<DBGrid>(form, "DBGrid1");
    QStringList texts;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        texts << grid->model()->index(row, 1).data().toString();
    return texts;
}

void TestCompetition::search(FormCompetition* form, const QString& typed) {
    auto* box = child<QLineEdit>(form, "TextSearch");
    QTest::mouseClick(box, Qt::LeftButton); // clicking in empties it
    QVERIFY(box->text().isEmpty());
    QTest::keyClicks(box, typed);
    QTest::keyClick(box, Qt::Key_Return);
}

// The walk may have run already while the window was shown again.
void TestCompetition::runWalk(FormCompetition* form) {
    for (int tick = 0; tick < 100 && form->isWalking(); ++tick)
        fireTimer(form, "Timer1");
    QVERIFY(!form->isWalking());
}

void TestCompetition::menuCommandAndDigitOpenTheWindow_data() {
    QTest::addColumn<bool>("digit");
    QTest::newRow("4. Competition") << false;
    QTest::newRow("key 4") << true;
}

void TestCompetition::menuCommandAndDigitOpenTheWindow() {
    QFETCH(bool, digit);
    Form* menu = Forms::loaded("FormMenu");
    if (digit)
        QTest::keyClick(menu, Qt::Key_4);
    else
        click(menu, "CommandCompetition");
    auto* form = qobject_cast<FormCompetition*>(Forms::loaded(FormCompetition::Name));
    QVERIFY(form && form->isVisible());
    QCOMPARE(form->windowTitle(), QString("Competition"));
    QCOMPARE(form->size(), menu->size());
    QCOMPARE(listed(form).size(), 4);
}

void TestCompetition::listedByCompetitor() {
    FormCompetition* form = open();
    auto* grid = child<DBGrid>(form, "DBGrid1");
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QString("Competitor"));
    QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(),
             QString("Competitor's Product"));
    QCOMPARE(grid->model()->headerData(2, Qt::Horizontal).toString(), QString("Equivalent"));
    QCOMPARE(listed(form),
             (QStringList{"Rope 50%", "O'Neil's Tape", "Glue X", QString::fromUtf8("Säge")}));
    QCOMPARE(child<QLineEdit>(form, "TextProduct")->text(), QString("Rope 50%"));
    QCOMPARE(child<QLineEdit>(form, "TextCompetitor")->text(), QString("Acme"));
    QCOMPARE(child<QLineEdit>(form, "TextEquivalent")->text(), QString("Our Rope"));
}

void TestCompetition::search_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("inside the product, any case") << "LUE" << QStringList{"Glue X"};
    QTest::newRow("inside the equivalent") << "tape" << QStringList{"O'Neil's Tape"};
    QTest::newRow("not the competitor") << "Rival" << QStringList{};
    QTest::newRow("apostrophe") << "Neil's" << QStringList{"O'Neil's Tape"};
    QTest::newRow("apostrophe alone") << "'" << QStringList{"O'Neil's Tape"};
    QTest::newRow("percent is no wildcard") << "50%" << QStringList{"Rope 50%"};
    QTest::newRow("star stays a wildcard") << "g*x" << QStringList{"Glue X"};
    QTest::newRow("question mark stays a wildcard")
        << "S?ge" << QStringList{QString::fromUtf8("Säge")};
    QTest::newRow("umlaut, any case")
        << QString::fromUtf8("SÄGE") << QStringList{QString::fromUtf8("Säge")};
    QTest::newRow("statement text stays text") << "x' OR '1'='1" << QStringList{};
}

void TestCompetition::search() {
    QFETCH(QString, typed);
    QFETCH(QStringList, found);
    FormCompetition* form = open();
    search(form, typed);
    QCOMPARE(listed(form), found);
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE11").toInt(), 4);
}

void TestCompetition::resetShowsEveryProduct() {
    FormCompetition* form = open();
    search(form, "glue");
    QCOMPARE(listed(form).size(), 1);
    click(form, "CommandReset");
    QCOMPARE(listed(form).size(), 4);
}

void TestCompetition::newProductIsSavedWithItsDisplayName() {
    FormCompetition* form = open();
    click(form, "CommandNew");
    QVERIFY(child<QLineEdit>(form, "TextProduct")->text().isEmpty());
    QTest::keyClicks(child<QLineEdit>(form, "TextProduct"), "Bohrer ");
    child<QLineEdit>(form, "TextProduct")->insert(QString::fromUtf8("€5")); // no ASCII key
    QTest::keyClicks(child<QLineEdit>(form, "TextCompetitor"), "Baker's");
    QTest::keyClicks(child<QLineEdit>(form, "TextEquivalent"), "Our Drill");
    QTest::keyClicks(child<QPlainTextEdit>(form, "TextNotes"), "Cheaper");
    click(form, "CommandSave");
    runWalk(form);
    QCOMPARE(m_session->rows("TESSALY.mdb",
                             "SELECT TEXT02, TEXT03, TEXT04, MEMO01 FROM TABLE11 WHERE TEXT01 = "
                             "'Bohrer €5'"),
             (QList<QVariantList>{{"Baker's", "Our Drill",
                                   QString::fromUtf8("Bohrer €5 From: Baker's"), "Cheaper"}}));
    QCOMPARE(listed(form).size(), 5);
}

void TestCompetition::walkWritesEveryDisplayName() {
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE11 (TEXT01, TEXT02) VALUES ('Lonely', NULL), "
                                   "('Old', 'Renamed Co');"
                                   "UPDATE TABLE11 SET TEXT04 = 'Old From: Former Co' WHERE "
                                   "TEXT01 = 'Old'");
    FormCompetition* form = open();
    click(form, "CommandSave");
    runWalk(form);
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT TEXT04 FROM TABLE11 ORDER BY TEXT01"),
             (QStringList{"Glue X From: Rival Inc", "Lonely From: ", "O'Neil's Tape From: Brandt",
                          "Old From: Renamed Co", "Rope 50% From: Acme",
                          QString::fromUtf8("Säge From: Zimmer")}));
    // Back on the first product of the list: the one without a competitor.
    QCOMPARE(child<QLineEdit>(form, "TextProduct")->text(), QString("Lonely"));
}

void TestCompetition::deleteAsksFirst_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("left");
    QTest::newRow("yes") << int(MsgBox::Yes) << 3;
    QTest::newRow("no") << int(MsgBox::No) << 4;
}

void TestCompetition::deleteAsksFirst() {
    QFETCH(int, answer);
    QFETCH(int, left);
    FormCompetition* form = open();
    search(form, "neil");
    m_session->expectMessage("Are you sure toy want to delete O'Neil's Tape?",
                             MsgBox::Result(answer));
    click(form, "CommandDelete");
    QCOMPARE(MsgBox::last().style, int(MsgBox::YesNo | MsgBox::Exclamation));
    QCOMPARE(MsgBox::last().title, QString("Tessaly"));
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE11").toInt(), left);
    QCOMPARE(
        m_session
            ->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE11 WHERE TEXT01 = 'O''Neil''s Tape'")
            .toInt(),
        left - 3);
}

FormCompetition* TestCompetition::importNow(FormCompetition* form) {
    click(form, "CommandImport");
    auto* frame = child<QGroupBox>(form, "Frame1");
    if (!frame->isVisible() || child(form, "TextProduct")->isVisible())
        qFatal("the import question was not asked");
    click(frame, "CommandImport2");
    settle(); // the closed window goes
    return qobject_cast<FormCompetition*>(Forms::loaded(FormCompetition::Name));
}

void TestCompetition::importFromAWorkbook_data() {
    QTest::addColumn<bool>("olderXls");
    QTest::newRow("Competition.xlsx") << false;
    QTest::newRow("only an older Competition.xls") << true;
}

void TestCompetition::importFromAWorkbook() {
    QFETCH(bool, olderXls);
    const QList<QStringList> rows = {
        {"Glue X", "Rival Inc", "Our Glue"},                                     // stored already
        {QString::fromUtf8("Säge €9"), QString::fromUtf8("O'Hara & Söhne"), ""}, // a blank
        {QString::fromUtf8("Säge €9"), QString::fromUtf8("O'Hara & Söhne"), ""}, // repeated
        {"4711", "Nummer GmbH", "12.5"},                                         // numbers
        {"", "", ""},
        {"Tape Y", "", "Our Tape"}};
    QString book = m_session->file("Competition.xlsx");
    if (olderXls) {
        QVERIFY(QFile::remove(book));
        book = m_session->file("Competition.xls");
        QList<QList<QVariant>> cells = {
            {"COMPETITOR'S PRODUCT", "COMPETITOR'S NAME", "EQUIVALENT"}};
        for (const QStringList& row : rows) {
            QList<QVariant> values;
            for (const QString& text : row) {
                bool number = false;
                const double n = text.toDouble(&number);
                values.append(text.isEmpty() ? QVariant() : number ? QVariant(n) : QVariant(text));
            }
            cells.append(values);
        }
        QVERIFY(XlsFixture::write(book, {{"COMPETITION", cells}, {"Notes", {{"kept"}}}}));
    } else {
        QVERIFY(writeCompetitionXlsx(book, rows));
    }
    FormCompetition* form = open();
    m_session->expectMessage(FormCompetition::importedMessage(), MsgBox::OK);
    form = importNow(form);
    QVERIFY(form && form->isVisible());
    QCOMPARE(MsgBox::last().style, int(MsgBox::OKOnly));
    runWalk(form);
    QCOMPARE(
        m_session->rows("TESSALY.mdb",
                        "SELECT TEXT01, TEXT02, TEXT03, TEXT04 FROM TABLE11 WHERE ROWKEY > 4 "
                        "ORDER BY TEXT01"),
        (QList<QVariantList>{{"4711", "Nummer GmbH", "12.5", "4711 From: Nummer GmbH"},
                             {"Glue X", "Rival Inc", "Our Glue", "Glue X From: Rival Inc"},
                             {QString::fromUtf8("Säge €9"), QString::fromUtf8("O'Hara & Söhne"),
                              QVariant(), QString::fromUtf8("Säge €9 From: O'Hara & Söhne")},
                             {"Tape Y", QVariant(), "Our Tape", "Tape Y From: "}}));
    QVERIFY(!m_session
                 ->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM sqlite_master WHERE name = "
                                         "'Temp'")
                 .toBool());
    // Emptied for the next batch (written as the .xlsx): the titles stay,
    // the other sheet too.
    QString error;
    auto reader = WorkbookReader::open(m_session->file("Competition.xlsx"), &error);
    QVERIFY2(reader, qPrintable(error));
    const auto sheet = reader->sheet("COMPETITION", &error);
    QVERIFY(sheet);
    QCOMPARE(ReportFixtures::titles(*sheet),
             (QStringList{"COMPETITOR'S PRODUCT", "COMPETITOR'S NAME", "EQUIVALENT"}));
    QCOMPARE(sheet->rowCount(), 1);
    QCOMPARE(reader->sheet("Notes", &error)->cell(0, 0), QVariant("kept"));
}
void TestCompetition::importFromAnOlderXls() {
    // An older installation has only the .xls (repeated rows, an empty row,
    // umlauts, an apostrophe and a blank equivalent).
    QVERIFY(QFile::remove(m_session->file("Competition.xlsx")));
    QVERIFY(QFile::copy(QString(TESSALY_FIXTURES) + "/Competition.xls",
                        m_session->file("Competition.xls")));
    FormCompetition* form = open();
    click(form, "CommandImport");
    QCOMPARE(child<QLabel>(form, "LabelImport")->text(),
             "Do you want to edit or import the spreadsheet " +
                 QDir::toNativeSeparators(m_session->file("Competition.xls")) + " ?");
    m_session->expectMessage(FormCompetition::importedMessage());
    click(child(form, "Frame1"), "CommandImport2");
    settle();
    form = qobject_cast<FormCompetition*>(Forms::loaded(FormCompetition::Name));
    QVERIFY(form);
    runWalk(form);
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT02, TEXT03, TEXT04 FROM TABLE11 "
                                            "WHERE ROWKEY > 4 ORDER BY TEXT01"),
             (QList<QVariantList>{{"Glue X", "Rival Inc", "Our Glue", "Glue X From: Rival Inc"},
                                  {QString::fromUtf8("Säge 5"), QString::fromUtf8("O'Hara & Söhne"),
                                   QVariant(), QString::fromUtf8("Säge 5 From: O'Hara & Söhne")},
                                  {"Tape Y", "Other Co", "Our Tape", "Tape Y From: Other Co"}}));
    // The emptied list is written as the .xlsx; the next import reads that one.
    const Worksheet sheet = ReportFixtures::readBack(m_session->file("Competition.xlsx"));
    QCOMPARE(sheet.name, QString("COMPETITION"));
    QCOMPARE(sheet.rowCount(), 1);
    QCOMPARE(ReportFixtures::titles(sheet).first(), QString("COMPETITOR'S PRODUCT"));
    m_session->expectMessage(FormCompetition::importedMessage());
    form = importNow(form);
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE11").toInt(), 7);
}

void TestCompetition::importOfTitlesAloneKeepsTheTitles() {
    QVERIFY(writeCompetitionXlsx(m_session->file("Competition.xlsx"), {}));
    m_session->expectMessage(FormCompetition::importedMessage());
    importNow(open());
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE11").toInt(), 4);
    const Worksheet sheet = ReportFixtures::readBack(m_session->file("Competition.xlsx"));
    QCOMPARE(ReportFixtures::titles(sheet),
             (QStringList{"COMPETITOR'S PRODUCT", "COMPETITOR'S NAME", "EQUIVALENT"}));
}

void TestCompetition::importWithChangedHeadersFails() {
    const QString book = m_session->file("Competition.xlsx");
    QVERIFY(writeCompetitionXlsx(book, {{"Hammer", "Rival Inc", "Our Hammer"}},
                                 {"PRODUCT", "COMPETITOR'S NAME", "EQUIVALENT"}));
    m_session->expectMessage(FormCompetition::importErrorMessage());
    FormCompetition* form = importNow(open());
    QCOMPARE(MsgBox::last().style, int(MsgBox::OKOnly | MsgBox::Critical));
    QVERIFY(!form); // closed for the import, it stays closed
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE11").toInt(), 4);
    QVERIFY(!m_session
                 ->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM sqlite_master WHERE name = "
                                         "'Temp'")
                 .toBool());
    // Nothing imported, nothing emptied.
    QCOMPARE(ReportFixtures::readBack(book).rowCount(), 2);
}

void TestCompetition::editOpensTheWorkbook() {
    FormCompetition* form = open();
    click(form, "CommandImport");
    click(child(form, "Frame1"), "CommandEdit");
    QCOMPARE(Desktop::opened(),
             QList<QUrl>{QUrl::fromLocalFile(m_session->file("Competition.xlsx"))});
    QVERIFY(!child(form, "Frame1")->isVisible());
    QVERIFY(child(form, "TextProduct")->isVisible());
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE11").toInt(), 4);
}

void TestCompetition::exportReadsBackAndImportsAgain() {
    m_session->exec("TESSALY.mdb", "UPDATE TABLE11 SET MEMO01 = 'line one' || char(10) || 'two'");
    FormCompetition* form = open();
    click(form, "CommandExcel");
    const QList<QUrl> opened = Desktop::opened();
    QCOMPARE(opened.size(), 1);
    const QString file = opened.first().toLocalFile();
    QVERIFY2(QFileInfo(file).fileName().startsWith("Tessaly Report "), qPrintable(file));
    QCOMPARE(QFileInfo(file).absolutePath(), m_session->file("Temp"));
    const Worksheet sheet = ReportFixtures::readBack(file);
    QCOMPARE(ReportFixtures::titles(sheet),
             (QStringList{"COMPETITOR'S PRODUCT", "SUPPLIER", "EQUIVALENT"}));
    QCOMPARE(ReportFixtures::column(sheet, 0),
             (QStringList{"Glue X", "O'Neil's Tape", "Rope 50%", QString::fromUtf8("Säge")}));
    QCOMPARE(ReportFixtures::column(sheet, 1),
             (QStringList{"Rival Inc", "Brandt", "Acme", "Zimmer"}));
    QCOMPARE(ReportFixtures::column(sheet, 2),
             (QStringList{"Our Glue", "Our Tape", "Our Rope", "Our Saw*"}));

    // The export serves as the next import file.
    QVERIFY(QFile::remove(m_session->file("Competition.xlsx")));
    QVERIFY(QFile::copy(file, m_session->file("Competition.xlsx")));
    m_session->exec("TESSALY.mdb", "DELETE FROM TABLE11");
    form->Load();
    m_session->expectMessage(FormCompetition::importedMessage());
    form = importNow(form);
    runWalk(form);
    QCOMPARE(
        m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT02, TEXT03, TEXT04 FROM TABLE11 "
                                       "ORDER BY TEXT01"),
        (QList<QVariantList>{{"Glue X", "Rival Inc", "Our Glue", "Glue X From: Rival Inc"},
                             {"O'Neil's Tape", "Brandt", "Our Tape", "O'Neil's Tape From: Brandt"},
                             {"Rope 50%", "Acme", "Our Rope", "Rope 50% From: Acme"},
                             {QString::fromUtf8("Säge"), "Zimmer", "Our Saw*",
                              QString::fromUtf8("Säge From: Zimmer")}}));
}

void TestCompetition::hoverTexts_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    const QString fields = "Enter competitor's product information and your equivalents. Do not "
                           "forget to save before you exit.";
    QTest::newRow("delete") << "CommandDelete"
                            << "Deletes this record.";
    QTest::newRow("excel") << "CommandExcel"
                           << "Send to MS-Excel.";
    QTest::newRow("import") << "CommandImport"
                            << "Import competitor's information. Press F1 for help.";
    QTest::newRow("new") << "CommandNew"
                         << "Add new record.";
    QTest::newRow("save") << "CommandSave"
                          << "Save your changes.";
    QTest::newRow("reset") << "CommandReset"
                           << "Reset your search to display all records.";
    QTest::newRow("search") << "TextSearch"
                            << "Enter text or partial text of a product and press 'Enter'.";
    QTest::newRow("competitor") << "TextCompetitor" << fields;
    QTest::newRow("product") << "TextProduct" << fields;
    QTest::newRow("equivalent") << "TextEquivalent" << fields;
    QTest::newRow("notes") << "TextNotes" << fields;
    QTest::newRow("navigation bar") << "Data1"
                                    << "Navigate through your records.";
}

void TestCompetition::hoverTexts() {
    QFETCH(QString, control);
    QFETCH(QString, text);
    FormCompetition* form = open();
    HoverHelp* help = form->hoverHelp();
    QWidget* target = nullptr;
    for (QWidget* w : form->findChildren<QWidget*>(control))
        target = target ? target : w;
    QVERIFY(target);
    QCOMPARE(help->text(target), text);
    help->showFor(target);
    QVERIFY(child(form, "FrameHelp")->isVisible());
    QCOMPARE(child<QLabel>(form, "LabelHelp")->text(), text);
    help->showBackground();
    QVERIFY(!child(form, "FrameHelp")->isVisible());
}

void TestCompetition::toolbarSendsKeystrokes() {
    FormCompetition* form = open();
    QVERIFY(QTest::qWaitForWindowActive(form));
    auto* box = child<QLineEdit>(form, "TextEquivalent");
    box->setFocus();
    box->selectAll();
    auto* toolbar = child<QWidget>(form, "Toolbar1");
    auto press = [&](const QString& key) {
        for (QAction* action : toolbar->actions())
            if (action->objectName() == key)
                action->trigger();
        settle();
    };
    press("Cut");
    QVERIFY(box->text().isEmpty());
    press("Undo");
    QCOMPARE(box->text(), QString("Our Rope"));
}

void TestCompetition::manualChapterOnTheHelpPage() {
    FormCompetition* form = open();
    QTest::keyRelease(form, Qt::Key_F1);
    settle();
    auto* help = qobject_cast<FormHelp*>(Forms::loaded("FormHelp"));
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->page(), 15);
    QPdfDocument manual;
    QCOMPARE(manual.load(m_session->file("Help.pdf")), QPdfDocument::Error::None);
    const QString text = manual.getAllText(14).text();
    QVERIFY2(text.simplified().startsWith("Competitor products"), qPrintable(text.left(80)));
}

QTEST_MAIN(TestCompetition)
#include "tst_competition.moc"
