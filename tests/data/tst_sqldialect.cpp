#include "TestSession.h"

#include "data/DataSource.h"
#include "data/Database.h"
#include "data/SqlQuote.h"
#include "data/SqliteConnection.h"
#include "platform/Locale.h"

#include <QRandomGenerator>
#include <QTest>
#include <sqlite3.h>

// Every SQL text the windows build, translated and run against a small
// fixture, with the rows the desktop database gave for it.
class TestSqlDialect : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_session.reset(); }

    void translation_data();
    void translation();
    void untranslatableTextsRunNothing_data();
    void untranslatableTextsRunNothing();

    void recordSources_data();
    void recordSources();
    void fieldNamesFollowTheDialect_data();
    void fieldNamesFollowTheDialect();
    void datesShowInTheShortDateForm();
    void concatenationTreatsNullAsEmpty();
    void wholeNumberColumnAgainstQuotedDigit();
    void apostrophesInSplicedValues_data();
    void apostrophesInSplicedValues();

    void dropTable();
    void insertSelectDistinctFromWorkTables();
    void contactImportTakesTheStatusDefault();
    void letterCaseRuleOrdersAsDefined();

private:
    QStringList texts(const QString& database, const QString& source, const QString& field);
    std::unique_ptr<TestSession> m_session;
};

namespace {

const char* const Fixture = R"sql(
INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT02, TEXT06, TEXT13, TEXT18, TEXT20, DATE01, NUMBER01, NUMBER02) VALUES
 (1, 'Acme Ltd', '1001', '1 Main St', 'North', 'Ann Smith', 'Company', '2026-11-01', 30, 5),
 (2, 'Bolt & Nut', '1002', NULL, 'South', 'Bob O''Neil', 'Company', NULL, 0, 0),
 (3, 'O''Brien Farms', '1003', NULL, 'North', 'Ann Smith', 'Company', '2026-09-01', 14, 12),
 (4, 'Zeta Archive', '1004', NULL, 'North', 'Ann Smith', 'Archive', NULL, NULL, NULL),
 (5, 'Ärzte GmbH', '1005', NULL, 'South', 'Bob O''Neil', 'Company', NULL, NULL, 3),
 (6, 'Odd Status', NULL, NULL, NULL, 'Ann Smith', 'Other', NULL, NULL, NULL),
 (7, 'acme subsidiary', '1007', NULL, 'North', 'Ann Smith', 'Company', NULL, 7, 40),
 (8, NULL, NULL, NULL, NULL, NULL, 'Other', NULL, NULL, NULL),
 (9, '', NULL, NULL, NULL, NULL, 'Other', NULL, NULL, NULL),
 (10, '   ', NULL, NULL, NULL, NULL, 'Other', NULL, NULL, NULL);
INSERT INTO TABLE03 (AUTONUMBER, NUMBER01, TEXT01, TEXT02, TEXT03, TEXT05, TEXT06, MEMO02) VALUES
 (10, 1, 'Mr.', 'John', 'Doe', 'john@acme.test', 'Purchasing', 'Golf, newsletters'),
 (11, 1, 'Mrs.', 'Anna', 'Lee', NULL, NULL, 'mini-golf'),
 (12, 3, 'Dr.', 'Zoe', 'O''Hara', NULL, 'Technical', NULL),
 (13, 99, 'Mr.', 'Ghost', 'Nobody', NULL, NULL, 'golf'),
 (14, 4, 'Mr.', 'Arch', 'Ived', NULL, NULL, 'golf'),
 (15, 2, 'Mr.', 'Carl', 'Nut', NULL, 'Technical', 'GOLFING'),
 (16, 5, 'Ms.', 'Ute', 'Ärger', NULL, NULL, 'Tennis');
INSERT INTO TABLE05 (NUMBER01, TEXT01, DATE01) VALUES
 (1, '/docs/a.pdf', '2026-01-01'), (1, '/docs/b.pdf', '2026-06-01'), (2, '/docs/c.pdf', '2026-02-02');
INSERT INTO TABLE06 (AUTONUMBER, NUMBER01, TEXT01, TEXT02, TEXT03, DATE01) VALUES
 (100, 1, 'Adhesives', 'Glue line', 'Active Project', '2026-01-05'),
 (101, 1, 'Construction', 'Bridge', 'Completed Project', '2025-03-01'),
 (102, 1, 'Adhesives', 'Tape', 'Cancelled Project', '2025-04-01'),
 (103, 3, 'Farming', 'Silo', 'Active Project', '2026-02-01'),
 (104, 1, 'Zinc', 'Coat', 'Active project ', '2026-03-01'),
 (105, 4, 'Xylo', 'Archived plan', 'Active Project', '2026-01-01'),
 (106, 1, 'Metals', 'Rails', 'Active Project', '2026-04-01');
INSERT INTO TABLE07 (NUMBER01, NUMBER02, DATE01, MEMO01) VALUES
 (100, 1, '2026-02-01', 'Sample sent'), (100, 1, '2026-01-10', 'First call'),
 (103, 3, '2026-03-01', 'Visit'), (105, 4, '2026-01-01', 'Archived step'),
 (106, 1, '2026-04-02', 'Rails quote');
INSERT INTO TABLE08 (NUMBER01, TEXT01, TEXT03, DATE01, MEMO01) VALUES
 (1, 'Acme Ltd', 'Ann Smith', '2026-11-01', 'Discussed PRICES for 2027'),
 (1, 'Acme Ltd', 'Ann Smith', '2026-12-05 10:30:00', 'Follow-up call'),
 (NULL, 'Acme Ltd', 'Ann Smith', '2026-10-15', 'Filed by name only'),
 (3, 'O''Brien Farms', 'Ann Smith', '2026-12-10', 'Visited the farm; prices ok'),
 (2, 'Bolt & Nut', 'Bob O''Neil', '2025-01-31', 'New year 50% discount'),
 (7, 'Acme Ltd', 'Ann Smith', '2026-06-01', 'Renamed company kept the old name');
INSERT INTO TABLE09 (NUMBER01, TEXT01, TEXT07, DATE01, MEMO01) VALUES
 (1, NULL, 'LETTER', '2026-11-02', 'Dear John, prices attached'),
 (1, NULL, 'EMAIL', '2026-12-01', 'TO: john@acme.test'),
 (NULL, 'Acme Ltd', 'TELEFAX', '2026-01-01', 'Old fax'),
 (2, NULL, 'LETTER', '2026-05-05', 'Bolt letter');
INSERT INTO TABLE10 (NUMBER01, NUMBER02, TEXT02, TEXT03, TEXT04, TEXT05, TEXT06, TEXT07, DATE01) VALUES
 (1, 500, 'Adhesives', 'Glue X From: Rival Inc', '$ 2.50', 'Ann Smith', 'North', 'Acme Ltd', '2026-05-01'),
 (1, 10, 'Metals', 'Tape Y From: Other Co', '$ 1.00', NULL, NULL, NULL, '2026-07-01'),
 (2, 7, 'Adhesives', 'Super glue From: Another', '€ 3.00', NULL, NULL, NULL, '2026-01-01');
INSERT INTO TABLE11 (TEXT01, TEXT02, TEXT03) VALUES
 ('Glue X', 'Rival Inc', 'Our Glue'), ('Tape Y', 'Other Co', 'Our Tape'), ('Super glue', 'Another', 'Bond 5');
INSERT INTO TABLE13 (TEXT01, TEXT02, TEXT03) VALUES
 ('Widget', '12.50', 'USD'), ('Bolt', '0.10', 'EUR'), ('Anchor', '5.00', 'USD');
INSERT INTO MT01 (TEXT01) VALUES ('Main branch'), ('Annex');
INSERT INTO MT02 (TEXT01) VALUES ('B'), ('A'), ('C');
INSERT INTO MT03 (TEXT01) VALUES ('South'), ('North');
INSERT INTO MT04 (TEXT01) VALUES ('Construction'), ('Adhesives');
INSERT INTO MT05 (TEXT01) VALUES ('Technical'), ('Accounting'), ('Purchasing');
INSERT INTO MT06 (TEXT01) VALUES ('Silo'), ('Bridge');
INSERT INTO MT08 (TEXT01) VALUES ('West'), ('East');
INSERT INTO MT09 (TEXT01) VALUES ('Mrs.'), ('Dr.'), ('Mr.');
INSERT INTO MT10 (TEXT01) VALUES ('Supplier'), ('Customer'), ('Prospect');
INSERT INTO MT12 (TEXT01) VALUES ('Bob O''Neil'), ('Ann Smith');
INSERT INTO MT13 (TEXT01) VALUES ('Zed Boss'), ('Amy Chief');
)sql";

const char* const UserFixture = R"sql(
CREATE TABLE SALES (ROWKEY INTEGER PRIMARY KEY AUTOINCREMENT, "Account No" NUMBER,
  "InvoiceDate" DATETIME, "Amount" NUMBER, "Product" TEXT COLLATE NOCASE);
INSERT INTO SALES ("Account No", "InvoiceDate", "Amount", "Product") VALUES
 (1001, '2026-01-15', 120.5, 'Glue'), (1001, '2026-03-01', 99, 'Tape'), (1002, '2026-02-01', 10, 'Bolts');
)sql";

QString q(const QString& value) {
    return SqlQuote::text(value);
}

const QString ContactSelect =
    "SELECT TABLE01.AUTONUMBER, TABLE01.TEXT01, TABLE01.TEXT03, TABLE01.TEXT04, TABLE01.TEXT05, "
    "TABLE01.TEXT06, TABLE01.TEXT07, TABLE01.TEXT08, TABLE01.TEXT18, TABLE03.TEXT01, "
    "TABLE03.TEXT02, TABLE03.TEXT03, TABLE03.TEXT04, TABLE03.TEXT05, TABLE03.TEXT06, "
    "TABLE03.TEXT07, TABLE03.TEXT08, TABLE03.TEXT09, TABLE03.TEXT10, TABLE03.TEXT11, "
    "TABLE03.MEMO01, TABLE03.MEMO02, TABLE03.DATE03 "
    "FROM TABLE01 INNER JOIN TABLE03 ON TABLE01.AUTONUMBER = TABLE03.NUMBER01 ";

} // namespace

void TestSqlDialect::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec("TESSALY.mdb", Fixture);
    m_session->exec("User.mdb", UserFixture);
}

QStringList TestSqlDialect::texts(const QString& database, const QString& source,
                                  const QString& field) {
    DataSource data("Data1", nullptr);
    data.setDatabaseName(database);
    data.setRecordSource(source);
    if (!data.refresh()) {
        QTest::qFail(qPrintable("refresh failed: " + data.lastError()), __FILE__, __LINE__);
        return {};
    }
    const int index = data.fieldIndex(field);
    if (index < 0) {
        QTest::qFail(qPrintable("no field " + field + " in " + data.fieldNames().join(",")),
                     __FILE__, __LINE__);
        return {};
    }
    // The cursor walk and the bulk read of a pick list give the same rows.
    QStringList walked;
    for (data.recordset()->moveFirst(); !data.recordset()->eof(); data.recordset()->moveNext())
        walked << data.recordset()->fieldText(field);
    const QStringList bulk = data.columnTexts(index);
    if (walked != bulk)
        QTest::qFail("walk and bulk read differ", __FILE__, __LINE__);
    return walked;
}

void TestSqlDialect::translation_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("concatenation and brackets")
        << "SELECT [TABLE03].[TEXT02] & ' ' & [TEXT03] AS FullName FROM TABLE03"
        << "SELECT (tess_concat(\"TABLE03\".\"TEXT02\", ' ', \"TEXT03\") COLLATE NOCASE) AS "
           "\"FullName\" FROM \"TABLE03\"";
    QTest::newRow("alias with apostrophe")
        << "SELECT TABLE11.TEXT01 AS [COMPETITOR'S PRODUCT] FROM TABLE11"
        << "SELECT \"TABLE11\".\"TEXT01\" AS \"COMPETITOR'S PRODUCT\" FROM \"TABLE11\"";
    QTest::newRow("doubled bracket inside a name")
        << "SELECT TABLE11.TEXT01 AS [Price [EUR]]] FROM TABLE11"
        << "SELECT \"TABLE11\".\"TEXT01\" AS \"Price [EUR]\" FROM \"TABLE11\"";
    QTest::newRow("date literals month first")
        << "SELECT TEXT01 FROM TABLE08 WHERE DATE01 >= #1/31/2026# And DATE01 <= #12/5/26#"
        << "SELECT \"TEXT01\" AS \"TEXT01\" FROM \"TABLE08\" WHERE ((\"DATE01\" >= '2026-01-31') "
           "AND (\"DATE01\" <= '2026-12-05'))";
    QTest::newRow("date literal with time")
        << "SELECT TEXT01 FROM TABLE08 WHERE DATE01 < #12/5/2026 2:30:15 PM#"
        << "SELECT \"TEXT01\" AS \"TEXT01\" FROM \"TABLE08\" WHERE (\"DATE01\" < '2026-12-05 "
           "14:30:15')";
    QTest::newRow("day first only when it cannot be a month")
        << "SELECT TEXT01 FROM TABLE08 WHERE DATE01 = #31/1/2026#"
        << "SELECT \"TEXT01\" AS \"TEXT01\" FROM \"TABLE08\" WHERE (\"DATE01\" = '2026-01-31')";
    QTest::newRow("like keeps its wildcards")
        << "SELECT TEXT01 FROM TABLE11 WHERE TEXT01 Like '*x?#*'"
        << "SELECT \"TEXT01\" AS \"TEXT01\" FROM \"TABLE11\" WHERE (\"TEXT01\" LIKE '*x?#*')";
    QTest::newRow("nested inner join")
        << "SELECT TABLE07.MEMO01 FROM TABLE01 INNER JOIN (TABLE06 INNER JOIN TABLE07 ON "
           "TABLE06.AUTONUMBER = TABLE07.NUMBER01) ON TABLE01.AUTONUMBER = TABLE06.NUMBER01"
        << "SELECT \"TABLE07\".\"MEMO01\" AS \"MEMO01\" FROM \"TABLE01\" INNER JOIN "
           "(\"TABLE06\" INNER JOIN \"TABLE07\" ON (\"TABLE06\".\"AUTONUMBER\" = "
           "\"TABLE07\".\"NUMBER01\")) ON (\"TABLE01\".\"AUTONUMBER\" = \"TABLE06\".\"NUMBER01\")";
    QTest::newRow("star leaves the row key out")
        << "SELECT * FROM MT12 ORDER BY TEXT01 DESC"
        << "SELECT \"MT12\".\"TEXT01\" AS \"TEXT01\" FROM \"MT12\" ORDER BY \"TEXT01\" DESC";
    QTest::newRow("insert distinct")
        << "INSERT INTO TABLE13 (TEXT01) SELECT DISTINCT Temp.[PRODUCT] AS TEXT01 From Temp"
        << "INSERT INTO \"TABLE13\" (\"TEXT01\") SELECT DISTINCT \"Temp\".\"PRODUCT\" AS "
           "\"TEXT01\" FROM \"Temp\"";
    QTest::newRow("drop table") << "DROP TABLE Temp;"
                                << "DROP TABLE \"Temp\"";
    QTest::newRow("arithmetic before concatenation before comparison")
        << "SELECT TEXT01 FROM MT01 WHERE 1 + 2 & 'x' = '3x' OR NOT TEXT01 Is Null"
        << "SELECT \"TEXT01\" AS \"TEXT01\" FROM \"MT01\" WHERE (((tess_concat((1 + 2), 'x') "
           "COLLATE NOCASE) = '3x') OR (NOT (\"TEXT01\" IS NULL)))";
    QTest::newRow("double-quoted text is text")
        << "SELECT TEXT01 FROM MT01 WHERE TEXT01 = \"Annex\""
        << "SELECT \"TEXT01\" AS \"TEXT01\" FROM \"MT01\" WHERE (\"TEXT01\" = 'Annex')";
}

void TestSqlDialect::translation() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    Database db;
    QVERIFY(db.open("TESSALY.mdb"));
    m_session->exec("TESSALY.mdb", "CREATE TABLE Temp (PRODUCT TEXT)");
    QString error;
    const auto translated = Database::translate(db.connection(), text, &error);
    QVERIFY2(translated, qPrintable(error));
    QCOMPARE(*translated, expected);
}

void TestSqlDialect::untranslatableTextsRunNothing_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("two statements") << "DROP TABLE MT01; DROP TABLE MT02"
                                    << "expected the end of the statement";
    QTest::newRow("unterminated text") << "DELETE FROM MT01 WHERE TEXT01 = 'Annex"
                                       << "no closing quote";
    QTest::newRow("not a date") << "DELETE FROM MT01 WHERE TEXT01 < #13/13/2026#"
                                << "is not a date";
    QTest::newRow("missing company key") << "DELETE FROM TABLE03 WHERE TABLE03.NUMBER01 = "
                                         << "expected a value";
    QTest::newRow("unknown function") << "UPDATE MT01 SET TEXT01 = Frobnicate(TEXT01)"
                                      << "Undefined function 'Frobnicate'";
    QTest::newRow("unbracketed name with a blank")
        << "SELECT * FROM SALES ORDER BY Invoice Date DESC"
        << "Syntax error";
    QTest::newRow("select is not an action") << "SELECT * FROM MT01"
                                             << "select query";
    QTest::newRow("no such table") << "DELETE FROM NOTHING"
                                   << "NOTHING";
    QTest::newRow("sub-query") << "DELETE FROM MT01 WHERE TEXT01 IN (SELECT TEXT01 FROM MT02)"
                               << "not supported";
}

void TestSqlDialect::untranslatableTextsRunNothing() {
    QFETCH(QString, text);
    QFETCH(QString, message);
    Database db;
    QVERIFY(db.open(m_session->file("TESSALY.mdb")));
    QString error;
    QVERIFY(!db.execute(text, &error));
    QVERIFY2(error.contains(message, Qt::CaseInsensitive), qPrintable(error));
    QCOMPARE(db.lastError(), error);
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM MT01").toInt(), 2);
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM MT02").toInt(), 3);
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE03").toInt(), 7);
}

void TestSqlDialect::recordSources_data() {
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("expected");
    const QString T = "TESSALY.mdb", U = "User.mdb";
    const QStringList activeAll{"Acme Ltd", "acme subsidiary", "Ärzte GmbH", "Bolt & Nut",
                                "O'Brien Farms"};

    // bare table names and master tables
    QTest::newRow("password") << T << "SELECT * FROM TABLE02"
                              << "TEXT02" << QStringList{"Kelvorin"};
    QTest::newRow("user choice") << U << "SELECT * FROM TABLE02"
                                 << "TEXT03" << QStringList{"All Companies"};
    QTest::newRow("field flags") << U << "SELECT * FROM TABLE01"
                                 << "TEXT07" << QStringList{"1"};
    QTest::newRow("bare user table 1") << U << "TABLE01"
                                       << "TEXT01" << QStringList{"1"};
    QTest::newRow("bare user table 2") << U << "TABLE02"
                                       << "TEXT03" << QStringList{"All Companies"};
    QTest::newRow("bare companies")
        << T << "TABLE01"
        << "AUTONUMBER" << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
    QTest::newRow("bare contacts")
        << T << "TABLE03"
        << "TEXT02" << QStringList{"John", "Anna", "Zoe", "Ghost", "Arch", "Carl", "Ute"};
    QTest::newRow("bare titles") << T << "MT09"
                                 << "TEXT01" << QStringList{"Mrs.", "Dr.", "Mr."};
    QTest::newRow("bare occupations")
        << T << "MT05"
        << "TEXT01" << QStringList{"Technical", "Accounting", "Purchasing"};
    QTest::newRow("bare sales persons") << T << "MT12"
                                        << "TEXT01" << QStringList{"Bob O'Neil", "Ann Smith"};
    const QList<std::pair<const char*, QStringList>> masters = {
        {"MT01", {"Main branch", "Annex"}},
        {"MT02", {"B", "A", "C"}},
        {"MT03", {"South", "North"}},
        {"MT04", {"Construction", "Adhesives"}},
        {"MT05", {"Technical", "Accounting", "Purchasing"}},
        {"MT06", {"Silo", "Bridge"}},
        {"MT08", {"West", "East"}},
        {"MT09", {"Mrs.", "Dr.", "Mr."}},
        {"MT10", {"Supplier", "Customer", "Prospect"}},
        {"MT12", {"Bob O'Neil", "Ann Smith"}},
        {"MT13", {"Zed Boss", "Amy Chief"}}};
    for (const auto& [table, values] : masters) {
        QTest::addRow("pick list %s", table)
            << T << QString("SELECT * FROM %1").arg(table) << "TEXT01" << values;
        QStringList sorted = values;
        std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        QTest::addRow("master table %s", table)
            << T << QString("SELECT %1.TEXT01 FROM %1 ORDER BY %1.TEXT01").arg(table) << "TEXT01"
            << sorted;
    }
    QTest::newRow("sales persons ordered") << T << "SELECT * FROM MT12 ORDER BY TEXT01"
                                           << "TEXT01" << QStringList{"Ann Smith", "Bob O'Neil"};

    // the four company lists
    QTest::newRow("active of one sales person")
        << T
        << "SELECT * FROM TABLE01 WHERE TEXT20 = 'Company' AND TEXT18 = '" + q("Ann Smith") +
               "' ORDER BY TEXT01"
        << "TEXT01" << QStringList{"Acme Ltd", "acme subsidiary", "O'Brien Farms"};
    QTest::newRow("active of a sales person with an apostrophe")
        << T
        << "SELECT * FROM TABLE01 WHERE TEXT20 = 'Company' AND TEXT18 = '" + q("Bob O'Neil") +
               "' ORDER BY TEXT01"
        << "TEXT01" << QStringList{"Ärzte GmbH", "Bolt & Nut"};
    QTest::newRow("active, all companies")
        << T << "SELECT * FROM TABLE01 WHERE TEXT20 = 'Company' ORDER BY TEXT01"
        << "TEXT01" << activeAll;
    QTest::newRow("archived of one sales person")
        << T
        << "SELECT * FROM TABLE01 WHERE TEXT20 = 'Archive' AND TEXT18 = '" + q("Ann Smith") +
               "' ORDER BY TEXT01"
        << "TEXT01" << QStringList{"Zeta Archive"};
    QTest::newRow("archived, all companies")
        << T << "SELECT * FROM TABLE01 WHERE TEXT20 = 'Archive' ORDER BY TEXT01"
        << "TEXT01" << QStringList{"Zeta Archive"};
    QTest::newRow("call report filter companies")
        << T << "SELECT * FROM TABLE01 WHERE TABLE01.TEXT20 = 'Company' ORDER BY TEXT01"
        << "TEXT01" << activeAll;
    QTest::newRow("blank names sort first")
        << T << "SELECT * FROM TABLE01 ORDER BY TEXT01"
        << "TEXT01"
        << QStringList{"",           "",           "   ",           "Acme Ltd",   "acme subsidiary",
                       "Ärzte GmbH", "Bolt & Nut", "O'Brien Farms", "Odd Status", "Zeta Archive"};
    QTest::newRow("overdue visits")
        << T
        << "SELECT TABLE01.TEXT01,  TABLE01.TEXT13, TABLE01.TEXT18, TABLE01.DATE01, "
           "TABLE01.NUMBER01, TABLE01.NUMBER02, TABLE01.TEXT21 FROM TABLE01 WHERE "
           "TABLE01.TEXT20 = 'Company' AND TABLE01.NUMBER01 > '0' AND TABLE01.NUMBER02 > '0' "
           "ORDER BY TABLE01.TEXT01"
        << "TEXT01" << QStringList{"Acme Ltd", "acme subsidiary", "O'Brien Farms"};

    // contacts
    QTest::newRow("contacts of a company")
        << T
        << "SELECT * , [TABLE03].[TEXT02] & ' ' & [TEXT03] AS FullName FROM TABLE03  WHERE "
           "TABLE03.NUMBER01 =1 ORDER BY TABLE03.TEXT02"
        << "FullName" << QStringList{"Anna Lee", "John Doe"};
    QTest::newRow("persons contacted with occupation")
        << T
        << "SELECT * , [TABLE03].[TEXT02] & ' ' & [TEXT03]  & '   (' & [TEXT06] & ')'AS "
           "FullName FROM TABLE03  WHERE TABLE03.NUMBER01 =1 ORDER BY TABLE03.TEXT02"
        << "FullName" << QStringList{"Anna Lee   ()", "John Doe   (Purchasing)"};
    QTest::newRow("all active contacts")
        << T << ContactSelect + "WHERE (((TABLE01.TEXT20)='Company')) ORDER BY TABLE03.TEXT02"
        << "TEXT02" << QStringList{"Anna", "Carl", "John", "Ute", "Zoe"};
    QTest::newRow("contacts of a sales person")
        << T
        << ContactSelect + "WHERE (((TABLE01.TEXT18)='" + q("Ann Smith") +
               "') AND ((TABLE01.TEXT20)='Company'))ORDER BY TABLE03.TEXT02"
        << "TEXT02" << QStringList{"Anna", "John", "Zoe"};
    QTest::newRow("contacts by keyword")
        << T
        << ContactSelect + "WHERE (((TABLE03.MEMO02) Like '*" + q("golf") +
               "*') AND ((TABLE01.TEXT20)='Company')) ORDER BY TABLE03.TEXT02"
        << "TEXT02" << QStringList{"Anna", "Carl", "John"};
    QTest::newRow("contacts by keyword and sales person")
        << T
        << ContactSelect + "WHERE ((TABLE01.TEXT18)='" + q("Bob O'Neil") +
               "') AND (((TABLE03.MEMO02) Like '*" + q("golf") +
               "*') AND ((TABLE01.TEXT20)='Company')) ORDER BY TABLE03.TEXT02"
        << "TEXT02" << QStringList{"Carl"};
    QTest::newRow("contacts export")
        << T
        << "SELECT TABLE01.TEXT01 AS Company, TABLE01.TEXT06 AS [Business Street], "
           "TABLE01.TEXT07 AS [Business Street2], TABLE01.TEXT08 AS [Business City], "
           "TABLE01.TEXT10 AS [Business Phone], TABLE01.TEXT11 AS [Business Fax], TABLE01.TEXT12 "
           "AS [Web Page], TABLE03.TEXT01 AS Title, TABLE03.TEXT02 AS [First Name], "
           "TABLE03.TEXT03 AS [Last Name], TABLE03.TEXT04 AS [Mobile Phone], TABLE03.TEXT05 AS "
           "[E-mail Address], TABLE03.TEXT07 AS [Job Title], TABLE03.TEXT10 AS [Assistant's "
           "Name] FROM TABLE01, TABLE03 WHERE TABLE01.AUTONUMBER = TABLE03.NUMBER01 AND "
           "(TABLE01.TEXT20 = 'Company') AND (TABLE01.TEXT18 = '" +
               q("Ann Smith") + "') ORDER BY TABLE01.TEXT01"
        << "Company" << QStringList{"Acme Ltd", "Acme Ltd", "O'Brien Farms"};

    // call reports and correspondence
    QTest::newRow("call reports by key or name")
        << T
        << "SELECT * FROM TABLE08 WHERE TABLE08.TEXT01 = '" + q("Acme Ltd") +
               "' OR TABLE08.NUMBER01 = 1 ORDER BY  TABLE08.DATE01 DESC"
        << "MEMO01"
        << QStringList{"Follow-up call", "Discussed PRICES for 2027", "Filed by name only",
                       "Renamed company kept the old name"};
    QTest::newRow("call reports of a name with an apostrophe")
        << T
        << "SELECT * FROM TABLE08 WHERE TABLE08.TEXT01 = '" + q("O'Brien Farms") +
               "' OR TABLE08.NUMBER01 = 3 ORDER BY  TABLE08.DATE01 DESC"
        << "MEMO01" << QStringList{"Visited the farm; prices ok"};
    QTest::newRow("call report phrase of a company")
        << T
        << "SELECT * FROM TABLE08 WHERE TABLE08.NUMBER01 = 1 AND (((TABLE08.MEMO01) Like  '*" +
               q("prices") + "*'   )) ORDER BY  TABLE08.DATE01 DESC"
        << "MEMO01" << QStringList{"Discussed PRICES for 2027"};
    QTest::newRow("correspondence by key or name")
        << T
        << "SELECT * FROM TABLE09 WHERE TABLE09.TEXT01 = '" + q("Acme Ltd") +
               "' OR TABLE09.NUMBER01 = 1 ORDER BY  TABLE09.DATE01 DESC"
        << "MEMO01" << QStringList{"TO: john@acme.test", "Dear John, prices attached", "Old fax"};
    QTest::newRow("correspondence phrase")
        << T
        << "SELECT * FROM TABLE09 WHERE TABLE09.NUMBER01 = 1 AND (((TABLE09.MEMO01) Like  '*" +
               q("PRICES") + "*'   )) ORDER BY  TABLE09.DATE01 DESC"
        << "MEMO01" << QStringList{"Dear John, prices attached"};
    const QStringList allReports{"Visited the farm; prices ok",       "Follow-up call",
                                 "Discussed PRICES for 2027",         "Filed by name only",
                                 "Renamed company kept the old name", "New year 50% discount"};
    QTest::newRow("all call reports") << T << "SELECT * FROM TABLE08 ORDER BY DATE01 DESC"
                                      << "MEMO01" << allReports;
    QTest::newRow("search call reports")
        << T << "SELECT * FROM TABLE08 ORDER BY  TABLE08.DATE01 DESC"
        << "MEMO01" << allReports;
    QTest::newRow("all call reports phrase")
        << T
        << "SELECT * FROM TABLE08 WHERE(((TABLE08.MEMO01) Like  '*" + q("prices") +
               "*'   )) ORDER BY  TABLE08.DATE01 DESC"
        << "MEMO01" << QStringList{"Visited the farm; prices ok", "Discussed PRICES for 2027"};
    QTest::newRow("percent in a phrase is a character")
        << T
        << "SELECT * FROM TABLE08 WHERE(((TABLE08.MEMO01) Like  '*" + q("50%") +
               "*'   )) ORDER BY  TABLE08.DATE01 DESC"
        << "MEMO01" << QStringList{"New year 50% discount"};
    auto filter = [](const QString& from, const QString& until, const QString& company,
                     const QString& person) {
        return "SELECT * FROM TABLE08 WHERE TABLE08.DATE01 >= #" + from +
               "# And TABLE08.DATE01 <= #" + until + "#  AND TABLE08.TEXT01 Like '" + q(company) +
               "' AND TABLE08.TEXT03 Like '" + q(person) + "' ORDER BY TABLE08.DATE01 DESC";
    };
    QTest::newRow("call report filter, last day included")
        << T << filter("11/1/2026", "12/10/2026", "*", "Ann*") << "MEMO01"
        << QStringList{"Visited the farm; prices ok", "Follow-up call",
                       "Discussed PRICES for 2027"};
    QTest::newRow("call report filter, a time after the last day's midnight")
        << T << filter("11/1/2026", "12/5/2026", "*", "*") << "MEMO01"
        << QStringList{"Discussed PRICES for 2027"};
    QTest::newRow("call report filter, company pattern")
        << T << filter("1/1/2025", "12/31/2026", "acme*", "*") << "MEMO01"
        << QStringList{"Follow-up call", "Discussed PRICES for 2027", "Filed by name only",
                       "Renamed company kept the old name"};
    QTest::newRow("call report filter, apostrophe in the sales person")
        << T << filter("1/1/2025", "12/31/2026", "*", "Bob O'*") << "MEMO01"
        << QStringList{"New year 50% discount"};

    // projects, action steps, attachments, competition, prices
    auto projects = [](const QString& status) {
        return "SELECT * FROM TABLE06 WHERE TABLE06.NUMBER01 =1  AND TABLE06.TEXT03 = '" + status +
               "' ORDER BY TEXT01 DESC";
    };
    QTest::newRow("active projects")
        << T << projects("Active Project") << "TEXT02" << QStringList{"Rails", "Glue line"};
    QTest::newRow("cancelled projects")
        << T << projects("Cancelled Project") << "TEXT02" << QStringList{"Tape"};
    QTest::newRow("completed projects")
        << T << projects("Completed Project") << "TEXT02" << QStringList{"Bridge"};
    QTest::newRow("action steps")
        << T << "SELECT * FROM TABLE07 WHERE TABLE07.NUMBER01 =100 ORDER BY  DATE01 "
        << "MEMO01" << QStringList{"First call", "Sample sent"};
    QTest::newRow("project summary")
        << T
        << "SELECT TABLE06.TEXT01 AS [INDUSTRY GROUP], TABLE06.DATE01 AS [DATE ENTERED],  "
           "TABLE01.TEXT13 AS [DIVISION], TABLE06.TEXT02 AS [PROJECT NAME],  TABLE07.DATE01 AS "
           "[ACTION DATE],  TABLE07.MEMO01 AS [ACTION TAKEN] FROM TABLE01 INNER  JOIN (TABLE06 "
           "INNER JOIN TABLE07 ON TABLE06.AUTONUMBER = TABLE07.NUMBER01) ON TABLE01.AUTONUMBER = "
           "TABLE06.NUMBER01 WHERE (((TABLE01.Text20) = 'Company')) AND (((TABLE01.TEXT01) = '" +
               q("Acme Ltd") +
               "')) AND (((TABLE06.TEXT03) = 'Active Project')) ORDER BY TABLE06.TEXT02, "
               "TABLE07.DATE01"
        << "ACTION TAKEN" << QStringList{"First call", "Sample sent", "Rails quote"};
    QTest::newRow("attachments")
        << T << "SELECT * FROM TABLE05 WHERE TABLE05.NUMBER01 =1  ORDER BY DATE01 DESC"
        << "TEXT01" << QStringList{"/docs/b.pdf", "/docs/a.pdf"};
    QTest::newRow("competitor activity")
        << T << "SELECT * FROM TABLE10 WHERE TABLE10.NUMBER01 =1  ORDER BY DATE01 DESC"
        << "TEXT03" << QStringList{"Tape Y From: Other Co", "Glue X From: Rival Inc"};
    QTest::newRow("competitor products")
        << T << "SELECT * FROM TABLE11 ORDER BY TABLE11.TEXT02"
        << "TEXT01" << QStringList{"Super glue", "Tape Y", "Glue X"};
    auto productSearch = [](const QString& text) {
        return "SELECT * FROM TABLE11 WHERE TEXT01 LIKE '*" + q(text) + "*'  OR TEXT03 LIKE '*" +
               q(text) + "*' ORDER BY TABLE11.TEXT02";
    };
    QTest::newRow("product search by name")
        << T << productSearch("glue") << "TEXT01" << QStringList{"Super glue", "Glue X"};
    QTest::newRow("product search by equivalent")
        << T << productSearch("BOND") << "TEXT01" << QStringList{"Super glue"};
    QTest::newRow("product search with an apostrophe")
        << T << productSearch("o'") << "TEXT01" << QStringList{};
    QTest::newRow("competitor products export")
        << T
        << "SELECT TABLE11.TEXT01 AS [COMPETITOR'S PRODUCT],TABLE11.TEXT02 AS [SUPPLIER], "
           "TABLE11.TEXT03 AS [EQUIVALENT] FROM TABLE11 ORDER BY TABLE11.TEXT01 "
        << "COMPETITOR'S PRODUCT" << QStringList{"Glue X", "Super glue", "Tape Y"};
    QTest::newRow("price list")
        << T << "SELECT TEXT01, TEXT03, TEXT02, TEXT04, MEMO01 FROM TABLE13 ORDER BY TEXT01"
        << "TEXT01" << QStringList{"Anchor", "Bolt", "Widget"};
    QTest::newRow("price list search")
        << T
        << "SELECT TEXT01, TEXT03, TEXT02, TEXT04, MEMO01 FROM TABLE13 WHERE TEXT01 LIKE '*" +
               q("o") + "*' ORDER BY TEXT01"
        << "TEXT01" << QStringList{"Anchor", "Bolt"};
    QTest::newRow("price list export")
        << T
        << "SELECT TABLE13.TEXT01 AS [PRODUCT],TABLE13.TEXT03 AS [CURRENCY], TABLE13.TEXT02 "
           "AS [PRICE], TABLE13.MEMO01 AS [NOTES] FROM TABLE13 ORDER BY TABLE13.TEXT01 "
        << "PRICE" << QStringList{"5.00", "0.10", "12.50"};

    // sales figures (User.mdb)
    QTest::newRow("sales of an account")
        << U
        << "SELECT * FROM SALES WHERE ((([SALES].[Account No]) =  '" + q("1001") +
               "' )) ORDER BY [SALES].[InvoiceDate] DESC"
        << "Product" << QStringList{"Tape", "Glue"};
    QTest::newRow("sales amounts") << U << "SELECT * FROM SALES ORDER BY InvoiceDate DESC"
                                   << "Amount" << QStringList{"99", "10", "120.5"};

    // reports
    QTest::newRow("competitor activity report")
        << T
        << "SELECT TABLE10.TEXT02 AS [PRODUCT GROUP], TABLE10.TEXT03 AS [COMPETITOR'S PRODUCT], "
           "TABLE10.NUMBER02 AS [UNITS PER ANNUM], TABLE10.TEXT04 AS [COST PER UNIT], "
           "TABLE10.TEXT07 AS [COMPANY], TABLE10.TEXT05 AS [SALES PERSON], TABLE10.TEXT06 AS "
           "[DIVISION], TABLE10.DATE01 AS [DATE EDITED] FROM TABLE10 ORDER BY TABLE10.TEXT03"
        << "UNITS PER ANNUM" << QStringList{"500", "7", "10"};
    QTest::newRow("companies report")
        << T
        << "SELECT TABLE01.TEXT01 AS [COMPANY],  TABLE01.TEXT03 AS [POSTAL ADDRESS], "
           "TABLE01.TEXT04 AS [POSTAL CITY],TABLE01.TEXT05 AS [POSTAL CODE], TABLE01.TEXT06 AS "
           "[STREET ADDRESS], TABLE01.TEXT07 AS [STREET ADDRESS 2], TABLE01.TEXT08 AS [CITY], "
           "TABLE01.TEXT09 AS [REGION],TABLE01.TEXT10 AS [TELEPHONE], TABLE01.TEXT11 AS "
           "[TELEFAX], TABLE01.TEXT12 AS [WEBSITE], TABLE01.TEXT13 AS [DIVISION], TABLE01.TEXT14 "
           "AS [BRANCH],TABLE01.TEXT15 AS [CATEGORY],  TABLE01.TEXT17 AS [TYPE OF CONTACT], "
           "TABLE01.DATE01 AS [DATE LAST VISITED], TABLE01.NUMBER01 AS [VISIT FREQUENCY], "
           "TABLE01.TEXT19 AS [SALES MANAGER],TABLE01.TEXT18 AS [SALES PERSON] FROM TABLE01 WHERE "
           "TABLE01.TEXT20 = 'Company' ORDER BY TEXT01"
        << "VISIT FREQUENCY" << QStringList{"30", "7", "", "0", "14"};
    QTest::newRow("contacts report")
        << T
        << "SELECT TABLE01.TEXT01 AS [COMPANY], TABLE03.TEXT02 AS [FIRST NAME], TABLE03.TEXT03 AS "
           "[LAST NAME], TABLE03.TEXT04 AS [CELLPHONE], TABLE03.TEXT05 AS [E-MAIL], "
           "TABLE03.TEXT06 AS [OCCUPATION], TABLE03.TEXT07 AS [DESIGNATION], TABLE03.TEXT08 AS "
           "[TELEPHONE], TABLE03.TEXT09 AS [TELEFAX], TABLE03.TEXT10 AS [ASSISTANT] FROM TABLE01 "
           "INNER JOIN TABLE03 ON TABLE01.AUTONUMBER = TABLE03.NUMBER01 WHERE "
           "(((TABLE01.TEXT20)='Company'))ORDER BY TABLE01.TEXT01"
        << "COMPANY"
        << QStringList{"Acme Ltd", "Acme Ltd", "Ärzte GmbH", "Bolt & Nut", "O'Brien Farms"};
    QTest::newRow("active projects report")
        << T
        << "SELECT TABLE06.TEXT01 AS [INDUSTRY GROUP], TABLE06.DATE01 AS [DATE ENTERED], "
           "TABLE01.TEXT01 AS COMPANY, TABLE01.TEXT13 AS DIVISION, TABLE01.TEXT18 AS [SALES "
           "PERSON], TABLE06.TEXT02 AS [PROJECT NAME], TABLE06.TEXT03 AS [PROJECT STATUS], "
           "TABLE07.DATE01 AS [ACTION DATE], TABLE07.MEMO01 AS [ACTION STEP] FROM TABLE01 INNER "
           "JOIN (TABLE06 INNER JOIN TABLE07 ON TABLE06.AUTONUMBER = TABLE07.NUMBER01) ON "
           "TABLE01.AUTONUMBER = TABLE06.NUMBER01 WHERE (((TABLE01.Text20) = 'Company'))  And "
           "(((TABLE06.TEXT03) = 'Active Project')) ORDER BY TABLE01.TEXT01, TABLE06.TEXT01, "
           "TABLE06.TEXT02, TABLE07.DATE01"
        << "ACTION STEP" << QStringList{"First call", "Sample sent", "Rails quote", "Visit"};

    // whole-table walks of the purge
    QTest::newRow("purge call reports")
        << T << "SELECT * FROM TABLE08"
        << "DATE01" << QStringList{"11/1/2026",  "12/5/2026 10:30 AM", "10/15/2026",
                                   "12/10/2026", "1/31/2025",          "6/1/2026"};
    QTest::newRow("purge correspondence")
        << T << "SELECT * FROM TABLE09"
        << "TEXT07" << QStringList{"LETTER", "EMAIL", "TELEFAX", "LETTER"};
    QTest::newRow("purge projects")
        << T << "SELECT * FROM TABLE06"
        << "AUTONUMBER" << QStringList{"100", "101", "102", "103", "104", "105", "106"};
    QTest::newRow("purge action steps") << T << "SELECT * FROM TABLE07"
                                        << "NUMBER02" << QStringList{"1", "1", "3", "4", "1"};

    // computed texts compare and sort as columns do, ignoring letter case
    QTest::newRow("joined name against capitals")
        << T << "SELECT TEXT02 FROM TABLE03 WHERE [TEXT02] & ' ' & [TEXT03] = 'JOHN DOE'"
        << "TEXT02" << QStringList{"John"};
    QTest::newRow("upper case against lower case")
        << T << "SELECT TEXT02 FROM TABLE03 WHERE UCase(TEXT03) = 'lee'"
        << "TEXT02" << QStringList{"Anna"};
    QTest::newRow("part of a name in a list")
        << T
        << "SELECT TEXT02 FROM TABLE03 WHERE Mid(TEXT02, 1, 3) In ('JOH', 'zoe') ORDER BY "
           "AUTONUMBER"
        << "TEXT02" << QStringList{"John", "Zoe"};
    QTest::newRow("order by a computed alias")
        << T
        << "SELECT TEXT01 & '' AS Name FROM TABLE01 WHERE AUTONUMBER In (1, 2, 7) ORDER BY Name"
        << "Name" << QStringList{"Acme Ltd", "acme subsidiary", "Bolt & Nut"};
}

void TestSqlDialect::recordSources() {
    QFETCH(QString, database);
    QFETCH(QString, source);
    QFETCH(QString, field);
    QFETCH(QStringList, expected);
    QCOMPARE(texts(database, source, field), expected);
}

void TestSqlDialect::fieldNamesFollowTheDialect_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("star and computed")
        << "SELECT * , [TABLE03].[TEXT02] & ' ' & [TEXT03] AS FullName FROM TABLE03"
        << QStringList{"AUTONUMBER", "NUMBER01", "TEXT01", "TEXT02", "TEXT03",  "TEXT04",
                       "TEXT05",     "TEXT06",   "TEXT07", "TEXT08", "TEXT09",  "TEXT10",
                       "TEXT11",     "DATE03",   "MEMO01", "MEMO02", "FullName"};
    QTest::newRow("same column of two tables")
        << "SELECT TABLE01.TEXT01, TABLE03.TEXT01, TABLE03.TEXT02 FROM TABLE01 INNER JOIN "
           "TABLE03 ON TABLE01.AUTONUMBER = TABLE03.NUMBER01"
        << QStringList{"TABLE01.TEXT01", "TABLE03.TEXT01", "TEXT02"};
    QTest::newRow("aliases")
        << "SELECT TABLE11.TEXT01 AS [COMPETITOR'S PRODUCT], TEXT02 AS SUPPLIER, 1 + 1 FROM "
           "TABLE11"
        << QStringList{"COMPETITOR'S PRODUCT", "SUPPLIER", "Expr1000"};
}

void TestSqlDialect::fieldNamesFollowTheDialect() {
    QFETCH(QString, source);
    QFETCH(QStringList, names);
    DataSource data("Data1", nullptr);
    data.setDatabaseName("TESSALY.mdb");
    data.setRecordSource(source);
    QVERIFY2(data.refresh(), qPrintable(data.lastError()));
    QCOMPARE(data.fieldNames(), names);
}

void TestSqlDialect::datesShowInTheShortDateForm() {
    QCOMPARE(texts("TESSALY.mdb", "SELECT * FROM TABLE08 ORDER BY DATE01 DESC", "DATE01").mid(0, 2),
             (QStringList{"12/10/2026", "12/5/2026 10:30 AM"}));
    Locale::pin(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(texts("TESSALY.mdb", "SELECT * FROM TABLE08 ORDER BY DATE01 DESC", "DATE01").mid(0, 2),
             (QStringList{"10.12.2026", "05.12.2026 10:30"}));
}

void TestSqlDialect::concatenationTreatsNullAsEmpty() {
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE03 (NUMBER01, TEXT02, TEXT03) VALUES (50, "
                                   "NULL, 'Solo'), (50, NULL, NULL)");
    QCOMPARE(texts("TESSALY.mdb",
                   "SELECT TEXT02 & TEXT03 AS A, TEXT02 & ' ' & TEXT03 AS B FROM TABLE03 WHERE "
                   "NUMBER01 = 50 ORDER BY AUTONUMBER",
                   "B"),
             (QStringList{" Solo", " "}));
    DataSource data("Data1", nullptr);
    data.setDatabaseName("TESSALY.mdb");
    data.setRecordSource("SELECT TEXT02 & TEXT03 AS A FROM TABLE03 WHERE NUMBER01 = 50 ORDER BY "
                         "AUTONUMBER");
    QVERIFY(data.refresh());
    QCOMPARE(data.recordset()->field("A").toString(), QString("Solo"));
    data.recordset()->moveNext();
    QVERIFY(data.recordset()->field("A").isNull()); // every part NULL: NULL
}

void TestSqlDialect::wholeNumberColumnAgainstQuotedDigit() {
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE01 (TEXT01, TEXT20, NUMBER01, NUMBER02) "
                    "VALUES ('Nine', 'Company', 9, 100), ('Minus', 'Company', -5, 3)");
    // As numbers: 100 > 9 and -5 < 0, where text would say '100' < '9' and '-5' < '0'.
    QCOMPARE(texts("TESSALY.mdb",
                   "SELECT TEXT01 FROM TABLE01 WHERE NUMBER02 > '9' AND NUMBER01 > '0' ORDER BY "
                   "TEXT01",
                   "TEXT01"),
             (QStringList{"acme subsidiary", "Nine", "O'Brien Farms"}));
}

void TestSqlDialect::apostrophesInSplicedValues_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("inside") << "O'Brien Farms";
    QTest::newRow("at the end") << "Farmers'";
    QTest::newRow("doubled") << "It''s";
    QTest::newRow("injection") << "x' OR '1'='1";
    QTest::newRow("statement end") << "x'; DROP TABLE TABLE01; --";
}

void TestSqlDialect::apostrophesInSplicedValues() {
    QFETCH(QString, value);
    Database db;
    QVERIFY(db.open("TESSALY.mdb"));
    QString error;
    QVERIFY2(
        db.execute("INSERT INTO MT12 (TEXT01) VALUES ('" + SqlQuote::text(value) + "')", &error),
        qPrintable(error));
    QCOMPARE(
        m_session->column("TESSALY.mdb", "SELECT TEXT01 FROM MT12 ORDER BY ROWKEY DESC LIMIT 1"),
        QStringList{value});
    QCOMPARE(texts("TESSALY.mdb",
                   "SELECT * FROM MT12 WHERE TEXT01 = '" + SqlQuote::text(value) + "'", "TEXT01"),
             QStringList{value});
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE01").toInt(), 10);
}

void TestSqlDialect::dropTable() {
    m_session->exec("TESSALY.mdb",
                    "CREATE TABLE Temp (PRODUCT TEXT); CREATE TABLE Contacts (Company TEXT)");
    for (const QString table : {"Temp", "Contacts"}) {
        Database db;
        QVERIFY(db.open("TESSALY.mdb"));
        QString error;
        QVERIFY2(db.execute("DROP TABLE " + table + ";", &error), qPrintable(error));
        QVERIFY(m_session
                    ->scalar("TESSALY.mdb",
                             "SELECT COUNT(*) FROM sqlite_master WHERE name = '" + table + "'")
                    .toInt() == 0);
        // A second drop fails with a message the callers may pass over.
        QVERIFY(!db.execute("DROP TABLE " + table + ";", &error));
        QCOMPARE(error, QString("Table '%1' does not exist.").arg(table));
    }
    Database user;
    QVERIFY(user.open("User.mdb"));
    QVERIFY(user.execute("DROP TABLE SALES;"));
    QVERIFY(!user.execute("DROP TABLE SALES;"));
}

void TestSqlDialect::insertSelectDistinctFromWorkTables() {
    m_session->exec("TESSALY.mdb",
                    "CREATE TABLE Temp (ROWKEY INTEGER PRIMARY KEY, \"COMPETITOR'S PRODUCT\" TEXT, "
                    "\"COMPETITOR'S NAME\" TEXT, EQUIVALENT TEXT, PRODUCT TEXT, CURRENCY TEXT, "
                    "PRICE NUMBER, NOTES TEXT);"
                    "INSERT INTO Temp VALUES (NULL, 'Nail', 'Forge', 'Pin', 'Nut', 'USD', 12.5, "
                    "'per box'), (NULL, 'Nail', 'Forge', 'Pin', 'Nut', 'USD', 12.5, 'per box'), "
                    "(NULL, 'Saw', 'Blades', NULL, 'Hook', 'EUR', 3, NULL);");
    Database db;
    QVERIFY(db.open("TESSALY.mdb"));
    QString error;
    QVERIFY2(db.execute("INSERT INTO TABLE11 (TEXT01, TEXT02, TEXT03) SELECT DISTINCT "
                        "Temp.[COMPETITOR'S PRODUCT] AS TEXT01, Temp.[COMPETITOR'S NAME] AS "
                        "TEXT02, Temp.[EQUIVALENT] AS TEXT03 From Temp",
                        &error),
             qPrintable(error));
    QCOMPARE(db.recordsAffected(), 2);
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT02, TEXT03 FROM TABLE11 WHERE "
                                            "TEXT01 IN ('Nail', 'Saw') ORDER BY TEXT01"),
             (QList<QVariantList>{{"Nail", "Forge", "Pin"}, {"Saw", "Blades", QVariant()}}));
    QVERIFY2(db.execute("INSERT INTO TABLE13 (TEXT01, TEXT03, TEXT02, MEMO01) SELECT DISTINCT "
                        "Temp.[PRODUCT] AS TEXT01, Temp.[CURRENCY] AS TEXT03, Temp.[PRICE] AS "
                        "TEXT02, Temp.[NOTES] AS MEMO01 From Temp",
                        &error),
             qPrintable(error));
    QCOMPARE(
        m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT03, TEXT02, MEMO01 FROM TABLE13 "
                                       "WHERE TEXT01 IN ('Nut', 'Hook') ORDER BY TEXT01"),
        (QList<QVariantList>{{"Hook", "EUR", "3", QVariant()}, {"Nut", "USD", "12.5", "per box"}}));
}

void TestSqlDialect::contactImportTakesTheStatusDefault() {
    m_session->exec(
        "TESSALY.mdb",
        "CREATE TABLE Contacts (Company TEXT, BusinessCity TEXT, BusinessPhone TEXT, "
        "BusinessFax TEXT, WebPage TEXT);"
        "INSERT INTO Contacts VALUES ('New Co', 'Paris', '1', '2', 'new.test'), "
        "('New Co', 'Paris', '1', '2', 'new.test'), ('Other Co', NULL, NULL, NULL, NULL);");
    Database db;
    QVERIFY(db.open("TESSALY.mdb"));
    QString error;
    QVERIFY2(db.execute("INSERT INTO TABLE01 (TEXT01, TEXT08, TEXT10, TEXT11, TEXT12) SELECT "
                        "DISTINCT Contacts.Company AS TEXT01, Contacts.BusinessCity AS TEXT08, "
                        "Contacts.BusinessPhone AS TEXT10, Contacts.BusinessFax AS TEXT11, "
                        "Contacts.WebPage AS TEXT12 From Contacts",
                        &error),
             qPrintable(error));
    QCOMPARE(
        m_session->rows("TESSALY.mdb", "SELECT TEXT01, TEXT08, TEXT20 FROM TABLE01 WHERE "
                                       "AUTONUMBER > 10 ORDER BY TEXT01"),
        (QList<QVariantList>{{"New Co", "Paris", "Company"}, {"Other Co", QVariant(), "Company"}}));
}

QTEST_GUILESS_MAIN(TestSqlDialect)
namespace {

int sign(int r) {
    return (r > 0) - (r < 0);
}

// Letters without their accents, case folded.
QString primaryLetters(const QString& text) {
    QString key;
    for (QChar c : text.normalized(QString::NormalizationForm_D).toCaseFolded())
        if (c.category() != QChar::Mark_NonSpacing)
            key.append(c);
    return key;
}

// The letter-case rule as the program defines it: base letters first, then
// the accents; letter case never counts.
int definedOrder(const QString& a, const QString& b) {
    if (const int r = primaryLetters(a).compare(primaryLetters(b)); r != 0)
        return sign(r);
    return sign(a.normalized(QString::NormalizationForm_C)
                    .toCaseFolded()
                    .compare(b.normalized(QString::NormalizationForm_C).toCaseFolded()));
}

} // namespace

// Pairs that share long beginnings and differ in case, accents and signs
// that sort between the letters: the rule the connections carry orders
// each pair as defined, and ASCII pairs exactly as SQLite's own NOCASE.
void TestSqlDialect::letterCaseRuleOrdersAsDefined() {
    QString error;
    auto connection = SqliteConnection::shared(m_session->file("TESSALY.mdb"), &error);
    QVERIFY2(connection, qPrintable(error));
    SqliteStatement compare =
        connection->prepare(QStringLiteral("SELECT CASE WHEN ?1 < ?2 COLLATE NOCASE THEN -1 "
                                           "WHEN ?1 = ?2 COLLATE NOCASE THEN 0 ELSE 1 END"),
                            &error);
    QVERIFY2(compare.isValid(), qPrintable(error));
    const QStringList alphabet{"a", "A", "b", "B", "z",  "Z", "[", "_", " ", "1",
                               "é", "É", "é", "ß", "ss", "K", "k", "ä", "Ä", "ae"};
    QRandomGenerator random(7);
    const auto word = [&](int length) {
        QString w;
        for (int i = 0; i < length; ++i)
            w += alphabet[random.bounded(int(alphabet.size()))];
        return w;
    };
    int checked = 0;
    for (int n = 0; n < 3000; ++n) {
        const QString stem = word(random.bounded(6));
        const QString a = stem + word(random.bounded(3)), b = stem + word(random.bounded(3));
        compare.reset();
        compare.bind(1, a);
        compare.bind(2, b);
        QCOMPARE(compare.step(), SQLITE_ROW);
        const int got = int(compare.intValue(0));
        QVERIFY2(got == definedOrder(a, b),
                 qPrintable(QStringLiteral("'%1' against '%2': %3").arg(a, b).arg(got)));
        const QByteArray ua = a.toUtf8(), ub = b.toUtf8();
        const bool ascii = std::all_of(ua.begin(), ua.end(), [](char c) { return c >= 0; }) &&
                           std::all_of(ub.begin(), ub.end(), [](char c) { return c >= 0; });
        if (ascii)
            QCOMPARE(got, sign(sqlite3_stricmp(ua.constData(), ub.constData())));
        ++checked;
    }
    QCOMPARE(checked, 3000);
}

#include "tst_sqldialect.moc"
