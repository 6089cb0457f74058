// The folds of one view: which foldable ranges it has folded. Folds follow the text through the
// document's changes as carets do; once a change is over, a fold whose brace or comment ends are
// no longer a pair is gone. Folding is no edit: the text, its history and its modified flag stay.
#pragma once

#include "FoldRanges.h"
#include "RowMap.h"

#include <functional>
#include <vector>

class FoldStore : public DocumentWatcher {
public:
  FoldStore(TextDocument& document, FoldableRanges& foldable);
  ~FoldStore() override;
  FoldStore(const FoldStore&) = delete;
  FoldStore& operator=(const FoldStore&) = delete;

  // Fired whenever the hidden lines may have changed.
  std::function<void()> OnChange;

  [[nodiscard]] bool Empty() const { return folds_.empty(); }
  [[nodiscard]] const std::vector<FoldRange>& Folded() const { return folds_; }
  [[nodiscard]] bool IsFolded(int header) const;
  // Folds the range headed by `header`; false when there is none or it is folded already.
  bool Fold(int header);
  // Unfolds the fold headed by `header`; false when there is none.
  bool Unfold(int header);
  void FoldAll();
  void UnfoldAll();
  // Unfolds every fold hiding `line`; false when none does.
  bool Reveal(int line);
  // The lines the folds hide, one span per fold.
  [[nodiscard]] std::vector<LineSpan> HiddenSpans() const;

  // DocumentWatcher
  void TextChanging(const TextSpanChange& change) override;
  void LinesChanged(const LineChange& change) override;
  void EditFinished() override;

private:
  // Drops the folds whose ends no longer pair, and takes the others' extent from the text.
  void Verify();
  void Changed() const {
    if (OnChange) OnChange();
  }

  TextDocument& document_;
  FoldableRanges& foldable_;
  std::vector<FoldRange> folds_;
};
