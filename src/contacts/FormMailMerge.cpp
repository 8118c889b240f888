#include "FormMailMerge.h"

#include "DocumentToolbar.h"
#include "FormSignature.h"
#include "app/Controls.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "office/ModuleSpelling.h"
#include "services/Colors.h"
#include "services/Twips.h"
#include "widgets/RichTextBox.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace {

const QString EMail = QStringLiteral("EMAIL");
constexpr int ToolbarHeight = 420;
constexpr int DocumentLeft = 25, DocumentTop = 2040;
// The size of the all-contacts window, when that is not open.
constexpr int DefaultWidth = 12900, DefaultHeight = 7600;

QLineEdit* hiddenBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setVisible(false);
    return box;
}

} // namespace

FormMailMerge::FormMailMerge()
    : Form(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    // Every button of the document editor but Word and Outlook.
    QStringList keys = DocumentToolbar::AllKeys();
    keys.removeAll(QStringLiteral("Word"));
    keys.removeAll(QStringLiteral("Outlook"));
    Toolbar1 = new DocumentToolbar(keys, this);
    connect(Toolbar1, &DocumentToolbar::buttonClick, this, &FormMailMerge::Toolbar1_ButtonClick);
    LabelSubject = Controls::label(this, "LabelSubject", QStringLiteral("SUBJECT"), 145, 720, 1000);
    TextSubject = new QLineEdit(this);
    TextSubject->setObjectName(QStringLiteral("TextSubject"));
    Twips::setGeometry(TextSubject, 1200, 690, 6000, 285);
    TextMethod = hiddenBox(this, "TextMethod");
    TextCompany = hiddenBox(this, "TextCompany");
    TextSalesPerson = hiddenBox(this, "TextSalesPerson");
    connect(TextMethod, &QLineEdit::textChanged, this, &FormMailMerge::applyKind);
    CommandDone = Controls::button(this, "CommandDone", QStringLiteral("&Done"), 7320, 660, 1215);
    CommandDone->setVisible(false);
    connect(CommandDone, &QPushButton::clicked, this, &FormMailMerge::CommandDone_Click);
    FrameHelp = new QGroupBox(QStringLiteral("Help"), this);
    FrameHelp->setObjectName(QStringLiteral("FrameHelp"));
    Twips::setGeometry(FrameHelp, 145, 1080, 8400, 840);
    LabelHelp = Controls::label(FrameHelp, "LabelHelp", QString(), 120, 240, 8160, 540);
    LabelHelp->setWordWrap(true);
    RichTextBox1 = new RichTextBox(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->installEventFilter(this);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setVisible(false);

    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->addBackground(FrameHelp);
    m_help->addBackground(Toolbar1);
    m_help->setText(RichTextBox1, QStringLiteral("Enter the text that you want to use in your "
                                                 "letter, fax or e-mail and click on 'Done' once "
                                                 "finished."));
    m_help->setText(TextSubject, QStringLiteral("Enter a subject."));
}

void FormMailMerge::Form_Load() {
    Colors::setBackground(this, Colors::White);
    const Form* contacts = Forms::loaded(QStringLiteral("FormContactsAll"));
    const QSize size =
        contacts ? Twips::geometry(contacts).size() : QSize(DefaultWidth, DefaultHeight);
    Twips::setSize(this, size.width(), size.height());
    centerOver(contacts);
    setKeyPreview(true);
    FrameHelp->setVisible(false);
    applyKind();
}

void FormMailMerge::Form_Activate() {
    applyKind();
}

void FormMailMerge::open(const QString& kind) {
    TextMethod->setText(kind);
    applyKind();
    show();
    raise();
    activateWindow();
    TextSubject->setFocus();
}

QString FormMailMerge::kind() const {
    return TextMethod->text();
}

QString FormMailMerge::subject() const {
    return TextSubject->text();
}

void FormMailMerge::applyKind() {
    const QString current = kind();
    if (current == EMail) {
        Toolbar1->setHiddenButtons({QStringLiteral("Font"), QStringLiteral("Left"),
                                    QStringLiteral("Right"), QStringLiteral("Center"),
                                    QStringLiteral("Bold"), QStringLiteral("Italic"),
                                    QStringLiteral("Underline")});
        setWindowTitle(QStringLiteral("Write an E-Mail"));
    } else {
        Toolbar1->setHiddenButtons({});
        if (current == QLatin1String("LETTER"))
            setWindowTitle(QStringLiteral("Write a Letter"));
        else if (current == QLatin1String("TELEFAX"))
            setWindowTitle(QStringLiteral("Write a Fax"));
        else
            setWindowTitle(QStringLiteral("Mail Merge"));
    }
    arrange();
}

void FormMailMerge::resizeEvent(QResizeEvent* event) {
    Form::resizeEvent(event);
    arrange();
}

void FormMailMerge::arrange() {
    const int width = Twips::fromPixelsX(this->width());
    const int height = Twips::fromPixelsY(this->height());
    Twips::setGeometry(Toolbar1, 0, 0, std::max(0, width - 25), ToolbarHeight);
    Twips::setGeometry(RichTextBox1, DocumentLeft, DocumentTop, std::max(0, width - 300),
                       std::max(0, height - 2700));
    Twips::setGeometry(ProgressBar1, DocumentLeft, std::max(0, height - 600),
                       std::max(0, width - 300), 285);
}

bool FormMailMerge::eventFilter(QObject* watched, QEvent* event) {
    // Done is offered once something has been typed into the body.
    if (watched == RichTextBox1 && event->type() == QEvent::KeyPress)
        CommandDone->setVisible(true);
    return Form::eventFilter(watched, event);
}

bool FormMailMerge::Form_KeyDown(QKeyEvent* event) {
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

void FormMailMerge::Toolbar1_ButtonClick(const QString& key) {
    if (DocumentToolbar::Format(RichTextBox1, key))
        return;
    if (key == QLatin1String("Font"))
        myFont();
    else if (key == QLatin1String("Spelling"))
        SpellCheck();
    else if (key == QLatin1String("Signature"))
        ShowSignature();
}

void FormMailMerge::CommandDone_Click() {
    hide();
}

void FormMailMerge::myFont() {
    if (DocumentToolbar::ChooseFont(RichTextBox1, this))
        m_fontChosen = true;
}

void FormMailMerge::SpellCheck() {
    ModuleSpelling::SpellCheck(RichTextBox1, ProgressBar1);
}

void FormMailMerge::ShowSignature() {
    FormSignature::Open(this);
}
