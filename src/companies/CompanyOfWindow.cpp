#include "CompanyOfWindow.h"

#include "FormCompanies.h"
#include "app/Forms.h"

namespace CompanyOfWindow {

FormCompanies* companies(const Form* window) {
    if (Forms::loaded(window->objectName()) != window)
        return qobject_cast<FormCompanies*>(
            Forms::loaded(QString::fromLatin1(FormCompanies::Name)));
    return Forms::get<FormCompanies>();
}

QString name(const Form* window) {
    FormCompanies* form = companies(window);
    return form ? form->companyName() : QString();
}

QString keySql(const Form* window) {
    FormCompanies* form = companies(window);
    const QString key = form ? form->companyKey().trimmed() : QString();
    bool ok = false;
    key.toLongLong(&ok);
    return ok ? key : QStringLiteral("Null");
}

} // namespace CompanyOfWindow
