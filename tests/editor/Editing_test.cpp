// Editing commands, undo and redo, clipboard and bookmarks on the editor model.
#include "EditScript.h"
#include "TextLines.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

using EditScript::MemoryClipboard;

class Editing : public ::testing::Test {
protected:
  void SetUp() override {
    core.SetFontMetrics(8, 16);
    core.SetClientSize(30 + 2 + 80 * 8, 30 * 16);
    core.SetClipboard(&clipboard);
    core.SetMaxUndo(1000);
  }
  // Loads the lines as a file would be, which also starts a fresh undo history.
  void Text(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines)
      text += line + "\r\n";
    core.Document().Load(TextLines(text));
  }
  Lines Text() const { return core.Lines().Strings(); }
  void Run(EditorCommand command, char ch = 0) { core.ExecuteCommand(command, ch); }
  void Type(std::string_view text) {
    for (char ch : text)
      Run(ecChar, ch);
  }
  void Select(TextPoint from, TextPoint to) {
    core.SetBlockBegin(from);
    core.SetBlockEnd(to);
    core.SetCaretXY(to);
  }
  // Undoes everything, checks the text, redoes everything and checks again.
  void ExpectUndoRedo(const Lines& before, const Lines& after) {
    while (core.CanUndo())
      Run(ecUndo);
    EXPECT_EQ(Text(), before);
    while (core.CanRedo())
      Run(ecRedo);
    EXPECT_EQ(Text(), after);
  }

  TextEditor core;
  MemoryClipboard clipboard;
};

TEST_F(Editing, TypingPadsInsertsOverwritesAndTrims) {
  core.SetCaretXY({10, 1});
  Run(ecChar, 'a');
  EXPECT_EQ(Text(), Lines{"         a"});
  Run(ecChar, ' ');
  EXPECT_EQ(Text(), Lines{"         a"});
  EXPECT_EQ(core.CaretXY(), (TextPoint{12, 1}));
  Run(ecChar, '\t');
  Run(ecChar, 127);
  EXPECT_EQ(Text(), Lines{"         a"});

  Text({"abcdef"});
  core.SetCaretXY({2, 1});
  Run(ecToggleMode);
  Type("XY");
  EXPECT_EQ(Text(), Lines{"aXYdef"});
  // Undo gives back the overwritten characters, redo overwrites them again.
  ExpectUndoRedo({"abcdef"}, {"aXYdef"});
}

// Undo gives back exactly what the commands took, with the window's default options: here the
// line break trims the blank typed before it and auto-indent moves the rest of the line down.
TEST_F(Editing, UndoGivesBackEveryBlankItTook) {
  Text({"  ab"});
  Type("a ");
  Run(ecLineBreak);
  for (int i = 0; i < 3; ++i)
    Run(ecUndo);
  EXPECT_EQ(Text(), Lines{"  ab"});
}

TEST_F(Editing, TypingOverASelectionUndoesInOneStep) {
  Text({"one two", "three"});
  core.SelectAll();
  Run(ecChar, 'x');
  EXPECT_EQ(Text(), Lines{"x"});
  Run(ecUndo);
  EXPECT_EQ(Text(), (Lines{"one two", "three"}));
  Run(ecRedo);
  EXPECT_EQ(Text(), Lines{"x"});

  Text({"int value;"});
  Select({5, 1}, {10, 1});
  Type("n");
  EXPECT_EQ(Text(), Lines{"int n;"});
  Run(ecUndo);
  EXPECT_EQ(Text(), Lines{"int value;"});
}

TEST_F(Editing, SelectedTextInTheThreeModes) {
  Text({"abcdef", "ghijkl", "mnopqr"});
  Select({3, 1}, {2, 3});
  EXPECT_EQ(core.SelText(), "cdef\r\nghijkl\r\nm");
  core.SetMode(SelectionMode::Column);
  EXPECT_EQ(core.SelText(), "b\r\nh\r\nn");
  core.SetMode(SelectionMode::Line);
  EXPECT_EQ(core.SelText(), "abcdef\r\nghijkl\r\nmnopqr");
  Select({1, 1}, {1, 2});
  EXPECT_EQ(core.SelText(), "abcdef\r\nghijkl\r\n");
}

TEST_F(Editing, ReplacingTheSelectionInEachMode) {
  Text({"abcdef", "ghijkl", "mnopqr"});
  Select({3, 1}, {2, 3});
  core.SetSelTextPrimitive(SelectionMode::Normal, "X\r\nY");
  EXPECT_EQ(Text(), (Lines{"abX", "Ynopqr"}));
  EXPECT_EQ(core.CaretXY(), (TextPoint{2, 2}));

  Text({"abcdef", "gh", "mnopqr"});
  core.SetMode(SelectionMode::Column);
  Select({4, 3}, {2, 1}); // the block goes in from the line of the moving end
  core.SetSelTextPrimitive(SelectionMode::Column, "12\r\n34\r\n56\r\n78");
  EXPECT_EQ(Text(), (Lines{"a12def", "g34", "m56pqr", " 78"}));

  Text({"one", "two", "three"});
  core.SetMode(SelectionMode::Line);
  Select({2, 2}, {2, 3});
  core.SetSelTextPrimitive(SelectionMode::Line, "new\r\nlines\r\n");
  EXPECT_EQ(Text(), (Lines{"one", "new", "lines", ""}));
  core.SetSelTextPrimitive(SelectionMode::Line, "head");
  EXPECT_EQ(Text(), (Lines{"one", "new", "lines", "head"}));
  EXPECT_EQ(core.CaretXY(), (TextPoint{5, 4}));
}

TEST_F(Editing, LineBreaksKeepIndentation) {
  Text({"    body();"});
  core.SetCaretXY({9, 1});
  Run(ecLineBreak);
  EXPECT_EQ(Text(), (Lines{"    body", "    ();"}));
  EXPECT_EQ(core.CaretXY(), (TextPoint{5, 2}));
  ExpectUndoRedo({"    body();"}, {"    body", "    ();"});

  Text({"text"});
  core.SetCaretXY({1, 1});
  Run(ecLineBreak);
  EXPECT_EQ(Text(), (Lines{"", "text"}));
  Run(ecUndo);
  EXPECT_EQ(Text(), Lines{"text"});

  Text({"  x"});
  core.SetCaretXY({4, 1});
  Run(ecInsertLine);
  EXPECT_EQ(Text(), (Lines{"  x", ""}));
  EXPECT_EQ(core.CaretXY(), (TextPoint{4, 1}));
}

TEST_F(Editing, BackspaceAndDelete) {
  Text({"  a", "    b"});
  core.SetCaretXY({5, 2});
  Run(ecDeleteLastChar);
  EXPECT_EQ(Text(), (Lines{"  a", "  b"})); // back to the indentation above
  core.SetCaretXY({1, 2});
  Run(ecDeleteLastChar);
  EXPECT_EQ(Text(), Lines{"  a  b"});
  core.SetCaretXY({1, 1});
  Run(ecDeleteLastChar);
  EXPECT_EQ(Text(), Lines{"  a  b"});
  ExpectUndoRedo({"  a", "    b"}, {"  a  b"});

  Text({"ab", "cd"});
  core.SetCaretXY({3, 2});
  Run(ecDeleteChar);
  EXPECT_EQ(Text(), (Lines{"ab", "cd"}));
  core.SetCaretXY({3, 1});
  Run(ecDeleteChar);
  EXPECT_EQ(Text(), Lines{"abcd"});
  Run(ecDeleteChar);
  EXPECT_EQ(Text(), Lines{"abd"});
  ExpectUndoRedo({"ab", "cd"}, {"abd"});
}

TEST_F(Editing, WordAndLineDeletions) {
  Text({"alpha beta gamma", "second"});
  core.SetCaretXY({7, 1});
  Run(ecDeleteWord);
  EXPECT_EQ(Text()[0], "alpha gamma");
  Run(ecDeleteLastWord);
  EXPECT_EQ(Text()[0], "gamma");
  core.SetCaretXY({3, 1});
  Run(ecDeleteEOL);
  EXPECT_EQ(Text()[0], "ga");
  Run(ecDeleteBOL);
  EXPECT_EQ(Text()[0], "");
  core.SetCaretXY({3, 2});
  Run(ecDeleteLine);
  EXPECT_EQ(Text(), Lines{""});
  Run(ecDeleteLine);
  EXPECT_EQ(Text(), Lines{""});
  ExpectUndoRedo({"alpha beta gamma", "second"}, {""});
}

TEST_F(Editing, TabInsertsBlanksToTheNextStopOrTheLineAbove) {
  core.SetOptions(core.Options() & ~eoSmartTabs);
  Text({"x"});
  core.SetCaretXY({1, 1});
  Run(ecTab);
  EXPECT_EQ(Text(), Lines{"        x"});
  core.SetCaretXY({3, 1});
  Text({"abx"});
  core.SetCaretXY({3, 1});
  Run(ecTab);
  EXPECT_EQ(Text(), Lines{"ab      x"});
  core.SetOptions(core.Options() | eoSmartTabs);
  Text({"int  x;", "y"});
  core.SetCaretXY({1, 2});
  Run(ecTab);
  EXPECT_EQ(Text()[1], "     y");
}

TEST_F(Editing, TabAndShiftTabOverSeveralLinesIndentAndUnindentThem) {
  Text({"a", "  b", "c"});
  Select({1, 1}, {2, 2});
  Run(ecTab);
  EXPECT_EQ(Text(), (Lines{"        a", "          b", "c"}));
  Run(ecShiftTab);
  Run(ecShiftTab);
  EXPECT_EQ(Text(), (Lines{"a", "b", "c"}));
  // Within one line Tab replaces the selection by blanks, and Shift+Tab does nothing.
  Select({1, 3}, {2, 3});
  Run(ecShiftTab);
  EXPECT_EQ(Text()[2], "c");
  Run(ecTab);
  EXPECT_EQ(Text()[2], "");
}

TEST_F(Editing, BlockIndentAndUnindentHonourTheLastLineRule) {
  Text({"a", "b", "c", "d", "e"});
  Select({1, 2}, {1, 5});
  Run(ecBlockIndent);
  EXPECT_EQ(Text(), (Lines{"a", "        b", "        c", "        d", "e"}));
  EXPECT_EQ(core.BlockBegin(), (TextPoint{9, 2}));
  Run(ecUndo);
  EXPECT_EQ(Text(), (Lines{"a", "b", "c", "d", "e"}));
  Run(ecRedo);
  EXPECT_EQ(Text(), (Lines{"a", "        b", "        c", "        d", "e"}));

  // A leading tab is one step of indentation.
  Text({"   x", "          y", "\t\tz"});
  Select({1, 1}, {2, 3});
  Run(ecBlockUnindent);
  EXPECT_EQ(Text(), (Lines{"x", "  y", "\tz"}));
  ExpectUndoRedo({"   x", "          y", "\t\tz"}, {"x", "  y", "\tz"});
}

TEST_F(Editing, ClipboardCarriesColumnsBetweenEditorsAndConvertsPlainText) {
  Text({"abcd", "efgh"});
  core.SetMode(SelectionMode::Column);
  Select({2, 1}, {4, 2});
  Run(ecCopy);
  EXPECT_EQ(clipboard.plain, "bc\r\nfg");

  TextEditor other;
  other.SetClipboard(&clipboard);
  other.Document().Load({"12345", "67890"});
  other.SetCaretXY({3, 1});
  other.ExecuteCommand(ecPaste);
  EXPECT_EQ(other.Lines().Strings(), (Lines{"12bc345", "67fg890"}));
  other.ExecuteCommand(ecUndo);
  EXPECT_EQ(other.Lines().Strings(), (Lines{"12345", "67890"}));

  clipboard.block.reset();
  clipboard.plain = "a\tb\nc";
  other.SetCaretXY({1, 1});
  other.ExecuteCommand(ecPaste);
  EXPECT_EQ(other.Lines().Strings(), (Lines{"a   b", "c", "12345", "67890"}));

  Run(ecCut);
  EXPECT_EQ(Text(), (Lines{"ad", "eh"}));
  ExpectUndoRedo({"abcd", "efgh"}, {"ad", "eh"});

  clipboard.failPut = true;
  core.SelectAll();
  EXPECT_THROW(Run(ecCopy), EditorError);
  clipboard.block = std::string("\x07xyz", 4);
  EXPECT_THROW(Run(ecPaste), EditorError);
}

TEST_F(Editing, DragAndDropMovesOrCopiesAndUndoesInOneStep) {
  Text({"one two three", "four"});
  Select({5, 1}, {9, 1});             // "two "
  core.DropSelection({14, 1}, false); // the line end
  EXPECT_EQ(Text(), (Lines{"one threetwo ", "four"}));
  Run(ecUndo);
  EXPECT_EQ(Text(), (Lines{"one two three", "four"}));
  Run(ecRedo);
  EXPECT_EQ(Text(), (Lines{"one threetwo ", "four"}));

  Text({"ab", "cd", "ef"});
  Select({2, 1}, {2, 2}); // "b", line end, "c"
  core.DropSelection({2, 3}, false);
  EXPECT_EQ(Text(), (Lines{"ad", "eb", "cf"}));
  core.DropSelection({1, 1}, true);
  EXPECT_EQ(Text(), (Lines{"b", "cad", "eb", "cf"}));
  const Lines before = Text();
  Select({1, 2}, {3, 2});
  core.DropSelection({2, 2}, false); // inside the selection
  EXPECT_EQ(Text(), before);
}

// Found by the command fuzzer: a pasted line longer than the scroll limit.
TEST_F(Editing, SelectAllCoversLinesLongerThanTheScrollLimit) {
  const std::string longLine(1500, 'x');
  Text({"a", longLine});
  core.SelectAll();
  EXPECT_EQ(core.BlockEnd(), (TextPoint{1501, 2}));
  EXPECT_EQ(core.SelText(), "a\r\n" + longLine);
}

TEST_F(Editing, UndoCapacityDropsTheOldest) {
  core.SetMaxUndo(10);
  for (int i = 0; i < 11; ++i)
    Run(ecChar, static_cast<char>('a' + i));
  for (int i = 0; i < 11; ++i)
    Run(ecUndo);
  EXPECT_EQ(Text(), Lines{"a"});
  core.SetMaxUndo(3);
  EXPECT_EQ(core.UndoRecords().Count(), 0);
  EXPECT_EQ(core.RedoRecords().Count(), 3);
}

TEST_F(Editing, RecordedChangesSetModifiedAndFireOnChange) {
  int changes = 0;
  core.OnChange = [&] { ++changes; };
  Run(ecChar, 'a');
  EXPECT_TRUE(core.Modified());
  core.SetModified(false);
  Run(ecUndo);
  EXPECT_TRUE(core.Modified());
  EXPECT_EQ(changes, 2);
  core.Document().Load({"loaded"});
  EXPECT_FALSE(core.CanUndo());
  EXPECT_FALSE(core.CanRedo());
}

TEST_F(Editing, ReadOnlyChangesNothing) {
  Text({"keep"});
  core.SetReadOnly(true);
  core.SelectAll();
  for (EditorCommand command : {ecDeleteLastChar, ecDeleteChar, ecLineBreak, ecTab, ecCut, ecPaste,
                                ecClearAll, ecDeleteLine, ecBlockIndent})
    Run(command);
  Run(ecChar, 'x');
  EXPECT_EQ(Text(), Lines{"keep"});
  EXPECT_FALSE(core.CanUndo());
  Run(ecCopy);
  EXPECT_EQ(clipboard.plain, "keep");
}

TEST_F(Editing, BookmarksToggleMoveAndFollowTheirLines) {
  Text({"1", "2", "3", "4", "5"});
  core.SetCaretXY({1, 2});
  core.KeyDown('5', ssShift | ssCtrl);
  ASSERT_NE(core.Marks().BookMark(5), nullptr);
  core.SetBookMark(3, 1, 2);
  EXPECT_EQ(core.Marks().BookMark(5), nullptr);
  core.KeyDown('1', ssShift | ssCtrl);
  core.KeyDown('1', ssShift | ssCtrl);
  EXPECT_EQ(core.Marks().BookMark(1), nullptr);
  core.KeyDown('1', ssShift | ssCtrl);
  core.SetCaretXY({1, 4});
  core.KeyDown('1', ssShift | ssCtrl);
  EXPECT_EQ(core.Marks().BookMark(1)->Line(), 4);

  core.SetCaretXY({1, 1});
  core.SetSelTextPrimitive(SelectionMode::Normal, "a\r\nb\r\nc\r\n");
  EXPECT_EQ(core.Marks().BookMark(1)->Line(), 7);
  core.KeyDown('1', ssCtrl);
  EXPECT_EQ(core.CaretY(), 7);

  core.SetCaretXY({1, 7});
  Run(ecLineBreak);
  EXPECT_EQ(core.Marks().BookMark(1)->Line(), 7);
  core.SetCaretXY({2, 6});
  Run(ecLineBreak);
  EXPECT_EQ(core.Marks().BookMark(1)->Line(), 8);
  Run(ecUndo);
  EXPECT_EQ(core.Marks().BookMark(1)->Line(), 7);

  core.BookMarkOptions().SetEnableKeys(false);
  core.SetCaretXY({1, 1});
  core.KeyDown('1', ssCtrl);
  EXPECT_EQ(core.CaretY(), 1);
  core.KeyDown('2', ssShift | ssCtrl);
  EXPECT_EQ(core.Marks().BookMark(2), nullptr);

  // A bookmark whose line goes, also through the line list itself, moves to the line before.
  core.BookMarkOptions().SetEnableKeys(true);
  core.SetBookMark(4, 1, core.LineCount());
  const int last = core.LineCount();
  core.Document().Delete({static_cast<int>(core.LineText(last - 1).size()) + 1, last - 1},
                         {static_cast<int>(core.LineText(last).size()) + 1, last});
  core.KeyDown('4', ssCtrl);
  EXPECT_EQ(core.CaretY(), core.LineCount());
}

} // namespace

TEST_F(Editing, SelectionsKeepTheTailsOfLinesLongerThanTheScrollLimit) {
  const std::string longTail(3000, 'x');
  Text({"ab" + longTail, "cd" + longTail});
  Select({2, 1}, {2, 2});
  EXPECT_EQ(core.SelText(), "b" + longTail + "\r\nc");
  Run(ecDeleteChar);
  EXPECT_EQ(Text(), (Lines{"ad" + longTail}));
  ExpectUndoRedo({"ab" + longTail, "cd" + longTail}, {"ad" + longTail});
}
