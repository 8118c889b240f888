#pragma once

// Data sources tell the user what went wrong, and ask whose edit stands when
// another user changed the same record, through message boxes. The data
// layer knows no windows; the program installs this at start.
namespace DataMessages {

void install();

} // namespace DataMessages
