// The bookkeeping of stale ranges and the rescans that make them right again.
#include "HighlightRanges.h"

#include "kxEditList.h"

#include <algorithm>

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
    MarkAllStale();
  }
  ReportStyleChange();
}

void HighlightRanges::ReportStyleChange() {
  if (OnStyleChanged) OnStyleChanged();
}

int HighlightRanges::LineCount() const { return lines_.Count(); }

TkxRange HighlightRanges::At(int index) const {
  if (highLighter_ && index >= knownRight_) ScanThrough(index);
  return lines_.GetObject(index);
}

void HighlightRanges::Refresh(int last) {
  if (!highLighter_) return;
  const Span changed = ScanThrough(std::min(last, LineCount() - 1));
  if (changed.first >= 0 && OnRestyled) OnRestyled(changed.first, changed.last);
}

TkxRange HighlightRanges::StartRange(int index) const {
  if (index == 0) {
    highLighter_->ClearRange();
    return highLighter_->CurrentRange();
  }
  highLighter_->RestoreRange(lines_.GetObject(index - 1));
  highLighter_->BeginLine(lines_.Get(index - 1), index - 1);
  highLighter_->SkipToLineEnd();
  return highLighter_->CurrentRange();
}

HighlightRanges::Span HighlightRanges::ScanThrough(int last) const {
  Span changed;
  for (int line = knownRight_; line <= last && line < LineCount(); ++line) {
    const TkxRange range = StartRange(line);
    if (range == lines_.GetObject(line)) {
      if (line >= chainFrom_) {
        knownRight_ = LineCount();
        break;
      }
    } else {
      lines_.PutObject(line, range);
      if (changed.first < 0) changed.first = line;
      changed.last = line;
      // The next line's range came from this line's old one.
      chainFrom_ = std::max(chainFrom_, line + 1);
    }
    knownRight_ = line + 1;
  }
  if (Current()) chainFrom_ = 0; // every line follows from the one before it
  return changed;
}

void HighlightRanges::MarkAllStale() {
  knownRight_ = 0;
  chainFrom_ = LineCount();
}

void HighlightRanges::LinesChanged(const LineChange& change) {
  if (!highLighter_) return;
  switch (change.kind) {
  case LineChange::Appended:
  case LineChange::Inserted: LineInserted(change.line); break;
  case LineChange::Removed: LineRemoved(change.line); break;
  case LineChange::Changed: LineChanged(change.line); break;
  case LineChange::Reloaded: MarkAllStale(); break;
  case LineChange::Restyled:
  case LineChange::Clearing: break;
  }
}

void HighlightRanges::LineInserted(int index) {
  // The new line's slot holds nothing yet, and the line after it followed another line.
  knownRight_ = std::min(knownRight_, index);
  chainFrom_ = chainFrom_ > index ? chainFrom_ + 1 : index + 1;
}

void HighlightRanges::LineRemoved(int index) {
  // The line now at `index` followed the line that went.
  knownRight_ = std::min(knownRight_, index);
  chainFrom_ = std::max(chainFrom_ > index ? chainFrom_ - 1 : chainFrom_, index);
}

void HighlightRanges::LineChanged(int index) {
  // The line's own range stays; the next one came from its old text.
  knownRight_ = std::min(knownRight_, index + 1);
  chainFrom_ = std::max(chainFrom_, index + 1);
}
