// Byte columns against UTF-16 columns, for lines that are valid UTF-8 and lines read as
// Windows-1252, checked on random lines against Qt's own decoders.
#include "CodePage.h"
#include "LineText.h"
#include "RandomText.h"
#include "TextEncoding.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

namespace {

bool QtReadsAsUtf8(const std::string& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decoder(QByteArray::fromStdString(bytes));
  return !decoder.hasError() && text.toUtf8().toStdString() == bytes;
}

// The byte index where the character holding byte `index` starts, the simple way: the longest
// prefix up to it that decodes on its own.
std::size_t CharacterStart(const std::string& line, std::size_t index) {
  if (!ReadsAsUtf8(line)) return index;
  while (index > 0 && (static_cast<unsigned char>(line[index]) & 0xC0) == 0x80)
    --index;
  return index;
}

} // namespace

TEST(LineText, ColumnsOfTabsAndCharactersOfEveryLength) {
  EXPECT_EQ(Utf16Column("\tint x;", 2), 1);
  // "é" is two bytes and one unit, "€" three bytes and one unit, "😀" four bytes and two units.
  const std::string line = "\t\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80x";
  EXPECT_EQ(Utf16Column(line, 2), 1);
  EXPECT_EQ(Utf16Column(line, 4), 2);
  EXPECT_EQ(Utf16Column(line, 7), 3);
  EXPECT_EQ(Utf16Column(line, 11), 5);
  EXPECT_EQ(Utf16Column(line, 12), 6);
  EXPECT_EQ(Utf16Column(line, 3), 1) << "inside a character: the character's column";
  EXPECT_EQ(ByteColumn(line, 4), 7) << "between the halves of a surrogate pair: the character's";
  EXPECT_EQ(ByteColumn(line, 5), 11);
  EXPECT_EQ(ByteColumn(line, 99), 12);
  EXPECT_EQ(Utf16Column(line, 99), 6);
  EXPECT_EQ(Utf16Column(line, -3), 0);
  EXPECT_EQ(ByteColumn(line, -3), 1);
  // One byte that is no UTF-8 makes the whole line Windows-1252: every byte one character.
  const std::string latin = "caf\xE9 \xC3\xA9 \x80";
  EXPECT_EQ(Utf16Column(latin, 8), 7);
  EXPECT_EQ(LineCharacters(latin), QString::fromUtf8("café Ã© €"));
}

TEST(LineText, RandomLinesAgreeWithQtsDecoders) {
  RandomText random(24);
  for (int round = 0; round < 3000; ++round) {
    const std::string line = random.Line(round % 2 == 0 ? 12 : 40); // long ones have long ASCII runs
    const bool utf8 = ReadsAsUtf8(line);
    ASSERT_EQ(utf8, QtReadsAsUtf8(line)) << round;
    const QString characters = LineCharacters(line);
    ASSERT_EQ(characters, utf8 ? QString::fromUtf8(QByteArray::fromStdString(line)) : BytesToQString(line));
    const int length = static_cast<int>(line.size());
    for (int column = 1; column <= length + 1; ++column) {
      const std::size_t start = column > length ? line.size() : CharacterStart(line, column - 1);
      const int expected =
          utf8 ? static_cast<int>(QString::fromUtf8(line.substr(0, start)).size()) : static_cast<int>(start);
      ASSERT_EQ(Utf16Column(line, column), expected) << round << " column " << column;
      ASSERT_EQ(ByteColumn(line, expected), static_cast<int>(start) + 1) << round << " column " << column;
    }
    for (int character = 0; character <= characters.size(); ++character) {
      const int column = ByteColumn(line, character);
      const bool splitsPair =
          character > 0 && character < characters.size() && characters[character].isLowSurrogate();
      ASSERT_EQ(Utf16Column(line, column), splitsPair ? character - 1 : character) << round;
    }
  }
}
