// What a search looks for — plain text or a regular expression, with its case and whole-word
// options — and the lines of a text that hold it. A text of many lines is scanned whole and the
// matches are then placed on their lines, which finds exactly the lines a search line by line
// finds, in a fraction of the time. No widgets.
#pragma once

#include "RegexSearch.h"
#include "SearchEngine.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct SearchQuery {
  std::string pattern;
  bool caseSensitive = false;
  bool wholeWords = false;
  bool regularExpression = false;
  // The pattern is typed text in UTF-8, searched for in each text's own encoding (UTF-8 when the
  // text reads as UTF-8, else Windows-1252). Otherwise its bytes are searched for as they are.
  bool typed = false;
  bool operator==(const SearchQuery&) const = default;
};

// A line holding at least one match.
struct LineHit {
  int line = 0;     // 1-based
  std::string text; // the line's bytes, without its line end
  std::vector<TextMatch> matches;
  bool operator==(const LineHit&) const = default;
};

class TextMatcher {
public:
  // Raises TessarinError "Pattern is empty", or the message for an invalid regular expression.
  explicit TextMatcher(const SearchQuery& query);

  [[nodiscard]] const SearchQuery& Query() const { return query_; }

  // Hands `take` each line of `text` that holds a match, in order, with its matches. CR LF, CR
  // and LF each end a line, as the document windows read them. The calls below then search as
  // for this text.
  void FindLines(std::string_view text, const std::function<void(LineHit)>& take);
  // The matches of one line.
  [[nodiscard]] std::vector<TextMatch> FindInLine(std::string_view line);
  // `line` with every plain match replaced by `replacement`; `count` receives their number.
  [[nodiscard]] std::string ReplacePlain(std::string_view line, std::string_view replacement, int* count);
  // The regular expression; none for plain text.
  [[nodiscard]] RegexSearch* Regex() { return current_->regex ? &*current_->regex : nullptr; }
  // `typed` (UTF-8) in the bytes of the text last searched, as the query's pattern is; nothing
  // when that text's encoding has no bytes for one of its characters.
  [[nodiscard]] std::optional<std::string> InTextEncoding(const std::string& typed) const;

private:
  // The search for the pattern in one encoding.
  struct Engine {
    TextEncoding encoding = TextEncoding::Utf8;
    std::string pattern; // in that encoding
    SearchEngine plain;
    std::optional<RegexSearch> regex;
    bool canMatch = true; // false when the encoding cannot hold the pattern
  };
  [[nodiscard]] static std::unique_ptr<Engine> MakeEngine(const SearchQuery& query, TextEncoding encoding);

  void FindPlainLines(std::string_view text, const std::function<void(LineHit)>& take);
  void FindRegexLines(std::string_view text, const std::function<void(LineHit)>& take);
  void FindLineByLine(std::string_view text, const std::function<void(LineHit)>& take);

  SearchQuery query_;
  std::unique_ptr<Engine> utf8_;
  std::unique_ptr<Engine> windows1252_; // for typed queries only
  Engine* current_ = nullptr;
};
