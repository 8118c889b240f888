#include "FormAllCallReports.h"

#include "data/DataSource.h"
#include "data/SqlQuote.h"
#include "widgets/DataMessages.h"

#include <QLineEdit>

namespace {

DocumentBrowser::Design design() {
    DocumentBrowser::Design d;
    d.name = FormAllCallReports::Name;
    d.table = "TABLE08";
    d.companyWindow = false;
    d.item = QStringLiteral("REPORT");
    d.items = QStringLiteral("REPORTS");
    d.mailSubject = QStringLiteral("Call Report");
    d.navigationHelp = QStringLiteral("Navigate your call reports.");
    d.hiddenBoxes = {QStringLiteral("NUMBER01"), QStringLiteral("DATE01")};
    d.widthMargin = 375;
    d.heightMargin = 600;
    return d;
}

} // namespace

FormAllCallReports::FormAllCallReports()
    : DocumentBrowser(design()) {}

bool FormAllCallReports::Open(const QString& caption, const QString& recordSource) {
    setWindowTitle(caption);
    m_documents->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    m_documents->setRecordSource(recordSource);
    if (!DataMessages::refresh(m_documents))
        return false;
    show();
    raise();
    activateWindow();
    return true;
}

void FormAllCallReports::FocusSearch() {
    TextFind->setFocus();
}

QString FormAllCallReports::findSource(const QString& phrase) const {
    return QStringLiteral("SELECT * FROM TABLE08 WHERE") + QStringLiteral("(((TABLE08.MEMO01)") +
           QStringLiteral(" Like  '*") + SqlQuote::text(phrase) +
           QStringLiteral("*'   )) ORDER BY  TABLE08.DATE01 DESC");
}
