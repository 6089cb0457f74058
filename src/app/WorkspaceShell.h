// What the workspace part of the shell takes from the main window: its actions, the controls it
// fills, and a few services, each named, so that the helpers never reach the whole window.
#pragma once

#include "ClassViewCommands.h"
#include "Dialogs.h"
#include "FindInFilesCommands.h"
#include "MissingTools.h"
#include "Navigator.h"

#include <QIcon>
#include <QVector>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class MainActions;
class MessageLines;
class ProjectList;
class QListView;
class QMdiSubWindow;
class QTreeWidget;
class QWidget;
class UserQuestions;
class WindowCommands;
struct Settings;
struct SettingsConventions;

// Starts a navigator (clangd) for a workspace file and its projects.
using NavigatorMaker = std::function<std::shared_ptr<Navigator>(
    const std::string& workspaceFile, const ProjectList& workspace, const Settings& settings)>;
// Tells the running navigator that the projects or the settings changed, so that it compiles each
// file as the build now would.
using NavigatorUpdate = std::function<void(const ProjectList& workspace, const Settings& settings)>;

// Runs a handler; an error it raises is shown in an error box and the program goes on.
using GuardedRunner = std::function<void(const std::function<void()>&)>;

struct WorkspaceShell {
  MainActions& actions;
  UserQuestions& questions;
  const Settings& settings;
  const SettingsConventions& conventions;
  MessageLines& buildMessages; // the "Debug" list's lines
  WindowCommands& windows;
  QWidget& window; // the main window: owner of the windows the helpers show, on the UI thread
  QTreeWidget& projectTree;
  const QVector<QIcon>& treeImages;
  QListView& buildMessageList;
  ClassViewControls classView;
  FindInFilesPage findInFilesPage;
  GuardedRunner runGuarded;
  DialogRunner runDialog;
  // Finds the open editor window of a file or opens one; none when the file cannot be read.
  std::function<QMdiSubWindow*(const std::string& path)> openEditorWindow;
  std::function<void(const std::string& path)> addRecentWorkspace;
  std::string& workspaceFileName;
  // The editor windows go with their workspace: remembered when it makes way, brought back when
  // it opens.
  bool windowsFollowWorkspace = false;
  std::function<void()> rememberWindows;
  std::function<void()> restoreWindows;
  // Preferences, opening on the tools that are missing.
  std::function<void(const std::vector<MissingTool>& missing)> showPreferences;
  // Save Workspace writes the workspace's own file, New Workspace exists, Remove Project asks.
  bool desktopWorkspaceCommands = false;
  // None: the workspace's code has no navigator.
  NavigatorMaker makeNavigator;
  // A jump from a message line is about to move the caret: Back returns to where it was.
  std::function<void()> noteJump;
  NavigatorUpdate updateNavigator;
};
