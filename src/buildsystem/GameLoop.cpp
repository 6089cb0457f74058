#include "GameLoop.h"

#include <algorithm>

namespace {

// The project that builds the module the server runs.
const char* const kGameModule = "qagame";

Project* ProjectNamed(const ProjectList& workspace, const std::string& name) {
  for (int i = 0; i < workspace.Count(); ++i)
    if (workspace.Items(i).Name == name) return &workspace.Items(i);
  return nullptr;
}

} // namespace

GameLoop::GameLoop(BuildController& build, GameSession& game, const ProjectList& workspace,
                   const Settings& settings, UserQuestions& questions)
    : build_(build), game_(game), workspace_(workspace), settings_(settings), questions_(questions) {}

void GameLoop::Launch() {
  if (build_.Building()) {
    questions_.Inform(kBuildAlreadyRunning);
    return;
  }
  if (workspace_.Count() == 0) return StartOrReload();
  // Set first: a build that cannot start its first tool has finished before the call returns.
  launchAfterBuild_ = true;
  // The dedicated server loads the game module alone: the client's modules need not build.
  gameModule_ = settings_.RunDedicatedServer ? ProjectNamed(workspace_, kGameModule) : nullptr;
  if (gameModule_ != nullptr)
    build_.Build(*gameModule_, Sources::Changed);
  else
    build_.BuildAll(Sources::Changed);
  if (!build_.Building() && launchAfterBuild_) launchAfterBuild_ = false;
}

void GameLoop::BuildFinished() {
  if (!launchAfterBuild_) return;
  launchAfterBuild_ = false;
  if (EveryModuleBuilt()) StartOrReload();
}

bool GameLoop::EveryModuleBuilt() const {
  const BuildOutcome& outcome = build_.Outcome();
  const std::size_t expected = gameModule_ != nullptr ? 1 : static_cast<std::size_t>(workspace_.Count());
  return !outcome.Failed() && outcome.modulesInstalled.size() == expected;
}

void GameLoop::StartOrReload() {
  try {
    if (game_.Running())
      game_.Reload(settings_.ReloadCommand);
    else
      game_.Start(GameCommandFor(settings_));
  } catch (const TessarinError& error) {
    questions_.ShowError(error.Message());
  }
  if (GameShown) GameShown();
}

std::optional<std::string> WorkspaceFileOf(const GameSourcePlace& place, const ProjectList& workspace) {
  std::string name = place.file;
  std::replace(name.begin(), name.end(), '\\', '/');
  // "../game/g_main.c" names "game/g_main.c" below some folder.
  while (name.rfind("../", 0) == 0 || name.rfind("./", 0) == 0)
    name.erase(0, name.find('/') + 1);
  const std::string tail = "/" + name;
  std::optional<std::string> found;
  for (int i = 0; i < workspace.Count(); ++i)
    for (const ProjectFile& file : workspace.Items(i).Files) {
      std::string path = file.Path;
      std::replace(path.begin(), path.end(), '\\', '/');
      if (path != name &&
          (path.size() < tail.size() || path.compare(path.size() - tail.size(), tail.size(), tail) != 0))
        continue;
      if (found && *found != file.Path) return std::nullopt;
      found = file.Path;
    }
  return found;
}
