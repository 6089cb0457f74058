// Encoding and decoding of the private clipboard block, and the plain-text paste conversion.
#include "ClipboardBlock.h"

std::string EncodeClipboardBlock(SelectionMode mode, std::string_view text) {
  std::string data;
  data.reserve(text.size() + 2);
  data += static_cast<char>(mode);
  data += text;
  data += '\0';
  return data;
}

std::optional<ClipboardBlock> DecodeClipboardBlock(std::string_view data) {
  if (data.empty()) return std::nullopt;
  const auto mode = static_cast<unsigned char>(data[0]);
  if (mode > static_cast<unsigned char>(SelectionMode::Line)) return std::nullopt;
  std::string_view rest = data.substr(1);
  // The NUL that closes the block; NULs within are text.
  if (!rest.empty() && rest.back() == '\0') rest.remove_suffix(1);
  return ClipboardBlock{static_cast<SelectionMode>(mode), std::string(rest)};
}

std::string ConvertPastedPlainText(std::string_view text, bool keepTabs) {
  constexpr std::size_t tabStop = 4;
  std::string converted;
  converted.reserve(text.size() + text.size() / 8 + 2);
  std::size_t lineStart = 0; // where the current line begins in `converted`
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      converted += "\r\n";
      lineStart = converted.size();
    } else if (c == '\t' && !keepTabs) {
      converted.append(tabStop - (converted.size() - lineStart) % tabStop, ' ');
    } else {
      converted += c;
    }
  }
  if (converted.size() > lineStart) converted += "\r\n";
  return converted;
}
