#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Contact persons as vCard 4.0 (RFC 6350), the form in which address books
// and phones on Linux take and give contacts: one BEGIN:VCARD ... END:VCARD
// per person, lines ending in CRLF and folded after 75 octets, with commas,
// semicolons, backslashes and line breaks escaped in the values.
namespace VCard {

struct Contact {
    QString title; // "Ms", "Dr"
    QString firstName;
    QString lastName;
    QString company;
    QString jobTitle;
    QString street; // with its continuation on a second line
    QString city;
    QString postalCode;
    QString telephone; // the company's
    QString telefax;   // the company's
    QString cellphone;
    QString email;
    QString website;
    QString assistant;
};

QString write(const QList<Contact>& contacts);

// The contacts of a vCard file (versions 2.1, 3.0 and 4.0 as address books
// write them); properties it does not know are skipped, and a card without
// any name is left out.
QList<Contact> parse(const QString& text);

} // namespace VCard
