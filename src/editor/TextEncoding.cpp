#include "TextEncoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

// Unicode of bytes 0x80..0x9F; the five unassigned bytes keep their own value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t Windows1252Code(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : static_cast<char32_t>(byte);
}

std::optional<char> Windows1252Byte(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
  const auto* found = std::find(kHighControls.begin(), kHighControls.end(), code);
  if (found == kHighControls.end()) return std::nullopt;
  return static_cast<char>(0x80 + (found - kHighControls.begin()));
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence at `at` and its code; length 0 when there is none.
std::pair<int, char32_t> DecodeUtf8(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return {1, lead};
  int length = 0;
  char32_t code = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07, least = 0x10000;
  } else {
    return {0, 0};
  }
  if (at + static_cast<std::size_t>(length) > text.size()) return {0, 0};
  for (int i = 1; i < length; ++i) {
    const unsigned char next = byte(at + static_cast<std::size_t>(i));
    if (!IsContinuation(next)) return {0, 0};
    code = (code << 6) | (next & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {0, 0};
  return {length, code};
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

int Length(std::string_view line) { return static_cast<int>(line.size()); }

} // namespace

const char* EncodingName(TextEncoding encoding) {
  return encoding == TextEncoding::Utf8 ? "UTF-8" : "Windows-1252";
}

bool ReadsAsUtf8(std::string_view bytes) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  for (std::size_t i = 0; i < bytes.size();) {
    // ASCII, most of any C file, is passed over eight bytes at a time.
    if (std::uint64_t word = 0; i + sizeof word <= bytes.size()) {
      std::memcpy(&word, bytes.data() + i, sizeof word);
      if ((word & kHighBits) == 0) {
        i += sizeof word;
        continue;
      }
    }
    const int length = DecodeUtf8(bytes, i).first;
    if (length == 0) return false;
    i += static_cast<std::size_t>(length);
  }
  return true;
}

int CharLength(std::string_view line, std::size_t at, TextEncoding encoding) {
  if (encoding != TextEncoding::Utf8 || at >= line.size()) return 1;
  return std::max(1, DecodeUtf8(line, at).first);
}

int CharStartColumn(std::string_view line, int column, TextEncoding encoding) {
  if (encoding != TextEncoding::Utf8 || column <= 1 || column > Length(line)) return column;
  const int index = column - 1;
  // A byte that is no continuation starts a character, and a sequence is at most four bytes.
  int start = index;
  while (start > 0 && index - start < 3 &&
         IsContinuation(static_cast<unsigned char>(line[static_cast<std::size_t>(start)])))
    --start;
  for (;;) {
    const int next = start + CharLength(line, static_cast<std::size_t>(start), encoding);
    if (next > index) return start + 1;
    start = next;
  }
}

int NextCharColumn(std::string_view line, int column, TextEncoding encoding) {
  if (column < 1) return 1;
  return column + CharLength(line, static_cast<std::size_t>(column - 1), encoding);
}

int PrevCharColumn(std::string_view line, int column, TextEncoding encoding) {
  if (column <= 1) return 1;
  if (column > Length(line) + 1) return column - 1;
  return CharStartColumn(line, column - 1, encoding);
}

int StepChars(std::string_view line, int column, int count, TextEncoding encoding) {
  for (; count > 0; --count)
    column = NextCharColumn(line, column, encoding);
  for (; count < 0 && column > 1; ++count)
    column = PrevCharColumn(line, column, encoding);
  return column;
}

int CharColumn(std::string_view line, int column, TextEncoding encoding) {
  if (encoding != TextEncoding::Utf8) return column;
  int chars = 0;
  int at = 1;
  for (; at < column && at <= Length(line); at = NextCharColumn(line, at, encoding))
    ++chars;
  return chars + 1 + std::max(0, column - std::max(at, Length(line) + 1));
}

char32_t CharCode(std::string_view line, std::size_t at, TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8)
    if (const auto [length, code] = DecodeUtf8(line, at); length > 0) return code;
  return Windows1252Code(static_cast<unsigned char>(line[at]));
}

std::optional<std::string> EncodeChar(char32_t code, TextEncoding encoding) {
  if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
  if (encoding == TextEncoding::Utf8) {
    std::string bytes;
    AppendUtf8(bytes, code);
    return bytes;
  }
  if (const std::optional<char> byte = Windows1252Byte(code)) return std::string(1, *byte);
  return std::nullopt;
}

std::string ToUtf8(std::string_view bytes, TextEncoding encoding) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); i += static_cast<std::size_t>(CharLength(bytes, i, encoding)))
    AppendUtf8(text, CharCode(bytes, i, encoding));
  return text;
}

std::optional<std::string> FromUtf8(std::string_view text, TextEncoding encoding) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const int length = CharLength(text, i, TextEncoding::Utf8);
    const std::optional<std::string> encoded = EncodeChar(CharCode(text, i, TextEncoding::Utf8), encoding);
    if (!encoded) return std::nullopt;
    bytes += *encoded;
    i += static_cast<std::size_t>(length);
  }
  return bytes;
}
