// The main window's workspace: the project model with its file commands, its tree and its build.
#pragma once

#include "BuildCommands.h"
#include "ClassViewCommands.h"
#include "FindInFilesCommands.h"
#include "ShellPorts.h"
#include "projectList.h"
#include "projectTreeCommands.h"
#include "workspaceCommands.h"

#include <QObject>

#include <memory>

class TMainForm;

class ProjectWorkspace : public WorkspacePort {
public:
  // Sets up the tree and wires the File menu's workspace commands of `form`.
  explicit ProjectWorkspace(TMainForm& form);
  ~ProjectWorkspace() override;

  bool LoadWorkspace(const std::string& path) override;
  void BuildTree() override;
  bool CloseWorkspace() override;
  [[nodiscard]] std::string ActiveProjectFile() const override;
  // Wires the tree's commands and the build, which need the dialogs made at start.
  void AttachSharedDialogs(SharedDialogs& dialogs) override;
  void RebuildClassView() { classView_->RebuildClassView(); }

  TProjectList Workspace;

private:
  TMainForm& form_;
  WorkspaceCommands commands_;
  std::unique_ptr<BuildCommands> build_;
  std::unique_ptr<ProjectTreeCommands> treeCommands_;
  std::unique_ptr<ClassViewCommands> classView_;
  std::unique_ptr<FindInFilesCommands> findInFiles_;
  QMetaObject::Connection doubleClick_;
};

[[nodiscard]] std::unique_ptr<WorkspacePort> MakeProjectWorkspace(TMainForm& form);
