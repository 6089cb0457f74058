// The line ends a file was read with, and how its text, edited or not, is written back with them:
// untouched lines keep their own line end, new and changed lines take the one around them, and a
// file that ended without a line end still does. A text read and written unchanged gives back
// every byte.
#pragma once

#include "LineEnds.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class LineLayout {
public:
  // A file never read: every line ends in `end`.
  explicit LineLayout(LineEnd end = LineEnd::LF) : usual_(end) {}

  // Splits `bytes` at CR LF, CR and LF into `lines` (every other byte kept) and remembers how
  // each line ended. New lines of a file without any line end get `fallback`.
  [[nodiscard]] static LineLayout Read(std::string_view bytes, std::vector<std::string>& lines,
                                       LineEnd fallback = LineEnd::LF);

  // The bytes of `lines` laid out as the file was.
  [[nodiscard]] std::string Write(const std::vector<std::string>& lines) const;
  // The file now holds `bytes`, which Write gave.
  void Written(std::string_view bytes);

  // The line end most lines have.
  [[nodiscard]] LineEnd Usual() const { return usual_; }

private:
  // Splits `bytes` as Read does, handing each line to `take`.
  template <typename Take> static LineLayout Scan(std::string_view bytes, LineEnd fallback, Take take);
  // The end each of `lines` is written with.
  [[nodiscard]] std::vector<LineEnd> EndsFor(const std::vector<std::string>& lines) const;

  LineEnd usual_;
  // Whether the file's last line has a line end (a file never read gets one).
  bool endsWithLineEnd_ = true;
  std::size_t lineCount_ = 0;
  // For a file whose lines end in more than one way: each line's end, and a fingerprint of each
  // line's text, to find the lines again after edits. Empty when every line ends the usual way.
  std::vector<LineEnd> ends_;
  std::vector<std::uint64_t> fingerprints_;
};
