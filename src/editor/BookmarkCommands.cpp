// Setting, toggling and jumping to bookmarks.
#include "BookmarkCommands.h"

#include <memory>

void PlaceBookmark(TextDocument& document, int number, int column, int line) {
  if (number < 0 || number >= MarkList::BookmarkCount || line < 1 || line > document.LineCount()) return;
  auto mark = std::make_unique<Mark>(number);
  mark->SetLine(line);
  mark->SetColumn(column);
  mark->SetImageIndex(number);
  mark->SetVisible(true);
  mark->SetInternalImage(true);
  document.Marks().PlaceBookMark(std::move(mark));
}

void GotoBookmark(EditState& state, const TextDocument& document, int number) {
  const Mark* mark = document.Marks().BookMark(number);
  if (mark && mark->Line() <= document.LineCount()) state.SetCaretXY({mark->Column(), mark->Line()});
}

void ToggleBookmark(TextDocument& document, const EditState& state, int number) {
  const Mark* mark = document.Marks().BookMark(number);
  const bool onCaretLine = mark && mark->Line() == state.CaretY();
  if (mark) document.Marks().ClearBookMark(number);
  if (!onCaretLine) PlaceBookmark(document, number, state.CaretX(), state.CaretY());
}
