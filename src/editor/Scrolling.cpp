// The scroll commands, the wheel and the scroll bars in terms of the view core's top line and
// left column.
#include "Scrolling.h"

#include "TextEditor.h"

#include <cstdint>

namespace {
constexpr int kScrollBarLimit = 32767;
} // namespace

void Scrolling::Execute(EditorCommand command) {
  switch (command) {
  case ecScrollUp:
    core_.SetTopLine(core_.TopLine() - 1);
    if (core_.CaretY() > core_.TopLine() + core_.LinesInWindow() - 1)
      core_.SetCaretY(core_.TopLine() + core_.LinesInWindow() - 1);
    break;
  case ecScrollDown:
    core_.SetTopLine(core_.TopLine() + 1);
    if (core_.CaretY() < core_.TopLine()) core_.SetCaretY(core_.TopLine());
    break;
  case ecScrollLeft:
    core_.SetLeftChar(core_.LeftChar() - 1);
    if (core_.CaretX() > core_.LeftChar() + core_.CharsInWindow())
      core_.SetCaretX(core_.LeftChar() + core_.CharsInWindow());
    break;
  case ecScrollRight:
    core_.SetLeftChar(core_.LeftChar() + 1);
    if (core_.CaretX() < core_.LeftChar()) core_.SetCaretX(core_.LeftChar());
    break;
  default: return;
  }
  if (core_.View()) core_.View()->RepaintNow();
}

void Scrolling::MouseWheel(int delta, bool ctrl, int wheelLines) {
  int lines = wheelLines;
  if (ctrl)
    lines = core_.HasOption(eoHalfPageScroll) ? core_.LinesInWindow() / 2 : core_.LinesInWindow();
  else if (wheelLines < 0 || wheelLines > core_.LinesInWindow())
    lines = core_.LinesInWindow();
  wheelRemainder_ += delta;
  const int notches = wheelRemainder_ / 120;
  wheelRemainder_ %= 120;
  if (notches != 0) core_.SetTopLine(core_.TopLine() - notches * lines);
}

ScrollBarInfo Scrolling::VerticalInfo() const {
  const int maximum = core_.LineCount() + core_.LinesInWindow() - 1;
  if (maximum <= kScrollBarLimit) return {1, maximum, core_.LinesInWindow(), core_.TopLine()};
  const double scale = static_cast<double>(kScrollBarLimit) / maximum;
  return {0, kScrollBarLimit, static_cast<int>(core_.LinesInWindow() * scale),
          static_cast<int>(core_.TopLine() * scale)};
}

ScrollBarInfo Scrolling::HorizontalInfo() const {
  return {1, core_.ScrollWidth(), core_.CharsInWindow(), core_.LeftChar()};
}

void Scrolling::Vertical(ScrollAction action, int thumbPos) {
  switch (action) {
  case ScrollAction::LineUp: core_.SetTopLine(core_.TopLine() - 1); break;
  case ScrollAction::LineDown: core_.SetTopLine(core_.TopLine() + 1); break;
  case ScrollAction::PageUp: core_.SetTopLine(core_.TopLine() - core_.LinesInWindow()); break;
  case ScrollAction::PageDown: core_.SetTopLine(core_.TopLine() + core_.LinesInWindow()); break;
  case ScrollAction::Top: core_.SetTopLine(1); break;
  case ScrollAction::Bottom: core_.SetTopLine(core_.LineCount()); break;
  case ScrollAction::Thumb: {
    // Scale back exactly when the bar was scaled, so the thumb lands where it points.
    const int maximum = core_.LineCount() + core_.LinesInWindow() - 1;
    if (maximum > kScrollBarLimit)
      thumbPos = static_cast<int>(static_cast<std::int64_t>(thumbPos) * maximum / kScrollBarLimit);
    core_.SetTopLine(thumbPos);
    break;
  }
  }
}

void Scrolling::Horizontal(ScrollAction action, int thumbPos) {
  switch (action) {
  case ScrollAction::LineUp: core_.SetLeftChar(core_.LeftChar() - 1); break;
  case ScrollAction::LineDown: core_.SetLeftChar(core_.LeftChar() + 1); break;
  case ScrollAction::PageUp: core_.SetLeftChar(core_.LeftChar() - core_.CharsInWindow()); break;
  case ScrollAction::PageDown: core_.SetLeftChar(core_.LeftChar() + core_.CharsInWindow()); break;
  case ScrollAction::Top: core_.SetLeftChar(1); break;
  case ScrollAction::Bottom: core_.SetLeftChar(core_.ScrollWidth()); break;
  case ScrollAction::Thumb: core_.SetLeftChar(thumbPos); break;
  }
}
