// Tool output into message lines (line ends split across chunks, tabs, long-form file names,
// the assembler summary) and the reading of message lines for the jump to source.
#include "BuildTestSupport.h"
#include "JumpToSource.h"
#include "MessageCollector.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <map>

namespace {

using Lines = std::vector<std::string>;

Lines Held(const MessageLines& lines) { return {lines.Lines().begin(), lines.Lines().end()}; }

Lines Collect(const std::vector<std::string>& chunks, bool isError = false) {
  MessageCollector collector;
  MessageLines lines;
  for (const auto& chunk : chunks)
    collector.CollectOutput(chunk, lines, isError);
  return Held(lines);
}

bool Never(const std::string&) { return false; }

} // namespace

TEST(BuildCollector, JoinsChunksAndCountsEveryKindOfLineEndOnce) {
  EXPECT_EQ(Collect({"abc", "def\r\n", "x"}), (Lines{"abcdef", "x"}));
  EXPECT_EQ(Collect({"one\r", "\ntwo"}), (Lines{"one", "two"})) << "a pair split between chunks";
  EXPECT_EQ(Collect({"a\r\n\r\nb"}), (Lines{"a", "", "b"}));
  EXPECT_EQ(Collect({"a\nb\nc\n"}), (Lines{"a", "b", "c", ""}))
      << "bare line feeds, as every Linux tool writes";
  EXPECT_EQ(Collect({"a\n\nb"}), (Lines{"a", "", "b"}));
  EXPECT_EQ(Collect({"a\rb\rc"}), (Lines{"a", "b", "c"}));
  EXPECT_EQ(Collect({"a\n", "\rb"}), (Lines{"a", "", "b"})) << "LF then CR is two line ends";
  EXPECT_EQ(Collect({"a\r", "x\nb"}), (Lines{"a", "x", "b"})) << "text between CR and LF breaks the pair";
}

TEST(BuildCollector, PairStateSurvivesStreamsAndRunsButNotAnEmptiedList) {
  MessageCollector collector;
  MessageLines lines;
  collector.CollectOutput("fatal\r", lines, false);
  collector.CollectOutput("\nnext", lines, true);
  EXPECT_EQ(Held(lines), (Lines{"fatal", "next"}));
  collector.CollectOutput("end\r", lines, false);
  lines.Clear();
  collector.CollectOutput("\nfresh", lines, false);
  EXPECT_EQ(Held(lines), (Lines{"", "fresh"}));
}

TEST(BuildCollector, ExpandsTabsToColumnsOfEight) {
  EXPECT_EQ(ExpandTabs("\tx"), "        x");
  EXPECT_EQ(ExpandTabs("abcdefg\tx"), "abcdefg x");
  EXPECT_EQ(ExpandTabs("abcdefgh\tx"), "abcdefgh        x");
  EXPECT_EQ(ExpandTabs("\tx", 3), "     x");
  // Tabs in a later chunk count their columns from the start of the line.
  EXPECT_EQ(Collect({"ab", "c\td"}), (Lines{"abc     d"}));
}

TEST(BuildCollector, NormalisesOnlyStandardErrorLinesThatStartWithAnExistingFile) {
  TempDir dir;
  const std::string source = dir.write("g_main.c", "int x;\n");
  const std::string message = source + ":3: syntax error";
  EXPECT_EQ(Collect({message}, true), (Lines{message}));
  EXPECT_EQ(NormaliseMessageLine("/opt/q3/q3lcc: can't find `x.c'"), "/opt/q3/q3lcc: can't find `x.c'");
  EXPECT_EQ(NormaliseMessageLine(":leading colon"), ":leading colon");
  EXPECT_EQ(NormaliseMessageLine("no colon at all"), "no colon at all");
  EXPECT_EQ(FileNameColon("C:\\src\\a.c:12: x", PathStyle::Windows()), 10u);
  EXPECT_EQ(FileNameColon("a:12: x", PathStyle::Posix()), 1u);
}

TEST(BuildCollector, KeepsTheLastTotalErrorsLineOnlyWhileAssembling) {
  MessageCollector collector;
  MessageLines lines;
  collector.CollectOutput("0 total errors\n", lines, false);
  EXPECT_EQ(collector.AssemblerResult, "");
  collector.Assembling = true;
  collector.CollectOutput("pass 0: a.asm\n3 total", lines, false);
  collector.CollectOutput(" errors\n", lines, false);
  EXPECT_EQ(collector.AssemblerResult, " - 3 total errors");
  collector.CollectOutput("1 total errors", lines, false);
  collector.CollectOutput(" (and more)\n", lines, false);
  EXPECT_EQ(collector.AssemblerResult, " - 1 total errors (and more)")
      << "the whole line, also when it grows";
}

// A tool printing without line ends cannot make one line grow without end: past the limit the
// line is completed, and the text goes on in the next, nothing lost.
TEST(BuildCollector, AVeryLongLineWithoutLineEndsIsCompletedAtTheLimit) {
  MessageCollector collector;
  MessageLines lines;
  const std::string chunk(65535, 'x');
  for (int i = 0; i < 200; ++i)
    collector.CollectOutput(chunk, lines, true);
  std::string all;
  for (const std::string& line : lines.Lines()) {
    EXPECT_LE(line.size(), MessageLines::kLongestHeldLine);
    all += line;
  }
  EXPECT_EQ(all, std::string(200u * 65535u, 'x'));
  EXPECT_EQ(lines.Lines().size(), 200u * 65535u / MessageLines::kLongestHeldLine + 1);
}

// Each tool run has its collector: the last line of one run is complete when the run ends, so
// the next run's output starts a line of its own.
TEST(BuildCollector, TheEndOfARunCompletesItsLastLine) {
  MessageLines lines;
  MessageCollector first, second;
  first.CollectOutput("first without line end", lines, true);
  first.EndOutput(lines);
  second.CollectOutput("second\n", lines, false);
  second.EndOutput(lines);
  EXPECT_EQ(Held(lines), (Lines{"first without line end", "second", ""}));
}

// However often a tool names a file, its long form is looked up once.
TEST(BuildCollector, LooksUpEachPathOnce) {
  std::map<std::string, int> lookUps;
  auto longPaths = std::make_shared<LongPathCache>([&lookUps](const std::string& path) {
    ++lookUps[path];
    return path == "/mod/g_main.c" ? std::optional<std::string>("/mod/long/g_main.c") : std::nullopt;
  });
  MessageCollector collector(PathStyle::Posix(), longPaths);
  MessageLines lines;
  for (int i = 1; i <= 1000; ++i)
    collector.CollectOutput("/mod/g_main.c:" + std::to_string(i) + ": warning: x\ncpp: y\n", lines, true);
  EXPECT_EQ(lines.Lines()[1998], "/mod/long/g_main.c:1000: warning: x");
  EXPECT_EQ(lines.Lines()[1999], "cpp: y");
  EXPECT_EQ(lookUps, (std::map<std::string, int>{{"/mod/g_main.c", 1}, {"cpp", 1}}));
}

TEST(BuildJump, ReadsTheFirstFormWithAndWithoutADrive) {
  EXPECT_EQ(ParseMessageLine("C:\\src\\server\\logic.c:120: warning: x", PathStyle::Windows(), Never),
            (MessageLocation{"C:\\src\\server\\logic.c", 120}));
  EXPECT_EQ(ParseMessageLine("/home/u/mod/g_main.c:3: syntax error; found `x'", PathStyle::Posix(), Never),
            (MessageLocation{"/home/u/mod/g_main.c", 3}));
  EXPECT_EQ(ParseMessageLine("/home/u/a.c:7", PathStyle::Posix(), Never),
            (MessageLocation{"/home/u/a.c", 7}));
  EXPECT_EQ(ParseMessageLine("no colon here", PathStyle::Posix(), Never), std::nullopt);
  EXPECT_EQ(ParseMessageLine("1234", PathStyle::Posix(), Never), std::nullopt);
  EXPECT_EQ(ParseMessageLine("pass 0: g_main.asm", PathStyle::Posix(), Never), std::nullopt);
}

// The header form and the preprocessor's form name the line after the file; a file alone names
// line 1.
TEST(BuildJump, ReadsTheSecondFormWhenItNamesAnExistingFile) {
  TempDir dir;
  const std::string header = dir.write("g_local.h", "\n");
  auto exists = [](const std::string& path) { return paths::FileExists(path); };
  EXPECT_EQ(ParseMessageLine("cpp: " + header + ":4 Could not find include file \"x.h\"", PathStyle::Posix(),
                             exists),
            (MessageLocation{header, 4}));
  // An error inside a header: the first field is the including file, the header follows.
  EXPECT_EQ(ParseMessageLine("/u/g_main.c: " + header + ":2: illegal expression", PathStyle::Posix(), exists),
            (MessageLocation{header, 2}));
  EXPECT_EQ(ParseMessageLine("cc: " + header + ": no line", PathStyle::Posix(), exists),
            (MessageLocation{header, 1}));
  EXPECT_EQ(ParseMessageLine("cpp: /no/such.c:1 x", PathStyle::Posix(), exists), std::nullopt);
  auto windowsFile = [](const std::string& path) { return path == "C:\\src\\server\\logic.c"; };
  EXPECT_EQ(ParseMessageLine("cpp: C:/src/server/logic.c:4 text", PathStyle::Windows(), windowsFile),
            (MessageLocation{"C:\\src\\server\\logic.c", 4}));
  EXPECT_EQ(
      ParseMessageLine("cpp: C:/src/server/logic.c has no second colon", PathStyle::Windows(), windowsFile),
      std::nullopt);
}

TEST(BuildJump, DoubleClickMarksTheLineInTheListsColourAndCentresItWithTheCaretOnIt) {
  FakeEditors editors;
  JumpToMessage(std::string("/src/logic.c:120: warning: unused"), editors);
  const FakeWindow& window = editors.windows["/src/logic.c"];
  EXPECT_EQ(window.colour, 255u);
  EXPECT_EQ(window.marked, 120);
  EXPECT_EQ(window.top, 110);
  EXPECT_EQ(window.caretLine, 120);
  EXPECT_TRUE(window.front);

  JumpToPlace({"/src/find.c", 7, 16711680u}, editors);
  EXPECT_EQ(editors.windows["/src/find.c"].colour, 16711680u);
  EXPECT_EQ(editors.windows["/src/find.c"].marked, 7);

  JumpToMessage(std::nullopt, editors);
  JumpToMessage(std::string("nothing to open"), editors);
  EXPECT_EQ(editors.windows.size(), 2u);
}
