#include "RegisterForms.h"

#include "FormMenu.h"
#include "FormProfile.h"
#include "FormSupport.h"
#include "activities/FormActivities.h"
#include "activities/FormAllCallReports.h"
#include "activities/FormAttachments.h"
#include "activities/FormCallReports.h"
#include "activities/FormCompetition.h"
#include "activities/FormCompetitors.h"
#include "activities/FormCreateCallReport.h"
#include "activities/FormFilter.h"
#include "activities/FormPriceList.h"
#include "activities/FormPriceListDelete.h"
#include "activities/FormProjectSummary.h"
#include "activities/FormProjects.h"
#include "activities/FormReportCompActivities.h"
#include "activities/FormReportCompanies.h"
#include "activities/FormReportContacts.h"
#include "activities/FormReportProjects.h"
#include "activities/FormReports.h"
#include "activities/FormSales.h"
#include "activities/FormSalesFigures.h"
#include "app/FormHelp.h"
#include "app/Forms.h"
#include "companies/FormBrowser.h"
#include "companies/FormCompanies.h"
#include "companies/FormDetails.h"
#include "companies/FormOverdue.h"
#include "companies/FormReminder.h"
#include "contacts/FormContacts.h"
#include "contacts/FormContactsAll.h"
#include "contacts/FormExport.h"
#include "contacts/FormImport.h"
#include "contacts/FormMailMerge.h"
#include "contacts/FormOutlook.h"
#include "contacts/FormSignature.h"
#include "contacts/FormWrite.h"
#include "maintenance/FormDelete.h"
#include "maintenance/FormMaintenance.h"
#include "maintenance/FormRemoveBlanks.h"
#include "maintenance/FormReplica.h"
#include "setup/FormDuplicates.h"
#include "setup/FormFields.h"
#include "setup/FormFindandReplace.h"
#include "setup/FormMastertables.h"

void registerForms() {
    Forms::add<FormMenu>();
    Forms::add<FormReplica>();
    Forms::add<FormHelp>();
    Forms::add<FormSupport>();
    Forms::add<FormProfile>();
    Forms::add<FormCompanies>();
    Forms::add<FormFields>();
    Forms::add<FormDuplicates>();
    Forms::add<FormMastertables>();
    Forms::add<FormFindandReplace>();
    Forms::add<FormDetails>();
    Forms::add<FormReminder>();
    Forms::add<FormOverdue>();
    Forms::add<FormBrowser>();
    Forms::add<FormContacts>();
    Forms::add<FormContactsAll>();
    Forms::add<FormExport>();
    Forms::add<FormImport>();
    Forms::add<FormOutlook>();
    Forms::add<FormMailMerge>();
    Forms::add<FormCreateCallReport>();
    Forms::add<FormWrite>();
    Forms::add<FormSignature>();
    Forms::add<FormCallReports>();
    Forms::add<FormActivities>();
    Forms::add<FormAllCallReports>();
    Forms::add<FormAttachments>();
    Forms::add<FormProjects>();
    Forms::add<FormProjectSummary>();
    Forms::add<FormReports>();
    Forms::add<FormReportCompActivities>();
    Forms::add<FormReportCompanies>();
    Forms::add<FormReportContacts>();
    Forms::add<FormReportProjects>();
    Forms::add<FormFilter>();
    Forms::add<FormCompetition>();
    Forms::add<FormPriceList>();
    Forms::add<FormPriceListDelete>();
    Forms::add<FormCompetitors>();
    Forms::add<FormSales>();
    Forms::add<FormSalesFigures>();
    Forms::add<FormMaintenance>();
    Forms::add<FormDelete>();
    Forms::add<FormRemoveBlanks>();
}
