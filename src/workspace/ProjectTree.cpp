// Building the workspace tree from the model and finding the model behind a node.
#include "ProjectTree.h"

#include "DisplayText.h"
#include "WorkspacePaths.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <algorithm>

namespace {

constexpr int kProjectRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;

QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& caption, TreeImage image) {
  auto* node = new QTreeWidgetItem(parent, QStringList{caption});
  node->setData(0, kImageRole, image);
  return node;
}

// Folder 0, 1 or 2 of a project node, by the file's extension.
int folderIndexFor(const std::string& path) {
  if (IsCSource(path)) return 0;
  if (IsCHeader(path)) return 1;
  return 2;
}

QTreeWidgetItem* addFileNode(QTreeWidgetItem& projectNode, TProjectFile& file) {
  QTreeWidgetItem* folder = projectNode.child(folderIndexFor(file.Path));
  QTreeWidgetItem* node = addNode(folder, ToDisplay(FileNameOf(file.Path)), FileImage);
  file.Node = node;
  return node;
}

// Draws each node with its image and the active project in bold.
class ProjectTreeDelegate : public QStyledItemDelegate {
public:
  ProjectTreeDelegate(const TProjectList& workspace, std::function<QIcon(int)> images, QTreeWidget& tree)
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
  const TProjectList& workspace_;
  std::function<QIcon(int)> images_;
  QTreeWidget& tree_;
};

// Swallows right-button presses so the context menu acts on the selection as it was.
class RightClickKeepsSelection : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) return true;
      break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
  }
};

} // namespace

void BuildTree(TProjectList& workspace, QTreeWidget& tree) {
  tree.clear();
  auto* root = new QTreeWidgetItem(&tree, QStringList{"Projects"});
  root->setData(0, kImageRole, RootImage);
  for (int i = 0; i < workspace.Count(); ++i) {
    TProjectItem& project = workspace.Items(i);
    FillTreeNode(project, *new QTreeWidgetItem(root, QStringList{ToDisplay(project.Name)}));
  }
  root->setExpanded(true);
}

void FillTreeNode(TProjectItem& project, QTreeWidgetItem& projectNode) {
  qDeleteAll(projectNode.takeChildren());
  projectNode.setData(0, kImageRole, ProjectImage);
  projectNode.setData(0, kProjectRole, QVariant::fromValue(reinterpret_cast<quintptr>(&project)));
  for (const char* folder : {"Source Files", "Header Files", "Resource Files"})
    addNode(&projectNode, folder, FolderImage);
  // Byte order, upper case first; this order is also the one the project is saved and built in.
  std::stable_sort(
      project.Files.begin(), project.Files.end(),
      [](const TProjectFile& a, const TProjectFile& b) { return FileNameOf(a.Path) < FileNameOf(b.Path); });
  for (TProjectFile& file : project.Files)
    addFileNode(projectNode, file);
}

void AddFile(TProjectItem& project, QTreeWidgetItem& projectNode, const std::string& path) {
  project.Owner->Modified = true;
  project.Files.push_back({path, nullptr});
  addFileNode(projectNode, project.Files.back());
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

TProjectItem* ProjectOfNode(const QTreeWidgetItem* node) {
  if (NodeLevel(node) != ProjectLevel) return nullptr;
  return reinterpret_cast<TProjectItem*>(node->data(0, kProjectRole).value<quintptr>());
}

TProjectFile* FileOfNode(const QTreeWidgetItem* node) {
  if (NodeLevel(node) != FileLevel) return nullptr;
  TProjectItem* project = ProjectOfNode(node->parent()->parent());
  if (project == nullptr) return nullptr;
  const auto found = std::find_if(project->Files.begin(), project->Files.end(),
                                  [node](const TProjectFile& file) { return file.Node == node; });
  return found == project->Files.end() ? nullptr : &*found;
}

int ImageOfNode(const QTreeWidgetItem* node) {
  return node == nullptr ? -1 : node->data(0, kImageRole).toInt();
}

bool DrawnBold(const TProjectList& workspace, const QTreeWidgetItem* node) {
  return workspace.ActiveProject != nullptr && ProjectOfNode(node) == workspace.ActiveProject;
}

void SetUpProjectTreeView(QTreeWidget& tree, const TProjectList& workspace,
                          std::function<QIcon(int)> images) {
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
  tree.viewport()->installEventFilter(new RightClickKeepsSelection(&tree));
}
