#pragma once

#include "DocumentBrowser.h"

class QLineEdit;

// The correspondence of the current company (TABLE09: letters, telefaxes
// and e-mails), newest first, behind F4 and "ACTIVITIES F4". LabelMethod
// shows the kind of the document shown; letters and telefaxes go to the
// word processor, e-mails to a new e-mail.
class FormActivities : public DocumentBrowser {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormActivities";
    FormActivities();

protected:
    void tick() override;
    void paintEditing(qint64 background) override;

private:
    // Looks like a label; a text assigned to it (the document editor files
    // the kind through it) is an edit of TEXT07 like any bound box's.
    QLineEdit* LabelMethod;
};
