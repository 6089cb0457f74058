// The build commands of the main window: the build controller over the workspace, the game
// launch, and the jump from a message line ("Debug" or "Find in Files") to its source.
#pragma once

#include "BuildController.h"
#include "GameLauncher.h"
#include "JumpToSource.h"
#include "MissingTools.h"
#include "WorkspaceShell.h"

#include <QObject>

#include <memory>
#include <vector>

class QAbstractItemView;
class ProjectList;

class BuildCommands {
public:
  // Wires the build, compile, launch and message-list commands.
  BuildCommands(const WorkspaceShell& shell, ProjectList& workspace, EditorWindows& editors,
                ProgressState& progress);

  [[nodiscard]] BuildController& Controller() { return *controller_; }

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

  const WorkspaceShell& shell_;
  ProjectList& workspace_;
  EditorWindows& editors_;
  std::unique_ptr<BuildController> controller_;
  GameLauncher launcher_;
  QObject connections_; // ends the message lists' connections with this object
};
