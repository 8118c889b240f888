#pragma once

// The hourglass for long operations; errors in either are ignored.
namespace ModuleMouse {
void PointerBusy();
void PointerNormal();
} // namespace ModuleMouse
