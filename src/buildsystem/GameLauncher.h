// "Launch Quake 3": starts the game as a detached process in its own folder; its output is not
// captured and its end is not awaited.
#pragma once

#include "Settings.h"

#include <string>

class GameLauncher {
public:
  // The command is offered when the game program exists.
  [[nodiscard]] static bool LaunchQuake3ActionEnabled(const Settings& settings);
  // Starts the game; a failure is not reported (the command shows no message of its own).
  bool LaunchGame(const Settings& settings);

  // What the last launch used.
  std::string Command;
  std::string Parameters;
  std::string DefaultDir;
};
