#include "ProjectWorkspace.h"

#include "ImageLists.h"
#include "RegMru.h"
#include "WindowCommands.h"
#include "main.h"

#include <QTreeWidget>

namespace {

WorkspaceWindow windowOf(TMainForm& form, ProjectWorkspace& workspace) {
  WorkspaceWindow window;
  window.RebuildTree = [&workspace] { workspace.BuildTree(); };
  window.AddRecentWorkspace = [&form](const std::string& path) { form.RegMru().AddItem(path); };
  window.CloseAll = [&form] {
    form.Windows().CloseAll();
    return form.Windows().Count() == 0;
  };
  window.WorkspaceFileName = [&form] { return form.WorkspaceFileName; };
  window.SetWorkspaceFileName = [&form](const std::string& name) { form.WorkspaceFileName = name; };
  window.CurrentSettings = [&form] { return form.settings; };
  return window;
}

} // namespace

ProjectWorkspace::ProjectWorkspace(TMainForm& form)
    : form_(form), commands_(Workspace, form.Questions(), windowOf(form, *this)) {
  MainActions& actions = form.Actions();
  actions.SetHandler("FileOpenWorkspace", [this] { commands_.FileOpenWorkspace(); });
  actions.SetHandler("FileImportWorkspaceAction", [this] { commands_.FileImportWorkspaceAction(); });
  actions.SetHandler("FileSaveWorkspaceAction", [this] { commands_.FileSaveWorkspaceAction(); });
  actions.SetHandler("FileCloseWorkspaceAction", [this] { commands_.FileCloseWorkspaceAction(); });
}

bool ProjectWorkspace::LoadWorkspace(const std::string& path) { return commands_.LoadWorkspace(path); }

bool ProjectWorkspace::CloseWorkspace() { return commands_.FileCloseWorkspaceAction(); }

void ProjectWorkspace::BuildTree() {
  QTreeWidget* tree = form_.ProjectTreeView;
  tree->clear();
  auto* root = new QTreeWidgetItem(tree, QStringList("Projects"));
  root->setIcon(0, form_.TreeViewList[TreeImage::Root]);
  for (int i = 0; i < Workspace.Count(); ++i) {
    auto* project = new QTreeWidgetItem(root, QStringList(QString::fromStdString(Workspace.Items(i).Name)));
    project->setIcon(0, form_.TreeViewList[TreeImage::Project]);
  }
  root->setExpanded(true);
}

std::unique_ptr<WorkspacePort> MakeProjectWorkspace(TMainForm& form) {
  return std::make_unique<ProjectWorkspace>(form);
}
