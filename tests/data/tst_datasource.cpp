#include "TestSession.h"

#include "data/DataSource.h"
#include "platform/Locale.h"
#include "services/MsgBox.h"
#include "widgets/FieldBinder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>

// Bound data sources: save points, the keyset cursor, writes through joins,
// refused values and the binders of text boxes and labels.
class TestDataSource : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_session.reset(); }

    void newRowIsStoredAtTheNextSavePoint_data();
    void newRowIsStoredAtTheNextSavePoint();
    void typedEditIsStoredAtTheNextMoveNotBefore();
    void programAssignmentToABoundBoxIsAnEdit();
    void hidingIsNoSavePointClosingIs();
    void noMatchLeavesEofAndEmptyBoxes();
    void keysetPositionsAndCounts();
    void movesPastTheEnds();
    void bookmarks();
    void rowsStayUntilRefreshEvenWhenTheyNoLongerMatch();
    void rowDeletedElsewhereShowsEmpty();
    void columnReadKeepsTheRowsOfTheRefresh_data();
    void columnReadKeepsTheRowsOfTheRefresh();
    void changesByAnotherDataSourceAreSeen();
    void anotherConnectionsChangeShowsAtTheNextMove();
    void aSaveDoesNotHideAnotherConnectionsChange();
    void anotherProcesssChangesShowWhileWalking();
    void editOfAChangedValueAsksTheUser_data();
    void editOfAChangedValueAsksTheUser();
    void editsOfDifferentColumnsAreBothKept();
    void theSameEditByTwoUsersIsNoConflict();
    void typedTextWithNowhereToGoIsReported_data();
    void typedTextWithNowhereToGoIsReported();
    void writesThroughAJoinOfATableWithItself();
    void walkAcrossPages();
    void writesThroughAJoinGoToTheirTables();
    void aSaveThroughAJoinShowsOnEveryPage();
    void computedFieldsAreReadOnly();
    void deletingAJoinRowRemovesOnlyTheLastTablesRow();
    void deleteThenMoveNextGoesToTheFollowingRow();
    void bookmarksOfOtherRowsHoldAfterADelete();
    void newRowGetsItsKeyWhenStored();
    void addNewWithoutValuesStoresNothing();
    void cancelUpdateDropsTheEdit();
    void refusedValuesKeepTheEditAndWriteNothing_data();
    void refusedValuesKeepTheEditAndWriteNothing();
    void datesAreParsedInTheUsersForm_data();
    void datesAreParsedInTheUsersForm();
    void bindersFollowTheCurrentRow();
    void distinctQueriesAreReadOnly();
    void badRecordSourceKeepsTheRows();

private:
    std::unique_ptr<DataSource>
    companies(const QString& source = "SELECT * FROM TABLE01 ORDER BY TEXT01");
    QVariant stored(const QString& sql) const { return m_session->scalar("TESSALY.mdb", sql); }
    std::unique_ptr<TestSession> m_session;
};

void TestDataSource::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT18, TEXT20, NUMBER01, DATE01) "
                    "VALUES (1, 'Alpha', 'Ann', 'Company', 10, '2026-01-02'),"
                    " (2, 'Beta', 'Bob', 'Company', NULL, NULL),"
                    " (3, 'Gamma', 'Ann', 'Archive', 5, '2025-12-31');"
                    "INSERT INTO TABLE03 (AUTONUMBER, NUMBER01, TEXT02, TEXT03, TEXT06) VALUES "
                    "(10, 1, 'John', 'Doe', 'Sales'), (11, 1, 'Anna', 'Lee', NULL), "
                    "(12, 2, 'Carl', 'Nut', 'Tech');");
}

std::unique_ptr<DataSource> TestDataSource::companies(const QString& source) {
    auto data = std::make_unique<DataSource>("DataTABLE01", nullptr);
    data->setDatabaseName("TESSALY.mdb");
    data->setRecordSource(source);
    if (!data->refresh())
        QTest::qFail(qPrintable(data->lastError()), __FILE__, __LINE__);
    return data;
}

void TestDataSource::newRowIsStoredAtTheNextSavePoint_data() {
    QTest::addColumn<QString>("savePoint");
    for (const char* point : {"refresh", "moveFirst", "moveLast", "moveNext", "movePrevious",
                              "setBookmark", "addNew", "update", "saveAll", "window closed"})
        QTest::newRow(point) << point;
}

void TestDataSource::newRowIsStoredAtTheNextSavePoint() {
    QFETCH(QString, savePoint);
    auto window = std::make_unique<QWidget>();
    auto* data = new DataSource("DataTABLE01", window.get());
    data->setDatabaseName("TESSALY.mdb");
    data->setRecordSource("SELECT * FROM TABLE01 ORDER BY TEXT01");
    QVERIFY(data->refresh());
    const QByteArray first = data->recordset()->bookmark();
    QVERIFY(data->recordset()->addNew());
    QVERIFY(data->recordset()->isNewRow());
    QVERIFY(data->recordset()->setField("TEXT01", "Delta"));
    QVERIFY(data->recordset()->setField("TEXT20", "Company"));
    QCOMPARE(stored("SELECT COUNT(*) FROM TABLE01 WHERE TEXT01 = 'Delta'").toInt(), 0);

    auto* rs = data->recordset();
    if (savePoint == "refresh")
        QVERIFY(data->refresh());
    else if (savePoint == "moveFirst")
        QVERIFY(rs->moveFirst());
    else if (savePoint == "moveLast")
        QVERIFY(rs->moveLast());
    else if (savePoint == "moveNext")
        QVERIFY(rs->moveNext());
    else if (savePoint == "movePrevious")
        QVERIFY(rs->movePrevious());
    else if (savePoint == "setBookmark")
        QVERIFY(rs->setBookmark(first));
    else if (savePoint == "addNew")
        QVERIFY(rs->addNew());
    else if (savePoint == "update")
        QVERIFY(rs->update());
    else if (savePoint == "saveAll")
        QVERIFY(DataSource::saveAll(window.get()));
    else
        window.reset();

    QCOMPARE(stored("SELECT COUNT(*) FROM TABLE01 WHERE TEXT01 = 'Delta' AND TEXT20 = "
                    "'Company'")
                 .toInt(),
             1);
}

void TestDataSource::typedEditIsStoredAtTheNextMoveNotBefore() {
    auto data = companies();
    QLineEdit name;
    FieldBinder::bind(data.get(), &name, "TEXT01");
    QCOMPARE(name.text(), QString("Alpha"));
    name.selectAll();
    QTest::keyClicks(&name, "Aleph");
    QCOMPARE(stored("SELECT TEXT01 FROM TABLE01 WHERE AUTONUMBER = 1").toString(),
             QString("Alpha"));
    QVERIFY(data->recordset()->hasPendingEdit());
    QCOMPARE(data->recordset()->field("TEXT01").toString(), QString("Aleph"));
    QVERIFY(data->recordset()->moveNext());
    QCOMPARE(name.text(), QString("Beta"));
    QCOMPARE(stored("SELECT TEXT01 FROM TABLE01 WHERE AUTONUMBER = 1").toString(),
             QString("Aleph"));
    // Only the edited column was written.
    QCOMPARE(stored("SELECT NUMBER01 FROM TABLE01 WHERE AUTONUMBER = 1").toInt(), 10);
}

void TestDataSource::programAssignmentToABoundBoxIsAnEdit() {
    auto data = companies();
    QLineEdit status;
    FieldBinder::bind(data.get(), &status, "TEXT20");
    status.setText("Archive"); // as the archive command does
    QVERIFY(data->refresh());
    QCOMPARE(stored("SELECT TEXT20 FROM TABLE01 WHERE AUTONUMBER = 1").toString(),
             QString("Archive"));
    // Assigning the text a box already shows changes nothing.
    status.setText(status.text());
    QVERIFY(!data->recordset()->hasPendingEdit());
}

void TestDataSource::hidingIsNoSavePointClosingIs() {
    auto window = std::make_unique<QWidget>();
    auto* data = new DataSource("DataTABLE01", window.get());
    data->setDatabaseName("TESSALY.mdb");
    data->setRecordSource("SELECT * FROM TABLE01 ORDER BY TEXT01");
    QVERIFY(data->refresh());
    auto* name = new QLineEdit(window.get());
    FieldBinder::bind(data, name, "TEXT01");
    window->show();
    name->setText("Changed");
    window->hide();
    QCOMPARE(stored("SELECT TEXT01 FROM TABLE01 WHERE AUTONUMBER = 1").toString(),
             QString("Alpha"));
    QCOMPARE(name->text(), QString("Changed")); // a hidden window keeps its edit
    window.reset();
    QCOMPARE(stored("SELECT TEXT01 FROM TABLE01 WHERE AUTONUMBER = 1").toString(),
             QString("Changed"));
}

void TestDataSource::noMatchLeavesEofAndEmptyBoxes() {
    auto data = companies();
    QLineEdit name;
    FieldBinder::bind(data.get(), &name, "TEXT01");
    QCOMPARE(name.text(), QString("Alpha"));
    data->setRecordSource("SELECT * FROM TABLE01 WHERE TEXT01 = 'Nobody'");
    QVERIFY(data->refresh());
    auto* rs = data->recordset();
    QVERIFY(rs->eof());
    QVERIFY(rs->bof());
    QCOMPARE(rs->recordCount(), 0);
    QCOMPARE(rs->absolutePosition(), -1);
    QVERIFY(rs->bookmark().isEmpty());
    QCOMPARE(name.text(), QString());
    // With no row there is nothing to edit.
    m_session->expectMessage(
        "The text typed into TEXT01 cannot be stored: there is no current record.");
    name.setText("typed");
    QVERIFY(!rs->hasPendingEdit());
    QVERIFY(!rs->moveNext());
    QVERIFY(!rs->moveFirst());
}

void TestDataSource::keysetPositionsAndCounts() {
    auto data = companies();
    auto* rs = data->recordset();
    QCOMPARE(rs->recordCount(), 3); // complete at once, not only the rows reached
    QCOMPARE(rs->absolutePosition(), 0);
    QVERIFY(!rs->eof());
    QVERIFY(!rs->bof());
    QVERIFY(rs->moveLast());
    QCOMPARE(rs->absolutePosition(), 2);
    QCOMPARE(rs->fieldText("TEXT01"), QString("Gamma"));
    QVERIFY(rs->movePrevious());
    QCOMPARE(rs->absolutePosition(), 1);
    QVERIFY(rs->moveFirst());
    QCOMPARE(rs->fieldText("TEXT01"), QString("Alpha"));
}

void TestDataSource::movesPastTheEnds() {
    auto data = companies();
    auto* rs = data->recordset();
    QVERIFY(rs->moveLast());
    QVERIFY(rs->moveNext());
    QVERIFY(rs->eof());
    QVERIFY(!rs->bof());
    QCOMPARE(rs->absolutePosition(), -1);
    QCOMPARE(rs->fieldText("TEXT01"), QString());
    QVERIFY(!rs->moveNext()); // no current record
    QVERIFY(rs->movePrevious());
    QCOMPARE(rs->fieldText("TEXT01"), QString("Gamma"));
    QVERIFY(rs->moveFirst());
    QVERIFY(rs->movePrevious());
    QVERIFY(rs->bof());
    QVERIFY(!rs->movePrevious());
    QVERIFY(rs->moveNext());
    QCOMPARE(rs->fieldText("TEXT01"), QString("Alpha"));
}

void TestDataSource::bookmarks() {
    auto data = companies();
    auto* rs = data->recordset();
    rs->moveLast();
    const QByteArray gamma = rs->bookmark();
    rs->moveFirst();
    const QByteArray alpha = rs->bookmark();
    QVERIFY(gamma != alpha);
    QVERIFY(rs->setBookmark(gamma));
    QCOMPARE(rs->fieldText("TEXT01"), QString("Gamma"));
    QCOMPARE(rs->absolutePosition(), 2);
    // A bookmark names its row, so it survives a refresh that keeps the row.
    data->setRecordSource("SELECT * FROM TABLE01 ORDER BY TEXT01 DESC");
    QVERIFY(data->refresh());
    QVERIFY(rs->setBookmark(alpha));
    QCOMPARE(rs->absolutePosition(), 2);
    QVERIFY(!rs->setBookmark(QByteArray("junk")));
    QCOMPARE(rs->fieldText("TEXT01"), QString("Alpha"));
    // Rows a pick list shows carry the same bookmarks.
    QCOMPARE(data->bookmarkAt(0), gamma);
    QCOMPARE(data->rowOfBookmark(alpha), 2);
}

void TestDataSource::rowsStayUntilRefreshEvenWhenTheyNoLongerMatch() {
    auto data = companies("SELECT * FROM TABLE01 WHERE TEXT20 = 'Company' ORDER BY TEXT01");
    auto* rs = data->recordset();
    QCOMPARE(rs->recordCount(), 2);
    QVERIFY(rs->setField("TEXT20", "Archive"));
    QVERIFY(rs->moveNext());
    QVERIFY(rs->moveFirst());
    QCOMPARE(rs->recordCount(), 2);
    QCOMPARE(rs->fieldText("TEXT20"), QString("Archive"));
    QVERIFY(data->refresh());
    QCOMPARE(rs->recordCount(), 1);
    QCOMPARE(rs->fieldText("TEXT01"), QString("Beta"));
}

void TestDataSource::columnReadKeepsTheRowsOfTheRefresh_data() {
    QTest::addColumn<QString>("change"); // SQL of another program, or "add" for a row added here
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("nothing changed") << "" << QStringList{"Alpha", "Beta", "Gamma"};
    QTest::newRow("a name changed in place")
        << "UPDATE TABLE01 SET TEXT01 = 'Beta 2' WHERE AUTONUMBER = 2"
        << QStringList{"Alpha", "Beta 2", "Gamma"};
    QTest::newRow("a row moved in the order")
        << "UPDATE TABLE01 SET TEXT01 = 'Aardvark' WHERE AUTONUMBER = 3"
        << QStringList{"Alpha", "Beta", "Aardvark"};
    QTest::newRow("a row gone") << "DELETE FROM TABLE01 WHERE AUTONUMBER = 2"
                                << QStringList{"Alpha", "", "Gamma"};
    QTest::newRow("a row no longer matching")
        << "UPDATE TABLE01 SET TEXT20 = 'Archive' WHERE AUTONUMBER = 1"
        << QStringList{"Alpha", "Beta", "Gamma"};
    QTest::newRow("a row that now matches too")
        << "UPDATE TABLE01 SET TEXT20 = 'Company' WHERE AUTONUMBER = 3; "
           "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT20) VALUES (4, 'Able', 'Company')"
        << QStringList{"Alpha", "Beta", "Gamma"};
    QTest::newRow("a row added here") << "add" << QStringList{"Alpha", "Beta", "Gamma", "Delta"};
}

void TestDataSource::columnReadKeepsTheRowsOfTheRefresh() {
    QFETCH(QString, change);
    QFETCH(QStringList, texts);
    // The rows of the refresh, in its order, whatever happened since: the
    // list of a picker stays beside the rows a walk reaches.
    m_session->exec("TESSALY.mdb", "UPDATE TABLE01 SET TEXT20 = 'Company'");
    auto data = companies("SELECT * FROM TABLE01 WHERE TEXT20 = 'Company' ORDER BY TEXT01");
    if (change == "add") {
        QVERIFY(data->recordset()->addNew());
        QVERIFY(data->recordset()->setField("TEXT01", "Delta"));
        QVERIFY(data->recordset()->update());
    } else if (!change.isEmpty()) {
        m_session->exec("TESSALY.mdb", change);
    }
    QCOMPARE(data->columnTexts(data->fieldIndex("TEXT01")), texts);
    QStringList walked;
    for (data->recordset()->moveFirst(); !data->recordset()->eof(); data->recordset()->moveNext())
        walked << data->recordset()->fieldText("TEXT01");
    QCOMPARE(walked, texts);
}

void TestDataSource::rowDeletedElsewhereShowsEmpty() {
    auto data = companies();
    auto* rs = data->recordset();
    m_session->exec("TESSALY.mdb", "DELETE FROM TABLE01 WHERE AUTONUMBER = 2");
    QVERIFY(rs->moveNext());
    QCOMPARE(rs->fieldText("TEXT01"), QString());
    // An edit of the vanished row cannot be stored and is not kept for ever.
    QVERIFY(rs->setField("TEXT01", "Ghost"));
    m_session->expectMessage("The record has been deleted from its table");
    QVERIFY(!rs->update());
    QVERIFY(MsgBox::last().text.contains("deleted"));
    QVERIFY(!rs->hasPendingEdit());
    QVERIFY(rs->moveNext());
    QCOMPARE(rs->fieldText("TEXT01"), QString("Gamma"));
}

void TestDataSource::changesByAnotherDataSourceAreSeen() {
    auto first = companies();
    auto second = companies();
    QCOMPARE(first->recordset()->fieldText("TEXT01"), QString("Alpha"));
    QVERIFY(second->recordset()->setField("TEXT01", "Alpha 2"));
    QVERIFY(second->recordset()->update());
    QCOMPARE(first->recordset()->fieldText("TEXT01"), QString("Alpha 2"));
}

void TestDataSource::anotherConnectionsChangeShowsAtTheNextMove() {
    auto data = companies("SELECT * FROM TABLE01 ORDER BY AUTONUMBER");
    QLineEdit name;
    FieldBinder::bind(data.get(), &name, "TEXT01");
    QCOMPARE(name.text(), QString("Alpha"));
    QCOMPARE(data->textAt(1, data->fieldIndex("TEXT01")), QString("Beta")); // page read
    // Another program instance: a connection of its own on the same file.
    m_session->exec("TESSALY.mdb",
                    "UPDATE TABLE01 SET TEXT01 = 'Beta by Bob' WHERE AUTONUMBER = 2");
    QVERIFY(data->recordset()->moveNext());
    QCOMPARE(name.text(), QString("Beta by Bob"));
}

void TestDataSource::aSaveDoesNotHideAnotherConnectionsChange() {
    QString values;
    for (int i = 0; i < 100; ++i)
        values += QString("%1(%2, 'Row %2', 'Company')").arg(i ? "," : "").arg(100 + i);
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT20) VALUES " + values);
    auto data = companies("SELECT * FROM TABLE01 ORDER BY AUTONUMBER");
    auto* rs = data->recordset();
    QLineEdit name;
    FieldBinder::bind(data.get(), &name, "TEXT01");
    const int far = 90; // on another page than the current row
    QCOMPARE(data->textAt(far, data->fieldIndex("TEXT01")), QString("Row 187"));
    name.setText("Alpha 2");
    m_session->exec("TESSALY.mdb",
                    "UPDATE TABLE01 SET TEXT01 = 'Row 187 by Bob' WHERE AUTONUMBER = 187");
    QVERIFY(rs->update()); // a save of this program's own
    QCOMPARE(data->textAt(far, data->fieldIndex("TEXT01")), QString("Row 187 by Bob"));
    QCOMPARE(stored("SELECT TEXT01 FROM TABLE01 WHERE AUTONUMBER = 1").toString(),
             QString("Alpha 2"));
}

void TestDataSource::anotherProcesssChangesShowWhileWalking() {
    const QString shell = QStandardPaths::findExecutable("sqlite3");
    if (shell.isEmpty())
        QSKIP("the sqlite3 shell is not installed");
    QString values;
    for (int i = 0; i < 20; ++i)
        values += QString("%1(%2, 'Row %2', 'Company')").arg(i ? "," : "").arg(100 + i);
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT20) VALUES " + values);
    auto data = companies("SELECT * FROM TABLE01 WHERE AUTONUMBER >= 100 ORDER BY AUTONUMBER");
    auto* rs = data->recordset();
    QLineEdit name;
    FieldBinder::bind(data.get(), &name, "TEXT01");
    const auto otherProgram = [&](const QString& sql) {
        QProcess process;
        process.start(shell, {m_session->file("TESSALY.mdb"), sql});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()), QString());
        QCOMPARE(process.exitCode(), 0);
    };
    // Moves with nothing changed meanwhile, then a change by another
    // program between two moves: the next row shows it, every time.
    for (int round = 0; round < 4; ++round) {
        for (int move = 0; move < 3; ++move)
            QVERIFY(rs->moveNext());
        const int next = 100 + rs->absolutePosition() + 1;
        QCOMPARE(data->textAt(rs->absolutePosition() + 1, data->fieldIndex("TEXT01")),
                 QString("Row %1").arg(next)); // its page is read
        otherProgram(
            QString("UPDATE TABLE01 SET TEXT01 = 'Row %1 by Bob' WHERE AUTONUMBER = %1").arg(next));
        QVERIFY(rs->moveNext());
        QCOMPARE(name.text(), QString("Row %1 by Bob").arg(next));
        if (round % 2) { // a save of this program's own between the rounds
            name.setText(QString("Row %1 by Ann").arg(next));
            QVERIFY(rs->update());
        }
    }
    QCOMPARE(stored("SELECT COUNT(*) FROM TABLE01 WHERE TEXT01 LIKE '% by Ann'").toInt(), 2);
}

void TestDataSource::editOfAChangedValueAsksTheUser_data() {
    QTest::addColumn<bool>("otherProgram"); // else another window of this program
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("kept");
    QTest::newRow("other program, keep mine") << true << int(MsgBox::Yes) << "Old note\nmine";
    QTest::newRow("other program, take theirs") << true << int(MsgBox::No) << "Old note\ntheirs";
    QTest::newRow("other window, keep mine") << false << int(MsgBox::Yes) << "Old note\nmine";
    QTest::newRow("other window, take theirs") << false << int(MsgBox::No) << "Old note\ntheirs";
}

void TestDataSource::editOfAChangedValueAsksTheUser() {
    QFETCH(bool, otherProgram);
    QFETCH(int, answer);
    QFETCH(QString, kept);
    m_session->exec("TESSALY.mdb", "UPDATE TABLE01 SET MEMO01 = 'Old note' WHERE AUTONUMBER = 1");
    auto data = companies("SELECT * FROM TABLE01 ORDER BY AUTONUMBER");
    QPlainTextEdit notes;
    QLineEdit name;
    FieldBinder::bind(data.get(), &notes, "MEMO01");
    FieldBinder::bind(data.get(), &name, "TEXT01");
    QCOMPARE(notes.toPlainText(), QString("Old note"));

    // Both users append a line to the notes they read.
    auto other = companies("SELECT * FROM TABLE01 ORDER BY AUTONUMBER");
    if (otherProgram) {
        m_session->exec("TESSALY.mdb",
                        "UPDATE TABLE01 SET MEMO01 = 'Old note' || char(10) || 'theirs' WHERE "
                        "AUTONUMBER = 1");
    } else {
        QVERIFY(other->recordset()->setField("MEMO01", "Old note\ntheirs"));
        QVERIFY(other->recordset()->update());
    }
    notes.setPlainText(notes.toPlainText() + "\nmine");
    name.setText("Alpha renamed");

    MsgBox::clearShown();
    MsgBox::answerNext(MsgBox::Result(answer));
    QVERIFY(data->recordset()->moveNext());
    QCOMPARE(MsgBox::shown().size(), 1);
    const MsgBox::Shown question = MsgBox::last();
    QCOMPARE(question.style, MsgBox::YesNo | MsgBox::Exclamation);
    QVERIFY2(question.text.startsWith("Another user has changed this record since you read it.") &&
                 question.text.contains("MEMO01") && question.text.contains("theirs") &&
                 question.text.contains("mine") && !question.text.contains("TEXT01"),
             qPrintable(question.text));
    QCOMPARE(
        m_session->rows("TESSALY.mdb", "SELECT TEXT01, MEMO01 FROM TABLE01 WHERE AUTONUMBER = 1"),
        (QList<QVariantList>{{"Alpha renamed", kept}}));
    QVERIFY(data->recordset()->movePrevious());
    QCOMPARE(notes.toPlainText(), kept);
}

void TestDataSource::theSameEditByTwoUsersIsNoConflict() {
    auto data = companies("SELECT * FROM TABLE01 ORDER BY AUTONUMBER");
    QLineEdit overdue;
    FieldBinder::bind(data.get(), &overdue, "NUMBER01");
    QCOMPARE(overdue.text(), QString("10"));
    m_session->exec("TESSALY.mdb", "UPDATE TABLE01 SET NUMBER01 = 12 WHERE AUTONUMBER = 1");
    overdue.setText("12");
    MsgBox::clearShown();
    QVERIFY(data->recordset()->moveNext());
    QVERIFY(MsgBox::shown().isEmpty());
    QCOMPARE(stored("SELECT NUMBER01 FROM TABLE01 WHERE AUTONUMBER = 1").toInt(), 12);
}

void TestDataSource::editsOfDifferentColumnsAreBothKept() {
    auto data = companies("SELECT * FROM TABLE01 ORDER BY AUTONUMBER");
    QLineEdit name;
    FieldBinder::bind(data.get(), &name, "TEXT01");
    QCOMPARE(name.text(), QString("Alpha"));
    m_session->exec("TESSALY.mdb", "UPDATE TABLE01 SET TEXT18 = 'Bob' WHERE AUTONUMBER = 1");
    name.setText("Alpha 2");
    MsgBox::clearShown();
    QVERIFY(data->recordset()->moveNext());
    QVERIFY(MsgBox::shown().isEmpty());
    QCOMPARE(
        m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT18 FROM TABLE01 WHERE AUTONUMBER = 1"),
        (QList<QVariantList>{{"Alpha 2", "Bob"}}));
}

void TestDataSource::typedTextWithNowhereToGoIsReported_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("why");
    QTest::newRow("no current record") << "SELECT * FROM TABLE01 WHERE TEXT01 = 'Nobody'"
                                       << "TEXT01"
                                       << "there is no current record";
    QTest::newRow("no such field") << "SELECT TEXT01 FROM TABLE01"
                                   << "TEXT05"
                                   << "the record source has no field TEXT05";
    QTest::newRow("computed field") << "SELECT TEXT01 & ' (' & TEXT18 & ')' AS Label FROM TABLE01"
                                    << "Label"
                                    << "the field Label cannot be changed";
}

void TestDataSource::typedTextWithNowhereToGoIsReported() {
    QFETCH(QString, source);
    QFETCH(QString, field);
    QFETCH(QString, why);
    auto data = companies(source);
    QLineEdit box;
    FieldBinder::bind(data.get(), &box, field);
    const QString before = box.text();
    box.end(false);
    MsgBox::clearShown();
    m_session->expectMessage(QString("The text typed into %1 cannot be stored: ").arg(field));
    QTest::keyClicks(&box, "typed");
    QCOMPARE(MsgBox::shown().size(), 1); // once, not at every key
    QCOMPARE(MsgBox::last().text,
             QString("The text typed into %1 cannot be stored: %2.").arg(field, why));
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Critical);
    QCOMPARE(box.text(), before + "typed");
    QVERIFY(!data->recordset()->hasPendingEdit());
}

void TestDataSource::writesThroughAJoinOfATableWithItself() {
    // Companies of the same sales person side by side.
    auto data = companies("SELECT A.TEXT01, B.TEXT01 AS Partner FROM TABLE01 AS A INNER JOIN "
                          "TABLE01 AS B ON A.TEXT18 = B.TEXT18 WHERE A.AUTONUMBER = 1 AND "
                          "B.AUTONUMBER = 3");
    auto* rs = data->recordset();
    QCOMPARE(rs->recordCount(), 1);
    QCOMPARE(rs->fieldText("Partner"), QString("Gamma"));
    QVERIFY(rs->setField("Partner", "Gamma renamed"));
    QVERIFY(rs->update());
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT TEXT01 FROM TABLE01 ORDER BY AUTONUMBER"),
             (QStringList{"Alpha", "Beta", "Gamma renamed"}));
    QVERIFY(rs->setField("A.TEXT01", "Alpha renamed"));
    QVERIFY(rs->update());
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT TEXT01 FROM TABLE01 ORDER BY AUTONUMBER"),
             (QStringList{"Alpha renamed", "Beta", "Gamma renamed"}));
}

void TestDataSource::walkAcrossPages() {
    QString values;
    for (int i = 0; i < 300; ++i)
        values += QString("%1(%2, 'Row %2', 'Company')").arg(i ? "," : "").arg(100 + i);
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT20) VALUES " + values);
    auto data = companies("SELECT * FROM TABLE01 WHERE AUTONUMBER >= 100 ORDER BY AUTONUMBER DESC");
    auto* rs = data->recordset();
    QCOMPARE(rs->recordCount(), 300);
    int expected = 399;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext(), --expected) {
        QCOMPARE(rs->field("AUTONUMBER").toInt(), expected);
        QCOMPARE(rs->fieldText("TEXT01"), QString("Row %1").arg(expected));
    }
    QCOMPARE(expected, 99);
    // Edits in the middle of a walk land on their own rows.
    rs->moveFirst();
    for (int i = 0; i < 150; ++i)
        rs->moveNext();
    QVERIFY(rs->setField("TEXT01", "Edited"));
    rs->moveNext();
    QCOMPARE(stored("SELECT TEXT01 FROM TABLE01 WHERE AUTONUMBER = 249").toString(),
             QString("Edited"));
    QCOMPARE(data->textAt(150, data->fieldIndex("TEXT01")), QString("Edited"));
    QCOMPARE(data->textAt(151, data->fieldIndex("TEXT01")), QString("Row 248"));
}

void TestDataSource::writesThroughAJoinGoToTheirTables() {
    auto data = companies("SELECT TABLE01.TEXT01, TABLE03.TEXT02, TABLE03.TEXT01 FROM TABLE01 "
                          "INNER JOIN TABLE03 ON TABLE01.AUTONUMBER = TABLE03.NUMBER01 ORDER BY "
                          "TABLE03.TEXT02");
    auto* rs = data->recordset();
    QCOMPARE(rs->recordCount(), 3);
    QCOMPARE(rs->fieldText("TEXT02"), QString("Anna"));
    QVERIFY(rs->setField("TABLE01.TEXT01", "Alpha Corp"));
    QVERIFY(rs->setField("TEXT02", "Annie"));
    QVERIFY(rs->setField("TABLE03.TEXT01", "Mrs."));
    QVERIFY(rs->moveNext());
    QCOMPARE(stored("SELECT TEXT01 FROM TABLE01 WHERE AUTONUMBER = 1").toString(),
             QString("Alpha Corp"));
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT02 FROM TABLE03 WHERE "
                                            "AUTONUMBER = 11"),
             (QList<QVariantList>{{"Mrs.", "Annie"}}));
    // John belongs to the same company: its row shows the new name.
    QCOMPARE(rs->fieldText("TEXT02"), QString("Carl"));
    QVERIFY(rs->moveNext());
    QCOMPARE(rs->fieldText("TABLE01.TEXT01"), QString("Alpha Corp"));
}

void TestDataSource::aSaveThroughAJoinShowsOnEveryPage() {
    // 200 contacts of Alpha and Beta in turn: three pages of joined rows.
    QString values;
    for (int i = 0; i < 200; ++i)
        values += QString("%1(%2, %3, 'Contact %2')").arg(i ? "," : "").arg(100 + i).arg(1 + i % 2);
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE03 (AUTONUMBER, NUMBER01, TEXT02) VALUES " + values);
    auto data =
        companies("SELECT TABLE01.TEXT01, TABLE03.TEXT02 FROM TABLE01 INNER JOIN TABLE03 ON "
                  "TABLE01.AUTONUMBER = TABLE03.NUMBER01 WHERE TABLE03.AUTONUMBER >= 100 "
                  "ORDER BY TABLE03.AUTONUMBER");
    auto* rs = data->recordset();
    QCOMPARE(rs->recordCount(), 200);
    const int company = data->fieldIndex("TABLE01.TEXT01");
    // A grid has shown the rows of the later pages.
    QCOMPARE(data->textAt(100, company), QString("Alpha"));
    QCOMPARE(data->textAt(101, company), QString("Beta"));
    QCOMPARE(data->textAt(198, company), QString("Alpha"));

    QCOMPARE(rs->fieldText("TABLE01.TEXT01"), QString("Alpha"));
    QVERIFY(rs->setField("TABLE01.TEXT01", "Alpha Corp"));
    QVERIFY(rs->moveNext());
    QCOMPARE(stored("SELECT TEXT01 FROM TABLE01 WHERE AUTONUMBER = 1").toString(),
             QString("Alpha Corp"));
    QCOMPARE(data->textAt(100, company), QString("Alpha Corp"));
    QCOMPARE(data->textAt(101, company), QString("Beta"));
    QCOMPARE(data->textAt(198, company), QString("Alpha Corp"));
    const QStringList names = data->columnTexts(company);
    QCOMPARE(names.count("Alpha Corp"), 100);
    QCOMPARE(names.count("Beta"), 100);
}

void TestDataSource::computedFieldsAreReadOnly() {
    auto data = companies("SELECT * , [TABLE03].[TEXT02] & ' ' & [TEXT03] AS FullName FROM "
                          "TABLE03 WHERE TABLE03.NUMBER01 = 1 ORDER BY TABLE03.TEXT02");
    auto* rs = data->recordset();
    QCOMPARE(rs->fieldText("FullName"), QString("Anna Lee"));
    QVERIFY(!rs->setField("FullName", "Someone Else"));
    QVERIFY(!rs->setField("AUTONUMBER", 99)); // keys are the database's
    QVERIFY(!rs->hasPendingEdit());
    // The computed value follows an edit once the row is stored.
    QVERIFY(rs->setField("TEXT03", "Lee-Smith"));
    QVERIFY(rs->update());
    QCOMPARE(rs->fieldText("FullName"), QString("Anna Lee-Smith"));
}

void TestDataSource::deletingAJoinRowRemovesOnlyTheLastTablesRow() {
    auto data = companies("SELECT TABLE01.TEXT01, TABLE03.TEXT02 FROM TABLE01, TABLE03 WHERE "
                          "TABLE01.AUTONUMBER = TABLE03.NUMBER01 ORDER BY TABLE03.TEXT02");
    auto* rs = data->recordset();
    QCOMPARE(rs->fieldText("TEXT02"), QString("Anna"));
    QVERIFY(rs->deleteCurrent());
    QCOMPARE(stored("SELECT COUNT(*) FROM TABLE03 WHERE AUTONUMBER = 11").toInt(), 0);
    QCOMPARE(stored("SELECT COUNT(*) FROM TABLE01 WHERE AUTONUMBER = 1").toInt(), 1);
    QCOMPARE(rs->recordCount(), 2);
}

void TestDataSource::deleteThenMoveNextGoesToTheFollowingRow() {
    auto data = companies();
    auto* rs = data->recordset();
    QVERIFY(rs->deleteCurrent()); // Alpha
    QVERIFY(!rs->eof());
    QCOMPARE(rs->absolutePosition(), -1); // on the deleted row
    QCOMPARE(rs->fieldText("TEXT01"), QString());
    QVERIFY(rs->moveNext());
    QCOMPARE(rs->fieldText("TEXT01"), QString("Beta"));
    QCOMPARE(rs->recordCount(), 2);
    QVERIFY(rs->moveLast());
    QVERIFY(rs->deleteCurrent()); // Gamma, the last
    QVERIFY(rs->moveNext());
    QVERIFY(rs->eof());
    QCOMPARE(stored("SELECT group_concat(TEXT01) FROM TABLE01").toString(), QString("Beta"));
}

void TestDataSource::bookmarksOfOtherRowsHoldAfterADelete() {
    auto data = companies();
    auto* rs = data->recordset();
    const QByteArray alpha = data->bookmarkAt(0), beta = data->bookmarkAt(1),
                     gamma = data->bookmarkAt(2);
    QVERIFY(rs->setBookmark(gamma)); // a pick list's choice, before the delete
    QVERIFY(rs->setBookmark(beta));
    QVERIFY(rs->deleteCurrent());
    QVERIFY(rs->setBookmark(gamma));
    QCOMPARE(rs->fieldText("TEXT01"), QString("Gamma"));
    QCOMPARE(rs->absolutePosition(), 1);
    QCOMPARE(data->rowOfBookmark(gamma), 1);
    QVERIFY(rs->setBookmark(alpha));
    QCOMPARE(rs->fieldText("TEXT01"), QString("Alpha"));
    // The deleted row's bookmark leads nowhere.
    QVERIFY(!rs->setBookmark(beta));
    QCOMPARE(data->rowOfBookmark(beta), -1);
    QCOMPARE(rs->fieldText("TEXT01"), QString("Alpha"));
}

void TestDataSource::newRowGetsItsKeyWhenStored() {
    auto data = companies();
    auto* rs = data->recordset();
    QVERIFY(rs->addNew());
    QVERIFY(rs->field("AUTONUMBER").isNull());
    rs->setField("TEXT01", "Delta");
    QVERIFY(rs->update());
    QCOMPARE(rs->recordCount(), 4);
    QVERIFY(rs->setBookmark(rs->lastModified()));
    QCOMPARE(rs->fieldText("TEXT01"), QString("Delta"));
    QCOMPARE(rs->field("AUTONUMBER").toInt(), 4);
    QCOMPARE(rs->absolutePosition(), 3); // new rows come last until the next refresh
    QCOMPARE(stored("SELECT TEXT20 FROM TABLE01 WHERE AUTONUMBER = 4").toString(),
             QString("Company"));
}

void TestDataSource::addNewWithoutValuesStoresNothing() {
    auto data = companies();
    auto* rs = data->recordset();
    rs->moveNext();
    QVERIFY(rs->addNew());
    QVERIFY(rs->moveNext());
    QCOMPARE(stored("SELECT COUNT(*) FROM TABLE01").toInt(), 3);
    QCOMPARE(rs->fieldText("TEXT01"), QString("Gamma")); // back where it was, then on
}

void TestDataSource::cancelUpdateDropsTheEdit() {
    auto data = companies();
    QLineEdit name;
    FieldBinder::bind(data.get(), &name, "TEXT01");
    name.setText("Typo");
    data->recordset()->cancelUpdate();
    QCOMPARE(name.text(), QString("Alpha"));
    QVERIFY(data->refresh());
    QCOMPARE(stored("SELECT TEXT01 FROM TABLE01 WHERE AUTONUMBER = 1").toString(),
             QString("Alpha"));
}

void TestDataSource::refusedValuesKeepTheEditAndWriteNothing_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no date") << "DATE01"
                             << "next Tuesday"
                             << "is not a date";
    QTest::newRow("impossible date") << "DATE01"
                                     << "2/30/2026"
                                     << "is not a date";
    QTest::newRow("day first in a month-first locale") << "DATE01"
                                                       << "31/12/2026"
                                                       << "is not a date";
    QTest::newRow("no number") << "NUMBER01"
                               << "ten"
                               << "is not a whole number";
    QTest::newRow("fraction") << "NUMBER01"
                              << "2.5"
                              << "is not a whole number";
}

void TestDataSource::refusedValuesKeepTheEditAndWriteNothing() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, reason);
    auto data = companies();
    QLineEdit box, name;
    FieldBinder::bind(data.get(), &box, field);
    FieldBinder::bind(data.get(), &name, "TEXT01");
    name.setText("Alpha changed");
    box.setText(text);
    auto* rs = data->recordset();
    MsgBox::clearShown();
    const QString refusal = QString("The value \"%1\" %2").arg(text, reason);
    m_session->expectMessage(refusal);
    QVERIFY(!rs->moveNext());
    QCOMPARE(MsgBox::shown().size(), 1);
    const MsgBox::Shown message = MsgBox::last();
    QVERIFY2(message.text.contains(field) && message.text.contains(reason) &&
                 message.text.contains(text),
             qPrintable(message.text));
    QCOMPARE(message.style, MsgBox::OKOnly | MsgBox::Critical);
    QCOMPARE(message.title, QString("Tessaly"));
    // Nothing moved, nothing was written, the typed text is still there.
    QCOMPARE(rs->absolutePosition(), 0);
    QCOMPARE(box.text(), text);
    QVERIFY(rs->hasPendingEdit());
    QCOMPARE(stored("SELECT TEXT01 FROM TABLE01 WHERE AUTONUMBER = 1").toString(),
             QString("Alpha"));
    m_session->expectMessage(refusal);
    QVERIFY(!data->refresh());
    // Mended, it goes through.
    box.setText(field == "DATE01" ? "12/31/2026" : "12");
    QVERIFY(rs->moveNext());
    QCOMPARE(m_session->rows("TESSALY.mdb",
                             "SELECT TEXT01, " + field + " FROM TABLE01 WHERE AUTONUMBER = 1"),
             (QList<QVariantList>{
                 {"Alpha changed", field == "DATE01" ? QVariant("2026-12-31") : QVariant(12)}}));
}

void TestDataSource::datesAreParsedInTheUsersForm_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("month first") << "en_US"
                                 << "12/31/2026" << QVariant("2026-12-31") << "12/31/2026";
    QTest::newRow("two-digit year") << "en_US"
                                    << "1/5/26" << QVariant("2026-01-05") << "1/5/2026";
    QTest::newRow("last century") << "en_US"
                                  << "1/5/45" << QVariant("1945-01-05") << "1/5/1945";
    QTest::newRow("iso") << "en_US"
                         << "2026-07-04" << QVariant("2026-07-04") << "7/4/2026";
    QTest::newRow("time of day") << "en_US"
                                 << "12/5/2026 2:30 PM" << QVariant("2026-12-05 14:30:00")
                                 << "12/5/2026 2:30 PM";
    QTest::newRow("day first") << "de_DE"
                               << "31.12.2026" << QVariant("2026-12-31") << "31.12.2026";
    QTest::newRow("day first with time")
        << "de_DE"
        << "5.12.2026 14:30" << QVariant("2026-12-05 14:30:00") << "05.12.2026 14:30";
    QTest::newRow("british") << "en_GB"
                             << "05/12/2026" << QVariant("2026-12-05") << "05/12/2026";
    QTest::newRow("month named") << "C"
                                 << "2 Nov 2026" << QVariant("2026-11-02") << "2 Nov 2026";
    QTest::newRow("month named with time")
        << "C"
        << "2 Nov 2026 14:30" << QVariant("2026-11-02 14:30:00") << "2 Nov 2026 14:30:00";
    QTest::newRow("emptied") << "en_US"
                             << "" << QVariant() << "";
}

void TestDataSource::datesAreParsedInTheUsersForm() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QVariant, stored);
    QFETCH(QString, shown);
    Locale::pin(QLocale(locale));
    auto data = companies();
    QLineEdit date;
    FieldBinder::bind(data.get(), &date, "DATE01");
    date.setText(text);
    QVERIFY(data->recordset()->update());
    QCOMPARE(this->stored("SELECT DATE01 FROM TABLE01 WHERE AUTONUMBER = 1"), stored);
    QVERIFY(data->refresh());
    QCOMPARE(date.text(), shown);
}

void TestDataSource::bindersFollowTheCurrentRow() {
    auto data = companies();
    QLineEdit name, nameAgain;
    QPlainTextEdit notes;
    QLabel label;
    FieldBinder::bind(data.get(), &name, "TEXT01");
    FieldBinder::bind(data.get(), &nameAgain, "TEXT01");
    FieldBinder::bind(data.get(), &notes, "TEXT18");
    FieldBinder::bind(data.get(), &label, "NUMBER01");
    QCOMPARE(label.text(), QString("10"));
    QCOMPARE(notes.toPlainText(), QString("Ann"));
    data->recordset()->moveNext();
    QCOMPARE(name.text(), QString("Beta"));
    QCOMPARE(label.text(), QString()); // NULL shows empty
    // Two boxes on one field follow each other's edits.
    name.setText("Bet");
    QCOMPARE(nameAgain.text(), QString("Bet"));
    notes.setPlainText("Bob\nand Ann");
    data->recordset()->moveFirst();
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT18 FROM TABLE01 WHERE "
                                            "AUTONUMBER = 2"),
             (QList<QVariantList>{{"Bet", "Bob\nand Ann"}}));
    // A label never edits.
    label.setText("999");
    QVERIFY(!data->recordset()->hasPendingEdit());
}

void TestDataSource::distinctQueriesAreReadOnly() {
    auto data = companies("SELECT DISTINCT TEXT18 FROM TABLE01 ORDER BY TEXT18");
    auto* rs = data->recordset();
    QCOMPARE(rs->recordCount(), 2);
    QCOMPARE(data->columnTexts(0), (QStringList{"Ann", "Bob"}));
    QVERIFY(!rs->setField("TEXT18", "Zed"));
    QVERIFY(!rs->deleteCurrent());
    QVERIFY(!rs->addNew());
    QVERIFY(rs->moveLast());
    QCOMPARE(rs->fieldText("TEXT18"), QString("Bob"));
    QVERIFY(rs->setBookmark(data->bookmarkAt(0)));
    QCOMPARE(rs->fieldText("TEXT18"), QString("Ann"));
}

void TestDataSource::badRecordSourceKeepsTheRows() {
    auto data = companies();
    data->setRecordSource("SELECT * FROM TABLE01 WHERE");
    QVERIFY(!data->refresh());
    QVERIFY(data->lastError().contains("Syntax error"));
    QCOMPARE(data->recordset()->recordCount(), 3);
    data->setRecordSource("SELECT * FROM NOSUCHTABLE");
    QVERIFY(!data->refresh());
    QVERIFY(data->lastError().contains("NOSUCHTABLE"));
    data->setDatabaseName("Missing.mdb");
    QVERIFY(!data->refresh());
    QVERIFY2(data->lastError().contains("Missing.mdb"), qPrintable(data->lastError()));
    QVERIFY(!QFile::exists(m_session->file("Missing.mdb"))); // never created by opening
}

QTEST_MAIN(TestDataSource)
#include "tst_datasource.moc"
