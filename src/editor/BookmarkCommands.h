// The ten numbered bookmarks as the editor's commands set, toggle and jump to them.
#pragma once

#include "EditState.h"
#include "TextDocument.h"

// Places bookmark `number` (0 ... 9) on an existing line.
void PlaceBookmark(TextDocument& document, int number, int column, int line);
// Moves the caret to bookmark `number` while its line exists.
void GotoBookmark(EditState& state, const TextDocument& document, int number);
// Clears bookmark `number` from the caret line, or sets it there.
void ToggleBookmark(TextDocument& document, const EditState& state, int number);
