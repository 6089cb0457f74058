// Folding and unfolding, and folds following the text.
#include "FoldStore.h"

#include "TextDocument.h"

#include <algorithm>

FoldStore::FoldStore(TextDocument& document, FoldableRanges& foldable)
    : document_(document), foldable_(foldable) {
  document_.AddWatcher(*this);
}

FoldStore::~FoldStore() { document_.RemoveWatcher(*this); }

bool FoldStore::IsFolded(int header) const {
  return std::any_of(folds_.begin(), folds_.end(),
                     [&](const FoldRange& fold) { return fold.header == header; });
}

bool FoldStore::Fold(int header) {
  const FoldRange* range = foldable_.AtHeader(header);
  if (!range || IsFolded(header)) return false;
  folds_.push_back(*range);
  Changed();
  return true;
}

bool FoldStore::Unfold(int header) {
  if (std::erase_if(folds_, [&](const FoldRange& fold) { return fold.header == header; }) == 0) return false;
  Changed();
  return true;
}

void FoldStore::FoldAll() {
  folds_ = foldable_.All();
  Changed();
}

void FoldStore::UnfoldAll() {
  if (folds_.empty()) return;
  folds_.clear();
  Changed();
}

bool FoldStore::Reveal(int line) {
  if (std::erase_if(
          folds_, [&](const FoldRange& fold) { return line > fold.header && line <= fold.lastHidden; }) == 0)
    return false;
  Changed();
  return true;
}

std::vector<LineSpan> FoldStore::HiddenSpans() const {
  std::vector<LineSpan> spans;
  spans.reserve(folds_.size());
  for (const FoldRange& fold : folds_)
    spans.push_back({fold.header + 1, fold.lastHidden});
  return spans;
}

void FoldStore::TextChanging(const TextSpanChange& change) {
  // Typing within a line moves no fold to other lines: the rows stay as they are.
  bool linesMoved = false;
  for (FoldRange& fold : folds_) {
    const TextPoint opener = Moved(fold.opener, change);
    const TextPoint closer = Moved(fold.closer, change);
    linesMoved = linesMoved || opener.Y != fold.opener.Y || closer.Y != fold.closer.Y;
    fold.header += opener.Y - fold.opener.Y;
    fold.lastHidden += closer.Y - fold.closer.Y;
    fold.opener = opener;
    fold.closer = closer;
  }
  if (linesMoved) Changed();
}

void FoldStore::LinesChanged(const LineChange& change) {
  if (change.kind == LineChange::Kind::Clearing) UnfoldAll();
}

void FoldStore::EditFinished() {
  if (!folds_.empty()) Verify();
}

void FoldStore::Verify() {
  const std::size_t before = folds_.size();
  bool moved = false;
  std::erase_if(folds_, [&](FoldRange& fold) {
    const FoldRange* found = foldable_.WithEnds(fold.opener, fold.closer);
    if (!found) return true;
    moved = moved || found->header != fold.header || found->lastHidden != fold.lastHidden;
    fold = *found;
    return false;
  });
  if (moved || folds_.size() != before) Changed();
}
