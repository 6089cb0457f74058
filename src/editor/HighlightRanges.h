// The highlighter range beside each line of a document, kept right as lines change: a change
// rescans from the line before it until the stored ranges agree again.
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

  // Not owned; dropped when it is destroyed. Setting one scans every line.
  [[nodiscard]] TkxCustomHighLighter* HighLighter() const { return highLighter_; }
  void SetHighLighter(TkxCustomHighLighter* value);

  void LinesChanged(const LineChange& change) override;

  // Lines first ... last (0-based) got other ranges than their own change gave them.
  std::function<void(int first, int last)> OnRestyled;
  // The highlighter was replaced, changed its attributes or went away.
  std::function<void()> OnStyleChanged;

private:
  void ScanLine(int index);
  // Rescans from `line` until ranges agree again, but at least through `scanThrough`; returns the
  // last line scanned.
  int RescanFrom(int line, int scanThrough = -1);
  void ScanAll();
  void LineAppended();
  void LineInsertedOrRemoved(int index, bool removed);
  void LineChanged(int index);
  void Unhook();
  void ReportStyleChange();

  TkxEditList& lines_;
  TkxCustomHighLighter* highLighter_ = nullptr;
  TkxCustomHighLighter::HookId changeHook_ = 0;
  TkxCustomHighLighter::HookId destroyHook_ = 0;
};
