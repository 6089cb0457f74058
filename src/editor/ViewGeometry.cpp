// The view's position, what fits in it, the pixel conversions, scroll bars and the wheel.
#include "ViewGeometry.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
constexpr int kScrollBarLimit = 32767;
} // namespace

void ViewGeometry::SetTopLine(int value) {
  value = std::max(std::min(value, document_.LineCount()), 1);
  if (value == topLine_) return;
  const int moved = topLine_ - value;
  topLine_ = value;
  Tell(&GeometryWatcher::TopLineMoved, moved);
}

void ViewGeometry::SetLeftChar(int value) {
  value = std::max(std::min(value, state_.ScrollWidth() - charsInWindow_ + 1), 1);
  if (value == leftChar_) return;
  leftChar_ = value;
  Tell(&GeometryWatcher::LeftCharMoved);
}

void ViewGeometry::ScrollToCaret() {
  const int column = state_.CaretDisplayColumn();
  if (column < leftChar_)
    SetLeftChar(column);
  else if (column > leftChar_ + charsInWindow_)
    SetLeftChar(column - charsInWindow_ + 1);
  const int line = state_.CaretY();
  if (line < topLine_)
    SetTopLine(line);
  else if (line > topLine_ + linesInWindow_ - 1)
    SetTopLine(line - linesInWindow_ + 1);
}

void ViewGeometry::SetFontMetrics(int charWidth, int fontHeight) {
  charWidth_ = std::max(charWidth, 1);
  lineHeight_ = std::max(fontHeight, 1);
  UpdateLayout();
}

void ViewGeometry::SetClientSize(int width, int height) {
  clientWidth_ = std::max(width, 0);
  clientHeight_ = std::max(height, 0);
  UpdateLayout();
}

void ViewGeometry::UpdateLayout() {
  const int lines = document_.LineCount();
  digitsInUse_ = gutter_.DigitsInUse(lines);
  gutterWidth_ = gutter_.RealGutterWidth(charWidth_, lines);
  charsInWindow_ = std::max((clientWidth_ - gutterWidth_ - 2) / charWidth_, 0);
  linesInWindow_ = std::max(clientHeight_ / lineHeight_, 0);
  Tell(&GeometryWatcher::LayoutChanged);
}

void ViewGeometry::FitGutter() {
  if (gutter_.DigitsInUse(document_.LineCount()) != digitsInUse_) UpdateLayout();
}

PixelRect ViewGeometry::RowsOf(int first, int last) const {
  if (last < first) std::swap(first, last);
  first = std::max(first, topLine_);
  last = std::min(last, topLine_ + linesInWindow_);
  if (last < first) return {};
  return {0, (first - topLine_) * lineHeight_, 0, (last - topLine_ + 1) * lineHeight_};
}

TextPoint ViewGeometry::PixelsToRowColumn(int x, int y) const {
  const double column = static_cast<double>(leftChar_ * charWidth_ + x - gutterWidth_ - 2) / charWidth_;
  const int line = topLine_ + y / lineHeight_;
  const std::string& text = document_.LineText(line);
  if (column > 1 && (text.find('\t') != std::string::npos || state_.Encoding() == TextEncoding::Utf8))
    return {NearestByteColumn(text, state_.TabWidth(), column - 1, state_.Encoding()), line};
  return {static_cast<int>(column < 0 ? column - 0.5 : column + 0.5), line};
}

TextPoint ViewGeometry::RowColumnToPixels(TextPoint position) const {
  return {(DisplayColumn(document_.LineText(position.Y), state_.TabWidth(), position.X, state_.Encoding()) -
           1) * charWidth_ +
              TextOffset(),
          (position.Y - topLine_) * lineHeight_};
}

ScrollBarInfo ViewGeometry::VerticalScrollInfo() const {
  const int maximum = document_.LineCount() + linesInWindow_ - 1;
  if (maximum <= kScrollBarLimit) return {1, maximum, linesInWindow_, topLine_};
  const double scale = static_cast<double>(kScrollBarLimit) / maximum;
  return {0, kScrollBarLimit, static_cast<int>(linesInWindow_ * scale), static_cast<int>(topLine_ * scale)};
}

ScrollBarInfo ViewGeometry::HorizontalScrollInfo() const {
  return {1, state_.ScrollWidth(), charsInWindow_, leftChar_};
}

void ViewGeometry::VerticalScroll(ScrollAction action, int thumbPos) {
  switch (action) {
  case ScrollAction::LineUp: SetTopLine(topLine_ - 1); break;
  case ScrollAction::LineDown: SetTopLine(topLine_ + 1); break;
  case ScrollAction::PageUp: SetTopLine(topLine_ - linesInWindow_); break;
  case ScrollAction::PageDown: SetTopLine(topLine_ + linesInWindow_); break;
  case ScrollAction::Top: SetTopLine(1); break;
  case ScrollAction::Bottom: SetTopLine(document_.LineCount()); break;
  case ScrollAction::Thumb: {
    // Scale back exactly when the bar was scaled, so the thumb lands where it points.
    const int maximum = document_.LineCount() + linesInWindow_ - 1;
    if (maximum > kScrollBarLimit)
      thumbPos = static_cast<int>(static_cast<std::int64_t>(thumbPos) * maximum / kScrollBarLimit);
    SetTopLine(thumbPos);
    break;
  }
  }
}

void ViewGeometry::HorizontalScroll(ScrollAction action, int thumbPos) {
  switch (action) {
  case ScrollAction::LineUp: SetLeftChar(leftChar_ - 1); break;
  case ScrollAction::LineDown: SetLeftChar(leftChar_ + 1); break;
  case ScrollAction::PageUp: SetLeftChar(leftChar_ - charsInWindow_); break;
  case ScrollAction::PageDown: SetLeftChar(leftChar_ + charsInWindow_); break;
  case ScrollAction::Top: SetLeftChar(1); break;
  case ScrollAction::Bottom: SetLeftChar(state_.ScrollWidth()); break;
  case ScrollAction::Thumb: SetLeftChar(thumbPos); break;
  }
}

void ViewGeometry::MouseWheel(int delta, bool ctrl, int wheelLines) {
  int lines = wheelLines;
  if (ctrl)
    lines = state_.HasOption(eoHalfPageScroll) ? linesInWindow_ / 2 : linesInWindow_;
  else if (wheelLines < 0 || wheelLines > linesInWindow_)
    lines = linesInWindow_;
  wheelRemainder_ += delta;
  const int notches = wheelRemainder_ / 120;
  wheelRemainder_ %= 120;
  if (notches != 0) SetTopLine(topLine_ - notches * lines);
}
