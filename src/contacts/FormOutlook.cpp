#include "FormOutlook.h"

#include "app/Controls.h"
#include "app/Forms.h"
#include "app/FunctionKeyBar.h"
#include "app/HoverHelp.h"
#include "data/DataSource.h"
#include "formats/MailMessage.h"
#include "formats/MailStore.h"
#include "mail/OutlookItems.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Pointer.h"
#include "services/Twips.h"
#include "widgets/DataMessages.h"
#include "widgets/FieldBinder.h"

#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

namespace {

const QString Calendar = QStringLiteral("Calendar");
const QString Tasks = QStringLiteral("Tasks");
const QString Deleted = QStringLiteral("Deleted Items");
constexpr int PathRole = Qt::UserRole;
constexpr int TitleRole = Qt::UserRole + 1;

bool isMailFolder(const QString& folder) {
    return folder != Calendar && folder != Tasks;
}

QString timeText(const QDateTime& moment) {
    return Locale::timeText(moment.time());
}

} // namespace

FormOutlook::FormOutlook()
    : WorkingWindow(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    buildControls();
}

void FormOutlook::buildControls() {
    using Controls::button;
    struct Command {
        QPushButton** control;
        const char* name;
        const char* caption;
        const char* help;
    };
    const Command commands[] = {
        {&CommandCalendar, "CommandCalendar", "Calendar", "Calendar"},
        {&CommandInbox, "CommandInbox", "Inbox", "Inbox"},
        {&CommandOutbox, "CommandOutbox", "Outbox", "Outbox"},
        {&CommandSentItems, "CommandSentItems", "Sent Items", "Sent Items"},
        {&CommandDeletedItems, "CommandDeletedItems", "Deleted Items", "Deleted Items"},
        {&CommandTasks, "CommandTasks", "Tasks", "Tasks"},
        {&CommandSendReceive, "CommandSendReceive", "Send && Receive", "Send and Receive"},
        {&CommandFind, "CommandFind", "Search", "Search"},
        {&CommandMove, "CommandMove", "Move Item", "Move Item"},
        {&CommandDelete, "CommandDelete", "Delete Item", "Delete Item"},
    };
    LabelHelp = Controls::label(this, "LabelHelp", QString(), 120, 900, 6000);
    m_help = new HoverHelp(this, LabelHelp, LabelHelp);
    setHoverHelp(m_help);
    int left = 120;
    for (const Command& c : commands) {
        const int width = qstrcmp(c.name, "CommandSendReceive") == 0 ? 1500 : 1190;
        *c.control = button(this, c.name, QString::fromLatin1(c.caption), left, 60, width);
        m_help->setText(*c.control, QString::fromLatin1(c.help));
        left += width + 50;
    }
    for (const auto& [control, folder] :
         {std::pair{CommandCalendar, Calendar}, std::pair{CommandInbox, QStringLiteral("Inbox")},
          std::pair{CommandOutbox, QStringLiteral("Outbox")},
          std::pair{CommandSentItems, QStringLiteral("Sent Items")},
          std::pair{CommandDeletedItems, Deleted}, std::pair{CommandTasks, Tasks}}) {
        const QString name = folder;
        connect(control, &QPushButton::clicked, this, [this, name] { setFolder(name); });
    }
    connect(CommandSendReceive, &QPushButton::clicked, this,
            &FormOutlook::CommandSendReceive_Click);
    connect(CommandFind, &QPushButton::clicked, this, &FormOutlook::CommandFind_Click);
    connect(CommandMove, &QPushButton::clicked, this, &FormOutlook::CommandMove_Click);
    connect(CommandDelete, &QPushButton::clicked, this, &FormOutlook::CommandDelete_Click);

    // The calendar's views and the way through its days.
    auto option = [this](const char* name, const char* caption, int x, CalendarView view) {
        auto* o = new QRadioButton(QString::fromLatin1(caption), this);
        o->setObjectName(QLatin1String(name));
        Twips::setGeometry(o, x, 540, 900, 285);
        connect(o, &QRadioButton::clicked, this, [this, view] { setCalendarView(view); });
        return o;
    };
    OptionDay = option("OptionDay", "Day", 120, CalendarView::Day);
    OptionWeek = option("OptionWeek", "Week", 1080, CalendarView::Week);
    OptionMonth = option("OptionMonth", "Month", 2040, CalendarView::Month);
    CommandPrevious = button(this, "CommandPrevious", QStringLiteral("<"), 3120, 510, 420, 330);
    CommandNext = button(this, "CommandNext", QStringLiteral(">"), 3600, 510, 420, 330);
    LabelPeriod = Controls::label(this, "LabelPeriod", QString(), 4140, 560, 4000);
    connect(CommandPrevious, &QPushButton::clicked, this, [this] {
        showDate(m_view == CalendarView::Day    ? m_date.addDays(-1)
                 : m_view == CalendarView::Week ? m_date.addDays(-7)
                                                : m_date.addMonths(-1));
    });
    connect(CommandNext, &QPushButton::clicked, this, [this] {
        showDate(m_view == CalendarView::Day    ? m_date.addDays(1)
                 : m_view == CalendarView::Week ? m_date.addDays(7)
                                                : m_date.addMonths(1));
    });
    TextSearch = new QLineEdit(this);
    TextSearch->setObjectName(QStringLiteral("TextSearch"));
    TextSearch->setPlaceholderText(QStringLiteral("Search"));
    Twips::setGeometry(TextSearch, 8280, 530, 4500, 315);
    connect(TextSearch, &QLineEdit::textChanged, this, &FormOutlook::fill);
    LabelStatus = Controls::label(this, "LabelStatus", QString(), 6240, 900, 6540);
    LabelStatus->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    ViewCtl1 = new QStackedWidget(this);
    ViewCtl1->setObjectName(QStringLiteral("ViewCtl1"));
    ListItems = new QTreeWidget(ViewCtl1);
    ListItems->setObjectName(QStringLiteral("ListItems"));
    ListItems->setRootIsDecorated(false);
    ListItems->setSortingEnabled(false);
    CalendarGrid = new QTableWidget(ViewCtl1);
    CalendarGrid->setObjectName(QStringLiteral("CalendarGrid"));
    CalendarGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    CalendarGrid->setWordWrap(true);
    CalendarGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ViewCtl1->addWidget(ListItems);
    ViewCtl1->addWidget(CalendarGrid);
    m_functionKeys = new FunctionKeyBar(QString::fromLatin1(Name), this);

    // Whether the window was last maximized, kept in User.mdb.
    DataWindowsState = new DataSource(QStringLiteral("DataWindowsState"), this);
    DataWindowsState->setDatabaseName(QStringLiteral("User.mdb"));
    DataWindowsState->setRecordSource(QStringLiteral("TABLE01"));
    TextWindowsState = new QLineEdit(this);
    TextWindowsState->setObjectName(QStringLiteral("TextWindowsState"));
    TextWindowsState->setVisible(false);
    FieldBinder::bind(DataWindowsState, TextWindowsState, QStringLiteral("TEXT09"));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &FormOutlook::Timer1_Timer);
}

void FormOutlook::Form_Load() {
    Colors::setBackground(this, Colors::White);
    const Form* companies = Forms::loaded(QStringLiteral("FormCompanies"));
    const QSize size = companies ? Twips::geometry(companies).size() : QSize(12900, 7130);
    Twips::setSize(this, size.width(), size.height());
    setKeyPreview(true);
    LabelHelp->setVisible(false);
    TextSearch->setVisible(false);
    DataMessages::refresh(DataWindowsState);
    if (TextWindowsState->text() == QLatin1String("2"))
        setWindowState(windowState() | Qt::WindowMaximized);
    m_date = Clock::today();
    OptionWeek->setChecked(true);
    setFolder(Calendar);
    Timer1->start();
}

void FormOutlook::Form_Activate() {
    if (TextWindowsState->text() == QLatin1String("2"))
        showMaximized();
    fill(); // another window may have stored items meanwhile
}

void FormOutlook::Timer1_Timer() {
    const QString state = isMaximized() ? QStringLiteral("2") : QStringLiteral("0");
    if (TextWindowsState->text() != state) {
        TextWindowsState->setText(state);
        DataWindowsState->save();
    }
}

void FormOutlook::resizeEvent(QResizeEvent* event) {
    WorkingWindow::resizeEvent(event);
    const int width = Twips::fromPixelsX(this->width());
    const int height = Twips::fromPixelsY(this->height());
    Twips::setGeometry(ViewCtl1, 25, 1200, std::max(0, width - 50), std::max(0, height - 1540));
    Twips::setGeometry(m_functionKeys, 120, std::max(0, height - 320), std::max(0, width - 240),
                       300);
}

void FormOutlook::setFolder(const QString& folder) {
    m_folder = folder;
    setWindowTitle(QStringLiteral("MS-Outlook ") + folder);
    const bool calendar = folder == Calendar;
    for (QWidget* w : std::initializer_list<QWidget*>{OptionDay, OptionWeek, OptionMonth,
                                                      CommandPrevious, CommandNext, LabelPeriod})
        w->setVisible(calendar);
    fill();
}

void FormOutlook::setCalendarView(CalendarView view) {
    m_view = view;
    OptionDay->setChecked(view == CalendarView::Day);
    OptionWeek->setChecked(view == CalendarView::Week);
    OptionMonth->setChecked(view == CalendarView::Month);
    fill();
}

void FormOutlook::showDate(const QDate& date) {
    m_date = date;
    fill();
}

void FormOutlook::fill() {
    // A search lists what matches, the calendar's appointments included.
    const bool listed = m_folder != Calendar || !TextSearch->text().trimmed().isEmpty();
    ViewCtl1->setCurrentWidget(listed ? static_cast<QWidget*>(ListItems) : CalendarGrid);
    if (listed)
        fillList();
    else
        fillCalendar();
}

void FormOutlook::fillList() {
    ListItems->clear();
    const QString search = TextSearch->text().trimmed();
    const auto matches = [&](const QStringList& texts) {
        if (search.isEmpty())
            return true;
        for (const QString& t : texts)
            if (t.contains(search, Qt::CaseInsensitive))
                return true;
        return false;
    };
    auto add = [this](const QStringList& columns, const QString& path, const QString& title) {
        auto* item = new QTreeWidgetItem(ListItems, columns);
        item->setData(0, PathRole, path);
        item->setData(0, TitleRole, title);
    };
    if (m_folder == Calendar) {
        ListItems->setHeaderLabels(
            {QStringLiteral("Start"), QStringLiteral("Subject"), QStringLiteral("Location")});
        for (const MailStore::Event& e : MailStore::events())
            if (matches({e.summary, e.location, e.description}))
                add({Locale::dateTimeText(e.start), e.summary, e.location}, e.path, e.summary);
    } else if (m_folder == Tasks) {
        ListItems->setHeaderLabels({QStringLiteral("Subject"), QStringLiteral("Due Date")});
        for (const MailStore::Todo& t : MailStore::todos())
            if (matches({t.summary, t.description}))
                add({t.summary, t.due.isValid() ? Locale::dateText(t.due) : QString()}, t.path,
                    t.summary);
    } else {
        const bool outgoing =
            m_folder == QLatin1String("Outbox") || m_folder == QLatin1String("Sent Items");
        ListItems->setHeaderLabels(
            {outgoing ? QStringLiteral("To") : QStringLiteral("From"), QStringLiteral("Subject"),
             outgoing ? QStringLiteral("Sent") : QStringLiteral("Received")});
        // The newest first, by the date each mail carries.
        QList<std::pair<QString, MailMessage>> mails;
        for (const QString& path : MailStore::messages(m_folder)) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                mails.append({path, MailMessage::parse(file.readAll())});
        }
        std::stable_sort(mails.begin(), mails.end(), [](const auto& a, const auto& b) {
            return a.second.date > b.second.date;
        });
        for (const auto& [path, m] : mails) {
            const QString who = outgoing ? m.to.join(QStringLiteral("; ")) : m.from;
            if (matches({who, m.subject, m.body}))
                add({who, m.subject,
                     m.date.isValid() ? Locale::dateTimeText(m.date.toLocalTime()) : QString()},
                    path, m.subject);
        }
    }
    for (int c = 0; c < ListItems->columnCount(); ++c)
        ListItems->resizeColumnToContents(c);
    LabelStatus->setText(QStringLiteral("%1 items").arg(ListItems->topLevelItemCount()));
}

void FormOutlook::fillCalendar() {
    CalendarGrid->clear();
    QDate first = m_date, last = m_date;
    if (m_view == CalendarView::Week) {
        first = m_date.addDays(1 - m_date.dayOfWeek());
        last = first.addDays(6);
    } else if (m_view == CalendarView::Month) {
        first = QDate(m_date.year(), m_date.month(), 1);
        last = first.addMonths(1).addDays(-1);
    }
    QList<MailStore::Event> events;
    for (const MailStore::Event& e : MailStore::events())
        if (e.start.date() >= first && e.start.date() <= last)
            events.append(e);
    auto cell = [](const MailStore::Event& e) {
        auto* item = new QTableWidgetItem(timeText(e.start) + u' ' + e.summary);
        item->setData(PathRole, e.path);
        item->setData(TitleRole, e.summary);
        item->setToolTip(e.location);
        return item;
    };
    if (m_view == CalendarView::Month) {
        // A row per week, Monday first; each day its number and its appointments.
        const QDate gridStart = first.addDays(1 - first.dayOfWeek());
        const int weeks = int((gridStart.daysTo(last) + 7) / 7);
        CalendarGrid->setColumnCount(7);
        CalendarGrid->setRowCount(weeks);
        QStringList days;
        for (int d = 1; d <= 7; ++d)
            days.append(Locale::current().dayName(d, QLocale::ShortFormat));
        CalendarGrid->setHorizontalHeaderLabels(days);
        for (int i = 0; i < weeks * 7; ++i) {
            const QDate day = gridStart.addDays(i);
            QStringList lines{QString::number(day.day())};
            QString path, title;
            for (const MailStore::Event& e : events)
                if (e.start.date() == day) {
                    lines.append(timeText(e.start) + u' ' + e.summary);
                    path = path.isEmpty() ? e.path : QStringLiteral("*");
                    title = e.summary;
                }
            auto* item = new QTableWidgetItem(lines.join(u'\n'));
            // A day of one appointment stands for it; of several, for none.
            if (!path.isEmpty() && path != QLatin1String("*")) {
                item->setData(PathRole, path);
                item->setData(TitleRole, title);
            }
            if (day.month() != first.month())
                item->setForeground(Qt::gray);
            CalendarGrid->setItem(i / 7, i % 7, item);
        }
        CalendarGrid->resizeRowsToContents();
        LabelPeriod->setText(Locale::current().standaloneMonthName(first.month()) + u' ' +
                             QString::number(first.year()));
        return;
    }
    const int columns = int(first.daysTo(last)) + 1;
    CalendarGrid->setColumnCount(columns);
    QStringList headings;
    int rows = 0;
    for (int c = 0; c < columns; ++c) {
        const QDate day = first.addDays(c);
        headings.append(Locale::current().dayName(day.dayOfWeek(), QLocale::ShortFormat) + u' ' +
                        Locale::dateText(day));
        int row = 0;
        for (const MailStore::Event& e : events)
            if (e.start.date() == day)
                ++row;
        rows = std::max(rows, row);
    }
    CalendarGrid->setRowCount(rows);
    CalendarGrid->setHorizontalHeaderLabels(headings);
    for (int c = 0; c < columns; ++c) {
        int row = 0;
        for (const MailStore::Event& e : events)
            if (e.start.date() == first.addDays(c))
                CalendarGrid->setItem(row++, c, cell(e));
    }
    LabelPeriod->setText(columns == 1 ? Locale::dateText(first)
                                      : Locale::dateText(first) + QStringLiteral(" - ") +
                                            Locale::dateText(last));
}

QString FormOutlook::selectedItem() const {
    if (ViewCtl1->currentWidget() == ListItems) {
        const QTreeWidgetItem* item = ListItems->currentItem();
        return item ? item->data(0, PathRole).toString() : QString();
    }
    const QTableWidgetItem* item = CalendarGrid->currentItem();
    return item ? item->data(PathRole).toString() : QString();
}

QString FormOutlook::selectedTitle() const {
    if (ViewCtl1->currentWidget() == ListItems) {
        const QTreeWidgetItem* item = ListItems->currentItem();
        return item ? item->data(0, TitleRole).toString() : QString();
    }
    const QTableWidgetItem* item = CalendarGrid->currentItem();
    return item ? item->data(TitleRole).toString() : QString();
}

void FormOutlook::CommandDelete_Click() {
    const QString path = selectedItem();
    if (path.isEmpty()) {
        MsgBox::show(QStringLiteral("Choose an item first."), MsgBox::OKOnly | MsgBox::Information);
        return;
    }
    QString error;
    bool done = false;
    if (isMailFolder(m_folder) && m_folder != Deleted) {
        done = MailStore::move(path, Deleted, &error);
    } else {
        // Appointments, tasks and what is in Deleted Items go for good.
        if (MsgBox::show(QStringLiteral("Delete \"%1\" for good?").arg(selectedTitle()),
                         MsgBox::YesNo | MsgBox::Question) != MsgBox::Yes)
            return;
        QFile file(path);
        done = file.remove();
        error = file.errorString();
    }
    if (!done)
        MsgBox::show(QStringLiteral("The item cannot be deleted: ") + error,
                     MsgBox::OKOnly | MsgBox::Critical);
    fill();
}

void FormOutlook::CommandMove_Click() {
    const QString path = selectedItem();
    if (path.isEmpty() || !isMailFolder(m_folder)) {
        MsgBox::show(QStringLiteral("Choose an e-mail first: e-mails can be moved to another "
                                    "folder."),
                     MsgBox::OKOnly | MsgBox::Information);
        return;
    }
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("MenuMove"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const QString& folder :
         {QStringLiteral("Inbox"), QStringLiteral("Outbox"), QStringLiteral("Sent Items"), Deleted,
          QStringLiteral("Drafts")}) {
        if (folder == m_folder)
            continue;
        QAction* action = menu->addAction(folder);
        action->setObjectName(folder);
        connect(action, &QAction::triggered, this, [this, path, folder] {
            QString error;
            if (!MailStore::move(path, folder, &error))
                MsgBox::show(QStringLiteral("The e-mail cannot be moved: ") + error,
                             MsgBox::OKOnly | MsgBox::Critical);
            fill();
        });
    }
    menu->popup(CommandMove->mapToGlobal(QPoint(0, CommandMove->height())));
}

void FormOutlook::CommandFind_Click() {
    TextSearch->setVisible(true);
    TextSearch->setFocus();
    TextSearch->selectAll();
}

void FormOutlook::CommandSendReceive_Click() {
    setFolder(QStringLiteral("Inbox"));
    Pointer::busy();
    const MailApp::SendReport report = MailApp::SendOutbox();
    Pointer::normal();
    if (report.noServer) {
        MsgBox::show(QStringLiteral("No mail server is set in your profile, so the e-mails in "
                                    "the Outbox wait there. Set the server under \"Your "
                                    "Profile\" in the main menu."),
                     MsgBox::OKOnly | MsgBox::Information);
        return;
    }
    LabelStatus->setText(QStringLiteral("%1 e-mails sent.").arg(report.sent));
    if (!report.failures.isEmpty())
        MsgBox::show(QStringLiteral("These e-mails could not be sent and wait in the Outbox:") +
                         QStringLiteral("\r\n") + report.failures.join(QStringLiteral("\r\n")),
                     MsgBox::OKOnly | MsgBox::Exclamation);
}
