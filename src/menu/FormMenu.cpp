#include "FormMenu.h"

#include "Links.h"
#include "Version.h"
#include "activities/FormCompetition.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "app/ModuleButtons.h"
#include "app/ModuleHelp.h"
#include "companies/ModuleLogin.h"
#include "data/DataSource.h"
#include "platform/ProgramFolder.h"
#include "services/Colors.h"
#include "services/Desktop.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/DataMessages.h"
#include "widgets/FieldBinder.h"

#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QPushButton>
#include <QUrl>

namespace {

// Password boxes show every typed character as "*".
class StarPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

// A caption beside a command button that clicks the button.
class CommandCaption : public QLabel {
public:
    CommandCaption(const QString& text, QPushButton* command, QWidget* parent)
        : QLabel(text, parent)
        , m_command(command) {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && m_command->isEnabled())
            m_command->click();
    }

private:
    QPushButton* m_command;
};

class ClickableLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> clicked;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && clicked)
            clicked();
    }
};

QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
              int height) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    Twips::setGeometry(l, left, top, width, height);
    return l;
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& title, int left, int top,
                 int width, int height) {
    auto* f = new QGroupBox(title, parent);
    f->setObjectName(QLatin1String(name));
    Twips::setGeometry(f, left, top, width, height);
    return f;
}

} // namespace

struct FormMenu::Command {
    const char* name;
    QString caption;
    const char* icon;
    QString hover;
    std::function<void()> action; // empty: shows WindowOf(name)
};

QString FormMenu::WindowOf(const QString& command) {
    static const QHash<QString, QString> windows = {
        {QStringLiteral("CommandReports"), QStringLiteral("FormReports")},
        {QStringLiteral("CommandImportSales"), QStringLiteral("FormSales")},
        {QStringLiteral("CommandPriceList"), QStringLiteral("FormPriceList")},
        {QStringLiteral("CommandSupport"), QStringLiteral("FormSupport")},
        {QStringLiteral("CommandFields"), QStringLiteral("FormFields")},
        {QStringLiteral("CommandExport"), QStringLiteral("FormExport")},
        {QStringLiteral("CommandMaintenance"), QStringLiteral("FormMaintenance")},
        {QStringLiteral("CommandMastertables"), QStringLiteral("FormMastertables")},
        {QStringLiteral("CommandDuplicates"), QStringLiteral("FormDuplicates")},
        {QStringLiteral("CommandImport"), QStringLiteral("FormImport")},
        {QStringLiteral("CommandDelete"), QStringLiteral("FormDelete")},
        {QStringLiteral("CommandProfile"), QStringLiteral("FormProfile")},
        // Commands with steps of their own around the window they open.
        {QStringLiteral("CommandCompanies"), QStringLiteral("FormCompanies")},
        {QStringLiteral("CommandArchive"), QStringLiteral("FormCompanies")},
        {QStringLiteral("CommandCompetition"), QStringLiteral("FormCompetition")},
        {QStringLiteral("CommandOutlook"), QStringLiteral("FormOutlook")},
        {QStringLiteral("CommandAllContacts"), QStringLiteral("FormContactsAll")},
    };
    return windows.value(command);
}

FormMenu::FormMenu()
    : Form(QString::fromLatin1(Name)) {
    FrameBasic =
        frame(this, "FrameBasic", QStringLiteral("Basic Menu Options"), 240, 840, 3600, 4680);
    FrameOther = frame(this, "FrameOther", QStringLiteral("Other Options"), 3960, 840, 3840, 4680);
    FrameAdvanced1 =
        frame(this, "FrameAdvanced1", QStringLiteral("Advanced Options"), 7920, 840, 3255, 975);
    FrameAdvanced2 =
        frame(this, "FrameAdvanced2", QStringLiteral("Advanced Options"), 7920, 3900, 3255, 2640);
    FrameHelp = frame(this, "FrameHelp", QStringLiteral("Help"), 240, 5640, 10935, 1935);
    LabelHelp = label(FrameHelp, "LabelHelp", QString(), 120, 300, 10695, 1515);
    LabelHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    LabelTitle = label(this, "LabelTitle", QStringLiteral("Tessaly"), 240, 120, 3000, 600);
    QFont title = LabelTitle->font();
    title.setPointSize(22);
    title.setBold(true);
    LabelTitle->setFont(title);
    LabelVersion = label(this, "LabelVersion", QString(), 3480, 180, 1500, 255);
    LabelSP = label(this, "LabelSP", QString(), 3480, 435, 1500, 255);
    LabelBuild =
        label(this, "LabelBuild", QString::fromLatin1(Version::Build), 5040, 180, 1800, 255);
    auto* website = new ClickableLabel(QUrl(QString::fromLatin1(Links::Website)).host(), this);
    website->setObjectName(QStringLiteral("LabelWebsite"));
    website->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    website->setCursor(Qt::PointingHandCursor);
    Twips::setGeometry(website, 7920, 300, 3255, 255);
    website->clicked = [this] { LabelWebsite_Click(); };
    LabelWebsite = website;

    LabelPassword = label(this, "LabelPassword", QStringLiteral("Please enter your password"), 7920,
                          1920, 3255, 255);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Twips::setGeometry(Text1, 7920, 2220, 3255, 315);
    LabelNew = label(this, "LabelNew", QStringLiteral("Please enter your new password"), 7920, 2595,
                     3255, 255);
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Twips::setGeometry(Text2, 7920, 2895, 3255, 315);
    auto* stars = new StarPasswordStyle;
    stars->setParent(this);
    for (QLineEdit* box : {Text1, Text2}) {
        box->setEchoMode(QLineEdit::Password);
        box->setStyle(stars);
        connect(box, &QLineEdit::returnPressed, this, &FormMenu::CommandEnter_Click);
    }
    TEXT03 = new QLineEdit(this);
    TEXT03->setObjectName(QStringLiteral("TEXT03"));
    TEXT04 = new QLineEdit(this);
    TEXT04->setObjectName(QStringLiteral("TEXT04"));
    CommandEnter = new QPushButton(QStringLiteral("&Enter"), this);
    CommandEnter->setObjectName(QStringLiteral("CommandEnter"));
    Twips::setGeometry(CommandEnter, 7920, 3330, 1215, 375);
    connect(CommandEnter, &QPushButton::clicked, this, &FormMenu::CommandEnter_Click);
    CommandChange = new QPushButton(QStringLiteral("&Change"), this);
    CommandChange->setObjectName(QStringLiteral("CommandChange"));
    Twips::setGeometry(CommandChange, 9240, 3330, 1215, 375);
    connect(CommandChange, &QPushButton::clicked, this, &FormMenu::CommandChange_Click);

    DataPassword = new DataSource(QStringLiteral("DataPassword"), this);
    DataPassword->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    DataPassword->setRecordSource(QStringLiteral("SELECT * FROM TABLE02"));
    FieldBinder::bind(DataPassword, Text1, QStringLiteral("TEXT01"));
    FieldBinder::bind(DataPassword, Text2, QStringLiteral("TEXT02"));
    FieldBinder::bind(DataPassword, TEXT03, QStringLiteral("TEXT03"));
    FieldBinder::bind(DataPassword, TEXT04, QStringLiteral("TEXT04"));

    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    for (QGroupBox* background :
         {FrameBasic, FrameOther, FrameAdvanced1, FrameAdvanced2, FrameHelp})
        m_help->addBackground(background);

    const QList<Command> basic = {
        {"CommandCompanies", QStringLiteral("1. Companies"), "companies",
         QStringLiteral("Current and active Companies. This is where active companies are stored."),
         [] { ModuleLogin::OpenActiveCompanies(); }},
        {"CommandArchive", QStringLiteral("2. Archive"), "archive",
         QStringLiteral("Archived Companies. This is where non-active companies are stored."),
         [] { ModuleLogin::OpenArchivedCompanies(); }},
        {"CommandReports",
         QStringLiteral("3. Reports"),
         "reports",
         QStringLiteral("Select the report you want to generate."),
         {}},
        {"CommandCompetition", QStringLiteral("4. Competition"), "competition",
         QStringLiteral("Enter and display your competitor's products as well as your "
                        "equivalents.This information will be used in ") +
             QStringLiteral("reports on competitor's activities."),
         [] {
             Forms::unload(QStringLiteral("FormCompetitors"));
             if (auto* competition = Forms::get<FormCompetition>()) {
                 DataMessages::refresh(competition->data1());
                 Forms::show(QString::fromLatin1(FormCompetition::Name));
             }
         }},
        {"CommandImportSales",
         QStringLiteral("5. Import Sales"),
         "importsales",
         QStringLiteral("This function allows you to import sales figures from an MS-Excel "
                        "spreadsheet, ") +
             QStringLiteral("saved in Excel 97-2003 format. This spreadsheet could be located "
                            "anywhere on your PC or network.") +
             QStringLiteral("This action can be done periodically if the data in the spreadsheet "
                            "changes. The path to the spreadsheet is saved and new data will ") +
             QStringLiteral("overwrite older data."),
         {}},
        {"CommandOutlook", QStringLiteral("7. MS-Outlook"), "outlook",
         QStringLiteral("Open MS-Outlook"),
         [] {
             ModuleLogin::OpenActiveCompanies();
             ModuleButtons::SwitchToOutlook();
         }},
        {"CommandPriceList",
         QStringLiteral("8. Price List"),
         "pricelist",
         QStringLiteral("Open and / or edit your price list."),
         {}},
        {"CommandAllContacts",
         QStringLiteral("9. All Contacts"),
         "allcontacts",
         QStringLiteral("Display all contacts."),
         {}},
    };
    const QList<Command> other = {
        {"CommandPresentation", QStringLiteral("Quick Start"), "presentation",
         QStringLiteral("No time to read the User Manual? Download a slide show and learn how to "
                        "use Tessaly in less than 30 minutes."),
         [this] { CommandPresentation_Click(); }},
        {"CommandManual", QStringLiteral("User Manual"), "manual",
         QStringLiteral("Display the user manual."), [this] { CommandManual_Click(); }},
        {"CommandFAQ", QStringLiteral("Frequently Asked Questions"), "faq",
         QStringLiteral("Displays frequently asked questions about Tessaly."),
         [this] { CommandFAQ_Click(); }},
        {"CommandSupport",
         QStringLiteral("Technical Support"),
         "support",
         QStringLiteral("Request technical support or contact Morvane."),
         {}},
        {"CommandFields",
         QStringLiteral("Select Fields"),
         "fields",
         QStringLiteral("Select which fields to display. Some fields might not be applicable to "
                        "your organization") +
             QStringLiteral(" and therefore can be removed."),
         {}},
        {"CommandExport",
         QStringLiteral("Export to MS-Outlook"),
         "export",
         QStringLiteral("Sometimes you might want to export your database of contacts to "
                        "MS-Outlook. ") +
             QStringLiteral("For example, if your cell phone synchronizes with Outlook, it would "
                            "be handy to have ") +
             QStringLiteral("all your contacts on your cell phone, together with all the relevant "
                            "details."),
         {}},
        {"CommandMaintenance",
         QStringLiteral("Maintenance and Replication"),
         "maintenance",
         QStringLiteral("Compact your database, create a replica or") +
             QStringLiteral(" synchronize this database with the server."),
         {}},
        {"CommandProfile",
         QStringLiteral("Your Profile"),
         "profile",
         QStringLiteral("Enter your name, your company and your e-mail address, and the mail "
                        "server that sends your e-mails. Your signature and requests for "
                        "technical support carry your name and company."),
         {}},
    };
    const QList<Command> advanced1 = {
        {"CommandSetup", QStringLiteral("Setup"), "setup",
         QStringLiteral("Setup your preferences. These setups should be done by management ") +
             QStringLiteral("in order to enforce uniformity. Therefore, this function is password "
                            "protected and only ") +
             QStringLiteral("management should have access to it. It is therefore advisable to "
                            "change the password. ") +
             QStringLiteral("When you do change the password, remember that passwords are "
                            "case-sensitive. ") +
             QStringLiteral("If you forget your new password, it would almost be impossible to "
                            "retrieve it."),
         [this] { CommandSetup_Click(); }},
    };
    const QList<Command> advanced2 = {
        {"CommandMastertables",
         QStringLiteral("Mastertables"),
         "mastertables",
         QStringLiteral("Master tables are basically selections that your sales force can make "
                        "when entering information. ") +
             QStringLiteral("You want your sales force to have certain restrictions and you want "
                            "uniformity throughout ") +
             QStringLiteral("your organization. For example, if you select your regions as "
                            "Pacific, Midwest and Atlantic") +
             QStringLiteral(", you do not want anybody to enter a region like California. This "
                            "would create complications if ") +
             QStringLiteral("you want a report on activities in the region Pacific because "
                            "California is part of the Pacific region. ") +
             QStringLiteral("Therefore the setup of master tables together with most other setup "
                            "functions is ") +
             QStringLiteral("password protected and only management should have access to it. It "
                            "is therefore advisable ") +
             QStringLiteral("to change the password. "),
         {}},
        {"CommandImport",
         QStringLiteral("Import from MS-Outlook"),
         "import",
         QStringLiteral("Import basic company information from MS-Outlook.") +
             QStringLiteral(" This function should only be done once. Repeating this function "
                            "will create duplicates in your database. "),
         {}},
        {"CommandDelete",
         QStringLiteral("Check Database Size"),
         "databasesize",
         QStringLiteral("The database can contain 2 GB of data. Most data is taken up by call "
                        "reports, letters, faxes, e-mails and projects. ") +
             QStringLiteral("Approximately 250,000 such documents can be stored in the database. "
                            "Most companies never reach that level. However, you might want to "
                            "check how full your database is ") +
             QStringLiteral("and if necessary delete some old information."),
         {}},
        {"CommandDuplicates",
         QStringLiteral("Find Duplicate Companies"),
         "edit-find",
         QStringLiteral("Lists the companies that were probably entered more than once (\"Acme "
                        "Ltd\" and \"ACME Limited\", say) and merges each group into the entry "
                        "you keep, with all its contacts, call reports, correspondence, projects, "
                        "attachments and competitor activity."),
         {}},
    };
    for (int i = 0; i < basic.size(); ++i)
        addCommand(FrameBasic, i, basic.at(i));
    for (int i = 0; i < other.size(); ++i)
        addCommand(FrameOther, i, other.at(i));
    addCommand(FrameAdvanced1, 0, advanced1.first());
    for (int i = 0; i < advanced2.size(); ++i)
        addCommand(FrameAdvanced2, i, advanced2.at(i));

    m_help->setText(LabelWebsite, QStringLiteral("Go to Morvane's website"));
    m_help->setEnterAction(LabelWebsite, [this] {
        Colors::setForeground(LabelWebsite, Colors::Blue);
        QFont font = LabelWebsite->font();
        font.setUnderline(true);
        LabelWebsite->setFont(font);
    });
    m_help->setBackgroundAction([this] {
        Colors::setForeground(LabelWebsite, Colors::Black);
        QFont font = LabelWebsite->font();
        font.setUnderline(false);
        LabelWebsite->setFont(font);
    });
    m_help->setText(Text1,
                    QStringLiteral("The Setup Menu is Password protected. The default password is "
                                   "'Kelvorin'. Change this in order to restrict ") +
                        QStringLiteral("access. Passwords are case sensitive."));
}

void FormMenu::addCommand(QGroupBox* frame, int row, const Command& command) {
    const int top = 360 + row * 540;
    auto* button = new QPushButton(frame);
    button->setObjectName(QLatin1String(command.name));
    button->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(command.icon))));
    button->setIconSize(QSize(Twips::toPixelsX(375), Twips::toPixelsY(375)));
    button->setToolTip(command.caption);
    Twips::setGeometry(button, 120, top, 495, 495);
    auto* caption = new CommandCaption(command.caption, button, frame);
    caption->setObjectName(QStringLiteral("Label") + QLatin1String(command.name).mid(7));
    Twips::setGeometry(caption, 720, top, Twips::geometry(frame).width() - 840, 495);
    m_help->setText(button, command.hover);
    m_help->setText(caption, command.hover);
    const QString name = QLatin1String(command.name);
    if (command.action)
        connect(button, &QPushButton::clicked, this, command.action);
    else
        connect(button, &QPushButton::clicked, this, [name] { Forms::show(WindowOf(name)); });
}

QPushButton* FormMenu::button(const QString& name) const {
    return findChild<QPushButton*>(name);
}

void FormMenu::refreshAvailability() {
    // A command whose window this version does not have is shown, but off.
    static const QStringList windowCommands = {
        QStringLiteral("CommandCompanies"),    QStringLiteral("CommandArchive"),
        QStringLiteral("CommandReports"),      QStringLiteral("CommandCompetition"),
        QStringLiteral("CommandImportSales"),  QStringLiteral("CommandOutlook"),
        QStringLiteral("CommandPriceList"),    QStringLiteral("CommandAllContacts"),
        QStringLiteral("CommandSupport"),      QStringLiteral("CommandFields"),
        QStringLiteral("CommandExport"),       QStringLiteral("CommandMaintenance"),
        QStringLiteral("CommandMastertables"), QStringLiteral("CommandImport"),
        QStringLiteral("CommandDelete"),       QStringLiteral("CommandProfile"),
        QStringLiteral("CommandDuplicates")};
    for (const QString& name : windowCommands) {
        const bool available = Forms::isRegistered(WindowOf(name));
        if (QPushButton* b = button(name))
            b->setEnabled(available);
        if (auto* caption = findChild<QLabel*>(QStringLiteral("Label") + name.mid(7)))
            caption->setEnabled(available);
    }
}

void FormMenu::Form_Load() {
    setWindowTitle(QStringLiteral("Main Menu"));
    Colors::setBackground(this, Colors::White);
    // The height less the title bar, which the window manager adds.
    Twips::setFixedSize(this, 11415, 8055 - 400);
    setKeyPreview(true);
    Twips::move(FrameHelp, 240, 5640);
    FrameHelp->setVisible(false);
    LabelVersion->setText(QStringLiteral("Version %1").arg(Version::Major));
    if (Version::Minor != 0)
        LabelSP->setText(
            QStringLiteral("Revision %1.%2").arg(Version::Minor).arg(Version::Revision));
    for (QWidget* w :
         {static_cast<QWidget*>(LabelPassword), static_cast<QWidget*>(LabelNew),
          static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2), static_cast<QWidget*>(TEXT03),
          static_cast<QWidget*>(TEXT04), static_cast<QWidget*>(CommandEnter),
          static_cast<QWidget*>(CommandChange), static_cast<QWidget*>(FrameAdvanced2)})
        w->setVisible(false);
    QDir().mkpath(ProgramFolder::tempFolder()); // a failure is of no concern here
    DataMessages::refresh(DataPassword);
    refreshAvailability();
}

void FormMenu::CommandSetup_Click() {
    LabelPassword->setVisible(true);
    Text1->setVisible(true);
    Text1->clear();
    Text1->setFocus();
    CommandEnter->setVisible(true);
    CommandChange->setVisible(true);
}

void FormMenu::CommandEnter_Click() {
    if (Text1->text() != Text2->text()) {
        LabelPassword->setText(QStringLiteral("INCORRECT PASSWORD"));
        Colors::setForeground(LabelPassword, Colors::Red);
        Text1->clear();
        Text1->setFocus();
        return;
    }
    for (QWidget* w : {static_cast<QWidget*>(LabelPassword), static_cast<QWidget*>(LabelNew),
                       static_cast<QWidget*>(CommandEnter), static_cast<QWidget*>(CommandChange),
                       static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2)})
        w->setVisible(false);
    const QRect advanced = Twips::geometry(FrameAdvanced1);
    Twips::move(FrameAdvanced2, advanced.x(), advanced.y());
    FrameAdvanced2->setVisible(true);
    FrameAdvanced1->setVisible(false);
    DataMessages::refresh(DataPassword);
}

void FormMenu::CommandChange_Click() {
    if (Text1->text() != Text2->text()) {
        MsgBox::show(QStringLiteral("Please enter your current password first."), MsgBox::OKOnly);
        Text1->setFocus();
        return;
    }
    LabelNew->setVisible(true);
    CommandChange->setVisible(false);
    Text2->clear();
    Text1->clear();
    Text2->setVisible(true);
    Text2->setFocus();
}

void FormMenu::CommandManual_Click() {
    ModuleHelp::ShowHelp();
}

void FormMenu::CommandPresentation_Click() {
    Desktop::openUrl(QUrl(QString::fromLatin1(Links::QuickStart)));
}

void FormMenu::CommandFAQ_Click() {
    Desktop::openUrl(QUrl(QString::fromLatin1(Links::Faq)));
}

void FormMenu::LabelWebsite_Click() {
    Desktop::openUrl(QUrl::fromUserInput(LabelWebsite->text()));
}

bool FormMenu::Form_KeyUp(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        CommandManual_Click();
        return true;
    }
    // Digits open the basic commands, except while a password is typed.
    if (event->modifiers() & Qt::KeypadModifier)
        return false;
    if (qobject_cast<QLineEdit*>(focusWidget()))
        return false;
    static const QHash<int, QString> digits = {{Qt::Key_1, QStringLiteral("CommandCompanies")},
                                               {Qt::Key_2, QStringLiteral("CommandArchive")},
                                               {Qt::Key_3, QStringLiteral("CommandReports")},
                                               {Qt::Key_4, QStringLiteral("CommandCompetition")},
                                               {Qt::Key_5, QStringLiteral("CommandImportSales")},
                                               {Qt::Key_7, QStringLiteral("CommandOutlook")},
                                               {Qt::Key_8, QStringLiteral("CommandPriceList")},
                                               {Qt::Key_9, QStringLiteral("CommandAllContacts")}};
    const QString command = digits.value(event->key());
    if (command.isEmpty())
        return false;
    if (QPushButton* b = button(command); b && b->isEnabled())
        b->click();
    return true;
}

void FormMenu::Form_QueryUnload(bool& cancel) {
    Q_UNUSED(cancel);
    // A new password that was never confirmed is not stored: the boxes were
    // emptied for it, and storing them would leave the setup menu open.
    if (LabelNew->isVisible())
        DataPassword->recordset()->cancelUpdate();
}

void FormMenu::Form_Unload(bool& cancel) {
    if (Forms::isVisible(QStringLiteral("FormMaintenance")) ||
        Forms::isVisible(QStringLiteral("FormDelete")))
        return;
    if (!Forms::endProgram())
        cancel = true;
}
