// Fold commands: choosing the range, and moving the caret out of what a fold hides.
#include "FoldCommands.h"

#include "CaretCommands.h"

#include <algorithm>

namespace {

// Puts the caret at the end of the outermost of `ranges`' headers whose range hides its line.
void LeaveHiddenLines(EditState& state, const TextDocument& document, const std::vector<FoldRange>& ranges) {
  const int line = state.CaretY();
  const auto hiding = std::find_if(ranges.begin(), ranges.end(), [&](const FoldRange& range) {
    return line > range.header && line <= range.lastHidden;
  });
  if (hiding == ranges.end()) return;
  const TextPoint end{static_cast<int>(document.LineText(hiding->header).size()) + 1, hiding->header};
  MoveCaretAndSelection(state, state.CaretXY(), end, false);
}

} // namespace

void FoldAtCaret(EditState& state, FoldStore& folds, const FoldableRanges& foldable) {
  const int line = state.CaretY();
  const FoldRange* innermost = nullptr;
  for (const FoldRange& range : foldable.All()) {
    if (range.header > line) break;
    if (line <= range.lastHidden && !folds.IsFolded(range.header)) innermost = &range;
  }
  if (!innermost) return;
  const FoldRange range = *innermost;
  LeaveHiddenLines(state, foldable.Document(), {range});
  folds.Fold(range.header);
}

void UnfoldAtCaret(const EditState& state, FoldStore& folds) { folds.Unfold(state.CaretY()); }

void FoldEverything(EditState& state, FoldStore& folds, const FoldableRanges& foldable) {
  LeaveHiddenLines(state, foldable.Document(), foldable.All());
  folds.FoldAll();
}

void ToggleFold(EditState& state, FoldStore& folds, const FoldableRanges& foldable, int line) {
  if (folds.Unfold(line)) return;
  if (const FoldRange* range = foldable.AtHeader(line)) {
    LeaveHiddenLines(state, foldable.Document(), {*range});
    folds.Fold(line);
  }
}
