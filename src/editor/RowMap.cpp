// The row map: merged hidden spans and binary searches over them.
#include "RowMap.h"

#include <algorithm>

void RowMap::Assign(std::vector<LineSpan> hidden) {
  std::erase_if(hidden, [](const LineSpan& span) { return span.last < span.first; });
  std::sort(hidden.begin(), hidden.end(),
            [](const LineSpan& a, const LineSpan& b) { return a.first < b.first; });
  spans_.clear();
  for (const LineSpan& span : hidden) {
    if (!spans_.empty() && span.first <= spans_.back().last + 1)
      spans_.back().last = std::max(spans_.back().last, span.last);
    else
      spans_.push_back({span.first, span.last, 0});
  }
  int hiddenBefore = 0;
  for (Span& span : spans_) {
    span.hiddenBefore = hiddenBefore;
    hiddenBefore += span.last - span.first + 1;
  }
}

int RowMap::FoldedRowOf(int line) const {
  // The last span starting at or before the line.
  const auto after = std::upper_bound(spans_.begin(), spans_.end(), line,
                                      [](int l, const Span& span) { return l < span.first; });
  if (after == spans_.begin()) return line;
  const Span& span = *std::prev(after);
  return line - span.hiddenBefore - (std::min(line, span.last) - span.first + 1);
}

int RowMap::FoldedLineOf(int row) const {
  // A span's first line would sit on row first - hiddenBefore: the rows before it need no span.
  const auto after = std::upper_bound(spans_.begin(), spans_.end(), row, [](int r, const Span& span) {
    return r < span.first - span.hiddenBefore;
  });
  if (after == spans_.begin()) return row;
  const Span& span = *std::prev(after);
  return row + span.hiddenBefore + (span.last - span.first + 1);
}

bool RowMap::FoldedHidden(int line) const {
  const auto after = std::upper_bound(spans_.begin(), spans_.end(), line,
                                      [](int l, const Span& span) { return l < span.first; });
  return after != spans_.begin() && line <= std::prev(after)->last;
}
