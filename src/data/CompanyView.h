#pragma once

#include <QLatin1String>
#include <QString>

// The companies the companies window shows: the active or the archived ones,
// of every sales person or of the one the user chose. The companies window
// lists them, and the company pickers of the other windows offer the same.
namespace CompanyView {

// A company's status (TABLE01.TEXT20): active or archived. A company with
// any other status is in neither view.
constexpr QLatin1String Active("Company");
constexpr QLatin1String Archived("Archive");
// The user choice (User.mdb TABLE02.TEXT03) that shows every sales person's
// companies; any other text is the one sales person whose companies are shown.
constexpr QLatin1String AllCompanies("All Companies");

// The SELECT of a view, by company name.
QString recordSource(bool archived, const QString& userChoice);

} // namespace CompanyView
