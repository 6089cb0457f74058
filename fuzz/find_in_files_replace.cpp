// Find and Replace in Files on arbitrary texts and patterns: a pattern the engine refuses is an
// error with a message, never a crash; the lines the whole-text scan finds are those a search
// line by line finds; and a replacement changes nothing but the lines it reports. Any difference
// aborts. Input: one flag byte (bit 0 match case, bit 1 whole words, bit 2 regular expression),
// one pattern length byte, the pattern, one replacement length byte, the replacement, the text.
#include "LineEnds.h"
#include "ReplaceInFiles.h"
#include "UserQuestions.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::uint8_t flags = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  auto take = [&rest]() {
    const std::size_t length = std::min<std::size_t>(static_cast<std::uint8_t>(rest[0]), rest.size() - 1);
    std::string piece(rest.substr(1, length));
    rest.remove_prefix(1 + length);
    return piece;
  };
  const std::string pattern = take();
  if (rest.empty()) return 0;
  const std::string replacement = take();
  const std::string text(rest);
  try {
    TextMatcher matcher(SearchQuery{pattern, (flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0});
    // The whole-text scan picks the text's encoding (UTF-8, or Windows-1252 when it does not read
    // as UTF-8); its lines are then searched one by one in that same encoding.
    std::vector<int> byLine, whole;
    matcher.FindLines(text, [&whole](LineHit hit) { whole.push_back(hit.line); });
    int number = 0;
    ForEachLine(text, [&](std::string_view line, LineEnd) {
      ++number;
      if (!matcher.FindInLine(line).empty()) byLine.push_back(number);
    });
    if (byLine != whole) std::abort();
    Replacer replacer(matcher, replacement);
    const FileReplacement plan = replacer.Plan("f.c", text);
    if (plan.before != text || static_cast<int>(plan.lines.size()) != static_cast<int>(whole.size()))
      std::abort();
  } catch (const TessarinError&) {
    // An empty or invalid pattern, or a replacement naming a missing group.
  }
  return 0;
}
