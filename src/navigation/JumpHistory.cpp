#include "JumpHistory.h"

namespace {

void Push(std::deque<CaretPlace>& places, const CaretPlace& place, std::size_t most) {
  // A jump from where the last one landed adds nothing to walk through.
  if (!places.empty() && places.back() == place) return;
  places.push_back(place);
  if (places.size() > most) places.pop_front();
}

std::optional<CaretPlace> Move(std::deque<CaretPlace>& from, std::deque<CaretPlace>& to,
                               const CaretPlace& current, std::size_t most) {
  if (from.empty()) return std::nullopt;
  CaretPlace target = from.back();
  from.pop_back();
  Push(to, current, most);
  return target;
}

} // namespace

void JumpHistory::Jumped(const CaretPlace& from) {
  Push(back_, from, most_);
  forward_.clear();
}

std::optional<CaretPlace> JumpHistory::Back(const CaretPlace& current) {
  return Move(back_, forward_, current, most_);
}

std::optional<CaretPlace> JumpHistory::Forward(const CaretPlace& current) {
  return Move(forward_, back_, current, most_);
}
