// Building the workspace tree from the model and finding the model behind a node.
#include "ProjectTree.h"

#include "DisplayText.h"
#include "FilePropertiesDialog.h"
#include "ProjectNameDialog.h"
#include "WorkspacePaths.h"

#include <QPalette>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <algorithm>

namespace {

constexpr int kProjectRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;

// Appends the node, or inserts it at `row`.
QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& caption, TreeImage image, int row = -1) {
  auto* node = new QTreeWidgetItem(QStringList{caption});
  node->setData(0, kImageRole, image);
  if (row < 0)
    parent->addChild(node);
  else
    parent->insertChild(row, node);
  return node;
}

// Folder 0, 1 or 2 of a project node, by the file's extension.
int folderIndexFor(const std::string& path) {
  if (IsCSource(path)) return 0;
  if (IsCHeader(path)) return 1;
  return 2;
}

void addFileNode(QTreeWidgetItem& projectNode, const ProjectFile& file) {
  addNode(projectNode.child(folderIndexFor(file.Path)), ElidedDisplay(FileNameOf(file.Path)), FileImage);
}

// A project's node with its three folders and a node per file, in the model's order.
void fillProjectNode(const Project& project, QTreeWidgetItem& projectNode) {
  projectNode.setData(0, kImageRole, ProjectImage);
  projectNode.setData(0, kProjectRole, QVariant::fromValue(reinterpret_cast<quintptr>(&project)));
  for (const char* folder : {"Source Files", "Header Files", "Resource Files"})
    addNode(&projectNode, folder, FolderImage);
  for (const ProjectFile& file : project.Files)
    addFileNode(projectNode, file);
}

// Where the node of a project's file goes: its folder and its row there, the n-th file of the
// project that belongs in that folder.
std::pair<QTreeWidgetItem*, int> fileNodePlace(QTreeWidgetItem& projectNode, const Project& project,
                                               int fileIndex) {
  const std::string& path = project.Files[static_cast<std::size_t>(fileIndex)].Path;
  const int folder = folderIndexFor(path);
  int position = 0;
  for (int i = 0; i < fileIndex; ++i)
    if (folderIndexFor(project.Files[static_cast<std::size_t>(i)].Path) == folder) ++position;
  return {projectNode.child(folder), position};
}

// Draws each node with its image and the active project in bold.
class ProjectTreeDelegate : public QStyledItemDelegate {
public:
  ProjectTreeDelegate(const ProjectList& workspace, std::function<QIcon(int)> images, QTreeWidget& tree)
      : QStyledItemDelegate(&tree), workspace_(workspace), images_(std::move(images)), tree_(tree) {}

protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    const QTreeWidgetItem* node = tree_.itemFromIndex(index);
    if (DrawnBold(workspace_, node)) option->font.setBold(true);
    if (images_) {
      option->icon = images_(ImageOfNode(node));
      option->features |= QStyleOptionViewItem::HasDecoration;
    }
  }

private:
  const ProjectList& workspace_;
  std::function<QIcon(int)> images_;
  QTreeWidget& tree_;
};

} // namespace

void BuildTree(ProjectList& workspace, QTreeWidget& tree) {
  tree.clear();
  auto* root = new QTreeWidgetItem(&tree, QStringList{"Projects"});
  root->setData(0, kImageRole, RootImage);
  for (int i = 0; i < workspace.Count(); ++i) {
    Project& project = workspace.Items(i);
    project.SortFiles();
    fillProjectNode(project, *new QTreeWidgetItem(root, QStringList{ElidedDisplay(project.Name)}));
  }
  root->setExpanded(true);
}

int NodeLevel(const QTreeWidgetItem* node) {
  int level = -1;
  for (; node != nullptr; node = node->parent())
    ++level;
  return level;
}

QTreeWidgetItem* SelectedNode(const QTreeWidget& tree) {
  const QList<QTreeWidgetItem*> selected = tree.selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

QTreeWidgetItem* RootNode(const QTreeWidget& tree) { return tree.topLevelItem(0); }

Project* ProjectOfNode(const QTreeWidgetItem* node) {
  if (NodeLevel(node) != ProjectLevel) return nullptr;
  return reinterpret_cast<Project*>(node->data(0, kProjectRole).value<quintptr>());
}

int FileIndexOfNode(const QTreeWidgetItem* node) {
  if (NodeLevel(node) != FileLevel) return -1;
  const QTreeWidgetItem* folderNode = node->parent();
  const Project* project = ProjectOfNode(folderNode->parent());
  if (project == nullptr) return -1;
  const int folder = folderNode->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(folderNode));
  int position = folderNode->indexOfChild(const_cast<QTreeWidgetItem*>(node));
  for (std::size_t i = 0; i < project->Files.size(); ++i)
    if (folderIndexFor(project->Files[i].Path) == folder && position-- == 0) return static_cast<int>(i);
  return -1;
}

const ProjectFile* FileOfNode(const QTreeWidgetItem* node) {
  const int index = FileIndexOfNode(node);
  if (index < 0) return nullptr;
  return &ProjectOfNode(node->parent()->parent())->Files[static_cast<std::size_t>(index)];
}

TreeSelection SelectionOfNode(const QTreeWidgetItem* node) {
  TreeSelection selection;
  selection.level = NodeLevel(node);
  const QTreeWidgetItem* projectNode = node;
  for (int level = selection.level; level > ProjectLevel; --level)
    projectNode = projectNode->parent();
  if (selection.level >= ProjectLevel) selection.project = ProjectOfNode(projectNode);
  selection.fileIndex = FileIndexOfNode(node);
  return selection;
}

int ImageOfNode(const QTreeWidgetItem* node) {
  return node == nullptr ? -1 : node->data(0, kImageRole).toInt();
}

bool DrawnBold(const ProjectList& workspace, const QTreeWidgetItem* node) {
  return workspace.ActiveProject != nullptr && ProjectOfNode(node) == workspace.ActiveProject;
}

void SetUpProjectTreeView(QTreeWidget& tree, const ProjectList& workspace, std::function<QIcon(int)> images) {
  tree.setHeaderHidden(true);
  tree.setColumnCount(1);
  tree.setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree.setSelectionMode(QAbstractItemView::SingleSelection);
  tree.setSelectionBehavior(QAbstractItemView::SelectRows);
  tree.setAllColumnsShowFocus(true);
  tree.setIndentation(21);
  QPalette palette = tree.palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  tree.setPalette(palette);
  tree.setItemDelegate(new ProjectTreeDelegate(workspace, std::move(images), tree));
}

TreeSelection ProjectTree::Selection() const { return SelectionOfNode(SelectedNode(tree_)); }

QTreeWidgetItem* ProjectTree::NodeOf(const Project& project) const {
  QTreeWidgetItem* root = RootNode(tree_);
  for (int i = 0; root != nullptr && i < root->childCount(); ++i)
    if (ProjectOfNode(root->child(i)) == &project) return root->child(i);
  return nullptr;
}

void ProjectTree::ProjectAdded(Project& project) {
  QTreeWidgetItem* root = RootNode(tree_);
  if (root == nullptr) {
    BuildTree(workspace_, tree_); // a tree never built gets its root, with this project in it
    root = RootNode(tree_);
  } else {
    fillProjectNode(project, *new QTreeWidgetItem(root, QStringList{ElidedDisplay(project.Name)}));
  }
  root->setExpanded(true);
}

void ProjectTree::FileAdded(const Project& project, int fileIndex) {
  QTreeWidgetItem* node = NodeOf(project);
  if (node == nullptr) return;
  const auto [folder, row] = fileNodePlace(*node, project, fileIndex);
  addNode(folder, ElidedDisplay(FileNameOf(project.Files[static_cast<std::size_t>(fileIndex)].Path)),
          FileImage, row);
}

void ProjectTree::RemovingProject(const Project& project) { delete NodeOf(project); }

void ProjectTree::RemovingFile(const Project& project, int fileIndex) {
  if (QTreeWidgetItem* node = NodeOf(project)) {
    const auto [folder, row] = fileNodePlace(*node, project, fileIndex);
    delete folder->child(row);
  }
}

void ProjectTree::ProjectRenamed(const Project& project) {
  if (QTreeWidgetItem* node = NodeOf(project)) node->setText(0, ElidedDisplay(project.Name));
}

void ProjectTree::ActiveProjectChanged() { tree_.viewport()->update(); }

void AskThroughDialogs(ProjectTreeWindow& window, ProjectNameDialog& names, FilePropertiesDialog& properties,
                       std::function<bool(QDialog&)> showModal) {
  window.AskProjectDetails = [&names, showModal](const std::optional<ProjectDetails>& preset) {
    if (preset) names.SetFields(preset->name, preset->fileName);
    if (!showModal(names)) return std::optional<ProjectDetails>();
    return std::optional<ProjectDetails>(ProjectDetails{names.ProjectName(), names.ProjectFileName()});
  };
  window.ShowFileProperties = [&properties, showModal](const std::string& path) {
    properties.SetFileName(path);
    showModal(properties);
  };
}
