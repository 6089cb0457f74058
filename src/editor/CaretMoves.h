// Caret movement: word boundaries, the movement commands with and without selecting, selecting the
// word at the caret and jumping to the matching bracket.
#pragma once

#include "EditorTypes.h"
#include "KeyMap.h"

class TextEditor;

class CaretMoves {
public:
  explicit CaretMoves(TextEditor& core) : core_(core) {}

  // A movement command or ecSelectAll; `data` points at the target of ecGotoXY / ecSelGotoXY.
  void Execute(EditorCommand command, const void* data);
  [[nodiscard]] TextPoint NextWordPos() const;
  [[nodiscard]] TextPoint PrevWordPos() const;
  void SelectWordAtCaret();
  void JumpToMatchingBracket();

private:
  void MoveHorizontally(int delta, bool selecting);
  void MoveVertically(int delta, bool selecting);

  TextEditor& core_;
};
