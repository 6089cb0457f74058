// Caret movement of the editor model: word boundaries, the movement commands, matching brackets,
// scroll commands, the mouse wheel and the scroll bars.
#include "kxEditCore.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

constexpr int kScrollBarLimit = 32767;

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

TkxWordChars TkxEditCore::WordChars() const {
  if (highLighter_) return highLighter_->WordChars();
  TkxWordChars chars;
  for (int b = 33; b < 256; ++b)
    chars.set(static_cast<std::size_t>(b));
  return chars;
}

int TkxEditCore::LeadingBlanks(const std::string& line) const {
  if (!HasOption(kxeoAutoIndent)) return 0;
  int count = 0;
  while (count < LineLength(line) && line[static_cast<std::size_t>(count)] != 0 &&
         static_cast<unsigned char>(line[static_cast<std::size_t>(count)]) <= 32)
    ++count;
  return count;
}

TkxPoint TkxEditCore::NextWordPos() const {
  const TkxWordChars wordChars = WordChars();
  auto isWord = [&](unsigned char b) { return wordChars.test(b); };
  auto isSeparator = [&](unsigned char b) { return b != 0 && !wordChars.test(b); };
  const int x = CaretX();
  const int y = CaretY();
  const std::string& line = LineText(y);
  if (x < LineLength(line)) {
    int pos = x;
    if (isWord(static_cast<unsigned char>(line[static_cast<std::size_t>(x - 1)])))
      pos = ScanForward(line, x, isSeparator);
    if (pos > 0) pos = ScanForward(line, pos, isWord);
    return {pos > 0 ? pos : LineLength(line) + 1, y};
  }
  if (y < LineCount()) {
    const int pos = ScanForward(LineText(y + 1), 1, isWord);
    return {pos > 0 ? pos : 1, y + 1};
  }
  return {x, y};
}

TkxPoint TkxEditCore::PrevWordPos() const {
  const TkxWordChars wordChars = WordChars();
  auto isWord = [&](unsigned char b) { return wordChars.test(b); };
  auto isSeparator = [&](unsigned char b) { return b != 0 && !wordChars.test(b); };
  const int y = CaretY();
  const std::string& line = LineText(y);
  const int c = std::min(CaretX(), LineLength(line) + 1);
  auto previousLineEnd = [&]() -> TkxPoint {
    if (y > 1) return {LineLength(LineText(y - 1)) + 1, y - 1};
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

void TkxEditCore::SelectWordAtCaret() {
  const int y = CaretY();
  const std::string& line = LineText(y);
  const int x = CaretX();
  if (x > LineLength(line)) {
    SetCaretXY({LineLength(line) + 1, y});
    return;
  }
  const TkxWordChars wordChars = WordChars();
  const unsigned char under = static_cast<unsigned char>(line[static_cast<std::size_t>(x - 1)]);
  auto sameWord = [&](unsigned char b) {
    return highLighter_ ? wordChars.test(b) && wordChars.test(under) : CharClass(b) == CharClass(under);
  };
  int start = x - 1;
  while (start > 0 && sameWord(static_cast<unsigned char>(line[static_cast<std::size_t>(start - 1)])))
    --start;
  int end = x - 1;
  while (end < LineLength(line) && sameWord(static_cast<unsigned char>(line[static_cast<std::size_t>(end)])))
    ++end;
  IncPaintLock();
  SetBlockBegin({start + 1, y});
  SetBlockEnd({end + 1, y});
  SetCaretXY({end + 1, y});
  StatusChanged(stSelection);
  DecPaintLock();
}

void TkxEditCore::MoveCaretHorz(int delta, bool selecting) {
  const TkxPoint from = CaretXY();
  TkxPoint to = from;
  const bool pastEol = HasOption(kxeoScrollPastEol);
  const int length = LineLength(LineText(from.Y));
  if (!pastEol && delta == -1 && from.X == 1 && from.Y > 1) {
    to = {LineLength(LineText(from.Y - 1)) + 1, from.Y - 1};
  } else if (!pastEol && delta == 1 && from.X > length && from.Y < LineCount()) {
    to = {1, from.Y + 1};
  } else {
    to.X = std::max(1, from.X + delta);
    if (!pastEol && delta > 0) to.X = std::min(to.X, length + 1);
  }
  MoveCaretAndSelection(from, to, selecting);
}

void TkxEditCore::MoveCaretVert(int delta, bool selecting) {
  const TkxPoint from = CaretXY();
  const std::int64_t line = static_cast<std::int64_t>(from.Y) + delta;
  const TkxPoint to{from.X, static_cast<int>(std::clamp<std::int64_t>(line, 1, std::max(LineCount(), 1)))};
  MoveCaretAndSelection(from, to, selecting);
}

void TkxEditCore::ExecuteMovement(TkxEditorCommand command, const void* data) {
  if (command == ecSelectAll) {
    SelectAll();
    return;
  }
  const bool selecting = command > ecSelection;
  const TkxEditorCommand move = selecting ? static_cast<TkxEditorCommand>(command - ecSelection) : command;
  const TkxPoint caret = CaretXY();
  const int page = HasOption(kxeoHalfPageScroll) ? linesInWindow_ / 2 : linesInWindow_;
  switch (move) {
  case ecLeft: MoveCaretHorz(-1, selecting); break;
  case ecRight: MoveCaretHorz(1, selecting); break;
  case ecUp:
  case ecDown:
    MoveCaretVert(move == ecUp ? -1 : 1, selecting);
    if (view_) view_->RepaintNow();
    break;
  case ecWordLeft: MoveCaretAndSelection(caret, PrevWordPos(), selecting); break;
  case ecWordRight: MoveCaretAndSelection(caret, NextWordPos(), selecting); break;
  case ecLineStart: MoveCaretAndSelection(caret, {1, caret.Y}, selecting); break;
  case ecLineEnd:
    MoveCaretAndSelection(caret, {LineLength(LineText(caret.Y)) + 1, caret.Y}, selecting);
    break;
  case ecPageUp: MoveCaretVert(-page, selecting); break;
  case ecPageDown: MoveCaretVert(page, selecting); break;
  case ecPageLeft: MoveCaretHorz(-charsInWindow_, selecting); break;
  case ecPageRight: MoveCaretHorz(charsInWindow_, selecting); break;
  case ecPageTop: MoveCaretAndSelection(caret, {caret.X, TopLine()}, selecting); break;
  case ecPageBottom:
    MoveCaretAndSelection(caret, {caret.X, TopLine() + linesInWindow_ - 1}, selecting);
    break;
  case ecEditorTop: MoveCaretAndSelection(caret, {1, 1}, selecting); break;
  case ecEditorBottom:
    MoveCaretAndSelection(caret, {LineLength(LineText(LineCount())) + 1, LineCount()}, selecting);
    break;
  case ecGotoXY:
    if (data) MoveCaretAndSelection(caret, *static_cast<const TkxPoint*>(data), selecting);
    break;
  default: break;
  }
}

void TkxEditCore::FindMatchingBracket() {
  static constexpr char kBrackets[] = "()[]{}";
  const TkxPoint caret = CaretXY();
  const std::string& line = LineText(caret.Y);
  if (caret.X > LineLength(line)) return;
  const char bracket = line[static_cast<std::size_t>(caret.X - 1)];
  const char* found = std::char_traits<char>::find(kBrackets, 6, bracket);
  if (!found) return;
  const int index = static_cast<int>(found - kBrackets);
  const bool forward = index % 2 == 0;
  const char partner = kBrackets[forward ? index + 1 : index - 1];
  int level = 1;
  int y = caret.Y;
  int x = caret.X - 1; // 0-based index of the bracket
  for (;;) {
    const std::string& text = LineText(y);
    x += forward ? 1 : -1;
    if (x < 0 || x >= LineLength(text)) {
      y += forward ? 1 : -1;
      if (y < 1 || y > LineCount()) return;
      x = forward ? -1 : LineLength(LineText(y));
      continue;
    }
    const char c = text[static_cast<std::size_t>(x)];
    if (c == bracket) {
      ++level;
    } else if (c == partner && --level == 0) {
      SetCaretXY({x + 1, y});
      return;
    }
  }
}

void TkxEditCore::ExecuteScroll(TkxEditorCommand command) {
  switch (command) {
  case ecScrollUp:
    SetTopLine(TopLine() - 1);
    if (CaretY() > TopLine() + linesInWindow_ - 1) SetCaretY(TopLine() + linesInWindow_ - 1);
    break;
  case ecScrollDown:
    SetTopLine(TopLine() + 1);
    if (CaretY() < TopLine()) SetCaretY(TopLine());
    break;
  case ecScrollLeft:
    SetLeftChar(LeftChar() - 1);
    if (CaretX() > LeftChar() + charsInWindow_) SetCaretX(LeftChar() + charsInWindow_);
    break;
  case ecScrollRight:
    SetLeftChar(LeftChar() + 1);
    if (CaretX() < LeftChar()) SetCaretX(LeftChar());
    break;
  default: return;
  }
  if (view_) view_->RepaintNow();
}

void TkxEditCore::MouseWheel(int delta, bool ctrl, int wheelLines) {
  int lines = wheelLines;
  if (ctrl)
    lines = HasOption(kxeoHalfPageScroll) ? linesInWindow_ / 2 : linesInWindow_;
  else if (wheelLines < 0 || wheelLines > linesInWindow_)
    lines = linesInWindow_;
  wheelRemainder_ += delta;
  const int notches = wheelRemainder_ / 120;
  wheelRemainder_ %= 120;
  if (notches != 0) SetTopLine(TopLine() - notches * lines);
}

TkxScrollBarInfo TkxEditCore::VerticalScrollInfo() const {
  const int maximum = LineCount() + linesInWindow_ - 1;
  if (maximum <= kScrollBarLimit) return {1, maximum, linesInWindow_, TopLine()};
  const double scale = static_cast<double>(kScrollBarLimit) / maximum;
  return {0, kScrollBarLimit, static_cast<int>(linesInWindow_ * scale), static_cast<int>(TopLine() * scale)};
}

TkxScrollBarInfo TkxEditCore::HorizontalScrollInfo() const {
  return {1, MaxLeftChar, charsInWindow_, LeftChar()};
}

void TkxEditCore::VerticalScroll(TkxScrollAction action, int thumbPos) {
  switch (action) {
  case TkxScrollAction::LineUp: SetTopLine(TopLine() - 1); break;
  case TkxScrollAction::LineDown: SetTopLine(TopLine() + 1); break;
  case TkxScrollAction::PageUp: SetTopLine(TopLine() - linesInWindow_); break;
  case TkxScrollAction::PageDown: SetTopLine(TopLine() + linesInWindow_); break;
  case TkxScrollAction::Top: SetTopLine(1); break;
  case TkxScrollAction::Bottom: SetTopLine(LineCount()); break;
  case TkxScrollAction::Thumb: {
    // Scale back exactly when the bar was scaled, so the thumb lands where it points.
    const int maximum = LineCount() + linesInWindow_ - 1;
    if (maximum > kScrollBarLimit)
      thumbPos = static_cast<int>(static_cast<std::int64_t>(thumbPos) * maximum / kScrollBarLimit);
    SetTopLine(thumbPos);
    break;
  }
  }
}

void TkxEditCore::HorizontalScroll(TkxScrollAction action, int thumbPos) {
  switch (action) {
  case TkxScrollAction::LineUp: SetLeftChar(LeftChar() - 1); break;
  case TkxScrollAction::LineDown: SetLeftChar(LeftChar() + 1); break;
  case TkxScrollAction::PageUp: SetLeftChar(LeftChar() - charsInWindow_); break;
  case TkxScrollAction::PageDown: SetLeftChar(LeftChar() + charsInWindow_); break;
  case TkxScrollAction::Top: SetLeftChar(1); break;
  case TkxScrollAction::Bottom: SetLeftChar(MaxLeftChar); break;
  case TkxScrollAction::Thumb: SetLeftChar(thumbPos); break;
  }
}
