#pragma once

#include "app/Form.h"

class DataSource;
class FlexGrid;
class QLabel;
class QLineEdit;
class QTimer;

// "Overdue Visits": recomputes the days overdue of the companies known to be
// overdue, then lists those still overdue. The walk runs on a timer so that
// the window stays responsive, as many rows per tick as fit in its time
// slice.
class FormOverdue : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormOverdue";
    static const QString OverdueQuery;
    FormOverdue();

    void Form_Load() override;
    void Timer1_Timer();
    bool isComputing() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    FlexGrid* MSFlexGrid1;
    QLabel* LabelCompany;
    QLabel* LabelCalculate;
    QLineEdit* DATE01;
    QLineEdit* NUMBER01;
    QLineEdit* NUMBER02;
    QTimer* Timer1;
    DataSource* Data1;
    bool m_busy = false;
};
