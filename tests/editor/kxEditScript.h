// Drives an editor model with a stream of bytes read as commands (typing, deletions, line
// breaks, Tab, block indentation, clipboard, mode switches, caret moves, undo and redo) and
// checks the model's invariants after every step. Shared by the randomized test and the fuzzer.
#pragma once

#include "kxBlockClipboard.h"
#include "kxEditCore.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kxEditScript {

// A clipboard held in memory; two editors may share one.
struct MemoryClipboard : TkxClipboardPort {
  std::optional<std::string> block;
  std::optional<std::string> plain;
  bool failPut = false;
  bool PutText(std::string_view text, std::string_view data) override {
    if (failPut) return false;
    plain = std::string(text);
    block = std::string(data);
    return true;
  }
  std::optional<std::string> BlockData() const override { return block; }
  std::optional<std::string> PlainText() const override { return plain; }
};

// Reads bytes; past the end every read is 0.
class Bytes {
public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  [[nodiscard]] bool AtEnd() const { return at_ >= size_; }
  std::uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }

private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// The first broken invariant, or empty.
inline std::string CheckInvariants(const TkxEditCore& core) {
  if (core.LineCount() < 1) return "the text has no line";
  if (core.Lines().Count() != core.LineCount()) return "LineCount differs from the lines";
  for (int i = 0; i < core.LineCount(); ++i)
    if (core.Lines()[i].find_first_of("\r\n") != std::string::npos) return "a line holds a line end";
  // Columns reach the scroll limit, or the end of a longer line.
  auto columnLimit = [&](int line) {
    return std::max(TkxEditCore::MaxLeftChar + 1, static_cast<int>(core.LineText(line).size()) + 1);
  };
  const TkxPoint caret = core.CaretXY();
  if (caret.Y < 1 || caret.Y > core.LineCount() || caret.X < 1 || caret.X > columnLimit(caret.Y))
    return "caret outside the text";
  for (TkxPoint p : {core.SelectionAnchor(), core.SelectionMovingEnd()})
    if (p.Y < 1 || p.Y > core.LineCount() || p.X < 1 || p.X > columnLimit(p.Y))
      return "selection outside the text";
  if (core.TopLine() < 1 || core.TopLine() > core.LineCount()) return "top line outside the text";
  return {};
}

// The commands a script picks from.
inline const std::vector<TkxEditorCommand>& ScriptCommands() {
  static const std::vector<TkxEditorCommand> commands = {ecChar,
                                                         ecChar,
                                                         ecChar,
                                                         ecDeleteLastChar,
                                                         ecDeleteChar,
                                                         ecDeleteWord,
                                                         ecDeleteLastWord,
                                                         ecDeleteBOL,
                                                         ecDeleteEOL,
                                                         ecDeleteLine,
                                                         ecLineBreak,
                                                         ecInsertLine,
                                                         ecTab,
                                                         ecBlockIndent,
                                                         ecBlockUnindent,
                                                         ecCut,
                                                         ecCopy,
                                                         ecPaste,
                                                         ecNormalSelect,
                                                         ecColumnSelect,
                                                         ecLineSelect,
                                                         ecLeft,
                                                         ecSelRight,
                                                         ecSelDown,
                                                         ecUp,
                                                         ecWordRight,
                                                         ecSelWordLeft,
                                                         ecLineEnd,
                                                         ecSelPageDown,
                                                         ecEditorTop,
                                                         ecSelEditorBottom,
                                                         ecToggleMode,
                                                         ecMatchBracket,
                                                         ecUndo,
                                                         ecUndo,
                                                         ecRedo,
                                                         ecGotoXY,
                                                         ecSelGotoXY,
                                                         ecImeStr,
                                                         ecSelectAll,
                                                         ecSetMarker0,
                                                         ecGotoMarker0};
  return commands;
}

// Runs one scripted step; returns the command it ran.
inline TkxEditorCommand Step(TkxEditCore& core, Bytes& bytes) {
  const auto& commands = ScriptCommands();
  const TkxEditorCommand command = commands[bytes.Next() % commands.size()];
  switch (command) {
  case ecChar: core.ExecuteCommand(ecChar, static_cast<char>(" ab{}()/*x\xe9"[bytes.Next() % 11])); break;
  case ecGotoXY:
  case ecSelGotoXY: {
    const TkxPoint target{bytes.Next() % 40 - 2, bytes.Next() % (core.LineCount() + 3) - 1};
    core.ExecuteCommand(command, 0, &target);
    break;
  }
  case ecImeStr: core.ExecuteCommand(ecImeStr, 0, bytes.Next() % 2 ? "ime" : "\r\n"); break;
  default: core.ExecuteCommand(command); break;
  }
  return command;
}

// The starting text a script's first bytes choose: lines without trailing blanks or tabs.
inline std::vector<std::string> StartText(Bytes& bytes) {
  static const char* const samples[] = {"int main(void) {",      "    return 0;", "}", "",
                                        "  /* c */ x = (a[1]);", "word"};
  std::vector<std::string> lines;
  const int count = 1 + bytes.Next() % 8;
  for (int i = 0; i < count; ++i)
    lines.push_back(samples[bytes.Next() % 6]);
  return lines;
}

} // namespace kxEditScript
