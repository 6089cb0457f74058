// Word boundaries, the movement commands and the jump to the matching bracket.
#include "CaretMoves.h"

#include "BracketMatch.h"
#include "TextEditor.h"

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

} // namespace

TextPoint CaretMoves::NextWordPos() const {
  const WordCharSet wordChars = core_.WordChars();
  auto isWord = [&](unsigned char b) { return wordChars.test(b); };
  auto isSeparator = [&](unsigned char b) { return b != 0 && !wordChars.test(b); };
  const int x = core_.CaretX();
  const int y = core_.CaretY();
  const std::string& line = core_.LineText(y);
  if (x < LineLength(line)) {
    int pos = x;
    if (isWord(static_cast<unsigned char>(line[static_cast<std::size_t>(x - 1)])))
      pos = ScanForward(line, x, isSeparator);
    if (pos > 0) pos = ScanForward(line, pos, isWord);
    return {pos > 0 ? pos : LineLength(line) + 1, y};
  }
  if (y < core_.LineCount()) {
    const int pos = ScanForward(core_.LineText(y + 1), 1, isWord);
    return {pos > 0 ? pos : 1, y + 1};
  }
  return {x, y};
}

TextPoint CaretMoves::PrevWordPos() const {
  const WordCharSet wordChars = core_.WordChars();
  auto isWord = [&](unsigned char b) { return wordChars.test(b); };
  auto isSeparator = [&](unsigned char b) { return b != 0 && !wordChars.test(b); };
  const int y = core_.CaretY();
  const std::string& line = core_.LineText(y);
  const int c = std::min(core_.CaretX(), LineLength(line) + 1);
  auto previousLineEnd = [&]() -> TextPoint {
    if (y > 1) return {LineLength(core_.LineText(y - 1)) + 1, y - 1};
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

void CaretMoves::SelectWordAtCaret() {
  const int y = core_.CaretY();
  const std::string& line = core_.LineText(y);
  const int x = core_.CaretX();
  if (x > LineLength(line)) {
    core_.SetCaretXY({LineLength(line) + 1, y});
    return;
  }
  const WordCharSet wordChars = core_.WordChars();
  const bool highlighted = core_.HighLighter() != nullptr;
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
  PaintLock lock(core_);
  core_.SelectRange({start + 1, y}, {end + 1, y});
  core_.SetCaretXY({end + 1, y});
  core_.StatusChanged(stSelection);
}

void CaretMoves::MoveHorizontally(int delta, bool selecting) {
  const TextPoint from = core_.CaretXY();
  TextPoint to = from;
  const bool pastEol = core_.HasOption(eoScrollPastEol);
  const int length = LineLength(core_.LineText(from.Y));
  if (!pastEol && delta == -1 && from.X == 1 && from.Y > 1) {
    to = {LineLength(core_.LineText(from.Y - 1)) + 1, from.Y - 1};
  } else if (!pastEol && delta == 1 && from.X > length && from.Y < core_.LineCount()) {
    to = {1, from.Y + 1};
  } else {
    to.X = std::max(1, from.X + delta);
    if (!pastEol && delta > 0) to.X = std::min(to.X, length + 1);
  }
  core_.MoveCaretAndSelection(from, to, selecting);
}

void CaretMoves::MoveVertically(int delta, bool selecting) {
  const TextPoint from = core_.CaretXY();
  const std::int64_t line = static_cast<std::int64_t>(from.Y) + delta;
  const int to = static_cast<int>(std::clamp<std::int64_t>(line, 1, std::max(core_.LineCount(), 1)));
  core_.MoveCaretAndSelection(from, core_.AtDisplayColumn(to, core_.CaretDisplayColumn()), selecting);
}

void CaretMoves::Execute(EditorCommand command, const void* data) {
  if (command == ecSelectAll) {
    core_.SelectAll();
    return;
  }
  const bool selecting = command > ecSelection;
  const EditorCommand move = selecting ? static_cast<EditorCommand>(command - ecSelection) : command;
  const TextPoint caret = core_.CaretXY();
  const int window = core_.LinesInWindow();
  const int page = core_.HasOption(eoHalfPageScroll) ? window / 2 : window;
  const auto lineEnd = [&](int y) { return TextPoint{LineLength(core_.LineText(y)) + 1, y}; };
  switch (move) {
  case ecLeft: MoveHorizontally(-1, selecting); break;
  case ecRight: MoveHorizontally(1, selecting); break;
  case ecUp:
  case ecDown:
    MoveVertically(move == ecUp ? -1 : 1, selecting);
    if (core_.View()) core_.View()->RepaintNow();
    break;
  case ecWordLeft: core_.MoveCaretAndSelection(caret, PrevWordPos(), selecting); break;
  case ecWordRight: core_.MoveCaretAndSelection(caret, NextWordPos(), selecting); break;
  case ecLineStart: core_.MoveCaretAndSelection(caret, {1, caret.Y}, selecting); break;
  case ecLineEnd: core_.MoveCaretAndSelection(caret, lineEnd(caret.Y), selecting); break;
  case ecPageUp: MoveVertically(-page, selecting); break;
  case ecPageDown: MoveVertically(page, selecting); break;
  case ecPageLeft: MoveHorizontally(-core_.CharsInWindow(), selecting); break;
  case ecPageRight: MoveHorizontally(core_.CharsInWindow(), selecting); break;
  case ecPageTop:
    core_.MoveCaretAndSelection(caret, core_.AtDisplayColumn(core_.TopLine(), core_.CaretDisplayColumn()),
                                selecting);
    break;
  case ecPageBottom:
    core_.MoveCaretAndSelection(
        caret, core_.AtDisplayColumn(core_.TopLine() + window - 1, core_.CaretDisplayColumn()), selecting);
    break;
  case ecEditorTop: core_.MoveCaretAndSelection(caret, {1, 1}, selecting); break;
  case ecEditorBottom: core_.MoveCaretAndSelection(caret, lineEnd(core_.LineCount()), selecting); break;
  case ecGotoXY:
    if (data) core_.MoveCaretAndSelection(caret, *static_cast<const TextPoint*>(data), selecting);
    break;
  default: break;
  }
}

void CaretMoves::JumpToMatchingBracket() {
  if (const std::optional<TextPoint> partner = MatchingBracket(core_.Document(), core_.CaretXY()))
    core_.SetCaretXY(*partner);
}
