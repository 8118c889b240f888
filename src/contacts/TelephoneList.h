#pragma once

#include <QString>

// The telephone list: each call a contacts window's Tel. List or Cell List
// button records, as a new first row of the workbook BCTelephone in the
// program folder (the time of the call, the number, the contact's name and
// company), newest first. The workbook is never created here: a list that
// is missing or cannot be written is reported, and nothing else changes.
namespace TelephoneList {

struct Call {
    QString number;
    QString name;    // first and last name
    QString company; // the contact's company
};

// Records a call at the present moment; false with the reason when the
// workbook cannot be opened or saved.
bool record(const Call& call, QString* error);

} // namespace TelephoneList

// A call to the contact's direct line.
namespace ModuleBC {
bool Record(const QString& directLine, const QString& name, const QString& company, QString* error);
} // namespace ModuleBC

// A call to the contact's cellphone.
namespace ModuleLC {
bool Record(const QString& cellphone, const QString& name, const QString& company, QString* error);
} // namespace ModuleLC
