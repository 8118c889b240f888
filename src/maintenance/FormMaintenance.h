#pragma once

#include "app/Form.h"

class DataSource;
class HoverHelp;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Database Maintenance": how full the main database is, and the commands
// that look after the files: delete the temporary files, compact the
// database (keeping a backup), remove blank companies, synchronize the
// replica with the server's database and make a new replica of it.
class FormMaintenance : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormMaintenance";
    FormMaintenance();

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;

    void CommandDelete_Click();
    void CommandShowCompact_Click();
    void CommandRemove_Click();
    void CommandShowReplica_Click();
    void CommandShowSynchronize_Click();
    void CommandOpenForm_Click();
    void CommandDestination_Click();
    void CommandReplica_Click();
    void CommandSynchronize_Click();

    // Makes the server's database the origin of replicas, and writes a
    // replica of it; each reports its own failure and returns false.
    bool MakeReplicable(const QString& database);
    bool CopyReplica(const QString& database, const QString& replicaPath);

private:
    void showPaths(const QString& from, const QString& to);
    void hidePaths();
    void showSize(bool optionalDecimals);

    QGroupBox* FrameMaintenance;
    QPushButton* CommandDelete;
    QLabel* LabelDelete;
    QPushButton* CommandShowCompact;
    QLabel* LabelCompact;
    QPushButton* CommandRemove;
    QLabel* LabelRemove;
    QGroupBox* FrameReplication;
    QPushButton* CommandShowSynchronize;
    QLabel* LabelSynchronize;
    QPushButton* CommandShowReplica;
    QLabel* LabelReplica;
    QLabel* LabelLast;
    QLabel* LabelDate;
    QLabel* Label1;
    QLineEdit* TextDBNameFrom;
    QPushButton* CommandOpenForm;
    QLabel* Label2;
    QLineEdit* TextReplicaDBName;
    QPushButton* CommandDestination;
    QPushButton* CommandReplica;
    QPushButton* CommandSynchronize;
    QLabel* LabelSize;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    DataSource* Data1;
    DataSource* Data2;
    HoverHelp* m_help;
};
