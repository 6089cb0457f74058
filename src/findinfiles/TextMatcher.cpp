// Placing a whole text's matches on their lines.
#include "TextMatcher.h"

#include "LineEnds.h"
#include "UserQuestions.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// Walks forward through the lines of a text: which line holds a position, and where it ends.
class LineWalker {
public:
  explicit LineWalker(std::string_view text) : text_(text), nextReturn_(Find('\r')), nextFeed_(Find('\n')) {}

  // Moves to the line holding `position`, which is not before the current line's start.
  void MoveTo(std::size_t position) {
    for (std::size_t end = End(); end < position; end = End())
      start_ = NextStart(end);
  }
  // Moves to the line after the current one; false when there is none.
  bool MoveToNext() {
    const std::size_t end = End();
    if (end >= text_.size()) return false;
    start_ = NextStart(end);
    return start_ < text_.size();
  }
  [[nodiscard]] int Number() const { return number_; }
  [[nodiscard]] std::size_t Start() const { return start_; }
  [[nodiscard]] std::string_view Text() { return text_.substr(start_, End() - start_); }

private:
  std::size_t NextStart(std::size_t end) {
    ++number_;
    return end + (text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n' ? 2 : 1);
  }
  // Where the current line ends: its first CR or LF, or the end of the text. The next CR and LF
  // are looked up once each and kept until the walk passes them.
  std::size_t End() {
    if (nextReturn_ < start_) nextReturn_ = Find('\r');
    if (nextFeed_ < start_) nextFeed_ = Find('\n');
    return std::min(nextReturn_, nextFeed_);
  }
  [[nodiscard]] std::size_t Find(char byte) const {
    const void* found = std::memchr(text_.data() + start_, byte, text_.size() - start_);
    return found == nullptr ? text_.size()
                            : static_cast<std::size_t>(static_cast<const char*>(found) - text_.data());
  }

  std::string_view text_;
  std::size_t start_ = 0;
  int number_ = 1;
  std::size_t nextReturn_, nextFeed_;
};

} // namespace

std::unique_ptr<TextMatcher::Engine> TextMatcher::MakeEngine(const SearchQuery& query,
                                                             TextEncoding encoding) {
  auto engine = std::make_unique<Engine>();
  engine->encoding = encoding;
  const std::optional<std::string> pattern = query.typed ? FromUtf8(query.pattern, encoding) : query.pattern;
  engine->canMatch = pattern.has_value();
  engine->pattern = pattern.value_or(query.pattern);
  if (query.regularExpression) {
    engine->regex.emplace(engine->pattern, query.caseSensitive, query.wholeWords, encoding);
  } else {
    engine->plain.SetPattern(engine->pattern);
    engine->plain.SetCaseSensitive(query.caseSensitive);
    engine->plain.SetWholeWords(query.wholeWords);
  }
  return engine;
}

TextMatcher::TextMatcher(const SearchQuery& query) : query_(query) {
  utf8_ = MakeEngine(query, TextEncoding::Utf8);
  current_ = utf8_.get();
  if (!query.typed) return;
  try {
    windows1252_ = MakeEngine(query, TextEncoding::Windows1252);
  } catch (const TessarinError&) {
    // What reads as a pattern in UTF-8 may not byte by byte (\x{2192}): no such text holds it.
    windows1252_ = std::make_unique<Engine>();
    windows1252_->encoding = TextEncoding::Windows1252;
    windows1252_->canMatch = false;
  }
}

std::optional<std::string> TextMatcher::InTextEncoding(const std::string& typed) const {
  if (!query_.typed) return typed;
  return FromUtf8(typed, current_->encoding);
}

std::vector<TextMatch> TextMatcher::FindInLine(std::string_view line) {
  if (!current_->canMatch) return {};
  if (current_->regex) return current_->regex->FindAllIn(line);
  std::vector<TextMatch> matches;
  const int count = current_->plain.FindAllIn(line);
  for (int i = 0; i < count; ++i)
    matches.push_back({static_cast<std::size_t>(current_->plain.ResultAt(i) - 1), current_->pattern.size()});
  return matches;
}

std::string TextMatcher::ReplacePlain(std::string_view line, std::string_view replacement, int* count) {
  std::string replaced;
  std::size_t kept = 0;
  const std::vector<TextMatch> matches = FindInLine(line);
  for (const TextMatch& match : matches) {
    replaced += line.substr(kept, match.start - kept);
    replaced += replacement;
    kept = match.start + match.length;
  }
  replaced += line.substr(kept);
  *count = static_cast<int>(matches.size());
  return replaced;
}

void TextMatcher::FindLines(std::string_view text, const std::function<void(LineHit)>& take) {
  current_ = windows1252_ && !ReadsAsUtf8(text) ? windows1252_.get() : utf8_.get();
  if (!current_->canMatch) return;
  if (current_->regex)
    FindRegexLines(text, take);
  else
    FindPlainLines(text, take);
}

void TextMatcher::FindLineByLine(std::string_view text, const std::function<void(LineHit)>& take) {
  int number = 0;
  ForEachLine(text, [&](std::string_view line, LineEnd) {
    ++number;
    std::vector<TextMatch> matches = FindInLine(line);
    if (!matches.empty()) take(LineHit{number, std::string(line), std::move(matches)});
  });
}

void TextMatcher::FindPlainLines(std::string_view text, const std::function<void(LineHit)>& take) {
  // A match never spans a line end when the pattern holds none, and a line end delimits a word
  // as the start and end of a line do: the matches in the whole text are those of its lines.
  // Columns are ints, so a text too long for one goes line by line.
  if (query_.pattern.find_first_of("\r\n") != std::string::npos || text.size() >= INT_MAX)
    return FindLineByLine(text, take);
  SearchEngine& plain = current_->plain;
  const int count = plain.FindAllIn(text);
  LineWalker lines(text);
  LineHit hit;
  for (int i = 0; i < count; ++i) {
    const auto position = static_cast<std::size_t>(plain.ResultAt(i) - 1);
    lines.MoveTo(position);
    if (lines.Number() != hit.line) {
      if (hit.line > 0) take(std::move(hit));
      hit = LineHit{lines.Number(), std::string(lines.Text()), {}};
    }
    hit.matches.push_back({position - lines.Start(), current_->pattern.size()});
  }
  if (hit.line > 0) take(std::move(hit));
}

void TextMatcher::FindRegexLines(std::string_view text, const std::function<void(LineHit)>& take) {
  RegexSearch& regex = *current_->regex;
  const RegexSearch::CheckedText checked(text);
  // Around bytes that are not UTF-8 the matcher takes each run of valid text as a subject of its
  // own, so an empty match beside such a byte depends on where the subject starts: such a text
  // goes line by line, as its lines are searched everywhere else.
  if (regex.LineByLineOnly() || !checked.validUtf8) return FindLineByLine(text, take);
  // A match in the whole text leads to its line, which is then searched on its own: a line with
  // a match of its own is never passed, and one whose match ran over its end is checked.
  LineWalker lines(text);
  std::size_t from = 0;
  while (const auto match = regex.FindInText(checked, from)) {
    // Past a final line end there is no line.
    if (match->start == text.size() && (text.empty() || text.back() == '\n' || text.back() == '\r')) break;
    lines.MoveTo(match->start);
    const std::string_view line = lines.Text();
    std::vector<TextMatch> matches = regex.FindAllIn(line);
    if (!matches.empty()) take(LineHit{lines.Number(), std::string(line), std::move(matches)});
    if (!lines.MoveToNext()) break;
    from = lines.Start();
  }
}
