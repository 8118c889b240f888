#include "RegisterForms.h"

#include "FormHelp.h"
#include "FormMenu.h"
#include "Forms.h"
#include "maintenance/FormReplica.h"

void registerForms() {
    Forms::add<FormMenu>();
    Forms::add<FormReplica>();
    Forms::add<FormHelp>();
}
