// Range rescans after each kind of line change.
#include "HighlightRanges.h"

#include "kxEditList.h"

HighlightRanges::~HighlightRanges() { Unhook(); }

void HighlightRanges::Unhook() {
  if (!highLighter_) return;
  highLighter_->UnhookChange(changeHook_);
  highLighter_->UnhookDestroy(destroyHook_);
}

void HighlightRanges::SetHighLighter(TkxCustomHighLighter* value) {
  if (value == highLighter_) return;
  Unhook();
  highLighter_ = value;
  if (highLighter_) {
    changeHook_ = highLighter_->HookChange([this](TkxCustomHighLighter&) { ReportStyleChange(); });
    // The highlighter is going away: forget it without touching its hook lists.
    destroyHook_ = highLighter_->HookDestroy([this](TkxCustomHighLighter&) {
      highLighter_ = nullptr;
      ReportStyleChange();
    });
    ScanAll();
  }
  ReportStyleChange();
}

void HighlightRanges::ReportStyleChange() {
  if (OnStyleChanged) OnStyleChanged();
}

void HighlightRanges::LinesChanged(const LineChange& change) {
  if (!highLighter_) return;
  switch (change.kind) {
  case LineChange::Appended: LineAppended(); break;
  case LineChange::Inserted: LineInsertedOrRemoved(change.line, false); break;
  case LineChange::Removed: LineInsertedOrRemoved(change.line, true); break;
  case LineChange::Changed: LineChanged(change.line); break;
  case LineChange::Reloaded: ScanAll(); break;
  case LineChange::Restyled:
  case LineChange::Clearing: break;
  }
}

void HighlightRanges::ScanLine(int index) {
  highLighter_->BeginLine(lines_.Get(index), index);
  highLighter_->SkipToLineEnd();
}

int HighlightRanges::RescanFrom(int line, int scanThrough) {
  if (line >= lines_.Count() - 1) return line;
  ScanLine(line);
  int next = line + 1;
  for (; next < lines_.Count(); ++next) {
    const TkxRange range = highLighter_->CurrentRange();
    if (next > scanThrough && lines_.GetObject(next) == range) break;
    lines_.PutObject(next, range);
    ScanLine(next);
  }
  return next - 1;
}

void HighlightRanges::ScanAll() {
  if (lines_.Count() < 1) return;
  highLighter_->ClearRange();
  lines_.PutObject(0, highLighter_->CurrentRange());
  for (int i = 1; i < lines_.Count(); ++i) {
    highLighter_->RestoreRange(lines_.GetObject(i - 1));
    ScanLine(i - 1);
    lines_.PutObject(i, highLighter_->CurrentRange());
  }
}

void HighlightRanges::LineAppended() {
  const int count = lines_.Count();
  if (count < 2) {
    highLighter_->ClearRange();
    lines_.PutObject(0, highLighter_->CurrentRange());
    return;
  }
  highLighter_->RestoreRange(lines_.GetObject(count - 2));
  ScanLine(count - 2);
  lines_.PutObject(count - 1, highLighter_->CurrentRange());
}

void HighlightRanges::LineInsertedOrRemoved(int index, bool removed) {
  if (lines_.Count() < 1) return;
  if (index <= 0) {
    highLighter_->ClearRange();
    lines_.PutObject(0, highLighter_->CurrentRange());
    if (lines_.Count() >= 2) RescanFrom(0);
    return;
  }
  highLighter_->RestoreRange(lines_.GetObject(index - 1));
  // An inserted line's empty slot may happen to equal the range before it; the line itself must
  // still be scanned or a comment it opens would not reach the lines below.
  RescanFrom(index - 1, removed ? -1 : index);
}

void HighlightRanges::LineChanged(int index) {
  highLighter_->RestoreRange(lines_.GetObject(index));
  const int last = RescanFrom(index);
  if (last > index && OnRestyled) OnRestyled(index + 1, last);
}
