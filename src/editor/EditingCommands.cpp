// The text-changing commands, each made of the document's insertions and deletions inside the
// undo steps it records.
#include "EditingCommands.h"

#include "CaretCommands.h"
#include "SelectionText.h"

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

// Blanks left at the end of an edited line go where the caret may stand past line ends: there
// they are free space. Elsewhere they are what the user typed, and stay.
void TrimEditedLine(EditContext& context, int line) {
  if (context.state.HasOption(eoScrollPastEol)) TrimLineEnd(context.document, line);
}

// The blanks unindenting a line removes, as 0-based [first, first + count). Classic: a leading
// tab, or the leading spaces up to a tab width. Desktop: the end of the indent back to the tab
// stop before its width, whatever mix of tabs and spaces it is, so its start stays as it was.
struct IndentCut {
  int first = 0;
  int count = 0;
};

IndentCut UnindentCut(const std::string& line, int tabWidth, bool desktop) {
  if (!desktop) {
    if (!line.empty() && line.front() == '\t') return {0, 1};
    int count = 0;
    while (count < tabWidth && count < Length(line) && line[static_cast<std::size_t>(count)] == ' ')
      ++count;
    return {0, count};
  }
  const int stopWidth = std::max(tabWidth, 1);
  const auto length = static_cast<int>(std::min(line.find_first_not_of(" \t"), line.size()));
  const auto widthAfter = [&](int width, char blank) {
    return blank == '\t' ? (width / stopWidth + 1) * stopWidth : width + 1;
  };
  int width = 0;
  for (int i = 0; i < length; ++i)
    width = widthAfter(width, line[static_cast<std::size_t>(i)]);
  if (width == 0) return {};
  // Every tab stop below the width is the width of some start of the indent.
  const int stop = (width - 1) / stopWidth * stopWidth;
  int kept = 0;
  for (int reached = 0; reached < stop; ++kept)
    reached = widthAfter(reached, line[static_cast<std::size_t>(kept)]);
  return {kept, length - kept};
}

// Where column `x` of a line goes when `cut` is removed from it.
int ColumnAfterCut(int x, IndentCut cut) {
  if (x <= cut.first + 1) return x;
  return std::max(x - cut.count, cut.first + 1);
}

bool SelectionSpansLines(const EditState& state) {
  return state.SelAvail() && state.BlockBegin().Y != state.BlockEnd().Y;
}

void RemoveSelection(EditContext& context, UndoKind kind, bool trimJoined) {
  const EditState& state = context.state;
  UndoStep step(context.document, kind, state.BlockBegin(), state.Mode());
  step.SetEnd(state.BlockEnd());
  ReplaceSelection(context, SelectionMode::Normal, {}, trimJoined);
}

void TypeOverSelection(EditContext& context, const std::string& text, bool imeString) {
  TextPoint start = context.state.BlockBegin();
  if (context.state.Mode() == SelectionMode::Line) start.X = 1;
  RemoveSelection(context, imeString ? UndoKind::Deletion : UndoKind::ReplacedSelection);
  UndoStep step(context.document, UndoKind::Insertion, start);
  ReplaceSelection(context, SelectionMode::Normal, text, context.state.HasOption(eoScrollPastEol));
  step.SetEnd(context.state.CaretXY());
}

void DeleteSpan(EditContext& context, TextPoint from, TextPoint to, UndoKind kind) {
  if (from == to) return;
  EditState& state = context.state;
  {
    ModeScope normal(state, SelectionMode::Normal);
    state.SelectRange(from, to);
    // The record spans the selection as clamped to the text, which is what goes.
    if (state.SelAvail()) RemoveSelection(context, kind);
  }
  state.SetBlockBegin(state.CaretXY());
}

// How far Tab at `caret` goes, in screen columns.
int TabWidthAt(const TextDocument& document, const EditState& state, TextPoint caret) {
  const int tabWidth = std::max(state.TabWidth(), 1);
  const int column = DisplayColumn(document.LineText(caret.Y), tabWidth, caret.X, state.Encoding());
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  if (state.HasOption(eoSmartTabs))
    for (int y = caret.Y - 1; y >= 1; --y) {
      // Up to the next word of the first line above that reaches the caret's screen column.
      const std::string& above = document.LineText(y);
      if (DisplayColumn(above, tabWidth, Length(above) + 1, state.Encoding()) <= column) continue;
      std::size_t i = static_cast<std::size_t>(state.AtDisplayColumn(y, column).X - 1);
      while (i < above.size() && !blank(above[i]))
        ++i;
      while (i < above.size() && blank(above[i]))
        ++i;
      const int width = DisplayColumn(above, tabWidth, static_cast<int>(i) + 1, state.Encoding()) - column;
      if (width > 0) return width;
      break;
    }
  return tabWidth - (column - 1) % tabWidth;
}

void InsertTab(EditContext& context) {
  TextDocument& document = context.document;
  EditState& state = context.state;
  const int width = TabWidthAt(document, state, state.CaretXY());
  TextPoint start = state.CaretXY();
  if (state.SelAvail()) {
    start = state.BlockBegin();
    RemoveSelection(context, UndoKind::Deletion);
  }
  const std::string before = document.LineText(state.CaretY());
  UndoStep step(document, UndoKind::Insertion, start);
  ReplaceSelection(context, SelectionMode::Normal, state.IndentWithTabs() ? "\t" : Blanks(width),
                   state.HasOption(eoScrollPastEol));
  TrimEditedLine(context, state.CaretY());
  context.geometry.ScrollToCaret();
  step.SetEnd(state.CaretXY());
  // Blanks at a line's end are trimmed away again: then only the caret moved.
  if (document.LineText(state.CaretY()) == before) step.Cancel();
}

} // namespace

int LeadingBlanks(const EditState& state, const std::string& line) {
  if (!state.HasOption(eoAutoIndent)) return 0;
  int count = 0;
  while (count < Length(line) && line[static_cast<std::size_t>(count)] != 0 &&
         static_cast<unsigned char>(line[static_cast<std::size_t>(count)]) <= 32)
    ++count;
  return count;
}

void RemoveSelection(EditContext& context, UndoKind kind) {
  RemoveSelection(context, kind, context.state.HasOption(eoScrollPastEol));
}

void SetSelText(EditContext& context, std::string_view value, bool trimJoined) {
  EditState& state = context.state;
  const TextPoint start = state.BlockBegin();
  const SelectionMode mode = state.Mode();
  if (state.SelAvail()) RemoveSelection(context, UndoKind::ReplacedSelection, trimJoined);
  UndoStep insertion(context.document, UndoKind::Insertion, start, mode);
  ReplaceSelection(context, SelectionMode::Normal, value, trimJoined);
  insertion.SetEnd(state.CaretXY());
}

// ---------------------------------------------------------------- typing

void TypeText(EditContext& context, std::string_view typed, bool imeString) {
  // Only printable bytes are typed, as for single characters; a line end must not enter a line.
  std::string text;
  for (char ch : typed.substr(0, typed.find('\0')))
    if (Typable(ch)) text += ch;
  if (text.empty()) return;
  EditState& state = context.state;
  TextDocument& document = context.document;
  if (state.SelAvail()) {
    TypeOverSelection(context, text, imeString);
    return;
  }
  const TextPoint caret = state.CaretXY();
  const TextPoint after{caret.X + Length(text), caret.Y};
  UndoStep step(document, UndoKind::Insertion, caret);
  step.SetEnd(after);
  PadTo(document, caret);
  if (!state.InsertMode()) {
    // As many characters go as are typed.
    const TextEncoding encoding = state.Encoding();
    const int typedChars = CharColumn(text, Length(text) + 1, encoding) - 1;
    document.Delete(caret, {StepChars(document.LineText(caret.Y), caret.X, typedChars, encoding), caret.Y});
  }
  document.Insert(caret, text);
  TrimEditedLine(context, caret.Y);
  state.SetCaretXY(after);
}

// ---------------------------------------------------------------- deletions

void DeleteLastChar(EditContext& context) {
  EditState& state = context.state;
  TextDocument& document = context.document;
  if (state.SelAvail()) {
    RemoveSelection(context, UndoKind::Deletion);
    return;
  }
  const TextPoint caret = state.CaretXY();
  const std::string line = document.LineText(caret.Y);
  if (caret.X > Length(line) + 1) {
    // In the free space after the line only the caret moves, but undo still steps back over it.
    const UndoStep moveOnly(document, UndoKind::Deletion, caret);
    state.SetCaretX(caret.X - 1);
    return;
  }
  if (caret.X == 1) {
    if (caret.Y == 1) return;
    const TextPoint joint{Length(document.LineText(caret.Y - 1)) + 1, caret.Y - 1};
    UndoStep step(document, UndoKind::Deletion, joint);
    step.SetEnd(caret);
    TrimEditedLine(context, caret.Y);
    document.Delete(joint, caret);
    state.SetCaretXY(joint);
    return;
  }
  const int blanks = LeadingBlanks(state, line);
  int removed = caret.X - PrevCharColumn(line, caret.X, state.Encoding());
  if (static_cast<unsigned char>(line[static_cast<std::size_t>(caret.X - 2)]) < 33 && caret.X - 1 == blanks) {
    // Unindent to the indentation of the nearest line above that is indented less.
    int target = 0;
    for (int y = caret.Y - 1; y >= 1 && blanks > 0; --y) {
      const int above = LeadingBlanks(state, document.LineText(y));
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
  TrimEditedLine(context, caret.Y);
  state.SetCaretXY(after);
}

void DeleteChar(EditContext& context) {
  EditState& state = context.state;
  TextDocument& document = context.document;
  if (state.SelAvail()) {
    RemoveSelection(context, UndoKind::DeletionAfterCaret);
    return;
  }
  const TextPoint caret = state.CaretXY();
  if (caret.X > Length(document.LineText(caret.Y))) {
    if (caret.Y >= document.LineCount()) return;
    // Joins the next line, the caret line first padded up to the caret.
    const TextPoint next{1, caret.Y + 1};
    UndoStep step(document, UndoKind::DeletionAfterCaret, caret);
    step.SetEnd(next);
    PadTo(document, caret);
    document.Delete(caret, next);
    TrimEditedLine(context, caret.Y);
    return;
  }
  const TextPoint after{NextCharColumn(document.LineText(caret.Y), caret.X, state.Encoding()), caret.Y};
  UndoStep step(document, UndoKind::DeletionAfterCaret, caret);
  step.SetEnd(after);
  document.Delete(caret, after);
  TrimEditedLine(context, caret.Y);
}

void DeleteWord(EditContext& context) {
  DeleteSpan(context, context.state.CaretXY(), NextWordPos(context.document, context.state),
             UndoKind::DeletionAfterCaret);
}

void DeleteLastWord(EditContext& context) {
  DeleteSpan(context, PrevWordPos(context.document, context.state), context.state.CaretXY(),
             UndoKind::DeletionAfterCaret);
}

void DeleteToLineStart(EditContext& context) {
  DeleteSpan(context, {1, context.state.CaretY()}, context.state.CaretXY(), UndoKind::Deletion);
}

void DeleteToLineEnd(EditContext& context) {
  const TextPoint caret = context.state.CaretXY();
  const TextPoint end{Length(context.document.LineText(caret.Y)) + 1, caret.Y};
  if (PointBefore(caret, end)) DeleteSpan(context, caret, end, UndoKind::DeletionAfterCaret);
}

void DeleteLine(EditContext& context) {
  EditState& state = context.state;
  TextDocument& document = context.document;
  const int count = document.LineCount();
  if (count == 1 && document.LineText(1).empty()) return;
  const int y = state.CaretY();
  state.SetBlockBegin(state.CaretXY());
  const TextPoint lineEnd{Length(document.LineText(y)) + 1, y};
  const TextPoint previousEnd{Length(document.LineText(y - 1)) + 1, y - 1};
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
  UndoStep step(document, UndoKind::DeletionAfterCaret, start);
  step.SetEnd(end);
  document.Delete(from, to);
  state.SetCaretXY({1, y});
}

void ClearAll(EditContext& context) {
  TextDocument& document = context.document;
  const int last = document.LineCount();
  const TextPoint end{Length(document.LineText(last)) + 1, last};
  UndoStep step(document, UndoKind::Deletion, {1, 1});
  step.SetEnd(end);
  document.Delete({1, 1}, end);
  context.state.SetBlockBegin({1, 1});
  context.state.SetCaretXY({1, 1});
}

// ---------------------------------------------------------------- line breaks and indentation

void LineBreak(EditContext& context, bool moveCaret) {
  EditState& state = context.state;
  TextDocument& document = context.document;
  if (state.SelAvail()) RemoveSelection(context, UndoKind::Deletion);
  const TextPoint caret = state.CaretXY();
  const std::string line = document.LineText(caret.Y);
  int indent = 0;
  std::string indentText;
  for (int y = caret.Y; y >= 1; --y)
    if (!document.LineText(y).empty()) {
      indent = LeadingBlanks(state, document.LineText(y));
      indentText = IndentOf(document.LineText(y), indent);
      break;
    }
  TextPoint below{indent + 1, caret.Y + 1};
  UndoStep step(document, UndoKind::LineBreak, caret, state.Mode());
  if (line.empty()) {
    document.Insert({1, caret.Y}, "\n");
  } else if (Length(line) < caret.X) {
    const bool fill = state.HasOption(eoAutoIndent) && !state.HasOption(eoScrollPastEol);
    document.Insert({Length(line) + 1, caret.Y}, '\n' + (fill ? indentText : std::string()));
  } else if (const int blanks = LeadingBlanks(state, line); caret.X > 1 && blanks < caret.X - 1) {
    // The rest of the line goes down, indented as the line is.
    document.Insert(caret, '\n' + IndentOf(line, blanks));
    TrimEditedLine(context, caret.Y);
    below.X = blanks + 1;
  } else {
    // At the line start or within its indentation the whole line goes down.
    document.Insert({1, caret.Y}, "\n");
    below.X = caret.X;
  }
  // Where redo leaves the caret.
  step.SetEnd(moveCaret ? below : caret);
  if (moveCaret) state.SetCaretXY(below);
}

void Tab(EditContext& context) {
  if (SelectionSpansLines(context.state))
    BlockIndent(context);
  else
    InsertTab(context);
}

void ShiftTab(EditContext& context) {
  EditState& state = context.state;
  if (SelectionSpansLines(state)) {
    BlockUnindent(context);
  } else if (state.HasOption(eoDesktopKeys)) {
    // The caret's line as a block of one line; the caret keeps its place in the text.
    const TextPoint caret = state.CaretXY();
    const std::string& line = context.document.LineText(caret.Y);
    const IndentCut cut = UnindentCut(line, state.TabWidth(), true);
    state.SelectRange({1, caret.Y}, {Length(line) + 1, caret.Y});
    BlockUnindent(context);
    state.SetCaretXY({ColumnAfterCut(caret.X, cut), caret.Y});
    state.SetBlockBegin(state.CaretXY());
  }
}

void BlockIndent(EditContext& context) {
  EditState& state = context.state;
  if (!state.SelAvail()) return;
  const auto [b, e, last] = state.BlockSpan();
  const TextPoint caret = state.CaretXY();
  const std::string indent = state.IndentUnit();
  const int width = Length(indent);
  {
    UndoStep step(context.document, UndoKind::Indentation, b, SelectionMode::Column);
    step.SetEnd(e);
    for (int y = b.Y; y <= last; ++y)
      context.document.Insert({1, y}, indent);
  }
  state.SelectRange({b.X + width, b.Y}, e.X == 1 ? TextPoint{1, e.Y} : TextPoint{e.X + width, e.Y});
  state.SetCaretXY(caret);
}

void BlockUnindent(EditContext& context) {
  EditState& state = context.state;
  TextDocument& document = context.document;
  if (!state.SelAvail()) return;
  const auto [b, e, last] = state.BlockSpan();
  const TextPoint caret = state.CaretXY();
  const auto cutOf = [&](int y) {
    return UnindentCut(document.LineText(y), state.TabWidth(), state.HasOption(eoDesktopKeys));
  };
  const IndentCut firstCut = cutOf(b.Y);
  const IndentCut lastCut = last == e.Y ? cutOf(e.Y) : IndentCut{};
  bool any = false;
  for (int y = b.Y; y <= last && !any; ++y)
    any = cutOf(y).count > 0;
  if (any) {
    UndoStep step(document, UndoKind::Unindentation, b, SelectionMode::Column);
    step.SetEnd(e);
    for (int y = b.Y; y <= last; ++y) {
      const IndentCut cut = cutOf(y);
      document.Delete({cut.first + 1, y}, {cut.first + cut.count + 1, y});
    }
  }
  state.SelectRange({ColumnAfterCut(b.X, firstCut), b.Y}, {ColumnAfterCut(e.X, lastCut), e.Y});
  state.SetCaretXY(caret);
}
