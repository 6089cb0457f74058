// The "Class View" page: fills the class tree with the outline of the active project's struct
// types, opens a node's file at its line on a double-click, and keeps a double-click on a
// structure from folding or unfolding it.
#pragma once

#include "ClassViewOutline.h"

#include <QIcon>
#include <QObject>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TEditorForm;
class TMainForm;
class TProjectList;
class UserQuestions;

struct ClassViewControls {
  QTabWidget& PageControl;
  QWidget& ClassViewSheet;
  QTreeWidget& ClassTreeView;
  const QVector<QIcon>& TreeViewList;
  // Set by the main window's filter when a double-click reaches the tree; cleared here.
  bool& TreeDoubleClicked;
};

// Finds or opens the editor window of a file and brings it to the front; none when the file
// could not be opened (the error is already shown).
using ClassViewEditorOpener = std::function<TEditorForm*(const std::string& path)>;

class ClassViewCommands {
public:
  ClassViewCommands(ClassViewControls controls, const TProjectList& workspace, UserQuestions& questions,
                    ClassViewEditorOpener openEditor);

  // Called after a workspace is loaded and after the active project changes. A file that cannot
  // be read stops the rebuild with an error message; the nodes read so far stay, unsorted.
  void RebuildClassView();
  // Opens the selected node's file at its line.
  void ClassTreeViewDblClick();
  // Decides an expanding or collapsing: refused when it comes from a double-click on a selected
  // structure node. Always clears TreeDoubleClicked.
  [[nodiscard]] bool ClassTreeViewExpanding();

private:
  void SetCaption(const QString& caption);
  void ShowNodes();

  ClassViewControls controls_;
  const TProjectList& workspace_;
  UserQuestions& questions_;
  ClassViewEditorOpener openEditor_;
  TClassOutline outline_;
  QObject connections_; // ends the tree's connections with this object
};

// Where a class tree node was declared; none for a node without data.
[[nodiscard]] std::optional<TClassObject> ClassObjectOfNode(const QTreeWidgetItem* node);

// The class view of the main window over `workspace`.
[[nodiscard]] std::unique_ptr<ClassViewCommands> MakeClassViewCommands(TMainForm& form,
                                                                       const TProjectList& workspace);
