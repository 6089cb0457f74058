// Setting, toggling and jumping to bookmarks.
#include "BookmarkCommands.h"

#include "TextEditor.h"

bool BookmarkCommands::Execute(EditorCommand command) {
  const bool jump = command >= ecGotoMarker0 && command < ecGotoMarker0 + MarkList::BookmarkCount;
  const bool toggle = command >= ecSetMarker0 && command < ecSetMarker0 + MarkList::BookmarkCount;
  if (!jump && !toggle) return false;
  if (!core_.BookMarkOptions().EnableKeys()) return true;
  if (jump)
    Goto(command - ecGotoMarker0);
  else
    Toggle(command - ecSetMarker0);
  return true;
}

void BookmarkCommands::Set(int number, int column, int line) {
  if (number < 0 || number >= MarkList::BookmarkCount || line < 1 || line > core_.LineCount()) return;
  auto mark = std::make_unique<Mark>(number);
  mark->SetLine(line);
  mark->SetColumn(column);
  mark->SetImageIndex(number);
  mark->SetVisible(true);
  mark->SetInternalImage(true);
  if (core_.OnPlaceBookmark) core_.OnPlaceBookmark(mark);
  if (mark) core_.Marks().PlaceBookMark(std::move(mark));
}

void BookmarkCommands::Goto(int number) {
  const Mark* mark = core_.Marks().BookMark(number);
  if (mark && mark->Line() <= core_.LineCount()) core_.SetCaretXY({mark->Column(), mark->Line()});
}

void BookmarkCommands::Toggle(int number) {
  const Mark* mark = core_.Marks().BookMark(number);
  const bool onCaretLine = mark && mark->Line() == core_.CaretY();
  if (mark) core_.ClearBookMark(number);
  if (!onCaretLine) Set(number, core_.CaretX(), core_.CaretY());
}
