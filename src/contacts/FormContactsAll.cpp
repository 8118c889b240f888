#include "FormContactsAll.h"

#include "ContactFields.h"
#include "DocumentToolbar.h"
#include "FormMailMerge.h"
#include "TelephoneList.h"
#include "app/Controls.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "data/Columns.h"
#include "data/DataSource.h"
#include "data/DocumentFiler.h"
#include "data/Field.h"
#include "data/Recordset.h"
#include "data/SqlQuote.h"
#include "mail/OutlookItems.h"
#include "office/WordApp.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "services/Colors.h"
#include "services/MSComm.h"
#include "services/ModemDial.h"
#include "services/MsgBox.h"
#include "services/Pointer.h"
#include "services/Twips.h"
#include "widgets/DBCombo.h"
#include "widgets/DataMessages.h"
#include "widgets/FieldBinder.h"
#include "widgets/RichTextBox.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <memory>

namespace {

using Controls::button;
using Controls::label;
using Controls::pictureButton;

const QString NoName = QStringLiteral("TextName"); // TextName's text while no name is chosen

// The company's boxes beside the contact's: box, bound column, caption.
struct CompanyField {
    const char* box;
    const char* column;
    const char* caption;
};
const CompanyField CompanyFields[] = {
    {"TEXT01_01", "TABLE01.TEXT01", "COMPANY"},
    {"TEXT18_01", "TABLE01.TEXT18", "SALES PERSON"},
    {"TEXT03_01", "TABLE01.TEXT03", "POSTAL ADDRESS"},
    {"TEXT04_01", "TABLE01.TEXT04", "POSTAL CITY"},
    {"TEXT05_01", "TABLE01.TEXT05", "POSTAL CODE"},
    {"TEXT06_01", "TABLE01.TEXT06", "STREET ADDRESS"},
    {"TEXT07_01", "TABLE01.TEXT07", "STREET ADDRESS 2"},
    {"TEXT08_01", "TABLE01.TEXT08", "CITY"},
};

constexpr int RowTop = 300, RowStep = 330, BoxHeight = 285;
constexpr int LabelLeft = 120, BoxLeft = 1980, BoxWidth = 2700;
constexpr int MemoLeft = 4800, MemoWidth = 2820;
constexpr int CompanyLabelLeft = 7740, CompanyBoxLeft = 9480, CompanyBoxWidth = 3000;

} // namespace

FormContactsAll::FormContactsAll()
    : WorkingWindow(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    buildControls();
    buildHoverTexts();
}

QString FormContactsAll::recordSource(const QString& salesPerson,
                                      const std::optional<QString>& keyword) {
    static const QString select = QStringLiteral(
        "SELECT TABLE01.AUTONUMBER, TABLE01.TEXT01, TABLE01.TEXT03, TABLE01.TEXT04, "
        "TABLE01.TEXT05, TABLE01.TEXT06, TABLE01.TEXT07, TABLE01.TEXT08, TABLE01.TEXT18, "
        "TABLE03.TEXT01, TABLE03.TEXT02, TABLE03.TEXT03, TABLE03.TEXT04, TABLE03.TEXT05, "
        "TABLE03.TEXT06, TABLE03.TEXT07, TABLE03.TEXT08, TABLE03.TEXT09, "
        "TABLE03.TEXT10, TABLE03.TEXT11, TABLE03.MEMO01, TABLE03.MEMO02, TABLE03.DATE03 ");
    static const QString from =
        QStringLiteral("FROM TABLE01 INNER JOIN TABLE03 ON TABLE01.AUTONUMBER = TABLE03.NUMBER01 ");
    static const QString order = QStringLiteral("ORDER BY TABLE03.TEXT02");
    // Apostrophes are doubled; * and ? typed into a keyword stay wildcards.
    const QString name = SqlQuote::text(salesPerson);
    const QString word = SqlQuote::text(keyword.value_or(QString()));
    if (!keyword && salesPerson.isEmpty())
        return select + from + QStringLiteral("WHERE (((TABLE01.TEXT20)='Company')) ") + order;
    if (!keyword)
        return select + from + QStringLiteral("WHERE (((TABLE01.TEXT18)='") + name +
               QStringLiteral("') AND ((TABLE01.TEXT20)='Company'))") + order;
    if (salesPerson.isEmpty())
        return select + from + QStringLiteral("WHERE (((TABLE03.MEMO02) Like '*") + word +
               QStringLiteral("*') AND ((TABLE01.TEXT20)='Company')) ") + order;
    return select + from + QStringLiteral("WHERE ((TABLE01.TEXT18)='") + name +
           QStringLiteral("') AND (((TABLE03.MEMO02) Like '*") + word +
           QStringLiteral("*') AND ((TABLE01.TEXT20)='Company')) ") + order;
}

void FormContactsAll::buildControls() {
    Data1 = new DataSource(QStringLiteral("Data1"), this);
    Data1->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    DataMT12 = new DataSource(QStringLiteral("DataMT12"), this);
    DataMT12->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    DataMT12->setRecordSource(QStringLiteral("MT12"));

    // Top: the name picker, the keyword filter and the contact selector.
    DBComboName = new DBCombo(this);
    DBComboName->setObjectName(QStringLiteral("DBComboName"));
    Twips::setGeometry(DBComboName, 120, 330, 2880, 315);
    DBComboName->setRowSource(DataMT12, QStringLiteral("TEXT01"));
    connect(DBComboName, &DBCombo::clicked, this, &FormContactsAll::DBComboName_Click);
    TextName = new QLineEdit(NoName, this);
    TextName->setObjectName(QStringLiteral("TextName"));
    TextName->setVisible(false);
    LabelFilter = label(this, "LabelFilter", QStringLiteral("Filter for Keywords"), 3120, 60, 2700);
    TextFilter = new QLineEdit(this);
    TextFilter->setObjectName(QStringLiteral("TextFilter"));
    Twips::setGeometry(TextFilter, 3120, 330, 2700, 315);
    CommandGo = button(this, "CommandGo", QStringLiteral("&Go"), 5940, 300, 900);
    CommandReset = button(this, "CommandReset", QStringLiteral("&Reset"), 6960, 300, 900);
    connect(CommandGo, &QPushButton::clicked, this, &FormContactsAll::CommandGo_Click);
    connect(CommandReset, &QPushButton::clicked, this, &FormContactsAll::CommandReset_Click);
    connect(TextFilter, &QLineEdit::returnPressed, CommandGo, &QPushButton::click);
    DBComboSelect = new DBCombo(this);
    DBComboSelect->setObjectName(QStringLiteral("DBComboSelect"));
    Twips::setGeometry(DBComboSelect, 8400, 330, 4380, 315);
    DBComboSelect->setRowSource(Data1, ContactColumn::FullName);
    connect(DBComboSelect, &DBCombo::clicked, this, &FormContactsAll::DBComboSelect_Click);

    // The contact and their company, read-only.
    Frame1 = new QGroupBox(QStringLiteral("Contact Information"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Twips::setGeometry(Frame1, 120, 780, 12660, 3720);
    for (int i = 0; i < int(std::size(ContactFields)); ++i) {
        const ContactField& row = ContactFields[i];
        const int top = RowTop + i * RowStep;
        label(Frame1, row.label, QString::fromLatin1(row.caption), LabelLeft, top + 30,
              BoxLeft - LabelLeft - 60);
        auto* edit = new QLineEdit(Frame1);
        edit->setObjectName(QLatin1String(row.column));
        Twips::setGeometry(edit, BoxLeft, top, BoxWidth, BoxHeight);
        FieldBinder::bind(Data1, edit, QStringLiteral("TABLE03.") + QLatin1String(row.column));
    }
    label(Frame1, "LabelNotes", QStringLiteral("NOTES"), MemoLeft, RowTop + 30, 2800);
    auto* notes = new QPlainTextEdit(Frame1);
    notes->setObjectName(QStringLiteral("MEMO01"));
    Twips::setGeometry(notes, MemoLeft, RowTop + 300, MemoWidth, 1300);
    FieldBinder::bind(Data1, notes, QStringLiteral("TABLE03.MEMO01"));
    label(Frame1, "LabelKeywords", QStringLiteral("KEYWORDS"), MemoLeft, RowTop + 1690, 2800);
    auto* keywords = new QPlainTextEdit(Frame1);
    keywords->setObjectName(QStringLiteral("MEMO02"));
    Twips::setGeometry(keywords, MemoLeft, RowTop + 1960, MemoWidth, 1300);
    FieldBinder::bind(Data1, keywords, QStringLiteral("TABLE03.MEMO02"));
    for (int i = 0; i < int(std::size(CompanyFields)); ++i) {
        const CompanyField& row = CompanyFields[i];
        const int top = RowTop + i * RowStep;
        label(Frame1, (QByteArray("Label") + row.box).constData(), QString::fromLatin1(row.caption),
              CompanyLabelLeft, top + 30, CompanyBoxLeft - CompanyLabelLeft - 60);
        auto* edit = new QLineEdit(Frame1);
        edit->setObjectName(QLatin1String(row.box));
        Twips::setGeometry(edit, CompanyBoxLeft, top, CompanyBoxWidth, BoxHeight);
        FieldBinder::bind(Data1, edit, QLatin1String(row.column));
    }
    // Boxes that hold fields without showing them.
    auto hidden = [this](const char* name, const QString& column) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QLatin1String(name));
        box->setVisible(false);
        FieldBinder::bind(Data1, box, column);
        return box;
    };
    hidden("TEXTAUTNUMBER_01", QStringLiteral("TABLE01.AUTONUMBER"));
    hidden("DATE03", QStringLiteral("TABLE03.DATE03"));
    TextFullName = hidden("TextFullName", QStringLiteral("TABLE03.TEXT11"));

    // The dial options and the telephone lists.
    FrameAutodial = new QGroupBox(QStringLiteral("Autodial"), this);
    FrameAutodial->setObjectName(QStringLiteral("FrameAutodial"));
    Twips::setGeometry(FrameAutodial, 8400, 4560, 4380, 960);
    OptionDial1 = new QRadioButton(FrameAutodial);
    OptionDial1->setObjectName(QStringLiteral("OptionDial1"));
    Twips::setGeometry(OptionDial1, 120, 270, 2900, 285);
    OptionDial2 = new QRadioButton(FrameAutodial);
    OptionDial2->setObjectName(QStringLiteral("OptionDial2"));
    Twips::setGeometry(OptionDial2, 120, 585, 2900, 285);
    connect(OptionDial1, &QRadioButton::clicked, this, &FormContactsAll::OptionDial1_Click);
    connect(OptionDial2, &QRadioButton::clicked, this, &FormContactsAll::OptionDial2_Click);
    MSComm1 = new MSComm(QStringLiteral("MSComm1"), this);
    CommandTel =
        button(FrameAutodial, "CommandTel", QStringLiteral("Tel. List"), 3120, 240, 1140, 330);
    CommandCel =
        button(FrameAutodial, "CommandCel", QStringLiteral("Cell List"), 3120, 570, 1140, 330);
    connect(CommandTel, &QPushButton::clicked, this, &FormContactsAll::CommandTel_Click);
    connect(CommandCel, &QPushButton::clicked, this, &FormContactsAll::CommandCel_Click);

    // Mail merge: collapsed to its one button until the kind is chosen.
    FrameMailMerge = new QGroupBox(QStringLiteral("Mail Merge"), this);
    FrameMailMerge->setObjectName(QStringLiteral("FrameMailMerge"));
    Twips::setGeometry(FrameMailMerge, 4320, 4560, 3960, 975);
    CommandMailMerge =
        button(FrameMailMerge, "CommandMailMerge", QStringLiteral("&Mail Merge"), 120, 240, 1500);
    LabelQuestion = label(FrameMailMerge, "LabelQuestion",
                          QStringLiteral("What type of document do you want to use for Mail  "
                                         "Merge?"),
                          120, 240, 3720, 480);
    LabelQuestion->setWordWrap(true);
    CommandCreateLetter =
        pictureButton(FrameMailMerge, "CommandCreateLetter", "accessories-text-editor", 360, 780);
    CommandCreateFax =
        pictureButton(FrameMailMerge, "CommandCreateFax", "document-print", 1620, 780);
    CommandCreateEMail = pictureButton(FrameMailMerge, "CommandCreateEMail", "mail-new", 2880, 780);
    LabelLetter = label(FrameMailMerge, "LabelLetter", QStringLiteral("Letter"), 240, 1260, 900);
    LabelFax = label(FrameMailMerge, "LabelFax", QStringLiteral("Telefax"), 1500, 1260, 900);
    LabelEMail = label(FrameMailMerge, "LabelEMail", QStringLiteral("E-Mail"), 2760, 1260, 900);
    for (QLabel* caption : {LabelLetter, LabelFax, LabelEMail})
        caption->setAlignment(Qt::AlignHCenter);
    CommandLetter =
        button(FrameMailMerge, "CommandLetter", QStringLiteral("Letter"), 120, 240, 1215);
    CommandFax = button(FrameMailMerge, "CommandFax", QStringLiteral("Telefax"), 120, 240, 1215);
    CommandEMail = button(FrameMailMerge, "CommandEMail", QStringLiteral("E-Mail"), 120, 240, 1215);
    CommandMergeAll = button(FrameMailMerge, "CommandMergeAll",
                             QStringLiteral("Merge to &All Listed"), 1440, 240, 2400);
    ProgressMerge = new QProgressBar(FrameMailMerge);
    ProgressMerge->setObjectName(QStringLiteral("ProgressMerge"));
    Twips::setGeometry(ProgressMerge, 120, 660, 2400, 225);
    CommandCancelMerge = button(FrameMailMerge, "CommandCancelMerge", QStringLiteral("&Cancel"),
                                2640, 600, 1200, 330);
    for (QWidget* w : std::initializer_list<QWidget*>{
             LabelQuestion, CommandCreateLetter, CommandCreateFax, CommandCreateEMail, LabelLetter,
             LabelFax, LabelEMail, CommandLetter, CommandFax, CommandEMail, CommandMergeAll,
             ProgressMerge, CommandCancelMerge})
        w->setVisible(false);
    connect(CommandMailMerge, &QPushButton::clicked, this,
            &FormContactsAll::CommandMailMerge_Click);
    connect(CommandCreateLetter, &QPushButton::clicked, this,
            &FormContactsAll::CommandCreateLetter_Click);
    connect(CommandCreateFax, &QPushButton::clicked, this,
            &FormContactsAll::CommandCreateFax_Click);
    connect(CommandCreateEMail, &QPushButton::clicked, this,
            &FormContactsAll::CommandCreateEMail_Click);
    connect(CommandLetter, &QPushButton::clicked, this, &FormContactsAll::CommandLetter_Click);
    connect(CommandFax, &QPushButton::clicked, this, &FormContactsAll::CommandFax_Click);
    connect(CommandEMail, &QPushButton::clicked, this, &FormContactsAll::CommandEMail_Click);
    connect(CommandMergeAll, &QPushButton::clicked, this, &FormContactsAll::CommandMergeAll_Click);
    connect(CommandCancelMerge, &QPushButton::clicked, this,
            &FormContactsAll::CommandCancelMerge_Click);

    // Status line, help and commands.
    LabelPosition = label(this, "LabelPosition", QString(), 120, 4620, 4000);
    LabelEntered = label(this, "LabelEntered", QString(), 120, 4920, 6000);
    LabelDateandTime = label(this, "LabelDateandTime", QString(), 4200, 4620, 4080);
    LabelDateandTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FrameHelp = new QGroupBox(QStringLiteral("Help"), this);
    FrameHelp->setObjectName(QStringLiteral("FrameHelp"));
    Twips::setGeometry(FrameHelp, 120, 6240, 12660, 540);
    LabelHelp = label(FrameHelp, "LabelHelp", QString(), 120, 210, 12420, 300);
    LabelHelp->setWordWrap(true);
    CommandDelete = pictureButton(this, "CommandDelete", "edit-delete", 120, 6840);
    CommandPrint = pictureButton(this, "CommandPrint", "document-print", 780, 6840);
    CommandHelp = pictureButton(this, "CommandHelp", "help-browser", 1440, 6840);
    CommandExit =
        button(this, "CommandExit", QStringLiteral("E&xit Application"), 11040, 6860, 1740);
    connect(CommandDelete, &QPushButton::clicked, this, &FormContactsAll::CommandDelete_Click);
    connect(CommandPrint, &QPushButton::clicked, this, &FormContactsAll::CommandPrint_Click);
    connect(CommandHelp, &QPushButton::clicked, this, &FormContactsAll::CommandHelp_Click);
    connect(CommandExit, &QPushButton::clicked, this, &FormContactsAll::CommandExit_Click);

    TimerLoad = new QTimer(this);
    TimerLoad->setObjectName(QStringLiteral("TimerLoad"));
    TimerLoad->setInterval(100);
    connect(TimerLoad, &QTimer::timeout, this, &FormContactsAll::TimerLoad_Timer);
    connect(Data1, &DataSource::currentChanged, this, &FormContactsAll::showPosition);
    connect(Data1, &DataSource::refreshed, this, &FormContactsAll::showPosition);
}

void FormContactsAll::buildHoverTexts() {
    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->addBackground(Frame1);
    m_help->addBackground(FrameHelp);
    m_help->addBackground(FrameAutodial);
    m_help->addBackground(FrameMailMerge);
    auto fixed = [this](QWidget* control, const QString& text) { m_help->setText(control, text); };
    auto person = [this](QWidget* control, const QString& before, const QString& after) {
        m_help->setText(control, [this, before, after] { return before + contactName() + after; });
    };
    fixed(DBComboName,
          QStringLiteral("Selecting your name will only display the contacts that you as a "
                         "salesperson are responsible for. Not selecting your name will display "
                         "all active contacts."));
    fixed(TextFilter,
          QStringLiteral("This function allows you to filter for keywords that you have "
                         "allocated to a contact. E.g. if you used 'Golf as a keyword, ") +
              QStringLiteral("entering 'golf' will display all contacts that have 'Golf' as a "
                             "keyword and you might then invite them for a golf day. ") +
              QStringLiteral("If you have 'Birthday: March 15' as a keyword, entering 'march' "
                             "will display all contacts with a birthday in March. Filters are "
                             "not case-sensitive. ") +
              QStringLiteral("For more information, press F1."));
    fixed(DBComboSelect, QStringLiteral("Start typing the name of the contact until the correct "
                                        "name is displayed. You can also use the 'arrow' keys on "
                                        "your keyboard to navigate."));
    person(CommandDelete, QStringLiteral("Delete "), QStringLiteral("."));
    fixed(CommandPrint, QStringLiteral("Print this form."));
    fixed(CommandMailMerge,
          QStringLiteral("Create a document template to be used for mail merge."));
    fixed(CommandLetter, QStringLiteral("Generate a Letter."));
    fixed(CommandFax, QStringLiteral("Generate a Telefaxr."));
    fixed(CommandEMail, QStringLiteral("Generate an E-Mail."));
    fixed(CommandMergeAll, QStringLiteral("Generate the document for every contact listed."));
    fixed(CommandHelp, QStringLiteral("Tessaly Help"));
    fixed(CommandExit, QStringLiteral("Exit and close the program."));
    m_help->setText(OptionDial1, [this] {
        return QStringLiteral("Dial ") + box(ContactColumn::Cellphone)->text() +
               QStringLiteral(", using your modem.");
    });
    m_help->setText(OptionDial2, [this] {
        return QStringLiteral("Dial ") + box(ContactColumn::DirectTelephone)->text() +
               QStringLiteral(", using your modem.");
    });
    person(findChild<QPlainTextEdit*>(ContactColumn::Notes),
           QStringLiteral("Enter any notes related to "), QStringLiteral("."));
    person(findChild<QPlainTextEdit*>(ContactColumn::Keywords),
           QStringLiteral("Enter any keywords related to "),
           QStringLiteral(". These keywords could be hobbies, birthdays, newletters etc and can "
                          "be extracted or filtered for when you generate a report on your "
                          "contacts."));
}

void FormContactsAll::Form_Load() {
    Colors::setBackground(this, Colors::White);
    Controls::paintEditFrame(Frame1, false);
    setWindowTitle(QStringLiteral("Contacts"));
    Twips::setFixedSize(this, 12900, 8000 - 400);
    setKeyPreview(true);
    Frame1->setEnabled(false);
    FrameHelp->setVisible(false);
    CommandReset->setVisible(false);
    OptionDial1->setVisible(false);
    OptionDial2->setVisible(false);
    DBComboName->setText(QStringLiteral("Select Your Name..."));
    DataMessages::refresh(DataMT12);
    load(recordSource(QString(), std::nullopt));
    if (Form* menu = Forms::loaded(QStringLiteral("FormMenu")))
        menu->hide();
    TimerLoad->start();
    DBComboName->setFocus();
}

void FormContactsAll::Form_Unload(bool& cancel) {
    Forms::unload(QString::fromLatin1(FormMailMerge::Name));
    WorkingWindow::Form_Unload(cancel);
}

bool FormContactsAll::Form_KeyDown(QKeyEvent*) {
    return false;
}

QLineEdit* FormContactsAll::box(const QString& name) const {
    return findChild<QLineEdit*>(name);
}

QString FormContactsAll::contactName() const {
    return box(ContactColumn::FirstName)->text() + u' ' + box(ContactColumn::LastName)->text();
}

QString FormContactsAll::chosenName() const {
    return TextName->text() == NoName ? QString() : TextName->text();
}

void FormContactsAll::load(const QString& source) {
    Data1->setRecordSource(source);
    DataMessages::refresh(Data1);
}

void FormContactsAll::DBComboName_Click() {
    if (DBComboName->selectedItem().isEmpty())
        return; // typed text that names nobody
    TextName->setText(DBComboName->text());
    load(recordSource(chosenName(), std::nullopt));
}

void FormContactsAll::DBComboSelect_Click() {
    const QByteArray bookmark = DBComboSelect->selectedItem();
    if (!bookmark.isEmpty())
        Data1->recordset()->setBookmark(bookmark); // a failure leaves the contact shown
}

void FormContactsAll::CommandGo_Click() {
    CommandReset->setVisible(true);
    load(recordSource(chosenName(), TextFilter->text()));
}

void FormContactsAll::CommandReset_Click() {
    TextFilter->clear();
    load(recordSource(chosenName(), std::nullopt));
}

void FormContactsAll::CommandDelete_Click() {
    if (MsgBox::show(QStringLiteral("Are you sure you want to delete ") + contactName() +
                         QStringLiteral("?"),
                     MsgBox::YesNo | MsgBox::Question) != MsgBox::Yes)
        return;
    if (Data1->recordset()->recordCount() == 0)
        return;
    if (!Data1->recordset()->deleteCurrent()) {
        MsgBox::show(QStringLiteral("There are no contacts to delete"),
                     MsgBox::OKOnly | MsgBox::Information);
        return;
    }
    DataMessages::refresh(Data1);
}

void FormContactsAll::showPosition() {
    Recordset* rs = Data1->recordset();
    LabelPosition->setText(QStringLiteral("RECORD %1 OF %2 RECORDS")
                               .arg(rs->absolutePosition() + 1)
                               .arg(rs->recordCount()));
    Autodial();
    // The full name the selector lists follows the first and last name.
    if (Data1->currentRow() >= 0 && TextFullName->text() != contactName())
        TextFullName->setText(contactName());
}

void FormContactsAll::Autodial() {
    const QString cellphone = box(ContactColumn::Cellphone)->text();
    const QString direct = box(ContactColumn::DirectTelephone)->text();
    OptionDial1->setText(cellphone);
    OptionDial1->setVisible(!cellphone.isEmpty());
    OptionDial2->setText(direct);
    OptionDial2->setVisible(!direct.isEmpty());
}

void FormContactsAll::TimerLoad_Timer() {
    LabelDateandTime->setText(Locale::dateText(Clock::today()) + u' ' +
                              Locale::timeText(Clock::time()));
    LabelEntered->setText(contactName() + QStringLiteral(" was Entered on ") +
                          box(ContactColumn::Entered)->text());
}

void FormContactsAll::OptionDial1_Click() {
    dial(OptionDial1, box(ContactColumn::Cellphone)->text());
}

void FormContactsAll::OptionDial2_Click() {
    dial(OptionDial2, box(ContactColumn::DirectTelephone)->text());
}

void FormContactsAll::dial(QRadioButton* option, const QString& number) {
    ModemDial::DialFromOption(option, MSComm1, number, DBComboSelect);
}

void FormContactsAll::CommandTel_Click() {
    if (Data1->currentRow() < 0)
        return;
    QString error;
    if (!ModuleBC::Record(box(ContactColumn::DirectTelephone)->text(), contactName(),
                          box(QStringLiteral("TEXT01_01"))->text(), &error))
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
}

void FormContactsAll::CommandCel_Click() {
    if (Data1->currentRow() < 0)
        return;
    QString error;
    if (!ModuleLC::Record(box(ContactColumn::Cellphone)->text(), contactName(),
                          box(QStringLiteral("TEXT01_01"))->text(), &error))
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
}

// Mail merge.

FormMailMerge* FormContactsAll::mergeEditor() const {
    return qobject_cast<FormMailMerge*>(Forms::loaded(QString::fromLatin1(FormMailMerge::Name)));
}

void FormContactsAll::CommandMailMerge_Click() {
    const QRect frame = Twips::geometry(FrameMailMerge);
    Twips::setGeometry(FrameMailMerge, frame.x(), frame.y(), frame.width(), 1620);
    FrameMailMerge->raise();
    CommandMailMerge->setVisible(false);
    for (QWidget* w :
         std::initializer_list<QWidget*>{LabelQuestion, CommandCreateLetter, CommandCreateFax,
                                         CommandCreateEMail, LabelLetter, LabelFax, LabelEMail})
        w->setVisible(true);
}

void FormContactsAll::CommandCreateLetter_Click() {
    createTemplate(QStringLiteral("LETTER"), CommandLetter);
}

void FormContactsAll::CommandCreateFax_Click() {
    createTemplate(QStringLiteral("TELEFAX"), CommandFax);
}

void FormContactsAll::CommandCreateEMail_Click() {
    createTemplate(QStringLiteral("EMAIL"), CommandEMail);
}

void FormContactsAll::createTemplate(const QString& kind, QPushButton* production) {
    Pointer::busy();
    for (QWidget* w :
         std::initializer_list<QWidget*>{LabelQuestion, CommandCreateLetter, CommandCreateFax,
                                         CommandCreateEMail, LabelLetter, LabelFax, LabelEMail})
        w->setVisible(false);
    const QRect frame = Twips::geometry(FrameMailMerge);
    Twips::setGeometry(FrameMailMerge, frame.x(), frame.y(), frame.width(), 975);
    Twips::move(production, 120, 240);
    production->setVisible(true);
    CommandMergeAll->setVisible(true);
    production->setFocus();
    auto* editor = Forms::get<FormMailMerge>();
    Pointer::normal();
    if (!editor) {
        MsgBox::show(QStringLiteral("The mail-merge editor cannot be opened."), MsgBox::OKOnly);
        return;
    }
    editor->open(kind);
}

QStringList FormContactsAll::addressBlock(bool telefax) const {
    QStringList lines{Locale::dateText(Clock::today()),
                      QString(),
                      box(ContactColumn::Title)->text() + u' ' + contactName(),
                      box(QStringLiteral("TEXT01_01"))->text(),
                      box(QStringLiteral("TEXT03_01"))->text(),
                      box(QStringLiteral("TEXT04_01"))->text(),
                      box(QStringLiteral("TEXT05_01"))->text(),
                      QString()};
    if (telefax)
        lines << box(ContactColumn::DirectFax)->text() << QString();
    const FormMailMerge* editor = mergeEditor();
    lines << QStringLiteral("Subject: ") + (editor ? editor->subject() : QString()) << QString();
    return lines;
}

QString FormContactsAll::letterRtf(const QString& block, const QString& letterhead) const {
    const FormMailMerge* editor = mergeEditor();
    if (!editor)
        return QString();
    // The address block and the template as one text, so that both take the
    // letterhead's body font (or the one the user chose for the template).
    std::unique_ptr<QTextDocument> letter(editor->document()->document()->clone());
    QTextCursor start(letter.get());
    QTextCharFormat plain = start.charFormat();
    plain.setFontWeight(QFont::Normal);
    plain.setFontItalic(false);
    plain.setFontUnderline(false);
    start.insertText(QString(block).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) + u'\n',
                     plain);
    if (!editor->fontChosen())
        if (const auto font = Rtf::insertionFont(letterhead))
            return DocumentToolbar::RtfInFont(*letter, *font);
    return Rtf::fromDocument(*letter);
}

QString FormContactsAll::templatePlainText() const {
    const FormMailMerge* editor = mergeEditor();
    QString text = editor ? editor->document()->text() : QString();
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

bool FormContactsAll::file(const QString& kind, const QString& text, QString* error) {
    bool isKey = false;
    const qint64 company = box(QStringLiteral("TEXTAUTNUMBER_01"))->text().toLongLong(&isKey);
    if (!isKey) {
        *error = QStringLiteral("No contact is shown.");
        return false;
    }
    const DocumentFiler::Values values = {
        {DocumentColumn::Date,
         FieldFormat::storage(QVariant(Clock::today()), FieldKind::Date, nullptr)
             .value_or(QVariant())},
        {DocumentColumn::Kind, kind},
        {DocumentColumn::Text, text}};
    bool companyMissing = false;
    if (!DocumentFiler::store(QStringLiteral("TABLE09"), company, values, std::nullopt, error,
                              &companyMissing)) {
        if (companyMissing)
            *error = box(QStringLiteral("TEXT01_01"))->text() +
                     QStringLiteral(" is no longer in the database.");
        return false;
    }
    if (Form* browser = Forms::loaded(QStringLiteral("FormActivities")))
        browser->Load();
    return true;
}

void FormContactsAll::CommandLetter_Click() {
    produceLetter(false);
}

void FormContactsAll::produceLetter(bool telefax) {
    const QString kind = telefax ? QStringLiteral("TELEFAX") : QStringLiteral("LETTER");
    if (Data1->currentRow() < 0)
        return;
    Pointer::busy();
    QString error;
    WordApp word;
    WordDocument* letter = word.DocumentsAddLetterhead(&error);
    const QString block = addressBlock(telefax).join(QStringLiteral("\r\n"));
    bool ok = letter != nullptr;
    if (ok) {
        letter->PasteRtf(letterRtf(block, letter->templateRtf()));
        ok = word.SetVisible(&error);
    }
    // The document exists once the word processor has it: only then is it filed.
    if (ok)
        ok = file(kind, block + QStringLiteral("\r\n") + templatePlainText(), &error);
    Pointer::normal();
    if (!ok)
        MsgBox::show(error, MsgBox::OKOnly);
}

void FormContactsAll::CommandFax_Click() {
    produceLetter(true);
}

bool FormContactsAll::produceEMail(bool queue, QString* error) {
    const QString address = box(ContactColumn::EMail)->text();
    const FormMailMerge* editor = mergeEditor();
    const QString subject = editor ? editor->subject() : QString();
    std::unique_ptr<OutlookItem> item = MailApp::CreateItem(MailApp::olMailItem);
    auto* mail = dynamic_cast<MailItem*>(item.get());
    if (!mail) {
        *error = QStringLiteral("The mail program cannot make a new mail.");
        return false;
    }
    mail->Subject = subject;
    mail->To = address;
    mail->Body = templatePlainText();
    if (!(queue ? mail->Queue(error) : mail->Display(error)))
        return false;
    const QString crlf = QStringLiteral("\r\n");
    return file(QStringLiteral("EMAIL"),
                QStringLiteral("TO: ") + address + crlf + QStringLiteral("SUBJECT: ") + subject +
                    crlf + QStringLiteral("DATE: ") + Locale::dateText(Clock::today()) + crlf +
                    crlf + templatePlainText(),
                error);
}

void FormContactsAll::CommandEMail_Click() {
    if (Data1->currentRow() < 0)
        return;
    if (box(ContactColumn::EMail)->text().isEmpty()) {
        MsgBox::show(contactName() + QStringLiteral(" does not have an e-mail address."),
                     MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    Pointer::busy();
    QString error;
    const bool ok = produceEMail(false, &error);
    Pointer::normal();
    if (!ok)
        MsgBox::show(error, MsgBox::OKOnly);
}

void FormContactsAll::setMergeRunning(bool running) {
    ProgressMerge->setVisible(running);
    CommandCancelMerge->setVisible(running);
    for (QWidget* w : std::initializer_list<QWidget*>{CommandLetter, CommandFax, CommandEMail,
                                                      CommandMergeAll, DBComboName, DBComboSelect,
                                                      CommandGo, CommandReset, CommandDelete})
        w->setEnabled(!running);
}

void FormContactsAll::CommandMergeAll_Click() {
    const FormMailMerge* editor = mergeEditor();
    if (!editor || Data1->rowCount() == 0)
        return;
    const QString kind = editor->kind();
    const bool email = kind == QLatin1String("EMAIL");
    const bool telefax = kind == QLatin1String("TELEFAX");
    QString error;
    WordApp word;
    WordDocument* letters = email ? nullptr : word.DocumentsAddLetterhead(&error);
    if (!email && !letters) {
        MsgBox::show(error, MsgBox::OKOnly);
        return;
    }
    m_cancelMerge = false;
    setMergeRunning(true);
    ProgressMerge->setRange(0, Data1->rowCount());
    int made = 0, skipped = 0;
    QStringList failures;
    for (int row = 0; row < Data1->rowCount() && !m_cancelMerge; ++row) {
        if (!Data1->recordset()->setBookmark(Data1->bookmarkAt(row)))
            continue;
        if (email) {
            if (box(ContactColumn::EMail)->text().isEmpty())
                ++skipped;
            else if (produceEMail(true, &error))
                ++made;
            else
                failures << contactName() + QStringLiteral(": ") + error;
        } else {
            const QString block = addressBlock(telefax).join(QStringLiteral("\r\n"));
            if (made > 0)
                letters->PasteRtf(QStringLiteral("{\\rtf1\\ansi \\page }"));
            letters->PasteRtf(letterRtf(block, letters->templateRtf()));
            if (file(kind, block + QStringLiteral("\r\n") + templatePlainText(), &error))
                ++made;
            else
                failures << contactName() + QStringLiteral(": ") + error;
        }
        ProgressMerge->setValue(row + 1);
        QCoreApplication::processEvents(); // the cancel button answers between contacts
    }
    setMergeRunning(false);
    if (letters && made > 0 && !word.SetVisible(&error))
        failures << error;
    QString report = QStringLiteral("%1 %2 made and filed.")
                         .arg(made)
                         .arg(email ? QStringLiteral("e-mails, waiting in the Outbox,")
                                    : QStringLiteral("documents"));
    if (m_cancelMerge)
        report += QStringLiteral(" Cancelled: the other contacts got none.");
    if (skipped > 0)
        report += QStringLiteral(" %1 contacts have no e-mail address.").arg(skipped);
    if (!failures.isEmpty())
        report += QStringLiteral("\r\n") + failures.join(QStringLiteral("\r\n"));
    MsgBox::show(report,
                 MsgBox::OKOnly | (failures.isEmpty() ? MsgBox::Information : MsgBox::Exclamation));
}

void FormContactsAll::CommandCancelMerge_Click() {
    m_cancelMerge = true;
}
