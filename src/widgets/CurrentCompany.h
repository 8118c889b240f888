#pragma once

#include <QByteArray>
#include <QString>

// The window that holds the current company (the companies window), as the
// company pickers of the other windows move it.
class CurrentCompany {
public:
    virtual ~CurrentCompany() = default;

    // Makes the company of `bookmark` (a row of the companies of the current
    // view) the current one, its own picker showing `name`; false when the
    // current company stays (not in the view, or its edit was refused).
    virtual bool chooseCompany(const QByteArray& bookmark, const QString& name) = 0;
    // The current company is the stored row of `bookmark`.
    virtual bool isCurrentCompany(const QByteArray& bookmark) const = 0;
};
