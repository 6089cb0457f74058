// The main window's workspace: the project model with its file commands, shown in the tree.
#pragma once

#include "ShellPorts.h"
#include "projectList.h"
#include "workspaceCommands.h"

#include <memory>

class TMainForm;

class ProjectWorkspace : public WorkspacePort {
public:
  // Wires the File menu's workspace commands of `form`.
  explicit ProjectWorkspace(TMainForm& form);

  bool LoadWorkspace(const std::string& path) override;
  void BuildTree() override;
  bool CloseWorkspace() override;

  TProjectList Workspace;

private:
  TMainForm& form_;
  WorkspaceCommands commands_;
};

[[nodiscard]] std::unique_ptr<WorkspacePort> MakeProjectWorkspace(TMainForm& form);
