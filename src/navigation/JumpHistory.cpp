#include "JumpHistory.h"

namespace {

void Push(std::deque<Place>& places, const Place& place, std::size_t most) {
  // A jump from where the last one landed adds nothing to walk through.
  if (!places.empty() && places.back() == place) return;
  places.push_back(place);
  if (places.size() > most) places.pop_front();
}

std::optional<Place> Move(std::deque<Place>& from, std::deque<Place>& to, const Place& current,
                          std::size_t most) {
  if (from.empty()) return std::nullopt;
  Place target = from.back();
  from.pop_back();
  Push(to, current, most);
  return target;
}

} // namespace

void JumpHistory::Jumped(const Place& from) {
  Push(back_, from, most_);
  forward_.clear();
}

std::optional<Place> JumpHistory::Back(const Place& current) { return Move(back_, forward_, current, most_); }

std::optional<Place> JumpHistory::Forward(const Place& current) {
  return Move(forward_, back_, current, most_);
}
