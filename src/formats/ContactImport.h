#pragma once

#include "VCard.h"
#include "data/CompanyMatch.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

class SqliteConnection;

// Contacts that come from a mail program or an address book: the contacts
// of a vCard file or of a CSV file with the column headings mail programs
// write, stored as companies with their contact persons.
namespace ContactImport {

// The contacts of a .vcf or .csv file (by its suffix; otherwise by its
// first line). A CSV file needs a heading line; its columns are found by
// name, whatever their order ("Company", "First Name", "E-mail Address" ...).
std::optional<QList<VCard::Contact>> readFile(const QString& path, QString* error);

// Which of the companies about to be imported are likely in the database
// already (active or archived), by the company matching rule: their
// indexes in `incoming`, and the first existing name each matches.
struct Duplicate {
    int index;
    QString existing;
};
QList<Duplicate> duplicates(SqliteConnection& connection,
                            const QList<CompanyMatch::Company>& incoming, QString* error);
// The companies of contacts as matching sees them, one per contact.
QList<CompanyMatch::Company> companiesOf(const QList<VCard::Contact>& contacts);

struct Result {
    int companies = 0;
    int contacts = 0;
};

// Stores the contacts in the main database in one transaction: one active
// company for each distinct company name, city, telephone, telefax and web
// page (a contact without a company is a company of its own name), and
// each contact under it with today's date as its entry date. Nothing is
// stored when anything fails.
std::optional<Result> store(SqliteConnection& connection, const QList<VCard::Contact>& contacts,
                            const QDate& today, QString* error);

} // namespace ContactImport
