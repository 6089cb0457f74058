#include "QtPrinterCanvas.h"

#include "EditorPainter.h"
#include "TextDrawer.h"
#include "UserClock.h"
#include "UserQuestions.h"

#include <QGlyphRun>
#include <QGuiApplication>
#include <QPalette>
#include <QPrinter>

namespace {

// Paper is white: a run on the paper's own colour needs no background.
constexpr ColorValue kPaper = 0x00FFFFFF;

QColor PrintColor(ColorValue color) {
  // System colours as a light, default palette gives them, whatever the screen's theme.
  static const QPalette paperPalette(Qt::black, Qt::white);
  return ColorToQColor(color, paperPalette);
}

} // namespace

QtPrinterCanvas::QtPrinterCanvas(QPrinter& printer)
    : printer_(printer), metrics_(qfont_, &printer), brush_(kPaper) {}

QtPrinterCanvas::~QtPrinterCanvas() {
  if (painter_.isActive()) painter_.end();
}

PrintPage QtPrinterCanvas::Page() const {
  const QRect printable = printer_.pageLayout().paintRectPixels(printer_.resolution());
  return {printable.width(),     printable.height(), printer_.resolution(),
          printer_.resolution(), printable.x(),      printable.y()};
}

PrintTextMetrics QtPrinterCanvas::Metrics() const {
  return {metrics_.height(), metrics_.leading(), metrics_.averageCharWidth()};
}

int QtPrinterCanvas::TextWidth(std::string_view text) const {
  return metrics_.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void QtPrinterCanvas::SetFont(const PrintFont& font) {
  const bool glyphsChange = !glyphs_.isValid() || font.Name != font_.Name || font.Size != font_.Size ||
                            (font.Style & (fsBold | fsItalic)) != (font_.Style & (fsBold | fsItalic));
  font_ = font;
  qfont_ = QFont(QString::fromStdString(font.Name), font.Size);
  qfont_.setStyleHint(QFont::TypeWriter);
  qfont_.setBold(font.Style & fsBold);
  qfont_.setItalic(font.Style & fsItalic);
  qfont_.setUnderline(font.Style & fsUnderline);
  qfont_.setStrikeOut(font.Style & fsStrikeOut);
  // Measured against the printer, so sizes come out in its pixels.
  qfont_ = QFont(qfont_, &printer_);
  metrics_ = QFontMetrics(qfont_, &printer_);
  if (glyphsChange) {
    QFont sized = qfont_;
    sized.setPixelSize(QFontInfo(qfont_).pixelSize());
    glyphs_ = QRawFont::fromFont(sized);
  }
}

void QtPrinterCanvas::DrawRun(int x, int y, std::string_view text, int advance, const PixelRect& clip) {
  if (text.empty() || !painter_.isActive()) return;
  const QList<uint> cells = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUcs4();
  const auto count = static_cast<int>(cells.size());
  painter_.save();
  painter_.setClipRect(QRect(clip.Left, clip.Top, clip.Right - clip.Left, clip.Bottom - clip.Top));
  if (brush_ != kPaper && brush_ != clNone)
    painter_.fillRect(QRect(x, y, advance * count, metrics_.height()), PrintColor(brush_));
  QList<quint32> indexes;
  QList<QPointF> positions;
  for (int i = 0; i < count; ++i) {
    const auto code = static_cast<char32_t>(cells[i]);
    if (code == kSecondCell) continue;
    const QList<quint32> glyph = glyphs_.glyphIndexesForString(QString::fromUcs4(&code, 1));
    indexes.append(glyph.isEmpty() ? 0 : glyph.front());
    positions.append(QPointF(static_cast<qreal>(i) * advance, 0));
  }
  QGlyphRun run;
  run.setRawFont(glyphs_);
  run.setGlyphIndexes(indexes);
  run.setPositions(positions);
  run.setUnderline(font_.Style & fsUnderline);
  run.setStrikeOut(font_.Style & fsStrikeOut);
  painter_.setPen(PrintColor(font_.Color));
  painter_.drawGlyphRun(QPointF(x, y + metrics_.ascent()), run);
  painter_.restore();
}

void QtPrinterCanvas::BeginDoc(const std::string& title, int copies) {
  printer_.setDocName(QString::fromStdString(title));
  printer_.setCopyCount(copies);
  if (!painter_.begin(&printer_)) {
    const QString name = printer_.printerName();
    if (printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty())
      throw TessarinError("The file " + printer_.outputFileName().toLocal8Bit().toStdString() +
                          " could not be written.");
    throw TessarinError(name.isEmpty() ? "No printer is available for printing."
                                       : "The printer " + name.toStdString() + " could not start printing.");
  }
}

void QtPrinterCanvas::NewPage() { printer_.newPage(); }

void QtPrinterCanvas::EndDoc() { painter_.end(); }

void QtPrinterCanvas::Abort() {
  printer_.abort();
  if (painter_.isActive()) painter_.end();
}

PrintOptions PrintCommandOptions(const TextEditor& editor, const std::string& fileName) {
  PrintOptions options;
  options.SelectedOnly = editor.State().SelAvail();
  options.Highlighted = editor.Document().HighLighter() != nullptr;
  options.Monochrome = true;
  options.Copies = 1;
  options.MarginUnits = kMarginThousandthsOfAnInch;
  options.Margins = {500, 500, 500, 500};
  options.Title = fileName;
  options.Header = {{"$title$", paCenter}, {"", paLeft}};
  options.Footer = {{"", paLeft}, {"Page $pagenum$", paRight}};
  return options;
}

void PrintSourceFile(const TextEditor& editor, const QFont& font, const std::string& fileName,
                     QPrinter& printer) {
  PrintFont printFont{font.family().toStdString(), font.pointSize(), 0, editor.Look().FontColor};
  if (font.bold()) printFont.Style |= fsBold;
  if (font.italic()) printFont.Style |= fsItalic;
  const QLocale locale;
  QtPrinterCanvas canvas(printer);
  PrintEditorText(editor, canvas, printFont, PrintCommandOptions(editor, fileName), {},
                  ShortDateText(QDate::currentDate(), locale).toStdString(),
                  LongTimeText(QTime::currentTime(), locale).toStdString());
}
