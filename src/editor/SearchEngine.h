// Finds every occurrence of a byte pattern in one line of text, with optional case folding and
// whole-word matching: vector compares where the line is long enough, a shift-table scan
// elsewhere. The case and delimiter tables are shared with the editor's word logic.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

using ByteTable = std::array<unsigned char, 256>;

namespace search_tables {
constexpr ByteTable MakeTranslation(bool caseSensitive) {
  ByteTable table{};
  for (int b = 0; b < 256; ++b)
    table[b] = static_cast<unsigned char>(!caseSensitive && b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b);
  return table;
}

constexpr std::array<bool, 256> MakeDelimiters() {
  std::array<bool, 256> table{};
  for (int b = 0; b < 256; ++b)
    table[b] = !((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'));
  return table;
}
} // namespace search_tables

// The C locale's classification: only ASCII letters change case, so bytes above 127 compare as
// they are in either mode.
inline constexpr ByteTable kCaseSensitiveTable = search_tables::MakeTranslation(true);
inline constexpr ByteTable kCaseInsensitiveTable = search_tables::MakeTranslation(false);

// Everything but an ASCII letter or digit delimits a word: blanks, punctuation, control bytes,
// bytes above 127 and, deliberately, the underscore.
inline constexpr std::array<bool, 256> kDelimiterTable = search_tables::MakeDelimiters();

[[nodiscard]] constexpr const ByteTable& TranslationTable(bool caseSensitive) {
  return caseSensitive ? kCaseSensitiveTable : kCaseInsensitiveTable;
}

[[nodiscard]] constexpr bool IsDelimiter(unsigned char byte) { return kDelimiterTable[byte]; }

class SearchEngine {
public:
  // Throws TessarinError "Pattern is empty" for an empty text. Resets the match count.
  void SetPattern(std::string_view text);
  [[nodiscard]] const std::string& Pattern() const { return pattern_; }

  void SetCaseSensitive(bool caseSensitive);
  [[nodiscard]] bool CaseSensitive() const { return caseSensitive_; }
  void SetWholeWords(bool wholeWords) { wholeWords_ = wholeWords; }
  [[nodiscard]] bool WholeWords() const { return wholeWords_; }

  // Start a scan of `text` and return the 1-based column of its first match, 0 for none.
  // The engine keeps a view of `text`: it must stay alive while FindNext is used on it.
  int FindFirstIn(std::string_view text);
  // The next match in the current text after the previous one (never overlapping it), 0 for none.
  int FindNext();
  // Every match of `text` into the results; returns their number. Inline, as it is called for
  // every line of a file and most lines are dealt with by its first test.
  int FindAllIn(std::string_view text) {
    results_.clear();
    text_ = text;
    windowEnd_ = text.size() + 1;
    if (pattern_.empty() || text.size() < pattern_.size()) return 0;
    return CollectAllMatches();
  }

  [[nodiscard]] int ResultAt(int index) const;
  [[nodiscard]] int ResultCount() const { return static_cast<int>(results_.size()); }
  // After a replacement at column `first` made the line `delta` bytes shorter, moves the later
  // results with it.
  void ShiftResults(int first, int delta);

  // Matches reported since the pattern was last set.
  [[nodiscard]] int MatchCount() const { return matchCount_; }

private:
  void BuildShiftTable();
  static constexpr std::size_t NoMatch = static_cast<std::size_t>(-1);
  // End of the first matching window that ends at or after `end`, or NoMatch.
  template <bool CaseSensitive> [[nodiscard]] std::size_t NextMatchEnd(std::size_t end) const;
  // The same for texts with room for at least sixteen windows from `start` on, sixteen window
  // starts at a time.
  template <bool CaseSensitive> [[nodiscard]] std::size_t VectorMatchEnd(std::size_t start) const;
  template <bool CaseSensitive> [[nodiscard]] bool WindowMatches(std::size_t start) const;
  int CollectAllMatches();
  template <bool CaseSensitive> int CollectMatches();
  [[nodiscard]] bool BoundedByDelimiters(std::size_t start, std::size_t end) const;

  std::string pattern_;
  // The pattern through the translation table of the current case setting.
  std::string translatedPattern_;
  std::array<std::size_t, 256> shift_{};
  std::size_t lookAt_ = 1;
  bool caseSensitive_ = false;
  bool wholeWords_ = false;

  std::string_view text_;
  // One past the last match; beyond the text once the scan has finished.
  std::size_t windowEnd_ = 0;
  int matchCount_ = 0;
  std::vector<int> results_;
};
