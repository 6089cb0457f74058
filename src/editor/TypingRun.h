// Groups typed characters into runs that undo and redo take back at once: the characters of one
// word, or one run of blanks, typed one after the other. Anything else the editor does between two
// characters, a pause, or a change between blank and non-blank starts a new run.
#pragma once

#include "EditContext.h"

#include <chrono>
#include <cstdint>
#include <functional>

class TypingRun {
public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  // The longest pause within a run.
  static constexpr std::chrono::milliseconds MaxPause{1000};

  TypingRun() = default;
  // The clock pauses are measured on; tests set their own.
  void SetClock(Clock clock) { clock_ = std::move(clock); }

  // Types `ch` at the caret, joining its undo step to the run's when it continues the run.
  void Type(EditContext& context, char ch);
  // The next character starts a new run.
  void End() { open_ = false; }

private:
  Clock clock_ = [] { return std::chrono::steady_clock::now(); };
  bool open_ = false;
  bool blank_ = false;
  std::uint64_t state_ = 0; // the text's state after the run's last character
  std::chrono::steady_clock::time_point last_;
};
