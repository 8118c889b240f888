#include "SpellingDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTextCursor>

namespace {
SpellingDialog::Answerer& answerer() {
    static SpellingDialog::Answerer a;
    return a;
}
} // namespace

void SpellingDialog::setAnswerer(Answerer a) {
    answerer() = std::move(a);
}

bool SpellingDialog::hasAnswerer() {
    return bool(answerer());
}

SpellingPass::Decider SpellingDialog::decider(QWidget* parent) {
    if (answerer())
        return answerer();
    return [parent](const SpellingPass::Question& question) {
        SpellingDialog dialog(parent);
        return dialog.ask(question);
    };
}

SpellingDialog::SpellingDialog(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("SpellingDialog"));
    setWindowTitle(QStringLiteral("Spelling"));
    LabelNotInDictionary = new QLabel(QStringLiteral("Not in Dictionary:"), this);
    LabelNotInDictionary->setObjectName(QStringLiteral("LabelNotInDictionary"));
    TextSentence = new QPlainTextEdit(this);
    TextSentence->setObjectName(QStringLiteral("TextSentence"));
    TextSentence->setReadOnly(true);
    TextSentence->setMaximumHeight(90);
    auto* changeLabel = new QLabel(QStringLiteral("Change &to:"), this);
    TextChangeTo = new QLineEdit(this);
    TextChangeTo->setObjectName(QStringLiteral("TextChangeTo"));
    changeLabel->setBuddy(TextChangeTo);
    auto* suggestionsLabel = new QLabel(QStringLiteral("Suggestio&ns:"), this);
    ListSuggestions = new QListWidget(this);
    ListSuggestions->setObjectName(QStringLiteral("ListSuggestions"));
    suggestionsLabel->setBuddy(ListSuggestions);
    connect(ListSuggestions, &QListWidget::currentTextChanged, TextChangeTo, &QLineEdit::setText);
    connect(ListSuggestions, &QListWidget::itemDoubleClicked, this,
            [this] { finish(SpellingPass::Action::Change); });

    auto button = [this](const char* name, const QString& caption, SpellingPass::Action action) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, [this, action] { finish(action); });
        return b;
    };
    auto* layout = new QGridLayout(this);
    layout->addWidget(LabelNotInDictionary, 0, 0, 1, 2);
    layout->addWidget(TextSentence, 1, 0, 1, 2);
    layout->addWidget(changeLabel, 2, 0);
    layout->addWidget(TextChangeTo, 3, 0);
    layout->addWidget(suggestionsLabel, 4, 0);
    layout->addWidget(ListSuggestions, 5, 0, 4, 1);
    layout->addWidget(
        button("CommandIgnore", QStringLiteral("&Ignore Once"), SpellingPass::Action::IgnoreOnce),
        3, 1);
    layout->addWidget(
        button("CommandIgnoreAll", QStringLiteral("I&gnore All"), SpellingPass::Action::IgnoreAll),
        4, 1);
    layout->addWidget(button("CommandAdd", QStringLiteral("&Add to Dictionary"),
                             SpellingPass::Action::AddToDictionary),
                      5, 1);
    auto* change = button("CommandChange", QStringLiteral("&Change"), SpellingPass::Action::Change);
    change->setDefault(true);
    layout->addWidget(change, 6, 1);
    layout->addWidget(
        button("CommandChangeAll", QStringLiteral("Change A&ll"), SpellingPass::Action::ChangeAll),
        7, 1);
    layout->addWidget(
        button("CommandCancel", QStringLiteral("Cancel"), SpellingPass::Action::Cancel), 8, 1);
}

SpellingPass::Decision SpellingDialog::ask(const SpellingPass::Question& question) {
    TextSentence->setPlainText(question.context);
    // The unknown word in red within its sentence.
    const int at = int(question.context.indexOf(question.word));
    if (at >= 0) {
        QTextCursor cursor(TextSentence->document());
        cursor.setPosition(at);
        cursor.setPosition(at + int(question.word.size()), QTextCursor::KeepAnchor);
        QTextCharFormat red;
        red.setForeground(Qt::red);
        red.setFontWeight(QFont::Bold);
        cursor.mergeCharFormat(red);
    }
    ListSuggestions->clear();
    ListSuggestions->addItems(question.suggestions);
    TextChangeTo->setText(question.suggestions.value(0, question.word));
    if (!question.suggestions.isEmpty())
        ListSuggestions->setCurrentRow(0);
    m_decision = {SpellingPass::Action::Cancel, {}};
    exec();
    return m_decision;
}

void SpellingDialog::finish(SpellingPass::Action action) {
    m_decision = {action, TextChangeTo->text()};
    accept();
}
