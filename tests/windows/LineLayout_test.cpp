// Files written back as they were read: byte for byte without edits, and after edits with every
// untouched line keeping its own line end.
#include "LineLayout.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace {

std::string RoundTrip(const std::string& bytes) {
  std::vector<std::string> lines;
  return LineLayout::Read(bytes, lines).Write(lines);
}

// Text made of the bytes files hold: tabs, blanks at line ends, NUL, high bytes and every line
// end, with or without a final one.
std::string RandomText(std::mt19937& random, int length) {
  static const std::string alphabet = std::string("ab \t{}\x80\xff", 8) + std::string(1, '\0');
  static const char* const ends[] = {"\n", "\r\n", "\r"};
  std::string text;
  for (int i = 0; i < length; ++i)
    text += random() % 6 == 0 ? ends[random() % 3] : std::string(1, alphabet[random() % alphabet.size()]);
  return text;
}

struct Line {
  std::string text;
  LineEnd end;
  bool untouched;
};

} // namespace

TEST(LineLayout, AFileReadAndWrittenUnchangedKeepsEveryByte) {
  const auto examples = std::filesystem::path(TESSARIN_SOURCE_DIR) / "examples";
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(examples))
    if (entry.is_regular_file()) {
      const std::string bytes = TempDir::read(entry.path().string());
      EXPECT_EQ(RoundTrip(bytes), bytes) << entry.path();
      ++files;
    }
  EXPECT_GT(files, 10);

  std::mt19937 random(7);
  for (int i = 0; i < 5000; ++i) {
    const std::string bytes = RandomText(random, static_cast<int>(random() % 40));
    ASSERT_EQ(RoundTrip(bytes), bytes);
  }
}

TEST(LineLayout, EditedTextKeepsTheLineEndsOfTheLinesNotTouched) {
  std::mt19937 random(11);
  static const LineEnd kinds[] = {LineEnd::LF, LineEnd::CRLF, LineEnd::CR};
  for (int round = 0; round < 2000; ++round) {
    // Lines of distinct text, ending in a mix of line ends, the last one maybe in none.
    std::vector<Line> model;
    const int count = static_cast<int>(random() % 30);
    std::string bytes;
    for (int i = 0; i < count; ++i) {
      const LineEnd end = i + 1 == count && random() % 2 ? LineEnd::None : kinds[random() % (round % 3 + 1)];
      model.push_back({"line " + std::to_string(i) + (random() % 2 ? "\t;" : ""), end, true});
      bytes += model.back().text + (end == LineEnd::LF     ? "\n"
                                    : end == LineEnd::CRLF ? "\r\n"
                                    : end == LineEnd::CR   ? "\r"
                                                           : "");
    }
    std::vector<std::string> lines;
    LineLayout layout = LineLayout::Read(bytes, lines);
    const bool endedWithLineEnd = model.empty() || model.back().end != LineEnd::None;

    for (int edit = static_cast<int>(random() % 6); edit > 0; --edit) {
      const std::size_t at = model.empty() ? 0 : random() % model.size();
      const std::string text = "edit " + std::to_string(round) + "." + std::to_string(edit);
      switch (random() % 3) {
      case 0:
        if (!model.empty()) model[at] = {text, LineEnd::None, false};
        break;
      case 1:
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), {text, LineEnd::None, false});
        break;
      default:
        if (!model.empty()) model.erase(model.begin() + static_cast<std::ptrdiff_t>(at));
      }
    }
    std::vector<std::string> edited;
    for (const Line& line : model)
      edited.push_back(line.text);

    const std::string written = layout.Write(edited);
    std::vector<std::pair<std::string, LineEnd>> reread;
    ForEachLine(written, [&reread](std::string_view line, LineEnd end) { reread.emplace_back(line, end); });
    ASSERT_EQ(reread.size(), edited.size()) << round;
    for (std::size_t i = 0; i < model.size(); ++i) {
      EXPECT_EQ(reread[i].first, model[i].text) << round;
      const bool last = i + 1 == model.size();
      if (last)
        EXPECT_EQ(reread[i].second == LineEnd::None, !endedWithLineEnd) << round;
      else if (model[i].untouched && model[i].end != LineEnd::None)
        EXPECT_EQ(reread[i].second, model[i].end) << round << " line " << i;
      else
        EXPECT_NE(reread[i].second, LineEnd::None) << round;
    }
    // What was written is what the next save starts from.
    layout.Written(written);
    EXPECT_EQ(layout.Write(edited), written);
  }
}

TEST(LineLayout, NewAndEmptyFilesTakeTheUsualLineEnd) {
  EXPECT_EQ(LineLayout(LineEnd::LF).Write({"a", "b"}), "a\nb\n");
  EXPECT_EQ(LineLayout(LineEnd::CRLF).Write({"a"}), "a\r\n");
  EXPECT_EQ(LineLayout().Write({""}), ""); // an empty window saves an empty file
  std::vector<std::string> lines;
  const LineLayout dos = LineLayout::Read("x\r\ny\r\nz\n", lines);
  EXPECT_EQ(dos.Usual(), LineEnd::CRLF);
  EXPECT_EQ(dos.Write({"x", "new", "y", "z"}), "x\r\nnew\r\ny\r\nz\n");
  EXPECT_EQ(LineLayout::Read("\n", lines).Write(lines), "\n");
}
