// The undo list's capacity, locking and record handling.
#include "UndoList.h"

#include <gtest/gtest.h>

namespace {
UndoRecord Record(UndoKind reason, TextPoint start, TextPoint end, std::vector<TextChange> changes = {}) {
  UndoRecord record;
  record.Reason = reason;
  record.Start = start;
  record.End = end;
  record.Changes = std::move(changes);
  return record;
}

// Records edit i on line i, so the lines of what remains tell which edits survived.
void AddEdits(UndoList& list, int first, int last) {
  for (int i = first; i <= last; ++i)
    list.Add(Record(UndoKind::Insertion, {1, i}, {2, i}));
}

std::vector<int> PopAllLines(UndoList& list) {
  std::vector<int> lines;
  for (UndoRecord record = list.GetChange(); record.Reason != UndoKind::None; record = list.GetChange())
    lines.push_back(record.Start.Y);
  return lines;
}
} // namespace

TEST(kxUndoList, EleventhEditDropsTheOldest) {
  UndoList list;
  EXPECT_EQ(list.Max(), 10);
  AddEdits(list, 1, 11);
  EXPECT_EQ(list.CanUndo(), 10);
  EXPECT_EQ(PopAllLines(list), (std::vector<int>{11, 10, 9, 8, 7, 6, 5, 4, 3, 2}));
  EXPECT_EQ(list.GetChange().Reason, UndoKind::None); // the eleventh undo finds nothing
}

TEST(kxUndoList, SetMaxKeepsTheNewest) {
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

TEST(kxUndoList, LockedListRecordsNothingAndFiresNothing) {
  UndoList list;
  int fired = 0;
  list.OnAdded = [&] { ++fired; };
  list.Lock();
  AddEdits(list, 1, 3);
  EXPECT_TRUE(list.Locked());
  EXPECT_EQ(list.CanUndo(), 0);
  EXPECT_EQ(fired, 0);
  list.Unlock();
  AddEdits(list, 1, 2);
  EXPECT_EQ(list.CanUndo(), 2);
  EXPECT_EQ(fired, 2);
}

TEST(kxUndoList, RecordsComeBackAsStored) {
  UndoList list;
  EXPECT_EQ(list.LastReason(), UndoKind::None);
  EXPECT_EQ(list.PeekChange(), nullptr);

  UndoRecord cut = Record(UndoKind::ReplacedSelection, {3, 2}, {7, 4}, {{false, {3, 2}, "cut\ntext"}});
  cut.Mode = SelectionMode::Column;
  list.Add(std::move(cut));
  list.Add(Record(UndoKind::Insertion, {3, 2}, {4, 2}, {{true, {3, 2}, "x"}}));
  ASSERT_NE(list.PeekChange(), nullptr);
  EXPECT_EQ(list.LastReason(), UndoKind::Insertion);
  EXPECT_EQ(list.CanUndo(), 2);

  EXPECT_EQ(list.GetChange().Changes, (std::vector<TextChange>{{true, {3, 2}, "x"}}));
  const UndoRecord popped = list.GetChange();
  EXPECT_EQ(popped.Reason, UndoKind::ReplacedSelection);
  EXPECT_EQ(popped.Start, (TextPoint{3, 2}));
  EXPECT_EQ(popped.End, (TextPoint{7, 4}));
  EXPECT_EQ(popped.Changes, (std::vector<TextChange>{{false, {3, 2}, "cut\ntext"}}));
  EXPECT_EQ(popped.Mode, SelectionMode::Column);

  AddEdits(list, 1, 3);
  list.ClearList();
  EXPECT_EQ(list.CanUndo(), 0);
  EXPECT_EQ(list.LastReason(), UndoKind::None);
}
