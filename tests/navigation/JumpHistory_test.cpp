// Back and Forward walk the places jumps left as a browser walks its pages: a random run of
// jumps, Backs and Forwards against that model.
#include "JumpHistory.h"

#include <gtest/gtest.h>

#include <random>

TEST(JumpHistory, WalksLikeABrowsersPages) {
  std::mt19937 random(7);
  for (int run = 0; run < 50; ++run) {
    JumpHistory history;
    std::vector<CaretPlace> pages{{"start.c", {1, 1}}};
    std::size_t at = 0; // the model: the caret is at pages[at]
    int made = 0;
    for (int step = 0; step < 80; ++step) {
      const CaretPlace current = pages[at];
      switch (random() % 3) {
      case 0: {
        const CaretPlace target{"f" + std::to_string(random() % 4) + ".c", {++made, 1}};
        history.Jumped(current);
        pages.resize(at + 1);
        pages.push_back(target);
        ++at;
        break;
      }
      case 1: {
        const std::optional<CaretPlace> back = history.Back(current);
        ASSERT_EQ(back.has_value(), at > 0);
        if (back) {
          ASSERT_EQ(*back, pages[--at]);
        }
        break;
      }
      default: {
        const std::optional<CaretPlace> forward = history.Forward(current);
        ASSERT_EQ(forward.has_value(), at + 1 < pages.size());
        if (forward) {
          ASSERT_EQ(*forward, pages[++at]);
        }
      }
      }
      ASSERT_EQ(history.CanGoBack(), at > 0);
      ASSERT_EQ(history.CanGoForward(), at + 1 < pages.size());
    }
  }
}
