// The Print command's job on a real QPrinter writing PDF, read back with pdftotext: pages, the
// title on each, the page numbers, the text; and the command's fixed options.
#include "../editor/TextLines.h"
#include "QtPrinterCanvas.h"

#include "CppHighlighter.h"
#include "PdfText.h"
#include "TempDir.h"

#include <QPrinter>

#include <gtest/gtest.h>

namespace {

int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

TEST(Printing, PrintsEveryPageWithTitleAndNumberIntoAPdf) {
  TempDir dir;
  CppHighlighter highlighter;
  TextEditor editor;
  editor.Document().SetHighLighter(&highlighter);
  std::string source;
  for (int i = 1; i <= 130; ++i)
    source += "int value" + std::to_string(i) + " = " + std::to_string(i) + "; /* line */\r\n";
  editor.Document().Load(TextLines(source));

  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(dir.file("out.pdf")));
  QFont font("Courier New", 10);
  PrintSourceFile(editor, font, "/mods/game/g_main.c", printer);

  const std::string text = PdfText(dir.file("out.pdf"));
  ASSERT_FALSE(text.empty()) << "pdftotext gave nothing";
  const int pages = Count(text, "\f") + (text.back() == '\f' ? 0 : 1);
  EXPECT_GE(pages, 2);
  EXPECT_EQ(Count(text, "/mods/game/g_main.c"), pages);
  for (int page = 1; page <= pages; ++page)
    EXPECT_EQ(Count(text, "Page " + std::to_string(page) + "\n"), 1) << page;
  EXPECT_EQ(Count(text, "int value1 = 1; /* line */"), 1);
  EXPECT_EQ(Count(text, "int value130 = 130; /* line */"), 1);
  EXPECT_EQ(Count(text, "/* line */"), 130);
  editor.Document().SetHighLighter(nullptr);
}

TEST(Printing, TheCommandPrintsTheSelectionWhenThereIsOne) {
  TextEditor editor;
  editor.Document().Load(TextLines("one\r\ntwo\r\n"));
  EXPECT_FALSE(PrintCommandOptions(editor, "a.c").SelectedOnly);
  editor.State().SetBlockBegin({1, 1});
  editor.State().SetBlockEnd({3, 1});
  const PrintOptions options = PrintCommandOptions(editor, "a.c");
  EXPECT_TRUE(options.SelectedOnly);
  EXPECT_FALSE(options.Highlighted);
  EXPECT_TRUE(options.Monochrome);
  EXPECT_EQ(options.Title, "a.c");
  EXPECT_EQ(options.Margins.Left, 500);
  EXPECT_TRUE(options.PrintRange.Zero());
}

} // namespace
