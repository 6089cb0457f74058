// The lazily kept highlighter ranges against a full scan from the first line, under random edits
// that open and close comments and strings, add and remove lines, undo and redo, with the view's
// refreshes and idle slices coming in between at random.
#include "CppHighlighter.h"
#include "TestHighlighter.h"
#include "TextDocument.h"
#include "TextLines.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// What a scan of every line from the first gives.
std::vector<HighlightRange> FullScan(const TextDocument& document) {
  CppHighlighter scanner;
  std::vector<HighlightRange> ranges;
  scanner.ClearRange();
  for (int i = 0; i < document.LineCount(); ++i) {
    ranges.push_back(scanner.CurrentRange());
    scanner.BeginLine(document.Lines()[i], i);
    scanner.SkipToLineEnd();
  }
  return ranges;
}

class RandomEdits {
public:
  explicit RandomEdits(unsigned seed) : random_(seed) {}

  // One random change of the text, or an undo or redo of one.
  std::string Step(TextDocument& document) {
    switch (Pick(10)) {
    case 0: return document.Undo() ? "undo" : "nothing to undo";
    case 1: return document.Redo() ? "redo" : "nothing to redo";
    case 2:
    case 3: {
      const TextPoint from = Anywhere(document), to = Anywhere(document);
      UndoStep step(document, UndoKind::Deletion, from);
      return "delete " + document.Delete(from, to);
    }
    default: {
      static const std::vector<std::string> pieces = {"/*",   "*/", "\"", "'",   "//",        "\\",     "\n",
                                                      "\n\n", "x",  " ",  "#if", "/* a */\n", "\"s\\\n"};
      std::string text;
      for (int n = 1 + Pick(3); n > 0; --n)
        text += pieces[static_cast<std::size_t>(Pick(static_cast<int>(pieces.size())))];
      const TextPoint at = Anywhere(document);
      UndoStep step(document, UndoKind::Insertion, at);
      document.Insert(at, text);
      return "insert " + text;
    }
    }
  }

  // What a view or the idle time may ask between edits.
  void Refresh(TextDocument& document) {
    HighlightRanges& ranges = document.Ranges();
    switch (Pick(4)) {
    case 0: ranges.Refresh(Pick(document.LineCount())); break;
    case 1: ranges.RefreshNext(1 + Pick(8)); break;
    default: break;
    }
  }

  int Pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }

private:
  TextPoint Anywhere(const TextDocument& document) {
    const int line = 1 + Pick(document.LineCount());
    return {1 + Pick(static_cast<int>(document.LineText(line).size()) + 1), line};
  }

  std::mt19937 random_;
};

TEST(HighlightRanges, ReadAtAnyMomentTheyEqualAFullScan) {
  for (unsigned seed = 1; seed <= 400; ++seed) {
    TextDocument document;
    CppHighlighter highlighter;
    document.SetHighLighter(&highlighter);
    document.SetMaxUndo(1000);
    std::vector<std::string> text;
    for (int i = 0; i < 30; ++i)
      text.push_back(i % 7 == 0 ? "/* c */ int x = 1;" : "x = \"s\"; // y");
    document.Load(text);
    RandomEdits edits(seed);
    std::vector<std::string> steps;
    for (int n = 0; n < 150; ++n) {
      steps.push_back(edits.Step(document));
      edits.Refresh(document);
      const std::vector<HighlightRange> expected = FullScan(document);
      // One line read out of order; now and then every line, which leaves nothing stale, so
      // mostly the stale lines of several edits pile up.
      const int probe = edits.Pick(document.LineCount());
      ASSERT_EQ(document.Ranges().At(probe), expected[static_cast<std::size_t>(probe)])
          << "seed " << seed << ", line " << probe << " after: " << ::testing::PrintToString(steps);
      if (edits.Pick(5) > 0 && n + 1 < 150) continue;
      std::vector<HighlightRange> lazy;
      for (int i = 0; i < document.LineCount(); ++i)
        lazy.push_back(document.Ranges().At(i));
      ASSERT_EQ(lazy, expected) << "seed " << seed << " after: " << ::testing::PrintToString(steps);
      ASSERT_TRUE(document.Ranges().Current());
    }
  }
}

// Typing near the top while the idle slices still work through a freshly loaded file: each slice
// goes on where the last one stopped instead of starting again below the edit.
TEST(HighlightRanges, EditsAboveTheScannedLinesKeepTheIdleScansProgress) {
  constexpr int kLines = 20000;
  TextDocument document;
  TestHighlighter highlighter;
  document.SetHighLighter(&highlighter);
  document.Load(std::vector<std::string>(kLines, "plain"));
  for (int keystroke = 0; keystroke < 100; ++keystroke) {
    ReplaceLine(document, 6, keystroke % 2 ? "plain a" : "plain b");
    document.Ranges().Refresh(40);       // the screen
    document.Ranges().RefreshNext(1000); // one idle slice
  }
  EXPECT_TRUE(document.Ranges().Current());
  EXPECT_LT(highlighter.linesBegun, kLines + 1000);
}

// A paste of many lines, each a break in what follows from what, still ends in a full scan's ranges.
TEST(HighlightRanges, ALongPasteEndsInTheRangesOfAFullScan) {
  TextDocument document;
  CppHighlighter highlighter;
  document.SetHighLighter(&highlighter);
  document.Load(std::vector<std::string>(300, "x = 1; /* a */"));
  document.Ranges().Refresh(40);
  std::string pasted;
  for (int i = 0; i < 200; ++i)
    pasted += i % 3 ? "\n\"s\\" : "\n/* open";
  document.Insert({3, 10}, pasted);
  document.Ranges().Refresh(60);
  const std::vector<HighlightRange> expected = FullScan(document);
  for (int i = 0; i < document.LineCount(); ++i)
    ASSERT_EQ(document.Ranges().At(i), expected[static_cast<std::size_t>(i)]) << i;
}

} // namespace
