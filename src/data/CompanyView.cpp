#include "CompanyView.h"

#include "SqlQuote.h"

namespace CompanyView {

QString recordSource(bool archived, const QString& userChoice) {
    QString source = QStringLiteral("SELECT * FROM TABLE01 WHERE TEXT20 = '") +
                     (archived ? Archived : Active) + u'\'';
    if (userChoice != AllCompanies)
        source += QStringLiteral(" AND TEXT18 = '") + SqlQuote::text(userChoice) + u'\'';
    return source + QStringLiteral(" ORDER BY TEXT01");
}

} // namespace CompanyView
