// Drives an editor with a stream of bytes read as commands (typing, deletions, line breaks, Tab,
// block indentation, the clipboard of both kinds, drag and drop, replace all, mode switches, caret
// moves, undo and redo) and checks what must hold: the model's invariants after every step, and
// that undoing everything gives back the starting text and bookmarks byte for byte while redoing
// everything gives back the final ones. Shared by the randomized tests and the fuzzer.
#pragma once

#include "ClipboardBlock.h"
#include "CppHighlighter.h"
#include "TextEditor.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace EditScript {

// A clipboard held in memory; two editors may share one.
struct MemoryClipboard : ClipboardPort {
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
  // A text of up to `maxLength` bytes from `alphabet`.
  std::string Text(std::string_view alphabet, int maxLength) {
    std::string text(Next() % (maxLength + 1), ' ');
    for (char& ch : text)
      ch = alphabet[Next() % alphabet.size()];
    return text;
  }

private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// Lines of code with blanks and tabs (also at their ends) and the odd NUL.
inline std::vector<std::string> StartText(Bytes& bytes) {
  static const char* const samples[] = {"int main(void) {",      "    return 0;", "}",    "",
                                        "  /* c */ x = (a[1]);", "\tword  ",      "  ab", "#define X \\"};
  std::vector<std::string> lines(1 + bytes.Next() % 8);
  for (std::string& line : lines)
    line = bytes.Next() % 3 ? samples[bytes.Next() % std::size(samples)]
                            : bytes.Text(std::string_view(" \t a(b)/*{x}\0", 13), 12);
  return lines;
}

// An editor as a script starts it: its first bytes choose the tab width, whether it indents with
// tabs, the text and where three bookmarks go.
struct Session {
  CppHighlighter highlighter;
  TextEditor core;
  MemoryClipboard clipboard;
  Session(Bytes& bytes, EditorOptions options) {
    core.SetFontMetrics(8, 16);
    core.SetClientSize(300, 200);
    core.SetClipboard(&clipboard);
    core.SetHighLighter(&highlighter);
    core.SetMaxUndo(1 << 20);
    core.SetOptions(options);
    core.SetTabWidth(2 << bytes.Next() % 3);
    core.SetIndentWithTabs(bytes.Next() % 2 == 0);
    core.Document().Load(StartText(bytes));
    for (int number = 0; number < 3; ++number)
      core.SetBookMark(number, 1, 1 + bytes.Next() % core.LineCount());
  }
};

// The first broken invariant, or empty.
inline std::string CheckInvariants(TextEditor& core) {
  if (core.LineCount() < 1) return "the text has no line";
  // The scroll width takes in every line's end, and no column lies beyond it.
  const int columnLimit = core.ScrollWidth() + 1;
  for (int i = 0; i < core.LineCount(); ++i) {
    if (core.Lines()[i].find_first_of("\r\n") != std::string::npos) return "a line holds a line end";
    if (static_cast<int>(core.Lines()[i].size()) >= columnLimit)
      return "a line reaches past the scroll width";
  }
  for (TextPoint p : {core.CaretXY(), core.SelectionAnchor(), core.SelectionMovingEnd()})
    if (p.Y < 1 || p.Y > core.LineCount() || p.X < 1 || p.X > columnLimit)
      return "caret or selection outside the text";
  if (core.TopLine() < 1 || core.TopLine() > core.LineCount()) return "top line outside the text";
  for (int n = 0; n < MarkList::BookmarkCount; ++n)
    if (const Mark* mark = core.Marks().BookMark(n);
        mark && (mark->Line() < 1 || mark->Line() > core.LineCount()))
      return "bookmark outside the text";
  // The stored ranges are those a scan from the first line gives.
  if (Highlighter* highlighter = core.HighLighter()) {
    std::vector<HighlightRange> ranges; // read first: reading may rescan with the same highlighter
    for (int i = 0; i < core.LineCount(); ++i)
      ranges.push_back(core.Document().Ranges().At(i));
    highlighter->ClearRange();
    for (int i = 0; i < core.LineCount(); ++i) {
      if (ranges[static_cast<std::size_t>(i)] != highlighter->CurrentRange())
        return "a stale highlighter range";
      highlighter->BeginLine(core.Lines()[i], i);
      highlighter->SkipToLineEnd();
    }
  }
  return {};
}

// Script steps beside the editor's own commands.
inline constexpr EditorCommand kPastePlain = 2001, kDrop = 2002, kReplaceAll = 2003;

// The commands a script picks from, typing more often than the rest.
inline const std::vector<EditorCommand>& ScriptCommands() {
  static const std::vector<EditorCommand> commands = {ecChar,
                                                      ecChar,
                                                      ecChar,
                                                      ecChar,
                                                      ecImeStr,
                                                      ecDeleteLastChar,
                                                      ecDeleteChar,
                                                      ecDeleteWord,
                                                      ecDeleteLastWord,
                                                      ecDeleteBOL,
                                                      ecDeleteEOL,
                                                      ecDeleteLine,
                                                      ecLineBreak,
                                                      ecLineBreak,
                                                      ecInsertLine,
                                                      ecTab,
                                                      ecShiftTab,
                                                      ecBlockIndent,
                                                      ecBlockUnindent,
                                                      ecCut,
                                                      ecCopy,
                                                      ecPaste,
                                                      kPastePlain,
                                                      kDrop,
                                                      kReplaceAll,
                                                      ecNormalSelect,
                                                      ecColumnSelect,
                                                      ecLineSelect,
                                                      ecToggleMode,
                                                      ecLeft,
                                                      ecSelRight,
                                                      ecSelDown,
                                                      ecUp,
                                                      ecWordRight,
                                                      ecSelWordLeft,
                                                      ecLineEnd,
                                                      ecSelLineStart,
                                                      ecSelPageDown,
                                                      ecEditorTop,
                                                      ecSelEditorBottom,
                                                      ecGotoXY,
                                                      ecSelGotoXY,
                                                      ecMatchBracket,
                                                      ecUndo,
                                                      ecRedo,
                                                      ecSelectAll,
                                                      ecGotoMarker0,
                                                      ecClearAll};
  return commands;
}

inline TextPoint AnyPoint(TextEditor& core, Bytes& bytes) {
  return {bytes.Next() % 40 - 2, bytes.Next() % (core.LineCount() + 3) - 1};
}

// Runs one scripted step; returns the command it ran.
inline EditorCommand Step(TextEditor& core, MemoryClipboard& clipboard, Bytes& bytes) {
  const auto& commands = ScriptCommands();
  const EditorCommand command = commands[bytes.Next() % commands.size()];
  switch (command) {
  case ecChar: core.ExecuteCommand(ecChar, " ab{}()/*x\xe9\t"[bytes.Next() % 12]); break;
  case ecGotoXY:
  case ecSelGotoXY: {
    const TextPoint target = AnyPoint(core, bytes);
    core.ExecuteCommand(command, 0, &target);
    break;
  }
  case ecImeStr: core.ExecuteCommand(ecImeStr, 0, bytes.Next() % 2 ? "ime" : "\r\n"); break;
  case kPastePlain:
    clipboard.block.reset();
    core.ExecuteCommand(ecPaste);
    break;
  case kDrop: core.DropSelection(AnyPoint(core, bytes), bytes.Next() % 2); break;
  case kReplaceAll: {
    const std::string search = "a" + bytes.Text(" (a)", 2);
    const std::string replace = bytes.Text(bytes.Next() % 4 ? " xa" : "x\n ", 3);
    const SearchFlags options = ssoEntireScope | ssoReplace | ssoReplaceAll;
    core.SearchReplace(search, replace,
                       options | (bytes.Next() & (ssoMatchCase | ssoBackwards | ssoSelectedOnly)));
    break;
  }
  default: core.ExecuteCommand(command); break;
  }
  return command;
}

// The text and the bookmarks' lines.
struct Snapshot {
  std::vector<std::string> lines;
  std::array<int, MarkList::BookmarkCount> bookmarks;
  bool operator==(const Snapshot&) const = default;
};

inline Snapshot Take(const TextEditor& core) {
  return {core.Lines().Strings(), core.Marks().BookmarkLines()};
}

// Undoes every step and redoes them all: what differed from the start or the end, or empty.
inline std::string CheckUndoRedo(TextEditor& core, const Snapshot& start) {
  const Snapshot end = Take(core);
  // What the script itself left to redo would come on top of the end: redo only what was undone.
  const int leftToRedo = core.RedoRecords().Count();
  while (core.CanUndo())
    core.Undo();
  if (Take(core) != start)
    return core.Lines().Strings() == start.lines ? "undo lost a bookmark" : "undo lost text";
  while (core.RedoRecords().Count() > leftToRedo)
    core.Redo();
  if (Take(core) != end)
    return core.Lines().Strings() == end.lines ? "redo lost a bookmark" : "redo lost text";
  return {};
}

} // namespace EditScript
