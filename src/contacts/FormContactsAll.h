#pragma once

#include "app/WorkingWindow.h"

#include <optional>

class DBCombo;
class DataSource;
class FormMailMerge;
class QProgressBar;
class HoverHelp;
class MSComm;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

// The contacts of every active company at once, each with its company's
// address: to find contacts across companies by the sales person who looks
// after them, by a keyword of theirs, or by typing their name. Every box is
// read-only here; contacts are entered and edited in the contacts window.
class FormContactsAll : public WorkingWindow {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormContactsAll";
    FormContactsAll();

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;      // closes the mail-merge template too
    bool Form_KeyDown(QKeyEvent* event) override; // no function-key switches here

    // The record source for a sales person (empty: all) and a keyword
    // (none: no keyword filter; an empty one lists every contact that has
    // keywords at all).
    static QString recordSource(const QString& salesPerson, const std::optional<QString>& keyword);

    void DBComboName_Click();
    void DBComboSelect_Click();
    void CommandGo_Click();
    void CommandReset_Click();
    void CommandDelete_Click();
    void OptionDial1_Click(); // dials the cellphone
    void OptionDial2_Click(); // dials the direct line
    void CommandTel_Click();  // the call to the direct line goes on the telephone list
    void CommandCel_Click();  // the call to the cellphone goes on the telephone list
    void TimerLoad_Timer();

    // Mail merge: the kind is chosen once per opening of the window, the
    // template written in the mail-merge editor, and then one document made
    // for each contact the user produces one for.
    void CommandMailMerge_Click();
    void CommandCreateLetter_Click();
    void CommandCreateFax_Click();
    void CommandCreateEMail_Click();
    void CommandLetter_Click();
    void CommandFax_Click();
    void CommandEMail_Click();
    // The template for every contact listed, in one run: letters and
    // telefaxes as one document with a page break between the contacts,
    // e-mails into the Outbox. Each document is filed as it is made; a
    // cancel keeps those made so far and leaves the rest untouched.
    void CommandMergeAll_Click();
    void CommandCancelMerge_Click();
    // After every move: the position, the full name, the dial options.
    void showPosition();
    // Shows the dial options for the current contact's numbers.
    void Autodial();

    DataSource* data() const { return Data1; }
    QLineEdit* box(const QString& name) const;
    QString contactName() const; // first and last name joined by one blank

private:
    void buildControls();
    void buildHoverTexts();
    // The sales person chosen in the name picker; empty when none is.
    QString chosenName() const;
    void load(const QString& recordSource);
    FormMailMerge* mergeEditor() const;
    void createTemplate(const QString& kind, QPushButton* production);
    // The lines of a letter or telefax before the template's text.
    QStringList addressBlock(bool telefax) const;
    // The address block and the template as RTF for the letterhead
    // `letterhead`: in its body font, unless the user chose a font for the
    // template.
    QString letterRtf(const QString& block, const QString& letterhead) const;
    QString templatePlainText() const; // CR LF between lines
    // Files a document for the company of the contact shown.
    bool file(const QString& kind, const QString& text, QString* error);
    // One letter or telefax for the contact shown, opened in the word processor.
    void produceLetter(bool telefax);
    // One e-mail for the contact shown: displayed, or queued in the Outbox.
    bool produceEMail(bool queue, QString* error);
    void setMergeRunning(bool running);
    // Dials the number through the modem, then leaves the option unchosen.
    void dial(QRadioButton* option, const QString& number);
    QGroupBox* Frame1;
    QGroupBox* FrameAutodial;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    QLabel* LabelFilter;
    QLabel* LabelPosition;
    QLabel* LabelEntered;
    QLabel* LabelDateandTime;
    DBCombo* DBComboName;
    DBCombo* DBComboSelect;
    QLineEdit* TextName;
    QLineEdit* TextFilter;
    QLineEdit* TextFullName;
    QPushButton* CommandGo;
    QPushButton* CommandReset;
    QRadioButton* OptionDial1;
    QRadioButton* OptionDial2;
    QPushButton* CommandTel;
    QPushButton* CommandCel;
    QPushButton* CommandDelete;
    QPushButton* CommandPrint;
    QPushButton* CommandHelp;
    QPushButton* CommandExit;
    QGroupBox* FrameMailMerge;
    QPushButton* CommandMailMerge;
    QLabel* LabelQuestion;
    QPushButton* CommandCreateLetter;
    QPushButton* CommandCreateFax;
    QPushButton* CommandCreateEMail;
    QLabel* LabelLetter;
    QLabel* LabelFax;
    QLabel* LabelEMail;
    QPushButton* CommandLetter;
    QPushButton* CommandFax;
    QPushButton* CommandEMail;
    QPushButton* CommandMergeAll;
    QPushButton* CommandCancelMerge;
    QProgressBar* ProgressMerge;
    bool m_cancelMerge = false;
    QTimer* TimerLoad;
    MSComm* MSComm1;
    DataSource* Data1;
    DataSource* DataMT12;
    HoverHelp* m_help;
};
