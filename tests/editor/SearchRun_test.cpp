// Search and replace on the editor model: scopes, directions, prompting, replace all, undo.
#include "SearchEngine.h"
#include "SearchRun.h"
#include "TextEditor.h"
#include "TextLines.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <regex>
#include <stdexcept>

namespace {

using Lines = std::vector<std::string>;

struct Prompt {
  int line;
  int column;
};

class SearchReplace : public ::testing::Test {
protected:
  SearchReplace() { editor.Document().SetMaxUndo(1000); }
  // Loads the lines as a file would be, which also starts a fresh undo history.
  void Text(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines)
      text.append(line).append("\r\n");
    editor.Document().Load(TextLines(text));
  }
  Lines Text() const { return editor.Document().Lines().Strings(); }
  int Run(std::string_view search, std::string_view replace, SearchFlags options) {
    return SearchRun(editor.Context(), editor, engine, onReplaceText).Run(search, replace, options);
  }
  void Select(TextPoint from, TextPoint to, SelectionMode mode = SelectionMode::Normal) {
    editor.State().SetMode(mode);
    editor.State().SetBlockBegin(from);
    editor.State().SetBlockEnd(to);
    editor.State().SetCaretXY(to);
  }
  // Answers the prompts in order and records where they were asked.
  void Answer(std::vector<ReplaceAction> answers) {
    answers_ = std::move(answers);
    prompts.clear();
    onReplaceText = [this](std::string_view search, std::string_view replace, int line, int column,
                           ReplaceAction& action) {
      EXPECT_EQ(action, ReplaceAction::Cancel);
      EXPECT_EQ(search, search_);
      EXPECT_EQ(replace, replace_);
      prompts.push_back({line, column});
      action = prompts.size() <= answers_.size() ? answers_[prompts.size() - 1] : ReplaceAction::Cancel;
    };
  }
  void ExpectSelected(TextPoint from, TextPoint to) {
    EXPECT_EQ(editor.State().BlockBegin(), from);
    EXPECT_EQ(editor.State().BlockEnd(), to);
  }

  TextEditor editor;
  SearchEngine engine;
  ReplaceTextEvent onReplaceText;
  std::vector<Prompt> prompts;
  std::string search_ = "a";
  std::string replace_ = "b";

private:
  std::vector<ReplaceAction> answers_;
};

constexpr SearchFlags Home = ssoEntireScope;
constexpr SearchFlags ReplaceAll = ssoEntireScope | ssoReplace | ssoReplaceAll;

TEST_F(SearchReplace, FindSelectsEachMatchOnceAndSearchAgainWalksOn) {
  Text({"x foo foo", "", "foo"});
  editor.State().SetCaretXY({9, 3});
  EXPECT_EQ(Run("foo", "", Home), 1);
  ExpectSelected({3, 1}, {6, 1});
  EXPECT_EQ(editor.State().CaretXY(), (TextPoint{6, 1}));
  // Search again continues from the caret, which ends the match.
  EXPECT_EQ(Run("foo", "", 0), 1);
  ExpectSelected({7, 1}, {10, 1});
  EXPECT_EQ(Run("foo", "", 0), 1);
  ExpectSelected({1, 3}, {4, 3});
  EXPECT_EQ(Run("foo", "", 0), 0);
  EXPECT_EQ(Text(), (Lines{"x foo foo", "", "foo"}));

  EXPECT_EQ(Run("", "", Home), 0);
  EXPECT_EQ(Run("nothere", "", Home), 0);
}

TEST_F(SearchReplace, CaseAndWholeWordOptions) {
  Text({"foobar abc foo_bar", "ABC foo.bar"});
  EXPECT_EQ(Run("ABC", "", Home), 1);
  ExpectSelected({8, 1}, {11, 1});
  EXPECT_EQ(Run("abc", "", Home | ssoMatchCase), 1);
  ExpectSelected({8, 1}, {11, 1});
  EXPECT_EQ(Run("ABC", "", ssoMatchCase), 1);
  ExpectSelected({1, 2}, {4, 2});

  // The underscore delimits words.
  EXPECT_EQ(Run("foo", "", Home | ssoWholeWord), 1);
  ExpectSelected({12, 1}, {15, 1});
  EXPECT_EQ(Run("foo", "", ssoWholeWord), 1);
  ExpectSelected({5, 2}, {8, 2});
  EXPECT_EQ(Run("foo", "", ssoWholeWord), 0);
}

TEST_F(SearchReplace, BackwardSearchFromTheCaret) {
  Text({"ab ab", "xab abab"});
  editor.State().SetCaretXY({7, 2});
  // The match at column 7 starts at the caret; the nearest one ending at or before it is at 5.
  EXPECT_EQ(Run("ab", "", ssoBackwards), 1);
  ExpectSelected({5, 2}, {7, 2});
  EXPECT_EQ(editor.State().CaretXY(), (TextPoint{5, 2}));
  EXPECT_EQ(Run("ab", "", ssoBackwards), 1);
  ExpectSelected({2, 2}, {4, 2});
  EXPECT_EQ(Run("ab", "", ssoBackwards), 1);
  ExpectSelected({4, 1}, {6, 1});
  EXPECT_EQ(Run("ab", "", ssoBackwards), 1);
  EXPECT_EQ(editor.State().CaretXY(), (TextPoint{1, 1}));
  EXPECT_EQ(Run("ab", "", ssoBackwards), 0);

  // From home, backwards starts at the end of the text.
  EXPECT_EQ(Run("ab", "", ssoBackwards | Home), 1);
  ExpectSelected({7, 2}, {9, 2});
}

TEST_F(SearchReplace, ForwardFromTheCaretSkipsWhatIsBehindIt) {
  Text({"ab ab ab"});
  editor.State().SetCaretXY({5, 1});
  EXPECT_EQ(Run("ab", "", 0), 1);
  ExpectSelected({7, 1}, {9, 1});
  editor.State().SetCaretXY({4, 1});
  EXPECT_EQ(Run("ab", "", 0), 1);
  ExpectSelected({4, 1}, {6, 1});
}

TEST_F(SearchReplace, NormalSelectionScope) {
  Text({"ab ab ab", "ab ab ab"});
  Select({4, 1}, {5, 2});
  EXPECT_EQ(Run("ab", "X", ssoSelectedOnly | ReplaceAll), 3);
  // The first match starts before the scope, the last reaches past its end.
  EXPECT_EQ(Text(), (Lines{"ab X X", "X ab ab"}));

  // Without a selection the option is ignored.
  editor.State().SetBlockBegin({1, 1});
  EXPECT_EQ(Run("ab", "X", ssoSelectedOnly | ReplaceAll), 3);
  EXPECT_EQ(Text(), (Lines{"X X X", "X X X"}));
}

TEST_F(SearchReplace, ColumnSelectionScopeIgnoresMatchesStickingOut) {
  Text({"ab ab ab", "xab ab", "  ab"});
  // Dragged from right to left: the columns are put in order.
  Select({7, 1}, {3, 3}, SelectionMode::Column);
  EXPECT_EQ(Run("ab", "", ssoSelectedOnly | Home), 1);
  ExpectSelected({4, 1}, {6, 1});
  EXPECT_EQ(editor.State().Mode(), SelectionMode::Column);

  // Replacing keeps the blanks at the line's end, which removing a column block would trim.
  editor.State().SetOptions(kDefaultEditorOptions & ~eoScrollPastEol);
  Text({"ab ab ab", "xab ab  ", "  ab"});
  Select({7, 1}, {3, 3}, SelectionMode::Column);
  EXPECT_EQ(Run("ab", "XYZ", ssoSelectedOnly | ReplaceAll), 3);
  EXPECT_EQ(Text(), (Lines{"ab XYZ ab", "xab XYZ  ", "  XYZ"}));
  EXPECT_EQ(editor.State().Mode(), SelectionMode::Column);
}

TEST_F(SearchReplace, LineSelectionScopeCoversWholeLinesAndKeepsThem) {
  Text({"ab ab", "ab", "ab"});
  Select({4, 1}, {1, 2}, SelectionMode::Line);
  EXPECT_EQ(Run("ab", "c", ssoSelectedOnly | ReplaceAll), 3);
  EXPECT_EQ(Text(), (Lines{"c c", "c", "ab"}));

  // A single replace too changes only the match, not the line around it.
  Select({1, 3}, {2, 3}, SelectionMode::Line);
  EXPECT_EQ(Run("ab", "c", ssoSelectedOnly | ssoReplace), 1);
  EXPECT_EQ(Text(), (Lines{"c c", "c", "c"}));
}

TEST_F(SearchReplace, ReadOnlyEditorIsOnlySearched) {
  Text({"x a a"});
  editor.State().SetReadOnly(true);
  Answer({ReplaceAction::ReplaceAll});
  EXPECT_EQ(Run("a", "b", ReplaceAll | ssoPrompt), 1);
  ExpectSelected({3, 1}, {4, 1});
  EXPECT_TRUE(prompts.empty());
  EXPECT_EQ(Text(), (Lines{"x a a"}));
  EXPECT_FALSE(editor.Document().Modified());
}

TEST_F(SearchReplace, ReplaceHandlesOneMatchPerCall) {
  Text({"a a", "a"});
  EXPECT_EQ(Run("a", "xyz", Home | ssoReplace), 1);
  EXPECT_EQ(Text(), (Lines{"xyz a", "a"}));
  EXPECT_EQ(editor.State().CaretXY(), (TextPoint{4, 1}));
  EXPECT_EQ(Run("a", "xyz", ssoReplace), 1);
  EXPECT_EQ(Run("a", "xyz", ssoReplace), 1);
  EXPECT_EQ(Run("a", "xyz", ssoReplace), 0);
  EXPECT_EQ(Text(), (Lines{"xyz xyz", "xyz"}));
}

TEST_F(SearchReplace, ReplaceAllShiftsTheLaterResultsOfALine) {
  Text({"aaa", "a-a", "bab"});
  EXPECT_EQ(Run("a", "bb", ReplaceAll), 6);
  EXPECT_EQ(Text(), (Lines{"bbbbbb", "bb-bb", "bbbb"}));

  Text({"abcabcabc"});
  EXPECT_EQ(Run("abc", "", ReplaceAll), 3);
  EXPECT_EQ(Text(), (Lines{""}));
}

TEST_F(SearchReplace, ReplaceAllWithThePatternInTheReplacementReplacesEachMatchOnce) {
  Text({"foo foo", "xfoo", "foofoofoo"});
  EXPECT_EQ(Run("foo", "<foo>", ReplaceAll), 6);
  EXPECT_EQ(Text(), (Lines{"<foo> <foo>", "x<foo>", "<foo><foo><foo>"}));
  // Continuing from the caret finds no more: it ends the last replacement.
  EXPECT_EQ(Run("foo", "<foo>", ssoReplace | ssoReplaceAll), 0);

  Text({"aa", "a"});
  EXPECT_EQ(Run("a", "aa", ReplaceAll | ssoBackwards), 3);
  EXPECT_EQ(Text(), (Lines{"aaaa", "aa"}));
}

TEST_F(SearchReplace, ReplaceAllInASelectionReachesItsEndAfterTheLineGrew) {
  Text({"a a a b"});
  Select({1, 1}, {6, 1});
  EXPECT_EQ(Run("a", "xyz", ssoSelectedOnly | ReplaceAll), 3);
  EXPECT_EQ(Text(), (Lines{"xyz xyz xyz b"}));

  Text({"a a a a"});
  Select({1, 1}, {6, 1});
  EXPECT_EQ(Run("a", "", ssoSelectedOnly | ReplaceAll), 3);
  EXPECT_EQ(Text(), (Lines{"   a"}));
}

TEST_F(SearchReplace, BackwardReplaceLeavesTheCaretBeforeTheReplacement) {
  Text({"a a"});
  EXPECT_EQ(Run("a", "aa", Home | ssoBackwards | ssoReplace), 1);
  EXPECT_EQ(editor.State().CaretXY(), (TextPoint{3, 1}));
  EXPECT_EQ(Run("a", "aa", ssoBackwards | ssoReplace), 1);
  EXPECT_EQ(Run("a", "aa", ssoBackwards | ssoReplace), 0);
  EXPECT_EQ(Text(), (Lines{"aa aa"}));
}

TEST_F(SearchReplace, ReplacementWithLineBreaksKeepsTheRestOfTheLineInPlay) {
  Text({"a;b;c", "d;e"});
  Select({1, 1}, {4, 2});
  EXPECT_EQ(Run(";", "\r\n", ssoSelectedOnly | ReplaceAll), 3);
  EXPECT_EQ(Text(), (Lines{"a", "b", "c", "d", "e"}));

  // The scope's end moved down with its line: the second match on it is past the end.
  Text({"x;x;x;x"});
  Select({1, 1}, {6, 1});
  EXPECT_EQ(Run(";", "\n", ssoSelectedOnly | ReplaceAll), 2);
  EXPECT_EQ(Text(), (Lines{"x", "x", "x;x"}));
}

TEST_F(SearchReplace, PromptSkipThenReplaceOnOneLine) {
  Text({"a a"});
  Answer({ReplaceAction::Skip, ReplaceAction::Replace});
  EXPECT_EQ(Run("a", "b", ReplaceAll | ssoPrompt), 2);
  EXPECT_EQ(Text(), (Lines{"a b"}));
  ASSERT_EQ(prompts.size(), 2u);
  EXPECT_EQ(prompts[0].column, 1);
  EXPECT_EQ(prompts[1].column, 3);
  EXPECT_EQ(prompts[1].line, 1);
}

TEST_F(SearchReplace, PromptAnswers) {
  // Replace without replace-all: one question and one match per call.
  Text({"a a", "a"});
  Answer({ReplaceAction::Skip});
  EXPECT_EQ(Run("a", "b", Home | ssoReplace | ssoPrompt), 1);
  EXPECT_EQ(editor.State().CaretXY(), (TextPoint{2, 1}));
  Answer({ReplaceAction::Replace});
  EXPECT_EQ(Run("a", "b", ssoReplace | ssoPrompt), 1);
  EXPECT_EQ(Text(), (Lines{"a b", "a"}));

  // Cancel stops at once; the match stays selected and counts.
  Answer({ReplaceAction::Replace, ReplaceAction::Cancel});
  EXPECT_EQ(Run("a", "b", ReplaceAll | ssoPrompt), 2);
  EXPECT_EQ(Text(), (Lines{"b b", "a"}));
  ExpectSelected({1, 2}, {2, 2});

  // All replaces this and every later match without asking again.
  Text({"a a", "a a"});
  Answer({ReplaceAction::ReplaceAll});
  EXPECT_EQ(Run("a", "b", Home | ssoReplace | ssoPrompt), 4);
  EXPECT_EQ(prompts.size(), 1u);
  EXPECT_EQ(Text(), (Lines{"b b", "b b"}));

  // Without a handler prompting replaces.
  onReplaceText = nullptr;
  EXPECT_EQ(Run("b", "c", ReplaceAll | ssoPrompt), 4);
  EXPECT_EQ(Text(), (Lines{"c c", "c c"}));
}

TEST_F(SearchReplace, ReplaceAllRunsUnderOnePaintLock) {
  int reports = 0;
  editor.Events.OnStatusChange = [&](StatusChanges) { ++reports; };
  Text({"a a", "a a"});
  reports = 0;
  EXPECT_EQ(Run("a", "bb", ReplaceAll), 4);
  EXPECT_EQ(reports, 1);

  // Chosen at the prompt, replace all takes the lock from there on: only selecting the first
  // match reports on its own.
  Text({"a a", "a a"});
  reports = 0;
  Run("a", "", Home);
  const int selectingReports = reports;
  Answer({ReplaceAction::ReplaceAll});
  replace_ = "bb";
  reports = 0;
  EXPECT_EQ(Run("a", "bb", Home | ssoReplace | ssoPrompt), 4);
  EXPECT_EQ(reports, selectingReports + 1);

  // A handler that throws does not leave the editor locked.
  onReplaceText = [](std::string_view, std::string_view, int, int, ReplaceAction&) {
    throw std::runtime_error("no");
  };
  EXPECT_THROW(Run("b", "c", ReplaceAll | ssoPrompt), std::runtime_error);
  reports = 0;
  editor.State().SetCaretXY({1, 1});
  EXPECT_EQ(reports, 1);
}

TEST_F(SearchReplace, UndoTakesBackOneReplacementAtATime) {
  Text({"int a; int b;", "int c;"});
  EXPECT_EQ(Run("int", "float", ReplaceAll), 3);
  const Lines replaced{"float a; float b;", "float c;"};
  EXPECT_EQ(Text(), replaced);
  editor.ExecuteCommand(ecUndo);
  EXPECT_EQ(Text(), (Lines{"float a; float b;", "int c;"}));
  editor.ExecuteCommand(ecUndo);
  editor.ExecuteCommand(ecUndo);
  EXPECT_EQ(Text(), (Lines{"int a; int b;", "int c;"}));
  EXPECT_FALSE(editor.Document().CanUndo());
  while (editor.Document().CanRedo())
    editor.ExecuteCommand(ecRedo);
  EXPECT_EQ(Text(), replaced);
}

TEST_F(SearchReplace, EmptyAndOverlongLines) {
  editor.Document().Load({});
  EXPECT_EQ(Run("a", "b", ReplaceAll), 0);
  EXPECT_EQ(Run("a", "b", ReplaceAll | ssoBackwards), 0);
  Text({"", "", ""});
  EXPECT_EQ(Run("a", "b", ReplaceAll), 0);
  EXPECT_EQ(Text(), (Lines{"", "", ""}));

  // A match that ends past the editor's first 1024 columns is replaced like any other.
  const std::string dots(EditState::MaxLeftChar - 2, '.');
  Text({dots + "abc"});
  EXPECT_EQ(Run("abc", "x", ReplaceAll), 1);
  EXPECT_EQ(Text(), Lines{dots + "x"});
}

// Plain left-to-right replacement of non-overlapping occurrences of one line.
std::string ReferenceReplace(const std::string& line, const std::string& search, const std::string& replace,
                             bool matchCase) {
  const auto fold = [matchCase](std::string text) {
    if (!matchCase)
      for (char& ch : text)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
  };
  const std::string haystack = fold(line);
  const std::string needle = fold(search);
  std::string replaced;
  std::size_t from = 0;
  for (std::size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, from)) {
    replaced += line.substr(from, at - from) + replace;
    from = at + needle.size();
  }
  return replaced + line.substr(from);
}

TEST_F(SearchReplace, ReplaceAllAgreesWithAPlainReplacementOnRandomText) {
  std::mt19937 random(7);
  const auto word = [&](int minLength, int maxLength) {
    static constexpr char alphabet[] = "aAb ";
    std::string text(std::uniform_int_distribution<int>(minLength, maxLength)(random), ' ');
    for (char& ch : text)
      ch = alphabet[std::uniform_int_distribution<int>(0, 3)(random)];
    return text;
  };
  for (int round = 0; round < 2000; ++round) {
    // Blanks anywhere, also at the line ends, where typing would trim them.
    Lines lines(std::uniform_int_distribution<int>(1, 4)(random));
    for (std::string& line : lines)
      line = word(0, 12);
    const std::string search = word(1, 3);
    const std::string replace = word(0, 4);
    const bool matchCase = round % 2 == 0;
    const bool backwards = round % 4 >= 2;
    // The desktop's options replace all in one pass and one undo step.
    const bool desktop = round % 8 >= 4;
    editor.State().SetOptions(desktop ? kDesktopEditorOptions : kDefaultEditorOptions);
    Text(lines);
    Run(search, replace, ReplaceAll | (matchCase ? ssoMatchCase : 0) | (backwards ? ssoBackwards : 0));
    // Backwards visits the same matches from the end.
    Lines expected;
    for (const std::string& line : lines)
      expected.push_back(ReferenceReplace(line, search, replace, matchCase));
    ASSERT_EQ(Text(), expected) << "'" << search << "' -> '" << replace << "' case " << matchCase
                                << " backwards " << backwards << " desktop " << desktop;
    if (!desktop) continue;
    if (editor.Document().CanUndo()) editor.ExecuteCommand(ecUndo);
    ASSERT_EQ(Text(), lines);
    EXPECT_FALSE(editor.Document().CanUndo());
  }
}

// Regular expressions with groups in the replacement, against the standard library's engine on
// random texts, one replacement at a time and all at once; a broken pattern says what is wrong.
TEST_F(SearchReplace, RegularExpressionsReplaceAsAModelDoes) {
  struct Case {
    const char* pattern;
    const char* replacement;
    const char* modelReplacement;
  };
  const Case cases[] = {{"a+", "[\\0]", "[$&]"},
                        {"(a)(b)", "\\2\\1", "$2$1"},
                        {"b[a ]?a", "x", "x"},
                        {"a|ab", "-", "-"},
                        {"(b) (a)", "\\2\\2\\1", "$2$2$1"}};
  std::mt19937 random(26);
  for (int round = 0; round < 1000; ++round) {
    Lines lines(1 + random() % 3);
    for (std::string& line : lines)
      for (int i = static_cast<int>(random() % 12); i > 0; --i)
        line += "ab "[random() % 3];
    const Case& pick = cases[random() % std::size(cases)];
    const bool desktop = round % 2 == 0;
    editor.State().SetOptions(desktop ? kDesktopEditorOptions : kDefaultEditorOptions);
    Text(lines);
    Run(pick.pattern, pick.replacement, ReplaceAll | ssoMatchCase | ssoRegularExpression);
    Lines expected;
    for (const std::string& line : lines)
      expected.push_back(std::regex_replace(line, std::regex(pick.pattern), pick.modelReplacement));
    ASSERT_EQ(Text(), expected) << pick.pattern << " desktop " << desktop;
  }
  Text({"a(b"});
  EXPECT_THROW(Run("a(b", "", ReplaceAll | ssoRegularExpression), TessarinError);
  EXPECT_THROW(Run("a", "\\3", ReplaceAll | ssoRegularExpression), TessarinError);
  EXPECT_EQ(Text(), Lines{"a(b"});
}

} // namespace

TEST_F(SearchReplace, TheEditorRunsItWithItsOwnPromptAndEngine) {
  Text({"a a a"});
  int asked = 0;
  editor.Events.OnReplaceText = [&](std::string_view, std::string_view, int, int, ReplaceAction& action) {
    action = ++asked == 1 ? ReplaceAction::Skip : ReplaceAction::ReplaceAll;
  };
  editor.State().SetCaretXY({1, 1});
  EXPECT_EQ(editor.SearchReplace("a", "b", ssoEntireScope | ssoReplace | ssoReplaceAll | ssoPrompt), 3);
  EXPECT_EQ(Text(), (Lines{"a b b"}));
  EXPECT_EQ(asked, 2);
}
