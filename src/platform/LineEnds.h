// The ways a line of a file can end, and the one splitter every reader of files shares: CR LF,
// CR and LF each end a line, every other byte (NUL and bytes above 127 included) is text.
#pragma once

#include <cstdint>
#include <string_view>

enum class LineEnd : std::uint8_t { None, LF, CRLF, CR };

// Calls `take(line, end)` for each line of `bytes` split at CR LF, CR and LF; a last line without
// a line end ends in LineEnd::None.
template <typename Take> void ForEachLine(std::string_view bytes, Take take) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    const std::string_view line = bytes.substr(start, i - start);
    if (bytes[i] == '\n') {
      take(line, LineEnd::LF);
    } else if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      take(line, LineEnd::CRLF);
      ++i;
    } else {
      take(line, LineEnd::CR);
    }
    start = i + 1;
  }
  if (start < bytes.size()) take(bytes.substr(start), LineEnd::None);
}
