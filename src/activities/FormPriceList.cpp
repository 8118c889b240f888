#include "FormPriceList.h"

#include "FormPriceListDelete.h"
#include "app/Controls.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "app/ModuleExcelReports.h"
#include "app/ModuleHelp.h"
#include "app/ModuleMouse.h"
#include "companies/FormBrowser.h"
#include "data/DataSource.h"
#include "data/ProductLists.h"
#include "office/ReportData.h"
#include "platform/ProgramFolder.h"
#include "services/Clipboard.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/DBGrid.h"
#include "widgets/DataMessages.h"
#include "widgets/DirList.h"
#include "widgets/DriveList.h"
#include "widgets/FieldBinder.h"
#include "widgets/FileList.h"
#include "widgets/FlexGrid.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>

namespace {

using Controls::button;
using Controls::label;
using Controls::pictureButton;

constexpr int GridTop = 2940;

const QString ExportSource = QStringLiteral(
    "SELECT TABLE13.TEXT01 AS [PRODUCT],TABLE13.TEXT03 AS [CURRENCY], TABLE13.TEXT02 AS "
    "[PRICE], TABLE13.MEMO01 AS [NOTES] FROM TABLE13 ORDER BY TABLE13.TEXT01 ");

QLineEdit* textBox(QWidget* parent, const char* name, int left, int top, int width) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    Twips::setGeometry(box, left, top, width, 315);
    return box;
}

} // namespace

FormPriceList::FormPriceList()
    : Form(QString::fromLatin1(Name)) {
    buildControls();
    buildHoverTexts();
}

void FormPriceList::buildControls() {
    DataTABLE13 = new DataSource(QStringLiteral("DataTABLE13"), this);
    DataTABLE13->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    DataExcel = new DataSource(QStringLiteral("DataExcel"), this);
    DataExcel->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    DataExcel->setReadOnly(true);

    CommandNew = pictureButton(this, "CommandNew", "contact-new", 120, 90);
    CommandDelete = pictureButton(this, "CommandDelete", "edit-delete", 780, 90);
    CommandExcel = pictureButton(this, "CommandExcel", "export", 1440, 90);
    CommandImport = pictureButton(this, "CommandImport", "import", 2100, 90);
    connect(CommandNew, &QPushButton::clicked, this, &FormPriceList::CommandNew_Click);
    connect(CommandDelete, &QPushButton::clicked, this, &FormPriceList::CommandDelete_Click);
    connect(CommandExcel, &QPushButton::clicked, this, &FormPriceList::CommandExcel_Click);
    connect(CommandImport, &QPushButton::clicked, this, &FormPriceList::CommandImport_Click);
    TextSearch = textBox(this, "TextSearch", 2880, 142, 3000);
    TextSearch->setText(QStringLiteral("Search For..."));
    TextSearch->installEventFilter(this);
    CommandReset = button(this, "CommandReset", QStringLiteral("&Reset"), 6000, 112, 1000);
    connect(CommandReset, &QPushButton::clicked, this, &FormPriceList::CommandReset_Click);

    LabelProduct = label(this, "LabelProduct", QStringLiteral("Product"), 120, 660, 4200);
    TEXT01 = textBox(this, "TEXT01", 120, 915, 4200);
    TEXT03 = textBox(this, "TEXT03", 4440, 915, 900);
    LabelPrice = label(this, "LabelPrice", QStringLiteral("Price per Unit"), 5460, 660, 1800);
    TEXT02 = textBox(this, "TEXT02", 5460, 915, 1800);
    LabelNotes = label(this, "LabelNotes", QStringLiteral("Notes"), 120, 1335, 4200);
    MEMO01 = new QPlainTextEdit(this);
    MEMO01->setObjectName(QStringLiteral("MEMO01"));
    Twips::setGeometry(MEMO01, 120, 1590, 7140, 495);
    MEMO01->installEventFilter(this);
    for (auto [box, field] : {std::pair<QWidget*, const char*>{TEXT01, "TEXT01"},
                              std::pair<QWidget*, const char*>{TEXT03, "TEXT03"},
                              std::pair<QWidget*, const char*>{TEXT02, "TEXT02"},
                              std::pair<QWidget*, const char*>{MEMO01, "MEMO01"}})
        FieldBinder::bind(DataTABLE13, box, QLatin1String(field));

    LabelTechnical = label(this, "LabelTechnical", QStringLiteral("Document"), 7440, 660, 3780);
    TEXT04 = textBox(this, "TEXT04", 7440, 915, 3780);
    TEXT04->setReadOnly(true);
    FieldBinder::bind(DataTABLE13, TEXT04, QStringLiteral("TEXT04"));
    Image1 = Controls::image(this, "Image1", "accessories-text-editor", 7440, 1380);
    CommandView = button(this, "CommandView", QStringLiteral("&View"), 7920, 1335, 1000);
    CommandAdd = button(this, "CommandAdd", QStringLiteral("&Add"), 9000, 1335, 1000);
    connect(CommandView, &QPushButton::clicked, this, &FormPriceList::CommandView_Click);
    connect(CommandAdd, &QPushButton::clicked, this, &FormPriceList::CommandAdd_Click);

    FrameHelp = new QGroupBox(QStringLiteral("Help"), this);
    FrameHelp->setObjectName(QStringLiteral("FrameHelp"));
    Twips::setGeometry(FrameHelp, 120, 2220, 11100, 615);
    LabelHelp = label(FrameHelp, "LabelHelp", QString(), 120, 240, 10860, 330);

    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setDataSource(DataTABLE13);
    DBGrid1->setColumns({QStringLiteral("TEXT01"), QStringLiteral("TEXT03"),
                         QStringLiteral("TEXT02"), QStringLiteral("MEMO01")});
    DBGrid1->setColumnCaptions({QStringLiteral("PRODUCT"), QStringLiteral("CURRENCY"),
                                QStringLiteral("PRICE PER UNIT"), QStringLiteral("NOTES")});
    DBGrid1->setAllowAddNew(false);
    DBGrid1->setAllowDelete(false);
    DBGrid1->setAllowUpdate(false);

    // The document picker, over the list while a document is chosen.
    Drive1 = new DriveList(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Twips::setGeometry(Drive1, 120, GridTop, 4200, 315);
    Dir1 = new DirList(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Twips::setGeometry(Dir1, 120, GridTop + 375, 4200, 2400);
    File1 = new FileList(this);
    File1->setObjectName(QStringLiteral("File1"));
    Twips::setGeometry(File1, 4440, GridTop, 6780, 2775);
    connect(Drive1, &DriveList::changed, this, &FormPriceList::Drive1_Change);
    connect(Dir1, &DirList::changed, this, &FormPriceList::Dir1_Change);
    connect(File1, &FileList::clicked, this, &FormPriceList::File1_Click);

    MSFlexGridExcel = new FlexGrid(this);
    MSFlexGridExcel->setObjectName(QStringLiteral("MSFlexGridExcel"));
    MSFlexGridExcel->setDataSource(DataExcel);
    MSFlexGridExcel->setVisible(false);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, &FormPriceList::Timer1_Timer);
    TimerDocument = new QTimer(this);
    TimerDocument->setObjectName(QStringLiteral("TimerDocument"));
    TimerDocument->setInterval(100);
    connect(TimerDocument, &QTimer::timeout, this, &FormPriceList::TimerDocument_Timer);
}

void FormPriceList::buildHoverTexts() {
    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->addBackground(FrameHelp);
    m_help->setEnterAction(DBGrid1, [this] { m_help->showBackground(); });
    m_help->setText(CommandAdd, [this] {
        return QStringLiteral("Attach a document such as product speficifation or an image of "
                              "the product to ") +
               product() + u'.';
    });
    m_help->setText(CommandView, [this] {
        return QStringLiteral("View a document such as product speficifation or an image of the "
                              "product to ") +
               product() + u'.';
    });
    m_help->setText(CommandImport, QStringLiteral("Import price list. Press F1 for help."));
    m_help->setText(CommandNew, QStringLiteral("Add new record."));
    m_help->setText(CommandDelete, QStringLiteral("Delete. Allows you the option to delete this "
                                                  "record or to delete all records."));
    m_help->setText(CommandExcel, QStringLiteral("Send to MS-Excel."));
    m_help->setText(MEMO01, QStringLiteral("Enter any notes such as description, size or special "
                                           "features related to the product."));
    m_help->setText(TextSearch, QStringLiteral("Enter text or partial text of a product and "
                                               "press 'Enter'."));
}

void FormPriceList::Form_Load() {
    setWindowTitle(QStringLiteral("Price List"));
    Colors::setBackground(this, Colors::ButtonFace);
    const Form* menu = Forms::loaded(QStringLiteral("FormMenu"));
    const QRect size = menu ? Twips::geometry(menu) : QRect();
    Twips::setSize(this, size.width() > 0 ? size.width() : 11415,
                   size.height() > 0 ? size.height() : 8055);
    setKeyPreview(true);
    FrameHelp->setVisible(false);
    Image1->setVisible(false);
    CommandView->setVisible(false);
    showPicker(false);
    const QString home = QDir::homePath();
    Drive1->setDrive(QStorageInfo(home).rootPath());
    Dir1->setPath(home);
    DataTABLE13->setRecordSource(ProductLists::priceListSource());
    DataMessages::refresh(DataTABLE13);
    TimerDocument->start();
}

bool FormPriceList::Form_KeyUp(QKeyEvent* event) {
    if (event->key() != Qt::Key_F1)
        return false;
    ModuleHelp::ShowHelp();
    return true;
}

void FormPriceList::Form_Unload(bool& cancel) {
    Q_UNUSED(cancel);
    Timer1->stop();
    TimerDocument->stop();
    // Deleting all records goes on the rows of this window: it ends with it.
    Forms::unload(QString::fromLatin1(FormPriceListDelete::Name));
}

void FormPriceList::resizeEvent(QResizeEvent* event) {
    Form::resizeEvent(event);
    const QRect size = Twips::geometry(this);
    Twips::setGeometry(DBGrid1, 120, GridTop, std::max(0, size.width() - 300),
                       std::max(0, size.height() - GridTop - 660));
    // Product and notes take the room the currency and the price leave.
    const int room = DBGrid1->width() - 24 - Twips::toPixelsX(1000 + 1500); // less the selectors
    DBGrid1->setColumnWidth(0, std::max(60, room * 2 / 5));
    DBGrid1->setColumnWidth(1, Twips::toPixelsX(1000));
    DBGrid1->setColumnWidth(2, Twips::toPixelsX(1500));
    DBGrid1->setColumnWidth(3, std::max(60, room - room * 2 / 5));
    const QRect help = Twips::geometry(FrameHelp);
    Twips::setGeometry(FrameHelp, help.left(), help.top(), std::max(0, size.width() - 300),
                       help.height());
}

bool FormPriceList::eventFilter(QObject* watched, QEvent* event) {
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
    } else if (watched == MEMO01 && event->type() == QEvent::KeyPress) {
        // Notes stay on one line.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            QApplication::beep();
            return true;
        }
    }
    return Form::eventFilter(watched, event);
}

QString FormPriceList::product() const {
    return TEXT01->text();
}

bool FormPriceList::isWalking() const {
    return Timer1->isActive();
}

void FormPriceList::CommandNew_Click() {
    DataTABLE13->recordset()->addNew();
    TEXT01->setFocus();
}

void FormPriceList::CommandDelete_Click() {
    if (Form* ask = Forms::show(QString::fromLatin1(FormPriceListDelete::Name)))
        ask->raise();
}

void FormPriceList::CommandReset_Click() {
    DataTABLE13->setRecordSource(ProductLists::priceListSource());
    DataMessages::refresh(DataTABLE13);
}

void FormPriceList::TextSearch_KeyPress(int keyAscii) {
    if (keyAscii != 13)
        return;
    DataTABLE13->setRecordSource(ProductLists::priceListSearch(TextSearch->text()));
    if (!DataTABLE13->refresh())
        MsgBox::show(DataTABLE13->lastError(), MsgBox::OKOnly | MsgBox::Critical);
}

void FormPriceList::TimerDocument_Timer() {
    const bool attached = !TEXT04->text().isEmpty();
    if (Image1->isVisible() != attached)
        Image1->setVisible(attached);
    if (CommandView->isVisible() != attached)
        CommandView->setVisible(attached);
}

void FormPriceList::CommandView_Click() {
    const QString path = TEXT04->text();
    if (path.isEmpty()) {
        if (MsgBox::show(QStringLiteral("There are no documents attached to ") + product() +
                             QStringLiteral(". Do you want to attach a document?"),
                         MsgBox::YesNo | MsgBox::Question) == MsgBox::Yes)
            CommandAdd_Click();
        return;
    }
    auto* browser = Forms::get<FormBrowser>();
    if (!browser)
        return;
    browser->show();
    browser->raise();
    browser->Navigate(path);
    browser->setWindowTitle(path);
}

void FormPriceList::CommandAdd_Click() {
    showPicker(true);
}

void FormPriceList::showPicker(bool shown) {
    // The lists take the list's place while a document is chosen.
    DBGrid1->setVisible(!shown);
    for (QWidget* list : {static_cast<QWidget*>(Drive1), static_cast<QWidget*>(Dir1),
                          static_cast<QWidget*>(File1)}) {
        list->setVisible(shown);
        if (shown)
            list->raise();
    }
}

void FormPriceList::Drive1_Change() {
    Dir1->setPath(Drive1->drive());
}

void FormPriceList::Dir1_Change() {
    File1->setPath(Dir1->path());
}

void FormPriceList::File1_Click() {
    const QString name = File1->fileName();
    if (name.isEmpty())
        return;
    // One separator between folder and name, also in a drive's root folder.
    TEXT04->setText(QDir::toNativeSeparators(QDir(Dir1->path()).filePath(name)));
    showPicker(false);
}

void FormPriceList::Timer1_Timer() {
    Recordset* rs = DataTABLE13->recordset();
    const bool done = ProductLists::walkSlice(
        DataTABLE13,
        [rs] {
            const QString price = rs->fieldText(QStringLiteral("TEXT02"));
            const auto formatted = ProductLists::formattedPrice(price);
            if (formatted && *formatted != price)
                rs->setField(QStringLiteral("TEXT02"), *formatted);
        },
        SliceMs);
    if (!done)
        return;
    Timer1->stop();
    rs->moveFirst();
}

QString FormPriceList::workbookFile() {
    return ProductLists::importWorkbook(ProgramFolder::path(), QStringLiteral("Prices.xlsx"));
}

QString FormPriceList::importErrorMessage() {
    return QStringLiteral("There was an error importing the price list.") + u'\n' +
           QStringLiteral("This error could have been caused by the following:") + u'\n' + u'\n' +
           QStringLiteral("You changed the headers in the MS-Excel spreadsheet.") + u'\n' +
           QStringLiteral("You did not save the spreadsheet in MS-Excel 2000-2003 (.xls)format.") +
           u'\n' + QStringLiteral("You moved the speadsheet from its original location.");
}

void FormPriceList::CommandImport_Click() {
    if (MsgBox::show(QStringLiteral("Do you want to edit or import the spreadsheet ") +
                         QDir::toNativeSeparators(workbookFile()) + QStringLiteral(" ?"),
                     MsgBox::YesNo | MsgBox::Exclamation) != MsgBox::Yes)
        return;
    const QString folder = ProgramFolder::path();
    // Nothing of this window may be touched once it is closed.
    Forms::unload(QString::fromLatin1(Name));
    ModuleMouse::PointerBusy();
    QString error;
    if (!ProductLists::importPrices(folder, &error)) {
        ModuleMouse::PointerNormal();
        DropTemp();
        MsgBox::show(importErrorMessage(), MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    if (auto* again = Forms::get<FormPriceList>()) {
        again->show();
        again->Timer1->start();
    }
    ModuleMouse::PointerNormal();
}

void FormPriceList::DropTemp() {
    ProductLists::dropTemp();
}

void FormPriceList::CommandExcel_Click() {
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
    ModuleExcelReports::ExcelReportPriceList();
    Clipboard::clear();
    ModuleMouse::PointerNormal();
}
