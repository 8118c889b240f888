#pragma once

// Shows the help window (modeless). It opens on the page of the window in
// use; while it stays open, asking again only brings it forward.
namespace ModuleHelp {
void ShowHelp();
} // namespace ModuleHelp
