#include "FormWrite.h"

#include "DocumentToolbar.h"
#include "FormSignature.h"
#include "app/Forms.h"
#include "app/ModuleMouse.h"
#include "companies/FormCompanies.h"
#include "data/Columns.h"
#include "data/DocumentFiler.h"
#include "data/Field.h"
#include "mail/OutlookItems.h"
#include "office/ModuleSpelling.h"
#include "office/WordApp.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "services/Clipboard.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/RichTextBox.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const QString Letter = QStringLiteral("LETTER");
const QString Telefax = QStringLiteral("TELEFAX");
const QString EMail = QStringLiteral("EMAIL");
const QString Report = QStringLiteral("REPORT");
const QString CrLf = QStringLiteral("\r\n");

// The editor takes the size of the companies window; this one when that is not open.
constexpr int DefaultWidth = 12900, DefaultHeight = 7130;
constexpr int ToolbarHeight = 420;
constexpr int FrameTop = 480, FrameHeight = 1500;
constexpr int DocumentLeft = 25;

QLineEdit* hiddenBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setVisible(false);
    return box;
}

} // namespace

FormWrite::FormWrite()
    : Form(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    buildControls();
}

void FormWrite::buildControls() {
    RichTextBox1 = new RichTextBox(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    Toolbar1 = new DocumentToolbar(DocumentToolbar::AllKeys(), this);
    connect(Toolbar1, &DocumentToolbar::buttonClick, this, &FormWrite::Toolbar1_ButtonClick);

    FrameEMail = new QGroupBox(this);
    FrameEMail->setObjectName(QStringLiteral("FrameEMail"));
    FrameEMail->setVisible(false);
    auto row = [this](int index, const char* labelName, const QString& caption,
                      const char* boxName) -> std::pair<QLabel*, QLineEdit*> {
        const int top = 180 + index * 315;
        auto* label = new QLabel(caption, FrameEMail);
        label->setObjectName(QLatin1String(labelName));
        Twips::setGeometry(label, 120, top + 30, 1000, 255);
        auto* box = new QLineEdit(FrameEMail);
        box->setObjectName(QLatin1String(boxName));
        Twips::setGeometry(box, 1200, top, 6000, 285);
        return {label, box};
    };
    std::tie(LabelTo, TextTo) = row(0, "LabelTo", QStringLiteral("TO..."), "TextTo");
    std::tie(LabelCC, TextCC) = row(1, "LabelCC", QStringLiteral("CC..."), "TextCC");
    std::tie(LabelBCC, TextBCC) = row(2, "LabelBCC", QStringLiteral("BCC..."), "TextBCC");
    std::tie(LabelSubject, TextSubject) =
        row(3, "LabelSubject", QStringLiteral("SUBJECT"), "TextSubject");

    TextMethod = hiddenBox(this, "TextMethod");
    TextCompany = hiddenBox(this, "TextCompany");
    TextSalesPerson = hiddenBox(this, "TextSalesPerson");
    connect(TextMethod, &QLineEdit::textChanged, this, &FormWrite::TextMethod_Change);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setVisible(false);
}

QString FormWrite::kind() const {
    return TextMethod->text();
}

void FormWrite::Form_Load() {
    Colors::setBackground(this, Colors::White);
    const Form* companies = Forms::loaded(QStringLiteral("FormCompanies"));
    const QSize size =
        companies ? Twips::geometry(companies).size() : QSize(DefaultWidth, DefaultHeight);
    Twips::setSize(this, size.width(), size.height());
    centerOver(companies);
    setKeyPreview(true);
    applyKind();
}

void FormWrite::Form_Activate() {
    applyKind();
}

void FormWrite::TextMethod_Change() {
    // An opener that reuses the editor gives it a new document.
    m_filed.reset();
    beginDocument();
    applyKind();
}

void FormWrite::beginDocument() {
    const auto* companies =
        qobject_cast<FormCompanies*>(Forms::loaded(QString::fromLatin1(FormCompanies::Name)));
    m_companyKey = companies ? companies->companyKey() : QString();
    m_companyName = companies ? companies->companyName() : QString();
    m_contactName = currentContactName();
}

void FormWrite::applyKind() {
    const QString current = kind();
    QStringList hidden;
    if (current == Letter) {
        hidden = {QStringLiteral("Outlook")};
        setWindowTitle(QStringLiteral("Write a Letter to ") + m_contactName);
    } else if (current == Telefax) {
        hidden = {QStringLiteral("Outlook")};
        setWindowTitle(QStringLiteral("Write a Fax to ") + m_contactName);
    } else if (current == EMail) {
        hidden = {QStringLiteral("Word"),   QStringLiteral("Font"),     QStringLiteral("Left"),
                  QStringLiteral("Right"),  QStringLiteral("Center"),   QStringLiteral("Bold"),
                  QStringLiteral("Italic"), QStringLiteral("Underline")};
        setWindowTitle(QStringLiteral("Write an E-Mail to ") + m_contactName);
    } else if (current == Report) {
        setWindowTitle(QStringLiteral("Write a Call Report related to ") + m_companyName);
    }
    Toolbar1->setHiddenButtons(hidden);
    FrameEMail->setVisible(current == EMail);
    arrange();
}

void FormWrite::resizeEvent(QResizeEvent* event) {
    Form::resizeEvent(event);
    arrange();
}

void FormWrite::arrange() {
    const int width = Twips::fromPixelsX(this->width());
    const int height = Twips::fromPixelsY(this->height());
    const bool email = kind() == EMail;
    const int documentWidth = std::max(0, width - 225);
    Twips::setGeometry(Toolbar1, 0, 0, std::max(0, width - 25), ToolbarHeight);
    Twips::setGeometry(FrameEMail, DocumentLeft, FrameTop, documentWidth, FrameHeight);
    for (QLineEdit* box : {TextTo, TextCC, TextBCC, TextSubject}) {
        const QRect at = Twips::geometry(box);
        Twips::setGeometry(box, at.x(), at.y(), std::max(1000, documentWidth - at.x() - 120),
                           at.height());
    }
    Twips::setGeometry(RichTextBox1, DocumentLeft, email ? 2040 : 480, documentWidth,
                       std::max(0, height - (email ? 2660 : 1025)));
    // The progress of a spell check shows in the strip below the document.
    Twips::setGeometry(ProgressBar1, DocumentLeft, std::max(0, height - 500), documentWidth, 285);
}

QString FormWrite::currentContactName() const {
    const Form* contacts = Forms::loaded(QStringLiteral("FormContacts"));
    auto name = [contacts](const char* box) {
        const auto* edit = contacts ? contacts->findChild<QLineEdit*>(QLatin1String(box)) : nullptr;
        return edit ? edit->text() : QString();
    };
    return name("TEXT02") + u' ' + name("TEXT03");
}

void FormWrite::setMailTo(const QString& address) {
    TextTo->setText(address);
}

void FormWrite::setReportCompany(const QString& company, const QString& salesPerson) {
    TextCompany->setText(company);
    TextSalesPerson->setText(salesPerson);
}

void FormWrite::openDocument(const QString& kind, const QString& text) {
    TextMethod->setText(kind);
    m_filed.reset();
    m_fontChosen = false;
    beginDocument();
    RichTextBox1->setText(text);
    show();
    raise();
    activateWindow();
    applyKind();
    if (kind == EMail)
        TextSubject->setFocus();
    else
        RichTextBox1->setFocus();
    RichTextBox1->moveCursor(QTextCursor::End);
}

bool FormWrite::Form_KeyDown(QKeyEvent* event) {
    if (event->key() == Qt::Key_F7) {
        SpellCheck();
        return true;
    }
    if (event->key() == Qt::Key_F11) {
        ShowSignature();
        return true;
    }
    return false;
}

void FormWrite::Toolbar1_ButtonClick(const QString& key) {
    if (DocumentToolbar::Format(RichTextBox1, key))
        return;
    if (key == QLatin1String("Font"))
        myFont();
    else if (key == QLatin1String("Spelling"))
        SpellCheck();
    else if (key == QLatin1String("Signature"))
        ShowSignature();
    else if (key == QLatin1String("Word"))
        Word();
    else if (key == QLatin1String("Outlook"))
        Outlook();
}

void FormWrite::myFont() {
    if (DocumentToolbar::ChooseFont(RichTextBox1, this))
        m_fontChosen = true;
}

void FormWrite::SpellCheck() {
    ModuleSpelling::SpellCheck(RichTextBox1, ProgressBar1);
}

void FormWrite::ShowSignature() {
    FormSignature::Open(this);
}

void FormWrite::Word() {
    // A step that fails ends the hand-over quietly; the editor keeps the text.
    ModuleMouse::PointerBusy();
    WordApp word;
    if (WordDocument* letter = word.DocumentsAddLetterhead()) {
        // The letter is written in the letterhead's body font, unless the
        // user chose a font for it here.
        QString body = RichTextBox1->textRTF();
        if (!m_fontChosen)
            if (const auto font = Rtf::insertionFont(letter->templateRtf()))
                body = DocumentToolbar::RtfInFont(*RichTextBox1->document(), *font);
        Clipboard::clear();
        Clipboard::setRtf(body, RichTextBox1->text());
        letter->Paste();
        Clipboard::clear();
        // Showing saves the document and opens it in the user's word processor.
        word.SetVisible();
    }
    ModuleMouse::PointerNormal();
}

void FormWrite::Outlook() {
    const QString current = kind();
    if (current != EMail && current != Report)
        return;
    ModuleMouse::PointerBusy();
    std::unique_ptr<OutlookItem> item = MailApp::CreateItem(MailApp::olMailItem);
    auto* mail = dynamic_cast<MailItem*>(item.get());
    if (!mail) {
        ModuleMouse::PointerNormal();
        return;
    }
    if (current == EMail) {
        mail->To = TextTo->text();
        mail->CC = TextCC->text();
        mail->BCC = TextBCC->text();
        mail->Subject = TextSubject->text();
    } else {
        mail->Subject = QStringLiteral("Call Report - ") + m_companyName;
    }
    mail->Body = plainText();
    const bool shown = mail->Display();
    item.reset();
    ModuleMouse::PointerNormal();
    if (shown)
        unload(); // the close files the document
}

QString FormWrite::plainText() const {
    QString text = RichTextBox1->text();
    text.replace(u'\n', CrLf);
    return text;
}

QString FormWrite::emailRecord() const {
    return QStringLiteral("TO: ") + TextTo->text() + CrLf + QStringLiteral("CC: ") +
           TextCC->text() + CrLf + QStringLiteral("BCC: ") + TextBCC->text() + CrLf +
           QStringLiteral("SUBJECT: ") + TextSubject->text() + CrLf + QStringLiteral("DATE: ") +
           Locale::dateText(Clock::today()) + CrLf + CrLf + plainText();
}

QString FormWrite::companyGoneMessage(const QString& company) {
    const QString reason =
        company.isEmpty()
            ? QStringLiteral("The document cannot be filed: it was begun for no company.")
            : QStringLiteral("The document cannot be filed: the company \"%1\" it was begun for "
                             "no longer exists.")
                  .arg(company);
    return reason + CrLf + QStringLiteral("Close the editor without storing the document?");
}

void FormWrite::Form_QueryUnload(bool& cancel) {
    // Every close files the document, and so does the end of the program:
    // a written document is never lost.
    const QString current = kind();
    if (current != Letter && current != Telefax && current != EMail && current != Report)
        return;
    QString error;
    switch (fileDocument(&error)) {
    case Filing::Stored:
        return;
    case Filing::CompanyGone:
        // Never an orphan row, nor a row under another company: the user may
        // keep the editor open to copy the text somewhere else.
        if (MsgBox::show(companyGoneMessage(m_companyName), MsgBox::YesNo | MsgBox::Exclamation) !=
            MsgBox::Yes)
            cancel = true;
        return;
    case Filing::Failed:
        break;
    }
    MsgBox::show(QStringLiteral("The document could not be stored, so the editor stays open: ") +
                     error,
                 MsgBox::OKOnly | MsgBox::Critical);
    cancel = true;
}

FormWrite::Filing FormWrite::fileDocument(QString* error) {
    const QString current = kind();
    const bool report = current == Report;
    const QString table = report ? QStringLiteral("TABLE08") : QStringLiteral("TABLE09");
    bool isKey = false;
    const qint64 company = m_companyKey.toLongLong(&isKey);
    if (!isKey)
        return Filing::CompanyGone;
    DocumentFiler::Values values = {
        {DocumentColumn::Date,
         FieldFormat::storage(QVariant(Clock::today()), FieldKind::Date, nullptr)
             .value_or(QVariant())}};
    if (report) {
        values.append({DocumentColumn::CompanyName, TextCompany->text()});
        values.append({DocumentColumn::SalesPerson, TextSalesPerson->text()});
        values.append({DocumentColumn::Text, RichTextBox1->textRTF()});
    } else {
        values.append({DocumentColumn::Kind, current});
        values.append(
            {DocumentColumn::Text, current == EMail ? emailRecord() : RichTextBox1->textRTF()});
    }
    const std::optional<qint64> replace =
        m_filed && m_filed->table == table ? std::optional<qint64>(m_filed->key) : std::nullopt;
    bool companyMissing = false;
    const std::optional<qint64> key =
        DocumentFiler::store(table, company, values, replace, error, &companyMissing);
    if (!key)
        return companyMissing ? Filing::CompanyGone : Filing::Failed;
    m_filed = FiledRow{table, *key};

    // The browser of the table, when open, lists the new row.
    const QString browser =
        report ? QStringLiteral("FormCallReports") : QStringLiteral("FormActivities");
    if (Form* form = Forms::loaded(browser))
        form->Load();
    return Filing::Stored;
}
