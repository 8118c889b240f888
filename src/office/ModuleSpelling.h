#pragma once

class QProgressBar;
class RichTextBox;

// The spell check of a document editor (F7, "Spelling"): the document goes
// through the word processor's working file "Temp/SpellCheck.rtf", is checked
// word by word in the spelling dialog, and comes back corrected, with its
// formatting, into the editor. The progress bar shows how far it has come.
namespace ModuleSpelling {
void SpellCheck(RichTextBox* editor, QProgressBar* progress);
} // namespace ModuleSpelling
