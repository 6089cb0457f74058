// The fold commands of a view: folding and unfolding at the caret, all at once, or the range a
// gutter click names. The caret never stays on a line a fold hides: it goes to the fold's header.
#pragma once

#include "EditState.h"
#include "FoldStore.h"

// Folds the innermost range around the caret's line not folded yet.
void FoldAtCaret(EditState& state, FoldStore& folds, const FoldableRanges& foldable);
// Unfolds the fold headed by the caret's line.
void UnfoldAtCaret(const EditState& state, FoldStore& folds);
void FoldEverything(EditState& state, FoldStore& folds, const FoldableRanges& foldable);
// Folds or unfolds the range headed by `line`.
void ToggleFold(EditState& state, FoldStore& folds, const FoldableRanges& foldable, int line);
