#include "TestMain.h"
#include "TestSession.h"

#include "data/DataSource.h"
#include "data/Database.h"
#include "data/DocumentIndex.h"
#include "data/Installation.h"
#include "data/LikePattern.h"
#include "data/SqlParser.h"
#include "data/SqlQuote.h"
#include "data/SqliteConnection.h"
#include "formats/Rtf.h"
#include "platform/Locale.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

namespace {

// Words with accents and letters of several scripts, in mixed case.
const QStringList Words{"Anvil",   "anvils",   "PRICE", "price",    "Ärzte", "ÄRZTE", "straße",
                        "Øresund", "ça",       "Crème", "brûlée",   "Ωmega", "ωμέγα", "naïve",
                        "Dąbrowa", "İstanbul", "quote", "warranty", "claim", "Zoë",   "fifty"};

// A call report as the editor stores it: RTF with a font table, and words
// whose middle is bold, so that the markup cuts through them.
QString documentRtf(QRandomGenerator& random, QString* plain) {
    QString rtf = QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\pard\\f0 ");
    QStringList said;
    for (int w = 0; w < 12; ++w) {
        const QString word = Words.at(int(random.bounded(Words.size())));
        said.append(word);
        QString encoded;
        for (const QChar c : word)
            encoded += c.unicode() < 128 ? QString(c) : QStringLiteral("\\u%1?").arg(c.unicode());
        if (w % 4 == 1 && word.size() > 3) // "Ar{\b zt}e": bold inside the word
            encoded = encoded.left(1) + QStringLiteral("{\\b ") + encoded.mid(1, 2) +
                      QStringLiteral("}") + encoded.mid(3);
        rtf += encoded + (w % 5 == 4 ? QStringLiteral("\\par ") : QStringLiteral(" "));
    }
    rtf += u'}';
    *plain = said.join(u' ');
    return rtf;
}

} // namespace

// The indexes beside the call reports and correspondence: the company
// lookup by key or name and the search of the documents' plain text give
// what a scan of the table gives, for rows the program wrote and rows
// another tool wrote, and the stock SQLite tools find the file whole.
class TestDocumentIndex : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_session.reset(); }

    void searchGivesWhatAScanOfThePlainTextGives();
    void searchFindsTextNotMarkup_data();
    void searchFindsTextNotMarkup();
    void lookupByNameFindsRowsOtherToolsStored_data();
    void lookupByNameFindsRowsOtherToolsStored();
    void lookupsReadIndexesNotTheWholeTable();
    void changesByAnotherToolAreIndexed();
    void indexOutOfStepIsRebuilt();
    void stockShellFindsTheFileWhole();

private:
    QStringList listed(const QString& source, const QString& field = "MEMO01");
    std::unique_ptr<TestSession> m_session;
};

void TestDocumentIndex::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT20) VALUES (1, 'Ärzte GmbH', "
                    "'Company'), (2, 'Acme', 'Company')");
}

QStringList TestDocumentIndex::listed(const QString& source, const QString& field) {
    DataSource data("Data1", nullptr);
    data.setDatabaseName("TESSALY.mdb");
    data.setRecordSource(source);
    if (!data.refresh()) {
        QTest::qFail(qPrintable(data.lastError()), __FILE__, __LINE__);
        return {};
    }
    return data.columnTexts(data.fieldIndex(field));
}

void TestDocumentIndex::searchGivesWhatAScanOfThePlainTextGives() {
    QRandomGenerator random(7);
    struct Document {
        QString date, plain;
    };
    QList<Document> documents;
    Database db;
    QVERIFY(db.open("TESSALY.mdb"));
    auto connection = db.connection();
    QVERIFY(connection->execute("BEGIN", nullptr));
    for (int i = 0; i < 400; ++i) {
        QString plain;
        const QString rtf = documentRtf(random, &plain);
        const QString date = QDate(2020, 1, 1).addDays(i).toString(Qt::ISODate);
        SqliteStatement insert = connection->prepare(
            "INSERT INTO TABLE08 (NUMBER01, TEXT01, DATE01, MEMO01) VALUES (1, 'Ärzte GmbH', ?, "
            "?)",
            nullptr);
        insert.bind(1, date);
        insert.bind(2, rtf);
        QCOMPARE(insert.step(), 101); // SQLITE_DONE
        documents.append({date, Rtf::toPlainText(rtf)});
    }
    QVERIFY(connection->execute("COMMIT", nullptr));
    db.close();
    std::sort(documents.begin(), documents.end(),
              [](const Document& a, const Document& b) { return a.date > b.date; });

    // Phrases of 1 to 20 characters cut from the texts, in another letter
    // case, and with the dialect's wildcards.
    QStringList phrases{
        "ä",     "rz",     "ÄRZ",   "zte st", "e PRICE",         "Ωmeg",           "ΩΜΈΓΑ",
        "naÏve", "r?sund", "Cr#me", "[zs]te", "nothing like it", "warranty claim", "anvils anvils",
        "*"};
    for (int n = 0; n < 60; ++n) {
        const QString& plain = documents.at(int(random.bounded(documents.size()))).plain;
        const int length = 1 + int(random.bounded(20));
        const int at = int(random.bounded(std::max(1, int(plain.size()) - length)));
        QString phrase = plain.mid(at, length);
        if (n % 3 == 0)
            phrase = phrase.toUpper();
        phrases.append(phrase);
    }
    for (const QString& phrase : std::as_const(phrases)) {
        const QString pattern = "*" + phrase + "*";
        const LikePattern like(pattern);
        QStringList expected;
        for (const Document& d : std::as_const(documents))
            if (like.matches(d.plain))
                expected.append(d.date);
        const QStringList found =
            listed("SELECT * FROM TABLE08 WHERE (((TABLE08.MEMO01) Like  '*" +
                       SqlQuote::text(phrase) + "*'   )) ORDER BY  TABLE08.DATE01 DESC",
                   "DATE01");
        QStringList foundDates;
        for (const QString& shown : found)
            foundDates.append(Locale::parseDate(shown)->toString(Qt::ISODate));
        QVERIFY2(foundDates == expected, qPrintable(QString("\"%1\": %2 found, %3 expected")
                                                        .arg(phrase)
                                                        .arg(foundDates.size())
                                                        .arg(expected.size())));
    }
}

void TestDocumentIndex::searchFindsTextNotMarkup_data() {
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<int>("found");
    QTest::newRow("a word partly bold") << "Warranty" << 1;
    QTest::newRow("across the bold part") << "rranty cl" << 1;
    QTest::newRow("a control word") << "fonttbl" << 0;
    QTest::newRow("a font name") << "Arial" << 0;
    QTest::newRow("a paragraph mark") << "\\par" << 0;
}

void TestDocumentIndex::searchFindsTextNotMarkup() {
    QFETCH(QString, phrase);
    QFETCH(int, found);
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE08 (NUMBER01, TEXT01, DATE01, MEMO01) VALUES (1, 'Ärzte "
                    "GmbH', '2026-12-01', '{\\rtf1{\\fonttbl{\\f0 Arial;}}\\pard\\f0 War{\\b "
                    "ran}ty claim\\par}')");
    for (const char* table : {"TABLE08", "TABLE09"}) {
        if (QString(table) == "TABLE09")
            m_session->exec("TESSALY.mdb",
                            "INSERT INTO TABLE09 (NUMBER01, TEXT07, DATE01, MEMO01) SELECT "
                            "NUMBER01, 'LETTER', DATE01, MEMO01 FROM TABLE08");
        QCOMPARE(listed(QString("SELECT * FROM %1 WHERE %1.MEMO01 Like '*%2*'")
                            .arg(table, SqlQuote::text(phrase)))
                     .size(),
                 found);
    }
}

void TestDocumentIndex::lookupByNameFindsRowsOtherToolsStored_data() {
    QTest::addColumn<QString>("company");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("expected");
    // Stored by the stock shell: no key, the name in other letter cases.
    QTest::newRow("accented name")
        << "Ärzte GmbH" << 1 << QStringList{"by key", "upper case", "lower case"};
    QTest::newRow("ASCII name") << "Acme" << 2 << QStringList{"acme by shell", "Acme by key"};
    QTest::newRow("apostrophe") << "O'Brien" << 3 << QStringList{"o'brien"};
}

void TestDocumentIndex::lookupByNameFindsRowsOtherToolsStored() {
    QFETCH(QString, company);
    QFETCH(int, key);
    QFETCH(QStringList, expected);
    // The program files one report; the shell adds others, in its own way.
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE08 (NUMBER01, TEXT01, DATE01, MEMO01) VALUES "
                                   "(1, 'Ärzte GmbH', '2026-12-09', 'by key'),"
                                   "(NULL, 'ÄRZTE GMBH', '2026-12-08', 'upper case'),"
                                   "(NULL, 'ärzte gmbh', '2026-12-07', 'lower case'),"
                                   "(NULL, 'Arzte GmbH', '2026-12-06', 'no accent: another name'),"
                                   "(NULL, 'acme', '2026-12-05', 'acme by shell'),"
                                   "(2, 'Acme Ltd', '2026-12-04', 'Acme by key'),"
                                   "(NULL, 'o''brien', '2026-12-03', 'o''brien')");
    const QString source =
        "SELECT * FROM TABLE08 WHERE TABLE08.TEXT01 = '" + SqlQuote::text(company) +
        "' OR TABLE08.NUMBER01 = " + QString::number(key) + " ORDER BY  TABLE08.DATE01 DESC";
    QCOMPARE(listed(source), expected);
}

void TestDocumentIndex::lookupsReadIndexesNotTheWholeTable() {
    auto connection = SqliteConnection::shared(m_session->file("TESSALY.mdb"), nullptr);
    QVERIFY(connection);
    QVERIFY(DocumentIndex::update(*connection, "TABLE08", nullptr));
    auto plan = [&](const QString& dialect) {
        QString error;
        const auto parsed = sql::SqlParser::parse(dialect, &error);
        auto translator = Database::translator(connection);
        translator.setUseDocumentIndexes(true);
        const auto translated = translator.translateSelect(parsed->select, &error);
        SqliteStatement explain =
            connection->prepare("EXPLAIN QUERY PLAN " + translated->sql(), &error);
        QStringList steps;
        while (explain.step() == 100)
            steps.append(explain.value(3).toString());
        return steps.join(" | ");
    };
    const QString lookup = plan("SELECT * FROM TABLE08 WHERE TABLE08.TEXT01 = 'Ärzte GmbH' OR "
                                "TABLE08.NUMBER01 = 1 ORDER BY  TABLE08.DATE01 DESC");
    QVERIFY2(!lookup.contains("SCAN TABLE08") && !lookup.contains("SCAN \"TABLE08\""),
             qPrintable(lookup));
    const QString search = plan("SELECT * FROM TABLE08 WHERE (((TABLE08.MEMO01) Like  '*warranty "
                                "claim*'   )) ORDER BY  TABLE08.DATE01 DESC");
    QVERIFY2(search.contains("VIRTUAL TABLE INDEX") && !search.contains("SCAN TABLE08 "),
             qPrintable(search));
}

void TestDocumentIndex::changesByAnotherToolAreIndexed() {
    const QString source = "SELECT * FROM TABLE08 WHERE TABLE08.MEMO01 Like '*gate code*'";
    QCOMPARE(listed(source), QStringList());
    // Another tool stores, changes and deletes documents: the index follows.
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE08 (NUMBER01, DATE01, MEMO01) VALUES (1, '2026-12-01', "
                    "'Gate code 4411'), (1, '2026-12-02', 'No code')");
    QCOMPARE(listed(source), QStringList{"Gate code 4411"});
    m_session->exec("TESSALY.mdb",
                    "UPDATE TABLE08 SET MEMO01 = 'Gate code 7' WHERE MEMO01 = "
                    "'No code'; DELETE FROM TABLE08 WHERE MEMO01 = 'Gate code 4411'");
    QCOMPARE(listed(source), QStringList{"Gate code 7"});
}

void TestDocumentIndex::indexOutOfStepIsRebuilt() {
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE08 (NUMBER01, TEXT01, DATE01, MEMO01) VALUES (NULL, "
                    "'ärzte gmbh', '2026-12-01', 'Gate code 4411')");
    const QString source = "SELECT * FROM TABLE08 WHERE TABLE08.TEXT01 = 'ÄRZTE GMBH' AND "
                           "TABLE08.MEMO01 Like '*4411*'";
    QCOMPARE(listed(source), QStringList{"Gate code 4411"});
    // Another tool works without the triggers, as an older version would.
    SqliteConnection::closeShared(m_session->file("TESSALY.mdb"));
    m_session->exec("TESSALY.mdb",
                    "DROP TRIGGER TABLE08_NOTE_INSERT; DROP TRIGGER TABLE08_NOTE_UPDATE; "
                    "INSERT INTO TABLE08 (NUMBER01, TEXT01, DATE01, MEMO01) VALUES (NULL, "
                    "'ÄRZTE GmbH', '2026-12-02', 'Code 4411 changed'); UPDATE TABLE08 SET "
                    "MEMO01 = 'Gate code 4411, old' WHERE DATE01 = '2026-12-01'");
    QString error;
    QVERIFY2(Installation::run(m_session->path(), &error), qPrintable(error));
    QCOMPARE(listed(source), (QStringList{"Gate code 4411, old", "Code 4411 changed"}));
    QCOMPARE(m_session
                 ->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM sqlite_schema WHERE type = "
                                         "'trigger' AND tbl_name = 'TABLE08'")
                 .toInt(),
             3);
}

void TestDocumentIndex::stockShellFindsTheFileWhole() {
    // The program stores names and texts outside ASCII through its own
    // connection; the stock tools must see nothing wrong with the file.
    DataSource data("Data1", nullptr);
    data.setDatabaseName("TESSALY.mdb");
    data.setRecordSource("SELECT * FROM TABLE08");
    QVERIFY(data.refresh());
    for (const char* name : {"Ärzte GmbH", "ÖSTERREICH AG", "straße", "Zoë", "acme", "İstanbul"}) {
        QVERIFY(data.recordset()->addNew());
        QVERIFY(data.recordset()->setField("TEXT01", QString::fromUtf8(name)));
        QVERIFY(data.recordset()->setField("MEMO01", QString::fromUtf8(name) + " visited"));
        QVERIFY(data.recordset()->update());
    }
    QCOMPARE(listed("SELECT * FROM TABLE08 WHERE TABLE08.TEXT01 = 'ärzte gmbh'"),
             QStringList{"Ärzte GmbH visited"});
    SqliteConnection::closeShared(m_session->file("TESSALY.mdb"));
    const QString shell = QStandardPaths::findExecutable("sqlite3");
    if (shell.isEmpty())
        QSKIP("the sqlite3 shell is not installed");
    QProcess check;
    check.start(shell, {m_session->file("TESSALY.mdb"), "PRAGMA integrity_check; INSERT INTO "
                                                        "TABLE08_TEXT(TABLE08_TEXT, rank) VALUES "
                                                        "('integrity-check', 1); SELECT 'done';"});
    QVERIFY(check.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(check.readAllStandardOutput()).trimmed(), QString("ok\ndone"));
    QCOMPARE(QString::fromUtf8(check.readAllStandardError()), QString());
}

TESSALY_GUI_TEST_MAIN(TestDocumentIndex)
#include "tst_documentindex.moc"
