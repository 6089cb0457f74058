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
  value = rows_.LineOf(rows_.RowOf(std::max(std::min(value, document_.LineCount()), 1)));
  if (value == topLine_) return;
  const int moved = rows_.RowOf(topLine_) - rows_.RowOf(value);
  topLine_ = value;
  Tell(&GeometryWatcher::TopLineMoved, moved);
}

void ViewGeometry::SetTopRow(int row) { SetTopLine(rows_.LineOf(std::max(std::min(row, RowCount()), 1))); }

int ViewGeometry::LineRowsAway(int line, int rows) const {
  return std::max(std::min(rows_.LineOf(rows_.RowOf(line) + rows), document_.LineCount()), 1);
}

void ViewGeometry::RowsChanged() {
  // The top line's row is where the screen starts, whatever was folded below or above it.
  if (const int top = rows_.LineOf(rows_.RowOf(topLine_)); top != topLine_) {
    topLine_ = top;
    Tell(&GeometryWatcher::TopLineMoved, 0);
  }
  Tell(&GeometryWatcher::LayoutChanged);
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
  const int row = rows_.RowOf(state_.CaretY());
  const int topRow = TopRow();
  if (row < topRow)
    SetTopRow(row);
  else if (row > topRow + linesInWindow_ - 1)
    SetTopRow(row - linesInWindow_ + 1);
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
  const int topRow = TopRow();
  first = std::max(rows_.RowOf(first), topRow);
  last = std::min(rows_.RowOf(last), topRow + linesInWindow_);
  if (last < first) return {};
  return {0, (first - topRow) * lineHeight_, 0, (last - topRow + 1) * lineHeight_};
}

TextPoint ViewGeometry::PixelsToRowColumn(int x, int y) const {
  const double column = static_cast<double>(leftChar_ * charWidth_ + x - gutterWidth_ - 2) / charWidth_;
  const int line = LineAtY(y);
  const std::string& text = document_.LineText(line);
  if (column > 1 && (text.find('\t') != std::string::npos || state_.Encoding() == TextEncoding::Utf8))
    return {NearestByteColumn(text, state_.TabWidth(), column - 1, state_.Encoding()), line};
  return {static_cast<int>(column < 0 ? column - 0.5 : column + 0.5), line};
}

TextPoint ViewGeometry::RowColumnToPixels(TextPoint position) const {
  return {(DisplayColumn(document_.LineText(position.Y), state_.TabWidth(), position.X, state_.Encoding()) -
           1) * charWidth_ +
              TextOffset(),
          (rows_.RowOf(position.Y) - TopRow()) * lineHeight_};
}

ScrollBarInfo ViewGeometry::VerticalScrollInfo() const {
  const int maximum = RowCount() + linesInWindow_ - 1;
  if (maximum <= kScrollBarLimit) return {1, maximum, linesInWindow_, TopRow()};
  const double scale = static_cast<double>(kScrollBarLimit) / maximum;
  return {0, kScrollBarLimit, static_cast<int>(linesInWindow_ * scale), static_cast<int>(TopRow() * scale)};
}

ScrollBarInfo ViewGeometry::HorizontalScrollInfo() const {
  return {1, state_.ScrollWidth(), charsInWindow_, leftChar_};
}

void ViewGeometry::VerticalScroll(ScrollAction action, int thumbPos) {
  switch (action) {
  case ScrollAction::LineUp: SetTopRow(TopRow() - 1); break;
  case ScrollAction::LineDown: SetTopRow(TopRow() + 1); break;
  case ScrollAction::PageUp: SetTopRow(TopRow() - linesInWindow_); break;
  case ScrollAction::PageDown: SetTopRow(TopRow() + linesInWindow_); break;
  case ScrollAction::Top: SetTopRow(1); break;
  case ScrollAction::Bottom: SetTopRow(RowCount()); break;
  case ScrollAction::Thumb: {
    // Scale back exactly when the bar was scaled, so the thumb lands where it points.
    const int maximum = RowCount() + linesInWindow_ - 1;
    if (maximum > kScrollBarLimit)
      thumbPos = static_cast<int>(static_cast<std::int64_t>(thumbPos) * maximum / kScrollBarLimit);
    SetTopRow(thumbPos);
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
  if (notches != 0) SetTopRow(TopRow() - notches * lines);
}
