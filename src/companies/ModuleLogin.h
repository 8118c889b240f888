#pragma once

// The two ways into the companies window (main menu "1. Companies" and
// "2. Archive"): the active or the archived companies, of the chosen sales
// person or all of them.
namespace ModuleLogin {
void OpenActiveCompanies();
void OpenArchivedCompanies();
} // namespace ModuleLogin
