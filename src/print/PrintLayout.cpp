// The print layout: every character advances by the font's average width, so the printout keeps
// the columns of the source; a page holds as many lines as fit between header and footer.
#include "PrintLayout.h"

#include "EditorPainter.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>

namespace {

// a * b / c with a wide intermediate product, rounded to the nearest integer.
int MulDiv(int a, int b, int c) {
  if (c == 0) return 0;
  const std::int64_t product = static_cast<std::int64_t>(a) * b;
  const std::int64_t half = (product < 0) != (c < 0) ? -(std::abs(c) / 2) : std::abs(c) / 2;
  return static_cast<int>((product + half) / c);
}

std::string MacroName(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  std::string name(text);
  for (char& c : name)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

std::string MacroValue(const std::string& name, const PrintMacroValues& values) {
  if (name.empty()) return "$";
  if (name == "PAGENUM") return std::to_string(values.PageNumber);
  if (name == "TITLE") return values.Title;
  if (name == "TIME") return values.Time;
  if (name == "DATE") return values.Date;
  if (name == "DATETIME") return values.Date + " " + values.Time;
  if (name == "TIMEDATE") return values.Time + " " + values.Date;
  return name;
}

// The lines and columns to print, 1-based; a last column of 0 reaches to the line's end.
struct PrintedRange {
  int FirstColumn = 0, FirstLine = 1, LastColumn = 0, LastLine = 0;
  bool ColumnMode = false;
};

PrintedRange RangeToPrint(const TextEditor& editor, const PrintOptions& options) {
  if (options.SelectedOnly) {
    const TextPoint begin = editor.State().BlockBegin();
    const TextPoint end = editor.State().BlockEnd();
    if (editor.State().Mode() == SelectionMode::Line) return {0, begin.Y, 0, end.Y, false};
    if (editor.State().Mode() == SelectionMode::Column) {
      // A block dragged leftwards has its start right of its end; it is the same block.
      return {std::min(begin.X, end.X), begin.Y, std::max(begin.X, end.X) - 1, end.Y, true};
    }
    // A selection that ends before the first character of its last line holds none of it.
    if (end.X == 1 && end.Y > begin.Y) return {begin.X, begin.Y, 0, end.Y - 1, false};
    return {begin.X, begin.Y, end.X - 1, end.Y, false};
  }
  const PrintBox& range = options.PrintRange;
  if (!range.Zero()) return {range.Left, range.Top, range.Right, range.Bottom, false};
  return {0, 1, 0, editor.Document().LineCount(), false};
}

// A line as the screen shows it: tabs expanded, wide characters over two cells, with the screen
// column of each byte column.
class ShownLine {
public:
  ShownLine(const std::string& text, int tabWidth, TextEncoding encoding)
      : text_(text), cells_(ExpandCells(text, tabWidth, encoding).chars),
        columns_(DisplayColumns(text, tabWidth, encoding)) {}
  [[nodiscard]] const std::string& Text() const { return text_; }
  // The screen column of byte column `column` (1 ... the line's length + 1).
  [[nodiscard]] int Column(int column) const { return columns_[static_cast<std::size_t>(column - 1)]; }
  // Byte columns first ... last as they show, one character a cell, in UTF-8.
  [[nodiscard]] std::string Run(int first, int last) const {
    std::string run;
    for (int cell = Column(first) - 1; cell < Column(last + 1) - 1; ++cell)
      run += EncodeChar(cells_[static_cast<std::size_t>(cell)], TextEncoding::Utf8).value_or("?");
    return run;
  }

private:
  const std::string& text_;
  std::u32string cells_;
  std::vector<int> columns_;
};

class PrintJob {
public:
  PrintJob(const TextEditor& editor, PrinterCanvas& printer, const PrintOptions& options,
           const PrintStatusEvent& onStatus, PrintMacroValues macros)
      : editor_(editor), printer_(printer), options_(options), onStatus_(onStatus),
        macros_(std::move(macros)),
        highlighter_(options.Highlighted ? editor.Document().HighLighter() : nullptr),
        range_(RangeToPrint(editor, options)) {}

  void Run();

private:
  bool Aborted(PrintStatus status, int pageNumber);
  void MeasureMargins();
  bool LayOutPages();
  [[nodiscard]] bool PageFull() const;
  bool StartNextPage();
  void PrintLine(int line);
  void PrintTokens(const ShownLine& shown, int line, int firstColumn, int lastColumn);
  void PrintLines(const std::vector<HeaderLine>& lines);
  void PrintFooter();
  void RestoreFontAndBrush();
  [[nodiscard]] PixelRect LineClip() const { return {0, y_, page_.Width - margins_.Right, y_ + lineHeight_}; }

  const TextEditor& editor_;
  PrinterCanvas& printer_;
  const PrintOptions& options_;
  const PrintStatusEvent& onStatus_;
  PrintMacroValues macros_;
  Highlighter* highlighter_;
  PrintedRange range_;

  PrintPage page_;
  PrintBox margins_;
  int charWidth_ = 0;
  int lineHeight_ = 0;
  int y_ = 0;
  PrintFont baseFont_;
  ColorValue baseBrush_ = clNone;
};

bool PrintJob::Aborted(PrintStatus status, int pageNumber) {
  bool abort = false;
  if (onStatus_) onStatus_(status, pageNumber, abort);
  return abort;
}

void PrintJob::Run() {
  printer_.BeginDoc(options_.Title, options_.Copies);
  if (Aborted(psBegin, 0)) {
    printer_.Abort();
    bool ended = true;
    if (onStatus_) onStatus_(psEnd, 0, ended);
    return;
  }
  page_ = printer_.Page();
  MeasureMargins();
  const bool finished = LayOutPages();
  if (finished) printer_.EndDoc();
  bool aborted = !finished;
  if (onStatus_) onStatus_(psEnd, 0, aborted);
}

void PrintJob::MeasureMargins() {
  const PrintBox& m = options_.Margins;
  const bool inches = options_.MarginUnits == kMarginThousandthsOfAnInch;
  const auto horizontal = [&](int value) {
    return std::max(0, (inches ? MulDiv(value, page_.ResolutionX, 1000) : value) - page_.OffsetX);
  };
  const auto vertical = [&](int value) {
    return std::max(0, (inches ? MulDiv(value, page_.ResolutionY, 1000) : value) - page_.OffsetY);
  };
  margins_ = {horizontal(m.Left), vertical(m.Top), horizontal(m.Right), vertical(m.Bottom)};
}

bool PrintJob::LayOutPages() {
  macros_.PageNumber = 1;
  baseFont_ = printer_.Font();
  baseBrush_ = printer_.BrushColor();
  // Highlighted text may be bold or italic: the widest variant sets the grid.
  if (highlighter_ != nullptr) {
    PrintFont widest = baseFont_;
    widest.Style |= fsBold | fsItalic;
    printer_.SetFont(widest);
  }
  const PrintTextMetrics metrics = printer_.Metrics();
  printer_.SetFont(baseFont_);
  charWidth_ = metrics.AverageCharWidth;
  lineHeight_ = std::max(1, metrics.Height + metrics.ExternalLeading);

  y_ = margins_.Top;
  if (Aborted(psNewPage, macros_.PageNumber)) {
    printer_.Abort();
    return false;
  }
  PrintLines(options_.Header);
  const int lastLine = std::min(range_.LastLine, editor_.Document().LineCount());
  for (int line = std::max(1, range_.FirstLine); line <= lastLine; ++line) {
    PrintLine(line);
    y_ += lineHeight_;
    // No page is started for nothing after the last line.
    if (line < lastLine && PageFull() && !StartNextPage()) return false;
  }
  PrintFooter();
  return true;
}

bool PrintJob::PageFull() const {
  const int footerHeight = lineHeight_ * static_cast<int>(options_.Footer.size());
  return y_ + lineHeight_ + footerHeight > page_.Height - margins_.Bottom;
}

bool PrintJob::StartNextPage() {
  PrintFooter();
  printer_.NewPage();
  ++macros_.PageNumber;
  if (Aborted(psNewPage, macros_.PageNumber)) {
    printer_.Abort();
    return false;
  }
  y_ = margins_.Top;
  PrintLines(options_.Header);
  return true;
}

void PrintJob::PrintLine(int line) {
  const std::string& text = editor_.Document().LineText(line);
  const int length = static_cast<int>(text.size());
  const bool firstLine = line == range_.FirstLine;
  const bool lastLine = line == range_.LastLine;
  const int firstColumn =
      range_.ColumnMode || (firstLine && range_.FirstColumn > 0) ? std::max(1, range_.FirstColumn) : 1;
  const int lastColumn =
      range_.ColumnMode || (lastLine && range_.LastColumn > 0) ? std::min(length, range_.LastColumn) : length;
  if (length < firstColumn) return;

  const ShownLine shown(text, editor_.State().TabWidth(), editor_.State().Encoding());
  if (highlighter_ != nullptr) {
    PrintTokens(shown, line, firstColumn, lastColumn);
    return;
  }
  if (lastColumn < firstColumn) return;
  const int x = range_.ColumnMode || firstColumn == 1
                    ? margins_.Left
                    : margins_.Left + (shown.Column(firstColumn) - 1) * charWidth_;
  printer_.DrawRun(x, y_, shown.Run(firstColumn, lastColumn), charWidth_, LineClip());
}

void PrintJob::PrintTokens(const ShownLine& shown, int line, int firstColumn, int lastColumn) {
  const std::string& text = shown.Text();
  // Every line starts from the scanner state stored with it, so a line left out of a column
  // block cannot leave a comment open for the next.
  highlighter_->RestoreRange(editor_.Document().Ranges().At(line - 1));
  highlighter_->BeginLine(text, line - 1);
  // In a column block the block's first column lands on the margin.
  const int origin = margins_.Left - (range_.ColumnMode ? (shown.Column(firstColumn) - 1) * charWidth_ : 0);
  for (; !highlighter_->AtLineEnd(); highlighter_->NextToken()) {
    const int tokenFirst = highlighter_->TokenStart() + 1;
    const int tokenLast = tokenFirst + static_cast<int>(highlighter_->TokenLength()) - 1;
    const int from = std::max(tokenFirst, firstColumn);
    const int to = std::min(tokenLast, lastColumn);
    if (from > to) continue;
    if (const HighlightAttributes* attribute = highlighter_->TokenAttribute()) {
      PrintFont font = printer_.Font();
      font.Style = attribute->Style();
      if (!options_.Monochrome) {
        font.Color = attribute->Foreground() == clNone ? baseFont_.Color : attribute->Foreground();
        const ColorValue background = attribute->Background();
        printer_.SetBrushColor(background == clNone || background == editor_.Look().Color ? baseBrush_
                                                                                          : background);
      }
      printer_.SetFont(font);
    }
    printer_.DrawRun(origin + (shown.Column(from) - 1) * charWidth_, y_, shown.Run(from, to), charWidth_,
                     LineClip());
  }
  RestoreFontAndBrush();
}

void PrintJob::RestoreFontAndBrush() {
  printer_.SetFont(baseFont_);
  printer_.SetBrushColor(baseBrush_);
}

void PrintJob::PrintLines(const std::vector<HeaderLine>& lines) {
  for (const HeaderLine& line : lines) {
    const std::string text = ExpandPrintMacros(line.Text, macros_);
    const PixelRect clip = LineClip();
    const int width = printer_.TextWidth(text);
    int x = margins_.Left;
    if (line.Alignment == paRight) x = clip.Right - width;
    if (line.Alignment == paCenter) x = margins_.Left + (clip.Right - margins_.Left - width) / 2;
    printer_.DrawRun(x, y_, text, charWidth_, clip);
    y_ += lineHeight_;
  }
}

void PrintJob::PrintFooter() {
  y_ = page_.Height - margins_.Bottom - lineHeight_ * static_cast<int>(options_.Footer.size());
  PrintLines(options_.Footer);
}

} // namespace

std::string ExpandPrintMacros(std::string_view text, const PrintMacroValues& values) {
  std::string expanded;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t open = text.find('$', at);
    if (open == std::string_view::npos) {
      expanded += text.substr(at);
      break;
    }
    expanded += text.substr(at, open - at);
    const std::size_t close = text.find('$', open + 1);
    const std::size_t nameEnd = close == std::string_view::npos ? text.size() : close;
    expanded += MacroValue(MacroName(text.substr(open + 1, nameEnd - open - 1)), values);
    at = close == std::string_view::npos ? text.size() : close + 1;
  }
  return expanded;
}

void PrintEditorText(const TextEditor& editor, PrinterCanvas& printer, const PrintFont& font,
                     const PrintOptions& options, const PrintStatusEvent& onStatus, const std::string& date,
                     const std::string& time) {
  if (options.SelectedOnly && !editor.State().SelAvail()) return;
  printer.SetFont(font);
  PrintJob(editor, printer, options, onStatus, {0, options.Title, date, time}).Run();
}
