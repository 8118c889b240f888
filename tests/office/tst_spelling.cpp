#include "TestSession.h"

#include "formats/Rtf.h"
#include "formats/SpellChecker.h"
#include "formats/SpellingPass.h"
#include "office/ModuleSpelling.h"
#include "office/SpellingDialog.h"
#include "platform/Locale.h"
#include "platform/ProgramFolder.h"
#include "services/Clipboard.h"
#include "services/MsgBox.h"
#include "widgets/RichTextBox.h"

#include <QDir>
#include <QProgressBar>

#include <QFile>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

// Spelling with Hunspell: the checker, the personal word list and the pass
// that carries out the user's decisions in a formatted document.
class TestSpelling : public QObject {
    Q_OBJECT
private slots:
    void init() { m_session = std::make_unique<TestSession>(); }
    void cleanup() { m_session.reset(); }

    void checkerKnowsEnglish();
    void missingLanguageFallsBackToEnglish();
    void decisionsAreCarriedOutKeepingFormatting();
    void wordsLeftAlone_data();
    void wordsLeftAlone();
    void ignoreAllAndAddToDictionary();
    void cancelKeepsEarlierChanges();
    void spellCheckOfAnEditor();
    void spellCheckThatCannotWriteItsFileSaysSo();

private:
    std::unique_ptr<TestSession> m_session;
};

void TestSpelling::checkerKnowsEnglish() {
    SpellChecker checker;
    QVERIFY2(checker.isAvailable(), qPrintable(checker.error()));
    QCOMPARE(checker.language(), QString("en_US"));
    QVERIFY(checker.check("house"));
    QVERIFY(!checker.check("hosue"));
    QVERIFY(checker.suggest("hosue").contains("house"));
}

void TestSpelling::missingLanguageFallsBackToEnglish() {
    Locale::pin(QLocale(QLocale::Zulu, QLocale::SouthAfrica)); // no dictionary installed
    SpellChecker checker;
    QVERIFY(checker.isAvailable());
    QCOMPARE(checker.language(), QString("en_US"));
}

void TestSpelling::decisionsAreCarriedOutKeepingFormatting() {
    QTextDocument document;
    document.setHtml("<p>The hosue is <b>bigg</b>. Teh cat saw teh dog.</p>");
    SpellChecker checker;
    QStringList asked;
    SpellingPass pass(checker, [&](const SpellingPass::Question& q) -> SpellingPass::Decision {
        asked << q.word;
        if (q.word == "hosue") {
            [&] { QVERIFY(q.suggestions.contains("house")); }();
            [&] { QCOMPARE(q.context, QString("The hosue is bigg.")); }();
            return {SpellingPass::Action::Change, "house"};
        }
        if (q.word == "bigg")
            return {SpellingPass::Action::Change, "big"};
        if (q.word == "teh")
            return {SpellingPass::Action::ChangeAll, "the"};
        return {SpellingPass::Action::IgnoreOnce, {}};
    });
    QVERIFY(pass.run(document));
    QCOMPARE(document.toPlainText(), QString("The house is big. Teh cat saw the dog."));
    // "Teh" is asked about on its own: Change All applies to the word as written.
    QCOMPARE(asked, (QStringList{"hosue", "bigg", "Teh", "teh"}));
    QCOMPARE(pass.changes(), 3);
    QTextCursor cursor = document.find("big");
    QTextCursor inside(&document);
    inside.setPosition(cursor.selectionStart() + 1);
    QCOMPARE(inside.charFormat().fontWeight(), int(QFont::Bold));
}

void TestSpelling::wordsLeftAlone_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("e-mail address") << "Write to jhon@acmme.test today.";
    QTest::newRow("web address") << "See www.acmme.test now.";
    QTest::newRow("capitals") << "The ABCD unit.";
    QTest::newRow("digits") << "Model R2D2 and abc123 ships.";
    QTest::newRow("single letters") << "Plan B and x.";
}

void TestSpelling::wordsLeftAlone() {
    QFETCH(QString, text);
    QTextDocument document(text);
    SpellChecker checker;
    int questions = 0;
    SpellingPass pass(checker, [&](const SpellingPass::Question&) {
        ++questions;
        return SpellingPass::Decision{};
    });
    QVERIFY(pass.run(document));
    QCOMPARE(questions, 0);
}

void TestSpelling::ignoreAllAndAddToDictionary() {
    QTextDocument document("Tessaly helps. Morvane makes Tessaly. Morvane again.");
    {
        SpellChecker checker;
        QStringList asked;
        SpellingPass pass(checker, [&](const SpellingPass::Question& q) {
            asked << q.word;
            return SpellingPass::Decision{q.word == "Tessaly"
                                              ? SpellingPass::Action::IgnoreAll
                                              : SpellingPass::Action::AddToDictionary,
                                          {}};
        });
        QVERIFY(pass.run(document));
        QCOMPARE(asked, (QStringList{"Tessaly", "Morvane"}));
    }
    QFile personal(SpellChecker::personalWordList());
    QVERIFY(personal.open(QIODevice::ReadOnly));
    QCOMPARE(personal.readAll(), QByteArray("Morvane\n"));
    SpellChecker next; // the word list is the user's for good; ignoring was for one check
    QVERIFY(next.check("Morvane"));
    QVERIFY(!next.check("Tessaly"));
}

void TestSpelling::cancelKeepsEarlierChanges() {
    QTextDocument document("One hosue, two carss.");
    SpellChecker checker;
    SpellingPass pass(checker, [](const SpellingPass::Question& q) {
        if (q.word == "hosue")
            return SpellingPass::Decision{SpellingPass::Action::Change, "house"};
        return SpellingPass::Decision{SpellingPass::Action::Cancel, {}};
    });
    QVERIFY(!pass.run(document));
    QCOMPARE(document.toPlainText(), QString("One house, two carss."));
}

void TestSpelling::spellCheckOfAnEditor() {
    RichTextBox editor;
    QTextDocument original;
    original.setHtml("<p>The hosue is <b>bigg</b>.</p>");
    editor.setTextRTF(Rtf::fromDocument(original));
    QProgressBar progress;
    progress.hide();
    QStringList seen;
    SpellingDialog::setAnswerer([&](const SpellingPass::Question& q) {
        seen << QString::number(progress.value()) + ":" + q.word;
        return SpellingPass::Decision{SpellingPass::Action::Change, q.suggestions.value(0)};
    });
    const QString working = QDir(ProgramFolder::tempFolder()).filePath("SpellCheck.rtf");
    QDir().mkpath(ProgramFolder::tempFolder());
    QFile leftover(working);
    QVERIFY(leftover.open(QIODevice::WriteOnly));
    leftover.write("left over from an earlier check");
    leftover.close();

    m_session->expectMessage("Spelling and Grammar Check is Complete.");
    ModuleSpelling::SpellCheck(&editor, &progress);
    QCOMPARE(seen, (QStringList{"40:hosue", "40:bigg"}));
    QCOMPARE(editor.text(), QString("The house is big."));
    QTextCursor cursor = editor.document()->find("big");
    QTextCursor inside(editor.document());
    inside.setPosition(cursor.selectionStart() + 1);
    QCOMPARE(inside.charFormat().fontWeight(), int(QFont::Bold));
    QCOMPARE(progress.value(), 100);
    QVERIFY(!progress.isVisible());
    QCOMPARE(MsgBox::last().text, QString("Spelling and Grammar Check is Complete."));
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Information);
    QVERIFY(Clipboard::text().isEmpty());
    QFile file(working);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(Rtf::toPlainText(QString::fromLatin1(file.readAll())).trimmed(),
             QString("The house is big."));
}

void TestSpelling::spellCheckThatCannotWriteItsFileSaysSo() {
    RichTextBox editor;
    editor.setText("A hosue.");
    // A folder where the working file should be cannot be deleted as a file.
    QVERIFY(QDir().mkpath(QDir(ProgramFolder::tempFolder()).filePath("SpellCheck.rtf/inside")));
    QProgressBar progress;
    m_session->expectMessage("The working file " +
                             QDir(ProgramFolder::tempFolder()).filePath("SpellCheck.rtf"));
    ModuleSpelling::SpellCheck(&editor, &progress);
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Critical);
    QVERIFY(MsgBox::last().text.contains("SpellCheck.rtf"));
    QCOMPARE(editor.text(), QString("A hosue."));
    QVERIFY(!progress.isVisible());
}

QTEST_MAIN(TestSpelling)
#include "tst_spelling.moc"
