// The shift-table scan: the window is compared from its last byte; on a mismatch it jumps by the
// distance looked up for the byte just past it.
#include "kxEditSearch.h"

#include "UserQuestions.h"

#include <algorithm>

void TkxEditSearch::SetPattern(std::string_view text) {
  if (text.empty()) throw TessarinError("Pattern is empty");
  if (text != pattern_) {
    pattern_ = text;
    BuildShiftTable();
  }
  matchCount_ = 0;
}

void TkxEditSearch::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive == caseSensitive_) return;
  caseSensitive_ = caseSensitive;
  // The shift table holds translated bytes: it must follow the case setting, whichever of
  // pattern and case is set first.
  BuildShiftTable();
}

void TkxEditSearch::BuildShiftTable() {
  const std::size_t length = pattern_.size();
  if (length == 0) return;
  const TkxByteTable& tr = kxTranslationTable(caseSensitive_);
  translatedPattern_.resize(length);
  for (std::size_t i = 0; i < length; ++i)
    translatedPattern_[i] = static_cast<char>(tr[static_cast<unsigned char>(pattern_[i])]);

  shift_.fill(length + 1);
  for (std::size_t i = 0; i < length; ++i)
    shift_[static_cast<unsigned char>(translatedPattern_[i])] = length - i;

  // Distance back to the previous occurrence of the last byte: nearer windows cannot match.
  const char last = translatedPattern_[length - 1];
  lookAt_ = 1;
  while (lookAt_ < length && translatedPattern_[length - 1 - lookAt_] != last)
    ++lookAt_;
}

// Inlined into its two callers: on typical source lines the call costs as much as the scan.
template <bool CaseSensitive>
[[gnu::always_inline]] inline std::size_t TkxEditSearch::NextMatchEnd(std::size_t end) const {
  const auto* text = reinterpret_cast<const unsigned char*>(text_.data());
  const auto* pattern = reinterpret_cast<const unsigned char*>(translatedPattern_.data());
  const std::size_t textLength = text_.size();
  const std::size_t length = translatedPattern_.size();
  const unsigned char last = pattern[length - 1];
  const std::size_t* shift = shift_.data();
  const auto tr = [](unsigned char byte) { return CaseSensitive ? byte : kxCaseInsensitiveTable[byte]; };
  const auto windowMatches = [&](const unsigned char* window) {
    for (std::size_t i = 0; i + 1 < length; ++i)
      if (tr(window[i]) != pattern[i]) return false;
    return true;
  };

  while (end <= textLength) {
    if (tr(text[end - 1]) == last) {
      const std::size_t start = end - length;
      if (windowMatches(text + start) && (!wholeWords_ || BoundedByDelimiters(start, end))) return end;
      const std::size_t next = end - 1 + lookAt_;
      if (next >= textLength) return NoMatch;
      end = next + shift[tr(text[next])];
    } else {
      // The byte just past the window. For the window flush with the end of the text any
      // byte will do, as every shift then ends the scan: take one inside the text rather than
      // read beyond it.
      end += shift[tr(text[std::min(end, textLength - 1)])];
    }
  }
  return NoMatch;
}

template <bool CaseSensitive> int TkxEditSearch::CollectMatches() {
  const std::size_t length = pattern_.size();
  for (std::size_t from = length;;) {
    const std::size_t end = NextMatchEnd<CaseSensitive>(from);
    if (end == NoMatch) return ResultCount();
    results_.push_back(static_cast<int>(end - length + 1));
    ++matchCount_;
    from = end + length;
  }
}

int TkxEditSearch::FindFirstIn(std::string_view text) {
  text_ = text;
  windowEnd_ = 0;
  return FindNext();
}

int TkxEditSearch::FindNext() {
  const std::size_t length = pattern_.size();
  if (length == 0) return 0;
  // The next window starts right after the previous match: matches never overlap.
  const std::size_t from = windowEnd_ + length;
  const std::size_t end = caseSensitive_ ? NextMatchEnd<true>(from) : NextMatchEnd<false>(from);
  if (end == NoMatch) {
    windowEnd_ = text_.size() + 1;
    return 0;
  }
  windowEnd_ = end;
  ++matchCount_;
  return static_cast<int>(end - length + 1);
}

bool TkxEditSearch::BoundedByDelimiters(std::size_t start, std::size_t end) const {
  const auto byteAt = [this](std::size_t i) { return static_cast<unsigned char>(text_[i]); };
  return (start == 0 || kxIsDelimiter(byteAt(start - 1))) &&
         (end == text_.size() || kxIsDelimiter(byteAt(end)));
}

int TkxEditSearch::FindAllIn(std::string_view text) {
  results_.clear();
  text_ = text;
  windowEnd_ = text.size() + 1;
  // Called for every line of a file: short lines and the case dispatch are dealt with once.
  if (pattern_.empty() || text.size() < pattern_.size()) return 0;
  return caseSensitive_ ? CollectMatches<true>() : CollectMatches<false>();
}

int TkxEditSearch::ResultAt(int index) const {
  if (index < 0 || index >= ResultCount()) return 0;
  return results_[static_cast<std::size_t>(index)];
}

void TkxEditSearch::ShiftResults(int first, int delta) {
  if (delta == 0) return;
  for (auto it = results_.rbegin(); it != results_.rend() && *it > first; ++it)
    *it -= delta;
}
