#include "TestSession.h"

#include "activities/FormCompetitors.h"
#include "app/FormHelp.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "companies/FormCompanies.h"
#include "data/DataSource.h"
#include "services/MsgBox.h"
#include "services/PrintWindow.h"
#include "services/SendKeys.h"
#include "services/Twips.h"
#include "widgets/CompanyPicker.h"
#include "widgets/DBCombo.h"
#include "widgets/DBGrid.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

namespace {

const QString Euro = QString(QChar(0x20AC));

} // namespace

// The competitor activity window driven through its controls: the list of
// the company's entries, a new entry and an edit in the entry panel, the
// currency signs and the toolbar's delete; what it stores is read back with
// plain SQL.
class TestCompetitors : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void functionKeyAndButtonOpenTheWindow_data();
    void functionKeyAndButtonOpenTheWindow();
    void entriesOfTheCompanyNewestFirst();
    void newEntryStoresTheCompanysSalesPersonDivisionAndName_data();
    void newEntryStoresTheCompanysSalesPersonDivisionAndName();
    void currencySigns_data();
    void currencySigns();
    void editingMovesTheDateToToday();
    void editWithoutEntriesDoesNothing();
    void toolbarDeleteRemovesTheEntryAtOnce();
    void toolbarDeleteGivesUpANewEntry();
    void toolbarEditKeysGoToTheFocusedBox_data();
    void toolbarEditKeysGoToTheFocusedBox();
    void companyChosenInThePicker();
    void productsEnteredMeanwhileAreOffered();
    void printsTheWindow();
    void hoverTexts_data();
    void hoverTexts();
    void manualChapterOnTheHelpPage();

private:
    FormCompetitors* open(const QString& company);
    void chooseCompany(const QString& typed);
    void chooseInCombo(FormCompetitors* form, const QString& combo, const QString& typed);
    QList<QStringList> shown(FormCompetitors* form) const;
    template <class T = QWidget> static T* child(QWidget* form, const QString& name) {
        T* widget = form->findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    static void click(QWidget* form, const QString& name) {
        QTest::mouseClick(child<QPushButton>(form, name), Qt::LeftButton);
    }
    static void toolbar(FormCompetitors* form, const QString& key) {
        auto* bar = child<QToolBar>(form, "Toolbar1");
        QAction* action = bar->findChild<QAction*>(key);
        QVERIFY(action);
        QTest::mouseClick(bar->widgetForAction(action), Qt::LeftButton);
    }
    void pickRow(FormCompetitors* form, int row) {
        auto* grid = child<DBGrid>(form, "DBGrid1");
        const QModelIndex index = grid->model()->index(row, 1);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    }
    QList<QVariantList> stored(const QString& columns, const QString& where = "1") const {
        return m_session->rows("TESSALY.mdb", "SELECT " + columns + " FROM TABLE10 WHERE " + where +
                                                  " ORDER BY ROWKEY");
    }

    std::unique_ptr<TestSession> m_session;
};

void TestCompetitors::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec(
        "TESSALY.mdb",
        "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT13, TEXT18, TEXT20) VALUES "
        "(1, 'Acme', 'Industrial', 'Ann', 'Company'), "
        "(2, 'O''Hara & Söhne', 'Food''s', 'Bob O''Neil', 'Company'), "
        "(3, 'Crane Works', 'Lifting', 'Ann', 'Company');"
        "INSERT INTO TABLE10 (ROWKEY, NUMBER01, TEXT02, TEXT03, NUMBER02, TEXT04, DATE01) "
        "VALUES (1, 1, 'Glue', 'Glue X From: Rival Inc', 100, '$ 2.50', '2026-03-01'),"
        "(2, 1, 'Tape', 'Tape Y From: Other Co', 40, '£ 1', '2026-11-20'),"
        "(3, 2, 'Glue', 'Glue X From: Rival Inc', 5, 'R 9', '2026-01-01');"
        "INSERT INTO TABLE11 (TEXT01, TEXT02, TEXT04) VALUES "
        "('Glue X', 'Rival Inc', 'Glue X From: Rival Inc'), "
        "('Säge 5', 'O''Hara', 'Säge 5 From: O''Hara'), "
        "('Tape Y', 'Other Co', 'Tape Y From: Other Co');"
        "INSERT INTO MT04 (TEXT01) VALUES ('Glue'), ('Saws'), ('Tape');");
    m_session->registerForms();
    Forms::show("FormMenu");
}

void TestCompetitors::cleanup() {
    m_session.reset();
}

void TestCompetitors::chooseCompany(const QString& typed) {
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

FormCompetitors* TestCompetitors::open(const QString& company) {
    click(Forms::loaded("FormMenu"), "CommandCompanies");
    FormCompanies* companies = Forms::get<FormCompanies>();
    chooseCompany(company);
    if (companies->companyName() != company)
        qFatal("the companies window did not reach %s", qPrintable(company));
    QTest::keyClick(companies, Qt::Key_F6);
    auto* form = qobject_cast<FormCompetitors*>(Forms::loaded(FormCompetitors::Name));
    if (!form || !QTest::qWaitForWindowActive(form))
        qFatal("the competitor activity window was not shown");
    settle();
    return form;
}

void TestCompetitors::chooseInCombo(FormCompetitors* form, const QString& combo,
                                    const QString& typed) {
    auto* box = child<DBCombo>(form, combo);
    box->lineEdit()->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), typed);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
}

QList<QStringList> TestCompetitors::shown(FormCompetitors* form) const {
    QAbstractItemModel* model = child<DBGrid>(form, "DBGrid1")->model();
    QList<QStringList> rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < model->columnCount(); ++c)
            row << model->index(r, c).data().toString();
        rows << row;
    }
    return rows;
}

void TestCompetitors::functionKeyAndButtonOpenTheWindow_data() {
    QTest::addColumn<bool>("button");
    QTest::newRow("F6") << false;
    QTest::newRow("COMPETITION F6") << true;
}

void TestCompetitors::functionKeyAndButtonOpenTheWindow() {
    QFETCH(bool, button);
    click(Forms::loaded("FormMenu"), "CommandCompanies");
    FormCompanies* companies = Forms::get<FormCompanies>();
    chooseCompany("Acme");
    QTest::keyClick(companies, Qt::Key_F3);
    Form* contacts = Forms::loaded("FormContacts");
    QVERIFY(contacts && QTest::qWaitForWindowActive(contacts));
    if (button)
        click(contacts, "CommandF6");
    else
        QTest::keyClick(contacts, Qt::Key_F6);
    auto* form = qobject_cast<FormCompetitors*>(Forms::loaded(FormCompetitors::Name));
    QVERIFY(form && QTest::qWaitForWindowActive(form));
    settle();
    QCOMPARE(form->size(), companies->size());
    fireTimer(form, "TimerLoad");
    QCOMPARE(form->windowTitle(), QString("Competition - Acme"));
    QCOMPARE(child<QLabel>(form, "LabelDateandTime")->text(), QString("12/10/2026 10:00 AM"));
    QVERIFY(!child<QPushButton>(form, "CommandF6")->isEnabled());
    QCOMPARE(child<QLabel>(form, "LabelSelect")->text(), QString("Select a Company..."));
    QCOMPARE(child<QComboBox>(form, "ComboCurrency")->toolTip(), QString("Currency"));
    QCOMPARE(child<QPushButton>(form, "CommandExit")->text(), QString("E&xit Application"));
    QVERIFY(!child(form, "Frame1")->isVisible());
    QVERIFY(form->unload());
    settle();
    QVERIFY(Forms::isVisible("FormMenu"));
}

void TestCompetitors::entriesOfTheCompanyNewestFirst() {
    FormCompetitors* form = open("Acme");
    auto* grid = child<DBGrid>(form, "DBGrid1");
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles << grid->model()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{"Date Edited", "Product Group", "Product", "Units / Annum",
                                  "Cost / Unit"}));
    QCOMPARE(shown(form),
             (QList<QStringList>{{"11/20/2026", "Tape", "Tape Y From: Other Co", "40", "£ 1"},
                                 {"3/1/2026", "Glue", "Glue X From: Rival Inc", "100", "$ 2.50"}}));
}

void TestCompetitors::newEntryStoresTheCompanysSalesPersonDivisionAndName_data() {
    QTest::addColumn<QString>("company");
    QTest::addColumn<QVariantList>("owner");
    QTest::newRow("plain") << "Acme" << QVariantList{1, "Ann", "Industrial", "Acme"};
    QTest::newRow("apostrophes and umlauts")
        << "O'Hara & Söhne" << QVariantList{2, "Bob O'Neil", "Food's", "O'Hara & Söhne"};
}

void TestCompetitors::newEntryStoresTheCompanysSalesPersonDivisionAndName() {
    QFETCH(QString, company);
    QFETCH(QVariantList, owner);
    FormCompetitors* form = open(company);
    const int before = int(shown(form).size());
    click(form, "CommandNew");
    QVERIFY(child(form, "Frame1")->isVisible());
    QVERIFY(!child(form, "DBGrid1")->isVisible());
    QVERIFY(qAbs(Twips::geometry(child(form, "Frame1")).top() - FormCompetitors::PanelTop) < 30);
    QVERIFY(child<DBCombo>(form, "DBComboProductGroup")->hasFocus());
    QCOMPARE(child<QLineEdit>(form, "DATE01")->text(), QString("12/10/2026"));
    chooseInCombo(form, "DBComboProductGroup", "Sa");
    chooseInCombo(form, "DBComboProduct", "S");
    QTest::keyClicks(child<QLineEdit>(form, "NUMBER02"), "250");
    auto* currency = child<QComboBox>(form, "ComboCurrency");
    currency->setCurrentIndex(1);
    emit currency->activated(1);
    QTest::keyClicks(child<QLineEdit>(form, "TEXT04"), "12.50");
    click(form, "CommandEdit");
    QVERIFY(!child(form, "Frame1")->isVisible());
    QVERIFY(child(form, "DBGrid1")->isVisible());
    QCOMPARE(stored("NUMBER01, TEXT05, TEXT06, TEXT07", "TEXT04 LIKE '%12.50'"),
             QList<QVariantList>{owner});
    QCOMPARE(stored("TEXT02, TEXT03, NUMBER02, TEXT04, DATE01", "TEXT04 LIKE '%12.50'"),
             (QList<QVariantList>{
                 {"Saws", QString("Säge 5 From: O'Hara"), 250, Euro + " 12.50", "2026-12-10"}}));
    QCOMPARE(shown(form).size(), before + 1);
    QCOMPARE(shown(form).first().at(2), QString("Säge 5 From: O'Hara"));
}

void TestCompetitors::currencySigns_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("sign");
    const QStringList signs{"$", Euro, "£", "¥", "R"};
    for (int i = 0; i < signs.size(); ++i)
        QTest::newRow(qPrintable(QString::number(i))) << i << signs.at(i);
}

void TestCompetitors::currencySigns() {
    QFETCH(int, index);
    QFETCH(QString, sign);
    FormCompetitors* form = open("Acme");
    auto* currency = child<QComboBox>(form, "ComboCurrency");
    QCOMPARE(currency->itemText(index), sign);
    QCOMPARE(currency->count(), 5);
    click(form, "CommandNew");
    auto* price = child<QLineEdit>(form, "TEXT04");
    // Empty: the sign and a blank, the caret behind them.
    currency->setCurrentIndex(index);
    emit currency->activated(index);
    QCOMPARE(price->text(), sign + " ");
    QCOMPARE(QApplication::focusWidget(), price);
    QCOMPARE(price->cursorPosition(), 2);
    QTest::keyClicks(price, "3");
    QCOMPARE(price->text(), sign + " 3");
    // Chosen again, the sign goes in front once more.
    emit currency->activated(index);
    QCOMPARE(price->text(), sign + " " + sign + " 3");
}

void TestCompetitors::editingMovesTheDateToToday() {
    FormCompetitors* form = open("Acme");
    pickRow(form, 1); // Glue, 3/1/2026
    click(form, "CommandEdit");
    QVERIFY(child(form, "Frame1")->isVisible());
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(form, "NUMBER02"));
    QCOMPARE(child<DBCombo>(form, "DBComboProductGroup")->text(), QString("Glue"));
    // Nothing else changes; finishing still stores today's date.
    click(form, "CommandEdit");
    QCOMPARE(stored("ROWKEY, DATE01, NUMBER02, TEXT04", "NUMBER01 = 1"),
             (QList<QVariantList>{{1, "2026-12-10", 100, "$ 2.50"}, {2, "2026-11-20", 40, "£ 1"}}));
    // The edited entry is the newest now.
    QCOMPARE(shown(form).first().first(), QString("12/10/2026"));
}

void TestCompetitors::editWithoutEntriesDoesNothing() {
    FormCompetitors* form = open("Crane Works");
    QVERIFY(shown(form).isEmpty());
    click(form, "CommandEdit");
    QVERIFY(!child(form, "Frame1")->isVisible());
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE10").toInt(), 3);
}

void TestCompetitors::toolbarDeleteRemovesTheEntryAtOnce() {
    FormCompetitors* form = open("Acme");
    pickRow(form, 1);
    toolbar(form, "Delete"); // no question
    QCOMPARE(stored("ROWKEY"), (QList<QVariantList>{{2}, {3}}));
    QCOMPARE(shown(form).size(), 1);
}

void TestCompetitors::toolbarDeleteGivesUpANewEntry() {
    FormCompetitors* form = open("Acme");
    click(form, "CommandNew");
    QTest::keyClicks(child<QLineEdit>(form, "NUMBER02"), "9");
    toolbar(form, "Delete");
    QVERIFY(!child(form, "Frame1")->isVisible());
    QCOMPARE(stored("ROWKEY"), (QList<QVariantList>{{1}, {2}, {3}}));
}

void TestCompetitors::toolbarEditKeysGoToTheFocusedBox_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    QTest::newRow("copy") << "Copy" << int(Qt::Key_C);
    QTest::newRow("cut") << "Cut" << int(Qt::Key_X);
    QTest::newRow("undo") << "Undo" << int(Qt::Key_Z);
    QTest::newRow("paste") << "Paste" << int(Qt::Key_V);
}

void TestCompetitors::toolbarEditKeysGoToTheFocusedBox() {
    QFETCH(QString, button);
    QFETCH(int, key);
    FormCompetitors* form = open("Acme");
    click(form, "CommandNew");
    child<QLineEdit>(form, "TEXT04")->setFocus();
    SendKeys::record();
    toolbar(form, button);
    const QList<SendKeys::Stroke> strokes = SendKeys::recorded();
    QCOMPARE(strokes.size(), 1);
    QCOMPARE(strokes.first().key, key);
    QCOMPARE(strokes.first().modifiers, Qt::KeyboardModifiers(Qt::ControlModifier));
    // The entry is still being made.
    QVERIFY(child(form, "Frame1")->isVisible());
}

void TestCompetitors::companyChosenInThePicker() {
    FormCompetitors* form = open("Acme");
    auto* picker = child<CompanyPicker>(form, "DBComboSelect");
    picker->lineEdit()->selectAll();
    QTest::keyClicks(picker->lineEdit(), "O'Hara");
    QTest::keyClick(picker->lineEdit(), Qt::Key_Return);
    settle();
    QCOMPARE(Forms::get<FormCompanies>()->companyName(), QString("O'Hara & Söhne"));
    QCOMPARE(shown(form),
             (QList<QStringList>{{"1/1/2026", "Glue", "Glue X From: Rival Inc", "5", "R 9"}}));
    // A star typed is no wildcard: no company begins with it.
    picker->lineEdit()->selectAll();
    QTest::keyClicks(picker->lineEdit(), "*");
    QTest::keyClick(picker->lineEdit(), Qt::Key_Return);
    settle();
    QCOMPARE(Forms::get<FormCompanies>()->companyName(), QString("O'Hara & Söhne"));
}

void TestCompetitors::productsEnteredMeanwhileAreOffered() {
    FormCompetitors* form = open("Acme");
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE11 (TEXT01, TEXT02, TEXT04) VALUES "
                                   "('Bolt', 'Rival Inc', 'Bolt From: Rival Inc')");
    // Back to the window: its activation reads the lists again.
    Forms::show("FormCompanies");
    QTest::keyClick(Forms::get<FormCompanies>(), Qt::Key_F6);
    form = qobject_cast<FormCompetitors*>(Forms::loaded(FormCompetitors::Name));
    QVERIFY(form && QTest::qWaitForWindowActive(form));
    settle();
    click(form, "CommandNew");
    chooseInCombo(form, "DBComboProduct", "Bol");
    QCOMPARE(child<QLineEdit>(form, "TEXT03")->text(), QString("Bolt From: Rival Inc"));
}

void TestCompetitors::printsTheWindow() {
    FormCompetitors* form = open("Acme");
    click(form, "CommandPrint");
    QVERIFY(QFileInfo(m_session->file("Printed.pdf")).size() > 0);
}

void TestCompetitors::hoverTexts_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("editing");
    QTest::addColumn<QString>("text");
    QTest::newRow("edit, list") << "CommandEdit" << false
                                << "Select the row to be edited and then click on 'Edit'.";
    QTest::newRow("edit, panel") << "CommandEdit" << true << "Finish editing.";
    QTest::newRow("help") << "CommandHelp" << false << "Tessaly Help";
    QTest::newRow("new") << "CommandNew" << false << "Add new.";
    QTest::newRow("print") << "CommandPrint" << false << "Print.";
    QTest::newRow("exit") << "CommandExit" << false << "Exit and close the program.";
    QTest::newRow("units") << "NUMBER02" << true << "Enter a quantity.";
    QTest::newRow("cost") << "TEXT04" << true << "Enter a selling price.";
    QTest::newRow("product") << "DBComboProduct" << true
                             << "Select a product or start typing until the correct product is "
                                "displayed.";
    QTest::newRow("group") << "DBComboProductGroup" << true
                           << "Select a product group or start typing until the correct "
                              "product group is displayed.";
    QTest::newRow("company picker") << "DBComboSelect" << false << CompanyPicker::hoverText();
}

void TestCompetitors::hoverTexts() {
    QFETCH(QString, control);
    QFETCH(bool, editing);
    QFETCH(QString, text);
    FormCompetitors* form = open("Acme");
    if (editing)
        click(form, "CommandNew");
    HoverHelp* help = form->hoverHelp();
    help->showFor(child(form, control));
    QVERIFY(child(form, "FrameHelp")->isVisible());
    QCOMPARE(child<QLabel>(form, "LabelHelp")->text(), text);
    help->showBackground();
    QVERIFY(!child(form, "FrameHelp")->isVisible());
}

void TestCompetitors::manualChapterOnTheHelpPage() {
    FormCompetitors* form = open("Acme");
    QTest::keyRelease(form, Qt::Key_F1);
    settle();
    auto* help = qobject_cast<FormHelp*>(Forms::loaded("FormHelp"));
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->page(), 39);
    QPdfDocument manual;
    QCOMPARE(manual.load(m_session->file("Help.pdf")), QPdfDocument::Error::None);
    const QString text = manual.getAllText(38).text();
    QVERIFY2(text.simplified().startsWith("Competitor activity"), qPrintable(text.left(80)));
}

QTEST_MAIN(TestCompetitors)
#include "tst_competitors.moc"
