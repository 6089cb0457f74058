#include "ProjectWorkspace.h"

#include "BuildCommands.h"
#include "CompilationDatabase.h"
#include "DocumentWindow.h"
#include "EditorWindowPort.h"
#include "FindInFilesDialog.h"
#include "MainActions.h"
#include "Paths.h"
#include "ProjectNameDialog.h"
#include "ProjectTree.h"
#include "ProjectTreeCommands.h"
#include "Settings.h"
#include "SharedDialogs.h"
#include "UserQuestions.h"
#include "WindowCommands.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QTreeWidget>

namespace {

WorkspaceWindow workspaceWindowOf(const WorkspaceShell& shell, ProjectWorkspace& workspace) {
  WorkspaceWindow window;
  window.RebuildTree = [&workspace] { workspace.BuildTree(); };
  window.RebuildClassView = [&workspace] { workspace.RebuildClassView(); };
  window.AddRecentWorkspace = shell.addRecentWorkspace;
  WindowCommands& windows = shell.windows;
  window.CloseAll = [&windows] {
    windows.CloseAll();
    return windows.Count() == 0;
  };
  std::string& fileName = shell.workspaceFileName;
  window.WorkspaceFileName = [&fileName] { return fileName; };
  window.SetWorkspaceFileName = [&fileName](const std::string& name) { fileName = name; };
  const Settings& settings = shell.settings;
  window.CurrentSettings = [&settings] { return settings; };
  window.windowsFollowWorkspace = shell.windowsFollowWorkspace;
  window.RememberWindows = shell.rememberWindows;
  window.RestoreWindows = shell.restoreWindows;
  window.savesToItsOwnFile = shell.desktopWorkspaceCommands;
  return window;
}

ProjectTreeWindow treeWindowOf(const WorkspaceShell& shell, BuildController& build,
                               ProjectWorkspace& workspace, SharedDialogs& dialogs) {
  ProjectTreeWindow window;
  window.RebuildClassView = [&workspace] { workspace.RebuildClassView(); };
  window.ResetBuildState = [&build] { build.ResetBuildState(); };
  MessageLines& buildMessages = shell.buildMessages;
  window.ClearBuildMessages = [&buildMessages] { buildMessages.Clear(); };
  window.OpenFile = [open = shell.openEditorWindow, &windows = shell.windows](const std::string& path) {
    if (QMdiSubWindow* window = open(path)) windows.BringToFront(window);
  };
  window.asksBeforeRemovingProject = shell.desktopWorkspaceCommands;
  AskThroughDialogs(window, *dialogs.ProjectNameForm, *dialogs.FilePropertiesForm,
                    [run = shell.runDialog](QDialog& dialog) { return run(dialog) == QDialog::Accepted; });
  return window;
}

} // namespace

ProjectWorkspace::ProjectWorkspace(WorkspaceShell shell)
    : shell_(std::move(shell)), commands_(Workspace, shell_.questions, workspaceWindowOf(shell_, *this)),
      editors_(shell_.windows, shell_.openEditorWindow, shell_.noteJump),
      tree_(Workspace, shell_.projectTree) {
  classView_ =
      std::make_unique<ClassViewCommands>(shell_.classView, Workspace, shell_.questions,
                                          [this](const std::string& path) { return OpenForClassView(path); });
  const QVector<QIcon>& images = shell_.treeImages;
  SetUpProjectTreeView(shell_.projectTree, Workspace, [&images](int index) { return images.value(index); });
  SetWorkspaceChangeHandler("FileOpenWorkspace", [this] { commands_.FileOpenWorkspace(); });
  SetWorkspaceChangeHandler("FileNewWorkspaceAction", [this] { commands_.FileNewWorkspaceAction(); });
  SetWorkspaceChangeHandler("FileImportWorkspaceAction", [this] { commands_.FileImportWorkspaceAction(); });
  shell_.actions.SetHandler("FileSaveWorkspaceAction", [this] { commands_.FileSaveWorkspaceAction(); });
  SetWorkspaceChangeHandler("FileCloseWorkspaceAction", [this] { commands_.FileCloseWorkspaceAction(); });
  shell_.actions.SetHandler("FileExportCompilationDatabaseAction", [this] { ExportCompilationDatabase(); });
  shell_.actions.SetEnabledHandler("FileExportCompilationDatabaseAction", [this] { return HoldsProjects(); });
}

void ProjectWorkspace::ExportCompilationDatabase() {
  FileDialogRequest request;
  request.title = "Export Compilation Database";
  request.filter = "Compilation Database (*.json)|*.json|All Files (*.*)|*.*";
  request.defaultExtension = "json";
  request.initialFolder = paths::ExtractFilePath(shell_.workspaceFileName);
  request.initialFile = request.initialFolder + "compile_commands.json";
  const std::optional<std::string> file = shell_.questions.ChooseFileToSave(request);
  if (!file) return;
  if (!WriteCompilationDatabase(*file, Workspace, shell_.settings).empty())
    throw TessarinError("Cannot create file " + *file);
}

ProjectWorkspace::~ProjectWorkspace() = default;

const BuildDiagnostics* ProjectWorkspace::BuildMessagesByFile() const {
  return build_ != nullptr ? &build_->Controller().Diagnostics() : nullptr;
}

std::shared_ptr<Navigator> ProjectWorkspace::CodeNavigator() {
  if (!shell_.makeNavigator || Workspace.Count() == 0 || shell_.workspaceFileName.empty()) {
    navigator_.reset();
    navigatorFor_.clear();
  } else if (navigator_ == nullptr || navigatorFor_ != shell_.workspaceFileName) {
    navigator_ = shell_.makeNavigator(shell_.workspaceFileName, Workspace, shell_.settings);
    navigatorFor_ = shell_.workspaceFileName;
  }
  return navigator_;
}

bool ProjectWorkspace::BuildRunning() const { return build_ != nullptr && build_->Controller().Building(); }

bool ProjectWorkspace::RefuseWorkspaceChange() {
  return build_ != nullptr && build_->Controller().RefuseWorkspaceChange();
}

void ProjectWorkspace::SetWorkspaceChangeHandler(const char* action, std::function<void()> command) {
  shell_.actions.SetHandler(action, [this, command = std::move(command)] {
    if (RefuseWorkspaceChange()) return;
    command();
    UpdateNavigator();
  });
}

bool ProjectWorkspace::LoadWorkspace(const std::string& path) {
  return !RefuseWorkspaceChange() && commands_.LoadWorkspace(path);
}

bool ProjectWorkspace::ReopenWorkspace(const std::string& path) {
  return !RefuseWorkspaceChange() && commands_.ReopenRecentWorkspace(path);
}

// The program is closing. The questions about a running game and a modified workspace come
// first, so that a user who keeps the program open keeps the build too; then the build ends, as
// the workspace it walks goes.
bool ProjectWorkspace::CloseWorkspace() {
  if (build_ != nullptr && !build_->MayEndGame()) return false;
  if (!commands_.MayDropWorkspace()) return false;
  if (build_ != nullptr) build_->Controller().Abort();
  return commands_.CloseDroppedWorkspace();
}

void ProjectWorkspace::EndBuild() {
  if (build_ != nullptr) build_->Controller().Abort();
}

std::string ProjectWorkspace::ActiveProjectFile() const {
  return Workspace.ActiveProject != nullptr ? Workspace.ActiveProject->FileName : std::string();
}

void ProjectWorkspace::BuildTree() { ::BuildTree(Workspace, shell_.projectTree); }

void ProjectWorkspace::UpdateNavigator() {
  // A navigator of the workspace that was open before has nothing to learn of this one.
  if (navigator_ != nullptr && navigatorFor_ == shell_.workspaceFileName && shell_.updateNavigator)
    shell_.updateNavigator(Workspace, shell_.settings);
}

DocumentWindow* ProjectWorkspace::OpenForClassView(const std::string& path) {
  DocumentWindow* editor = nullptr;
  shell_.runGuarded([this, &path, &editor] {
    if (QMdiSubWindow* window = shell_.openEditorWindow(path)) {
      shell_.windows.BringToFront(window);
      editor = qobject_cast<DocumentWindow*>(window->widget());
    }
  });
  return editor;
}

void ProjectWorkspace::AttachSharedDialogs(SharedDialogs& dialogs) {
  build_ = std::make_unique<BuildCommands>(shell_, Workspace, editors_, *dialogs.Progress);
  treeCommands_ = std::make_unique<ProjectTreeCommands>(
      Workspace, tree_, shell_.questions, treeWindowOf(shell_, build_->Controller(), *this, dialogs));
  WindowCommands& windows = shell_.windows;
  FindInFilesWindows openWindows{[&windows](const std::string& path) -> EditorWindowPort* {
                                   QMdiSubWindow* window = windows.FindEditorWindow(path);
                                   return window != nullptr ? WindowCommands::Port(window) : nullptr;
                                 },
                                 [&windows] { return windows.ActiveEditor(); }};
  const Settings& settings = shell_.settings;
  findInFiles_ = std::make_unique<FindInFilesCommands>(
      *dialogs.FindInFilesForm, Workspace, shell_.findInFilesPage, std::move(openWindows), shell_.questions,
      [&settings] { return settings.BackupSource; },
      [run = shell_.runDialog](QDialog& dialog) { return run(dialog) == QDialog::Accepted; },
      [window = &shell_.window] { return std::make_unique<QtFindInFilesProgress>(window); });
  dialogs.FindInFilesForm->ChooseFolder = [&questions = shell_.questions](const std::string& current) {
    return questions.ChooseFolder("Search in Folder", current);
  };
  MainActions& actions = shell_.actions;
  actions.SetHandler("FindInFilesAction", [this] { findInFiles_->FindInFiles(); });
  actions.SetEnabledHandler("FindInFilesAction", [this] { return findInFiles_->FindInFilesEnabled(); });
  actions.SetHandler("ReplaceInFilesAction", [this] { findInFiles_->ReplaceInFiles(); });
  actions["ReplaceInFilesAction"]->setVisible(dialogs.FindInFilesForm->Desktop());
  WireTreeCommands();
}

void ProjectWorkspace::WireTreeCommands() {
  ProjectTreeCommands& tree = *treeCommands_;
  MainActions& actions = shell_.actions;
  // Every command that changes the workspace waits for a running build: it walks the projects.
  SetWorkspaceChangeHandler("SetActiveProjectActive", [&tree] { tree.ActivateSelectedProject(); });
  SetWorkspaceChangeHandler("AddFilesToProjectAction", [&tree] { tree.AddFilesToSelectedProject(); });
  SetWorkspaceChangeHandler("RemoveFileFromProjectAction", [&tree] { tree.RemoveSelectedFile(); });
  SetWorkspaceChangeHandler("AddNewProjectAction", [&tree] { tree.AddNewProject(); });
  SetWorkspaceChangeHandler("RemoveProjectAction", [&tree] { tree.RemoveSelectedProject(); });
  // A project's properties rename it; a file's only show where it is and when it changed.
  actions.SetHandler("PropertiesAction", [this, &tree] {
    if (tree_.Selection().level == 1 && RefuseWorkspaceChange()) return;
    tree.EditSelectedProperties();
    UpdateNavigator(); // a project's name sets its defines
  });

  const Settings& settings = shell_.settings;
  for (const char* name : {"BuildAction", "SetActiveProjectActive"})
    actions.SetUpdateHandler(name,
                             [&tree, &settings](QAction& a) { tree.EnableForBuildableProject(a, settings); });
  for (const char* name : {"AddFilesToProjectAction", "RemoveProjectAction"})
    actions.SetUpdateHandler(name, [&tree](QAction& a) { tree.EnableForSelectedProject(a); });
  for (const char* name : {"CompileAction", "RemoveFileFromProjectAction"})
    actions.SetUpdateHandler(name, [&tree](QAction& a) { tree.EnableForSelectedFile(a); });
  actions.SetUpdateHandler("PropertiesAction", [&tree](QAction& a) { tree.EnableForProjectOrFile(a); });

  QObject::connect(&shell_.projectTree, &QTreeWidget::itemDoubleClicked, &connections_,
                   [this] { shell_.runGuarded([this] { treeCommands_->OpenSelectedFile(); }); });
}
