// Regular expressions: random patterns against an independent engine (the standard library's
// ECMAScript one, which takes matches leftmost first as PCRE2 does), random patterns over
// non-ASCII text against PCRE2's interpreter on plain UTF-8, literal patterns against the plain
// search, replacements against a model, and the messages for what cannot be used.
#include "RegexSearch.h"

#include "SearchEngine.h"
#include "UserQuestions.h"

#include <gtest/gtest.h>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

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

// The reference for text beyond ASCII: PCRE2's interpreter in UTF-8 mode, never shown an invalid
// sequence. A UTF-8 line is searched piece by piece between its runs of invalid bytes (which
// never match, and which no match crosses); a Windows-1252 line is turned into UTF-8, one character
// for each byte, and the matches mapped back to its bytes.
class ReferenceMatcher {
public:
  ReferenceMatcher(const std::string& utf8Pattern, bool caseSensitive, bool wholeWords) {
    const std::string pattern =
        wholeWords ? "(?<![0-9A-Za-z])(?:" + utf8Pattern + ")(?![0-9A-Za-z])" : utf8Pattern;
    int error = 0;
    PCRE2_SIZE offset = 0;
    code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                          PCRE2_UTF | PCRE2_MULTILINE | (caseSensitive ? 0 : PCRE2_CASELESS), &error, &offset,
                          nullptr);
    data_ = pcre2_match_data_create(10, nullptr);
  }
  ~ReferenceMatcher() {
    pcre2_match_data_free(data_);
    pcre2_code_free(code_);
  }
  ReferenceMatcher(const ReferenceMatcher&) = delete;
  ReferenceMatcher& operator=(const ReferenceMatcher&) = delete;

  std::vector<TextMatch> FindAllIn(const std::string& line, TextEncoding encoding) {
    if (encoding == TextEncoding::Windows1252) {
      std::vector<std::size_t> byteAt; // the byte of each UTF-8 offset
      std::string utf8;
      for (std::size_t i = 0; i < line.size(); ++i) {
        const std::string character = ToUtf8(line.substr(i, 1), encoding);
        byteAt.insert(byteAt.end(), character.size(), i);
        utf8 += character;
      }
      byteAt.push_back(line.size());
      std::vector<TextMatch> matches = InPiece(utf8, 0, utf8.size());
      for (TextMatch& match : matches) {
        const std::size_t end = byteAt[match.start + match.length];
        match.start = byteAt[match.start];
        match.length = end - match.start;
      }
      return matches;
    }
    std::vector<TextMatch> matches;
    std::size_t pieceStart = 0;
    for (std::size_t i = 0; i <= line.size();) {
      const bool invalid = i < line.size() && static_cast<unsigned char>(line[i]) >= 0x80 &&
                           CharLength(line, i, encoding) == 1;
      // PCRE2 tries no empty match just after an invalid byte that is followed by another one
      // or ends the line.
      if ((i == line.size() || invalid) && !(i > 0 && pieceStart == i)) {
        for (const TextMatch& match : InPiece(line, pieceStart, i))
          matches.push_back(match);
      }
      if (invalid) pieceStart = i + 1;
      i += static_cast<std::size_t>(CharLength(line, i, encoding));
    }
    return matches;
  }

private:
  // The matches within text[start, end), a subject of its own whose ends are no line's ends
  // unless they are the text's.
  std::vector<TextMatch> InPiece(const std::string& text, std::size_t start, std::size_t end) {
    std::vector<TextMatch> matches;
    const std::uint32_t ends = (start > 0 ? PCRE2_NOTBOL : 0) | (end < text.size() ? PCRE2_NOTEOL : 0);
    std::size_t from = 0;
    std::uint32_t notEmpty = 0;
    while (pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(text.data() + start), end - start, from,
                       ends | notEmpty, data_, nullptr) > 0) {
      const PCRE2_SIZE* found = pcre2_get_ovector_pointer(data_);
      matches.push_back({start + found[0], found[1] - found[0]});
      from = found[1];
      notEmpty = found[0] == found[1] ? PCRE2_NOTEMPTY_ATSTART : 0;
    }
    return matches;
  }

  pcre2_code* code_ = nullptr;
  pcre2_match_data* data_ = nullptr;
};

// Lines of ASCII, UTF-8 characters and bytes that are no UTF-8, or of Windows-1252 characters
// (without capitals beyond ASCII, whose case only UTF-8 knows); classes, dots and leading .*
// over them, with and without case and whole words.
TEST(RegexSearch, FindsWhatTheInterpreterFindsInUtf8AndWindows1252Text) {
  RandomRegex random(13);
  const std::vector<std::string> utf8Pieces = {
      "a", "b", "A", "X", "1", " ", "_", "\xC3\xA9", "\xE2\x86\x92", "\xFF", "\xE9", "\xC3"};
  const std::vector<std::string> latinPieces = {"a", "b",    "A",    "X",    "1",    " ",
                                                "_", "\xE9", "\x80", "\xA0", "\xD7", "\x81"};
  const std::vector<std::string> atoms = {".", "\\W",      "\\D", "\\S", "\\w",     "[^a]", "[ab]", "X",
                                          "a", "\xC3\xA9", "\\d", "\\s", "(a|\\W)", "^",    "$"};
  for (int round = 0; round < 6000; ++round) {
    const TextEncoding encoding = random.Coin() ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    const auto& pieces = encoding == TextEncoding::Utf8 ? utf8Pieces : latinPieces;
    std::string line, pattern = random.Coin() ? ".*" : "";
    for (int i = random.Pick("0123456789", 1)[0] - '0'; i > 0; --i)
      line += pieces[static_cast<std::size_t>(random.Pick("0123456789ab", 1)[0] - '0') % pieces.size()];
    for (int i = 1 + random.Coin() + random.Coin(); i > 0; --i) {
      pattern += atoms[static_cast<std::size_t>(random.Pick("0123456789abcdef", 1)[0] - '0') % atoms.size()];
      if (random.Coin() && pattern.back() != '^' && pattern.back() != '$') pattern += random.Pick("*+?", 1);
    }
    const bool caseSensitive = random.Coin(), wholeWords = random.Pick("abc", 1) == "a";
    RegexSearch search(*FromUtf8(pattern, encoding), caseSensitive, wholeWords, encoding);
    ReferenceMatcher reference(pattern, caseSensitive, wholeWords);
    ASSERT_EQ(Shown(search.FindAllIn(line)), Shown(reference.FindAllIn(line, encoding)))
        << "/" << pattern << "/ in '" << line << "' as " << EncodingName(encoding)
        << (caseSensitive ? "" : " ignoring case") << (wholeWords ? " as a word" : "");
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

// Non-word characters beyond ASCII, a Windows-1252 letter under a dot, a leading .* past an
// invalid byte.
TEST(RegexSearch, MatchesEveryCharacterOfUtf8AndWindows1252Lines) {
  RegexSearch nonWord("\\W", true, false);
  EXPECT_EQ(RegexReplacement("_", nonWord)
                .ReplaceAllIn(nonWord, "a\xE2\x86\x92"
                                       "b 1\xC3\xA9"
                                       "2"),
            "a_b_1_2");
  RegexSearch dot("caf.", true, false, TextEncoding::Windows1252);
  EXPECT_EQ(Shown(dot.FindAllIn("int caf\xE9;")), "4+4 ");
  RegexSearch upToX(".*X", true, false);
  EXPECT_EQ(Shown(upToX.FindAllIn("a\xFF"
                                  "bX")),
            "2+2 ");
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
      return error.Message();
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
