// Lines with tabs against a model that expands them cell by cell: screen columns of bytes, mouse
// hits, Up and Down, and the bytes a column block takes, in the functions and in the editor.
#include "DisplayColumns.h"
#include "SelectionText.h"
#include "TextEditor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// Where each byte of a line starts on screen (0-based cells), tabs expanded one cell at a time.
struct Model {
  std::vector<int> starts;
  int width = 0; // cells the whole line takes

  Model(const std::string& line, int tabWidth) {
    for (const char c : line) {
      starts.push_back(width);
      do
        ++width;
      while (c == '\t' && tabWidth > 1 && width % tabWidth != 0);
    }
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
      if (std::abs(Cell(column) - cells) <= std::abs(Cell(best) - cells)) best = column;
    return best;
  }
  // The first byte column starting at screen column `display` or later.
  [[nodiscard]] int FirstFrom(int display) const {
    for (int column = 1; column <= Length(); ++column)
      if (Cell(column) + 1 >= display) return column;
    return Length() + 1 + std::max(0, display - 1 - width);
  }
};

std::string RandomLine(std::mt19937& random) {
  std::string line(random() % 14, ' ');
  for (char& c : line)
    c = "ab \t"[random() % 4];
  return line;
}

} // namespace

TEST(DisplayColumns, BytesStandWhereTheExpandedLinePutsThem) {
  std::mt19937 random(3);
  for (int round = 0; round < 20000; ++round) {
    const std::string line = RandomLine(random);
    const int tabWidth = 1 << random() % 4;
    const Model model(line, tabWidth);
    for (int column = 1; column <= model.Length() + 3; ++column)
      ASSERT_EQ(DisplayColumn(line, tabWidth, column), model.Cell(column) + 1) << line << " " << column;
    const std::vector<int> columns = DisplayColumns(line, tabWidth);
    ASSERT_EQ(columns.size(), line.size() + 1);
    for (int column = 1; column <= model.Length() + 1; ++column)
      ASSERT_EQ(columns[static_cast<std::size_t>(column - 1)], model.Cell(column) + 1)
          << line << " " << column;
    const double cells = (random() % (4 * (model.width + 3))) / 4.0;
    ASSERT_EQ(NearestByteColumn(line, tabWidth, cells), model.Nearest(cells))
        << line << "|" << tabWidth << " " << cells;
    const int left = 1 + static_cast<int>(random() % (model.width + 4));
    const int right = left + static_cast<int>(random() % 6);
    ASSERT_EQ(ColumnBlockBytes(line, tabWidth, left, right),
              std::make_pair(model.FirstFrom(left), model.FirstFrom(right)))
        << line << " " << left << "-" << right;
  }
}

TEST(DisplayColumns, TheEditorPlacesTheCaretMovesAndSelectsInScreenColumns) {
  std::mt19937 random(5);
  TextEditor editor;
  editor.Geometry().SetFontMetrics(8, 16);
  editor.Geometry().SetClientSize(800, 400);
  editor.State().SetOptions(editor.State().Options() | eoScrollPastEol);
  for (int round = 0; round < 3000; ++round) {
    const int tabWidth = 2 << random() % 3;
    editor.State().SetTabWidth(tabWidth);
    std::vector<std::string> lines(2 + random() % 4);
    for (std::string& line : lines)
      line = RandomLine(random);
    editor.State().SetMode(SelectionMode::Normal);
    editor.Document().Load(lines);
    const auto model = [&](int y) { return Model(lines[static_cast<std::size_t>(y - 1)], tabWidth); };
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
