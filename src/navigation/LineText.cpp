// Columns are counted character by character: a line is short, and the counts must agree with
// LineCharacters exactly.
#include "LineText.h"

#include "CodePage.h"
#include "TextEncoding.h"

namespace {

// Walks the line's characters: `step(bytes, units)` for each, until it returns false.
template <typename Step> void ForEachCharacter(std::string_view line, Step&& step) {
  const bool utf8 = ReadsAsUtf8(line);
  for (std::size_t at = 0; at < line.size();) {
    const auto bytes = static_cast<std::size_t>(utf8 ? CharLength(line, at, TextEncoding::Utf8) : 1);
    if (!step(static_cast<int>(bytes), bytes == 4 ? 2 : 1)) return;
    at += bytes;
  }
}

} // namespace

QString LineCharacters(std::string_view line) {
  if (ReadsAsUtf8(line)) return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
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
