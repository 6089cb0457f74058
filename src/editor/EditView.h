// What the editor asks of whatever shows it on screen, in the view's pixel coordinates, and the
// small pixel and scroll-bar types both sides share.
#pragma once

// Pixel rectangle, right and bottom exclusive.
struct PixelRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  [[nodiscard]] bool Empty() const { return Right <= Left || Bottom <= Top; }
  bool operator==(const PixelRect&) const = default;
};
[[nodiscard]] PixelRect UnionRect(const PixelRect& a, const PixelRect& b);

// Range, page and position of a scroll bar; the page counts inside the range, so the last
// position is Max - Page + 1.
struct ScrollBarInfo {
  int Min = 0, Max = 0, Page = 0, Pos = 0;
  bool operator==(const ScrollBarInfo&) const = default;
};

enum class ScrollAction { LineUp, LineDown, PageUp, PageDown, Top, Bottom, Thumb };

class EditView {
public:
  virtual ~EditView() = default;
  virtual void InvalidateRect(const PixelRect& rect) = 0;
  // Moves the client pixels by `dy` (positive: down) and repaints what was uncovered.
  virtual void ScrollPixels(int dy) = 0;
  virtual void UpdateScrollBars() = 0;
  virtual void UpdateCaret() = 0;
  // Paint what is damaged now rather than at the next idle moment.
  virtual void RepaintNow() = 0;
  // The font styles in use changed: measure the cell again and call SetFontMetrics.
  virtual void MeasureFont() = 0;
  // Lines below the screen have stale highlighter ranges: refresh them a slice at a time when
  // idle (reading a range refreshes what it needs anyway).
  virtual void RangesBehind() {}
  // The selection changed (told once the paint lock is let go).
  virtual void SelectionChanged() {}
};
