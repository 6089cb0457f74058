// Scrolling by a row or a column with the caret dragged along.
#include "ScrollCommands.h"

void ScrollUp(EditContext& context) {
  ViewGeometry& view = context.geometry;
  view.SetTopRow(view.TopRow() - 1);
  const int lastVisibleRow = view.TopRow() + view.LinesInWindow() - 1;
  if (view.Rows().RowOf(context.state.CaretY()) > lastVisibleRow)
    context.state.SetCaretY(view.Rows().LineOf(lastVisibleRow));
}

void ScrollDown(EditContext& context) {
  ViewGeometry& view = context.geometry;
  view.SetTopRow(view.TopRow() + 1);
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
