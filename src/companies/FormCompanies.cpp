#include "FormCompanies.h"

#include "ModuleLogin.h"
#include "app/Controls.h"
#include "app/EditToolbar.h"
#include "app/Forms.h"
#include "app/FunctionKeyBar.h"
#include "app/HoverHelp.h"
#include "app/ModuleButtons.h"
#include "app/ModuleHelp.h"
#include "companies/FormDetails.h"
#include "data/Columns.h"
#include "data/CompanyDuplicates.h"
#include "data/CompanyView.h"
#include "data/DataSource.h"
#include "data/Recordset.h"
#include "data/Visits.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "services/Colors.h"
#include "services/Desktop.h"
#include "services/MsgBox.h"
#include "services/PrintWindow.h"
#include "services/Twips.h"
#include "setup/FormFields.h"
#include "widgets/CompanyPicker.h"
#include "widgets/DBCombo.h"
#include "widgets/DataMessages.h"
#include "widgets/FieldBinder.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <cmath>

namespace {

using Controls::button;
using Controls::label;

// A text box that reports double clicks (the website box opens its address).
class DoubleClickLineEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    std::function<void()> doubleClicked;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QLineEdit::mouseDoubleClickEvent(event);
        if (doubleClicked)
            doubleClicked();
    }
};

struct FieldRow {
    const char* box;    // objectName of the box
    const char* column; // bound column
    const char* label;  // objectName of its label, or nullptr
    const char* caption;
};

// Left and right columns of the edit frame, top to bottom.
const FieldRow LeftFields[] = {
    {"TEXT01", "TEXT01", "LabelCompany", "COMPANY"},
    {"TEXT02", "TEXT02", "LabelAccount", "ACCOUNT NO."},
    {"TEXT03", "TEXT03", "LabelPostalAddress", "POSTAL ADDRESS"},
    {"TEXT04", "TEXT04", "LabelPostalCity", "POSTAL CITY"},
    {"TEXT05", "TEXT05", "LabelPostalCode", "POSTAL CODE"},
    {"TEXT06", "TEXT06", "LabelStreet", "STREET ADDRESS"},
    {"TEXT07", "TEXT07", nullptr, nullptr},
    {"TEXT08", "TEXT08", "LabelCity", "CITY"},
    {"TEXT10", "TEXT10", "LabelTelephone", "TELEPHONE"},
    {"TEXT11", "TEXT11", "LabelTelefax", "TELEFAX"},
    {"TEXT12", "TEXT12", "LabelWebsite", "WEBSITE"},
    {"Text18", "TEXT18", "LabelSalesPerson", "SALES PERSON"},
    {"Text19", "TEXT19", "LabelSalesManager", "SALES MANAGER"},
};
const FieldRow RightFields[] = {
    {"TEXT09", "TEXT09", "LabelRegion", "REGION"},
    {"TEXT13", "TEXT13", "LabelDivision", "DIVISION"},
    {"TEXT14", "TEXT14", "LabelBranch", "BRANCH"},
    {"TEXT15", "TEXT15", "LabelCategory", "CATEGORY"},
    {"TEXT17", "TEXT17", "LabelType", "TYPE OF COMPANY"},
    {"NUMBER01", "NUMBER01", "LabelVisit", "VISIT FREQUENCY"},
};
constexpr int RowTop = 240, RowStep = 315, BoxHeight = 285;
constexpr int LeftLabel = 120, LeftBox = 2000, LeftWidth = 3900;
constexpr int RightLabel = 6200, RightBox = 8105, RightWidth = 4300;
constexpr int PickOffset = 305; // pick lists stand this far left of their boxes
// Beyond this a visit frequency is no number of days the field can hold.
constexpr double MaxFrequency = 1e15;

} // namespace

const QList<QPair<QString, QString>>& FormCompanies::PickLists() {
    static const QList<QPair<QString, QString>> lists = {
        {QStringLiteral("DBCombo12"), QStringLiteral("Text18")},
        {QStringLiteral("DBCombo13"), QStringLiteral("Text19")},
        {QStringLiteral("DBCombo10"), QStringLiteral("TEXT17")},
        {QStringLiteral("DBCombo02"), QStringLiteral("TEXT15")},
        {QStringLiteral("DBCombo01"), QStringLiteral("TEXT14")},
        {QStringLiteral("DBCombo08"), QStringLiteral("TEXT13")},
        {QStringLiteral("DBCombo09"), QStringLiteral("TEXT09")},
    };
    return lists;
}

FormCompanies::FormCompanies()
    : WorkingWindow(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    buildControls();
    buildHoverTexts();
}

void FormCompanies::buildControls() {
    DataTABLE01 = new DataSource(QStringLiteral("DataTABLE01"), this);
    DataTABLE01->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    DataTABLE01->setInsertCheck(
        [this](const QHash<QString, QVariant>& values) { return newCompanyMayBeStored(values); });
    DataUserTABLE02 = new DataSource(QStringLiteral("DataUserTABLE02"), this);
    DataUserTABLE02->setDatabaseName(QStringLiteral("User.mdb"));
    DataUserTABLE02->setRecordSource(QStringLiteral("SELECT * FROM TABLE02"));
    const QHash<QString, QString> masterOf = {
        {QStringLiteral("DBCombo01"), QStringLiteral("MT01")},
        {QStringLiteral("DBCombo02"), QStringLiteral("MT02")},
        {QStringLiteral("DBCombo08"), QStringLiteral("MT03")},
        {QStringLiteral("DBCombo09"), QStringLiteral("MT08")},
        {QStringLiteral("DBCombo10"), QStringLiteral("MT10")},
        {QStringLiteral("DBCombo12"), QStringLiteral("MT12")},
        {QStringLiteral("DBCombo13"), QStringLiteral("MT13")}};
    QHash<QString, DataSource*> masters;
    for (const char* table : {"MT01", "MT02", "MT03", "MT08", "MT10", "MT12", "MT13"}) {
        auto* source = new DataSource(QStringLiteral("Data") + QLatin1String(table), this);
        source->setDatabaseName(QStringLiteral("TESSALY.mdb"));
        source->setRecordSource(QStringLiteral("SELECT * FROM ") + QLatin1String(table));
        masters.insert(QLatin1String(table), source);
        m_masterTables.append(source);
    }

    // Top: the selector, the user choice.
    LabelSelect = label(this, "LabelSelect", CompanyPicker::prompt(), 120, 60, 3000);
    // A choice here moves this window itself: its list is the view it shows.
    DBComboSelect = new CompanyPicker(CompanyPicker::Follow::Choice, this);
    Twips::setGeometry(DBComboSelect, 120, 330, 4800, 315);
    DBComboSelect->setCompanies(DataTABLE01);
    DBComboSelect->setCurrentCompany([this]() -> CurrentCompany* { return this; });

    FrameDisplay = new QGroupBox(QStringLiteral("Display"), this);
    FrameDisplay->setObjectName(QStringLiteral("FrameDisplay"));
    Twips::setGeometry(FrameDisplay, 5100, 0, 3300, 690);
    Option2 = new QRadioButton(QStringLiteral("My Companies"), FrameDisplay);
    Option2->setObjectName(QStringLiteral("Option2"));
    Twips::setGeometry(Option2, 120, 300, 1560, 285);
    Option1 = new QRadioButton(QStringLiteral("All Companies"), FrameDisplay);
    Option1->setObjectName(QStringLiteral("Option1"));
    Twips::setGeometry(Option1, 1700, 300, 1560, 285);
    connect(Option1, &QRadioButton::clicked, this, &FormCompanies::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &FormCompanies::Option2_Click);
    LabelName = label(this, "LabelName", QStringLiteral("Select your Name..."), 8520, 60, 1960);
    DBComboName = new DBCombo(this);
    DBComboName->setObjectName(QStringLiteral("DBComboName"));
    Twips::setGeometry(DBComboName, 8520, 330, 1960, 315);
    DBComboName->setRowSource(masters.value(QStringLiteral("MT12")), QStringLiteral("TEXT01"));
    connect(DBComboName, &DBCombo::clicked, this, &FormCompanies::DBComboName_Click);
    UserTEXT03 = new QLineEdit(this);
    UserTEXT03->setObjectName(QStringLiteral("UserTEXT03"));
    UserTEXT03->setVisible(false);
    FieldBinder::bind(DataUserTABLE02, UserTEXT03, QStringLiteral("TEXT03"));
    Toolbar1 = new EditToolbar(this);
    Twips::setGeometry(Toolbar1, 10560, 270, 2220, 420);

    // The edit frame with every field of the company.
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Twips::setGeometry(Frame1, 120, 780, 12660, 4380);
    auto addRow = [this](const FieldRow& row, int index, int labelLeft, int boxLeft, int width) {
        const int top = RowTop + index * RowStep;
        if (row.label)
            label(Frame1, row.label, QString::fromLatin1(row.caption), labelLeft, top + 30,
                  boxLeft - labelLeft - 60);
        QLineEdit* edit = QLatin1String(row.box) == QLatin1String("TEXT12")
                              ? new DoubleClickLineEdit(Frame1)
                              : new QLineEdit(Frame1);
        edit->setObjectName(QLatin1String(row.box));
        Twips::setGeometry(edit, boxLeft, top, width, BoxHeight);
        FieldBinder::bind(DataTABLE01, edit, QLatin1String(row.column));
    };
    for (int i = 0; i < int(std::size(LeftFields)); ++i)
        addRow(LeftFields[i], i, LeftLabel, LeftBox, LeftWidth);
    for (int i = 0; i < int(std::size(RightFields)); ++i)
        addRow(RightFields[i], i, RightLabel, RightBox,
               QLatin1String(RightFields[i].box) == QLatin1String("NUMBER01") ? 1000 : RightWidth);
    static_cast<DoubleClickLineEdit*>(box(CompanyColumn::Website))->doubleClicked = [this] {
        TEXT12_DblClick();
    };
    connect(box(CompanyColumn::VisitFrequency), &QLineEdit::textEdited, this,
            &FormCompanies::NUMBER01_Change);
    connect(box(CompanyColumn::VisitFrequency), &QLineEdit::editingFinished, this,
            &FormCompanies::NUMBER01_LostFocus);

    label(Frame1, "LabelNotes", QStringLiteral("NOTES"), RightLabel, 2270, 3000);
    // The zoom buttons stay usable while the frame is locked.
    CommandZoom1 = button(this, "CommandZoom1", QStringLiteral("+"), 12220, 3005, 300, 285);
    auto* notes = new QPlainTextEdit(Frame1);
    notes->setObjectName(QStringLiteral("MEMO01"));
    Twips::setGeometry(notes, RightLabel, 2540, 6200, 780);
    FieldBinder::bind(DataTABLE01, notes, CompanyColumn::Notes);
    label(Frame1, "LabelDetails", QStringLiteral("COMPANY DETAILS"), RightLabel, 3390, 3000);
    CommandZoom2 = button(this, "CommandZoom2", QStringLiteral("+"), 12220, 4125, 300, 285);
    auto* details = new QPlainTextEdit(Frame1);
    details->setObjectName(QStringLiteral("MEMO02"));
    Twips::setGeometry(details, RightLabel, 3660, 6200, 640);
    FieldBinder::bind(DataTABLE01, details, CompanyColumn::Details);
    connect(CommandZoom1, &QPushButton::clicked, this, &FormCompanies::CommandZoom1_Click);
    connect(CommandZoom2, &QPushButton::clicked, this, &FormCompanies::CommandZoom2_Click);

    // Boxes that hold fields without showing them.
    for (const char* name : {"AUTONUMBER", "TEXT20", "DATE01", "DATE03", "NUMBER02"}) {
        auto* hidden = new QLineEdit(this);
        hidden->setObjectName(QLatin1String(name));
        hidden->setVisible(false);
        FieldBinder::bind(DataTABLE01, hidden, QLatin1String(name));
    }

    // Pick lists over the boxes they fill, hidden until edit mode.
    for (const auto& [name, target] : PickLists()) {
        auto* list = new DBCombo(Frame1);
        list->setObjectName(name);
        const QRect at = Twips::geometry(box(target));
        Twips::setGeometry(list, at.x(), at.y() - 15, at.width() + PickOffset, 315);
        list->setRowSource(masters.value(masterOf.value(name)), QStringLiteral("TEXT01"));
        list->setVisible(false);
        const QString field = target;
        connect(list, &DBCombo::clicked, this,
                [this, list, field] { box(field)->setText(list->text()); });
    }

    // Status lines below the frame.
    LabelEntered = label(this, "LabelEntered", QString(), 120, 5200, 4900);
    LabelDateLastVisited = label(this, "LabelDateLastVisited", QString(), 5100, 5200, 4900);
    LabelDateandTime = label(this, "LabelDateandTime", QString(), 10080, 5200, 2700);
    LabelDateandTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LabelOverdue = label(this, "LabelOverdue", QString(), 120, 5460, 5000);
    Colors::setForeground(LabelOverdue, Colors::Red);
    QFont bold = LabelOverdue->font();
    bold.setBold(true);
    LabelOverdue->setFont(bold);
    TextAppointment = new QLineEdit(this);
    TextAppointment->setObjectName(QStringLiteral("TextAppointment"));
    TextAppointment->setReadOnly(true);
    TextAppointment->setFrame(false);
    Twips::setGeometry(TextAppointment, 5200, 5445, 7580, 285);
    FieldBinder::bind(DataTABLE01, TextAppointment, CompanyColumn::AppointmentNotice);

    FrameHelp = new QGroupBox(QStringLiteral("Help"), this);
    FrameHelp->setObjectName(QStringLiteral("FrameHelp"));
    Twips::setGeometry(FrameHelp, 120, 5760, 12660, 540);
    LabelHelp = label(FrameHelp, "LabelHelp", QString(), 120, 210, 12420, 300);

    // Commands.
    CommandNew = button(this, "CommandNew", QStringLiteral("&New"), 120, 6360, 1450);
    CommandEdit = button(this, "CommandEdit", QStringLiteral("&Edit"), 1680, 6360, 1450);
    CommandArchive = button(this, "CommandArchive", QStringLiteral("&Archive"), 3240, 6360, 1450);
    CommandUnarchive =
        button(this, "CommandUnarchive", QStringLiteral("&Restore"), 4800, 6360, 1450);
    CommandUnarchive->setVisible(false);
    CommandPrint = button(this, "CommandPrint", QStringLiteral("&Print"), 4800, 6360, 1450);
    CommandReminder =
        button(this, "CommandReminder", QStringLiteral("Rem&inder"), 6360, 6360, 1450);
    CommandMap = button(this, "CommandMap", QStringLiteral("&Map"), 7920, 6360, 1450);
    CommandHelp = button(this, "CommandHelp", QStringLiteral("&Help"), 9480, 6360, 1450);
    CommandExit =
        button(this, "CommandExit", QStringLiteral("E&xit Application"), 11040, 6360, 1740);
    connect(CommandNew, &QPushButton::clicked, this, &FormCompanies::CommandNew_Click);
    connect(CommandEdit, &QPushButton::clicked, this, &FormCompanies::CommandEdit_Click);
    connect(CommandArchive, &QPushButton::clicked, this, &FormCompanies::CommandArchive_Click);
    connect(CommandUnarchive, &QPushButton::clicked, this, &FormCompanies::CommandUnarchive_Click);
    connect(CommandPrint, &QPushButton::clicked, this, &FormCompanies::CommandPrint_Click);
    connect(CommandReminder, &QPushButton::clicked, this, &FormCompanies::CommandReminder_Click);
    connect(CommandMap, &QPushButton::clicked, this, &FormCompanies::CommandMap_Click);
    connect(CommandHelp, &QPushButton::clicked, this, &FormCompanies::CommandHelp_Click);
    connect(CommandExit, &QPushButton::clicked, this, &FormCompanies::CommandExit_Click);
    m_functionKeys = new FunctionKeyBar(QString::fromLatin1(Name), this);
    Twips::setGeometry(m_functionKeys, 120, 6780, 12660, 300);

    TimerLoad = new QTimer(this);
    TimerLoad->setObjectName(QStringLiteral("TimerLoad"));
    TimerLoad->setInterval(100);
    connect(TimerLoad, &QTimer::timeout, this, &FormCompanies::TimerLoad_Timer);
}

void FormCompanies::buildHoverTexts() {
    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->addBackground(Frame1);
    m_help->addBackground(Toolbar1);
    m_help->addBackground(FrameHelp);
    auto name = [this] { return companyName(); };
    auto fixed = [this](QWidget* control, const QString& text) { m_help->setText(control, text); };
    auto named = [this, name](QWidget* control, const QString& before, const QString& after) {
        m_help->setText(control, [name, before, after] { return before + name() + after; });
    };
    fixed(box(CompanyColumn::Name), QStringLiteral("Enter a company name."));
    named(box(CompanyColumn::AccountNumber), QStringLiteral("Enter "),
          QStringLiteral("'s account number."));
    fixed(box(CompanyColumn::PostalAddress), QStringLiteral("Enter a postal address."));
    fixed(box(CompanyColumn::PostalCity), QStringLiteral("Enter a postal city."));
    fixed(box(CompanyColumn::PostalCode), QStringLiteral("Enter a postal code."));
    fixed(box(CompanyColumn::StreetAddress), QStringLiteral("Enter a street address."));
    fixed(box(CompanyColumn::StreetAddressContinued),
          QStringLiteral("Enter a street address (continued)."));
    fixed(box(CompanyColumn::City), QStringLiteral("Enter a city."));
    named(box(CompanyColumn::Telephone), QStringLiteral("Enter "),
          QStringLiteral("'s main telephone number."));
    named(box(CompanyColumn::Telefax), QStringLiteral("Enter "),
          QStringLiteral("'s main fax number."));
    named(box(CompanyColumn::Website), QStringLiteral("Enter "),
          QStringLiteral("'s website. Double-click to go to this website"));
    named(box(CompanyColumn::VisitFrequency),
          QStringLiteral("How often do you want to have a meeting with "),
          QStringLiteral("? Enter the frequency in days."));
    named(memo(CompanyColumn::Notes), QStringLiteral("Enter any notes related to "),
          QStringLiteral("."));
    named(memo(CompanyColumn::Details), QStringLiteral("Enter a brief description of "),
          QStringLiteral(", which will be used as a 'preamble' in call reports."));
    fixed(CommandNew, QStringLiteral("Enter a new company."));
    m_help->setText(CommandEdit, [this] {
        return isEditing() ? QStringLiteral("Lock the controls when finished editing.")
                           : QStringLiteral("Edit information.");
    });
    fixed(CommandArchive,
          QStringLiteral("If this company is no longer active, e.g. you no longer have a business "
                         "relationship with") +
              QStringLiteral(" this company, you can send it to the archive. If, at a future date, "
                             "the relationship is restored you can") +
              QStringLiteral(" remove it from the archive."));
    fixed(CommandUnarchive,
          QStringLiteral("Remove this company from the archive, back to active companies."));
    m_help->setText(CommandReminder, [name] {
        return QStringLiteral("Set a reminder in MS-Outlook as to when you need to make another "
                              "appointment with ") +
               name() + QStringLiteral(",") +
               QStringLiteral(" based on your visit frequency. The reminder will be set two days "
                              "before a visit is due.");
    });
    named(CommandMap, QStringLiteral("Locate "), QStringLiteral(" in Google Maps."));
    named(CommandZoom1, QStringLiteral("Zoom or edit notes for "), QStringLiteral("."));
    named(CommandZoom2, QStringLiteral("Zoom or edit details for "), QStringLiteral("."));
    fixed(CommandPrint, QStringLiteral("Print this form."));
    fixed(CommandHelp, QStringLiteral("Tessaly Help"));
    fixed(CommandExit, QStringLiteral("Exit and close the program."));
    fixed(DBComboSelect, CompanyPicker::hoverText());
    named(findChild<QWidget*>(QStringLiteral("DBCombo12")),
          QStringLiteral("Select a sales person responsible for "), QStringLiteral("."));
    named(findChild<QWidget*>(QStringLiteral("DBCombo13")),
          QStringLiteral("Select a sales manager responsible for "), QStringLiteral("."));
    named(findChild<QWidget*>(QStringLiteral("DBCombo10")),
          QStringLiteral("What type of company is "),
          QStringLiteral("? Select from the drop-down list."));
    fixed(findChild<QWidget*>(QStringLiteral("DBCombo02")),
          QStringLiteral("If applicable, select a category."));
    fixed(findChild<QWidget*>(QStringLiteral("DBCombo01")),
          QStringLiteral("If applicable, select a branch within your organization."));
    fixed(findChild<QWidget*>(QStringLiteral("DBCombo08")),
          QStringLiteral("If applicable, select a division within your organization."));
    named(findChild<QWidget*>(QStringLiteral("DBCombo09")),
          QStringLiteral("Select the region where "), QStringLiteral(" is located."));
}

QLineEdit* FormCompanies::box(const QString& name) const {
    return findChild<QLineEdit*>(name);
}

QPlainTextEdit* FormCompanies::memo(const QString& column) const {
    return findChild<QPlainTextEdit*>(column);
}

QString FormCompanies::boxText(const QString& name) const {
    return box(name)->text();
}

QString FormCompanies::companyKey() const {
    return boxText(CompanyColumn::Key);
}

QString FormCompanies::companyName() const {
    return boxText(CompanyColumn::Name);
}

QString FormCompanies::salesPerson() const {
    return boxText(QStringLiteral("Text18"));
}

QString FormCompanies::division() const {
    return boxText(CompanyColumn::Division);
}

QString FormCompanies::typeOfCompany() const {
    return boxText(CompanyColumn::TypeOfCompany);
}

QString FormCompanies::postalAddress() const {
    return boxText(CompanyColumn::PostalAddress);
}

QString FormCompanies::postalCity() const {
    return boxText(CompanyColumn::PostalCity);
}

QString FormCompanies::postalCode() const {
    return boxText(CompanyColumn::PostalCode);
}

QString FormCompanies::streetAddress() const {
    return boxText(CompanyColumn::StreetAddress);
}

QString FormCompanies::streetAddressContinued() const {
    return boxText(CompanyColumn::StreetAddressContinued);
}

QString FormCompanies::city() const {
    return boxText(CompanyColumn::City);
}

QString FormCompanies::telephone() const {
    return boxText(CompanyColumn::Telephone);
}

QString FormCompanies::telefax() const {
    return boxText(CompanyColumn::Telefax);
}

QString FormCompanies::details() const {
    return memo(CompanyColumn::Details)->toPlainText();
}

QString FormCompanies::storedCompanyKey() {
    Recordset* company = DataTABLE01->recordset();
    if (companyKey().isEmpty() && company->isNewRow() && company->hasPendingEdit()) {
        NUMBER01_LostFocus();
        if (DataTABLE01->save())
            company->setBookmark(company->lastModified());
    }
    return companyKey();
}

std::optional<QDate> FormCompanies::dateLastVisited() const {
    return Visits::lastVisitOf(DataTABLE01->recordset()->field(CompanyColumn::LastVisited));
}

std::optional<qint64> FormCompanies::visitFrequency() const {
    return Visits::frequencyOf(DataTABLE01->recordset()->field(CompanyColumn::VisitFrequency));
}

bool FormCompanies::isCompanyArchived() const {
    return DataTABLE01->recordset()->fieldText(CompanyColumn::Status) == CompanyView::Archived;
}

void FormCompanies::setDateLastVisited(const QDate& date) {
    box(CompanyColumn::LastVisited)->setText(Locale::dateText(date));
}

void FormCompanies::setAppointmentNotice(const QString& notice, qint64 colour) {
    TextAppointment->setText(notice);
    Colors::setForeground(TextAppointment, colour);
}

void FormCompanies::clearAppointmentNotice() {
    TextAppointment->clear();
}

bool FormCompanies::setMemoText(const QString& column, const QString& text) {
    if (column != CompanyColumn::Notes && column != CompanyColumn::Details)
        return false;
    QPlainTextEdit* target = memo(column);
    // The text goes in as an edit of the company, also while the window is locked.
    const bool locked = !Frame1->isEnabled();
    if (locked)
        Frame1->setEnabled(true);
    if (target->toPlainText() != text)
        target->setPlainText(text);
    if (locked)
        Frame1->setEnabled(false);
    return true;
}

QString FormCompanies::chosenUser() const {
    return UserTEXT03->text();
}

bool FormCompanies::chooseCompany(const QByteArray& bookmark, const QString& name) {
    NUMBER01_LostFocus(); // a save point follows
    if (DBComboSelect->text() != name)
        DBComboSelect->setText(name);
    return DataTABLE01->recordset()->setBookmark(bookmark);
}

bool FormCompanies::isCurrentCompany(const QByteArray& bookmark) const {
    const Recordset* current = DataTABLE01->recordset();
    return current->bookmark() == bookmark && !current->isNewRow();
}

bool FormCompanies::isEditing() const {
    return Frame1->isEnabled();
}

QString FormCompanies::flag(int field) const {
    return Forms::get<FormFields>()->flag(field);
}

void FormCompanies::Form_Load() {
    Colors::setBackground(this, Colors::White);
    Controls::paintEditFrame(Frame1, false);
    Twips::setFixedSize(this, 12900, 7530 - 400);
    setKeyPreview(true);
    Frame1->setEnabled(false);
    Toolbar1->setVisible(false);
    FrameHelp->setVisible(false);
    LabelName->setVisible(false);
    DBComboName->setVisible(false);
    LabelOverdue->setVisible(false);
    DataMessages::refresh(DataUserTABLE02);
    for (DataSource* master : std::as_const(m_masterTables))
        master->refresh();
    const bool all = UserTEXT03->text() == CompanyView::AllCompanies;
    Option1->setChecked(all);
    Option2->setChecked(!all);
    if (!all)
        DBComboName->setText(UserTEXT03->text());
    m_lastFrequency = box(CompanyColumn::VisitFrequency)->text();
    connect(DataTABLE01, &DataSource::currentChanged, this,
            [this] { m_lastFrequency = box(CompanyColumn::VisitFrequency)->text(); });
    TimerLoad->start();
}

void FormCompanies::openView(bool archived) {
    m_archived = archived;
    NUMBER01_LostFocus();
    DataTABLE01->setRecordSource(CompanyView::recordSource(archived, UserTEXT03->text()));
    DataMessages::refresh(DataTABLE01);
    if (archived) {
        const QRect at = Twips::geometry(CommandArchive);
        Twips::move(CommandUnarchive, at.x(), at.y());
        CommandUnarchive->setVisible(true);
        CommandArchive->setVisible(false);
    } else {
        CommandArchive->setVisible(true);
        CommandUnarchive->setVisible(false);
    }
    show();
    raise();
    activateWindow();
    if (Form* menu = Forms::loaded(QStringLiteral("FormMenu")))
        menu->hide();
    DBComboSelect->setVisible(true);
    DBComboSelect->setFocus();
}

void FormCompanies::applyFieldSelection() {
    // The controls of each optional field, by flag (User.mdb TABLE01 TEXT01..TEXT07).
    const QList<QStringList> controlsOf = {
        {QStringLiteral("LabelVisit"), QStringLiteral("NUMBER01"),
         QStringLiteral("CommandReminder")},
        {QStringLiteral("LabelCategory"), QStringLiteral("TEXT15")},
        {QStringLiteral("LabelAccount"), QStringLiteral("TEXT02")},
        {QStringLiteral("LabelBranch"), QStringLiteral("TEXT14")},
        {QStringLiteral("LabelDivision"), QStringLiteral("TEXT13")},
        {QStringLiteral("LabelRegion"), QStringLiteral("TEXT09")},
        {QStringLiteral("LabelSalesManager"), QStringLiteral("Text19")}};
    QStringList pickListed;
    for (const auto& [list, target] : PickLists())
        pickListed.append(target);
    // A field switched on again shows its label and its box (or, in edit
    // mode, its pick list) in the window that is already loaded.
    const bool editing = isEditing();
    for (int field = 1; field <= 7; ++field) {
        const bool on = flag(field) != QLatin1String("0");
        for (const QString& name : controlsOf.at(field - 1))
            if (QWidget* control = findChild<QWidget*>(name))
                control->setVisible(on && !(editing && pickListed.contains(name)));
    }
}

void FormCompanies::Form_QueryUnload(bool&) {
    NUMBER01_LostFocus(); // a close by the title bar leaves the focus where it was
}

void FormCompanies::Form_Activate() {
    applyFieldSelection();
    LabelOverdue->setText(companyName() + QStringLiteral(" is overdue for a visit!"));
}

void FormCompanies::TimerLoad_Timer() {
    const QString name = companyName();
    const QString entered = box(CompanyColumn::Entered)->text();
    LabelEntered->setText(name + QStringLiteral(" was entered on ") + entered);
    const QString lastVisit = box(CompanyColumn::LastVisited)->text();
    LabelDateLastVisited->setText(lastVisit.isEmpty()
                                      ? QString()
                                      : name + QStringLiteral(" was last visited on ") + lastVisit);

    // Days overdue: stored with the row at its next save point.
    Recordset* company = DataTABLE01->recordset();
    const auto overdue = Visits::daysOverdue(
        dateLastVisited(), visitFrequency(),
        company->fieldText(CompanyColumn::Status) == CompanyView::Active, Clock::today());
    LabelOverdue->setVisible(overdue && *overdue > 0);
    if (overdue && company->field(CompanyColumn::DaysOverdue) != QVariant(qlonglong(*overdue)))
        company->setField(CompanyColumn::DaysOverdue, qlonglong(*overdue));

    const QString user = UserTEXT03->text();
    const QString status = box(CompanyColumn::Status)->text();
    const bool all = user == CompanyView::AllCompanies;
    if (all && status == CompanyView::Active)
        setWindowTitle(QStringLiteral("Active Companies - ") + name);
    else if (!all && status == CompanyView::Active)
        setWindowTitle(QStringLiteral("Active Companies [") + user + QStringLiteral("] - ") + name);
    else if (!all && status == CompanyView::Archived)
        setWindowTitle(QStringLiteral("Archived Companies [") + user + QStringLiteral("] - ") +
                       name);
    else
        setWindowTitle(QStringLiteral("Archived Companies - ") + name);

    Colors::setForeground(TextAppointment, TextAppointment->text() ==
                                                   QLatin1String("A new appointment has been made.")
                                               ? Colors::DarkGreen
                                               : 0x8000000DLL);
    LabelOverdue->setText(name + QStringLiteral(" is overdue for a visit!"));
    LabelDateandTime->setText(Locale::dateText(Clock::today()) + u' ' +
                              Locale::timeText(Clock::time()));
    if (Form* menu = Forms::loaded(QStringLiteral("FormMenu"));
        menu && menu->isEnabled() && isVisible())
        menu->hide();
}

void FormCompanies::reloadByStatus() {
    // The view follows the current company's status; an empty list (a sales
    // person without companies) keeps the view it shows, so that another
    // choice brings the companies back.
    bool archived = m_archived;
    if (DataTABLE01->currentRow() >= 0) {
        const QString status = box(CompanyColumn::Status)->text();
        if (status == CompanyView::Active)
            archived = false;
        else if (status == CompanyView::Archived)
            archived = true;
        else
            return;
    }
    if (archived)
        ModuleLogin::OpenArchivedCompanies();
    else
        ModuleLogin::OpenActiveCompanies();
}

void FormCompanies::DBComboName_Click() {
    UserTEXT03->setText(DBComboName->text());
    LabelName->setVisible(false);
    reloadByStatus();
}

void FormCompanies::Option2_Click() {
    LabelName->setVisible(true);
    DBComboName->setVisible(true);
    DBComboName->setFocus();
}

void FormCompanies::Option1_Click() {
    UserTEXT03->setText(CompanyView::AllCompanies);
    LabelName->setVisible(false);
    DBComboName->setVisible(false);
    reloadByStatus();
}

void FormCompanies::setEditing(bool editing) {
    Frame1->setEnabled(editing);
    Controls::paintEditFrame(Frame1, editing);
    Toolbar1->setVisible(editing);
    // Which pick lists are in use: their field's flag, or always.
    const QHash<QString, int> flagOf = {{QStringLiteral("DBCombo02"), 2},
                                        {QStringLiteral("DBCombo01"), 4},
                                        {QStringLiteral("DBCombo08"), 5},
                                        {QStringLiteral("DBCombo09"), 6},
                                        {QStringLiteral("DBCombo13"), 7}};
    for (const auto& [name, target] : PickLists()) {
        auto* list = findChild<DBCombo*>(name);
        QLineEdit* field = box(target);
        const bool left = target.startsWith(QLatin1String("Text1"));
        const QRect at = Twips::geometry(list);
        const bool inUse = !flagOf.contains(name) || flag(flagOf.value(name)) == QLatin1String("1");
        if (editing) {
            Twips::move(list, left ? LeftBox - PickOffset : RightBox - PickOffset, at.y());
            list->setText(field->text());
            list->setVisible(inUse);
            field->setVisible(false);
        } else {
            Twips::move(list, left ? LeftBox : RightBox, at.y());
            list->setVisible(false);
            field->setVisible(true);
        }
    }
    // The boxes of switched-off fields stay hidden; labels follow the flags.
    applyFieldSelection();
}

void FormCompanies::CommandEdit_Click() {
    setEditing(!isEditing());
}

void FormCompanies::CommandNew_Click() {
    NUMBER01_LostFocus();
    CommandEdit_Click();
    if (!DataTABLE01->recordset()->addNew())
        return;
    box(CompanyColumn::Entered)->setText(Locale::dateText(Clock::today()));
    LabelEntered->setText(QStringLiteral("Entered on ") + box(CompanyColumn::Entered)->text());
    box(CompanyColumn::Status)->setText(CompanyView::Active);
}

bool FormCompanies::newCompanyMayBeStored(const QHash<QString, QVariant>& values) {
    const CompanyMatch::Company fresh{values.value(CompanyColumn::Name).toString(),
                                      values.value(CompanyColumn::City).toString(),
                                      values.value(CompanyColumn::Telephone).toString()};
    const auto connection = DataTABLE01->connection();
    if (!connection || CompanyMatch::key(fresh.name).isEmpty())
        return true;
    QString error;
    const auto matches = CompanyDuplicates::matchesOf(*connection, fresh, 0, &error);
    if (!matches || matches->isEmpty())
        return true; // a failed look-up never keeps the user's entry from being stored
    QStringList lines;
    for (const auto& match : matches->mid(0, 5)) {
        QStringList details;
        if (!match.company.city.isEmpty())
            details.append(match.company.city);
        if (!match.company.telephone.isEmpty())
            details.append(match.company.telephone);
        if (match.status != CompanyView::Active)
            details.append(QStringLiteral("archived"));
        lines.append(match.company.name +
                     (details.isEmpty()
                          ? QString()
                          : QStringLiteral(" (") + details.join(QStringLiteral(", ")) + u')'));
    }
    if (matches->size() > 5)
        lines.append(QStringLiteral("and %1 more").arg(matches->size() - 5));
    const QString text =
        QStringLiteral("'%1' may already be in the database:\n\n").arg(fresh.name) +
        lines.join(u'\n') +
        QStringLiteral("\n\nGo to the existing company? Yes drops the new entry; No keeps it as "
                       "a company of its own.");
    if (MsgBox::show(text, MsgBox::YesNo | MsgBox::Question) != MsgBox::Yes)
        return true;
    const auto& existing = matches->first();
    const qint64 key = existing.key;
    const bool archived = existing.status != CompanyView::Active;
    // After the refused save has returned to whoever asked for it.
    QTimer::singleShot(0, this, [this, key, archived] { goToExistingCompany(key, archived); });
    return false;
}

void FormCompanies::goToExistingCompany(qint64 key, bool archived) {
    DataTABLE01->recordset()->cancelUpdate();
    const QByteArray bookmark(reinterpret_cast<const char*>(&key), sizeof(key));
    if (archived != m_archived || DataTABLE01->rowOfBookmark(bookmark) < 0) {
        // Not in the view shown: the view of its status, over every sales person.
        if (DataTABLE01->rowOfBookmark(bookmark) < 0) {
            UserTEXT03->setText(CompanyView::AllCompanies);
            Option1->setChecked(true);
            LabelName->setVisible(false);
            DBComboName->setVisible(false);
        }
        openView(archived);
    }
    DataTABLE01->recordset()->setBookmark(bookmark);
    if (isEditing())
        setEditing(false);
}

void FormCompanies::NUMBER01_Change() {
    QLineEdit* frequency = box(CompanyColumn::VisitFrequency);
    const QString text = frequency->text();
    if (text.isEmpty()) {
        frequency->setText(QStringLiteral("0"));
        frequency->selectAll(); // typing on replaces the 0
        m_lastFrequency = frequency->text();
        return;
    }
    if (const auto number = Locale::parseNumber(text);
        number && std::isfinite(*number) && std::fabs(*number) < MaxFrequency) {
        m_lastFrequency = text;
        return;
    }
    MsgBox::show(QStringLiteral("Please enter a number"), MsgBox::OKOnly | MsgBox::Information);
    // The last number stays, so that a letter is never stored in the field.
    frequency->setText(m_lastFrequency);
    frequency->setFocus();
}

void FormCompanies::NUMBER01_LostFocus() {
    // The field holds whole days: a frequency typed with a fraction becomes
    // its whole-number part, the part the overdue rule reads, before any save
    // point could refuse it.
    QLineEdit* frequency = box(CompanyColumn::VisitFrequency);
    const QString text = frequency->text();
    if (Locale::parseInteger(text))
        return;
    const auto number = Locale::parseNumber(text);
    if (!number || !std::isfinite(*number) || std::fabs(*number) >= MaxFrequency)
        return;
    frequency->setText(QString::number(qint64(std::trunc(*number))));
    m_lastFrequency = frequency->text();
}

void FormCompanies::CommandArchive_Click() {
    if (MsgBox::show(QStringLiteral("Are you sure you want to send ") + companyName() +
                         QStringLiteral(" to the archives?"),
                     MsgBox::YesNo | MsgBox::Question) != MsgBox::Yes)
        return;
    NUMBER01_LostFocus();
    box(CompanyColumn::Status)->setText(CompanyView::Archived);
    DataTABLE01->refresh();
}

void FormCompanies::CommandUnarchive_Click() {
    NUMBER01_LostFocus();
    box(CompanyColumn::Status)->setText(CompanyView::Active);
    DataTABLE01->refresh();
}

void FormCompanies::CommandZoom1_Click() {
    const QString key = storedCompanyKey();
    FormDetails::Open(companyName() + QStringLiteral(" - Notes"), CompanyColumn::Notes,
                      memo(CompanyColumn::Notes)->toPlainText(), key, companyName());
}

void FormCompanies::CommandZoom2_Click() {
    const QString key = storedCompanyKey();
    FormDetails::Open(companyName() + QStringLiteral(" - Company Details"), CompanyColumn::Details,
                      memo(CompanyColumn::Details)->toPlainText(), key, companyName());
}

void FormCompanies::CommandMap_Click() {
    // The map page is given the address directly: no clipboard, no keystrokes.
    const QString address = box(CompanyColumn::StreetAddress)->text() + QStringLiteral(", ") +
                            box(CompanyColumn::StreetAddressContinued)->text() +
                            QStringLiteral(", ") + box(CompanyColumn::City)->text();
    Desktop::openUrl(QUrl::fromEncoded(MapSearchAddress + QUrl::toPercentEncoding(address)));
}

void FormCompanies::TEXT12_DblClick() {
    const QString address = box(CompanyColumn::Website)->text().trimmed();
    if (!address.isEmpty())
        Desktop::openUrl(QUrl::fromUserInput(address));
}

void FormCompanies::CommandReminder_Click() {
    Forms::show(QStringLiteral("FormReminder"));
}
