// Printing a source file: the printer surface on a QPrinter, and the Print command's job (the
// options it always uses, the date and time of the header macros).
#pragma once

#include "PrintLayout.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QRawFont>

class QPrinter;

class QtPrinterCanvas : public PrinterCanvas {
public:
  explicit QtPrinterCanvas(QPrinter& printer);
  ~QtPrinterCanvas() override;

  [[nodiscard]] PrintPage Page() const override;
  [[nodiscard]] PrintTextMetrics Metrics() const override;
  [[nodiscard]] int TextWidth(std::string_view text) const override;
  [[nodiscard]] PrintFont Font() const override { return font_; }
  void SetFont(const PrintFont& font) override;
  [[nodiscard]] ColorValue BrushColor() const override { return brush_; }
  void SetBrushColor(ColorValue color) override { brush_ = color; }
  void DrawRun(int x, int y, std::string_view text, int advance, const PixelRect& clip) override;
  void BeginDoc(const std::string& title, int copies) override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;

private:
  QPrinter& printer_;
  QPainter painter_;
  PrintFont font_;
  QFont qfont_;          // font_ at the printer's resolution
  QFontMetrics metrics_; // of qfont_, measured once per font change rather than per run
  QRawFont glyphs_;      // its glyphs, for runs with fixed advances
  ColorValue brush_;
};

// The options of the Print command for an editor showing `fileName`: the selection when there
// is one, the highlighter's styles in black and white, half-inch margins, the file name centred
// on top and the page number at the bottom right.
[[nodiscard]] PrintOptions PrintCommandOptions(const TextEditor& editor, const std::string& fileName);

// Prints the editor's text as the Print command does. Printer failures raise TessarinError.
void PrintSourceFile(const TextEditor& editor, const QFont& font, const std::string& fileName,
                     QPrinter& printer);
