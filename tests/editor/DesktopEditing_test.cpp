// The editor with the desktop's options: indentation copied byte for byte, no text past line
// ends, undo by typing runs, the keys of today's editors; and NUL as ordinary text everywhere.
#include "EditScript.h"
#include "TextLines.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Lines = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

class DesktopEditing : public ::testing::Test {
protected:
  void SetUp() override {
    editor.Geometry().SetFontMetrics(8, 16);
    editor.Geometry().SetClientSize(30 + 2 + 80 * 8, 30 * 16);
    editor.SetClipboard(&clipboard);
    editor.Document().SetMaxUndo(1000);
    editor.State().SetOptions(kDesktopEditorOptions);
    editor.Typing().SetClock([this] { return now; });
  }
  void Text(const Lines& lines) { editor.Document().Load(lines); }
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

  TextEditor editor;
  EditScript::MemoryClipboard clipboard;
  Clock::time_point now{};
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
  editor.State().SetCaretXY({6, 1});
  Run(ecShiftTab);
  EXPECT_EQ(Text(), Lines{"  int x;"});
  EXPECT_EQ(Caret(), (TextPoint{5, 1}));
  Run(ecShiftTab);
  EXPECT_EQ(Text(), Lines{"int x;"});
  Run(ecUndo);
  EXPECT_EQ(Text(), Lines{"  int x;"});
  // Ctrl+Backspace and Ctrl+Delete go word by word, as Ctrl+Left and Ctrl+Right stop.
  EXPECT_EQ(WordDeletions("zz = 1", false), (Lines{"zz = ", "zz ", ""}));
  EXPECT_EQ(WordDeletions("zz = 1", true), (Lines{"= 1", "1", ""}));
  const KeyMap& keys = editor.Keystrokes();
  EXPECT_EQ(keys.Items(keys.FindKey(vk::Delete, ssCtrl)).Command(), ecDeleteWord);
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
