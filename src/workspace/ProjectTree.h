// The workspace tree ("File View") on a QTreeWidget: four levels built from the model, the way
// back from a node to its project or file, and the view the tree commands keep in step. Level 0
// is the root "Projects", 1 a project, 2 the three folders, 3 a file.
#pragma once

#include "ProjectTreeCommands.h"

#include <QDialog>
#include <QIcon>

#include <functional>

class FilePropertiesDialog;
class ProjectNameDialog;
class QTreeWidget;
class QTreeWidgetItem;

// Indices into the tree image list.
enum TreeImage { ProjectImage = 0, FolderImage = 1, FileImage = 2, RootImage = 3 };

// Sorts every project's files (the model's order from then on) and rebuilds the whole tree; the
// root is expanded one level.
void BuildTree(ProjectList& workspace, QTreeWidget& tree);

// The node's depth below the root; -1 for none.
[[nodiscard]] int NodeLevel(const QTreeWidgetItem* node);
[[nodiscard]] QTreeWidgetItem* SelectedNode(const QTreeWidget& tree);
[[nodiscard]] QTreeWidgetItem* RootNode(const QTreeWidget& tree);
// The project a level-1 node stands for, or null.
[[nodiscard]] Project* ProjectOfNode(const QTreeWidgetItem* node);
// A level-3 node's entry in its project's Files: the n-th node of a folder stands for the n-th
// file of the project that belongs in that folder. -1 for any other node.
[[nodiscard]] int FileIndexOfNode(const QTreeWidgetItem* node);
// The entry of a level-3 node in its project, or null.
[[nodiscard]] const ProjectFile* FileOfNode(const QTreeWidgetItem* node);
// What the tree commands see of `node`.
[[nodiscard]] TreeSelection SelectionOfNode(const QTreeWidgetItem* node);
[[nodiscard]] int ImageOfNode(const QTreeWidgetItem* node);
// The active project's caption is drawn in bold.
[[nodiscard]] bool DrawnBold(const ProjectList& workspace, const QTreeWidgetItem* node);

// Read-only captions, whole-row selection that stays visible without focus, indent 21, the
// active project in bold and each node's image taken from `images`. A right click selects the
// node under the mouse, as any click does, so the context menu acts on the node it was opened on.
void SetUpProjectTreeView(QTreeWidget& tree, const ProjectList& workspace, std::function<QIcon(int)> images);

// The tree widget as the tree commands see it.
class ProjectTree : public ProjectTreeView {
public:
  ProjectTree(ProjectList& workspace, QTreeWidget& tree) : workspace_(workspace), tree_(tree) {}

  [[nodiscard]] TreeSelection Selection() const override;
  void ProjectAdded(Project& project) override;
  void FileAdded(const Project& project, int fileIndex) override;
  void RemovingProject(const Project& project) override;
  void RemovingFile(const Project& project, int fileIndex) override;
  void ProjectRenamed(const Project& project) override;
  void ActiveProjectChanged() override;

private:
  [[nodiscard]] QTreeWidgetItem* NodeOf(const Project& project) const;

  ProjectList& workspace_;
  QTreeWidget& tree_;
};

// The tree commands' questions answered by the two project dialogs, each shown by `showModal`
// (true when it closed with OK).
void AskThroughDialogs(ProjectTreeWindow& window, ProjectNameDialog& names, FilePropertiesDialog& properties,
                       std::function<bool(QDialog&)> showModal);
