// The selection as text: what it holds in each of the three selection modes, and replacing it by
// a text that goes in as a normal, column or line block, through the document's primitive
// changes.
#pragma once

#include "EditContext.h"

#include <string>
#include <string_view>

// Lines joined by CR LF.
[[nodiscard]] std::string SelectedText(const TextDocument& document, const EditState& state);
// Removes the selection in its mode and inserts `text` (NULs included; CR LF, CR and LF end its
// lines) in `mode`, leaving the caret after it. `trimJoined`: the removal strips the blanks off
// the end of the lines it leaves. Records nothing of its own.
void ReplaceSelection(EditContext& context, SelectionMode mode, std::string_view text, bool trimJoined);
// Takes trailing spaces and tabs off a line; other bytes, NUL and control bytes included, stay.
void TrimLineEnd(TextDocument& document, int line);
// Pads a line with blanks up to column `position.X` - 1, so that text can go in at that column.
void PadTo(TextDocument& document, TextPoint position);
