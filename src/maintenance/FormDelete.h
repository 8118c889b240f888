#pragma once

#include "app/Form.h"

#include <QDate>
#include <memory>

class PurgeWalk;
class SqliteConnection;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// "Delete Old Files": how full the database is, an optional backup, a
// cut-off date, and then the purge of every call report, piece of
// correspondence, project and action step dated before that day, table
// after table. Each table is walked by its own timer, a slice per tick, so
// the window stays responsive and shows its progress; at the end the user
// is sent to the maintenance window to compact the database.
class FormDelete : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormDelete";
    FormDelete();
    ~FormDelete() override;

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;

    void CommandYes_Click();
    void CommandNo_Click();
    void MaskEdBoxDate_Change();
    void CommandDelete_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();

    bool isPurging() const;

private:
    struct Stage;
    static const Stage Stages[4];
    void tick(int stage);
    bool openTable(int stage);
    void stopWithError(const QString& error);
    void finish();

    QLabel* LabelSize;
    QPushButton* CommandYes;
    QPushButton* CommandNo;
    QLineEdit* MaskEdBoxDate;
    QLabel* LabelHint;
    QPushButton* CommandDelete;
    QLabel* LabelDeleting;
    QTimer* Timer[4];
    QLineEdit* TextDate;
    QDate m_cutOff;
    std::shared_ptr<SqliteConnection> m_connection;
    std::unique_ptr<PurgeWalk> m_walk;
    int m_undated = 0;
    int m_settling = 0;
};
