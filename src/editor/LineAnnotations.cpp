#include "LineAnnotations.h"

#include <algorithm>

namespace {

bool LineBefore(const Annotation& a, const Annotation& b) { return a.line < b.line; }

// The messages of `list` (in line order) on `line` and below it.
std::vector<Annotation>::iterator FromLine(std::vector<Annotation>& list, int line) {
  return std::lower_bound(list.begin(), list.end(), line,
                          [](const Annotation& annotation, int value) { return annotation.line < value; });
}

} // namespace

void LineAnnotations::Replace(AnnotationSource source, std::vector<Annotation> annotations) {
  std::stable_sort(annotations.begin(), annotations.end(), LineBefore);
  std::vector<Annotation>& list = List(source);
  if (list == annotations) return;
  list = std::move(annotations);
  if (OnChange) OnChange();
}

void LineAnnotations::Add(AnnotationSource source, std::vector<Annotation> more) {
  if (more.empty()) return;
  std::stable_sort(more.begin(), more.end(), LineBefore);
  std::vector<Annotation>& list = List(source);
  const auto middle = static_cast<std::ptrdiff_t>(list.size());
  list.insert(list.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
  std::inplace_merge(list.begin(), list.begin() + middle, list.end(), LineBefore);
  if (OnChange) OnChange();
}

const std::vector<Annotation>& LineAnnotations::Of(AnnotationSource source) const {
  return source == AnnotationSource::Build ? build_ : server_;
}

std::vector<const Annotation*> LineAnnotations::OnLine(int line) const {
  std::vector<const Annotation*> found;
  for (const std::vector<Annotation>* list : {&build_, &server_}) {
    const auto [first, last] =
        std::equal_range(list->begin(), list->end(), Annotation{.line = line}, LineBefore);
    for (auto annotation = first; annotation != last; ++annotation)
      found.push_back(&*annotation);
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const Annotation* a, const Annotation* b) { return a->kind > b->kind; });
  return found;
}

void LineAnnotations::LinesChanged(const LineChange& change) {
  if (Empty()) return;
  const int line = change.line + 1; // 1-based
  for (std::vector<Annotation>* list : {&build_, &server_}) {
    switch (change.kind) {
    case LineChange::Kind::Inserted:
      for (auto annotation = FromLine(*list, line); annotation != list->end(); ++annotation)
        ++annotation->line;
      break;
    case LineChange::Kind::Removed: {
      const auto below = list->erase(FromLine(*list, line), FromLine(*list, line + 1));
      for (auto annotation = below; annotation != list->end(); ++annotation)
        --annotation->line;
      break;
    }
    case LineChange::Kind::Clearing: list->clear(); break;
    default: return;
    }
  }
  if (OnChange) OnChange();
}
