// An edit is applied to whole lines first: how a line's bytes read depends on the whole line.
// Comparing the characters of the lines before and after then finds the change the server sees.
// Typing in UTF-8 lines, by far the most common edit, compares their bytes instead, which needs
// no conversion.
#include "DocumentMirror.h"

#include "LineText.h"
#include "TextEncoding.h"

#include <algorithm>

namespace {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find('\n', start);
    lines.emplace_back(text.substr(start, end - start));
    if (end == std::string_view::npos) return lines;
    start = end + 1;
  }
}

// The position of `offset` in a block of characters whose first line is `firstLine` (0-based).
ProtocolPosition PositionInBlock(const QString& block, qsizetype offset, int firstLine) {
  const QStringView before = QStringView(block).left(offset);
  const qsizetype lineStart = before.lastIndexOf(u'\n') + 1;
  return {firstLine + static_cast<int>(before.count(u'\n')), static_cast<int>(offset - lineStart)};
}

bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The position of byte `offset` in a block of UTF-8 lines whose first line is `firstLine` (0-based).
ProtocolPosition PositionInUtf8(std::string_view block, std::size_t offset, int firstLine) {
  const std::string_view before = block.substr(0, offset);
  const std::size_t lineStart = before.rfind('\n') + 1; // 0 when there is none
  int character = 0;
  for (std::size_t at = lineStart; at < offset; ++at)
    if (!IsContinuation(before[at])) character += static_cast<unsigned char>(before[at]) >= 0xF0 ? 2 : 1;
  return {firstLine + static_cast<int>(std::count(before.begin(), before.end(), '\n')), character};
}

// The change between two blocks of UTF-8 lines, cut between whole characters.
ContentChange Utf8Change(const std::string& before, const std::string& after, int firstLine) {
  const std::size_t shorter = std::min(before.size(), after.size());
  std::size_t prefix = 0;
  while (prefix < shorter && before[prefix] == after[prefix])
    ++prefix;
  while (prefix > 0 && IsContinuation(prefix < before.size() ? before[prefix] : after[prefix]))
    --prefix;
  std::size_t suffix = 0;
  while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
    ++suffix;
  while (suffix > 0 && IsContinuation(before[before.size() - suffix]))
    --suffix;
  return {
      {PositionInUtf8(before, prefix, firstLine), PositionInUtf8(before, before.size() - suffix, firstLine)},
      after.substr(prefix, after.size() - suffix - prefix)};
}

} // namespace

DocumentMirror::DocumentMirror(std::vector<std::string> lines) : lines_(std::move(lines)) {
  if (lines_.empty()) lines_.emplace_back();
}

std::string_view DocumentMirror::Line(int line) const {
  if (line < 1 || line > LineCount()) return {};
  return lines_[static_cast<std::size_t>(line - 1)];
}

QString DocumentMirror::Block(int first, int last) const {
  QString block;
  for (int line = first; line <= last; ++line) {
    if (line > first) block += u'\n';
    block += LineCharacters(Line(line));
  }
  return block;
}

std::optional<std::string> DocumentMirror::Utf8Block(int first, int last) const {
  std::string block;
  for (int line = first; line <= last; ++line) {
    if (!ReadsAsUtf8(Line(line))) return std::nullopt;
    if (line > first) block += '\n';
    block += Line(line);
  }
  return block;
}

QString DocumentMirror::Characters() const { return Block(1, LineCount()); }

TextPosition DocumentMirror::Clamped(TextPosition position) const {
  if (position.line < 1) return {1, 1};
  if (position.line > LineCount()) return {LineCount(), static_cast<int>(lines_.back().size()) + 1};
  const int length = static_cast<int>(Line(position.line).size());
  return {position.line, std::clamp(position.column, 1, length + 1)};
}

ProtocolPosition DocumentMirror::ToProtocol(TextPosition position) const {
  position = Clamped(position);
  return {position.line - 1, Utf16Column(Line(position.line), position.column)};
}

TextPosition DocumentMirror::FromProtocol(ProtocolPosition position) const {
  if (position.line < 0) return {1, 1};
  if (position.line >= LineCount()) return Clamped({position.line + 1, 1});
  return {position.line + 1, ByteColumn(Line(position.line + 1), position.character)};
}

ContentChange DocumentMirror::Apply(const TextEdit& edit) {
  TextPosition start = Clamped(edit.range.start), end = Clamped(edit.range.end);
  if (end < start) std::swap(start, end);
  const std::optional<std::string> utf8Before = Utf8Block(start.line, end.line);
  QString before = utf8Before ? QString() : Block(start.line, end.line);

  const auto first = lines_.begin() + (start.line - 1), last = lines_.begin() + end.line;
  std::vector<std::string> replacement =
      SplitLines(first->substr(0, static_cast<std::size_t>(start.column - 1)) + edit.text +
                 (last - 1)->substr(static_cast<std::size_t>(end.column - 1)));
  const int newLast = start.line + static_cast<int>(replacement.size()) - 1;
  if (static_cast<std::ptrdiff_t>(replacement.size()) == last - first) {
    // Typing within lines: no line moves, however long the text.
    std::move(replacement.begin(), replacement.end(), first);
  } else {
    lines_.erase(first, last);
    lines_.insert(lines_.begin() + (start.line - 1), std::make_move_iterator(replacement.begin()),
                  std::make_move_iterator(replacement.end()));
  }
  ++version_;
  if (utf8Before) {
    if (const std::optional<std::string> utf8After = Utf8Block(start.line, newLast))
      return Utf8Change(*utf8Before, *utf8After, start.line - 1);
    before = QString::fromStdString(*utf8Before);
  }
  const QString after = Block(start.line, newLast);

  // What the two blocks share at their ends is not part of the change; a surrogate pair stays
  // whole on one side of the cut.
  qsizetype prefix = 0;
  const qsizetype shorter = std::min(before.size(), after.size());
  while (prefix < shorter && before[prefix] == after[prefix])
    ++prefix;
  if (prefix > 0 && before[prefix - 1].isHighSurrogate()) --prefix;
  qsizetype suffix = 0;
  while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
    ++suffix;
  if (suffix > 0 && before[before.size() - suffix].isLowSurrogate()) --suffix;

  return {{PositionInBlock(before, prefix, start.line - 1),
           PositionInBlock(before, before.size() - suffix, start.line - 1)},
          after.mid(prefix, after.size() - suffix - prefix).toStdString()};
}
