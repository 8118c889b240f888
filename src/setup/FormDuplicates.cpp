#include "FormDuplicates.h"

#include "app/Forms.h"
#include "app/ModuleHelp.h"
#include "data/CompanyDuplicates.h"
#include "data/CompanyMerge.h"
#include "data/Database.h"
#include "data/SqliteConnection.h"
#include "data/SqliteStatement.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Pointer.h"
#include "services/Twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include <sqlite3.h>

namespace {

enum Column { Company, City, Telephone, Status, Rows };
constexpr int KeyRole = Qt::UserRole;

std::shared_ptr<SqliteConnection> mainDatabase(QString* error) {
    return SqliteConnection::shared(Database::resolve(QStringLiteral("TESSALY.mdb")), error);
}

} // namespace

FormDuplicates::FormDuplicates()
    : Form(QString::fromLatin1(Name)) {
    Label1 = new QLabel(
        QStringLiteral("Companies that are probably entered more than once, the largest groups "
                       "first. Open a group, select the entry to keep and click Merge: the "
                       "contacts, call reports, correspondence, projects, attachments and "
                       "competitor activity of the other entries move to it, its empty fields "
                       "take their values, and the other entries are removed."),
        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Twips::setGeometry(Label1, 240, 120, 10500, 735);
    TreeGroups = new QTreeWidget(this);
    TreeGroups->setObjectName(QStringLiteral("TreeGroups"));
    TreeGroups->setHeaderLabels({QStringLiteral("Company"), QStringLiteral("City"),
                                 QStringLiteral("Telephone"), QStringLiteral("Status"),
                                 QStringLiteral("Rows")});
    TreeGroups->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeGroups->setUniformRowHeights(true);
    Twips::setGeometry(TreeGroups, 240, 960, 10500, 5400);
    LabelCount = new QLabel(this);
    LabelCount->setObjectName(QStringLiteral("LabelCount"));
    Twips::setGeometry(LabelCount, 240, 6480, 6000, 375);
    CommandMerge = new QPushButton(QStringLiteral("&Merge into Selected"), this);
    CommandMerge->setObjectName(QStringLiteral("CommandMerge"));
    CommandMerge->setToolTip(
        QStringLiteral("Merges the other entries of the group into the selected entry"));
    Twips::setGeometry(CommandMerge, 6840, 6480, 2400, 375);
    CommandClose = new QPushButton(QStringLiteral("&Close"), this);
    CommandClose->setObjectName(QStringLiteral("CommandClose"));
    Twips::setGeometry(CommandClose, 9360, 6480, 1380, 375);
    connect(CommandMerge, &QPushButton::clicked, this, &FormDuplicates::CommandMerge_Click);
    connect(CommandClose, &QPushButton::clicked, this, [this] { unload(); });
    connect(TreeGroups, &QTreeWidget::itemExpanded, this, &FormDuplicates::fillCounts);
    connect(TreeGroups, &QTreeWidget::itemSelectionChanged, this,
            &FormDuplicates::selectionChanged);
}

void FormDuplicates::Form_Load() {
    setWindowTitle(QStringLiteral("Find Duplicate Companies"));
    Colors::setBackground(this, Colors::White);
    Twips::setFixedSize(this, 11000, 7400 - 400);
    setKeyPreview(true);
    Load();
}

bool FormDuplicates::Form_KeyUp(QKeyEvent* event) {
    if (event->key() != Qt::Key_F1)
        return false;
    ModuleHelp::ShowHelp();
    return true;
}

void FormDuplicates::Load() {
    TreeGroups->clear();
    CommandMerge->setEnabled(false);
    QString error;
    const auto connection = mainDatabase(&error);
    Pointer::busy();
    const auto groups = connection ? CompanyDuplicates::groups(*connection, &error)
                                   : std::optional<QList<QList<CompanyDuplicates::Stored>>>();
    Pointer::normal();
    if (!groups) {
        LabelCount->setText(QString());
        MsgBox::show(QStringLiteral("The companies could not be read: ") + error,
                     MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    for (const auto& group : *groups) {
        auto* top = new QTreeWidgetItem(TreeGroups);
        top->setText(
            Company,
            QStringLiteral("%1 (%2 entries)").arg(group.first().company.name).arg(group.size()));
        top->setFlags(Qt::ItemIsEnabled);
        for (const auto& stored : group) {
            auto* entry = new QTreeWidgetItem(top);
            entry->setText(Company, stored.company.name);
            entry->setText(City, stored.company.city);
            entry->setText(Telephone, stored.company.telephone);
            entry->setText(Status, stored.status == QLatin1String("Company")
                                       ? QStringLiteral("Active")
                                       : QStringLiteral("Archived"));
            entry->setData(Company, KeyRole, stored.key);
        }
    }
    LabelCount->setText(groups->isEmpty()
                            ? QStringLiteral("No likely duplicates found.")
                            : QStringLiteral("%1 groups of likely duplicates").arg(groups->size()));
    TreeGroups->resizeColumnToContents(Company);
}

// How many rows belong to each entry, counted when its group is opened.
void FormDuplicates::fillCounts(QTreeWidgetItem* group) {
    QString error;
    const auto connection = mainDatabase(&error);
    if (!connection)
        return;
    SqliteStatement count = connection->prepare(
        QStringLiteral("SELECT (SELECT COUNT(*) FROM TABLE03 WHERE NUMBER01 = ?1) + (SELECT "
                       "COUNT(*) FROM TABLE05 WHERE NUMBER01 = ?1) + (SELECT COUNT(*) FROM "
                       "TABLE06 WHERE NUMBER01 = ?1) + (SELECT COUNT(*) FROM TABLE08 WHERE "
                       "NUMBER01 = ?1) + (SELECT COUNT(*) FROM TABLE09 WHERE NUMBER01 = ?1) + "
                       "(SELECT COUNT(*) FROM TABLE10 WHERE NUMBER01 = ?1)"),
        &error);
    if (!count.isValid())
        return;
    for (int i = 0; i < group->childCount(); ++i) {
        QTreeWidgetItem* entry = group->child(i);
        count.reset();
        count.bind(1, entry->data(Company, KeyRole));
        if (count.step() == SQLITE_ROW)
            entry->setText(Rows, QString::number(count.intValue(0)));
    }
}

void FormDuplicates::selectionChanged() {
    const QList<QTreeWidgetItem*> selected = TreeGroups->selectedItems();
    CommandMerge->setEnabled(!selected.isEmpty() && selected.first()->parent());
}

void FormDuplicates::CommandMerge_Click() {
    const QList<QTreeWidgetItem*> selected = TreeGroups->selectedItems();
    if (selected.isEmpty() || !selected.first()->parent()) {
        MsgBox::show(QStringLiteral("Please open a group and select the entry to keep."),
                     MsgBox::OKOnly | MsgBox::Information);
        return;
    }
    // The keys as the user saw them when clicking.
    QTreeWidgetItem* kept = selected.first();
    QTreeWidgetItem* group = kept->parent();
    const qint64 keep = kept->data(Company, KeyRole).toLongLong();
    const QString name = kept->text(Company);
    QList<qint64> others;
    for (int i = 0; i < group->childCount(); ++i) {
        if (group->child(i) != kept)
            others.append(group->child(i)->data(Company, KeyRole).toLongLong());
    }
    if (MsgBox::show(QStringLiteral("Merge the %1 other entries of this group into '%2'? Their "
                                    "contacts, call reports, correspondence, projects, "
                                    "attachments and competitor activity move to '%2', and the "
                                    "other entries are removed. This cannot be undone.")
                         .arg(others.size())
                         .arg(name),
                     MsgBox::YesNo | MsgBox::Question) != MsgBox::Yes)
        return;
    QString error;
    const auto connection = mainDatabase(&error);
    CompanyMerge::Result result;
    if (!connection || !CompanyMerge::merge(*connection, keep, others, &result, &error)) {
        MsgBox::show(QStringLiteral("The companies were not merged; nothing was changed. ") + error,
                     MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    MsgBox::show(QStringLiteral("'%1' now holds %2 more rows; %3 entries were removed.")
                     .arg(name)
                     .arg(result.moved)
                     .arg(result.removed),
                 MsgBox::OKOnly | MsgBox::Information);
    Load();
}
