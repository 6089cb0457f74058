// Test helpers for loading and changing a document's text line by line.
#pragma once

#include "TextDocument.h"

#include <string>
#include <string_view>
#include <vector>

// The lines a file's text splits into.
inline std::vector<std::string> TextLines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::string_view line : LineList::SplitLines(text))
    lines.emplace_back(line);
  return lines;
}

// Replaces the text of a 1-based line: its old text is deleted, then the new one inserted.
inline void ReplaceLine(TextDocument& document, int line, std::string_view text) {
  document.Delete({1, line}, {static_cast<int>(document.LineText(line).size()) + 1, line});
  document.Insert({1, line}, text);
}
