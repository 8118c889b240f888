#pragma once

#include "app/WorkingWindow.h"

#include <QDate>

class DataSource;
class FunctionKeyBar;
class HoverHelp;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTableWidget;
class QTimer;
class QTreeWidget;

// The program's own mail store in a window: the calendar by day, week or
// month, the mail folders (Inbox, Outbox, Sent Items, Deleted Items) and the
// tasks, with Delete Item, Search, Move Item and Send & Receive. The items
// are the store's own files: .eml messages in Maildir folders and one .ics
// file per appointment or task.
class FormOutlook : public WorkingWindow {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormOutlook";
    FormOutlook();

    void Form_Load() override;
    void Form_Activate() override;

    enum class CalendarView { Day, Week, Month };
    // Shows a folder ("Calendar", "Inbox" ...) and names it in the caption.
    void setFolder(const QString& folder);
    QString folder() const { return m_folder; }
    void setCalendarView(CalendarView view);
    void showDate(const QDate& date); // the day, week or month around it

    void CommandSendReceive_Click();
    void CommandFind_Click();
    void CommandMove_Click();
    void CommandDelete_Click();
    void Timer1_Timer();

    QTreeWidget* itemList() const { return ListItems; }
    QTableWidget* calendar() const { return CalendarGrid; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void fill();
    void fillCalendar();
    void fillList();
    // The file of the item selected in the list or the calendar; empty when
    // none is.
    QString selectedItem() const;
    QString selectedTitle() const;
    void applySearch();

    QPushButton* CommandCalendar;
    QPushButton* CommandInbox;
    QPushButton* CommandOutbox;
    QPushButton* CommandSentItems;
    QPushButton* CommandDeletedItems;
    QPushButton* CommandTasks;
    QPushButton* CommandSendReceive;
    QPushButton* CommandFind;
    QPushButton* CommandMove;
    QPushButton* CommandDelete;
    QRadioButton* OptionDay;
    QRadioButton* OptionWeek;
    QRadioButton* OptionMonth;
    QPushButton* CommandPrevious;
    QPushButton* CommandNext;
    QLabel* LabelPeriod;
    QLineEdit* TextSearch;
    QLabel* LabelStatus;
    QLabel* LabelHelp;
    QStackedWidget* ViewCtl1;
    QTreeWidget* ListItems;
    QTableWidget* CalendarGrid;
    QLineEdit* TextWindowsState; // "2" when the window was last maximized, else "0"
    DataSource* DataWindowsState;
    QTimer* Timer1;
    FunctionKeyBar* m_functionKeys;
    HoverHelp* m_help;
    QString m_folder;
    CalendarView m_view = CalendarView::Week;
    QDate m_date;
};
