// Two scans: sixteen windows at a time with vector compares where the line has room for them,
// and the shift-table scan (the window compared from its last byte; on a mismatch a jump by the
// distance looked up for the byte just past it) for the rest.
#include "SearchEngine.h"

#include "UserQuestions.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void SearchEngine::SetPattern(std::string_view text) {
  if (text.empty()) throw TessarinError("Pattern is empty");
  if (text != pattern_) {
    pattern_ = text;
    BuildShiftTable();
  }
  matchCount_ = 0;
}

void SearchEngine::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive == caseSensitive_) return;
  caseSensitive_ = caseSensitive;
  // The shift table holds translated bytes: it must follow the case setting, whichever of
  // pattern and case is set first.
  BuildShiftTable();
}

void SearchEngine::BuildShiftTable() {
  const std::size_t length = pattern_.size();
  if (length == 0) return;
  const ByteTable& tr = TranslationTable(caseSensitive_);
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

namespace {
template <bool CaseSensitive> [[nodiscard]] unsigned char Translated(unsigned char byte) {
  return CaseSensitive ? byte : kCaseInsensitiveTable[byte];
}

#if defined(__SSE2__)
// Sixteen bytes through the translation table.
template <bool CaseSensitive> [[nodiscard]] __m128i LoadTranslated(const unsigned char* bytes) {
  const __m128i loaded = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
  if constexpr (CaseSensitive) return loaded;
  // Moves 'A'..'Z' to the bottom of the signed range, where one compare picks them out.
  const __m128i shifted = _mm_add_epi8(loaded, _mm_set1_epi8(static_cast<char>(0x80 - 'A')));
  const __m128i upper = _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(0x80 + 26)));
  return _mm_add_epi8(loaded, _mm_and_si128(upper, _mm_set1_epi8('a' - 'A')));
}
#endif
} // namespace

// The window's bytes before its last equal the pattern's, and it is a whole word when asked.
template <bool CaseSensitive>
[[gnu::always_inline]] inline bool SearchEngine::WindowMatches(std::size_t start) const {
  const auto* window = reinterpret_cast<const unsigned char*>(text_.data()) + start;
  const auto* pattern = reinterpret_cast<const unsigned char*>(translatedPattern_.data());
  const std::size_t length = translatedPattern_.size();
  for (std::size_t i = 0; i + 1 < length; ++i)
    if (Translated<CaseSensitive>(window[i]) != pattern[i]) return false;
  return !wholeWords_ || BoundedByDelimiters(start, start + length);
}

// Inlined into its two callers: on typical source lines the call costs as much as the scan.
template <bool CaseSensitive>
[[gnu::always_inline]] inline std::size_t SearchEngine::NextMatchEnd(std::size_t end) const {
  const std::size_t textLength = text_.size();
#if defined(__SSE2__)
  if (end + 15 <= textLength) return VectorMatchEnd<CaseSensitive>(end - translatedPattern_.size());
#endif
  // Lines too short for the vector scan take the shift table.
  const auto* text = reinterpret_cast<const unsigned char*>(text_.data());
  const std::size_t length = translatedPattern_.size();
  const unsigned char last = static_cast<unsigned char>(translatedPattern_.back());
  const std::size_t* shift = shift_.data();
  while (end <= textLength) {
    if (Translated<CaseSensitive>(text[end - 1]) == last) {
      if (WindowMatches<CaseSensitive>(end - length)) return end;
      const std::size_t next = end - 1 + lookAt_;
      if (next >= textLength) return NoMatch;
      end = next + shift[Translated<CaseSensitive>(text[next])];
    } else {
      // The byte just past the window. For the window flush with the end of the text any
      // byte will do, as every shift then ends the scan: take one inside the text rather than
      // read beyond it.
      end += shift[Translated<CaseSensitive>(text[std::min(end, textLength - 1)])];
    }
  }
  return NoMatch;
}

#if defined(__SSE2__)
// Sixteen window starts a step: a start is a candidate when the window's first and last bytes
// both equal the pattern's, and only candidates are compared whole. The last step is moved back
// to end with the last window, its repeated starts masked off, so nothing is read past the text.
template <bool CaseSensitive>
[[gnu::always_inline]] inline std::size_t SearchEngine::VectorMatchEnd(std::size_t start) const {
  const auto* text = reinterpret_cast<const unsigned char*>(text_.data());
  const std::size_t length = translatedPattern_.size();
  const std::size_t lastStart = text_.size() - length;
  const __m128i first = _mm_set1_epi8(translatedPattern_.front());
  const __m128i last = _mm_set1_epi8(translatedPattern_.back());
  for (;;) {
    const std::size_t block = std::min(start, lastStart - 15);
    const __m128i firstEqual = _mm_cmpeq_epi8(LoadTranslated<CaseSensitive>(text + block), first);
    const __m128i lastEqual = _mm_cmpeq_epi8(LoadTranslated<CaseSensitive>(text + block + length - 1), last);
    auto candidates = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(firstEqual, lastEqual))) &
                      (0xFFFFu << (start - block));
    for (; candidates != 0; candidates &= candidates - 1) {
      const std::size_t window = block + static_cast<std::size_t>(std::countr_zero(candidates));
      if (WindowMatches<CaseSensitive>(window)) return window + length;
    }
    if (block + 16 > lastStart) return NoMatch;
    start = block + 16;
  }
}
#endif

template <bool CaseSensitive> [[gnu::always_inline]] inline int SearchEngine::CollectMatches() {
  const std::size_t length = pattern_.size();
  for (std::size_t from = length;;) {
    const std::size_t end = NextMatchEnd<CaseSensitive>(from);
    if (end == NoMatch) return ResultCount();
    results_.push_back(static_cast<int>(end - length + 1));
    ++matchCount_;
    from = end + length;
  }
}

int SearchEngine::FindFirstIn(std::string_view text) {
  text_ = text;
  windowEnd_ = 0;
  return FindNext();
}

int SearchEngine::FindNext() {
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

bool SearchEngine::BoundedByDelimiters(std::size_t start, std::size_t end) const {
  const auto byteAt = [this](std::size_t i) { return static_cast<unsigned char>(text_[i]); };
  return (start == 0 || IsDelimiter(byteAt(start - 1))) && (end == text_.size() || IsDelimiter(byteAt(end)));
}

int SearchEngine::CollectAllMatches() {
  return caseSensitive_ ? CollectMatches<true>() : CollectMatches<false>();
}

int SearchEngine::ResultAt(int index) const {
  if (index < 0 || index >= ResultCount()) return 0;
  return results_[static_cast<std::size_t>(index)];
}

void SearchEngine::ShiftResults(int first, int delta) {
  if (delta == 0) return;
  for (auto it = results_.rbegin(); it != results_.rend() && *it > first; ++it)
    *it -= delta;
}
