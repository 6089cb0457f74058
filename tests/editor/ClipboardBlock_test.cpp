// The private clipboard block and the plain-text paste conversion.
#include "ClipboardBlock.h"

#include <gtest/gtest.h>

#include <random>

TEST(ClipboardBlock, BlocksRoundTripInEveryMode) {
  const std::string text = "int a;\r\n  b\xE4;\r\n";
  for (SelectionMode mode : {SelectionMode::Normal, SelectionMode::Column, SelectionMode::Line}) {
    const std::string data = EncodeClipboardBlock(mode, text);
    ASSERT_EQ(data.size(), text.size() + 2);
    EXPECT_EQ(data.front(), static_cast<char>(mode));
    EXPECT_EQ(data.back(), '\0');
    EXPECT_EQ(DecodeClipboardBlock(data), (ClipboardBlock{mode, text}));
  }
  EXPECT_EQ(DecodeClipboardBlock(EncodeClipboardBlock(SelectionMode::Column, "")),
            (ClipboardBlock{SelectionMode::Column, ""}));
}

TEST(ClipboardBlock, MalformedBlocksAreRefusedAndNulIsText) {
  EXPECT_FALSE(DecodeClipboardBlock(""));
  EXPECT_FALSE(DecodeClipboardBlock(std::string("\x03text\0", 6)));
  EXPECT_FALSE(DecodeClipboardBlock("\xFFtext"));
  EXPECT_EQ(DecodeClipboardBlock(std::string(1, '\0')), (ClipboardBlock{SelectionMode::Normal, ""}));
  EXPECT_EQ(DecodeClipboardBlock("\x02no terminator"),
            (ClipboardBlock{SelectionMode::Line, "no terminator"}));
  // NULs before the terminator are text.
  EXPECT_EQ(DecodeClipboardBlock(std::string("\x01"
                                             "ab\0cd\0",
                                             7)),
            (ClipboardBlock{SelectionMode::Column, std::string("ab\0cd", 5)}));

  std::mt19937 random(3);
  for (int i = 0; i < 5000; ++i) {
    std::string data(random() % 12, '\0');
    for (char& c : data)
      c = static_cast<char>(random() % 4); // modes, bad modes and NULs
    if (const auto block = DecodeClipboardBlock(data)) {
      EXPECT_LE(block->Mode, SelectionMode::Line);
      EXPECT_LT(block->Text.size(), data.size());
    }
  }
}

TEST(ClipboardBlock, PastedPlainTextGetsCrLfLinesAndFourColumnTabs) {
  EXPECT_EQ(ConvertPastedPlainText("one", false), "one\r\n");
  EXPECT_EQ(ConvertPastedPlainText("a\nb\rc\r\nd\r\n", false), "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(ConvertPastedPlainText("a\n\nb", false), "a\r\n\r\nb\r\n");
  EXPECT_EQ(ConvertPastedPlainText("\r\n", false), "\r\n");
  EXPECT_EQ(ConvertPastedPlainText("", false), "");
  EXPECT_EQ(ConvertPastedPlainText("\tx", false), "    x\r\n");
  EXPECT_EQ(ConvertPastedPlainText("abc\tx", false), "abc x\r\n");
  EXPECT_EQ(ConvertPastedPlainText("abcd\tx", false), "abcd    x\r\n");
  // Each tab reaches the next stop, also after an earlier tab; stops restart on every line.
  EXPECT_EQ(ConvertPastedPlainText("a\tb\tc\n\td", false), "a   b   c\r\n    d\r\n");
  EXPECT_EQ(ConvertPastedPlainText("a\tb\n\td", true), "a\tb\r\n\td\r\n");
}
