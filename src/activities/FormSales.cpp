#include "FormSales.h"

#include "FormSalesFigures.h"
#include "app/Controls.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "app/ModuleHelp.h"
#include "app/ModuleMouse.h"
#include "data/DataSource.h"
#include "data/SalesImport.h"
#include "office/SpreadsheetApp.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/DirList.h"
#include "widgets/DriveList.h"
#include "widgets/FieldBinder.h"
#include "widgets/FileList.h"

#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>

namespace {

using Controls::button;
using Controls::label;

constexpr int Width = 9200, Height = 6135;
constexpr int BoxesLeft = 5040, BoxesWidth = 3900;

QLineEdit* textBox(QWidget* parent, const char* name, int top) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    Twips::setGeometry(box, BoxesLeft, top, BoxesWidth, 315);
    Colors::setBackground(box, Colors::White);
    return box;
}

// Runs an action when a watched control gets the focus.
class FocusHook : public QObject {
public:
    FocusHook(QObject* watched, std::function<void()> action)
        : QObject(watched)
        , m_action(std::move(action)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusIn)
            m_action();
        return false;
    }

private:
    std::function<void()> m_action;
};

QString columnHelp(const QString& field) {
    return QStringLiteral("Enter the name of the column, or first cell in the column, that "
                          "represents ") +
           QStringLiteral("the ") + field +
           QStringLiteral(" field in the spreadsheet. It is very important that the correct "
                          "field name is entered. ") +
           QStringLiteral("If unsure, click on 'Open' to open the spreadsheet.");
}

} // namespace

QString FormSales::importedMessage() {
    return QStringLiteral("Sales figures have been imported successfully");
}

QString FormSales::incompleteMessage() {
    return QStringLiteral("You must complete all fields!");
}

QString FormSales::failedMessage() {
    return QStringLiteral("There was an error importing the sales figures.\n"
                          "This error could have the following causes:\n"
                          "\n"
                          "You entered incorrect information in the mandatory fields.\n"
                          "Your MS-Excel spreadsheet was not saved in 2000-2003 (.xls) format.");
}

FormSales::FormSales()
    : Form(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    buildControls();
    buildHoverTexts();
}

void FormSales::buildControls() {
    DataUser = new DataSource(QStringLiteral("DataUser"), this);
    DataUser->setDatabaseName(QStringLiteral("User.mdb"));
    DataUser->setRecordSource(QStringLiteral("TABLE02"));

    LabelSelect = label(this, "LabelSelect",
                        QStringLiteral("Select the MS-Excel spreadsheet that contains your sales "
                                       "figures."),
                        120, 120, 8900);
    Drive1 = new DriveList(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Twips::setGeometry(Drive1, 120, 480, 4680, 315);
    Dir1 = new DirList(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Twips::setGeometry(Dir1, 120, 900, 4680, 2160);
    File1 = new FileList(this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setPattern(QString::fromLatin1(FilePattern));
    Twips::setGeometry(File1, 120, 3180, 4680, 1560);
    connect(Drive1, &DriveList::changed, this, &FormSales::Drive1_Change);
    connect(Dir1, &DirList::changed, this, &FormSales::Dir1_Change);
    connect(File1, &FileList::clicked, this, &FormSales::File1_Click);

    LabelPath = label(this, "LabelPath", QStringLiteral("Selected Spreadsheet"), BoxesLeft, 480,
                      BoxesWidth);
    TextPath = textBox(this, "TextPath", 750);
    TextPath->setReadOnly(true);
    LabelSheet =
        label(this, "LabelSheet", QStringLiteral("Sheet Name"), BoxesLeft, 1260, BoxesWidth);
    TextSheet = textBox(this, "TextSheet", 1530);
    LabelAC = label(this, "LabelAC", QStringLiteral("Account Column"), BoxesLeft, 2040, BoxesWidth);
    TextAC = textBox(this, "TextAC", 2310);
    LabelDate =
        label(this, "LabelDate", QStringLiteral("Date Column"), BoxesLeft, 2820, BoxesWidth);
    TextDate = textBox(this, "TextDate", 3090);
    FieldBinder::bind(DataUser, TextPath, QStringLiteral("TEXT07"));
    FieldBinder::bind(DataUser, TextDate, QStringLiteral("TEXT08"));
    FieldBinder::bind(DataUser, TextAC, QStringLiteral("TEXT09"));
    FieldBinder::bind(DataUser, TextSheet, QStringLiteral("TEXT10"));
    new FocusHook(TextAC, [this] { TextAC_GotFocus(); });

    CommandOpen = button(this, "CommandOpen", QStringLiteral("&Open"), BoxesLeft, 3720, 1215);
    CommandImport =
        button(this, "CommandImport", QStringLiteral("&Import"), BoxesLeft + 1335, 3720, 1215);
    CommandHelp = button(this, "CommandHelp", QStringLiteral("Help"), BoxesLeft + 2670, 3720, 1215);
    connect(CommandOpen, &QPushButton::clicked, this, &FormSales::CommandOpen_Click);
    connect(CommandImport, &QPushButton::clicked, this, &FormSales::CommandImport_Click);
    connect(CommandHelp, &QPushButton::clicked, this, &FormSales::CommandHelp_Click);

    FrameHelp = new QGroupBox(QStringLiteral("Help"), this);
    FrameHelp->setObjectName(QStringLiteral("FrameHelp"));
    Twips::setGeometry(FrameHelp, 120, 4860, 8820, 1080);
    LabelHelp = label(FrameHelp, "LabelHelp", QString(), 120, 240, 8580, 780);
    LabelHelp->setWordWrap(true);
    LabelHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &FormSales::Timer1_Timer);
}

void FormSales::buildHoverTexts() {
    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->addBackground(FrameHelp);
    m_help->setText(TextAC, columnHelp(QStringLiteral("account number")));
    m_help->setText(TextDate, columnHelp(QStringLiteral("date")));
    m_help->setText(TextSheet,
                    QStringLiteral("Enter the name of the worksheet in the spreadsheet. It is very "
                                   "important that the correct sheet name is entered. ") +
                        QStringLiteral("If unsure, click on 'Open' to open the spreadsheet."));
    m_help->setText(CommandOpen, QStringLiteral("Opens the selected spreadsheet."));
    // Help on a name box offers the look into the workbook.
    for (QLineEdit* box : {TextAC, TextDate, TextSheet})
        m_help->setEnterAction(box, [this] { CommandOpen->setEnabled(true); });
}

void FormSales::Form_Load() {
    Colors::setBackground(this, Colors::ButtonFace);
    setWindowTitle(QStringLiteral("Import Sales Figures..."));
    Twips::setSize(this, Width, Height);
    setKeyPreview(true);
    FrameHelp->setVisible(false);
    CommandOpen->setEnabled(false);
    CommandImport->setEnabled(false);
    DataUser->refresh();

    const QString home = QDir::homePath();
    Drive1->setDrive(QStorageInfo(home).rootPath());
    Dir1->setPath(home);
}

void FormSales::Form_Activate() {
    enableImport();
}

bool FormSales::Form_KeyUp(QKeyEvent* event) {
    if (event->key() != Qt::Key_F1)
        return false;
    CommandHelp_Click();
    return true;
}

void FormSales::Form_Unload(bool&) {
    Timer1->stop();
}

QString FormSales::accountColumn() const {
    return TextAC->text().trimmed();
}

QString FormSales::dateColumn() const {
    return TextDate->text().trimmed();
}

void FormSales::enableImport() {
    const bool complete =
        !TextPath->text().isEmpty() && !TextDate->text().isEmpty() && !TextAC->text().isEmpty();
    if (CommandImport->isEnabled() != complete)
        CommandImport->setEnabled(complete);
}

void FormSales::Drive1_Change() {
    Dir1->setPath(Drive1->drive());
}

void FormSales::Dir1_Change() {
    File1->setPath(Dir1->path());
}

void FormSales::File1_Click() {
    const QString name = File1->fileName();
    if (name.isEmpty())
        return;
    CommandImport->setEnabled(true);
    TextPath->setText(QDir::toNativeSeparators(QDir(Dir1->path()).filePath(name)));
}

void FormSales::TextAC_GotFocus() {
    if (!Timer1->isActive())
        Timer1->start();
}

void FormSales::Timer1_Timer() {
    enableImport();
}

void FormSales::CommandOpen_Click() {
    ModuleMouse::PointerBusy();
    SpreadsheetApp excel;
    QString error;
    const bool opened = excel.openWorkbook(TextPath->text(), &error) != nullptr;
    if (opened)
        excel.setVisible(true); // the user's spreadsheet program shows the file
    ModuleMouse::PointerNormal();
    if (!opened)
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
}

void FormSales::CommandImport_Click() {
    const SalesImport::Settings settings{TextPath->text(), TextSheet->text(), TextAC->text(),
                                         TextDate->text()};
    if (settings.sheet.trimmed().isEmpty() || settings.accountColumn.trimmed().isEmpty() ||
        settings.dateColumn.trimmed().isEmpty()) {
        ModuleMouse::PointerNormal();
        MsgBox::show(incompleteMessage(), MsgBox::OKOnly | MsgBox::Information);
        return;
    }
    // The choices are kept, also when the import fails: the user corrects them.
    DataUser->save();
    ModuleMouse::PointerBusy();
    QString error;
    const auto imported = SalesImport::run(QStringLiteral("User.mdb"), settings, &error);
    ModuleMouse::PointerNormal();
    if (!imported) {
        MsgBox::show(failedMessage() + QStringLiteral("\n\n") + error,
                     MsgBox::OKOnly | MsgBox::Critical, QStringLiteral("Tessaly"));
        return;
    }
    MsgBox::show(importedMessage(), MsgBox::OKOnly, QStringLiteral("Tessaly"));
    // An open sales window shows the new figures.
    if (auto* figures = qobject_cast<FormSalesFigures*>(Forms::loaded(FormSalesFigures::Name));
        figures && figures->isVisible())
        figures->Load();
}

void FormSales::CommandHelp_Click() {
    ModuleHelp::ShowHelp();
}
