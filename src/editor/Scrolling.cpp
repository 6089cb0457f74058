// The scroll commands, the wheel and the scroll bars in terms of the view core's top line and
// left column.
#include "Scrolling.h"

#include "kxEditCore.h"

#include <cstdint>

namespace {
constexpr int kScrollBarLimit = 32767;
} // namespace

void Scrolling::Execute(TkxEditorCommand command) {
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
    lines = core_.HasOption(kxeoHalfPageScroll) ? core_.LinesInWindow() / 2 : core_.LinesInWindow();
  else if (wheelLines < 0 || wheelLines > core_.LinesInWindow())
    lines = core_.LinesInWindow();
  wheelRemainder_ += delta;
  const int notches = wheelRemainder_ / 120;
  wheelRemainder_ %= 120;
  if (notches != 0) core_.SetTopLine(core_.TopLine() - notches * lines);
}

TkxScrollBarInfo Scrolling::VerticalInfo() const {
  const int maximum = core_.LineCount() + core_.LinesInWindow() - 1;
  if (maximum <= kScrollBarLimit) return {1, maximum, core_.LinesInWindow(), core_.TopLine()};
  const double scale = static_cast<double>(kScrollBarLimit) / maximum;
  return {0, kScrollBarLimit, static_cast<int>(core_.LinesInWindow() * scale),
          static_cast<int>(core_.TopLine() * scale)};
}

TkxScrollBarInfo Scrolling::HorizontalInfo() const {
  return {1, core_.ScrollWidth(), core_.CharsInWindow(), core_.LeftChar()};
}

void Scrolling::Vertical(TkxScrollAction action, int thumbPos) {
  switch (action) {
  case TkxScrollAction::LineUp: core_.SetTopLine(core_.TopLine() - 1); break;
  case TkxScrollAction::LineDown: core_.SetTopLine(core_.TopLine() + 1); break;
  case TkxScrollAction::PageUp: core_.SetTopLine(core_.TopLine() - core_.LinesInWindow()); break;
  case TkxScrollAction::PageDown: core_.SetTopLine(core_.TopLine() + core_.LinesInWindow()); break;
  case TkxScrollAction::Top: core_.SetTopLine(1); break;
  case TkxScrollAction::Bottom: core_.SetTopLine(core_.LineCount()); break;
  case TkxScrollAction::Thumb: {
    // Scale back exactly when the bar was scaled, so the thumb lands where it points.
    const int maximum = core_.LineCount() + core_.LinesInWindow() - 1;
    if (maximum > kScrollBarLimit)
      thumbPos = static_cast<int>(static_cast<std::int64_t>(thumbPos) * maximum / kScrollBarLimit);
    core_.SetTopLine(thumbPos);
    break;
  }
  }
}

void Scrolling::Horizontal(TkxScrollAction action, int thumbPos) {
  switch (action) {
  case TkxScrollAction::LineUp: core_.SetLeftChar(core_.LeftChar() - 1); break;
  case TkxScrollAction::LineDown: core_.SetLeftChar(core_.LeftChar() + 1); break;
  case TkxScrollAction::PageUp: core_.SetLeftChar(core_.LeftChar() - core_.CharsInWindow()); break;
  case TkxScrollAction::PageDown: core_.SetLeftChar(core_.LeftChar() + core_.CharsInWindow()); break;
  case TkxScrollAction::Top: core_.SetLeftChar(1); break;
  case TkxScrollAction::Bottom: core_.SetLeftChar(core_.ScrollWidth()); break;
  case TkxScrollAction::Thumb: core_.SetLeftChar(thumbPos); break;
  }
}
