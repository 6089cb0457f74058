// The view core's state: caret and selection rules, paint lock and status events, repaint
// requests, metrics, its reactions to the document's changes, and command dispatch.
#include "TextEditor.h"

#include "BracketMatch.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

PaintLock::PaintLock(TextEditor& core) : core_(core) { core_.IncPaintLock(); }

PaintLock::~PaintLock() { core_.DecPaintLock(); }

FreeCaret::FreeCaret(TextEditor& core) : core_(core), saved_(core.caretPastEol_) {
  core_.caretPastEol_ = true;
}

FreeCaret::~FreeCaret() {
  core_.caretPastEol_ = saved_;
  core_.SetCaretXY(core_.CaretXY());
}

ModeScope::ModeScope(TextEditor& core, SelectionMode mode) : core_(core), saved_(core.selectionMode_) {
  core_.selectionMode_ = mode;
}

ModeScope::~ModeScope() { core_.selectionMode_ = saved_; }

PixelRect UnionRect(const PixelRect& a, const PixelRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

TextEditor::TextEditor() {
  document_.AddWatcher(*this);
  keystrokes_.LoadDefaultMap();
  gutter_.OnChange = [this] { UpdateLayout(); };
  bookMarkOptions_.OnChange = [this] { InvalidateGutterLines(-1, -1); };
  Marks().OnChange = [this] { InvalidateGutterLines(-1, -1); };
  Marks().OnLineChanged = [this](int line) { InvalidateGutterLines(line, line); };
  selectedColor_.OnChange = [this] { InvalidateAll(); };
  UpdateLayout();
}

TextEditor::~TextEditor() { document_.RemoveWatcher(*this); }

// ---------------------------------------------------------------- caret and view position

void TextEditor::SetCaretXY(TextPoint value) {
  int y = std::min(value.Y, LineCount());
  int x0 = value.X - 1;
  int y0 = y - 1;
  int limit;
  if (y0 < 0) {
    y0 = 0;
    limit = CaretPastEolAllowed() ? ScrollWidth() : 0;
  } else {
    limit = CaretPastEolAllowed() ? ScrollWidth() : static_cast<int>(LineText(y).size());
  }
  x0 = std::max(std::min(x0, limit), 0);
  if (x0 == caretX_ && y0 == caretY_) return;
  {
    PaintLock lock(*this);
    StatusChanges changes = 0;
    if (x0 != caretX_) changes |= stCaretX;
    if (y0 != caretY_) changes |= stCaretY;
    caretX_ = x0;
    caretY_ = y0;
    bracketsStale_ = true;
    StatusChanged(changes);
    EnsureCursorPosVisible();
    caretNeedsUpdate_ = true;
    scrollBarsNeedUpdate_ = true;
  }
  if (OnSelectionChange) OnSelectionChange();
}

void TextEditor::EnsureCursorPosVisible() {
  const int column = CaretDisplayColumn();
  if (column < LeftChar())
    SetLeftChar(column);
  else if (column > LeftChar() + charsInWindow_)
    SetLeftChar(column - charsInWindow_ + 1);
  if (CaretY() < TopLine())
    SetTopLine(CaretY());
  else if (CaretY() > TopLine() + linesInWindow_ - 1)
    SetTopLine(CaretY() - linesInWindow_ + 1);
}

void TextEditor::SetTopLine(int value) {
  value = std::max(std::min(value, LineCount()), 1);
  if (value == TopLine()) return;
  const int delta = TopLine() - value;
  topLine_ = value - 1;
  UpdateScrollBarsOrFlag();
  if (std::abs(delta) < linesInWindow_ && view_ && !linesChanging_)
    view_->ScrollPixels(delta * LineHeight());
  else
    InvalidateAll();
  StatusChanged(stTopLine);
}

void TextEditor::SetLeftChar(int value) {
  value = std::max(std::min(value, ScrollWidth() - charsInWindow_ + 1), 1);
  if (value == LeftChar()) return;
  leftChar_ = value - 1;
  UpdateScrollBarsOrFlag();
  InvalidateAll();
  StatusChanged(stLeftChar);
}

// ---------------------------------------------------------------- selection

TextPoint TextEditor::BlockBegin() const {
  return PointBefore(blockEnd_, blockBegin_) ? blockEnd_ : blockBegin_;
}

TextPoint TextEditor::BlockEnd() const {
  return PointBefore(blockEnd_, blockBegin_) ? blockBegin_ : blockEnd_;
}

bool TextEditor::SelAvail() const {
  // A column block is as wide as the screen columns of its corners lie apart.
  if (selectionMode_ == SelectionMode::Column)
    return DisplayColumn(LineText(blockBegin_.Y), tabWidth_, blockBegin_.X) !=
           DisplayColumn(LineText(blockEnd_.Y), tabWidth_, blockEnd_.X);
  return blockBegin_.X != blockEnd_.X || blockBegin_.Y != blockEnd_.Y;
}

void TextEditor::ClampPoint(TextPoint& point) const {
  point.Y = std::clamp(point.Y, 1, std::max(LineCount(), 1));
  point.X = std::clamp(point.X, 1, ScrollWidth());
  if (selectionMode_ == SelectionMode::Normal)
    point.X = std::min(point.X, static_cast<int>(LineText(point.Y).size()) + 1);
}

void TextEditor::SetBlockBegin(TextPoint point) {
  ClampPoint(point);
  if (SelAvail()) InvalidateLines(std::min(blockBegin_.Y, blockEnd_.Y), std::max(blockBegin_.Y, blockEnd_.Y));
  const bool changed = blockBegin_ != point || blockEnd_ != point;
  blockBegin_ = point;
  blockEnd_ = point;
  if (changed) StatusChanged(stSelection);
}

void TextEditor::SetBlockEnd(TextPoint point) {
  if (HasOption(eoNoSelection)) return;
  ClampPoint(point);
  if (point == blockEnd_) return;
  if (selectionMode_ == SelectionMode::Column && point.X != blockEnd_.X)
    InvalidateLines(std::min({blockBegin_.Y, blockEnd_.Y, point.Y}),
                    std::max({blockBegin_.Y, blockEnd_.Y, point.Y}));
  else
    InvalidateLines(std::min(blockEnd_.Y, point.Y), std::max(blockEnd_.Y, point.Y));
  blockEnd_ = point;
  StatusChanged(stSelection);
}

void TextEditor::SelectRange(TextPoint from, TextPoint to) {
  SetBlockBegin(from);
  SetBlockEnd(to);
}

void TextEditor::SelectAll() {
  PaintLock lock(*this);
  const TextPoint end{static_cast<int>(LineText(LineCount()).size()) + 1, LineCount()};
  SetBlockBegin({1, 1});
  SetBlockEnd(end);
  SetCaretXY(end);
  StatusChanged(stSelection);
}

void TextEditor::SetMode(SelectionMode value) {
  if (value == selectionMode_) return;
  selectionMode_ = value;
  if (SelAvail()) InvalidateAll();
  StatusChanged(stSelection);
}

void TextEditor::MoveCaretAndSelection(TextPoint from, TextPoint to, bool selecting) {
  PaintLock lock(*this);
  if (selecting) {
    if (!SelAvail()) SetBlockBegin(from);
    SetBlockEnd(to);
  } else {
    SetBlockBegin(to);
  }
  SetCaretXY(to);
}

TextEditor::BlockExtent TextEditor::BlockSpan() const {
  const TextPoint end = BlockEnd();
  return {BlockBegin(), end, end.X == 1 ? end.Y - 1 : end.Y};
}

void TextEditor::SetSelTextPrimitive(SelectionMode mode, std::string_view text) {
  selection_.Replace(mode, text, HasOption(eoScrollPastEol));
}

int TextEditor::SearchReplace(std::string_view search, std::string_view replace, SearchFlags options) {
  return SearchRun(*this, searchEngine_, OnReplaceText).Run(search, replace, options);
}

// ---------------------------------------------------------------- matched brackets

std::optional<TextEditor::BracketPair> TextEditor::FindMatchedBrackets() const {
  const TextPoint caret = CaretXY();
  for (const TextPoint bracket : {caret, TextPoint{caret.X - 1, caret.Y}})
    if (const std::optional<TextPoint> match =
            MatchingBracket(document_, bracket, std::max(linesInWindow_, 1)))
      return BracketPair{bracket, *match};
  return std::nullopt;
}

void TextEditor::RefreshMatchedBrackets() {
  if (!bracketsStale_) return;
  bracketsStale_ = false;
  const std::optional<BracketPair> brackets = FindMatchedBrackets();
  if (brackets == shownBrackets_) return;
  for (const std::optional<BracketPair>& pair : {shownBrackets_, brackets})
    if (pair) {
      InvalidateLine(pair->bracket.Y);
      InvalidateLine(pair->match.Y);
    }
  shownBrackets_ = brackets;
}

// ---------------------------------------------------------------- modes and options

void TextEditor::SetInsertMode(bool value) {
  if (value == insertMode_) return;
  insertMode_ = value;
  UpdateCaretOrFlag();
  StatusChanged(stInsertMode);
}

void TextEditor::SetOptions(EditorOptions value) {
  if (value == options_) return;
  options_ = value;
  UpdateCaretOrFlag();
  InvalidateAll();
}

WordCharSet TextEditor::WordChars() const {
  if (HighLighter()) return HighLighter()->WordChars();
  WordCharSet chars;
  for (int b = 33; b < 256; ++b)
    chars.set(static_cast<std::size_t>(b));
  return chars;
}

FontStyles TextEditor::AttributeStyles() const {
  FontStyles styles = 0;
  if (Highlighter* highLighter = HighLighter())
    for (int i = 0; i < highLighter->AttributeCount(); ++i)
      if (const HighlightAttributes* attribute = highLighter->AttributeAt(i)) styles |= attribute->Style();
  return styles;
}

// ---------------------------------------------------------------- metrics and layout

void TextEditor::SetFontMetrics(int charWidth, int fontHeight) {
  charWidth_ = std::max(charWidth, 1);
  fontHeight_ = std::max(fontHeight, 1);
  UpdateLayout();
}

void TextEditor::SetClientSize(int width, int height) {
  clientWidth_ = std::max(width, 0);
  clientHeight_ = std::max(height, 0);
  UpdateLayout();
}

void TextEditor::UpdateLayout() {
  digitsInUse_ = gutter_.DigitsInUse(LineCount());
  gutterWidth_ = gutter_.RealGutterWidth(charWidth_, LineCount());
  charsInWindow_ = std::max((clientWidth_ - gutterWidth_ - 2) / charWidth_, 0);
  linesInWindow_ = std::max(clientHeight_ / std::max(LineHeight(), 1), 0);
  UpdateScrollBarsOrFlag();
  UpdateCaretOrFlag();
  InvalidateAll();
  // How far a match is looked for depends on the lines that fit.
  bracketsStale_ = true;
  if (paintLock_ == 0) RefreshMatchedBrackets();
}

std::pair<int, int> TextEditor::ColumnBlockOn(int line) const {
  const int anchor = DisplayColumn(LineText(blockBegin_.Y), tabWidth_, blockBegin_.X);
  const int moving = DisplayColumn(LineText(blockEnd_.Y), tabWidth_, blockEnd_.X);
  return ColumnBlockBytes(LineText(line), tabWidth_, std::min(anchor, moving), std::max(anchor, moving));
}

TextPoint TextEditor::PixelsToRowColumn(int x, int y) const {
  const double column = static_cast<double>(LeftChar() * charWidth_ + x - gutterWidth_ - 2) / charWidth_;
  const int line = TopLine() + y / LineHeight();
  const std::string& text = LineText(line);
  if (column > 1 && text.find('\t') != std::string::npos)
    return {NearestByteColumn(text, tabWidth_, column - 1), line};
  return {static_cast<int>(column < 0 ? column - 0.5 : column + 0.5), line};
}

TextPoint TextEditor::RowColumnToPixels(TextPoint position) const {
  return {(DisplayColumn(LineText(position.Y), tabWidth_, position.X) - 1) * charWidth_ + TextOffset(),
          (position.Y - TopLine()) * LineHeight()};
}

// ---------------------------------------------------------------- paint lock and repaints

void TextEditor::DecPaintLock() {
  if (--paintLock_ > 0) return;
  if (scrollBarsNeedUpdate_) UpdateScrollBarsOrFlag();
  if (caretNeedsUpdate_) UpdateCaretOrFlag();
  RefreshMatchedBrackets();
  if (pendingStatus_) StatusChanged(0);
}

void TextEditor::StatusChanged(StatusChanges changes) {
  pendingStatus_ |= changes;
  if (paintLock_ > 0 || pendingStatus_ == 0) return;
  const StatusChanges fired = pendingStatus_;
  pendingStatus_ = 0;
  if ((fired & stSelection) != 0 && view_) view_->SelectionChanged();
  if (OnStatusChange) OnStatusChange(fired);
}

void TextEditor::UpdateScrollBarsOrFlag() {
  scrollBarsNeedUpdate_ = paintLock_ > 0;
  if (!scrollBarsNeedUpdate_ && view_) view_->UpdateScrollBars();
}

void TextEditor::UpdateCaretOrFlag() {
  caretNeedsUpdate_ = paintLock_ > 0;
  if (!caretNeedsUpdate_ && view_) view_->UpdateCaret();
}

void TextEditor::Invalidate(const PixelRect& rect) {
  if (rect.Empty()) return;
  if (linesChanging_)
    pendingRect_ = UnionRect(pendingRect_, rect);
  else if (view_)
    view_->InvalidateRect(rect);
}

PixelRect TextEditor::TextAreaRect() const { return {gutterWidth_, 0, clientWidth_, clientHeight_}; }

void TextEditor::InvalidateAll() { Invalidate({0, 0, clientWidth_, clientHeight_}); }

namespace {
// The pixel rows of lines first..last clamped to the visible ones; empty when none is visible.
PixelRect RowsRect(int first, int last, int topLine, int linesInWindow, int lineHeight) {
  if (last < first) std::swap(first, last);
  first = std::max(first, topLine);
  last = std::min(last, topLine + linesInWindow);
  if (last < first) return {};
  return {0, (first - topLine) * lineHeight, 0, (last - topLine + 1) * lineHeight};
}
} // namespace

void TextEditor::InvalidateLines(int first, int last) {
  if (first == -1 && last == -1) {
    Invalidate(TextAreaRect());
    return;
  }
  PixelRect rect = RowsRect(first, last, TopLine(), linesInWindow_, LineHeight());
  if (rect.Top == rect.Bottom) return;
  rect.Left = gutterWidth_;
  rect.Right = clientWidth_;
  Invalidate(rect);
}

void TextEditor::InvalidateGutterLines(int first, int last) {
  if (first == -1 && last == -1) {
    Invalidate({0, 0, gutterWidth_, clientHeight_});
    return;
  }
  PixelRect rect = RowsRect(first, last, TopLine(), linesInWindow_, LineHeight());
  if (rect.Top == rect.Bottom) return;
  rect.Right = gutterWidth_;
  Invalidate(rect);
}

// ---------------------------------------------------------------- the document's changes

void TextEditor::LinesChanged(const LineChange& change) {
  bracketsStale_ = true;
  const int line = change.line + 1; // 1-based
  switch (change.kind) {
  case LineChange::Kind::Appended:
  case LineChange::Kind::Changed: InvalidateLine(line); break;
  case LineChange::Kind::Restyled: InvalidateLines(line, line + change.count - 1); break;
  case LineChange::Kind::Inserted:
  case LineChange::Kind::Removed: {
    // A removal moves every later line up; an insertion pushes the visible rest down.
    const int last = change.kind == LineChange::Kind::Removed ? INT_MAX / 2 : TopLine() + linesInWindow_;
    InvalidateLines(line, last);
    InvalidateGutterLines(line, last);
    break;
  }
  case LineChange::Kind::Clearing: LinesCleared(); break;
  case LineChange::Kind::Reloaded: break;
  }
}

void TextEditor::LinesCleared() {
  pendingRect_ = {};
  if (view_) view_->InvalidateRect({0, 0, clientWidth_, clientHeight_});
  SetBlockBegin({1, 1});
  SetCaretXY({1, 1});
  SetTopLine(1);
  SetLeftChar(1);
}

void TextEditor::EditStarted() { linesChanging_ = true; }

void TextEditor::EditFinished() {
  linesChanging_ = false;
  UpdateScrollBarsOrFlag();
  SetCaretXY(CaretXY());
  SetBlockBegin(CaretXY());
  if (!pendingRect_.Empty()) Invalidate(std::exchange(pendingRect_, {}));
  if (gutter_.DigitsInUse(LineCount()) != digitsInUse_) UpdateLayout();
  RefreshVisibleRanges();
  if (paintLock_ == 0) RefreshMatchedBrackets();
}

void TextEditor::StyleChanged() {
  if (view_) view_->MeasureFont();
  InvalidateAll();
  RefreshVisibleRanges();
}

void TextEditor::RefreshVisibleRanges() {
  HighlightRanges& ranges = document_.Ranges();
  ranges.Refresh(TopLine() - 1 + linesInWindow_);
  if (view_ && !ranges.Current()) view_->RangesBehind();
}

void TextEditor::ChangeRecorded() {
  if (OnChange) OnChange();
}

void TextEditor::ModifiedChanged() { StatusChanged(stModified); }

// ---------------------------------------------------------------- commands

void TextEditor::ExecuteCommand(EditorCommand command, char ch, const void* data) {
  if (command > 1000) {
    if (OnProcessUserCommand) OnProcessUserCommand(command, ch, data);
  } else if (OnProcessCommand) {
    OnProcessCommand(command, ch, data);
  }
  if (command == ecNone || command > 1000) return;
  {
    PaintLock lock(*this);
    CarryOutCommand(command, ch, data);
  }
  if (OnCommandDone) OnCommandDone();
}

void TextEditor::CarryOutCommand(EditorCommand command, char ch, const void* data) {
  if (ExecuteViewCommand(command) || bookmarks_.Execute(command)) return;
  if (command == ecCopy) {
    CopyToClipboard();
    return;
  }
  if (editing_.Execute(command, ch, data)) return;
  if (command == ecSelectAll || (command >= ecLeft && command <= ecGotoXY) ||
      (command >= ecSelLeft && command <= ecSelGotoXY))
    moves_.Execute(command, data);
}

bool TextEditor::ExecuteViewCommand(EditorCommand command) {
  switch (command) {
  case ecScrollUp:
  case ecScrollDown:
  case ecScrollLeft:
  case ecScrollRight: scrolling_.Execute(command); return true;
  case ecInsertMode: SetInsertMode(true); return true;
  case ecOverwriteMode: SetInsertMode(false); return true;
  case ecToggleMode: SetInsertMode(!insertMode_); return true;
  case ecNormalSelect: SetMode(SelectionMode::Normal); return true;
  case ecColumnSelect: SetMode(SelectionMode::Column); return true;
  case ecLineSelect: SetMode(SelectionMode::Line); return true;
  case ecMatchBracket: moves_.JumpToMatchingBracket(); return true;
  default: return false;
  }
}

bool TextEditor::KeyDown(std::uint16_t key, ShiftState shift) {
  const EditorCommand command = keyTranslator_.KeyDown(keystrokes_, key, shift);
  if (command == ecNone) return false;
  ExecuteCommand(command, 0, nullptr);
  return true;
}

void TextEditor::KeyPress(char ch) {
  if (keyTranslator_.AcceptChar()) ExecuteCommand(ecChar, ch, nullptr);
}
