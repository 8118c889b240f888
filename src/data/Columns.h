#pragma once

#include <QLatin1String>

// What the generic column names of the main database mean. Code that reads,
// writes or selects a column for its meaning names it here, so that a typo
// does not compile; a control keeps the column's name as its object name.

// TABLE01: the companies.
namespace CompanyColumn {
constexpr QLatin1String Key("AUTONUMBER");
constexpr QLatin1String Name("TEXT01");
constexpr QLatin1String AccountNumber("TEXT02");
constexpr QLatin1String PostalAddress("TEXT03");
constexpr QLatin1String PostalCity("TEXT04");
constexpr QLatin1String PostalCode("TEXT05");
constexpr QLatin1String StreetAddress("TEXT06");
constexpr QLatin1String StreetAddressContinued("TEXT07");
constexpr QLatin1String City("TEXT08");
constexpr QLatin1String Region("TEXT09");
constexpr QLatin1String Telephone("TEXT10");
constexpr QLatin1String Telefax("TEXT11");
constexpr QLatin1String Website("TEXT12");
constexpr QLatin1String Division("TEXT13");
constexpr QLatin1String Branch("TEXT14");
constexpr QLatin1String Category("TEXT15");
constexpr QLatin1String TypeOfCompany("TEXT17");
constexpr QLatin1String SalesPerson("TEXT18");
constexpr QLatin1String SalesManager("TEXT19");
constexpr QLatin1String Status("TEXT20"); // "Company" (active) or "Archive"
constexpr QLatin1String AppointmentNotice("TEXT21");
constexpr QLatin1String LastVisited("DATE01");
constexpr QLatin1String Entered("DATE03");
constexpr QLatin1String VisitFrequency("NUMBER01"); // whole days; 0 or none: no schedule
constexpr QLatin1String DaysOverdue("NUMBER02");
constexpr QLatin1String Notes("MEMO01");
constexpr QLatin1String Details("MEMO02"); // the preamble of call reports
} // namespace CompanyColumn

// TABLE03: the contact persons of the companies.
namespace ContactColumn {
constexpr QLatin1String Company("NUMBER01"); // the company's key
constexpr QLatin1String Title("TEXT01");
constexpr QLatin1String FirstName("TEXT02");
constexpr QLatin1String LastName("TEXT03");
constexpr QLatin1String Cellphone("TEXT04");
constexpr QLatin1String EMail("TEXT05");
constexpr QLatin1String Occupation("TEXT06");
constexpr QLatin1String Designation("TEXT07");
constexpr QLatin1String DirectTelephone("TEXT08");
constexpr QLatin1String DirectFax("TEXT09");
constexpr QLatin1String Assistant("TEXT10");
constexpr QLatin1String FullName("TEXT11");
constexpr QLatin1String Entered("DATE03");
constexpr QLatin1String Notes("MEMO01");
constexpr QLatin1String Keywords("MEMO02");
} // namespace ContactColumn

// TABLE08 (call reports) and TABLE09 (correspondence): the filed documents.
namespace DocumentColumn {
constexpr QLatin1String Company("NUMBER01");   // the company's key
constexpr QLatin1String CompanyName("TEXT01"); // as it was when the document was filed
constexpr QLatin1String SalesPerson("TEXT03"); // call reports only
constexpr QLatin1String Kind("TEXT07");        // correspondence only: LETTER, TELEFAX, EMAIL
constexpr QLatin1String Date("DATE01");        // the day it was filed; lists are newest first
constexpr QLatin1String Text("MEMO01");        // the document
} // namespace DocumentColumn
