// The workspace tree ("File View"): four levels built from the model, and the way back from a
// node to its project or file. Level 0 is the root "Projects", 1 a project, 2 the three
// folders, 3 a file.
#pragma once

#include "ProjectList.h"

#include <QIcon>
#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

enum TreeLevel { RootLevel = 0, ProjectLevel = 1, FolderLevel = 2, FileLevel = 3 };
// Indices into the tree image list.
enum TreeImage { ProjectImage = 0, FolderImage = 1, FileImage = 2, RootImage = 3 };

// Rebuilds the whole tree; the root is expanded one level.
void BuildTree(TProjectList& workspace, QTreeWidget& tree);
// Rebuilds one project's subtree; sorts the project's Files by file name, byte by byte.
void FillTreeNode(TProjectItem& project, QTreeWidgetItem& projectNode);
// Appends `path` to the project and a node for it to the right folder; sets Modified.
void AddFile(TProjectItem& project, QTreeWidgetItem& projectNode, const std::string& path);

// The node's depth below the root; -1 for none.
[[nodiscard]] int NodeLevel(const QTreeWidgetItem* node);
[[nodiscard]] QTreeWidgetItem* SelectedNode(const QTreeWidget& tree);
[[nodiscard]] QTreeWidgetItem* RootNode(const QTreeWidget& tree);
// The project a level-1 node stands for, or null.
[[nodiscard]] TProjectItem* ProjectOfNode(const QTreeWidgetItem* node);
// The entry of a level-3 node in its project, or null.
[[nodiscard]] TProjectFile* FileOfNode(const QTreeWidgetItem* node);
[[nodiscard]] int ImageOfNode(const QTreeWidgetItem* node);
// The active project's caption is drawn in bold.
[[nodiscard]] bool DrawnBold(const TProjectList& workspace, const QTreeWidgetItem* node);

// Read-only captions, whole-row selection that stays visible without focus, indent 21, a
// right-click that leaves the selection alone, the active project in bold and each node's
// image taken from `images`.
void SetUpProjectTreeView(QTreeWidget& tree, const TProjectList& workspace, std::function<QIcon(int)> images);
