// Printing the editor's text: the options of a print job, the printer surface it needs, and the
// page layout on a fixed character grid with header and footer lines.
#pragma once

#include "TextEditor.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum PrintStatus { psBegin = 0, psNewPage = 1, psEnd = 2 };

// Header and footer line alignments.
enum PrintAlignment { paLeft = 0, paRight = 1, paCenter = 2 };

struct HeaderLine {
  std::string Text;
  int Alignment = paLeft;
};

// Page margins or a print range: left, top, right, bottom.
struct PrintBox {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  [[nodiscard]] bool Zero() const { return Left == 0 && Top == 0 && Right == 0 && Bottom == 0; }
};

inline constexpr int kMarginThousandthsOfAnInch = 1;

struct PrintOptions {
  bool SelectedOnly = false;
  bool Highlighted = false;
  bool Monochrome = false; // font styles of the highlighter only, no colours
  int Copies = 1;
  int MarginUnits = kMarginThousandthsOfAnInch;
  PrintBox Margins;
  // First column, first line, last column, last line; a column of 0 means the whole line, all
  // zero the whole text.
  PrintBox PrintRange;
  std::string Title;
  std::vector<HeaderLine> Header;
  std::vector<HeaderLine> Footer;
};

// Called at the start, at every new page and at the end; setting `abort` stops the job.
using PrintStatusEvent = std::function<void(PrintStatus status, int pageNumber, bool& abort)>;

struct PrintFont {
  std::string Name;
  int Size = 10; // points
  FontStyles Style = 0;
  ColorValue Color = clWindowText;
};

struct PrintPage {
  int Width = 0, Height = 0;            // printable area, printer pixels
  int ResolutionX = 0, ResolutionY = 0; // pixels per inch
  int OffsetX = 0, OffsetY = 0;         // printable area's distance from the paper's edge
};

struct PrintTextMetrics {
  int Height = 0;
  int ExternalLeading = 0;
  int AverageCharWidth = 0;
};

// The printer as the layout drives it. Coordinates are pixels of the printable area.
class PrinterCanvas {
public:
  virtual ~PrinterCanvas() = default;
  [[nodiscard]] virtual PrintPage Page() const = 0;
  [[nodiscard]] virtual PrintTextMetrics Metrics() const = 0; // of the current font
  [[nodiscard]] virtual int TextWidth(std::string_view text) const = 0;
  [[nodiscard]] virtual PrintFont Font() const = 0;
  virtual void SetFont(const PrintFont& font) = 0;
  [[nodiscard]] virtual ColorValue BrushColor() const = 0;
  virtual void SetBrushColor(ColorValue color) = 0;
  // One run of UTF-8 text in the current font, each character `advance` pixels after the
  // previous, clipped; a kSecondCell character is the blank half of the wide one before it.
  virtual void DrawRun(int x, int y, std::string_view text, int advance, const PixelRect& clip) = 0;
  virtual void BeginDoc(const std::string& title, int copies) = 0;
  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
  virtual void Abort() = 0;
};

// The texts the macros of header and footer lines stand for.
struct PrintMacroValues {
  int PageNumber = 0;
  std::string Title;
  std::string Date;
  std::string Time;
};

// "$pagenum$", "$title$", "$date$", "$time$", "$datetime$", "$timedate$" (names in any case,
// blanks around them ignored); "$$" is a dollar sign; an unknown name stands for itself in upper
// case. A macro without its closing "$" runs to the end of the text.
[[nodiscard]] std::string ExpandPrintMacros(std::string_view text, const PrintMacroValues& values);

// Prints the editor's text (or its selection, or a range) on `printer` in `font` as `options`
// say. `date` and `time` are the texts of the date and time macros.
void PrintEditorText(const TextEditor& editor, PrinterCanvas& printer, const PrintFont& font,
                     const PrintOptions& options, const PrintStatusEvent& onStatus, const std::string& date,
                     const std::string& time);
