#include "FormReports.h"

#include "FormAllCallReports.h"
#include "FormReportCompActivities.h"
#include "FormReportCompanies.h"
#include "FormReportContacts.h"
#include "FormReportProjects.h"
#include "app/Controls.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "app/ModuleExcelReports.h"
#include "app/ModuleHelp.h"
#include "app/ModuleMouse.h"
#include "app/ModuleProgress.h"
#include "office/SalesReportSource.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"

#include <QCheckBox>
#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

const QString FilterWindow = QStringLiteral("FormFilter");
const QString OverdueWindow = QStringLiteral("FormOverdue");

// The progress bar's frame and the bar inside it, in twips.
constexpr int BarLeft = 240, BarTop = 5520, BarHeight = 255;
constexpr int FrameWidth = 8775, BarStartWidth = 135;

struct ReportCommand {
    const char* button;
    const char* label;
    QString caption;
    const char* icon;
    QString help;
    void (FormReports::*click)();
};

QFrame* shape(QWidget* parent, const char* name, int width, const QString& style) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setStyleSheet(QStringLiteral("QFrame#%1 { %2 }").arg(QLatin1String(name), style));
    Twips::setGeometry(frame, BarLeft, BarTop, width, BarHeight);
    frame->setVisible(false);
    return frame;
}

} // namespace

FormReports::FormReports()
    : Form(QString::fromLatin1(Name)) {
    const QList<ReportCommand> commands = {
        {"CommandCompanies", "LabelCompanies", QStringLiteral(" Companies"), "companies",
         QStringLiteral("Select and filter reports on companies. Press F1 for help."),
         &FormReports::CommandCompanies_Click},
        {"CommandContacts", "LabelContacts", QStringLiteral(" Contacts"), "allcontacts",
         QStringLiteral("Select and filter reports on contacts. Press F1 for help."),
         &FormReports::CommandContacts_Click},
        {"CommandProjects", "LabelProjects", QStringLiteral(" Active Projects"), "presentation",
         QStringLiteral("Select and filter reports on projects. Press F1 for help."),
         &FormReports::CommandProjects_Click},
        {"CommandCallReports", "LabelCallReports", QStringLiteral(" Filter Call Reports"),
         "accessories-text-editor",
         QStringLiteral("Filter call reports by date, salesperson or division.  Press F1 for "
                        "help."),
         &FormReports::CommandCallReports_Click},
        {"CommandSearch", "Label1", QStringLiteral(" Search Call Reports"), "edit-find",
         QStringLiteral("Search all call reports for key phrases.  Press F1 for help."),
         &FormReports::CommandSearch_Click},
        {"CommandOverdue", "Label2", QStringLiteral(" Overdue Visits"), "databasesize",
         QStringLiteral("Search for overdue customer visits. Press F1 for help."),
         &FormReports::CommandOverdue_Click},
        {"CommandCompetitors", "Label3", QStringLiteral(" Competitors Activities"), "competition",
         QStringLiteral("List all competitor's products sold.  Press F1 for help."),
         &FormReports::CommandCompetitors_Click},
        {"CommandSales", "Label4", QStringLiteral(" Sales"), "importsales",
         QStringLiteral("Displays all sales figures. Press F1 for help."),
         &FormReports::CommandSales_Click},
    };

    FrameHelp = new QGroupBox(QStringLiteral("Help"), this);
    FrameHelp->setObjectName(QStringLiteral("FrameHelp"));
    Twips::setGeometry(FrameHelp, 240, 6000, 10935, 1095);
    LabelHelp = Controls::label(FrameHelp, "LabelHelp", QString(), 120, 300, 10695, 675);
    LabelHelp->setWordWrap(true);
    LabelHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->addBackground(FrameHelp);

    int top = 240;
    for (const ReportCommand& command : commands) {
        QPushButton* button = Controls::button(this, command.button, QString(), 240, top, 495, 495);
        button->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(command.icon))));
        button->setIconSize(QSize(Twips::toPixelsX(375), Twips::toPixelsY(375)));
        QLabel* label = Controls::label(this, command.label, command.caption, 840, top, 3000, 495);
        connect(button, &QPushButton::clicked, this, command.click);
        m_help->setText(button, command.help);
        if (command.click == &FormReports::CommandCallReports_Click) {
            CommandCallReports = button;
            LabelCallReports = label;
        }
        top += 600;
    }

    FrameDisplay =
        new QGroupBox(QStringLiteral("Which Fields do you want to display in your Report?"), this);
    FrameDisplay->setObjectName(QStringLiteral("FrameDisplay"));
    Twips::setGeometry(FrameDisplay, 4080, 240, 7095, 4335);
    m_help->addBackground(FrameDisplay);
    // Three columns of six; Select All closes the third. Check19 and Check20
    // are never shown.
    for (int box = 1; box <= FieldBoxes; ++box) {
        auto* checkBox = new QCheckBox(FrameDisplay);
        checkBox->setObjectName(QStringLiteral("Check%1").arg(box));
        const int slot = std::min(box, 18) - 1;
        Twips::setGeometry(checkBox, 240 + (slot / 6) * 2280, 360 + (slot % 6) * 480, 2160, 375);
        checkBox->setVisible(false);
        m_checks[size_t(box - 1)] = checkBox;
    }
    connect(check(18), &QCheckBox::clicked, this, &FormReports::Check18_Click);
    CommandGoCompanies = Controls::button(FrameDisplay, "CommandGoCompanies", QStringLiteral("&Go"),
                                          240, 3720, 1215, 375);
    CommandGoContacts = Controls::button(FrameDisplay, "CommandGoContacts", QStringLiteral("&Go"),
                                         1680, 3720, 1215, 375);
    connect(CommandGoCompanies, &QPushButton::clicked, this,
            &FormReports::CommandGoCompanies_Click);
    connect(CommandGoContacts, &QPushButton::clicked, this, &FormReports::CommandGoContacts_Click);

    Image1 = Controls::label(this, "Image1", QString(), 4080, 4800, 480, 480);
    Image1->setPixmap(QIcon(QStringLiteral(":/icons/reports.png"))
                          .pixmap(Twips::toPixelsX(480), Twips::toPixelsY(480)));
    LabelLoad = Controls::label(this, "LabelLoad", QStringLiteral("Loading MS-Excel ..."), 4680,
                                4800, 4000, 480);
    QFont bold = LabelLoad->font();
    bold.setBold(true);
    LabelLoad->setFont(bold);

    Shape2 = shape(this, "Shape2", FrameWidth,
                   QStringLiteral("background: #c0c0c0; border: 1px solid #808080;"));
    Shape1 = shape(this, "Shape1", BarStartWidth, QStringLiteral("background: #000080;"));
    Shape1->raise();

    CommandHelp = Controls::pictureButton(this, "CommandHelp", "help-browser", 10440, 5460);
    CommandHelp->setToolTip(QStringLiteral("Help"));
    connect(CommandHelp, &QPushButton::clicked, this, &FormReports::CommandHelp_Click);
}

void FormReports::Form_Load() {
    setWindowTitle(QStringLiteral("Reports"));
    Colors::setBackground(this, Colors::White);
    // The main menu's size, less the title bar, which the window manager adds.
    Twips::setFixedSize(this, 11415, 8055 - 400);
    setKeyPreview(true);
    FrameDisplay->setVisible(false);
    hideFieldBoxes();
    CommandGoCompanies->setVisible(false);
    CommandGoContacts->setVisible(false);
    showLoading(false);
    FrameHelp->setVisible(false);
    // The call report filter is its own window; the command waits for it.
    const bool filter = Forms::isRegistered(FilterWindow);
    CommandCallReports->setEnabled(filter);
    LabelCallReports->setEnabled(filter);
}

bool FormReports::Form_KeyUp(QKeyEvent* event) {
    if (event->key() != Qt::Key_F1)
        return false;
    ModuleHelp::ShowHelp();
    return true;
}

void FormReports::hideFieldBoxes() {
    for (QCheckBox* box : m_checks)
        box->setVisible(false);
}

void FormReports::showLoading(bool on) {
    Image1->setVisible(on);
    LabelLoad->setVisible(on);
}

void FormReports::resetProgress() {
    Shape1->setVisible(false);
    Shape2->setVisible(false);
    Twips::setGeometry(Shape1, BarLeft, BarTop, BarStartWidth, BarHeight);
}

void FormReports::chooseFields(const QStringList& captions, QPushButton* go, QPushButton* other) {
    hideFieldBoxes();
    // Both Go buttons stand in one place.
    Twips::move(go, 240, 3720);
    go->setVisible(true);
    other->setVisible(false);
    FrameDisplay->setVisible(true);
    for (int box = 1; box <= captions.size(); ++box) {
        check(box)->setText(captions.at(box - 1));
        check(box)->setVisible(true);
    }
    check(18)->setText(QStringLiteral("Select All"));
    check(18)->setVisible(true);
}

void FormReports::CommandCompanies_Click() {
    chooseFields(ModuleExcelReports::companyLabels(), CommandGoCompanies, CommandGoContacts);
}

void FormReports::CommandContacts_Click() {
    chooseFields(ModuleExcelReports::contactLabels(), CommandGoContacts, CommandGoCompanies);
}

void FormReports::Check18_Click() {
    // Ticks every field, also those the contacts report does not show; it
    // never clears them.
    for (int box = 1; box <= 17; ++box)
        check(box)->setChecked(true);
}

// A finished report has reloaded the window; after a failure (shown by the
// report itself) the window stays as it was, without the loading notice.
void FormReports::CommandGoCompanies_Click() {
    showLoading(true);
    if (ReportQuery::run(QString::fromLatin1(FormReportCompanies::Name)).isEmpty()) {
        showLoading(false);
        resetProgress();
    }
}

void FormReports::CommandGoContacts_Click() {
    showLoading(true);
    if (ReportQuery::run(QString::fromLatin1(FormReportContacts::Name)).isEmpty()) {
        showLoading(false);
        resetProgress();
    }
}

void FormReports::CommandProjects_Click() {
    showLoading(true);
    hideFieldBoxes();
    const bool made = !ReportQuery::run(QString::fromLatin1(FormReportProjects::Name)).isEmpty();
    CommandGoCompanies->setVisible(false);
    CommandGoContacts->setVisible(false);
    if (!made) {
        showLoading(false);
        resetProgress();
    }
}

void FormReports::CommandCompetitors_Click() {
    showLoading(true);
    ReportQuery::run(QString::fromLatin1(FormReportCompActivities::Name));
    showLoading(false);
}

void FormReports::CommandSales_Click() {
    const QString dateColumn = SalesReportSource::dateColumn();
    ModuleMouse::PointerBusy();
    ModuleProgress::ProgressStep();
    QString error;
    const auto status = SalesReportSource::captureToClipboard(dateColumn, &error);
    if (status != SalesReportSource::Status::Captured) {
        ModuleMouse::PointerNormal();
        resetProgress();
        switch (status) {
        case SalesReportSource::Status::NotImported:
            MsgBox::show(QStringLiteral("No sales figures have been imported yet, so there is no "
                                        "sales report to show. Import your sales figures with "
                                        "Import Sales on the main menu first."),
                         MsgBox::OKOnly | MsgBox::Information);
            break;
        case SalesReportSource::Status::NoDateColumn:
            MsgBox::show(QStringLiteral("The date column of your sales figures is not named. "
                                        "Enter it with Import Sales on the main menu first."),
                         MsgBox::OKOnly | MsgBox::Information);
            break;
        default:
            MsgBox::show(QStringLiteral("Your sales figures have not been imported correctly.") +
                             QStringLiteral("\n\n") + error,
                         MsgBox::OKOnly | MsgBox::Critical);
            break;
        }
        return;
    }
    ModuleProgress::ProgressStep();
    ModuleProgress::ProgressStep();
    if (ModuleExcelReports::ExcelReportSales().isEmpty())
        resetProgress();
}

void FormReports::CommandCallReports_Click() {
    Forms::show(FilterWindow);
}

void FormReports::CommandSearch_Click() {
    auto* search = Forms::get<FormAllCallReports>();
    if (!search)
        return;
    if (search->Open(QStringLiteral("Search Call Reports"),
                     QStringLiteral("SELECT * FROM TABLE08 ORDER BY  TABLE08.DATE01 DESC")))
        search->FocusSearch();
}

void FormReports::CommandOverdue_Click() {
    Forms::show(OverdueWindow);
}

void FormReports::CommandHelp_Click() {
    ModuleHelp::ShowHelp();
}
