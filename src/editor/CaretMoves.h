// Caret movement: word boundaries, the movement commands with and without selecting, selecting the
// word at the caret and jumping to the matching bracket.
#pragma once

#include "kxEditTypes.h"
#include "kxKeyCmds.h"

class TkxEditCore;

class CaretMoves {
public:
  explicit CaretMoves(TkxEditCore& core) : core_(core) {}

  // A movement command or ecSelectAll; `data` points at the target of ecGotoXY / ecSelGotoXY.
  void Execute(TkxEditorCommand command, const void* data);
  [[nodiscard]] TkxPoint NextWordPos() const;
  [[nodiscard]] TkxPoint PrevWordPos() const;
  void SelectWordAtCaret();
  void JumpToMatchingBracket();

private:
  void MoveHorizontally(int delta, bool selecting);
  void MoveVertically(int delta, bool selecting);

  TkxEditCore& core_;
};
