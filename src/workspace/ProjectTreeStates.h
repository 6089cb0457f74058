// When the tree's commands are enabled, by the level of the selected node (-1 when nothing is
// selected). Plain rules, so they are tested without a tree.
#pragma once

[[nodiscard]] constexpr bool BuildableProjectSelected(int selectedLevel, bool compilerExists,
                                                      bool assemblerExists) {
  return compilerExists && assemblerExists && selectedLevel == 1;
}
[[nodiscard]] constexpr bool ProjectSelected(int selectedLevel) { return selectedLevel == 1; }
[[nodiscard]] constexpr bool FileSelected(int selectedLevel) { return selectedLevel == 3; }
[[nodiscard]] constexpr bool ProjectOrFileSelected(int selectedLevel) {
  return selectedLevel == 1 || selectedLevel == 3;
}

// Writes an action's enabled state only when it changes, as every idle-time update does.
template <typename Action> void WriteEnabled(Action& action, bool enabled) {
  if (action.isEnabled() != enabled) action.setEnabled(enabled);
}
