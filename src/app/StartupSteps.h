// What the main window does when it is first shown, decided without a window: ask for the tools
// when one is missing, then open what the command line names.
#pragma once

#include "MissingTools.h"
#include "Settings.h"

#include <functional>
#include <string>
#include <vector>

struct StartupSteps {
  std::vector<MissingTool> missingTools; // Preferences opens first when one is missing
  std::string workspace;                 // a workspace file to load; empty for none
  std::string file;                      // a file to show in an editor window; empty for none
};

// The compiler or the assembler missing asks for the tools. Only the first argument counts, and only when it
// names an existing file: a ".tsw" (in any case) is the workspace, anything else a file for an editor window.
// Without arguments, `lastWorkspace` (the most recent one, empty for none) is the workspace when it is
// still there and the settings say to reopen it.
[[nodiscard]] StartupSteps StartupStepsFor(const Settings& settings,
                                           const std::vector<std::string>& arguments,
                                           const std::string& lastWorkspace,
                                           const std::function<bool(const std::string&)>& fileExists);
