// The caret and selection rules and the modes.
#include "EditState.h"

void EditState::SetCaretXY(TextPoint value) {
  const int line = std::min(value.Y, document_.LineCount());
  int limit;
  if (line < 1)
    limit = CaretPastEolAllowed() ? ScrollWidth() : 0;
  else
    limit =
        CaretPastEolAllowed() ? LastScrollColumn(line) : static_cast<int>(document_.LineText(line).size());
  const int x = std::max(std::min(value.X - 1, limit), 0) + 1;
  const TextPoint caret{CharStartColumn(document_.LineText(line), x, Encoding()), std::max(line, 1)};
  if (caret == caret_) return;
  StatusChanges changes = 0;
  if (caret.X != caret_.X) changes |= stCaretX;
  if (caret.Y != caret_.Y) changes |= stCaretY;
  caret_ = caret;
  Tell(&EditStateWatcher::CaretMoved, changes);
}

int EditState::LastScrollColumn(int line) const {
  // Past the line's end byte and screen columns go on one for one.
  const std::string& text = document_.LineText(line);
  const int endColumn = DisplayColumn(text, tabWidth_, static_cast<int>(text.size()) + 1, Encoding());
  return static_cast<int>(text.size()) + 1 + std::max(ScrollWidth() - endColumn, 0);
}

TextPoint EditState::BlockBegin() const { return PointBefore(movingEnd_, anchor_) ? movingEnd_ : anchor_; }

TextPoint EditState::BlockEnd() const { return PointBefore(movingEnd_, anchor_) ? anchor_ : movingEnd_; }

bool EditState::SelAvail() const {
  // A column block is as wide as the screen columns of its corners lie apart.
  if (mode_ == SelectionMode::Column)
    return DisplayColumn(document_.LineText(anchor_.Y), tabWidth_, anchor_.X, Encoding()) !=
           DisplayColumn(document_.LineText(movingEnd_.Y), tabWidth_, movingEnd_.X, Encoding());
  return anchor_ != movingEnd_;
}

void EditState::ClampPoint(TextPoint& point) const {
  point.Y = std::clamp(point.Y, 1, std::max(document_.LineCount(), 1));
  point.X = std::clamp(point.X, 1, LastScrollColumn(point.Y));
  if (mode_ == SelectionMode::Normal)
    point.X = std::min(point.X, static_cast<int>(document_.LineText(point.Y).size()) + 1);
  point.X = CharStartColumn(document_.LineText(point.Y), point.X, Encoding());
}

void EditState::SetBlockBegin(TextPoint point) {
  ClampPoint(point);
  if (SelAvail())
    Tell(&EditStateWatcher::SelectionLinesChanged, std::min(anchor_.Y, movingEnd_.Y),
         std::max(anchor_.Y, movingEnd_.Y));
  const bool changed = anchor_ != point || movingEnd_ != point;
  anchor_ = point;
  movingEnd_ = point;
  if (changed) Tell(&EditStateWatcher::StatusChanged, stSelection);
}

void EditState::SetBlockEnd(TextPoint point) {
  if (HasOption(eoNoSelection)) return;
  ClampPoint(point);
  if (point == movingEnd_) return;
  // A column block's width changes on every line it covers.
  if (mode_ == SelectionMode::Column && point.X != movingEnd_.X)
    Tell(&EditStateWatcher::SelectionLinesChanged, std::min({anchor_.Y, movingEnd_.Y, point.Y}),
         std::max({anchor_.Y, movingEnd_.Y, point.Y}));
  else
    Tell(&EditStateWatcher::SelectionLinesChanged, std::min(movingEnd_.Y, point.Y),
         std::max(movingEnd_.Y, point.Y));
  movingEnd_ = point;
  Tell(&EditStateWatcher::StatusChanged, stSelection);
}

void EditState::SelectRange(TextPoint from, TextPoint to) {
  SetBlockBegin(from);
  SetBlockEnd(to);
}

void EditState::SetMode(SelectionMode value) {
  if (value == mode_) return;
  mode_ = value;
  if (SelAvail()) Tell(&EditStateWatcher::LookChanged);
  Tell(&EditStateWatcher::StatusChanged, stSelection);
}

EditState::BlockExtent EditState::BlockSpan() const {
  const TextPoint end = BlockEnd();
  return {BlockBegin(), end, end.X == 1 ? end.Y - 1 : end.Y};
}

std::pair<int, int> EditState::ColumnBlockOn(int line) const {
  const int anchor = DisplayColumn(document_.LineText(anchor_.Y), tabWidth_, anchor_.X, Encoding());
  const int moving = DisplayColumn(document_.LineText(movingEnd_.Y), tabWidth_, movingEnd_.X, Encoding());
  return ColumnBlockBytes(document_.LineText(line), tabWidth_, std::min(anchor, moving),
                          std::max(anchor, moving), Encoding());
}

bool EditState::InsideSelection(TextPoint position) const {
  if (!SelAvail()) return false;
  const TextPoint begin = BlockBegin();
  const TextPoint end = BlockEnd();
  switch (mode_) {
  case SelectionMode::Line: return position.Y >= begin.Y && position.Y <= end.Y;
  case SelectionMode::Column: {
    if (position.Y < begin.Y || position.Y > end.Y) return false;
    const auto [first, last] = ColumnBlockOn(position.Y);
    return position.X >= first && position.X < last;
  }
  case SelectionMode::Normal: break;
  }
  return !PointBefore(position, begin) && PointBefore(position, end);
}

void EditState::SetInsertMode(bool value) {
  if (value == insertMode_) return;
  insertMode_ = value;
  Tell(&EditStateWatcher::CaretLookChanged);
  Tell(&EditStateWatcher::StatusChanged, stInsertMode);
}

void EditState::SetOptions(EditorOptions value) {
  if (value == options_) return;
  options_ = value;
  Tell(&EditStateWatcher::CaretLookChanged);
  Tell(&EditStateWatcher::LookChanged);
}

void EditState::SetTabWidth(int value) {
  if (value == tabWidth_) return;
  tabWidth_ = value;
  Tell(&EditStateWatcher::LookChanged);
}
