#include "FormMastertables.h"

#include "app/Controls.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "app/ModuleHelp.h"
#include "data/DataSource.h"
#include "data/Recordset.h"
#include "data/SqliteConnection.h"
#include "data/SqliteStatement.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/DBGrid.h"
#include "widgets/DataMessages.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>
#include <sqlite3.h>

namespace {

struct TableButton {
    const char* name;
    QString caption;
    const char* table;
    const char* replace; // the replace button shown with the table, or none
    QString hover;
};

const QList<TableButton>& tableButtons() {
    static const QList<TableButton> buttons = {
        {"CommandRegion", QStringLiteral("Region"), "MT08", nullptr,
         QStringLiteral("Enter regions where companies are located.")},
        {"CommandBranch", QStringLiteral("Branch"), "MT01", nullptr,
         QStringLiteral("Enter your branches if applicable.")},
        {"CommandDivision", QStringLiteral("Division"), "MT03", nullptr,
         QStringLiteral("Enter divisions in your company if applicable.")},
        {"CommandSalesperson", QStringLiteral("Sales Person"), "MT12", "CommandReplaceSP",
         QStringLiteral("Enter all sales people in your organization.")},
        {"CommandManager", QStringLiteral("Manager"), "MT13", "CommandReplaceSM",
         QStringLiteral("If applicable, enter all sales managers in your organization.")},
        {"CommandIndustry", QStringLiteral("Industry Group"), "MT04", nullptr,
         QStringLiteral("Enter industry groups e.g. 'Construction' or 'Adhesives' if applicable.")},
        {"CommandOccupation", QStringLiteral("Occupation"), "MT05", nullptr,
         QStringLiteral("Enter generic name of functions or occupations assigned to contacts, "
                        "e.g. Accounting, Technical, Purchasing etc.")},
        {"CommandTitle", QStringLiteral("Title"), "MT09", nullptr,
         QStringLiteral("Enter titles assigned to your contacts e.g. Mr., Mrs. , Dr. etc.")},
        {"CommandTypeofContact", QStringLiteral("Type of Company"), "MT10", nullptr,
         QStringLiteral(
             "Enter what type of companies you deal with e.g. Customer, Supplier, Prospect etc.")},
        {"CommandCategory", QStringLiteral("Category"), "MT02", nullptr,
         QStringLiteral("Assign categories according to importance e.g.  A, B and C.")},
        {"CommandProjects", QStringLiteral("Projects"), "MT06", nullptr,
         QStringLiteral("Enter project name like the generic name of your product group.")},
    };
    return buttons;
}

constexpr int GridLeft = 3500;
constexpr int GridWidth = 5000;

} // namespace

FormMastertables::FormMastertables()
    : Form(QString::fromLatin1(Name)) {
    Data1 = new DataSource(QStringLiteral("Data1"), this);
    Data1->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    Data1->setInsertCheck(
        [this](const QHash<QString, QVariant>& values) { return valueMayBeStored(values); });
    Data1->setEditCheck(
        [this](const QHash<QString, QVariant>& values) { return valueMayBeStored(values); });

    FrameOptions = new QGroupBox(QStringLiteral("Options"), this);
    FrameOptions->setObjectName(QStringLiteral("FrameOptions"));
    Twips::setGeometry(FrameOptions, 240, 240, 3000, 6360);
    FrameHelp = new QGroupBox(QStringLiteral("Help"), this);
    FrameHelp->setObjectName(QStringLiteral("FrameHelp"));
    LabelHelp = Controls::label(FrameHelp, "LabelHelp", QString(), 120, 240, GridWidth - 240, 500);
    LabelHelp->setWordWrap(true);
    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);

    const QList<TableButton>& buttons = tableButtons();
    for (int i = 0; i < buttons.size(); ++i) {
        const TableButton& b = buttons.at(i);
        const int top = 300 + i * 540;
        auto* button = new QPushButton(FrameOptions);
        button->setObjectName(QLatin1String(b.name));
        button->setIcon(QIcon(QStringLiteral(":/icons/mastertables.png")));
        Twips::setGeometry(button, 120, top, 495, 495);
        auto* label = Controls::label(FrameOptions,
                                      QByteArray("Label" + QByteArray(b.name).mid(7)).constData(),
                                      b.caption, 720, top + 120, 2160);
        m_help->setText(button, b.hover);
        m_help->setText(label, b.hover);
        const QString table = QLatin1String(b.table);
        const QString replace = b.replace ? QLatin1String(b.replace) : QString();
        connect(button, &QPushButton::clicked, this,
                [this, table, replace] { showTable(table, replace); });
    }
    findChild<QPushButton*>(QStringLiteral("CommandDivision"))
        ->setToolTip(QStringLiteral("Enter division in your company if applicable"));

    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setDataSource(Data1);
    DBGrid1->horizontalHeader()->setVisible(false);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    Twips::setGeometry(DBGrid1, GridLeft, 360, GridWidth, 5760);

    CommandEdit =
        Controls::button(this, "CommandEdit", QStringLiteral("&Edit"), GridLeft, 6240, 1215);
    CommandReplaceSP = Controls::button(this, "CommandReplaceSP", QStringLiteral("&Replace"),
                                        GridLeft + 1335, 6240, 1215);
    CommandReplaceSP->setToolTip(QStringLiteral("Replace Sales Person"));
    CommandReplaceSM = Controls::button(this, "CommandReplaceSM", QStringLiteral("&Replace"),
                                        GridLeft + 1335, 6240, 1215);
    CommandHelp = Controls::pictureButton(this, "CommandHelp", "help-browser",
                                          GridLeft + GridWidth - 495, 6240);
    TextClicked = new QLineEdit(QStringLiteral("SM/SP"), this);
    TextClicked->setObjectName(QStringLiteral("TextClicked"));
    TextClicked->setVisible(false);
    connect(CommandEdit, &QPushButton::clicked, this, &FormMastertables::CommandEdit_Click);
    connect(CommandReplaceSP, &QPushButton::clicked, this,
            &FormMastertables::CommandReplaceSP_Click);
    connect(CommandReplaceSM, &QPushButton::clicked, this,
            &FormMastertables::CommandReplaceSM_Click);
    connect(CommandHelp, &QPushButton::clicked, this, &FormMastertables::CommandHelp_Click);
    m_help->setText(CommandEdit, QStringLiteral("Edit your mastertables."));
    m_help->setText(CommandReplaceSP, QStringLiteral("Replace a sales person."));
    m_help->setText(CommandReplaceSM, QStringLiteral("Replace a sales manager."));
    m_help->setText(CommandHelp, QStringLiteral("Tessaly Help."));
    // Over the background the frame stands under the grid with its hint.
    m_help->setBackgroundAction([this] {
        LabelHelp->setText(
            QStringLiteral("For detailed information on setting up your mastertables, press F1."));
        FrameHelp->setVisible(true);
    });
}

void FormMastertables::Form_Load() {
    setWindowTitle(QStringLiteral("Mastertables"));
    Colors::setBackground(this, Colors::White);
    if (Form* menu = Forms::get(QStringLiteral("FormMenu"))) {
        const QRect at = Twips::geometry(menu);
        Twips::setFixedSize(this, at.width(), at.height());
    } else {
        Twips::setFixedSize(this, 11415, 8055 - 400);
    }
    setKeyPreview(true);
    Twips::setGeometry(FrameHelp, GridLeft, 6720, GridWidth, 855);
    FrameHelp->setVisible(false);
    CommandReplaceSP->setVisible(false);
    CommandReplaceSM->setVisible(false);
    DBGrid1->setEnabled(false);
    DBGrid1->setFocusPolicy(Qt::NoFocus);
}

bool FormMastertables::Form_KeyUp(QKeyEvent* event) {
    if (event->key() != Qt::Key_F1)
        return false;
    CommandHelp_Click();
    return true;
}

void FormMastertables::showTable(const QString& table, const QString& replaceButton) {
    m_table = table;
    Data1->setRecordSource(
        QStringLiteral("SELECT %1.TEXT01 FROM %1 ORDER BY %1.TEXT01").arg(table));
    DataMessages::refresh(Data1);
    CommandReplaceSP->setVisible(replaceButton == QLatin1String("CommandReplaceSP"));
    CommandReplaceSM->setVisible(replaceButton == QLatin1String("CommandReplaceSM"));
}

void FormMastertables::CommandEdit_Click() {
    DBGrid1->setEnabled(true);
    DBGrid1->setFocusPolicy(Qt::StrongFocus);
    DBGrid1->setFocus();
}

bool FormMastertables::valueMayBeStored(const QHash<QString, QVariant>& values) {
    QVariant typed;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (it.key().endsWith(QLatin1String("TEXT01"), Qt::CaseInsensitive))
            typed = it.value();
    }
    const QString value = typed.toString();
    if (value.trimmed().isEmpty()) {
        MsgBox::show(QStringLiteral("An empty entry cannot be stored. Please type a value, or "
                                    "press Esc to undo the entry."),
                     MsgBox::OKOnly | MsgBox::Exclamation);
        return false;
    }
    const auto connection = Data1->connection();
    if (!connection || m_table.isEmpty())
        return true;
    // The row being edited may keep its own value in another letter case.
    qint64 own = -1;
    const QByteArray bookmark = Data1->recordset()->bookmark();
    if (!Data1->recordset()->isNewRow() && bookmark.size() == qsizetype(sizeof(qint64)))
        std::memcpy(&own, bookmark.constData(), sizeof(own));
    QString error;
    SqliteStatement statement = connection->prepare(
        QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE TRIM(TEXT01) = TRIM(?) COLLATE NOCASE "
                       "AND rowid <> ?")
            .arg(m_table),
        &error);
    if (!statement.isValid())
        return true;
    statement.bind(1, value);
    statement.bind(2, own);
    if (statement.step() == SQLITE_ROW && statement.intValue(0) > 0) {
        MsgBox::show(QStringLiteral("'%1' is already in this list. Please type another value, "
                                    "or press Esc to undo the entry.")
                         .arg(value.trimmed()),
                     MsgBox::OKOnly | MsgBox::Exclamation);
        return false;
    }
    return true;
}

void FormMastertables::replace(const QString& mode) {
    if (!DataMessages::refresh(Data1))
        return; // the pending entry was refused: it stays for correction
    TextClicked->setText(mode);
    if (Forms::isLoaded(QStringLiteral("FormFindandReplace")))
        Forms::unload(QStringLiteral("FormFindandReplace"));
    Forms::show(QStringLiteral("FormFindandReplace"));
}

void FormMastertables::CommandReplaceSP_Click() {
    replace(QStringLiteral("SP"));
}

void FormMastertables::CommandReplaceSM_Click() {
    replace(QStringLiteral("SM"));
}

void FormMastertables::CommandHelp_Click() {
    ModuleHelp::ShowHelp();
}
