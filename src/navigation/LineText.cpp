// Columns are counted character by character: a line is short, and the counts must agree with
// LineCharacters exactly.
#include "LineText.h"

#include "CodePage.h"

#include <algorithm>

namespace {

bool Continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence at `at`; 0 when there is none.
std::size_t SequenceLength(std::string_view bytes, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
  const std::size_t left = bytes.size() - at;
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF; // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;  // no overlong forms
    if (lead == 0xED) high = 0x9F; // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F; // nothing past U+10FFFF
  } else {
    return 0;
  }
  if (left < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if (!Continuation(byte(i))) return 0;
  return length;
}

// Walks the line's characters: `step(bytes, units)` for each, until it returns false.
template <typename Step> void ForEachCharacter(std::string_view line, Step&& step) {
  const bool utf8 = IsValidUtf8(line);
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t bytes = utf8 ? SequenceLength(line, at) : 1;
    if (!step(static_cast<int>(bytes), bytes == 4 ? 2 : 1)) return;
    at += bytes;
  }
}

} // namespace

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = SequenceLength(bytes, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

QString LineCharacters(std::string_view line) {
  if (IsValidUtf8(line)) return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  return BytesToQString(line);
}

int Utf16Column(std::string_view line, int column) {
  int byte = 0, units = 0;
  ForEachCharacter(line, [&](int bytes, int width) {
    if (byte + bytes > column - 1) return false;
    byte += bytes;
    units += width;
    return true;
  });
  return units;
}

int ByteColumn(std::string_view line, int character) {
  int byte = 0, units = 0;
  ForEachCharacter(line, [&](int bytes, int width) {
    if (units + width > character) return false;
    byte += bytes;
    units += width;
    return true;
  });
  return byte + 1;
}
