// The highlighter range beside each line of a document, brought up to date lazily. A change only
// marks where the stored ranges stop being known right; they are rescanned from there when a
// view asks for its visible lines, in idle slices, or when a line's range is read. Reading a range
// always gives what a scan from the first line gives.
#pragma once

#include "DocumentWatcher.h"
#include "kxHighlighter.h"

#include <functional>

class TkxEditList;

class HighlightRanges : public DocumentWatcher {
public:
  explicit HighlightRanges(TkxEditList& lines) : lines_(lines) {}
  ~HighlightRanges() override;
  HighlightRanges(const HighlightRanges&) = delete;
  HighlightRanges& operator=(const HighlightRanges&) = delete;

  // Not owned; dropped when it is destroyed. Setting one makes every range stale.
  [[nodiscard]] TkxCustomHighLighter* HighLighter() const { return highLighter_; }
  void SetHighLighter(TkxCustomHighLighter* value);

  // The range in force at the start of line `index` (0-based), rescanning the stale lines up to it
  // first. Uses the highlighter: call it before restoring a range into the highlighter.
  [[nodiscard]] TkxRange At(int index) const;
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
  [[nodiscard]] TkxRange StartRange(int index) const;
  // Rescans from the first stale line through `last` or until the stored ranges agree again;
  // returns the lines whose stored range changed.
  Span ScanThrough(int last) const;
  void MarkAllStale();
  void LineInserted(int index);
  void LineRemoved(int index);
  void LineChanged(int index);
  void Unhook();
  void ReportStyleChange();

  TkxEditList& lines_;
  TkxCustomHighLighter* highLighter_ = nullptr;
  TkxCustomHighLighter::HookId changeHook_ = 0;
  TkxCustomHighLighter::HookId destroyHook_ = 0;
  // Both are brought up to date by the const readers too, as a cache is.
  // The lines before this one have the right ranges.
  mutable int knownRight_ = 0;
  // From this line on, every line's successor holds the range a scan of the line gives: once a
  // line here gets its right range and already held it, every later one is right too.
  mutable int chainFrom_ = 0;
};
