// The commands that change text: typing, the deletions, line breaks with auto-indent, Tab, block
// indent and unindent, and replacing the selection. Each records what it changed as undo steps;
// none checks the read-only mode, which the editor does before running them.
#pragma once

#include "EditContext.h"

#include <string>
#include <string_view>

// Types the printable bytes of `typed` (up to a NUL) at the caret or over the selection; an
// input method's string records a replaced selection as a deletion.
void TypeText(EditContext& context, std::string_view typed, bool imeString);
void DeleteLastChar(EditContext& context);
void DeleteChar(EditContext& context);
void DeleteWord(EditContext& context);
void DeleteLastWord(EditContext& context);
void DeleteToLineStart(EditContext& context);
void DeleteToLineEnd(EditContext& context);
void DeleteLine(EditContext& context);
void ClearAll(EditContext& context);
// Breaks the line at the caret; `moveCaret` false leaves the caret where it was (ecInsertLine).
void LineBreak(EditContext& context, bool moveCaret);
// Over a selection of several lines Tab and Shift+Tab indent and unindent them.
void Tab(EditContext& context);
void ShiftTab(EditContext& context);
void BlockIndent(EditContext& context);
void BlockUnindent(EditContext& context);

// Replaces the selection by `value` in normal mode, recording the cut and the insertion.
// `trimJoined` as for ReplaceSelection.
void SetSelText(EditContext& context, std::string_view value, bool trimJoined);
// Removes the selection as one undo step of `kind`; the blanks it leaves at a line's end go as
// the options say.
void RemoveSelection(EditContext& context, UndoKind kind);
// Leading bytes 1 ... 32 of a line; 0 without auto-indent.
[[nodiscard]] int LeadingBlanks(const EditState& state, const std::string& line);
