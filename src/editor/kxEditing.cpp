// The text-changing side of the editor model: selected text, the replace-selection primitive,
// typing, deletions, line breaks, Tab, block indentation and the clipboard. Each change records
// what undo needs.
#include "kxBlockClipboard.h"
#include "kxEditCore.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

int Length(const std::string& line) { return static_cast<int>(line.size()); }

// A `to` column past every line: the rest of the line, however long.
constexpr int kLineEndColumn = std::numeric_limits<int>::max();

// Bytes from column `from` up to column `to` - 1, as far as the line has them.
std::string Columns(const std::string& line, int from, int to) {
  const int first = std::clamp(from - 1, 0, Length(line));
  const int last = std::clamp(to - 1, first, Length(line));
  return line.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(last - first));
}

std::string TrimRight(std::string line) {
  std::size_t end = line.size();
  while (end > 0 && static_cast<unsigned char>(line[end - 1]) <= 32)
    --end;
  line.resize(end);
  return line;
}

std::string PaddedTo(std::string line, int length) {
  if (Length(line) < length) line.resize(static_cast<std::size_t>(length), ' ');
  return line;
}

// The pieces of a text between its line ends; a text ending with a line end has an empty last piece.
std::vector<std::string_view> Pieces(std::string_view text) {
  std::vector<std::string_view> pieces = TkxEditList::SplitLines(text);
  if (pieces.empty() || (!text.empty() && (text.back() == '\r' || text.back() == '\n')))
    pieces.emplace_back();
  return pieces;
}

} // namespace

// ---------------------------------------------------------------- selected text

std::string TkxEditCore::SelText() const {
  if (!SelAvail()) return {};
  const TkxPoint b = BlockBegin();
  const TkxPoint e = BlockEnd();
  std::string text;
  switch (selectionMode_) {
  case smNormal:
    if (b.Y == e.Y) return Columns(LineText(b.Y), b.X, e.X);
    text = Columns(LineText(b.Y), b.X, kLineEndColumn);
    for (int y = b.Y + 1; y < e.Y; ++y)
      (text += kLineEnd) += LineText(y);
    (text += kLineEnd) += Columns(LineText(e.Y), 1, e.X);
    return text;
  case smColumn: {
    const int left = std::min(b.X, e.X);
    const int right = std::max(b.X, e.X);
    for (int y = b.Y; y <= e.Y; ++y) {
      if (y > b.Y) text += kLineEnd;
      text += Columns(LineText(y), left, right);
    }
    return text;
  }
  case smLine:
    for (int y = b.Y; y <= e.Y; ++y) {
      text += LineText(y);
      if (y < LineCount()) text += kLineEnd;
    }
    return text;
  }
  return text;
}

void TkxEditCore::SelectRange(TkxPoint from, TkxPoint to) {
  SetBlockBegin(from);
  SetBlockEnd(to);
}

void TkxEditCore::SetSelText(std::string_view value) {
  TkxPaintLock lock(*this);
  const TkxPoint start = BlockBegin();
  if (SelAvail()) undoList_.AddChange(urCut, start, BlockEnd(), SelText(), selectionMode_);
  const TSelectionMode mode = selectionMode_;
  SetSelTextPrimitive(smNormal, value);
  undoList_.AddChange(urInsertion, start, CaretXY(), {}, mode);
}

// ---------------------------------------------------------------- the primitive

void TkxEditCore::SetSelTextPrimitive(TSelectionMode mode, std::string_view text) {
  TkxPaintLock lock(*this);
  const bool pastEol = caretPastEol_;
  caretPastEol_ = true;
  if (SelAvail()) {
    const TkxPoint b = BlockBegin();
    const TkxPoint e = BlockEnd();
    switch (selectionMode_) {
    case smNormal: {
      std::string joined = Columns(LineText(b.Y), 1, b.X) + Columns(LineText(e.Y), e.X, kLineEndColumn);
      if (HasOption(kxeoScrollPastEol)) joined = TrimRight(std::move(joined));
      for (int y = e.Y; y > b.Y; --y)
        lines_.Delete(y - 1);
      lines_.Put(b.Y - 1, std::move(joined));
      marks_.LinesJoined(b.Y, e.Y);
      SetCaretXY(b);
      break;
    }
    case smColumn: {
      const int left = std::min(b.X, e.X);
      const int right = std::max(b.X, e.X);
      for (int y = b.Y; y <= e.Y; ++y) {
        const std::string& line = LineText(y);
        lines_.Put(y - 1, TrimRight(Columns(line, 1, left) + Columns(line, right, kLineEndColumn)));
      }
      SetCaretXY({left, blockEnd_.Y});
      break;
    }
    case smLine: {
      int last = e.Y;
      if (last >= LineCount()) {
        lines_.Put(last - 1, "");
        --last;
      }
      for (int y = last; y >= b.Y; --y)
        lines_.Delete(y - 1);
      marks_.LinesRemoved(b.Y, e.Y);
      SetCaretXY({1, b.Y});
      break;
    }
    }
    SetBlockBegin(CaretXY());
  }
  text = text.substr(0, text.find('\0'));
  if (!text.empty()) {
    const std::vector<std::string_view> pieces = Pieces(text);
    const int count = static_cast<int>(pieces.size());
    const int x = CaretX();
    const int y = std::max(CaretY(), 1);
    switch (mode) {
    case smNormal: {
      const std::string line = PaddedTo(LineText(y), x - 1);
      const std::string left = line.substr(0, static_cast<std::size_t>(x - 1));
      const std::string right = line.substr(static_cast<std::size_t>(x - 1));
      if (count == 1) {
        lines_.Put(y - 1, left + std::string(pieces[0]) + right);
        SetCaretXY({x + Length(std::string(pieces[0])), y});
        break;
      }
      lines_.Put(y - 1, left + std::string(pieces[0]));
      for (int i = 1; i < count; ++i)
        lines_.Insert(y - 1 + i,
                      std::string(pieces[static_cast<std::size_t>(i)]) + (i == count - 1 ? right : ""));
      marks_.LinesInserted(y, count - 1);
      SetCaretXY({static_cast<int>(pieces.back().size()) + 1, y + count - 1});
      break;
    }
    case smColumn:
      for (int i = 0; i < count; ++i) {
        const std::string piece(pieces[static_cast<std::size_t>(i)]);
        if (y + i > LineCount()) {
          lines_.Add(std::string(static_cast<std::size_t>(x - 1), ' ') + piece);
        } else {
          std::string line = PaddedTo(LineText(y + i), x - 1);
          line.insert(static_cast<std::size_t>(x - 1), piece);
          lines_.Put(y + i - 1, std::move(line));
        }
      }
      SetCaretXY({x + static_cast<int>(pieces.back().size()), y + count - 1});
      break;
    case smLine: {
      const int whole = count - 1; // pieces followed by a line end
      for (int i = 0; i < whole; ++i)
        lines_.Insert(y - 1 + i, std::string(pieces[static_cast<std::size_t>(i)]));
      marks_.LinesInserted(y, whole);
      const std::string tail(pieces.back());
      if (tail.empty()) {
        SetCaretXY({1, y + whole});
      } else {
        if (y + whole <= LineCount())
          lines_.Put(y + whole - 1, tail + LineText(y + whole));
        else
          lines_.Add(tail);
        SetCaretXY({Length(tail) + 1, y + whole});
      }
      break;
    }
    }
  }
  if (LineCount() == 0) lines_.Add("");
  caretPastEol_ = pastEol;
  SetCaretXY(CaretXY());
}

// ---------------------------------------------------------------- commands

bool TkxEditCore::ExecuteEditing(TkxEditorCommand command, char ch, const void* data) {
  const bool bookmark = (command >= ecGotoMarker0 && command < ecGotoMarker0 + 10) ||
                        (command >= ecSetMarker0 && command < ecSetMarker0 + 10);
  if (bookmark) {
    if (!bookMarkOptions_.EnableKeys()) return true;
    if (command < ecSetMarker0)
      GotoBookMark(command - ecGotoMarker0);
    else
      ToggleBookMark(command - ecSetMarker0);
    return true;
  }
  if (command == ecCopy) {
    CopyToClipboard();
    return true;
  }
  const bool changesText = (command >= ecDeleteLastChar && command <= ecChar) || command == ecImeStr ||
                           command == ecUndo || command == ecRedo || command == ecCut || command == ecPaste ||
                           command == ecBlockIndent || command == ecBlockUnindent || command == ecTab;
  if (!changesText) return false;
  if (readOnly_) return true;
  const bool pastEol = caretPastEol_;
  caretPastEol_ = true;
  switch (command) {
  case ecChar:
    if (static_cast<unsigned char>(ch) >= 32 && ch != 127) TypeChar(ch);
    break;
  case ecImeStr:
    if (data) TypeString(static_cast<const char*>(data), true);
    break;
  case ecDeleteLastChar: DeleteLastChar(); break;
  case ecDeleteChar: DeleteChar(); break;
  case ecDeleteWord: DeleteSpan(CaretXY(), NextWordPos(), urDeletionAfterCursor); break;
  case ecDeleteLastWord: DeleteSpan(PrevWordPos(), CaretXY(), urDeletionAfterCursor); break;
  case ecDeleteBOL: DeleteSpan({1, CaretY()}, CaretXY(), urDeletion); break;
  case ecDeleteEOL: {
    const TkxPoint end{Length(LineText(CaretY())) + 1, CaretY()};
    if (PointBefore(CaretXY(), end)) DeleteSpan(CaretXY(), end, urDeletionAfterCursor);
    break;
  }
  case ecDeleteLine: DeleteLine(); break;
  case ecClearAll:
    // Clearing leaves one empty line: every other operation relies on having a line.
    lines_.BeginUpdate();
    lines_.Clear();
    lines_.Add("");
    lines_.EndUpdate();
    break;
  case ecLineBreak:
  case ecInsertLine: LineBreak(command == ecLineBreak); break;
  case ecUndo: Undo(); break;
  case ecRedo: Redo(); break;
  case ecCut: CutToClipboard(); break;
  case ecPaste: PasteFromClipboard(); break;
  case ecBlockIndent: BlockIndent(); break;
  case ecBlockUnindent: BlockUnindent(); break;
  case ecTab: InsertTab(); break;
  default: break;
  }
  caretPastEol_ = pastEol;
  SetCaretXY(CaretXY());
  return true;
}

void TkxEditCore::RecordSelectionRemoval(TUndoReason reason) {
  undoList_.AddChange(reason, BlockBegin(), BlockEnd(), SelText(), selectionMode_);
}

void TkxEditCore::TypeChar(char ch) { TypeString(std::string_view(&ch, 1), false); }

void TkxEditCore::TypeString(std::string_view typed, bool imeString) {
  // Only printable bytes are typed, as for single characters; a line end must not enter a line.
  std::string text;
  for (char ch : typed.substr(0, typed.find('\0')))
    if (static_cast<unsigned char>(ch) >= 32 && ch != 127) text += ch;
  if (text.empty()) return;
  TkxPaintLock lock(*this);
  if (SelAvail()) {
    TkxPoint start = BlockBegin();
    if (selectionMode_ == smLine) start.X = 1;
    const std::string removed = SelText();
    undoList_.AddChange(imeString ? urDeletion : urCut, BlockBegin(), BlockEnd(), removed, selectionMode_);
    SetSelTextPrimitive(smNormal, text);
    undoList_.AddChange(urInsertion, start, CaretXY(), imeString ? removed : std::string(), smNormal);
    return;
  }
  const TkxPoint caret = CaretXY();
  std::string line = PaddedTo(LineText(caret.Y), caret.X - 1);
  const std::size_t at = static_cast<std::size_t>(caret.X - 1);
  std::string overwritten;
  if (insertMode_) {
    line.insert(at, text);
  } else {
    overwritten = line.substr(at, text.size());
    line.replace(at, text.size(), text);
  }
  lines_.Put(caret.Y - 1, TrimRight(std::move(line)));
  const TkxPoint after{caret.X + static_cast<int>(text.size()), caret.Y};
  SetCaretXY(after);
  undoList_.AddChange(urInsertion, caret, after, overwritten, smNormal);
}

void TkxEditCore::DeleteLastChar() {
  TkxPaintLock lock(*this);
  if (SelAvail()) {
    RecordSelectionRemoval(urDeletion);
    RemoveSelection();
    return;
  }
  const TkxPoint caret = CaretXY();
  std::string line = LineText(caret.Y);
  if (caret.X > Length(line) + 1) {
    undoList_.AddChange(urDeletion, caret, caret, {}, smNormal);
    SetCaretX(caret.X - 1);
    return;
  }
  if (caret.X == 1) {
    if (caret.Y == 1) return;
    const std::string previous = LineText(caret.Y - 1);
    marks_.LinesJoined(caret.Y - 1, caret.Y);
    lines_.Delete(caret.Y - 1);
    const TkxPoint joint{Length(previous) + 1, caret.Y - 1};
    lines_.Put(caret.Y - 2, previous + TrimRight(line));
    SetCaretXY(joint);
    undoList_.AddChange(urDeletion, joint, caret, kLineEnd, smNormal);
    return;
  }
  const int blanks = LeadingBlanks(line);
  int removed = 1;
  if (static_cast<unsigned char>(line[static_cast<std::size_t>(caret.X - 2)]) < 33 && caret.X - 1 == blanks) {
    // Unindent to the indentation of the nearest line above that is indented less.
    int target = 0;
    for (int y = caret.Y - 1; y >= 1 && blanks > 0; --y) {
      const int above = LeadingBlanks(LineText(y));
      if (above < blanks) {
        target = above;
        break;
      }
    }
    removed = blanks - target;
  }
  const TkxPoint after{caret.X - removed, caret.Y};
  const std::string deleted =
      line.substr(static_cast<std::size_t>(after.X - 1), static_cast<std::size_t>(removed));
  line.erase(static_cast<std::size_t>(after.X - 1), static_cast<std::size_t>(removed));
  lines_.Put(caret.Y - 1, TrimRight(std::move(line)));
  SetCaretXY(after);
  undoList_.AddChange(urDeletion, after, caret, deleted, smNormal);
}

void TkxEditCore::DeleteChar() {
  TkxPaintLock lock(*this);
  if (SelAvail()) {
    RecordSelectionRemoval(urDeletionAfterCursor);
    RemoveSelection();
    return;
  }
  const TkxPoint caret = CaretXY();
  std::string line = LineText(caret.Y);
  if (caret.X > Length(line)) {
    if (caret.Y >= LineCount()) return;
    lines_.Put(caret.Y - 1, TrimRight(PaddedTo(line, caret.X - 1) + LineText(caret.Y + 1)));
    marks_.LinesJoined(caret.Y, caret.Y + 1);
    lines_.Delete(caret.Y);
    undoList_.AddChange(urDeletionAfterCursor, caret, {1, caret.Y + 1}, kLineEnd, smNormal);
    return;
  }
  const std::string deleted(1, line[static_cast<std::size_t>(caret.X - 1)]);
  line.erase(static_cast<std::size_t>(caret.X - 1), 1);
  lines_.Put(caret.Y - 1, TrimRight(std::move(line)));
  undoList_.AddChange(urDeletionAfterCursor, caret, {caret.X + 1, caret.Y}, deleted, smNormal);
}

void TkxEditCore::DeleteSpan(TkxPoint from, TkxPoint to, TUndoReason reason) {
  if (from == to) return;
  TkxPaintLock lock(*this);
  const TSelectionMode mode = selectionMode_;
  selectionMode_ = smNormal;
  SelectRange(from, to);
  // The record spans the selection as clamped to the text, which is what goes.
  const TkxPoint start = BlockBegin();
  const TkxPoint end = BlockEnd();
  const std::string removed = SelText();
  if (!removed.empty()) {
    RemoveSelection();
    undoList_.AddChange(reason, start, end, removed, smNormal);
  }
  selectionMode_ = mode;
  SetBlockBegin(CaretXY());
}

void TkxEditCore::DeleteLine() {
  if (LineCount() == 1 && LineText(1).empty()) return;
  TkxPaintLock lock(*this);
  const int y = CaretY();
  SetBlockBegin(CaretXY());
  const std::string text = LineText(y);
  const TkxPoint end{Length(text) + 1, y};
  if (LineCount() > 1) {
    if (y > 1)
      marks_.LinesJoined(y - 1, y);
    else
      marks_.LinesRemoved(1, 1);
    // The record spans exactly what went, so undo puts the line back once and redo removes it
    // again: the line with its line end, or for the last line the line end before it.
    if (y < LineCount())
      undoList_.AddChange(urDeletionAfterCursor, {1, y}, {1, y + 1}, text + std::string(kLineEnd), smNormal);
    else
      undoList_.AddChange(urDeletionAfterCursor, {Length(LineText(y - 1)) + 1, y - 1}, end,
                          std::string(kLineEnd) + text, smNormal);
    lines_.Delete(y - 1);
  } else {
    lines_.Put(0, "");
    undoList_.AddChange(urDeletionAfterCursor, {1, y}, end, text, smNormal);
  }
  SetCaretXY({1, y});
}

void TkxEditCore::LineBreak(bool moveCaret) {
  TkxPaintLock lock(*this);
  if (SelAvail()) {
    RecordSelectionRemoval(urDeletion);
    RemoveSelection();
  }
  const TkxPoint caret = CaretXY();
  const std::string line = LineText(caret.Y);
  int indent = 0;
  for (int y = caret.Y; y >= 1; --y)
    if (!LineText(y).empty()) {
      indent = LeadingBlanks(LineText(y));
      break;
    }
  TkxPoint below{indent + 1, caret.Y + 1};
  std::string moved;
  if (line.empty()) {
    lines_.Insert(caret.Y - 1, "");
  } else if (Length(line) < caret.X) {
    const bool fill = HasOption(kxeoAutoIndent) && !HasOption(kxeoScrollPastEol);
    lines_.Insert(caret.Y, fill ? std::string(static_cast<std::size_t>(indent), ' ') : std::string());
  } else if (caret.X == 1) {
    moved = line;
    lines_.Put(caret.Y - 1, "");
    lines_.Insert(caret.Y, line);
    below.X = 1;
  } else {
    const int blanks = LeadingBlanks(line);
    if (blanks < caret.X - 1) {
      moved = line.substr(static_cast<std::size_t>(caret.X - 1));
      lines_.Put(caret.Y - 1, TrimRight(line.substr(0, static_cast<std::size_t>(caret.X - 1))));
      lines_.Insert(caret.Y, std::string(static_cast<std::size_t>(blanks), ' ') + moved);
      below.X = blanks + 1;
    } else {
      moved = line;
      lines_.Put(caret.Y - 1, "");
      lines_.Insert(caret.Y, line);
      below.X = caret.X;
    }
  }
  undoList_.AddChange(urLineBreak, caret, caret, moved, selectionMode_);
  if (moveCaret) SetCaretXY(below);
  marks_.LinesInserted(CaretY() + (moveCaret ? 0 : 1), 1);
}

void TkxEditCore::InsertTab() {
  TkxPaintLock lock(*this);
  const TkxPoint caret = CaretXY();
  int width = 0;
  if (HasOption(kxeoSmartTabs))
    for (int y = caret.Y - 1; y >= 1; --y) {
      const std::string& above = LineText(y);
      if (Length(above) < caret.X) continue;
      std::size_t i = static_cast<std::size_t>(caret.X - 1);
      while (i < above.size() && above[i] != ' ')
        ++i;
      while (i < above.size() && above[i] == ' ')
        ++i;
      width = static_cast<int>(i) - (caret.X - 1);
      break;
    }
  if (width == 0) width = tabWidth_ - (caret.X - 1) % std::max(tabWidth_, 1);
  TkxPoint start = caret;
  if (SelAvail()) {
    RecordSelectionRemoval(urDeletion);
    start = BlockBegin();
  }
  SetSelTextPrimitive(smNormal, std::string(static_cast<std::size_t>(std::max(width, 1)), ' '));
  const std::string& line = LineText(CaretY());
  if (const std::string trimmed = TrimRight(line); trimmed.size() != line.size())
    lines_.Put(CaretY() - 1, trimmed);
  EnsureCursorPosVisible();
  if (Length(LineText(CaretY())) >= start.X) undoList_.AddChange(urInsertion, start, CaretXY(), {}, smNormal);
}

void TkxEditCore::InsertColumnAtLineStart(int line, std::string_view pieces) {
  const TSelectionMode mode = selectionMode_;
  selectionMode_ = smColumn;
  SetBlockBegin({1, line});
  SetCaretXY({1, line});
  SetSelTextPrimitive(smColumn, pieces);
  selectionMode_ = mode;
}

TkxEditCore::TBlockSpan TkxEditCore::BlockSpan() const {
  const TkxPoint end = BlockEnd();
  return {BlockBegin(), end, end.X == 1 ? end.Y - 1 : end.Y};
}

void TkxEditCore::BlockIndent() {
  if (!SelAvail()) return;
  TkxPaintLock lock(*this);
  const auto [b, e, last] = BlockSpan();
  const TkxPoint caret = CaretXY();
  const std::string indent(static_cast<std::size_t>(std::max(tabWidth_, 0)), ' ');
  std::string block;
  for (int y = b.Y; y <= last; ++y) {
    if (y > b.Y) block += kLineEnd;
    block += indent;
  }
  InsertColumnAtLineStart(b.Y, block);
  undoList_.AddChange(urIndentation, b, e, {}, smColumn);
  SelectRange({b.X + tabWidth_, b.Y}, e.X == 1 ? TkxPoint{1, e.Y} : TkxPoint{e.X + tabWidth_, e.Y});
  SetCaretXY(caret);
}

void TkxEditCore::BlockUnindent() {
  if (!SelAvail()) return;
  TkxPaintLock lock(*this);
  const auto [b, e, last] = BlockSpan();
  const TkxPoint caret = CaretXY();
  std::vector<int> counts;
  for (int y = b.Y; y <= last; ++y) {
    const std::string& line = LineText(y);
    int count = 0;
    while (count < tabWidth_ && count < Length(line) && line[static_cast<std::size_t>(count)] == ' ')
      ++count;
    counts.push_back(count);
  }
  const bool any = std::any_of(counts.begin(), counts.end(), [](int count) { return count > 0; });
  int firstRemoved = 0;
  int lastRemoved = 0;
  if (any) {
    std::string removed;
    for (int y = b.Y; y <= last; ++y) {
      const int count = counts[static_cast<std::size_t>(y - b.Y)];
      if (y > b.Y) removed += kLineEnd;
      removed.append(static_cast<std::size_t>(count), ' ');
      if (count > 0) lines_.Put(y - 1, LineText(y).substr(static_cast<std::size_t>(count)));
    }
    firstRemoved = counts.front();
    lastRemoved = last == e.Y ? counts.back() : 0;
    undoList_.AddChange(urUnindention, b, e, removed, smColumn);
  }
  SelectRange({b.X - firstRemoved, b.Y}, {e.X - lastRemoved, e.Y});
  SetCaretXY(caret);
}

bool TkxEditCore::InsideSelection(TkxPoint position) const {
  if (!SelAvail()) return false;
  const TkxPoint begin = BlockBegin();
  const TkxPoint end = BlockEnd();
  switch (SelectionMode()) {
  case smLine: return position.Y >= begin.Y && position.Y <= end.Y;
  case smColumn:
    return position.Y >= begin.Y && position.Y <= end.Y && position.X >= std::min(begin.X, end.X) &&
           position.X < std::max(begin.X, end.X);
  case smNormal: break;
  }
  return !PointBefore(position, begin) && PointBefore(position, end);
}

void TkxEditCore::DropSelection(TkxPoint drop, bool copy) {
  if (readOnly_ || !SelAvail() || InsideSelection(drop)) return;
  TkxPaintLock lock(*this);
  const bool pastEol = caretPastEol_;
  caretPastEol_ = true;
  const TSelectionMode mode = selectionMode_;
  const std::string text = SelText();
  if (!copy) {
    const TkxPoint b = BlockBegin();
    const TkxPoint e = BlockEnd();
    undoList_.AddChange(urMovementDelete, b, e, text, mode);
    RemoveSelection();
    // The drop point moves with the text the removal closed up before it.
    if (mode == smColumn) {
      const int left = std::min(b.X, e.X);
      const int right = std::max(b.X, e.X);
      if (drop.Y >= b.Y && drop.Y <= e.Y && drop.X >= right) drop.X -= right - left;
    } else if (mode == smLine) {
      if (drop.Y > e.Y) drop.Y -= e.Y - b.Y + 1;
    } else if (!PointBefore(drop, e)) {
      if (drop.Y == e.Y) drop.X = b.X + drop.X - e.X;
      drop.Y -= e.Y - b.Y;
    }
  }
  SetCaretXY(drop);
  SetBlockBegin(CaretXY());
  const TkxPoint start = CaretXY();
  SetSelTextPrimitive(mode, text);
  const TkxPoint end = CaretXY();
  undoList_.AddChange(urMovement, start, end, {}, mode);
  caretPastEol_ = pastEol;
  SelectRange(start, end);
}

// ---------------------------------------------------------------- clipboard

void TkxEditCore::CopyToClipboard() {
  if (!SelAvail() || !clipboard_) return;
  const std::string text = SelText();
  if (!clipboard_->PutText(text, EncodeClipboardBlock(selectionMode_, text)))
    throw EkxEditError("Clipboard copy operation failed");
}

void TkxEditCore::CutToClipboard() {
  if (!SelAvail() || readOnly_) return;
  CopyToClipboard();
  TkxPaintLock lock(*this);
  RecordSelectionRemoval(urDeletion);
  LockUndo();
  RemoveSelection();
  UnlockUndo();
}

bool TkxEditCore::CanPaste() const {
  return clipboard_ && (clipboard_->BlockData() || clipboard_->PlainText());
}

void TkxEditCore::PasteFromClipboard() {
  if (readOnly_ || !clipboard_) return;
  TkxPaintLock lock(*this);
  TkxPoint start = SelAvail() ? BlockBegin() : CaretXY();
  if (SelAvail() && selectionMode_ == smLine) start.X = 1;
  if (const std::optional<std::string> data = clipboard_->BlockData()) {
    const std::optional<TkxClipboardBlock> block = DecodeClipboardBlock(*data);
    if (!block) throw EkxEditError("Clipboard paste operation failed.");
    if (SelAvail()) RecordSelectionRemoval(urCut);
    SetSelTextPrimitive(block->Mode, block->Text);
    const TkxPoint end = CaretXY();
    if (block->Mode == smLine && end.X == 1)
      undoList_.AddChange(urPaste, {1, start.Y}, {charsInWindow_, end.Y - 1}, {}, smLine);
    else if (block->Mode == smLine)
      undoList_.AddChange(urPaste, {1, start.Y}, end, {}, smNormal);
    else
      undoList_.AddChange(urPaste, start, end, {}, block->Mode);
    if (block->Mode == smColumn) SetCaretXY({std::min(start.X, end.X), std::max(start.Y, end.Y) + 1});
  } else if (const std::optional<std::string> plain = clipboard_->PlainText()) {
    if (SelAvail()) RecordSelectionRemoval(urCut);
    LockUndo();
    SetSelTextPrimitive(smNormal, ConvertPastedPlainText(*plain));
    UnlockUndo();
    undoList_.AddChange(urPaste, start, CaretXY(), {}, smNormal);
  } else {
    return;
  }
  EnsureCursorPosVisible();
  StatusChanged(stSelection);
}
