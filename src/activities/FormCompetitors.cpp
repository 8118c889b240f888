#include "FormCompetitors.h"

#include "app/Controls.h"
#include "app/EditToolbar.h"
#include "app/FunctionKeyBar.h"
#include "app/HoverHelp.h"
#include "companies/CompanyOfWindow.h"
#include "companies/FormCompanies.h"
#include "data/CompanyView.h"
#include "data/DataSource.h"
#include "data/Recordset.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "services/Colors.h"
#include "services/Twips.h"
#include "widgets/CompanyPicker.h"
#include "widgets/DBCombo.h"
#include "widgets/DBGrid.h"
#include "widgets/DataMessages.h"
#include "widgets/FieldBinder.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

using Controls::button;
using Controls::label;
using Controls::pictureButton;

constexpr int DefaultWidth = 12900, DefaultHeight = 7130;
constexpr int ListLeft = 120, ListTop = 1200, ListWidth = 12660, ListHeight = 3900;
constexpr int PanelHeight = 1800;

QLineEdit* textBox(QWidget* parent, const char* name, int left, int top, int width) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    Twips::setGeometry(box, left, top, width, 315);
    Colors::setBackground(box, Colors::White);
    return box;
}

QLineEdit* hiddenBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setVisible(false);
    return box;
}

} // namespace

QStringList FormCompetitors::CurrencySigns() {
    return {QStringLiteral("$"), QString(QChar(0x20AC)), QString(QChar(0x00A3)),
            QString(QChar(0x00A5)), QStringLiteral("R")};
}

QString FormCompetitors::recordSource(const QString& companyKey) {
    return QStringLiteral("SELECT * FROM TABLE10 WHERE TABLE10.NUMBER01 =") + companyKey +
           QStringLiteral("  ORDER BY DATE01 DESC");
}

FormCompetitors::FormCompetitors()
    : WorkingWindow(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    buildControls();
    buildHoverTexts();
}

void FormCompetitors::buildControls() {
    auto source = [this](const char* name, const QString& recordSource) {
        auto* data = new DataSource(QLatin1String(name), this);
        data->setDatabaseName(QStringLiteral("TESSALY.mdb"));
        data->setRecordSource(recordSource);
        return data;
    };
    DataTABLE10 = source("DataTABLE10", QString());
    DataTABLE01 = source("DataTABLE01", QString());
    DataTABLE11 = source("DataTABLE11", QStringLiteral("SELECT * FROM TABLE11 ORDER BY TEXT04"));
    DataMT04 = source("DataMT04", QStringLiteral("SELECT * FROM MT04 ORDER BY TEXT01"));
    DataTABLE11->setReadOnly(true);
    DataMT04->setReadOnly(true);

    m_functionKeys = new FunctionKeyBar(QString::fromLatin1(Name), this);
    Twips::setGeometry(m_functionKeys, 120, 60, 12660, 300);

    LabelSelect = label(this, "LabelSelect", CompanyPicker::prompt(), 120, 420, 3000);
    DBComboSelect = new CompanyPicker(CompanyPicker::Follow::ChoiceAndTyping, this);
    DBComboSelect->setObjectName(QStringLiteral("DBComboSelect"));
    Twips::setGeometry(DBComboSelect, 120, 690, 4200, 315);
    DBComboSelect->setCompanies(DataTABLE01);
    Colors::setBackground(DBComboSelect, Colors::White);
    DBComboSelect->setCurrentCompany([this]() -> CurrentCompany* { return companies(); });
    connect(DBComboSelect, &CompanyPicker::companyChosen, this, &FormCompetitors::Load);

    LabelDateandTime = label(this, "LabelDateandTime", QString(), 4500, 720, 3000);
    Toolbar1 = new EditToolbar(this);
    Twips::setGeometry(Toolbar1, 6840, 600, 2220, 420);
    // Delete removes the entry itself, not the text of the focused box.
    if (QAction* remove = Toolbar1->findChild<QAction*>(QStringLiteral("Delete"))) {
        disconnect(remove, &QAction::triggered, nullptr, nullptr);
        connect(remove, &QAction::triggered, this, &FormCompetitors::Toolbar1_Delete);
    }
    CommandHelp = pictureButton(this, "CommandHelp", "help-browser", 9540, 600);
    CommandExit =
        button(this, "CommandExit", QStringLiteral("E&xit Application"), 11040, 630, 1740);
    CommandExit->setToolTip(QStringLiteral("Exit Application"));
    connect(CommandHelp, &QPushButton::clicked, this, &FormCompetitors::CommandHelp_Click);
    connect(CommandExit, &QPushButton::clicked, this, &FormCompetitors::CommandExit_Click);

    // The company's entries.
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    Twips::setGeometry(DBGrid1, ListLeft, ListTop, ListWidth, ListHeight);
    DBGrid1->setDataSource(DataTABLE10);
    DBGrid1->setColumns({QStringLiteral("DATE01"), QStringLiteral("TEXT02"),
                         QStringLiteral("TEXT03"), QStringLiteral("NUMBER02"),
                         QStringLiteral("TEXT04")});
    DBGrid1->setColumnCaptions({QStringLiteral("Date Edited"), QStringLiteral("Product Group"),
                                QStringLiteral("Product"), QStringLiteral("Units / Annum"),
                                QStringLiteral("Cost / Unit")});
    // Entries are made and changed in the entry panel.
    DBGrid1->setAllowAddNew(false);
    DBGrid1->setAllowUpdate(false);
    DBGrid1->setAllowDelete(false);
    const int widths[] = {1500, 2700, 4800, 1500, 1800};
    for (int column = 0; column < 5; ++column)
        DBGrid1->horizontalHeader()->resizeSection(column, Twips::toPixelsX(widths[column]));

    // The entry panel, in the list's place while shown.
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Twips::setGeometry(Frame1, ListLeft, PanelTop, ListWidth, PanelHeight);
    Colors::setBackground(Frame1, Colors::White);
    LabelProductGroup =
        label(Frame1, "LabelProductGroup", QStringLiteral("Product Group"), 120, 240, 3000);
    DBComboProductGroup = new DBCombo(Frame1);
    DBComboProductGroup->setObjectName(QStringLiteral("DBComboProductGroup"));
    Twips::setGeometry(DBComboProductGroup, 120, 510, 3000, 315);
    DBComboProductGroup->setRowSource(DataMT04, QStringLiteral("TEXT01"));
    LabelProduct = label(Frame1, "LabelProduct", QStringLiteral("Product"), 3240, 240, 4000);
    DBComboProduct = new DBCombo(Frame1);
    DBComboProduct->setObjectName(QStringLiteral("DBComboProduct"));
    Twips::setGeometry(DBComboProduct, 3240, 510, 4560, 315);
    DBComboProduct->setRowSource(DataTABLE11, QStringLiteral("TEXT04"));
    LabelUnits = label(Frame1, "LabelUnits", QStringLiteral("Units / Annum"), 7920, 240, 1560);
    NUMBER02 = textBox(Frame1, "NUMBER02", 7920, 510, 1560);
    LabelCost = label(Frame1, "LabelCost", QStringLiteral("Cost / Unit"), 9600, 240, 2000);
    ComboCurrency = new QComboBox(Frame1);
    ComboCurrency->setObjectName(QStringLiteral("ComboCurrency"));
    ComboCurrency->setToolTip(QStringLiteral("Currency"));
    ComboCurrency->addItems(CurrencySigns());
    ComboCurrency->setCurrentIndex(-1);
    ComboCurrency->setPlaceholderText(QStringLiteral("Currency"));
    Twips::setGeometry(ComboCurrency, 9600, 510, 960, 315);
    TEXT04 = textBox(Frame1, "TEXT04", 10680, 510, 1860);
    LabelDate = label(Frame1, "LabelDate", QStringLiteral("Date Edited"), 120, 960, 3000);
    DATE01 = textBox(Frame1, "DATE01", 120, 1230, 1800);
    TEXT02 = hiddenBox(Frame1, "TEXT02");
    TEXT03 = hiddenBox(Frame1, "TEXT03");
    NUMBER01 = hiddenBox(Frame1, "NUMBER01");
    for (QLineEdit* box : {NUMBER02, TEXT04, DATE01, TEXT02, TEXT03, NUMBER01})
        FieldBinder::bind(DataTABLE10, box, box->objectName());
    connect(DBComboProductGroup, &DBCombo::clicked, this,
            &FormCompetitors::DBComboProductGroup_Click);
    connect(DBComboProduct, &DBCombo::clicked, this, &FormCompetitors::DBComboProduct_Click);
    connect(ComboCurrency, &QComboBox::activated, this, &FormCompetitors::ComboCurrency_Click);

    CommandNew = pictureButton(this, "CommandNew", "contact-new", 120, 5220);
    CommandEdit = pictureButton(this, "CommandEdit", "accessories-text-editor", 780, 5220);
    CommandPrint = pictureButton(this, "CommandPrint", "document-print", 1440, 5220);
    connect(CommandNew, &QPushButton::clicked, this, &FormCompetitors::CommandNew_Click);
    connect(CommandEdit, &QPushButton::clicked, this, &FormCompetitors::CommandEdit_Click);
    connect(CommandPrint, &QPushButton::clicked, this, &FormCompetitors::CommandPrint_Click);

    FrameHelp = new QGroupBox(QStringLiteral("Help"), this);
    FrameHelp->setObjectName(QStringLiteral("FrameHelp"));
    Twips::setGeometry(FrameHelp, 2160, 5160, 10620, 720);
    LabelHelp = label(FrameHelp, "LabelHelp", QString(), 120, 210, 10380, 480);

    TimerLoad = new QTimer(this);
    TimerLoad->setObjectName(QStringLiteral("TimerLoad"));
    TimerLoad->setInterval(10);
    connect(TimerLoad, &QTimer::timeout, this, &FormCompetitors::TimerLoad_Timer);
}

void FormCompetitors::buildHoverTexts() {
    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->addBackground(FrameHelp);
    m_help->addBackground(Frame1);
    m_help->addBackground(Toolbar1);
    m_help->setText(CommandEdit, [this] {
        return isEditing()
                   ? QStringLiteral("Finish editing.")
                   : QStringLiteral("Select the row to be edited and then click on 'Edit'.");
    });
    m_help->setText(CommandHelp, QStringLiteral("Tessaly Help"));
    m_help->setText(CommandNew, QStringLiteral("Add new."));
    m_help->setText(CommandPrint, QStringLiteral("Print."));
    m_help->setText(CommandExit, QStringLiteral("Exit and close the program."));
    m_help->setText(NUMBER02, QStringLiteral("Enter a quantity."));
    m_help->setText(TEXT04, QStringLiteral("Enter a selling price."));
    m_help->setText(DBComboProduct, QStringLiteral("Select a product or start typing until the "
                                                   "correct product is displayed."));
    m_help->setText(DBComboProductGroup,
                    QStringLiteral("Select a product group or start typing until the correct "
                                   "product group is displayed."));
    m_help->setText(DBComboSelect, CompanyPicker::hoverText());
}

FormCompanies* FormCompetitors::companies() const {
    return CompanyOfWindow::companies(this);
}

QString FormCompetitors::companyName() const {
    return CompanyOfWindow::name(this);
}

QString FormCompetitors::companyKey() const {
    return CompanyOfWindow::keySql(this);
}

bool FormCompetitors::isEditing() const {
    return !Frame1->isHidden();
}

void FormCompetitors::Form_Load() {
    Colors::setBackground(this, Colors::White);
    setKeyPreview(true);
    setWindowTitle(QStringLiteral("Competition"));
    FormCompanies* form = companies();
    const QRect size = form ? Twips::geometry(form) : QRect();
    Twips::setSize(this, size.width() > 0 ? size.width() : DefaultWidth,
                   size.height() > 0 ? size.height() : DefaultHeight);
    FrameHelp->setVisible(false);
    showPanel(false);

    DataTABLE01->setRecordSource(CompanyView::recordSource(form && form->isCompanyArchived(),
                                                           form ? form->chosenUser() : QString()));
    DataMessages::refresh(DataTABLE01);
    DataMessages::refresh(DataMT04);
    DataMessages::refresh(DataTABLE11);
    TimerLoad->start();
}

void FormCompetitors::Form_Activate() {
    Load();
}

void FormCompetitors::Load() {
    DataTABLE10->setRecordSource(recordSource(companyKey()));
    DataMessages::refresh(DataTABLE10);
    // The products and groups entered meanwhile in their own windows.
    DataMessages::refresh(DataMT04);
    DataMessages::refresh(DataTABLE11);
    showPanel(false);
}

void FormCompetitors::TimerLoad_Timer() {
    const QString now = Locale::dateText(Clock::today()) + u' ' + Locale::timeText(Clock::time());
    if (LabelDateandTime->text() != now)
        LabelDateandTime->setText(now);
    const QString caption = QStringLiteral("Competition - ") + companyName();
    if (windowTitle() != caption)
        setWindowTitle(caption);
}

void FormCompetitors::showPanel(bool shown) {
    DBGrid1->setVisible(!shown);
    Frame1->setVisible(shown);
    if (shown) {
        Twips::move(Frame1, ListLeft, PanelTop);
        Frame1->raise();
        // The combo boxes show what the entry holds.
        DBComboProductGroup->setText(TEXT02->text());
        DBComboProduct->setText(TEXT03->text());
        ComboCurrency->setCurrentIndex(-1);
    }
}

void FormCompetitors::CommandNew_Click() {
    FormCompanies* form = companies();
    // A company just entered is stored first: it gets its key then.
    const QString key = form ? form->storedCompanyKey().trimmed() : QString();
    bool ok = false;
    key.toLongLong(&ok);
    if (!ok)
        return;
    Recordset* rows = DataTABLE10->recordset();
    if (!rows->addNew())
        return;
    NUMBER01->setText(key);
    // Whose activity it is, for the competitor activity report.
    rows->setField(QStringLiteral("TEXT05"), form->salesPerson());
    rows->setField(QStringLiteral("TEXT06"), form->division());
    rows->setField(QStringLiteral("TEXT07"), form->companyName());
    showPanel(true);
    DATE01->setText(Locale::dateText(Clock::today()));
    DBComboProductGroup->setFocus();
}

void FormCompetitors::CommandEdit_Click() {
    if (isEditing()) {
        // The refresh stores the entry; a refused value keeps the panel open.
        if (!DataMessages::refresh(DataTABLE10))
            return;
        showPanel(false);
        return;
    }
    Recordset* rows = DataTABLE10->recordset();
    if (rows->bookmark().isEmpty())
        return; // nothing to edit
    showPanel(true);
    DATE01->setText(Locale::dateText(Clock::today()));
    NUMBER02->setFocus();
}

void FormCompetitors::DBComboProductGroup_Click() {
    TEXT02->setText(DBComboProductGroup->text());
}

void FormCompetitors::DBComboProduct_Click() {
    TEXT03->setText(DBComboProduct->text());
}

void FormCompetitors::ComboCurrency_Click() {
    const QString sign = ComboCurrency->currentText();
    if (sign.isEmpty())
        return;
    const QString price = TEXT04->text();
    if (!price.isEmpty()) {
        TEXT04->setText(sign + u' ' + price);
        return;
    }
    TEXT04->setText(sign + u' ');
    TEXT04->setFocus();
    TEXT04->setCursorPosition(2);
}

void FormCompetitors::Toolbar1_Delete() {
    Recordset* rows = DataTABLE10->recordset();
    if (rows->isNewRow()) {
        rows->cancelUpdate();
    } else {
        if (rows->bookmark().isEmpty())
            return;
        rows->deleteCurrent();
    }
    DataMessages::refresh(DataTABLE10);
    showPanel(false);
}

void FormCompetitors::Form_Unload(bool& cancel) {
    TimerLoad->stop();
    WorkingWindow::Form_Unload(cancel);
}
