#include "TestSession.h"

#include "app/Forms.h"
#include "contacts/FormImport.h"
#include "formats/VCard.h"
#include "services/FileChooser.h"
#include "services/MsgBox.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

// The import of companies and contacts: from the staging table a mail
// program exported, and from vCard and CSV files; the flag that makes a
// second import ask first.
class TestImport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_session.reset(); }

    void tableImportAddsDistinctCompanies();
    void secondImportAsksFirst();
    void brokenStagingTableIsReported();
    void fileImport_data();
    void fileImport();
    void cancelledFileChoiceImportsNothing();
    void unreadableFileIsReported();
    void likelyDuplicatesAreOfferedFirst_data();
    void likelyDuplicatesAreOfferedFirst();

private:
    FormImport* window() const { return qobject_cast<FormImport*>(Forms::loaded("FormImport")); }
    template <class T = QWidget> T* child(const QString& name) const {
        T* widget = window()->findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    void click(const QString& name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    int count(const QString& sql) const { return m_session->scalar("TESSALY.mdb", sql).toInt(); }
    QString flag() const {
        return m_session->scalar("User.mdb", "SELECT TEXT10 FROM TABLE01").toString();
    }
    void stage() {
        m_session->exec(
            "TESSALY.mdb",
            "CREATE TABLE Contacts (FirstName TEXT, LastName TEXT, Company TEXT, BusinessCity "
            "TEXT, BusinessPhone TEXT, BusinessFax TEXT, WebPage TEXT);"
            "INSERT INTO Contacts VALUES ('Ann', 'Lee', 'Acme', 'Tacoma', '555-1', '555-2', "
            "'acme.test'), ('Bob', 'Ray', 'Acme', 'Tacoma', '555-1', '555-2', 'acme.test'), "
            "('Cid', 'Roe', 'Acme', 'Seattle', '555-9', '', 'acme.test'), "
            "('Dee', 'Fox', 'O''Brien Farms', 'Boise', '', '', '');");
    }
    QString writeFile(const QString& name, const QByteArray& bytes) const {
        const QString path = m_session->file(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        file.write(bytes);
        return path;
    }

    std::unique_ptr<TestSession> m_session;
};

void TestImport::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec("User.mdb", "UPDATE TABLE01 SET TEXT09 = '2'"); // the mail window's state
    m_session->registerForms();
}

void TestImport::tableImportAddsDistinctCompanies() {
    stage();
    auto* menu = Forms::show("FormMenu");
    QTest::mouseClick(menu->findChild<QPushButton*>("CommandImport"), Qt::LeftButton);
    QVERIFY(window() && window()->isVisible());
    QCOMPARE(window()->windowTitle(), QString("Import"));
    click("CommandImport");
    QCOMPARE(child<QLabel>("LabelDone")->text(), QString("All records successfully imported!"));
    QVERIFY(!child<QPushButton>("CommandImport")->isEnabled());
    // Two contacts of Acme with the same details give one company; a third
    // in another city gives another Acme.
    QCOMPARE(count("SELECT COUNT(*) FROM TABLE01 WHERE TEXT01 = 'Acme'"), 2);
    QCOMPARE(count("SELECT COUNT(*) FROM TABLE01 WHERE TEXT01 = 'Acme' AND TEXT08 = 'Tacoma' AND "
                   "TEXT10 = '555-1' AND TEXT11 = '555-2' AND TEXT12 = 'acme.test'"),
             1);
    // Listed among the active companies.
    QCOMPARE(count("SELECT COUNT(*) FROM TABLE01 WHERE TEXT20 = 'Company'"), 3);
    QCOMPARE(flag(), QString("1"));
    // The window's close takes the staging table along; the mail window's
    // state is where it was.
    window()->close();
    QCOMPARE(count("SELECT COUNT(*) FROM sqlite_master WHERE name = 'Contacts'"), 0);
    QVERIFY(Forms::isVisible("FormMenu"));
    QCOMPARE(m_session->scalar("User.mdb", "SELECT TEXT09 FROM TABLE01").toString(), QString("2"));
}

void TestImport::secondImportAsksFirst() {
    m_session->exec("User.mdb", "UPDATE TABLE01 SET TEXT10 = '1'");
    stage();
    Forms::show("FormImport");
    click("CommandImport");
    QCOMPARE(child<QLabel>("LabelDone")->text(), FormImport::againQuestion());
    QVERIFY(child<QPushButton>("CommandYes")->isVisible());
    QVERIFY(child<QPushButton>("CommandNo")->isVisible());
    QCOMPARE(window()->focusWidget(), child<QWidget>("CommandNo"));
    click("CommandNo");
    QVERIFY(!Forms::isLoaded("FormImport"));
    QCOMPARE(count("SELECT COUNT(*) FROM TABLE01"), 0);
    // The table went with the window; staged again, and this time Yes.
    stage();
    Forms::show("FormImport");
    click("CommandImport");
    click("CommandYes");
    QCOMPARE(child<QLabel>("LabelDone")->text(), QString("All records successfully imported!"));
    QVERIFY(!child<QPushButton>("CommandYes")->isVisible());
    QCOMPARE(count("SELECT COUNT(*) FROM TABLE01"), 3);
}

void TestImport::brokenStagingTableIsReported() {
    m_session->exec("TESSALY.mdb", "CREATE TABLE Contacts (Company TEXT)"); // no city, no phone
    Forms::show("FormImport");
    m_session->expectMessage(FormImport::failureMessage());
    click("CommandImport");
    QCOMPARE(MsgBox::last().style, int(MsgBox::OKOnly | MsgBox::Critical));
    QVERIFY(!Forms::isLoaded("FormImport"));
    QCOMPARE(count("SELECT COUNT(*) FROM sqlite_master WHERE name = 'Contacts'"), 0);
    QCOMPARE(flag(), QString());
}

void TestImport::fileImport_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    VCard::Contact zoe;
    zoe.title = "Ms";
    zoe.firstName = QString::fromUtf8("Zoë");
    zoe.lastName = "Adams";
    zoe.company = "Acme, Inc.";
    zoe.city = "Tacoma";
    zoe.telephone = "0123 456";
    zoe.email = "zoe@acme.test";
    zoe.jobTitle = "Buyer";
    VCard::Contact bill = zoe;
    bill.title = "Mr";
    bill.firstName = "Bill";
    bill.lastName = "O'Brien";
    bill.email = "bill@acme.test";
    VCard::Contact solo;
    solo.firstName = "Sam";
    solo.lastName = "Solo";
    QTest::newRow("vCard") << "contacts.vcf" << VCard::write({zoe, bill, solo}).toUtf8();
    QTest::newRow("CSV as this program exports it")
        << "contacts.csv"
        << QByteArray("\xEF\xBB\xBF"
                      "Company,Business City,Business Phone,Title,First Name,Last Name,E-mail "
                      "Address,Job Title\r\n"
                      "\"Acme, Inc.\",Tacoma,0123 456,Ms,Zo\xC3\xAB,Adams,zoe@acme.test,Buyer\r\n"
                      "\"Acme, Inc.\",Tacoma,0123 456,Mr,Bill,O'Brien,bill@acme.test,Buyer\r\n"
                      ",,,,Sam,Solo,,\r\n");
    QTest::newRow("CSV of an address book, other order and names")
        << "export.txt"
        << QByteArray("Given Name,Family Name,Organization,Primary Email,Work City,Work Phone,"
                      "Name Prefix,Occupation\n"
                      "Zo\xC3\xAB,Adams,\"Acme, Inc.\",zoe@acme.test,Tacoma,0123 456,Ms,Buyer\n"
                      "Bill,O'Brien,\"Acme, Inc.\",bill@acme.test,Tacoma,0123 456,Mr,Buyer\n"
                      "Sam,Solo,,,,,,\n");
}

void TestImport::fileImport() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    const QString path = writeFile(name, content);
    FileChooser::setChooser([&](const QString&, const QString& filter) {
        return filter.contains("*.vcf") && filter.contains("*.csv") ? path : QString();
    });
    Forms::show("FormImport");
    click("CommandImport");
    QCOMPARE(child<QLabel>("LabelDone")->text(),
             QString("All records successfully imported!\n2 companies and 3 contacts were added."));
    QCOMPARE(flag(), QString("1"));
    // Zoë and Bill under one Acme; Sam, with no company, a company of his own.
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT08, TEXT10, TEXT20 FROM TABLE01 "
                                            "ORDER BY AUTONUMBER"),
             (QList<QVariantList>{{"Acme, Inc.", "Tacoma", "0123 456", "Company"},
                                  {"Sam Solo", QVariant(), QVariant(), "Company"}}));
    QCOMPARE(m_session->rows("TESSALY.mdb",
                             "SELECT TABLE01.TEXT01, TABLE03.TEXT01, TABLE03.TEXT02, "
                             "TABLE03.TEXT03, TABLE03.TEXT05, TABLE03.TEXT07, TABLE03.TEXT11, "
                             "TABLE03.DATE03 FROM TABLE03 JOIN TABLE01 ON TABLE01.AUTONUMBER = "
                             "TABLE03.NUMBER01 ORDER BY TABLE03.AUTONUMBER"),
             (QList<QVariantList>{{"Acme, Inc.", "Ms", QString::fromUtf8("Zoë"), "Adams",
                                   "zoe@acme.test", "Buyer", QString::fromUtf8("Zoë Adams"),
                                   "2026-12-10"},
                                  {"Acme, Inc.", "Mr", "Bill", "O'Brien", "bill@acme.test", "Buyer",
                                   "Bill O'Brien", "2026-12-10"},
                                  {"Sam Solo", QVariant(), "Sam", "Solo", QVariant(), QVariant(),
                                   "Sam Solo", "2026-12-10"}}));
}

void TestImport::cancelledFileChoiceImportsNothing() {
    FileChooser::setChooser([](const QString&, const QString&) { return QString(); });
    Forms::show("FormImport");
    click("CommandImport");
    QVERIFY(child<QPushButton>("CommandImport")->isEnabled());
    QCOMPARE(count("SELECT COUNT(*) FROM TABLE01"), 0);
    QCOMPARE(flag(), QString());
}

void TestImport::unreadableFileIsReported() {
    const QString path = writeFile("notes.csv", "just,some,numbers\r\n1,2,3\r\n");
    FileChooser::setChooser([&](const QString&, const QString&) { return path; });
    Forms::show("FormImport");
    m_session->expectMessage("Nothing was imported: The file's first line names no column");
    click("CommandImport");
    QCOMPARE(count("SELECT COUNT(*) FROM TABLE01"), 0);
    QCOMPARE(flag(), QString());
    QVERIFY(Forms::isVisible("FormImport")); // the user may pick another file
}

void TestImport::likelyDuplicatesAreOfferedFirst_data() {
    QTest::addColumn<bool>("fromFile"); // else the staging table
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("added"); // the companies added, "name/city"
    QTest::newRow("file: add anyway")
        << true << int(MsgBox::Yes) << QStringList{"Acme, Inc./Tacoma", "Sam Solo/"};
    QTest::newRow("file: skip") << true << int(MsgBox::No) << QStringList{"Sam Solo/"};
    QTest::newRow("file: cancel") << true << int(MsgBox::Cancel) << QStringList{};
    // Acme in Tacoma is likely the same company; Acme in Seattle, with
    // another city, is not offered as one.
    QTest::newRow("table: add anyway")
        << false << int(MsgBox::Yes)
        << QStringList{"Acme/Seattle", "Acme/Tacoma", "O'Brien Farms/Boise"};
    QTest::newRow("table: skip") << false << int(MsgBox::No)
                                 << QStringList{"Acme/Seattle", "O'Brien Farms/Boise"};
    QTest::newRow("table: cancel") << false << int(MsgBox::Cancel) << QStringList{};
}

void TestImport::likelyDuplicatesAreOfferedFirst() {
    QFETCH(bool, fromFile);
    QFETCH(int, answer);
    QFETCH(QStringList, added);
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE01 (TEXT01, TEXT08, TEXT20) VALUES "
                                   "('ACME Limited', 'Tacoma', 'Archive')");
    QString path;
    if (fromFile) {
        path = writeFile("contacts.csv", "Company,Business City,First Name,Last Name\r\n"
                                         "\"Acme, Inc.\",Tacoma,Zoe,Adams\r\n"
                                         "\"Acme, Inc.\",Tacoma,Bill,Ray\r\n"
                                         ",,Sam,Solo\r\n");
        FileChooser::setChooser([&](const QString&, const QString&) { return path; });
    } else {
        stage();
    }
    Forms::show("FormImport");
    m_session->expectMessage(
        fromFile ? "1 of the companies to import may already be in the database, for example "
                   "\"Acme, Inc.\" (as \"ACME Limited\").\r\nYes adds them anyway, No skips them, "
                   "Cancel imports nothing."
                 : "1 of the companies to import may already be in the database, for example "
                   "\"Acme\" (as \"ACME Limited\").",
        MsgBox::Result(answer));
    click("CommandImport");
    QCOMPARE(MsgBox::last().style, int(MsgBox::YesNoCancel | MsgBox::Question));
    QStringList companies;
    for (const QVariantList& row :
         m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT08 FROM TABLE01 WHERE TEXT01 <> "
                                        "'ACME Limited' ORDER BY TEXT01, TEXT08"))
        companies << row.value(0).toString() + '/' + row.value(1).toString();
    QCOMPARE(companies, added);
    QCOMPARE(flag(), QString(answer == MsgBox::Cancel ? "" : "1"));
    if (fromFile)
        QCOMPARE(count("SELECT COUNT(*) FROM TABLE03"), answer == MsgBox::Yes  ? 3
                                                        : answer == MsgBox::No ? 1
                                                                               : 0);
}

QTEST_MAIN(TestImport)
#include "tst_import.moc"
