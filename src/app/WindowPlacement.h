// Where the main window sits on the screen and how its panels are divided, and the rules that
// place it: a fixed first size under the classic conventions, most of the screen on a desktop's
// first start, and a remembered place made to fit the screen it comes back to.
#pragma once

#include <QRect>

#include <optional>

class RegistryStore;

struct WindowPlacement {
  QRect normal; // the frame's inside when not maximised, in device-independent pixels
  bool maximised = false;
  int leftPanel = 230;   // width of the panel of the workspace tree
  int bottomPanel = 150; // height of the panel of the message lists

  bool operator==(const WindowPlacement&) const = default;
};

// The first place under the classic conventions: 659 by 489, centred on the screen's free area.
[[nodiscard]] WindowPlacement ClassicPlacement(const QRect& available);
// A desktop's first start: most of the screen's free area, centred.
[[nodiscard]] WindowPlacement FirstPlacement(const QRect& available);
// A remembered placement on the screen it comes back to, which may be smaller or scaled up: no
// larger than the free area and inside it, the panels no larger than half the window.
[[nodiscard]] WindowPlacement FittedPlacement(WindowPlacement placement, const QRect& available);

// Kept beside the settings; none when nothing was stored or what was stored is unusable.
[[nodiscard]] std::optional<WindowPlacement> LoadPlacement(const RegistryStore& store);
void SavePlacement(RegistryStore& store, const WindowPlacement& placement);
