#include "FormOverdue.h"

#include "app/ModuleMouse.h"
#include "data/Columns.h"
#include "data/DataSource.h"
#include "data/Transaction.h"
#include "data/Visits.h"
#include "platform/Clock.h"
#include "services/Twips.h"
#include "widgets/FieldBinder.h"
#include "widgets/FlexGrid.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <optional>

const QString FormOverdue::OverdueQuery =
    QStringLiteral("SELECT TABLE01.TEXT01,  TABLE01.TEXT13, ") +
    QStringLiteral("TABLE01.TEXT18, TABLE01.DATE01, ") +
    QStringLiteral("TABLE01.NUMBER01, TABLE01.NUMBER02, TABLE01.TEXT21 ") +
    QStringLiteral("FROM TABLE01 WHERE ") +
    QStringLiteral("TABLE01.TEXT20 = 'Company' AND TABLE01.NUMBER01 > '0' AND "
                   "TABLE01.NUMBER02 > '0' ") +
    QStringLiteral("ORDER BY TABLE01.TEXT01");

FormOverdue::FormOverdue()
    : Form(QString::fromLatin1(Name)) {
    Data1 = new DataSource(QStringLiteral("Data1"), this);
    Data1->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setDataSource(Data1);
    LabelCalculate = new QLabel(QStringLiteral("Calculating - Please Wait..."), this);
    LabelCalculate->setObjectName(QStringLiteral("LabelCalculate"));
    Twips::setGeometry(LabelCalculate, 240, 240, 6000, 255);
    LabelCompany = new QLabel(this);
    LabelCompany->setObjectName(QStringLiteral("LabelCompany"));
    Twips::setGeometry(LabelCompany, 240, 600, 6000, 255);
    FieldBinder::bind(Data1, LabelCompany, CompanyColumn::Name);
    // The hidden boxes of the row in work; the walk itself reads and writes
    // the row's values.
    for (QLineEdit** box : {&DATE01, &NUMBER01, &NUMBER02}) {
        *box = new QLineEdit(this);
        (*box)->setVisible(false);
    }
    DATE01->setObjectName(QStringLiteral("DATE01"));
    NUMBER01->setObjectName(QStringLiteral("NUMBER01"));
    NUMBER02->setObjectName(QStringLiteral("NUMBER02"));
    FieldBinder::bind(Data1, DATE01, CompanyColumn::LastVisited);
    FieldBinder::bind(Data1, NUMBER01, CompanyColumn::VisitFrequency);
    FieldBinder::bind(Data1, NUMBER02, CompanyColumn::DaysOverdue);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(20);
    connect(Timer1, &QTimer::timeout, this, &FormOverdue::Timer1_Timer);
}

void FormOverdue::Form_Load() {
    setWindowTitle(QStringLiteral("Overdue Visits"));
    Twips::setSize(this, 12000, 6000);
    MSFlexGrid1->setVisible(false);
    Data1->setRecordSource(OverdueQuery);
    Data1->refresh();
    Timer1->start();
}

bool FormOverdue::isComputing() const {
    return Timer1->isActive();
}

void FormOverdue::Timer1_Timer() {
    if (!m_busy) {
        ModuleMouse::PointerBusy();
        m_busy = true;
    }
    Recordset* rs = Data1->recordset();
    // As many rows as fit in most of a tick; the window stays responsive.
    // The rows of one tick are stored together: one commit, not one per row.
    std::optional<Transaction> batch;
    if (const auto connection = Data1->connection()) {
        batch.emplace(*connection);
        if (!batch->begin(nullptr))
            batch.reset();
    }
    QElapsedTimer slice;
    slice.start();
    while (!rs->eof() && slice.elapsed() < 15) {
        // The query lists active companies only.
        const auto overdue = Visits::daysOverdue(
            Visits::lastVisitOf(rs->field(CompanyColumn::LastVisited)),
            Visits::frequencyOf(rs->field(CompanyColumn::VisitFrequency)), true, Clock::today());
        if (overdue && rs->field(CompanyColumn::DaysOverdue) != QVariant(qlonglong(*overdue)))
            rs->setField(CompanyColumn::DaysOverdue, qlonglong(*overdue));
        if (!rs->moveNext() && !rs->eof())
            rs->cancelUpdate(); // a value that cannot be stored is passed over
        if (!rs->eof() && rs->absolutePosition() < 0)
            rs->moveNext();
    }
    if (batch)
        batch->commit(nullptr); // a failure rolls back: recomputed at the next opening
    if (!rs->eof())
        return;
    Timer1->stop();
    m_busy = false;
    ModuleMouse::PointerNormal();
    Data1->setRecordSource(OverdueQuery);
    Data1->refresh();
    LabelCalculate->setVisible(false);
    LabelCompany->setVisible(false);
    MSFlexGrid1->setVisible(true);
    const QStringList headings = {QStringLiteral("COMPANY"),
                                  QStringLiteral("DIVISION"),
                                  QStringLiteral("SALES PERSON"),
                                  QStringLiteral("DATE LAST VISITED"),
                                  QStringLiteral("VISIT FREQUENCY"),
                                  QStringLiteral("DAYS OVERDUE"),
                                  QStringLiteral("SCHEDULED APPOINTMENT")};
    for (int i = 0; i < headings.size(); ++i)
        MSFlexGrid1->setTextMatrix(0, i + 1, headings.at(i));
    resizeEvent(nullptr);
}

void FormOverdue::resizeEvent(QResizeEvent* event) {
    if (event)
        Form::resizeEvent(event);
    const int widthTwips = Twips::fromPixelsX(width());
    MSFlexGrid1->setGeometry(0, 0, std::max(0, width() - Twips::toPixelsX(100)),
                             std::max(0, height() - Twips::toPixelsY(500)));
    const int widths[] = {widthTwips / 7, widthTwips / 7, widthTwips / 7, 1500,
                          1000,           1000,           widthTwips / 4};
    MSFlexGrid1->setColumnWidth(0, Twips::toPixelsX(150));
    for (int i = 0; i < 7; ++i)
        MSFlexGrid1->setColumnWidth(i + 1, Twips::toPixelsX(widths[i]));
}
