// A source file as the editor windows read it: bytes to lines, either as they are or with tabs
// expanded, and lines back to CR LF bytes. Reading and writing the file itself is stored_file's.
// No widgets here.
#pragma once

#include "LineLayout.h"
#include "StoredFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace source_file {

inline constexpr int kTabColumns = 4;

// Each tab becomes the spaces up to the next multiple of four columns.
[[nodiscard]] std::string ExpandTabs(std::string_view line);

// Whether more lines start with a tab than with a space.
[[nodiscard]] bool IndentedWithTabs(const std::vector<std::string>& lines);

// Every line followed by CR LF; the empty text (no line, or one empty line) is no bytes.
[[nodiscard]] std::string JoinLines(const std::vector<std::string>& lines);

struct LoadResult {
  std::vector<std::string> lines; // empty for a file that does not exist
  std::string error;              // empty on success
  LineLayout layout;              // how the lines ended, when they were kept as they are
};

// Whether the start of the file reads as text: no NUL byte, and few control characters besides
// the usual white space. A file that cannot be read counts as text (its reading reports why).
[[nodiscard]] bool LooksLikeText(const std::string& path);

// Reads `path` as lines: with `keepLayout` every byte as it is, with the line ends in the layout;
// otherwise with tabs expanded. A missing file gives no lines and no error; a folder, a device or
// an unreadable file gives an error and no lines.
[[nodiscard]] LoadResult Load(const std::string& path, bool keepLayout);

} // namespace source_file
