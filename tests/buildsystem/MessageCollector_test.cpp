// Tool output into message lines (line ends split across chunks, tabs, long-form file names,
// the assembler summary) and the reading of message lines for the jump to source.
#include "BuildTestSupport.h"
#include "JumpToSource.h"
#include "MessageCollector.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <map>
#include <random>

namespace {

using Lines = std::vector<std::string>;

// The completed lines: all but the last, the one being filled, which the collector leaves empty.
Lines Held(const MessageLines& lines) {
  if (lines.Empty()) return {};
  EXPECT_EQ(lines.Last(), "");
  return {lines.Lines().begin(), lines.Lines().end() - 1};
}

Lines Collect(const std::vector<std::string>& chunks, bool isError = false) {
  MessageCollector collector;
  MessageLines lines;
  for (const auto& chunk : chunks)
    collector.CollectOutput(chunk, lines, isError);
  collector.EndOutput(lines);
  return Held(lines);
}

bool Never(const std::string&) { return false; }

} // namespace

TEST(BuildCollector, JoinsChunksAndCountsEveryKindOfLineEndOnce) {
  EXPECT_EQ(Collect({"abc", "def\r\n", "x"}), (Lines{"abcdef", "x"}));
  EXPECT_EQ(Collect({"one\r", "\ntwo"}), (Lines{"one", "two"})) << "a pair split between chunks";
  EXPECT_EQ(Collect({"a\r\n\r\nb"}), (Lines{"a", "", "b"}));
  EXPECT_EQ(Collect({"a\nb\nc\n"}), (Lines{"a", "b", "c"})) << "bare line feeds, as every Linux tool writes";
  EXPECT_EQ(Collect({"a\n\nb"}), (Lines{"a", "", "b"}));
  EXPECT_EQ(Collect({"a\rb\rc"}), (Lines{"a", "b", "c"}));
  EXPECT_EQ(Collect({"a\n", "\rb"}), (Lines{"a", "", "b"})) << "LF then CR is two line ends";
  EXPECT_EQ(Collect({"a\r", "x\nb"}), (Lines{"a", "x", "b"})) << "text between CR and LF breaks the pair";
}

// q3asm writes "g_main.asm:1667 " and "error: symbol X undefined" as two writes; whatever the
// other stream writes between them, the line stays whole and keeps its place in its stream.
TEST(BuildCollector, EachStreamFillsItsOwnLine) {
  MessageCollector collector;
  MessageLines lines;
  collector.CollectOutput("g_main.asm:1667 ", lines, true);
  collector.CollectOutput("pass 1: g_main.asm\r", lines, false);
  collector.CollectOutput("error: symbol X undefined\n", lines, true);
  collector.CollectOutput("\n3 total errors\n", lines, false);
  EXPECT_EQ(Held(lines),
            (Lines{"pass 1: g_main.asm", "g_main.asm:1667 error: symbol X undefined", "3 total errors"}))
      << "a CR LF pair is one line end within its stream";
}

// Two streams, each a random run of lines, written in random pieces in a random interleaving:
// each stream's lines come out whole and in its order.
TEST(BuildCollector, RandomInterleavingsKeepEveryLineWhole) {
  std::mt19937 random(31);
  for (int round = 0; round < 200; ++round) {
    Lines written[2];
    std::string text[2];
    for (int stream = 0; stream < 2; ++stream)
      for (int line = std::uniform_int_distribution<int>(0, 8)(random); line > 0; --line) {
        written[stream].push_back(
            std::string(std::uniform_int_distribution<std::size_t>(0, 30)(random), stream == 0 ? 'o' : 'e'));
        text[stream] += written[stream].back() + (random() % 2 ? "\n" : "\r\n");
      }
    MessageCollector collector;
    MessageLines lines;
    std::size_t at[2] = {0, 0};
    while (at[0] < text[0].size() || at[1] < text[1].size()) {
      const int stream = at[0] == text[0].size() ? 1 : at[1] == text[1].size() ? 0 : int(random() % 2);
      const std::size_t piece = std::uniform_int_distribution<std::size_t>(1, 12)(random);
      collector.CollectOutput(std::string_view(text[stream]).substr(at[stream], piece), lines, stream == 1);
      at[stream] = std::min(text[stream].size(), at[stream] + piece);
    }
    Lines seen[2];
    for (const std::string& line : Held(lines))
      if (!line.empty()) seen[line[0] == 'e'].push_back(line);
    for (int stream = 0; stream < 2; ++stream) {
      Lines expected;
      for (const std::string& line : written[stream])
        if (!line.empty()) expected.push_back(line);
      EXPECT_EQ(seen[stream], expected) << "round " << round;
    }
    EXPECT_EQ(Held(lines).size(), written[0].size() + written[1].size()) << "round " << round;
  }
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
  EXPECT_EQ(collector.AssemblerResult, " - 1 total errors (and more)") << "the whole line";
}

// A tool printing without line ends cannot make one line grow without end: past the limit the
// line is completed, and the text goes on in the next, nothing lost.
TEST(BuildCollector, AVeryLongLineWithoutLineEndsIsCompletedAtTheLimit) {
  MessageCollector collector;
  MessageLines lines;
  const std::string chunk(65535, 'x');
  for (int i = 0; i < 200; ++i)
    collector.CollectOutput(chunk, lines, true);
  collector.EndOutput(lines);
  std::size_t bytes = 0;
  for (const std::string& line : Held(lines)) {
    EXPECT_LE(line.size(), MessageLines::kLongestHeldLine);
    EXPECT_EQ(line.find_first_not_of('x'), std::string::npos);
    bytes += line.size();
  }
  EXPECT_EQ(bytes, 200u * 65535u);
  EXPECT_EQ(Held(lines).size(), 200u * 65535u / MessageLines::kLongestHeldLine + 1);
}

// Each tool run has its collector: the last line of one run is complete when the run ends, so
// the next run's output starts a line of its own.
TEST(BuildCollector, TheEndOfARunCompletesItsLastLine) {
  MessageLines lines;
  MessageCollector first, second;
  first.CollectOutput("first without line end", lines, true);
  first.CollectOutput("out without line end", lines, false);
  first.EndOutput(lines);
  second.CollectOutput("second\n", lines, false);
  second.EndOutput(lines);
  EXPECT_EQ(Held(lines), (Lines{"out without line end", "first without line end", "second"}));
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

namespace {

// The lines as each is completed, as the command-line build prints them.
class LineRecorder : public MessageLines::Watcher {
public:
  explicit LineRecorder(MessageLines& watched) : watched_(watched) { watched_.AddWatcher(this); }
  ~LineRecorder() override { watched_.RemoveWatcher(this); }
  LineRecorder(const LineRecorder&) = delete;
  LineRecorder& operator=(const LineRecorder&) = delete;
  Lines lines;

private:
  void LineAdded() override {
    const auto& all = watched_.Lines();
    if (all.size() >= 2) lines.push_back(all[all.size() - 2]);
  }
  MessageLines& watched_;
};

// What the collector makes of one stream's bytes, read a character at a time: a CR, an LF or a
// CR LF pair ends a line, a line reaching the longest a line may be is completed before its next
// character, tabs are expanded, and a standard-error line's file name takes its long form.
Lines PlainLines(const std::string& text, bool isError, LongPathCache& longPaths) {
  Lines lines;
  std::string line;
  auto complete = [&] {
    const std::string expanded = ExpandTabs(line);
    lines.push_back(isError ? NormaliseMessageLine(expanded, PathStyle::Posix(), longPaths) : expanded);
    line.clear();
  };
  bool afterCarriageReturn = false;
  for (const char c : text) {
    const bool pairEnd = c == '\n' && afterCarriageReturn;
    afterCarriageReturn = c == '\r';
    if (pairEnd) continue;
    if (c == '\r' || c == '\n') {
      complete();
      continue;
    }
    if (line.size() == MessageLines::kLongestHeldLine) complete();
    line += c;
  }
  if (!line.empty()) complete();
  return lines;
}

// Tool output with long and short lines, every kind of line end, tabs, colons and names of
// files that have a long form.
std::string RandomOutput(std::mt19937& random, bool huge) {
  static const std::vector<std::string> pieces = {
      "a",  "/mod/x.c", "x.c",  ":",         "12", " ",  "\t",
      "\r", "\n",       "\r\n", "warning: ", "C:", "\\", "dir with space/"};
  std::string text;
  for (int count = std::uniform_int_distribution<int>(0, 60)(random); count > 0; --count)
    text += pieces[random() % pieces.size()];
  if (huge) text.insert(random() % (text.size() + 1), MessageLines::kLongestHeldLine * 2 + random() % 3, 'h');
  return text;
}

} // namespace

// Random output cut into random chunks, kept whole or only line by line as the command-line build
// keeps it: the lines are those of the plain reading, each once and in order.
TEST(BuildCollector, RandomChunksMakeTheLinesOfThePlainReading) {
  std::mt19937 random(33);
  auto lookUp = [](const std::string& path) -> std::optional<std::string> {
    if (path == "x.c") return "/mod/x.c";
    if (path == "/mod/x.c" || path == "dir with space/x.c") return path;
    return std::nullopt;
  };
  for (int round = 0; round < 400; ++round) {
    const bool isError = round % 2 == 1;
    const std::string text = RandomOutput(random, round % 100 == 7);
    auto longPaths = std::make_shared<LongPathCache>(lookUp);
    const Lines expected = PlainLines(text, isError, *longPaths);
    for (const auto keep : {MessageLines::Keep::AllLines, MessageLines::Keep::LastLineOnly}) {
      MessageCollector collector(PathStyle::Posix(), longPaths);
      MessageLines lines(keep);
      LineRecorder completed(lines);
      for (std::size_t at = 0; at < text.size();) {
        const std::size_t size = random() % 3 == 0 ? random() % 4 : random() % (text.size() + 1);
        collector.CollectOutput(std::string_view(text).substr(at, size), lines, isError);
        at += size;
      }
      collector.EndOutput(lines);
      ASSERT_EQ(completed.lines, expected) << "round " << round;
      if (keep == MessageLines::Keep::AllLines) {
        ASSERT_EQ(Held(lines), expected) << "round " << round;
      }
    }
  }
}
