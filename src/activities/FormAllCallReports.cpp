#include "FormAllCallReports.h"

#include "app/Forms.h"
#include "data/DataSource.h"
#include "data/SqlQuote.h"
#include "widgets/DataMessages.h"

#include <QLineEdit>
#include <optional>

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

// The record source an opener hands to the window that is being loaded for
// it (OpenOn), in place of every call report.
std::optional<QString>& requestedSource() {
    static std::optional<QString> source;
    return source;
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
    showOpened(caption);
    return true;
}

void FormAllCallReports::showOpened(const QString& caption) {
    setWindowTitle(caption);
    show();
    raise();
    activateWindow();
}

FormAllCallReports* FormAllCallReports::OpenOn(const QString& caption,
                                               const QString& recordSource) {
    if (auto* loaded = qobject_cast<FormAllCallReports*>(Forms::loaded(QString::fromLatin1(Name))))
        return loaded->Open(caption, recordSource) ? loaded : nullptr;
    requestedSource() = recordSource;
    auto* form = Forms::get<FormAllCallReports>();
    requestedSource().reset();
    if (!form)
        return nullptr;
    if (!form->documents()->lastError().isEmpty()) {
        form->unload();
        return nullptr;
    }
    form->showOpened(caption);
    return form;
}

QString FormAllCallReports::loadSource() const {
    return requestedSource().value_or(allDocumentsSource());
}

void FormAllCallReports::FocusSearch() {
    TextFind->setFocus();
}

QString FormAllCallReports::findSource(const QString& phrase) const {
    return QStringLiteral("SELECT * FROM TABLE08 WHERE") + QStringLiteral("(((TABLE08.MEMO01)") +
           QStringLiteral(" Like  '*") + SqlQuote::text(phrase) +
           QStringLiteral("*'   )) ORDER BY  TABLE08.DATE01 DESC");
}
