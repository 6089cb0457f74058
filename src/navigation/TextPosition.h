// Places in a text as the editor counts them and as the language server protocol counts them.
#pragma once

#include <string>

// 1-based line, 1-based byte column (a tab is one byte).
struct TextPosition {
  int line = 1;
  int column = 1;
  bool operator==(const TextPosition&) const = default;
  auto operator<=>(const TextPosition&) const = default;
};

struct TextRange {
  TextPosition start;
  TextPosition end;
  bool operator==(const TextRange&) const = default;
};

// Replaces the text of `range` by `text`, whose lines are separated by '\n'.
struct TextEdit {
  TextRange range;
  std::string text;
  bool operator==(const TextEdit&) const = default;
};

// 0-based line, 0-based column in UTF-16 code units.
struct ProtocolPosition {
  int line = 0;
  int character = 0;
  bool operator==(const ProtocolPosition&) const = default;
};

struct ProtocolRange {
  ProtocolPosition start;
  ProtocolPosition end;
  bool operator==(const ProtocolRange&) const = default;
};
