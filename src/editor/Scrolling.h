// Scrolling a view core: the scroll commands, the mouse wheel and the scroll bars. None of them
// moves the caret, except that the scroll commands keep it on the screen.
#pragma once

#include "EditView.h"
#include "KeyMap.h"

class TextEditor;

class Scrolling {
public:
  explicit Scrolling(TextEditor& core) : core_(core) {}

  // ecScrollUp, ecScrollDown, ecScrollLeft or ecScrollRight.
  void Execute(EditorCommand command);
  // Wheel delta in 1/120 notches; `wheelLines` is the system setting (negative: a page).
  void MouseWheel(int delta, bool ctrl, int wheelLines);
  [[nodiscard]] ScrollBarInfo VerticalInfo() const;
  [[nodiscard]] ScrollBarInfo HorizontalInfo() const;
  void Vertical(ScrollAction action, int thumbPos);
  void Horizontal(ScrollAction action, int thumbPos);

private:
  TextEditor& core_;
  // Wheel delta not yet turned into lines.
  int wheelRemainder_ = 0;
};
