// The document: its primitive insertions and deletions, what its watchers hear of them, its undo
// history and the save point.
#include "TextDocument.h"

#include "TestHighlighter.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace {

using Lines = std::vector<std::string>;

// A change as the watcher below records it.
int Heard(LineChange::Kind kind) { return static_cast<int>(kind); }

// Hears every change; by then the document's own stores must already have followed it.
struct RecordingWatcher : DocumentWatcher {
  explicit RecordingWatcher(TextDocument& document) : document(document) {}
  void LinesChanged(const LineChange& change) override {
    heard.push_back(static_cast<int>(change.kind));
    if (change.kind == LineChange::Kind::Changed || change.kind == LineChange::Kind::Inserted) {
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
  document.Load({"one", "two", "three"});
  auto mark = std::make_unique<Mark>(0);
  mark->SetLine(2);
  document.Marks().PlaceBookMark(std::move(mark));
  RecordingWatcher watcher(document);
  document.AddWatcher(watcher);

  // The first line keeps its place; the lines the text adds come after it.
  EXPECT_EQ(document.Insert({2, 1}, "/*\nx\ny"), (TextPoint{2, 3}));
  EXPECT_EQ(document.Lines().Strings(), (Lines{"o/*", "x", "yne", "two", "three"}));
  EXPECT_EQ(watcher.heard,
            (std::vector<int>{-1, Heard(LineChange::Kind::Changed), Heard(LineChange::Kind::Inserted),
                              Heard(LineChange::Kind::Inserted), -2}));
  EXPECT_EQ(watcher.bookmarkLines, (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(watcher.ranges, (std::vector<HighlightRange>{1, 1, 1})); // the comment reaches the last line
  EXPECT_EQ(document.Marks().BookMark(0)->Line(), 4);

  // Lines after the first are joined to it, and their marks with them.
  watcher.heard.clear();
  EXPECT_EQ(document.Delete({3, 1}, {2, 4}), "*\nx\nyne\nt");
  EXPECT_EQ(document.Lines().Strings(), (Lines{"o/wo", "three"}));
  EXPECT_EQ(document.Marks().BookMark(0)->Line(), 1);
  EXPECT_EQ(std::count(watcher.heard.begin(), watcher.heard.end(), Heard(LineChange::Kind::Removed)), 3);
  EXPECT_EQ(document.Ranges().At(1), 0u);

  // Positions outside the text are taken to its nearest place.
  EXPECT_EQ(document.Insert({9, 7}, "!"), (TextPoint{7, 2}));
  EXPECT_EQ(document.Delete({0, 0}, {3, 1}), "o/");
  EXPECT_EQ(document.Text({1, 1}, {99, 99}), "wo\nthree!");
  document.RemoveWatcher(watcher);
}

// The text as one string, lines separated by '\n'.
std::string Whole(const TextDocument& document) {
  return document.Text(
      {1, 1}, {static_cast<int>(document.LineText(document.LineCount()).size()) + 1, document.LineCount()});
}

// A change made without an undo step is a step of its own, and a load starts a new history: undo
// never takes the text anywhere but back along the changes made.
TEST(TextDocument, EveryChangeIsUndoneExactlyAndALoadStartsANewHistory) {
  TextDocument document;
  {
    UndoStep typing(document, UndoKind::Insertion, {1, 1});
    document.Insert({1, 1}, "a");
  }
  document.Insert({2, 1}, "b\nc");
  EXPECT_EQ(document.Delete({1, 1}, {2, 2}), "ab\nc");
  ASSERT_TRUE(document.Undo());
  EXPECT_EQ(Whole(document), "ab\nc");
  ASSERT_TRUE(document.Undo());
  EXPECT_EQ(Whole(document), "a");
  ASSERT_TRUE(document.Redo());
  EXPECT_EQ(Whole(document), "ab\nc");

  document.Load({"x", "y"});
  EXPECT_FALSE(document.CanUndo());
  EXPECT_FALSE(document.CanRedo());
  EXPECT_FALSE(document.Undo());
  EXPECT_EQ(Whole(document), "x\ny");
  document.Load({});
  EXPECT_EQ(document.Lines().Strings(), Lines{""});
}

TEST(TextDocument, UndoBackToTheSavedTextClearsModifiedButARetypedTextDoesNot) {
  TextDocument document;
  std::vector<bool> heard;
  struct : DocumentWatcher {
    void LinesChanged(const LineChange&) override {}
    void ModifiedChanged() override { heard->push_back(document->Modified()); }
    TextDocument* document;
    std::vector<bool>* heard;
  } watcher;
  watcher.document = &document;
  watcher.heard = &heard;
  document.AddWatcher(watcher);

  document.Insert({1, 1}, "int");
  document.SetModified(false);
  document.Insert({4, 1}, " x");
  EXPECT_TRUE(document.Modified());
  (void)document.Undo();
  EXPECT_FALSE(document.Modified());
  (void)document.Redo();
  EXPECT_TRUE(document.Modified());
  (void)document.Undo();
  // Typed away and taken back by hand: the text is the saved one, but not by undo.
  document.Insert({4, 1}, "y");
  document.Delete({4, 1}, {5, 1});
  EXPECT_TRUE(document.Modified());
  EXPECT_EQ(heard, (std::vector<bool>{true, false, true, false, true, false, true}));

  // A load keeps the flag; a text no state of which counts as saved stays modified.
  document.Load({"loaded"});
  EXPECT_TRUE(document.Modified());
  document.SetModified(false);
  document.Load({"again"});
  EXPECT_FALSE(document.Modified());
  document.Insert({1, 1}, "z");
  document.SetModified(true);
  (void)document.Undo();
  EXPECT_TRUE(document.Modified());
  document.RemoveWatcher(watcher);
}

// Random edits, undos, redos, saves and undo limits against the rule a user expects: the text is
// modified exactly when it differs from what was saved. Every edit puts in a piece of text never
// seen before, so only undo and redo can bring an earlier text back.
TEST(TextDocument, ModifiedSaysWhetherTheTextIsTheSavedOne) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 random(seed);
    const auto pick = [&](int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); };
    TextDocument document;
    document.SetMaxUndo(1 + pick(6));
    std::optional<std::string> saved = Whole(document);
    int pieces = 0;
    std::vector<std::string> steps;
    for (int n = 0; n < 120; ++n) {
      const int op = pick(20);
      if (op < 8) {
        // A new piece where no other piece is cut: at a line's start or end, or before a piece.
        const int line = 1 + pick(document.LineCount());
        const std::string& text = document.LineText(line);
        std::vector<int> columns{1, static_cast<int>(text.size()) + 1};
        for (std::size_t i = 0; i < text.size(); ++i)
          if (text[i] == '<') columns.push_back(static_cast<int>(i) + 1);
        const TextPoint at{columns[static_cast<std::size_t>(pick(static_cast<int>(columns.size())))], line};
        const std::string piece = "<" + std::to_string(++pieces) + ">" + (pick(4) == 0 ? "\n" : "");
        if (pick(2) == 0) {
          document.Insert(at, piece);
        } else {
          UndoStep step(document, UndoKind::Paste, at);
          document.Insert(at, piece);
        }
        steps.push_back("insert " + piece);
      } else if (op < 13) {
        steps.push_back(document.Undo() ? "undo" : "no undo");
      } else if (op < 17) {
        steps.push_back(document.Redo() ? "redo" : "no redo");
      } else if (op < 19) {
        document.SetModified(false);
        saved = Whole(document);
        steps.push_back("save");
      } else if (pick(2) == 0) {
        document.SetModified(true);
        saved.reset();
        steps.push_back("saved file gone");
      } else {
        document.SetMaxUndo(1 + pick(6));
        steps.push_back("undo levels " + std::to_string(document.MaxUndo()));
      }
      ASSERT_EQ(document.Modified(), Whole(document) != saved)
          << "seed " << seed << " after: " << ::testing::PrintToString(steps);
    }
  }
}

} // namespace
