// The editor model without a widget: highlighter ranges through edits, caret and selection rules,
// movement commands, scrolling, status events and command dispatch.
#include "TextEditor.h"

#include "TestHighlighter.h"
#include "TextLines.h"

#include <gtest/gtest.h>

namespace {

// A view that records what the model asked of it.
struct RecordingView : EditView {
  std::vector<PixelRect> invalidated;
  std::vector<int> scrolled;
  int scrollBarUpdates = 0;
  void InvalidateRect(const PixelRect& rect) override { invalidated.push_back(rect); }
  void ScrollPixels(int dy) override { scrolled.push_back(dy); }
  void UpdateScrollBars() override { ++scrollBarUpdates; }
  void UpdateCaret() override {}
  void RepaintNow() override {}
  void MeasureFont() override {}
};

// 80 columns and 30 lines of 8 x 16 pixel cells beside a 30-pixel gutter.
class EditCore : public ::testing::Test {
protected:
  void SetUp() override {
    core.SetFontMetrics(8, 16);
    core.SetClientSize(30 + 2 + 80 * 8, 30 * 16);
    core.SetView(&view);
  }
  void Load(const std::string& text) { core.Document().Load(TextLines(text)); }
  // The text of line `index` (0-based) replaced.
  void PutLine(int index, std::string_view text) { ReplaceLine(core.Document(), index + 1, text); }
  void AppendLine(const std::string& text) {
    const int last = core.LineCount();
    core.Document().Insert({static_cast<int>(core.LineText(last).size()) + 1, last}, "\n" + text);
  }
  void Numbered(int count) {
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i)
      lines.push_back("line " + std::to_string(i));
    core.Document().Load(lines);
  }
  void Run(EditorCommand command) { core.ExecuteCommand(command); }
  TextPoint Caret() const { return core.CaretXY(); }
  std::vector<HighlightRange> Ranges() const {
    std::vector<HighlightRange> ranges;
    for (int i = 0; i < core.LineCount(); ++i)
      ranges.push_back(core.Document().Ranges().At(i));
    return ranges;
  }

  TextEditor core;
  RecordingView view;
};

TEST_F(EditCore, StartsWithOneEmptyLineAndTheDefaults) {
  EXPECT_EQ(core.LineCount(), 1);
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
  EXPECT_EQ(core.Options(), 0x3C3);
  EXPECT_EQ(core.Keystrokes().Count(), 79);
  EXPECT_EQ(core.CharsInWindow(), 80);
  EXPECT_EQ(core.LinesInWindow(), 30);
  EXPECT_TRUE(core.InsertMode());
}

TEST_F(EditCore, RangesFollowABlockCommentOpenedAndClosedMidFile) {
  TestHighlighter highlighter;
  core.SetHighLighter(&highlighter);
  Numbered(200);
  const std::vector<HighlightRange> clean(200, 0);
  EXPECT_EQ(Ranges(), clean);

  highlighter.linesBegun = 0;
  PutLine(99, "/* open");
  std::vector<HighlightRange> open = clean;
  std::fill(open.begin() + 100, open.end(), 1);
  EXPECT_EQ(Ranges(), open);

  // Closing it three lines further down stops the rescan where ranges agree again.
  highlighter.linesBegun = 0;
  PutLine(102, "close */");
  std::vector<HighlightRange> closed = open;
  std::fill(closed.begin() + 103, closed.end(), 0);
  EXPECT_EQ(Ranges(), closed);

  highlighter.linesBegun = 0;
  PutLine(99, "plain");
  EXPECT_EQ(Ranges(), clean);
  EXPECT_LE(highlighter.linesBegun, 5); // lines 100..103 and the one that agrees
  // Typing inside a line that changes no range scans that line only, below the screen not
  // before a range is read.
  highlighter.linesBegun = 0;
  PutLine(50, "still plain");
  EXPECT_EQ(highlighter.linesBegun, 0);
  EXPECT_EQ(Ranges(), clean);
  EXPECT_EQ(highlighter.linesBegun, 1);
  // A comment opened at the top is followed at once through the screen's 30 lines only.
  PutLine(0, "");
  highlighter.linesBegun = 0;
  core.Document().Insert({1, 1}, "/* open");
  EXPECT_EQ(highlighter.linesBegun, 30);
  std::vector<HighlightRange> commented = clean;
  std::fill(commented.begin() + 1, commented.begin() + 103, 1); // up to the line that closes it
  EXPECT_EQ(Ranges(), commented);
}

TEST_F(EditCore, RangesFollowInsertedAndDeletedLines) {
  TestHighlighter highlighter;
  core.SetHighLighter(&highlighter);
  Numbered(10);
  core.Document().Insert({1, 4}, "/* a comment that stays open\n");
  EXPECT_EQ(Ranges()[3], 0u);
  EXPECT_EQ(Ranges()[4], 1u);
  EXPECT_EQ(Ranges().back(), 1u);
  core.Document().Delete({1, 4}, {1, 5});
  EXPECT_EQ(Ranges(), std::vector<HighlightRange>(10, 0));
  core.Document().Insert({1, 1}, "/*\n");
  EXPECT_EQ(Ranges()[0], 0u);
  EXPECT_EQ(Ranges()[10], 1u);
  AppendLine("*/ end");
  EXPECT_EQ(Ranges().back(), 1u);
  AppendLine("after");
  EXPECT_EQ(Ranges().back(), 0u);
}

TEST_F(EditCore, LoadingScansEveryLineOnceAndAHighlighterGoingAwayIsForgotten) {
  auto highlighter = std::make_unique<TestHighlighter>();
  core.SetHighLighter(highlighter.get());
  highlighter->linesBegun = 0;
  Load("/* a\nb\nc */\nd\n");
  EXPECT_EQ(highlighter->linesBegun, 3); // the last line's end range is never needed
  EXPECT_EQ(Ranges(), (std::vector<HighlightRange>{0, 1, 1, 0}));
  highlighter.reset();
  EXPECT_EQ(core.HighLighter(), nullptr);
  PutLine(0, "still works");
}

TEST_F(EditCore, CaretIsClampedToTheTextWithAndWithoutScrollPastEol) {
  Numbered(10);
  core.SetCaretXY({5, 1000});
  EXPECT_EQ(Caret(), (TextPoint{5, 10}));
  core.SetCaretXY({50, 2});
  EXPECT_EQ(Caret(), (TextPoint{50, 2}));
  core.SetCaretXY({5000, 2});
  EXPECT_EQ(Caret(), (TextPoint{TextEditor::MaxLeftChar + 1, 2}));
  core.SetOptions(core.Options() & ~eoScrollPastEol);
  core.SetCaretXY({50, 2});
  EXPECT_EQ(Caret(), (TextPoint{7, 2}));
  core.SetCaretXY({-3, -3});
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
}

TEST_F(EditCore, VerticalMovesKeepTheColumnPastEolOrShortenIt) {
  core.Document().Load({std::string(40, 'x'), std::string(10, 'y'), std::string(40, 'z')});
  core.SetCaretXY({30, 1});
  Run(ecDown);
  EXPECT_EQ(Caret(), (TextPoint{30, 2}));
  core.SetOptions(core.Options() & ~eoScrollPastEol);
  core.SetCaretXY({30, 1});
  Run(ecDown);
  EXPECT_EQ(Caret(), (TextPoint{11, 2}));
  Run(ecDown);
  EXPECT_EQ(Caret(), (TextPoint{11, 3}));
}

TEST_F(EditCore, HorizontalMovesWrapOnlyWithoutScrollPastEol) {
  core.Document().Load({"ab", "cd"});
  core.SetCaretXY({3, 1});
  Run(ecRight);
  EXPECT_EQ(Caret(), (TextPoint{4, 1}));
  core.SetOptions(core.Options() & ~eoScrollPastEol);
  core.SetCaretXY({3, 1});
  Run(ecRight);
  EXPECT_EQ(Caret(), (TextPoint{1, 2}));
  Run(ecLeft);
  EXPECT_EQ(Caret(), (TextPoint{3, 1}));
  core.SetCaretXY({1, 1});
  Run(ecLeft);
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
}

TEST_F(EditCore, WordMovesCrossLines) {
  core.Document().Load({"int abc = 1;", "  next", ""});
  Run(ecWordRight);
  EXPECT_EQ(Caret(), (TextPoint{5, 1}));
  Run(ecWordRight);
  EXPECT_EQ(Caret(), (TextPoint{9, 1})); // '=' is a word character without a highlighter
  core.SetCaretXY({12, 1});              // before the last character
  Run(ecWordRight);
  EXPECT_EQ(Caret(), (TextPoint{3, 2}));
  Run(ecWordLeft);
  EXPECT_EQ(Caret(), (TextPoint{13, 1}));
  Run(ecWordLeft);
  EXPECT_EQ(Caret(), (TextPoint{11, 1}));

  TestHighlighter highlighter;
  core.SetHighLighter(&highlighter);
  core.SetCaretXY({5, 1});
  Run(ecWordRight);
  EXPECT_EQ(Caret(), (TextPoint{11, 1})); // over " = " to "1"
  core.SetCaretXY({7, 2});
  Run(ecWordRight);
  EXPECT_EQ(Caret(), (TextPoint{1, 3})); // next line has no word
  Run(ecSelWordLeft);
  EXPECT_EQ(Caret(), (TextPoint{7, 2}));
  EXPECT_EQ(core.BlockBegin(), (TextPoint{7, 2}));
  EXPECT_EQ(core.BlockEnd(), (TextPoint{1, 3}));
}

TEST_F(EditCore, PageMovesByTheWindowOrHalfOfIt) {
  Numbered(100);
  Run(ecPageDown);
  EXPECT_EQ(Caret().Y, 31);
  core.SetOptions(core.Options() | eoHalfPageScroll);
  Run(ecPageDown);
  EXPECT_EQ(Caret().Y, 46);
  Run(ecPageUp);
  EXPECT_EQ(Caret().Y, 31);
  Run(ecEditorBottom);
  EXPECT_EQ(Caret(), (TextPoint{9, 100}));
  EXPECT_EQ(core.TopLine(), 71);
  Run(ecPageTop);
  EXPECT_EQ(Caret(), (TextPoint{9, 71}));
  Run(ecPageBottom);
  EXPECT_EQ(Caret(), (TextPoint{9, 100}));
  Run(ecEditorTop);
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
  EXPECT_EQ(core.TopLine(), 1);
}

TEST_F(EditCore, SelectingMovesAndTheirCollapse) {
  Numbered(5);
  core.SetCaretXY({3, 2});
  Run(ecSelDown);
  EXPECT_TRUE(core.SelAvail());
  EXPECT_EQ(core.BlockBegin(), (TextPoint{3, 2}));
  EXPECT_EQ(core.BlockEnd(), (TextPoint{3, 3}));
  Run(ecLeft);
  EXPECT_FALSE(core.SelAvail());
  EXPECT_EQ(Caret(), (TextPoint{2, 3}));
  EXPECT_EQ(core.BlockBegin(), (TextPoint{2, 3}));

  // In column mode two points on one column select nothing.
  Run(ecColumnSelect);
  Run(ecSelDown);
  EXPECT_FALSE(core.SelAvail());
  Run(ecSelRight);
  EXPECT_TRUE(core.SelAvail());

  core.SelectAll();
  EXPECT_EQ(core.BlockBegin(), (TextPoint{1, 1}));
  EXPECT_EQ(core.BlockEnd(), (TextPoint{7, 5}));
  EXPECT_EQ(Caret(), (TextPoint{7, 5}));

  core.SetOptions(core.Options() | eoNoSelection);
  Run(ecEditorTop);
  Run(ecSelDown);
  EXPECT_FALSE(core.SelAvail());
}

TEST_F(EditCore, SelectionPointsAreClampedInNormalModeOnly) {
  core.Document().Load({"abc", "de"});
  core.SetBlockBegin({10, 9});
  EXPECT_EQ(core.BlockBegin(), (TextPoint{3, 2}));
  core.SetMode(SelectionMode::Column);
  core.SetBlockBegin({10, 1});
  core.SetBlockEnd({12, 2});
  EXPECT_EQ(core.BlockEnd(), (TextPoint{12, 2}));
  EXPECT_TRUE(core.SelAvail());
}

TEST_F(EditCore, MatchingBracketAcrossLinesWithNesting) {
  core.Document().Load({"f(a[1], (b)", "  ) { x }"});
  core.SetCaretXY({2, 1});
  Run(ecMatchBracket);
  EXPECT_EQ(Caret(), (TextPoint{3, 2}));
  Run(ecMatchBracket);
  EXPECT_EQ(Caret(), (TextPoint{2, 1}));
  core.SetCaretXY({5, 2});
  Run(ecMatchBracket);
  EXPECT_EQ(Caret(), (TextPoint{9, 2}));
  core.SetCaretXY({1, 1}); // not on a bracket
  Run(ecMatchBracket);
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
  core.Document().Load({"(("});
  core.SetCaretXY({1, 1});
  Run(ecMatchBracket);
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
}

// The highlighted pair is the bracket beside the caret (right of it first) and the one the jump
// goes to, as long as that is within a window's height.
TEST_F(EditCore, MatchedBracketsBesideTheCaret) {
  using Pair = TextEditor::BracketPair;
  core.Document().Load({"f(a[1], (b)", "  ) { x }"});
  core.SetCaretXY({2, 1});
  EXPECT_EQ(core.MatchedBrackets(), (Pair{{2, 1}, {3, 2}}));
  core.SetCaretXY({4, 2}); // after the closing bracket
  EXPECT_EQ(core.MatchedBrackets(), (Pair{{3, 2}, {2, 1}}));
  core.SetCaretXY({12, 1}); // after "(b)": the closing bracket left of the caret
  EXPECT_EQ(core.MatchedBrackets(), (Pair{{11, 1}, {9, 1}}));
  core.SetCaretXY({1, 1});
  EXPECT_EQ(core.MatchedBrackets(), std::nullopt);

  std::vector<std::string> lines(100, "x");
  lines.front() = "{";
  lines.back() = "}";
  core.Document().Load(lines);
  core.SetCaretXY({1, 1});
  EXPECT_EQ(core.MatchedBrackets(), std::nullopt);
  Run(ecMatchBracket);
  EXPECT_EQ(Caret(), (TextPoint{1, 100}));
}

TEST_F(EditCore, TopLineStopsAtTheLastLineAndScrollsPixelsForShortDistances) {
  Numbered(100);
  core.SetTopLine(1000);
  EXPECT_EQ(core.TopLine(), 100);
  core.SetTopLine(0);
  EXPECT_EQ(core.TopLine(), 1);
  view.scrolled.clear();
  core.SetTopLine(4);
  EXPECT_EQ(view.scrolled, (std::vector<int>{-48}));
  core.SetTopLine(60);
  EXPECT_EQ(view.scrolled.size(), 1u); // a jump of a whole window repaints instead
  core.SetLeftChar(5000);
  EXPECT_EQ(core.LeftChar(), TextEditor::MaxLeftChar - 80 + 1);
}

// The view reaches every byte of a 100 KB line: the caret, the scroll position and bar, selecting,
// typing, finding and replacing.
TEST_F(EditCore, EveryByteOfALongLineIsReachable) {
  const std::string longLine = std::string(100'000 - 3, 'x') + "end";
  core.Document().Load({"short", longLine});
  core.SetCaretXY({1, 2});
  Run(ecLineEnd);
  EXPECT_EQ(Caret(), (TextPoint{100'001, 2}));
  EXPECT_EQ(core.LeftChar(), 100'001 - 80 + 1); // the caret's column is in view
  core.ExecuteCommand(ecChar, '!');
  EXPECT_EQ(core.LineText(2), longLine + "!");
  EXPECT_EQ(core.HorizontalScrollInfo().Max, 100'002);
  core.HorizontalScroll(ScrollAction::Bottom);
  EXPECT_EQ(core.LeftChar(), 100'002 - 80 + 1);
  Run(ecSelLineStart);
  EXPECT_EQ(core.SelText(), longLine + "!");

  core.SetCaretXY({1, 1});
  EXPECT_EQ(core.SearchReplace("xend!", "", ssoEntireScope), 1);
  EXPECT_EQ(core.BlockEnd(), (TextPoint{100'002, 2}));
  EXPECT_EQ(core.SearchReplace("d!", "D", ssoEntireScope | ssoReplace | ssoReplaceAll), 1);
  EXPECT_EQ(core.LineText(2).substr(99'995), "xxenD");
  // Without long lines the limit is the classic one.
  PutLine(1, "short again");
  EXPECT_EQ(core.ScrollWidth(), TextEditor::MaxLeftChar);
}

TEST_F(EditCore, ScrollCommandsDragTheCaretAlong) {
  Numbered(100);
  Run(ecScrollDown);
  EXPECT_EQ(core.TopLine(), 2);
  EXPECT_EQ(Caret().Y, 2);
  core.SetCaretXY({1, 31});
  Run(ecScrollUp);
  EXPECT_EQ(core.TopLine(), 1);
  EXPECT_EQ(Caret().Y, 30);
  core.SetCaretXY({1, 1});
  Run(ecScrollRight);
  EXPECT_EQ(core.LeftChar(), 2);
  EXPECT_EQ(Caret().X, 2);
}

TEST_F(EditCore, WheelKeepsTheRemainderAndCtrlPages) {
  Numbered(200);
  core.SetTopLine(100);
  core.MouseWheel(-60, false, 3);
  EXPECT_EQ(core.TopLine(), 100);
  core.MouseWheel(-60, false, 3);
  EXPECT_EQ(core.TopLine(), 103);
  core.MouseWheel(240, false, 3);
  EXPECT_EQ(core.TopLine(), 97);
  core.MouseWheel(-120, true, 3);
  EXPECT_EQ(core.TopLine(), 127);
  core.MouseWheel(120, false, -1); // one page at a time
  EXPECT_EQ(core.TopLine(), 97);
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
}

TEST_F(EditCore, ScrollBarsScaleBeyond32767) {
  Numbered(100);
  core.SetTopLine(10);
  EXPECT_EQ(core.VerticalScrollInfo(), (ScrollBarInfo{1, 129, 30, 10}));
  EXPECT_EQ(core.HorizontalScrollInfo(), (ScrollBarInfo{1, 1024, 80, 1}));

  Numbered(65506); // maximum 65535
  core.SetTopLine(20000);
  const ScrollBarInfo info = core.VerticalScrollInfo();
  EXPECT_EQ(info.Min, 0);
  EXPECT_EQ(info.Max, 32767);
  EXPECT_EQ(info.Page, 14);
  EXPECT_EQ(info.Pos, 9999);
  core.VerticalScroll(ScrollAction::Thumb, 16383);
  EXPECT_NEAR(core.TopLine(), 32767, 2);
  core.VerticalScroll(ScrollAction::Bottom);
  EXPECT_EQ(core.TopLine(), 65506);
  core.VerticalScroll(ScrollAction::PageUp);
  EXPECT_EQ(core.TopLine(), 65476);
}

TEST_F(EditCore, StatusChangesWaitForThePaintLock) {
  Numbered(50);
  std::vector<StatusChanges> fired;
  int selectionChanges = 0;
  core.OnStatusChange = [&](StatusChanges changes) { fired.push_back(changes); };
  core.OnSelectionChange = [&] { ++selectionChanges; };
  core.IncPaintLock();
  core.SetCaretXY({3, 40});
  core.SetInsertMode(false);
  EXPECT_TRUE(fired.empty());
  core.DecPaintLock();
  ASSERT_EQ(fired.size(), 1u);
  EXPECT_EQ(fired[0], stCaretX | stCaretY | stTopLine | stInsertMode);
  EXPECT_EQ(selectionChanges, 1);
  core.SetCaretXY({3, 40});
  EXPECT_EQ(selectionChanges, 1);
  core.SetModified(true);
  EXPECT_EQ(fired.back(), stModified);
}

TEST_F(EditCore, CommandsPassTheirEventsAndCanBeCancelled) {
  Numbered(5);
  std::vector<std::string> log;
  core.OnProcessCommand = [&](EditorCommand& command, char&, const void*) {
    log.push_back("process " + std::to_string(command));
    if (command == ecDown) command = ecNone;
  };
  core.OnProcessUserCommand = [&](EditorCommand& command, char&, const void*) {
    log.push_back("user " + std::to_string(command));
  };
  core.OnCommandDone = [&] { log.push_back("done"); };
  Run(ecDown);
  Run(ecRight);
  Run(ecUserFirst);
  EXPECT_EQ(log, (std::vector<std::string>{"process 4", "process 2", "done", "user 1001"}));
  EXPECT_EQ(Caret(), (TextPoint{2, 1}));
  const TextPoint target{4, 3};
  core.ExecuteCommand(ecGotoXY, 0, &target);
  EXPECT_EQ(Caret(), target);
  core.ExecuteCommand(ecGotoXY); // without a point nothing moves
  EXPECT_EQ(Caret(), target);
}

TEST_F(EditCore, KeysReachCommandsThroughTheMap) {
  Numbered(5);
  EXPECT_TRUE(core.KeyDown(vk::Down, 0));
  EXPECT_EQ(Caret().Y, 2);
  EXPECT_TRUE(core.KeyDown(vk::End, ssShift));
  EXPECT_TRUE(core.SelAvail());
  EXPECT_FALSE(core.KeyDown('Q', 0));
  EXPECT_TRUE(core.KeyDown(vk::Insert, 0));
  EXPECT_FALSE(core.InsertMode());
  EXPECT_TRUE(core.KeyDown('L', ssShift | ssCtrl));
  EXPECT_EQ(core.Mode(), SelectionMode::Line);
}

// What the view had been asked to repaint when each line of a change reached the watchers.
struct RepaintProbe : DocumentWatcher {
  explicit RepaintProbe(const RecordingView& view) : view(view) {}
  void LinesChanged(const LineChange&) override { invalidatedSoFar.push_back(view.invalidated.size()); }
  const RecordingView& view;
  std::vector<std::size_t> invalidatedSoFar;
};

TEST_F(EditCore, AChangeOfSeveralLinesCollapsesTheSelectionAndRepaintsOnce) {
  Numbered(40);
  Run(ecSelDown);
  view.invalidated.clear();
  RepaintProbe probe(view);
  core.Document().AddWatcher(probe);
  core.Document().Insert({1, 2}, "changed\nchanged too\n");
  core.Document().RemoveWatcher(probe);
  ASSERT_EQ(probe.invalidatedSoFar.size(), 3u);
  for (std::size_t invalidated : probe.invalidatedSoFar)
    EXPECT_EQ(invalidated, 0u); // merged while the lines change
  EXPECT_FALSE(core.SelAvail());
  ASSERT_FALSE(view.invalidated.empty());

  core.Document().Load({});
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
  EXPECT_EQ(core.TopLine(), 1);
}

TEST_F(EditCore, ClearAllLeavesOneEmptyLineUnlessReadOnly) {
  Numbered(3);
  core.SetReadOnly(true);
  Run(ecClearAll);
  EXPECT_EQ(core.LineCount(), 3);
  core.SetReadOnly(false);
  Run(ecClearAll);
  EXPECT_EQ(core.Lines().Strings(), (std::vector<std::string>{""}));
}

TEST_F(EditCore, GutterWidthFollowsNumbersAndLineCount) {
  GutterLayout& gutter = core.Gutter();
  EXPECT_EQ(core.GutterWidth(), 30);
  gutter.SetShowLineNumbers(true);
  EXPECT_EQ(core.GutterWidth(), 52);
  Numbered(12345); // the field grows to the highest number's digits
  EXPECT_EQ(core.GutterWidth(), 60);
  gutter.SetZeroStart(true);
  Numbered(10000);
  EXPECT_EQ(core.GutterWidth(), 52); // 0 .. 9999
  gutter.SetVisible(false);
  EXPECT_EQ(core.GutterWidth(), 0);
  EXPECT_EQ(core.CharsInWindow(), 83);
}

TEST(Gutter, LineNumbersPadWithBlanksOrZeros) {
  GutterLayout gutter;
  gutter.SetShowLineNumbers(true);
  EXPECT_EQ(gutter.FormatLineNumber(7, 100), "   7");
  gutter.SetLeadingZeros(true);
  EXPECT_EQ(gutter.FormatLineNumber(7, 100), "0007");
  gutter.SetZeroStart(true);
  EXPECT_EQ(gutter.FormatLineNumber(1, 100), "0000");
  gutter.SetDigitCount(1);
  EXPECT_EQ(gutter.DigitCount(), 2);
  gutter.SetLeftOffset(-5);
  EXPECT_EQ(gutter.LeftOffset(), 0);
  int changes = 0;
  gutter.OnChange = [&] { ++changes; };
  gutter.SetLeftOffset(0);
  gutter.SetWidth(12);
  EXPECT_EQ(changes, 1);
}

} // namespace
