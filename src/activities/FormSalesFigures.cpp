#include "FormSalesFigures.h"

#include "FormSales.h"
#include "app/Controls.h"
#include "app/Forms.h"
#include "app/FunctionKeyBar.h"
#include "app/HoverHelp.h"
#include "app/ModuleButtons.h"
#include "app/ModuleExcelReports.h"
#include "app/ModuleMouse.h"
#include "companies/CompanyOfWindow.h"
#include "companies/FormCompanies.h"
#include "data/CompanyView.h"
#include "data/DataSource.h"
#include "data/Recordset.h"
#include "data/SalesImport.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "services/Clipboard.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/CompanyPicker.h"
#include "widgets/DBGrid.h"
#include "widgets/DataMessages.h"
#include "widgets/FlexGrid.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

using Controls::button;
using Controls::label;
using Controls::pictureButton;

constexpr int DefaultWidth = 12900, DefaultHeight = 7130;

} // namespace

QString FormSalesFigures::notImportedMessage() {
    return QStringLiteral("Your sales figures have not been imported correctly.");
}

FormSalesFigures::FormSalesFigures()
    : WorkingWindow(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    buildControls();
    buildHoverTexts();
}

void FormSalesFigures::buildControls() {
    DataSales = new DataSource(QStringLiteral("DataSales"), this);
    DataSales->setDatabaseName(QStringLiteral("User.mdb"));
    DataSales->setReadOnly(true);
    DataTABLE01 = new DataSource(QStringLiteral("DataTABLE01"), this);
    DataTABLE01->setDatabaseName(QStringLiteral("TESSALY.mdb"));

    m_functionKeys = new FunctionKeyBar(QString::fromLatin1(Name), this);
    Twips::setGeometry(m_functionKeys, 120, 60, 12660, 300);
    LabelSelect = label(this, "LabelSelect", CompanyPicker::prompt(), 120, 420, 3000);
    DBComboSelect = new CompanyPicker(CompanyPicker::Follow::ChoiceAndTyping, this);
    DBComboSelect->setObjectName(QStringLiteral("DBComboSelect"));
    Twips::setGeometry(DBComboSelect, 120, 690, 4200, 315);
    DBComboSelect->setCompanies(DataTABLE01);
    Colors::setBackground(DBComboSelect, Colors::White);
    DBComboSelect->setCurrentCompany([this]() -> CurrentCompany* { return companies(); });
    connect(DBComboSelect, &CompanyPicker::companyChosen, this, &FormSalesFigures::Load);
    LabelDateandTime = label(this, "LabelDateandTime", QString(), 4560, 720, 3600);

    CommandExcel = pictureButton(this, "CommandExcel", "export", 8580, 600);
    CommandHelp = pictureButton(this, "CommandHelp", "help-browser", 9240, 600);
    CommandExit =
        button(this, "CommandExit", QStringLiteral("E&xit Application"), 11040, 630, 1740);
    CommandExit->setToolTip(QStringLiteral("Exit Application"));
    connect(CommandExcel, &QPushButton::clicked, this, &FormSalesFigures::CommandExcel_Click);
    connect(CommandHelp, &QPushButton::clicked, this, &FormSalesFigures::CommandHelp_Click);
    connect(CommandExit, &QPushButton::clicked, this, &FormSalesFigures::CommandExit_Click);

    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    Twips::setGeometry(DBGrid1, 120, 1200, 12660, 4800);
    DBGrid1->setDataSource(DataSales);
    DBGrid1->setAllowAddNew(false);
    DBGrid1->setAllowUpdate(false);
    DBGrid1->setAllowDelete(false);

    // Out of view: it gives the rows as text for the workbook.
    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    Twips::setGeometry(MSFlexGrid1, 120, 9000, 12660, 1200);
    MSFlexGrid1->setDataSource(DataSales);
    MSFlexGrid1->setVisible(false);

    FrameHelp = new QGroupBox(QStringLiteral("Help"), this);
    FrameHelp->setObjectName(QStringLiteral("FrameHelp"));
    Twips::setGeometry(FrameHelp, 120, 6120, 12660, 720);
    LabelHelp = label(FrameHelp, "LabelHelp", QString(), 120, 210, 12420, 480);

    TimerLoad = new QTimer(this);
    TimerLoad->setObjectName(QStringLiteral("TimerLoad"));
    TimerLoad->setInterval(10);
    connect(TimerLoad, &QTimer::timeout, this, &FormSalesFigures::TimerLoad_Timer);
}

void FormSalesFigures::buildHoverTexts() {
    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->addBackground(FrameHelp);
    m_help->setText(CommandExcel, [this] {
        return QStringLiteral("Display sales to ") + companyName() +
               QStringLiteral(" in MS-Excel.");
    });
    m_help->setText(CommandHelp, QStringLiteral("Tessaly Help"));
    m_help->setText(CommandExit, QStringLiteral("Exit and close the program."));
    m_help->setText(DBComboSelect, CompanyPicker::hoverText());
}

FormCompanies* FormSalesFigures::companies() const {
    return CompanyOfWindow::companies(this);
}

QString FormSalesFigures::companyName() const {
    return CompanyOfWindow::name(this);
}

void FormSalesFigures::Form_Load() {
    Colors::setBackground(this, Colors::White);
    setKeyPreview(true);
    setWindowTitle(QStringLiteral("Sales"));
    FormCompanies* form = companies();
    const QRect size = form ? Twips::geometry(form) : QRect();
    Twips::setSize(this, size.width() > 0 ? size.width() : DefaultWidth,
                   size.height() > 0 ? size.height() : DefaultHeight);
    FrameHelp->setVisible(false);
    DataTABLE01->setRecordSource(CompanyView::recordSource(form && form->isCompanyArchived(),
                                                           form ? form->chosenUser() : QString()));
    DataMessages::refresh(DataTABLE01);
    TimerLoad->start();
}

void FormSalesFigures::Form_Activate() {
    Load();
}

bool FormSalesFigures::querySales() {
    // The names as the import window holds them (loaded hidden when closed).
    FormSales* import = Forms::get<FormSales>();
    FormCompanies* form = companies();
    if (!import || !form)
        return false;
    const QString account = form->dataTable01()->recordset()->fieldText(QStringLiteral("TEXT02"));
    DataSales->setRecordSource(SalesImport::companySource(import->accountColumn(),
                                                          import->dateColumn(), account.trimmed()));
    return DataSales->refresh();
}

void FormSalesFigures::Load() {
    // The message and the switch activate other windows; their activation
    // must not read again.
    if (m_loading)
        return;
    m_loading = true;
    const bool read = querySales();
    if (!read) {
        MsgBox::show(notImportedMessage(), MsgBox::OKOnly | MsgBox::Critical);
        ModuleButtons::SwitchToCompanies();
    }
    m_loading = false;
}

void FormSalesFigures::TimerLoad_Timer() {
    const QString now = Locale::dateText(Clock::today()) + u' ' + Locale::timeText(Clock::time());
    if (LabelDateandTime->text() != now)
        LabelDateandTime->setText(now);
    const QString caption = QStringLiteral("Sales - ") + companyName();
    if (windowTitle() != caption)
        setWindowTitle(caption);
}

void FormSalesFigures::CommandExcel_Click() {
    if (!querySales()) {
        ModuleMouse::PointerNormal();
        const QString error = DataSales->lastError();
        MsgBox::show(error.isEmpty() ? notImportedMessage() : error, MsgBox::OKOnly);
        return;
    }
    // Every data column with its title row, as text.
    const int rows = MSFlexGrid1->rows();
    const int columns = MSFlexGrid1->cols();
    MSFlexGrid1->setSelectionBlock(0, 1, rows - 1, columns - 1);
    const QString text = MSFlexGrid1->clip();
    Clipboard::clear();
    Clipboard::setText(text);
    PrintSales();
}

QString FormSalesFigures::PrintSales() {
    ModuleMouse::PointerBusy();
    return ModuleExcelReports::ExcelReportSales();
}

void FormSalesFigures::Form_Unload(bool& cancel) {
    TimerLoad->stop();
    WorkingWindow::Form_Unload(cancel);
}
