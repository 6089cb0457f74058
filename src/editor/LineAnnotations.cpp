#include "LineAnnotations.h"

#include <algorithm>

void LineAnnotations::Replace(AnnotationSource source, std::vector<Annotation> annotations) {
  std::vector<Annotation>& list = List(source);
  if (list == annotations) return;
  list = std::move(annotations);
  if (OnChange) OnChange();
}

const std::vector<Annotation>& LineAnnotations::Of(AnnotationSource source) const {
  return source == AnnotationSource::Build ? build_ : server_;
}

std::vector<const Annotation*> LineAnnotations::OnLine(int line) const {
  std::vector<const Annotation*> found;
  for (const std::vector<Annotation>* list : {&build_, &server_})
    for (const Annotation& annotation : *list)
      if (annotation.line == line) found.push_back(&annotation);
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
      for (Annotation& annotation : *list)
        if (annotation.line >= line) ++annotation.line;
      break;
    case LineChange::Kind::Removed:
      std::erase_if(*list, [line](const Annotation& annotation) { return annotation.line == line; });
      for (Annotation& annotation : *list)
        if (annotation.line > line) --annotation.line;
      break;
    case LineChange::Kind::Clearing: list->clear(); break;
    default: return;
    }
  }
  if (OnChange) OnChange();
}
