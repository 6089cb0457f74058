#include "BuildCommands.h"

#include "DebugListModel.h"
#include "JumpToSource.h"
#include "Paths.h"
#include "QtHandOver.h"
#include "ShellPorts.h"
#include "WindowCommands.h"
#include "main.h"
#include "projectTree.h"

#include <QAction>
#include <QCoreApplication>
#include <QListView>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QTreeWidget>

namespace {

// Where a jump lands when there is no window to land in.
class NoJumpTarget : public JumpTarget {
public:
  void SetMarkColour(std::uint32_t) override {}
  void MarkLine(int) override {}
  [[nodiscard]] int VisibleLineCount() const override { return 0; }
  void SetTopLine(int) override {}
  void BringToFront() override {}
};

std::optional<std::string> selectedText(const QAbstractItemView& list) {
  QModelIndex current = list.currentIndex();
  if (!current.isValid()) return std::nullopt;
  // The build's lines are kept as the tools wrote them; what the list shows is only their picture,
  // which a path with bytes above 127 would not survive.
  if (const auto* lines = dynamic_cast<const DebugListModel*>(list.model()))
    return lines->Line(current.row());
  return FromDisplay(current.data().toString());
}

} // namespace

std::vector<std::string> ShellEditorWindows::ModifiedFiles() const {
  std::vector<std::string> names;
  QList<QMdiSubWindow*> windows = form_.Windows().Windows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    EditorWindowPort* editor = WindowCommands::Port(*it);
    if (editor != nullptr && editor->Modified()) names.push_back(editor->FileName());
  }
  return names;
}

void ShellEditorWindows::SaveAll() { form_.Windows().SaveAll(); }

bool ShellEditorWindows::IsModified(const std::string& path) const {
  EditorWindowPort* editor = WindowCommands::Port(form_.FindEditorWindow(path));
  return editor != nullptr && editor->Modified();
}

void ShellEditorWindows::Save(const std::string& path) {
  if (EditorWindowPort* editor = WindowCommands::Port(form_.FindEditorWindow(path))) editor->SaveFile();
}

std::optional<std::string> ShellEditorWindows::ActiveFileName() const {
  const EditorWindowPort* editor = form_.Windows().ActiveEditor();
  if (editor == nullptr) return std::nullopt;
  return editor->FileName();
}

JumpTarget& ShellEditorWindows::OpenEditorWindow(const std::string& path) {
  static NoJumpTarget nowhere;
  EditorWindowPort* editor = WindowCommands::Port(form_.OpenEditorWindow(path));
  return editor != nullptr ? *editor : static_cast<JumpTarget&>(nowhere);
}

BuildCommands::BuildCommands(TMainForm& form, TProjectList& workspace, QTreeWidget& tree,
                             TCompilingProgress& progress)
    : form_(form), workspace_(workspace), tree_(tree), editors_(form) {
  controller_ = std::make_unique<TBuildController>(
      BuildContext{form.settings, workspace, form.DebugLines, progress, editors_, form.Questions(),
                   std::make_shared<QtHandOver>(&form), [] { QCoreApplication::processEvents(); }});
  Wire();
}

void BuildCommands::CompileSelectedFile() {
  QTreeWidgetItem* node = SelectedNode(tree_);
  TProjectFile* file = FileOfNode(node);
  if (file == nullptr || node->parent() == nullptr) return;
  TProjectItem* project = ProjectOfNode(node->parent()->parent());
  if (project == nullptr) return;
  int index = -1;
  for (std::size_t i = 0; i < project->Files.size(); ++i)
    if (&project->Files[i] == file) index = static_cast<int>(i);
  controller_->CompileActionExecute(*project, index);
}

void BuildCommands::Wire() {
  MainActions& actions = form_.Actions();
  TBuildController& build = *controller_;
  actions.SetHandler("BuildActiveProjectAction", [&build] { build.BuildActiveProjectActionExecute(); });
  actions.SetHandler("BuildAllAction", [&build] { build.BuildAllActionExecute(); });
  actions.SetHandler("CompileActiveAction", [&build] { build.CompileActiveActionExecute(); });
  actions.SetHandler("CompileAction", [this] { CompileSelectedFile(); });
  actions.SetHandler("BuildAction", [this] {
    if (TProjectItem* project = ProjectOfNode(SelectedNode(tree_))) controller_->BuildActionExecute(*project);
  });
  actions.SetHandler("LaunchQuake3Action", [this] { launcher_.LaunchQuake3ActionExecute(form_.settings); });

  QAction* buildActive = actions["BuildActiveProjectAction"];
  auto buildActiveUpdate = [this, buildActive](QAction& action) {
    SetEnabledIfChanged(&action, workspace_.ActiveProject != nullptr);
    if (workspace_.ActiveProject != nullptr)
      SetTextIfChanged(buildActive, QString::fromStdString(TBuildController::BuildActiveProjectCaption(
                                        *workspace_.ActiveProject)));
  };
  actions.SetUpdateHandler("BuildActiveProjectAction", buildActiveUpdate);
  actions.SetUpdateHandler("FindInFilesAction", buildActiveUpdate);
  actions.SetEnabledHandler("BuildAllAction", [this] { return workspace_.Count() > 0; });
  actions.SetEnabledHandler("LaunchQuake3Action",
                            [this] { return TGameLauncher::LaunchQuake3ActionEnabled(form_.settings); });

  auto jump = [this](QAbstractItemView* list, MessageListKind kind) {
    QObject::connect(list, &QAbstractItemView::doubleClicked, &connections_, [this, list, kind] {
      form_.RunGuarded([this, list, kind] { DebugListBoxDblClick(selectedText(*list), kind, editors_); });
    });
  };
  jump(form_.DebugListBox, MessageListKind::Debug);
  jump(form_.FindFilesListBox, MessageListKind::FindInFiles);
}
