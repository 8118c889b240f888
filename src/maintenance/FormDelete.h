#pragma once

#include "app/Form.h"

#include <QDate>
#include <memory>

class PurgeWorker;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// "Delete Old Files": how full the database is, an optional backup, a
// cut-off date, and then the purge of every call report, piece of
// correspondence, project and action step dated before that day, table
// after table. Each table is walked on a worker thread with a connection of
// its own; the table's timer shows the worker's progress and, when it is
// done, hands over to the next table, so the window stays responsive. At
// the end the user is sent to the maintenance window to compact the
// database.
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
    void openTable(int stage);
    void stopWithError(const QString& error);
    void stopWorker();
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
    PurgeWorker* m_worker = nullptr; // the table being walked
    int m_shownSlices = 0;           // the worker's slices the labels show
    int m_undated = 0;
};
