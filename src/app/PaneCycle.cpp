#include "PaneCycle.h"

std::optional<Pane> NextPane(std::optional<Pane> current, const std::array<bool, PaneCount>& present,
                             bool forward) {
  const int step = forward ? 1 : PaneCount - 1;
  // From outside, start as if the focus sat just before the first pane (or after the last).
  int at = current ? *current : (forward ? PaneCount - 1 : 0);
  for (int tried = 0; tried < PaneCount; ++tried) {
    at = (at + step) % PaneCount;
    if (present[at]) return static_cast<Pane>(at);
  }
  return std::nullopt;
}
