#include "RegisterForms.h"

#include "FormHelp.h"
#include "FormMenu.h"
#include "FormProfile.h"
#include "FormSupport.h"
#include "Forms.h"
#include "maintenance/FormReplica.h"

void registerForms() {
    Forms::add<FormMenu>();
    Forms::add<FormReplica>();
    Forms::add<FormHelp>();
    Forms::add<FormSupport>();
    Forms::add<FormProfile>();
}
