// The editor painter: which rows and columns a damaged rectangle covers, the gutter, and the text
// area drawn as runs of equal attributes split at the selection.
#include "EditorPainter.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kBeyondLineEnd = INT_MAX / 4;
constexpr ColorValue kGlyphColor = 0x00FFFF;   // yellow
constexpr ColorValue kErrorColor = 0x0000FF;   // red
constexpr ColorValue kWarningColor = 0x0080FF; // orange

ColorValue AnnotationColor(const Annotation& annotation) {
  return annotation.kind == AnnotationKind::Error ? kErrorColor : kWarningColor;
}
constexpr ColorValue kGlyphText = 0x000080; // dark red
constexpr ColorValue kFoldColor = 0x808080; // grey

struct Colors {
  ColorValue fg;
  ColorValue bg;
  bool operator==(const Colors&) const = default;
};

// A stretch of display columns [first, last) drawn with one style and one pair of colours.
struct Run {
  int first = 0;
  int last = 0;
  FontStyles style = 0;
  Colors colors{};
  bool blanksOnly = true;
};

class Painter {
public:
  Painter(const TextEditor& editor, Canvas& canvas, const PixelRect& clip, const PaintContext& context)
      : editor_(editor), document_(editor.Document()), state_(editor.State()), geometry_(editor.Geometry()),
        look_(editor.Look()), canvas_(canvas), clip_(clip), context_(context),
        lineHeight_(geometry_.LineHeight()), charWidth_(geometry_.CharWidth()),
        gutterWidth_(geometry_.GutterWidth()), textStart_(gutterWidth_ + 2), rows_(geometry_.Rows()),
        topRow_(geometry_.TopRow()) {
    firstRow_ = std::max(topRow_ + clip.Top / lineHeight_, topRow_);
    lastRow_ = std::min(topRow_ + (clip.Bottom + lineHeight_ - 1) / lineHeight_, geometry_.RowCount());
    const int left = std::max(clip.Left, textStart_);
    firstColumn_ = geometry_.LeftChar() + (left - textStart_) / charWidth_;
    lastColumn_ = firstColumn_ + (clip.Right - left + charWidth_ - 1) / charWidth_;
  }

  void Paint() {
    if (clip_.Left < gutterWidth_) PaintGutter();
    if (clip_.Right > gutterWidth_) PaintText();
  }

private:
  [[nodiscard]] int RowTop(int line) const { return (rows_.RowOf(line) - topRow_) * lineHeight_; }
  // The top pixel of the row below the last one painted.
  [[nodiscard]] int BelowRows() const { return std::max((lastRow_ + 1 - topRow_) * lineHeight_, clip_.Top); }
  // Calls `paint` with each line on the rows painted, top to bottom.
  template <typename Paint> void ForEachLine(Paint paint) {
    for (int row = firstRow_; row <= lastRow_; ++row)
      paint(rows_.LineOf(row));
  }
  [[nodiscard]] int ColumnX(int column) const {
    return textStart_ + (column - geometry_.LeftChar()) * charWidth_;
  }

  void PaintGutter() {
    const GutterLayout& gutter = editor_.Gutter();
    const PixelRect gutterClip{clip_.Left, clip_.Top, std::min(clip_.Right, gutterWidth_), clip_.Bottom};
    if (gutter.ShowLineNumbers()) {
      const FontStyles style = gutter.UseFontStyle() ? context_.fontStyle : 0;
      ForEachLine([&](int line) {
        canvas_.FillRect({0, RowTop(line), gutterWidth_, RowTop(line) + lineHeight_}, gutter.Color());
        canvas_.DrawCells(gutter.LeftOffset(), RowTop(line),
                          gutter.FormatLineNumber(line, document_.LineCount()), style, look_.FontColor,
                          clNone, gutterClip);
      });
      canvas_.FillRect({0, BelowRows(), gutterWidth_, clip_.Bottom}, gutter.Color());
    } else {
      canvas_.FillRect(gutterClip, gutter.Color());
    }
    if (editor_.BookMarkOptions().GlyphsVisible())
      ForEachLine([&](int line) { PaintMarks(line, gutterClip); });
    if (!editor_.Annotations().Empty()) ForEachLine([&](int line) { PaintAnnotationMark(line); });
    if (gutter.ShowFolds()) ForEachLine([&](int line) { PaintFoldToggle(line); });
    if (clip_.Right >= gutterWidth_ - 2 && gutterWidth_ >= 2) {
      canvas_.VerticalLine(gutterWidth_ - 2, clip_.Top, clip_.Bottom, clBtnHighlight);
      canvas_.VerticalLine(gutterWidth_ - 1, clip_.Top, clip_.Bottom, clBtnShadow);
    }
  }

  // The built-in glyphs: a framed box with the bookmark's number, one per mark on the line.
  void PaintMarks(int line, const PixelRect& gutterClip) {
    const BookmarkOptions& options = editor_.BookMarkOptions();
    int x = options.LeftMargin();
    for (const Mark* mark : document_.Marks().MarksOnLine(line)) {
      if (mark->Visible()) {
        const int top = RowTop(line);
        const PixelRect box{x, top + 1, x + charWidth_ + 3, top + lineHeight_ - 1};
        canvas_.FillRect(box, clBtnShadow);
        canvas_.FillRect({box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1}, kGlyphColor);
        const std::string digit(1, static_cast<char>('0' + (mark->ImageIndex() % 10 + 10) % 10));
        canvas_.DrawCells(x + 2, top, digit, fsBold, kGlyphText, kGlyphColor, gutterClip);
      }
      x += options.Xoffset();
    }
  }

  // A boxed minus beside a range that folds, a boxed plus beside a folded one.
  void PaintFoldToggle(int line) {
    if (!editor_.Foldable().AtHeader(line)) return;
    const int width = editor_.Gutter().FoldColumnWidth(charWidth_);
    const int size = std::max((std::min(width, lineHeight_) * 2 / 3) | 1, 5);
    const int left = gutterWidth_ - 2 - width + (width - size) / 2;
    const int top = RowTop(line) + (lineHeight_ - size) / 2;
    const int middle = size / 2;
    canvas_.FillRect({left, top, left + size, top + size}, kFoldColor);
    canvas_.FillRect({left + 1, top + 1, left + size - 1, top + size - 1}, clWindow);
    canvas_.FillRect({left + 2, top + middle, left + size - 2, top + middle + 1}, kFoldColor);
    if (editor_.Folds().IsFolded(line))
      canvas_.FillRect({left + middle, top + 2, left + middle + 1, top + size - 2}, kFoldColor);
  }

  // A square at the gutter's left edge in the colour of the line's worst message.
  void PaintAnnotationMark(int line) {
    const std::vector<const Annotation*> found = editor_.Annotations().OnLine(line);
    if (found.empty()) return;
    const int size = std::max(4, lineHeight_ / 2), top = RowTop(line) + (lineHeight_ - size) / 2;
    canvas_.FillRect({1, top, 1 + size, top + size}, AnnotationColor(*found.front()));
  }

  // Each message's range wavy-underlined; a message of a whole line underlines its text.
  void PaintAnnotationRanges(int line, const std::string& raw, int displayEnd) {
    const int tabWidth = state_.TabWidth();
    const int bottom = RowTop(line) + lineHeight_;
    for (const Annotation* annotation : editor_.Annotations().OnLine(line)) {
      int first = DisplayColumn(raw, tabWidth, annotation->firstColumn, state_.Encoding());
      int last = DisplayColumn(raw, tabWidth, annotation->lastColumn, state_.Encoding());
      if (annotation->firstColumn == annotation->lastColumn) {
        // No range: a whole line's message underlines its text, another the one cell.
        const std::size_t text = raw.find_first_not_of(" \t");
        if (annotation->firstColumn == 1 && text != std::string::npos) {
          first = DisplayColumn(raw, tabWidth, 1 + static_cast<int>(text), state_.Encoding());
          last = displayEnd;
        } else {
          last = first + 1;
        }
      }
      const int left = std::max(ColumnX(first), textClip_.Left);
      const int right = std::min(ColumnX(last), clip_.Right);
      if (left < right) canvas_.WavyLine(left, right, bottom, AnnotationColor(*annotation));
    }
  }

  void PaintText() {
    background_ = look_.Color;
    if (Highlighter* highLighter = document_.HighLighter())
      if (const HighlightAttributes* blank = highLighter->DefaultAttribute(0))
        if (blank->Background() != clNone) background_ = blank->Background();
    textClip_ = {std::max(clip_.Left, textStart_), clip_.Top, clip_.Right, clip_.Bottom};
    if (clip_.Left < textStart_)
      canvas_.FillRect({std::max(clip_.Left, gutterWidth_), clip_.Top, textStart_, clip_.Bottom},
                       background_);
    FindSelection();
    brackets_ = editor_.MatchedBrackets();
    ForEachLine([&](int line) { PaintRow(line); });
    const int below = BelowRows();
    if (below < clip_.Bottom) {
      canvas_.FillRect({textClip_.Left, below, clip_.Right, clip_.Bottom}, background_);
      PaintRightEdge(below, clip_.Bottom);
    }
  }

  void PaintRightEdge(int top, int bottom) {
    if (look_.RightEdge <= 0) return;
    const int x = ColumnX(look_.RightEdge + 1);
    if (x >= textClip_.Left && x < clip_.Right) canvas_.VerticalLine(x, top, bottom, look_.RightEdgeColor);
  }

  void FindSelection() {
    hasSelection_ = !(look_.HideSelection && !context_.focused) &&
                    state_.SelectionAnchor() != state_.SelectionMovingEnd();
    if (!hasSelection_) return;
    selBegin_ = state_.BlockBegin();
    selEnd_ = state_.BlockEnd();
  }

  // The selected display columns [first, last) of a row; empty when none.
  [[nodiscard]] std::pair<int, int> SelectedColumns(int line, const std::string& text) const {
    if (!hasSelection_ || line < selBegin_.Y || line > selEnd_.Y) return {0, 0};
    const int tabWidth = state_.TabWidth();
    const TextEncoding encoding = state_.Encoding();
    switch (state_.Mode()) {
    case SelectionMode::Line: return {1, kBeyondLineEnd};
    case SelectionMode::Column: {
      const auto [first, last] = state_.ColumnBlockOn(line);
      return {DisplayColumn(text, tabWidth, first, encoding), DisplayColumn(text, tabWidth, last, encoding)};
    }
    case SelectionMode::Normal: break;
    }
    const int first = line == selBegin_.Y ? DisplayColumn(text, tabWidth, selBegin_.X, encoding) : 1;
    const int last = line == selEnd_.Y ? DisplayColumn(text, tabWidth, selEnd_.X, encoding) : kBeyondLineEnd;
    return {first, last};
  }

  void PaintRow(int line) {
    const std::string& raw = document_.LineText(line);
    const DisplayCells cells = ExpandCells(raw, state_.TabWidth(), state_.Encoding());
    const std::string& display = cells.bytes;
    row_ = {line, &cells.chars, SelectedColumns(line, raw), {look_.FontColor, background_}, false};
    if (editor_.Events.OnSpecialLineColors)
      editor_.Events.OnSpecialLineColors(line, row_.special, row_.colors.fg, row_.colors.bg);
    const int displayEnd = static_cast<int>(display.size()) + 1;
    // The row's background first; runs then fill only cells of another colour.
    const int top = RowTop(line);
    canvas_.FillRect({textClip_.Left, top, clip_.Right, top + lineHeight_}, row_.colors.bg);
    if (Highlighter* highLighter = document_.HighLighter())
      PaintTokens(*highLighter, line, display);
    else
      DrawRun({1, displayEnd, context_.fontStyle, row_.colors, false});
    // A selection reaching past the line end shows in the rest of the row.
    const int restColumn = std::max(displayEnd, firstColumn_);
    if (row_.selection.first < row_.selection.second && row_.selection.second > restColumn)
      Fill(std::max(restColumn, row_.selection.first), std::min(row_.selection.second, lastColumn_ + 1), top,
           SelectedColors().bg);
    if (brackets_)
      for (const TextPoint bracket : {brackets_->bracket, brackets_->match})
        if (bracket.Y == line)
          PaintMatchedBracket(DisplayColumn(raw, state_.TabWidth(), bracket.X, state_.Encoding()));
    if (!editor_.Annotations().Empty()) PaintAnnotationRanges(line, raw, displayEnd);
    if (!editor_.Folds().Empty() && editor_.Folds().IsFolded(line)) PaintFoldMarker(displayEnd + 1, top);
    PaintRightEdge(top, top + lineHeight_);
  }

  // A framed "..." after a folded header's text, and a line under its row.
  void PaintFoldMarker(int column, int top) {
    static constexpr std::u32string_view kMarker = U"...";
    const int left = ColumnX(column);
    const int right = ColumnX(column + static_cast<int>(kMarker.size()));
    canvas_.FillRect({left - 1, top, right + 1, top + lineHeight_ - 1}, kFoldColor);
    canvas_.FillRect({left, top + 1, right, top + lineHeight_ - 2}, row_.colors.bg);
    canvas_.DrawChars(left, top, kMarker, context_.fontStyle, kFoldColor, clNone, textClip_);
    canvas_.FillRect({textClip_.Left, top + lineHeight_ - 1, clip_.Right, top + lineHeight_}, kFoldColor);
  }

  void PaintMatchedBracket(int column) {
    if (column < firstColumn_ || column > lastColumn_) return;
    const std::u32string& chars = *row_.chars;
    canvas_.DrawChars(ColumnX(column), RowTop(row_.line),
                      std::u32string_view(chars).substr(static_cast<std::size_t>(column - 1), 1),
                      context_.fontStyle, row_.colors.fg, look_.MatchedBracketColor, textClip_);
  }

  void Fill(int firstColumn, int lastColumn, int top, ColorValue color) {
    const int left = std::max(ColumnX(firstColumn), textClip_.Left);
    const int right = std::min(ColumnX(lastColumn), clip_.Right);
    if (left < right) canvas_.FillRect({left, top, right, top + lineHeight_}, color);
  }

  void PaintTokens(Highlighter& highLighter, int line, const std::string& display) {
    highLighter.RestoreRange(document_.Ranges().At(line - 1));
    highLighter.BeginLine(display, line - 1);
    Run run;
    bool haveRun = false;
    for (; !highLighter.AtLineEnd(); highLighter.NextToken()) {
      const int first = highLighter.TokenStart() + 1;
      const int last = first + static_cast<int>(highLighter.TokenLength());
      if (last <= firstColumn_) continue;
      if (first > lastColumn_) break;
      Run token = TokenRun(highLighter.TokenAttribute(), first, last, display);
      if (haveRun && run.last == first && Mergeable(run, token)) {
        if (run.blanksOnly && !token.blanksOnly) {
          run.style = token.style;
          run.colors.fg = token.colors.fg;
        }
        run.last = last;
        run.blanksOnly = run.blanksOnly && token.blanksOnly;
        continue;
      }
      if (haveRun) DrawRun(run);
      run = token;
      haveRun = true;
    }
    if (haveRun) DrawRun(run);
  }

  [[nodiscard]] static bool Mergeable(const Run& a, const Run& b) {
    if (a.colors.bg != b.colors.bg) return false;
    return a.blanksOnly || b.blanksOnly || (a.style == b.style && a.colors.fg == b.colors.fg);
  }

  [[nodiscard]] Run TokenRun(const HighlightAttributes* attribute, int first, int last,
                             const std::string& display) const {
    Run run{first, last, context_.fontStyle, row_.colors, true};
    for (int i = first - 1; i < last - 1 && run.blanksOnly; ++i)
      run.blanksOnly = display[static_cast<std::size_t>(i)] == ' ';
    if (!attribute) return run;
    run.style = attribute->Style();
    if (!row_.special) {
      if (attribute->Foreground() != clNone) run.colors.fg = attribute->Foreground();
      if (attribute->Background() != clNone) run.colors.bg = attribute->Background();
    }
    return run;
  }

  [[nodiscard]] Colors SelectedColors() const {
    if (row_.special) return {row_.colors.bg, row_.colors.fg};
    return {look_.SelectedForeground, look_.SelectedBackground};
  }

  // Draws a run in up to three pieces: before, inside and after the selected columns.
  void DrawRun(const Run& run) {
    const int first = std::max(run.first, firstColumn_);
    const int last = std::min(run.last, lastColumn_ + 1);
    if (first >= last) return;
    const int selFirst = std::clamp(row_.selection.first, first, last);
    const int selLast = std::clamp(row_.selection.second, selFirst, last);
    DrawPiece(first, selFirst, run.style, run.colors);
    DrawPiece(selFirst, selLast, run.style, SelectedColors());
    DrawPiece(selLast, last, run.style, run.colors);
  }

  void DrawPiece(int first, int last, FontStyles style, Colors colors) {
    if (first >= last) return;
    const std::u32string& chars = *row_.chars;
    const std::size_t from = static_cast<std::size_t>(first - 1);
    if (from >= chars.size()) return;
    const std::size_t count = std::min(static_cast<std::size_t>(last - first), chars.size() - from);
    canvas_.DrawChars(ColumnX(first), RowTop(row_.line), std::u32string_view(chars).substr(from, count),
                      style, colors.fg, colors.bg == row_.colors.bg ? clNone : colors.bg, textClip_);
  }

  struct Row {
    int line = 0;
    const std::u32string* chars = nullptr;
    std::pair<int, int> selection{0, 0};
    Colors colors{};
    bool special = false;
  };

  const TextEditor& editor_;
  const TextDocument& document_;
  const EditState& state_;
  const ViewGeometry& geometry_;
  const EditorLook& look_;
  Canvas& canvas_;
  PixelRect clip_;
  PixelRect textClip_;
  PaintContext context_;
  int lineHeight_;
  int charWidth_;
  int gutterWidth_;
  int textStart_;
  const RowMap& rows_;
  int topRow_;
  int firstRow_ = 0;
  int lastRow_ = 0;
  int firstColumn_ = 0;
  int lastColumn_ = 0;
  ColorValue background_ = clWindow;
  bool hasSelection_ = false;
  TextPoint selBegin_;
  TextPoint selEnd_;
  std::optional<TextEditor::BracketPair> brackets_;
  Row row_;
};

} // namespace

void Canvas::DrawCells(int x, int y, std::string_view text, FontStyles style, ColorValue fg, ColorValue bg,
                       const PixelRect& clip) {
  DrawChars(x, y, ExpandCells(text, 1, TextEncoding::Windows1252).chars, style, fg, bg, clip);
}

DisplayCells ExpandCells(std::string_view line, int tabWidth, TextEncoding encoding) {
  DisplayCells cells;
  cells.bytes.reserve(line.size() + 16);
  cells.chars.reserve(line.size() + 16);
  for (std::size_t i = 0; i < line.size(); i += static_cast<std::size_t>(CharLength(line, i, encoding))) {
    if (line[i] != '\t') {
      const char32_t code = CharCode(line, i, encoding);
      cells.bytes += line[i];
      cells.chars += code;
      if (code >= 0x80 && CharCells(code) == 2) {
        cells.bytes += ' ';
        cells.chars += kSecondCell;
      }
      continue;
    }
    const std::size_t width = tabWidth <= 1 ? 1
                                            : static_cast<std::size_t>(tabWidth) -
                                                  cells.bytes.size() % static_cast<std::size_t>(tabWidth);
    cells.bytes.append(width, ' ');
    cells.chars.append(width, U' ');
  }
  return cells;
}

void PaintEditor(const TextEditor& editor, Canvas& canvas, const PixelRect& clip,
                 const PaintContext& context) {
  Painter(editor, canvas, clip, context).Paint();
}
