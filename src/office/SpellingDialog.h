#pragma once

#include "formats/SpellingPass.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// The spelling dialog: the unknown word in its sentence, the suggestions,
// and Ignore Once, Ignore All, Add to Dictionary, Change, Change All, Cancel.
// Test hook: setAnswerer() answers every question without showing a window.
class SpellingDialog : public QDialog {
    Q_OBJECT
public:
    explicit SpellingDialog(QWidget* parent = nullptr);

    SpellingPass::Decision ask(const SpellingPass::Question& question);

    using Answerer = std::function<SpellingPass::Decision(const SpellingPass::Question&)>;
    static void setAnswerer(Answerer answerer);
    static bool hasAnswerer();
    // The decider a spelling pass uses: the answerer, or this dialog.
    static SpellingPass::Decider decider(QWidget* parent);

private:
    void finish(SpellingPass::Action action);

    QLabel* LabelNotInDictionary;
    QPlainTextEdit* TextSentence;
    QLineEdit* TextChangeTo;
    QListWidget* ListSuggestions;
    SpellingPass::Decision m_decision;
};
