// The language server's copy of one open document: its lines as the editor holds them, and its
// version. Every edit comes back as the change the server must make to its own text, so both
// stay the same text, counted in their own ways.
#pragma once

#include "ContentChange.h"
#include "TextPosition.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

class DocumentMirror {
public:
  // A document has at least one line.
  explicit DocumentMirror(std::vector<std::string> lines);

  // 1 when opened; one more for every edit.
  [[nodiscard]] int Version() const { return version_; }
  [[nodiscard]] int LineCount() const { return static_cast<int>(lines_.size()); }
  // The bytes of a 1-based line; empty for a line that does not exist.
  [[nodiscard]] std::string_view Line(int line) const;
  // The whole text as the server reads it, lines separated by '\n'.
  [[nodiscard]] QString Characters() const;

  // Positions outside the text are brought to its nearest place.
  [[nodiscard]] TextPosition Clamped(TextPosition position) const;
  [[nodiscard]] ProtocolPosition ToProtocol(TextPosition position) const;
  [[nodiscard]] TextPosition FromProtocol(ProtocolPosition position) const;

  // Makes the edit (its range clamped and put in order) and returns the server's change. A
  // byte that turns its line from valid UTF-8 into Windows-1252 or back changes how every
  // character of the line reads; the change covers what differs, and only that.
  ContentChange Apply(const TextEdit& edit);

private:
  // The characters of lines `first` to `last` (1-based), separated by '\n'.
  [[nodiscard]] QString Block(int first, int last) const;
  // Their bytes, when every one of them reads as UTF-8; none otherwise.
  [[nodiscard]] std::optional<std::string> Utf8Block(int first, int last) const;

  std::vector<std::string> lines_;
  int version_ = 1;
};
