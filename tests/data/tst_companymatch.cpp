#include "data/CompanyMatch.h"

#include <QTest>

// When two company rows are the same company, by a table of names that must
// match and near misses that must not.
class TestCompanyMatch : public QObject {
    Q_OBJECT
private slots:
    void names_data();
    void names();
    void cityAndTelephone_data();
    void cityAndTelephone();
    void duplicateGroups();
};

Q_DECLARE_METATYPE(CompanyMatch::Strength)

void TestCompanyMatch::names_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    const QList<std::tuple<const char*, const char*, const char*, bool>> cases{
        {"letter case", "Acme Ltd", "ACME LTD", true},
        {"legal form spelt out", "Acme Ltd", "ACME Limited", true},
        {"trailing full stop", "Acme Ltd", "Acme Ltd.", true},
        {"no legal form", "Acme Ltd", "Acme", true},
        {"(Pty) Ltd", "Acme (Pty) Ltd", "Acme", true},
        {"& Co. KG", "Müller & Co. KG", "Mueller", false}, // a transliteration is no accent
        {"accents", "Müller GmbH", "Muller", true},
        {"repeated blanks", "Acme   Tool  Works", "Acme Tool Works", true},
        {"punctuation inside", "A.C.M.E. Inc", "A C M E", true},
        {"hyphens", "Baker-Smith LLC", "Baker Smith", true},
        {"ampersand between names", "Smith & Sons", "Smith Sons", true},
        {"two legal forms", "Acme Holdings BV", "Acme Holdings N.V.", true},
        {"AG at the start stays", "AG Foods", "Foods", false},
        {"a legal form alone stays", "AG", "AG Inc", true},
        {"near miss: one letter", "Acme Foods", "Acme Feeds", false},
        {"near miss: another word", "Acme Tools", "Acme Tool Works", false},
        {"near miss: word order", "Tool Works Acme", "Acme Tool Works", false},
        {"and or & between names", "Procter and Gamble", "Procter & Gamble", true},
        {"and left out", "Procter and Gamble", "Procter Gamble", true},
        {"empty names never match", "", "", false},
        {"signs alone never match", "---", "...", false},
    };
    for (const auto& [tag, a, b, same] : cases)
        QTest::newRow(tag) << QString::fromUtf8(a) << QString::fromUtf8(b) << same;
}

void TestCompanyMatch::names() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    const auto strength = CompanyMatch::compare({a, {}, {}}, {b, {}, {}});
    QCOMPARE(CompanyMatch::isDuplicate(strength), same);
    // The rule is the same both ways round.
    QCOMPARE(CompanyMatch::compare({b, {}, {}}, {a, {}, {}}), strength);
}

void TestCompanyMatch::cityAndTelephone_data() {
    using S = CompanyMatch::Strength;
    QTest::addColumn<QString>("cityA");
    QTest::addColumn<QString>("phoneA");
    QTest::addColumn<QString>("cityB");
    QTest::addColumn<QString>("phoneB");
    QTest::addColumn<CompanyMatch::Strength>("strength");
    QTest::newRow("nothing else known") << ""
                                        << ""
                                        << ""
                                        << "" << S::Likely;
    QTest::newRow("one side only") << "Tacoma"
                                   << ""
                                   << ""
                                   << "555 0100" << S::Likely;
    QTest::newRow("same city") << "Tacoma"
                               << ""
                               << "TACOMA"
                               << "" << S::Strong;
    QTest::newRow("same number, other notation") << ""
                                                 << "+1 (253) 555-0100"
                                                 << ""
                                                 << "253 555 0100" << S::Strong;
    QTest::newRow("other city") << "Tacoma"
                                << ""
                                << "Boise"
                                << "" << S::Weak;
    QTest::newRow("other number") << ""
                                  << "253 555 0100"
                                  << ""
                                  << "208 555 0199" << S::Weak;
    QTest::newRow("same city, other number") << "Tacoma"
                                             << "253 555 0100"
                                             << "Tacoma"
                                             << "253 555 0199" << S::Likely;
    QTest::newRow("too short to tell") << ""
                                       << "12"
                                       << ""
                                       << "34" << S::Likely;
}

void TestCompanyMatch::cityAndTelephone() {
    QFETCH(QString, cityA);
    QFETCH(QString, phoneA);
    QFETCH(QString, cityB);
    QFETCH(QString, phoneB);
    QFETCH(CompanyMatch::Strength, strength);
    QCOMPARE(CompanyMatch::compare({"Acme Ltd", cityA, phoneA}, {"ACME Limited", cityB, phoneB}),
             strength);
    QCOMPARE(CompanyMatch::compare({"Acme Foods", cityA, phoneA}, {"Acme Feeds", cityB, phoneB}),
             CompanyMatch::Strength::None);
}

void TestCompanyMatch::duplicateGroups() {
    const QList<CompanyMatch::Company> companies{
        {"Acme Ltd", "Tacoma", ""},       // 0
        {"Bolt & Nut", "", ""},           // 1
        {"ACME Limited", "", "555 0100"}, // 2
        {"Acme Foods", "Tacoma", ""},     // 3: a near miss
        {"Acme Ltd.", "Boise", ""},       // 4: another city: not with 0
        {"Bolt and Nut Inc", "", ""},     // 5
        {"Acme", "", "253 555 0100"},     // 6
        {"Zeta", "", ""},                 // 7: alone
        {"Acme Ltd", "Boise", ""},        // 8: with 4
    };
    // 2 and 6 know no city, so they match 0 in Tacoma and 4 and 8 in
    // Boise: one group of five; 3 is another company, 7 has no twin.
    const QList<QList<int>> groups = CompanyMatch::duplicateGroups(companies);
    QCOMPARE(groups, (QList<QList<int>>{{0, 2, 4, 6, 8}, {1, 5}}));
}

QTEST_GUILESS_MAIN(TestCompanyMatch)
#include "tst_companymatch.moc"
