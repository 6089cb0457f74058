// The order in which F6 and Shift+F6 move the keyboard focus between the main window's panes.
#pragma once

#include <array>
#include <optional>

// The panes in their order; F6 goes from each to the next and from the last to the first.
enum Pane { EditorPane, TreePane, MessagePane, PaneCount };

// The pane after `current` (before it when going back) among those `present`; from outside every
// pane (`current` empty) the first present one going forward, the last going back. None when no
// pane is present.
[[nodiscard]] std::optional<Pane> NextPane(std::optional<Pane> current,
                                           const std::array<bool, PaneCount>& present, bool forward);
