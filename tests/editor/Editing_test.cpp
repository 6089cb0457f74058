// Editing commands, undo and redo, clipboard and bookmarks on the editor model; the desktop's
// editing (indentation copied byte for byte, no text past line ends, undo by typing runs, today's
// keys); NUL as ordinary text.
#include "EditScript.h"
#include "TextLines.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Lines = std::vector<std::string>;

using EditScript::MemoryClipboard;
using EditScript::ReplaceSelectionIn;

class Editing : public ::testing::Test {
protected:
  void SetUp() override {
    editor.Geometry().SetFontMetrics(8, 16);
    editor.Geometry().SetClientSize(30 + 2 + 80 * 8, 30 * 16);
    editor.SetClipboard(&clipboard);
    editor.Document().SetMaxUndo(1000);
  }
  // Loads the lines as a file would be, which also starts a fresh undo history.
  void Text(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines)
      text += line + "\r\n";
    editor.Document().Load(TextLines(text));
  }
  Lines Text() const { return editor.Document().Lines().Strings(); }
  void Run(EditorCommand command, char ch = 0) { editor.ExecuteCommand(command, ch); }
  void Type(std::string_view text) {
    for (char ch : text)
      Run(ecChar, ch);
  }
  void Select(TextPoint from, TextPoint to) {
    editor.State().SetBlockBegin(from);
    editor.State().SetBlockEnd(to);
    editor.State().SetCaretXY(to);
  }
  // Undoes everything, checks the text, redoes everything and checks again.
  void ExpectUndoRedo(const Lines& before, const Lines& after) {
    while (editor.Document().CanUndo())
      Run(ecUndo);
    EXPECT_EQ(Text(), before);
    while (editor.Document().CanRedo())
      Run(ecRedo);
    EXPECT_EQ(Text(), after);
  }

  TextEditor editor;
  MemoryClipboard clipboard;
};

TEST_F(Editing, TypingPadsInsertsOverwritesAndTrims) {
  editor.State().SetCaretXY({10, 1});
  Run(ecChar, 'a');
  EXPECT_EQ(Text(), Lines{"         a"});
  Run(ecChar, ' ');
  EXPECT_EQ(Text(), Lines{"         a"});
  EXPECT_EQ(editor.State().CaretXY(), (TextPoint{12, 1}));
  Run(ecChar, '\t');
  Run(ecChar, 127);
  EXPECT_EQ(Text(), Lines{"         a"});

  Text({"abcdef"});
  editor.State().SetCaretXY({2, 1});
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
  editor.ExecuteCommand(ecSelectAll);
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
  EXPECT_EQ(SelectedText(editor.Document(), editor.State()), "cdef\r\nghijkl\r\nm");
  editor.State().SetMode(SelectionMode::Column);
  EXPECT_EQ(SelectedText(editor.Document(), editor.State()), "b\r\nh\r\nn");
  editor.State().SetMode(SelectionMode::Line);
  EXPECT_EQ(SelectedText(editor.Document(), editor.State()), "abcdef\r\nghijkl\r\nmnopqr");
  Select({1, 1}, {1, 2});
  EXPECT_EQ(SelectedText(editor.Document(), editor.State()), "abcdef\r\nghijkl\r\n");
}

TEST_F(Editing, ReplacingTheSelectionInEachMode) {
  Text({"abcdef", "ghijkl", "mnopqr"});
  Select({3, 1}, {2, 3});
  ReplaceSelectionIn(editor, SelectionMode::Normal, "X\r\nY");
  EXPECT_EQ(Text(), (Lines{"abX", "Ynopqr"}));
  EXPECT_EQ(editor.State().CaretXY(), (TextPoint{2, 2}));

  Text({"abcdef", "gh", "mnopqr"});
  editor.State().SetMode(SelectionMode::Column);
  Select({4, 3}, {2, 1}); // the block goes in from the line of the moving end
  ReplaceSelectionIn(editor, SelectionMode::Column, "12\r\n34\r\n56\r\n78");
  EXPECT_EQ(Text(), (Lines{"a12def", "g34", "m56pqr", " 78"}));

  Text({"one", "two", "three"});
  editor.State().SetMode(SelectionMode::Line);
  Select({2, 2}, {2, 3});
  ReplaceSelectionIn(editor, SelectionMode::Line, "new\r\nlines\r\n");
  EXPECT_EQ(Text(), (Lines{"one", "new", "lines", ""}));
  ReplaceSelectionIn(editor, SelectionMode::Line, "head");
  EXPECT_EQ(Text(), (Lines{"one", "new", "lines", "head"}));
  EXPECT_EQ(editor.State().CaretXY(), (TextPoint{5, 4}));
}

TEST_F(Editing, LineBreaksKeepIndentation) {
  Text({"    body();"});
  editor.State().SetCaretXY({9, 1});
  Run(ecLineBreak);
  EXPECT_EQ(Text(), (Lines{"    body", "    ();"}));
  EXPECT_EQ(editor.State().CaretXY(), (TextPoint{5, 2}));
  ExpectUndoRedo({"    body();"}, {"    body", "    ();"});

  Text({"text"});
  editor.State().SetCaretXY({1, 1});
  Run(ecLineBreak);
  EXPECT_EQ(Text(), (Lines{"", "text"}));
  Run(ecUndo);
  EXPECT_EQ(Text(), Lines{"text"});

  Text({"  x"});
  editor.State().SetCaretXY({4, 1});
  Run(ecInsertLine);
  EXPECT_EQ(Text(), (Lines{"  x", ""}));
  EXPECT_EQ(editor.State().CaretXY(), (TextPoint{4, 1}));
}

TEST_F(Editing, BackspaceAndDelete) {
  Text({"  a", "    b"});
  editor.State().SetCaretXY({5, 2});
  Run(ecDeleteLastChar);
  EXPECT_EQ(Text(), (Lines{"  a", "  b"})); // back to the indentation above
  editor.State().SetCaretXY({1, 2});
  Run(ecDeleteLastChar);
  EXPECT_EQ(Text(), Lines{"  a  b"});
  editor.State().SetCaretXY({1, 1});
  Run(ecDeleteLastChar);
  EXPECT_EQ(Text(), Lines{"  a  b"});
  ExpectUndoRedo({"  a", "    b"}, {"  a  b"});

  Text({"ab", "cd"});
  editor.State().SetCaretXY({3, 2});
  Run(ecDeleteChar);
  EXPECT_EQ(Text(), (Lines{"ab", "cd"}));
  editor.State().SetCaretXY({3, 1});
  Run(ecDeleteChar);
  EXPECT_EQ(Text(), Lines{"abcd"});
  Run(ecDeleteChar);
  EXPECT_EQ(Text(), Lines{"abd"});
  ExpectUndoRedo({"ab", "cd"}, {"abd"});
}

TEST_F(Editing, WordAndLineDeletions) {
  Text({"alpha beta gamma", "second"});
  editor.State().SetCaretXY({7, 1});
  Run(ecDeleteWord);
  EXPECT_EQ(Text()[0], "alpha gamma");
  Run(ecDeleteLastWord);
  EXPECT_EQ(Text()[0], "gamma");
  editor.State().SetCaretXY({3, 1});
  Run(ecDeleteEOL);
  EXPECT_EQ(Text()[0], "ga");
  Run(ecDeleteBOL);
  EXPECT_EQ(Text()[0], "");
  editor.State().SetCaretXY({3, 2});
  Run(ecDeleteLine);
  EXPECT_EQ(Text(), Lines{""});
  Run(ecDeleteLine);
  EXPECT_EQ(Text(), Lines{""});
  ExpectUndoRedo({"alpha beta gamma", "second"}, {""});
}

TEST_F(Editing, TabInsertsBlanksToTheNextStopOrTheLineAbove) {
  editor.State().SetOptions(editor.State().Options() & ~eoSmartTabs);
  Text({"x"});
  editor.State().SetCaretXY({1, 1});
  Run(ecTab);
  EXPECT_EQ(Text(), Lines{"        x"});
  editor.State().SetCaretXY({3, 1});
  Text({"abx"});
  editor.State().SetCaretXY({3, 1});
  Run(ecTab);
  EXPECT_EQ(Text(), Lines{"ab      x"});
  editor.State().SetOptions(editor.State().Options() | eoSmartTabs);
  Text({"int  x;", "y"});
  editor.State().SetCaretXY({1, 2});
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
  EXPECT_EQ(editor.State().BlockBegin(), (TextPoint{9, 2}));
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
  editor.State().SetMode(SelectionMode::Column);
  Select({2, 1}, {4, 2});
  Run(ecCopy);
  EXPECT_EQ(clipboard.plain, "bc\r\nfg");

  TextEditor other;
  other.SetClipboard(&clipboard);
  other.Document().Load({"12345", "67890"});
  other.State().SetCaretXY({3, 1});
  other.ExecuteCommand(ecPaste);
  EXPECT_EQ(other.Document().Lines().Strings(), (Lines{"12bc345", "67fg890"}));
  other.ExecuteCommand(ecUndo);
  EXPECT_EQ(other.Document().Lines().Strings(), (Lines{"12345", "67890"}));

  clipboard.block.reset();
  clipboard.plain = "a\tb\nc";
  other.State().SetCaretXY({1, 1});
  other.ExecuteCommand(ecPaste);
  EXPECT_EQ(other.Document().Lines().Strings(), (Lines{"a   b", "c", "12345", "67890"}));

  Run(ecCut);
  EXPECT_EQ(Text(), (Lines{"ad", "eh"}));
  ExpectUndoRedo({"abcd", "efgh"}, {"ad", "eh"});

  clipboard.failPut = true;
  editor.ExecuteCommand(ecSelectAll);
  EXPECT_THROW(Run(ecCopy), EditorError);
  clipboard.block = std::string("\x07xyz", 4);
  EXPECT_THROW(Run(ecPaste), EditorError);
}

TEST_F(Editing, DragAndDropMovesOrCopiesAndUndoesInOneStep) {
  Text({"one two three", "four"});
  Select({5, 1}, {9, 1});               // "two "
  editor.DropSelection({14, 1}, false); // the line end
  EXPECT_EQ(Text(), (Lines{"one threetwo ", "four"}));
  Run(ecUndo);
  EXPECT_EQ(Text(), (Lines{"one two three", "four"}));
  Run(ecRedo);
  EXPECT_EQ(Text(), (Lines{"one threetwo ", "four"}));

  Text({"ab", "cd", "ef"});
  Select({2, 1}, {2, 2}); // "b", line end, "c"
  editor.DropSelection({2, 3}, false);
  EXPECT_EQ(Text(), (Lines{"ad", "eb", "cf"}));
  editor.DropSelection({1, 1}, true);
  EXPECT_EQ(Text(), (Lines{"b", "cad", "eb", "cf"}));
  const Lines before = Text();
  Select({1, 2}, {3, 2});
  editor.DropSelection({2, 2}, false); // inside the selection
  EXPECT_EQ(Text(), before);
}

// Found by the command fuzzer: a pasted line longer than the scroll limit.
TEST_F(Editing, SelectAllCoversLinesLongerThanTheScrollLimit) {
  const std::string longLine(1500, 'x');
  Text({"a", longLine});
  editor.ExecuteCommand(ecSelectAll);
  EXPECT_EQ(editor.State().BlockEnd(), (TextPoint{1501, 2}));
  EXPECT_EQ(SelectedText(editor.Document(), editor.State()), "a\r\n" + longLine);
}

TEST_F(Editing, UndoCapacityDropsTheOldest) {
  editor.Document().SetMaxUndo(10);
  for (int i = 0; i < 11; ++i)
    Run(ecChar, static_cast<char>('a' + i));
  for (int i = 0; i < 11; ++i)
    Run(ecUndo);
  EXPECT_EQ(Text(), Lines{"a"});
  editor.Document().SetMaxUndo(3);
  EXPECT_EQ(editor.Document().UndoRecords().Count(), 0);
  EXPECT_EQ(editor.Document().RedoRecords().Count(), 3);
}

TEST_F(Editing, RecordedChangesSetModifiedAndFireOnChange) {
  int changes = 0;
  editor.Events.OnChange = [&] { ++changes; };
  Run(ecChar, 'a');
  EXPECT_TRUE(editor.Document().Modified());
  editor.Document().SetModified(false);
  Run(ecUndo);
  EXPECT_TRUE(editor.Document().Modified());
  EXPECT_EQ(changes, 2);
  editor.Document().Load({"loaded"});
  EXPECT_FALSE(editor.Document().CanUndo());
  EXPECT_FALSE(editor.Document().CanRedo());
}

TEST_F(Editing, ReadOnlyChangesNothing) {
  Text({"keep"});
  editor.State().SetReadOnly(true);
  editor.ExecuteCommand(ecSelectAll);
  for (EditorCommand command : {ecDeleteLastChar, ecDeleteChar, ecLineBreak, ecTab, ecCut, ecPaste,
                                ecClearAll, ecDeleteLine, ecBlockIndent})
    Run(command);
  Run(ecChar, 'x');
  EXPECT_EQ(Text(), Lines{"keep"});
  EXPECT_FALSE(editor.Document().CanUndo());
  Run(ecCopy);
  EXPECT_EQ(clipboard.plain, "keep");
}

TEST_F(Editing, BookmarksToggleMoveAndFollowTheirLines) {
  Text({"1", "2", "3", "4", "5"});
  editor.State().SetCaretXY({1, 2});
  editor.KeyDown('5', ssShift | ssCtrl);
  ASSERT_NE(editor.Document().Marks().BookMark(5), nullptr);
  PlaceBookmark(editor.Document(), 3, 1, 2);
  EXPECT_EQ(editor.Document().Marks().BookMark(5), nullptr);
  editor.KeyDown('1', ssShift | ssCtrl);
  editor.KeyDown('1', ssShift | ssCtrl);
  EXPECT_EQ(editor.Document().Marks().BookMark(1), nullptr);
  editor.KeyDown('1', ssShift | ssCtrl);
  editor.State().SetCaretXY({1, 4});
  editor.KeyDown('1', ssShift | ssCtrl);
  EXPECT_EQ(editor.Document().Marks().BookMark(1)->Line(), 4);

  editor.State().SetCaretXY({1, 1});
  ReplaceSelectionIn(editor, SelectionMode::Normal, "a\r\nb\r\nc\r\n");
  EXPECT_EQ(editor.Document().Marks().BookMark(1)->Line(), 7);
  editor.KeyDown('1', ssCtrl);
  EXPECT_EQ(editor.State().CaretY(), 7);

  editor.State().SetCaretXY({1, 7});
  Run(ecLineBreak);
  EXPECT_EQ(editor.Document().Marks().BookMark(1)->Line(), 7);
  editor.State().SetCaretXY({2, 6});
  Run(ecLineBreak);
  EXPECT_EQ(editor.Document().Marks().BookMark(1)->Line(), 8);
  Run(ecUndo);
  EXPECT_EQ(editor.Document().Marks().BookMark(1)->Line(), 7);

  editor.BookMarkOptions().SetEnableKeys(false);
  editor.State().SetCaretXY({1, 1});
  editor.KeyDown('1', ssCtrl);
  EXPECT_EQ(editor.State().CaretY(), 1);
  editor.KeyDown('2', ssShift | ssCtrl);
  EXPECT_EQ(editor.Document().Marks().BookMark(2), nullptr);

  // A bookmark whose line goes, also through the line list itself, moves to the line before.
  editor.BookMarkOptions().SetEnableKeys(true);
  PlaceBookmark(editor.Document(), 4, 1, editor.Document().LineCount());
  const int last = editor.Document().LineCount();
  editor.Document().Delete({static_cast<int>(editor.Document().LineText(last - 1).size()) + 1, last - 1},
                           {static_cast<int>(editor.Document().LineText(last).size()) + 1, last});
  editor.KeyDown('4', ssCtrl);
  EXPECT_EQ(editor.State().CaretY(), editor.Document().LineCount());
}

// The editor with the desktop's options and a clock the test moves.
class DesktopEditing : public Editing {
protected:
  void SetUp() override {
    Editing::SetUp();
    editor.State().SetOptions(kDesktopEditorOptions);
    editor.Typing().SetClock([this] { return now; });
  }
  TextPoint Caret() const { return editor.State().CaretXY(); }
  // The line after Ctrl+Backspace (or with `forwards` Ctrl+Delete) pressed until the caret's
  // line is empty.
  Lines WordDeletions(const std::string& line, bool forwards) {
    Text({line});
    editor.State().SetCaretXY({forwards ? 1 : static_cast<int>(line.size()) + 1, 1});
    Lines steps;
    while (!editor.Document().LineText(1).empty() && steps.size() < line.size()) {
      Run(forwards ? ecDeleteWord : ecDeleteLastWord);
      steps.push_back(editor.Document().LineText(1));
    }
    return steps;
  }

  std::chrono::steady_clock::time_point now{};
};

// Random texts indented with tabs and spaces: Enter at the end of any line and typing gives a
// line indented exactly as that one, and no line anywhere gains blanks.
TEST_F(DesktopEditing, EnterKeepsTheIndentationByteForByte) {
  std::mt19937 random(23);
  const auto pick = [&](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
  for (int round = 0; round < 300; ++round) {
    Lines lines(static_cast<std::size_t>(1 + pick(6)));
    for (std::string& line : lines) {
      for (int i = pick(5); i > 0; --i)
        line += pick(3) ? '\t' : ' ';
      if (pick(6)) line += "x = f(y);";
    }
    Text(lines);
    const int y = 1 + pick(static_cast<int>(lines.size()));
    editor.State().SetCaretXY({static_cast<int>(lines[static_cast<std::size_t>(y - 1)].size()) + 1, y});
    Run(ecLineBreak);
    Type("z;");
    const std::string& above = lines[static_cast<std::size_t>(y - 1)];
    Lines expected = lines;
    expected.insert(expected.begin() + y, above.substr(0, above.find_first_not_of(" \t")) + "z;");
    ASSERT_EQ(Text(), expected) << "line " << y;
  }
}

TEST_F(DesktopEditing, TheCaretStaysWithinItsLineAndDropsNeverPad) {
  Text({"ab", "cdef"});
  editor.State().SetCaretXY({10, 1});
  EXPECT_EQ(Caret(), (TextPoint{3, 1}));
  Run(ecChar, 'x');
  EXPECT_EQ(Text(), (Lines{"abx", "cdef"}));
  Select({1, 2}, {3, 2}); // "cd"
  editor.DropSelection({20, 1}, false);
  EXPECT_EQ(Text(), (Lines{"abxcd", "ef"}));
}

// Typing " zz = 1;" undoes in runs of blanks and runs of other characters; a pause, a caret
// move, another command or a save ends a run; without the option every character is a step.
TEST_F(DesktopEditing, UndoTakesBackTypingRuns) {
  Text({"int"});
  editor.State().SetCaretXY({4, 1});
  Type(" zz = 1;");
  const Lines undone[] = {{"int zz = "}, {"int zz ="}, {"int zz "}, {"int zz"}, {"int "}, {"int"}};
  for (const Lines& expected : undone) {
    Run(ecUndo);
    EXPECT_EQ(Text(), expected);
  }
  EXPECT_FALSE(editor.Document().CanUndo());
  Run(ecRedo);
  EXPECT_EQ(Text(), Lines{"int "});
  Run(ecRedo);
  EXPECT_EQ(Text(), Lines{"int zz"});
  EXPECT_EQ(Caret(), (TextPoint{7, 1}));

  const auto stepsFor = [&](const std::function<void()>& between) {
    Text({""});
    Type("ab");
    between();
    Type("cd");
    int steps = 0;
    for (; editor.Document().CanUndo(); ++steps)
      Run(ecUndo);
    return steps;
  };
  EXPECT_EQ(stepsFor([] {}), 1);
  EXPECT_EQ(stepsFor([&] { now += std::chrono::milliseconds(1500); }), 2);
  EXPECT_EQ(stepsFor([&] {
              Run(ecLeft);
              Run(ecRight);
            }),
            2);
  EXPECT_EQ(stepsFor([&] { Run(ecSelectAll); }), 2);
  EXPECT_EQ(stepsFor([&] { editor.Document().SetModified(false); }), 2);
  editor.State().SetOptions(kDefaultEditorOptions);
  EXPECT_EQ(stepsFor([] {}), 4);
}

TEST_F(DesktopEditing, TheKeysOfTodaysEditors) {
  // Home: the first non-blank, then column 1, then the first non-blank again.
  Text({"\t  int x;"});
  editor.State().SetCaretXY({7, 1});
  for (int column : {4, 1, 4}) {
    Run(ecLineStart);
    EXPECT_EQ(Caret().X, column);
  }
  // Shift+Tab unindents the caret's line, the caret staying on its character.
  editor.State().SetTabWidth(4);
  editor.State().SetCaretXY({6, 1});
  Run(ecShiftTab);
  EXPECT_EQ(Text(), Lines{"\tint x;"});
  EXPECT_EQ(Caret(), (TextPoint{4, 1}));
  Run(ecShiftTab);
  EXPECT_EQ(Text(), Lines{"int x;"});
  Run(ecUndo);
  EXPECT_EQ(Text(), Lines{"\tint x;"});
  // Ctrl+Backspace and Ctrl+Delete go word by word, as Ctrl+Left and Ctrl+Right stop.
  EXPECT_EQ(WordDeletions("zz = 1", false), (Lines{"zz = ", "zz ", ""}));
  EXPECT_EQ(WordDeletions("zz = 1", true), (Lines{"= 1", "1", ""}));
  const KeyMap& keys = editor.Keystrokes();
  EXPECT_EQ(keys.Items(keys.FindKey(vk::Delete, ssCtrl)).Command(), ecDeleteWord);
}

// Shift+Tab takes an indent of any mix of blanks and tabs back to the tab stop before it, keeping
// its start; a block goes the same way, line by line.
TEST_F(DesktopEditing, ShiftTabGoesBackToThePreviousTabStop) {
  const std::pair<std::string, std::string> cases[] = {
      {"  \tfoo;", "foo;"},   {"\t  foo;", "\tfoo;"},     {" \t \tfoo;", " \tfoo;"},
      {"\t\tfoo;", "\tfoo;"}, {"      foo;", "    foo;"}, {"   \t   foo;", "   \tfoo;"}};
  editor.State().SetTabWidth(4);
  for (const auto& [before, after] : cases) {
    Text({before});
    editor.State().SetCaretXY({static_cast<int>(before.size()) + 1, 1});
    Run(ecShiftTab);
    EXPECT_EQ(Text(), Lines{after}) << before;
    EXPECT_EQ(Caret().X, static_cast<int>(after.size()) + 1) << before;
  }
  Text({"  \tfoo;", "\t  bar;"});
  Select({1, 1}, {3, 2});
  Run(ecShiftTab);
  EXPECT_EQ(Text(), (Lines{"foo;", "\tbar;"}));
}

// Text from another program goes in as it is; the classic rule ends it with a line end and
// turns its tabs into blanks.
TEST_F(DesktopEditing, PlainTextIsPastedAsItIs) {
  clipboard.block.reset();
  clipboard.plain = "foo";
  Text({"abc"});
  editor.State().SetCaretXY({4, 1});
  Run(ecPaste);
  EXPECT_EQ(Text(), Lines{"abcfoo"});
  clipboard.plain = "\tx\ny";
  Run(ecPaste);
  EXPECT_EQ(Text(), (Lines{"abcfoo\tx", "y"}));
  editor.State().SetOptions(kDefaultEditorOptions);
  clipboard.plain = "\tfoo";
  Text({"abc"});
  editor.State().SetCaretXY({4, 1});
  Run(ecPaste);
  EXPECT_EQ(Text(), (Lines{"abc    foo", ""}));
}

// A block copied in a UTF-8 document and pasted in a Windows-1252 one, and back, brings its
// characters in the encoding of the document it goes to; within one encoding its bytes.
TEST_F(DesktopEditing, TheBlockClipboardCarriesCharactersBetweenEncodings) {
  TextEditor latin;
  latin.SetClipboard(&clipboard);
  latin.State().SetOptions(kDesktopEditorOptions);
  latin.Document().Load(TextLines("caf\xE9\r\n"));
  Text({"\xC3\xA9t\xC3\xA9", "xy"});
  editor.Document().Insert({2, 2}, "\xFF"); // in a UTF-8 document
  editor.State().SetMode(SelectionMode::Column);
  Select({1, 1}, {4, 1}); // "ét"
  Run(ecCopy);
  latin.State().SetCaretXY({5, 1});
  latin.ExecuteCommand(ecPaste);
  EXPECT_EQ(latin.Document().LineText(1), "caf\xE9\xE9t");
  latin.State().SelectRange({4, 1}, {5, 1});
  latin.ExecuteCommand(ecCopy);
  Select({1, 2}, {1, 2});
  Run(ecPaste);
  EXPECT_EQ(Text()[1], "\xC3\xA9x\xFFy");
  // A byte that is no UTF-8 goes from UTF-8 document to UTF-8 document as it is.
  Select({4, 2}, {5, 2});
  Run(ecCopy);
  Select({1, 1}, {1, 1});
  Run(ecPaste);
  EXPECT_EQ(Text()[0], "\xFF\xC3\xA9t\xC3\xA9");
}

// Deleting or cutting a column block leaves the text around it as it was, blanks included;
// the classic rule trims the lines it leaves.
TEST_F(DesktopEditing, AColumnBlockGoesWithoutTrimmingWhatIsLeft) {
  for (EditorCommand command : {ecDeleteChar, ecCut}) {
    Text({"ab  cd", "ef  gh"});
    editor.State().SetMode(SelectionMode::Column);
    Select({5, 1}, {7, 2});
    Run(command);
    EXPECT_EQ(Text(), (Lines{"ab  ", "ef  "}));
    Run(ecUndo);
    EXPECT_EQ(Text(), (Lines{"ab  cd", "ef  gh"}));
    Run(ecNormalSelect);
  }
  editor.State().SetOptions(kDefaultEditorOptions);
  Text({"ab  cd", "ef  gh"});
  editor.State().SetMode(SelectionMode::Column);
  Select({5, 1}, {7, 2});
  Run(ecDeleteChar);
  EXPECT_EQ(Text(), (Lines{"ab", "ef"}));
}

// Under both conventions: a column selection keeps its anchor when it first goes down.
TEST_F(DesktopEditing, AColumnSelectionKeepsItsAnchor) {
  for (EditorOptions options : {kDefaultEditorOptions, kDesktopEditorOptions}) {
    editor.State().SetOptions(options);
    Text(Lines(6, "abcdefgh"));
    editor.State().SetCaretXY({2, 1});
    editor.State().SetBlockBegin({2, 1});
    Run(ecColumnSelect);
    for (EditorCommand command : {ecSelDown, ecSelDown, ecSelDown, ecSelDown, ecSelRight, ecSelRight})
      Run(command);
    EXPECT_EQ(SelectedText(editor.Document(), editor.State()), "bc\r\nbc\r\nbc\r\nbc\r\nbc");
    Run(ecNormalSelect);
  }
}

// Under both conventions: NUL goes through selections, both clipboard formats, drag and drop and
// pasting whole, and trimming takes only blanks and tabs.
TEST_F(DesktopEditing, NulIsOrdinaryText) {
  const std::string nul = std::string("ab\0cd", 5);
  for (EditorOptions options : {kDefaultEditorOptions, kDesktopEditorOptions}) {
    editor.State().SetOptions(options);
    Text({"x" + nul, "y"});
    Select({2, 1}, {7, 1});
    EXPECT_EQ(SelectedText(editor.Document(), editor.State()), nul);
    Run(ecCopy);
    EXPECT_EQ(DecodeClipboardBlock(*clipboard.block)->Text, nul);
    EXPECT_EQ(clipboard.plain, nul);
    editor.DropSelection({2, 2}, false);
    EXPECT_EQ(Text(), (Lines{"x", "y" + nul}));
    Select({1, 1}, {1, 1});
    Run(ecPaste);
    EXPECT_EQ(Text(), (Lines{nul + "x", "y" + nul}));

    const std::string tail = std::string("ab \t\0\x01", 6);
    Text({"x", tail, "y"});
    editor.State().SetCaretXY({1, 2});
    Run(ecChar, 'Q');
    EXPECT_EQ(Text(), (Lines{"x", "Q" + tail, "y"}));
  }
}

} // namespace

TEST_F(Editing, SelectionsKeepTheTailsOfLinesLongerThanTheScrollLimit) {
  const std::string longTail(3000, 'x');
  Text({"ab" + longTail, "cd" + longTail});
  Select({2, 1}, {2, 2});
  EXPECT_EQ(SelectedText(editor.Document(), editor.State()), "b" + longTail + "\r\nc");
  Run(ecDeleteChar);
  EXPECT_EQ(Text(), (Lines{"ad" + longTail}));
  ExpectUndoRedo({"ab" + longTail, "cd" + longTail}, {"ad" + longTail});
}
