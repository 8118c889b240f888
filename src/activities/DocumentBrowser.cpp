#include "DocumentBrowser.h"

#include "app/Controls.h"
#include "app/EditToolbar.h"
#include "app/Forms.h"
#include "app/FunctionKeyBar.h"
#include "app/HoverHelp.h"
#include "app/ModuleButtons.h"
#include "app/ModuleHelp.h"
#include "app/ModuleMouse.h"
#include "companies/CompanyOfWindow.h"
#include "companies/FormCompanies.h"
#include "data/Columns.h"
#include "data/CompanyView.h"
#include "data/DataSource.h"
#include "data/SqlQuote.h"
#include "data/SqliteConnection.h"
#include "data/SqliteStatement.h"
#include "formats/Rtf.h"
#include "mail/OutlookItems.h"
#include "office/WordApp.h"
#include "services/Clipboard.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/CompanyPicker.h"
#include "widgets/DataMessages.h"
#include "widgets/DataNavigator.h"
#include "widgets/FieldBinder.h"
#include "widgets/RichTextBox.h"

#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <sqlite3.h>

namespace {

using Controls::button;
using Controls::image;
using Controls::label;
using Controls::pictureButton;

// The largest font size the text control takes: its sizes are whole twips
// below 32768.
constexpr int LargestFontSize = 1638;
constexpr int DocumentFontSize = 10;
constexpr int DocumentTop = 2160;
// The size of a window that opens without the companies window.
constexpr int DefaultWidth = 12900, DefaultHeight = 7130;

// Shifts every explicit font size of the document by `points` (at least
// one point stays), without the change counting as an edit of the text.
void shiftFontSizes(QTextDocument& document, int points) {
    if (points == 0)
        return;
    const QSignalBlocker blocker(&document);
    const bool modified = document.isModified();
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    auto shifted = [points](const QTextCharFormat& format) {
        QTextCharFormat size;
        size.setFontPointSize(std::max(1.0, format.fontPointSize() + points));
        return size;
    };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.charFormat().fontPointSize() > 0)
            QTextCursor(block).mergeBlockCharFormat(shifted(block.charFormat()));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().fontPointSize() <= 0)
                continue;
            QTextCursor cursor(&document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(shifted(fragment.charFormat()));
        }
    }
    document.setUndoRedoEnabled(undo);
    document.setModified(modified);
}

} // namespace

DocumentBrowser::DocumentBrowser(const Design& design)
    : WorkingWindow(QString::fromLatin1(design.name))
    , m_design(design) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    buildControls();
    buildHoverTexts();
}

void DocumentBrowser::buildControls() {
    m_documents = new DataSource(QStringLiteral("Data") + QLatin1String(m_design.table), this);
    m_documents->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    const bool company = m_design.companyWindow;

    if (company) {
        m_functionKeys = new FunctionKeyBar(QString::fromLatin1(m_design.name), this);
        Twips::setGeometry(m_functionKeys, 120, 60, 12660, 300);

        DataTABLE01 = new DataSource(QStringLiteral("DataTABLE01"), this);
        DataTABLE01->setDatabaseName(QStringLiteral("TESSALY.mdb"));
        LabelSelect = label(this, "LabelSelect", CompanyPicker::prompt(), 120, 420, 3000);
        DBComboSelect = new CompanyPicker(CompanyPicker::Follow::ChoiceAndTyping, this);
        Twips::setGeometry(DBComboSelect, 120, 690, 4200, 315);
        DBComboSelect->setCompanies(DataTABLE01);
        Colors::setBackground(DBComboSelect, Colors::White);
        DBComboSelect->setCurrentCompany([this]() -> CurrentCompany* { return companies(); });
        connect(DBComboSelect, &CompanyPicker::companyChosen, this, &DocumentBrowser::Load);

        CommandSearch = pictureButton(this, "CommandSearch", "edit-find", 4440, 600);
        connect(CommandSearch, &QPushButton::clicked, this, &DocumentBrowser::CommandSearch_Click);
    }

    // The search box and its buttons.
    const int searchLeft = company ? 5100 : 120;
    const int searchTop = company ? 660 : 180;
    TextFind = new QLineEdit(this);
    TextFind->setObjectName(QStringLiteral("TextFind"));
    Twips::setGeometry(TextFind, searchLeft, searchTop, 2700, 315);
    Colors::setBackground(TextFind, Colors::White);
    CommandFind = button(this, "CommandFind", QStringLiteral("&Find"), searchLeft + 2760,
                         searchTop - 30, 900);
    CommandReset = button(this, "CommandReset", QStringLiteral("&Reset"), searchLeft + 3720,
                          searchTop - 30, 900);
    connect(CommandFind, &QPushButton::clicked, this, &DocumentBrowser::CommandFind_Click);
    connect(CommandReset, &QPushButton::clicked, this, &DocumentBrowser::CommandReset_Click);
    connect(TextFind, &QLineEdit::returnPressed, this, &DocumentBrowser::CommandFind_Click);

    if (company) {
        Toolbar1 = new EditToolbar(this);
        Twips::setGeometry(Toolbar1, 10560, 600, 2220, 420);
        CommandHelp = pictureButton(this, "CommandHelp", "help-browser", 9540, 1110);
        CommandExit =
            button(this, "CommandExit", QStringLiteral("E&xit Application"), 11040, 1140, 1740);
        CommandExit->setToolTip(QStringLiteral("Exit Application"));
        connect(CommandHelp, &QPushButton::clicked, this, &DocumentBrowser::CommandHelp_Click);
        connect(CommandExit, &QPushButton::clicked, this, &DocumentBrowser::CommandExit_Click);
    }

    // The navigation bar, the position and the commands on the document.
    const int rowTop = company ? 1110 : 600;
    m_navigator = new DataNavigator(this);
    m_navigator->setDataSource(m_documents);
    Twips::setGeometry(m_navigator, 120, rowTop + 30, 1500, 360);
    LabelPosition = label(this, "LabelPosition", QString(), 1740, rowTop + 90, 3300);
    int left = 5160;
    if (company) {
        CommandEdit = pictureButton(this, "CommandEdit", "accessories-text-editor", left, rowTop);
        CommandDelete = pictureButton(this, "CommandDelete", "edit-delete", left + 660, rowTop);
        connect(CommandEdit, &QPushButton::clicked, this, &DocumentBrowser::CommandEdit_Click);
        connect(CommandDelete, &QPushButton::clicked, this, &DocumentBrowser::CommandDelete_Click);
        left += 1320;
    }
    CommandZoomIn = button(this, "CommandZoomIn", QStringLiteral("+"), left, rowTop, 420, 420);
    CommandZoomOut =
        button(this, "CommandZoomOut", QStringLiteral("-"), left + 480, rowTop, 420, 420);
    CommandWord = pictureButton(this, "CommandWord", "word", left + 1020, rowTop);
    CommandOutlook = pictureButton(this, "CommandOutlook", "outlook", left + 1680, rowTop);
    connect(CommandZoomIn, &QPushButton::clicked, this, &DocumentBrowser::CommandZoomIn_Click);
    connect(CommandZoomOut, &QPushButton::clicked, this, &DocumentBrowser::CommandZoomOut_Click);
    connect(CommandWord, &QPushButton::clicked, this, &DocumentBrowser::CommandWord_Click);
    connect(CommandOutlook, &QPushButton::clicked, this, &DocumentBrowser::CommandOutlook_Click);

    // The hover help, and what is being started beside it.
    const int helpTop = rowTop + 450;
    FrameHelp = new QGroupBox(QStringLiteral("Help"), this);
    FrameHelp->setObjectName(QStringLiteral("FrameHelp"));
    Twips::setGeometry(FrameHelp, 120, helpTop, 9000, 540);
    LabelHelp = label(FrameHelp, "LabelHelp", QString(), 120, 210, 8760, 300);
    ImageWord = image(this, "ImageWord", "word", 9300, helpTop + 150);
    ImageOutlook = image(this, "ImageOutlook", "outlook", 9300, helpTop + 150);
    LabelLoad = label(this, "LabelLoad", QString(), 9660, helpTop + 170, 3120);
    LabelLoad->setVisible(false);

    RichTextBox1 = new RichTextBox(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    QFont documentFont = RichTextBox1->font();
    documentFont.setPointSize(DocumentFontSize);
    RichTextBox1->setFont(documentFont);
    m_fontSize = DocumentFontSize;
    Colors::setBackground(RichTextBox1, Colors::White);
    Twips::setGeometry(RichTextBox1, 120, company ? DocumentTop : helpTop + 600, 12660, 4200);
    FieldBinder::bind(m_documents, RichTextBox1, DocumentColumn::Text);
    // A document just shown takes the zoom of the window.
    connect(RichTextBox1, &RichTextBox::textRTFChanged, this, [this] {
        if (RichTextBox1->document()->isModified())
            return; // an edit, not another document
        m_shownZoom = 0;
        applyZoom(m_fontSize - DocumentFontSize);
    });

    for (const QString& name : m_design.hiddenBoxes) {
        auto* box = new QLineEdit(this);
        box->setObjectName(name);
        box->setVisible(false);
        FieldBinder::bind(m_documents, box, name);
    }

    TimerLoad = new QTimer(this);
    TimerLoad->setObjectName(QStringLiteral("TimerLoad"));
    TimerLoad->setInterval(100);
    connect(TimerLoad, &QTimer::timeout, this, &DocumentBrowser::TimerLoad_Timer);
    TimerSearch = new QTimer(this);
    TimerSearch->setObjectName(QStringLiteral("TimerSearch"));
    TimerSearch->setInterval(1000);
    connect(TimerSearch, &QTimer::timeout, this, &DocumentBrowser::TimerSearch_Timer);

    connect(m_documents, &DataSource::currentChanged, this, &DocumentBrowser::showPosition);
    connect(m_documents, &DataSource::refreshed, this, &DocumentBrowser::showPosition);
    connect(m_documents, &DataSource::rowInserted, this, &DocumentBrowser::showPosition);
    connect(m_documents, &DataSource::rowRemoved, this, &DocumentBrowser::showPosition);
}

void DocumentBrowser::buildHoverTexts() {
    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->addBackground(FrameHelp);
    m_help->setText(CommandZoomIn, QStringLiteral("Zoom in."));
    m_help->setText(CommandZoomOut, QStringLiteral("Zoom out."));
    m_help->setText(CommandWord, QStringLiteral("Send to MS-Word"));
    m_help->setText(CommandOutlook, QStringLiteral("Send to MS-Outlook"));
    m_help->setText(TextFind, QStringLiteral("Enter the phrase you are looking for."));
    m_help->setText(m_navigator, m_design.navigationHelp);
    // Over the document the help goes, as over the background.
    m_help->setEnterAction(RichTextBox1, [this] { m_help->showBackground(); });
    if (!m_design.companyWindow) {
        m_help->setText(CommandFind,
                        QStringLiteral("Search all call reports containing text you enter. ") +
                            QStringLiteral("Searches are not case sensitive."));
        return;
    }
    m_help->addBackground(Toolbar1);
    m_help->setText(CommandDelete, QStringLiteral("Delete this record."));
    m_help->setText(CommandEdit, [this] {
        return isEditing() ? QStringLiteral("Lock the controls when finished editing.")
                           : QStringLiteral("Edit information.");
    });
    m_help->setText(CommandExit, QStringLiteral("Exit and close the program."));
    m_help->setText(CommandHelp, QStringLiteral("Tessaly Help"));
    m_help->setText(CommandSearch, [this] {
        return m_design.searchHelpBefore + companyName() +
               QStringLiteral(" containing text you enter. ") +
               QStringLiteral("Searches are not case sensitive.");
    });
    m_help->setText(DBComboSelect, CompanyPicker::hoverText());
}

FormCompanies* DocumentBrowser::companies() const {
    return CompanyOfWindow::companies(this);
}

QString DocumentBrowser::companyName() const {
    return CompanyOfWindow::name(this);
}

QString DocumentBrowser::companyKey() const {
    return CompanyOfWindow::keySql(this);
}

QLineEdit* DocumentBrowser::hiddenBox(const QString& name) const {
    return findChild<QLineEdit*>(name);
}

QString DocumentBrowser::allDocumentsSource() const {
    return QStringLiteral("SELECT * FROM ") + QLatin1String(m_design.table) +
           QStringLiteral(" ORDER BY DATE01 DESC");
}

bool DocumentBrowser::isEditing() const {
    return Colors::background(this) != Colors::White;
}

void DocumentBrowser::Form_Load() {
    Colors::setBackground(this, Colors::White);
    Colors::setBackground(LabelPosition, Colors::White);
    setKeyPreview(true);
    FrameHelp->setVisible(false);
    RichTextBox1->setReadOnly(true);
    if (!m_design.caption.isEmpty())
        setWindowTitle(m_design.caption);
    if (!m_design.companyWindow) {
        Twips::setSize(this, DefaultWidth, DefaultHeight);
        runRecordSource(loadSource());
        return;
    }
    Toolbar1->setVisible(false);
    TextFind->setVisible(false);
    CommandFind->setVisible(false);
    CommandReset->setVisible(false);
    FormCompanies* form = companies();
    const QRect size = form ? Twips::geometry(form) : QRect();
    Twips::setSize(this, size.width() > 0 ? size.width() : DefaultWidth,
                   size.height() > 0 ? size.height() : DefaultHeight);

    // The companies of the companies window's view.
    DataTABLE01->setRecordSource(CompanyView::recordSource(form && form->isCompanyArchived(),
                                                           form ? form->chosenUser() : QString()));
    DataMessages::refresh(DataTABLE01);
    Load();
    TimerLoad->start();
}

void DocumentBrowser::Form_Activate() {
    if (!m_design.companyWindow)
        return;
    // Coming back to rows read a moment ago, with nothing written since,
    // shows the first of them again without the same query once more.
    if (isUnchanged(companySource())) {
        if (m_documents->rowCount() > 0)
            m_documents->recordset()->moveFirst();
        return;
    }
    Load();
}

bool DocumentBrowser::isUnchanged(const QString& source) {
    const Recordset* records = m_documents->recordset();
    if (!m_lastRead || records->isNewRow() || records->hasPendingEdit() ||
        m_documents->recordSource() != source || m_lastRead->source != source)
        return false;
    const auto connection = m_documents->connection();
    return connection && connection.get() == m_lastRead->connection &&
           writeStamp(*connection) == m_lastRead->stamp;
}

quint64 DocumentBrowser::writeStamp(SqliteConnection& connection) {
    return connection.pollChanges();
}

bool DocumentBrowser::runRecordSource(const QString& source) {
    m_lastRead.reset();
    m_documents->setRecordSource(source);
    if (!DataMessages::refresh(m_documents))
        return false;
    if (const auto connection = m_documents->connection())
        m_lastRead = ReadState{source, connection.get(), writeStamp(*connection)};
    return true;
}

QString DocumentBrowser::companySource() const {
    const QString table = QLatin1String(m_design.table);
    return QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE ") + table +
           QStringLiteral(".TEXT01 ") + QStringLiteral("= '") + SqlQuote::text(companyName()) +
           QStringLiteral("' OR ") + table + QStringLiteral(".NUMBER01 = ") + companyKey() +
           QStringLiteral(" ORDER BY  ") + table + QStringLiteral(".DATE01 DESC");
}

void DocumentBrowser::Load() {
    runRecordSource(m_design.companyWindow ? companySource() : m_documents->recordSource());
}

QString DocumentBrowser::findSource(const QString& phrase) const {
    const QString table = QLatin1String(m_design.table);
    return QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE ") + table +
           QStringLiteral(".NUMBER01 = ") + companyKey() + QStringLiteral(" AND (((") + table +
           QStringLiteral(".MEMO01)") + QStringLiteral(" Like  '*") + SqlQuote::text(phrase) +
           QStringLiteral("*'   )) ORDER BY  ") + table + QStringLiteral(".DATE01 DESC");
}

QString DocumentBrowser::positionText() const {
    const Recordset* records = m_documents->recordset();
    return m_design.item + u' ' + QString::number(records->absolutePosition() + 1) + u' ' +
           QStringLiteral("OF ") + QString::number(records->recordCount()) + u' ' + m_design.items;
}

void DocumentBrowser::showPosition() {
    LabelPosition->setText(positionText());
}

void DocumentBrowser::TimerLoad_Timer() {
    if (!m_design.caption.isEmpty())
        setWindowTitle(m_design.caption + QStringLiteral(" - ") + companyName());
    tick();
}

void DocumentBrowser::CommandSearch_Click() {
    TextFind->setVisible(true);
    CommandFind->setVisible(true);
    CommandReset->setVisible(true);
    TextFind->setFocus();
}

void DocumentBrowser::CommandFind_Click() {
    runRecordSource(findSource(TextFind->text()));
    TimerSearch->start();
}

void DocumentBrowser::TimerSearch_Timer() {
    m_searchPhrase = TextFind->text();
    const int found = RichTextBox1->find(m_searchPhrase, m_searchPosition);
    RichTextBox1->setFocus();
    // No further match gives -1, so the next search starts near the top.
    m_searchPosition = found + int(m_searchPhrase.size());
}

void DocumentBrowser::CommandReset_Click() {
    TimerSearch->stop();
    TextFind->clear();
    TextFind->setFocus();
    if (m_design.companyWindow)
        Load();
    else
        runRecordSource(allDocumentsSource());
}

void DocumentBrowser::paintEditing(qint64 background) {
    Colors::setBackground(this, background);
    Colors::setBackground(LabelPosition, background);
}

void DocumentBrowser::CommandEdit_Click() {
    const bool editing = !isEditing();
    RichTextBox1->setReadOnly(!editing);
    paintEditing(editing ? Colors::ButtonFace : Colors::White);
    Toolbar1->setVisible(editing);
}

void DocumentBrowser::CommandDelete_Click() {
    if (MsgBox::show(m_design.deleteQuestion, MsgBox::YesNo | MsgBox::Question) != MsgBox::Yes)
        return;
    if (m_documents->recordset()->recordCount() < 1)
        return;
    if (!m_documents->recordset()->deleteCurrent() || !m_documents->refresh())
        MsgBox::show(QStringLiteral("There are no records to delete"),
                     MsgBox::OKOnly | MsgBox::Information);
}

void DocumentBrowser::applyZoom(int points) {
    QFont font = RichTextBox1->font();
    font.setPointSize(m_fontSize);
    RichTextBox1->setFont(font);
    shiftFontSizes(*RichTextBox1->document(), points - m_shownZoom);
    m_shownZoom = points;
}

void DocumentBrowser::zoom(int points) {
    const int size = m_fontSize + points;
    if (size < 1 || size > LargestFontSize) {
        MsgBox::show(QStringLiteral("Cannot zoom any further."),
                     MsgBox::OKOnly | MsgBox::Information);
        return;
    }
    m_fontSize = size;
    applyZoom(m_fontSize - DocumentFontSize);
}

void DocumentBrowser::CommandZoomIn_Click() {
    zoom(2);
}

void DocumentBrowser::CommandZoomOut_Click() {
    zoom(-2);
}

void DocumentBrowser::CommandWord_Click() {
    ModuleMouse::PointerBusy();
    LabelLoad->setText(QStringLiteral("Loading MS-Word..."));
    LabelLoad->setVisible(true);
    ImageWord->setVisible(true);
    QString error;
    WordApp word;
    bool ok = false;
    if (WordDocument* letter = word.DocumentsAddLetterhead(&error)) {
        // The rich text as stored; a document stored as plain text is
        // handed over as paragraphs of plain text.
        const QString stored = RichTextBox1->textRTF();
        Clipboard::clear();
        Clipboard::setRtf(Rtf::isRtf(stored) ? stored : Rtf::fromPlainText(RichTextBox1->text()),
                          RichTextBox1->text());
        letter->Paste();
        Clipboard::clear();
        // Showing saves the document and opens it in the user's word processor.
        ok = word.SetVisible(&error);
    }
    word.Quit();
    LabelLoad->setVisible(false);
    ImageWord->setVisible(false);
    ModuleMouse::PointerNormal();
    if (!ok)
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
}

void DocumentBrowser::CommandOutlook_Click() {
    ModuleMouse::PointerBusy();
    ImageOutlook->setVisible(true);
    LabelLoad->setText(QStringLiteral("Loading MS-Outlook..."));
    LabelLoad->setVisible(true);
    QString error;
    bool ok = false;
    std::unique_ptr<OutlookItem> item = MailApp::CreateItem(MailApp::olMailItem);
    if (auto* mail = dynamic_cast<MailItem*>(item.get())) {
        mail->Subject = m_design.companyWindow && !m_design.mailSubject.isEmpty()
                            ? m_design.mailSubject + companyName()
                            : m_design.mailSubject;
        QString body = RichTextBox1->text();
        body.replace(u'\n', QStringLiteral("\r\n"));
        mail->Body = body;
        ok = mail->Display(&error);
    } else {
        error = QStringLiteral("The mail program cannot make a new e-mail.");
    }
    item.reset();
    ImageOutlook->setVisible(false);
    LabelLoad->setVisible(false);
    ModuleMouse::PointerNormal();
    if (!ok)
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
}

bool DocumentBrowser::Form_KeyDown(QKeyEvent* event) {
    return m_design.companyWindow && WorkingWindow::Form_KeyDown(event);
}

bool DocumentBrowser::Form_KeyUp(QKeyEvent* event) {
    return m_design.companyWindow && WorkingWindow::Form_KeyUp(event);
}

void DocumentBrowser::Form_Unload(bool& cancel) {
    TimerSearch->stop();
    TimerLoad->stop();
    if (m_design.companyWindow)
        WorkingWindow::Form_Unload(cancel);
}

void DocumentBrowser::Form_Resize() {
    // The document keeps its top edge and takes the rest of the window,
    // measured on the window's outer frame.
    const int outerWidth = Twips::fromPixelsX(frameGeometry().width());
    const int outerHeight = Twips::fromPixelsY(frameGeometry().height());
    const QRect box = Twips::geometry(RichTextBox1);
    Twips::setGeometry(RichTextBox1, box.x(), box.y(),
                       std::max(0, outerWidth - m_design.widthMargin),
                       std::max(0, outerHeight - box.y() - m_design.heightMargin));
}

void DocumentBrowser::resizeEvent(QResizeEvent* event) {
    Form::resizeEvent(event);
    Form_Resize();
}
