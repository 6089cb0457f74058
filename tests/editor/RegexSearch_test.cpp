// Regular expressions: random patterns against an independent engine (the standard library's
// ECMAScript one, which takes matches leftmost first as PCRE2 does), literal patterns against the
// plain search, replacements against a model, and the messages for what cannot be used.
#include "RegexSearch.h"

#include "SearchEngine.h"
#include "UserQuestions.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

namespace {

class RandomRegex {
public:
  explicit RandomRegex(unsigned seed) : random_(seed) {}

  std::string Text(std::size_t most) { return Pick("aAbB _.-", random_() % (most + 1)); }

  // A pattern of the grammar both engines read alike.
  std::string Pattern(int depth = 0) {
    std::string pattern;
    const int atoms = 1 + static_cast<int>(random_() % 3);
    for (int i = 0; i < atoms; ++i) {
      switch (random_() % (depth < 2 ? 8 : 6)) {
      case 0: pattern += "."; break;
      case 1: pattern += random_() % 2 ? "[ab]" : "[^a ]"; break;
      case 2: pattern += random_() % 2 ? "^" : "$"; break;
      case 3: pattern += "\\."; break;
      case 6: pattern += "(" + Pattern(depth + 1) + ")"; continue;
      case 7: pattern += "(" + Pattern(depth + 1) + "|" + Pattern(depth + 1) + ")"; continue;
      default: pattern += Pick("aAb_ ", 1); break;
      }
      // Single atoms only: a repeated group sends the reference engine into exponential time.
      if (random_() % 3 == 0 && pattern.back() != '^' && pattern.back() != '$')
        pattern += std::string("*+?")[random_() % 3];
    }
    return pattern;
  }

  std::string Pick(const std::string& from, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
      text += from[random_() % from.size()];
    return text;
  }
  bool Coin() { return random_() % 2 == 0; }

private:
  std::mt19937 random_;
};

std::vector<TextMatch> ModelMatches(const std::regex& model, const std::string& line) {
  std::vector<TextMatch> matches;
  for (auto it = std::sregex_iterator(line.begin(), line.end(), model); it != std::sregex_iterator(); ++it)
    matches.push_back({static_cast<std::size_t>(it->position(0)), static_cast<std::size_t>(it->length(0))});
  return matches;
}

std::string Shown(const std::vector<TextMatch>& matches) {
  std::string shown;
  for (const TextMatch& match : matches)
    shown += std::to_string(match.start) + "+" + std::to_string(match.length) + " ";
  return shown;
}

TEST(RegexSearch, FindsWhatAnIndependentEngineFindsOnRandomLines) {
  RandomRegex random(7);
  for (int round = 0; round < 4000; ++round) {
    const std::string pattern = random.Pattern(), line = random.Text(24);
    const bool caseSensitive = random.Coin();
    RegexSearch search(pattern, caseSensitive, false);
    const std::regex model(pattern, caseSensitive ? std::regex::ECMAScript
                                                  : std::regex::ECMAScript | std::regex::icase);
    ASSERT_EQ(Shown(search.FindAllIn(line)), Shown(ModelMatches(model, line)))
        << "/" << pattern << "/ in '" << line << "'" << (caseSensitive ? "" : " ignoring case");
  }
}

TEST(RegexSearch, ReplacesWithGroupsAsAModelDoes) {
  RandomRegex random(11);
  for (int round = 0; round < 3000; ++round) {
    const std::string pattern = random.Pattern(), line = random.Text(24);
    RegexSearch search(pattern, true, false);
    const int groups = search.GroupCount();
    // A replacement using the groups there are, escapes and plain text.
    std::string replacement, modelFormat;
    for (int i = 0; i < 3; ++i) {
      const int group = static_cast<int>(random.Pick("0123456789", 1)[0] - '0') % (groups + 1);
      replacement += "<\\" + std::to_string(group) + "\\\\>";
      modelFormat += "<$" + (group == 0 ? std::string("&") : std::to_string(group)) + "\\>";
    }
    const std::string replaced = RegexReplacement(replacement, search).ReplaceAllIn(search, line);
    const std::string expected = std::regex_replace(line, std::regex(pattern), modelFormat);
    ASSERT_EQ(replaced, expected) << "/" << pattern << "/ -> '" << replacement << "' in '" << line << "'";
  }
}

// An escaped literal finds exactly what the plain search finds, in every mode.
TEST(RegexSearch, ALiteralPatternFindsWhatThePlainSearchFinds) {
  RandomRegex random(5);
  for (int round = 0; round < 4000; ++round) {
    const std::string literal = random.Pick("aAb_ .", 1 + random.Coin() + random.Coin());
    const std::string line = random.Text(30);
    const bool caseSensitive = random.Coin(), wholeWords = random.Coin();
    std::string escaped;
    for (char c : literal)
      escaped += c == '.' ? std::string("\\.") : std::string(1, c);
    RegexSearch search(escaped, caseSensitive, wholeWords);
    SearchEngine plain;
    plain.SetPattern(literal);
    plain.SetCaseSensitive(caseSensitive);
    plain.SetWholeWords(wholeWords);
    std::vector<TextMatch> expected;
    for (int i = 0; i < plain.FindAllIn(line); ++i)
      expected.push_back({static_cast<std::size_t>(plain.ResultAt(i) - 1), literal.size()});
    ASSERT_EQ(Shown(search.FindAllIn(line)), Shown(expected))
        << "'" << literal << "' in '" << line << "'" << (caseSensitive ? "" : " ignoring case")
        << (wholeWords ? " as a word" : "");
  }
}

TEST(RegexSearch, TakesBytesAsTheyAreAndUtf8AsCharacters) {
  using namespace std::string_literals;
  RegexSearch any("a.c", true, false);
  // A NUL is a character; an invalid byte is stepped over, never matched.
  EXPECT_EQ(Shown(any.FindAllIn("a\0c a\xe9z\xff a\xc3\xa9"
                                "c"s)),
            "0+3 9+4 ");
  RegexSearch accented("caf\xc3\xa9", false, false);
  EXPECT_EQ(Shown(accented.FindAllIn("CAF\xc3\xa9 caf\xc3\x89")), "0+5 6+5 ");
  // A pattern that is not UTF-8 goes byte by byte.
  RegexSearch latin("caf\xe9.", true, false);
  EXPECT_EQ(Shown(latin.FindAllIn("caf\xe9\xe9")), "0+5 ");
}

TEST(RegexSearch, WholeWordsUseTheEditorsDelimiters) {
  RegexSearch word("fo+", true, true);
  EXPECT_EQ(Shown(word.FindAllIn("foo_bar foo.bar foobar xfoo foo")), "0+3 8+3 28+3 ");
}

TEST(RegexSearch, InvalidPatternsAndGroupsAreRefusedWithAClearMessage) {
  auto message = [](const std::function<void()>& make) {
    try {
      make();
    } catch (const TessarinError& error) {
      return error.message();
    }
    return std::string("accepted");
  };
  EXPECT_EQ(message([] { RegexSearch("", true, false); }), "Pattern is empty");
  EXPECT_EQ(message([] { RegexSearch("a(b", true, false); }),
            "The regular expression 'a(b' is not valid: missing closing parenthesis (at character 4)");
  EXPECT_EQ(message([] { RegexSearch("x\\", true, true); }),
            "The regular expression 'x\\' is not valid: \\ at end of pattern (at character 3)");
  RegexSearch twoGroups("(a)(b)", true, false), none("ab", true, false);
  EXPECT_EQ(message([&] { RegexReplacement("\\2\\3", twoGroups); }),
            "The replacement uses group \\3, but the expression has only 2 groups");
  EXPECT_EQ(message([&] { RegexReplacement("\\1", none); }),
            "The replacement uses group \\1, but the expression has no groups");
  EXPECT_EQ(message([&] { RegexReplacement("\\0\\q\\", none); }), "accepted");
}

TEST(RegexSearch, OnlyPatternsThatLookAroundAreLineByLineOnly) {
  for (const char* pattern : {"(?<=a)b", "a(?!b)", "\\Aa", "a\\z", "(*CR)a"})
    EXPECT_TRUE(RegexSearch(pattern, true, false).LineByLineOnly()) << pattern;
  for (const char* pattern : {"^a$", "(?<name>a)\\s+b", "a.*b"})
    EXPECT_FALSE(RegexSearch(pattern, true, false).LineByLineOnly()) << pattern;
}

} // namespace
