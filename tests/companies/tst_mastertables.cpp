#include "TestSession.h"

#include "app/FormHelp.h"
#include "app/Forms.h"
#include "data/DataSource.h"
#include "data/Recordset.h"
#include "setup/FormFindandReplace.h"
#include "setup/FormMastertables.h"
#include "widgets/DBCombo.h"
#include "widgets/DBGrid.h"

#include <QLineEdit>
#include <QPdfDocument>
#include <QPushButton>
#include <QTest>

// The master tables window and the replace of a sales person or manager,
// driven through their controls; what they store is read back with SQL.
class TestMastertables : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void menuOpensTheWindow();
    void tableButtonsShowTheirTables_data();
    void tableButtonsShowTheirTables();
    void gridIsReadOnlyUntilEdit();
    void gridEditsAddsAndDeletes();
    void refusedValues_data();
    void refusedValues();
    void replace_data();
    void replace();
    void manualChapterOnTheHelpPage();

private:
    FormMastertables* open() {
        return qobject_cast<FormMastertables*>(Forms::show("FormMastertables"));
    }
    void click(QWidget* form, const char* name) {
        auto* button = form->findChild<QPushButton*>(name);
        if (!button)
            qFatal("no %s", name);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static QStringList listed(DBGrid* grid) {
        QStringList values;
        for (int row = 0; row < grid->model()->rowCount() - 1; ++row) // the new-row line last
            values.append(grid->model()->index(row, 0).data().toString());
        return values;
    }
    // The cell editor open now (one closed before may not be gone yet).
    static QLineEdit* openEditor(DBGrid* grid) {
        for (QLineEdit* editor : grid->viewport()->findChildren<QLineEdit*>())
            if (editor->isVisible())
                return editor;
        return nullptr;
    }
    static void typeIntoCell(DBGrid* grid, int row, const QString& text) {
        const QModelIndex index = grid->model()->index(row, 0);
        grid->setCurrentIndex(index);
        grid->edit(index);
        QLineEdit* editor = openEditor(grid);
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    static void choose(DBCombo* combo, const QString& typed) {
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), typed);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    }
    std::unique_ptr<TestSession> m_session;
};

namespace {
const QString Tessaly = QStringLiteral("TESSALY.mdb");
}

void TestMastertables::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec(Tessaly, "INSERT INTO MT12 (TEXT01) VALUES ('Bob'), ('Ann'), ('Dana O''Neill');"
                             "INSERT INTO MT13 (TEXT01) VALUES ('Helena'), ('Ivo');"
                             "INSERT INTO MT08 (TEXT01) VALUES ('Pacific'), ('Midwest');"
                             "INSERT INTO TABLE01 (TEXT01, TEXT18, TEXT19, TEXT20) VALUES "
                             "('Acme', 'Ann', 'Helena', 'Company'), "
                             "('Baker', 'ann', 'Ivo', 'Company'), "
                             "('Crane', 'Ann', 'Helena', 'Archive'), "
                             "('Delta', '', NULL, 'Company'), "
                             "('Echo', 'Bob', 'Helena', 'Company')");
    m_session->registerForms();
}

void TestMastertables::cleanup() {
    m_session.reset();
}

void TestMastertables::menuOpensTheWindow() {
    Form* menu = Forms::show("FormMenu");
    click(menu, "CommandSetup");
    auto* password = menu->findChild<QLineEdit*>("Text1");
    password->setFocus();
    QTest::keyClicks(password, "Kelvorin");
    click(menu, "CommandEnter");
    auto* command = menu->findChild<QPushButton*>("CommandMastertables");
    QVERIFY(command->isEnabled());
    QTest::mouseClick(command, Qt::LeftButton);
    QVERIFY(Forms::isVisible("FormMastertables"));
    QCOMPARE(Forms::loaded("FormMastertables")->windowTitle(), QString("Mastertables"));
    QCOMPARE(Forms::loaded("FormMastertables")->size(), menu->size());
}

void TestMastertables::tableButtonsShowTheirTables_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("replace");
    QTest::newRow("region") << "CommandRegion"
                            << "MT08" << QStringList{"Midwest", "Pacific"} << "";
    QTest::newRow("sales person") << "CommandSalesperson"
                                  << "MT12" << QStringList{"Ann", "Bob", "Dana O'Neill"}
                                  << "CommandReplaceSP";
    QTest::newRow("manager") << "CommandManager"
                             << "MT13" << QStringList{"Helena", "Ivo"} << "CommandReplaceSM";
    QTest::newRow("projects, empty") << "CommandProjects"
                                     << "MT06" << QStringList{} << "";
}

void TestMastertables::tableButtonsShowTheirTables() {
    QFETCH(QString, button);
    QFETCH(QString, table);
    QFETCH(QStringList, values);
    QFETCH(QString, replace);
    FormMastertables* form = open();
    // A replace button shown by another table goes when this one is chosen.
    click(form, "CommandSalesperson");
    click(form, button.toLatin1().constData());
    QCOMPARE(form->table(), table);
    QCOMPARE(listed(form->grid()), values);
    for (const char* name : {"CommandReplaceSP", "CommandReplaceSM"})
        QCOMPARE(form->findChild<QPushButton*>(name)->isVisible(), replace == name);
}

void TestMastertables::gridIsReadOnlyUntilEdit() {
    FormMastertables* form = open();
    click(form, "CommandRegion");
    QVERIFY(!form->grid()->isEnabled());
    form->grid()->selectRow(0);
    QVERIFY(!form->grid()->deleteSelectedRows());
    click(form, "CommandEdit");
    QVERIFY(form->grid()->isEnabled());
    // Another table keeps the grid open for editing.
    click(form, "CommandManager");
    QVERIFY(form->grid()->isEnabled());
}

void TestMastertables::gridEditsAddsAndDeletes() {
    FormMastertables* form = open();
    click(form, "CommandRegion");
    click(form, "CommandEdit");
    DBGrid* grid = form->grid();
    typeIntoCell(grid, 0, "Mid-West"); // Midwest, in place
    typeIntoCell(grid, 2, "Atlantic"); // the new-row line
    grid->setCurrentIndex(grid->model()->index(1, 0));
    QCOMPARE(m_session->column(Tessaly, "SELECT TEXT01 FROM MT08 ORDER BY TEXT01"),
             QStringList({"Atlantic", "Mid-West", "Pacific"}));
    click(form, "CommandRegion");
    grid->selectRow(1); // Mid-West
    QTest::keyClick(grid, Qt::Key_Delete);
    QCOMPARE(m_session->column(Tessaly, "SELECT TEXT01 FROM MT08 ORDER BY TEXT01"),
             QStringList({"Atlantic", "Pacific"}));
}

void TestMastertables::refusedValues_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    const QString empty = "An empty entry cannot be stored.";
    QTest::newRow("new entry, empty") << 3 << "" << empty;
    QTest::newRow("new entry, blanks only") << 3 << "   " << empty;
    QTest::newRow("new entry, already listed") << 3 << "Bob"
                                               << "'Bob' is already in this list.";
    QTest::newRow("new entry, other letter case") << 3 << "BOB"
                                                  << "'BOB' is already in this list.";
    QTest::newRow("new entry, with blanks around") << 3 << " Ann "
                                                   << "'Ann' is already in this list.";
    QTest::newRow("edit, emptied") << 0 << "" << empty;
    QTest::newRow("edit, another entry's value") << 0 << "Dana O'Neill"
                                                 << "'Dana O'Neill' is already in this list.";
}

void TestMastertables::refusedValues() {
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    FormMastertables* form = open();
    click(form, "CommandSalesperson");
    click(form, "CommandEdit");
    DBGrid* grid = form->grid();
    m_session->expectMessage(message);
    if (typed.isEmpty()) {
        // Emptying a cell: the editor cleared and confirmed.
        const QModelIndex index = grid->model()->index(row, 0);
        grid->setCurrentIndex(index);
        grid->edit(index);
        QLineEdit* editor = openEditor(grid);
        QVERIFY(editor);
        if (row == 3)
            QTest::keyClicks(editor, "x");
        editor->clear();
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    } else {
        typeIntoCell(grid, row, typed);
    }
    if (MsgBox::shown().isEmpty())
        grid->setCurrentIndex(grid->model()->index(1, 0)); // the save point
    QCOMPARE(MsgBox::shown().size(), 1);
    QCOMPARE(MsgBox::last().style, int(MsgBox::Exclamation));
    QCOMPARE(m_session->column(Tessaly, "SELECT TEXT01 FROM MT12 ORDER BY TEXT01"),
             QStringList({"Ann", "Bob", "Dana O'Neill"}));
    // The entry is kept for correction: corrected, it is stored.
    QVERIFY(grid->dataSource()->recordset()->hasPendingEdit());
    grid->dataSource()->recordset()->setField("TEXT01", "Cleo");
    QVERIFY(grid->dataSource()->save());
    QVERIFY(m_session->column(Tessaly, "SELECT TEXT01 FROM MT12").contains("Cleo"));
}

void TestMastertables::replace_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("with");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("message");
    // Acme, Baker, Crane (archived), Delta, Echo.
    QTest::newRow("sales person, archived included, other case left")
        << "CommandReplaceSP"
        << "Ann"
        << "Dana O'Neill"
        << "TEXT18" << QStringList{"Dana O'Neill", "ann", "Dana O'Neill", "", "Bob"}
        << "Ann has been replaced by Dana O'Neill";
    QTest::newRow("sales person in no company")
        << "CommandReplaceSP"
        << "Dana O'Neill"
        << "Bob"
        << "TEXT18" << QStringList{"Ann", "ann", "Ann", "", "Bob"}
        << "Dana O'Neill has been replaced by Bob";
    QTest::newRow("sales manager") << "CommandReplaceSM"
                                   << "Helena"
                                   << "Ivo"
                                   << "TEXT19" << QStringList{"Ivo", "Ivo", "Ivo", "", "Ivo"}
                                   << "Helena has been replaced by Ivo";
    QTest::newRow("no name picked to find: the empty text")
        << "CommandReplaceSP"
        << ""
        << "Bob"
        << "TEXT18" << QStringList{"Ann", "ann", "Ann", "Bob", "Bob"}
        << "Person to Replace... has been replaced by Bob";
}

void TestMastertables::replace() {
    QFETCH(QString, button);
    QFETCH(QString, find);
    QFETCH(QString, with);
    QFETCH(QString, column);
    QFETCH(QStringList, after);
    QFETCH(QString, message);
    Forms::show("FormCompanies");
    FormMastertables* form = open();
    click(form, button == "CommandReplaceSP" ? "CommandSalesperson" : "CommandManager");
    click(form, button.toLatin1().constData());
    auto* replaceWindow = qobject_cast<FormFindandReplace*>(Forms::loaded("FormFindandReplace"));
    QVERIFY(replaceWindow && replaceWindow->isVisible());
    QCOMPARE(replaceWindow->windowTitle(), QString("Find & Replace"));
    auto* findList = replaceWindow->findChild<DBCombo*>("DBComboFind");
    auto* withList = replaceWindow->findChild<DBCombo*>("DBComboReplace");
    QCOMPARE(findList->text(), QString("Person to Replace..."));
    QCOMPARE(withList->text(), QString("Replace with..."));
    if (!find.isEmpty())
        choose(findList, find);
    choose(withList, with);
    m_session->expectMessage(message);
    click(replaceWindow, "CommandFindReplace");
    QCOMPARE(MsgBox::last().text, message);
    QCOMPARE(m_session->column(Tessaly, QString("SELECT COALESCE(%1, '') FROM TABLE01 ORDER BY "
                                                "TEXT01")
                                            .arg(column)),
             after);
    QVERIFY(!Forms::isLoaded("FormFindandReplace"));
    QVERIFY(!Forms::isLoaded("FormCompanies"));
    // The master table itself is left as it was.
    QCOMPARE(m_session->scalar(Tessaly, "SELECT COUNT(*) FROM MT12").toInt(), 3);
}

void TestMastertables::manualChapterOnTheHelpPage() {
    FormMastertables* form = open();
    QTest::keyRelease(form, Qt::Key_F1);
    settle();
    auto* help = qobject_cast<FormHelp*>(Forms::loaded("FormHelp"));
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->page(), 6);
    QPdfDocument manual;
    QCOMPARE(manual.load(m_session->file("Help.pdf")), QPdfDocument::Error::None);
    const QString text = manual.getAllText(5).text();
    QVERIFY2(text.simplified().startsWith("Master tables"), qPrintable(text.left(80)));
}

QTEST_MAIN(TestMastertables)
#include "tst_mastertables.moc"
