#include "TestSession.h"

#include "data/DataSource.h"
#include "widgets/BoundList.h"
#include "widgets/DBCombo.h"
#include "widgets/DBGrid.h"
#include "widgets/DBList.h"
#include "widgets/FieldBinder.h"
#include "widgets/FlexGrid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

// Data-bound pick lists and grids, driven with keys and clicks.
class TestBoundWidgets : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void comboListsTheFieldOfEveryRow();
    void comboTypeAheadMovesToTheFirstMatch_data();
    void comboTypeAheadMovesToTheFirstMatch();
    void comboBackspaceDoesNotCompleteAgain();
    void comboChoosingMovesTheDataSource();
    void comboFollowsRefreshAndEdits();
    void listCarriesBookmarks();
    void gridEditsInPlaceAndStoresOnLeavingTheRow();
    void gridAddsOnTheNewRowLine();
    void gridDeletesSelectedRows();
    void flexGridShowsFixedRowAndColumn();
    void flexGridClipText();

private:
    static void typeIntoCell(DBGrid& grid, int row, int column, const QString& text);
    std::unique_ptr<TestSession> m_session;
    DataSource* m_data = nullptr;
};

void TestBoundWidgets::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT18, DATE01, NUMBER01) VALUES "
                    "(1, 'Alpha', 'Ann', '2026-01-02', 10), (2, 'alpine', 'Bob', NULL, NULL), "
                    "(3, 'Beta', 'Ann', '2025-12-31 08:05:00', 5), (4, 'Gamma', NULL, NULL, 0);"
                    "INSERT INTO MT12 (TEXT01) VALUES ('Ann'), ('Bob');");
    m_data = new DataSource("DataTABLE01", nullptr);
    m_data->setDatabaseName("TESSALY.mdb");
    m_data->setRecordSource("SELECT * FROM TABLE01 ORDER BY TEXT01");
    QVERIFY(m_data->refresh());
}

void TestBoundWidgets::cleanup() {
    delete m_data;
    m_session.reset();
}

void TestBoundWidgets::typeIntoCell(DBGrid& grid, int row, int column, const QString& text) {
    const QModelIndex index = grid.model()->index(row, column);
    grid.setCurrentIndex(index);
    grid.edit(index);
    auto* editor = grid.viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate commits on the event loop
}

void TestBoundWidgets::comboListsTheFieldOfEveryRow() {
    DBCombo combo;
    combo.setRowSource(m_data, "TEXT01");
    QCOMPARE(combo.count(), 4);
    QStringList entries;
    for (int i = 0; i < combo.count(); ++i)
        entries << combo.itemText(i);
    QCOMPARE(entries, (QStringList{"Alpha", "alpine", "Beta", "Gamma"}));
    QVERIFY(combo.isEditable());
    QCOMPARE(combo.list()->bookmark(2), m_data->bookmarkAt(2));
}

void TestBoundWidgets::comboTypeAheadMovesToTheFirstMatch_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("row");
    QTest::newRow("first letter") << "b"
                                  << "Beta" << 2;
    QTest::newRow("letter case does not count") << "ALPI"
                                                << "alpine" << 1;
    QTest::newRow("first of two") << "alp"
                                  << "Alpha" << 0;
    QTest::newRow("typed past the matches") << "Ze"
                                            << "Ze" << -1;
}

void TestBoundWidgets::comboTypeAheadMovesToTheFirstMatch() {
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    QFETCH(int, row);
    DBCombo combo;
    combo.setRowSource(m_data, "TEXT01");
    combo.setText("Select a Company...");
    combo.lineEdit()->selectAll();
    QTest::keyClicks(combo.lineEdit(), keys);
    QCOMPARE(combo.text(), shown);
    QCOMPARE(combo.matchedRow(), row);
    QCOMPARE(combo.selectedItem(), row >= 0 ? m_data->bookmarkAt(row) : QByteArray());
    if (row >= 0) // the completed part is selected, so typing on replaces it
        QCOMPARE(combo.lineEdit()->selectedText(), shown.mid(keys.size()));
}

void TestBoundWidgets::comboBackspaceDoesNotCompleteAgain() {
    DBCombo combo;
    combo.setRowSource(m_data, "TEXT01");
    combo.lineEdit()->clear();
    QTest::keyClicks(combo.lineEdit(), "Ga");
    QCOMPARE(combo.text(), QString("Gamma"));
    QTest::keyClick(combo.lineEdit(), Qt::Key_Backspace); // removes the completion
    QCOMPARE(combo.text(), QString("Ga"));
    QTest::keyClick(combo.lineEdit(), Qt::Key_Backspace);
    QCOMPARE(combo.text(), QString("G"));
    QCOMPARE(combo.matchedRow(), 3);
}

void TestBoundWidgets::comboChoosingMovesTheDataSource() {
    DBCombo combo;
    QLineEdit name;
    combo.show();
    combo.setRowSource(m_data, "TEXT01");
    FieldBinder::bind(m_data, &name, "TEXT01");
    // The selector's pattern: a click assigns the chosen entry's bookmark.
    connect(&combo, &DBCombo::clicked, this,
            [&] { m_data->recordset()->setBookmark(combo.selectedItem()); });
    QSignalSpy clicks(&combo, &DBCombo::clicked);
    combo.lineEdit()->clear();
    QTest::keyClicks(combo.lineEdit(), "be");
    QCOMPARE(clicks.count(), 0); // typing alone does not choose
    QTest::keyClick(combo.lineEdit(), Qt::Key_Return);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(name.text(), QString("Beta"));
    QTest::keyClick(combo.lineEdit(), Qt::Key_Down); // arrow keys walk the list
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(combo.text(), QString("Gamma"));
    QCOMPARE(name.text(), QString("Gamma"));
}

void TestBoundWidgets::comboFollowsRefreshAndEdits() {
    DBCombo combo;
    combo.setRowSource(m_data, "TEXT01");
    combo.setText("Beta");
    m_data->recordset()->setField("TEXT01", "Aardvark"); // row 0, Alpha
    m_data->recordset()->update();
    QCOMPARE(combo.itemText(0), QString("Aardvark"));
    m_data->setRecordSource("SELECT * FROM TABLE01 WHERE TEXT18 = 'Ann' ORDER BY TEXT01");
    QVERIFY(m_data->refresh());
    QCOMPARE(combo.count(), 2);
    QCOMPARE(combo.text(), QString("Beta"));
    QCOMPARE(combo.selectedItem(), m_data->bookmarkAt(1));
}

void TestBoundWidgets::listCarriesBookmarks() {
    DataSource names("DataMT12", nullptr);
    names.setDatabaseName("TESSALY.mdb");
    names.setRecordSource("MT12");
    QVERIFY(names.refresh());
    DBList list;
    list.setRowSource(m_data, "TEXT01");
    list.resize(200, 200);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(list.listCount(), 4);
    QCOMPARE(list.listIndex(), -1);
    QVERIFY(list.selectedItem().isEmpty());
    QSignalSpy clicks(&list, &DBList::clicked);
    const QRect third = list.visualRect(list.model()->index(2, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, third.center());
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(list.text(), QString("Beta"));
    QVERIFY(m_data->recordset()->setBookmark(list.selectedItem()));
    QCOMPARE(m_data->recordset()->fieldText("TEXT01"), QString("Beta"));
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(list.text(), QString("Gamma"));
}

void TestBoundWidgets::gridEditsInPlaceAndStoresOnLeavingTheRow() {
    DBGrid grid;
    grid.setDataSource(m_data);
    grid.setColumns({"TEXT01", "NUMBER01"});
    grid.resize(400, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QCOMPARE(grid.model()->rowCount(), 5); // four rows and the new-row line
    QCOMPARE(grid.model()->columnCount(), 2);
    typeIntoCell(grid, 1, 1, "42");
    QCOMPARE(grid.model()->index(1, 1).data().toString(), QString("42"));
    QVERIFY(m_session->scalar("TESSALY.mdb", "SELECT NUMBER01 FROM TABLE01 WHERE AUTONUMBER = 2")
                .isNull());
    grid.setCurrentIndex(grid.model()->index(2, 0)); // leaving the row stores it
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT NUMBER01 FROM TABLE01 WHERE AUTONUMBER = 2")
                 .toInt(),
             42);
}

void TestBoundWidgets::gridAddsOnTheNewRowLine() {
    DataSource regions("Data1", nullptr);
    regions.setDatabaseName("TESSALY.mdb");
    regions.setRecordSource("SELECT MT12.TEXT01 FROM MT12 ORDER BY MT12.TEXT01");
    QVERIFY(regions.refresh());
    DBGrid grid;
    grid.setDataSource(&regions);
    grid.horizontalHeader()->hide();
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QCOMPARE(grid.model()->headerData(2, Qt::Vertical).toString(), QString("*"));
    typeIntoCell(grid, 2, 0, "Cleo");
    grid.setCurrentIndex(grid.model()->index(0, 0));
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT TEXT01 FROM MT12 ORDER BY ROWKEY"),
             (QStringList{"Ann", "Bob", "Cleo"}));
    QCOMPARE(grid.model()->rowCount(), 4);
}

void TestBoundWidgets::gridDeletesSelectedRows() {
    DBGrid grid;
    grid.setDataSource(m_data);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.selectRow(1); // alpine
    QTest::keyClick(&grid, Qt::Key_Delete);
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT TEXT01 FROM TABLE01 ORDER BY AUTONUMBER"),
             (QStringList{"Alpha", "Beta", "Gamma"}));
    QCOMPARE(grid.model()->rowCount(), 4);
    // A disabled grid is read-only: nothing is deleted.
    grid.setEnabled(false);
    grid.selectRow(0);
    QVERIFY(!grid.deleteSelectedRows());
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE01").toInt(), 3);
}

void TestBoundWidgets::flexGridShowsFixedRowAndColumn() {
    m_data->setRecordSource("SELECT TEXT01 AS [COMPANY], DATE01 AS [DATE LAST VISITED], "
                            "NUMBER01 AS [VISIT FREQUENCY] FROM TABLE01 ORDER BY TEXT01");
    QVERIFY(m_data->refresh());
    FlexGrid grid;
    grid.setDataSource(m_data);
    QCOMPARE(grid.rows(), 5);
    QCOMPARE(grid.cols(), 4);
    QCOMPARE(grid.textMatrix(0, 0), QString());
    QCOMPARE(grid.textMatrix(0, 1), QString("COMPANY"));
    QCOMPARE(grid.textMatrix(1, 0), QString());
    QCOMPARE(grid.textMatrix(1, 2), QString("1/2/2026"));
    QCOMPARE(grid.textMatrix(3, 2), QString("12/31/2025 8:05 AM"));
    QCOMPARE(grid.textMatrix(4, 3), QString("0"));
    QVERIFY(grid.editTriggers() == QAbstractItemView::NoEditTriggers);
}

void TestBoundWidgets::flexGridClipText() {
    m_data->setRecordSource("SELECT TEXT01 AS [COMPANY], DATE01 AS [DATE LAST VISITED], "
                            "NUMBER01 AS [VISIT FREQUENCY] FROM TABLE01 ORDER BY TEXT01");
    QVERIFY(m_data->refresh());
    FlexGrid grid;
    grid.setDataSource(m_data);
    grid.setSelectionBlock(0, 1, grid.rows() - 1, grid.cols() - 1);
    QCOMPARE(grid.clip(), QString("COMPANY\tDATE LAST VISITED\tVISIT FREQUENCY\r"
                                  "Alpha\t1/2/2026\t10\r"
                                  "alpine\t\t\r"
                                  "Beta\t12/31/2025 8:05 AM\t5\r"
                                  "Gamma\t\t0"));
    QCOMPARE(grid.clipText(2, 3, 1, 1), QString("Alpha\t1/2/2026\t10\ralpine\t\t"));
}

QTEST_MAIN(TestBoundWidgets)
#include "tst_boundwidgets.moc"
