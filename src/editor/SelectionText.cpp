// Reading the selection in each mode, and the replace-selection primitive built on the document's
// insertions and deletions.
#include "SelectionText.h"

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

void RemoveSelection(EditContext& context, bool trimJoined) {
  TextDocument& document = context.document;
  EditState& state = context.state;
  const TextPoint b = state.BlockBegin();
  const TextPoint e = state.BlockEnd();
  switch (state.Mode()) {
  case SelectionMode::Normal:
    document.Delete(b, e);
    if (trimJoined) TrimLineEnd(document, b.Y);
    state.SetCaretXY(b);
    break;
  case SelectionMode::Column: {
    std::vector<std::pair<int, int>> spans;
    for (int y = b.Y; y <= e.Y; ++y)
      spans.push_back(state.ColumnBlockOn(y));
    const int caretLine = state.SelectionMovingEnd().Y;
    for (int y = b.Y; y <= e.Y; ++y) {
      const auto [first, last] = spans[static_cast<std::size_t>(y - b.Y)];
      document.Delete({first, y}, {last, y});
      if (trimJoined) TrimLineEnd(document, y);
    }
    state.SetCaretXY({spans[static_cast<std::size_t>(caretLine - b.Y)].first, caretLine});
    break;
  }
  case SelectionMode::Line:
    // Removing the last line empties it instead, so the text keeps a line.
    if (e.Y >= document.LineCount())
      document.Delete({1, b.Y}, {Length(document.LineText(e.Y)) + 1, e.Y});
    else
      document.Delete({1, b.Y}, {1, e.Y + 1});
    state.SetCaretXY({1, b.Y});
    break;
  }
  state.SetBlockBegin(state.CaretXY());
}

void InsertColumns(EditContext& context, std::string_view text) {
  TextDocument& document = context.document;
  EditState& state = context.state;
  const TextPoint caret = state.CaretXY();
  // Every piece goes in at the caret's screen column.
  const int column = state.CaretDisplayColumn();
  const std::vector<std::string_view> pieces = Pieces(text);
  const std::string indent(static_cast<std::size_t>(column - 1), ' ');
  int x = caret.X;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const int y = caret.Y + static_cast<int>(i);
    if (y > document.LineCount()) {
      const int last = document.LineCount();
      document.Insert({Length(document.LineText(last)) + 1, last}, '\n' + indent + std::string(pieces[i]));
      x = column;
    } else {
      x = ColumnBlockBytes(document.LineText(y), state.TabWidth(), column, column, state.Encoding()).first;
      PadTo(document, {x, y});
      document.Insert({x, y}, pieces[i]);
    }
  }
  state.SetCaretXY(
      {x + static_cast<int>(pieces.back().size()), caret.Y + static_cast<int>(pieces.size()) - 1});
}

} // namespace

std::string SelectedText(const TextDocument& document, const EditState& state) {
  if (!state.SelAvail()) return {};
  const TextPoint b = state.BlockBegin();
  const TextPoint e = state.BlockEnd();
  std::string text;
  switch (state.Mode()) {
  case SelectionMode::Normal:
    if (b.Y == e.Y) return Columns(document.LineText(b.Y), b.X, e.X);
    text = Columns(document.LineText(b.Y), b.X, kLineEndColumn);
    for (int y = b.Y + 1; y < e.Y; ++y)
      (text += kLineEnd) += document.LineText(y);
    (text += kLineEnd) += Columns(document.LineText(e.Y), 1, e.X);
    return text;
  case SelectionMode::Column:
    for (int y = b.Y; y <= e.Y; ++y) {
      if (y > b.Y) text += kLineEnd;
      const auto [first, last] = state.ColumnBlockOn(y);
      text += Columns(document.LineText(y), first, last);
    }
    return text;
  case SelectionMode::Line:
    for (int y = b.Y; y <= e.Y; ++y) {
      text += document.LineText(y);
      if (y < document.LineCount()) text += kLineEnd;
    }
    return text;
  }
  return text;
}

void TrimLineEnd(TextDocument& document, int line) {
  const std::string& text = document.LineText(line);
  std::size_t end = text.size();
  while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t'))
    --end;
  if (end < text.size()) document.Delete({static_cast<int>(end) + 1, line}, {Length(text) + 1, line});
}

void PadTo(TextDocument& document, TextPoint position) {
  const int length = Length(document.LineText(position.Y));
  if (length < position.X - 1)
    document.Insert({length + 1, position.Y},
                    std::string(static_cast<std::size_t>(position.X - 1 - length), ' '));
}

void ReplaceSelection(EditContext& context, SelectionMode mode, std::string_view text, bool trimJoined) {
  FreeCaret freeCaret(context.state);
  if (context.state.SelAvail()) RemoveSelection(context, trimJoined);
  if (text.empty()) return;
  const TextPoint caret = context.state.CaretXY();
  if (mode == SelectionMode::Column) {
    InsertColumns(context, text);
    return;
  }
  // A line block goes in before the caret line; its last piece starts that line.
  const TextPoint at = mode == SelectionMode::Line ? TextPoint{1, caret.Y} : caret;
  PadTo(context.document, at);
  context.state.SetCaretXY(context.document.Insert(at, JoinedByLineFeeds(Pieces(text))));
}
