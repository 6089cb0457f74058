// Where a view of a document stands and how big it is: the top line and left column, the cell
// metrics, the client size and what fits in it, the gutter's width, and the conversions between
// text positions and pixels. Scrolling is moving the top line or the left column; the geometry
// tells its watcher, the editor, so the screen follows. Lines are shown on rows as the view's row
// map places them: folded lines take no row.
#pragma once

#include "EditState.h"
#include "EditView.h"
#include "GutterLayout.h"
#include "RowMap.h"
#include "TextDocument.h"

// What a change of the view's position or size asks of whatever shows it.
class GeometryWatcher {
public:
  virtual ~GeometryWatcher() = default;
  // The top line moved `rows` rows up the screen (negative: down).
  virtual void TopLineMoved(int rows) = 0;
  virtual void LeftCharMoved() = 0;
  // The metrics, the client size or the gutter changed what fits.
  virtual void LayoutChanged() = 0;
};

class ViewGeometry {
public:
  ViewGeometry(const TextDocument& document, const EditState& state, const GutterLayout& gutter,
               const RowMap& rows)
      : document_(document), state_(state), gutter_(gutter), rows_(rows) {}
  ViewGeometry(const ViewGeometry&) = delete;
  ViewGeometry& operator=(const ViewGeometry&) = delete;

  void SetWatcher(GeometryWatcher* watcher) { watcher_ = watcher; }

  // --- the position: 1-based first visible line and column
  [[nodiscard]] int TopLine() const { return topLine_; }
  // Clamped so that the last line may be the first visible one, but not beyond; a hidden line
  // gives way to the line showing it.
  void SetTopLine(int value);
  // The same counted in rows.
  [[nodiscard]] int TopRow() const { return rows_.RowOf(topLine_); }
  void SetTopRow(int row);
  [[nodiscard]] const RowMap& Rows() const { return rows_; }
  // The rows of the text.
  [[nodiscard]] int RowCount() const { return rows_.RowCount(document_.LineCount()); }
  // The line on the row `rows` rows below that of `line` (negative: above), within the text.
  [[nodiscard]] int LineRowsAway(int line, int rows) const;
  // The line shown at client pixel row `y` (past the text: as if its lines went on).
  [[nodiscard]] int LineAtY(int y) const { return rows_.LineOf(TopRow() + y / lineHeight_); }
  // The rows changed (lines were folded or unfolded): the top line is kept visible.
  void RowsChanged();
  [[nodiscard]] int LeftChar() const { return leftChar_; }
  void SetLeftChar(int value);
  // Scrolls as little as brings the caret into view.
  void ScrollToCaret();

  // --- metrics, from the view
  // Cell width and font height in pixels (the view measures its font).
  void SetFontMetrics(int charWidth, int fontHeight);
  void SetClientSize(int width, int height);
  // Recomputes the gutter's width and what fits beside it.
  void UpdateLayout();
  // The same when the line numbers need another number of digits.
  void FitGutter();
  [[nodiscard]] int CharWidth() const { return charWidth_; }
  [[nodiscard]] int LineHeight() const { return lineHeight_; }
  [[nodiscard]] int ClientWidth() const { return clientWidth_; }
  [[nodiscard]] int ClientHeight() const { return clientHeight_; }
  [[nodiscard]] int CharsInWindow() const { return charsInWindow_; }
  [[nodiscard]] int LinesInWindow() const { return linesInWindow_; }
  [[nodiscard]] int GutterWidth() const { return gutterWidth_; }
  // x pixel of column 1 (negative when scrolled right).
  [[nodiscard]] int TextOffset() const { return gutterWidth_ + 2 - (leftChar_ - 1) * charWidth_; }
  // Whether client pixel column `x` lies in the gutter's fold toggles.
  [[nodiscard]] bool InFoldColumn(int x) const {
    return x < gutterWidth_ && x >= gutterWidth_ - 2 - gutter_.FoldColumnWidth(charWidth_) &&
           gutter_.FoldColumnWidth(charWidth_) > 0;
  }
  // What painting the text area covers.
  [[nodiscard]] PixelRect TextAreaRect() const { return {gutterWidth_, 0, clientWidth_, clientHeight_}; }
  // The pixel rows showing lines first ... last (1-based) as far as they are visible, from x 0 to
  // 0; empty when none is.
  [[nodiscard]] PixelRect RowsOf(int first, int last) const;

  // --- text positions and pixels
  // The (column, line) under a client pixel.
  [[nodiscard]] TextPoint PixelsToRowColumn(int x, int y) const;
  // The client pixel of a (column, line) position's top-left corner.
  [[nodiscard]] TextPoint RowColumnToPixels(TextPoint position) const;

  // --- scroll bars and wheel
  [[nodiscard]] ScrollBarInfo VerticalScrollInfo() const;
  [[nodiscard]] ScrollBarInfo HorizontalScrollInfo() const;
  void VerticalScroll(ScrollAction action, int thumbPos = 0);
  void HorizontalScroll(ScrollAction action, int thumbPos = 0);
  // Wheel delta in 1/120 notches; `wheelLines` is the system setting (negative: a page).
  void MouseWheel(int delta, bool ctrl, int wheelLines);

private:
  template <typename... Params, typename... Args>
  void Tell(void (GeometryWatcher::*event)(Params...), Args... args) {
    if (watcher_) (watcher_->*event)(args...);
  }

  const TextDocument& document_;
  const EditState& state_;
  const GutterLayout& gutter_;
  const RowMap& rows_;
  GeometryWatcher* watcher_ = nullptr;
  int topLine_ = 1;
  int leftChar_ = 1;
  int charWidth_ = 8;
  int lineHeight_ = 16;
  int clientWidth_ = 200;
  int clientHeight_ = 150;
  int charsInWindow_ = 0;
  int linesInWindow_ = 0;
  int gutterWidth_ = 30;
  int digitsInUse_ = 4;
  // Wheel delta not yet turned into lines.
  int wheelRemainder_ = 0;
};
