#pragma once

// One step of the reports window's progress bar: its shapes Shape1 (the bar)
// and Shape2 (its frame) are shown, and the bar grows by 350 twips while it
// is narrower than 8000 twips.
namespace ModuleProgress {
void ProgressStep();
} // namespace ModuleProgress
