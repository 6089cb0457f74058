// The build commands of the main window: the build controller over the workspace, the game
// launch, and the jump from a message line ("Debug" or "Find in Files") to its source.
#pragma once

#include "BuildController.h"
#include "GameLauncher.h"
#include "GameLoop.h"
#include "GamePage.h"
#include "GameSession.h"
#include "JumpToSource.h"
#include "MissingTools.h"
#include "WorkspaceShell.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class QAbstractItemView;
class ProjectList;

class BuildCommands {
public:
  // Wires the build, compile, launch and message-list commands.
  BuildCommands(const WorkspaceShell& shell, ProjectList& workspace, EditorWindows& editors,
                ProgressState& progress);
  // The game's page goes first: it shows the game's lines.
  ~BuildCommands();
  BuildCommands(const BuildCommands&) = delete;
  BuildCommands& operator=(const BuildCommands&) = delete;

  [[nodiscard]] BuildController& Controller() { return *controller_; }
  // The program is closing: a game started from it that still runs is ended when the user agrees.
  bool MayEndGame();

private:
  void Wire();
  // True when the command's tools are there; otherwise says which one is missing and how to set
  // it, and offers Preferences, after which the tools are looked for again.
  bool ToolsReady(const std::vector<Tool>& needed);
  void CompileSelectedFile();
  // Next / Previous message (`step` 1 or -1) in the message page in front.
  void GoToMessage(int step);
  void ShowBuildMessagesPage();
  // The build messages in front, their pane opened if it was dragged shut.
  void BringMessagesForward();
  // The game's console in a page, Launch building first, Stop Game.
  void WireGameInPage();
  void JumpToGameLine(const std::string& line);
  [[nodiscard]] bool LaunchEnabled() const;

  const WorkspaceShell& shell_;
  ProjectList& workspace_;
  EditorWindows& editors_;
  std::unique_ptr<BuildController> controller_;
  GameLauncher launcher_;
  // With the game in the loop: the game, its page and Launch's build-then-start.
  std::unique_ptr<GameSession> game_;
  std::unique_ptr<GameLoop> gameLoop_;
  QPointer<GamePage> gamePage_; // in the message pages, which may go first
  QObject connections_;         // ends the message lists' connections with this object
};
