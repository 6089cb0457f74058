#include "ProjectWorkspace.h"

#include "RegMru.h"
#include "WindowCommands.h"
#include "main.h"
#include "projectTree.h"

#include <QMdiSubWindow>
#include <QTreeWidget>

namespace {

WorkspaceWindow workspaceWindowOf(TMainForm& form, ProjectWorkspace& workspace) {
  WorkspaceWindow window;
  window.RebuildTree = [&workspace] { workspace.BuildTree(); };
  window.RebuildClassView = [&workspace] { workspace.RebuildClassView(); };
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

ProjectTreeWindow treeWindowOf(TMainForm& form, TBuildController& build, ProjectWorkspace& workspace) {
  ProjectTreeWindow window;
  window.RebuildClassView = [&workspace] { workspace.RebuildClassView(); };
  window.ResetBuildState = [&build] { build.ResetBuildState(); };
  window.ClearDebugList = [&form] { form.DebugLines.Clear(); };
  window.OpenFile = [&form](const std::string& path) {
    if (QMdiSubWindow* window = form.OpenEditorWindow(path)) form.Windows().BringToFront(window);
  };
  window.ShowModal = [&form](QDialog& dialog) { return form.RunDialog(dialog) == QDialog::Accepted; };
  return window;
}

} // namespace

ProjectWorkspace::ProjectWorkspace(TMainForm& form)
    : form_(form), commands_(Workspace, form.Questions(), workspaceWindowOf(form, *this)) {
  classView_ = MakeClassViewCommands(form, Workspace);
  SetUpProjectTreeView(*form.ProjectTreeView, Workspace,
                       [&form](int index) { return form.TreeViewList.value(index); });
  MainActions& actions = form.Actions();
  actions.SetHandler("FileOpenWorkspace", [this] { commands_.FileOpenWorkspace(); });
  actions.SetHandler("FileImportWorkspaceAction", [this] { commands_.FileImportWorkspaceAction(); });
  actions.SetHandler("FileSaveWorkspaceAction", [this] { commands_.FileSaveWorkspaceAction(); });
  actions.SetHandler("FileCloseWorkspaceAction", [this] { commands_.FileCloseWorkspaceAction(); });
}

ProjectWorkspace::~ProjectWorkspace() { QObject::disconnect(doubleClick_); }

bool ProjectWorkspace::LoadWorkspace(const std::string& path) { return commands_.LoadWorkspace(path); }

bool ProjectWorkspace::CloseWorkspace() { return commands_.FileCloseWorkspaceAction(); }

std::string ProjectWorkspace::ActiveProjectFile() const {
  return Workspace.ActiveProject != nullptr ? Workspace.ActiveProject->FileName : std::string();
}

void ProjectWorkspace::BuildTree() { ::BuildTree(Workspace, *form_.ProjectTreeView); }

void ProjectWorkspace::AttachSharedDialogs(SharedDialogs& dialogs) {
  build_ = std::make_unique<BuildCommands>(form_, Workspace, *form_.ProjectTreeView, *dialogs.Progress);
  treeCommands_ = std::make_unique<ProjectTreeCommands>(Workspace, *form_.ProjectTreeView, form_.Questions(),
                                                        *dialogs.ProjectNameForm, *dialogs.FilePropertiesForm,
                                                        treeWindowOf(form_, build_->Controller(), *this));
  findInFiles_ = MakeFindInFilesCommands(form_, *dialogs.FindInFilesDialog, Workspace);
  ProjectTreeCommands& tree = *treeCommands_;
  MainActions& actions = form_.Actions();
  actions.SetHandler("SetActiveProjectActive", [&tree] { tree.SetActiveProjectActiveExecute(); });
  actions.SetHandler("AddFilesToProjectAction", [&tree] { tree.AddFilesToProjectActionExecute(); });
  actions.SetHandler("RemoveFileFromProjectAction", [&tree] { tree.RemoveFileFromProjectActionExecute(); });
  actions.SetHandler("AddNewProjectAction", [&tree] { tree.AddNewProjectActionExecute(); });
  actions.SetHandler("RemoveProjectAction", [&tree] { tree.RemoveProjectActionExecute(); });
  actions.SetHandler("PropertiesAction", [&tree] { tree.PropertiesActionExecute(); });

  const Settings& settings = form_.settings;
  for (const char* name : {"BuildAction", "SetActiveProjectActive"})
    actions.SetUpdateHandler(name,
                             [&tree, &settings](QAction& a) { tree.LevelOneActionUpdate(a, settings); });
  for (const char* name : {"AddFilesToProjectAction", "RemoveProjectAction"})
    actions.SetUpdateHandler(name, [&tree](QAction& a) { tree.AddFilesToProjectActionUpdate(a); });
  for (const char* name : {"CompileAction", "RemoveFileFromProjectAction"})
    actions.SetUpdateHandler(name, [&tree](QAction& a) { tree.CompileActionUpdate(a); });
  actions.SetUpdateHandler("PropertiesAction", [&tree](QAction& a) { tree.PropertiesActionUpdate(a); });

  doubleClick_ = QObject::connect(form_.ProjectTreeView, &QTreeWidget::itemDoubleClicked, &form_, [this] {
    form_.RunGuarded([this] { treeCommands_->ProjectTreeViewDblClick(); });
  });
}

std::unique_ptr<WorkspacePort> MakeProjectWorkspace(TMainForm& form) {
  return std::make_unique<ProjectWorkspace>(form);
}
