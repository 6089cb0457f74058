// The errors and warnings read from message lines in every form the tools print them, kept by
// file in their order and counted; lines that name no place are neither.
#include "BuildDiagnostics.h"

#include "JumpToSource.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <stdexcept>

namespace {

bool KnownFile(const std::string& path) {
  return path == "/mod/g_local.h" || path == "/mod/g_main.c" || path == "/mod/ai.c" || path == "/mod/a.c";
}

} // namespace

TEST(BuildDiagnostics, ReadsEachMessageFormAndCountsByKind) {
  MessageLines lines;
  BuildDiagnostics diagnostics(lines, PathStyle::Posix(), KnownFile);
  const std::vector<std::string> output = {"/mod/g_main.c:3: syntax error; found `x' expecting `;'",
                                           "/mod/g_main.c:4: warning: missing return value",
                                           "/mod/ai.c: /mod/g_local.h:31: illegal expression",
                                           "cpp: /mod/g_local.h:9 Could not find include file \"nosuch.h\"",
                                           "/out/vm/g_main.asm:1667 error: symbol G_Missing undefined",
                                           "/mod/g_main.c:6: error: symbol G_Missing undefined",
                                           "pass 0: g_main.asm",
                                           "0 total errors",
                                           "/mod/g_main.c:1: Warning: unknown pragma",
                                           "instruction count: 32",
                                           "/mod/gone.c:2: syntax error"};
  const std::set<std::size_t> messages = {0, 1, 2, 3, 5, 8};
  for (std::size_t i = 0; i < output.size(); ++i) {
    lines.Add(output[i]);
    EXPECT_EQ(KindOfMessage(output[i], PathStyle::Posix(), KnownFile).has_value(), messages.count(i) > 0)
        << output[i];
  }
  lines.Add(std::string());
  EXPECT_EQ(diagnostics.Errors(), 4);
  EXPECT_EQ(diagnostics.Warnings(), 2);
  EXPECT_EQ(diagnostics.Files(), (std::vector<std::string>{"/mod/g_local.h", "/mod/g_main.c"}));
  EXPECT_EQ(diagnostics.Of("/mod/g_main.c"),
            (std::vector<Diagnostic>{{3, DiagnosticKind::Error, output[0]},
                                     {4, DiagnosticKind::Warning, output[1]},
                                     {6, DiagnosticKind::Error, output[5]},
                                     {1, DiagnosticKind::Warning, output[8]}}));
  EXPECT_EQ(diagnostics.Of("/mod/g_local.h"),
            (std::vector<Diagnostic>{{31, DiagnosticKind::Error, output[2]},
                                     {9, DiagnosticKind::Error, output[3]}}));

  lines.Clear();
  EXPECT_EQ(diagnostics.Errors() + diagnostics.Warnings(), 0);
  EXPECT_TRUE(diagnostics.Files().empty());
}

// A line is judged when it is complete: one filled in pieces counts once.
TEST(BuildDiagnostics, ALineCountsOnceWhenComplete) {
  MessageLines lines;
  BuildDiagnostics diagnostics(lines, PathStyle::Posix(), KnownFile);
  lines.Add("/mod/a.c");
  lines.SetLast("/mod/a.c:7: warn");
  lines.SetLast("/mod/a.c:7: warning: x");
  EXPECT_EQ(diagnostics.Warnings(), 0) << "still being filled";
  lines.Add(std::string());
  EXPECT_EQ(diagnostics.Warnings(), 1);
  EXPECT_EQ(diagnostics.Of("/mod/a.c").front().line, 7);
}

// A tool that warns a million times: every warning counts, the first few thousand are kept.
TEST(BuildDiagnostics, CountsEveryMessageAndKeepsTheFirst) {
  MessageLines lines(MessageLines::Keep::LastLineOnly);
  BuildDiagnostics diagnostics(lines, PathStyle::Posix(), KnownFile);
  const int count = static_cast<int>(BuildDiagnostics::kMostKept) * 3;
  for (int i = 1; i <= count; ++i)
    lines.Add("/mod/a.c:" + std::to_string(i) + ": warning: x");
  lines.Add(std::string());
  EXPECT_EQ(diagnostics.Warnings(), count);
  ASSERT_EQ(diagnostics.Of("/mod/a.c").size(), BuildDiagnostics::kMostKept);
  EXPECT_EQ(diagnostics.Of("/mod/a.c").back().line, static_cast<int>(BuildDiagnostics::kMostKept));
}

namespace {

// Message lines read the plain way, one search after another: what the build's own reading of
// a flood must agree with, line for line.
namespace plain {

// Blanks, a plus sign, then a whole number in int's range and nothing else.
std::optional<int> Number(const std::string& text) {
  static const std::regex kNumber(R"( *\+?(-?[0-9]+))");
  std::smatch match;
  if (!std::regex_match(text, match, kNumber)) return std::nullopt;
  try {
    const long long value = std::stoll(match[1]);
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
      return std::nullopt;
    return static_cast<int>(value);
  } catch (const std::out_of_range&) {
    return std::nullopt;
  }
}

std::optional<MessageLocation> Place(const std::string& line, PathStyle style,
                                     const std::function<bool(const std::string&)>& isFile) {
  std::size_t colon = line.find(':');
  if (style.windows && colon == 1) colon = line.find(':', 2);
  const std::string file = colon == std::string::npos ? "" : line.substr(0, colon);
  const std::string rest = colon == std::string::npos ? line : line.substr(colon + 1);
  if (const auto number = Number(rest.substr(0, rest.find(':'))))
    return file.empty() ? std::nullopt : std::optional(MessageLocation{file, *number});
  if (rest.empty()) return std::nullopt;
  const std::string after = rest.substr(1);
  std::size_t end = after.find(':');
  if (end != std::string::npos && style.windows) end = after.find(':', end + 1);
  if (end == std::string::npos) return std::nullopt;
  std::string named = after.substr(0, end);
  if (style.windows) std::replace(named.begin(), named.end(), '/', '\\');
  if (!isFile(named)) return std::nullopt;
  const std::string digits = after.substr(end + 1);
  return MessageLocation{named, Number(digits.substr(0, digits.find_first_not_of("0123456789"))).value_or(1)};
}

std::optional<DiagnosticKind> Kind(const std::string& line, PathStyle style,
                                   const std::function<bool(const std::string&)>& isFile) {
  const auto place = Place(line, style, isFile);
  if (!place || !isFile(place->file)) return std::nullopt;
  std::size_t colon = line.find(':');
  if (style.windows && colon == 1) colon = line.find(':', 2);
  const std::size_t after = colon == std::string::npos ? 0 : colon;
  const bool warning = line.find(" warning:", after) != std::string::npos ||
                       line.find(" Warning:", after) != std::string::npos;
  return warning ? DiagnosticKind::Warning : DiagnosticKind::Error;
}

} // namespace plain

// A message-like line from pieces that tools print and pieces that trip a reader up.
std::string RandomMessageLine(std::mt19937& random) {
  static const std::vector<std::string> pieces = {"C:",
                                                  "c:",
                                                  "/",
                                                  "\\",
                                                  ":",
                                                  " ",
                                                  "  ",
                                                  "+",
                                                  "-",
                                                  "0",
                                                  "7",
                                                  "12",
                                                  "31",
                                                  "2147483647",
                                                  "2147483648",
                                                  "99999999999",
                                                  "warning:",
                                                  " warning:",
                                                  " Warning:",
                                                  "arning:",
                                                  " w",
                                                  " W",
                                                  "rning:",
                                                  "x",
                                                  "g_main.c",
                                                  "dir with space/",
                                                  "a.h",
                                                  "cpp",
                                                  "main.c: ",
                                                  "header.h:31: ",
                                                  "C:\\mod\\a.h",
                                                  "C:/mod/a.h",
                                                  "/mod/a.h",
                                                  "/mod/dir with space/a.h",
                                                  "\xe2\x82\xac"};
  std::string line;
  for (int count = std::uniform_int_distribution<int>(0, 10)(random); count > 0; --count)
    line += pieces[random() % pieces.size()];
  return line;
}

bool RandomKnownFile(const std::string& path) {
  static const std::set<std::string> known = {
      "g_main.c",     "a.h",          "/mod/a.h", "/mod/dir with space/a.h",
      "C:\\mod\\a.h", "c:\\mod\\a.h", "C",        "main.c"};
  return known.count(path) > 0;
}

} // namespace

// Random message lines in both path styles: the place, the kind and the build's counts and kept
// messages are those of the plain reading.
TEST(BuildDiagnostics, RandomLinesReadAsThePlainReadingReadsThem) {
  std::mt19937 random(33);
  for (const PathStyle style : {PathStyle::Posix(), PathStyle::Windows()}) {
    MessageLines lines(MessageLines::Keep::LastLineOnly);
    BuildDiagnostics diagnostics(lines, style, RandomKnownFile);
    int errors = 0, warnings = 0;
    std::map<std::string, std::vector<Diagnostic>> kept;
    for (int round = 0; round < 20000; ++round) {
      const std::string line = RandomMessageLine(random);
      const auto place = plain::Place(line, style, RandomKnownFile);
      ASSERT_EQ(ParseMessageLine(line, style, RandomKnownFile), place) << line;
      const auto kind = plain::Kind(line, style, RandomKnownFile);
      ASSERT_EQ(KindOfMessage(line, style, RandomKnownFile), kind) << line;
      if (kind) {
        if (errors + warnings < static_cast<int>(BuildDiagnostics::kMostKept))
          kept[place->file].push_back({place->line, *kind, line});
        ++(*kind == DiagnosticKind::Warning ? warnings : errors);
      }
      lines.Add(line);
    }
    lines.Add(std::string());
    EXPECT_EQ(diagnostics.Errors(), errors);
    EXPECT_EQ(diagnostics.Warnings(), warnings);
    for (const auto& [file, expected] : kept)
      EXPECT_EQ(diagnostics.Of(file), expected) << file;
  }
}
