#include "ContactImport.h"

#include "Csv.h"
#include "data/SqliteConnection.h"
#include "data/Transaction.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <sqlite3.h>

namespace ContactImport {

namespace {

// The headings a column may carry, by what it holds.
struct Column {
    QString VCard::Contact::*member;
    QStringList headings; // compared without letter case, blanks and hyphens
};

QString normalized(const QString& heading) {
    QString key = heading.toCaseFolded();
    key.remove(u' ');
    key.remove(u'-');
    key.remove(u'_');
    return key;
}

const QList<Column>& columns() {
    static const QList<Column> all{
        {&VCard::Contact::company, {"Company", "Organization", "Organisation"}},
        {&VCard::Contact::street, {"Business Street", "Work Address", "Street"}},
        {&VCard::Contact::city, {"Business City", "Work City", "City"}},
        {&VCard::Contact::postalCode, {"Business Postal Code", "Work ZipCode", "Postal Code"}},
        {&VCard::Contact::telephone, {"Business Phone", "Work Phone"}},
        {&VCard::Contact::telefax, {"Business Fax", "Fax Number", "Fax"}},
        {&VCard::Contact::website, {"Web Page", "Web Page 1", "Website"}},
        {&VCard::Contact::title, {"Title", "Name Prefix"}},
        {&VCard::Contact::firstName, {"First Name", "Given Name"}},
        {&VCard::Contact::lastName, {"Last Name", "Family Name", "Surname"}},
        {&VCard::Contact::cellphone, {"Mobile Phone", "Mobile Number", "Cellphone"}},
        {&VCard::Contact::email, {"E-mail Address", "Primary Email", "Email", "E-mail 1 - Value"}},
        {&VCard::Contact::jobTitle, {"Job Title", "Occupation"}},
        {&VCard::Contact::assistant, {"Assistant's Name", "Assistant"}}};
    return all;
}

std::optional<QList<VCard::Contact>> fromCsv(const QString& text, QString* error) {
    const QList<QStringList> rows = Csv::parse(text);
    if (rows.isEmpty()) {
        *error = QStringLiteral("The file holds no contacts.");
        return std::nullopt;
    }
    // Which column of the file fills which field; "Business Street2" adds to
    // the street.
    QHash<int, QString VCard::Contact::*> fieldOf;
    int street2 = -1;
    for (int c = 0; c < rows.first().size(); ++c) {
        const QString heading = normalized(rows.first().at(c));
        if (heading == normalized(QStringLiteral("Business Street2")))
            street2 = c;
        for (const Column& column : columns())
            for (const QString& name : column.headings)
                if (heading == normalized(name) && !fieldOf.contains(c))
                    fieldOf.insert(c, column.member);
    }
    const auto has = [&](QString VCard::Contact::*member) {
        for (auto it = fieldOf.cbegin(); it != fieldOf.cend(); ++it)
            if (it.value() == member)
                return true;
        return false;
    };
    if (!has(&VCard::Contact::company) && !has(&VCard::Contact::lastName) &&
        !has(&VCard::Contact::firstName)) {
        *error = QStringLiteral("The file's first line names no column of contacts (such as "
                                "Company, First Name or Last Name).");
        return std::nullopt;
    }
    QList<VCard::Contact> contacts;
    for (const QStringList& row : rows.mid(1)) {
        VCard::Contact contact;
        for (auto it = fieldOf.cbegin(); it != fieldOf.cend(); ++it)
            contact.*(it.value()) = row.value(it.key()).trimmed();
        if (street2 >= 0 && !row.value(street2).trimmed().isEmpty())
            contact.street += u'\n' + row.value(street2).trimmed();
        if (!contact.company.isEmpty() || !contact.firstName.isEmpty() ||
            !contact.lastName.isEmpty())
            contacts.append(contact);
    }
    return contacts;
}

} // namespace

std::optional<QList<VCard::Contact>> readFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("The file %1 cannot be read: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    const QByteArray data = file.readAll();
    // UTF-8 as address books write it; an older file in a single-byte code
    // page reads as Latin-1.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(data);
    if (utf8.hasError())
        text = QString::fromLatin1(data);
    const bool vcard =
        QFileInfo(path).suffix().compare(QLatin1String("vcf"), Qt::CaseInsensitive) == 0 ||
        text.trimmed().startsWith(QLatin1String("BEGIN:VCARD"), Qt::CaseInsensitive);
    if (!vcard)
        return fromCsv(text, error);
    const QList<VCard::Contact> contacts = VCard::parse(text);
    if (contacts.isEmpty()) {
        *error = QStringLiteral("The file holds no contacts.");
        return std::nullopt;
    }
    return contacts;
}

QList<CompanyMatch::Company> companiesOf(const QList<VCard::Contact>& contacts) {
    QList<CompanyMatch::Company> companies;
    for (const VCard::Contact& c : contacts)
        companies.append({c.company.isEmpty()
                              ? QStringList{c.firstName, c.lastName}.join(u' ').trimmed()
                              : c.company,
                          c.city, c.telephone});
    return companies;
}

QList<Duplicate> duplicates(SqliteConnection& connection,
                            const QList<CompanyMatch::Company>& incoming, QString* error) {
    // The database's companies by the key of their names: only those that
    // share it can match.
    QMultiHash<QString, CompanyMatch::Company> existing;
    SqliteStatement all =
        connection.prepare(QStringLiteral("SELECT TEXT01, TEXT08, TEXT10 FROM TABLE01"), error);
    if (!all.isValid())
        return {};
    while (all.step() == SQLITE_ROW) {
        const CompanyMatch::Company company{all.value(0).toString(), all.value(1).toString(),
                                            all.value(2).toString()};
        existing.insert(CompanyMatch::key(company.name), company);
    }
    QList<Duplicate> found;
    for (int i = 0; i < incoming.size(); ++i) {
        const QString key = CompanyMatch::key(incoming[i].name);
        for (auto it = existing.constFind(key); it != existing.cend() && it.key() == key; ++it)
            if (CompanyMatch::isDuplicate(CompanyMatch::compare(incoming[i], it.value()))) {
                found.append({i, it.value().name});
                break;
            }
    }
    return found;
}

std::optional<Result> store(SqliteConnection& connection, const QList<VCard::Contact>& contacts,
                            const QDate& today, QString* error) {
    Transaction transaction(connection);
    if (!transaction.begin(error))
        return std::nullopt;
    SqliteStatement company = connection.prepare(
        QStringLiteral("INSERT INTO TABLE01 (TEXT01, TEXT06, TEXT08, TEXT05, TEXT10, TEXT11, "
                       "TEXT12, TEXT20, DATE03, AUTONUMBER) VALUES (?, ?, ?, ?, ?, ?, ?, "
                       "'Company', ?, tess_newkey('TABLE01'))"),
        error);
    SqliteStatement person = connection.prepare(
        QStringLiteral("INSERT INTO TABLE03 (NUMBER01, TEXT01, TEXT02, TEXT03, TEXT04, TEXT05, "
                       "TEXT07, TEXT10, TEXT11, DATE03, AUTONUMBER) VALUES (?, ?, ?, ?, ?, ?, "
                       "?, ?, ?, ?, tess_newkey('TABLE03'))"),
        error);
    if (!company.isValid() || !person.isValid())
        return std::nullopt;
    const QString date = today.toString(Qt::ISODate);
    Result result;
    QHash<QString, qint64> companies; // the distinct details -> the company's key
    for (const VCard::Contact& c : contacts) {
        const QString fullName = QStringList{c.firstName, c.lastName}.join(u' ').trimmed();
        const QString name = c.company.isEmpty() ? fullName : c.company;
        const QStringList details{name,        c.street,  c.city,   c.postalCode,
                                  c.telephone, c.telefax, c.website};
        const QString detailsKey = details.join(QChar(0x1f));
        qint64 key = companies.value(detailsKey, -1);
        if (key < 0) {
            company.reset();
            for (int i = 0; i < details.size(); ++i)
                company.bind(i + 1, details[i].isEmpty() ? QVariant() : QVariant(details[i]));
            company.bind(8, date);
            if (company.step() != SQLITE_DONE) {
                *error = connection.lastError();
                return std::nullopt;
            }
            key = sqlite3_last_insert_rowid(connection.handle());
            companies.insert(detailsKey, key);
            ++result.companies;
        }
        if (c.firstName.isEmpty() && c.lastName.isEmpty())
            continue; // a company alone
        const QStringList values{c.title, c.firstName, c.lastName,  c.cellphone,
                                 c.email, c.jobTitle,  c.assistant, fullName};
        person.reset();
        person.bindInt(1, key);
        for (int i = 0; i < values.size(); ++i)
            person.bind(i + 2, values[i].isEmpty() ? QVariant() : QVariant(values[i]));
        person.bind(10, date);
        if (person.step() != SQLITE_DONE) {
            *error = connection.lastError();
            return std::nullopt;
        }
        ++result.contacts;
    }
    company = SqliteStatement();
    person = SqliteStatement();
    if (!transaction.commit(error))
        return std::nullopt;
    connection.noteWrite();
    return result;
}

} // namespace ContactImport
