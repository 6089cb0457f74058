// Painting the editor: the narrow drawing surface it needs and the painter that draws gutter,
// text runs, selection, special lines and the right edge from the model's state.
#pragma once

#include "TextEditor.h"

#include <string>
#include <string_view>

// The drawing operations the painter uses. Colours may be system colours; the surface maps them.
class Canvas {
public:
  virtual ~Canvas() = default;
  virtual void FillRect(const PixelRect& rect, ColorValue color) = 0;
  // Draws one character per cell of the surface's cell width from (x, y), each cell's background
  // filled (unless `bg` is clNone), clipped to `clip`.
  virtual void DrawChars(int x, int y, std::u32string_view chars, FontStyles style, ColorValue fg,
                         ColorValue bg, const PixelRect& clip) = 0;
  // The same for bytes read as Windows-1252.
  void DrawCells(int x, int y, std::string_view text, FontStyles style, ColorValue fg, ColorValue bg,
                 const PixelRect& clip);
  virtual void VerticalLine(int x, int top, int bottom, ColorValue color) = 0;
  // A zigzag two pixels high from `left` to `right` whose lowest pixels are on row `bottom - 1`.
  void WavyLine(int left, int right, int bottom, ColorValue color) {
    for (int x = left; x < right; ++x)
      FillRect({x, bottom - 1 - (x / 2) % 2, x + 1, bottom - (x / 2) % 2}, color);
  }
};

struct PaintContext {
  bool focused = true;
  FontStyles fontStyle = 0; // the editor font's own style
};

// A line cell by cell, tabs expanded to the next multiple of `tabWidth` (a width of 1 or less:
// one space per tab): one byte per cell for the highlighter, a UTF-8 character standing as its
// first byte, and the character each cell shows; the second cell of a wide character shows
// kSecondCell (and a blank to the highlighter).
inline constexpr char32_t kSecondCell = 0xFFFF;
struct DisplayCells {
  std::string bytes;
  std::u32string chars;
};
[[nodiscard]] DisplayCells ExpandCells(std::string_view line, int tabWidth, TextEncoding encoding);

// Paints the part of the editor inside `clip`. The model is not changed (the highlighter is
// driven to tokenise the visible lines).
void PaintEditor(const TextEditor& editor, Canvas& canvas, const PixelRect& clip,
                 const PaintContext& context);
