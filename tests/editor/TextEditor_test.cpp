// The editor model without a widget: highlighter ranges through edits, caret and selection rules,
// movement commands, scrolling, status events and command dispatch.
#include "SelectionText.h"
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
class TextEditorTest : public ::testing::Test {
protected:
  void SetUp() override {
    editor.Geometry().SetFontMetrics(8, 16);
    editor.Geometry().SetClientSize(30 + 2 + 80 * 8, 30 * 16);
    editor.SetView(&view);
  }
  void Load(const std::string& text) { editor.Document().Load(TextLines(text)); }
  // The text of line `index` (0-based) replaced.
  void PutLine(int index, std::string_view text) { ReplaceLine(editor.Document(), index + 1, text); }
  void AppendLine(const std::string& text) {
    const int last = editor.Document().LineCount();
    editor.Document().Insert({static_cast<int>(editor.Document().LineText(last).size()) + 1, last},
                             "\n" + text);
  }
  void Numbered(int count) {
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i)
      lines.push_back("line " + std::to_string(i));
    editor.Document().Load(lines);
  }
  void Run(EditorCommand command) { editor.ExecuteCommand(command); }
  TextPoint Caret() const { return editor.State().CaretXY(); }
  std::vector<HighlightRange> Ranges() const {
    std::vector<HighlightRange> ranges;
    for (int i = 0; i < editor.Document().LineCount(); ++i)
      ranges.push_back(editor.Document().Ranges().At(i));
    return ranges;
  }

  TextEditor editor;
  RecordingView view;
};

TEST_F(TextEditorTest, StartsWithOneEmptyLineAndTheDefaults) {
  EXPECT_EQ(editor.Document().LineCount(), 1);
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
  EXPECT_EQ(editor.State().Options(), 0x3C3);
  EXPECT_EQ(editor.Keystrokes().Count(), 84);
  EXPECT_EQ(editor.Geometry().CharsInWindow(), 80);
  EXPECT_EQ(editor.Geometry().LinesInWindow(), 30);
  EXPECT_TRUE(editor.State().InsertMode());
}

TEST_F(TextEditorTest, RangesFollowABlockCommentOpenedAndClosedMidFile) {
  TestHighlighter highlighter;
  editor.Document().SetHighLighter(&highlighter);
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
  editor.Document().Insert({1, 1}, "/* open");
  EXPECT_EQ(highlighter.linesBegun, 30);
  std::vector<HighlightRange> commented = clean;
  std::fill(commented.begin() + 1, commented.begin() + 103, 1); // up to the line that closes it
  EXPECT_EQ(Ranges(), commented);
}

TEST_F(TextEditorTest, RangesFollowInsertedAndDeletedLines) {
  TestHighlighter highlighter;
  editor.Document().SetHighLighter(&highlighter);
  Numbered(10);
  editor.Document().Insert({1, 4}, "/* a comment that stays open\n");
  EXPECT_EQ(Ranges()[3], 0u);
  EXPECT_EQ(Ranges()[4], 1u);
  EXPECT_EQ(Ranges().back(), 1u);
  editor.Document().Delete({1, 4}, {1, 5});
  EXPECT_EQ(Ranges(), std::vector<HighlightRange>(10, 0));
  editor.Document().Insert({1, 1}, "/*\n");
  EXPECT_EQ(Ranges()[0], 0u);
  EXPECT_EQ(Ranges()[10], 1u);
  AppendLine("*/ end");
  EXPECT_EQ(Ranges().back(), 1u);
  AppendLine("after");
  EXPECT_EQ(Ranges().back(), 0u);
}

TEST_F(TextEditorTest, LoadingScansEveryLineOnceAndAHighlighterGoingAwayIsForgotten) {
  auto highlighter = std::make_unique<TestHighlighter>();
  editor.Document().SetHighLighter(highlighter.get());
  highlighter->linesBegun = 0;
  Load("/* a\nb\nc */\nd\n");
  EXPECT_EQ(highlighter->linesBegun, 3); // the last line's end range is never needed
  EXPECT_EQ(Ranges(), (std::vector<HighlightRange>{0, 1, 1, 0}));
  highlighter.reset();
  EXPECT_EQ(editor.Document().HighLighter(), nullptr);
  PutLine(0, "still works");
}

TEST_F(TextEditorTest, CaretIsClampedToTheTextWithAndWithoutScrollPastEol) {
  Numbered(10);
  editor.State().SetCaretXY({5, 1000});
  EXPECT_EQ(Caret(), (TextPoint{5, 10}));
  editor.State().SetCaretXY({50, 2});
  EXPECT_EQ(Caret(), (TextPoint{50, 2}));
  editor.State().SetCaretXY({5000, 2});
  EXPECT_EQ(Caret(), (TextPoint{EditState::MaxLeftChar + 1, 2}));
  editor.State().SetOptions(editor.State().Options() & ~eoScrollPastEol);
  editor.State().SetCaretXY({50, 2});
  EXPECT_EQ(Caret(), (TextPoint{7, 2}));
  editor.State().SetCaretXY({-3, -3});
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
}

TEST_F(TextEditorTest, VerticalMovesKeepTheColumnPastEolOrShortenIt) {
  editor.Document().Load({std::string(40, 'x'), std::string(10, 'y'), std::string(40, 'z')});
  editor.State().SetCaretXY({30, 1});
  Run(ecDown);
  EXPECT_EQ(Caret(), (TextPoint{30, 2}));
  editor.State().SetOptions(editor.State().Options() & ~eoScrollPastEol);
  editor.State().SetCaretXY({30, 1});
  Run(ecDown);
  EXPECT_EQ(Caret(), (TextPoint{11, 2}));
  Run(ecDown);
  EXPECT_EQ(Caret(), (TextPoint{11, 3}));
}

TEST_F(TextEditorTest, HorizontalMovesWrapOnlyWithoutScrollPastEol) {
  editor.Document().Load({"ab", "cd"});
  editor.State().SetCaretXY({3, 1});
  Run(ecRight);
  EXPECT_EQ(Caret(), (TextPoint{4, 1}));
  editor.State().SetOptions(editor.State().Options() & ~eoScrollPastEol);
  editor.State().SetCaretXY({3, 1});
  Run(ecRight);
  EXPECT_EQ(Caret(), (TextPoint{1, 2}));
  Run(ecLeft);
  EXPECT_EQ(Caret(), (TextPoint{3, 1}));
  editor.State().SetCaretXY({1, 1});
  Run(ecLeft);
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
}

TEST_F(TextEditorTest, WordMovesCrossLines) {
  editor.Document().Load({"int abc = 1;", "  next", ""});
  Run(ecWordRight);
  EXPECT_EQ(Caret(), (TextPoint{5, 1}));
  Run(ecWordRight);
  EXPECT_EQ(Caret(), (TextPoint{9, 1})); // '=' is a word character without a highlighter
  editor.State().SetCaretXY({12, 1});    // before the last character
  Run(ecWordRight);
  EXPECT_EQ(Caret(), (TextPoint{3, 2}));
  Run(ecWordLeft);
  EXPECT_EQ(Caret(), (TextPoint{13, 1}));
  Run(ecWordLeft);
  EXPECT_EQ(Caret(), (TextPoint{11, 1}));

  TestHighlighter highlighter;
  editor.Document().SetHighLighter(&highlighter);
  editor.State().SetCaretXY({5, 1});
  Run(ecWordRight);
  EXPECT_EQ(Caret(), (TextPoint{11, 1})); // over " = " to "1"
  editor.State().SetCaretXY({7, 2});
  Run(ecWordRight);
  EXPECT_EQ(Caret(), (TextPoint{1, 3})); // next line has no word
  Run(ecSelWordLeft);
  EXPECT_EQ(Caret(), (TextPoint{7, 2}));
  EXPECT_EQ(editor.State().BlockBegin(), (TextPoint{7, 2}));
  EXPECT_EQ(editor.State().BlockEnd(), (TextPoint{1, 3}));
}

TEST_F(TextEditorTest, PageMovesByTheWindowOrHalfOfIt) {
  Numbered(100);
  Run(ecPageDown);
  EXPECT_EQ(Caret().Y, 31);
  editor.State().SetOptions(editor.State().Options() | eoHalfPageScroll);
  Run(ecPageDown);
  EXPECT_EQ(Caret().Y, 46);
  Run(ecPageUp);
  EXPECT_EQ(Caret().Y, 31);
  Run(ecEditorBottom);
  EXPECT_EQ(Caret(), (TextPoint{9, 100}));
  EXPECT_EQ(editor.Geometry().TopLine(), 71);
  Run(ecPageTop);
  EXPECT_EQ(Caret(), (TextPoint{9, 71}));
  Run(ecPageBottom);
  EXPECT_EQ(Caret(), (TextPoint{9, 100}));
  Run(ecEditorTop);
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
  EXPECT_EQ(editor.Geometry().TopLine(), 1);
}

TEST_F(TextEditorTest, SelectingMovesAndTheirCollapse) {
  Numbered(5);
  editor.State().SetCaretXY({3, 2});
  Run(ecSelDown);
  EXPECT_TRUE(editor.State().SelAvail());
  EXPECT_EQ(editor.State().BlockBegin(), (TextPoint{3, 2}));
  EXPECT_EQ(editor.State().BlockEnd(), (TextPoint{3, 3}));
  Run(ecLeft);
  EXPECT_FALSE(editor.State().SelAvail());
  EXPECT_EQ(Caret(), (TextPoint{2, 3}));
  EXPECT_EQ(editor.State().BlockBegin(), (TextPoint{2, 3}));

  // In column mode two points on one column select nothing.
  Run(ecColumnSelect);
  Run(ecSelDown);
  EXPECT_FALSE(editor.State().SelAvail());
  Run(ecSelRight);
  EXPECT_TRUE(editor.State().SelAvail());

  editor.ExecuteCommand(ecSelectAll);
  EXPECT_EQ(editor.State().BlockBegin(), (TextPoint{1, 1}));
  EXPECT_EQ(editor.State().BlockEnd(), (TextPoint{7, 5}));
  EXPECT_EQ(Caret(), (TextPoint{7, 5}));

  editor.State().SetOptions(editor.State().Options() | eoNoSelection);
  Run(ecEditorTop);
  Run(ecSelDown);
  EXPECT_FALSE(editor.State().SelAvail());
}

TEST_F(TextEditorTest, SelectionPointsAreClampedInNormalModeOnly) {
  editor.Document().Load({"abc", "de"});
  editor.State().SetBlockBegin({10, 9});
  EXPECT_EQ(editor.State().BlockBegin(), (TextPoint{3, 2}));
  editor.State().SetMode(SelectionMode::Column);
  editor.State().SetBlockBegin({10, 1});
  editor.State().SetBlockEnd({12, 2});
  EXPECT_EQ(editor.State().BlockEnd(), (TextPoint{12, 2}));
  EXPECT_TRUE(editor.State().SelAvail());
}

TEST_F(TextEditorTest, MatchingBracketAcrossLinesWithNesting) {
  editor.Document().Load({"f(a[1], (b)", "  ) { x }"});
  editor.State().SetCaretXY({2, 1});
  Run(ecMatchBracket);
  EXPECT_EQ(Caret(), (TextPoint{3, 2}));
  Run(ecMatchBracket);
  EXPECT_EQ(Caret(), (TextPoint{2, 1}));
  editor.State().SetCaretXY({5, 2});
  Run(ecMatchBracket);
  EXPECT_EQ(Caret(), (TextPoint{9, 2}));
  editor.State().SetCaretXY({1, 1}); // not on a bracket
  Run(ecMatchBracket);
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
  editor.Document().Load({"(("});
  editor.State().SetCaretXY({1, 1});
  Run(ecMatchBracket);
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
}

// The highlighted pair is the bracket beside the caret (right of it first) and the one the jump
// goes to, as long as that is within a window's height.
TEST_F(TextEditorTest, MatchedBracketsBesideTheCaret) {
  using Pair = TextEditor::BracketPair;
  editor.Document().Load({"f(a[1], (b)", "  ) { x }"});
  editor.State().SetCaretXY({2, 1});
  EXPECT_EQ(editor.MatchedBrackets(), (Pair{{2, 1}, {3, 2}}));
  editor.State().SetCaretXY({4, 2}); // after the closing bracket
  EXPECT_EQ(editor.MatchedBrackets(), (Pair{{3, 2}, {2, 1}}));
  editor.State().SetCaretXY({12, 1}); // after "(b)": the closing bracket left of the caret
  EXPECT_EQ(editor.MatchedBrackets(), (Pair{{11, 1}, {9, 1}}));
  editor.State().SetCaretXY({1, 1});
  EXPECT_EQ(editor.MatchedBrackets(), std::nullopt);

  std::vector<std::string> lines(100, "x");
  lines.front() = "{";
  lines.back() = "}";
  editor.Document().Load(lines);
  editor.State().SetCaretXY({1, 1});
  EXPECT_EQ(editor.MatchedBrackets(), std::nullopt);
  Run(ecMatchBracket);
  EXPECT_EQ(Caret(), (TextPoint{1, 100}));
}

TEST_F(TextEditorTest, TopLineStopsAtTheLastLineAndScrollsPixelsForShortDistances) {
  Numbered(100);
  editor.Geometry().SetTopLine(1000);
  EXPECT_EQ(editor.Geometry().TopLine(), 100);
  editor.Geometry().SetTopLine(0);
  EXPECT_EQ(editor.Geometry().TopLine(), 1);
  view.scrolled.clear();
  editor.Geometry().SetTopLine(4);
  EXPECT_EQ(view.scrolled, (std::vector<int>{-48}));
  editor.Geometry().SetTopLine(60);
  EXPECT_EQ(view.scrolled.size(), 1u); // a jump of a whole window repaints instead
  editor.Geometry().SetLeftChar(5000);
  EXPECT_EQ(editor.Geometry().LeftChar(), EditState::MaxLeftChar - 80 + 1);
}

// The view reaches every byte of a 100 KB line: the caret, the scroll position and bar, selecting,
// typing, finding and replacing.
TEST_F(TextEditorTest, EveryByteOfALongLineIsReachable) {
  const std::string longLine = std::string(100'000 - 3, 'x') + "end";
  editor.Document().Load({"short", longLine});
  editor.State().SetCaretXY({1, 2});
  Run(ecLineEnd);
  EXPECT_EQ(Caret(), (TextPoint{100'001, 2}));
  EXPECT_EQ(editor.Geometry().LeftChar(), 100'001 - 80 + 1); // the caret's column is in view
  editor.ExecuteCommand(ecChar, '!');
  EXPECT_EQ(editor.Document().LineText(2), longLine + "!");
  EXPECT_EQ(editor.Geometry().HorizontalScrollInfo().Max, 100'002);
  editor.Geometry().HorizontalScroll(ScrollAction::Bottom);
  EXPECT_EQ(editor.Geometry().LeftChar(), 100'002 - 80 + 1);
  Run(ecSelLineStart);
  EXPECT_EQ(SelectedText(editor.Document(), editor.State()), longLine + "!");

  editor.State().SetCaretXY({1, 1});
  EXPECT_EQ(editor.SearchReplace("xend!", "", ssoEntireScope), 1);
  EXPECT_EQ(editor.State().BlockEnd(), (TextPoint{100'002, 2}));
  EXPECT_EQ(editor.SearchReplace("d!", "D", ssoEntireScope | ssoReplace | ssoReplaceAll), 1);
  EXPECT_EQ(editor.Document().LineText(2).substr(99'995), "xxenD");
  // Without long lines the limit is MaxLeftChar again.
  PutLine(1, "short again");
  EXPECT_EQ(editor.State().ScrollWidth(), EditState::MaxLeftChar);
}

// A line of tabs is wider on screen than it is long: the view scrolls to its end and the caret
// may stand past it only up to the scroll width, whichever tab width the view shows.
TEST_F(TextEditorTest, TheScrollWidthCountsScreenColumns) {
  editor.State().SetOptions(editor.State().Options() | eoDesktopKeys | eoScrollPastEol);
  editor.State().SetTabWidth(4);
  const std::string tabs = std::string(300, '\t') + "end";
  editor.Document().Load({tabs, "short"});
  Run(ecLineEnd);
  EXPECT_EQ(editor.State().CaretDisplayColumn(), 1204);
  EXPECT_EQ(editor.Geometry().HorizontalScrollInfo().Max, 1204);
  EXPECT_EQ(editor.Geometry().LeftChar(), 1204 - 80 + 1);
  editor.State().SetCaretXY({5000, 2});
  EXPECT_EQ(editor.State().CaretDisplayColumn(), 1204 + 1);
  editor.State().SetTabWidth(8);
  EXPECT_EQ(editor.State().ScrollWidth(), 300 * 8 + 3 + 1);
  // A wide UTF-8 line is narrower than its bytes.
  std::string wide;
  for (int i = 0; i < 600; ++i)
    wide += "漢";
  editor.Document().Load({"", wide});
  EXPECT_EQ(editor.State().ScrollWidth(), 1201);
}

TEST_F(TextEditorTest, ScrollCommandsDragTheCaretAlong) {
  Numbered(100);
  Run(ecScrollDown);
  EXPECT_EQ(editor.Geometry().TopLine(), 2);
  EXPECT_EQ(Caret().Y, 2);
  editor.State().SetCaretXY({1, 31});
  Run(ecScrollUp);
  EXPECT_EQ(editor.Geometry().TopLine(), 1);
  EXPECT_EQ(Caret().Y, 30);
  editor.State().SetCaretXY({1, 1});
  Run(ecScrollRight);
  EXPECT_EQ(editor.Geometry().LeftChar(), 2);
  EXPECT_EQ(Caret().X, 2);
}

TEST_F(TextEditorTest, WheelKeepsTheRemainderAndCtrlPages) {
  Numbered(200);
  editor.Geometry().SetTopLine(100);
  editor.Geometry().MouseWheel(-60, false, 3);
  EXPECT_EQ(editor.Geometry().TopLine(), 100);
  editor.Geometry().MouseWheel(-60, false, 3);
  EXPECT_EQ(editor.Geometry().TopLine(), 103);
  editor.Geometry().MouseWheel(240, false, 3);
  EXPECT_EQ(editor.Geometry().TopLine(), 97);
  editor.Geometry().MouseWheel(-120, true, 3);
  EXPECT_EQ(editor.Geometry().TopLine(), 127);
  editor.Geometry().MouseWheel(120, false, -1); // one page at a time
  EXPECT_EQ(editor.Geometry().TopLine(), 97);
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
}

TEST_F(TextEditorTest, ScrollBarsScaleBeyond32767) {
  Numbered(100);
  editor.Geometry().SetTopLine(10);
  EXPECT_EQ(editor.Geometry().VerticalScrollInfo(), (ScrollBarInfo{1, 129, 30, 10}));
  EXPECT_EQ(editor.Geometry().HorizontalScrollInfo(), (ScrollBarInfo{1, 1024, 80, 1}));

  Numbered(65506); // maximum 65535
  editor.Geometry().SetTopLine(20000);
  const ScrollBarInfo info = editor.Geometry().VerticalScrollInfo();
  EXPECT_EQ(info.Min, 0);
  EXPECT_EQ(info.Max, 32767);
  EXPECT_EQ(info.Page, 14);
  EXPECT_EQ(info.Pos, 9999);
  editor.Geometry().VerticalScroll(ScrollAction::Thumb, 16383);
  EXPECT_NEAR(editor.Geometry().TopLine(), 32767, 2);
  editor.Geometry().VerticalScroll(ScrollAction::Bottom);
  EXPECT_EQ(editor.Geometry().TopLine(), 65506);
  editor.Geometry().VerticalScroll(ScrollAction::PageUp);
  EXPECT_EQ(editor.Geometry().TopLine(), 65476);
}

TEST_F(TextEditorTest, StatusChangesWaitForThePaintLock) {
  Numbered(50);
  std::vector<StatusChanges> fired;
  int selectionChanges = 0;
  editor.Events.OnStatusChange = [&](StatusChanges changes) { fired.push_back(changes); };
  editor.Events.OnSelectionChange = [&] { ++selectionChanges; };
  editor.IncPaintLock();
  editor.State().SetCaretXY({3, 40});
  editor.State().SetInsertMode(false);
  EXPECT_TRUE(fired.empty());
  editor.DecPaintLock();
  ASSERT_EQ(fired.size(), 1u);
  EXPECT_EQ(fired[0], stCaretX | stCaretY | stTopLine | stInsertMode);
  EXPECT_EQ(selectionChanges, 1);
  editor.State().SetCaretXY({3, 40});
  EXPECT_EQ(selectionChanges, 1);
  editor.Document().SetModified(true);
  EXPECT_EQ(fired.back(), stModified);
}

TEST_F(TextEditorTest, CommandsPassTheirEventsAndCanBeCancelled) {
  Numbered(5);
  std::vector<std::string> log;
  editor.Events.OnProcessCommand = [&](EditorCommand& command, char&, const void*) {
    log.push_back("process " + std::to_string(command));
    if (command == ecDown) command = ecNone;
  };
  editor.Events.OnProcessUserCommand = [&](EditorCommand& command, char&, const void*) {
    log.push_back("user " + std::to_string(command));
  };
  editor.Events.OnCommandDone = [&] { log.push_back("done"); };
  Run(ecDown);
  Run(ecRight);
  Run(ecUserFirst);
  EXPECT_EQ(log, (std::vector<std::string>{"process 4", "process 2", "done", "user 1001"}));
  EXPECT_EQ(Caret(), (TextPoint{2, 1}));
  const TextPoint target{4, 3};
  editor.ExecuteCommand(ecGotoXY, 0, &target);
  EXPECT_EQ(Caret(), target);
  editor.ExecuteCommand(ecGotoXY); // without a point nothing moves
  EXPECT_EQ(Caret(), target);
}

TEST_F(TextEditorTest, KeysReachCommandsThroughTheMap) {
  Numbered(5);
  EXPECT_TRUE(editor.KeyDown(vk::Down, 0));
  EXPECT_EQ(Caret().Y, 2);
  EXPECT_TRUE(editor.KeyDown(vk::End, ssShift));
  EXPECT_TRUE(editor.State().SelAvail());
  EXPECT_FALSE(editor.KeyDown('Q', 0));
  EXPECT_TRUE(editor.KeyDown(vk::Insert, 0));
  EXPECT_FALSE(editor.State().InsertMode());
  EXPECT_TRUE(editor.KeyDown('L', ssShift | ssCtrl));
  EXPECT_EQ(editor.State().Mode(), SelectionMode::Line);
}

// What the view had been asked to repaint when each line of a change reached the watchers.
struct RepaintProbe : DocumentWatcher {
  explicit RepaintProbe(const RecordingView& view) : view(view) {}
  void LinesChanged(const LineChange&) override { invalidatedSoFar.push_back(view.invalidated.size()); }
  const RecordingView& view;
  std::vector<std::size_t> invalidatedSoFar;
};

TEST_F(TextEditorTest, AChangeOfSeveralLinesCollapsesTheSelectionAndRepaintsOnce) {
  Numbered(40);
  Run(ecSelDown);
  view.invalidated.clear();
  RepaintProbe probe(view);
  editor.Document().AddWatcher(probe);
  editor.Document().Insert({1, 2}, "changed\nchanged too\n");
  editor.Document().RemoveWatcher(probe);
  ASSERT_EQ(probe.invalidatedSoFar.size(), 3u);
  for (std::size_t invalidated : probe.invalidatedSoFar)
    EXPECT_EQ(invalidated, 0u); // merged while the lines change
  EXPECT_FALSE(editor.State().SelAvail());
  ASSERT_FALSE(view.invalidated.empty());

  editor.Document().Load({});
  EXPECT_EQ(Caret(), (TextPoint{1, 1}));
  EXPECT_EQ(editor.Geometry().TopLine(), 1);
}

TEST_F(TextEditorTest, ClearAllLeavesOneEmptyLineUnlessReadOnly) {
  Numbered(3);
  editor.State().SetReadOnly(true);
  Run(ecClearAll);
  EXPECT_EQ(editor.Document().LineCount(), 3);
  editor.State().SetReadOnly(false);
  Run(ecClearAll);
  EXPECT_EQ(editor.Document().Lines().Strings(), (std::vector<std::string>{""}));
}

TEST_F(TextEditorTest, GutterWidthFollowsNumbersAndLineCount) {
  GutterLayout& gutter = editor.Gutter();
  EXPECT_EQ(editor.Geometry().GutterWidth(), 30);
  gutter.SetShowLineNumbers(true);
  EXPECT_EQ(editor.Geometry().GutterWidth(), 52);
  Numbered(12345); // the field grows to the highest number's digits
  EXPECT_EQ(editor.Geometry().GutterWidth(), 60);
  gutter.SetZeroStart(true);
  Numbered(10000);
  EXPECT_EQ(editor.Geometry().GutterWidth(), 52); // 0 .. 9999
  gutter.SetVisible(false);
  EXPECT_EQ(editor.Geometry().GutterWidth(), 0);
  EXPECT_EQ(editor.Geometry().CharsInWindow(), 83);
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
