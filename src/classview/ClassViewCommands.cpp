// The class view page: the outline shown as tree nodes carrying their declaration's place.
#include "ClassViewCommands.h"

#include "CodePage.h"
#include "DisplayText.h"
#include "DocumentWindow.h"
#include "EditorWidget.h"
#include "ProjectList.h"
#include "ProjectTree.h"
#include "StoredFile.h"

#include <QEvent>
#include <QTabWidget>
#include <QTreeWidget>

Q_DECLARE_METATYPE(ClassObject)

namespace {

QTreeWidgetItem* MakeNode(const ClassNode& node, const QIcon& image) {
  auto* item = new QTreeWidgetItem({BytesToQString(node.Caption)});
  item->setIcon(0, image);
  item->setData(0, Qt::UserRole, QVariant::fromValue(node.Data));
  return item;
}

} // namespace

std::optional<ClassObject> ClassObjectOfNode(const QTreeWidgetItem* node) {
  if (node == nullptr) return std::nullopt;
  const QVariant data = node->data(0, Qt::UserRole);
  if (!data.canConvert<ClassObject>()) return std::nullopt;
  return data.value<ClassObject>();
}

ClassViewCommands::ClassViewCommands(ClassViewControls controls, const ProjectList& workspace,
                                     UserQuestions& questions, ClassViewEditorOpener openEditor)
    : controls_(std::move(controls)), workspace_(workspace), questions_(questions),
      openEditor_(std::move(openEditor)) {
  QTreeWidget* tree = &controls_.ClassTreeView;
  tree->viewport()->installEventFilter(this);
  connect(tree, &QTreeWidget::itemDoubleClicked, this, [this] { OpenSelectedNode(); });
  connect(tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { Folded(item, true); });
  connect(tree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) { Folded(item, false); });
}

bool ClassViewCommands::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) folding_.NoteDoubleClick();
  return QObject::eventFilter(watched, event);
}

void ClassViewCommands::Folded(QTreeWidgetItem* item, bool expanded) {
  const QTreeWidgetItem* selected = SelectedNode(controls_.ClassTreeView);
  // Qt tells of a fold after the fact, so a refused one is undone; undoing it asks again, which
  // the used-up double-click then allows.
  if (!folding_.AllowsFold(selected != nullptr && selected->parent() == nullptr))
    item->setExpanded(!expanded);
}

void ClassViewCommands::SetCaption(const QString& caption) {
  controls_.WorkspacePages.setTabText(controls_.WorkspacePages.indexOf(&controls_.ClassViewPage), caption);
}

void ClassViewCommands::RebuildClassView() {
  SetCaption("Class View");
  const Project* project = workspace_.ActiveProject;
  if (project == nullptr) return;
  SetCaption("Class view of " + ToDisplay(project->Name));
  outline_.Restart();
  try {
    for (const ProjectFile& file : project->Files)
      outline_.ScanFile(file.Path, stored_file::ReadStoredLines(file.Path));
  } catch (const TessarinError& error) {
    ShowNodes();
    questions_.ShowError(error.Message());
    return;
  }
  outline_.Sort();
  ShowNodes();
}

void ClassViewCommands::ShowNodes() {
  QTreeWidget& tree = controls_.ClassTreeView;
  tree.clear();
  QList<QTreeWidgetItem*> items;
  for (const ClassNode& node : outline_.Nodes()) {
    QTreeWidgetItem* item = MakeNode(node, controls_.structureImage);
    for (const ClassNode& child : node.Members)
      item->addChild(MakeNode(child, controls_.memberImage));
    items.append(item);
  }
  // One insertion for the whole outline rather than one per structure.
  tree.addTopLevelItems(items);
}

void ClassViewCommands::OpenSelectedNode() {
  const std::optional<ClassObject> data = ClassObjectOfNode(SelectedNode(controls_.ClassTreeView));
  if (!data) return;
  DocumentWindow* window = openEditor_(data->FileName);
  if (window == nullptr) return;
  window->Editor->Editor().State().SetCaretY(data->Line);
  window->SetTopLine(data->Line - window->VisibleLineCount() / 2);
  window->Editor->setFocus();
}
