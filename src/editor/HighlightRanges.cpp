// The bookkeeping of stale ranges and the rescans that make them right again.
#include "HighlightRanges.h"

#include "LineList.h"

#include <algorithm>

namespace {

// The most break points kept; past them the rest of the text is scanned whole.
constexpr std::size_t kMostBreaks = 64;

} // namespace

HighlightRanges::~HighlightRanges() { Unhook(); }

void HighlightRanges::Unhook() {
  if (!highLighter_) return;
  highLighter_->UnhookChange(changeHook_);
  highLighter_->UnhookDestroy(destroyHook_);
}

void HighlightRanges::SetHighLighter(Highlighter* value) {
  if (value == highLighter_) return;
  Unhook();
  highLighter_ = value;
  if (highLighter_) {
    changeHook_ = highLighter_->HookChange([this](Highlighter&) { ReportStyleChange(); });
    // The highlighter is going away: forget it without touching its hook lists.
    destroyHook_ = highLighter_->HookDestroy([this](Highlighter&) {
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

HighlightRange HighlightRanges::At(int index) const {
  if (highLighter_ && index >= knownRight_) ScanThrough(index);
  return lines_.GetObject(index);
}

void HighlightRanges::Refresh(int last) {
  if (!highLighter_) return;
  const Span changed = ScanThrough(std::min(last, LineCount() - 1));
  if (changed.first >= 0 && OnRestyled) OnRestyled(changed.first, changed.last);
}

HighlightRange HighlightRanges::StartRange(int index) const {
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
  for (int line = knownRight_; line <= last && line < LineCount(); line = knownRight_) {
    const HighlightRange range = StartRange(line);
    knownRight_ = line + 1;
    if (range != lines_.GetObject(line)) {
      // The next line is scanned in turn: its range came from this line's old one.
      lines_.PutObject(line, range);
      if (changed.first < 0) changed.first = line;
      changed.last = line;
    } else if (line < unscannedFrom_) {
      // Right as it was: so are the lines up to the next break.
      const auto next = std::upper_bound(breaks_.begin(), breaks_.end(), line);
      knownRight_ = next == breaks_.end() ? unscannedFrom_ : *next;
    }
    unscannedFrom_ = std::max(unscannedFrom_, knownRight_);
    breaks_.erase(breaks_.begin(), std::upper_bound(breaks_.begin(), breaks_.end(), knownRight_));
  }
  return changed;
}

void HighlightRanges::MarkAllStale() {
  knownRight_ = unscannedFrom_ = 0;
  breaks_.clear();
}

void HighlightRanges::Break(int index) const {
  if (index <= knownRight_ || index >= unscannedFrom_) return;
  const auto at = std::lower_bound(breaks_.begin(), breaks_.end(), index);
  if (at == breaks_.end() || *at != index) breaks_.insert(at, index);
  // Many breaks (a long paste, say): everything from the first one on is scanned again instead.
  if (breaks_.size() > kMostBreaks) {
    unscannedFrom_ = breaks_.front();
    breaks_.clear();
  }
}

void HighlightRanges::Shift(int index, bool inserted) {
  // Lines from `index` on move down when one went in there; lines after it move up when it went.
  const auto moved = [index, inserted](int line) {
    return inserted ? (line >= index ? line + 1 : line) : (line > index ? line - 1 : line);
  };
  // The first line to scan stays the first, and the first unscanned one the first unscanned, also
  // when the new line takes its place.
  if (unscannedFrom_ != index) unscannedFrom_ = moved(unscannedFrom_);
  if (knownRight_ != index) knownRight_ = moved(knownRight_);
  if (!inserted) breaks_.erase(std::remove(breaks_.begin(), breaks_.end(), index), breaks_.end());
  for (int& line : breaks_)
    line = moved(line);
}

void HighlightRanges::ScanFrom(int index) {
  if (index >= knownRight_) return;
  const int firstNotRight = knownRight_;
  knownRight_ = index;
  // The first line that was not known right does not follow from the right ones before it.
  Break(firstNotRight);
}

void HighlightRanges::LinesChanged(const LineChange& change) {
  if (!highLighter_) return;
  switch (change.kind) {
  case LineChange::Kind::Appended:
  case LineChange::Kind::Inserted: LineInserted(change.line); break;
  case LineChange::Kind::Removed: LineRemoved(change.line); break;
  case LineChange::Kind::Changed: LineChanged(change.line); break;
  case LineChange::Kind::Reloaded: MarkAllStale(); break;
  case LineChange::Kind::Restyled:
  case LineChange::Kind::Clearing: break;
  }
}

void HighlightRanges::LineInserted(int index) {
  // The new line's slot holds nothing yet, and the line after it followed another line.
  Shift(index, true);
  ScanFrom(index);
  Break(index);
  Break(index + 1);
}

void HighlightRanges::LineRemoved(int index) {
  // The line now at `index` followed the line that went.
  Shift(index, false);
  ScanFrom(index);
  Break(index);
}

void HighlightRanges::LineChanged(int index) {
  // The line's own range stays; the next one came from its old text.
  ScanFrom(index + 1);
  Break(index + 1);
}
