// The view core's state: caret and selection rules, paint lock and status events, repaint
// requests, metrics, its reactions to the document's changes, and command dispatch.
#include "kxEditCore.h"

#include "BracketMatch.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

TkxPaintLock::TkxPaintLock(TkxEditCore& core) : core_(core) { core_.IncPaintLock(); }

TkxPaintLock::~TkxPaintLock() { core_.DecPaintLock(); }

TkxFreeCaret::TkxFreeCaret(TkxEditCore& core) : core_(core), saved_(core.caretPastEol_) {
  core_.caretPastEol_ = true;
}

TkxFreeCaret::~TkxFreeCaret() {
  core_.caretPastEol_ = saved_;
  core_.SetCaretXY(core_.CaretXY());
}

TkxModeScope::TkxModeScope(TkxEditCore& core, TSelectionMode mode)
    : core_(core), saved_(core.selectionMode_) {
  core_.selectionMode_ = mode;
}

TkxModeScope::~TkxModeScope() { core_.selectionMode_ = saved_; }

TkxRect UnionRect(const TkxRect& a, const TkxRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

TkxEditCore::TkxEditCore() {
  document_.AddWatcher(*this);
  keystrokes_.LoadDefaultMap();
  gutter_.OnChange = [this] { UpdateLayout(); };
  bookMarkOptions_.OnChange = [this] { InvalidateGutterLines(-1, -1); };
  Marks().OnChange = [this] { InvalidateGutterLines(-1, -1); };
  Marks().OnLineChanged = [this](int line) { InvalidateGutterLines(line, line); };
  selectedColor_.OnChange = [this] { InvalidateAll(); };
  UpdateLayout();
}

TkxEditCore::~TkxEditCore() { document_.RemoveWatcher(*this); }

// ---------------------------------------------------------------- caret and view position

void TkxEditCore::SetCaretXY(TkxPoint value) {
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
    TkxPaintLock lock(*this);
    TkxStatusChanges changes = 0;
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

void TkxEditCore::EnsureCursorPosVisible() {
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

void TkxEditCore::SetTopLine(int value) {
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

void TkxEditCore::SetLeftChar(int value) {
  value = std::max(std::min(value, ScrollWidth() - charsInWindow_ + 1), 1);
  if (value == LeftChar()) return;
  leftChar_ = value - 1;
  UpdateScrollBarsOrFlag();
  InvalidateAll();
  StatusChanged(stLeftChar);
}

// ---------------------------------------------------------------- selection

TkxPoint TkxEditCore::BlockBegin() const {
  return PointBefore(blockEnd_, blockBegin_) ? blockEnd_ : blockBegin_;
}

TkxPoint TkxEditCore::BlockEnd() const {
  return PointBefore(blockEnd_, blockBegin_) ? blockBegin_ : blockEnd_;
}

bool TkxEditCore::SelAvail() const {
  // A column block is as wide as the screen columns of its corners lie apart.
  if (selectionMode_ == smColumn)
    return DisplayColumn(LineText(blockBegin_.Y), tabWidth_, blockBegin_.X) !=
           DisplayColumn(LineText(blockEnd_.Y), tabWidth_, blockEnd_.X);
  return blockBegin_.X != blockEnd_.X || blockBegin_.Y != blockEnd_.Y;
}

void TkxEditCore::ClampPoint(TkxPoint& point) const {
  point.Y = std::clamp(point.Y, 1, std::max(LineCount(), 1));
  point.X = std::clamp(point.X, 1, ScrollWidth());
  if (selectionMode_ == smNormal) point.X = std::min(point.X, static_cast<int>(LineText(point.Y).size()) + 1);
}

void TkxEditCore::SetBlockBegin(TkxPoint point) {
  ClampPoint(point);
  if (SelAvail()) InvalidateLines(std::min(blockBegin_.Y, blockEnd_.Y), std::max(blockBegin_.Y, blockEnd_.Y));
  const bool changed = blockBegin_ != point || blockEnd_ != point;
  blockBegin_ = point;
  blockEnd_ = point;
  if (changed) StatusChanged(stSelection);
}

void TkxEditCore::SetBlockEnd(TkxPoint point) {
  if (HasOption(kxeoNoSelection)) return;
  ClampPoint(point);
  if (point == blockEnd_) return;
  if (selectionMode_ == smColumn && point.X != blockEnd_.X)
    InvalidateLines(std::min({blockBegin_.Y, blockEnd_.Y, point.Y}),
                    std::max({blockBegin_.Y, blockEnd_.Y, point.Y}));
  else
    InvalidateLines(std::min(blockEnd_.Y, point.Y), std::max(blockEnd_.Y, point.Y));
  blockEnd_ = point;
  StatusChanged(stSelection);
}

void TkxEditCore::SelectRange(TkxPoint from, TkxPoint to) {
  SetBlockBegin(from);
  SetBlockEnd(to);
}

void TkxEditCore::SelectAll() {
  TkxPaintLock lock(*this);
  const TkxPoint end{static_cast<int>(LineText(LineCount()).size()) + 1, LineCount()};
  SetBlockBegin({1, 1});
  SetBlockEnd(end);
  SetCaretXY(end);
  StatusChanged(stSelection);
}

void TkxEditCore::SetSelectionMode(TSelectionMode value) {
  if (value == selectionMode_) return;
  selectionMode_ = value;
  if (SelAvail()) InvalidateAll();
  StatusChanged(stSelection);
}

void TkxEditCore::MoveCaretAndSelection(TkxPoint from, TkxPoint to, bool selecting) {
  TkxPaintLock lock(*this);
  if (selecting) {
    if (!SelAvail()) SetBlockBegin(from);
    SetBlockEnd(to);
  } else {
    SetBlockBegin(to);
  }
  SetCaretXY(to);
}

TkxEditCore::TBlockSpan TkxEditCore::BlockSpan() const {
  const TkxPoint end = BlockEnd();
  return {BlockBegin(), end, end.X == 1 ? end.Y - 1 : end.Y};
}

void TkxEditCore::SetSelTextPrimitive(TSelectionMode mode, std::string_view text) {
  selection_.Replace(mode, text, HasOption(kxeoScrollPastEol));
}

int TkxEditCore::SearchReplace(std::string_view search, std::string_view replace, TkxSearchOptions options) {
  return TkxSearchReplace(*this, searchEngine_, OnReplaceText).Run(search, replace, options);
}

// ---------------------------------------------------------------- matched brackets

std::optional<TkxEditCore::TBracketPair> TkxEditCore::FindMatchedBrackets() const {
  const TkxPoint caret = CaretXY();
  for (const TkxPoint bracket : {caret, TkxPoint{caret.X - 1, caret.Y}})
    if (const std::optional<TkxPoint> match =
            MatchingBracket(document_, bracket, std::max(linesInWindow_, 1)))
      return TBracketPair{bracket, *match};
  return std::nullopt;
}

void TkxEditCore::RefreshMatchedBrackets() {
  if (!bracketsStale_) return;
  bracketsStale_ = false;
  const std::optional<TBracketPair> brackets = FindMatchedBrackets();
  if (brackets == shownBrackets_) return;
  for (const std::optional<TBracketPair>& pair : {shownBrackets_, brackets})
    if (pair) {
      InvalidateLine(pair->bracket.Y);
      InvalidateLine(pair->match.Y);
    }
  shownBrackets_ = brackets;
}

// ---------------------------------------------------------------- modes and options

void TkxEditCore::SetInsertMode(bool value) {
  if (value == insertMode_) return;
  insertMode_ = value;
  UpdateCaretOrFlag();
  StatusChanged(stInsertMode);
}

void TkxEditCore::SetOptions(TkxEditorOptions value) {
  if (value == options_) return;
  options_ = value;
  UpdateCaretOrFlag();
  InvalidateAll();
}

void TkxEditCore::SetInsertCaret(TkxCaretType value) {
  insertCaret_ = value;
  UpdateCaretOrFlag();
}

void TkxEditCore::SetOverwriteCaret(TkxCaretType value) {
  overwriteCaret_ = value;
  UpdateCaretOrFlag();
}

TkxWordChars TkxEditCore::WordChars() const {
  if (HighLighter()) return HighLighter()->WordChars();
  TkxWordChars chars;
  for (int b = 33; b < 256; ++b)
    chars.set(static_cast<std::size_t>(b));
  return chars;
}

TFontStyles TkxEditCore::AttributeStyles() const {
  TFontStyles styles = 0;
  if (TkxCustomHighLighter* highLighter = HighLighter())
    for (int i = 0; i < highLighter->AttributeCount(); ++i)
      if (const TkxHighLightAttributes* attribute = highLighter->AttributeAt(i)) styles |= attribute->Style();
  return styles;
}

// ---------------------------------------------------------------- metrics and layout

void TkxEditCore::SetFontMetrics(int charWidth, int fontHeight) {
  charWidth_ = std::max(charWidth, 1);
  fontHeight_ = std::max(fontHeight, 1);
  UpdateLayout();
}

void TkxEditCore::SetClientSize(int width, int height) {
  clientWidth_ = std::max(width, 0);
  clientHeight_ = std::max(height, 0);
  UpdateLayout();
}

void TkxEditCore::SetExtraLineSpacing(int value) {
  extraLineSpacing_ = value;
  UpdateLayout();
}

void TkxEditCore::UpdateLayout() {
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

std::pair<int, int> TkxEditCore::ColumnBlockOn(int line) const {
  const int anchor = DisplayColumn(LineText(blockBegin_.Y), tabWidth_, blockBegin_.X);
  const int moving = DisplayColumn(LineText(blockEnd_.Y), tabWidth_, blockEnd_.X);
  return ColumnBlockBytes(LineText(line), tabWidth_, std::min(anchor, moving), std::max(anchor, moving));
}

TkxPoint TkxEditCore::PixelsToRowColumn(int x, int y) const {
  const double column = static_cast<double>(LeftChar() * charWidth_ + x - gutterWidth_ - 2) / charWidth_;
  const int line = TopLine() + y / LineHeight();
  const std::string& text = LineText(line);
  if (column > 1 && text.find('\t') != std::string::npos)
    return {NearestByteColumn(text, tabWidth_, column - 1), line};
  return {static_cast<int>(column < 0 ? column - 0.5 : column + 0.5), line};
}

TkxPoint TkxEditCore::RowColumnToPixels(TkxPoint position) const {
  return {(DisplayColumn(LineText(position.Y), tabWidth_, position.X) - 1) * charWidth_ + TextOffset(),
          (position.Y - TopLine()) * LineHeight()};
}

// ---------------------------------------------------------------- paint lock and repaints

void TkxEditCore::DecPaintLock() {
  if (--paintLock_ > 0) return;
  if (scrollBarsNeedUpdate_) UpdateScrollBarsOrFlag();
  if (caretNeedsUpdate_) UpdateCaretOrFlag();
  RefreshMatchedBrackets();
  if (pendingStatus_) StatusChanged(0);
}

void TkxEditCore::StatusChanged(TkxStatusChanges changes) {
  pendingStatus_ |= changes;
  if (paintLock_ > 0 || pendingStatus_ == 0) return;
  const TkxStatusChanges fired = pendingStatus_;
  pendingStatus_ = 0;
  if ((fired & stSelection) != 0 && view_) view_->SelectionChanged();
  if (OnStatusChange) OnStatusChange(fired);
}

void TkxEditCore::UpdateScrollBarsOrFlag() {
  scrollBarsNeedUpdate_ = paintLock_ > 0;
  if (!scrollBarsNeedUpdate_ && view_) view_->UpdateScrollBars();
}

void TkxEditCore::UpdateCaretOrFlag() {
  caretNeedsUpdate_ = paintLock_ > 0;
  if (!caretNeedsUpdate_ && view_) view_->UpdateCaret();
}

void TkxEditCore::Invalidate(const TkxRect& rect) {
  if (rect.Empty()) return;
  if (linesChanging_)
    pendingRect_ = UnionRect(pendingRect_, rect);
  else if (view_)
    view_->InvalidateRect(rect);
}

TkxRect TkxEditCore::TextAreaRect() const { return {gutterWidth_, 0, clientWidth_, clientHeight_}; }

void TkxEditCore::InvalidateAll() { Invalidate({0, 0, clientWidth_, clientHeight_}); }

namespace {
// The pixel rows of lines first..last clamped to the visible ones; empty when none is visible.
TkxRect RowsRect(int first, int last, int topLine, int linesInWindow, int lineHeight) {
  if (last < first) std::swap(first, last);
  first = std::max(first, topLine);
  last = std::min(last, topLine + linesInWindow);
  if (last < first) return {};
  return {0, (first - topLine) * lineHeight, 0, (last - topLine + 1) * lineHeight};
}
} // namespace

void TkxEditCore::InvalidateLines(int first, int last) {
  if (first == -1 && last == -1) {
    Invalidate(TextAreaRect());
    return;
  }
  TkxRect rect = RowsRect(first, last, TopLine(), linesInWindow_, LineHeight());
  if (rect.Top == rect.Bottom) return;
  rect.Left = gutterWidth_;
  rect.Right = clientWidth_;
  Invalidate(rect);
}

void TkxEditCore::InvalidateGutterLines(int first, int last) {
  if (first == -1 && last == -1) {
    Invalidate({0, 0, gutterWidth_, clientHeight_});
    return;
  }
  TkxRect rect = RowsRect(first, last, TopLine(), linesInWindow_, LineHeight());
  if (rect.Top == rect.Bottom) return;
  rect.Right = gutterWidth_;
  Invalidate(rect);
}

// ---------------------------------------------------------------- the document's changes

void TkxEditCore::LinesChanged(const LineChange& change) {
  bracketsStale_ = true;
  const int line = change.line + 1; // 1-based
  switch (change.kind) {
  case LineChange::Appended:
  case LineChange::Changed: InvalidateLine(line); break;
  case LineChange::Restyled: InvalidateLines(line, line + change.count - 1); break;
  case LineChange::Inserted:
  case LineChange::Removed: {
    // A removal moves every later line up; an insertion pushes the visible rest down.
    const int last = change.kind == LineChange::Removed ? INT_MAX / 2 : TopLine() + linesInWindow_;
    InvalidateLines(line, last);
    InvalidateGutterLines(line, last);
    break;
  }
  case LineChange::Clearing: LinesCleared(); break;
  case LineChange::Reloaded: break;
  }
}

void TkxEditCore::LinesCleared() {
  pendingRect_ = {};
  if (view_) view_->InvalidateRect({0, 0, clientWidth_, clientHeight_});
  SetBlockBegin({1, 1});
  SetCaretXY({1, 1});
  SetTopLine(1);
  SetLeftChar(1);
}

void TkxEditCore::EditStarted() { linesChanging_ = true; }

void TkxEditCore::EditFinished() {
  linesChanging_ = false;
  UpdateScrollBarsOrFlag();
  SetCaretXY(CaretXY());
  SetBlockBegin(CaretXY());
  if (!pendingRect_.Empty()) Invalidate(std::exchange(pendingRect_, {}));
  if (gutter_.DigitsInUse(LineCount()) != digitsInUse_) UpdateLayout();
  RefreshVisibleRanges();
  if (paintLock_ == 0) RefreshMatchedBrackets();
}

void TkxEditCore::StyleChanged() {
  if (view_) view_->MeasureFont();
  InvalidateAll();
  RefreshVisibleRanges();
}

void TkxEditCore::RefreshVisibleRanges() {
  HighlightRanges& ranges = document_.Ranges();
  ranges.Refresh(TopLine() - 1 + linesInWindow_);
  if (view_ && !ranges.Current()) view_->RangesBehind();
}

void TkxEditCore::ChangeRecorded() {
  if (OnChange) OnChange();
}

void TkxEditCore::ModifiedChanged() { StatusChanged(stModified); }

// ---------------------------------------------------------------- commands

void TkxEditCore::ExecuteCommand(TkxEditorCommand command, char ch, const void* data) {
  if (command > 1000) {
    if (OnProcessUserCommand) OnProcessUserCommand(command, ch, data);
  } else if (OnProcessCommand) {
    OnProcessCommand(command, ch, data);
  }
  if (command == ecNone || command > 1000) return;
  {
    TkxPaintLock lock(*this);
    CarryOutCommand(command, ch, data);
  }
  if (OnCommandDone) OnCommandDone();
}

void TkxEditCore::CarryOutCommand(TkxEditorCommand command, char ch, const void* data) {
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

bool TkxEditCore::ExecuteViewCommand(TkxEditorCommand command) {
  switch (command) {
  case ecScrollUp:
  case ecScrollDown:
  case ecScrollLeft:
  case ecScrollRight: scrolling_.Execute(command); return true;
  case ecInsertMode: SetInsertMode(true); return true;
  case ecOverwriteMode: SetInsertMode(false); return true;
  case ecToggleMode: SetInsertMode(!insertMode_); return true;
  case ecNormalSelect: SetSelectionMode(smNormal); return true;
  case ecColumnSelect: SetSelectionMode(smColumn); return true;
  case ecLineSelect: SetSelectionMode(smLine); return true;
  case ecMatchBracket: moves_.JumpToMatchingBracket(); return true;
  default: return false;
  }
}

bool TkxEditCore::KeyDown(std::uint16_t key, TShiftState shift) {
  const TkxEditorCommand command = keyTranslator_.KeyDown(keystrokes_, key, shift);
  if (command == ecNone) return false;
  ExecuteCommand(command, 0, nullptr);
  return true;
}

void TkxEditCore::KeyPress(char ch) {
  if (keyTranslator_.AcceptChar()) ExecuteCommand(ecChar, ch, nullptr);
}
