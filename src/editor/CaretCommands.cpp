// Word boundaries, the movement commands and the jump to the matching bracket.
#include "CaretCommands.h"

#include "BracketMatch.h"

#include <algorithm>
#include <cstdint>

namespace {

int LineLength(const std::string& line) { return static_cast<int>(line.size()); }

// 1-based column of the first byte at or after `from` (1-based) that `wanted` accepts; 0 if none.
template <typename Predicate> int ScanForward(const std::string& line, int from, Predicate wanted) {
  for (int i = std::max(from, 1) - 1; i < LineLength(line); ++i)
    if (wanted(static_cast<unsigned char>(line[static_cast<std::size_t>(i)]))) return i + 1;
  return 0;
}

// 1-based column of the last byte at or before `from` (1-based) that `wanted` accepts; 0 if none.
template <typename Predicate> int ScanBackward(const std::string& line, int from, Predicate wanted) {
  for (int i = std::min(from, LineLength(line)) - 1; i >= 0; --i)
    if (wanted(static_cast<unsigned char>(line[static_cast<std::size_t>(i)]))) return i + 1;
  return 0;
}

// A coarse character class for word selection without a highlighter.
int CharClass(unsigned char byte) {
  if (byte <= 32) return 0;
  if (byte == '_' || byte >= 128 || (byte >= '0' && byte <= '9') ||
      ((byte | 0x20) >= 'a' && (byte | 0x20) <= 'z'))
    return 1;
  return 2;
}

// The word characters of the editor's text: in UTF-8 every byte of a sequence counts as one, so
// that word stops never fall inside a character.
WordCharSet WordCharsOf(const TextDocument& document, const EditState& state) {
  WordCharSet chars = WordChars(document.HighLighter());
  if (state.Encoding() == TextEncoding::Utf8)
    for (std::size_t b = 0x80; b < 0x100; ++b)
      chars.set(b);
  return chars;
}

TextPoint LineEnd(const TextDocument& document, int line) {
  return {LineLength(document.LineText(line)) + 1, line};
}

// Where Home goes: column 1, or with eoDesktopKeys the first non-blank, and from there column 1.
TextPoint HomeOf(const EditState& state, const TextDocument& document, TextPoint caret) {
  if (!state.HasOption(eoDesktopKeys)) return {1, caret.Y};
  const std::string& line = document.LineText(caret.Y);
  const int firstNonBlank = static_cast<int>(std::min(line.find_first_not_of(" \t"), line.size())) + 1;
  return {caret.X == firstNonBlank ? 1 : firstNonBlank, caret.Y};
}

// Word stops as today's desktop editors place them: a word is a run of word characters or a run
// of other non-blanks, and the blanks after it belong to it.
TextPoint NextDesktopWordPos(const TextDocument& document, TextPoint caret, const WordCharSet& wordChars) {
  const std::string& line = document.LineText(caret.Y);
  if (caret.X > LineLength(line))
    return caret.Y < document.LineCount() ? TextPoint{1, caret.Y + 1} : LineEnd(document, caret.Y);
  const auto blank = [](unsigned char b) { return b == ' ' || b == '\t'; };
  const auto at = [&](int column) {
    return static_cast<unsigned char>(line[static_cast<std::size_t>(column - 1)]);
  };
  int x = caret.X;
  if (!blank(at(x))) {
    const bool word = wordChars.test(at(x));
    while (x <= LineLength(line) && !blank(at(x)) && wordChars.test(at(x)) == word)
      ++x;
  }
  while (x <= LineLength(line) && blank(at(x)))
    ++x;
  return {x, caret.Y};
}

TextPoint PrevDesktopWordPos(const TextDocument& document, TextPoint caret, const WordCharSet& wordChars) {
  const std::string& line = document.LineText(caret.Y);
  int x = std::min(caret.X, LineLength(line) + 1);
  if (x == 1) return caret.Y > 1 ? LineEnd(document, caret.Y - 1) : TextPoint{1, caret.Y};
  const auto blank = [](unsigned char b) { return b == ' ' || b == '\t'; };
  const auto before = [&](int column) {
    return static_cast<unsigned char>(line[static_cast<std::size_t>(column - 2)]);
  };
  while (x > 1 && blank(before(x)))
    --x;
  if (x > 1) {
    const bool word = wordChars.test(before(x));
    while (x > 1 && !blank(before(x)) && wordChars.test(before(x)) == word)
      --x;
  }
  return {x, caret.Y};
}

// Left at a line's start and Right past its end go on to the visible line above or below, over
// a folded stretch as one step.
void MoveHorizontally(EditState& state, const TextDocument& document, const RowMap& rows, int delta,
                      bool selecting) {
  const TextPoint from = state.CaretXY();
  TextPoint to = from;
  const bool pastEol = state.HasOption(eoScrollPastEol);
  const std::string& line = document.LineText(from.Y);
  const int length = LineLength(line);
  const int row = rows.RowOf(from.Y);
  if (!pastEol && delta == -1 && from.X == 1 && row > 1) {
    to = LineEnd(document, rows.LineOf(row - 1));
  } else if (!pastEol && delta == 1 && from.X > length && row < rows.RowCount(document.LineCount())) {
    to = {1, rows.LineOf(row + 1)};
  } else {
    to.X = StepChars(line, from.X, delta, state.Encoding());
    if (!pastEol && delta > 0) to.X = std::min(to.X, length + 1);
  }
  MoveCaretAndSelection(state, from, to, selecting);
}

// Up, Down and the pages go by rows: a folded stretch is one step.
void MoveVertically(EditState& state, const ViewGeometry& geometry, int delta, bool selecting) {
  const TextPoint from = state.CaretXY();
  const std::int64_t row = static_cast<std::int64_t>(geometry.Rows().RowOf(from.Y)) + delta;
  const int to = geometry.Rows().LineOf(
      static_cast<int>(std::clamp<std::int64_t>(row, 1, std::max(geometry.RowCount(), 1))));
  MoveCaretAndSelection(state, from, state.AtDisplayColumn(to, state.CaretDisplayColumn()), selecting);
}

} // namespace

WordCharSet WordChars(const Highlighter* highlighter) {
  if (highlighter) return highlighter->WordChars();
  WordCharSet chars;
  for (int b = 33; b < 256; ++b)
    chars.set(static_cast<std::size_t>(b));
  return chars;
}

TextPoint NextWordPos(const TextDocument& document, const EditState& state) {
  const WordCharSet wordChars = WordCharsOf(document, state);
  if (state.HasOption(eoDesktopKeys)) return NextDesktopWordPos(document, state.CaretXY(), wordChars);
  auto isWord = [&](unsigned char b) { return wordChars.test(b); };
  auto isSeparator = [&](unsigned char b) { return b != 0 && !wordChars.test(b); };
  const int x = state.CaretX();
  const int y = state.CaretY();
  const std::string& line = document.LineText(y);
  if (x < LineLength(line)) {
    int pos = x;
    if (isWord(static_cast<unsigned char>(line[static_cast<std::size_t>(x - 1)])))
      pos = ScanForward(line, x, isSeparator);
    if (pos > 0) pos = ScanForward(line, pos, isWord);
    return {pos > 0 ? pos : LineLength(line) + 1, y};
  }
  if (y < document.LineCount()) {
    const int pos = ScanForward(document.LineText(y + 1), 1, isWord);
    return {pos > 0 ? pos : 1, y + 1};
  }
  return {x, y};
}

TextPoint PrevWordPos(const TextDocument& document, const EditState& state) {
  const WordCharSet wordChars = WordCharsOf(document, state);
  if (state.HasOption(eoDesktopKeys)) return PrevDesktopWordPos(document, state.CaretXY(), wordChars);
  auto isWord = [&](unsigned char b) { return wordChars.test(b); };
  auto isSeparator = [&](unsigned char b) { return b != 0 && !wordChars.test(b); };
  const int y = state.CaretY();
  const std::string& line = document.LineText(y);
  const int c = std::min(state.CaretX(), LineLength(line) + 1);
  auto previousLineEnd = [&]() -> TextPoint {
    if (y > 1) return LineEnd(document, y - 1);
    return {c, y};
  };
  if (c <= 1) return previousLineEnd();
  int wordEnd = c - 1; // 1-based column of the byte before the caret
  if (isSeparator(static_cast<unsigned char>(line[static_cast<std::size_t>(wordEnd - 1)]))) {
    wordEnd = ScanBackward(line, wordEnd, isWord);
    if (wordEnd == 0) return previousLineEnd();
  }
  return {ScanBackward(line, wordEnd, isSeparator) + 1, y};
}

void MoveCaretAndSelection(EditState& state, TextPoint from, TextPoint to, bool selecting) {
  if (selecting) {
    // A column block as wide as nothing still has its anchor.
    if (!state.SelAvail() && state.SelectionMovingEnd() != from) state.SetBlockBegin(from);
    state.SetBlockEnd(to);
  } else {
    state.SetBlockBegin(to);
  }
  state.SetCaretXY(to);
}

void MoveCaret(EditContext& context, EditorCommand command, const TextPoint* target) {
  EditState& state = context.state;
  const TextDocument& document = context.document;
  const ViewGeometry& geometry = context.geometry;
  const bool selecting = command > ecSelection;
  const EditorCommand move = selecting ? static_cast<EditorCommand>(command - ecSelection) : command;
  const TextPoint caret = state.CaretXY();
  const int window = geometry.LinesInWindow();
  const int page = state.HasOption(eoHalfPageScroll) ? window / 2 : window;
  const auto toColumnOf = [&](int line) { return state.AtDisplayColumn(line, state.CaretDisplayColumn()); };
  switch (move) {
  case ecLeft: MoveHorizontally(state, document, geometry.Rows(), -1, selecting); break;
  case ecRight: MoveHorizontally(state, document, geometry.Rows(), 1, selecting); break;
  case ecUp: MoveVertically(state, geometry, -1, selecting); break;
  case ecDown: MoveVertically(state, geometry, 1, selecting); break;
  case ecWordLeft: MoveCaretAndSelection(state, caret, PrevWordPos(document, state), selecting); break;
  case ecWordRight: MoveCaretAndSelection(state, caret, NextWordPos(document, state), selecting); break;
  case ecLineStart: MoveCaretAndSelection(state, caret, HomeOf(state, document, caret), selecting); break;
  case ecLineEnd: MoveCaretAndSelection(state, caret, LineEnd(document, caret.Y), selecting); break;
  case ecPageUp: MoveVertically(state, geometry, -page, selecting); break;
  case ecPageDown: MoveVertically(state, geometry, page, selecting); break;
  case ecPageLeft:
    MoveHorizontally(state, document, geometry.Rows(), -geometry.CharsInWindow(), selecting);
    break;
  case ecPageRight:
    MoveHorizontally(state, document, geometry.Rows(), geometry.CharsInWindow(), selecting);
    break;
  case ecPageTop: MoveCaretAndSelection(state, caret, toColumnOf(geometry.TopLine()), selecting); break;
  case ecPageBottom:
    MoveCaretAndSelection(state, caret, toColumnOf(geometry.Rows().LineOf(geometry.TopRow() + window - 1)),
                          selecting);
    break;
  case ecEditorTop: MoveCaretAndSelection(state, caret, {1, 1}, selecting); break;
  case ecEditorBottom:
    MoveCaretAndSelection(state, caret, LineEnd(document, document.LineCount()), selecting);
    break;
  case ecGotoXY:
    if (target) MoveCaretAndSelection(state, caret, *target, selecting);
    break;
  default: break;
  }
}

void SelectAll(EditState& state, const TextDocument& document) {
  const TextPoint end = LineEnd(document, document.LineCount());
  state.SetBlockBegin({1, 1});
  state.SetBlockEnd(end);
  state.SetCaretXY(end);
  state.NoteSelection();
}

void SelectWordAtCaret(EditState& state, const TextDocument& document) {
  const int y = state.CaretY();
  const std::string& line = document.LineText(y);
  const int x = state.CaretX();
  if (x > LineLength(line)) {
    state.SetCaretXY({LineLength(line) + 1, y});
    return;
  }
  const WordCharSet wordChars = WordCharsOf(document, state);
  const bool highlighted = document.HighLighter() != nullptr;
  const unsigned char under = static_cast<unsigned char>(line[static_cast<std::size_t>(x - 1)]);
  auto sameWord = [&](unsigned char b) {
    return highlighted ? wordChars.test(b) && wordChars.test(under) : CharClass(b) == CharClass(under);
  };
  int start = x - 1;
  while (start > 0 && sameWord(static_cast<unsigned char>(line[static_cast<std::size_t>(start - 1)])))
    --start;
  int end = x - 1;
  while (end < LineLength(line) && sameWord(static_cast<unsigned char>(line[static_cast<std::size_t>(end)])))
    ++end;
  state.SelectRange({start + 1, y}, {end + 1, y});
  state.SetCaretXY({end + 1, y});
  state.NoteSelection();
}

void JumpToMatchingBracket(EditState& state, const TextDocument& document) {
  if (const std::optional<TextPoint> partner = MatchingBracket(document, state.CaretXY()))
    state.SetCaretXY(*partner);
}
