// The places a jump left, for Back and Forward across files: a jump records where the caret was,
// Back returns there and keeps the place it leaves for Forward, and a new jump drops what Forward
// had.
#pragma once

#include "TextPosition.h"

#include <deque>
#include <optional>
#include <string>

struct CaretPlace {
  std::string path;
  TextPosition at;
  bool operator==(const CaretPlace&) const = default;
};

class JumpHistory {
public:
  explicit JumpHistory(std::size_t most = 100) : most_(most) {}

  // The caret leaves `from` by a jump.
  void Jumped(const CaretPlace& from);
  // Where Back goes from `current`, which Forward then returns to; none at the start.
  std::optional<CaretPlace> Back(const CaretPlace& current);
  std::optional<CaretPlace> Forward(const CaretPlace& current);
  [[nodiscard]] bool CanGoBack() const { return !back_.empty(); }
  [[nodiscard]] bool CanGoForward() const { return !forward_.empty(); }

private:
  std::deque<CaretPlace> back_;    // newest last
  std::deque<CaretPlace> forward_; // newest last
  std::size_t most_;
};
