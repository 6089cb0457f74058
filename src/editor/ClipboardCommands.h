// The clipboard side of editing: copying, cutting and pasting through a clipboard port (plain
// text beside the private block format that keeps the selection mode), and moving or copying the
// selection by drag and drop.
#pragma once

#include "ClipboardPort.h"
#include "EditContext.h"

// Puts the selection in `target` in both forms; false when it refused.
[[nodiscard]] bool CopySelectionTo(const TextDocument& document, const EditState& state,
                                   ClipboardPort& target);
// Without a clipboard nothing is copied (and a cut only removes the selection).
// Throws EditorError "Clipboard copy operation failed" when the clipboard refuses the text.
void CopySelection(const TextDocument& document, const EditState& state, ClipboardPort* clipboard);
void CutSelection(EditContext& context, ClipboardPort* clipboard);
// Pastes what `source` holds: its block in the stored mode, else its plain text. Throws
// EditorError for block data it cannot read.
void PasteFrom(EditContext& context, ClipboardPort* source);
// Moves (or with `copy` copies) the selected text to `drop`, as a drag and drop within the editor
// does; a drop inside the selection does nothing.
void DropSelection(EditContext& context, TextPoint drop, bool copy);
