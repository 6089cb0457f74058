// The search engine on arbitrary bytes and patterns, checked against std::search with the same
// case folding, whole-word rule and non-overlapping matches; any difference aborts.
// Input: one flag byte (bit 0 match case, bit 1 whole words), one pattern length byte, the
// pattern, then the line.
#include "SearchEngine.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

bool IsWordByte(unsigned char c) {
  return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
}

std::vector<int> ExpectedMatches(std::string_view text, std::string_view pattern, bool caseSensitive,
                                 bool wholeWords) {
  const auto equal = [caseSensitive](char a, char b) {
    const auto fold = [caseSensitive](unsigned char c) {
      return static_cast<unsigned char>(!caseSensitive && c >= 'A' && c <= 'Z' ? c | 0x20 : c);
    };
    return fold(static_cast<unsigned char>(a)) == fold(static_cast<unsigned char>(b));
  };
  std::vector<int> columns;
  for (auto from = text.begin();;) {
    const auto found = std::search(from, text.end(), pattern.begin(), pattern.end(), equal);
    if (found == text.end()) return columns;
    const auto start = static_cast<std::size_t>(found - text.begin());
    const std::size_t end = start + pattern.size();
    const bool bounded = (start == 0 || !IsWordByte(static_cast<unsigned char>(text[start - 1]))) &&
                         (end == text.size() || !IsWordByte(static_cast<unsigned char>(text[end])));
    if (wholeWords && !bounded) {
      from = found + 1;
      continue;
    }
    columns.push_back(static_cast<int>(start + 1));
    from = found + static_cast<std::ptrdiff_t>(pattern.size());
  }
}

void Check(bool condition) {
  if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const bool caseSensitive = data[0] & 1;
  const bool wholeWords = data[0] & 2;
  const std::size_t patternLength = 1 + data[1] % 32;
  if (size < 2 + patternLength) return 0;
  const std::string pattern(reinterpret_cast<const char*>(data + 2), patternLength);
  // A buffer of exactly the line's size, so that any read past the line is caught.
  const std::size_t textLength = size - 2 - patternLength;
  const auto buffer = std::make_unique<char[]>(textLength);
  std::copy_n(reinterpret_cast<const char*>(data + 2 + patternLength), textLength, buffer.get());
  const std::string_view text(buffer.get(), textLength);

  SearchEngine engine;
  engine.SetWholeWords(wholeWords);
  // Alternate the order of pattern and case: the result must not depend on it.
  if (patternLength % 2 == 0) engine.SetCaseSensitive(caseSensitive);
  engine.SetPattern(pattern);
  engine.SetCaseSensitive(caseSensitive);

  const std::vector<int> expected = ExpectedMatches(text, pattern, caseSensitive, wholeWords);
  Check(engine.FindAllIn(text) == static_cast<int>(expected.size()));
  for (std::size_t i = 0; i < expected.size(); ++i)
    Check(engine.ResultAt(static_cast<int>(i)) == expected[i]);
  Check(engine.ResultAt(static_cast<int>(expected.size())) == 0);

  std::vector<int> stepped;
  for (int column = engine.FindFirstIn(text); column != 0; column = engine.FindNext())
    stepped.push_back(column);
  Check(stepped == expected);
  Check(engine.FindNext() == 0);
  return 0;
}
