#pragma once

#include "app/Form.h"

class DataSource;
class DirList;
class DriveList;
class FileList;
class HoverHelp;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Create a Replica on your Computer": the first-start choice between working
// alone (the supplied database becomes TESSALY.mdb) and working from a
// network. Once the choice is recorded (User.mdb TABLE02.TEXT04 = "1") the
// window passes straight on to the main menu.
class FormReplica : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormReplica";
    FormReplica();

    // The start of the program: the main menu when the choice was made
    // before, otherwise this window.
    static void Start();

    void Form_Load() override;
    void Form_Activate() override;
    bool Form_KeyDown(QKeyEvent* event) override;

    void Check1_Click();
    void CommandBrowse_Click();
    void CommandReplica_Click();
    void CommandHelp_Click();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();

    bool choiceMade() const;

    // The server's database at `database` becomes the origin of replicas;
    // a replica of it is written to `replicaPath`. Each reports its own
    // error and returns false.
    bool MakeReplicable(const QString& database);
    bool CopyReplica(const QString& database, const QString& replicaPath);

    // The same two methods for every window that offers them; `window`
    // names the caller in the error report.
    static bool makeReplicable(const QString& window, const QString& database);
    static bool copyReplica(const QString& window, const QString& database,
                            const QString& replicaPath);
    // The error report of replication: the description, where it arose and
    // its number, with the critical-stop icon.
    static void reportReplicationError(const QString& description, const QString& source,
                                       int number);

private:
    bool passOn();

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* CommandBrowse;
    DriveList* Drive1;
    DirList* Dir1;
    FileList* File1;
    QLabel* Label2;
    QLineEdit* Text2;
    QPushButton* CommandReplica;
    QCheckBox* Check1;
    QPushButton* CommandHelp;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    QLineEdit* TEXT04;
    DataSource* DataUserTABLE02;
    HoverHelp* m_help;
};
