// The bracket search over a document's lines.
#include "BracketMatch.h"

#include "TextDocument.h"

#include <cstdlib>
#include <string_view>

std::optional<TextPoint> MatchingBracket(const TextDocument& document, TextPoint at, int lineLimit) {
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
  for (int y = at.Y; y >= 1 && y <= document.LineCount() && std::abs(y - at.Y) <= lineLimit; y += step) {
    const std::string& text = document.LineText(y);
    const int length = static_cast<int>(text.size());
    for (int x = y == at.Y ? at.X - 1 + step : (forward ? 0 : length - 1); x >= 0 && x < length; x += step) {
      const char c = text[static_cast<std::size_t>(x)];
      if (c == bracket)
        ++level;
      else if (c == partner && --level == 0)
        return TextPoint{x + 1, y};
    }
  }
  return std::nullopt;
}
