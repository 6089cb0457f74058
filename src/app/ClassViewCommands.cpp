// The class view page: the outline shown as tree nodes carrying their declaration's place.
#include "ClassViewCommands.h"

#include "FindInFilesSearch.h"
#include "ImageLists.h"
#include "WindowCommands.h"
#include "editor.h"
#include "kxCodePage.h"
#include "kxCustomEdit.h"
#include "main.h"
#include "projectTree.h"

#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTreeWidget>

Q_DECLARE_METATYPE(TClassObject)

namespace {

QTreeWidgetItem* MakeNode(const TClassNode& node, const QIcon& image) {
  auto* item = new QTreeWidgetItem({BytesToQString(node.Caption)});
  item->setIcon(0, image);
  item->setData(0, Qt::UserRole, QVariant::fromValue(node.Data));
  return item;
}

} // namespace

std::optional<TClassObject> ClassObjectOfNode(const QTreeWidgetItem* node) {
  if (node == nullptr) return std::nullopt;
  const QVariant data = node->data(0, Qt::UserRole);
  if (!data.canConvert<TClassObject>()) return std::nullopt;
  return data.value<TClassObject>();
}

ClassViewCommands::ClassViewCommands(ClassViewControls controls, const TProjectList& workspace,
                                     UserQuestions& questions, ClassViewEditorOpener openEditor)
    : controls_(controls), workspace_(workspace), questions_(questions), openEditor_(std::move(openEditor)) {
  QTreeWidget* tree = &controls_.ClassTreeView;
  QObject::connect(tree, &QTreeWidget::itemDoubleClicked, &connections_, [this] { ClassTreeViewDblClick(); });
  // Qt tells of a fold after the fact, so a refused one is undone; undoing it asks again, which
  // the cleared flag then allows.
  QObject::connect(tree, &QTreeWidget::itemExpanded, &connections_, [this](QTreeWidgetItem* item) {
    if (!ClassTreeViewExpanding()) item->setExpanded(false);
  });
  QObject::connect(tree, &QTreeWidget::itemCollapsed, &connections_, [this](QTreeWidgetItem* item) {
    if (!ClassTreeViewExpanding()) item->setExpanded(true);
  });
}

void ClassViewCommands::SetCaption(const QString& caption) {
  controls_.PageControl.setTabText(controls_.PageControl.indexOf(&controls_.ClassViewSheet), caption);
}

void ClassViewCommands::RebuildClassView() {
  SetCaption("Class View");
  const TProjectItem* project = workspace_.ActiveProject;
  if (project == nullptr) return;
  SetCaption("Class view of " + ToDisplay(project->Name));
  outline_.Restart();
  try {
    for (const TProjectFile& file : project->Files)
      outline_.ScanFile(file.Path, ReadStoredLines(file.Path));
  } catch (const TessarinError& error) {
    ShowNodes();
    questions_.showError(error.message());
    return;
  }
  outline_.Sort();
  ShowNodes();
}

void ClassViewCommands::ShowNodes() {
  QTreeWidget& tree = controls_.ClassTreeView;
  tree.clear();
  const QIcon structure = controls_.TreeViewList.value(TreeViewImage::Structure);
  const QIcon member = controls_.TreeViewList.value(TreeViewImage::Member);
  QList<QTreeWidgetItem*> items;
  for (const TClassNode& node : outline_.Nodes()) {
    QTreeWidgetItem* item = MakeNode(node, structure);
    for (const TClassNode& child : node.Members)
      item->addChild(MakeNode(child, member));
    items.append(item);
  }
  // One insertion for the whole outline rather than one per structure.
  tree.addTopLevelItems(items);
}

void ClassViewCommands::ClassTreeViewDblClick() {
  const std::optional<TClassObject> data = ClassObjectOfNode(SelectedNode(controls_.ClassTreeView));
  if (!data) return;
  TEditorForm* window = openEditor_(data->FileName);
  if (window == nullptr) return;
  window->MyEditor->SetCaretY(data->Line);
  window->SetTopLine(data->Line - window->VisibleLineCount() / 2);
  window->MyEditor->setFocus();
}

bool ClassViewCommands::ClassTreeViewExpanding() {
  const QTreeWidgetItem* selected = SelectedNode(controls_.ClassTreeView);
  const bool refused = selected != nullptr && selected->parent() == nullptr && controls_.TreeDoubleClicked;
  controls_.TreeDoubleClicked = false;
  return !refused;
}

std::unique_ptr<ClassViewCommands> MakeClassViewCommands(TMainForm& form, const TProjectList& workspace) {
  ClassViewControls controls{*form.PageControl, *form.ClassViewSheet, *form.ClassTreeView, form.TreeViewList,
                             form.TreeDoubleClicked};
  // Runs from the tree's signal, where nothing may be thrown.
  auto openEditor = [&form](const std::string& path) {
    TEditorForm* editor = nullptr;
    form.RunGuarded([&form, &path, &editor] {
      if (QMdiSubWindow* window = form.OpenEditorWindow(path)) {
        form.Windows().BringToFront(window);
        editor = qobject_cast<TEditorForm*>(window->widget());
      }
    });
    return editor;
  };
  return std::make_unique<ClassViewCommands>(controls, workspace, form.Questions(), openEditor);
}
