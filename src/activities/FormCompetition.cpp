#include "FormCompetition.h"

#include "app/Controls.h"
#include "app/EditToolbar.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "app/ModuleExcelReports.h"
#include "app/ModuleHelp.h"
#include "app/ModuleMouse.h"
#include "data/DataSource.h"
#include "data/ProductLists.h"
#include "formats/Sheet.h"
#include "office/ReportData.h"
#include "office/SpreadsheetApp.h"
#include "platform/ProgramFolder.h"
#include "services/Clipboard.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/DBGrid.h"
#include "widgets/DataMessages.h"
#include "widgets/DataNavigator.h"
#include "widgets/FieldBinder.h"
#include "widgets/FlexGrid.h"

#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

using Controls::button;
using Controls::label;
using Controls::pictureButton;

constexpr int GridTop = 3495;

const QString ExportSource =
    QStringLiteral("SELECT TABLE11.TEXT01 AS [COMPETITOR'S PRODUCT],TABLE11.TEXT02 AS [SUPPLIER], "
                   "TABLE11.TEXT03 AS [EQUIVALENT] FROM TABLE11 ORDER BY TABLE11.TEXT01 ");

QLineEdit* textBox(QWidget* parent, const char* name, int left, int top, int width) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    Twips::setGeometry(box, left, top, width, 315);
    return box;
}

// Empties the sheet below its title row for the next batch and saves the
// workbook. A sheet that holds its titles alone is left as it is.
bool emptyWorkbook(const QString& path, const QString& sheetName, QString* error) {
    SpreadsheetApp excel;
    Workbook* book = excel.openWorkbook(path, error);
    if (!book)
        return false;
    if (Sheet* sheet = book->sheet(sheetName))
        book->activateSheet(sheet);
    excel.range(QStringLiteral("A2")).select();
    const SheetRange last = excel.activeCell().specialCells(SpecialCellType::LastCell);
    if (last.row() > excel.range(QStringLiteral("A1")).row()) {
        excel.range(excel.selection(), last).select();
        excel.selection().clearContents();
    }
    excel.range(QStringLiteral("A2")).select();
    const bool saved = book->save(error);
    excel.quit();
    return saved;
}

} // namespace

FormCompetition::FormCompetition()
    : Form(QString::fromLatin1(Name)) {
    buildControls();
    buildHoverTexts();
}

void FormCompetition::buildControls() {
    Data1 = new DataSource(QStringLiteral("Data1"), this);
    Data1->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    DataExcel = new DataSource(QStringLiteral("DataExcel"), this);
    DataExcel->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    DataExcel->setReadOnly(true);

    Toolbar1 = new EditToolbar(this);
    Twips::setGeometry(Toolbar1, 120, 60, 2220, 420);
    TextSearch = textBox(this, "TextSearch", 2520, 112, 3000);
    TextSearch->setPlaceholderText(QStringLiteral("Search For..."));
    TextSearch->setText(QStringLiteral("Search For..."));
    TextSearch->installEventFilter(this);
    CommandReset = button(this, "CommandReset", QStringLiteral("&Reset"), 5640, 82, 1000);
    connect(CommandReset, &QPushButton::clicked, this, &FormCompetition::CommandReset_Click);

    CommandNew = pictureButton(this, "CommandNew", "contact-new", 7680, 60);
    CommandSave = pictureButton(this, "CommandSave", "fields", 8340, 60);
    CommandDelete = pictureButton(this, "CommandDelete", "edit-delete", 9000, 60);
    CommandExcel = pictureButton(this, "CommandExcel", "export", 9660, 60);
    CommandImport = pictureButton(this, "CommandImport", "import", 10320, 60);
    connect(CommandNew, &QPushButton::clicked, this, &FormCompetition::CommandNew_Click);
    connect(CommandSave, &QPushButton::clicked, this, &FormCompetition::CommandSave_Click);
    connect(CommandDelete, &QPushButton::clicked, this, &FormCompetition::CommandDelete_Click);
    connect(CommandExcel, &QPushButton::clicked, this, &FormCompetition::CommandExcel_Click);
    connect(CommandImport, &QPushButton::clicked, this, &FormCompetition::CommandImport_Click);

    LabelCompetitor = label(this, "LabelCompetitor", QStringLiteral("Competitor"), 120, 600, 3600);
    TextCompetitor = textBox(this, "TextCompetitor", 120, 855, 3600);
    LabelProduct =
        label(this, "LabelProduct", QStringLiteral("Competitor's Product"), 3840, 600, 3600);
    TextProduct = textBox(this, "TextProduct", 3840, 855, 3600);
    LabelEquivalent = label(this, "LabelEquivalent", QStringLiteral("Equivalent"), 7560, 600, 3600);
    TextEquivalent = textBox(this, "TextEquivalent", 7560, 855, 3600);
    LabelNotes = label(this, "LabelNotes", QStringLiteral("Notes"), 120, 1260, 3600);
    TextNotes = new QPlainTextEdit(this);
    TextNotes->setObjectName(QStringLiteral("TextNotes"));
    Twips::setGeometry(TextNotes, 120, 1515, 11040, 870);
    FieldBinder::bind(Data1, TextCompetitor, QStringLiteral("TEXT02"));
    FieldBinder::bind(Data1, TextProduct, QStringLiteral("TEXT01"));
    FieldBinder::bind(Data1, TextEquivalent, QStringLiteral("TEXT03"));
    FieldBinder::bind(Data1, TextNotes, QStringLiteral("MEMO01"));
    for (auto [box, name] : {std::pair{&Text01, "Text01"}, std::pair{&Text02, "Text02"},
                             std::pair{&Text03, "Text03"}, std::pair{&Text04, "Text04"}}) {
        *box = new QLineEdit(this);
        (*box)->setObjectName(QLatin1String(name));
        (*box)->setVisible(false);
        FieldBinder::bind(Data1, *box, QStringLiteral("TEXT0") + QLatin1String(name).right(1));
    }

    Data1Bar = new DataNavigator(this);
    Data1Bar->setObjectName(QStringLiteral("Data1"));
    Data1Bar->setDataSource(Data1);
    Twips::setGeometry(Data1Bar, 120, 2460, 2400, 330);

    FrameHelp = new QGroupBox(QStringLiteral("Help"), this);
    FrameHelp->setObjectName(QStringLiteral("FrameHelp"));
    Twips::setGeometry(FrameHelp, 120, 2820, 11040, 615);
    LabelHelp = label(FrameHelp, "LabelHelp", QString(), 120, 240, 10840, 330);

    // The import question, over the editable fields while it is asked.
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setAutoFillBackground(true);
    Twips::setGeometry(Frame1, 120, 600, 11040, 1785);
    LabelImport = label(Frame1, "LabelImport", QString(), 240, 240, 10560, 735);
    LabelImport->setWordWrap(true);
    CommandEdit = button(Frame1, "CommandEdit", QStringLiteral("&Edit"), 240, 1140, 1200);
    CommandImport2 = button(Frame1, "CommandImport2", QStringLiteral("&Import"), 1560, 1140, 1200);
    connect(CommandEdit, &QPushButton::clicked, this, &FormCompetition::CommandEdit_Click);
    connect(CommandImport2, &QPushButton::clicked, this, &FormCompetition::CommandImport2_Click);

    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setDataSource(Data1);
    DBGrid1->setColumns(
        {QStringLiteral("TEXT02"), QStringLiteral("TEXT01"), QStringLiteral("TEXT03")});
    DBGrid1->setColumnCaptions({QStringLiteral("Competitor"),
                                QStringLiteral("Competitor's Product"),
                                QStringLiteral("Equivalent")});
    DBGrid1->setAllowAddNew(false);
    DBGrid1->setAllowDelete(false);
    DBGrid1->setAllowUpdate(false);

    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setDataSource(DataExcel);
    MSFlexGrid1->setVisible(false);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, &FormCompetition::Timer1_Timer);
}

void FormCompetition::buildHoverTexts() {
    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->addBackground(Toolbar1);
    m_help->addBackground(FrameHelp);
    m_help->setText(CommandDelete, QStringLiteral("Deletes this record."));
    m_help->setText(CommandExcel, QStringLiteral("Send to MS-Excel."));
    m_help->setText(CommandImport,
                    QStringLiteral("Import competitor's information. Press F1 for help."));
    m_help->setText(CommandNew, QStringLiteral("Add new record."));
    m_help->setText(CommandSave, QStringLiteral("Save your changes."));
    m_help->setText(CommandReset, QStringLiteral("Reset your search to display all records."));
    m_help->setText(TextSearch, QStringLiteral("Enter text or partial text of a product and "
                                               "press 'Enter'."));
    const QString fields = QStringLiteral("Enter competitor's product information and your "
                                          "equivalents. Do not forget to save before you exit.");
    for (QWidget* field :
         {static_cast<QWidget*>(TextCompetitor), static_cast<QWidget*>(TextProduct),
          static_cast<QWidget*>(TextEquivalent), static_cast<QWidget*>(TextNotes)})
        m_help->setText(field, fields);
    m_help->setText(Data1Bar, QStringLiteral("Navigate through your records."));
}

void FormCompetition::Form_Load() {
    setWindowTitle(QStringLiteral("Competition"));
    Colors::setBackground(this, Colors::ButtonFace);
    const Form* menu = Forms::loaded(QStringLiteral("FormMenu"));
    const QRect size = menu ? Twips::geometry(menu) : QRect();
    Twips::setSize(this, size.width() > 0 ? size.width() : 11415,
                   size.height() > 0 ? size.height() : 8055);
    setKeyPreview(true);
    FrameHelp->setVisible(false);
    Frame1->setVisible(false);
    Data1->setRecordSource(ProductLists::competitionSource());
    DataMessages::refresh(Data1);
}

bool FormCompetition::Form_KeyUp(QKeyEvent* event) {
    if (event->key() != Qt::Key_F1)
        return false;
    ModuleHelp::ShowHelp();
    return true;
}

void FormCompetition::Form_Unload(bool& cancel) {
    Q_UNUSED(cancel);
    Timer1->stop();
}

void FormCompetition::resizeEvent(QResizeEvent* event) {
    Form::resizeEvent(event);
    const QRect size = Twips::geometry(this);
    Twips::setGeometry(DBGrid1, 120, GridTop, std::max(0, size.width() - 300),
                       std::max(0, size.height() - 4155));
    // The three columns share the grid's width.
    const int column = (DBGrid1->width() - 24) / 3; // less the record selectors
    for (int c = 0; c < 3; ++c)
        DBGrid1->setColumnWidth(c, std::max(40, column));
    const QRect help = Twips::geometry(FrameHelp);
    Twips::setGeometry(FrameHelp, help.left(), help.top(), std::max(0, size.width() - 300),
                       help.height());
    const QRect line = Twips::geometry(LabelHelp);
    Twips::setGeometry(LabelHelp, line.left(), line.top(), std::max(0, size.width() - 500),
                       line.height());
}

bool FormCompetition::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TextSearch) {
        if (event->type() == QEvent::MouseButtonPress)
            TextSearch->clear();
        else if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                TextSearch_KeyPress(13);
                return true;
            }
        }
    }
    return Form::eventFilter(watched, event);
}

bool FormCompetition::isWalking() const {
    return Timer1->isActive();
}

void FormCompetition::CommandNew_Click() {
    Data1->recordset()->addNew();
    TextProduct->setFocus();
}

void FormCompetition::CommandSave_Click() {
    CommandReset_Click();
    Timer1->start();
}

void FormCompetition::CommandDelete_Click() {
    Recordset* rs = Data1->recordset();
    if (rs->isNewRow()) { // a row not stored yet is given up
        rs->cancelUpdate();
        return;
    }
    if (rs->bookmark().isEmpty())
        return;
    if (MsgBox::show(QStringLiteral("Are you sure toy want to delete ") + Text01->text() + u'?',
                     MsgBox::YesNo | MsgBox::Exclamation) != MsgBox::Yes)
        return;
    rs->deleteCurrent();
    DataMessages::refresh(Data1);
}

void FormCompetition::CommandReset_Click() {
    Data1->setRecordSource(ProductLists::competitionSource());
    DataMessages::refresh(Data1);
}

void FormCompetition::TextSearch_KeyPress(int keyAscii) {
    if (keyAscii != 13)
        return;
    Data1->setRecordSource(ProductLists::competitionSearch(TextSearch->text()));
    DataMessages::refresh(Data1);
}

void FormCompetition::Timer1_Timer() {
    Recordset* rs = Data1->recordset();
    const bool done = ProductLists::walkSlice(
        Data1,
        [rs] {
            const QString name = ProductLists::displayName(rs->fieldText(QStringLiteral("TEXT01")),
                                                           rs->fieldText(QStringLiteral("TEXT02")));
            if (rs->fieldText(QStringLiteral("TEXT04")) != name)
                rs->setField(QStringLiteral("TEXT04"), name);
        },
        SliceMs);
    if (!done)
        return;
    Timer1->stop();
    rs->moveFirst();
}

QString FormCompetition::workbookFile() {
    return ProductLists::importWorkbook(ProgramFolder::path(), QStringLiteral("Competition.xlsx"));
}

QString FormCompetition::importErrorMessage() {
    return QStringLiteral("There was an error importing competitor's information.") + u'\n' +
           QStringLiteral("This error could have been caused by the following:") + u'\n' + u'\n' +
           QStringLiteral("You changed the headers in the MS-Excel spreadsheet.") + u'\n' +
           QStringLiteral("You did not save the spreadsheet in MS-Excel 2000-2003 (.xls)format.") +
           u'\n' + QStringLiteral("You moved the speadsheet from its original location.");
}

QString FormCompetition::importedMessage() {
    return QStringLiteral("Competitor's information has been imported successfully.") + u'\n' +
           QStringLiteral("The information will now be updated and saved.");
}

void FormCompetition::CommandExcel_Click() {
    ModuleMouse::PointerBusy();
    DataExcel->setRecordSource(ExportSource);
    QString error;
    // The report data text: notes with line breaks or tabs stay one cell.
    if (!DataExcel->refresh() ||
        !ReportData::captureToClipboard(QStringLiteral("TESSALY.mdb"), ExportSource, &error)) {
        ModuleMouse::PointerNormal();
        MsgBox::show(error.isEmpty() ? DataExcel->lastError() : error,
                     MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    CompProducts();
}

QString FormCompetition::CompProducts() {
    const QString file = ModuleExcelReports::ExcelReportCompProducts();
    Clipboard::clear();
    ModuleMouse::PointerNormal();
    return file;
}

void FormCompetition::CommandImport_Click() {
    const QRect grid = Twips::geometry(DBGrid1);
    const QRect frame = Twips::geometry(Frame1);
    Twips::setGeometry(Frame1, grid.left(), frame.top(), grid.width(), frame.height());
    LabelImport->setText(QStringLiteral("Do you want to edit or import the spreadsheet ") +
                         QDir::toNativeSeparators(workbookFile()) + QStringLiteral(" ?"));
    Frame1->setVisible(true);
    Frame1->raise();
    showFields(false);
}

void FormCompetition::showFields(bool shown) {
    for (QWidget* field :
         {static_cast<QWidget*>(TextCompetitor), static_cast<QWidget*>(TextProduct),
          static_cast<QWidget*>(TextEquivalent), static_cast<QWidget*>(TextNotes)})
        field->setVisible(shown);
}

void FormCompetition::CommandEdit_Click() {
    ModuleMouse::PointerBusy();
    SpreadsheetApp excel;
    QString error;
    if (!excel.openWorkbook(workbookFile(), &error)) {
        ModuleMouse::PointerNormal();
        MsgBox::show(error);
        return;
    }
    excel.setVisible(true);
    Frame1->setVisible(false);
    showFields(true);
    ModuleMouse::PointerNormal();
}

void FormCompetition::CommandImport2_Click() {
    showFields(true);
    Frame1->setVisible(false);
    Import();
}

void FormCompetition::DropTemp() {
    ProductLists::dropTemp();
}

void FormCompetition::Import() {
    const QString folder = ProgramFolder::path();
    const QString workbook = workbookFile();
    // Nothing of this window may be touched once it is closed.
    Forms::unload(QString::fromLatin1(Name));
    ModuleMouse::PointerBusy();
    QString error;
    const bool ok = ProductLists::importCompetition(folder, &error) &&
                    emptyWorkbook(workbook, QStringLiteral("COMPETITION"), &error);
    if (!ok) {
        ModuleMouse::PointerNormal();
        DropTemp();
        MsgBox::show(importErrorMessage(), MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    if (auto* again = Forms::get<FormCompetition>()) {
        again->show();
        again->Timer1->start();
    }
    ModuleMouse::PointerNormal();
    MsgBox::show(importedMessage(), MsgBox::OKOnly);
}
