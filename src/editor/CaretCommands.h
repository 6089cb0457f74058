// Caret movement: word boundaries, the movement commands with and without selecting, selecting
// everything or the word at the caret, and jumping to the matching bracket.
#pragma once

#include "EditContext.h"
#include "EditorCommands.h"
#include "Highlighter.h"

// The bytes a word is made of: the highlighter's, or every byte above a blank without one.
[[nodiscard]] WordCharSet WordChars(const Highlighter* highlighter);
// Where Ctrl+Right and Ctrl+Left go from the caret.
[[nodiscard]] TextPoint NextWordPos(const TextDocument& document, const EditState& state);
[[nodiscard]] TextPoint PrevWordPos(const TextDocument& document, const EditState& state);

// Moves the caret to `to`: with `selecting` the selection follows it (starting at `from` when
// there is none), otherwise it collapses there.
void MoveCaretAndSelection(EditState& state, TextPoint from, TextPoint to, bool selecting);
// A movement command (ecLeft ... ecGotoXY and their ecSel... variants); `target` is where
// ecGotoXY and ecSelGotoXY go, nothing moves without one.
void MoveCaret(EditContext& context, EditorCommand command, const TextPoint* target);
void SelectAll(EditState& state, const TextDocument& document);
// The run of word characters around the caret, as a double click selects it.
void SelectWordAtCaret(EditState& state, const TextDocument& document);
void JumpToMatchingBracket(EditState& state, const TextDocument& document);
