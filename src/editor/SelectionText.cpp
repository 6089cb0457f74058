// Reading the selection in each mode, and the replace-selection primitive built on the document's
// insertions and deletions.
#include "SelectionText.h"

#include "TextEditor.h"

#include <algorithm>
#include <limits>
#include <vector>

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

// The pieces of a text between its line ends (CR LF, CR or LF); a text ending with a line end has
// an empty last piece.
std::vector<std::string_view> Pieces(std::string_view text) {
  std::vector<std::string_view> pieces = LineList::SplitLines(text);
  if (pieces.empty() || (!text.empty() && (text.back() == '\r' || text.back() == '\n')))
    pieces.emplace_back();
  return pieces;
}

// The pieces joined as the document keeps line ends.
std::string JoinedByLineFeeds(const std::vector<std::string_view>& pieces) {
  std::string text;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) text += '\n';
    text += pieces[i];
  }
  return text;
}

} // namespace

std::string SelectionText::Text() const {
  if (!core_.SelAvail()) return {};
  const TextPoint b = core_.BlockBegin();
  const TextPoint e = core_.BlockEnd();
  std::string text;
  switch (core_.Mode()) {
  case SelectionMode::Normal:
    if (b.Y == e.Y) return Columns(core_.LineText(b.Y), b.X, e.X);
    text = Columns(core_.LineText(b.Y), b.X, kLineEndColumn);
    for (int y = b.Y + 1; y < e.Y; ++y)
      (text += kLineEnd) += core_.LineText(y);
    (text += kLineEnd) += Columns(core_.LineText(e.Y), 1, e.X);
    return text;
  case SelectionMode::Column:
    for (int y = b.Y; y <= e.Y; ++y) {
      if (y > b.Y) text += kLineEnd;
      const auto [first, last] = core_.ColumnBlockOn(y);
      text += Columns(core_.LineText(y), first, last);
    }
    return text;
  case SelectionMode::Line:
    for (int y = b.Y; y <= e.Y; ++y) {
      text += core_.LineText(y);
      if (y < core_.LineCount()) text += kLineEnd;
    }
    return text;
  }
  return text;
}

bool SelectionText::Contains(TextPoint position) const {
  if (!core_.SelAvail()) return false;
  const TextPoint begin = core_.BlockBegin();
  const TextPoint end = core_.BlockEnd();
  switch (core_.Mode()) {
  case SelectionMode::Line: return position.Y >= begin.Y && position.Y <= end.Y;
  case SelectionMode::Column: {
    if (position.Y < begin.Y || position.Y > end.Y) return false;
    const auto [first, last] = core_.ColumnBlockOn(position.Y);
    return position.X >= first && position.X < last;
  }
  case SelectionMode::Normal: break;
  }
  return !PointBefore(position, begin) && PointBefore(position, end);
}

void SelectionText::TrimLineEnd(int line) {
  const std::string& text = core_.LineText(line);
  std::size_t end = text.size();
  while (end > 0 && static_cast<unsigned char>(text[end - 1]) <= 32)
    --end;
  if (end < text.size()) core_.Document().Delete({static_cast<int>(end) + 1, line}, {Length(text) + 1, line});
}

void SelectionText::PadTo(TextPoint position) {
  const int length = Length(core_.LineText(position.Y));
  if (length < position.X - 1)
    core_.Document().Insert({length + 1, position.Y},
                            std::string(static_cast<std::size_t>(position.X - 1 - length), ' '));
}

void SelectionText::Remove(bool trimJoined) {
  TextDocument& document = core_.Document();
  const TextPoint b = core_.BlockBegin();
  const TextPoint e = core_.BlockEnd();
  switch (core_.Mode()) {
  case SelectionMode::Normal:
    document.Delete(b, e);
    if (trimJoined) TrimLineEnd(b.Y);
    core_.SetCaretXY(b);
    break;
  case SelectionMode::Column: {
    std::vector<std::pair<int, int>> spans;
    for (int y = b.Y; y <= e.Y; ++y)
      spans.push_back(core_.ColumnBlockOn(y));
    const int caretLine = core_.SelectionMovingEnd().Y;
    for (int y = b.Y; y <= e.Y; ++y) {
      const auto [first, last] = spans[static_cast<std::size_t>(y - b.Y)];
      document.Delete({first, y}, {last, y});
      TrimLineEnd(y);
    }
    core_.SetCaretXY({spans[static_cast<std::size_t>(caretLine - b.Y)].first, caretLine});
    break;
  }
  case SelectionMode::Line:
    // Removing the last line empties it instead, so the text keeps a line.
    if (e.Y >= core_.LineCount())
      document.Delete({1, b.Y}, {Length(core_.LineText(e.Y)) + 1, e.Y});
    else
      document.Delete({1, b.Y}, {1, e.Y + 1});
    core_.SetCaretXY({1, b.Y});
    break;
  }
  core_.SetBlockBegin(core_.CaretXY());
}

void SelectionText::Replace(SelectionMode mode, std::string_view text, bool trimJoined) {
  PaintLock lock(core_);
  FreeCaret freeCaret(core_);
  if (core_.SelAvail()) Remove(trimJoined);
  text = text.substr(0, text.find('\0'));
  if (text.empty()) return;
  const TextPoint caret = core_.CaretXY();
  if (mode == SelectionMode::Column) {
    InsertColumns(text);
    return;
  }
  // A line block goes in before the caret line; its last piece starts that line.
  const TextPoint at = mode == SelectionMode::Line ? TextPoint{1, caret.Y} : caret;
  PadTo(at);
  core_.SetCaretXY(core_.Document().Insert(at, JoinedByLineFeeds(Pieces(text))));
}

void SelectionText::InsertColumns(std::string_view text) {
  TextDocument& document = core_.Document();
  const TextPoint caret = core_.CaretXY();
  // Every piece goes in at the caret's screen column.
  const int column = core_.CaretDisplayColumn();
  const std::vector<std::string_view> pieces = Pieces(text);
  const std::string indent(static_cast<std::size_t>(column - 1), ' ');
  int x = caret.X;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const int y = caret.Y + static_cast<int>(i);
    if (y > core_.LineCount()) {
      const int last = core_.LineCount();
      document.Insert({Length(core_.LineText(last)) + 1, last}, '\n' + indent + std::string(pieces[i]));
      x = column;
    } else {
      x = ColumnBlockBytes(core_.LineText(y), core_.TabWidth(), column, column).first;
      PadTo({x, y});
      document.Insert({x, y}, pieces[i]);
    }
  }
  core_.SetCaretXY(
      {x + static_cast<int>(pieces.back().size()), caret.Y + static_cast<int>(pieces.size()) - 1});
}
