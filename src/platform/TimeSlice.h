// Background work done on the window's thread goes in slices measured by the clock, not by a
// count of items: however slow an item is on this machine, a slice leaves most of the frame to
// input and painting, and the window never waits on the work.
#pragma once

#include <chrono>

class TimeSlice {
public:
  using Clock = std::chrono::steady_clock;
  // A quarter of a 16 ms frame.
  static constexpr std::chrono::milliseconds kBudget{4};

  explicit TimeSlice(Clock::duration budget = kBudget) : end_(Clock::now() + budget) {}

  // Whether the slice's time is used up; work stops at the next point where it can.
  [[nodiscard]] bool Over() const { return Clock::now() >= end_; }

private:
  Clock::time_point end_;
};
