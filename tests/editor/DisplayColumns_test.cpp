// Lines with tabs and UTF-8 characters against a model that expands them cell by cell: screen
// columns of bytes, mouse hits, Up and Down, and the bytes a column block takes, in the functions
// and in the editor, where positions only ever fall between characters.
#include "DisplayColumns.h"
#include "SelectionText.h"
#include "TextEditor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// Where each byte of a line starts on screen (0-based cells), tabs expanded one cell at a time.
// Read as UTF-8 the lines' é and € are one character each, 中 one of two cells, and a stray
// continuation byte one.
struct Model {
  std::vector<int> starts;
  std::vector<bool> charStarts;
  int width = 0; // cells the whole line takes

  Model(const std::string& line, int tabWidth, bool utf8 = false) {
    for (std::size_t i = 0; i < line.size();) {
      const auto lead = static_cast<unsigned char>(line[i]);
      const std::size_t length = !utf8 ? 1 : lead == 0xC3 ? 2 : lead == 0xE2 || lead == 0xE4 ? 3 : 1;
      for (std::size_t k = 0; k < length; ++k) {
        starts.push_back(width);
        charStarts.push_back(k == 0);
      }
      do
        ++width;
      while (line[i] == '\t' && tabWidth > 1 && width % tabWidth != 0);
      if (utf8 && lead == 0xE4) ++width;
      i += length;
    }
  }
  [[nodiscard]] bool CharStart(int column) const {
    return column > Length() || charStarts[static_cast<std::size_t>(column - 1)];
  }
  [[nodiscard]] int Length() const { return static_cast<int>(starts.size()); }
  // The cell where byte column `column` starts; past the end one cell per column.
  [[nodiscard]] int Cell(int column) const {
    return column - 1 < Length() ? starts[static_cast<std::size_t>(column - 1)]
                                 : width + column - 1 - Length();
  }
  // The byte column whose start lies nearest to `cells`; of two as near, the later.
  [[nodiscard]] int Nearest(double cells) const {
    int best = 1;
    for (int column = 2; column <= Length() + 1 + static_cast<int>(cells) + 1; ++column)
      if (CharStart(column) && std::abs(Cell(column) - cells) <= std::abs(Cell(best) - cells)) best = column;
    return best;
  }
  // The first byte column starting at screen column `display` or later.
  [[nodiscard]] int FirstFrom(int display) const {
    for (int column = 1; column <= Length(); ++column)
      if (CharStart(column) && Cell(column) + 1 >= display) return column;
    return Length() + 1 + std::max(0, display - 1 - width);
  }
};

// With `stray`, a continuation byte of no character may come in too.
std::string RandomLine(std::mt19937& random, bool stray = false) {
  static const char* const pieces[] = {"a",   "b", " ", "\t", "\xC3\xA9", "\xE2\x82\xAC", "\xE4\xB8\xAD",
                                       "\xA9"};
  std::string line;
  for (int n = static_cast<int>(random() % 14); n > 0; --n)
    line += pieces[random() % (stray ? 8 : 7)];
  return line;
}

} // namespace

TEST(DisplayColumns, BytesStandWhereTheExpandedLinePutsThem) {
  std::mt19937 random(3);
  for (int round = 0; round < 20000; ++round) {
    const std::string line = RandomLine(random, true);
    const int tabWidth = 1 << random() % 4;
    const TextEncoding encoding = random() % 2 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    const Model model(line, tabWidth, encoding == TextEncoding::Utf8);
    for (int column = 1; column <= model.Length() + 3; ++column)
      ASSERT_EQ(DisplayColumn(line, tabWidth, column, encoding), model.Cell(column) + 1)
          << line << " " << column;
    const std::vector<int> columns = DisplayColumns(line, tabWidth, encoding);
    ASSERT_EQ(columns.size(), line.size() + 1);
    for (int column = 1; column <= model.Length() + 1; ++column)
      ASSERT_EQ(columns[static_cast<std::size_t>(column - 1)], model.Cell(column) + 1)
          << line << " " << column;
    const double cells = (random() % (4 * (model.width + 3))) / 4.0;
    ASSERT_EQ(NearestByteColumn(line, tabWidth, cells, encoding), model.Nearest(cells))
        << line << "|" << tabWidth << " " << cells;
    const int left = 1 + static_cast<int>(random() % (model.width + 4));
    const int right = left + static_cast<int>(random() % 6);
    ASSERT_EQ(ColumnBlockBytes(line, tabWidth, left, right, encoding),
              std::make_pair(model.FirstFrom(left), model.FirstFrom(right)))
        << line << " " << left << "-" << right;
  }
}

TEST(DisplayColumns, TheEditorPlacesTheCaretMovesAndSelectsInScreenColumns) {
  std::mt19937 random(5);
  TextEditor editor;
  editor.Geometry().SetFontMetrics(8, 16);
  editor.Geometry().SetClientSize(800, 400);
  for (int round = 0; round < 3000; ++round) {
    // Under the desktop conventions a text without a stray byte is UTF-8.
    const bool desktop = random() % 2;
    const bool stray = random() % 4 == 0;
    editor.State().SetOptions(kDefaultEditorOptions | eoScrollPastEol | (desktop ? eoDesktopKeys : 0));
    const int tabWidth = 2 << random() % 3;
    editor.State().SetTabWidth(tabWidth);
    std::vector<std::string> lines(2 + random() % 4);
    for (std::string& line : lines)
      line = RandomLine(random, stray);
    editor.State().SetMode(SelectionMode::Normal);
    editor.Document().Load(lines);
    // Every é brings one 0xA9; any more are stray.
    const bool utf8 =
        desktop && std::all_of(lines.begin(), lines.end(), [](const std::string& line) {
          return std::count(line.begin(), line.end(), '\xA9') == std::count(line.begin(), line.end(), '\xC3');
        });
    const auto model = [&](int y) { return Model(lines[static_cast<std::size_t>(y - 1)], tabWidth, utf8); };
    const int y = 1 + static_cast<int>(random() % lines.size());

    // A click lands on the byte boundary nearest the mouse, and the caret shows there.
    const double cells = (random() % (8 * 20)) / 8.0;
    const TextPoint hit = editor.Geometry().PixelsToRowColumn(
        editor.Geometry().TextOffset() + static_cast<int>(cells * 8), (y - 1) * 16 + 3);
    ASSERT_EQ(hit, (TextPoint{model(y).Nearest(cells), y}))
        << lines[static_cast<std::size_t>(y - 1)] << " " << cells;
    editor.State().SetCaretXY(hit);
    ASSERT_EQ(editor.Geometry().RowColumnToPixels(hit).X,
              editor.Geometry().TextOffset() + model(y).Cell(hit.X) * 8);

    // Down keeps the screen column, landing on the nearest byte boundary of the next line.
    if (y < static_cast<int>(lines.size())) {
      const int cell = model(y).Cell(hit.X);
      editor.ExecuteCommand(ecDown);
      ASSERT_EQ(editor.State().CaretXY(), (TextPoint{model(y + 1).Nearest(cell), y + 1}));
    }

    // A column block takes, on every line, the bytes that start between its corners' columns.
    editor.State().SetMode(SelectionMode::Column);
    const TextPoint from = hit;
    const TextPoint to{1 + static_cast<int>(random() % 16), 1 + static_cast<int>(random() % lines.size())};
    editor.State().SelectRange(from, to);
    const int left = std::min(model(from.Y).Cell(from.X), model(to.Y).Cell(to.X)) + 1;
    const int right = std::max(model(from.Y).Cell(from.X), model(to.Y).Cell(to.X)) + 1;
    std::string expected;
    for (int line = std::min(from.Y, to.Y); left < right && line <= std::max(from.Y, to.Y); ++line) {
      if (!expected.empty() || line > std::min(from.Y, to.Y)) expected += "\r\n";
      const std::string& text = lines[static_cast<std::size_t>(line - 1)];
      const int first = std::min(model(line).FirstFrom(left), static_cast<int>(text.size()) + 1);
      const int last = std::min(model(line).FirstFrom(right), static_cast<int>(text.size()) + 1);
      expected += text.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first));
    }
    ASSERT_EQ(SelectedText(editor.Document(), editor.State()), expected) << round;
  }
}
