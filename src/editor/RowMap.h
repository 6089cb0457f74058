// Which document lines a view shows on which screen rows when some lines are hidden. Rows and
// lines are 1-based; a hidden line counts as part of the row of the visible line above it. With
// nothing hidden every row is its line, and asking costs a test of an empty list.
#pragma once

#include <vector>

struct LineSpan {
  int first = 1;
  int last = 0; // inclusive; a span with last < first hides nothing
};

class RowMap {
public:
  // The hidden lines: spans in any order, overlapping or not.
  void Assign(std::vector<LineSpan> hidden);
  [[nodiscard]] bool Identity() const { return spans_.empty(); }

  // The row showing `line` (for a hidden line: the row of the visible line above it).
  [[nodiscard]] int RowOf(int line) const { return spans_.empty() ? line : FoldedRowOf(line); }
  // The visible line on `row`; rows past the last visible line count on as if nothing below were
  // hidden.
  [[nodiscard]] int LineOf(int row) const { return spans_.empty() ? row : FoldedLineOf(row); }
  [[nodiscard]] bool Hidden(int line) const { return !spans_.empty() && FoldedHidden(line); }
  // The rows of a text of `lineCount` lines.
  [[nodiscard]] int RowCount(int lineCount) const { return RowOf(lineCount); }

private:
  [[nodiscard]] int FoldedRowOf(int line) const;
  [[nodiscard]] int FoldedLineOf(int row) const;
  [[nodiscard]] bool FoldedHidden(int line) const;

  // Disjoint, sorted, not touching, each with the lines hidden before it.
  struct Span {
    int first;
    int last;
    int hiddenBefore;
  };
  std::vector<Span> spans_;
};
