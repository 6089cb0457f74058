// The PCRE2 side: one compiled pattern shared by copies, match data of each copy's own.
#define PCRE2_CODE_UNIT_WIDTH 8
#include "RegexSearch.h"

#include "UserQuestions.h"

#include <pcre2.h>

#include <array>

// In UTF-8 mode a pattern is compiled twice. PCRE2 10.42's JIT mismatches with
// PCRE2_MATCH_INVALID_UTF (\W and negated classes pass over every non-ASCII character), so text
// that is valid UTF-8 goes to a JIT-compiled pattern without that option, and only text with
// invalid sequences to one the interpreter runs with it.
struct RegexSearch::Compiled {
  pcre2_code* valid = nullptr;   // UTF-8 text, or bytes
  pcre2_code* invalid = nullptr; // UTF-8 text with invalid sequences; none in byte mode
  ~Compiled() {
    pcre2_code_free(valid);
    pcre2_code_free(invalid);
  }
};

namespace {

std::string ErrorText(int code) {
  std::array<PCRE2_UCHAR, 256> buffer{};
  pcre2_get_error_message(code, buffer.data(), buffer.size());
  return reinterpret_cast<const char*>(buffer.data());
}

// Compiles `pattern`; raises the engine's complaint about `shown`, the pattern as the user typed it.
pcre2_code* Compile(std::string_view pattern, std::uint32_t options, std::string_view shown) {
  pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
  pcre2_set_newline(context, PCRE2_NEWLINE_ANYCRLF);
  int error = 0;
  PCRE2_SIZE offset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options,
                                   &error, &offset, context);
  pcre2_compile_context_free(context);
  if (code == nullptr)
    throw TessarinError("The regular expression '" + std::string(shown) +
                        "' is not valid: " + ErrorText(error) + " (at character " +
                        std::to_string(std::min<std::size_t>(offset, shown.size()) + 1) + ")");
  if (!(options & PCRE2_MATCH_INVALID_UTF))
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE); // without JIT the interpreter matches
  return code;
}

// Whether the pattern may look beyond the line a match lies in: lookarounds, the subject's
// ends, callouts and verbs (which may also change what a line end is). Erring on the safe side.
bool LooksPastTheMatch(std::string_view pattern) {
  for (std::string_view construct : {"(?<=", "(?<!", "(?=", "(?!", "(*", "(?C", "\\A", "\\Z", "\\z", "\\G"})
    if (pattern.find(construct) != std::string_view::npos) return true;
  return false;
}

} // namespace

RegexSearch::RegexSearch(std::string_view pattern, bool caseSensitive, bool wholeWords,
                         TextEncoding encoding) {
  if (pattern.empty()) throw TessarinError("Pattern is empty");
  // A leading .* would anchor the search at the line's start, or just past an invalid sequence.
  std::uint32_t options = PCRE2_MULTILINE | PCRE2_NO_DOTSTAR_ANCHOR;
  if (encoding == TextEncoding::Utf8 && ReadsAsUtf8(pattern)) options |= PCRE2_UTF;
  if (!caseSensitive) options |= PCRE2_CASELESS;
  // Letters and digits make words, as for the plain search: the underscore delimits.
  const std::string bounded = wholeWords
                                  ? "(?<![0-9A-Za-z])(?:" + std::string(pattern) + "\\E)(?![0-9A-Za-z])"
                                  : std::string(pattern);
  if (wholeWords) pcre2_code_free(Compile(pattern, options, pattern)); // errors point into the typed text
  auto compiled = std::make_shared<Compiled>();
  compiled->valid = Compile(bounded, options, pattern);
  if (options & PCRE2_UTF) compiled->invalid = Compile(bounded, options | PCRE2_MATCH_INVALID_UTF, pattern);
  compiled_ = std::move(compiled);
  matchData_ = pcre2_match_data_create_from_pattern(compiled_->valid, nullptr);
  lineByLineOnly_ = LooksPastTheMatch(pattern);
}

RegexSearch::RegexSearch(const RegexSearch& other)
    : compiled_(other.compiled_), matchData_(pcre2_match_data_create_from_pattern(compiled_->valid, nullptr)),
      lineByLineOnly_(other.lineByLineOnly_) {}

RegexSearch::~RegexSearch() { pcre2_match_data_free(static_cast<pcre2_match_data*>(matchData_)); }

RegexSearch::CheckedText::CheckedText(std::string_view text) : bytes(text), validUtf8(ReadsAsUtf8(text)) {}

std::optional<TextMatch> RegexSearch::Match(const CheckedText& subject, std::size_t from,
                                            bool notEmptyAtStart) {
  if (from > subject.bytes.size()) return std::nullopt;
  auto* data = static_cast<pcre2_match_data*>(matchData_);
  // In UTF-8 mode the subject was checked once, rather than by PCRE2 at every call.
  const bool utf8 = compiled_->invalid != nullptr;
  const pcre2_code* code = utf8 && !subject.validUtf8 ? compiled_->invalid : compiled_->valid;
  const std::uint32_t options =
      (utf8 && subject.validUtf8 ? PCRE2_NO_UTF_CHECK : 0) | (notEmptyAtStart ? PCRE2_NOTEMPTY_ATSTART : 0);
  const int result = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject.bytes.data()),
                                 subject.bytes.size(), from, options, data, nullptr);
  if (result < 0) return std::nullopt; // no match, or a limit reached: nothing found there
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
  // \K may set the start after the end; such a match is taken as empty at its end.
  const std::size_t start = std::min(ovector[0], ovector[1]);
  return TextMatch{start, ovector[1] - start};
}

std::optional<TextMatch> RegexSearch::FindIn(std::string_view line, std::size_t from) {
  return Match(CheckedText(line), from, false);
}

std::vector<TextMatch> RegexSearch::FindAllIn(std::string_view line) {
  std::vector<TextMatch> matches;
  ForEachMatch(line, [&matches](const TextMatch& match) { matches.push_back(match); });
  return matches;
}

void RegexSearch::ForEachMatch(std::string_view line, const std::function<void(const TextMatch&)>& take) {
  const CheckedText checked(line);
  std::size_t from = 0;
  bool afterEmpty = false;
  while (const auto match = Match(checked, from, afterEmpty)) {
    take(*match);
    from = match->start + match->length;
    afterEmpty = match->length == 0;
  }
}

std::optional<TextMatch> RegexSearch::FindInText(const CheckedText& text, std::size_t from) {
  return Match(text, from, false);
}

int RegexSearch::GroupCount() const {
  std::uint32_t count = 0;
  pcre2_pattern_info(compiled_->valid, PCRE2_INFO_CAPTURECOUNT, &count);
  return static_cast<int>(count);
}

std::string_view RegexSearch::Group(std::string_view subject, int group) const {
  auto* data = static_cast<pcre2_match_data*>(matchData_);
  if (group < 0 || static_cast<std::uint32_t>(group) >= pcre2_get_ovector_count(data)) return {};
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
  const PCRE2_SIZE start = ovector[2 * group], end = ovector[2 * group + 1];
  if (start == PCRE2_UNSET || end < start || end > subject.size()) return {};
  return subject.substr(start, end - start);
}

RegexReplacement::RegexReplacement(std::string_view text, const RegexSearch& search) {
  pieces_.emplace_back();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] != '\\' || next == '\0') {
      pieces_.back().literal += text[i];
      continue;
    }
    ++i;
    if (next >= '0' && next <= '9') {
      const int group = next - '0';
      if (group > search.GroupCount())
        throw TessarinError(
            "The replacement uses group \\" + std::to_string(group) + ", but the expression has " +
            (search.GroupCount() == 0 ? std::string("no groups")
                                      : "only " + std::to_string(search.GroupCount()) +
                                            (search.GroupCount() == 1 ? " group" : " groups")));
      pieces_.back().group = group;
      pieces_.emplace_back();
    } else if (next == '\\' || next == 't' || next == 'n') {
      pieces_.back().literal += next == 't' ? '\t' : next == 'n' ? '\n' : '\\';
    } else {
      pieces_.back().literal += text.substr(i - 1, 2);
    }
  }
}

std::string RegexReplacement::For(const RegexSearch& search, std::string_view subject) const {
  std::string result;
  for (const Piece& piece : pieces_) {
    result += piece.literal;
    if (piece.group >= 0) result += search.Group(subject, piece.group);
  }
  return result;
}

std::string RegexReplacement::ReplaceAllIn(RegexSearch& search, std::string_view line, int* count) const {
  std::string result;
  std::size_t kept = 0;
  int matches = 0;
  search.ForEachMatch(line, [&](const TextMatch& match) {
    result += line.substr(kept, match.start - kept);
    result += For(search, line);
    kept = match.start + match.length;
    ++matches;
  });
  result += line.substr(kept);
  if (count != nullptr) *count = matches;
  return result;
}
