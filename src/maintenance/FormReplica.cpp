#include "FormReplica.h"

#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "app/ModuleHelp.h"
#include "data/DataSource.h"
#include "data/Installation.h"
#include "data/Replication.h"
#include "data/SqliteConnection.h"
#include "platform/ProgramFolder.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Pointer.h"
#include "services/Twips.h"
#include "widgets/DataMessages.h"
#include "widgets/DirList.h"
#include "widgets/DriveList.h"
#include "widgets/FieldBinder.h"
#include "widgets/FileList.h"
#include "widgets/WrapCheckBox.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

template <class T>
T* control(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* widget = new T(parent);
    widget->setObjectName(QLatin1String(name));
    Twips::setGeometry(widget, left, top, width, height);
    return widget;
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

FormReplica::FormReplica()
    : Form(QString::fromLatin1(Name)) {
    Label1 = control<QLabel>(this, "Label1", 240, 240, 4400, 255);
    Label1->setText(QStringLiteral("Database to Replicate..."));
    Text1 = control<QLineEdit>(this, "Text1", 240, 540, 4400, 315);
    CommandBrowse = control<QPushButton>(this, "CommandBrowse", 240, 960, 1215, 375);
    CommandBrowse->setText(QStringLiteral("&Browse"));
    CommandHelp = control<QPushButton>(this, "CommandHelp", 3425, 960, 1215, 375);
    CommandHelp->setText(QStringLiteral("&Help"));
    Label2 = control<QLabel>(this, "Label2", 240, 1560, 4400, 255);
    Label2->setText(QStringLiteral("Destination of the Replica..."));
    Text2 = control<QLineEdit>(this, "Text2", 240, 1860, 4400, 315);
    CommandReplica = control<QPushButton>(this, "CommandReplica", 240, 2280, 1695, 375);
    CommandReplica->setText(QStringLiteral("&Create Replica"));
    Check1 = control<WrapCheckBox>(this, "Check1", 240, 2880, 4400, 495);
    Check1->setText(QStringLiteral("Do not create a replica. I do not work from a network."));
    FrameHelp = control<QGroupBox>(this, "FrameHelp", 240, 3600, 4400, 2040);
    FrameHelp->setTitle(QStringLiteral("Help"));
    LabelHelp = control<QLabel>(FrameHelp, "LabelHelp", 120, 300, 4160, 1620);
    LabelHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Drive1 = control<DriveList>(this, "Drive1", 5040, 240, 5400, 315);
    Dir1 = control<DirList>(this, "Dir1", 5040, 660, 2640, 4920);
    File1 = control<FileList>(this, "File1", 7800, 660, 2640, 4920);
    File1->setPattern(QStringLiteral("*.mdb"));
    TEXT04 = new QLineEdit(this);
    TEXT04->setObjectName(QStringLiteral("TEXT04"));
    TEXT04->setVisible(false);

    DataUserTABLE02 = new DataSource(QStringLiteral("DataUserTABLE02"), this);
    DataUserTABLE02->setDatabaseName(QStringLiteral("User.mdb"));
    DataUserTABLE02->setRecordSource(QStringLiteral("TABLE02"));
    FieldBinder::bind(DataUserTABLE02, TEXT04, QStringLiteral("TEXT04"));

    connect(Check1, &QCheckBox::clicked, this, &FormReplica::Check1_Click);
    connect(CommandBrowse, &QPushButton::clicked, this, &FormReplica::CommandBrowse_Click);
    connect(CommandReplica, &QPushButton::clicked, this, &FormReplica::CommandReplica_Click);
    connect(CommandHelp, &QPushButton::clicked, this, &FormReplica::CommandHelp_Click);
    connect(Drive1, &DriveList::changed, this, &FormReplica::Drive1_Change);
    connect(Dir1, &DirList::changed, this, &FormReplica::Dir1_Change);
    connect(File1, &FileList::clicked, this, &FormReplica::File1_Click);

    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->addBackground(FrameHelp);
    m_help->setText(Check1, [] {
        return QStringLiteral("Select this option if you are a single user. Instead of creating a "
                              "replica, a copy of the database will be made to ") +
               native(ProgramFolder::path()) + u'.';
    });
    m_help->setText(CommandBrowse,
                    QStringLiteral("Locate the file 'TESSALY.mdb' on the server and click on "
                                   "'Create Replica'. An exact replica of the Tessaly database "
                                   "will be created on your computer. Regular synchronization "
                                   "will ensure that all information from all users is always "
                                   "updated."));
    m_help->setText(Dir1, QStringLiteral("Select the folder where 'TESSALY.mdb' is located."));
    m_help->setText(File1,
                    QStringLiteral("Click the file 'TESSALY.mdb' and click on 'Create Replica'."));
}

void FormReplica::Form_Load() {
    setWindowTitle(QStringLiteral("Create a Replica on your Computer"));
    Colors::setBackground(this, Colors::ButtonFace);
    // The height less the title bar, which the window manager adds.
    Twips::setFixedSize(this, 5000, 6300 - 400);
    setKeyPreview(true);
    FrameHelp->setVisible(false);
    Text1->clear();
    Text2->setText(native(ProgramFolder::file(QStringLiteral("TESSALY.mdb"))));
    CommandReplica->setEnabled(false);
    for (QWidget* list :
         {static_cast<QWidget*>(Drive1), static_cast<QWidget*>(Dir1), static_cast<QWidget*>(File1)})
        list->setVisible(false);
    DataMessages::refresh(DataUserTABLE02);
}

bool FormReplica::choiceMade() const {
    return TEXT04->text() == QLatin1String("1");
}

bool FormReplica::passOn() {
    if (!choiceMade())
        return false;
    unload();
    Forms::show(QStringLiteral("FormMenu"));
    return true;
}

void FormReplica::Start() {
    auto* replica = Forms::get<FormReplica>();
    // A later start never shows this window: it goes straight to the menu.
    if (!replica->passOn())
        Forms::show(QString::fromLatin1(Name));
}

void FormReplica::Form_Activate() {
    passOn();
}

void FormReplica::Check1_Click() {
    if (!Check1->isChecked())
        return;
    const QString folder = native(ProgramFolder::path());
    const QString supplied = ProgramFolder::file(QStringLiteral("Temp.mdb"));
    const QString main = ProgramFolder::file(QStringLiteral("TESSALY.mdb"));
    // Neither database is ever overwritten: an existing TESSALY.mdb is used
    // as it is, and the supplied one stays beside it.
    if (QFile::exists(main)) {
        MsgBox::show(QStringLiteral("The database TESSALY.mdb is already in %1. Tessaly will work "
                                    "with it as it is; the supplied database Temp.mdb is left "
                                    "untouched.")
                         .arg(folder),
                     MsgBox::OKOnly | MsgBox::Information);
    } else if (!QFile::exists(supplied)) {
        MsgBox::show(QStringLiteral("The supplied database Temp.mdb is missing from %1, so there "
                                    "is no database to work with. Start Tessaly again to have it "
                                    "installed afresh.")
                         .arg(folder),
                     MsgBox::OKOnly | MsgBox::Critical);
        Check1->setChecked(false);
        return;
    } else {
        QString why;
        if (!Installation::verifyMainDatabase(supplied, &why)) {
            MsgBox::show(QStringLiteral("The supplied database Temp.mdb in %1 is not a whole "
                                        "Tessaly database, so it cannot become TESSALY.mdb:\n%2\n"
                                        "Remove Temp.mdb and start Tessaly again to have it "
                                        "installed afresh.")
                             .arg(folder, why),
                         MsgBox::OKOnly | MsgBox::Critical);
            Check1->setChecked(false);
            return;
        }
        SqliteConnection::closeShared(supplied);
        if (!QFile::rename(supplied, main)) {
            MsgBox::show(QStringLiteral("Temp.mdb cannot be renamed to TESSALY.mdb in %1. Check "
                                        "that the folder can be written to.")
                             .arg(folder),
                         MsgBox::OKOnly | MsgBox::Critical);
            Check1->setChecked(false);
            return;
        }
    }
    TEXT04->setText(QStringLiteral("1"));
    if (!DataMessages::refresh(DataUserTABLE02))
        return;
    Forms::show(QStringLiteral("FormMenu"));
    unload();
}

void FormReplica::CommandBrowse_Click() {
    const int width = 10740;
    const QRect current = Twips::geometry(this);
    Twips::setFixedSize(this, width, current.height());
    Twips::move(this, (Twips::screenWidth() - width) / 2, current.y());
    for (QWidget* list :
         {static_cast<QWidget*>(Drive1), static_cast<QWidget*>(Dir1), static_cast<QWidget*>(File1)})
        list->setVisible(true);
    Drive1_Change();
}

void FormReplica::Drive1_Change() {
    Dir1->setPath(Drive1->drive());
}

void FormReplica::Dir1_Change() {
    File1->setPath(Dir1->path());
}

void FormReplica::File1_Click() {
    if (File1->fileName().isEmpty())
        return;
    Text1->setText(native(QDir(Dir1->path()).filePath(File1->fileName())));
    CommandReplica->setEnabled(true);
    CommandReplica->setFocus();
}

void FormReplica::CommandReplica_Click() {
    const QString server = QDir::fromNativeSeparators(Text1->text().trimmed());
    const QString replica = QDir::fromNativeSeparators(Text2->text().trimmed());
    Pointer::busy();
    const bool made = MakeReplicable(server) && CopyReplica(server, replica);
    Pointer::normal();
    // The choice is recorded once the replica stands: a start after a
    // failed attempt offers the choice again instead of opening a menu
    // without a database.
    if (!made)
        return;
    TEXT04->setText(QStringLiteral("1"));
    DataMessages::refresh(DataUserTABLE02);
    for (QWidget* control : {static_cast<QWidget*>(CommandBrowse), static_cast<QWidget*>(Text1),
                             static_cast<QWidget*>(Text2), static_cast<QWidget*>(CommandReplica)})
        control->setVisible(false);
    MsgBox::show(QStringLiteral("A replica has been created at location ") + Text2->text() +
                     QStringLiteral(". You must restart Tessaly."),
                 MsgBox::OKOnly | MsgBox::Information);
    Forms::endProgram();
}

bool FormReplica::MakeReplicable(const QString& database) {
    return makeReplicable(QString::fromLatin1(Name), database);
}

bool FormReplica::CopyReplica(const QString& database, const QString& replicaPath) {
    return copyReplica(QString::fromLatin1(Name), database, replicaPath);
}

bool FormReplica::makeReplicable(const QString& window, const QString& database) {
    const auto outcome = Replication::makeReplicable(database);
    if (!outcome.ok)
        reportReplicationError(outcome.error, window + QStringLiteral(".MakeReplicable"), 1);
    return outcome.ok;
}

bool FormReplica::copyReplica(const QString& window, const QString& database,
                              const QString& replicaPath) {
    const auto outcome = Replication::copyReplica(
        database, replicaPath,
        QStringLiteral("Replica of ") + native(QFileInfo(database).absoluteFilePath()));
    if (!outcome.ok)
        reportReplicationError(outcome.error, window + QStringLiteral(".CopyReplica"), 2);
    return outcome.ok;
}

void FormReplica::reportReplicationError(const QString& description, const QString& source,
                                         int number) {
    Pointer::normal();
    MsgBox::show(description + QStringLiteral("\r\n\r\n From: ") + source +
                     QStringLiteral("\r\nNumber: ") + QString::number(number),
                 MsgBox::OKOnly | MsgBox::Critical);
}

void FormReplica::CommandHelp_Click() {
    ModuleHelp::ShowHelp();
}

bool FormReplica::Form_KeyDown(QKeyEvent* event) {
    if (event->key() != Qt::Key_F1)
        return false;
    CommandHelp_Click();
    return true;
}
