#include "FormMaintenance.h"
#include "FormReplica.h"

#include "FormRemoveBlanks.h"
#include "SizeLine.h"
#include "app/Controls.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "app/ModuleMouse.h"
#include "data/Compaction.h"
#include "data/DataSource.h"
#include "data/Replication.h"
#include "data/SqliteConnection.h"
#include "platform/Clock.h"
#include "platform/ProgramFolder.h"
#include "services/Colors.h"
#include "services/FileChooser.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/DataMessages.h"
#include "widgets/FieldBinder.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString tempFolder() {
    return native(ProgramFolder::path() + QStringLiteral("/Temp"));
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& title, int left, int top,
                 int width, int height) {
    auto* f = new QGroupBox(title, parent);
    f->setObjectName(QLatin1String(name));
    Twips::setGeometry(f, left, top, width, height);
    return f;
}

QLineEdit* box(QWidget* parent, const char* name, int left, int top, int width) {
    auto* b = new QLineEdit(parent);
    b->setObjectName(QLatin1String(name));
    Twips::setGeometry(b, left, top, width, 315);
    return b;
}

const QString LineBreak = QStringLiteral("\r\n");

} // namespace

FormMaintenance::FormMaintenance()
    : Form(QString::fromLatin1(Name)) {
    using namespace Controls;
    FrameMaintenance =
        frame(this, "FrameMaintenance", QStringLiteral("Maintenance"), 240, 240, 5400, 2280);
    CommandDelete = pictureButton(FrameMaintenance, "CommandDelete", "edit-delete", 240, 360);
    LabelDelete = label(FrameMaintenance, "LabelDelete", QStringLiteral("Delete Temporary Files"),
                        1000, 440, 4200);
    CommandShowCompact =
        pictureButton(FrameMaintenance, "CommandShowCompact", "maintenance", 240, 960);
    LabelCompact = label(FrameMaintenance, "LabelCompact",
                         QStringLiteral("Compact & Repair Database"), 1000, 1040, 4200);
    LabelCompact->setTextFormat(Qt::PlainText);
    CommandRemove = pictureButton(FrameMaintenance, "CommandRemove", "edit-cut", 240, 1560);
    LabelRemove = label(FrameMaintenance, "LabelRemove", QStringLiteral("Remove Blank Entries"),
                        1000, 1640, 4200);

    FrameReplication =
        frame(this, "FrameReplication", QStringLiteral("Replication"), 5880, 240, 5295, 2280);
    CommandShowSynchronize =
        pictureButton(FrameReplication, "CommandShowSynchronize", "import", 240, 360);
    LabelSynchronize = label(FrameReplication, "LabelSynchronize",
                             QStringLiteral("Synchronize Database"), 1000, 440, 4100);
    CommandShowReplica =
        pictureButton(FrameReplication, "CommandShowReplica", "edit-copy", 240, 960);
    LabelReplica = label(FrameReplication, "LabelReplica",
                         QStringLiteral("Create a Replica of the Database"), 1000, 1040, 4100);
    LabelLast = label(FrameReplication, "LabelLast", QStringLiteral("Last synchronized on"), 240,
                      1680, 2000);
    LabelDate = label(FrameReplication, "LabelDate", QString(), 2280, 1680, 2800);

    Label1 = label(this, "Label1", QString(), 240, 2700, 9400);
    TextDBNameFrom = box(this, "TextDBNameFrom", 240, 3000, 9400);
    CommandOpenForm = button(this, "CommandOpenForm", QStringLiteral("Browse"), 9840, 2970, 1335);
    Label2 = label(this, "Label2", QString(), 240, 3420, 9400);
    TextReplicaDBName = box(this, "TextReplicaDBName", 240, 3720, 9400);
    CommandDestination =
        button(this, "CommandDestination", QStringLiteral("Browse"), 9840, 3690, 1335);
    CommandReplica =
        button(this, "CommandReplica", QStringLiteral("&Create Replica"), 240, 4200, 1935);
    CommandSynchronize =
        button(this, "CommandSynchronize", QStringLiteral("&Synchronize"), 240, 4200, 1935);

    LabelSize = label(this, "LabelSize", QString(), 240, 4800, 10935, 495);
    LabelSize->setWordWrap(true);
    FrameHelp = frame(this, "FrameHelp", QStringLiteral("Help"), 240, 5400, 10935, 2040);
    LabelHelp = label(FrameHelp, "LabelHelp", QString(), 120, 300, 10695, 1620);
    LabelHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelHelp->setWordWrap(true);

    Data1 = new DataSource(QStringLiteral("Data1"), this);
    Data1->setDatabaseName(QStringLiteral("User.mdb"));
    Data1->setRecordSource(QStringLiteral("TABLE01"));
    FieldBinder::bind(Data1, LabelDate, QStringLiteral("DATE01"));
    Data2 = new DataSource(QStringLiteral("Data2"), this);
    Data2->setDatabaseName(QStringLiteral("User.mdb"));
    Data2->setRecordSource(QStringLiteral("TABLE02"));
    FieldBinder::bind(Data2, TextDBNameFrom, QStringLiteral("TEXT05"));

    connect(CommandDelete, &QPushButton::clicked, this, &FormMaintenance::CommandDelete_Click);
    connect(CommandShowCompact, &QPushButton::clicked, this,
            &FormMaintenance::CommandShowCompact_Click);
    connect(CommandRemove, &QPushButton::clicked, this, &FormMaintenance::CommandRemove_Click);
    connect(CommandShowReplica, &QPushButton::clicked, this,
            &FormMaintenance::CommandShowReplica_Click);
    connect(CommandShowSynchronize, &QPushButton::clicked, this,
            &FormMaintenance::CommandShowSynchronize_Click);
    connect(CommandOpenForm, &QPushButton::clicked, this, &FormMaintenance::CommandOpenForm_Click);
    connect(CommandDestination, &QPushButton::clicked, this,
            &FormMaintenance::CommandDestination_Click);
    connect(CommandReplica, &QPushButton::clicked, this, &FormMaintenance::CommandReplica_Click);
    connect(CommandSynchronize, &QPushButton::clicked, this,
            &FormMaintenance::CommandSynchronize_Click);

    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->addBackground(FrameMaintenance);
    m_help->addBackground(FrameReplication);
    m_help->addBackground(FrameHelp);
    m_help->setText(CommandDelete, [] {
        return QStringLiteral("Whenever a report is generated, this report is stored in the "
                              "folder ") +
               tempFolder() +
               QStringLiteral(". Clicking 'Delete Temporary Files' will remove these reports.");
    });
    m_help->setText(
        CommandShowCompact,
        QStringLiteral("Compact & Repair Database:") + LineBreak +
            QStringLiteral("Over time, a database can grow in size. Once data gets deleted, the "
                           "database doesn't get smaller. Compacting a database allows you to "
                           "reclaim deleted space in your database, thereby reducing the size "
                           "of the database. Using this feature can also repair a corrupt "
                           "database."));
    m_help->setText(CommandRemove,
                    QStringLiteral("Sometimes a new company is entered by accident and left blank. "
                                   "Clicking on 'Remove Blank Entries' will remove any such "
                                   "companies from the database."));
    m_help->setText(
        CommandShowReplica,
        QStringLiteral("Create a replica of the Database:") + LineBreak +
            QStringLiteral(
                "Tessaly only connects to the database if this database is in the same folder as "
                "the program. Therefore it is necessary to create a replica from the database on "
                "the server. This database is called 'TESSALY.mdb'. Select the database from the "
                "server to be replicated. Click on 'Create Replica'. An exact replica of the "
                "database on the server will be created on the user's computer. N.B: This "
                "feature can only be used when nobody is connected to the database on the "
                "server. "));
    m_help->setText(
        CommandShowSynchronize,
        QStringLiteral("Synchronize Database:") + LineBreak +
            QStringLiteral(
                "The user of the program will make changes and updates to the database on his "
                "or her machine. In the meantime, changes have also been made to the database on "
                "the server. Synchronizing allows you to update both changes.  If necessary, "
                "select the required paths. Click on 'Synchronize' and both databases will have "
                "exactly the same data. Synchronization should be done on a regular basis. N.B: "
                "This feature can be used at any time."));
}

void FormMaintenance::Form_Load() {
    setWindowTitle(QStringLiteral("Database Maintenance"));
    Colors::setBackground(this, Colors::White);
    // The main menu's size, less the title bar, which the window manager adds.
    Twips::setSize(this, 11415, 8055 - 400);
    setKeyPreview(true);
    FrameHelp->setVisible(false);
    CommandShowCompact->setVisible(true);
    LabelCompact->setVisible(true);
    hidePaths();
    TextReplicaDBName->setReadOnly(true);
    DataMessages::refresh(Data1);
    DataMessages::refresh(Data2);
    showSize(false);
    Form_Activate();
}

void FormMaintenance::Form_Activate() {
    if (LabelDate->text().isEmpty())
        LabelLast->setVisible(false);
}

void FormMaintenance::Form_Unload(bool& cancel) {
    Q_UNUSED(cancel);
    Forms::show(QStringLiteral("FormMenu"));
}

void FormMaintenance::showSize(bool optionalDecimals) {
    const QString size = SizeLine::text(optionalDecimals);
    LabelSize->setText(size.isEmpty() ? size : size + u'.');
}

void FormMaintenance::hidePaths() {
    for (QWidget* w :
         {static_cast<QWidget*>(Label1), static_cast<QWidget*>(TextDBNameFrom),
          static_cast<QWidget*>(CommandOpenForm), static_cast<QWidget*>(Label2),
          static_cast<QWidget*>(TextReplicaDBName), static_cast<QWidget*>(CommandDestination),
          static_cast<QWidget*>(CommandReplica), static_cast<QWidget*>(CommandSynchronize)})
        w->setVisible(false);
}

void FormMaintenance::CommandDelete_Click() {
    QDir temp(ProgramFolder::tempFolder());
    const QStringList files = temp.entryList(QDir::Files | QDir::Hidden | QDir::System);
    bool deleted = !files.isEmpty();
    for (const QString& file : files)
        deleted = temp.remove(file) && deleted;
    if (deleted)
        MsgBox::show(QStringLiteral("All files in ") + tempFolder() +
                         QStringLiteral(" have been deleted."),
                     MsgBox::OKOnly | MsgBox::Information);
    else
        MsgBox::show(QStringLiteral("The folder ") + tempFolder() + QStringLiteral(" is empty."),
                     MsgBox::OKOnly | MsgBox::Information);
}

void FormMaintenance::CommandShowCompact_Click() {
    // The main menu holds the database open; it comes back when this window
    // is closed.
    Forms::unload(QStringLiteral("FormMenu"));
    ModuleMouse::PointerBusy();
    QString error;
    const bool compacted = Compaction::run(ProgramFolder::path(), &error);
    ModuleMouse::PointerNormal();
    if (!compacted) {
        MsgBox::show(QStringLiteral("An error was encountered. Please restart Tessaly and try "
                                    "again.") +
                         LineBreak + LineBreak + error + LineBreak +
                         QStringLiteral("Your database has not been changed."),
                     MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    MsgBox::show(QStringLiteral("Compacting is complete."), MsgBox::OKOnly | MsgBox::Information);
    showSize(true);
}

void FormMaintenance::CommandRemove_Click() {
    // Loading the hidden window starts its walk; a later click walks again.
    if (auto* blanks = qobject_cast<FormRemoveBlanks*>(
            Forms::loaded(QString::fromLatin1(FormRemoveBlanks::Name))))
        blanks->startWalk();
    else
        Forms::get<FormRemoveBlanks>();
    MsgBox::show(QStringLiteral("All Blank Entries have been Removed!"),
                 MsgBox::OKOnly | MsgBox::Information);
}

void FormMaintenance::showPaths(const QString& from, const QString& to) {
    Label1->setText(from);
    Label2->setText(to);
    for (QWidget* w :
         {static_cast<QWidget*>(Label1), static_cast<QWidget*>(TextDBNameFrom),
          static_cast<QWidget*>(CommandOpenForm), static_cast<QWidget*>(Label2),
          static_cast<QWidget*>(TextReplicaDBName), static_cast<QWidget*>(CommandDestination)})
        w->setVisible(true);
    TextReplicaDBName->setText(native(ProgramFolder::file(QStringLiteral("TESSALY.mdb"))));
}

void FormMaintenance::CommandShowReplica_Click() {
    showPaths(QStringLiteral("Database to Replicate"), QStringLiteral("Name of new Replica"));
    CommandReplica->setVisible(true);
    CommandSynchronize->setVisible(false);
}

void FormMaintenance::CommandShowSynchronize_Click() {
    showPaths(QStringLiteral("Select the path to the Database on the Server"),
              QStringLiteral("The path to your Replica:"));
    CommandSynchronize->setVisible(true);
    CommandReplica->setVisible(false);
}

void FormMaintenance::CommandOpenForm_Click() {
    const QString chosen = FileChooser::openFile(
        this, QStringLiteral("Open"), QStringLiteral("Databases (*.mdb);;All files (*)"));
    if (!chosen.isEmpty())
        TextDBNameFrom->setText(native(chosen));
}

void FormMaintenance::CommandDestination_Click() {
    TextReplicaDBName->setReadOnly(false);
    const QString chosen = FileChooser::openFile(
        this, QStringLiteral("Open"), QStringLiteral("Databases (*.mdb);;All files (*)"));
    if (!chosen.isEmpty())
        TextReplicaDBName->setText(native(chosen));
}

bool FormMaintenance::MakeReplicable(const QString& database) {
    return FormReplica::makeReplicable(QString::fromLatin1(Name), database);
}

bool FormMaintenance::CopyReplica(const QString& database, const QString& replicaPath) {
    // The replica usually takes the place of the database this program
    // works on: every connection to it goes first.
    SqliteConnection::closeShared(replicaPath);
    return FormReplica::copyReplica(QString::fromLatin1(Name), database, replicaPath);
}

void FormMaintenance::CommandReplica_Click() {
    const QString server = TextDBNameFrom->text();
    const QString replica = TextReplicaDBName->text();
    DataMessages::refresh(Data2); // the server's path is kept for the next time
    ModuleMouse::PointerBusy();
    if (!MakeReplicable(server) || !CopyReplica(server, replica)) {
        ModuleMouse::PointerNormal();
        return;
    }
    for (QWidget* w :
         {static_cast<QWidget*>(CommandOpenForm), static_cast<QWidget*>(CommandDestination),
          static_cast<QWidget*>(TextDBNameFrom), static_cast<QWidget*>(TextReplicaDBName),
          static_cast<QWidget*>(CommandReplica)})
        w->setVisible(false);
    ModuleMouse::PointerNormal();
    MsgBox::show(QStringLiteral("A replica has been created at location ") + replica +
                     QStringLiteral(". You must restart Tessaly."),
                 MsgBox::OKOnly);
    Forms::endProgram();
}

void FormMaintenance::CommandSynchronize_Click() {
    const QString server = TextDBNameFrom->text();
    const QString replica = TextReplicaDBName->text();
    DataMessages::refresh(Data2);
    ModuleMouse::PointerBusy();
    const Replication::Outcome outcome = Replication::synchronize(replica, server);
    if (!outcome.ok) {
        ModuleMouse::PointerNormal();
        FormReplica::reportReplicationError(
            outcome.error, QString::fromLatin1(Name) + QStringLiteral(".CommandSynchronize_Click"),
            3);
        return;
    }
    hidePaths();
    ModuleMouse::PointerNormal();
    QString message = QStringLiteral("You succesfully synchronized ") + replica +
                      QStringLiteral(" with ") + LineBreak + server +
                      QStringLiteral(". You must restart Tessaly.");
    if (outcome.conflicts > 0)
        message += LineBreak + LineBreak +
                   QStringLiteral("%1 of the changes met changes made elsewhere to the same "
                                  "records. Nothing was lost: the values that did not prevail "
                                  "are kept in the table %2 of your database, where you can look "
                                  "them up.")
                       .arg(outcome.conflicts)
                       .arg(outcome.conflictsTable);
    MsgBox::show(message, MsgBox::OKOnly);
    Data1->recordset()->setField(QStringLiteral("DATE01"), Clock::now());
    DataMessages::refresh(Data1);
    Forms::endProgram();
}
