// The print layout on a recording printer: pages, header and footer, selections in each mode,
// margins against the printable offset, highlighted runs, aborting, and the macros.
#include "../editor/TextLines.h"
#include "PrintLayout.h"

#include "../editor/TestHighlighter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct PrintedRun {
  int page, x, y;
  std::string text;
  FontStyles style;
  ColorValue color;
};

// Characters 5 pixels wide, lines 10 high; 100 pixels per inch.
class RecordingPrinter : public PrinterCanvas {
public:
  PrintPage page{800, 745, 100, 100, 0, 0};
  std::vector<PrintedRun> runs;
  int pages = 0;
  bool ended = false, aborted = false;
  std::string title;
  int copies = 0;

  PrintPage Page() const override { return page; }
  PrintTextMetrics Metrics() const override { return {font_.Style & fsBold ? 9 : 8, 2, 5}; }
  int TextWidth(std::string_view text) const override { return 5 * static_cast<int>(text.size()); }
  PrintFont Font() const override { return font_; }
  void SetFont(const PrintFont& font) override { font_ = font; }
  ColorValue BrushColor() const override { return brush_; }
  void SetBrushColor(ColorValue color) override { brush_ = color; }
  void DrawRun(int x, int y, std::string_view text, int advance, const PixelRect&) override {
    EXPECT_EQ(advance, 5);
    runs.push_back({pages, x, y, std::string(text), font_.Style, font_.Color});
  }
  void BeginDoc(const std::string& jobTitle, int jobCopies) override {
    title = jobTitle;
    copies = jobCopies;
    pages = 1;
  }
  void NewPage() override { ++pages; }
  void EndDoc() override { ended = true; }
  void Abort() override { aborted = true; }

  // The runs of page `number` inside the text area (not header or footer), in order.
  std::vector<PrintedRun> Body(int number) const {
    std::vector<PrintedRun> body;
    for (const PrintedRun& run : runs)
      if (run.page == number && run.y >= 70 && run.y < 675) body.push_back(run);
    return body;
  }

private:
  PrintFont font_;
  ColorValue brush_ = 0x00FFFFFF;
};

PrintOptions CommandOptions(const std::string& title) {
  PrintOptions options;
  options.Monochrome = true;
  options.Margins = {500, 500, 500, 500};
  options.Title = title;
  options.Header = {{"$title$", paCenter}, {"", paLeft}};
  options.Footer = {{"", paLeft}, {"Page $pagenum$", paRight}};
  return options;
}

std::string NumberedLines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i)
    text += "line " + std::to_string(i) + "\r\n";
  return text;
}

class PrintTest : public ::testing::Test {
protected:
  TextEditor editor;
  RecordingPrinter printer;
  PrintFont font{"Courier New", 10, 0, clWindowText};

  void Print(const PrintOptions& options, const PrintStatusEvent& onStatus = {}) {
    PrintEditorText(editor, printer, font, options, onStatus, "08/12/2026", "04:00:00");
  }
  std::vector<std::string> Texts(const std::vector<PrintedRun>& runs) const {
    std::vector<std::string> texts;
    for (const PrintedRun& run : runs)
      texts.push_back(run.text);
    return texts;
  }
};

TEST_F(PrintTest, PagesCarryTheTitleOnTopAndTheirNumberAtTheBottomRight) {
  // Half-inch margins of 50 pixels; 60 lines of 10 pixels fit between header and footer.
  editor.Document().Load(TextLines(NumberedLines(130)));
  Print(CommandOptions("/mods/game/g_main.c"));

  EXPECT_EQ(printer.title, "/mods/game/g_main.c");
  EXPECT_EQ(printer.copies, 1);
  EXPECT_EQ(printer.pages, 3);
  EXPECT_TRUE(printer.ended);
  for (int page = 1; page <= 3; ++page) {
    std::vector<PrintedRun> onPage;
    for (const PrintedRun& run : printer.runs)
      if (run.page == page) onPage.push_back(run);
    ASSERT_GE(onPage.size(), 4u);
    EXPECT_EQ(onPage.front().text, "/mods/game/g_main.c");
    EXPECT_EQ(onPage.front().y, 50);
    EXPECT_EQ(onPage.front().x, 50 + (750 - 50 - 5 * 19) / 2); // centred between the margins
    EXPECT_EQ(onPage.back().text, "Page " + std::to_string(page));
    EXPECT_EQ(onPage.back().x, 750 - 5 * 6); // right edge at the right margin
    EXPECT_EQ(onPage.back().y, 745 - 50 - 10);
  }
  EXPECT_EQ(printer.Body(1).size(), 60u);
  EXPECT_EQ(printer.Body(1).front().text, "line 1");
  EXPECT_EQ(printer.Body(2).front().text, "line 61");
  EXPECT_EQ(printer.Body(3).size(), 10u);
  EXPECT_EQ(printer.Body(3).back().text, "line 130");
}

TEST_F(PrintTest, AFullLastPageIsNotFollowedByAnEmptyOne) {
  editor.Document().Load(TextLines(NumberedLines(120)));
  Print(CommandOptions("t"));
  EXPECT_EQ(printer.pages, 2);
  EXPECT_EQ(printer.runs.back().text, "Page 2");
}

TEST_F(PrintTest, TabsPrintAsBlanksToTheNextStopLikeTheScreen) {
  editor.State().SetTabWidth(4);
  editor.Document().Load({"\tint\ta;", "ab\tc"});
  PrintOptions options = CommandOptions("t");
  Print(options);
  EXPECT_EQ(Texts(printer.Body(1)), (std::vector<std::string>{"    int a;", "ab  c"}));

  // Highlighted, every token lands in its screen column.
  TestHighlighter highlighter;
  editor.Document().SetHighLighter(&highlighter);
  options.Highlighted = true;
  printer.runs.clear();
  Print(options);
  std::string line;
  for (const PrintedRun& run : printer.Body(1))
    if (run.y == printer.Body(1).front().y) {
      line.resize(std::max(line.size(), static_cast<std::size_t>((run.x - 50) / 5) + run.text.size()), ' ');
      line.replace(static_cast<std::size_t>((run.x - 50) / 5), run.text.size(), run.text);
    }
  EXPECT_EQ(line, "    int a;");
  editor.Document().SetHighLighter(nullptr);
}

TEST_F(PrintTest, SelectionsPrintWhatTheyCoverInEachMode) {
  std::string text;
  for (int i = 1; i <= 14; ++i)
    text += "abcdefghijklmn\r\n";
  editor.Document().Load(TextLines(text));
  PrintOptions options = CommandOptions("t");
  options.SelectedOnly = true;

  editor.State().SetBlockBegin({5, 10});
  editor.State().SetBlockEnd({8, 12});
  Print(options);
  std::vector<PrintedRun> body = printer.Body(1);
  EXPECT_EQ(Texts(body), (std::vector<std::string>{"efghijklmn", "abcdefghijklmn", "abcdefg"}));
  EXPECT_EQ(body[0].x, 50 + 4 * 5); // at its natural column
  EXPECT_EQ(body[2].x, 50);

  printer.runs.clear();
  editor.State().SetMode(SelectionMode::Column);
  editor.State().SetBlockBegin({9, 2});
  editor.State().SetBlockEnd({5, 4}); // dragged leftwards: the same block
  Print(options);
  body = printer.Body(1);
  EXPECT_EQ(Texts(body), (std::vector<std::string>(3, "efgh")));
  for (const PrintedRun& run : body)
    EXPECT_EQ(run.x, 50);

  printer.runs.clear();
  editor.State().SetMode(SelectionMode::Line);
  editor.State().SetBlockBegin({3, 6});
  editor.State().SetBlockEnd({2, 7});
  Print(options);
  EXPECT_EQ(Texts(printer.Body(1)), (std::vector<std::string>(2, "abcdefghijklmn")));

  // A stream selection ending before the first character of a line holds none of that line.
  printer.runs.clear();
  editor.State().SetMode(SelectionMode::Normal);
  editor.State().SetBlockBegin({1, 1});
  editor.State().SetBlockEnd({1, 3});
  Print(options);
  EXPECT_EQ(printer.Body(1).size(), 2u);

  // Without a selection nothing is printed at all.
  printer = RecordingPrinter();
  editor.State().SetBlockBegin({1, 1});
  Print(options);
  EXPECT_EQ(printer.pages, 0);
}

TEST_F(PrintTest, MarginsAreMeasuredFromThePaperEdge) {
  editor.Document().Load(TextLines("x\r\n"));
  printer.page.OffsetX = 25; // the printable area starts a quarter inch in
  printer.page.OffsetY = 10;
  Print(CommandOptions("t"));
  const std::vector<PrintedRun>& runs = printer.runs;
  const auto body =
      std::find_if(runs.begin(), runs.end(), [](const PrintedRun& run) { return run.text == "x"; });
  ASSERT_NE(body, runs.end());
  EXPECT_EQ(body->x, 25);
  EXPECT_EQ(body->y, 40 + 2 * 10);
}

TEST_F(PrintTest, MonochromeKeepsTheStylesButNotTheColours) {
  TestHighlighter highlighter;
  editor.Document().SetHighLighter(&highlighter);
  editor.Document().Load(TextLines("int x /* a\r\nint */ int\r\n"));
  PrintOptions options = CommandOptions("t");
  options.Highlighted = true;
  Print(options);
  std::vector<PrintedRun> body = printer.Body(1);
  std::erase_if(body, [](const PrintedRun& r) { return r.text.empty(); }); // the footer's blank line
  const auto run = [&](const std::string& text) {
    return *std::find_if(body.begin(), body.end(), [&](const PrintedRun& r) { return r.text == text; });
  };
  ASSERT_EQ(body.front().text, "int");
  EXPECT_EQ(body.front().style, fsBold);
  EXPECT_EQ(body.front().color, clWindowText);
  // The second line starts inside the comment opened on the first.
  EXPECT_EQ(run("int */").style, 0);
  EXPECT_EQ(body.back().text, "int");
  EXPECT_EQ(body.back().style, fsBold);
  // The grid is measured with bold and italic: lines are 11 pixels apart here.
  EXPECT_EQ(body.back().y - body.front().y, 11);

  printer.runs.clear();
  options.Monochrome = false;
  Print(options);
  const auto keyword = std::find_if(printer.runs.begin(), printer.runs.end(),
                                    [](const PrintedRun& run) { return run.text == "int"; });
  ASSERT_NE(keyword, printer.runs.end());
  EXPECT_EQ(keyword->color, 0x00FF0000u);
  EXPECT_EQ(printer.runs.back().color, clWindowText); // the footer is in the font's own colour
  editor.Document().SetHighLighter(nullptr);
}

// A line prints as the screen shows it: in UTF-8 whatever the file's encoding, a wide character
// over two cells, the highlighter's tokens where they stand on screen.
TEST_F(PrintTest, LinesPrintAsTheirCharactersInTheirCells) {
  TestHighlighter highlighter;
  editor.Document().SetHighLighter(&highlighter);
  editor.State().SetOptions(kDesktopEditorOptions);
  PrintOptions options = CommandOptions("t");
  options.Highlighted = true;
  editor.Document().Load(TextLines("\xC3\xA9\xE4\xB8\xAD int\r\n"));
  const auto body = [&] {
    std::vector<PrintedRun> runs = printer.Body(1);
    std::erase_if(runs, [](const PrintedRun& r) { return r.text.empty(); }); // the footer's blank line
    std::vector<std::string> shown;
    for (const PrintedRun& run : runs)
      shown.push_back(std::to_string(run.x) + ":" + run.text);
    return shown;
  };
  Print(options);
  // é, the wide character and a blank take four cells before the keyword.
  EXPECT_EQ(body(),
            (std::vector<std::string>{"50:\xC3\xA9", "55:\xE4\xB8\xAD\xEF\xBF\xBF", "65: ", "70:int"}));
  printer.runs.clear();
  options.Highlighted = false;
  editor.Document().Load(TextLines("caf\xE9\r\n"));
  Print(options);
  EXPECT_EQ(body(), std::vector<std::string>{"50:caf\xC3\xA9"});
  editor.Document().SetHighLighter(nullptr);
}

TEST_F(PrintTest, AnAbortStopsTheDocument) {
  editor.Document().Load(TextLines(NumberedLines(130)));
  std::vector<std::pair<PrintStatus, int>> reports;
  bool abortedAtEnd = false;
  Print(CommandOptions("t"), [&](PrintStatus status, int page, bool& abort) {
    reports.emplace_back(status, page);
    if (status == psEnd) abortedAtEnd = abort;
    if (status == psNewPage && page == 2) abort = true;
  });
  EXPECT_TRUE(printer.aborted);
  EXPECT_FALSE(printer.ended);
  EXPECT_TRUE(abortedAtEnd);
  EXPECT_EQ(reports, (std::vector<std::pair<PrintStatus, int>>{
                         {psBegin, 0}, {psNewPage, 1}, {psNewPage, 2}, {psEnd, 0}}));
}

TEST(ExpandPrintMacros, ReplacesKnownNamesInAnyCase) {
  const PrintMacroValues values{7, "/mods/g_main.c", "08/12/2026", "04:00:00"};
  EXPECT_EQ(ExpandPrintMacros("$date$ - $title$", values), "08/12/2026 - /mods/g_main.c");
  EXPECT_EQ(ExpandPrintMacros("Page $ PageNum $", values), "Page 7");
  EXPECT_EQ(ExpandPrintMacros("$DateTime$|$timedate$", values), "08/12/2026 04:00:00|04:00:00 08/12/2026");
  EXPECT_EQ(ExpandPrintMacros("$foo$", values), "FOO");
  EXPECT_EQ(ExpandPrintMacros("100$$", values), "100$");
  EXPECT_EQ(ExpandPrintMacros("at $time", values), "at 04:00:00");
  EXPECT_EQ(ExpandPrintMacros("", values), "");
}

} // namespace
