#pragma once

// Lets the data layer's document index take the plain text of stored memos
// (RTF without its markup) through the RTF reader. Called once at start.
namespace DocumentTexts {

void install();

} // namespace DocumentTexts
