// The search engine: its documented cases, and a comparison with a plain position-by-position
// search over random and real C lines.
#include "SearchEngine.h"

#include "UserQuestions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace {

std::vector<int> AllMatches(SearchEngine& engine, std::string_view text) {
  engine.FindAllIn(text);
  std::vector<int> columns;
  for (int i = 0; i < engine.ResultCount(); ++i)
    columns.push_back(engine.ResultAt(i));
  return columns;
}

std::vector<int> Find(std::string_view pattern, std::string_view text, bool caseSensitive = false,
                      bool wholeWords = false) {
  SearchEngine engine;
  engine.SetCaseSensitive(caseSensitive);
  engine.SetWholeWords(wholeWords);
  engine.SetPattern(pattern);
  return AllMatches(engine, text);
}

// Written independently of the engine's tables: ASCII letters fold, ASCII letters and digits
// make words, matches are taken leftmost first and never overlap.
std::vector<int> ReferenceFind(std::string_view pattern, std::string_view text, bool caseSensitive,
                               bool wholeWords) {
  const auto fold = [&](unsigned char c) { return !caseSensitive && c >= 'A' && c <= 'Z' ? c + 32 : c; };
  const auto isWordByte = [](unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  };
  std::vector<int> columns;
  std::size_t i = 0;
  while (i + pattern.size() <= text.size()) {
    bool equal = true;
    for (std::size_t k = 0; k < pattern.size() && equal; ++k)
      equal = fold(static_cast<unsigned char>(text[i + k])) == fold(static_cast<unsigned char>(pattern[k]));
    const std::size_t end = i + pattern.size();
    const bool bounded = (i == 0 || !isWordByte(static_cast<unsigned char>(text[i - 1]))) &&
                         (end == text.size() || !isWordByte(static_cast<unsigned char>(text[end])));
    if (equal && (!wholeWords || bounded)) {
      columns.push_back(static_cast<int>(i + 1));
      i = end;
    } else {
      ++i;
    }
  }
  return columns;
}

} // namespace

TEST(SearchEngine, MatchesNeverOverlap) {
  EXPECT_EQ(Find("aa", "aaaa"), (std::vector<int>{1, 3}));
  EXPECT_EQ(Find("aa", "aaaaa"), (std::vector<int>{1, 3}));
  EXPECT_EQ(Find("abab", "abababab"), (std::vector<int>{1, 5}));
  EXPECT_EQ(Find("x", "xyx"), (std::vector<int>{1, 3}));
}

TEST(SearchEngine, WholeWordsTreatUnderscoreAsDelimiter) {
  EXPECT_EQ(Find("foo", "foo_bar", false, true), (std::vector<int>{1}));
  EXPECT_EQ(Find("foo", "foo.bar", false, true), (std::vector<int>{1}));
  EXPECT_TRUE(Find("foo", "foobar", false, true).empty());
  EXPECT_TRUE(Find("foo", "afoo", false, true).empty());
  EXPECT_EQ(Find("foo", "foofoo foo", false, true), (std::vector<int>{8}));
  // A rejected candidate must not hide a bounded one that follows it.
  EXPECT_EQ(Find("aa", "aaa aa", false, true), (std::vector<int>{5}));
  EXPECT_TRUE(IsDelimiter('_'));
  EXPECT_TRUE(IsDelimiter(0xE4));
  EXPECT_FALSE(IsDelimiter('7'));
}

TEST(SearchEngine, CaseFoldingCoversAsciiLettersOnly) {
  EXPECT_EQ(Find("ABC", "xabcx"), (std::vector<int>{2}));
  EXPECT_TRUE(Find("ABC", "xabcx", true).empty());
  EXPECT_EQ(Find("ABC", "xABCx", true), (std::vector<int>{2}));
  EXPECT_TRUE(Find("\xC4", "\xE4").empty()); // bytes above 127 keep their value
  EXPECT_EQ(Find("[", "{[").size(), 1u);     // '[' and '{' differ by 32 but are not letters
}

TEST(SearchEngine, ShortAndEmptyTextsYieldNothing) {
  EXPECT_TRUE(Find("abc", "ab").empty());
  EXPECT_TRUE(Find("abc", "").empty());
  EXPECT_EQ(Find("abc", "abc"), (std::vector<int>{1}));

  SearchEngine unset;
  EXPECT_EQ(unset.FindAllIn("anything"), 0);
  EXPECT_EQ(unset.FindNext(), 0);
}

TEST(SearchEngine, EmptyPatternIsRefusedAndKeepsThePrevious) {
  SearchEngine engine;
  engine.SetPattern("int");
  try {
    engine.SetPattern("");
    FAIL() << "no error";
  } catch (const TessarinError& error) {
    EXPECT_EQ(error.Message(), "Pattern is empty");
  }
  EXPECT_EQ(engine.Pattern(), "int");
  EXPECT_EQ(engine.FindAllIn("int x; int y;"), 2);
}

TEST(SearchEngine, FindNextWalksTheTextAndCountsMatches) {
  SearchEngine engine;
  engine.SetPattern("ab");
  const std::string text = "ab ab ab";
  EXPECT_EQ(engine.FindFirstIn(text), 1);
  EXPECT_EQ(engine.FindNext(), 4);
  EXPECT_EQ(engine.FindNext(), 7);
  EXPECT_EQ(engine.FindNext(), 0);
  EXPECT_EQ(engine.FindNext(), 0);
  EXPECT_EQ(engine.MatchCount(), 3);
  engine.SetPattern("ab"); // the same pattern still restarts the count
  EXPECT_EQ(engine.MatchCount(), 0);
}

TEST(SearchEngine, CaseSettingAppliesWhicheverIsSetFirst) {
  SearchEngine engine;
  engine.SetPattern("ABC");
  engine.SetCaseSensitive(true);
  EXPECT_EQ(AllMatches(engine, "abc ABC"), (std::vector<int>{5}));
  engine.SetCaseSensitive(false);
  EXPECT_EQ(AllMatches(engine, "abc ABC"), (std::vector<int>{1, 5}));

  // Two engines with different settings do not disturb each other.
  SearchEngine other;
  other.SetCaseSensitive(true);
  other.SetPattern("abc");
  EXPECT_EQ(AllMatches(engine, "ABC"), (std::vector<int>{1}));
  EXPECT_TRUE(AllMatches(other, "ABC").empty());
}

TEST(SearchEngine, ResultsFollowReplacements) {
  SearchEngine engine;
  engine.SetPattern("a");
  std::string line = "aaa";
  ASSERT_EQ(engine.FindAllIn(line), 3);
  const std::string replacement = "bb";
  // Replace all on one line: each replacement shifts the results still to be visited.
  for (int i = 0; i < engine.ResultCount(); ++i) {
    const int column = engine.ResultAt(i);
    line.replace(static_cast<std::size_t>(column - 1), 1, replacement);
    engine.ShiftResults(column, 1 - static_cast<int>(replacement.size()));
  }
  EXPECT_EQ(line, "bbbbbb");
  EXPECT_EQ(engine.ResultAt(2), 5);
  EXPECT_EQ(engine.ResultAt(3), 0);
  EXPECT_EQ(engine.ResultAt(-1), 0);

  engine.FindAllIn("a a a");
  engine.ShiftResults(3, 0);
  EXPECT_EQ(engine.ResultAt(2), 5);
  engine.ShiftResults(3, 2); // only results after column 3 move
  EXPECT_EQ(engine.ResultAt(1), 3);
  EXPECT_EQ(engine.ResultAt(2), 3);
}

TEST(SearchEngine, ArbitraryBytesAreSearchedLikeAnyOther) {
  const std::string text("a\0b\xFF\0b", 6);
  EXPECT_EQ(Find(std::string("\0b", 2), text), (std::vector<int>{2, 5}));
  EXPECT_EQ(Find("\xFF", text, true), (std::vector<int>{4}));
  // The scan stops at the end of the view even where the underlying buffer goes on.
  const std::string buffer = "xxab";
  EXPECT_TRUE(Find("ab", std::string_view(buffer).substr(0, 3)).empty());
}

TEST(SearchEngine, AgreesWithReferenceOnRandomLines) {
  std::mt19937 random(7);
  // Few symbols, so that matches and near misses abound; with the neighbours of the letter ranges
  // and bytes above 127, which must not fold.
  const std::string alphabet("aAbBzZ_ .@[`{\xC1\xDA\xE4\0", 17);
  const auto randomText = [&](std::size_t maxLength) {
    std::string text(random() % (maxLength + 1), ' ');
    for (char& c : text)
      c = alphabet[random() % alphabet.size()];
    return text;
  };
  for (int round = 0; round < 20000; ++round) {
    // Long enough for several blocks of sixteen windows, and for the final block moved back.
    const std::string text = randomText(90);
    std::string pattern = randomText(6);
    if (pattern.empty()) pattern = "a";
    const bool caseSensitive = round % 2 == 0;
    const bool wholeWords = round % 4 >= 2;
    ASSERT_EQ(Find(pattern, text, caseSensitive, wholeWords),
              ReferenceFind(pattern, text, caseSensitive, wholeWords))
        << "pattern '" << pattern << "' text '" << text << "' case " << caseSensitive << " words "
        << wholeWords;
  }
}

TEST(SearchEngine, AgreesWithReferenceOnRealSource) {
  std::vector<std::string> lines;
  for (const auto& entry : std::filesystem::directory_iterator("/usr/include")) {
    if (entry.path().extension() != ".h") continue;
    std::ifstream file(entry.path());
    for (std::string line; std::getline(file, line) && lines.size() < 15000;)
      lines.push_back(line);
    if (lines.size() >= 15000) break;
  }
  ASSERT_GT(lines.size(), 1000u);

  std::mt19937 random(11);
  std::vector<std::string> patterns = {"if", "int", "struct", "const char", "__", "ab", "#define", "((", "e"};
  for (int i = 0; i < 40; ++i) {
    // Pieces of real lines, so that most patterns do occur.
    const std::string& line = lines[random() % lines.size()];
    if (line.empty()) continue;
    const std::size_t start = random() % line.size();
    patterns.push_back(line.substr(start, 1 + random() % 12));
  }
  SearchEngine engine;
  for (const std::string& pattern : patterns) {
    for (int mode = 0; mode < 4; ++mode) {
      const bool caseSensitive = mode & 1;
      const bool wholeWords = mode & 2;
      engine.SetCaseSensitive(caseSensitive);
      engine.SetWholeWords(wholeWords);
      engine.SetPattern(pattern);
      for (const std::string& line : lines)
        ASSERT_EQ(AllMatches(engine, line), ReferenceFind(pattern, line, caseSensitive, wholeWords))
            << "pattern '" << pattern << "' line '" << line << "'";
    }
  }
}
