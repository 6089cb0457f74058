// The workspace tree's commands: each changes the model and the tree together, and does nothing
// unless the selection is at the level it needs.
#include "ProjectTreeCommands.h"

#include "DisplayText.h"
#include "FilePropertiesDialog.h"
#include "ProjectNameDialog.h"
#include "ProjectTree.h"
#include "ProjectTreeStates.h"
#include "WorkspacePaths.h"

#include <QAction>
#include <QTreeWidget>

FileDialogRequest SourceOpenDialog(const std::string& initialFolder) {
  FileDialogRequest request;
  request.title = "Open File";
  request.filter = "C Files (*.c; *.h)|*.c;*.h|ASM Files (*.asm)|*.asm|All Files (*.*)|*.*";
  request.defaultExtension = "c";
  request.initialFolder = initialFolder;
  return request;
}

ProjectTreeCommands::ProjectTreeCommands(TProjectList& workspace, QTreeWidget& tree, UserQuestions& questions,
                                         ProjectNameDialog& nameForm,
                                         FilePropertiesDialog& filePropertiesForm, ProjectTreeWindow window)
    : workspace_(workspace), tree_(tree), questions_(questions), nameForm_(nameForm),
      filePropertiesForm_(filePropertiesForm), window_(std::move(window)) {}

int ProjectTreeCommands::selectedLevel() const { return NodeLevel(SelectedNode(tree_)); }

void ProjectTreeCommands::SetActiveProjectActiveExecute() {
  TProjectItem* project = ProjectOfNode(SelectedNode(tree_));
  if (project == nullptr) return;
  window_.ResetBuildState();
  workspace_.ActiveProject = project;
  window_.RebuildClassView();
  tree_.viewport()->update();
}

void ProjectTreeCommands::AddFilesToProjectActionExecute() {
  QTreeWidgetItem* node = SelectedNode(tree_);
  TProjectItem* project = ProjectOfNode(node);
  if (project == nullptr) return;
  window_.ResetBuildState();
  FileDialogRequest request;
  request.title = "Open File";
  request.filter = "C Files (*.c; *.h)|*.c;*.h|ASM Files (*.asm)|*.asm|All Files (*.*)|*.*";
  request.defaultExtension = "c";
  request.initialFolder = paths::ExtractFilePath(project->FileName, StyleOfStoredPath(project->FileName));
  for (const std::string& path : questions_.chooseFilesToOpen(request))
    AddFile(*project, *node, path);
}

void ProjectTreeCommands::RemoveFileFromProjectActionExecute() {
  QTreeWidgetItem* node = SelectedNode(tree_);
  if (NodeLevel(node) != FileLevel) return;
  window_.ClearDebugList();
  TProjectFile* file = FileOfNode(node);
  if (file == nullptr) return;
  std::vector<TProjectFile>& files = ProjectOfNode(node->parent()->parent())->Files;
  files.erase(files.begin() + (file - files.data()));
  workspace_.Modified = true;
  delete node;
}

void ProjectTreeCommands::AddNewProjectActionExecute() {
  if (!window_.ShowModal(nameForm_)) return;
  TProjectItem& project = workspace_.AddProject();
  project.Name = nameForm_.ProjectName();
  project.FileName = nameForm_.ProjectFileName();
  QTreeWidgetItem* root = RootNode(tree_);
  if (root == nullptr) {
    BuildTree(workspace_, tree_); // a tree never built gets its root, with this project in it
    root = RootNode(tree_);
  } else {
    FillTreeNode(project, *new QTreeWidgetItem(root, QStringList{ToDisplay(project.Name)}));
  }
  workspace_.ActiveProject = &project;
  workspace_.Modified = true;
  root->setExpanded(true);
  tree_.viewport()->update();
}

void ProjectTreeCommands::RemoveProjectActionExecute() {
  QTreeWidgetItem* node = SelectedNode(tree_);
  TProjectItem* project = ProjectOfNode(node);
  if (project == nullptr) return;
  window_.ResetBuildState();
  // The node refers to the project, so it goes first.
  delete node;
  workspace_.RemoveProject(project);
}

void ProjectTreeCommands::PropertiesActionExecute() {
  QTreeWidgetItem* node = SelectedNode(tree_);
  if (TProjectItem* project = ProjectOfNode(node)) {
    nameForm_.SetFields(project->Name, project->FileName);
    if (!window_.ShowModal(nameForm_)) return;
    project->Name = nameForm_.ProjectName();
    project->FileName = nameForm_.ProjectFileName();
    workspace_.Modified = true;
    node->setText(0, ToDisplay(project->Name));
  } else if (const TProjectFile* file = FileOfNode(node)) {
    filePropertiesForm_.SetFileName(file->Path);
    window_.ShowModal(filePropertiesForm_);
  }
}

void ProjectTreeCommands::ProjectTreeViewDblClick() {
  if (const TProjectFile* file = FileOfNode(SelectedNode(tree_))) window_.OpenFile(file->Path);
}

void ProjectTreeCommands::LevelOneActionUpdate(QAction& action, const Settings& settings) const {
  WriteEnabled(action, LevelOneEnabled(selectedLevel(), paths::FileExists(settings.lcclocation),
                                       paths::FileExists(settings.q3asmlocation)));
}

void ProjectTreeCommands::AddFilesToProjectActionUpdate(QAction& action) const {
  WriteEnabled(action, AddFilesEnabled(selectedLevel()));
}

void ProjectTreeCommands::CompileActionUpdate(QAction& action) const {
  WriteEnabled(action, CompileEnabled(selectedLevel()));
}

void ProjectTreeCommands::PropertiesActionUpdate(QAction& action) const {
  WriteEnabled(action, PropertiesEnabled(selectedLevel()));
}
