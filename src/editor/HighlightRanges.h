// The highlighter range beside each line of a document, brought up to date lazily. A change only
// marks where the stored ranges stop being known right; they are rescanned from there when a
// view asks for its visible lines, in idle slices, or when a line's range is read. Reading a range
// always gives what a scan from the first line gives.
#pragma once

#include "DocumentWatcher.h"
#include "Highlighter.h"

#include <functional>
#include <vector>

class LineList;

class HighlightRanges : public DocumentWatcher {
public:
  explicit HighlightRanges(LineList& lines) : lines_(lines) {}
  ~HighlightRanges() override;
  HighlightRanges(const HighlightRanges&) = delete;
  HighlightRanges& operator=(const HighlightRanges&) = delete;

  // Not owned; dropped when it is destroyed. Setting one makes every range stale.
  [[nodiscard]] Highlighter* HighLighter() const { return highLighter_; }
  void SetHighLighter(Highlighter* value);

  // The range in force at the start of line `index` (0-based), rescanning the stale lines up to it
  // first. Uses the highlighter: call it before restoring a range into the highlighter.
  [[nodiscard]] HighlightRange At(int index) const;
  // Whether every stored range is known right (or there is no highlighter to give any).
  [[nodiscard]] bool Current() const { return !highLighter_ || knownRight_ >= LineCount(); }
  // Rescans the stale lines up to `last` (0-based) and tells OnRestyled which got other ranges.
  void Refresh(int last);
  // Refresh over at most `count` more lines.
  void RefreshNext(int count) { Refresh(knownRight_ + count - 1); }

  void LinesChanged(const LineChange& change) override;

  // A refresh gave lines first ... last (0-based) other ranges.
  std::function<void(int first, int last)> OnRestyled;
  // The highlighter was replaced, changed its attributes or went away.
  std::function<void()> OnStyleChanged;

private:
  struct Span {
    int first = -1;
    int last = -1;
  };

  [[nodiscard]] int LineCount() const;
  // The range line `index` starts with when the line before it starts with its stored range.
  [[nodiscard]] HighlightRange StartRange(int index) const;
  // Rescans from the first stale line through `last` or until the stored ranges agree again;
  // returns the lines whose stored range changed.
  Span ScanThrough(int last) const;
  void MarkAllStale();
  // Line `index` may no longer hold the range its predecessor's scan gives.
  void Break(int index) const;
  // The markers follow a line that went in at, or out from, `index`.
  void Shift(int index, bool inserted);
  // The lines from `index` up to the first one not known right are right again once `index` is:
  // `index` becomes the first line to scan.
  void ScanFrom(int index);
  void LineInserted(int index);
  void LineRemoved(int index);
  void LineChanged(int index);
  void Unhook();
  void ReportStyleChange();

  LineList& lines_;
  Highlighter* highLighter_ = nullptr;
  Highlighter::HookId changeHook_ = 0;
  Highlighter::HookId destroyHook_ = 0;
  // The const readers bring these up to date too, as a cache does.
  // The lines before this one have the right ranges.
  mutable int knownRight_ = 0;
  // From this line on no line was scanned since they all went stale.
  mutable int unscannedFrom_ = 0;
  // In ascending order, between knownRight_ and unscannedFrom_: the lines whose stored range may
  // not be what a scan of the line before gives. Every other line there holds that range, so once
  // a line gets its right range and already held it, the lines up to the next break are right too.
  mutable std::vector<int> breaks_;
};
