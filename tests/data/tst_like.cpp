#include "TestSession.h"

#include "data/LikePattern.h"
#include "data/SqliteConnection.h"

#include <QTest>
#include <sqlite3.h>

// The dialect's LIKE, as the connection's like() runs it in every statement.
class TestLike : public QObject {
    Q_OBJECT
private slots:
    void init() { m_session = std::make_unique<TestSession>(); }
    void cleanup() { m_session.reset(); }
    void matches_data();
    void matches();
    void nullNeverMatches();
    void notLikeLeavesNullOut();

private:
    QVariant like(const QVariant& value, const QVariant& pattern);
    std::unique_ptr<TestSession> m_session;
};

QVariant TestLike::like(const QVariant& value, const QVariant& pattern) {
    QString error;
    auto connection = SqliteConnection::shared("TESSALY.mdb", &error);
    SqliteStatement statement = connection->prepare("SELECT ?1 LIKE ?2", &error);
    statement.bind(1, value);
    statement.bind(2, pattern);
    statement.step();
    return statement.value(0);
}

void TestLike::matches_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("expected");

    // * any run of characters, whatever the letter case
    QTest::newRow("word anywhere") << "Plays golf on Sundays"
                                   << "*golf*" << true;
    QTest::newRow("capital word") << "Golf"
                                  << "*golf*" << true;
    QTest::newRow("word inside word") << "mini-golf"
                                      << "*GOLF*" << true;
    QTest::newRow("longer word") << "golfing"
                                 << "*golf*" << true;
    QTest::newRow("missing word") << "tennis"
                                  << "*golf*" << false;
    QTest::newRow("prefix") << "Acme Ltd"
                            << "acme*" << true;
    QTest::newRow("prefix not at start") << "The Acme"
                                         << "acme*" << false;
    QTest::newRow("star alone") << "anything"
                                << "*" << true;
    QTest::newRow("star on empty") << ""
                                   << "*" << true;
    QTest::newRow("backtracking") << "abcabcd"
                                  << "*abcd" << true;
    QTest::newRow("several stars") << "aaa"
                                   << "a*a*a" << true;
    QTest::newRow("several stars too few") << "aa"
                                           << "a*a*a" << false;
    QTest::newRow("whole text") << "abc "
                                << "abc" << false;
    QTest::newRow("empty pattern") << "x"
                                   << "" << false;
    QTest::newRow("empty both") << ""
                                << "" << true;

    // case for all of Unicode
    QTest::newRow("umlaut") << "Ärzte GmbH"
                            << "ä*" << true;
    QTest::newRow("accented") << "ÉCOLE"
                              << "*école" << true;
    QTest::newRow("greek") << "ΣΟΦΙΑ"
                           << "σοφια" << true;
    QTest::newRow("cyrillic") << "Москва"
                              << "МОСКВА" << true;
    QTest::newRow("accent counts") << "ecole"
                                   << "école" << false;

    // ? one character, # one digit
    QTest::newRow("question") << "abc"
                              << "a?c" << true;
    QTest::newRow("question needs one") << "ac"
                                        << "a?c" << false;
    QTest::newRow("question astral") << "a\U0001F600c"
                                     << "a?c" << true;
    QTest::newRow("digits") << "R2D2"
                            << "R#D#" << true;
    QTest::newRow("digit is no letter") << "RXD2"
                                        << "R#D#" << false;
    QTest::newRow("digit nine") << "Room 9"
                                << "Room #" << true;
    QTest::newRow("digit zero") << "Room 0"
                                << "Room #" << true;
    QTest::newRow("colon after nine is no digit") << "Room :"
                                                  << "Room #" << false;
    QTest::newRow("slash before zero is no digit") << "Room /"
                                                   << "Room #" << false;

    // [...] sets, ranges and negation
    QTest::newRow("set") << "b"
                         << "[abc]" << true;
    QTest::newRow("not in set") << "d"
                                << "[abc]" << false;
    QTest::newRow("range") << "m"
                           << "[a-z]" << true;
    QTest::newRow("range ignores case") << "M"
                                        << "[a-z]" << true;
    QTest::newRow("negated range") << "5"
                                   << "[!0-9]" << false;
    QTest::newRow("negated range other") << "x"
                                         << "[!0-9]" << true;
    QTest::newRow("set within text") << "Smith"
                                     << "Sm[iy]th" << true;
    QTest::newRow("literal star in set") << "a*b"
                                         << "a[*]b" << true;
    QTest::newRow("literal star no match") << "axb"
                                           << "a[*]b" << false;
    QTest::newRow("literal question in set") << "why?"
                                             << "why[?]" << true;
    QTest::newRow("literal hash in set") << "#1"
                                         << "[#]#" << true;
    QTest::newRow("unclosed bracket is itself") << "a[b"
                                                << "a[b" << true;

    // memos stored as RTF: ASCII text, matched on its bytes
    QTest::newRow("phrase in rtf") << "{\\rtf1\\ansi\\b Call\\b0  the Price list\\par }"
                                   << "*price LIST*" << true;
    QTest::newRow("phrase split by formatting") << "{\\rtf1 the \\b price\\b0  list}"
                                                << "*price list*" << false;
    QTest::newRow("run to a repeated letter") << "aXbaYcabd"
                                              << "*ab?*" << true;
    QTest::newRow("run then one of any") << "aXbaYc"
                                         << "*a?c" << true;
    QTest::newRow("run to the last letter") << "xxxxq"
                                            << "*q" << true;
    QTest::newRow("run finds no letter") << "xxxx"
                                         << "*q*" << false;
    QTest::newRow("kelvin sign folds to k") << "ok"
                                            << "*\u212A" << true;

    // the other dialect's wildcards are plain characters here
    QTest::newRow("percent literal") << "50%"
                                     << "50%" << true;
    QTest::newRow("percent no wildcard") << "500"
                                         << "50%" << false;
    QTest::newRow("underscore literal") << "a_c"
                                        << "a_c" << true;
    QTest::newRow("underscore no wildcard") << "abc"
                                            << "a_c" << false;
}

void TestLike::matches() {
    QFETCH(QString, value);
    QFETCH(QString, pattern);
    QFETCH(bool, expected);
    QCOMPARE(LikePattern(pattern).matches(value), expected);
    QCOMPARE(like(value, pattern).toInt(), expected ? 1 : 0);
}

void TestLike::nullNeverMatches() {
    QVERIFY(like(QVariant(), "*").isNull());
    QVERIFY(like("x", QVariant()).isNull());
}

void TestLike::notLikeLeavesNullOut() {
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE03 (TEXT02, MEMO02) VALUES ('Ann', 'golf'), "
                                   "('Bob', NULL), ('Cy', 'chess')");
    QString error;
    auto connection = SqliteConnection::shared("TESSALY.mdb", &error);
    SqliteStatement statement = connection->prepare(
        "SELECT TEXT02 FROM TABLE03 WHERE MEMO02 NOT LIKE '*golf*' ORDER BY TEXT02", &error);
    QStringList names;
    while (statement.step() == SQLITE_ROW)
        names << statement.value(0).toString();
    QCOMPARE(names, QStringList{"Cy"});
}

QTEST_GUILESS_MAIN(TestLike)
#include "tst_like.moc"
