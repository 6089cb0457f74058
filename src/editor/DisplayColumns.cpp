#include "DisplayColumns.h"

#include <algorithm>
#include <cmath>

namespace {

// The display cell after a character whose first byte starts at cell `cell` (0-based).
int CellAfter(char byte, int cell, int tabWidth) {
  return byte == '\t' && tabWidth > 1 ? cell + tabWidth - cell % tabWidth : cell + 1;
}

// Walks the bytes with their display cells until `stop(index, cell, next)` says so; returns the
// byte index it stopped at and its cell, or the line's length and the cell after the last byte.
// The further bytes of a character take no cell of their own.
template <typename Stop>
std::pair<int, int> Walk(std::string_view line, int tabWidth, TextEncoding encoding, Stop stop) {
  int cell = 0;
  if (encoding == TextEncoding::Utf8) {
    int charEnd = 0;
    int charStart = 0; // the cell of the character the byte belongs to
    for (int i = 0; i < static_cast<int>(line.size()); ++i) {
      const bool first = i >= charEnd;
      if (first) {
        charEnd = i + CharLength(line, static_cast<std::size_t>(i), encoding);
        charStart = cell;
        cell = CellAfter(line[static_cast<std::size_t>(i)], cell, tabWidth);
      }
      if (stop(i, charStart, first ? cell : charStart)) return {i, charStart};
    }
    return {static_cast<int>(line.size()), cell};
  }
  if (line.find('\t') == std::string_view::npos) {
    for (int i = 0; i < static_cast<int>(line.size()); ++i)
      if (stop(i, i, i + 1)) return {i, i};
    return {static_cast<int>(line.size()), static_cast<int>(line.size())};
  }
  for (int i = 0; i < static_cast<int>(line.size()); ++i) {
    const int next = CellAfter(line[static_cast<std::size_t>(i)], cell, tabWidth);
    if (stop(i, cell, next)) return {i, cell};
    cell = next;
  }
  return {static_cast<int>(line.size()), cell};
}

} // namespace

int DisplayColumn(std::string_view line, int tabWidth, int byteColumn, TextEncoding encoding) {
  const int target = byteColumn - 1;
  const auto [index, cell] =
      Walk(line, tabWidth, encoding, [target](int i, int, int) { return i >= target; });
  return cell + 1 + (target - index);
}

std::vector<int> DisplayColumns(std::string_view line, int tabWidth, TextEncoding encoding) {
  std::vector<int> columns;
  columns.reserve(line.size() + 1);
  const auto [index, cell] = Walk(line, tabWidth, encoding, [&columns](int, int start, int) {
    columns.push_back(start + 1);
    return false;
  });
  columns.push_back(cell + 1);
  return columns;
}

int NearestByteColumn(std::string_view line, int tabWidth, double cells, TextEncoding encoding) {
  const auto [index, cell] = Walk(line, tabWidth, encoding,
                                  [cells](int, int start, int next) { return cells < (start + next) / 2.0; });
  if (index < static_cast<int>(line.size())) return index + 1;
  // Past the end every cell is a column of its own.
  return index + 1 + std::max(0, static_cast<int>(std::floor(cells - cell + 0.5)));
}

std::pair<int, int> ColumnBlockBytes(std::string_view line, int tabWidth, int left, int right,
                                     TextEncoding encoding) {
  // The first byte starting at `display` or later; past the end, the blank that would stand there.
  const auto firstFrom = [&](int display) {
    const auto [index, cell] =
        Walk(line, tabWidth, encoding, [display](int, int start, int) { return start + 1 >= display; });
    return index + 1 + std::max(0, display - 1 - cell);
  };
  return {firstFrom(left), firstFrom(right)};
}
