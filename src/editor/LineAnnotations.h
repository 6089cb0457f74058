// Messages attached to places of a document: a build's errors and warnings and a language
// server's diagnostics, each source kept apart so that one replaces its own without touching
// the other's. They follow their lines as lines above them come and go; a message whose line
// goes, goes with it. The painter marks their lines in the gutter and underlines their ranges.
#pragma once

#include "DocumentWatcher.h"

#include <functional>
#include <string>
#include <vector>

enum class AnnotationKind { Warning, Error };
enum class AnnotationSource { Build, Server };

struct Annotation {
  AnnotationKind kind = AnnotationKind::Error;
  int line = 1;        // 1-based
  int firstColumn = 1; // 1-based byte columns, [first, last); a whole line when both are 1
  int lastColumn = 1;
  std::string text;
  bool operator==(const Annotation&) const = default;
};

// Each source's list is kept in line order (the messages of one line in the order they came), so
// that a painted line finds its messages, and a line that comes or goes the ones below it, without
// reading the whole list: a build may leave thousands.
class LineAnnotations : public DocumentWatcher {
public:
  // Those of `source` become `annotations`.
  void Replace(AnnotationSource source, std::vector<Annotation> annotations);
  // `more` join those of `source`.
  void Add(AnnotationSource source, std::vector<Annotation> more);
  // In line order.
  [[nodiscard]] const std::vector<Annotation>& Of(AnnotationSource source) const;
  // Those on a line, errors first.
  [[nodiscard]] std::vector<const Annotation*> OnLine(int line) const;
  [[nodiscard]] bool Empty() const { return build_.empty() && server_.empty(); }

  // The messages or their lines changed.
  std::function<void()> OnChange;

private:
  void LinesChanged(const LineChange& change) override;
  [[nodiscard]] std::vector<Annotation>& List(AnnotationSource source) {
    return source == AnnotationSource::Build ? build_ : server_;
  }

  std::vector<Annotation> build_;
  std::vector<Annotation> server_;
};
