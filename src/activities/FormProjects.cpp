#include "FormProjects.h"

#include "app/Controls.h"
#include "app/EditToolbar.h"
#include "app/Forms.h"
#include "app/FunctionKeyBar.h"
#include "app/HoverHelp.h"
#include "app/ModuleButtons.h"
#include "app/ModuleMouse.h"
#include "companies/CompanyOfWindow.h"
#include "companies/FormCompanies.h"
#include "data/CompanyView.h"
#include "data/DataSource.h"
#include "data/ProjectPipeline.h"
#include "mail/OutlookItems.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/CompanyPicker.h"
#include "widgets/DBCombo.h"
#include "widgets/DBGrid.h"
#include "widgets/DBList.h"
#include "widgets/DataMessages.h"
#include "widgets/FieldBinder.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <functional>

namespace {

using Controls::button;
using Controls::label;
using Controls::pictureButton;

const QString ActiveProject = QStringLiteral("Active Project");
const QString CancelledProject = QStringLiteral("Cancelled Project");
const QString CompletedProject = QStringLiteral("Completed Project");
const QString ProjectNamePrompt = QStringLiteral("Select Project Name...");

// The size of a window that opens without the companies window.
constexpr int DefaultWidth = 12900, DefaultHeight = 7130;
// Frames that wait out of view below the window come up by this much.
constexpr int OutOfView = 6840;

// Where the regions stand (twips).
constexpr int MainTop = 1920;
constexpr int ProjectsLeft = 120, ProjectsWidth = 3360, ProjectsHeight = 1860;
constexpr int ViewsLeft = 3600, ViewsWidth = 2280;
constexpr int ActionLeft = 120, ActionTop = 4320, ActionWidth = 5760, ActionHeight = 2040;
constexpr int NameTop = MainTop, DoneTop = 3480;
constexpr int CalendarLeft = 6000, CalendarTop = 720;
constexpr int StepButtonsTop = 3000, SaveActionLeft = 6000, FollowUpButtonLeft = 7200;
constexpr int FollowUpLeft = 6000, FollowUpTop = 3000;

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, int left, int top,
                 int width, int height) {
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    Twips::setGeometry(box, left, top, width, height);
    return box;
}

QLineEdit* textBox(QWidget* parent, const char* name, int left, int top, int width) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    Twips::setGeometry(box, left, top, width, 315);
    Colors::setBackground(box, Colors::White);
    return box;
}

QLineEdit* hiddenBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setVisible(false);
    return box;
}

QCalendarWidget* calendar(QWidget* parent, const char* name, int left, int top) {
    auto* month = new QCalendarWidget(parent);
    month->setObjectName(QLatin1String(name));
    month->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Twips::setGeometry(month, left, top, 3480, 2480);
    return month;
}

// Events of a few controls, seen apart from the window's key preview (which
// sees every event of the program once more).
class ControlHook : public QObject {
public:
    ControlHook(QObject* parent, std::function<bool(QObject*, QEvent*)> hook)
        : QObject(parent)
        , m_hook(std::move(hook)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        return m_hook(watched, event) || QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(QObject*, QEvent*)> m_hook;
};

} // namespace

FormProjects::FormProjects()
    : WorkingWindow(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    buildControls();
    buildHoverTexts();
}

void FormProjects::buildControls() {
    auto source = [this](const char* name, const QString& recordSource) {
        auto* data = new DataSource(QLatin1String(name), this);
        data->setDatabaseName(QStringLiteral("TESSALY.mdb"));
        data->setRecordSource(recordSource);
        return data;
    };
    DataTABLE01 = source("DataTABLE01", QString());
    DataTABLE06 = source("DataTABLE06", QString());
    DataTABLE07 = source("DataTABLE07", QString());
    DataMT04 = source("DataMT04", QStringLiteral("MT04"));
    DataMT06 = source("DataMT06", QStringLiteral("MT06"));
    m_pipeline = source("DataPipeline", QString());
    m_pipeline->setReadOnly(true);

    m_functionKeys = new FunctionKeyBar(QString::fromLatin1(Name), this);
    Twips::setGeometry(m_functionKeys, 120, 60, 12660, 300);

    LabelSelect = label(this, "LabelSelect", CompanyPicker::prompt(), 120, 420, 3000);
    DBComboSelect = new CompanyPicker(CompanyPicker::Follow::ChoiceAndTyping, this);
    DBComboSelect->setObjectName(QStringLiteral("DBComboSelect"));
    Twips::setGeometry(DBComboSelect, 120, 690, 4200, 315);
    DBComboSelect->setCompanies(DataTABLE01);
    Colors::setBackground(DBComboSelect, Colors::White);
    DBComboSelect->setCurrentCompany([this]() -> CurrentCompany* { return companies(); });
    connect(DBComboSelect, &CompanyPicker::companyChosen, this, &FormProjects::Load);

    LabelDateandTime = label(this, "LabelDateandTime", QString(), 4500, 720, 3000);
    Toolbar1 = new EditToolbar(this);
    Twips::setGeometry(Toolbar1, 10560, 600, 2220, 420);

    // The row of commands, the help beside them.
    CommandNew = pictureButton(this, "CommandNew", "contact-new", 120, 1080);
    CommandDelete = pictureButton(this, "CommandDelete", "edit-delete", 780, 1080);
    CommandSummary = pictureButton(this, "CommandSummary", "reports", 1440, 1080);
    FrameHelp = frame(this, "FrameHelp", QStringLiteral("Help"), 2160, 1020, 7200, 540);
    LabelHelp = label(FrameHelp, "LabelHelp", QString(), 120, 210, 6960, 300);
    CommandHelp = pictureButton(this, "CommandHelp", "help-browser", 9540, 1080);
    CommandExit =
        button(this, "CommandExit", QStringLiteral("E&xit Application"), 11040, 1110, 1740);
    CommandExit->setToolTip(QStringLiteral("Exit Application"));

    // A line of its own: the company's weighted pipeline.
    LabelPipeline = label(this, "LabelPipeline", QString(), 120, 1620, 12660);

    // The projects, or the industry groups of a new project in their place.
    FrameProjects = frame(this, "FrameProjects", QStringLiteral("Select a Project"), ProjectsLeft,
                          MainTop, ProjectsWidth, ProjectsHeight);
    DBListProjects = new DBList(FrameProjects);
    DBListProjects->setObjectName(QStringLiteral("DBListProjects"));
    Twips::setGeometry(DBListProjects, 120, 240, ProjectsWidth - 240, ProjectsHeight - 360);
    DBListProjects->setRowSource(DataTABLE06, QStringLiteral("TEXT02"));
    FrameIndustryGroup =
        frame(this, "FrameIndustryGroup", QStringLiteral("Select Industry Group"), ProjectsLeft,
              MainTop + ProjectsHeight + 600, ProjectsWidth, ProjectsHeight);
    DBListIndustryGroup = new DBList(FrameIndustryGroup);
    DBListIndustryGroup->setObjectName(QStringLiteral("DBListIndustryGroup"));
    Twips::setGeometry(DBListIndustryGroup, 120, 240, ProjectsWidth - 240, ProjectsHeight - 360);
    DBListIndustryGroup->setRowSource(DataMT04, QStringLiteral("TEXT01"));

    // The views and the status.
    FrameGoTo =
        frame(this, "FrameGoTo", QStringLiteral("Go To"), ViewsLeft, MainTop, ViewsWidth, 1140);
    auto option = [this](const char* name, const QString& caption, int top) {
        auto* radio = new QRadioButton(caption, FrameGoTo);
        radio->setObjectName(QLatin1String(name));
        Twips::setGeometry(radio, 120, top, ViewsWidth - 240, 255);
        return radio;
    };
    OptionActiveProjects = option("OptionActiveProjects", QStringLiteral("Active Projects"), 240);
    OptionCancelledProjects =
        option("OptionCancelledProjects", QStringLiteral("Cancelled Projects"), 540);
    OptionCompletedProjects =
        option("OptionCompletedProjects", QStringLiteral("Completed Projects"), 840);
    FrameStatus = frame(this, "FrameStatus", QStringLiteral("Change Status"), ViewsLeft, 3120,
                        ViewsWidth, 660);
    ComboStatus = new QComboBox(FrameStatus);
    ComboStatus->setObjectName(QStringLiteral("ComboStatus"));
    ComboStatus->addItems({ActiveProject, CancelledProject, CompletedProject});
    ComboStatus->setCurrentIndex(-1);
    Twips::setGeometry(ComboStatus, 120, 240, ViewsWidth - 240, 315);

    // Value, probability and the entry date.
    LabelValue = label(this, "LabelValue", QStringLiteral("Project Value"), 6000, 1920, 2400);
    TEXT05 = textBox(this, "TEXT05", 6000, 2160, 2400);
    LabelProbability =
        label(this, "LabelProbability", QStringLiteral("Probability (%)"), 8520, 1920, 1500);
    TEXT06 = textBox(this, "TEXT06", 8520, 2160, 1200);
    LabelEntered = label(this, "LabelEntered", QString(), 9900, 2190, 2880);
    FieldBinder::bind(DataTABLE06, TEXT05, QStringLiteral("TEXT05"));
    FieldBinder::bind(DataTABLE06, TEXT06, QStringLiteral("TEXT06"));

    AUTONUMBER = hiddenBox(this, "AUTONUMBER");
    NUMBER01 = hiddenBox(this, "NUMBER01");
    TEXT01 = hiddenBox(this, "TEXT01");
    LabelIndustryGroup =
        label(this, "LabelIndustryGroup", QStringLiteral("Industry Group"), 0, 0, 1500);
    LabelIndustryGroup->setVisible(false);
    TEXT03 = hiddenBox(this, "TEXT03");
    DATE01 = hiddenBox(this, "DATE01");
    for (QLineEdit* box : {AUTONUMBER, NUMBER01, TEXT01, TEXT03, DATE01})
        FieldBinder::bind(DataTABLE06, box, box->objectName());

    // A new project's name, waiting out of view below the window.
    FrameProjectName = frame(this, "FrameProjectName", QStringLiteral("Give the Project a Name"),
                             ViewsLeft, NameTop + OutOfView, ViewsWidth, 1140);
    TEXT02 = textBox(FrameProjectName, "TEXT02", 120, 240, ViewsWidth - 240);
    TEXT02->setReadOnly(true);
    FieldBinder::bind(DataTABLE06, TEXT02, QStringLiteral("TEXT02"));
    DBComboProjectName = new DBCombo(FrameProjectName);
    DBComboProjectName->setObjectName(QStringLiteral("DBComboProjectName"));
    Twips::setGeometry(DBComboProjectName, 120, 660, ViewsWidth - 240, 315);
    DBComboProjectName->setRowSource(DataMT06, QStringLiteral("TEXT01"));
    CommandDone =
        button(this, "CommandDone", QStringLiteral("&Done"), ViewsLeft, DoneTop + OutOfView, 1200);

    // The action steps of the chosen project.
    FrameAction = frame(this, "FrameAction", QStringLiteral("Action Steps"), ActionLeft, ActionTop,
                        ActionWidth, ActionHeight);
    DBGrid1 = new DBGrid(FrameAction);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    Twips::setGeometry(DBGrid1, 120, 240, ActionWidth - 240, ActionHeight - 360);
    DBGrid1->setDataSource(DataTABLE07);
    DBGrid1->setColumns({QStringLiteral("DATE01"), QStringLiteral("MEMO01")});
    DBGrid1->setColumnCaptions({QStringLiteral("Date"), QStringLiteral("Action Step")});
    DBGrid1->setAllowAddNew(false);
    DBGrid1->horizontalHeader()->resizeSection(0, Twips::toPixelsX(1200));
    DBGrid1->setEnabled(false);
    CommandNewAction =
        pictureButton(this, "CommandNewAction", "accessories-text-editor", 120, 3840);
    CommandEdit = pictureButton(this, "CommandEdit", "edit-find", 780, 3840);
    CommandEdit->setIcon(QIcon(QStringLiteral(":/icons/fields.png")));

    // A new action step: its date from the calendar, then its text.
    FrameNew = frame(this, "FrameNew", QStringLiteral("New Action Step"), ActionLeft, ActionTop,
                     ActionWidth, ActionHeight);
    LabelDate = label(FrameNew, "LabelDate", QStringLiteral("Date"), 120, 270, 600);
    TextDate = textBox(FrameNew, "TextDate", 720, 240, 1500);
    TextDate->setReadOnly(true);
    LabelAction = label(FrameNew, "LabelAction", QStringLiteral("Action"), 120, 630, 600);
    TextAction = new QPlainTextEdit(FrameNew);
    TextAction->setObjectName(QStringLiteral("TextAction"));
    Twips::setGeometry(TextAction, 720, 600, ActionWidth - 840, ActionHeight - 720);
    Colors::setBackground(TextAction, Colors::White);
    auto* hook = new ControlHook(
        this, [this](QObject* watched, QEvent* event) { return controlEvent(watched, event); });
    TextAction->installEventFilter(hook);
    DBListIndustryGroup->viewport()->installEventFilter(hook);
    NUM01 = hiddenBox(this, "NUM01");
    NUM02 = hiddenBox(this, "NUM02");
    FieldBinder::bind(DataTABLE07, NUM01, QStringLiteral("NUMBER01"));
    FieldBinder::bind(DataTABLE07, NUM02, QStringLiteral("NUMBER02"));
    FieldBinder::bind(DataTABLE07, TextDate, QStringLiteral("DATE01"));
    FieldBinder::bind(DataTABLE07, TextAction, QStringLiteral("MEMO01"));
    MonthView1 = calendar(this, "MonthView1", CalendarLeft, CalendarTop + 2 * OutOfView);
    CommandSaveAction = button(this, "CommandSaveAction", QStringLiteral("&Done"), SaveActionLeft,
                               StepButtonsTop, 1080);
    CommandFollowUp = button(this, "CommandFollowUp", QStringLiteral("&Follow Up"),
                             FollowUpButtonLeft, StepButtonsTop, 1200);

    // The follow-up of the step: date, note and the task.
    FrameFollowUp = frame(this, "FrameFollowUp", QStringLiteral("Follow Up"), FollowUpLeft,
                          FollowUpTop, 6780, 3360);
    MonthView2 = calendar(FrameFollowUp, "MonthView2", 120, 240);
    DATE02 = textBox(FrameFollowUp, "DATE02", 120, 240, 1500);
    TEXT04 = textBox(FrameFollowUp, "TEXT04", 120, 660, 6540);
    Check1 = new QCheckBox(FrameFollowUp);
    Check1->setObjectName(QStringLiteral("Check1"));
    Twips::setGeometry(Check1, 120, 1080, 6540, 315);
    CommandOutlook = pictureButton(FrameFollowUp, "CommandOutlook", "outlook", 120, 1500);
    FieldBinder::bind(DataTABLE06, DATE02, QStringLiteral("DATE02"));
    FieldBinder::bind(DataTABLE06, TEXT04, QStringLiteral("TEXT04"));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);

    connect(Timer1, &QTimer::timeout, this, &FormProjects::Timer1_Timer);
    connect(OptionActiveProjects, &QRadioButton::clicked, this,
            &FormProjects::OptionActiveProjects_Click);
    connect(OptionCancelledProjects, &QRadioButton::clicked, this,
            &FormProjects::OptionCancelledProjects_Click);
    connect(OptionCompletedProjects, &QRadioButton::clicked, this,
            &FormProjects::OptionCompletedProjects_Click);
    connect(DBListProjects, &DBList::clicked, this, &FormProjects::DBListProjects_Click);
    connect(ComboStatus, &QComboBox::activated, this, &FormProjects::ComboStatus_Click);
    connect(TEXT03, &QLineEdit::textChanged, this, &FormProjects::showStatus);
    connect(TEXT06, &QLineEdit::textEdited, this, &FormProjects::checkProbability);
    connect(CommandNew, &QPushButton::clicked, this, &FormProjects::CommandNew_Click);
    connect(DBListIndustryGroup, &DBList::clicked, this, &FormProjects::DBListIndustryGroup_Click);
    connect(DBComboProjectName, &DBCombo::clicked, this, [this] {
        DBComboProjectName_Change();
        if (CommandDone->isVisibleTo(this))
            CommandDone->setFocus();
    });
    connect(DBComboProjectName, &DBCombo::changed, this, &FormProjects::DBComboProjectName_Change);
    connect(CommandDone, &QPushButton::clicked, this, &FormProjects::CommandDone_Click);
    connect(CommandNewAction, &QPushButton::clicked, this, &FormProjects::CommandNewAction_Click);
    connect(MonthView1, &QCalendarWidget::clicked, this, &FormProjects::MonthView1_DateClick);
    connect(MonthView1, &QCalendarWidget::activated, this, &FormProjects::MonthView1_DateClick);
    connect(CommandSaveAction, &QPushButton::clicked, this, &FormProjects::CommandSaveAction_Click);
    connect(CommandFollowUp, &QPushButton::clicked, this, &FormProjects::CommandFollowUp_Click);
    connect(MonthView2, &QCalendarWidget::clicked, this, &FormProjects::MonthView2_DateClick);
    connect(MonthView2, &QCalendarWidget::activated, this, &FormProjects::MonthView2_DateClick);
    connect(Check1, &QCheckBox::clicked, this, &FormProjects::Check1_Click);
    connect(CommandOutlook, &QPushButton::clicked, this, &FormProjects::CommandOutlook_Click);
    connect(CommandDelete, &QPushButton::clicked, this, &FormProjects::CommandDelete_Click);
    connect(CommandEdit, &QPushButton::clicked, this, &FormProjects::CommandEdit_Click);
    connect(CommandSummary, &QPushButton::clicked, this, &FormProjects::CommandSummary_Click);
    connect(CommandHelp, &QPushButton::clicked, this, &FormProjects::CommandHelp_Click);
    connect(CommandExit, &QPushButton::clicked, this, &FormProjects::CommandExit_Click);

    // The pipeline follows what is stored of the company's projects.
    connect(DataTABLE06, &DataSource::rowChanged, this, &FormProjects::showPipeline);
    connect(DataTABLE06, &DataSource::rowInserted, this, &FormProjects::showPipeline);
    connect(DataTABLE06, &DataSource::rowRemoved, this, &FormProjects::showPipeline);
    connect(DataTABLE06, &DataSource::refreshed, this, &FormProjects::showPipeline);
}

void FormProjects::buildHoverTexts() {
    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->addBackground(FrameHelp);
    m_help->addBackground(Toolbar1);
    m_help->setText(CommandNew, QStringLiteral("Add new project."));
    m_help->setText(CommandDelete, QStringLiteral("Delete project."));
    m_help->setText(CommandSummary, [this] {
        return QStringLiteral("Display all active projects for ") + companyName() + u'.';
    });
    m_help->setText(CommandNewAction, QStringLiteral("Enter new action step."));
    m_help->setText(CommandEdit, QStringLiteral("Edit or delete action steps."));
    m_help->setText(CommandOutlook, QStringLiteral("Send to MS-Outlook."));
    m_help->setText(CommandHelp, QStringLiteral("Tessaly Help."));
    m_help->setText(CommandExit, QStringLiteral("Exit and close the program."));
    m_help->setText(DBListProjects, QStringLiteral("Select a project."));
    m_help->setText(DBListIndustryGroup, QStringLiteral("Select an industy group."));
    m_help->setText(FrameStatus, QStringLiteral("Change the status of the project."));
    m_help->setText(TEXT05, [this] {
        return QStringLiteral("Enter the potetial value of project ") + projectName() + u'.';
    });
    m_help->setText(TEXT06, QStringLiteral("Enter the probability (%) of completing this project. "
                                           "The probability should normally change as the "
                                           "project progresses."));
    m_help->setText(OptionActiveProjects, [this] {
        return QStringLiteral("Go to all active projects for ") + companyName() + u'.';
    });
    m_help->setText(OptionCancelledProjects, [this] {
        return QStringLiteral("Go to all cancelled projects for ") + companyName() + u'.';
    });
    m_help->setText(OptionCompletedProjects, [this] {
        return QStringLiteral("Go to all completed projects for ") + companyName() + u'.';
    });
    m_help->setText(DBComboSelect, CompanyPicker::hoverText());
}

FormCompanies* FormProjects::companies() const {
    return CompanyOfWindow::companies(this);
}

QString FormProjects::companyName() const {
    return CompanyOfWindow::name(this);
}

QString FormProjects::companyKey() const {
    return CompanyOfWindow::keySql(this);
}

QString FormProjects::projectName() const {
    return TEXT02->text();
}

QString FormProjects::viewSource(const QString& company, const QString& status) {
    return QStringLiteral("SELECT * FROM TABLE06 WHERE") + QStringLiteral(" TABLE06.NUMBER01 =") +
           company + QStringLiteral("  AND TABLE06.TEXT03 = '") + status +
           QStringLiteral("' ORDER BY TEXT01 DESC");
}

QString FormProjects::stepsSource(const QString& project) {
    return QStringLiteral("SELECT * FROM TABLE07 WHERE") + QStringLiteral(" TABLE07.NUMBER01 =") +
           project + QStringLiteral(" ORDER BY  DATE01 ");
}

void FormProjects::Form_Load() {
    Colors::setBackground(this, Colors::White);
    setKeyPreview(true);
    setWindowTitle(QStringLiteral("Projects"));
    FormCompanies* form = companies();
    const QRect size = form ? Twips::geometry(form) : QRect();
    Twips::setSize(this, size.width() > 0 ? size.width() : DefaultWidth,
                   size.height() > 0 ? size.height() : DefaultHeight);
    MonthView1->setSelectedDate(Clock::today());
    MonthView2->setSelectedDate(Clock::today());

    for (QWidget* waiting : std::initializer_list<QWidget*>{
             FrameAction, CommandNewAction, CommandEdit, FrameIndustryGroup, CommandDone, FrameNew,
             MonthView1, CommandSaveAction, CommandFollowUp, FrameFollowUp, FrameHelp})
        waiting->setVisible(false);
    FrameProjectName->setVisible(true); // out of view below the window
    DBComboProjectName->setText(ProjectNamePrompt);

    // The companies of the companies window's view.
    DataTABLE01->setRecordSource(CompanyView::recordSource(form && form->isCompanyArchived(),
                                                           form ? form->chosenUser() : QString()));
    DataMessages::refresh(DataTABLE01);
    DataMessages::refresh(DataMT04);
    DataMessages::refresh(DataMT06);
    Load();
    Timer1->start();
}

void FormProjects::Form_Activate() {
    // Coming back to the window (from a message, the summary) in the middle
    // of a new project or step keeps what is being entered.
    if ((m_newProject || m_enteringStep) && companyKey() == m_loadedCompany)
        return;
    Load();
}

void FormProjects::Form_Unload(bool& cancel) {
    Timer1->stop();
    WorkingWindow::Form_Unload(cancel);
}

void FormProjects::Load() {
    if (m_newProject)
        abandonNewProject();
    if (m_enteringStep)
        abandonStep();
    m_loadedCompany = companyKey();
    OptionActiveProjects->setChecked(true);
    showView(ActiveProject);
}

void FormProjects::showView(const QString& status) {
    DataTABLE06->setRecordSource(viewSource(companyKey(), status));
    DataMessages::refresh(DataTABLE06);
    // Another list of projects: none is chosen.
    FrameAction->setVisible(false);
    CommandNewAction->setVisible(false);
    CommandEdit->setVisible(false);
    showStatus();
}

void FormProjects::OptionActiveProjects_Click() {
    showView(ActiveProject);
}

void FormProjects::OptionCancelledProjects_Click() {
    showView(CancelledProject);
}

void FormProjects::OptionCompletedProjects_Click() {
    showView(CompletedProject);
}

void FormProjects::showStatus() {
    const QSignalBlocker blocker(ComboStatus);
    ComboStatus->setCurrentIndex(ComboStatus->findText(TEXT03->text()));
}

void FormProjects::showPipeline() {
    m_pipeline->setRecordSource(
        QStringLiteral("SELECT TEXT05, TEXT06 FROM TABLE06 WHERE TABLE06.NUMBER01 = ") +
        companyKey() + QStringLiteral(" AND TABLE06.TEXT03 = '") + ActiveProject +
        QStringLiteral("'"));
    if (!m_pipeline->refresh()) {
        LabelPipeline->setText(QString());
        return;
    }
    const QStringList values = m_pipeline->columnTexts(0);
    const QStringList probabilities = m_pipeline->columnTexts(1);
    QList<ProjectPipeline::Project> list;
    for (int i = 0; i < values.size(); ++i)
        list.append({values.at(i), probabilities.value(i)});
    LabelPipeline->setText(ProjectPipeline::text(ProjectPipeline::sum(list)));
}

QString FormProjects::pipelineText() const {
    return LabelPipeline->text();
}

void FormProjects::Timer1_Timer() {
    LabelDateandTime->setText(Locale::dateText(Clock::today()) + u' ' +
                              Locale::timeText(Clock::time()));
    LabelEntered->setText(QStringLiteral("Entered on ") + DATE01->text());
    setWindowTitle(QStringLiteral("Projects - ") + companyName());
    DBListProjects->setEnabled(!m_enteringStep);
}

void FormProjects::DBListProjects_Click() {
    const QByteArray bookmark = DBListProjects->selectedItem();
    if (bookmark.isEmpty() || !DataTABLE06->recordset()->setBookmark(bookmark) ||
        AUTONUMBER->text().trimmed().isEmpty()) {
        MsgBox::show(QStringLiteral("There are no records to choose from"),
                     MsgBox::OKOnly | MsgBox::Critical, MsgBox::defaultTitle());
        return;
    }
    FrameStatus->setVisible(true);
    FrameAction->setVisible(true);
    DataTABLE07->setRecordSource(stepsSource(AUTONUMBER->text().trimmed()));
    if (!DataTABLE07->refresh()) {
        MsgBox::show(QStringLiteral("There are no records to choose from"),
                     MsgBox::OKOnly | MsgBox::Critical, MsgBox::defaultTitle());
        return;
    }
    CommandNewAction->setVisible(true);
    CommandEdit->setVisible(true);
}

void FormProjects::ComboStatus_Click() {
    if (DataTABLE06->currentRow() < 0 || ComboStatus->currentIndex() < 0) {
        showStatus();
        return;
    }
    const QByteArray project = DataTABLE06->recordset()->bookmark();
    TEXT03->setText(ComboStatus->currentText());
    DataMessages::refresh(DataTABLE06);
    // The project stays chosen while the view still lists it.
    const int row = DataTABLE06->rowOfBookmark(project);
    if (row >= 0) {
        DataTABLE06->recordset()->setBookmark(project);
        DBListProjects->setListIndex(row);
    } else {
        FrameAction->setVisible(false);
        CommandNewAction->setVisible(false);
        CommandEdit->setVisible(false);
    }
    showStatus();
}

void FormProjects::checkProbability() {
    const QString text = TEXT06->text();
    if (text.isEmpty())
        return;
    const auto value = Locale::parseNumber(text.trimmed());
    if (value && *value >= 1 && *value <= 100)
        return;
    MsgBox::show(QStringLiteral("You must enter a numerical value between 1 and 100"),
                 MsgBox::OKOnly | MsgBox::Information);
    TEXT06->clear();
    TEXT06->setFocus();
}

void FormProjects::CommandNew_Click() {
    FormCompanies* form = companies();
    const QString key = form ? form->storedCompanyKey() : QString();
    if (key.isEmpty())
        return; // no company to add a project to
    if (!DataTABLE06->recordset()->addNew())
        return;
    m_newProject = true;
    NUMBER01->setText(key);
    Twips::move(FrameIndustryGroup, ProjectsLeft, Twips::geometry(FrameProjects).y());
    FrameIndustryGroup->setVisible(true);
    for (QWidget* hidden : std::initializer_list<QWidget*>{
             FrameProjects, FrameAction, FrameGoTo, FrameStatus, CommandNewAction, CommandEdit})
        hidden->setVisible(false);
    DATE01->setText(Locale::dateText(Clock::today()));
    TEXT03->setText(ActiveProject);
    CommandNew->setEnabled(false);
    CommandDelete->setEnabled(false);
    DataMessages::refresh(DataMT04);
    DataMessages::refresh(DataMT06);
    DBComboProjectName->setText(ProjectNamePrompt);
}

bool FormProjects::controlEvent(QObject* watched, QEvent* event) {
    if (watched == TextAction && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // A step is one paragraph: the line break is refused.
            ++m_refusedEnters;
            QApplication::beep();
            return true;
        }
    }
    // A click in an empty industry list chooses nothing: the list must be
    // filled in the master tables first.
    if (watched == DBListIndustryGroup->viewport() && event->type() == QEvent::MouseButtonRelease &&
        DBListIndustryGroup->listCount() == 0)
        DBListIndustryGroup_Click();
    return false;
}

void FormProjects::DBListIndustryGroup_Click() {
    if (!m_newProject)
        return;
    const QString group = DBListIndustryGroup->text();
    if (DBListIndustryGroup->selectedItem().isEmpty())
        MsgBox::show(QStringLiteral("You must enter an 'Industry Group' in Mastertables"),
                     MsgBox::OKOnly | MsgBox::Critical, MsgBox::defaultTitle());
    else
        TEXT01->setText(group);
    Twips::move(FrameProjectName, ViewsLeft, NameTop);
    FrameProjectName->setVisible(true);
    FrameStatus->setVisible(false);
}

void FormProjects::DBComboProjectName_Change() {
    if (!m_newProject)
        return;
    const QString name = DBComboProjectName->text().trimmed();
    if (name.isEmpty() || name == ProjectNamePrompt)
        return;
    TEXT02->setText(name);
    Twips::move(CommandDone, ViewsLeft, DoneTop);
    CommandDone->setVisible(true);
}

void FormProjects::CommandDone_Click() {
    if (!m_newProject)
        return;
    if (!DataMessages::refresh(DataTABLE06))
        return; // the new project was refused: it stays being entered
    const QByteArray stored = DataTABLE06->recordset()->lastModified();
    endNewProject();
    // The new project is the chosen one, in the view of active projects.
    if (DataTABLE06->rowOfBookmark(stored) < 0) {
        OptionActiveProjects->setChecked(true);
        showView(ActiveProject);
    }
    const int row = DataTABLE06->rowOfBookmark(stored);
    if (row >= 0) {
        DBListProjects->setListIndex(row);
        DBListProjects_Click();
    }
    FrameGoTo->setVisible(true);
    FrameAction->setVisible(true);
    CommandNewAction->setVisible(true);
    CommandEdit->setVisible(true);
}

void FormProjects::endNewProject() {
    m_newProject = false;
    FrameIndustryGroup->setVisible(false);
    Twips::move(FrameProjectName, ViewsLeft, NameTop + OutOfView);
    Twips::move(CommandDone, ViewsLeft, DoneTop + OutOfView);
    CommandDone->setVisible(false);
    FrameProjects->setVisible(true);
    FrameGoTo->setVisible(true);
    FrameStatus->setVisible(true);
    CommandNew->setEnabled(true);
    CommandDelete->setEnabled(true);
    DBComboProjectName->setText(ProjectNamePrompt);
}

void FormProjects::abandonNewProject() {
    // A project that has its name is kept for the company it was begun for;
    // one without is dropped.
    if (TEXT02->text().trimmed().isEmpty())
        DataTABLE06->recordset()->cancelUpdate();
    else
        DataTABLE06->save();
    endNewProject();
}

void FormProjects::CommandNewAction_Click() {
    const QString project = AUTONUMBER->text().trimmed();
    if (DataTABLE06->currentRow() < 0 || project.isEmpty()) {
        MsgBox::show(QStringLiteral("You must select your Project before adding Action Steps."),
                     MsgBox::OKOnly | MsgBox::Information);
        return;
    }
    // The step belongs to the project shown.
    if (DataTABLE07->recordSource() != stepsSource(project)) {
        DataTABLE07->setRecordSource(stepsSource(project));
        DataTABLE07->refresh();
    }
    if (!DataTABLE07->recordset()->addNew()) {
        MsgBox::show(QStringLiteral("You must select your Project before adding Action Steps."),
                     MsgBox::OKOnly | MsgBox::Information);
        return;
    }
    m_enteringStep = true;
    m_stepProject = project;
    m_stepProjectName = TEXT02->text();
    NUM01->setText(project);
    NUM02->setText(NUMBER01->text());
    Twips::move(FrameNew, ActionLeft, Twips::geometry(FrameAction).y());
    FrameAction->setVisible(false);
    for (QWidget* locked : std::initializer_list<QWidget*>{
             FrameGoTo, FrameStatus, CommandNew, CommandDelete, CommandNewAction, CommandEdit})
        locked->setEnabled(false);
    Twips::move(MonthView1, CalendarLeft, CalendarTop);
    MonthView1->setVisible(true);
    MonthView1->raise();
    MonthView1->setFocus();
    LabelHelp->setText(QStringLiteral("Select a date."));
    FrameHelp->setVisible(true);
}

void FormProjects::MonthView1_DateClick(const QDate& date) {
    if (!m_enteringStep)
        return;
    FrameNew->setVisible(true);
    TextDate->setText(Locale::dateText(date));
    Twips::move(CommandSaveAction, SaveActionLeft, StepButtonsTop);
    Twips::move(CommandFollowUp, FollowUpButtonLeft, StepButtonsTop);
    CommandSaveAction->setVisible(true);
    CommandFollowUp->setVisible(true);
    MonthView1->setVisible(false);
    TextAction->setFocus();
}

void FormProjects::CommandSaveAction_Click() {
    if (!m_enteringStep)
        return;
    // The step is stored where it was begun; a refused step stays on screen.
    if (!DataMessages::refresh(DataTABLE07))
        return;
    reopen();
}

void FormProjects::reopen() {
    m_enteringStep = false;
    ModuleButtons::SwitchToCompanies();
    ModuleButtons::SwitchToProjects();
}

void FormProjects::CommandFollowUp_Click() {
    if (!m_enteringStep)
        return;
    Twips::move(FrameFollowUp, FollowUpLeft, FollowUpTop);
    FrameFollowUp->setVisible(true);
    MonthView2->setVisible(true);
    for (QWidget* waiting : std::initializer_list<QWidget*>{DATE02, TEXT04, Check1, CommandOutlook})
        waiting->setVisible(false);
    CommandSaveAction->setVisible(false);
    CommandFollowUp->setVisible(false);
    LabelHelp->setText(QStringLiteral("Select a follow-up date."));
    FrameHelp->setVisible(true);
}

QString FormProjects::oneProjectNote() const {
    return companyName() + QStringLiteral(": Follow up on ") + m_stepProjectName + u'.';
}

void FormProjects::MonthView2_DateClick(const QDate& date) {
    if (!m_enteringStep)
        return;
    for (QWidget* shown : std::initializer_list<QWidget*>{DATE02, TEXT04, Check1, CommandOutlook})
        shown->setVisible(true);
    FrameHelp->setVisible(false);
    MonthView2->setVisible(false);
    DATE02->setText(Locale::dateText(date));
    TEXT04->setText(oneProjectNote());
    Check1->setChecked(false);
    Check1->setText(QStringLiteral("Follow up all projects for ") + companyName());
}

void FormProjects::Check1_Click() {
    TEXT04->setText(Check1->isChecked()
                        ? companyName() + QStringLiteral(": Follow up on all projects.")
                        : oneProjectNote());
}

void FormProjects::CommandOutlook_Click() {
    if (!m_enteringStep)
        return;
    ModuleMouse::PointerBusy();
    QString error;
    bool ok = false;
    std::unique_ptr<OutlookItem> item = MailApp::CreateItem(MailApp::olTaskItem);
    if (auto* task = dynamic_cast<TaskItem*>(item.get())) {
        task->Subject = TEXT04->text();
        const auto due = Locale::parseDate(DATE02->text());
        if (!due) {
            error = QStringLiteral("\"%1\" is not a date.").arg(DATE02->text());
        } else {
            task->DueDate = *due;
            ok = task->Save(&error);
        }
    } else {
        error = QStringLiteral("The mail program cannot make a new task.");
    }
    item.reset();
    ModuleMouse::PointerNormal();
    if (!ok) {
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    MsgBox::show(QStringLiteral("Your Follow-Up has been saved in MS-Outlook"),
                 MsgBox::OKOnly | MsgBox::Information);
    // Closing the window stores the project's follow-up and the step.
    reopen();
}

void FormProjects::abandonStep() {
    // The company changed under a step being entered: a step with its date
    // is kept for the project it was begun for, one without is dropped.
    if (TextDate->text().trimmed().isEmpty())
        DataTABLE07->recordset()->cancelUpdate();
    else
        DataTABLE07->save();
    // A follow-up note not yet sent to the task list is stored with its
    // project before the list moves on.
    DataTABLE06->save();
    m_enteringStep = false;
    for (QWidget* hidden : std::initializer_list<QWidget*>{
             FrameNew, MonthView1, CommandSaveAction, CommandFollowUp, FrameFollowUp, FrameHelp})
        hidden->setVisible(false);
    for (QWidget* unlocked : std::initializer_list<QWidget*>{
             FrameGoTo, FrameStatus, CommandNew, CommandDelete, CommandNewAction, CommandEdit})
        unlocked->setEnabled(true);
}

void FormProjects::CommandDelete_Click() {
    if (MsgBox::show(QStringLiteral("Are you sure you want to delete this project?"),
                     MsgBox::YesNo | MsgBox::Question, MsgBox::defaultTitle()) != MsgBox::Yes)
        return;
    if (DataTABLE06->recordset()->recordCount() < 1)
        return;
    // Its action steps stay in their table.
    if (!DataTABLE06->recordset()->deleteCurrent() || !DataTABLE06->refresh()) {
        MsgBox::show(QStringLiteral("There are no projects to delete"),
                     MsgBox::OKOnly | MsgBox::Information, MsgBox::defaultTitle());
        return;
    }
    FrameAction->setVisible(false);
    CommandNewAction->setVisible(false);
    CommandEdit->setVisible(false);
    showStatus();
}

void FormProjects::CommandEdit_Click() {
    DBGrid1->setEnabled(true);
}

void FormProjects::CommandSummary_Click() {
    Forms::show(QStringLiteral("FormProjectSummary"));
}
