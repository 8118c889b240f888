#include "TestSession.h"

#include "app/Forms.h"
#include "contacts/FormExport.h"
#include "data/DataSource.h"
#include "formats/Csv.h"
#include "formats/VCard.h"
#include "services/MsgBox.h"
#include "widgets/DBCombo.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The export of a sales person's contacts: the .csv mail programs import and
// the vCards address books and phones take, read back.
class TestExport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_session.reset(); }

    void exportWritesBothFiles();
    void exportNeedsAName();
    void unwritableTempFolderIsReported();
    void vCardsSurviveTheirOwnReading_data();
    void vCardsSurviveTheirOwnReading();
    void vCardLinesAreFolded();

private:
    FormExport* window() const { return qobject_cast<FormExport*>(Forms::loaded("FormExport")); }
    template <class T = QWidget> T* child(const QString& name) const {
        T* widget = window()->findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    void chooseName(const QString& typed) {
        auto* combo = child<DBCombo>("DBComboName");
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), typed);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    }
    QByteArray readFile(const QString& name) const {
        QFile file(m_session->file("Temp/" + name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<TestSession> m_session;
};

void TestExport::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec(
        "TESSALY.mdb",
        "INSERT INTO MT12 (TEXT01) VALUES ('Ann'), ('Dana O''Neill');"
        "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT06, TEXT07, TEXT08, TEXT10, TEXT11, TEXT12, "
        "TEXT18, TEXT20) VALUES "
        "(1, 'Acme, Inc.', '1200 Dock Street', 'Suite 400', 'Tacoma', '0123 456', '0123 457', "
        "'www.acme.test', 'Dana O''Neill', 'Company'),"
        "(2, 'Baker''s Dozen', '', '', 'Portland', '', '', '', 'Ann', 'Company'),"
        "(3, 'Crane Works', '', '', 'Boise', '', '', '', 'Dana O''Neill', 'Archive');"
        "INSERT INTO TABLE03 (NUMBER01, TEXT01, TEXT02, TEXT03, TEXT04, TEXT05, TEXT07, TEXT10) "
        "VALUES "
        "(1, 'Ms', 'Zoë', 'Adams', '0777 1', 'zoe@acme.test', 'Buyer', 'Ray \"Quick\" Lee'),"
        "(1, 'Mr', 'Bill', 'O''Brien', '', '', 'Head of sales; tools', ''),"
        "(1, '', 'Cid', 'Smith, Jr.', '', '', '', ''),"
        "(2, 'Mr', 'Carl', 'Baker', '', '', '', ''),"
        "(3, 'Ms', 'Old', 'Timer', '', '', '', '');"
        "CREATE TABLE Contacts (Company TEXT);");
    m_session->registerForms();
}

void TestExport::exportWritesBothFiles() {
    auto* menu = Forms::show("FormMenu");
    QTest::mouseClick(menu->findChild<QPushButton*>("CommandExport"), Qt::LeftButton);
    QVERIFY(window() && window()->isVisible());
    QCOMPARE(window()->windowTitle(), QString("Export"));
    QVERIFY(!child<QPushButton>("CommandExport")->isEnabled());
    chooseName("Dana");
    QVERIFY(child<QPushButton>("CommandExport")->isEnabled());
    QTest::mouseClick(child<QPushButton>("CommandExport"), Qt::LeftButton);
    QCOMPARE(child<QLabel>("LabelDone")->text(), QString("All contacts successfully exported!"));
    QVERIFY(child<QLabel>("LabelDone")->isVisible());
    QVERIFY(!child<QPushButton>("CommandExport")->isEnabled());
    // The staging table of an import is gone.
    QCOMPARE(
        m_session
            ->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM sqlite_master WHERE name = 'Contacts'")
            .toInt(),
        0);

    // UTF-8 with its byte order mark; the headings, then a line per contact
    // of Dana's active companies, each with the company's address.
    const QByteArray csv = readFile("Contacts.csv");
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    QVERIFY(csv.contains("\"Acme, Inc.\""));
    QVERIFY(csv.contains("\"Ray \"\"Quick\"\" Lee\""));
    const QList<QStringList> rows = Csv::parse(QString::fromUtf8(csv));
    QCOMPARE(rows.value(0),
             (QStringList{"Company", "Business Street", "Business Street2", "Business City",
                          "Business Phone", "Business Fax", "Web Page", "Title", "First Name",
                          "Last Name", "Mobile Phone", "E-mail Address", "Job Title",
                          "Assistant's Name"}));
    QCOMPARE(rows.size(), 4);
    QStringList names;
    for (const QStringList& row : rows.mid(1)) {
        QCOMPARE(row.mid(0, 7), (QStringList{"Acme, Inc.", "1200 Dock Street", "Suite 400",
                                             "Tacoma", "0123 456", "0123 457", "www.acme.test"}));
        names << row.value(8) + ' ' + row.value(9);
    }
    names.sort();
    QCOMPARE(names,
             (QStringList{"Bill O'Brien", "Cid Smith, Jr.", QString::fromUtf8("Zoë Adams")}));
    QCOMPARE(window()->data()->rowCount(), 3); // the grid shows them too

    // The same contacts as vCards.
    const QList<VCard::Contact> cards = VCard::parse(QString::fromUtf8(readFile("Contacts.vcf")));
    QCOMPARE(cards.size(), 3);
    for (const VCard::Contact& card : cards) {
        QCOMPARE(card.company, QString("Acme, Inc."));
        QCOMPARE(card.street, QString("1200 Dock Street\nSuite 400"));
        QCOMPARE(card.city, QString("Tacoma"));
        QCOMPARE(card.telephone, QString("0123 456"));
        QCOMPARE(card.telefax, QString("0123 457"));
        if (card.lastName == "Adams") {
            QCOMPARE(card.firstName, QString::fromUtf8("Zoë"));
            QCOMPARE(card.title, QString("Ms"));
            QCOMPARE(card.cellphone, QString("0777 1"));
            QCOMPARE(card.email, QString("zoe@acme.test"));
            QCOMPARE(card.jobTitle, QString("Buyer"));
            QCOMPARE(card.assistant, QString("Ray \"Quick\" Lee"));
        }
        if (card.lastName == "O'Brien")
            QCOMPARE(card.jobTitle, QString("Head of sales; tools"));
    }
}

void TestExport::exportNeedsAName() {
    Forms::show("FormExport");
    chooseName("Nobody");
    QVERIFY(!child<QPushButton>("CommandExport")->isEnabled());
    QVERIFY(readFile("Contacts.csv").isEmpty());
}

void TestExport::unwritableTempFolderIsReported() {
    // Temp is a file here, so nothing can be written into it.
    QDir(m_session->file("Temp")).removeRecursively();
    QFile blocker(m_session->file("Temp"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Forms::show("FormExport");
    chooseName("Dana");
    m_session->expectMessage("The file ");
    QTest::mouseClick(child<QPushButton>("CommandExport"), Qt::LeftButton);
    QVERIFY(MsgBox::last().text.contains("Contacts.csv"));
    // Nothing is reported as exported, and the user may try again.
    QVERIFY(!child<QLabel>("LabelDone")->isVisible());
    QVERIFY(child<QPushButton>("CommandExport")->isEnabled());
}

void TestExport::vCardsSurviveTheirOwnReading_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "Adams";
    QTest::newRow("signs vCards escape") << "a,b;c\\d";
    QTest::newRow("line breaks") << "first\nsecond";
    QTest::newRow("accents and scripts") << QString::fromUtf8("Zoë Ærø 東京 Ελλάδα");
    QTest::newRow("long") << QString(200, 'x');
    QTest::newRow("long, multibyte") << QString(90, QChar(0x00e9));
}

void TestExport::vCardsSurviveTheirOwnReading() {
    QFETCH(QString, value);
    VCard::Contact card;
    card.firstName = "Ann";
    card.lastName = value;
    card.company = value;
    card.jobTitle = value;
    card.street = value;
    card.city = "Tacoma";
    card.assistant = value;
    const QList<VCard::Contact> read = VCard::parse(VCard::write({card, card}));
    QCOMPARE(read.size(), 2);
    QCOMPARE(read[1].lastName, value);
    QCOMPARE(read[1].company, value);
    QCOMPARE(read[1].jobTitle, value);
    QCOMPARE(read[1].street, value);
    QCOMPARE(read[1].city, QString("Tacoma"));
    QCOMPARE(read[1].assistant, value);
}

void TestExport::vCardLinesAreFolded() {
    VCard::Contact card;
    card.firstName = "Ann";
    card.lastName = QString(90, QChar(0x00e9)); // two octets each
    const QByteArray text = VCard::write({card}).toUtf8();
    QVERIFY(text.startsWith("BEGIN:VCARD\r\nVERSION:4.0\r\n"));
    QVERIFY(text.endsWith("END:VCARD\r\n"));
    for (const QByteArray& line : text.split('\n')) {
        QVERIFY2(line.size() <= 76, line.constData());     // 75 octets and the CR
        QVERIFY(QString::fromUtf8(line).toUtf8() == line); // never split inside a character
    }
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
