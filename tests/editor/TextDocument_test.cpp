// The document: its primitive insertions and deletions, and what its watchers hear of them.
#include "TextDocument.h"

#include "TestHighlighter.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

// Hears every change; by then the document's own stores must already have followed it.
struct RecordingWatcher : DocumentWatcher {
  explicit RecordingWatcher(TextDocument& document) : document(document) {}
  void LinesChanged(const LineChange& change) override {
    heard.push_back(change.kind);
    if (change.kind == LineChange::Changed || change.kind == LineChange::Inserted) {
      const Mark* mark = document.Marks().BookMark(0);
      bookmarkLines.push_back(mark ? mark->Line() : 0);
      ranges.push_back(document.Ranges().At(document.LineCount() - 1));
    }
  }
  void EditStarted() override { heard.push_back(-1); }
  void EditFinished() override { heard.push_back(-2); }
  TextDocument& document;
  std::vector<int> heard;
  std::vector<int> bookmarkLines;
  std::vector<HighlightRange> ranges;
};

TEST(TextDocument, InsertionsAndDeletionsReachTheStoresBeforeTheWatchers) {
  TextDocument document;
  TestHighlighter highlighter;
  document.SetHighLighter(&highlighter);
  document.Lines().Assign({"one", "two", "three"});
  auto mark = std::make_unique<Mark>(0);
  mark->SetLine(2);
  document.Marks().PlaceBookMark(std::move(mark));
  RecordingWatcher watcher(document);
  document.AddWatcher(watcher);

  // The first line keeps its place; the lines the text adds come after it.
  EXPECT_EQ(document.Insert({2, 1}, "/*\nx\ny"), (TextPoint{2, 3}));
  EXPECT_EQ(document.Lines().Strings(), (Lines{"o/*", "x", "yne", "two", "three"}));
  EXPECT_EQ(watcher.heard,
            (std::vector<int>{-1, LineChange::Changed, LineChange::Inserted, LineChange::Inserted, -2}));
  EXPECT_EQ(watcher.bookmarkLines, (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(watcher.ranges, (std::vector<HighlightRange>{1, 1, 1})); // the comment reaches the last line
  EXPECT_EQ(document.Marks().BookMark(0)->Line(), 4);

  // Lines after the first are joined to it, and their marks with them.
  watcher.heard.clear();
  EXPECT_EQ(document.Delete({3, 1}, {2, 4}), "*\nx\nyne\nt");
  EXPECT_EQ(document.Lines().Strings(), (Lines{"o/wo", "three"}));
  EXPECT_EQ(document.Marks().BookMark(0)->Line(), 1);
  EXPECT_EQ(std::count(watcher.heard.begin(), watcher.heard.end(), LineChange::Removed), 3);
  EXPECT_EQ(document.Ranges().At(1), 0u);

  // Positions outside the text are taken to its nearest place.
  EXPECT_EQ(document.Insert({9, 7}, "!"), (TextPoint{7, 2}));
  EXPECT_EQ(document.Delete({0, 0}, {3, 1}), "o/");
  EXPECT_EQ(document.Text({1, 1}, {99, 99}), "wo\nthree!");
  document.RemoveWatcher(watcher);
}

} // namespace
