// The shift-table scan: the window is compared from its last byte; on a mismatch it jumps by the
// distance looked up for the byte just past it.
#include "kxEditSearch.h"

#include "UserQuestions.h"

#include <cstring>

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

int TkxEditSearch::FindFirstIn(std::string_view text) {
  text_ = text;
  windowEnd_ = 0;
  return FindNext();
}

int TkxEditSearch::FindNext() {
  if (pattern_.empty()) return 0;
  return caseSensitive_ ? Scan<true>() : Scan<false>();
}

template <bool CaseSensitive> int TkxEditSearch::Scan() {
  const auto* text = reinterpret_cast<const unsigned char*>(text_.data());
  const auto* pattern = reinterpret_cast<const unsigned char*>(translatedPattern_.data());
  const std::size_t textLength = text_.size();
  const std::size_t length = translatedPattern_.size();
  const unsigned char last = pattern[length - 1];
  const auto tr = [](unsigned char byte) { return CaseSensitive ? byte : kxCaseInsensitiveTable[byte]; };
  const auto windowMatches = [&](const unsigned char* window) {
    if constexpr (CaseSensitive) {
      return std::memcmp(window, pattern, length - 1) == 0;
    } else {
      for (std::size_t i = 0; i + 1 < length; ++i)
        if (tr(window[i]) != pattern[i]) return false;
      return true;
    }
  };

  // A window past the end of the text can never match, so every jump that would need a byte
  // beyond the text ends the scan instead of reading it.
  windowEnd_ += length;
  while (windowEnd_ <= textLength) {
    if (tr(text[windowEnd_ - 1]) == last) {
      const std::size_t start = windowEnd_ - length;
      if (windowMatches(text + start) && (!wholeWords_ || BoundedByDelimiters(start, windowEnd_))) {
        ++matchCount_;
        return static_cast<int>(start + 1);
      }
      const std::size_t next = windowEnd_ - 1 + lookAt_;
      if (next >= textLength) break;
      windowEnd_ = next + shift_[tr(text[next])];
    } else {
      if (windowEnd_ == textLength) break;
      windowEnd_ += shift_[tr(text[windowEnd_])];
    }
  }
  windowEnd_ = textLength + 1;
  return 0;
}

bool TkxEditSearch::BoundedByDelimiters(std::size_t start, std::size_t end) const {
  const auto byteAt = [this](std::size_t i) { return static_cast<unsigned char>(text_[i]); };
  return (start == 0 || kxIsDelimiter(byteAt(start - 1))) &&
         (end == text_.size() || kxIsDelimiter(byteAt(end)));
}

int TkxEditSearch::FindAllIn(std::string_view text) {
  results_.clear();
  for (int column = FindFirstIn(text); column != 0; column = FindNext())
    results_.push_back(column);
  return ResultCount();
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
