#include "TestSession.h"

#include "app/FormHelp.h"
#include "app/Forms.h"
#include "setup/FormDuplicates.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

// The duplicate companies window from the setup menu: the groups of likely
// duplicates, largest first, and a merge of one group into the entry the
// user keeps, checked in SQL.
class TestDuplicates : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void setupMenuOpensTheWindow();
    void groupsAreListedLargestFirst();
    void mergeThroughTheWindow_data();
    void mergeThroughTheWindow();
    void mergeNeedsAnEntrySelected();
    void noDuplicatesSaysSo();
    void manualChapterOnTheHelpPage();

private:
    FormDuplicates* open() { return qobject_cast<FormDuplicates*>(Forms::show("FormDuplicates")); }
    QTreeWidgetItem* entry(FormDuplicates* form, int group, const QString& name) const;
    std::unique_ptr<TestSession> m_session;
};

namespace {
const QString Tessaly = QStringLiteral("TESSALY.mdb");
}

void TestDuplicates::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec(Tessaly,
                    "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT08, TEXT10, TEXT20) VALUES "
                    "(1, 'Acme Ltd', 'Leeds', NULL, 'Company'), "
                    "(2, 'ACME Limited', NULL, '0113 555 0100', 'Company'), "
                    "(3, 'Acme Ltd.', 'Leeds', NULL, 'Archive'), "
                    "(4, 'Bolt GmbH', 'Köln', NULL, 'Company'), "
                    "(5, 'BOLT', NULL, NULL, 'Company'), "
                    "(6, 'Acme Foods', 'Leeds', NULL, 'Company'), "
                    "(7, 'Crane', 'York', NULL, 'Company')");
    for (int owner = 1; owner <= 7; ++owner) {
        m_session->exec(Tessaly, QString("INSERT INTO TABLE03 (NUMBER01, TEXT02) VALUES (%1, "
                                         "'Contact of %1')")
                                     .arg(owner));
        m_session->exec(Tessaly, QString("INSERT INTO TABLE08 (NUMBER01, TEXT01, DATE01, MEMO01) "
                                         "SELECT %1, TEXT01, '2026-01-01', 'Call' FROM TABLE01 "
                                         "WHERE AUTONUMBER = %1")
                                     .arg(owner));
    }
    m_session->registerForms();
}

void TestDuplicates::cleanup() {
    m_session.reset();
}

QTreeWidgetItem* TestDuplicates::entry(FormDuplicates* form, int group, const QString& name) const {
    QTreeWidgetItem* top = form->groups()->topLevelItem(group);
    for (int i = 0; top && i < top->childCount(); ++i)
        if (top->child(i)->text(0) == name)
            return top->child(i);
    return nullptr;
}

void TestDuplicates::setupMenuOpensTheWindow() {
    Form* menu = Forms::show("FormMenu");
    QTest::mouseClick(menu->findChild<QPushButton*>("CommandSetup"), Qt::LeftButton);
    auto* password = menu->findChild<QLineEdit*>("Text1");
    password->setFocus();
    QTest::keyClicks(password, "Kelvorin");
    QTest::mouseClick(menu->findChild<QPushButton*>("CommandEnter"), Qt::LeftButton);
    auto* command = menu->findChild<QPushButton*>("CommandDuplicates");
    QVERIFY(command && command->isVisible() && command->isEnabled());
    QCOMPARE(menu->findChild<QLabel*>("LabelDuplicates")->text(),
             QString("Find Duplicate Companies"));
    // The frame holds all its commands.
    auto* frame = menu->findChild<QGroupBox*>("FrameAdvanced2");
    QVERIFY(frame->rect().contains(command->geometry()));
    QTest::mouseClick(command, Qt::LeftButton);
    QVERIFY(Forms::isVisible("FormDuplicates"));
}

void TestDuplicates::groupsAreListedLargestFirst() {
    FormDuplicates* form = open();
    QTreeWidget* tree = form->groups();
    QCOMPARE(tree->topLevelItemCount(), 2);
    QCOMPARE(tree->topLevelItem(0)->childCount(), 3);
    QCOMPARE(tree->topLevelItem(1)->childCount(), 2);
    QVERIFY(tree->topLevelItem(0)->text(0).endsWith("(3 entries)"));
    QVERIFY(entry(form, 0, "Acme Ltd."));
    QCOMPARE(entry(form, 0, "Acme Ltd.")->text(3), QString("Archived"));
    QVERIFY(!entry(form, 0, "Acme Foods")); // a near miss is no duplicate
    QCOMPARE(form->findChild<QLabel*>("LabelCount")->text(),
             QString("2 groups of likely duplicates"));
    // Opening a group counts the rows of each entry.
    tree->expandItem(tree->topLevelItem(0));
    QCOMPARE(entry(form, 0, "ACME Limited")->text(4), QString("2"));
}

void TestDuplicates::mergeThroughTheWindow_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("merged") << int(MsgBox::Yes);
    QTest::newRow("not merged") << int(MsgBox::No);
}

void TestDuplicates::mergeThroughTheWindow() {
    QFETCH(int, answer);
    FormDuplicates* form = open();
    QTreeWidget* tree = form->groups();
    tree->expandItem(tree->topLevelItem(0));
    QTreeWidgetItem* kept = entry(form, 0, "ACME Limited");
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(kept).center());
    QVERIFY(kept->isSelected());
    auto* merge = form->findChild<QPushButton*>("CommandMerge");
    QVERIFY(merge->isEnabled());
    m_session->expectMessage("Merge the 2 other entries of this group into 'ACME Limited'?",
                             MsgBox::Result(answer));
    if (answer == MsgBox::Yes)
        m_session->expectMessage("'ACME Limited' now holds 4 more rows; 2 entries were removed.");
    QTest::mouseClick(merge, Qt::LeftButton);

    const QStringList companies =
        m_session->column(Tessaly, "SELECT AUTONUMBER FROM TABLE01 ORDER BY AUTONUMBER");
    if (answer == MsgBox::No) {
        QCOMPARE(companies.size(), 7);
        QCOMPARE(tree->topLevelItemCount(), 2);
        return;
    }
    QCOMPARE(companies, QStringList({"2", "4", "5", "6", "7"}));
    QCOMPARE(m_session->scalar(Tessaly, "SELECT COUNT(*) FROM TABLE03 WHERE NUMBER01 = 2").toInt(),
             3);
    QCOMPARE(m_session
                 ->scalar(Tessaly, "SELECT COUNT(*) FROM TABLE08 WHERE NUMBER01 = 2 OR "
                                   "TEXT01 = 'ACME Limited'")
                 .toInt(),
             3);
    // The kept entry's empty city came from the others.
    QCOMPARE(m_session->scalar(Tessaly, "SELECT TEXT08 FROM TABLE01 WHERE AUTONUMBER = 2"),
             QVariant("Leeds"));
    // The list is read again: one group left.
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(tree->topLevelItem(0)->text(0), QString("BOLT (2 entries)"));
}

void TestDuplicates::mergeNeedsAnEntrySelected() {
    FormDuplicates* form = open();
    QVERIFY(!form->findChild<QPushButton*>("CommandMerge")->isEnabled());
    m_session->expectMessage("Please open a group and select the entry to keep.");
    form->CommandMerge_Click();
    QCOMPARE(m_session->scalar(Tessaly, "SELECT COUNT(*) FROM TABLE01").toInt(), 7);
}

void TestDuplicates::noDuplicatesSaysSo() {
    m_session->exec(Tessaly, "DELETE FROM TABLE01 WHERE AUTONUMBER IN (2, 3, 5)");
    FormDuplicates* form = open();
    QCOMPARE(form->groups()->topLevelItemCount(), 0);
    QCOMPARE(form->findChild<QLabel*>("LabelCount")->text(),
             QString("No likely duplicates found."));
}

void TestDuplicates::manualChapterOnTheHelpPage() {
    FormDuplicates* form = open();
    QTest::keyRelease(form, Qt::Key_F1);
    settle();
    auto* help = qobject_cast<FormHelp*>(Forms::loaded("FormHelp"));
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->page(), 60);
    QPdfDocument manual;
    QCOMPARE(manual.load(m_session->file("Help.pdf")), QPdfDocument::Error::None);
    QVERIFY(manual.pageCount() >= 60);
    const QString text = manual.getAllText(59).text();
    QVERIFY2(text.simplified().startsWith("Finding and merging duplicate companies"),
             qPrintable(text.left(80)));
}

QTEST_MAIN(TestDuplicates)
#include "tst_duplicates.moc"
