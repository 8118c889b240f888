#include "FormContacts.h"

#include "ContactFields.h"
#include "TelephoneList.h"

#include "app/Controls.h"
#include "app/EditToolbar.h"
#include "app/Forms.h"
#include "app/FunctionKeyBar.h"
#include "app/HoverHelp.h"
#include "app/ModuleButtons.h"
#include "app/ModuleHelp.h"
#include "companies/FormCompanies.h"
#include "contacts/FormWrite.h"
#include "data/Columns.h"
#include "data/CompanyView.h"
#include "data/DataSource.h"
#include "data/Recordset.h"
#include "mail/OutlookItems.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "services/Colors.h"
#include "services/MSComm.h"
#include "services/ModemDial.h"
#include "services/MsgBox.h"
#include "services/Pointer.h"
#include "services/PrintWindow.h"
#include "services/Twips.h"
#include "widgets/CompanyPicker.h"
#include "widgets/DBCombo.h"
#include "widgets/DBList.h"
#include "widgets/DataMessages.h"
#include "widgets/FieldBinder.h"

#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

using Controls::button;
using Controls::label;
using Controls::pictureButton;

constexpr int RowTop = 300, RowStep = 330, BoxHeight = 285;
constexpr int LabelLeft = 120, BoxLeft = 1980, BoxWidth = 3120;
constexpr int PickOffset = 305; // pick lists stand this far left of their boxes
constexpr int MemoLeft = 5220, MemoWidth = 2820;

const QString Crlf = QStringLiteral("\r\n");

} // namespace

FormContacts::FormContacts()
    : WorkingWindow(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    buildControls();
    buildHoverTexts();
}

QString FormContacts::emptyDatabaseMessage() {
    return QStringLiteral("Because the first record has been entered to an empty database, ") +
           Crlf + QStringLiteral("Tessaly needs to be restarted in order to allow configuration.");
}

QString FormContacts::emptyViewMessage() {
    return QStringLiteral("The companies window lists no company, so there are no contacts to "
                          "show.") +
           Crlf +
           QStringLiteral("Choose another sales person or \"All Companies\" there, or open the "
                          "active companies from the main menu.");
}

bool FormContacts::databaseHasCompanies() {
    DataSource any;
    any.setDatabaseName(QStringLiteral("TESSALY.mdb"));
    any.setRecordSource(QStringLiteral("SELECT AUTONUMBER FROM TABLE01"));
    // A database that cannot be read is not taken for an empty one.
    return !any.refresh() || any.rowCount() > 0;
}

void FormContacts::buildControls() {
    auto source = [this](const char* name, const QString& recordSource) {
        auto* data = new DataSource(QLatin1String(name), this);
        data->setDatabaseName(QStringLiteral("TESSALY.mdb"));
        data->setRecordSource(recordSource);
        return data;
    };
    DataTABLE03 = source("DataTABLE03", QStringLiteral("TABLE03"));
    DataTABLE01 = source("DataTABLE01", QString());
    DataMT09 = source("DataMT09", QStringLiteral("MT09"));
    DataMT05 = source("DataMT05", QStringLiteral("MT05"));

    // Top: the company selector and the edit toolbar.
    LabelSelect = label(this, "LabelSelect", CompanyPicker::prompt(), 120, 60, 3000);
    DBComboSelect = new CompanyPicker(CompanyPicker::Follow::Choice, this);
    Twips::setGeometry(DBComboSelect, 120, 330, 4800, 315);
    DBComboSelect->setCompanies(DataTABLE01);
    DBComboSelect->setCurrentCompany([this]() -> CurrentCompany* { return companies(); });
    connect(DBComboSelect, &CompanyPicker::companyChosen, this, &FormContacts::Load);
    Toolbar1 = new EditToolbar(this);
    Twips::setGeometry(Toolbar1, 10560, 270, 2220, 420);

    // The edit frame with the contact's boxes and the two memos.
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Twips::setGeometry(Frame1, 120, 780, 8160, 4020);
    for (int i = 0; i < int(std::size(ContactFields)); ++i) {
        const ContactField& row = ContactFields[i];
        const int top = RowTop + i * RowStep;
        label(Frame1, row.label, QString::fromLatin1(row.caption), LabelLeft, top + 30,
              BoxLeft - LabelLeft - 60);
        auto* edit = new QLineEdit(Frame1);
        edit->setObjectName(QLatin1String(row.column));
        Twips::setGeometry(edit, BoxLeft, top, BoxWidth, BoxHeight);
        FieldBinder::bind(DataTABLE03, edit, QLatin1String(row.column));
    }
    label(Frame1, "LabelNotes", QStringLiteral("NOTES"), MemoLeft, RowTop + 30, 3000);
    auto* notes = new QPlainTextEdit(Frame1);
    notes->setObjectName(QStringLiteral("MEMO01"));
    Twips::setGeometry(notes, MemoLeft, RowTop + 300, MemoWidth, 1380);
    FieldBinder::bind(DataTABLE03, notes, ContactColumn::Notes);
    label(Frame1, "LabelKeywords", QStringLiteral("KEYWORDS"), MemoLeft, RowTop + 1770, 3000);
    auto* keywords = new QPlainTextEdit(Frame1);
    keywords->setObjectName(QStringLiteral("MEMO02"));
    Twips::setGeometry(keywords, MemoLeft, RowTop + 2040, MemoWidth, 1245);
    FieldBinder::bind(DataTABLE03, keywords, ContactColumn::Keywords);

    // Pickers over the title and occupation boxes, shown in edit mode.
    auto picker = [this](const char* name, DataSource* list, const char* target) {
        auto* combo = new DBCombo(Frame1);
        combo->setObjectName(QLatin1String(name));
        const QRect at = Twips::geometry(box(QLatin1String(target)));
        Twips::setGeometry(combo, at.x() - PickOffset, at.y() - 15, at.width() + PickOffset, 315);
        combo->setRowSource(list, QStringLiteral("TEXT01"));
        combo->setVisible(false);
        const QString field = QLatin1String(target);
        connect(combo, &DBCombo::clicked, this,
                [this, combo, field] { box(field)->setText(combo->text()); });
        return combo;
    };
    DBCombo05 = picker("DBCombo05", DataMT09, "TEXT01");
    DBCombo09 = picker("DBCombo09", DataMT05, "TEXT06");

    // Boxes that hold fields without showing them.
    for (const char* name : {"NUMBER01", "DATE03"}) {
        auto* hidden = new QLineEdit(this);
        hidden->setObjectName(QLatin1String(name));
        hidden->setVisible(false);
        FieldBinder::bind(DataTABLE03, hidden, QLatin1String(name));
    }
    TextFullName = new QLineEdit(this);
    TextFullName->setObjectName(QStringLiteral("TextFullName"));
    TextFullName->setVisible(false);
    FieldBinder::bind(DataTABLE03, TextFullName, ContactColumn::FullName);

    // Right: the contact list, the activities, the dial options.
    FrameSelect = new QGroupBox(QStringLiteral("Select a Contact"), this);
    FrameSelect->setObjectName(QStringLiteral("FrameSelect"));
    Twips::setGeometry(FrameSelect, 8400, 780, 4380, 1860);
    DBListSelect = new DBList(FrameSelect);
    DBListSelect->setObjectName(QStringLiteral("DBListSelect"));
    Twips::setGeometry(DBListSelect, 120, 270, 4140, 1470);
    DBListSelect->setRowSource(DataTABLE03, QStringLiteral("FullName"));
    connect(DBListSelect, &DBList::clicked, this, &FormContacts::DBListSelect_Click);

    FrameActivities = new QGroupBox(QStringLiteral("Generate Activity"), this);
    FrameActivities->setObjectName(QStringLiteral("FrameActivities"));
    Twips::setGeometry(FrameActivities, 8400, 2700, 4380, 1080);
    CommandLetter =
        button(FrameActivities, "CommandLetter", QStringLiteral("Letter"), 120, 270, 1340, 345);
    CommandFax =
        button(FrameActivities, "CommandFax", QStringLiteral("Telefax"), 1520, 270, 1340, 345);
    CommandEMail =
        button(FrameActivities, "CommandEMail", QStringLiteral("E-Mail"), 2920, 270, 1340, 345);
    CommandReport = button(FrameActivities, "CommandReport", QStringLiteral("Call Report"), 120,
                           660, 1340, 345);
    CommandAppointment = button(FrameActivities, "CommandAppointment",
                                QStringLiteral("Appointment"), 1520, 660, 1340, 345);
    CommandTask =
        button(FrameActivities, "CommandTask", QStringLiteral("Task"), 2920, 660, 1340, 345);
    connect(CommandLetter, &QPushButton::clicked, this, &FormContacts::CommandLetter_Click);
    connect(CommandFax, &QPushButton::clicked, this, &FormContacts::CommandFax_Click);
    connect(CommandEMail, &QPushButton::clicked, this, &FormContacts::CommandEMail_Click);
    connect(CommandReport, &QPushButton::clicked, this, &FormContacts::CommandReport_Click);
    connect(CommandAppointment, &QPushButton::clicked, this,
            &FormContacts::CommandAppointment_Click);
    connect(CommandTask, &QPushButton::clicked, this, &FormContacts::CommandTask_Click);

    FrameAutodial = new QGroupBox(QStringLiteral("Autodial"), this);
    FrameAutodial->setObjectName(QStringLiteral("FrameAutodial"));
    Twips::setGeometry(FrameAutodial, 8400, 3840, 4380, 960);
    OptionDial1 = new QRadioButton(QStringLiteral("Cellphone"), FrameAutodial);
    OptionDial1->setObjectName(QStringLiteral("OptionDial1"));
    Twips::setGeometry(OptionDial1, 120, 270, 2900, 285);
    OptionDial2 = new QRadioButton(QStringLiteral("Direct Line"), FrameAutodial);
    OptionDial2->setObjectName(QStringLiteral("OptionDial2"));
    Twips::setGeometry(OptionDial2, 120, 585, 2900, 285);
    connect(OptionDial1, &QRadioButton::clicked, this, &FormContacts::OptionDial1_Click);
    connect(OptionDial2, &QRadioButton::clicked, this, &FormContacts::OptionDial2_Click);
    CommandTel =
        button(FrameAutodial, "CommandTel", QStringLiteral("Tel. List"), 3120, 240, 1140, 330);
    CommandCel =
        button(FrameAutodial, "CommandCel", QStringLiteral("Cell List"), 3120, 570, 1140, 330);
    connect(CommandTel, &QPushButton::clicked, this, &FormContacts::CommandTel_Click);
    connect(CommandCel, &QPushButton::clicked, this, &FormContacts::CommandCel_Click);
    MSComm2 = new MSComm(QStringLiteral("MSComm2"), this);

    // Status line.
    LabelEntered = label(this, "LabelEntered", QString(), 120, 5220, 5000);
    ImageOutlook = new QLabel(this);
    ImageOutlook->setObjectName(QStringLiteral("ImageOutlook"));
    ImageOutlook->setPixmap(QIcon(QStringLiteral(":/icons/outlook.png")).pixmap(16, 16));
    Twips::setGeometry(ImageOutlook, 5300, 5200, 300, 300);
    LabelLoad = label(this, "LabelLoad", QStringLiteral("Loading MS-Outlook..."), 5660, 5220, 2600);
    LabelDateandTime = label(this, "LabelDateandTime", QString(), 10080, 5220, 2700);
    LabelDateandTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    FrameHelp = new QGroupBox(QStringLiteral("Help"), this);
    FrameHelp->setObjectName(QStringLiteral("FrameHelp"));
    Twips::setGeometry(FrameHelp, 120, 5580, 12660, 720);
    LabelHelp = label(FrameHelp, "LabelHelp", QString(), 120, 210, 12420, 480);
    LabelHelp->setWordWrap(true);

    // Commands.
    CommandNew = pictureButton(this, "CommandNew", "contact-new", 120, 6340);
    CommandEdit = pictureButton(this, "CommandEdit", "accessories-text-editor", 780, 6340);
    CommandDelete = pictureButton(this, "CommandDelete", "edit-delete", 1440, 6340);
    CommandPrint = pictureButton(this, "CommandPrint", "document-print", 2100, 6340);
    CommandHelp = pictureButton(this, "CommandHelp", "help-browser", 2760, 6340);
    CommandExit =
        button(this, "CommandExit", QStringLiteral("E&xit Application"), 11040, 6360, 1740);
    connect(CommandNew, &QPushButton::clicked, this, &FormContacts::CommandNew_Click);
    connect(CommandEdit, &QPushButton::clicked, this, &FormContacts::CommandEdit_Click);
    connect(CommandDelete, &QPushButton::clicked, this, &FormContacts::CommandDelete_Click);
    connect(CommandPrint, &QPushButton::clicked, this, &FormContacts::CommandPrint_Click);
    connect(CommandHelp, &QPushButton::clicked, this, &FormContacts::CommandHelp_Click);
    connect(CommandExit, &QPushButton::clicked, this, &FormContacts::CommandExit_Click);
    m_functionKeys = new FunctionKeyBar(QString::fromLatin1(Name), this);
    Twips::setGeometry(m_functionKeys, 120, 6780, 12660, 300);

    TimerLoad = new QTimer(this);
    TimerLoad->setObjectName(QStringLiteral("TimerLoad"));
    TimerLoad->setInterval(100);
    connect(TimerLoad, &QTimer::timeout, this, &FormContacts::TimerLoad_Timer);
    connect(DataTABLE03, &DataSource::currentChanged, this, &FormContacts::Autodial);
    connect(DataTABLE03, &DataSource::refreshed, this, &FormContacts::Autodial);
}

void FormContacts::buildHoverTexts() {
    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->addBackground(Frame1);
    m_help->addBackground(Toolbar1);
    m_help->addBackground(FrameHelp);
    m_help->addBackground(FrameSelect);
    m_help->addBackground(FrameActivities);
    m_help->addBackground(FrameAutodial);
    auto fixed = [this](QWidget* control, const QString& text) { m_help->setText(control, text); };
    auto person = [this](QWidget* control, const QString& before, const QString& after) {
        m_help->setText(control, [this, before, after] { return before + contactName() + after; });
    };
    auto company = [this](QWidget* control, const QString& before, const QString& after) {
        m_help->setText(control, [this, before, after] { return before + companyName() + after; });
    };
    fixed(CommandNew, QStringLiteral("Enter a new contact."));
    m_help->setText(CommandEdit, [this] {
        return isEditing() ? QStringLiteral("Lock the controls when finished editing.")
                           : QStringLiteral("Edit information.");
    });
    person(CommandDelete, QStringLiteral("Delete "), QStringLiteral("."));
    fixed(CommandPrint, QStringLiteral("Print this form."));
    fixed(CommandHelp, QStringLiteral("Tessaly Help"));
    fixed(CommandExit, QStringLiteral("Exit and close the program."));
    person(CommandLetter, QStringLiteral("Write a letter to "), QStringLiteral("."));
    person(CommandFax, QStringLiteral("Write a fax to "), QStringLiteral("."));
    person(CommandEMail, QStringLiteral("Write an e-mail to "), QStringLiteral("."));
    person(CommandAppointment, QStringLiteral("Set an appointment with "), QStringLiteral("."));
    person(CommandTask, QStringLiteral("Set a task related to "), QStringLiteral("."));
    company(CommandReport, QStringLiteral("Write a call report related to "), QStringLiteral("."));
    m_help->setText(OptionDial1, [this] {
        return QStringLiteral("Dial ") + box(ContactColumn::Cellphone)->text() +
               QStringLiteral(", using your modem.");
    });
    m_help->setText(OptionDial2, [this] {
        return QStringLiteral("Dial ") + box(ContactColumn::DirectTelephone)->text() +
               QStringLiteral(", using your modem.");
    });
    fixed(box(ContactColumn::FirstName), QStringLiteral("Enter a name."));
    fixed(box(ContactColumn::LastName), QStringLiteral("Enter a name."));
    person(box(ContactColumn::Cellphone), QStringLiteral("Enter "),
           QStringLiteral("'s cellphone number."));
    person(box(ContactColumn::EMail), QStringLiteral("Enter "),
           QStringLiteral("'s e-mail address."));
    person(box(ContactColumn::Designation), QStringLiteral("Enter "),
           QStringLiteral("'s designation."));
    m_help->setText(box(ContactColumn::DirectTelephone), [this] {
        return QStringLiteral("Enter ") + contactName() +
               QStringLiteral("'s direct telephone number if it differs from ") + companyName() +
               QStringLiteral("'s telephone number.");
    });
    m_help->setText(box(ContactColumn::DirectFax), [this] {
        return QStringLiteral("Enter ") + contactName() +
               QStringLiteral("'s direct telefax number if it differs from ") + companyName() +
               QStringLiteral("'s telefax number.");
    });
    person(box(ContactColumn::Assistant), QStringLiteral("If applicable, enter "),
           QStringLiteral("'s assistant."));
    person(findChild<QWidget*>(ContactColumn::Notes), QStringLiteral("Enter any notes related to "),
           QStringLiteral("."));
    person(findChild<QWidget*>(ContactColumn::Keywords),
           QStringLiteral("Enter any keywords related to "),
           QStringLiteral(". These keywords could be hobbies, birthdays, newletters etc and can be "
                          "extracted or filtered for when you generate a report on your "
                          "contacts."));
    fixed(DBCombo05, QStringLiteral("Select a title."));
    m_help->setText(DBCombo09, [this] {
        return QStringLiteral("Select ") + contactName() +
               QStringLiteral("'s occupation or function at ") + companyName() +
               QStringLiteral(".");
    });
    fixed(DBListSelect, QStringLiteral("Select a contact."));
    fixed(DBComboSelect, CompanyPicker::hoverText());
}

QLineEdit* FormContacts::box(const QString& name) const {
    return findChild<QLineEdit*>(name);
}

FormCompanies* FormContacts::companies() const {
    return Forms::get<FormCompanies>();
}

QString FormContacts::companyName() const {
    return companies()->companyName();
}

QString FormContacts::contactName() const {
    return box(ContactColumn::FirstName)->text() + u' ' + box(ContactColumn::LastName)->text();
}

bool FormContacts::isEditing() const {
    return Frame1->isEnabled();
}

void FormContacts::Form_Load() {
    Colors::setBackground(this, Colors::White);
    Controls::paintEditFrame(Frame1, false);
    setWindowTitle(QStringLiteral("Contacts"));
    const QRect companiesSize = Twips::geometry(companies());
    Twips::setFixedSize(this, companiesSize.width(), companiesSize.height());
    setKeyPreview(true);
    Frame1->setEnabled(false);
    Toolbar1->setVisible(false);
    FrameHelp->setVisible(false);
    ImageOutlook->setVisible(false);
    LabelLoad->setVisible(false);
    OptionDial1->setVisible(false);
    OptionDial2->setVisible(false);
    DataMT09->refresh();
    DataMT05->refresh();

    // The companies of the companies window's view, fixed for the window's life.
    DataTABLE01->setRecordSource(
        CompanyView::recordSource(companies()->isCompanyArchived(), companies()->chosenUser()));
    DataMessages::refresh(DataTABLE01);
    TimerLoad->start();
}

void FormContacts::Form_Activate() {
    Load();
}

void FormContacts::Load() {
    if (m_leaving)
        return;
    // A company just entered is stored, so that its contacts can be entered at once.
    const QString key = companies()->storedCompanyKey();
    bool ok = false;
    key.toLongLong(&ok);
    if (!ok) {
        if (!databaseHasCompanies()) {
            MsgBox::show(emptyDatabaseMessage(), MsgBox::OKOnly | MsgBox::Information);
            Forms::endProgram();
            return;
        }
        // Only the companies window's list is empty (the archive without an
        // archived company, a sales person without companies): back to it,
        // where another choice brings companies again.
        m_leaving = true;
        MsgBox::show(emptyViewMessage(), MsgBox::OKOnly | MsgBox::Information);
        QTimer::singleShot(0, this, [] { ModuleButtons::SwitchToCompanies(); });
        return;
    }
    // Coming back to the same company keeps the contact shown: the editor
    // and the mail items name the contact they were started for.
    const QByteArray shown =
        key == m_loadedCompany ? DataTABLE03->recordset()->bookmark() : QByteArray();
    m_loadedCompany = key;
    DataTABLE03->setRecordSource(
        QStringLiteral("SELECT * , [TABLE03].[TEXT02] & ' ' & [TEXT03] AS FullName") +
        QStringLiteral(" FROM TABLE03  WHERE TABLE03.NUMBER01 =") + key +
        QStringLiteral(" ORDER BY TABLE03.TEXT02"));
    DataMessages::refresh(DataTABLE03);
    if (!shown.isEmpty() && DataTABLE03->rowOfBookmark(shown) >= 0)
        DataTABLE03->recordset()->setBookmark(shown);
    Autodial();
}

void FormContacts::Autodial() {
    // The list marks the contact shown.
    DBListSelect->setListIndex(DataTABLE03->currentRow());
    const QString cellphone = box(ContactColumn::Cellphone)->text();
    const QString direct = box(ContactColumn::DirectTelephone)->text();
    OptionDial1->setText(cellphone);
    OptionDial1->setVisible(!cellphone.isEmpty());
    OptionDial2->setText(direct);
    OptionDial2->setVisible(!direct.isEmpty());
}

void FormContacts::TimerLoad_Timer() {
    const QString name = contactName();
    LabelDateandTime->setText(Locale::dateText(Clock::today()) + u' ' +
                              Locale::timeText(Clock::time()));
    LabelEntered->setText(name + QStringLiteral(" was Entered on ") +
                          box(ContactColumn::Entered)->text());
    setWindowTitle(QStringLiteral("Contacts - ") + companyName());
    // Only a contact being shown carries a full name: an empty list stays empty.
    if (DataTABLE03->recordset()->isNewRow() || DataTABLE03->currentRow() >= 0)
        TextFullName->setText(name);
}

void FormContacts::DBListSelect_Click() {
    const QByteArray bookmark = DBListSelect->selectedItem();
    if (bookmark.isEmpty() || !DataTABLE03->recordset()->setBookmark(bookmark)) {
        if (DataTABLE03->rowCount() == 0)
            MsgBox::show(QStringLiteral("There are no records to choose from"),
                         MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    Autodial();
}

void FormContacts::OptionDial1_Click() {
    dial(OptionDial1, box(ContactColumn::Cellphone)->text());
}

void FormContacts::OptionDial2_Click() {
    dial(OptionDial2, box(ContactColumn::DirectTelephone)->text());
}

void FormContacts::dial(QRadioButton* option, const QString& number) {
    ModemDial::DialFromOption(option, MSComm2, number, DBComboSelect);
}

void FormContacts::setEditing(bool editing) {
    Frame1->setEnabled(editing);
    Controls::paintEditFrame(Frame1, editing);
    Toolbar1->setVisible(editing);
    DBCombo05->setVisible(editing);
    DBCombo09->setVisible(editing);
    box(ContactColumn::Title)->setVisible(!editing);
    box(ContactColumn::Occupation)->setVisible(!editing);
    if (editing) {
        DBCombo05->setText(box(ContactColumn::Title)->text());
        DBCombo09->setText(box(ContactColumn::Occupation)->text());
    }
}

void FormContacts::CommandEdit_Click() {
    setEditing(!isEditing());
}

void FormContacts::CommandNew_Click() {
    if (!isEditing())
        setEditing(true);
    DataTABLE03->refresh();
    if (!DataTABLE03->recordset()->addNew())
        return;
    box(ContactColumn::Entered)->setText(Locale::dateText(Clock::today()));
    LabelEntered->setText(contactName() + QStringLiteral(" was entered on ") +
                          box(ContactColumn::Entered)->text());
    box(ContactColumn::Company)->setText(companies()->companyKey());
    const QString telephone = companies()->telephone();
    if (!telephone.isEmpty())
        box(ContactColumn::DirectTelephone)->setText(telephone);
    const QString fax = companies()->telefax();
    if (!fax.isEmpty())
        box(ContactColumn::DirectFax)->setText(fax);
    DBCombo05->setText(QString());
    DBCombo09->setText(QString());
    box(ContactColumn::FirstName)->setFocus();
}

void FormContacts::CommandTel_Click() {
    recordCall(box(ContactColumn::DirectTelephone)->text(), ModuleBC::Record);
}

void FormContacts::CommandCel_Click() {
    recordCall(box(ContactColumn::Cellphone)->text(), ModuleLC::Record);
}

void FormContacts::recordCall(const QString& number, bool (*record)(const QString&, const QString&,
                                                                    const QString&, QString*)) {
    if (DataTABLE03->currentRow() < 0)
        return;
    QString error;
    if (!record(number, contactName(), companyName(), &error))
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
}

void FormContacts::CommandDelete_Click() {
    if (MsgBox::show(QStringLiteral("Are you sure you want to delete ") + contactName() +
                         QStringLiteral("?"),
                     MsgBox::YesNo | MsgBox::Question) != MsgBox::Yes)
        return;
    Recordset* contacts = DataTABLE03->recordset();
    if (contacts->recordCount() == 0)
        return;
    // A contact begun but never stored is simply dropped.
    if (contacts->isNewRow()) {
        contacts->cancelUpdate();
        DataTABLE03->refresh();
        return;
    }
    if (!contacts->deleteCurrent()) {
        MsgBox::show(QStringLiteral("There are no contacts to delete"),
                     MsgBox::OKOnly | MsgBox::Information);
        return;
    }
    DataTABLE03->refresh();
}

void FormContacts::openEditor(const QString& kind, const QString& text) {
    auto* editor = Forms::get<FormWrite>();
    if (kind == QLatin1String("EMAIL"))
        editor->setMailTo(box(ContactColumn::EMail)->text());
    editor->openDocument(kind, text);
}

QStringList FormContacts::addressBlock() const {
    return {Locale::dateText(Clock::today()),
            QString(),
            box(ContactColumn::Title)->text() + u' ' + contactName(),
            companyName(),
            companies()->postalAddress(),
            companies()->postalCity(),
            companies()->postalCode(),
            QString()};
}

void FormContacts::CommandLetter_Click() {
    Pointer::busy();
    openEditor(QStringLiteral("LETTER"), (addressBlock() << QStringLiteral("RE: ")).join(Crlf));
    Pointer::normal();
}

void FormContacts::CommandFax_Click() {
    Pointer::busy();
    const QStringList lines =
        addressBlock() << QStringLiteral("Telefax No. ") + box(ContactColumn::DirectFax)->text()
                       << QString() << QStringLiteral("RE: ");
    openEditor(QStringLiteral("TELEFAX"), lines.join(Crlf));
    Pointer::normal();
}

void FormContacts::CommandEMail_Click() {
    if (box(ContactColumn::EMail)->text().isEmpty()) {
        MsgBox::show(contactName() + QStringLiteral(" does not have an e-mail address."),
                     MsgBox::OKOnly | MsgBox::Information);
        return;
    }
    openEditor(QStringLiteral("EMAIL"), QString());
}

void FormContacts::showOutlookNotice(bool shown) {
    ImageOutlook->setVisible(shown);
    LabelLoad->setVisible(shown);
    if (shown)
        Pointer::busy();
    else
        Pointer::normal();
}

void FormContacts::CommandAppointment_Click() {
    showOutlookNotice(true);
    auto item = MailApp::CreateItem(MailApp::olAppointmentItem);
    auto* appointment = static_cast<AppointmentItem*>(item.get());
    appointment->Subject =
        contactName() + u' ' + companyName() + u' ' + companies()->streetAddress() + u' ' +
        companies()->streetAddressContinued() + u' ' + companies()->city() + u' ' +
        box(ContactColumn::DirectTelephone)->text() + u' ' + box(ContactColumn::Cellphone)->text();
    appointment->Duration = 60;
    companies()->setAppointmentNotice(QStringLiteral("A new appointment has been made."),
                                      Colors::DarkGreen);
    QString error;
    const bool shown = appointment->Display(&error);
    showOutlookNotice(false);
    if (!shown)
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
}

void FormContacts::CommandTask_Click() {
    showOutlookNotice(true);
    auto item = MailApp::CreateItem(MailApp::olTaskItem);
    auto* task = static_cast<TaskItem*>(item.get());
    task->Subject = contactName() + u' ' + companyName() + u' ' +
                    box(ContactColumn::DirectTelephone)->text() + u' ' +
                    box(ContactColumn::Cellphone)->text() + u' ';
    task->DueDate = Clock::today();
    QString error;
    const bool shown = task->Display(&error);
    showOutlookNotice(false);
    if (!shown)
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
}

void FormContacts::CommandReport_Click() {
    // The call report entry sits above this window: it is reached by name.
    Forms::show(QStringLiteral("FormCreateCallReport"));
}
