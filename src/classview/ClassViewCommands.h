// The "Class View" page: fills the class tree with the outline of the active project's struct
// types, opens a node's file at its line on a double-click, and keeps a double-click on a
// structure from folding or unfolding it.
#pragma once

#include "ClassOutline.h"
#include "ClassTreeFolding.h"

#include <QIcon>
#include <QObject>

#include <functional>
#include <optional>
#include <string>

class DocumentWindow;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class ProjectList;
class UserQuestions;

struct ClassViewControls {
  QTabWidget& WorkspacePages;
  QWidget& ClassViewPage;
  QTreeWidget& ClassTreeView;
  QIcon structureImage;
  QIcon memberImage;
};

// Finds or opens the editor window of a file and brings it to the front; none when the file
// could not be opened (the error is already shown).
using ClassViewEditorOpener = std::function<DocumentWindow*(const std::string& path)>;

class ClassViewCommands : private QObject {
public:
  ClassViewCommands(ClassViewControls controls, const ProjectList& workspace, UserQuestions& questions,
                    ClassViewEditorOpener openEditor);

  // Called after a workspace is loaded and after the active project changes. A file that cannot
  // be read stops the rebuild with an error message; the nodes read so far stay, unsorted.
  void RebuildClassView();
  // Opens the selected node's file at its line.
  void OpenSelectedNode();

  [[nodiscard]] ClassTreeFolding& Folding() { return folding_; }

private:
  // Notes the tree's double-clicks before the tree itself handles them.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Decides a fold of `item`'s node; an unwanted one is undone.
  void Folded(QTreeWidgetItem* item, bool expanded);
  void SetCaption(const QString& caption);
  void ShowNodes();

  ClassViewControls controls_;
  const ProjectList& workspace_;
  UserQuestions& questions_;
  ClassViewEditorOpener openEditor_;
  ClassOutline outline_;
  ClassTreeFolding folding_;
};

// Where a class tree node was declared; none for a node without data.
[[nodiscard]] std::optional<ClassObject> ClassObjectOfNode(const QTreeWidgetItem* node);
