#include "FormProjectSummary.h"

#include "app/Controls.h"
#include "app/Forms.h"
#include "app/ModuleMouse.h"
#include "companies/FormCompanies.h"
#include "data/DataSource.h"
#include "data/SqlQuote.h"
#include "formats/Sheet.h"
#include "formats/Workbook.h"
#include "office/SpreadsheetApp.h"
#include "platform/ProgramFolder.h"
#include "services/Clipboard.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/DataMessages.h"
#include "widgets/FlexGrid.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QRandomGenerator>
#include <cmath>

namespace {

constexpr int DefaultWidth = 12900, DefaultHeight = 7130;
// Column widths at load (twips; 0: left as it is) and after a resize (share
// of the grid's width).
constexpr int LoadWidths[] = {1800, 1500, 0, 1500, 1500, 4000};
constexpr double ResizeShares[] = {0.175, 0.10, 0, 0.145, 0.10, 0.35};
constexpr int TitleRowHeight = 500, RowHeight = 1000;
const QString Separator = QStringLiteral("____________________");

} // namespace

FormProjectSummary::FormProjectSummary()
    : Form(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    DataTABLE06 = new DataSource(QStringLiteral("DataTABLE06"), this);
    DataTABLE06->setReadOnly(true);
    MSFlexGridProjects = new FlexGrid(this);
    MSFlexGridProjects->setObjectName(QStringLiteral("MSFlexGridProjects"));
    MSFlexGridProjects->setFixedCols(0);
    MSFlexGridProjects->setDataSource(DataTABLE06);
    MSFlexGridProjects->setWordWrap(true);
    CommandExcel = Controls::pictureButton(this, "CommandExcel", "export", 120, 300);
    CommandExcel->setToolTip(QStringLiteral("Send to MS-Excel"));
    CommandPrint = Controls::pictureButton(this, "CommandPrint", "document-print", 780, 300);
    CommandPrint->setToolTip(QStringLiteral("Print"));
    connect(CommandExcel, &QPushButton::clicked, this, &FormProjectSummary::CommandExcel_Click);
    connect(CommandPrint, &QPushButton::clicked, this, &FormProjectSummary::CommandPrint_Click);
}

QString FormProjectSummary::companyName() const {
    auto* form =
        qobject_cast<FormCompanies*>(Forms::loaded(QString::fromLatin1(FormCompanies::Name)));
    return form ? form->companyName() : QString();
}

QString FormProjectSummary::summarySource(const QString& company) {
    return QStringLiteral("SELECT TABLE06.TEXT01 AS [INDUSTRY GROUP],") +
           QStringLiteral(" TABLE06.DATE01 AS [DATE ENTERED],  TABLE01.TEXT13 AS [DIVISION],") +
           QStringLiteral(" TABLE06.TEXT02 AS [PROJECT NAME],  TABLE07.DATE01 AS [ACTION DATE], ") +
           QStringLiteral(" TABLE07.MEMO01 AS [ACTION TAKEN] FROM TABLE01 INNER ") +
           QStringLiteral(" JOIN (TABLE06 INNER JOIN TABLE07 ON TABLE06.AUTONUMBER = "
                          "TABLE07.NUMBER01) ON") +
           QStringLiteral(" TABLE01.AUTONUMBER = TABLE06.NUMBER01 WHERE (((TABLE01.Text20) = "
                          "'Company'))") +
           QStringLiteral(" AND (((TABLE01.TEXT01) = '") + SqlQuote::text(company) +
           QStringLiteral("')) AND (((TABLE06.TEXT03) = 'Active Project'))") +
           QStringLiteral(" ORDER BY TABLE06.TEXT02, TABLE07.DATE01");
}

void FormProjectSummary::Form_Load() {
    m_company = companyName();
    Colors::setBackground(this, Colors::ButtonFace);
    setWindowTitle(QStringLiteral("Active Projects for ") + m_company);
    setKeyPreview(true);
    const QWidget* companies = Forms::loaded(QString::fromLatin1(FormCompanies::Name));
    const QRect size = companies ? Twips::geometry(companies) : QRect();
    Twips::setSize(this, size.width() > 0 ? size.width() : DefaultWidth,
                   size.height() > 0 ? size.height() : DefaultHeight);

    DataTABLE06->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    DataTABLE06->setRecordSource(summarySource(m_company));
    DataMessages::refresh(DataTABLE06);

    FlexGrid* grid = MSFlexGridProjects;
    grid->setSelectionBlock(0, 0, grid->rows() - 1, grid->cols() - 1);
    grid->verticalHeader()->setDefaultSectionSize(Twips::toPixelsY(RowHeight));
    grid->setRowHeight(0, Twips::toPixelsY(TitleRowHeight));
    for (int column = 0; column < 6 && column < grid->cols(); ++column)
        if (LoadWidths[column] > 0)
            grid->setColumnWidth(column, Twips::toPixelsX(LoadWidths[column]));
    grid->setWordWrap(true);
    // The selection served the formatting; the list is shown unmarked.
    grid->clearSelection();
}

void FormProjectSummary::Form_Resize() {
    const int outerWidth = Twips::fromPixelsX(frameGeometry().width());
    const int outerHeight = Twips::fromPixelsY(frameGeometry().height());
    const int gridWidth = std::max(0, outerWidth - 400);
    Twips::setGeometry(MSFlexGridProjects, 120, 960, gridWidth, std::max(0, outerHeight - 1560));
    for (int column = 0; column < 6 && column < MSFlexGridProjects->cols(); ++column)
        if (ResizeShares[column] > 0)
            MSFlexGridProjects->setColumnWidth(
                column, Twips::toPixelsX(int(std::lround(gridWidth * ResizeShares[column]))));
    const int height = Twips::toPixelsY(RowHeight);
    MSFlexGridProjects->verticalHeader()->setDefaultSectionSize(height);
    for (int row = 0; row < MSFlexGridProjects->rows(); ++row)
        MSFlexGridProjects->setRowHeight(row, height);
}

void FormProjectSummary::resizeEvent(QResizeEvent* event) {
    Form::resizeEvent(event);
    Form_Resize();
}

void FormProjectSummary::CommandExcel_Click() {
    CommandExcel->setEnabled(false);
    Report();
}

void FormProjectSummary::CommandPrint_Click() {
    CommandPrint->setEnabled(false);
    Report();
}

void FormProjectSummary::Report() {
    ModuleMouse::PointerBusy();
    const bool print = !CommandPrint->isEnabled();
    m_reportFile.clear();

    // The grid without the industry group column, titles first.
    FlexGrid* grid = MSFlexGridProjects;
    grid->setSelectionBlock(0, 1, grid->rows() - 1, grid->cols() - 1);
    Clipboard::clear();
    Clipboard::setText(grid->clip());

    SpreadsheetApp excel;
    Workbook* book = excel.addWorkbook();
    excel.setVisible(true);
    excel.paste();
    excel.selection().setFontName(QStringLiteral("Calibri"));
    excel.selection().setFontSize(9);
    excel.columns(QStringLiteral("A:A")).select();
    excel.selection().setHorizontalAlignment(HorizontalAlignment::Left);
    excel.columns(QStringLiteral("D:D")).select();
    excel.selection().setHorizontalAlignment(HorizontalAlignment::Left);
    excel.columns(QStringLiteral("A:D")).select();
    excel.selection().setVerticalAlignment(VerticalAlignment::Top);
    excel.selection().autoFitColumns();
    excel.columns(QStringLiteral("E:E")).select();
    excel.selection().setWrapText(true);
    excel.selection().setColumnWidth(20);
    excel.selection().autoFitRows();
    // A separator line after each project, in place of the count the
    // subtotal puts there; no counts are left.
    excel.cells().select();
    excel.selection().subtotal(3, ConsolidationFunction::Count, {3}, true, true);
    excel.selection().replace(QStringLiteral("grand count"), QString(), LookAt::Part);
    excel.selection().replace(QStringLiteral("*subtotal*"), QString(), LookAt::Part);
    excel.selection().replace(QStringLiteral("*count*"), Separator, LookAt::Part);
    excel.rows(QStringLiteral("1:1")).select();
    excel.selection().setBold(true);
    excel.range(QStringLiteral("A2")).select();
    excel.selection().entireRow().insert(InsertShift::Down);
    excel.rows(QStringLiteral("1:3")).select();
    excel.selection().insert(InsertShift::Down);
    excel.range(QStringLiteral("A1")).select();
    // As a value: a company name is never read as a formula.
    excel.activeCell().setValue(QStringLiteral("Poject Report for ") + m_company);
    excel.range(QStringLiteral("A1")).select();
    excel.selection().setBold(true);
    excel.range(QStringLiteral("B5")).select();
    excel.activeCell().setValue(Separator);
    excel.range(QStringLiteral("A1")).select();

    if (print) {
        excel.printOut();
        excel.setVisible(false);
    }

    const QString folder = ProgramFolder::tempFolder();
    const QString path = folder + QStringLiteral("/Tessaly Report ") +
                         QString::number(100000 + QRandomGenerator::global()->bounded(900000)) +
                         QStringLiteral(".xlsx");
    QString error;
    // The workbook is written whole or not at all: a folder that cannot take
    // it leaves no report file behind.
    const bool saved = QDir().mkpath(folder) && book->saveAs(path, FileFormat::Xlsx, &error);
    excel.setDisplayAlerts(false);
    Clipboard::clear();
    grid->clearSelection();
    CommandExcel->setEnabled(true);
    CommandPrint->setEnabled(true);
    ModuleMouse::PointerNormal();
    if (saved) {
        m_reportFile = book->path();
        return;
    }
    if (error.isEmpty())
        error =
            QStringLiteral("The folder %1 cannot be made.").arg(QDir::toNativeSeparators(folder));
    MsgBox::show(QStringLiteral("The report could not be saved: ") + error,
                 MsgBox::OKOnly | MsgBox::Critical);
}
