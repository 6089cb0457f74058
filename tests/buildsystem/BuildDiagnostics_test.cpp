// The errors and warnings read from message lines in every form the tools print them, kept by
// file in their order and counted; lines that name no place are neither.
#include "BuildDiagnostics.h"

#include <gtest/gtest.h>
#include <set>

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
