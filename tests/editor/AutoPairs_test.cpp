// Brackets and quotes that close themselves under the desktop conventions, typed as they are under
// the classic ones.
#include "CppHighlighter.h"
#include "TextEditor.h"

#include "TextLines.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class AutoPairsTest : public ::testing::Test {
protected:
  void SetUp() override {
    editor.Geometry().SetFontMetrics(8, 16);
    editor.Geometry().SetClientSize(800, 480);
    editor.Document().SetHighLighter(&highlighter);
    editor.Document().SetMaxUndo(1 << 20);
    editor.State().SetOptions(kDesktopEditorOptions);
  }
  void TearDown() override { editor.Document().SetHighLighter(nullptr); }
  void Type(std::string_view text) {
    for (const char ch : text)
      editor.ExecuteCommand(ecChar, ch);
  }
  void Load(std::string_view text, TextPoint caret) {
    editor.Document().Load(TextLines(text));
    editor.State().SetCaretXY(caret);
  }
  [[nodiscard]] std::string Text() const {
    const TextDocument& document = editor.Document();
    return document.Text(
        {1, 1}, {static_cast<int>(document.LineText(document.LineCount()).size()) + 1, document.LineCount()});
  }

  CppHighlighter highlighter;
  TextEditor editor;
};

// A random line of code as it is typed: words, blanks, nested brackets and strings.
std::string Code(std::mt19937& random, int depth = 0) {
  const auto pick = [&random](std::string_view from) { return from[random() % from.size()]; };
  std::string text;
  for (auto items = random() % 4; items > 0; --items) {
    switch (random() % 6) {
    case 0: text += pick("abf_1"); break;
    case 1: text += ' '; break;
    case 5: {
      // After a word a quote is an apostrophe, typed alone.
      const char quote = pick("\"'");
      (text += ' ') += quote;
      for (auto length = random() % 3; length > 0; --length)
        text += pick("a (x");
      text += quote;
      break;
    }
    default:
      if (depth < 3) {
        const auto kind = random() % 3;
        text += "([{"[kind] + Code(random, depth + 1) + ")]}"[kind];
      }
    }
  }
  return text;
}

// Whatever the conventions, a line typed out with its closers comes out as typed, undo takes it all
// back and redo brings it again; an opener typed and taken back by Backspace leaves no trace.
TEST_F(AutoPairsTest, TypedCodeComesOutAsTypedAndEachStepUndoesWhole) {
  std::mt19937 random(35);
  for (const EditorOptions options : {kDesktopEditorOptions, kDefaultEditorOptions})
    for (int round = 0; round < 300; ++round) {
      editor.State().SetOptions(options);
      Load("", {1, 1});
      const std::string code = Code(random);
      for (const char ch : code) {
        if (random() % 4 == 0) {
          const std::string before = Text();
          const TextPoint caret = editor.State().CaretXY();
          Type(std::string(1, "([{"[random() % 3]));
          editor.ExecuteCommand(ecDeleteLastChar);
          ASSERT_EQ(Text(), before) << code;
          ASSERT_EQ(editor.State().CaretXY(), caret) << code;
        }
        Type(std::string(1, ch));
      }
      // Where the caret may stand past line ends, blanks at the end are free space, not text.
      const bool trims = (options & eoScrollPastEol) != 0;
      ASSERT_EQ(Text(), trims ? code.substr(0, code.find_last_not_of(' ') + 1) : code) << code;
      ASSERT_EQ(editor.State().CaretXY(), (TextPoint{static_cast<int>(code.size()) + 1, 1})) << code;
      while (editor.Document().CanUndo())
        editor.ExecuteCommand(ecUndo);
      ASSERT_EQ(Text(), "") << code;
      while (editor.Document().CanRedo())
        editor.ExecuteCommand(ecRedo);
      ASSERT_EQ(Text(), trims ? code.substr(0, code.find_last_not_of(' ') + 1) : code);
    }
}

TEST_F(AutoPairsTest, OpenersCloseThemselvesOnlyWhereACloserIsWanted) {
  struct Case {
    EditorOptions options;
    std::string_view text;
    int caret; // column on line 1
    std::string_view typed;
    std::string_view expected;
  };
  const Case cases[] = {
      {kDesktopEditorOptions, "", 1, "f(", "f()"},
      {kDesktopEditorOptions, "", 1, "f()x", "f()x"},
      {kDesktopEditorOptions, "f(x, )", 6, "[\"", "f(x, [\"\"])"},
      {kDesktopEditorOptions, "x = ;", 5, "a[", "x = a[;"},
      // Before a word, and for an apostrophe or a quote inside a comment, it goes in alone.
      {kDesktopEditorOptions, "word", 1, "(", "(word"},
      {kDesktopEditorOptions, "", 1, "don't", "don't"},
      {kDesktopEditorOptions, "/* a */", 6, "\"", "/* a \"*/"},
      // A closer the user typed, not one typed along, is not stepped over.
      {kDesktopEditorOptions, ")", 1, ")", "))"},
      // Under the classic conventions everything is typed as it is.
      {kDefaultEditorOptions, "", 1, "f(\"", "f(\""},
  };
  for (const Case& test : cases) {
    editor.State().SetOptions(test.options);
    Load(test.text, {test.caret, 1});
    Type(test.typed);
    EXPECT_EQ(Text(), test.expected) << test.typed;
  }
}

TEST_F(AutoPairsTest, EnterBetweenBracesPutsTheCloserOnItsOwnLineInTheFilesIndent) {
  for (const bool tabs : {true, false}) {
    editor.State().SetIndentWithTabs(tabs);
    editor.State().SetTabWidth(4);
    Load("\tif (x) ", {9, 1});
    Type("{");
    editor.ExecuteCommand(ecLineBreak);
    const std::string unit = tabs ? "\t" : "    ";
    EXPECT_EQ(Text(), "\tif (x) {\n\t" + unit + "\n\t}");
    EXPECT_EQ(editor.State().CaretXY(), (TextPoint{static_cast<int>(unit.size()) + 2, 2}));
    editor.ExecuteCommand(ecUndo);
    EXPECT_EQ(Text(), "\tif (x) {}");
  }
}

TEST_F(AutoPairsTest, AnOpenerTypedOverASelectionWrapsIt) {
  Load("a = b + c;", {5, 1});
  editor.State().SelectRange({5, 1}, {10, 1});
  Type("(");
  EXPECT_EQ(Text(), "a = (b + c);");
  EXPECT_EQ(editor.State().BlockBegin(), (TextPoint{6, 1}));
  EXPECT_EQ(editor.State().BlockEnd(), (TextPoint{11, 1}));
  Type("\"");
  EXPECT_EQ(Text(), "a = (\"b + c\");");
  editor.ExecuteCommand(ecUndo);
  EXPECT_EQ(Text(), "a = (b + c);");
}

} // namespace
