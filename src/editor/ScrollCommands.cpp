// Scrolling by a line or a column with the caret dragged along.
#include "ScrollCommands.h"

void ScrollUp(EditContext& context) {
  ViewGeometry& view = context.geometry;
  view.SetTopLine(view.TopLine() - 1);
  const int lastVisible = view.TopLine() + view.LinesInWindow() - 1;
  if (context.state.CaretY() > lastVisible) context.state.SetCaretY(lastVisible);
}

void ScrollDown(EditContext& context) {
  ViewGeometry& view = context.geometry;
  view.SetTopLine(view.TopLine() + 1);
  if (context.state.CaretY() < view.TopLine()) context.state.SetCaretY(view.TopLine());
}

void ScrollLeft(EditContext& context) {
  ViewGeometry& view = context.geometry;
  view.SetLeftChar(view.LeftChar() - 1);
  const int lastVisible = view.LeftChar() + view.CharsInWindow();
  if (context.state.CaretX() > lastVisible) context.state.SetCaretX(lastVisible);
}

void ScrollRight(EditContext& context) {
  ViewGeometry& view = context.geometry;
  view.SetLeftChar(view.LeftChar() + 1);
  if (context.state.CaretX() < view.LeftChar()) context.state.SetCaretX(view.LeftChar());
}
