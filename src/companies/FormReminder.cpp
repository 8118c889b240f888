#include "FormReminder.h"

#include "FormCompanies.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "app/ModuleMouse.h"
#include "data/Visits.h"
#include "mail/OutlookItems.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"

#include <QCalendarWidget>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
FormCompanies* companies() {
    return Forms::get<FormCompanies>();
}
} // namespace

FormReminder::FormReminder()
    : Form(QString::fromLatin1(Name)) {
    LabelReminder = new QLabel(QStringLiteral("Do you want to set a Reminder in MS-Outlook, "
                                              "advising you when this Company is due for a "
                                              "Meeting again?"),
                               this);
    LabelReminder->setObjectName(QStringLiteral("LabelReminder"));
    LabelReminder->setWordWrap(true);
    Twips::setGeometry(LabelReminder, 240, 120, 6400, 600);
    CommandYes = new QPushButton(QStringLiteral("&Yes"), this);
    CommandYes->setObjectName(QStringLiteral("CommandYes"));
    Twips::setGeometry(CommandYes, 3960, 960, 1215, 375);
    CommandNo = new QPushButton(QStringLiteral("&No"), this);
    CommandNo->setObjectName(QStringLiteral("CommandNo"));
    Twips::setGeometry(CommandNo, 5400, 960, 1215, 375);
    MonthView1 = new QCalendarWidget(this);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    // Week numbers left out: the seven day columns need the whole width.
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Twips::setGeometry(MonthView1, 240, 240, 3540, 2400);
    TextDueDate = new QLineEdit(this);
    TextDueDate->setObjectName(QStringLiteral("TextDueDate"));
    Twips::setGeometry(TextDueDate, 3900, 240, 1440, 315);
    TextDay = new QLineEdit(this);
    TextDay->setObjectName(QStringLiteral("TextDay"));
    TextDay->setReadOnly(true);
    Twips::setGeometry(TextDay, 5460, 240, 1280, 315);
    CommandGo = new QPushButton(QStringLiteral("&Go"), this);
    CommandGo->setObjectName(QStringLiteral("CommandGo"));
    Twips::setGeometry(CommandGo, 3900, 720, 1215, 375);
    ImageOutlook = new QLabel(this);
    ImageOutlook->setObjectName(QStringLiteral("ImageOutlook"));
    ImageOutlook->setPixmap(QIcon(QStringLiteral(":/icons/outlook.png")).pixmap(32, 32));
    Twips::setGeometry(ImageOutlook, 3900, 1200, 495, 495);
    LabelLoad = new QLabel(QStringLiteral("Loading MS-Outlook..."), this);
    LabelLoad->setObjectName(QStringLiteral("LabelLoad"));
    Twips::setGeometry(LabelLoad, 4500, 1320, 2240, 255);
    FrameHelp = new QGroupBox(QStringLiteral("Help"), this);
    FrameHelp->setObjectName(QStringLiteral("FrameHelp"));
    Twips::setGeometry(FrameHelp, 3900, 2760, 2840, 1500);
    LabelHelp = new QLabel(FrameHelp);
    LabelHelp->setObjectName(QStringLiteral("LabelHelp"));
    Twips::setGeometry(LabelHelp, 120, 300, 2600, 1100);
    LabelHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    connect(CommandYes, &QPushButton::clicked, this, &FormReminder::CommandYes_Click);
    connect(CommandNo, &QPushButton::clicked, this, &FormReminder::CommandNo_Click);
    connect(CommandGo, &QPushButton::clicked, this, &FormReminder::CommandGo_Click);
    // A date chosen with the pointer or the arrow keys.
    connect(MonthView1, &QCalendarWidget::selectionChanged, this,
            &FormReminder::MonthView1_DateClick);

    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->setText(MonthView1, [this] {
        return QStringLiteral("Your reminder will be set at ") +
               Locale::dateText(MonthView1->selectedDate()) +
               QStringLiteral(", which is 2 days before a meeting is due. You can however choose "
                              "a different date, using the calendar.");
    });
}

QString FormReminder::companyName() const {
    return companies()->companyName();
}

void FormReminder::Form_Load() {
    setWindowTitle(QStringLiteral("Reminder..."));
    Colors::setBackground(this, Colors::White);
    Twips::setSize(this, 7000, 2000);
    setKeyPreview(true);
    centerOver(companies());
    for (QWidget* hidden : {static_cast<QWidget*>(MonthView1), static_cast<QWidget*>(TextDueDate),
                            static_cast<QWidget*>(TextDay), static_cast<QWidget*>(CommandGo),
                            static_cast<QWidget*>(ImageOutlook), static_cast<QWidget*>(LabelLoad),
                            static_cast<QWidget*>(FrameHelp)})
        hidden->setVisible(false);
    LabelReminder->setText(QStringLiteral("Do you want to set a Reminder in MS-Outlook, advising "
                                          "you when ") +
                           companyName() + QStringLiteral(" is due for a Meeting again?"));
}

void FormReminder::CommandYes_Click() {
    const auto frequency = companies()->visitFrequency();
    if (!frequency) {
        MsgBox::show(QStringLiteral("The visit frequency of %1 is not a number of days, so no "
                                    "reminder date can be worked out.")
                         .arg(companyName()),
                     MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    Twips::setSize(this, Twips::geometry(this).width(), 5100);
    const QDate due =
        Visits::reminderDue(companies()->dateLastVisited(), *frequency, Clock::today());
    TextDay->setText(Locale::current().dayName(due.dayOfWeek(), QLocale::LongFormat));
    MonthView1->setSelectedDate(Visits::offWeekend(due));
    MonthView1->setVisible(true);
    CommandGo->setVisible(true);
    TextDueDate->setVisible(true);
    TextDay->setVisible(true);
    TextDueDate->setText(Locale::dateText(MonthView1->selectedDate()));
    CommandYes->setVisible(false);
    CommandNo->setVisible(false);
    LabelReminder->setVisible(false);
}

void FormReminder::CommandNo_Click() {
    companies()->clearAppointmentNotice();
    unload();
}

void FormReminder::MonthView1_DateClick() {
    TextDueDate->setText(Locale::dateText(MonthView1->selectedDate()));
}

void FormReminder::CommandGo_Click() {
    ModuleMouse::PointerBusy();
    ImageOutlook->setVisible(true);
    LabelLoad->setVisible(true);
    const auto due = Locale::parseDate(TextDueDate->text());
    TaskItem task;
    task.Subject = QStringLiteral("Make an Appointment with ") + companyName();
    task.DueDate = due.value_or(QDate());
    QString error;
    if (!due)
        error = QStringLiteral("\"%1\" is not a date.").arg(TextDueDate->text());
    if (!due || !task.Save(&error)) {
        ModuleMouse::PointerNormal();
        ImageOutlook->setVisible(false);
        LabelLoad->setVisible(false);
        MsgBox::show(error, MsgBox::OKOnly);
        return;
    }
    ModuleMouse::PointerNormal();
    companies()->setAppointmentNotice(QStringLiteral("A new appointment will be scheduled on ") +
                                          TextDueDate->text() + QStringLiteral("."),
                                      Colors::Blue);
    unload();
}
