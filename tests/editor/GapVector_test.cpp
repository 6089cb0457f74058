// The gap vector against a plain vector: long random runs of inserts, erases and appends at
// places near and far from the last change must leave the same items in the same order.
#include "GapVector.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Items(const GapVector<std::string>& gap) {
  std::vector<std::string> items;
  for (std::size_t i = 0; i < gap.size(); ++i)
    items.push_back(gap[i]);
  return items;
}

// Long enough that no string fits the small-string buffer: moves must carry the heap text.
std::string Text(int n) { return "line number " + std::to_string(n) + " with some text after it"; }

TEST(GapVector, FollowsAPlainVectorThroughRandomEdits) {
  std::mt19937 random(12345);
  GapVector<std::string> gap;
  std::vector<std::string> plain;
  for (int step = 0; step < 20000; ++step) {
    const std::size_t size = plain.size();
    // Mostly edits near the previous one, as typing does, now and then a jump or an append.
    const std::size_t near = size == 0 ? 0 : std::min(size - 1, static_cast<std::size_t>(step % 97));
    const std::size_t at = random() % 4 == 0 ? (size == 0 ? 0 : random() % size) : near;
    switch (random() % 5) {
    case 0:
    case 1:
      gap.insert(std::min(at, size), Text(step));
      plain.insert(plain.begin() + static_cast<std::ptrdiff_t>(std::min(at, size)), Text(step));
      break;
    case 2:
      if (size == 0) break;
      gap.erase(at);
      plain.erase(plain.begin() + static_cast<std::ptrdiff_t>(at));
      break;
    case 3:
      gap.push_back(Text(step));
      plain.push_back(Text(step));
      break;
    case 4:
      if (size == 0) break;
      gap[at] += "!";
      plain[at] += "!";
      break;
    }
    ASSERT_EQ(gap.size(), plain.size()) << "step " << step;
  }
  EXPECT_EQ(Items(gap), plain);
  gap.clear();
  EXPECT_TRUE(gap.empty());
  gap.push_back("again");
  EXPECT_EQ(Items(gap), std::vector<std::string>{"again"});
}

TEST(GapVector, EditsAtBothEndsAndAppendsAfterAGapInTheMiddle) {
  GapVector<std::string> gap;
  for (int i = 0; i < 5; ++i)
    gap.push_back(Text(i));
  gap.insert(2, "middle"); // opens the gap in the middle
  gap.push_back("last");   // appends behind the items after the gap
  gap.insert(0, "first");
  gap.erase(gap.size() - 1);
  gap.insert(gap.size(), "end");
  gap.erase(0);
  EXPECT_EQ(Items(gap),
            (std::vector<std::string>{Text(0), Text(1), "middle", Text(2), Text(3), Text(4), "end"}));
}

} // namespace
