#pragma once

#include <QString>

struct UserProfile;

// The company's letterhead: Letterhead.rtf in the program folder, a template
// any word processor can redesign. Its header and footer carry placeholders
// ("[Your Company Name]", "[Street Address]" ...) that a letter or telefax
// made on it shows filled with the details of "Your Profile".
namespace Letterhead {

struct Details {
    QString companyName;
    QString streetAddress;
    QString postalCode;
    QString city;
    QString telephone;
    QString telefax;
    QString email;
    QString registeredOffice;
    QString bankDetails;
};

Details fromProfile(const UserProfile& profile);

// The template with each placeholder replaced by its detail. A placeholder
// whose detail is empty goes, and so does the part of its line it stands in
// (its label, as "Telephone " before "[Telephone]") together with one of the
// " · " separators around that part. The lines without placeholders, the
// formatting and everything else of the template stay byte for byte; a
// letterhead without placeholders comes back as it is.
QString fill(const QString& templateRtf, const Details& details);

} // namespace Letterhead
