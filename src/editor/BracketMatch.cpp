// The bracket search over a document's lines.
#include "BracketMatch.h"

#include "TextDocument.h"

#include <cstdlib>
#include <string_view>

std::optional<TkxPoint> MatchingBracket(const TextDocument& document, TkxPoint at, int lineLimit) {
  static constexpr std::string_view kBrackets = "()[]{}";
  const std::string& line = document.LineText(at.Y);
  if (at.X < 1 || at.X > static_cast<int>(line.size())) return std::nullopt;
  const char bracket = line[static_cast<std::size_t>(at.X - 1)];
  const std::size_t index = kBrackets.find(bracket);
  if (index == std::string_view::npos) return std::nullopt;
  const bool forward = index % 2 == 0;
  const char partner = kBrackets[forward ? index + 1 : index - 1];
  const int step = forward ? 1 : -1;
  int level = 1;
  int y = at.Y;
  int x = at.X - 1; // 0-based index of the byte looked at
  for (;;) {
    const std::string& text = document.LineText(y);
    x += step;
    if (x < 0 || x >= static_cast<int>(text.size())) {
      y += step;
      if (y < 1 || y > document.LineCount() || std::abs(y - at.Y) > lineLimit) return std::nullopt;
      x = forward ? -1 : static_cast<int>(document.LineText(y).size());
      continue;
    }
    const char c = text[static_cast<std::size_t>(x)];
    if (c == bracket)
      ++level;
    else if (c == partner && --level == 0)
      return TkxPoint{x + 1, y};
  }
}
