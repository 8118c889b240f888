#include "FormAttachments.h"

#include "app/Controls.h"
#include "app/Forms.h"
#include "app/FunctionKeyBar.h"
#include "app/HoverHelp.h"
#include "companies/CompanyOfWindow.h"
#include "companies/FormBrowser.h"
#include "companies/FormCompanies.h"
#include "data/CompanyView.h"
#include "data/DataSource.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/CompanyPicker.h"
#include "widgets/DBList.h"
#include "widgets/DataMessages.h"
#include "widgets/DirList.h"
#include "widgets/DriveList.h"
#include "widgets/FieldBinder.h"
#include "widgets/FileList.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>
#include <functional>

namespace {

using Controls::button;
using Controls::label;
using Controls::pictureButton;

constexpr int FieldsLeft = 5520, FieldsWidth = 7260;
constexpr int PickerLeft = 120, PickerWidth = 12660, PickerHeight = 3900;

// Runs an action when a watched control sees an event of one type, and lets
// the event go on.
class EventHook : public QObject {
public:
    EventHook(QObject* watched, QEvent::Type type, std::function<void()> action)
        : QObject(watched)
        , m_type(type)
        , m_action(std::move(action)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == m_type)
            m_action();
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_action;
};

} // namespace

QString FormAttachments::warningText() {
    return QStringLiteral("IT APPEARS THAT THE PATH TO YOUR ATTACHMENT DOES NOT EXIST !");
}

QString FormAttachments::noAttachmentsMessage() {
    return QStringLiteral("There are no attachments to choose from");
}

FormAttachments::FormAttachments()
    : WorkingWindow(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    buildControls();
    buildHoverTexts();
}

void FormAttachments::buildControls() {
    DataTABLE05 = new DataSource(QStringLiteral("DataTABLE05"), this);
    DataTABLE05->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    DataTABLE01 = new DataSource(QStringLiteral("DataTABLE01"), this);
    DataTABLE01->setDatabaseName(QStringLiteral("TESSALY.mdb"));

    // Top: the function keys, the company picker, help, exit, date and time.
    m_functionKeys = new FunctionKeyBar(QString::fromLatin1(Name), this);
    Twips::setGeometry(m_functionKeys, 120, 60, 12660, 300);
    Label1 = label(this, "Label1", CompanyPicker::prompt(), 120, 420, 3000);
    DBComboSelect = new CompanyPicker(CompanyPicker::Follow::ChoiceAndTyping, this);
    Twips::setGeometry(DBComboSelect, 120, 690, 4200, 315);
    DBComboSelect->setCompanies(DataTABLE01);
    Colors::setBackground(DBComboSelect, Colors::White);
    DBComboSelect->setCurrentCompany([this]() -> CurrentCompany* { return companies(); });
    connect(DBComboSelect, &CompanyPicker::companyChosen, this, &FormAttachments::Load);
    LabelDateandTime = label(this, "LabelDateandTime", QString(), 4560, 720, 4200);
    CommandHelp = pictureButton(this, "CommandHelp", "help-browser", 9240, 600);
    CommandExit =
        button(this, "CommandExit", QStringLiteral("E&xit Application"), 11040, 630, 1740);
    connect(CommandHelp, &QPushButton::clicked, this, &FormAttachments::CommandHelp_Click);
    connect(CommandExit, &QPushButton::clicked, this, &FormAttachments::CommandExit_Click);

    // Left: the list of attachments.
    LabelList = label(this, "LabelList", QStringLiteral("Select Attachment..."), 120, 1200, 5000);
    DBList1 = new DBList(this);
    DBList1->setObjectName(QStringLiteral("DBList1"));
    Twips::setGeometry(DBList1, 120, 1470, 5280, 3540);
    DBList1->setRowSource(DataTABLE05, QStringLiteral("TEXT01"));
    connect(DBList1, &DBList::clicked, this, &FormAttachments::DBList1_Click);
    // A double click anywhere in the list, also where there is no entry.
    new EventHook(DBList1->viewport(), QEvent::MouseButtonDblClick, [this] {
        // The list handles the click that chose the entry first.
        QTimer::singleShot(0, this, &FormAttachments::DBList1_DblClick);
    });

    // Right: the current attachment.
    LabelAttachment =
        label(this, "LabelAttachment", QStringLiteral("Attachment"), FieldsLeft, 1200, 3000);
    TEXT01 = new QLineEdit(this);
    TEXT01->setObjectName(QStringLiteral("TEXT01"));
    TEXT01->setReadOnly(true);
    Twips::setGeometry(TEXT01, FieldsLeft, 1470, FieldsWidth, 315);
    FieldBinder::bind(DataTABLE05, TEXT01, QStringLiteral("TEXT01"));
    LabelDate = label(this, "LabelDate", QStringLiteral("Date"), FieldsLeft, 1920, 3000);
    DATE01 = new QLineEdit(this);
    DATE01->setObjectName(QStringLiteral("DATE01"));
    Twips::setGeometry(DATE01, FieldsLeft, 2190, 2400, 315);
    FieldBinder::bind(DataTABLE05, DATE01, QStringLiteral("DATE01"));
    LabelDescription =
        label(this, "LabelDescription", QStringLiteral("Description"), FieldsLeft, 2640, 3000);
    MEMO01 = new QPlainTextEdit(this);
    MEMO01->setObjectName(QStringLiteral("MEMO01"));
    Twips::setGeometry(MEMO01, FieldsLeft, 2910, FieldsWidth, 2100);
    FieldBinder::bind(DataTABLE05, MEMO01, QStringLiteral("MEMO01"));
    NUMBER01 = new QLineEdit(this);
    NUMBER01->setObjectName(QStringLiteral("NUMBER01"));
    NUMBER01->setVisible(false);
    FieldBinder::bind(DataTABLE05, NUMBER01, QStringLiteral("NUMBER01"));

    LabelWarning = label(this, "LabelWarning", warningText(), 120, 5130, 12660, 285);
    Colors::setForeground(LabelWarning, Colors::Red);
    QFont bold = LabelWarning->font();
    bold.setBold(true);
    LabelWarning->setFont(bold);

    // The file picker, waiting below the window until a new attachment is started.
    FrameSelect = new QGroupBox(QStringLiteral("Select File"), this);
    FrameSelect->setObjectName(QStringLiteral("FrameSelect"));
    Twips::setGeometry(FrameSelect, PickerLeft, PickerWaitingTop, PickerWidth, PickerHeight);
    // In view it covers the list and the boxes beneath it.
    Colors::setBackground(FrameSelect, Colors::White);
    Drive1 = new DriveList(FrameSelect);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Twips::setGeometry(Drive1, 120, 300, 5160, 315);
    Dir1 = new DirList(FrameSelect);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Twips::setGeometry(Dir1, 120, 720, 5160, 3030);
    File1 = new FileList(FrameSelect);
    File1->setObjectName(QStringLiteral("File1"));
    Twips::setGeometry(File1, 5400, 300, 7140, 3450);
    connect(Drive1, &DriveList::changed, this, &FormAttachments::Drive1_Change);
    connect(Dir1, &DirList::changed, this, &FormAttachments::Dir1_Change);
    connect(File1, &FileList::clicked, this, &FormAttachments::File1_Click);
    new EventHook(Drive1, QEvent::FocusIn, [this] { Drive1_GotFocus(); });

    FrameHelp = new QGroupBox(QStringLiteral("Help"), this);
    FrameHelp->setObjectName(QStringLiteral("FrameHelp"));
    Twips::setGeometry(FrameHelp, 120, 5460, 12660, 720);
    LabelHelp = label(FrameHelp, "LabelHelp", QString(), 120, 210, 12420, 480);

    CommandNew = pictureButton(this, "CommandNew", "import", 120, 6300);
    CommandDelete = pictureButton(this, "CommandDelete", "edit-delete", 780, 6300);
    connect(CommandNew, &QPushButton::clicked, this, &FormAttachments::CommandNew_Click);
    connect(CommandDelete, &QPushButton::clicked, this, &FormAttachments::CommandDelete_Click);

    TimerLoad = new QTimer(this);
    TimerLoad->setObjectName(QStringLiteral("TimerLoad"));
    TimerLoad->setInterval(10);
    connect(TimerLoad, &QTimer::timeout, this, &FormAttachments::TimerLoad_Timer);
}

void FormAttachments::buildHoverTexts() {
    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->addBackground(FrameHelp);
    m_help->addBackground(FrameSelect);
    // Over the list the help goes, as over the background.
    m_help->setEnterAction(DBList1, [this] { m_help->showBackground(); });
    m_help->setText(CommandNew, [this] {
        return QStringLiteral("Add a new attachment to ") + companyName() + u'.';
    });
    m_help->setText(CommandDelete, QStringLiteral("Deletes the attachment."));
    m_help->setText(MEMO01, [this] {
        return QStringLiteral("Enter a discription for ") + TEXT01->text() + u'.';
    });
    m_help->setText(File1, [this] {
        // While picking, the company the new attachment was started for.
        return QStringLiteral("Click a file to make it an attachment to ") +
               (m_newFor ? m_newForName : companyName()) + u'.';
    });
    m_help->setText(Dir1, QStringLiteral("Select the folder where the attachment is located."));
    m_help->setText(CommandHelp, QStringLiteral("Tessaly Help"));
    m_help->setText(CommandExit, QStringLiteral("Exit and close the program."));
    m_help->setText(DBComboSelect, CompanyPicker::hoverText());
}

FormCompanies* FormAttachments::companies() const {
    return CompanyOfWindow::companies(this);
}

QString FormAttachments::companyName() const {
    return CompanyOfWindow::name(this);
}

QString FormAttachments::companyKey() const {
    return CompanyOfWindow::keySql(this);
}

void FormAttachments::Form_Load() {
    Colors::setBackground(this, Colors::White);
    setWindowTitle(QStringLiteral("Attachments"));
    FormCompanies* form = companies();
    const QRect size = form ? Twips::geometry(form) : QRect();
    Twips::setFixedSize(this, size.width() > 0 ? size.width() : 12900,
                        size.height() > 0 ? size.height() : 7130);
    setKeyPreview(true);
    FrameHelp->setVisible(false);
    LabelWarning->setVisible(false);
    showPicker(false);

    // The picker starts in the user's own folder.
    const QString home = QDir::homePath();
    Drive1->setDrive(QStorageInfo(home).rootPath());
    Dir1->setPath(home);

    DataTABLE01->setRecordSource(CompanyView::recordSource(form && form->isCompanyArchived(),
                                                           form ? form->chosenUser() : QString()));
    DataMessages::refresh(DataTABLE01);
    TimerLoad->start();
}

void FormAttachments::Form_Activate() {
    Load();
}

void FormAttachments::Load() {
    // A row begun for a new attachment has no file yet: the refresh would
    // store it empty. Picking goes on; the file picked begins it again.
    dropRowWithoutFile();
    m_listedFor = companyKey();
    DataTABLE05->setRecordSource(QStringLiteral("SELECT * FROM TABLE05 WHERE") +
                                 QStringLiteral(" TABLE05.NUMBER01 =") + m_listedFor +
                                 QStringLiteral("  ORDER BY DATE01 DESC"));
    DataMessages::refresh(DataTABLE05);
    // The list marks the attachment shown.
    DBList1->setListIndex(DataTABLE05->currentRow());
    checkPath();
}

void FormAttachments::checkPath() {
    const QString path = TEXT01->text();
    LabelWarning->setVisible(!path.isEmpty() && !QFileInfo(path).isFile());
}

void FormAttachments::TimerLoad_Timer() {
    const QString now = Locale::dateText(Clock::today()) + u' ' + Locale::timeText(Clock::time());
    if (LabelDateandTime->text() != now)
        LabelDateandTime->setText(now);
    const QString caption = QStringLiteral("Attachments - ") + companyName();
    if (windowTitle() != caption)
        setWindowTitle(caption);
}

void FormAttachments::dropRowWithoutFile() {
    Recordset* rows = DataTABLE05->recordset();
    if (rows->isNewRow() && TEXT01->text().isEmpty())
        rows->cancelUpdate();
}

void FormAttachments::DBList1_Click() {
    CommandDelete->setEnabled(true);
    dropRowWithoutFile();
    const QByteArray bookmark = DBList1->selectedItem();
    if (!bookmark.isEmpty())
        DataTABLE05->recordset()->setBookmark(bookmark); // a failure leaves the row shown
    checkPath();
}

void FormAttachments::DBList1_DblClick() {
    dropRowWithoutFile();
    const QByteArray bookmark = DBList1->selectedItem();
    if (bookmark.isEmpty() || !DataTABLE05->recordset()->setBookmark(bookmark)) {
        MsgBox::show(noAttachmentsMessage(), MsgBox::OKOnly | MsgBox::Information);
        return;
    }
    checkPath();
    auto* browser = Forms::get<FormBrowser>();
    if (!browser) {
        MsgBox::show(noAttachmentsMessage(), MsgBox::OKOnly | MsgBox::Information);
        return;
    }
    browser->show();
    browser->raise();
    browser->activateWindow();
    // The viewer tells itself about a file that is gone or that it cannot show.
    browser->Navigate(TEXT01->text());
}

bool FormAttachments::beginRow(const QString& company) {
    if (!DataTABLE05->recordset()->addNew())
        return false;
    NUMBER01->setText(company);
    return true;
}

void FormAttachments::CommandNew_Click() {
    FormCompanies* form = companies();
    // A company just entered is stored first: it gets its key then.
    const QString key = form ? form->storedCompanyKey().trimmed() : QString();
    bool ok = false;
    key.toLongLong(&ok);
    if (!ok) {
        MsgBox::show(QStringLiteral("There is no company to attach a file to."),
                     MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    if (!beginRow(key)) {
        const QString error = DataTABLE05->lastError();
        MsgBox::show(error.isEmpty() ? QStringLiteral("A new attachment cannot be started.")
                                     : error,
                     MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    m_newFor = key;
    m_newForName = form->companyName();
    checkPath();
    showPicker(true);
    CommandNew->setEnabled(false);
}

void FormAttachments::Drive1_Change() {
    Dir1->setPath(Drive1->drive());
}

void FormAttachments::Dir1_Change() {
    File1->setPath(Dir1->path());
}

void FormAttachments::Drive1_GotFocus() {
    LabelHelp->setText(QStringLiteral("Select the drive where the attachment is located."));
    FrameHelp->setVisible(true);
}

void FormAttachments::File1_Click() {
    const QString name = File1->fileName();
    if (!m_newFor || name.isEmpty())
        return;
    // One separator between folder and name, also in a drive's root folder.
    const QString path = QDir::toNativeSeparators(QDir(Dir1->path()).filePath(name));
    Recordset* rows = DataTABLE05->recordset();
    // The row begun was dropped meanwhile (another company or attachment
    // was chosen): it is begun again, for the company it was started for.
    if (!rows->isNewRow() && !beginRow(*m_newFor)) {
        MsgBox::show(DataTABLE05->lastError(), MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    TEXT01->setText(path);
    DATE01->setText(Locale::dateText(Clock::today()));
    // Stored with the list read again when the listed company is the one the
    // attachment is for; for another company it is stored as it is and
    // stays shown until the list is read again.
    const bool listed = *m_newFor == m_listedFor;
    if (!(listed ? DataTABLE05->refresh() : DataTABLE05->save()))
        return; // the data source has told the user; picking goes on
    // The new attachment is the current one, for its description: after a
    // refresh the first row may be another attachment of the same day.
    const QByteArray added = rows->lastModified();
    if (!added.isEmpty())
        rows->setBookmark(added);
    DBList1->setListIndex(DataTABLE05->currentRow());
    checkPath();
    endPicking();
    MEMO01->setFocus();
}

void FormAttachments::CommandDelete_Click() {
    if (m_newFor) {
        // The current attachment is the new one: it is given up.
        DataTABLE05->recordset()->cancelUpdate();
        endPicking();
        checkPath();
        return;
    }
    Recordset* rows = DataTABLE05->recordset();
    if (rows->recordCount() < 1)
        return;
    // Only the row goes: the user's file stays where it is. Failures are
    // passed over, as the list shows what is left either way.
    rows->deleteCurrent();
    DataTABLE05->refresh();
    DBList1->setListIndex(DataTABLE05->currentRow());
    checkPath();
}

void FormAttachments::showPicker(bool shown) {
    Twips::move(FrameSelect, PickerLeft, shown ? PickerShownTop : PickerWaitingTop);
    // Out of view it takes no keyboard focus either.
    FrameSelect->setVisible(shown);
    if (shown)
        FrameSelect->raise();
}

void FormAttachments::endPicking() {
    m_newFor.reset();
    m_newForName.clear();
    showPicker(false);
    CommandNew->setEnabled(true);
}

void FormAttachments::Form_QueryUnload(bool& cancel) {
    Q_UNUSED(cancel);
    // Closing is a save point: a new attachment without a file is no attachment.
    dropRowWithoutFile();
}

void FormAttachments::Form_Unload(bool& cancel) {
    TimerLoad->stop();
    WorkingWindow::Form_Unload(cancel);
}
