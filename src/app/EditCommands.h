// The edit commands that forward to the active editor window, and the refresh of their
// enabled states (and those of the other commands that need an editor window).
#pragma once

#include <functional>

class MainActions;
class WindowCommands;

class EditCommands {
public:
  // `clipboardHasText` tells whether the clipboard holds plain text.
  EditCommands(MainActions& actions, WindowCommands& windows, std::function<bool()> clipboardHasText);

  // Overrides the actions' own enabled-state handlers; writes only what changed.
  void UpdateEditActions();

private:
  void Wire();

  MainActions& actions_;
  WindowCommands& windows_;
  std::function<bool()> clipboardHasText_;
};
