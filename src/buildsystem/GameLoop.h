// Launch with the game in the loop: the workspace is built first (only what changed; for the
// dedicated server only its game module, "qagame", when the workspace has it), and when every
// module was built the game starts, or, when the game started earlier still runs, it is
// told to reload its modules. A failed build starts nothing and sends nothing.
#pragma once

#include "BuildController.h"
#include "GameConsole.h"
#include "GameSession.h"

#include <functional>
#include <optional>
#include <string>

class GameLoop {
public:
  GameLoop(BuildController& build, GameSession& game, const ProjectList& workspace, const Settings& settings,
           UserQuestions& questions);

  // Launch (F5).
  void Launch();
  // The build ended; the controller's BuildFinished passes it on.
  void BuildFinished();
  // Stop Game.
  void Stop() { game_.Stop(); }
  // A launch waits for its build.
  [[nodiscard]] bool WaitingForBuild() const { return launchAfterBuild_; }

  // The game was started or told to reload: its page comes forward.
  std::function<void()> GameShown;

private:
  [[nodiscard]] bool EveryModuleBuilt() const;
  void StartOrReload();

  BuildController& build_;
  GameSession& game_;
  const ProjectList& workspace_;
  const Settings& settings_;
  UserQuestions& questions_;
  bool launchAfterBuild_ = false;
  Project* gameModule_ = nullptr; // the one project the launch builds; none: all of them
};

// The workspace file a place printed by the game names: the project file whose path ends with
// the place's file (its folders as far as they are given); none when no file or several match.
[[nodiscard]] std::optional<std::string> WorkspaceFileOf(const GameSourcePlace& place,
                                                         const ProjectList& workspace);
