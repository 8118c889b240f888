#include "ReportQuery.h"

#include "app/Forms.h"
#include "app/ModuleMouse.h"
#include "services/MsgBox.h"

#include <QTimer>

ReportQuery::ReportQuery(const char* name, ReportData::Report report, Builder builder,
                         QString failure)
    : Form(QString::fromLatin1(name))
    , m_report(report)
    , m_builder(std::move(builder))
    , m_failure(std::move(failure)) {}

QString ReportQuery::run(const QString& name) {
    auto* query = qobject_cast<ReportQuery*>(Forms::get(name));
    if (!query)
        return {};
    const QString file = query->reportFile();
    query->unload();
    return file;
}

void ReportQuery::Form_Load() {
    QString error;
    if (!ReportData::captureToClipboard(QStringLiteral("TESSALY.mdb"),
                                        ReportData::recordSource(m_report), &error)) {
        ModuleMouse::PointerNormal();
        MsgBox::show(m_failure.isEmpty()
                         ? QStringLiteral("The report could not read its data from TESSALY.mdb: ") +
                               error
                         : m_failure,
                     MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    m_reportFile = m_builder();
}

void ReportQuery::showEvent(QShowEvent* event) {
    Form::showEvent(event);
    QTimer::singleShot(0, this, [this] {
        hide();
        unload();
    });
}
