#pragma once

class DataSource;

// Data sources tell the user what went wrong, and ask whose edit stands when
// another user changed the same record, through message boxes. The data
// layer knows no windows; the program installs this at start.
namespace DataMessages {

void install();

// Refreshes the data source; when that fails, its last error is shown with
// the critical-error icon. False when the refresh failed.
bool refresh(DataSource* source);

} // namespace DataMessages
