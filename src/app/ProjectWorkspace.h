// The main window's workspace: the project model with its file commands, its tree, its build,
// its class view and Find in Files.
#pragma once

#include "FrameEditorWindows.h"
#include "ProjectList.h"
#include "ProjectTree.h"
#include "WorkspaceCommands.h"
#include "WorkspacePort.h"
#include "WorkspaceShell.h"

#include <QObject>

#include <memory>

class BuildCommands;

class ProjectWorkspace : public WorkspacePort {
public:
  // Sets up the tree and wires the File menu's workspace commands.
  explicit ProjectWorkspace(WorkspaceShell shell);
  ~ProjectWorkspace() override;

  // Refused while a build runs, as every command that replaces the workspace.
  bool LoadWorkspace(const std::string& path) override;
  bool ReopenWorkspace(const std::string& path) override;
  void BuildTree() override;
  // The program is closing: a running game ends when the user agrees, then a running build, its
  // tool with it.
  bool CloseWorkspace() override;
  void EndBuild() override;
  [[nodiscard]] std::string ActiveProjectFile() const override;
  [[nodiscard]] bool HoldsProjects() const override { return Workspace.Count() > 0; }
  [[nodiscard]] bool Modified() const override { return Workspace.Modified; }
  // Wires the tree's commands, the build and Find in Files, which need the dialogs made at start.
  void AttachSharedDialogs(SharedDialogs& dialogs) override;
  [[nodiscard]] std::shared_ptr<Navigator> CodeNavigator() override;
  void SettingsChanged() override { UpdateNavigator(); }
  [[nodiscard]] const BuildDiagnostics* BuildMessagesByFile() const override;
  [[nodiscard]] QuickOpen WorkspaceFiles() const override { return {Workspace, shell_.workspaceFileName}; }
  void RebuildClassView() { classView_->RebuildClassView(); }
  [[nodiscard]] bool BuildRunning() const;

  ProjectList Workspace;

private:
  // The running navigator follows the projects and the settings.
  void UpdateNavigator();
  void WireTreeCommands();
  // True, with a message, when a build runs: the build still walks the workspace's projects.
  bool RefuseWorkspaceChange();
  // Handlers of the commands that change or replace the workspace.
  void SetWorkspaceChangeHandler(const char* action, std::function<void()> command);
  // Writes the workspace's compilation database where the user chooses.
  void ExportCompilationDatabase();
  // Opens a class view node's file; runs from the tree's signal, where nothing may be thrown.
  DocumentWindow* OpenForClassView(const std::string& path);

  WorkspaceShell shell_;
  WorkspaceCommands commands_;
  FrameEditorWindows editors_;
  ProjectTree tree_;
  std::unique_ptr<ClassViewCommands> classView_;
  std::unique_ptr<BuildCommands> build_;
  std::unique_ptr<ProjectTreeCommands> treeCommands_;
  std::unique_ptr<FindInFilesCommands> findInFiles_;
  std::shared_ptr<Navigator> navigator_;
  std::string navigatorFor_; // the workspace file the navigator reads
  QObject connections_;      // ends the tree's connections with this object
};
