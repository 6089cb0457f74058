// Scrolling a view core: the scroll commands, the mouse wheel and the scroll bars. None of them
// moves the caret, except that the scroll commands keep it on the screen.
#pragma once

#include "EditView.h"
#include "kxKeyCmds.h"

class TkxEditCore;

class Scrolling {
public:
  explicit Scrolling(TkxEditCore& core) : core_(core) {}

  // ecScrollUp, ecScrollDown, ecScrollLeft or ecScrollRight.
  void Execute(TkxEditorCommand command);
  // Wheel delta in 1/120 notches; `wheelLines` is the system setting (negative: a page).
  void MouseWheel(int delta, bool ctrl, int wheelLines);
  [[nodiscard]] TkxScrollBarInfo VerticalInfo() const;
  [[nodiscard]] TkxScrollBarInfo HorizontalInfo() const;
  void Vertical(TkxScrollAction action, int thumbPos);
  void Horizontal(TkxScrollAction action, int thumbPos);

private:
  TkxEditCore& core_;
  // Wheel delta not yet turned into lines.
  int wheelRemainder_ = 0;
};
