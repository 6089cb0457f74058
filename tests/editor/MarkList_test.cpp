// Marks and bookmarks: slots, lookups, repaint notices and marks following their lines.
#include "MarkList.h"

#include <gtest/gtest.h>

namespace {
std::unique_ptr<Mark> MakeMark(int number, int line) {
  auto mark = std::make_unique<Mark>(number);
  mark->SetLine(line);
  mark->SetVisible(true);
  return mark;
}

// The lines of bookmarks 0 ... 9, 0 where a slot is empty.
std::vector<int> BookmarkLines(const MarkList& marks) {
  std::vector<int> lines;
  for (int n = 0; n < MarkList::BookmarkCount; ++n)
    lines.push_back(marks.BookMark(n) ? marks.BookMark(n)->Line() : 0);
  return lines;
}

// Bookmarks 0, 1, 2, ... on the given lines.
void PlaceOnLines(MarkList& marks, std::initializer_list<int> lines) {
  int number = 0;
  for (int line : lines)
    marks.PlaceBookMark(MakeMark(number++, line));
}
} // namespace

TEST(MarkList, BookmarksReplaceTheirNumberAndTheirLine) {
  MarkList marks;
  marks.PlaceBookMark(MakeMark(5, 4));
  marks.PlaceBookMark(MakeMark(3, 4)); // same line: bookmark 5 goes
  EXPECT_EQ(marks.BookMark(5), nullptr);
  ASSERT_NE(marks.BookMark(3), nullptr);
  EXPECT_EQ(marks.BookMark(3)->Line(), 4);

  marks.PlaceBookMark(MakeMark(3, 9)); // same number: moved
  EXPECT_EQ(marks.BookMark(3)->Line(), 9);
  EXPECT_EQ(marks.Count(), 1);

  marks.Add(MakeMark(-1, 9)); // a plain mark shares the line without disturbing bookmarks
  marks.PlaceBookMark(MakeMark(-1, 9));
  EXPECT_EQ(marks.Count(), 3);
  EXPECT_NE(marks.BookMark(3), nullptr);

  marks.ClearBookMark(3);
  marks.ClearBookMark(3);
  marks.ClearBookMark(42);
  EXPECT_EQ(marks.BookMark(3), nullptr);
  EXPECT_EQ(marks.BookMark(-1), nullptr);
  EXPECT_EQ(marks.Count(), 2);
  EXPECT_FALSE(marks[0].IsBookmark());
}

TEST(MarkList, AddingRemovingAndMovingAskForRepaints) {
  MarkList marks;
  int listChanges = 0;
  std::vector<int> repainted;
  marks.OnChange = [&] { ++listChanges; };
  marks.OnLineChanged = [&](int line) { repainted.push_back(line); };

  Mark& mark = marks.PlaceBookMark(MakeMark(1, 3));
  EXPECT_EQ(mark.Owner(), &marks);
  EXPECT_EQ(listChanges, 1);
  EXPECT_TRUE(repainted.empty()); // set up before it was added: nobody to tell

  mark.SetLine(6);
  EXPECT_EQ(repainted, (std::vector<int>{3, 6}));
  repainted.clear();
  mark.SetVisible(true); // unchanged
  mark.SetImageIndex(4);
  EXPECT_EQ(repainted, (std::vector<int>{6}));
  repainted.clear();
  mark.SetVisible(false);
  mark.SetLine(8); // hidden marks move silently
  EXPECT_EQ(repainted, (std::vector<int>{6}));

  marks.ClearBookMark(1);
  EXPECT_EQ(listChanges, 2);
}

TEST(MarkList, MarksOnALineAndTheClickedGlyph) {
  MarkList marks;
  marks.Add(MakeMark(-1, 2));
  PlaceOnLines(marks, {7, 2});
  for (int i = 0; i < 20; ++i)
    marks.Add(MakeMark(-1, 5));

  const std::vector<Mark*> onTwo = marks.MarksOnLine(2);
  ASSERT_EQ(onTwo.size(), 2u);
  EXPECT_FALSE(onTwo[0]->IsBookmark()); // list order
  EXPECT_EQ(onTwo[1]->Number(), 1);
  EXPECT_EQ(marks.MarksOnLine(5).size(), 16u);
  EXPECT_TRUE(marks.MarksOnLine(3).empty());

  EXPECT_EQ(marks.MarkAt(2, 0, 12), onTwo[0]);
  EXPECT_EQ(marks.MarkAt(2, 11, 12), onTwo[0]);
  EXPECT_EQ(marks.MarkAt(2, 12, 12), onTwo[1]);
  EXPECT_EQ(marks.MarkAt(2, 24, 12), nullptr);
  EXPECT_EQ(marks.MarkAt(3, 0, 12), nullptr);
}

TEST(MarkList, MarksFollowInsertedAndRemovedLines) {
  MarkList marks;
  PlaceOnLines(marks, {1, 2, 5, 9});
  marks.LinesChanged({LineChange::Kind::Inserted, 4}); // a line inserted above line 5
  EXPECT_EQ(BookmarkLines(marks), (std::vector<int>{1, 2, 6, 10, 0, 0, 0, 0, 0, 0}));
  marks.LinesChanged({LineChange::Kind::Changed, 1});
  marks.LinesChanged({LineChange::Kind::Appended, 10});
  EXPECT_EQ(BookmarkLines(marks), (std::vector<int>{1, 2, 6, 10, 0, 0, 0, 0, 0, 0}));
  // A line that goes takes its marks to the line before, which its text was joined to.
  marks.LinesChanged({LineChange::Kind::Removed, 1});
  EXPECT_EQ(BookmarkLines(marks), (std::vector<int>{1, 1, 5, 9, 0, 0, 0, 0, 0, 0}));
  marks.LinesChanged({LineChange::Kind::Removed, 0});
  EXPECT_EQ(BookmarkLines(marks), (std::vector<int>{1, 1, 4, 8, 0, 0, 0, 0, 0, 0}));

  std::array<int, MarkList::BookmarkCount> lines{};
  lines[2] = 7;
  lines[5] = 3; // not set: stays unset
  marks.MoveBookmarks(lines, 100);
  EXPECT_EQ(BookmarkLines(marks), (std::vector<int>{1, 1, 7, 8, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(marks.BookmarkLines(), (std::array<int, 10>{1, 1, 7, 8, 0, 0, 0, 0, 0, 0}));
}
