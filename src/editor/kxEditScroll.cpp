// Scrolling the view core: the scroll commands, the mouse wheel and the scroll bars. None of them
// moves the caret, except that the scroll commands keep it on the screen.
#include "kxEditCore.h"

#include <cstdint>

namespace {
constexpr int kScrollBarLimit = 32767;
} // namespace

void TkxEditCore::ExecuteScroll(TkxEditorCommand command) {
  switch (command) {
  case ecScrollUp:
    SetTopLine(TopLine() - 1);
    if (CaretY() > TopLine() + linesInWindow_ - 1) SetCaretY(TopLine() + linesInWindow_ - 1);
    break;
  case ecScrollDown:
    SetTopLine(TopLine() + 1);
    if (CaretY() < TopLine()) SetCaretY(TopLine());
    break;
  case ecScrollLeft:
    SetLeftChar(LeftChar() - 1);
    if (CaretX() > LeftChar() + charsInWindow_) SetCaretX(LeftChar() + charsInWindow_);
    break;
  case ecScrollRight:
    SetLeftChar(LeftChar() + 1);
    if (CaretX() < LeftChar()) SetCaretX(LeftChar());
    break;
  default: return;
  }
  if (view_) view_->RepaintNow();
}

void TkxEditCore::MouseWheel(int delta, bool ctrl, int wheelLines) {
  int lines = wheelLines;
  if (ctrl)
    lines = HasOption(kxeoHalfPageScroll) ? linesInWindow_ / 2 : linesInWindow_;
  else if (wheelLines < 0 || wheelLines > linesInWindow_)
    lines = linesInWindow_;
  wheelRemainder_ += delta;
  const int notches = wheelRemainder_ / 120;
  wheelRemainder_ %= 120;
  if (notches != 0) SetTopLine(TopLine() - notches * lines);
}

TkxScrollBarInfo TkxEditCore::VerticalScrollInfo() const {
  const int maximum = LineCount() + linesInWindow_ - 1;
  if (maximum <= kScrollBarLimit) return {1, maximum, linesInWindow_, TopLine()};
  const double scale = static_cast<double>(kScrollBarLimit) / maximum;
  return {0, kScrollBarLimit, static_cast<int>(linesInWindow_ * scale), static_cast<int>(TopLine() * scale)};
}

TkxScrollBarInfo TkxEditCore::HorizontalScrollInfo() const {
  return {1, ScrollWidth(), charsInWindow_, LeftChar()};
}

void TkxEditCore::VerticalScroll(TkxScrollAction action, int thumbPos) {
  switch (action) {
  case TkxScrollAction::LineUp: SetTopLine(TopLine() - 1); break;
  case TkxScrollAction::LineDown: SetTopLine(TopLine() + 1); break;
  case TkxScrollAction::PageUp: SetTopLine(TopLine() - linesInWindow_); break;
  case TkxScrollAction::PageDown: SetTopLine(TopLine() + linesInWindow_); break;
  case TkxScrollAction::Top: SetTopLine(1); break;
  case TkxScrollAction::Bottom: SetTopLine(LineCount()); break;
  case TkxScrollAction::Thumb: {
    // Scale back exactly when the bar was scaled, so the thumb lands where it points.
    const int maximum = LineCount() + linesInWindow_ - 1;
    if (maximum > kScrollBarLimit)
      thumbPos = static_cast<int>(static_cast<std::int64_t>(thumbPos) * maximum / kScrollBarLimit);
    SetTopLine(thumbPos);
    break;
  }
  }
}

void TkxEditCore::HorizontalScroll(TkxScrollAction action, int thumbPos) {
  switch (action) {
  case TkxScrollAction::LineUp: SetLeftChar(LeftChar() - 1); break;
  case TkxScrollAction::LineDown: SetLeftChar(LeftChar() + 1); break;
  case TkxScrollAction::PageUp: SetLeftChar(LeftChar() - charsInWindow_); break;
  case TkxScrollAction::PageDown: SetLeftChar(LeftChar() + charsInWindow_); break;
  case TkxScrollAction::Top: SetLeftChar(1); break;
  case TkxScrollAction::Bottom: SetLeftChar(ScrollWidth()); break;
  case TkxScrollAction::Thumb: SetLeftChar(thumbPos); break;
  }
}
