#include "WindowPlacement.h"

#include "RegistryStore.h"

#include <algorithm>

namespace {

const char* const kPlacementKey = "software\\Tessarin\\window";
const RegistryRoot kRoot = RegistryRoot::CurrentUser;

QRect centred(const QSize& size, const QRect& available) {
  QRect rect(QPoint(), size.boundedTo(available.size()));
  rect.moveCenter(available.center());
  return rect;
}

} // namespace

WindowPlacement ClassicPlacement(const QRect& available) {
  WindowPlacement placement;
  placement.normal = centred(QSize(659, 489), available);
  return placement;
}

WindowPlacement FirstPlacement(const QRect& available) {
  WindowPlacement placement;
  placement.normal = centred(available.size() * 0.85, available);
  // The messages of a build are read there: some fifteen lines at first, then where the user put it.
  placement.bottomPanel = std::max(placement.bottomPanel, placement.normal.height() * 3 / 10);
  return placement;
}

WindowPlacement FittedPlacement(WindowPlacement placement, const QRect& available) {
  QRect& normal = placement.normal;
  normal.setSize(normal.size().boundedTo(available.size()));
  normal.moveLeft(std::clamp(normal.left(), available.left(), available.right() - normal.width() + 1));
  normal.moveTop(std::clamp(normal.top(), available.top(), available.bottom() - normal.height() + 1));
  placement.leftPanel = std::clamp(placement.leftPanel, 0, normal.width() / 2);
  placement.bottomPanel = std::clamp(placement.bottomPanel, 0, normal.height() / 2);
  return placement;
}

std::optional<WindowPlacement> LoadPlacement(const RegistryStore& store) {
  auto number = [&store](const char* name) -> std::optional<int> {
    std::optional<RegistryValue> value = store.Value(kRoot, kPlacementKey, name);
    if (!value || !value->IsNumber()) return std::nullopt;
    return value->Number();
  };
  const auto left = number("Left"), top = number("Top"), width = number("Width"), height = number("Height");
  if (!left || !top || !width || !height || *width <= 0 || *height <= 0) return std::nullopt;
  WindowPlacement placement;
  placement.normal = QRect(*left, *top, *width, *height);
  placement.maximised = number("Maximised").value_or(0) != 0;
  placement.leftPanel = number("LeftPanel").value_or(placement.leftPanel);
  placement.bottomPanel = number("BottomPanel").value_or(placement.bottomPanel);
  return placement;
}

void SavePlacement(RegistryStore& store, const WindowPlacement& placement) {
  store.OpenKey(kRoot, kPlacementKey, true);
  const std::pair<const char*, int> values[] = {
      {"Left", placement.normal.left()},      {"Top", placement.normal.top()},
      {"Width", placement.normal.width()},    {"Height", placement.normal.height()},
      {"Maximised", placement.maximised},     {"LeftPanel", placement.leftPanel},
      {"BottomPanel", placement.bottomPanel},
  };
  for (const auto& [name, value] : values)
    store.SetNumber(kRoot, kPlacementKey, name, value);
}
