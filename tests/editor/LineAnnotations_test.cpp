// A build's and a server's messages kept in line order find their lines and follow them as a plain
// list read from end to end does: random replacements, additions and lines coming and going.
#include "LineAnnotations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// The messages as a list in the order they came, each source apart.
struct PlainList {
  std::vector<Annotation> of[2];

  [[nodiscard]] std::vector<Annotation> OnLine(int line) const {
    std::vector<Annotation> found;
    for (const std::vector<Annotation>& list : of)
      std::copy_if(list.begin(), list.end(), std::back_inserter(found),
                   [line](const Annotation& annotation) { return annotation.line == line; });
    std::stable_sort(found.begin(), found.end(),
                     [](const Annotation& a, const Annotation& b) { return a.kind > b.kind; });
    return found;
  }
  void Inserted(int line) {
    for (std::vector<Annotation>& list : of)
      for (Annotation& annotation : list)
        if (annotation.line >= line) ++annotation.line;
  }
  void Removed(int line) {
    for (std::vector<Annotation>& list : of) {
      std::erase_if(list, [line](const Annotation& annotation) { return annotation.line == line; });
      for (Annotation& annotation : list)
        if (annotation.line > line) --annotation.line;
    }
  }
};

std::vector<Annotation> Values(const std::vector<const Annotation*>& found) {
  std::vector<Annotation> values;
  for (const Annotation* annotation : found)
    values.push_back(*annotation);
  return values;
}

} // namespace

TEST(LineAnnotations, KeptInLineOrderTheyAnswerAsAPlainListDoes) {
  std::mt19937 random(7);
  auto below = [&random](int bound) { return static_cast<int>(random() % static_cast<unsigned>(bound)); };
  int named = 0;
  auto some = [&](int most) {
    std::vector<Annotation> annotations(static_cast<std::size_t>(below(most + 1)));
    for (Annotation& annotation : annotations)
      annotation = {below(2) ? AnnotationKind::Error : AnnotationKind::Warning, 1 + below(30), 1, 1,
                    "message " + std::to_string(++named)};
    return annotations;
  };
  for (int round = 0; round < 40; ++round) {
    LineAnnotations kept;
    DocumentWatcher& watcher = kept;
    PlainList plain;
    int changes = 0;
    kept.OnChange = [&changes] { ++changes; };
    for (int step = 0; step < 200; ++step) {
      const auto source = below(2) ? AnnotationSource::Build : AnnotationSource::Server;
      std::vector<Annotation>& list = plain.of[source == AnnotationSource::Build ? 0 : 1];
      const int line = 1 + below(32);
      switch (below(4)) {
      case 0:
        list = some(8);
        kept.Replace(source, list);
        break;
      case 1: {
        const std::vector<Annotation> more = some(5);
        list.insert(list.end(), more.begin(), more.end());
        kept.Add(source, more);
        break;
      }
      case 2:
        plain.Inserted(line);
        watcher.LinesChanged({LineChange::Kind::Inserted, line - 1});
        break;
      default: plain.Removed(line); watcher.LinesChanged({LineChange::Kind::Removed, line - 1});
      }
      for (int at = 1; at <= 40; ++at)
        ASSERT_EQ(Values(kept.OnLine(at)), plain.OnLine(at)) << "round " << round << " step " << step;
      for (const AnnotationSource each : {AnnotationSource::Build, AnnotationSource::Server})
        ASSERT_TRUE(std::is_sorted(kept.Of(each).begin(), kept.Of(each).end(),
                                   [](const Annotation& a, const Annotation& b) { return a.line < b.line; }));
    }
    EXPECT_GT(changes, 0);
  }
}
