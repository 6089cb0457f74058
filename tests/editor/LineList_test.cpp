// The line list: splitting bytes, notifications and their order, the one-line rule.
#include "LineList.h"

#include "DisplayColumns.h"
#include "UserQuestions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// The lines a text splits into, as a list holds them.
std::vector<std::string> Loaded(const std::string& bytes) {
  LineList list;
  std::vector<std::string> lines;
  for (std::string_view line : LineList::SplitLines(bytes))
    lines.emplace_back(line);
  list.Assign(std::move(lines));
  return list.Strings();
}

using Lines = std::vector<std::string>;

// Records every notification as text, in order.
struct Recorder {
  std::vector<std::string> events;
  explicit Recorder(LineList& list) {
    list.OnAdded = [this] { events.push_back("added"); };
    list.OnCleared = [this] { events.push_back("cleared"); };
    list.OnDeleted = [this](int i) { events.push_back("deleted " + std::to_string(i)); };
    list.OnInserted = [this](int i) { events.push_back("inserted " + std::to_string(i)); };
    list.OnLinePut = [this](int i) { events.push_back("put " + std::to_string(i)); };
    list.OnBulkAdded = [this] { events.push_back("bulk"); };
    list.OnChanging = [this] { events.push_back("changing"); };
    list.OnChange = [this] { events.push_back("change"); };
  }
};

TEST(LineList, SplitsAtEveryKindOfLineEndAndKeepsNul) {
  EXPECT_EQ(Loaded("a\r\nb\r\n"), (Lines{"a", "b"}));
  EXPECT_EQ(Loaded("a\r\nb"), (Lines{"a", "b"}));
  EXPECT_EQ(Loaded("a\n\rb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(Loaded("a\rb"), (Lines{"a", "b"}));
  EXPECT_EQ(Loaded("a\nb\n\n"), (Lines{"a", "b", ""}));
  EXPECT_EQ(Loaded(""), (Lines{""}));
  EXPECT_EQ(Loaded(std::string("ab\0cd\n\0", 7)), (Lines{std::string("ab\0cd", 5), std::string(1, '\0')}));
  // Bytes other than CR and LF are kept as they are.
  EXPECT_EQ(Loaded("\t\x01\xff\r"), (Lines{"\t\x01\xff"}));
}

TEST(LineList, EachOperationIsOneBracketWithItsNotification) {
  LineList list;
  Recorder record(list);
  list.Add("a");
  list.Insert(0, "b");
  list.Put(1, "c");
  list.Delete(0);
  EXPECT_EQ(record.events,
            (std::vector<std::string>{"changing", "added", "change", "changing", "inserted 0", "change",
                                      "changing", "put 1", "change", "changing", "deleted 0", "change"}));
}

TEST(LineList, DeletingTheOnlyLineEmptiesIt) {
  LineList list;
  list.Add("only");
  Recorder record(list);
  list.Delete(0);
  EXPECT_EQ(list.Strings(), (Lines{""}));
  EXPECT_EQ(record.events, (std::vector<std::string>{"changing", "deleted 0", "change"}));
}

TEST(LineList, BulkOperationsFireOnceAndLoadsKeepOneLine) {
  LineList list;
  Recorder record(list);
  list.AddStrings({"a", "b", "c"});
  EXPECT_EQ(record.events, (std::vector<std::string>{"changing", "bulk", "change"}));

  record.events.clear();
  list.Assign(std::vector<std::string>{});
  EXPECT_EQ(list.Strings(), (Lines{""}));
  EXPECT_EQ(record.events.back(), "change");
  EXPECT_NE(std::find(record.events.begin(), record.events.end(), "added"), record.events.end());
}

TEST(LineList, RangeSlotsStayWithTheirLinesAndAreNotCopied) {
  LineList list;
  list.AddStrings({"a", "b"});
  list.PutObject(1, 7);
  list.Put(1, "B");
  EXPECT_EQ(list.GetObject(1), 7u);
  list.Insert(0, "new");
  EXPECT_EQ(list.GetObject(2), 7u);
  EXPECT_EQ(list.GetObject(0), 0u);
}

TEST(LineList, IndexErrorsCarryTheIndex) {
  LineList list;
  list.Add("a");
  try {
    list.Put(3, "x");
    FAIL();
  } catch (const TessarinError& error) {
    EXPECT_EQ(error.Message(), "List index out of bounds (3)");
  }
  EXPECT_THROW(static_cast<void>(list.Get(-1)), TessarinError);
  EXPECT_THROW(list.Insert(2, "x"), TessarinError);
  EXPECT_NO_THROW(list.Insert(1, "end"));
  EXPECT_THROW(list.Delete(2), TessarinError);
}

} // namespace

// The widest long line, kept up to date through random edits and changes of the cell rule, is
// the widest line measured afresh: tabs take up to a tab width, a wide character two cells, and
// under Windows-1252 every byte one.
TEST(LineList, TheWidestLongLineIsMeasuredInScreenCells) {
  const std::vector<std::string> pieces = {"x", "\t", "é", "漢", "\xff", std::string(300, 'y'), "\t\t\t\t"};
  std::mt19937 random(7);
  const auto randomLine = [&] {
    std::string line;
    for (int count = static_cast<int>(random() % 60); count > 0; --count)
      line += pieces[random() % pieces.size()];
    return line;
  };
  LineList list;
  list.Assign({randomLine()});
  const auto widestMeasured = [&] {
    const LineList::CellRule rule = list.Cells();
    int widest = 0;
    for (const std::string& line : list.Strings())
      widest = std::max(
          widest, DisplayColumn(line, rule.tabWidth, static_cast<int>(line.size()) + 1, rule.encoding) - 1);
    return widest >= LineList::LongLine ? widest : 0;
  };
  for (int step = 0; step < 3000; ++step) {
    const int index = static_cast<int>(random() % static_cast<unsigned>(list.Count()));
    switch (list.Count() > 40 ? 2 : random() % 5) {
    case 0: list.Insert(index, randomLine()); break;
    case 1: list.Put(index, randomLine()); break;
    case 2: list.Delete(index); break;
    case 3: list.Add(randomLine()); break;
    default:
      list.SetCellRule({static_cast<int>(1 + random() % 8),
                        random() % 2 ? TextEncoding::Utf8 : TextEncoding::Windows1252});
    }
    ASSERT_EQ(list.WidestLongLine(), widestMeasured()) << "step " << step;
  }
}
