// The undo list's capacity and record handling.
#include "UndoList.h"

#include <gtest/gtest.h>

namespace {
UndoRecord Record(UndoKind kind, TextPoint start, TextPoint end, std::vector<TextChange> changes = {}) {
  UndoRecord record;
  record.Kind = kind;
  record.Start = start;
  record.End = end;
  record.Changes = std::move(changes);
  return record;
}

// Records edit i on line i, so the lines of what remains tell which edits survived.
void AddEdits(UndoList& list, int first, int last) {
  for (int i = first; i <= last; ++i)
    list.Push(Record(UndoKind::Insertion, {1, i}, {2, i}));
}

std::vector<int> PopAllLines(UndoList& list) {
  std::vector<int> lines;
  for (UndoRecord record = list.Pop(); record.Kind != UndoKind::None; record = list.Pop())
    lines.push_back(record.Start.Y);
  return lines;
}
} // namespace

TEST(UndoList, EleventhEditDropsTheOldest) {
  UndoList list;
  EXPECT_EQ(list.Max(), 10);
  AddEdits(list, 1, 11);
  EXPECT_EQ(list.Count(), 10);
  EXPECT_EQ(PopAllLines(list), (std::vector<int>{11, 10, 9, 8, 7, 6, 5, 4, 3, 2}));
  EXPECT_EQ(list.Pop().Kind, UndoKind::None); // the eleventh undo finds nothing
}

TEST(UndoList, SetMaxKeepsTheNewest) {
  UndoList list;
  AddEdits(list, 1, 10);
  list.SetMax(3);
  EXPECT_EQ(list.Max(), 3);
  AddEdits(list, 11, 11);
  EXPECT_EQ(PopAllLines(list), (std::vector<int>{11, 10, 9}));

  list.SetMax(-1); // ignored
  EXPECT_EQ(list.Max(), 3);
  list.SetMax(0);
  AddEdits(list, 1, 2);
  EXPECT_EQ(PopAllLines(list), (std::vector<int>{2})); // capacity 0 still keeps the latest edit
}

TEST(UndoList, RecordsComeBackAsStored) {
  UndoList list;
  EXPECT_EQ(list.NewestKind(), UndoKind::None);
  EXPECT_EQ(list.Newest(), nullptr);

  UndoRecord cut = Record(UndoKind::ReplacedSelection, {3, 2}, {7, 4}, {{false, {3, 2}, "cut\ntext"}});
  cut.Mode = SelectionMode::Column;
  list.Push(std::move(cut));
  list.Push(Record(UndoKind::Insertion, {3, 2}, {4, 2}, {{true, {3, 2}, "x"}}));
  ASSERT_NE(list.Newest(), nullptr);
  EXPECT_EQ(list.NewestKind(), UndoKind::Insertion);
  EXPECT_EQ(list.Count(), 2);

  EXPECT_EQ(list.Pop().Changes, (std::vector<TextChange>{{true, {3, 2}, "x"}}));
  const UndoRecord popped = list.Pop();
  EXPECT_EQ(popped.Kind, UndoKind::ReplacedSelection);
  EXPECT_EQ(popped.Start, (TextPoint{3, 2}));
  EXPECT_EQ(popped.End, (TextPoint{7, 4}));
  EXPECT_EQ(popped.Changes, (std::vector<TextChange>{{false, {3, 2}, "cut\ntext"}}));
  EXPECT_EQ(popped.Mode, SelectionMode::Column);

  AddEdits(list, 1, 3);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.NewestKind(), UndoKind::None);
}
