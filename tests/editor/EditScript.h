// Drives an editor with a stream of bytes read as commands (typing, deletions, line breaks, Tab,
// block indentation, the clipboard of both kinds, drag and drop, replace all, mode switches, caret
// moves, undo and redo) and checks what must hold: the model's invariants after every step, and
// that undoing everything gives back the starting text and bookmarks byte for byte while redoing
// everything gives back the final ones. Shared by the randomized tests and the fuzzer.
#pragma once

#include "BookmarkCommands.h"
#include "ClipboardBlock.h"
#include "CppHighlighter.h"
#include "SelectionText.h"
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
  std::optional<TextEncoding> encoding;
  bool failPut = false;
  bool PutText(std::string_view text, std::string_view data, TextEncoding blockEncoding) override {
    if (failPut) return false;
    plain = std::string(text);
    block = std::string(data);
    encoding = blockEncoding;
    return true;
  }
  std::optional<std::string> BlockData() const override { return block; }
  std::optional<TextEncoding> BlockEncoding() const override { return encoding; }
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
  TextEditor editor;
  MemoryClipboard clipboard;
  Session(Bytes& bytes, EditorOptions options) {
    editor.Geometry().SetFontMetrics(8, 16);
    editor.Geometry().SetClientSize(300, 200);
    editor.SetClipboard(&clipboard);
    editor.Document().SetHighLighter(&highlighter);
    editor.Document().SetMaxUndo(1 << 20);
    editor.State().SetOptions(options);
    editor.State().SetTabWidth(2 << bytes.Next() % 3);
    editor.State().SetIndentWithTabs(bytes.Next() % 2 == 0);
    editor.Document().Load(StartText(bytes));
    for (int number = 0; number < 3; ++number)
      PlaceBookmark(editor.Document(), number, 1, 1 + bytes.Next() % editor.Document().LineCount());
  }
};

// The first broken invariant, or empty.
inline std::string CheckInvariants(TextEditor& editor) {
  if (editor.Document().LineCount() < 1) return "the text has no line";
  // The scroll width takes in every line's end, and no column lies beyond it.
  const int columnLimit = editor.State().ScrollWidth() + 1;
  for (int i = 0; i < editor.Document().LineCount(); ++i) {
    if (editor.Document().Lines()[i].find_first_of("\r\n") != std::string::npos)
      return "a line holds a line end";
    if (static_cast<int>(editor.Document().Lines()[i].size()) >= columnLimit)
      return "a line reaches past the scroll width";
  }
  for (TextPoint p :
       {editor.State().CaretXY(), editor.State().SelectionAnchor(), editor.State().SelectionMovingEnd()})
    if (p.Y < 1 || p.Y > editor.Document().LineCount() || p.X < 1 || p.X > columnLimit)
      return "caret or selection outside the text";
  if (editor.Geometry().TopLine() < 1 || editor.Geometry().TopLine() > editor.Document().LineCount())
    return "top line outside the text";
  for (int n = 0; n < MarkList::BookmarkCount; ++n)
    if (const Mark* mark = editor.Document().Marks().BookMark(n);
        mark && (mark->Line() < 1 || mark->Line() > editor.Document().LineCount()))
      return "bookmark outside the text";
  // The stored ranges are those a scan from the first line gives.
  if (Highlighter* highlighter = editor.Document().HighLighter()) {
    std::vector<HighlightRange> ranges; // read first: reading may rescan with the same highlighter
    for (int i = 0; i < editor.Document().LineCount(); ++i)
      ranges.push_back(editor.Document().Ranges().At(i));
    highlighter->ClearRange();
    for (int i = 0; i < editor.Document().LineCount(); ++i) {
      if (ranges[static_cast<std::size_t>(i)] != highlighter->CurrentRange())
        return "a stale highlighter range";
      highlighter->BeginLine(editor.Document().Lines()[i], i);
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

inline TextPoint AnyPoint(TextEditor& editor, Bytes& bytes) {
  return {bytes.Next() % 40 - 2, bytes.Next() % (editor.Document().LineCount() + 3) - 1};
}

// Runs one scripted step; returns the command it ran.
inline EditorCommand Step(TextEditor& editor, MemoryClipboard& clipboard, Bytes& bytes) {
  const auto& commands = ScriptCommands();
  const EditorCommand command = commands[bytes.Next() % commands.size()];
  switch (command) {
  case ecChar: editor.ExecuteCommand(ecChar, " ab{}()/*x\xe9\t"[bytes.Next() % 12]); break;
  case ecGotoXY:
  case ecSelGotoXY: {
    const TextPoint target = AnyPoint(editor, bytes);
    editor.ExecuteCommand(command, 0, &target);
    break;
  }
  case ecImeStr: editor.ExecuteCommand(ecImeStr, 0, bytes.Next() % 2 ? "ime" : "\r\n"); break;
  case kPastePlain:
    clipboard.block.reset();
    editor.ExecuteCommand(ecPaste);
    break;
  case kDrop: editor.DropSelection(AnyPoint(editor, bytes), bytes.Next() % 2); break;
  case kReplaceAll: {
    const std::string search = "a" + bytes.Text(" (a)", 2);
    const std::string replace = bytes.Text(bytes.Next() % 4 ? " xa" : "x\n ", 3);
    const SearchFlags options = ssoEntireScope | ssoReplace | ssoReplaceAll;
    editor.SearchReplace(search, replace,
                         options | (bytes.Next() & (ssoMatchCase | ssoBackwards | ssoSelectedOnly)));
    break;
  }
  default: editor.ExecuteCommand(command); break;
  }
  return command;
}

// Replaces the selection by `text` in `mode`, recording nothing of its own, as a command does.
inline void ReplaceSelectionIn(TextEditor& editor, SelectionMode mode, std::string_view text) {
  PaintLock lock(editor);
  ReplaceSelection(editor.Context(), mode, text, editor.State().HasOption(eoScrollPastEol));
}

// The text and the bookmarks' lines.
struct Snapshot {
  std::vector<std::string> lines;
  std::array<int, MarkList::BookmarkCount> bookmarks;
  bool operator==(const Snapshot&) const = default;
};

inline Snapshot Take(const TextEditor& editor) {
  return {editor.Document().Lines().Strings(), editor.Document().Marks().BookmarkLines()};
}

// Undoes every step and redoes them all: what differed from the start or the end, or empty.
inline std::string CheckUndoRedo(TextEditor& editor, const Snapshot& start) {
  const Snapshot end = Take(editor);
  // What the script itself left to redo would come on top of the end: redo only what was undone.
  const int leftToRedo = editor.Document().RedoRecords().Count();
  while (editor.Document().CanUndo())
    editor.ExecuteCommand(ecUndo);
  if (Take(editor) != start)
    return editor.Document().Lines().Strings() == start.lines ? "undo lost a bookmark" : "undo lost text";
  while (editor.Document().RedoRecords().Count() > leftToRedo)
    editor.ExecuteCommand(ecRedo);
  if (Take(editor) != end)
    return editor.Document().Lines().Strings() == end.lines ? "redo lost a bookmark" : "redo lost text";
  return {};
}

} // namespace EditScript
