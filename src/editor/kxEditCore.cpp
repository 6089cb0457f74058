// The editor model's state: caret and selection rules, paint lock and status events, repaint
// requests, metrics, the line-list handlers that keep highlighter ranges right, and dispatch.
#include "kxEditCore.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

const std::string kNoLine;

} // namespace

TkxPaintLock::TkxPaintLock(TkxEditCore& core) : core_(core) { core_.IncPaintLock(); }

TkxPaintLock::~TkxPaintLock() { core_.DecPaintLock(); }

TkxRect UnionRect(const TkxRect& a, const TkxRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

TkxEditCore::TkxEditCore() {
  AttachListHandlers();
  lines_.Add("");
  keystrokes_.LoadDefaultMap();
  gutter_.OnChange = [this] { GutterChanged(); };
  bookMarkOptions_.OnChange = [this] { InvalidateGutterLines(-1, -1); };
  marks_.OnChange = [this] { InvalidateGutterLines(-1, -1); };
  marks_.OnLineChanged = [this](int line) { InvalidateGutterLines(line, line); };
  // Every recorded change, in either list, marks the text modified and is reported.
  for (TUndoList* list : {&undoList_, &redoList_})
    list->OnAdded = [this] {
      SetModified(true);
      if (OnChange) OnChange();
    };
  selectedColor_.OnChange = [this] { InvalidateAll(); };
  UpdateLayout();
}

TkxEditCore::~TkxEditCore() {
  if (highLighter_) {
    highLighter_->UnhookChange(changeHook_);
    highLighter_->UnhookDestroy(destroyHook_);
  }
}

const std::string& TkxEditCore::LineText(int line) const {
  return line >= 1 && line <= LineCount() ? lines_.Get(line - 1) : kNoLine;
}

// ---------------------------------------------------------------- caret and view position

void TkxEditCore::SetCaretXY(TkxPoint value) {
  int y = std::min(value.Y, LineCount());
  int x0 = value.X - 1;
  int y0 = y - 1;
  const bool pastEol = HasOption(kxeoScrollPastEol) || caretPastEol_;
  int limit;
  if (y0 < 0) {
    y0 = 0;
    limit = pastEol ? MaxLeftChar : 0;
  } else {
    limit = pastEol ? MaxLeftChar : static_cast<int>(lines_.Get(y0).size());
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
    StatusChanged(changes);
    EnsureCursorPosVisible();
    caretNeedsUpdate_ = true;
    scrollBarsNeedUpdate_ = true;
  }
  if (OnSelectionChange) OnSelectionChange();
}

void TkxEditCore::EnsureCursorPosVisible() {
  if (CaretX() < LeftChar())
    SetLeftChar(CaretX());
  else if (CaretX() > LeftChar() + charsInWindow_)
    SetLeftChar(CaretX() - charsInWindow_ + 1);
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
  value = std::max(std::min(value, MaxLeftChar - charsInWindow_ + 1), 1);
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
  return blockBegin_.X != blockEnd_.X || (blockBegin_.Y != blockEnd_.Y && selectionMode_ != smColumn);
}

void TkxEditCore::ClampPoint(TkxPoint& point) const {
  point.Y = std::clamp(point.Y, 1, std::max(LineCount(), 1));
  // Lines longer than the scroll limit stay selectable to their end.
  point.X = std::clamp(point.X, 1, std::max(MaxLeftChar, static_cast<int>(LineText(point.Y).size()) + 1));
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

void TkxEditCore::SetModified(bool value) {
  if (value == modified_) return;
  modified_ = value;
  StatusChanged(stModified);
}

void TkxEditCore::SetInsertCaret(TkxCaretType value) {
  insertCaret_ = value;
  UpdateCaretOrFlag();
}

void TkxEditCore::SetOverwriteCaret(TkxCaretType value) {
  overwriteCaret_ = value;
  UpdateCaretOrFlag();
}

// ---------------------------------------------------------------- highlighter

void TkxEditCore::SetHighLighter(TkxCustomHighLighter* value) {
  if (value == highLighter_) return;
  if (highLighter_) {
    highLighter_->UnhookChange(changeHook_);
    highLighter_->UnhookDestroy(destroyHook_);
  }
  highLighter_ = value;
  if (highLighter_) {
    changeHook_ = highLighter_->HookChange([this](TkxCustomHighLighter&) { HighlighterChanged(); });
    // The highlighter is going away: forget it without touching its hook lists.
    destroyHook_ = highLighter_->HookDestroy([this](TkxCustomHighLighter&) {
      highLighter_ = nullptr;
      HighlighterChanged();
    });
    ListBulkAdded();
  }
  HighlighterChanged();
}

TFontStyles TkxEditCore::AttributeStyles() const {
  TFontStyles styles = 0;
  if (highLighter_)
    for (int i = 0; i < highLighter_->AttributeCount(); ++i)
      if (const TkxHighLightAttributes* attribute = highLighter_->AttributeAt(i))
        styles |= attribute->Style();
  return styles;
}

void TkxEditCore::HighlighterChanged() {
  if (view_) view_->MeasureFont();
  InvalidateAll();
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
}

void TkxEditCore::GutterChanged() { UpdateLayout(); }

TkxPoint TkxEditCore::PixelsToRowColumn(int x, int y) const {
  const double column = static_cast<double>(LeftChar() * charWidth_ + x - gutterWidth_ - 2) / charWidth_;
  return {static_cast<int>(column < 0 ? column - 0.5 : column + 0.5), TopLine() + y / LineHeight()};
}

TkxPoint TkxEditCore::RowColumnToPixels(TkxPoint position) const {
  return {(position.X - 1) * charWidth_ + TextOffset(), (position.Y - TopLine()) * LineHeight()};
}

// ---------------------------------------------------------------- paint lock and repaints

void TkxEditCore::DecPaintLock() {
  if (--paintLock_ > 0) return;
  if (scrollBarsNeedUpdate_) UpdateScrollBarsOrFlag();
  if (caretNeedsUpdate_) UpdateCaretOrFlag();
  if (pendingStatus_) StatusChanged(0);
}

void TkxEditCore::StatusChanged(TkxStatusChanges changes) {
  pendingStatus_ |= changes;
  if (paintLock_ > 0 || pendingStatus_ == 0) return;
  const TkxStatusChanges fired = pendingStatus_;
  pendingStatus_ = 0;
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

// ---------------------------------------------------------------- line-list handlers

void TkxEditCore::AttachListHandlers() {
  lines_.OnAdded = [this] { ListAdded(); };
  lines_.OnCleared = [this] { ListCleared(); };
  lines_.OnDeleted = [this](int index) { ListDeletedOrInserted(index, true); };
  lines_.OnInserted = [this](int index) { ListDeletedOrInserted(index, false); };
  lines_.OnLinePut = [this](int index) { ListLinePut(index); };
  lines_.OnTextReplaced = [this] { ListTextReplaced(); };
  lines_.OnBulkAdded = [this] { ListBulkAdded(); };
  lines_.OnChanging = [this] { ListChanging(); };
  lines_.OnChange = [this] { ListChanged(); };
}

void TkxEditCore::ScanLine(int index) {
  highLighter_->BeginLine(lines_.Get(index), index);
  highLighter_->SkipToLineEnd();
}

int TkxEditCore::RescanFrom(int line, int scanThrough) {
  if (line >= LineCount() - 1) return line;
  ScanLine(line);
  int next = line + 1;
  for (; next < LineCount(); ++next) {
    const TkxRange range = highLighter_->CurrentRange();
    if (next > scanThrough && lines_.GetObject(next) == range) break;
    lines_.PutObject(next, range);
    ScanLine(next);
  }
  return next - 1;
}

void TkxEditCore::ListAdded() {
  const int count = LineCount();
  if (highLighter_) {
    if (count < 2) {
      highLighter_->ClearRange();
      lines_.PutObject(0, highLighter_->CurrentRange());
    } else {
      highLighter_->RestoreRange(lines_.GetObject(count - 2));
      ScanLine(count - 2);
      lines_.PutObject(count - 1, highLighter_->CurrentRange());
    }
  }
  InvalidateLine(count);
}

void TkxEditCore::ListCleared() {
  pendingRect_ = {};
  if (view_) view_->InvalidateRect({0, 0, clientWidth_, clientHeight_});
  SetBlockBegin({1, 1});
  SetCaretXY({1, 1});
  SetTopLine(1);
  SetLeftChar(1);
}

void TkxEditCore::ListDeletedOrInserted(int index, bool deleted) {
  if (highLighter_ && LineCount() >= 1) {
    if (index <= 0) {
      highLighter_->ClearRange();
      lines_.PutObject(0, highLighter_->CurrentRange());
      if (LineCount() >= 2) RescanFrom(0);
    } else {
      highLighter_->RestoreRange(lines_.GetObject(index - 1));
      // An inserted line's empty slot may happen to equal the range before it; the line itself
      // must still be scanned or a comment it opens would not reach the lines below.
      RescanFrom(index - 1, deleted ? -1 : index);
    }
  }
  // A deletion moves every later line up; an insertion pushes the visible rest down.
  const int last = deleted ? INT_MAX / 2 : TopLine() + linesInWindow_;
  InvalidateLines(index + 1, last);
  InvalidateGutterLines(index + 1, last);
}

void TkxEditCore::ListLinePut(int index) {
  if (!highLighter_) {
    InvalidateLine(index + 1);
    return;
  }
  highLighter_->RestoreRange(lines_.GetObject(index));
  InvalidateLines(index + 1, RescanFrom(index) + 1);
}

void TkxEditCore::ListTextReplaced() {
  if (LineCount() == 0) lines_.Add("");
  ClearUndo();
}

void TkxEditCore::ListBulkAdded() {
  if (!highLighter_ || LineCount() < 1) return;
  highLighter_->ClearRange();
  lines_.PutObject(0, highLighter_->CurrentRange());
  for (int i = 1; i < LineCount(); ++i) {
    highLighter_->RestoreRange(lines_.GetObject(i - 1));
    ScanLine(i - 1);
    lines_.PutObject(i, highLighter_->CurrentRange());
  }
}

void TkxEditCore::ListChanging() { linesChanging_ = true; }

void TkxEditCore::ListChanged() {
  linesChanging_ = false;
  UpdateScrollBarsOrFlag();
  SetCaretXY(CaretXY());
  SetBlockBegin(CaretXY());
  if (!pendingRect_.Empty()) {
    const TkxRect pending = pendingRect_;
    pendingRect_ = {};
    Invalidate(pending);
  }
  if (gutter_.DigitsInUse(LineCount()) != digitsInUse_) UpdateLayout();
}

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

bool TkxEditCore::CarryOutCommand(TkxEditorCommand command, char ch, const void* data) {
  switch (command) {
  case ecScrollUp:
  case ecScrollDown:
  case ecScrollLeft:
  case ecScrollRight: ExecuteScroll(command); return true;
  case ecInsertMode: SetInsertMode(true); return true;
  case ecOverwriteMode: SetInsertMode(false); return true;
  case ecToggleMode: SetInsertMode(!insertMode_); return true;
  case ecNormalSelect: SetSelectionMode(smNormal); return true;
  case ecColumnSelect: SetSelectionMode(smColumn); return true;
  case ecLineSelect: SetSelectionMode(smLine); return true;
  case ecMatchBracket: FindMatchingBracket(); return true;
  case ecShiftTab: return true;
  default: break;
  }
  if (ExecuteEditing(command, ch, data)) return true;
  if (command == ecSelectAll || (command >= ecLeft && command <= ecGotoXY) ||
      (command >= ecSelLeft && command <= ecSelGotoXY)) {
    ExecuteMovement(command, data);
    return true;
  }
  return false;
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
