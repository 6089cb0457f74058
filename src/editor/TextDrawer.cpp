// Font variants, cell metrics and cell-grid text drawing on Qt.
#include "TextDrawer.h"

#include "UserQuestions.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>

#include <array>
#include <map>

// The 16 variants of one base font, each made when first asked for.
struct TextDrawer::Variants {
  QFont base;
  mutable std::array<std::unique_ptr<FontVariant>, 16> byStyle;
};

namespace {

// Variants live as long as some drawer uses their base font.
std::map<QString, std::weak_ptr<TextDrawer::Variants>>& SharedVariants() {
  static std::map<QString, std::weak_ptr<TextDrawer::Variants>> shared;
  return shared;
}

FontVariant MakeVariant(const QFont& base, FontStyles style) {
  FontVariant variant;
  variant.font = base;
  variant.font.setBold(style & fsBold);
  variant.font.setItalic(style & fsItalic);
  variant.font.setUnderline(style & fsUnderline);
  variant.font.setStrikeOut(style & fsStrikeOut);
  const QFontMetrics metrics(variant.font);
  variant.ascent = metrics.ascent();
  variant.height = metrics.height();
  variant.advance = metrics.horizontalAdvance(QLatin1Char('M'));
  if (variant.advance <= 0) variant.advance = metrics.averageCharWidth();
  variant.raw = QRawFont::fromFont(variant.font);
  return variant;
}

} // namespace

quint32 FontVariant::Glyph(char32_t code) const {
  const auto found = glyphs.find(code);
  if (found != glyphs.end()) return found->second;
  const QList<quint32> indexes = raw.glyphIndexesForString(QString::fromUcs4(&code, 1));
  const quint32 glyph = indexes.isEmpty() ? 0 : indexes.front();
  glyphs.emplace(code, glyph);
  return glyph;
}

void TextDrawer::SetBaseFont(const QFont& font) {
  if (font.family().isEmpty()) throw TessarinError("SetBaseFont: 'Value' must be specified.");
  baseFont_ = font;
  auto& shared = SharedVariants();
  const QString key = font.key();
  variants_ = shared[key].lock();
  if (!variants_) {
    variants_ = std::make_shared<Variants>();
    variants_->base = font;
    shared[key] = variants_;
  }
}

const FontVariant& TextDrawer::Variant(FontStyles style) const {
  if (!variants_) const_cast<TextDrawer*>(this)->SetBaseFont(EditorFont("Courier New", 10));
  std::unique_ptr<FontVariant>& slot = variants_->byStyle[style & fsAllStyles];
  if (!slot) slot = std::make_unique<FontVariant>(MakeVariant(variants_->base, style & fsAllStyles));
  return *slot;
}

int TextDrawer::CharWidth(FontStyles styles) const { return Variant(styles & fsBold).advance; }

int TextDrawer::FontHeight(FontStyles styles) const { return Variant(styles & fsItalic).height; }

QFont TextDrawer::EditorFont(const QString& family, int pointSize) {
  QFont font(family, pointSize > 0 ? pointSize : 10);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  if (!QFontInfo(font).fixedPitch()) {
    // The family is missing and the substitute is proportional: take the system's fixed font.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(font.pointSize());
    return fixed;
  }
  return font;
}

QColor ColorToQColor(ColorValue color, const QPalette& palette) {
  if (color >= 0x80000000u) {
    switch (color & 0xFF) {
    case 5: return palette.color(QPalette::Base);
    case 8: return palette.color(QPalette::Text);
    case 13: return palette.color(QPalette::Highlight);
    case 14: return palette.color(QPalette::HighlightedText);
    case 15: return palette.color(QPalette::Button);
    case 16: return palette.color(QPalette::Dark);
    case 18: return palette.color(QPalette::ButtonText);
    case 20: return palette.color(QPalette::Light);
    default: return palette.color(QPalette::WindowText);
    }
  }
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

QtCanvas::QtCanvas(QPainter& painter, const TextDrawer& drawer, const QPalette& palette, int charWidth,
                   int lineHeight)
    : painter_(painter), drawer_(drawer), palette_(palette), charWidth_(charWidth), lineHeight_(lineHeight) {}

void QtCanvas::FillRect(const PixelRect& rect, ColorValue color) {
  if (rect.Empty()) return;
  painter_.fillRect(QRect(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top),
                    ColorToQColor(color, palette_));
}

void QtCanvas::DrawChars(int x, int y, std::u32string_view text, FontStyles style, ColorValue fg,
                         ColorValue bg, const PixelRect& clip) {
  const QRect cells(x, y, charWidth_ * static_cast<int>(text.size()), lineHeight_);
  const QRect clipRect(clip.Left, clip.Top, clip.Right - clip.Left, clip.Bottom - clip.Top);
  const QRect visible = cells.intersected(clipRect);
  if (visible.isEmpty()) return;
  if (bg != clNone) painter_.fillRect(visible, ColorToQColor(bg, palette_));
  // Skip cells left of the clip so long lines cost only what shows.
  const int skip = std::max(0, (visible.left() - x) / charWidth_);
  const int count = std::min(static_cast<int>(text.size()) - skip, visible.width() / charWidth_ + 2);
  if (count <= 0) return;
  const std::u32string_view shown =
      text.substr(static_cast<std::size_t>(skip), static_cast<std::size_t>(count));
  if (shown.find_first_not_of(U' ') == std::u32string_view::npos && !(style & (fsUnderline | fsStrikeOut)))
    return;
  const FontVariant& variant = drawer_.Variant(style);
  const int left = x + skip * charWidth_;
  QList<quint32> indexes;
  QList<QPointF> positions;
  for (int i = 0; i < count; ++i) {
    // A wide character's glyph spans its second cell.
    if (shown[static_cast<std::size_t>(i)] == kSecondCell) continue;
    indexes.append(variant.Glyph(shown[static_cast<std::size_t>(i)]));
    positions.append(QPointF(i * charWidth_, 0));
  }
  QGlyphRun run;
  run.setRawFont(variant.raw);
  run.setGlyphIndexes(indexes);
  run.setPositions(positions);
  run.setUnderline(style & fsUnderline);
  run.setStrikeOut(style & fsStrikeOut);
  // Glyphs that lean out of their cells (italics) are cut where the cells are cut.
  const bool clipped = visible != cells;
  if (clipped) painter_.setClipRect(visible);
  if (fg != penColor_) {
    penColor_ = fg;
    painter_.setPen(ColorToQColor(fg, palette_));
  }
  painter_.drawGlyphRun(QPointF(left, y + variant.ascent), run);
  if (clipped) painter_.setClipping(false);
}

void QtCanvas::VerticalLine(int x, int top, int bottom, ColorValue color) {
  if (bottom > top) painter_.fillRect(QRect(x, top, 1, bottom - top), ColorToQColor(color, palette_));
}
