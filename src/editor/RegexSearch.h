// Regular expressions over the editor's bytes, matched by PCRE2 (8-bit). In a UTF-8 text a
// pattern that is valid UTF-8 is matched in UTF-8 mode, where a sequence that is not valid UTF-8
// never matches but is stepped over; a Windows-1252 text, and any other pattern, matches byte by
// byte, each byte one character. Each line is a subject of its own: ^ and $ stand at its ends and
// nothing looks past them. Whole words use the editor's delimiters.
#pragma once

#include "TextEncoding.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TextMatch {
  std::size_t start = 0; // byte offset in the subject
  std::size_t length = 0;
  bool operator==(const TextMatch&) const = default;
};

class RegexSearch {
public:
  // Raises TessarinError "Pattern is empty" for an empty pattern, and for one the engine refuses
  // a message naming the error and the character where it was found. `pattern` is in the
  // encoding of the texts it searches.
  RegexSearch(std::string_view pattern, bool caseSensitive, bool wholeWords,
              TextEncoding encoding = TextEncoding::Utf8);
  // A copy shares the compiled pattern and has its own match state, for another thread.
  RegexSearch(const RegexSearch& other);
  RegexSearch& operator=(const RegexSearch&) = delete;
  ~RegexSearch();

  // The first match in `line` that starts at or after `from`.
  [[nodiscard]] std::optional<TextMatch> FindIn(std::string_view line, std::size_t from = 0);
  // Every match in `line`, left to right and never overlapping; after an empty match the next
  // one starts at least a character further on.
  [[nodiscard]] std::vector<TextMatch> FindAllIn(std::string_view line);
  // Calls `take` with each match FindAllIn finds; while it runs, Group() answers for that match.
  void ForEachMatch(std::string_view line, const std::function<void(const TextMatch&)>& take);

  // A text searched from place to place, checked once for valid UTF-8. It must outlive its use.
  struct CheckedText {
    explicit CheckedText(std::string_view text);
    std::string_view bytes;
    bool validUtf8;
  };
  // The first match in a text of several lines that starts at or after `from`, taking CR, LF and
  // CR LF as line ends for ^ and $. A match may run over a line end; a line holding a match of
  // its own is always found, at or before that match, unless LineByLineOnly().
  [[nodiscard]] std::optional<TextMatch> FindInText(const CheckedText& text, std::size_t from);
  // The pattern looks around a match or at the text's ends (lookbehind, lookahead, \A, \Z, \G,
  // verbs), so a search over a whole text could see past a line: only FindIn gives line results.
  [[nodiscard]] bool LineByLineOnly() const { return lineByLineOnly_; }

  // Capturing groups of the pattern.
  [[nodiscard]] int GroupCount() const;
  // The text of group `group` (0 the whole match) of the last match found in `subject`; empty
  // for a group that took no part in it.
  [[nodiscard]] std::string_view Group(std::string_view subject, int group) const;

private:
  struct Compiled;
  [[nodiscard]] std::optional<TextMatch> Match(const CheckedText& subject, std::size_t from,
                                               bool notEmptyAtStart);

  std::shared_ptr<const Compiled> compiled_;
  void* matchData_ = nullptr; // pcre2_match_data_8
  bool lineByLineOnly_ = false;
};

// A replacement text for regular-expression matches: \0 to \9 insert a group of the match, a
// doubled backslash one backslash, \t a tab and \n a line feed; other backslashes stay as they are.
class RegexReplacement {
public:
  // Raises TessarinError when the text names a group the pattern does not have.
  RegexReplacement(std::string_view text, const RegexSearch& search);

  // The replacement for the last match `search` found in `subject`.
  [[nodiscard]] std::string For(const RegexSearch& search, std::string_view subject) const;
  // `line` with every match replaced; `count` (when given) receives the number of matches.
  [[nodiscard]] std::string ReplaceAllIn(RegexSearch& search, std::string_view line,
                                         int* count = nullptr) const;

private:
  struct Piece {
    std::string literal;
    int group = -1; // inserted after the literal, none when negative
  };
  std::vector<Piece> pieces_;
};
