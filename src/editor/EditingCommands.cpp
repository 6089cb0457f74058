// The text-changing commands, each made of the document's insertions and deletions inside the
// undo steps it records.
#include "EditingCommands.h"

#include "TextEditor.h"

#include <algorithm>

namespace {

int Length(const std::string& line) { return static_cast<int>(line.size()); }

std::string Blanks(int count) { return std::string(static_cast<std::size_t>(std::max(count, 0)), ' '); }

// The first `count` bytes of a line as indentation: its tabs stay tabs, other blanks are spaces.
std::string IndentOf(const std::string& line, int count) {
  std::string indent = Blanks(count);
  for (int i = 0; i < count && i < Length(line); ++i)
    if (line[static_cast<std::size_t>(i)] == '\t') indent[static_cast<std::size_t>(i)] = '\t';
  return indent;
}

bool Typable(char ch) { return static_cast<unsigned char>(ch) >= 32 && ch != 127; }

} // namespace

bool EditingCommands::Execute(EditorCommand command, char ch, const void* data) {
  const bool changesText = (command >= ecDeleteLastChar && command <= ecChar) || command == ecImeStr ||
                           command == ecUndo || command == ecRedo || command == ecCut || command == ecPaste ||
                           command == ecBlockIndent || command == ecBlockUnindent || command == ecTab ||
                           command == ecShiftTab;
  if (!changesText) return false;
  if (core_.ReadOnly()) return true;
  FreeCaret freeCaret(core_);
  switch (command) {
  case ecChar:
    if (Typable(ch)) TypeString(std::string_view(&ch, 1), false);
    break;
  case ecImeStr:
    if (data) TypeString(static_cast<const char*>(data), true);
    break;
  case ecDeleteLastChar: DeleteLastChar(); break;
  case ecDeleteChar: DeleteChar(); break;
  case ecDeleteWord: DeleteSpan(core_.CaretXY(), core_.NextWordPos(), UndoKind::DeletionAfterCaret); break;
  case ecDeleteLastWord:
    DeleteSpan(core_.PrevWordPos(), core_.CaretXY(), UndoKind::DeletionAfterCaret);
    break;
  case ecDeleteBOL: DeleteSpan({1, core_.CaretY()}, core_.CaretXY(), UndoKind::Deletion); break;
  case ecDeleteEOL: {
    const TextPoint end{Length(core_.LineText(core_.CaretY())) + 1, core_.CaretY()};
    if (PointBefore(core_.CaretXY(), end)) DeleteSpan(core_.CaretXY(), end, UndoKind::DeletionAfterCaret);
    break;
  }
  case ecDeleteLine: DeleteLine(); break;
  case ecClearAll: ClearAll(); break;
  case ecLineBreak:
  case ecInsertLine: LineBreak(command == ecLineBreak); break;
  case ecUndo: core_.Undo(); break;
  case ecRedo: core_.Redo(); break;
  case ecCut: core_.CutToClipboard(); break;
  case ecPaste: core_.PasteFromClipboard(); break;
  case ecBlockIndent: BlockIndent(); break;
  case ecBlockUnindent: BlockUnindent(); break;
  // Over a selection of several lines Tab and Shift+Tab indent and unindent them.
  case ecTab:
    if (SelectionSpansLines())
      BlockIndent();
    else
      InsertTab();
    break;
  case ecShiftTab:
    if (SelectionSpansLines()) BlockUnindent();
    break;
  default: break;
  }
  return true;
}

bool EditingCommands::SelectionSpansLines() const {
  return core_.SelAvail() && core_.BlockBegin().Y != core_.BlockEnd().Y;
}

int EditingCommands::LeadingBlanks(const std::string& line) const {
  if (!core_.HasOption(eoAutoIndent)) return 0;
  int count = 0;
  while (count < Length(line) && line[static_cast<std::size_t>(count)] != 0 &&
         static_cast<unsigned char>(line[static_cast<std::size_t>(count)]) <= 32)
    ++count;
  return count;
}

void EditingCommands::RemoveSelection(UndoKind reason) {
  RemoveSelection(reason, core_.HasOption(eoScrollPastEol));
}

void EditingCommands::RemoveSelection(UndoKind reason, bool trimJoined) {
  UndoStep step(core_.Document(), reason, core_.BlockBegin(), core_.Mode());
  step.SetEnd(core_.BlockEnd());
  core_.Selection().Replace(SelectionMode::Normal, {}, trimJoined);
}

void EditingCommands::SetSelText(std::string_view value, bool trimJoined) {
  PaintLock lock(core_);
  const TextPoint start = core_.BlockBegin();
  const SelectionMode mode = core_.Mode();
  if (core_.SelAvail()) RemoveSelection(UndoKind::ReplacedSelection, trimJoined);
  UndoStep insertion(core_.Document(), UndoKind::Insertion, start, mode);
  core_.Selection().Replace(SelectionMode::Normal, value, trimJoined);
  insertion.SetEnd(core_.CaretXY());
}

// ---------------------------------------------------------------- typing

void EditingCommands::TypeString(std::string_view typed, bool imeString) {
  // Only printable bytes are typed, as for single characters; a line end must not enter a line.
  std::string text;
  for (char ch : typed.substr(0, typed.find('\0')))
    if (Typable(ch)) text += ch;
  if (text.empty()) return;
  PaintLock lock(core_);
  if (core_.SelAvail()) {
    TypeOverSelection(text, imeString);
    return;
  }
  const TextPoint caret = core_.CaretXY();
  const TextPoint after{caret.X + Length(text), caret.Y};
  UndoStep step(core_.Document(), UndoKind::Insertion, caret);
  step.SetEnd(after);
  core_.Selection().PadTo(caret);
  if (!core_.InsertMode()) core_.Document().Delete(caret, after);
  core_.Document().Insert(caret, text);
  core_.Selection().TrimLineEnd(caret.Y);
  core_.SetCaretXY(after);
}

void EditingCommands::TypeOverSelection(const std::string& text, bool imeString) {
  TextPoint start = core_.BlockBegin();
  if (core_.Mode() == SelectionMode::Line) start.X = 1;
  RemoveSelection(imeString ? UndoKind::Deletion : UndoKind::ReplacedSelection);
  UndoStep step(core_.Document(), UndoKind::Insertion, start);
  core_.SetSelTextPrimitive(SelectionMode::Normal, text);
  step.SetEnd(core_.CaretXY());
}

// ---------------------------------------------------------------- deletions

void EditingCommands::DeleteLastChar() {
  PaintLock lock(core_);
  if (core_.SelAvail()) {
    RemoveSelection(UndoKind::Deletion);
    return;
  }
  TextDocument& document = core_.Document();
  const TextPoint caret = core_.CaretXY();
  const std::string line = core_.LineText(caret.Y);
  if (caret.X > Length(line) + 1) {
    // In the free space after the line only the caret moves, but undo still steps back over it.
    const UndoStep moveOnly(document, UndoKind::Deletion, caret);
    core_.SetCaretX(caret.X - 1);
    return;
  }
  if (caret.X == 1) {
    if (caret.Y == 1) return;
    const TextPoint joint{Length(core_.LineText(caret.Y - 1)) + 1, caret.Y - 1};
    UndoStep step(document, UndoKind::Deletion, joint);
    step.SetEnd(caret);
    core_.Selection().TrimLineEnd(caret.Y);
    document.Delete(joint, caret);
    core_.SetCaretXY(joint);
    return;
  }
  const int blanks = LeadingBlanks(line);
  int removed = 1;
  if (static_cast<unsigned char>(line[static_cast<std::size_t>(caret.X - 2)]) < 33 && caret.X - 1 == blanks) {
    // Unindent to the indentation of the nearest line above that is indented less.
    int target = 0;
    for (int y = caret.Y - 1; y >= 1 && blanks > 0; --y) {
      const int above = LeadingBlanks(core_.LineText(y));
      if (above < blanks) {
        target = above;
        break;
      }
    }
    removed = blanks - target;
  }
  const TextPoint after{caret.X - removed, caret.Y};
  UndoStep step(document, UndoKind::Deletion, after);
  step.SetEnd(caret);
  document.Delete(after, caret);
  core_.Selection().TrimLineEnd(caret.Y);
  core_.SetCaretXY(after);
}

void EditingCommands::DeleteChar() {
  PaintLock lock(core_);
  if (core_.SelAvail()) {
    RemoveSelection(UndoKind::DeletionAfterCaret);
    return;
  }
  TextDocument& document = core_.Document();
  const TextPoint caret = core_.CaretXY();
  if (caret.X > Length(core_.LineText(caret.Y))) {
    if (caret.Y >= core_.LineCount()) return;
    // Joins the next line, the caret line first padded up to the caret.
    const TextPoint next{1, caret.Y + 1};
    UndoStep step(document, UndoKind::DeletionAfterCaret, caret);
    step.SetEnd(next);
    core_.Selection().PadTo(caret);
    document.Delete(caret, next);
    core_.Selection().TrimLineEnd(caret.Y);
    return;
  }
  const TextPoint after{caret.X + 1, caret.Y};
  UndoStep step(document, UndoKind::DeletionAfterCaret, caret);
  step.SetEnd(after);
  document.Delete(caret, after);
  core_.Selection().TrimLineEnd(caret.Y);
}

void EditingCommands::DeleteSpan(TextPoint from, TextPoint to, UndoKind reason) {
  if (from == to) return;
  PaintLock lock(core_);
  {
    ModeScope normal(core_, SelectionMode::Normal);
    core_.SelectRange(from, to);
    // The record spans the selection as clamped to the text, which is what goes.
    if (core_.SelAvail()) RemoveSelection(reason);
  }
  core_.SetBlockBegin(core_.CaretXY());
}

void EditingCommands::DeleteLine() {
  const int count = core_.LineCount();
  if (count == 1 && core_.LineText(1).empty()) return;
  PaintLock lock(core_);
  const int y = core_.CaretY();
  core_.SetBlockBegin(core_.CaretXY());
  const TextPoint lineEnd{Length(core_.LineText(y)) + 1, y};
  const TextPoint previousEnd{Length(core_.LineText(y - 1)) + 1, y - 1};
  // The record spans the line with its line end (for the last line the one before it); what goes
  // is, but for the first line, the line with the line end before it, so that its bookmarks move
  // up to the line before.
  TextPoint start{1, y};
  TextPoint end{1, y + 1};
  TextPoint from = start;
  TextPoint to = end;
  if (count == 1) {
    end = to = lineEnd;
  } else if (y == count) {
    start = from = previousEnd;
    end = to = lineEnd;
  } else if (y > 1) {
    from = previousEnd;
    to = lineEnd;
  }
  UndoStep step(core_.Document(), UndoKind::DeletionAfterCaret, start);
  step.SetEnd(end);
  core_.Document().Delete(from, to);
  core_.SetCaretXY({1, y});
}

void EditingCommands::ClearAll() {
  PaintLock lock(core_);
  const int last = core_.LineCount();
  const TextPoint end{Length(core_.LineText(last)) + 1, last};
  UndoStep step(core_.Document(), UndoKind::Deletion, {1, 1});
  step.SetEnd(end);
  core_.Document().Delete({1, 1}, end);
  core_.SetBlockBegin({1, 1});
  core_.SetCaretXY({1, 1});
}

// ---------------------------------------------------------------- line breaks and indentation

void EditingCommands::LineBreak(bool moveCaret) {
  PaintLock lock(core_);
  if (core_.SelAvail()) RemoveSelection(UndoKind::Deletion);
  TextDocument& document = core_.Document();
  const TextPoint caret = core_.CaretXY();
  const std::string line = core_.LineText(caret.Y);
  int indent = 0;
  std::string indentText;
  for (int y = caret.Y; y >= 1; --y)
    if (!core_.LineText(y).empty()) {
      indent = LeadingBlanks(core_.LineText(y));
      indentText = IndentOf(core_.LineText(y), indent);
      break;
    }
  TextPoint below{indent + 1, caret.Y + 1};
  UndoStep step(document, UndoKind::LineBreak, caret, core_.Mode());
  if (line.empty()) {
    document.Insert({1, caret.Y}, "\n");
  } else if (Length(line) < caret.X) {
    const bool fill = core_.HasOption(eoAutoIndent) && !core_.HasOption(eoScrollPastEol);
    document.Insert({Length(line) + 1, caret.Y}, '\n' + (fill ? indentText : std::string()));
  } else if (const int blanks = LeadingBlanks(line); caret.X > 1 && blanks < caret.X - 1) {
    // The rest of the line goes down, indented as the line is.
    document.Insert(caret, '\n' + IndentOf(line, blanks));
    core_.Selection().TrimLineEnd(caret.Y);
    below.X = blanks + 1;
  } else {
    // At the line start or within its indentation the whole line goes down.
    document.Insert({1, caret.Y}, "\n");
    below.X = caret.X;
  }
  // Where redo leaves the caret.
  step.SetEnd(moveCaret ? below : caret);
  if (moveCaret) core_.SetCaretXY(below);
}

int EditingCommands::TabWidthAt(TextPoint caret) const {
  const int tabWidth = std::max(core_.TabWidth(), 1);
  const int column = DisplayColumn(core_.LineText(caret.Y), tabWidth, caret.X);
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  if (core_.HasOption(eoSmartTabs))
    for (int y = caret.Y - 1; y >= 1; --y) {
      // Up to the next word of the first line above that reaches the caret's screen column.
      const std::string& above = core_.LineText(y);
      if (DisplayColumn(above, tabWidth, Length(above) + 1) <= column) continue;
      std::size_t i = static_cast<std::size_t>(core_.AtDisplayColumn(y, column).X - 1);
      while (i < above.size() && !blank(above[i]))
        ++i;
      while (i < above.size() && blank(above[i]))
        ++i;
      const int width = DisplayColumn(above, tabWidth, static_cast<int>(i) + 1) - column;
      if (width > 0) return width;
      break;
    }
  return tabWidth - (column - 1) % tabWidth;
}

void EditingCommands::InsertTab() {
  PaintLock lock(core_);
  const int width = TabWidthAt(core_.CaretXY());
  TextPoint start = core_.CaretXY();
  if (core_.SelAvail()) {
    start = core_.BlockBegin();
    RemoveSelection(UndoKind::Deletion);
  }
  const std::string before = core_.LineText(core_.CaretY());
  UndoStep step(core_.Document(), UndoKind::Insertion, start);
  core_.SetSelTextPrimitive(SelectionMode::Normal, core_.IndentWithTabs() ? "\t" : Blanks(width));
  core_.Selection().TrimLineEnd(core_.CaretY());
  core_.EnsureCursorPosVisible();
  step.SetEnd(core_.CaretXY());
  // Blanks at a line's end are trimmed away again: then only the caret moved.
  if (core_.LineText(core_.CaretY()) == before) step.Cancel();
}

void EditingCommands::BlockIndent() {
  if (!core_.SelAvail()) return;
  PaintLock lock(core_);
  const auto [b, e, last] = core_.BlockSpan();
  const TextPoint caret = core_.CaretXY();
  const std::string indent = core_.IndentUnit();
  const int width = Length(indent);
  {
    UndoStep step(core_.Document(), UndoKind::Indentation, b, SelectionMode::Column);
    step.SetEnd(e);
    for (int y = b.Y; y <= last; ++y)
      core_.Document().Insert({1, y}, indent);
  }
  core_.SelectRange({b.X + width, b.Y}, e.X == 1 ? TextPoint{1, e.Y} : TextPoint{e.X + width, e.Y});
  core_.SetCaretXY(caret);
}

void EditingCommands::BlockUnindent() {
  if (!core_.SelAvail()) return;
  PaintLock lock(core_);
  const auto [b, e, last] = core_.BlockSpan();
  const TextPoint caret = core_.CaretXY();
  // A leading tab, or the leading spaces of each line up to a tab width.
  const auto removable = [&](int y) {
    const std::string& line = core_.LineText(y);
    if (!line.empty() && line.front() == '\t') return 1;
    int count = 0;
    while (count < core_.TabWidth() && count < Length(line) && line[static_cast<std::size_t>(count)] == ' ')
      ++count;
    return count;
  };
  const int firstRemoved = removable(b.Y);
  const int lastRemoved = last == e.Y ? removable(e.Y) : 0;
  bool any = false;
  for (int y = b.Y; y <= last && !any; ++y)
    any = removable(y) > 0;
  if (any) {
    UndoStep step(core_.Document(), UndoKind::Unindentation, b, SelectionMode::Column);
    step.SetEnd(e);
    for (int y = b.Y; y <= last; ++y)
      core_.Document().Delete({1, y}, {removable(y) + 1, y});
  }
  core_.SelectRange({b.X - firstRemoved, b.Y}, {e.X - lastRemoved, e.Y});
  core_.SetCaretXY(caret);
}
