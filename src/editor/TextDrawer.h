// The text drawer: a base font with its style variants (created once, shared between editors that
// use the same base font), the cell metrics taken from them, and the Qt drawing surface.
#pragma once

#include "EditorPainter.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRawFont>

#include <array>
#include <memory>
#include <unordered_map>

class QPainter;

// One style variant of a base font with what drawing needs to know about it.
struct FontVariant {
  QFont font;
  int ascent = 0;
  int height = 0;
  int advance = 0; // width of M
  // Glyphs of the characters drawn so far: drawing needs no text shaping, and every glyph goes
  // into its own cell.
  QRawFont raw;
  mutable std::unordered_map<char32_t, quint32> glyphs;

  [[nodiscard]] quint32 Glyph(char32_t code) const;
};

class TextDrawer {
public:
  // Throws TessarinError "SetBaseFont: 'Value' must be specified." for an empty family.
  void SetBaseFont(const QFont& font);
  [[nodiscard]] const QFont& BaseFont() const { return baseFont_; }
  // The variant for a style (bold 1, italic 2, underline 4, strike-out 8).
  [[nodiscard]] const FontVariant& Variant(FontStyles style) const;

  // Cell width: the advance of M, measured bold when `styles` use bold. Height: measured italic
  // when they use italic.
  [[nodiscard]] int CharWidth(FontStyles styles) const;
  [[nodiscard]] int FontHeight(FontStyles styles) const;

  // The fixed-pitch font an editor starts with; falls back to any fixed-pitch family.
  [[nodiscard]] static QFont EditorFont(const QString& family, int pointSize);

  // The variants of one base font; shared by every drawer using that font.
  struct Variants;

private:
  QFont baseFont_;
  std::shared_ptr<Variants> variants_;
};

// Maps a colour value (red in the low byte, or a system colour) to a QColor.
[[nodiscard]] QColor ColorToQColor(ColorValue color, const QPalette& palette);

// The painter's surface on a QPainter.
class QtCanvas : public Canvas {
public:
  QtCanvas(QPainter& painter, const TextDrawer& drawer, const QPalette& palette, int charWidth,
           int lineHeight);

  void FillRect(const PixelRect& rect, ColorValue color) override;
  void DrawChars(int x, int y, std::u32string_view chars, FontStyles style, ColorValue fg, ColorValue bg,
                 const PixelRect& clip) override;
  void VerticalLine(int x, int top, int bottom, ColorValue color) override;

  [[nodiscard]] QPainter& Painter() { return painter_; }

private:
  QPainter& painter_;
  const TextDrawer& drawer_;
  ColorValue penColor_ = clNone; // the colour the painter's pen has, to set it only on a change
  const QPalette& palette_;
  int charWidth_;
  int lineHeight_;
};
