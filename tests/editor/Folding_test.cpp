// Folding: the ranges the scan finds, folds following edits, and two views of one document
// folding, moving and editing at random, each checked against a brute-force model at every step.
#include "EditorWidget.h"
#include "FoldRanges.h"
#include "TextLines.h"

#include <QTest>
#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

std::string Shown(const std::vector<FoldRange>& ranges) {
  std::string text;
  for (const FoldRange& range : ranges)
    text += std::to_string(range.header) + "-" + std::to_string(range.lastHidden) + " ";
  return text;
}

std::vector<FoldRange> RangesOf(std::string_view text) {
  TextDocument document;
  document.Load(TextLines(text));
  return FindFoldRanges(document);
}

TEST(FoldRanges, BracesAndCommentsOverLinesFoldOthersDoNot) {
  // A block, its head above a lone brace, a nested block, a comment.
  EXPECT_EQ(Shown(RangesOf("void f(void)\n{\n  if (a) {\n    b();\n  }\n}\n/* one\n   two */\nint x;")),
            "1-6 3-5 7-8 ");
  // Braces and comment openers in strings, character constants and line comments do not count.
  EXPECT_EQ(Shown(RangesOf("s = \"{\";\nc = '{';\n// {\nd = \"\\\"/*\";\nx;\n}")), "");
  // A closer with code after it stays visible; `};` and `})` do not count as code.
  EXPECT_EQ(Shown(RangesOf("if (a) {\n  b();\n  c();\n} else {\n  d();\n}")), "1-3 4-6 ");
  EXPECT_EQ(Shown(RangesOf("int t[] = {\n  1,\n};")), "1-3 ");
  // Nothing to hide: a block on two lines whose closer line has code after it.
  EXPECT_EQ(Shown(RangesOf("if (a) {\n} else\n  b();")), "");
  // A lone brace after a statement heads itself; so does one after a preprocessor line.
  EXPECT_EQ(Shown(RangesOf("x = 1;\n{\n  y;\n}\n#if A\n{\n  z;\n}\n#endif")), "2-4 6-8 ");
  // An unclosed comment or brace folds nothing, and a stray closer is ignored.
  EXPECT_EQ(Shown(RangesOf("}\n/* open\n{\n  a;\n")), "");
}

// Every line's row by counting, the model the row map must agree with.
void ExpectRowsAsCounted(const TextEditor& view, const std::string& where) {
  const RowMap& rows = view.Geometry().Rows();
  std::set<int> hidden;
  for (const LineSpan& span : view.Folds().HiddenSpans())
    for (int line = span.first; line <= span.last; ++line)
      hidden.insert(line);
  const int lineCount = view.Document().LineCount();
  int row = 0;
  for (int line = 1; line <= lineCount + 3; ++line) {
    const bool isHidden = hidden.count(line) > 0;
    ASSERT_EQ(rows.Hidden(line), isHidden) << where << " line " << line;
    if (!isHidden) {
      ++row;
      ASSERT_EQ(rows.LineOf(row), line) << where << " row " << row;
    }
    ASSERT_EQ(rows.RowOf(line), row) << where << " line " << line;
  }
  ASSERT_EQ(view.Geometry().RowCount(), rows.RowOf(lineCount)) << where;
  const ScrollBarInfo bar = view.Geometry().VerticalScrollInfo();
  ASSERT_EQ(bar.Max, view.Geometry().RowCount() + view.Geometry().LinesInWindow() - 1) << where;
  ASSERT_FALSE(hidden.count(view.State().CaretY())) << where << " caret on a hidden line";
  ASSERT_FALSE(hidden.count(view.Geometry().TopLine())) << where << " top line hidden";
  // The view's ranges, kept from line summaries made again only for changed lines, are those a
  // fresh scan finds; every fold is one of them.
  const std::vector<FoldRange> found = FindFoldRanges(view.Document());
  ASSERT_EQ(Shown(view.Foldable().All()), Shown(found)) << where;
  ASSERT_TRUE(view.Foldable().All() == found) << where;
  for (const FoldRange& fold : view.Folds().Folded())
    ASSERT_TRUE(std::find(found.begin(), found.end(), fold) != found.end())
        << where << " fold " << fold.header << "-" << fold.lastHidden << " is no range of the text";
}

void ExpectCaretOnScreen(const TextEditor& view, const std::string& where) {
  const ViewGeometry& geometry = view.Geometry();
  const int caretRow = geometry.Rows().RowOf(view.State().CaretY());
  ASSERT_GE(caretRow, geometry.TopRow()) << where;
  ASSERT_LT(caretRow, geometry.TopRow() + geometry.LinesInWindow()) << where;
  const TextPoint pixel = geometry.RowColumnToPixels(view.State().CaretXY());
  ASSERT_EQ(geometry.PixelsToRowColumn(pixel.X + 1, pixel.Y + 1).Y, view.State().CaretY()) << where;
}

std::string RandomLine(std::mt19937& random) {
  static const std::vector<std::string> pieces = {"{",  "}",    "/*", "*/",     "\"{\"", "'}'", "// {",
                                                  "x;", "f(a)", " ",  "} else", "};",    "",    "if (b)"};
  std::string line;
  for (auto count = random() % 4; count > 0; --count)
    line += pieces[random() % pieces.size()];
  return line;
}

TextPoint RandomPoint(std::mt19937& random, const TextDocument& document) {
  const int line = 1 + static_cast<int>(random() % static_cast<unsigned>(document.LineCount()));
  return {1 + static_cast<int>(random() % (document.LineText(line).size() + 1)), line};
}

using Pair = std::pair<std::pair<int, int>, std::pair<int, int>>;
std::set<Pair> EndsOf(const std::vector<FoldRange>& folds, const TextSpanChange* change = nullptr) {
  std::set<Pair> ends;
  for (const FoldRange& fold : folds) {
    const TextPoint opener = change ? Moved(fold.opener, *change) : fold.opener;
    const TextPoint closer = change ? Moved(fold.closer, *change) : fold.closer;
    ends.insert({{opener.X, opener.Y}, {closer.X, closer.Y}});
  }
  return ends;
}

// Two views of one random C-like text fold, unfold, move and edit at random. After each step both
// views agree with the model; folding and moving leave the text, its history and its modified flag
// alone; an insertion of plain text at a line's start keeps every fold on its moved ends, but for
// those it reveals a caret in.
TEST(Folding, RandomFoldsMovesAndEditsInTwoViewsAgreeWithTheModel) {
  std::mt19937 random(35);
  for (int round = 0; round < 60; ++round) {
    TextEditor first;
    TextEditor second(first.SharedDocument());
    for (TextEditor* view : {&first, &second}) {
      view->Geometry().SetFontMetrics(8, 16);
      view->Geometry().SetClientSize(300, 160);
      view->State().SetOptions(round % 2 ? kDesktopEditorOptions : kDefaultEditorOptions);
    }
    TextDocument& document = first.Document();
    std::vector<std::string> lines(5 + random() % 40);
    for (std::string& line : lines)
      line = RandomLine(random);
    document.Load(lines);
    for (int step = 0; step < 150; ++step) {
      TextEditor& view = random() % 2 ? second : first;
      const std::vector<std::string> textBefore = document.Lines().Strings();
      const int undoBefore = document.UndoRecords().Count();
      const bool modifiedBefore = document.Modified();
      const TextPoint caretBefore = view.State().CaretXY();
      const int action = static_cast<int>(random() % 12);
      std::string where = "round " + std::to_string(round) + " step " + std::to_string(step) + " action " +
                          std::to_string(action);
      bool edits = false;
      std::optional<TextSpanChange> plain;
      const std::vector<FoldRange> before[2] = {first.Folds().Folded(), second.Folds().Folded()};
      switch (action) {
      case 0:
      case 1:
        view.ToggleFoldAt(1 + static_cast<int>(random() % static_cast<unsigned>(document.LineCount())));
        break;
      case 2: view.ExecuteCommand(ecFold); break;
      case 3: view.ExecuteCommand(random() % 3 ? ecUnfold : ecUnfoldAll); break;
      case 4: view.ExecuteCommand(random() % 3 ? ecFoldAll : ecFold); break;
      case 5: {
        static const EditorCommand moves[] = {ecUp,    ecDown,    ecPageUp,     ecPageDown,   ecLeft,
                                              ecRight, ecSelDown, ecPageBottom, ecScrollDown, ecScrollUp};
        view.ExecuteCommand(moves[random() % std::size(moves)]);
        break;
      }
      case 6: {
        const TextPoint target = RandomPoint(random, document);
        view.ExecuteCommand(ecGotoXY, 0, &target);
        break;
      }
      case 7: view.Geometry().VerticalScroll(static_cast<ScrollAction>(random() % 6)); break;
      case 8: {
        // Plain text at a line's start, from outside the views.
        const TextPoint at{1, 1 + static_cast<int>(random() % static_cast<unsigned>(document.LineCount()))};
        const std::string text = random() % 2 ? "ab\n" : "cd";
        const TextPoint end = text == "cd" ? TextPoint{3, at.Y} : TextPoint{1, at.Y + 1};
        plain = TextSpanChange{at, at, end};
        document.Insert(at, text);
        edits = true;
        break;
      }
      default: {
        const TextPoint target = RandomPoint(random, document);
        view.ExecuteCommand(ecGotoXY, 0, &target);
        static const EditorCommand editsOf[] = {ecDeleteChar, ecDeleteLastChar, ecLineBreak, ecDeleteLine};
        if (random() % 2)
          view.ExecuteCommand(editsOf[random() % std::size(editsOf)]);
        else
          view.SetSelText(RandomLine(random));
        edits = true;
        break;
      }
      }
      if (!edits) {
        ASSERT_EQ(document.Lines().Strings(), textBefore) << where;
        ASSERT_EQ(document.UndoRecords().Count(), undoBefore) << where;
        ASSERT_EQ(document.Modified(), modifiedBefore) << where;
      }
      for (TextEditor* each : {&first, &second})
        ExpectRowsAsCounted(*each, where + (each == &first ? " first" : " second"));
      // A caret that moved is scrolled into view.
      if ((action == 5 || action == 6) && view.State().CaretXY() != caretBefore)
        ExpectCaretOnScreen(view, where);
      if (plain)
        for (int index = 0; index < 2; ++index) {
          const TextEditor& each = index == 0 ? first : second;
          const std::set<Pair> expected = EndsOf(before[index], &*plain);
          const int caret = each.State().CaretY();
          for (const Pair& ends : EndsOf(each.Folds().Folded()))
            ASSERT_TRUE(expected.count(ends)) << where << " a fold appeared";
          for (const Pair& ends : expected)
            if (caret < ends.first.second - 1 || caret > ends.second.second) {
              ASSERT_TRUE(EndsOf(each.Folds().Folded()).count(ends))
                  << where << " view " << index << " lost the fold at " << ends.first.second;
            }
        }
    }
  }
}

TextEditor& Sized(TextEditor& view) {
  view.Geometry().SetFontMetrics(8, 16);
  view.Geometry().SetClientSize(300, 64); // four rows
  return view;
}

// Up and Down step over a fold as over one line, so do Left at a line's start and Right past its
// end, pages count rows, and the caret leaves what a fold at the caret hides for the fold's header.
TEST(Folding, TheCaretMovesByRowsAndNeverIntoAFold) {
  TextEditor view;
  Sized(view).Document().Load(TextLines("int f(void)\n{\n  a();\n  b();\n}\nint x;\nint y;\nint z;\nint w;"));
  const TextPoint inside{3, 3};
  view.ExecuteCommand(ecGotoXY, 0, &inside);
  view.ExecuteCommand(ecFold);
  EXPECT_TRUE(view.Folds().IsFolded(1));
  EXPECT_EQ(view.State().CaretXY(), (TextPoint{12, 1}));
  view.ExecuteCommand(ecDown);
  EXPECT_EQ(view.State().CaretY(), 6);
  view.ExecuteCommand(ecUp);
  EXPECT_EQ(view.State().CaretY(), 1);
  view.ExecuteCommand(ecPageDown);
  EXPECT_EQ(view.State().CaretY(), 9);
  EXPECT_EQ(view.Geometry().TopLine(), 6);
  view.ExecuteCommand(ecPageUp);
  EXPECT_EQ(view.State().CaretY(), 1);
  view.State().SetOptions(view.State().Options() & ~eoScrollPastEol);
  view.ExecuteCommand(ecLineEnd);
  view.ExecuteCommand(ecRight);
  EXPECT_EQ(view.State().CaretXY(), (TextPoint{1, 6}));
  view.ExecuteCommand(ecLeft);
  EXPECT_EQ(view.State().CaretXY(), (TextPoint{12, 1}));
  EXPECT_TRUE(view.Folds().IsFolded(1));
  view.ExecuteCommand(ecUnfold);
  EXPECT_FALSE(view.Folds().IsFolded(1));
}

// Deleting a fold's closing brace or its opening one ends the fold; typing inside the other view
// moves it along.
TEST(Folding, AFoldEndsWithItsBracesAndFollowsEditsAroundIt) {
  TextEditor view;
  TextEditor other(view.SharedDocument());
  Sized(view);
  Sized(other);
  TextDocument& document = view.Document();
  document.Load(TextLines("int x;\nvoid f(void) {\n  a();\n  b();\n}\nvoid g(void) {\n  c();\n}"));
  ASSERT_TRUE(view.Folds().Fold(2));
  ASSERT_TRUE(view.Folds().Fold(6));
  const TextPoint top{1, 1};
  other.ExecuteCommand(ecGotoXY, 0, &top);
  other.SetSelText("/* new */\n");
  EXPECT_TRUE(view.Folds().IsFolded(3));
  EXPECT_TRUE(view.Folds().IsFolded(7));
  EXPECT_TRUE(view.Geometry().Rows().Hidden(5));
  const TextPoint closer{1, 6};
  other.ExecuteCommand(ecGotoXY, 0, &closer);
  other.ExecuteCommand(ecDeleteChar);
  EXPECT_FALSE(view.Folds().IsFolded(3));
  EXPECT_TRUE(view.Folds().IsFolded(7)) << "the brace of the other block";
  EXPECT_EQ(document.LineText(6), "");
  const TextPoint opener{14, 7};
  other.ExecuteCommand(ecGotoXY, 0, &opener);
  other.ExecuteCommand(ecDeleteChar);
  EXPECT_TRUE(view.Folds().Empty());
  EXPECT_TRUE(other.Folds().Empty());
}

// A click on a header's toggle in the gutter folds the range; the rows below show the lines after
// it, painted; going to a hidden line unfolds it.
TEST(Folding, TheGutterToggleFoldsAndGoingIntoAFoldUnfoldsIt) {
  EditorWidget widget;
  widget.resize(400, 300);
  TextEditor& editor = widget.Editor();
  editor.Gutter().SetShowFolds(true);
  editor.Document().Load(TextLines("void f(void)\n{\n  a();\n  b();\n}\nint x;"));
  widget.show();
  const ViewGeometry& geometry = editor.Geometry();
  const int rowMiddle = geometry.LineHeight() / 2;
  QTest::mouseClick(widget.viewport(), Qt::LeftButton, {}, QPoint(geometry.GutterWidth() - 4, rowMiddle));
  EXPECT_TRUE(editor.Folds().IsFolded(1));
  EXPECT_EQ(geometry.RowCount(), 2);
  EXPECT_FALSE(widget.grab().isNull());
  QTest::mouseClick(widget.viewport(), Qt::LeftButton, {},
                    QPoint(geometry.GutterWidth() + 20, rowMiddle * 3));
  EXPECT_EQ(editor.State().CaretY(), 6);
  const TextPoint hidden{3, 4};
  editor.ExecuteCommand(ecGotoXY, 0, &hidden);
  EXPECT_FALSE(editor.Folds().IsFolded(1));
  EXPECT_EQ(geometry.RowCount(), 6);
  QTest::mouseClick(widget.viewport(), Qt::LeftButton, {}, QPoint(geometry.GutterWidth() - 4, rowMiddle));
  EXPECT_TRUE(editor.Folds().IsFolded(1));
  EXPECT_EQ(editor.State().CaretY(), 1) << "the caret leaves the lines the fold hides";
  editor.ExecuteCommand(ecUnfoldAll);
  EXPECT_TRUE(editor.Folds().Empty());
}

} // namespace
