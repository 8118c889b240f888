#include "FormCreateCallReport.h"

#include "app/Forms.h"
#include "companies/FormCompanies.h"
#include "contacts/FormWrite.h"
#include "data/DataSource.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Pointer.h"
#include "services/Twips.h"
#include "widgets/DBList.h"
#include "widgets/RichTextBox.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString Crlf = QStringLiteral("\r\n");

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, int left, int top,
                 int width, int height) {
    auto* f = new QGroupBox(caption, parent);
    f->setObjectName(QLatin1String(name));
    Twips::setGeometry(f, left, top, width, height);
    return f;
}

} // namespace

FormCreateCallReport::FormCreateCallReport()
    : Form(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);

    // The steps stand on the left, one replacing the other; the heading
    // grows on the right.
    FrameHeader = frame(this, "FrameHeader", QStringLiteral("Your Call Report Header"), 7440, 120,
                        5340, 6300);
    RichTextBoxHeader = new RichTextBox(FrameHeader);
    RichTextBoxHeader->setObjectName(QStringLiteral("RichTextBoxHeader"));
    Twips::setGeometry(RichTextBoxHeader, 120, 300, 5100, 5880);

    FrameMethod = frame(this, "FrameMethod", QStringLiteral("Select the Method of Contact"), 120,
                        120, 3360, 2160);
    ListMethod = new QListWidget(FrameMethod);
    ListMethod->setObjectName(QStringLiteral("ListMethod"));
    Twips::setGeometry(ListMethod, 120, 300, 3120, 1740);
    ListMethod->addItems(Methods());
    connect(ListMethod, &QListWidget::itemClicked, this, &FormCreateCallReport::ListMethod_Click);
    connect(ListMethod, &QListWidget::itemActivated, this, &FormCreateCallReport::ListMethod_Click);

    FrameTime = frame(this, "FrameTime", QStringLiteral("Select the Time"), 1200, 120, 3360, 2160);
    ComboTime = new QComboBox(FrameTime);
    ComboTime->setObjectName(QStringLiteral("ComboTime"));
    Twips::setGeometry(ComboTime, 120, 300, 2000, 315);
    ComboTime->addItems(Times());
    ComboTime->setCurrentIndex(-1);
    connect(ComboTime, &QComboBox::activated, this, &FormCreateCallReport::ComboTime_Click);
    TextTime = new QLineEdit(FrameTime);
    TextTime->setObjectName(QStringLiteral("TextTime"));
    Twips::setGeometry(TextTime, 120, 720, 2000, 315);
    CheckFormat = new QCheckBox(QStringLiteral("Change Format"), FrameTime);
    CheckFormat->setObjectName(QStringLiteral("CheckFormat"));
    CheckFormat->setToolTip(QStringLiteral("Change to 24 Hour Setting"));
    Twips::setGeometry(CheckFormat, 120, 1140, 3000, 285);
    connect(CheckFormat, &QCheckBox::clicked, this, &FormCreateCallReport::CheckFormat_Click);

    FrameDate = frame(this, "FrameDate", QStringLiteral("Select the Date"), 3600, 120, 3720, 2900);
    MonthView1 = new QCalendarWidget(FrameDate);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Twips::setGeometry(MonthView1, 120, 300, 3480, 2480);
    connect(MonthView1, &QCalendarWidget::clicked, this,
            &FormCreateCallReport::MonthView1_DateClick);
    connect(MonthView1, &QCalendarWidget::activated, this,
            &FormCreateCallReport::MonthView1_DateClick);

    FrameContacts = frame(this, "FrameContacts", QStringLiteral("Select Person(s) Contacted"), 2400,
                          120, 7200, 3600);
    DataContacts = new DataSource(QStringLiteral("DataContacts"), this);
    DataContacts->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    DataContacts->setReadOnly(true);
    DBListNames = new DBList(FrameContacts);
    DBListNames->setObjectName(QStringLiteral("DBListNames"));
    Twips::setGeometry(DBListNames, 120, 300, 6960, 3180);
    DBListNames->setRowSource(DataContacts, QStringLiteral("FullName"));
    connect(DBListNames, &DBList::clicked, this, &FormCreateCallReport::DBListNames_Click);

    CommandGo = new QPushButton(QStringLiteral("&Go"), this);
    CommandGo->setObjectName(QStringLiteral("CommandGo"));
    CommandGo->setToolTip(QStringLiteral("Start writing your Call Report"));
    Twips::setGeometry(CommandGo, 120, 3900, 1215, 375);
    connect(CommandGo, &QPushButton::clicked, this, &FormCreateCallReport::CommandGo_Click);
}

const QStringList& FormCreateCallReport::Methods() {
    static const QStringList methods = {QStringLiteral("Correspondence"),
                                        QStringLiteral("Delivery"), QStringLiteral("Meeting"),
                                        QStringLiteral("Other"), QStringLiteral("Telephone Call")};
    return methods;
}

QStringList FormCreateCallReport::Times() {
    QStringList times;
    for (int minutes = 6 * 60; minutes < 18 * 60; minutes += 15) {
        const int hour = minutes / 60;
        const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
        times << QStringLiteral("%1:%2 %3")
                     .arg(hour12, 2, 10, QLatin1Char('0'))
                     .arg(minutes % 60, 2, 10, QLatin1Char('0'))
                     .arg(hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
    }
    return times;
}

FormCompanies* FormCreateCallReport::companies() const {
    return Forms::get<FormCompanies>();
}

QString FormCreateCallReport::heading() const {
    QString text = RichTextBoxHeader->text();
    text.replace(u'\n', Crlf);
    return text;
}

void FormCreateCallReport::appendLine(const QString& line) {
    RichTextBoxHeader->setText(heading() + Crlf + line);
    RichTextBoxHeader->moveCursor(QTextCursor::End);
}

QString FormCreateCallReport::method() const {
    QListWidgetItem* item = ListMethod->currentItem();
    return item ? item->text() : QString();
}

void FormCreateCallReport::Form_Load() {
    Colors::setBackground(this, Colors::White);
    setWindowTitle(QStringLiteral("Generate Call Report"));
    const QRect companiesSize = Twips::geometry(companies());
    Twips::setSize(this, companiesSize.width(), companiesSize.height());
    TextTime->setText(Locale::timeText(Clock::time()));
    RichTextBoxHeader->setText(
        QStringList{QStringLiteral("CALL REPORT"), QString(),
                    QStringLiteral("Company: ") + companies()->companyName(),
                    QStringLiteral("Type of Company: ") + companies()->typeOfCompany(),
                    QStringLiteral("Division: ") + companies()->division(),
                    QStringLiteral("Sales Person: ") + companies()->salesPerson()}
            .join(Crlf));
    MonthView1->setSelectedDate(Clock::today());
    for (QWidget* later : {static_cast<QWidget*>(FrameTime), static_cast<QWidget*>(FrameDate),
                           static_cast<QWidget*>(FrameContacts), static_cast<QWidget*>(CheckFormat),
                           static_cast<QWidget*>(CommandGo)})
        later->setVisible(false);
    centerOver(companies()->isVisible() ? static_cast<QWidget*>(companies())
                                        : Forms::loaded(QStringLiteral("FormContacts")));
}

void FormCreateCallReport::Form_Activate() {
    DataContacts->setRecordSource(
        QStringLiteral("SELECT * , [TABLE03].[TEXT02] & ' ' & [TEXT03]  & '   (' & [TEXT06] & "
                       "')'AS FullName") +
        QStringLiteral(" FROM TABLE03  WHERE TABLE03.NUMBER01 =") + companies()->companyKey() +
        QStringLiteral(" ORDER BY TABLE03.TEXT02"));
    // Without a company there is nobody to list; the steps still work.
    DataContacts->refresh();
}

void FormCreateCallReport::ListMethod_Click() {
    if (!FrameMethod->isVisible() || method().isEmpty())
        return;
    appendLine(QStringLiteral("Method of Contact: ") + method());
    const QRect methodAt = Twips::geometry(FrameMethod);
    Twips::move(FrameTime, methodAt.x(), Twips::geometry(FrameTime).y());
    Twips::move(FrameDate, 3600, Twips::geometry(FrameDate).y());
    FrameTime->setVisible(true);
    FrameDate->setVisible(true);
    FrameMethod->setVisible(false);
    ComboTime->setFocus();
    if (method() == QLatin1String("Meeting"))
        companies()->setDateLastVisited(Clock::today());
}

void FormCreateCallReport::ComboTime_Click() {
    TextTime->setText(ComboTime->currentText());
    CheckFormat->setVisible(true);
}

void FormCreateCallReport::CheckFormat_Click() {
    const QTime time = QTime::fromString(ComboTime->currentText(), QStringLiteral("hh:mm AP"));
    if (!time.isValid())
        return;
    if (CheckFormat->isChecked()) {
        TextTime->setText(time.toString(QStringLiteral("HH:mm")));
        return;
    }
    const QString designator = time.hour() < 12 ? Locale::amDesignator() : Locale::pmDesignator();
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    TextTime->setText(QStringLiteral("%1:%2 %3")
                          .arg(hour12, 2, 10, QLatin1Char('0'))
                          .arg(time.minute(), 2, 10, QLatin1Char('0'))
                          .arg(designator));
}

void FormCreateCallReport::MonthView1_DateClick(const QDate& date) {
    if (!FrameDate->isVisible())
        return;
    appendLine(QStringLiteral("Date and Time: ") + Locale::dateText(date) + u' ' +
               TextTime->text());
    Twips::move(FrameContacts, Twips::geometry(FrameTime).x(), Twips::geometry(FrameContacts).y());
    FrameContacts->setVisible(true);
    FrameTime->setVisible(false);
    FrameDate->setVisible(false);
    CommandGo->setVisible(true);
}

void FormCreateCallReport::DBListNames_Click() {
    const int row = DBListNames->listIndex();
    if (row < 0)
        return;
    appendLine(QStringLiteral("Person Contacted: ") + DBListNames->text());
}

void FormCreateCallReport::CommandGo_Click() {
    Pointer::busy();
    auto* editor = Forms::get<FormWrite>();
    editor->setReportCompany(companies()->companyName(), companies()->salesPerson());
    const bool meeting = method() == QLatin1String("Meeting");
    if (meeting)
        companies()->setDateLastVisited(MonthView1->selectedDate());

    QString preamble = companies()->details();
    preamble.replace(u'\n', Crlf);
    QString text = heading() + Crlf + Crlf;
    if (!preamble.isEmpty())
        text += QStringLiteral("Preamble: ") + Crlf + preamble + Crlf + Crlf;
    text += QStringLiteral("Details: ") + Crlf;
    Pointer::normal();

    const auto frequency = companies()->visitFrequency();
    const bool hasFrequency = frequency && *frequency != 0;
    if (meeting)
        companies()->clearAppointmentNotice();
    if (!hasFrequency) {
        if (Form* reminder = Forms::loaded(QStringLiteral("FormReminder")))
            reminder->hide();
    }

    hide();
    editor->openDocument(QStringLiteral("REPORT"), text);
    // The reminder is offered over the editor, so that it is seen; the
    // editor has the caret again once it is answered.
    if (meeting && hasFrequency)
        Forms::show(QStringLiteral("FormReminder"));
    unload();
}
