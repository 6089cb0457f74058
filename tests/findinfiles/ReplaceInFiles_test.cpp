// Replace in Files on random files with every kind of line end, tabs, NUL and bytes above 127:
// the replaced lines are those a model replaces line by line, and every other byte stays as it was.
#include "ReplaceInFiles.h"

#include "FindInFilesSearch.h"
#include "TempDir.h"
#include "UserQuestions.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

namespace {

std::string RandomBytes(std::mt19937& random, std::size_t most) {
  static const std::string alphabet("aAb _\r\n\r\n\0\t\xe9\xff", 13);
  std::string text;
  for (std::size_t i = random() % (most + 1); i > 0; --i)
    text += alphabet[random() % alphabet.size()];
  return text;
}

// The model's own splitter: each line with the bytes that end it.
std::vector<std::pair<std::string, std::string>> LinesWithEnds(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      lines.emplace_back(line, "\r\n");
      line.clear();
      ++i;
    } else if (text[i] == '\r' || text[i] == '\n') {
      lines.emplace_back(line, std::string(1, text[i]));
      line.clear();
    } else {
      line += text[i];
    }
  }
  if (!line.empty()) lines.emplace_back(line, "");
  return lines;
}

std::string PlainModel(const std::string& line, const std::string& pattern, const std::string& replacement) {
  std::string result;
  std::size_t kept = 0;
  for (std::size_t at = line.find(pattern); at != std::string::npos; at = line.find(pattern, kept)) {
    result += line.substr(kept, at - kept) + replacement;
    kept = at + pattern.size();
  }
  return result + line.substr(kept);
}

struct Case {
  SearchQuery query;
  std::string replacement; // as the user types it
  std::function<std::string(const std::string& line)> model;
};

Case RandomCase(std::mt19937& random) {
  if (random() % 2 == 0) {
    std::string pattern;
    for (int i = 1 + static_cast<int>(random() % 2); i > 0; --i)
      pattern += "ab \t"[random() % 4];
    static const std::string replacements[] = {"", "x\ty", std::string("\0z", 2)};
    const std::string replacement = replacements[random() % 3];
    return {SearchQuery{pattern, true, false, false}, replacement,
            [=](const std::string& line) { return PlainModel(line, pattern, replacement); }};
  }
  static const char* const patterns[] = {"a+", "(a|b)\\s", "[^a\\x80-\\xff]b", "^a", "b$", "(a)(b)?", "\\t"};
  static const std::pair<const char*, const char*> replacements[] = {
      {"", ""}, {"<\\0>", "<$&>"}, {"[\\1]", "[$1]"}, {"\\\\", "\\"}};
  const std::string pattern = patterns[random() % std::size(patterns)];
  const auto [replacement, format] =
      replacements[random() % (pattern.find('(') == std::string::npos ? 2 : 3)];
  const std::string modelFormat = format;
  return {SearchQuery{pattern, true, false, true}, replacement, [=](const std::string& line) {
            return std::regex_replace(line, std::regex(pattern), modelFormat);
          }};
}

TEST(ReplaceInFiles, ReplacesWhatAModelReplacesAndKeepsEveryOtherByte) {
  std::mt19937 random(42);
  TempDir dir;
  for (int round = 0; round < 2000; ++round) {
    const std::string text = RandomBytes(random, 60);
    const Case test = RandomCase(random);
    TextMatcher matcher(test.query);
    Replacer replacer(matcher, test.replacement);
    const FileReplacement plan = replacer.Plan("f.c", text);
    std::string expected;
    int changed = 0;
    for (const auto& [line, end] : LinesWithEnds(text)) {
      const std::string replaced = test.model(line);
      changed += replaced != line;
      expected += replaced + end;
    }
    const std::string shown = "'" + test.query.pattern + "' -> '" + test.replacement + "' in '" + text + "'";
    ASSERT_EQ(plan.before, text) << shown;
    ASSERT_EQ(plan.count > 0 ? plan.after : text, expected) << shown;
    ASSERT_GE(static_cast<int>(plan.lines.size()), changed) << shown;
    if (round % 50 != 0 || plan.count == 0) continue;
    // Written to disk byte for byte.
    const std::string path = dir.write("file" + std::to_string(round) + ".c", text);
    FileReplacement onDisk = plan;
    onDisk.path = path;
    ASSERT_EQ(WriteReplacement(onDisk, false), "");
    ASSERT_EQ(TempDir::read(path), expected) << shown;
  }
}

TEST(ReplaceInFiles, AFileChangedSinceThePreviewIsLeftAsItIs) {
  TempDir dir;
  const std::string path = dir.write("g_main.c", "int a;\r\n");
  TextMatcher matcher(SearchQuery{"a"});
  Replacer replacer(matcher, "b");
  FileReplacement plan = replacer.Plan(path, TempDir::read(path));
  plan.path = path;
  EXPECT_EQ(plan.lines, (std::vector<ReplacedLine>{{1, "int a;", "int b;"}}));
  dir.write("g_main.c", "int a; // edited\r\n");
  EXPECT_EQ(WriteReplacement(plan, false),
            path + " was changed by another program since the search, so nothing was replaced in it.");
  EXPECT_EQ(TempDir::read(path), "int a; // edited\r\n");
  EXPECT_EQ(SummaryText({3, 1, {"one", "two"}}),
            "3 replacements in 1 file.\n\n2 files were left as they were:\none\ntwo");
  EXPECT_EQ(SummaryText({1, 1, {}}), "1 replacement in 1 file.");
}

// Typed text is searched for and put in as each file holds its characters: UTF-8 in a UTF-8
// file, Windows-1252 bytes in another; a file that cannot hold the replacement is left alone.
TEST(ReplaceInFiles, TypedTextGoesInEachFilesOwnEncoding) {
  for (const bool regularExpression : {false, true}) {
    TextMatcher matcher(
        SearchQuery{regularExpression ? "caf." : "caf\xC3\xA9", true, false, regularExpression, true});
    Replacer replacer(matcher, "th\xC3\xA9");
    EXPECT_EQ(replacer.Plan("u.c", "int caf\xC3\xA9;\n").after, "int th\xC3\xA9;\n");
    EXPECT_EQ(replacer.Plan("w.c", "int caf\xE9;\n").after, "int th\xE9;\n");
    Replacer arrow(matcher, "\xE2\x86\x92");
    EXPECT_EQ(arrow.Plan("u.c", "int caf\xC3\xA9;\n").after, "int \xE2\x86\x92;\n");
    EXPECT_THROW((void)arrow.Plan("w.c", "int caf\xE9;\n"), TessarinError);
  }
  // A character Windows-1252 does not have is in no such file.
  TextMatcher arrow(SearchQuery{"\xE2\x86\x92", true, false, false, true});
  EXPECT_EQ(SearchFile(arrow, {"w.c", "\x86\x92\xE9"}).lines.size(), 0u);
}

TEST(ReplaceInFiles, AReplacementNamingAMissingGroupIsRefused) {
  TextMatcher matcher(SearchQuery{"(a)", true, false, true});
  EXPECT_THROW(Replacer(matcher, "\\2"), TessarinError);
  TextMatcher plain(SearchQuery{"(a)"});
  EXPECT_NO_THROW(Replacer(plain, "\\2"));
}

} // namespace
