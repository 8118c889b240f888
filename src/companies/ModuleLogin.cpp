#include "ModuleLogin.h"

#include "FormCompanies.h"
#include "app/Forms.h"

namespace ModuleLogin {
void OpenActiveCompanies() {
    Forms::get<FormCompanies>()->openView(false);
}
void OpenArchivedCompanies() {
    Forms::get<FormCompanies>()->openView(true);
}
} // namespace ModuleLogin
